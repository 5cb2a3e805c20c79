// The sync's side of the store: what the planner knows of each item on the calendar server, the
// calendars' sync tokens and the conflict list, each operation one transaction, so that an item
// that changes here and the state that says why change together or not at all.
#include "app/Clock.h"
#include "store/DataStore.h"
#include "store/DbError.h"
#include "store/ExchangeRows.h"
#include "store/SyncState.h"

#include <QCryptographicHash>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QVariant>

namespace {

QString SyncError()
{
    return QStringLiteral("打开同步信息表错误");
}

QSqlQuery Exec(const QString& connection, const QString& sql, const QVariantList& values = {})
{
    QSqlQuery q(QSqlDatabase::database(connection, false));
    q.setForwardOnly(true);
    if (!q.prepare(sql))
        throw CDbError::FromSql(q.lastError());
    for (const QVariant& value : values)
        q.addBindValue(value);
    if (!q.exec())
        throw CDbError::FromSql(q.lastError());
    return q;
}

// The conflict list keeps whole items; a JSON object names each field, so that a later Kestrum
// with more fields still reads what an earlier one wrote.
QByteArray ItemText(const ExchangeItem& item)
{
    QJsonObject o{{QStringLiteral("uid"), item.strUid}};
    if (item.kind == ExchangeKind::Task) {
        o[QStringLiteral("kind")] = QStringLiteral("task");
        o[QStringLiteral("date")] = item.task.strDate;
        o[QStringLiteral("content")] = item.task.strContent;
        o[QStringLiteral("state")] = item.task.strState;
    } else {
        const ReminderRecord& r = item.reminder;
        o[QStringLiteral("kind")] = QStringLiteral("reminder");
        o[QStringLiteral("fields")] = QStringLiteral("%1 %2 %3 %4 %5 %6 %7 %8 %9")
                                          .arg(r.nYear)
                                          .arg(r.nMonth)
                                          .arg(r.nDay)
                                          .arg(r.nWeek)
                                          .arg(r.nHour)
                                          .arg(r.nMinute)
                                          .arg(r.nSecond)
                                          .arg(r.nMode)
                                          .arg(r.nRing);
        o[QStringLiteral("title")] = r.strTitle;
        o[QStringLiteral("content")] = r.strContent;
    }
    return QJsonDocument(o).toJson(QJsonDocument::Compact);
}

ExchangeItem ItemOf(const QByteArray& text)
{
    const QJsonObject o = QJsonDocument::fromJson(text).object();
    const auto field = [&o](const char* name) { return o.value(QLatin1String(name)).toString(); };
    ExchangeItem item;
    item.strUid = field("uid");
    if (field("kind") == QStringLiteral("task")) {
        item.kind = ExchangeKind::Task;
        item.task = {field("date"), field("content"), field("state")};
        return item;
    }
    item.kind = ExchangeKind::Reminder;
    const QStringList n = field("fields").split(u' ');
    short* const fields[] = {&item.reminder.nYear,   &item.reminder.nMonth, &item.reminder.nDay,
                             &item.reminder.nWeek,   &item.reminder.nHour,  &item.reminder.nMinute,
                             &item.reminder.nSecond, &item.reminder.nMode,  &item.reminder.nRing};
    for (qsizetype i = 0; i < n.size() && i < qsizetype(std::size(fields)); ++i)
        *fields[i] = n[i].toShort();
    item.reminder.strTitle = field("title");
    item.reminder.strContent = field("content");
    return item;
}

int KindNumber(ExchangeKind kind)
{
    return kind == ExchangeKind::Task ? 0 : kind == ExchangeKind::Reminder ? 1 : 2;
}

void WriteState(const QString& connection, const SyncItemState& s)
{
    Exec(connection,
         QStringLiteral(
             "INSERT INTO sync_item (uid, kind, href, etag, hash, server_text) VALUES (?, ?, ?, ?, ?, ?) "
             "ON CONFLICT (uid) DO UPDATE SET kind=excluded.kind, href=excluded.href, "
             "etag=excluded.etag, hash=excluded.hash, server_text=excluded.server_text"),
         {s.strUid, KindNumber(s.kind), s.strHref, s.etag, s.hash, s.serverText});
}

void WriteConflict(const QString& connection, const ExchangeItem& local, const QString& serverSummary)
{
    Exec(connection, QStringLiteral("INSERT INTO sync_conflict (item, server_summary, at) VALUES (?, ?, ?)"),
         {ItemText(local), serverSummary, Clock::now().toUTC().toString(Qt::ISODate)});
}

} // namespace

