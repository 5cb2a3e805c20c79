#include "app/Appearance.h"
#include "app/CommandLine.h"
#include "app/DataFolder.h"
#include "app/ExchangeCommand.h"
#include "app/PlannerApp.h"
#include "app/Platform.h"
#include "app/SyncCommand.h"
#include "mainwnd/PlannerArt.h"
#include "reminder/DesktopNotifier.h"
#include "store/DataStore.h"

#include <QApplication>
#include <QCoreApplication>
#include <QFile>
#include <cstdio>

namespace {
// A command-line fault is a usage fault: the status scripts expect for one.
constexpr int kUsageStatus = ExchangeCommand::kUsageStatus;

QStringList RawArguments(int argc, char* argv[])
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    return arguments;
}

int Print(std::FILE* stream, const QString& text, int status)
{
    std::fputs(text.toLocal8Bit().constData(), stream);
    std::fflush(stream);
    return status;
}
} // namespace

int main(int argc, char* argv[])
{
    // --help and --version answer before the application object is made: it would want a
    // display, and neither needs one.
    const CommandLine::Options early = CommandLine::Parse(RawArguments(argc, argv));
    if (early.bHelp)
        return Print(stdout, CommandLine::HelpText(DataFolder::DefaultPath(Platform::AppFolder())), 0);
    if (early.bVersion)
        return Print(stdout, CommandLine::VersionText(), 0);
    if (!early.strError.isEmpty())
        return Print(stderr, early.strError + u'\n', kUsageStatus);

    // The calendar exchange runs without a display and without the planner's windows: a core
    // application object only, no splash, no single-instance guard. Qt's window options mean
    // nothing here, so whatever is not ours is a mistake.
    if (early.exchange != CommandLine::Options::Exchange::None) {
        if (!early.strUnknown.isEmpty())
            return Print(stderr, early.strUnknown + u'\n', kUsageStatus);
        QCoreApplication app(argc, argv);
        QCoreApplication::setApplicationName(QStringLiteral("Kestrum"));
        QCoreApplication::setApplicationVersion(CommandLine::Version());
        const ExchangeCommand::Outcome outcome =
            ExchangeCommand::Run(early, QCoreApplication::arguments(), Platform::AppFolder());
        Print(stdout, outcome.strOut, 0);
        return Print(stderr, outcome.strErr, outcome.nStatus);
    }
    // The sync too runs without a window; it reads its password from standard input where it
    // must.
    if (early.bSync) {
        if (!early.strUnknown.isEmpty())
            return Print(stderr, early.strUnknown + u'\n', kUsageStatus);
        QCoreApplication app(argc, argv);
        QCoreApplication::setApplicationName(QStringLiteral("Kestrum"));
        QCoreApplication::setApplicationVersion(CommandLine::Version());
        const auto readLine = [] {
            QFile in;
            if (!in.open(stdin, QIODevice::ReadOnly))
                return QString();
            QByteArray line = in.readLine();
            while (line.endsWith('\n') || line.endsWith('\r'))
                line.chop(1);
            return QString::fromUtf8(line);
        };
        const ExchangeCommand::Outcome outcome =
            SyncCommand::Run(early, QCoreApplication::arguments(), Platform::AppFolder(), readLine);
        Print(stdout, outcome.strOut, 0);
        return Print(stderr, outcome.strErr, outcome.nStatus);
    }

    // Loading the database driver, decoding the main window's pictures and connecting to the
    // session bus go on in parallel with the rest of start-up. All wait for the application
    // object: the first thread to touch Qt becomes its main thread.
    QApplication app(argc, argv);
    // Qt has taken its own options (-platform, -style ...) out of the arguments by now: what
    // is left and not ours is a mistake, never to be passed over in silence.
    const CommandLine::Options options = CommandLine::Parse(QApplication::arguments());
    if (!options.strUnknown.isEmpty())
        return Print(stderr, options.strUnknown + u'\n', kUsageStatus);

    // Declared after the application object, so that they end (and wait for their workers) first.
    const auto driverLoaded = CDataStore::PreloadDriver();
    const auto busConnected = CDesktopNotifier::ConnectSessionBusAhead();
    const PlannerArtPreload art;
    // No display name: the desktop would add it to every caption ("警告 — Kestrum").
    QApplication::setApplicationName(QStringLiteral("Kestrum"));
    QApplication::setApplicationVersion(CommandLine::Version());
    Appearance::ApplyChineseLook(app);

    CPlannerApp theApp(QApplication::arguments());
    if (theApp.InitInstance())
        QApplication::exec();
    return theApp.ExitInstance();
}
