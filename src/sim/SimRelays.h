#pragma once

#include "SimLiveValues.h"

#include <QtGlobal>

#include <array>

class SimMemory;

// The two relays of the keypad-generation sensors.
//
// Each relay acts on the quantity of its code in the unit word 0x203F (bits
// 8-11 relay 1, 12-15 relay 2): 0 none, 1 temperature, 2 relative humidity,
// 3 pressure or CO2, 4 computed quantity, 5-7 binary inputs 1-3, 8 and 9 far
// relay control. The switching value (0x2039 / 0x203A) is signed, in tenths
// of the quantity's unit, and the hysteresis (0x203B / 0x203C) unsigned in
// tenths; for CO2 both are whole ppm. Bit 14 / 15 of 0x2007 selects the
// condition "greater" (the relay closes above the switching value and opens
// again below value - hysteresis) or, clear, "less" (closes below the value,
// opens above value + hysteresis). For a binary input the bit means "opened";
// the virtual sensor's inputs are always open. Under far relay control the
// relay follows its own far control register (0x0042 relay 1, 0x0043 relay 2):
// closed while it is not 0.
// On a measurement error a relay keeps its state unless the unit word says it
// acts on errors (bit 1 relay 1, bit 5 relay 2); it then closes when bit 6 /
// bit 7 is set, else opens.
// The state is reported in bits 3 (relay 1) and 4 (relay 2) of 0x0007.
class SimRelays {
public:
    static constexpr int RelayCount = 2;

    struct Settings {
        int quantityCode = 0;
        double switchValue = 0;
        double hysteresis = 0;
        bool greater = false;
        bool actOnError = false;
        bool closeOnError = false;
        bool farControlOn = false;
    };

    static Settings Read(const SimMemory &memory, int relay, LiveValues::FourthChannel fourth);
    // The relay's next state from its present one.
    static bool NextState(bool closed, const Settings &settings, const LiveValues::Readings &readings,
                          LiveValues::FourthChannel fourth);

    // Updates both relays and their bits in 0x0007.
    void update(SimMemory &memory, const LiveValues::Readings &readings, LiveValues::FourthChannel fourth);
    bool closed(int relay) const { return m_closed[relay]; }

private:
    std::array<bool, RelayCount> m_closed{};
};
