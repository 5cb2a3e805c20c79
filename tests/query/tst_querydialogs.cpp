// The task query, the statistics and the batch delete, driven as a person would.
#include "DialogRecorder.h"
#include "FakeClock.h"
#include "GridMeasure.h"
#include "MessageRecorder.h"
#include "Pixels.h"
#include "QueryFixture.h"
#include "WidgetDriver.h"
#include "controls/GridCtrl.h"
#include "controls/GridDelegate.h"
#include "controls/PieChartCtrl.h"
#include "query/BatchDeleteDlg.h"
#include "query/TaskQueryDlg.h"
#include "query/TaskStatsDlg.h"

#include <QApplication>
#include <QCheckBox>
#include <QDateEdit>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QStandardPaths>
#include <QtTest>

using namespace Qt::StringLiterals;

namespace {
const QDateTime kNow(QDate(2027, 3, 15), QTime(10, 0));
const QColor kWhite(255, 255, 255), kYellow(255, 255, 153);

// Tasks put in directly, on a clock of its own.
struct Planner : QueryFixture
{
    /// Adds tasks written "yyyy-MM-dd|state|how many".
    bool addMany(const QString& bulk)
    {
        const QStringList parts = bulk.split(u'|');
        return exec(
            QStringLiteral("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < %3) "
                           "INSERT INTO shiqing (date, content, state) SELECT '%1', '', '%2' FROM n")
                .arg(parts[0], parts[1], parts[2]));
    }

    /// Adds tasks 1 to \a n, task i on the i-th day of 2000 on and named "事情 i", the last first,
    /// so that the table's order is not the dates'.
    bool addNumbered(int n)
    {
        return exec(
            QStringLiteral("WITH RECURSIVE n(i) AS (SELECT %1 UNION ALL SELECT i - 1 FROM n WHERE i > 1) "
                           "INSERT INTO shiqing (date, content, state) SELECT date('1999-12-31', '+' "
                           "|| i || ' days'), '事情 ' || i, '未完成' FROM n")
                .arg(n));
    }
    static QString numberedDay(int i) { return QDate(1999, 12, 31).addDays(i).toString(Qt::ISODate); }

    FakeClock clock{kNow};
};

QStringList Column(CGridCtrl& grid, int nCol)
{
    QStringList out;
    for (int r = 0; r < grid.GetRowCount(); ++r)
        out << grid.GetItemText(r, nCol);
    return out;
}

// Row \a r of the grid shows numbered task r (Planner::addNumbered) whole.
bool ShowsNumbered(CGridCtrl& grid, int r)
{
    const bool shows = grid.GetItemText(r, 0) == QString::number(r) &&
                       grid.GetItemText(r, 1) == Planner::numberedDay(r) &&
                       grid.GetItemText(r, 2).startsWith(u"事情 %1"_s.arg(r)) && grid.GetItemImage(r, 0) == 1;
    for (int c = 0; c < 4 && shows; ++c) {
        if (GridPaint::IsTextCut(QRect(0, 0, grid.GetColumnWidth(c), grid.GetRowHeight(r)),
                                 GridPaint::CellLook(grid.model()->index(r, c), grid.font())))
            return false;
    }
    return shows;
}

const QStringList kHeads = {u"事情序号"_s, u"事情日期"_s, u"事情内容"_s, u"事情状态"_s};
} // namespace

