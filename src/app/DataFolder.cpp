#include "app/DataFolder.h"

#include "app/AtomicFile.h"
#include "app/Clock.h"
#include "app/CommandLine.h"
#include "store/Compaction.h"
#include "app/ConfigFile.h"
#include "app/SettingsFile.h"
#include "launcher/ProgramList.h"
#include "reminder/ReminderWatch.h"
#include "store/Schema.h"
#include "timetable/Timetable.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QList>
#include <QStandardPaths>
#include <QUuid>
#include <algorithm>
#include <utility>

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

// The folders a fill works in: beside a new data folder (renamed into place when done), and
// hidden inside an existing empty one. Each ends in eight hexadecimal digits of its own.
QString StagingPrefixBeside(const QFileInfo& target) { return target.fileName() + QStringLiteral(".new-"); }
const QString kStagingPrefixInside = QStringLiteral(".kestrum-new-");
constexpr int kStagingSuffixLength = 8;

QString StagingSuffix()
{
    return QUuid::createUuid().toString(QUuid::Id128).left(kStagingSuffixLength);
}

bool IsStagingName(const QString& name, const QString& prefix)
{
    if (name.size() != prefix.size() + kStagingSuffixLength || !name.startsWith(prefix))
        return false;
    return std::all_of(name.begin() + prefix.size(), name.end(),
                       [](QChar c) { return (c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'f'); });
}

// The files of a new data folder, the database last: a fill in place that stops half-way
// leaves no database, so the folder is never mistaken for a complete one.
QStringList DefaultFileNames()
{
    QStringList names{QStringLiteral("config.ini"), CTimetable::FileName()};
    for (const auto& file : DefaultFiles())
        names << file.first;
    return names << QStringLiteral("kstrm.db");
}

// The database engine's files beside a database of ours.
bool IsEngineFileOf(const QString& name, const QString& database)
{
    return name == database + QStringLiteral("-journal") || name == database + QStringLiteral("-wal") ||
           name == database + QStringLiteral("-shm");
}

// What a fill writes into its staging folder: the default files, the database engine's files
// and the new files of a replacement (CAtomicFile).
bool IsFillFile(const QFileInfo& info)
{
    if (info.isSymLink() || !info.isFile())
        return false;
    const QString name = info.fileName();
    const QStringList names = DefaultFileNames();
    return names.contains(name) || IsEngineFileOf(name, QStringLiteral("kstrm.db")) ||
           std::any_of(names.begin(), names.end(),
                       [&](const QString& file) { return CAtomicFile::IsNewFileName(name, file); });
}

// A staging folder goes only when its name is one a fill gives (not "data.new-photos") and it
// holds nothing but plain files a fill writes, so that a folder of the user's that merely looks
// like one keeps everything in it. No link is followed, to a folder or from inside one.
void RemoveStaleStaging(const QString& parent, const QString& prefix)
{
    // One younger than a minute may be the work of a first run that is still filling it: that
    // happens before a copy takes the single-instance guard.
    const QDateTime aMinuteAgo = Clock::now().addSecs(-60);
    const QDir::Filters filters = QDir::Dirs | QDir::Hidden | QDir::NoSymLinks | QDir::NoDotAndDotDot;
    for (const QFileInfo& stale : QDir(parent).entryInfoList({prefix + u'*'}, filters)) {
        if (!IsStagingName(stale.fileName(), prefix) || stale.isSymLink() ||
            stale.lastModified() >= aMinuteAgo)
            continue;
        const QFileInfoList content =
            QDir(stale.absoluteFilePath())
                .entryInfoList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
        if (!std::all_of(content.begin(), content.end(), IsFillFile))
            continue;
        for (const QFileInfo& file : content)
            QFile::remove(file.absoluteFilePath());
        QDir(parent).rmdir(stale.fileName()); // fails, rightly, if anything came in meanwhile
    }
}

// What a save or a compaction cut short left in the data folder: a replacement's new file of
// one of the files the program rewrites, and the compaction's copy with the engine's files.
// Plain files only: a link of such a name was not made here and is left alone.
void RemoveInterruptedWrites(const QString& folder)
{
    const QString copy = Compaction::TempFileName();
    const QStringList rewritten{QStringLiteral("config.ini"), CTimetable::FileName(), CProgramList::FileName(),
                                CSettingsFile::FileName(), ReminderWatch::FileName()};
    const QDir::Filters filters = QDir::Files | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot;
    for (const QFileInfo& info : QDir(folder).entryInfoList(filters)) {
        if (info.isSymLink() || !info.isFile())
            continue;
        const QString name = info.fileName();
        if (name == copy || IsEngineFileOf(name, copy) ||
            std::any_of(rewritten.begin(), rewritten.end(),
                        [&](const QString& file) { return CAtomicFile::IsNewFileName(name, file); }))
            QFile::remove(info.absoluteFilePath());
    }
}

// QFile::copy would keep the resource's read-only permissions; a new file gets what the
// user's umask leaves, like every other file the program makes.
bool CopyResource(const QString& resource, const QString& dest)
{
    QFile in(resource);
    QFile out(dest);
    if (!in.open(QIODevice::ReadOnly) || !out.open(QIODevice::WriteOnly | QIODevice::NewOnly))
        return false;
    const QByteArray bytes = in.readAll();
    return out.write(bytes) == bytes.size() && out.flush();
}

