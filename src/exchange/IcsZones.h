#pragma once

#include <QByteArray>
#include <libical/ical.h>
#include <map>
#include <memory>

struct IcalComponentFree
{
    void operator()(icalcomponent* component) const { icalcomponent_free(component); }
};
using IcalComponentPtr = std::unique_ptr<icalcomponent, IcalComponentFree>;

/// The zone the planner's local times are written in: the system's zone when libical knows it
/// by that name, otherwise none, and the times are written in UTC.
struct IcsLocalZone
{
    QByteArray tzid;              ///< empty: write UTC times
    icaltimezone* zone = nullptr; ///< libical's zone of that name (not owned)
};

IcsLocalZone LocalZone();

/// The VTIMEZONE of \a local with its TZID set to the zone's plain name and every RRULE's UNTIL
/// in UTC, as RFC 5545 requires and strict readers insist on. Null without a local zone.
IcalComponentPtr LocalZoneComponent(const IcsLocalZone& local);

/// The time zones a calendar file names: its own VTIMEZONEs first, then libical's by name.
class CIcsZones
{
public:
    CIcsZones() = default;
    ~CIcsZones();
    CIcsZones(const CIcsZones&) = delete;
    CIcsZones& operator=(const CIcsZones&) = delete;

    /// Takes a parsed VTIMEZONE; one whose rules could not be worked out safely is dropped.
    void Add(IcalComponentPtr vtimezone);
    bool Has(const QByteArray& tzid) const { return m_zones.count(tzid) > 0; }
    /// Null for a zone neither the file nor libical knows.
    icaltimezone* Find(const QByteArray& tzid);

private:
    struct Zone
    {
        icaltimezone* zone = nullptr;
        bool bOwned = false;
    };
    std::map<QByteArray, Zone> m_zones;
};
