// The UIDs of calendar files as the store keeps them: the same from export to export, following
// every change of an item's identity, and imports applied whole or not at all.
#include "FakeClock.h"
#include "StoreFixture.h"
#include "TestFiles.h"
#include "exchange/CalendarExchange.h"
#include "exchange/ExchangeItem.h"

using Outcome = CDataStore::ExchangeOutcome;

namespace {

const QDate kDay(2026, 12, 6);
const QDateTime kMorning(kDay, QTime(8, 0));

QString ItemText(const ExchangeItem& item)
{
    switch (item.kind) {
    case ExchangeKind::Task:
        return QStringLiteral("task %1 %2 %3")
            .arg(item.task.strDate, item.task.strContent, item.task.strState);
    case ExchangeKind::Reminder:
        return QStringLiteral("reminder %1 %2 %3 %4")
            .arg(ReminderTimeText(item.reminder))
            .arg(item.reminder.nMode)
            .arg(item.reminder.strTitle, item.reminder.strContent);
    case ExchangeKind::Holiday:
        break;
    }
    return QStringLiteral("holiday %1 %2 %3")
        .arg(item.holiday.calendar == HolidayCalendar::Solar ? QStringLiteral("S") : QStringLiteral("L"))
        .arg(item.holiday.strKey, item.holiday.strName);
}

struct Exported
{
    QStringList texts; ///< each item's text, "#n" added for its n-th identical copy
    QStringList uids;
    std::vector<ExchangeItem> items;
};

Exported ExportAll(CDataStore& store, const QDate& from = {}, const QDate& to = {})
{
    Exported out;
    QHash<QString, int> seen;
    const Outcome outcome = store.ExportItems(from, to, [&](const ExchangeItem& item) {
        const QString text = ItemText(item);
        const int n = seen[text]++;
        out.texts << (n ? text + QStringLiteral("#%1").arg(n) : text);
        out.uids << item.strUid;
        out.items.push_back(item);
        return true;
    });
    if (outcome != Outcome::Done)
        out.texts << QStringLiteral("<export failed>");
    return out;
}

/// The tables and the bindings, as the user and the next export would find them.
QStringList Everything(CDataStore& store)
{
    return TableTest::Column(store,
                             QStringLiteral("SELECT date || ' ' || content || ' ' || state FROM shiqing "
                                            "ORDER BY rowid")) +
           TableTest::Column(
               store, QStringLiteral("SELECT year || '-' || month || '-' || day || ' ' || hour || ' ' || "
                                     "mode || ' ' || ring || ' ' || week || ' ' || title FROM tx "
                                     "ORDER BY rowid")) +
           TableTest::Column(store, QStringLiteral("SELECT date || ' ' || name FROM yljrb UNION ALL "
                                                   "SELECT 'L' || date || ' ' || name FROM lljrb")) +
           TableTest::Column(
               store, QStringLiteral("SELECT uid || ' ' || kind || ' ' || key1 || ' ' || key2 || ' ' || "
                                     "key3 || ' ' || place FROM uid_binding ORDER BY uid"));
}

ExchangeItem Task(const QString& uid, const QString& date, const QString& content, const QString& state)
{
    ExchangeItem item;
    item.strUid = uid;
    item.task = {date, content, state};
    return item;
}

ExchangeItem Reminder(const QString& uid, const QString& title, int mode = ReminderDaily)
{
    ExchangeItem item;
    item.kind = ExchangeKind::Reminder;
    item.strUid = uid;
    item.reminder = ReminderRecord::At(kMorning, mode, 1, title, QStringLiteral("内容"));
    return item;
}

ExchangeItem Holiday(const QString& uid, HolidayCalendar calendar, const QString& key, const QString& name)
{
    ExchangeItem item;
    item.kind = ExchangeKind::Holiday;
    item.strUid = uid;
    item.holiday = {calendar, key, name};
    return item;
}

using Items = QList<ExchangeItem>;

/// Imports \a items, then says stop when \a stopAfter of them were taken (-1: never).
Outcome Import(CDataStore& store, const Items& items, CDataStore::ImportCounts& counts, int stopAfter = -1)
{
    qsizetype next = 0;
    return store.ImportItems(
        [&](ExchangeItem& item) {
            if (next == stopAfter)
                return CDataStore::ImportFeed::Stop;
            if (next == items.size())
                return CDataStore::ImportFeed::End;
            item = items[next++];
            return CDataStore::ImportFeed::Item;
        },
        counts);
}

// Tasks, two identical reminders, a once-only one due yesterday, and a holiday of each calendar.
bool Seed(CDataStore& store)
{
    return store.AddTask(kDay, QStringLiteral("A"), TaskStates::NotDone()) &&
           store.AddTask(kDay, QStringLiteral("B"), TaskStates::Done()) &&
           store.AddTask(kDay.addDays(40), QStringLiteral("C"), TaskStates::NotDone()) &&
           store.AddReminder(kMorning, ReminderDaily, 1, QStringLiteral("R"), QStringLiteral("内容")) &&
           store.AddReminder(kMorning, ReminderDaily, 1, QStringLiteral("R"), QStringLiteral("内容")) &&
           store.AddReminder(kMorning.addDays(-1), ReminderOnce, 0, QStringLiteral("Old"), QString()) &&
           store.AddHoliday(HolidayCalendar::Solar, QStringLiteral("1206"), QStringLiteral("S")) &&
           store.AddHoliday(HolidayCalendar::Lunar, QStringLiteral("0815"), QStringLiteral("L"));
}

} // namespace

