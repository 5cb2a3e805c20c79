#include "store/Recordset.h"

#include "store/Schema.h"
#include "store/ValueConvert.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>

namespace {

CDbError OwnError(const QString& text)
{
    return CDbError{-1, text};
}

QString WhereClause(const TableRows& rows)
{
    return rows.strCondition.isEmpty() ? QString() : QStringLiteral(" WHERE ") + rows.strCondition;
}

// The rows' own order, else table order (see CRecordset::Open).
QString OrderClause(const TableRows& rows)
{
    return QStringLiteral(" ORDER BY ") + (rows.strOrder.isEmpty() ? QStringLiteral("rowid") : rows.strOrder);
}

void Bind(QSqlQuery& query, const QVariantList& values)
{
    for (int i = 0; i < values.size(); ++i)
        query.bindValue(i, values[i]);
}

} // namespace

CRecordset::CRecordset(QString connectionName) : m_strConnection(std::move(connectionName)) {}

CRecordset::~CRecordset() = default;

QSqlDatabase CRecordset::Database() const
{
    QSqlDatabase db = QSqlDatabase::database(m_strConnection, false);
    if (!db.isValid() || !db.isOpen())
        throw OwnError(QStringLiteral("no open database connection"));
    return db;
}

void CRecordset::Open(const TableRows& rows)
{
    Close();
    auto query = std::make_unique<QSqlQuery>(Database());
    query->setForwardOnly(true);
    // The rowid rides along in the first column so that changes can find their row again.
    // Without an order of their own, rows come in table order, the order in which they were
    // added, whatever index the engine picks: a day's tasks list as they were entered.
    const QString table = Schema::Quoted(rows.strTable);
    if (!query->prepare(QStringLiteral("SELECT rowid, * FROM ") + table + WhereClause(rows) +
                        OrderClause(rows)))
        throw CDbError::FromSql(query->lastError());
    Bind(*query, rows.values);

    m_pQuery = std::move(query);
    m_rowsOpened = rows;
    m_strTable = table;
    m_bOpen = true;
}

void CRecordset::Execute()
{
    if (m_bStale) {
        m_pQuery->finish();
        m_bExecuted = false;
        m_bStale = false;
    }
    if (m_bExecuted)
        return;
    if (!m_pQuery->exec())
        throw CDbError::FromSql(m_pQuery->lastError());
    const QSqlRecord record = m_pQuery->record();
    m_fields.clear();
    for (int i = 1; i < record.count(); ++i)
        m_fields << record.fieldName(i);
    m_bExecuted = true;
}

void CRecordset::Fetch()
{
    Execute();
    const int width = int(m_fields.size());
    std::vector<Row> rows;
    QSqlQuery& query = *m_pQuery;
    while (query.next()) {
        Row row;
        row.m_nRowId = query.value(0).toLongLong();
        row.m_values.reserve(size_t(width));
        for (int i = 0; i < width; ++i)
            row.m_values.push_back(query.value(1 + i));
        rows.push_back(std::move(row));
    }
    if (query.lastError().isValid())
        throw CDbError::FromSql(query.lastError());
    query.finish();
    m_bExecuted = false;

    m_rows = std::move(rows);
    m_nLiveRows = long(m_rows.size());
    m_nPos = 0;
    m_bFetched = true;
    m_bAppendOnly = false;
}

void CRecordset::Close()
{
    m_bOpen = false;
    m_pQuery.reset();
    m_rowsOpened = {};
    m_strTable.clear();
    m_bExecuted = m_bFetched = m_bAppendOnly = m_bStale = false;
    m_fields.clear();
    m_rows.clear();
    m_nPos = 0;
    m_nLiveRows = 0;
    m_bAdding = false;
    m_pending.clear();
}

QSqlQuery& CRecordset::Statement(const QString& sql)
{
    auto it = m_statements.find(sql);
    if (it != m_statements.end())
        return *it;
    QSqlQuery query(Database());
    if (!query.prepare(sql))
        throw CDbError::FromSql(query.lastError());
    if (m_statements.size() >= 32) // column combinations are few; this only bounds odd callers
        m_statements.clear();
    return *m_statements.insert(sql, query);
}

void CRecordset::RequireOpen() const
{
    if (!m_bOpen)
        throw OwnError(QStringLiteral("the result set is not open"));
}

