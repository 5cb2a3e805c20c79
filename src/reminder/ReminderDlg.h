#pragma once

#include <QDialog>
#include <QPixmap>

class CCountdownPage;
class CPlannerContext;
class CReminderAlertWnd;
class CReminderEditPage;
class CReminderManagePage;
class CReminderTodayPage;
class QTabWidget;

/// "定时提醒": writing reminders, listing all of them and today's, and the countdown, on four
/// tabs. Created hidden once at start-up and shown by the main window; closing it only hides
/// it, so a running countdown goes on and every page keeps its state.
class CReminderDlg : public QDialog
{
    Q_OBJECT
public:
    static constexpr int kWidth = 560;
    static constexpr int kHeight = 450;
    static constexpr int kBannerHeight = 64;

    /// \a pAlertWnd rebuilds its queue after every save and announces the countdown's end.
    CReminderDlg(CPlannerContext& context, CReminderAlertWnd* pAlertWnd, QWidget* parent = nullptr);

    QTabWidget* Tabs() const { return m_pTabs; }
    CReminderEditPage* EditPage() const { return m_pEditPage; }
    CReminderManagePage* ManagePage() const { return m_pManagePage; }
    CReminderTodayPage* TodayPage() const { return m_pTodayPage; }
    CCountdownPage* CountdownPage() const { return m_pCountdownPage; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void OnTabChanged(int index);

    QPixmap m_banner;
    QTabWidget* m_pTabs = nullptr;
    CReminderEditPage* m_pEditPage = nullptr;
    CReminderManagePage* m_pManagePage = nullptr;
    CReminderTodayPage* m_pTodayPage = nullptr;
    CCountdownPage* m_pCountdownPage = nullptr;
};
