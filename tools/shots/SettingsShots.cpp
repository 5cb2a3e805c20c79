// The settings dialog with every choice on but "start minimised", reminders shown both ways.
#include "Shots.h"
#include "app/PlannerApp.h"
#include "app/SettingsDlg.h"
#include "app/SettingsFile.h"
#include "reminder/AlertWay.h"

#include <QFile>

void Shots::Settings(CShots& shots)
{
    CPlannerContext& context = shots.App().Context();
    const ConfigFlags saved = context.Settings();
    context.Settings() = {1, 1, 0, 1};
    // Gone again afterwards: the other pictures' alerts show in the window, as by default.
    const QString settingsFile = context.DataFile(CSettingsFile::FileName());
    AlertWaySetting::Write(settingsFile, AlertWay::Both);
    {
        CSettingsDlg dlg(context, [](bool) {});
        shots.Save(dlg, QStringLiteral("settings"));
    }
    QFile::remove(settingsFile);
    context.Settings() = saved;
}
