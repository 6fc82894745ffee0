#include "serialconfig/uRegisterMap.h"

#include "shell/uErrors.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>

namespace {

constexpr int RelayCount = 2;
constexpr int ChannelCount = 2;
constexpr int InputCount = 3;
constexpr const char *InvalidRelay = "invalid relay number";

[[noreturn]] void RaiseRange(const char *text)
{
    throw ERangeError(QString::fromLatin1(text));
}

// The zero-based index of a numbered relay, channel or input (1..count).
int IndexOf(int number, int count, const char *text)
{
    if (number < 1 || number > count)
        RaiseRange(text);
    return number - 1;
}

// The bit of the n-th relay or input: the bits of one kind lie side by side.
template <typename Bit>
Bit NthBit(Bit first, int number, int count, const char *text)
{
    return static_cast<Bit>(static_cast<quint16>(first) << IndexOf(number, count, text));
}

int RelayIndex(int relay)
{
    return IndexOf(relay, RelayCount, InvalidRelay);
}

double RoundedWithin(double value, double lowest, double highest)
{
    if (std::isnan(value))
        RaiseRange("register value is not a number");
    return std::clamp(RoundToRegister(value), lowest, highest);
}

} // namespace

int RelayQuantityType(int relayCode, bool hasCO2, int computedQuantityType)
{
    switch (relayCode) {
    case RelayQuantityCode::Temperature: return QuantityCode::Temperature;
    case RelayQuantityCode::Humidity: return QuantityCode::RelativeHumidity;
    case RelayQuantityCode::PressureOrCO2: return hasCO2 ? QuantityCode::CO2 : QuantityCode::Pressure;
    case RelayQuantityCode::Computed: return computedQuantityType;
    case RelayQuantityCode::BinaryInput1:
    case RelayQuantityCode::BinaryInput2:
    case RelayQuantityCode::BinaryInput3: return QuantityCode::BinaryInput;
    case RelayQuantityCode::FarRelayOpen:
    case RelayQuantityCode::FarRelayClosed: return QuantityCode::FarRelayControl;
    default: return QuantityCode::None;
    }
}

// ---------------------------------------------------------------------------
// Storing values.

double RoundToRegister(double value)
{
    // nearbyint follows the current rounding mode, which the program never
    // changes from round-to-nearest-even.
    return std::nearbyint(value);
}

quint16 UnsignedRegister(double value)
{
    return static_cast<quint16>(RoundedWithin(value, 0.0, std::numeric_limits<quint16>::max()));
}

quint16 SignedRegister(double value)
{
    const double rounded =
        RoundedWithin(value, std::numeric_limits<qint16>::min(), std::numeric_limits<qint16>::max());
    return static_cast<quint16>(static_cast<qint16>(rounded));
}

// ---------------------------------------------------------------------------
// Bit words.

TStatusBit RelayClosedBit(int relay)
{
    return NthBit(TStatusBit::Relay1Closed, relay, RelayCount, InvalidRelay);
}

TRelayInputBit InputLedClosedBit(int input)
{
    return NthBit(TRelayInputBit::Input1LedClosed, input, InputCount, "invalid binary input number");
}

TRelayInputBit RelayAcousticBit(int relay)
{
    return NthBit(TRelayInputBit::Relay1Acoustic, relay, RelayCount, InvalidRelay);
}

TRelayInputBit RelayGreaterBit(int relay)
{
    return NthBit(TRelayInputBit::Relay1Greater, relay, RelayCount, InvalidRelay);
}

