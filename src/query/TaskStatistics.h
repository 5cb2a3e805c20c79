#pragma once

#include <QString>
#include <array>

/// The counts of one period of the statistics: all its tasks (those in progress included) and
/// those not done, done and postponed.
struct TaskCounts
{
    int nTotal = 0;
    int nNotDone = 0;
    int nDone = 0;
    int nPostponed = 0;
};

/// The figures the statistics dialog shows, worked out from the counts alone.
namespace TaskStatistics {

/// The states the dialog gives a column, a rate and a slice, in that order.
enum Column
{
    NotDone = 0,
    Done = 1,
    Postponed = 2,
};

/// "part/total", the text of one cell of the table.
QString CountText(int nPart, int nTotal);
/// The share of not done, done and postponed tasks among \a all, in percent. With no task at
/// all every share is 0. The three need not add up to 100: tasks in progress count only in
/// the total.
std::array<double, 3> Rates(const TaskCounts& all);
/// "未完成率: 33.33%" and its two siblings.
QString RateText(Column column, double dRate);
/// The size of a rate's slice of the pie in whole degrees, rate × 3.6 cut, not rounded, in
/// single precision: a third is 119, a half 180, all 360.
int SliceDegrees(double dRate);

} // namespace TaskStatistics
