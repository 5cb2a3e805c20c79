#include "timetable/TimetableEditDlg.h"

#include "app/PlannerContext.h"
#include "controls/BackgroundBitmap.h"
#include "controls/BalloonTip.h"
#include "controls/GbkLength.h"
#include "controls/Messages.h"
#include "timetable/Timetable.h"

#include <QComboBox>
#include <QDoubleValidator>
#include <QIcon>
#include <QIntValidator>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QTimeEdit>

namespace {

// The background picture letters the labels beside these places (tools/make-holiday-art.py
// draws them from the same numbers).
constexpr int kRowHeight = 28;
constexpr int kLeftField = 100, kRightField = 370, kFieldWidth = 160;
constexpr int kTeacherTop = 80, kTimesTop = 118;
constexpr int kWeekdayTop = 198, kNameTop = 236, kWeeksTop = 274, kClassTop = 312, kPlaceTop = 350;

/// Refuses a course name longer than the code page's ten bytes, as the edit's limit does.
class CGbkLimit final : public QValidator
{
public:
    CGbkLimit(int nBytes, QObject* parent) : QValidator(parent), m_nBytes(nBytes) {}
    State validate(QString& input, int&) const override
    {
        return GbkLength(input) <= m_nBytes ? Acceptable : Invalid;
    }

private:
    int m_nBytes;
};

QStringList Numbered(int nFrom, int nTo, const QString& format)
{
    QStringList items;
    for (int n = nFrom; n <= nTo; ++n)
        items << format.arg(n, 2, 10, QLatin1Char('0'));
    return items;
}

} // namespace

QStringList CTimetableEditDlg::CourseTypeItems()
{
    return {QStringLiteral("公共基础课"), QStringLiteral("公共选修课"), QStringLiteral("专业选修课"),
            QStringLiteral("专业必修课"), QStringLiteral("函授课"), QStringLiteral("其它")};
}

QStringList CTimetableEditDlg::RoomTypeItems() { return CTimetable::RoomTypes() + QStringList{QStringLiteral("其它")}; }

