// The two holiday tables: solar holidays in yljrb, lunar ones in lljrb, both keyed by a
// month-day text; several holidays may share a key.
#include "store/DataStore.h"
#include "store/TableSteps.h"
#include "store/UidBindings.h"
#include "store/ValueConvert.h"

namespace {

QString Table(HolidayCalendar calendar)
{
    return calendar == HolidayCalendar::Solar ? QStringLiteral("yljrb") : QStringLiteral("lljrb");
}

QString Error(HolidayCalendar calendar)
{
    return calendar == HolidayCalendar::Solar ? QStringLiteral("打开阳历节日表错误")
                                              : QStringLiteral("打开农历节日表错误");
}

TableRows OnKey(HolidayCalendar calendar, const HolidayKey& key)
{
    return {Table(calendar), QStringLiteral("date=?"), {key}, {}};
}

TableRows OneHoliday(HolidayCalendar calendar, const HolidayKey& key, const QString& name)
{
    return {Table(calendar), QStringLiteral("date=? and name=?"), {key, name}, {}};
}

QString Heading(const QString& text)
{
    return text + QStringLiteral(":\r\n--------------------------\r\n");
}

// Appends "key: name" lines for every row of the calendar's table; false when it has none.
bool AppendHolidayLines(CRecordset& rs, HolidayCalendar calendar, QString& text)
{
    rs.Open({Table(calendar), {}, {}, {}});
    if (rs.IsEOF()) {
        rs.Close();
        return false;
    }
    for (rs.MoveFirst(); !rs.IsEOF(); rs.MoveNext()) {
        text += ValueToText(rs.GetCollect(QStringLiteral("date"))) + QStringLiteral(": ") +
                ValueToText(rs.GetCollect(QStringLiteral("name"))) + QStringLiteral("\r\n");
    }
    rs.Close();
    return true;
}

} // namespace

HolidayKey CDataStore::SolarHolidayKey(const QDate& date)
{
    auto twoDigits = [](int n) { return n < 10 ? u'0' + QString::number(n) : QString::number(n); };
    return twoDigits(date.month()) + twoDigits(date.day());
}

int CDataStore::CountHolidays(HolidayCalendar calendar, const HolidayKey& key)
{
    int count = 0;
    const bool ran = RunReadOperation(
        Error(calendar), [&] { count = TableSteps::Count(*m_pRecordset, OnKey(calendar, key)); });
    return ran ? count : 0;
}

bool CDataStore::GetHolidayNames(HolidayCalendar calendar, const HolidayKey& key, QStringList& names)
{
    std::vector<QStringList> columns;
    bool found = false;
    const bool ran = RunReadOperation(Error(calendar), [&] {
        found =
            TableSteps::ReadColumns(*m_pRecordset, OnKey(calendar, key), {QStringLiteral("name")}, columns);
    });
    if (!ran || !found)
        return false;
    names = std::move(columns[0]);
    return true;
}

bool CDataStore::AddHoliday(HolidayCalendar calendar, const HolidayKey& key, const QString& name)
{
    return RunOperation(Error(calendar), [&] {
        TableSteps::Append(*m_pRecordset, Table(calendar),
                           {{QStringLiteral("date"), key}, {QStringLiteral("name"), name}});
    });
}

bool CDataStore::IsHolidayPresent(HolidayCalendar calendar, const HolidayKey& key, const QString& name)
{
    bool found = false;
    const bool ran = RunReadOperation(
        Error(calendar), [&] { found = TableSteps::Exists(*m_pRecordset, OneHoliday(calendar, key, name)); });
    return ran && found;
}

bool CDataStore::DeleteHoliday(HolidayCalendar calendar, const HolidayKey& key, const QString& name)
{
    bool deleted = false;
    const bool ran = RunOperation(Error(calendar), [&] {
        deleted = TableSteps::DeleteFirst(*m_pRecordset, OneHoliday(calendar, key, name));
        if (deleted)
            UidBindings::CBindings(m_strConnection, m_bUidBindings)
                .Unbind(UidBindings::OfHoliday(calendar, key, name));
    });
    return ran && deleted;
}

bool CDataStore::RenameHoliday(HolidayCalendar calendar, const HolidayKey& key, const QString& name,
                               const QString& newName)
{
    bool renamed = false;
    const bool ran = RunOperation(Error(calendar), [&] {
        CRecordset& rs = *m_pRecordset;
        rs.Open(OneHoliday(calendar, key, name));
        if (rs.IsEOF()) {
            rs.Close();
            return;
        }
        rs.MoveFirst();
        const qint64 row = rs.GetRowId();
        rs.PutCollect(QStringLiteral("name"), newName);
        rs.Update();
        rs.Close();
        renamed = true;
        // The holiday keeps its UIDs under its new name, placed among any holidays of that name
        // on the key as its row lies in the table.
        const int place = TableSteps::Count(
            rs, {Table(calendar), QStringLiteral("date=? and name=? and rowid<?"), {key, newName, row}, {}});
        UidBindings::CBindings bindings(m_strConnection, m_bUidBindings);
        const UidBindings::Identity renamedId = UidBindings::OfHoliday(calendar, key, newName).At(place);
        const QStringList uids = bindings.Unbind(UidBindings::OfHoliday(calendar, key, name));
        bindings.MakeRoom(renamedId);
        bindings.BindAll(uids, renamedId);
    });
    return ran && renamed;
}

bool CDataStore::GetAllHolidaysText(QString& text)
{
    // Both tables are read in one transaction, so the text shows one moment of them. It stops
    // at the first table that is empty or fails, as far as it got; a failure shows the message
    // of the table being read, which the body keeps up to date.
    QString failMessage = Error(HolidayCalendar::Solar);
    bool complete = false;
    const bool ran = RunReadOperation(failMessage, [&] {
        CRecordset& rs = *m_pRecordset;
        text = Heading(QStringLiteral("阳历节日"));
        if (!AppendHolidayLines(rs, HolidayCalendar::Solar, text))
            return;
        text += QStringLiteral("\r\n") + Heading(QStringLiteral("农历节日"));
        failMessage = Error(HolidayCalendar::Lunar);
        complete = AppendHolidayLines(rs, HolidayCalendar::Lunar, text);
    });
    return ran && complete;
}
