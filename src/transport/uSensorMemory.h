#pragma once

#include <QtGlobal>

#include <array>

// The serial sensor's memory as it appears on the bus: seven segments of 64
// holding registers (RAM, Flash, ROM, EEPROM), Flash segments closed by a word
// checksum, and 32-bit values in the sensor's own floating-point format.

constexpr int SegmentWords = 64;
constexpr int SegmentCount = 7;

// One segment in register order: word 0 is the register at the segment's base.
using TSegmentImage = std::array<quint16, SegmentWords>;

enum class TMemoryKind { Ram, Flash, Rom, Eeprom, Other };

struct TSegmentInfo {
    quint16 base;  // 1-based register reference of word 0
    quint16 kind;  // the address group the segment belongs to
    TMemoryKind memory;
};

constexpr std::array<TSegmentInfo, SegmentCount> Segments = {{
    {0x0001, 0x0000, TMemoryKind::Ram},
    {0x1001, 0x1000, TMemoryKind::Flash},
    {0x2001, 0x1000, TMemoryKind::Flash},
    {0x3001, 0x3000, TMemoryKind::Rom},
    {0x4001, 0x4000, TMemoryKind::Eeprom},
    {0x4041, 0x4000, TMemoryKind::Eeprom},
    {0x5001, 0x5000, TMemoryKind::Other},
}};

// Words the last segment transfers: 20 on modules that report a long last
// segment, else 15.
constexpr int LastSegmentWordsLong = 20;
constexpr int LastSegmentWordsShort = 15;

inline bool IsFlashSegment(int index)
{
    return index >= 0 && index < SegmentCount && Segments[index].memory == TMemoryKind::Flash;
}

// The error raised for an address outside its segment.
extern const char *const SegmentBoundaryError;

// The segment of an address (by its top four bits) and its word offset there.
// Raises the boundary error unless base <= address < base + 64.
int AddrToOffset(quint16 address, int &segment);

// Word 63 of a Flash segment: the 16-bit wrap-around sum of words 0..62.
quint16 SegmentChecksum(const TSegmentImage &image);

// Device floats: two registers, the first holding bytes 0 and 1 (high, low).
double DecodeDeviceFloat(quint16 first, quint16 second);
void EncodeDeviceFloat(double value, quint16 &first, quint16 &second);
// The error marker a sensor reports instead of a value.
constexpr double DeviceFloatErrorValue = -1.0E10;

// A 32-bit value as the long-integer calls carry it: first register in the
// low 16 bits.
inline quint32 LongFromRegisters(quint16 first, quint16 second)
{
    return static_cast<quint32>(first) | (static_cast<quint32>(second) << 16);
}

// Image access by register address; the image is that of the address's
// segment. A float needs both of its words inside the image.
quint16 ImageWord(quint16 address, const TSegmentImage &image);
double ImageFloat(quint16 address, const TSegmentImage &image);
void SetImageWord(quint16 address, TSegmentImage &image, quint16 value);
void SetImageFloat(quint16 address, TSegmentImage &image, double value);
