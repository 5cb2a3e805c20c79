#include "FakeClock.h"
#include "GridMeasure.h"
#include "MessageRecorder.h"
#include "PlannerFixture.h"
#include "SoundRecorder.h"
#include "TestFiles.h"
#include "WidgetDriver.h"
#include "controls/GridCtrl.h"
#include "reminder/AlertShape.h"
#include "reminder/CountdownPage.h"
#include "reminder/ReminderAlertWnd.h"
#include "reminder/ReminderDlg.h"
#include "reminder/ReminderEditPage.h"
#include "reminder/ReminderManagePage.h"
#include "reminder/ReminderQueue.h"
#include "reminder/ReminderTodayPage.h"

#include <QCheckBox>
#include <QContextMenuEvent>
#include <QDateEdit>
#include <QLineEdit>
#include <QMenu>
#include <QRadioButton>
#include <QScreen>
#include <QTabWidget>
#include <QTimeEdit>
#include <memory>

namespace {
const QDateTime kNow(QDate(2026, 12, 6), QTime(8, 0, 0)); // a Sunday
constexpr int kRingSoundMs = 20;

/// A data folder with a database and a short ring, the clock at kNow, every box answered.
struct Fixture : PlannerFixture
{
    FakeClock clock{kNow};
    MessageRecorder messages;
    Fixture() { ok = ok && WriteAll(dir.filePath(QStringLiteral("ringin.wav")), WaveBytes(kRingSoundMs)); }
    bool add(const QTime& t, int mode, bool ring, const QString& title, const QString& content = {},
             const QDate& d = kNow.date())
    {
        return store.AddReminder(QDateTime(d, t), mode, ring ? 1 : 0, title, content);
    }
    QStringList stored() // "time mode ring title", in table order
    {
        QStringList t, m, r, ti, c, out;
        if (store.CountReminders() > 0)
            store.ListReminders(t, m, r, ti, c);
        for (qsizetype i = 0; i < t.size(); ++i)
            out << t.at(i) + u' ' + m.at(i) + u' ' + r.at(i) + u' ' + ti.at(i);
        return out;
    }
};

// Picks the item called \a text from the page's menu, as the right click would open it.
void Pick(CReminderManagePage& page, const QString& text)
{
    std::unique_ptr<QMenu> menu(page.BuildMenu(nullptr));
    for (QAction* a : menu->actions())
        if (a->text() == text)
            return a->trigger();
    qWarning("no menu item %s", qPrintable(text));
}

// Shows the page with the stored reminders and chooses \a row with a click; whether it is chosen.
bool ShowAndChoose(CReminderManagePage& page, int row)
{
    page.resize(600, 300);
    if (!ShowExposed(page))
        return false;
    page.Refresh();
    CGridCtrl* g = page.Grid();
    QTest::mouseClick(g->viewport(), Qt::LeftButton, {}, g->visualRect(g->model()->index(row, 2)).center());
    return page.SelectedRow() == row;
}

struct PaintCounter : QObject
{
    int n = 0;
    bool eventFilter(QObject*, QEvent* e) override
    {
        n += e->type() == QEvent::Paint;
        return false;
    }
};
} // namespace

