#include "query/TaskQueryDlg.h"

#include "app/Clock.h"
#include "app/PlannerContext.h"
#include "app/Platform.h"
#include "controls/BackgroundBitmap.h"
#include "controls/GridCtrl.h"
#include "controls/Messages.h"
#include "query/TaskQueryGrid.h"
#include "query/TaskQueryRows.h"
#include "store/DataStore.h"

#include <QCheckBox>
#include <QDateEdit>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QScrollBar>
#include <QTimer>

namespace {
// The background picture (tools/make-query-art.py) draws the card of the three criteria rows
// and the frame of the grid at these places; move both together.
constexpr int kRowHeight = 26;
constexpr int kDateTop = 80;
constexpr int kContentTop = 118;
constexpr int kStateTop = 156;
constexpr int kJoinLeft = 28;
constexpr int kUseLeft = 82;
constexpr int kFieldLeft = 188;
const QRect kGridRect(16, 214, 668, 330);

QString Title()
{
    return QStringLiteral("事情查询");
}

QString JoinLabel(bool bAnd)
{
    return bAnd ? QStringLiteral("与") : QStringLiteral("或");
}
} // namespace

CTaskQueryDlg::CTaskQueryDlg(CPlannerContext& context, QWidget* parent)
    : QDialog(parent), m_context(context), m_dtFrom(Clock::today()), m_dtTo(Clock::today()),
      m_background(QStringLiteral(":/query/208.png"))
{
    setObjectName(QStringLiteral("TaskQueryDlg"));
    setWindowTitle(Title());
    setWindowIcon(QIcon(QStringLiteral(":/query/201.png")));
    setFixedSize(kWidth, kHeight);

    m_pJoinDateCheck = MakeJoinCheck("joinDateCheck", {kJoinLeft, kDateTop, 48, kRowHeight}, m_bJoinDate);
    m_pJoinDateCheck->hide();
    m_pUseDateCheck =
        MakeCheck(QStringLiteral("时间区间:"), "useDateCheck", {kUseLeft, kDateTop, 100, kRowHeight});
    m_pFromPicker = new QDateEdit(this);
    m_pFromPicker->setObjectName(QStringLiteral("fromDatePicker"));
    m_pFromPicker->setGeometry(kFieldLeft, kDateTop, 150, kRowHeight);
    auto* arrow = new QLabel(QStringLiteral("------------->"), this);
    arrow->setObjectName(QStringLiteral("arrowLabel"));
    arrow->setAlignment(Qt::AlignCenter);
    arrow->setGeometry(kFieldLeft + 150, kDateTop, 104, kRowHeight);
    m_pToPicker = new QDateEdit(this);
    m_pToPicker->setObjectName(QStringLiteral("toDatePicker"));
    m_pToPicker->setGeometry(kFieldLeft + 254, kDateTop, 150, kRowHeight);
    for (QDateEdit* picker : {m_pFromPicker, m_pToPicker}) {
        picker->setCalendarPopup(true);
        picker->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
    }

    m_pJoinContentCheck =
        MakeJoinCheck("joinContentCheck", {kJoinLeft, kContentTop, 48, kRowHeight}, m_bJoinContent);
    m_pUseContentCheck =
        MakeCheck(QStringLiteral("内容包含:"), "useContentCheck", {kUseLeft, kContentTop, 100, kRowHeight});
    m_pContentEdit = new QLineEdit(this);
    m_pContentEdit->setObjectName(QStringLiteral("contentEdit"));
    m_pContentEdit->setGeometry(kFieldLeft, kContentTop, 404, kRowHeight);

    m_pJoinStateCheck = MakeJoinCheck("joinStateCheck", {kJoinLeft, kStateTop, 48, kRowHeight}, m_bJoinState);
    m_pUseStateCheck =
        MakeCheck(QStringLiteral("状态选择:"), "useStateCheck", {kUseLeft, kStateTop, 100, kRowHeight});
    m_pNotDoneCheck =
        MakeCheck(QStringLiteral("未完成  (或)"), "notDoneCheck", {kFieldLeft, kStateTop, 130, kRowHeight});
    m_pDoneCheck = MakeCheck(QStringLiteral("已完成  (或)"), "doneCheck",
                             {kFieldLeft + 138, kStateTop, 130, kRowHeight});
    m_pPostponedCheck =
        MakeCheck(QStringLiteral("已推迟"), "postponedCheck", {kFieldLeft + 276, kStateTop, 100, kRowHeight});

    m_pQueryButton = new QPushButton(QIcon(QStringLiteral(":/query/201.png")), QStringLiteral("查询"), this);
    m_pQueryButton->setObjectName(QStringLiteral("queryButton"));
    m_pQueryButton->setGeometry(600, kDateTop - 2, 84, 30);
    m_pQueryButton->setDefault(true);
    m_pPrintButton = new QPushButton(QIcon(QStringLiteral(":/query/209.png")), QStringLiteral("打印"), this);
    m_pPrintButton->setObjectName(QStringLiteral("printButton"));
    m_pPrintButton->setGeometry(600, kContentTop - 2, 84, 30);

    m_stateImages = CGridCtrl::ImagesFromStrip(QImage(QStringLiteral(":/query/210.png")), 16, Qt::white);
    m_pGrid = new CGridCtrl(this);
    m_pGrid->setObjectName(QStringLiteral("grid"));
    m_pGrid->setGeometry(kGridRect);
    m_pGrid->SetImageList(&m_stateImages);
    TaskQueryGrid::Prepare(*m_pGrid);
    connect(m_pGrid->verticalScrollBar(), &QScrollBar::valueChanged, this,
            [this] { TaskQueryGrid::ShowRowsInView(*m_pGrid); });

    connect(m_pUseDateCheck, &QCheckBox::toggled, this, [this](bool bChecked) {
        m_bUseDate = bChecked;
        m_pFromPicker->setEnabled(bChecked);
        m_pToPicker->setEnabled(bChecked);
    });
    connect(m_pUseContentCheck, &QCheckBox::toggled, this, [this](bool bChecked) {
        m_bUseContent = bChecked;
        m_pContentEdit->setEnabled(bChecked);
    });
    connect(m_pUseStateCheck, &QCheckBox::toggled, this, [this](bool bChecked) {
        m_bUseState = bChecked;
        for (QCheckBox* check : {m_pNotDoneCheck, m_pDoneCheck, m_pPostponedCheck})
            check->setEnabled(bChecked);
    });
    connect(m_pNotDoneCheck, &QCheckBox::toggled, this, [this](bool bChecked) { m_bNotDone = bChecked; });
    connect(m_pDoneCheck, &QCheckBox::toggled, this, [this](bool bChecked) { m_bDone = bChecked; });
    connect(m_pPostponedCheck, &QCheckBox::toggled, this, [this](bool bChecked) { m_bPostponed = bChecked; });
    connect(m_pQueryButton, &QPushButton::clicked, this, &CTaskQueryDlg::OnQuery);
    connect(m_pPrintButton, &QPushButton::clicked, this, &CTaskQueryDlg::OnPrint);

    m_pFromPicker->setDate(m_dtFrom);
    m_pToPicker->setDate(m_dtTo);
    for (QWidget* w :
         std::initializer_list<QWidget*>{m_pFromPicker, m_pToPicker, m_pContentEdit, m_pNotDoneCheck,
                                         m_pDoneCheck, m_pPostponedCheck, m_pPrintButton})
        w->setEnabled(false);
}

