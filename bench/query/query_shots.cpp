// Renders the query dialog with a result, the statistics dialog and the batch-delete dialog on
// a small sample of tasks into PNG files, to look at them. Run: bin/query_shots DIR

#include "app/Clock.h"
#include "app/ConfigFile.h"
#include "app/PlannerContext.h"
#include "query/BatchDeleteDlg.h"
#include "query/TaskQueryDlg.h"
#include "query/TaskStatsDlg.h"
#include "store/DataStore.h"
#include "store/Schema.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <cstdio>

namespace {
bool Save(QWidget& w, const QString& file)
{
    w.show();
    QApplication::processEvents();
    return w.grab().save(file);
}
} // namespace

int main(int argc, char* argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QDir out(argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("."));
    Clock::setSource([] { return QDateTime(QDate(2027, 3, 15), QTime(9, 30)); });

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("kstrm.db"));
    CDataStore store;
    if (!Schema::CreateDatabaseFile(path, QDate(2027, 2, 20), QDate(2027, 7, 10), nullptr) || !store.Connect(path))
        return 1;
    const QStringList contents = {QStringLiteral("备课：第三单元"), QStringLiteral("批改三班作业"),
                                  QStringLiteral("部门会议"), QStringLiteral("给家长回电话"),
                                  QStringLiteral("准备期中考试试卷"), QStringLiteral("教研组会议记录"),
                                  QStringLiteral("交电费"), QStringLiteral("跑步五公里")};
    const QStringList states = {QStringLiteral("未完成"), QStringLiteral("已完成"), QStringLiteral("已推迟"),
                                QStringLiteral("进行中")};
    for (int i = 0; i < 40; ++i)
        store.AddTask(QDate(2027, 3, 1).addDays(i % 28), contents[i % contents.size()] + QString::number(i / 8 + 1),
                      states[(i * 7 + i / 3) % 4]);

    ConfigFlags flags;
    CPlannerContext context(store, flags, {}, {});
    bool ok = true;
    {
        CTaskQueryDlg query(context);
        query.findChild<QCheckBox*>(QStringLiteral("useContentCheck"))->click();
        query.findChild<QLineEdit*>(QStringLiteral("contentEdit"))->setText(QStringLiteral("会议"));
        query.findChild<QCheckBox*>(QStringLiteral("useStateCheck"))->click();
        query.findChild<QCheckBox*>(QStringLiteral("notDoneCheck"))->click();
        query.findChild<QCheckBox*>(QStringLiteral("doneCheck"))->click();
        query.findChild<QCheckBox*>(QStringLiteral("useContentCheck"))->click();
        query.findChild<QCheckBox*>(QStringLiteral("useContentCheck"))->click();
        query.findChild<QCheckBox*>(QStringLiteral("joinStateCheck"))->click();
        query.show();
        query.findChild<QPushButton*>(QStringLiteral("queryButton"))->click();
        ok = Save(query, out.filePath(QStringLiteral("query.png"))) && ok;
    }
    {
        CTaskStatsDlg stats(context);
        ok = Save(stats, out.filePath(QStringLiteral("stats.png"))) && ok;
    }
    {
        CBatchDeleteDlg batch;
        ok = Save(batch, out.filePath(QStringLiteral("batch-delete.png"))) && ok;
    }
    std::printf("%s\n", ok ? "written" : "failed");
    return ok ? 0 : 1;
}
