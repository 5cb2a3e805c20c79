#pragma once

#include "store/DataStore.h"

#include <QStringList>
#include <algorithm>

/// The crash child's fixed run of store operations and a model of the tables after the first n,
/// both built from the round number.
namespace CrashScript {

enum class Kind
{
    AddTask,
    SetState,
    Postpone,
    DeleteMoved,
    AddHoliday,
    DeleteBatch
};

struct Op
{
    Kind kind;
    QDate day;
    QString text; // the task's content or the holiday's name
};

/// Everything a round writes starts with this.
inline QString Tag(int round)
{
    return QStringLiteral("r%1-").arg(round);
}

/// Items of a round: more than a child runs before the test kills it.
constexpr int kItems = 400;

inline QList<Op> Build(int round)
{
    QList<Op> ops;
    for (int i = 0; i < kItems; ++i) {
        const QString batch = Tag(round) + QStringLiteral("b%1-").arg(i / 10);
        const QString content = batch + QStringLiteral("%1 it's %s 100%").arg(i); // quotes and format holes
        // Each round has its own two centuries, so that a month's batch delete keeps to its round.
        const QDate day = QDate(2000 + 200 * round, 1, 1).addDays(3 * i);
        ops.append({Kind::AddTask, day, content});
        ops.append({Kind::SetState, day, content});
        ops.append({Kind::Postpone, day, content}); // two rows change in one operation
        if (i % 3 == 0)
            ops.append({Kind::DeleteMoved, day.addDays(1), content});
        ops.append({Kind::AddHoliday, day, content});
        if (i % 20 == 19) // now and then a month's tasks go again, in one operation
            ops.append({Kind::DeleteBatch, day, batch});
    }
    return ops;
}

inline bool Run(CDataStore& store, const Op& op)
{
    switch (op.kind) {
    case Kind::AddTask:
        return store.AddTask(op.day, op.text, TaskStates::NotDone());
    case Kind::SetState:
        return store.SetTaskState(op.day, op.text, TaskStates::InProgress());
    case Kind::Postpone:
        return store.PostponeTask(op.day, op.text);
    case Kind::DeleteMoved:
        return store.DeleteTask(op.day, op.text);
    case Kind::AddHoliday:
        return store.AddHoliday(HolidayCalendar::Solar, CDataStore::SolarHolidayKey(op.day), op.text);
    case Kind::DeleteBatch:
        return store.DeleteTasksInPeriod(op.day, BatchScope::Month) == CDataStore::DeleteOutcome::Deleted;
    }
    return false;
}

/// One round's rows: tasks as "date state content", holidays as "key name", each sorted.
struct Tables
{
    QStringList tasks, holidays;
    friend bool operator==(const Tables&, const Tables&) = default;
};

/// The rows the first \a done operations of \a ops leave.
inline Tables Model(const QList<Op>& ops, qsizetype done)
{
    struct Task
    {
        QDate day;
        QString content, state;
    };
    QList<Task> tasks;
    Tables t;
    auto find = [&tasks](const Op& op) {
        return std::find_if(tasks.begin(), tasks.end(),
                            [&](const Task& r) { return r.day == op.day && r.content == op.text; });
    };
    for (const Op& op : ops.first(std::min(done, ops.size()))) {
        switch (op.kind) {
        case Kind::AddTask:
            tasks.append({op.day, op.text, TaskStates::NotDone()});
            break;
        case Kind::SetState:
            find(op)->state = TaskStates::InProgress();
            break;
        case Kind::Postpone:
            *find(op) = {op.day.addDays(1), op.text, TaskStates::NotDone()};
            tasks.append({op.day, op.text, TaskStates::Postponed()});
            break;
        case Kind::DeleteMoved:
            tasks.erase(find(op));
            break;
        case Kind::AddHoliday:
            t.holidays << CDataStore::SolarHolidayKey(op.day) + u' ' + op.text;
            break;
        case Kind::DeleteBatch:
            tasks.removeIf([&](const Task& r) { return r.day.year() == op.day.year() && r.day.month() == op.day.month(); });
            break;
        }
    }
    for (const Task& r : tasks)
        t.tasks << r.day.toString(Qt::ISODate) + u' ' + r.state + u' ' + r.content;
    t.tasks.sort();
    t.holidays.sort();
    return t;
}

} // namespace CrashScript
