// Feeds arbitrary bytes to the "program.dat" reader. Besides what the sanitizers catch, it
// checks what the program list relies on: a count line cannot promise more than a small tail
// of empty entries, no more entries and no longer names and paths are read than the bounds allow,
// names never hold ";", and writing what was read and reading it back is
// stable, so that a file read and saved unchanged is saved the same way again.

#include "launcher/ProgramFile.h"

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
    const QList<ProgramFile::Entry> entries = ProgramFile::Parse(data).entries;
    Check(entries.size() <= data.count('\n') + ProgramFile::kMissingEntryBound);
    Check(entries.size() <= ProgramFile::kMaxEntries);
    for (const ProgramFile::Entry& entry : entries) {
        Check(!entry.strName.contains(u';') && !entry.strName.contains(u'\n'));
        Check(!entry.strPath.contains(u'\n') && !entry.strPath.endsWith(u'\r'));
        Check(entry.strName.size() <= ProgramFile::kMaxNameLength &&
              entry.strPath.size() <= ProgramFile::kMaxPathLength);
    }

    const QByteArray written = ProgramFile::Format(entries);
    const ProgramFile::Contents reread = ProgramFile::Parse(written);
    Check(reread.nLeftOut == 0);
    const QList<ProgramFile::Entry>& rereadEntries = reread.entries;
    Check(rereadEntries.size() == entries.size());
    Check(ProgramFile::Format(rereadEntries) == written);
    return 0;
}
