#pragma once

// Timing, error reporting and the sqlite3 shell baseline, as the benchmarks share them.

#include "app/ErrorReporter.h"

#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QStringList>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace BenchTiming {

/// Prints every error of the store to the standard error and counts them.
class PrintingReporter final : public IErrorReporter
{
public:
    void ReportMessage(const QString& text, const QString&, Kind) override { ReportError(text); }
    void ReportError(const QString& text) override
    {
        std::fprintf(stderr, "store error: %s\n", qUtf8Printable(text));
        ++m_nErrors;
    }
    int m_nErrors = 0;
};

/// The median of \a values (the mean of the two middle ones for an even count).
inline double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

/// The time since \a timer started, in milliseconds.
inline double Ms(const QElapsedTimer& timer)
{
    return double(timer.nsecsElapsed()) / 1e6;
}

/// One "Vm…" figure of /proc/self/status (\a field, e.g. "VmRSS"), in MiB (Linux; -1 elsewhere).
inline double StatusMiB(const char* field)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    const QRegularExpression line(QLatin1String(field) + QStringLiteral(R"(:\s+(\d+) kB)"));
    const auto m = line.match(QString::fromLatin1(status.readAll()));
    return m.hasMatch() ? m.captured(1).toDouble() / 1024 : -1;
}

/// The resident memory of the process now, in MiB.
inline double RssMiB()
{
    return StatusMiB("VmRSS");
}

/// The part of RssMiB that is the process's own memory, without the pages of mapped files (the
/// store reads its database through a map, and those pages are the system's file cache).
inline double OwnMiB()
{
    return StatusMiB("RssAnon");
}

/// The peak resident memory of the process since the last ResetPeak, in MiB.
inline double PeakMiB()
{
    return StatusMiB("VmHWM");
}

/// Starts PeakMiB's measure again from the memory in use now.
inline void ResetPeak()
{
    QFile clear(QStringLiteral("/proc/self/clear_refs"));
    if (clear.open(QIODevice::WriteOnly))
        clear.write("5");
}

/// Prints "<bench>: <what>" and ends the program.
[[noreturn]] inline void Fail(const char* bench, const QString& what)
{
    std::fprintf(stderr, "%s: %s\n", bench, qUtf8Printable(what));
    std::exit(1);
}

/// Replaces \a to (and its write-ahead log files) with a copy of \a from.
inline bool FreshCopy(const QString& from, const QString& to)
{
    QFile::remove(to);
    QFile::remove(to + QStringLiteral("-wal"));
    QFile::remove(to + QStringLiteral("-shm"));
    return QFile::copy(from, to);
}

struct ShellRun
{
    double statementMs = 0; // the shell's own timer
    double processMs = 0;   // the whole process
};

/// Which reading of the shell's statement timer a run reports.
enum class ShellTimer {
    Last, ///< the last statement's (earlier ones only prepare it)
    Sum,  ///< the sum over every statement, each of which must have reported
};

/// Runs \a statements through the sqlite3 shell \a shell on \a path, with its statement timer on
/// and its output to /dev/null. Ends the program (as \a bench) if the shell fails.
inline ShellRun RunShell(const char* bench, const QString& shell, const QString& path, const QStringList& statements,
                         ShellTimer reading)
{
    QProcess process;
    QElapsedTimer timer;
    timer.start();
    process.start(shell, {QStringLiteral("-batch"), path});
    if (!process.waitForStarted())
        Fail(bench, QStringLiteral("cannot start %1").arg(shell));
    process.write((QStringLiteral(".timer on\n.output /dev/null\n") + statements.join(QStringLiteral(";\n")) +
                   QStringLiteral(";\n"))
                      .toUtf8());
    process.closeWriteChannel();
    process.waitForFinished(-1);
    ShellRun run;
    run.processMs = Ms(timer);
    const QString out = QString::fromUtf8(process.readAllStandardOutput());
    static const QRegularExpression timerLine(QStringLiteral(R"(Run Time: real ([0-9.]+))"));
    QString last;
    qsizetype seen = 0;
    double sum = 0;
    for (auto it = timerLine.globalMatch(out); it.hasNext(); ++seen) {
        last = it.next().captured(1);
        sum += last.toDouble() * 1000;
    }
    const bool complete = reading == ShellTimer::Last ? !last.isEmpty() : seen == statements.size();
    if (process.exitCode() != 0 || !complete)
        Fail(bench, QStringLiteral("shell failed: %1 %2").arg(out, QString::fromUtf8(process.readAllStandardError())));
    run.statementMs = reading == ShellTimer::Last ? last.toDouble() * 1000 : sum;
    return run;
}

} // namespace BenchTiming
