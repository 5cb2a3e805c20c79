// The main window and the tray: going there and back, the tray menu, starting in the tray, and
// what happens on a desktop without a tray. The tray itself is faked: offscreen there is none.
#include "DialogRecorder.h"
#include "FakeClock.h"
#include "MessageRecorder.h"
#include "Recorders.h"
#include "app/ConfigFile.h"
#include "app/DataFolder.h"
#include "app/PlannerApp.h"
#include "mainwnd/PlannerDlg.h"
#include "mainwnd/PlannerTray.h"
#include "reminder/ReminderDlg.h"
#include "store/TaskRecord.h"

#include <QAction>
#include <QApplication>
#include <QTimer>
#include <QCursor>
#include <QMenu>
#include <QPushButton>
#include <QSystemTrayIcon>
#include <QTemporaryDir>
#include <QtTest>

namespace {
const QDate kToday(2026, 12, 7);
const QString kExitQuestion = QStringLiteral("你确信要退出系统吗?");
} // namespace

class TestPlannerTray : public QObject
{
    Q_OBJECT

    struct Env {
        explicit Env(bool trayAvailable, ConfigFlags flags = {}) : m_bTray(trayAvailable)
        {
            CPlannerTray::setAvailability([this] { return m_bTray; });
            const QString folder = dir.filePath(QStringLiteral("data"));
            started = DataFolder::CreateWithDefaults(folder, kToday, nullptr) &&
                      ConfigFile::Write(folder + QStringLiteral("/config.ini"), flags) && app.InitInstance();
        }
        ~Env()
        {
            app.ExitInstance();
            CPlannerTray::setAvailability({});
        }
        bool m_bTray;
        FakeClock clock{QDateTime(kToday, QTime(10, 30))};
        QTemporaryDir dir;
        MessageRecorder messages;
        CPlannerApp app{{QStringLiteral("Kestrum"), QStringLiteral("--data-dir"), dir.filePath(QStringLiteral("data"))}};
        bool started = false;
        CPlannerDlg& main() { return *app.MainWindow(); }
        QAction* action(const char* name) { return main().Tray()->Menu()->findChild<QAction*>(QLatin1String(name)); }
    };

private slots:
    void leftClickTogglesAndMenuShows()
    {
        Env env(true);
        QVERIFY(env.started);
        CPlannerDlg& main = env.main();
        QVERIFY(QTest::qWaitForWindowExposed(&main));
        QCOMPARE(main.Tray()->Menu()->actions().size(), 4); // three items and the separator
        QVERIFY(main.Tray()->Menu()->actions().at(2)->isSeparator());
        for (const char* name : {"showAction", "aboutAction", "exitAction"})
            QVERIFY2(env.action(name) && !env.action(name)->icon().isNull(), name);

        main.Tray()->OnLeftClick();
        QVERIFY(main.m_bInTray);
        QVERIFY(!main.isVisible());
        main.Tray()->OnLeftClick();
        QVERIFY(!main.m_bInTray);
        QVERIFY(main.isVisible());
        QVERIFY(!main.isMinimized());

        // "显示提示窗口" while shown changes nothing.
        env.action("showAction")->trigger();
        QVERIFY(main.isVisible());
        QVERIFY(!main.m_bInTray);

        // ">>" and the minimise box go to the tray too; the menu brings the window back.
        QTest::mouseClick(main.findChild<QPushButton*>(QStringLiteral("trayButton")), Qt::LeftButton);
        QVERIFY(!main.isVisible());
        env.action("showAction")->trigger();
        QVERIFY(main.isVisible());
        main.showMinimized();
        QTRY_VERIFY(!main.isVisible());
        QVERIFY(main.m_bInTray);
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
    }

    // Without a tray at first the window waits on the taskbar; brought back from there by the
    // desktop, it is out of the tray, so that once a tray has come the first click sends it there.
    void restoredFromTheTaskbarTheClickGoesToTheTray()
    {
        Env env(false);
        QVERIFY(env.started);
        CPlannerDlg& main = env.main();
        QTest::mouseClick(main.findChild<QPushButton*>(QStringLiteral("trayButton")), Qt::LeftButton);
        QVERIFY(main.isMinimized());
        main.showNormal(); // the taskbar button
        QVERIFY(!main.m_bInTray);
        env.m_bTray = true;

        main.Tray()->OnLeftClick();
        QVERIFY(main.m_bInTray);
        QVERIFY(!main.isVisible());
        main.Tray()->OnLeftClick();
        QVERIFY(main.isVisible());
    }

    // Without a tray the window goes to the taskbar, never out of reach.
    void withoutATrayTheTaskbarKeepsTheWindow()
    {
        Env env(false);
        QVERIFY(env.started);
        CPlannerDlg& main = env.main();
        QTest::mouseClick(main.findChild<QPushButton*>(QStringLiteral("trayButton")), Qt::LeftButton);
        QVERIFY(main.isVisible());
        QVERIFY(main.isMinimized());
        main.Activate(); // as the taskbar button, or a second copy, brings it back
        QVERIFY(!main.isMinimized());
        QVERIFY(!main.m_bInTray);
    }

    void startMinimized_data()
    {
        QTest::addColumn<bool>("tray");
        QTest::newRow("to the tray") << true;
        QTest::newRow("to the taskbar") << false;
    }
    void startMinimized()
    {
        QFETCH(bool, tray);
        ConfigFlags flags;
        flags.m_bStartMinimized = 1;
        Env env(tray, flags);
        QVERIFY(env.started);
        CPlannerDlg& main = env.main();
        QVERIFY(main.m_bInTray);
        QCOMPARE(main.isVisible(), !tray);
        if (tray)
            main.Tray()->OnLeftClick();
        else
            main.Activate();
        QVERIFY(main.isVisible());
        QVERIFY(!main.isMinimized());
    }

