#include "launcher/ProgramListDlg.h"

#include "app/PlannerContext.h"
#include "controls/BackgroundBitmap.h"
#include "controls/BalloonTip.h"
#include "controls/Messages.h"
#include "controls/RunModal.h"
#include "controls/StdDialogs.h"
#include "launcher/ProgramEditDlg.h"
#include "launcher/ProgramList.h"
#include "launcher/ProgramListModel.h"

#include <QEvent>
#include <QFileIconProvider>
#include <QFileInfo>
#include <QIcon>
#include <QListView>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QTimer>

namespace {
// The list sits on the card of the background picture (tools/make-launcher-art.py), the
// buttons in the column right of it.
const QRect kListRect(20, 76, 280, 288);
constexpr int kButtonLeft = 318;
constexpr int kButtonWidth = 106;
constexpr int kButtonHeight = 30;

} // namespace

CProgramListDlg::CProgramListDlg(CPlannerContext& context, QWidget* parent)
    : QDialog(parent), m_context(context), m_pIcons(std::make_unique<QFileIconProvider>()),
      m_fallbackIcon(QStringLiteral(":/launcher/176.png")), m_background(QStringLiteral(":/launcher/175.png"))
{
    // The desktop's picture for a file, or the program's own where the desktop has none: one
    // picture shared by every such entry, however many files of the list are gone.
    m_pList = std::make_unique<CProgramList>(
        m_context.DataFile(CProgramList::FileName()), [this](const QString& strPath) {
            const QIcon icon = strPath.isEmpty() ? QIcon() : m_pIcons->icon(QFileInfo(strPath));
            return icon.isNull() ? m_fallbackIcon : icon;
        });
    setObjectName(QStringLiteral("ProgramListDlg"));
    setWindowTitle(QStringLiteral("常用软件及文件快速启动"));
    setWindowIcon(QIcon(QStringLiteral(":/launcher/174.png")));
    setFixedSize(kWidth, kHeight);

    m_pModel = new CProgramListModel(*m_pList, this);
    m_pListView = new QListView(this);
    m_pListView->setObjectName(QStringLiteral("programList"));
    m_pListView->setGeometry(kListRect);
    m_pListView->setViewMode(QListView::ListMode);
    m_pListView->setSelectionMode(QAbstractItemView::SingleSelection);
    m_pListView->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_pListView->setIconSize(QSize(16, 16));
    m_pListView->setUniformItemSizes(true);
    QPalette listPalette = m_pListView->palette();
    listPalette.setColor(QPalette::Base, CProgramListModel::kBackColor);
    m_pListView->setPalette(listPalette);
    m_pListView->setModel(m_pModel);

    QPushButton* pOpen = MakeButton(QStringLiteral("打开"), "openButton", "open", 76, &CProgramListDlg::OnOpen);
    MakeButton(QStringLiteral("上升"), "upButton", "up", 116, &CProgramListDlg::OnMoveUp);
    MakeButton(QStringLiteral("下降"), "downButton", "down", 152, &CProgramListDlg::OnMoveDown);
    MakeButton(QStringLiteral("增加"), "addButton", "add", 200, &CProgramListDlg::OnAdd);
    MakeButton(QStringLiteral("删除"), "deleteButton", "delete", 236, &CProgramListDlg::OnDelete);
    MakeButton(QStringLiteral("修改"), "changeButton", "change", 272, &CProgramListDlg::OnChange);
    MakeButton(QStringLiteral("退出"), "exitButton", "exit", 334, &CProgramListDlg::accept);

    m_pTip = new CBalloonTip(this);
    m_pTip->setObjectName(QStringLiteral("programTip"));
    m_pTip->SetIcon(QIcon(QStringLiteral(":/launcher/129.png")));
    m_pTip->AddTool(pOpen, QStringLiteral("直接打开选择的程序或文件"));
    m_pListView->viewport()->installEventFilter(m_pTip);
    m_pListView->viewport()->installEventFilter(this);

    connect(m_pListView, &QListView::doubleClicked, this, &CProgramListDlg::OnDblClickList);
    // Keys move the selection too; the buttons work on what is shown chosen.
    connect(m_pListView->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            [this] { m_nSel = SelectedRow(); });
}

CProgramListDlg::~CProgramListDlg() = default;

QPushButton* CProgramListDlg::MakeButton(const QString& strText, const char* pszName, const char* pszIcon, int nTop,
                                         void (CProgramListDlg::*handler)())
{
    auto* pButton = new QPushButton(QIcon(QStringLiteral(":/launcher/%1.png").arg(QLatin1String(pszIcon))), strText, this);
    pButton->setObjectName(QLatin1String(pszName));
    pButton->setGeometry(kButtonLeft, nTop, kButtonWidth, kButtonHeight);
    pButton->setAutoDefault(false);
    connect(pButton, &QPushButton::clicked, this, handler);
    return pButton;
}

int CProgramListDlg::SelectedRow() const
{
    const QModelIndexList rows = m_pListView->selectionModel()->selectedRows();
    return rows.isEmpty() ? -1 : rows.first().row();
}

