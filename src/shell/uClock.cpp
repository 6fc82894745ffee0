#include "shell/uClock.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QThread>
#include <QTimer>

namespace {

QElapsedTimer &Stopwatch()
{
    static QElapsedTimer timer = [] {
        QElapsedTimer t;
        t.start();
        return t;
    }();
    return timer;
}

TSystemClock systemClock;
IClock *currentClock = nullptr;

} // namespace

qint64 TSystemClock::NowMs()
{
    return Stopwatch().elapsed();
}

void TSystemClock::Wait(int ms)
{
    if (ms <= 0) {
        QThread::yieldCurrentThread();
        return;
    }
    if (ms <= 11) {
        // Short waits are timing of the wire: sleep most of it, spin the rest.
        QElapsedTimer t;
        t.start();
        if (ms > 1)
            QThread::msleep(static_cast<unsigned long>(ms - 1));
        while (t.elapsed() < ms) {
        }
        return;
    }
    if (QCoreApplication::instance() == nullptr) {
        QThread::msleep(static_cast<unsigned long>(ms));
        return;
    }
    // A local event loop keeps the window painting while we wait.
    QEventLoop loop;
    QTimer::singleShot(ms, Qt::PreciseTimer, &loop, &QEventLoop::quit);
    loop.exec();
}

IClock &Clock()
{
    return currentClock != nullptr ? *currentClock : systemClock;
}

void SetClock(IClock *clock)
{
    currentClock = clock;
}

void Delay(int ms)
{
    Clock().Wait(ms);
}

quint32 GetTickCount()
{
    return static_cast<quint32>(Clock().NowMs());
}
