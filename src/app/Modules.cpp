#include "app/Modules.h"

#include <QCoreApplication>
#include <QHash>
#include <QLibrary>
#include <QLoggingCategory>
#include <QMutex>
#include <memory>

namespace {

Q_LOGGING_CATEGORY(lcModules, "kestrum.modules", QtWarningMsg)

QMutex g_mutex;
/// Every module asked for, loaded or not (nullptr): each is looked for once. A loaded module is
/// never unloaded, since objects it made may live until the program ends.
QHash<QByteArray, std::shared_ptr<QLibrary>> g_modules;

std::shared_ptr<QLibrary> Load(const char* name)
{
    const QString program = QCoreApplication::applicationDirPath();
    const QStringList places = {program, program + QStringLiteral("/" KESTRUM_MODULE_DIR)};
    for (const QString& place : places) {
        auto module = std::make_shared<QLibrary>(place + u'/' + QLatin1String(name));
        if (module->load())
            return module;
    }
    qCWarning(lcModules) << "no module" << name << "in" << places;
    return nullptr;
}

} // namespace

namespace Modules {

QFunctionPointer Resolve(const char* module, const char* symbol)
{
    const QMutexLocker lock(&g_mutex);
    const QByteArray name(module);
    auto it = g_modules.find(name);
    if (it == g_modules.end())
        it = g_modules.insert(name, Load(module));
    return *it ? (*it)->resolve(symbol) : nullptr;
}

} // namespace Modules
