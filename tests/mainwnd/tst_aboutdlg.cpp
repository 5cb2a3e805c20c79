#include "DialogFixture.h"
#include "calendar/SchoolCalendarDlg.h"
#include "controls/GifPicture.h"
#include "mainwnd/AboutDlg.h"
#include "mainwnd/AddTaskDlg.h"
#include "mainwnd/TaskStateDlg.h"

#include <functional>
#include <memory>

using DialogMaker = std::function<QDialog*()>;
Q_DECLARE_METATYPE(DialogMaker)

class TestAboutDlg : public QObject
{
    Q_OBJECT

private slots:
    void stripPlaysInItsPlace()
    {
        CAboutDlg dlg;
        QVERIFY(dlg.windowFlags().testFlag(Qt::FramelessWindowHint));
        QCOMPARE(dlg.size(), QSize(481, 315));
        auto* strip = Control<CGifPicture>(&dlg, "aboutStrip");
        QCOMPARE(strip->geometry(), QRect(0, 212, 481, 103));
        QVERIFY(strip->IsAnimated());
        QVERIFY(strip->IsPlaying());
    }

    // "acts": a double click closes the box; a drag moves it, wherever it is grabbed.
    void mouse_data()
    {
        QTest::addColumn<bool>("drag");
        QTest::addColumn<Qt::MouseButton>("button");
        QTest::addColumn<QPoint>("where");
        QTest::addColumn<bool>("acts");
        auto row = [](const char* name, bool drag, Qt::MouseButton button, QPoint where, bool acts) {
            QTest::newRow(name) << drag << button << where << acts;
        };
        row("double click, left on the picture", false, Qt::LeftButton, {240, 100}, true);
        row("double click, left on the strip", false, Qt::LeftButton, {240, 260}, true);
        row("double click, right", false, Qt::RightButton, {240, 100}, false);
        row("drag, left on the picture", true, Qt::LeftButton, {60, 40}, true);
        row("drag, left on the strip", true, Qt::LeftButton, {400, 280}, true);
        row("drag, right", true, Qt::RightButton, {60, 40}, false);
    }
    void mouse()
    {
        QFETCH(bool, drag);
        QFETCH(Qt::MouseButton, button);
        QFETCH(QPoint, where);
        QFETCH(bool, acts);
        CAboutDlg dlg;
        dlg.move(100, 80);
        dlg.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dlg));
        const QPoint start = dlg.pos(), delta(37, -21);
        // Events go where a real pointer would send them: to the strip when it is under it.
        QWidget* target = dlg.childAt(where) ? dlg.childAt(where) : &dlg;
        const QPoint local = target->mapFrom(&dlg, where);
        if (!drag) {
            QTest::mouseDClick(target, button, {}, local);
            QCOMPARE(dlg.isVisible(), !acts);
            return;
        }
        QTest::mousePress(target, button, {}, local);
        QTest::mouseMove(target, local + delta);
        QTest::mouseRelease(target, button, {}, local + delta);
        QCOMPARE(dlg.pos(), acts ? start + delta : start);
    }

    // Each dialog's picture is as large as the dialog and is what shows behind its controls.
    void picturesFitTheirDialogs_data()
    {
        QTest::addColumn<DialogMaker>("make");
        QTest::addColumn<QString>("picture");
        auto row = [](const char* name, const char* picture, DialogMaker make) {
            QTest::newRow(name) << make << QStringLiteral(":/dialogs/%1.png").arg(QLatin1String(picture));
        };
        row("add task", "160", [] { return new CAddTaskDlg(QDateTime::currentDateTime()); });
        row("task state", "162", [] { return new CTaskStateDlg(QStringLiteral("未完成")); });
        row("school calendar", "144",
            [] { return new CSchoolCalendarDlg(QDate(2027, 2, 22), QDate(2027, 7, 9)); });
        row("about", "171", [] { return new CAboutDlg; });
    }
    void picturesFitTheirDialogs()
    {
        QFETCH(DialogMaker, make);
        QFETCH(QString, picture);
        std::unique_ptr<QDialog> dlg(make());
        const QImage art(picture);
        QVERIFY(!art.isNull());
        QCOMPARE(art.size(), dlg->size());
        QCOMPARE(dlg->minimumSize(), dlg->maximumSize());
        QVERIFY(!dlg->windowIcon().isNull());
        const QImage shown = dlg->grab().toImage();
        for (const QPoint& p : {QPoint(3, 3), QPoint(art.width() - 4, 3), QPoint(30, art.height() / 2)})
            QCOMPARE(shown.pixelColor(p * shown.devicePixelRatio()), art.pixelColor(p));
    }
};

QTEST_MAIN(TestAboutDlg)
#include "tst_aboutdlg.moc"