class TestReminderWindows : public QObject
{
    Q_OBJECT

private slots:
    // Seven reminders of one second: the last stays on show, one ring of five sounds, each after the
    // other has ended and never waited on. One found five seconds late replaces the texts without
    // ringing again. A click puts the window away.
    void dueRemindersShowAndRing()
    {
        Fixture f;
        QVERIFY(f.ok);
        SoundRecorder sound;
        sound.busyOnSecondMs =
            3 * kRingSoundMs; // longer than the sound: a catching-up timer would cut rings short
        for (int i = 1; i <= 7; ++i)
            QVERIFY(
                f.add(QTime(8, 0, 0), 1, i == 3, QStringLiteral("r%1").arg(i), QStringLiteral("c%1").arg(i)));
        QVERIFY(f.add(QTime(8, 0, 1), 1, true, QStringLiteral("later"), QStringLiteral("two")));
        CReminderAlertWnd wnd(f.context);
        QVERIFY(!wnd.isVisible());
        QVERIFY(wnd.IsReloadPending() && !wnd.IsPolling());
        const QRect screen = QGuiApplication::primaryScreen()->geometry();
        QCOMPARE(wnd.WindowRect(), QRect(screen.right() + 1 - 240, screen.bottom() + 1 - 318, 240, 288));
        QVERIFY(wnd.windowFlags().testFlags(Qt::Tool | Qt::WindowStaysOnTopHint | Qt::FramelessWindowHint));
        wnd.OnReloadTimer();
        QVERIFY(wnd.IsPolling());
        wnd.OnPollTimer();
        QVERIFY(wnd.isVisible());
        // Which pixels of a picture are holes is the shape's own test's.
        QCOMPARE(wnd.mask(), AlertShape(QImage(QStringLiteral(":/reminder/221.png"))));
        QCOMPARE(wnd.pos(), wnd.WindowRect().topLeft());
        QCOMPARE(wnd.Title(), QStringLiteral("r7"));
        QCOMPARE(wnd.Queue()->Count(), 1);
        QTRY_COMPARE(sound.played().size(), 5);
        QCOMPARE(sound.played().first().path, f.dir.filePath(QStringLiteral("ringin.wav")));
        for (int i = 1; i < 5; ++i)
            QVERIFY2(sound.played().at(i).nAtMs - sound.played().at(i - 1).nAtMs >= kRingSoundMs - 5,
                     "a ring cut the one before short");
        PaintCounter paints;
        wnd.installEventFilter(&paints);
        f.clock.advance(6);
        wnd.OnPollTimer();
        QCOMPARE(wnd.Title(), QStringLiteral("later"));
        QCOMPARE(wnd.ContentLines(), QStringList{QStringLiteral("two")});
        QTRY_VERIFY(paints.n > 0);
        QTest::qWait(3 * CReminderAlertWnd::kRingMs);
        QCOMPARE(sound.played().size(), 5);
        QCOMPARE(wnd.Queue()->Count(), 0);
        QTest::mouseClick(&wnd, Qt::LeftButton, {}, QPoint(120, 200));
        QVERIFY(!wnd.isVisible());
    }

    // Left running overnight, or woken on a later day: the new day's reminders, without a ring.
    void newDayRebuildsQueue()
    {
        Fixture f;
        SoundRecorder sound;
        f.clock.set(QDateTime(kNow.date(), QTime(23, 59, 50)));
        QVERIFY(f.add(QTime(0, 0, 1), 1, false, QStringLiteral("daily")));
        QVERIFY(f.add(QTime(0, 0, 2), 0, false, QStringLiteral("tomorrow"), {}, kNow.date().addDays(1)));
        CReminderAlertWnd wnd(f.context);
        wnd.OnReloadTimer();
        wnd.OnPollTimer(); // today's daily one is long past
        QCOMPARE(wnd.Queue()->Count(), 0);
        wnd.OnPollTimer();
        QVERIFY(wnd.IsPolling());
        f.clock.set(QDateTime(kNow.date().addDays(1), QTime(0, 0, 1)));
        wnd.OnPollTimer();
        QCOMPARE(wnd.Title(), QStringLiteral("daily"));
        f.clock.advance(1);
        wnd.OnPollTimer();
        QCOMPARE(wnd.Title(), QStringLiteral("tomorrow"));
        QTest::qWait(3 * CReminderAlertWnd::kRingMs); // well past the moment it would ring
        QVERIFY(sound.played().isEmpty());
        wnd.hide();
        // woken from sleep two days on at ten: the daily one is more than 5 s past and dropped
        f.clock.set(QDateTime(kNow.date().addDays(3), QTime(10, 0, 0)));
        wnd.OnPollTimer();
        QCOMPARE(wnd.Queue()->Day(), kNow.date().addDays(3));
        QCOMPARE(wnd.Queue()->Count(), 0);
        QVERIFY(!wnd.isVisible());
    }

