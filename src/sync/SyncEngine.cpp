// One sync of the planner's tasks and reminders with two calendars of a CalDAV server. What the
// server changed comes in first, then what changed here goes out, found by comparing each item
// with what it was at the last sync (nothing records changes as they are made: another program
// writing the database, or an earlier Kestrum, would slip past such a record). Every write is
// conditional on the ETag last seen, and every item's sync state moves only once the server
// confirmed, so a sync stopped anywhere is finished by the next one.
#include "sync/SyncEngine.h"

#include "app/Clock.h"
#include "exchange/IcsFormat.h"
#include "exchange/IcsMapping.h"
#include "exchange/IcsZones.h"
#include "store/DataStore.h"
#include "store/UidBindings.h"

#include <QBuffer>
#include <QCryptographicHash>
#include <QHash>
#include <QMultiHash>
#include <QSet>
#include <algorithm>
#include <cstdlib>
#include <optional>

namespace {

// Items fetched per calendar-multiget.
constexpr int kBatch = 50;

// Thrown when the sync cannot go on (the network, the server, the database, a cancel); what is
// done stays done.
struct Stop
{
};

QString NameOf(const ExchangeItem& item)
{
    return item.kind == ExchangeKind::Task ? item.task.strContent : item.reminder.strTitle;
}

UidBindings::Identity IdentityOf(const ExchangeItem& item)
{
    return item.kind == ExchangeKind::Task ? UidBindings::OfTask(item.task.strDate, item.task.strContent)
                                           : UidBindings::OfReminder(item.reminder);
}

// A file name for the UID: as it stands when it is plain, else a digest of it (a UID may hold
// any character, a path segment may not).
QString FileName(const QString& uid)
{
    bool plain = !uid.isEmpty() && uid.size() <= 120;
    for (const QChar c : uid)
        plain = plain && c.unicode() < 128 &&
                (c.isLetterOrNumber() || c == u'-' || c == u'_' || c == u'.' || c == u'@');
    return (plain ? uid
                  : QString::fromLatin1(
                        QCryptographicHash::hash(uid.toUtf8(), QCryptographicHash::Sha1).toHex())) +
           QStringLiteral(".ics");
}

// The item a calendar object holds (its first VTODO or VEVENT the planner can hold); false when
// it holds none.
bool ReadItem(const QByteArray& text, ExchangeItem& item)
{
    QByteArray data = text;
    QBuffer buffer(&data);
    buffer.open(QIODevice::ReadOnly);
    CIcsReader reader(&buffer);
    ExchangeLeftOut leftOut;
    for (;;) {
        switch (reader.Next(item, leftOut)) {
        case CIcsReader::Step::Item:
            return item.kind != ExchangeKind::Holiday;
        case CIcsReader::Step::LeftOut:
            continue;
        case CIcsReader::Step::End:
        case CIcsReader::Step::Failed:
            return false;
        }
    }
}

// A calendar object of its own for an item new on the server; empty with \a error when the item
// holds nothing a calendar can say.
QByteArray NewText(const ExchangeItem& item, QString& error)
{
    QByteArray data;
    QBuffer buffer(&data);
    buffer.open(QIODevice::WriteOnly);
    CIcsWriter writer(&buffer);
    if (!writer.Begin() || writer.Write(item) != CIcsWriter::Written::Item || !writer.Finish()) {
        error = writer.ErrorString();
        return {};
    }
    return data;
}

bool IsOwnAlarm(icalcomponent* alarm)
{
    // The alarm the planner writes rings at the start itself; another program's rings earlier.
    icalproperty* trigger = icalcomponent_get_first_property(alarm, ICAL_TRIGGER_PROPERTY);
    if (!trigger)
        return false;
    const icaltriggertype t = icalproperty_get_trigger(trigger);
    return icaltime_is_null_time(t.time) && icaldurationtype_as_int(t.duration) == 0;
}

bool IsOwnProperty(icalproperty* p, bool event)
{
    switch (icalproperty_isa(p)) {
    case ICAL_SUMMARY_PROPERTY:
    case ICAL_DTSTART_PROPERTY:
    case ICAL_DTEND_PROPERTY:
    case ICAL_DURATION_PROPERTY:
    case ICAL_DUE_PROPERTY:
    case ICAL_STATUS_PROPERTY:
    case ICAL_COMPLETED_PROPERTY:
    case ICAL_RRULE_PROPERTY:
    case ICAL_DTSTAMP_PROPERTY:
        return true;
    case ICAL_DESCRIPTION_PROPERTY:
        return event; // a reminder's content; a task has none, another program's note stays
    case ICAL_X_PROPERTY:
        return QByteArray(icalproperty_get_x_name(p)).startsWith("X-KESTRUM-");
    default:
        return false;
    }
}

// The server's calendar object \a serverText with the item's component edited in place: what
// the planner says of the item replaced, every other property, alarm and component kept. Empty
// when the text holds no component of the item to edit; \a error when the item holds nothing a
// calendar can say.
QByteArray EditedText(const QByteArray& serverText, const ExchangeItem& item, QString& error)
{
    IcalComponentPtr calendar(icalparser_parse_string(serverText.constData()));
    if (!calendar || icalcomponent_isa(calendar.get()) != ICAL_VCALENDAR_COMPONENT)
        return {};
    const icalcomponent_kind kind =
        item.kind == ExchangeKind::Task ? ICAL_VTODO_COMPONENT : ICAL_VEVENT_COMPONENT;
    icalcomponent* target = nullptr;
    for (icalcomponent* c = icalcomponent_get_first_component(calendar.get(), kind); c && !target;
         c = icalcomponent_get_next_component(calendar.get(), kind)) {
        if (QString::fromUtf8(icalcomponent_get_uid(c)).trimmed() == item.strUid &&
            !icalcomponent_get_first_property(c, ICAL_RECURRENCEID_PROPERTY))
            target = c;
    }
    if (!target)
        return {};

    IcsMapping::WriteContext context;
    context.local = LocalZone();
    context.stamp = icaltime_from_timet_with_zone(time_t(Clock::now().toSecsSinceEpoch()), 0,
                                                  icaltimezone_get_utc_timezone());
    context.today = Clock::today();
    IcalComponentPtr ours = IcsMapping::ToComponent(item, context, error);
    if (!ours)
        return {};

    const bool event = kind == ICAL_VEVENT_COMPONENT;
    std::vector<icalproperty*> gone;
    for (icalproperty* p = icalcomponent_get_first_property(target, ICAL_ANY_PROPERTY); p;
         p = icalcomponent_get_next_property(target, ICAL_ANY_PROPERTY)) {
        if (IsOwnProperty(p, event))
            gone.push_back(p);
    }
    for (icalproperty* p : gone) {
        icalcomponent_remove_property(target, p);
        icalproperty_free(p);
    }
    std::vector<icalcomponent*> alarms;
    for (icalcomponent* a = icalcomponent_get_first_component(target, ICAL_VALARM_COMPONENT); a;
         a = icalcomponent_get_next_component(target, ICAL_VALARM_COMPONENT)) {
        if (event && IsOwnAlarm(a))
            alarms.push_back(a);
    }
    for (icalcomponent* a : alarms) {
        icalcomponent_remove_component(target, a);
        icalcomponent_free(a);
    }

    std::vector<icalproperty*> moved;
    for (icalproperty* p = icalcomponent_get_first_property(ours.get(), ICAL_ANY_PROPERTY); p;
         p = icalcomponent_get_next_property(ours.get(), ICAL_ANY_PROPERTY)) {
        if (icalproperty_isa(p) != ICAL_UID_PROPERTY)
            moved.push_back(p);
    }
    for (icalproperty* p : moved) {
        icalcomponent_remove_property(ours.get(), p);
        icalcomponent_add_property(target, p);
    }
    std::vector<icalcomponent*> ownAlarms;
    for (icalcomponent* a = icalcomponent_get_first_component(ours.get(), ICAL_VALARM_COMPONENT); a;
         a = icalcomponent_get_next_component(ours.get(), ICAL_VALARM_COMPONENT))
        ownAlarms.push_back(a);
    for (icalcomponent* a : ownAlarms) {
        icalcomponent_remove_component(ours.get(), a);
        icalcomponent_add_component(target, a);
    }
    if (icalproperty* sequence = icalcomponent_get_first_property(target, ICAL_SEQUENCE_PROPERTY))
        icalproperty_set_sequence(sequence, icalproperty_get_sequence(sequence) + 1);

    // A local time needs its zone in the object: a server's text may name other zones only.
    if (!context.local.tzid.isEmpty()) {
        bool present = false;
        for (icalcomponent* z = icalcomponent_get_first_component(calendar.get(), ICAL_VTIMEZONE_COMPONENT);
             z; z = icalcomponent_get_next_component(calendar.get(), ICAL_VTIMEZONE_COMPONENT)) {
            icalproperty* tzid = icalcomponent_get_first_property(z, ICAL_TZID_PROPERTY);
            present = present || (tzid && context.local.tzid == icalproperty_get_tzid(tzid));
        }
        if (!present && event) {
            if (IcalComponentPtr zone = LocalZoneComponent(context.local))
                icalcomponent_add_component(calendar.get(), zone.release());
        }
    }
    return IcsMapping::ComponentText(calendar.get());
}

} // namespace

