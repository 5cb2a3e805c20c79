#include "store/ReminderRecord.h"

namespace {
// "%d" with a "0" put in front of numbers below 10.
QString TwoDigits(int n)
{
    return n < 10 ? u'0' + QString::number(n) : QString::number(n);
}
} // namespace

ReminderRecord ReminderRecord::At(const QDateTime& when, int mode, int ring, const QString& title,
                                  const QString& content)
{
    const QDate date = when.date();
    const QTime time = when.time();
    ReminderRecord record;
    record.nYear = short(date.year());
    record.nMonth = short(date.month());
    record.nDay = short(date.day());
    record.nWeek = short(ReminderWeekday(date));
    record.nHour = short(time.hour());
    record.nMinute = short(time.minute());
    record.nSecond = short(time.second());
    record.nMode = short(mode);
    record.nRing = short(ring);
    record.strTitle = title;
    record.strContent = content;
    return record;
}

QDateTime ReminderRecord::Moment() const
{
    const QDate date(nYear, nMonth, nDay);
    const QTime time(nHour, nMinute, nSecond);
    if (!date.isValid() || !time.isValid())
        return QDateTime();
    return QDateTime(date, time);
}

int ReminderWeekday(const QDate& date)
{
    return date.dayOfWeek() % 7 + 1; // Qt counts 1 = Monday to 7 = Sunday
}

QString ReminderTimeText(const ReminderRecord& r)
{
    return QString::number(r.nYear) + u'-' + TwoDigits(r.nMonth) + u'-' + TwoDigits(r.nDay) + u' ' +
           TwoDigits(r.nHour) + u':' + TwoDigits(r.nMinute) + u':' + TwoDigits(r.nSecond);
}

QString ReminderModeText(int mode)
{
    switch (mode) {
    case ReminderOnce:
        return QStringLiteral("一次");
    case ReminderDaily:
        return QStringLiteral("每天");
    case ReminderWeekly:
        return QStringLiteral("每周");
    case ReminderMonthly:
        return QStringLiteral("每月");
    case ReminderYearly:
        return QStringLiteral("每年");
    default:
        return QString();
    }
}

QString ReminderRingText(int ring)
{
    return ring == 0 ? QStringLiteral("否") : QStringLiteral("是");
}
