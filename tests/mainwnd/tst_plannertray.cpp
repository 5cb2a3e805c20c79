// The main window and the tray. The tray itself is faked: offscreen there is none.
#include "DialogRecorder.h"
#include "PlannerEnv.h"
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
        /// "shown", "tray", "taskbar" (minimised, where the tray is not), or what does not fit those.
        QString where()
        {
            const bool tray = main().IsInTray(), shown = main().isVisible(), min = main().isMinimized();
            if (shown && min)
                return QStringLiteral("taskbar");
            return tray != shown ? QString::fromLatin1(shown ? "shown" : "tray")
                                 : QStringLiteral("tray %1, shown %2").arg(tray).arg(shown);
        }
    };

private slots:
    void leftClickTogglesAndMenuShows()
    {
        Env env(true);
        QVERIFY(env.started);
        CPlannerDlg& main = env.main();
        QVERIFY(QTest::qWaitForWindowExposed(&main));
        // The icon comes by itself once the window has been painted, before anything asks for it.
        QTRY_VERIFY(main.findChild<CPlannerTray*>());
        main.Tray()->OnLeftClick();
        QCOMPARE(env.where(), QStringLiteral("tray"));
        main.Tray()->OnLeftClick();
        QCOMPARE(env.where(), QStringLiteral("shown"));

        env.action("showAction")->trigger();
        QCOMPARE(env.where(), QStringLiteral("shown"));

        // ">>" and the minimise box go to the tray too; the menu brings the window back.
        QTest::mouseClick(Child(main, "trayButton"), Qt::LeftButton);
        QCOMPARE(env.where(), QStringLiteral("tray"));
        env.action("showAction")->trigger();
        QCOMPARE(env.where(), QStringLiteral("shown"));
        main.showMinimized();
        QTRY_COMPARE(env.where(), QStringLiteral("tray"));
        main.Tray()->OnLeftClick();
        QCOMPARE(env.where(), QStringLiteral("shown"));
        QCOMPARE(env.messages.count(), 0);

        // A right click opens the menu with its left edge at the pointer, 12 pixels above it.
        auto* icon = main.Tray()->findChild<QSystemTrayIcon*>();
        QVERIFY(icon);
        QCursor::setPos(QPoint(300, 200));
        emit icon->activated(QSystemTrayIcon::Context);
        QTRY_VERIFY(main.Tray()->Menu()->isVisible());
        QCOMPARE(main.Tray()->Menu()->pos(), QPoint(300, 188));
        main.Tray()->Menu()->hide();

        // Without a tray, the taskbar. Brought back from there by the desktop it is out of the tray, so
        // once a tray has come the first click sends it there.
        env.m_bTray = false;
        QTest::mouseClick(Child(main, "trayButton"), Qt::LeftButton);
        QCOMPARE(env.where(), QStringLiteral("taskbar"));
        main.Activate(); // as the taskbar button, or a second copy, brings it back
        QCOMPARE(env.where(), QStringLiteral("shown"));
        QTest::mouseClick(Child(main, "trayButton"), Qt::LeftButton);
        main.showNormal(); // the taskbar button
        QCOMPARE(env.where(), QStringLiteral("shown"));
        env.m_bTray = true;
        main.Tray()->OnLeftClick();
        QCOMPARE(env.where(), QStringLiteral("tray"));
        main.Tray()->OnLeftClick();
        QCOMPARE(env.where(), QStringLiteral("shown"));

        // Staying on top, also from the tray, where it stays.
        main.ApplyTopmost(true);
        QVERIFY(main.windowFlags() & Qt::WindowStaysOnTopHint);
        QCOMPARE(env.where(), QStringLiteral("shown"));
        main.ApplyTopmost(false);
        QVERIFY(!(main.windowFlags() & Qt::WindowStaysOnTopHint));
        main.MinimizeToTray();
        main.ApplyTopmost(true);
        QCOMPARE(env.where(), QStringLiteral("tray"));
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

    // The reminder dialog is made once the window has been painted, wherever it started.
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
        QCOMPARE(env.where(), QString::fromLatin1(!minimized ? "shown" : tray ? "tray" : "taskbar"));
        QTRY_VERIFY(env.app.ReminderDialog());
        QVERIFY(!env.app.ReminderDialog()->isVisible());
        if (minimized && tray)
            main.Tray()->OnLeftClick();
        else if (minimized)
            main.Activate();
        QCOMPARE(env.where(), QStringLiteral("shown"));
        QTest::mouseClick(Child(main, "remindersButton"), Qt::LeftButton);
        QVERIFY(env.app.ReminderDialog()->isVisible());
    }

    // The planner steps aside for the account book whether it started or not, and for a program
    // of the list; a failed start leaves the list open and the window where it was.
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
        QCOMPARE(env.where(), QStringLiteral("tray"));
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
        QCOMPARE(env.where(), QString::fromLatin1(starts ? "tray" : "shown"));
        QCOMPARE(env.messages.texts(),
                 starts ? QStringList{} : QStringList{QStringLiteral("该文件类型不能打开")});
    }
};

QTEST_MAIN(TestPlannerTray)
#include "tst_plannertray.moc"
