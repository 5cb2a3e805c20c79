// Renders the reminder dialog's four pages (a dozen reminders of all five modes) and the alert
// window laid over a desktop picture through its shape, into PNG files for looking at.
//
//     QT_QPA_PLATFORM=offscreen bin/reminder_shots DIR

#include "app/Appearance.h"
#include "app/ConfigFile.h"
#include "app/DataFolder.h"
#include "app/PlannerContext.h"
#include "reminder/ReminderAlertWnd.h"
#include "reminder/ReminderDlg.h"
#include "reminder/ReminderManagePage.h"
#include "store/DataStore.h"
#include "store/Schema.h"

#include <QApplication>
#include <QDir>
#include <QLinearGradient>
#include <QPainter>
#include <QTabWidget>
#include <QTemporaryDir>
#include <cstdio>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    Appearance::ApplyChineseLook(app);
    Appearance::ApplySkin(app, {});
    const QString out = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(".");
    QDir().mkpath(out);
    QTemporaryDir dir;
    DataFolder::Set(dir.path());
    CDataStore store;
    const QString path = dir.filePath(QStringLiteral("kstrm.db"));
    if (!Schema::CreateDatabaseFile(path, QDate(2026, 9, 1), QDate(2027, 1, 31), nullptr) || !store.Connect(path))
        return 1;
    const QStringList titles = QStringLiteral("早读 交作业 教研会 升旗仪式 月考 校庆 家长会 午休 体育课 备课 "
                                              "值日 生日")
                                   .split(u' ');
    const QDateTime base = QDateTime::currentDateTime();
    for (int i = 0; i < titles.size(); ++i)
        store.AddReminder(base.addDays(i % 4).addSecs(i * 2400), i % 5, i % 3 ? 1 : 0, titles.at(i),
                          QStringLiteral("记得提前准备第%1项").arg(i + 1));
    ConfigFlags flags;
    CPlannerContext context(store, flags, {}, dir.path());
    CReminderAlertWnd alert(context);
    CReminderDlg dlg(context, &alert);
    dlg.show();
    const char* names[] = {"reminder-edit.png", "reminder-manage.png", "reminder-today.png", "reminder-countdown.png"};
    for (int i = 0; i < 4; ++i) {
        dlg.Tabs()->setCurrentIndex(i);
        QApplication::processEvents();
        dlg.grab().save(out + u'/' + QLatin1String(names[i]));
    }
    alert.ShowCountdownAlert();
    alert.hide();
    QImage desk(420, 380, QImage::Format_RGB32);
    QPainter p(&desk);
    QLinearGradient g(0, 0, 420, 380);
    g.setColorAt(0, QColor(40, 120, 90));
    g.setColorAt(1, QColor(200, 220, 120));
    p.fillRect(desk.rect(), g);
    p.setPen(QColor(255, 255, 255, 120));
    for (int x = 0; x < 420; x += 20)
        p.drawLine(x, 0, x, 380);
    p.setClipRegion(alert.mask().translated(150, 40));
    p.drawPixmap(150, 40, alert.grab());
    p.end();
    desk.save(out + QStringLiteral("/reminder-alert.png"));
    std::printf("written to %s\n", qUtf8Printable(out));
    return 0;
}
