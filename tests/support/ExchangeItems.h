#pragma once

// Calendar-file items as the exchange tests build and compare them.

#include "exchange/ExchangeItem.h"

inline ExchangeItem TaskItem(const QString& uid, const QString& date, const QString& content,
                             const TaskState& state)
{
    ExchangeItem item;
    item.strUid = uid;
    item.task = TaskRecord{date, content, state};
    return item;
}

inline ExchangeItem ReminderItem(const QString& uid, const QDateTime& when, int mode, int ring,
                                 const QString& title, const QString& content)
{
    ExchangeItem item;
    item.kind = ExchangeKind::Reminder;
    item.strUid = uid;
    item.reminder = ReminderRecord::At(when, mode, ring, title, content);
    return item;
}

inline ExchangeItem HolidayItem(const QString& uid, HolidayCalendar calendar, const QString& key,
                                const QString& name)
{
    ExchangeItem item;
    item.kind = ExchangeKind::Holiday;
    item.strUid = uid;
    item.holiday = ExchangeHoliday{calendar, key, name};
    return item;
}

/// One line with every field the tables keep, so that a mismatch shows what differs (no UID).
inline QString ItemText(const ExchangeItem& item)
{
    switch (item.kind) {
    case ExchangeKind::Task:
        return QStringLiteral("T %1 %2 %3").arg(item.task.strDate, item.task.strState, item.task.strContent);
    case ExchangeKind::Reminder: {
        const ReminderRecord& r = item.reminder;
        return QStringLiteral("R %1 w%2 m%3 r%4 %5|%6")
            .arg(ReminderTimeText(r))
            .arg(r.nWeek)
            .arg(r.nMode)
            .arg(r.nRing)
            .arg(r.strTitle, r.strContent);
    }
    case ExchangeKind::Holiday:
        break;
    }
    return QStringLiteral("H %1 %2 %3")
        .arg(item.holiday.calendar == HolidayCalendar::Solar ? QStringLiteral("S") : QStringLiteral("L"),
             item.holiday.strKey, item.holiday.strName);
}
