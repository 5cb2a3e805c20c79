#include "reminder/ReminderManagePage.h"

#include "app/PlannerContext.h"
#include "controls/GridCtrl.h"
#include "controls/Messages.h"
#include "reminder/ReminderTexts.h"
#include "store/DataStore.h"

#include <QCursor>
#include <QIcon>
#include <QItemSelectionModel>
#include <QMenu>

CReminderManagePage::CReminderManagePage(CPlannerContext& context, QWidget* parent)
    : CReminderListPage(context, parent)
{
    setObjectName(QStringLiteral("ReminderManagePage"));
    Grid()->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(Grid(), &QWidget::customContextMenuRequested, this, &CReminderManagePage::OnContextMenu);
    connect(Grid()->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& current) { m_nSelRow = current.isValid() ? current.row() : -1; });
}

int CReminderManagePage::CountRows()
{
    return m_context.Store().CountReminders();
}

bool CReminderManagePage::ListRows(QStringList& times, QStringList& modes, QStringList& rings, QStringList& titles,
                                   QStringList& contents)
{
    return m_context.Store().ListReminders(times, modes, rings, titles, contents);
}

QMenu* CReminderManagePage::BuildMenu(QWidget* parent)
{
    auto* menu = new QMenu(parent);
    menu->setObjectName(QStringLiteral("txmanager"));
    menu->addAction(QIcon(QStringLiteral(":/reminder/223.png")), QStringLiteral("打印提醒信息"), this,
                    &CReminderManagePage::OnPrint);
    menu->addSeparator();
    menu->addAction(QIcon(QStringLiteral(":/reminder/225.png")), QStringLiteral("清除过期提醒"), this,
                    &CReminderManagePage::OnClearExpired);
    menu->addAction(QIcon(QStringLiteral(":/reminder/224.png")), QStringLiteral("删除当前选中的记录"), this,
                    &CReminderManagePage::OnDeleteSelected);
    return menu;
}

void CReminderManagePage::OnContextMenu()
{
    QMenu* menu = BuildMenu(this);
    menu->exec(QCursor::pos());
    menu->deleteLater();
}

void CReminderManagePage::OnDeleteSelected()
{
    if (m_nSelRow < 0)
        return;
    CGridCtrl* grid = Grid();
    const QString time = grid->GetItemText(m_nSelRow, 1);
    const QString title = grid->GetItemText(m_nSelRow, 2);
    const QString mode = grid->GetItemText(m_nSelRow, 3);
    const QString ring = grid->GetItemText(m_nSelRow, 4);
    const QString content = grid->GetItemText(m_nSelRow, 5);
    if (Messages::show(this, QStringLiteral("你确信要删除提醒{%1}").arg(title), QStringLiteral("警告"),
                       Messages::Icon::Critical, QMessageBox::Ok | QMessageBox::Cancel) == QMessageBox::Cancel)
        return;
    if (!m_context.Store().DeleteReminder(ReminderTexts::Moment(time), ReminderTexts::ModeFromText(mode),
                                          ReminderTexts::RingFromText(ring) ? 1 : 0, title, content)) {
        Messages::show(this, QStringLiteral("删除失败"), QStringLiteral("警告"), Messages::Icon::Critical);
        return;
    }
    Refresh();
    m_context.ShowNotice(QStringLiteral("删除成功!"), 1, 5, true);
}

void CReminderManagePage::OnClearExpired()
{
    if (Messages::show(this, QStringLiteral("你确信要清除过期的提醒吗?"), QStringLiteral("警告"),
                       Messages::Icon::Critical, QMessageBox::Ok | QMessageBox::Cancel) == QMessageBox::Cancel)
        return;
    if (m_context.Store().PurgeExpiredReminders())
        Refresh();
}

void CReminderManagePage::OnPrint()
{
    Grid()->Print();
}
