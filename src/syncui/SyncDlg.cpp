#include "syncui/SyncDlg.h"

#include "app/PlannerContext.h"
#include "app/SettingsFile.h"
#include "controls/RunModal.h"
#include "sync/PasswordStore.h"
#include "sync/SyncService.h"
#include "sync/SyncSettings.h"
#include "syncui/SyncAccountDlg.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {
const QString kTimeFormat = QStringLiteral("yyyy-MM-dd HH:mm");

/// What the planner held, in one line: a task by its day, content and state; a reminder by its
/// time and title.
QString LocalText(const ExchangeItem& item)
{
    if (item.kind == ExchangeKind::Reminder) {
        const ReminderRecord& r = item.reminder;
        return QStringLiteral("提醒 %1-%2-%3 %4:%5 %6")
            .arg(int(r.nYear))
            .arg(int(r.nMonth), 2, 10, QChar(u'0'))
            .arg(int(r.nDay), 2, 10, QChar(u'0'))
            .arg(int(r.nHour), 2, 10, QChar(u'0'))
            .arg(int(r.nMinute), 2, 10, QChar(u'0'))
            .arg(r.strTitle);
    }
    return QStringLiteral("%1 %2（%3）").arg(item.task.strDate, item.task.strContent, item.task.strState);
}

QTreeWidget* MakeList(QWidget* parent, const QString& name, const QStringList& headers)
{
    auto* list = new QTreeWidget(parent);
    list->setObjectName(name);
    list->setRootIsDecorated(false);
    list->setHeaderLabels(headers);
    list->setMinimumWidth(520);
    list->header()->setStretchLastSection(true);
    return list;
}
} // namespace

CSyncDlg::CSyncDlg(CPlannerContext& context, QWidget* parent) : QDialog(parent), m_context(context)
{
    setObjectName(QStringLiteral("SyncDlg"));
    setWindowTitle(QStringLiteral("日历同步"));

    auto* statusFrame = new QGroupBox(QStringLiteral("同步"), this);
    auto* statusLayout = new QHBoxLayout(statusFrame);
    auto* texts = new QVBoxLayout;
    m_pLastLabel = new QLabel(statusFrame);
    m_pLastLabel->setObjectName(QStringLiteral("lastLabel"));
    m_pLastLabel->setWordWrap(true);
    m_pStatusLabel = new QLabel(statusFrame);
    m_pStatusLabel->setObjectName(QStringLiteral("statusLabel"));
    texts->addWidget(m_pLastLabel);
    texts->addWidget(m_pStatusLabel);
    m_pSyncNowButton = new QPushButton(QStringLiteral("立即同步"), statusFrame);
    m_pSyncNowButton->setObjectName(QStringLiteral("syncNowButton"));
    statusLayout->addLayout(texts, 1);
    statusLayout->addWidget(m_pSyncNowButton, 0, Qt::AlignTop);

    auto* refusedFrame = new QGroupBox(QStringLiteral("服务器拒收的项目"), this);
    auto* refusedLayout = new QVBoxLayout(refusedFrame);
    m_pRefusedList = MakeList(refusedFrame, QStringLiteral("refusedList"),
                              {QStringLiteral("项目"), QStringLiteral("服务器的回答")});
    m_pRefusedList->setMaximumHeight(90);
    refusedLayout->addWidget(m_pRefusedList);

    auto* conflictFrame = new QGroupBox(QStringLiteral("冲突：服务器上的版本已取代的本机版本"), this);
    auto* conflictLayout = new QVBoxLayout(conflictFrame);
    m_pConflictList =
        MakeList(conflictFrame, QStringLiteral("conflictList"),
                 {QStringLiteral("时间"), QStringLiteral("本机的版本"), QStringLiteral("服务器上的版本")});
    m_pRestoreButton = new QPushButton(QStringLiteral("恢复"), conflictFrame);
    m_pRestoreButton->setObjectName(QStringLiteral("restoreButton"));
    m_pRestoreButton->setToolTip(QStringLiteral("用本机的版本取代服务器上的版本，下次同步时送到服务器"));
    m_pDropButton = new QPushButton(QStringLiteral("放弃"), conflictFrame);
    m_pDropButton->setObjectName(QStringLiteral("dropButton"));
    m_pDropButton->setToolTip(QStringLiteral("放弃本机的版本，保留服务器上的版本"));
    auto* conflictButtons = new QHBoxLayout;
    conflictButtons->addStretch(1);
    conflictButtons->addWidget(m_pRestoreButton);
    conflictButtons->addWidget(m_pDropButton);
    conflictLayout->addWidget(m_pConflictList);
    conflictLayout->addLayout(conflictButtons);

    m_pAccountButton = new QPushButton(QStringLiteral("账户…"), this);
    m_pAccountButton->setObjectName(QStringLiteral("accountButton"));
    m_pCloseButton =
        new QPushButton(QIcon(QStringLiteral(":/dialogs/146.png")), QStringLiteral("关闭"), this);
    m_pCloseButton->setObjectName(QStringLiteral("closeButton"));
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_pAccountButton);
    buttons->addStretch(1);
    buttons->addWidget(m_pCloseButton);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(statusFrame);
    layout->addWidget(refusedFrame);
    layout->addWidget(conflictFrame, 1);
    layout->addLayout(buttons);

    connect(m_pSyncNowButton, &QPushButton::clicked, this, &CSyncDlg::OnSyncNow);
    connect(m_pRestoreButton, &QPushButton::clicked, this, &CSyncDlg::OnRestore);
    connect(m_pDropButton, &QPushButton::clicked, this, &CSyncDlg::OnDrop);
    connect(m_pAccountButton, &QPushButton::clicked, this, &CSyncDlg::OnAccount);
    connect(m_pCloseButton, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_pConflictList, &QTreeWidget::itemSelectionChanged, this, [this] {
        m_pRestoreButton->setEnabled(Selected());
        m_pDropButton->setEnabled(Selected());
    });

    if (CSyncService* service = m_context.SyncService()) {
        connect(service, &CSyncService::syncStarted, this, &CSyncDlg::ReadStatus);
        connect(service, &CSyncService::synced, this, &CSyncDlg::OnSynced);
    }
    ReadStatus();
    const SyncReport* last = m_context.LastSyncReport();
    ShowRefused(last ? last->refused : QList<SyncRefusal>());
    ReadConflicts();
}

