#include "mainwnd/TaskStateDlg.h"

#include "controls/BackgroundBitmap.h"

#include <QComboBox>
#include <QIcon>
#include <QPainter>
#include <QPushButton>

namespace {
// The background picture letters the label of the list at this row (tools/make-dialog-art.py).
constexpr int kRowTop = 92;
constexpr int kRowHeight = 28;
} // namespace

QStringList CTaskStateDlg::StateNames()
{
    return {TaskStates::NotDone(), TaskStates::Done(), TaskStates::Postponed(), TaskStates::InProgress()};
}

TaskState CTaskStateDlg::StateText(int nIndex)
{
    const QStringList names = StateNames();
    return nIndex >= 0 && nIndex < names.size() ? names.at(nIndex) : TaskStates::NotDone();
}

CTaskStateDlg::CTaskStateDlg(const QString& strCurrent, QWidget* parent)
    : QDialog(parent), m_strCurrent(strCurrent), m_background(QStringLiteral(":/dialogs/162.png"))
{
    setObjectName(QStringLiteral("TaskStateDlg"));
    setWindowTitle(QStringLiteral("更改事情状态"));
    setWindowIcon(QIcon(QStringLiteral(":/dialogs/155.png")));
    setFixedSize(kWidth, kHeight);

    m_pStateList = new QComboBox(this);
    m_pStateList->setObjectName(QStringLiteral("stateList"));
    m_pStateList->addItems(StateNames());
    m_pStateList->setGeometry(108, kRowTop, 160, kRowHeight);

    m_pOkButton = new QPushButton(QIcon(QStringLiteral(":/dialogs/147.png")), QStringLiteral("确定"), this);
    m_pOkButton->setObjectName(QStringLiteral("okButton"));
    m_pOkButton->setGeometry(156, 152, 90, 30);
    m_pOkButton->setDefault(true);
    m_pCancelButton =
        new QPushButton(QIcon(QStringLiteral(":/dialogs/146.png")), QStringLiteral("取消"), this);
    m_pCancelButton->setObjectName(QStringLiteral("cancelButton"));
    m_pCancelButton->setGeometry(256, 152, 90, 30);
    connect(m_pOkButton, &QPushButton::clicked, this, &CTaskStateDlg::OnOK);
    connect(m_pCancelButton, &QPushButton::clicked, this, &QDialog::reject);

    // Searching by prefix, like the list would for a typed text: an unknown state leaves the
    // list without a choice rather than guessing one.
    const QStringList names = StateNames();
    for (int i = 0; i < names.size(); ++i) {
        if (names.at(i).startsWith(m_strCurrent)) {
            m_nState = i;
            break;
        }
    }
    m_pStateList->setCurrentIndex(m_nState);
    m_pStateList->setFocus();
}

void CTaskStateDlg::OnOK()
{
    m_nState = m_pStateList->currentIndex();
    m_strNewState = StateText(m_nState);
    accept();
}

void CTaskStateDlg::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    DrawBackgroundBitmap(painter, m_background, this);
}
