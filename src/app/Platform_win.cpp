// Windows: autorun through the Run key of the current user, the guard in the local temp folder.
#include "app/Platform.h"

#include <QDir>
#include <QSettings>
#include <windows.h>

namespace {
const QString kRunKey = QStringLiteral("HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Run");
const QString kRunValue = QStringLiteral("ZI_ZODIV");

// One argument of a command line as the C runtime splits it again: quoted when it holds a
// blank or is empty; inside the quotes a '"' gets a backslash, and so do the backslashes
// that stand before one (or before the closing quote).
QString CommandLineArgument(const QString& argument)
{
    if (!argument.isEmpty() && !argument.contains(u' ') && !argument.contains(u'\t') &&
        !argument.contains(u'"'))
        return argument;
    QString quoted(u'"');
    qsizetype backslashes = 0;
    for (const QChar c : argument) {
        if (c == u'\\') {
            ++backslashes;
        } else {
            if (c == u'"')
                quoted += QString(backslashes + 1, u'\\');
            backslashes = 0;
        }
        quoted += c;
    }
    return quoted + QString(backslashes, u'\\') + u'"';
}
} // namespace

namespace Platform {

QString ModuleFileName()
{
    wchar_t buffer[32768];
    const DWORD n = GetModuleFileNameW(nullptr, buffer, DWORD(std::size(buffer)));
    return QString::fromWCharArray(buffer, int(n));
}

QString InstanceGuardFolder(const QString& dataFolder)
{
    // The temporary folder is in the user's profile, which other users cannot enter; the
    // mutex itself needs no folder, only the socket's name is made from it.
    Q_UNUSED(dataFolder);
    const QString dir = QDir::tempPath() + QStringLiteral("/Kestrum");
    QDir().mkpath(dir);
    return dir;
}

QString InstanceGuardFolder() { return InstanceGuardFolder(QString()); }

// A named mutex lives in the session's namespace, not in a folder; a lock without a folder is
// still refused, as on every system.
CInstanceLock::CInstanceLock(const QString& folder, const QString& key) : m_strName(folder.isEmpty() ? QString() : key)
{
}

CInstanceLock::~CInstanceLock() { Unlock(); }

CInstanceLock::Result CInstanceLock::TryLock()
{
    if (m_hLock != -1)
        return Result::Taken;
    if (m_strName.isEmpty())
        return Result::Unavailable;
    HANDLE mutex = CreateMutexW(nullptr, TRUE, reinterpret_cast<LPCWSTR>(m_strName.utf16()));
    if (!mutex)
        return GetLastError() == ERROR_ACCESS_DENIED ? Result::HeldElsewhere : Result::Unavailable;
    if (GetLastError() == ERROR_ALREADY_EXISTS) {
        CloseHandle(mutex);
        return Result::HeldElsewhere;
    }
    m_hLock = reinterpret_cast<qintptr>(mutex);
    return Result::Taken;
}

void CInstanceLock::Unlock()
{
    if (m_hLock == -1)
        return;
    HANDLE mutex = reinterpret_cast<HANDLE>(m_hLock);
    ReleaseMutex(mutex);
    CloseHandle(mutex);
    m_hLock = -1;
}

QString MainProgram(const QString& appFolder)
{
    return QDir::toNativeSeparators(appFolder + QStringLiteral("/Kestrum.exe"));
}

QString SplashProgram(const QString& appFolder)
{
    return appFolder + QStringLiteral("/QZSplash.exe");
}

bool SetAutorun(bool enable, const QString& program, const QStringList& arguments)
{
    QSettings run(kRunKey, QSettings::NativeFormat);
    if (enable) {
        QStringList command{CommandLineArgument(QDir::toNativeSeparators(program))};
        for (const QString& argument : arguments)
            command << CommandLineArgument(argument);
        run.setValue(kRunValue, command.join(u' '));
    } else
        run.remove(kRunValue);
    run.sync();
    return run.status() == QSettings::NoError;
}

bool IsAutorunSet() { return QSettings(kRunKey, QSettings::NativeFormat).contains(kRunValue); }

void ReturnFreedMemory() {} // the system's heap gives freed pages back of its own accord

} // namespace Platform
