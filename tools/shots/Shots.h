#pragma once

#include <QDate>
#include <QDir>
#include <QImage>
#include <QString>

class CPlannerApp;
class QWidget;

/// What every subsystem's pictures are made with: the planner started on a throw-away data
/// folder, the clock held on the sample day, and the folder the pictures go to.
class CShots
{
public:
    /// The sample day: in the autumn term, with a solar and a lunar holiday on it.
    static inline const QDate kDay{2026, 12, 25};

    CShots(CPlannerApp& app, const QDir& out) : m_app(app), m_out(out) {}

    CPlannerApp& App() const { return m_app; }
    /// \a name in the pictures' folder, for what is not a picture (a printed page).
    QString FilePath(const QString& name) const { return m_out.filePath(name); }
    /// Shows \a widget, lets it lay itself out, saves it as NAME.png and hides it again.
    void Save(QWidget& widget, const QString& name);
    /// Saves \a widget as it is now, shown or not (a pop-up of a window that is up).
    void SaveAsIs(QWidget& widget, const QString& name);
    void Save(const QImage& image, const QString& name);
    /// Saves \a window with its pop-up \a popup (a tip, a window of its own) drawn where it shows.
    void SaveWithPopup(QWidget& window, QWidget& popup, const QString& name);
    bool AllWritten() const { return m_bOk; }

private:
    CPlannerApp& m_app;
    QDir m_out;
    bool m_bOk = true;
};

// One function per subsystem, each adding the sample data its windows show.
namespace Shots {
void MainWindow(CShots& shots);
void Reminders(CShots& shots);
void Query(CShots& shots);
void Holidays(CShots& shots);
void Timetable(CShots& shots);
void Launcher(CShots& shots);
void Settings(CShots& shots);
void Sync(CShots& shots);
void Controls(CShots& shots);
} // namespace Shots
