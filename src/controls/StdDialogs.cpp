#include "controls/StdDialogs.h"
#include "controls/RunModal.h"

#include <QFileDialog>
#include <QInputDialog>
#include <QLineEdit>
#include <QPrintDialog>
#include <QPrinter>

namespace {
StdDialogs::Handler* g_pHandler = nullptr;
}

namespace StdDialogs {

QString getOpenFileName(QWidget* parent, const QString& caption, const QString& folder, const QString& filter)
{
    if (g_pHandler)
        return g_pHandler->OpenFileName(parent, caption, folder, filter);
    return QFileDialog::getOpenFileName(parent, caption, folder, filter);
}

QString getSaveFileName(QWidget* parent, const QString& caption, const QString& folder, const QString& filter)
{
    if (g_pHandler)
        return g_pHandler->SaveFileName(parent, caption, folder, filter);
    return QFileDialog::getSaveFileName(parent, caption, folder, filter);
}

bool execPrintDialog(QWidget* parent, QPrinter* printer)
{
    if (g_pHandler)
        return g_pHandler->Print(parent, printer);
    QPrintDialog dialog(printer, parent);
    // The program prints whole lists: no page ranges, no selection. Printing to a file stays,
    // since on many desktops a PDF file is the only printer there is.
    dialog.setOptions(QAbstractPrintDialog::PrintToFile);
    return RunModal(dialog) == QDialog::Accepted;
}

QString Handler::Password(QWidget*, const QString&, const QString&) { return QString(); }

QString getPassword(QWidget* parent, const QString& caption, const QString& label)
{
    if (g_pHandler)
        return g_pHandler->Password(parent, caption, label);
    QInputDialog dialog(parent);
    dialog.setWindowTitle(caption);
    dialog.setLabelText(label);
    dialog.setTextEchoMode(QLineEdit::Password);
    if (RunModal(dialog) != QDialog::Accepted)
        return QString();
    // Accepted empty is still an answer, apart from a cancel.
    const QString text = dialog.textValue();
    return text.isNull() ? QStringLiteral("") : text;
}

void setHandler(Handler* handler) { g_pHandler = handler; }

} // namespace StdDialogs
