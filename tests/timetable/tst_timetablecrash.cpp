// A timetable writer killed at any moment leaves the file as one save or the next wrote it.
#include "KillAtRandom.h"
#include "TestFiles.h"
#include "TimetableVersions.h"

#include <QTemporaryDir>
#include <QtTest>

class TestTimetableCrash : public QObject
{
    Q_OBJECT

private slots:
    void killedAtRandomMoments()
    {
        QTemporaryDir dir;
        KillAtRandom::Run(
            "timetable_crash_child", 12, 8, [&](int) { return QStringList{dir.path()}; },
            [&](int round, qsizetype reported) {
                const QByteArray bytes = ReadAll(dir.filePath(CTimetable::FileName()));
                // The save under way at the kill may have finished without saying so.
                const QByteArray saved = TimetableVersion(dir.path(), int(reported)).ToBytes();
                const QByteArray next = TimetableVersion(dir.path(), int(reported) + 1).ToBytes();
                QVERIFY2(
                    bytes == saved || bytes == next,
                    qPrintable(QStringLiteral("round %1: %2 saves reported, file of %3 bytes matches neither")
                                   .arg(round)
                                   .arg(reported)
                                   .arg(bytes.size())));
            });
    }
};

QTEST_GUILESS_MAIN(TestTimetableCrash)
#include "tst_timetablecrash.moc"
