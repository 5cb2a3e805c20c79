#pragma once

#include <QDialog>
#include <QPixmap>
#include <array>

class CBalloonTip;
class CPlannerContext;
class CTimetable;
class QComboBox;
class QLineEdit;
class QPushButton;
class QTimeEdit;

/// "设置课程表": edits the teacher, the term, the five start times and one slot of the week
/// at a time; "修改" and "清除" write the whole timetable file at once.
class CTimetableEditDlg : public QDialog
{
    Q_OBJECT
public:
    static constexpr int kWidth = 560;
    static constexpr int kHeight = 470;
    /// Longest course name, in bytes of the Chinese code page (five Chinese characters).
    static constexpr int kNameBytes = 10;

    CTimetableEditDlg(CPlannerContext& context, CTimetable& timetable, QWidget* parent = nullptr);

    /// The six course types the list offers; the last two store an empty text.
    static QStringList CourseTypeItems();
    /// The five room types the list offers; the last stores an empty text.
    static QStringList RoomTypeItems();

private:
    void LoadSlot();
    void OnModify();
    void OnClear();
    bool SaveTimetable();
    QLineEdit* AddEdit(const char* name, const QRect& place);
    QComboBox* AddList(const char* name, const QRect& place, const QStringList& items);

    CPlannerContext& m_context;
    CTimetable& m_timetable;
    QPixmap m_background;

    QLineEdit* m_pTeacherEdit = nullptr;
    QLineEdit* m_pTermEdit = nullptr;
    std::array<QTimeEdit*, 5> m_pTimePickers{};
    QComboBox* m_pWeekdayList = nullptr;
    QComboBox* m_pPeriodsList = nullptr;
    QLineEdit* m_pNameEdit = nullptr;
    QLineEdit* m_pCreditEdit = nullptr;
    QComboBox* m_pFirstWeekList = nullptr;
    QComboBox* m_pLastWeekList = nullptr;
    QComboBox* m_pTypeList = nullptr;
    QLineEdit* m_pClassEdit = nullptr;
    QLineEdit* m_pStudentsEdit = nullptr;
    QLineEdit* m_pPlaceEdit = nullptr;
    QComboBox* m_pRoomTypeList = nullptr;
    CBalloonTip* m_pTip = nullptr;

protected:
    void paintEvent(QPaintEvent* event) override;
};
