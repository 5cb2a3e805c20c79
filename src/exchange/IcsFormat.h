#pragma once

#include "exchange/ExchangeItem.h"

#include <QString>
#include <memory>

class QIODevice;

/// Writes items as one iCalendar stream (VCALENDAR with the local time zone's VTIMEZONE), one
/// component at a time, so that a file of any size never sits whole in memory.
class CIcsWriter
{
public:
    explicit CIcsWriter(QIODevice* device);
    ~CIcsWriter();
    CIcsWriter(const CIcsWriter&) = delete;
    CIcsWriter& operator=(const CIcsWriter&) = delete;

    /// The calendar's header and the time zone. False on a write error (ErrorString()).
    bool Begin();
    enum class Written
    {
        Item,    ///< the item's component is in the stream
        Refused, ///< the item holds nothing a calendar file can say (ErrorString() says why); the stream goes
                 ///< on
        Failed,  ///< a write error (ErrorString()): the stream is broken
    };
    Written Write(const ExchangeItem& item);
    /// Closes the calendar.
    bool Finish();
    QString ErrorString() const;

private:
    struct Impl;
    std::unique_ptr<Impl> d;
};

/// Reads an iCalendar stream written by any program, one top-level component at a time, and
/// gives what the planner can hold as items and the rest as left-out entries.
class CIcsReader
{
public:
    explicit CIcsReader(QIODevice* device);
    ~CIcsReader();
    CIcsReader(const CIcsReader&) = delete;
    CIcsReader& operator=(const CIcsReader&) = delete;

    enum class Step
    {
        Item,    ///< \a item holds the next item
        LeftOut, ///< \a leftOut holds a whole component the planner cannot use
        End,     ///< the calendar ended properly
        Failed,  ///< the stream cannot be read on: ErrorString() says what and where ("第 N 行")
    };
    Step Next(ExchangeItem& item, ExchangeLeftOut& leftOut);
    QString ErrorString() const;

private:
    struct Impl;
    std::unique_ptr<Impl> d;
};
