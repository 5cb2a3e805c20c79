#include "reminder/ReminderTexts.h"

namespace ReminderTexts {

int LeadingNumber(const QString& text)
{
    int value = 0;
    qsizetype i = 0;
    while (i < text.size() && text.at(i).isSpace())
        ++i;
    for (; i < text.size() && text.at(i) >= u'0' && text.at(i) <= u'9'; ++i)
        value = value * 10 + (text.at(i).unicode() - u'0');
    return value;
}

QTime TimeOfDay(const QString& timeText)
{
    const int hour = LeadingNumber(timeText.right(8).left(2));
    const int minute = LeadingNumber(timeText.right(5).left(2));
    const int second = LeadingNumber(timeText.right(2));
    return QTime(hour, minute, second);
}

QDateTime Moment(const QString& timeText)
{
    const QString t = timeText.trimmed();
    const QDate date(LeadingNumber(t.left(4)), LeadingNumber(t.right(14).left(2)), LeadingNumber(t.right(11).left(2)));
    const QTime time(LeadingNumber(t.right(8).left(2)), LeadingNumber(t.right(5).left(2)),
                     LeadingNumber(t.right(2)));
    if (!date.isValid() || !time.isValid())
        return {};
    return QDateTime(date, time);
}

int ModeFromText(const QString& modeText)
{
    if (modeText == QStringLiteral("一次"))
        return 0;
    if (modeText == QStringLiteral("每天"))
        return 1;
    if (modeText == QStringLiteral("每周"))
        return 2;
    if (modeText == QStringLiteral("每月"))
        return 3;
    return 4;
}

bool RingFromText(const QString& ringText)
{
    return ringText == QStringLiteral("是");
}

QString CountdownText(int nSeconds)
{
    const int n = qMax(0, nSeconds);
    const int h = n / 3600, m = n % 3600 / 60, s = n % 60;
    return QStringLiteral("0%1:%2:%3").arg(h).arg(m, 2, 10, QChar(u'0')).arg(s, 2, 10, QChar(u'0'));
}

} // namespace ReminderTexts
