// The main window driven as a person would, with every message box answered by the recorder.
#include "FakeClock.h"
#include "MessageRecorder.h"
#include "app/PlannerApp.h"
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
#include <QPushButton>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>
#include <functional>

namespace {
const QDate kToday(2026, 12, 7); // a Monday in the term the new data folder starts with
const QString kOneInProgress = QStringLiteral("一天中只能存在一件事情是【进行中】状态");
const QString kNotDone = QStringLiteral("未完成"), kDone = QStringLiteral("已完成"),
              kPostponed = QStringLiteral("已推迟"), kInProgress = QStringLiteral("进行中");

// Runs \a act on the next modal dialog once it is open (for dialogs run with exec).
void WhenModal(std::function<void(QDialog*)> act)
{
    QTimer::singleShot(0, [act] {
        for (QDeadlineTimer deadline(5000); !deadline.hasExpired();) {
            if (auto* dlg = qobject_cast<QDialog*>(QApplication::activeModalWidget()))
                return act(dlg);
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        }
        qWarning("no modal dialog appeared");
    });
}
void ClickOk(QDialog* dlg) { QTest::mouseClick(dlg->findChild<QPushButton*>(QStringLiteral("okButton")), Qt::LeftButton); }
void ChooseState(QDialog* dlg, int index) { dlg->findChild<QComboBox*>(QStringLiteral("stateList"))->setCurrentIndex(index); }
} // namespace

class TestPlannerDlg : public QObject
{
    Q_OBJECT

    struct Env {
        FakeClock clock{QDateTime(kToday, QTime(10, 30))};
        QTemporaryDir dir;
        MessageRecorder messages;
        CPlannerApp app{{QStringLiteral("Kestrum"), QStringLiteral("--data-dir"), dir.filePath(QStringLiteral("data"))}};
    };
    std::unique_ptr<Env> m_env;
    std::unique_ptr<CPlannerDlg> m_dlg;

    CDataStore& Store() { return m_env->app.Context().Store(); }
    MessageRecorder& Messages() { return m_env->messages; }
    QTableWidget* List() { return m_dlg->findChild<QTableWidget*>(QStringLiteral("taskList")); }
    QWidget* Button(const char* name) { return m_dlg->findChild<QPushButton*>(QLatin1String(name)); }
    QString Cell(int row, int column) { return List()->item(row, column) ? List()->item(row, column)->text() : QString(); }
    void Add(const QDate& day, const char* content, const QString& state)
    {
        QVERIFY(Store().AddTask(day, QString::fromUtf8(content), state));
    }

    void Open()
    {
        m_dlg = std::make_unique<CPlannerDlg>(m_env->app.Context());
        m_dlg->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_dlg.get()));
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
    QStringList States(const QDate& day = {})
    {
        QStringList contents, states;
        Store().ListTasksOfDay(day.isValid() ? day : m_dlg->m_dtSelected.date(), contents, states);
        return states;
    }
    // The marker's row, read from where it stands on the screen.
    int MarkerRowOnScreen()
    {
        auto* marker = m_dlg->findChild<CGifPicture*>(QStringLiteral("inProgressMarker"));
        if (!marker || !marker->isVisible())
            return -1;
        return List()->rowAt(List()->viewport()->mapFrom(m_dlg.get(), marker->geometry().center()).y());
    }

