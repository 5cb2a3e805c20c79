#pragma once

#include "exchange/ExchangeItem.h"

#include <QString>
#include <QStringList>

/// Steps on the planner's tables by UID, as an import takes them, for store operations that
/// keep tables of their own beside them (each runs inside the caller's transaction and throws
/// CDbError).
namespace ExchangeRows {

/// Applies \a item as an import does: the row its UID is bound to changes (its identity too),
/// else an item of the same identity takes the UID, else it is added. Returns the UIDs bound to
/// the item afterwards, first bound first.
QStringList Apply(const QString& connection, const ExchangeItem& item);
/// Binds \a uid to the item \a boundUid is bound to (nothing when that is bound to none).
void BindWith(const QString& connection, const QString& uid, const QString& boundUid);
/// Makes \a uid the first of the UIDs bound with it (the one a walk hands out).
void PutFirst(const QString& connection, const QString& uid);
/// Deletes the row \a uid is bound to, if any, with every UID bound to it; returns those UIDs.
QStringList Remove(const QString& connection, const QString& uid);

} // namespace ExchangeRows
