#include "CalDavClient.h"

#include "DavXml.h"
#include "HttpExchange.h"
#include "app/Modules.h"

#include <QUuid>
#include <libical/ical.h>

namespace {

constexpr int kMaxRedirects = 5;
constexpr qsizetype kMultigetBatch = 100;

/// What one request brought back; \a failure is set when there is no HTTP answer to judge.
struct Answer
{
    int nStatus = 0;
    QByteArray body;
    QByteArray etag;
    QByteArray location;
    QString strReason;
    DavResult failure;
};

QByteArray PropfindBody(const QString& props)
{
    return QStringLiteral("<?xml version=\"1.0\" encoding=\"utf-8\"?>"
                          "<D:propfind xmlns:D=\"DAV:\" xmlns:C=\"urn:ietf:params:xml:ns:caldav\">"
                          "<D:prop>%1</D:prop></D:propfind>")
        .arg(props)
        .toUtf8();
}

DavResult Failed(DavError error, const QString& message, const Answer& answer = {})
{
    DavResult result;
    result.error = error;
    result.nHttpStatus = answer.nStatus;
    result.strMessage = message;
    if (answer.nStatus > 0) {
        QString body = QString::fromUtf8(answer.body).simplified();
        if (body.size() > 200)
            body = body.left(200) + QStringLiteral("…");
        result.strServerAnswer = QStringLiteral("%1 %2").arg(answer.nStatus).arg(answer.strReason);
        if (!body.isEmpty())
            result.strServerAnswer += QStringLiteral("：") + body;
    }
    return result;
}

DavResult NotCalDav(const Answer& answer)
{
    return Failed(DavError::NotCalDav, QStringLiteral("这个地址不是 CalDAV 日历服务器"), answer);
}

/// The classes every call shares; the caller handles what its own request makes special first.
DavResult Judge(const Answer& answer)
{
    if (answer.failure.error != DavError::None)
        return answer.failure;
    const int n = answer.nStatus;
    if (n / 100 == 2)
        return {};
    if (n == 401)
        return Failed(DavError::Auth, QStringLiteral("用户名或密码不对"), answer);
    if (n == 404 || n == 410)
        return Failed(DavError::NotFound, QStringLiteral("服务器上没有这一项"), answer);
    if (n == 412)
        return Failed(DavError::Precondition, QStringLiteral("这一项在服务器上已被别处改过"), answer);
    if (n == 507)
        return Failed(DavError::Server, QStringLiteral("服务器的空间已满"), answer);
    if (n >= 500)
        return Failed(DavError::Server, QStringLiteral("服务器出错（%1）").arg(n), answer);
    return Failed(DavError::Refused, QStringLiteral("服务器不接受（%1 %2）").arg(n).arg(answer.strReason),
                  answer);
}

/// The UID and the kind ("VTODO") of the first component of an iCalendar text.
bool ReadUid(const QByteArray& data, QString& uid, QString& kind)
{
    icalcomponent* calendar = icalparser_parse_string(data.constData());
    if (!calendar)
        return false;
    icalcomponent* component = icalcomponent_isa(calendar) == ICAL_VCALENDAR_COMPONENT
                                   ? icalcomponent_get_first_real_component(calendar)
                                   : calendar;
    if (component && icalcomponent_get_uid(component)) {
        uid = QString::fromUtf8(icalcomponent_get_uid(component));
        kind = QString::fromLatin1(icalcomponent_kind_to_string(icalcomponent_isa(component)));
    }
    icalcomponent_free(calendar);
    return !uid.isEmpty();
}

QString ParentOf(const QString& href)
{
    return href.left(href.lastIndexOf(u'/', href.size() - 2) + 1);
}

} // namespace

struct CCalDavClient::Impl
{
    DavAccount account;
    std::chrono::milliseconds timeout;
    /// Made on the first request, so that it lives on the thread that uses the client (a client
    /// may be made on one thread and handed to the sync's worker).
    std::unique_ptr<IHttpSession> session;
    QUrl base; ///< scheme, host and port every href is resolved against

    QUrl Resolve(const QString& href) const { return base.resolved(QUrl::fromEncoded(href.toUtf8())); }

