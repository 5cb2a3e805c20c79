#pragma once

#include <QDialog>
#include <QPixmap>
#include <functional>

class CPlannerContext;
class QCheckBox;
class QComboBox;
class QPushButton;

/// "系统设置": the four start-up settings as check boxes, saved to the configuration file with
/// the start-with-the-desktop entry and the main window's topmost layer following them at once;
/// the way reminders are shown, saved to the settings file; the compaction of the database; and
/// the ways to the calendar exchange ("日历导入导出…") and to the sync with a calendar server
/// ("日历同步…").
/// "退出" leaves everything as it was.
class CSettingsDlg : public QDialog
{
    Q_OBJECT
public:
    static constexpr int kWidth = 460;
    static constexpr int kHeight = 398;

    /// \a applyTopmost puts the main window above all others (true) or back among the normal
    /// windows (false), as a save asks.
    CSettingsDlg(CPlannerContext& context, std::function<void(bool)> applyTopmost, QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void OnSave();
    void OnCompact();
    void OnExchange();
    void OnSync();

    CPlannerContext& m_context;
    std::function<void(bool)> m_applyTopmost;

    QPixmap m_picture;
    QCheckBox* m_pAutorunCheck = nullptr;
    QCheckBox* m_pSplashCheck = nullptr;
    QCheckBox* m_pMinimizedCheck = nullptr;
    QCheckBox* m_pTopmostCheck = nullptr;
    QComboBox* m_pAlertWayCombo = nullptr; ///< items in the order of AlertWay
    QPushButton* m_pCompactButton = nullptr;
    QPushButton* m_pExchangeButton = nullptr;
    QPushButton* m_pSyncButton = nullptr;
    QPushButton* m_pSaveButton = nullptr;
    QPushButton* m_pExitButton = nullptr;
};
