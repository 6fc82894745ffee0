#include "SimRelays.h"

#include "SimMemory.h"
#include "SimRegisters.h"

namespace {

using LiveValues::Quantity;

namespace R = SimRegisters;
constexpr std::array<quint16, 2> StatusBit{0x0008, 0x0010};
constexpr double TenthsPerUnit = 10.0;

struct Measured {
    bool known = false;
    double value = 0;
    Quantity quantity = Quantity::Temperature;
};

Measured ValueOf(int code, const LiveValues::Readings &r, LiveValues::FourthChannel fourth)
{
    switch (code) {
    case R::RelayTemperature:
        return {true, r.temperature, Quantity::Temperature};
    case R::RelayHumidity:
        return {true, r.humidity, Quantity::Humidity};
    case R::RelayFourthChannel:
        return {true, r.fourth, fourth == LiveValues::FourthChannel::Co2 ? Quantity::Co2 : Quantity::Pressure};
    case R::RelayComputed:
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
    const quint16 unitWord = memory.word(R::UnitWord);
    s.quantityCode = (unitWord >> (R::RelayQuantityShift + R::RelayQuantityBits * relay)) & 0xF;
    s.greater = memory.word(R::RelayWord) & (1u << (R::RelayConditionBit + relay));
    s.actOnError = unitWord & R::RelayActsOnError[relay];
    s.closeOnError = unitWord & R::RelayClosesOnError[relay];
    s.farControlOn = memory.word(R::FarControl + relay) != 0;
    const quint16 rawValue = memory.word(R::SwitchValue + relay);
    const quint16 rawHysteresis = memory.word(R::Hysteresis + relay);
    if (s.quantityCode == R::RelayFourthChannel && fourth == LiveValues::FourthChannel::Co2) {
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
    if (s.quantityCode == R::RelayFarControl0 || s.quantityCode == R::RelayFarControl1)
        return s.farControlOn;
    if (s.quantityCode >= R::RelayFirstInput && s.quantityCode <= R::RelayLastInput)
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
    quint16 status = memory.word(R::Status);
    for (int relay = 0; relay < RelayCount; ++relay) {
        m_closed[relay] = NextState(m_closed[relay], Read(memory, relay, fourth), readings, fourth);
        status = m_closed[relay] ? (status | StatusBit[relay]) : (status & ~StatusBit[relay]);
    }
    memory.setWord(R::Status, status);
}
