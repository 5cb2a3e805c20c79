#include "controls/GridCtrl.h"

#include "controls/GridDelegate.h"
#include "controls/GridModel.h"
#include "controls/GridSizer.h"

#include <QContextMenuEvent>
#include <QCoreApplication>
#include <QEvent>
#include <QHeaderView>
#include <QMouseEvent>
#include <QScrollBar>
#include <QWheelEvent>
#include <climits>

namespace {

int DefaultRowHeight(const QFont& font)
{
    // Measured on Chinese as well as Latin text: the Chinese glyphs come from a fallback
    // font whose lines are usually taller than those of the grid's own font.
    GridCellLook sample;
    sample.strText = QStringLiteral("Ag事情");
    sample.font = font;
    return GridPaint::CellExtent(sample).height();
}

} // namespace

CGridCtrl::CGridCtrl(QWidget* parent)
    : QTableView(parent), m_pModel(new CGridModel(this)), m_pDelegate(new CGridDelegate(this))
{
    m_pModel->SetTextColour(palette().color(QPalette::WindowText));
    m_pModel->SetTextBkColour(palette().color(QPalette::Base));
    m_pModel->SetFixedBkColour(palette().color(QPalette::Button));
    setModel(m_pModel);
    setItemDelegate(m_pDelegate);
    horizontalHeader()->hide();
    verticalHeader()->hide();
    horizontalHeader()->setMinimumSectionSize(1);
    verticalHeader()->setMinimumSectionSize(1);
    verticalHeader()->setDefaultSectionSize(DefaultRowHeight(font()));
    setShowGrid(false);
    setCornerButtonEnabled(false);
    // Pixel scrolling keeps a data row from stopping half under the frozen header rows.
    setVerticalScrollMode(ScrollPerPixel);
    setHorizontalScrollMode(ScrollPerPixel);
    setEditTriggers(NoEditTriggers);

    m_pLeftView = MakeFrozenView(m_pModel);
    // The top and corner views show the fixed rows alone, however many rows the grid holds.
    auto* pHead = new CGridHeadModel(*m_pModel, this);
    m_pTopView = MakeFrozenView(pHead);
    m_pCornerView = MakeFrozenView(pHead);

    // A frozen view shows only its own rows or columns; the others it never scrolls to, so their
    // sizes are of no matter to it. A bulk update copies the sizes when it ends.
    connect(horizontalHeader(), &QHeaderView::sectionResized, this, [this](int nCol, int, int nSize) {
        if (m_nBulk > 0) {
            m_nResizedColFirst = qMin(m_nResizedColFirst, nCol);
            m_nResizedColLast = qMax(m_nResizedColLast, nCol);
            return;
        }
        m_pTopView->setColumnWidth(nCol, nSize);
        if (nCol < m_nFixedCols) {
            m_pLeftView->setColumnWidth(nCol, nSize);
            m_pCornerView->setColumnWidth(nCol, nSize);
        }
        PlaceFrozenViews();
    });
    connect(verticalHeader(), &QHeaderView::sectionResized, this, [this](int nRow, int, int nSize) {
        if (m_nBulk > 0) {
            m_nResizedRowFirst = qMin(m_nResizedRowFirst, nRow);
            m_nResizedRowLast = qMax(m_nResizedRowLast, nRow);
            return;
        }
        m_pLeftView->setRowHeight(nRow, nSize);
        if (nRow < m_nFixedRows) {
            m_pTopView->setRowHeight(nRow, nSize);
            m_pCornerView->setRowHeight(nRow, nSize);
        }
        PlaceFrozenViews();
    });
    connect(horizontalScrollBar(), &QScrollBar::valueChanged, m_pTopView->horizontalScrollBar(),
            &QScrollBar::setValue);
    connect(verticalScrollBar(), &QScrollBar::valueChanged, m_pLeftView->verticalScrollBar(),
            &QScrollBar::setValue);
    // The frozen views learn about new rows and columns later than the main view; once their
    // range allows it they catch up with its position.
    connect(m_pTopView->horizontalScrollBar(), &QScrollBar::rangeChanged, this,
            [this] { m_pTopView->horizontalScrollBar()->setValue(horizontalScrollBar()->value()); });
    connect(m_pLeftView->verticalScrollBar(), &QScrollBar::rangeChanged, this,
            [this] { m_pLeftView->verticalScrollBar()->setValue(verticalScrollBar()->value()); });
    connect(m_pLeftView, &QAbstractItemView::pressed, this, &CGridCtrl::FrozenCellPressed);
    connect(m_pTopView, &QAbstractItemView::pressed, this, &CGridCtrl::FrozenCellPressed);
}