CTimetableEditDlg::CTimetableEditDlg(CPlannerContext& context, CTimetable& timetable, QWidget* parent)
    : QDialog(parent), m_context(context), m_timetable(timetable), m_background(QStringLiteral(":/timetable/186.png"))
{
    setObjectName(QStringLiteral("TimetableEditDlg"));
    setWindowTitle(QStringLiteral("设置课程表"));
    setWindowIcon(QIcon(QStringLiteral(":/timetable/edit.png")));
    setFixedSize(kWidth, kHeight);

    m_pTeacherEdit = AddEdit("teacherEdit", QRect(kLeftField, kTeacherTop, 150, kRowHeight));
    m_pTermEdit = AddEdit("termEdit", QRect(350, kTeacherTop, 190, kRowHeight));
    for (int i = 0; i < 5; ++i) {
        auto* picker = new QTimeEdit(this);
        picker->setObjectName(QStringLiteral("timePicker%1").arg(i + 1));
        picker->setDisplayFormat(QStringLiteral("HH:mm"));
        picker->setGeometry(kLeftField + 88 * i, kTimesTop, 80, kRowHeight);
        m_pTimePickers[size_t(i)] = picker;
    }
    m_pWeekdayList = AddList("weekdayList", QRect(kLeftField, kWeekdayTop, kFieldWidth, kRowHeight),
                             QStringLiteral("一 二 三 四 五 六 七").split(u' '));
    m_pPeriodsList = AddList("periodsList", QRect(kRightField, kWeekdayTop, kFieldWidth, kRowHeight),
                             QStringLiteral("1、2节 3、4节 5、6节 7、8节 9、10节").split(u' '));
    m_pNameEdit = AddEdit("nameEdit", QRect(kLeftField, kNameTop, kFieldWidth, kRowHeight));
    m_pNameEdit->setValidator(new CGbkLimit(kNameBytes, m_pNameEdit));
    m_pCreditEdit = AddEdit("creditEdit", QRect(kRightField, kNameTop, kFieldWidth, kRowHeight));
    auto* credits = new QDoubleValidator(m_pCreditEdit);
    credits->setLocale(QLocale::c());
    m_pCreditEdit->setValidator(credits);
    const QStringList weeks = Numbered(1, 25, QStringLiteral("%1周"));
    m_pFirstWeekList = AddList("firstWeekList", QRect(kLeftField, kWeeksTop, 70, kRowHeight), weeks);
    m_pLastWeekList = AddList("lastWeekList", QRect(kLeftField + 90, kWeeksTop, 70, kRowHeight), weeks);
    m_pTypeList = AddList("typeList", QRect(kRightField, kWeeksTop, kFieldWidth, kRowHeight), CourseTypeItems());
    m_pClassEdit = AddEdit("classEdit", QRect(kLeftField, kClassTop, kFieldWidth, kRowHeight));
    m_pStudentsEdit = AddEdit("studentsEdit", QRect(kRightField, kClassTop, kFieldWidth, kRowHeight));
    m_pStudentsEdit->setValidator(new QIntValidator(m_pStudentsEdit));
    m_pPlaceEdit = AddEdit("placeEdit", QRect(kLeftField, kPlaceTop, kFieldWidth, kRowHeight));
    m_pRoomTypeList = AddList("roomTypeList", QRect(kRightField, kPlaceTop, kFieldWidth, kRowHeight), RoomTypeItems());

    auto* modify = new QPushButton(QIcon(QStringLiteral(":/dialogs/147.png")), QStringLiteral("修改"), this);
    modify->setObjectName(QStringLiteral("modifyButton"));
    modify->setGeometry(250, 422, 90, 30);
    auto* clear = new QPushButton(QIcon(QStringLiteral(":/holiday/delete.png")), QStringLiteral("清除"), this);
    clear->setObjectName(QStringLiteral("clearButton"));
    clear->setGeometry(350, 422, 90, 30);
    auto* quit = new QPushButton(QIcon(QStringLiteral(":/dialogs/146.png")), QStringLiteral("退出"), this);
    quit->setObjectName(QStringLiteral("exitButton"));
    quit->setGeometry(450, 422, 90, 30);
    connect(modify, &QPushButton::clicked, this, &CTimetableEditDlg::OnModify);
    connect(clear, &QPushButton::clicked, this, &CTimetableEditDlg::OnClear);
    connect(quit, &QPushButton::clicked, this, &QDialog::accept);

    m_pTeacherEdit->setText(m_timetable.m_strTeacher);
    m_pTermEdit->setText(m_timetable.m_strTerm);
    for (int i = 0; i < 5; ++i) {
        int nHour = 0, nMinute = 0;
        CPlannerContext::SplitHourMinute(m_timetable.m_strClassTime[size_t(i)], nHour, nMinute);
        m_pTimePickers[size_t(i)]->setTime(QTime(nHour, nMinute));
    }
    m_pWeekdayList->setCurrentIndex(0);
    m_pPeriodsList->setCurrentIndex(0);
    LoadSlot();
    connect(m_pWeekdayList, &QComboBox::currentIndexChanged, this, &CTimetableEditDlg::LoadSlot);
    connect(m_pPeriodsList, &QComboBox::currentIndexChanged, this, &CTimetableEditDlg::LoadSlot);

    m_pTip = new CBalloonTip(this);
    m_pTip->setObjectName(QStringLiteral("balloonTip"));
    m_pTip->SetIcon(QIcon(QStringLiteral(":/mainwnd/hint.png")));
    m_pTip->AddTool(m_pNameEdit, QStringLiteral("课程名请不要超过5个汉字\n超过请简化"));
}

QLineEdit* CTimetableEditDlg::AddEdit(const char* name, const QRect& place)
{
    auto* edit = new QLineEdit(this);
    edit->setObjectName(QLatin1String(name));
    edit->setGeometry(place);
    return edit;
}

QComboBox* CTimetableEditDlg::AddList(const char* name, const QRect& place, const QStringList& items)
{
    auto* list = new QComboBox(this);
    list->setObjectName(QLatin1String(name));
    list->setGeometry(place);
    list->addItems(items);
    list->setCurrentIndex(-1);
    return list;
}

void CTimetableEditDlg::LoadSlot()
{
    const int nDay = m_pWeekdayList->currentIndex();
    const int nPeriod = m_pPeriodsList->currentIndex();
    if (nDay < 0 || nPeriod < 0)
        return;
    const CourseEntry& entry = m_timetable.m_entries[size_t(CTimetable::SlotIndex(nDay, nPeriod))];
    m_pNameEdit->setText(entry.strName);
    m_pCreditEdit->setText(QString::number(entry.dCredit, 'g', 15));
    m_pClassEdit->setText(entry.strClass);
    m_pStudentsEdit->setText(QString::number(entry.nStudents));
    m_pPlaceEdit->setText(entry.strPlace);
    int nFirst = 0, nLast = 0;
    CTimetable::SplitWeeks(entry.strWeeks, nFirst, nLast);
    // A week outside the list (0 for an empty text) selects nothing.
    auto select = [](QComboBox* list, int nIndex) { list->setCurrentIndex(nIndex < list->count() ? nIndex : -1); };
    select(m_pFirstWeekList, nFirst - 1);
    select(m_pLastWeekList, nLast - 1);
    m_pTypeList->setCurrentIndex(int(CTimetable::CourseTypes().indexOf(entry.strType)));
    m_pRoomTypeList->setCurrentIndex(int(CTimetable::RoomTypes().indexOf(entry.strRoomType)));
}