class TestQueryDialogs : public QObject
{
    Q_OBJECT

private slots:
    // The boxes enable their rows and the join boxes say what they do; an empty search text is
    // refused before anything is queried. The columns are then as wide as measuring every cell
    // makes them, also when many texts whose characters add up alike (and which kerning makes
    // narrower) come before the widest one; the rows in view are measured too.
    void queryControlsEmptySearchTextAndSizes()
    {
        Planner p;
        QStringList tasks;
        for (int i = 1; i <= 20; ++i)
            tasks << u"2027-01-%1|AVAVAV To|未完成"_s.arg(i, 2, 10, QLatin1Char('0'));
        tasks << u"2027-02-01|AAAVVV oT|已完成"_s;
        QVERIFY(p.ready && p.add(tasks));
        MessageRecorder messages;
        CTaskQueryDlg dlg(p.context);
        QVERIFY(ShowExposed(dlg));
        auto* from = Child<QDateEdit>(dlg, "fromDatePicker");
        QVERIFY(!from->isEnabled() && !Child<QPushButton>(dlg, "printButton")->isEnabled());
        QCOMPARE(from->date(), kNow.date());
        QVERIFY(Child<QCheckBox>(dlg, "joinDateCheck")->isHidden());
        Click(dlg, "useDateCheck");
        QVERIFY(from->isEnabled() && Child<QDateEdit>(dlg, "toDatePicker")->isEnabled());
        Click(dlg, "useStateCheck");
        QVERIFY(Child<QCheckBox>(dlg, "postponedCheck")->isEnabled());
        QVERIFY(!Child<QLineEdit>(dlg, "contentEdit")->isEnabled());
        auto* join = Child<QCheckBox>(dlg, "joinStateCheck");
        QCOMPARE(join->text(), u"或"_s);
        Click(dlg, "joinStateCheck");
        QCOMPARE(join->text(), u"与"_s);
        Click(dlg, "joinStateCheck");
        QCOMPARE(join->text(), u"或"_s);

        Click(dlg, "useContentCheck");
        Click(dlg, "queryButton");
        QCOMPARE(messages.texts(), QStringList{u"查询内容不能为空"_s});
        QCOMPARE(messages.last().caption, u"警告"_s);
        QCOMPARE(dlg.focusWidget(), Child<QWidget>(dlg, "contentEdit"));
        QCOMPARE(p.notices, QStringList());
        auto* grid = Child<CGridCtrl>(dlg, "grid");
        QCOMPARE(grid->GetRowCount(), 0);

        for (const char* box : {"useDateCheck", "useStateCheck", "useContentCheck"})
            Click(dlg, box); // every task
        Click(dlg, "queryButton");
        int nLast = grid->rowAt(grid->viewport()->height() - 1);
        if (nLast < 0)
            nLast = grid->GetRowCount() - 1;
        QVERIFY(nLast > 1);
        QCOMPARE(GridSizes(*grid, 0, nLast), MeasuredSizes(*grid, 0, nLast));
    }

    void queryResults_data()
    {
        QTest::addColumn<QString>("search");
        QTest::addColumn<QStringList>("dates");
        QTest::addColumn<QList<int>>("images");
        QTest::newRow("every task, by date")
            << QString() << u"2027-01-02 2027-02-03 2027-03-15 2027-04-01"_s.split(u' ')
            << QList<int>{1, 2, 0, 0};
        QTest::newRow("a quote") << u"it's"_s << QStringList{u"2027-03-15"_s} << QList<int>{0};
        QTest::newRow("nothing found") << u"会议"_s << QStringList() << QList<int>();
    }
    void queryResults()
    {
        QFETCH(QString, search);
        QFETCH(QStringList, dates);
        QFETCH(QList<int>, images);
        Planner p;
        QVERIFY(p.ready && p.add({u"2027-04-01|交电费|进行中"_s, u"2027-01-02|备课|未完成"_s,
                                  u"2027-03-15|it's late|已推迟"_s,
                                  u"2027-02-03|给三年级二班的全体同学批改期中考试的数学试卷|已完成"_s}));
        CTaskQueryDlg dlg(p.context);
        auto* grid = Child<CGridCtrl>(dlg, "grid");
        // A query before fills the grid, so that the one under test must replace its rows.
        Click(dlg, "queryButton");
        if (!search.isEmpty()) {
            Click(dlg, "useContentCheck");
            Child<QLineEdit>(dlg, "contentEdit")->insert(search); // typed through an input method
        }
        Click(dlg, "queryButton");

        QCOMPARE(p.notices.last(), u"符合当前查询条件的事情\n共有【%1】件"_s.arg(dates.size()));
        QCOMPARE(dlg.GetCount(), int(dates.size()));
        QCOMPARE(grid->GetRowCount(), int(dates.size()) + 1);
        QCOMPARE(grid->GetFixedRowCount(), 1);
        QCOMPARE(grid->GetFixedColumnCount(), 1);
        for (int c = 0; c < 4; ++c)
            QCOMPARE(grid->GetItemText(0, c), kHeads[c]);
        QCOMPARE(Column(*grid, 1).mid(1), dates);
        for (int r = 1; r < grid->GetRowCount(); ++r) {
            QCOMPARE(grid->GetItemText(r, 0), QString::number(r));
            QVERIFY(grid->GetItemFormat(r, 0) & GridFormat::Right);
            QCOMPARE(grid->GetItemImage(r, 0), images[r - 1]);
            for (int c = 1; c < 4; ++c)
                QCOMPARE(grid->GetItemBkColour(r, c), r % 2 ? kWhite : kYellow);
        }
        QVERIFY(Child<QPushButton>(dlg, "printButton")->isEnabled());
    }

