#include "reminder/ReminderDlg.h"

#include "reminder/CountdownPage.h"
#include "reminder/ReminderEditPage.h"
#include "reminder/ReminderManagePage.h"
#include "reminder/ReminderTodayPage.h"

#include <QGuiApplication>
#include <QIcon>
#include <QPainter>
#include <QScreen>
#include <QTabWidget>

CReminderDlg::CReminderDlg(CPlannerContext& context, CReminderAlertWnd* pAlertWnd, QWidget* parent)
    : QDialog(parent), m_banner(QStringLiteral(":/reminder/217.png"))
{
    setObjectName(QStringLiteral("ReminderDlg"));
    setWindowTitle(QStringLiteral("定时提醒"));
    setWindowIcon(QIcon(QStringLiteral(":/reminder/198.png")));
    setFixedSize(kWidth, kHeight);

    m_pTabs = new QTabWidget(this);
    m_pTabs->setObjectName(QStringLiteral("reminderTabs"));
    m_pTabs->setGeometry(8, kBannerHeight + 6, kWidth - 16, kHeight - kBannerHeight - 14);
    m_pEditPage = new CReminderEditPage(context, pAlertWnd, m_pTabs);
    m_pManagePage = new CReminderManagePage(context, m_pTabs);
    m_pTodayPage = new CReminderTodayPage(context, m_pTabs);
    m_pCountdownPage = new CCountdownPage(pAlertWnd, m_pTabs);
    m_pTabs->addTab(m_pEditPage, QStringLiteral("设置提醒"));
    m_pTabs->addTab(m_pManagePage, QStringLiteral("管理提醒"));
    m_pTabs->addTab(m_pTodayPage, QStringLiteral("今天提醒"));
    m_pTabs->addTab(m_pCountdownPage, QStringLiteral("倒计时提醒"));
    m_pTabs->setCurrentIndex(0);
    connect(m_pTabs, &QTabWidget::currentChanged, this, &CReminderDlg::OnTabChanged);

    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
}

void CReminderDlg::OnTabChanged(int index)
{
    // The lists are read when their tab is chosen, and only then.
    if (index == 1)
        m_pManagePage->Refresh();
    else if (index == 2)
        m_pTodayPage->Refresh();
}

void CReminderDlg::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), QColor(213, 225, 249));
    painter.drawPixmap(0, 0, m_banner);
}
