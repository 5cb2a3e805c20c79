#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QPoint>
#include <QSize>
#include <cstdint>

/// Splits GIF data into its frames without decoding any pixels: every frame comes back as a
/// small GIF of its own (the file's header, logical screen and global colour table, the frame's
/// control extension and image block, a trailer) that any GIF decoder can read. The animated
/// picture control plays them; this half has no widgets so that it can be tested and fuzzed on
/// its own.
namespace GifBlocks {

/// Delay of a frame that carries no graphic control extension: the frame stays until the
/// animation is stopped.
inline constexpr std::uint32_t kNoDelay = 0xFFFFFFFFu;

/// Milliseconds an animation waits after drawing a frame with \a nDelay hundredths of a
/// second. Delays below 5 hundredths play at 100 ms, as browsers do, because many files ask
/// for 0 and mean "fast"; kNoDelay waits for ever (returns -1).
int FrameWaitMs(std::uint32_t nDelay);

enum class BlockKind
{
    ApplicationExtension,
    CommentExtension,
    GraphicControl,
    PlainText,
    Image,
    Trailer,
    Invalid
};

/// One frame cut out of an animated GIF.
struct FrameBlock
{
    QByteArray gif;                  ///< the frame as a complete one-image GIF
    QSize frameSize{0, 0};           ///< from the image descriptor (empty for a plain-text frame)
    QPoint frameOffset;              ///< position on the logical screen
    std::uint32_t nDelay = kNoDelay; ///< hundredths of a second
    int nDisposal = 0;               ///< disposal method 0 to 7
};

/// Walks the blocks of one GIF. The data must outlive the reader.
class CBlockReader
{
public:
    explicit CBlockReader(QByteArrayView data);

    /// True when the data begins "GIF87a" or "GIF89a"; everything else is left to a decoder
    /// as one picture.
    bool IsGif() const { return m_bIsGif; }
    QSize GetScreenSize() const { return m_screenSize; }
    /// Bytes of the global colour table, 0 without one.
    int GetColorTableSize() const { return m_nColorTableSize; }
    /// Offset of the first block after the header, the logical screen and the colour table.
    qsizetype GetFirstBlock() const { return 13 + m_nColorTableSize; }

    qsizetype GetCursor() const { return m_nCursor; }
    void Rewind() { m_nCursor = GetFirstBlock(); }

    BlockKind GetBlockKind() const;
    /// Length of the block at the cursor, 0 when it is unrecognised or cannot be measured
    /// inside the data.
    qsizetype GetBlockLength() const;
    /// Moves the cursor past the current block; false (cursor unchanged) when the block is
    /// invalid or would end past the data.
    bool SkipBlock();

    /// Moves past the next frame; false when the data holds no further complete frame.
    bool FindNextFrame();
    /// Like FindNextFrame, and also cuts the frame out as a one-image GIF.
    bool ExtractNextFrame(FrameBlock& frame);

    /// Counts the frames from the first block on, and leaves the cursor at the first block.
    int CountFrames();

private:
    bool WalkFrame(FrameBlock* pFrame);
    BlockKind KindAt(qsizetype nPos) const;
    qsizetype ChainLength(qsizetype nPos) const;
    quint8 ByteAt(qsizetype nPos) const { return static_cast<quint8>(m_data[nPos]); }
    quint16 WordAt(qsizetype nPos) const { return quint16(ByteAt(nPos) | (ByteAt(nPos + 1) << 8)); }
    bool Has(qsizetype nPos, qsizetype nCount) const
    {
        return nPos >= 0 && nCount >= 0 && nPos <= m_data.size() - nCount;
    }

    QByteArrayView m_data;
    bool m_bIsGif = false;
    QSize m_screenSize;
    int m_nColorTableSize = 0;
    qsizetype m_nCursor = 0;
};

/// Everything the picture control needs from one file.
struct Layout
{
    bool bIsGif = false;
    QSize screenSize;
    int nFrameCount = 0;      ///< complete frames found
    QList<FrameBlock> frames; ///< filled only when nFrameCount >= 2
};

/// Reads \a data: a non-GIF gives bIsGif false; an animated GIF gives its frames in file order.
Layout Split(QByteArrayView data);

} // namespace GifBlocks
