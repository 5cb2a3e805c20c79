#include "mainwnd/PlannerDlg.h"

#include "app/Clock.h"
#include "app/PlannerContext.h"
#include "app/SystemMenu.h"
#include "calendar/WeekNumber.h"
#include "controls/BalloonTip.h"
#include "controls/HeldEnterFilter.h"
#include "mainwnd/PlannerArt.h"
#include "mainwnd/PlannerLayout.h"
#include "mainwnd/TaskList.h"
#include "store/DataStore.h"

#include <QCalendarWidget>
#include <QHeaderView>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QTableView>
#include <QTextCharFormat>

using namespace PlannerLayout;

namespace {

QPushButton* MakeButton(QWidget* parent, const QString& caption, const QString& name, const QRect& rect)
{
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(name);
    button->setGeometry(rect);
    button->setAutoDefault(false);
    button->setFocusPolicy(Qt::TabFocus);
    return button;
}

} // namespace

CPlannerDlg::CPlannerDlg(CPlannerContext& context, QWidget* parent) : QDialog(parent), m_context(context)
{
    setObjectName(QStringLiteral("PlannerDlg"));
    setWindowTitle(QStringLiteral("Kestrum"));
    setWindowIcon(QIcon(QStringLiteral(":/mainwnd/app.png")));
    setFixedSize(kWidth, kHeight);
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    setMouseTracking(true);

    CreateControls();
    // Enter asks the exit question, but a held one only once: its repeats (of an Enter that
    // closed a message box before this window came up, too) ask nothing.
    CHeldEnterFilter::Watch(this);
    LoadSchoolCalendar();

    m_dtSelected = Clock::now();
    m_nTeachWeek = TeachingWeek(m_dtSelected.date(), m_dtTermStart.date());
    m_nTodayTeachWeek = m_nTeachWeek;
    m_nTodayWeekday = m_dtSelected.date().dayOfWeek(); // Qt counts Monday 1 .. Sunday 7 as we do
    {
        const QSignalBlocker block(m_pCalendar);
        m_pCalendar->setSelectedDate(m_dtSelected.date());
    }

    RefreshDayView();
    RefreshTaskList();
    ShowTaskButtons(false);

    // The pictures are wanted only for painting: taking them last gives their decoding, which
    // started with the program, the most time to finish.
    const PlannerArt art = PlannerArt::Take();
    m_background = QPixmap::fromImage(art.background);
    for (int i = 0; i < 10; ++i)
        m_digits[i] = QPixmap::fromImage(art.digits[i]);
    m_logo = QPixmap::fromImage(art.logo);
    m_logoHover = QPixmap::fromImage(art.logoHover);
    m_pLogo->setPixmap(m_logo);
}

CPlannerDlg::~CPlannerDlg() = default;

CDataStore& CPlannerDlg::Store() const
{
    return m_context.Store();
}