    Answer Send(const QByteArray& verb, const QUrl& url, const QByteArray& body,
                const QList<std::pair<QByteArray, QByteArray>>& headers = {})
    {
        HttpRequest request;
        request.verb = verb;
        request.url = url;
        request.body = body;
        request.timeout = timeout;
        request.trustedFingerprint = account.trustedFingerprint;
        // Sent with every request: waiting for a 401 first would double every round trip.
        request.headers.emplaceBack("Authorization",
                                    "Basic " + (account.strUser + u':' + account.strPassword).toUtf8().toBase64());
        if (!body.isEmpty() && verb != "PUT")
            request.headers.emplaceBack("Content-Type", "application/xml; charset=utf-8");
        request.headers += headers;

        const QString host =
            url.host() + (url.port() > 0 ? QStringLiteral(":%1").arg(url.port()) : QString());
        if (!session) {
            const auto create = Modules::Resolve<HttpExchange::CreateSession>(HttpExchange::kModule,
                                                                              HttpExchange::kCreateSession);
            if (!create) {
                Answer answer;
                answer.failure =
                    Failed(DavError::Network, QStringLiteral("缺少本软件的网络模块 %1，无法连接服务器 %2")
                                                  .arg(QLatin1String(HttpExchange::kModule), host));
                return answer;
            }
            session.reset(create());
        }
        const HttpAnswer reply = session->Exchange(request);

        Answer answer;
        answer.nStatus = reply.nStatus;
        answer.strReason = reply.strReason;
        answer.body = reply.body;
        answer.etag = reply.etag;
        answer.location = reply.location;
        using Transport = HttpAnswer::Transport;
        if (reply.bTimedOut) {
            answer.failure = Failed(DavError::Timeout, QStringLiteral("服务器 %1 没有及时回答").arg(host));
        } else if (!reply.untrustedFingerprint.isEmpty()) {
            answer.failure =
                Failed(DavError::Certificate, QStringLiteral("服务器 %1 的证书不受系统信任").arg(host));
            answer.failure.certificateFingerprint = reply.untrustedFingerprint;
        } else if (answer.nStatus == 0 || reply.transport != Transport::None) {
            // Also an answer cut off in the middle: its status came, its body did not.
            QString message;
            if (reply.transport == Transport::ConnectionRefused)
                message = QStringLiteral("服务器 %1 拒绝连接").arg(host);
            else if (reply.transport == Transport::HostNotFound)
                message = QStringLiteral("找不到服务器 %1").arg(url.host());
            else if (reply.transport == Transport::Canceled || reply.transport == Transport::TimedOut)
                message = QStringLiteral("服务器 %1 没有及时回答").arg(host);
            else
                message = QStringLiteral("与服务器 %1 的连接中断：%2").arg(host, reply.strError);
            answer.failure = Failed(
                reply.transport == Transport::TimedOut ? DavError::Timeout : DavError::Network, message);
        }
        return answer;
    }

    /// A PROPFIND or REPORT that must come back as a multistatus.
    DavResult Ask(const QByteArray& verb, const QString& href, const QByteArray& depth,
                  const QByteArray& body, DavMultistatus& out)
    {
        const Answer answer = Send(verb, Resolve(href), body, {{"Depth", depth}});
        // Reading the account's own collections: a bare refusal means the server does not take
        // this user, whatever code it uses for that; a named precondition is about the request.
        if (answer.nStatus == 403 && DavXml::ParseError(answer.body).isEmpty())
            return Failed(DavError::Auth, QStringLiteral("用户名或密码不对"), answer);
        if (answer.nStatus != 207)
            return answer.nStatus / 100 == 2 ? NotCalDav(answer) : Judge(answer);
        out = DavXml::ParseMultistatus(answer.body);
        return out.bValid ? DavResult() : NotCalDav(answer);
    }

    /// PROPFIND depth 0 for the current user's principal at \a url, following redirects (the
    /// /.well-known address is one); sets the base to the host that answered.
    DavResult FindPrincipal(QUrl url, QString& principal)
    {
        const QByteArray body = PropfindBody(QStringLiteral("<D:current-user-principal/>"));
        for (int nHop = 0;; ++nHop) {
            const Answer answer = Send("PROPFIND", url, body, {{"Depth", "0"}});
            const QUrl next = url.resolved(QUrl::fromEncoded(answer.location));
            // Never from TLS to plain text: the password goes with every request.
            if (answer.nStatus / 100 == 3 && !answer.location.isEmpty() && nHop < kMaxRedirects &&
                !(url.scheme() == u"https" && next.scheme() != u"https")) {
                url = next;
                continue;
            }
            // An address with no calendar server behind it answers in many ways; all mean the same.
            if (answer.nStatus != 207) {
                const DavResult result = Judge(answer);
                return result.error == DavError::NotFound || result.error == DavError::Refused ||
                               answer.nStatus == 501 || answer.nStatus / 100 == 2
                           ? NotCalDav(answer)
                           : result;
            }
            const DavMultistatus status = DavXml::ParseMultistatus(answer.body);
            for (const DavResponse& response : status.responses)
                if (const auto it = response.props.find(QStringLiteral("current-user-principal"));
                    it != response.props.end() && !it->hrefs.isEmpty())
                    principal = it->hrefs.first();
            if (principal.isEmpty())
                return NotCalDav(answer);
            base = url.adjusted(QUrl::RemovePath | QUrl::RemoveQuery | QUrl::RemoveFragment);
            return {};
        }
    }

