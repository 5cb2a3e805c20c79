#include "DialogRecorder.h"
#include "FakeClock.h"
#include "controls/GridCtrl.h"
#include "controls/GridDelegate.h"
#include "controls/Messages.h"

#include <QProcess>
#include <QRegularExpression>
#include <QScrollBar>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
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

bool Apply(CGridCtrl& grid, Op op, int n)
{
    switch (op) {
    case Rows:
        return grid.SetRowCount(n);
    case Cols:
        return grid.SetColumnCount(n);
    case FixedRows:
        return grid.SetFixedRowCount(n);
    case FixedCols:
        return grid.SetFixedColumnCount(n);
    }
    return false;
}

QPixmap Solid(const QColor& cr)
{
    QPixmap pixmap(16, 16);
    pixmap.fill(cr);
    return pixmap;
}

// The colour the grid shows at a point of its viewport, frozen headers included.
QColor ColourAt(CGridCtrl& grid, const QPoint& ptViewport)
{
    const QImage image = grid.grab().toImage();
    return image.pixelColor(ptViewport + grid.viewport()->geometry().topLeft());
}

// Runs pdftotext on \a pdf and returns the text of each page.
QStringList PdfPages(const QString& pdf)
{
    QProcess process;
    process.start(QStandardPaths::findExecutable(QStringLiteral("pdftotext")),
                  {QStringLiteral("-layout"), QStringLiteral("-enc"), QStringLiteral("UTF-8"), pdf,
                   QStringLiteral("-")});
    if (!process.waitForFinished(60000) || process.exitCode() != 0)
        return {};
    QStringList pages = QString::fromUtf8(process.readAllStandardOutput()).split(QLatin1Char('\f'));
    if (!pages.isEmpty() && pages.last().trimmed().isEmpty())
        pages.removeLast();
    return pages;
}

QStringList NonEmptyLines(const QString& page)
{
    QStringList lines;
    for (const QString& line : page.split(QLatin1Char('\n')))
        if (!line.trimmed().isEmpty())
            lines << line;
    return lines;
}

} // namespace

class TestGridCtrl : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void counts_data();
    void counts();
    void cellsSurviveResizing();
    void outOfRange_data();
    void outOfRange();
    void cellLookOnScreen_data();
    void cellLookOnScreen();
    void imagesFromStrip();
    void autoSizeColumns_data();
    void autoSizeColumns();
    void autoSizeShowsEveryText();
    void headersStayWhenScrolled();
    void keyboardStaysOutOfHeaders_data();
    void keyboardStaysOutOfHeaders();
    void tipForCutText_data();
    void tipForCutText();
    void print_data();
    void print();
};

void TestGridCtrl::initTestCase()
{
    // The footer's date follows the C library's locale; pin it so the text is predictable.
    std::setlocale(LC_TIME, "C");
}

void TestGridCtrl::counts_data()
{
    QTest::addColumn<Ops>("ops");
    QTest::addColumn<bool>("lastResult");
    QTest::addColumn<int>("rows");
    QTest::addColumn<int>("cols");
    QTest::addColumn<int>("fixedRows");
    QTest::addColumn<int>("fixedCols");

    QTest::newRow("filled like a list")
        << Ops{{Rows, 5}, {Cols, 4}, {FixedRows, 1}, {FixedCols, 1}} << true << 5 << 4 << 1 << 1;
    QTest::newRow("fixed rows shrink with the rows")
        << Ops{{Rows, 5}, {FixedRows, 3}, {Rows, 2}} << true << 2 << 0 << 2 << 0;
    QTest::newRow("header row only") << Ops{{Rows, 9}, {Cols, 4}, {FixedRows, 1}, {Rows, 1}} << true << 1 << 4
                                     << 1 << 0;
    QTest::newRow("no rows at all") << Ops{{Rows, 5}, {FixedRows, 1}, {Rows, 0}} << true << 0 << 0 << 0 << 0;
    QTest::newRow("fixed columns shrink with the columns")
        << Ops{{Cols, 4}, {FixedCols, 2}, {Cols, 1}} << true << 0 << 1 << 0 << 1;
    QTest::newRow("more fixed rows than rows adds rows")
        << Ops{{Rows, 1}, {FixedRows, 3}} << true << 3 << 0 << 3 << 0;
    QTest::newRow("growing keeps the fixed rows")
        << Ops{{Rows, 2}, {FixedRows, 1}, {Rows, 200}} << true << 200 << 0 << 1 << 0;
    QTest::newRow("negative row count refused")
        << Ops{{Rows, 3}, {FixedRows, 1}, {Rows, -1}} << false << 3 << 0 << 1 << 0;
    QTest::newRow("negative fixed count refused")
        << Ops{{Cols, 3}, {FixedCols, 1}, {FixedCols, -2}} << false << 0 << 3 << 0 << 1;
}