    // A save rebuilds the day after 1.6 s without polling; 355 reminders gone off hold back neither
    // the one saved for 25 s later nor the next, which keeps the mode and ring chosen.
    void saveRebuildsWholeDay()
    {
        Fixture f;
        // 355 saves in a row, without waiting for the disk after each
        QVERIFY(QSqlQuery(QSqlDatabase::database(f.store.ConnectionName()))
                    .exec(QStringLiteral("PRAGMA synchronous = OFF")));
        for (int i = 0; i < 355; ++i)
            QVERIFY(f.add(QTime(7, 0, 0).addSecs(i * 9), 1, false, QStringLiteral("gone off")));
        CReminderAlertWnd wnd(f.context);
        wnd.OnReloadTimer();
        wnd.OnPollTimer();
        QCOMPARE(wnd.Queue()->Count(), 0);
        CReminderEditPage page(f.context, &wnd);
        QVERIFY(ShowExposed(page));
        Click(page, "addButton");
        QTest::mouseClick(Child<QRadioButton>(page, "mode2"), Qt::LeftButton);
        QTest::mouseClick(Child<QCheckBox>(page, "ringCheck"), Qt::LeftButton); // on by default
        Child<QLineEdit>(page, "titleEdit")->setText(QStringLiteral("later"));
        Child<QTimeEdit>(page, "timePicker")->setTime(kNow.addSecs(25).time());
        Click(page, "saveButton");
        QCOMPARE(f.notices, QStringList{QStringLiteral("保存提醒信息到数据库成功")});
        QCOMPARE(f.stored().last(), QStringLiteral("2026-12-06 08:00:25 每周 否 later"));
        QVERIFY(wnd.IsReloadPending() && !wnd.IsPolling());
        auto* reload = Child<QTimer>(wnd, "reloadTimer");
        QCOMPARE(reload->interval(), 1600);
        reload->start(0); // the 1.6 s pass
        QTRY_VERIFY(wnd.IsPolling());
        QCOMPARE(wnd.Queue()->Count(), 1); // the day's past reminders are not loaded again
        for (int s = 2; s <= 25; ++s) {    // the poll timer's ticks after the reload
            f.clock.set(kNow.addSecs(s));
            wnd.OnPollTimer();
            QCOMPARE(wnd.isVisible(), s == 25);
        }
        QCOMPARE(wnd.Title(), QStringLiteral("later"));

        // "增加" clears the texts and sets the pickers to now, but keeps the mode and ring chosen.
        Click(page, "addButton");
        QVERIFY(Child<QLineEdit>(page, "titleEdit")->text().isEmpty());
        QCOMPARE(Child<QTimeEdit>(page, "timePicker")->time(), kNow.addSecs(25).time());
        QVERIFY(Child<QRadioButton>(page, "mode2")->isChecked());
        QVERIFY(!Child<QCheckBox>(page, "ringCheck")->isChecked());
    }

