// The settings dialog with every choice on but "start minimised".
#include "Shots.h"
#include "app/PlannerApp.h"
#include "app/SettingsDlg.h"

void Shots::Settings(CShots& shots)
{
    CPlannerContext& context = shots.App().Context();
    const ConfigFlags saved = context.Settings();
    context.Settings() = {1, 1, 0, 1};
    {
        CSettingsDlg dlg(context, [](bool) {});
        shots.Save(dlg, QStringLiteral("settings"));
    }
    context.Settings() = saved;
}
