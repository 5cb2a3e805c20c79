#include "query/BatchDeleteDlg.h"

#include "app/Clock.h"
#include "controls/BackgroundBitmap.h"

#include <QDateEdit>
#include <QIcon>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>

namespace {
// Rows of the background picture (tools/make-query-art.py): the date, then the three scopes.
constexpr int kFieldLeft = 120;
constexpr int kDateTop = 80;
constexpr int kScopeTop = 116;
constexpr int kScopeStep = 24;
} // namespace

CBatchDeleteDlg::CBatchDeleteDlg(QWidget* parent)
    : QDialog(parent), m_tmDate(Clock::today(), QTime(0, 0)), m_background(QStringLiteral(":/query/226.png"))
{
    setObjectName(QStringLiteral("BatchDeleteDlg"));
    setWindowTitle(QStringLiteral("批量选择性删除过期事情"));
    setWindowIcon(QIcon(QStringLiteral(":/query/154.png")));
    setFixedSize(kWidth, kHeight);

    m_pDatePicker = new QDateEdit(this);
    m_pDatePicker->setObjectName(QStringLiteral("datePicker"));
    m_pDatePicker->setCalendarPopup(true);
    m_pDatePicker->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
    m_pDatePicker->setGeometry(kFieldLeft, kDateTop, 160, 26);
    m_pDatePicker->setDate(m_tmDate.date());

    QRadioButton* year =
        MakeScope(QStringLiteral("删除某年的所有事情"), "yearRadio", kScopeTop, BatchScope::Year);
    MakeScope(QStringLiteral("删除某月的所有事情"), "monthRadio", kScopeTop + kScopeStep, BatchScope::Month);
    MakeScope(QStringLiteral("删除某日的所有事情"), "dayRadio", kScopeTop + 2 * kScopeStep, BatchScope::Day);
    year->setChecked(true);

    m_pOkButton = new QPushButton(QIcon(QStringLiteral(":/dialogs/147.png")), QStringLiteral("确定"), this);
    m_pOkButton->setObjectName(QStringLiteral("okButton"));
    m_pOkButton->setGeometry(196, 210, 80, 30);
    m_pOkButton->setDefault(true);
    m_pCancelButton =
        new QPushButton(QIcon(QStringLiteral(":/dialogs/146.png")), QStringLiteral("取消"), this);
    m_pCancelButton->setObjectName(QStringLiteral("cancelButton"));
    m_pCancelButton->setGeometry(286, 210, 80, 30);
    connect(m_pOkButton, &QPushButton::clicked, this, &CBatchDeleteDlg::OnOK);
    connect(m_pCancelButton, &QPushButton::clicked, this, &QDialog::reject);
}

QRadioButton* CBatchDeleteDlg::MakeScope(const QString& text, const char* name, int nTop, BatchScope scope)
{
    auto* radio = new QRadioButton(text, this);
    radio->setObjectName(QLatin1String(name));
    radio->setGeometry(kFieldLeft, nTop, 220, 22);
    connect(radio, &QRadioButton::toggled, this, [this, scope](bool bChecked) {
        if (bChecked)
            m_nScope = scope;
    });
    return radio;
}

void CBatchDeleteDlg::OnOK()
{
    m_tmDate.setDate(m_pDatePicker->date());
    accept();
}

void CBatchDeleteDlg::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    DrawBackgroundBitmap(painter, m_background, this);
}
