#pragma once

#include <QtGlobal>

#include <array>

// The sensor's own 32-bit floating-point format, as its firmware stores live
// values, output limits and calibration constants. A value x is kept as the
// IEEE single-precision bits of 2x, rearranged so that the biased exponent
// comes first:
//   byte 0  biased exponent
//   byte 1  sign in bit 7, mantissa bits 22..16 in bits 6..0
//   byte 2  mantissa bits 15..8
//   byte 3  mantissa bits 7..0
// On the bus the value takes two registers: the first holds bytes 0 (high)
// and 1 (low), the second bytes 2 and 3. 1.0 is 80 00 00 00, -1.0 80 80 00 00.
// An exponent byte below 0x20 reads as 0; an exponent byte of 0xFF is the
// sensor's error marker and reads as -1.0E10.
namespace SimFloat {

using Words = std::array<quint16, 2>;

constexpr double ErrorMarkerValue = -1.0e10;

// The two registers of x; NaN gives the error marker FF 00 00 00.
Words Encode(double x);
// The error marker a sensor reports for a failed measurement.
Words ErrorMarker();
double Decode(quint16 first, quint16 second);
inline double Decode(const Words &words)
{
    return Decode(words[0], words[1]);
}

} // namespace SimFloat
