// The splash program: its window, the program ending by itself, and the planner's wait for it,
// which neither a missing nor a hanging splash program can hold up.
#include "TestFiles.h"
#include "app/Launcher.h"
#include "controls/GifPicture.h"
#include "splash/SplashDlg.h"

#include <QElapsedTimer>
#include <QGuiApplication>
#include <QProcess>
#include <QScreen>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>
#include <csignal>

class TestSplash : public QObject
{
    Q_OBJECT

private slots:
    // The picture plays in a window above all others, and a left click anywhere, the picture
    // included, ends it at once, with its timer and thread.
    void showsUntilLeftClick_data()
    {
        QTest::addColumn<Qt::MouseButton>("button");
        QTest::newRow("no click") << Qt::NoButton;
        QTest::newRow("right click") << Qt::RightButton;
        QTest::newRow("left click") << Qt::LeftButton;
    }
    void showsUntilLeftClick()
    {
        QFETCH(Qt::MouseButton, button);
        CSplashDlg dlg;
        QSignalSpy finished(&dlg, &QDialog::finished);
        dlg.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dlg));
        const Qt::WindowFlags flags = dlg.windowFlags();
        QCOMPARE(flags & Qt::WindowType_Mask, Qt::SplashScreen); // no taskbar button
        QVERIFY(flags.testFlag(Qt::FramelessWindowHint));
        QVERIFY(flags.testFlag(Qt::WindowStaysOnTopHint));
        QCOMPARE(dlg.size(), QSize(600, 400));
        const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
        QVERIFY((dlg.geometry().center() - screen.center()).manhattanLength() <= 2);
        QCOMPARE(dlg.ShowTime(), std::chrono::milliseconds(6000));

        if (button != Qt::NoButton)
            QTest::mouseClick(&dlg, button, {}, QPoint(300, 200));
        const bool closes = button == Qt::LeftButton;
        QCOMPARE(finished.count(), closes ? 1 : 0);
        QCOMPARE(dlg.isVisible(), !closes);
        QCOMPARE(dlg.IsTimerActive(), !closes);
        QCOMPARE(dlg.Picture()->IsPlaying(), !closes);
    }

    // The program as the planner starts it (its picture built in, or it would wait for a click
    // for ever) ends by itself when the show is over.
    void programEndsByItself()
    {
        QProcess splash;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QZSPLASH_SHOW_MS"), QStringLiteral("300"));
        splash.setProcessEnvironment(env);
        splash.start(QCoreApplication::applicationDirPath() + QStringLiteral("/QZSplash"), {});
        QVERIFY2(splash.waitForStarted(), qPrintable(splash.errorString()));
        QVERIFY(splash.waitForFinished(60000));
        QCOMPARE(splash.exitStatus(), QProcess::NormalExit);
        QCOMPARE(splash.exitCode(), 0);
    }

    // The planner waits for its splash at most so long, and a splash that hangs is ended. A
    // missing one is not waited for (a wait here would show as a minute-long test).
    void waitIsBounded()
    {
        QTemporaryDir dir;
        const QString hanging = dir.filePath(QStringLiteral("QZSplash"));
        QVERIFY(WriteAll(hanging, "#!/bin/sh\necho $$ > \"$(dirname \"$0\")/pid\"\nexec sleep 60\n"));
        QVERIFY(QFile::setPermissions(hanging, QFile::permissions(hanging) | QFile::ExeOwner));

        QElapsedTimer clock;
        clock.start();
        QVERIFY(Launcher::get().RunAndWaitAtMost(hanging, {}, 500));
        QVERIFY(clock.elapsed() >= 490);
        const pid_t child = ReadAll(dir.filePath(QStringLiteral("pid"))).trimmed().toInt();
        QVERIFY(child > 0);
        QCOMPARE(::kill(child, 0), -1); // gone, not merely left behind

        QVERIFY(
            !Launcher::get().RunAndWaitAtMost(dir.filePath(QStringLiteral("missing/QZSplash")), {}, 60000));
    }
};

QTEST_MAIN(TestSplash)
#include "tst_splash.moc"
