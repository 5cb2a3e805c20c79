// The splash program: its window, the program ending by itself, and the planner's wait for it,
// which neither a missing nor a hanging splash program can hold up.
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

namespace {
QString SplashProgram() { return QCoreApplication::applicationDirPath() + QStringLiteral("/QZSplash"); }
} // namespace

class TestSplash : public QObject
{
    Q_OBJECT

private slots:
    void windowShowsPictureAboveEverything()
    {
        CSplashDlg dlg;
        dlg.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dlg));
        const Qt::WindowFlags flags = dlg.windowFlags();
        QCOMPARE(flags & Qt::WindowType_Mask, Qt::SplashScreen); // no taskbar button
        QVERIFY(flags.testFlag(Qt::FramelessWindowHint));
        QVERIFY(flags.testFlag(Qt::WindowStaysOnTopHint));
        QCOMPARE(dlg.size(), QSize(600, 400));
        const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
        QVERIFY2((dlg.geometry().center() - screen.center()).manhattanLength() <= 2,
                 qPrintable(QStringLiteral("%1,%2").arg(dlg.x()).arg(dlg.y())));
        CGifPicture* picture = dlg.Picture();
        QCOMPARE(picture->GetPictureSize(), QSize(600, 400));
        QCOMPARE(picture->GetFrameCount(), 15);
        QVERIFY(picture->IsPlaying());
        QVERIFY(dlg.IsTimerActive());
    }

    // A left click anywhere, the picture included, ends it at once, with its timer and thread.
    void leftClickClosesAtOnce_data()
    {
        QTest::addColumn<Qt::MouseButton>("button");
        QTest::addColumn<bool>("closes");
        QTest::newRow("left") << Qt::LeftButton << true;
        QTest::newRow("right") << Qt::RightButton << false;
    }
    void leftClickClosesAtOnce()
    {
        QFETCH(Qt::MouseButton, button);
        QFETCH(bool, closes);
        CSplashDlg dlg;
        QSignalSpy finished(&dlg, &QDialog::finished);
        dlg.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dlg));
        QTest::mouseClick(&dlg, button, {}, QPoint(300, 200));
        QCOMPARE(finished.count(), closes ? 1 : 0);
        QCOMPARE(dlg.isVisible(), !closes);
        QCOMPARE(dlg.IsTimerActive(), !closes);
        QCOMPARE(dlg.Picture()->IsPlaying(), !closes);
    }

    // The program as the planner starts it: it shows for six seconds and ends by itself.
    void programEndsAfterSixSeconds()
    {
        QProcess splash;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        splash.setProcessEnvironment(env);
        QElapsedTimer clock;
        clock.start();
        splash.start(SplashProgram(), {});
        QVERIFY2(splash.waitForStarted(), qPrintable(splash.errorString()));
        QVERIFY(!splash.waitForFinished(5500));
        QVERIFY(splash.waitForFinished(4000));
        QCOMPARE(splash.exitStatus(), QProcess::NormalExit);
        QCOMPARE(splash.exitCode(), 0);
        QVERIFY2(clock.elapsed() >= 5900, qPrintable(QString::number(clock.elapsed())));
    }

    // The planner waits for its splash at most so long, and a splash that hangs is ended. A
    // missing one is no wait at all.
    void waitIsBounded()
    {
        QTemporaryDir dir;
        const QString hanging = dir.filePath(QStringLiteral("QZSplash"));
        const QString pidFile = dir.filePath(QStringLiteral("pid"));
        QFile script(hanging);
        QVERIFY(script.open(QIODevice::WriteOnly));
        script.write("#!/bin/sh\necho $$ > \"$(dirname \"$0\")/pid\"\nexec sleep 60\n");
        script.close();
        QVERIFY(script.setPermissions(script.permissions() | QFile::ExeOwner));

        QElapsedTimer clock;
        clock.start();
        QVERIFY(Launcher::get().RunAndWaitAtMost(hanging, {}, 1500));
        QVERIFY2(clock.elapsed() >= 1400 && clock.elapsed() < 6000, qPrintable(QString::number(clock.elapsed())));
        QFile pid(pidFile);
        QVERIFY(pid.open(QIODevice::ReadOnly));
        const pid_t child = pid.readAll().trimmed().toInt();
        QVERIFY(child > 0);
        QCOMPARE(::kill(child, 0), -1); // gone, not merely left behind

        clock.restart();
        QVERIFY(!Launcher::get().RunAndWaitAtMost(dir.filePath(QStringLiteral("missing/QZSplash")), {}, 10000));
        QVERIFY(clock.elapsed() < 3000);
    }
};

QTEST_MAIN(TestSplash)
#include "tst_splash.moc"
