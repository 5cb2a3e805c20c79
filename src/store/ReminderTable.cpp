// The reminder table: one row per reminder, every date and time field filled whatever the mode.
#include "app/Clock.h"
#include "store/DataStore.h"
#include "store/ReminderRecord.h"
#include "store/TableSteps.h"
#include "store/UidBindings.h"
#include "store/ValueConvert.h"

namespace {

QString AddError()
{
    return QStringLiteral("打开提醒表错误");
}
QString ListError()
{
    return QStringLiteral("打开定时提醒信息表错误");
}
QString DeleteError()
{
    return QStringLiteral("打开提醒信息表错误");
}

TableRows Reminders(const QString& condition = {}, const QVariantList& values = {}, const QString& order = {})
{
    return {QStringLiteral("tx"), condition, values, order};
}

ReminderRecord ReadReminder(CRecordset& rs)
{
    auto field = [&rs](const QString& name) { return ValueToShort(rs.GetCollect(name)); };
    ReminderRecord r;
    r.nYear = field(QStringLiteral("year"));
    r.nMonth = field(QStringLiteral("month"));
    r.nDay = field(QStringLiteral("day"));
    r.nWeek = field(QStringLiteral("week"));
    r.nHour = field(QStringLiteral("hour"));
    r.nMinute = field(QStringLiteral("minute"));
    r.nSecond = field(QStringLiteral("second"));
    r.nMode = field(QStringLiteral("mode"));
    r.nRing = field(QStringLiteral("ring"));
    r.strTitle = ValueToText(rs.GetCollect(QStringLiteral("title")));
    r.strContent = ValueToText(rs.GetCollect(QStringLiteral("content")));
    return r;
}

// The reminders due on \a day, in \a order.
TableRows DueOn(const QDate& day, const QString& order = {})
{
    return Reminders(
        QStringLiteral("mode=0 and year=? and month=? and day=? or mode=1 or mode=2 and week=? "
                       "or mode=3 and day=? or mode=4 and month=? and day=?"),
        {day.year(), day.month(), day.day(), ReminderWeekday(day), day.day(), day.month(), day.day()}, order);
}

} // namespace

bool CDataStore::AddReminder(const QDateTime& when, int mode, int ring, const QString& title,
                             const QString& content)
{
    const ReminderRecord r = ReminderRecord::At(when, mode, ring, title, content);
    return RunOperation(AddError(), [&] {
        TableSteps::Append(*m_pRecordset, QStringLiteral("tx"),
                           {{QStringLiteral("year"), r.nYear},
                            {QStringLiteral("month"), r.nMonth},
                            {QStringLiteral("day"), r.nDay},
                            {QStringLiteral("hour"), r.nHour},
                            {QStringLiteral("minute"), r.nMinute},
                            {QStringLiteral("second"), r.nSecond},
                            {QStringLiteral("week"), r.nWeek},
                            {QStringLiteral("mode"), r.nMode},
                            {QStringLiteral("ring"), r.nRing},
                            {QStringLiteral("title"), r.strTitle},
                            {QStringLiteral("content"), r.strContent}});
    });
}

int CDataStore::CountReminders()
{
    int count = 0;
    const bool ran =
        RunReadOperation(ListError(), [&] { count = TableSteps::Count(*m_pRecordset, Reminders()); });
    return ran ? count : 0;
}

bool CDataStore::ListReminderRecords(std::vector<ReminderRecord>& records)
{
    std::vector<ReminderRecord> out;
    const bool ran = RunReadOperation(ListError(), [&] {
        CRecordset& rs = *m_pRecordset;
        rs.Open(Reminders());
        if (!rs.IsEOF())
            for (rs.MoveFirst(); !rs.IsEOF(); rs.MoveNext())
                out.push_back(ReadReminder(rs));
        rs.Close();
    });
    if (ran)
        records = std::move(out);
    return ran;
}

