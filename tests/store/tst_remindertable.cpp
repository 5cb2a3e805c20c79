#include "FakeClock.h"
#include "StoreFixture.h"
#include "store/ReminderRecord.h"

using namespace Qt::StringLiterals;

namespace {
struct Listing
{
    QStringList times, modes, rings, titles, contents;
    bool ok = false;
};

Listing List(CDataStore& store, bool today)
{
    Listing l;
    l.ok = today ? store.ListTodayReminders(l.times, l.modes, l.rings, l.titles, l.contents)
                 : store.ListReminders(l.times, l.modes, l.rings, l.titles, l.contents);
    return l;
}

QDateTime At(int y, int mo, int d, int h = 8, int mi = 0, int s = 0)
{
    return QDateTime(QDate(y, mo, d), QTime(h, mi, s));
}
} // namespace

class TestReminderTable : public QObject
{
    Q_OBJECT

private slots:
    // Which reminders are due on a day, by mode; the week day counts from Sunday = 1.
    void daySelection_data()
    {
        QTest::addColumn<QDate>("today");
        QTest::addColumn<QDateTime>("when");
        QTest::addColumn<int>("mode");
        QTest::addColumn<bool>("due");
        const QDate sunday(2026, 12, 6);
        QTest::newRow("once, today") << sunday << At(2026, 12, 6, 23, 59, 59) << 0 << true;
        QTest::newRow("once, same day last year") << sunday << At(2025, 12, 6) << 0 << false;
        QTest::newRow("daily, set long ago") << sunday << At(1999, 2, 3) << 1 << true;
        QTest::newRow("weekly, set on a Sunday") << sunday << At(2009, 3, 1) << 2 << true;
        QTest::newRow("weekly, set on a Monday") << sunday << At(2026, 12, 7) << 2 << false;
        QTest::newRow("monthly on the 31st, 31 Dec") << QDate(2026, 12, 31) << At(2026, 1, 31) << 3 << true;
        QTest::newRow("monthly on the 31st, 30 Nov") << QDate(2026, 11, 30) << At(2026, 1, 31) << 3 << false;
        QTest::newRow("yearly 29 Feb, leap year") << QDate(2028, 2, 29) << At(2024, 2, 29) << 4 << true;
        QTest::newRow("yearly 29 Feb, 28 Feb 2027") << QDate(2027, 2, 28) << At(2024, 2, 29) << 4 << false;
        QTest::newRow("yearly 29 Feb, 1 Mar 2027") << QDate(2027, 3, 1) << At(2024, 2, 29) << 4 << false;
    }
    void daySelection()
    {
        QFETCH(QDate, today);
        QFETCH(QDateTime, when);
        QFETCH(int, mode);
        QFETCH(bool, due);
        FakeClock clock(QDateTime(today, QTime(0, 0, 1)));
        StoreFixture f;
        QVERIFY(f.Open());
        QVERIFY(f.store.AddReminder(when, mode, 1, u"t"_s, u"c"_s));
        QCOMPARE(f.store.CountTodayReminders(), due ? 1 : 0);
        const Listing l = List(f.store, true);
        QCOMPARE(l.ok, due);
        QCOMPARE(l.titles, due ? QStringList{u"t"_s} : QStringList{});
        QCOMPARE(TableTest::Column(f.store, u"SELECT week FROM tx"_s),
                 QStringList{QString::number(when.date().dayOfWeek() % 7 + 1)});
    }

    // Today's reminders come by time of day, those already past too; the whole table in the
    // order they were added, with the display texts of every mode and ring.
    void listing()
    {
        FakeClock clock(QDateTime(QDate(2026, 12, 6), QTime(8, 45)));
        StoreFixture f;
        QVERIFY(f.Open());
        const std::tuple<QDateTime, int, int, const char*> reminders[] = {
            {At(2026, 12, 6, 9, 0, 0), 0, 1, "nine"},     {At(2020, 1, 1, 23, 59, 59), 1, 0, "late"},
            {At(2026, 12, 6, 8, 30, 5), 0, 2, "8:30:05"}, {At(2026, 11, 6, 8, 30, 0), 3, -1, "8:30"},
            {At(999, 2, 3, 4, 5, 6), 4, 0, "short year"}, {At(2026, 11, 29, 0, 0, 0), 2, 0, "midnight"},
        };
        for (const auto& [when, mode, ring, title] : reminders)
            QVERIFY(f.store.AddReminder(when, mode, ring, QString::fromLatin1(title), u"内容\r\n'%s'"_s));
        QCOMPARE(f.store.CountTodayReminders(), 5);
        QCOMPARE(List(f.store, true).titles, u"midnight,8:30,8:30:05,nine,late"_s.split(u','));
        QCOMPARE(f.store.CountReminders(), 6);
        const Listing l = List(f.store, false);
        QCOMPARE(l.times, QStringLiteral("2026-12-06 09:00:00,2020-01-01 23:59:59,2026-12-06 08:30:05,"
                                         "2026-11-06 08:30:00,999-02-03 04:05:06,2026-11-29 00:00:00")
                              .split(u','));
        QCOMPARE(l.modes, u"一次 每天 一次 每月 每年 每周"_s.split(u' '));
        QCOMPARE(l.rings, u"是 否 是 是 否 否"_s.split(u' '));
        QCOMPARE(l.contents, QStringList(6, u"内容\r\n'%s'"_s));
    }

    // A reminder is named by all its fields but the week day; only the first match goes.
    void deleteReminder()
    {
        StoreFixture f;
        QVERIFY(f.Open());
        const QDateTime when = At(2026, 12, 6, 8, 5, 0);
        const QString title = u"it's 8 o'clock"_s, content = u"100% 'done' \\ %s"_s;
        QVERIFY(f.store.AddReminder(when, 2, 1, title, content));
        QVERIFY(f.store.AddReminder(when, 2, 1, title, content));
        QVERIFY(f.store.AddReminder(when, 2, 0, title, content));
        TableTest::Exec(f.store, u"UPDATE tx SET week = 5"_s);
        QVERIFY(!f.store.DeleteReminder(when.addSecs(1), 2, 1, title, content));
        QVERIFY(!f.store.DeleteReminder(when, 1, 1, title, content));
        QVERIFY(!f.store.DeleteReminder(when, 2, 1, title + u' ', content));
        QVERIFY(!f.store.DeleteReminder(when, 2, 1, title, content.chopped(1)));
        QVERIFY(f.store.DeleteReminder(when, 2, 1, title, content));
        QCOMPARE(List(f.store, false).rings, (QStringList{u"是"_s, u"否"_s}));
        QVERIFY(f.store.DeleteReminder(when, 2, 1, title, content));
        QVERIFY(!f.store.DeleteReminder(when, 2, 1, title, content));
        QCOMPARE(f.store.CountReminders(), 1);
        QVERIFY(f.errors.texts().isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestReminderTable)
#include "tst_remindertable.moc"