    void editPageSave_data()
    {
        QTest::addColumn<QString>("title");
        QTest::addColumn<int>("mode");
        QTest::addColumn<int>("offset");
        QTest::addColumn<bool>("storeOpen");
        QTest::addColumn<QString>("message");
        const QString past =
            QStringLiteral("一次性的定时提醒要求提醒时间必须\n在当前时间之后，请修改你的提醒时间");
        QTest::newRow("empty title") << QString() << 1 << 60 << true << QStringLiteral("信息标题不能为空");
        QTest::newRow("once, this second") << QStringLiteral("t") << 0 << 0 << true << past;
        QTest::newRow("once, a second ahead") << QStringLiteral("t") << 0 << 1 << true << QString();
        QTest::newRow("daily, a month ago") << QStringLiteral("t") << 1 << -30 * 86400 << true << QString();
        QTest::newRow("store fails") << QStringLiteral("t") << 4 << 60 << false
                                     << QStringLiteral("保存数据失败,请重试");
    }
    void editPageSave()
    {
        QFETCH(QString, title);
        QFETCH(int, mode);
        QFETCH(int, offset);
        QFETCH(bool, storeOpen);
        QFETCH(QString, message);
        Fixture f;
        f.clock.set(kNow.addMSecs(400));
        CReminderAlertWnd wnd(f.context);
        wnd.OnReloadTimer();
        CReminderEditPage page(f.context, &wnd);
        QVERIFY(ShowExposed(page));
        auto* save = Child<QPushButton>(page, "saveButton");
        QVERIFY(!save->isEnabled());
        Click(page, "addButton");
        QTest::mouseClick(Child<QRadioButton>(page, qPrintable(QStringLiteral("mode%1").arg(mode))),
                          Qt::LeftButton);
        QTest::keyClicks(Child<QLineEdit>(page, "titleEdit"), title);
        const QDateTime when = kNow.addSecs(offset);
        Child<QDateEdit>(page, "datePicker")->setDate(when.date());
        Child<QTimeEdit>(page, "timePicker")->setTime(when.time());
        if (!storeOpen)
            f.store.Close();
        QTest::mouseClick(save, Qt::LeftButton);
        if (message.isEmpty()) {
            QCOMPARE(f.messages.count(), 0);
            QCOMPARE(f.stored().size(), 1);
            QVERIFY(!save->isEnabled() && wnd.IsReloadPending());
            return;
        }
        QCOMPARE(f.messages.texts(), QStringList{message});
        QCOMPARE(f.messages.last().caption, QStringLiteral("警告"));
        QCOMPARE(f.messages.last().icon, Messages::Icon::Warning);
        QVERIFY(save->isEnabled() && wnd.IsPolling());
        if (storeOpen)
            QCOMPARE(f.stored().size(), 0);
    }

    // The lists' looks, the manage page's menu; the today page only today's.
    void listPages()
    {
        Fixture f;
        CReminderManagePage manage(f.context);
        CReminderTodayPage today(f.context);
        manage.Refresh();
        QCOMPARE(manage.Grid()->GetRowCount(), 1);
        QCOMPARE(manage.Grid()->GetItemText(0, 5), QStringLiteral("内容"));
        for (int i = 0; i < 12; ++i)
            QVERIFY(f.add(QTime(8 + i, 0, 0), i % 5, i % 2, QStringLiteral("r%1").arg(i), {},
                          kNow.date().addDays(i % 3)));
        manage.Refresh();
        today.Refresh();
        CGridCtrl* g = manage.Grid();
        QCOMPARE(g->GetRowCount(), 13);
        QCOMPARE(g->GetItemText(5, 0), QStringLiteral("5"));
        QCOMPARE(g->GetItemText(5, 3), QStringLiteral("每年"));
        QCOMPARE(g->GetItemImage(5, 0), 4);
        QCOMPARE(g->GetItemImage(3, 0), 2);
        QCOMPARE(g->GetItemBkColour(1, 2), QColor(255, 255, 255));
        QCOMPARE(g->GetItemBkColour(2, 2), QColor(255, 255, 153));
        // Sized to what they hold (how a grid finds its sizes is the grid's own test's).
        QCOMPARE(GridSizes(*g), MeasuredSizes(*g));
        QCOMPARE(GridSizes(*today.Grid()), MeasuredSizes(*today.Grid()));
        // Due this Sunday: once r0, daily r1 r6 r11, monthly r3, yearly r9; not the weekly ones.
        QStringList titles;
        for (int r = 1; r < today.Grid()->GetRowCount(); ++r)
            titles << today.Grid()->GetItemText(r, 2);
        QCOMPARE(titles, (QStringList{"r0", "r1", "r3", "r6", "r9", "r11"}));
        std::unique_ptr<QMenu> menu(manage.BuildMenu(nullptr));
        QStringList items;
        for (QAction* a : menu->actions())
            items << (a->isSeparator() ? QStringLiteral("-") : a->text() + (a->icon().isNull() ? "" : "+"));
        QCOMPARE(items, (QStringList{"打印提醒信息+", "-", "清除过期提醒+", "删除当前选中的记录+"}));
    }

