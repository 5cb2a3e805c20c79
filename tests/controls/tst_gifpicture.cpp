#include "GifBuilder.h"
#include "controls/GifPicture.h"

#include <QBuffer>
#include <QElapsedTimer>
#include <QMutex>
#include <QTest>
#include <atomic>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>

using namespace TestGif;

namespace {

// Collects what the animation thread reports, from that thread.
struct FrameLog
{
    mutable QMutex lock;
    QList<QImage> canvases;

    CGifPicture::FrameHook Hook()
    {
        return [this](int, const QImage& canvas) {
            QMutexLocker locker(&lock);
            canvases << canvas;
        };
    }
    int Count() const
    {
        QMutexLocker locker(&lock);
        return int(canvases.size());
    }
};

const QRgb kBackground = qRgb(10, 20, 30);

} // namespace

class TestGifPicture : public QObject
{
    Q_OBJECT

private slots:
    void loadsStill_data();
    void loadsStill();
    void failedLoadLeavesControlEmpty();
    void playsFrames_data();
    void playsFrames();
    void stopWakesFrameWithoutDelay();
    void stopGivesUpOnHungThread();
};

void TestGifPicture::loadsStill_data()
{
    QTest::addColumn<QByteArray>("data");
    QTest::addColumn<bool>("loads");
    QTest::addColumn<bool>("isGif");
    QTest::addColumn<QSize>("size");
    QTest::addColumn<QRgb>("color");

    QTest::newRow("one-frame GIF") << Gif(QSize(4, 3), {Frame{QRect(0, 0, 4, 3), 2}}) << true << true
                                   << QSize(4, 3) << kColors[2];
    QImage red(5, 2, QImage::Format_RGB32);
    red.fill(qRgb(255, 0, 0));
    QByteArray png;
    QBuffer buffer(&png);
    red.save(&buffer, "PNG");
    QTest::newRow("PNG") << png << true << false << QSize(5, 2) << qRgb(255, 0, 0);
    // Unknown versions are not split but handed over whole, and Qt does not read them.
    QTest::newRow("version 90a") << Gif(QSize(2, 2), {Frame{QRect(0, 0, 2, 2), 1}, Frame{QRect(0, 0, 2, 2), 2}},
                                        "GIF90a")
                                 << false << false << QSize() << QRgb(0);
    QTest::newRow("GIF without frames") << Head(QSize(2, 2)) + ";" << false << false << QSize() << QRgb(0);
}

void TestGifPicture::loadsStill()
{
    QFETCH(QByteArray, data);
    QFETCH(bool, loads);
    QFETCH(QSize, size);
    CGifPicture picture;
    QCOMPARE(picture.LoadFromMemory(data), loads);
    QTEST(picture.IsGif(), "isGif");
    QVERIFY(!picture.IsAnimated());
    QCOMPARE(picture.GetFrameCount(), 0);
    QCOMPARE(picture.GetPictureSize(), size);
    QCOMPARE(picture.Start(), loads); // a still picture is shown at once, with no thread
    QVERIFY(!picture.IsPlaying());
    if (loads) {
        QCOMPARE(picture.size(), size);
        QTEST(picture.GetCanvas().pixel(0, 0), "color");
        QTEST(picture.GetCanvas().pixel(size.width() - 1, size.height() - 1), "color");
    }
}

void TestGifPicture::failedLoadLeavesControlEmpty()
{
    CGifPicture picture;
    picture.SetBackground(QColor(kBackground));
    QCOMPARE(picture.GetBackground(), QColor(Qt::white)); // set only while something is loaded
    QVERIFY(picture.LoadFromResource(184, QStringLiteral("GIF")));
    QVERIFY(picture.IsAnimated());
    QVERIFY(picture.GetBackground() != QColor(Qt::white));

    QVERIFY(!picture.LoadFromMemory(QByteArray("GIF89a broken")));
    QVERIFY(!picture.IsGif() && !picture.IsAnimated());
    QVERIFY(picture.GetPictureSize().isEmpty());
    QCOMPARE(picture.GetBackground(), QColor(Qt::white));
    QVERIFY(!picture.Start());
    QVERIFY(!picture.IsPlaying());
    QVERIFY(!picture.LoadFromFile(QStringLiteral("/nonexistent/picture.gif")));
    QVERIFY(!picture.LoadFromResource(99999));
}