void TestGridCtrl::counts()
{
    QFETCH(Ops, ops);
    QFETCH(bool, lastResult);
    CGridCtrl grid;
    bool bResult = false;
    for (const auto& [op, n] : ops)
        bResult = Apply(grid, op, n);
    QCOMPARE(bResult, lastResult);
    QTEST(grid.GetRowCount(), "rows");
    QTEST(grid.GetColumnCount(), "cols");
    QTEST(grid.GetFixedRowCount(), "fixedRows");
    QTEST(grid.GetFixedColumnCount(), "fixedCols");
    QCOMPARE(grid.model()->rowCount(), grid.GetRowCount());
    QCOMPARE(grid.model()->columnCount(), grid.GetColumnCount());
}

void TestGridCtrl::cellsSurviveResizing()
{
    CGridCtrl grid(3, 3, 1, 1);
    grid.SetItemText(1, 1, QStringLiteral("kept"));
    grid.SetItemText(2, 2, QStringLiteral("dropped"));
    grid.SetRowCount(10);
    grid.SetColumnCount(6);
    QCOMPARE(grid.GetItemText(1, 1), QStringLiteral("kept"));
    QCOMPARE(grid.GetItemText(9, 5), QString());
    QCOMPARE(grid.GetItemImage(9, 5), -1);

    // Cells that were cut off do not come back when the grid grows again.
    grid.SetRowCount(2);
    grid.SetColumnCount(2);
    grid.SetRowCount(3);
    grid.SetColumnCount(3);
    QCOMPARE(grid.GetItemText(1, 1), QStringLiteral("kept"));
    QCOMPARE(grid.GetItemText(2, 2), QString());
}

void TestGridCtrl::outOfRange_data()
{
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("col");
    QTest::newRow("row -1") << -1 << 0;
    QTest::newRow("column -1") << 0 << -1;
    QTest::newRow("past the last row") << 3 << 0;
    QTest::newRow("past the last column") << 0 << 4;
    QTest::newRow("far away") << 1000 << 1000;
}

void TestGridCtrl::outOfRange()
{
    QFETCH(int, row);
    QFETCH(int, col);
    CGridCtrl grid(3, 4, 1, 1);
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 4; ++c)
            grid.SetItemText(r, c, QStringLiteral("%1/%2").arg(r).arg(c));

    QCOMPARE(grid.GetItemText(row, col), QString());
    QVERIFY(!grid.GetCell(row, col));
    QCOMPARE(grid.GetItemImage(row, col), -1);
    QVERIFY(!grid.GetItemBkColour(row, col).isValid());
    QVERIFY(!grid.SetItem(row, col, GridMask::Text, QStringLiteral("x")));
    QVERIFY(!grid.SetItemBkColour(row, col, Qt::red));
    QVERIFY(!grid.SetItemImage(row, col, 0));
    QVERIFY(!grid.SetItemData(row, col, 7));

    // A write that was refused must not have landed in a neighbouring cell.
    for (int r = 0; r < 3; ++r) {
        for (int c = 0; c < 4; ++c) {
            QCOMPARE(grid.GetItemText(r, c), QStringLiteral("%1/%2").arg(r).arg(c));
            QVERIFY(!grid.GetItemBkColour(r, c).isValid());
            QCOMPARE(grid.GetItemImage(r, c), -1);
        }
    }
}

