// Opens each of the main window's dialogs on a throw-away data folder and saves a picture of
// it, so that its look can be checked by eye:
//
//     dialogs_demo /tmp/kestrum-shots        (offscreen, or under xvfb-run -a)

#include "app/Appearance.h"
#include "app/PlannerApp.h"
#include "calendar/SchoolCalendarDlg.h"
#include "mainwnd/AboutDlg.h"
#include "mainwnd/AddTaskDlg.h"
#include "mainwnd/TaskStateDlg.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>

namespace {
void Shoot(QDialog& dlg, const QString& file)
{
    dlg.show();
    (void)QTest::qWaitForWindowExposed(&dlg);
    QTest::qWait(300); // let the animated strip draw a few frames
    dlg.grab().save(file);
    dlg.close();
}
} // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    Appearance::ApplyChineseLook(app);
    const QString dir = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("/tmp/kestrum-shots");
    QDir().mkpath(dir);

    QTemporaryDir data;
    CPlannerApp planner(
        {QStringLiteral("Kestrum"), QStringLiteral("--data-dir"), data.filePath(QStringLiteral("d"))});
    if (!planner.Startup())
        return 1;

    {
        CAddTaskDlg dlg(QDateTime(QDate(2027, 3, 15), QTime(9, 0)));
        Shoot(dlg, dir + QStringLiteral("/dialogs-addtask-empty.png"));
    }
    {
        CAddTaskDlg dlg(QDateTime(QDate(2027, 3, 15), QTime(9, 0)));
        dlg.findChild<QLineEdit*>(QStringLiteral("contentEdit"))
            ->setText(QStringLiteral("批改三班的语文作业"));
        dlg.findChild<QComboBox*>(QStringLiteral("stateList"))->setCurrentIndex(3);
        Shoot(dlg, dir + QStringLiteral("/dialogs-addtask.png"));
    }
    {
        CTaskStateDlg dlg(QStringLiteral("进行中"));
        Shoot(dlg, dir + QStringLiteral("/dialogs-taskstate.png"));
    }
    {
        CSchoolCalendarDlg dlg(QDate(2027, 2, 22), QDate(2027, 7, 9));
        Shoot(dlg, dir + QStringLiteral("/dialogs-schoolcalendar.png"));
    }
    {
        CAboutDlg dlg;
        Shoot(dlg, dir + QStringLiteral("/dialogs-about.png"));
    }
    planner.ExitInstance();
    return 0;
}
