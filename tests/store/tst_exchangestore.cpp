// The UIDs of calendar files as the store keeps them: the same from export to export, following
// every change of an item's identity, and imports applied whole or not at all.
#include "ExchangeItems.h"
#include "FakeClock.h"
#include "StoreFixture.h"
#include "TableRows.h"
#include "TestFiles.h"
#include "exchange/CalendarExchange.h"

using Outcome = CDataStore::ExchangeOutcome;
using namespace Qt::StringLiterals;

namespace {

const QDate kDay(2026, 12, 6);
const QDateTime kMorning(kDay, QTime(8, 0));

struct Exported
{
    QStringList texts; ///< each item's text, "#n" added for its n-th identical copy
    QStringList uids;
};

Exported ExportAll(CDataStore& store, const QDate& from = {}, const QDate& to = {})
{
    Exported out;
    QHash<QString, int> seen;
    const Outcome outcome = store.ExportItems(from, to, [&](const ExchangeItem& item) {
        const QString text = ItemText(item);
        const int n = seen[text]++;
        out.texts << (n ? text + u"#%1"_s.arg(n) : text);
        out.uids << item.strUid;
        return true;
    });
    if (outcome != Outcome::Done)
        out.texts << u"<export failed>"_s;
    return out;
}

/// The tables and the bindings, as the user and the next export would find them.
QStringList Everything(CDataStore& store)
{
    return AllRows(store, Schema::StoredTableNames());
}

ExchangeItem Reminder(const QString& uid, const QString& title, int mode = ReminderDaily)
{
    return ReminderItem(uid, kMorning, mode, 1, title, u"内容"_s);
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
    return store.AddTask(kDay, u"A"_s, TaskStates::NotDone()) &&
           store.AddTask(kDay, u"B"_s, TaskStates::Done()) &&
           store.AddTask(kDay.addDays(40), u"C"_s, TaskStates::NotDone()) &&
           store.AddReminder(kMorning, ReminderDaily, 1, u"R"_s, u"内容"_s) &&
           store.AddReminder(kMorning, ReminderDaily, 1, u"R"_s, u"内容"_s) &&
           store.AddReminder(kMorning.addDays(-1), ReminderOnce, 0, u"Old"_s, QString()) &&
           store.AddHoliday(HolidayCalendar::Solar, u"1206"_s, u"S"_s) &&
           store.AddHoliday(HolidayCalendar::Lunar, u"0815"_s, u"L"_s);
}

// What the first export of the seeded store gives, in its order ("#1": the second identical one).
const QStringList kSeeded = u"T 2026-12-06 未完成 A,T 2026-12-06 已完成 B,T 2027-01-15 未完成 C,"
                            u"R 2026-12-06 08:00:00 w1 m1 r1 R|内容,R 2026-12-06 08:00:00 w1 m1 r1 R|内容#1,"
                            u"R 2026-12-05 08:00:00 w7 m0 r0 Old|,H S 1206 S,H L 0815 L"_s.split(u',');

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
        QVERIFY(f.Open() && Seed(f.store));
        QVERIFY(
            TableTest::Exec(f.store, QStringLiteral("WITH RECURSIVE n(i) AS (SELECT 0 UNION ALL SELECT i + 1 "
                                                    "FROM n WHERE i < 4999) INSERT INTO shiqing SELECT "
                                                    "'2027-02-01', 'T' || (i / 2), '未完成' FROM n"))
                .isActive());
        const Exported first = ExportAll(f.store);
        QCOMPARE(first.texts.size(), 3 + 5000 + 3 + 2);
        QCOMPARE(QSet<QString>(first.uids.begin(), first.uids.end()).size(), first.uids.size());
        QVERIFY(!first.uids.contains(QString()));
        QCOMPARE(first.texts.mid(0, 5),
                 QStringLiteral("T 2026-12-06 未完成 A,T 2026-12-06 已完成 B,T 2027-01-15 "
                                "未完成 C,T 2027-02-01 未完成 T0,T 2027-02-01 未完成 T0#1")
                     .split(u','));
        QStringList sorted = first.texts.mid(3, 5000);
        std::sort(sorted.begin(), sorted.end());
        QCOMPARE(sorted, first.texts.mid(3, 5000)); // in order, none twice, across the pages
        QCOMPARE(first.texts.mid(5003), kSeeded.mid(3));
        const Exported second = ExportAll(f.store);
        QCOMPARE(second.texts, first.texts);
        QCOMPARE(second.uids, first.uids);
        // A range of days gives its tasks with the same UIDs, and reminders and holidays whole.
        const Exported range = ExportAll(f.store, kDay.addDays(1), kDay.addDays(40));
        QCOMPARE(range.texts.size(), 1 + 5);
        QCOMPARE(range.uids.first(), first.uids[2]);
        QCOMPARE(range.uids.mid(1), first.uids.mid(5003));
    }

    // Which UID each item has after an operation: "text=same" when it had it before the operation,
    // else "text=" the earlier item's text whose UID it took over, or "text=new". Only the items not
    // "=same" are listed, and the seeded ones that are no longer there as they were.
    void operationsKeepBindings_data()
    {
        QTest::addColumn<StoreOp>("op");
        QTest::addColumn<QStringList>("changed");
        QTest::addColumn<QStringList>("gone");
        const QString a = kSeeded[0], b = kSeeded[1], r = kSeeded[3], r1 = kSeeded[4], old = kSeeded[5],
                      s = kSeeded[6], l = kSeeded[7];
        QTest::newRow("state change")
            << StoreOp([](CDataStore& st) { return int(st.SetTaskState(kDay, u"A"_s, TaskStates::Done())); })
            << QStringList{u"T 2026-12-06 已完成 A="_s + a} << QStringList{a};
        QTest::newRow("postpone") << StoreOp([](CDataStore& st) {
            return int(st.PostponeTask(kDay, u"A"_s));
        }) << QStringList{u"T 2026-12-06 已推迟 A="_s + a, u"T 2026-12-07 未完成 A=new"_s}
                                  << QStringList{a};
        QTest::newRow("delete task") << StoreOp([](CDataStore& st) {
            return int(st.DeleteTask(kDay, u"A"_s) && st.AddTask(kDay, u"A"_s, {}));
        }) << QStringList{u"T 2026-12-06  A=new"_s}
                                     << QStringList{a};
        QTest::newRow("delete the month's tasks") << StoreOp([](CDataStore& st) {
            return int(st.DeleteTasksInPeriod(kDay, BatchScope::Month) ==
                           CDataStore::DeleteOutcome::Deleted &&
                       st.AddTask(kDay, u"B"_s, TaskStates::Done()));
        }) << QStringList{b + u"=new"_s} << QStringList{a, b};
        QTest::newRow("delete the first of identical reminders") << StoreOp([](CDataStore& st) {
            return int(st.DeleteReminder(kMorning, ReminderDaily, 1, u"R"_s, u"内容"_s));
        }) << QStringList{r + u'=' + r1} << QStringList{r, r1};
        QTest::newRow("purge, then the same reminder again") << StoreOp([](CDataStore& st) {
            return int(st.PurgeExpiredReminders() &&
                       st.AddReminder(kMorning.addDays(-1), ReminderOnce, 0, u"Old"_s, {}));
        }) << QStringList{old + u"=new"_s} << QStringList{old};
        QTest::newRow("rename holiday") << StoreOp([](CDataStore& st) {
            return int(st.RenameHoliday(HolidayCalendar::Lunar, u"0815"_s, u"L"_s, u"中秋"_s));
        }) << QStringList{u"H L 0815 中秋="_s + l}
                                        << QStringList{l};
        QTest::newRow("delete holiday, add it again") << StoreOp([](CDataStore& st) {
            return int(st.DeleteHoliday(HolidayCalendar::Solar, u"1206"_s, u"S"_s) &&
                       st.AddHoliday(HolidayCalendar::Solar, u"1206"_s, u"S"_s));
        }) << QStringList{s + u"=new"_s} << QStringList{s};
    }
    void operationsKeepBindings()
    {
        QFETCH(StoreOp, op);
        QFETCH(QStringList, changed);
        QFETCH(QStringList, gone);
        StoreFixture f;
        FakeClock clock(kMorning);
        QVERIFY(f.Open() && Seed(f.store));
        const Exported before = ExportAll(f.store);
        QCOMPARE(before.texts, kSeeded);
        QVERIFY(op(f.store));
        const Exported now = ExportAll(f.store);
        QStringList seen, expected = changed;
        for (qsizetype i = 0; i < now.texts.size(); ++i) {
            const qsizetype was = before.uids.indexOf(now.uids[i]);
            seen << now.texts[i] + u'=' +
                        (was < 0                             ? u"new"_s
                         : before.texts[was] == now.texts[i] ? u"same"_s
                                                             : before.texts[was]);
        }
        for (const QString& text : kSeeded) {
            if (!gone.contains(text))
                expected << text + u"=same"_s;
        }
        seen.sort();
        expected.sort();
        QCOMPARE(seen, expected);
        QVERIFY(f.errors.texts().isEmpty());
    }

    // A database of an earlier Kestrum has no binding table: opening it adds one. One that cannot
    // take it (here its name is taken) opens all the same, and only the exchange fails on it.
    void olderDatabase_data()
    {
        QTest::addColumn<QString>("obstacle");
        QTest::newRow("gets the table") << QString();
        QTest::newRow("cannot take it") << u"CREATE VIEW uid_binding AS SELECT 1 AS uid"_s;
    }
    void olderDatabase()
    {
        QFETCH(QString, obstacle);
        StoreFixture f;
        FakeClock clock(kMorning);
        QVERIFY(f.Open() && Seed(f.store));
        TableTest::Exec(f.store, u"DROP TABLE uid_binding"_s);
        if (!obstacle.isEmpty())
            TableTest::Exec(f.store, obstacle);
        f.store.Close();
        QVERIFY(f.store.Connect(f.path));
        QVERIFY(f.store.PostponeTask(kDay, u"A"_s));
        QVERIFY(f.store.DeleteTask(kDay, u"B"_s));
        QCOMPARE(f.store.DeleteTasksInPeriod(kDay.addDays(40), BatchScope::Day),
                 CDataStore::DeleteOutcome::Deleted);
        QVERIFY(f.store.DeleteReminder(kMorning, ReminderDaily, 1, u"R"_s, u"内容"_s));
        QVERIFY(f.store.PurgeExpiredReminders());
        QVERIFY(f.store.RenameHoliday(HolidayCalendar::Lunar, u"0815"_s, u"L"_s, u"中秋"_s));
        QVERIFY(f.store.DeleteHoliday(HolidayCalendar::Solar, u"1206"_s, u"S"_s));
        QVERIFY(f.errors.texts().isEmpty());
        const Exported first = ExportAll(f.store);
        if (!obstacle.isEmpty()) {
            QCOMPARE(first.texts, QStringList{u"<export failed>"_s});
            QCOMPARE(f.errors.texts(), QStringList{u"打开事情信息表错误"_s});
            return;
        }
        QCOMPARE(first.texts, (QStringList{u"T 2026-12-06 已推迟 A"_s, u"T 2026-12-07 未完成 A"_s, kSeeded[3],
                                           u"H L 0815 中秋"_s}));
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
        const QString a = u"2026-12-06 未完成 A"_s;
        const QString b = u"2026-12-06 已完成 B"_s;
        const QString c = u"2027-01-15 未完成 C"_s;
        // "exported:N" stands for the UID the seeded store's first export gave its N-th item.
        QTest::newRow("new items")
            << Items{TaskItem(u"u1"_s, u"2026-12-24"_s, u"D"_s, TaskStates::InProgress()),
                     Reminder(u"u2"_s, u"R2"_s), Reminder(u"u3"_s, u"R2"_s),
                     HolidayItem(u"u4"_s, HolidayCalendar::Lunar, u"0101"_s, u"春节"_s)}
            << u"added 1 2 1, updated 0 0 0"_s << QStringList{a, b, c, u"2026-12-24 进行中 D"_s} << 5;
        QTest::newRow("same identity, no UID bound yet")
            << Items{TaskItem(u"u1"_s, u"2026-12-06"_s, u"A"_s, TaskStates::Done()),
                     Reminder(u"u2"_s, u"R"_s), Reminder(u"u3"_s, u"R"_s), Reminder(u"u4"_s, u"R"_s),
                     HolidayItem(u"u5"_s, HolidayCalendar::Solar, u"1206"_s, u"S"_s)}
            << u"added 0 1 0, updated 1 0 0"_s << QStringList{u"2026-12-06 已完成 A"_s, b, c} << 4;
        QTest::newRow("bound UID, item changed")
            << Items{TaskItem(u"exported:0"_s, u"2026-12-08"_s, u"A2"_s, TaskStates::NotDone()),
                     TaskItem(u"exported:1"_s, u"2026-12-06"_s, u"B"_s, TaskStates::Postponed()),
                     Reminder(u"exported:4"_s, u"R"_s, ReminderWeekly)}
            << u"added 0 0 0, updated 2 1 0"_s
            << QStringList{u"2026-12-06 已推迟 B"_s, c, u"2026-12-08 未完成 A2"_s} << 3;
        QTest::newRow("bound UID moved onto another task")
            << Items{TaskItem(u"exported:0"_s, u"2027-01-15"_s, u"C"_s, TaskStates::Done())}
            << u"added 0 0 0, updated 1 0 0"_s << QStringList{b, u"2027-01-15 已完成 C"_s} << 3;
    }
    void importTwice()
    {
        QFETCH(Items, items);
        QFETCH(QString, counts);
        QFETCH(QStringList, tasks);
        QFETCH(int, reminders);
        StoreFixture f;
        QVERIFY(f.Open() && Seed(f.store));
        QStringList exported;
        for (ExchangeItem& item : items) {
            if (!item.strUid.startsWith(u"exported:"_s))
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
        QCOMPARE(Counts(made), u"added 0 0 0, updated 0 0 0"_s);
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
        QTest::newRow("source stops") << u"stop"_s << int(Outcome::Stopped) << QStringList();
        QTest::newRow("database fails")
            << u"trigger"_s << int(Outcome::Failed) << QStringList{u"打开提醒表错误"_s};
        QTest::newRow("export stopped") << u"export"_s << int(Outcome::Stopped) << QStringList();
    }
    void failureChangesNothing()
    {
        QFETCH(QString, failure);
        QFETCH(int, outcome);
        QFETCH(QStringList, errors);
        StoreFixture f;
        QVERIFY(f.Open() && Seed(f.store));
        const QString uid = ExportAll(f.store).uids.first();
        QVERIFY(f.store.AddTask(kDay, u"unbound"_s, TaskStates::NotDone()));
        QVERIFY(TableTest::Exec(
                    f.store, QStringLiteral("CREATE TRIGGER boom BEFORE INSERT ON tx WHEN "
                                            "NEW.title = 'boom' BEGIN SELECT RAISE(ABORT, 'planted'); END"))
                    .isActive());
        const QStringList before = Everything(f.store);
        const Items items{TaskItem(uid, u"2026-12-09"_s, u"A moved"_s, TaskStates::Done()),
                          TaskItem(u"u1"_s, u"2026-12-10"_s, u"new"_s, {}),
                          HolidayItem(u"u2"_s, HolidayCalendar::Lunar, u"0101"_s, u"春节"_s),
                          Reminder(u"u3"_s, u"boom"_s)};
        CDataStore::ImportCounts made;
        made.added[0] = 7;
        if (failure == u"export"_s) {
            int handed = 0;
            QCOMPARE(int(f.store.ExportItems({}, {}, [&](const ExchangeItem&) { return ++handed < 5; })),
                     outcome);
            QCOMPARE(handed, 5);
        } else {
            QCOMPARE(int(Import(f.store, items, made, failure == u"stop"_s ? 3 : -1)), outcome);
            QCOMPARE(made.added[0], 7); // left as it was
        }
        QCOMPARE(f.errors.texts(), errors);
        QCOMPARE(Everything(f.store), before);
        // The store works on afterwards.
        QVERIFY(f.store.AddTask(kDay, u"next"_s, TaskStates::NotDone()));
    }

    // Identical tasks another program wrote, and a file with an item twice under two UIDs, never
    // end as more rows than there were items.
    void clashesMakeNoDuplicates()
    {
        StoreFixture f;
        QVERIFY(f.Open());
        CDataStore::ImportCounts made;
        const Items twice{TaskItem(u"u1"_s, u"2026-12-06"_s, u"A"_s, {}),
                          TaskItem(u"u2"_s, u"2026-12-06"_s, u"A"_s, {}),
                          HolidayItem(u"u3"_s, HolidayCalendar::Solar, u"0101"_s, u"元旦"_s),
                          HolidayItem(u"u4"_s, HolidayCalendar::Solar, u"0101"_s, u"元旦"_s)};
        QCOMPARE(Import(f.store, twice, made), Outcome::Done);
        QCOMPARE(Counts(made), u"added 1 0 1, updated 0 0 0"_s);
        QCOMPARE(TableTest::Tasks(f.store), QStringList{u"2026-12-06 未完成 A"_s});
        // Both UIDs name the one task; the first is the one exported.
        QCOMPARE(ExportAll(f.store).uids, (QStringList{u"u1"_s, u"u3"_s}));
        QCOMPARE(Import(f.store, twice, made), Outcome::Done);
        QCOMPARE(Counts(made), u"added 0 0 0, updated 0 0 0"_s);
        QCOMPARE(f.store.CountHolidays(HolidayCalendar::Solar, u"0101"_s), 1);
    }

    void summaryText()
    {
        CalendarExchange::ImportResult result;
        result.bOk = true;
        result.added = {3, 1, 0};
        result.updated = {2, 0, 1};
        result.leftOut << ExchangeLeftOut{u"隔周例会"_s, u"x"_s, u"重复规则不能保存"_s, 12};
        QCOMPARE(
            result.SummaryText(),
            QStringLiteral(
                "导入完成。\r\n事情：新增 3 项，更新 2 项\r\n提醒：新增 1 项，更新 0 项\r\n"
                "节日：新增 0 项，更新 1 项\r\n未导入 1 项：\r\n隔周例会（第 12 行）：重复规则不能保存"));
        StoreFixture f;
        QVERIFY(f.Open());
        const QString missing = f.dir.filePath(u"none.ics"_s);
        const CalendarExchange::ImportResult refused = CalendarExchange::ImportFile(f.store, missing);
        QVERIFY(!refused.bOk);
        QVERIFY2(refused.SummaryText().startsWith(u"不能打开文件 "_s + missing + u"："_s),
                 qPrintable(refused.strError));
        const CalendarExchange::ExportResult notWritten =
            CalendarExchange::ExportFile(f.store, f.dir.filePath(u"no/such/folder.ics"_s));
        QVERIFY(!notWritten.bOk);
        QVERIFY(notWritten.strError.startsWith(u"不能导出到文件 "_s));
        QVERIFY(f.errors.texts().isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestExchangeStore)
#include "tst_exchangestore.moc"
