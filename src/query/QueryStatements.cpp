#include "query/QueryStatements.h"

#include "store/TaskRecord.h"
#include "store/ValueConvert.h"

namespace {

QString DayText(const QDate& date)
{
    return date.toString(QStringLiteral("yyyy-MM-dd"));
}

// A month as the dates write it: two digits, "13" for the bound after December.
QString MonthText(int nMonth)
{
    return QStringLiteral("%1").arg(nMonth, 2, 10, QLatin1Char('0'));
}

// Appends \a part to \a condition with \a join between them, or starts the condition with it.
void Join(QString& condition, const QString& join, const QString& part)
{
    if (part.isEmpty())
        return;
    condition = condition.isEmpty() ? part : condition + join + part;
}

} // namespace

namespace QueryStatements {

QString BuildTaskQuery(const TaskQueryCriteria& criteria)
{
    QString date;
    if (criteria.bUseDate)
        date = QStringLiteral(" date>='%1' and date<='%2' ").arg(DayText(criteria.dtFrom), DayText(criteria.dtTo));

    QString content;
    if (criteria.bUseContent)
        content = QStringLiteral(" content like '%") + SqlEscape(criteria.strContent) + QStringLiteral("%' ");

    QString state;
    if (criteria.bUseState) {
        const std::pair<bool, TaskState> pieces[] = {{criteria.bNotDone, TaskStates::NotDone()},
                                                     {criteria.bDone, TaskStates::Done()},
                                                     {criteria.bPostponed, TaskStates::Postponed()}};
        for (const auto& [ticked, name] : pieces) {
            if (ticked)
                Join(state, QStringLiteral(" or "), QStringLiteral(" state='") + name + QStringLiteral("' "));
        }
    }

    const QString joinAnd = QStringLiteral(" and ");
    const QString joinOr = QStringLiteral(" or ");
    QString condition = date;
    Join(condition, criteria.bJoinContent ? joinAnd : joinOr, content);
    Join(condition, criteria.bJoinState ? joinAnd : joinOr, state);
    condition = condition.trimmed();

    QString statement = QStringLiteral("select * from shiqing");
    if (!condition.isEmpty())
        statement += QStringLiteral(" where ") + condition;
    return statement + QStringLiteral(" order by date asc");
}

QString BuildBatchDelete(const QDate& date, BatchScope scope)
{
    const QString select = QStringLiteral("select * from shiqing where ");
    const int nYear = date.year();
    switch (scope) {
    case BatchScope::Year:
        return select + QStringLiteral("date<'%1-01-01' and date>='%2-01-01'").arg(nYear + 1).arg(nYear);
    case BatchScope::Month:
        return select + QStringLiteral("date<'%1-%2-01' and date>='%3-%4-01'")
                            .arg(QString::number(nYear), MonthText(date.month() + 1), QString::number(nYear),
                                 MonthText(date.month()));
    case BatchScope::Day:
        break;
    }
    return select + QStringLiteral("date='%1'").arg(DayText(date));
}

} // namespace QueryStatements
