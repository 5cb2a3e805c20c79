#pragma once

#include "mainwnd/TaskRules.h"

#include <QWidget>
#include <optional>

class CBalloonTip;
class CGifPicture;
class QTableWidget;

/// The day's tasks as the main window shows them: a two-column table (" n、content" and the
/// state), the animated marker left of the task in progress, the tip for a row too long to
/// read, and the choosing of a row by a click. Each row's first cell keeps its task in
/// TaskRole, so that commands act on the task itself and never on the text shown for it.
class CTaskList : public QWidget
{
    Q_OBJECT
public:
    static constexpr int TaskRole = Qt::UserRole;

    /// Long rows are shown whole in \a tip, the window's balloon tip.
    CTaskList(CBalloonTip& tip, QWidget* parent);

    /// Shows \a tasks. Those of a past date (not \a bEditable) are white on red, show no
    /// marker and cannot be chosen.
    void SetTasks(const QList<TaskRow>& tasks, bool bEditable);
    /// The tasks shown, top to bottom.
    QList<TaskRow> Tasks() const;
    /// The chosen row's task; none until a click chooses one.
    std::optional<TaskRow> ChosenTask() const;
    /// The chosen row's first column as shown, number included, for the confirmations.
    QString ChosenText() const;
    /// Lets the chosen row go, selection mark and all.
    void ClearChoice();

signals:
    /// A click chose a row of an editable date (true), or chose none (false).
    void ChoiceMade(bool bChosen);
    /// A left double click, with the row its first click chose (or none).
    void DoubleClicked();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void OnClick(int nRow, const QPoint& globalPos);
    void PlaceMarker();
    QString RowText(int nRow) const;

    CBalloonTip& m_tip;
    QTableWidget* m_pTable = nullptr;
    CGifPicture* m_pMarker = nullptr;
    bool m_bEditable = true;
    int m_nChosen = -1;
    int m_nMarkerRow = -1;
    bool m_bDoubleClickRelease = false; ///< the next left release ends a double click
};
