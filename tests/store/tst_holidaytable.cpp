#include "StoreFixture.h"

using namespace Qt::StringLiterals;

namespace {
QStringList Rows(CDataStore& s, HolidayCalendar calendar)
{
    return TableTest::Column(s, u"SELECT date || ' ' || name FROM %1 ORDER BY rowid"_s.arg(
                                    calendar == HolidayCalendar::Solar ? u"yljrb"_s : u"lljrb"_s));
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
        QTest::newRow("solar, quote") << HolidayCalendar::Solar << u"Valentine's Day"_s;
        QTest::newRow("lunar, wildcards and holes") << HolidayCalendar::Lunar << u"50%_off %s '\\'"_s;
    }
    void holidaysOnOneKey()
    {
        QFETCH(HolidayCalendar, calendar);
        QFETCH(QString, name);
        StoreFixture f;
        QVERIFY(f.Open());
        CDataStore& s = f.store;
        const HolidayKey key = u"1001"_s;
        for (const QString& n : {name, u"其他"_s, name, name.chopped(1)})
            QVERIFY(s.AddHoliday(calendar, key, n));
        QVERIFY(s.AddHoliday(calendar, u"0110"_s, name));
        QCOMPARE(s.CountHolidays(calendar, key), 4);
        QStringList names = {u"stale"_s};
        QVERIFY(s.GetHolidayNames(calendar, key, names));
        QCOMPARE(names, (QStringList{name, u"其他"_s, name, name.chopped(1)}));
        QVERIFY(!s.GetHolidayNames(calendar, u"1003"_s, names)); // leaves the list alone
        QCOMPARE(names.size(), 4);
        QVERIFY(s.IsHolidayPresent(calendar, key, name));
        QVERIFY(!s.IsHolidayPresent(calendar, u"1003"_s, name));
        QVERIFY(s.RenameHoliday(calendar, key, name, u"新年"_s));
        QVERIFY(s.DeleteHoliday(calendar, key, name));
        const QStringList expected = {u"1001 新年"_s, u"1001 其他"_s, u"1001 "_s + name.chopped(1),
                                      u"0110 "_s + name};
        QCOMPARE(Rows(s, calendar), expected);
        QVERIFY(!s.IsHolidayPresent(calendar, key, name));
        QVERIFY(!s.RenameHoliday(calendar, key, name, u"x"_s)); // refused quietly
        QVERIFY(!s.DeleteHoliday(calendar, key, name));
        QCOMPARE(Rows(s, calendar), expected);
        QVERIFY(f.errors.texts().isEmpty());
        // A solar key is the two-digit month, then the two-digit day, whatever the year.
        QCOMPARE(CDataStore::SolarHolidayKey(QDate(2009, 3, 5)), u"0305"_s);
        QCOMPARE(CDataStore::SolarHolidayKey(QDate(1929, 12, 25)), u"1225"_s);
        QCOMPARE(CDataStore::SolarHolidayKey(QDate(2028, 2, 29)), u"0229"_s);
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
        const QString days = u"SELECT printf('%.1f ', date) || typeof(date) FROM xiaoli ORDER BY rowid"_s;
        QCOMPARE(TableTest::Column(f.store, days), (QStringList{u"46438.0 real"_s, u"46578.0 real"_s}));
        QVERIFY(f.errors.texts().isEmpty());

        TableTest::Exec(f.store, u"DELETE FROM xiaoli WHERE rowid <> (SELECT min(rowid) FROM xiaoli)"_s);
        start = end = QDateTime(QDate(2000, 1, 1), QTime(0, 0));
        QVERIFY(!f.store.LoadSchoolCalendar(start, end));
        QCOMPARE(start, newStart);
        QCOMPARE(end, QDateTime(QDate(2000, 1, 1), QTime(0, 0)));
        QVERIFY(!f.store.SaveSchoolCalendar(QDateTime(QDate(2028, 2, 20), QTime(0, 0)), newEnd));
        QCOMPARE(f.errors.texts(), QStringList(2, u"打开校历表错误"_s));
        QCOMPARE(TableTest::Column(f.store, days), QStringList{u"46438.0 real"_s});
    }
};

QTEST_GUILESS_MAIN(TestHolidayTable)
#include "tst_holidaytable.moc"