void TestGridCtrl::cellLookOnScreen_data()
{
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("col");
    QTest::addColumn<QColor>("ownColour");
    QTest::addColumn<QList<int>>("images"); // image indices set one after the other
    QTest::addColumn<QColor>("background");
    QTest::addColumn<QColor>("atImage"); // colour where an image would be drawn

    const QColor gridBk(255, 255, 224), fixedBk(200, 200, 200), cyan(0, 255, 255), magenta(255, 0, 255);
    QTest::newRow("grid's background") << 2 << 2 << QColor() << QList<int>{} << gridBk << gridBk;
    QTest::newRow("own background") << 2 << 2 << QColor(255, 255, 153) << QList<int>{}
                                    << QColor(255, 255, 153) << QColor(255, 255, 153);
    QTest::newRow("white row") << 3 << 1 << QColor(Qt::white) << QList<int>{} << QColor(Qt::white)
                               << QColor(Qt::white);
    QTest::newRow("header cell") << 0 << 2 << QColor() << QList<int>{} << fixedBk << fixedBk;
    QTest::newRow("header cell with its own background")
        << 0 << 1 << QColor(Qt::red) << QList<int>{} << QColor(Qt::red) << QColor(Qt::red);
    QTest::newRow("image in a data cell") << 2 << 1 << QColor() << QList<int>{0} << gridBk << cyan;
    QTest::newRow("image in the row header") << 3 << 0 << QColor() << QList<int>{1} << fixedBk << magenta;
    QTest::newRow("image replaced") << 1 << 2 << QColor() << QList<int>{0, 1} << gridBk << magenta;
    QTest::newRow("image removed") << 1 << 2 << QColor() << QList<int>{1, -1} << gridBk << gridBk;
    QTest::newRow("image not in the list") << 1 << 2 << QColor() << QList<int>{2} << gridBk << gridBk;
}

void TestGridCtrl::cellLookOnScreen()
{
    QFETCH(int, row);
    QFETCH(int, col);
    QFETCH(QColor, ownColour);
    QFETCH(QList<int>, images);
    QFETCH(QColor, background);
    QFETCH(QColor, atImage);

    const QList<QPixmap> imageList = {Solid(QColor(0, 255, 255)), Solid(QColor(255, 0, 255))};
    CGridCtrl grid(4, 3, 1, 1);
    grid.SetTextBkColour(QColor(255, 255, 224));
    grid.SetFixedBkColour(QColor(200, 200, 200));
    grid.SetImageList(&imageList);
    for (int r = 0; r < 4; ++r)
        grid.SetRowHeight(r, 24);
    for (int c = 0; c < 3; ++c)
        grid.SetColumnWidth(c, 60);
    if (ownColour.isValid())
        QVERIFY(grid.SetItemBkColour(row, col, ownColour));
    for (int image : images)
        QVERIFY(grid.SetItemImage(row, col, image));
    grid.resize(260, 160);
    grid.show();
    QVERIFY(QTest::qWaitForWindowExposed(&grid));

    QCOMPARE(grid.GetItemBkColour(row, col), ownColour);
    QCOMPARE(grid.GetItemImage(row, col), images.isEmpty() ? -1 : images.last());
    const QRect cell = grid.visualRect(grid.model()->index(row, col));
    QCOMPARE(ColourAt(grid, QPoint(cell.right() - 6, cell.center().y())), background);
    QCOMPARE(ColourAt(grid, QPoint(cell.left() + 8, cell.center().y())), atImage);
}

