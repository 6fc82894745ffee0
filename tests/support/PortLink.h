#pragma once

#include <QString>

// The link in the ports folder of the isolated test environment that makes a
// device reachable as COM port comNo.
QString ComPortLink(int comNo);
// Makes a device reachable as COM port comNo, replacing what the ports folder
// held for that number; false when the link cannot be made.
bool LinkComPort(int comNo, const QString &device);
