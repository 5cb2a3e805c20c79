#include "app/SettingsDlg.h"

#include "store/Compaction.h"
#include "app/DataFolder.h"
#include "app/ExchangeDlg.h"
#include "app/Platform.h"
#include "app/PlannerContext.h"
#include "app/SettingsFile.h"
#include "controls/BackgroundBitmap.h"
#include "controls/Messages.h"
#include "controls/RunModal.h"
#include "reminder/AlertWay.h"
#include "syncui/SyncDlg.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QVBoxLayout>
#include <utility>

namespace {
// The picture runs down the left edge; the two frames and the buttons sit right of it.
constexpr int kPictureWidth = 132;
constexpr int kLeft = kPictureWidth + 16;
constexpr int kFrameWidth = CSettingsDlg::kWidth - kLeft - 16;

QCheckBox* MakeCheck(QWidget* parent, const QString& text, const QString& name, bool bChecked)
{
    auto* check = new QCheckBox(text, parent);
    check->setObjectName(name);
    check->setChecked(bChecked);
    return check;
}
} // namespace

CSettingsDlg::CSettingsDlg(CPlannerContext& context, std::function<void(bool)> applyTopmost, QWidget* parent)
    : QDialog(parent),
      m_context(context),
      m_applyTopmost(std::move(applyTopmost)),
      m_picture(QStringLiteral(":/settings/205.png"))
{
    setObjectName(QStringLiteral("SettingsDlg"));
    setWindowTitle(QStringLiteral("系统设置"));
    setWindowIcon(QIcon(QStringLiteral(":/settings/206.png")));
    setFixedSize(kWidth, kHeight);

    const ConfigFlags& flags = m_context.Settings();
    auto* startFrame = new QGroupBox(QStringLiteral("启动与窗口"), this);
    startFrame->setObjectName(QStringLiteral("startFrame"));
    startFrame->setGeometry(kLeft, 14, kFrameWidth, 150);
    auto* startLayout = new QVBoxLayout(startFrame);
    m_pAutorunCheck = MakeCheck(startFrame, QStringLiteral("开机自启动"), QStringLiteral("autorunCheck"), flags.m_bAutorun);
    m_pSplashCheck =
        MakeCheck(startFrame, QStringLiteral("显示启动界面"), QStringLiteral("splashCheck"), flags.m_bShowSplash);
    m_pMinimizedCheck = MakeCheck(startFrame, QStringLiteral("启动后即最小化"), QStringLiteral("minimizedCheck"),
                                  flags.m_bStartMinimized);
    m_pTopmostCheck = MakeCheck(startFrame, QStringLiteral("主界面总是位于最前面"), QStringLiteral("topmostCheck"),
                                flags.m_bTopmost);
    for (QCheckBox* check : {m_pAutorunCheck, m_pSplashCheck, m_pMinimizedCheck, m_pTopmostCheck})
        startLayout->addWidget(check);

    auto* alertFrame = new QGroupBox(QStringLiteral("提醒"), this);
    alertFrame->setObjectName(QStringLiteral("alertFrame"));
    alertFrame->setGeometry(kLeft, 172, kFrameWidth, 60);
    auto* alertLayout = new QHBoxLayout(alertFrame);
    auto* alertLabel = new QLabel(QStringLiteral("提醒方式"), alertFrame);
    m_pAlertWayCombo = new QComboBox(alertFrame);
    m_pAlertWayCombo->setObjectName(QStringLiteral("alertWayCombo"));
    m_pAlertWayCombo->addItems(
        {QStringLiteral("提醒窗口"), QStringLiteral("桌面通知"), QStringLiteral("两者")});
    m_pAlertWayCombo->setToolTip(QStringLiteral(
        "到时的提醒和倒计时结束时用本程序的提醒窗口、桌面的通知或两者显示；桌面不能显示通知时总用提醒窗口"));
    m_pAlertWayCombo->setCurrentIndex(
        int(AlertWaySetting::Read(m_context.DataFile(CSettingsFile::FileName()))));
    alertLabel->setBuddy(m_pAlertWayCombo);
    alertLayout->addWidget(alertLabel);
    alertLayout->addWidget(m_pAlertWayCombo, 1);

    auto* dataFrame = new QGroupBox(QStringLiteral("数据库维护"), this);
    dataFrame->setObjectName(QStringLiteral("dataFrame"));
    dataFrame->setGeometry(kLeft, 240, kFrameWidth, 68);
    auto* dataLayout = new QVBoxLayout(dataFrame);
    m_pCompactButton = new QPushButton(QStringLiteral("对数据库进行压缩清理"), dataFrame);
    m_pCompactButton->setObjectName(QStringLiteral("compactButton"));
    m_pCompactButton->setToolTip(QStringLiteral("重写数据库文件，收回删除事情后空出的空间"));
    dataLayout->addWidget(m_pCompactButton);

    // A row of their own above the two buttons: the window grew by it, nothing else moved.
    m_pExchangeButton = new QPushButton(QStringLiteral("日历导入导出…"), this);
    m_pExchangeButton->setObjectName(QStringLiteral("exchangeButton"));
    m_pExchangeButton->setToolTip(
        QStringLiteral("把事情、提醒和节日导出为 iCalendar 文件，或从这样的文件导入"));
    m_pExchangeButton->setGeometry(kLeft, kHeight - 82, 100, 30);
    m_pSyncButton = new QPushButton(QStringLiteral("日历同步…"), this);
    m_pSyncButton->setObjectName(QStringLiteral("syncButton"));
    m_pSyncButton->setToolTip(QStringLiteral("和日历服务器 (CalDAV) 同步事情和提醒"));
    m_pSyncButton->setGeometry(kLeft + 108, kHeight - 82, 100, 30);

    m_pSaveButton = new QPushButton(QIcon(QStringLiteral(":/dialogs/147.png")), QStringLiteral("保存"), this);
    m_pSaveButton->setObjectName(QStringLiteral("saveButton"));
    m_pSaveButton->setGeometry(kWidth - 206, kHeight - 46, 90, 30);
    m_pSaveButton->setDefault(true);
    m_pExitButton = new QPushButton(QIcon(QStringLiteral(":/dialogs/146.png")), QStringLiteral("退出"), this);
    m_pExitButton->setObjectName(QStringLiteral("exitButton"));
    m_pExitButton->setGeometry(kWidth - 106, kHeight - 46, 90, 30);

    connect(m_pSaveButton, &QPushButton::clicked, this, &CSettingsDlg::OnSave);
    connect(m_pExitButton, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_pCompactButton, &QPushButton::clicked, this, &CSettingsDlg::OnCompact);
    connect(m_pExchangeButton, &QPushButton::clicked, this, &CSettingsDlg::OnExchange);
    connect(m_pSyncButton, &QPushButton::clicked, this, &CSettingsDlg::OnSync);
}

