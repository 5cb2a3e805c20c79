// Measures the manage page's refresh with 10,000 stored reminders (count, listing, filling the
// grid, sizing every column and row) against a plain QTableView over a QStandardItemModel that
// holds the same 10,000 rows, read through the same listing, with resizeColumnsToContents.
// Both are shown on the offscreen platform and include the events that follow (layout, first
// paint). Every figure is the median over the rounds; each ratio pairs the two measurements of
// one round.
//
//     QT_QPA_PLATFORM=offscreen bin/bench_reminder [rounds]

#include "BenchTiming.h"
#include "app/ConfigFile.h"
#include "app/PlannerContext.h"
#include "controls/GridCtrl.h"
#include "controls/GridDelegate.h"
#include "reminder/ReminderManagePage.h"
#include "store/DataStore.h"
#include "store/Schema.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QHeaderView>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QStandardItemModel>
#include <QTableView>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

using namespace BenchTiming;

namespace {

constexpr int kReminders = 10'000;

// Ten thousand reminders of every mode, with titles and contents of the usual lengths.
bool Fill(CDataStore& store)
{
    QSqlDatabase db = QSqlDatabase::database(store.ConnectionName());
    db.transaction();
    QSqlQuery q(db);
    q.prepare(QStringLiteral("INSERT INTO tx (year, month, day, week, hour, minute, second, mode, ring, title, "
                             "content) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"));
    for (int i = 0; i < kReminders; ++i) {
        const QDate d = QDate(2020, 1, 1).addDays(i % 2000);
        const QVariantList values{d.year(), d.month(), d.day(), d.dayOfWeek() % 7 + 1, i % 24, i % 60, (i * 7) % 60,
                                  i % 5, i % 2,
                                  QStringLiteral("提醒%1：第%2节课").arg(i).arg(i % 8 + 1),
                                  QStringLiteral("带上%1班的作业本和教案，提前五分钟到教室").arg(i % 12 + 1)};
        for (int k = 0; k < values.size(); ++k)
            q.bindValue(k, values.at(k));
        if (!q.exec())
            return false;
    }
    return db.commit();
}

double Baseline(CDataStore& store)
{
    QElapsedTimer t;
    t.start();
    QStringList times, modes, rings, titles, contents;
    if (store.CountReminders() < 1 || !store.ListReminders(times, modes, rings, titles, contents))
        std::exit(1);
    QStandardItemModel model(int(times.size()), 6);
    model.setHorizontalHeaderLabels(QStringLiteral("序号 时间 标题 方式 响铃 内容").split(u' '));
    for (int r = 0; r < times.size(); ++r) {
        model.setItem(r, 0, new QStandardItem(QString::number(r + 1)));
        model.setItem(r, 1, new QStandardItem(times.at(r)));
        model.setItem(r, 2, new QStandardItem(titles.at(r)));
        model.setItem(r, 3, new QStandardItem(modes.at(r)));
        model.setItem(r, 4, new QStandardItem(rings.at(r)));
        model.setItem(r, 5, new QStandardItem(contents.at(r)));
    }
    QTableView view;
    view.resize(540, 320);
    view.setModel(&model);
    view.resizeColumnsToContents();
    view.show();
    QApplication::processEvents();
    return Ms(t);
}

double Page(CPlannerContext& context)
{
    CReminderManagePage page(context);
    page.resize(540, 320);
    page.show();
    QApplication::processEvents();
    QElapsedTimer t;
    t.start();
    page.Refresh();
    QApplication::processEvents();
    const double ms = Ms(t);
    if (page.Grid()->GetRowCount() != kReminders + 1)
        std::exit(1);
    return ms;
}

// Whether the page's sizing gives every column and row the size that measuring every cell
// gives it (not timed).
bool SameAsMeasuringEveryCell(CPlannerContext& context)
{
    CReminderManagePage page(context);
    page.Refresh();
    const CGridCtrl* g = page.Grid();
    const auto extent = [g](int r, int c) {
        return GridPaint::CellExtent(GridPaint::CellLook(g->model()->index(r, c), g->font()));
    };
    int differ = 0;
    QStringList shown;
    for (int c = 0; c < g->GetColumnCount(); ++c) {
        int width = 0;
        for (int r = 0; r < g->GetRowCount(); ++r)
            width = std::max(width, extent(r, c).width());
        differ += width != g->GetColumnWidth(c);
        shown << QString::number(g->GetColumnWidth(c));
    }
    for (int r = 0; r < g->GetRowCount(); ++r) {
        int height = g->verticalHeader()->defaultSectionSize();
        for (int c = 0; c < g->GetColumnCount(); ++c)
            height = std::max(height, extent(r, c).height());
        differ += height != g->GetRowHeight(r);
    }
    std::printf("column widths %s, data row height %d; %d sizes differ from measuring every cell\n",
                qUtf8Printable(shown.join(u' ')), g->GetRowHeight(1), differ);
    return differ == 0;
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
    QTemporaryDir dir;
    PrintingReporter reporter;
    CDataStore store(&reporter);
    const QString path = dir.filePath(QStringLiteral("kstrm.db"));
    if (!Schema::CreateDatabaseFile(path, QDate(2026, 9, 1), QDate(2027, 1, 31), nullptr) || !store.Connect(path) ||
        !Fill(store)) {
        std::fprintf(stderr, "could not make the database\n");
        return 1;
    }
    ConfigFlags flags;
    CPlannerContext context(store, flags, {}, dir.path());

    std::vector<double> page, base, ratio;
    for (int i = 0; i < rounds; ++i) {
        const double b = Baseline(store);
        const double p = Page(context);
        base.push_back(b);
        page.push_back(p);
        ratio.push_back(p / b);
        std::printf("round %d: manage page %.1f ms, QTableView baseline %.1f ms, ratio %.2f\n", i + 1, p, b, p / b);
    }
    std::printf(
        "median of %d rounds: manage page refresh %.1f ms, baseline %.1f ms, ratio %.2f (median of the "
        "rounds' ratios)\n",
        rounds, Median(page), Median(base), Median(ratio));
    return SameAsMeasuringEveryCell(context) ? 0 : 1;
}
