#include "app/Appearance.h"
#include "app/PlannerApp.h"
#include "store/DataStore.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    const auto driverLoaded = CDataStore::PreloadDriver();
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Kestrum"));
    QApplication::setApplicationDisplayName(QStringLiteral("Kestrum"));
    Appearance::ApplyChineseLook(app);

    CPlannerApp theApp(QApplication::arguments());
    theApp.InitInstance();
    return theApp.ExitInstance();
}
