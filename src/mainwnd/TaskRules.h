#pragma once

#include "store/TaskRecord.h"

#include <QDateTime>
#include <QList>
#include <QMetaType>
#include <optional>

class CDataStore;

/// One task of the shown day as the list holds it: its content (which names it on that day)
/// and its state.
struct TaskRow
{
    QString strContent;
    TaskState strState;

    friend bool operator==(const TaskRow&, const TaskRow&) = default;
};
Q_DECLARE_METATYPE(TaskRow)

/// The rules of the day's tasks. They need no window: the main window asks them and acts.
namespace TaskRules {

/// The tasks of \a date in the store's order; none when the day has none or cannot be read
/// (the store has said why).
QList<TaskRow> ReadDayTasks(CDataStore& store, const QDate& date);

/// Only the tasks of today and later can be changed. \a shown is the date the view shows, at
/// midnight once picked, or with the time of day at start-up; it stays editable for a whole day
/// after its own time.
bool IsEditableDate(const QDateTime& shown, const QDateTime& now);

/// A day keeps at most one task in progress: \a newState may be chosen unless it is "in
/// progress" while the day already has one (the chosen task itself included).
bool MayChooseState(int nInProgressOnDay, const TaskState& newState);

/// What a double click on a row does.
struct QuickChange
{
    enum Kind
    {
        Nothing, ///< no task chosen, or a past date: nothing at all
        Refused, ///< another task is in progress: the one-in-progress message
        SetState ///< the chosen task goes to strNext
    } kind = Nothing;
    TaskState strNext;
};
/// A double click starts the chosen task, and a second one finishes it; starting is refused
/// while the day has a task in progress. \a chosen is empty when no row is chosen.
QuickChange DoubleClick(const std::optional<TaskRow>& chosen, bool bEditable, int nInProgressOnDay);

/// The task of the shown day that exit puts back to not done: a task left in progress would
/// stay so for good. Only the first one found is reset.
std::optional<TaskRow> TaskResetAtExit(const QList<TaskRow>& tasks);

/// The row the in-progress marker stands beside: the last task in progress, on an editable
/// date only; -1 for none.
int MarkerRow(const QList<TaskRow>& tasks, bool bEditable);

} // namespace TaskRules