bool CProgramListDlg::eventFilter(QObject* watched, QEvent* event)
{
    // Any click on the list, on an entry or beside the entries, chooses what is selected then.
    // The view lets go of its selection only after the release of a click on the empty part;
    // the list does so at the press, so that such a click chooses nothing and shows no path.
    if (watched == m_pListView->viewport()) {
        if (event->type() == QEvent::MouseButtonPress &&
            !m_pListView->indexAt(static_cast<QMouseEvent*>(event)->position().toPoint()).isValid())
            m_pListView->selectionModel()->clear();
        else if (event->type() == QEvent::MouseButtonRelease)
            OnClickList();
    }
    return QDialog::eventFilter(watched, event);
}

void CProgramListDlg::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    // Said once the list is on the screen, so that the box stands over it.
    if (m_pList->GetLeftOut() > 0 && !m_bLeftOutShown) {
        m_bLeftOutShown = true;
        QTimer::singleShot(0, this, &CProgramListDlg::ReportLeftOut);
    }
}

void CProgramListDlg::ReportLeftOut()
{
    Messages::show(this,
                   QStringLiteral("常用软件列表文件中有%1项因条目过多或名称、路径过长而未能读入"
                                  "（最多%2项，名称不超过%3个字符，路径不超过%4个字符）。\n"
                                  "修改列表后，这些项将从文件中删去。")
                       .arg(m_pList->GetLeftOut())
                       .arg(ProgramFile::kMaxEntries)
                       .arg(ProgramFile::kMaxNameLength)
                       .arg(ProgramFile::kMaxPathLength),
                   QStringLiteral("警告"), Messages::Icon::Warning);
}

void CProgramListDlg::OnClickList()
{
    m_nSel = SelectedRow();
    if (m_nSel < 0)
        return;
    m_pTip->ShowAt(m_pModel->index(m_nSel).data(CProgramListModel::PathTipRole).toString());
}

void CProgramListDlg::OnDblClickList()
{
    if (m_nSel >= 0 && m_nSel < m_pList->GetCount())
        StartProgram(m_pList->GetPath(m_nSel));
}

void CProgramListDlg::OnOpen()
{
    const QString strChosen =
        StdDialogs::getOpenFileName(this, QStringLiteral("打开"), QString(), QStringLiteral("所有文件 (*)"));
    if (!strChosen.isEmpty())
        StartProgram(strChosen);
}

void CProgramListDlg::StartProgram(const QString& strPath)
{
    if (!CProgramList::Start(strPath)) {
        Messages::show(this, QStringLiteral("该文件类型不能打开"), QStringLiteral("警告"), Messages::Icon::Warning);
        return;
    }
    m_pListView->clearSelection();
    done(kStarted);
}

void CProgramListDlg::OnMoveUp()
{
    if (m_nSel < 1 || m_nSel >= m_pList->GetCount())
        return;
    const CAtomicFile::Result saved = m_pList->MoveUp(m_nSel);
    --m_nSel; // the index follows the entry, so pressing again moves it further
    Refill(saved);
}

void CProgramListDlg::OnMoveDown()
{
    if (m_nSel < 0 || m_nSel >= m_pList->GetCount() - 1)
        return;
    const CAtomicFile::Result saved = m_pList->MoveDown(m_nSel);
    ++m_nSel;
    Refill(saved);
}

void CProgramListDlg::OnAdd()
{
    CProgramEditDlg dlg(false, QString(), QString(), this);
    if (RunModal(dlg) != QDialog::Accepted)
        return;
    Refill(m_pList->Add(dlg.GetName(), dlg.GetPath()));
}

void CProgramListDlg::OnDelete()
{
    if (m_nSel < 0 || m_nSel >= m_pList->GetCount())
        return;
    if (Messages::show(this, QStringLiteral("你确信要删除选中的信息吗?"), QStringLiteral("删除警告"),
                       Messages::Icon::Warning, QMessageBox::Ok | QMessageBox::Cancel) != QMessageBox::Ok)
        return;
    Refill(m_pList->Remove(m_nSel));
}

void CProgramListDlg::OnChange()
{
    if (m_nSel < 0 || m_nSel >= m_pList->GetCount())
        return;
    CProgramEditDlg dlg(true, m_pList->GetName(m_nSel), m_pList->GetPath(m_nSel), this);
    if (RunModal(dlg) != QDialog::Accepted)
        return;
    Refill(m_pList->Update(m_nSel, dlg.GetName(), dlg.GetPath()));
}

void CProgramListDlg::Refill(const CAtomicFile::Result& saved)
{
    // The reset clears the view's selection; the entry the buttons work on stays chosen, and
    // is shown chosen, so that a second "上升" visibly moves the same entry again.
    const int nSel = m_nSel;
    m_pModel->Refill();
    if (nSel >= 0 && nSel < m_pList->GetCount())
        m_pListView->setCurrentIndex(m_pModel->index(nSel));
    m_nSel = nSel;
    if (!saved)
        Messages::show(this, CAtomicFile::FailureText(QStringLiteral("file open failue"), saved),
                       Messages::appCaption(), Messages::Icon::Warning);
}

void CProgramListDlg::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    DrawBackgroundBitmap(painter, m_background, this);
}
