// Linux and other XDG desktops: autorun through an autostart entry, the guard in the user's
// runtime folder (or a private folder of ours, or the data folder).
#include "app/Platform.h"

#include "app/AtomicFile.h"
#include "app/DataFolder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStandardPaths>
#include <cerrno>
#include <fcntl.h>
#ifdef __GLIBC__
#include <malloc.h>
#endif
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QString AutostartFile()
{
    QString config = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (config.isEmpty())
        config = QDir::homePath() + QStringLiteral("/.config");
    return config + QStringLiteral("/autostart/kestrum.desktop");
}

// One argument of the Exec line. An argument of plain characters stands as it is; any other
// (a folder may hold blanks, Chinese, quotes ...) is quoted, and inside the quotes a backslash
// goes before each of '"', '`', '$' and '\\'. A '%' would start a field code and is doubled.
QString ExecArgument(const QString& argument)
{
    static const QRegularExpression plain(QStringLiteral("^[A-Za-z0-9_./:=+,@-]+$"));
    QString quoted;
    for (const QChar c : argument) {
        if (c == u'"' || c == u'`' || c == u'$' || c == u'\\')
            quoted += u'\\';
        quoted += c == u'%' ? QStringLiteral("%%") : QString(c);
    }
    return plain.match(argument).hasMatch() ? quoted : u'"' + quoted + u'"';
}

// The file's own string escaping, over the whole value once the Exec line is made: a
// backslash is doubled again, and a line break or tab cannot stand in a value as it is.
QString EscapeValue(const QString& value)
{
    QString escaped;
    for (const QChar c : value) {
        switch (c.unicode()) {
        case u'\\':
            escaped += QStringLiteral("\\\\");
            break;
        case u'\n':
            escaped += QStringLiteral("\\n");
            break;
        case u'\t':
            escaped += QStringLiteral("\\t");
            break;
        case u'\r':
            escaped += QStringLiteral("\\r");
            break;
        default:
            escaped += c;
        }
    }
    return escaped;
}

QString AutostartEntry(const QString& program, const QStringList& arguments)
{
    QStringList exec{ExecArgument(program)};
    for (const QString& argument : arguments)
        exec << ExecArgument(argument);
    return QStringLiteral("[Desktop Entry]\n"
                          "Type=Application\n"
                          "Name=Kestrum\n"
                          "Name[zh_CN]=Kestrum 每日计划\n"
                          "Comment=Start the day planner when you log in\n"
                          "Exec=%1\n"
                          "Icon=org.kestrum.Kestrum\n"
                          "Terminal=false\n"
                          "X-GNOME-Autostart-enabled=true\n")
        .arg(EscapeValue(exec.join(u' ')));
}

} // namespace

namespace Platform {

QString ModuleFileName()
{
    // /proc/self/exe names the binary even before a QCoreApplication exists.
    const QString exe = QFileInfo(QStringLiteral("/proc/self/exe")).canonicalFilePath();
    return exe;
}

QString InstanceGuardFolder(const QString& dataFolder)
{
    // The session's runtime folder is made for this, but after su it may still name the
    // previous user's one.
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    struct stat st;
    if (!runtime.isEmpty() && ::stat(QFile::encodeName(runtime).constData(), &st) == 0 && S_ISDIR(st.st_mode) &&
        st.st_uid == ::geteuid())
        return runtime;

    // Anyone can make this name in the temporary folder first, in any shape, and hold a lock
    // in it (keeping us from starting) or leave it open (turning our lock off). Only a real
    // folder of ours that nobody else may enter will do, and one we did not make is not ours
    // to change.
    const QString fallback = QDir::tempPath() + QStringLiteral("/kestrum-") + QString::number(::getuid());
    const QByteArray name = QFile::encodeName(fallback);
    if (::mkdir(name.constData(), 0700) == 0)
        ::chmod(name.constData(), 0700); // the umask may have taken the owner's rights too
    if (::lstat(name.constData(), &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == ::geteuid() &&
        (st.st_mode & 077) == 0)
        return fallback;

    // The data folder is the user's own; the guard there keeps one copy per data folder.
    return dataFolder;
}

QString InstanceGuardFolder() { return InstanceGuardFolder(DataFolder::Path()); }

CInstanceLock::CInstanceLock(const QString& folder, const QString& key)
    : m_strName(folder.isEmpty() ? QString() : folder + u'/' + key + QStringLiteral(".lock"))
{
}

CInstanceLock::~CInstanceLock() { Unlock(); }

CInstanceLock::Result CInstanceLock::TryLock()
{
    if (m_hLock >= 0)
        return Result::Taken;
    if (m_strName.isEmpty())
        return Result::Unavailable; // no folder: never a lock file at the root
    const int fd = ::open(QFile::encodeName(m_strName).constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0)
        return Result::Unavailable;
    // flock belongs to this open file: another open of the same file, even in this process,
    // cannot take it, and the kernel releases it when the process dies.
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const int error = errno;
        ::close(fd);
        return error == EWOULDBLOCK ? Result::HeldElsewhere : Result::Unavailable;
    }
    m_hLock = fd;
    return Result::Taken;
}

void CInstanceLock::Unlock()
{
    if (m_hLock < 0)
        return;
    ::close(int(m_hLock));
    m_hLock = -1;
}

QString MainProgram(const QString& appFolder) { return appFolder + QStringLiteral("/Kestrum"); }

QString SplashProgram(const QString& appFolder) { return appFolder + QStringLiteral("/QZSplash"); }

bool SetAutorun(bool enable, const QString& program, const QStringList& arguments)
{
    const QString file = AutostartFile();
    if (!enable)
        return !QFileInfo(file).isFile() || QFile::remove(file);
    if (!QDir().mkpath(QFileInfo(file).absolutePath()))
        return false;
    return bool(CAtomicFile::Replace(file, AutostartEntry(program, arguments).toUtf8()));
}

bool IsAutorunSet() { return QFileInfo::exists(AutostartFile()); }

void ReturnFreedMemory()
{
#ifdef __GLIBC__
    malloc_trim(0);
#endif
}

} // namespace Platform
