// The two holiday tables: solar holidays in yljrb, lunar ones in lljrb, both keyed by a
// month-day text; several holidays may share a key.
#include "store/DataStore.h"
#include "store/TableSteps.h"
#include "store/ValueConvert.h"

using TableSteps::Fill;

namespace {

QString SolarTable()
{
    return QStringLiteral("yljrb");
}
QString LunarTable()
{
    return QStringLiteral("lljrb");
}
QString SolarError()
{
    return QStringLiteral("打开阳历节日表错误");
}
QString LunarError()
{
    return QStringLiteral("打开农历节日表错误");
}

QString OneHoliday(const QString& table, const HolidayKey& key, const QString& name)
{
    return Fill(u"select * from %s where date='%s' and name='%s'", {table, SqlEscape(key), SqlEscape(name)});
}

QString Heading(const QString& text)
{
    return text + QStringLiteral(":\r\n--------------------------\r\n");
}

// Appends "key: name" lines for every row of \a table; false when it has none.
bool AppendHolidayLines(CRecordset& rs, const QString& table, QString& text)
{
    rs.Open(QStringLiteral("select * from ") + table);
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

int CDataStore::CountHolidays(const QString& table, const QString& failMessage, const HolidayKey& key)
{
    int count = 0;
    const bool ran = RunOperation(failMessage, [&] {
        count = TableSteps::Count(*m_pRecordset,
                                  Fill(u"select * from %s where date = '%s'", {table, SqlEscape(key)}));
    });
    return ran ? count : 0;
}

bool CDataStore::GetHolidayNames(const QString& table, const QString& failMessage, const HolidayKey& key,
                                 QStringList& names)
{
    std::vector<QStringList> columns;
    bool found = false;
    const bool ran = RunOperation(failMessage, [&] {
        found = TableSteps::ReadColumns(*m_pRecordset,
                                        Fill(u"select * from %s where date='%s'", {table, SqlEscape(key)}),
                                        {QStringLiteral("name")}, columns);
    });
    if (!ran || !found)
        return false;
    names = std::move(columns[0]);
    return true;
}

bool CDataStore::AddHoliday(const QString& table, const QString& failMessage, const HolidayKey& key,
                            const QString& name)
{
    return RunOperation(failMessage, [&] {
        TableSteps::Append(*m_pRecordset, QStringLiteral("select * from ") + table,
                           {{QStringLiteral("date"), key}, {QStringLiteral("name"), name}});
    });
}

bool CDataStore::IsHolidayPresent(const QString& table, const QString& failMessage, const HolidayKey& key,
                                  const QString& name)
{
    bool found = false;
    const bool ran = RunOperation(
        failMessage, [&] { found = TableSteps::Exists(*m_pRecordset, OneHoliday(table, key, name)); });
    return ran && found;
}

bool CDataStore::DeleteHoliday(const QString& table, const QString& failMessage, const HolidayKey& key,
                               const QString& name)
{
    bool deleted = false;
    const bool ran = RunOperation(
        failMessage, [&] { deleted = TableSteps::DeleteFirst(*m_pRecordset, OneHoliday(table, key, name)); });
    return ran && deleted;
}

bool CDataStore::RenameHoliday(const QString& table, const QString& failMessage, const HolidayKey& key,
                               const QString& name, const QString& newName)
{
    bool renamed = false;
    const bool ran = RunOperation(failMessage, [&] {
        renamed = TableSteps::WriteFirst(*m_pRecordset, OneHoliday(table, key, name), QStringLiteral("name"),
                                         newName);
    });
    return ran && renamed;
}

int CDataStore::CountSolarHolidays(const QDate& date)
{
    return CountHolidays(SolarTable(), SolarError(), SolarHolidayKey(date));
}

bool CDataStore::GetSolarHolidayNames(const QDate& date, QStringList& names)
{
    return GetHolidayNames(SolarTable(), SolarError(), SolarHolidayKey(date), names);
}

int CDataStore::CountLunarHolidays(const HolidayKey& key)
{
    return CountHolidays(LunarTable(), LunarError(), key);
}

bool CDataStore::GetLunarHolidayNames(const HolidayKey& key, QStringList& names)
{
    return GetHolidayNames(LunarTable(), LunarError(), key, names);
}

bool CDataStore::AddSolarHoliday(const HolidayKey& key, const QString& name)
{
    return AddHoliday(SolarTable(), SolarError(), key, name);
}

bool CDataStore::AddLunarHoliday(const HolidayKey& key, const QString& name)
{
    return AddHoliday(LunarTable(), LunarError(), key, name);
}

bool CDataStore::IsSolarHolidayPresent(const HolidayKey& key, const QString& name)
{
    return IsHolidayPresent(SolarTable(), SolarError(), key, name);
}

bool CDataStore::IsLunarHolidayPresent(const HolidayKey& key, const QString& name)
{
    return IsHolidayPresent(LunarTable(), LunarError(), key, name);
}

bool CDataStore::DeleteSolarHoliday(const HolidayKey& key, const QString& name)
{
    return DeleteHoliday(SolarTable(), SolarError(), key, name);
}

bool CDataStore::DeleteLunarHoliday(const HolidayKey& key, const QString& name)
{
    return DeleteHoliday(LunarTable(), LunarError(), key, name);
}

bool CDataStore::RenameSolarHoliday(const HolidayKey& key, const QString& name, const QString& newName)
{
    return RenameHoliday(SolarTable(), SolarError(), key, name, newName);
}

bool CDataStore::RenameLunarHoliday(const HolidayKey& key, const QString& name, const QString& newName)
{
    return RenameHoliday(LunarTable(), LunarError(), key, name, newName);
}

bool CDataStore::GetAllHolidaysText(QString& text)
{
    // Both tables are read in one transaction, so the text shows one moment of them. It stops
    // at the first table that is empty or fails, as far as it got; a failure shows the message
    // of the table being read, which the body keeps up to date.
    QString failMessage = SolarError();
    bool complete = false;
    const bool ran = RunOperation(failMessage, [&] {
        CRecordset& rs = *m_pRecordset;
        text = Heading(QStringLiteral("阳历节日"));
        if (!AppendHolidayLines(rs, SolarTable(), text))
            return;
        text += QStringLiteral("\r\n") + Heading(QStringLiteral("农历节日"));
        failMessage = LunarError();
        complete = AppendHolidayLines(rs, LunarTable(), text);
    });
    return ran && complete;
}
