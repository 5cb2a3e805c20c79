// The buttons of the main window that open the other subsystems' dialogs.
#include "app/PlannerContext.h"
#include "app/SettingsDlg.h"
#include "controls/RunModal.h"
#include "holiday/HolidayDlg.h"
#include "launcher/ProgramListDlg.h"
#include "mainwnd/PlannerDlg.h"
#include "query/TaskQueryDlg.h"
#include "query/TaskStatsDlg.h"
#include "timetable/TimetableDlg.h"

#include <QPushButton>

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
        CTimetableDlg dlg(m_context, *timetable, g_nTodayTeachWeek, g_nTodayWeekday, this);
        RunModal(dlg);
    }
}
