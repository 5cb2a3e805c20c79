#include "controls/StdDialogs.h"
#include "controls/RunModal.h"

#include <QFileDialog>
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

void setHandler(Handler* handler) { g_pHandler = handler; }

} // namespace StdDialogs