    DavResult ListCalendars(const QString& home, QList<DavCalendar>& calendars)
    {
        DavMultistatus status;
        const DavResult result =
            Ask("PROPFIND", home, "1",
                PropfindBody(
                    QStringLiteral("<D:resourcetype/><D:displayname/><C:supported-calendar-component-set/>"
                                   "<D:supported-report-set/>")),
                status);
        if (!result.Ok())
            return result;
        for (const DavResponse& response : status.responses) {
            if (!response.props.value(QStringLiteral("resourcetype"))
                     .names.contains(QStringLiteral("calendar")))
                continue;
            DavCalendar calendar;
            calendar.strHref = response.strHref.endsWith(u'/') ? response.strHref : response.strHref + u'/';
            calendar.strName = response.props.value(QStringLiteral("displayname")).strText.trimmed();
            if (calendar.strName.isEmpty())
                calendar.strName = QUrl::fromPercentEncoding(calendar.strHref.section(u'/', -2, -2).toUtf8());
            // A calendar that names no components takes them all.
            const auto comps = response.props.find(QStringLiteral("supported-calendar-component-set"));
            const bool bAll = comps == response.props.end();
            calendar.bTodos = bAll || comps->names.contains(QStringLiteral("VTODO"));
            calendar.bEvents = bAll || comps->names.contains(QStringLiteral("VEVENT"));
            calendar.bSyncToken = response.props.value(QStringLiteral("supported-report-set"))
                                      .names.contains(QStringLiteral("sync-collection"));
            calendars << calendar;
        }
        return {};
    }

    /// Where the calendar holding \a href keeps an item with the UID of \a data: the server said
    /// no-uid-conflict without naming the href.
    QString FindUid(const QString& href, const QByteArray& data)
    {
        QString uid, kind;
        if (!ReadUid(data, uid, kind))
            return {};
        const QByteArray body =
            QStringLiteral("<?xml version=\"1.0\" encoding=\"utf-8\"?>"
                           "<C:calendar-query xmlns:D=\"DAV:\" xmlns:C=\"urn:ietf:params:xml:ns:caldav\">"
                           "<D:prop><D:getetag/></D:prop><C:filter><C:comp-filter name=\"VCALENDAR\">"
                           "<C:comp-filter name=\"%1\"><C:prop-filter name=\"UID\">"
                           "<C:text-match collation=\"i;octet\">%2</C:text-match>"
                           "</C:prop-filter></C:comp-filter></C:comp-filter></C:filter></C:calendar-query>")
                .arg(DavXml::Escaped(kind), DavXml::Escaped(uid))
                .toUtf8();
        DavMultistatus status;
        if (!Ask("REPORT", ParentOf(href), "1", body, status).Ok())
            return {};
        // text-match is a substring match: only an equal UID counts, so fetch and compare.
        QStringList candidates;
        for (const DavResponse& response : status.responses)
            if (response.strHref != href && response.props.contains(QStringLiteral("getetag")))
                candidates << response.strHref;
        QList<DavEntry> entries;
        if (!candidates.isEmpty() && Fetch(ParentOf(href), candidates, entries).Ok())
            for (const DavEntry& entry : std::as_const(entries)) {
                QString other, otherKind;
                if (ReadUid(entry.data, other, otherKind) && other == uid)
                    return entry.strHref;
            }
        return {};
    }

