#pragma once

#include "store/TaskQuery.h"

#include <QDateTime>
#include <QDialog>
#include <QPixmap>

class QDateEdit;
class QPushButton;
class QRadioButton;

/// "批量选择性删除过期事情": picks a day and whether all tasks of its year, its month or the
/// day itself go. Ends with OK holding that choice; deletes nothing itself.
class CBatchDeleteDlg : public QDialog
{
    Q_OBJECT
public:
    static constexpr int kWidth = 380;
    static constexpr int kHeight = 252;

    explicit CBatchDeleteDlg(QWidget* parent = nullptr);

    /// The picked day and whether its year, month or the day itself goes, once the dialog
    /// ended with OK.
    QDate GetDate() const { return m_tmDate.date(); }
    BatchScope GetScope() const { return m_nScope; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void OnOK();
    QRadioButton* MakeScope(const QString& text, const char* name, int nTop, BatchScope scope);

    QDateTime m_tmDate;
    BatchScope m_nScope = BatchScope::Year;

    QPixmap m_background;
    QDateEdit* m_pDatePicker = nullptr;
    QPushButton* m_pOkButton = nullptr;
    QPushButton* m_pCancelButton = nullptr;
};
