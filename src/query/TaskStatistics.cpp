#include "query/TaskStatistics.h"

namespace TaskStatistics {

QString CountText(int nPart, int nTotal)
{
    return QStringLiteral("%1/%2").arg(nPart).arg(nTotal);
}

std::array<double, 3> Rates(const TaskCounts& all)
{
    if (all.nTotal <= 0)
        return {0.0, 0.0, 0.0};
    const double total = all.nTotal;
    return {all.nNotDone * 100.0 / total, all.nDone * 100.0 / total, all.nPostponed * 100.0 / total};
}

QString RateText(Column column, double dRate)
{
    static const QString labels[] = {QStringLiteral("未完成率"), QStringLiteral("已完成率"),
                                     QStringLiteral("已推迟率")};
    return labels[column] + QStringLiteral(": %1%").arg(dRate, 0, 'f', 2);
}

int SliceDegrees(double dRate)
{
    // Worked out in single precision, where a third of the tasks (33.333332%) comes to just
    // under 120 degrees and is cut to 119; in double precision it rounds up to 120.
    return int(float(dRate) * 3.6f);
}

} // namespace TaskStatistics
