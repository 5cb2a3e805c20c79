// The school calendar: the first row of xiaoli holds the term start, the second the term end.
#include "store/DataStore.h"
#include "store/ValueConvert.h"

namespace {
QString CalendarError()
{
    return QStringLiteral("打开校历表错误");
}
} // namespace

bool CDataStore::LoadSchoolCalendar(QDateTime& termStart, QDateTime& termEnd)
{
    return RunReadOperation(CalendarError(), [&] {
        CRecordset& rs = *m_pRecordset;
        rs.Open({QStringLiteral("xiaoli"), {}, {}, {}});
        rs.MoveFirst();
        termStart = ValueToDate(rs.GetCollect(QStringLiteral("date")));
        rs.MoveNext();
        termEnd = ValueToDate(rs.GetCollect(QStringLiteral("date")));
        rs.Close();
    });
}

bool CDataStore::SaveSchoolCalendar(const QDateTime& termStart, const QDateTime& termEnd)
{
    // A table with one row fails at the second write, and the first is undone with it.
    return RunOperation(CalendarError(), [&] {
        CRecordset& rs = *m_pRecordset;
        rs.Open({QStringLiteral("xiaoli"), {}, {}, {}});
        rs.MoveFirst();
        rs.PutCollect(QStringLiteral("date"), DateToSerial(termStart));
        rs.Update();
        rs.MoveNext();
        rs.PutCollect(QStringLiteral("date"), DateToSerial(termEnd));
        rs.Update();
        rs.Close();
    });
}
