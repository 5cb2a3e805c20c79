// The CalDAV client's HTTP exchange, in the module kestrum_network: Qt Network with the Kerberos
// and proxy libraries it brings would otherwise be loaded at every start of the planner, though
// only a sync ever talks to a server.
#include "sync/HttpExchange.h"

#include <QEventLoop>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QSslCertificate>
#include <QSslError>
#include <QTimer>
#include <type_traits>

namespace {

HttpAnswer::Transport TransportOf(QNetworkReply::NetworkError error)
{
    switch (error) {
    case QNetworkReply::NoError:
        return HttpAnswer::Transport::None;
    case QNetworkReply::ConnectionRefusedError:
        return HttpAnswer::Transport::ConnectionRefused;
    case QNetworkReply::HostNotFoundError:
        return HttpAnswer::Transport::HostNotFound;
    case QNetworkReply::OperationCanceledError:
        return HttpAnswer::Transport::Canceled;
    case QNetworkReply::TimeoutError:
        return HttpAnswer::Transport::TimedOut;
    default:
        // Connection and proxy errors come below ContentAccessDenied; from there on they are
        // the HTTP status the answer has anyway.
        return error < QNetworkReply::ContentAccessDenied ? HttpAnswer::Transport::Other
                                                          : HttpAnswer::Transport::None;
    }
}

class QtHttpSession final : public IHttpSession
{
public:
    HttpAnswer Exchange(const HttpRequest& request) override
    {
        QNetworkRequest out(request.url);
        // A redirected PUT or REPORT must not silently turn into something else: the client
        // follows redirects itself where it expects them (discovery).
        out.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::ManualRedirectPolicy);
        for (const auto& [name, value] : request.headers)
            out.setRawHeader(name, value);

        QNetworkReply* reply = m_nam.sendCustomRequest(out, request.verb, request.body);
        QEventLoop loop;
        QTimer timer;
        timer.setSingleShot(true);
        HttpAnswer answer;
        QObject::connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
        QObject::connect(&timer, &QTimer::timeout, &loop, [&] {
            answer.bTimedOut = true;
            reply->abort();
        });
        QObject::connect(reply, &QNetworkReply::sslErrors, &loop, [&](const QList<QSslError>& errors) {
            QSslCertificate certificate = reply->sslConfiguration().peerCertificate();
            if (certificate.isNull() && !errors.isEmpty())
                certificate = errors.first().certificate();
            const QByteArray fingerprint = certificate.digest(QCryptographicHash::Sha256).toHex();
            // Only the one certificate the user accepted, and only for the errors it has.
            if (!fingerprint.isEmpty() && fingerprint == request.trustedFingerprint.toLower())
                reply->ignoreSslErrors(errors);
            else
                answer.untrustedFingerprint = fingerprint.isEmpty() ? QByteArray("?") : fingerprint;
        });
        timer.start(request.timeout);
        if (!reply->isFinished())
            loop.exec();
        timer.stop();

        answer.nStatus = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
        answer.strReason = reply->attribute(QNetworkRequest::HttpReasonPhraseAttribute).toString();
        answer.body = reply->isOpen() ? reply->readAll() : QByteArray();
        answer.etag = reply->rawHeader("ETag");
        answer.location = reply->rawHeader("Location");
        answer.transport = TransportOf(reply->error());
        answer.strError = reply->errorString();
        // Finished and out of every signal: delete it now, a command-line run may have no event
        // loop that would ever get to a deleteLater.
        delete reply;
        return answer;
    }

private:
    QNetworkAccessManager m_nam; ///< one keep-alive connection per server for the session's life
};

} // namespace

extern "C" Q_DECL_EXPORT IHttpSession* kestrum_create_http_session()
{
    return new QtHttpSession;
}

static_assert(std::is_same_v<decltype(&kestrum_create_http_session), HttpExchange::CreateSession>);