namespace {

constexpr quint16 PressureUnitMask = 0x001C;
constexpr int PressureUnitShift = 2;
constexpr int PressureUnitCount = 8;
constexpr quint16 CO2RangeMask = 0x0018;
constexpr int CO2RangeShift = 3;
constexpr std::array<int, 3> CO2RangesPpm = {2000, 5000, 10000};
constexpr quint16 Relay1QuantityMask = 0x0F00;
constexpr int Relay1QuantityShift = 8;
constexpr int RelayQuantityBits = 4;
constexpr int RelayQuantityCodeCount = 16;

struct TRelayErrorBits {
    TUnitBit acts;
    TUnitBit closes;
};
constexpr std::array<TRelayErrorBits, RelayCount> RelayErrorBits = {{
    {TUnitBit::Relay1ActsOnError, TUnitBit::Relay1ErrorCloses},
    {TUnitBit::Relay2ActsOnError, TUnitBit::Relay2ErrorCloses},
}};

int RelayQuantityShift(int relay)
{
    return Relay1QuantityShift + RelayQuantityBits * RelayIndex(relay);
}

quint16 RelayQuantityMask(int relay)
{
    return static_cast<quint16>(Relay1QuantityMask << (RelayQuantityShift(relay) - Relay1QuantityShift));
}

} // namespace

int TUnitWord::PressureUnitCode() const
{
    return Field(PressureUnitMask, PressureUnitShift);
}

void TUnitWord::SetPressureUnitCode(int code)
{
    if (code < 0 || code >= PressureUnitCount)
        RaiseRange("invalid pressure unit code");
    SetField(PressureUnitMask, PressureUnitShift, static_cast<quint16>(code));
}

int TUnitWord::CO2RangeCode() const
{
    return Field(CO2RangeMask, CO2RangeShift);
}

int TUnitWord::CO2RangePpm() const
{
    const int code = CO2RangeCode();
    return code < static_cast<int>(CO2RangesPpm.size()) ? CO2RangesPpm[code] : CO2RangesPpm[0];
}

void TUnitWord::SetCO2RangePpm(int ppm)
{
    // Anything but the two smaller ranges is the largest one.
    const int count = static_cast<int>(CO2RangesPpm.size());
    int code = count - 1;
    for (int i = 0; i < count; ++i) {
        if (CO2RangesPpm[i] == ppm)
            code = i;
    }
    SetField(CO2RangeMask, CO2RangeShift, static_cast<quint16>(code));
}

int TUnitWord::RelayQuantityCode(int relay) const
{
    return Field(RelayQuantityMask(relay), RelayQuantityShift(relay));
}

void TUnitWord::SetRelayQuantityCode(int relay, int code)
{
    if (code < 0 || code >= RelayQuantityCodeCount)
        RaiseRange("invalid relay quantity code");
    SetField(RelayQuantityMask(relay), RelayQuantityShift(relay), static_cast<quint16>(code));
}

TRelayErrorAction TUnitWord::RelayErrorAction(int relay) const
{
    const TRelayErrorBits &bits = RelayErrorBits[RelayIndex(relay)];
    if (!Test(bits.acts))
        return TRelayErrorAction::KeepStatus;
    return Test(bits.closes) ? TRelayErrorAction::Close : TRelayErrorAction::Open;
}

void TUnitWord::SetRelayErrorAction(int relay, TRelayErrorAction action)
{
    const TRelayErrorBits &bits = RelayErrorBits[RelayIndex(relay)];
    Set(bits.acts, action != TRelayErrorAction::KeepStatus);
    if (action != TRelayErrorAction::KeepStatus)
        Set(bits.closes, action == TRelayErrorAction::Close);
}

// ---------------------------------------------------------------------------
// Identity.

int FirmwareNumber(quint16 versionWord)
{
    constexpr int HexDigits = 4;
    constexpr int HighestDecimalDigit = 9;
    int number = 0;
    bool capped = false;
    for (int i = HexDigits - 1; i >= 0; --i) {
        int digit = (versionWord >> (4 * i)) & 0xF;
        capped = capped || digit > HighestDecimalDigit;
        if (capped)
            digit = HighestDecimalDigit;
        number = number * 10 + digit;
    }
    return number;
}

