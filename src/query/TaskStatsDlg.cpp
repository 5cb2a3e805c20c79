#include "query/TaskStatsDlg.h"

#include "app/PlannerContext.h"
#include "controls/BackgroundBitmap.h"
#include "controls/Messages.h"
#include "controls/PieChartCtrl.h"
#include "controls/RunModal.h"
#include "query/BatchDeleteDlg.h"
#include "store/DataStore.h"

#include <QIcon>
#include <QPainter>
#include <QPushButton>
#include <algorithm>

namespace {
using TaskStatistics::Column;

const QColor kRed(255, 0, 0);
const QColor kBlue(0, 0, 255);
const QColor kGrey(102, 102, 102);
const QColor kBlack(0, 0, 0);

// Tops of the table's rows: before today, after today, today, all. The background picture
// (tools/make-query-art.py) draws the table's lines around these cells.
constexpr int kRowTop[] = {47, 83, 117, 150};
constexpr int kCellHeight = 23;
// Left and right edges of the three state columns.
constexpr int kColumnX[][2] = {{112, 202}, {220, 310}, {327, 403}};
// The room a count may take in each column when it is wider than the column: all that lies
// between the table's lines, two pixels off each.
constexpr int kColumnRoomX[][2] = {{107, 208}, {214, 315}, {321, 407}};
const QRect kRateRect[] = {QRect(QPoint(235, 305), QPoint(395, 327)),
                           QRect(QPoint(235, 331), QPoint(395, 353)),
                           QRect(QPoint(235, 357), QPoint(395, 379))};
// The pie chart stands on its card of the background picture.
const QRect kPieRect(22, 200, 186, 194);

// Arial's em is this share of its cell (ascent and descent); the texts are sized by the cell.
constexpr double kArialEmPerCell = 2048.0 / 2288.0;

// The smallest font a text shrinks to; "1000000/1000000" needs about ten pixels.
constexpr int kSmallestPixels = 6;

// The font \a base made smaller until \a text is at most \a nWidth wide. (Qt's font stretch
// would keep the height, but is measured and not drawn with some fonts.)
QFont FitFont(const QFont& base, const QString& text, int nWidth)
{
    QFont font = base;
    for (int nSize = base.pixelSize();
         nSize > kSmallestPixels && QFontMetrics(font).horizontalAdvance(text) > nWidth;)
        font.setPixelSize(--nSize);
    return font;
}

} // namespace

CTaskStatsDlg::CTaskStatsDlg(CPlannerContext& context, QWidget* parent)
    : QDialog(parent), m_context(context), m_background(QStringLiteral(":/query/166.png"))
{
    setObjectName(QStringLiteral("TaskStatsDlg"));
    setWindowTitle(QStringLiteral("事情统计"));
    setWindowIcon(QIcon(QStringLiteral(":/query/164.png")));
    setFixedSize(kWidth, kHeight);

    m_pBatchDeleteButton =
        new QPushButton(QIcon(QStringLiteral(":/dialogs/146.png")), QStringLiteral("批量删除事情"), this);
    m_pBatchDeleteButton->setObjectName(QStringLiteral("batchDeleteButton"));
    m_pBatchDeleteButton->setGeometry(196, 414, 122, 30);
    m_pOkButton = new QPushButton(QIcon(QStringLiteral(":/dialogs/147.png")), QStringLiteral("确定"), this);
    m_pOkButton->setObjectName(QStringLiteral("okButton"));
    m_pOkButton->setGeometry(326, 414, 84, 30);
    m_pOkButton->setDefault(true);
    connect(m_pBatchDeleteButton, &QPushButton::clicked, this, &CTaskStatsDlg::OnBatchDelete);
    connect(m_pOkButton, &QPushButton::clicked, this, &QDialog::accept);

    for (int row = 0; row < 4; ++row) {
        for (int col = 0; col < 3; ++col) {
            const size_t i = size_t(row * 3 + col);
            m_rcCell[i] = QRect(QPoint(kColumnX[col][0], kRowTop[row]),
                                QPoint(kColumnX[col][1] - 1, kRowTop[row] + kCellHeight - 1));
            m_crCell[i] = col == Column::NotDone ? kRed : col == Column::Done ? kBlue : kGrey;
        }
    }
    for (size_t i = 0; i < 3; ++i)
        m_rcCell[12 + i] = kRateRect[i];
    m_crCell[12] = kRed;
    m_crCell[13] = kBlue;
    m_crCell[14] = kBlack;
    m_fontCell = QFont(QStringLiteral("Arial"));
    m_fontCell.setWeight(QFont::Bold);
    m_fontCell.setPixelSize(qRound(13.0 * logicalDpiY() / 72.0 * kArialEmPerCell));

    ComputeStats();

    m_pieChart = new CPieChartCtrl(this);
    m_pieChart->setObjectName(QStringLiteral("pieChart"));
    m_pieChart->setGeometry(kPieRect);
    // The chart fills its face with the button colour: make it the card's, so it sits on it.
    QPalette palette = m_pieChart->palette();
    palette.setColor(QPalette::Button, QColor(247, 249, 254));
    m_pieChart->setPalette(palette);
    BuildPie();
}

