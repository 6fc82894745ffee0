#include "SimFactory.h"

#include "SimProfile.h"
#include "SimRegisters.h"

#include <cmath>

namespace SimFactory {

namespace {

namespace R = SimRegisters;

constexpr quint16 StandardPressureHpa = 1013;
constexpr quint16 PressureFilterHundredths = 10;
constexpr double VoltageHeadroomV = 0.5;
constexpr double ConverterMax = 65535.0;
constexpr std::array<quint16, 2> SwappedLayoutDates{0x0812, 0x0901};

// Temperature calibration (0x1029..0x102F) and humidity coefficients
// (0x1031, 0x1033): offset 0, gain 1.
constexpr std::array<std::pair<quint16, double>, 6> CalibrationDefaults{
    {{0x1029, 0.0}, {0x102B, 1.0}, {0x102D, 0.0}, {0x102F, 1.0}, {0x1031, 0.0}, {0x1033, 1.0}}};

struct QuantityRegisters {
    const char *name;
    quint16 channelCode;
    quint16 lowReference;
    quint16 clampReference;
};

constexpr std::array<QuantityRegisters, 5> QuantityTable{{
    {"temperature", 9, 0x1001, 0x1005},
    {"humidity", 11, 0x1009, 0x100D},
    {"computed", 13, 0x1011, 0x1015},
    {"pressure", 15, 0x202F, 0x2033},
    {"co2", 15, 0x202F, 0x2033},
}};

// Per output channel: converter values low / high / high + headroom, and
// output voltages low / high / high + headroom.
struct ChannelRegisters {
    quint16 converterLow, converterHigh, converterHeadroom;
    quint16 voltageLow, voltageHigh, voltageHeadroom;
};
constexpr std::array<ChannelRegisters, 2> ChannelTable{{
    {0x1019, 0x101B, 0x101F, 0x2009, 0x200B, 0x2013},
    {0x1021, 0x1023, 0x1027, 0x200D, 0x200F, 0x2017},
}};

const QuantityRegisters *Registers(const QString &quantity)
{
    for (const QuantityRegisters &q : QuantityTable) {
        if (quantity == QLatin1String(q.name))
            return &q;
    }
    return nullptr;
}

void StoreRanges(SimMemory &m, const SimProfile &p)
{
    for (auto it = p.ranges.begin(); it != p.ranges.end(); ++it) {
        const QuantityRegisters *q = Registers(it.key());
        if (!q)
            continue;
        const Clamps clamps = ClampsOf(it->low, it->high);
        m.setFloat(q->lowReference, it->low);
        m.setFloat(q->lowReference + 2, it->high);
        m.setFloat(q->clampReference, clamps.lower);
        m.setFloat(q->clampReference + 2, clamps.upper);
    }
}

void StoreOutputs(SimMemory &m, const SimProfile &p)
{
    for (int n = 0; n < std::min<int>(p.outputs.size(), ChannelTable.size()); ++n) {
        const SimProfile::Output &out = p.outputs[n];
        const ChannelRegisters &ch = ChannelTable[n];
        if (const QuantityRegisters *q = Registers(out.quantity)) {
            m.setWord(R::OutputQuantity + n, q->channelCode);
            m.setWord(R::OutputLow + n, q->lowReference);
            m.setWord(R::OutputClamp + n, q->clampReference);
        }
        m.setFloat(ch.converterLow, out.converter.low);
        m.setFloat(ch.converterHigh, out.converter.high);
        if (!out.voltage)
            continue;
        const SimProfile::Range &v = *out.voltage;
        const double span = v.high - v.low;
        const double headroom = out.converter.low + (out.converter.high - out.converter.low) *
                                                        (v.high + VoltageHeadroomV - v.low) / (span ? span : 1.0);
        m.setFloat(ch.converterHeadroom, std::min(headroom, ConverterMax));
        m.setFloat(ch.voltageLow, v.low);
        m.setFloat(ch.voltageHigh, v.high);
        m.setFloat(ch.voltageHeadroom, v.high + VoltageHeadroomV);
    }
}

quint16 StoreRelays(SimMemory &m, const SimProfile &p)
{
    quint16 unitWord = p.unitWord;
    quint16 relayWord = p.relayWord;
    for (int n = 0; n < std::min<int>(p.relays.size(), 2); ++n) {
        const SimProfile::Relay &r = p.relays[n];
        const bool wholePpm = r.quantityCode == R::RelayFourthChannel && p.fourthChannel() == LiveValues::FourthChannel::Co2;
        const double scale = wholePpm ? 1.0 : 10.0;
        const int shift = R::RelayQuantityShift + R::RelayQuantityBits * n;
        unitWord = static_cast<quint16>((unitWord & ~(0xF << shift)) | ((r.quantityCode & 0xF) << shift));
        unitWord = r.actOnError ? (unitWord | R::RelayActsOnError[n]) : (unitWord & ~R::RelayActsOnError[n]);
        unitWord = r.closeOnError ? (unitWord | R::RelayClosesOnError[n]) : (unitWord & ~R::RelayClosesOnError[n]);
        const quint16 conditionBit = static_cast<quint16>(1u << (R::RelayConditionBit + n));
        relayWord = r.greater ? (relayWord | conditionBit) : (relayWord & ~conditionBit);
        m.setWord(R::SwitchValue + n, static_cast<quint16>(static_cast<qint16>(std::lround(r.value * scale))));
        m.setWord(R::Hysteresis + n, static_cast<quint16>(std::lround(r.hysteresis * scale)));
    }
    m.setWord(R::RelayWord, relayWord);
    return unitWord;
}

// EEPROM and segment 6 hold calibration data of the sensing elements; a
// pattern of the serial number makes each device's differ.
void StorePattern(SimMemory &m, const SimProfile &p)
{
    for (int segment : {4, 5, 6}) {
        QList<quint16> words;
        for (int i = 0; i < SimMemory::SegmentWords; ++i)
            words.append(static_cast<quint16>((p.serial & 0xFFFF) + segment * 0x1000 + i * 0x0101));
        m.setSegmentImage(segment, words);
    }
}

void StoreIdentity(SimMemory &m, const SimProfile &p)
{
    SetSerial(m, p.serial);
    m.setWord(R::DeviceId, p.deviceId);
    m.setWord(R::ConfigWord, p.configWord);
    m.setWord(R::ComputePressure, StandardPressureHpa);
    m.setWord(R::Address, static_cast<quint16>(p.address));
    m.setWord(R::BaudDivisor, static_cast<quint16>(std::lround(R::BaudClockHz / p.baud)));
    m.setWord(R::Protocol, p.protocol);
    m.setWord(R::ProtocolOption, p.protocolOption);
    m.setWord(R::PressureFilter, PressureFilterHundredths);
    const bool swapped = SwappedRomLayout(p.firmwareDate);
    m.setWord(swapped ? R::RomVersion : R::RomDate, p.firmwareDate);
    m.setWord(swapped ? R::RomDate : R::RomVersion, p.firmware);
    m.setWord(R::Status, p.statusWord);
}

} // namespace

Clamps ClampsOf(double low, double high)
{
    const double lo = std::min(low, high);
    const double hi = std::max(low, high);
    const double span = hi - lo;
    return {std::max(lo - 1.0, lo - 0.01 * span), std::min(hi + 1.0, hi + 0.05 * span)};
}

bool SwappedRomLayout(quint16 firmwareDate)
{
    return std::find(SwappedLayoutDates.begin(), SwappedLayoutDates.end(), firmwareDate) != SwappedLayoutDates.end();
}

SimMemory Build(const SimProfile &p)
{
    SimMemory m(p.longLastSegment);
    StorePattern(m, p);
    for (const auto &[reference, value] : CalibrationDefaults)
        m.setFloat(reference, value);
    StoreRanges(m, p);
    StoreOutputs(m, p);
    StoreIdentity(m, p);
    m.setWord(R::UnitWord, StoreRelays(m, p));
    for (auto it = p.registers.begin(); it != p.registers.end(); ++it)
        m.setWord(it.key(), it.value());
    for (auto it = p.floats.begin(); it != p.floats.end(); ++it)
        m.setFloat(it.key(), it.value());
    m.refreshChecksum(1);
    m.refreshChecksum(2);
    return m;
}

void SetSerial(SimMemory &memory, quint32 serial)
{
    memory.setWord(R::SerialLow, static_cast<quint16>(serial & 0xFFFF));
    memory.setWord(R::SerialHigh, static_cast<quint16>(serial >> 16));
    memory.refreshChecksum(1);
}

quint32 Serial(const SimMemory &memory)
{
    return (static_cast<quint32>(memory.word(R::SerialHigh)) << 16) | memory.word(R::SerialLow);
}

} // namespace SimFactory