class TestExchangeStore : public QObject
{
    Q_OBJECT

private slots:
    // Rows another program wrote get UIDs at the first export, which the next one gives again;
    // tasks come by day and content across the walk's pages, identical ones each with a UID.
    void exportKeepsUids()
    {
        StoreFixture f;
        QVERIFY(f.Open());
        QVERIFY(Seed(f.store));
        QVERIFY(
            TableTest::Exec(f.store, QStringLiteral("WITH RECURSIVE n(i) AS (SELECT 0 UNION ALL SELECT i + 1 "
                                                    "FROM n WHERE i < 4999) INSERT INTO shiqing SELECT "
                                                    "'2027-02-01', 'T' || (i / 2), '未完成' FROM n"))
                .isActive());
        const Exported first = ExportAll(f.store);
        QCOMPARE(first.texts.size(), 3 + 5000 + 3 + 2);
        QCOMPARE(QSet<QString>(first.uids.begin(), first.uids.end()).size(), first.uids.size());
        QVERIFY(!first.uids.contains(QString()));
        QCOMPARE(first.texts.mid(0, 3), (QStringList{QStringLiteral("task 2026-12-06 A 未完成"),
                                                     QStringLiteral("task 2026-12-06 B 已完成"),
                                                     QStringLiteral("task 2027-01-15 C 未完成")}));
        QCOMPARE(first.texts.mid(3, 2), (QStringList{QStringLiteral("task 2027-02-01 T0 未完成"),
                                                     QStringLiteral("task 2027-02-01 T0 未完成#1")}));
        QStringList sorted = first.texts.mid(3, 5000);
        std::sort(sorted.begin(), sorted.end());
        QCOMPARE(sorted, first.texts.mid(3, 5000)); // in order, none twice, across the pages
        QCOMPARE(first.texts.mid(5003),
                 (QStringList{QStringLiteral("reminder 2026-12-06 08:00:00 1 R 内容"),
                              QStringLiteral("reminder 2026-12-06 08:00:00 1 R 内容#1"),
                              QStringLiteral("reminder 2026-12-05 08:00:00 0 Old "),
                              QStringLiteral("holiday S 1206 S"), QStringLiteral("holiday L 0815 L")}));
        const Exported second = ExportAll(f.store);
        QCOMPARE(second.texts, first.texts);
        QCOMPARE(second.uids, first.uids);
        // A range of days gives its tasks with the same UIDs, and reminders and holidays whole.
        const Exported range = ExportAll(f.store, kDay.addDays(1), kDay.addDays(40));
        QCOMPARE(range.texts.size(), 1 + 5);
        QCOMPARE(range.uids.first(), first.uids[2]);
        QCOMPARE(range.uids.mid(1), first.uids.mid(5003));
    }

