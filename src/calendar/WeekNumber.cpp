#include "calendar/WeekNumber.h"

namespace {

// Weeks here start on Sunday: 1 Sunday, 2 Monday ... 7 Saturday (QDate counts 1 Monday ... 7 Sunday).
int weekdayFromSunday(QDate date)
{
    return date.dayOfWeek() % 7 + 1;
}

} // namespace

int WeekInYear(QDate date)
{
    if (!date.isValid())
        return 0;
    // Days from 1 January up to and including the first Saturday, 1 to 7.
    const int firstSaturday = 8 - weekdayFromSunday(QDate(date.year(), 1, 1));
    const int dayOfYear = date.dayOfYear();
    if (dayOfYear <= firstSaturday)
        return 1;
    const int k = dayOfYear - firstSaturday;
    int week = k / 7 + 2;
    if (k % 7 == 0)
        --week;
    // A year that starts on a Friday or a Saturday would open with a one- or two-day week;
    // those days join the first full week instead.
    if (firstSaturday < 3)
        --week;
    return week;
}

int TeachingWeek(QDate date, QDate termStart)
{
    if (!date.isValid() || !termStart.isValid())
        return 0;
    const int d = WeekInYear(date) - WeekInYear(termStart);
    // A negative difference is a date in the following calendar year of a term that crosses
    // New Year, counted as if the start's year had 53 weeks.
    return d >= 0 ? d + 1 : d + 53;
}
