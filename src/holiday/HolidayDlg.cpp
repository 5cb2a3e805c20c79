#include "holiday/HolidayDlg.h"

#include "app/PlannerContext.h"
#include "controls/BackgroundBitmap.h"
#include "controls/Messages.h"
#include "controls/RunModal.h"
#include "holiday/HolidayListDlg.h"
#include "store/DataStore.h"

#include <QCheckBox>
#include <QComboBox>
#include <QIcon>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>

namespace {
HolidayCalendar CalendarOf(int bLunar)
{
    return bLunar ? HolidayCalendar::Lunar : HolidayCalendar::Solar;
}

// The background picture letters the labels beside these places (tools/make-holiday-art.py
// draws them from the same numbers).
constexpr int kFieldLeft = 118;
constexpr int kNameTop = 84, kDateTop = 124, kKindTop = 164;
constexpr int kRowHeight = 28;

QStringList Numbers(int nFrom, int nTo)
{
    QStringList items;
    for (int n = nFrom; n <= nTo; ++n)
        items << QString::number(n);
    return items;
}

QPushButton* AddButton(QWidget* parent, const char* name, const QString& text, const QString& icon, int nLeft)
{
    auto* button = new QPushButton(QIcon(icon), text, parent);
    button->setObjectName(QLatin1String(name));
    button->setGeometry(nLeft, 226, 78, 30);
    return button;
}
} // namespace

CHolidayDlg::CHolidayDlg(CPlannerContext& context, QWidget* parent)
    : QDialog(parent), m_context(context), m_background(QStringLiteral(":/holiday/151.png"))
{
    setObjectName(QStringLiteral("HolidayDlg"));
    setWindowTitle(QStringLiteral("节日设置"));
    setWindowIcon(QIcon(QStringLiteral(":/holiday/icon.png")));
    setFixedSize(kWidth, kHeight);

    m_pNameEdit = new QLineEdit(this);
    m_pNameEdit->setObjectName(QStringLiteral("nameEdit"));
    m_pNameEdit->setGeometry(kFieldLeft, kNameTop, 250, kRowHeight);
    m_pMonthList = new QComboBox(this);
    m_pMonthList->setObjectName(QStringLiteral("monthList"));
    m_pMonthList->addItems(Numbers(1, 12));
    m_pMonthList->setGeometry(kFieldLeft, kDateTop, 64, kRowHeight);
    m_pDayList = new QComboBox(this);
    m_pDayList->setObjectName(QStringLiteral("dayList"));
    m_pDayList->addItems(Numbers(1, 31));
    m_pDayList->setGeometry(kFieldLeft + 96, kDateTop, 64, kRowHeight);
    m_pLunarCheck = new QCheckBox(QStringLiteral("农历节日"), this);
    m_pLunarCheck->setObjectName(QStringLiteral("lunarCheck"));
    m_pLunarCheck->setGeometry(kFieldLeft, kKindTop, 200, kRowHeight);

    auto* ok = AddButton(this, "okButton", QStringLiteral("确定"), QStringLiteral(":/dialogs/147.png"), 24);
    auto* cancel = AddButton(this, "cancelButton", QStringLiteral("取消"), QStringLiteral(":/dialogs/146.png"), 108);
    m_pRenameButton = AddButton(this, "renameButton", QStringLiteral("修改"), QStringLiteral(":/holiday/rename.png"), 192);
    m_pDeleteButton = AddButton(this, "deleteButton", QStringLiteral("删除"), QStringLiteral(":/holiday/delete.png"), 276);
    auto* view = AddButton(this, "viewButton", QStringLiteral("查看"), QStringLiteral(":/holiday/view.png"), 360);
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &CHolidayDlg::OnAdd);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_pRenameButton, &QPushButton::clicked, this, &CHolidayDlg::OnRename);
    connect(m_pDeleteButton, &QPushButton::clicked, this, &CHolidayDlg::OnDelete);
    connect(view, &QPushButton::clicked, this, &CHolidayDlg::OnView);

    SetFound(false);
    UpdateData(false);
    m_pNameEdit->setFocus();
}

