// The main window and the tray: going there and back, the tray menu, starting in the tray, and
// what happens on a desktop without a tray. The tray itself is faked: offscreen there is none.
#include "DialogRecorder.h"
#include "PlannerEnv.h"
#include "Recorders.h"
#include "TestFiles.h"
#include "app/ConfigFile.h"
#include "app/DataFolder.h"
#include "mainwnd/PlannerDlg.h"
#include "mainwnd/PlannerTray.h"
#include "reminder/ReminderDlg.h"

#include <QAction>
#include <QCursor>
#include <QMenu>
#include <QSystemTrayIcon>

class TestPlannerTray : public QObject
{
    Q_OBJECT

    // The whole start-up, with a tray that is there or not as the test says.
    struct Env : PlannerEnv
    {
        explicit Env(bool trayAvailable, ConfigFlags flags = {}) : m_bTray(trayAvailable)
        {
            CPlannerTray::setAvailability([this] { return m_bTray; });
            const QString folder = dir.filePath(QStringLiteral("data"));
            started = DataFolder::CreateWithDefaults(folder, kToday, nullptr) &&
                      ConfigFile::Write(folder + QStringLiteral("/config.ini"), flags) && app.InitInstance();
        }
        ~Env() { CPlannerTray::setAvailability({}); }
        bool m_bTray;
        bool started = false;
        CPlannerDlg& main() { return *app.MainWindow(); }
        QAction* action(const char* name) { return Child<QAction>(*main().Tray()->Menu(), name); }
    };

private slots:
    void leftClickTogglesAndMenuShows()
    {
        Env env(true);
        QVERIFY(env.started);
        CPlannerDlg& main = env.main();
        QVERIFY(QTest::qWaitForWindowExposed(&main));
        main.Tray()->OnLeftClick();
        QVERIFY(main.IsInTray());
        QVERIFY(!main.isVisible());
        main.Tray()->OnLeftClick();
        QVERIFY(!main.IsInTray());
        QVERIFY(main.isVisible());
        QVERIFY(!main.isMinimized());

        // "显示提示窗口" while shown changes nothing.
        env.action("showAction")->trigger();
        QVERIFY(main.isVisible());
        QVERIFY(!main.IsInTray());

        // ">>" and the minimise box go to the tray too; the menu brings the window back.
        QTest::mouseClick(Child(main, "trayButton"), Qt::LeftButton);
        QVERIFY(!main.isVisible());
        env.action("showAction")->trigger();
        QVERIFY(main.isVisible());
        main.showMinimized();
        QTRY_VERIFY(!main.isVisible());
        QVERIFY(main.IsInTray());
        main.Tray()->OnLeftClick();
        QVERIFY(main.isVisible());
        QVERIFY(!main.isMinimized());
        QCOMPARE(env.messages.count(), 0);

        // A right click opens the menu with its left edge at the pointer, 12 pixels above it.
        auto* icon = main.Tray()->findChild<QSystemTrayIcon*>();
        QVERIFY(icon);
        QCursor::setPos(QPoint(300, 200));
        emit icon->activated(QSystemTrayIcon::Context);
        QTRY_VERIFY(main.Tray()->Menu()->isVisible());
        QCOMPARE(main.Tray()->Menu()->pos(), QPoint(300, 188));
        main.Tray()->Menu()->hide();

        // Without a tray the window goes to the taskbar, never out of reach. Brought back from there
        // by the desktop, it is out of the tray, so that once a tray has come the first click sends
        // it there.
        env.m_bTray = false;
        QTest::mouseClick(Child(main, "trayButton"), Qt::LeftButton);
        QVERIFY(main.isVisible());
        QVERIFY(main.isMinimized());
        main.Activate(); // as the taskbar button, or a second copy, brings it back
        QVERIFY(!main.isMinimized());
        QVERIFY(!main.IsInTray());
        QTest::mouseClick(Child(main, "trayButton"), Qt::LeftButton);
        main.showNormal(); // the taskbar button
        QVERIFY(!main.IsInTray());
        env.m_bTray = true;
        main.Tray()->OnLeftClick();
        QVERIFY(main.IsInTray());
        QVERIFY(!main.isVisible());
        main.Tray()->OnLeftClick();
        QVERIFY(main.isVisible());

        // Staying on top, also from the tray, where it stays.
        main.ApplyTopmost(true);
        QVERIFY(main.windowFlags() & Qt::WindowStaysOnTopHint);
        QVERIFY(main.isVisible());
        main.ApplyTopmost(false);
        QVERIFY(!(main.windowFlags() & Qt::WindowStaysOnTopHint));
        main.MinimizeToTray();
        main.ApplyTopmost(true);
        QVERIFY(!main.isVisible());
        QVERIFY(main.windowFlags() & Qt::WindowStaysOnTopHint);

        // The menu's exit asks first, like every other way out.
        QSignalSpy finished(&main, &QDialog::finished);
        env.messages.setNextAnswer(QMessageBox::Cancel);
        env.action("exitAction")->trigger();
        QCOMPARE(env.messages.texts(), QStringList{QStringLiteral("你确信要退出系统吗?")});
        QCOMPARE(finished.count(), 0);
        env.action("exitAction")->trigger();
        QCOMPARE(finished.count(), 1);
    }

