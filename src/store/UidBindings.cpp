#include "store/UidBindings.h"

#include "store/DbError.h"

#include <QDateTime>
#include <QRandomGenerator>
#include <QSqlDatabase>
#include <QUuid>

namespace UidBindings {

namespace {
const QString kItem = QStringLiteral("kind=? AND key1=? AND key2=? AND key3=?");
} // namespace

QString TableName()
{
    return QStringLiteral("uid_binding");
}

QStringList CreateStatements()
{
    // seq keeps the order bindings were made in (the first is the one exported); it is the
    // binding table's own key, so a compaction keeps it.
    return {QStringLiteral("CREATE TABLE IF NOT EXISTS uid_binding (seq INTEGER PRIMARY KEY, "
                           "uid TEXT NOT NULL UNIQUE, kind INTEGER NOT NULL, key1 TEXT NOT NULL, "
                           "key2 TEXT NOT NULL, key3 TEXT NOT NULL, place INTEGER NOT NULL)"),
            QStringLiteral("CREATE INDEX IF NOT EXISTS uid_binding_item "
                           "ON uid_binding (kind, key1, key2, key3, place)")};
}

QString Identity::HashKey() const
{
    // Lengths first, so that no text can pass for another split differently.
    return QStringLiteral("%1:%2:%3:%4|")
               .arg(nKind)
               .arg(strKey1.size())
               .arg(strKey2.size())
               .arg(strKey3.size()) +
           strKey1 + strKey2 + strKey3;
}

Identity OfTask(const QString& dayText, const QString& content)
{
    return {TaskKind, dayText, content, QString(), 0};
}

Identity OfReminder(const ReminderRecord& r)
{
    // Plain numbers, so that an import can find the row again from the binding alone.
    const QString fields = QStringLiteral("%1 %2 %3 %4 %5 %6 %7 %8")
                               .arg(r.nYear)
                               .arg(r.nMonth)
                               .arg(r.nDay)
                               .arg(r.nHour)
                               .arg(r.nMinute)
                               .arg(r.nSecond)
                               .arg(r.nMode)
                               .arg(r.nRing);
    return {ReminderKind, fields, r.strTitle, r.strContent, 0};
}

Identity OfHoliday(HolidayCalendar calendar, const QString& key, const QString& name)
{
    return {HolidayKind,
            calendar == HolidayCalendar::Solar ? QStringLiteral("solar") : QStringLiteral("lunar"), key, name,
            0};
}

CBindings::CBindings(QString connectionName, bool present)
    : m_bPresent(present), m_statements(std::move(connectionName))
{}

QSqlQuery& CPreparedStatements::Prepared(const QString& sql)
{
    auto it = m_statements.find(sql);
    if (it == m_statements.end()) {
        QSqlQuery query(QSqlDatabase::database(m_strConnection, false));
        query.setForwardOnly(true);
        if (!query.prepare(sql))
            throw CDbError::FromSql(query.lastError());
        it = m_statements.insert(sql, query);
    }
    return *it;
}

void CBindings::Run(QSqlQuery& query)
{

    if (!query.exec())
        throw CDbError::FromSql(query.lastError());
}

namespace {
// A null text would be bound as NULL, which equals nothing.
QString Text(const QString& text)
{
    return text.isNull() ? QStringLiteral("") : text;
}

void BindItem(QSqlQuery& query, const Identity& id)
{
    query.addBindValue(id.nKind);
    query.addBindValue(Text(id.strKey1));
    query.addBindValue(Text(id.strKey2));
    query.addBindValue(Text(id.strKey3));
}
} // namespace

QStringList CBindings::UidsAt(const Identity& id)
{
    if (!m_bPresent)
        return {};
    QSqlQuery& q = Prepared(QStringLiteral("SELECT uid FROM uid_binding WHERE ") + kItem +
                            QStringLiteral(" AND place=? ORDER BY seq"));
    BindItem(q, id);
    q.addBindValue(id.nPlace);
    Run(q);
    QStringList uids;
    while (q.next())
        uids << q.value(0).toString();
    q.finish();
    return uids;
}

std::optional<Identity> CBindings::Find(const QString& uid)
{
    if (!m_bPresent)
        return {};
    QSqlQuery& q =
        Prepared(QStringLiteral("SELECT kind, key1, key2, key3, place FROM uid_binding WHERE uid=?"));
    q.addBindValue(uid);
    Run(q);
    std::optional<Identity> found;
    if (q.next())
        found = Identity{q.value(0).toInt(), q.value(1).toString(), q.value(2).toString(),
                         q.value(3).toString(), q.value(4).toInt()};
    q.finish();
    return found;
}

void CBindings::Bind(const QString& uid, const Identity& id)
{
    if (!m_bPresent)
        return;
    QSqlQuery& q = Prepared(QStringLiteral(
        "INSERT INTO uid_binding (uid, kind, key1, key2, key3, place) VALUES (?, ?, ?, ?, ?, ?)"));
    q.addBindValue(uid);
    BindItem(q, id);
    q.addBindValue(id.nPlace);
    Run(q);
}

void CBindings::BindAll(const QStringList& uids, const Identity& id)
{
    for (const QString& uid : uids)
        Bind(uid, id);
}

namespace {
// A new UID: the time in milliseconds first, then random bits (the layout of a version 7 UUID).
// UIDs made one after another so lie side by side in the binding table's index, where a first
// export of a million rows adds them at the end instead of all over the index; the random part
// comes from a generator seeded once from the system, not from the system per UID.
QString NewUid()
{
    thread_local QRandomGenerator64 random(QRandomGenerator::system()->generate64());
    const quint64 ms = quint64(QDateTime::currentMSecsSinceEpoch());
    const quint64 low = random.generate64();
    const quint64 high = (ms << 16) | 0x7000 | (random.generate() & 0x0fff);
    QByteArray bytes(16, Qt::Uninitialized);
    for (int i = 0; i < 8; ++i) {
        bytes[i] = char(high >> (56 - 8 * i));
        bytes[8 + i] = char(low >> (56 - 8 * i));
    }
    bytes[8] = char((bytes[8] & 0x3f) | 0x80); // the RFC 4122 variant
    return QUuid::fromRfc4122(bytes).toString(QUuid::WithoutBraces);
}
} // namespace

QString CBindings::BindNew(const Identity& id)
{
    const QString uid = NewUid();
    Bind(uid, id);
    return uid;
}

void CBindings::Shift(const Identity& id, int from, int step)
{
    if (!m_bPresent)
        return;
    QSqlQuery& q = Prepared(QStringLiteral("UPDATE uid_binding SET place=place+? WHERE ") + kItem +
                            QStringLiteral(" AND place>=?"));
    q.addBindValue(step);
    BindItem(q, id);
    q.addBindValue(from);
    Run(q);
}

QStringList CBindings::Unbind(const Identity& id)
{
    if (!m_bPresent)
        return {};
    const QStringList uids = UidsAt(id);
    QSqlQuery& q =
        Prepared(QStringLiteral("DELETE FROM uid_binding WHERE ") + kItem + QStringLiteral(" AND place=?"));
    BindItem(q, id);
    q.addBindValue(id.nPlace);
    Run(q);
    Shift(id, id.nPlace + 1, -1);
    return uids;
}

void CBindings::MakeRoom(const Identity& id)
{
    Shift(id, id.nPlace, 1);
}

void CBindings::UnbindEveryPlace(const Identity& id)
{
    DropFrom(id.At(0));
}

void CBindings::DropFrom(const Identity& id)
{
    if (!m_bPresent)
        return;
    QSqlQuery& q =
        Prepared(QStringLiteral("DELETE FROM uid_binding WHERE ") + kItem + QStringLiteral(" AND place>=?"));
    BindItem(q, id);
    q.addBindValue(id.nPlace);
    Run(q);
}

void CBindings::Forget(const QString& uid)
{
    if (!m_bPresent)
        return;
    QSqlQuery& q = Prepared(QStringLiteral("DELETE FROM uid_binding WHERE uid=?"));
    q.addBindValue(uid);
    Run(q);
}

void CBindings::UnbindTaskDays(const QString& firstDay, const QString& endDay)
{
    if (!m_bPresent)
        return;
    QSqlQuery& q = Prepared(QStringLiteral("DELETE FROM uid_binding WHERE kind=? AND key1>=? AND key1<?"));
    q.addBindValue(int(TaskKind));
    q.addBindValue(firstDay);
    q.addBindValue(endDay);
    Run(q);
}

} // namespace UidBindings
