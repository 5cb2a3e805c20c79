// The baseline: the least a Qt Widgets program does to show a dialog. Prints the monotonic
// clock when the dialog is first painted, then ends.
#include "FirstPaintDialog.h"

#include <QApplication>
#include <QPushButton>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    FirstPaintDialog dialog;
    dialog.setWindowTitle(QStringLiteral("Kestrum"));
    dialog.setFixedSize(730, 440);
    auto* button = new QPushButton(QStringLiteral("×"), &dialog);
    button->setGeometry(686, 128, 28, 22);
    return dialog.exec();
}
