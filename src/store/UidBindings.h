#pragma once

#include "store/DataStore.h"
#include "store/ReminderRecord.h"

#include <QHash>
#include <QSqlQuery>
#include <QString>
#include <QStringList>
#include <optional>

/// The UIDs that name tasks, reminders and holidays in calendar files, kept in a table of their
/// own beside the planner's tables (which have no key and stay as they are). A UID is bound to
/// what identifies its item: the kind, three key texts, and the item's place among identical
/// rows in table order (0 unless rows are identical). Several UIDs may name one item (a file
/// from elsewhere named it too); the first one bound is the one exported.
namespace UidBindings {

/// The statements of one store operation on its connection, each compiled on its first use and
/// kept for the operation's later runs. Rows are read once, in order: a scrollable query would
/// set aside a cache of rows on every run, which cost more than a lookup itself.
class CPreparedStatements
{
public:
    explicit CPreparedStatements(QString connectionName) : m_strConnection(std::move(connectionName)) {}
    /// Throws CDbError when \a sql does not compile.
    QSqlQuery& Prepared(const QString& sql);

private:
    QString m_strConnection;
    QHash<QString, QSqlQuery> m_statements;
};

/// The table's name; the statements that create it and its index, each safe to run again.
QString TableName();
QStringList CreateStatements();

enum Kind
{
    TaskKind = 0,
    ReminderKind = 1,
    HolidayKind = 2,
};

struct Identity
{
    int nKind = TaskKind;
    QString strKey1, strKey2, strKey3;
    int nPlace = 0;

    bool SameItemAs(const Identity& other) const
    {
        return nKind == other.nKind && strKey1 == other.strKey1 && strKey2 == other.strKey2 &&
               strKey3 == other.strKey3;
    }
    Identity At(int place) const
    {
        Identity moved = *this;
        moved.nPlace = place;
        return moved;
    }
    /// One text per item (the place aside), for counting identical rows in a walk.
    QString HashKey() const;
};

Identity OfTask(const QString& dayText, const QString& content);
/// Every field but the week day, which follows from the date.
Identity OfReminder(const ReminderRecord& reminder);
Identity OfHoliday(HolidayCalendar calendar, const QString& key, const QString& name);

/// The bindings, read and changed on one connection inside the caller's transaction. Every
/// step throws CDbError. On a database without the binding table (\a present false) the
/// steps do nothing and find nothing.
class CBindings
{
public:
    CBindings(QString connectionName, bool present);

    /// The UIDs bound to the item at \a id, first bound first.
    QStringList UidsAt(const Identity& id);
    std::optional<Identity> Find(const QString& uid);
    void Bind(const QString& uid, const Identity& id);
    void BindAll(const QStringList& uids, const Identity& id);
    /// A fresh UID bound to \a id.
    QString BindNew(const Identity& id);
    /// The item at \a id is gone: its UIDs go (they are returned) and the identical rows after it
    /// move one place up.
    QStringList Unbind(const Identity& id);
    /// A row was put in at \a id's place: the identical rows from there on move one place down.
    void MakeRoom(const Identity& id);
    /// Every place of the item (all identical rows went together).
    void UnbindEveryPlace(const Identity& id);
    /// Bindings at \a id's place and after, which no row can have (another program deleted it).
    void DropFrom(const Identity& id);
    void Forget(const QString& uid);
    /// Tasks of the days from \a firstDay up to but not including \a endDay ("yyyy-MM-dd" texts).
    void UnbindTaskDays(const QString& firstDay, const QString& endDay);

private:
    QSqlQuery& Prepared(const QString& sql) { return m_statements.Prepared(sql); }
    void Run(QSqlQuery& query);
    /// Moves the places at or after \a from of \a id's item by \a step.
    void Shift(const Identity& id, int from, int step);

    bool m_bPresent;
    CPreparedStatements m_statements;
};

} // namespace UidBindings
