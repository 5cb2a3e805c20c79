#include "mainwnd/DayViewText.h"

#include "calendar/LunarCalendar.h"
#include "store/DataStore.h"

DayViewText DayViewText::Make(CDataStore& store, const QDate& date)
{
    const LunarDate lunar = SolarToLunar(date);
    QString text;
    QStringList names;
    if (store.CountSolarHolidays(date) > 0 && store.GetSolarHolidayNames(date, names)) {
        for (const QString& name : std::as_const(names))
            text += QStringLiteral("★_^-^) ") + name + QStringLiteral("\r\n");
    }
    names.clear();
    if (store.CountLunarHolidays(lunar.strKey) > 0 && store.GetLunarHolidayNames(lunar.strKey, names)) {
        for (const QString& name : std::as_const(names))
            text += QStringLiteral("▲_^-^) ") + name + QStringLiteral("\r\n");
    }
    // The lines as the holiday table's texts run: a name holding a line break takes two.
    return {lunar.strText, text.split(QStringLiteral("\r\n"), Qt::SkipEmptyParts)};
}
