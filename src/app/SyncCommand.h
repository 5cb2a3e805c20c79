#pragma once

#include "app/CommandLine.h"
#include "app/ExchangeCommand.h"

#include <QString>
#include <QStringList>
#include <functional>

/// --sync on the command line: one sync of the data folder with the saved account (set first by
/// --server and --user), without a window, so that machines can be set up and synced by script.
namespace SyncCommand {

/// Runs what \a options ask for (options.bSync) on the data folder that \a arguments name.
/// \a readLine reads one line of standard input (the password), without its line end.
ExchangeCommand::Outcome Run(const CommandLine::Options& options, const QStringList& arguments,
                             const QString& appFolder, const std::function<QString()>& readLine);

} // namespace SyncCommand
