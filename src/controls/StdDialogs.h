#pragma once

#include <QString>

class QPrinter;
class QWidget;

/// The desktop's standard dialogs (open file, save file, print), behind one seam so that tests
/// can answer them (tests/support/DialogRecorder.h).
namespace StdDialogs {

class Handler
{
public:
    virtual ~Handler() = default;
    virtual QString OpenFileName(QWidget* parent, const QString& caption, const QString& folder,
                                 const QString& filter) = 0;
    virtual QString SaveFileName(QWidget* parent, const QString& caption, const QString& folder,
                                 const QString& filter) = 0;
    /// Lets the user set up \a printer; false when the user cancelled.
    virtual bool Print(QWidget* parent, QPrinter* printer) = 0;
    /// A password typed by the user; null when the user cancelled. Handlers that expect none
    /// cancel.
    virtual QString Password(QWidget* parent, const QString& caption, const QString& label);
};

QString getOpenFileName(QWidget* parent, const QString& caption, const QString& folder = {},
                        const QString& filter = {});
QString getSaveFileName(QWidget* parent, const QString& caption, const QString& folder = {},
                        const QString& filter = {});
bool execPrintDialog(QWidget* parent, QPrinter* printer);
/// Asks for a password (typed hidden); a null string when the user cancelled.
QString getPassword(QWidget* parent, const QString& caption, const QString& label);

/// Routes the dialogs to \a handler; nullptr restores the real ones.
void setHandler(Handler* handler);

} // namespace StdDialogs