void TestGifPicture::playsFrames_data()
{
    QTest::addColumn<QByteArray>("data");
    QTest::addColumn<int>("call");
    QTest::addColumn<QPoint>("probe");
    QTest::addColumn<QRgb>("expected");

    const QSize screen(4, 4);
    const Frame red{QRect(0, 0, 4, 4), 1, true, 2}, green{QRect(3, 3, 1, 1), 3, true, 2};
    Frame blue{QRect(0, 0, 2, 2), 2, true, 2};
    // What the blue corner leaves behind once the next frame is drawn depends on its disposal.
    for (int disposal : {0, 1, 2, 3}) {
        blue.nDisposal = disposal;
        const QRgb after = disposal == 2 ? kBackground : disposal == 3 ? kColors[1] : kColors[2];
        QTest::addRow("disposal %d", disposal) << Gif(screen, {red, blue, green}) << 2 << QPoint(1, 1) << after;
    }
    QTest::newRow("frame drawn at its offset") << Gif(screen, {red, blue, green}) << 2 << QPoint(3, 3) << kColors[3];
    QTest::newRow("rest of the picture untouched")
        << Gif(screen, {red, blue, green}) << 2 << QPoint(2, 2) << kColors[1];
    Frame clear = red;
    clear.nTransparent = 1;
    QTest::newRow("transparent pixels show what is below")
        << Gif(screen, {Frame{QRect(0, 0, 4, 4), 2, true, 2}, clear}) << 1 << QPoint(2, 2) << kColors[2];
    QTest::newRow("loop starts on a clean picture")
        << Gif(screen, {Frame{QRect(0, 0, 1, 1), 1, true, 2}, green}) << 2 << QPoint(3, 3) << kBackground;
}

void TestGifPicture::playsFrames()
{
    QFETCH(QByteArray, data);
    QFETCH(int, call);
    QFETCH(QPoint, probe);
    FrameLog log;
    CGifPicture picture;
    QVERIFY(picture.LoadFromMemory(data));
    QVERIFY(picture.IsAnimated());
    picture.SetBackground(QColor(kBackground));
    picture.SetFrameHook(log.Hook());
    QVERIFY(!picture.Start());
    QVERIFY(picture.IsPlaying());
    QTRY_VERIFY(log.Count() > call);
    picture.Stop();
    QVERIFY(!picture.IsPlaying());
    QTEST(log.canvases[call].pixel(probe), "expected");
}

// A frame without a control extension stays until the animation is stopped, and stopping
// does not wait for it.
void TestGifPicture::stopWakesFrameWithoutDelay()
{
    FrameLog log;
    CGifPicture picture;
    Frame still{QRect(0, 0, 2, 2), 1};
    still.bControl = false;
    QVERIFY(picture.LoadFromMemory(Gif(QSize(2, 2), {still, Frame{QRect(0, 0, 2, 2), 2}})));
    picture.SetFrameHook(log.Hook());
    picture.Start();
    QTRY_COMPARE(log.Count(), 1);
    QTest::qWait(400);
    QCOMPARE(log.Count(), 1);

    QElapsedTimer timer;
    timer.start();
    picture.Stop();
    QVERIFY2(timer.elapsed() < 1000, qPrintable(QString::number(timer.elapsed())));
    QVERIFY(!picture.IsPlaying());
    picture.Start(); // playing again starts from the first frame
    QTRY_COMPARE(log.Count(), 2);
    picture.Stop();
}

void TestGifPicture::stopGivesUpOnHungThread()
{
    // Owned by the hook too: the abandoned thread may still run it after this test has ended.
    struct Hang
    {
        std::mutex mutex;
        std::condition_variable release;
        bool bLetGo = false;
        std::atomic<bool> bStuck{false}, bReleased{false};
        std::atomic<int> nCalls{0};
    };
    const auto hang = std::make_shared<Hang>();
    CGifPicture picture;
    picture.SetGiveUp(std::chrono::milliseconds(100));
    QVERIFY(picture.LoadFromMemory(Gif(QSize(2, 2), {Frame{QRect(0, 0, 2, 2), 1, true, 2}, Frame{QRect(0, 0, 2, 2), 2, true, 2}})));
    picture.SetFrameHook([hang](int, const QImage&) {
        if (hang->nCalls++ == 0) {
            hang->bStuck = true;
            std::unique_lock lock(hang->mutex);
            hang->release.wait(lock, [&] { return hang->bLetGo; });
            hang->bReleased = true;
        }
    });
    picture.Start();
    QTRY_VERIFY(hang->bStuck);

    // Stop gives up on the thread that does not answer, and returns while it still hangs.
    QElapsedTimer timer;
    timer.start();
    picture.Stop();
    QVERIFY2(timer.elapsed() >= 90, qPrintable(QStringLiteral("Stop took %1 ms").arg(timer.elapsed())));
    QVERIFY(!picture.IsPlaying());
    QVERIFY(!hang->bReleased);

    // The control carries on without the stuck thread, which ends on its own once it wakes.
    const int nBefore = hang->nCalls;
    picture.Start();
    QVERIFY(picture.IsPlaying());
    QTRY_VERIFY(hang->nCalls > nBefore + 2);
    picture.Stop();
    QVERIFY(!picture.IsPlaying());
    {
        std::lock_guard lock(hang->mutex);
        hang->bLetGo = true;
    }
    hang->release.notify_all();
    QTRY_VERIFY(hang->bReleased);
}

QTEST_MAIN(TestGifPicture)
#include "tst_gifpicture.moc"
