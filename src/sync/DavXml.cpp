#include "DavXml.h"

#include <QUrl>
#include <QXmlStreamReader>

namespace {

const QString kDav = QStringLiteral("DAV:");

bool IsDav(const QXmlStreamReader& xml, QLatin1StringView name)
{
    return xml.namespaceUri() == kDav && xml.name() == name;
}

/// Reads the element the reader stands on to its end, into \a prop.
void ReadProp(QXmlStreamReader& xml, DavProp& prop)
{
    int nDepth = 1;
    bool bInHref = false;
    QString href;
    while (nDepth > 0 && !xml.atEnd()) {
        switch (xml.readNext()) {
        case QXmlStreamReader::StartElement:
            ++nDepth;
            prop.names << xml.name().toString();
            if (const auto name = xml.attributes().value(QLatin1StringView("name")); !name.isEmpty())
                prop.names << name.toString();
            if (IsDav(xml, QLatin1StringView("href"))) {
                bInHref = true;
                href.clear();
            }
            break;
        case QXmlStreamReader::EndElement:
            --nDepth;
            if (bInHref && IsDav(xml, QLatin1StringView("href"))) {
                bInHref = false;
                prop.hrefs << DavXml::PathOf(href.trimmed());
            }
            break;
        case QXmlStreamReader::Characters:
            (bInHref ? href : prop.strText) += xml.text();
            break;
        default:
            break;
        }
    }
}

void ReadPropstat(QXmlStreamReader& xml, DavResponse& response)
{
    QHash<QString, DavProp> props;
    int nStatus = 0;
    while (xml.readNextStartElement()) {
        if (IsDav(xml, QLatin1StringView("prop"))) {
            while (xml.readNextStartElement()) {
                DavProp& prop = props[xml.name().toString()];
                ReadProp(xml, prop);
            }
        } else if (IsDav(xml, QLatin1StringView("status"))) {
            nStatus = DavXml::StatusOf(xml.readElementText());
        } else {
            xml.skipCurrentElement();
        }
    }
    // Properties the server does not have come back under 404: they count as absent.
    if (nStatus / 100 == 2)
        response.props.insert(props);
}

DavResponse ReadResponse(QXmlStreamReader& xml)
{
    DavResponse response;
    while (xml.readNextStartElement()) {
        if (IsDav(xml, QLatin1StringView("href")))
            response.strHref = DavXml::PathOf(xml.readElementText().trimmed());
        else if (IsDav(xml, QLatin1StringView("status")))
            response.nStatus = DavXml::StatusOf(xml.readElementText());
        else if (IsDav(xml, QLatin1StringView("propstat")))
            ReadPropstat(xml, response);
        else
            xml.skipCurrentElement();
    }
    return response;
}

} // namespace

namespace DavXml {

DavMultistatus ParseMultistatus(const QByteArray& body)
{
    DavMultistatus result;
    QXmlStreamReader xml(body);
    if (!xml.readNextStartElement() || !IsDav(xml, QLatin1StringView("multistatus")))
        return result;
    while (xml.readNextStartElement()) {
        if (IsDav(xml, QLatin1StringView("response")))
            result.responses << ReadResponse(xml);
        else if (IsDav(xml, QLatin1StringView("sync-token")))
            result.strSyncToken = xml.readElementText().trimmed();
        else
            xml.skipCurrentElement();
    }
    result.bValid = !xml.hasError();
    return result;
}

QStringList ParseError(const QByteArray& body, QStringList* hrefs)
{
    QXmlStreamReader xml(body);
    if (!xml.readNextStartElement() || !IsDav(xml, QLatin1StringView("error")))
        return {};
    QStringList conditions;
    while (xml.readNextStartElement()) {
        conditions << xml.name().toString();
        DavProp inside;
        ReadProp(xml, inside);
        if (hrefs)
            *hrefs << inside.hrefs;
    }
    return conditions;
}

QString PathOf(const QString& href)
{
    return QUrl(href).path(QUrl::FullyEncoded);
}

int StatusOf(const QString& line)
{
    const QStringList parts = line.simplified().split(u' ');
    return parts.size() >= 2 ? parts.at(1).toInt() : 0;
}

QString Escaped(const QString& text)
{
    return text.toHtmlEscaped();
}

} // namespace DavXml
