#pragma once

#include "reminder/ReminderListPage.h"

/// "今天提醒": the reminders due today, in order of their time of day. No commands.
class CReminderTodayPage : public CReminderListPage
{
    Q_OBJECT
public:
    explicit CReminderTodayPage(CPlannerContext& context, QWidget* parent = nullptr);

protected:
    int CountRows() override;
    bool ListRows(QStringList& times, QStringList& modes, QStringList& rings, QStringList& titles,
                  QStringList& contents) override;
};