void TestGridCtrl::imagesFromStrip()
{
    QImage strip(40, 8, QImage::Format_RGB32);
    strip.fill(Qt::white);
    strip.setPixelColor(3, 3, Qt::red);
    strip.setPixelColor(13, 4, Qt::blue);
    strip.setPixelColor(39, 7, Qt::green); // in the part too narrow for a fourth picture

    const QList<QPixmap> images = CGridCtrl::ImagesFromStrip(strip, 10, Qt::white);
    QCOMPARE(images.size(), 4);
    const QImage first = images[0].toImage();
    QCOMPARE(first.size(), QSize(10, 8));
    QCOMPARE(first.pixelColor(3, 3), QColor(Qt::red));
    QCOMPARE(first.pixelColor(0, 0).alpha(), 0);
    QCOMPARE(images[1].toImage().pixelColor(3, 4), QColor(Qt::blue));
    QCOMPARE(images[3].toImage().pixelColor(9, 7), QColor(Qt::green));
    QVERIFY(CGridCtrl::ImagesFromStrip(strip, 41, Qt::white).isEmpty());
}

void TestGridCtrl::autoSizeColumns_data()
{
    QTest::addColumn<QString>("header");
    QTest::addColumn<QString>("data");
    QTest::addColumn<bool>("ignoreFixedRows");
    QTest::addColumn<QString>("mustFit");
    QTest::addColumn<QString>("mustNotFit");

    const QString longText = QStringLiteral("事情内容 with a long heading");
    const QString shortText = QStringLiteral("ab");
    QTest::newRow("header measured") << longText << shortText << false << longText << QString();
    QTest::newRow("header left out") << longText << shortText << true << shortText << longText;
    QTest::newRow("widest data wins") << shortText << longText << false << longText << QString();
    QTest::newRow("data measured without header") << shortText << longText << true << longText << QString();
}

void TestGridCtrl::autoSizeColumns()
{
    QFETCH(QString, header);
    QFETCH(QString, data);
    QFETCH(bool, ignoreFixedRows);
    QFETCH(QString, mustFit);
    QFETCH(QString, mustNotFit);

    CGridCtrl grid(4, 2, 1, 1);
    grid.SetItemText(0, 1, header);
    grid.SetItemText(2, 1, data);
    grid.SetColumnWidth(1, 5);
    grid.AutoSizeColumns(ignoreFixedRows);

    const QFontMetrics fm(grid.font());
    QVERIFY2(grid.GetColumnWidth(1) > fm.horizontalAdvance(mustFit),
             qPrintable(QString::number(grid.GetColumnWidth(1))));
    if (!mustNotFit.isEmpty())
        QVERIFY(grid.GetColumnWidth(1) < fm.horizontalAdvance(mustNotFit));
}

void TestGridCtrl::autoSizeShowsEveryText()
{
    // Filled the way the query results are: wrapped headers, numbers with pictures in the
    // row headers, single-line texts that would otherwise end in an ellipsis.
    const QList<QPixmap> images = {Solid(Qt::gray), Solid(Qt::red), Solid(Qt::green)};
    CGridCtrl grid(6, 4, 1, 1);
    grid.SetImageList(&images);
    const QStringList heads = {QStringLiteral("事情序号"), QStringLiteral("事情日期"),
                               QStringLiteral("事情内容"), QStringLiteral("事情状态")};
    for (int c = 0; c < 4; ++c)
        grid.SetItem(0, c, GridMask::Text | GridMask::Format, heads[c], GridFormat::WordBreak);
    for (int r = 1; r < 6; ++r) {
        grid.SetItem(r, 0, GridMask::Text | GridMask::Format, QString::number(r * 1000),
                     GridFormat::Right | GridFormat::SingleLine | GridFormat::VCenter);
        grid.SetItemImage(r, 0, r % 3);
        grid.SetItemText(r, 1, QStringLiteral("2009-03-%1").arg(r, 2, 10, QLatin1Char('0')));
        grid.SetItemText(
            r, 2, QStringLiteral("到图书馆还书，顺便借两本书 %1").arg(QString(r * 4, QLatin1Char('x'))));
        grid.SetItemText(r, 3, QStringLiteral("已完成"));
    }
    grid.AutoSize();
    for (int r = 0; r < 6; ++r) {
        for (int c = 0; c < 4; ++c) {
            const QRect rect(0, 0, grid.GetColumnWidth(c), grid.GetRowHeight(r));
            const CGridCell* pCell = grid.GetCell(r, c);
            QVERIFY2(!GridPaint::IsTextCut(rect, *pCell, grid.font(), grid.GetImage(pCell->m_nImage)),
                     qPrintable(pCell->m_strText));
        }
    }
}

