#include "FakeClock.h"
#include "Recorders.h"
#include "TestFiles.h"
#include "reminder/AlertShape.h"
#include "reminder/CountdownClock.h"
#include "reminder/ReminderQueue.h"
#include "reminder/ReminderTexts.h"
#include "reminder/WaveLength.h"

#include <QTemporaryDir>
#include <QtTest>

namespace {
const QDate kSunday(2026, 12, 6);

QDateTime On(const QDate& day, int h, int m, int s)
{
    return QDateTime(day, QTime(h, m, s));
}
} // namespace

class TestReminderQueue : public QObject
{
    Q_OBJECT

private slots:
    // Due from its second on for five whole seconds; later dropped unseen with every stale one behind.
    void frontCheck_data()
    {
        QTest::addColumn<int>("lateMs");
        QTest::addColumn<bool>("due");
        QTest::addColumn<int>("left");
        QTest::newRow("a second early") << -1000 << false << 2;
        QTest::newRow("on time") << 0 << true << 2;
        QTest::newRow("5 s late") << 5000 << true << 2;
        QTest::newRow("5.9 s late") << 5900 << true << 2;
        QTest::newRow("6 s late") << 6000 << false << 0;
    }
    void frontCheck()
    {
        QFETCH(int, lateMs);
        FakeClock clock(On(kSunday, 8, 0, 0));
        ReminderQueue queue;
        queue.EnQueue(QStringLiteral("2026-12-06 08:00:00"), QStringLiteral("是"), QStringLiteral("a"), {});
        queue.EnQueue(QStringLiteral("2026-12-06 08:00:00"), QStringLiteral("否"), QStringLiteral("b"), {});
        clock.set(On(kSunday, 8, 0, 0).addMSecs(lateMs));
        QTEST(queue.IsFrontDue(), "due");
        QTEST(queue.Count(), "left");
    }

    void deQueueOnEmptyQueueComplains()
    {
        ErrorRecorder errors;
        ReminderQueue queue(&errors);
        QVERIFY(!queue.IsFrontDue());
        const ReminderQueueItem item = queue.DeQueue();
        QCOMPARE(errors.texts(), QStringList{QStringLiteral("deQueue null error")});
        QVERIFY(item.title.isEmpty() && !item.time.isValid());
        QCOMPARE(queue.Count(), 0);
    }

    // The manage page reads a row's moment back from its time text to delete it.
    void momentFromText_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QDateTime>("moment");
        QTest::newRow("plain") << QStringLiteral("2009-03-01 08:05:00") << On(QDate(2009, 3, 1), 8, 5, 0);
        QTest::newRow("blanks around")
            << QStringLiteral("  2027-12-31 23:59:59 ") << On(QDate(2027, 12, 31), 23, 59, 59);
        QTest::newRow("no such day") << QStringLiteral("2027-02-30 08:00:00") << QDateTime();
    }
    void momentFromText()
    {
        QFETCH(QString, text);
        QTEST(ReminderTexts::Moment(text), "moment");
    }

    // The count follows the monotonic clock, not the ticks; a slightly early tick still counts.
    void countdownClock_data()
    {
        QTest::addColumn<qint64>("elapsed");
        QTest::addColumn<int>("remaining");
        QTest::addColumn<int>("nextTick");
        QTest::newRow("start") << qint64(0) << 5 << 1000;
        QTest::newRow("tick 10 ms early") << qint64(990) << 4 << 1010;
        QTest::newRow("tick on time") << qint64(1000) << 4 << 1000;
        QTest::newRow("after a 3 s block") << qint64(3600) << 2 << 400;
        QTest::newRow("at the end") << qint64(5000) << 0 << 1000;
    }
    void countdownClock()
    {
        QFETCH(qint64, elapsed);
        FakeClock clock(On(kSunday, 8, 0, 0));
        CountdownClock countdown;
        countdown.Start(5);
        clock.set(On(kSunday, 8, 0, 0).addMSecs(elapsed));
        QTEST(countdown.Remaining(), "remaining");
        QTEST(countdown.MsToNextTick(), "nextTick");
    }

    // Exactly the pure black pixels are holes; nearly black ones belong to the window.
    void shapeExcludesExactlyBlack()
    {
        QImage img(7, 3, QImage::Format_RGB32);
        const QRgb row[7] = {qRgb(0, 0, 0),       qRgb(1, 0, 0), qRgb(0, 0, 0), qRgb(0, 0, 1),
                             qRgb(255, 255, 255), qRgb(0, 0, 0), qRgb(0, 1, 0)};
        for (int y = 0; y < 3; ++y)
            for (int x = 0; x < 7; ++x)
                img.setPixel(x, y, y == 1 ? qRgb(0, 0, 0) : row[x]);
        const QRegion region = AlertShape(img);
        for (int y = 0; y < img.height(); ++y)
            for (int x = 0; x < img.width(); ++x)
                QVERIFY2(region.contains(QPoint(x, y)) == ((img.pixel(x, y) & 0xFFFFFF) != 0),
                         qPrintable(QStringLiteral("pixel %1,%2").arg(x).arg(y)));
    }

    // The five rings are spaced by the sound's own length.
    void waveLength()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("half.wav"));
        QVERIFY(WriteAll(path, WaveBytes(500, true))); // its format after an "INFO" chunk
        QCOMPARE(WaveLengthMs(path), 500);
        QVERIFY(WaveLengthMs(QStringLiteral(":/defaults/ringin.wav")) > 0);
        QCOMPARE(WaveLengthMs(dir.filePath(QStringLiteral("missing.wav"))), 0);
    }
};

QTEST_GUILESS_MAIN(TestReminderQueue)
#include "tst_reminderqueue.moc"
