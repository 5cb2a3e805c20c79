// The task table: one row per task and day, named by its day and content.
#include "app/Clock.h"
#include "app/ErrorReporter.h"
#include "store/DataStore.h"
#include "store/TableSteps.h"
#include "store/UidBindings.h"
#include "store/ValueConvert.h"

#include <QHash>

using TableSteps::DayText;

namespace {

QString TaskError()
{
    return QStringLiteral("打开事情信息表错误");
}

TableRows Tasks(const QString& condition = {}, const QVariantList& values = {}, const QString& order = {})
{
    return {QStringLiteral("shiqing"), condition, values, order};
}

TableRows OneTask(const QDate& date, const QString& content)
{
    return Tasks(QStringLiteral("date=? and content=?"), {DayText(date), content});
}

// Appends \a part to \a condition with \a join between them, or starts the condition with it.
void Join(QString& condition, const QString& join, const QString& part)
{
    if (part.isEmpty())
        return;
    condition = condition.isEmpty() ? part : condition + join + part;
}

// The rows as they are joined, one after another with no brackets, so that the engine's own
// precedence applies: the query has always worked so, and users' saved habits rely on it.
TableRows MatchingTasks(const TaskQueryCriteria& criteria)
{
    const QString joinAnd = QStringLiteral(" and ");
    const QString joinOr = QStringLiteral(" or ");
    QString condition;
    QVariantList values;
    if (criteria.bUseDate) {
        condition = QStringLiteral("date>=? and date<=?");
        values << DayText(criteria.dtFrom) << DayText(criteria.dtTo);
    }
    if (criteria.bUseContent) {
        Join(condition, criteria.bJoinContent ? joinAnd : joinOr, QStringLiteral("content like ?"));
        values << QString(u'%' + criteria.strContent + u'%');
    }
    if (criteria.bUseState) {
        QString states;
        const std::pair<bool, TaskState> pieces[] = {{criteria.bNotDone, TaskStates::NotDone()},
                                                     {criteria.bDone, TaskStates::Done()},
                                                     {criteria.bPostponed, TaskStates::Postponed()}};
        for (const auto& [ticked, state] : pieces) {
            if (ticked) {
                Join(states, joinOr, QStringLiteral("state=?"));
                values << state;
            }
        }
        Join(condition, criteria.bJoinState ? joinAnd : joinOr, states);
    }
    return Tasks(condition, values, QStringLiteral("date asc"));
}

// A month as the dates write it: two digits, "13" for the bound after December.
QString MonthText(int month)
{
    return QStringLiteral("%1").arg(month, 2, 10, QLatin1Char('0'));
}

// The period's first day and the first day after it, as texts: [first, end).
std::pair<QString, QString> PeriodBounds(const QDate& day, BatchScope scope)
{
    const QString year = QString::number(day.year());
    const auto first = [](const QString& yearText, const QString& monthText) {
        return QString(yearText + u'-' + monthText + QStringLiteral("-01"));
    };
    switch (scope) {
    case BatchScope::Year:
        return {first(year, QStringLiteral("01")),
                first(QString::number(day.year() + 1), QStringLiteral("01"))};
    case BatchScope::Month:
        return {first(year, MonthText(day.month())), first(year, MonthText(day.month() + 1))};
    case BatchScope::Day:
        break;
    }
    return {DayText(day), DayText(day.addDays(1))};
}

TableRows TasksInPeriod(const QDate& day, BatchScope scope)
{
    if (scope == BatchScope::Day)
        return Tasks(QStringLiteral("date=?"), {DayText(day)});
    const auto [first, end] = PeriodBounds(day, scope);
    return Tasks(QStringLiteral("date<? and date>=?"), {end, first});
}

} // namespace

bool CDataStore::IsTaskPresent(const QDate& date, const QString& content)
{
    bool found = false;
    const bool ran = RunReadOperation(
        TaskError(), [&] { found = TableSteps::Exists(*m_pRecordset, OneTask(date, content)); });
    return ran && found;
}

bool CDataStore::AddTask(const QDate& date, const QString& content, const TaskState& state)
{
    bool duplicate = false;
    // The test and the append share one transaction, so nothing can slip in between.
    const bool ran = RunOperation(TaskError(), [&] {
        CRecordset& rs = *m_pRecordset;
        if (TableSteps::Exists(rs, OneTask(date, content))) {
            duplicate = true;
            return;
        }
        TableSteps::Append(rs, QStringLiteral("shiqing"),
                           {{QStringLiteral("date"), DayText(date)},
                            {QStringLiteral("content"), content},
                            {QStringLiteral("state"), state}});
    });
    if (ran && duplicate)
        ReportMessage(QStringLiteral("该事情已经存在，不能添加"), QStringLiteral("警告"),
                      IErrorReporter::Kind::Error);
    return ran && !duplicate;
}

