#include "FakeClock.h"
#include "StoreFixture.h"

using TableTest::Exec;
using TableTest::Tasks;

namespace {
const QString kOnNextDay = QStringLiteral("事情已经存在于第二天了\r\n不能推迟请删除");
const QDate kDay(2026, 12, 6);

// A statistics operation, filling total, not done, done and postponed.
using StatsOp = std::function<bool(CDataStore&, QList<int>&)>;
} // namespace

Q_DECLARE_METATYPE(StatsOp)

class TestTaskTable : public QObject
{
    Q_OBJECT

private slots:
    // A postponed task is on the next day as not done, whatever its state was; its day keeps a
    // postponed copy.
    void postponeMovesToNextDay_data()
    {
        QTest::addColumn<QDate>("day");
        QTest::addColumn<QString>("state");
        QTest::addColumn<QString>("nextDay");
        QTest::newRow("year end") << QDate(2009, 12, 31) << TaskStates::InProgress() << QStringLiteral("2010-01-01");
        QTest::newRow("28 Feb, leap year") << QDate(2008, 2, 28) << TaskStates::Done() << QStringLiteral("2008-02-29");
        QTest::newRow("28 Feb, common year") << QDate(2009, 2, 28) << TaskStates::NotDone()
                                             << QStringLiteral("2009-03-01");
    }
    void postponeMovesToNextDay()
    {
        QFETCH(QDate, day);
        QFETCH(QString, state);
        QFETCH(QString, nextDay);
        StoreFixture f;
        QVERIFY(f.Open());
        QVERIFY(f.store.AddTask(day, QStringLiteral("A"), state));
        QVERIFY(f.store.PostponeTask(day, QStringLiteral("A")));
        QCOMPARE(Tasks(f.store), (QStringList{nextDay + QStringLiteral(" 未完成 A"),
                                              day.toString(Qt::ISODate) + QStringLiteral(" 已推迟 A")}));
        QVERIFY(f.errors.texts().isEmpty());
    }

    void postponeBlockedWhileMovedTaskIsOnNextDay()
    {
        StoreFixture f;
        QVERIFY(f.Open());
        const QDate day(2009, 3, 1);
        const QString a = QStringLiteral("A");
        QVERIFY(f.store.AddTask(day, a, TaskStates::Done()));
        QVERIFY(f.store.PostponeTask(day, a));
        const QStringList moved = Tasks(f.store);
        QVERIFY(!f.store.PostponeTask(day, a));
        QCOMPARE(f.errors.texts(), QStringList{kOnNextDay});
        QCOMPARE(f.errors.captions(), QStringList{QStringLiteral("提示")});
        QCOMPARE(f.errors.kinds(), QList<IErrorReporter::Kind>{IErrorReporter::Kind::Information});
        QCOMPARE(Tasks(f.store), moved);
        QVERIFY(f.store.DeleteTask(day.addDays(1), a));
        QVERIFY(f.store.PostponeTask(day, a));
        QCOMPARE(Tasks(f.store), (QStringList{QStringLiteral("2009-03-02 未完成 A"), QStringLiteral("2009-03-01 已推迟 A")}));
        // A task that is not there is refused without a message.
        QVERIFY(!f.store.PostponeTask(day, QStringLiteral("B")));
        QVERIFY(!f.store.DeleteTask(day, QStringLiteral("B")));
        QVERIFY(!f.store.SetTaskState(day, QStringLiteral("B"), TaskStates::Done()));
        QCOMPARE(f.errors.texts(), QStringList{kOnNextDay});
    }

