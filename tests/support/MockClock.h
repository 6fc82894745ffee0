#pragma once

#include "shell/uClock.h"

#include <QList>

// A clock that only moves when told to, or when the code under test waits.
// Installed for its lifetime.
class TMockClock final : public IClock {
public:
    TMockClock();
    ~TMockClock() override;

    qint64 NowMs() override
    {
        const qint64 t = now_;
        now_ += autoStep_;
        return t;
    }
    // A wait advances the time at once and is recorded.
    void Wait(int ms) override;

    void Advance(qint64 ms) { now_ += ms; }
    // Every wait the code asked for, in order.
    const QList<int> &Waits() const { return waits_; }
    // Each call of NowMs() also advances the time by stepMs, for loops that
    // only look at the clock and never wait.
    void SetAutoAdvance(qint64 stepMs) { autoStep_ = stepMs; }

private:
    qint64 now_ = 1000000;
    qint64 autoStep_ = 0;
    QList<int> waits_;
};
