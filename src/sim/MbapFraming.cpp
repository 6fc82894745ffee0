#include "MbapFraming.h"

#include "SimRegisters.h"

namespace MbapFraming {

namespace {

constexpr int UnitSize = 1;

using SimBytes::AppendWord;
using SimBytes::WordAt;

} // namespace

QByteArray Seal(const Frame &request, const QByteArray &replyPdu)
{
    QByteArray frame;
    AppendWord(frame, request.transaction);
    AppendWord(frame, 0);
    AppendWord(frame, static_cast<quint16>(replyPdu.size() + UnitSize));
    frame.append(static_cast<char>(request.unit));
    frame.append(replyPdu);
    return frame;
}

QList<Frame> RequestSplitter::push(const QByteArray &bytes, bool &ok)
{
    ok = true;
    m_buffer.append(bytes);
    QList<Frame> frames;
    while (m_buffer.size() >= HeaderSize) {
        const quint16 protocol = WordAt(m_buffer, 2);
        const int length = WordAt(m_buffer, 4);
        if (protocol != 0 || length < UnitSize + 1 || length > UnitSize + MaxPduSize) {
            ok = false;
            m_buffer.clear();
            break;
        }
        const int size = HeaderSize - UnitSize + length;
        if (m_buffer.size() < size)
            break;
        frames.append({WordAt(m_buffer, 0), static_cast<quint8>(m_buffer[6]), m_buffer.mid(HeaderSize, size - HeaderSize)});
        m_buffer.remove(0, size);
    }
    return frames;
}

} // namespace MbapFraming