void TestGridCtrl::headersStayWhenScrolled()
{
    CGridCtrl grid(60, 8, 1, 1);
    grid.SetFixedBkColour(QColor(0, 200, 0));
    grid.SetTextBkColour(Qt::white);
    for (int c = 0; c < 8; ++c)
        grid.SetColumnWidth(c, 90);
    grid.resize(300, 220);
    grid.show();
    QVERIFY(QTest::qWaitForWindowExposed(&grid));
    const int nHeaderHeight = grid.GetRowHeight(0);
    const int nHeaderWidth = grid.GetColumnWidth(0);
    const QPoint underHeader(nHeaderWidth + 10, nHeaderHeight + 2);
    QCOMPARE(grid.indexAt(underHeader).row(), 1);

    grid.verticalScrollBar()->setValue(grid.verticalScrollBar()->maximum());
    grid.horizontalScrollBar()->setValue(grid.horizontalScrollBar()->maximum());
    QVERIFY(grid.indexAt(underHeader).row() > 1);
    QVERIFY(grid.indexAt(underHeader).column() > 1);
    QCOMPARE(ColourAt(grid, QPoint(nHeaderWidth + 30, nHeaderHeight / 2)), QColor(0, 200, 0));
    QCOMPARE(ColourAt(grid, QPoint(nHeaderWidth / 2, nHeaderHeight * 3)), QColor(0, 200, 0));
    QCOMPARE(ColourAt(grid, QPoint(nHeaderWidth + 30, nHeaderHeight * 3)), QColor(Qt::white));
    const QRect last = grid.visualRect(grid.model()->index(59, 7));
    QVERIFY(last.bottom() < grid.viewport()->height());
    QVERIFY(last.right() < grid.viewport()->width());

    // Bringing the first data cell back into view puts it below and right of the headers.
    grid.scrollTo(grid.model()->index(1, 1));
    const QRect first = grid.visualRect(grid.model()->index(1, 1));
    QVERIFY(first.top() >= nHeaderHeight);
    QVERIFY(first.left() >= nHeaderWidth);
}

void TestGridCtrl::keyboardStaysOutOfHeaders_data()
{
    QTest::addColumn<QList<int>>("keys");
    QTest::addColumn<bool>("listMode");
    QTest::addColumn<QPoint>("cell"); // (column, row)

    QTest::newRow("up and left into the headers")
        << QList<int>{Qt::Key_Up, Qt::Key_Up, Qt::Key_Up, Qt::Key_Left, Qt::Key_Left, Qt::Key_Left} << false
        << QPoint(1, 1);
    QTest::newRow("home") << QList<int>{Qt::Key_Home} << false << QPoint(1, 3);
    QTest::newRow("page up") << QList<int>{Qt::Key_PageUp} << false << QPoint(2, 1);
    QTest::newRow("down from the top")
        << QList<int>{Qt::Key_Up, Qt::Key_Up, Qt::Key_Up, Qt::Key_Down} << true << QPoint(2, 2);
}