    // Which UID each item has after an operation: "same" when it had it before the operation,
    // else the earlier item's text whose UID it took over, or "new".
    void operationsKeepBindings_data()
    {
        QTest::addColumn<StoreOp>("op");
        QTest::addColumn<QStringList>("after");
        const QString a = QStringLiteral("task 2026-12-06 A 未完成");
        const QString b = QStringLiteral("task 2026-12-06 B 已完成");
        const QString c = QStringLiteral("task 2027-01-15 C 未完成");
        const QString r = QStringLiteral("reminder 2026-12-06 08:00:00 1 R 内容");
        const QString old = QStringLiteral("reminder 2026-12-05 08:00:00 0 Old ");
        const QString s = QStringLiteral("holiday S 1206 S");
        const QString l = QStringLiteral("holiday L 0815 L");
        const QString same = QStringLiteral("=same");
        QTest::newRow("state change") << StoreOp([](CDataStore& st) {
            return int(st.SetTaskState(kDay, QStringLiteral("A"), TaskStates::Done()));
        })
                                      << QStringList{QStringLiteral("task 2026-12-06 A 已完成=") + a,
                                                     b + same,
                                                     c + same,
                                                     r + same,
                                                     r + QStringLiteral("#1") + same,
                                                     old + same,
                                                     s + same,
                                                     l + same};
        QTest::newRow("postpone") << StoreOp([](CDataStore& st) {
            return int(st.PostponeTask(kDay, QStringLiteral("A")));
        })
                                  << QStringList{QStringLiteral("task 2026-12-06 A 已推迟=") + a,
                                                 b + same,
                                                 QStringLiteral("task 2026-12-07 A 未完成=new"),
                                                 c + same,
                                                 r + same,
                                                 r + QStringLiteral("#1") + same,
                                                 old + same,
                                                 s + same,
                                                 l + same};
        QTest::newRow("delete task") << StoreOp([](CDataStore& st) {
            return int(st.DeleteTask(kDay, QStringLiteral("A")) && st.AddTask(kDay, QStringLiteral("A"), {}));
        }) << QStringList{QStringLiteral("task 2026-12-06 A =new"), b + same,   c + same, r + same,
                          r + QStringLiteral("#1") + same,          old + same, s + same, l + same};
        QTest::newRow("delete the month's tasks")
            << StoreOp([](CDataStore& st) {
                   return int(st.DeleteTasksInPeriod(kDay, BatchScope::Month) ==
                                  CDataStore::DeleteOutcome::Deleted &&
                              st.AddTask(kDay, QStringLiteral("B"), TaskStates::Done()));
               })
            << QStringList{QStringLiteral("task 2026-12-06 B 已完成=new"),
                           c + same,
                           r + same,
                           r + QStringLiteral("#1") + same,
                           old + same,
                           s + same,
                           l + same};
        QTest::newRow("delete the first of identical reminders") << StoreOp([](CDataStore& st) {
            return int(
                st.DeleteReminder(kMorning, ReminderDaily, 1, QStringLiteral("R"), QStringLiteral("内容")));
        }) << QStringList{a + same,   b + same, c + same, r + QStringLiteral("=") + r + QStringLiteral("#1"),
                          old + same, s + same, l + same};
        QTest::newRow("purge, then the same reminder again") << StoreOp([](CDataStore& st) {
            return int(st.PurgeExpiredReminders() &&
                       st.AddReminder(kMorning.addDays(-1), ReminderOnce, 0, QStringLiteral("Old"), {}));
        }) << QStringList{a + same,
                          b + same,
                          c + same,
                          r + same,
                          r + QStringLiteral("#1") + same,
                          old + QStringLiteral("=new"),
                          s + same,
                          l + same};
        QTest::newRow("rename holiday") << StoreOp([](CDataStore& st) {
            return int(st.RenameHoliday(HolidayCalendar::Lunar, QStringLiteral("0815"), QStringLiteral("L"),
                                        QStringLiteral("中秋")));
        })
                                        << QStringList{a + same,
                                                       b + same,
                                                       c + same,
                                                       r + same,
                                                       r + QStringLiteral("#1") + same,
                                                       old + same,
                                                       s + same,
                                                       QStringLiteral("holiday L 0815 中秋=") + l};
        QTest::newRow("delete holiday, add it again") << StoreOp([](CDataStore& st) {
            return int(
                st.DeleteHoliday(HolidayCalendar::Solar, QStringLiteral("1206"), QStringLiteral("S")) &&
                st.AddHoliday(HolidayCalendar::Solar, QStringLiteral("1206"), QStringLiteral("S")));
        })
                                                      << QStringList{a + same,
                                                                     b + same,
                                                                     c + same,
                                                                     r + same,
                                                                     r + QStringLiteral("#1") + same,
                                                                     old + same,
                                                                     s + QStringLiteral("=new"),
                                                                     l + same};
    }
    void operationsKeepBindings()
    {
        QFETCH(StoreOp, op);
        QFETCH(QStringList, after);
        StoreFixture f;
        FakeClock clock(kMorning);
        QVERIFY(f.Open());
        QVERIFY(Seed(f.store));
        const Exported before = ExportAll(f.store);
        QVERIFY(op(f.store));
        const Exported now = ExportAll(f.store);
        QStringList seen;
        for (qsizetype i = 0; i < now.texts.size(); ++i) {
            const qsizetype was = before.uids.indexOf(now.uids[i]);
            seen << now.texts[i] + u'=' +
                        (was < 0                             ? QStringLiteral("new")
                         : before.texts[was] == now.texts[i] ? QStringLiteral("same")
                                                             : before.texts[was]);
        }
        QCOMPARE(seen, after);
        QVERIFY(f.errors.texts().isEmpty());
    }

