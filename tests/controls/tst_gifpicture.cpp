#include "GifBuilder.h"
#include "controls/GifPicture.h"

#include <QBuffer>
#include <QElapsedTimer>
#include <QTest>
#include <atomic>
#include <future>
#include <memory>

using namespace TestGif;

constexpr QRgb kBackground = qRgb(10, 20, 30);

class TestGifPicture : public QObject
{
    Q_OBJECT

private slots:
    // Whatever was loaded before is replaced; a failed load leaves the control empty.
    void loadsStill_data()
    {
        QTest::addColumn<QByteArray>("data");
        QTest::addColumn<QSize>("size"); // empty where the load fails

        QImage blue(5, 2, QImage::Format_RGB32);
        blue.fill(kColors[2]);
        QByteArray png;
        QBuffer buffer(&png);
        blue.save(&buffer, "PNG");
        QTest::newRow("one-frame GIF") << Gif(QSize(4, 3), {Frame{QRect(0, 0, 4, 3), 2}}) << QSize(4, 3);
        QTest::newRow("PNG") << png << QSize(5, 2);
        // Unknown versions are not split but handed over whole, and Qt does not read them.
        const Frame frame{QRect(0, 0, 2, 2), 2};
        QTest::newRow("version 90a") << Gif(QSize(2, 2), {frame, frame}, "GIF90a") << QSize();
        QTest::newRow("GIF without frames") << Head(QSize(2, 2)) + ";" << QSize();
        QTest::newRow("broken GIF") << QByteArray("GIF89a broken") << QSize();
    }

    void loadsStill()
    {
        QFETCH(QByteArray, data);
        QFETCH(QSize, size);
        const bool loads = !size.isEmpty();
        CGifPicture picture;
        picture.SetBackground(QColor(kBackground));
        QCOMPARE(picture.GetBackground(), QColor(Qt::white)); // set only while something is loaded
        QVERIFY(picture.LoadFromResource(184, QStringLiteral("GIF")));
        QVERIFY(picture.IsAnimated());
        picture.SetBackground(QColor(kBackground));
        QCOMPARE(picture.LoadFromMemory(data), loads);
        QCOMPARE(picture.IsGif(), loads && data.startsWith("GIF"));
        QVERIFY(!picture.IsAnimated());
        QCOMPARE(picture.GetFrameCount(), 0);
        QCOMPARE(picture.GetPictureSize(), size);
        QCOMPARE(picture.Start(), loads); // a still picture is shown at once, with no thread
        QVERIFY(!picture.IsPlaying());
        if (loads) {
            QCOMPARE(picture.size(), size);
            QCOMPARE(picture.GetCanvas().pixel(0, 0), kColors[2]);
            QCOMPARE(picture.GetCanvas().pixel(size.width() - 1, size.height() - 1), kColors[2]);
        } else {
            QCOMPARE(picture.GetBackground(), QColor(Qt::white));
        }
        QVERIFY(!picture.LoadFromFile(QStringLiteral("/nonexistent/picture.gif")));
        QVERIFY(!picture.LoadFromResource(99999));
    }

    void playsFrames_data()
    {
        QTest::addColumn<QByteArray>("data");
        QTest::addColumn<int>("call");
        QTest::addColumn<QPoint>("probe");
        QTest::addColumn<QRgb>("expected");

        const QSize screen(4, 4);
        const Frame red{QRect(0, 0, 4, 4), 1, true, 5}, green{QRect(3, 3, 1, 1), 3, true, 5};
        Frame blue{QRect(0, 0, 2, 2), 2, true, 5};
        // What the blue corner leaves behind once the next frame is drawn depends on its disposal.
        for (int disposal : {0, 1, 2, 3}) {
            blue.nDisposal = disposal;
            const QRgb after = disposal == 2 ? kBackground : disposal == 3 ? kColors[1] : kColors[2];
            QTest::addRow("disposal %d", disposal)
                << Gif(screen, {red, blue, green}) << 2 << QPoint(1, 1) << after;
        }
        QTest::newRow("frame drawn at its offset")
            << Gif(screen, {red, blue, green}) << 2 << QPoint(3, 3) << kColors[3];
        QTest::newRow("rest of the picture untouched")
            << Gif(screen, {red, blue, green}) << 2 << QPoint(2, 2) << kColors[1];
        Frame clear = red;
        clear.nTransparent = 1;
        QTest::newRow("transparent pixels show what is below")
            << Gif(screen, {Frame{QRect(0, 0, 4, 4), 2, true, 5}, clear}) << 1 << QPoint(2, 2) << kColors[2];
        QTest::newRow("loop starts on a clean picture")
            << Gif(screen, {Frame{QRect(0, 0, 1, 1), 1, true, 5}, green}) << 2 << QPoint(3, 3) << kBackground;
    }