private slots:
    void init()
    {
        m_env = std::make_unique<Env>();
        QVERIFY(m_env->app.Startup());
    }
    void cleanup()
    {
        m_dlg.reset();
        m_env->app.ExitInstance();
        m_env.reset();
    }

    void addingThroughTheHotArea()
    {
        Open();
        auto addWith = [&](const QString& content, int state) {
            WhenModal([content, state](QDialog* dlg) {
                dlg->findChild<QLineEdit*>(QStringLiteral("contentEdit"))->setText(content);
                ChooseState(dlg, state);
                ClickOk(dlg);
                if (dlg->isVisible()) // a refused add leaves the dialog open: the user gives up
                    dlg->reject();
            });
            QTest::mouseClick(m_dlg.get(), Qt::LeftButton, {}, PlannerLayout::kAddHot.center());
        };
        addWith(QString(), 0);
        QCOMPARE(Messages().texts(), QStringList{QStringLiteral("事情内容不能为空")});
        QCOMPARE(m_dlg->m_nTaskCount, 0);

        addWith(QStringLiteral("读书"), 0);
        QCOMPARE(m_dlg->m_nTaskCount, 1);
        QCOMPARE(Cell(0, 0), QStringLiteral("  1、读书"));
        QCOMPARE(Cell(0, 1), kNotDone);

        Messages().clear();
        addWith(QStringLiteral("读书"), 0);
        QCOMPARE(Messages().texts(), QStringList{QStringLiteral("你要添加的事情已经存在")});
        QCOMPARE(m_dlg->m_nTaskCount, 1);

        // Adding does not hold to one task in progress: both are, and the marker stands at the lower.
        addWith(QStringLiteral("跑步"), 3);
        addWith(QStringLiteral("写信"), 3);
        QCOMPARE(States(), (QStringList{kNotDone, kInProgress, kInProgress}));
        QCOMPARE(m_dlg->MarkerRow(), 2);
        QCOMPARE(MarkerRowOnScreen(), 2);
    }

    // A dialog blocks only the main window: the pop-up's tab still pins it.
    void noticeStaysUsableUnderADialog()
    {
        Open();
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
    }

    void changeStateHoldsOneTaskInProgress()
    {
        Add(kToday, "早读", kInProgress);
        Add(kToday, "备课", kNotDone);
        Open();
        ClickRow(1);
        QVERIFY(Button("stateButton")->isVisible());
        QCOMPARE(m_dlg->m_nSelTask, 1);
        auto changeTo = [&](int index) {
            WhenModal([index](QDialog* dlg) {
                if (index >= 0)
                    ChooseState(dlg, index);
                ClickOk(dlg);
            });
            QTest::mouseClick(Button("stateButton"), Qt::LeftButton);
        };
        changeTo(3);
        QCOMPARE(Messages().texts(), QStringList{kOneInProgress});
        QCOMPARE(States(), (QStringList{kInProgress, kNotDone}));
        changeTo(1);
        QCOMPARE(States(), (QStringList{kInProgress, kDone}));
        // OK without touching the list keeps the state the dialog opened with.
        ClickRow(0);
        changeTo(-1);
        QCOMPARE(States().first(), kInProgress);
    }

    void doubleClickStartsAndFinishes()
    {
        Add(kToday, "第一件", kNotDone);
        Add(kToday, "第二件", kNotDone);
        Open();
        QCOMPARE(MarkerRowOnScreen(), -1);
        // Another button's double click changes nothing, not even the row chosen before.
        ClickRow(0);
        DoubleClickRow(1, Qt::RightButton);
        QCOMPARE(States(), (QStringList{kNotDone, kNotDone}));

        DoubleClickRow(1);
        QCOMPARE(States(), (QStringList{kNotDone, kInProgress}));
        QCOMPARE(MarkerRowOnScreen(), 1);
        // The quick change lets the row go and hides the task buttons, release and all.
        QCOMPARE(m_dlg->m_nSelTask, -1);
        QVERIFY(!Button("stateButton")->isVisible());
        QVERIFY(Button("statsButton")->hasFocus());

        DoubleClickRow(1);
        QCOMPARE(States(), (QStringList{kNotDone, kDone}));
        QCOMPARE(MarkerRowOnScreen(), -1);
        QVERIFY(Messages().texts().isEmpty());
    }

    void doubleClickRefusedWhileAnotherIsInProgress()
    {
        Add(kToday, "推迟的", kPostponed);
        Add(kToday, "正在做", kInProgress);
        Open();
        DoubleClickRow(0);
        QCOMPARE(Messages().texts(), QStringList{kOneInProgress});
        QCOMPARE(States(), (QStringList{kPostponed, kInProgress}));
        QCOMPARE(MarkerRowOnScreen(), 1);
    }

    // The refusal's box takes the release that ends the double click; the next click must still
    // choose the row under it, and the next command act on that row.
    void clickAfterARefusedDoubleClickChoosesItsRow()
    {
        Add(kToday, "甲", kNotDone);
        Add(kToday, "乙", kNotDone);
        Add(kToday, "丙", kInProgress);
        Open();
        QTest::mouseClick(List()->viewport(), Qt::LeftButton, {}, RowCentre(0));
        QTest::mouseDClick(List()->viewport(), Qt::LeftButton, {}, RowCentre(0)); // no release follows
        QCOMPARE(Messages().texts(), QStringList{kOneInProgress});
        ClickRow(1);
        QCOMPARE(m_dlg->m_nSelTask, 1);
        WhenModal([](QDialog* dlg) {
            ChooseState(dlg, 1);
            ClickOk(dlg);
        });
        QTest::mouseClick(Button("stateButton"), Qt::LeftButton);
        QCOMPARE(States(), (QStringList{kNotDone, kDone, kInProgress}));
    }

    // A failing table says so once for the date shown, never from a paint, and the window lives on.
    void failingHolidayTableReportsOncePerDate()
    {
        const QString failed = QStringLiteral("打开阳历节日表错误");
        QVERIFY(QSqlQuery(QSqlDatabase::database(Store().ConnectionName())).exec(QStringLiteral("DROP TABLE yljrb")));
        Open();
        QCOMPARE(Messages().texts().count(failed), 1);
        for (int i = 0; i < 3; ++i)
            m_dlg->repaint();
        QCOMPARE(Messages().texts().count(failed), 1);
        m_dlg->PickDate(kToday.addDays(1));
        QCOMPARE(Messages().texts().count(failed), 2);
        m_dlg->repaint();
        QCOMPARE(Messages().texts().count(failed), 2);
        QVERIFY(m_dlg->isVisible());
        QVERIFY(!SolarToLunar(kToday.addDays(1)).strText.isEmpty());
        QCOMPARE(m_dlg->DayView().strLunar, SolarToLunar(kToday.addDays(1)).strText);
    }

    // A saved setting puts the window back in the middle of the screen, wherever it was moved.
    void savingTheSettingsCentresTheWindow()
    {
        Open();
        m_dlg->move(7, 9);
        WhenModal([](QDialog* dlg) {
            QTest::mouseClick(dlg->findChild<QPushButton*>(QStringLiteral("saveButton")), Qt::LeftButton);
        });
        QTest::mouseClick(Button("settingsButton"), Qt::LeftButton);
        QCOMPARE(m_dlg->frameGeometry().center(), m_dlg->screen()->availableGeometry().center());
        QVERIFY(m_dlg->isVisible());
    }

    // A term table holding only its first row: the start that was read is kept.
    void damagedTermKeepsWhatWasRead()
    {
        QVERIFY(Store().SaveSchoolCalendar(QDate(2026, 9, 1).startOfDay(), QDate(2027, 1, 31).startOfDay()));
        QVERIFY(QSqlQuery(QSqlDatabase::database(Store().ConnectionName()))
                    .exec(QStringLiteral("DELETE FROM xiaoli WHERE rowid = (SELECT max(rowid) FROM xiaoli)")));
        Open();
        QCOMPARE(Messages().texts(), QStringList{QStringLiteral("打开校历表错误")});
        QCOMPARE(m_dlg->m_dtTermStart, QDate(2026, 9, 1).startOfDay());
        QCOMPARE(m_dlg->m_nTeachWeek, 15);
    }

    // Enter leads to the exit question wherever the focus is, the calendar included; a held one
    // only once.
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
        QTest::mouseClick(target->viewport(), Qt::LeftButton, {}, target->visualRect(target->model()->index(row, 1)).center());
        QVERIFY(target->hasFocus());
        // The repeats of an Enter held down (since it closed a box before, say) ask nothing,
        // also a repeat that came as a release and a press of the same time, not marked.
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

    void pastDatesAreReadOnly()
    {
        const QDate yesterday = kToday.addDays(-1);
        Add(yesterday, "昨天的事", kInProgress);
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
        QCOMPARE(States(), QStringList{kInProgress});
        m_dlg->PickDate(kToday);
        QVERIFY(m_dlg->IsEditableDate());
    }

    void deleteAndPostponeAskFirst()
    {
        Add(kToday, "会议、讨论", kNotDone);
        Add(kToday, "散步", kNotDone);
        Open();
        ClickRow(0);
        Messages().setNextAnswer(QMessageBox::Cancel);
        QTest::mouseClick(Button("deleteButton"), Qt::LeftButton);
        QCOMPARE(Messages().last().text, QStringLiteral("你确信要删除{  1、会议、讨论}事情"));
        QCOMPARE(Messages().last().caption, QStringLiteral("警告"));
        QCOMPARE(m_dlg->m_nTaskCount, 2);

        // A content holding "、" is found again whole.
        QTest::mouseClick(Button("deleteButton"), Qt::LeftButton);
        QCOMPARE(m_dlg->m_nTaskCount, 1);
        QCOMPARE(Cell(0, 0), QStringLiteral("  1、散步"));
        QCOMPARE(m_dlg->m_nSelTask, -1);
        QVERIFY(!Button("deleteButton")->isVisible());

        ClickRow(0);
        Messages().clear();
        QTest::mouseClick(Button("postponeButton"), Qt::LeftButton);
        QCOMPARE(Messages().texts(), QStringList{QStringLiteral("你确信要将事情{  1、散步}推迟到【第二天】吗?")});
        QCOMPARE(States(), QStringList{kPostponed});
        QCOMPARE(m_dlg->m_nSelTask, -1);
        QVERIFY(!Button("postponeButton")->isVisible());
        QVERIFY(Button("statsButton")->isVisible());
        m_dlg->PickDate(kToday.addDays(1));
        QCOMPARE(Cell(0, 0), QStringLiteral("  1、散步"));
        QCOMPARE(Cell(0, 1), kNotDone);
    }

    void datePickClearsTheChosenRow()
    {
        Add(kToday, "今天", kNotDone);
        Add(kToday.addDays(1), "明天", kNotDone);
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
        QVERIFY(Store().SaveSchoolCalendar(QDate(2026, 9, 1).startOfDay(), lastDay.startOfDay()));
        Add(lastDay, "期末", kDone);
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
            QVERIFY(Store().AddTask(kToday, QStringLiteral("事情%1").arg(i), kNotDone));
        Open();
        const int w = List()->contentsRect().width();
        QCOMPARE(List()->columnWidth(0), 3 * w / 4 + 10 - narrower);
        QCOMPARE(List()->columnWidth(1), w / 4 - 10);
        QCOMPARE(Cell(tasks - 1, 0), QStringLiteral(" %1、事情%2").arg(tasks).arg(tasks - 1));
    }

    // Two solar holidays and a lunar one: all three lines are drawn, none cut off.
    void holidayLinesOfTheDate()
    {
        const QDate day(2026, 12, 25);
        const HolidayKey lunarKey = SolarToLunar(day).strKey;
        QVERIFY(Store().AddSolarHoliday(QStringLiteral("1225"), QStringLiteral("圣诞节")));
        QVERIFY(Store().AddSolarHoliday(QStringLiteral("1225"), QStringLiteral("行宪纪念日")));
        QVERIFY(Store().AddLunarHoliday(lunarKey, QStringLiteral("妈妈生日")));
        Open();
        m_dlg->PickDate(day);
        QCOMPARE(m_dlg->m_strLunarKey, lunarKey);
        QCOMPARE(m_dlg->HolidayText(),
                 QStringLiteral("★_^-^) 圣诞节\r\n★_^-^) 行宪纪念日\r\n▲_^-^) 妈妈生日\r\n"));
        // Count the bands of holiday-blue text in the area, top to bottom.
        const QImage shot = m_dlg->grab().toImage();
        const qreal dpr = shot.devicePixelRatio();
        int bands = 0;
        bool inText = false;
        for (int y = PlannerLayout::kHolidays.top(); y <= PlannerLayout::kHolidays.bottom(); ++y) {
            bool text = false;
            for (int x = PlannerLayout::kHolidays.left(); x <= PlannerLayout::kHolidays.right() && !text; ++x) {
                const QColor c = shot.pixelColor(QPoint(x, y) * dpr);
                text = c.blue() > 120 && c.red() < 90 && c.green() < 90;
            }
            bands += text && !inText;
            inText = text;
        }
        QCOMPARE(bands, 3);
    }

    void teachingWeekIsDrawnWithTwoDigits()
    {
        Open();
        auto drawn = [&](int tens, int ones) {
            const QImage shot = m_dlg->grab().toImage();
            for (auto [digit, at] : {std::pair{tens, PlannerLayout::kWeekTens}, std::pair{ones, PlannerLayout::kWeekOnes}}) {
                const QImage art = QImage(QStringLiteral(":/mainwnd/digit%1.png").arg(digit)).convertToFormat(shot.format());
                if (shot.copy(QRect(at, art.size())) != art)
                    return false;
            }
            return true;
        };
        // The new folder's term starts 2026-09-01; 2026-12-07 is in its fifteenth week.
        QCOMPARE(m_dlg->m_nTeachWeek, 15);
        QCOMPARE(g_nTodayTeachWeek, 15);
        QCOMPARE(g_nTodayWeekday, 1);
        QVERIFY(drawn(1, 5));
        m_dlg->PickDate(QDate(2026, 9, 14)); // the third week
        QVERIFY(drawn(0, 3));
        QCOMPARE(g_nTodayTeachWeek, 15); // a date pick leaves today's week alone
    }

    void schoolCalendarResetsTheTerm()
    {
        Open();
        m_dlg->PickDate(QDate(2026, 9, 14));
        QCOMPARE(m_dlg->m_nTeachWeek, 3);
        WhenModal([](QDialog* dlg) {
            dlg->findChild<QDateEdit*>(QStringLiteral("startPicker"))->setDate(QDate(2026, 11, 30));
            dlg->findChild<QDateEdit*>(QStringLiteral("endPicker"))->setDate(QDate(2027, 2, 5));
            ClickOk(dlg);
        });
        QTest::mouseClick(m_dlg.get(), Qt::LeftButton, {}, PlannerLayout::kSchoolHot.center());
        QCOMPARE(m_dlg->m_dtTermStart, QDate(2026, 11, 30).startOfDay());
        auto* calendar = m_dlg->findChild<QCalendarWidget*>(QStringLiteral("monthCalendar"));
        QCOMPARE(calendar->minimumDate(), QDate(2026, 11, 30));
        QCOMPARE(calendar->maximumDate(), QDate(2027, 2, 5));
        // The view now shows the week of today in the new term: its second week.
        QCOMPARE(m_dlg->m_nTeachWeek, 2);
        QCOMPARE(g_nTodayTeachWeek, 2);
    }

    void exitResetsOnlyTheShownDatesTaskInProgress()
    {
        Add(kToday, "今天在做", kInProgress);
        Add(kToday.addDays(1), "明天在做", kInProgress);
        Open();
        Messages().setNextAnswer(QMessageBox::Cancel);
        QTest::mouseClick(Button("exitButton"), Qt::LeftButton);
        QVERIFY(m_dlg->isVisible());
        QCOMPARE(States(), QStringList{kInProgress});

        QTest::keyClick(m_dlg.get(), Qt::Key_Escape); // Esc asks too
        QCOMPARE(Messages().last().text, QStringLiteral("你确信要退出系统吗?"));
        QVERIFY(!m_dlg->isVisible());
        QCOMPARE(States(), QStringList{kNotDone});
        QCOMPARE(States(kToday.addDays(1)), QStringList{kInProgress});
    }
};

QTEST_MAIN(TestPlannerDlg)
#include "tst_plannerdlg.moc"
