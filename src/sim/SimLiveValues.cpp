#include "SimLiveValues.h"

#include "SimMemory.h"
#include "SimRegisters.h"

#include <cmath>
#include <numbers>

namespace LiveValues {

namespace {

constexpr double DefaultComputePressureHpa = 1013.25;

constexpr quint16 TemperaturePresent = 0x8000;
constexpr quint16 HumidityPresent = 0x0002;
constexpr quint16 FourthPresent = 0x2000;
constexpr quint16 ComputedMask = 0x1E08;
constexpr quint16 DewPointCode = 0x0008;
constexpr quint16 AbsoluteHumidityCode = 0x0200;
constexpr quint16 SpecificHumidityCode = 0x0400;
constexpr quint16 MixingRatioCode = 0x0800;
constexpr quint16 EnthalpyCode = 0x1000;
constexpr quint16 FahrenheitBit = 0x0001;
constexpr int PressureUnitShift = 2;
constexpr int PressureUnitMask = 0x7;
constexpr int KiloPascalUnit = 7;
constexpr double KiloPascalReportFactor = 10.0;

constexpr double ErrorLimit = 999.0;
constexpr double Co2ErrorLimitPpm = -999.9;

// Magnus formula over water.
constexpr double MagnusA = 17.62;
constexpr double MagnusBC = 243.12;
constexpr double MagnusE0Hpa = 6.112;
constexpr double WaterVapourGasFactor = 216.7;
constexpr double ZeroCelsiusK = 273.15;
constexpr double MolarMassRatio = 0.622;
constexpr double GramsPerKg = 1000.0;
constexpr double DryAirHeatKjKgK = 1.006;
constexpr double VapourHeatKjKgK = 1.86;
constexpr double EvaporationHeatKjKg = 2501.0;

// Pressure units of bits 2-4: hPa, PSI, inHg, mBar, oz/in, mmHg, inH2O, kPa.
constexpr std::array<double, 8> PressureFactorPerHpa{1.0,        0.01450377, 0.02953007, 1.0,
                                                     0.2320603,  0.75006158, 0.4014629,  0.1};

double Fahrenheit(double celsius)
{
    return celsius * 1.8 + 32.0;
}

double SaturationPressureHpa(double celsius)
{
    return MagnusE0Hpa * std::exp(MagnusA * celsius / (MagnusBC + celsius));
}

double ComputedValue(quint16 code, double celsius, double humidity, double pressureHpa, bool fahrenheit)
{
    const double vapourHpa = humidity / 100.0 * SaturationPressureHpa(celsius);
    const double mixingRatio = MolarMassRatio * vapourHpa / (pressureHpa - vapourHpa);
    switch (code) {
    case DewPointCode: {
        const double g = std::log(std::max(vapourHpa, 1e-9) / MagnusE0Hpa);
        const double dewPoint = MagnusBC * g / (MagnusA - g);
        return fahrenheit ? Fahrenheit(dewPoint) : dewPoint;
    }
    case AbsoluteHumidityCode:
        return WaterVapourGasFactor * vapourHpa / (ZeroCelsiusK + celsius);
    case SpecificHumidityCode:
        return GramsPerKg * MolarMassRatio * vapourHpa / (pressureHpa - (1.0 - MolarMassRatio) * vapourHpa);
    case MixingRatioCode:
        return GramsPerKg * mixingRatio;
    case EnthalpyCode:
        return DryAirHeatKjKgK * celsius + mixingRatio * (EvaporationHeatKjKg + VapourHeatKjKgK * celsius);
    default:
        return 0.0;
    }
}

double Computed(const Conditions &c, quint16 configWord, bool fahrenheit, double pressureHpa)
{
    if (IsErrorCode(Quantity::Temperature, c.temperatureC))
        return c.temperatureC;
    if (IsErrorCode(Quantity::Humidity, c.humidityPercent))
        return c.humidityPercent;
    return ComputedValue(configWord & ComputedMask, c.temperatureC, c.humidityPercent, pressureHpa, fahrenheit);
}

double Pressure(double hpa, int unit)
{
    return IsErrorCode(Quantity::Pressure, hpa) ? hpa : hpa * PressureFactorPerHpa[unit];
}

} // namespace

bool IsErrorCode(Quantity quantity, double value)
{
    if (std::isnan(value))
        return true;
    switch (quantity) {
    case Quantity::Pressure:
        return value < -ErrorLimit;
    case Quantity::Co2:
        return value <= Co2ErrorLimitPpm;
    default:
        return value > ErrorLimit || value < -ErrorLimit;
    }
}

Readings Compute(const Conditions &c, FourthChannel fourth, quint16 configWord, quint16 unitWord,
                 double computePressureHpa)
{
    const bool fahrenheit = unitWord & FahrenheitBit;
    Readings r;
    if (configWord & TemperaturePresent) {
        const bool error = IsErrorCode(Quantity::Temperature, c.temperatureC);
        r.temperature = fahrenheit && !error ? Fahrenheit(c.temperatureC) : c.temperatureC;
    }
    if (configWord & HumidityPresent) {
        r.humidity = c.humidityPercent;
        r.computed = Computed(c, configWord, fahrenheit, computePressureHpa);
    }
    if (!(configWord & FourthPresent) || fourth == FourthChannel::None)
        return r;
    if (fourth == FourthChannel::Co2) {
        r.fourth = r.fourthRegister = c.co2Ppm;
        return r;
    }
    const int unit = (unitWord >> PressureUnitShift) & PressureUnitMask;
    r.fourth = r.fourthRegister = Pressure(c.pressureHpa, unit);
    if (unit == KiloPascalUnit && !IsErrorCode(Quantity::Pressure, r.fourth))
        r.fourthRegister = r.fourth * KiloPascalReportFactor;
    return r;
}

Readings Store(SimMemory &memory, const Conditions &conditions, FourthChannel fourth)
{
    const quint16 storedPressure = memory.word(SimRegisters::ComputePressure);
    const double pressure = storedPressure ? storedPressure : DefaultComputePressureHpa;
    const Readings r =
        Compute(conditions, fourth, memory.word(SimRegisters::ConfigWord), memory.word(SimRegisters::UnitWord), pressure);
    memory.setFloat(TemperatureReference, r.temperature);
    memory.setFloat(HumidityReference, r.humidity);
    memory.setFloat(ComputedReference, r.computed);
    memory.setFloat(FourthReference, r.fourthRegister);
    return r;
}

} // namespace LiveValues

