#include "PacedWriter.h"

namespace {

constexpr qint64 NsPerMs = 1000000;

} // namespace

PacedWriter::PacedWriter(Sink sink, QObject *parent) : QObject(parent), m_sink(std::move(sink))
{
    m_clock.start();
    m_timer.setSingleShot(true);
    m_timer.setTimerType(Qt::PreciseTimer);
    connect(&m_timer, &QTimer::timeout, this, &PacedWriter::writeDue);
}

void PacedWriter::send(const QByteArray &bytes, qint64 firstDueNs, qint64 byteNs)
{
    m_pending = bytes;
    m_nextDueNs = firstDueNs;
    m_byteNs = byteNs;
    writeDue();
}

void PacedWriter::cancel()
{
    m_timer.stop();
    m_pending.clear();
}

void PacedWriter::writeDue()
{
    const qint64 now = nowNs();
    qsizetype due = 0;
    while (due < m_pending.size() && m_nextDueNs + due * m_byteNs <= now)
        ++due;
    if (due > 0) {
        m_sink(m_pending.left(due));
        m_pending.remove(0, due);
        m_nextDueNs += due * m_byteNs;
    }
    if (m_pending.isEmpty()) {
        Q_EMIT finished();
        return;
    }
    schedule();
}

void PacedWriter::schedule()
{
    const qint64 waitNs = std::max<qint64>(0, m_nextDueNs - nowNs());
    m_timer.start(static_cast<int>((waitNs + NsPerMs - 1) / NsPerMs));
}
