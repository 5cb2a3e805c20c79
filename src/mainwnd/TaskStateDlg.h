#pragma once

#include "store/TaskRecord.h"

#include <QDialog>
#include <QPixmap>
#include <QStringList>

class QComboBox;
class QPushButton;

/// "更改事情状态": lets the user pick a new state for the chosen task. The main window reads
/// the choice with GetNewState() after the dialog has ended with OK.
class CTaskStateDlg : public QDialog
{
    Q_OBJECT
public:
    static constexpr int kWidth = 360;
    static constexpr int kHeight = 198;

    /// \a strCurrent is the task's present state; the first state that begins with it is
    /// chosen in the list when the dialog opens (none when no state does).
    explicit CTaskStateDlg(const QString& strCurrent, QWidget* parent = nullptr);

    /// The state of the entry chosen when OK was pressed; "未完成" when none was chosen.
    QString GetNewState() const { return m_strNewState; }

    /// The four states in the order both task dialogs list them.
    static QStringList StateNames();
    /// The state at \a nIndex of StateNames(); "未完成" for any other index.
    static TaskState StateText(int nIndex);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void OnOK();

    int m_nState = -1;
    QString m_strCurrent;
    QString m_strNewState;

    QPixmap m_background;
    QComboBox* m_pStateList = nullptr;
    QPushButton* m_pOkButton = nullptr;
    QPushButton* m_pCancelButton = nullptr;
};
