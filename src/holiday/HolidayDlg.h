#pragma once

#include <QDialog>
#include <QPixmap>

class CPlannerContext;
class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;

/// "节日设置": adds a holiday of the user's own (a name on a month and day of the solar or the
/// lunar calendar), and renames or deletes one that an add found to exist already.
///
/// Two states: Normal, with "修改" and "删除" disabled, and Found, entered when an add finds the
/// same name on the same date; the found name is then the one a rename changes. Every rename or
/// delete attempt returns to Normal.
class CHolidayDlg : public QDialog
{
    Q_OBJECT
public:
    static constexpr int kWidth = 460;
    static constexpr int kHeight = 276;

    explicit CHolidayDlg(CPlannerContext& context, QWidget* parent = nullptr);

    /// The month-day key of month index \a nMonth and day index \a nDay (both from 0): "0503"
    /// for 3 May. A day the month does not have is keyed all the same.
    static QString BuildKey(int nMonth, int nDay);

signals:
    /// After every add, rename or delete that reached the store, so that the calendar shows
    /// the holidays as they now are.
    void HolidaysChanged();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void OnAdd();
    void OnRename();
    void OnDelete();
    void OnView();
    /// Reads the controls into the members (true) or the members into the controls (false).
    void UpdateData(bool bSaveAndValidate = true);
    bool RefuseEmptyName();
    void SetFound(bool bFound);

    CPlannerContext& m_context;
    QString m_strName;
    int m_nMonth = 0;
    int m_nDay = 0;
    int m_bLunar = 0;
    QString m_strOldName;

    QPixmap m_background;
    QLineEdit* m_pNameEdit = nullptr;
    QComboBox* m_pMonthList = nullptr;
    QComboBox* m_pDayList = nullptr;
    QCheckBox* m_pLunarCheck = nullptr;
    QPushButton* m_pRenameButton = nullptr;
    QPushButton* m_pDeleteButton = nullptr;
};
