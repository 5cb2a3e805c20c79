#pragma once

#include "exchange/ExchangeItem.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QStringList>

/// What the planner knows of one item on the calendar server since the last sync that touched it.
struct SyncItemState
{
    QString strUid;
    ExchangeKind kind = ExchangeKind::Task;
    QString strHref;
    QByteArray etag;       ///< as the server sent it, quotes included
    QByteArray hash;       ///< SyncHash() of the item as it was here after that sync
    QByteArray serverText; ///< the server's iCalendar text, which a change from here edits in place
};

/// A local version that lost to the server's: kept until the user restores or drops it.
struct SyncConflict
{
    qint64 nId = 0;
    ExchangeItem local;       ///< what the planner held (its UID included)
    QString strServerSummary; ///< what the server's version is called now; empty when it deleted it
    QDateTime when;
};

/// A digest of everything of \a item that travels (a reminder's week day aside, which follows
/// from its date): equal digests, equal items.
QByteArray SyncHash(const ExchangeItem& item);

namespace SyncTables {
/// The tables' names and the statements that create them, each safe to run again.
QStringList TableNames();
QStringList CreateStatements();
} // namespace SyncTables
