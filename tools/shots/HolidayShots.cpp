// The holiday dialog with a name being entered, and the list of holidays.
#include "Shots.h"
#include "app/PlannerApp.h"
#include "holiday/HolidayDlg.h"
#include "holiday/HolidayListDlg.h"

#include <QComboBox>
#include <QLineEdit>

void Shots::Holidays(CShots& shots)
{
    CPlannerContext& context = shots.App().Context();
    CDataStore& store = context.Store();
    store.AddHoliday(HolidayCalendar::Solar, QStringLiteral("0101"), QStringLiteral("元旦"));
    store.AddHoliday(HolidayCalendar::Solar, QStringLiteral("0910"), QStringLiteral("教师节"));
    store.AddHoliday(HolidayCalendar::Solar, QStringLiteral("1001"), QStringLiteral("国庆节"));
    store.AddHoliday(HolidayCalendar::Lunar, QStringLiteral("0101"), QStringLiteral("春节"));
    store.AddHoliday(HolidayCalendar::Lunar, QStringLiteral("0815"), QStringLiteral("中秋节"));
    {
        CHolidayDlg dlg(context);
        dlg.findChild<QLineEdit*>(QStringLiteral("nameEdit"))->setText(QStringLiteral("劳动节"));
        dlg.findChild<QComboBox*>(QStringLiteral("monthList"))->setCurrentIndex(4);
        dlg.findChild<QComboBox*>(QStringLiteral("dayList"))->setCurrentIndex(0);
        shots.Save(dlg, QStringLiteral("holiday"));
    }
    {
        CHolidayListDlg dlg(context);
        shots.Save(dlg, QStringLiteral("holiday-list"));
    }
}
