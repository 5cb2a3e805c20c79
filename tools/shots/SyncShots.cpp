// The account dialog of a set account, and the sync window with a refused item and two local
// versions that lost to the server's.
#include "Shots.h"
#include "app/PlannerApp.h"
#include "app/SettingsFile.h"
#include "sync/SyncEngine.h"
#include "sync/SyncSettings.h"
#include "syncui/SyncAccountDlg.h"
#include "syncui/SyncDlg.h"

#include <QFile>

void Shots::Sync(CShots& shots)
{
    CPlannerContext& context = shots.App().Context();
    const QString settingsFile = context.DataFile(CSettingsFile::FileName());
    SyncSettings account;
    account.server = QUrl(QStringLiteral("https://dav.school.example/"));
    account.strUser = QStringLiteral("teacher");
    account.strTasksCalendar = QStringLiteral("/teacher/kestrum-tasks/");
    account.strRemindersCalendar = QStringLiteral("/teacher/kestrum-reminders/");
    account.lastSync = QDateTime(CShots::kDay, QTime(14, 5));
    account.strLastResult = QStringLiteral("发送 3 项，收到 2 项，1 项被服务器拒收");
    QString error;
    account.Save(settingsFile, error);
    {
        CSyncAccountDlg dlg(settingsFile, QStringLiteral("password"), {});
        shots.Save(dlg, QStringLiteral("sync-account"));
    }

    ExchangeItem task;
    task.strUid = QStringLiteral("shot-1");
    task.task = {CShots::kDay.toString(Qt::ISODate), QStringLiteral("准备期末复习提纲"), TaskStates::Done()};
    context.Store().AddSyncConflict(task, QStringLiteral("准备期末复习提纲（第二稿）"));
    ExchangeItem reminder;
    reminder.kind = ExchangeKind::Reminder;
    reminder.strUid = QStringLiteral("shot-2");
    reminder.reminder = ReminderRecord::At(QDateTime(CShots::kDay, QTime(7, 50)), ReminderDaily, 1,
                                           QStringLiteral("早读"), QStringLiteral("到教室"));
    context.Store().AddSyncConflict(reminder, QString());
    SyncReport report;
    report.refused << SyncRefusal{QStringLiteral("班会：期末安全教育"), QStringLiteral("shot-3"), 403,
                                  QStringLiteral("403 Forbidden")};
    context.SetLastSyncReport(&report);
    {
        CSyncDlg dlg(context);
        shots.Save(dlg, QStringLiteral("sync"));
    }
    context.SetLastSyncReport(nullptr);
    std::vector<SyncConflict> conflicts;
    SyncConflicts::List(context.Store(), conflicts);
    for (const SyncConflict& conflict : conflicts)
        SyncConflicts::Drop(context.Store(), conflict.nId);
    QFile::remove(settingsFile);
}
