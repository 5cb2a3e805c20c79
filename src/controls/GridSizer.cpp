#include "controls/GridSizer.h"

#include "controls/GridDelegate.h"
#include "controls/GridModel.h"

#include <QGlyphRun>
#include <QTextLayout>
#include <algorithm>
#include <limits>

namespace {

constexpr qint32 kUnknown = std::numeric_limits<qint32>::min();
constexpr qint32 kShaped = kUnknown + 1; // a character, or a pair of them, that shaping changes
constexpr int kStepsFailed = -2;

// What a character is to the layout (CGridSizer::Class).
enum : quint8
{
    kKnown = 0x01,
    kPlain = 0x02,     // as wide as its advance, give or take kerning
    kNoScript = 0x04,  // takes the script of the characters around it
    kInPrimary = 0x08, // drawn by the font itself, not a fallback
    kBreaks = 0x10,    // breaks the line or steers the layout
    kOwnKey = 0x20,    // a fallback glyph whose font its character alone does not tell
};

// Spacing added to every letter or word, or letters drawn as other letters, are not in the
// advances of single characters.
bool EstimatesHold(const QFont& font)
{
    const bool bNoLetterSpacing =
        font.letterSpacing() == 0 ||
        (font.letterSpacingType() == QFont::PercentageSpacing && font.letterSpacing() == 100);
    return bNoLetterSpacing && font.wordSpacing() == 0 && font.capitalization() == QFont::MixedCase;
}

bool IsLayoutControl(QChar c)
{
    switch (c.category()) {
    case QChar::Other_Control:
    case QChar::Other_Format:
    case QChar::Separator_Line:
    case QChar::Separator_Paragraph:
        return true;
    default:
        return false;
    }
}

// Scripts whose texts are as wide as their characters' advances, give or take kerning; the
// others are joined, reordered or stacked by shaping.
bool IsPlainScript(QChar::Script script)
{
    switch (script) {
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

QString FontName(const QRawFont& font)
{
    return font.familyName() + u'/' + font.styleName();
}

} // namespace

CGridSizer::CGridSizer(const CGridModel& model, const QFont& font, qreal dScale)
    : m_model(model), m_font(font), m_dScale(dScale), m_fm(font), m_primary(QRawFont::fromFont(font)),
      m_nSlack(qMax<qint64>(128, qint64(m_fm.averageCharWidth() * 32))), m_bEstimate(EstimatesHold(font)),
      m_classes(0x10000, 0), m_advances(0x10000, kUnknown), m_estimateAdvances(0x10000, -1),
      m_fonts(0x10000, -1), m_letters(0x10000, 0)
{}

void CGridSizer::ForgetCells()
{
    m_layouts.clear();
    m_fallbackTexts.clear();
    m_widths.clear();
    m_heights.clear();
    m_lastHeights.clear();
    m_nRoomImage = -2;
}

// --- characters -----------------------------------------------------------------------------

quint8 CGridSizer::Classify(QChar c)
{
    quint8 nClass = kKnown;
    const bool bNoScript = c.script() == QChar::Script_Common || c.script() == QChar::Script_Inherited;
    if (bNoScript)
        nClass |= kNoScript;
    if (m_primary.supportsCharacter(c))
        nClass |= kInPrimary;
    if (IsLayoutControl(c))
        nClass |= kBreaks;
    const bool bOdd = c.isSurrogate() || c.isMark();
    if (!bOdd && !(nClass & kBreaks) && c != u'&' && c != u'\t' && IsPlainScript(c.script()))
        nClass |= kPlain;
    if (!(nClass & kInPrimary) && bOdd)
        nClass |= kOwnKey;
    m_classes[c.unicode()] = nClass;
    return nClass;
}

qint32 CGridSizer::Advance(QChar c)
{
    qint32& nAdvance = m_advances[c.unicode()];
    if (nAdvance == kUnknown)
        nAdvance = (Class(c) & kPlain) ? qint32(qRound64(m_fm.horizontalAdvance(c) * 64)) : kShaped;
    return nAdvance;
}

CGridSizer::Layout CGridSizer::LaidOut(const QString& strText)
{
    auto it = m_layouts.constFind(strText);
    if (it != m_layouts.constEnd())
        return it.value();
    QTextLayout layout(strText, m_font);
    layout.beginLayout();
    const QTextLine line = layout.createLine();
    layout.endLayout();
    Layout laidOut;
    laidOut.nWidth = qRound64(line.naturalTextWidth() * 64);
    for (const QGlyphRun& run : layout.glyphRuns()) {
        const auto nFont = quint32(qHash(FontName(run.rawFont())));
        const QList<quint32> indexes = run.glyphIndexes();
        const QList<QPointF> positions = run.positions();
        for (qsizetype i = 0; i < indexes.size(); ++i)
            laidOut.glyphs.append({nFont, indexes[i], qRound64(positions[i].x() * 64)});
    }
    std::sort(laidOut.glyphs.begin(), laidOut.glyphs.end(),
              [](const Glyph& l, const Glyph& r) { return l.nX < r.nX; });
    return m_layouts.insert(strText, laidOut).value();
}

int CGridSizer::DrawingFont(QChar c, QChar context)
{
    // A character of a script is drawn by the same font wherever it stands; one of no script
    // by the font that the script around it picks, so it is laid out behind a character of
    // that script.
    const bool bOwn = context.isNull() || !(Class(c) & kNoScript);
    const quint64 key = (quint64(c.unicode()) << 32) | quint32(context.script());
    if (bOwn && m_fonts[c.unicode()] >= 0)
        return m_fonts[c.unicode()];
    if (!bOwn) {
        auto it = m_contextFonts.constFind(key);
        if (it != m_contextFonts.constEnd())
            return it.value();
    }
    QTextLayout layout(bOwn ? QString(c) : QString(context) + c, m_font);
    layout.beginLayout();
    layout.createLine();
    layout.endLayout();
    const QList<QGlyphRun> runs = layout.glyphRuns();
    const QString strFont = runs.isEmpty() ? QString() : FontName(runs.last().rawFont());
    auto font = m_fontIds.constFind(strFont);
    if (font == m_fontIds.constEnd())
        font = m_fontIds.insert(strFont, int(m_fontIds.size()));
    if (bOwn)
        m_fonts[c.unicode()] = qint8(qMin(font.value(), 127));
    else
        m_contextFonts.insert(key, font.value());
    return font.value();
}

qint32 CGridSizer::Step(QChar a, QChar b, QChar anchor)
{
    // From the start of a to the start of b (or, with no b, to the end of a), laid out behind
    // the anchor when a character's font hangs on the script around it.
    const quint64 key = (quint64(a.unicode()) << 32) | (quint64(b.unicode()) << 16) | anchor.unicode();
    auto it = m_steps.constFind(key);
    if (it != m_steps.constEnd())
        return it.value();
    const QString strAnchor = anchor.isNull() ? QString() : QString(anchor);
    const qsizetype nAt = strAnchor.size();
    const Layout pair = LaidOut(strAnchor + a + (b.isNull() ? QString() : QString(b)));
    // Each character one glyph, the very one it has on its own: no ligature, no alternate form.
    qint32 nStep = kShaped;
    const auto same = [](const Glyph& l, const Glyph& r) {
        return l.nFont == r.nFont && l.nGlyph == r.nGlyph;
    };
    if (pair.glyphs.size() == nAt + (b.isNull() ? 1 : 2)) {
        const Layout first = LaidOut(strAnchor + a);
        bool bSame = first.glyphs.size() == nAt + 1 && same(first.glyphs.last(), pair.glyphs[nAt]);
        if (bSame && !b.isNull()) {
            const Layout second = LaidOut(strAnchor + b);
            bSame = second.glyphs.size() == nAt + 1 && same(second.glyphs.last(), pair.glyphs[nAt + 1]);
        }
        if (bSame)
            nStep = qint32((b.isNull() ? pair.nWidth : pair.glyphs[nAt + 1].nX) - pair.glyphs[nAt].nX);
    }
    return m_steps.insert(key, nStep).value();
}

qint32 CGridSizer::TableStep(int ia, int ib, QChar a, QChar b)
{
    // The steps between the few characters a column is written in are kept in a table.
    if (ia >= kLetters || ib >= kLetters)
        return Step(a, b, QChar());
    qint32& nStep = m_stepTable[size_t(ia * kLetters + ib)];
    if (nStep == kUnknown)
        nStep = Step(a, b, QChar());
    return nStep;
}

QChar CGridSizer::Anchor(QChar c)
{
    // One character stands for its script, so that the steps measured behind it serve every
    // text of that script.
    QChar& anchor = m_anchors[c.script()];
    if (anchor.isNull())
        anchor = c;
    return anchor;
}

int CGridSizer::Letter(QChar c)
{
    // Index 0 stands for no character.
    quint16& nLetter = m_letters[c.unicode()];
    if (!nLetter && m_nLetters < kLetters) {
        if (m_stepTable.empty())
            m_stepTable.assign(size_t(kLetters) * kLetters, kUnknown);
        nLetter = quint16(m_nLetters++);
    }
    return nLetter ? nLetter : kLetters;
}

// --- widths ---------------------------------------------------------------------------------

int CGridSizer::MeasuredWidth(int nRow, int nCol)
{
    const CGridCell& cell = m_model.CellAt(nRow, nCol);
    const CellKey key{cell.m_strText, cell.m_nFormat, m_model.Image(cell.m_nImage) ? cell.m_nImage : -1, 0};
    auto it = m_widths.constFind(key);
    if (it == m_widths.constEnd()) {
        GridCellLook look = GridPaint::CellLook(m_model.index(nRow, nCol), m_font);
        look.dScale = m_dScale;
        it = m_widths.insert(key, GridPaint::CellExtent(look).width());
    }
    return it.value();
}

qint64 CGridSizer::RoomAround(const CGridCell& cell)
{
    // What the cell's extent adds to its text: margins, grid line, picture. A column mostly
    // has one kind of cell, so the last answer is kept.
    const int nText = cell.m_strText.isEmpty() ? 0 : 1;
    if (cell.m_nImage == m_nRoomImage && nText == m_nRoomText)
        return m_nRoom;
    static const QPixmap noImage;
    const QPixmap* pImage = m_model.Image(cell.m_nImage);
    m_nRoomImage = cell.m_nImage;
    m_nRoomText = nText;
    m_nRoom =
        64 *
        qint64(GridPaint::CellExtent(QSize(nText, 0), pImage ? *pImage : noImage, m_dScale).width() - nText);
    return m_nRoom;
}

int CGridSizer::WidthForText(qint64 nText, const CGridCell& cell) const
{
    // The text's box as the layout reports it: its width placed by the alignment, then rounded
    // out to whole pixels.
    const qreal dWidth = qreal(nText) / 64;
    qreal dLeft = 0;
    if (cell.m_nFormat & GridFormat::Right)
        dLeft = -dWidth;
    else if (cell.m_nFormat & GridFormat::Center)
        dLeft = -dWidth / 2;
    const int nTextWidth = QRectF(dLeft, 0, dWidth, 1).toAlignedRect().width();
    static const QPixmap noImage;
    const QPixmap* pImage = m_model.Image(cell.m_nImage);
    return GridPaint::CellExtent(QSize(nTextWidth, 0), pImage ? *pImage : noImage, m_dScale).width();
}

qint64 CGridSizer::EstimateCell(int nRow, int nCol)
{
    // The cell's width as its characters' advances give it, and on top the advances of the
    // characters that a fallback font picked by the script around them draws (it may draw
    // them wider); in 64ths. Sizing a million rows spends most of its time here.
    const CGridCell& cell = m_model.CellAt(nRow, nCol);
    if (!m_bEstimate)
        return 64 * qint64(MeasuredWidth(nRow, nCol));
    qint64 nWidth = 0;
    for (const QChar c : cell.m_strText) {
        qint32 nAdvance = m_estimateAdvances[c.unicode()];
        if (nAdvance < 0) {
            nAdvance = Advance(c);
            if (nAdvance == kShaped)
                return 64 * qint64(MeasuredWidth(nRow, nCol));
            if ((Class(c) & (kNoScript | kInPrimary)) == kNoScript)
                nAdvance *= 2;
            m_estimateAdvances[c.unicode()] = nAdvance;
        }
        nWidth += nAdvance;
    }
    return nWidth + RoomAround(cell);
}

bool CGridSizer::TextFromSteps(const CGridCell& cell, qint64& nText)
{
    // Kerning moves a character by what it makes of its neighbour, so a text that shaping
    // changes no further is as wide as the steps from each character to the next together.
    // Blanks at the ends are left out of the layout's width.
    const QString& strText = cell.m_strText;
    if (!m_bStepsHold || strText.isEmpty() || strText.front().isSpace() || strText.back().isSpace())
        return false;
    bool bFallsBack = false;
    for (const QChar c : strText) {
        const quint8 nClass = Class(c);
        if (!(nClass & kPlain))
            return false;
        bFallsBack = bFallsBack || (nClass & (kNoScript | kInPrimary)) == kNoScript;
    }
    nText = 0;
    const qsizetype n = strText.size();
    if (!bFallsBack) {
        int iPrev = Letter(strText[0]);
        for (qsizetype i = 1; i <= n; ++i) {
            const QChar c = i < n ? strText[i] : QChar();
            const int iCur = i < n ? Letter(c) : 0;
            const qint32 nStep = TableStep(iPrev, iCur, strText[i - 1], c);
            if (nStep == kShaped)
                return false;
            nText += nStep;
            iPrev = iCur;
        }
    } else {
        // A character of no script that a fallback font draws takes the font that the script
        // around it picks: its steps are measured behind a character of that script. Such
        // texts take longer to add up and are kept.
        if (const auto known = m_fallbackTexts.constFind(strText); known != m_fallbackTexts.constEnd()) {
            nText = known.value();
            return nText >= 0;
        }
        QChar context;
        for (const QChar c : strText) {
            if (!(Class(c) & kNoScript)) {
                context = c;
                break;
            }
        }
        const auto fallsBack = [this](QChar c) { return (Class(c) & (kNoScript | kInPrimary)) == kNoScript; };
        for (qsizetype i = 0; i < n; ++i) {
            const QChar c = strText[i];
            if (!(Class(c) & kNoScript))
                context = c;
            const QChar next = i + 1 < n ? strText[i + 1] : QChar();
            const bool bAnchored = !context.isNull() && (fallsBack(c) || (!next.isNull() && fallsBack(next)));
            const qint32 nStep = bAnchored ? Step(c, next, Anchor(context))
                                           : TableStep(Letter(c), next.isNull() ? 0 : Letter(next), c, next);
            if (nStep == kShaped) {
                m_fallbackTexts.insert(strText, -1);
                return false;
            }
            nText += nStep;
        }
        m_fallbackTexts.insert(strText, nText);
    }
    return true;
}

int CGridSizer::ColumnWidth(int nCol, int nFirstRow, int nLastRow)
{
    nFirstRow = qMax(0, nFirstRow);
    const int nEnd = int(qMin(qint64(m_model.rowCount()), qint64(nLastRow) + 1));
    if (nCol < 0 || nCol >= m_model.columnCount() || nFirstRow >= nEnd)
        return -1;
    m_estimates.resize(size_t(nEnd - nFirstRow));
    int nLeader = nFirstRow;
    for (int r = nFirstRow; r < nEnd; ++r) {
        m_estimates[size_t(r - nFirstRow)] = EstimateCell(r, nCol);
        if (m_estimates[size_t(r - nFirstRow)] > m_estimates[size_t(nLeader - nFirstRow)])
            nLeader = r;
    }
    int nWidth = Widest(nCol, nFirstRow, nEnd, nLeader);
    if (nWidth == kStepsFailed) {
        // The font does more than kerning to these texts: every close one is measured.
        m_bStepsHold = false;
        nWidth = Widest(nCol, nFirstRow, nEnd, nLeader);
    }
    return nWidth;
}

int CGridSizer::Widest(int nCol, int nFirstRow, int nEnd, int nLeader)
{
    // Every cell whose estimate comes within the slack of the widest measure is measured or
    // added up from its steps; the first one added up is measured as well, as a check that
    // the steps tell the truth about this font.
    int nWidest = MeasuredWidth(nLeader, nCol);
    qint64 nText = 0;
    const CGridCell& leader = m_model.CellAt(nLeader, nCol);
    if (TextFromSteps(leader, nText) && WidthForText(nText, leader) != nWidest)
        return kStepsFailed;
    bool bChecked = false;
    const CGridCell* pLast = nullptr;
    for (int r = nFirstRow; r < nEnd; ++r) {
        if (m_estimates[size_t(r - nFirstRow)] + m_nSlack <= 64 * qint64(nWidest))
            continue;
        // Rows in date order repeat a text many times over; comparing with the last one is
        // cheaper than looking it up.
        const CGridCell* pCell = &m_model.CellAt(r, nCol);
        if (pLast && pLast->m_strText == pCell->m_strText && pLast->m_nFormat == pCell->m_nFormat &&
            pLast->m_nImage == pCell->m_nImage)
            continue;
        pLast = pCell;
        if (TextFromSteps(*pCell, nText)) {
            // Rounded out to whole pixels and placed, a text gains less than two.
            if (bChecked && nText + RoomAround(*pCell) + 128 <= 64 * qint64(nWidest))
                continue;
            const int nSteps = WidthForText(nText, *pCell);
            if (nSteps <= nWidest && bChecked)
                continue;
            if (MeasuredWidth(r, nCol) != nSteps)
                return kStepsFailed;
            bChecked = true;
        }
        nWidest = qMax(nWidest, MeasuredWidth(r, nCol));
    }
    return nWidest;
}

// --- heights --------------------------------------------------------------------------------

CGridSizer::CellKey CGridSizer::HeightKey(const CGridCell& cell)
{
    // A one-line text is as high as the fonts that draw it, whatever it says: its height
    // hangs on whether there is one, on the fallback fonts its characters take and on the
    // cell's picture. A text that breaks its line, or whose fonts its characters do not tell,
    // stands for itself.
    CellKey key;
    key.iImage = m_model.Image(cell.m_nImage) ? cell.m_nImage : -1;
    key.nFormat = cell.m_strText.isEmpty() ? 0 : 1;
    const auto ownKey = [&cell, &key] {
        key.strText = cell.m_strText;
        key.nFormat = cell.m_nFormat | 0x80000000u;
        key.nFonts = 0;
        return key;
    };
    QChar context;
    bool bContextFound = false;
    for (const QChar c : cell.m_strText) {
        const quint8 nClass = Class(c);
        if (!(nClass & kNoScript)) {
            context = c;
            bContextFound = true;
        }
        if ((nClass & (kInPrimary | kBreaks)) == kInPrimary)
            continue;
        if (nClass & (kBreaks | kOwnKey))
            return ownKey();
        if ((nClass & kNoScript) && !bContextFound) {
            // At the start it takes the script of the first character that has one.
            bContextFound = true;
            for (const QChar d : cell.m_strText) {
                if (!(Class(d) & kNoScript)) {
                    context = d;
                    break;
                }
            }
        }
        const int nFont = DrawingFont(c, (nClass & kNoScript) ? context : QChar());
        if (nFont >= 64)
            return ownKey();
        key.nFonts |= quint64(1) << nFont;
    }
    return key;
}

int CGridSizer::RowHeight(int nRow)
{
    int nHeight = 0;
    // Neighbouring rows mostly have cells of one kind in a column: the last one is kept.
    m_lastHeights.resize(size_t(m_model.columnCount()));
    for (int c = 0; c < m_model.columnCount(); ++c) {
        CellKey key = HeightKey(m_model.CellAt(nRow, c));
        auto& last = m_lastHeights[size_t(c)];
        if (last.second == 0 || !(last.first == key)) {
            int& nCellHeight = m_heights[key];
            if (nCellHeight == 0) {
                GridCellLook look = GridPaint::CellLook(m_model.index(nRow, c), m_font);
                look.dScale = m_dScale;
                nCellHeight = GridPaint::CellExtent(look).height();
            }
            last = {std::move(key), nCellHeight};
        }
        nHeight = qMax(nHeight, last.second);
    }
    return nHeight;
}
