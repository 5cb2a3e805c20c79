// The commands on the chosen task of the day view, and the way out of the program.
#include "app/PlannerContext.h"
#include "controls/Messages.h"
#include "controls/RunModal.h"
#include "mainwnd/PlannerDlg.h"
#include "mainwnd/TaskList.h"
#include "mainwnd/TaskStateDlg.h"
#include "store/DataStore.h"

#include <QCloseEvent>
#include <QPushButton>

namespace {

const QString kOneInProgress = QStringLiteral("一天中只能存在一件事情是【进行中】状态");

void Refuse(QWidget* parent, const QString& text)
{
    Messages::show(parent, text, QStringLiteral("提示"), Messages::Icon::Critical);
}

bool Confirm(QWidget* parent, const QString& text, Messages::Icon icon)
{
    return Messages::show(parent, text, QStringLiteral("警告"), icon,
                          QMessageBox::Ok | QMessageBox::Cancel) == QMessageBox::Ok;
}

} // namespace

void CPlannerDlg::OnDeleteTask()
{
    const std::optional<TaskRow> task = m_pTaskList->ChosenTask();
    if (!task)
        return;
    if (!Confirm(this, QStringLiteral("你确信要删除{%1}事情").arg(m_pTaskList->ChosenText()),
                 Messages::Icon::Critical))
        return;
    if (!Store().DeleteTask(m_dtSelected.date(), task->strContent)) {
        Refuse(this, QStringLiteral("删除失败，请重新删除"));
        return;
    }
    m_context.ShowNotice(task->strContent + QStringLiteral("\n删除成功"), 1, 3, true);
    RefreshTaskList();
    // The rows have moved up: the chosen position now names another task.
    ClearChosenTask();
}

void CPlannerDlg::OnPostponeTask()
{
    const std::optional<TaskRow> task = m_pTaskList->ChosenTask();
    if (!task)
        return;
    if (!Confirm(this, QStringLiteral("你确信要将事情{%1}推迟到【第二天】吗?").arg(m_pTaskList->ChosenText()),
                 Messages::Icon::Warning))
        return;
    if (!Store().PostponeTask(m_dtSelected.date(), task->strContent)) {
        Refuse(this, QStringLiteral("推迟失败，请重新推迟"));
        return;
    }
    m_context.ShowNotice(task->strContent + QStringLiteral("\n推迟成功"), 1, 3, true);
    RefreshTaskList();
    ClearChosenTask();
}

void CPlannerDlg::OnChangeState()
{
    const std::optional<TaskRow> task = m_pTaskList->ChosenTask();
    if (!task)
        return;
    CTaskStateDlg dlg(task->strState, this);
    if (RunModal(dlg) != QDialog::Accepted)
        return;
    const TaskState newState = dlg.GetNewState();
    if (!TaskRules::MayChooseState(Store().CountInProgressOnDay(m_dtSelected.date()), newState)) {
        Refuse(this, kOneInProgress);
        return;
    }
    if (!Store().SetTaskState(m_dtSelected.date(), task->strContent, newState)) {
        Refuse(this, QStringLiteral("状态修改失败，请重新修改"));
        return;
    }
    m_context.ShowNotice(task->strContent + QStringLiteral("\n状态修改成功"), 1, 5, true);
    RefreshTaskList();
}

void CPlannerDlg::OnListDoubleClick()
{
    const std::optional<TaskRow> task = m_pTaskList->ChosenTask();
    const bool editable = IsEditableDate();
    // The day's tasks in progress are counted only when there is something to change.
    const int inProgress = task && editable ? Store().CountInProgressOnDay(m_dtSelected.date()) : 0;
    const TaskRules::QuickChange change = TaskRules::DoubleClick(task, editable, inProgress);
    if (change.kind == TaskRules::QuickChange::Nothing)
        return;
    if (change.kind == TaskRules::QuickChange::Refused) {
        Refuse(this, kOneInProgress);
        return;
    }
    if (Store().SetTaskState(m_dtSelected.date(), task->strContent, change.strNext))
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
    // The list shows the store's tasks of the shown date as they were last read.
    if (const std::optional<TaskRow> task = TaskRules::TaskResetAtExit(m_pTaskList->Tasks()))
        Store().SetTaskState(m_dtSelected.date(), task->strContent, TaskStates::NotDone());
    QDialog::done(QDialog::Accepted);
}

void CPlannerDlg::reject()
{
    OnExit();
}

void CPlannerDlg::closeEvent(QCloseEvent* event)
{
    event->ignore();
    OnExit();
}