TFirmwareIdentity FirmwareIdentity(const TSegmentImage &identImage)
{
    // Words these devices keep in 0x3002 that are dates, not versions.
    constexpr std::array<quint16, 2> SwappedIdentityDates = {0x0812, 0x0901};
    const quint16 version = ImageWord(Reg::IdentVersion, identImage);
    const quint16 date = ImageWord(Reg::IdentDate, identImage);
    const bool swapped =
        std::find(SwappedIdentityDates.begin(), SwappedIdentityDates.end(), version) != SwappedIdentityDates.end();
    return swapped ? TFirmwareIdentity{date, version} : TFirmwareIdentity{version, date};
}

QString FirmwareVersionText(quint16 version)
{
    return QString::asprintf("%2.2x.%2.2x", unsigned(version >> 8), unsigned(version & 0xFF));
}

QString FirmwareDateText(quint16 date)
{
    return QString::asprintf("%2.2x/20%2.2x", unsigned(date & 0xFF), unsigned(date >> 8));
}

quint32 SerialNumber(const TSegmentImage &image1)
{
    return (static_cast<quint32>(ImageWord(Reg::SerialNumberHigh, image1)) << 16) |
           ImageWord(Reg::SerialNumberLow, image1);
}

QString SerialNumberText(const TSegmentImage &image1)
{
    return QString::asprintf("%4.4x%4.4x", unsigned(ImageWord(Reg::SerialNumberHigh, image1)),
                             unsigned(ImageWord(Reg::SerialNumberLow, image1)));
}

// ---------------------------------------------------------------------------
// Communication settings.

namespace {

constexpr int HexDigitValues = 16;
constexpr char HexDigitChars[] = "0123456789ABCDEF";

std::optional<int> HexDigitValue(int character)
{
    if (character >= '0' && character <= '9')
        return character - '0';
    if (character >= 'A' && character <= 'F')
        return character - 'A' + 10;
    if (character >= 'a' && character <= 'f')
        return character - 'a' + 10;
    return std::nullopt;
}

} // namespace

quint16 EncodeAdamAddress(int address)
{
    if (address < 0 || address >= HexDigitValues * HexDigitValues)
        RaiseRange("invalid ADAM address");
    const int high = HexDigitChars[address / HexDigitValues];
    const int low = HexDigitChars[address % HexDigitValues];
    return static_cast<quint16>((high << 8) | low);
}

std::optional<int> DecodeAdamAddress(quint16 word)
{
    const auto high = HexDigitValue(word >> 8);
    const auto low = HexDigitValue(word & 0xFF);
    if (!high || !low)
        return std::nullopt;
    return *high * HexDigitValues + *low;
}

quint16 BaudDivisorOf(quint32 baud)
{
    constexpr double SerialClockHz = 4194304.0;
    const double divisor = baud == 0 ? 0.0 : RoundToRegister(SerialClockHz / baud);
    if (divisor < 1.0 || divisor > std::numeric_limits<quint16>::max())
        RaiseRange("invalid baudrate value");
    return static_cast<quint16>(divisor);
}

// ---------------------------------------------------------------------------
// Analog outputs.

namespace {

// The clamps sit at most one unit, and for narrow ranges less, outside the
// range: 1 % of the span below, 5 % above.
constexpr double ClampMarginUnits = 1.0;
constexpr double LowerClampSpanShare = 0.01;
constexpr double UpperClampSpanShare = 0.05;

TSegmentImage &BlockImage(quint16 address, TSegmentImage &image1, TSegmentImage &image2)
{
    // A register of another block is refused by the image accessors.
    return (address >> 12) == 2 ? image2 : image1;
}

void StoreFloat(quint16 address, double value, TSegmentImage &image1, TSegmentImage &image2)
{
    SetImageFloat(address, BlockImage(address, image1, image2), value);
}

constexpr std::array<TOutputChannelRegisters, ChannelCount> Channels = {{
    {Reg::Out1Quantity, Reg::Out1LowerEndAddress, Reg::Out1LowerClampAddress, Reg::Out1ConverterAtLowerV,
     Reg::Out1ConverterAtUpperV, Reg::Out1ConverterAboveUpperV, Reg::Out1LowerV, Reg::Out1UpperV,
     Reg::Out1AboveUpperV},
    {Reg::Out2Quantity, Reg::Out2LowerEndAddress, Reg::Out2LowerClampAddress, Reg::Out2ConverterAtLowerV,
     Reg::Out2ConverterAtUpperV, Reg::Out2ConverterAboveUpperV, Reg::Out2LowerV, Reg::Out2UpperV,
     Reg::Out2AboveUpperV},
}};

// The converter value at voltage x on the line through the two stored
// points; a degenerate line (both voltages equal) gives their midpoint.
double ConverterValueAt(double x, double lowerV, double upperV, double atLowerV, double atUpperV)
{
    if (upperV == lowerV)
        return (atLowerV + atUpperV) / 2.0;
    return atLowerV + (atUpperV - atLowerV) * (x - lowerV) / (upperV - lowerV);
}

} // namespace

