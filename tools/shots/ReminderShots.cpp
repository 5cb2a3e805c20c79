// The reminder dialog's four pages with a dozen reminders of all five modes, and the alert
// window laid over a desktop picture through its shape.
#include "Shots.h"
#include "app/Clock.h"
#include "app/PlannerApp.h"
#include "reminder/ReminderAlertWnd.h"
#include "reminder/ReminderDlg.h"

#include <QApplication>
#include <QLinearGradient>
#include <QPainter>
#include <QTabWidget>

void Shots::Reminders(CShots& shots)
{
    CPlannerContext& context = shots.App().Context();
    const QStringList titles = QStringLiteral("早读 交作业 教研会 升旗仪式 月考 校庆 家长会 午休 体育课 备课 "
                                              "值日 生日")
                                   .split(u' ');
    const QDateTime base = Clock::now();
    for (int i = 0; i < titles.size(); ++i)
        context.Store().AddReminder(base.addDays(i % 4).addSecs(i * 2400), i % 5, i % 3 ? 1 : 0, titles.at(i),
                                    QStringLiteral("记得提前准备第%1项").arg(i + 1));
    CReminderAlertWnd* alert = shots.App().AlertWindow();
    context.ShowReminders(); // made when first wanted
    CReminderDlg* dlg = shots.App().ReminderDialog();
    if (!alert || !dlg) {
        shots.Save(QImage(), QStringLiteral("reminder-edit")); // reported as not written
        return;
    }
    alert->OnReloadTimer(); // the day's queue as it is now, not in 1.6 s
    const char* const pages[] = {"reminder-edit", "reminder-manage", "reminder-today", "reminder-countdown"};
    for (int i = 0; i < 4; ++i) {
        dlg->Tabs()->setCurrentIndex(i);
        QApplication::processEvents();
        shots.SaveAsIs(*dlg, QLatin1String(pages[i]));
    }
    dlg->hide();

    alert->ShowCountdownAlert();
    const QPixmap window = alert->grab();
    const QRegion shape = alert->mask();
    alert->hide();
    QImage desk(420, 380, QImage::Format_RGB32);
    QPainter p(&desk);
    QLinearGradient g(0, 0, 420, 380);
    g.setColorAt(0, QColor(40, 120, 90));
    g.setColorAt(1, QColor(200, 220, 120));
    p.fillRect(desk.rect(), g);
    p.setPen(QColor(255, 255, 255, 120));
    for (int x = 0; x < 420; x += 20)
        p.drawLine(x, 0, x, 380);
    p.setClipRegion(shape.translated(150, 40));
    p.drawPixmap(150, 40, window);
    p.end();
    shots.Save(desk, QStringLiteral("reminder-alert"));
}
