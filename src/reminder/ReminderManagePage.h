#pragma once

#include "reminder/ReminderListPage.h"

class QMenu;

/// "管理提醒": every stored reminder, with a context menu to print the list, clear expired
/// once-only reminders and delete the selected one.
class CReminderManagePage : public CReminderListPage
{
    Q_OBJECT
public:
    explicit CReminderManagePage(CPlannerContext& context, QWidget* parent = nullptr);

    /// The selected row, -1 when none.
    int SelectedRow() const { return m_nSelRow; }
    /// The context menu "txmanager": print, a separator, clear expired, delete.
    QMenu* BuildMenu(QWidget* parent);

    void OnDeleteSelected();
    void OnClearExpired();
    void OnPrint();

protected:
    int CountRows() override;
    bool ListRows(QStringList& times, QStringList& modes, QStringList& rings, QStringList& titles,
                  QStringList& contents) override;

private:
    void OnContextMenu();

    int m_nSelRow = -1;
};
