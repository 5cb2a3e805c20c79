#include "FakeClock.h"
#include "TableTestHelpers.h"

using TableTest::Exec;
using TableTest::Tasks;

namespace {
const QString kDuplicate = QStringLiteral("该事情已经存在，不能添加");
const QString kOnNextDay = QStringLiteral("事情已经存在于第二天了\r\n不能推迟请删除");
const QDate kDay(2026, 12, 6);

// A statistics operation, filling total, not done, done and postponed.
using StatsOp = std::function<bool(CDataStore&, QList<int>&)>;

QString Line(const char* date, const QString& state, const QString& content)
{
    return QString::fromLatin1(date) + u' ' + state + u' ' + content;
}
} // namespace

Q_DECLARE_METATYPE(StatsOp)

class TestTaskTable : public QObject
{
    Q_OBJECT

private slots:
    // A postponed task is on the next day as not done, whatever its state was, and its day
    // keeps a postponed copy.
    void postponeMovesToNextDay_data()
    {
        QTest::addColumn<QDate>("day");
        QTest::addColumn<QString>("state");
        QTest::addColumn<QString>("nextDay");
        QTest::newRow("done task") << QDate(2009, 3, 1) << TaskStates::Done() << QStringLiteral("2009-03-02");
        QTest::newRow("year end") << QDate(2009, 12, 31) << TaskStates::InProgress()
                                  << QStringLiteral("2010-01-01");
        QTest::newRow("28 Feb, leap year")
            << QDate(2008, 2, 28) << TaskStates::NotDone() << QStringLiteral("2008-02-29");
        QTest::newRow("28 Feb, common year")
            << QDate(2009, 2, 28) << TaskStates::Done() << QStringLiteral("2009-03-01");
        QTest::newRow("leap day") << QDate(2008, 2, 29) << TaskStates::Postponed()
                                  << QStringLiteral("2008-03-01");
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
        const QString date = day.toString(Qt::ISODate);
        QCOMPARE(Tasks(f.store),
                 (QStringList{nextDay + QStringLiteral(" 未完成 A"), date + QStringLiteral(" 已推迟 A")}));
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
        // The copy left behind cannot follow while the moved task is on the next day.
        QVERIFY(!f.store.PostponeTask(day, a));
        QCOMPARE(f.errors.texts(), QStringList{kOnNextDay});
        QCOMPARE(f.errors.captions(), QStringList{QStringLiteral("提示")});
        QCOMPARE(f.errors.kinds(), QList<IErrorReporter::Kind>{IErrorReporter::Kind::Information});
        QCOMPARE(Tasks(f.store), moved);
        QVERIFY(f.store.DeleteTask(day.addDays(1), a));
        QVERIFY(f.store.PostponeTask(day, a));
        QCOMPARE(Tasks(f.store), (QStringList{Line("2009-03-02", TaskStates::NotDone(), a),
                                              Line("2009-03-01", TaskStates::Postponed(), a)}));
        // A task that is not there is refused without a message; the caller says so.
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
        QCOMPARE(f.errors.texts(), QStringList{kDuplicate});
        QCOMPARE(f.errors.captions(), QStringList{QStringLiteral("警告")});
        QCOMPARE(f.errors.kinds(), QList<IErrorReporter::Kind>{IErrorReporter::Kind::Error});
        QCOMPARE(Tasks(f.store),
                 (QStringList{Line("2026-12-06", TaskStates::NotDone(), QStringLiteral("开会")),
                              Line("2026-12-07", TaskStates::NotDone(), QStringLiteral("开会"))}));
    }

    // Contents that would break a statement built by pasting text are stored, found, changed
    // and removed exactly, and never match a neighbour.
    void awkwardContents_data()
    {
        QTest::addColumn<QString>("content");
        QTest::newRow("quotes") << QStringLiteral("Tom's 'party' x'");
        QTest::newRow("double quote, backslash") << QStringLiteral("say \"hi\" C:\\temp\\");
        QTest::newRow("wildcards") << QStringLiteral("100% _done_");
        QTest::newRow("format holes") << QStringLiteral("%s and %d and %1");
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
        QVERIFY(f.store.IsTaskPresent(kDay, content));
        QVERIFY(!f.store.IsTaskPresent(kDay, content + u'!'));
        QVERIFY(f.store.SetTaskState(kDay, content, TaskStates::InProgress()));
        QCOMPARE(f.store.CountInProgressOnDay(kDay), 1);
        QStringList contents, states;
        QVERIFY(f.store.ListTasksOfDay(kDay, contents, states));
        QCOMPARE(contents, (QStringList{QStringLiteral("x"), content}));
        QVERIFY(f.store.PostponeTask(kDay, content));
        QVERIFY(f.store.DeleteTask(kDay.addDays(1), content));
        QVERIFY(f.store.DeleteTask(kDay, content));
        QCOMPARE(Tasks(f.store), QStringList{Line("2026-12-06", TaskStates::NotDone(), QStringLiteral("x"))});
        QVERIFY(f.errors.texts().isEmpty());
    }

