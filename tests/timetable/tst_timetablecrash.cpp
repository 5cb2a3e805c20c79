// A timetable writer killed at any moment leaves the file as one save or the next wrote it.
#include "TimetableVersions.h"

#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QtTest>

namespace {
int ReportedSaves(const QByteArray& output)
{
    int n = 0;
    for (const QByteArray& line : output.split('\n'))
        if (line == "ok " + QByteArray::number(n + 1)) // a line cut short by the kill does not count
            ++n;
    return n;
}
} // namespace

class TestTimetableCrash : public QObject
{
    Q_OBJECT

private slots:
    void killedAtRandomMoments()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(CTimetable::FileName());
        const QString child = QCoreApplication::applicationDirPath() + QStringLiteral("/timetable_crash_child");
        QVERIFY(QFileInfo(child).isExecutable());
        for (int round = 0; round < 12; ++round) {
            QProcess process;
            process.start(child, {dir.path()});
            QVERIFY(process.waitForStarted());
            QVERIFY(process.waitForReadyRead(20000));
            QTest::qWait(int(QRandomGenerator::global()->bounded(5, 300)));
            process.kill(); // SIGKILL: no clean-up of any kind in the child
            QVERIFY(process.waitForFinished(20000));
            QCOMPARE(process.exitStatus(), QProcess::CrashExit);
            const int reported = ReportedSaves(process.readAllStandardOutput());
            QVERIFY(reported > 0);

            QFile file(path);
            QVERIFY(file.open(QIODevice::ReadOnly));
            const QByteArray bytes = file.readAll();
            // The save under way at the kill may have finished without saying so.
            const QByteArray saved = TimetableVersion(dir.path(), reported).ToBytes();
            const QByteArray next = TimetableVersion(dir.path(), reported + 1).ToBytes();
            QVERIFY2(bytes == saved || bytes == next,
                     qPrintable(QStringLiteral("round %1: %2 saves reported, file of %3 bytes matches neither")
                                    .arg(round).arg(reported).arg(bytes.size())));
        }
    }
};

QTEST_GUILESS_MAIN(TestTimetableCrash)
#include "tst_timetablecrash.moc"
