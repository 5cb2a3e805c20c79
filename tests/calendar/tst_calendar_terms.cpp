#include "calendar/SolarTerms.h"

#include <QTest>
#include <QTimeZone>

using namespace Qt::StringLiterals;

class TestSolarTerms : public QObject
{
    Q_OBJECT

private slots:
    // Beijing time as published (or by an independent ephemeris for 1900, 2100 and terms near
    // midnight); within a minute.
    void knownMoments_data()
    {
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QDateTime>("moment");
        const auto row = [](int index, const QString& name, const QString& beijing) {
            QTest::addRow("%s %s", qPrintable(beijing.left(4)), qPrintable(name))
                << index << name << QDateTime::fromString(beijing + u"+08:00"_s, Qt::ISODate);
        };
        row(0, u"小寒"_s, u"1900-01-06T02:03:58"_s);
        row(5, u"春分"_s, u"1900-03-21T09:39:07"_s);
        row(23, u"冬至"_s, u"1900-12-22T14:41:32"_s);
        row(5, u"春分"_s, u"2000-03-20T15:35:00"_s); // 07:35 UT
        row(2, u"立春"_s, u"2024-02-04T16:27:00"_s);
        row(5, u"春分"_s, u"2024-03-20T11:06:00"_s);  // 03:06 UT
        row(11, u"夏至"_s, u"2024-06-21T04:51:00"_s); // 20 June 20:51 UT
        row(17, u"秋分"_s, u"2024-09-22T20:44:00"_s); // 12:44 UT
        row(23, u"冬至"_s, u"2024-12-21T17:20:21"_s); // 09:20:21 UT
        row(2, u"立春"_s, u"2025-02-03T22:10:00"_s);
        row(0, u"小寒"_s, u"2100-01-05T15:28:23"_s);
        row(11, u"夏至"_s, u"2100-06-21T13:31:35"_s);
        row(23, u"冬至"_s, u"2100-12-22T03:49:58"_s);
        // A few minutes after and before midnight: the day must be the one of the moment.
        row(4, u"惊蛰"_s, u"2014-03-06T00:02:11"_s);
        row(13, u"大暑"_s, u"2013-07-22T23:56:09"_s);
    }

    void knownMoments()
    {
        QFETCH(int, index);
        QFETCH(QDateTime, moment);
        QVERIFY(moment.isValid());
        // Within a minute, so on the moment's day too.
        const SolarTerm term = SolarTermsOfYear(moment.date().year()).value(index);
        QTEST(term.strName, "name");
        QCOMPARE(term.moment.offsetFromUtc(), 8 * 3600);
        const qint64 off = moment.secsTo(term.moment);
        if (qAbs(off) > 60)
            QFAIL(qPrintable(u"%1 is %2 s off"_s.arg(term.moment.toString(Qt::ISODate)).arg(off)));
    }

    // Every year: 24 terms in order about half a month apart, running on into the next year, and
    // every day agrees with the year's list.
    void everyYear()
    {
        const QStringList names =
            u"小寒 大寒 立春 雨水 惊蛰 春分 清明 谷雨 立夏 小满 芒种 夏至 "
            u"小暑 大暑 立秋 处暑 白露 秋分 寒露 霜降 立冬 小雪 大雪 冬至"_s.split(u' ');
        QDateTime previous;
        for (int year = kSolarTermFirstYear; year <= kSolarTermLastYear; ++year) {
            const QList<SolarTerm> terms = SolarTermsOfYear(year);
            QCOMPARE(terms.size(), 24);
            QHash<QDate, int> onDay;
            for (int k = 0; k < 24; ++k) {
                const SolarTerm& term = terms.at(k);
                QCOMPARE(term.nIndex, k);
                QCOMPARE(term.strName, names.at(k));
                QCOMPARE(SolarTermName(k), names.at(k));
                QCOMPARE(term.moment.date().year(), year);
                // The Sun takes 14.7 days for 15 degrees near perihelion, 15.7 near aphelion.
                if (previous.isValid()) {
                    const double days = previous.secsTo(term.moment) / 86400.0;
                    if (days < 14.6 || days > 15.8)
                        QFAIL(qPrintable(
                            u"%1 comes %2 days after the term before"_s.arg(term.moment.toString(Qt::ISODate))
                                .arg(days)));
                }
                previous = term.moment;
                onDay.insert(term.moment.date(), k);
            }
            for (QDate day(year, 1, 1); day.year() == year; day = day.addDays(1)) {
                const SolarTerm term = SolarTermOn(day);
                if (term.nIndex != onDay.value(day, -1) ||
                    (term.isValid() && term.moment != terms.at(term.nIndex).moment))
                    QFAIL(qPrintable(day.toString(Qt::ISODate)));
            }
        }
    }

    void outsideTheRange()
    {
        QVERIFY(SolarTermsOfYear(1899).isEmpty());
        QVERIFY(SolarTermsOfYear(2101).isEmpty());
        QVERIFY(!SolarTermOn(QDate(1899, 12, 22)).isValid());
        QVERIFY(!SolarTermOn(QDate(2101, 1, 5)).isValid());
        QVERIFY(!SolarTermOn(QDate()).isValid());
        QVERIFY(SolarTermName(24).isEmpty());
        QVERIFY(SolarTermName(-1).isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestSolarTerms)
#include "tst_calendar_terms.moc"