    // A day's tasks come in the order they were added, not in the order of any index.
    void dayListingInTableOrder()
    {
        StoreFixture f;
        QVERIFY(f.Open());
        for (const char* c : {"c", "a", "b"})
            QVERIFY(f.store.AddTask(kDay, QString::fromLatin1(c), TaskStates::NotDone()));
        QVERIFY(f.store.AddTask(kDay.addDays(1), QStringLiteral("next day"), TaskStates::Done()));
        QVERIFY(f.store.SetTaskState(kDay, QStringLiteral("a"), TaskStates::Done()));
        QCOMPARE(f.store.CountTasksOnDay(kDay), 3);
        QStringList contents = {QStringLiteral("stale")}, states;
        QVERIFY(f.store.ListTasksOfDay(kDay, contents, states));
        QCOMPARE(contents, (QStringList{QStringLiteral("c"), QStringLiteral("a"), QStringLiteral("b")}));
        QCOMPARE(states, (QStringList{TaskStates::NotDone(), TaskStates::Done(), TaskStates::NotDone()}));
        // A day without tasks leaves the caller's lists alone.
        QVERIFY(!f.store.ListTasksOfDay(kDay.addDays(-1), contents, states));
        QCOMPARE(contents.size(), 3);
    }

    // Today is 6 December 2026 (the clock's last second of it); "进行中" counts only in totals.
    void statistics_data()
    {
        QTest::addColumn<StatsOp>("operation");
        QTest::addColumn<bool>("empty");
        QTest::addColumn<QList<int>>("expected"); // total, not done, done, postponed
        const StatsOp before = [](CDataStore& s, QList<int>& n) {
            return s.CountTasksBefore(n[0], n[1], n[2], n[3]);
        };
        const StatsOp after = [](CDataStore& s, QList<int>& n) {
            return s.CountTasksAfter(n[0], n[1], n[2], n[3]);
        };
        const StatsOp today = [](CDataStore& s, QList<int>& n) {
            return s.CountTasksToday(n[0], n[1], n[2], n[3]);
        };
        const StatsOp all = [](CDataStore& s, QList<int>& n) {
            return s.CountAllTasks(n[0], n[1], n[2], n[3]);
        };
        QTest::newRow("before") << before << false << QList<int>{4, 1, 1, 1};
        QTest::newRow("after") << after << false << QList<int>{3, 2, 0, 0};
        QTest::newRow("today") << today << false << QList<int>{2, 0, 1, 0};
        QTest::newRow("all") << all << false << QList<int>{9, 3, 2, 1};
        QTest::newRow("before, empty") << before << true << QList<int>{0, 0, 0, 0};
        QTest::newRow("all, empty") << all << true << QList<int>{0, 0, 0, 0};
    }
    void statistics()
    {
        QFETCH(StatsOp, operation);
        QFETCH(bool, empty);
        QFETCH(QList<int>, expected);
        FakeClock clock(QDateTime(kDay, QTime(23, 59, 59)));
        StoreFixture f;
        QVERIFY(f.Open());
        const std::pair<const char*, QString> tasks[] = {
            {"2025-01-01", TaskStates::Postponed()},  {"2026-12-05", TaskStates::NotDone()},
            {"2026-12-05", TaskStates::Done()},       {"2026-12-05", TaskStates::InProgress()},
            {"2026-12-06", TaskStates::InProgress()}, {"2026-12-06", TaskStates::Done()},
            {"2026-12-07", TaskStates::NotDone()},    {"2026-12-07", TaskStates::NotDone()},
            {"2027-01-01", TaskStates::InProgress()},
        };
        for (int i = 0; !empty && i < 9; ++i)
            QVERIFY(f.store.AddTask(QDate::fromString(QString::fromLatin1(tasks[i].first), Qt::ISODate),
                                    QString::number(i), tasks[i].second));
        QList<int> counts(4, -1);
        QVERIFY(operation(f.store, counts));
        QCOMPARE(counts, expected);
    }

