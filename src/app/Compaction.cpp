#include "app/Compaction.h"

#include "store/DataStore.h"

#include <QFile>
#include <QFileInfo>
#include <QList>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QUrl>
#include <functional>
#include <future>

#ifdef Q_OS_WIN
#include <io.h>
#include <windows.h>
#else
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>
#endif

namespace {

const char* const kTables[] = {"shiqing", "tx", "yljrb", "lljrb", "xiaoli"};

// -- The two file operations the safe replacement needs and Qt does not offer ---------------

#ifdef Q_OS_WIN
bool SyncFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadWrite) && _commit(file.handle()) == 0;
}

bool SyncFolder(const QString&) { return true; } // a rename with write-through is on disk

bool ReplaceFile(const QString& from, const QString& to, QString& error)
{
    if (MoveFileExW(reinterpret_cast<LPCWSTR>(from.utf16()), reinterpret_cast<LPCWSTR>(to.utf16()),
                    MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return true;
    error = QStringLiteral("MoveFileEx error %1").arg(GetLastError());
    return false;
}
#else
bool SyncPath(const QString& path, int flags)
{
    const int fd = ::open(QFile::encodeName(path).constData(), flags | O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool ok = ::fsync(fd) == 0;
    ::close(fd);
    return ok;
}

bool SyncFile(const QString& path) { return SyncPath(path, O_RDONLY); }

// The rename itself lives in the folder: without this a power cut may bring the old name back.
bool SyncFolder(const QString& folder) { return SyncPath(folder, O_RDONLY | O_DIRECTORY); }

bool ReplaceFile(const QString& from, const QString& to, QString& error)
{
    // rename(2) replaces the target in one step: every reader sees the old file or the new one.
    if (::rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) == 0)
        return true;
    error = QString::fromLocal8Bit(std::strerror(errno));
    return false;
}
#endif

// -- Reading the databases --------------------------------------------------------------------

QString EngineText(const QSqlError& error)
{
    return error.databaseText().isEmpty() ? error.text() : error.databaseText();
}

QString SqlLiteral(const QString& text) { return u'\'' + QString(text).replace(u'\'', QStringLiteral("''")) + u'\''; }

// The file SQLite has open as the connection's main database, as SQLite names it.
QString MainDatabaseFile(const QSqlDatabase& db)
{
    QSqlQuery query(db);
    if (!query.exec(QStringLiteral("PRAGMA database_list")))
        return {};
    while (query.next()) {
        if (query.value(1).toString() == QStringLiteral("main"))
            return query.value(2).toString();
    }
    return {};
}

bool CountRows(const QSqlDatabase& db, QList<qint64>& counts, QString& error)
{
    counts.clear();
    QSqlQuery query(db);
    for (const char* table : kTables) {
        if (!query.exec(QStringLiteral("SELECT count(*) FROM ") + QLatin1String(table)) || !query.next()) {
            error = EngineText(query.lastError());
            return false;
        }
        counts << query.value(0).toLongLong();
    }
    return true;
}

// Opens \a path read-only on a connection of the calling thread's own (a connection belongs to
// the thread that opens it) and runs \a work on it. Empty when all went well, else what is wrong.
QString OnOwnConnection(const QString& path, const QString& name, const std::function<QString(QSqlDatabase&)>& work)
{
    QString problem;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(QUrl::fromLocalFile(path).toString(QUrl::FullyEncoded) + QStringLiteral("?mode=ro"));
        db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_URI"));
        problem = db.open() ? work(db) : EngineText(db.lastError());
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
    return problem;
}

// quick_check reads every page and record of the file, as integrity_check does, but skips
// matching each index entry against its table: the copy's indexes were just built from those
// very rows, and the row counts are compared all the same. The file is mapped, not copied page
// by page: it was just written and is in memory.
QString QuickCheck(QSqlDatabase& db)
{
    QSqlQuery query(db);
    query.exec(QStringLiteral("PRAGMA mmap_size = 1073741824"));
    if (!query.exec(QStringLiteral("PRAGMA quick_check")) || !query.next())
        return EngineText(query.lastError());
    return query.value(0).toString() == QStringLiteral("ok") ? QString() : query.value(0).toString();
}

QString Counts(QSqlDatabase& db, QList<qint64>& counts)
{
    QString error;
    if (!CountRows(db, counts, error) && error.isEmpty())
        error = QStringLiteral("cannot count the rows");
    return error;
}

} // namespace

namespace Compaction {

QString TempFileName() { return QStringLiteral("temp.db"); }

Result CompactStore(CDataStore& store)
{
    if (!store.IsConnected())
        return {Outcome::Failed, QStringLiteral("数据库没有打开")};
    const QString dbPath = MainDatabaseFile(QSqlDatabase::database(store.ConnectionName(), false));
    if (dbPath.isEmpty())
        return {Outcome::Failed, QStringLiteral("找不到数据库文件")};
    const QFileInfo dbInfo(dbPath);
    const QString folder = dbInfo.absolutePath();
    const QString tempPath = folder + u'/' + TempFileName();

    // A copy that an interrupted compaction left behind was never the only one: the database
    // itself is only ever replaced, never moved away. Anything else of that name (a folder,
    // a file we may not remove) is not ours and stays; the copy then fails with the engine's word.
    if (QFileInfo(tempPath).isFile())
        QFile::remove(tempPath);
    const bool bTempWasThere = QFileInfo::exists(tempPath) || QFileInfo(tempPath).isSymLink();
    const auto dropCopy = [&] {
        if (!bTempWasThere)
            QFile::remove(tempPath);
    };

    // The live rows are counted on a thread and connection of their own while the copy is
    // written, and the copy is counted while another thread checks it: the copy and its check
    // are most of the time a compaction takes, and each reads the file once from memory.
    QList<qint64> liveCounts, copyCounts;
    auto liveCounting = std::async(std::launch::async, [&] {
        return OnOwnConnection(dbPath, QStringLiteral("kestrum-compaction-live"),
                               [&](QSqlDatabase& db) { return Counts(db, liveCounts); });
    });
    QString error;
    {
        QSqlQuery query(QSqlDatabase::database(store.ConnectionName(), false));
        if (!query.exec(QStringLiteral("VACUUM INTO ") + SqlLiteral(tempPath)))
            error = EngineText(query.lastError());
    }
    const QString liveError = liveCounting.get();
    if (error.isEmpty() && !liveError.isEmpty())
        error = liveError;
    if (error.isEmpty()) {
        auto checking = std::async(std::launch::async, [&] {
            return OnOwnConnection(tempPath, QStringLiteral("kestrum-compaction-check"), QuickCheck);
        });
        error = OnOwnConnection(tempPath, QStringLiteral("kestrum-compaction-count"),
                                [&](QSqlDatabase& db) { return Counts(db, copyCounts); });
        const QString checkError = checking.get();
        if (!checkError.isEmpty())
            error = checkError;
        else if (error.isEmpty() && copyCounts != liveCounts)
            error = QStringLiteral("压缩后的数据库与原数据库的记录数不同");
    }
    if (error.isEmpty() && !SyncFile(tempPath))
        error = QStringLiteral("不能把压缩后的数据库写入磁盘");
    if (!error.isEmpty()) {
        dropCopy();
        return {Outcome::Failed, error};
    }
    // The database keeps its permissions (a private file stays private).
    QFile::setPermissions(tempPath, QFile::permissions(dbPath));

    // Closing the last connection folds the write-ahead log into the file and deletes it. A log
    // that is still there belongs to another program with the file open; it would be applied
    // to the new file as if it were the old one, so the database is left alone.
    store.Close();
    const auto reconnect = [&](Outcome outcome, const QString& text) -> Result {
        if (!store.Connect(dbPath))
            return {Outcome::ReconnectFailed, text};
        return {outcome, text};
    };
    if (QFileInfo::exists(dbPath + QStringLiteral("-wal"))) {
        dropCopy();
        return reconnect(Outcome::Failed, QStringLiteral("数据库正被其他程序使用，请关闭它以后再压缩"));
    }
    if (!ReplaceFile(tempPath, dbPath, error)) {
        dropCopy();
        return reconnect(Outcome::Failed, error);
    }
    SyncFolder(folder);
    return reconnect(Outcome::Compacted, QString());
}

} // namespace Compaction
