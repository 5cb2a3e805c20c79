#include "store/Compaction.h"

#include "app/AtomicFile.h"
#include "store/DataStore.h"
#include "store/DbError.h"
#include "store/Schema.h"
#include "store/ValueConvert.h"

#include <QFile>
#include <QFileInfo>
#include <QList>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QUrl>
#include <functional>
#include <future>

namespace {

// -- Reading the databases --------------------------------------------------------------------

QString EngineText(const QSqlError& error)
{
    return error.databaseText().isEmpty() ? error.text() : error.databaseText();
}

// What the user reads when a compaction stops: what failed, that the database is as it was,
// then the engine's or the system's own words, and a full disk named as the store names it.
QString FailureText(const QString& what, const QString& detail = QString(), bool bDiskFull = false)
{
    QString text = what + QStringLiteral("，数据库没有改动。");
    if (!detail.isEmpty())
        text += QStringLiteral("\r\n错误信息:") + detail;
    if (bDiskFull)
        text += QStringLiteral("\r\n磁盘空间已满");
    return text;
}

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
    for (const QString& table : Schema::StoredTableNames()) {
        if (!query.exec(QStringLiteral("SELECT count(*) FROM ") + Schema::Quoted(table)) || !query.next()) {
            error = EngineText(query.lastError());
            return false;
        }
        counts << query.value(0).toLongLong();
    }
    return true;
}

// Opens \a path read-only on a connection of the calling thread's own (a connection belongs to
// the thread that opens it) and runs \a work on it. Empty when all went well, else what is wrong.
QString OnOwnConnection(const QString& path, const QString& name,
                        const std::function<QString(QSqlDatabase&)>& work)
{
    QString problem;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(QUrl::fromLocalFile(path).toString(QUrl::FullyEncoded) +
                           QStringLiteral("?mode=ro"));
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

std::function<void(const QString&)>& CopyHook()
{
    static std::function<void(const QString&)> hook;
    return hook;
}

} // namespace

namespace Compaction {

void SetCopyHookForTests(std::function<void(const QString& copyPath)> hook)
{
    CopyHook() = std::move(hook);
}

QString TempFileName()
{
    return QStringLiteral("temp.db");
}

Result CompactStore(CDataStore& store)
{
    if (!store.IsConnected())
        return {Outcome::Failed, QStringLiteral("数据库没有打开，不能压缩")};
    const QString dbPath = MainDatabaseFile(QSqlDatabase::database(store.ConnectionName(), false));
    if (dbPath.isEmpty())
        return {Outcome::Failed, QStringLiteral("找不到数据库文件，不能压缩")};
    const QFileInfo dbInfo(dbPath);
    const QString tempPath = dbInfo.absolutePath() + u'/' + TempFileName();

    // A copy that an interrupted compaction left behind was never the only one: the database
    // itself is only ever replaced, never moved away. A link of that name goes too, never what
    // it points to: the engine would write the copy there and the rename would put the link in
    // the database's place. The copy is then made here, as a new file nobody else can have
    // prepared; anything else of that name (a folder) is not ours and stays.
    const QFileInfo tempInfo(tempPath);
    if (tempInfo.isSymLink() || tempInfo.isFile())
        QFile::remove(tempPath);
    CAtomicFile copy(dbPath);
    if (!copy.OpenAs(tempPath)) {
        return {Outcome::Failed,
                FailureText(QStringLiteral("不能建立压缩用的临时文件 %1").arg(TempFileName()),
                            copy.LastResult().strError, copy.LastResult().bDiskFull)};
    }

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
        // The engine would sync the copy to the disk at the end of the statement, as the
        // connection's synchronous setting says, with nothing else to do meanwhile. The copy is
        // synced here instead, while it is checked, and before it may take the database's place.
        QSqlQuery query(QSqlDatabase::database(store.ConnectionName(), false));
        const QVariant synchronous =
            query.exec(QStringLiteral("PRAGMA synchronous")) && query.next() ? query.value(0) : QVariant();
        query.exec(QStringLiteral("PRAGMA synchronous = OFF"));
        if (!query.exec(QStringLiteral("VACUUM INTO ") + SqlQuote(tempPath))) {
            error = FailureText(QStringLiteral("压缩数据库失败"), EngineText(query.lastError()),
                                CDbError::FromSql(query.lastError()).IsDiskFull());
        }
        query.exec(QStringLiteral("PRAGMA synchronous = ") +
                   (synchronous.isValid() ? synchronous.toString() : QStringLiteral("FULL")));
    }
    const QString liveError = liveCounting.get();
    if (error.isEmpty() && CopyHook())
        CopyHook()(tempPath);
    if (error.isEmpty() && !liveError.isEmpty())
        error = FailureText(QStringLiteral("读取数据库失败"), liveError);
    if (error.isEmpty()) {
        auto checking = std::async(std::launch::async, [&] {
            return OnOwnConnection(tempPath, QStringLiteral("kestrum-compaction-check"), QuickCheck);
        });
        auto flushing = std::async(std::launch::async, [&] { return copy.Flush(); });
        const QString countError = OnOwnConnection(tempPath, QStringLiteral("kestrum-compaction-count"),
                                                   [&](QSqlDatabase& db) { return Counts(db, copyCounts); });
        const QString checkError = checking.get();
        if (!flushing.get())
            error = FailureText(QStringLiteral("不能把压缩后的数据库写入磁盘"), copy.LastResult().strError,
                                copy.LastResult().bDiskFull);
        else if (!checkError.isEmpty() || !countError.isEmpty())
            error = FailureText(QStringLiteral("压缩后的数据库没有通过检查"),
                                checkError.isEmpty() ? countError : checkError);
        else if (copyCounts != liveCounts)
            error = FailureText(QStringLiteral("压缩后的数据库与原数据库的记录数不同"));
    }
    if (!error.isEmpty())
        return {Outcome::Failed, error}; // the copy goes with its CAtomicFile

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
        copy.Discard();
        return reconnect(Outcome::Failed,
                         FailureText(QStringLiteral("数据库正被其他程序使用，请关闭它以后再压缩")));
    }
    // The copy is synced to the disk, keeps the database's permissions (a private file stays
    // private), and takes the database's name in one atomic step.
    copy.FreeOldFileAside();
    if (!copy.Commit()) {
        return reconnect(Outcome::Failed,
                         FailureText(QStringLiteral("不能用压缩后的数据库替换原数据库"),
                                     copy.LastResult().strError, copy.LastResult().bDiskFull));
    }
    return reconnect(Outcome::Compacted, QString());
}

} // namespace Compaction
