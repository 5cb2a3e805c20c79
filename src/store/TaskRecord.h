#pragma once

#include <QString>

/// A task's state, stored in the table as one of the four texts below.
using TaskState = QString;

namespace TaskStates {
inline TaskState NotDone()
{
    return QStringLiteral("未完成");
}
inline TaskState Done()
{
    return QStringLiteral("已完成");
}
inline TaskState Postponed()
{
    return QStringLiteral("已推迟");
}
inline TaskState InProgress()
{
    return QStringLiteral("进行中");
}
} // namespace TaskStates

/// A task's row in the table, as a listing holds on to it while it shows the task.
using TaskId = qint64;

/// One row of the task table. There is no key column: the day and the content together name
/// a task, and a day holds a content at most once.
struct TaskRecord
{
    QString strDate; ///< the day as "yyyy-MM-dd"
    QString strContent;
    TaskState strState;

    /// A record read back for a task that no longer exists.
    bool IsGone() const { return strDate.isEmpty(); }

    friend bool operator==(const TaskRecord&, const TaskRecord&) = default;
};
