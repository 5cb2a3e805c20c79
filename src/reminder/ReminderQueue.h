#pragma once

#include <QDateTime>
#include <QString>
#include <deque>
#include <vector>

class CDataStore;
class IErrorReporter;

/// One pending reminder of today.
struct ReminderQueueItem
{
    QDateTime time; ///< today at the reminder's time of day
    bool ring = false;
    QString title;
    QString content;
};

/// The reminders still to go off today, in order of their time of day. The alert window asks
/// it once a second whether the front one is due; the time is read only through Clock::now(),
/// so tests move it by hand.
class ReminderQueue
{
public:
    /// A due check allows this many whole seconds of lateness; older reminders are dropped.
    static constexpr qint64 kGraceSeconds = 5;

    /// \a reporter hears of a removal from an empty queue (it may be null).
    explicit ReminderQueue(IErrorReporter* reporter = nullptr);

    /// Appends a reminder from its store texts: today (from the clock) at the time of day of
    /// \a timeText; it rings when \a ringText is "是".
    void EnQueue(const QString& timeText, const QString& ringText, const QString& title, const QString& content);
    /// The front item, or null when the queue is empty.
    const ReminderQueueItem* Front() const;
    /// Removes the front item and returns it. On an empty queue says "deQueue null error" and
    /// returns an empty item.
    ReminderQueueItem DeQueue();
    int Count() const { return int(m_items.size()); }

    /// Fills the queue with today's reminders from \a store, in the order the store lists them,
    /// and remembers the day it was loaded for. A failed listing leaves it empty (the store has
    /// said why).
    void LoadToday(CDataStore& store);
    /// The day of the last LoadToday; null before.
    QDate Day() const { return m_day; }

    /// True when the front reminder's time has come and is at most kGraceSeconds whole seconds
    /// past. Every reminder in front that is older than that is removed first, all in one
    /// check: dropping one per second would let a long run of past reminders hold a due one
    /// back until it is stale too. What is dropped is kept for TakeDropped.
    bool IsFrontDue();
    /// Removes and returns, in queue order, every reminder that is due now (after dropping the
    /// stale ones in front), so that several of one second all go off at that second.
    std::vector<ReminderQueueItem> TakeDue();
    /// The reminders dropped as stale since the last call, in queue order: they never went off,
    /// and the user is to be told.
    std::vector<ReminderQueueItem> TakeDropped();
    /// Removes, without keeping them, the reminders at or before \a moment: they went off in
    /// an earlier run, or the caller tells of them another way.
    void DiscardThrough(const QDateTime& moment);

private:
    std::deque<ReminderQueueItem> m_items;
    std::vector<ReminderQueueItem> m_dropped;
    QDate m_day;
    IErrorReporter* m_pReporter;
};
