#pragma once

#include "store/DbError.h"

#include <QSqlDatabase>
#include <QStringList>
#include <QVariant>
#include <vector>

/// A scrollable, updatable set of rows over one SELECT statement: open it on a statement,
/// walk it, read and write fields by column name, append, delete the current row, store
/// changes, close it. Every table operation of the data store is written in these steps.
///
/// The rows are read when the set is opened. A set can be changed when its statement reads
/// plain columns of one table (SELECT * / column list FROM table [WHERE ...] [ORDER BY ...]);
/// other statements (aggregates, joins) give a read-only set. Every failing step throws CDbError.
class CRecordset
{
public:
    explicit CRecordset(QString connectionName);

    void Open(const QString& statement);
    bool IsOpen() const { return m_bOpen; }
    void Close();

    bool IsEOF() const;
    void MoveFirst();
    void MoveNext();
    /// Number of rows in the set (rows deleted through it no longer count).
    long GetRecordCount() const;

    /// The value of column \a field in the current row; a pending written value wins.
    QVariant GetCollect(const QString& field) const;
    /// Writes column \a field of the current row; stored by Update().
    void PutCollect(const QString& field, const QVariant& value);

    /// Starts a new row at the end of the set; fields written next go into it until Update().
    void AddNew();
    /// Deletes the current row from the table at once.
    void Delete();
    /// Stores the pending new row or the pending changes of the current row.
    void Update();

    QStringList FieldNames() const { return m_fields; }

private:
    struct Row
    {
        qint64 m_nRowId = 0;
        std::vector<QVariant> m_values;
        bool m_bDeleted = false;
    };

    QSqlDatabase Database() const;
    int FieldIndex(const QString& field) const;
    Row& CurrentRow();
    const Row& CurrentRow() const;
    void RequireUpdatable() const;
    void RequireOpen() const;

    QString m_strConnection;
    bool m_bOpen = false;
    QString m_strTable;         // empty when the set cannot be changed
    QStringList m_fields;       // visible columns, in statement order
    std::vector<Row> m_rows;
    size_t m_nPos = 0;          // == m_rows.size() at end of set
    long m_nLiveRows = 0;

    // Pending changes of the current row (or of the row being added).
    bool m_bAdding = false;
    std::vector<std::pair<int, QVariant>> m_pending;
};
