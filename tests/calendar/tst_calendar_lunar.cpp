#include "calendar/LunarCalendar.h"
#include "calendar/LunarYearTable.h"

#include <QTest>

using namespace Qt::StringLiterals;

class TestLunarCalendar : public QObject
{
    Q_OBJECT

private slots:
    void conversion_data();
    void conversion();
    void monthEnd_data();
    void monthEnd();
    void outsideTable_data();
    void outsideTable();
    void everyDayFollowsYearTable();
    void namesOfYearsMonthsAndDays();
};

void TestLunarCalendar::conversion_data()
{
    QTest::addColumn<QDate>("date");
    QTest::addColumn<int>("year");
    QTest::addColumn<int>("month");
    QTest::addColumn<bool>("leap");
    QTest::addColumn<int>("day");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("key");

    auto row = [](const char* name, QDate date, int year, int month, bool leap, int day, const QString& text,
                  const QString& key) {
        QTest::newRow(name) << date << year << month << leap << day << text << key;
    };

    // The dates the day view was first checked against.
    row("1921 new year", QDate(1921, 2, 8), 1921, 1, false, 1, u"鸡(辛酉)年正月初一"_s, u"0101"_s);
    row("2008-01-01", QDate(2008, 1, 1), 2007, 11, false, 23, u"猪(丁亥)年十一月廿三"_s, u"1123"_s);
    row("2009 new year", QDate(2009, 1, 26), 2009, 1, false, 1, u"牛(己丑)年正月初一"_s, u"0101"_s);
    row("29 February", QDate(2012, 2, 29), 2012, 2, false, 8, u"龙(壬辰)年二月初八"_s, u"0208"_s);
    row("leap 6th month, day 30", QDate(2017, 8, 21), 2017, 6, true, 30, u"鸡(丁酉)年闰六月三十"_s,
        u"0630"_s);
    row("leap 4th month, day 1", QDate(2020, 5, 23), 2020, 4, true, 1, u"鼠(庚子)年闰四月初一"_s, u"0401"_s);
    row("month after leap 4th", QDate(2020, 6, 21), 2020, 5, false, 1, u"鼠(庚子)年五月初一"_s, u"0501"_s);
    row("last day of lunar 2020", QDate(2021, 2, 11), 2020, 12, false, 30, u"鼠(庚子)年腊月三十"_s,
        u"1230"_s);
    row("mid-autumn 2013", QDate(2013, 9, 19), 2013, 8, false, 15, u"蛇(癸巳)年八月十五"_s, u"0815"_s);

    // Beyond 2021, where the day view opens on today's date.
    row("2022 new year", QDate(2022, 2, 1), 2022, 1, false, 1, u"虎(壬寅)年正月初一"_s, u"0101"_s);
    row("2023 new year", QDate(2023, 1, 22), 2023, 1, false, 1, u"兔(癸卯)年正月初一"_s, u"0101"_s);
    row("2024 new year", QDate(2024, 2, 10), 2024, 1, false, 1, u"龙(甲辰)年正月初一"_s, u"0101"_s);
    row("2025 new year's eve", QDate(2025, 1, 28), 2024, 12, false, 29, u"龙(甲辰)年腊月廿九"_s, u"1229"_s);
    row("2025 new year", QDate(2025, 1, 29), 2025, 1, false, 1, u"蛇(乙巳)年正月初一"_s, u"0101"_s);
    row("2026 new year", QDate(2026, 2, 17), 2026, 1, false, 1, u"马(丙午)年正月初一"_s, u"0101"_s);
    row("leap 11th month 2033", QDate(2033, 12, 22), 2033, 11, true, 1, u"牛(癸丑)年闰十一月初一"_s,
        u"1101"_s);
    row("12th month after leap 11th", QDate(2034, 1, 20), 2033, 12, false, 1, u"牛(癸丑)年腊月初一"_s,
        u"1201"_s);

    // 2100 is no Gregorian leap year: 1 March follows 28 February directly.
    row("2100-02-28", QDate(2100, 2, 28), 2100, 1, false, 20, u"猴(庚申)年正月二十"_s, u"0120"_s);
    row("2100-03-01", QDate(2100, 3, 1), 2100, 1, false, 21, u"猴(庚申)年正月廿一"_s, u"0121"_s);

    row("first day of the table", QDate(1900, 1, 31), 1900, 1, false, 1, u"鼠(庚子)年正月初一"_s, u"0101"_s);
    row("leap 8th month 1900", QDate(1900, 9, 24), 1900, 8, true, 1, u"鼠(庚子)年闰八月初一"_s, u"0801"_s);
    row("last day of the table", QDate(2101, 1, 28), 2100, 12, false, 29, u"猴(庚申)年腊月廿九"_s, u"1229"_s);
}

