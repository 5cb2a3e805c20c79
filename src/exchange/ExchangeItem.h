#pragma once

#include "calendar/LunarCalendar.h"
#include "store/DataStore.h"
#include "store/ReminderRecord.h"
#include "store/TaskRecord.h"

#include <QString>

/// What a calendar file and the planner exchange: one task, reminder or holiday with the UID
/// that names it outside the planner.
enum class ExchangeKind
{
    Task,
    Reminder,
    Holiday,
};

struct ExchangeHoliday
{
    HolidayCalendar calendar = HolidayCalendar::Solar;
    HolidayKey strKey; ///< as the holiday tables store it ("0305" for 5 March; lunar: month and day)
    QString strName;

    friend bool operator==(const ExchangeHoliday&, const ExchangeHoliday&) = default;
};

struct ExchangeItem
{
    ExchangeKind kind = ExchangeKind::Task;
    QString strUid;
    TaskRecord task;         ///< kind Task
    ReminderRecord reminder; ///< kind Reminder
    ExchangeHoliday holiday; ///< kind Holiday
};

/// An item of a file that the planner cannot hold: what it is called, why it was left out, and
/// the line its component starts on.
struct ExchangeLeftOut
{
    QString strName; ///< its summary, else its UID, else its component's name
    QString strUid;
    QString strReason;
    int nLine = 0;
};