CGridCtrl::CGridCtrl(int nRows, int nCols, int nFixedRows, int nFixedCols, QWidget* parent)
    : CGridCtrl(parent)
{
    SetRowCount(nRows);
    SetColumnCount(nCols);
    SetFixedRowCount(nFixedRows);
    SetFixedColumnCount(nFixedCols);
}

CGridCtrl::~CGridCtrl() = default;

QTableView* CGridCtrl::MakeFrozenView(QAbstractItemModel* pModel)
{
    auto* v = new QTableView(this);
    v->setModel(pModel);
    v->setItemDelegate(m_pDelegate);
    v->horizontalHeader()->hide();
    v->verticalHeader()->hide();
    v->horizontalHeader()->setMinimumSectionSize(1);
    v->verticalHeader()->setMinimumSectionSize(1);
    v->verticalHeader()->setDefaultSectionSize(verticalHeader()->defaultSectionSize());
    v->horizontalHeader()->setDefaultSectionSize(horizontalHeader()->defaultSectionSize());
    v->setShowGrid(false);
    v->setCornerButtonEnabled(false);
    v->setFrameShape(QFrame::NoFrame);
    v->setFocusPolicy(Qt::NoFocus);
    v->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    v->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    v->setVerticalScrollMode(ScrollPerPixel);
    v->setHorizontalScrollMode(ScrollPerPixel);
    v->setSelectionMode(NoSelection);
    v->setEditTriggers(NoEditTriggers);
    v->setAutoScroll(false);
    v->viewport()->installEventFilter(this);
    v->hide();
    return v;
}

bool CGridCtrl::eventFilter(QObject* watched, QEvent* event)
{
    QTableView* pFrozen = nullptr;
    for (QTableView* v : {m_pTopView, m_pLeftView, m_pCornerView}) {
        if (v && watched == v->viewport())
            pFrozen = v;
    }
    if (!pFrozen)
        return QTableView::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::Wheel:
        // A frozen view must never scroll on its own: the wheel turns the whole grid.
        wheelEvent(static_cast<QWheelEvent*>(event));
        return true;
    case QEvent::MouseButtonPress: {
        // A row header picks its row (FrozenCellPressed); a right click on a column header or
        // beside the cells picks none.
        const auto* pMouse = static_cast<QMouseEvent*>(event);
        const QModelIndex index = pFrozen->indexAt(pMouse->position().toPoint());
        if (pMouse->button() == Qt::RightButton && (!index.isValid() || index.row() < m_nFixedRows))
            ClearCurrentRow();
        return false;
    }
    case QEvent::ContextMenu: {
        // The headers are part of the grid: their menu is the grid's own.
        const auto* pMenu = static_cast<QContextMenuEvent*>(event);
        const QPoint pos = viewport()->mapFromGlobal(pFrozen->viewport()->mapToGlobal(pMenu->pos()));
        QContextMenuEvent forwarded(pMenu->reason(), pos, pMenu->globalPos(), pMenu->modifiers());
        QCoreApplication::sendEvent(viewport(), &forwarded);
        event->setAccepted(forwarded.isAccepted());
        return true;
    }
    default:
        return false;
    }
}

