#include "calendar/WeekNumber.h"

#include <QTest>

class TestWeekNumber : public QObject
{
    Q_OBJECT

private slots:
    void weeks_data()
    {
        QTest::addColumn<QDate>("termStart");
        QTest::addColumn<QDate>("date");
        QTest::addColumn<int>("inYear");
        QTest::addColumn<int>("teaching");
        auto row = [](const char* name, QDate termStart, QDate date, int inYear, int teaching) {
            QTest::addRow("%s %s", qPrintable(date.toString(Qt::ISODate)), name)
                << termStart << date << inYear << teaching;
        };
        const QDate autumn2008(2008, 9, 1);
        row("Mon, week before the term", autumn2008, QDate(2008, 8, 25), 35, 52);
        row("Sun before the start day", autumn2008, QDate(2008, 8, 31), 36, 1);
        row("Mon, start day", autumn2008, QDate(2008, 9, 1), 36, 1);
        row("Sat", autumn2008, QDate(2008, 9, 6), 36, 1);
        row("Sun", autumn2008, QDate(2008, 9, 7), 37, 2);
        row("Wed, leap year", autumn2008, QDate(2008, 12, 31), 53, 18);
        row("Thu, goes on by 53", autumn2008, QDate(2009, 1, 1), 1, 18);
        row("Sun", autumn2008, QDate(2009, 1, 4), 2, 19);
        row("Mon, a year later", autumn2008, QDate(2009, 8, 31), 36, 1);
        // A year opening on a Friday or Saturday folds those days into the next full week.
        row("Fri", autumn2008, QDate(2010, 1, 1), 1, 18);
        row("Sat", autumn2008, QDate(2010, 1, 2), 1, 18);
        row("Sun", autumn2008, QDate(2010, 1, 3), 1, 18);
        row("Sun", autumn2008, QDate(2010, 1, 10), 2, 19);
        row("Fri", autumn2008, QDate(2010, 12, 31), 52, 17);
        row("Sun", autumn2008, QDate(2012, 1, 1), 1, 18);
        row("Sat", autumn2008, QDate(2012, 1, 7), 1, 18);
        row("Sun", autumn2008, QDate(2012, 1, 8), 2, 19);
        // Only the week of each date's own year counts.
        row("term from week 53", QDate(2008, 12, 31), QDate(2009, 1, 1), 1, 1);
        row("Sat new year, term from a Sat", QDate(2010, 9, 4), QDate(2011, 1, 1), 1, 19);
        row("earlier in the start's year", QDate(2009, 2, 16), QDate(2009, 2, 1), 6, 51);
        row("invalid term start", QDate(), autumn2008, 36, 0);
        QTest::newRow("invalid date") << autumn2008 << QDate() << 0 << 0;
    }

    void weeks()
    {
        QFETCH(QDate, termStart);
        QFETCH(QDate, date);
        QTEST(WeekInYear(date), "inYear");
        QTEST(TeachingWeek(date, termStart), "teaching");
    }
};

QTEST_GUILESS_MAIN(TestWeekNumber)
#include "tst_calendar_week.moc"
