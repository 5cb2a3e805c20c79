// Calendar files' side of the store: every item walked with its UID for an export, and an
// import applied as one transaction. Both work with statements of their own rather than the
// shared result set, which reads all its rows at once: a walk must hold one page of a million
// tasks at a time, and an import finds each item's row by its identity.
#include "exchange/ExchangeItem.h"
#include "store/DataStore.h"
#include "store/DbError.h"
#include "store/ExchangeRows.h"
#include "store/TableSteps.h"
#include "store/UidBindings.h"
#include "store/ValueConvert.h"

#include <QHash>
#include <QSqlDatabase>
#include <QSqlQuery>

using UidBindings::Identity;

namespace {

// Rows read per statement while walking a table.
constexpr int kPageRows = 4096;

// Thrown through the transaction when the caller's callback says stop, so that it is undone.
struct StopRequested
{
};

QString TaskError()
{
    return QStringLiteral("打开事情信息表错误");
}

QString ReminderError()
{
    return QStringLiteral("打开提醒表错误");
}

QString HolidayTable(HolidayCalendar calendar)
{
    return calendar == HolidayCalendar::Solar ? QStringLiteral("yljrb") : QStringLiteral("lljrb");
}

QString HolidayError(HolidayCalendar calendar)
{
    return calendar == HolidayCalendar::Solar ? QStringLiteral("打开阳历节日表错误")
                                              : QStringLiteral("打开农历节日表错误");
}

QString FailMessage(const ExchangeItem& item)
{
    switch (item.kind) {
    case ExchangeKind::Task:
        return TaskError();
    case ExchangeKind::Reminder:
        return ReminderError();
    case ExchangeKind::Holiday:
        break;
    }
    return HolidayError(item.holiday.calendar);
}

int KindIndex(ExchangeKind kind)
{
    return kind == ExchangeKind::Task ? 0 : kind == ExchangeKind::Reminder ? 1 : 2;
}

ReminderRecord ReminderOf(const QSqlQuery& q, int first)
{
    auto field = [&](int i) { return ValueToShort(q.value(first + i)); };
    ReminderRecord r;
    r.nYear = field(0);
    r.nMonth = field(1);
    r.nDay = field(2);
    r.nHour = field(3);
    r.nMinute = field(4);
    r.nSecond = field(5);
    r.nWeek = field(6);
    r.nMode = field(7);
    r.nRing = field(8);
    r.strTitle = ValueToText(q.value(first + 9));
    r.strContent = ValueToText(q.value(first + 10));
    return r;
}

const QString kReminderColumns =
    QStringLiteral("year, month, day, hour, minute, second, week, mode, ring, title, content");

// The statements of one store operation on its connection, compiled once each.
class CStatements
{
public:
    explicit CStatements(const QString& connection) : m_statements(connection) {}

    QSqlQuery& Run(const QString& sql, const QVariantList& values)
    {
        QSqlQuery& q = m_statements.Prepared(sql);
        // A null text would be bound as NULL, which equals nothing; the texts compared are
        // never NULL either (see MatchOf).
        for (const QVariant& value : values)
            q.addBindValue(value.typeId() == QMetaType::QString && value.isNull()
                               ? QVariant(QStringLiteral(""))
                               : value);
        if (!q.exec())
            throw CDbError::FromSql(q.lastError());
        return q;
    }

private:
    UidBindings::CPreparedStatements m_statements;
};

// -- The export's walk ------------------------------------------------------------------------

class CExportWalk
{
public:
    CExportWalk(const QString& connection, const std::function<bool(const ExchangeItem&)>& sink,
                QString& failMessage)
        : m_sql(connection), m_bindings(connection, true), m_sink(sink), m_failMessage(failMessage)
    {}