    DavResult Fetch(const QString& calendar, const QStringList& hrefs, QList<DavEntry>& out)
    {
        for (qsizetype nFrom = 0; nFrom < hrefs.size(); nFrom += kMultigetBatch) {
            QString list;
            for (const QString& href : hrefs.mid(nFrom, kMultigetBatch))
                list += QStringLiteral("<D:href>%1</D:href>").arg(DavXml::Escaped(href));
            const QByteArray body =
                QStringLiteral(
                    "<?xml version=\"1.0\" encoding=\"utf-8\"?>"
                    "<C:calendar-multiget xmlns:D=\"DAV:\" xmlns:C=\"urn:ietf:params:xml:ns:caldav\">"
                    "<D:prop><D:getetag/><C:calendar-data/></D:prop>%1</C:calendar-multiget>")
                    .arg(list)
                    .toUtf8();
            DavMultistatus status;
            if (const DavResult result = Ask("REPORT", calendar, "1", body, status); !result.Ok())
                return result;
            for (const DavResponse& response : std::as_const(status.responses)) {
                const auto etag = response.props.find(QStringLiteral("getetag"));
                const auto data = response.props.find(QStringLiteral("calendar-data"));
                if (etag != response.props.end() && data != response.props.end())
                    out << DavEntry{response.strHref, etag->strText.trimmed().toUtf8(),
                                    data->strText.toUtf8()};
            }
        }
        return {};
    }
};

CCalDavClient::CCalDavClient(DavAccount account, std::chrono::milliseconds timeout)
    : d(std::make_unique<Impl>())
{
    d->account = std::move(account);
    d->timeout = timeout;
    QUrl server = d->account.server;
    if (server.scheme().isEmpty())
        server = QUrl::fromUserInput(server.toString());
    d->base = server.adjusted(QUrl::RemovePath | QUrl::RemoveQuery | QUrl::RemoveFragment);
}

CCalDavClient::~CCalDavClient() = default;

const DavAccount& CCalDavClient::Account() const
{
    return d->account;
}

DavResult CCalDavClient::Discover(DavDiscovery& out)
{
    out = {};
    QUrl given = d->account.server;
    if (given.scheme().isEmpty())
        given = QUrl::fromUserInput(given.toString());
    if (given.path().isEmpty())
        given.setPath(QStringLiteral("/"));
    // The well-known address first; where the server has none, the address as given.
    DavResult result =
        d->FindPrincipal(given.resolved(QUrl(QStringLiteral("/.well-known/caldav"))), out.strPrincipal);
    if (result.error == DavError::NotCalDav)
        result = d->FindPrincipal(given, out.strPrincipal);
    if (!result.Ok())
        return result;
    out.base = d->base;

    DavMultistatus status;
    result = d->Ask("PROPFIND", out.strPrincipal, "0", PropfindBody(QStringLiteral("<C:calendar-home-set/>")),
                    status);
    if (!result.Ok())
        return result;
    for (const DavResponse& response : std::as_const(status.responses))
        if (const auto it = response.props.find(QStringLiteral("calendar-home-set"));
            it != response.props.end() && !it->hrefs.isEmpty())
            out.strHome = it->hrefs.first();
    if (out.strHome.isEmpty())
        return NotCalDav({});
    return d->ListCalendars(out.strHome, out.calendars);
}

DavResult CCalDavClient::MakeCalendar(const QString& home, const QString& name, bool todos, QString& href)
{
    // A fresh path segment: the display name may hold anything, the path should not.
    const QString path = (home.endsWith(u'/') ? home : home + u'/') +
                         QUuid::createUuid().toString(QUuid::WithoutBraces) + u'/';
    const QByteArray body =
        QStringLiteral(
            "<?xml version=\"1.0\" encoding=\"utf-8\"?>"
            "<C:mkcalendar xmlns:D=\"DAV:\" xmlns:C=\"urn:ietf:params:xml:ns:caldav\"><D:set><D:prop>"
            "<D:displayname>%1</D:displayname><C:supported-calendar-component-set>"
            "<C:comp name=\"%2\"/></C:supported-calendar-component-set></D:prop></D:set></C:mkcalendar>")
            .arg(DavXml::Escaped(name), todos ? QStringLiteral("VTODO") : QStringLiteral("VEVENT"))
            .toUtf8();
    const DavResult result = Judge(d->Send("MKCALENDAR", d->Resolve(path), body));
    if (result.Ok())
        href = path;
    return result;
}

