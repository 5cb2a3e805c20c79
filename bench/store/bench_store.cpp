// Measures the task table on a database of 1,000,000 tasks spread over 30 years:
//  - one day:  CountTasksOnDay + ListTasksOfDay for a day (about 91 tasks), timed per day;
//  - add:      AddTask of one task (its commit included), for information only;
//  - query:    CountTasks + ListTasks of the content search for 会议, against the
//              sqlite3 shell running the matching SELECT once on the same file, and running the
//              same count and SELECT as the store; and the same
//              search as the query grid runs it: ListTaskIds (count and ids) and ReadTasks of the
//              first screen's page, against the same shell figure;
//  - delete:   DeleteTasksInPeriod of one year (about 33,000 tasks), against the shell running the
//              matching DELETE, each on a fresh copy of the database.
// The shell's figures are its own statement timer (".timer on", output to /dev/null), which
// leaves out starting the process and opening the file; the wall time of the whole shell
// process is printed beside it. Every figure is the median over the rounds, and every ratio
// pairs a measurement with the baseline taken in the same round.

#include "BenchTaskDatabase.h"
#include "BenchTiming.h"
#include "store/DataStore.h"
#include "store/Schema.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

using namespace BenchTiming;

namespace {

constexpr int kTasks = 1'000'000;
const QDate kFirstDay(1996, 1, 1);
const QDate kLastDay(2025, 12, 31);

[[noreturn]] void Fail(const QString& what)
{
    BenchTiming::Fail("bench_store", what);
}

ShellRun RunShell(const QString& shell, const QString& path, const QString& statement)
{
    return BenchTiming::RunShell("bench_store", shell, path, {statement}, BenchTiming::ShellTimer::Last);
}

bool BuildDatabase(const QString& path)
{
    return BenchData::BuildTaskDatabase(path, kTasks, kFirstDay, kLastDay, QDate(2025, 9, 1),
                                        QDate(2026, 1, 31));
}

qint64 CountRows(const QString& path, const QString& where)
{
    qint64 n = -1;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("count"));
        db.setDatabaseName(path);
        if (db.open()) {
            QSqlQuery q(db);
            if (q.exec(QStringLiteral("SELECT count(*) FROM shiqing ") + where) && q.next())
                n = q.value(0).toLongLong();
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("count"));
    return n;
}

