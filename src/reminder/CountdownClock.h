#pragma once

#include <QtGlobal>

/// The time left of a countdown, measured on the steady clock (Clock::monotonicMs) from its
/// start. The page's timer only asks it when to look next and what to show: a tick that comes
/// late (the program was busy) shows the true remaining time instead of running behind.
class CountdownClock
{
public:
    void Start(int nSeconds);
    void Stop() { m_bRunning = false; }
    bool IsRunning() const { return m_bRunning; }

    /// The whole seconds left: the duration less the whole seconds passed since Start. A look
    /// up to a few milliseconds before a second is over counts that second as passed, since
    /// timers may fire that early. Zero or less when the time is up.
    int Remaining() const;
    /// How long until the next whole second after Start (at least 1 ms).
    int MsToNextTick() const;

private:
    qint64 Elapsed() const;

    qint64 m_nStart = 0;
    int m_nDuration = 0;
    bool m_bRunning = false;
};
