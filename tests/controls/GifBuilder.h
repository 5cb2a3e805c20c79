#pragma once

// GIF files byte by byte, every block and length known. The LZW stream never compresses: each
// pixel a root code, a clear code before the code width would grow.

#include <QByteArray>
#include <QList>
#include <QRect>
#include <QRgb>

namespace TestGif {

/// Palette of the test pictures: index 0 white, 1 red, 2 blue, 3 green.
inline const QList<QRgb> kColors = {qRgb(255, 255, 255), qRgb(255, 0, 0), qRgb(0, 0, 255), qRgb(0, 255, 0)};

struct Frame
{
    QRect rect;           ///< offset and size on the logical screen
    int nColor = 1;       ///< every pixel has this index
    bool bControl = true; ///< write a graphic control extension
    int nDelay = 10, nDisposal = 0;
    int nTransparent = -1; ///< index marked transparent, -1 for none
    bool bLocalTable = false;
    QByteArray betweenControlAndImage = {}; ///< raw blocks placed between the two
};

inline QByteArray Word(int n)
{
    return QByteArray(1, char(n & 0xFF)) + char((n >> 8) & 0xFF);
}

inline QByteArray Rgb(const QList<QRgb>& colors)
{
    QByteArray b;
    for (QRgb c : colors)
        b += QByteArray(1, char(qRed(c))) + char(qGreen(c)) + char(qBlue(c));
    return b;
}

inline QByteArray SubBlocks(const QByteArray& data)
{
    QByteArray out;
    for (qsizetype i = 0; i < data.size(); i += 255)
        out += char(data.mid(i, 255).size()) + data.mid(i, 255);
    return out + char(0);
}

inline QByteArray Lzw(qsizetype nPixels, int nIndex)
{
    // Three-bit codes (minimum code size 2): the clear code 4 before every second pixel, 5 at the end.
    const qsizetype nCodes = nPixels + (nPixels + 1) / 2 + 1;
    QByteArray out;
    quint32 acc = 0;
    int nBits = 0;
    for (qsizetype i = 0; i < nCodes; ++i) {
        acc |= quint32(i + 1 == nCodes ? 5 : i % 3 ? nIndex : 4) << nBits;
        for (nBits += 3; nBits >= 8; nBits -= 8, acc >>= 8)
            out.append(char(acc & 0xFF));
    }
    return nBits > 0 ? out + char(acc & 0xFF) : out;
}

inline QByteArray ControlExtension(int nDelay, int nDisposal, int nTransparent)
{
    return QByteArray("\x21\xF9\x04", 3) + char((nDisposal << 2) | (nTransparent >= 0 ? 1 : 0)) +
           Word(nDelay) + char(qMax(nTransparent, 0)) + char(0);
}

inline QByteArray ImageBlock(const Frame& f)
{
    const QRect& r = f.rect;
    return char(0x2C) + Word(r.x()) + Word(r.y()) + Word(r.width()) + Word(r.height()) +
           (f.bLocalTable ? char(0x80 | 2) + Rgb(kColors + kColors) : QByteArray(1, '\0')) + char(2) +
           SubBlocks(Lzw(r.width() * r.height(), f.nColor));
}

inline QByteArray CommentBlock(const QByteArray& text)
{
    return QByteArray("\x21\xFE", 2) + SubBlocks(text);
}
inline QByteArray ApplicationBlock()
{
    return QByteArray("\x21\xFF\x0BNETSCAPE2.0", 14) + SubBlocks(QByteArray("\x01\0\0", 3));
}
inline QByteArray PlainTextBlock()
{
    return QByteArray("\x21\x01\x0C", 3) + QByteArray(12, '\0') + SubBlocks("hi");
}

/// Header, logical screen and (with \a bGlobalTable) the four-colour global table.
inline QByteArray Head(const QSize& screen, bool bGlobalTable = true, const QByteArray& version = "GIF89a")
{
    return version + Word(screen.width()) + Word(screen.height()) + char(bGlobalTable ? 0x80 | 1 : 0) +
           char(0) + char(0) + (bGlobalTable ? Rgb(kColors) : QByteArray());
}

inline QByteArray FrameBytes(const Frame& f)
{
    return (f.bControl ? ControlExtension(f.nDelay, f.nDisposal, f.nTransparent) : QByteArray()) +
           f.betweenControlAndImage + ImageBlock(f);
}

inline QByteArray Gif(const QSize& screen, const QList<Frame>& frames, const QByteArray& version = "GIF89a")
{
    QByteArray b = Head(screen, true, version);
    for (const Frame& f : frames)
        b += FrameBytes(f);
    return b + char(0x3B);
}

} // namespace TestGif
