#pragma once

#include "model/uQuantity.h"
#include "transport/uSensorMemory.h"

#include <QString>
#include <QtGlobal>

#include <optional>

// The register map of the serial transmitters: what each holding register
// means, how its value is encoded, and the rules that turn page values into
// register values. Configuration registers live in the images of blocks 1
// (0x1001-0x1040) and 2 (0x2001-0x2040); nothing here talks to the device.
//
// A float occupies two consecutive registers; the constant names the first.

namespace Reg {

// Live block, read and written register by register.
constexpr quint16 Status = 0x0007;              // word, see TStatusBit
constexpr quint16 TemperatureValue = 0x0009;    // float, in the configured unit
constexpr quint16 HumidityValuePct = 0x000B;    // float
constexpr quint16 ComputedValue = 0x000D;       // float
constexpr quint16 PressureOrCO2Value = 0x000F;  // float, configured unit or ppm
constexpr quint16 VarloCommand = 0x0040;
constexpr quint16 FarRelay1 = 0x0042;           // 0 off, 1 on
constexpr quint16 FarRelay2 = 0x0043;
constexpr quint16 CO2Calibration = 0x0055;

// Identification block (read-only). The two words trade places on some
// firmware, see FirmwareIdentity().
constexpr quint16 IdentDate = 0x3001;
constexpr quint16 IdentVersion = 0x3002;

// Configuration block 1.
// Output ends and clamps (floats). Temperatures in °C, except on older analog
// firmware, which keeps them in the selected unit.
constexpr quint16 TemperatureLowerEndC = 0x1001;
constexpr quint16 TemperatureUpperEndC = 0x1003;
constexpr quint16 TemperatureLowerClampC = 0x1005;
constexpr quint16 TemperatureUpperClampC = 0x1007;
constexpr quint16 HumidityLowerEndPct = 0x1009;
constexpr quint16 HumidityUpperEndPct = 0x100B;
constexpr quint16 HumidityLowerClampPct = 0x100D;
constexpr quint16 HumidityUpperClampPct = 0x100F;
constexpr quint16 ComputedLowerEnd = 0x1011;  // °C for dew point, else the quantity's unit
constexpr quint16 ComputedUpperEnd = 0x1013;
constexpr quint16 ComputedLowerClamp = 0x1015;
constexpr quint16 ComputedUpperClamp = 0x1017;
constexpr quint16 Out1ConverterAtLowerV = 0x1019;  // floats: converter values
constexpr quint16 Out1ConverterAtUpperV = 0x101B;
constexpr quint16 Out1ConverterAboveUpperV = 0x101F;  // at the upper voltage + 0.5 V
constexpr quint16 Out2ConverterAtLowerV = 0x1021;
constexpr quint16 Out2ConverterAtUpperV = 0x1023;
constexpr quint16 Out2ConverterAboveUpperV = 0x1027;
constexpr quint16 TemperatureCalibration1 = 0x1029;  // floats
constexpr quint16 TemperatureCalibration2 = 0x102B;
constexpr quint16 TemperatureCalibration3 = 0x102D;
constexpr quint16 TemperatureCalibration4 = 0x102F;
constexpr quint16 HumidityCalibrationCoefficient1 = 0x1031;  // floats
constexpr quint16 HumidityCalibrationCoefficient2 = 0x1033;
constexpr quint16 SerialNumberLow = 0x1035;
constexpr quint16 SerialNumberHigh = 0x1036;
constexpr quint16 DeviceId = 0x1037;
constexpr quint16 ComputedPressureHPa = 0x1038;  // whole hPa
constexpr quint16 Out1Quantity = 0x1039;  // live address of the value, see ChannelSlot()
constexpr quint16 Out2Quantity = 0x103A;
constexpr quint16 Out1LowerEndAddress = 0x103B;
constexpr quint16 Out2LowerEndAddress = 0x103C;
constexpr quint16 Out1LowerClampAddress = 0x103D;
constexpr quint16 Out2LowerClampAddress = 0x103E;
constexpr quint16 ConfigWord = 0x103F;  // see TConfigBit
constexpr quint16 Block1Checksum = 0x1040;

// Configuration block 2.
constexpr quint16 DeviceAddress = 0x2001;   // number, or two ASCII hex digits for ADAM
constexpr quint16 BaudDivisor = 0x2002;
constexpr quint16 ProtocolCode = 0x2003;    // only with firmware number above 209
constexpr quint16 ProtocolOption = 0x2004;
constexpr quint16 HumidityCalibration = 0x2005;
constexpr quint16 CalibrationState = 0x2006;
constexpr quint16 RelayInputWord = 0x2007;  // see TRelayInputBit
constexpr quint16 Out1LowerV = 0x2009;      // floats, volts
constexpr quint16 Out1UpperV = 0x200B;
constexpr quint16 Out2LowerV = 0x200D;
constexpr quint16 Out2UpperV = 0x200F;
constexpr quint16 Out1AboveUpperV = 0x2013;
constexpr quint16 Out2AboveUpperV = 0x2017;
constexpr quint16 HumidityCalibrationPoint1 = 0x2019;  // floats
constexpr quint16 HumidityCalibrationPoint2 = 0x201B;
constexpr quint16 HumidityCalibrationPoint3 = 0x201D;
constexpr quint16 HumidityCalibrationPoint4 = 0x201F;
constexpr quint16 HumidityCalibrationReference1 = 0x2021;  // words
constexpr quint16 HumidityCalibrationReference2 = 0x2022;
// 0x2023 and 0x2024 mean different things on CO2 and on pressure devices.
constexpr quint16 CO2YellowLedPpm = 0x2023;  // 0: light signals off
constexpr quint16 CO2RedLedPpm = 0x2024;
constexpr quint16 PressureCalibration1 = 0x2023;  // float
constexpr quint16 PressureCalibration2 = 0x2025;  // float
constexpr quint16 PressureOrCO2LowerEnd = 0x202F;  // floats, hPa or ppm
constexpr quint16 PressureOrCO2UpperEnd = 0x2031;
constexpr quint16 PressureOrCO2LowerClamp = 0x2033;
constexpr quint16 PressureOrCO2UpperClamp = 0x2035;
// Signed: tenths of hPa on pressure devices, hundredths of hPa on CO2 devices.
constexpr quint16 AltitudeOffset = 0x2037;
constexpr quint16 PressureFilter = 0x2038;  // low byte: coefficient × 100
constexpr quint16 Relay1Value = 0x2039;     // see RelayValueToRegister()
constexpr quint16 Relay2Value = 0x203A;
constexpr quint16 Relay1Hysteresis = 0x203B;
constexpr quint16 Relay2Hysteresis = 0x203C;
constexpr quint16 Relay1DelayHalfS = 0x203D;
constexpr quint16 Relay2DelayHalfS = 0x203E;
constexpr quint16 UnitWord = 0x203F;  // see TUnitWord
constexpr quint16 Block2Checksum = 0x2040;

} // namespace Reg

