#pragma once

#include "sync/CalDavClient.h"
#include "sync/SyncEngine.h"
#include "sync/SyncSettings.h"

#include <QString>
#include <chrono>
#include <functional>

/// One whole sync of a data folder's database with the saved account, as the background
/// service and the command line both run it: its own connection to the database, its own
/// client, the engine. Runs on the calling thread and waits for the network.
namespace SyncRun {

/// The calendars a sync uses where none was chosen: found by these names, else created.
QString TasksCalendarName();
QString RemindersCalendarName();

/// Fills the calendars \a settings lacks: one of the account's calendars of that name and kind,
/// else a new one. The others stay as chosen.
DavResult FindOrCreateCalendars(CCalDavClient& client, SyncSettings& settings);

/// Syncs the database at \a databasePath with the account of \a settings and \a password; the
/// calendars found or created on the way are put in \a settings (the caller saves them).
/// \a cancelled is asked between requests.
SyncReport Once(const QString& databasePath, SyncSettings& settings, const QString& password,
                const std::function<bool()>& cancelled = {});

/// One line on what \a report did ("同步完成：…") or why it failed, for the settings file and
/// the status.
QString ResultLine(const SyncReport& report);

} // namespace SyncRun
