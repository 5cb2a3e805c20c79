#include "DialogFixture.h"
#include "MessageRecorder.h"
#include "Recorders.h"
#include "mainwnd/AddTaskDlg.h"
#include "mainwnd/TaskStateDlg.h"

#include <QComboBox>
#include <QDateEdit>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

namespace {
const QDate kShown(2027, 3, 15);
const QDateTime kSelected(kShown, QTime(14, 30));
const QStringList kStates = {QStringLiteral("未完成"), QStringLiteral("已完成"), QStringLiteral("已推迟"),
                             QStringLiteral("进行中")};
} // namespace

class TestTaskDialogs : public QObject
{
    Q_OBJECT

private slots:
    void addDialogOpensOnTheShownDay()
    {
        DialogFixture fx;
        QVERIFY(fx.started());
        CAddTaskDlg dlg(kSelected);
        dlg.show();
        QVERIFY(QTest::qWaitForWindowActive(&dlg));
        QCOMPARE(dlg.windowTitle(), QStringLiteral("增加一件事情"));
        QCOMPARE(Control<QDateEdit>(&dlg, "datePicker")->date(), kShown);
        auto* states = Control<QComboBox>(&dlg, "stateList");
        QStringList listed;
        for (int i = 0; i < states->count(); ++i)
            listed << states->itemText(i);
        QCOMPARE(listed, kStates);
        QCOMPARE(states->currentIndex(), 0);
        QVERIFY(Control<QLineEdit>(&dlg, "contentEdit")->hasFocus());
    }

