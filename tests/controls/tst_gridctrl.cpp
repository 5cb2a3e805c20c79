#include "DialogRecorder.h"
#include "FakeClock.h"
#include "GridMeasure.h"
#include "Pixels.h"
#include "WidgetDriver.h"
#include "controls/GridCtrl.h"
#include "controls/Messages.h"

#include <QHelpEvent>
#include <QRegularExpression>
#include <QScreen>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QToolTip>
#include <QVBoxLayout>
#include <clocale>

enum Op
{
    Rows,
    Cols,
    FixedRows,
    FixedCols
};
using Ops = QList<QPair<Op, int>>;

namespace {

QPixmap Solid(const QColor& cr)
{
    QPixmap pixmap(16, 16);
    pixmap.fill(cr);
    return pixmap;
}

// The window's backing store: unlike QWidget::grab, which paints afresh, it shows whether a change
// has repainted the window.
QColor ShownAt(QWidget& w, const QPoint& pt)
{
    return w.screen()->grabWindow(w.winId()).toImage().pixelColor(pt);
}

} // namespace

class TestGridCtrl : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { std::setlocale(LC_TIME, "C"); } // the footer's date follows it

    void counts_data()
    {
        QTest::addColumn<Ops>("ops");
        QTest::addColumn<bool>("lastResult");
        QTest::addColumn<QList<int>>("expected"); // rows, columns, fixed rows, fixed columns

        QTest::newRow("filled like a list")
            << Ops{{Rows, 5}, {Cols, 4}, {FixedRows, 1}, {FixedCols, 1}} << true << QList<int>{5, 4, 1, 1};
        QTest::newRow("fixed rows shrink with the rows")
            << Ops{{Rows, 5}, {FixedRows, 3}, {Rows, 2}} << true << QList<int>{2, 0, 2, 0};
        QTest::newRow("header row only")
            << Ops{{Rows, 9}, {Cols, 4}, {FixedRows, 1}, {Rows, 1}} << true << QList<int>{1, 4, 1, 0};
        QTest::newRow("fixed columns shrink with the columns")
            << Ops{{Cols, 4}, {FixedCols, 2}, {Cols, 1}} << true << QList<int>{0, 1, 0, 1};
        QTest::newRow("more fixed rows than rows adds rows")
            << Ops{{Rows, 1}, {FixedRows, 3}} << true << QList<int>{3, 0, 3, 0};
        QTest::newRow("negative row count refused")
            << Ops{{Rows, 3}, {FixedRows, 1}, {Rows, -1}} << false << QList<int>{3, 0, 1, 0};
        QTest::newRow("negative fixed count refused")
            << Ops{{Cols, 3}, {FixedCols, 1}, {FixedCols, -2}} << false << QList<int>{0, 3, 0, 1};
    }

    void counts()
    {
        QFETCH(Ops, ops);
        CGridCtrl grid;
        bool bResult = false;
        for (const auto& [op, n] : ops)
            bResult = op == Rows        ? grid.SetRowCount(n)
                      : op == Cols      ? grid.SetColumnCount(n)
                      : op == FixedRows ? grid.SetFixedRowCount(n)
                                        : grid.SetFixedColumnCount(n);
        QTEST(bResult, "lastResult");
        const QList<int> actual{grid.GetRowCount(), grid.GetColumnCount(), grid.GetFixedRowCount(),
                                grid.GetFixedColumnCount()};
        QTEST(actual, "expected");
        QCOMPARE(grid.model()->rowCount(), grid.GetRowCount());
        QCOMPARE(grid.model()->columnCount(), grid.GetColumnCount());
    }

    void outOfRange_data()
    {
        QTest::addColumn<int>("row");
        QTest::addColumn<int>("col");
        QTest::newRow("row -1") << -1 << 0;
        QTest::newRow("column -1") << 0 << -1;
        QTest::newRow("past the last row") << 3 << 0;
        QTest::newRow("past the last column") << 0 << 4;
    }

    void outOfRange()
    {
        QFETCH(int, row);
        QFETCH(int, col);
        CGridCtrl grid(3, 4, 1, 1);
        const auto text = [](int r, int c) { return QStringLiteral("%1/%2").arg(r).arg(c); };
        for (int r = 0; r < 3; ++r)
            for (int c = 0; c < 4; ++c)
                grid.SetItemText(r, c, text(r, c));

        QCOMPARE(grid.GetItemText(row, col), QString());
        QVERIFY(!grid.GetCell(row, col));
        QCOMPARE(grid.GetItemImage(row, col), -1);
        QVERIFY(!grid.GetItemBkColour(row, col).isValid());
        QVERIFY(!grid.SetItem(row, col, GridMask::Text, QStringLiteral("x")));
        QVERIFY(!grid.SetItemBkColour(row, col, Qt::red));
        QVERIFY(!grid.SetItemImage(row, col, 0));
        QVERIFY(!grid.SetItemData(row, col, 7));
        // A refused write must not land in a neighbouring cell.
        for (int r = 0; r < 3; ++r) {
            for (int c = 0; c < 4; ++c) {
                QCOMPARE(grid.GetItemText(r, c), text(r, c));
                QVERIFY(!grid.GetItemBkColour(r, c).isValid());
                QCOMPARE(grid.GetItemImage(r, c), -1);
            }
        }
        // Cells survive growing; cells that were cut off do not come back.
        grid.SetRowCount(10);
        QCOMPARE(grid.GetItemText(1, 1), text(1, 1));
        QCOMPARE(grid.GetItemText(9, 2), QString());
        grid.SetRowCount(2);
        grid.SetRowCount(3);
        QCOMPARE(grid.GetItemText(1, 1), text(1, 1));
        QCOMPARE(grid.GetItemText(2, 2), QString());
    }

    void cellLookOnScreen_data()
    {
        QTest::addColumn<int>("row");
        QTest::addColumn<int>("col");
        QTest::addColumn<QColor>("ownColour");
        QTest::addColumn<QList<int>>("images"); // image indices set one after the other
        QTest::addColumn<bool>("late");         // the looks are set once the grid is on screen
        QTest::addColumn<QColor>("background");
        QTest::addColumn<QColor>("atImage"); // colour where an image would be drawn

        const QColor gridBk(255, 255, 224), fixedBk(200, 200, 200), own(255, 255, 153);
        const QColor cyan(0, 255, 255), magenta(255, 0, 255);
        const auto row = [](const char* name, int r, int c, const QColor& ownBk, const QList<int>& images,
                            bool late, const QColor& bk, const QColor& atImage) {
            QTest::newRow(name) << r << c << ownBk << images << late << bk << atImage;
        };
        row("grid's background", 2, 2, QColor(), {}, false, gridBk, gridBk);
        row("own background", 2, 2, own, {}, false, own, own);
        row("header cell", 0, 2, QColor(), {}, false, fixedBk, fixedBk);
        row("header cell, own background", 0, 1, own, {}, false, own, own);
        row("image in a data cell", 2, 1, QColor(), {0}, false, gridBk, cyan);
        row("image in the row header", 3, 0, QColor(), {1}, false, fixedBk, magenta);
        row("image replaced", 1, 2, QColor(), {0, 1}, false, gridBk, magenta);
        row("image removed", 1, 2, QColor(), {1, -1}, false, gridBk, gridBk);
        row("image not in the list", 1, 2, QColor(), {2}, false, gridBk, gridBk);
        row("set on screen: grid's background", 2, 2, QColor(), {}, true, gridBk, gridBk);
        row("set on screen: own background", 2, 1, own, {0}, true, own, cyan);
        row("set on screen: header", 0, 2, QColor(), {}, true, fixedBk, fixedBk);
    }

    void cellLookOnScreen()
    {
        QFETCH(int, row);
        QFETCH(int, col);
        QFETCH(QColor, ownColour);
        QFETCH(QList<int>, images);
        QFETCH(bool, late);
        QFETCH(QColor, background);
        QFETCH(QColor, atImage);

        const QList<QPixmap> imageList = {Solid(QColor(0, 255, 255)), Solid(QColor(255, 0, 255))};
        CGridCtrl grid(4, 3, 1, 1);
        for (int r = 0; r < 4; ++r)
            grid.SetRowHeight(r, 24);
        for (int c = 0; c < 3; ++c)
            grid.SetColumnWidth(c, 60);
        const auto setLooks = [&] {
            grid.SetTextBkColour(QColor(255, 255, 224));
            grid.SetFixedBkColour(QColor(200, 200, 200));
            grid.SetImageList(&imageList);
            if (ownColour.isValid())
                grid.SetItemBkColour(row, col, ownColour);
            for (int image : images)
                grid.SetItemImage(row, col, image);
        };
        if (!late)
            setLooks();
        grid.resize(260, 160);
        QVERIFY(ShowExposed(grid));
        if (late)
            setLooks();

        QCOMPARE(grid.GetItemBkColour(row, col), ownColour);
        QCOMPARE(grid.GetItemImage(row, col), images.isEmpty() ? -1 : images.last());
        const QRect cell =
            grid.visualRect(grid.model()->index(row, col)).translated(grid.viewport()->geometry().topLeft());
        QTRY_COMPARE(ShownAt(grid, QPoint(cell.right() - 6, cell.center().y())), background);
        QTRY_COMPARE(ShownAt(grid, QPoint(cell.left() + 8, cell.center().y())), atImage);
    }

    void tipOnlyWhenCut_data()
    {
        QTest::addColumn<int>("row");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("tip");
        const QString longText = QStringLiteral("到图书馆还书，顺便借两本关于数据库设计的书");
        QTest::newRow("text that fits") << 2 << QStringLiteral("还书") << false;
        QTest::newRow("text cut off") << 2 << longText << true;
        QTest::newRow("header cut off") << 0 << longText << true;
    }

    void tipOnlyWhenCut()
    {
        QFETCH(int, row);
        QFETCH(QString, text);
        QFETCH(bool, tip);
        CGridCtrl grid(4, 3, 1, 1);
        grid.SetItemText(row, 1, text);
        grid.SetColumnWidth(1, 90);
        grid.resize(300, 160);
        QVERIFY(ShowExposed(grid));
        QToolTip::hideText();

        // The header row is drawn by the frozen view laid over the grid; ask whichever shows the cell.
        const QRect cell = grid.visualRect(grid.model()->index(row, 1));
        const QPoint ptGrid = grid.viewport()->mapTo(&grid, cell.center());
        QWidget* pTarget = grid.childAt(ptGrid);
        QVERIFY(pTarget);
        const QPoint pt = pTarget->mapFrom(&grid, ptGrid);
        QHelpEvent help(QEvent::ToolTip, pt, pTarget->mapToGlobal(pt));
        QApplication::sendEvent(pTarget, &help);
        QCOMPARE(QToolTip::isVisible(), tip);
        if (tip)
            QCOMPARE(QToolTip::text(), text);
    }

    void autoSizeAsMeasuringEveryCell_data()
    {
        QTest::addColumn<QStringList>("texts"); // a column of them, top to bottom
        QTest::addColumn<QFont>("font");
        QFont program;
        program.setFamilies({QStringLiteral("Noto Sans CJK SC")});
        program.setPointSize(9);
        QFont spaced = program;
        spaced.setLetterSpacing(QFont::AbsoluteSpacing, 2);
        const QFont plain = QApplication::font();
        // Texts whose advances add up alike though they are not alike wide (by rounding or
        // kerning), the narrower one first, many times over.
        const QStringList rounding = QStringList(20, QStringLiteral("weekly mon"))
                                     << QStringLiteral("monthly 7th");
        const QStringList kerning = QStringList(20, QStringLiteral("AVAVAV To"))
                                    << QStringLiteral("AAAVVV oT");
        const QStringList mixed{QStringLiteral("e\u0301e\u0301te\u0301"),
                                QStringLiteral("مرحبا بالعالم"),
                                QStringLiteral("ไทย ภาษา"),
                                QStringLiteral("⏰ 闹钟🎉🎉"),
                                QStringLiteral("한국어 글"),
                                QStringLiteral("a\tb"),
                                QStringLiteral("co\u00ADop"),
                                QStringLiteral("R&D"),
                                QStringLiteral("two\nlines"),
                                QString(),
                                QStringLiteral("iiiiiiiiii"),
                                QStringLiteral("交作业 ffi fl")};
        QTest::newRow("rounding, program's font") << rounding << program;
        QTest::newRow("kerning, program's font") << kerning << program;
        QTest::newRow("kerning, default font") << kerning << plain;
        QTest::newRow("scripts, marks and controls, program's font") << mixed << program;
        QTest::newRow("scripts, marks and controls, default font") << mixed << plain;
        QTest::newRow("letter spacing") << (kerning + mixed) << spaced;
    }

    void autoSizeAsMeasuringEveryCell()
    {
        QFETCH(QStringList, texts);
        QFETCH(QFont, font);
        const QList<QPixmap> images = {Solid(Qt::red), QPixmap(24, 30)};
        CGridCtrl grid(int(texts.size()) + 1, 3, 1, 1);
        grid.setFont(font);
        grid.SetImageList(&images);
        grid.SetItem(0, 1, GridMask::Text | GridMask::Format, QStringLiteral("标题\nsecond line"),
                     GridFormat::WordBreak | GridFormat::NoPrefix);
        for (int i = 0; i < texts.size(); ++i) {
            grid.SetItemText(i + 1, 0, QString::number(i + 1));
            grid.SetItemImage(i + 1, 0, i % 3 - 1);
            grid.SetItemText(i + 1, 1, texts[i]);
            grid.SetItem(i + 1, 2, GridMask::Text | GridMask::Format, texts[texts.size() - 1 - i],
                         GridFormat::Default | (i % 2 ? GridFormat::Right : GridFormat::Center));
        }
        grid.AutoSize();
        QCOMPARE(GridSizes(grid), MeasuredSizes(grid));

        // Sized again with taller pictures, then in a larger font: nothing learnt before stays.
        const QList<QPixmap> tallImages = {Solid(Qt::red), QPixmap(24, 50)};
        grid.SetImageList(&tallImages);
        grid.AutoSize();
        QCOMPARE(GridSizes(grid), MeasuredSizes(grid));
        QFont larger = font;
        larger.setPointSizeF(font.pointSizeF() * 1.5);
        grid.setFont(larger);
        grid.AutoSize();
        QCOMPARE(GridSizes(grid), MeasuredSizes(grid));
    }

    // A bulk update announces its cells once, as one block, when the outermost update ends.
    void bulkUpdate()
    {
        CGridCtrl grid(6, 4, 1, 1);
        grid.resize(300, 200);
        QVERIFY(ShowExposed(grid));
        QSignalSpy changed(grid.model(), &QAbstractItemModel::dataChanged);
        grid.BeginBulkUpdate();
        grid.BeginBulkUpdate();
        grid.SetItemText(4, 2, QStringLiteral("b"));
        grid.SetItemText(2, 1, QStringLiteral("a"));
        grid.SetItemText(3, 0, QStringLiteral("3"));
        grid.SetRowHeight(3, 40);
        grid.EndBulkUpdate();
        QCOMPARE(changed.count(), 0);
        grid.EndBulkUpdate();
        QCOMPARE(changed.count(), 1);
        QCOMPARE(changed.first().at(0).toModelIndex(), grid.model()->index(2, 0));
        QCOMPARE(changed.first().at(1).toModelIndex(), grid.model()->index(4, 2));
        grid.EndBulkUpdate(); // one too many does nothing
        QCOMPARE(changed.count(), 1);
        // Rows removed meanwhile take their part of the block with them.
        grid.BeginBulkUpdate();
        grid.SetItemText(5, 3, QStringLiteral("c"));
        grid.SetRowCount(5);
        grid.EndBulkUpdate();
        QCOMPARE(changed.count(), 2);
        QCOMPARE(changed.last().at(1).toModelIndex(), grid.model()->index(4, 3));

        // Row 3's header is drawn by the frozen column laid over the grid.
        const QRect cell = grid.visualRect(grid.model()->index(3, 0));
        QCOMPARE(cell.height(), 40);
        QWidget* pTarget = grid.childAt(grid.viewport()->mapTo(&grid, cell.center()));
        QVERIFY(pTarget && pTarget != grid.viewport());
        auto* pFrozen = qobject_cast<QTableView*>(pTarget->parentWidget());
        QVERIFY(pFrozen);
        QCOMPARE(pFrozen->visualRect(grid.model()->index(3, 0)), cell);
    }

    void print_data()
    {
        QTest::addColumn<int>("dataRows");
        QTest::addColumn<int>("dataCols");
        QTest::addColumn<int>("colWidth");
        QTest::addColumn<bool>("onePage");
        QTest::addColumn<QDateTime>("now");
        QTest::addColumn<QString>("date"); // as the C library writes "%c" in the C locale
        const QDateTime saturday(QDate(2009, 3, 7), QTime(14, 5, 9));
        const QString onSaturday = QStringLiteral("Sat Mar  7 14:05:09 2009");
        QTest::newRow("header row only") << 0 << 3 << 0 << true << saturday << onSaturday;
        QTest::newRow("200 rows") << 200 << 3 << 0 << false << saturday << onSaturday;
        QTest::newRow("too wide for one page") << 3 << 12 << 300 << false << saturday << onSaturday;
        QTest::newRow("Sunday's last second")
            << 1 << 1 << 0 << true << QDateTime(QDate(2010, 1, 3), QTime(23, 59, 59))
            << QStringLiteral("Sun Jan  3 23:59:59 2010");
        QTest::newRow("New Year's Day on a Sunday, midnight")
            << 1 << 1 << 0 << true << QDateTime(QDate(2012, 1, 1), QTime(0, 0))
            << QStringLiteral("Sun Jan  1 00:00:00 2012");
    }

    void print()
    {
        QFETCH(int, dataRows);
        QFETCH(int, dataCols);
        QFETCH(int, colWidth);
        QFETCH(QDateTime, now);
        QFETCH(QString, date);
        const QString pdftotext = QStandardPaths::findExecutable(QStringLiteral("pdftotext"));
        if (pdftotext.isEmpty())
            QSKIP("pdftotext (poppler-utils) is not installed; the printed text cannot be read back");

        FakeClock clock(now);
        QWidget window;
        window.setWindowTitle(QStringLiteral("事情查询结果"));
        auto* grid = new CGridCtrl(dataRows + 1, dataCols + 1, 1, 1, &window);
        (new QVBoxLayout(&window))->addWidget(grid);
        // Cells drawn narrower on screen than by the printer's font: printed, each column still
        // holds its widest text whole.
        QFont font = grid->font();
        font.setStretch(QFont::ExtraCondensed);
        grid->setFont(font);
        for (int c = 0; c <= dataCols; ++c)
            grid->SetItemText(0, c, QStringLiteral("H%1").arg(c));
        for (int r = 1; r <= dataRows; ++r) {
            grid->SetItemText(r, 0, QStringLiteral("F%1").arg(r));
            for (int c = 1; c <= dataCols; ++c)
                grid->SetItemText(r, c, QStringLiteral("r%1c%2-2020-12-31T23:59:58").arg(r).arg(c));
        }
        grid->AutoSize();
        for (int c = 1; colWidth > 0 && c <= dataCols; ++c)
            grid->SetColumnWidth(c, colWidth);
        QTemporaryDir dir;
        QStringList pages = PrintedText([grid] { grid->Print(); }, dir.path(), pdftotext).split(u'\f');
        if (!pages.isEmpty() && pages.last().trimmed().isEmpty())
            pages.removeLast(); // after the last page break
        QVERIFY2(!pages.isEmpty(), "nothing printed");
        QTEST(pages.size() == 1, "onePage");

        const QRegularExpression cellRe(QStringLiteral("^r(\\d+)c(\\d+)-2020-12-31T23:59:58$"));
        QMap<QString, int> seen;
        QList<int> rowsPerPage;
        int nLastRow = 0;
        for (int i = 0; i < pages.size(); ++i) {
            QStringList lines = pages[i].split(QLatin1Char('\n'));
            lines.removeIf([](const QString& line) { return line.trimmed().isEmpty(); });
            QVERIFY(lines.size() >= 3);
            // Header: the window's title, the program's title to its right; footer: date, then page.
            const QString head = lines.first(), foot = lines.last();
            QVERIFY2(head.contains(QStringLiteral("事情查询结果")), qPrintable(head));
            QVERIFY(head.indexOf(Messages::appCaption()) > head.indexOf(QStringLiteral("事情查询结果")));
            // pdftotext may change the run of spaces before a one-digit day.
            QCOMPARE(foot.simplified(),
                     date.simplified() + QStringLiteral(" Page %1 of %2").arg(i + 1).arg(pages.size()));

            // Every page repeats the corner, the heads of its columns and the heads of its rows.
            const QStringList words =
                pages[i].split(QRegularExpression(QStringLiteral("\\s+")), Qt::SkipEmptyParts);
            QVERIFY(words.contains(QStringLiteral("H0")));
            QSet<int> rows;
            for (const QString& word : words) {
                const auto m = cellRe.match(word);
                if (!m.hasMatch())
                    continue;
                ++seen[word];
                rows.insert(m.captured(1).toInt());
                QVERIFY2(words.contains(QStringLiteral("H") + m.captured(2)), qPrintable(word));
                QVERIFY2(words.contains(QStringLiteral("F") + m.captured(1)), qPrintable(word));
            }
            if (!rows.isEmpty()) {
                // A page continues the previous one or repeats its rows with the next columns.
                const int nFirst = *std::min_element(rows.begin(), rows.end());
                QVERIFY(nFirst == nLastRow + 1 || nFirst <= nLastRow);
                nLastRow = *std::max_element(rows.begin(), rows.end());
                QCOMPARE(int(rows.size()), nLastRow - nFirst + 1);
                rowsPerPage << int(rows.size());
            }
        }
        // Each data cell is printed exactly once, and only the last row of pages may be shorter.
        QCOMPARE(int(seen.size()), dataRows * dataCols);
        for (auto it = seen.cbegin(); it != seen.cend(); ++it)
            QVERIFY2(it.value() == 1, qPrintable(it.key()));
        for (int i = 0; i + 1 < rowsPerPage.size(); ++i)
            QCOMPARE(rowsPerPage[i], rowsPerPage.first());
    }

    // A picture's transparent white prints on the cell's background: red blends into white, with
    // no dark fringe from the colours under its transparent pixels.
    void printPicturesOnTheirBackground()
    {
        const QString pdftoppm = QStandardPaths::findExecutable(QStringLiteral("pdftoppm"));
        if (pdftoppm.isEmpty())
            QSKIP("pdftoppm (poppler-utils) is not installed; the printed page cannot be looked at");
        QImage strip(16, 16, QImage::Format_RGB32);
        strip.fill(Qt::white);
        for (int y = 0; y < 16; ++y) {
            for (int x = 0; x < 16; ++x) {
                if ((x - 7.5) * (x - 7.5) + (y - 7.5) * (y - 7.5) < 36)
                    strip.setPixel(x, y, qRgb(255, 0, 0));
            }
        }
        const QList<QPixmap> images = CGridCtrl::ImagesFromStrip(strip, 16, Qt::white);
        CGridCtrl grid(2, 2);
        grid.SetImageList(&images);
        grid.SetTextBkColour(Qt::white);
        grid.SetItemImage(0, 0, 0);
        grid.SetItemText(1, 1, QStringLiteral("x"));
        grid.AutoSize();

        QTemporaryDir dir;
        QVERIFY(PrintAndRun([&grid] { grid.Print(); }, dir.path(), pdftoppm,
                            {QStringLiteral("-r"), QStringLiteral("150"), QStringLiteral("-png"),
                             QStringLiteral("-singlefile"), dir.filePath(QStringLiteral("page"))}));
        const QImage page(dir.filePath(QStringLiteral("page.png")));
        QVERIFY(!page.isNull());
        const QRect red = InkBox(page, page.rect(), [](const QColor& c) {
            return c.red() > 200 && c.green() < 60 && c.blue() < 60;
        });
        QVERIFY(red.width() > 10 && red.height() > 10);
        const QRect around = red.adjusted(-2, -2, 2, 2);
        for (int y = around.top(); y <= around.bottom(); ++y) {
            for (int x = around.left(); x <= around.right(); ++x) {
                const QColor c = page.pixelColor(x, y);
                QVERIFY2(c.red() >= 240 && qAbs(c.green() - c.blue()) <= 24,
                         qPrintable(QStringLiteral("%1 at %2,%3").arg(c.name()).arg(x).arg(y)));
            }
        }
    }
};

QTEST_MAIN(TestGridCtrl)
#include "tst_gridctrl.moc"
