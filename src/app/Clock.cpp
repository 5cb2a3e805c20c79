#include "app/Clock.h"

namespace {
std::function<QDateTime()>& source()
{
    static std::function<QDateTime()> s;
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

} // namespace Clock
