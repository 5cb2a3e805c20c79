#include "calendar/WeekNumber.h"

#include <QTest>

class TestWeekNumber : public QObject
{
    Q_OBJECT

private slots:
    void weekInYear_data();
    void weekInYear();
    void weekInYearCountsSundays();
    void teachingWeek_data();
    void teachingWeek();
};

void TestWeekNumber::weekInYear_data()
{
    QTest::addColumn<QDate>("date");
    QTest::addColumn<int>("week");

    QTest::newRow("2008-08-25 Mon") << QDate(2008, 8, 25) << 35;
    QTest::newRow("2008-08-31 Sun") << QDate(2008, 8, 31) << 36;
    QTest::newRow("2008-09-01 Mon") << QDate(2008, 9, 1) << 36;
    QTest::newRow("2008-09-06 Sat") << QDate(2008, 9, 6) << 36;
    QTest::newRow("2008-09-07 Sun") << QDate(2008, 9, 7) << 37;
    QTest::newRow("2008-12-31 Wed, leap year") << QDate(2008, 12, 31) << 53;
    QTest::newRow("2009-01-01 Thu") << QDate(2009, 1, 1) << 1;
    QTest::newRow("2009-01-04 Sun") << QDate(2009, 1, 4) << 2;
    QTest::newRow("2009-08-31 Mon") << QDate(2009, 8, 31) << 36;

    // A year opening on a Friday or Saturday folds those days into the next full week.
    QTest::newRow("2010-01-01 Fri") << QDate(2010, 1, 1) << 1;
    QTest::newRow("2010-01-02 Sat") << QDate(2010, 1, 2) << 1;
    QTest::newRow("2010-01-03 Sun") << QDate(2010, 1, 3) << 1;
    QTest::newRow("2010-01-09 Sat") << QDate(2010, 1, 9) << 1;
    QTest::newRow("2010-01-10 Sun") << QDate(2010, 1, 10) << 2;
    QTest::newRow("2010-12-31 Fri") << QDate(2010, 12, 31) << 52;
    QTest::newRow("2011-01-01 Sat") << QDate(2011, 1, 1) << 1;
    QTest::newRow("2011-01-08 Sat") << QDate(2011, 1, 8) << 1;
    QTest::newRow("2011-01-09 Sun") << QDate(2011, 1, 9) << 2;
    QTest::newRow("2000-01-02 Sun, year from Sat") << QDate(2000, 1, 2) << 1;
    QTest::newRow("2000-12-31 Sun, leap year from Sat") << QDate(2000, 12, 31) << 53;

    // A year opening on a Sunday starts with a full week 1.
    QTest::newRow("2012-01-01 Sun") << QDate(2012, 1, 1) << 1;
    QTest::newRow("2012-01-07 Sat") << QDate(2012, 1, 7) << 1;
    QTest::newRow("2012-01-08 Sun") << QDate(2012, 1, 8) << 2;
    QTest::newRow("2012-12-31 Mon") << QDate(2012, 12, 31) << 53;

    QTest::newRow("invalid date") << QDate() << 0;
}

void TestWeekNumber::weekInYear()
{
    QFETCH(QDate, date);
    QFETCH(int, week);

    QCOMPARE(WeekInYear(date), week);
}

// Counts weeks the plain way, one Sunday at a time, for every day of 1900 to 2100: a new week
// starts on each Sunday, except the first Sunday of a year that opened on a Friday or a
// Saturday, which continues week 1.
void TestWeekNumber::weekInYearCountsSundays()
{
    int week = 0;
    bool shortStart = false;
    bool sundaySeen = false;
    for (QDate date(1900, 1, 1); date.year() <= 2100; date = date.addDays(1)) {
        if (date.dayOfYear() == 1) {
            week = 1;
            shortStart = date.dayOfWeek() == 5 || date.dayOfWeek() == 6;
            sundaySeen = false;
        } else if (date.dayOfWeek() == 7) {
            if (sundaySeen || !shortStart)
                ++week;
            sundaySeen = true;
        }
        if (WeekInYear(date) != week)
            QFAIL(qPrintable(date.toString(Qt::ISODate) +
                             QStringLiteral(": week %1, counted %2").arg(WeekInYear(date)).arg(week)));
    }
}

void TestWeekNumber::teachingWeek_data()
{
    QTest::addColumn<QDate>("termStart");
    QTest::addColumn<QDate>("date");
    QTest::addColumn<int>("week");

    const QDate autumn2008(2008, 9, 1);
    QTest::newRow("week before the term") << autumn2008 << QDate(2008, 8, 25) << 52;
    QTest::newRow("Sunday before the start day") << autumn2008 << QDate(2008, 8, 31) << 1;
    QTest::newRow("start day") << autumn2008 << QDate(2008, 9, 1) << 1;
    QTest::newRow("Saturday of week 1") << autumn2008 << QDate(2008, 9, 6) << 1;
    QTest::newRow("Sunday of week 2") << autumn2008 << QDate(2008, 9, 7) << 2;
    QTest::newRow("31 December") << autumn2008 << QDate(2008, 12, 31) << 18;
    QTest::newRow("1 January goes on by 53") << autumn2008 << QDate(2009, 1, 1) << 18;
    QTest::newRow("first Sunday of the new year") << autumn2008 << QDate(2009, 1, 4) << 19;
    QTest::newRow("a year later") << autumn2008 << QDate(2009, 8, 31) << 1;

    // A start in week 53 and a new year from Saturday: the same Sunday-to-Saturday days get two
    // numbers, since only the week of each date's own year counts.
    const QDate lastWeek2008(2008, 12, 31);
    QTest::newRow("start in week 53, next day") << lastWeek2008 << QDate(2009, 1, 1) << 1;
    QTest::newRow("start in week 53, next Sunday") << lastWeek2008 << QDate(2009, 1, 4) << 2;
    const QDate autumn2010(2010, 9, 4);
    QTest::newRow("start on a Saturday, next day") << autumn2010 << QDate(2010, 9, 5) << 2;
    QTest::newRow("Friday before a Saturday new year") << autumn2010 << QDate(2010, 12, 31) << 18;
    QTest::newRow("Saturday new year") << autumn2010 << QDate(2011, 1, 1) << 19;
    QTest::newRow("Sunday after a Saturday new year") << autumn2010 << QDate(2011, 1, 2) << 19;
    QTest::newRow("second Sunday of the new year") << autumn2010 << QDate(2011, 1, 9) << 20;

    const QDate spring2009(2009, 2, 16);
    QTest::newRow("earlier in the start's year") << spring2009 << QDate(2009, 2, 1) << 51;
    QTest::newRow("end of spring term") << spring2009 << QDate(2009, 7, 4) << 20;

    QTest::newRow("invalid date") << autumn2008 << QDate() << 0;
    QTest::newRow("invalid term start") << QDate() << autumn2008 << 0;
}

void TestWeekNumber::teachingWeek()
{
    QFETCH(QDate, termStart);
    QFETCH(QDate, date);
    QFETCH(int, week);

    QCOMPARE(TeachingWeek(date, termStart), week);
}

QTEST_GUILESS_MAIN(TestWeekNumber)
#include "tst_calendar_week.moc"