bool CDataStore::DeleteTask(const QDate& date, const QString& content)
{
    bool deleted = false;
    const bool ran = RunOperation(TaskError(), [&] {
        deleted = TableSteps::DeleteFirst(*m_pRecordset, OneTask(date, content));
        if (deleted)
            UidBindings::CBindings(m_strConnection, m_bUidBindings)
                .Unbind(UidBindings::OfTask(DayText(date), content));
    });
    return ran && deleted;
}

CDataStore::DeleteOutcome CDataStore::DeleteTasksInPeriod(const QDate& day, BatchScope scope)
{
    bool found = false;
    const bool ran = RunOperation(TaskError(), [&] {
        found = m_pRecordset->DeleteRows(TasksInPeriod(day, scope)) > 0;
        if (found) {
            const auto [first, end] = PeriodBounds(day, scope);
            UidBindings::CBindings(m_strConnection, m_bUidBindings).UnbindTaskDays(first, end);
        }
    });
    if (!ran)
        return DeleteOutcome::Failed;
    return found ? DeleteOutcome::Deleted : DeleteOutcome::NoRows;
}

bool CDataStore::PostponeTask(const QDate& date, const QString& content)
{
    const QDate nextDay = date.addDays(1);
    bool blocked = false;
    bool moved = false;
    const bool ran = RunOperation(TaskError(), [&] {
        CRecordset& rs = *m_pRecordset;
        if (TableSteps::Exists(rs, OneTask(nextDay, content))) {
            blocked = true;
            return;
        }
        rs.Open(OneTask(date, content));
        if (rs.IsEOF()) {
            rs.Close();
            return;
        }
        const long identical = rs.GetRecordCount();
        rs.MoveFirst();
        rs.PutCollect(QStringLiteral("date"), DayText(nextDay));
        rs.PutCollect(QStringLiteral("state"), TaskStates::NotDone());
        // Appending stores the move first; the new row is the trace left on the old day.
        rs.AddNew();
        rs.PutCollect(QStringLiteral("date"), DayText(date));
        rs.PutCollect(QStringLiteral("content"), content);
        rs.PutCollect(QStringLiteral("state"), TaskStates::Postponed());
        rs.Update();
        rs.Close();
        moved = true;
        // The postponed copy is the task the day had (its UID stays with it); the task on the
        // next day is a new one, whatever a binding left by another program's delete says.
        UidBindings::CBindings bindings(m_strConnection, m_bUidBindings);
        bindings.UnbindEveryPlace(UidBindings::OfTask(DayText(nextDay), content));
        if (identical > 1) {
            // The copy went to the end of the identical rows another program left on the day.
            const UidBindings::Identity copy = UidBindings::OfTask(DayText(date), content);
            bindings.BindAll(bindings.Unbind(copy), copy.At(int(identical) - 1));
        }
    });
    if (ran && blocked)
        ReportMessage(QStringLiteral("事情已经存在于第二天了\r\n不能推迟请删除"), QStringLiteral("提示"),
                      IErrorReporter::Kind::Information);
    return ran && moved;
}

bool CDataStore::SetTaskState(const QDate& date, const QString& content, const TaskState& state)
{
    bool changed = false;
    const bool ran = RunOperation(TaskError(), [&] {
        changed =
            TableSteps::WriteFirst(*m_pRecordset, OneTask(date, content), QStringLiteral("state"), state);
    });
    return ran && changed;
}

int CDataStore::CountTasksOnDay(const QDate& date)
{
    int count = 0;
    const bool ran = RunReadOperation(TaskError(), [&] {
        count = TableSteps::Count(*m_pRecordset, Tasks(QStringLiteral("date=?"), {DayText(date)}));
    });
    return ran ? count : 0;
}

bool CDataStore::ListTasksOfDay(const QDate& date, QStringList& contents, QStringList& states)
{
    std::vector<QStringList> columns;
    bool found = false;
    const bool ran = RunReadOperation(TaskError(), [&] {
        found = TableSteps::ReadColumns(*m_pRecordset, Tasks(QStringLiteral("date=?"), {DayText(date)}),
                                        {QStringLiteral("content"), QStringLiteral("state")}, columns);
    });
    if (!ran || !found)
        return false;
    contents = std::move(columns[0]);
    states = std::move(columns[1]);
    return true;
}

int CDataStore::CountInProgressOnDay(const QDate& date)
{
    int count = 0;
    const bool ran = RunReadOperation(TaskError(), [&] {
        count = TableSteps::Count(*m_pRecordset, Tasks(QStringLiteral("date=? and state=?"),
                                                       {DayText(date), TaskStates::InProgress()}));
    });
    return ran ? count : 0;
}

