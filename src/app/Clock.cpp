#include "app/Clock.h"

#include <QElapsedTimer>

namespace {
std::function<QDateTime()>& source()
{
    static std::function<QDateTime()> s;
    return s;
}
std::function<qint64()>& monotonicSource()
{
    static std::function<qint64()> s;
    return s;
}
} // namespace

namespace Clock {

QDateTime now()
{
    const auto& s = source();
    return s ? s() : QDateTime::currentDateTime();
}

void setSource(std::function<QDateTime()> newSource) { source() = std::move(newSource); }

qint64 monotonicMs()
{
    if (const auto& s = monotonicSource())
        return s();
    // QElapsedTimer reads CLOCK_MONOTONIC here, which does not count a suspend.
    static const QElapsedTimer start = [] {
        QElapsedTimer t;
        t.start();
        return t;
    }();
    return start.elapsed();
}

void setMonotonicSource(std::function<qint64()> newSource) { monotonicSource() = std::move(newSource); }

} // namespace Clock
