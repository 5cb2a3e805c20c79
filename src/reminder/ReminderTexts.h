#pragma once

#include <QDateTime>
#include <QString>

/// Reading the display texts of the reminder table back into values. The store hands reminders
/// out as texts ("2009-03-01 08:05:00", "每天", "是"); the scheduler and the manage page work
/// their numbers out of them by position, the way the texts are built.
namespace ReminderTexts {

/// Leading decimal digits of \a text as a number, 0 when there are none (C's atoi).
int LeadingNumber(const QString& text);

/// The time of day of a time text: its last eight characters are hour, minute and second.
QTime TimeOfDay(const QString& timeText);

/// The whole moment of a time text, trimmed first: the year from its first four characters,
/// the other fields counted from its end. Invalid when the fields name no real moment.
QDateTime Moment(const QString& timeText);

/// "一次" 0, "每天" 1, "每周" 2, "每月" 3, anything else 4 (also the index of the mode's picture).
int ModeFromText(const QString& modeText);

/// True for the ring text "是".
bool RingFromText(const QString& ringText);

/// A countdown's remaining time as "0h:mm:ss" (one hour digit: a countdown lasts at most two
/// hours). Negative values show as 00:00:00.
QString CountdownText(int nSeconds);

} // namespace ReminderTexts
