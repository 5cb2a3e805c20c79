#pragma once

#include <QString>
#include <QStringList>

/// Starts other programs and opens files with the desktop's default application.
class IProgramLauncher
{
public:
    virtual ~IProgramLauncher() = default;
    /// Starts \a program and does not wait for it. False when it could not be started.
    virtual bool StartDetached(const QString& program, const QStringList& arguments) = 0;
    /// Starts \a program and waits, without a time limit, until it has ended. False when it
    /// could not be started (then nothing is waited for).
    virtual bool RunAndWait(const QString& program, const QStringList& arguments) = 0;
    /// Starts \a program and waits until it has ended, but at most \a nMilliseconds: a program
    /// still running then is ended. False when it could not be started. A launcher without a
    /// limit of its own waits as RunAndWait does.
    virtual bool RunAndWaitAtMost(const QString& program, const QStringList& arguments, int nMilliseconds)
    {
        Q_UNUSED(nMilliseconds);
        return RunAndWait(program, arguments);
    }
    /// Opens a document, folder or program with whatever the desktop associates with it.
    virtual bool OpenWithDesktop(const QString& path) = 0;
};

namespace Launcher {
IProgramLauncher& get();
/// Installs another launcher (tests); nullptr restores the real one.
void set(IProgramLauncher* launcher);
} // namespace Launcher