TOutputClamps OutputClamps(double lowerEnd, double upperEnd)
{
    const double lo = std::min(lowerEnd, upperEnd);
    const double hi = std::max(lowerEnd, upperEnd);
    const double span = hi - lo;
    return {std::max(lo - ClampMarginUnits, lo - LowerClampSpanShare * span),
            std::min(hi + ClampMarginUnits, hi + UpperClampSpanShare * span)};
}

void StoreOutputRange(const TOutputRangeRegisters &range, double lowerEnd, double upperEnd,
                      TSegmentImage &image1, TSegmentImage &image2)
{
    const TOutputClamps clamps = OutputClamps(lowerEnd, upperEnd);
    StoreFloat(range.lowerEnd, lowerEnd, image1, image2);
    StoreFloat(range.upperEnd, upperEnd, image1, image2);
    StoreFloat(range.lowerClamp, clamps.lower, image1, image2);
    StoreFloat(range.upperClamp, clamps.upper, image1, image2);
}

const TOutputChannelRegisters &OutputChannel(int channel)
{
    return Channels[IndexOf(channel, ChannelCount, "invalid output channel")];
}

TVoltageScaling VoltageScaling(int channel, double upperV, const TSegmentImage &image1,
                               const TSegmentImage &image2)
{
    const TOutputChannelRegisters &regs = OutputChannel(channel);
    const double storedLowerV = ImageFloat(regs.lowerV, image2);
    const double storedUpperV = ImageFloat(regs.upperV, image2);
    const double atLowerV = ImageFloat(regs.converterAtLowerV, image1);
    const double atUpperV = ImageFloat(regs.converterAtUpperV, image1);
    const auto converterAt = [&](double x) {
        return ConverterValueAt(x, storedLowerV, storedUpperV, atLowerV, atUpperV);
    };
    const double aboveUpperV = upperV + AboveUpperMarginV;
    return {upperV, aboveUpperV, converterAt(upperV), std::min(converterAt(aboveUpperV), ConverterFullScale)};
}

void ApplyVoltageScaling(int channel, const TVoltageScaling &scaling, TSegmentImage &image1,
                         TSegmentImage &image2)
{
    const TOutputChannelRegisters &regs = OutputChannel(channel);
    SetImageFloat(regs.upperV, image2, scaling.upperV);
    SetImageFloat(regs.aboveUpperV, image2, scaling.aboveUpperV);
    SetImageFloat(regs.converterAtUpperV, image1, scaling.converterAtUpperV);
    SetImageFloat(regs.converterAboveUpperV, image1, scaling.converterAboveUpperV);
}

void ScaleVoltageOutput(int channel, double upperV, TSegmentImage &image1, TSegmentImage &image2)
{
    ApplyVoltageScaling(channel, VoltageScaling(channel, upperV, image1, image2), image1, image2);
}