void CPlannerDlg::CreateControls()
{
    m_pCalendar = new QCalendarWidget(this);
    m_pCalendar->setObjectName(QStringLiteral("monthCalendar"));
    m_pCalendar->setGeometry(kMonthCalendar);
    m_pCalendar->setVerticalHeaderFormat(QCalendarWidget::NoVerticalHeader);
    m_pCalendar->setHorizontalHeaderFormat(QCalendarWidget::SingleLetterDayNames);
    m_pCalendar->setFirstDayOfWeek(Qt::Sunday);
    // Calendar colours: a light blue month on a green title bar with dark blue text.
    QPalette calendarPalette = m_pCalendar->palette();
    calendarPalette.setColor(QPalette::Base, QColor(191, 219, 255));
    calendarPalette.setColor(QPalette::AlternateBase, QColor(191, 219, 255));
    calendarPalette.setColor(QPalette::Window, QColor(191, 219, 255));
    m_pCalendar->setPalette(calendarPalette);
    // Six weeks of dates have to fit the place the background leaves for the calendar.
    if (auto* view = m_pCalendar->findChild<QTableView*>(QStringLiteral("qt_calendar_calendarview"))) {
        view->verticalHeader()->setMinimumSectionSize(12);
        // The calendar keeps Enter for itself; here it leads to the exit question as everywhere
        // else in the window.
        view->installEventFilter(this);
    }
    if (QWidget* bar = m_pCalendar->findChild<QWidget*>(QStringLiteral("qt_calendar_navigationbar"))) {
        // The title bar is painted in the highlight role, its month and year in the
        // highlighted-text role.
        QPalette barPalette = bar->palette();
        for (QPalette::ColorRole role : {QPalette::Highlight, QPalette::Window, QPalette::Button})
            barPalette.setColor(role, QColor(33, 158, 41));
        for (QPalette::ColorRole role :
             {QPalette::HighlightedText, QPalette::ButtonText, QPalette::WindowText})
            barPalette.setColor(role, QColor(0, 0, 153));
        bar->setPalette(barPalette);
        for (QWidget* child : bar->findChildren<QWidget*>())
            child->setPalette(barPalette);
    }
    connect(m_pCalendar, &QCalendarWidget::selectionChanged, this, &CPlannerDlg::OnDatePicked);
    // A click on the date the calendar already marks changes no selection, yet it is a pick
    // when the view shows another date: out of term, today lies outside the calendar's range
    // and the calendar marks the nearest term day instead.
    connect(m_pCalendar, &QCalendarWidget::clicked, this, [this](QDate date) {
        if (date != m_dtSelected.date())
            OnDatePicked();
    });

    m_pTip = new CBalloonTip(this);
    m_pTip->setObjectName(QStringLiteral("balloonTip"));
    m_pTip->SetIcon(QIcon(QStringLiteral(":/mainwnd/hint.png")));
    m_pTaskList = new CTaskList(*m_pTip, this);
    connect(m_pTaskList, &CTaskList::ChoiceMade, this, [this](bool bChosen) {
        ShowTaskButtons(bChosen);
        if (!bChosen)
            m_pStatsButton->setFocus();
    });
    connect(m_pTaskList, &CTaskList::DoubleClicked, this, &CPlannerDlg::OnListDoubleClick);

    m_pLogo = new QLabel(this);
    m_pLogo->setObjectName(QStringLiteral("logo"));
    m_pLogo->setGeometry(kLogo);
    m_pLogo->setAttribute(Qt::WA_TransparentForMouseEvents);

    m_pDeleteButton =
        MakeButton(this, QStringLiteral("删除事情"), QStringLiteral("deleteButton"), ButtonRect(0));
    m_pStatsButton =
        MakeButton(this, QStringLiteral("事情统计"), QStringLiteral("statsButton"), ButtonRect(0));
    m_pPostponeButton =
        MakeButton(this, QStringLiteral("推迟事情"), QStringLiteral("postponeButton"), ButtonRect(1));
    m_pProgramsButton =
        MakeButton(this, QStringLiteral("常用软件"), QStringLiteral("programsButton"), ButtonRect(1));
    m_pStateButton =
        MakeButton(this, QStringLiteral("更改状态"), QStringLiteral("stateButton"), ButtonRect(2));
    MakeButton(this, QStringLiteral("查询事情"), QStringLiteral("queryButton"), ButtonRect(3));
    MakeButton(this, QStringLiteral("节日设置"), QStringLiteral("holidayButton"), ButtonRect(4));
    MakeButton(this, QStringLiteral("系统设置"), QStringLiteral("settingsButton"), ButtonRect(5));
    QPushButton* tray = MakeButton(this, QStringLiteral(">>"), QStringLiteral("trayButton"), kTrayButton);
    m_pExitButton = MakeButton(this, QStringLiteral("×"), QStringLiteral("exitButton"), kExitButton);
    m_pExitButton->setDefault(true); // Enter leads to the exit question too
    QPushButton* timetable =
        MakeButton(this, QString(), QStringLiteral("timetableButton"), SmallButtonRect(0));
    QPushButton* reminders =
        MakeButton(this, QString(), QStringLiteral("remindersButton"), SmallButtonRect(1));
    QPushButton* accounts = MakeButton(this, QString(), QStringLiteral("accountsButton"), SmallButtonRect(2));
    timetable->setIcon(QIcon(QStringLiteral(":/mainwnd/timetable.png")));
    reminders->setIcon(QIcon(QStringLiteral(":/mainwnd/reminders.png")));
    accounts->setIcon(QIcon(QStringLiteral(":/mainwnd/accounts.png")));
    for (QPushButton* small : {timetable, reminders, accounts})
        small->setIconSize(QSize(24, 24));

    connect(m_pDeleteButton, &QPushButton::clicked, this, &CPlannerDlg::OnDeleteTask);
    connect(m_pPostponeButton, &QPushButton::clicked, this, &CPlannerDlg::OnPostponeTask);
    connect(m_pStateButton, &QPushButton::clicked, this, &CPlannerDlg::OnChangeState);
    connect(m_pExitButton, &QPushButton::clicked, this, &CPlannerDlg::OnExit);
    connect(tray, &QPushButton::clicked, this, &CPlannerDlg::MinimizeToTray);
    connect(accounts, &QPushButton::clicked, this, &CPlannerDlg::OnAccountBook);

    m_pTip->AddTool(tray, QStringLiteral("最小化到系统托盘"));
    m_pTip->AddTool(m_pExitButton, QStringLiteral("退出系统"));
    m_pTip->AddTool(timetable, QStringLiteral("显示课程表"));
    m_pTip->AddTool(reminders, QStringLiteral("设置定时提醒"));
    m_pTip->AddTool(accounts, QStringLiteral("Pennova 个人记账本\n------------------------\n"
                                             "感谢您使用Ormel工作室的软件\n------------------------\n"
                                             "注意第一次使用时注册一个\n自己的用户名及密码"));
    // The about box from the window's own menu too, where the desktop has one.
    SystemMenu::AddAboutItem(this, QStringLiteral("关于 Kestrum(&A)..."), [this] { OnAbout(); });
    connect(this, &CPlannerDlg::FirstPainted, this, &CPlannerDlg::CreateTray, Qt::QueuedConnection);
    ConnectDialogButtons();
}

