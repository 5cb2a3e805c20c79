#include "sync/SyncSettings.h"

#include "app/ErrorReporter.h"
#include "app/SettingsFile.h"

namespace {
const QString kServer = QStringLiteral("sync/server");
const QString kUser = QStringLiteral("sync/user");
const QString kTasks = QStringLiteral("sync/tasksCalendar");
const QString kReminders = QStringLiteral("sync/remindersCalendar");
const QString kInterval = QStringLiteral("sync/intervalMinutes");
const QString kFingerprint = QStringLiteral("sync/trustedFingerprint");
const QString kLastSync = QStringLiteral("sync/lastSync");
const QString kLastResult = QStringLiteral("sync/lastResult");
} // namespace

SyncSettings SyncSettings::Load(const QString& path)
{
    const CSettingsFile file(path);
    SyncSettings settings;
    const QString server = file.Value(kServer);
    if (!server.isEmpty())
        settings.server = QUrl(server, QUrl::StrictMode);
    settings.strUser = file.Value(kUser);
    settings.strTasksCalendar = file.Value(kTasks);
    settings.strRemindersCalendar = file.Value(kReminders);
    bool ok = false;
    const int interval = file.Value(kInterval).toInt(&ok);
    if (ok && interval >= 0)
        settings.nIntervalMinutes = interval;
    settings.trustedFingerprint = file.Value(kFingerprint).toLatin1();
    settings.lastSync = QDateTime::fromString(file.Value(kLastSync), Qt::ISODate);
    settings.strLastResult = file.Value(kLastResult);
    return settings;
}

bool SyncSettings::Save(const QString& path, QString& error) const
{
    CSettingsFile file(path);
    file.SetValue(kServer, OneLine(server.toString()));
    file.SetValue(kUser, OneLine(strUser));
    file.SetValue(kTasks, OneLine(strTasksCalendar));
    file.SetValue(kReminders, OneLine(strRemindersCalendar));
    file.SetValue(kInterval, QString::number(nIntervalMinutes));
    file.SetValue(kFingerprint, QString::fromLatin1(trustedFingerprint).trimmed());
    file.SetValue(kLastSync, lastSync.isValid() ? lastSync.toString(Qt::ISODate) : QString());
    file.SetValue(kLastResult, OneLine(strLastResult));
    const CAtomicFile::Result result = file.Save();
    if (!result) {
        error = CAtomicFile::FailureText(result.strError, result);
        return false;
    }
    return true;
}