    void Tasks(const QDate& from, const QDate& to)
    {
        m_failMessage = TaskError();
        // Ordered by day and content, identical tasks (which only another program writes) come
        // together in table order, so their places count up as they pass; the page goes on from
        // the last row read, along the day and content index.
        QString range = QStringLiteral("date IS NOT NULL AND content IS NOT NULL");
        QVariantList bounds;
        if (from.isValid()) {
            range += QStringLiteral(" AND date>=?");
            bounds << TableSteps::DayText(from);
        }
        if (to.isValid()) {
            range += QStringLiteral(" AND date<=?");
            bounds << TableSteps::DayText(to);
        }
        // The UID of the first of identical rows (the only one, as a rule) comes with the row,
        // found by the engine, which is far quicker than a statement of our own per row.
        const QString head =
            QStringLiteral("SELECT rowid, date, content, state, (SELECT uid FROM uid_binding b "
                           "WHERE b.kind=0 AND b.key1=date AND b.key2=content AND b.key3='' AND "
                           "b.place=0 ORDER BY seq LIMIT 1) FROM shiqing WHERE ") +
            range;
        const QString tail = QStringLiteral(" ORDER BY date, content, rowid LIMIT %1").arg(kPageRows);
        QVariantList after;
        Identity previous{-1, {}, {}, {}, 0};
        for (;;) {
            std::vector<std::tuple<Identity, TaskRecord, QString>> page;
            const QString sql =
                after.isEmpty()
                    ? QString(head + tail)
                    : QString(head + QStringLiteral(" AND (date, content, rowid) > (?, ?, ?)") + tail);
            QSqlQuery& q = m_sql.Run(sql, bounds + after);
            while (q.next()) {
                TaskRecord task{ValueToText(q.value(1)), ValueToText(q.value(2)), ValueToText(q.value(3))};
                after = {q.value(1), q.value(2), q.value(0)};
                Identity id = UidBindings::OfTask(task.strDate, task.strContent);
                id.nPlace = id.SameItemAs(previous) ? previous.nPlace + 1 : 0;
                previous = id;
                page.emplace_back(id, std::move(task), id.nPlace == 0 ? q.value(4).toString() : QString());
            }
            q.finish();
            for (auto& [id, task, uid] : page) {
                ExchangeItem item;
                item.kind = ExchangeKind::Task;
                item.task = std::move(task);
                item.strUid = std::move(uid);
                // The first of identical rows had its UIDs looked up by the page's statement:
                // none came, so none is bound, and asking again would double the first export's work.
                Hand(item, id, id.nPlace == 0 ? Lookup::Done : Lookup::Needed);
            }
            if (page.size() < size_t(kPageRows))
                return;
        }
    }

    void Reminders()
    {
        m_failMessage = ReminderError();
        WalkInTableOrder(QStringLiteral("tx"), kReminderColumns, [](const QSqlQuery& q, ExchangeItem& item) {
            item.kind = ExchangeKind::Reminder;
            item.reminder = ReminderOf(q, 1);
            return UidBindings::OfReminder(item.reminder);
        });
    }

    void Holidays(HolidayCalendar calendar)
    {
        m_failMessage = HolidayError(calendar);
        WalkInTableOrder(HolidayTable(calendar), QStringLiteral("date, name"),
                         [calendar](const QSqlQuery& q, ExchangeItem& item) {
                             item.kind = ExchangeKind::Holiday;
                             item.holiday = {calendar, ValueToText(q.value(1)), ValueToText(q.value(2))};
                             return UidBindings::OfHoliday(calendar, item.holiday.strKey,
                                                           item.holiday.strName);
                         });
    }

private:
    template <typename ReadRow>
    void WalkInTableOrder(const QString& table, const QString& columns, ReadRow read)
    {
        QHash<QString, int> seen; // identical rows met so far, by item
        qint64 after = std::numeric_limits<qint64>::min();
        for (;;) {
            std::vector<std::pair<Identity, ExchangeItem>> page;
            QSqlQuery& q =
                m_sql.Run(QStringLiteral("SELECT rowid, %1 FROM %2 WHERE rowid>? ORDER BY rowid LIMIT %3")
                              .arg(columns, table)
                              .arg(kPageRows),
                          {after});
            while (q.next()) {
                after = q.value(0).toLongLong();
                ExchangeItem item;
                Identity id = read(q, item);
                id.nPlace = seen[id.HashKey()]++;
                page.emplace_back(id, std::move(item));
            }
            q.finish();
            for (auto& [id, item] : page)
                Hand(item, id, Lookup::Needed);
            if (page.size() < size_t(kPageRows))
                return;
        }
    }

    enum class Lookup
    {
        Needed,
        Done, ///< the walk's statement looked for the UID already
    };

    /// \a item's UID is already there when the walk's statement found it.
    void Hand(ExchangeItem& item, const Identity& id, Lookup lookup)
    {
        if (item.strUid.isEmpty()) {
            const QStringList uids = lookup == Lookup::Needed ? m_bindings.UidsAt(id) : QStringList();
            // A row another program wrote gets its UID now, and keeps it for the next export.
            item.strUid = uids.isEmpty() ? m_bindings.BindNew(id) : uids.first();
        }
        if (!m_sink(item))
            throw StopRequested{};
    }

