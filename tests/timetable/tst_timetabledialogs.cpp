// The timetable display and its editor, driven as a person would.
#include "FullDisk.h"
#include "MessageRecorder.h"
#include "PlannerFixture.h"
#include "TestFiles.h"
#include "WidgetDriver.h"
#include "controls/BalloonTip.h"
#include "timetable/Timetable.h"
#include "timetable/TimetableDlg.h"
#include "timetable/TimetableEditDlg.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QTimeEdit>
#include <QtTest>

namespace {
const QString kLoadFailed = QStringLiteral("打开课程表文件失败，不能提取课程表信息，请重试");

/// A data folder with a timetable file, and what a window is handed.
struct Env : PlannerFixture
{
    Env() : PlannerFixture(false) {}
    CTimetable timetable{dir.path()};
    MessageRecorder messages;

    QString path() const { return dir.filePath(CTimetable::FileName()); }
    /// The teacher, the class times and the nine lines of Wednesday's 7、8节 as the file holds them.
    QStringList fileLines() const
    {
        const QStringList lines =
            QString(QStringDecoder("GB18030").decode(ReadAll(path()))).split(QStringLiteral("\r\n"));
        return QStringList{lines.value(0), lines.value(2)} +
               lines.mid(4 + 9 * CTimetable::SlotIndex(2, 3), 9);
    }
};

void Choose(QWidget& dlg, const char* list, int index)
{
    Child<QComboBox>(dlg, list)->setCurrentIndex(index);
}
void Type(QWidget& dlg, const char* edit, const QString& text)
{
    Child<QLineEdit>(dlg, edit)->setText(text);
}
} // namespace