    // The batch delete's statements: a year, a December whose upper bound is month "13", a day.
    void deleteBySql_data()
    {
        QTest::addColumn<QString>("where");
        QTest::addColumn<bool>("result");
        QTest::addColumn<QStringList>("remaining");
        QTest::newRow("year") << QStringLiteral("date<'2010-01-01' and date>='2009-01-01'") << true
                              << QStringList{QStringLiteral("2008-12-31"), QStringLiteral("2010-01-01")};
        QTest::newRow("December") << QStringLiteral("date<'2009-13-01' and date>='2009-12-01'") << true
                                  << QStringList{QStringLiteral("2008-12-31"), QStringLiteral("2009-01-01"),
                                                 QStringLiteral("2010-01-01")};
        QTest::newRow("nothing") << QStringLiteral("date='1999-01-01'") << false
                                 << QStringList{QStringLiteral("2008-12-31"), QStringLiteral("2009-01-01"),
                                                QStringLiteral("2009-12-31"), QStringLiteral("2010-01-01")};
    }
    void deleteBySql()
    {
        QFETCH(QString, where);
        QFETCH(bool, result);
        QFETCH(QStringList, remaining);
        StoreFixture f;
        QVERIFY(f.Open());
        for (const char* d : {"2008-12-31", "2009-01-01", "2009-12-31", "2010-01-01"}) {
            // Two tasks a day, so that the walk goes on past a deleted row.
            for (const char* c : {"x", "y"})
                QVERIFY(f.store.AddTask(QDate::fromString(QString::fromLatin1(d), Qt::ISODate),
                                        QString::fromLatin1(c), TaskStates::NotDone()));
        }
        QCOMPARE(f.store.DeleteTasksBySql(QStringLiteral("select * from shiqing where ") + where), result);
        QCOMPARE(
            TableTest::Column(f.store, QStringLiteral("SELECT DISTINCT date FROM shiqing ORDER BY date")),
            remaining);
        QCOMPARE(f.store.CountTasksBySql(QStringLiteral("select * from shiqing")), 2 * remaining.size());
        QVERIFY(f.errors.texts().isEmpty());
    }

    void searchStatementsRunAsGiven()
    {
        StoreFixture f;
        QVERIFY(f.Open());
        QVERIFY(f.store.AddTask(QDate(2026, 12, 9), QStringLiteral("部门会议"), TaskStates::NotDone()));
        QVERIFY(f.store.AddTask(QDate(2026, 12, 1), QStringLiteral("买菜"), TaskStates::Done()));
        QVERIFY(
            f.store.AddTask(QDate(2026, 12, 3), QStringLiteral("家长会议'记录'"), TaskStates::InProgress()));
        const QString search =
            QStringLiteral("select * from shiqing where content like '%会议%' order by date asc");
        QCOMPARE(f.store.CountTasksBySql(search), 2);
        QStringList dates, contents, states;
        QVERIFY(f.store.ListTasksBySql(search, dates, contents, states));
        QCOMPARE(dates, (QStringList{QStringLiteral("2026-12-03"), QStringLiteral("2026-12-09")}));
        QCOMPARE(contents, (QStringList{QStringLiteral("家长会议'记录'"), QStringLiteral("部门会议")}));
        QCOMPARE(states, (QStringList{TaskStates::InProgress(), TaskStates::NotDone()}));
        QVERIFY(!f.store.ListTasksBySql(QStringLiteral("select * from shiqing where content like '%出差%'"),
                                        dates, contents, states));
        QCOMPARE(dates.size(), 2);
    }

    // A failure in the middle of a change undoes all of it, and the store goes on working.
    void failureMidwayLeavesNothingHalfDone()
    {
        StoreFixture f;
        QVERIFY(f.Open());
        for (const char* c : {"a", "b", "boom", "c"})
            QVERIFY(f.store.AddTask(kDay, QString::fromLatin1(c), TaskStates::NotDone()));
        const QStringList before = Tasks(f.store);
        Exec(f.store,
             QStringLiteral("CREATE TRIGGER refuse_delete BEFORE DELETE ON shiqing WHEN old.content = 'boom' "
                            "BEGIN SELECT RAISE(ABORT, 'refused'); END"));
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
        QCOMPARE(Tasks(f.store), QStringList{Line("2026-12-07", TaskStates::NotDone(), QStringLiteral("a"))});
    }
};

QTEST_GUILESS_MAIN(TestTaskTable)
#include "tst_tasktable.moc"
