#pragma once

#include "exchange/ExchangeItem.h"
#include "exchange/IcsZones.h"

#include <QDate>
#include <QString>

/// How the planner's items and iCalendar components map onto each other, both ways.
namespace IcsMapping {

/// Our own properties, which make a round trip through the planner exact.
inline constexpr const char* kStateProperty = "X-KESTRUM-STATE";
inline constexpr const char* kRingProperty = "X-KESTRUM-RING";
inline constexpr const char* kLunarProperty = "X-KESTRUM-LUNAR";
/// The last year libical writes dates of (it writes zeros after it).
inline constexpr int kLastYear = 3000;
/// How many dates a lunar holiday is written on.
inline constexpr int kLunarOccurrences = 30;

struct WriteContext
{
    IcsLocalZone local;
    icaltimetype stamp{}; ///< DTSTAMP, in UTC
    QDate today;          ///< lunar holidays are written from this day on
};

/// The component of \a item; null with \a error set when the item holds no usable date.
IcalComponentPtr ToComponent(const ExchangeItem& item, const WriteContext& context, QString& error);

struct ReadContext
{
    CIcsZones* pZones = nullptr;
    QByteArray localTzid; ///< times in this zone are taken as they stand
    QDate today;          ///< the day of a to-do that has no date
};

/// The item \a component (a VEVENT or VTODO) describes; false with \a reason when the planner
/// cannot hold it.
bool FromComponent(icalcomponent* component, const ReadContext& context, ExchangeItem& item, QString& reason);

/// \a component as iCalendar text, ready to be written out.
QByteArray ComponentText(icalcomponent* component);

/// The key of the lunar holidays of \a date, as the day view looks them up; empty outside the table.
HolidayKey LunarKey(const QDate& date);

} // namespace IcsMapping