    CStatements m_sql;
    UidBindings::CBindings m_bindings;
    const std::function<bool(const ExchangeItem&)>& m_sink;
    QString& m_failMessage;
};

// A page cache big enough for the binding table's index, into which a first export or a large
// import writes UIDs at random places, for the time of one operation (SQLite's default holds 2 MB).
class CLargerCache
{
public:
    explicit CLargerCache(const QString& connection) : m_query(QSqlDatabase::database(connection, false))
    {
        if (m_query.exec(QStringLiteral("PRAGMA cache_size")) && m_query.next())
            m_previous = m_query.value(0);
        m_query.exec(QStringLiteral("PRAGMA cache_size = -32768"));
    }
    ~CLargerCache()
    {
        if (m_previous.isValid())
            m_query.exec(QStringLiteral("PRAGMA cache_size = ") + m_previous.toString());
    }
    CLargerCache(const CLargerCache&) = delete;
    CLargerCache& operator=(const CLargerCache&) = delete;

private:
    QSqlQuery m_query;
    QVariant m_previous;
};

// -- The import's rows ------------------------------------------------------------------------

// Finds, adds and changes the rows of items by their identity, within the import's transaction.
class CImportRows
{
public:
    explicit CImportRows(const QString& connection) : m_sql(connection) {}

    struct Row
    {
        qint64 nRowId = -1;
        QString strState; ///< tasks only
    };
    /// The rows of \a id's item in table order (more than one only for identical rows).
    std::vector<Row> RowsOf(const Identity& id)
    {
        const Match match = MatchOf(id);
        QSqlQuery& q = m_sql.Run(
            QStringLiteral("SELECT rowid, %1 FROM %2 WHERE %3 ORDER BY rowid")
                .arg(id.nKind == UidBindings::TaskKind ? QStringLiteral("state") : QStringLiteral("NULL"),
                     match.table, match.condition),
            match.values);
        std::vector<Row> rows;
        while (q.next())
            rows.push_back({q.value(0).toLongLong(), ValueToText(q.value(1))});
        q.finish();
        return rows;
    }
    void Delete(const Identity& id, qint64 row)
    {
        m_sql.Run(QStringLiteral("DELETE FROM %1 WHERE rowid=?").arg(MatchOf(id).table), {row}).finish();
    }
    void Append(const ExchangeItem& item)
    {
        switch (item.kind) {
        case ExchangeKind::Task:
            m_sql.Run(QStringLiteral("INSERT INTO shiqing (date, content, state) VALUES (?, ?, ?)"),
                      {item.task.strDate, item.task.strContent,
                       item.task.strState.isEmpty() ? TaskStates::NotDone() : item.task.strState});
            return;
        case ExchangeKind::Reminder: {
            const ReminderRecord& r = item.reminder;
            const QDate date(r.nYear, r.nMonth, r.nDay);
            const int week = date.isValid() ? ReminderWeekday(date) : r.nWeek;
            m_sql.Run(QStringLiteral("INSERT INTO tx (%1) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)")
                          .arg(kReminderColumns),
                      {r.nYear, r.nMonth, r.nDay, r.nHour, r.nMinute, r.nSecond, week, r.nMode, r.nRing,
                       r.strTitle, r.strContent});
            return;
        }
        case ExchangeKind::Holiday:
            m_sql.Run(QStringLiteral("INSERT INTO %1 (date, name) VALUES (?, ?)")
                          .arg(HolidayTable(item.holiday.calendar)),
                      {item.holiday.strKey, item.holiday.strName});
            return;
        }
    }
    /// Gives the task at \a row the item's state; false when it had it already (or is no task).
    bool UpdateState(const ExchangeItem& item, const Row& row)
    {
        if (item.kind != ExchangeKind::Task || item.task.strState.isEmpty() ||
            row.strState == item.task.strState)
            return false;
        m_sql.Run(QStringLiteral("UPDATE shiqing SET state=? WHERE rowid=?"),
                  {item.task.strState, row.nRowId});
        return true;
    }

private:
    struct Match
    {
        QString table;
        QString condition;
        QVariantList values;
    };