QString CHolidayDlg::BuildKey(int nMonth, int nDay)
{
    // Month and day side by side, then a zero in front of a one-digit month and before a
    // one-digit day (which is the last character).
    const int nMonthNumber = nMonth + 1;
    const int nDayNumber = nDay + 1;
    QString key = QStringLiteral("%1%2").arg(nMonthNumber).arg(nDayNumber);
    if (nMonthNumber < 10)
        key.insert(0, u'0');
    if (nDayNumber < 10)
        key.insert(key.size() - 1, u'0');
    return key;
}

void CHolidayDlg::UpdateData(bool bSaveAndValidate)
{
    if (bSaveAndValidate) {
        m_strName = m_pNameEdit->text();
        m_nMonth = m_pMonthList->currentIndex();
        m_nDay = m_pDayList->currentIndex();
        m_bLunar = m_pLunarCheck->isChecked() ? 1 : 0;
    } else {
        m_pNameEdit->setText(m_strName);
        m_pMonthList->setCurrentIndex(m_nMonth);
        m_pDayList->setCurrentIndex(m_nDay);
        m_pLunarCheck->setChecked(m_bLunar != 0);
    }
}

void CHolidayDlg::SetFound(bool bFound)
{
    m_pRenameButton->setEnabled(bFound);
    m_pDeleteButton->setEnabled(bFound);
}

bool CHolidayDlg::RefuseEmptyName()
{
    if (!m_strName.isEmpty())
        return false;
    Messages::show(this, QStringLiteral("节日名称不能为空"), QStringLiteral("警告"), Messages::Icon::Critical);
    m_pNameEdit->setFocus();
    return true;
}

void CHolidayDlg::OnAdd()
{
    UpdateData();
    if (RefuseEmptyName())
        return;
    const QString key = BuildKey(m_nMonth, m_nDay);
    CDataStore& store = m_context.Store();
    const bool bPresent = store.IsHolidayPresent(CalendarOf(m_bLunar), key, m_strName);
    if (bPresent) {
        Messages::show(this, QStringLiteral("该节日已经存在，请进行删除或修改操作"), QStringLiteral("警告"),
                       Messages::Icon::Warning);
        SetFound(true);
        m_strOldName = m_strName;
        return;
    }
    // A failed add has been reported by the store; the dialog ends as after a success.
    store.AddHoliday(CalendarOf(m_bLunar), key, m_strName);
    emit HolidaysChanged();
    accept();
}

void CHolidayDlg::OnRename()
{
    SetFound(false);
    UpdateData();
    if (RefuseEmptyName())
        return;
    // The date is never changed here: a date chosen after the find is where the old name is
    // looked for.
    const QString key = BuildKey(m_nMonth, m_nDay);
    CDataStore& store = m_context.Store();
    const bool bRenamed = store.RenameHoliday(CalendarOf(m_bLunar), key, m_strOldName, m_strName);
    if (bRenamed)
        m_context.ShowNotice(QStringLiteral("节日信息已成功修改"), 1, 3, true);
    else
        Messages::show(this, QStringLiteral("节日信息修改失败"), QStringLiteral("提示"), Messages::Icon::Information);
    UpdateData(false);
    emit HolidaysChanged();
}

void CHolidayDlg::OnDelete()
{
    SetFound(false);
    UpdateData();
    if (RefuseEmptyName())
        return;
    const QString key = BuildKey(m_nMonth, m_nDay);
    CDataStore& store = m_context.Store();
    const bool bDeleted = store.DeleteHoliday(CalendarOf(m_bLunar), key, m_strName);
    if (bDeleted) {
        m_strName.clear();
        m_context.ShowNotice(QStringLiteral("节日信息已成功删除"), 1, 3, true);
    } else {
        Messages::show(this, QStringLiteral("节日信息删除失败"), QStringLiteral("提示"), Messages::Icon::Information);
    }
    UpdateData(false);
    emit HolidaysChanged();
}

void CHolidayDlg::OnView()
{
    CHolidayListDlg dlg(m_context, this);
    RunModal(dlg);
}

void CHolidayDlg::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    DrawBackgroundBitmap(painter, m_background, this);
}
