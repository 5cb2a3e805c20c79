#include "PlannerEnv.h"
#include "PlannerFixture.h"
#include "SoundRecorder.h"
#include "calendar/SchoolCalendarDlg.h"
#include "controls/GifPicture.h"
#include "mainwnd/AboutDlg.h"
#include "mainwnd/AddTaskDlg.h"
#include "mainwnd/TaskStateDlg.h"

#include <QComboBox>
#include <QDateEdit>
#include <QLineEdit>
#include <memory>

using DialogMaker = std::function<QDialog*()>;
Q_DECLARE_METATYPE(DialogMaker)

namespace {
const QDate kShown(2027, 3, 15);
const QStringList kStates = QStringLiteral("未完成 已完成 已推迟 进行中").split(u' ');
const QString kAddFailed = QStringLiteral("事情添加失败，请重试");
constexpr int Stored = 0, StoreFails = 1, Cancelled = 2;

/// What a dialog is handed when the test looks only at its face: a store that is not connected.
CPlannerContext& LooseContext()
{
    static PlannerFixture loose(false);
    return loose.context;
}

/// A started planner whose dialogs reach a store and the notice pop-up.
struct Fixture : PlannerEnv
{
    bool started = app.Startup() && store().IsConnected();
    QPair<QDateTime, QDateTime> term()
    {
        QDateTime start, end;
        return store().LoadSchoolCalendar(start, end) ? qMakePair(start, end) : QPair<QDateTime, QDateTime>();
    }
};
} // namespace

