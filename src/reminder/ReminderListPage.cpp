#include "reminder/ReminderListPage.h"

#include "controls/GridCtrl.h"
#include "controls/GridDelegate.h"
#include "reminder/ReminderTexts.h"

#include <QHeaderView>
#include <QSet>
#include <QVBoxLayout>
#include <bitset>
#include <utility>
#include <vector>

namespace {
const QColor kCellBack(255, 255, 224);
const QColor kOddRow(255, 255, 255);
const QColor kEvenRow(255, 255, 153);
constexpr int kColumns = 6;
// Cells whose estimated width comes this close to the widest are measured exactly.
constexpr int kWidthSlack = 8;

using Scripts = std::bitset<QChar::ScriptCount>;

QSize Extent(const CGridCtrl& grid, int r, int c)
{
    return GridPaint::CellExtent(GridPaint::CellLook(grid.model()->index(r, c), grid.font()));
}

// What the grid's font says about single characters, each asked once: the advance, and for a
// character the font lacks, the script whose fallback font draws it.
class CharTable
{
public:
    explicit CharTable(const QFont& font) : m_fm(font), m_advances(0x10000, kUnknown), m_scripts(0x10000, kUnknown) {}

    // The sum of the advances; kerning moves the true width a little, which the exact measure
    // of the widest candidates settles. A text with a character that shaping can join, reorder
    // or stack (and a pair of surrogates) is measured whole instead.
    int Width(const QString& text)
    {
        int n = 0;
        for (const QChar c : text) {
            qint32& advance = m_advances[c.unicode()];
            if (advance == kUnknown)
                advance = IsPlain(c) ? m_fm.horizontalAdvance(c) : kShaped;
            if (advance == kShaped)
                return m_fm.horizontalAdvance(text);
            n += advance;
        }
        return n;
    }

    void AddMissingScripts(const QString& text, Scripts& scripts)
    {
        for (const QChar c : text) {
            qint16& script = m_scripts[c.unicode()];
            if (script == kUnknown)
                script = m_fm.inFont(c) ? kInFont : qint16(c.script());
            if (script != kInFont)
                scripts.set(size_t(script));
        }
    }

private:
    static bool IsPlain(QChar c)
    {
        if (c.isSurrogate() || c.isMark())
            return false;
        switch (c.script()) {
        case QChar::Script_Common:
        case QChar::Script_Latin:
        case QChar::Script_Greek:
        case QChar::Script_Cyrillic:
        case QChar::Script_Han:
        case QChar::Script_Hiragana:
        case QChar::Script_Katakana:
        case QChar::Script_Bopomofo:
            return true;
        default:
            return false;
        }
    }

    static constexpr qint32 kShaped = -3;
    static constexpr qint16 kUnknown = -2;
    static constexpr qint16 kInFont = -1;
    QFontMetrics m_fm;
    std::vector<qint32> m_advances;
    std::vector<qint16> m_scripts;
};
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
    SizeToContents(n);
    m_pGrid->horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    m_pGrid->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    m_pGrid->EndBulkUpdate();
    m_pGrid->setUpdatesEnabled(true);
}

void CReminderListPage::SizeToContents(int n)
{
    // Every column as wide as its widest cell and every row as high as its highest, as the
    // grid's AutoSize() makes them; measuring each of ten thousand cells exactly takes over a
    // second, so the exact measure is kept for the cells that can decide. A column's width: the
    // cells whose width estimate comes near the widest, one for each estimate (texts of one
    // estimate, like the time texts, are one width). A data row's height: its cells are single
    // lines, whose height follows from the fonts that draw them, that is from the scripts of
    // the characters the grid's own font lacks; one row of each such kind is measured.
    CGridCtrl& g = *m_pGrid;
    CharTable table(g.font());
    std::vector<int> estimates(size_t(n) + 1);
    for (int c = 0; c < kColumns; ++c) {
        int widest = 0;
        for (int r = 1; r <= n; ++r) {
            const CGridCell* cell = g.GetCell(r, c);
            int estimate = table.Width(cell->m_strText);
            if (const QPixmap* image = g.GetImage(cell->m_nImage))
                estimate += image->width();
            widest = qMax(widest, estimates[size_t(r)] = estimate);
        }
        int width = Extent(g, 0, c).width();
        QSet<int> measured;
        for (int r = 1; r <= n; ++r) {
            const int estimate = estimates[size_t(r)];
            if (estimate >= widest - kWidthSlack && !measured.contains(estimate)) {
                measured.insert(estimate);
                width = qMax(width, Extent(g, r, c).width());
            }
        }
        if (g.GetColumnWidth(c) != width)
            g.SetColumnWidth(c, width);
    }
    // Nearly every row is of one kind, so the kinds are few and the last one found is tried first.
    std::vector<std::pair<Scripts, int>> heightOfKind;
    size_t last = 0;
    const int minHeight = g.verticalHeader()->defaultSectionSize();
    for (int r = 0; r <= n; ++r) {
        int height = 0;
        if (r == 0) {
            for (int c = 0; c < kColumns; ++c)
                height = qMax(height, Extent(g, r, c).height());
        } else {
            Scripts scripts;
            for (int c = 0; c < kColumns; ++c)
                table.AddMissingScripts(g.GetCell(r, c)->m_strText, scripts);
            if (last >= heightOfKind.size() || heightOfKind[last].first != scripts) {
                last = 0;
                while (last < heightOfKind.size() && heightOfKind[last].first != scripts)
                    ++last;
                if (last == heightOfKind.size()) {
                    for (int c = 0; c < kColumns; ++c)
                        height = qMax(height, Extent(g, r, c).height());
                    heightOfKind.emplace_back(scripts, height);
                }
            }
            height = heightOfKind[last].second;
        }
        height = qMax(height, minHeight);
        if (g.GetRowHeight(r) != height)
            g.SetRowHeight(r, height);
    }
}