struct CSyncEngine::Impl
{
    CDataStore& store;
    CCalDavClient& client;
    SyncCalendars calendars;
    std::function<bool()> cancelled;
    SyncReport report;

    QHash<QString, SyncItemState> states;  ///< by UID
    QHash<QString, QString> uidOfHref;     ///< the states' hrefs
    QHash<QString, ExchangeItem> locals;   ///< every task and reminder here, by the UID it goes by
    std::vector<QString> localOrder;       ///< their UIDs in the walk's order
    QMultiHash<QString, QString> unsynced; ///< locals without a state, by their identity
    bool bTablesTaken = false;             ///< what came in changed the planner's tables

    Impl(CDataStore& s, CCalDavClient& c, SyncCalendars cals)
        : store(s), client(c), calendars(std::move(cals))
    {}

    // -- Failures --------------------------------------------------------------------------------

    [[noreturn]] void Fail(const QString& problem, DavError error = DavError::None)
    {
        report.problems << problem;
        if (report.firstError == DavError::None)
            report.firstError = error;
        throw Stop{};
    }

    void Need(bool storeOk)
    {
        if (!storeOk)
            Fail(QStringLiteral("本地数据库无法保存同步信息，同步已停止"));
    }

    /// Runs one request between cancel checks; a failure that no other item can get past stops the sync.
    template <typename Request> DavResult Ask(Request&& request)
    {
        if (cancelled && cancelled())
            Fail(QStringLiteral("同步已中断，下次同步时继续"));
        const DavResult result = request();
        switch (result.error) {
        case DavError::Network:
        case DavError::Timeout:
        case DavError::Server:
        case DavError::Auth:
        case DavError::Certificate:
        case DavError::NotCalDav:
            report.certificateFingerprint = result.certificateFingerprint;
            Fail(result.strMessage.isEmpty() ? QStringLiteral("日历服务器出错（%1）").arg(result.nHttpStatus)
                                             : result.strMessage,
                 result.error);
        default:
            return result;
        }
    }

