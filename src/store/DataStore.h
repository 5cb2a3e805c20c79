#pragma once

#include "store/DbError.h"
#include "store/Recordset.h"

#include <QString>
#include <future>
#include <memory>

class IErrorReporter;

/// The program's only access to its database (an SQLite file). Every table operation opens
/// the one shared result set on its statement, works through it, and closes it again; each
/// runs in a transaction of its own, so it either happens completely or not at all.
class CDataStore
{
public:
    explicit CDataStore(IErrorReporter* reporter = nullptr);
    ~CDataStore();
    CDataStore(const CDataStore&) = delete;
    CDataStore& operator=(const CDataStore&) = delete;

    void SetErrorReporter(IErrorReporter* reporter) { m_pReporter = reporter; }

    /// Loads the SQLite driver on a worker thread while the rest of start-up goes on; the first
    /// Connect then finds it ready. Safe to call before the application object exists. Keep
    /// the result until start-up is over (its destructor waits for the thread).
    static std::future<void> PreloadDriver();

    /// Opens the database file at \a path (which must exist and be a database), switches it to
    /// write-ahead logging with durable commits and adds the indexes the statements need.
    /// On failure shows "连接数据库失败!\r\n错误信息:" with SQLite's text and returns false.
    bool Connect(const QString& path);
    /// Closes the connection, if open.
    void Close();
    bool IsConnected() const;
    QString ConnectionName() const { return m_strConnection; }

protected:
    /// Runs one table operation: \a body works on m_pRecordset and may throw CDbError. The
    /// whole body is one transaction. On a database error the transaction is undone, the
    /// result set closed (so the next operation can open it), \a failMessage shown, and
    /// false returned.
    template <typename Body>
    bool RunOperation(const QString& failMessage, Body&& body);

    void ReportError(const QString& text) const;

    std::unique_ptr<CRecordset> m_pRecordset;

private:
    void BeginTransaction();
    void CommitTransaction();
    void RollbackTransaction();

    QString m_strConnection; ///< name of our QSqlDatabase connection (empty until Connect)
    IErrorReporter* m_pReporter = nullptr;
    int m_nTransactionDepth = 0;
};

template <typename Body>
bool CDataStore::RunOperation(const QString& failMessage, Body&& body)
{
    try {
        if (!m_pRecordset || !IsConnected())
            throw CDbError{-1, QStringLiteral("no open database connection")};
        BeginTransaction();
        try {
            body();
            if (m_pRecordset->IsOpen())
                m_pRecordset->Close();
            CommitTransaction();
        } catch (...) {
            RollbackTransaction();
            throw;
        }
        return true;
    } catch (const CDbError&) {
        if (m_pRecordset)
            m_pRecordset->Close();
        ReportError(failMessage);
        return false;
    }
}
