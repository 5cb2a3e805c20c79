#include "app/SyncCommand.h"

#include "app/Clock.h"
#include "app/DataFolder.h"
#include "app/Platform.h"
#include "app/SettingsFile.h"
#include "app/SingleInstance.h"
#include "sync/PasswordStore.h"
#include "sync/SyncRun.h"
#include "sync/SyncSettings.h"

#include <QFileInfo>

namespace {
using ExchangeCommand::Outcome;

Outcome Failed(const QString& text)
{
    return {ExchangeCommand::kFailedStatus, QString(), ExchangeCommand::ErrorLine(text)};
}
} // namespace

namespace SyncCommand {

Outcome Run(const CommandLine::Options& options, const QStringList& arguments, const QString& appFolder,
            const std::function<QString()>& readLine)
{
    const QString folder = DataFolder::Resolve(arguments, appFolder);
    const QFileInfo info(folder);
    if (info.exists() && !info.isDir())
        return Failed(QStringLiteral("数据文件夹 %1 不是文件夹").arg(folder));
    // A new machine set up by script starts from nothing: the sync brings its data.
    if (DataFolder::NeedsDefaults(folder)) {
        QString error;
        if (!DataFolder::CreateWithDefaults(folder, Clock::today(), &error))
            return Failed(QStringLiteral("创建数据文件夹 %1 失败: %2").arg(folder, error));
    }
    const QString settingsPath = folder + u'/' + CSettingsFile::FileName();
    SyncSettings settings = SyncSettings::Load(settingsPath);
    QString error;
    if (!options.strServer.isEmpty()) {
        const QUrl server(options.strServer);
        if (server != settings.server || options.strUser != settings.strUser) {
            // Another account: what was chosen or learnt for the old one means nothing to it.
            SyncSettings account;
            account.server = server;
            account.strUser = options.strUser;
            account.nIntervalMinutes = settings.nIntervalMinutes;
            settings = account;
        }
        if (!settings.Save(settingsPath, error))
            return Failed(QStringLiteral("不能保存同步帐户到 %1: %2").arg(settingsPath, error));
    }
    if (!settings.IsSet())
        return Failed(QStringLiteral("没有设置同步帐户，请用 --server 和 --user 设置"));

    QString password;
    bool bFromInput = options.bPasswordStdin;
    if (!bFromInput) {
        const PasswordStore::Answer stored = PasswordStore::Read(settings.server, settings.strUser);
        if (stored.outcome == PasswordStore::Outcome::Done)
            password = stored.strPassword;
        else if (stored.outcome == PasswordStore::Outcome::NotFound)
            return Failed(QStringLiteral("密钥环中没有 %1 的密码，请用 --password-stdin 从标准输入给出")
                              .arg(PasswordStore::Key(settings.server, settings.strUser)));
        else
            bFromInput = true; // no keyring: the password comes with every run
    }
    if (bFromInput) {
        password = readLine();
        if (password.isEmpty())
            return Failed(QStringLiteral("标准输入中没有密码"));
    }

    const SyncSettings used = settings;
    const SyncReport report = SyncRun::Once(folder + QStringLiteral("/kstrm.db"), settings, password);
    Outcome outcome;
    for (const QString& problem : report.problems)
        outcome.strErr += ExchangeCommand::ErrorLine(problem);
    for (const SyncRefusal& refused : report.refused)
        outcome.strErr += ExchangeCommand::ErrorLine(
            QStringLiteral("服务器拒收 %1: %2").arg(refused.strName, refused.strAnswer));
    outcome.nStatus = report.bOk && report.refused.isEmpty() ? 0 : ExchangeCommand::kFailedStatus;
    if (outcome.nStatus != 0 && outcome.strErr.isEmpty())
        outcome.strErr = ExchangeCommand::ErrorLine(SyncRun::ResultLine(report));
    if (report.bOk)
        outcome.strOut = SyncRun::ResultLine(report) + u'\n';

    // The file as it is now gets what this run learnt (a planner may have saved it meanwhile).
    SyncSettings saved = SyncSettings::Load(settingsPath);
    if (saved.server == used.server && saved.strUser == used.strUser) {
        saved.strTasksCalendar = settings.strTasksCalendar;
        saved.strRemindersCalendar = settings.strRemindersCalendar;
        saved.lastSync = report.finished;
        saved.strLastResult = SyncRun::ResultLine(report);
        if (!saved.Save(settingsPath, error)) {
            outcome.strErr += ExchangeCommand::ErrorLine(
                QStringLiteral("不能保存同步结果到 %1: %2").arg(settingsPath, error));
            outcome.nStatus = ExchangeCommand::kFailedStatus;
        }
    }
    // A password typed for a keyring that answers is kept there, once the server took it.
    if (options.bPasswordStdin && report.bOk)
        PasswordStore::Write(settings.server, settings.strUser, password);
    // A planner running on this data shows what was there before: it reads again when told
    // (one try: none listening means none running).
    if (report.bLocalChanged)
        CSingleInstance(Platform::InstanceGuardFolder(folder)).AskRunningInstanceToReload(0);
    return outcome;
}

} // namespace SyncCommand
