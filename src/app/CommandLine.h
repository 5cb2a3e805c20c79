#pragma once

#include <QDate>
#include <QString>
#include <QStringList>

/// The program's own command-line options: --data-dir, --help, --version and the calendar
/// exchange (--export-ics, --import-ics with --from and --to) and the sync (--sync with --server,
/// --user and --password-stdin). Qt takes its own
/// (-platform, -style ...) out of the arguments when the application object is made; what is
/// left then must be ours.
namespace CommandLine {

struct Options
{
    bool bHelp = false;    ///< -h, --help
    bool bVersion = false; ///< -v, --version
    /// --data-dir DIR or --data-dir=DIR was given (the first one counts); \a strDataDir is
    /// then that folder as written, empty when the option names none.
    bool bDataDirGiven = false;
    QString strDataDir;
    /// What the calendar exchange is asked for: nothing, an export or an import of \a strIcsFile.
    enum class Exchange
    {
        None,
        Export, ///< --export-ics FILE
        Import, ///< --import-ics FILE
    };
    Exchange exchange = Exchange::None;
    QString strIcsFile;
    /// --from and --to of an export: only the tasks of these days (an invalid date is an open end).
    QDate dtFrom;
    QDate dtTo;
    /// --sync: one sync with the saved account, no window; --server URL and --user NAME set the
    /// account first, --password-stdin reads its password from standard input.
    bool bSync = false;
    QString strServer;
    QString strUser;
    bool bPasswordStdin = false;
    /// One line about a fault in our own options (--data-dir without a folder, a date that is
    /// not one ...). It is a fault whatever Qt makes of the rest; several faults are lines
    /// apart.
    QString strError;
    /// One line about the first argument that is not ours. Before the application object is
    /// made it may still be one of Qt's; after that it is a fault.
    QString strUnknown;
};

/// Reads \a arguments (the program's name first, as in argv).
Options Parse(const QStringList& arguments);

/// The text --help prints: usage, what each option does, where the data lives when no folder
/// is given (\a defaultFolder), and a word on Qt's options.
QString HelpText(const QString& defaultFolder);
/// The text --version prints: "Kestrum " and the version, one line.
QString VersionText();
/// The program's version ("0.1.0").
QString Version();

} // namespace CommandLine