QByteArray SyncHash(const ExchangeItem& item)
{
    QCryptographicHash hash(QCryptographicHash::Sha1);
    // Each text with its length before it, so that no text can pass for another split differently.
    const auto add = [&hash](const QString& text) {
        const QByteArray bytes = text.toUtf8();
        hash.addData(QByteArray(QByteArray::number(bytes.size()) + ':'));
        hash.addData(bytes);
    };
    add(QString::number(KindNumber(item.kind)));
    if (item.kind == ExchangeKind::Task) {
        add(item.task.strDate);
        add(item.task.strContent);
        add(item.task.strState);
    } else {
        const ReminderRecord& r = item.reminder;
        for (const short n : {r.nYear, r.nMonth, r.nDay, r.nHour, r.nMinute, r.nSecond, r.nMode, r.nRing})
            add(QString::number(n));
        add(r.strTitle);
        add(r.strContent);
    }
    return hash.result().toHex();
}

namespace SyncTables {

QStringList TableNames()
{
    return {QStringLiteral("sync_item"), QStringLiteral("sync_calendar"), QStringLiteral("sync_conflict")};
}

QStringList CreateStatements()
{
    return {QStringLiteral("CREATE TABLE IF NOT EXISTS sync_item (seq INTEGER PRIMARY KEY, uid TEXT NOT NULL "
                           "UNIQUE, kind INTEGER NOT NULL, href TEXT NOT NULL, etag BLOB, hash BLOB, "
                           "server_text BLOB)"),
            QStringLiteral("CREATE INDEX IF NOT EXISTS sync_item_href ON sync_item (href)"),
            QStringLiteral("CREATE TABLE IF NOT EXISTS sync_calendar (href TEXT PRIMARY KEY, token TEXT)"),
            QStringLiteral("CREATE TABLE IF NOT EXISTS sync_conflict (id INTEGER PRIMARY KEY AUTOINCREMENT, "
                           "item BLOB NOT NULL, server_summary TEXT, at TEXT)")};
}

} // namespace SyncTables

void CDataStore::RequireSyncTables() const
{
    if (!m_bSyncTables || !m_bUidBindings)
        throw CDbError{-1, QStringLiteral("the database holds no sync tables")};
}

bool CDataStore::ListSyncStates(std::vector<SyncItemState>& states)
{
    std::vector<SyncItemState> out;
    const bool ok = RunReadOperation(SyncError(), [&] {
        RequireSyncTables();
        QSqlQuery q = Exec(m_strConnection, QStringLiteral("SELECT uid, kind, href, etag, hash, server_text "
                                                           "FROM sync_item ORDER BY seq"));
        while (q.next()) {
            const int kind = q.value(1).toInt();
            out.push_back({q.value(0).toString(),
                           kind == 0   ? ExchangeKind::Task
                           : kind == 1 ? ExchangeKind::Reminder
                                       : ExchangeKind::Holiday,
                           q.value(2).toString(), q.value(3).toByteArray(), q.value(4).toByteArray(),
                           q.value(5).toByteArray()});
        }
    });
    if (ok)
        states = std::move(out);
    return ok;
}

bool CDataStore::ReadSyncToken(const QString& calendar, QString& token)
{
    QString found;
    const bool ok = RunReadOperation(SyncError(), [&] {
        RequireSyncTables();
        QSqlQuery q =
            Exec(m_strConnection, QStringLiteral("SELECT token FROM sync_calendar WHERE href=?"), {calendar});
        if (q.next())
            found = q.value(0).toString();
    });
    if (ok)
        token = found;
    return ok;
}

