#pragma once

// Reading WebDAV answers (RFC 4918 multistatus and error bodies) for the CalDAV client.

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

/// One property as the client needs it: its text (an ETag, a name, calendar data, a token), the
/// hrefs inside it (a principal, a home) and the names below it (resource types, the components
/// a calendar takes, the reports it offers).
struct DavProp
{
    QString strText;
    QStringList hrefs;
    QStringList names; ///< local names of the elements below it, and their "name" attributes
};

struct DavResponse
{
    QString strHref;               ///< as sent, percent-encoded path
    int nStatus = 0;               ///< the response's own status (404 for a removed item), else 0
    QHash<QString, DavProp> props; ///< the properties found (200), by local name
};

struct DavMultistatus
{
    bool bValid = false; ///< the body is a DAV:multistatus
    QList<DavResponse> responses;
    QString strSyncToken;
};

namespace DavXml {
DavMultistatus ParseMultistatus(const QByteArray& body);
/// The preconditions a DAV:error body names (local names, e.g. "no-uid-conflict"), and the hrefs
/// inside them in \a hrefs.
QStringList ParseError(const QByteArray& body, QStringList* hrefs = nullptr);
/// An href as a percent-encoded path, whether the server sent a path or a whole URL.
QString PathOf(const QString& href);
/// "HTTP/1.1 404 Not Found" -> 404
int StatusOf(const QString& line);
/// Text for inside an XML element.
QString Escaped(const QString& text);
} // namespace DavXml
