#pragma once

#include "query/TaskStatistics.h"

#include <QColor>
#include <QDialog>
#include <QFont>
#include <QPixmap>
#include <QRect>
#include <array>

class CPieChartCtrl;
class CPlannerContext;
class QPushButton;

/// "事情统计": how many tasks of the days before, after and on today, and of all days, are not
/// done, done and postponed; the share of each state among all tasks as rates and as a pie.
/// From here the tasks of a year, month or day can be deleted at once.
class CTaskStatsDlg : public QDialog
{
    Q_OBJECT
public:
    static constexpr int kWidth = 424;
    static constexpr int kHeight = 456;
    static constexpr int kCells = 15;

    CTaskStatsDlg(CPlannerContext& context, QWidget* parent = nullptr);
    ~CTaskStatsDlg() override;

    /// Reads the four periods' counts and works out the texts and rates. Stops at the first
    /// count that fails (the store has said why), leaving the texts not yet reached as they
    /// were, and answers false.
    bool ComputeStats();

    /// Text \a nIndex: 0..11 the table row by row ("未完成", "已完成", "已推迟" columns), 12..14
    /// the rates.
    QString GetCellText(int nIndex) const { return m_strCell.at(size_t(nIndex)); }
    QRect GetCellRect(int nIndex) const { return m_rcCell.at(size_t(nIndex)); }
    /// The font text \a nIndex is drawn in: the table's, or a smaller one where it is too wide.
    QFont GetCellFont(int nIndex) const { return m_fontText.at(size_t(nIndex)); }
    double GetRate(int nColumn) const { return m_dRate.at(size_t(nColumn)); }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void OnBatchDelete();
    void BuildPie();
    /// Works out where and in which font each text is drawn, so that every one shows whole.
    void LayOutTexts();

    CPlannerContext& m_context;
    std::array<QString, kCells> m_strCell;
    std::array<QColor, kCells> m_crCell;
    std::array<QRect, kCells> m_rcCell;
    std::array<double, 3> m_dRate{};
    QFont m_fontCell;                     ///< the table's font
    std::array<QFont, kCells> m_fontText; ///< each text's, from LayOutTexts
    std::array<QRect, kCells> m_rcText;   ///< where each text is drawn, from LayOutTexts

    QPixmap m_background;
    CPieChartCtrl* m_pieChart = nullptr;
    QPushButton* m_pBatchDeleteButton = nullptr;
    QPushButton* m_pOkButton = nullptr;
};
