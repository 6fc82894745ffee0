#include "RtuFraming.h"

namespace RtuFraming {

namespace {

constexpr quint16 CrcPolynomial = 0xA001;
constexpr int FixedRequestSize = 8;
constexpr int ShortRequestSize = 4;
// Functions 15 and 16: address, function, start, count, byte count, data, CRC.
constexpr int WriteMultipleOverhead = 9;
constexpr int WriteMultipleByteCountAt = 6;
// Function 23: read start and count, write start and count, byte count at 10.
constexpr int ReadWriteOverhead = 13;
constexpr int ReadWriteByteCountAt = 10;

int SizeWithByteCount(const QByteArray &bytes, int byteCountAt, int overhead)
{
    if (bytes.size() <= byteCountAt)
        return 0;
    return overhead + static_cast<quint8>(bytes[byteCountAt]);
}

} // namespace

quint16 Crc16(const QByteArray &bytes)
{
    quint16 crc = 0xFFFF;
    for (char byte : bytes) {
        crc ^= static_cast<quint8>(byte);
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc & 1) ? static_cast<quint16>((crc >> 1) ^ CrcPolynomial) : static_cast<quint16>(crc >> 1);
    }
    return crc;
}

QByteArray Seal(quint8 address, const QByteArray &pdu)
{
    QByteArray frame;
    frame.append(static_cast<char>(address));
    frame.append(pdu);
    const quint16 crc = Crc16(frame);
    frame.append(static_cast<char>(crc & 0xFF));
    frame.append(static_cast<char>(crc >> 8));
    return frame;
}

bool CrcValid(const QByteArray &frame)
{
    if (frame.size() < MinFrameSize)
        return false;
    const quint16 crc = Crc16(frame.left(frame.size() - CrcSize));
    const auto low = static_cast<quint8>(frame[frame.size() - 2]);
    const auto high = static_cast<quint8>(frame[frame.size() - 1]);
    return crc == ((high << 8) | low);
}

int RequestSize(const QByteArray &bytes)
{
    if (bytes.size() < 2)
        return 0;
    switch (static_cast<quint8>(bytes[1])) {
    case 1: case 2: case 3: case 4: case 5: case 6: case 8:
        return FixedRequestSize;
    case 7: case 11: case 12: case 17:
        return ShortRequestSize;
    case 15: case 16:
        return SizeWithByteCount(bytes, WriteMultipleByteCountAt, WriteMultipleOverhead);
    case 23:
        return SizeWithByteCount(bytes, ReadWriteByteCountAt, ReadWriteOverhead);
    default:
        return -1;
    }
}

QList<Frame> RequestSplitter::push(const QByteArray &bytes)
{
    m_buffer.append(bytes);
    QList<Frame> frames;
    while (takeFrame(frames)) {
    }
    if (m_buffer.size() > MaxFrameSize)
        drop();
    return frames;
}

bool RequestSplitter::takeFrame(QList<Frame> &frames)
{
    int size = RequestSize(m_buffer);
    if (size < 0) {
        // A function the sensor cannot size: the frame is what came, if its
        // checksum holds.
        if (m_buffer.size() < MinFrameSize || !CrcValid(m_buffer))
            return false;
        size = static_cast<int>(m_buffer.size());
    }
    if (size == 0 || m_buffer.size() < size)
        return false;
    const QByteArray frame = m_buffer.left(size);
    if (!CrcValid(frame)) {
        drop();
        return false;
    }
    m_buffer.remove(0, size);
    frames.append({static_cast<quint8>(frame[0]), frame.mid(AddressSize, size - AddressSize - CrcSize)});
    return true;
}

void RequestSplitter::drop()
{
    m_lastDropped = m_buffer;
    m_buffer.clear();
    ++m_dropped;
}

} // namespace RtuFraming
