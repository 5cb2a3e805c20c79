// Measures the query and statistics dialogs on a database of 1,000,000 tasks over 30 years:
//  - query:  a query with no criterion (every task), from the click on "查询" until the grid has
//            painted its first screen, against the sqlite3 shell running the same SELECT on the
//            same file with its output to /dev/null; with the peak memory of the query and the
//            memory in use once the dialog has closed, beside that before the query;
//  - scroll: in the same dialog, the scroll bar's thumb dragged from the first row to the last in
//            2,000 steps, each step timed until the grid has painted it (the longest and the
//            median step), then from the top a jump to the middle, painted;
//  - stats:  opening the statistics dialog (its four count operations and its first paint),
//            against the shell running the same sixteen counting statements.
// The shell's figures are its own statement timer (".timer on"), summed over its statements;
// the wall time of the whole shell process is printed beside it. Every figure is the median
// over the rounds, and every ratio pairs a measurement with the baseline of the same round.
// Run by hand: bin/bench_query [rounds, 3 by default] [sqlite3 shell]

#include "BenchTaskDatabase.h"
#include "BenchTiming.h"
#include "app/Clock.h"
#include "app/ConfigFile.h"
#include "app/PlannerContext.h"
#include "controls/GridCtrl.h"
#include "query/TaskQueryDlg.h"
#include "query/TaskStatsDlg.h"
#include "store/DataStore.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QPushButton>
#include <QRegularExpression>
#include <QScrollBar>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

using namespace BenchTiming;

namespace {

constexpr int kTasks = 1'000'000;
const QDate kFirstDay(1996, 1, 1);
const QDate kLastDay(2025, 12, 31);

[[noreturn]] void Fail(const QString& what)
{
    BenchTiming::Fail("bench_query", what);
}

ShellRun RunShell(const QString& shell, const QString& path, const QStringList& statements)
{
    return BenchTiming::RunShell("bench_query", shell, path, statements, BenchTiming::ShellTimer::Sum);
}

// Runs the event loop until \a widget has been painted.
class PaintWaiter : public QObject
{
public:
    explicit PaintWaiter(QWidget* widget) : m_pWidget(widget) { widget->installEventFilter(this); }
    ~PaintWaiter() override { m_pWidget->removeEventFilter(this); }
    void Wait()
    {
        if (!m_bPainted)
            m_loop.exec();
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched == m_pWidget && event->type() == QEvent::Paint && !m_bPainted) {
            m_bPainted = true;
            // Quit once the paint itself is done.
            QMetaObject::invokeMethod(&m_loop, &QEventLoop::quit, Qt::QueuedConnection);
        }
        return false;
    }

private:
    QWidget* m_pWidget;
    QEventLoop m_loop;
    bool m_bPainted = false;
};

// Moves \a bar to \a value and paints \a grid (its frozen rows and columns too) at once; answers
// the time it took in ms.
double ScrollStep(QWidget& grid, QScrollBar& bar, int value)
{
    QElapsedTimer timer;
    timer.start();
    bar.setValue(value);
    grid.repaint();
    return Ms(timer);
}

QStringList StatsStatements()
{
    const QString today = Clock::today().toString(QStringLiteral("yyyy-MM-dd"));
    QStringList out;
    for (const QString& period :
         {QStringLiteral("where date < '%1'").arg(today), QStringLiteral("where date > '%1'").arg(today),
          QStringLiteral("where date = '%1'").arg(today), QString()}) {
        out << QStringLiteral("select count(*) from shiqing ") + period;
        for (const QString& state :
             {QStringLiteral("未完成"), QStringLiteral("已完成"), QStringLiteral("已推迟")})
            out << QStringLiteral("select count(*) from shiqing ") +
                       (period.isEmpty() ? QStringLiteral("where ") : period + QStringLiteral(" and ")) +
                       QStringLiteral("state = '%1'").arg(state);
    }
    return out;
}

} // namespace

