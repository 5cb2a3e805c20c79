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

} // namespace Clock
