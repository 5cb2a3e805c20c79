#pragma once

#include "app/ErrorReporter.h"
#include "calendar/LunarCalendar.h"
#include "store/DbError.h"
#include "store/Recordset.h"
#include "store/ReminderRecord.h"
#include "store/TaskQuery.h"
#include "store/TaskRecord.h"

#include <QDate>
#include <QDateTime>
#include <QString>
#include <QStringList>
#include <array>
#include <functional>
#include <future>
#include <memory>
#include <utility>
#include <vector>

/// The two holiday tables: solar (Gregorian) month and day, or lunar ones.
enum class HolidayCalendar
{
    Solar,
    Lunar,
};

struct ExchangeItem;
struct SyncItemState;
struct SyncConflict;

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
    IErrorReporter* ErrorReporter() const { return m_pReporter; }
    /// Called after each write operation that committed, so that what keeps a copy of the data
    /// elsewhere (the sync) learns of the change; an empty function tells nobody.
    void SetChangeListener(std::function<void()> listener) { m_changeListener = std::move(listener); }

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

    /// How long an operation waits while another program writes to the database before it
    /// gives up with its table's message; 5 seconds unless set. Applies to the open connection
    /// at once and to later ones.
    void SetBusyTimeout(int milliseconds);

    // Every table operation below runs as one transaction and reports a database error with
    // its table's fixed message through the error reporter, then returns false (0 for counts).
    // Listing operations replace the contents of their lists, one entry per row in the order
    // the statement gives them; when they return false the lists are left as they were.

    /// \name Tasks (table shiqing). A task is named by its day and its content.
    ///@{
    bool IsTaskPresent(const QDate& date, const QString& content);
    /// Refuses a content the day already holds, reporting "该事情已经存在，不能添加".
    bool AddTask(const QDate& date, const QString& content, const TaskState& state);
    /// False when the day holds no such task.
    bool DeleteTask(const QDate& date, const QString& content);
    enum class DeleteOutcome
    {
        Deleted, ///< the period held tasks, and they are gone
        NoRows,  ///< the period holds no task
        Failed,  ///< the table's message has been reported; nothing was deleted
    };
    /// Deletes, as one change, every task of the year, the month or the day of \a day. Days
    /// compare as "yyyy-MM-dd" texts, so the month after December is month "13".
    DeleteOutcome DeleteTasksInPeriod(const QDate& day, BatchScope scope);
    /// Moves the task to the next day as not done and leaves a postponed copy on its day.
    /// Refuses when the next day holds the same content, reporting
    /// "事情已经存在于第二天了\r\n不能推迟请删除".
    bool PostponeTask(const QDate& date, const QString& content);
    bool SetTaskState(const QDate& date, const QString& content, const TaskState& state);
    int CountTasksOnDay(const QDate& date);
    bool ListTasksOfDay(const QDate& date, QStringList& contents, QStringList& states);
    int CountInProgressOnDay(const QDate& date);
    /// The tasks that match \a criteria: the date, content and state rows joined by the join
    /// boxes as the user set them, without brackets, so "and" binds before "or" (ticked states
    /// join each other with "or"). No criterion at all matches every task.
    int CountTasks(const TaskQueryCriteria& criteria);
    /// The tasks of CountTasks() ordered by date.
    bool ListTasks(const TaskQueryCriteria& criteria, QStringList& dates, QStringList& contents,
                   QStringList& states);
    /// The ids of the tasks of CountTasks() in date order (so their count), read as one moment of
    /// the table: a listing that fetches its rows later by id never shifts when tasks change.
    bool ListTaskIds(const TaskQueryCriteria& criteria, std::vector<TaskId>& ids);
    /// The tasks \a ids name, in the order given; a task deleted since comes back as an empty
    /// record (TaskRecord::IsGone()).
    bool ReadTasks(const TaskId* ids, size_t count, std::vector<TaskRecord>& tasks);
    /// Statistics of the tasks before, after and on today (from the clock), and of all tasks:
    /// the total (which alone counts tasks in progress), then not done, done and postponed.
    /// Counts made before a failure stay in their outputs; the others keep their values.
    bool CountTasksBefore(int& total, int& notDone, int& done, int& postponed);
    bool CountTasksAfter(int& total, int& notDone, int& done, int& postponed);
    bool CountTasksToday(int& total, int& notDone, int& done, int& postponed);
    bool CountAllTasks(int& total, int& notDone, int& done, int& postponed);
    ///@}

    /// \name Reminders (table tx). Listings give five texts per reminder: the time
    /// "yyyy-MM-dd hh:mm:ss", the mode text, the ring text, the title and the content.
    ///@{
    /// Stores every date and time field of \a when (and its week day, 1 = Sunday), whatever
    /// the mode. Identical reminders may exist side by side.
    bool AddReminder(const QDateTime& when, int mode, int ring, const QString& title, const QString& content);
    int CountReminders();
    /// Every reminder as its fields, in the table's order; false when the table could not be
    /// read (after its message). An empty table is not a failure.
    bool ListReminderRecords(std::vector<ReminderRecord>& records);
    bool ListReminders(QStringList& times, QStringList& modes, QStringList& rings, QStringList& titles,
                       QStringList& contents);
    /// Reminders due today (from the clock): once-only ones dated today, daily ones, weekly
    /// ones on today's week day, monthly ones on today's day, yearly ones on today's month and day.
    int CountTodayReminders();
    /// The reminders of CountTodayReminders() in order of their time of day.
    bool ListTodayReminders(QStringList& times, QStringList& modes, QStringList& rings, QStringList& titles,
                            QStringList& contents);
    /// Deletes the first reminder that matches every field but the week day; false when none does.
    bool DeleteReminder(const QDateTime& when, int mode, int ring, const QString& title,
                        const QString& content);
    /// Deletes the once-only reminders whose moment lies before the current second. False when
    /// there is no once-only reminder at all.
    bool PurgeExpiredReminders();
    ///@}

    /// \name Holidays (tables yljrb, solar, and lljrb, lunar). Several holidays may share a
    /// key; a key and a name name one row. Changes act on the first matching row.
    ///@{
    /// The solar key of a date: two-digit month, then two-digit day (5 March is "0305").
    static HolidayKey SolarHolidayKey(const QDate& date);
    int CountHolidays(HolidayCalendar calendar, const HolidayKey& key);
    bool GetHolidayNames(HolidayCalendar calendar, const HolidayKey& key, QStringList& names);
    bool AddHoliday(HolidayCalendar calendar, const HolidayKey& key, const QString& name);
    bool IsHolidayPresent(HolidayCalendar calendar, const HolidayKey& key, const QString& name);
    bool DeleteHoliday(HolidayCalendar calendar, const HolidayKey& key, const QString& name);
    bool RenameHoliday(HolidayCalendar calendar, const HolidayKey& key, const QString& name,
                       const QString& newName);
    /// Both holiday tables as one text: a heading per table and a line "key: name\r\n" per
    /// row. False, with the text built so far, when a table is empty: an empty solar table
    /// leaves only the solar heading.
    bool GetAllHolidaysText(QString& text);
    ///@}

    /// \name School calendar (table xiaoli): the first row holds the term start, the second
    /// the term end. Fewer than two rows fail with the table's message.
    ///@{
    /// Outputs not yet read when a failure comes keep their values.
    bool LoadSchoolCalendar(QDateTime& termStart, QDateTime& termEnd);
    bool SaveSchoolCalendar(const QDateTime& termStart, const QDateTime& termEnd);
    ///@}

    /// \name Calendar files. Every task, reminder and holiday is named outside the planner by a
    /// UID that stays the same from export to export: the store binds it to the item's identity
    /// (a task's day and content; a reminder's fields and its place among identical ones; a
    /// holiday's calendar, key and name) and every operation above that changes an identity
    /// keeps the bindings in its own transaction.
    ///@{
    enum class ExchangeOutcome
    {
        Done,
        Stopped, ///< the callback said stop: nothing has changed
        Failed,  ///< the table's message has been reported: nothing has changed
    };
    /// Hands every task (those from \a from to \a to, both included; an invalid bound is open),
    /// then every reminder and holiday to \a sink with its UID, one at a time, as one moment of
    /// the tables; a row without a UID yet gets one, kept when the walk ends with Done. Rows are
    /// read a page at a time, so a table of any size never sits whole in memory. \a sink
    /// returns false to stop.
    ExchangeOutcome ExportItems(const QDate& from, const QDate& to,
                                const std::function<bool(const ExchangeItem&)>& sink);

    enum class ImportFeed
    {
        Item, ///< the item is filled in
        End,  ///< no more items
        Stop, ///< the source failed: undo everything
    };
    struct ImportCounts
    {
        std::array<int, 3> added{};   ///< tasks, reminders, holidays
        std::array<int, 3> updated{}; ///< tasks, reminders, holidays
    };
    /// Takes items from \a source until it says End, and applies them as one transaction: an
    /// item whose UID is bound is updated (its identity too: a task may move to another day),
    /// else an item of the same identity takes the UID (and the item's task state), else the
    /// item is added with it. An item that would become a second task or holiday of an identity
    /// already held merges into that one. Items that change nothing are not counted, so a file
    /// imported again counts nothing. \a counts are set only when the outcome is Done.
    ExchangeOutcome ImportItems(const std::function<ImportFeed(ExchangeItem&)>& source, ImportCounts& counts);
    ///@}

    /// \name Sync. Per item its state on the calendar server (SyncItemState), per calendar its
    /// sync token, and the conflict list, in tables of their own. An item's change here and its
    /// state change commit together. A database that could not take the tables opens all the
    /// same, and these operations fail with their message.
    ///@{
    bool HasSyncTables() const { return m_bSyncTables; }
    /// Every item's state, in the order they were first recorded.
    bool ListSyncStates(std::vector<SyncItemState>& states);
    /// Empty when the calendar has none.
    bool ReadSyncToken(const QString& calendar, QString& token);
    bool SaveSyncToken(const QString& calendar, const QString& token);
    /// The server's version of an item comes in with its state: the item named by its UID
    /// changes, else the one of the same identity takes the UID (the server's UID is the one it
    /// goes by from now on, unless the item already goes by a synced UID that sorts first), else
    /// it is added. With \a lost, the local version it replaced goes to the conflict list.
    /// \a sameAs names a local item found to be this one by its identity (identical reminders
    /// are told apart by their UIDs only).
    bool TakeServerItem(const ExchangeItem& item, const SyncItemState& state,
                        const ExchangeItem* lost = nullptr, const QString& sameAs = {});
    /// The server deleted the item: it goes here too when \a deleteHere, and its state goes.
    bool DropServerItem(const QString& uid, bool deleteHere);
    /// The server confirmed a write: the item's state as it stands now.
    bool SaveSyncState(const SyncItemState& state);
    bool DropSyncState(const QString& uid);
    /// The local version \a local lost to the server's (\a serverSummary, empty when it was deleted).
    bool AddSyncConflict(const ExchangeItem& local, const QString& serverSummary);
    bool ListSyncConflicts(std::vector<SyncConflict>& conflicts);
    /// Puts the local version back in place of the server's (its state stays, so it travels as a
    /// change) and drops the conflict.
    bool RestoreSyncConflict(qint64 id);
    bool DropSyncConflict(qint64 id);
    ///@}

