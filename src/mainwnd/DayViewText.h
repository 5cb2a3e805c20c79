#pragma once

#include <QDate>
#include <QStringList>

class CDataStore;

/// What the day view shows beside the list for the shown date. It is worked out when the date
/// or the data changes, never while painting, so that painting only draws it.
struct DayViewText
{
    QString strLunar;         ///< the lunar date's display text
    QStringList holidayLines; ///< "★_^-^) name" for each solar holiday, then "▲_^-^) name" for each lunar one
    QString strTerm;          ///< the solar term whose moment falls on the date ("冬至"); empty on other days
    QString strTermMoment;    ///< the term with its moment in Beijing time, "冬至 12月21日 17:20"

    /// Reads the holidays of \a date (by its day and by its lunar day) from \a store. A table
    /// that cannot be read says so through the store and adds no lines.
    static DayViewText Make(CDataStore& store, const QDate& date);
};
