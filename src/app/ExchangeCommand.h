#pragma once

#include "app/CommandLine.h"

#include <QString>
#include <QStringList>

/// The calendar exchange run from the command line (--export-ics, --import-ics): no window, no
/// display, no single-instance guard taken, so that it also works beside a running planner,
/// which an import then tells to read its data again.
namespace ExchangeCommand {

/// Exit statuses: a fault in the options (as for every other option), a failure of the run.
constexpr int kUsageStatus = 2;
constexpr int kFailedStatus = 1;

/// \a text as one line of standard error: "Kestrum: ", the text on one line, a line break.
QString ErrorLine(const QString& text);

struct Outcome
{
    int nStatus = 0;
    QString strOut; ///< for standard output: what was exported, the import's summary
    QString strErr; ///< for standard error: one line per problem, each ending in a line break
};

/// Runs what \a options ask for (options.exchange is not None) on the data folder that
/// \a arguments name (DataFolder::Resolve, with \a appFolder). An export needs a data folder
/// with a database; an import into a folder that is not there or empty makes a new one first,
/// as the planner's first start would.
Outcome Run(const CommandLine::Options& options, const QStringList& arguments, const QString& appFolder);

} // namespace ExchangeCommand
