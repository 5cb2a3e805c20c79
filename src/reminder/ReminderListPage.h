#pragma once

#include <QList>
#include <QPixmap>
#include <QStringList>
#include <QWidget>

class CGridCtrl;
class CPlannerContext;

/// A page that lists reminders in a read-only grid: a numbered row per reminder with its mode
/// picture, then time, title, mode, ring and content. The manage and today pages differ only
/// in which reminders they read (and the manage page's commands).
class CReminderListPage : public QWidget
{
    Q_OBJECT
public:
    /// Reads the rows again and fills the grid; with none, the header row stays alone.
    void Refresh();
    CGridCtrl* Grid() const { return m_pGrid; }

protected:
    CReminderListPage(CPlannerContext& context, QWidget* parent);

    virtual int CountRows() = 0;
    virtual bool ListRows(QStringList& times, QStringList& modes, QStringList& rings, QStringList& titles,
                          QStringList& contents) = 0;

    CPlannerContext& m_context;

private:
    void SetHeaderRow();

    CGridCtrl* m_pGrid = nullptr;
    QList<QPixmap> m_modeImages;
};