    // Five thousand matches, more than the grid reads or keeps at once: the count, the first rows,
    // the rows after a scroll, after a jump to the middle with the scroll bar and at the end, in
    // date order. A text wider than any before widens its column as it comes into view. A task
    // deleted while the grid shows the query: its row, read after the delete, says so, keeps its
    // number and loses its picture, and no other row moves. Printed, every row is there.
    void queryManyRowsAndPrint()
    {
        constexpr int kRows = 5000;
        Planner p;
        QVERIFY(
            p.ready && p.addNumbered(kRows) &&
            p.exec(QStringLiteral("UPDATE shiqing SET content = content || '：给三年级二班的全体同学批改期中"
                                  "考试的数学试卷' WHERE content = '事情 700'")));
        CTaskQueryDlg dlg(p.context);
        QVERIFY(ShowExposed(dlg));
        Click(dlg, "queryButton");
        auto* grid = Child<CGridCtrl>(dlg, "grid");
        QCOMPARE(p.notices.last(), u"符合当前查询条件的事情\n共有【%1】件"_s.arg(kRows));
        QCOMPARE(grid->GetRowCount(), kRows + 1);
        QVERIFY(ShowsNumbered(*grid, 1) && ShowsNumbered(*grid, 2));
        QVERIFY(p.store.DeleteTask(QDate::fromString(Planner::numberedDay(600), Qt::ISODate), u"事情 600"_s));
        QCoreApplication::processEvents(); // the view lays out its new rows

        grid->scrollTo(grid->model()->index(600, 1));
        QCOMPARE(Column(*grid, 0).mid(599, 3), QStringList({u"599"_s, u"600"_s, u"601"_s}));
        QCOMPARE(grid->GetItemText(600, 1) + grid->GetItemText(600, 2), QString());
        QCOMPARE(grid->GetItemText(600, 3), u"已删除"_s);
        QCOMPARE(grid->GetItemImage(600, 0), -1);
        QVERIFY(ShowsNumbered(*grid, 599) && ShowsNumbered(*grid, 601));
        grid->scrollTo(grid->model()->index(700, 1));
        QVERIFY(ShowsNumbered(*grid, 700) && ShowsNumbered(*grid, 699));
        QScrollBar* bar = grid->verticalScrollBar();
        bar->setValue(bar->maximum() / 2);
        const int middle = grid->rowAt(grid->viewport()->height() / 2);
        QVERIFY2(qAbs(middle - kRows / 2) < kRows / 50, qPrintable(QString::number(middle)));
        QVERIFY(ShowsNumbered(*grid, middle));
        bar->setValue(bar->maximum());
        QVERIFY(ShowsNumbered(*grid, kRows) && ShowsNumbered(*grid, kRows - 1));

        const QString pdftotext = QStandardPaths::findExecutable(u"pdftotext"_s);
        if (pdftotext.isEmpty())
            QSKIP("pdftotext (poppler-utils) is not installed; the printed text cannot be read back");
        const QString text = PrintedText([&dlg] { Click(dlg, "printButton"); }, p.dir.path(), pdftotext);
        QCOMPARE(dlg.windowTitle(), u"事情查询"_s);
        QVERIFY2(text.contains(u"事情查询结果"_s), qPrintable(text.left(2000)));
        QSet<QString> lines;
        for (const QString& line : text.split(u'\n'))
            lines.insert(line.simplified());
        QStringList missing;
        for (int i = 1; i <= kRows; ++i) {
            if (i != 600 && i != 700 &&
                !lines.contains(u"%1 %2 事情 %1 未完成"_s.arg(i).arg(Planner::numberedDay(i))))
                missing << QString::number(i);
        }
        QCOMPARE(missing, QStringList());
    }

