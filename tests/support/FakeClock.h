#pragma once

#include "app/Clock.h"

/// Puts the program on a fixed date and time for its lifetime.
class FakeClock
{
public:
    explicit FakeClock(const QDateTime& now) : m_now(now)
    {
        Clock::setSource([this] { return m_now; });
    }
    ~FakeClock() { Clock::setSource({}); }
    FakeClock(const FakeClock&) = delete;
    FakeClock& operator=(const FakeClock&) = delete;

    void set(const QDateTime& now) { m_now = now; }
    void advance(qint64 seconds) { m_now = m_now.addSecs(seconds); }

private:
    QDateTime m_now;
};
