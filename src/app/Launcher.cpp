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
        return RunAndWaitAtMost(program, arguments, -1);
    }

    bool RunAndWaitAtMost(const QString& program, const QStringList& arguments, int nMilliseconds) override
    {
        QProcess process;
        process.setProcessChannelMode(QProcess::ForwardedChannels);
        process.setWorkingDirectory(QFileInfo(program).absolutePath());
        process.start(program, arguments);
        if (!process.waitForStarted())
            return false;
        if (!process.waitForFinished(nMilliseconds) && process.state() != QProcess::NotRunning) {
            // A program that hangs must not stay on the screen (a splash is topmost) after we
            // have stopped waiting for it: asked first, then ended.
            process.terminate();
            if (!process.waitForFinished(1000)) {
                process.kill();
                process.waitForFinished(1000);
            }
        }
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
