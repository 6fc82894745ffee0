#include "support/SensorImages.h"

#include <QList>

#include <algorithm>

namespace {

// Quantity bits of the device type table.
constexpr quint16 TypeTemperature = 0x0040;
constexpr quint16 TypeHumidity = 0x0080;
constexpr quint16 TypePressure = 0x0100;
constexpr quint16 TypeCO2 = 0x0200;

// Live addresses of the values a channel can carry.
constexpr quint16 TemperatureValue = 0x0009;
constexpr quint16 HumidityValue = 0x000B;
constexpr quint16 ComputedValue = 0x000D;
constexpr quint16 PressureOrCO2Value = 0x000F;

constexpr quint16 ChecksumWord = 63;

} // namespace

TSensorImages::TSensorImages(const TSensType &type)
{
    const quint16 q = type.GetQuantities();
    const bool t = (q & TypeTemperature) != 0;
    const bool h = (q & TypeHumidity) != 0;
    const bool p = (q & TypePressure) != 0;
    const bool co2 = (q & TypeCO2) != 0;

    quint16 config = 0;
    if (t)
        config |= 0x8000 | 0x0100;  // channel, on the display
    if (h)
        config |= 0x0002 | 0x0004;
    if (p || co2)
        config |= 0x2000 | 0x4000;
    if (t && h && !type.GetFixedConfig())
        config |= 0x0008 | 0x0010;  // dew point, on the display
    if (type.GetHasDisplay())
        config |= 0x0001;

    Word(0x1035, 0x5678).Word(0x1036, 0x0012).Word(0x1037, type.GetDeviceId());
    Word(0x1038, 1013).Word(0x103F, config);
    OutputRange(0x1001, 0, 50).OutputRange(0x1009, 0, 100).OutputRange(0x1011, -20, 50);
    if (p)
        OutputRange(0x202F, 800, 1100).Float(0x2023, 1.25);  // pressure calibration float
    if (co2)
        OutputRange(0x202F, 0, 2000).Word(0x2023, 800).Word(0x2024, 1200);

    QList<quint16> measured;
    if (t)
        measured.append(TemperatureValue);
    if (h)
        measured.append(HumidityValue);
    if (p || co2)
        measured.append(PressureOrCO2Value);
    if (!measured.isEmpty())
        ChannelQuantity(1, measured.first()).ChannelQuantity(2, measured.value(1, measured.first()));
    if (type.GetInterface() == 2)
        VoltageOutput(1, 0, 10, 0, 60000).VoltageOutput(2, 0, 10, 0, 60000);

    Word(0x2001, 1).Word(0x2002, 0x01B5).Word(0x2003, 0).Word(0x2004, 0);
    Word(0x2038, 0x0014);  // pressure filter 0.2
}

TSensorImages &TSensorImages::Word(quint16 address, quint16 value)
{
    SetImageWord(address, ImageOf(address), value);
    Seal();
    return *this;
}

TSensorImages &TSensorImages::Float(quint16 address, double value)
{
    SetImageFloat(address, ImageOf(address), value);
    Seal();
    return *this;
}

TSensorImages &TSensorImages::OutputRange(quint16 lowerEndAddress, double lower, double upper)
{
    // The clamps a save leaves: 1 % of the span (at most one unit) below,
    // 5 % (at most one unit) above.
    const double lo = std::min(lower, upper);
    const double hi = std::max(lower, upper);
    const double span = hi - lo;
    return Float(lowerEndAddress, lower)
        .Float(lowerEndAddress + 2, upper)
        .Float(lowerEndAddress + 4, std::max(lo - 1, lo - 0.01 * span))
        .Float(lowerEndAddress + 6, std::min(hi + 1, hi + 0.05 * span));
}

TSensorImages &TSensorImages::ChannelQuantity(int channel, quint16 valueAddress)
{
    quint16 lowerEnd = 0x1001;
    quint16 lowerClamp = 0x1005;
    switch (valueAddress) {
    case HumidityValue:
        lowerEnd = 0x1009;
        lowerClamp = 0x100D;
        break;
    case ComputedValue:
        lowerEnd = 0x1011;
        lowerClamp = 0x1015;
        break;
    case PressureOrCO2Value:
        lowerEnd = 0x202F;
        lowerClamp = 0x2033;
        break;
    default: break;
    }
    const quint16 offset = quint16(channel - 1);
    return Word(0x1039 + offset, valueAddress).Word(0x103B + offset, lowerEnd).Word(0x103D + offset, lowerClamp);
}

TSensorImages &TSensorImages::VoltageOutput(int channel, double lowerV, double upperV, double atLowerV,
                                            double atUpperV)
{
    const bool first = channel == 1;
    const double aboveUpperV = upperV + 0.5;
    const double atAbove =
        std::min(65535.0, atLowerV + (atUpperV - atLowerV) * (aboveUpperV - lowerV) / (upperV - lowerV));
    return Float(first ? 0x2009 : 0x200D, lowerV)
        .Float(first ? 0x200B : 0x200F, upperV)
        .Float(first ? 0x2013 : 0x2017, aboveUpperV)
        .Float(first ? 0x1019 : 0x1021, atLowerV)
        .Float(first ? 0x101B : 0x1023, atUpperV)
        .Float(first ? 0x101F : 0x1027, atAbove);
}

quint16 TSensorImages::WordAt(quint16 address) const
{
    return ImageWord(address, ImageOf(address));
}

double TSensorImages::FloatAt(quint16 address) const
{
    return ImageFloat(address, ImageOf(address));
}

TSegmentImage &TSensorImages::ImageOf(quint16 address)
{
    return (address >> 12) == 2 ? Image2 : Image1;
}

const TSegmentImage &TSensorImages::ImageOf(quint16 address) const
{
    return (address >> 12) == 2 ? Image2 : Image1;
}

void TSensorImages::Seal()
{
    for (TSegmentImage *image : {&Image1, &Image2}) {
        quint16 sum = 0;
        for (int i = 0; i < ChecksumWord; ++i)
            sum = quint16(sum + (*image)[i]);
        (*image)[ChecksumWord] = sum;
    }
}
