#include "store/TableSteps.h"


namespace TableSteps {

QString DayText(const QDate& date)
{
    return date.toString(QStringLiteral("yyyy-MM-dd"));
}

int Count(CRecordset& rs, const TableRows& rows)
{
    rs.Open(rows);
    // Our result set always knows its size, so the walk an engine without counts would need
    // never happens here.
    const long count = rs.GetRecordCount();
    rs.Close();
    return int(count);
}

bool Exists(CRecordset& rs, const TableRows& rows)
{
    rs.Open(rows);
    const bool found = !rs.IsEOF();
    rs.Close();
    return found;
}

bool DeleteFirst(CRecordset& rs, const TableRows& rows)
{
    rs.Open(rows);
    if (rs.IsEOF()) {
        rs.Close();
        return false;
    }
    rs.MoveFirst();
    rs.Delete();
    rs.Update();
    rs.Close();
    return true;
}

bool WriteFirst(CRecordset& rs, const TableRows& rows, const QString& field, const QVariant& value)
{
    rs.Open(rows);
    if (rs.IsEOF()) {
        rs.Close();
        return false;
    }
    rs.MoveFirst();
    rs.PutCollect(field, value);
    rs.Update();
    rs.Close();
    return true;
}

void Append(CRecordset& rs, const QString& table, std::initializer_list<std::pair<QString, QVariant>> fields)
{
    rs.Open({table, {}, {}, {}});
    rs.AddNew();
    for (const auto& [field, value] : fields)
        rs.PutCollect(field, value);
    rs.Update();
    rs.Close();
}

bool ReadColumns(CRecordset& rs, const TableRows& rows, const std::vector<QString>& fields,
                 std::vector<QStringList>& columns)
{
    std::vector<QStringList> read;
    if (rs.ReadTexts(rows, fields, read) == 0)
        return false;
    columns = std::move(read);
    return true;
}

} // namespace TableSteps
