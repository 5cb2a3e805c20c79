#include "mainwnd/AboutDlg.h"

#include "controls/BackgroundBitmap.h"
#include "controls/GifPicture.h"

#include <QIcon>
#include <QMouseEvent>
#include <QPainter>

CAboutDlg::CAboutDlg(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint), m_background(QStringLiteral(":/dialogs/171.png"))
{
    setObjectName(QStringLiteral("AboutDlg"));
    setWindowTitle(QStringLiteral("关于 Kestrum"));
    setWindowIcon(QIcon(QStringLiteral(":/dialogs/145.png")));
    setFixedSize(kWidth, kHeight);

    m_pStrip = new CGifPicture(this);
    m_pStrip->setObjectName(QStringLiteral("aboutStrip"));
    m_pStrip->LoadFromResource(172, QStringLiteral("GIF"));
    // Loading sizes the control to the picture; the box's own place for it wins.
    m_pStrip->setGeometry(kStripRect);
    m_pStrip->Start();
}

CAboutDlg::~CAboutDlg()
{
    // The animation thread draws into the strip; end it before the widgets go.
    m_pStrip->Stop();
}

void CAboutDlg::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    DrawBackgroundBitmap(painter, m_background, this);
}

void CAboutDlg::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton) {
        QDialog::mousePressEvent(event);
        return;
    }
    m_bDragging = true;
    m_ptGrab = event->globalPosition().toPoint() - frameGeometry().topLeft();
    event->accept();
}

void CAboutDlg::mouseMoveEvent(QMouseEvent* event)
{
    if (m_bDragging && event->buttons().testFlag(Qt::LeftButton)) {
        move(event->globalPosition().toPoint() - m_ptGrab);
        event->accept();
        return;
    }
    QDialog::mouseMoveEvent(event);
}

void CAboutDlg::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        m_bDragging = false;
    QDialog::mouseReleaseEvent(event);
}

void CAboutDlg::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton) {
        m_bDragging = false;
        accept();
        return;
    }
    QDialog::mouseDoubleClickEvent(event);
}