bool CRecordset::IsEOF()
{
    RequireOpen();
    if (RowsUnread())
        Fetch();
    return m_nPos >= m_rows.size();
}

void CRecordset::MoveFirst()
{
    RequireOpen();
    if (m_bAdding || !m_pending.empty())
        Update();
    // After appending to a set that was never read, the first row is the table's, not ours.
    if (!m_bFetched)
        Fetch();
    m_nPos = 0;
    while (m_nPos < m_rows.size() && m_rows[m_nPos].m_bDeleted)
        ++m_nPos;
}

void CRecordset::MoveNext()
{
    RequireOpen();
    if (RowsUnread())
        Fetch();
    if (m_nPos >= m_rows.size())
        throw OwnError(QStringLiteral("already past the last row"));
    if (m_bAdding || !m_pending.empty())
        Update();
    do
        ++m_nPos;
    while (m_nPos < m_rows.size() && m_rows[m_nPos].m_bDeleted);
}

long CRecordset::GetRecordCount()
{
    RequireOpen();
    if (m_bFetched)
        return m_nLiveRows;
    // Nothing read yet: let the engine count instead of reading every row. The order never
    // changes the count, and sorting is most of the work of a search over every task.
    QSqlQuery count(Database());
    count.setForwardOnly(true);
    if (!count.prepare(
            QStringLiteral("SELECT count(*) FROM %1%2").arg(m_strTable, WhereClause(m_rowsOpened))))
        throw CDbError::FromSql(count.lastError());
    Bind(count, m_rowsOpened.values);
    if (!count.exec() || !count.next())
        throw CDbError::FromSql(count.lastError());
    return long(count.value(0).toLongLong());
}

qint64 CRecordset::GetRowId()
{
    return CurrentRow().m_nRowId;
}

void CRecordset::ReadRowIds(const TableRows& rows, std::vector<qint64>& ids)
{
    QSqlQuery query(Database());
    query.setForwardOnly(true);
    if (!query.prepare(QStringLiteral("SELECT rowid FROM ") + Schema::Quoted(rows.strTable) +
                       WhereClause(rows) + OrderClause(rows)))
        throw CDbError::FromSql(query.lastError());
    Bind(query, rows.values);
    if (!query.exec())
        throw CDbError::FromSql(query.lastError());
    while (query.next())
        ids.push_back(query.value(0).toLongLong());
    if (query.lastError().isValid())
        throw CDbError::FromSql(query.lastError());
}

qint64 CRecordset::DeleteRows(const TableRows& rows)
{
    QSqlQuery query(Database());
    if (!query.prepare(QStringLiteral("DELETE FROM %1%2").arg(Schema::Quoted(rows.strTable), WhereClause(rows))))
        throw CDbError::FromSql(query.lastError());
    Bind(query, rows.values);
    if (!query.exec())
        throw CDbError::FromSql(query.lastError());
    return query.numRowsAffected();
}

qsizetype CRecordset::ReadTexts(const TableRows& rows, const std::vector<QString>& fields,
                                std::vector<QStringList>& columns)
{
    // The names stand bare: the engine would read a double-quoted name that no column has as a
    // text, and a table without that column must fail here as it does everywhere else.
    const QStringList names(fields.begin(), fields.end());
    QSqlQuery& query =
        Statement(QStringLiteral("SELECT ") + names.join(QStringLiteral(", ")) + QStringLiteral(" FROM ") +
                  Schema::Quoted(rows.strTable) + WhereClause(rows) + OrderClause(rows));
    Bind(query, rows.values);
    if (!query.exec())
        throw CDbError::FromSql(query.lastError());
    std::vector<QStringList> read(fields.size());
    qsizetype count = 0;
    while (query.next()) {
        for (size_t i = 0; i < read.size(); ++i)
            read[i].append(ValueToText(query.value(int(i))));
        ++count;
    }
    const QSqlError error = query.lastError();
    query.finish(); // the statement stays prepared, its read of the table ends here
    if (error.isValid())
        throw CDbError::FromSql(error);
    columns = std::move(read);
    return count;
}

QStringList CRecordset::FieldNames()
{
    RequireOpen();
    if (!m_bFetched && !m_bAppendOnly)
        Execute();
    return m_fields;
}

