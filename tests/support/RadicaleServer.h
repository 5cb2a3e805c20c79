#pragma once

// A real CalDAV server for the sync tests: Debian's Radicale on 127.0.0.1 at a free port, with its
// own storage folder and one htpasswd user, optionally over TLS with a self-signed certificate.
// It can be stopped and started again on the same folder and port, as a server that goes away
// in the middle of a sync and comes back.

#include <QByteArray>
#include <QProcess>
#include <QString>
#include <QTemporaryDir>
#include <QUrl>

class CRadicaleServer
{
public:
    /// Starts the server; Ok() tells whether it answers, Error() why not.
    explicit CRadicaleServer(bool bTls = false);
    ~CRadicaleServer();
    CRadicaleServer(const CRadicaleServer&) = delete;
    CRadicaleServer& operator=(const CRadicaleServer&) = delete;

    bool Start();
    void Stop();
    bool Ok() const { return m_process.state() == QProcess::Running; }
    QString Error() const { return m_strError; }

    /// http(s)://127.0.0.1:<port>/
    QUrl Url() const;
    QString User() const { return QStringLiteral("planner"); }
    QString Password() const { return QStringLiteral("s3cret"); }
    /// With TLS: SHA-256 of the server's certificate (hex, lower case).
    QByteArray Fingerprint() const { return m_fingerprint; }
    QString Folder() const { return m_dir.path(); }

private:
    QTemporaryDir m_dir;
    QProcess m_process;
    quint16 m_nPort = 0;
    bool m_bTls = false;
    QByteArray m_fingerprint;
    QString m_strError;
};

/// A small HTTP proxy in front of a server that hides its sync tokens: sync-collection is gone
/// from supported-report-set, the sync-token property from every answer, and a sync-collection
/// REPORT is refused. It stands for the servers that only offer ETags.
class CNoSyncTokenProxy
{
public:
    explicit CNoSyncTokenProxy(const QUrl& target);
    ~CNoSyncTokenProxy();
    CNoSyncTokenProxy(const CNoSyncTokenProxy&) = delete;
    CNoSyncTokenProxy& operator=(const CNoSyncTokenProxy&) = delete;

    bool Ok() const { return m_process.state() == QProcess::Running; }
    QString Error() const { return m_strError; }
    QUrl Url() const;

private:
    QProcess m_process;
    quint16 m_nPort = 0;
    QString m_strError;
};

namespace ServerProcess {
/// A port nobody listens on right now.
quint16 FreePort();
/// Starts \a args under /usr/bin/python3 and waits (short polls, a few seconds at most) until
/// 127.0.0.1:\a nPort accepts connections; false with \a error (the program's own output) if not.
bool StartPython(QProcess& process, const QStringList& args, quint16 nPort, QString& error);
void StopProcess(QProcess& process);
} // namespace ServerProcess
