#pragma once

#include <QFont>
#include <QFontMetricsF>
#include <QHash>
#include <QList>
#include <QRawFont>
#include <QString>
#include <climits>
#include <vector>

class CGridCell;
class CGridModel;

/// The room the cells of a grid need in one font, as GridPaint::CellExtent gives it cell by cell,
/// found without measuring every cell: ten thousand rows measured one by one take a second.
///
/// A column's width: every text gets a quick estimate, the sum of its characters' advances. Any
/// text whose estimate comes near the widest measure so far may still be wider, whatever its
/// place in the column, and is looked at again: measured, or, when kerning between neighbours
/// is all that shaping does to it, added up exactly from the steps between its neighbours. So
/// two texts that the quick estimate cannot tell apart are never taken for one.
///
/// A row's height: a one-line text is as high as the fonts that draw it, so cells drawn by the
/// same fonts share one measure.
class CGridSizer
{
public:
    /// \a dScale: device pixels per screen pixel, as in GridCellLook (a printer's font with the
    /// printer's scale measures a printed grid).
    CGridSizer(const CGridModel& model, const QFont& font, qreal dScale = 1.0);

    /// The width of the widest cell of column \a nCol in rows \a nFirstRow to \a nLastRow (to the
    /// last row by default); -1 when there is none.
    int ColumnWidth(int nCol, int nFirstRow = 0, int nLastRow = INT_MAX);
    /// The height of the highest cell of row \a nRow; 0 when the grid has no columns.
    int RowHeight(int nRow);

    /// The font this sizer measures in.
    const QFont& Font() const { return m_font; }
    /// Forgets what it learnt of cells and texts, keeping what it learnt of the font's characters:
    /// a grid that sizes page after page of new rows keeps one sizer, and the characters of a
    /// Chinese text, each laid out once to find its font, are most of a page's work.
    void ForgetCells();

private:
    // What decides a cell's width (its text, format and picture) or its height (the fonts of
    // its text, or the text itself, and its picture).
    struct CellKey
    {
        QString strText;
        unsigned nFormat = 0;
        int iImage = -1;
        quint64 nFonts = 0;
        bool operator==(const CellKey&) const = default;
        friend size_t qHash(const CellKey& key, size_t seed = 0)
        {
            return qHashMulti(seed, key.strText, key.nFormat, key.iImage, key.nFonts);
        }
    };
    struct Glyph
    {
        quint32 nFont;
        quint32 nGlyph;
        qint64 nX; ///< in 64ths
    };
    struct Layout
    {
        QList<Glyph> glyphs; ///< left to right
        qint64 nWidth = 0;   ///< in 64ths
    };

    quint8 Class(QChar c)
    {
        const quint8 nClass = m_classes[c.unicode()];
        return nClass ? nClass : Classify(c);
    }
    quint8 Classify(QChar c);
    qint32 Advance(QChar c);
    int DrawingFont(QChar c, QChar context);
    qint32 Step(QChar a, QChar b, QChar anchor);
    int Letter(QChar c);
    QChar Anchor(QChar c);
    Layout LaidOut(const QString& strText); // a copy: the cache may grow under a reference

    qint32 TableStep(int ia, int ib, QChar a, QChar b);
    int MeasuredWidth(int nRow, int nCol);
    qint64 EstimateCell(int nRow, int nCol);
    bool TextFromSteps(const CGridCell& cell, qint64& nText);
    int Widest(int nCol, int nFirstRow, int nEnd, int nLeader);
    qint64 RoomAround(const CGridCell& cell);
    int WidthForText(qint64 nText, const CGridCell& cell) const;
    CellKey HeightKey(const CGridCell& cell);

    const CGridModel& m_model;
    QFont m_font;
    qreal m_dScale;
    QFontMetricsF m_fm;
    QRawFont m_primary;
    qint64 m_nSlack;  // kerning that may set a text's characters apart, in 64ths
    bool m_bEstimate; // false when the font spaces letters or changes their case
    bool m_bStepsHold = true;
    std::vector<quint8> m_classes;          // per character, see Class()
    std::vector<qint32> m_advances;         // per character, in 64ths
    std::vector<qint32> m_estimateAdvances; // per character, in 64ths, doubled for a fallback's
    std::vector<qint8> m_fonts;             // per character of a script: the font that draws it, -1 unknown
    QHash<quint64, int> m_contextFonts;     // per character of no script and the script around it
    QHash<QString, int> m_fontIds;
    static constexpr int kLetters = 128;
    std::vector<quint16> m_letters; // per character: its index in the step table, 0 for none yet
    int m_nLetters = 1;
    std::vector<qint32> m_stepTable; // per pair of indexed characters
    QHash<quint64, qint32> m_steps;  // per other pair of neighbours (and anchor)
    QHash<QString, Layout> m_layouts;
    QHash<QString, qint64> m_fallbackTexts; // added up, -1 when they cannot be
    QChar m_anchors[QChar::ScriptCount] = {};
    std::vector<qint64> m_estimates; // per row from the first one sized, for the column being sized, in 64ths
    QHash<CellKey, int> m_widths;
    QHash<CellKey, int> m_heights;
    std::vector<std::pair<CellKey, int>> m_lastHeights; // per column
    int m_nRoomImage = -2;                              // the last cell RoomAround() answered for
    int m_nRoomText = 0;
    qint64 m_nRoom = 0;
};