void TestGridCtrl::keyboardStaysOutOfHeaders()
{
    QFETCH(QList<int>, keys);
    QFETCH(bool, listMode);
    QFETCH(QPoint, cell);

    CGridCtrl grid(30, 5, 1, 1);
    grid.SetListMode(listMode);
    grid.resize(300, 200);
    grid.show();
    QVERIFY(QTest::qWaitForWindowExposed(&grid));
    grid.setFocus();
    grid.setCurrentIndex(grid.model()->index(3, 2));
    for (int key : keys)
        QTest::keyClick(&grid, Qt::Key(key));
    QCOMPARE(QPoint(grid.currentIndex().column(), grid.currentIndex().row()), cell);
    QVERIFY(grid.visualRect(grid.currentIndex()).top() >= grid.GetRowHeight(0));
    if (listMode)
        QVERIFY(grid.selectionModel()->isRowSelected(cell.y(), {}));
}

void TestGridCtrl::tipForCutText_data()
{
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("width");
    QTest::addColumn<bool>("tip");

    QTest::newRow("cut data cell") << 2 << 40 << true;
    QTest::newRow("data cell that fits") << 2 << 400 << false;
    QTest::newRow("cut header cell") << 0 << 40 << true;
    QTest::newRow("header cell that fits") << 0 << 400 << false;
}

void TestGridCtrl::tipForCutText()
{
    QFETCH(int, row);
    QFETCH(int, width);
    QFETCH(bool, tip);

    const QString strText = QStringLiteral("周末去图书馆还书 and more");
    CGridCtrl grid(4, 3, 1, 1);
    grid.SetItemText(row, 1, strText);
    grid.SetColumnWidth(1, width);
    grid.resize(500, 200);
    grid.show();
    QVERIFY(QTest::qWaitForWindowExposed(&grid));
    QToolTip::hideText();
    QTRY_VERIFY(!QToolTip::isVisible());

    // Hover where the cell is, over whichever view shows it there.
    const QRect cell = grid.visualRect(grid.model()->index(row, 1));
    const QPoint pt = cell.center() + grid.viewport()->geometry().topLeft();
    QWidget* target = grid.childAt(pt);
    QVERIFY(target);
    QHelpEvent event(QEvent::ToolTip, target->mapFrom(&grid, pt), grid.mapToGlobal(pt));
    QApplication::sendEvent(target, &event);
    if (tip) {
        QTRY_VERIFY(QToolTip::isVisible());
        QCOMPARE(QToolTip::text(), strText);
    } else {
        QTest::qWait(50);
        QVERIFY(!QToolTip::isVisible());
    }
}

void TestGridCtrl::print_data()
{
    QTest::addColumn<int>("dataRows");
    QTest::addColumn<int>("dataCols");
    QTest::addColumn<int>("colWidth");
    QTest::addColumn<bool>("onePage");

    QTest::newRow("header row only") << 0 << 3 << 0 << true;
    QTest::newRow("a few rows") << 5 << 3 << 0 << true;
    QTest::newRow("200 rows") << 200 << 3 << 0 << false;
    QTest::newRow("too wide for one page") << 3 << 12 << 300 << false;
}

