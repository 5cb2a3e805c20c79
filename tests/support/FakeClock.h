#pragma once

#include "app/Clock.h"

/// A fixed date and time for its lifetime. The steady clock follows it, so that moving the time by
/// hand is time going by, not a sleep or a jump.
class FakeClock
{
public:
    explicit FakeClock(const QDateTime& now) : m_now(now)
    {
        Clock::setSource([this] { return m_now; });
        Clock::setMonotonicSource([this, start = now] { return start.msecsTo(m_now); });
    }
    ~FakeClock()
    {
        Clock::setSource({});
        Clock::setMonotonicSource({});
    }
    FakeClock(const FakeClock&) = delete;
    FakeClock& operator=(const FakeClock&) = delete;

    void set(const QDateTime& now) { m_now = now; }
    void advance(qint64 seconds) { m_now = m_now.addSecs(seconds); }

private:
    QDateTime m_now;
};