    void Refuse(const ExchangeItem& item, const DavResult& result)
    {
        report.refused << SyncRefusal{NameOf(item), item.strUid, result.nHttpStatus,
                                      result.strServerAnswer.isEmpty() ? result.strMessage
                                                                       : result.strServerAnswer};
    }

    // -- What is known ---------------------------------------------------------------------------

    void LoadStates()
    {
        std::vector<SyncItemState> list;
        Need(store.ListSyncStates(list));
        states.clear();
        uidOfHref.clear();
        for (SyncItemState& s : list) {
            uidOfHref.insert(s.strHref, s.strUid);
            states.insert(s.strUid, std::move(s));
        }
    }

    void Remember(const SyncItemState& s)
    {
        if (const auto it = states.constFind(s.strUid); it != states.cend() && it->strHref != s.strHref)
            uidOfHref.remove(it->strHref);
        states.insert(s.strUid, s);
        uidOfHref.insert(s.strHref, s.strUid);
    }

    void Forget(const QString& uid)
    {
        if (const auto it = states.constFind(uid); it != states.cend()) {
            uidOfHref.remove(it->strHref);
            states.erase(it);
        }
    }

    /// The state of \a uid when it lies in \a calendar (a state of a calendar chosen before does not count).
    const SyncItemState* StateOf(const QString& uid, const QString& calendar) const
    {
        const auto it = states.constFind(uid);
        return it != states.cend() && it->strHref.startsWith(calendar) ? &*it : nullptr;
    }

