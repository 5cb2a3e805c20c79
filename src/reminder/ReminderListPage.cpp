#include "reminder/ReminderListPage.h"

#include "controls/GridCtrl.h"
#include "reminder/ReminderTexts.h"

#include <QHeaderView>
#include <QVBoxLayout>

namespace {
const QColor kCellBack(255, 255, 224);
const QColor kOddRow(255, 255, 255);
const QColor kEvenRow(255, 255, 153);
constexpr int kColumns = 6;
} // namespace

CReminderListPage::CReminderListPage(CPlannerContext& context, QWidget* parent)
    : QWidget(parent),
      m_context(context),
      m_modeImages(CGridCtrl::ImagesFromStrip(QImage(QStringLiteral(":/reminder/218.png")), 16, Qt::white))
{
    m_pGrid = new CGridCtrl(this);
    m_pGrid->setObjectName(QStringLiteral("reminderGrid"));
    m_pGrid->SetImageList(&m_modeImages);
    m_pGrid->SetEditable(false);
    m_pGrid->SetListMode(true);
    m_pGrid->SetTextBkColour(kCellBack);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(8, 8, 8, 8);
    layout->addWidget(m_pGrid);
    SetHeaderRow();
}

void CReminderListPage::SetHeaderRow()
{
    m_pGrid->SetColumnCount(kColumns);
    m_pGrid->SetFixedRowCount(1);
    m_pGrid->SetFixedColumnCount(1);
    const QStringList headers = QStringLiteral("序号 时间 标题 方式 响铃 内容").split(u' ');
    for (int c = 0; c < kColumns; ++c)
        m_pGrid->SetItem(0, c, GridMask::Text | GridMask::Format, headers.at(c),
                         GridFormat::WordBreak | GridFormat::Left | GridFormat::NoPrefix);
}

void CReminderListPage::Refresh()
{
    const int count = CountRows();
    QStringList times, modes, rings, titles, contents;
    if (count >= 1 && !ListRows(times, modes, rings, titles, contents))
        return;
    const int n = count >= 1 ? int(qMin<qsizetype>(count, times.size())) : 0;

    // A grid this size is filled with its view detached from it: updating the view for every
    // one of tens of thousands of cells costs far more than the cells themselves.
    m_pGrid->setUpdatesEnabled(false);
    m_pGrid->BeginBulkUpdate();
    m_pGrid->SetRowCount(n + 1);
    SetHeaderRow();
    for (int r = 1; r <= n; ++r) {
        const int i = r - 1;
        m_pGrid->SetItem(r, 0, GridMask::Text | GridMask::Format | GridMask::Image, QString::number(r),
                         GridFormat::Right | GridFormat::Default);
        m_pGrid->SetItemImage(r, 0, ReminderTexts::ModeFromText(modes.at(i)));
        const QColor back = r % 2 ? kOddRow : kEvenRow;
        const QString texts[] = {times.at(i), titles.at(i), modes.at(i), rings.at(i), contents.at(i)};
        for (int c = 1; c < kColumns; ++c) {
            m_pGrid->SetItem(r, c, GridMask::Text | GridMask::Format, texts[c - 1], GridFormat::Default);
            m_pGrid->SetItemBkColour(r, c, back);
        }
    }
    m_pGrid->AutoSize();
    m_pGrid->horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    m_pGrid->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    m_pGrid->EndBulkUpdate();
    m_pGrid->setUpdatesEnabled(true);
}