void TestGridCtrl::print()
{
    QFETCH(int, dataRows);
    QFETCH(int, dataCols);
    QFETCH(int, colWidth);
    QFETCH(bool, onePage);
    if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty())
        QSKIP("pdftotext (poppler-utils) is not installed; the printed text cannot be read back");

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString pdf = dir.filePath(QStringLiteral("grid.pdf"));
    DialogRecorder dialogs;
    dialogs.setPrintTarget(pdf);
    FakeClock clock(QDateTime(QDate(2009, 3, 7), QTime(14, 5, 9)));

    QWidget window;
    window.setWindowTitle(QStringLiteral("事情查询结果"));
    auto* grid = new CGridCtrl(dataRows + 1, dataCols + 1, 1, 1, &window);
    (new QVBoxLayout(&window))->addWidget(grid);
    for (int c = 0; c <= dataCols; ++c)
        grid->SetItemText(0, c, QStringLiteral("H%1").arg(c));
    for (int r = 1; r <= dataRows; ++r) {
        grid->SetItemText(r, 0, QStringLiteral("F%1").arg(r));
        for (int c = 1; c <= dataCols; ++c)
            grid->SetItemText(r, c, QStringLiteral("r%1c%2").arg(r).arg(c));
    }
    grid->AutoSize();
    if (colWidth > 0)
        for (int c = 1; c <= dataCols; ++c)
            grid->SetColumnWidth(c, colWidth);
    grid->Print();

    QCOMPARE(dialogs.printDialogs(), 1);
    const QStringList pages = PdfPages(pdf);
    QVERIFY2(!pages.isEmpty(), "nothing printed, or pdftotext failed");
    QCOMPARE(pages.size() == 1, onePage);

    const QRegularExpression date(QStringLiteral("Sat Mar +7 14:05:09 2009"));
    QMap<QString, int> seen;
    QList<int> rowsPerPage;
    int nLastRow = 0;
    for (int i = 0; i < pages.size(); ++i) {
        const QStringList lines = NonEmptyLines(pages[i]);
        QVERIFY(lines.size() >= 3);
        // Header: the window's title, the program's title to its right.
        const QString head = lines.first();
        QVERIFY2(head.contains(QStringLiteral("事情查询结果")), qPrintable(head));
        QVERIFY(head.indexOf(Messages::appCaption()) > head.indexOf(QStringLiteral("事情查询结果")));
        // Footer: the date, then the page number.
        const QString foot = lines.last();
        QVERIFY2(foot.contains(date), qPrintable(foot));
        const QString pageText = QStringLiteral("Page %1 of %2").arg(i + 1).arg(pages.size());
        QVERIFY2(foot.indexOf(pageText) > foot.indexOf(date), qPrintable(foot));

        // Every page repeats the corner, the heads of its columns and the heads of its rows.
        const QStringList words =
            pages[i].split(QRegularExpression(QStringLiteral("\\s+")), Qt::SkipEmptyParts);
        QVERIFY(words.contains(QStringLiteral("H0")));
        QSet<int> rows;
        for (const QString& word : words) {
            const auto m = QRegularExpression(QStringLiteral("^r(\\d+)c(\\d+)$")).match(word);
            if (!m.hasMatch())
                continue;
            ++seen[word];
            rows.insert(m.captured(1).toInt());
            QVERIFY2(words.contains(QStringLiteral("H%1").arg(m.captured(2))), qPrintable(word));
            QVERIFY2(words.contains(QStringLiteral("F%1").arg(m.captured(1))), qPrintable(word));
        }
        if (!rows.isEmpty()) {
            // Rows come in order; a page either continues the previous one or, across a
            // wide grid, repeats its rows with the next columns.
            const int nFirst = *std::min_element(rows.begin(), rows.end());
            QVERIFY(nFirst == nLastRow + 1 || nFirst <= nLastRow);
            nLastRow = *std::max_element(rows.begin(), rows.end());
            QCOMPARE(int(rows.size()), nLastRow - nFirst + 1);
            rowsPerPage << int(rows.size());
        }
    }
    // Each data cell is printed exactly once.
    QCOMPARE(int(seen.size()), dataRows * dataCols);
    for (auto it = seen.cbegin(); it != seen.cend(); ++it)
        QVERIFY2(it.value() == 1, qPrintable(it.key()));
    // Pages are filled before a new one starts: only the last row of pages may be shorter.
    for (int i = 0; i + 1 < rowsPerPage.size(); ++i)
        QCOMPARE(rowsPerPage[i], rowsPerPage.first());
}

QTEST_MAIN(TestGridCtrl)
#include "tst_gridctrl.moc"