    // A database of an earlier Kestrum has no binding table: opening it adds one. One that cannot
    // take it (here its name is taken) opens all the same, and only the exchange fails on it.
    void olderDatabase_data()
    {
        QTest::addColumn<QString>("obstacle");
        QTest::newRow("gets the table") << QString();
        QTest::newRow("cannot take it") << QStringLiteral("CREATE VIEW uid_binding AS SELECT 1 AS uid");
    }
    void olderDatabase()
    {
        QFETCH(QString, obstacle);
        StoreFixture f;
        FakeClock clock(kMorning);
        QVERIFY(f.Open());
        QVERIFY(Seed(f.store));
        TableTest::Exec(f.store, QStringLiteral("DROP TABLE uid_binding"));
        if (!obstacle.isEmpty())
            TableTest::Exec(f.store, obstacle);
        f.store.Close();
        QVERIFY(f.store.Connect(f.path));
        QVERIFY(f.store.PostponeTask(kDay, QStringLiteral("A")));
        QVERIFY(f.store.DeleteTask(kDay, QStringLiteral("B")));
        QCOMPARE(f.store.DeleteTasksInPeriod(kDay.addDays(40), BatchScope::Day),
                 CDataStore::DeleteOutcome::Deleted);
        QVERIFY(
            f.store.DeleteReminder(kMorning, ReminderDaily, 1, QStringLiteral("R"), QStringLiteral("内容")));
        QVERIFY(f.store.PurgeExpiredReminders());
        QVERIFY(f.store.RenameHoliday(HolidayCalendar::Lunar, QStringLiteral("0815"), QStringLiteral("L"),
                                      QStringLiteral("中秋")));
        QVERIFY(f.store.DeleteHoliday(HolidayCalendar::Solar, QStringLiteral("1206"), QStringLiteral("S")));
        QVERIFY(f.errors.texts().isEmpty());
        const Exported first = ExportAll(f.store);
        if (!obstacle.isEmpty()) {
            QCOMPARE(first.texts, QStringList{QStringLiteral("<export failed>")});
            QCOMPARE(f.errors.texts(), QStringList{QStringLiteral("打开事情信息表错误")});
            return;
        }
        QCOMPARE(first.texts, (QStringList{QStringLiteral("task 2026-12-06 A 已推迟"),
                                           QStringLiteral("task 2026-12-07 A 未完成"),
                                           QStringLiteral("reminder 2026-12-06 08:00:00 1 R 内容"),
                                           QStringLiteral("holiday L 0815 中秋")}));
        QCOMPARE(ExportAll(f.store).uids, first.uids);
        QVERIFY(f.errors.texts().isEmpty());
    }

