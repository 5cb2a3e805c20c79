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
    // No display name: the desktop would add it to every caption ("警告 — Kestrum").
    QApplication::setApplicationName(QStringLiteral("Kestrum"));
    Appearance::ApplyChineseLook(app);

    CPlannerApp theApp(QApplication::arguments());
    if (theApp.InitInstance())
        QApplication::exec();
    return theApp.ExitInstance();
}
