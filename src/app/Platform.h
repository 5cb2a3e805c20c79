#pragma once

#include <QString>
#include <QStringList>

/// What differs between the desktops Kestrum runs on. One source file per system implements
/// it (Platform_unix.cpp, Platform_win.cpp); nothing else in the program asks which system it is on.
namespace Platform {

/// Full file name of the running executable.
QString ModuleFileName();

/// The folder part of a module file name: everything before its last path separator
/// (either slash), or an empty text when the name has none.
QString FolderOfModulePath(const QString& moduleFileName);

/// Folder of the running executable (FolderOfModulePath of ModuleFileName).
QString AppFolder();

/// The folder for the single-instance guard (lock file and socket), one that no other user can
/// reach: the user's runtime folder when it is theirs; else a fallback folder in the temporary
/// folder, but only when it is (or is made here as) a folder of this user's with no access for
/// anyone else; else \a dataFolder. Empty only when all of these are empty.
QString InstanceGuardFolder(const QString& dataFolder);
/// InstanceGuardFolder of the data folder set with DataFolder::Set.
QString InstanceGuardFolder();

/// A lock that one process at a time can hold, named by \a key within \a folder. The system
/// drops it when its holder ends in any way, a crash included, so it can never go stale.
/// (An advisory file lock on Unix, a named mutex on Windows.)
class CInstanceLock
{
public:
    CInstanceLock(const QString& folder, const QString& key);
    ~CInstanceLock();
    CInstanceLock(const CInstanceLock&) = delete;
    CInstanceLock& operator=(const CInstanceLock&) = delete;

    enum class Result
    {
        Taken,         ///< this process holds the lock
        HeldElsewhere, ///< another process holds it
        Unavailable    ///< the lock cannot be made here at all (no folder, or its file cannot be opened)
    };
    Result TryLock();
    void Unlock();

private:
    QString m_strName;
    qintptr m_hLock = -1;
};

/// Gives memory the program has freed back to the system where the allocator keeps it for
/// later (glibc's does): for after a window that held a great deal of it has closed.
void ReturnFreedMemory();

/// The main program's file in \a appFolder ("Kestrum", "Kestrum.exe" on Windows).
QString MainProgram(const QString& appFolder);
/// The splash program's file in \a appFolder ("QZSplash", "QZSplash.exe" on Windows).
QString SplashProgram(const QString& appFolder);

/// Makes the desktop start \a program with \a arguments when this user logs in, or stops it
/// doing so: an autostart entry "kestrum.desktop" in $XDG_CONFIG_HOME/autostart (else
/// ~/.config/autostart), or the value "ZI_ZODIV" under the current user's Run key on Windows.
/// Each is quoted as its reader splits it again. Removing what is not there succeeds. Failures
/// are returned, not reported: the setting itself lives in the configuration file.
bool SetAutorun(bool enable, const QString& program, const QStringList& arguments = {});
bool IsAutorunSet();

} // namespace Platform