DavResult CCalDavClient::SyncCollection(const QString& calendar, const QString& token, DavChanges& out)
{
    out = {};
    const QByteArray body =
        QStringLiteral("<?xml version=\"1.0\" encoding=\"utf-8\"?>"
                       "<D:sync-collection xmlns:D=\"DAV:\"><D:sync-token>%1</D:sync-token>"
                       "<D:sync-level>1</D:sync-level><D:prop><D:getetag/></D:prop></D:sync-collection>")
            .arg(DavXml::Escaped(token))
            .toUtf8();
    const Answer answer = d->Send("REPORT", d->Resolve(calendar), body, {{"Depth", "0"}});
    if ((answer.nStatus == 403 || answer.nStatus == 409) &&
        DavXml::ParseError(answer.body).contains(QStringLiteral("valid-sync-token")))
        return Failed(DavError::TokenInvalid, QStringLiteral("服务器不再认得上次的同步标记"), answer);
    if (answer.nStatus != 207)
        return answer.nStatus / 100 == 2 ? NotCalDav(answer) : Judge(answer);
    const DavMultistatus status = DavXml::ParseMultistatus(answer.body);
    if (!status.bValid)
        return NotCalDav(answer);
    for (const DavResponse& response : status.responses) {
        if (response.nStatus == 404 || response.nStatus == 410)
            out.removed << response.strHref;
        else if (const auto etag = response.props.find(QStringLiteral("getetag"));
                 etag != response.props.end())
            out.changed << DavEntry{response.strHref, etag->strText.trimmed().toUtf8(), {}};
    }
    out.strToken = status.strSyncToken;
    return {};
}

DavResult CCalDavClient::ListEtags(const QString& calendar, QList<DavEntry>& out)
{
    out.clear();
    DavMultistatus status;
    const DavResult result = d->Ask("PROPFIND", calendar, "1",
                                    PropfindBody(QStringLiteral("<D:getetag/><D:resourcetype/>")), status);
    if (!result.Ok())
        return result;
    for (const DavResponse& response : std::as_const(status.responses)) {
        const auto etag = response.props.find(QStringLiteral("getetag"));
        if (etag != response.props.end() && !response.props.value(QStringLiteral("resourcetype"))
                                                 .names.contains(QStringLiteral("collection")))
            out << DavEntry{response.strHref, etag->strText.trimmed().toUtf8(), {}};
    }
    return {};
}

DavResult CCalDavClient::Multiget(const QString& calendar, const QStringList& hrefs, QList<DavEntry>& out)
{
    out.clear();
    return d->Fetch(calendar, hrefs, out);
}

DavResult CCalDavClient::Put(const QString& href, const QByteArray& data, const QByteArray& ifMatch,
                             QByteArray& newEtag)
{
    const Answer answer =
        d->Send("PUT", d->Resolve(href), data,
                {{"Content-Type", "text/calendar; charset=utf-8"},
                 ifMatch.isEmpty() ? std::pair<QByteArray, QByteArray>("If-None-Match", "*")
                                   : std::pair<QByteArray, QByteArray>("If-Match", ifMatch)});
    if (answer.nStatus == 409 || answer.nStatus == 403) {
        QStringList hrefs;
        if (DavXml::ParseError(answer.body, &hrefs).contains(QStringLiteral("no-uid-conflict"))) {
            DavResult result =
                Failed(DavError::UidConflict, QStringLiteral("服务器上已有同一 UID 的一项"), answer);
            result.strExistingHref = hrefs.isEmpty() ? d->FindUid(href, data) : hrefs.first();
            return result;
        }
    }
    DavResult result = Judge(answer);
    if (!result.Ok())
        return result;
    newEtag = answer.etag;
    if (newEtag.isEmpty()) {
        // The server changed what we sent (or keeps no strong ETag for it): ask what it keeps.
        DavMultistatus status;
        result = d->Ask("PROPFIND", href, "0", PropfindBody(QStringLiteral("<D:getetag/>")), status);
        for (const DavResponse& response : std::as_const(status.responses))
            newEtag = response.props.value(QStringLiteral("getetag")).strText.trimmed().toUtf8();
        if (result.Ok() && newEtag.isEmpty())
            result = NotCalDav({});
    }
    return result;
}

DavResult CCalDavClient::Delete(const QString& href, const QByteArray& ifMatch)
{
    QList<std::pair<QByteArray, QByteArray>> headers;
    if (!ifMatch.isEmpty())
        headers.append({"If-Match", ifMatch});
    const DavResult result = Judge(d->Send("DELETE", d->Resolve(href), {}, headers));
    return result.error == DavError::NotFound ? DavResult() : result;
}