    void WalkLocals()
    {
        locals.clear();
        localOrder.clear();
        unsynced.clear();
        const auto outcome = store.ExportItems({}, {}, [this](const ExchangeItem& item) {
            if (item.kind == ExchangeKind::Holiday)
                return true;
            locals.insert(item.strUid, item);
            localOrder.push_back(item.strUid);
            if (!states.contains(item.strUid))
                unsynced.insert(IdentityOf(item).HashKey(), item.strUid);
            return true;
        });
        Need(outcome == CDataStore::ExchangeOutcome::Done);
    }

    bool Holds(const QString& calendar, ExchangeKind kind) const
    {
        return (kind == ExchangeKind::Task && calendar == calendars.strTasks) ||
               (kind == ExchangeKind::Reminder && calendar == calendars.strReminders);
    }

    // -- What the server changed -----------------------------------------------------------------

    void Pull(const QString& calendar)
    {
        QString token;
        Need(store.ReadSyncToken(calendar, token));
        DavChanges changes;
        DavResult result = Ask([&] { return client.SyncCollection(calendar, token, changes); });
        bool whole = token.isEmpty();
        if (result.error == DavError::TokenInvalid && !token.isEmpty()) {
            changes = {};
            result = Ask([&] { return client.SyncCollection(calendar, QString(), changes); });
            whole = true;
        }
        if (!result.Ok()) {
            // No sync tokens here: every ETag, compared with those last seen.
            QList<DavEntry> all;
            result = Ask([&] { return client.ListEtags(calendar, all); });
            if (!result.Ok())
                Fail(result.strMessage, result.error);
            changes = {all, {}, {}};
            whole = true;
        }
        if (whole) {
            QSet<QString> listed;
            for (const DavEntry& e : std::as_const(changes.changed))
                listed.insert(e.strHref);
            for (const SyncItemState& s : std::as_const(states)) {
                if (s.strHref.startsWith(calendar) && Holds(calendar, s.kind) && !listed.contains(s.strHref))
                    changes.removed << s.strHref;
            }
        }
        QStringList wanted;
        for (const DavEntry& e : std::as_const(changes.changed)) {
            const auto uid = uidOfHref.constFind(e.strHref);
            if (uid == uidOfHref.cend() || states.value(*uid).etag != e.etag)
                wanted << e.strHref;
        }
        for (qsizetype i = 0; i < wanted.size(); i += kBatch) {
            QList<DavEntry> fetched;
            const DavResult got =
                Ask([&] { return client.Multiget(calendar, wanted.mid(i, kBatch), fetched); });
            if (!got.Ok())
                Fail(got.strMessage, got.error);
            for (const DavEntry& e : std::as_const(fetched))
                TakeEntry(calendar, e);
        }
        for (const QString& href : std::as_const(changes.removed))
            TakeRemoval(href);
        if (!changes.strToken.isEmpty())
            Need(store.SaveSyncToken(calendar, changes.strToken));
    }

    void TakeEntry(const QString& calendar, const DavEntry& entry)
    {
        ExchangeItem item;
        const QString knownUid = uidOfHref.value(entry.strHref);
        if (!ReadItem(entry.data, item) || !Holds(calendar, item.kind) || item.strUid.isEmpty()) {
            // Nothing the planner can hold (now): it stays on the server as it is; a change from
            // here to an item it held before edits this newest text.
            if (!knownUid.isEmpty()) {
                SyncItemState s = states.value(knownUid);
                s.etag = entry.etag;
                s.serverText = entry.data;
                Need(store.SaveSyncState(s));
                Remember(s);
            }
            return;
        }
        SyncItemState fresh{item.strUid, item.kind, entry.strHref, entry.etag, SyncHash(item), entry.data};
        const auto local = locals.constFind(item.strUid);
        const SyncItemState* known = StateOf(item.strUid, calendar);
        QString sameAs;
        std::optional<ExchangeItem> lost;
        if (known) {
            if (known->etag == entry.etag)
                return;
            if (known->hash == fresh.hash) {
                // Another program changed what the planner does not hold: a change from here
                // still travels.
                Need(store.SaveSyncState(fresh));
                Remember(fresh);
                return;
            }
            // Both changed: the server's version wins, the local one is kept in the list.
            if (local != locals.cend() && SyncHash(*local) != known->hash && SyncHash(*local) != fresh.hash)
                lost = *local;
        } else if (local != locals.cend()) {
            if (SyncHash(*local) != fresh.hash)
                lost = *local;
        } else {
            // A first sync onto a calendar that holds the same items: matched, not doubled.
            const QString key = IdentityOf(item).HashKey();
            for (auto it = unsynced.find(key); it != unsynced.end() && it.key() == key; ++it) {
                if (!states.contains(*it)) {
                    sameAs = *it;
                    unsynced.erase(it);
                    break;
                }
            }
            if (!sameAs.isEmpty() && SyncHash(locals.value(sameAs)) != fresh.hash) {
                lost = locals.value(sameAs);
                lost->strUid = item.strUid;
            }
        }
        // Anything the planner shows changes, unless the server's version is what it held.
        const bool changesHere =
            local == locals.cend() ? sameAs.isEmpty() || lost : SyncHash(*local) != fresh.hash;
        Need(store.TakeServerItem(item, fresh, lost ? &*lost : nullptr, sameAs));
        bTablesTaken = true;
        Remember(fresh);
        if (!sameAs.isEmpty())
            locals.remove(sameAs);
        locals.insert(item.strUid, item);
        if (lost)
            ++report.nNewConflicts;
        if (changesHere) {
            ++report.nReceived;
            report.bLocalChanged = true;
        }
    }

