// Renders the settings dialog into a PNG, to look at it: settings_shot OUT.png
// (runs on any platform plugin; QT_QPA_PLATFORM=offscreen needs no display).
#include "app/PlannerApp.h"
#include "app/SettingsDlg.h"

#include <QApplication>
#include <QTemporaryDir>

int main(int argc, char* argv[])
{
    QApplication qapp(argc, argv);
    if (argc < 2)
        return 2;
    QTemporaryDir root;
    CPlannerApp app({QStringLiteral("Kestrum"), QStringLiteral("--data-dir"), root.filePath(QStringLiteral("data"))});
    if (!app.Startup())
        return 1;
    app.Context().Settings() = {1, 1, 0, 1};
    {
        CSettingsDlg dlg(app.Context(), [](bool) {});
        dlg.show();
        QApplication::processEvents();
        dlg.grab().save(QString::fromLocal8Bit(argv[1]));
    }
    return app.ExitInstance();
}
