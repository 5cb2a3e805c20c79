#pragma once

#include <QDate>
#include <QDateTime>
#include <QDialog>
#include <QPixmap>

class CPlannerContext;
class QDateEdit;
class QPushButton;

/// "校历设置": the first and last day of the school term. OK stores them and ends the dialog
/// only once they are stored; the teaching weeks count from the week of the first day.
class CSchoolCalendarDlg : public QDialog
{
    Q_OBJECT
public:
    static constexpr int kWidth = 420;
    static constexpr int kHeight = 232;

    /// The pickers start at \a termStart and \a termEnd.
    CSchoolCalendarDlg(CPlannerContext& context, const QDate& termStart, const QDate& termEnd,
                       QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void OnOK();

    CPlannerContext& m_context;
    QDateTime m_tStart;
    QDateTime m_tEnd;

    QPixmap m_background;
    QDateEdit* m_pStartPicker = nullptr;
    QDateEdit* m_pEndPicker = nullptr;
    QPushButton* m_pOkButton = nullptr;
    QPushButton* m_pCancelButton = nullptr;
};
