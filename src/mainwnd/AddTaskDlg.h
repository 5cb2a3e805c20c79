#pragma once

#include <QDateTime>
#include <QDialog>
#include <QPixmap>

class CPlannerContext;
class QComboBox;
class QDateEdit;
class QLineEdit;
class QPushButton;

/// "增加一件事情": asks for a task's content, state and date and stores it. Ends with OK only
/// once the task is in the database; refusals and failures keep it open with the content
/// edit focused, so that the user can correct and try again.
class CAddTaskDlg : public QDialog
{
    Q_OBJECT
public:
    static constexpr int kWidth = 420;
    static constexpr int kHeight = 268;

    /// The date picker starts at the day of \a dtSelected (the date the main window shows).
    CAddTaskDlg(CPlannerContext& context, const QDateTime& dtSelected, QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void OnOK();
    void UpdateData();

    CPlannerContext& m_context;
    QString m_strContent;
    int m_nState = 0;
    QDateTime m_dtDate;

    QPixmap m_background;
    QLineEdit* m_pContentEdit = nullptr;
    QComboBox* m_pStateList = nullptr;
    QDateEdit* m_pDatePicker = nullptr;
    QPushButton* m_pOkButton = nullptr;
    QPushButton* m_pCancelButton = nullptr;
};
