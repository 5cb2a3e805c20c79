#include "Pixels.h"
#include "PlannerEnv.h"
#include "controls/GifPicture.h"
#include "controls/NotifyWnd.h"
#include "mainwnd/PlannerDlg.h"
#include "mainwnd/PlannerLayout.h"
#include "mainwnd/TaskList.h"

#include <QAbstractItemView>
#include <QCalendarWidget>
#include <QComboBox>
#include <QDateEdit>
#include <QLineEdit>
#include <QScrollBar>
#include <QTableWidget>
#include <QToolButton>

namespace {
const QString kOneInProgress = QStringLiteral("一天中只能存在一件事情是【进行中】状态");
const QStringList kTaskButtons{QStringLiteral("deleteButton"), QStringLiteral("postponeButton"),
                               QStringLiteral("stateButton")};
const QStringList kOtherButtons{QStringLiteral("statsButton"), QStringLiteral("programsButton")};
const QString kNotDone = QStringLiteral("未完成"), kDone = QStringLiteral("已完成"),
              kPostponed = QStringLiteral("已推迟"), kInProgress = QStringLiteral("进行中");

} // namespace

class TestPlannerDlg : public QObject
{
    Q_OBJECT

    std::unique_ptr<PlannerEnv> m_env;
    std::unique_ptr<CPlannerDlg> m_dlg;

    MessageRecorder& Messages() { return m_env->messages; }
    QTableWidget* List() { return Child<QTableWidget>(*m_dlg, "taskList"); }
    QWidget* Button(const char* name) { return Child(*m_dlg, name); }
    QCalendarWidget* Calendar() { return Child<QCalendarWidget>(*m_dlg, "monthCalendar"); }
    void Add(const QDate& day, const char* content, const QString& state)
    {
        QVERIFY(m_env->store().AddTask(day, QString::fromUtf8(content), state));
    }
    void Open()
    {
        m_dlg = std::make_unique<CPlannerDlg>(m_env->app.Context());
        QVERIFY(ShowExposed(*m_dlg));
    }
    // Each row as shown, with the task its first cell keeps: "text|state|content|state".
    QStringList Rows()
    {
        QStringList rows;
        for (int r = 0; r < List()->rowCount(); ++r) {
            const auto task = List()->item(r, 0)->data(CTaskList::TaskRole).value<TaskRow>();
            rows << List()->item(r, 0)->text() + u'|' + List()->item(r, 1)->text() + u'|' + task.strContent +
                        u'|' + task.strState;
        }
        return rows;
    }
    QPoint RowCentre(int row) { return List()->visualRect(List()->model()->index(row, 0)).center(); }
    void ClickRow(int row) { QTest::mouseClick(List()->viewport(), Qt::LeftButton, {}, RowCentre(row)); }
    // As the window system delivers it: a click, the second press as a double click, its release.
    void DoubleClickRow(int row, Qt::MouseButton button = Qt::LeftButton)
    {
        QTest::mouseClick(List()->viewport(), button, {}, RowCentre(row));
        QTest::mouseDClick(List()->viewport(), button, {}, RowCentre(row));
        QTest::mouseRelease(List()->viewport(), button, {}, RowCentre(row));
    }
    QStringList States(const QDate& day = kToday)
    {
        QStringList states;
        for (const QString& task : m_env->tasksOn(day))
            states << task.section(u'|', 1);
        return states;
    }
    // Which of the buttons under the list show: the task buttons share their places with two others.
    QStringList ShownButtons()
    {
        QStringList shown;
        for (const QString& name : kTaskButtons + kOtherButtons)
            if (Button(qPrintable(name))->isVisible())
                shown << name;
        return shown;
    }
    // The marker's row, read from where it stands on the screen.
    int MarkerRowOnScreen()
    {
        auto* marker = Child<CGifPicture>(*m_dlg, "inProgressMarker");
        if (!marker->isVisible() || !marker->IsPlaying())
            return -1;
        return List()->rowAt(
            List()->viewport()->mapFromGlobal(marker->mapToGlobal(marker->rect().center())).y());
    }
    // Whether the teaching week shows as the two digit pictures.
    bool WeekDrawn(int week)
    {
        const QImage shot = m_dlg->grab().toImage();
        for (auto [digit, at] : {std::pair{week / 10, PlannerLayout::kWeekTens},
                                 std::pair{week % 10, PlannerLayout::kWeekOnes}}) {
            const QImage art =
                QImage(QStringLiteral(":/mainwnd/digit%1.png").arg(digit)).convertToFormat(shot.format());
            if (shot.copy(QRect(at, art.size())) != art)
                return false;
        }
        return true;
    }
    // The timetable's caption, which names today's teaching week and weekday.
    QString TimetableCaption()
    {
        QString caption;
        WhenModal([&caption](QDialog* dlg) {
            caption = dlg->windowTitle();
            dlg->reject();
        });
        QTest::mouseClick(Button("timetableButton"), Qt::LeftButton);
        return caption.section(u'【', 1);
    }

private slots:
    void init()
    {
        m_env = std::make_unique<PlannerEnv>();
        QVERIFY(m_env->app.Startup());
    }
    void cleanup()
    {
        m_dlg.reset();
        m_env.reset();
    }

