// The program's own controls: the grid filled the way the query window fills it (also printed,
// to grid.pdf), the pie chart before and after a turn, the animated pictures, the splash
// window, a balloon tip and the notice pop-up with a long and a short text.
#include "Shots.h"
#include "controls/BalloonTip.h"
#include "controls/GifPicture.h"
#include "controls/GridCtrl.h"
#include "controls/NotifyWnd.h"
#include "controls/PieChartCtrl.h"
#include "controls/StdDialogs.h"
#include "splash/SplashDlg.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QPainter>
#include <QPrinter>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>

namespace {

// The print dialog, answered by printing into a PDF file.
class PrintToPdf final : public StdDialogs::Handler
{
public:
    explicit PrintToPdf(QString file) : m_strFile(std::move(file)) { StdDialogs::setHandler(this); }
    ~PrintToPdf() override { StdDialogs::setHandler(nullptr); }
    QString OpenFileName(QWidget*, const QString&, const QString&, const QString&) override { return {}; }
    QString SaveFileName(QWidget*, const QString&, const QString&, const QString&) override { return {}; }
    bool Print(QWidget*, QPrinter* printer) override
    {
        printer->setOutputFormat(QPrinter::PdfFormat);
        printer->setOutputFileName(m_strFile);
        return true;
    }

private:
    QString m_strFile;
};

QList<QPixmap> StateImages()
{
    // Three round marks on white, cut the way the program cuts its state bitmap.
    QImage strip(48, 16, QImage::Format_RGB32);
    strip.fill(Qt::white);
    QPainter painter(&strip);
    const QColor colours[] = {QColor(128, 128, 128), QColor(220, 0, 0), QColor(0, 150, 0)};
    for (int i = 0; i < 3; ++i) {
        painter.setBrush(colours[i]);
        painter.drawEllipse(i * 16 + 2, 2, 11, 11);
    }
    painter.end();
    return CGridCtrl::ImagesFromStrip(strip, 16, Qt::white);
}

void FillLikeQuery(CGridCtrl& grid, int nCount)
{
    const QStringList states = {QStringLiteral("未完成"), QStringLiteral("已完成"), QStringLiteral("已推迟"),
                                QStringLiteral("进行中")};
    const QStringList heads = {QStringLiteral("事情序号"), QStringLiteral("事情日期"),
                               QStringLiteral("事情内容"), QStringLiteral("事情状态")};
    grid.SetListMode(true);
    grid.SetTextBkColour(QColor(255, 255, 224));
    grid.SetRowCount(nCount + 1);
    grid.SetColumnCount(4);
    grid.SetFixedRowCount(1);
    grid.SetFixedColumnCount(1);
    for (int c = 0; c < 4; ++c)
        grid.SetItem(0, c, GridMask::Text | GridMask::Format, heads[c],
                     GridFormat::WordBreak | GridFormat::Left);
    for (int r = 1; r <= nCount; ++r) {
        const QString& state = states[r % 4];
        grid.SetItem(r, 0, GridMask::Text | GridMask::Format, QString::number(r),
                     GridFormat::Right | GridFormat::VCenter | GridFormat::SingleLine);
        grid.SetItemImage(r, 0, r % 4 == 0 ? 1 : r % 4 == 1 ? 2 : 0);
        grid.SetItemText(r, 1, CShots::kDay.addDays(r - 60).toString(QStringLiteral("yyyy-MM-dd")));
        grid.SetItemText(r, 2,
                         r % 5 == 0 ? QStringLiteral("到图书馆还书，顺便借两本关于数据库设计和界面编程的书")
                                    : QStringLiteral("第%1件事情").arg(r));
        grid.SetItemText(r, 3, state);
        for (int c = 1; c < 4; ++c)
            grid.SetItemBkColour(r, c, r % 2 ? QColor(255, 255, 255) : QColor(255, 255, 153));
    }
    grid.AutoSize();
    // The content column narrower than its longest text, to show the ellipsis.
    grid.SetColumnWidth(2, 180);
}

void GridAndPie(CShots& shots, const QString& pdf)
{
    const QList<QPixmap> images = StateImages();
    QWidget window;
    window.setWindowTitle(QStringLiteral("事情查询结果"));
    auto* grid = new CGridCtrl(&window);
    (new QHBoxLayout(&window))->addWidget(grid);
    grid->SetImageList(&images);
    FillLikeQuery(*grid, 40);
    window.resize(460, 320);
    window.show();
    grid->selectRow(3);
    QApplication::processEvents();
    shots.SaveAsIs(*grid, QStringLiteral("grid"));
    // Narrower, so that both scroll bars move and the frozen headers have to hold still.
    window.resize(330, 320);
    QApplication::processEvents();
    grid->verticalScrollBar()->setValue(grid->verticalScrollBar()->maximum() / 2);
    grid->horizontalScrollBar()->setValue(grid->horizontalScrollBar()->maximum());
    QApplication::processEvents();
    shots.SaveAsIs(*grid, QStringLiteral("grid-scrolled"));
    PrintToPdf printing(pdf);
    grid->Print();

    CPieChartCtrl pie;
    pie.SetTitle(QStringLiteral("事情状态统计"));
    pie.AddPiece(QColor(255, 0, 0), Qt::white, 119, QStringLiteral("未完成率"));
    pie.AddPiece(QColor(0, 0, 255), Qt::white, 180, QStringLiteral("已完成率"));
    pie.AddPiece(QColor(0, 0, 0), Qt::white, 26, QStringLiteral("已推迟率"));
    pie.resize(300, 240);
    pie.show();
    QApplication::processEvents();
    shots.SaveAsIs(pie, QStringLiteral("pie"));
    QTest::mousePress(&pie, Qt::LeftButton, {}, QPoint(100, 120));
    for (int x = 110; x <= 190; x += 10)
        QTest::mouseMove(&pie, QPoint(x, 120));
    QTest::mouseRelease(&pie, Qt::LeftButton, {}, QPoint(190, 120));
    shots.Save(pie, QStringLiteral("pie-turned"));
}

void Pictures(CShots& shots)
{
    // The four animated pictures of the program on the blue of its dialogs, a few frames in.
    QWidget owner;
    owner.setFixedSize(520, 330);
    owner.setAutoFillBackground(true);
    QPalette palette = owner.palette();
    palette.setColor(QPalette::Window, QColor(213, 225, 249));
    owner.setPalette(palette);
    const std::pair<int, QPoint> pictures[] = {
        {172, {20, 20}}, {184, {20, 140}}, {167, {70, 151}}, {229, {430, 85}}};
    for (const auto& [nId, where] : pictures) {
        auto* picture = new CGifPicture(&owner);
        picture->LoadFromResource(nId);
        picture->move(where);
        picture->Start();
        picture->SetBackground(palette.color(QPalette::Window));
    }
    auto* open = new QPushButton(QStringLiteral("打开"), &owner);
    open->setGeometry(300, 250, 90, 30);
    owner.show();
    QTest::qWait(600);
    shots.SaveAsIs(owner, QStringLiteral("pictures"));

    CBalloonTip tip(&owner);
    tip.SetIcon(QIcon(QStringLiteral(":/mainwnd/hint.png")));
    tip.ShowAt(QStringLiteral("课程名称:高等数学\n课程学分:4.00\n上课地点:教一201"),
               open->mapToGlobal(QPoint(45, 15)));
    // It shows after its delay.
    if (QTest::qWaitFor([&tip] { return tip.isVisible(); }))
        shots.SaveWithPopup(owner, tip, QStringLiteral("balloon-tip"));
    else
        shots.Save(QImage(), QStringLiteral("balloon-tip")); // reported as not written
    tip.hide();
    owner.hide();

    CSplashDlg splash;
    splash.show();
    QTest::qWait(1500);
    shots.SaveAsIs(splash, QStringLiteral("splash"));
}

void Notices(CShots& shots)
{
    CNotifyWnd notice;
    const auto show = [&notice](const QString& text) {
        notice.ShowNotice(text, true, 5, true);
        while (notice.IsTimerRunning(CNotifyWnd::SlideUpTimer))
            notice.OnTimer(CNotifyWnd::SlideUpTimer);
        notice.OnTimer(CNotifyWnd::AnimationTimer);
    };
    show(QStringLiteral("保存提醒信息到数据库成功"));
    shots.SaveAsIs(notice, QStringLiteral("notify-wrapped"));
    show(QStringLiteral("删除成功!"));
    shots.SaveAsIs(notice, QStringLiteral("notify-short"));
    notice.hide();
}

} // namespace

void Shots::Controls(CShots& shots)
{
    GridAndPie(shots, shots.FilePath(QStringLiteral("grid.pdf")));
    Pictures(shots);
    Notices(shots);
}