// Quantity type codes as the quantity model numbers them.
namespace QuantityCode {
constexpr int None = 0;
constexpr int BinaryInput = 2;
constexpr int FarRelayControl = 5;
constexpr int Temperature = 6;
constexpr int RelativeHumidity = 7;
constexpr int Pressure = 8;
constexpr int CO2 = 9;
constexpr int DewPoint = 10;  // first of the computed quantities
constexpr int SpecificEnthalpy = 14;  // last of the computed quantities
} // namespace QuantityCode

// What a relay follows: bits 8-11 (relay 1) and 12-15 (relay 2) of 0x203F.
namespace RelayQuantityCode {
constexpr int None = 0;
constexpr int Temperature = 1;
constexpr int Humidity = 2;
constexpr int PressureOrCO2 = 3;
constexpr int Computed = 4;
constexpr int BinaryInput1 = 5;
constexpr int BinaryInput2 = 6;
constexpr int BinaryInput3 = 7;
constexpr int FarRelayOpen = 8;   // far relay control, open after power-up
constexpr int FarRelayClosed = 9; // far relay control, closed after power-up
} // namespace RelayQuantityCode

// The quantity type a relay quantity code stands for. The computed entry
// follows the computed quantity chosen on the Configuration page.
int RelayQuantityType(int relayCode, bool hasCO2, int computedQuantityType);

// ---------------------------------------------------------------------------
// Storing values.