    // What each file does to the seeded store, and that importing it again changes nothing.
    void importTwice_data()
    {
        QTest::addColumn<Items>("items");
        QTest::addColumn<QString>("counts");
        QTest::addColumn<QStringList>("tasks");
        QTest::addColumn<int>("reminders");
        const QString a = QStringLiteral("2026-12-06 未完成 A");
        const QString b = QStringLiteral("2026-12-06 已完成 B");
        const QString c = QStringLiteral("2027-01-15 未完成 C");
        // "exported:N" stands for the UID the seeded store's first export gave its N-th item.
        QTest::newRow("new items") << Items{Task(QStringLiteral("u1"), QStringLiteral("2026-12-24"),
                                                 QStringLiteral("D"), TaskStates::InProgress()),
                                            Reminder(QStringLiteral("u2"), QStringLiteral("R2")),
                                            Reminder(QStringLiteral("u3"), QStringLiteral("R2")),
                                            Holiday(QStringLiteral("u4"), HolidayCalendar::Lunar,
                                                    QStringLiteral("0101"), QStringLiteral("春节"))}
                                   << QStringLiteral("added 1 2 1, updated 0 0 0")
                                   << QStringList{a, b, c, QStringLiteral("2026-12-24 进行中 D")} << 5;
        QTest::newRow("same identity, no UID bound yet")
            << Items{Task(QStringLiteral("u1"), QStringLiteral("2026-12-06"), QStringLiteral("A"),
                          TaskStates::Done()),
                     Reminder(QStringLiteral("u2"), QStringLiteral("R")),
                     Reminder(QStringLiteral("u3"), QStringLiteral("R")),
                     Reminder(QStringLiteral("u4"), QStringLiteral("R")),
                     Holiday(QStringLiteral("u5"), HolidayCalendar::Solar, QStringLiteral("1206"),
                             QStringLiteral("S"))}
            << QStringLiteral("added 0 1 0, updated 1 0 0")
            << QStringList{QStringLiteral("2026-12-06 已完成 A"), b, c} << 4;
        QTest::newRow("bound UID, item changed")
            << Items{Task(QStringLiteral("exported:0"), QStringLiteral("2026-12-08"), QStringLiteral("A2"),
                          TaskStates::NotDone()),
                     Task(QStringLiteral("exported:1"), QStringLiteral("2026-12-06"), QStringLiteral("B"),
                          TaskStates::Postponed()),
                     Reminder(QStringLiteral("exported:4"), QStringLiteral("R"), ReminderWeekly)}
            << QStringLiteral("added 0 0 0, updated 2 1 0")
            << QStringList{QStringLiteral("2026-12-06 已推迟 B"), c, QStringLiteral("2026-12-08 未完成 A2")}
            << 3;
        QTest::newRow("bound UID moved onto another task")
            << Items{Task(QStringLiteral("exported:0"), QStringLiteral("2027-01-15"), QStringLiteral("C"),
                          TaskStates::Done())}
            << QStringLiteral("added 0 0 0, updated 1 0 0")
            << QStringList{b, QStringLiteral("2027-01-15 已完成 C")} << 3;
    }
    void importTwice()
    {
        QFETCH(Items, items);
        QFETCH(QString, counts);
        QFETCH(QStringList, tasks);
        QFETCH(int, reminders);
        StoreFixture f;
        QVERIFY(f.Open());
        QVERIFY(Seed(f.store));
        QStringList exported;
        for (ExchangeItem& item : items) {
            if (!item.strUid.startsWith(QStringLiteral("exported:")))
                continue;
            if (exported.isEmpty())
                exported = ExportAll(f.store).uids;
            item.strUid = exported[item.strUid.mid(9).toInt()];
        }
        CDataStore::ImportCounts made;
        QCOMPARE(Import(f.store, items, made), Outcome::Done);
        QCOMPARE(Counts(made), counts);
        QCOMPARE(TableTest::Tasks(f.store), tasks);
        QCOMPARE(f.store.CountReminders(), reminders);
        // Every reminder and holiday of the file is exported under its UID (a task merged into
        // another is exported under that one's).
        const Exported after = ExportAll(f.store);
        for (const ExchangeItem& item : items)
            QVERIFY2(after.uids.contains(item.strUid) || item.kind == ExchangeKind::Task,
                     qPrintable(item.strUid));
        const QStringList everything = Everything(f.store);

        QCOMPARE(Import(f.store, items, made), Outcome::Done);
        QCOMPARE(Counts(made), QStringLiteral("added 0 0 0, updated 0 0 0"));
        QCOMPARE(Everything(f.store), everything);
        QVERIFY(f.errors.texts().isEmpty());
    }

