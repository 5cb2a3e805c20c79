#include "reminder/ReminderListPage.h"

#include "controls/GridCtrl.h"
#include "controls/GridDelegate.h"
#include "reminder/ReminderTexts.h"

#include <QHeaderView>
#include <QSet>
#include <QVBoxLayout>
#include <bitset>
#include <map>
#include <string>

namespace {
const QColor kCellBack(255, 255, 224);
const QColor kOddRow(255, 255, 255);
const QColor kEvenRow(255, 255, 153);
constexpr int kColumns = 6;
// Cells whose quick width comes this close to the widest are measured exactly.
constexpr int kWidthSlack = 8;

int Extent(const CGridCtrl& grid, int r, int c, bool height)
{
    const QSize size = GridPaint::CellExtent(GridPaint::CellLook(grid.model()->index(r, c), grid.font()));
    return height ? size.height() : size.width();
}
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
    SizeToContents(n);
    m_pGrid->horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    m_pGrid->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    m_pGrid->setUpdatesEnabled(true);
}

void CReminderListPage::SizeToContents(int n)
{
    // Every column as wide as its widest cell and every row as high as its highest, as the
    // grid's AutoSize() makes them; measuring each of ten thousand cells exactly takes over a
    // second, so the exact measure is kept for the cells that can decide. A column's width: the
    // cells whose plain text advance comes near the widest. A data row's height: its cells are
    // single lines, whose height follows from the fonts that draw them, that is from the
    // scripts of the characters the grid's own font lacks; one row of each such kind is
    // measured. (Texts of one advance, like the time texts, are one width: one of them is
    // measured.)
    CGridCtrl& g = *m_pGrid;
    const QFontMetrics fm(g.font());
    for (int c = 0; c < kColumns; ++c) {
        QList<int> advance(n + 1, 0);
        int widest = 0;
        for (int r = 1; r <= n; ++r)
            widest = qMax(widest, advance[r] = fm.horizontalAdvance(g.GetItemText(r, c)));
        int width = Extent(g, 0, c, false);
        QSet<int> measured;
        for (int r = 1; r <= n; ++r)
            if (advance.at(r) >= widest - kWidthSlack && !measured.contains(advance.at(r))) {
                measured.insert(advance.at(r));
                width = qMax(width, Extent(g, r, c, false));
            }
        if (g.GetColumnWidth(c) != width)
            g.SetColumnWidth(c, width);
    }
    std::map<std::string, int> heightOfKind;
    for (int r = 0; r <= n; ++r) {
        std::bitset<QChar::ScriptCount> scripts;
        for (int c = 0; c < kColumns; ++c)
            for (const QChar ch : g.GetItemText(r, c))
                if (!fm.inFont(ch))
                    scripts.set(ch.script());
        const std::string kind = r == 0 ? std::string("header") : scripts.to_string();
        auto found = heightOfKind.find(kind);
        if (found == heightOfKind.end()) {
            int height = 0;
            for (int c = 0; c < kColumns; ++c)
                height = qMax(height, Extent(g, r, c, true));
            found = heightOfKind.emplace(kind, qMax(height, g.verticalHeader()->defaultSectionSize())).first;
        }
        if (g.GetRowHeight(r) != found->second)
            g.SetRowHeight(r, found->second);
    }
}
