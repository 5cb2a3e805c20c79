#include "FakeClock.h"
#include "StoreFixture.h"

using TableTest::Tasks;

namespace {
const QDate kDay(2026, 12, 6);
const QString kA = QStringLiteral("A");
using StatsOp = std::function<bool(CDataStore&, QList<int>&)>; // fills total, not done, done, postponed
} // namespace

Q_DECLARE_METATYPE(StatsOp)

class TestTaskTable : public QObject
{
    Q_OBJECT

    // Adds each content on kDay as not done.
    static bool Seed(CDataStore& s, std::initializer_list<const char*> contents)
    {
        for (const char* c : contents)
            if (!s.AddTask(kDay, QString::fromUtf8(c), TaskStates::NotDone()))
                return false;
        return true;
    }

private slots:
    // A postponed task moves to the next day as not done, whatever its state, and leaves a
    // postponed copy; it cannot be postponed again while the moved task is still there.
    void postpone_data()
    {
        QTest::addColumn<QDate>("day");
        QTest::addColumn<QString>("state");
        QTest::addColumn<QString>("nextDay");
        QTest::newRow("year end") << QDate(2009, 12, 31) << TaskStates::InProgress()
                                  << QStringLiteral("2010-01-01");
        QTest::newRow("28 Feb, leap year")
            << QDate(2008, 2, 28) << TaskStates::Done() << QStringLiteral("2008-02-29");
        QTest::newRow("28 Feb, common year")
            << QDate(2009, 2, 28) << TaskStates::NotDone() << QStringLiteral("2009-03-01");
    }
    void postpone()
    {
        QFETCH(QDate, day);
        QFETCH(QString, state);
        QFETCH(QString, nextDay);
        StoreFixture f;
        QVERIFY(f.Open());
        QVERIFY(f.store.AddTask(day, kA, state));
        QVERIFY(f.store.PostponeTask(day, kA));
        const QStringList moved = {nextDay + QStringLiteral(" 未完成 A"),
                                   day.toString(Qt::ISODate) + QStringLiteral(" 已推迟 A")};
        QCOMPARE(Tasks(f.store), moved);
        QVERIFY(f.errors.texts().isEmpty());
        QVERIFY(!f.store.PostponeTask(day, kA));
        QCOMPARE(f.errors.texts(), QStringList{QStringLiteral("事情已经存在于第二天了\r\n不能推迟请删除")});
        QCOMPARE(f.errors.captions(), QStringList{QStringLiteral("提示")});
        QCOMPARE(f.errors.kinds(), QList<IErrorReporter::Kind>{IErrorReporter::Kind::Information});
        QCOMPARE(Tasks(f.store), moved);
        QVERIFY(f.store.DeleteTask(day.addDays(1), kA));
        QVERIFY(f.store.PostponeTask(day, kA));
        QCOMPARE(Tasks(f.store), moved);
        // A task that is not there is refused without a message.
        f.errors.clear();
        QVERIFY(!f.store.PostponeTask(day, QStringLiteral("B")));
        QVERIFY(!f.store.DeleteTask(day, QStringLiteral("B")));
        QVERIFY(!f.store.SetTaskState(day, QStringLiteral("B"), TaskStates::Done()));
        QVERIFY(f.errors.texts().isEmpty());
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
        QVERIFY(Seed(f.store, {"x"}));
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
        QCOMPARE(Tasks(f.store),
                 (QStringList{QStringLiteral("2026-12-06 未完成 x"), QStringLiteral("2026-12-06 已完成 a")}));
        QVERIFY(f.errors.texts().isEmpty());
    }

