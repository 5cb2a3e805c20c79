#include "reminder/ReminderTodayPage.h"

#include "app/PlannerContext.h"
#include "store/DataStore.h"

CReminderTodayPage::CReminderTodayPage(CPlannerContext& context, QWidget* parent)
    : CReminderListPage(context, parent)
{
    setObjectName(QStringLiteral("ReminderTodayPage"));
}

int CReminderTodayPage::CountRows()
{
    return m_context.Store().CountTodayReminders();
}

bool CReminderTodayPage::ListRows(QStringList& times, QStringList& modes, QStringList& rings, QStringList& titles,
                                  QStringList& contents)
{
    return m_context.Store().ListTodayReminders(times, modes, rings, titles, contents);
}