namespace {

struct DriftShape {
    double amplitude;
    double periodS;
    double phase;
};

// Slow waves: a room warms and cools, humidity follows, pressure creeps.
constexpr std::array<DriftShape, LiveValues::QuantityCount> Drift{{
    {0.3, 90.0, 0.0},    // temperature °C
    {1.0, 120.0, 1.0},   // humidity %
    {0.0, 1.0, 0.0},     // computed: follows the others
    {0.4, 300.0, 2.0},   // pressure hPa
    {25.0, 60.0, 0.5},   // CO2 ppm
}};

template <typename C> auto &Field(C &c, LiveValues::Quantity q)
{
    switch (q) {
    case LiveValues::Quantity::Humidity:
        return c.humidityPercent;
    case LiveValues::Quantity::Pressure:
        return c.pressureHpa;
    case LiveValues::Quantity::Co2:
        return c.co2Ppm;
    default:
        return c.temperatureC;
    }
}

} // namespace

SimConditions::SimConditions(const LiveValues::Conditions &base, bool drift) : m_base(base), m_drift(drift) {}

LiveValues::Conditions SimConditions::at(double seconds) const
{
    using LiveValues::Quantity;
    LiveValues::Conditions c;
    for (Quantity q : {Quantity::Temperature, Quantity::Humidity, Quantity::Pressure, Quantity::Co2})
        Field(c, q) = value(q, seconds);
    return c;
}

double SimConditions::value(LiveValues::Quantity quantity, double seconds) const
{
    const auto index = static_cast<int>(quantity);
    if (m_fixed[index])
        return *m_fixed[index];
    const double base = Field(m_base, quantity);
    if (!m_drift || LiveValues::IsErrorCode(quantity, base))
        return base;
    const DriftShape &shape = Drift[index];
    const double wave = std::sin(2.0 * std::numbers::pi * seconds / shape.periodS + shape.phase);
    const double drifted = base + shape.amplitude * wave;
    if (quantity == LiveValues::Quantity::Humidity)
        return std::clamp(drifted, 0.0, 100.0);
    return quantity == LiveValues::Quantity::Co2 ? std::max(drifted, 0.0) : drifted;
}

void SimConditions::fix(LiveValues::Quantity quantity, double value)
{
    m_fixed[static_cast<int>(quantity)] = value;
}

void SimConditions::release(LiveValues::Quantity quantity)
{
    m_fixed[static_cast<int>(quantity)].reset();
}
