// Measures the calendar exchange on a database of 1,000,000 tasks and 10,000 reminders: time and
// peak memory above the connected store's idle memory for
//   - the export's walk, first (every row gets its UID) and again (every UID read back),
//     written as iCalendar through CIcsWriter into a file, or with "--walk-only" handed to a
//     callback that only counts;
//   - the import into an empty database, first (every item added) and again (every item found
//     by its UID), read from that file through CIcsReader, or with "--walk-only" applied
//     from the items the export walk hands over, one at a time;
// and, in the same run, the sqlite3 shell writing the same rows as CSV and reading them back
// into empty tables.

#include "BenchTaskDatabase.h"
#include "BenchTiming.h"
#include "exchange/CalendarExchange.h"
#include "exchange/ExchangeItem.h"
#include "store/DataStore.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QThread>
#include <algorithm>
#include <condition_variable>
#include <cstdio>
#include <deque>
#include <mutex>
#include <optional>
#include <sys/resource.h>
#include <thread>

using namespace BenchTiming;

namespace {

int g_nTasks = 1'000'000;  // "--tasks N" for a smaller run (under a profiler)
int g_nReminders = 10'000; // a hundredth of the tasks
const char* const kBench = "bench_exchange";

struct Measure
{
    double ms = 0;
    double cpuMs = 0; ///< this process's processor time (both threads of an import)
    double peakAboveIdleMiB = 0;
};

double CpuMs(int who = RUSAGE_SELF);

template <typename Work> Measure Measured(double idleMiB, Work work)
{
    ResetPeak();
    QElapsedTimer timer;
    timer.start();
    const double cpu = CpuMs();
    work();
    return {Ms(timer), CpuMs() - cpu, PeakMiB() - idleMiB};
}

void Print(const char* what, const Measure& m)
{
    std::printf("  %-34s %8.0f ms (cpu %8.0f ms)   peak %6.1f MiB above idle\n", what, m.ms, m.cpuMs,
                m.peakAboveIdleMiB);
    std::fflush(stdout);
}

// Hands the items one store's export walk gives to another store's import: the export runs on
// a thread of its own (a connection of its own there), the import here. Items go over in
// batches, so that the two threads meet once per batch rather than once per item.
class CItemPipe
{
public:
    using Batch = std::vector<ExchangeItem>; // empty: the end

