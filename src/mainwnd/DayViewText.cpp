#include "mainwnd/DayViewText.h"

#include "calendar/LunarCalendar.h"
#include "calendar/SolarTerms.h"
#include "store/DataStore.h"

DayViewText DayViewText::Make(CDataStore& store, const QDate& date)
{
    const LunarDate lunar = SolarToLunar(date);
    const HolidayKey solarKey = CDataStore::SolarHolidayKey(date);
    QString text;
    QStringList names;
    if (store.CountHolidays(HolidayCalendar::Solar, solarKey) > 0 &&
        store.GetHolidayNames(HolidayCalendar::Solar, solarKey, names)) {
        for (const QString& name : std::as_const(names))
            text += QStringLiteral("★_^-^) ") + name + QStringLiteral("\r\n");
    }
    names.clear();
    if (store.CountHolidays(HolidayCalendar::Lunar, lunar.strKey) > 0 &&
        store.GetHolidayNames(HolidayCalendar::Lunar, lunar.strKey, names)) {
        for (const QString& name : std::as_const(names))
            text += QStringLiteral("▲_^-^) ") + name + QStringLiteral("\r\n");
    }
    // The lines as the holiday table's texts run: a name holding a line break takes two.
    DayViewText view{lunar.strText, text.split(QStringLiteral("\r\n"), Qt::SkipEmptyParts), {}, {}};
    if (const SolarTerm term = SolarTermOn(date); term.isValid()) {
        view.strTerm = term.strName;
        view.strTermMoment = term.strName + u' ' + term.moment.toString(QStringLiteral("M月d日 HH:mm"));
    }
    return view;
}
