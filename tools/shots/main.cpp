// Renders the program's windows into PNG files, on a sample day and a throw-away data folder,
// for the README and for a look at the windows after a change:
//
//     kestrum-shots DIR [main|reminder|query|holiday|timetable|launcher|settings|controls]...
//
// With no name it renders every subsystem. It runs on the offscreen platform unless
// QT_QPA_PLATFORM names another, and never touches the user's data.
#include "Shots.h"
#include "app/Appearance.h"
#include "app/Clock.h"
#include "app/PlannerApp.h"
#include "controls/Messages.h"

#include <QApplication>
#include <QTemporaryDir>
#include <QWidget>
#include <algorithm>
#include <cstdio>
#include <utility>

namespace {

// Message boxes are answered at once: a picture run never waits for a person.
class AutoAnswer final : public Messages::Handler
{
public:
    Messages::Answer Respond(const Messages::Request& request) override
    {
        return request.buttons.testFlag(QMessageBox::Yes) ? QMessageBox::Yes : QMessageBox::Ok;
    }
};

// In the order they run, whatever the order on the command line: the main window comes first,
// before the other subsystems add their sample data to the same day.
const std::pair<const char*, void (*)(CShots&)> kSubsystems[] = {
    {"main", Shots::MainWindow},   {"reminder", Shots::Reminders},  {"query", Shots::Query},
    {"holiday", Shots::Holidays},  {"timetable", Shots::Timetable}, {"launcher", Shots::Launcher},
    {"settings", Shots::Settings}, {"sync", Shots::Sync},         {"controls", Shots::Controls},
};

// The offscreen platform says of every pop-up that it cannot raise it or give it its shape; the
// pictures come out all the same, and those lines would only bury the list of files written.
QtMessageHandler g_defaultHandler = nullptr;
void QuietPlatform(QtMsgType type, const QMessageLogContext& context, const QString& text)
{
    if (!text.startsWith(QLatin1String("This plugin does not support")))
        g_defaultHandler(type, context, text);
}

int Fail(const QString& text)
{
    std::fprintf(stderr, "kestrum-shots: %s\n", qUtf8Printable(text));
    return 1;
}

} // namespace

int main(int argc, char* argv[])
{
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    g_defaultHandler = qInstallMessageHandler(QuietPlatform);
    // Its own runtime folder: a planner the user is running does not count as a first copy.
    QTemporaryDir scratch(QDir::tempPath() + QStringLiteral("/kestrum-shots-XXXXXX"));
    const QString runtime = scratch.filePath(QStringLiteral("runtime"));
    QDir().mkpath(runtime);
    QFile::setPermissions(runtime, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime));
    QApplication app(argc, argv);
    QStringList args = QApplication::arguments().mid(1);
    if (args.isEmpty()) {
        std::fprintf(stderr,
                     "usage: kestrum-shots DIR [main|reminder|query|holiday|timetable|launcher|settings|"
                     "controls]...\n");
        return 2;
    }
    const QDir out(QDir(args.takeFirst()).absolutePath());
    for (const QString& name : std::as_const(args)) {
        if (std::none_of(std::begin(kSubsystems), std::end(kSubsystems),
                         [&name](const auto& s) { return name == QLatin1String(s.first); }))
            return Fail(QStringLiteral("no subsystem \"%1\"").arg(name));
    }
    if (!out.mkpath(QStringLiteral(".")))
        return Fail(QStringLiteral("cannot make the folder %1").arg(out.path()));

    Appearance::ApplyChineseLook(app);
    Clock::setSource([] { return QDateTime(CShots::kDay, QTime(9, 30)); });
    AutoAnswer answers;
    Messages::setHandler(&answers);

    int status = 0;
    {
        CPlannerApp planner({QStringLiteral("kestrum-shots"), QStringLiteral("--data-dir"),
                             scratch.filePath(QStringLiteral("data"))});
        if (!planner.Startup()) {
            planner.ExitInstance();
            Messages::setHandler(nullptr);
            return Fail(QStringLiteral("the planner did not start on %1").arg(scratch.path()));
        }
        CShots shots(planner, out);
        for (const auto& [name, shoot] : kSubsystems) {
            if (args.isEmpty() || args.contains(QLatin1String(name)))
                shoot(shots);
        }
        status = shots.AllWritten() ? 0 : 1;
        planner.ExitInstance();
    }
    Messages::setHandler(nullptr);
    return status;
}