std::optional<TChannelAssignment> ChannelAssignment(int quantityType)
{
    // The channel word is the live address of the quantity's value.
    const auto assign = [](quint16 valueAddress, const TOutputRangeRegisters &range) {
        return TChannelAssignment{valueAddress, range.lowerEnd, range.lowerClamp};
    };
    switch (quantityType) {
    case QuantityCode::Temperature: return assign(Reg::TemperatureValue, TemperatureRange);
    case QuantityCode::RelativeHumidity: return assign(Reg::HumidityValuePct, HumidityRange);
    case QuantityCode::Pressure:
    case QuantityCode::CO2: return assign(Reg::PressureOrCO2Value, PressureOrCO2Range);
    default:
        if (quantityType >= QuantityCode::DewPoint && quantityType <= QuantityCode::SpecificEnthalpy)
            return assign(Reg::ComputedValue, ComputedRange);
        return std::nullopt;
    }
}

bool ApplyChannelAssignment(int channel, int quantityType, TSegmentImage &image1)
{
    const TOutputChannelRegisters &regs = OutputChannel(channel);
    const auto assignment = ChannelAssignment(quantityType);
    if (!assignment)
        return false;
    SetImageWord(regs.quantity, image1, assignment->quantity);
    SetImageWord(regs.lowerEndAddress, image1, assignment->lowerEndAddress);
    SetImageWord(regs.lowerClampAddress, image1, assignment->lowerClampAddress);
    return true;
}

TOutputSlot ChannelSlot(quint16 channelWord, bool hasCO2)
{
    switch (channelWord) {
    case Reg::TemperatureValue: return TOutputSlot::Temperature;
    case Reg::HumidityValuePct: return TOutputSlot::Humidity;
    case Reg::ComputedValue: return TOutputSlot::Computed;
    case Reg::PressureOrCO2Value: return hasCO2 ? TOutputSlot::CO2 : TOutputSlot::Pressure;
    default: return TOutputSlot::None;
    }
}

// ---------------------------------------------------------------------------
// Relays.

namespace {

constexpr std::array<TRelayRegisters, RelayCount> Relays = {{
    {Reg::Relay1Value, Reg::Relay1Hysteresis, Reg::Relay1DelayHalfS},
    {Reg::Relay2Value, Reg::Relay2Hysteresis, Reg::Relay2DelayHalfS},
}};

constexpr double TenthsPerUnit = 10.0;
constexpr double HalfSecondsPerSecond = 2.0;

bool IsWholePpm(int quantityType)
{
    return quantityType == QuantityCode::CO2;
}

double RelayRegisterScale(int quantityType)
{
    return IsWholePpm(quantityType) ? 1.0 : TenthsPerUnit;
}

} // namespace

const TRelayRegisters &RelayRegisters(int relay)
{
    return Relays[RelayIndex(relay)];
}

quint16 RelayValueToRegister(double value, int quantityType)
{
    const double scaled = value * RelayRegisterScale(quantityType);
    return IsWholePpm(quantityType) ? UnsignedRegister(scaled) : SignedRegister(scaled);
}

double RelayValueFromRegister(quint16 word, int quantityType)
{
    const double raw = IsWholePpm(quantityType) ? double(word) : double(SignedFromRegister(word));
    return raw / RelayRegisterScale(quantityType);
}

quint16 RelayHysteresisToRegister(double hysteresis, int quantityType)
{
    return UnsignedRegister(hysteresis * RelayRegisterScale(quantityType));
}

double RelayHysteresisFromRegister(quint16 word, int quantityType)
{
    return word / RelayRegisterScale(quantityType);
}

quint16 RelayDelayToRegister(double seconds)
{
    return UnsignedRegister(seconds * HalfSecondsPerSecond);
}

double RelayDelayFromRegister(quint16 word)
{
    return word / HalfSecondsPerSecond;
}

// ---------------------------------------------------------------------------
// Pressure filter.

namespace {
constexpr double PressureFilterScale = 100.0;
constexpr quint16 PressureFilterMask = 0x00FF;
} // namespace

double PressureFilterCoefficient(quint16 word)
{
    return (word & PressureFilterMask) / PressureFilterScale;
}

quint16 WithPressureFilterCoefficient(quint16 word, double coefficient)
{
    const quint16 low = std::min<quint16>(UnsignedRegister(coefficient * PressureFilterScale), PressureFilterMask);
    return static_cast<quint16>((word & ~PressureFilterMask) | low);
}
