#include "GifBuilder.h"
#include "controls/GifBlocks.h"
#include "controls/GifPicture.h"

#include <QBuffer>
#include <QElapsedTimer>
#include <QFile>
#include <QMutex>
#include <QTest>
#include <atomic>
#include <thread>

using namespace TestGif;

namespace {

// Collects what the animation thread reports, from that thread.
class FrameLog
{
public:
    FrameLog() { m_clock.start(); }
    CGifPicture::FrameHook Hook()
    {
        return [this](int nFrame, const QImage& canvas) {
            QMutexLocker locker(&m_lock);
            m_frames << nFrame;
            m_times << m_clock.elapsed();
            m_canvases << canvas;
        };
    }
    int Count() const
    {
        QMutexLocker locker(&m_lock);
        return int(m_frames.size());
    }
    QImage Canvas(int nCall) const
    {
        QMutexLocker locker(&m_lock);
        return m_canvases.value(nCall);
    }
    qint64 Time(int nCall) const
    {
        QMutexLocker locker(&m_lock);
        return m_times.value(nCall);
    }

private:
    mutable QMutex m_lock;
    QElapsedTimer m_clock;
    QList<int> m_frames;
    QList<qint64> m_times;
    QList<QImage> m_canvases;
};

QByteArray Encoded(const QImage& image, const char* format)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format);
    return bytes;
}

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
    void shortDelaysPlayAtTenthOfSecond_data();
    void shortDelaysPlayAtTenthOfSecond();
    void stopWakesFrameWithoutDelay();
    void stopGivesUpOnHungThread();
    void loadsArtwork_data();
    void loadsArtwork();
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
    QTest::newRow("PNG") << Encoded(red, "PNG") << true << false << QSize(5, 2) << qRgb(255, 0, 0);
    QTest::newRow("BMP") << Encoded(red, "BMP") << true << false << QSize(5, 2) << qRgb(255, 0, 0);
    // Unknown versions are not split but handed over whole, and Qt does not read them.
    const QList<Frame> two{Frame{QRect(0, 0, 2, 2), 1}, Frame{QRect(0, 0, 2, 2), 2}};
    QTest::newRow("version 90a") << Gif(QSize(2, 2), two, "GIF90a") << false << false << QSize() << QRgb(0);
    QTest::newRow("GIF without frames") << Head(QSize(2, 2)) + ";" << false << false << QSize() << QRgb(0);
    QTest::newRow("not a picture") << QByteArray("hello, world") << false << false << QSize() << QRgb(0);
}

void TestGifPicture::loadsStill()
{
    QFETCH(bool, loads);
    QFETCH(QSize, size);
    CGifPicture picture;
    QFETCH(QByteArray, data);
    QCOMPARE(picture.LoadFromMemory(data), loads);
    QFETCH(bool, isGif);
    QCOMPARE(picture.IsGif(), isGif);
    QVERIFY(!picture.IsAnimated());
    QCOMPARE(picture.GetFrameCount(), 0);
    QCOMPARE(picture.GetPictureSize(), size);
    QCOMPARE(picture.Start(), loads);
    QVERIFY(!picture.IsPlaying());
    if (loads) {
        QCOMPARE(picture.size(), size);
        const QImage canvas = picture.GetCanvas();
        QFETCH(QRgb, color);
        QCOMPARE(canvas.pixel(0, 0), color);
        QCOMPARE(canvas.pixel(size.width() - 1, size.height() - 1), color);
    }
}

void TestGifPicture::failedLoadLeavesControlEmpty()
{
    CGifPicture picture;
    picture.SetBackground(QColor(kBackground));
    QCOMPARE(picture.GetBackground(), QColor(Qt::white));

    QVERIFY(picture.LoadFromResource(184, QStringLiteral("GIF")));
    QVERIFY(picture.IsAnimated());
    QVERIFY(picture.GetBackground() != QColor(Qt::white));

    QVERIFY(!picture.LoadFromMemory(QByteArray("GIF89a broken")));
    QVERIFY(!picture.IsGif());
    QVERIFY(!picture.IsAnimated());
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
    const Frame red{QRect(0, 0, 4, 4), 1, true, 2, 0};
    Frame blue{QRect(0, 0, 2, 2), 2, true, 2, 0};
    const Frame green{QRect(3, 3, 1, 1), 3, true, 2, 0};
    // What the blue corner leaves behind once the next frame is drawn depends on its disposal.
    for (int disposal : {0, 1, 2, 3}) {
        blue.nDisposal = disposal;
        const QRgb after = disposal == 2 ? kBackground : disposal == 3 ? kColors[1] : kColors[2];
        QTest::addRow("disposal %d", disposal)
            << Gif(screen, {red, blue, green}) << 2 << QPoint(1, 1) << after;
    }
    blue.nDisposal = 0;
    QTest::newRow("frame drawn at its offset")
        << Gif(screen, {red, blue, green}) << 2 << QPoint(3, 3) << kColors[3];
    QTest::newRow("rest of the picture untouched")
        << Gif(screen, {red, blue, green}) << 2 << QPoint(2, 2) << kColors[1];
    Frame clear = red;
    clear.nTransparent = 1;
    QTest::newRow("transparent pixels show what is below")
        << Gif(screen, {Frame{QRect(0, 0, 4, 4), 2, true, 2, 0}, clear}) << 1 << QPoint(2, 2) << kColors[2];
    const Frame corner{QRect(0, 0, 1, 1), 1, true, 2, 0};
    QTest::newRow("loop starts on a clean picture")
        << Gif(screen, {corner, green}) << 2 << QPoint(3, 3) << kBackground;
}

