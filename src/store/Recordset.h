#pragma once

#include "store/DbError.h"

#include <QHash>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QStringList>
#include <QVariant>
#include <memory>
#include <vector>

/// The rows a result set opens on: every column of one table, the rows \a strCondition admits
/// (every row when it is empty), in \a strOrder or else in the order they were added. Each "?"
/// of the condition stands for the next of \a values, which are bound, never written into the
/// statement: no text a user typed can change what the statement means.
struct TableRows
{
    QString strTable;
    QString strCondition;
    QVariantList values;
    QString strOrder;
};

/// A scrollable, updatable set of rows of one table: open it on the rows it should hold, walk
/// it, read and write fields by column name, append, delete the current row, store changes,
/// close it. Every table operation of the data store is written in these steps.
///
/// Opening only compiles the statement (so a bad condition fails there); the rows are read
/// the first time they are needed, and all of them at once, so that changes made through the
/// set never disturb the walk. Asking for the count before any row was read lets the engine
/// count, and appending to a set whose rows were never read does not read them at all: an
/// add on a table of a million rows costs no more than on an empty one. Every failing step
/// throws CDbError.
class CRecordset
{
public:
    explicit CRecordset(QString connectionName);
    ~CRecordset();
    CRecordset(const CRecordset&) = delete;
    CRecordset& operator=(const CRecordset&) = delete;

    void Open(const TableRows& rows);
    bool IsOpen() const { return m_bOpen; }
    /// Closes the set; changes not yet stored by Update() are dropped.
    void Close();

    bool IsEOF();
    void MoveFirst();
    void MoveNext();
    /// Number of rows in the set (rows deleted through it no longer count).
    long GetRecordCount();

    /// The value of column \a field in the current row; a pending written value wins.
    QVariant GetCollect(const QString& field);
    /// Writes column \a field of the current row; stored by Update().
    void PutCollect(const QString& field, const QVariant& value);

    /// Starts a new row at the end of the set; fields written next go into it until Update().
    void AddNew();
    /// Deletes the current row from the table at once.
    void Delete();
    /// Stores the pending new row or the pending changes of the current row.
    void Update();

    QStringList FieldNames();
    /// The table's own key of the current row.
    qint64 GetRowId();

    /// The keys of \a rows in their order, read without opening the set on them: a million of
    /// them take 8 MB, where the rows themselves would take hundreds.
    void ReadRowIds(const TableRows& rows, std::vector<qint64>& ids);
    /// Deletes \a rows from the table in one statement, without opening the set on them; answers
    /// how many went.
    qint64 DeleteRows(const TableRows& rows);
    /// The display texts of \a fields in \a rows, in their order, one list per field: read
    /// without opening the set on them (no copy of each value kept for changes that never come),
    /// by a statement prepared once. Answers the number of rows.
    qsizetype ReadTexts(const TableRows& rows, const std::vector<QString>& fields,
                        std::vector<QStringList>& columns);

private:
    struct Row
    {
        qint64 m_nRowId = 0;
        std::vector<QVariant> m_values;
        bool m_bDeleted = false;
    };

    QSqlDatabase Database() const;
    void Execute();
    void Fetch();
    bool RowsUnread() const { return !m_bFetched && !m_bAppendOnly; }
    QSqlQuery& Statement(const QString& sql);
    int FieldIndex(const QString& field);
    Row& CurrentRow();
    void RequireOpen() const;

    QString m_strConnection;
    bool m_bOpen = false;
    TableRows m_rowsOpened;
    QString m_strTable;                  // quoted for statements
    std::unique_ptr<QSqlQuery> m_pQuery; // the compiled statement
    bool m_bExecuted = false;            // m_pQuery runs and m_fields is known
    bool m_bFetched = false;             // m_rows holds the statement's rows
    bool m_bAppendOnly = false;          // rows were appended before any was read; m_rows holds only those
    bool m_bStale = false;               // the table changed since m_pQuery ran: run it again before reading
    QStringList m_fields;                // visible columns, in statement order
    std::vector<Row> m_rows;
    size_t m_nPos = 0; // == m_rows.size() at end of set
    long m_nLiveRows = 0;

    // Pending changes of the current row (or of the row being added).
    bool m_bAdding = false;
    std::vector<std::pair<int, QVariant>> m_pending;

    // Compiled change statements, kept across sets: a batch delete runs one per row.
    QHash<QString, QSqlQuery> m_statements;
};
