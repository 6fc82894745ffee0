#pragma once

#include <QChar>
#include <QList>
#include <QString>
#include <QtGlobal>

// How the sensor is attached: the six connection fields the main window keeps
// and the communication settings dialog edits, their rules, and how they are
// kept in the user settings between runs.

// Interface codes of the window.
enum TInterfaceCode : quint8 {
    icServiceCable = 0,
    icRS232 = 1,
    icRS485 = 2,
    icEthernet = 3,
    icNone = 255, // nothing chosen yet
};

constexpr int UnknownBaudRate = -1;
constexpr int DefaultBaudRate = 9600;
constexpr quint8 DefaultComPort = 1;
constexpr quint8 DefaultDeviceAddress = 1;
constexpr const char *DefaultIPAddress = "192.168.1.213";

struct TCommSettings {
    quint8 InterfaceType = icNone;
    quint8 ComPort = DefaultComPort;
    int BaudRate = DefaultBaudRate; // bit/s, or UnknownBaudRate
    bool CharAddress = false;       // the address was given as a letter
    quint8 DeviceAddress = DefaultDeviceAddress; // a letter's character code when CharAddress
    QString IPAddress = QString::fromLatin1(DefaultIPAddress);

    bool operator==(const TCommSettings &) const = default;
};

namespace CommSettings {

// The user texts of the rules below.
QString AddressRequiredText();   // "Device address is required!"
QString InvalidAddressText();    // "Invalid device address!"
QString IPRequiredText();        // "IP address is required!"
QString InvalidIPText();         // "Invalid IP address!"
QString InvalidBaudRateText();   // "Invalid baud rate!"

// The 13 bit rates a serial sensor can run at, lowest first.
const QList<int> &BaudRates();
bool IsBaudRate(int bitsPerSecond);

// A letter that can be a device address: A..S or U..Z in either case ("T"
// and "t" are not).
bool IsAddressLetter(int code);

struct TDeviceAddress {
    quint8 address = DefaultDeviceAddress;
    bool character = false;
};
// The address typed into the dialog: a number (decimal, or hexadecimal after
// "$") in 0..255, or one address letter whose character code is the address.
// Raises EConvertError with AddressRequiredText() for an empty text and
// InvalidAddressText() for anything else that is no address.
TDeviceAddress ParseDeviceAddress(const QString &text);

// The address letter for a numeric or character address: a letter stays,
// except "T"/"t", which become "U"/"u"; any other code becomes the nearer end
// ("A" or "Z", "a" or "z") of the nearer alphabet. Address 1 gives "A".
QChar AddressCharRule(int code);

// An IP address as the user may type it: after trimming 7..15 characters,
// four dot-separated parts, each (trimmed) a decimal number 0..255. Returns
// the canonical dotted-decimal form ("192.168.001.010" -> "192.168.1.10"),
// or an empty text when the address is not valid. Socket layers read leading
// zeros as octal or refuse blanks, so only the canonical form is kept.
QString CanonicalIPAddress(const QString &text);
bool IsValidIPAddress(const QString &text);

// The "DEVICE" values of the user settings. Invalid values read as their
// defaults, silently; a letter flag whose address is no address letter reads
// as the default pair (number address 1).
TCommSettings Load();
// "Type" always (none as -1); for Ethernet only "IP" besides it, otherwise
// the four serial values, so the other interface's values stay stored.
void Save(const TCommSettings &settings);

// Clears the sensor's entry from the computer's ARP cache, so the connect
// that follows resolves the address afresh. Uses the platform's own command
// ("ip neigh flush to <ip>" or "arp -d <ip>", whichever is there), started
// without a shell and waited for a few seconds at most; any failure is
// ignored, as the connect does not depend on it.
void ClearArpEntry(const QString &ipAddress);
// The command ClearArpEntry runs: the program followed by its arguments;
// empty when the platform has none.
QStringList ArpClearCommand(const QString &ipAddress);

} // namespace CommSettings
