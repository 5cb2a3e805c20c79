#include "app/Appearance.h"
#include "app/PlannerApp.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Kestrum"));
    QApplication::setApplicationDisplayName(QStringLiteral("Kestrum"));
    Appearance::ApplyChineseLook(app);

    CPlannerApp theApp(QApplication::arguments());
    theApp.InitInstance();
    return theApp.ExitInstance();
}
