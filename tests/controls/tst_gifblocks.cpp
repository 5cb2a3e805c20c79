#include "GifBuilder.h"
#include "controls/GifBlocks.h"

#include <QImage>
#include <QTest>

using namespace TestGif;

class TestGifBlocks : public QObject
{
    Q_OBJECT

private slots:

    void splitsFrames_data()
    {
        QTest::addColumn<QByteArray>("data");
        QTest::addColumn<int>("count");
        QTest::addColumn<QStringList>("frames"); // "delay/disposal@x,y wxh", "-" for no delay of its own

        const QSize screen(8, 6);
        const Frame a{QRect(0, 0, 8, 6), 1, true, 10, 1}, b{QRect(2, 3, 4, 2), 2, true, 50, 2};
        const QString fa = QStringLiteral("10/1@0,0 8x6"), fb = QStringLiteral("50/2@2,3 4x2");
        const QByteArray two = Gif(screen, {a, b});

        QTest::newRow("delays, disposals, offsets")
            << Gif(screen, {a, b, Frame{QRect(7, 5, 1, 1), 3, true, 0, 3}}) << 3
            << QStringList{fa, fb, QStringLiteral("0/3@7,5 1x1")};
        Frame bare = b;
        bare.bControl = false;
        QTest::newRow("no control extension")
            << Gif(screen, {a, bare}) << 2 << QStringList{fa, QStringLiteral("-/0@2,3 4x2")};
        Frame local = b;
        local.bLocalTable = true;
        QTest::newRow("local colour table") << Gif(screen, {local, a}) << 2 << QStringList{fb, fa};
        QTest::newRow("87a") << Gif(screen, {a, b}, "GIF87a") << 2 << QStringList{fa, fb};
        QTest::newRow("other blocks around frames")
            << Head(screen) + ApplicationBlock() + CommentBlock("x") + FrameBytes(a) + CommentBlock("y") +
                   FrameBytes(b) + ";"
            << 2 << QStringList{fa, fb};
        QTest::newRow("plain-text frame") << Head(screen) + FrameBytes(a) + ControlExtension(20, 0, -1) +
                                                 PlainTextBlock() + FrameBytes(b) + ";"
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
        QTest::newRow("unknown block in between")
            << Head(screen) + FrameBytes(a) + QByteArray::fromHex("217700") + FrameBytes(b) << 1
            << QStringList();
        QByteArray tableTooBig = Head(screen, false) + FrameBytes(a) + FrameBytes(b);
        tableTooBig[10] = char(0x80 | 7);
        QTest::newRow("colour table past the end") << tableTooBig.left(113) << 0 << QStringList();
    }

    void splitsFrames()
    {
        QFETCH(QByteArray, data);
        QFETCH(QStringList, frames);
        const GifBlocks::Layout layout = GifBlocks::Split(data);
        QVERIFY(layout.bIsGif);
        QCOMPARE(layout.screenSize, QSize(8, 6));
        QStringList actual;
        for (const auto& f : layout.frames)
            actual << QStringLiteral("%1/%2@%3,%4 %5x%6")
                          .arg(f.nDelay == GifBlocks::kNoDelay ? QStringLiteral("-")
                                                               : QString::number(f.nDelay))
                          .arg(f.nDisposal)
                          .arg(f.frameOffset.x())
                          .arg(f.frameOffset.y())
                          .arg(f.frameSize.width())
                          .arg(f.frameSize.height());
        QTEST(layout.nFrameCount, "count");
        QCOMPARE(actual, frames);
    }

    // Each frame stands on its own, with its control extension and image but nothing that stood
    // between them, and Qt's decoder finds the frame's colour in the frame's place.
    void framesAreOneImageGifs()
    {
        const QSize screen(8, 6);
        Frame a{QRect(0, 0, 8, 6), 1, true, 30, 2}, b{QRect(2, 3, 4, 2), 2, false},
            c{QRect(5, 1, 3, 2), 3, true, 7};
        a.betweenControlAndImage = CommentBlock("note") + ApplicationBlock();
        c.bLocalTable = true;
        const GifBlocks::Layout layout = GifBlocks::Split(Gif(screen, {a, b, c}));
        QCOMPARE(layout.frames.size(), 3);

        a.betweenControlAndImage.clear();
        const QList<Frame> expected{a, b, c};
        for (qsizetype i = 0; i < 3; ++i) {
            const QByteArray& gif = layout.frames[i].gif;
            QCOMPARE(gif, Head(screen) + FrameBytes(expected[i]) + ";");
            const QImage image = QImage::fromData(gif, "GIF");
            QVERIFY(!image.isNull());
            QCOMPARE(image.pixel(expected[i].rect.topLeft()), kColors[expected[i].nColor]);
            QCOMPARE(image.pixel(expected[i].rect.bottomRight()), kColors[expected[i].nColor]);
        }
    }

    void frameWait()
    {
        // Delays under 5 hundredths play at a tenth of a second; no delay at all waits for Stop.
        QCOMPARE(GifBlocks::FrameWaitMs(0), 100);
        QCOMPARE(GifBlocks::FrameWaitMs(4), 100);
        QCOMPARE(GifBlocks::FrameWaitMs(5), 50);
        QCOMPARE(GifBlocks::FrameWaitMs(GifBlocks::kNoDelay), -1);
    }
};

QTEST_GUILESS_MAIN(TestGifBlocks)
#include "tst_gifblocks.moc"
