#include "app/Appearance.h"
#include "app/PlannerApp.h"
#include "mainwnd/PlannerArt.h"
#include "store/DataStore.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    // Loading the database driver and decoding the main window's pictures go on in parallel
    // with the rest of start-up. Both wait for the application object: the first thread to
    // touch Qt becomes its main thread.
    QApplication app(argc, argv);
    const auto driverLoaded = CDataStore::PreloadDriver();
    PlannerArt::Preload();
    QApplication::setApplicationName(QStringLiteral("Kestrum"));
    QApplication::setApplicationDisplayName(QStringLiteral("Kestrum"));
    Appearance::ApplyChineseLook(app);

    CPlannerApp theApp(QApplication::arguments());
    theApp.InitInstance();
    return theApp.ExitInstance();
}