    void addingThroughTheHotArea()
    {
        Open();
        auto addWith = [&](const QString& content, int state) {
            WhenModal([content, state](QDialog* dlg) {
                Child<QLineEdit>(*dlg, "contentEdit")->setText(content);
                Child<QComboBox>(*dlg, "stateList")->setCurrentIndex(state);
                Click(*dlg, "okButton");
                if (dlg->isVisible()) // a refused add leaves the dialog open: the user gives up
                    dlg->reject();
            });
            QTest::mouseClick(m_dlg.get(), Qt::LeftButton, {}, PlannerLayout::kAddHot.center());
        };
        addWith(QString(), 0);
        QCOMPARE(Messages().texts(), QStringList{QStringLiteral("事情内容不能为空")});
        addWith(QStringLiteral("读书"), 0);
        addWith(QStringLiteral("读书"), 0);
        QCOMPARE(Messages().last().text, QStringLiteral("你要添加的事情已经存在"));
        QCOMPARE(Rows(), QStringList{QStringLiteral("  1、读书|未完成|读书|未完成")});
        // Adding does not hold to one task in progress: both are, and the marker stands at the lower.
        addWith(QStringLiteral("跑步"), 3);
        addWith(QStringLiteral("写信"), 3);
        QCOMPARE(States(), (QStringList{kNotDone, kInProgress, kInProgress}));
        QCOMPARE(MarkerRowOnScreen(), 2);

        // A dialog blocks only the main window: the pop-up's tab still pins it.
        CNotifyWnd* notice = m_env->app.NoticeWindow();
        m_env->app.ShowNotice(QStringLiteral("提示"), 1, 5, false);
        for (int step = 0; step <= CNotifyWnd::kSlideSteps; ++step) // up, and counting down
            notice->OnTimer(CNotifyWnd::SlideUpTimer);
        QVERIFY(notice->IsTimerRunning(CNotifyWnd::CountdownTimer));
        bool pinned = false;
        WhenModal([notice, &pinned](QDialog* dlg) {
            QTest::mouseClick(notice->windowHandle(), Qt::LeftButton, {}, QPoint(150, 30));
            pinned = !notice->IsTimerRunning(CNotifyWnd::CountdownTimer);
            dlg->reject();
        });
        QTest::mouseClick(m_dlg.get(), Qt::LeftButton, {}, PlannerLayout::kAddHot.center());
        QVERIFY(pinned);

        // A saved setting puts the window back in the middle of the screen, wherever it was moved.
        m_dlg->move(7, 9);
        WhenModal([](QDialog* dlg) { Click(*dlg, "saveButton"); });
        QTest::mouseClick(Button("settingsButton"), Qt::LeftButton);
        QCOMPARE(m_dlg->frameGeometry().center(), m_dlg->screen()->availableGeometry().center());
        QVERIFY(m_dlg->isVisible());
    }