    // A source that fails, a database that fails half-way, an export stopped by its writer: the
    // tables and the bindings are as they were.
    void failureChangesNothing_data()
    {
        QTest::addColumn<QString>("failure");
        QTest::addColumn<int>("outcome");
        QTest::addColumn<QStringList>("errors");
        QTest::newRow("source stops") << QStringLiteral("stop") << int(Outcome::Stopped) << QStringList();
        QTest::newRow("database fails") << QStringLiteral("trigger") << int(Outcome::Failed)
                                        << QStringList{QStringLiteral("打开提醒表错误")};
        QTest::newRow("export stopped") << QStringLiteral("export") << int(Outcome::Stopped) << QStringList();
    }
    void failureChangesNothing()
    {
        QFETCH(QString, failure);
        QFETCH(int, outcome);
        QFETCH(QStringList, errors);
        StoreFixture f;
        QVERIFY(f.Open());
        QVERIFY(Seed(f.store));
        const QString uid = ExportAll(f.store).uids.first();
        QVERIFY(f.store.AddTask(kDay, QStringLiteral("unbound"), TaskStates::NotDone()));
        QVERIFY(TableTest::Exec(
                    f.store, QStringLiteral("CREATE TRIGGER boom BEFORE INSERT ON tx WHEN "
                                            "NEW.title = 'boom' BEGIN SELECT RAISE(ABORT, 'planted'); END"))
                    .isActive());
        const QStringList before = Everything(f.store);
        const Items items{
            Task(uid, QStringLiteral("2026-12-09"), QStringLiteral("A moved"), TaskStates::Done()),
            Task(QStringLiteral("u1"), QStringLiteral("2026-12-10"), QStringLiteral("new"), {}),
            Holiday(QStringLiteral("u2"), HolidayCalendar::Lunar, QStringLiteral("0101"),
                    QStringLiteral("春节")),
            Reminder(QStringLiteral("u3"), QStringLiteral("boom"))};
        CDataStore::ImportCounts made;
        made.added[0] = 7;
        if (failure == QStringLiteral("export")) {
            int handed = 0;
            QCOMPARE(int(f.store.ExportItems({}, {}, [&](const ExchangeItem&) { return ++handed < 5; })),
                     outcome);
            QCOMPARE(handed, 5);
        } else {
            QCOMPARE(int(Import(f.store, items, made, failure == QStringLiteral("stop") ? 3 : -1)), outcome);
            QCOMPARE(made.added[0], 7); // left as it was
        }
        QCOMPARE(f.errors.texts(), errors);
        QCOMPARE(Everything(f.store), before);
        // The store works on afterwards.
        QVERIFY(f.store.AddTask(kDay, QStringLiteral("next"), TaskStates::NotDone()));
    }

