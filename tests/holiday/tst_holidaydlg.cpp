// The holiday editor and the listing of all holidays, driven as a person would.
#include "FakeClock.h"
#include "MessageRecorder.h"
#include "WidgetDriver.h"
#include "app/PlannerApp.h"
#include "controls/NotifyWnd.h"
#include "holiday/HolidayDlg.h"
#include "holiday/HolidayListDlg.h"
#include "mainwnd/PlannerDlg.h"
#include "store/DataStore.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>

namespace {
const QDate kToday(2026, 12, 7);
const QString kExists = QStringLiteral("该节日已经存在，请进行删除或修改操作");
const QString kDashes = QStringLiteral("--------------------------");

struct Env
{
    FakeClock clock{QDateTime(kToday, QTime(10, 30))};
    QTemporaryDir dir;
    MessageRecorder messages;
    CPlannerApp app{
        {QStringLiteral("Kestrum"), QStringLiteral("--data-dir"), dir.filePath(QStringLiteral("data"))}};
    bool started = app.Startup();
    ~Env() { app.ExitInstance(); }
    CDataStore& store() { return app.Context().Store(); }
    QString notice() { return app.NoticeWindow() ? app.NoticeWindow()->GetText() : QString(); }
};

/// The holiday dialog with its controls, as the user sees it.
struct Dialog
{
    explicit Dialog(Env& env, QWidget* parent = nullptr) : dlg(env.app.Context(), parent)
    {
        dlg.show();
        if (!QTest::qWaitForWindowExposed(&dlg))
            qWarning("holiday dialog not shown");
    }
    template <typename T> T* get(const char* name) { return Child<T>(dlg, name); }
    void fill(const QString& name, int month, int day, bool lunar)
    {
        get<QLineEdit>("nameEdit")->setText(name);
        get<QComboBox>("monthList")->setCurrentIndex(month - 1);
        get<QComboBox>("dayList")->setCurrentIndex(day - 1);
        get<QCheckBox>("lunarCheck")->setChecked(lunar);
    }
    void click(const char* name) { Click(dlg, name); }
    bool found()
    {
        return get<QPushButton>("renameButton")->isEnabled() && get<QPushButton>("deleteButton")->isEnabled();
    }
    bool normal()
    {
        return !get<QPushButton>("renameButton")->isEnabled() &&
               !get<QPushButton>("deleteButton")->isEnabled();
    }

    CHolidayDlg dlg;
};
} // namespace

class TestHolidayDlg : public QObject
{
    Q_OBJECT

private slots:
    // The key is month and day with two digits each; the check box picks the table.
    void addStoresUnderItsKey_data()
    {
        QTest::addColumn<int>("month");
        QTest::addColumn<int>("day");
        QTest::addColumn<bool>("lunar");
        QTest::addColumn<QString>("key");
        QTest::newRow("1 January") << 1 << 1 << false << QStringLiteral("0101");
        QTest::newRow("31 December") << 12 << 31 << false << QStringLiteral("1231");
        QTest::newRow("1 December, lunar") << 12 << 1 << true << QStringLiteral("1201");
        QTest::newRow("31 February") << 2 << 31 << true << QStringLiteral("0231");
    }
    void addStoresUnderItsKey()
    {
        QFETCH(int, month);
        QFETCH(int, day);
        QFETCH(bool, lunar);
        QFETCH(QString, key);
        Env env;
        QVERIFY(env.started);
        Dialog d(env);
        QSignalSpy changed(&d.dlg, &CHolidayDlg::HolidaysChanged);
        d.fill(QStringLiteral("教师节"), month, day, lunar);
        d.click("okButton");
        QCOMPARE(env.messages.count(), 0);
        QCOMPARE(d.dlg.result(), int(QDialog::Accepted));
        QVERIFY(!d.dlg.isVisible());
        QCOMPARE(changed.count(), 1);
        QCOMPARE(env.store().IsHolidayPresent(HolidayCalendar::Lunar, key, QStringLiteral("教师节")), lunar);
        QCOMPARE(env.store().IsHolidayPresent(HolidayCalendar::Solar, key, QStringLiteral("教师节")), !lunar);
    }