    void Put(Batch batch)
    {
        std::unique_lock lock(m_mutex);
        m_space.wait(lock, [&] { return m_batches.size() < 4; });
        m_batches.push_back(std::move(batch));
        m_ready.notify_one();
    }
    Batch Take()
    {
        std::unique_lock lock(m_mutex);
        m_ready.wait(lock, [&] { return !m_batches.empty(); });
        Batch batch = std::move(m_batches.front());
        m_batches.pop_front();
        m_space.notify_one();
        return batch;
    }

private:
    std::mutex m_mutex;
    std::condition_variable m_ready, m_space;
    std::deque<Batch> m_batches;
};

double CpuMs(int who)
{
    rusage usage{};
    getrusage(who, &usage);
    return (double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1e3 +
            double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e3);
}

bool AddReminders(const QString& path)
{
    CDataStore store;
    if (!store.Connect(path))
        return false;
    QSqlQuery sql(QSqlDatabase::database(store.ConnectionName()));
    return sql.exec(
               QStringLiteral("WITH RECURSIVE n(i) AS (SELECT 0 UNION ALL SELECT i + 1 FROM n WHERE i < %1) "
                              "INSERT INTO tx SELECT 2026, 1 + i % 12, 1 + i % 28, i % 24, i % 60, 0, 1 + i "
                              "% 7, i % 5, i % 2, "
                              "'提醒 ' || i, '内容 ' || i FROM n")
                   .arg(g_nReminders - 1)) &&
           sql.exec(QStringLiteral("PRAGMA wal_checkpoint(TRUNCATE)"));
}

Measure RunShellScript(const QString& shell, const QString& db, const QString& script, double& statementMs)
{
    QProcess process;
    QElapsedTimer timer;
    timer.start();
    const double cpu = CpuMs(RUSAGE_CHILDREN);
    process.start(shell, {QStringLiteral("-batch"), db});
    if (!process.waitForStarted())
        Fail(kBench, QStringLiteral("cannot start %1").arg(shell));
    process.write((QStringLiteral(".timer on\n") + script).toUtf8());
    process.closeWriteChannel();
    process.waitForFinished(-1);
    Measure m{Ms(timer), CpuMs(RUSAGE_CHILDREN) - cpu, -1};
    if (process.exitCode() != 0)
        Fail(kBench, QString::fromUtf8(process.readAllStandardError()));
    static const QRegularExpression timerLine(QStringLiteral(R"(Run Time: real ([0-9.]+))"));
    statementMs = 0;
    for (auto it = timerLine.globalMatch(QString::fromUtf8(process.readAllStandardOutput())); it.hasNext();)
        statementMs += it.next().captured(1).toDouble() * 1000;
    return m;
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    const bool walkOnly = args.contains(QStringLiteral("--walk-only"));
    if (const qsizetype at = args.indexOf(QStringLiteral("--tasks")); at >= 0 && at + 1 < args.size()) {
        g_nTasks = args[at + 1].toInt();
        g_nReminders = std::max(1, g_nTasks / 100);
    }
    QStringList rest = QStringList(args).filter(QRegularExpression(QStringLiteral("^[^-]")));
    if (const qsizetype at = args.indexOf(QStringLiteral("--tasks")); at >= 0)
        rest.removeOne(args.value(at + 1));
    const QString shell = rest.isEmpty() ? QStringLiteral("sqlite3") : rest.first();

    QTemporaryDir work;
    const QString master = work.filePath(QStringLiteral("master.db"));
    std::printf("building %d tasks and %d reminders...\n", g_nTasks, g_nReminders);
    std::fflush(stdout);
    if (!BenchData::BuildTaskDatabase(master, g_nTasks, QDate(1996, 1, 1), QDate(2025, 12, 31),
                                      QDate(2025, 9, 1), QDate(2026, 1, 20)) ||
        !AddReminders(master))
        Fail(kBench, QStringLiteral("cannot build the database"));
    std::printf("database: %.1f MB\n", double(QFileInfo(master).size()) / 1e6);

    PrintingReporter reporter;
    CDataStore store(&reporter);
    if (!store.Connect(master))
        return 1;
    const double idle = RssMiB();
    std::printf("idle (store connected): %.1f MiB\n", idle);
    const QString ics = work.filePath(QStringLiteral("all.ics"));

    std::printf("%s:\n", walkOnly ? "store operations (no file)" : "files");
    for (const char* pass : {"export, first (binds UIDs)", "export, again"}) {
        qint64 items = 0;
        bool ok = false;
        const Measure m = Measured(idle, [&] {
            if (walkOnly) {
                ok = store.ExportItems({}, {}, [&](const ExchangeItem&) { return ++items > 0; }) ==
                     CDataStore::ExchangeOutcome::Done;
            } else {
                const CalendarExchange::ExportResult r = CalendarExchange::ExportFile(store, ics);
                ok = r.bOk;
                items = r.written[0] + r.written[1] + r.written[2];
                if (!ok)
                    std::fprintf(stderr, "%s\n", qUtf8Printable(r.strError));
            }
        });
        if (!ok || items != g_nTasks + g_nReminders)
            Fail(kBench, QStringLiteral("export gave %1 items").arg(items));
        Print(pass, m);
    }
    if (!walkOnly)
        std::printf("  file: %.1f MB\n", double(QFileInfo(ics).size()) / 1e6);

    const QString target = work.filePath(QStringLiteral("target.db"));
    if (!Schema::CreateDatabaseFile(target, QDate(2025, 9, 1), QDate(2026, 1, 20), nullptr))
        return 1;
    CDataStore into(&reporter);
    if (!into.Connect(target))
        return 1;
    for (const char* pass : {"import into empty (adds)", "import again (finds every UID)"}) {
        QString counts;
        const Measure m = Measured(idle, [&] {
            if (!walkOnly) {
                const CalendarExchange::ImportResult r = CalendarExchange::ImportFile(into, ics);
                if (!r.bOk)
                    Fail(kBench, r.strError);
                counts = QStringLiteral("added %1, updated %2")
                             .arg(r.added[0] + r.added[1])
                             .arg(r.updated[0] + r.updated[1]);
                return;
            }
            CItemPipe pipe;
            std::thread exporter([&] {
                CDataStore from(&reporter);
                CItemPipe::Batch batch;
                if (from.Connect(master))
                    from.ExportItems({}, {}, [&](const ExchangeItem& item) {
                        batch.push_back(item);
                        if (batch.size() == 1024)
                            pipe.Put(std::exchange(batch, {}));
                        return true;
                    });
                if (!batch.empty())
                    pipe.Put(std::move(batch));
                pipe.Put({});
            });
            CDataStore::ImportCounts made;
            CItemPipe::Batch batch;
            size_t next = 0;
            const auto outcome = into.ImportItems(
                [&](ExchangeItem& item) {
                    if (next == batch.size()) {
                        batch = pipe.Take();
                        next = 0;
                        if (batch.empty())
                            return CDataStore::ImportFeed::End;
                    }
                    item = std::move(batch[next++]);
                    return CDataStore::ImportFeed::Item;
                },
                made);
            exporter.join();
            if (outcome != CDataStore::ExchangeOutcome::Done)
                Fail(kBench, QStringLiteral("import failed"));
            counts = QStringLiteral("added %1, updated %2")
                         .arg(made.added[0] + made.added[1])
                         .arg(made.updated[0] + made.updated[1]);
        });
        Print(pass, m);
        std::printf("    %s\n", qUtf8Printable(counts));
    }
    into.Close();
    store.Close();

    // The same rows as CSV by the shell, and back into empty tables.
    const QString csvTasks = work.filePath(QStringLiteral("tasks.csv"));
    const QString csvReminders = work.filePath(QStringLiteral("reminders.csv"));
    double statementMs = 0;
    Measure shellOut =
        RunShellScript(shell, master,
                       QStringLiteral(".mode csv\n.output %1\nSELECT * FROM shiqing;\n.output %2\n"
                                      "SELECT * FROM tx;\n")
                           .arg(csvTasks, csvReminders),
                       statementMs);
    std::printf("sqlite3 shell:\n  %-34s %8.0f ms (cpu %8.0f ms)   statements %.0f ms\n", "CSV out",
                shellOut.ms, shellOut.cpuMs, statementMs);
    const QString empty = work.filePath(QStringLiteral("empty.db"));
    if (!Schema::CreateDatabaseFile(empty, QDate(2025, 9, 1), QDate(2026, 1, 20), nullptr))
        return 1;
    Measure shellIn =
        RunShellScript(shell, empty,
                       QStringLiteral("BEGIN;\n.import --csv %1 shiqing\n.import --csv %2 tx\nCOMMIT;\n")
                           .arg(csvTasks, csvReminders),
                       statementMs);
    std::printf("  %-34s %8.0f ms (cpu %8.0f ms)\n", "CSV in", shellIn.ms, shellIn.cpuMs);
    std::printf("  CSV files: %.1f MB\n",
                double(QFileInfo(csvTasks).size() + QFileInfo(csvReminders).size()) / 1e6);
    return 0;
}
