#pragma once

#include <QByteArray>
#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

#include <functional>

// Sends a reply byte by byte at given times, so that a line without a real
// baud rate takes the time a real one would. Times are nanoseconds on the
// writer's monotonic clock (nowNs()).
class PacedWriter : public QObject {
    Q_OBJECT
public:
    using Sink = std::function<void(const QByteArray &)>;

    explicit PacedWriter(Sink sink, QObject *parent = nullptr);

    qint64 nowNs() const { return m_clock.nsecsElapsed(); }
    // The first byte leaves at firstDueNs, each further one byteNs later
    // (0: all together).
    void send(const QByteArray &bytes, qint64 firstDueNs, qint64 byteNs);
    bool busy() const { return !m_pending.isEmpty(); }
    void cancel();

Q_SIGNALS:
    void finished();

private:
    void writeDue();
    void schedule();

    Sink m_sink;
    QElapsedTimer m_clock;
    QTimer m_timer;
    QByteArray m_pending;
    qint64 m_nextDueNs = 0;
    qint64 m_byteNs = 0;
};
