#pragma once

#include <QString>
#include <functional>

class CDataStore;

/// Compacting the planner's database file with SQLite's own VACUUM INTO.
///
/// The live file is never moved out of the way: a compacted copy is written beside it as
/// "temp.db", checked (the engine's integrity check and the same number of rows in every table)
/// and made durable, and only then renamed over the database in one atomic step. Whatever
/// fails, the database file stays as it was, no "temp.db" is left behind and the store is
/// connected again.
namespace Compaction {

enum class Outcome
{
    Compacted,      ///< the compacted file is in place and the store connected to it
    Failed,         ///< nothing changed; strError says what failed and that the database is as it
                    ///< was, then the engine's or the system's text where there is one
    ReconnectFailed ///< the file is in place (compacted or as it was) but the store could not open it
};

struct Result
{
    Outcome outcome = Outcome::Failed;
    QString strError;
};

/// Name of the compacted copy, written in the database's own folder. A file of this name that
/// is there when the program starts was left by a compaction that was cut short.
QString TempFileName();

/// Compacts the database the store is connected to. The store must be connected and idle (no
/// operation running); it is closed for the moment of the rename and connected again.
Result CompactStore(CDataStore& store);

/// Tests: \a hook runs on the copy's path once the engine has written it, before it is
/// checked, so that a test can damage it as a failing disk or engine would. Empty removes it.
void SetCopyHookForTests(std::function<void(const QString& copyPath)> hook);

} // namespace Compaction
