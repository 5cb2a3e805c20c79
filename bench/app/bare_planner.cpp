// The baseline for the full main window: a bare Qt program that shows a dialog with a month
// calendar and a two-column list. Prints the monotonic clock when the dialog is first painted,
// then ends.
#include "FirstPaintDialog.h"

#include <QApplication>
#include <QCalendarWidget>
#include <QPushButton>
#include <QTableWidget>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    FirstPaintDialog dialog;
    dialog.setWindowTitle(QStringLiteral("Kestrum"));
    dialog.setFixedSize(730, 440);
    auto* calendar = new QCalendarWidget(&dialog);
    calendar->setGeometry(20, 129, 310, 163);
    auto* list = new QTableWidget(5, 2, &dialog);
    list->setGeometry(352, 158, 362, 236);
    for (int i = 0; i < 5; ++i) {
        list->setItem(i, 0, new QTableWidgetItem(QStringLiteral("task %1").arg(i + 1)));
        list->setItem(i, 1, new QTableWidgetItem(QStringLiteral("state")));
    }
    auto* button = new QPushButton(QStringLiteral("×"), &dialog);
    button->setGeometry(686, 128, 28, 22);
    return dialog.exec();
}