    void statistics_data()
    {
        QTest::addColumn<QStringList>("tasks");
        QTest::addColumn<QStringList>("cells");
        QTest::addColumn<QList<int>>("degrees");
        // Today is 2027-03-15; the cells' texts apart by '|'.
        const auto cells = [](const char16_t* texts) { return QString::fromUtf16(texts).split(u'|'); };
        QTest::newRow("four states, three periods")
            << QStringList{u"2027-03-01|a|未完成"_s, u"2026-03-01|b|未完成"_s, u"2027-03-14|c|已完成"_s,
                           u"2020-01-01|d|进行中"_s, u"2027-03-16|e|已推迟"_s, u"2030-01-01|f|已完成"_s,
                           u"2027-03-15|g|未完成"_s, u"2027-03-15|h|进行中"_s}
            << cells(u"2/4|1/4|0/4|0/2|1/2|1/2|1/2|0/2|0/2|3/8|2/8|1/8|"
                     u"未完成率: 37.50%|已完成率: 25.00%|已推迟率: 12.50%")
            << QList<int>{135, 90, 45};
        QTest::newRow("two thirds, rounded")
            << QStringList{u"2027-03-15|a|未完成"_s, u"2027-03-15|b|未完成"_s, u"2027-03-15|c|已推迟"_s}
            << cells(u"0/0|0/0|0/0|0/0|0/0|0/0|2/3|0/3|1/3|2/3|0/3|1/3|"
                     u"未完成率: 66.67%|已完成率: 0.00%|已推迟率: 33.33%")
            << QList<int>{239, 0, 119};
        QTest::newRow("no task") << QStringList()
                                 << cells(u"0/0|0/0|0/0|0/0|0/0|0/0|0/0|0/0|0/0|0/0|0/0|0/0|"
                                          u"未完成率: 0.00%|已完成率: 0.00%|已推迟率: 0.00%")
                                 << QList<int>{0, 0, 0};
    }
    void statistics()
    {
        QFETCH(QStringList, tasks);
        QFETCH(QStringList, cells);
        QFETCH(QList<int>, degrees);
        Planner p;
        QVERIFY(p.ready && p.add(tasks));
        CTaskStatsDlg dlg(p.context);
        for (int i = 0; i < CTaskStatsDlg::kCells; ++i)
            QCOMPARE(dlg.GetCellText(i), cells[i]);
        auto* pie = Child<CPieChartCtrl>(dlg, "pieChart");
        QCOMPARE(pie->GetTitle(), u"事情状态统计"_s);
        const QStringList labels = {u"未完成率"_s, u"已完成率"_s, u"已推迟率"_s};
        const QList<QColor> fills = {QColor(255, 0, 0), QColor(0, 0, 255), QColor(0, 0, 0)};
        QCOMPARE(pie->GetPieces().size(), 3);
        for (int i = 0; i < 3; ++i) {
            QCOMPARE(pie->GetPieces()[i].m_nDegrees, degrees[i]);
            QCOMPARE(pie->GetPieces()[i].m_strLabel, labels[i]);
            QCOMPARE(pie->GetPieces()[i].m_crFill, fills[i]);
        }
        QCOMPARE(p.errors.texts(), QStringList());
    }

