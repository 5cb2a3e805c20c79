#include "FakeClock.h"
#include "TableTestHelpers.h"
#include "store/ReminderRecord.h"

using TableTest::Exec;

namespace {

struct Listing
{
    QStringList times, modes, rings, titles, contents;
    bool ok = false;
};

Listing All(CDataStore& store)
{
    Listing l;
    l.ok = store.ListReminders(l.times, l.modes, l.rings, l.titles, l.contents);
    return l;
}

Listing Today(CDataStore& store)
{
    Listing l;
    l.ok = store.ListTodayReminders(l.times, l.modes, l.rings, l.titles, l.contents);
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
        QTest::newRow("once, yesterday") << sunday << At(2026, 12, 5) << 0 << false;
        QTest::newRow("once, same day last year") << sunday << At(2025, 12, 6) << 0 << false;
        QTest::newRow("daily, set long ago") << sunday << At(1999, 2, 3) << 1 << true;
        QTest::newRow("weekly, set on a Sunday") << sunday << At(2009, 3, 1) << 2 << true;
        QTest::newRow("weekly, set on a Monday") << sunday << At(2026, 12, 7) << 2 << false;
        QTest::newRow("weekly, Saturday") << QDate(2026, 12, 12) << At(2026, 12, 5) << 2 << true;
        QTest::newRow("monthly on the 31st, 31 Dec") << QDate(2026, 12, 31) << At(2026, 1, 31) << 3 << true;
        QTest::newRow("monthly on the 31st, 30 Nov") << QDate(2026, 11, 30) << At(2026, 1, 31) << 3 << false;
        QTest::newRow("monthly on the 31st, 1 Dec") << QDate(2026, 12, 1) << At(2026, 1, 31) << 3 << false;
        QTest::newRow("yearly 29 Feb, leap year") << QDate(2028, 2, 29) << At(2024, 2, 29) << 4 << true;
        QTest::newRow("yearly 29 Feb, 28 Feb 2027") << QDate(2027, 2, 28) << At(2024, 2, 29) << 4 << false;
        QTest::newRow("yearly 29 Feb, 1 Mar 2027") << QDate(2027, 3, 1) << At(2024, 2, 29) << 4 << false;
        QTest::newRow("yearly, other month") << sunday << At(2020, 11, 6) << 4 << false;
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
        QVERIFY(f.store.AddReminder(when, mode, 1, QStringLiteral("t"), QStringLiteral("c")));
        QCOMPARE(f.store.CountTodayReminders(), due ? 1 : 0);
        const Listing l = Today(f.store);
        QCOMPARE(l.ok, due);
        QCOMPARE(l.titles, due ? QStringList{QStringLiteral("t")} : QStringList{});
        QCOMPARE(TableTest::Column(f.store, QStringLiteral("SELECT week FROM tx")),
                 QStringList{QString::number(when.date().dayOfWeek() % 7 + 1)});
    }