    // Tasks in "existing" are on the shown day; the user may pick another day in the dialog.
    void addTask_data()
    {
        QTest::addColumn<QStringList>("existing");
        QTest::addColumn<QString>("content");
        QTest::addColumn<int>("stateDowns");
        QTest::addColumn<int>("dayOffset");
        QTest::addColumn<bool>("insertFails");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<int>("icon");
        QTest::addColumn<QStringList>("onPickedDay");

        const auto none = int(Messages::Icon::None);
        const auto stop = int(Messages::Icon::Critical);
        QTest::newRow("new, not done")
            << QStringList{} << QStringLiteral("批改作业") << 0 << 0 << false << QString() << QString()
            << none << QStringList{QStringLiteral("批改作业|未完成")};
        QTest::newRow("chosen state")
            << QStringList{} << QStringLiteral("家访") << 2 << 0 << false << QString() << QString() << none
            << QStringList{QStringLiteral("家访|已推迟")};
        QTest::newRow("empty content")
            << QStringList{} << QString() << 0 << 0 << false << QStringLiteral("事情内容不能为空")
            << QStringLiteral("警告") << stop << QStringList{};
        QTest::newRow("already there")
            << QStringList{QStringLiteral("读书|已完成")} << QStringLiteral("读书") << 0 << 0 << false
            << QStringLiteral("你要添加的事情已经存在") << QStringLiteral("提示")
            << int(Messages::Icon::Information) << QStringList{QStringLiteral("读书|已完成")};
        QTest::newRow("same content, next day")
            << QStringList{QStringLiteral("读书|已完成")} << QStringLiteral("读书") << 0 << 1 << false
            << QString() << QString() << none << QStringList{QStringLiteral("读书|未完成")};
        QTest::newRow("second in progress")
            << QStringList{QStringLiteral("备课|进行中")} << QStringLiteral("开会") << 3 << 0 << false
            << QString() << QString() << none
            << QStringList{QStringLiteral("备课|进行中"), QStringLiteral("开会|进行中")};
        QTest::newRow("content holding 、")
            << QStringList{} << QStringLiteral("1、买菜、做饭") << 0 << -3 << false << QString() << QString()
            << none << QStringList{QStringLiteral("1、买菜、做饭|未完成")};
        QTest::newRow("store fails") << QStringList{} << QStringLiteral("开会") << 0 << 0 << true
                                     << QStringLiteral("事情添加失败，请重试") << QStringLiteral("提示")
                                     << stop << QStringList{};
    }
    void addTask()
    {
        QFETCH(QStringList, existing);
        QFETCH(QString, content);
        QFETCH(int, stateDowns);
        QFETCH(int, dayOffset);
        QFETCH(bool, insertFails);
        QFETCH(QString, message);
        QFETCH(QString, caption);
        QFETCH(int, icon);
        QFETCH(QStringList, onPickedDay);

        DialogFixture fx;
        QVERIFY(fx.started());
        for (const QString& task : existing)
            QVERIFY(fx.store().AddTask(kShown, task.section(u'|', 0, 0), task.section(u'|', 1)));
        if (insertFails)
            QVERIFY(fx.exec(QStringLiteral("CREATE TRIGGER refuse BEFORE INSERT ON shiqing "
                                           "BEGIN SELECT RAISE(ABORT, 'disk full'); END")));
        MessageRecorder messages;
        SoundRecorder sounds;

        CAddTaskDlg dlg(kSelected);
        dlg.show();
        QVERIFY(QTest::qWaitForWindowActive(&dlg));
        auto* edit = Control<QLineEdit>(&dlg, "contentEdit");
        TypeText(edit, content);
        auto* states = Control<QComboBox>(&dlg, "stateList");
        for (int i = 0; i < stateDowns; ++i)
            QTest::keyClick(states, Qt::Key_Down);
        const QDate picked = kShown.addDays(dayOffset);
        Control<QDateEdit>(&dlg, "datePicker")->setDate(picked);
        QTest::mouseClick(Control<QPushButton>(&dlg, "okButton"), Qt::LeftButton);

        QCOMPARE(fx.tasksOn(picked), onPickedDay);
        if (message.isEmpty()) {
            QCOMPARE(messages.texts(), QStringList{});
            QCOMPARE(dlg.result(), int(QDialog::Accepted));
            QVERIFY(!dlg.isVisible());
            QCOMPARE(fx.noticeText(), QStringLiteral("已成功添加事情\n") + content);
            if (dayOffset != 0)
                QCOMPARE(fx.tasksOn(kShown), existing);
        } else {
            // The store may have spoken first; ours is the last word, once.
            QCOMPARE(messages.texts().count(message), 1);
            QCOMPARE(messages.last().text, message);
            QCOMPARE(messages.last().caption, caption);
            QCOMPARE(int(messages.last().icon), icon);
            QCOMPARE(messages.last().parent, &dlg);
            QVERIFY(dlg.isVisible());
            QVERIFY(edit->hasFocus());
            QCOMPARE(fx.noticeText(), QString());
        }
    }

    void refusedThenCorrectedIsStoredOnce()
    {
        DialogFixture fx;
        QVERIFY(fx.started());
        MessageRecorder messages;
        SoundRecorder sounds;
        int result = -1;
        QTimer::singleShot(0, [&] {
            auto* dlg = qobject_cast<CAddTaskDlg*>(QApplication::activeModalWidget());
            QVERIFY(dlg);
            auto* ok = Control<QPushButton>(dlg, "okButton");
            QTest::mouseClick(ok, Qt::LeftButton);
            TypeText(Control<QLineEdit>(dlg, "contentEdit"), QStringLiteral("写教案"));
            QTest::mouseClick(ok, Qt::LeftButton);
            if (dlg->isVisible()) // keep the test from hanging when the second OK is refused
                dlg->reject();
        });
        CAddTaskDlg dlg(kSelected);
        result = dlg.exec();
        QCOMPARE(result, int(QDialog::Accepted));
        QCOMPARE(messages.texts(), QStringList{QStringLiteral("事情内容不能为空")});
        QCOMPARE(fx.tasksOn(kShown), QStringList{QStringLiteral("写教案|未完成")});
    }

