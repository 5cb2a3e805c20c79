#include "store/DataStore.h"

#include "app/ErrorReporter.h"
#include "store/Schema.h"

#include <QAtomicInt>
#include <QLibraryInfo>
#include <QPluginLoader>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QUrl>

namespace {
QString NewConnectionName()
{
    static QAtomicInt counter;
    return QStringLiteral("kestrum-store-%1").arg(counter.fetchAndAddRelaxed(1));
}
} // namespace

std::future<void> CDataStore::PreloadDriver()
{
    return std::async(std::launch::async, [] {
        // Loading and relocating the driver and SQLite is most of the cost of the first
        // connection; the plugin loader later finds the library already in memory.
        QPluginLoader(QLibraryInfo::path(QLibraryInfo::PluginsPath) + QStringLiteral("/sqldrivers/qsqlite"))
            .load();
    });
}

CDataStore::CDataStore(IErrorReporter* reporter) : m_pReporter(reporter) {}

CDataStore::~CDataStore()
{
    Close();
}

bool CDataStore::IsConnected() const
{
    return !m_strConnection.isEmpty() && QSqlDatabase::database(m_strConnection, false).isOpen();
}

void CDataStore::Close()
{
    m_pRecordset.reset();
    if (m_strConnection.isEmpty())
        return;
    {
        QSqlDatabase db = QSqlDatabase::database(m_strConnection, false);
        if (db.isOpen())
            db.close();
    }
    QSqlDatabase::removeDatabase(m_strConnection);
    m_strConnection.clear();
}

bool CDataStore::Connect(const QString& path)
{
    Close();
    const QString name = NewConnectionName();
    QString failure;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        // mode=rw: a missing file is an error, never silently a new empty database.
        db.setDatabaseName(QUrl::fromLocalFile(path).toString(QUrl::FullyEncoded) +
                           QStringLiteral("?mode=rw"));
        db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_URI;QSQLITE_BUSY_TIMEOUT=%1").arg(m_nBusyTimeout));
        if (!db.open()) {
            failure = CDbError::FromSql(db.lastError()).m_strDescription;
        } else {
            // SQLite reads the file only on first use, so this is where a file that is not a
            // database, or cannot be read, shows itself.
            try {
                m_bUidBindings = Schema::PrepareConnection(db, &m_bSyncTables);
            } catch (const CDbError& error) {
                failure = error.m_strDescription;
            }
            if (!failure.isEmpty())
                db.close();
        }
    }
    if (!failure.isEmpty()) {
        QSqlDatabase::removeDatabase(name);
        ReportError(QStringLiteral("连接数据库失败!\r\n错误信息:%1").arg(failure));
        return false;
    }
    m_strConnection = name;
    m_pRecordset = std::make_unique<CRecordset>(m_strConnection);
    return true;
}

void CDataStore::SetBusyTimeout(int milliseconds)
{
    m_nBusyTimeout = milliseconds;
    if (IsConnected())
        QSqlQuery(QSqlDatabase::database(m_strConnection, false))
            .exec(QStringLiteral("PRAGMA busy_timeout = %1").arg(milliseconds));
}

void CDataStore::ReportError(const QString& text) const
{
    if (m_pReporter)
        m_pReporter->ReportError(text);
}

void CDataStore::ReportMessage(const QString& text, const QString& caption, IErrorReporter::Kind kind) const
{
    if (m_pReporter)
        m_pReporter->ReportMessage(text, caption, kind);
}

QString CDataStore::FailureText(const QString& failMessage, const CDbError& error)
{
    // A full disk is the one cause the user can fix alone, so it is named; nothing was kept
    // of the failed operation, and the next one works once there is room again.
    if (error.IsDiskFull())
        return failMessage + QStringLiteral("\r\n磁盘空间已满");
    return failMessage;
}

void CDataStore::ExecTransactionStatement(const QString& statement)
{
    QSqlQuery query(QSqlDatabase::database(m_strConnection, false));
    if (!query.exec(statement))
        throw CDbError::FromSql(query.lastError());
}

void CDataStore::BeginTransaction(Access access)
{
    // A write takes the write lock at the start (IMMEDIATE), where SQLite waits for another
    // writer up to the busy timeout. A plain BEGIN would take it at the first write, after the
    // operation's own reads, and SQLite cannot wait there: it fails at once, since the other
    // writer's commit would leave those reads stale. A read needs no lock: in WAL mode its
    // transaction sees the moment its first statement began, whatever a writer does meanwhile.
    ExecTransactionStatement(access == Access::Write ? QStringLiteral("BEGIN IMMEDIATE")
                                                     : QStringLiteral("BEGIN"));
}

void CDataStore::CommitTransaction()
{
    try {
        ExecTransactionStatement(QStringLiteral("COMMIT"));
    } catch (const CDbError&) {
        RollbackNow();
        throw;
    }
}

void CDataStore::RollbackNow()
{
    // SQLite may have undone the transaction itself (it may on a full disk); the rollback then
    // finds none, which is all we ask of it.
    try {
        ExecTransactionStatement(QStringLiteral("ROLLBACK"));
    } catch (const CDbError&) {
    }
}
