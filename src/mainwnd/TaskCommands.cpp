// The commands on the chosen task of the day view, and the way out of the program.
#include "app/PlannerContext.h"
#include "controls/Messages.h"
#include "controls/RunModal.h"
#include "mainwnd/PlannerDlg.h"
#include "mainwnd/TaskStateDlg.h"
#include "store/DataStore.h"
#include "store/TaskRecord.h"

#include <QCloseEvent>
#include <QPushButton>
#include <QTableWidget>

namespace {

const QString kOneInProgress = QStringLiteral("一天中只能存在一件事情是【进行中】状态");

void Refuse(QWidget* parent, const QString& text)
{
    Messages::show(parent, text, QStringLiteral("提示"), Messages::Icon::Critical);
}

bool Confirm(QWidget* parent, const QString& text, Messages::Icon icon)
{
    return Messages::show(parent, text, QStringLiteral("警告"), icon, QMessageBox::Ok | QMessageBox::Cancel) ==
           QMessageBox::Ok;
}

} // namespace

void CPlannerDlg::OnDeleteTask()
{
    if (m_nSelTask < 0)
        return;
    if (!Confirm(this, QStringLiteral("你确信要删除{%1}事情").arg(RowText(m_nSelTask, 0)), Messages::Icon::Critical))
        return;
    const QString content = TaskContentOfRow(m_nSelTask);
    if (!Store().DeleteTask(m_dtSelected.date(), content)) {
        Refuse(this, QStringLiteral("删除失败，请重新删除"));
        return;
    }
    m_context.ShowNotice(content + QStringLiteral("\n删除成功"), 1, 3, true);
    RefreshTaskList();
    // The rows have moved up: the chosen position now names another task.
    ClearChosenTask();
}

void CPlannerDlg::OnPostponeTask()
{
    if (m_nSelTask < 0)
        return;
    if (!Confirm(this, QStringLiteral("你确信要将事情{%1}推迟到【第二天】吗?").arg(RowText(m_nSelTask, 0)),
                 Messages::Icon::Warning))
        return;
    const QString content = TaskContentOfRow(m_nSelTask);
    if (!Store().PostponeTask(m_dtSelected.date(), content)) {
        Refuse(this, QStringLiteral("推迟失败，请重新推迟"));
        return;
    }
    m_context.ShowNotice(content + QStringLiteral("\n推迟成功"), 1, 3, true);
    RefreshTaskList();
    ClearChosenTask();
}

void CPlannerDlg::OnChangeState()
{
    if (m_nSelTask < 0)
        return;
    CTaskStateDlg dlg(RowText(m_nSelTask, 1), this);
    if (RunModal(dlg) != QDialog::Accepted)
        return;
    m_strNewState = dlg.GetNewState();
    if (Store().CountInProgressOnDay(m_dtSelected.date()) > 0 && m_strNewState == TaskStates::InProgress()) {
        Refuse(this, kOneInProgress);
        return;
    }
    const QString content = TaskContentOfRow(m_nSelTask);
    if (!Store().SetTaskState(m_dtSelected.date(), content, m_strNewState)) {
        Refuse(this, QStringLiteral("状态修改失败，请重新修改"));
        return;
    }
    m_context.ShowNotice(content + QStringLiteral("\n状态修改成功"), 1, 5, true);
    RefreshTaskList();
}

void CPlannerDlg::OnListDoubleClick()
{
    if (m_nTaskCount < 1 || !IsEditableDate() || m_nSelTask < 0)
        return;
    const QString state = RowText(m_nSelTask, 1);
    if (Store().CountInProgressOnDay(m_dtSelected.date()) > 0 && state != TaskStates::InProgress()) {
        Refuse(this, kOneInProgress);
        return;
    }
    // A double click starts a task, and a second one finishes it.
    const TaskState next = state == TaskStates::InProgress() ? TaskStates::Done() : TaskStates::InProgress();
    if (Store().SetTaskState(m_dtSelected.date(), TaskContentOfRow(m_nSelTask), next))
        RefreshTaskList();
    else
        Refuse(this, QStringLiteral("状态修改失败，请重新修改"));
    ClearChosenTask();
    m_pStatsButton->setFocus();
}

void CPlannerDlg::OnExit()
{
    if (!Confirm(this, QStringLiteral("你确信要退出系统吗?"), Messages::Icon::Critical))
        return;
    // A task left in progress would stay so for good: the shown date's goes back to not done.
    for (int row = 0; row < m_pList->rowCount(); ++row) {
        if (RowText(row, 1) == TaskStates::InProgress()) {
            Store().SetTaskState(m_dtSelected.date(), TaskContentOfRow(row), TaskStates::NotDone());
            break;
        }
    }
    QDialog::done(QDialog::Accepted);
}

void CPlannerDlg::reject() { OnExit(); }

void CPlannerDlg::closeEvent(QCloseEvent* event)
{
    event->ignore();
    OnExit();
}
