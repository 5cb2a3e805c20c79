// The main window driven as a person would: clicks on the calendar, the list and the hot
// areas, with every message box answered by the recorder.
#include "FakeClock.h"
#include "MessageRecorder.h"
#include "app/PlannerApp.h"
#include "controls/BalloonTip.h"
#include "controls/GifPicture.h"
#include "controls/NotifyWnd.h"
#include "mainwnd/PlannerDlg.h"
#include "mainwnd/PlannerLayout.h"
#include "store/TaskRecord.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QCalendarWidget>
#include <QComboBox>
#include <QDateEdit>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>
#include <functional>

namespace {

const QDate kToday(2026, 12, 7); // a Monday in the term the new data folder starts with
const QString kOneInProgress = QStringLiteral("一天中只能存在一件事情是【进行中】状态");

// Runs \a act on the next modal dialog of type T once it is open (for dialogs run with exec).
template <typename T>
void WhenModal(std::function<void(T*)> act)
{
    QTimer::singleShot(0, [act] {
        QDeadlineTimer deadline(5000);
        while (!deadline.hasExpired()) {
            if (auto* dlg = qobject_cast<T*>(QApplication::activeModalWidget())) {
                act(dlg);
                return;
            }
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        }
        qWarning("no modal dialog appeared");
    });
}

void ChooseState(QWidget* dlg, int index)
{
    QWidget* list = dlg->findChild<QWidget*>(QStringLiteral("stateList"));
    QVERIFY(list);
    if (auto* combo = qobject_cast<QComboBox*>(list))
        combo->setCurrentIndex(index);
    else if (auto* items = qobject_cast<QListWidget*>(list))
        items->setCurrentRow(index);
}

void Click(QWidget* dlg, const char* name)
{
    auto* button = dlg->findChild<QPushButton*>(QLatin1String(name));
    QVERIFY2(button, name);
    QTest::mouseClick(button, Qt::LeftButton);
}

} // namespace

class TestPlannerDlg : public QObject
{
    Q_OBJECT

    std::unique_ptr<FakeClock> m_clock;
    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<CPlannerApp> m_app;
    std::unique_ptr<MessageRecorder> m_messages;
    std::unique_ptr<CPlannerDlg> m_dlg;

    CDataStore& Store() { return m_app->m_dataStore; }
    QTableWidget* List() { return m_dlg->findChild<QTableWidget*>(QStringLiteral("taskList")); }
    QWidget* Button(const char* name) { return m_dlg->findChild<QPushButton*>(QLatin1String(name)); }
    QString Cell(int row, int column) { return List()->item(row, column) ? List()->item(row, column)->text() : QString(); }

    void Open()
    {
        m_dlg = std::make_unique<CPlannerDlg>();
        m_dlg->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_dlg.get()));
    }
    void ClickRow(int row)
    {
        QTableWidget* list = List();
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualRect(list->model()->index(row, 0)).center());
    }
    // A double click as the window system delivers it: a click, then the second press as a
    // double click, then its release.
    void DoubleClickRow(int row, Qt::MouseButton button = Qt::LeftButton)
    {
        QTableWidget* list = List();
        const QPoint at = list->visualRect(list->model()->index(row, 0)).center();
        QTest::mouseClick(list->viewport(), button, {}, at);
        QTest::mouseDClick(list->viewport(), button, {}, at);
        QTest::mouseRelease(list->viewport(), button, {}, at);
    }
    QStringList States()
    {
        QStringList contents, states;
        Store().ListTasksOfDay(m_dlg->m_dtSelected.date(), contents, states);
        return states;
    }
    // The marker's row, read from where it stands on the screen.
    int MarkerRowOnScreen()
    {
        auto* marker = m_dlg->findChild<CGifPicture*>(QStringLiteral("inProgressMarker"));
        if (!marker || !marker->isVisible())
            return -1;
        QTableWidget* list = List();
        const QPoint centre = list->viewport()->mapFrom(m_dlg.get(), marker->geometry().center());
        return list->rowAt(centre.y());
    }

