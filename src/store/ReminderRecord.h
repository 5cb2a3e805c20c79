#pragma once

#include <QDateTime>
#include <QString>

/// How often a reminder fires.
enum ReminderMode : short
{
    ReminderOnce = 0,
    ReminderDaily = 1,
    ReminderWeekly = 2,
    ReminderMonthly = 3,
    ReminderYearly = 4,
};

/// One row of the reminder table. Every date and time field is filled from one moment,
/// whatever the mode; the mode decides which of them matter when a day's reminders are chosen.
struct ReminderRecord
{
    short nYear = 0;
    short nMonth = 0;
    short nDay = 0;
    short nWeek = 0; ///< day of the week of the moment, 1 = Sunday to 7 = Saturday
    short nHour = 0;
    short nMinute = 0;
    short nSecond = 0;
    short nMode = ReminderOnce;
    short nRing = 0; ///< 0: silent
    QString strTitle;
    QString strContent;

    /// The record of a reminder at \a when (seconds and coarser; milliseconds are dropped).
    static ReminderRecord At(const QDateTime& when, int mode, int ring, const QString& title,
                             const QString& content);
    /// The moment the fields name; invalid when they name no real date and time.
    QDateTime Moment() const;
};

/// Day of the week as the reminder table counts it: 1 = Sunday to 7 = Saturday.
int ReminderWeekday(const QDate& date);

/// "2009-03-01 08:05:00": the year in full, every other field with two digits. The scheduler
/// reads the time of day back from the last eight characters.
QString ReminderTimeText(const ReminderRecord& record);
/// "一次", "每天", "每周", "每月" or "每年"; empty for a mode the program never writes.
QString ReminderModeText(int mode);
/// "否" for a silent reminder, otherwise "是".
QString ReminderRingText(int ring);