CTaskStatsDlg::~CTaskStatsDlg() = default;

bool CTaskStatsDlg::ComputeStats()
{
    CDataStore& store = m_context.Store();
    using Count = bool (CDataStore::*)(int&, int&, int&, int&);
    static constexpr Count periods[] = {&CDataStore::CountTasksBefore, &CDataStore::CountTasksAfter,
                                        &CDataStore::CountTasksToday, &CDataStore::CountAllTasks};
    TaskCounts counts;
    for (size_t row = 0; row < std::size(periods); ++row) {
        counts = TaskCounts();
        if (!(store.*periods[row])(counts.nTotal, counts.nNotDone, counts.nDone, counts.nPostponed)) {
            LayOutTexts();
            return false;
        }
        m_strCell[row * 3 + Column::NotDone] = TaskStatistics::CountText(counts.nNotDone, counts.nTotal);
        m_strCell[row * 3 + Column::Done] = TaskStatistics::CountText(counts.nDone, counts.nTotal);
        m_strCell[row * 3 + Column::Postponed] = TaskStatistics::CountText(counts.nPostponed, counts.nTotal);
    }
    // The last period is all tasks.
    m_dRate = TaskStatistics::Rates(counts);
    for (const Column column : {Column::NotDone, Column::Done, Column::Postponed})
        m_strCell[12 + size_t(column)] = TaskStatistics::RateText(column, m_dRate[column]);
    LayOutTexts();
    return true;
}

void CTaskStatsDlg::LayOutTexts()
{
    const QFontMetrics metrics(m_fontCell);
    for (size_t i = 0; i < m_strCell.size(); ++i) {
        m_fontText[i] = m_fontCell;
        m_rcText[i] = m_rcCell[i];
        if (metrics.horizontalAdvance(m_strCell[i]) <= m_rcCell[i].width())
            continue;
        // A count takes the whole width of its column, and a smaller font where even that is
        // too narrow, set on the same baseline as the rest of its row.
        if (i < 12) {
            const auto& room = kColumnRoomX[i % 3];
            m_rcText[i].setLeft(room[0]);
            m_rcText[i].setRight(room[1] - 1);
        }
        m_fontText[i] = FitFont(m_fontCell, m_strCell[i], m_rcText[i].width());
        m_rcText[i].translate(0, metrics.ascent() - QFontMetrics(m_fontText[i]).ascent());
    }
}

void CTaskStatsDlg::BuildPie()
{
    m_pieChart->RemoveAllPieces();
    m_pieChart->SetTitle(QStringLiteral("事情状态统计"));
    const QColor crText(255, 255, 255);
    m_pieChart->AddPiece(kRed, crText, TaskStatistics::SliceDegrees(m_dRate[Column::NotDone]),
                         QStringLiteral("未完成率"));
    m_pieChart->AddPiece(kBlue, crText, TaskStatistics::SliceDegrees(m_dRate[Column::Done]),
                         QStringLiteral("已完成率"));
    m_pieChart->AddPiece(kBlack, crText, TaskStatistics::SliceDegrees(m_dRate[Column::Postponed]),
                         QStringLiteral("已推迟率"));
}

void CTaskStatsDlg::OnBatchDelete()
{
    CBatchDeleteDlg dlg(this);
    if (RunModal(dlg) != QDialog::Accepted)
        return;
    if (Messages::show(this, QStringLiteral("你确信要进行批量删除吗?"), QStringLiteral("警告"),
                       Messages::Icon::Critical, QMessageBox::Ok | QMessageBox::Cancel) != QMessageBox::Ok)
        return;

    switch (m_context.Store().DeleteTasksInPeriod(dlg.GetDate(), dlg.GetScope())) {
    case CDataStore::DeleteOutcome::Deleted:
        break;
    case CDataStore::DeleteOutcome::NoRows:
        Messages::show(this, QStringLiteral("所选时间段内没有事情"), QStringLiteral("提示"),
                       Messages::Icon::Information);
        return;
    case CDataStore::DeleteOutcome::Failed:
        Messages::show(this, QStringLiteral("删除失败，请重试"), QStringLiteral("警告"),
                       Messages::Icon::Critical);
        return;
    }
    m_context.ShowNotice(QStringLiteral("批量选择删除成功"), 1, 5, true);
    ComputeStats();
    BuildPie();
    update();
}

void CTaskStatsDlg::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    DrawBackgroundBitmap(painter, m_background, this);
    for (size_t i = 0; i < m_strCell.size(); ++i) {
        const int nAlign = i < 12 ? Qt::AlignHCenter : Qt::AlignLeft;
        painter.setFont(m_fontText[i]);
        painter.setPen(m_crCell[i]);
        painter.drawText(m_rcText[i], nAlign | Qt::AlignTop | Qt::TextWordWrap, m_strCell[i]);
    }
}
