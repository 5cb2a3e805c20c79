#include "store/Schema.h"

#include "store/DbError.h"
#include "store/SyncState.h"
#include "store/UidBindings.h"
#include "store/ValueConvert.h"

#include <QFileInfo>
#include <QSet>
#include <QSqlQuery>
#include <QStringList>
#include <QUuid>

namespace {

// The tables every operation works on, in the order a message names the missing ones.
const char* const kTableNames[] = {"shiqing", "tx", "yljrb", "lljrb", "xiaoli"};

const char* const kTables[] = {
    "CREATE TABLE shiqing (date TEXT, content TEXT, state TEXT)",
    "CREATE TABLE tx (year INTEGER, month INTEGER, day INTEGER, hour INTEGER, minute INTEGER, "
    "second INTEGER, week INTEGER, mode INTEGER, ring INTEGER, title TEXT, content TEXT)",
    "CREATE TABLE yljrb (date TEXT, name TEXT)",
    "CREATE TABLE lljrb (date TEXT, name TEXT)",
    "CREATE TABLE xiaoli (date REAL)",
};

struct IndexDef
{
    const char* name;
    const char* sql;
};

// Tasks are always looked up by day, and by day and content; holidays by their month-day key.
const IndexDef kIndexes[] = {
    {"shiqing_date_content", "CREATE INDEX IF NOT EXISTS shiqing_date_content ON shiqing (date, content)"},
    {"shiqing_state_date", "CREATE INDEX IF NOT EXISTS shiqing_state_date ON shiqing (state, date)"},
    {"yljrb_date", "CREATE INDEX IF NOT EXISTS yljrb_date ON yljrb (date)"},
    {"lljrb_date", "CREATE INDEX IF NOT EXISTS lljrb_date ON lljrb (date)"},
    {"tx_time", "CREATE INDEX IF NOT EXISTS tx_time ON tx (hour, minute, second)"},
};

void Exec(QSqlQuery& query, const QString& sql)
{
    if (!query.exec(sql))
        throw CDbError::FromSql(query.lastError());
}

} // namespace

namespace Schema {

QStringList TableNames()
{
    QStringList names;
    for (const char* table : kTableNames)
        names << QLatin1String(table);
    return names;
}

QStringList StoredTableNames()
{
    return TableNames() << UidBindings::TableName() << SyncTables::TableNames();
}

QString Quoted(const QString& name)
{
    return u'"' + QString(name).replace(u'"', QStringLiteral("\"\"")) + u'"';
}

bool PrepareConnection(QSqlDatabase& db, bool* syncTables)
{
    QSqlQuery query(db);
    // Reading the schema is the first real access to the file.
    Exec(query,
         QStringLiteral("SELECT type, lower(name) FROM sqlite_master WHERE type IN ('table', 'index')"));
    QSet<QString> tables, indexes;
    while (query.next())
        (query.value(0).toString() == QStringLiteral("table") ? tables : indexes)
            .insert(query.value(1).toString());
    query.finish();

    // A file without our tables (an empty file, another program's database) is not ours to
    // change: everything below writes to it, and every operation would fail on it anyway.
    QStringList missing;
    for (const QString& table : TableNames()) {
        if (!tables.contains(table))
            missing << table;
    }
    if (!missing.isEmpty())
        throw CDbError{-1, QStringLiteral("数据库中缺少表 ") + missing.join(QStringLiteral(", "))};

    Exec(query, QStringLiteral("PRAGMA journal_mode = WAL"));
    // In WAL mode NORMAL may lose the last commits on power failure; a planner must not.
    Exec(query, QStringLiteral("PRAGMA synchronous = FULL"));
    // Reads go through a read-only map of the file instead of a system call and a copy per
    // page: a search over every task reads tens of thousands of pages. Writes still go through
    // the engine's checked writes.
    Exec(query, QStringLiteral("PRAGMA mmap_size = 268435456"));
    for (const IndexDef& index : kIndexes) {
        if (!indexes.contains(QLatin1String(index.name)))
            Exec(query, QString::fromLatin1(index.sql));
    }

    // A file we may not write opens all the same, read-only, and every save would fail later
    // with nothing but a table's message. Try a write that is undone at once.
    Exec(query, QStringLiteral("PRAGMA user_version"));
    const QString version = query.next() ? query.value(0).toString() : QStringLiteral("0");
    Exec(query, QStringLiteral("BEGIN IMMEDIATE"));
    const bool writable = query.exec(QStringLiteral("PRAGMA user_version = ") + version);
    const QSqlError writeError = query.lastError();
    Exec(query, QStringLiteral("ROLLBACK"));
    if (!writable)
        throw CDbError::FromSql(writeError);

    // The UIDs of calendar files live in a table of their own, which a database of an earlier
    // Kestrum gets here, once it is known to be ours and writable. A database that cannot take
    // it (a full disk, a name of ours already taken) still opens: only the calendar exchange
    // needs the table, and the operations that keep it skip it.
    try {
        for (const QString& sql : UidBindings::CreateStatements())
            Exec(query, sql);
    } catch (const CDbError&) {
    }
    // The sync tables likewise: only a sync needs them.
    try {
        for (const QString& sql : SyncTables::CreateStatements())
            Exec(query, sql);
    } catch (const CDbError&) {
    }
    const auto hasTable = [&query](const QString& name) {
        Exec(query,
             QStringLiteral("SELECT 1 FROM sqlite_master WHERE type = 'table' AND name = ") + SqlQuote(name));
        const bool found = query.next();
        query.finish();
        return found;
    };
    if (syncTables) {
        *syncTables = true;
        for (const QString& table : SyncTables::TableNames())
            *syncTables = *syncTables && hasTable(table);
    }
    return hasTable(UidBindings::TableName());
}

bool CreateDatabaseFile(const QString& path, const QDate& termStart, const QDate& termEnd, QString* error)
{
    if (QFileInfo::exists(path)) {
        if (error)
            *error = QStringLiteral("%1 already exists").arg(path);
        return false;
    }
    const QString name =
        QStringLiteral("kestrum-create-") + QUuid::createUuid().toString(QUuid::WithoutBraces);
    bool ok = false;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(path);
        try {
            if (!db.open())
                throw CDbError::FromSql(db.lastError());
            QSqlQuery query(db);
            Exec(query, QStringLiteral("PRAGMA journal_mode = WAL"));
            if (!db.transaction())
                throw CDbError::FromSql(db.lastError());
            for (const char* sql : kTables)
                Exec(query, QString::fromLatin1(sql));
            for (const QString& sql : UidBindings::CreateStatements() + SyncTables::CreateStatements())
                Exec(query, sql);
            query.prepare(QStringLiteral("INSERT INTO xiaoli (date) VALUES (?)"));
            for (const QDate& day : {termStart, termEnd}) {
                query.addBindValue(DateToSerial(day.startOfDay()));
                if (!query.exec())
                    throw CDbError::FromSql(query.lastError());
            }
            if (!db.commit())
                throw CDbError::FromSql(db.lastError());
            ok = true;
        } catch (const CDbError& e) {
            if (error)
                *error = e.m_strDescription;
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
    return ok;
}

} // namespace Schema
