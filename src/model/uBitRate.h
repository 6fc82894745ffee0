#pragma once

#include <QtGlobal>

#include <array>
#include <functional>

// One baud rate as the serial transports (BaudType), the user (bit/s) and the
// transmitter's serial clock divisor (Code) name it.
struct TBaudRow {
    quint8 BaudType;
    quint32 Value;  // bit/s
    quint16 Code;   // round(TransmitterClockHz / Value)
};

// The transmitter's serial clock; a baud code divides it.
constexpr quint32 TransmitterClockHz = 4194304;

constexpr int BaudRowCount = 13;
constexpr std::array<TBaudRow, BaudRowCount> BaudTable = {{
    {0, 110, 0x94F2},
    {1, 300, 0x369D},
    {2, 600, 0x1B4F},
    {3, 1200, 0x0DA7},
    {4, 2400, 0x06D4},
    {5, 4800, 0x036A},
    {6, 9600, 0x01B5},
    {7, 14400, 0x0123},
    {8, 19200, 0x00DA},
    {9, 38400, 0x006D},
    {10, 56000, 0x004B},
    {11, 57600, 0x0049},
    {12, 115200, 0x0024},
}};

constexpr quint8 DefaultBaudType = 6;  // 9600 bit/s

// The baud rate of the connected device. Each setter selects the row whose
// column equals its argument; an argument no row has raises Exception
// ("TBitRate: ...") and keeps the selection.
class TBitRate {
public:
    using TNotifyEvent = std::function<void(TBitRate &sender)>;

    quint16 GetCode() const { return BaudTable[row_].Code; }
    void SetCode(quint16 code);
    quint8 GetBaudType() const { return BaudTable[row_].BaudType; }
    void SetBaudType(quint8 baudType);
    quint32 GetValue() const { return BaudTable[row_].Value; }
    void SetValue(quint32 value);

    // Fired after the selected row changed.
    TNotifyEvent OnChange;

private:
    void Select(int row);

    int row_ = DefaultBaudType;
};
