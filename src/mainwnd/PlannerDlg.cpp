#include "mainwnd/PlannerDlg.h"

#include <QPushButton>

CPlannerDlg::CPlannerDlg(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("PlannerDlg"));
    setWindowTitle(QStringLiteral("Kestrum"));
    setFixedSize(kWidth, kHeight);
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowCloseButtonHint);

    m_pExitButton = new QPushButton(QStringLiteral("×"), this);
    m_pExitButton->setObjectName(QStringLiteral("exitButton"));
    m_pExitButton->setToolTip(QStringLiteral("退出"));
    m_pExitButton->setGeometry(kWidth - 34, 6, 28, 24);
    connect(m_pExitButton, &QPushButton::clicked, this, &QDialog::accept);
}

void CPlannerDlg::Activate()
{
    setWindowState((windowState() & ~Qt::WindowMinimized) | Qt::WindowActive);
    show();
    raise();
    activateWindow();
}

void CPlannerDlg::paintEvent(QPaintEvent* event)
{
    QDialog::paintEvent(event);
    if (!m_bPainted) {
        m_bPainted = true;
        emit FirstPainted();
    }
}
