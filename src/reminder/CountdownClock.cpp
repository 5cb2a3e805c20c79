#include "reminder/CountdownClock.h"

#include "app/Clock.h"

namespace {
// Timers may go off a little before their time; a look this close to the end of a second
// belongs to the next one.
constexpr qint64 kEarlyMs = 20;
} // namespace

qint64 CountdownClock::Elapsed() const
{
    return Clock::monotonicMs() - m_nStart;
}

void CountdownClock::Start(int nSeconds)
{
    m_nDuration = nSeconds;
    m_nStart = Clock::monotonicMs();
    m_bRunning = true;
}

int CountdownClock::Remaining() const
{
    return m_nDuration - int((Elapsed() + kEarlyMs) / 1000);
}

int CountdownClock::MsToNextTick() const
{
    const qint64 passed = (Elapsed() + kEarlyMs) / 1000;
    return int(qMax<qint64>(1, (passed + 1) * 1000 - Elapsed()));
}