    void TakeRemoval(const QString& href)
    {
        const QString uid = uidOfHref.value(href);
        if (uid.isEmpty())
            return;
        const auto local = locals.constFind(uid);
        // A change made here since the last sync outlives a delete there: it goes back as new.
        const bool deleteHere = local != locals.cend() && SyncHash(*local) == states.value(uid).hash;
        Need(store.DropServerItem(uid, deleteHere));
        bTablesTaken = true;
        Forget(uid);
        if (deleteHere) {
            locals.remove(uid);
            ++report.nDeletedHere;
            report.bLocalChanged = true;
        }
    }

    /// The server's version of \a href after a write was refused for its ETag: the conflict rule
    /// decides. False when the item is gone there.
    bool FetchTheirs(const QString& calendar, const QString& href)
    {
        QList<DavEntry> fetched;
        const DavResult got = Ask([&] { return client.Multiget(calendar, {href}, fetched); });
        if (!got.Ok() || fetched.isEmpty())
            return false;
        TakeEntry(calendar, fetched.first());
        return true;
    }

    // -- What changed here -----------------------------------------------------------------------

    void Push(const QString& calendar)
    {
        for (const QString& uid : localOrder) {
            const auto local = locals.constFind(uid);
            if (local == locals.cend() || !Holds(calendar, local->kind))
                continue;
            if (const SyncItemState* known = StateOf(uid, calendar)) {
                if (SyncHash(*local) != known->hash)
                    Change(calendar, *local, *known);
            } else {
                Create(calendar, *local);
            }
        }
        // Deletes go in the order their items were first synced, each one confirmed before its
        // state goes, so that a batch delete stopped half-way goes on where it stopped. That order
        // is the table's: read only when something is to go (every state's text with it).
        const auto gone = [&](const SyncItemState& s) {
            return s.strHref.startsWith(calendar) && Holds(calendar, s.kind) && !locals.contains(s.strUid);
        };
        if (std::none_of(states.cbegin(), states.cend(), gone))
            return;
        std::vector<SyncItemState> ordered;
        Need(store.ListSyncStates(ordered));
        for (const SyncItemState& s : ordered) {
            if (gone(s) && states.contains(s.strUid))
                Remove(calendar, states.value(s.strUid));
        }
    }

    void Written(const ExchangeItem& local, const QString& href, const QByteArray& etag,
                 const QByteArray& text)
    {
        const SyncItemState s{local.strUid, local.kind, href, etag, SyncHash(local), text};
        Need(store.SaveSyncState(s));
        Remember(s);
        ++report.nSent;
    }

