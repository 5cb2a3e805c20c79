#pragma once

// The crash tests' loop: a child prints "ok <n>" after each operation and is killed without
// warning; the test then checks what it left on disk.

#include <QCoreApplication>
#include <QFileInfo>
#include <QProcess>
#include <QRandomGenerator>
#include <QTest>
#include <QThread>
#include <functional>

namespace KillAtRandom {

/// How many "ok <n>" lines \a output holds in order; a line cut short by the kill does not count.
inline qsizetype Reported(const QByteArray& output)
{
    qsizetype n = 0;
    for (const QByteArray& line : output.split('\n'))
        if (line == "ok " + QByteArray::number(n + 1))
            ++n;
    return n;
}

/// Runs the child \a name \a rounds times and SIGKILLs it after a random number of reported
/// operations (1 to \a nMaxOps) plus up to 20 ms; \a check then QVERIFYs the disk. Counting reports
/// rather than waiting on the clock keeps the loop short.
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