    // A duplicate enters Found; the rename or delete that follows leaves it, whatever its outcome.
    void foundThenRenameOrDelete_data()
    {
        QTest::addColumn<bool>("lunar");
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("newName");
        QTest::addColumn<int>("newDay");              // day chosen after the find
        QTest::addColumn<QStringList>("namesOn0910"); // what the table then holds under 0910
        QTest::addColumn<QString>("notice");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("nameAfter");
        const QString renamed = QStringLiteral("节日信息已成功修改");
        const QString deleted = QStringLiteral("节日信息已成功删除");
        QTest::newRow("rename") << false << "renameButton" << QStringLiteral("敬师日") << 10
                                << QStringList{QStringLiteral("敬师日")} << renamed << QString()
                                << QStringLiteral("敬师日");
        QTest::newRow("rename, lunar")
            << true << "renameButton" << QStringLiteral("敬师日") << 10
            << QStringList{QStringLiteral("敬师日")} << renamed << QString() << QStringLiteral("敬师日");
        QTest::newRow("rename under another date fails")
            << false << "renameButton" << QStringLiteral("敬师日") << 11
            << QStringList{QStringLiteral("教师节")} << QString() << QStringLiteral("节日信息修改失败")
            << QStringLiteral("敬师日");
        QTest::newRow("rename to an empty name")
            << false << "renameButton" << QString() << 10 << QStringList{QStringLiteral("教师节")}
            << QString() << QStringLiteral("节日名称不能为空") << QString();
        QTest::newRow("delete") << false << "deleteButton" << QStringLiteral("教师节") << 10 << QStringList{}
                                << deleted << QString() << QString();
        QTest::newRow("delete, lunar") << true << "deleteButton" << QStringLiteral("教师节") << 10
                                       << QStringList{} << deleted << QString() << QString();
        QTest::newRow("delete of a name not there")
            << false << "deleteButton" << QStringLiteral("国庆节") << 10
            << QStringList{QStringLiteral("教师节")} << QString() << QStringLiteral("节日信息删除失败")
            << QStringLiteral("国庆节");
    }
    void foundThenRenameOrDelete()
    {
        QFETCH(bool, lunar);
        QFETCH(QString, button);
        QFETCH(QString, newName);
        QFETCH(int, newDay);
        QFETCH(QStringList, namesOn0910);
        QFETCH(QString, notice);
        QFETCH(QString, message);
        QFETCH(QString, nameAfter);
        Env env;
        QVERIFY(env.started);
        const QString key = QStringLiteral("0910");
        QVERIFY(lunar ? env.store().AddHoliday(HolidayCalendar::Lunar, key, QStringLiteral("教师节"))
                      : env.store().AddHoliday(HolidayCalendar::Solar, key, QStringLiteral("教师节")));
        Dialog d(env);
        QSignalSpy changed(&d.dlg, &CHolidayDlg::HolidaysChanged);
        QVERIFY(d.normal());
        d.fill(QStringLiteral("教师节"), 9, 10, lunar);
        d.click("okButton");
        QCOMPARE(env.messages.texts(), QStringList{kExists});
        QCOMPARE(env.messages.last().caption, QStringLiteral("警告"));
        QCOMPARE(env.messages.last().icon, Messages::Icon::Warning);
        QVERIFY(d.dlg.isVisible());
        QVERIFY(d.found());
        QCOMPARE(changed.count(), 0);

        env.messages.clear();
        d.get<QLineEdit>("nameEdit")->setText(newName);
        d.get<QComboBox>("dayList")->setCurrentIndex(newDay - 1);
        d.click(button.toLatin1().constData());
        QVERIFY(d.normal());
        QVERIFY(d.dlg.isVisible());
        QCOMPARE(env.messages.texts(), message.isEmpty() ? QStringList{} : QStringList{message});
        if (!message.isEmpty()) {
            const bool emptyName = newName.isEmpty();
            QCOMPARE(env.messages.last().caption,
                     emptyName ? QStringLiteral("警告") : QStringLiteral("提示"));
            QCOMPARE(env.messages.last().icon,
                     emptyName ? Messages::Icon::Critical : Messages::Icon::Information);
        }
        QCOMPARE(env.notice(), notice);
        QCOMPARE(d.get<QLineEdit>("nameEdit")->text(), nameAfter);
        // Only attempts that reached the store tell the main window.
        QCOMPARE(changed.count(), newName.isEmpty() ? 0 : 1);
        QStringList names;
        if (lunar)
            env.store().GetHolidayNames(HolidayCalendar::Lunar, key, names);
        else
            env.store().GetHolidayNames(HolidayCalendar::Solar, QStringLiteral("0910"), names);
        QCOMPARE(names, namesOn0910);

        // A later duplicate enters Found again.
        if (!namesOn0910.isEmpty()) {
            d.fill(namesOn0910.first(), 9, 10, lunar);
            d.click("okButton");
            QVERIFY(d.found());
        }
    }

    // Only the pair of date and name counts; the solar and lunar tables are apart.
    void pairsThatAreNoDuplicates()
    {
        Env env;
        QVERIFY(env.started);
        const struct
        {
            const char16_t* name;
            int month, day;
            bool lunar;
        } adds[] = {
            {u"生日", 3, 5, false}, {u"生日", 8, 15, false}, {u"纪念日", 3, 5, false}, {u"生日", 3, 5, true}};
        for (const auto& add : adds) {
            Dialog d(env);
            d.fill(QString::fromUtf16(add.name), add.month, add.day, add.lunar);
            d.click("okButton");
            QCOMPARE(d.dlg.result(), int(QDialog::Accepted));
        }
        QCOMPARE(env.messages.count(), 0);
        QStringList names;
        QVERIFY(env.store().GetHolidayNames(HolidayCalendar::Solar, QStringLiteral("0305"), names));
        QCOMPARE(names, (QStringList{QStringLiteral("生日"), QStringLiteral("纪念日")}));
        QVERIFY(env.store().IsHolidayPresent(HolidayCalendar::Solar, QStringLiteral("0815"), QStringLiteral("生日")));
        QVERIFY(env.store().IsHolidayPresent(HolidayCalendar::Lunar, QStringLiteral("0305"), QStringLiteral("生日")));
        QVERIFY(!env.store().IsHolidayPresent(HolidayCalendar::Lunar, QStringLiteral("0305"), QStringLiteral("纪念日")));
    }