void CGridCtrl::mousePressEvent(QMouseEvent* event)
{
    // A right click beside the cells picks no row, so that a command of the menu it opens
    // has nothing to act on; the view alone would keep the row picked before.
    if (event->button() == Qt::RightButton && !indexAt(event->position().toPoint()).isValid()) {
        ClearCurrentRow();
        return;
    }
    QTableView::mousePressEvent(event);
}

void CGridCtrl::ClearCurrentRow()
{
    // Set through the view, so that the view knows no cell is current on purpose: it would
    // otherwise make the first one current when it next gets the focus (as when the menu closes).
    setCurrentIndex(QModelIndex());
    clearSelection();
}

void CGridCtrl::FrozenCellPressed(const QModelIndex& index)
{
    // A click on a row header picks that row, as it would in the row itself.
    if (index.row() < m_nFixedRows || GetColumnCount() <= m_nFixedCols)
        return;
    const QModelIndex target = m_pModel->index(index.row(), qMax(index.column(), m_nFixedCols));
    setFocus(Qt::MouseFocusReason);
    if (m_bListMode)
        selectRow(index.row());
    setCurrentIndex(target);
}

int CGridCtrl::GetRowCount() const
{
    return m_pModel->rowCount();
}

int CGridCtrl::GetColumnCount() const
{
    return m_pModel->columnCount();
}

bool CGridCtrl::SetRowCount(int nRows)
{
    if (nRows < 0)
        return false;
    m_nFixedRows = qMin(m_nFixedRows, nRows);
    m_pModel->SetFixed(m_nFixedRows, m_nFixedCols);
    m_pModel->SetRowCount(nRows);
    ApplyFixedLayout();
    return true;
}

void CGridCtrl::SetRowSource(IGridRowSource* pSource)
{
    const QModelIndex current = currentIndex();
    if (current.isValid() && current.row() >= m_nFixedRows)
        selectionModel()->clearCurrentIndex();
    // The fixed rows stay as they are, and new rows take the default height in every view, so
    // nothing is copied: a million rows cost no walk over them.
    m_pModel->SetRowSource(pSource);
    PlaceFrozenViews();
    RepaintAll();
}

bool CGridCtrl::LoadRows(int nFirst, int nLast)
{
    IGridRowSource* pSource = m_pModel->RowSource();
    const int nOwn = GetRowCount() - (pSource ? pSource->RowCount() : 0);
    nFirst = qMax(nFirst, nOwn);
    nLast = qMin(nLast, GetRowCount() - 1);
    if (!pSource || nFirst > nLast)
        return true;
    const bool bLoaded = pSource->Load(nFirst - nOwn, nLast - nOwn);
    m_pModel->RowsChanged(nFirst, nLast);
    return bLoaded;
}

bool CGridCtrl::SetColumnCount(int nCols)
{
    if (nCols < 0)
        return false;
    m_nFixedCols = qMin(m_nFixedCols, nCols);
    m_pModel->SetFixed(m_nFixedRows, m_nFixedCols);
    m_pModel->SetColumnCount(nCols);
    ApplyFixedLayout();
    return true;
}

bool CGridCtrl::SetFixedRowCount(int nFixedRows)
{
    if (nFixedRows < 0)
        return false;
    if (nFixedRows > GetRowCount())
        SetRowCount(nFixedRows);
    m_nFixedRows = nFixedRows;
    ApplyFixedLayout();
    return true;
}

bool CGridCtrl::SetFixedColumnCount(int nFixedCols)
{
    if (nFixedCols < 0)
        return false;
    if (nFixedCols > GetColumnCount())
        SetColumnCount(nFixedCols);
    m_nFixedCols = nFixedCols;
    ApplyFixedLayout();
    return true;
}

void CGridCtrl::ApplyFixedLayout()
{
    m_pModel->SetFixed(m_nFixedRows, m_nFixedCols);
    const QModelIndex current = currentIndex();
    if (current.isValid() && IsCellFixed(current.row(), current.column()))
        selectionModel()->clearCurrentIndex();
    if (m_nBulk > 0) {
        m_bBulkLayout = true;
        return;
    }
    CopySectionSizes(0, GetRowCount() - 1, 0, GetColumnCount() - 1);
    PlaceFrozenViews();
    RepaintAll();
}

