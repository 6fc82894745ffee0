#include "SimMemory.h"

#include "SimFloat.h"
#include "SimRegisters.h"

#include <cmath>

namespace {

struct SegmentRow {
    quint16 base;
    SimMemory::Kind kind;
};

constexpr std::array<SegmentRow, SimMemory::SegmentCount> SegmentTable{{
    {0x0001, SimMemory::Kind::Ram},
    {0x1001, SimMemory::Kind::Flash},
    {0x2001, SimMemory::Kind::Flash},
    {0x3001, SimMemory::Kind::Rom},
    {0x4001, SimMemory::Kind::Eeprom},
    {0x4041, SimMemory::Kind::Eeprom},
    {0x5001, SimMemory::Kind::Extra},
}};


// The rates a technician sets.
constexpr std::array<int, 13> StandardBauds{110, 300, 600, 1200, 2400, 4800, 9600, 14400, 19200, 38400, 56000, 57600,
                                            115200};

} // namespace

SimMemory::SimMemory(bool longLastSegment) : m_longLastSegment(longLastSegment) {}

quint16 SimMemory::SegmentBase(int segment)
{
    return SegmentTable[segment].base;
}

SimMemory::Kind SimMemory::SegmentKind(int segment)
{
    return SegmentTable[segment].kind;
}

int SimMemory::accessibleWords(int segment) const
{
    if (segment == 0)
        return RamWords;
    if (segment == SegmentCount - 1)
        return m_longLastSegment ? LongLastSegmentWords : ShortLastSegmentWords;
    return SegmentWords;
}

int SimMemory::segmentOfAddress(quint16 address) const
{
    return locate(address, 1).segment;
}

SimMemory::Region SimMemory::locate(quint16 address, int count) const
{
    for (int s = 0; s < SegmentCount; ++s) {
        const int first = SegmentBase(s) - 1;
        const int offset = static_cast<int>(address) - first;
        if (offset < 0 || offset >= accessibleWords(s))
            continue;
        if (offset + count > accessibleWords(s))
            return {};
        return {s, offset};
    }
    return {};
}

SimMemory::Region SimMemory::locateReference(quint16 reference) const
{
    for (int s = 0; s < SegmentCount; ++s) {
        const int offset = static_cast<int>(reference) - SegmentBase(s);
        const int words = s == 0 ? RamWords : SegmentWords;
        if (offset >= 0 && offset < words)
            return {s, offset};
    }
    return {};
}

quint16 *SimMemory::cell(int segment, int offset)
{
    return segment == 0 ? &m_ram[offset] : &m_segments[segment][offset];
}

const quint16 *SimMemory::cell(int segment, int offset) const
{
    return segment == 0 ? &m_ram[offset] : &m_segments[segment][offset];
}

quint8 SimMemory::read(quint16 address, int count, QList<quint16> &values) const
{
    const Region region = locate(address, count);
    if (region.segment < 0)
        return IllegalDataAddress;
    const quint16 *first = cell(region.segment, region.offset);
    values = QList<quint16>(first, first + count);
    return NoException;
}

quint8 SimMemory::writeSingle(quint16 address, quint16 value)
{
    const Region region = locate(address, 1);
    if (region.segment < 0)
        return IllegalDataAddress;
    const Kind kind = SegmentKind(region.segment);
    if (kind == Kind::Rom || kind == Kind::Flash)
        return IllegalDataAddress;
    *cell(region.segment, region.offset) = value;
    return NoException;
}

quint8 SimMemory::writeMultiple(quint16 address, const QList<quint16> &values)
{
    const int count = static_cast<int>(values.size());
    const Region region = locate(address, count);
    if (region.segment < 0)
        return IllegalDataAddress;
    const Kind kind = SegmentKind(region.segment);
    if (kind == Kind::Rom)
        return IllegalDataAddress;
    if (count == SegmentWords && m_jumperOpen)
        return IllegalDataAddress;
    if (kind == Kind::Flash) {
        if (region.offset != 0 || count != SegmentWords)
            return IllegalDataAddress;
        if (Checksum(values.constData()) != values[ChecksumOffset])
            return IllegalDataValue;
    }
    std::copy(values.cbegin(), values.cend(), cell(region.segment, region.offset));
    return NoException;
}

quint16 SimMemory::word(quint16 reference) const
{
    const Region region = locateReference(reference);
    return region.segment < 0 ? 0 : *cell(region.segment, region.offset);
}

void SimMemory::setWord(quint16 reference, quint16 value)
{
    const Region region = locateReference(reference);
    if (region.segment >= 0)
        *cell(region.segment, region.offset) = value;
}

double SimMemory::floatAt(quint16 reference) const
{
    return SimFloat::Decode(word(reference), word(reference + 1));
}

void SimMemory::setFloat(quint16 reference, double value)
{
    const SimFloat::Words words = SimFloat::Encode(value);
    setWord(reference, words[0]);
    setWord(reference + 1, words[1]);
}

QList<quint16> SimMemory::segmentImage(int segment) const
{
    const quint16 *first = cell(segment, 0);
    return QList<quint16>(first, first + SegmentWords);
}

void SimMemory::setSegmentImage(int segment, const QList<quint16> &words)
{
    const auto count = std::min<qsizetype>(words.size(), SegmentWords);
    std::copy(words.cbegin(), words.cbegin() + count, cell(segment, 0));
}

quint16 SimMemory::Checksum(const quint16 *words)
{
    quint16 sum = 0;
    for (int i = 0; i < ChecksumOffset; ++i)
        sum = static_cast<quint16>(sum + words[i]);
    return sum;
}

bool SimMemory::checksumValid(int segment) const
{
    const quint16 *words = cell(segment, 0);
    return Checksum(words) == words[ChecksumOffset];
}

void SimMemory::refreshChecksum(int segment)
{
    quint16 *words = cell(segment, 0);
    words[ChecksumOffset] = Checksum(words);
}

quint8 SimMemory::slaveAddress() const
{
    return static_cast<quint8>(word(SimRegisters::Address) & 0xFF);
}

quint16 SimMemory::baudDivisor() const
{
    return word(SimRegisters::BaudDivisor);
}

double SimMemory::baudRate() const
{
    return SimRegisters::BaudClockHz / std::max<quint16>(baudDivisor(), 1);
}

int SimMemory::nominalBaudRate() const
{
    for (int baud : StandardBauds) {
        if (qRound(SimRegisters::BaudClockHz / baud) == baudDivisor())
            return baud;
    }
    return qRound(baudRate());
}
