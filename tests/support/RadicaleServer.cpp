#include "RadicaleServer.h"

#include <QCryptographicHash>
#include <QDeadlineTimer>
#include <QFile>
#include <QSslCertificate>
#include <QTcpServer>
#include <QTcpSocket>
#include <QThread>

namespace ServerProcess {

quint16 FreePort()
{
    QTcpServer probe;
    return probe.listen(QHostAddress::LocalHost, 0) ? probe.serverPort() : 0;
}

bool StartPython(QProcess& process, const QStringList& args, quint16 nPort, QString& error)
{
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(QStringLiteral("/usr/bin/python3"), args);
    if (!process.waitForStarted(5000)) {
        error = process.errorString();
        return false;
    }
    // Python needs a moment to import the server; poll the port rather than sleep a fixed time.
    const QDeadlineTimer deadline(15000);
    while (!deadline.hasExpired() && process.state() == QProcess::Running) {
        QTcpSocket probe;
        probe.connectToHost(QHostAddress::LocalHost, nPort);
        if (probe.waitForConnected(200))
            return true;
        QThread::msleep(30);
    }
    process.waitForFinished(100);
    error = QString::fromLocal8Bit(process.readAll()).trimmed();
    if (error.isEmpty())
        error = QStringLiteral("no answer on port %1").arg(nPort);
    StopProcess(process);
    return false;
}

void StopProcess(QProcess& process)
{
    if (process.state() == QProcess::NotRunning)
        return;
    process.terminate();
    if (!process.waitForFinished(5000)) {
        process.kill();
        process.waitForFinished(5000);
    }
}

} // namespace ServerProcess

CRadicaleServer::CRadicaleServer(bool bTls) : m_bTls(bTls)
{
    const QString folder = m_dir.path();
    QFile users(folder + QStringLiteral("/users"));
    if (!users.open(QIODevice::WriteOnly) || users.write((User() + u':' + Password() + u'\n').toUtf8()) < 0) {
        m_strError = QStringLiteral("cannot write %1").arg(users.fileName());
        return;
    }
    users.close();
    QString tls;
    if (bTls) {
        // An EC key is made in milliseconds, unlike an RSA one.
        const QString cert = folder + QStringLiteral("/cert.pem"), key = folder + QStringLiteral("/key.pem");
        QProcess openssl;
        openssl.setProcessChannelMode(QProcess::MergedChannels);
        openssl.start(
            QStringLiteral("openssl"),
            {QStringLiteral("req"), QStringLiteral("-x509"), QStringLiteral("-newkey"), QStringLiteral("ec"),
             QStringLiteral("-pkeyopt"), QStringLiteral("ec_paramgen_curve:prime256v1"),
             QStringLiteral("-nodes"), QStringLiteral("-days"), QStringLiteral("2"), QStringLiteral("-subj"),
             QStringLiteral("/CN=127.0.0.1"), QStringLiteral("-keyout"), key, QStringLiteral("-out"), cert});
        const QList<QSslCertificate> certs = openssl.waitForFinished(20000) && openssl.exitCode() == 0
                                                 ? QSslCertificate::fromPath(cert)
                                                 : QList<QSslCertificate>();
        if (certs.isEmpty()) {
            m_strError = QStringLiteral("openssl: ") + QString::fromLocal8Bit(openssl.readAll());
            return;
        }
        m_fingerprint = certs.first().digest(QCryptographicHash::Sha256).toHex();
        tls = QStringLiteral("ssl = True\ncertificate = %1\nkey = %2\n").arg(cert, key);
    }
    m_nPort = ServerProcess::FreePort();
    const QString config = QStringLiteral("[server]\nhosts = 127.0.0.1:%1\n%2"
                                          "[auth]\ntype = htpasswd\nhtpasswd_filename = %3/users\n"
                                          "htpasswd_encryption = plain\ndelay = 0\n"
                                          "[rights]\ntype = owner_only\n"
                                          "[storage]\nfilesystem_folder = %3/storage\n"
                                          "[web]\ntype = none\n[logging]\nlevel = warning\n")
                               .arg(m_nPort)
                               .arg(tls, folder);
    QFile file(folder + QStringLiteral("/config"));
    if (!file.open(QIODevice::WriteOnly) || file.write(config.toUtf8()) < 0) {
        m_strError = QStringLiteral("cannot write %1").arg(file.fileName());
        return;
    }
    file.close();
    Start();
}

CRadicaleServer::~CRadicaleServer()
{
    Stop();
}

bool CRadicaleServer::Start()
{
    if (Ok())
        return true;
    if (m_nPort == 0)
        return false;
    m_strError.clear();
    return ServerProcess::StartPython(m_process,
                                      {QStringLiteral("-m"), QStringLiteral("radicale"),
                                       QStringLiteral("--config"), Folder() + QStringLiteral("/config")},
                                      m_nPort, m_strError);
}

void CRadicaleServer::Stop()
{
    ServerProcess::StopProcess(m_process);
}

QUrl CRadicaleServer::Url() const
{
    return QUrl(QStringLiteral("%1://127.0.0.1:%2/")
                    .arg(m_bTls ? QStringLiteral("https") : QStringLiteral("http"))
                    .arg(m_nPort));
}

CNoSyncTokenProxy::CNoSyncTokenProxy(const QUrl& target) : m_nPort(ServerProcess::FreePort())
{
    ServerProcess::StartPython(m_process,
                               {QStringLiteral(KESTRUM_TEST_SUPPORT_DIR "/nosynctoken_proxy.py"),
                                QString::number(m_nPort), QString::number(target.port())},
                               m_nPort, m_strError);
}

CNoSyncTokenProxy::~CNoSyncTokenProxy()
{
    ServerProcess::StopProcess(m_process);
}

QUrl CNoSyncTokenProxy::Url() const
{
    return QUrl(QStringLiteral("http://127.0.0.1:%1/").arg(m_nPort));
}
