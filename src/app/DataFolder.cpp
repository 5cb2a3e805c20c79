#include "app/DataFolder.h"

#include "app/Clock.h"
#include "app/ConfigFile.h"
#include "store/Schema.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QList>
#include <QStandardPaths>
#include <QUuid>

namespace {

QString g_strFolder;

QList<QPair<QString, QString>>& DefaultFiles()
{
    static QList<QPair<QString, QString>> files = {
        {QStringLiteral("ringin.wav"), QStringLiteral(":/defaults/ringin.wav")},
        {QStringLiteral("notify.wav"), QStringLiteral(":/defaults/notify.wav")},
    };
    return files;
}

bool Fail(QString* error, const QString& text)
{
    if (error)
        *error = text;
    return false;
}

} // namespace

namespace DataFolder {

QString Resolve(const QStringList& arguments, const QString& appFolder)
{
    // A --data-dir without a folder gives an empty path: never quietly the user's real data.
    auto given = [](const QString& dir) { return dir.isEmpty() ? QString() : QDir(dir).absolutePath(); };
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString& arg = arguments[i];
        if (arg == QStringLiteral("--data-dir"))
            return given(i + 1 < arguments.size() ? arguments[i + 1] : QString());
        if (arg.startsWith(QStringLiteral("--data-dir=")))
            return given(arg.mid(11));
    }
    const QString fromEnvironment = qEnvironmentVariable("KESTRUM_DATA_DIR");
    if (!fromEnvironment.isEmpty())
        return QDir(fromEnvironment).absolutePath();
    const QString portable = appFolder + QStringLiteral("/data");
    if (!appFolder.isEmpty() && QFileInfo(portable).isDir())
        return portable;
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + QStringLiteral("/Kestrum");
}

void Set(const QString& folder) { g_strFolder = folder; }
QString Path() { return g_strFolder; }
QString File(const QString& name) { return g_strFolder + u'/' + name; }

QPair<QDate, QDate> DefaultTerm(const QDate& today)
{
    const int y = today.year();
    if (today.month() == 1)
        return {QDate(y - 1, 9, 1), QDate(y, 1, 31)};
    if (today.month() >= 9)
        return {QDate(y, 9, 1), QDate(y + 1, 1, 31)};
    return {QDate(y, 2, 1), QDate(y, 8, 31)};
}

void RegisterDefaultFile(const QString& name, const QString& resource)
{
    DefaultFiles().append({name, resource});
}

bool CreateWithDefaults(const QString& folder, const QDate& today, QString* error)
{
    const QString target = QDir::cleanPath(QDir(folder).absolutePath());
    const QFileInfo info(target);
    if (!QDir().mkpath(info.absolutePath()))
        return Fail(error, QStringLiteral("无法创建文件夹 %1").arg(info.absolutePath()));

    // What an interrupted first run left beside the folder is of no use to anyone; one younger
    // than a minute may still be another start's work in progress.
    const QString stagingPrefix = info.fileName() + QStringLiteral(".new-");
    const QDir parent(info.absolutePath());
    const QDateTime aMinuteAgo = Clock::now().addSecs(-60);
    for (const QFileInfo& stale : parent.entryInfoList({stagingPrefix + u'*'}, QDir::Dirs | QDir::NoDotAndDotDot)) {
        if (stale.lastModified() < aMinuteAgo)
            QDir(stale.absoluteFilePath()).removeRecursively();
    }
    const QString staging = info.absolutePath() + u'/' + stagingPrefix + QUuid::createUuid().toString(QUuid::Id128).left(8);
    auto abandon = [&](const QString& text) {
        QDir(staging).removeRecursively();
        return Fail(error, text);
    };
    if (!QDir().mkdir(staging))
        return Fail(error, QStringLiteral("无法在 %1 中创建文件夹").arg(info.absolutePath()));

    const auto [termStart, termEnd] = DefaultTerm(today);
    QString dbError;
    if (!Schema::CreateDatabaseFile(staging + QStringLiteral("/kstrm.db"), termStart, termEnd, &dbError))
        return abandon(QStringLiteral("无法创建数据库: %1").arg(dbError));
    if (!ConfigFile::Write(staging + QStringLiteral("/config.ini"), ConfigFlags{}))
        return abandon(QStringLiteral("无法写入 config.ini"));
    for (const auto& [name, resource] : DefaultFiles()) {
        const QString dest = staging + u'/' + name;
        if (!QFile::copy(resource, dest))
            return abandon(QStringLiteral("无法写入 %1").arg(name));
        // Files copied out of the resources are read-only; the user's copies are theirs to change.
        QFile::setPermissions(dest, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther);
    }
    if (!QDir().rename(staging, target)) {
        if (QFileInfo(target).isDir()) { // another start made it first: theirs is as good as ours
            QDir(staging).removeRecursively();
            return true;
        }
        return abandon(QStringLiteral("无法创建文件夹 %1").arg(target));
    }
    return true;
}

} // namespace DataFolder