void CGridCtrl::BeginBulkUpdate()
{
    ++m_nBulk;
    m_pModel->BeginBulkChange();
}

void CGridCtrl::EndBulkUpdate()
{
    if (m_nBulk == 0)
        return;
    m_pModel->EndBulkChange();
    if (--m_nBulk > 0)
        return;
    // Sizing a few columns of a million rows must not walk every row: without a change of
    // layout only the sections that were resized are copied.
    if (m_bBulkLayout)
        CopySectionSizes(0, GetRowCount() - 1, 0, GetColumnCount() - 1);
    else
        CopySectionSizes(m_nResizedRowFirst, m_nResizedRowLast, m_nResizedColFirst, m_nResizedColLast);
    m_bBulkLayout = false;
    m_nResizedRowFirst = m_nResizedColFirst = INT_MAX;
    m_nResizedRowLast = m_nResizedColLast = -1;
    PlaceFrozenViews();
    RepaintAll();
}

void CGridCtrl::CopySectionSizes(int nFirstRow, int nLastRow, int nFirstCol, int nLastCol)
{
    if (!m_pCornerView)
        return;
    // Each frozen view gets the sizes of the rows and columns it shows (see the constructor).
    auto copy = [&](QTableView* v, int nRows, int nCols) {
        for (int r = qMax(nFirstRow, 0); r <= qMin(nLastRow, nRows - 1); ++r) {
            if (v->rowHeight(r) != rowHeight(r))
                v->setRowHeight(r, rowHeight(r));
        }
        for (int c = qMax(nFirstCol, 0); c <= qMin(nLastCol, nCols - 1); ++c) {
            if (v->columnWidth(c) != columnWidth(c))
                v->setColumnWidth(c, columnWidth(c));
        }
    };
    copy(m_pTopView, m_nFixedRows, GetColumnCount());
    copy(m_pLeftView, GetRowCount(), m_nFixedCols);
    copy(m_pCornerView, m_nFixedRows, m_nFixedCols);
}

int CGridCtrl::FixedRowsHeight() const
{
    int n = 0;
    for (int r = 0; r < m_nFixedRows; ++r)
        n += rowHeight(r);
    return n;
}

int CGridCtrl::FixedColumnsWidth() const
{
    int n = 0;
    for (int c = 0; c < m_nFixedCols; ++c)
        n += columnWidth(c);
    return n;
}

void CGridCtrl::PlaceFrozenViews()
{
    if (!m_pCornerView)
        return; // the base class lays out before the frozen views exist
    const QRect vp = viewport()->geometry();
    const int nHeight = qMin(FixedRowsHeight(), vp.height());
    const int nWidth = qMin(FixedColumnsWidth(), vp.width());
    m_pTopView->setGeometry(vp.x(), vp.y(), vp.width(), nHeight);
    m_pLeftView->setGeometry(vp.x(), vp.y(), nWidth, vp.height());
    m_pCornerView->setGeometry(vp.x(), vp.y(), nWidth, nHeight);
    m_pTopView->setVisible(nHeight > 0);
    m_pLeftView->setVisible(nWidth > 0);
    m_pCornerView->setVisible(nHeight > 0 && nWidth > 0);
    m_pLeftView->raise();
    m_pTopView->raise();
    m_pCornerView->raise();
    m_pTopView->horizontalScrollBar()->setValue(horizontalScrollBar()->value());
    m_pLeftView->verticalScrollBar()->setValue(verticalScrollBar()->value());
}

void CGridCtrl::updateGeometries()
{
    QTableView::updateGeometries();
    PlaceFrozenViews();
}

