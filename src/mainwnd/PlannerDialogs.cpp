// Every dialog the main window opens: from its hot areas (the about box, the school calendar,
// adding a task) and from the buttons that lead to the other subsystems.
#include "app/Clock.h"
#include "app/PlannerContext.h"
#include "app/SettingsDlg.h"
#include "calendar/SchoolCalendarDlg.h"
#include "calendar/WeekNumber.h"
#include "controls/BalloonTip.h"
#include "controls/RunModal.h"
#include "holiday/HolidayDlg.h"
#include "launcher/ProgramListDlg.h"
#include "mainwnd/AboutDlg.h"
#include "mainwnd/AddTaskDlg.h"
#include "mainwnd/PlannerDlg.h"
#include "mainwnd/PlannerLayout.h"
#include "query/TaskQueryDlg.h"
#include "query/TaskStatsDlg.h"
#include "timetable/TimetableDlg.h"

#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>

using namespace PlannerLayout;

void CPlannerDlg::ConnectDialogButtons()
{
    const auto button = [this](const char* name) { return findChild<QPushButton*>(QLatin1String(name)); };
    connect(button("queryButton"), &QPushButton::clicked, this, &CPlannerDlg::OnQuery);
    connect(button("statsButton"), &QPushButton::clicked, this, &CPlannerDlg::OnStatistics);
    connect(button("holidayButton"), &QPushButton::clicked, this, &CPlannerDlg::OnHolidays);
    connect(button("settingsButton"), &QPushButton::clicked, this, &CPlannerDlg::OnSettings);
    connect(button("programsButton"), &QPushButton::clicked, this, &CPlannerDlg::OnPrograms);
    connect(button("timetableButton"), &QPushButton::clicked, this, &CPlannerDlg::OnTimetable);
    connect(button("remindersButton"), &QPushButton::clicked, this, [this] { m_context.ShowReminders(); });
}

void CPlannerDlg::mouseReleaseEvent(QMouseEvent* event)
{
    m_pTip->RelayEvent(event);
    if (event->button() != Qt::LeftButton)
        return;
    const QPoint pt = event->position().toPoint();
    if (kLogo.contains(pt))
        OnAbout();
    else if (kSchoolHot.contains(pt))
        OnSchoolHot();
    else if (kAddHot.contains(pt))
        OnAddHot();
}

void CPlannerDlg::OnAbout()
{
    CAboutDlg about(this);
    RunModal(about);
    m_pLogo->setPixmap(m_logo);
}

void CPlannerDlg::OnSchoolHot()
{
    CSchoolCalendarDlg dlg(m_context, m_dtTermStart.date(), m_dtTermEnd.date(), this);
    if (RunModal(dlg) != QDialog::Accepted)
        return;
    LoadSchoolCalendar();
    // From here the view shows the week of the current date until the next date pick.
    m_nTeachWeek = TeachingWeek(Clock::today(), m_dtTermStart.date());
    m_nTodayTeachWeek = m_nTeachWeek;
    update();
}

void CPlannerDlg::OnAddHot()
{
    CAddTaskDlg dlg(m_context, m_dtSelected, this);
    RunModal(dlg);
    RefreshTaskList();
}

void CPlannerDlg::OnQuery()
{
    CTaskQueryDlg dlg(m_context, this);
    RunModal(dlg);
}

void CPlannerDlg::OnStatistics()
{
    CTaskStatsDlg dlg(m_context, this);
    RunModal(dlg);
    // A batch delete there may have taken the shown day's tasks: the list must not offer them.
    RefreshTaskList();
    ClearChosenTask();
}

void CPlannerDlg::OnHolidays()
{
    CHolidayDlg dlg(m_context, this);
    connect(&dlg, &CHolidayDlg::HolidaysChanged, this, &CPlannerDlg::RefreshDayView);
    RunModal(dlg);
}

void CPlannerDlg::OnSettings()
{
    // A save puts the window in its layer at once, and in the middle of the screen.
    const auto applySaved = [this](bool bTopmost) {
        ApplyTopmost(bTopmost);
        CentreOnScreen();
    };
    CSettingsDlg dlg(m_context, applySaved, this);
    RunModal(dlg);
}

void CPlannerDlg::OnPrograms()
{
    CProgramListDlg dlg(m_context, this);
    // A started program sends the planner out of its way.
    if (RunModal(dlg) == CProgramListDlg::kStarted)
        MinimizeToTray();
}

void CPlannerDlg::OnTimetable()
{
    if (CTimetable* timetable = m_context.Timetable()) {
        CTimetableDlg dlg(m_context, *timetable, m_nTodayTeachWeek, m_nTodayWeekday, this);
        RunModal(dlg);
    }
}