    // An empty text stands for a NULL too (both read as ""); a compare of the column alone
    // keeps the table's index in use.
    static QString TextIs(const QString& column, const QString& value)
    {
        return value.isEmpty() ? QStringLiteral("ifnull(%1, '')=?").arg(column)
                               : column + QStringLiteral("=?");
    }

    static Match MatchOf(const Identity& id)
    {
        switch (id.nKind) {
        case UidBindings::TaskKind:
            return {QStringLiteral("shiqing"),
                    QStringLiteral("date=? AND ") + TextIs(QStringLiteral("content"), id.strKey2),
                    {id.strKey1, id.strKey2}};
        case UidBindings::ReminderKind: {
            // Year, month, day, hour, minute, second, mode, ring. The time of day comes first in
            // the condition: the table's index on it narrows the search.
            const QStringList n = id.strKey1.split(u' ');
            const auto number = [&n](int i) -> QVariant { return i < n.size() ? n[i].toInt() : 0; };
            return {
                QStringLiteral("tx"),
                QStringLiteral("hour=? AND minute=? AND second=? AND year=? AND month=? AND day=? AND mode=? "
                               "AND ring=? AND ifnull(title, '')=? AND ifnull(content, '')=?"),
                {number(3), number(4), number(5), number(0), number(1), number(2), number(6), number(7),
                 id.strKey2, id.strKey3}};
        }
        default:
            break;
        }
        const bool solar = id.strKey1 == UidBindings::OfHoliday(HolidayCalendar::Solar, {}, {}).strKey1;
        return {HolidayTable(solar ? HolidayCalendar::Solar : HolidayCalendar::Lunar),
                QStringLiteral("date=? AND ") + TextIs(QStringLiteral("name"), id.strKey3),
                {id.strKey2, id.strKey3}};
    }

    CStatements m_sql;
};

Identity IdentityOf(const ExchangeItem& item)
{
    switch (item.kind) {
    case ExchangeKind::Task:
        return UidBindings::OfTask(item.task.strDate, item.task.strContent);
    case ExchangeKind::Reminder:
        return UidBindings::OfReminder(item.reminder);
    case ExchangeKind::Holiday:
        break;
    }
    return UidBindings::OfHoliday(item.holiday.calendar, item.holiday.strKey, item.holiday.strName);
}

enum class Applied
{
    Unchanged,
    Added,
    Updated,
};

Applied ApplyItem(const ExchangeItem& item, CImportRows& rows, UidBindings::CBindings& bindings)
{
    const Identity wanted = IdentityOf(item);
    // An item without a UID (a file may leave it out) is matched by its identity alone.
    QStringList uids;
    if (!item.strUid.isEmpty())
        uids << item.strUid;
    bool changed = false;
    if (const std::optional<Identity> bound = uids.isEmpty() ? std::nullopt : bindings.Find(item.strUid)) {
        const std::vector<CImportRows::Row> was = rows.RowsOf(*bound);
        if (size_t(bound->nPlace) >= was.size()) {
            bindings.Forget(item.strUid); // another program deleted the row since
        } else if (bound->SameItemAs(wanted)) {
            return rows.UpdateState(item, was[size_t(bound->nPlace)]) ? Applied::Updated : Applied::Unchanged;
        } else {
            // The item changed in the file since it was bound: its old row goes, and it comes
            // back below under its new identity with every UID that named it.
            rows.Delete(*bound, was[size_t(bound->nPlace)].nRowId);
            uids = bindings.Unbind(*bound);
            changed = true;
        }
    }
    const std::vector<CImportRows::Row> held = rows.RowsOf(wanted);
    const int count = int(held.size());
    if (item.kind != ExchangeKind::Reminder) {
        // A day holds a task once, a key a holiday once: the item is that one.
        if (count > 0) {
            bindings.BindAll(uids, wanted);
            return rows.UpdateState(item, held.front()) || changed ? Applied::Updated : Applied::Unchanged;
        }
    } else {
        // Identical reminders may stand side by side: the item is the first that no UID names
        // yet, or one more.
        for (int place = 0; place < count; ++place) {
            if (uids.isEmpty() || bindings.UidsAt(wanted.At(place)).isEmpty()) {
                bindings.BindAll(uids, wanted.At(place));
                return changed ? Applied::Updated : Applied::Unchanged;
            }
        }
    }
    bindings.DropFrom(wanted.At(count)); // left by rows another program deleted
    rows.Append(item);
    bindings.BindAll(uids, wanted.At(count));
    return changed ? Applied::Updated : Applied::Added;
}

} // namespace

