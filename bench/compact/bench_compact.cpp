// Measures Compaction::CompactStore on a database of 1,000,000 tasks over 30 years from which
// the tasks of three years (about 100,000) have been deleted, so that there is space to win
// back. Each round compacts a fresh copy of that file with the store connected to it, exactly
// as the settings dialog does (VACUUM INTO, the check of the copy, the rename and the
// reconnection all counted), and runs the sqlite3 shell's "VACUUM INTO" on another fresh copy
// of the same file in the same round: the whole shell process, and its own statement timer.
// Every figure is the median over the rounds; the ratio pairs the two of one round.

#include "BenchTaskDatabase.h"
#include "BenchTiming.h"
#include "store/Compaction.h"
#include "store/DataStore.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QThread>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

using namespace BenchTiming;

namespace {

constexpr int kTasks = 1'000'000;

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
    const QString shell = argc > 2 ? QString::fromLocal8Bit(argv[2]) : QStringLiteral("sqlite3");

    QTemporaryDir work;
    const QString master = work.filePath(QStringLiteral("master.db"));
    std::printf("building %d tasks...\n", kTasks);
    std::fflush(stdout);
    if (!BenchData::BuildTaskDatabase(master, kTasks, QDate(1996, 1, 1), QDate(2025, 12, 31), QDate(2025, 9, 1),
                                      QDate(2026, 1, 20)))
        return 1;
    PrintingReporter reporter;
    {
        // The store's own indexes and journal mode, then the deletion, folded into the file.
        CDataStore store(&reporter);
        if (!store.Connect(master))
            return 1;
        QSqlQuery sql(QSqlDatabase::database(store.ConnectionName()));
        if (!sql.exec(QStringLiteral("DELETE FROM shiqing WHERE date >= '2010-01-01' AND date < '2013-01-01'")))
            return 1;
        sql.exec(QStringLiteral("PRAGMA wal_checkpoint(TRUNCATE)"));
    }
    std::printf("database: %.1f MB\n", double(QFileInfo(master).size()) / 1e6);

    const QString ours = work.filePath(QStringLiteral("ours/kstrm.db"));
    const QString theirs = work.filePath(QStringLiteral("theirs/kstrm.db"));
    QDir(work.path()).mkdir(QStringLiteral("ours"));
    QDir(work.path()).mkdir(QStringLiteral("theirs"));
    const QRegularExpression shellTimer(QStringLiteral("Run Time: real ([0-9.]+)"));

    std::vector<double> oursMs, shellProcMs, shellStmtMs, ratio;
    qint64 compactedSize = 0;
    for (int round = 0; round < rounds; ++round) {
        if (!FreshCopy(master, ours) || !FreshCopy(master, theirs))
            return 1;
        CDataStore store(&reporter);
        if (!store.Connect(ours))
            return 1;
        QElapsedTimer timer;
        timer.start();
        const Compaction::Result result = Compaction::CompactStore(store);
        const double ms = Ms(timer);
        if (result.outcome != Compaction::Outcome::Compacted) {
            std::fprintf(stderr, "compaction failed: %s\n", qUtf8Printable(result.strError));
            return 1;
        }
        store.Close();
        compactedSize = QFileInfo(ours).size();

        // Compaction hands the freeing of the old file's blocks to a thread of its own; that
        // work is over before the shell's turn, so that it does not weigh on the shell.
        QThread::msleep(300);
        QProcess process;
        const QString out = work.filePath(QStringLiteral("theirs/temp.db"));
        QFile::remove(out);
        timer.restart();
        // The statement on standard input: only there does the shell report its timer.
        process.start(shell, {QStringLiteral("-cmd"), QStringLiteral(".timer on"), theirs});
        process.write(QStringLiteral("VACUUM INTO '%1';\n").arg(out).toUtf8());
        process.closeWriteChannel();
        if (!process.waitForFinished(-1) || process.exitCode() != 0) {
            std::fprintf(stderr, "%s failed: %s\n", qUtf8Printable(shell), process.readAllStandardError().constData());
            return 1;
        }
        const double procMs = Ms(timer);
        const auto match = shellTimer.match(QString::fromLocal8Bit(process.readAllStandardOutput()));
        oursMs.push_back(ms);
        shellProcMs.push_back(procMs);
        shellStmtMs.push_back(match.hasMatch() ? match.captured(1).toDouble() * 1000 : procMs);
        ratio.push_back(ms / procMs);
        std::printf("round %d: ours %.0f ms, shell %.0f ms (statement %.0f ms)\n", round + 1, ms, procMs,
                    shellStmtMs.back());
        std::fflush(stdout);
    }
    std::printf("\ncompacted to %.1f MB\nmedian of %d rounds:\n", double(compactedSize) / 1e6, rounds);
    std::printf("  CompactStore:            %.0f ms\n", Median(oursMs));
    std::printf("  sqlite3 VACUUM INTO:     %.0f ms (process), %.0f ms (statement)\n", Median(shellProcMs),
                Median(shellStmtMs));
    std::printf("  ratio (same round):      %.2f (target: at most 1.25)\n", Median(ratio));
    return 0;
}
