#pragma once

#include <QDateTime>
#include <functional>

/// The program's one source of the current time. Nothing else reads the system clock, so
/// tests can put the whole program on any date (see tests/support/FakeClock.h).
namespace Clock {

QDateTime now();
inline QDate today() { return now().date(); }

/// Replaces the time source; an empty function restores the system clock.
void setSource(std::function<QDateTime()> source);

/// Milliseconds on the steady clock: never set by anyone and, on the systems we run on, still
/// while the machine sleeps. Set against now(), it shows when the wall clock jumped or the
/// machine slept.
qint64 monotonicMs();
/// Replaces the steady clock's source; an empty function restores the system's.
void setMonotonicSource(std::function<qint64()> source);

} // namespace Clock