void CDataStore::RequireUidBindings() const
{
    if (!m_bUidBindings)
        throw CDbError{-1, QStringLiteral("the database holds no UID bindings")};
}

CDataStore::ExchangeOutcome CDataStore::ExportItems(const QDate& from, const QDate& to,
                                                    const std::function<bool(const ExchangeItem&)>& sink)
{
    // The walk starts as a reading transaction, one moment of the tables that never waits for
    // (nor holds up) the running planner; only a row another program wrote, which gets its UID
    // on the way, makes it take the write lock, from that row to the end.
    QString failMessage = TaskError();
    const CLargerCache cache(m_strConnection);
    try {
        const bool ran = RunReadOperation(failMessage, [&] {
            RequireUidBindings();
            CExportWalk walk(m_strConnection, sink, failMessage);
            walk.Tasks(from, to);
            walk.Reminders();
            walk.Holidays(HolidayCalendar::Solar);
            walk.Holidays(HolidayCalendar::Lunar);
        });
        return ran ? ExchangeOutcome::Done : ExchangeOutcome::Failed;
    } catch (const StopRequested&) {
        return ExchangeOutcome::Stopped;
    }
}

CDataStore::ExchangeOutcome CDataStore::ImportItems(const std::function<ImportFeed(ExchangeItem&)>& source,
                                                    ImportCounts& counts)
{
    ImportCounts made;
    QString failMessage = TaskError();
    const CLargerCache cache(m_strConnection);
    try {
        const bool ran = RunOperation(failMessage, [&] {
            RequireUidBindings();
            CImportRows rows(m_strConnection);
            UidBindings::CBindings bindings(m_strConnection, m_bUidBindings);
            for (;;) {
                ExchangeItem item;
                const ImportFeed feed = source(item);
                if (feed == ImportFeed::End)
                    return;
                if (feed == ImportFeed::Stop)
                    throw StopRequested{};
                failMessage = FailMessage(item);
                const size_t kind = size_t(KindIndex(item.kind));
                switch (ApplyItem(item, rows, bindings)) {
                case Applied::Added:
                    ++made.added[kind];
                    break;
                case Applied::Updated:
                    ++made.updated[kind];
                    break;
                case Applied::Unchanged:
                    break;
                }
            }
        });
        if (!ran)
            return ExchangeOutcome::Failed;
    } catch (const StopRequested&) {
        return ExchangeOutcome::Stopped;
    }
    counts = made;
    return ExchangeOutcome::Done;
}

namespace ExchangeRows {

QStringList Apply(const QString& connection, const ExchangeItem& item)
{
    CImportRows rows(connection);
    UidBindings::CBindings bindings(connection, true);
    ApplyItem(item, rows, bindings);
    const std::optional<Identity> bound = bindings.Find(item.strUid);
    return bound ? bindings.UidsAt(*bound) : QStringList();
}

void BindWith(const QString& connection, const QString& uid, const QString& boundUid)
{
    UidBindings::CBindings bindings(connection, true);
    if (const std::optional<Identity> bound = bindings.Find(boundUid); bound && !bindings.Find(uid))
        bindings.Bind(uid, *bound);
}

void PutFirst(const QString& connection, const QString& uid)
{
    UidBindings::CBindings bindings(connection, true);
    const std::optional<Identity> bound = bindings.Find(uid);
    if (!bound)
        return;
    QStringList uids = bindings.UidsAt(*bound);
    if (uids.isEmpty() || uids.first() == uid)
        return;
    // The order of binding is the order of the table's key: the others are bound again after it.
    for (const QString& other : uids)
        bindings.Forget(other);
    uids.removeAll(uid);
    bindings.Bind(uid, *bound);
    bindings.BindAll(uids, *bound);
}

QStringList Remove(const QString& connection, const QString& uid)
{
    CImportRows rows(connection);
    UidBindings::CBindings bindings(connection, true);
    const std::optional<Identity> bound = bindings.Find(uid);
    if (!bound)
        return {};
    const std::vector<CImportRows::Row> held = rows.RowsOf(*bound);
    if (size_t(bound->nPlace) >= held.size()) {
        bindings.Forget(uid); // another program deleted the row since
        return {uid};
    }
    rows.Delete(*bound, held[size_t(bound->nPlace)].nRowId);
    return bindings.Unbind(*bound);
}

} // namespace ExchangeRows
