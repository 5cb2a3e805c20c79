#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QUrl>
#include <chrono>
#include <utility>

/// One HTTP request as the CalDAV client makes it. Redirects are never followed: the client
/// follows them itself where it expects them.
struct HttpRequest
{
    QByteArray verb;
    QUrl url;
    QByteArray body;
    QList<std::pair<QByteArray, QByteArray>> headers; ///< sent as given, in this order
    std::chrono::milliseconds timeout{0};             ///< for the whole exchange
    /// The SHA-256 (hex) of the one certificate the system does not trust but the user accepted;
    /// only a certificate with exactly this fingerprint is let through.
    QByteArray trustedFingerprint;
};

/// What came back, unjudged: the CalDAV client decides what it means.
struct HttpAnswer
{
    /// Why there is no complete answer. Errors of HTTP itself (a 404...) are not transport
    /// failures: they come as nStatus.
    enum class Transport
    {
        None,
        ConnectionRefused,
        HostNotFound,
        Canceled, ///< aborted (also by the time limit)
        TimedOut, ///< the network layer's own time limit
        Other     ///< dropped mid-answer, TLS failed, proxy trouble...: strError says
    };

    int nStatus = 0; ///< 0 when no status line came
    QString strReason;
    QByteArray body;
    QByteArray etag;
    QByteArray location;
    bool bTimedOut = false; ///< the request's time limit ran out
    /// Set when the server's certificate is not trusted and not the one accepted: its SHA-256
    /// (hex, lower case), or "?" when the certificate could not be read.
    QByteArray untrustedFingerprint;
    Transport transport = Transport::None;
    QString strError;
};

/// The HTTP side of the CalDAV client, over Qt Network in the module kestrum_network
/// (HttpModule.cpp), so that Qt Network is not loaded before a sync needs it. A session keeps one
/// connection per server alive and belongs to the thread that made it; Exchange waits for the
/// answer (it runs a local event loop) and leaves nothing behind for a later event loop.
class IHttpSession
{
public:
    virtual ~IHttpSession() = default;
    virtual HttpAnswer Exchange(const HttpRequest& request) = 0;
};

namespace HttpExchange {
constexpr char kModule[] = "kestrum_network";
/// The module's entry point: a new session, owned by the caller, on the calling thread.
constexpr char kCreateSession[] = "kestrum_create_http_session";
using CreateSession = IHttpSession* (*)();
} // namespace HttpExchange
