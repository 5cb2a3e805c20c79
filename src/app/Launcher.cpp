#include "app/Launcher.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QProcess>
#include <QUrl>

namespace {

class DesktopLauncher final : public IProgramLauncher
{
public:
    bool StartDetached(const QString& program, const QStringList& arguments) override
    {
        return QProcess::startDetached(program, arguments, QFileInfo(program).absolutePath());
    }

    bool RunAndWait(const QString& program, const QStringList& arguments) override
    {
        QProcess process;
        process.setProcessChannelMode(QProcess::ForwardedChannels);
        process.setWorkingDirectory(QFileInfo(program).absolutePath());
        process.start(program, arguments);
        if (!process.waitForStarted())
            return false;
        process.waitForFinished(-1);
        return true;
    }

    bool OpenWithDesktop(const QString& path) override
    {
        return QDesktopServices::openUrl(QUrl::fromLocalFile(path));
    }
};

IProgramLauncher* g_pInstalled = nullptr;

} // namespace

namespace Launcher {

IProgramLauncher& get()
{
    if (g_pInstalled)
        return *g_pInstalled;
    static DesktopLauncher real;
    return real;
}

void set(IProgramLauncher* launcher) { g_pInstalled = launcher; }

} // namespace Launcher
