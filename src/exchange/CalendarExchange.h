#pragma once

#include "exchange/ExchangeItem.h"

#include <QDate>
#include <QString>
#include <QStringList>
#include <array>

class CDataStore;

/// Export and import of the planner's tasks, reminders and holidays as iCalendar files, as the
/// settings dialog and the command line offer them.
namespace CalendarExchange {

struct ExportOptions
{
    /// Tasks only from \a dtFrom to \a dtTo (both included; an invalid bound is open).
    /// Reminders and holidays are always exported whole.
    QDate dtFrom;
    QDate dtTo;
};

struct ExportResult
{
    bool bOk = false;
    QString strError;             ///< one line per problem when bOk is false
    std::array<int, 3> written{}; ///< tasks, reminders, holidays
    /// Rows a calendar file cannot hold (a date that does not exist, a year after the last one a
    /// file can say), left out of a file written all the same; their line is 0.
    QList<ExchangeLeftOut> leftOut;
};

/// Writes the items to \a path, replacing the file only when the whole export succeeded; items
/// that cannot be written are left out and listed.
ExportResult ExportFile(CDataStore& store, const QString& path, const ExportOptions& options = {});

struct ImportResult
{
    /// False when the file was refused as a whole (unreadable, damaged, the database failed):
    /// nothing has changed then, and strError says what and where ("第 N 行").
    bool bOk = false;
    QString strError;
    std::array<int, 3> added{};   ///< tasks, reminders, holidays
    std::array<int, 3> updated{}; ///< tasks, reminders, holidays
    QList<ExchangeLeftOut> leftOut;

    /// The summary shown at the end of an import: how many were added, updated and left out,
    /// and each left-out item with its reason (the first \a maxListed of them when not negative).
    QString SummaryText(qsizetype maxListed = -1) const;
};

/// One line per left-out item, "name（第 N 行）：reason" (without the line when it is 0), the
/// first \a maxListed of them when not negative and then a line saying how many more there are:
/// a file of thousands of unusable components would make a message box taller than the screen.
QStringList LeftOutLines(const QList<ExchangeLeftOut>& leftOut, qsizetype maxListed = -1);

/// Reads \a path and applies it to the store as one transaction.
ImportResult ImportFile(CDataStore& store, const QString& path);

} // namespace CalendarExchange
