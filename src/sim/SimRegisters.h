#pragma once

#include <QByteArray>
#include <QString>
#include <QtGlobal>

#include <array>

// The sensor's register map as its firmware uses it: 1-based references (the
// bus address is reference - 1) and the bits of its configuration words.
namespace SimRegisters {

// Live block (RAM).
constexpr quint16 Status = 0x0007;
constexpr quint16 FarControl = 0x0042; // relay 1; relay 2 at 0x0043

// Configuration block 1 (Flash).
constexpr quint16 SerialLow = 0x1035;
constexpr quint16 SerialHigh = 0x1036;
constexpr quint16 DeviceId = 0x1037;
constexpr quint16 ComputePressure = 0x1038; // whole hPa
constexpr quint16 OutputQuantity = 0x1039;  // channel 1; channel 2 at 0x103A
constexpr quint16 OutputLow = 0x103B;
constexpr quint16 OutputClamp = 0x103D;
constexpr quint16 ConfigWord = 0x103F;

// Configuration block 2 (Flash).
constexpr quint16 Address = 0x2001;
constexpr quint16 BaudDivisor = 0x2002;
constexpr quint16 Protocol = 0x2003;
constexpr quint16 ProtocolOption = 0x2004;
constexpr quint16 RelayWord = 0x2007;
constexpr quint16 PressureFilter = 0x2038;
constexpr quint16 SwitchValue = 0x2039; // relay 1; relay 2 at 0x203A
constexpr quint16 Hysteresis = 0x203B;
constexpr quint16 UnitWord = 0x203F;

// Identification block (ROM).
constexpr quint16 RomDate = 0x3001;
constexpr quint16 RomVersion = 0x3002;

// The divisor word is this clock divided by the baud rate.
constexpr double BaudClockHz = 4194304.0;

// Unit word: relay quantity codes, error action; relay word: conditions.
constexpr int RelayQuantityShift = 8;
constexpr int RelayQuantityBits = 4;
constexpr int RelayConditionBit = 14;
constexpr std::array<quint16, 2> RelayActsOnError{0x0002, 0x0020};
constexpr std::array<quint16, 2> RelayClosesOnError{0x0040, 0x0080};

// Relay quantity codes of the unit word.
enum RelayQuantity {
    RelayNone = 0,
    RelayTemperature = 1,
    RelayHumidity = 2,
    RelayFourthChannel = 3, // pressure or CO2
    RelayComputed = 4,
    RelayFirstInput = 5,
    RelayLastInput = 7,
    RelayFarControl0 = 8,
    RelayFarControl1 = 9,
};

} // namespace SimRegisters

// Big-endian words in Modbus byte streams.
namespace SimBytes {

inline quint16 WordAt(const QByteArray &bytes, qsizetype offset)
{
    return static_cast<quint16>((static_cast<quint8>(bytes[offset]) << 8) | static_cast<quint8>(bytes[offset + 1]));
}

inline void AppendWord(QByteArray &bytes, quint16 value)
{
    bytes.append(static_cast<char>(value >> 8));
    bytes.append(static_cast<char>(value & 0xFF));
}

// A word as four upper-case hex digits.
inline QString Hex(quint16 value)
{
    return QStringLiteral("%1").arg(value, 4, 16, QLatin1Char('0')).toUpper();
}

} // namespace SimBytes
