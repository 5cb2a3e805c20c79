// The main window on the sample day, its task dialogs, the school calendar, the about box and
// the notice pop-up.
#include "Shots.h"
#include "app/PlannerApp.h"
#include "calendar/LunarCalendar.h"
#include "calendar/SchoolCalendarDlg.h"
#include "controls/NotifyWnd.h"
#include "mainwnd/AboutDlg.h"
#include "mainwnd/AddTaskDlg.h"
#include "mainwnd/PlannerDlg.h"
#include "mainwnd/TaskStateDlg.h"
#include "store/TaskRecord.h"

void Shots::MainWindow(CShots& shots)
{
    CPlannerContext& context = shots.App().Context();
    CDataStore& store = context.Store();
    const QDate day = CShots::kDay;
    store.AddTask(day, QStringLiteral("早读：检查三班背诵"), TaskStates::Done());
    store.AddTask(day, QStringLiteral("批改作文二十篇"), TaskStates::InProgress());
    store.AddTask(day, QStringLiteral("准备下周公开课的课件和教案"), TaskStates::NotDone());
    store.AddTask(day, QStringLiteral("给家长回电话"), TaskStates::Postponed());
    store.AddTask(day, QStringLiteral("教研组会议"), TaskStates::NotDone());
    store.AddHoliday(HolidayCalendar::Solar, QStringLiteral("1225"), QStringLiteral("圣诞节"));
    store.AddHoliday(HolidayCalendar::Lunar, SolarToLunar(day).strKey, QStringLiteral("外婆生日"));

    {
        CPlannerDlg main(context);
        shots.Save(main, QStringLiteral("main-window"));
    }
    {
        CAddTaskDlg add(context, QDateTime(day, QTime(0, 0)));
        shots.Save(add, QStringLiteral("add-task"));
    }
    {
        CTaskStateDlg state(TaskStates::InProgress());
        shots.Save(state, QStringLiteral("task-state"));
    }
    {
        CSchoolCalendarDlg school(context, QDate(2026, 9, 1), QDate(2027, 1, 31));
        shots.Save(school, QStringLiteral("school-calendar"));
    }
    {
        CAboutDlg about;
        shots.Save(about, QStringLiteral("about"));
    }
    if (CNotifyWnd* notice = shots.App().NoticeWindow()) {
        notice->ShowNotice(QStringLiteral("已成功添加事情\n批改作文二十篇"), true, 5, true);
        while (notice->IsTimerRunning(CNotifyWnd::SlideUpTimer))
            notice->OnTimer(CNotifyWnd::SlideUpTimer);
        shots.SaveAsIs(*notice, QStringLiteral("notice"));
        notice->hide();
    }
}
