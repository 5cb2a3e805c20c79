#include "controls/Messages.h"

#include "controls/HeldEnterFilter.h"
#include "controls/RunModal.h"

#include <QApplication>

namespace {
Messages::Handler* g_pHandler = nullptr;

QMessageBox::Icon toQtIcon(Messages::Icon icon)
{
    switch (icon) {
    case Messages::Icon::Information:
        return QMessageBox::Information;
    case Messages::Icon::Warning:
        return QMessageBox::Warning;
    case Messages::Icon::Critical:
        return QMessageBox::Critical;
    case Messages::Icon::Question:
        return QMessageBox::Question;
    case Messages::Icon::None:
        break;
    }
    return QMessageBox::NoIcon;
}
} // namespace

namespace Messages {

QWidget* owner(QWidget* parent)
{
    if (parent)
        return parent->window();
    // A box that names no window (the data store's) belongs to the one the user is working in,
    // so that it blocks that window and a held key cannot run the command again beneath it.
    if (QWidget* modal = QApplication::activeModalWidget())
        return modal;
    return QApplication::activeWindow();
}

Answer show(QWidget* parent, const QString& text, const QString& caption, Icon icon, Buttons buttons)
{
    parent = owner(parent);
    if (g_pHandler)
        return g_pHandler->Respond(Request{parent, text, caption, icon, buttons});

    // Stored message texts keep their Windows line ends; a label shows "\r" as a glyph.
    QString shown = text;
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    QMessageBox box(toQtIcon(icon), caption, shown, buttons, parent);
    box.setTextFormat(Qt::PlainText);
    // An Enter held down since before the box appeared (the one that closed the box before
    // it, say) goes on repeating into it: only a fresh press answers.
    CHeldEnterFilter::Watch(&box);
    if (buttons.testFlag(QMessageBox::Yes))
        box.setDefaultButton(QMessageBox::Yes);
    if (!parent) {
        // No window of ours is active (start-up, or the program is in the tray): nothing to
        // block but the program as a whole.
        box.setWindowModality(Qt::ApplicationModal);
        return static_cast<Answer>(box.exec());
    }
    return static_cast<Answer>(RunModal(box));
}

void warning(QWidget* parent, const QString& text)
{
    show(parent, text, QStringLiteral("警告"), Icon::Warning);
}

void information(QWidget* parent, const QString& text)
{
    show(parent, text, QStringLiteral("提示"), Icon::Information);
}

bool askYesNo(QWidget* parent, const QString& text, const QString& caption)
{
    return show(parent, text, caption, Icon::Question, QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
}

QString appCaption() { return QStringLiteral("Kestrum"); }

void setHandler(Handler* handler) { g_pHandler = handler; }

} // namespace Messages
