// The holiday editor and the listing of all holidays, driven as a person would.
#include "PlannerEnv.h"
#include "holiday/HolidayDlg.h"
#include "holiday/HolidayListDlg.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QtTest>
#include <memory>

using namespace Qt::StringLiterals;

namespace {
const QString kExists = u"该节日已经存在，请进行删除或修改操作"_s;
const QString kDashes = u"--------------------------"_s;

struct Env : PlannerEnv
{
    bool started = app.Startup();
};

/// The holiday dialog with its controls, as the user sees it.
struct Dialog
{
    explicit Dialog(Env& env, QWidget* parent = nullptr) : dlg(env.app.Context(), parent)
    {
        if (!ShowExposed(dlg))
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
    /// Whether rename and delete can be used (a found holiday), each: "00" when neither.
    QString found()
    {
        return QString::number(get<QPushButton>("renameButton")->isEnabled()) +
               QString::number(get<QPushButton>("deleteButton")->isEnabled());
    }

    CHolidayDlg dlg;
};
} // namespace

class TestHolidayDlg : public QObject
{
    Q_OBJECT

private slots:
    // The key is month and day with two digits each; the check box picks the table. Only the
    // pair of date and name makes a duplicate, and the solar and lunar tables are apart. An
    // empty name is refused, with the focus on it, and nothing stored.
    void addStoresUnderItsKey()
    {
        Env env;
        QVERIFY(env.started);
        {
            Dialog d(env);
            QVERIFY(QTest::qWaitForWindowActive(&d.dlg));
            d.get<QComboBox>("monthList")->setFocus();
            d.click("okButton");
            QCOMPARE(env.messages.texts(), QStringList{u"节日名称不能为空"_s});
            QCOMPARE(env.messages.last().caption, u"警告"_s);
            QCOMPARE(env.messages.last().icon, Messages::Icon::Critical);
            QVERIFY(d.dlg.isVisible());
            QCOMPARE(QApplication::focusWidget(), d.get<QLineEdit>("nameEdit"));
            QString text;
            env.store().GetAllHolidaysText(text);
            QCOMPARE(text, u"阳历节日:\r\n"_s + kDashes + u"\r\n"_s);
            env.messages.clear();
        }
        const struct
        {
            const char16_t* name;
            int month, day;
            bool lunar;
            const char16_t* key;
        } adds[] = {{u"教师节", 1, 1, false, u"0101"}, {u"教师节", 12, 31, false, u"1231"},
                    {u"教师节", 12, 1, true, u"1201"}, {u"教师节", 2, 31, true, u"0231"},
                    {u"生日", 3, 5, false, u"0305"},   {u"生日", 8, 15, false, u"0815"},
                    {u"纪念日", 3, 5, false, u"0305"}, {u"生日", 3, 5, true, u"0305"}};
        for (const auto& add : adds) {
            const QString name = QString::fromUtf16(add.name), key = QString::fromUtf16(add.key);
            Dialog d(env);
            QSignalSpy changed(&d.dlg, &CHolidayDlg::HolidaysChanged);
            d.fill(name, add.month, add.day, add.lunar);
            d.click("okButton");
            QCOMPARE(d.dlg.result(), int(QDialog::Accepted));
            QVERIFY(!d.dlg.isVisible());
            QCOMPARE(changed.count(), 1);
            QCOMPARE(env.store().IsHolidayPresent(HolidayCalendar::Lunar, key, name), add.lunar);
            // (A solar 生日 on 0305 came before the lunar one.)
            QCOMPARE(env.store().IsHolidayPresent(HolidayCalendar::Solar, key, name),
                     !add.lunar || key == u"0305"_s);
        }
        QCOMPARE(env.messages.count(), 0);
        QStringList names;
        QVERIFY(env.store().GetHolidayNames(HolidayCalendar::Solar, u"0305"_s, names));
        QCOMPARE(names, (QStringList{u"生日"_s, u"纪念日"_s}));
        QVERIFY(!env.store().IsHolidayPresent(HolidayCalendar::Lunar, u"0305"_s, u"纪念日"_s));
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
        const auto row = [](const char* name, bool lunar, const char* button, const char16_t* newName,
                            int newDay, const QStringList& namesOn0910, const char16_t* notice,
                            const char16_t* message, const char16_t* nameAfter) {
            QTest::newRow(name) << lunar << QString::fromLatin1(button) << QString::fromUtf16(newName)
                                << newDay << namesOn0910 << QString::fromUtf16(notice)
                                << QString::fromUtf16(message) << QString::fromUtf16(nameAfter);
        };
        const QStringList kept{u"教师节"_s}, renamed{u"敬师日"_s};
        row("rename", false, "renameButton", u"敬师日", 10, renamed, u"节日信息已成功修改", u"", u"敬师日");
        row("rename, lunar", true, "renameButton", u"敬师日", 10, renamed, u"节日信息已成功修改", u"",
            u"敬师日");
        row("rename under another date fails", false, "renameButton", u"敬师日", 11, kept, u"",
            u"节日信息修改失败", u"敬师日");
        row("rename to an empty name", false, "renameButton", u"", 10, kept, u"", u"节日名称不能为空", u"");
        row("delete", false, "deleteButton", u"教师节", 10, {}, u"节日信息已成功删除", u"", u"");
        row("delete, lunar", true, "deleteButton", u"教师节", 10, {}, u"节日信息已成功删除", u"", u"");
        row("delete of a name not there", false, "deleteButton", u"国庆节", 10, kept, u"",
            u"节日信息删除失败", u"国庆节");
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
        Env env;
        QVERIFY(env.started);
        const QString key = u"0910"_s;
        const HolidayCalendar calendar = lunar ? HolidayCalendar::Lunar : HolidayCalendar::Solar;
        QVERIFY(env.store().AddHoliday(calendar, key, u"教师节"_s));
        Dialog d(env);
        QSignalSpy changed(&d.dlg, &CHolidayDlg::HolidaysChanged);
        QCOMPARE(d.found(), u"00"_s);
        d.fill(u"教师节"_s, 9, 10, lunar);
        d.click("okButton");
        QCOMPARE(env.messages.texts(), QStringList{kExists});
        QCOMPARE(env.messages.last().caption, u"警告"_s);
        QCOMPARE(env.messages.last().icon, Messages::Icon::Warning);
        QVERIFY(d.dlg.isVisible());
        QCOMPARE(d.found(), u"11"_s);
        QCOMPARE(changed.count(), 0);

        env.messages.clear();
        d.get<QLineEdit>("nameEdit")->setText(newName);
        d.get<QComboBox>("dayList")->setCurrentIndex(newDay - 1);
        d.click(button.toLatin1().constData());
        QCOMPARE(d.found(), u"00"_s);
        QVERIFY(d.dlg.isVisible());
        QCOMPARE(env.messages.texts(), message.isEmpty() ? QStringList{} : QStringList{message});
        if (!message.isEmpty()) {
            const bool emptyName = newName.isEmpty();
            QCOMPARE(env.messages.last().caption, emptyName ? u"警告"_s : u"提示"_s);
            QCOMPARE(env.messages.last().icon,
                     emptyName ? Messages::Icon::Critical : Messages::Icon::Information);
        }
        QCOMPARE(env.notice(), notice);
        QTEST(d.get<QLineEdit>("nameEdit")->text(), "nameAfter");
        // Only attempts that reached the store tell the main window.
        QCOMPARE(changed.count(), newName.isEmpty() ? 0 : 1);
        QStringList names;
        env.store().GetHolidayNames(calendar, key, names);
        QCOMPARE(names, namesOn0910);

        // A later duplicate enters Found again.
        if (!namesOn0910.isEmpty()) {
            d.fill(namesOn0910.first(), 9, 10, lunar);
            d.click("okButton");
            QCOMPARE(d.found(), u"11"_s);
        }
    }

