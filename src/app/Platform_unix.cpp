// Linux and other XDG desktops: autorun through an autostart entry, the guard in the user's
// runtime folder.
#include "app/Platform.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>
#include <unistd.h>

namespace {

QString AutostartFile()
{
    QString config = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (config.isEmpty())
        config = QDir::homePath() + QStringLiteral("/.config");
    return config + QStringLiteral("/autostart/kestrum.desktop");
}

} // namespace

namespace Platform {

QString ModuleFileName()
{
    // /proc/self/exe names the binary even before a QCoreApplication exists.
    const QString exe = QFileInfo(QStringLiteral("/proc/self/exe")).canonicalFilePath();
    return exe;
}

QString InstanceGuardFolder()
{
    QString dir = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (dir.isEmpty() || !QFileInfo(dir).isDir())
        dir = QDir::tempPath() + QStringLiteral("/kestrum-") + QString::number(getuid());
    QDir().mkpath(dir);
    QFile::setPermissions(dir, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    return dir;
}

bool SetAutorun(bool enable, const QString& program)
{
    const QString file = AutostartFile();
    if (!enable)
        return !QFileInfo::exists(file) || QFile::remove(file);
    QDir().mkpath(QFileInfo(file).absolutePath());
    QSaveFile out(file);
    if (!out.open(QIODevice::WriteOnly))
        return false;
    QString exec = program;
    exec.replace(u'\\', QStringLiteral("\\\\")).replace(u'"', QStringLiteral("\\\""));
    const QString entry = QStringLiteral("[Desktop Entry]\nType=Application\nName=Kestrum\n"
                                         "Exec=\"%1\"\nX-GNOME-Autostart-enabled=true\n")
                              .arg(exec);
    out.write(entry.toUtf8());
    return out.commit();
}

bool IsAutorunSet() { return QFileInfo::exists(AutostartFile()); }

} // namespace Platform