void TestGifPicture::playsFrames()
{
    QFETCH(int, call);
    FrameLog log;
    CGifPicture picture;
    QFETCH(QByteArray, data);
    QVERIFY(picture.LoadFromMemory(data));
    QVERIFY(picture.IsAnimated());
    picture.SetBackground(QColor(kBackground));
    picture.SetFrameHook(log.Hook());
    QVERIFY(!picture.Start());
    QVERIFY(picture.IsPlaying());
    QTRY_VERIFY(log.Count() > call);
    picture.Stop();
    QVERIFY(!picture.IsPlaying());
    QFETCH(QPoint, probe);
    QFETCH(QRgb, expected);
    QCOMPARE(log.Canvas(call).pixel(probe), expected);
}

void TestGifPicture::shortDelaysPlayAtTenthOfSecond_data()
{
    QTest::addColumn<int>("delay");
    QTest::addColumn<int>("minMs");
    QTest::newRow("0 hundredths") << 0 << 90;
    QTest::newRow("4 hundredths") << 4 << 90;
    QTest::newRow("50 hundredths") << 50 << 490;
}

void TestGifPicture::shortDelaysPlayAtTenthOfSecond()
{
    QFETCH(int, delay);
    QFETCH(int, minMs);
    FrameLog log;
    CGifPicture picture;
    QVERIFY(picture.LoadFromMemory(Gif(
        QSize(2, 2), {Frame{QRect(0, 0, 2, 2), 1, true, delay}, Frame{QRect(0, 0, 2, 2), 2, true, delay}})));
    picture.SetFrameHook(log.Hook());
    picture.Start();
    QTRY_VERIFY(log.Count() >= 2);
    picture.Stop();
    const qint64 nGap = log.Time(1) - log.Time(0);
    QVERIFY2(nGap >= minMs, qPrintable(QStringLiteral("%1 ms between frames").arg(nGap)));
    QVERIFY2(nGap < minMs + 1000, qPrintable(QStringLiteral("%1 ms between frames").arg(nGap)));
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

    // Playing again starts from the first frame.
    picture.Start();
    QTRY_COMPARE(log.Count(), 2);
    picture.Stop();
}

void TestGifPicture::stopGivesUpOnHungThread()
{
    std::atomic<bool> bStuck{false};
    std::atomic<bool> bReleased{false};
    std::atomic<int> nCalls{0};
    CGifPicture picture;
    QVERIFY(picture.LoadFromMemory(
        Gif(QSize(2, 2), {Frame{QRect(0, 0, 2, 2), 1, true, 2}, Frame{QRect(0, 0, 2, 2), 2, true, 2}})));
    picture.SetFrameHook([&](int, const QImage&) {
        if (nCalls++ == 0) {
            bStuck = true;
            std::this_thread::sleep_for(std::chrono::milliseconds(7000));
            bReleased = true;
        }
    });
    picture.Start();
    QTRY_VERIFY(bStuck);

    QElapsedTimer timer;
    timer.start();
    picture.Stop();
    const qint64 nMs = timer.elapsed();
    QVERIFY2(nMs >= 4500 && nMs < 6500, qPrintable(QStringLiteral("Stop took %1 ms").arg(nMs)));
    QVERIFY(!picture.IsPlaying());
    QVERIFY(!bReleased);

    // The control carries on without the stuck thread.
    const int nBefore = nCalls;
    picture.Start();
    QVERIFY(picture.IsPlaying());
    QTRY_VERIFY(nCalls > nBefore + 2);
    timer.restart();
    picture.Stop();
    QVERIFY(timer.elapsed() < 1000);

    // The abandoned thread ends on its own once it wakes.
    QTRY_VERIFY_WITH_TIMEOUT(bReleased, 5000);
    QTest::qWait(200);
}

// The committed pictures have the sizes their windows are laid out for, and every frame decodes.
void TestGifPicture::loadsArtwork_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QSize>("size");
    QTest::addColumn<int>("frames");
    QTest::addColumn<int>("hundredths"); // the whole animation, 0 when it does not matter

    const auto art = [](int nId) { return CGifPicture::ResourcePath(nId, QStringLiteral("GIF")); };
    QTest::newRow("167 in-progress marker") << art(167) << QSize(10, 10) << 8 << 0;
    QTest::newRow("172 about box strip") << art(172) << QSize(481, 103) << 36 << 0;
    QTest::newRow("184 timetable clock") << art(184) << QSize(32, 32) << 12 << 0;
    QTest::newRow("229 holiday strip") << art(229) << QSize(72, 232) << 12 << 0;
    QTest::newRow("129 splash") << QStringLiteral(KESTRUM_SOURCE_DIR "/res/splash/129.gif") << QSize(600, 400)
                                << 15 << 580;
}

void TestGifPicture::loadsArtwork()
{
    QFETCH(QString, path);
    QFETCH(QSize, size);
    QFETCH(int, frames);
    QFETCH(int, hundredths);
    QFile file(path);
    QVERIFY2(file.open(QIODevice::ReadOnly), qPrintable(path));
    const QByteArray data = file.readAll();
    QVERIFY(data.startsWith("GIF89a"));
    QVERIFY(quint8(data[10]) & 0x80); // one global colour table
    CGifPicture picture;
    QVERIFY(picture.LoadFromMemory(data));
    QCOMPARE(picture.GetPictureSize(), size);
    QCOMPARE(picture.GetFrameCount(), frames);
    if (hundredths > 0) {
        uint nTotal = 0;
        for (const auto& frame : GifBlocks::Split(data).frames)
            nTotal += frame.nDelay;
        QCOMPARE(nTotal, uint(hundredths));
    }
}

QTEST_MAIN(TestGifPicture)
#include "tst_gifpicture.moc"