bool CDataStore::ListReminderTexts(const TableRows& rows, QStringList& times, QStringList& modes,
                                   QStringList& rings, QStringList& titles, QStringList& contents)
{
    QStringList t, m, r, ti, c;
    bool found = false;
    const bool ran = RunReadOperation(ListError(), [&] {
        CRecordset& rs = *m_pRecordset;
        rs.Open(rows);
        if (rs.IsEOF()) {
            rs.Close();
            return;
        }
        for (rs.MoveFirst(); !rs.IsEOF(); rs.MoveNext()) {
            const ReminderRecord record = ReadReminder(rs);
            t << ReminderTimeText(record);
            m << ReminderModeText(record.nMode);
            r << ReminderRingText(record.nRing);
            ti << record.strTitle;
            c << record.strContent;
        }
        rs.Close();
        found = true;
    });
    if (!ran || !found)
        return false;
    times = std::move(t);
    modes = std::move(m);
    rings = std::move(r);
    titles = std::move(ti);
    contents = std::move(c);
    return true;
}

bool CDataStore::ListReminders(QStringList& times, QStringList& modes, QStringList& rings,
                               QStringList& titles, QStringList& contents)
{
    return ListReminderTexts(Reminders(), times, modes, rings, titles, contents);
}

int CDataStore::CountTodayReminders()
{
    int count = 0;
    const bool ran = RunReadOperation(
        ListError(), [&] { count = TableSteps::Count(*m_pRecordset, DueOn(Clock::today())); });
    return ran ? count : 0;
}

bool CDataStore::ListTodayReminders(QStringList& times, QStringList& modes, QStringList& rings,
                                    QStringList& titles, QStringList& contents)
{
    return ListReminderTexts(DueOn(Clock::today(), QStringLiteral("hour ASC, minute ASC, second ASC")), times,
                             modes, rings, titles, contents);
}

bool CDataStore::DeleteReminder(const QDateTime& when, int mode, int ring, const QString& title,
                                const QString& content)
{
    const ReminderRecord r = ReminderRecord::At(when, mode, ring, title, content);
    // The week day is left out of the match: it follows from the date anyway.
    const TableRows match = Reminders(
        QStringLiteral(
            "year=? and month=? and day=? and hour=? and minute=? and second=? and mode=? and ring=? "
            "and title=? and content=?"),
        {r.nYear, r.nMonth, r.nDay, r.nHour, r.nMinute, r.nSecond, r.nMode, r.nRing, title, content});
    bool deleted = false;
    const bool ran = RunOperation(DeleteError(), [&] {
        deleted = TableSteps::DeleteFirst(*m_pRecordset, match);
        if (deleted)
            UidBindings::CBindings(m_strConnection, m_bUidBindings).Unbind(UidBindings::OfReminder(r));
    });
    return ran && deleted;
}

bool CDataStore::PurgeExpiredReminders()
{
    // The table keeps whole seconds: a reminder due in the current second has not passed yet.
    const QDateTime now = Clock::now();
    const QDateTime second(now.date(), QTime(now.time().hour(), now.time().minute(), now.time().second()));
    bool found = false;
    const bool ran = RunOperation(DeleteError(), [&] {
        CRecordset& rs = *m_pRecordset;
        rs.Open(Reminders(QStringLiteral("mode=0")));
        if (rs.IsEOF()) {
            rs.Close();
            return;
        }
        // Identical reminders are due at the same moment, so they go together, with every UID
        // bound to any of them.
        QHash<QString, UidBindings::Identity> gone;
        for (rs.MoveFirst(); !rs.IsEOF(); rs.MoveNext()) {
            const ReminderRecord reminder = ReadReminder(rs);
            const QDateTime moment = reminder.Moment();
            // Fields that name no real moment can never fire either.
            if (!moment.isValid() || moment < second) {
                rs.Delete();
                rs.Update();
                const UidBindings::Identity id = UidBindings::OfReminder(reminder);
                gone.insert(id.HashKey(), id);
            }
        }
        rs.Close();
        UidBindings::CBindings bindings(m_strConnection, m_bUidBindings);
        for (const UidBindings::Identity& id : std::as_const(gone))
            bindings.UnbindEveryPlace(id);
        found = true;
    });
    return ran && found;
}
