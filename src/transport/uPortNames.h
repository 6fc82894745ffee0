#pragma once

#include <QList>
#include <QString>

// Serial ports are chosen by COM number (1..255), as technicians know them.
// On Windows the number names the device "\\.\COMn". On Linux a ports folder
// of links named COMn (PELINOR_PORT_DIR, else "pelinor-ports" in the user's
// runtime folder) maps numbers to devices first; numbers without a link fall
// back to a fixed order of the system's serial devices:
//   COM1..COM32    /dev/ttyS0..ttyS31
//   COM33..COM64   /dev/ttyUSB0..ttyUSB31
//   COM65..COM96   /dev/ttyACM0..ttyACM31
//   COM97..COM128  /dev/ttyAMA0..ttyAMA31
// so an adapter keeps its number however many others are plugged in.
namespace PortNames {

constexpr int MinPort = 1;
constexpr int MaxPort = 255;

// The folder of COMn links.
QString PortDir();
// The path to open for COM number n; empty when n names no device at all.
QString DevicePath(int comNo);
// The device's own name for COM number n: "ttyUSB0", or the link's target
// (below /dev with its sub-folder: "pts/3").
QString DeviceName(int comNo);
// "COMn" followed by the device name, as the port list shows it.
QString DisplayName(int comNo);
// The COM number in a text such as "COM12" or "COM3 (ttyUSB0)": the digits
// after the first "COM" (any case, non-digits skipped); -1 when there are none.
int ParseComNumber(const QString &text);
// The COM number a device path is reached by, -1 when none.
int ComNumberOfDevice(const QString &path);

} // namespace PortNames
