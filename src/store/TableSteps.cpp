#include "store/TableSteps.h"

#include "store/ValueConvert.h"

namespace TableSteps {

QString Fill(QStringView pattern, std::initializer_list<QString> values)
{
    QString out;
    out.reserve(pattern.size() + 32 * qsizetype(values.size()));
    auto next = values.begin();
    for (qsizetype i = 0; i < pattern.size(); ++i) {
        const bool hole = pattern[i] == u'%' && i + 1 < pattern.size() &&
                          (pattern[i + 1] == u's' || pattern[i + 1] == u'd');
        if (hole && next != values.end()) {
            out += *next++;
            ++i;
        } else {
            out += pattern[i];
        }
    }
    Q_ASSERT(next == values.end());
    return out;
}

QString DayText(const QDate& date)
{
    return date.toString(QStringLiteral("yyyy-MM-dd"));
}

int Count(CRecordset& rs, const QString& statement)
{
    rs.Open(statement);
    // Our result set always knows its size, so the walk an engine without counts would need
    // never happens here.
    const long count = rs.GetRecordCount();
    rs.Close();
    return int(count);
}

bool Exists(CRecordset& rs, const QString& statement)
{
    rs.Open(statement);
    const bool found = !rs.IsEOF();
    rs.Close();
    return found;
}

bool DeleteFirst(CRecordset& rs, const QString& statement)
{
    rs.Open(statement);
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

bool WriteFirst(CRecordset& rs, const QString& statement, const QString& field, const QVariant& value)
{
    rs.Open(statement);
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

void Append(CRecordset& rs, const QString& statement,
            std::initializer_list<std::pair<QString, QVariant>> fields)
{
    rs.Open(statement);
    rs.AddNew();
    for (const auto& [field, value] : fields)
        rs.PutCollect(field, value);
    rs.Update();
    rs.Close();
}

bool ReadColumns(CRecordset& rs, const QString& statement, const std::vector<QString>& fields,
                 std::vector<QStringList>& columns)
{
    rs.Open(statement);
    if (rs.IsEOF()) {
        rs.Close();
        return false;
    }
    std::vector<QStringList> read(fields.size());
    const long rows = rs.GetRecordCount();
    for (QStringList& column : read)
        column.reserve(rows);
    for (rs.MoveFirst(); !rs.IsEOF(); rs.MoveNext()) {
        for (size_t i = 0; i < fields.size(); ++i)
            read[i].append(ValueToText(rs.GetCollect(fields[i])));
    }
    rs.Close();
    columns = std::move(read);
    return true;
}

} // namespace TableSteps