// Every value stored into a word register is rounded to the nearest integer,
// ties to even (the default floating-point rounding mode).
double RoundToRegister(double value);
// Rounded and saturated into the word's range; NaN raises ERangeError.
quint16 UnsignedRegister(double value);
quint16 SignedRegister(double value);
inline qint16 SignedFromRegister(quint16 word) { return static_cast<qint16>(word); }

// ---------------------------------------------------------------------------
// Bit words. Each view changes only the bits it is asked to change, so the
// bits the program does not own survive a read-modify-write.

template <typename Bit>
class TBitWord {
public:
    constexpr explicit TBitWord(quint16 word = 0) : word_(word) {}
    constexpr quint16 Word() const { return word_; }
    constexpr bool Test(Bit bit) const { return (word_ & static_cast<quint16>(bit)) != 0; }
    constexpr void Set(Bit bit, bool on) { SetMasked(static_cast<quint16>(bit), on ? 0xFFFF : 0); }

protected:
    constexpr quint16 Field(quint16 mask, int shift) const { return (word_ & mask) >> shift; }
    constexpr void SetField(quint16 mask, int shift, quint16 value)
    {
        SetMasked(mask, static_cast<quint16>(value << shift));
    }

private:
    constexpr void SetMasked(quint16 mask, quint16 bits)
    {
        word_ = static_cast<quint16>((word_ & ~mask) | (bits & mask));
    }
    quint16 word_;
};

// Live status register 0x0007.
enum class TStatusBit : quint16 {
    Relay1Closed = 0x0008,
    Relay2Closed = 0x0010,
    VarloProbe = 0x4000,  // clear: HYT probe; meaningful only with a digital probe
};
using TStatusWord = TBitWord<TStatusBit>;
TStatusBit RelayClosedBit(int relay);

// Configuration word 0x103F. Bits 5-7 are not the program's. The computed
// quantity field (at most one of its bits set, ComputedQuantityMask) is the
// quantity model's.
enum class TConfigBit : quint16 {
    DisplayEnabled = 0x0001,
    HumidityChannel = 0x0002,
    HumidityOnDisplay = 0x0004,
    DewPoint = 0x0008,
    ComputedOnDisplay = 0x0010,
    TemperatureOnDisplay = 0x0100,
    AbsoluteHumidity = 0x0200,
    SpecificHumidity = 0x0400,
    MixingRatio = 0x0800,
    SpecificEnthalpy = 0x1000,
    PressureOrCO2Channel = 0x2000,
    PressureOrCO2OnDisplay = 0x4000,
    TemperatureChannel = 0x8000,
};
using TConfigWord = TBitWord<TConfigBit>;

// Relay, input and indication word 0x2007.
enum class TRelayInputBit : quint16 {
    InputLeds = 0x0001,        // the device has binary-input LEDs
    Input1LedClosed = 0x0002,  // LED lights while the input is closed (clear: opened)
    Input2LedClosed = 0x0004,
    Input3LedClosed = 0x0008,
    DigitalProbe = 0x0020,     // its kind is in the live status
    AcousticIndication = 0x0400,
    Relay1Acoustic = 0x0800,   // relay closing starts the acoustic indication
    Relay2Acoustic = 0x1000,
    EscStopsAcoustic = 0x2000,
    Relay1Greater = 0x4000,    // "greater" (clear "less"); binary input: "opened"
    Relay2Greater = 0x8000,
};
using TRelayInputWord = TBitWord<TRelayInputBit>;
// The per-relay and per-input bits; relay 1-2, input 1-3, else ERangeError.
TRelayInputBit InputLedClosedBit(int input);
TRelayInputBit RelayAcousticBit(int relay);
TRelayInputBit RelayGreaterBit(int relay);

// Unit word 0x203F: single bits; the fields have their own accessors.
enum class TUnitBit : quint16 {
    TemperatureFahrenheit = 0x0001,
    Relay1ActsOnError = 0x0002,
    CO2Averaged = 0x0004,  // CO2 devices only; pressure devices keep the unit here
    Relay2ActsOnError = 0x0020,
    Relay1ErrorCloses = 0x0040,
    Relay2ErrorCloses = 0x0080,
};