class TestTaskDialogs : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QLocale::setDefault(QLocale(QLocale::Chinese, QLocale::SimplifiedHanScript, QLocale::China));
    }

    // "existing" tasks are on the shown day; the task is stored on the day picked in the dialog.
    void addTask_data()
    {
        QTest::addColumn<QStringList>("existing");
        QTest::addColumn<QString>("content");
        QTest::addColumn<int>("dayOffset");
        QTest::addColumn<int>("outcome");
        QTest::addColumn<QStringList>("onPickedDay");
        const QStringList read{QStringLiteral("读书|已完成")};
        QTest::newRow("same content, next day")
            << read << QStringLiteral("读书") << 1 << Stored << QStringList{QStringLiteral("读书|未完成")};
        QTest::newRow("earlier day, content holding 、")
            << read << QStringLiteral("1、买菜、做饭") << -3 << Stored
            << QStringList{QStringLiteral("1、买菜、做饭|未完成")};
        QTest::newRow("store fails") << QStringList{} << QStringLiteral("开会") << 0 << StoreFails
                                     << QStringList{};
        QTest::newRow("cancelled") << read << QStringLiteral("买书") << 0 << Cancelled << read;
    }
    void addTask()
    {
        QFETCH(QStringList, existing);
        QFETCH(QString, content);
        QFETCH(int, dayOffset);
        QFETCH(int, outcome);
        QFETCH(QStringList, onPickedDay);
        Fixture fx;
        QVERIFY(fx.started);
        for (const QString& task : existing)
            QVERIFY(fx.store().AddTask(kShown, task.section(u'|', 0, 0), task.section(u'|', 1)));
        if (outcome == StoreFails)
            QVERIFY(fx.exec(QStringLiteral("CREATE TRIGGER refuse BEFORE INSERT ON shiqing BEGIN SELECT "
                                           "RAISE(ABORT, 'disk full'); END")));
        SoundRecorder sounds;

        CAddTaskDlg dlg(fx.app.Context(), QDateTime(kShown, QTime(14, 30)));
        dlg.show();
        QVERIFY(QTest::qWaitForWindowActive(&dlg));
        QCOMPARE(dlg.windowTitle(), QStringLiteral("增加一件事情"));
        auto* picker = Child<QDateEdit>(dlg, "datePicker");
        QCOMPARE(picker->date(), kShown);
        auto* states = Child<QComboBox>(dlg, "stateList");
        QStringList listed;
        for (int i = 0; i < states->count(); ++i)
            listed << states->itemText(i);
        QCOMPARE(listed, kStates);
        auto* edit = Child<QLineEdit>(dlg, "contentEdit");
        QVERIFY(edit->hasFocus());

        TypeByInputMethod(edit, content);
        const QDate picked = kShown.addDays(dayOffset);
        picker->setDate(picked);
        Click(dlg, outcome == Cancelled ? "cancelButton" : "okButton");

        QCOMPARE(fx.tasksOn(picked), onPickedDay);
        if (outcome != StoreFails) {
            QCOMPARE(fx.messages.texts(), QStringList{});
            QCOMPARE(dlg.result(), int(outcome == Stored ? QDialog::Accepted : QDialog::Rejected));
            QVERIFY(!dlg.isVisible());
            QCOMPARE(fx.notice(),
                     outcome == Stored ? QStringLiteral("已成功添加事情\n") + content : QString());
            QCOMPARE(fx.tasksOn(kShown), dayOffset ? existing : onPickedDay);
            return;
        }
        // The store may report first; the dialog's own message comes last, once.
        QCOMPARE(fx.messages.texts().count(kAddFailed), 1);
        QCOMPARE(fx.messages.last().text, kAddFailed);
        QCOMPARE(fx.messages.last().caption, QStringLiteral("提示"));
        QCOMPARE(fx.messages.last().icon, Messages::Icon::Critical);
        // The store's box belongs to the dialog, so a held Return cannot add again beneath it.
        QVERIFY(fx.messages.count() > 1);
        for (const Messages::Request& request : fx.messages.requests())
            QCOMPARE(request.parent, &dlg);
        QVERIFY(dlg.isVisible());
        QVERIFY(edit->hasFocus());
        QCOMPARE(fx.notice(), QString());
    }

    // The list opens on the first state beginning with the present one; no choice gives 未完成.
    void stateDialog_data()
    {
        QTest::addColumn<QString>("current");
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("newState"); // empty: cancelled
        QTest::newRow("empty matches the first") << QString() << 0 << kStates.at(0);
        QTest::newRow("prefix 已") << QStringLiteral("已") << 1 << kStates.at(1);
        QTest::newRow("not a prefix") << QStringLiteral("完成") << -1 << kStates.at(0);
        QTest::newRow("longer than any state") << QStringLiteral("进行中 ") << -1 << kStates.at(0);
        QTest::newRow("cancelled") << kStates.at(0) << 0 << QString();
    }
    void stateDialog()
    {
        QFETCH(QString, current);
        QFETCH(QString, newState);
        CTaskStateDlg dlg(current);
        dlg.show();
        QCOMPARE(dlg.windowTitle(), QStringLiteral("更改事情状态"));
        QTEST(Child<QComboBox>(dlg, "stateList")->currentIndex(), "index");
        Click(dlg, newState.isEmpty() ? "cancelButton" : "okButton");
        QCOMPARE(dlg.result(), int(newState.isEmpty() ? QDialog::Rejected : QDialog::Accepted));
        if (!newState.isEmpty())
            QCOMPARE(dlg.GetNewState(), newState);
    }

    // Cancel stores nothing; a failed save stays open; the retry stores the days at midnight.
    void schoolCalendarCancelThenFailedSaveThenRetry()
    {
        Fixture fx;
        QVERIFY(fx.started);
        const auto before = fx.term();
        QVERIFY(before.first.isValid());
        SoundRecorder sounds;
        const QDate start(2008, 9, 1), end(2009, 1, 16);
        {
            CSchoolCalendarDlg dlg(fx.app.Context(), start, end);
            dlg.show();
            Child<QDateEdit>(dlg, "startPicker")->setDate(QDate(2027, 9, 1));
            Click(dlg, "cancelButton");
            QCOMPARE(dlg.result(), int(QDialog::Rejected));
            QCOMPARE(fx.term(), before);
            QCOMPARE(fx.messages.count(), 0);
        }
        // Without its end row the calendar table cannot take a term.
        QVERIFY(fx.exec(QStringLiteral("DELETE FROM xiaoli WHERE rowid = (SELECT max(rowid) FROM xiaoli)")));
        CSchoolCalendarDlg dlg(fx.app.Context(), start, end);
        dlg.show();
        QCOMPARE(dlg.windowTitle(), QStringLiteral("校历设置"));
        QCOMPARE(Child<QDateEdit>(dlg, "startPicker")->text(), QStringLiteral("2008年9月1日星期一"));
        QCOMPARE(Child<QDateEdit>(dlg, "endPicker")->text(), QStringLiteral("2009年1月16日星期五"));
        Click(dlg, "okButton");
        const QString failed = QStringLiteral("数据保存失败！\r\n请重新保存或取消设置");
        QCOMPARE(fx.messages.texts().count(failed), 1);
        QCOMPARE(fx.messages.last().text, failed);
        QCOMPARE(fx.messages.last().caption, QStringLiteral("提示"));
        QCOMPARE(fx.messages.last().icon, Messages::Icon::Warning);
        QVERIFY(dlg.isVisible());
        QCOMPARE(fx.notice(), QString());

        QVERIFY(fx.exec(QStringLiteral("INSERT INTO xiaoli (date) VALUES (0)")));
        fx.messages.clear();
        Child<QDateEdit>(dlg, "endPicker")->setDate(QDate(2008, 8, 1));
        Click(dlg, "okButton");
        QCOMPARE(fx.messages.texts(), QStringList{});
        QCOMPARE(dlg.result(), int(QDialog::Accepted));
        QVERIFY(!dlg.isVisible());
        QCOMPARE(fx.notice(), QStringLiteral("数据保存成功！"));
        QCOMPARE(fx.term(), qMakePair(start.startOfDay(), QDate(2008, 8, 1).startOfDay()));
    }

    // A left double click closes the about box and a left drag moves it, on the picture or the
    // playing strip; the right button does neither.
    void aboutMouse_data()
    {
        QTest::addColumn<bool>("drag");
        QTest::addColumn<Qt::MouseButton>("button");
        QTest::addColumn<QPoint>("where");
        QTest::addColumn<bool>("acts");
        QTest::newRow("double click, left on the picture")
            << false << Qt::LeftButton << QPoint(240, 100) << true;
        QTest::newRow("double click, left on the strip")
            << false << Qt::LeftButton << QPoint(240, 260) << true;
        QTest::newRow("double click, right") << false << Qt::RightButton << QPoint(240, 100) << false;
        QTest::newRow("drag, left on the picture") << true << Qt::LeftButton << QPoint(60, 40) << true;
        QTest::newRow("drag, left on the strip") << true << Qt::LeftButton << QPoint(400, 280) << true;
        QTest::newRow("drag, right") << true << Qt::RightButton << QPoint(60, 40) << false;
    }
    void aboutMouse()
    {
        QFETCH(bool, drag);
        QFETCH(Qt::MouseButton, button);
        QFETCH(QPoint, where);
        QFETCH(bool, acts);
        CAboutDlg dlg;
        QVERIFY(dlg.windowFlags().testFlag(Qt::FramelessWindowHint));
        QVERIFY(Child<CGifPicture>(dlg, "aboutStrip")->IsPlaying());
        dlg.move(100, 80);
        QVERIFY(ShowExposed(dlg));
        const QPoint start = dlg.pos(), delta(37, -21);
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
        QTest::newRow("add task") << DialogMaker([] {
            return new CAddTaskDlg(LooseContext(), QDateTime::currentDateTime());
        }) << QStringLiteral("160");
        QTest::newRow("task state") << DialogMaker([] { return new CTaskStateDlg(QStringLiteral("未完成")); })
                                    << QStringLiteral("162");
        QTest::newRow("school calendar") << DialogMaker([] {
            return new CSchoolCalendarDlg(LooseContext(), QDate(2027, 2, 22), QDate(2027, 7, 9));
        }) << QStringLiteral("144");
        QTest::newRow("about") << DialogMaker([] { return new CAboutDlg; }) << QStringLiteral("171");
    }
    void picturesFitTheirDialogs()
    {
        QFETCH(DialogMaker, make);
        QFETCH(QString, picture);
        std::unique_ptr<QDialog> dlg(make());
        const QImage art(QStringLiteral(":/dialogs/%1.png").arg(picture));
        QCOMPARE(art.size(), dlg->size());
        const QImage shown = dlg->grab().toImage();
        for (const QPoint& p : {QPoint(3, 3), QPoint(art.width() - 4, 3), QPoint(30, art.height() / 2)})
            QCOMPARE(shown.pixelColor(p * shown.devicePixelRatio()), art.pixelColor(p));
    }
};

QTEST_MAIN(TestTaskDialogs)
#include "tst_taskdialogs.moc"