private slots:
    void init()
    {
        m_clock = std::make_unique<FakeClock>(QDateTime(kToday, QTime(10, 30)));
        m_dir = std::make_unique<QTemporaryDir>();
        m_messages = std::make_unique<MessageRecorder>();
        m_app = std::make_unique<CPlannerApp>(
            QStringList{QStringLiteral("Kestrum"), QStringLiteral("--data-dir"), m_dir->filePath(QStringLiteral("data"))});
        QVERIFY(m_app->Startup());
    }
    void cleanup()
    {
        m_dlg.reset();
        m_app->ExitInstance();
        m_app.reset();
        m_messages.reset();
        m_dir.reset();
        m_clock.reset();
    }

    void addingThroughTheHotArea()
    {
        Open();
        auto addWith = [&](const QString& content, int state) {
            WhenModal<QDialog>([content, state](QDialog* dlg) {
                dlg->findChild<QLineEdit*>(QStringLiteral("contentEdit"))->setText(content);
                ChooseState(dlg, state);
                Click(dlg, "okButton");
                // A refused add leaves the dialog open: the user gives up.
                if (dlg->isVisible())
                    dlg->reject();
            });
            QTest::mouseClick(m_dlg.get(), Qt::LeftButton, {}, PlannerLayout::kAddHot.center());
        };
        addWith(QString(), 0);
        QCOMPARE(m_messages->texts(), QStringList{QStringLiteral("事情内容不能为空")});
        QCOMPARE(m_dlg->m_nTaskCount, 0);

        addWith(QStringLiteral("读书"), 0);
        QCOMPARE(m_dlg->m_nTaskCount, 1);
        QCOMPARE(Cell(0, 0), QStringLiteral("  1、读书"));
        QCOMPARE(Cell(0, 1), QStringLiteral("未完成"));

        m_messages->clear();
        addWith(QStringLiteral("读书"), 0);
        QCOMPARE(m_messages->texts(), QStringList{QStringLiteral("你要添加的事情已经存在")});
        QCOMPARE(m_dlg->m_nTaskCount, 1);

        // Adding does not hold to one task in progress: both are, and the marker stands at the lower.
        addWith(QStringLiteral("跑步"), 3);
        addWith(QStringLiteral("写信"), 3);
        QCOMPARE(States(), (QStringList{QStringLiteral("未完成"), QStringLiteral("进行中"), QStringLiteral("进行中")}));
        QCOMPARE(m_dlg->MarkerRow(), 2);
        QCOMPARE(MarkerRowOnScreen(), 2);
    }

    // A dialog blocks only the main window: the pop-up's tab still pins it, clicked as the
    // window system delivers clicks.
    void noticeStaysUsableUnderADialog()
    {
        Open();
        CNotifyWnd* notice = m_app->NoticeWindow();
        m_app->ShowNotice(QStringLiteral("提示"), 1, 5, false);
        for (int step = 0; step <= CNotifyWnd::kSlideSteps; ++step) // up, and counting down
            notice->OnTimer(CNotifyWnd::SlideUpTimer);
        QVERIFY(notice->IsTimerRunning(CNotifyWnd::CountdownTimer));
        bool pinned = false;
        WhenModal<QDialog>([notice, &pinned](QDialog* dlg) {
            QTest::mouseClick(notice->windowHandle(), Qt::LeftButton, {}, QPoint(150, 30));
            pinned = !notice->IsTimerRunning(CNotifyWnd::CountdownTimer);
            dlg->reject();
        });
        QTest::mouseClick(m_dlg.get(), Qt::LeftButton, {}, PlannerLayout::kAddHot.center());
        QVERIFY(pinned);
    }

    void changeStateHoldsOneTaskInProgress()
    {
        QVERIFY(Store().AddTask(kToday, QStringLiteral("早读"), TaskStates::InProgress()));
        QVERIFY(Store().AddTask(kToday, QStringLiteral("备课"), TaskStates::NotDone()));
        Open();
        ClickRow(1);
        QVERIFY(Button("stateButton")->isVisible());
        QCOMPARE(m_dlg->m_nSelTask, 1);

        WhenModal<QDialog>([](QDialog* dlg) {
            ChooseState(dlg, 3);
            Click(dlg, "okButton");
        });
        QTest::mouseClick(Button("stateButton"), Qt::LeftButton);
        QCOMPARE(m_messages->texts(), QStringList{kOneInProgress});
        QCOMPARE(States(), (QStringList{QStringLiteral("进行中"), QStringLiteral("未完成")}));

        WhenModal<QDialog>([](QDialog* dlg) {
            ChooseState(dlg, 1);
            Click(dlg, "okButton");
        });
        QTest::mouseClick(Button("stateButton"), Qt::LeftButton);
        QCOMPARE(States(), (QStringList{QStringLiteral("进行中"), QStringLiteral("已完成")}));

        // OK without touching the list keeps the state the dialog opened with.
        ClickRow(0);
        WhenModal<QDialog>([](QDialog* dlg) { Click(dlg, "okButton"); });
        m_messages->clear();
        QTest::mouseClick(Button("stateButton"), Qt::LeftButton);
        QCOMPARE(States().first(), QStringLiteral("进行中"));
    }

    void doubleClickStartsAndFinishes()
    {
        QVERIFY(Store().AddTask(kToday, QStringLiteral("第一件"), TaskStates::NotDone()));
        QVERIFY(Store().AddTask(kToday, QStringLiteral("第二件"), TaskStates::NotDone()));
        Open();
        QCOMPARE(MarkerRowOnScreen(), -1);
        // Another button's double click chooses nothing and changes nothing, not even the row
        // chosen before.
        ClickRow(0);
        DoubleClickRow(1, Qt::RightButton);
        QCOMPARE(States(), (QStringList{QStringLiteral("未完成"), QStringLiteral("未完成")}));

        DoubleClickRow(1);
        QCOMPARE(States(), (QStringList{QStringLiteral("未完成"), QStringLiteral("进行中")}));
        QCOMPARE(MarkerRowOnScreen(), 1);
        // The quick change lets the row go and hides the task buttons, release and all.
        QCOMPARE(m_dlg->m_nSelTask, -1);
        QVERIFY(!Button("stateButton")->isVisible());
        QVERIFY(Button("statsButton")->hasFocus());

        DoubleClickRow(1);
        QCOMPARE(States(), (QStringList{QStringLiteral("未完成"), QStringLiteral("已完成")}));
        QCOMPARE(MarkerRowOnScreen(), -1);
        QVERIFY(m_messages->texts().isEmpty());
    }

    void doubleClickRefusedWhileAnotherIsInProgress()
    {
        QVERIFY(Store().AddTask(kToday, QStringLiteral("推迟的"), TaskStates::Postponed()));
        QVERIFY(Store().AddTask(kToday, QStringLiteral("正在做"), TaskStates::InProgress()));
        Open();
        DoubleClickRow(0);
        QCOMPARE(m_messages->texts(), QStringList{kOneInProgress});
        QCOMPARE(States(), (QStringList{QStringLiteral("已推迟"), QStringLiteral("进行中")}));
        QCOMPARE(MarkerRowOnScreen(), 1);
    }

    void pastDatesAreReadOnly()
    {
        const QDate yesterday = kToday.addDays(-1);
        QVERIFY(Store().AddTask(yesterday, QStringLiteral("昨天的事"), TaskStates::InProgress()));
        Open();
        m_dlg->PickDate(yesterday);
        QCOMPARE(m_dlg->m_nTaskCount, 1);
        QVERIFY(!m_dlg->IsEditableDate());
        QCOMPARE(List()->item(0, 0)->background().color(), QColor(238, 0, 0));
        QCOMPARE(List()->item(0, 0)->foreground().color(), QColor(Qt::white));
        QCOMPARE(MarkerRowOnScreen(), -1); // no marker on a past date, even for a task in progress
        ClickRow(0);
        QCOMPARE(m_dlg->m_nSelTask, -1);
        QVERIFY(!Button("deleteButton")->isVisible());
        QVERIFY(Button("statsButton")->isVisible());
        DoubleClickRow(0);
        QCOMPARE(States(), QStringList{QStringLiteral("进行中")});

        // Today is editable again, in blue on grey.
        m_dlg->PickDate(kToday);
        QVERIFY(m_dlg->IsEditableDate());
    }

    void deleteAndPostponeAskFirst()
    {
        QVERIFY(Store().AddTask(kToday, QStringLiteral("会议、讨论"), TaskStates::NotDone()));
        QVERIFY(Store().AddTask(kToday, QStringLiteral("散步"), TaskStates::NotDone()));
        Open();
        ClickRow(0);
        m_messages->setNextAnswer(QMessageBox::Cancel);
        QTest::mouseClick(Button("deleteButton"), Qt::LeftButton);
        QCOMPARE(m_messages->last().text, QStringLiteral("你确信要删除{  1、会议、讨论}事情"));
        QCOMPARE(m_messages->last().caption, QStringLiteral("警告"));
        QCOMPARE(m_dlg->m_nTaskCount, 2);

        // A content holding "、" is found again whole.
        QTest::mouseClick(Button("deleteButton"), Qt::LeftButton);
        QCOMPARE(m_dlg->m_nTaskCount, 1);
        QCOMPARE(Cell(0, 0), QStringLiteral("  1、散步"));
        QCOMPARE(m_dlg->m_nSelTask, -1); // the chosen row is gone: nothing is chosen any more
        QVERIFY(!Button("deleteButton")->isVisible());

        ClickRow(0);
        m_messages->clear();
        QTest::mouseClick(Button("postponeButton"), Qt::LeftButton);
        QCOMPARE(m_messages->texts(), QStringList{QStringLiteral("你确信要将事情{  1、散步}推迟到【第二天】吗?")});
        QCOMPARE(States(), QStringList{QStringLiteral("已推迟")});
        m_dlg->PickDate(kToday.addDays(1));
        QCOMPARE(Cell(0, 0), QStringLiteral("  1、散步"));
        QCOMPARE(Cell(0, 1), QStringLiteral("未完成"));
    }

    void datePickClearsTheChosenRow()
    {
        QVERIFY(Store().AddTask(kToday, QStringLiteral("今天"), TaskStates::NotDone()));
        QVERIFY(Store().AddTask(kToday.addDays(1), QStringLiteral("明天"), TaskStates::NotDone()));
        Open();
        ClickRow(0);
        QVERIFY(Button("deleteButton")->isVisible());
        m_dlg->PickDate(kToday.addDays(1));
        QCOMPARE(m_dlg->m_nSelTask, -1);
        QVERIFY(!Button("deleteButton")->isVisible());
        QCOMPARE(m_dlg->m_dtSelected, QDateTime(kToday.addDays(1), QTime(0, 0)));
    }

    // Out of term the calendar marks the term's last day while the view shows today; a click
    // on the marked day shows that day.
    void clickOnTheMarkedDayOutOfTerm()
    {
        const QDate lastDay(2026, 11, 30);
        QVERIFY(Store().SaveSchoolCalendar(QDateTime(QDate(2026, 9, 1), QTime(0, 0)),
                                           QDateTime(lastDay, QTime(0, 0))));
        QVERIFY(Store().AddTask(lastDay, QStringLiteral("期末"), TaskStates::Done()));
        Open();
        auto* calendar = m_dlg->findChild<QCalendarWidget*>();
        QCOMPARE(calendar->selectedDate(), lastDay);
        QCOMPARE(m_dlg->m_dtSelected.date(), kToday);
        auto* view = calendar->findChild<QAbstractItemView*>(QStringLiteral("qt_calendar_calendarview"));
        QVERIFY(view);
        QModelIndex cell; // the last "30" on the page is 30 November
        for (int r = 0; r < view->model()->rowCount(); ++r)
            for (int c = 0; c < view->model()->columnCount(); ++c)
                if (view->model()->index(r, c).data().toString() == QStringLiteral("30"))
                    cell = view->model()->index(r, c);
        QVERIFY(cell.isValid());
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->visualRect(cell).center());
        QCOMPARE(m_dlg->m_dtSelected.date(), lastDay);
        QCOMPARE(Cell(0, 0), QStringLiteral("  1、期末"));
    }

    void fourteenTasksMakeRoomForTheScrollBar_data()
    {
        QTest::addColumn<int>("tasks");
        QTest::addColumn<int>("narrower");
        QTest::newRow("thirteen") << 13 << 0;
        QTest::newRow("fourteen") << 14 << 16;
    }
    void fourteenTasksMakeRoomForTheScrollBar()
    {
        QFETCH(int, tasks);
        QFETCH(int, narrower);
        for (int i = 0; i < tasks; ++i)
            QVERIFY(Store().AddTask(kToday, QStringLiteral("事情%1").arg(i), TaskStates::NotDone()));
        Open();
        const int w = List()->contentsRect().width();
        QCOMPARE(List()->columnWidth(0), 3 * w / 4 + 10 - narrower);
        QCOMPARE(List()->columnWidth(1), w / 4 - 10);
        QCOMPARE(Cell(tasks - 1, 0), QStringLiteral(" %1、事情%2").arg(tasks).arg(tasks - 1));
    }

    void holidayLinesOfTheDate()
    {
        const QDate day(2026, 12, 25);
        const HolidayKey lunarKey = SolarToLunar(day).strKey;
        QVERIFY(Store().AddSolarHoliday(QStringLiteral("1225"), QStringLiteral("圣诞节")));
        QVERIFY(Store().AddLunarHoliday(lunarKey, QStringLiteral("妈妈生日")));
        Open();
        m_dlg->PickDate(day);
        m_dlg->grab(); // paint: the lunar key of the date is set while painting
        QCOMPARE(m_dlg->m_strLunarKey, lunarKey);
        QCOMPARE(m_dlg->HolidayText(), QStringLiteral("★_^-^) 圣诞节\r\n▲_^-^) 妈妈生日\r\n"));
    }

    void teachingWeekIsDrawnWithTwoDigits()
    {
        Open();
        // The new folder's term starts 2026-09-01; 2026-12-07 is in its fifteenth week.
        QCOMPARE(m_dlg->m_nTeachWeek, 15);
        QCOMPARE(g_nTodayTeachWeek, 15);
        QCOMPARE(g_nTodayWeekday, 1);
        const QImage shot = m_dlg->grab().toImage();
        const QImage tens = QImage(QStringLiteral(":/mainwnd/digit1.png")).convertToFormat(shot.format());
        const QImage ones = QImage(QStringLiteral(":/mainwnd/digit5.png")).convertToFormat(shot.format());
        QCOMPARE(shot.copy(QRect(PlannerLayout::kWeekTens, tens.size())), tens);
        QCOMPARE(shot.copy(QRect(PlannerLayout::kWeekOnes, ones.size())), ones);

        m_dlg->PickDate(QDate(2026, 9, 14)); // the third week
        const QImage early = m_dlg->grab().toImage();
        const QImage zero = QImage(QStringLiteral(":/mainwnd/digit0.png")).convertToFormat(shot.format());
        const QImage three = QImage(QStringLiteral(":/mainwnd/digit3.png")).convertToFormat(shot.format());
        QCOMPARE(early.copy(QRect(PlannerLayout::kWeekTens, zero.size())), zero);
        QCOMPARE(early.copy(QRect(PlannerLayout::kWeekOnes, three.size())), three);
        QCOMPARE(g_nTodayTeachWeek, 15); // a date pick leaves today's week alone
    }

    // " 1、" and the content: 23 bytes fit the column, 24 do not and show whole in a tip.
    void longRowsShowInATip_data()
    {
        QTest::addColumn<QString>("content");
        QTest::addColumn<bool>("tip");
        QTest::newRow("23 bytes") << QStringLiteral("九个汉字的事情内容") << false;
        QTest::newRow("24 bytes") << QStringLiteral("九个汉字的事情内容x") << true;
    }
    void longRowsShowInATip()
    {
        QFETCH(QString, content);
        QFETCH(bool, tip);
        QVERIFY(Store().AddTask(kToday, content, TaskStates::NotDone()));
        Open();
        auto* balloon = m_dlg->findChild<CBalloonTip*>(QStringLiteral("balloonTip"));
        ClickRow(0);
        QTest::qWait(CBalloonTip::kShowDelayMs * 4);
        QCOMPARE(balloon->isVisible(), tip);
        if (tip)
            QCOMPARE(balloon->GetText(), QStringLiteral("  1、") + content);
    }

    void hotAreasGiveHints_data()
    {
        QTest::addColumn<QPoint>("where");
        QTest::addColumn<QString>("hint");
        QTest::newRow("school") << PlannerLayout::kSchoolHot.center() << QStringLiteral("点击设置校历");
        QTest::newRow("add") << PlannerLayout::kAddHot.center() << QStringLiteral("点击增加要做的事情");
        QTest::newRow("logo, lower part") << QPoint(650, 100) << QStringLiteral("关于Ormel工作室");
    }
    void hotAreasGiveHints()
    {
        QFETCH(QPoint, where);
        QFETCH(QString, hint);
        Open();
        QTest::mouseMove(m_dlg.get(), where);
        QTRY_COMPARE(m_dlg->findChild<CBalloonTip*>(QStringLiteral("balloonTip"))->GetText(), hint);
        QCOMPARE(m_dlg->cursor().shape(), Qt::PointingHandCursor);
    }

    void schoolCalendarResetsTheTerm()
    {
        Open();
        m_dlg->PickDate(QDate(2026, 9, 14));
        QCOMPARE(m_dlg->m_nTeachWeek, 3);
        WhenModal<QDialog>([](QDialog* dlg) {
            dlg->findChild<QDateEdit*>(QStringLiteral("startPicker"))->setDate(QDate(2026, 11, 30));
            dlg->findChild<QDateEdit*>(QStringLiteral("endPicker"))->setDate(QDate(2027, 2, 5));
            Click(dlg, "okButton");
        });
        QTest::mouseClick(m_dlg.get(), Qt::LeftButton, {}, PlannerLayout::kSchoolHot.center());
        QCOMPARE(m_dlg->m_dtTermStart, QDateTime(QDate(2026, 11, 30), QTime(0, 0)));
        auto* calendar = m_dlg->findChild<QCalendarWidget*>(QStringLiteral("monthCalendar"));
        QCOMPARE(calendar->minimumDate(), QDate(2026, 11, 30));
        QCOMPARE(calendar->maximumDate(), QDate(2027, 2, 5));
        // The view now shows the week of today in the new term: its second week.
        QCOMPARE(m_dlg->m_nTeachWeek, 2);
        QCOMPARE(g_nTodayTeachWeek, 2);
    }

    void exitResetsOnlyTheShownDatesTaskInProgress()
    {
        QVERIFY(Store().AddTask(kToday, QStringLiteral("今天在做"), TaskStates::InProgress()));
        QVERIFY(Store().AddTask(kToday.addDays(1), QStringLiteral("明天在做"), TaskStates::InProgress()));
        Open();
        m_messages->setNextAnswer(QMessageBox::Cancel);
        QTest::mouseClick(Button("exitButton"), Qt::LeftButton);
        QVERIFY(m_dlg->isVisible());
        QCOMPARE(States(), QStringList{QStringLiteral("进行中")});

        QTest::keyClick(m_dlg.get(), Qt::Key_Escape); // Esc asks too
        QCOMPARE(m_messages->last().text, QStringLiteral("你确信要退出系统吗?"));
        QVERIFY(!m_dlg->isVisible());
        QCOMPARE(States(), QStringList{QStringLiteral("未完成")});
        QStringList contents, states;
        QVERIFY(Store().ListTasksOfDay(kToday.addDays(1), contents, states));
        QCOMPARE(states, QStringList{QStringLiteral("进行中")});
    }
};

QTEST_MAIN(TestPlannerDlg)
#include "tst_plannerdlg.moc"