    // Started shown, in the tray or (without one) on the taskbar; the reminder dialog is made
    // once the window has been painted, whichever, and the bell button shows it.
    void startAndTheReminderDialog_data()
    {
        QTest::addColumn<bool>("tray");
        QTest::addColumn<bool>("minimized");
        QTest::newRow("shown") << true << false;
        QTest::newRow("in the tray") << true << true;
        QTest::newRow("on the taskbar") << false << true;
    }
    void startAndTheReminderDialog()
    {
        QFETCH(bool, tray);
        QFETCH(bool, minimized);
        ConfigFlags flags;
        flags.m_bStartMinimized = minimized ? 1 : 0;
        Env env(tray, flags);
        QVERIFY(env.started);
        CPlannerDlg& main = env.main();
        QCOMPARE(main.IsInTray(), minimized);
        QCOMPARE(main.isVisible(), !minimized || !tray);
        QTRY_VERIFY(env.app.ReminderDialog());
        QVERIFY(!env.app.ReminderDialog()->isVisible());
        if (minimized && tray)
            main.Tray()->OnLeftClick();
        else if (minimized)
            main.Activate();
        QVERIFY(main.isVisible());
        QVERIFY(!main.isMinimized());
        QTest::mouseClick(Child(main, "remindersButton"), Qt::LeftButton);
        QVERIFY(env.app.ReminderDialog()->isVisible());
    }

    // The account book is started from the program's folder, and the planner steps aside
    // whether it started or not. A program started from the list sends it to the tray too; a
    // failed start leaves the list open and the window where it was.
    void startedProgramsSendTheWindowToTheTray_data()
    {
        QTest::addColumn<bool>("starts");
        QTest::newRow("started") << true;
        QTest::newRow("cannot be started") << false;
    }
    void startedProgramsSendTheWindowToTheTray()
    {
        QFETCH(bool, starts);
        LaunchRecorder launches;
        launches.setSucceeds(starts);
        DialogRecorder dialogs;
        Env env(true);
        QVERIFY(env.started);
        CPlannerDlg& main = env.main();
        QTest::mouseClick(Child(main, "accountsButton"), Qt::LeftButton);
        QCOMPARE(launches.started(), QStringList{env.app.GetAppFolder() + QStringLiteral("/Pennova")});
        QVERIFY(main.IsInTray());
        QVERIFY(!main.isVisible());
        QCOMPARE(env.messages.count(), 0);

        main.RestoreFromTray();
        const QString document = env.dir.filePath(QStringLiteral("教案.txt"));
        QVERIFY(WriteAll(document, {}));
        dialogs.queueFileName(document);
        bool listStayedOpen = false;
        WhenModal([&listStayedOpen](QDialog* list) {
            Click(*list, "openButton");
            listStayedOpen = list->isVisible();
            if (listStayedOpen)
                list->reject();
        });
        QTest::mouseClick(Child(main, "programsButton"), Qt::LeftButton);
        QCOMPARE(launches.opened(), QStringList{QFileInfo(document).absoluteFilePath()});
        QCOMPARE(listStayedOpen, !starts);
        QCOMPARE(main.IsInTray(), starts);
        QCOMPARE(main.isVisible(), !starts);
        QCOMPARE(env.messages.texts(),
                 starts ? QStringList{} : QStringList{QStringLiteral("该文件类型不能打开")});
    }
};

QTEST_MAIN(TestPlannerTray)
#include "tst_plannertray.moc"