int CDataStore::CountTasks(const TaskQueryCriteria& criteria)
{
    int count = 0;
    const bool ran = RunReadOperation(
        TaskError(), [&] { count = TableSteps::Count(*m_pRecordset, MatchingTasks(criteria)); });
    return ran ? count : 0;
}

bool CDataStore::ListTasks(const TaskQueryCriteria& criteria, QStringList& dates, QStringList& contents,
                           QStringList& states)
{
    std::vector<QStringList> columns;
    bool found = false;
    const bool ran = RunReadOperation(TaskError(), [&] {
        found = TableSteps::ReadColumns(
            *m_pRecordset, MatchingTasks(criteria),
            {QStringLiteral("date"), QStringLiteral("content"), QStringLiteral("state")}, columns);
    });
    if (!ran || !found)
        return false;
    dates = std::move(columns[0]);
    contents = std::move(columns[1]);
    states = std::move(columns[2]);
    return true;
}

bool CDataStore::ListTaskIds(const TaskQueryCriteria& criteria, std::vector<TaskId>& ids)
{
    std::vector<TaskId> read;
    // The count comes first, as the engine counts far faster than it reads, and sizes the list
    // once; both see the same moment of the table.
    const bool ran = RunReadOperation(TaskError(), [&] {
        const TableRows rows = MatchingTasks(criteria);
        read.reserve(size_t(TableSteps::Count(*m_pRecordset, rows)));
        m_pRecordset->ReadRowIds(rows, read);
    });
    if (ran)
        ids = std::move(read);
    return ran;
}

bool CDataStore::ReadTasks(const TaskId* ids, size_t count, std::vector<TaskRecord>& tasks)
{
    std::vector<TaskRecord> read(count);
    const bool ran = RunReadOperation(TaskError(), [&] {
        if (count == 0)
            return;
        QHash<TaskId, size_t> places;
        places.reserve(qsizetype(count));
        QVariantList values;
        values.reserve(qsizetype(count));
        for (size_t i = 0; i < count; ++i) {
            places.insert(ids[i], i);
            values << ids[i];
        }
        const QString marks = QStringLiteral("?, ").repeated(qsizetype(count)).chopped(2);
        CRecordset& rs = *m_pRecordset;
        rs.Open(Tasks(QStringLiteral("rowid IN (%1)").arg(marks), values));
        for (rs.MoveFirst(); !rs.IsEOF(); rs.MoveNext()) {
            TaskRecord& task = read[places.value(rs.GetRowId())];
            task.strDate = ValueToText(rs.GetCollect(QStringLiteral("date")));
            task.strContent = ValueToText(rs.GetCollect(QStringLiteral("content")));
            task.strState = ValueToText(rs.GetCollect(QStringLiteral("state")));
        }
        rs.Close();
    });
    if (ran)
        tasks = std::move(read);
    return ran;
}

bool CDataStore::CountTaskStatistics(const QString& period, int& total, int& notDone, int& done,
                                     int& postponed)
{
    const QVariantList today = period.isEmpty() ? QVariantList() : QVariantList{DayText(Clock::today())};
    const auto inState = [&](const TaskState& state) {
        return Tasks(period.isEmpty() ? QStringLiteral("state=?") : period + QStringLiteral(" and state=?"),
                     today + QVariantList{state});
    };
    // One transaction: the four counts describe the same moment of the table.
    return RunReadOperation(TaskError(), [&] {
        CRecordset& rs = *m_pRecordset;
        total = TableSteps::Count(rs, Tasks(period, today));
        notDone = TableSteps::Count(rs, inState(TaskStates::NotDone()));
        done = TableSteps::Count(rs, inState(TaskStates::Done()));
        postponed = TableSteps::Count(rs, inState(TaskStates::Postponed()));
    });
}

bool CDataStore::CountTasksBefore(int& total, int& notDone, int& done, int& postponed)
{
    return CountTaskStatistics(QStringLiteral("date<?"), total, notDone, done, postponed);
}

bool CDataStore::CountTasksAfter(int& total, int& notDone, int& done, int& postponed)
{
    return CountTaskStatistics(QStringLiteral("date>?"), total, notDone, done, postponed);
}

bool CDataStore::CountTasksToday(int& total, int& notDone, int& done, int& postponed)
{
    return CountTaskStatistics(QStringLiteral("date=?"), total, notDone, done, postponed);
}

bool CDataStore::CountAllTasks(int& total, int& notDone, int& done, int& postponed)
{
    return CountTaskStatistics(QString(), total, notDone, done, postponed);
}
