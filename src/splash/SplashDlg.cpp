#include "splash/SplashDlg.h"

#include "controls/GifPicture.h"

#include <QGuiApplication>
#include <QIcon>
#include <QMouseEvent>
#include <QScreen>

CSplashDlg::CSplashDlg(std::chrono::milliseconds showTime, QWidget* parent)
    : QDialog(parent, Qt::SplashScreen | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint)
{
    // A splash window keeps out of the taskbar and the window switcher on every desktop, as a
    // tool window does on Windows.
    setObjectName(QStringLiteral("SplashDlg"));
    setWindowTitle(QStringLiteral("Kestrum"));
    setWindowIcon(QIcon(QStringLiteral(":/splash/128.png")));
    setFixedSize(kWidth, kHeight);

    m_pPicture = new CGifPicture(this);
    m_pPicture->setObjectName(QStringLiteral("splashPicture"));
    m_pPicture->setGeometry(0, 0, kWidth, kHeight);
    // Clicks go to the window, wherever the picture covers it.
    m_pPicture->setAttribute(Qt::WA_TransparentForMouseEvents);

    m_timer.setSingleShot(true);
    m_timer.setTimerType(Qt::PreciseTimer); // a coarse timer may end the show up to 5 % early
    m_timer.setInterval(showTime);
    connect(&m_timer, &QTimer::timeout, this, &CSplashDlg::End);

    // Without its picture the window stays empty until it is clicked: no timer.
    if (m_pPicture->LoadFromResource(129, QStringLiteral("GIF"))) {
        m_pPicture->Start();
        m_timer.start();
    }
}

CSplashDlg::~CSplashDlg()
{
    // The animation thread ends before the window it draws for.
    m_pPicture->Stop();
}

void CSplashDlg::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
}

void CSplashDlg::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        End();
    else
        QDialog::mousePressEvent(event);
}

void CSplashDlg::End()
{
    m_timer.stop();
    m_pPicture->Stop();
    done(QDialog::Accepted);
}
