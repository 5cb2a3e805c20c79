#include "TableTestHelpers.h"

using TableTest::Exec;

namespace {

const QString kSolarHeading = QStringLiteral("阳历节日:\r\n--------------------------\r\n");
const QString kLunarHeading = QStringLiteral("\r\n农历节日:\r\n--------------------------\r\n");

// The solar and the lunar operations behind one face, so that each test runs on both tables.
// The solar lookups take a date; they are given one with the key's month and day.
struct Holidays
{
    CDataStore& s;
    bool solar;

    static QDate Day(const HolidayKey& k) { return QDate(2026, k.left(2).toInt(), k.mid(2).toInt()); }
    bool Add(const HolidayKey& k, const QString& n)
    {
        return solar ? s.AddSolarHoliday(k, n) : s.AddLunarHoliday(k, n);
    }
    bool Present(const HolidayKey& k, const QString& n)
    {
        return solar ? s.IsSolarHolidayPresent(k, n) : s.IsLunarHolidayPresent(k, n);
    }
    bool Delete(const HolidayKey& k, const QString& n)
    {
        return solar ? s.DeleteSolarHoliday(k, n) : s.DeleteLunarHoliday(k, n);
    }
    bool Rename(const HolidayKey& k, const QString& n, const QString& to)
    {
        return solar ? s.RenameSolarHoliday(k, n, to) : s.RenameLunarHoliday(k, n, to);
    }
    int Count(const HolidayKey& k) { return solar ? s.CountSolarHolidays(Day(k)) : s.CountLunarHolidays(k); }
    bool Names(const HolidayKey& k, QStringList& out)
    {
        return solar ? s.GetSolarHolidayNames(Day(k), out) : s.GetLunarHolidayNames(k, out);
    }
    QStringList Rows()
    {
        return TableTest::Column(s, QStringLiteral("SELECT date || ' ' || name FROM %1 ORDER BY rowid")
                                        .arg(solar ? QStringLiteral("yljrb") : QStringLiteral("lljrb")));
    }
};

void BothTables()
{
    QTest::addColumn<bool>("solar");
    QTest::newRow("solar") << true;
    QTest::newRow("lunar") << false;
}

} // namespace

class TestHolidayTable : public QObject
{
    Q_OBJECT

private slots:
    void solarKey_data()
    {
        QTest::addColumn<QDate>("date");
        QTest::addColumn<QString>("key");
        QTest::newRow("5 March") << QDate(2009, 3, 5) << QStringLiteral("0305");
        QTest::newRow("25 December") << QDate(2026, 12, 25) << QStringLiteral("1225");
        QTest::newRow("9 October") << QDate(1921, 10, 9) << QStringLiteral("1009");
        QTest::newRow("29 February") << QDate(2028, 2, 29) << QStringLiteral("0229");
    }
    void solarKey()
    {
        QFETCH(QDate, date);
        QFETCH(QString, key);
        QCOMPARE(CDataStore::SolarHolidayKey(date), key);
        // A holiday under that key is found on that day of any year, and only in its table.
        StoreFixture f;
        QVERIFY(f.Open());
        QVERIFY(f.store.AddSolarHoliday(key, QStringLiteral("节")));
        QCOMPARE(f.store.CountSolarHolidays(date.addYears(-80)), 1);
        QCOMPARE(f.store.CountSolarHolidays(date.addDays(1)), 0);
        QCOMPARE(f.store.CountLunarHolidays(key), 0);
    }

    void twoHolidaysOnOneKeyInTableOrder_data() { BothTables(); }
    void twoHolidaysOnOneKeyInTableOrder()
    {
        QFETCH(bool, solar);
        StoreFixture f;
        QVERIFY(f.Open());
        Holidays h{f.store, solar};
        QVERIFY(h.Add(QStringLiteral("1002"), QStringLiteral("次日")));
        QVERIFY(h.Add(QStringLiteral("1001"), QStringLiteral("国庆节")));
        QVERIFY(h.Add(QStringLiteral("0110"), QStringLiteral("倒过来")));
        QVERIFY(h.Add(QStringLiteral("1001"), QStringLiteral("国际音乐日")));
        QCOMPARE(h.Count(QStringLiteral("1001")), 2);
        QStringList names = {QStringLiteral("stale")};
        QVERIFY(h.Names(QStringLiteral("1001"), names));
        QCOMPARE(names, (QStringList{QStringLiteral("国庆节"), QStringLiteral("国际音乐日")}));
        QVERIFY(!h.Names(QStringLiteral("1003"), names));
        QCOMPARE(names.size(), 2);
    }