    // Today is 6 December 2026; "进行中" counts only in totals.
    void statistics_data()
    {
        QTest::addColumn<StatsOp>("operation");
        QTest::addColumn<bool>("empty");
        QTest::addColumn<QList<int>>("expected");
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
            {QDate(2025, 1, 1), TaskStates::Postponed()},
            {QDate(2026, 12, 5), TaskStates::NotDone()},
            {QDate(2026, 12, 5), TaskStates::Done()},
            {QDate(2026, 12, 5), TaskStates::InProgress()},
            {kDay, TaskStates::InProgress()},
            {kDay, TaskStates::Done()},
            {QDate(2026, 12, 7), TaskStates::NotDone()},
            {QDate(2026, 12, 7), TaskStates::NotDone()},
            {QDate(2027, 1, 1), TaskStates::InProgress()},
        };
        for (int i = 0; !empty && i < 9; ++i)
            QVERIFY(f.store.AddTask(tasks[i].first, QString::number(i), tasks[i].second));
        QList<int> counts(4, -1);
        QVERIFY(operation(f.store, counts));
        QCOMPARE(counts, expected);
    }

    // A December whose upper bound is month "13"; two tasks a day, so the walk goes on past a
    // deleted row; a statement matching nothing deletes nothing and answers false.
    void deleteBySql()
    {
        StoreFixture f;
        QVERIFY(f.Open());
        const QStringList days = {QStringLiteral("2008-12-31"), QStringLiteral("2009-01-01"),
                                  QStringLiteral("2009-12-31"), QStringLiteral("2010-01-01")};
        for (const QString& d : days)
            for (const QString& c : {QStringLiteral("x"), QStringLiteral("y")})
                QVERIFY(f.store.AddTask(QDate::fromString(d, Qt::ISODate), c, TaskStates::NotDone()));
        const QString select = QStringLiteral("select * from shiqing where ");
        QVERIFY(!f.store.DeleteTasksBySql(select + QStringLiteral("date='1999-01-01'")));
        QCOMPARE(f.store.CountTasksBySql(QStringLiteral("select * from shiqing")), 8);
        QVERIFY(
            f.store.DeleteTasksBySql(select + QStringLiteral("date<'2009-13-01' and date>='2009-12-01'")));
        QCOMPARE(
            TableTest::Column(f.store, QStringLiteral("SELECT DISTINCT date FROM shiqing ORDER BY date")),
            (QStringList{days[0], days[1], days[3]}));
        QCOMPARE(f.store.CountTasksBySql(QStringLiteral("select * from shiqing")), 6);
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
        QTest::newRow("order by two columns")
            << QStringLiteral("select * from shiqing order by date desc, content")
            << QStringList{plain, compound, join} << true << QStringList{};
        QTest::newRow("second table")
            << QStringLiteral(
                   "select s.date, s.content, s.state from shiqing s, yljrb y where y.date='1206' and "
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
        QVERIFY(Seed(f.store, {"x join y", "union all"}));
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
        QVERIFY(Seed(f.store, {"a", "b", "boom", "c"}));
        const QStringList before = Tasks(f.store);
        const QString ofDay = QStringLiteral("select * from shiqing where date='2026-12-06'");
        TableTest::Exec(f.store,
                        QStringLiteral("CREATE TRIGGER refuse_delete BEFORE DELETE ON shiqing WHEN "
                                       "old.content = 'boom' BEGIN SELECT RAISE(ABORT, 'refused'); END"));
        QVERIFY(!f.store.DeleteTasksBySql(ofDay));
        QCOMPARE(Tasks(f.store), before);
        // A postponement whose copy cannot be written keeps the task where it was.
        TableTest::Exec(f.store, QStringLiteral("CREATE TRIGGER refuse_insert BEFORE INSERT ON shiqing "
                                                "BEGIN SELECT RAISE(ABORT, 'refused'); END"));
        QVERIFY(!f.store.PostponeTask(kDay, QStringLiteral("a")));
        QCOMPARE(Tasks(f.store), before);
        QCOMPARE(f.errors.texts(), QStringList(2, QStringLiteral("打开事情信息表错误")));
        TableTest::Exec(f.store, QStringLiteral("DROP TRIGGER refuse_delete"));
        TableTest::Exec(f.store, QStringLiteral("DROP TRIGGER refuse_insert"));
        QVERIFY(f.store.PostponeTask(kDay, QStringLiteral("a")));
        QVERIFY(f.store.DeleteTasksBySql(ofDay));
        QCOMPARE(Tasks(f.store), QStringList{QStringLiteral("2026-12-07 未完成 a")});
    }
};

QTEST_GUILESS_MAIN(TestTaskTable)
#include "tst_tasktable.moc"
