#include "timetable/TimetableDlg.h"

#include "controls/BackgroundBitmap.h"
#include "controls/BalloonTip.h"
#include "controls/GifPicture.h"
#include "controls/Messages.h"
#include "controls/RunModal.h"
#include "timetable/Timetable.h"
#include "timetable/TimetableEditDlg.h"

#include <QFileInfo>
#include <QIcon>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QTimer>

namespace {
const QColor kSky(213, 225, 249);
} // namespace

CTimetableDlg::CTimetableDlg(CPlannerContext& context, CTimetable& timetable, int nTeachWeek, int nWeekday,
                             QWidget* parent)
    : QDialog(parent),
      m_context(context),
      m_timetable(timetable),
      m_nTeachWeek(nTeachWeek),
      m_nWeekday(nWeekday),
      m_background(QStringLiteral(":/timetable/180.png"))
{
    setObjectName(QStringLiteral("TimetableDlg"));
    setWindowTitle(QStringLiteral("课程表"));
    setWindowIcon(QIcon(QStringLiteral(":/timetable/icon.png")));
    setFixedSize(kWidth, kHeight);
    setMouseTracking(true);

    m_pPicture = new CGifPicture(this);
    m_pPicture->setObjectName(QStringLiteral("timetablePicture"));
    m_pPicture->setGeometry(9, 8, 32, 32);
    m_pEditButton = new QPushButton(this);
    m_pEditButton->setObjectName(QStringLiteral("editButton"));
    m_pEditButton->setGeometry(kWidth - 44, 6, 36, 32);
    m_pEditButton->setFlat(true);
    connect(m_pEditButton, &QPushButton::clicked, this, &CTimetableDlg::OnEdit);

    m_pTip = new CBalloonTip(this);
    m_pTip->setObjectName(QStringLiteral("balloonTip"));
    m_pTip->SetIcon(QIcon(QStringLiteral(":/mainwnd/hint.png")));

    // The file may be replaced (a save renames a new one over it) or rewritten in place:
    // watch both the folder and the file.
    connect(&m_watcher, &QFileSystemWatcher::directoryChanged, this, &CTimetableDlg::CheckFile);
    connect(&m_watcher, &QFileSystemWatcher::fileChanged, this, &CTimetableDlg::CheckFile);
    WatchFile();

    if (m_timetable.Load())
        SetUpDisplay();
    else
        LoadFailed();
}

CTimetableDlg::~CTimetableDlg() = default;

void CTimetableDlg::SetUpDisplay()
{
    setWindowTitle(m_timetable.CaptionText(m_nTeachWeek, m_nWeekday));
    if (m_pPicture->LoadFromResource(184, QStringLiteral("GIF"))) {
        m_pPicture->setGeometry(9, 8, 32, 32);
        m_pPicture->Start();
        m_pPicture->SetBackground(kSky);
    }
    m_pEditButton->setIcon(QIcon(QStringLiteral(":/timetable/edit.png")));
    m_pEditButton->setIconSize(QSize(24, 24));
    QPalette palette = m_pEditButton->palette();
    palette.setColor(QPalette::Button, kSky);
    m_pEditButton->setPalette(palette);
    m_pTip->AddTool(m_pEditButton, QStringLiteral("设置课程表"));
}

void CTimetableDlg::LoadFailed()
{
    // A file that stays unreadable is one failure, whatever shape it takes meanwhile (gone, then
    // a folder) and however many signals its change brings: one box, and none on top of it.
    if (m_bLoadFailed)
        return;
    m_bLoadFailed = true;
    // A box for a window that is not on screen yet has nowhere to go but the screen's corner.
    if (isVisible())
        ReportLoadFailure();
    else
        m_bReportWhenShown = true;
}

void CTimetableDlg::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (!m_bReportWhenShown)
        return;
    m_bReportWhenShown = false;
    // Once the window has been placed and drawn, so that the box sits over it.
    QTimer::singleShot(0, this, [this] {
        if (isVisible())
            ReportLoadFailure();
    });
}

void CTimetableDlg::ReportLoadFailure()
{
    Messages::show(this, QStringLiteral("打开课程表文件失败，不能提取课程表信息，请重试"), Messages::appCaption(),
                   Messages::Icon::Warning);
}

void CTimetableDlg::WatchFile()
{
    const QString strFile = m_timetable.FilePath();
    if (strFile.isEmpty())
        return;
    const QString strFolder = QFileInfo(strFile).absolutePath();
    if (!m_watcher.directories().contains(strFolder))
        m_watcher.addPath(strFolder);
    if (QFileInfo::exists(strFile) && !m_watcher.files().contains(strFile))
        m_watcher.addPath(strFile);
}

void CTimetableDlg::CheckFile()
{
    WatchFile(); // a file renamed over the old one is a new file to watch
    switch (m_timetable.ReloadIfChanged()) {
    case CTimetable::Reload::Unchanged:
        break;
    case CTimetable::Reload::Loaded:
        m_bLoadFailed = false;
        update();
        break;
    case CTimetable::Reload::Failed:
        LoadFailed();
        update();
        break;
    }
}

bool CTimetableDlg::event(QEvent* event)
{
    // Coming back to the window is when a change made elsewhere should show.
    if (event->type() == QEvent::WindowActivate)
        CheckFile();
    return QDialog::event(event);
}

void CTimetableDlg::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    DrawBackgroundBitmap(painter, m_background, this);
    m_timetable.DrawTitle(painter, QColor(0, 0, 255));
    m_timetable.DrawTimes(painter, QColor(255, 0, 0));
    m_timetable.DrawCourses(painter);
}

void CTimetableDlg::mouseMoveEvent(QMouseEvent* event)
{
    m_pTip->RelayEvent(event);
    const int nSlot = m_timetable.SlotAt(event->position().toPoint());
    if (nSlot >= 0 && m_timetable.m_entries[size_t(nSlot)].bHasCourse) {
        setCursor(Qt::PointingHandCursor);
        m_pTip->ShowAt(m_timetable.TooltipText(nSlot), event->globalPosition().toPoint());
    } else {
        unsetCursor();
    }
    QDialog::mouseMoveEvent(event);
}

void CTimetableDlg::OnEdit()
{
    CTimetableEditDlg dlg(m_context, m_timetable, this);
    RunModal(dlg);
    CheckFile();
    setWindowTitle(m_timetable.CaptionText(m_nTeachWeek, m_nWeekday));
    update();
}