    // Identical tasks another program wrote, and a file with an item twice under two UIDs, never
    // end as more rows than there were items.
    void clashesMakeNoDuplicates()
    {
        StoreFixture f;
        QVERIFY(f.Open());
        CDataStore::ImportCounts made;
        const Items twice{Task(QStringLiteral("u1"), QStringLiteral("2026-12-06"), QStringLiteral("A"), {}),
                          Task(QStringLiteral("u2"), QStringLiteral("2026-12-06"), QStringLiteral("A"), {}),
                          Holiday(QStringLiteral("u3"), HolidayCalendar::Solar, QStringLiteral("0101"),
                                  QStringLiteral("元旦")),
                          Holiday(QStringLiteral("u4"), HolidayCalendar::Solar, QStringLiteral("0101"),
                                  QStringLiteral("元旦"))};
        QCOMPARE(Import(f.store, twice, made), Outcome::Done);
        QCOMPARE(Counts(made), QStringLiteral("added 1 0 1, updated 0 0 0"));
        QCOMPARE(TableTest::Tasks(f.store), QStringList{QStringLiteral("2026-12-06 未完成 A")});
        // Both UIDs name the one task; the first is the one exported.
        QCOMPARE(ExportAll(f.store).uids, (QStringList{QStringLiteral("u1"), QStringLiteral("u3")}));
        QCOMPARE(Import(f.store, twice, made), Outcome::Done);
        QCOMPARE(Counts(made), QStringLiteral("added 0 0 0, updated 0 0 0"));
        QCOMPARE(f.store.CountHolidays(HolidayCalendar::Solar, QStringLiteral("0101")), 1);
    }

    void summaryText()
    {
        CalendarExchange::ImportResult result;
        result.bOk = true;
        result.added = {3, 1, 0};
        result.updated = {2, 0, 1};
        result.leftOut << ExchangeLeftOut{QStringLiteral("隔周例会"), QStringLiteral("x"),
                                          QStringLiteral("重复规则不能保存"), 12};
        QCOMPARE(
            result.SummaryText(),
            QStringLiteral(
                "导入完成。\r\n事情：新增 3 项，更新 2 项\r\n提醒：新增 1 项，更新 0 项\r\n"
                "节日：新增 0 项，更新 1 项\r\n未导入 1 项：\r\n隔周例会（第 12 行）：重复规则不能保存"));
        StoreFixture f;
        QVERIFY(f.Open());
        const QString missing = f.dir.filePath(QStringLiteral("none.ics"));
        const CalendarExchange::ImportResult refused = CalendarExchange::ImportFile(f.store, missing);
        QVERIFY(!refused.bOk);
        QVERIFY2(refused.SummaryText().startsWith(QStringLiteral("不能打开文件 ") + missing +
                                                  QStringLiteral("：")),
                 qPrintable(refused.strError));
        const CalendarExchange::ExportResult notWritten =
            CalendarExchange::ExportFile(f.store, f.dir.filePath(QStringLiteral("no/such/folder.ics")));
        QVERIFY(!notWritten.bOk);
        QVERIFY(notWritten.strError.startsWith(QStringLiteral("不能导出到文件 ")));
        QVERIFY(f.errors.texts().isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestExchangeStore)
#include "tst_exchangestore.moc"
