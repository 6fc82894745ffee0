#pragma once

#include <QList>
#include <QtGlobal>

#include <array>

// The sensor's memory as its firmware guards it. Seven segments of 16-bit
// words; the program names registers by 1-based references (segment 1 starts
// at reference 0x1001), the bus by 0-based protocol addresses (reference n is
// address n - 1). Bus access goes through read / writeSingle / writeMultiple,
// which answer 0 or the Modbus exception code the sensor gives:
//   - an address outside every segment, or a request that runs past the end
//     of its segment: exception 2;
//   - ROM (segment 3) is read-only: exception 2 for any write;
//   - Flash (segments 1, 2) takes only one 64-register write at its base
//     (anything else: exception 2) whose word 63 is the 16-bit wrap-around sum
//     of words 0..62 (else exception 3);
//   - while the write-protection jumper is open every 64-register write is
//     refused with exception 2;
//   - RAM, EEPROM (segments 4, 5) and segment 6 take single and multiple
//     register writes.
// The RAM of the live block reaches past its 64-word segment: the far relay
// control registers (0x0042, 0x0043) and the CO2 calibration register
// (0x0055) lie there, so the live area spans references 0x0001..0x0080.
// Segment 6 holds 20 words on long-last-segment devices, else 15.
//
// word / setWord (by reference) are the factory's and the technician's
// programmer access: no rules, no checksum update.
class SimMemory {
public:
    enum class Kind { Ram, Flash, Rom, Eeprom, Extra };

    static constexpr int SegmentCount = 7;
    static constexpr int SegmentWords = 64;
    static constexpr int RamWords = 0x80;
    static constexpr int LongLastSegmentWords = 20;
    static constexpr int ShortLastSegmentWords = 15;
    static constexpr int ChecksumOffset = 63;

    static constexpr quint8 NoException = 0;
    static constexpr quint8 IllegalFunction = 1;
    static constexpr quint8 IllegalDataAddress = 2;
    static constexpr quint8 IllegalDataValue = 3;

    explicit SimMemory(bool longLastSegment = false);

    // The 1-based reference of word 0 of a segment.
    static quint16 SegmentBase(int segment);
    static Kind SegmentKind(int segment);
    // Words the bus can reach in a segment.
    int accessibleWords(int segment) const;
    // The segment a protocol address lies in, -1 when none.
    int segmentOfAddress(quint16 address) const;
    bool longLastSegment() const { return m_longLastSegment; }

    quint8 read(quint16 address, int count, QList<quint16> &values) const;
    quint8 writeSingle(quint16 address, quint16 value);
    quint8 writeMultiple(quint16 address, const QList<quint16> &values);

    quint16 word(quint16 reference) const;
    void setWord(quint16 reference, quint16 value);
    double floatAt(quint16 reference) const;
    void setFloat(quint16 reference, double value);

    // A whole segment image (64 words; the RAM image is its first 64 words).
    QList<quint16> segmentImage(int segment) const;
    void setSegmentImage(int segment, const QList<quint16> &words);

    static quint16 Checksum(const quint16 *words);
    bool checksumValid(int segment) const;
    void refreshChecksum(int segment);

    bool jumperOpen() const { return m_jumperOpen; }
    void setJumperOpen(bool open) { m_jumperOpen = open; }

    // The line settings the sensor answers with, from segment 2.
    quint8 slaveAddress() const;
    quint16 baudDivisor() const;
    // The rate the divisor gives (9597.95 bit/s for 0x01B5), and the
    // standard rate it stands for (9600), else the former rounded.
    double baudRate() const;
    int nominalBaudRate() const;

private:
    struct Region {
        int segment = -1;
        int offset = 0;
    };
    // The region of [address, address + count), segment -1 when the request
    // leaves every segment or crosses a segment's end.
    Region locate(quint16 address, int count) const;
    quint16 *cell(int segment, int offset);
    const quint16 *cell(int segment, int offset) const;
    // The segment and offset of a reference; segment -1 when none.
    Region locateReference(quint16 reference) const;

    bool m_longLastSegment;
    bool m_jumperOpen = false;
    std::array<quint16, RamWords> m_ram{};
    std::array<std::array<quint16, SegmentWords>, SegmentCount> m_segments{};
};