    void displayTexts_data()
    {
        QTest::addColumn<QDateTime>("when");
        QTest::addColumn<int>("mode");
        QTest::addColumn<int>("ring");
        QTest::addColumn<QStringList>("texts"); // time, mode, ring
        QTest::newRow("once") << At(2009, 3, 1, 8, 5, 0) << 0 << 1
                              << QStringList{QStringLiteral("2009-03-01 08:05:00"), QStringLiteral("一次"),
                                             QStringLiteral("是")};
        QTest::newRow("daily") << At(2026, 1, 9, 0, 0, 9) << 1 << 0
                               << QStringList{QStringLiteral("2026-01-09 00:00:09"), QStringLiteral("每天"),
                                              QStringLiteral("否")};
        QTest::newRow("weekly") << At(2026, 10, 10, 10, 10, 10) << 2 << 2
                                << QStringList{QStringLiteral("2026-10-10 10:10:10"), QStringLiteral("每周"),
                                               QStringLiteral("是")};
        QTest::newRow("monthly") << At(2026, 12, 31, 23, 59, 59) << 3 << 0
                                 << QStringList{QStringLiteral("2026-12-31 23:59:59"), QStringLiteral("每月"),
                                                QStringLiteral("否")};
        QTest::newRow("yearly, short year") << At(999, 2, 3, 4, 5, 6) << 4 << -1
                                            << QStringList{QStringLiteral("999-02-03 04:05:06"),
                                                           QStringLiteral("每年"), QStringLiteral("是")};
    }
    void displayTexts()
    {
        QFETCH(QDateTime, when);
        QFETCH(int, mode);
        QFETCH(int, ring);
        QFETCH(QStringList, texts);
        StoreFixture f;
        QVERIFY(f.Open());
        QVERIFY(f.store.AddReminder(when, mode, ring, QStringLiteral("标题 'x' %s"),
                                    QStringLiteral("内容\r\n二")));
        const Listing l = All(f.store);
        QVERIFY(l.ok);
        QCOMPARE((QStringList{l.times.value(0), l.modes.value(0), l.rings.value(0)}), texts);
        QCOMPARE(l.titles, QStringList{QStringLiteral("标题 'x' %s")});
        QCOMPARE(l.contents, QStringList{QStringLiteral("内容\r\n二")});
    }

    // Numbers the table holds as anything but integers read as 0.
    void numbersOfOtherTypesReadAsZero()
    {
        StoreFixture f;
        QVERIFY(f.Open());
        Exec(f.store,
             QStringLiteral("INSERT INTO tx (year, month, day, hour, minute, second, week, mode, ring, "
                            "title, content) VALUES ('MMXXVI', 12.5, X'06', 8.5, 'five', NULL, 1, "
                            "'weekly', 'yes', 7, NULL)"));
        const Listing l = All(f.store);
        QCOMPARE((QStringList{l.times.value(0), l.modes.value(0), l.rings.value(0), l.titles.value(0)}),
                 (QStringList{QStringLiteral("0-00-00 00:00:00"), QStringLiteral("一次"),
                              QStringLiteral("否"), QStringLiteral("7")}));
    }

    void listingOrder()
    {
        FakeClock clock(QDateTime(QDate(2026, 12, 6), QTime(7, 0)));
        StoreFixture f;
        QVERIFY(f.Open());
        const std::tuple<QDateTime, int, const char*> reminders[] = {
            {At(2026, 12, 6, 9, 0, 0), 0, "nine"},     {At(2020, 1, 1, 23, 59, 59), 1, "late"},
            {At(2026, 12, 6, 8, 30, 5), 0, "8:30:05"}, {At(2026, 11, 6, 8, 30, 0), 3, "8:30"},
            {At(2026, 12, 7, 6, 0, 0), 0, "tomorrow"}, {At(2026, 11, 29, 0, 0, 0), 2, "midnight"},
        };
        for (const auto& [when, mode, title] : reminders)
            QVERIFY(f.store.AddReminder(when, mode, 0, QString::fromLatin1(title), QString()));
        QCOMPARE(f.store.CountTodayReminders(), 5);
        QCOMPARE(Today(f.store).titles,
                 (QStringList{QStringLiteral("midnight"), QStringLiteral("8:30"), QStringLiteral("8:30:05"),
                              QStringLiteral("nine"), QStringLiteral("late")}));
        // The whole table comes in the order the reminders were added.
        QCOMPARE(f.store.CountReminders(), 6);
        QCOMPARE(All(f.store).titles, (QStringList{QStringLiteral("nine"), QStringLiteral("late"),
                                                   QStringLiteral("8:30:05"), QStringLiteral("8:30"),
                                                   QStringLiteral("tomorrow"), QStringLiteral("midnight")}));
    }

