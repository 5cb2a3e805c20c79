#pragma once

#include "app/ErrorReporter.h"
#include "app/Launcher.h"

#include <QStringList>

class ErrorRecorder final : public IErrorReporter
{
public:
    void ReportError(const QString& text) override
    {
        m_texts << text;
        m_captions << QString();
    }
    void ReportMessage(const QString& text, const QString& caption, Kind kind) override
    {
        m_texts << text;
        m_captions << caption;
        m_kinds << kind;
    }
    QStringList texts() const { return m_texts; }
    /// The caption of each text; empty for operation failures, which have none of their own.
    QStringList captions() const { return m_captions; }
    QList<Kind> kinds() const { return m_kinds; }
    void clear()
    {
        m_texts.clear();
        m_captions.clear();
        m_kinds.clear();
    }

private:
    QStringList m_texts;
    QStringList m_captions;
    QList<Kind> m_kinds;
};

/// Records program launches; each launch succeeds unless told otherwise.
class LaunchRecorder final : public IProgramLauncher
{
public:
    LaunchRecorder() { Launcher::set(this); }
    ~LaunchRecorder() override { Launcher::set(nullptr); }
    LaunchRecorder(const LaunchRecorder&) = delete;
    LaunchRecorder& operator=(const LaunchRecorder&) = delete;

    void setSucceeds(bool ok) { m_bSucceeds = ok; }
    bool StartDetached(const QString& program, const QStringList&) override
    {
        m_started << program;
        return m_bSucceeds;
    }
    /// Programs waited for, each followed by its arguments.
    bool RunAndWait(const QString& program, const QStringList& arguments) override
    {
        m_waited << program << arguments;
        return m_bSucceeds;
    }
    bool OpenWithDesktop(const QString& path) override
    {
        m_opened << path;
        return m_bSucceeds;
    }

    QStringList started() const { return m_started; }
    QStringList waited() const { return m_waited; }
    QStringList opened() const { return m_opened; }

private:
    QStringList m_started, m_waited, m_opened;
    bool m_bSucceeds = true;
};