bool CTimetableEditDlg::SaveTimetable()
{
    const CAtomicFile::Result result = m_timetable.Save();
    if (result)
        return true;
    Messages::show(
        this, CAtomicFile::FailureText(QStringLiteral("打开课程表文件失败，不能更新设置，请重试"), result),
        Messages::appCaption(), Messages::Icon::Warning);
    return false;
}

void CTimetableEditDlg::OnModify()
{
    const int nDay = m_pWeekdayList->currentIndex();
    const int nPeriod = m_pPeriodsList->currentIndex();
    if (nDay < 0 || nPeriod < 0)
        return;
    if (m_pNameEdit->text().isEmpty()) {
        Messages::show(this, QStringLiteral("课程名不能为空"), QStringLiteral("警告"), Messages::Icon::Critical);
        return;
    }
    if (Messages::show(this, QStringLiteral("你确信要修改上课信息吗?"), QStringLiteral("提示"), Messages::Icon::Critical,
                       QMessageBox::Ok | QMessageBox::Cancel) != QMessageBox::Ok)
        return;

    CourseEntry& entry = m_timetable.m_entries[size_t(CTimetable::SlotIndex(nDay, nPeriod))];
    entry.bHasCourse = true;
    entry.strName = m_pNameEdit->text();
    entry.dCredit = m_pCreditEdit->text().toDouble();
    entry.strClass = m_pClassEdit->text();
    entry.nStudents = m_pStudentsEdit->text().toInt();
    entry.strPlace = m_pPlaceEdit->text();
    entry.strWeeks =
        CTimetable::WeeksText(m_pFirstWeekList->currentIndex() + 1, m_pLastWeekList->currentIndex() + 1);
    const int nType = m_pTypeList->currentIndex();
    entry.strType = nType >= 0 && nType < CTimetable::CourseTypes().size() ? CTimetable::CourseTypes()[nType] : QString();
    const int nRoom = m_pRoomTypeList->currentIndex();
    entry.strRoomType = nRoom >= 0 && nRoom < CTimetable::RoomTypes().size() ? CTimetable::RoomTypes()[nRoom] : QString();
    m_timetable.m_strTeacher = m_pTeacherEdit->text();
    m_timetable.m_strTerm = m_pTermEdit->text();
    for (size_t i = 0; i < m_pTimePickers.size(); ++i) {
        const QTime time = m_pTimePickers[i]->time();
        m_timetable.m_strClassTime[i] = CTimetable::TimeText(time.hour(), time.minute());
    }
    if (SaveTimetable())
        m_context.ShowNotice(QStringLiteral("上课信息已成功保存"), 1, 5, true);
    else
        m_context.ShowNotice(QStringLiteral("上课信息保存失败，请重试"), 1, 5, true);
}

void CTimetableEditDlg::OnClear()
{
    const int nDay = m_pWeekdayList->currentIndex();
    const int nPeriod = m_pPeriodsList->currentIndex();
    if (nDay < 0 || nPeriod < 0)
        return;
    if (Messages::show(this, QStringLiteral("你确信要清除上课信息吗?"), QStringLiteral("警告"), Messages::Icon::Critical,
                       QMessageBox::Ok | QMessageBox::Cancel) != QMessageBox::Ok)
        return;

    for (QLineEdit* edit : {m_pNameEdit, m_pCreditEdit, m_pStudentsEdit, m_pClassEdit, m_pPlaceEdit})
        edit->clear();
    for (QComboBox* list : {m_pWeekdayList, m_pPeriodsList, m_pRoomTypeList, m_pTypeList})
        list->setCurrentIndex(-1);
    CourseEntry& entry = m_timetable.m_entries[size_t(CTimetable::SlotIndex(nDay, nPeriod))];
    const QColor crKept = entry.crColor;
    entry = CourseEntry{};
    entry.crColor = crKept;
    if (SaveTimetable())
        m_context.ShowNotice(QStringLiteral("上课信息已全部清除"), 1, 5, true);
    else
        m_context.ShowNotice(QStringLiteral("上课信息清除失败，请重试"), 1, 5, true);
}

void CTimetableEditDlg::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    DrawBackgroundBitmap(painter, m_background, this);
}