// A relay's behaviour on a measurement error of its quantity, in the order
// the page offers it: "Keep relay status", "Open relay", "Close relay".
enum class TRelayErrorAction { KeepStatus = 0, Open = 1, Close = 2 };

class TUnitWord : public TBitWord<TUnitBit> {
public:
    using TBitWord::TBitWord;

    // Pressure devices: bits 2-4, unit 0 (hPa) to 7 (kPa).
    int PressureUnitCode() const;
    void SetPressureUnitCode(int code);
    // CO2 devices: bits 3-4, 0 = 2000 ppm, 1 = 5000 ppm, 2 = 10000 ppm. The
    // unused code 3 reads as 2000 ppm; any range but 2000 and 5000 stores 2.
    int CO2RangeCode() const;
    int CO2RangePpm() const;
    void SetCO2RangePpm(int ppm);
    // Relay 1 in bits 8-11, relay 2 in bits 12-15 (RelayQuantityCode).
    int RelayQuantityCode(int relay) const;
    void SetRelayQuantityCode(int relay, int code);
    // Relay 1 bits 1 and 6, relay 2 bits 5 and 7. Keeping the status leaves
    // the close bit as it was, so an unchanged choice leaves the word unchanged.
    TRelayErrorAction RelayErrorAction(int relay) const;
    void SetRelayErrorAction(int relay, TRelayErrorAction action);
};

// ---------------------------------------------------------------------------
// Identity.

// The firmware version word's four hexadecimal digits read as a decimal
// number (0x0230 -> 230); every firmware threshold compares this number.
// Digits A-F do not occur in released versions; a version containing one
// counts as the highest all-decimal version below it: from the most
// significant digit on, the first digit above 9 and every lower digit
// become 9 (0x02A0 -> 299, 0x0A00 -> 999). The number never decreases as
// the word grows, so thresholds keep their order.
int FirmwareNumber(quint16 versionWord);

struct TFirmwareIdentity {
    quint16 version;
    quint16 date;
};
// Version and production date from the identification block image. Devices
// whose 0x3002 holds 0x0812 or 0x0901 keep the date there and the version
// in 0x3001.
TFirmwareIdentity FirmwareIdentity(const TSegmentImage &identImage);
// "02.31" for 0x0231.
QString FirmwareVersionText(quint16 version);
// "05/2009" for 0x0905: month in the low byte, year in the high byte.
QString FirmwareDateText(quint16 date);

// The serial number from block 1: high word 0x1036, low word 0x1035.
quint32 SerialNumber(const TSegmentImage &image1);
// Eight hexadecimal digits, those of 0x1036 first.
QString SerialNumberText(const TSegmentImage &image1);

// ---------------------------------------------------------------------------
// Communication settings.

// ADAM addresses are stored in 0x2001 as two upper-case ASCII hexadecimal
// digits, the first in the high byte (0x1A -> 0x3141). Addresses outside
// 0-255 raise ERangeError.
quint16 EncodeAdamAddress(int address);
// The address, or nothing when the word is not two hexadecimal digits.
std::optional<int> DecodeAdamAddress(quint16 word);

// The divisor of the transmitter's serial clock for a rate in bit/s
// (9600 -> 0x01B5). A rate whose divisor does not fit a word raises ERangeError.
quint16 BaudDivisorOf(quint32 baud);

// ---------------------------------------------------------------------------
// Analog outputs.

// The four registers of a quantity's output range: its values at the lower
// and upper end of the output and the clamps derived from them.
struct TOutputRangeRegisters {
    quint16 lowerEnd;
    quint16 upperEnd;
    quint16 lowerClamp;
    quint16 upperClamp;
};
constexpr TOutputRangeRegisters TemperatureRange{Reg::TemperatureLowerEndC, Reg::TemperatureUpperEndC,
                                                 Reg::TemperatureLowerClampC, Reg::TemperatureUpperClampC};
constexpr TOutputRangeRegisters HumidityRange{Reg::HumidityLowerEndPct, Reg::HumidityUpperEndPct,
                                              Reg::HumidityLowerClampPct, Reg::HumidityUpperClampPct};
constexpr TOutputRangeRegisters ComputedRange{Reg::ComputedLowerEnd, Reg::ComputedUpperEnd,
                                              Reg::ComputedLowerClamp, Reg::ComputedUpperClamp};