void CSyncDlg::ReadStatus()
{
    const SyncSettings settings = SyncSettings::Load(m_context.DataFile(CSettingsFile::FileName()));
    if (!settings.IsSet())
        m_pLastLabel->setText(QStringLiteral("还没有设置同步账户：请点“账户…”"));
    else if (!settings.lastSync.isValid())
        m_pLastLabel->setText(QStringLiteral("还没有同步过"));
    else
        m_pLastLabel->setText(QStringLiteral("上次同步：%1  %2")
                                  .arg(settings.lastSync.toString(kTimeFormat), settings.strLastResult));
    CSyncService* service = m_context.SyncService();
    m_pStatusLabel->setText(service ? service->StatusText() : QString());
    m_pStatusLabel->setVisible(!m_pStatusLabel->text().isEmpty());
    // Without an account or a service there is nothing to ask for; a sync under way ends first.
    m_pSyncNowButton->setEnabled(settings.IsSet() && service && !service->IsRunning());
}

void CSyncDlg::ShowRefused(const QList<SyncRefusal>& refused)
{
    m_pRefusedList->clear();
    for (const SyncRefusal& item : refused)
        m_pRefusedList->addTopLevelItem(new QTreeWidgetItem(
            {item.strName, item.strAnswer.isEmpty() ? QString::number(item.nHttpStatus) : item.strAnswer}));
    m_pRefusedList->resizeColumnToContents(0);
    m_pRefusedList->parentWidget()->setVisible(!refused.isEmpty());
}

void CSyncDlg::ReadConflicts()
{
    m_conflicts.clear();
    m_pConflictList->clear();
    SyncConflicts::List(m_context.Store(), m_conflicts);
    for (const SyncConflict& conflict : m_conflicts) {
        m_pConflictList->addTopLevelItem(
            new QTreeWidgetItem({conflict.when.toString(kTimeFormat), LocalText(conflict.local),
                                 conflict.strServerSummary.isEmpty() ? QStringLiteral("（服务器上已删除）")
                                                                     : conflict.strServerSummary}));
    }
    m_pConflictList->resizeColumnToContents(0);
    m_pConflictList->resizeColumnToContents(1);
    m_pRestoreButton->setEnabled(false);
    m_pDropButton->setEnabled(false);
}

const SyncConflict* CSyncDlg::Selected() const
{
    QTreeWidgetItem* item = m_pConflictList->currentItem();
    const int row = item && item->isSelected() ? m_pConflictList->indexOfTopLevelItem(item) : -1;
    return row >= 0 && size_t(row) < m_conflicts.size() ? &m_conflicts[size_t(row)] : nullptr;
}

void CSyncDlg::OnSyncNow()
{
    if (CSyncService* service = m_context.SyncService()) {
        m_pSyncNowButton->setEnabled(false);
        service->SyncNow();
    }
}

void CSyncDlg::OnSynced(const SyncReport& report)
{
    ReadStatus();
    ShowRefused(report.refused);
    ReadConflicts();
}

void CSyncDlg::OnRestore()
{
    const SyncConflict* conflict = Selected();
    if (!conflict || !SyncConflicts::Restore(m_context.Store(), conflict->nId))
        return;
    // The restored version shows at once here; the store's change listener sends it with the next sync.
    m_context.ReloadData();
    ReadConflicts();
}

void CSyncDlg::OnDrop()
{
    const SyncConflict* conflict = Selected();
    if (conflict && SyncConflicts::Drop(m_context.Store(), conflict->nId))
        ReadConflicts();
}

void CSyncDlg::OnAccount()
{
    const QString path = m_context.DataFile(CSettingsFile::FileName());
    const SyncSettings account = SyncSettings::Load(path);
    // A test of the connection needs the password of the account as it stands.
    QString password;
    if (account.IsSet()) {
        const PasswordStore::Answer stored = PasswordStore::Read(account.server, account.strUser);
        if (stored.outcome == PasswordStore::Outcome::Done)
            password = stored.strPassword;
    }
    CSyncAccountDlg dlg(
        path, password, [this, path](const QString& newPassword) { KeepPassword(path, newPassword); }, this);
    RunModal(dlg);
    ReadStatus();
}

void CSyncDlg::KeepPassword(const QString& settingsPath, const QString& password)
{
    // Without a keyring the password lives in this run's memory only, and is asked for next time.
    const SyncSettings account = SyncSettings::Load(settingsPath);
    PasswordStore::Write(account.server, account.strUser, password);
    if (CSyncService* service = m_context.SyncService()) {
        service->SetPassword(password);
        service->SyncNow();
    }
}
