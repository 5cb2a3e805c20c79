#include "mainwnd/AddTaskDlg.h"

#include "app/PlannerContext.h"
#include "controls/BackgroundBitmap.h"
#include "controls/Messages.h"
#include "mainwnd/TaskStateDlg.h"
#include "store/DataStore.h"

#include <QComboBox>
#include <QDateEdit>
#include <QIcon>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>

namespace {
// The background picture letters the labels of the three fields at these rows
// (tools/make-dialog-art.py); the fields start right of the labels.
constexpr int kFieldLeft = 108;
constexpr int kContentTop = 84;
constexpr int kStateTop = 124;
constexpr int kDateTop = 164;
constexpr int kRowHeight = 28;
} // namespace

CAddTaskDlg::CAddTaskDlg(CPlannerContext& context, const QDateTime& dtSelected, QWidget* parent)
    : QDialog(parent), m_context(context), m_dtDate(dtSelected), m_background(QStringLiteral(":/dialogs/160.png"))
{
    setObjectName(QStringLiteral("AddTaskDlg"));
    setWindowTitle(QStringLiteral("增加一件事情"));
    setWindowIcon(QIcon(QStringLiteral(":/dialogs/203.png")));
    setFixedSize(kWidth, kHeight);

    m_pContentEdit = new QLineEdit(this);
    m_pContentEdit->setObjectName(QStringLiteral("contentEdit"));
    m_pContentEdit->setGeometry(kFieldLeft, kContentTop, 280, kRowHeight);
    m_pContentEdit->setPlaceholderText(QStringLiteral("例如：批改三班的作业"));

    m_pStateList = new QComboBox(this);
    m_pStateList->setObjectName(QStringLiteral("stateList"));
    m_pStateList->addItems(CTaskStateDlg::StateNames());
    m_pStateList->setGeometry(kFieldLeft, kStateTop, 160, kRowHeight);

    m_pDatePicker = new QDateEdit(this);
    m_pDatePicker->setObjectName(QStringLiteral("datePicker"));
    m_pDatePicker->setCalendarPopup(true);
    m_pDatePicker->setDisplayFormat(locale().dateFormat(QLocale::LongFormat));
    m_pDatePicker->setGeometry(kFieldLeft, kDateTop, 220, kRowHeight);

    m_pOkButton = new QPushButton(QIcon(QStringLiteral(":/dialogs/147.png")), QStringLiteral("确定"), this);
    m_pOkButton->setObjectName(QStringLiteral("okButton"));
    m_pOkButton->setGeometry(216, 222, 90, 30);
    m_pOkButton->setDefault(true);
    m_pCancelButton =
        new QPushButton(QIcon(QStringLiteral(":/dialogs/146.png")), QStringLiteral("取消"), this);
    m_pCancelButton->setObjectName(QStringLiteral("cancelButton"));
    m_pCancelButton->setGeometry(316, 222, 90, 30);
    connect(m_pOkButton, &QPushButton::clicked, this, &CAddTaskDlg::OnOK);
    connect(m_pCancelButton, &QPushButton::clicked, this, &QDialog::reject);

    m_pContentEdit->setText(m_strContent);
    m_pStateList->setCurrentIndex(m_nState);
    m_pDatePicker->setDate(m_dtDate.date());
    m_pContentEdit->setFocus();
}

void CAddTaskDlg::UpdateData()
{
    m_strContent = m_pContentEdit->text();
    m_nState = m_pStateList->currentIndex();
    m_dtDate.setDate(m_pDatePicker->date());
}

void CAddTaskDlg::OnOK()
{
    UpdateData();
    CDataStore& store = m_context.Store();
    // Whatever goes wrong, the user is back in the content edit to correct it and try again.
    const auto refuse = [this](const QString& text, const QString& caption, Messages::Icon icon) {
        Messages::show(this, text, caption, icon);
        m_pContentEdit->setFocus();
    };

    if (m_strContent.isEmpty()) {
        refuse(QStringLiteral("事情内容不能为空"), QStringLiteral("警告"), Messages::Icon::Critical);
        return;
    }
    if (store.IsTaskPresent(m_dtDate.date(), m_strContent)) {
        refuse(QStringLiteral("你要添加的事情已经存在"), QStringLiteral("提示"), Messages::Icon::Information);
        return;
    }
    if (!store.AddTask(m_dtDate.date(), m_strContent, CTaskStateDlg::StateText(m_nState))) {
        refuse(QStringLiteral("事情添加失败，请重试"), QStringLiteral("提示"), Messages::Icon::Critical);
        return;
    }
    m_context.ShowNotice(QStringLiteral("已成功添加事情\n") + m_strContent, 1, 5, true);
    accept();
}

void CAddTaskDlg::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    DrawBackgroundBitmap(painter, m_background, this);
}