void TestLunarCalendar::conversion()
{
    QFETCH(QDate, date);
    QFETCH(int, year);
    QFETCH(int, month);
    QFETCH(bool, leap);
    QFETCH(int, day);
    QFETCH(QString, text);
    QFETCH(QString, key);

    const LunarDate lunar = SolarToLunar(date);
    QVERIFY(lunar.isValid());
    QCOMPARE(lunar.nYear, year);
    QCOMPARE(lunar.nMonth, month);
    QCOMPARE(lunar.bLeap, leap);
    QCOMPARE(lunar.nDay, day);
    QCOMPARE(lunar.strText, text);
    QCOMPARE(lunar.strKey, key);

    const LunarDate fromNumbers = SolarToLunar(date.year(), date.month(), date.day());
    QCOMPARE(fromNumbers.strText, text);
    QCOMPARE(fromNumbers.strKey, key);
    QCOMPARE(SolarToLunarNumbers(date), (LunarNumbers{year, month, leap, day}));
}

void TestLunarCalendar::monthEnd_data()
{
    QTest::addColumn<QDate>("lastDay");
    QTest::addColumn<QString>("lastText");
    QTest::addColumn<QString>("nextText");

    QTest::newRow("30-day leap month")
        << QDate(2017, 8, 21) << u"鸡(丁酉)年闰六月三十"_s << u"鸡(丁酉)年七月初一"_s;
    QTest::newRow("29-day leap month")
        << QDate(2020, 6, 20) << u"鼠(庚子)年闰四月廿九"_s << u"鼠(庚子)年五月初一"_s;
    QTest::newRow("30-day month before a leap")
        << QDate(2023, 3, 21) << u"兔(癸卯)年二月三十"_s << u"兔(癸卯)年闰二月初一"_s;
    QTest::newRow("29-day leap 2nd month")
        << QDate(2023, 4, 19) << u"兔(癸卯)年闰二月廿九"_s << u"兔(癸卯)年三月初一"_s;
    QTest::newRow("29-day leap 11th month")
        << QDate(2034, 1, 19) << u"牛(癸丑)年闰十一月廿九"_s << u"牛(癸丑)年腊月初一"_s;
    QTest::newRow("29-day leap 8th month")
        << QDate(1900, 10, 22) << u"鼠(庚子)年闰八月廿九"_s << u"鼠(庚子)年九月初一"_s;
    QTest::newRow("year of 30-day 12th month")
        << QDate(2021, 2, 11) << u"鼠(庚子)年腊月三十"_s << u"牛(辛丑)年正月初一"_s;
    QTest::newRow("year of 29-day 12th month")
        << QDate(2025, 1, 28) << u"龙(甲辰)年腊月廿九"_s << u"蛇(乙巳)年正月初一"_s;
    QTest::newRow("end of the table") << QDate(2101, 1, 28) << u"猴(庚申)年腊月廿九"_s << QString();
}

void TestLunarCalendar::monthEnd()
{
    QFETCH(QDate, lastDay);
    QFETCH(QString, lastText);
    QFETCH(QString, nextText);

    QCOMPARE(SolarToLunar(lastDay).strText, lastText);
    QCOMPARE(SolarToLunar(lastDay.addDays(1)).strText, nextText);
}

void TestLunarCalendar::outsideTable_data()
{
    QTest::addColumn<QDate>("date");

    QTest::newRow("day before the table") << QDate(1900, 1, 30);
    QTest::newRow("day after the table") << QDate(2101, 1, 29);
    QTest::newRow("last day of 2101") << QDate(2101, 12, 31);
    QTest::newRow("1 January 1900") << QDate(1900, 1, 1);
    QTest::newRow("year 1") << QDate(1, 1, 1);
    QTest::newRow("before the common era") << QDate(-4713, 1, 1);
    QTest::newRow("far future") << QDate(9999, 12, 31);
    QTest::newRow("invalid date") << QDate();
    QTest::newRow("30 February") << QDate(2020, 2, 30);
}

void TestLunarCalendar::outsideTable()
{
    QFETCH(QDate, date);

    const LunarDate lunar = SolarToLunar(date);
    QVERIFY(!lunar.isValid());
    QCOMPARE(lunar.nYear, 0);
    QCOMPARE(lunar.nMonth, 0);
    QCOMPARE(lunar.bLeap, false);
    QCOMPARE(lunar.nDay, 0);
    QVERIFY(lunar.strText.isEmpty());
    QVERIFY(lunar.strKey.isEmpty());
    QCOMPARE(SolarToLunarNumbers(date), LunarNumbers{});
}

