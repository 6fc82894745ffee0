#pragma once

#include <QString>

// Makes a device reachable as COM port comNo by a link in the ports folder
// of the isolated test environment; false when the link cannot be made.
bool LinkComPort(int comNo, const QString &device);