    void duplicatesAreRefusedPerDay()
    {
        StoreFixture f;
        QVERIFY(f.Open());
        QVERIFY(f.store.AddTask(kDay, QStringLiteral("开会"), TaskStates::NotDone()));
        QVERIFY(f.store.AddTask(kDay.addDays(1), QStringLiteral("开会"), TaskStates::NotDone()));
        QVERIFY(f.errors.texts().isEmpty());
        QVERIFY(!f.store.AddTask(kDay, QStringLiteral("开会"), TaskStates::Done()));
        QCOMPARE(f.errors.texts(), QStringList{QStringLiteral("该事情已经存在，不能添加")});
        QCOMPARE(f.errors.captions(), QStringList{QStringLiteral("警告")});
        QCOMPARE(f.errors.kinds(), QList<IErrorReporter::Kind>{IErrorReporter::Kind::Error});
        QCOMPARE(Tasks(f.store), (QStringList{QStringLiteral("2026-12-06 未完成 开会"),
                                              QStringLiteral("2026-12-07 未完成 开会")}));
    }

    // Contents that would break a pasted statement are stored, found, changed and removed
    // exactly, and never match a neighbour; a day lists its tasks in the order they were added.
    void awkwardContents_data()
    {
        QTest::addColumn<QString>("content");
        QTest::newRow("quotes, backslash") << QStringLiteral("Tom's 'party' \"hi\" C:\\temp\\");
        QTest::newRow("wildcards, format holes") << QStringLiteral("100% _done_ %s %1");
        QTest::newRow("statement text") << QStringLiteral("x' or '1'='1");
        QTest::newRow("non-BMP, line break") << QStringLiteral("𠀀 生僻字 😀\r\n第二行");
    }
    void awkwardContents()
    {
        QFETCH(QString, content);
        StoreFixture f;
        QVERIFY(f.Open());
        QVERIFY(f.store.AddTask(kDay, QStringLiteral("x"), TaskStates::NotDone()));
        QVERIFY(f.store.AddTask(kDay, content, TaskStates::NotDone()));
        QVERIFY(f.store.AddTask(kDay, QStringLiteral("a"), TaskStates::Done()));
        QVERIFY(f.store.IsTaskPresent(kDay, content));
        QVERIFY(!f.store.IsTaskPresent(kDay, content + u'!'));
        QVERIFY(f.store.SetTaskState(kDay, content, TaskStates::InProgress()));
        QCOMPARE(f.store.CountInProgressOnDay(kDay), 1);
        QCOMPARE(f.store.CountTasksOnDay(kDay), 3);
        QStringList contents, states;
        QVERIFY(f.store.ListTasksOfDay(kDay, contents, states));
        QCOMPARE(contents, (QStringList{QStringLiteral("x"), content, QStringLiteral("a")}));
        QCOMPARE(states, (QStringList{TaskStates::NotDone(), TaskStates::InProgress(), TaskStates::Done()}));
        QVERIFY(!f.store.ListTasksOfDay(kDay.addDays(-1), contents, states)); // leaves the lists alone
        QCOMPARE(contents.size(), 3);
        QVERIFY(f.store.PostponeTask(kDay, content));
        QVERIFY(f.store.DeleteTask(kDay.addDays(1), content));
        QVERIFY(f.store.DeleteTask(kDay, content));
        QCOMPARE(Tasks(f.store), (QStringList{QStringLiteral("2026-12-06 未完成 x"), QStringLiteral("2026-12-06 已完成 a")}));
        QVERIFY(f.errors.texts().isEmpty());
    }

