#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <QUrl>
#include <chrono>
#include <memory>

/// Where and as whom the planner talks to a calendar server.
struct DavAccount
{
    QUrl server;          ///< as the user typed it: a host, a /.well-known/caldav base or a calendar home
    QString strUser;
    QString strPassword;  ///< never written to disk by the planner
    /// SHA-256 of a certificate the system does not trust but the user accepted (hex, lower case);
    /// only a certificate with exactly this fingerprint is let through.
    QByteArray trustedFingerprint;
};

/// What went wrong with a request, in the classes the planner reacts to differently.
enum class DavError
{
    None,
    Network,        ///< no connection, dropped mid-answer, host unknown
    Timeout,        ///< no answer within the client's time limit
    Auth,           ///< 401 or 403 on the account's own collections: wrong user or password
    Certificate,    ///< TLS certificate not trusted: DavResult::certificateFingerprint says which
    NotCalDav,      ///< the server answers, but not as a CalDAV server
    NotFound,       ///< 404 or 410
    Precondition,   ///< 412: the ETag no longer matches (someone else changed the item)
    UidConflict,    ///< 409 / 403 with no-uid-conflict: the UID lives under DavResult::strExistingHref
    TokenInvalid,   ///< the sync token is expired or refused (valid-sync-token)
    Refused,        ///< any other 4xx for this one item (403, 415 ...): listed, the others go on
    Server,         ///< 5xx, including a full server (507)
};

struct DavResult
{
    DavError error = DavError::None;
    int nHttpStatus = 0;
    /// One line for the user, in Chinese ("用户名或密码不对" ...), empty on success.
    QString strMessage;
    /// The server's own words (status line and a short cut of the body) for lists of refused items.
    QString strServerAnswer;
    /// With Certificate: SHA-256 of the peer's certificate (hex, lower case), to show and to accept.
    QByteArray certificateFingerprint;
    /// With UidConflict: the href the server already keeps that UID under (may be empty when the
    /// server does not say).
    QString strExistingHref;

    bool Ok() const { return error == DavError::None; }
};

struct DavCalendar
{
    QString strHref; ///< path on the server, ending in '/'
    QString strName; ///< displayname, else the last path segment
    bool bTodos = false;
    bool bEvents = false;
    bool bSyncToken = false; ///< offers sync-collection (RFC 6578)
};

struct DavDiscovery
{
    QUrl base;             ///< the server's URL after .well-known redirects (scheme, host, port)
    QString strPrincipal;  ///< current-user-principal href
    QString strHome;       ///< calendar-home-set href
    QList<DavCalendar> calendars;
};

/// One calendar object resource: its href, its ETag (quotes included, as the server sent it) and,
/// when fetched, its iCalendar text.
struct DavEntry
{
    QString strHref;
    QByteArray etag;
    QByteArray data;
};

struct DavChanges
{
    QList<DavEntry> changed; ///< new or changed since the token (data not fetched)
    QStringList removed;     ///< hrefs gone since the token
    QString strToken;        ///< the token to send next time
};

/// A CalDAV client over Qt Network: one keep-alive connection per server, TLS through the
/// system's trust store, answers read with QXmlStreamReader. Every call waits for its answer (it
/// runs a local event loop), so the client belongs to one thread: the sync's worker thread or the
/// command line. The UI thread never calls it.
class CCalDavClient
{
public:
    explicit CCalDavClient(DavAccount account, std::chrono::milliseconds timeout = std::chrono::seconds(30));
    ~CCalDavClient();
    CCalDavClient(const CCalDavClient&) = delete;
    CCalDavClient& operator=(const CCalDavClient&) = delete;

    const DavAccount& Account() const;

    /// Finds the principal, the calendar home and its calendars: /.well-known/caldav first, then
    /// the URL as given. Tells a wrong address, a wrong password, an untrusted certificate and a
    /// server that is not CalDAV apart. Later calls use the base URL found.
    DavResult Discover(DavDiscovery& out);
    /// Creates a calendar named \a name in the home for to-dos (\a todos) or events; \a href gets
    /// its path.
    DavResult MakeCalendar(const QString& home, const QString& name, bool todos, QString& href);

    /// What changed in \a calendar since \a token (empty: everything there is). TokenInvalid when
    /// the server refuses the token.
    DavResult SyncCollection(const QString& calendar, const QString& token, DavChanges& out);
    /// Every item's href and ETag, for servers without sync tokens (PROPFIND depth 1).
    DavResult ListEtags(const QString& calendar, QList<DavEntry>& out);
    /// The items \a hrefs with their ETags and data (calendar-multiget); items gone meanwhile are
    /// simply missing from \a out.
    DavResult Multiget(const QString& calendar, const QStringList& hrefs, QList<DavEntry>& out);

    /// Writes \a data to \a href: with If-Match \a ifMatch, or If-None-Match: * when \a ifMatch is
    /// empty (a new item). \a newEtag gets the item's ETag afterwards; where the server sends none,
    /// the client asks for it, so the caller always knows it.
    DavResult Put(const QString& href, const QByteArray& data, const QByteArray& ifMatch, QByteArray& newEtag);
    /// Deletes \a href if its ETag is still \a ifMatch. A 404 counts as done.
    DavResult Delete(const QString& href, const QByteArray& ifMatch);

private:
    struct Impl;
    std::unique_ptr<Impl> d;
};
