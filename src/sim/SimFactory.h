#pragma once

#include "SimMemory.h"

struct SimProfile;

// Programs a fresh sensor from its profile, as the factory does: identity,
// line settings, configuration, output ranges with their clamps, output
// channels, relays, calibration defaults, and valid checksums in both Flash
// segments.
namespace SimFactory {

SimMemory Build(const SimProfile &profile);

// Writes a new serial number into segment 1 and refreshes its checksum.
void SetSerial(SimMemory &memory, quint32 serial);
quint32 Serial(const SimMemory &memory);

// The output clamps of a range: the lower clamp is the larger of lo - 1 and
// lo - 1 % of the span, the upper the smaller of hi + 1 and hi + 5 % of it.
struct Clamps {
    double lower;
    double upper;
};
Clamps ClampsOf(double low, double high);

// The firmware date words that mark the swapped ROM layout (version in
// 0x3001, date in 0x3002).
bool SwappedRomLayout(quint16 firmwareDate);

} // namespace SimFactory
