#pragma once

#include "reminder/ReminderWatch.h"

#include <QDialog>
#include <vector>

class QLabel;
class QTreeWidget;

/// "错过的提醒": the reminders whose moment went by unseen (the planner was not running, the
/// machine slept, the clock jumped, or the planner was too busy to show them in time), with
/// time, title and content, the newest kMaxListed of them and the count of the rest. What
/// comes while it is on show is added; closing it forgets the list.
class CMissedRemindersDlg : public QDialog
{
    Q_OBJECT
public:
    static constexpr int kMaxListed = 20;

    explicit CMissedRemindersDlg(QWidget* parent = nullptr);

    /// Adds \a missed to the list and shows the window.
    void Add(std::vector<MissedReminder> missed);
    /// How many reminders are missed in all, listed or not.
    int Total() const { return int(m_listed.size()) + m_nNotListed; }

private:
    void Refill();

    std::vector<MissedReminder> m_listed; ///< in time order, the newest kMaxListed
    int m_nNotListed = 0;
    QTreeWidget* m_pList = nullptr;
    QLabel* m_pRest = nullptr;
};
