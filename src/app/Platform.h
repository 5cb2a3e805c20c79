#pragma once

#include <QString>

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

/// A folder private to this user for the single-instance guard (lock file and socket).
QString InstanceGuardFolder();

/// Makes the desktop start \a program when the user logs in, or stops it doing so.
/// Failures are returned, not reported: the setting itself lives in the configuration file.
bool SetAutorun(bool enable, const QString& program);
bool IsAutorunSet();

} // namespace Platform