class TestTimetableDialogs : public QObject
{
    Q_OBJECT

private slots:
    // "修改" stores the slot, the teacher, the term and the five times, and says so; "清除" empties
    // the slot again. The course name takes at most five Chinese characters.
    void modify_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<int>("room");
        QTest::addColumn<int>("firstWeek"); // list index, -1 none
        QTest::addColumn<int>("lastWeek");
        QTest::addColumn<QStringList>("stored"); // the weeks, the type and the room type as stored
        QTest::newRow("专业必修课 stored as 专业必须课")
            << 3 << 3 << 0 << 15
            << QStringList{QStringLiteral("1-16 周"), QStringLiteral("专业必须课"),
                           QStringLiteral("大教室（有多媒体）")};
        QTest::newRow("函授课 and 其它 store nothing")
            << 4 << 4 << 2 << 24 << QStringList{QStringLiteral("3-25 周"), QString(), QString()};
        QTest::newRow("其它 type, no week")
            << 5 << 0 << -1 << -1
            << QStringList{QStringLiteral("0-0 周"), QString(), QStringLiteral("小教室（无多媒体）")};
    }
    void modify()
    {
        QFETCH(int, type);
        QFETCH(int, room);
        QFETCH(int, firstWeek);
        QFETCH(int, lastWeek);
        QFETCH(QStringList, stored);
        Env env;
        QVERIFY(env.timetable.Save());
        CTimetableEditDlg dlg(env.context, env.timetable);
        QCOMPARE(Child<QLineEdit>(dlg, "teacherEdit")->text(), QStringLiteral("Tarrin"));
        QCOMPARE(Child<QTimeEdit>(dlg, "timePicker2")->time(), QTime(10, 20)); // the others are saved below
        QCOMPARE(Child<QComboBox>(dlg, "typeList")->currentIndex(), -1); // an empty slot chooses nothing
        Type(dlg, "teacherEdit", QStringLiteral("王老师"));
        Child<QTimeEdit>(dlg, "timePicker2")->setTime(QTime(9, 5));
        Choose(dlg, "weekdayList", 2);
        Choose(dlg, "periodsList", 3);
        Type(dlg, "nameEdit", QStringLiteral("数据结构"));
        Type(dlg, "creditEdit", QStringLiteral("3.5"));
        Type(dlg, "classEdit", QStringLiteral("软件1班"));
        Type(dlg, "studentsEdit", QStringLiteral("48"));
        Type(dlg, "placeEdit", QStringLiteral("东3-201"));
        Choose(dlg, "firstWeekList", firstWeek);
        Choose(dlg, "lastWeekList", lastWeek);
        Choose(dlg, "typeList", type);
        Choose(dlg, "roomTypeList", room);
        Click(dlg, "modifyButton");
        QCOMPARE(env.messages.texts(), QStringList{QStringLiteral("你确信要修改上课信息吗?")});
        QCOMPARE(env.messages.last().caption, QStringLiteral("提示"));
        QCOMPARE(env.messages.last().buttons, Messages::Buttons(QMessageBox::Ok | QMessageBox::Cancel));
        QCOMPARE(env.notices, QStringList{QStringLiteral("上课信息已成功保存")});
        QCOMPARE(env.fileLines(),
                 (QStringList{QStringLiteral("王老师"), QStringLiteral("08:20;09:05;14:00;16:00;19:00;"),
                              QStringLiteral("true"), QStringLiteral("数据结构"), QStringLiteral("3.50"),
                              stored[0], stored[1], QStringLiteral("软件1班"), QStringLiteral("48"),
                              QStringLiteral("东3-201"), stored[2]}));

        // Coming back to the slot shows what was stored (a type without stored text chooses nothing).
        Choose(dlg, "weekdayList", 0);
        Choose(dlg, "weekdayList", 2);
        QCOMPARE(Child<QLineEdit>(dlg, "nameEdit")->text(), QStringLiteral("数据结构"));
        QCOMPARE(Child<QComboBox>(dlg, "firstWeekList")->currentIndex(), firstWeek);
        QCOMPARE(Child<QComboBox>(dlg, "lastWeekList")->currentIndex(), lastWeek);
        QCOMPARE(Child<QComboBox>(dlg, "typeList")->currentIndex(), type < 4 ? type : -1);
        QCOMPARE(Child<QComboBox>(dlg, "roomTypeList")->currentIndex(), room < 4 ? room : -1);

        // "清除" empties the slot; then "修改" does nothing until weekday and periods are chosen again.
        env.messages.clear();
        env.notices.clear();
        Click(dlg, "clearButton");
        QCOMPARE(env.messages.texts(), QStringList{QStringLiteral("你确信要清除上课信息吗?")});
        QCOMPARE(env.messages.last().caption, QStringLiteral("警告"));
        QCOMPARE(env.notices, QStringList{QStringLiteral("上课信息已全部清除")});
        QCOMPARE(env.fileLines().mid(2),
                 (QStringList{QStringLiteral("false"), QString(), QStringLiteral("0.00"), QString(),
                              QString(), QString(), QStringLiteral("0"), QString(), QString()}));
        QCOMPARE(Child<QComboBox>(dlg, "weekdayList")->currentIndex(), -1);
        QVERIFY(Child<QLineEdit>(dlg, "nameEdit")->text().isEmpty());

        env.messages.clear();
        Type(dlg, "nameEdit", QStringLiteral("物理"));
        Click(dlg, "modifyButton");
        Click(dlg, "clearButton");
        Choose(dlg, "periodsList", 3);
        Click(dlg, "modifyButton");
        QCOMPARE(env.messages.count(), 0);
        Choose(dlg, "weekdayList", 2);
        Type(dlg, "nameEdit", QStringLiteral("物理"));
        Click(dlg, "modifyButton");
        QCOMPARE(env.messages.count(), 1);
        QCOMPARE(env.fileLines().at(3), QStringLiteral("物理"));

        // The course name takes at most ten bytes of the code page.
        QVERIFY(ShowExposed(dlg));
        auto* edit = Child<QLineEdit>(dlg, "nameEdit");
        edit->clear();
        edit->setFocus();
        TypeByInputMethod(edit, QStringLiteral("计算机网络原理"));
        QCOMPARE(edit->text(), QStringLiteral("计算机网络"));
        edit->clear();
        TypeByInputMethod(edit, QStringLiteral("C语言程序设计"));
        QCOMPARE(edit->text(), QStringLiteral("C语言程序"));
    }

    // Refused, cancelled or failed, "修改" leaves the file as it was, and never says it saved; a
    // failed save says so, the disk being full too.
    void modifyRefusedOrFailed_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("answer");
        QTest::addColumn<QString>("failure"); // "": the file's folder is there and has room
        QTest::addColumn<QStringList>("messages");
        QTest::addColumn<QString>("notice");
        const QString ask = QStringLiteral("你确信要修改上课信息吗?"),
                      failed = QStringLiteral("上课信息保存失败，请重试");
        const QString cannot = QStringLiteral("打开课程表文件失败，不能更新设置，请重试");
        QTest::newRow("empty name") << QString() << int(QMessageBox::Ok) << QString()
                                    << QStringList{QStringLiteral("课程名不能为空")} << QString();
        QTest::newRow("cancelled") << QStringLiteral("英语") << int(QMessageBox::Cancel) << QString()
                                   << QStringList{ask} << QString();
        QTest::newRow("no folder") << QStringLiteral("化学") << int(QMessageBox::Ok)
                                   << QStringLiteral("no folder") << QStringList{ask, cannot} << failed;
        QTest::newRow("disk full") << QStringLiteral("化学") << int(QMessageBox::Ok)
                                   << QStringLiteral("disk full")
                                   << QStringList{ask, cannot + QStringLiteral("\r\n磁盘空间已满")} << failed;
    }
    void modifyRefusedOrFailed()
    {
        QFETCH(QString, name);
        QFETCH(int, answer);
        QFETCH(QString, failure);
        QFETCH(QStringList, messages);
        QFETCH(QString, notice);
        Env env;
        QVERIFY(env.timetable.Save());
        const QByteArray before = ReadAll(env.path());
        CTimetable timetable(failure == QStringLiteral("no folder")
                                 ? env.dir.filePath(QStringLiteral("no such folder"))
                                 : env.dir.path());
        CTimetableEditDlg dlg(env.context, timetable);
        Type(dlg, "nameEdit", name);
        env.messages.setNextAnswer(QMessageBox::StandardButton(answer));
        {
            InjectedFullDisk full(failure == QStringLiteral("disk full") ? 0 : -1);
            Click(dlg, "modifyButton");
        }
        QCOMPARE(env.messages.texts(), messages);
        QCOMPARE(env.messages.requests().first().caption,
                 name.isEmpty() ? QStringLiteral("警告") : QStringLiteral("提示"));
        QCOMPARE(env.notices, notice.isEmpty() ? QStringList{} : QStringList{notice});
        QCOMPARE(ReadAll(env.path()), before);
        if (failure.isEmpty())
            QVERIFY(!timetable.m_entries[0].bHasCourse);
    }

    void displayCaptionAndTooltip()
    {
        Env env;
        CourseEntry& course = env.timetable.m_entries[size_t(CTimetable::SlotIndex(1, 2))];
        course.bHasCourse = true;
        course.strName = QStringLiteral("高数");
        course.dCredit = 4;
        course.strWeeks = QStringLiteral("1-18 周");
        course.nStudents = 60;
        QVERIFY(env.timetable.Save());
        env.timetable.m_entries = {}; // the display shows the file, not what is in memory
        CTimetableDlg dlg(env.context, env.timetable, 14, 3);
        QVERIFY(ShowExposed(dlg));
        QCOMPARE(env.messages.count(), 0);
        QCOMPARE(dlg.windowTitle(), QStringLiteral("Tarrin-课程表 【今天是:第14周 星期三】"));
        const QPoint inCourse = env.timetable.m_rcCell[size_t(CTimetable::SlotIndex(1, 2))].center();
        QTest::mouseMove(&dlg, inCourse);
        QTRY_VERIFY(dlg.Tip()->isVisible());
        // Read from the file (the tip's texts are the timetable's own test's).
        QCOMPARE(dlg.Tip()->GetText(), env.timetable.TooltipText(CTimetable::SlotIndex(1, 2)));
        QCOMPARE(dlg.cursor().shape(), Qt::PointingHandCursor);
        QTest::mouseMove(&dlg, env.timetable.m_rcCell[0].center()); // an empty slot
        QCOMPARE(dlg.cursor().shape(), Qt::ArrowCursor);
    }

    // A file that cannot be read is said in one box over the display, once the display is on
    // screen; and once per failure: not again while it stays unreadable, whatever it turns
    // into meanwhile, until it has been read again. The file coming back is read without a word.
    void displayFollowsTheFile()
    {
        Env env;
        CTimetableDlg dlg(env.context, env.timetable, 1, 1);
        QCOMPARE(env.messages.count(), 0);
        QVERIFY(ShowExposed(dlg));
        QTRY_COMPARE(env.messages.texts(), QStringList{kLoadFailed});
        QCOMPARE(env.messages.last().parent, static_cast<QWidget*>(&dlg));
        QCOMPARE(env.messages.ownersShown(), QList<bool>{true});
        QCOMPARE(dlg.windowTitle(), QStringLiteral("课程表"));
        QVERIFY(QDir(env.dir.path()).mkdir(CTimetable::FileName())); // a folder now: still unreadable
        for (int i = 0; i < 3; ++i) {
            dlg.CheckFile();
            dlg.repaint();
        }
        QCOMPARE(env.messages.count(), 1);
        QVERIFY(QDir(env.dir.path()).rmdir(CTimetable::FileName()));

        CTimetable written(env.dir.path());
        written.m_strTerm = QStringLiteral("2026-2027年第一学期");
        QVERIFY(written.Save());
        QTRY_COMPARE(env.timetable.m_strTerm, QStringLiteral("2026-2027年第一学期"));
        QVERIFY(QFile::remove(env.path()));
        QTRY_COMPARE(env.messages.count(), 2);
        dlg.CheckFile();
        QCOMPARE(env.messages.count(), 2);
        QCOMPARE(env.messages.ownersShown(), (QList<bool>{true, true}));
        QCOMPARE(env.timetable.m_strTerm, QStringLiteral("2026-2027年第一学期"));
    }
};

QTEST_MAIN(TestTimetableDialogs)
#include "tst_timetabledialogs.moc"