// Reads the year table month by month from 31 January 1900, the way the table is defined, and
// checks every single day against the indexed lookup; a wrong block or month boundary anywhere
// in the two centuries shows up here.
void TestLunarCalendar::everyDayFollowsYearTable()
{
    QCOMPARE(LunarTableFirstDay(), QDate(1900, 1, 31));
    QCOMPARE(LunarTableLastDay(), QDate(2101, 1, 28));

    QDate date(1900, 1, 31);
    int year = LunarYearTable::kFirstYear;
    for (const std::uint32_t entry : LunarYearTable::kEntries) {
        const int months = entry >= 0xFFF ? 13 : 12;
        const int leapAfter = months == 13 ? static_cast<int>(entry >> 16) : 0;
        for (int k = 1; k <= months; ++k) {
            const int length = (entry >> (months - k)) & 1 ? 30 : 29;
            const bool leap = leapAfter != 0 && k == leapAfter + 1;
            const int month = leapAfter != 0 && k > leapAfter ? k - 1 : k;
            for (int day = 1; day <= length; ++day, date = date.addDays(1)) {
                const LunarNumbers expected{year, month, leap, day};
                const LunarNumbers got = SolarToLunarNumbers(date);
                if (got != expected)
                    QFAIL(qPrintable(u"%1: got %2 %3%4 %5, the table says %6 %7%8 %9"_s.arg(
                        date.toString(Qt::ISODate), QString::number(got.nYear),
                        got.bLeap ? u"L"_s : QString(), QString::number(got.nMonth),
                        QString::number(got.nDay), QString::number(year), leap ? u"L"_s : QString(),
                        QString::number(month), QString::number(day))));
            }
        }
        ++year;
    }
    QCOMPARE(year, 2101);
    QCOMPARE(date, QDate(2101, 1, 29));
}

void TestLunarCalendar::namesOfYearsMonthsAndDays()
{
    // Twelve lunar new years run through every animal and branch and all ten stems.
    const QStringList yearNames{u"鼠(庚子)年"_s, u"牛(辛丑)年"_s, u"虎(壬寅)年"_s, u"兔(癸卯)年"_s,
                                u"龙(甲辰)年"_s, u"蛇(乙巳)年"_s, u"马(丙午)年"_s, u"羊(丁未)年"_s,
                                u"猴(戊申)年"_s, u"鸡(己酉)年"_s, u"狗(庚戌)年"_s, u"猪(辛亥)年"_s};
    QDate newYear(2020, 1, 25);
    for (const QString& name : yearNames) {
        const LunarDate lunar = SolarToLunar(newYear);
        QCOMPARE(lunar.nDay, 1);
        QCOMPARE(lunar.strText, name + u"正月初一"_s);
        newYear = newYear.addDays(353);
        while (SolarToLunar(newYear).nMonth != 1 || SolarToLunar(newYear).nDay != 1)
            newYear = newYear.addDays(1);
    }

    // 2023 has thirteen months, the leap one after the second.
    const QStringList monthNames{u"正"_s, u"二"_s, u"闰二"_s, u"三"_s, u"四"_s,   u"五"_s, u"六"_s,
                                 u"七"_s, u"八"_s, u"九"_s,   u"十"_s, u"十一"_s, u"腊"_s};
    QDate firstOfMonth(2023, 1, 22);
    for (const QString& name : monthNames) {
        QCOMPARE(SolarToLunar(firstOfMonth).strText, u"兔(癸卯)年"_s + name + u"月初一"_s);
        firstOfMonth = firstOfMonth.addDays(29);
        if (SolarToLunar(firstOfMonth).nDay != 1)
            firstOfMonth = firstOfMonth.addDays(1);
    }
    QCOMPARE(SolarToLunar(firstOfMonth).strText, u"龙(甲辰)年正月初一"_s);

    // The second month of 1900 has 30 days.
    const QStringList dayNames{u"初一"_s, u"初二"_s, u"初三"_s, u"初四"_s, u"初五"_s, u"初六"_s,
                               u"初七"_s, u"初八"_s, u"初九"_s, u"初十"_s, u"十一"_s, u"十二"_s,
                               u"十三"_s, u"十四"_s, u"十五"_s, u"十六"_s, u"十七"_s, u"十八"_s,
                               u"十九"_s, u"二十"_s, u"廿一"_s, u"廿二"_s, u"廿三"_s, u"廿四"_s,
                               u"廿五"_s, u"廿六"_s, u"廿七"_s, u"廿八"_s, u"廿九"_s, u"三十"_s};
    QDate date(1900, 3, 1);
    for (int day = 1; day <= 30; ++day, date = date.addDays(1)) {
        const LunarDate lunar = SolarToLunar(date);
        QCOMPARE(lunar.strText, u"鼠(庚子)年二月"_s + dayNames.at(day - 1));
        QCOMPARE(lunar.strKey, u"02"_s + (day < 10 ? u"0"_s : QString()) + QString::number(day));
    }
}

QTEST_GUILESS_MAIN(TestLunarCalendar)
#include "tst_calendar_lunar.moc"