CTaskQueryDlg::~CTaskQueryDlg()
{
    // The grid outlives the members: it must not keep reading rows that are gone.
    m_pGrid->SetRowSource(nullptr);
    // The ids and rows of a large query go with the dialog, but the allocator would keep their
    // memory for later; the planner runs all day, so it goes back to the system once they are
    // freed.
    QTimer::singleShot(0, &Platform::ReturnFreedMemory);
}

QCheckBox* CTaskQueryDlg::MakeCheck(const QString& text, const char* name, const QRect& place)
{
    auto* check = new QCheckBox(text, this);
    check->setObjectName(QLatin1String(name));
    check->setGeometry(place);
    return check;
}

QCheckBox* CTaskQueryDlg::MakeJoinCheck(const char* name, const QRect& place, bool& member)
{
    QCheckBox* check = MakeCheck(JoinLabel(member), name, place);
    connect(check, &QCheckBox::toggled, this, [check, &member](bool bChecked) {
        member = bChecked;
        check->setText(JoinLabel(bChecked));
    });
    return check;
}

void CTaskQueryDlg::UpdateData()
{
    m_bUseDate = m_pUseDateCheck->isChecked();
    m_dtFrom = m_pFromPicker->date();
    m_dtTo = m_pToPicker->date();
    m_bUseContent = m_pUseContentCheck->isChecked();
    m_strContent = m_pContentEdit->text();
    m_bUseState = m_pUseStateCheck->isChecked();
    m_bNotDone = m_pNotDoneCheck->isChecked();
    m_bDone = m_pDoneCheck->isChecked();
    m_bPostponed = m_pPostponedCheck->isChecked();
    m_bJoinDate = m_pJoinDateCheck->isChecked();
    m_bJoinContent = m_pJoinContentCheck->isChecked();
    m_bJoinState = m_pJoinStateCheck->isChecked();
}

