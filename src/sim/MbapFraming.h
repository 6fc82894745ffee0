#pragma once

#include <QByteArray>
#include <QList>
#include <QtGlobal>

// Modbus TCP framing: a 7-byte MBAP header (transaction id, protocol id 0,
// length of what follows, unit id) in front of the PDU. The sensor's module
// answers every unit id.
namespace MbapFraming {

constexpr int HeaderSize = 7;
constexpr int MaxPduSize = 253;

struct Frame {
    quint16 transaction = 0;
    quint8 unit = 0;
    QByteArray pdu;
};

// The reply frame to a request.
QByteArray Seal(const Frame &request, const QByteArray &replyPdu);

// Collects a connection's bytes and hands out whole frames.
class RequestSplitter {
public:
    // Appends bytes and returns the frames completed by them; false in ok
    // when a header is malformed (the connection should be closed).
    QList<Frame> push(const QByteArray &bytes, bool &ok);

private:
    QByteArray m_buffer;
};

} // namespace MbapFraming