    void Create(const QString& calendar, const ExchangeItem& local)
    {
        QString error;
        const QByteArray text = NewText(local, error);
        if (text.isEmpty()) {
            report.refused << SyncRefusal{NameOf(local), local.strUid, 0, error};
            return;
        }
        const QString href = calendar + FileName(local.strUid);
        QByteArray etag;
        const DavResult result = Ask([&] { return client.Put(href, text, QByteArray(), etag); });
        switch (result.error) {
        case DavError::None:
            Written(local, href, etag, text);
            return;
        case DavError::UidConflict:
        case DavError::Precondition: {
            // The server holds it already (a write whose answer was lost, another device):
            // that one is adopted, and the conflict rule decides between the two.
            const QString there = result.error == DavError::UidConflict ? result.strExistingHref : href;
            if (there.isEmpty() || !FetchTheirs(calendar, there))
                Refuse(local, result);
            return;
        }
        default:
            Refuse(local, result);
        }
    }

    void Change(const QString& calendar, const ExchangeItem& local, const SyncItemState& known)
    {
        QString error;
        QByteArray text = EditedText(known.serverText, local, error);
        if (text.isEmpty() && error.isEmpty())
            text = NewText(local, error);
        if (text.isEmpty()) {
            report.refused << SyncRefusal{NameOf(local), local.strUid, 0, error};
            return;
        }
        QByteArray etag;
        const DavResult result = Ask([&] { return client.Put(known.strHref, text, known.etag, etag); });
        switch (result.error) {
        case DavError::None:
            Written(local, known.strHref, etag, text);
            return;
        case DavError::Precondition:
            if (FetchTheirs(calendar, known.strHref))
                return;
            [[fallthrough]];
        case DavError::NotFound: {
            // Deleted there, changed here: the changed item goes back as new.
            const QString uid = local.strUid;
            Need(store.DropSyncState(uid));
            Forget(uid);
            Create(calendar, local);
            return;
        }
        default:
            Refuse(local, result);
        }
    }

    void Remove(const QString& calendar, const SyncItemState& known)
    {
        const DavResult result = Ask([&] { return client.Delete(known.strHref, known.etag); });
        switch (result.error) {
        case DavError::None:
        case DavError::NotFound:
            Need(store.DropSyncState(known.strUid));
            Forget(known.strUid);
            ++report.nDeletedThere;
            return;
        case DavError::Precondition:
            // Changed there, deleted here: the changed item comes back.
            if (!FetchTheirs(calendar, known.strHref)) {
                Need(store.DropSyncState(known.strUid));
                Forget(known.strUid);
            }
            return;
        default: {
            ExchangeItem item;
            if (!ReadItem(known.serverText, item))
                item.strUid = known.strUid;
            Refuse(item, result);
        }
        }
    }

    std::vector<QString> Calendars() const
    {
        std::vector<QString> list;
        for (const QString& c : {calendars.strTasks, calendars.strReminders}) {
            if (!c.isEmpty() && std::find(list.begin(), list.end(), c) == list.end())
                list.push_back(c);
        }
        return list;
    }
};

CSyncEngine::CSyncEngine(CDataStore& store, CCalDavClient& client, SyncCalendars calendars)
    : d(std::make_unique<Impl>(store, client, std::move(calendars)))
{}

CSyncEngine::~CSyncEngine() = default;

void CSyncEngine::SetCancelCheck(std::function<bool()> cancelled)
{
    d->cancelled = std::move(cancelled);
}

SyncReport CSyncEngine::Run()
{
    d->report = SyncReport{};
    try {
        if (!d->store.HasSyncTables())
            d->Fail(QStringLiteral("数据库无法保存同步信息，不能同步"));
        d->LoadStates();
        d->WalkLocals();
        d->bTablesTaken = false;
        for (const QString& calendar : d->Calendars())
            d->Pull(calendar);
        // What came in changed the tables: the walk sees the items as they stand now. A sync
        // that brought nothing in (the usual one) walks them once.
        if (d->bTablesTaken)
            d->WalkLocals();
        for (const QString& calendar : d->Calendars())
            d->Push(calendar);
        d->report.bOk = true;
    } catch (const Stop&) {
        d->report.bOk = false;
    }
    d->report.finished = Clock::now();
    return d->report;
}

namespace SyncConflicts {

bool List(CDataStore& store, std::vector<SyncConflict>& conflicts)
{
    return store.ListSyncConflicts(conflicts);
}

bool Restore(CDataStore& store, qint64 id)
{
    return store.RestoreSyncConflict(id);
}

bool Drop(CDataStore& store, qint64 id)
{
    return store.DropSyncConflict(id);
}

} // namespace SyncConflicts
