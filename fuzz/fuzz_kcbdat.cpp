// Feeds arbitrary bytes to the timetable file reader. Besides what the sanitizers catch, it
// checks what the program relies on: whatever the bytes, a read gives 35 slots whose colours
// come from the palette, and what is read is written back so that it reads the same again.

#include "timetable/Timetable.h"

#include <algorithm>
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
    const QByteArray bytes(reinterpret_cast<const char*>(pData), qsizetype(nSize));
    CTimetable timetable;
    timetable.ReadFrom(bytes);
    Check(timetable.m_courseNames.size() <= CTimetable::kMaxNames);
    for (const CourseEntry& entry : timetable.m_entries) {
        if (entry.bHasCourse)
            Check(std::find(timetable.m_palette.begin(), timetable.m_palette.end(), entry.crColor) !=
                  timetable.m_palette.end());
    }
    for (int i = 0; i < CTimetable::kSlots; ++i)
        Check(!timetable.TooltipText(i).isEmpty());

    const QByteArray written = timetable.ToBytes();
    Check(written.endsWith("/* KCBINFO-35 ROW OVER*/"));
    Check(written.count('\n') == 319);
    CTimetable again;
    again.ReadFrom(written);
    Check(again.ToBytes() == written);
    return 0;
}