protected:
    /// Runs one table operation that writes: \a body works on m_pRecordset and may throw
    /// CDbError. The whole body is one transaction, which waits for another program's write up
    /// to the busy timeout before it starts. On a database error the transaction is undone, the result set
    /// closed (so the next operation can open it), \a failMessage shown (with a line naming a
    /// full disk when that was the cause), and false returned.
    template <typename Body> bool RunOperation(const QString& failMessage, Body&& body)
    {
        return Run(Access::Write, failMessage, std::forward<Body>(body));
    }
    /// Runs one table operation that only reads, as RunOperation() does, in a transaction that
    /// takes no write lock: it sees one moment of the tables and never waits for a writer.
    template <typename Body> bool RunReadOperation(const QString& failMessage, Body&& body)
    {
        return Run(Access::Read, failMessage, std::forward<Body>(body));
    }

    void ReportError(const QString& text) const;
    void ReportMessage(const QString& text, const QString& caption, IErrorReporter::Kind kind) const;

    std::unique_ptr<CRecordset> m_pRecordset;

private:
    enum class Access
    {
        Read,
        Write,
    };
    template <typename Body> bool Run(Access access, const QString& failMessage, Body&& body);

    /// \a period: a condition on the date with one "?" for today, or empty for every task.
    bool CountTaskStatistics(const QString& period, int& total, int& notDone, int& done, int& postponed);
    bool ListReminderTexts(const TableRows& rows, QStringList& times, QStringList& modes, QStringList& rings,
                           QStringList& titles, QStringList& contents);
    /// The text a failed operation reports: its table's message, and a second line when the
    /// cause is one the user can remedy (a full disk).
    static QString FailureText(const QString& failMessage, const CDbError& error);
    /// Throws CDbError on a database that could not get the UID bindings' table.
    void RequireUidBindings() const;
    /// Throws CDbError on a database that could not get the sync tables.
    void RequireSyncTables() const;
    void ExecTransactionStatement(const QString& statement);
    void BeginTransaction(Access access);
    void CommitTransaction();
    void RollbackNow();

    QString m_strConnection; ///< name of our QSqlDatabase connection (empty until Connect)
    IErrorReporter* m_pReporter = nullptr;
    std::function<void()> m_changeListener;
    int m_nBusyTimeout = 5000;   ///< milliseconds
    bool m_bUidBindings = false; ///< the database holds the UID bindings of calendar files
    bool m_bSyncTables = false;  ///< the database holds the sync tables
};

template <typename Body> bool CDataStore::Run(Access access, const QString& failMessage, Body&& body)
{
    try {
        if (!m_pRecordset || !IsConnected())
            throw CDbError{-1, QStringLiteral("no open database connection")};
        BeginTransaction(access);
        try {
            body();
            if (m_pRecordset->IsOpen())
                m_pRecordset->Close();
            CommitTransaction();
        } catch (...) {
            RollbackNow();
            throw;
        }
        if (access == Access::Write && m_changeListener)
            m_changeListener();
        return true;
    } catch (const CDbError& error) {
        if (m_pRecordset)
            m_pRecordset->Close();
        ReportError(FailureText(failMessage, error));
        return false;
    }
}
