#pragma once

#include <QDialog>

class CGifPicture;
class CPlannerContext;
class QPlainTextEdit;

/// "显示全部节日信息": every solar and lunar holiday as the store lists them, read-only.
class CHolidayListDlg : public QDialog
{
    Q_OBJECT
public:
    static constexpr int kWidth = 440;
    static constexpr int kHeight = 248;

    explicit CHolidayListDlg(CPlannerContext& context, QWidget* parent = nullptr);

    QString Text() const { return m_strText; }

private:
    QString m_strText;
    QPlainTextEdit* m_pTextEdit = nullptr;
    CGifPicture* m_pPicture = nullptr;
};