    // Today is 6 December 2026; "进行中" counts only in totals.
    void statistics_data()
    {
        QTest::addColumn<StatsOp>("operation");
        QTest::addColumn<bool>("empty");
        QTest::addColumn<QList<int>>("expected"); // total, not done, done, postponed
#define STATS(fn) StatsOp([](CDataStore& s, QList<int>& n) { return s.fn(n[0], n[1], n[2], n[3]); })
        QTest::newRow("before") << STATS(CountTasksBefore) << false << QList<int>{4, 1, 1, 1};
        QTest::newRow("after") << STATS(CountTasksAfter) << false << QList<int>{3, 2, 0, 0};
        QTest::newRow("today") << STATS(CountTasksToday) << false << QList<int>{2, 0, 1, 0};
        QTest::newRow("all") << STATS(CountAllTasks) << false << QList<int>{9, 3, 2, 1};
        QTest::newRow("before, empty") << STATS(CountTasksBefore) << true << QList<int>{0, 0, 0, 0};
        QTest::newRow("all, empty") << STATS(CountAllTasks) << true << QList<int>{0, 0, 0, 0};
#undef STATS
    }
    void statistics()
    {
        QFETCH(StatsOp, operation);
        QFETCH(bool, empty);
        QFETCH(QList<int>, expected);
        FakeClock clock(QDateTime(kDay, QTime(23, 59, 59)));
        StoreFixture f;
        QVERIFY(f.Open());
        const std::pair<QDate, QString> tasks[] = {
            {QDate(2025, 1, 1), TaskStates::Postponed()},  {QDate(2026, 12, 5), TaskStates::NotDone()},
            {QDate(2026, 12, 5), TaskStates::Done()},      {QDate(2026, 12, 5), TaskStates::InProgress()},
            {kDay, TaskStates::InProgress()},              {kDay, TaskStates::Done()},
            {QDate(2026, 12, 7), TaskStates::NotDone()},   {QDate(2026, 12, 7), TaskStates::NotDone()},
            {QDate(2027, 1, 1), TaskStates::InProgress()},
        };
        for (int i = 0; !empty && i < 9; ++i)
            QVERIFY(f.store.AddTask(tasks[i].first, QString::number(i), tasks[i].second));
        QList<int> counts(4, -1);
        QVERIFY(operation(f.store, counts));
        QCOMPARE(counts, expected);
    }

    // The batch delete's statements: a December whose upper bound is month "13", and nothing.
    void deleteBySql_data()
    {
        QTest::addColumn<QString>("where");
        QTest::addColumn<bool>("result");
        QTest::addColumn<QStringList>("remaining");
        const QStringList all = {QStringLiteral("2008-12-31"), QStringLiteral("2009-01-01"),
                                 QStringLiteral("2009-12-31"), QStringLiteral("2010-01-01")};
        QTest::newRow("December") << QStringLiteral("date<'2009-13-01' and date>='2009-12-01'") << true
                                  << QStringList{all[0], all[1], all[3]};
        QTest::newRow("nothing") << QStringLiteral("date='1999-01-01'") << false << all;
    }
    void deleteBySql()
    {
        QFETCH(QString, where);
        QFETCH(bool, result);
        QFETCH(QStringList, remaining);
        StoreFixture f;
        QVERIFY(f.Open());
        for (const char* d : {"2008-12-31", "2009-01-01", "2009-12-31", "2010-01-01"})
            for (const char* c : {"x", "y"}) // two a day: the walk goes on past a deleted row
                QVERIFY(f.store.AddTask(QDate::fromString(QString::fromLatin1(d), Qt::ISODate),
                                        QString::fromLatin1(c), TaskStates::NotDone()));
        QCOMPARE(f.store.DeleteTasksBySql(QStringLiteral("select * from shiqing where ") + where), result);
        QCOMPARE(TableTest::Column(f.store, QStringLiteral("SELECT DISTINCT date FROM shiqing ORDER BY date")),
                 remaining);
        QCOMPARE(f.store.CountTasksBySql(QStringLiteral("select * from shiqing")), 2 * remaining.size());
        QVERIFY(f.errors.texts().isEmpty());
    }

