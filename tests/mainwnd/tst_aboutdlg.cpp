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

namespace {
QWidget* Under(QWidget& dlg, const QPoint& where)
{
    QWidget* child = dlg.childAt(where);
    return child ? child : &dlg;
}
} // namespace

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

    void doubleClickCloses_data()
    {
        QTest::addColumn<Qt::MouseButton>("button");
        QTest::addColumn<QPoint>("where");
        QTest::addColumn<bool>("closes");
        QTest::newRow("left on the picture") << Qt::LeftButton << QPoint(240, 100) << true;
        QTest::newRow("left on the strip") << Qt::LeftButton << QPoint(240, 260) << true;
        QTest::newRow("right") << Qt::RightButton << QPoint(240, 100) << false;
    }
    void doubleClickCloses()
    {
        QFETCH(Qt::MouseButton, button);
        QFETCH(QPoint, where);
        QFETCH(bool, closes);
        CAboutDlg dlg;
        dlg.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dlg));
        QWidget* target = Under(dlg, where);
        QTest::mouseDClick(target, button, {}, target->mapFrom(&dlg, where));
        QCOMPARE(dlg.isVisible(), !closes);
    }

    void dragMovesTheBox_data()
    {
        QTest::addColumn<Qt::MouseButton>("button");
        QTest::addColumn<QPoint>("grab");
        QTest::addColumn<bool>("moves");
        QTest::newRow("left on the picture") << Qt::LeftButton << QPoint(60, 40) << true;
        QTest::newRow("left on the strip") << Qt::LeftButton << QPoint(400, 280) << true;
        QTest::newRow("right") << Qt::RightButton << QPoint(60, 40) << false;
    }
    void dragMovesTheBox()
    {
        QFETCH(Qt::MouseButton, button);
        QFETCH(QPoint, grab);
        QFETCH(bool, moves);
        CAboutDlg dlg;
        dlg.move(100, 80);
        dlg.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dlg));
        const QPoint start = dlg.pos();
        const QPoint delta(37, -21);
        // Events go where a real pointer would send them: to the strip when it is under it.
        QWidget* target = Under(dlg, grab);
        const QPoint local = target->mapFrom(&dlg, grab);
        QTest::mousePress(target, button, {}, local);
        QTest::mouseMove(target, local + delta);
        QTest::mouseRelease(target, button, {}, local + delta);
        QCOMPARE(dlg.pos(), moves ? start + delta : start);
    }

    // Each dialog's picture is as large as the dialog and is what shows behind its controls.
    void picturesFitTheirDialogs_data()
    {
        QTest::addColumn<DialogMaker>("make");
        QTest::addColumn<QString>("picture");
        QTest::newRow("add task") << DialogMaker([] { return new CAddTaskDlg(QDateTime::currentDateTime()); })
                                  << QStringLiteral(":/dialogs/160.png");
        QTest::newRow("task state") << DialogMaker([] { return new CTaskStateDlg(QStringLiteral("未完成")); })
                                    << QStringLiteral(":/dialogs/162.png");
        QTest::newRow("school calendar")
            << DialogMaker([] { return new CSchoolCalendarDlg(QDate(2027, 2, 22), QDate(2027, 7, 9)); })
            << QStringLiteral(":/dialogs/144.png");
        QTest::newRow("about") << DialogMaker([] { return new CAboutDlg; })
                               << QStringLiteral(":/dialogs/171.png");
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
