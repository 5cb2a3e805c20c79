#pragma once

#include <QDate>
#include <QDateTime>
#include <QList>
#include <QString>

/// The years whose solar terms are known; outside them there are none.
constexpr int kSolarTermFirstYear = 1900;
constexpr int kSolarTermLastYear = 2100;

/// One of the 24 solar terms of a Gregorian year: the moment the Sun's apparent longitude
/// reaches a multiple of 15 degrees (春分 at 0, 清明 at 15 ... 惊蛰 at 345).
struct SolarTerm
{
    int nIndex = -1;  ///< 0 to 23 in the order of the calendar year: 小寒 0, 大寒 1 ... 冬至 23
    QString strName;  ///< for example "冬至"
    QDateTime moment; ///< Beijing civil time (UTC+8), to the second

    bool isValid() const { return nIndex >= 0; }
};

/// The name of a term by its index (0 to 23); empty for any other number.
QString SolarTermName(int nIndex);

/// The 24 terms of a year from 小寒 to 冬至, all of which fall within the year in Beijing time;
/// empty outside kSolarTermFirstYear to kSolarTermLastYear. Worked out once per year.
QList<SolarTerm> SolarTermsOfYear(int nYear);

/// The term whose moment falls on this day in Beijing time; invalid on any other day.
SolarTerm SolarTermOn(QDate date);

/// A term's moment in milliseconds since 1970 UTC, worked out afresh on every call (the
/// functions above keep what it gives); 0 for a year outside the range or an index outside 0 to 23.
qint64 ComputeSolarTermMSecs(int nYear, int nIndex);
