#pragma once

#include <QtGlobal>

// Time as the program sees it. Deadlines (the identification budget, the
// reading failure rule) and waits go through one clock, so tests can drive
// them without waiting in real time.
class IClock {
public:
    virtual ~IClock() = default;
    // Milliseconds on a monotonic scale with an arbitrary origin.
    virtual qint64 NowMs() = 0;
    // Waits ms milliseconds. Waits above 11 ms keep processing pending events
    // so the window stays responsive; shorter ones are precise.
    virtual void Wait(int ms) = 0;
};

// The real clock: a monotonic timer and an event-processing wait.
class TSystemClock final : public IClock {
public:
    qint64 NowMs() override;
    void Wait(int ms) override;
};

// The clock in use; the system clock unless a test installed its own.
IClock &Clock();
// Installs a clock (nullptr restores the system clock). Not owned.
void SetClock(IClock *clock);

// Waits ms milliseconds on the clock in use.
void Delay(int ms);
// Milliseconds on the clock in use, wrapping at 2^32 like a tick count.
quint32 GetTickCount();