void Copy(const QString& from, const QString& to)
{
    if (!BenchTiming::FreshCopy(from, to))
        Fail(QStringLiteral("cannot copy %1").arg(from));
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
    const QString shell = argc > 2 ? QString::fromLocal8Bit(argv[2]) : QStringLiteral("sqlite3");

    QTemporaryDir dir;
    const QString master = dir.filePath(QStringLiteral("tasks.db"));
    QElapsedTimer timer;
    timer.start();
    if (!BuildDatabase(master))
        Fail(QStringLiteral("cannot build the database"));
    const double buildMs = Ms(timer);

    PrintingReporter reporter;
    CDataStore store(&reporter);
    timer.start();
    if (!store.Connect(master)) // adds the indexes
        Fail(QStringLiteral("cannot connect"));
    std::printf("%d tasks, %s .. %s: built in %.1f s, indexed in %.1f s\n", kTasks,
                qUtf8Printable(kFirstDay.toString(Qt::ISODate)),
                qUtf8Printable(kLastDay.toString(Qt::ISODate)), buildMs / 1000, Ms(timer) / 1000);

    const QString query =
        QStringLiteral("select * from shiqing where content like '%会议%' order by date asc");
    TaskQueryCriteria criteria;
    criteria.bUseContent = true;
    criteria.strContent = QStringLiteral("会议");
    const QString yearWhere = QStringLiteral("where date<'2011-01-01' and date>='2010-01-01'");
    const qint64 yearRows = CountRows(master, yearWhere);

    std::vector<double> dayMs, addMs, queryMs, queryShellMs, queryShellProcMs, queryRatio, gridMs, gridRatio;
    std::vector<double> twoStatementsMs, twoStatementsRatio;
    std::vector<double> deleteMs, deleteShellMs, deleteShellProcMs, deleteRatio;
    QRandomGenerator random(7);
    const int days = int(kFirstDay.daysTo(kLastDay)) + 1;
    for (int round = 1; round <= rounds; ++round) {
        // One day: many different days, so that no single lucky page decides the figure.
        std::vector<double> perDay;
        int tasksSeen = 0;
        for (int i = 0; i < 300; ++i) {
            const QDate day = kFirstDay.addDays(random.bounded(days));
            QStringList contents, states;
            timer.start();
            const int n = store.CountTasksOnDay(day);
            store.ListTasksOfDay(day, contents, states);
            perDay.push_back(Ms(timer));
            if (contents.size() != n)
                Fail(QStringLiteral("day count and listing disagree"));
            tasksSeen += n;
        }
        dayMs.push_back(Median(perDay));

        // Adding to a table of a million rows must not read the table.
        std::vector<double> perAdd;
        for (int i = 0; i < 20; ++i) {
            const QDate day = kFirstDay.addDays(random.bounded(days));
            const QString content = QStringLiteral("bench %1-%2").arg(round).arg(i);
            timer.start();
            const bool added = store.AddTask(day, content, QStringLiteral("未完成"));
            perAdd.push_back(Ms(timer));
            if (!added || !store.DeleteTask(day, content))
                Fail(QStringLiteral("cannot add and delete a task"));
        }
        addMs.push_back(Median(perAdd));

        // Query: the two passes of the query dialog against the shell's one.
        const ShellRun shellQuery = RunShell(shell, master, query);
        // The same two statements as the store's count and listing, each on the shell's timer.
        const ShellRun shellCountAndList = BenchTiming::RunShell(
            "bench_store", shell, master,
            {QStringLiteral("select count(*) from shiqing where content like '%会议%'"), query},
            BenchTiming::ShellTimer::Sum);
        QStringList dates, contents, states;
        timer.start();
        const int found = store.CountTasks(criteria);
        const double countMs = Ms(timer);
        store.ListTasks(criteria, dates, contents, states);
        queryMs.push_back(Ms(timer));
        if (found != dates.size() || found == 0)
            Fail(QStringLiteral("query count and listing disagree"));
        std::vector<TaskId> ids;
        std::vector<TaskRecord> firstPage;
        timer.start();
        store.ListTaskIds(criteria, ids);
        store.ReadTasks(ids.data(), std::min<size_t>(ids.size(), 64), firstPage);
        gridMs.push_back(Ms(timer));
        if (ids.size() != size_t(found) || firstPage.empty() || firstPage.front().IsGone())
            Fail(QStringLiteral("the grid's ids and the listing disagree"));
        gridRatio.push_back(gridMs.back() / shellQuery.statementMs);
        queryShellMs.push_back(shellQuery.statementMs);
        queryShellProcMs.push_back(shellQuery.processMs);
        queryRatio.push_back(queryMs.back() / shellQuery.statementMs);
        twoStatementsMs.push_back(shellCountAndList.statementMs);
        twoStatementsRatio.push_back(queryMs.back() / shellCountAndList.statementMs);

        // Delete one year, each side on its own fresh copy.
        store.Close(); // folds the log back into the file, so a copy of the file is complete
        const QString shellCopy = dir.filePath(QStringLiteral("shell.db"));
        const QString storeCopy = dir.filePath(QStringLiteral("store.db"));
        Copy(master, shellCopy);
        Copy(master, storeCopy);
        const ShellRun shellDelete = RunShell(
            shell, shellCopy, QStringLiteral("PRAGMA synchronous=FULL;\ndelete from shiqing ") + yearWhere);
        if (!store.Connect(storeCopy))
            Fail(QStringLiteral("cannot connect to the copy"));
        timer.start();
        const bool deleted = store.DeleteTasksInPeriod(QDate(2010, 6, 1), BatchScope::Year) ==
                             CDataStore::DeleteOutcome::Deleted;
        deleteMs.push_back(Ms(timer));
        store.Close();
        if (!deleted || CountRows(storeCopy, yearWhere) != 0 || CountRows(shellCopy, yearWhere) != 0 ||
            CountRows(storeCopy, QString()) != CountRows(shellCopy, QString()))
            Fail(QStringLiteral("the two deletes differ"));
        deleteShellMs.push_back(shellDelete.statementMs);
        deleteShellProcMs.push_back(shellDelete.processMs);
        deleteRatio.push_back(deleteMs.back() / shellDelete.statementMs);
        if (!store.Connect(master))
            Fail(QStringLiteral("cannot reconnect"));

        std::printf(
            "round %d: day %.3f ms (%.0f tasks/day) | add %.2f ms | query %d rows: store %.1f ms (count "
            "%.1f), shell %.1f ms "
            "(process %.1f ms), %.2fx, as the grid runs it %.1f ms, %.2fx | delete %lld rows: store %.1f ms, "
            "shell %.1f ms (process %.1f ms), "
            "%.2fx\n",
            round, dayMs.back(), tasksSeen / 300.0, addMs.back(), found, queryMs.back(), countMs,
            shellQuery.statementMs, shellQuery.processMs, queryRatio.back(), gridMs.back(), gridRatio.back(),
            static_cast<long long>(yearRows), deleteMs.back(), shellDelete.statementMs, shellDelete.processMs,
            deleteRatio.back());
        std::fflush(stdout);
    }
    std::printf("\nmedian of %d rounds:\n", rounds);
    std::printf("  one day, count + list:   %.3f ms (target: at most 0.25 ms on a quiet machine)\n", Median(dayMs));
    std::printf("  AddTask (one commit):     %.2f ms (no target; shows the table is not read)\n",
                Median(addMs));
    std::printf(
        "  query, count + list:     %.1f ms; shell %.1f ms (process %.1f ms); ratio %.2f (target: at most "
        "1.25)\n",
        Median(queryMs), Median(queryShellMs), Median(queryShellProcMs), Median(queryRatio));
    std::printf("  the shell's same count and listing: %.1f ms; ratio %.2f\n", Median(twoStatementsMs),
                Median(twoStatementsRatio));
    std::printf("  query as the grid runs it (ids with their count, first page): %.1f ms; ratio %.2f\n",
                Median(gridMs), Median(gridRatio));
    std::printf(
        "  delete one year:         %.1f ms; shell %.1f ms (process %.1f ms); ratio %.2f (target: at most "
        "1.1)\n",
        Median(deleteMs), Median(deleteShellMs), Median(deleteShellProcMs), Median(deleteRatio));
    return reporter.m_nErrors == 0 ? 0 : 1;
}
