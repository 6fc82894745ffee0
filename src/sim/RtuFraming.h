#pragma once

#include <QByteArray>
#include <QList>
#include <QtGlobal>

// Modbus RTU framing on a line without timing. A real sensor finds the end of
// a request by the silence after it; a pseudo-terminal has no silence, so the
// sensor counts: functions 3 and 6 (and the other fixed-size requests) are
// 8 bytes, 16 is 9 + its byte count. A frame whose checksum is wrong is
// dropped together with everything received with it, as a sensor drops a
// garbled frame up to the next silence.
namespace RtuFraming {

constexpr int AddressSize = 1;
constexpr int CrcSize = 2;
constexpr int MinFrameSize = 4;
constexpr int MaxFrameSize = 256;
constexpr quint8 BroadcastAddress = 0;

// CRC-16 of Modbus (polynomial 0xA001 reflected, start 0xFFFF).
quint16 Crc16(const QByteArray &bytes);
// Address + PDU + CRC (low byte first).
QByteArray Seal(quint8 address, const QByteArray &pdu);
bool CrcValid(const QByteArray &frame);

// The size of the request frame at the start of bytes: > 0 when known, 0 when
// more bytes are needed to tell, -1 for a function whose size the sensor
// cannot tell from its header.
int RequestSize(const QByteArray &bytes);

struct Frame {
    quint8 address = 0;
    QByteArray pdu;
};

// Collects request bytes as they arrive and hands out whole frames.
class RequestSplitter {
public:
    // Appends bytes; returns the frames completed by them. Frames with a bad
    // checksum are counted in droppedFrames().
    QList<Frame> push(const QByteArray &bytes);
    // Forgets an incomplete frame (the line was quiet too long).
    void clear() { m_buffer.clear(); }
    bool pending() const { return !m_buffer.isEmpty(); }
    int droppedFrames() const { return m_dropped; }
    QByteArray lastDropped() const { return m_lastDropped; }

private:
    // Takes one frame off the buffer; false when none is complete yet.
    bool takeFrame(QList<Frame> &frames);
    void drop();

    QByteArray m_buffer;
    QByteArray m_lastDropped;
    int m_dropped = 0;
};

} // namespace RtuFraming