    // Every figure shows whole, five-digit counts as well as a million tasks in the narrowest column.
    void statisticsShowWhole_data()
    {
        QTest::addColumn<QStringList>("tasks");
        QTest::addColumn<QStringList>("cells"); // the widest ones, by index; today is 2027-03-15
        QTest::newRow("five digits")
            << QStringList{u"2027-01-01|未完成|9960"_s, u"2027-01-01|已完成|29970"_s,
                           u"2027-05-01|未完成|10090"_s, u"2027-05-01|已推迟|30090"_s}
            << QStringList{u"9960/39930"_s, u"29970/39930"_s, {}, u"10090/40180"_s, {}, u"30090/40180"_s};
        QTest::newRow("a million") << QStringList{u"2026-06-01|已推迟|1000000"_s}
                                   << QStringList{{}, {}, u"1000000/1000000"_s};
    }
    void statisticsShowWhole()
    {
        QFETCH(QStringList, tasks);
        QFETCH(QStringList, cells);
        Planner p;
        QVERIFY(p.ready);
        for (const QString& bulk : tasks)
            QVERIFY(p.addMany(bulk));
        CTaskStatsDlg dlg(p.context);
        for (int i = 0; i < cells.size(); ++i) {
            if (!cells[i].isEmpty())
                QCOMPARE(dlg.GetCellText(i), cells[i]);
        }
        QVERIFY(ShowExposed(dlg));
        QImage diff = dlg.grab().toImage().convertToFormat(QImage::Format_RGB32);
        {
            QPainter painter(&diff); // what differs from the background is ink
            painter.setCompositionMode(QPainter::CompositionMode_Difference);
            painter.drawImage(0, 0, QImage(u":/query/166.png"_s));
        }
        for (int i = 0; i < CTaskStatsDlg::kCells; ++i) {
            // The ink of a text lies around its cell, up to the table's lines (or, for a rate,
            // towards the panel's right edge); it is as wide as the whole text.
            const QRect cell = dlg.GetCellRect(i);
            const QRect around = i < 12 ? cell.adjusted(-8, -4, 8, 4) : cell.adjusted(-2, -2, 12, 2);
            const int nShown = InkBox(diff, around, [](const QColor& c) {
                                   return c.red() + c.green() + c.blue() > 80;
                               }).width();
            const int nWhole = QFontMetrics(dlg.GetCellFont(i)).tightBoundingRect(dlg.GetCellText(i)).width();
            QVERIFY2(
                nShown >= nWhole - 1,
                qPrintable(u"%1: %2 of %3 pixels shown"_s.arg(dlg.GetCellText(i)).arg(nShown).arg(nWhole)));
        }
    }

