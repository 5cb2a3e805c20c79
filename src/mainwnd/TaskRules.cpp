#include "mainwnd/TaskRules.h"

#include "store/DataStore.h"

namespace TaskRules {

QList<TaskRow> ReadDayTasks(CDataStore& store, const QDate& date)
{
    QStringList contents, states;
    if (store.CountTasksOnDay(date) < 1 || !store.ListTasksOfDay(date, contents, states))
        return {};
    QList<TaskRow> tasks;
    tasks.reserve(contents.size());
    for (qsizetype i = 0; i < contents.size(); ++i)
        tasks.append({contents.at(i), states.value(i)});
    return tasks;
}

bool IsEditableDate(const QDateTime& shown, const QDateTime& now)
{
    return shown.msecsTo(now) <= 86400LL * 1000;
}

bool MayChooseState(int nInProgressOnDay, const TaskState& newState)
{
    return nInProgressOnDay <= 0 || newState != TaskStates::InProgress();
}

QuickChange DoubleClick(const std::optional<TaskRow>& chosen, bool bEditable, int nInProgressOnDay)
{
    if (!chosen || !bEditable)
        return {};
    const bool inProgress = chosen->strState == TaskStates::InProgress();
    if (nInProgressOnDay > 0 && !inProgress)
        return {QuickChange::Refused, {}};
    return {QuickChange::SetState, inProgress ? TaskStates::Done() : TaskStates::InProgress()};
}

std::optional<TaskRow> TaskResetAtExit(const QList<TaskRow>& tasks)
{
    for (const TaskRow& task : tasks)
        if (task.strState == TaskStates::InProgress())
            return task;
    return std::nullopt;
}

int MarkerRow(const QList<TaskRow>& tasks, bool bEditable)
{
    if (!bEditable)
        return -1;
    for (qsizetype i = tasks.size() - 1; i >= 0; --i)
        if (tasks.at(i).strState == TaskStates::InProgress())
            return int(i);
    return -1;
}

} // namespace TaskRules
