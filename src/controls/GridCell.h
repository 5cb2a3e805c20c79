#pragma once

#include <QColor>
#include <QString>
#include <QtGlobal>

/// Text layout flags of a grid cell. The values follow the Windows text-drawing flags, so
/// formats written for that platform carry over unchanged.
namespace GridFormat {
enum : unsigned
{
    Left = 0x0000,
    Center = 0x0001,
    Right = 0x0002,
    Top = 0x0000,
    VCenter = 0x0004,
    Bottom = 0x0008,
    WordBreak = 0x0010,
    SingleLine = 0x0020,
    NoPrefix = 0x0800,
    EndEllipsis = 0x8000,
};
/// What a new cell uses: one line, vertically centred, cut with an ellipsis.
inline constexpr unsigned Default = VCenter | SingleLine | NoPrefix | EndEllipsis;
} // namespace GridFormat

/// One cell of a CGridCtrl.
class CGridCell
{
public:
    QString m_strText;
    unsigned m_nFormat = GridFormat::Default;
    int m_nImage = -1; ///< index into the grid's image list, -1 for none
    QColor m_crBkClr;  ///< invalid: the grid's cell background
    qintptr m_lParam = 0;
    unsigned m_nState = 0;
};

/// Which parts of a GridItem SetItem takes over.
namespace GridMask {
enum : unsigned
{
    Text = 0x01,
    Format = 0x02,
    Image = 0x04,
    BkColour = 0x08,
    Param = 0x10,
    State = 0x20,
};
}

/// Arguments of CGridCtrl::SetItem: a cell position, a mask and the parts it names.
struct GridItem
{
    int row = 0;
    int col = 0;
    unsigned mask = 0;
    QString strText;
    unsigned nFormat = GridFormat::Default;
    int iImage = -1;
    QColor crBkClr;
    qintptr lParam = 0;
    unsigned nState = 0;
};
