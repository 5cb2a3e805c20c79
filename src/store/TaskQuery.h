#pragma once

#include <QDate>
#include <QString>

/// The three criteria rows of the task query, as the user ticked and filled them. The store
/// finds the tasks that match them (CDataStore::CountTasks, CDataStore::ListTasks).
struct TaskQueryCriteria
{
    bool bUseDate = false;
    QDate dtFrom;
    QDate dtTo;
    bool bUseContent = false;
    QString strContent; ///< "%" and "_" in it are wildcards, as they always were
    bool bUseState = false;
    bool bNotDone = false;
    bool bDone = false;
    bool bPostponed = false;
    bool bJoinDate = false;    ///< never shown and never used: the date row starts the condition
    bool bJoinContent = false; ///< true: "and" before the content row, false: "or"
    bool bJoinState = false;   ///< true: "and" before the state row, false: "or"
};

/// Which tasks a batch delete removes: all of the picked day's year, month or the day itself.
enum class BatchScope
{
    Year = 1,
    Month = 2,
    Day = 3,
};