int main(int argc, char* argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 3;
    const QString shell = argc > 2 ? QString::fromLocal8Bit(argv[2]) : QStringLiteral("sqlite3");

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("tasks.db"));
    QElapsedTimer timer;
    timer.start();
    if (!BenchData::BuildTaskDatabase(path, kTasks, kFirstDay, kLastDay, QDate(2025, 9, 1),
                                      QDate(2026, 1, 31)))
        Fail(QStringLiteral("cannot build the database"));
    PrintingReporter reporter;
    CDataStore store(&reporter);
    if (!store.Connect(path)) // adds the indexes
        Fail(QStringLiteral("cannot connect"));
    std::printf("%d tasks, %s .. %s: ready in %.1f s; today is %s\n", kTasks,
                qUtf8Printable(kFirstDay.toString(Qt::ISODate)),
                qUtf8Printable(kLastDay.toString(Qt::ISODate)), Ms(timer) / 1000,
                qUtf8Printable(Clock::today().toString(Qt::ISODate)));
    ConfigFlags flags;
    CPlannerContext context(store, flags, {}, {});

    const QString everything = QStringLiteral("select * from shiqing order by date asc");
    std::vector<double> queryMs, queryShellMs, queryShellProcMs, queryRatio, peakMiB, baseMiB, closedMiB;
    std::vector<double> baseOwnMiB, shownOwnMiB, closedOwnMiB;
    std::vector<double> longestStepMs, medianStepMs, jumpMs;
    std::vector<double> statsMs, statsShellMs, statsShellProcMs, statsRatio;
    for (int round = 1; round <= rounds; ++round) {
        const ShellRun shellQuery = RunShell(shell, path, {everything});
        int found = 0;
        {
            CTaskQueryDlg dlg(context);
            dlg.show();
            PaintWaiter(&dlg).Wait();
            auto* grid = dlg.findChild<CGridCtrl*>(QStringLiteral("grid"));
            auto* query = dlg.findChild<QPushButton*>(QStringLiteral("queryButton"));
            ResetPeak();
            baseMiB.push_back(RssMiB());
            baseOwnMiB.push_back(OwnMiB());
            PaintWaiter painted(grid->viewport());
            timer.start();
            query->click();
            painted.Wait();
            queryMs.push_back(Ms(timer));
            peakMiB.push_back(PeakMiB());
            shownOwnMiB.push_back(OwnMiB());
            found = grid->GetRowCount() - 1;
            if (found != kTasks || dlg.GetCount() != kTasks)
                Fail(QStringLiteral("the query found %1 tasks").arg(found));

            QScrollBar& bar = *grid->verticalScrollBar();
            constexpr int kSteps = 2000;
            std::vector<double> steps;
            for (int i = 1; i <= kSteps; ++i)
                steps.push_back(ScrollStep(*grid, bar, int(qint64(bar.maximum()) * i / kSteps)));
            if (grid->GetItemText(kTasks, 0) != QString::number(kTasks) ||
                grid->GetItemText(kTasks, 1).isEmpty())
                Fail(QStringLiteral("the last row reads %1").arg(grid->GetItemText(kTasks, 1)));
            longestStepMs.push_back(*std::max_element(steps.begin(), steps.end()));
            medianStepMs.push_back(Median(steps));
            ScrollStep(*grid, bar, 0);
            jumpMs.push_back(ScrollStep(*grid, bar, bar.maximum() / 2));
            const int middle = grid->rowAt(grid->viewport()->height() / 2);
            if (grid->GetItemText(middle, 1).isEmpty())
                Fail(QStringLiteral("row %1 is blank after the jump").arg(middle));
        }
        QCoreApplication::processEvents(); // the dialog's deferred deletions
        closedMiB.push_back(RssMiB());
        closedOwnMiB.push_back(OwnMiB());
        queryShellMs.push_back(shellQuery.statementMs);
        queryShellProcMs.push_back(shellQuery.processMs);
        queryRatio.push_back(queryMs.back() / shellQuery.statementMs);

        const ShellRun shellStats = RunShell(shell, path, StatsStatements());
        {
            timer.start();
            CTaskStatsDlg dlg(context);
            PaintWaiter painted(&dlg);
            dlg.show();
            painted.Wait();
            statsMs.push_back(Ms(timer));
            if (!dlg.GetCellText(9).endsWith(QStringLiteral("/%1").arg(kTasks)))
                Fail(QStringLiteral("the statistics read %1").arg(dlg.GetCellText(9)));
        }
        statsShellMs.push_back(shellStats.statementMs);
        statsShellProcMs.push_back(shellStats.processMs);
        statsRatio.push_back(statsMs.back() / shellStats.statementMs);

        std::printf(
            "round %d: query %d rows: %.1f ms, shell %.1f ms (process %.1f ms), %.2fx, peak %.0f MiB "
            "(before %.0f MiB, after closing %.0f MiB; own memory %.0f / %.0f / %.0f MiB) | scroll: longest step %.1f ms, median %.2f ms, "
            "jump to the middle %.1f ms | stats: %.1f ms, shell %.1f ms (process %.1f ms), %.2fx\n",
            round, found, queryMs.back(), shellQuery.statementMs, shellQuery.processMs, queryRatio.back(),
            peakMiB.back(), baseMiB.back(), closedMiB.back(), baseOwnMiB.back(), shownOwnMiB.back(),
            closedOwnMiB.back(), longestStepMs.back(), medianStepMs.back(),
            jumpMs.back(), statsMs.back(), shellStats.statementMs, shellStats.processMs, statsRatio.back());
        std::fflush(stdout);
    }
    std::printf("\nmedian of %d rounds:\n", rounds);
    std::printf(
        "  query, every task, to the first screen: %.1f ms; shell %.1f ms (process %.1f ms); ratio %.2f "
        "(target: at most 0.25); peak memory %.0f MiB (%.0f MiB before the query, %.0f MiB after the "
        "dialog closed; target: peak at most 120 MiB above before); own memory, without mapped file pages: "
        "%.0f MiB before, %.0f MiB on the first screen, %.0f MiB after closing\n",
        Median(queryMs), Median(queryShellMs), Median(queryShellProcMs), Median(queryRatio), Median(peakMiB),
        Median(baseMiB), Median(closedMiB), Median(baseOwnMiB), Median(shownOwnMiB), Median(closedOwnMiB));
    std::printf(
        "  scroll over 1,000,000 rows: longest of 2,000 thumb steps %.1f ms, median step %.2f ms; jump to "
        "the middle %.1f ms (target: each within a frame, 16.7 ms)\n",
        Median(longestStepMs), Median(medianStepMs), Median(jumpMs));
    std::printf(
        "  statistics, four counts and first paint: %.1f ms; shell %.1f ms (process %.1f ms); ratio %.2f "
        "(target: at most 1)\n",
        Median(statsMs), Median(statsShellMs), Median(statsShellProcMs), Median(statsRatio));
    return reporter.m_nErrors == 0 ? 0 : 1;
}
