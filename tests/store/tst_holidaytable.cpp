#include "StoreFixture.h"

namespace {
QStringList Rows(CDataStore& s, HolidayCalendar calendar)
{
    return TableTest::Column(
        s, QStringLiteral("SELECT date || ' ' || name FROM %1 ORDER BY rowid")
               .arg(calendar == HolidayCalendar::Solar ? QStringLiteral("yljrb") : QStringLiteral("lljrb")));
}
} // namespace

Q_DECLARE_METATYPE(HolidayCalendar)

class TestHolidayTable : public QObject
{
    Q_OBJECT

private slots:
    // Two holidays on one key come in table order; rename and delete change the first matching
    // row only, and names with quotes, wildcards or format holes are matched exactly.
    void holidaysOnOneKey_data()
    {
        QTest::addColumn<HolidayCalendar>("calendar");
        QTest::addColumn<QString>("name");
        QTest::newRow("solar, quote") << HolidayCalendar::Solar << QStringLiteral("Valentine's Day");
        QTest::newRow("lunar, wildcards and holes")
            << HolidayCalendar::Lunar << QStringLiteral("50%_off %s '\\'");
    }
    void holidaysOnOneKey()
    {
        QFETCH(HolidayCalendar, calendar);
        QFETCH(QString, name);
        StoreFixture f;
        QVERIFY(f.Open());
        CDataStore& s = f.store;
        const HolidayKey key = QStringLiteral("1001");
        for (const QString& n : {name, QStringLiteral("其他"), name, name.chopped(1)})
            QVERIFY(s.AddHoliday(calendar, key, n));
        QVERIFY(s.AddHoliday(calendar, QStringLiteral("0110"), name));
        QCOMPARE(s.CountHolidays(calendar, key), 4);
        QStringList names = {QStringLiteral("stale")};
        QVERIFY(s.GetHolidayNames(calendar, key, names));
        QCOMPARE(names, (QStringList{name, QStringLiteral("其他"), name, name.chopped(1)}));
        QVERIFY(!s.GetHolidayNames(calendar, QStringLiteral("1003"), names)); // leaves the list alone
        QCOMPARE(names.size(), 4);
        QVERIFY(s.IsHolidayPresent(calendar, key, name));
        QVERIFY(!s.IsHolidayPresent(calendar, QStringLiteral("1003"), name));
        QVERIFY(s.RenameHoliday(calendar, key, name, QStringLiteral("新年")));
        QVERIFY(s.DeleteHoliday(calendar, key, name));
        const QStringList expected = {QStringLiteral("1001 新年"), QStringLiteral("1001 其他"),
                                      QStringLiteral("1001 ") + name.chopped(1),
                                      QStringLiteral("0110 ") + name};
        QCOMPARE(Rows(s, calendar), expected);
        QVERIFY(!s.IsHolidayPresent(calendar, key, name));
        QVERIFY(!s.RenameHoliday(calendar, key, name, QStringLiteral("x"))); // refused quietly
        QVERIFY(!s.DeleteHoliday(calendar, key, name));
        QCOMPARE(Rows(s, calendar), expected);
        QVERIFY(f.errors.texts().isEmpty());
        // A solar key is the two-digit month, then the two-digit day, whatever the year.
        QCOMPARE(CDataStore::SolarHolidayKey(QDate(2009, 3, 5)), QStringLiteral("0305"));
        QCOMPARE(CDataStore::SolarHolidayKey(QDate(1929, 12, 25)), QStringLiteral("1225"));
        QCOMPARE(CDataStore::SolarHolidayKey(QDate(2028, 2, 29)), QStringLiteral("0229"));
    }

    // Term start and end live in the first two rows as day numbers from 30 December 1899.
    // Without its second row the calendar cannot be used; loading still hands out the term
    // start it read, so the main window keeps it, and saving changes nothing.
    void schoolCalendar()
    {
        StoreFixture f;
        QVERIFY(f.Open());
        QDateTime start, end;
        QVERIFY(f.store.LoadSchoolCalendar(start, end));
        QCOMPARE(start, QDateTime(QDate(2026, 9, 1), QTime(0, 0)));
        QCOMPARE(end, QDateTime(QDate(2027, 1, 31), QTime(0, 0)));
        const QDateTime newStart(QDate(2027, 2, 20), QTime(0, 0)), newEnd(QDate(2027, 7, 10), QTime(0, 0));
        QVERIFY(f.store.SaveSchoolCalendar(newStart, newEnd));
        const QString days =
            QStringLiteral("SELECT printf('%.1f ', date) || typeof(date) FROM xiaoli ORDER BY rowid");
        QCOMPARE(TableTest::Column(f.store, days),
                 (QStringList{QStringLiteral("46438.0 real"), QStringLiteral("46578.0 real")}));
        QVERIFY(f.errors.texts().isEmpty());

        TableTest::Exec(f.store,
                        QStringLiteral("DELETE FROM xiaoli WHERE rowid <> (SELECT min(rowid) FROM xiaoli)"));
        start = end = QDateTime(QDate(2000, 1, 1), QTime(0, 0));
        QVERIFY(!f.store.LoadSchoolCalendar(start, end));
        QCOMPARE(start, newStart);
        QCOMPARE(end, QDateTime(QDate(2000, 1, 1), QTime(0, 0)));
        QVERIFY(!f.store.SaveSchoolCalendar(QDateTime(QDate(2028, 2, 20), QTime(0, 0)), newEnd));
        QCOMPARE(f.errors.texts(), QStringList(2, QStringLiteral("打开校历表错误")));
        QCOMPARE(TableTest::Column(f.store, days), QStringList{QStringLiteral("46438.0 real")});
    }
};

QTEST_GUILESS_MAIN(TestHolidayTable)
#include "tst_holidaytable.moc"
