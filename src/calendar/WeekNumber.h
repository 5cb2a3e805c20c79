#pragma once

#include <QDate>

/// The week of the year of a date, 1 to 53, weeks running from Sunday to Saturday. Week 1
/// ends on the first Saturday of the year, unless the year starts on a Friday or a Saturday:
/// then those one or two days and the whole week after them are week 1. 0 for an invalid date.
int WeekInYear(QDate date);

/// The teaching week of a date in the term that starts on termStart, 1 to 53. Only the week of
/// the year of both dates counts, never their years: a date in the next calendar year carries
/// on from week 53 of the start's year. 0 when either date is invalid.
int TeachingWeek(QDate date, QDate termStart);
