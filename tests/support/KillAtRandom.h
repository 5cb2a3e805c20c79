#pragma once

// The crash tests' loop: a child program does one operation after another, printing "ok <n>"
// (flushed) once the n-th has succeeded, and is killed without warning at a moment of the
// test's choosing; the test then checks what the killed child left on disk.

#include <QCoreApplication>
#include <QFileInfo>
#include <QProcess>
#include <QRandomGenerator>
#include <QTest>
#include <QThread>
#include <functional>

namespace KillAtRandom {

/// How many operations \a output reports, counting the "ok <n>" lines in order; a line cut
/// short by the kill does not count.
inline qsizetype Reported(const QByteArray& output)
{
    qsizetype n = 0;
    for (const QByteArray& line : output.split('\n'))
        if (line == "ok " + QByteArray::number(n + 1))
            ++n;
    return n;
}

/// Runs \a rounds times the child \a name (a program beside the test) with the arguments
/// \a arguments gives for the round, and kills it (SIGKILL: no clean-up of any kind) once it has
/// reported a random number of operations between 1 and \a nMaxOps, and a random moment of up
/// to 20 ms later: the kill then falls anywhere in the operations that follow. \a check gets the
/// round and the operations reported, and QVERIFYs what is on disk. Counting the child's reports
/// rather than waiting on the clock keeps the loop as short as a few operations.
inline void Run(const char* name, int rounds, int nMaxOps,
                const std::function<QStringList(int round)>& arguments,
                const std::function<void(int round, qsizetype reported)>& check)
{
    const QString child = QCoreApplication::applicationDirPath() + u'/' + QLatin1String(name);
    QVERIFY2(QFileInfo(child).isExecutable(), qPrintable(child));
    for (int round = 0; round < rounds; ++round) {
        const qsizetype nKillAfter = QRandomGenerator::global()->bounded(1, nMaxOps + 1);
        QProcess process;
        process.start(child, arguments(round));
        QVERIFY(process.waitForStarted());
        QByteArray output;
        while (Reported(output) < nKillAfter && process.waitForReadyRead(20000))
            output += process.readAllStandardOutput();
        QThread::usleep(QRandomGenerator::global()->bounded(20000));
        process.kill();
        QVERIFY(process.waitForFinished(20000));
        QCOMPARE(process.exitStatus(), QProcess::CrashExit);
        output += process.readAllStandardOutput();
        const qsizetype reported = Reported(output);
        QVERIFY2(reported >= nKillAfter,
                 qPrintable(QStringLiteral("round %1: %2 reported").arg(round).arg(reported)));
        check(round, reported);
        if (QTest::currentTestFailed())
            return;
    }
}

} // namespace KillAtRandom