int CRecordset::FieldIndex(const QString& field)
{
    if (!m_bExecuted && !m_bFetched && !m_bAppendOnly)
        Execute();
    for (int i = 0; i < m_fields.size(); ++i) {
        if (m_fields[i].compare(field, Qt::CaseInsensitive) == 0)
            return i;
    }
    throw OwnError(QStringLiteral("no column named %1").arg(field));
}

CRecordset::Row& CRecordset::CurrentRow()
{
    RequireOpen();
    if (RowsUnread())
        Fetch();
    if (m_nPos >= m_rows.size())
        throw OwnError(QStringLiteral("no current row"));
    Row& row = m_rows[m_nPos];
    if (row.m_bDeleted)
        throw OwnError(QStringLiteral("the current row has been deleted"));
    return row;
}

QVariant CRecordset::GetCollect(const QString& field)
{
    const Row& row = CurrentRow();
    const int index = FieldIndex(field);
    for (const auto& [i, value] : m_pending) {
        if (i == index)
            return value;
    }
    return row.m_values[size_t(index)];
}

void CRecordset::PutCollect(const QString& field, const QVariant& value)
{
    RequireOpen();
    CurrentRow();
    const int index = FieldIndex(field);
    for (auto& [i, pendingValue] : m_pending) {
        if (i == index) {
            pendingValue = value;
            return;
        }
    }
    m_pending.emplace_back(index, value);
}

void CRecordset::AddNew()
{
    RequireOpen();
    if (m_bAdding || !m_pending.empty())
        Update();
    if (RowsUnread()) {
        // The column names are all an append needs; the rows stay unread. Once the table has
        // changed, reading it later must run the statement afresh.
        Execute();
        m_pQuery->finish();
        m_bExecuted = false;
        m_bAppendOnly = true;
        m_rows.clear();
        m_nLiveRows = 0;
    }
    if (!m_bFetched)
        m_bStale = true;
    Row row;
    row.m_values.resize(size_t(m_fields.size()));
    m_rows.push_back(std::move(row));
    m_nPos = m_rows.size() - 1;
    m_bAdding = true;
}

void CRecordset::Delete()
{
    RequireOpen();
    if (m_bAdding) { // deleting a row that was never stored just drops it
        m_rows.pop_back();
        m_nPos = m_rows.size();
        m_bAdding = false;
        m_pending.clear();
        return;
    }
    Row& row = CurrentRow();
    QSqlQuery& query = Statement(QStringLiteral("DELETE FROM %1 WHERE rowid = ?").arg(m_strTable));
    query.bindValue(0, row.m_nRowId);
    if (!query.exec())
        throw CDbError::FromSql(query.lastError());
    row.m_bDeleted = true;
    --m_nLiveRows;
    m_pending.clear();
}

void CRecordset::Update()
{
    RequireOpen();
    if (!m_bAdding && m_pending.empty())
        return;
    Row& row = CurrentRow();
    QStringList columns;
    for (const auto& change : m_pending)
        columns << Schema::Quoted(m_fields[change.first]);

    QString sql;
    if (m_bAdding) {
        if (columns.isEmpty()) {
            sql = QStringLiteral("INSERT INTO %1 DEFAULT VALUES").arg(m_strTable);
        } else {
            const QString marks = QStringLiteral("?, ").repeated(columns.size()).chopped(2);
            sql = QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                      .arg(m_strTable, columns.join(QStringLiteral(", ")), marks);
        }
    } else {
        sql = QStringLiteral("UPDATE %1 SET %2 = ? WHERE rowid = ?")
                  .arg(m_strTable, columns.join(QStringLiteral(" = ?, ")));
    }
    QSqlQuery& query = Statement(sql);
    int slot = 0;
    for (const auto& change : m_pending)
        query.bindValue(slot++, change.second);
    if (!m_bAdding)
        query.bindValue(slot, row.m_nRowId);
    if (!query.exec())
        throw CDbError::FromSql(query.lastError());

    for (auto& [index, value] : m_pending)
        row.m_values[size_t(index)] = std::move(value);
    if (m_bAdding) {
        row.m_nRowId = query.lastInsertId().toLongLong();
        ++m_nLiveRows;
    }
    if (!m_bFetched)
        m_bStale = true;
    m_bAdding = false;
    m_pending.clear();
}