void CPlannerDlg::LoadSchoolCalendar()
{
    // A damaged table may give its first row and fail at the second: what was read is kept,
    // and a day that could not be read keeps its earlier value.
    QDateTime start, end;
    Store().LoadSchoolCalendar(start, end);
    if (start.isValid())
        m_dtTermStart = start;
    if (end.isValid())
        m_dtTermEnd = end;
    const QSignalBlocker block(m_pCalendar);
    // A reversed term is stored as the user gave it; the calendar then offers what Qt makes
    // of the reversed range (the two dates swapped).
    m_pCalendar->setDateRange(m_dtTermStart.date(), m_dtTermEnd.date());
}

void CPlannerDlg::ShowTaskButtons(bool bShow)
{
    m_pDeleteButton->setVisible(bShow);
    m_pPostponeButton->setVisible(bShow);
    m_pStateButton->setVisible(bShow);
    m_pStatsButton->setVisible(!bShow);
    m_pProgramsButton->setVisible(!bShow);
}

bool CPlannerDlg::IsEditableDate() const
{
    return TaskRules::IsEditableDate(m_dtSelected, Clock::now());
}

void CPlannerDlg::PickDate(const QDate& date)
{
    m_pCalendar->setSelectedDate(date);
}

void CPlannerDlg::OnDatePicked()
{
    m_dtSelected = QDateTime(m_pCalendar->selectedDate(), QTime(0, 0));
    m_nTeachWeek = TeachingWeek(m_dtSelected.date(), m_dtTermStart.date());
    RefreshDayView();
    RefreshTaskList();
    // A chosen row belongs to the date it was chosen on: no command may act on the row at the
    // same position of another date.
    ClearChosenTask();
}

void CPlannerDlg::ClearChosenTask()
{
    m_pTaskList->ClearChoice();
    ShowTaskButtons(false);
}

void CPlannerDlg::RefreshTaskList()
{
    m_pTaskList->SetTasks(TaskRules::ReadDayTasks(Store(), m_dtSelected.date()), IsEditableDate());
}

void CPlannerDlg::ReloadShownDay()
{
    RefreshDayView();
    RefreshTaskList();
    ClearChosenTask();
}

void CPlannerDlg::RefreshDayView()
{
    // Everything that reads the store happens here, once per date shown: a failing table says
    // so once, from here, and never from inside a paint.
    m_day = DayViewText::Make(Store(), m_dtSelected.date());
    update();
}

bool CPlannerDlg::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress && watched->parent() == m_pCalendar) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            m_pExitButton->click();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void CPlannerDlg::mouseMoveEvent(QMouseEvent* event)
{
    m_pTip->RelayEvent(event);
    const QPoint pt = event->position().toPoint();
    if (kLogo.contains(pt)) {
        m_pLogo->setPixmap(m_logoHover);
        setCursor(Qt::PointingHandCursor);
        if (pt.y() > kLogo.top() + 30)
            m_pTip->ShowAt(QStringLiteral("关于Ormel工作室"));
        return;
    }
    m_pLogo->setPixmap(m_logo);
    if (kSchoolHot.contains(pt)) {
        setCursor(Qt::PointingHandCursor);
        m_pTip->ShowAt(QStringLiteral("点击设置校历"));
    } else if (kAddHot.contains(pt)) {
        setCursor(Qt::PointingHandCursor);
        m_pTip->ShowAt(QStringLiteral("点击增加要做的事情"));
    } else {
        unsetCursor();
        // Over the area, a term's day tells the term's moment, and cut lines are shown whole.
        if (kHolidays.contains(pt) && (!m_day.strTerm.isEmpty() || HolidaysCut())) {
            QStringList tip = HolidaysCut() ? m_day.holidayLines : QStringList{};
            if (!m_day.strTermMoment.isEmpty())
                tip.prepend(m_day.strTermMoment);
            m_pTip->ShowAt(tip.join(u'\n'));
        }
    }
}

void CPlannerDlg::Activate()
{
    RestoreFromTray();
}