    // The days of the tasks, those the delete takes marked "-"; the message after the question as
    // "caption|text".
    void batchDelete_data()
    {
        QTest::addColumn<QDate>("picked");
        QTest::addColumn<QString>("scope");
        QTest::addColumn<bool>("confirm");
        QTest::addColumn<QString>("days");
        QTest::addColumn<QString>("message");
        const auto row = [](const char* name, QDate picked, const char* scope, bool confirm,
                            const char16_t* days, const char16_t* message = u"") {
            QTest::newRow(name) << picked << QString::fromLatin1(scope) << confirm << QString::fromUtf16(days)
                                << QString::fromUtf16(message);
        };
        row("December", QDate(2010, 12, 15), "monthRadio", true,
            u"2010-11-30 -2010-12-01 -2010-12-31 2011-01-01");
        // A month before October: its bounds have two-digit months.
        row("September", QDate(2010, 9, 30), "monthRadio", true,
            u"2010-08-31 -2010-09-01 -2010-09-30 2010-10-01");
        row("a day", QDate(2010, 9, 30), "dayRadio", true, u"2010-09-29 -2010-09-30 2010-10-01");
        row("a year", QDate(2010, 6, 1), "yearRadio", true,
            u"2009-12-31 -2010-01-01 -2010-07-07 -2010-12-31 2011-01-01");
        row("empty period", QDate(2000, 5, 5), "yearRadio", true, u"2010-05-05",
            u"提示|所选时间段内没有事情");
        // The table is gone when the delete runs: a failure, not an empty period.
        row("failure", QDate(2010, 5, 5), "yearRadio", true, u"2010-05-05", u"警告|删除失败，请重试");
        row("cancelled", QDate(2010, 5, 5), "yearRadio", false, u"2010-05-05");
    }
    void batchDelete()
    {
        QFETCH(QDate, picked);
        QFETCH(QString, scope);
        QFETCH(bool, confirm);
        QFETCH(QString, days);
        QFETCH(QString, message);
        QStringList tasks, left;
        for (const QString& day : days.split(u' ')) {
            tasks << day.mid(day.startsWith(u'-')) + u"|事|未完成"_s;
            if (!day.startsWith(u'-'))
                left << tasks.last();
        }
        const QString caption = message.section(u'|', 0, 0);
        message = message.section(u'|', 1);
        const bool fails = caption == u"警告"_s;
        Planner p;
        QVERIFY(p.ready && p.add(tasks + QStringList{u"2027-03-15|今天|已完成"_s}));
        left << u"2027-03-15|今天|已完成"_s;
        left.sort();
        MessageRecorder messages;
        messages.setNextAnswer(confirm ? QMessageBox::Ok : QMessageBox::Cancel);
        CTaskStatsDlg dlg(p.context);
        QVERIFY(ShowExposed(dlg));
        bool seen = false;
        WhenModal([&](QDialog* batch) {
            seen = qobject_cast<CBatchDeleteDlg*>(batch) != nullptr;
            QCOMPARE(Child<QDateEdit>(*batch, "datePicker")->date(), kNow.date());
            QVERIFY(Child<QRadioButton>(*batch, "yearRadio")->isChecked());
            Child<QDateEdit>(*batch, "datePicker")->setDate(picked);
            Click(*batch, qPrintable(scope));
            if (fails)
                p.exec(u"ALTER TABLE shiqing RENAME TO away"_s);
            Click(*batch, "okButton");
        });
        Click(dlg, "batchDeleteButton");
        QVERIFY(seen);
        if (fails) {
            p.exec(u"ALTER TABLE away RENAME TO shiqing"_s);
            QCOMPARE(p.errors.texts(), QStringList{u"打开事情信息表错误"_s});
        }

        QCOMPARE(p.all(), left);
        QStringList expected = {u"你确信要进行批量删除吗?"_s};
        if (!message.isEmpty())
            expected << message;
        QCOMPARE(messages.texts(), expected);
        QCOMPARE(messages.requests().first().caption, u"警告"_s);
        if (!message.isEmpty())
            QCOMPARE(messages.last().caption, caption);
        const bool deleted = left.size() < tasks.size() + 1;
        QCOMPARE(p.notices, deleted ? QStringList{u"批量选择删除成功"_s} : QStringList());
        // The texts and the pie follow what is left: one done task among the rest.
        const int total = int(left.size());
        QCOMPARE(dlg.GetCellText(10), u"1/%1"_s.arg(total));
        const CTaskStatsDlg fresh(p.context);
        QCOMPARE(Child<CPieChartCtrl>(dlg, "pieChart")->GetPieces().value(1).m_nDegrees,
                 Child<CPieChartCtrl>(fresh, "pieChart")->GetPieces().value(1).m_nDegrees);
    }
};

QTEST_MAIN(TestQueryDialogs)
#include "tst_querydialogs.moc"
