#pragma once

// Builds GIF files byte by byte for the tests, so that every block and every length in them
// is known. Pixels are stored with an LZW stream that never compresses: each pixel is a root
// code and a clear code follows before the code width would grow.

#include <QByteArray>
#include <QList>
#include <QRect>
#include <QRgb>

namespace TestGif {

/// Palette of the test pictures: index 0 white, 1 red, 2 blue, 3 green.
inline const QList<QRgb> kColors = {qRgb(255, 255, 255), qRgb(255, 0, 0), qRgb(0, 0, 255), qRgb(0, 255, 0)};

struct Frame
{
    Frame(const QRect& r, int color = 1, bool control = true, int delay = 10, int disposal = 0)
        : rect(r), nColor(color), bControl(control), nDelay(delay), nDisposal(disposal)
    {}

    QRect rect;           ///< offset and size on the logical screen
    int nColor = 1;       ///< every pixel has this index
    bool bControl = true; ///< write a graphic control extension
    int nDelay = 10;
    int nDisposal = 0;
    int nTransparent = -1;             ///< index marked transparent, -1 for none
    bool bLocalTable = false;          ///< give the image a local colour table (8 entries)
    QByteArray betweenControlAndImage; ///< raw blocks placed between the two
};

inline QByteArray Word(int n)
{
    QByteArray b;
    b.append(char(n & 0xFF));
    b.append(char((n >> 8) & 0xFF));
    return b;
}

inline QByteArray SubBlocks(const QByteArray& data)
{
    QByteArray out;
    for (qsizetype i = 0; i < data.size(); i += 255) {
        const QByteArray chunk = data.mid(i, 255);
        out.append(char(chunk.size()));
        out.append(chunk);
    }
    out.append(char(0));
    return out;
}

inline QByteArray Lzw(const QList<int>& indices, int nMinCodeSize)
{
    const int nClear = 1 << nMinCodeSize;
    const int nWidth = nMinCodeSize + 1;
    const int nGroup = (1 << nMinCodeSize) - 2;
    QByteArray out;
    quint32 acc = 0;
    int nBits = 0;
    auto put = [&](int code) {
        acc |= quint32(code) << nBits;
        nBits += nWidth;
        while (nBits >= 8) {
            out.append(char(acc & 0xFF));
            acc >>= 8;
            nBits -= 8;
        }
    };
    for (qsizetype i = 0; i < indices.size(); ++i) {
        if (i % nGroup == 0)
            put(nClear);
        put(indices[i]);
    }
    put(nClear + 1);
    if (nBits > 0)
        out.append(char(acc & 0xFF));
    return out;
}

inline QByteArray ControlExtension(int nDelay, int nDisposal, int nTransparent)
{
    QByteArray b("\x21\xF9\x04", 3);
    b.append(char((nDisposal << 2) | (nTransparent >= 0 ? 1 : 0)));
    b.append(Word(nDelay));
    b.append(char(nTransparent >= 0 ? nTransparent : 0));
    b.append(char(0));
    return b;
}

inline QByteArray ImageBlock(const Frame& f)
{
    QByteArray b;
    b.append(char(0x2C));
    b.append(Word(f.rect.x()));
    b.append(Word(f.rect.y()));
    b.append(Word(f.rect.width()));
    b.append(Word(f.rect.height()));
    if (f.bLocalTable) {
        b.append(char(0x80 | 2)); // 2^(2+1) = 8 entries
        for (int i = 0; i < 8; ++i) {
            const QRgb c = kColors[i % kColors.size()];
            b.append(char(qRed(c)));
            b.append(char(qGreen(c)));
            b.append(char(qBlue(c)));
        }
    } else {
        b.append(char(0));
    }
    b.append(char(2));
    b.append(SubBlocks(Lzw(QList<int>(f.rect.width() * f.rect.height(), f.nColor), 2)));
    return b;
}

inline QByteArray CommentBlock(const QByteArray& text)
{
    return QByteArray("\x21\xFE", 2) + SubBlocks(text);
}

inline QByteArray ApplicationBlock()
{
    return QByteArray("\x21\xFF\x0BNETSCAPE2.0", 14) + SubBlocks(QByteArray("\x01\x00\x00", 3));
}

inline QByteArray PlainTextBlock()
{
    return QByteArray("\x21\x01\x0C", 3) + QByteArray(12, '\0') + SubBlocks("hi");
}

/// Header, logical screen and (with \a bGlobalTable) the four-colour global table.
inline QByteArray Head(const QSize& screen, bool bGlobalTable = true, const QByteArray& version = "GIF89a")
{
    QByteArray b = version;
    b.append(Word(screen.width()));
    b.append(Word(screen.height()));
    b.append(char(bGlobalTable ? 0x80 | 1 : 0));
    b.append(char(0));
    b.append(char(0));
    if (bGlobalTable) {
        for (QRgb c : kColors) {
            b.append(char(qRed(c)));
            b.append(char(qGreen(c)));
            b.append(char(qBlue(c)));
        }
    }
    return b;
}

inline QByteArray FrameBytes(const Frame& f)
{
    QByteArray b;
    if (f.bControl)
        b.append(ControlExtension(f.nDelay, f.nDisposal, f.nTransparent));
    b.append(f.betweenControlAndImage);
    b.append(ImageBlock(f));
    return b;
}

/// A complete file.
inline QByteArray Gif(const QSize& screen, const QList<Frame>& frames, const QByteArray& version = "GIF89a")
{
    QByteArray b = Head(screen, true, version);
    for (const Frame& f : frames)
        b.append(FrameBytes(f));
    b.append(char(0x3B));
    return b;
}

} // namespace TestGif
