#pragma once

#include "exchange/ExchangeItem.h"
#include "store/SyncState.h"
#include "sync/CalDavClient.h"

#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <vector>

class CDataStore;

/// The two calendars of the server that the planner keeps in step with: one for tasks (to-dos),
/// one for reminders (events).
struct SyncCalendars
{
    QString strTasks;     ///< href
    QString strReminders; ///< href
};

/// An item the server would not take; the others went on.
struct SyncRefusal
{
    QString strName; ///< the task's content or the reminder's title
    QString strUid;
    int nHttpStatus = 0;
    QString strAnswer; ///< the server's own words
};

/// What one sync did and what it could not do.
struct SyncReport
{
    /// Everything that was to travel has travelled (refused items aside).
    bool bOk = false;
    /// One line per problem that stopped the sync or part of it, for the user.
    QStringList problems;
    /// The class of the first problem (None when bOk): the service backs off on Network, Timeout
    /// and Server, and stops and asks on Auth and Certificate.
    DavError firstError = DavError::None;
    QByteArray certificateFingerprint; ///< with Certificate
    QList<SyncRefusal> refused;
    int nSent = 0;        ///< items written to the server
    int nReceived = 0;    ///< items taken from the server (new or changed here)
    int nDeletedHere = 0; ///< items deleted here because they went on the server
    int nDeletedThere = 0;
    int nNewConflicts = 0;
    /// Something here changed: windows that show the database must read it again.
    bool bLocalChanged = false;
    QDateTime finished;
};

/// One sync of the planner's tasks and reminders with the two calendars: what the server changed
/// comes in, what changed here goes out, each item's sync state moves only after the server
/// confirmed it. Runs on whatever thread owns \a store's connection and \a client.
class CSyncEngine
{
public:
    CSyncEngine(CDataStore& store, CCalDavClient& client, SyncCalendars calendars);
    ~CSyncEngine();
    CSyncEngine(const CSyncEngine&) = delete;
    CSyncEngine& operator=(const CSyncEngine&) = delete;

    /// Called between requests; returning true stops the sync at that point (what is done stays
    /// done, the next sync goes on from there).
    void SetCancelCheck(std::function<bool()> cancelled);
    SyncReport Run();

private:
    struct Impl;
    std::unique_ptr<Impl> d;
};

/// The conflict list, in its own table beside the planner's (each call one transaction; false
/// after the table's message on a database error).
namespace SyncConflicts {
bool List(CDataStore& store, std::vector<SyncConflict>& conflicts);
/// Puts the local version back in place of the server's; it travels with the next sync as a
/// normal change. The conflict leaves the list.
bool Restore(CDataStore& store, qint64 id);
/// Drops the local version: the server's stays.
bool Drop(CDataStore& store, qint64 id);
} // namespace SyncConflicts