    // Rename and delete change the first matching row only, and names with quotes, wildcards
    // or format holes are matched exactly.
    void renameAndDeleteTheFirstMatch_data()
    {
        QTest::addColumn<bool>("solar");
        QTest::addColumn<QString>("name");
        QTest::newRow("solar") << true << QStringLiteral("元旦");
        QTest::newRow("lunar") << false << QStringLiteral("元旦");
        QTest::newRow("solar, quote") << true << QStringLiteral("Valentine's Day");
        QTest::newRow("lunar, wildcards and holes") << false << QStringLiteral("50%_off %s '\\'");
    }
    void renameAndDeleteTheFirstMatch()
    {
        QFETCH(bool, solar);
        QFETCH(QString, name);
        StoreFixture f;
        QVERIFY(f.Open());
        Holidays h{f.store, solar};
        const HolidayKey key = QStringLiteral("0101");
        for (const QString& n : {name, QStringLiteral("其他"), name, name.chopped(1)})
            QVERIFY(h.Add(key, n));
        QVERIFY(h.Add(QStringLiteral("0102"), name));
        QVERIFY(h.Present(key, name));
        QVERIFY(!h.Present(QStringLiteral("0103"), name));
        QVERIFY(h.Rename(key, name, QStringLiteral("新年")));
        QVERIFY(h.Delete(key, name));
        const QStringList expected = {QStringLiteral("0101 新年"), QStringLiteral("0101 其他"),
                                      QStringLiteral("0101 ") + name.chopped(1),
                                      QStringLiteral("0102 ") + name};
        QCOMPARE(h.Rows(), expected);
        QVERIFY(!h.Present(key, name));
        // A missing pair is refused quietly; the editor says so itself.
        QVERIFY(!h.Rename(key, name, QStringLiteral("x")));
        QVERIFY(!h.Delete(key, name));
        QCOMPARE(h.Rows(), expected);
        QVERIFY(f.errors.texts().isEmpty());
    }

    void allHolidaysText_data()
    {
        QTest::addColumn<QStringList>("solar"); // "key name" each
        QTest::addColumn<QStringList>("lunar");
        QTest::addColumn<bool>("result");
        QTest::addColumn<QString>("text");
        const QStringList solar = {QStringLiteral("0101 元旦"), QStringLiteral("1001 国庆节"),
                                   QStringLiteral("0308 妇女节 (半天)")};
        const QStringList lunar = {QStringLiteral("0815 中秋节"), QStringLiteral("0101 春节")};
        const QString solarLines = QStringLiteral("0101: 元旦\r\n1001: 国庆节\r\n0308: 妇女节 (半天)\r\n");
        const QString lunarLines = QStringLiteral("0815: 中秋节\r\n0101: 春节\r\n");
        QTest::newRow("both") << solar << lunar << true
                              << kSolarHeading + solarLines + kLunarHeading + lunarLines;
        QTest::newRow("no solar") << QStringList{} << lunar << false << kSolarHeading;
        QTest::newRow("no lunar") << solar << QStringList{} << false
                                  << kSolarHeading + solarLines + kLunarHeading;
    }
    void allHolidaysText()
    {
        QFETCH(QStringList, solar);
        QFETCH(QStringList, lunar);
        QFETCH(bool, result);
        QFETCH(QString, text);
        StoreFixture f;
        QVERIFY(f.Open());
        for (const QString& h : solar)
            QVERIFY(f.store.AddSolarHoliday(h.left(4), h.mid(5)));
        for (const QString& h : lunar)
            QVERIFY(f.store.AddLunarHoliday(h.left(4), h.mid(5)));
        QString out = QStringLiteral("stale");
        QCOMPARE(f.store.GetAllHolidaysText(out), result);
        QCOMPARE(out, text);
        QVERIFY(f.errors.texts().isEmpty());
    }

    // Term start and end live in the first two rows as day numbers from 30 December 1899.
    // With fewer rows both operations fail; what was not read keeps its value and nothing is
    // half saved.
    void schoolCalendar_data()
    {
        QTest::addColumn<int>("rows");
        QTest::newRow("two rows") << 2;
        QTest::newRow("one row") << 1;
        QTest::newRow("no row") << 0;
    }
    void schoolCalendar()
    {
        QFETCH(int, rows);
        StoreFixture f;
        QVERIFY(f.Open());
        Exec(f.store, QStringLiteral("DELETE FROM xiaoli WHERE rowid > %1").arg(rows));
        const QDateTime callerStart(QDate(2008, 1, 1), QTime(0, 0)),
            callerEnd(QDate(2009, 1, 1), QTime(0, 0));
        QDateTime start = callerStart, end = callerEnd;
        QCOMPARE(f.store.LoadSchoolCalendar(start, end), rows == 2);
        QCOMPARE(start, rows > 0 ? QDateTime(QDate(2026, 9, 1), QTime(0, 0)) : callerStart);
        QCOMPARE(end, rows > 1 ? QDateTime(QDate(2027, 1, 31), QTime(0, 0)) : callerEnd);

        const QDateTime newStart(QDate(2027, 2, 20), QTime(0, 0)), newEnd(QDate(2027, 7, 10), QTime(0, 0));
        QCOMPARE(f.store.SaveSchoolCalendar(newStart, newEnd), rows == 2);
        const QStringList stored = TableTest::Column(
            f.store,
            QStringLiteral("SELECT printf('%.1f ', date) || typeof(date) FROM xiaoli ORDER BY rowid"));
        const QStringList saved = {QStringLiteral("46438.0 real"), QStringLiteral("46578.0 real")};
        const QStringList expected =
            rows == 2 ? saved : QStringList{QStringLiteral("46266.0 real")}.mid(0, rows);
        QCOMPARE(stored, expected);
        QCOMPARE(f.errors.texts(),
                 rows == 2 ? QStringList{} : QStringList(2, QStringLiteral("打开校历表错误")));
        if (rows == 2) {
            QVERIFY(f.store.LoadSchoolCalendar(start, end));
            QCOMPARE(start, newStart);
            QCOMPARE(end, newEnd);
        }
    }
};

QTEST_GUILESS_MAIN(TestHolidayTable)
#include "tst_holidaytable.moc"