bool CDataStore::SaveSyncToken(const QString& calendar, const QString& token)
{
    return RunOperation(SyncError(), [&] {
        RequireSyncTables();
        Exec(m_strConnection,
             QStringLiteral("INSERT OR REPLACE INTO sync_calendar (href, token) VALUES (?, ?)"),
             {calendar, token});
    });
}

bool CDataStore::TakeServerItem(const ExchangeItem& item, const SyncItemState& state,
                                const ExchangeItem* lost, const QString& sameAs)
{
    return RunOperation(SyncError(), [&] {
        RequireSyncTables();
        if (!sameAs.isEmpty())
            ExchangeRows::BindWith(m_strConnection, item.strUid, sameAs);
        const QStringList uids = ExchangeRows::Apply(m_strConnection, item);
        // Two devices that made the same item each sent it under a UID of their own: both
        // settle on the one that sorts first, and the other leaves the server as a delete from here.
        bool first = true;
        for (const QString& other : uids) {
            if (other != item.strUid && other < item.strUid &&
                Exec(m_strConnection, QStringLiteral("SELECT 1 FROM sync_item WHERE uid=?"), {other}).next())
                first = false;
        }
        if (first)
            ExchangeRows::PutFirst(m_strConnection, item.strUid);
        WriteState(m_strConnection, state);
        if (lost)
            WriteConflict(m_strConnection, *lost,
                          item.kind == ExchangeKind::Task ? item.task.strContent : item.reminder.strTitle);
    });
}

bool CDataStore::DropServerItem(const QString& uid, bool deleteHere)
{
    return RunOperation(SyncError(), [&] {
        RequireSyncTables();
        if (deleteHere)
            ExchangeRows::Remove(m_strConnection, uid);
        Exec(m_strConnection, QStringLiteral("DELETE FROM sync_item WHERE uid=?"), {uid});
    });
}

bool CDataStore::SaveSyncState(const SyncItemState& state)
{
    return RunOperation(SyncError(), [&] {
        RequireSyncTables();
        WriteState(m_strConnection, state);
    });
}

bool CDataStore::DropSyncState(const QString& uid)
{
    return RunOperation(SyncError(), [&] {
        RequireSyncTables();
        Exec(m_strConnection, QStringLiteral("DELETE FROM sync_item WHERE uid=?"), {uid});
    });
}

bool CDataStore::AddSyncConflict(const ExchangeItem& local, const QString& serverSummary)
{
    return RunOperation(SyncError(), [&] {
        RequireSyncTables();
        WriteConflict(m_strConnection, local, serverSummary);
    });
}

bool CDataStore::ListSyncConflicts(std::vector<SyncConflict>& conflicts)
{
    std::vector<SyncConflict> out;
    const bool ok = RunReadOperation(SyncError(), [&] {
        RequireSyncTables();
        QSqlQuery q =
            Exec(m_strConnection,
                 QStringLiteral("SELECT id, item, server_summary, at FROM sync_conflict ORDER BY id"));
        while (q.next())
            out.push_back({q.value(0).toLongLong(), ItemOf(q.value(1).toByteArray()), q.value(2).toString(),
                           QDateTime::fromString(q.value(3).toString(), Qt::ISODate)});
    });
    if (ok)
        conflicts = std::move(out);
    return ok;
}

bool CDataStore::RestoreSyncConflict(qint64 id)
{
    return RunOperation(SyncError(), [&] {
        RequireSyncTables();
        QSqlQuery q =
            Exec(m_strConnection, QStringLiteral("SELECT item FROM sync_conflict WHERE id=?"), {id});
        if (!q.next())
            throw CDbError{-1, QStringLiteral("no such conflict")};
        const ExchangeItem local = ItemOf(q.value(0).toByteArray());
        q.finish();
        ExchangeRows::Apply(m_strConnection, local);
        Exec(m_strConnection, QStringLiteral("DELETE FROM sync_conflict WHERE id=?"), {id});
    });
}

bool CDataStore::DropSyncConflict(qint64 id)
{
    return RunOperation(SyncError(), [&] {
        RequireSyncTables();
        Exec(m_strConnection, QStringLiteral("DELETE FROM sync_conflict WHERE id=?"), {id});
    });
}