constexpr TOutputRangeRegisters PressureOrCO2Range{Reg::PressureOrCO2LowerEnd, Reg::PressureOrCO2UpperEnd,
                                                   Reg::PressureOrCO2LowerClamp, Reg::PressureOrCO2UpperClamp};

struct TOutputClamps {
    double lower;
    double upper;
};
// The clamps of an output whose ends represent lowerEnd and upperEnd (either
// order): a little below the smaller, a little above the larger value.
TOutputClamps OutputClamps(double lowerEnd, double upperEnd);
// Stores both ends and their clamps as floats into the images (the range's
// registers lie in block 1 or in block 2).
void StoreOutputRange(const TOutputRangeRegisters &range, double lowerEnd, double upperEnd,
                      TSegmentImage &image1, TSegmentImage &image2);

// The registers of one output channel.
struct TOutputChannelRegisters {
    quint16 quantity;          // block 1
    quint16 lowerEndAddress;   // block 1
    quint16 lowerClampAddress; // block 1
    quint16 converterAtLowerV;     // block 1, floats
    quint16 converterAtUpperV;
    quint16 converterAboveUpperV;
    quint16 lowerV;            // block 2, floats
    quint16 upperV;
    quint16 aboveUpperV;
};
// Channel 1 or 2; any other raises ERangeError.
const TOutputChannelRegisters &OutputChannel(int channel);

// The register values of a voltage output for a new upper voltage.
struct TVoltageScaling {
    double upperV;
    double aboveUpperV;
    double converterAtUpperV;
    double converterAboveUpperV;  // at most the converter's full scale
};
constexpr double AboveUpperMarginV = 0.5;
constexpr double ConverterFullScale = 65535.0;
// Interpolates the converter values from the channel's stored voltages and
// converter values (not yet replaced by the new ones).
TVoltageScaling VoltageScaling(int channel, double upperV, const TSegmentImage &image1,
                               const TSegmentImage &image2);
void ApplyVoltageScaling(int channel, const TVoltageScaling &scaling, TSegmentImage &image1,
                         TSegmentImage &image2);
// Both steps: what Save does for a voltage output's upper voltage.
void ScaleVoltageOutput(int channel, double upperV, TSegmentImage &image1, TSegmentImage &image2);

// What an output channel carries: 0x1039/0x103A hold the live address of the
// quantity's value, 0x103B-0x103E the addresses of its lower end and lower clamp.
struct TChannelAssignment {
    quint16 quantity;
    quint16 lowerEndAddress;
    quint16 lowerClampAddress;
};
// The assignment for a quantity type; only measured (6-9) and computed
// (10-14) quantities have one.
std::optional<TChannelAssignment> ChannelAssignment(int quantityType);
// Stores the channel's assignment into block 1; false (image untouched) when
// the quantity type has none.
bool ApplyChannelAssignment(int channel, int quantityType, TSegmentImage &image1);

// The quantity slot a channel register value selects.
enum class TOutputSlot { None, Temperature, Humidity, Pressure, CO2, Computed };
TOutputSlot ChannelSlot(quint16 channelWord, bool hasCO2);

// ---------------------------------------------------------------------------
// Relays.

struct TRelayRegisters {
    quint16 value;
    quint16 hysteresis;
    quint16 delayHalfS;
};
// Relay 1 or 2; any other raises ERangeError.
const TRelayRegisters &RelayRegisters(int relay);

// Switching value and hysteresis: tenths of the quantity's unit, the value
// signed and the hysteresis unsigned; whole ppm (unsigned) when the relay
// follows CO2 (quantityType 9).
quint16 RelayValueToRegister(double value, int quantityType);
double RelayValueFromRegister(quint16 word, int quantityType);
quint16 RelayHysteresisToRegister(double hysteresis, int quantityType);
double RelayHysteresisFromRegister(quint16 word, int quantityType);
// The delay is kept in half-seconds.
quint16 RelayDelayToRegister(double seconds);
double RelayDelayFromRegister(quint16 word);

// ---------------------------------------------------------------------------
// Pressure filter (0x2038): the low byte holds the coefficient × 100, the
// high byte is not the program's.
double PressureFilterCoefficient(quint16 word);
quint16 WithPressureFilterCoefficient(quint16 word, double coefficient);
