#include "exchange/IcsZones.h"

#include <QDate>
#include <QTimeZone>

namespace {

// A zone's onsets are expanded by libical year by year from the observance's start; rules other
// than yearly (an hourly rule from the year 1) would keep it busy for hours, and no zone
// database writes them, so a file's zone with one is not used.
bool IsSafeObservance(icalcomponent* observance)
{
    icalproperty* start = icalcomponent_get_first_property(observance, ICAL_DTSTART_PROPERTY);
    if (!start || !icalcomponent_get_first_property(observance, ICAL_TZOFFSETTO_PROPERTY) ||
        !icalcomponent_get_first_property(observance, ICAL_TZOFFSETFROM_PROPERTY))
        return false;
    const icaltimetype tt = icalproperty_get_dtstart(start);
    if (!QDate(tt.year, tt.month, tt.day).isValid() || tt.year < 1000)
        return false;
    for (icalproperty* p = icalcomponent_get_first_property(observance, ICAL_RRULE_PROPERTY); p;
         p = icalcomponent_get_next_property(observance, ICAL_RRULE_PROPERTY)) {
        const icalrecurrencetype rule = icalproperty_get_rrule(p);
        if (rule.freq != ICAL_YEARLY_RECURRENCE || rule.interval < 1 || rule.rscale)
            return false;
    }
    return true;
}

bool IsSafeZone(icalcomponent* vtimezone)
{
    if (!icalcomponent_get_first_property(vtimezone, ICAL_TZID_PROPERTY))
        return false;
    int nObservances = 0;
    for (icalcomponent* c = icalcomponent_get_first_component(vtimezone, ICAL_ANY_COMPONENT); c;
         c = icalcomponent_get_next_component(vtimezone, ICAL_ANY_COMPONENT)) {
        const icalcomponent_kind kind = icalcomponent_isa(c);
        if (kind != ICAL_XSTANDARD_COMPONENT && kind != ICAL_XDAYLIGHT_COMPONENT)
            continue;
        if (!IsSafeObservance(c))
            return false;
        ++nObservances;
    }
    return nObservances > 0;
}

// A zone name libical may look up in the system's zone files: a plain path below them.
bool IsPlainZoneName(const QByteArray& tzid)
{
    if (tzid.isEmpty() || tzid.size() > 64 || tzid.contains("..") || tzid.startsWith('/'))
        return false;
    for (char c : tzid) {
        if (!((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '/' ||
              c == '_' || c == '-' || c == '+'))
            return false;
    }
    return true;
}

} // namespace

IcsLocalZone LocalZone()
{
    const QByteArray id = QTimeZone::systemTimeZoneId();
    IcsLocalZone local;
    if (!IsPlainZoneName(id) || id == "UTC" || id.startsWith("UTC+") || id.startsWith("UTC-"))
        return local;
    icaltimezone* zone = icaltimezone_get_builtin_timezone(id.constData());
    if (!zone || !icaltimezone_get_component(zone))
        return local;
    local.tzid = id;
    local.zone = zone;
    return local;
}

IcalComponentPtr LocalZoneComponent(const IcsLocalZone& local)
{
    if (!local.zone)
        return nullptr;
    IcalComponentPtr vtimezone(icalcomponent_new_clone(icaltimezone_get_component(local.zone)));
    // libical names its zones with a prefix of its own; other programs know them by the plain name.
    icalproperty* tzid = icalcomponent_get_first_property(vtimezone.get(), ICAL_TZID_PROPERTY);
    icalproperty_set_tzid(tzid, local.tzid.constData());
    for (icalcomponent* c = icalcomponent_get_first_component(vtimezone.get(), ICAL_ANY_COMPONENT); c;
         c = icalcomponent_get_next_component(vtimezone.get(), ICAL_ANY_COMPONENT)) {
        icalproperty* rrule = icalcomponent_get_first_property(c, ICAL_RRULE_PROPERTY);
        icalproperty* from = icalcomponent_get_first_property(c, ICAL_TZOFFSETFROM_PROPERTY);
        if (!rrule || !from)
            continue;
        icalrecurrencetype rule = icalproperty_get_rrule(rrule);
        if (icaltime_is_null_time(rule.until) || icaltime_is_utc(rule.until) || rule.until.is_date)
            continue;
        // UNTIL names the last onset in the wall time before it, that is at the offset it changes from.
        rule.until =
            icaltime_add(rule.until, icaldurationtype_from_int(-icalproperty_get_tzoffsetfrom(from)));
        rule.until.zone = icaltimezone_get_utc_timezone();
        icalproperty_set_rrule(rrule, rule);
    }
    return vtimezone;
}

CIcsZones::~CIcsZones()
{
    for (auto& [tzid, zone] : m_zones) {
        if (zone.bOwned)
            icaltimezone_free(zone.zone, 1);
    }
}

void CIcsZones::Add(IcalComponentPtr vtimezone)
{
    if (!vtimezone || icalcomponent_isa(vtimezone.get()) != ICAL_VTIMEZONE_COMPONENT ||
        !IsSafeZone(vtimezone.get()))
        return;
    const QByteArray tzid(
        icalproperty_get_tzid(icalcomponent_get_first_property(vtimezone.get(), ICAL_TZID_PROPERTY)));
    if (tzid.isEmpty() || Has(tzid))
        return;
    icaltimezone* zone = icaltimezone_new();
    if (!icaltimezone_set_component(zone, vtimezone.get())) {
        icaltimezone_free(zone, 1);
        return;
    }
    vtimezone.release(); // the zone owns it now
    m_zones[tzid] = Zone{zone, true};
}

icaltimezone* CIcsZones::Find(const QByteArray& tzid)
{
    const auto found = m_zones.find(tzid);
    if (found != m_zones.end())
        return found->second.zone;
    // Some programs put a path of their own before the zone's name ("/example.org/2005/Asia/Shanghai").
    icaltimezone* zone = nullptr;
    for (qsizetype from = 0; !zone && from >= 0 && from < tzid.size();) {
        const QByteArray name = tzid.mid(from);
        if (IsPlainZoneName(name))
            zone = icaltimezone_get_builtin_timezone(name.constData());
        const qsizetype slash = tzid.indexOf('/', from);
        from = slash < 0 ? -1 : slash + 1;
    }
    m_zones[tzid] = Zone{zone, false}; // a miss is remembered too
    return zone;
}
