// Puts the notice pop-up, a balloon tip and the animated pictures on the screen and saves
// pictures of the screen, so that their look can be checked by eye:
//
//     xvfb-run -a -s "-screen 0 1024x768x24" gif-notify-shots /tmp/kestrum-shots

#include "controls/BalloonTip.h"
#include "controls/GifPicture.h"
#include "controls/NotifyWnd.h"

#include <QApplication>
#include <QDir>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QTimer>

namespace {

QIcon InfoIcon()
{
    QPixmap pixmap(32, 32);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setBrush(QColor(91, 141, 239));
    p.setPen(Qt::NoPen);
    p.drawEllipse(QRectF(2, 2, 28, 28));
    p.setBrush(Qt::white);
    p.drawEllipse(QRectF(14, 7, 4, 4));
    p.drawRoundedRect(QRectF(14, 13, 4, 12), 1.5, 1.5);
    return QIcon(pixmap);
}

void Save(const QString& strDir, const QString& strName, const QRect& area = QRect())
{
    QPixmap shot = QGuiApplication::primaryScreen()->grabWindow(0);
    if (area.isValid())
        shot = shot.copy(area);
    shot.save(QDir(strDir).filePath(strName));
}

void Up(CNotifyWnd& wnd)
{
    while (wnd.IsTimerRunning(CNotifyWnd::SlideUpTimer))
        wnd.OnTimer(CNotifyWnd::SlideUpTimer);
}

} // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    const QString strDir = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("/tmp/kestrum-shots");
    QDir().mkpath(strDir);

    QWidget owner;
    owner.setWindowFlags(Qt::FramelessWindowHint);
    owner.setGeometry(40, 40, 520, 330);
    owner.setAutoFillBackground(true);
    QPalette pal = owner.palette();
    pal.setColor(QPalette::Window, QColor(213, 225, 249));
    owner.setPalette(pal);

    auto* pStrip = new CGifPicture(&owner);
    pStrip->move(20, 20);
    pStrip->LoadFromResource(172);
    pStrip->Start();
    auto* pClock = new CGifPicture(&owner);
    pClock->LoadFromResource(184);
    pClock->move(20, 140);
    pClock->Start();
    pClock->SetBackground(QColor(213, 225, 249));
    auto* pMarker = new CGifPicture(&owner);
    pMarker->LoadFromResource(167);
    pMarker->move(70, 151);
    pMarker->Start();
    auto* pLantern = new CGifPicture(&owner);
    pLantern->LoadFromResource(229);
    pLantern->move(430, 85);
    pLantern->Start();
    auto* pOpen = new QPushButton(QStringLiteral("打开"), &owner);
    pOpen->setGeometry(300, 250, 90, 30);
    owner.show();

    CBalloonTip tip(&owner);
    tip.SetIcon(InfoIcon());
    tip.AddTool(pOpen, QStringLiteral("直接打开选择的程序或文件"), InfoIcon());

    CNotifyWnd notice;
    QWidget splash(nullptr, Qt::FramelessWindowHint);
    auto* pSplash = new CGifPicture(&splash);

    QTimer::singleShot(300, [&] {
        const QPoint pt = pOpen->mapToGlobal(QPoint(45, 15));
        QCursor::setPos(pt);
        tip.ShowAt(QStringLiteral("课程名称:高等数学\n课程学分:4.00\n上课地点:教一201"), pt);
        notice.ShowNotice(QStringLiteral("保存提醒信息到数据库成功"), true, 5, true);
        Up(notice);
        notice.OnTimer(CNotifyWnd::CountdownTimer);
        notice.OnTimer(CNotifyWnd::AnimationTimer);
        notice.OnTimer(CNotifyWnd::AnimationTimer);
    });
    QTimer::singleShot(1200, [&] {
        Save(strDir, QStringLiteral("screen.png"));
        Save(strDir, QStringLiteral("notify-wrapped.png"), notice.geometry().adjusted(-20, -20, 0, 0));
        Save(strDir, QStringLiteral("balloon-tip.png"), owner.geometry().adjusted(0, 0, 20, 20));
        notice.ShowNotice(QStringLiteral("删除成功!"), true, 5, true);
        notice.OnTimer(CNotifyWnd::AnimationTimer);
    });
    QTimer::singleShot(1600, [&] {
        Save(strDir, QStringLiteral("notify-short.png"), notice.geometry().adjusted(-20, -20, 0, 0));
        notice.hide();
        owner.hide();
        pSplash->LoadFromFile(QStringLiteral(KESTRUM_SOURCE_DIR "/res/splash/129.gif"));
        splash.resize(pSplash->GetPictureSize());
        splash.move(QGuiApplication::primaryScreen()->geometry().center() - splash.rect().center());
        splash.show();
        pSplash->Start();
    });
    QTimer::singleShot(4600, [&] {
        Save(strDir, QStringLiteral("splash.png"), splash.geometry());
        app.quit();
    });
    return app.exec();
}
