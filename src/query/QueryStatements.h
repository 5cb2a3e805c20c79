#pragma once

#include <QDate>
#include <QString>

/// The three criteria rows of the task query, as the user ticked and filled them.
struct TaskQueryCriteria
{
    bool bUseDate = false;
    QDate dtFrom;
    QDate dtTo;
    bool bUseContent = false;
    QString strContent;
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

/// The two SELECT statements on the task table that the query and the batch delete hand to
/// the data store. Both are plain functions of what the user chose, so every statement the
/// dialogs can make is checked without a window.
namespace QueryStatements {

/// The query of \a criteria, its tasks ordered by date: the date, content and state parts
/// joined by the join boxes as written, with no brackets, so the database's own precedence
/// (and before or) applies. Quotes in the search text are doubled, so no text can change the
/// statement; "%" and "_" keep their meaning as wildcards.
QString BuildTaskQuery(const TaskQueryCriteria& criteria);

/// The tasks of the year, month or day of \a date. Dates compare as "yyyy-MM-dd" texts, so the
/// month bound after December reads month "13".
QString BuildBatchDelete(const QDate& date, BatchScope scope);

} // namespace QueryStatements