void CSettingsDlg::OnExchange()
{
    CExchangeDlg dlg(m_context, this);
    RunModal(dlg);
}

void CSettingsDlg::OnSync()
{
    CSyncDlg dlg(m_context, this);
    RunModal(dlg);
}

void CSettingsDlg::OnSave()
{
    // The flags change first, so that a failed write leaves them as the user chose: the next
    // save (from this dialog, which stays open) writes them again.
    ConfigFlags& flags = m_context.Settings();
    flags.m_bAutorun = m_pAutorunCheck->isChecked() ? 1 : 0;
    flags.m_bShowSplash = m_pSplashCheck->isChecked() ? 1 : 0;
    flags.m_bStartMinimized = m_pMinimizedCheck->isChecked() ? 1 : 0;
    flags.m_bTopmost = m_pTopmostCheck->isChecked() ? 1 : 0;

    if (!m_context.WriteConfig()) {
        Messages::show(this, QStringLiteral("保持配置数据失败，请重新保存"), QStringLiteral("警告"),
                       Messages::Icon::Warning);
        return;
    }
    // The way reminders show has a file of its own, beside config.ini whose format is fixed.
    const CAtomicFile::Result written = AlertWaySetting::Write(m_context.DataFile(CSettingsFile::FileName()),
                                                               AlertWay(m_pAlertWayCombo->currentIndex()));
    if (!written) {
        QString text = QStringLiteral("无法保存提醒方式到 %1，提醒仍按原来的方式显示，请重新保存")
                           .arg(CSettingsFile::FileName());
        if (!written.bDiskFull && !written.strError.isEmpty())
            text += QStringLiteral("\r\n") + written.strError;
        Messages::show(this, CAtomicFile::FailureText(text, written), QStringLiteral("错误"),
                       Messages::Icon::Critical);
        return;
    }
    m_context.ShowNotice(QStringLiteral("保存系统配置数据成功!"), 1, 5, true);
    if (m_applyTopmost)
        m_applyTopmost(flags.m_bTopmost == 1);
    // The desktop entry follows the file; when it cannot be written the setting stays saved
    // in the file, and the next save tries again. It starts the planner on the data folder in
    // use, however that was chosen today.
    Platform::SetAutorun(flags.m_bAutorun == 1, Platform::MainProgram(m_context.GetAppFolder()),
                         DataFolder::StartArguments(m_context.GetAppFolder()));
    accept();
}

void CSettingsDlg::OnCompact()
{
    Compaction::Result result;
    {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        result = Compaction::CompactStore(m_context.Store());
        QApplication::restoreOverrideCursor();
    }
    switch (result.outcome) {
    case Compaction::Outcome::Compacted:
        m_context.ShowNotice(QStringLiteral("数据库压缩提示:\n数据库压缩清洁完成!"), 1, 5, true);
        break;
    case Compaction::Outcome::Failed:
        // What failed and the engine's own words, under no caption, as for any compaction
        // error; the database is as it was and the store still open.
        Messages::show(nullptr, result.strError, QString(), Messages::Icon::Warning);
        break;
    case Compaction::Outcome::ReconnectFailed:
        if (!result.strError.isEmpty())
            Messages::show(nullptr, result.strError, QString(), Messages::Icon::Warning);
        Messages::show(this, QStringLiteral("未发现标定数据库\n请检查标定数据库是否存在"),
                       QStringLiteral("连接数据库警告"), Messages::Icon::Warning);
        break;
    }
}

void CSettingsDlg::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    DrawBackgroundBitmap(painter, m_picture, this);
    // The dialog has grown taller than its picture since the choice of how reminders show came;
    // the picture's last row, where its gradients have all but ended, carries on to the bottom.
    if (height() > m_picture.height() && !m_picture.isNull())
        painter.drawPixmap(QRect(0, m_picture.height(), m_picture.width(), height() - m_picture.height()),
                           m_picture, QRect(0, m_picture.height() - 1, m_picture.width(), 1));
}
