#include "reminder/MissedRemindersDlg.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <algorithm>

CMissedRemindersDlg::CMissedRemindersDlg(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowStaysOnTopHint)
{
    setObjectName(QStringLiteral("MissedRemindersDlg"));
    setWindowTitle(QStringLiteral("错过的提醒"));
    auto* heading = new QLabel(QStringLiteral("下面这些提醒的时间已过，当时没能提醒您："), this);
    m_pList = new QTreeWidget(this);
    m_pList->setObjectName(QStringLiteral("missedList"));
    m_pList->setRootIsDecorated(false);
    m_pList->setAlternatingRowColors(true);
    m_pList->setSelectionMode(QAbstractItemView::NoSelection);
    m_pList->setHeaderLabels({QStringLiteral("时间"), QStringLiteral("标题"), QStringLiteral("内容")});
    m_pList->header()->setStretchLastSection(true);
    m_pRest = new QLabel(this);
    m_pRest->setObjectName(QStringLiteral("notListed"));
    auto* buttons = new QDialogButtonBox(this);
    QPushButton* close = buttons->addButton(QStringLiteral("关闭"), QDialogButtonBox::AcceptRole);
    close->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(this, &QDialog::finished, this, [this] {
        m_listed.clear();
        m_nNotListed = 0;
        Refill();
    });
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(heading);
    layout->addWidget(m_pList);
    layout->addWidget(m_pRest);
    layout->addWidget(buttons);
    resize(520, 320);
}

void CMissedRemindersDlg::Add(std::vector<MissedReminder> missed)
{
    if (missed.empty())
        return;
    m_listed.insert(m_listed.end(), std::make_move_iterator(missed.begin()),
                    std::make_move_iterator(missed.end()));
    std::stable_sort(m_listed.begin(), m_listed.end(),
                     [](const MissedReminder& a, const MissedReminder& b) { return a.moment < b.moment; });
    if (m_listed.size() > size_t(kMaxListed)) {
        const auto drop = m_listed.size() - size_t(kMaxListed);
        m_nNotListed += int(drop);
        m_listed.erase(m_listed.begin(), m_listed.begin() + qsizetype(drop));
    }
    Refill();
    show();
    raise();
}

void CMissedRemindersDlg::Refill()
{
    m_pList->clear();
    for (const MissedReminder& m : m_listed) {
        QString content = m.content;
        content.replace(u'\n', u' ');
        auto* item = new QTreeWidgetItem(
            m_pList, {m.moment.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")), m.title, content});
        item->setToolTip(2, m.content);
    }
    m_pList->resizeColumnToContents(0);
    m_pList->resizeColumnToContents(1);
    m_pRest->setText(m_nNotListed > 0 ? QStringLiteral("另有 %1 个更早的提醒没有列出。").arg(m_nNotListed)
                                      : QString());
    m_pRest->setVisible(m_nNotListed > 0);
}
