#include "reminder/ReminderWatch.h"

#include "app/Clock.h"
#include "store/ReminderRecord.h"

#include <QFile>
#include <algorithm>

namespace {

QDateTime WholeSecond(const QDateTime& t)
{
    const QTime time = t.time();
    return QDateTime(t.date(), QTime(time.hour(), time.minute(), time.second()));
}

bool DueOn(const ReminderRecord& r, const QDate& day)
{
    switch (r.nMode) {
    case ReminderOnce:
        return day == QDate(r.nYear, r.nMonth, r.nDay);
    case ReminderDaily:
        return true;
    case ReminderWeekly:
        return r.nWeek == ReminderWeekday(day);
    case ReminderMonthly:
        return r.nDay == day.day();
    case ReminderYearly:
        return r.nMonth == day.month() && r.nDay == day.day();
    default:
        return false;
    }
}

} // namespace

ReminderWatch::ReminderWatch(QString stateFile) : m_strStateFile(std::move(stateFile)) {}

QDateTime ReminderWatch::ReadState(const QString& stateFile)
{
    QFile file(stateFile);
    if (stateFile.isEmpty() || !file.open(QIODevice::ReadOnly))
        return {};
    // One line, the moment in UTC: the file stays right when the time zone changes.
    const QDateTime moment = QDateTime::fromString(QString::fromLatin1(file.read(64)).trimmed(), Qt::ISODate);
    return moment.isValid() ? moment.toLocalTime() : QDateTime();
}

std::optional<UnwatchedPeriod> ReminderWatch::Look()
{
    const QDateTime now = WholeSecond(Clock::now());
    const qint64 steady = Clock::monotonicMs();
    QDateTime from;
    if (!m_lastWall.isValid()) {
        from = ReadState(m_strStateFile);
        m_saved = from;
        m_nLastSaveSteady = steady;
        m_watchedUpTo = from;
    } else if (m_lastWall.msecsTo(now) - (steady - m_nLastSteady) > kJumpSeconds * 1000) {
        from = std::max(m_lastWall, m_watchedUpTo);
    }
    m_lastWall = now;
    m_nLastSteady = steady;

    std::optional<UnwatchedPeriod> period;
    if (from.isValid() && from < now)
        period = UnwatchedPeriod{std::max(from, now.addDays(-kLookBackDays)), now};
    // A moment far ahead was a clock set wrong once; holding on to it would hide every gap
    // until then.
    if (!m_watchedUpTo.isValid() || m_watchedUpTo < now || m_watchedUpTo > now.addDays(kLookBackDays))
        m_watchedUpTo = now;
    return period;
}

CAtomicFile::Result ReminderWatch::Save(bool now)
{
    const qint64 steady = Clock::monotonicMs();
    if (m_strStateFile.isEmpty() || !m_watchedUpTo.isValid() || m_watchedUpTo == m_saved ||
        (!now && steady - m_nLastSaveSteady < kSaveEverySeconds * 1000))
        return {};
    const QByteArray text = m_watchedUpTo.toUTC().toString(Qt::ISODate).toLatin1() + '\n';
    CAtomicFile::Result result = CAtomicFile::Replace(m_strStateFile, text);
    // A failed write is tried again at the next regular save, not every second.
    m_nLastSaveSteady = steady;
    if (result)
        m_saved = m_watchedUpTo;
    return result;
}

std::vector<MissedReminder> MomentsIn(const std::vector<ReminderRecord>& records,
                                      const UnwatchedPeriod& period)
{
    std::vector<MissedReminder> out;
    for (const ReminderRecord& r : records) {
        const QTime time(r.nHour, r.nMinute, r.nSecond);
        if (!time.isValid())
            continue;
        for (QDate day = period.from.date(); day <= period.to.date(); day = day.addDays(1)) {
            const QDateTime moment(day, time);
            if (moment > period.from && moment <= period.to && DueOn(r, day))
                out.push_back({moment, r.nRing != 0, r.strTitle, r.strContent});
        }
    }
    std::stable_sort(out.begin(), out.end(),
                     [](const MissedReminder& a, const MissedReminder& b) { return a.moment < b.moment; });
    return out;
}