    // One task in progress a day; the refusal's box takes the release that ends a double click,
    // and the next click still chooses its row.
    void statesThroughTheList()
    {
        Add(kToday, "会议、讨论", kNotDone);
        Add(kToday, "散步", kNotDone);
        Open();
        QCOMPARE(MarkerRowOnScreen(), -1);
        ClickRow(0);
        QCOMPARE(ShownButtons(), kTaskButtons);
        DoubleClickRow(1, Qt::RightButton); // only the left button's double click changes anything
        DoubleClickRow(1);
        QCOMPARE(States(), (QStringList{kNotDone, kInProgress}));
        QCOMPARE(MarkerRowOnScreen(), 1);
        // The quick change lets the row go and hides the task buttons, release and all.
        QCOMPARE(ShownButtons(), kOtherButtons);
        QVERIFY(Button("statsButton")->hasFocus());

        QTest::mouseClick(List()->viewport(), Qt::LeftButton, {}, RowCentre(0));
        QTest::mouseDClick(List()->viewport(), Qt::LeftButton, {}, RowCentre(0)); // no release follows
        QCOMPARE(Messages().texts(), QStringList{kOneInProgress});
        ClickRow(0);
        auto changeTo = [&](int index) {
            WhenModal([index](QDialog* dlg) {
                Child<QComboBox>(*dlg, "stateList")->setCurrentIndex(index);
                Click(*dlg, "okButton");
            });
            QTest::mouseClick(Button("stateButton"), Qt::LeftButton);
        };
        changeTo(3);
        QCOMPARE(Messages().texts(), (QStringList{kOneInProgress, kOneInProgress}));
        QCOMPARE(States(), (QStringList{kNotDone, kInProgress}));
        changeTo(1);
        QCOMPARE(States(), (QStringList{kDone, kInProgress}));
        QCOMPARE(ShownButtons(), kTaskButtons); // the row stays chosen
        DoubleClickRow(1);
        QCOMPARE(States(), (QStringList{kDone, kDone}));
        QCOMPARE(MarkerRowOnScreen(), -1);
        QCOMPARE(Messages().count(), 2);

        // Delete and postpone ask first; a content holding "、" is found again whole.
        ClickRow(0);
        Messages().setNextAnswer(QMessageBox::Cancel);
        QTest::mouseClick(Button("deleteButton"), Qt::LeftButton);
        QCOMPARE(Messages().last().text, QStringLiteral("你确信要删除{  1、会议、讨论}事情"));
        QCOMPARE(Messages().last().caption, QStringLiteral("警告"));
        QCOMPARE(List()->rowCount(), 2);

        QTest::mouseClick(Button("deleteButton"), Qt::LeftButton);
        QCOMPARE(Rows(), QStringList{QStringLiteral("  1、散步|已完成|散步|已完成")});
        QCOMPARE(ShownButtons(), kOtherButtons);

        ClickRow(0);
        Messages().clear();
        QTest::mouseClick(Button("postponeButton"), Qt::LeftButton);
        QCOMPARE(Messages().texts(),
                 QStringList{QStringLiteral("你确信要将事情{  1、散步}推迟到【第二天】吗?")});
        QCOMPARE(States(), QStringList{kPostponed});
        QCOMPARE(ShownButtons(), kOtherButtons);
        QCOMPARE(m_env->tasksOn(kToday.addDays(1)), QStringList{QStringLiteral("散步|未完成")});
    }

    void damagedTermKeepsWhatWasRead()
    {
        QVERIFY(
            m_env->exec(QStringLiteral("DELETE FROM xiaoli WHERE rowid = (SELECT max(rowid) FROM xiaoli)")));
        Open();
        QCOMPARE(Messages().texts(), QStringList{QStringLiteral("打开校历表错误")});
        QVERIFY(WeekDrawn(15)); // counted from the start that was read
    }