    void emptyNameOnAdd()
    {
        Env env;
        QVERIFY(env.started);
        Dialog d(env);
        QVERIFY(QTest::qWaitForWindowActive(&d.dlg));
        d.get<QComboBox>("monthList")->setFocus();
        d.click("okButton");
        QCOMPARE(env.messages.texts(), QStringList{QStringLiteral("节日名称不能为空")});
        QCOMPARE(env.messages.last().caption, QStringLiteral("警告"));
        QCOMPARE(env.messages.last().icon, Messages::Icon::Critical);
        QVERIFY(d.dlg.isVisible());
        QCOMPARE(QApplication::focusWidget(), d.get<QLineEdit>("nameEdit"));
        QString text;
        env.store().GetAllHolidaysText(text);
        QCOMPARE(text, QStringLiteral("阳历节日:\r\n") + kDashes + QStringLiteral("\r\n"));
    }

    // Wired as the main window wires it, the calendar shows the new holiday at its next paint.
    void mainWindowShowsTheAddedHoliday()
    {
        Env env;
        QVERIFY(env.started);
        CPlannerDlg planner(env.app.Context());
        planner.show();
        QVERIFY(QTest::qWaitForWindowExposed(&planner));
        QVERIFY(planner.DayView().holidayLines.isEmpty());
        Dialog d(env, &planner);
        connect(&d.dlg, &CHolidayDlg::HolidaysChanged, &planner, &CPlannerDlg::RefreshDayView);
        d.fill(QStringLiteral("校庆"), kToday.month(), kToday.day(), false);
        d.click("okButton");
        QCOMPARE(planner.DayView().holidayLines, QStringList{QStringLiteral("★_^-^) 校庆")});
    }

    void listText_data()
    {
        QTest::addColumn<QStringList>("solar"); // "key name"
        QTest::addColumn<QStringList>("lunar");
        QTest::addColumn<QString>("text");
        const QString solarHead = QStringLiteral("阳历节日:\r\n") + kDashes + QStringLiteral("\r\n");
        const QString lunarHead = QStringLiteral("\r\n农历节日:\r\n") + kDashes + QStringLiteral("\r\n");
        QTest::newRow("both") << QStringList{QStringLiteral("0101 元旦"), QStringLiteral("0910 教师节")}
                              << QStringList{QStringLiteral("0815 中秋")}
                              << solarHead + QStringLiteral("0101: 元旦\r\n0910: 教师节\r\n") + lunarHead +
                                     QStringLiteral("0815: 中秋\r\n");
        QTest::newRow("no lunar") << QStringList{QStringLiteral("1225 圣诞")} << QStringList{}
                                  << solarHead + QStringLiteral("1225: 圣诞\r\n") + lunarHead;
        QTest::newRow("no solar") << QStringList{} << QStringList{QStringLiteral("0101 春节")} << solarHead;
    }
    void listText()
    {
        QFETCH(QStringList, solar);
        QFETCH(QStringList, lunar);
        QFETCH(QString, text);
        Env env;
        QVERIFY(env.started);
        for (const QString& h : solar)
            QVERIFY(env.store().AddHoliday(HolidayCalendar::Solar, h.section(u' ', 0, 0), h.section(u' ', 1)));
        for (const QString& h : lunar)
            QVERIFY(env.store().AddHoliday(HolidayCalendar::Lunar, h.section(u' ', 0, 0), h.section(u' ', 1)));
        Dialog d(env);
        // "查看" opens the listing over the editor.
        QString title, listed, shown;
        bool readOnly = false;
        WhenModal([&](QDialog* list) {
            title = list->windowTitle();
            listed = qobject_cast<CHolidayListDlg*>(list)->Text();
            auto* edit = Child<QPlainTextEdit>(*list, "holidayText");
            shown = edit->toPlainText();
            readOnly = edit->isReadOnly();
            list->reject();
        });
        d.click("viewButton");
        QCOMPARE(title, QStringLiteral("显示全部节日信息"));
        QCOMPARE(listed, text);
        QCOMPARE(shown, QString(text).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
        QVERIFY(readOnly);
        QCOMPARE(env.messages.count(), 0);
    }
};

QTEST_MAIN(TestHolidayDlg)
#include "tst_holidaydlg.moc"