    // A right click picks the row under the pointer; on a header or beside the rows none, and
    // delete then does nothing.
    void menuOnEveryPartOfTheGrid_data()
    {
        QTest::addColumn<int>("row"); // -1: below the last row
        QTest::addColumn<int>("col");
        QTest::addColumn<int>("chosen");
        QTest::newRow("header row") << 0 << 2 << -1;
        QTest::newRow("row-number column") << 2 << 0 << 2;
        QTest::newRow("data cell") << 2 << 3 << 2;
        QTest::newRow("empty part") << -1 << 2 << -1;
    }
    void menuOnEveryPartOfTheGrid()
    {
        QFETCH(int, row);
        QFETCH(int, col);
        QFETCH(int, chosen);
        Fixture f;
        for (int i = 0; i < 2; ++i)
            QVERIFY(f.add(QTime(9 + i, 0, 0), 1, true, QStringLiteral("r%1").arg(i + 1)));
        CReminderManagePage page(f.context);
        QVERIFY(ShowAndChoose(page, 1));
        CGridCtrl* g = page.Grid();

        const QRect last = g->visualRect(g->model()->index(2, col));
        const QPoint at = row >= 0 ? g->visualRect(g->model()->index(row, col)).center()
                                   : QPoint(last.center().x(), last.bottom() + 20);
        // The widget under the pointer gets the click: headers are views laid over the grid.
        QWidget* target = g->childAt(g->viewport()->mapTo(g, at));
        QVERIFY(target);
        const QPoint local = target->mapFromGlobal(g->viewport()->mapToGlobal(at));
        QTest::mousePress(target, Qt::RightButton, {}, local);
        QString opened;
        QTimer::singleShot(0, [&opened] {
            if (QWidget* popup = QApplication::activePopupWidget()) {
                opened = popup->objectName();
                popup->close();
            }
        });
        QContextMenuEvent menuEvent(QContextMenuEvent::Mouse, local, target->mapToGlobal(local));
        QApplication::sendEvent(target, &menuEvent);
        QTest::mouseRelease(target, Qt::RightButton, {}, local);
        QCOMPARE(opened, QStringLiteral("txmanager"));
        QCOMPARE(page.SelectedRow(), chosen);

        f.messages.setNextAnswer(QMessageBox::Cancel);
        Pick(page, QStringLiteral("删除当前选中的记录"));
        QCOMPARE(f.messages.texts(), chosen < 0
                                         ? QStringList()
                                         : QStringList{QStringLiteral("你确信要删除提醒{r%1}").arg(chosen)});
        QCOMPARE(f.stored().size(), 2); // cancelled, it says nothing more
        QCOMPARE(f.notices, QStringList());
    }

    // One of two identical reminders goes; one no longer stored ends with "删除失败".
    void deleteSelected_data()
    {
        QTest::addColumn<bool>("purgeFirst");
        QTest::newRow("one of two identical") << false;
        QTest::newRow("purged meanwhile") << true;
    }
    void deleteSelected()
    {
        QFETCH(bool, purgeFirst);
        Fixture f;
        for (int i = 0; i < 2; ++i)
            QVERIFY(f.add(QTime(7, 30, 0), 0, true, QStringLiteral("交作业"), QStringLiteral("it's due")));
        CReminderManagePage page(f.context);
        QVERIFY(ShowAndChoose(page, 2));
        if (purgeFirst)
            QVERIFY(f.store.PurgeExpiredReminders());
        Pick(page, QStringLiteral("删除当前选中的记录"));
        QCOMPARE(f.messages.requests().first().text, QStringLiteral("你确信要删除提醒{交作业}"));
        QCOMPARE(f.messages.requests().first().icon, Messages::Icon::Critical);
        QCOMPARE(f.stored().size(), purgeFirst ? 0 : 1);
        QCOMPARE(f.notices, purgeFirst ? QStringList() : QStringList{QStringLiteral("删除成功!")});
        QCOMPARE(f.messages.texts().mid(1),
                 purgeFirst ? QStringList{QStringLiteral("删除失败")} : QStringList());
        QCOMPARE(page.Grid()->GetRowCount(), purgeFirst ? 3 : 2);
    }