    // Enter asks the exit question wherever the focus is, the calendar too; a held one only once.
    void enterAsksToExit_data()
    {
        QTest::addColumn<QString>("focus");
        QTest::addColumn<int>("row"); // a cell to click: a day of the month, the task
        QTest::newRow("calendar") << QStringLiteral("qt_calendar_calendarview") << 2;
        QTest::newRow("task list") << QStringLiteral("taskList") << 0;
    }
    void enterAsksToExit()
    {
        QFETCH(QString, focus);
        QFETCH(int, row);
        Add(kToday, "读书", kNotDone);
        Open();
        auto* target = m_dlg->findChild<QAbstractItemView*>(focus);
        QVERIFY(target);
        QTest::mouseClick(target->viewport(), Qt::LeftButton, {},
                          target->visualRect(target->model()->index(row, 1)).center());
        QVERIFY(target->hasFocus());
        // Repeats of a held Enter ask nothing, also a repeat that came as an unmarked release and press.
        for (int i = 0; i < 3; ++i)
            qt_handleKeyEvent(m_dlg->windowHandle(), QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier,
                              QString(), true);
        for (QEvent::Type type : {QEvent::KeyRelease, QEvent::KeyPress}) {
            QKeyEvent repeat(type, Qt::Key_Return, Qt::NoModifier);
            repeat.setTimestamp(86400123);
            QApplication::sendEvent(target, &repeat);
        }
        QCOMPARE(Messages().texts(), QStringList());
        QTest::keyRelease(target, Qt::Key_Return); // let go, and press again
        Messages().setNextAnswer(QMessageBox::Cancel);
        QTest::keyClick(target, Qt::Key_Return);
        QCOMPARE(Messages().texts(), QStringList{QStringLiteral("你确信要退出系统吗?")});
        QVERIFY(m_dlg->isVisible());
    }

    // A past date's rows are white on red, unmarked, and cannot be chosen or changed. Exit puts
    // only the shown date's task in progress back to not done.
    void pastDatesAreReadOnlyAndExitResetsTheShownDate()
    {
        const QDate yesterday = kToday.addDays(-1);
        Add(yesterday, "昨天的事", kInProgress);
        Add(kToday, "今天在做", kInProgress);
        Add(kToday.addDays(1), "明天在做", kInProgress);
        Open();
        ClickRow(0);
        QCOMPARE(ShownButtons(), kTaskButtons);
        m_dlg->PickDate(yesterday);
        QCOMPARE(ShownButtons(), kOtherButtons);
        QCOMPARE(Rows(), QStringList{QStringLiteral("  1、昨天的事|进行中|昨天的事|进行中")});
        QCOMPARE(List()->item(0, 0)->background().color(), QColor(238, 0, 0));
        QCOMPARE(List()->item(0, 0)->foreground().color(), QColor(Qt::white));
        QCOMPARE(MarkerRowOnScreen(), -1);
        ClickRow(0);
        QCOMPARE(ShownButtons(), kOtherButtons);
        DoubleClickRow(0);
        QCOMPARE(States(yesterday), QStringList{kInProgress});
        m_dlg->PickDate(kToday);
        QCOMPARE(List()->item(0, 0)->foreground().color(), QColor(0, 0, 200));

        Messages().setNextAnswer(QMessageBox::Cancel);
        QTest::mouseClick(Button("exitButton"), Qt::LeftButton);
        QVERIFY(m_dlg->isVisible());
        QCOMPARE(States(), QStringList{kInProgress});
        QTest::keyClick(m_dlg.get(), Qt::Key_Escape); // Esc asks too
        QCOMPARE(Messages().texts(), QStringList(2, QStringLiteral("你确信要退出系统吗?")));
        QVERIFY(!m_dlg->isVisible());
        QCOMPARE(States(), QStringList{kNotDone});
        QCOMPARE(States(yesterday) + States(kToday.addDays(1)), (QStringList{kInProgress, kInProgress}));
    }

