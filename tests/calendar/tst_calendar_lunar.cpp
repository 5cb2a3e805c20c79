#include "calendar/LunarCalendar.h"
#include "calendar/LunarYearTable.h"

#include <QTest>

using namespace Qt::StringLiterals;

class TestLunarCalendar : public QObject
{
    Q_OBJECT

private slots:
    void conversion_data()
    {
        QTest::addColumn<QDate>("date");
        QTest::addColumn<LunarNumbers>("numbers");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("key");
        auto row = [](QDate date, int year, int month, bool leap, int day, const QString& text,
                      const QString& key) {
            QTest::addRow("%s", date.isValid() ? qPrintable(date.toString(Qt::ISODate)) : "invalid")
                << date << LunarNumbers{year, month, leap, day} << text << key;
        };
        row(QDate(1921, 2, 8), 1921, 1, false, 1, u"鸡(辛酉)年正月初一"_s, u"0101"_s);
        row(QDate(2008, 1, 1), 2007, 11, false, 23, u"猪(丁亥)年十一月廿三"_s, u"1123"_s);
        row(QDate(2009, 1, 26), 2009, 1, false, 1, u"牛(己丑)年正月初一"_s, u"0101"_s);
        row(QDate(2012, 2, 29), 2012, 2, false, 8, u"龙(壬辰)年二月初八"_s, u"0208"_s);
        row(QDate(2017, 8, 21), 2017, 6, true, 30, u"鸡(丁酉)年闰六月三十"_s, u"0630"_s);
        row(QDate(2020, 5, 23), 2020, 4, true, 1, u"鼠(庚子)年闰四月初一"_s, u"0401"_s);
        row(QDate(2020, 6, 21), 2020, 5, false, 1, u"鼠(庚子)年五月初一"_s, u"0501"_s);
        row(QDate(2021, 2, 11), 2020, 12, false, 30, u"鼠(庚子)年腊月三十"_s, u"1230"_s);
        // Months ending on day 29.
        row(QDate(2020, 6, 20), 2020, 4, true, 29, u"鼠(庚子)年闰四月廿九"_s, u"0429"_s);
        row(QDate(2025, 1, 28), 2024, 12, false, 29, u"龙(甲辰)年腊月廿九"_s, u"1229"_s);
        // The ends of the table; days outside it have no lunar date.
        row(QDate(1900, 1, 31), 1900, 1, false, 1, u"鼠(庚子)年正月初一"_s, u"0101"_s);
        row(QDate(2101, 1, 28), 2100, 12, false, 29, u"猴(庚申)年腊月廿九"_s, u"1229"_s);
        for (const QDate date :
             {QDate(1900, 1, 30), QDate(2101, 1, 29), QDate(-4713, 1, 1), QDate(9999, 12, 31), QDate()})
            row(date, 0, 0, false, 0, QString(), QString());
    }

    void conversion()
    {
        QFETCH(QDate, date);
        QFETCH(LunarNumbers, numbers);
        QFETCH(QString, text);
        QFETCH(QString, key);
        const LunarDate lunar = SolarToLunar(date);
        QCOMPARE((LunarNumbers{lunar.nYear, lunar.nMonth, lunar.bLeap, lunar.nDay}), numbers);
        QCOMPARE(lunar.strText, text);
        QCOMPARE(lunar.strKey, key);
        QCOMPARE(SolarToLunarNumbers(date), numbers);
        const LunarDate fromNumbers = SolarToLunar(date.year(), date.month(), date.day());
        QCOMPARE(fromNumbers.strText, text);
        QCOMPARE(fromNumbers.strKey, key);
    }

    // Reads the year table month by month from its first day and checks every day of the range.
    void everyDayFollowsYearTable()
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
                for (int day = 1; day <= length; ++day, date = date.addDays(1))
                    if (SolarToLunarNumbers(date) != LunarNumbers{year, month, leap, day})
                        QFAIL(qPrintable(date.toString(Qt::ISODate)));
            }
            ++year;
        }
        QCOMPARE(year, 2101);
        QCOMPARE(date, QDate(2101, 1, 29));
    }

    void namesOfYearsMonthsAndDays()
    {
        // Twelve lunar new years run through every animal and branch and all ten stems.
        const QStringList years = u"鼠(庚子) 牛(辛丑) 虎(壬寅) 兔(癸卯) 龙(甲辰) 蛇(乙巳) 马(丙午) 羊(丁未) "
                                  u"猴(戊申) 鸡(己酉) 狗(庚戌) 猪(辛亥)"_s.split(u' ');
        QDate date(2020, 1, 25);
        for (const QString& name : years) {
            QCOMPARE(SolarToLunar(date).strText, name + u"年正月初一"_s);
            do
                date = date.addDays(1);
            while (date.year() < 2033 && SolarToLunarNumbers(date) != LunarNumbers{date.year(), 1, false, 1});
        }

        // 2023 has thirteen months, the leap one after the second.
        date = QDate(2023, 1, 22);
        for (const QString& name : u"正 二 闰二 三 四 五 六 七 八 九 十 十一 腊"_s.split(u' ')) {
            QCOMPARE(SolarToLunar(date).strText, u"兔(癸卯)年"_s + name + u"月初一"_s);
            do
                date = date.addDays(1);
            while (date.year() < 2025 && SolarToLunar(date).nDay != 1);
        }
        QCOMPARE(SolarToLunar(date).strText, u"龙(甲辰)年正月初一"_s);

        // The second month of 1900 has 30 days.
        const QStringList days =
            u"初一 初二 初三 初四 初五 初六 初七 初八 初九 初十 十一 十二 十三 十四 十五 "
            u"十六 十七 十八 十九 二十 廿一 廿二 廿三 廿四 廿五 廿六 廿七 廿八 廿九 三十"_s.split(u' ');
        for (int day = 1; day <= 30; ++day) {
            const LunarDate lunar = SolarToLunar(QDate(1900, 2, 28).addDays(day));
            QCOMPARE(lunar.strText, u"鼠(庚子)年二月"_s + days.at(day - 1));
            QCOMPARE(lunar.strKey, u"02%1"_s.arg(day, 2, 10, QChar(u'0')));
        }
    }
};

QTEST_GUILESS_MAIN(TestLunarCalendar)
#include "tst_calendar_lunar.moc"
