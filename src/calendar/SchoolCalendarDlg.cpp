#include "calendar/SchoolCalendarDlg.h"

#include "app/PlannerContext.h"
#include "controls/BackgroundBitmap.h"
#include "controls/Messages.h"
#include "store/DataStore.h"

#include <QDateEdit>
#include <QIcon>
#include <QPainter>
#include <QPushButton>

namespace {
// The background picture letters the pickers' labels at these rows (tools/make-dialog-art.py).
constexpr int kPickerLeft = 140;
constexpr int kStartTop = 86;
constexpr int kEndTop = 126;
constexpr int kRowHeight = 28;

QDateEdit* MakePicker(QWidget* parent, const QString& name, int nTop)
{
    auto* picker = new QDateEdit(parent);
    picker->setObjectName(name);
    picker->setCalendarPopup(true);
    picker->setDisplayFormat(parent->locale().dateFormat(QLocale::LongFormat));
    picker->setGeometry(kPickerLeft, nTop, 240, kRowHeight);
    return picker;
}
} // namespace

CSchoolCalendarDlg::CSchoolCalendarDlg(CPlannerContext& context, const QDate& termStart, const QDate& termEnd,
                                       QWidget* parent)
    : QDialog(parent), m_context(context), m_tStart(termStart, QTime(0, 0)), m_tEnd(termEnd, QTime(0, 0)),
      m_background(QStringLiteral(":/dialogs/144.png"))
{
    setObjectName(QStringLiteral("SchoolCalendarDlg"));
    setWindowTitle(QStringLiteral("校历设置"));
    setWindowIcon(QIcon(QStringLiteral(":/dialogs/202.png")));
    setFixedSize(kWidth, kHeight);

    m_pStartPicker = MakePicker(this, QStringLiteral("startPicker"), kStartTop);
    m_pEndPicker = MakePicker(this, QStringLiteral("endPicker"), kEndTop);

    m_pOkButton = new QPushButton(QIcon(QStringLiteral(":/dialogs/147.png")), QStringLiteral("确定"), this);
    m_pOkButton->setObjectName(QStringLiteral("okButton"));
    m_pOkButton->setGeometry(216, 186, 90, 30);
    m_pOkButton->setDefault(true);
    m_pCancelButton =
        new QPushButton(QIcon(QStringLiteral(":/dialogs/146.png")), QStringLiteral("取消"), this);
    m_pCancelButton->setObjectName(QStringLiteral("cancelButton"));
    m_pCancelButton->setGeometry(316, 186, 90, 30);
    connect(m_pOkButton, &QPushButton::clicked, this, &CSchoolCalendarDlg::OnOK);
    connect(m_pCancelButton, &QPushButton::clicked, this, &QDialog::reject);

    m_pStartPicker->setDate(m_tStart.date());
    m_pEndPicker->setDate(m_tEnd.date());
}

void CSchoolCalendarDlg::OnOK()
{
    // No check of the order of the two days: a reversed term is the user's to correct.
    m_tStart = QDateTime(m_pStartPicker->date(), QTime(0, 0));
    m_tEnd = QDateTime(m_pEndPicker->date(), QTime(0, 0));

    if (!m_context.Store().SaveSchoolCalendar(m_tStart, m_tEnd)) {
        Messages::show(this, QStringLiteral("数据保存失败！\r\n请重新保存或取消设置"), QStringLiteral("提示"),
                       Messages::Icon::Warning);
        return;
    }
    m_context.ShowNotice(QStringLiteral("数据保存成功！"), 1, 3, true);
    accept();
}

void CSchoolCalendarDlg::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    DrawBackgroundBitmap(painter, m_background, this);
}
