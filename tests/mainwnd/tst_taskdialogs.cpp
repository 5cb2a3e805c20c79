#include "DialogFixture.h"
#include "MessageRecorder.h"
#include "Recorders.h"
#include "mainwnd/AddTaskDlg.h"
#include "mainwnd/TaskStateDlg.h"

#include <QComboBox>
#include <QDateEdit>
#include <QLineEdit>
#include <QPushButton>

namespace {
const QDate kShown(2027, 3, 15);
const QDateTime kSelected(kShown, QTime(14, 30));
const QStringList kStates = QStringLiteral("未完成 已完成 已推迟 进行中").split(u' ');
const QString kAddFailed = QStringLiteral("事情添加失败，请重试");
constexpr int Stored = 0, StoreFails = 1, Cancelled = 2;
} // namespace

class TestTaskDialogs : public QObject
{
    Q_OBJECT

private slots:
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
        DialogFixture fx;
        QVERIFY(fx.started());
        for (const QString& task : existing)
            QVERIFY(fx.store().AddTask(kShown, task.section(u'|', 0, 0), task.section(u'|', 1)));
        if (outcome == StoreFails)
            QVERIFY(fx.exec(QStringLiteral("CREATE TRIGGER refuse BEFORE INSERT ON shiqing "
                                           "BEGIN SELECT RAISE(ABORT, 'disk full'); END")));
        MessageRecorder messages;
        SoundRecorder sounds;

        CAddTaskDlg dlg(kSelected);
        dlg.show();
        QVERIFY(QTest::qWaitForWindowActive(&dlg));
        QCOMPARE(dlg.windowTitle(), QStringLiteral("增加一件事情"));
        auto* picker = Control<QDateEdit>(&dlg, "datePicker");
        QCOMPARE(picker->date(), kShown);
        auto* states = Control<QComboBox>(&dlg, "stateList");
        QStringList listed;
        for (int i = 0; i < states->count(); ++i)
            listed << states->itemText(i);
        QCOMPARE(listed, kStates);
        auto* edit = Control<QLineEdit>(&dlg, "contentEdit");
        QVERIFY(edit->hasFocus());

        TypeText(edit, content);
        const QDate picked = kShown.addDays(dayOffset);
        picker->setDate(picked);
        QTest::mouseClick(Control<QPushButton>(&dlg, outcome == Cancelled ? "cancelButton" : "okButton"),
                          Qt::LeftButton);

        QCOMPARE(fx.tasksOn(picked), onPickedDay);
        if (outcome != StoreFails) {
            QCOMPARE(messages.texts(), QStringList{});
            QCOMPARE(dlg.result(), int(outcome == Stored ? QDialog::Accepted : QDialog::Rejected));
            QVERIFY(!dlg.isVisible());
            QCOMPARE(fx.noticeText(),
                     outcome == Stored ? QStringLiteral("已成功添加事情\n") + content : QString());
            QCOMPARE(fx.tasksOn(kShown), dayOffset ? existing : onPickedDay);
            return;
        }
        // The store may report first; the dialog's own message comes last, once.
        QCOMPARE(messages.texts().count(kAddFailed), 1);
        QCOMPARE(messages.last().text, kAddFailed);
        QCOMPARE(messages.last().caption, QStringLiteral("提示"));
        QCOMPARE(messages.last().icon, Messages::Icon::Critical);
        QCOMPARE(messages.last().parent, &dlg);
        QVERIFY(dlg.isVisible());
        QVERIFY(edit->hasFocus());
        QCOMPARE(fx.noticeText(), QString());
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
        QFETCH(int, index);
        QFETCH(QString, newState);
        CTaskStateDlg dlg(current);
        dlg.show();
        QCOMPARE(dlg.windowTitle(), QStringLiteral("更改事情状态"));
        auto* list = Control<QComboBox>(&dlg, "stateList");
        QCOMPARE(list->currentIndex(), index);
        QTest::mouseClick(Control<QPushButton>(&dlg, newState.isEmpty() ? "cancelButton" : "okButton"),
                          Qt::LeftButton);
        QCOMPARE(dlg.result(), int(newState.isEmpty() ? QDialog::Rejected : QDialog::Accepted));
        if (!newState.isEmpty())
            QCOMPARE(dlg.GetNewState(), newState);
    }
};

QTEST_MAIN(TestTaskDialogs)
#include "tst_taskdialogs.moc"
