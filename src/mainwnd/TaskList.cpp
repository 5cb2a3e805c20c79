#include "mainwnd/TaskList.h"

#include "controls/BalloonTip.h"
#include "controls/GbkLength.h"
#include "controls/GifPicture.h"
#include "mainwnd/PlannerLayout.h"

#include <QHeaderView>
#include <QMouseEvent>
#include <QScrollBar>
#include <QTableWidget>

using namespace PlannerLayout;

namespace {

const QColor kListBack(238, 238, 238);
const QColor kListText(0, 0, 200);
const QColor kPastBack(238, 0, 0);
// A row's first column longer than this many bytes does not fit and is shown in a tip on click.
constexpr int kRowTipBytes = 23;

} // namespace

CTaskList::CTaskList(CBalloonTip& tip, QWidget* parent) : QWidget(parent), m_tip(tip)
{
    setObjectName(QStringLiteral("taskListPanel"));
    setGeometry(kTaskPanel);

    m_pTable = new QTableWidget(0, 2, this);
    m_pTable->setObjectName(QStringLiteral("taskList"));
    m_pTable->setGeometry(kTaskList.translated(-kTaskPanel.topLeft()));
    m_pTable->horizontalHeader()->hide();
    m_pTable->verticalHeader()->hide();
    m_pTable->verticalHeader()->setMinimumSectionSize(kListRowHeight);
    m_pTable->verticalHeader()->setDefaultSectionSize(kListRowHeight);
    m_pTable->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_pTable->setSelectionMode(QAbstractItemView::SingleSelection);
    m_pTable->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_pTable->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_pTable->setShowGrid(true);
    m_pTable->setWordWrap(false);
    m_pTable->setTextElideMode(Qt::ElideRight);
    m_pTable->viewport()->installEventFilter(this);
    connect(m_pTable->verticalScrollBar(), &QScrollBar::valueChanged, this, &CTaskList::PlaceMarker);

    m_pMarker = new CGifPicture(this);
    m_pMarker->setObjectName(QStringLiteral("inProgressMarker"));
    m_pMarker->hide();
}

void CTaskList::SetTasks(const QList<TaskRow>& tasks, bool bEditable)
{
    m_bEditable = bEditable;
    m_pTable->setRowCount(0);
    QPalette palette = m_pTable->palette();
    palette.setColor(QPalette::Base, kListBack);
    palette.setColor(QPalette::Text, bEditable ? kListText : Qt::white);
    m_pTable->setPalette(palette);

    // Past thirteen rows the scroll bar takes its place from the first column. The list's
    // inner width, scroll bar included, is the same before the list is first shown.
    const int w = m_pTable->contentsRect().width();
    const int s = tasks.size() > kListVisibleRows ? 16 : 0;
    m_pTable->setColumnWidth(0, (3 * w) / 4 - s + 10);
    m_pTable->setColumnWidth(1, w / 4 - 10);

    m_pTable->setRowCount(int(tasks.size()));
    for (int i = 0; i < tasks.size(); ++i) {
        auto* content = new QTableWidgetItem(QString::asprintf(" %2d", i + 1) + u'、' + tasks[i].strContent);
        content->setData(TaskRole, QVariant::fromValue(tasks[i]));
        auto* state = new QTableWidgetItem(tasks[i].strState);
        for (QTableWidgetItem* item : {content, state}) {
            item->setForeground(bEditable ? kListText : QColor(Qt::white));
            if (!bEditable)
                item->setBackground(kPastBack);
        }
        m_pTable->setItem(i, 0, content);
        m_pTable->setItem(i, 1, state);
    }
    m_nMarkerRow = TaskRules::MarkerRow(tasks, bEditable);
    PlaceMarker();
}

QList<TaskRow> CTaskList::Tasks() const
{
    QList<TaskRow> tasks;
    for (int row = 0; row < m_pTable->rowCount(); ++row)
        tasks.append(m_pTable->item(row, 0)->data(TaskRole).value<TaskRow>());
    return tasks;
}

std::optional<TaskRow> CTaskList::ChosenTask() const
{
    const QTableWidgetItem* item = m_nChosen >= 0 ? m_pTable->item(m_nChosen, 0) : nullptr;
    if (!item)
        return std::nullopt;
    return item->data(TaskRole).value<TaskRow>();
}

QString CTaskList::ChosenText() const
{
    return RowText(m_nChosen);
}

QString CTaskList::RowText(int nRow) const
{
    const QTableWidgetItem* item = m_pTable->item(nRow, 0);
    return item ? item->text() : QString();
}

void CTaskList::ClearChoice()
{
    m_nChosen = -1;
    m_pTable->clearSelection();
}

void CTaskList::PlaceMarker()
{
    // The marker stands beside its row as the list really draws it, whatever the font and
    // however far the list is scrolled; a row scrolled out of sight takes its marker along.
    const QRect row =
        m_nMarkerRow >= 0 ? m_pTable->visualRect(m_pTable->model()->index(m_nMarkerRow, 0)) : QRect();
    const QRect viewport = m_pTable->viewport()->rect();
    if (row.isNull() || !viewport.contains(row.center())) {
        m_pMarker->Stop();
        m_pMarker->hide();
        return;
    }
    // Most days have no task in progress: the animation is decoded when a row first wants it,
    // not while the planner waits for its first paint.
    if (!m_pMarker->IsGif())
        m_pMarker->LoadFromResource(167, QStringLiteral("GIF"));
    const QPoint centre = m_pTable->viewport()->mapTo(this, row.center());
    m_pMarker->setGeometry(0, centre.y() - kMarkerSize / 2, kMarkerSize, kMarkerSize);
    m_pMarker->show();
    m_pMarker->Start();
}

void CTaskList::OnClick(int nRow, const QPoint& globalPos)
{
    const bool chosen = nRow >= 0 && nRow < m_pTable->rowCount() && m_bEditable;
    m_nChosen = chosen ? nRow : -1;
    emit ChoiceMade(chosen);
    const QString text = RowText(nRow);
    if (GbkLength(text) > kRowTipBytes)
        m_tip.ShowAt(text, globalPos);
}

bool CTaskList::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != m_pTable->viewport())
        return QWidget::eventFilter(watched, event);
    if (event->type() == QEvent::MouseButtonPress) {
        // A press always begins a click of its own. The release of an earlier double click
        // may never have come (a message box took it), and must not swallow this one.
        m_bDoubleClickRelease = false;
    } else if (event->type() == QEvent::MouseButtonRelease) {
        auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() == Qt::LeftButton) {
            // The release that ends a double click is not a click of its own: it would
            // choose the row again that the quick change has just let go.
            if (m_bDoubleClickRelease)
                m_bDoubleClickRelease = false;
            else
                OnClick(m_pTable->rowAt(int(mouse->position().y())), mouse->globalPosition().toPoint());
        }
    } else if (event->type() == QEvent::MouseButtonDblClick) {
        // Only the left button chooses rows, so only its double click changes the chosen one.
        if (static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
            m_bDoubleClickRelease = true;
            emit DoubleClicked();
        }
        return true;
    }
    return QWidget::eventFilter(watched, event);
}
