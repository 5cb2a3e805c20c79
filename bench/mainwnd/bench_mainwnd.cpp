// A date pick on the main window until its list is refreshed, on a database of 1,000,000 tasks
// over thirty years (about 91 tasks a day). Every day of the school term is picked in turn,
// several rounds over; the figure is the median pick.
//
//     bench_mainwnd [rounds]          (offscreen platform unless QT_QPA_PLATFORM says otherwise)
#include "BenchTaskDatabase.h"
#include "app/Appearance.h"
#include "app/Clock.h"
#include "app/DataFolder.h"
#include "app/PlannerApp.h"
#include "mainwnd/PlannerDlg.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTableWidget>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <vector>

int main(int argc, char* argv[])
{
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    Appearance::ApplyChineseLook(app);
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 3;

    QTemporaryDir scratch;
    qputenv("XDG_RUNTIME_DIR", scratch.path().toLocal8Bit());
    const QString folder = scratch.filePath(QStringLiteral("data"));
    const QDate termStart(2025, 9, 1), termEnd(2026, 1, 31);
    // The planner's today lies in the term, and the tasks reach to the end of 2025.
    Clock::setSource([] { return QDateTime(QDate(2025, 10, 15), QTime(9, 0)); });
    QElapsedTimer build;
    build.start();
    if (!DataFolder::CreateWithDefaults(folder, Clock::today(), nullptr) ||
        !QFile::remove(folder + QStringLiteral("/kstrm.db")) ||
        !BenchData::BuildTaskDatabase(folder + QStringLiteral("/kstrm.db"), 1'000'000, QDate(1996, 1, 1),
                                      QDate(2025, 12, 31), termStart, termEnd)) {
        std::fprintf(stderr, "bench_mainwnd: cannot build the database\n");
        return 1;
    }
    std::printf("database of 1,000,000 tasks built in %.1f s\n", double(build.elapsed()) / 1000.0);

    CPlannerApp planner({QStringLiteral("bench"), QStringLiteral("--data-dir"), folder});
    if (!planner.Startup())
        return 1;
    std::vector<double> picks;
    int rows = 0;
    {
        CPlannerDlg dlg(planner.Context());
        dlg.show();
        QCoreApplication::processEvents();
        const auto* list = dlg.findChild<QTableWidget*>(QStringLiteral("taskList"));
        for (int round = 0; round < rounds; ++round) {
            for (QDate day = termStart; day <= QDate(2025, 12, 31); day = day.addDays(1)) {
                QElapsedTimer timer;
                timer.start();
                dlg.PickDate(day);
                picks.push_back(double(timer.nsecsElapsed()) / 1e6);
                rows += list->rowCount();
                QCoreApplication::processEvents(); // the repaint, outside the measurement
            }
        }
    }
    planner.ExitInstance();
    std::sort(picks.begin(), picks.end());
    std::printf("%zu date picks, %.1f tasks a day on average\n", picks.size(), double(rows) / double(picks.size()));
    std::printf("date pick until the list is refreshed: median %.3f ms, 90th percentile %.3f ms (target < 5 ms)\n",
                picks[picks.size() / 2], picks[picks.size() * 9 / 10]);
    return 0;
}
