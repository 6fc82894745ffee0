#include "support/MockClock.h"

TMockClock::TMockClock()
{
    SetClock(this);
}

TMockClock::~TMockClock()
{
    SetClock(nullptr);
}

void TMockClock::Wait(int ms)
{
    waits_.append(ms);
    now_ += ms > 0 ? ms : 0;
}
