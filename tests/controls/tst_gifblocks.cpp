#include "GifBuilder.h"
#include "controls/GifBlocks.h"

#include <QImage>
#include <QTest>

using namespace TestGif;

namespace {

// "delay/disposal@x,y wxh" per frame, "-" for a frame without a delay of its own.
QStringList Describe(const GifBlocks::Layout& layout)
{
    QStringList out;
    for (const auto& f : layout.frames) {
        const QString delay =
            f.nDelay == GifBlocks::kNoDelay ? QStringLiteral("-") : QString::number(f.nDelay);
        out << QStringLiteral("%1/%2@%3,%4 %5x%6")
                   .arg(delay)
                   .arg(f.nDisposal)
                   .arg(f.frameOffset.x())
                   .arg(f.frameOffset.y())
                   .arg(f.frameSize.width())
                   .arg(f.frameSize.height());
    }
    return out;
}

} // namespace

class TestGifBlocks : public QObject
{
    Q_OBJECT

private slots:
    void readsHeader_data();
    void readsHeader();
    void measuresBlocks_data();
    void measuresBlocks();
    void splitsFrames_data();
    void splitsFrames();
    void framesAreOneImageGifs();
    void frameWait_data();
    void frameWait();
};

void TestGifBlocks::readsHeader_data()
{
    QTest::addColumn<QByteArray>("data");
    QTest::addColumn<bool>("isGif");
    QTest::addColumn<QSize>("screen");
    QTest::addColumn<int>("firstBlock");

    QTest::newRow("89a, 4 colours") << Head(QSize(600, 400)) << true << QSize(600, 400) << 13 + 12;
    QTest::newRow("87a, no table") << Head(QSize(3, 258), false, "GIF87a") << true << QSize(3, 258) << 13;
    QByteArray big = Head(QSize(2, 2), false) + QByteArray(768, '\0');
    big[10] = char(0x80 | 7);
    QTest::newRow("256 colours") << big << true << QSize(2, 2) << 13 + 768;
    QTest::newRow("version 90a") << Head(QSize(2, 2), true, "GIF90a") << false << QSize() << 13;
    QTest::newRow("lower case") << Head(QSize(2, 2), true, "gif89a") << false << QSize() << 13;
    QTest::newRow("header only") << QByteArray("GIF89a") << true << QSize() << 13;
}

void TestGifBlocks::readsHeader()
{
    QFETCH(QByteArray, data);
    QFETCH(bool, isGif);
    QFETCH(QSize, screen);
    QFETCH(int, firstBlock);
    GifBlocks::CBlockReader reader(data);
    QCOMPARE(reader.IsGif(), isGif);
    QCOMPARE(reader.GetScreenSize(), screen);
    QCOMPARE(int(reader.GetCursor()), firstBlock);
}

void TestGifBlocks::measuresBlocks_data()
{
    QTest::addColumn<QByteArray>("block");
    QTest::addColumn<int>("kind");
    QTest::addColumn<int>("length");

    using K = GifBlocks::BlockKind;
    Frame local(QRect(0, 0, 3, 2));
    const QByteArray image = ImageBlock(local);
    local.bLocalTable = true;
    QTest::newRow("application") << ApplicationBlock() << int(K::ApplicationExtension) << 14 + 5;
    QTest::newRow("comment of two sub-blocks")
        << CommentBlock(QByteArray(300, 'x')) << int(K::CommentExtension) << 2 + 256 + 46 + 1;
    QTest::newRow("control") << ControlExtension(10, 2, -1) << int(K::GraphicControl) << 8;
    QTest::newRow("plain text") << PlainTextBlock() << int(K::PlainText) << 15 + 4;
    QTest::newRow("image") << image << int(K::Image) << int(image.size());
    QTest::newRow("image, local table") << ImageBlock(local) << int(K::Image) << int(image.size()) + 24;
    QTest::newRow("trailer") << QByteArray(";") << int(K::Trailer) << 1;
    QTest::newRow("unknown label") << QByteArray::fromHex("217700") << int(K::Invalid) << 0;
    QTest::newRow("comment without end")
        << QByteArray::fromHex("21fe03616263") << int(K::CommentExtension) << 0;
    QTest::newRow("image cut short") << image.left(image.size() - 1) << int(K::Image) << 0;
}

void TestGifBlocks::measuresBlocks()
{
    QFETCH(QByteArray, block);
    QFETCH(int, kind);
    QFETCH(int, length);
    const QByteArray data = Head(QSize(4, 4)) + block;
    GifBlocks::CBlockReader reader(data);
    QCOMPARE(int(reader.GetBlockKind()), kind);
    QCOMPARE(int(reader.GetBlockLength()), length);
    QCOMPARE(reader.SkipBlock(), length > 0);
    QCOMPARE(reader.GetCursor(), reader.GetFirstBlock() + length);
}