TaskQueryCriteria CTaskQueryDlg::Criteria() const
{
    TaskQueryCriteria c;
    c.bUseDate = m_bUseDate;
    c.dtFrom = m_dtFrom;
    c.dtTo = m_dtTo;
    c.bUseContent = m_bUseContent;
    c.strContent = m_strContent;
    c.bUseState = m_bUseState;
    c.bNotDone = m_bNotDone;
    c.bDone = m_bDone;
    c.bPostponed = m_bPostponed;
    c.bJoinDate = m_bJoinDate;
    c.bJoinContent = m_bJoinContent;
    c.bJoinState = m_bJoinState;
    return c;
}

void CTaskQueryDlg::OnQuery()
{
    m_pPrintButton->setEnabled(true);
    UpdateData();
    if (m_bUseContent && m_strContent.isEmpty()) {
        Messages::show(this, QStringLiteral("查询内容不能为空"), QStringLiteral("警告"),
                       Messages::Icon::Warning);
        m_pContentEdit->setFocus();
        return;
    }

    const TaskQueryCriteria criteria = Criteria();
    CDataStore& store = m_context.Store();
    // The count and the ids of the matches come from one moment of the table; the grid reads
    // the rows it shows by id, so a million matches never sit in memory at once.
    std::vector<TaskId> ids;
    store.ListTaskIds(criteria, ids); // a failure has been reported, and finds nothing
    m_nCount = int(ids.size());
    if (m_nCount > 0) {
        auto rows = std::make_unique<CTaskQueryRows>(store);
        rows->Reset(std::move(ids));
        TaskQueryGrid::ShowRows(*m_pGrid, *rows);
        m_pRows = std::move(rows);
    } else {
        TaskQueryGrid::ShowHeaderOnly(*m_pGrid);
        m_pRows.reset();
    }
    m_context.ShowNotice(QStringLiteral("符合当前查询条件的事情\n共有【%1】件").arg(m_nCount), 1, 3, true);
}

void CTaskQueryDlg::OnPrint()
{
    // The printed header names the window: it names the result while the grid prints.
    setWindowTitle(QStringLiteral("事情查询结果"));
    m_pGrid->Print();
    setWindowTitle(Title());
}

void CTaskQueryDlg::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    DrawBackgroundBitmap(painter, m_background, this);
}