    void clickOnTheMarkedDayOutOfTerm()
    {
        const QDate lastDay(2026, 11, 30);
        QVERIFY(m_env->store().SaveSchoolCalendar(QDate(2026, 9, 1).startOfDay(), lastDay.startOfDay()));
        Add(lastDay, "期末", kDone);
        Open();
        QCOMPARE(Calendar()->selectedDate(), lastDay);
        QCOMPARE(m_dlg->DayView().strLunar, SolarToLunar(kToday).strText);
        QCOMPARE(List()->rowCount(), 0);
        auto* view = Child<QAbstractItemView>(*Calendar(), "qt_calendar_calendarview");
        QModelIndex cell; // the last "30" on the page is 30 November
        for (int r = 0; r < view->model()->rowCount(); ++r)
            for (int c = 0; c < view->model()->columnCount(); ++c)
                if (view->model()->index(r, c).data().toString() == QStringLiteral("30"))
                    cell = view->model()->index(r, c);
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->visualRect(cell).center());
        QCOMPARE(m_dlg->DayView().strLunar, SolarToLunar(lastDay).strText);
        QCOMPARE(Rows(), QStringList{QStringLiteral("  1、期末|已完成|期末|已完成")});

        // The month arrows, drawn by the program: each points its way (the arrow's head, the
        // wider part of its white, on that side), and the one that cannot go on is grey.
        const auto arrow = [this](const char* name, QIcon::Mode mode) {
            return Child<QToolButton>(*Calendar(), name)->icon().pixmap(QSize(32, 32), mode).toImage();
        };
        const auto whiteOn = [](const QImage& image, int left) {
            int count = 0;
            for (int y = 0; y < image.height(); ++y)
                for (int x = left; x < left + image.width() / 2; ++x)
                    count += image.pixelColor(x, y).lightness() > 240 && image.pixelColor(x, y).alpha() > 200;
            return count;
        };
        const QImage prev = arrow("qt_calendar_prevmonth", QIcon::Normal);
        const QImage next = arrow("qt_calendar_nextmonth", QIcon::Normal);
        QVERIFY(whiteOn(prev, 0) > whiteOn(prev, 16));
        QVERIFY(whiteOn(next, 16) > whiteOn(next, 0));
        QVERIFY(!Child<QToolButton>(*Calendar(), "qt_calendar_nextmonth")->isEnabled());
        const auto green = [](const QColor& c) { return c.alpha() > 200 && c.hsvSaturation() > 100; };
        QVERIFY(!InkBox(next, next.rect(), green).isEmpty());
        QVERIFY(InkBox(arrow("qt_calendar_nextmonth", QIcon::Disabled), next.rect(), green).isEmpty());
    }

    // The columns fill the visible width; from fourteen rows on the scroll bar takes its room.
    void fourteenTasksMakeRoomForTheScrollBar_data()
    {
        QTest::addColumn<int>("tasks");
        QTest::newRow("thirteen") << 13;
        QTest::newRow("fourteen") << 14;
    }
    void fourteenTasksMakeRoomForTheScrollBar()
    {
        QFETCH(int, tasks);
        for (int i = 0; i < tasks; ++i)
            QVERIFY(m_env->store().AddTask(kToday, QStringLiteral("事情%1").arg(i), kNotDone));
        Open();
        QCOMPARE(List()->verticalScrollBar()->isVisible(), tasks > 13);
        const int right = List()->columnViewportPosition(1) + List()->columnWidth(1);
        QVERIFY2(right <= List()->viewport()->width() && right >= List()->viewport()->width() - 3,
                 qPrintable(QString::number(right)));
        QCOMPARE(List()->item(tasks - 1, 0)->text(), QStringLiteral(" %1、事情%2").arg(tasks).arg(tasks - 1));
    }

    // Three holiday lines drawn whole. A failing table says so once per date shown, never from a
    // paint, and the window lives on.
    void holidayLinesOfTheDate()
    {
        const QDate day(2026, 12, 25);
        QVERIFY(m_env->store().AddHoliday(HolidayCalendar::Solar, QStringLiteral("1225"),
                                          QStringLiteral("圣诞节")));
        QVERIFY(m_env->store().AddHoliday(HolidayCalendar::Solar, QStringLiteral("1225"),
                                          QStringLiteral("行宪纪念日")));
        QVERIFY(m_env->store().AddHoliday(HolidayCalendar::Lunar, SolarToLunar(day).strKey,
                                          QStringLiteral("妈妈生日")));
        Open();
        m_dlg->PickDate(day);
        QCOMPARE(m_dlg->DayView().holidayLines,
                 (QStringList{QStringLiteral("★_^-^) 圣诞节"), QStringLiteral("★_^-^) 行宪纪念日"),
                              QStringLiteral("▲_^-^) 妈妈生日")}));
        const QImage shot = m_dlg->grab().toImage();
        const QRect area(PlannerLayout::kHolidays.topLeft() * shot.devicePixelRatio(),
                         PlannerLayout::kHolidays.size() * shot.devicePixelRatio());
        int bands = 0;
        for (int y = area.top(), inText = 0; y <= area.bottom(); ++y) {
            const int text = !InkBox(shot, QRect(area.left(), y, area.width(), 1), [](const QColor& c) {
                                  return c.blue() > 120 && c.red() < 90 && c.green() < 90;
                              }).isEmpty();
            bands += text && !inText;
            inText = text;
        }
        QCOMPARE(bands, 3);

        // A solar term heads the area in the lunar line's green, and the view keeps its moment.
        auto greenInk = [](const QColor& c) { return c.green() > 60 && c.red() < 40 && c.blue() < 40; };
        QVERIFY(InkBox(shot, area, greenInk).isEmpty());
        m_dlg->PickDate(QDate(2026, 12, 22));
        QCOMPARE(m_dlg->DayView().strTerm, QStringLiteral("冬至"));
        QCOMPARE(m_dlg->DayView().strTermMoment, QStringLiteral("冬至 12月22日 04:50"));
        const QImage termShot = m_dlg->grab().toImage();
        const QRect green = InkBox(termShot, area, greenInk);
        QVERIFY(!green.isEmpty());
        QVERIFY(green.bottom() < area.top() + area.height() / 3);
        m_dlg->PickDate(day);

        const QString failed = QStringLiteral("打开阳历节日表错误");
        QVERIFY(m_env->exec(QStringLiteral("DROP TABLE yljrb")));
        m_dlg->PickDate(kToday);
        for (int i = 0; i < 3; ++i)
            m_dlg->repaint();
        QCOMPARE(Messages().texts(), QStringList{failed});
        m_dlg->PickDate(day);
        m_dlg->repaint();
        QCOMPARE(Messages().texts(), (QStringList{failed, failed}));
        QVERIFY(m_dlg->isVisible());
        QCOMPARE(m_dlg->DayView().strLunar, SolarToLunar(day).strText);
        QCOMPARE(m_dlg->DayView().holidayLines, QStringList{QStringLiteral("▲_^-^) 妈妈生日")});
    }

    // The view draws the shown date's week; the timetable today's, changed only by a saved calendar.
    void teachingWeekOfTheViewAndOfToday()
    {
        Open();
        QVERIFY(WeekDrawn(15)); // the new folder's term starts 2026-09-01
        QCOMPARE(TimetableCaption(), QStringLiteral("今天是:第15周 星期一】"));
        m_dlg->PickDate(QDate(2026, 9, 14));
        QVERIFY(WeekDrawn(3));
        QCOMPARE(TimetableCaption(), QStringLiteral("今天是:第15周 星期一】"));
        WhenModal([](QDialog* dlg) {
            Child<QDateEdit>(*dlg, "startPicker")->setDate(QDate(2026, 11, 30));
            Child<QDateEdit>(*dlg, "endPicker")->setDate(QDate(2027, 2, 5));
            Click(*dlg, "okButton");
        });
        QTest::mouseClick(m_dlg.get(), Qt::LeftButton, {}, PlannerLayout::kSchoolHot.center());
        QCOMPARE(Calendar()->minimumDate(), QDate(2026, 11, 30));
        QCOMPARE(Calendar()->maximumDate(), QDate(2027, 2, 5));
        QVERIFY(WeekDrawn(2));
        QCOMPARE(TimetableCaption(), QStringLiteral("今天是:第2周 星期一】"));
    }
};

QTEST_MAIN(TestPlannerDlg)
#include "tst_plannerdlg.moc"