    void playsFrames()
    {
        QFETCH(QByteArray, data);
        QFETCH(int, call);
        QFETCH(QPoint, probe);
        std::atomic<int> nFrames{0};
        QImage canvas; // written on the animation thread, read once Stop has joined it
        CGifPicture picture;
        QVERIFY(picture.LoadFromMemory(data));
        picture.SetBackground(QColor(kBackground));
        picture.SetFrameHook([&](int, const QImage& drawn) {
            if (nFrames == call)
                canvas = drawn;
            ++nFrames;
        });
        QVERIFY(!picture.Start()); // animated: played on a thread
        QVERIFY(picture.IsPlaying());
        QTRY_VERIFY(nFrames > call);
        picture.Stop();
        QVERIFY(!picture.IsPlaying());
        QTEST(canvas.pixel(probe), "expected");
    }

    // A frame without a control extension stays until stopped, and stopping wakes it: with an
    // hour's give-up, a stop that waited would hold the test until CTest ends it.
    void stopWakesFrameWithoutDelay()
    {
        std::atomic<int> nFrames{0};
        CGifPicture picture;
        picture.SetGiveUp(std::chrono::hours(1));
        QVERIFY(picture.LoadFromMemory(
            Gif(QSize(2, 2), {Frame{QRect(0, 0, 2, 2), 1, false}, Frame{QRect(0, 0, 2, 2), 2}})));
        picture.SetFrameHook([&](int, const QImage&) { ++nFrames; });
        picture.Start();
        QTRY_COMPARE(nFrames.load(), 1);
        QTest::qWait(200);
        QCOMPARE(nFrames.load(), 1);
        picture.Stop();
        QVERIFY(!picture.IsPlaying());
        picture.Start(); // playing again starts from the first frame
        QTRY_COMPARE(nFrames.load(), 2);
        picture.Stop();
    }

    void stopGivesUpOnHungThread()
    {
        // Owned by the hook too: the abandoned thread may still run it after this test has ended.
        struct Hang
        {
            std::promise<void> letGo;
            std::shared_future<void> wake = letGo.get_future().share();
            std::atomic<bool> bStuck{false}, bReleased{false};
            std::atomic<int> nCalls{0};
        };
        const auto hang = std::make_shared<Hang>();
        CGifPicture picture;
        picture.SetGiveUp(std::chrono::milliseconds(100));
        QVERIFY(picture.LoadFromMemory(
            Gif(QSize(2, 2), {Frame{QRect(0, 0, 2, 2), 1, true, 5}, Frame{QRect(0, 0, 2, 2), 2, true, 5}})));
        picture.SetFrameHook([hang](int, const QImage&) {
            if (hang->nCalls++ == 0) {
                hang->bStuck = true;
                hang->wake.wait();
                hang->bReleased = true;
            }
        });
        picture.Start();
        QTRY_VERIFY(hang->bStuck);

        // Stop waits its give-up for the thread that does not answer, then returns while it hangs.
        QElapsedTimer timer;
        timer.start();
        picture.Stop();
        QVERIFY2(timer.elapsed() >= 90, qPrintable(QString::number(timer.elapsed())));
        QVERIFY(!picture.IsPlaying());
        QVERIFY(!hang->bReleased);

        // The control carries on without the stuck thread, which ends on its own once it wakes.
        picture.Start();
        QVERIFY(picture.IsPlaying());
        QTRY_VERIFY(hang->nCalls > 3);
        picture.Stop();
        QVERIFY(!picture.IsPlaying());
        hang->letGo.set_value();
        QTRY_VERIFY(hang->bReleased);
    }
};

QTEST_MAIN(TestGifPicture)
#include "tst_gifpicture.moc"