    void cancelStoresNothing()
    {
        DialogFixture fx;
        QVERIFY(fx.started());
        MessageRecorder messages;
        CAddTaskDlg dlg(kSelected);
        dlg.show();
        TypeText(Control<QLineEdit>(&dlg, "contentEdit"), QStringLiteral("买书"));
        QTest::mouseClick(Control<QPushButton>(&dlg, "cancelButton"), Qt::LeftButton);
        QCOMPARE(dlg.result(), int(QDialog::Rejected));
        QCOMPARE(fx.tasksOn(kShown), QStringList{});
        QCOMPARE(messages.count(), 0);
        QCOMPARE(fx.noticeText(), QString());
    }

    // The list opens on the first state that begins with the present one; OK untouched keeps it.
    void stateDialogOpensOnPresentState_data()
    {
        QTest::addColumn<QString>("current");
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("newState");
        for (int i = 0; i < kStates.size(); ++i)
            QTest::newRow(qPrintable(kStates.at(i))) << kStates.at(i) << i << kStates.at(i);
        QTest::newRow("empty matches the first") << QString() << 0 << kStates.at(0);
        QTest::newRow("prefix 已") << QStringLiteral("已") << 1 << kStates.at(1);
        QTest::newRow("prefix 进行") << QStringLiteral("进行") << 3 << kStates.at(3);
        QTest::newRow("not a prefix") << QStringLiteral("完成") << -1 << kStates.at(0);
        QTest::newRow("longer than any state") << QStringLiteral("进行中 ") << -1 << kStates.at(0);
    }
    void stateDialogOpensOnPresentState()
    {
        QFETCH(QString, current);
        QFETCH(int, index);
        QFETCH(QString, newState);
        CTaskStateDlg dlg(current);
        dlg.show();
        QCOMPARE(dlg.windowTitle(), QStringLiteral("更改事情状态"));
        QCOMPARE(Control<QComboBox>(&dlg, "stateList")->currentIndex(), index);
        QTest::mouseClick(Control<QPushButton>(&dlg, "okButton"), Qt::LeftButton);
        QCOMPARE(dlg.result(), int(QDialog::Accepted));
        QCOMPARE(dlg.GetNewState(), newState);
    }

    void stateDialogChoice_data()
    {
        QTest::addColumn<QString>("current");
        QTest::addColumn<int>("keyDowns"); // negative: key up
        QTest::addColumn<QString>("button");
        QTest::addColumn<int>("result");
        QTest::addColumn<QString>("newState");
        QTest::newRow("start it") << kStates.at(0) << 3 << QStringLiteral("okButton")
                                  << int(QDialog::Accepted) << kStates.at(3);
        QTest::newRow("finish it") << kStates.at(3) << -2 << QStringLiteral("okButton")
                                   << int(QDialog::Accepted) << kStates.at(1);
        QTest::newRow("cancelled") << kStates.at(0) << 1 << QStringLiteral("cancelButton")
                                   << int(QDialog::Rejected) << QString();
    }
    void stateDialogChoice()
    {
        QFETCH(QString, current);
        QFETCH(int, keyDowns);
        QFETCH(QString, button);
        QFETCH(int, result);
        QFETCH(QString, newState);
        CTaskStateDlg dlg(current);
        dlg.show();
        auto* list = Control<QComboBox>(&dlg, "stateList");
        for (int i = 0; i < qAbs(keyDowns); ++i)
            QTest::keyClick(list, keyDowns > 0 ? Qt::Key_Down : Qt::Key_Up);
        QTest::mouseClick(Control<QPushButton>(&dlg, button.toLatin1().constData()), Qt::LeftButton);
        QCOMPARE(dlg.result(), result);
        if (result == QDialog::Accepted)
            QCOMPARE(dlg.GetNewState(), newState);
    }
};

QTEST_MAIN(TestTaskDialogs)
#include "tst_taskdialogs.moc"
