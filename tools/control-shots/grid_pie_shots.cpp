// Shows the grid and the pie chart filled the way the query and statistics windows fill
// them, saves pictures of them and prints the grid, for looking at by eye:
//   grid-pie-shots OUTPUT_FOLDER [--wait]
// writes grid.png, grid-scrolled.png, pie.png, pie-turned.png and grid.pdf.

#include "DialogRecorder.h"
#include "controls/GridCtrl.h"
#include "controls/PieChartCtrl.h"

#include <QApplication>
#include <QDir>
#include <QHBoxLayout>
#include <QPainter>
#include <QScrollBar>
#include <QTest>

namespace {

QList<QPixmap> StateImages()
{
    // Three round marks on white, cut the way the program cuts its state bitmap.
    QImage strip(48, 16, QImage::Format_RGB32);
    strip.fill(Qt::white);
    QPainter painter(&strip);
    painter.setRenderHint(QPainter::Antialiasing, false);
    const QColor colours[] = {QColor(128, 128, 128), QColor(220, 0, 0), QColor(0, 150, 0)};
    for (int i = 0; i < 3; ++i) {
        painter.setBrush(colours[i]);
        painter.setPen(Qt::black);
        painter.drawEllipse(i * 16 + 2, 2, 11, 11);
    }
    painter.end();
    return CGridCtrl::ImagesFromStrip(strip, 16, Qt::white);
}

void FillLikeQuery(CGridCtrl& grid, int nCount)
{
    const QStringList states = {QStringLiteral("未完成"), QStringLiteral("已完成"), QStringLiteral("已推迟"),
                                QStringLiteral("进行中")};
    grid.SetListMode(true);
    grid.SetTextBkColour(QColor(255, 255, 224));
    grid.SetRowCount(nCount + 1);
    grid.SetColumnCount(4);
    grid.SetFixedRowCount(1);
    grid.SetFixedColumnCount(1);
    const QStringList heads = {QStringLiteral("事情序号"), QStringLiteral("事情日期"),
                               QStringLiteral("事情内容"), QStringLiteral("事情状态")};
    for (int c = 0; c < 4; ++c)
        grid.SetItem(0, c, GridMask::Text | GridMask::Format, heads[c],
                     GridFormat::WordBreak | GridFormat::Left);
    for (int r = 1; r <= nCount; ++r) {
        const QString state = states[r % 4];
        grid.SetItem(r, 0, GridMask::Text | GridMask::Format, QString::number(r),
                     GridFormat::Right | GridFormat::VCenter | GridFormat::SingleLine);
        grid.SetItemImage(r, 0, state == states[0] ? 1 : state == states[1] ? 2 : 0);
        grid.SetItemText(r, 1, QDate(2009, 3, 1).addDays(r).toString(QStringLiteral("yyyy-MM-dd")));
        grid.SetItemText(r, 2,
                         r % 5 == 0 ? QStringLiteral("到图书馆还书，顺便借两本关于数据库设计和界面编程的书")
                                    : QStringLiteral("第%1件事情").arg(r));
        grid.SetItemText(r, 3, state);
        for (int c = 1; c < 4; ++c)
            grid.SetItemBkColour(r, c, r % 2 ? QColor(255, 255, 255) : QColor(255, 255, 153));
    }
    grid.AutoSize();
    // Leave the content column narrower than its longest text, to show the ellipsis.
    grid.SetColumnWidth(2, 180);
}

} // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    if (argc < 2)
        return 2;
    const QDir out(QString::fromLocal8Bit(argv[1]));
    QDir().mkpath(out.path());
    const QList<QPixmap> images = StateImages();

    QWidget window;
    window.setWindowTitle(QStringLiteral("事情查询结果"));
    auto* layout = new QHBoxLayout(&window);
    auto* grid = new CGridCtrl(&window);
    grid->SetImageList(&images);
    FillLikeQuery(*grid, 40);
    layout->addWidget(grid);
    window.resize(460, 320);
    window.show();
    if (!QTest::qWaitForWindowExposed(&window))
        return 1;
    grid->selectRow(3);
    QTest::qWait(50);
    grid->grab().save(out.filePath(QStringLiteral("grid.png")));
    // Narrower, so that both scroll bars move and the frozen headers have to hold still.
    window.resize(330, 320);
    QTest::qWait(50);
    grid->verticalScrollBar()->setValue(grid->verticalScrollBar()->maximum() / 2);
    grid->horizontalScrollBar()->setValue(grid->horizontalScrollBar()->maximum());
    QTest::qWait(50);
    grid->grab().save(out.filePath(QStringLiteral("grid-scrolled.png")));

    DialogRecorder dialogs;
    dialogs.setPrintTarget(out.filePath(QStringLiteral("grid.pdf")));
    grid->Print();

    CPieChartCtrl pie;
    pie.SetTitle(QStringLiteral("事情状态统计"));
    pie.AddPiece(QColor(255, 0, 0), Qt::white, 119, QStringLiteral("未完成率"));
    pie.AddPiece(QColor(0, 0, 255), Qt::white, 180, QStringLiteral("已完成率"));
    pie.AddPiece(QColor(0, 0, 0), Qt::white, 26, QStringLiteral("已推迟率"));
    pie.resize(300, 240);
    pie.show();
    if (!QTest::qWaitForWindowExposed(&pie))
        return 1;
    pie.grab().save(out.filePath(QStringLiteral("pie.png")));
    QTest::mousePress(&pie, Qt::LeftButton, {}, QPoint(100, 120));
    for (int x = 110; x <= 190; x += 10)
        QTest::mouseMove(&pie, QPoint(x, 120));
    QTest::mouseRelease(&pie, Qt::LeftButton, {}, QPoint(190, 120));
    QTest::qWait(50);
    pie.grab().save(out.filePath(QStringLiteral("pie-turned.png")));

    if (argc > 2 && QString::fromLocal8Bit(argv[2]) == QStringLiteral("--wait"))
        return app.exec();
    return 0;
}