void CGridCtrl::scrollTo(const QModelIndex& index, ScrollHint hint)
{
    QTableView::scrollTo(index, hint);
    if (!index.isValid())
        return;
    // The base class thinks the whole viewport is free; the frozen rows and columns cover
    // its top and left, so a cell that went there is pulled out again.
    const QRect rect = visualRect(index);
    const int nTop = FixedRowsHeight();
    if (index.row() >= m_nFixedRows && rect.top() < nTop)
        verticalScrollBar()->setValue(verticalScrollBar()->value() - (nTop - rect.top()));
    const int nLeft = FixedColumnsWidth();
    if (index.column() >= m_nFixedCols && rect.left() < nLeft)
        horizontalScrollBar()->setValue(horizontalScrollBar()->value() - (nLeft - rect.left()));
}

QModelIndex CGridCtrl::moveCursor(CursorAction cursorAction, Qt::KeyboardModifiers modifiers)
{
    const QModelIndex index = QTableView::moveCursor(cursorAction, modifiers);
    if (!index.isValid())
        return index;
    const int nRow = qMax(index.row(), m_nFixedRows);
    const int nCol = qMax(index.column(), m_nFixedCols);
    if (!m_pModel->IsValid(nRow, nCol))
        return currentIndex();
    return m_pModel->index(nRow, nCol);
}

void CGridCtrl::changeEvent(QEvent* event)
{
    QTableView::changeEvent(event);
    if (event->type() == QEvent::FontChange) {
        const int nHeight = DefaultRowHeight(font());
        for (QTableView* v : {static_cast<QTableView*>(this), m_pTopView, m_pLeftView, m_pCornerView})
            v->verticalHeader()->setDefaultSectionSize(nHeight);
        CopySectionSizes(0, GetRowCount() - 1, 0, GetColumnCount() - 1);
        PlaceFrozenViews();
    }
}

void CGridCtrl::RepaintAll()
{
    for (QTableView* v : {static_cast<QTableView*>(this), m_pTopView, m_pLeftView, m_pCornerView})
        v->viewport()->update();
}

bool CGridCtrl::SetRowHeight(int nRow, int nHeight)
{
    if (nRow < 0 || nRow >= GetRowCount() || nHeight < 0)
        return false;
    setRowHeight(nRow, nHeight);
    return true;
}

int CGridCtrl::GetRowHeight(int nRow) const
{
    return nRow >= 0 && nRow < GetRowCount() ? rowHeight(nRow) : 0;
}

bool CGridCtrl::SetColumnWidth(int nCol, int nWidth)
{
    if (nCol < 0 || nCol >= GetColumnCount() || nWidth < 0)
        return false;
    setColumnWidth(nCol, nWidth);
    return true;
}

int CGridCtrl::GetColumnWidth(int nCol) const
{
    return nCol >= 0 && nCol < GetColumnCount() ? columnWidth(nCol) : 0;
}

bool CGridCtrl::AutoSizeColumn(int nCol, bool bIgnoreFixedRows)
{
    if (nCol < 0 || nCol >= GetColumnCount())
        return false;
    CGridSizer sizer(*m_pModel, font());
    const int nWidth = sizer.ColumnWidth(nCol, bIgnoreFixedRows ? m_nFixedRows : 0);
    if (nWidth >= 0 && nWidth != columnWidth(nCol))
        setColumnWidth(nCol, nWidth);
    return true;
}

void CGridCtrl::AutoSizeColumns(bool bIgnoreFixedRows)
{
    BeginBulkUpdate();
    CGridSizer sizer(*m_pModel, font());
    for (int c = 0; c < GetColumnCount(); ++c) {
        const int nWidth = sizer.ColumnWidth(c, bIgnoreFixedRows ? m_nFixedRows : 0);
        if (nWidth >= 0 && nWidth != columnWidth(c))
            setColumnWidth(c, nWidth);
    }
    EndBulkUpdate();
}

CGridSizer& CGridCtrl::Sizer()
{
    if (!m_pSizer || m_pSizer->Font() != font()) {
        m_pSizer = std::make_unique<CGridSizer>(*m_pModel, font());
    } else {
        m_pSizer->ForgetCells(); // cells may have changed since; the font's characters have not
    }
    return *m_pSizer;
}

