#include "controls/GifBlocks.h"

#include <algorithm>
#include <climits>

namespace GifBlocks {

int FrameWaitMs(std::uint32_t nDelay)
{
    if (nDelay == kNoDelay)
        return -1;
    if (nDelay < 5)
        return 100;
    return int(std::min<std::uint64_t>(std::uint64_t(nDelay) * 10u, INT_MAX));
}

CBlockReader::CBlockReader(QByteArrayView data) : m_data(data)
{
    m_bIsGif = data.startsWith("GIF87a") || data.startsWith("GIF89a");
    if (!m_bIsGif || data.size() < 13) {
        m_nCursor = GetFirstBlock();
        return;
    }
    m_screenSize = QSize(WordAt(6), WordAt(8));
    const quint8 packed = ByteAt(10);
    if (packed & 0x80)
        m_nColorTableSize = 3 << ((packed & 7) + 1);
    m_nCursor = GetFirstBlock();
}

BlockKind CBlockReader::KindAt(qsizetype nPos) const
{
    if (!Has(nPos, 1))
        return BlockKind::Invalid;
    switch (ByteAt(nPos)) {
    case 0x2C:
        return BlockKind::Image;
    case 0x3B:
        return BlockKind::Trailer;
    case 0x21:
        break;
    default:
        return BlockKind::Invalid;
    }
    if (!Has(nPos + 1, 1))
        return BlockKind::Invalid;
    switch (ByteAt(nPos + 1)) {
    case 0xFF:
        return BlockKind::ApplicationExtension;
    case 0xFE:
        return BlockKind::CommentExtension;
    case 0xF9:
        return BlockKind::GraphicControl;
    case 0x01:
        return BlockKind::PlainText;
    default:
        return BlockKind::Invalid;
    }
}

BlockKind CBlockReader::GetBlockKind() const
{
    return KindAt(m_nCursor);
}

// Size bytes, data and the closing zero of a run of sub-blocks; 0 when the run does not end
// inside the data (a valid chain is at least its terminator long).
qsizetype CBlockReader::ChainLength(qsizetype nPos) const
{
    qsizetype nTotal = 0;
    for (;;) {
        if (!Has(nPos + nTotal, 1))
            return 0;
        const quint8 nCount = ByteAt(nPos + nTotal);
        nTotal += 1 + nCount;
        if (nCount == 0)
            return nTotal;
    }
}

qsizetype CBlockReader::GetBlockLength() const
{
    const qsizetype c = m_nCursor;
    auto withChain = [this](qsizetype nFixed, qsizetype nChainAt) -> qsizetype {
        const qsizetype nChain = ChainLength(nChainAt);
        return nChain ? nFixed + nChain : 0;
    };
    switch (GetBlockKind()) {
    case BlockKind::ApplicationExtension:
        return withChain(14, c + 14);
    case BlockKind::CommentExtension:
        return withChain(2, c + 2);
    case BlockKind::GraphicControl:
        return 8;
    case BlockKind::PlainText:
        return withChain(15, c + 15);
    case BlockKind::Image: {
        if (!Has(c, 10))
            return 0;
        const quint8 packed = ByteAt(c + 9);
        const qsizetype nLocalTable = (packed & 0x80) ? qsizetype(3) << ((packed & 7) + 1) : 0;
        return withChain(11 + nLocalTable, c + 11 + nLocalTable);
    }
    case BlockKind::Trailer:
        return 1;
    case BlockKind::Invalid:
        break;
    }
    return 0;
}

bool CBlockReader::SkipBlock()
{
    const qsizetype nLength = GetBlockLength();
    if (nLength <= 0 || m_nCursor + nLength > m_data.size())
        return false;
    m_nCursor += nLength;
    return true;
}

bool CBlockReader::FindNextFrame()
{
    return WalkFrame(nullptr);
}

bool CBlockReader::ExtractNextFrame(FrameBlock& frame)
{
    return WalkFrame(&frame);
}

bool CBlockReader::WalkFrame(FrameBlock* pFrame)
{
    auto isFrameStart = [](BlockKind k) {
        return k == BlockKind::GraphicControl || k == BlockKind::Image || k == BlockKind::PlainText;
    };
    auto endsSearch = [](BlockKind k) { return k == BlockKind::Trailer || k == BlockKind::Invalid; };

    BlockKind kind;
    while (!isFrameStart(kind = GetBlockKind())) {
        if (endsSearch(kind) || !SkipBlock())
            return false;
    }

    qsizetype nControlAt = -1;
    if (kind == BlockKind::GraphicControl) {
        nControlAt = m_nCursor;
        if (!SkipBlock())
            return false;
        // Anything between the control extension and its image (comments, application data,
        // even a second control extension) is passed over and left out of the frame.
        while ((kind = GetBlockKind()) != BlockKind::Image && kind != BlockKind::PlainText) {
            if (endsSearch(kind) || !SkipBlock())
                return false;
        }
    }

    const qsizetype nImageAt = m_nCursor;
    if (!SkipBlock())
        return false;
    if (!pFrame)
        return true;

    FrameBlock& frame = *pFrame;
    frame = FrameBlock();
    if (nControlAt >= 0) {
        frame.nDelay = WordAt(nControlAt + 4);
        frame.nDisposal = (ByteAt(nControlAt + 3) >> 2) & 7;
    }
    if (kind == BlockKind::Image) {
        frame.frameOffset = QPoint(WordAt(nImageAt + 1), WordAt(nImageAt + 3));
        frame.frameSize = QSize(WordAt(nImageAt + 5), WordAt(nImageAt + 7));
    }

    const qsizetype nImageLength = m_nCursor - nImageAt;
    frame.gif.reserve(GetFirstBlock() + (nControlAt >= 0 ? 8 : 0) + nImageLength + 1);
    frame.gif.append(m_data.first(GetFirstBlock()));
    if (nControlAt >= 0)
        frame.gif.append(m_data.sliced(nControlAt, 8));
    frame.gif.append(m_data.sliced(nImageAt, nImageLength));
    frame.gif.append(char(0x3B));
    return true;
}

int CBlockReader::CountFrames()
{
    Rewind();
    int nCount = 0;
    while (FindNextFrame())
        ++nCount;
    Rewind();
    return nCount;
}

Layout Split(QByteArrayView data)
{
    Layout layout;
    CBlockReader reader(data);
    if (!reader.IsGif())
        return layout;
    layout.bIsGif = true;
    layout.screenSize = reader.GetScreenSize();
    layout.nFrameCount = reader.CountFrames();
    if (layout.nFrameCount < 2)
        return layout;
    layout.frames.reserve(layout.nFrameCount);
    FrameBlock frame;
    while (reader.ExtractNextFrame(frame))
        layout.frames.append(frame);
    return layout;
}

} // namespace GifBlocks
