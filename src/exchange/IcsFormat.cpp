#include "exchange/IcsFormat.h"

#include "app/Clock.h"
#include "exchange/IcsMapping.h"
#include "exchange/IcsSplitter.h"
#include "exchange/IcsZones.h"

#include <QIODevice>

// ---- CIcsWriter -----------------------------------------------------------------------------

struct CIcsWriter::Impl
{
    QIODevice* pDevice = nullptr;
    IcsMapping::WriteContext context;
    QByteArray calendarEnd; ///< the calendar's END line, as libical writes it
    QString strError;

    bool Put(const QByteArray& bytes)
    {
        if (pDevice && pDevice->write(bytes) == bytes.size())
            return true;
        strError = QStringLiteral("写入日历文件失败：%1").arg(pDevice ? pDevice->errorString() : QString());
        return false;
    }
};

CIcsWriter::CIcsWriter(QIODevice* device) : d(std::make_unique<Impl>())
{
    d->pDevice = device;
}

CIcsWriter::~CIcsWriter() = default;

bool CIcsWriter::Begin()
{
    d->context.local = LocalZone();
    d->context.stamp = icaltime_from_timet_with_zone(time_t(Clock::now().toSecsSinceEpoch()), 0,
                                                     icaltimezone_get_utc_timezone());
    d->context.today = Clock::today();

    // The calendar's frame comes from libical too; it is cut at its END line so that the
    // components can be written one at a time in between.
    IcalComponentPtr calendar(icalcomponent_new_vcalendar());
    icalcomponent_add_property(calendar.get(), icalproperty_new_version("2.0"));
    icalcomponent_add_property(calendar.get(), icalproperty_new_prodid("-//Kestrum//Kestrum//ZH"));
    icalcomponent_add_property(calendar.get(), icalproperty_new_calscale("GREGORIAN"));
    const QByteArray frame = IcsMapping::ComponentText(calendar.get());
    const qsizetype end = frame.lastIndexOf("END:VCALENDAR");
    d->calendarEnd = frame.mid(end);
    if (!d->Put(frame.left(end)))
        return false;
    if (IcalComponentPtr zone = LocalZoneComponent(d->context.local))
        return d->Put(IcsMapping::ComponentText(zone.get()));
    return true;
}

CIcsWriter::Written CIcsWriter::Write(const ExchangeItem& item)
{
    IcalComponentPtr component = IcsMapping::ToComponent(item, d->context, d->strError);
    if (!component)
        return Written::Refused;
    return d->Put(IcsMapping::ComponentText(component.get())) ? Written::Item : Written::Failed;
}

bool CIcsWriter::Finish()
{
    return d->Put(d->calendarEnd);
}

QString CIcsWriter::ErrorString() const
{
    return d->strError;
}

// ---- CIcsReader -----------------------------------------------------------------------------

struct CIcsReader::Impl
{
    QIODevice* pDevice = nullptr;
    CIcsSplitter splitter;
    CIcsZones zones;
    IcsMapping::ReadContext context;
    bool bStarted = false;
    bool bFailed = false;
    QString strError;

    explicit Impl(QIODevice* device) : pDevice(device), splitter(device) {}

    static IcalComponentPtr Parse(const IcsChunk& chunk)
    {
        IcalComponentPtr component(icalparser_parse_string(chunk.text.constData()));
        // The parser wraps several components, or none it knows, in an XROOT of its own.
        if (component && icalcomponent_isa(component.get()) == ICAL_XROOT_COMPONENT)
            return nullptr;
        return component;
    }

    /// Names a left-out component by its summary, else its UID, else what it is.
    static ExchangeLeftOut LeftOutOf(const IcsChunk& chunk, icalcomponent* component, const QString& reason)
    {
        ExchangeLeftOut leftOut;
        leftOut.nLine = chunk.nLine;
        leftOut.strReason = reason;
        if (component) {
            leftOut.strUid = QString::fromUtf8(icalcomponent_get_uid(component)).trimmed();
            if (icalproperty* summary = icalcomponent_get_first_property(component, ICAL_SUMMARY_PROPERTY))
                leftOut.strName = QString::fromUtf8(icalproperty_get_summary(summary));
        }
        if (leftOut.strName.isEmpty())
            leftOut.strName = leftOut.strUid.isEmpty() ? QString::fromLatin1(chunk.name) : leftOut.strUid;
        return leftOut;
    }

    // A time zone may follow the events that use it. A file can be read twice: the first time
    // only for its zones.
    void ReadZonesAhead()
    {
        if (!pDevice || pDevice->isSequential())
            return;
        const qint64 start = pDevice->pos();
        CIcsSplitter scan(pDevice);
        IcsChunk chunk;
        while (scan.Next(chunk) == CIcsSplitter::Step::Component) {
            if (chunk.name == "VTIMEZONE")
                zones.Add(Parse(chunk));
        }
        pDevice->seek(start);
    }
};

CIcsReader::CIcsReader(QIODevice* device) : d(std::make_unique<Impl>(device)) {}

CIcsReader::~CIcsReader() = default;

CIcsReader::Step CIcsReader::Next(ExchangeItem& item, ExchangeLeftOut& leftOut)
{
    if (d->bFailed)
        return Step::Failed;
    if (!d->bStarted) {
        d->bStarted = true;
        d->context.pZones = &d->zones;
        d->context.localTzid = LocalZone().tzid;
        d->context.today = Clock::today();
        d->ReadZonesAhead();
    }
    for (;;) {
        IcsChunk chunk;
        switch (d->splitter.Next(chunk)) {
        case CIcsSplitter::Step::End:
            return Step::End;
        case CIcsSplitter::Step::Failed:
            d->bFailed = true;
            d->strError = d->splitter.ErrorString();
            return Step::Failed;
        case CIcsSplitter::Step::Component:
            break;
        }
        if (chunk.name == "VTIMEZONE") {
            d->zones.Add(Impl::Parse(chunk)); // read ahead already, unless the stream cannot go back
            continue;
        }
        IcalComponentPtr component = Impl::Parse(chunk);
        const icalcomponent_kind kind = component ? icalcomponent_isa(component.get()) : ICAL_NO_COMPONENT;
        if (kind == ICAL_VEVENT_COMPONENT || kind == ICAL_VTODO_COMPONENT) {
            QString reason;
            if (IcsMapping::FromComponent(component.get(), d->context, item, reason))
                return Step::Item;
            leftOut = Impl::LeftOutOf(chunk, component.get(), reason);
            return Step::LeftOut;
        }
        leftOut = Impl::LeftOutOf(
            chunk, component.get(),
            component ? QStringLiteral("计划不保存这种日历内容（%1）").arg(QString::fromLatin1(chunk.name))
                      : QStringLiteral("内容无法解析"));
        return Step::LeftOut;
    }
}

QString CIcsReader::ErrorString() const
{
    return d->strError;
}