// Writes the defaults into \a folder, which is there and empty.
bool FillDefaults(const QString& folder, const QDate& today, QString* error)
{
    const auto [termStart, termEnd] = DataFolder::DefaultTerm(today);
    QString dbError;
    if (!Schema::CreateDatabaseFile(folder + QStringLiteral("/kstrm.db"), termStart, termEnd, &dbError))
        return Fail(error, QStringLiteral("无法创建数据库: %1").arg(dbError));
    if (const CAtomicFile::Result written =
            ConfigFile::Write(folder + QStringLiteral("/config.ini"), ConfigFlags{});
        !written)
        return Fail(error, CAtomicFile::FailureText(QStringLiteral("无法写入 config.ini"), written));
    // An empty week, so that the timetable opens on a new install instead of saying its file
    // is missing.
    if (const CAtomicFile::Result written = CTimetable(folder).Save(); !written)
        return Fail(error, CAtomicFile::FailureText(QStringLiteral("无法写入 %1").arg(CTimetable::FileName()),
                                                    written));
    for (const auto& [name, resource] : DefaultFiles()) {
        if (!CopyResource(resource, folder + u'/' + name))
            return Fail(error, QStringLiteral("无法写入 %1").arg(name));
    }
    return true;
}

// Fills an existing empty folder where it is, so that it keeps its owner and permissions (a
// folder the user made private stays private). The files are made in a hidden folder inside
// it and moved up one by one, so that only an interruption between two moves can leave part
// of them.
bool FillInPlace(const QString& target, const QDate& today, QString* error)
{
    const QString staging = target + u'/' + kStagingPrefixInside + StagingSuffix();
    if (!QDir().mkdir(staging))
        return Fail(error, QStringLiteral("无法在 %1 中创建文件夹").arg(target));
    if (!FillDefaults(staging, today, error)) {
        QDir(staging).removeRecursively();
        return false;
    }
    QStringList moved;
    for (const QString& name : DefaultFileNames()) {
        // QFile::rename never replaces a file that is there already.
        if (!QFile::rename(staging + u'/' + name, target + u'/' + name)) {
            for (const QString& ours : std::as_const(moved))
                QFile::remove(target + u'/' + ours);
            QDir(staging).removeRecursively();
            return Fail(error, QStringLiteral("无法写入 %1").arg(name));
        }
        moved << name;
    }
    QDir(staging).removeRecursively();
    return true;
}

} // namespace

namespace DataFolder {

QString Resolve(const QStringList& arguments, const QString& appFolder)
{
    const CommandLine::Options options = CommandLine::Parse(arguments);
    // A --data-dir without a folder gives an empty path: never quietly the user's real data.
    if (options.bDataDirGiven)
        return options.strDataDir.isEmpty() ? QString() : QDir(options.strDataDir).absolutePath();
    const QString fromEnvironment = qEnvironmentVariable("KESTRUM_DATA_DIR");
    if (!fromEnvironment.isEmpty())
        return QDir(fromEnvironment).absolutePath();
    return DefaultPath(appFolder);
}

QString DefaultPath(const QString& appFolder)
{
    const QString portable = appFolder + QStringLiteral("/data");
    if (!appFolder.isEmpty() && QFileInfo(portable).isDir())
        return portable;
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + QStringLiteral("/Kestrum");
}

QStringList StartArguments(const QString& appFolder)
{
    // The environment that named the folder (KESTRUM_DATA_DIR) may not be there when the
    // desktop starts the program, so any folder but the default one is named outright.
    if (QDir::cleanPath(Path()) == QDir::cleanPath(DefaultPath(appFolder)))
        return {};
    return {QStringLiteral("--data-dir"), Path()};
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

bool NeedsDefaults(const QString& folder)
{
    const QFileInfo info(folder);
    return !info.exists() || (info.isDir() && QDir(folder).isEmpty());
}

void RemoveLeftovers(const QString& folder)
{
    const QFileInfo info(QDir::cleanPath(QDir(folder).absolutePath()));
    RemoveStaleStaging(info.absolutePath(), StagingPrefixBeside(info));
    if (info.isDir()) {
        RemoveStaleStaging(info.absoluteFilePath(), kStagingPrefixInside);
        RemoveInterruptedWrites(info.absoluteFilePath());
    }
}

bool CreateWithDefaults(const QString& folder, const QDate& today, QString* error)
{
    const QString target = QDir::cleanPath(QDir(folder).absolutePath());
    const QFileInfo info(target);
    if (info.exists()) {
        if (!info.isDir())
            return Fail(error, QStringLiteral("%1 不是文件夹").arg(target));
        if (!NeedsDefaults(target))
            return Fail(error, QStringLiteral("数据文件夹 %1 不是空的").arg(target));
        return FillInPlace(target, today, error);
    }

    if (!QDir().mkpath(info.absolutePath()))
        return Fail(error, QStringLiteral("无法创建文件夹 %1").arg(info.absolutePath()));
    const QString staging = info.absolutePath() + u'/' + StagingPrefixBeside(info) + StagingSuffix();
    if (!QDir().mkdir(staging))
        return Fail(error, QStringLiteral("无法在 %1 中创建文件夹").arg(info.absolutePath()));
    const bool filled = FillDefaults(staging, today, error);
    if (filled && QDir().rename(staging, target))
        return true;
    QDir(staging).removeRecursively();
    if (!filled)
        return false;
    if (QFileInfo(target).isDir()) // another start made it first: theirs is as good as ours
        return true;
    return Fail(error, QStringLiteral("无法创建文件夹 %1").arg(target));
}

} // namespace DataFolder
