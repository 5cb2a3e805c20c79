#include "exchange/IcsMapping.h"

#include <QDateTime>
#include <QTimeZone>
#include <cstdlib>
#include <iterator>

namespace IcsMapping {

namespace {

// ---- writing ------------------------------------------------------------------------------

QByteArray Utf8(const QString& text)
{
    return text.toUtf8();
}

icaltimetype DateValue(const QDate& date)
{
    icaltimetype tt = icaltime_null_date();
    tt.year = date.year();
    tt.month = date.month();
    tt.day = date.day();
    return tt;
}

icaltimetype UtcValue(const QDateTime& moment)
{
    return icaltime_from_timet_with_zone(time_t(moment.toSecsSinceEpoch()), 0,
                                         icaltimezone_get_utc_timezone());
}

void AddX(icalcomponent* component, const char* name, const QString& value)
{
    icalproperty* property = icalproperty_new_x(Utf8(value).constData());
    icalproperty_set_x_name(property, name);
    icalcomponent_add_property(component, property);
}

// libical's reader drops spaces and tabs at either end of a value, and a property with nothing
// else, and a text has no escape for them: a parameter of our own names the ones to put back
// ("S" a space, "T" a tab; the leading ones, a dot, the trailing ones). A blank text is written
// as "-" with "=" and all of its letters.
constexpr const char* kSpaceParameter = "X-KESTRUM-SPACE";

bool IsOuterSpace(QChar c)
{
    return c == u' ' || c == u'\t';
}

QByteArray SpaceLetters(QStringView spaces)
{
    QByteArray letters;
    for (QChar c : spaces)
        letters += c == u'\t' ? 'T' : 'S';
    return letters;
}

icalproperty* TextProperty(icalproperty* property, const QString& text)
{
    qsizetype lead = 0;
    while (lead < text.size() && IsOuterSpace(text.at(lead)))
        ++lead;
    qsizetype trail = 0;
    while (trail < text.size() - lead && IsOuterSpace(text.at(text.size() - 1 - trail)))
        ++trail;
    const bool bBlank = lead == text.size();
    icalproperty_set_value(property, icalvalue_new_text(bBlank ? "-" : Utf8(text).constData()));
    if (lead == 0 && trail == 0 && !bBlank)
        return property;
    const QByteArray code = bBlank ? QByteArray('=' + SpaceLetters(text))
                                   : QByteArray(SpaceLetters(QStringView(text).left(lead)) + '.' +
                                                SpaceLetters(QStringView(text).right(trail)));
    icalparameter* parameter = icalparameter_new_x(code.constData());
    icalparameter_set_xname(parameter, kSpaceParameter);
    icalproperty_add_parameter(property, parameter);
    return property;
}

// A local time with its zone named, or in UTC when the local zone has no name libical knows.
icalproperty* LocalTimeProperty(const QDateTime& moment, const IcsLocalZone& local)
{
    if (local.tzid.isEmpty())
        return icalproperty_new_dtstart(UtcValue(moment));
    icaltimetype tt = DateValue(moment.date());
    tt.is_date = 0;
    tt.hour = moment.time().hour();
    tt.minute = moment.time().minute();
    tt.second = moment.time().second();
    icalproperty* property = icalproperty_new_dtstart(tt);
    icalproperty_add_parameter(property, icalparameter_new_tzid(local.tzid.constData()));
    return property;
}

icalcomponent* NewComponent(icalcomponent_kind kind, const ExchangeItem& item, const WriteContext& context)
{
    icalcomponent* component = icalcomponent_new(kind);
    icalcomponent_add_property(component, icalproperty_new_uid(Utf8(item.strUid).constData()));
    icalcomponent_add_property(component, icalproperty_new_dtstamp(context.stamp));
    return component;
}

// The standard STATUS of a state: 已推迟 has none of its own and is still to be done.
icalproperty_status StatusOf(const TaskState& state)
{
    if (state == TaskStates::InProgress())
        return ICAL_STATUS_INPROCESS;
    if (state == TaskStates::Done())
        return ICAL_STATUS_COMPLETED;
    return ICAL_STATUS_NEEDSACTION;
}

IcalComponentPtr TaskComponent(const ExchangeItem& item, const WriteContext& context, QString& error)
{
    const TaskRecord& task = item.task;
    const QDate date = QDate::fromString(task.strDate, QStringLiteral("yyyy-MM-dd"));
    if (!date.isValid() || date.year() > kLastYear) {
        error = QStringLiteral("事情“%1”的日期“%2”无效（日历文件只能写到 %3 年）。")
                    .arg(task.strContent, task.strDate)
                    .arg(kLastYear);
        return nullptr;
    }
    IcalComponentPtr todo(NewComponent(ICAL_VTODO_COMPONENT, item, context));
    icalcomponent_add_property(todo.get(), TextProperty(icalproperty_new_summary(""), task.strContent));
    // An all-day due date and no start: RFC 5545 wants the due date after any start.
    icalcomponent_add_property(todo.get(), icalproperty_new_due(DateValue(date)));
    const icalproperty_status status = StatusOf(task.strState);
    icalcomponent_add_property(todo.get(), icalproperty_new_status(status));
    if (status == ICAL_STATUS_COMPLETED) {
        // The table keeps no moment of completion; the start of the task's day stays the same
        // from one export to the next.
        icalcomponent_add_property(todo.get(),
                                   icalproperty_new_completed(UtcValue(QDateTime(date, QTime(0, 0)))));
    }
    AddX(todo.get(), kStateProperty, task.strState);
    return todo;
}

IcalComponentPtr ReminderComponent(const ExchangeItem& item, const WriteContext& context, QString& error)
{
    const ReminderRecord& reminder = item.reminder;
    const QDateTime moment = reminder.Moment();
    if (!moment.isValid() || moment.date().year() > kLastYear) {
        error = QStringLiteral("提醒“%1”的时间“%2”无效（日历文件只能写到 %3 年）。")
                    .arg(reminder.strTitle, ReminderTimeText(reminder))
                    .arg(kLastYear);
        return nullptr;
    }
    IcalComponentPtr event(NewComponent(ICAL_VEVENT_COMPONENT, item, context));
    icalcomponent_add_property(event.get(), LocalTimeProperty(moment, context.local));
    icalcomponent_add_property(event.get(), TextProperty(icalproperty_new_summary(""), reminder.strTitle));
    if (!reminder.strContent.isEmpty())
        icalcomponent_add_property(event.get(),
                                   TextProperty(icalproperty_new_description(""), reminder.strContent));

    icalrecurrencetype rule;
    icalrecurrencetype_clear(&rule);
    const QDate date = moment.date();
    switch (reminder.nMode) {
    case ReminderDaily:
        rule.freq = ICAL_DAILY_RECURRENCE;
        break;
    case ReminderWeekly:
        rule.freq = ICAL_WEEKLY_RECURRENCE;
        rule.by_day[0] = short(ReminderWeekday(date)); // both count 1 = Sunday
        break;
    case ReminderMonthly:
        rule.freq = ICAL_MONTHLY_RECURRENCE;
        rule.by_month_day[0] = short(date.day());
        break;
    case ReminderYearly:
        rule.freq = ICAL_YEARLY_RECURRENCE;
        rule.by_month[0] = short(date.month());
        rule.by_month_day[0] = short(date.day());
        break;
    default:
        break;
    }
    if (rule.freq != ICAL_NO_RECURRENCE)
        icalcomponent_add_property(event.get(), icalproperty_new_rrule(rule));
    if (reminder.nRing != 0 && reminder.nRing != 1)
        AddX(event.get(), kRingProperty, QString::number(reminder.nRing));

    icalcomponent* alarm = icalcomponent_new_valarm();
    icalcomponent_add_property(
        alarm, icalproperty_new_action(reminder.nRing ? ICAL_ACTION_AUDIO : ICAL_ACTION_DISPLAY));
    icaltriggertype trigger{};
    trigger.time = icaltime_null_time();
    trigger.duration = icaldurationtype_null_duration();
    icalcomponent_add_property(alarm, icalproperty_new_trigger(trigger));
    if (!reminder.nRing) {
        // A display alarm must say what it shows.
        const QString text = reminder.strTitle.isEmpty() ? QStringLiteral("提醒") : reminder.strTitle;
        icalcomponent_add_property(alarm, icalproperty_new_description(Utf8(text).constData()));
    }
    icalcomponent_add_component(event.get(), alarm);
    return event;
}

QDate SolarHolidayDate(const HolidayKey& key)
{
    // A leap year, so that 29 February is a date too.
    if (key.size() != 4)
        return QDate();
    return QDate(2000, key.left(2).toInt(), key.mid(2).toInt());
}

IcalComponentPtr HolidayComponent(const ExchangeItem& item, const WriteContext& context, QString& error)
{
    const ExchangeHoliday& holiday = item.holiday;
    IcalComponentPtr event(NewComponent(ICAL_VEVENT_COMPONENT, item, context));
    icalcomponent_add_property(event.get(), TextProperty(icalproperty_new_summary(""), holiday.strName));
    icalcomponent_add_property(event.get(), icalproperty_new_transp(ICAL_TRANSP_TRANSPARENT));
    if (holiday.calendar == HolidayCalendar::Solar) {
        const QDate date = SolarHolidayDate(holiday.strKey);
        if (!date.isValid()) {
            error = QStringLiteral("阳历节日“%1”的日子“%2”无效。").arg(holiday.strName, holiday.strKey);
            return nullptr;
        }
        icalcomponent_add_property(event.get(), icalproperty_new_dtstart(DateValue(date)));
        icalrecurrencetype rule;
        icalrecurrencetype_clear(&rule);
        rule.freq = ICAL_YEARLY_RECURRENCE;
        icalcomponent_add_property(event.get(), icalproperty_new_rrule(rule));
        return event;
    }
    // Few programs know the Chinese calendar, so the coming dates are written as they are: the
    // days whose lunar month and day are the holiday's, leap months included, as the day view
    // shows them.
    const int month = holiday.strKey.left(2).toInt();
    const int day = holiday.strKey.mid(2).toInt();
    int nFound = 0;
    for (QDate date = context.today;
         nFound < kLunarOccurrences && date.isValid() && date <= LunarTableLastDay();) {
        const LunarNumbers lunar = SolarToLunarNumbers(date);
        if (!lunar.isValid()) {
            date = date.addDays(1);
            continue;
        }
        if (lunar.nMonth == month && lunar.nDay == day) {
            if (nFound++ == 0) {
                icalcomponent_add_property(event.get(), icalproperty_new_dtstart(DateValue(date)));
            } else {
                icaldatetimeperiodtype rdate{};
                rdate.time = DateValue(date);
                rdate.period = icalperiodtype_null_period();
                icalcomponent_add_property(event.get(), icalproperty_new_rdate(rdate));
            }
        }
        // A lunar month has 29 or 30 days: no day of the month comes round sooner than this.
        date = date.addDays(lunar.nDay < day ? day - lunar.nDay : qMax(1, 29 - lunar.nDay + day));
    }
    if (nFound == 0) {
        error =
            QStringLiteral("农历节日“%1”的日子“%2”在今后的农历里没有。").arg(holiday.strName, holiday.strKey);
        return nullptr;
    }
    AddX(event.get(), kLunarProperty, holiday.strKey);
    return event;
}

// ---- reading ------------------------------------------------------------------------------

// libical reads C escapes such as "\r" and "\b" as control characters, which a file cannot
// hold (it writes none of them back): texts are taken without them, tabs and line feeds apart.
QString Text(const char* text)
{
    QString result = QString::fromUtf8(text ? text : "");
    result.removeIf(
        [](QChar c) { return (c.unicode() < 0x20 && c != u'\n' && c != u'\t') || c.unicode() == 0x7f; });
    return result;
}

// A text property's value, with the spaces our own parameter says it had at its ends.
QString TextOf(icalproperty* property)
{
    const icalvalue* value = icalproperty_get_value(property);
    QString text = Text(value ? icalvalue_get_text(value) : nullptr);
    for (icalparameter* p = icalproperty_get_first_parameter(property, ICAL_X_PARAMETER); p;
         p = icalproperty_get_next_parameter(property, ICAL_X_PARAMETER)) {
        const char* name = icalparameter_get_xname(p);
        const QByteArray code(icalparameter_get_xvalue(p));
        const qsizetype dot = code.indexOf('.');
        if (!name || qstricmp(name, kSpaceParameter) != 0 || (dot < 0 && !code.startsWith('=')))
            continue;
        const auto spaces = [](const QByteArray& letters) {
            QString result;
            for (char c : letters)
                result += c == 'T' ? u'\t' : u' ';
            return result;
        };
        if (code.startsWith('='))
            return spaces(code.mid(1));
        while (!text.isEmpty() && IsOuterSpace(text.front()))
            text.remove(0, 1);
        while (!text.isEmpty() && IsOuterSpace(text.back()))
            text.chop(1);
        return spaces(code.left(dot)) + text + spaces(code.mid(dot + 1));
    }
    return text;
}

icalproperty* XProperty(icalcomponent* component, const char* name)
{
    for (icalproperty* p = icalcomponent_get_first_property(component, ICAL_X_PROPERTY); p;
         p = icalcomponent_get_next_property(component, ICAL_X_PROPERTY)) {
        const char* xName = icalproperty_get_x_name(p);
        if (xName && qstricmp(xName, name) == 0)
            return p;
    }
    return nullptr;
}

QString XValue(icalcomponent* component, const char* name)
{
    icalproperty* property = XProperty(component, name);
    return property ? Text(icalproperty_get_x(property)).trimmed() : QString();
}

int CountOf(const short* values, int size)
{
    int n = 0;
    while (n < size && values[n] != ICAL_RECURRENCE_ARRAY_MAX)
        ++n;
    return n;
}

template <std::size_t N> int CountOf(const short (&values)[N])
{
    return CountOf(values, int(N));
}

int Count(icalcomponent* component, icalproperty_kind kind)
{
    return icalcomponent_count_properties(component, kind);
}

// A date the planner can hold and write again; invalid otherwise.
QDate DateOf(const icaltimetype& tt)
{
    return tt.year >= 1 && tt.year <= kLastYear ? QDate(tt.year, tt.month, tt.day) : QDate();
}

// libical drops a property whose value it cannot read and leaves a note in its place. Without
// the dates or the rule, the rest would mean something else, so such a component is left out.
QString DroppedProperty(icalcomponent* component)
{
    static const char* const kNeeded[] = {"DTSTART", "DUE",         "DTEND",  "RRULE",
                                          "RDATE",   "EXDATE",      "EXRULE", "RECURRENCE-ID",
                                          "SUMMARY", "DESCRIPTION", "STATUS"};
    for (icalproperty* p = icalcomponent_get_first_property(component, ICAL_XLICERROR_PROPERTY); p;
         p = icalcomponent_get_next_property(component, ICAL_XLICERROR_PROPERTY)) {
        const QByteArray note(icalproperty_get_xlicerror(p));
        for (const char* name : kNeeded) {
            if (note.contains(QByteArray(QByteArray(name) + " property")))
                return QString::fromLatin1(name);
        }
    }
    return QString();
}

// The time a property gives, in local time; invalid with \a reason when it names no real moment
// or a zone nobody knows.
QDateTime ZoneMoment(icalproperty* property, const ReadContext& context, QString& reason)
{
    const icalvalue* value = icalproperty_get_value(property);
    if (!value) {
        reason = QStringLiteral("时间不存在");
        return QDateTime();
    }
    icaltimetype tt = icalvalue_get_datetime(value);
    const QDate date = DateOf(tt);
    const QTime time(tt.hour, tt.minute, tt.second);
    if (!date.isValid() || !time.isValid()) {
        reason = QStringLiteral("时间不存在");
        return QDateTime();
    }
    if (tt.is_date)
        return QDateTime(date, QTime(0, 0));
    if (icaltime_is_utc(tt))
        return QDateTime(date, time, QTimeZone::utc()).toLocalTime();
    icalparameter* tzidParameter = icalproperty_get_first_parameter(property, ICAL_TZID_PARAMETER);
    if (!tzidParameter)
        return QDateTime(date, time); // floating: the same wall time everywhere
    const QByteArray tzid(icalparameter_get_tzid(tzidParameter));
    if (!context.localTzid.isEmpty() && tzid == context.localTzid)
        return QDateTime(date, time);
    icaltimezone* zone = context.pZones->Find(tzid);
    if (!zone) {
        reason = QStringLiteral("不认识的时区“%1”").arg(QString::fromUtf8(tzid));
        return QDateTime();
    }
    tt.zone = nullptr;
    return QDateTime::fromSecsSinceEpoch(qint64(icaltime_as_timet_with_zone(tt, zone)));
}

// The same, kept within the years a file can hold again.
QDateTime LocalMoment(icalproperty* property, const ReadContext& context, QString& reason)
{
    const QDateTime moment = ZoneMoment(property, context, reason);
    if (moment.isValid() && (moment.date().year() < 1 || moment.date().year() > kLastYear)) {
        reason = QStringLiteral("时间不存在");
        return QDateTime();
    }
    return moment;
}

// Our own state text tells the states that share a STATUS apart (未完成 and 已推迟), but it is
// taken only while it still agrees with the STATUS: another program that marks the to-do done
// keeps our property as it found it, and its change must not be lost.
TaskState StateOf(icalcomponent* todo, QString& reason)
{
    TaskState standard;
    if (icalcomponent_get_first_property(todo, ICAL_COMPLETED_PROPERTY))
        standard = TaskStates::Done();
    else {
        switch (icalcomponent_get_status(todo)) {
        case ICAL_STATUS_COMPLETED:
            standard = TaskStates::Done();
            break;
        case ICAL_STATUS_INPROCESS:
            standard = TaskStates::InProgress();
            break;
        case ICAL_STATUS_CANCELLED:
            reason = QStringLiteral("待办已取消");
            return TaskState();
        default:
            standard = TaskStates::NotDone();
        }
    }
    const QString own = XValue(todo, kStateProperty);
    for (const TaskState& state :
         {TaskStates::NotDone(), TaskStates::InProgress(), TaskStates::Done(), TaskStates::Postponed()}) {
        if (own == state && StatusOf(state) == StatusOf(standard))
            return state;
    }
    return standard;
}

bool ReadTask(icalcomponent* todo, const ReadContext& context, const QString& summary, ExchangeItem& item,
              QString& reason)
{
    icalproperty* dateProperty = icalcomponent_get_first_property(todo, ICAL_DUE_PROPERTY);
    if (!dateProperty)
        dateProperty = icalcomponent_get_first_property(todo, ICAL_DTSTART_PROPERTY);
    QDate date = context.today; // a to-do without a date is one for today
    if (dateProperty) {
        const QDateTime moment = LocalMoment(dateProperty, context, reason);
        if (!moment.isValid())
            return false;
        date = moment.date();
    }
    const TaskState state = StateOf(todo, reason);
    if (state.isEmpty())
        return false;
    item.kind = ExchangeKind::Task;
    item.task = TaskRecord{date.toString(QStringLiteral("yyyy-MM-dd")), summary, state};
    return true;
}

// A rule with nothing but a frequency and the values the start already gives: the only kind
// of repetition the planner holds.
bool IsPlainRule(const icalrecurrencetype& rule)
{
    return rule.interval == 1 && rule.count == 0 && icaltime_is_null_time(rule.until) && !rule.rscale &&
           CountOf(rule.by_second) == 0 && CountOf(rule.by_minute) == 0 && CountOf(rule.by_hour) == 0 &&
           CountOf(rule.by_year_day) == 0 && CountOf(rule.by_week_no) == 0 && CountOf(rule.by_set_pos) == 0;
}

bool OneOrNone(const short* values, int size, int wanted)
{
    const int n = CountOf(values, size);
    return n == 0 || (n == 1 && values[0] == wanted);
}

template <std::size_t N> bool OneOrNone(const short (&values)[N], int wanted)
{
    return OneOrNone(values, int(N), wanted);
}

// The planner's mode for \a rule repeating from \a start (in the start's own zone); -1 when it
// cannot hold it.
int ModeOf(const icalrecurrencetype& rule, const icaltimetype& start)
{
    if (!IsPlainRule(rule))
        return -1;
    const int weekday = ReminderWeekday(DateOf(start));
    const bool bNoDay = CountOf(rule.by_day) == 0;
    const bool bNoMonthDay = CountOf(rule.by_month_day) == 0;
    const bool bNoMonth = CountOf(rule.by_month) == 0;
    switch (rule.freq) {
    case ICAL_DAILY_RECURRENCE:
        return bNoDay && bNoMonthDay && bNoMonth ? ReminderDaily : -1;
    case ICAL_WEEKLY_RECURRENCE:
        return OneOrNone(rule.by_day, weekday) && bNoMonthDay && bNoMonth ? ReminderWeekly : -1;
    case ICAL_MONTHLY_RECURRENCE:
        return bNoDay && bNoMonth && OneOrNone(rule.by_month_day, start.day) ? ReminderMonthly : -1;
    case ICAL_YEARLY_RECURRENCE:
        return bNoDay && OneOrNone(rule.by_month, start.month) && OneOrNone(rule.by_month_day, start.day)
                   ? ReminderYearly
                   : -1;
    default:
        return -1;
    }
}

const QString& UnsupportedRule()
{
    static const QString text = QStringLiteral("计划不支持这种重复方式（间隔、次数、截止日期或多个日子）");
    return text;
}

bool ReadReminder(icalcomponent* event, icalproperty* start, const ReadContext& context,
                  const QString& summary, ExchangeItem& item, QString& reason)
{
    const icaltimetype startValue = icalproperty_get_dtstart(start);
    int mode = ReminderOnce;
    const int nRules = Count(event, ICAL_RRULE_PROPERTY);
    if (nRules > 1 || Count(event, ICAL_RDATE_PROPERTY) > 0 || Count(event, ICAL_EXDATE_PROPERTY) > 0 ||
        Count(event, ICAL_EXRULE_PROPERTY) > 0) {
        reason = UnsupportedRule();
        return false;
    }
    if (nRules == 1) {
        mode = ModeOf(icalproperty_get_rrule(icalcomponent_get_first_property(event, ICAL_RRULE_PROPERTY)),
                      startValue);
        if (mode < 0) {
            reason = UnsupportedRule();
            return false;
        }
    }
    const QDateTime moment = LocalMoment(start, context, reason);
    if (!moment.isValid())
        return false;

    int ring = 0;
    for (icalcomponent* alarm = icalcomponent_get_first_component(event, ICAL_VALARM_COMPONENT); alarm;
         alarm = icalcomponent_get_next_component(event, ICAL_VALARM_COMPONENT)) {
        icalproperty* action = icalcomponent_get_first_property(alarm, ICAL_ACTION_PROPERTY);
        if (action && icalproperty_get_action(action) == ICAL_ACTION_AUDIO)
            ring = 1;
    }
    bool bNumber = false;
    const short ownRing = XValue(event, kRingProperty).toShort(&bNumber);
    if (bNumber)
        ring = ownRing;

    icalproperty* description = icalcomponent_get_first_property(event, ICAL_DESCRIPTION_PROPERTY);
    item.kind = ExchangeKind::Reminder;
    item.reminder =
        ReminderRecord::At(moment, mode, ring, summary, description ? TextOf(description) : QString());
    return true;
}

QString TwoDigits(int n)
{
    return QStringLiteral("%1").arg(n, 2, 10, QLatin1Char('0'));
}

bool IsLunarKey(const QString& key)
{
    bool bMonth = false;
    bool bDay = false;
    const int month = key.left(2).toInt(&bMonth);
    const int day = key.mid(2).toInt(&bDay);
    return key.size() == 4 && bMonth && bDay && month >= 1 && month <= 12 && day >= 1 && day <= 30;
}

bool ReadAllDay(icalcomponent* event, const icaltimetype& start, const QString& summary, ExchangeItem& item,
                QString& reason)
{
    const QDate date = DateOf(start);
    if (!date.isValid()) {
        reason = QStringLiteral("日期不存在");
        return false;
    }
    item.kind = ExchangeKind::Holiday;
    item.holiday.strName = summary;
    const QString lunarKey = XValue(event, kLunarProperty);
    if (!lunarKey.isEmpty()) {
        if (!IsLunarKey(lunarKey)) {
            reason = QStringLiteral("农历日子“%1”无效").arg(lunarKey);
            return false;
        }
        item.holiday.calendar = HolidayCalendar::Lunar;
        item.holiday.strKey = lunarKey;
        return true;
    }
    const int nRules = Count(event, ICAL_RRULE_PROPERTY);
    if (nRules > 1 ||
        (nRules == 1 && (Count(event, ICAL_RDATE_PROPERTY) > 0 || Count(event, ICAL_EXDATE_PROPERTY) > 0))) {
        reason = UnsupportedRule();
        return false;
    }
    if (nRules == 1) {
        icalrecurrencetype rule =
            icalproperty_get_rrule(icalcomponent_get_first_property(event, ICAL_RRULE_PROPERTY));
        if (rule.rscale && qstricmp(rule.rscale, "CHINESE") == 0 && rule.freq == ICAL_YEARLY_RECURRENCE) {
            // A yearly rule in the Chinese calendar: on the lunar month and day of its start, or
            // the ones it names.
            rule.rscale = nullptr;
            const LunarNumbers lunar = SolarToLunarNumbers(date);
            int month = lunar.nMonth;
            bool bLeap = lunar.bLeap;
            if (CountOf(rule.by_month) == 1) {
                month = icalrecurrencetype_month_month(rule.by_month[0]);
                bLeap = icalrecurrencetype_month_is_leap(rule.by_month[0]);
            }
            const int day = CountOf(rule.by_month_day) == 1 ? rule.by_month_day[0] : lunar.nDay;
            const QString key = TwoDigits(month) + TwoDigits(day);
            if (!IsPlainRule(rule) || CountOf(rule.by_day) != 0 || CountOf(rule.by_month) > 1 ||
                CountOf(rule.by_month_day) > 1 || !lunar.isValid() || !IsLunarKey(key)) {
                reason = UnsupportedRule();
                return false;
            }
            if (bLeap) {
                reason = QStringLiteral("计划的农历节日不能只在闰月");
                return false;
            }
            item.holiday.calendar = HolidayCalendar::Lunar;
            item.holiday.strKey = key;
            return true;
        }
        if (ModeOf(rule, start) != ReminderYearly) {
            reason = UnsupportedRule();
            return false;
        }
        item.holiday.calendar = HolidayCalendar::Solar;
        item.holiday.strKey = TwoDigits(date.month()) + TwoDigits(date.day());
        return true;
    }
    if (Count(event, ICAL_RDATE_PROPERTY) > 0) {
        reason = QStringLiteral("不是每年同一天的全天事件");
        return false;
    }
    // A single all-day event is a thing to do on that day: a task.
    icalproperty* end = icalcomponent_get_first_property(event, ICAL_DTEND_PROPERTY);
    if (end) {
        const QDate endDate = DateOf(icalproperty_get_dtend(end));
        if (endDate.isValid() && endDate > date.addDays(1)) {
            reason = QStringLiteral("跨越几天的全天事件");
            return false;
        }
    }
    item.kind = ExchangeKind::Task;
    item.task = TaskRecord{date.toString(QStringLiteral("yyyy-MM-dd")), summary, TaskStates::NotDone()};
    return true;
}

} // namespace

HolidayKey LunarKey(const QDate& date)
{
    const LunarNumbers lunar = SolarToLunarNumbers(date);
    return lunar.isValid() ? TwoDigits(lunar.nMonth) + TwoDigits(lunar.nDay) : HolidayKey();
}

IcalComponentPtr ToComponent(const ExchangeItem& item, const WriteContext& context, QString& error)
{
    switch (item.kind) {
    case ExchangeKind::Task:
        return TaskComponent(item, context, error);
    case ExchangeKind::Reminder:
        return ReminderComponent(item, context, error);
    case ExchangeKind::Holiday:
        return HolidayComponent(item, context, error);
    }
    return nullptr;
}

bool FromComponent(icalcomponent* component, const ReadContext& context, ExchangeItem& item, QString& reason)
{
    item = ExchangeItem{};
    // Spaces round a UID would not survive the next export (see TextProperty); no program means them.
    item.strUid = Text(icalcomponent_get_uid(component)).trimmed();
    const QString dropped = DroppedProperty(component);
    if (!dropped.isEmpty()) {
        reason = QStringLiteral("%1 的值无法读取").arg(dropped);
        return false;
    }
    icalproperty* summaryProperty = icalcomponent_get_first_property(component, ICAL_SUMMARY_PROPERTY);
    if (!summaryProperty) {
        reason = QStringLiteral("没有标题（SUMMARY）");
        return false;
    }
    const QString summary = TextOf(summaryProperty);
    if (icalcomponent_get_first_property(component, ICAL_RECURRENCEID_PROPERTY)) {
        reason = QStringLiteral("重复事件中单独改动的一次");
        return false;
    }
    if (icalcomponent_isa(component) == ICAL_VTODO_COMPONENT)
        return ReadTask(component, context, summary, item, reason);

    icalproperty* start = icalcomponent_get_first_property(component, ICAL_DTSTART_PROPERTY);
    if (!start) {
        reason = QStringLiteral("没有开始时间（DTSTART）");
        return false;
    }
    const icaltimetype startValue = icalproperty_get_dtstart(start);
    if (!DateOf(startValue).isValid()) {
        reason = QStringLiteral("日期不存在");
        return false;
    }
    if (startValue.is_date)
        return ReadAllDay(component, startValue, summary, item, reason);
    return ReadReminder(component, start, context, summary, item, reason);
}

QByteArray ComponentText(icalcomponent* component)
{
    char* text = icalcomponent_as_ical_string_r(component);
    QByteArray bytes(text);
    free(text); // NOLINT: libical hands out malloc'ed text
    // libical folds a line whose end falls on the fold between its CR and its LF; the stray CR
    // would make the file unreadable (by us and others).
    bytes.replace("\r\r\n \n", "\r\n");
    return bytes;
}

} // namespace IcsMapping
