#pragma once

#include <QtGlobal>

#include <array>
#include <optional>

class SimMemory;

// What the sensor measures and how its live registers report it.
//
// Conditions are the physical values around the sensor in the firmware's base
// units (°C, %RH, hPa, ppm). They drift slowly around the profile's values so
// that a display shows a living sensor; a value set by hand stays put. NaN
// stands for a failed measurement, which the sensor reports as its error
// marker. Values outside the plausible ranges (a temperature of 1200.0 or
// -1000.0) are the sensor's error codes and are reported as they are.
//
// Readings are what the live registers hold, in the configured units:
//   0x0009 temperature (°F when bit 0 of the unit word 0x203F is set)
//   0x000B relative humidity (%)
//   0x000D the computed quantity the configuration word 0x103F selects
//          (bit 3 dew point in the temperature unit, 9 absolute humidity g/m³,
//          10 specific humidity g/kg, 11 mixing ratio g/kg, 12 specific
//          enthalpy kJ/kg), from temperature, humidity and the pressure for
//          computations (0x1038, whole hPa)
//   0x000F pressure in the unit of bits 2-4 of the unit word, or CO2 (ppm).
//          The sensor reports kPa in tenths (the program divides by ten).
// A channel whose presence bit of the configuration word (15 temperature,
// 1 humidity, 13 pressure or CO2) is clear reads 0.
namespace LiveValues {

enum class Quantity { Temperature, Humidity, Computed, Pressure, Co2 };
constexpr int QuantityCount = 5;

struct Conditions {
    double temperatureC = 0;
    double humidityPercent = 0;
    double pressureHpa = 0;
    double co2Ppm = 0;
};

// The fourth channel's quantity, a property of the device type.
enum class FourthChannel { None, Pressure, Co2 };

struct Readings {
    double temperature = 0;
    double humidity = 0;
    double computed = 0;
    // Pressure (in its configured unit) or CO2.
    double fourth = 0;
    // What 0x000F holds: fourth, or kPa in tenths.
    double fourthRegister = 0;
};

constexpr quint16 TemperatureReference = 0x0009;
constexpr quint16 HumidityReference = 0x000B;
constexpr quint16 ComputedReference = 0x000D;
constexpr quint16 FourthReference = 0x000F;

// True for a value the sensor reports as an error rather than a measurement.
bool IsErrorCode(Quantity quantity, double value);
Readings Compute(const Conditions &conditions, FourthChannel fourth, quint16 configWord, quint16 unitWord,
                 double computePressureHpa);
// Computes the readings from the memory's configuration and stores them.
Readings Store(SimMemory &memory, const Conditions &conditions, FourthChannel fourth);

} // namespace LiveValues

// The measured conditions over time: a base per quantity, slow drift, and
// values fixed by hand.
class SimConditions {
public:
    explicit SimConditions(const LiveValues::Conditions &base, bool drift = true);

    LiveValues::Conditions at(double seconds) const;
    // Fixes a quantity at a value (NaN: the error marker).
    void fix(LiveValues::Quantity quantity, double value);
    // Lets a fixed quantity drift around its base again.
    void release(LiveValues::Quantity quantity);
    void setDrift(bool drift) { m_drift = drift; }

private:
    double value(LiveValues::Quantity quantity, double seconds) const;

    LiveValues::Conditions m_base;
    bool m_drift;
    std::array<std::optional<double>, LiveValues::QuantityCount> m_fixed;
};