void TestGifBlocks::splitsFrames_data()
{
    QTest::addColumn<QByteArray>("data");
    QTest::addColumn<int>("count");
    QTest::addColumn<QStringList>("frames");

    const QSize screen(8, 6);
    const Frame a(QRect(0, 0, 8, 6), 1, true, 10, 1);
    const Frame b(QRect(2, 3, 4, 2), 2, true, 50, 2);
    const Frame c(QRect(7, 5, 1, 1), 3, true, 0, 3);
    const QString fa = QStringLiteral("10/1@0,0 8x6");
    const QString fb = QStringLiteral("50/2@2,3 4x2");
    const QByteArray two = Gif(screen, {a, b});

    QTest::newRow("delays, disposals, offsets")
        << Gif(screen, {a, b, c}) << 3 << QStringList{fa, fb, QStringLiteral("0/3@7,5 1x1")};
    Frame bare = b;
    bare.bControl = false;
    QTest::newRow("no control extension")
        << Gif(screen, {a, bare}) << 2 << QStringList{fa, QStringLiteral("-/0@2,3 4x2")};
    Frame local = b;
    local.bLocalTable = true;
    QTest::newRow("local colour table") << Gif(screen, {local, a}) << 2 << QStringList{fb, fa};
    QTest::newRow("87a") << Gif(screen, {a, b}, "GIF87a") << 2 << QStringList{fa, fb};
    QTest::newRow("other blocks around frames") << Head(screen) + ApplicationBlock() + CommentBlock("x") +
                                                       FrameBytes(a) + CommentBlock("y") + FrameBytes(b) + ";"
                                                << 2 << QStringList{fa, fb};
    QTest::newRow("plain-text frame")
        << Head(screen) + FrameBytes(a) + ControlExtension(20, 0, -1) + PlainTextBlock() + FrameBytes(b) + ";"
        << 3 << QStringList{fa, QStringLiteral("20/0@0,0 0x0"), fb};

    // Only complete frames count; a broken rest of the file is ignored, not guessed at.
    QTest::newRow("one frame") << Gif(screen, {a}) << 1 << QStringList();
    QTest::newRow("no trailer") << two.chopped(1) << 2 << QStringList{fa, fb};
    QTest::newRow("cut in the second image") << two.chopped(4) << 1 << QStringList();
    QTest::newRow("cut in the first control")
        << Head(screen) + ControlExtension(10, 0, -1).left(5) << 0 << QStringList();
    QByteArray runsPast = Head(screen) + FrameBytes(a) + FrameBytes(b);
    runsPast.back() = char(40); // the terminator becomes the size of a block past the end
    QTest::newRow("sub-block past the end") << runsPast << 1 << QStringList();
    QTest::newRow("trailer in between")
        << Head(screen) + FrameBytes(a) + ";" + FrameBytes(b) << 1 << QStringList();
    QTest::newRow("unknown block in between")
        << Head(screen) + FrameBytes(a) + QByteArray::fromHex("217700") + FrameBytes(b) << 1 << QStringList();
    QTest::newRow("control without image")
        << Head(screen) + FrameBytes(a) + ControlExtension(5, 0, -1) + ";" << 1 << QStringList();
    QByteArray tableTooBig = Head(screen, false) + FrameBytes(a) + FrameBytes(b);
    tableTooBig[10] = char(0x80 | 7);
    QTest::newRow("colour table past the end") << tableTooBig.left(113) << 0 << QStringList();
}

void TestGifBlocks::splitsFrames()
{
    QFETCH(QByteArray, data);
    QFETCH(int, count);
    QFETCH(QStringList, frames);
    const GifBlocks::Layout layout = GifBlocks::Split(data);
    QVERIFY(layout.bIsGif);
    QCOMPARE(layout.screenSize, QSize(8, 6));
    QCOMPARE(layout.nFrameCount, count);
    QCOMPARE(Describe(layout), frames);
}

// Each frame must stand on its own, carrying its control extension and image but nothing that
// stood between them, and Qt's decoder must find the frame's colour in the frame's place.
void TestGifBlocks::framesAreOneImageGifs()
{
    const QSize screen(8, 6);
    Frame a(QRect(0, 0, 8, 6), 1, true, 30, 2);
    a.betweenControlAndImage = CommentBlock("note") + ApplicationBlock();
    const Frame b(QRect(2, 3, 4, 2), 2, false);
    Frame c(QRect(5, 1, 3, 2), 3, true, 7, 0);
    c.bLocalTable = true;
    const GifBlocks::Layout layout = GifBlocks::Split(Gif(screen, {a, b, c}));
    QCOMPARE(layout.frames.size(), 3);

    a.betweenControlAndImage.clear();
    const QList<Frame> expected{a, b, c};
    for (qsizetype i = 0; i < 3; ++i) {
        const QByteArray& gif = layout.frames[i].gif;
        QCOMPARE(gif, Head(screen) + FrameBytes(expected[i]) + ";");
        const QImage image = QImage::fromData(gif, "GIF");
        QVERIFY2(!image.isNull(), qPrintable(QStringLiteral("frame %1").arg(i)));
        const QRect& r = expected[i].rect;
        QCOMPARE(image.pixel(r.topLeft()), kColors[expected[i].nColor]);
        QCOMPARE(image.pixel(r.bottomRight()), kColors[expected[i].nColor]);
    }
}

void TestGifBlocks::frameWait_data()
{
    QTest::addColumn<uint>("delay");
    QTest::addColumn<int>("ms");
    QTest::newRow("0") << 0u << 100;
    QTest::newRow("4") << 4u << 100;
    QTest::newRow("5") << 5u << 50;
    QTest::newRow("10") << 10u << 100;
    QTest::newRow("50") << 50u << 500;
    QTest::newRow("none") << uint(GifBlocks::kNoDelay) << -1;
}

void TestGifBlocks::frameWait()
{
    QFETCH(uint, delay);
    QFETCH(int, ms);
    QCOMPARE(GifBlocks::FrameWaitMs(delay), ms);
}

QTEST_GUILESS_MAIN(TestGifBlocks)
#include "tst_gifblocks.moc"