void CGridCtrl::WidenColumns(int nFirst, int nLast)
{
    BeginBulkUpdate();
    CGridSizer& sizer = Sizer();
    for (int c = 0; c < GetColumnCount(); ++c) {
        const int nWidth = sizer.ColumnWidth(c, nFirst, nLast);
        if (nWidth > columnWidth(c))
            setColumnWidth(c, nWidth);
    }
    EndBulkUpdate();
}

void CGridCtrl::AutoSizeRows()
{
    AutoSizeRows(0, GetRowCount() - 1);
}

void CGridCtrl::AutoSizeRows(int nFirst, int nLast)
{
    nFirst = qMax(nFirst, 0);
    nLast = qMin(nLast, GetRowCount() - 1);
    if (nFirst > nLast)
        return;
    BeginBulkUpdate();
    CGridSizer& sizer = Sizer();
    const int nMinHeight = verticalHeader()->defaultSectionSize();
    for (int r = nFirst; r <= nLast; ++r) {
        const int nHeight = qMax(nMinHeight, sizer.RowHeight(r));
        if (nHeight != rowHeight(r))
            setRowHeight(r, nHeight);
    }
    EndBulkUpdate();
}

void CGridCtrl::AutoSize()
{
    BeginBulkUpdate();
    AutoSizeColumns(false);
    AutoSizeRows();
    EndBulkUpdate();
}

void CGridCtrl::SetListMode(bool bEnable)
{
    m_bListMode = bEnable;
    setSelectionBehavior(bEnable ? SelectRows : SelectItems);
}

void CGridCtrl::SetEditable(bool bEditable)
{
    m_pModel->SetEditable(bEditable);
    setEditTriggers(bEditable ? (DoubleClicked | EditKeyPressed | AnyKeyPressed) : NoEditTriggers);
}

bool CGridCtrl::IsEditable() const
{
    return m_pModel->IsEditable();
}

// The looks live in the model, whose role data the views draw from; a change there repaints
// every view that shows the cells.
void CGridCtrl::SetImageList(const QList<QPixmap>* pImageList)
{
    m_pModel->SetImageList(pImageList);
}

const QList<QPixmap>* CGridCtrl::GetImageList() const
{
    return m_pModel->GetImageList();
}

const QPixmap* CGridCtrl::GetImage(int iImage) const
{
    return m_pModel->Image(iImage);
}

QList<QPixmap> CGridCtrl::ImagesFromStrip(const QImage& strip, int nWidth, const QColor& crTransparent)
{
    QList<QPixmap> images;
    if (nWidth <= 0)
        return images;
    for (int x = 0; x + nWidth <= strip.width(); x += nWidth) {
        QPixmap pixmap = QPixmap::fromImage(strip.copy(x, 0, nWidth, strip.height()));
        pixmap.setMask(pixmap.createMaskFromColor(crTransparent, Qt::MaskInColor));
        images.append(pixmap);
    }
    return images;
}

void CGridCtrl::SetTextColour(const QColor& cr)
{
    m_pModel->SetTextColour(cr);
}

QColor CGridCtrl::GetTextColour() const
{
    return m_pModel->GetTextColour();
}

void CGridCtrl::SetTextBkColour(const QColor& cr)
{
    m_pModel->SetTextBkColour(cr);
}

QColor CGridCtrl::GetTextBkColour() const
{
    return m_pModel->GetTextBkColour();
}

void CGridCtrl::SetFixedBkColour(const QColor& cr)
{
    m_pModel->SetFixedBkColour(cr);
}

QColor CGridCtrl::GetFixedBkColour() const
{
    return m_pModel->GetFixedBkColour();
}

void CGridCtrl::SetGridLineColour(const QColor& cr)
{
    m_pModel->SetGridLineColour(cr);
}

QColor CGridCtrl::GetGridLineColour() const
{
    return m_pModel->GetGridLineColour();
}