    void listText_data()
    {
        QTest::addColumn<QStringList>("solar"); // "key name"
        QTest::addColumn<QStringList>("lunar");
        QTest::addColumn<QString>("text");
        const QString solarHead = u"阳历节日:\r\n"_s + kDashes + u"\r\n"_s;
        const QString lunarHead = u"\r\n农历节日:\r\n"_s + kDashes + u"\r\n"_s;
        QTest::newRow("both") << QStringList{u"0101 元旦"_s, u"0910 教师节"_s} << QStringList{u"0815 中秋"_s}
                              << solarHead + u"0101: 元旦\r\n0910: 教师节\r\n"_s + lunarHead +
                                     u"0815: 中秋\r\n"_s;
        QTest::newRow("no lunar") << QStringList{u"1225 圣诞"_s} << QStringList{}
                                  << solarHead + u"1225: 圣诞\r\n"_s + lunarHead;
        QTest::newRow("no solar") << QStringList{} << QStringList{u"0101 春节"_s} << solarHead;
    }
    void listText()
    {
        QFETCH(QStringList, solar);
        QFETCH(QStringList, lunar);
        QFETCH(QString, text);
        Env env;
        QVERIFY(env.started);
        for (const QString& h : solar)
            QVERIFY(
                env.store().AddHoliday(HolidayCalendar::Solar, h.section(u' ', 0, 0), h.section(u' ', 1)));
        for (const QString& h : lunar)
            QVERIFY(
                env.store().AddHoliday(HolidayCalendar::Lunar, h.section(u' ', 0, 0), h.section(u' ', 1)));
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
        QCOMPARE(title, u"显示全部节日信息"_s);
        QCOMPARE(listed, text);
        QCOMPARE(shown, QString(text).replace(u"\r\n"_s, u"\n"_s));
        QVERIFY(readOnly);
        QCOMPARE(env.messages.count(), 0);
    }
};

QTEST_MAIN(TestHolidayDlg)
#include "tst_holidaydlg.moc"