    // Statements handed in whole run as given, whatever their texts and names hold; a change
    // goes through wherever the rows belong to one table.
    void handedInStatements_data()
    {
        QTest::addColumn<QString>("statement");
        QTest::addColumn<QStringList>("found");
        QTest::addColumn<bool>("deletable");
        QTest::addColumn<QStringList>("afterDelete");
        const QString join = QStringLiteral("x join y"), compound = QStringLiteral("union all"),
                      plain = QStringLiteral("plain");
        QTest::newRow("clause words in texts")
            << QStringLiteral("select * from shiqing where content like '%join%' or content like '%union%'")
            << QStringList{join, compound} << true << QStringList{plain};
        QTest::newRow("bracketed table") << QStringLiteral("select * from [shiqing] where date='2026-12-07'")
                                         << QStringList{plain} << true << QStringList{join, compound};
        QTest::newRow("order by two columns") << QStringLiteral("select * from shiqing order by date desc, content")
                                              << QStringList{plain, compound, join} << true << QStringList{};
        QTest::newRow("second table")
            << QStringLiteral("select s.date, s.content, s.state from shiqing s, yljrb y where y.date='1206' and "
                              "s.content<>'plain'")
            << QStringList{join, compound} << false << QStringList{};
    }
    void handedInStatements()
    {
        QFETCH(QString, statement);
        QFETCH(QStringList, found);
        QFETCH(bool, deletable);
        QFETCH(QStringList, afterDelete);
        StoreFixture f;
        QVERIFY(f.Open());
        QVERIFY(f.store.AddTask(kDay, QStringLiteral("x join y"), TaskStates::NotDone()));
        QVERIFY(f.store.AddTask(kDay, QStringLiteral("union all"), TaskStates::NotDone()));
        QVERIFY(f.store.AddTask(kDay.addDays(1), QStringLiteral("plain"), TaskStates::NotDone()));
        QVERIFY(f.store.AddSolarHoliday(QStringLiteral("1206"), QStringLiteral("n")));
        QStringList dates, contents, states;
        QCOMPARE(f.store.CountTasksBySql(statement), found.size());
        QVERIFY(f.store.ListTasksBySql(statement, dates, contents, states));
        QCOMPARE(contents, found);
        QVERIFY(f.errors.texts().isEmpty());
        if (!deletable)
            return;
        QVERIFY(f.store.DeleteTasksBySql(statement));
        QCOMPARE(TableTest::Column(f.store, QStringLiteral("SELECT content FROM shiqing ORDER BY rowid")),
                 afterDelete);
        QVERIFY(f.errors.texts().isEmpty());
    }

    // A failure in the middle of a change undoes all of it, and the store goes on working.
    void failureMidwayLeavesNothingHalfDone()
    {
        StoreFixture f;
        QVERIFY(f.Open());
        for (const char* c : {"a", "b", "boom", "c"})
            QVERIFY(f.store.AddTask(kDay, QString::fromLatin1(c), TaskStates::NotDone()));
        const QStringList before = Tasks(f.store);
        Exec(f.store, QStringLiteral("CREATE TRIGGER refuse_delete BEFORE DELETE ON shiqing WHEN "
                                     "old.content = 'boom' BEGIN SELECT RAISE(ABORT, 'refused'); END"));
        QVERIFY(!f.store.DeleteTasksBySql(QStringLiteral("select * from shiqing where date='2026-12-06'")));
        QCOMPARE(Tasks(f.store), before);
        // A postponement whose copy cannot be written keeps the task where it was.
        Exec(f.store, QStringLiteral("CREATE TRIGGER refuse_insert BEFORE INSERT ON shiqing "
                                     "BEGIN SELECT RAISE(ABORT, 'refused'); END"));
        QVERIFY(!f.store.PostponeTask(kDay, QStringLiteral("a")));
        QCOMPARE(Tasks(f.store), before);
        QCOMPARE(f.errors.texts(), QStringList(2, QStringLiteral("打开事情信息表错误")));
        Exec(f.store, QStringLiteral("DROP TRIGGER refuse_delete"));
        Exec(f.store, QStringLiteral("DROP TRIGGER refuse_insert"));
        QVERIFY(f.store.PostponeTask(kDay, QStringLiteral("a")));
        QVERIFY(f.store.DeleteTasksBySql(QStringLiteral("select * from shiqing where date='2026-12-06'")));
        QCOMPARE(Tasks(f.store), QStringList{QStringLiteral("2026-12-07 未完成 a")});
    }
};

QTEST_GUILESS_MAIN(TestTaskTable)
#include "tst_tasktable.moc"
