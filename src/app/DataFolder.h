#pragma once

#include <QDate>
#include <QPair>
#include <QString>
#include <QStringList>

/// The folder that holds the user's data: the database, config.ini, the timetable and program
/// list files and the sounds. It is chosen once at start-up; every data file is this folder
/// plus the file's name.
namespace DataFolder {

/// Where the data lives: "--data-dir DIR" (or "--data-dir=DIR") in \a arguments, else the
/// environment variable KESTRUM_DATA_DIR, else a folder "data" beside the executable (a
/// portable install), else the desktop's per-user data location. Empty when "--data-dir" names
/// no folder.
QString Resolve(const QStringList& arguments, const QString& appFolder);
/// The folder Resolve gives when neither the command line nor the environment names one.
QString DefaultPath(const QString& appFolder);
/// What the command line needs to start the program on the folder in use (Path()) again:
/// nothing for DefaultPath, else "--data-dir" and the folder.
QStringList StartArguments(const QString& appFolder);

void Set(const QString& folder);
QString Path();
/// Path() + "/" + \a name.
QString File(const QString& name);

/// The school term a new database starts with: the autumn term (1 September to 31 January)
/// or the spring term (1 February to 31 August) that contains \a today.
QPair<QDate, QDate> DefaultTerm(const QDate& today);

/// True when \a folder is a first run's: it is not there, or it is a folder with nothing in it
/// but hidden entries (a desktop's folder settings, what an interrupted fill left behind).
bool NeedsDefaults(const QString& folder);

/// Gives \a folder the shipped defaults: an empty database whose school term contains \a today,
/// config.ini with every setting off, and the two sounds, each as open as the user's umask
/// makes new files. A folder that is not there is filled under a temporary name beside it and
/// renamed into place, so that an interrupted first run leaves no half-made folder behind. A
/// folder that is there and empty (NeedsDefaults) is filled where it is and keeps its owner
/// and permissions. Any other folder is refused. False with \a error on failure.
bool CreateWithDefaults(const QString& folder, const QDate& today, QString* error);

/// Removes what interrupted runs left beside \a folder or inside it: the staging folder of a
/// first run (only one named as a fill names it, older than a minute, holding nothing but plain
/// files a fill writes), the new file of a save that was cut short (CAtomicFile), and the copy
/// of a compaction that was. Links are never followed and never removed. Only the copy holding
/// the single-instance guard may call this: any other may be running beside one that is
/// writing these very files.
void RemoveLeftovers(const QString& folder);

/// Default files added by other parts of the program (name in the folder, resource path).
/// They are copied by CreateWithDefaults as well.
void RegisterDefaultFile(const QString& name, const QString& resource);

} // namespace DataFolder
