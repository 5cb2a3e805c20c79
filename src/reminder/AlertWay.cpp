#include "reminder/AlertWay.h"

#include "app/SettingsFile.h"

#include <array>

namespace {
const QString kKey = QStringLiteral("reminders/alert");
// In the order of the enum.
const std::array<QString, 3> kValues{QStringLiteral("window"), QStringLiteral("desktop"),
                                     QStringLiteral("both")};
} // namespace

namespace AlertWaySetting {

AlertWay Read(const QString& path)
{
    const QString value = CSettingsFile(path).Value(kKey);
    for (size_t i = 0; i < kValues.size(); ++i)
        if (value == kValues.at(i))
            return AlertWay(i);
    return AlertWay::Window;
}

CAtomicFile::Result Write(const QString& path, AlertWay way)
{
    CSettingsFile file(path);
    file.SetValue(kKey, kValues.at(size_t(way)));
    return file.Save();
}

} // namespace AlertWaySetting
