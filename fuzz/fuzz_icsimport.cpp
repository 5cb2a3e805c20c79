// Feeds arbitrary bytes to the iCalendar reader, as an import reads a file. Besides what the
// sanitizers catch, it checks what the import relies on: the reader always comes to an end or
// a failure that says where, every item it gives is one the tables can hold, and an item
// written back by the writer reads back the same.

#include "exchange/IcsFormat.h"

#include <QBuffer>
#include <cstddef>
#include <cstdint>

namespace {

void Check(bool bHolds)
{
    if (!bHolds)
        __builtin_trap();
}

bool SameItem(const ExchangeItem& a, const ExchangeItem& b)
{
    if (a.kind != b.kind || a.strUid != b.strUid)
        return false;
    const ReminderRecord& x = a.reminder;
    const ReminderRecord& y = b.reminder;
    switch (a.kind) {
    case ExchangeKind::Task:
        return a.task == b.task;
    case ExchangeKind::Reminder:
        return ReminderTimeText(x) == ReminderTimeText(y) && x.nWeek == y.nWeek && x.nMode == y.nMode &&
               x.nRing == y.nRing && x.strTitle == y.strTitle && x.strContent == y.strContent;
    case ExchangeKind::Holiday:
        return a.holiday == b.holiday;
    }
    return false;
}

void CheckItem(const ExchangeItem& item)
{
    switch (item.kind) {
    case ExchangeKind::Task:
        Check(QDate::fromString(item.task.strDate, QStringLiteral("yyyy-MM-dd")).isValid());
        Check(!item.task.strState.isEmpty());
        break;
    case ExchangeKind::Reminder:
        Check(item.reminder.Moment().isValid());
        Check(item.reminder.nMode >= ReminderOnce && item.reminder.nMode <= ReminderYearly);
        break;
    case ExchangeKind::Holiday:
        Check(item.holiday.strKey.size() == 4);
        break;
    }

    QBuffer out;
    out.open(QIODevice::WriteOnly);
    CIcsWriter writer(&out);
    Check(writer.Begin());
    const CIcsWriter::Written written = writer.Write(item);
    if (written != CIcsWriter::Written::Item) {
        // Only a lunar day that the coming years never have cannot be written.
        Check(written == CIcsWriter::Written::Refused && !writer.ErrorString().isEmpty());
        Check(item.kind == ExchangeKind::Holiday && item.holiday.calendar == HolidayCalendar::Lunar);
        return;
    }
    Check(writer.Finish());
    QBuffer in;
    in.setData(out.data());
    in.open(QIODevice::ReadOnly);
    CIcsReader reader(&in);
    ExchangeItem back;
    ExchangeLeftOut leftOut;
    Check(reader.Next(back, leftOut) == CIcsReader::Step::Item);
    Check(SameItem(item, back));
    Check(reader.Next(back, leftOut) == CIcsReader::Step::End);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* pData, std::size_t nSize)
{
    QBuffer buffer;
    buffer.setData(reinterpret_cast<const char*>(pData), qsizetype(nSize));
    buffer.open(QIODevice::ReadOnly);
    CIcsReader reader(&buffer);
    ExchangeItem item;
    ExchangeLeftOut leftOut;
    // Every step takes at least one line, so a reader that goes on longer is stuck.
    for (std::size_t nSteps = 0; nSteps <= nSize + 1; ++nSteps) {
        switch (reader.Next(item, leftOut)) {
        case CIcsReader::Step::Item:
            CheckItem(item);
            continue;
        case CIcsReader::Step::LeftOut:
            Check(!leftOut.strReason.isEmpty() && leftOut.nLine > 0);
            continue;
        case CIcsReader::Step::End:
            return 0;
        case CIcsReader::Step::Failed:
            Check(reader.ErrorString().startsWith(QStringLiteral("第 ")));
            Check(reader.Next(item, leftOut) == CIcsReader::Step::Failed);
            return 0;
        }
    }
    Check(false);
    return 0;
}
