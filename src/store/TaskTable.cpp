// The task table: one row per task and day, named by its day and content.
#include "app/Clock.h"
#include "app/ErrorReporter.h"
#include "store/DataStore.h"
#include "store/TableSteps.h"
#include "store/ValueConvert.h"

using TableSteps::DayText;
using TableSteps::Fill;

namespace {

QString TaskError()
{
    return QStringLiteral("打开事情信息表错误");
}

QString OneTask(const QDate& date, const QString& content)
{
    return Fill(u"select * from shiqing where date='%s' and content='%s'",
                {DayText(date), SqlEscape(content)});
}

} // namespace

bool CDataStore::IsTaskPresent(const QDate& date, const QString& content)
{
    bool found = false;
    const bool ran =
        RunOperation(TaskError(), [&] { found = TableSteps::Exists(*m_pRecordset, OneTask(date, content)); });
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
        TableSteps::Append(rs, QStringLiteral("select * from shiqing"),
                           {{QStringLiteral("date"), DayText(date)},
                            {QStringLiteral("content"), content},
                            {QStringLiteral("state"), state}});
    });
    if (ran && duplicate)
        ReportMessage(QStringLiteral("该事情已经存在，不能添加"), QStringLiteral("警告"), IErrorReporter::Kind::Error);
    return ran && !duplicate;
}

bool CDataStore::DeleteTask(const QDate& date, const QString& content)
{
    bool deleted = false;
    const bool ran = RunOperation(
        TaskError(), [&] { deleted = TableSteps::DeleteFirst(*m_pRecordset, OneTask(date, content)); });
    return ran && deleted;
}

bool CDataStore::DeleteTasksBySql(const QString& selectStatement)
{
    bool found = false;
    const bool ran = RunOperation(TaskError(), [&] {
        CRecordset& rs = *m_pRecordset;
        rs.Open(selectStatement);
        if (rs.IsEOF()) {
            rs.Close();
            return;
        }
        for (rs.MoveFirst(); !rs.IsEOF(); rs.MoveNext()) {
            rs.Delete();
            rs.Update();
        }
        rs.Close();
        found = true;
    });
    return ran && found;
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
    const bool ran = RunOperation(TaskError(), [&] {
        count = TableSteps::Count(*m_pRecordset,
                                  Fill(u"select * from shiqing where date = '%s'", {DayText(date)}));
    });
    return ran ? count : 0;
}

bool CDataStore::ListTasksOfDay(const QDate& date, QStringList& contents, QStringList& states)
{
    std::vector<QStringList> columns;
    bool found = false;
    const bool ran = RunOperation(TaskError(), [&] {
        found = TableSteps::ReadColumns(*m_pRecordset,
                                        Fill(u"select * from shiqing where date='%s'", {DayText(date)}),
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
    const bool ran = RunOperation(TaskError(), [&] {
        count = TableSteps::Count(
            *m_pRecordset,
            Fill(u"select * from shiqing where date = '%s' and state='进行中'", {DayText(date)}));
    });
    return ran ? count : 0;
}

int CDataStore::CountTasksBySql(const QString& selectStatement)
{
    int count = 0;
    const bool ran =
        RunOperation(TaskError(), [&] { count = TableSteps::Count(*m_pRecordset, selectStatement); });
    return ran ? count : 0;
}

bool CDataStore::ListTasksBySql(const QString& selectStatement, QStringList& dates, QStringList& contents,
                                QStringList& states)
{
    std::vector<QStringList> columns;
    bool found = false;
    const bool ran = RunOperation(TaskError(), [&] {
        found = TableSteps::ReadColumns(
            *m_pRecordset, selectStatement,
            {QStringLiteral("date"), QStringLiteral("content"), QStringLiteral("state")}, columns);
    });
    if (!ran || !found)
        return false;
    dates = std::move(columns[0]);
    contents = std::move(columns[1]);
    states = std::move(columns[2]);
    return true;
}

bool CDataStore::CountTaskStatistics(const QString& totalStatement,
                                     const std::function<QString(const TaskState&)>& stateStatement,
                                     int& total, int& notDone, int& done, int& postponed)
{
    // One transaction: the four counts describe the same moment of the table.
    return RunOperation(TaskError(), [&] {
        CRecordset& rs = *m_pRecordset;
        total = TableSteps::Count(rs, totalStatement);
        notDone = TableSteps::Count(rs, stateStatement(TaskStates::NotDone()));
        done = TableSteps::Count(rs, stateStatement(TaskStates::Done()));
        postponed = TableSteps::Count(rs, stateStatement(TaskStates::Postponed()));
    });
}

bool CDataStore::CountTasksBefore(int& total, int& notDone, int& done, int& postponed)
{
    const QString today = DayText(Clock::today());
    return CountTaskStatistics(
        Fill(u"select * from shiqing where date < '%s' ", {today}),
        [&](const TaskState& state) {
            return Fill(u"select * from shiqing where date < '%s' and state = '%s'",
                        {today, SqlEscape(state)});
        },
        total, notDone, done, postponed);
}

bool CDataStore::CountTasksAfter(int& total, int& notDone, int& done, int& postponed)
{
    const QString today = DayText(Clock::today());
    return CountTaskStatistics(
        Fill(u"select * from shiqing where date > '%s' ", {today}),
        [&](const TaskState& state) {
            return Fill(u"select * from shiqing where date > '%s' and state = '%s'",
                        {today, SqlEscape(state)});
        },
        total, notDone, done, postponed);
}

bool CDataStore::CountTasksToday(int& total, int& notDone, int& done, int& postponed)
{
    const QString today = DayText(Clock::today());
    return CountTaskStatistics(
        Fill(u"select * from shiqing where date = '%s' ", {today}),
        [&](const TaskState& state) {
            return Fill(u"select * from shiqing where date = '%s' and state = '%s'",
                        {today, SqlEscape(state)});
        },
        total, notDone, done, postponed);
}

bool CDataStore::CountAllTasks(int& total, int& notDone, int& done, int& postponed)
{
    return CountTaskStatistics(
        QStringLiteral("select * from shiqing"),
        [](const TaskState& state) {
            return Fill(u"select * from shiqing where state = '%s'", {SqlEscape(state)});
        },
        total, notDone, done, postponed);
}