    // Only once-only reminders whose second has passed go; the clock stands at 08:00:00.500.
    void clearExpired_data()
    {
        QTest::addColumn<int>("answer");
        QTest::addColumn<int>("rows");
        QTest::newRow("OK") << int(QMessageBox::Ok) << 4; // only "a second ago" has passed
        QTest::newRow("Cancel") << int(QMessageBox::Cancel) << 5;
    }
    void clearExpired()
    {
        QFETCH(int, answer);
        Fixture f;
        f.clock.set(kNow.addMSecs(500));
        QVERIFY(f.add(QTime(7, 59, 59), 0, true, QStringLiteral("a second ago")));
        QVERIFY(f.add(QTime(8, 0, 0), 0, true, QStringLiteral("now")));
        QVERIFY(f.add(QTime(8, 0, 1), 0, true, QStringLiteral("next second")));
        QVERIFY(f.add(QTime(6, 0, 0), 1, true, QStringLiteral("daily")));
        CReminderManagePage page(f.context);
        page.Refresh();
        f.messages.setNextAnswer(QMessageBox::StandardButton(answer));
        Pick(page, QStringLiteral("清除过期提醒"));
        QCOMPARE(f.messages.texts(), QStringList{QStringLiteral("你确信要清除过期的提醒吗?")});
        QTEST(page.Grid()->GetRowCount(), "rows");
    }

    // Clock moved by hand, each tick at once: 00:00:00 alerts at the first tick; "停止" does not.
    // Hidden, it still alerts, and a busy moment does not make it late. Two hours at most.
    void countdownAlertStopAndHidden()
    {
        Fixture f;
        CReminderAlertWnd wnd(f.context);
        CReminderDlg dlg(f.context, &wnd);
        CCountdownPage& page = *dlg.CountdownPage();
        auto* tick = Child<QTimer>(page, "tickTimer");
        auto* duration = Child<QTimeEdit>(page, "durationPicker");
        const auto start = [&](const QTime& time) { duration->setTime(time), Click(page, "startButton"); };
        const auto tickAt = [&](int ms) { f.clock.set(kNow.addMSecs(ms)), tick->start(0); }; // at once
        dlg.show();
        dlg.Tabs()->setCurrentIndex(3);
        start(QTime(2, 0, 1));
        QCOMPARE(f.messages.texts(), QStringList{QStringLiteral("设置的时间超过2个小时了，请重新设置")});
        QVERIFY(!page.IsRunning() && !Child<QPushButton>(page, "stopButton")->isEnabled());
        QCOMPARE(page.DisplayText(), QStringLiteral("00:00:00"));
        start(QTime(2, 0, 0));
        QCOMPARE(page.DisplayText(), QStringLiteral("02:00:00"));
        QVERIFY(Child<QPushButton>(page, "stopButton")->isEnabled());
        Click(page, "stopButton");
        start(QTime(0, 0, 0));
        QVERIFY(tick->isActive() && tick->interval() == 1000);
        QVERIFY(!wnd.isVisible());
        tickAt(1000);
        QTRY_VERIFY(wnd.isVisible());
        QCOMPARE(wnd.Title(), QStringLiteral("倒计时提醒"));
        QCOMPARE(wnd.Content(), QStringLiteral("倒计时时间到"));
        wnd.hide();
        start(QTime(0, 0, 2));
        tickAt(2000);
        QTRY_COMPARE(page.DisplayText(), QStringLiteral("00:00:01"));
        Click(page, "stopButton");
        QCOMPARE(page.DisplayText(), QStringLiteral("00:00:00"));
        QVERIFY(!page.IsRunning()); // no tick is left to come, so no alert either
        QVERIFY(!wnd.isVisible());
        QVERIFY(Child<QPushButton>(page, "startButton")->isEnabled());

        start(QTime(0, 0, 5));
        dlg.close();
        QVERIFY(!dlg.isVisible());
        tickAt(3000);
        QTRY_COMPARE(page.DisplayText(), QStringLiteral("00:00:04"));
        tickAt(7000);
        QTRY_VERIFY(wnd.isVisible());
        QCOMPARE(page.DisplayText(), QStringLiteral("00:00:00"));
        QVERIFY(!page.IsRunning());
    }
};

QTEST_MAIN(TestReminderWindows)
#include "tst_reminderwindows.moc"
