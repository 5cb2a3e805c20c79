#pragma once

#include <QDateTime>
#include <QWidget>

class CPlannerContext;
class CReminderAlertWnd;
class QAbstractButton;
class QCheckBox;
class QDateEdit;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class QTimeEdit;

/// "设置提醒": writes a new reminder. Idle until "增加" opens the inputs; "保存" checks them,
/// stores the reminder, has the alert window rebuild today's queue and goes idle again.
class CReminderEditPage : public QWidget
{
    Q_OBJECT
public:
    CReminderEditPage(CPlannerContext& context, CReminderAlertWnd* pAlertWnd, QWidget* parent = nullptr);

    /// Opens (clearing title and content, both pickers at the present moment; mode and ring
    /// stay as they were) or closes the inputs. "增加" is usable exactly when they are closed.
    void EnableEditing(bool bOn);
    /// A once-only reminder must lie strictly after the present second; others may lie anywhere.
    bool IsTimeValid() const;

private:
    void OnAdd();
    void OnSave();
    void OnRingCheck();
    void UpdateData();
    void ShowData();

    CPlannerContext& m_context;
    CReminderAlertWnd* m_pAlertWnd;

    QDate m_tmDate;
    QTime m_tmTime;
    QString m_strTitle;
    QString m_strContent;
    bool m_bRingCheck = true;
    QDateTime m_dtReminder;
    int m_nMode = 0;
    bool m_bRing = true;

    QDateEdit* m_pDatePicker = nullptr;
    QTimeEdit* m_pTimePicker = nullptr;
    QLineEdit* m_pTitleEdit = nullptr;
    QPlainTextEdit* m_pContentEdit = nullptr;
    QCheckBox* m_pRingCheck = nullptr;
    QList<QRadioButton*> m_modeButtons;
    QPushButton* m_pAddButton = nullptr;
    QPushButton* m_pSaveButton = nullptr;
};
