// The query dialog with a result, the statistics dialog and the batch-delete dialog, on forty
// tasks of the weeks before the sample day.
#include "Shots.h"
#include "app/PlannerApp.h"
#include "query/BatchDeleteDlg.h"
#include "query/TaskQueryDlg.h"
#include "query/TaskStatsDlg.h"
#include "store/TaskRecord.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>

void Shots::Query(CShots& shots)
{
    CPlannerContext& context = shots.App().Context();
    const QStringList contents = {QStringLiteral("备课：第三单元"),   QStringLiteral("批改三班作业"),
                                  QStringLiteral("部门会议"),         QStringLiteral("给家长回电话"),
                                  QStringLiteral("准备期中考试试卷"), QStringLiteral("教研组会议记录"),
                                  QStringLiteral("交电费"),           QStringLiteral("跑步五公里")};
    const TaskState states[] = {TaskStates::NotDone(), TaskStates::Done(), TaskStates::Postponed(),
                                TaskStates::InProgress()};
    for (int i = 0; i < 40; ++i)
        context.Store().AddTask(CShots::kDay.addDays(-35 + i % 28),
                                contents[i % contents.size()] + QString::number(i / 8 + 1),
                                states[(i * 7 + i / 3) % 4]);
    {
        CTaskQueryDlg query(context);
        // Tasks about meetings that are not done yet, or done ones whatever their content.
        const auto click = [&query](const char* name) {
            query.findChild<QCheckBox*>(QLatin1String(name))->click();
        };
        click("useContentCheck");
        query.findChild<QLineEdit*>(QStringLiteral("contentEdit"))->setText(QStringLiteral("会议"));
        click("useStateCheck");
        click("notDoneCheck");
        click("doneCheck");
        click("joinStateCheck");
        query.show();
        query.findChild<QPushButton*>(QStringLiteral("queryButton"))->click();
        shots.Save(query, QStringLiteral("query"));
    }
    {
        CTaskStatsDlg stats(context);
        shots.Save(stats, QStringLiteral("stats"));
    }
    {
        CBatchDeleteDlg batch;
        shots.Save(batch, QStringLiteral("batch-delete"));
    }
}