    // The tray menu's exit asks first, and resets the shown date's task in progress only.
    void exitFromTheTrayMenu()
    {
        Env env(true);
        QVERIFY(env.started);
        CDataStore& store = env.app.Context().Store();
        QVERIFY(store.AddTask(kToday, QStringLiteral("今天在做"), TaskStates::InProgress()));
        QVERIFY(store.AddTask(kToday.addDays(1), QStringLiteral("明天在做"), TaskStates::InProgress()));
        CPlannerDlg& main = env.main();
        main.RefreshTaskList();
        main.Tray()->OnLeftClick(); // away in the tray, as one usually is
        QSignalSpy finished(&main, &QDialog::finished);

        env.messages.setNextAnswer(QMessageBox::Cancel);
        env.action("exitAction")->trigger();
        QCOMPARE(env.messages.texts(), QStringList{kExitQuestion});
        QCOMPARE(finished.count(), 0);

        env.action("exitAction")->trigger();
        QCOMPARE(finished.count(), 1);
        QStringList contents, states;
        QVERIFY(store.ListTasksOfDay(kToday, contents, states));
        QCOMPARE(states, QStringList{TaskStates::NotDone()});
        QVERIFY(store.ListTasksOfDay(kToday.addDays(1), contents, states));
        QCOMPARE(states, QStringList{TaskStates::InProgress()});
    }

    void topmostBothWays()
    {
        Env env(true);
        QVERIFY(env.started);
        CPlannerDlg& main = env.main();
        main.ApplyTopmost(true);
        QVERIFY(main.windowFlags() & Qt::WindowStaysOnTopHint);
        QVERIFY(main.isVisible());
        main.ApplyTopmost(false);
        QVERIFY(!(main.windowFlags() & Qt::WindowStaysOnTopHint));
        QVERIFY(main.isVisible());
        // In the tray it stays there.
        main.MinimizeToTray();
        main.ApplyTopmost(true);
        QVERIFY(!main.isVisible());
        QVERIFY(main.windowFlags() & Qt::WindowStaysOnTopHint);
    }

    // The account book is started from the program's folder, and the planner steps aside
    // whether it started or not.
    void accountBookStartsAndGoesToTheTray_data()
    {
        QTest::addColumn<bool>("starts");
        QTest::newRow("started") << true;
        QTest::newRow("missing") << false;
    }
    void accountBookStartsAndGoesToTheTray()
    {
        QFETCH(bool, starts);
        LaunchRecorder launches;
        launches.setSucceeds(starts);
        Env env(true);
        QVERIFY(env.started);
        QTest::mouseClick(env.main().findChild<QPushButton*>(QStringLiteral("accountsButton")), Qt::LeftButton);
        QCOMPARE(launches.started(), QStringList{env.app.GetAppFolder() + QStringLiteral("/Pennova")});
        QVERIFY(env.main().m_bInTray);
        QVERIFY(!env.main().isVisible());
        QCOMPARE(env.messages.count(), 0);
    }

    // The reminder dialog is made once the window has been painted, also when the planner starts
    // in the tray, and the bell button shows it.
    void reminderButtonShowsTheDialog_data()
    {
        QTest::addColumn<bool>("inTray");
        QTest::newRow("starts shown") << false;
        QTest::newRow("starts in the tray") << true;
    }
    void reminderButtonShowsTheDialog()
    {
        QFETCH(bool, inTray);
        ConfigFlags flags;
        flags.m_bStartMinimized = inTray ? 1 : 0;
        Env env(true, flags);
        QVERIFY(env.started);
        QTRY_VERIFY(env.app.ReminderDialog());
        QVERIFY(!env.app.ReminderDialog()->isVisible());
        env.main().RestoreFromTray();
        QTest::mouseClick(env.main().findChild<QPushButton*>(QStringLiteral("remindersButton")), Qt::LeftButton);
        QVERIFY(env.app.ReminderDialog()->isVisible());
    }

    // A program started from the list sends the planner to the tray; a failed start leaves the
    // list open and the window where it was.
    void programListStartSendsTheWindowToTheTray_data()
    {
        QTest::addColumn<bool>("starts");
        QTest::newRow("started") << true;
        QTest::newRow("cannot be opened") << false;
    }
    void programListStartSendsTheWindowToTheTray()
    {
        QFETCH(bool, starts);
        LaunchRecorder launches;
        launches.setSucceeds(starts);
        DialogRecorder dialogs;
        Env env(true);
        QVERIFY(env.started);
        const QString document = env.dir.filePath(QStringLiteral("教案.txt"));
        QFile file(document);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.close();
        dialogs.queueFileName(document);
        bool listStayedOpen = false;
        QTimer::singleShot(0, [&] {
            for (QDeadlineTimer deadline(5000); !deadline.hasExpired();) {
                if (auto* list = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
                    QTest::mouseClick(list->findChild<QPushButton*>(QStringLiteral("openButton")), Qt::LeftButton);
                    listStayedOpen = list->isVisible();
                    if (listStayedOpen)
                        list->reject();
                    return;
                }
                QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
            }
        });
        QTest::mouseClick(env.main().findChild<QPushButton*>(QStringLiteral("programsButton")), Qt::LeftButton);
        QCOMPARE(launches.opened(), QStringList{QFileInfo(document).absoluteFilePath()});
        QCOMPARE(listStayedOpen, !starts);
        QCOMPARE(env.main().m_bInTray, starts);
        QCOMPARE(env.main().isVisible(), !starts);
        QCOMPARE(env.messages.texts(), starts ? QStringList{} : QStringList{QStringLiteral("该文件类型不能打开")});
    }
};

QTEST_MAIN(TestPlannerTray)
#include "tst_plannertray.moc"
