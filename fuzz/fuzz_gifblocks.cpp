// Feeds arbitrary bytes to the GIF block parser. Besides what the sanitizers catch, it checks
// what the picture control relies on: the cursor never leaves the data, and every frame is a
// well-formed one-image GIF made of the file's own head and a piece of the file.

#include "controls/GifBlocks.h"

#include <cstddef>
#include <cstdint>

namespace {

void Check(bool bHolds)
{
    if (!bHolds)
        __builtin_trap();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* pData, std::size_t nSize)
{
    const QByteArrayView data(pData, qsizetype(nSize));
    const GifBlocks::Layout layout = GifBlocks::Split(data);
    GifBlocks::CBlockReader reader(data);
    Check(layout.bIsGif == reader.IsGif());
    if (!layout.bIsGif) {
        Check(layout.nFrameCount == 0 && layout.frames.isEmpty());
        return 0;
    }

    Check(reader.CountFrames() == layout.nFrameCount);
    Check(layout.nFrameCount < 2 ? layout.frames.isEmpty() : layout.frames.size() == layout.nFrameCount);

    const qsizetype nHead = reader.GetFirstBlock();
    for (const GifBlocks::FrameBlock& frame : layout.frames) {
        Check(nHead <= data.size());
        Check(frame.gif.size() > nHead + 1);
        Check(frame.gif.size() <= data.size() + 1);
        Check(QByteArrayView(frame.gif).first(nHead) == data.first(nHead));
        Check(frame.gif.endsWith(char(0x3B)));
        Check(frame.nDisposal >= 0 && frame.nDisposal <= 7);
        Check(frame.frameOffset.x() >= 0 && frame.frameOffset.y() >= 0);
        Check(GifBlocks::FrameWaitMs(frame.nDelay) >= 50 || frame.nDelay == GifBlocks::kNoDelay);
    }

    reader.Rewind();
    qsizetype nCursor = reader.GetCursor();
    while (reader.SkipBlock()) {
        Check(reader.GetCursor() > nCursor && reader.GetCursor() <= data.size());
        nCursor = reader.GetCursor();
    }
    Check(reader.GetCursor() == nCursor);
    return 0;
}
