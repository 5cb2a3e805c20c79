#include "reminder/ReminderQueue.h"

#include "app/Clock.h"
#include "app/ErrorReporter.h"
#include "reminder/ReminderTexts.h"
#include "store/DataStore.h"

#include <utility>

ReminderQueue::ReminderQueue(IErrorReporter* reporter) : m_pReporter(reporter) {}

void ReminderQueue::EnQueue(const QString& timeText, const QString& ringText, const QString& title,
                            const QString& content)
{
    ReminderQueueItem item;
    item.time = QDateTime(Clock::today(), ReminderTexts::TimeOfDay(timeText));
    item.ring = ReminderTexts::RingFromText(ringText);
    item.title = title;
    item.content = content;
    m_items.push_back(std::move(item));
}

const ReminderQueueItem* ReminderQueue::Front() const
{
    return m_items.empty() ? nullptr : &m_items.front();
}

ReminderQueueItem ReminderQueue::DeQueue()
{
    if (m_items.empty()) {
        if (m_pReporter)
            m_pReporter->ReportError(QStringLiteral("deQueue null error"));
        return {};
    }
    ReminderQueueItem front = std::move(m_items.front());
    m_items.pop_front();
    return front;
}

void ReminderQueue::LoadToday(CDataStore& store)
{
    m_day = Clock::today();
    if (store.CountTodayReminders() < 1)
        return;
    QStringList times, modes, rings, titles, contents;
    if (!store.ListTodayReminders(times, modes, rings, titles, contents))
        return;
    for (qsizetype i = 0; i < times.size(); ++i)
        EnQueue(times.at(i), rings.at(i), titles.at(i), contents.at(i));
}

bool ReminderQueue::IsFrontDue()
{
    // Whole seconds: a clock that carries milliseconds must not make a reminder late early.
    const QDateTime now = Clock::now();
    const QDateTime second(now.date(), QTime(now.time().hour(), now.time().minute(), now.time().second()));
    while (!m_items.empty() && m_items.front().time.secsTo(second) > kGraceSeconds) {
        m_dropped.push_back(std::move(m_items.front()));
        m_items.pop_front();
    }
    return !m_items.empty() && m_items.front().time <= second;
}

std::vector<ReminderQueueItem> ReminderQueue::TakeDue()
{
    std::vector<ReminderQueueItem> due;
    while (IsFrontDue())
        due.push_back(DeQueue());
    return due;
}

std::vector<ReminderQueueItem> ReminderQueue::TakeDropped()
{
    return std::exchange(m_dropped, {});
}

void ReminderQueue::DiscardThrough(const QDateTime& moment)
{
    while (!m_items.empty() && m_items.front().time <= moment)
        m_items.pop_front();
}
