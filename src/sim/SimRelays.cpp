#include "SimRelays.h"

#include "SimMemory.h"

namespace {

using LiveValues::Quantity;

constexpr quint16 StatusReference = 0x0007;
constexpr quint16 FarControlReference = 0x0042;
constexpr quint16 RelayWordReference = 0x2007;
constexpr quint16 UnitWordReference = 0x203F;
constexpr quint16 SwitchValueReference = 0x2039;
constexpr quint16 HysteresisReference = 0x203B;
constexpr int FirstConditionBit = 14;
constexpr int FirstQuantityShift = 8;
constexpr int QuantityBits = 4;
constexpr std::array<quint16, 2> ActOnErrorBit{0x0002, 0x0020};
constexpr std::array<quint16, 2> CloseOnErrorBit{0x0040, 0x0080};
constexpr std::array<quint16, 2> StatusBit{0x0008, 0x0010};
constexpr double TenthsPerUnit = 10.0;

enum Code { None = 0, Temperature = 1, Humidity = 2, Fourth = 3, Computed = 4, FirstInput = 5, LastInput = 7,
            FarControl0 = 8, FarControl1 = 9 };

struct Measured {
    bool known = false;
    double value = 0;
    Quantity quantity = Quantity::Temperature;
};

Measured ValueOf(int code, const LiveValues::Readings &r, LiveValues::FourthChannel fourth)
{
    switch (code) {
    case Temperature:
        return {true, r.temperature, Quantity::Temperature};
    case Humidity:
        return {true, r.humidity, Quantity::Humidity};
    case Fourth:
        return {true, r.fourth, fourth == LiveValues::FourthChannel::Co2 ? Quantity::Co2 : Quantity::Pressure};
    case Computed:
        return {true, r.computed, Quantity::Computed};
    default:
        return {};
    }
}

bool Compare(bool closed, const SimRelays::Settings &s, double value)
{
    if (s.greater) {
        if (value > s.switchValue)
            return true;
        return closed && value >= s.switchValue - s.hysteresis;
    }
    if (value < s.switchValue)
        return true;
    return closed && value <= s.switchValue + s.hysteresis;
}

} // namespace

SimRelays::Settings SimRelays::Read(const SimMemory &memory, int relay, LiveValues::FourthChannel fourth)
{
    Settings s;
    const quint16 unitWord = memory.word(UnitWordReference);
    s.quantityCode = (unitWord >> (FirstQuantityShift + QuantityBits * relay)) & 0xF;
    s.greater = memory.word(RelayWordReference) & (1u << (FirstConditionBit + relay));
    s.actOnError = unitWord & ActOnErrorBit[relay];
    s.closeOnError = unitWord & CloseOnErrorBit[relay];
    s.farControlOn = memory.word(FarControlReference + relay) != 0;
    const quint16 rawValue = memory.word(SwitchValueReference + relay);
    const quint16 rawHysteresis = memory.word(HysteresisReference + relay);
    if (s.quantityCode == Fourth && fourth == LiveValues::FourthChannel::Co2) {
        s.switchValue = rawValue;
        s.hysteresis = rawHysteresis;
    } else {
        s.switchValue = static_cast<qint16>(rawValue) / TenthsPerUnit;
        s.hysteresis = rawHysteresis / TenthsPerUnit;
    }
    return s;
}

bool SimRelays::NextState(bool closed, const Settings &s, const LiveValues::Readings &readings,
                          LiveValues::FourthChannel fourth)
{
    if (s.quantityCode == FarControl0 || s.quantityCode == FarControl1)
        return s.farControlOn;
    if (s.quantityCode >= FirstInput && s.quantityCode <= LastInput)
        return s.greater; // the condition "opened" holds: the inputs are open
    const Measured measured = ValueOf(s.quantityCode, readings, fourth);
    if (!measured.known)
        return false;
    if (LiveValues::IsErrorCode(measured.quantity, measured.value))
        return s.actOnError ? s.closeOnError : closed;
    return Compare(closed, s, measured.value);
}

void SimRelays::update(SimMemory &memory, const LiveValues::Readings &readings, LiveValues::FourthChannel fourth)
{
    quint16 status = memory.word(StatusReference);
    for (int relay = 0; relay < RelayCount; ++relay) {
        m_closed[relay] = NextState(m_closed[relay], Read(memory, relay, fourth), readings, fourth);
        status = m_closed[relay] ? (status | StatusBit[relay]) : (status & ~StatusBit[relay]);
    }
    memory.setWord(StatusReference, status);
}
