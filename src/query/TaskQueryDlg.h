#pragma once

#include "store/TaskQuery.h"

#include <QDialog>
#include <QList>
#include <QPixmap>
#include <memory>

class CGridCtrl;
class CPlannerContext;
class CTaskQueryRows;
class QCheckBox;
class QDateEdit;
class QLineEdit;
class QPushButton;

/// "事情查询": finds tasks by a date range, a piece of their content and their state, joined
/// with "or" or "and", lists them ordered by date in a grid, and prints the grid.
class CTaskQueryDlg : public QDialog
{
    Q_OBJECT
public:
    static constexpr int kWidth = 700;
    static constexpr int kHeight = 560;

    CTaskQueryDlg(CPlannerContext& context, QWidget* parent = nullptr);
    ~CTaskQueryDlg() override;

    /// The number of tasks the last query found.
    int GetCount() const { return m_nCount; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void OnQuery();
    void OnPrint();
    void UpdateData();
    TaskQueryCriteria Criteria() const;
    QCheckBox* MakeCheck(const QString& text, const char* name, const QRect& place);
    QCheckBox* MakeJoinCheck(const char* name, const QRect& place, bool& member);

    CPlannerContext& m_context;

    bool m_bUseDate = false;
    QDate m_dtFrom;
    QDate m_dtTo;
    bool m_bUseContent = false;
    QString m_strContent;
    bool m_bUseState = false;
    bool m_bNotDone = false;
    bool m_bDone = false;
    bool m_bPostponed = false;
    bool m_bJoinDate = false;
    bool m_bJoinContent = false;
    bool m_bJoinState = false;
    int m_nCount = 0;

    std::unique_ptr<CTaskQueryRows> m_pRows; ///< what the grid shows under its heads

    QPixmap m_background;
    QList<QPixmap> m_stateImages; ///< the grid's image list: other states, not done, done

    QCheckBox* m_pUseDateCheck = nullptr;
    QDateEdit* m_pFromPicker = nullptr;
    QDateEdit* m_pToPicker = nullptr;
    QCheckBox* m_pUseContentCheck = nullptr;
    QLineEdit* m_pContentEdit = nullptr;
    QCheckBox* m_pUseStateCheck = nullptr;
    QCheckBox* m_pNotDoneCheck = nullptr;
    QCheckBox* m_pDoneCheck = nullptr;
    QCheckBox* m_pPostponedCheck = nullptr;
    QCheckBox* m_pJoinDateCheck = nullptr;
    QCheckBox* m_pJoinContentCheck = nullptr;
    QCheckBox* m_pJoinStateCheck = nullptr;
    QPushButton* m_pQueryButton = nullptr;
    QPushButton* m_pPrintButton = nullptr;
    CGridCtrl* m_pGrid = nullptr;
};
