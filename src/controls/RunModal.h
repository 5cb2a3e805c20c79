#pragma once

#include <QDialog>

/// Runs \a dialog until it is closed, blocking only the window it belongs to. Qt's default for a
/// dialog run this way blocks every window of the program, and with it the notification pop-up,
/// whose tab and close mark must stay usable whatever dialog is open. The main window itself,
/// which belongs to no window, runs this way too.
inline int RunModal(QDialog& dialog)
{
    dialog.setWindowModality(Qt::WindowModal);
    return dialog.exec();
}
