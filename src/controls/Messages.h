#pragma once

#include <QMessageBox>
#include <QString>

class QWidget;

/// Every message box of the program goes through here, so that tests can answer and record
/// them (tests/support/MessageRecorder.h) and no test ever blocks on a real dialog.
namespace Messages {

enum class Icon { None, Information, Warning, Critical, Question };

using Answer = QMessageBox::StandardButton;
using Buttons = QMessageBox::StandardButtons;

struct Request
{
    QWidget* parent = nullptr;
    QString text;
    QString caption;
    Icon icon = Icon::None;
    Buttons buttons = QMessageBox::Ok;
};

/// Something that answers message boxes instead of the user.
class Handler
{
public:
    virtual ~Handler() = default;
    virtual Answer Respond(const Request& request) = 0;
};

/// The window a box for \a parent belongs to: \a parent's window, or when none is named the
/// window the user is working in (the active modal dialog, else the active window), or null.
QWidget* owner(QWidget* parent);

/// Shows a message box modal to owner(\a parent) and returns the button that closed it.
Answer show(QWidget* parent, const QString& text, const QString& caption, Icon icon = Icon::None,
            Buttons buttons = QMessageBox::Ok);

/// The program's usual boxes: "警告" with the warning icon, "提示" with the information icon,
/// and a yes/no question under "提示".
void warning(QWidget* parent, const QString& text);
void information(QWidget* parent, const QString& text);
bool askYesNo(QWidget* parent, const QString& text, const QString& caption);

/// Caption of boxes that name none: the program's title.
QString appCaption();

/// Routes every message box to \a handler; nullptr restores real message boxes.
void setHandler(Handler* handler);

} // namespace Messages