    // Only once-only reminders whose moment has passed go; the clock stands at 10:00:00.500.
    void purge_data()
    {
        QTest::addColumn<QDateTime>("when");
        QTest::addColumn<int>("mode");
        QTest::addColumn<bool>("kept");
        QTest::newRow("once, an hour ago") << At(2026, 12, 6, 9, 0, 0) << 0 << false;
        QTest::newRow("once, a second ago") << At(2026, 12, 6, 9, 59, 59) << 0 << false;
        QTest::newRow("once, this second") << At(2026, 12, 6, 10, 0, 0) << 0 << true;
        QTest::newRow("once, a second ahead") << At(2026, 12, 6, 10, 0, 1) << 0 << true;
        QTest::newRow("once, last year") << At(2025, 12, 6, 23, 0, 0) << 0 << false;
        QTest::newRow("daily, an hour ago") << At(2026, 12, 6, 9, 0, 0) << 1 << true;
        QTest::newRow("yearly, long ago") << At(2001, 1, 1) << 4 << true;
    }
    void purge()
    {
        QFETCH(QDateTime, when);
        QFETCH(int, mode);
        QFETCH(bool, kept);
        FakeClock clock(QDateTime(QDate(2026, 12, 6), QTime(10, 0, 0, 500)));
        StoreFixture f;
        QVERIFY(f.Open());
        QVERIFY(f.store.AddReminder(when, mode, 0, QStringLiteral("r"), QString()));
        QVERIFY(f.store.AddReminder(At(2030, 1, 1), 0, 0, QStringLiteral("later"), QString()));
        QVERIFY(f.store.PurgeExpiredReminders());
        const QStringList remaining = All(f.store).titles;
        QCOMPARE(remaining.contains(QStringLiteral("r")), kept);
        QCOMPARE(remaining.contains(QStringLiteral("later")), true);
        QVERIFY(f.errors.texts().isEmpty());
    }

    void passedReminderListedUntilPurged()
    {
        FakeClock clock(QDateTime(QDate(2026, 12, 6), QTime(10, 0)));
        StoreFixture f;
        QVERIFY(f.Open());
        QVERIFY(!f.store.PurgeExpiredReminders()); // no once-only reminder at all
        QVERIFY(f.store.AddReminder(At(2026, 12, 6, 9, 0, 0), 0, 1, QStringLiteral("passed"), QString()));
        QVERIFY(f.store.AddReminder(At(2026, 12, 6, 11, 0, 0), 0, 1, QStringLiteral("coming"), QString()));
        QCOMPARE(Today(f.store).titles, (QStringList{QStringLiteral("passed"), QStringLiteral("coming")}));
        QVERIFY(f.store.PurgeExpiredReminders());
        QCOMPARE(Today(f.store).titles, QStringList{QStringLiteral("coming")});
    }

    // A reminder is named by all its fields but the week day; only the first match goes.
    void deleteReminder()
    {
        StoreFixture f;
        QVERIFY(f.Open());
        const QDateTime when = At(2026, 12, 6, 8, 5, 0);
        const QString title = QStringLiteral("it's 8 o'clock"), content = QStringLiteral("100% 'done' \\ %s");
        QVERIFY(f.store.AddReminder(when, 2, 1, title, content));
        QVERIFY(f.store.AddReminder(when, 2, 1, title, content));
        QVERIFY(f.store.AddReminder(when, 2, 0, title, content));
        Exec(f.store, QStringLiteral("UPDATE tx SET week = 5"));
        QVERIFY(!f.store.DeleteReminder(when.addSecs(1), 2, 1, title, content));
        QVERIFY(!f.store.DeleteReminder(when, 1, 1, title, content));
        QVERIFY(!f.store.DeleteReminder(when, 2, 1, title + u' ', content));
        QVERIFY(!f.store.DeleteReminder(when, 2, 1, title, content.chopped(1)));
        QVERIFY(f.store.DeleteReminder(when, 2, 1, title, content));
        QCOMPARE(All(f.store).rings, (QStringList{QStringLiteral("是"), QStringLiteral("否")}));
        QVERIFY(f.store.DeleteReminder(when, 2, 1, title, content));
        QVERIFY(!f.store.DeleteReminder(when, 2, 1, title, content));
        QCOMPARE(f.store.CountReminders(), 1);
        QVERIFY(f.errors.texts().isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestReminderTable)
#include "tst_remindertable.moc"
