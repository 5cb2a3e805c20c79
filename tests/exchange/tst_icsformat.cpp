// The iCalendar reader and writer: the planner's items through a file and back, files as other
// calendar programs write them, damaged streams, and what third-party readers make of ours.

#include "ExchangeItems.h"
#include "FakeClock.h"
#include "TestFiles.h"
#include "exchange/IcsFormat.h"
#include "exchange/IcsZones.h"

#include <QBuffer>
#include <QProcess>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>
#include <ctime>
#include <libical/ical.h>

using namespace Qt::StringLiterals;

namespace {

// Switches the process's local time zone until the guard goes, as a user's system setting would.
auto ZoneScope(const QByteArray& tz)
{
    const QByteArray old = qgetenv("TZ");
    qputenv("TZ", tz);
    tzset();
    return qScopeGuard([old] {
        qputenv("TZ", old);
        tzset();
    });
}

QString Describe(const ExchangeItem& item)
{
    return item.strUid.isEmpty() ? ItemText(item) : ItemText(item) + u" [%1]"_s.arg(item.strUid);
}

struct ReadResult
{
    QStringList items;
    QStringList leftOut; ///< "line name: reason"
    QString error;       ///< empty when the stream ended properly
};

ReadResult Read(const QByteArray& bytes)
{
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    CIcsReader reader(&buffer);
    ReadResult result;
    ExchangeItem item;
    ExchangeLeftOut leftOut;
    for (int guard = 0; guard < 10000; ++guard) {
        switch (reader.Next(item, leftOut)) {
        case CIcsReader::Step::Item:
            result.items << Describe(item);
            continue;
        case CIcsReader::Step::LeftOut:
            result.leftOut << u"%1 %2 [%3]: %4"_s.arg(leftOut.nLine)
                                  .arg(leftOut.strName, leftOut.strUid, leftOut.strReason);
            continue;
        case CIcsReader::Step::End:
            return result;
        case CIcsReader::Step::Failed:
            result.error = reader.ErrorString();
            return result;
        }
    }
    result.error = u"the reader never ended"_s;
    return result;
}

QByteArray Write(const QList<ExchangeItem>& items)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    CIcsWriter writer(&buffer);
    bool bOk = writer.Begin();
    for (const ExchangeItem& item : items)
        bOk = bOk && writer.Write(item) == CIcsWriter::Written::Item;
    bOk = bOk && writer.Finish();
    if (!bOk)
        qWarning() << writer.ErrorString();
    return bOk ? buffer.data() : QByteArray();
}

// Every state, every mode with and without a ring, both kinds of holiday, and the texts that
// need escaping, folding or both.
QList<ExchangeItem> AllKinds()
{
    QString longText;
    for (int i = 0; longText.size() < 10000; ++i)
        longText += u"长文本 línea %1 ;,\\\"\n"_s.arg(i);
    longText.truncate(10000);
    const QString hard = u"\"引号\", 逗号; 分号\\反斜杠\n换行\n\n😀🎉 Ελληνικά русский عربي"_s;
    const QDateTime at(QDate(2026, 3, 9), QTime(7, 5, 9)); // a Monday
    QList<ExchangeItem> items{
        TaskItem(u"t1"_s, u"2026-12-07"_s, u"未完成的任务"_s, TaskStates::NotDone()),
        TaskItem(u"t2"_s, u"2026-12-08"_s, u"进行中的任务"_s, TaskStates::InProgress()),
        TaskItem(u"t3"_s, u"2024-02-29"_s, u"已完成的任务"_s, TaskStates::Done()),
        TaskItem(u"t4"_s, u"2026-12-31"_s, u"  已推迟的任务\t "_s, TaskStates::Postponed()),
        TaskItem(u"t5"_s, u"2026-01-01"_s, hard, TaskStates::NotDone()),
        TaskItem(u"t6"_s, u"2026-01-02"_s, longText, TaskStates::Done()),
        ReminderItem(u"r7"_s, at, ReminderYearly, 2, QString(), u"   "_s),
        ReminderItem(u"r8"_s, at, ReminderOnce, 1, hard, longText),
        HolidayItem(u"h1"_s, HolidayCalendar::Solar, u"0229"_s, u"闰日"_s),
        HolidayItem(u"h2"_s, HolidayCalendar::Solar, u"1001"_s, hard),
        HolidayItem(u"h3"_s, HolidayCalendar::Lunar, u"0815"_s, u"中秋节"_s),
        HolidayItem(u"h4"_s, HolidayCalendar::Lunar, u"0101"_s, u"春节"_s),
    };
    for (int mode = ReminderOnce; mode <= ReminderYearly; ++mode) {
        for (int ring = 0; ring <= 1; ++ring)
            items << ReminderItem(u"r%1%2"_s.arg(mode).arg(ring), at.addDays(mode * 40), mode, ring,
                                  u"提醒 %1"_s.arg(mode), u"内容\n%1"_s.arg(ring));
    }
    return items;
}

QStringList Described(const QList<ExchangeItem>& items)
{
    QStringList lines;
    for (const ExchangeItem& item : items)
        lines << Describe(item);
    return lines;
}

// The dates a written component falls on, from its DTSTART and RDATEs.
QList<QDate> DatesOf(const QByteArray& file, const QByteArray& uid)
{
    icalcomponent* calendar = icalparser_parse_string(file.constData());
    QList<QDate> dates;
    for (icalcomponent* c = icalcomponent_get_first_component(calendar, ICAL_VEVENT_COMPONENT); c;
         c = icalcomponent_get_next_component(calendar, ICAL_VEVENT_COMPONENT)) {
        if (uid != icalcomponent_get_uid(c))
            continue;
        const icaltimetype start = icalcomponent_get_dtstart(c);
        dates << QDate(start.year, start.month, start.day);
        for (icalproperty* p = icalcomponent_get_first_property(c, ICAL_RDATE_PROPERTY); p;
             p = icalcomponent_get_next_property(c, ICAL_RDATE_PROPERTY)) {
            const icaltimetype t = icalproperty_get_rdate(p).time;
            dates << QDate(t.year, t.month, t.day);
        }
    }
    icalcomponent_free(calendar);
    return dates;
}

QByteArray Crlf(QByteArray text)
{
    return text.replace("\n", "\r\n");
}

const char* const kShanghai =
    "BEGIN:VTIMEZONE\nTZID:Asia/Shanghai\nBEGIN:STANDARD\nTZOFFSETFROM:+0800\n"
    "TZOFFSETTO:+0800\nTZNAME:CST\nDTSTART:19700101T000000\nEND:STANDARD\nEND:VTIMEZONE\n";

// As a desktop calendar writes New York, with a name of its own for the zone.
const char* const kNewYork = "BEGIN:VTIMEZONE\nTZID:Eastern Standard Time\n"
                             "BEGIN:DAYLIGHT\nTZOFFSETFROM:-0500\nTZOFFSETTO:-0400\nTZNAME:EDT\n"
                             "DTSTART:19700308T020000\nRRULE:FREQ=YEARLY;BYMONTH=3;BYDAY=2SU\nEND:DAYLIGHT\n"
                             "BEGIN:STANDARD\nTZOFFSETFROM:-0400\nTZOFFSETTO:-0500\nTZNAME:EST\n"
                             "DTSTART:19701101T020000\nRRULE:FREQ=YEARLY;BYMONTH=11;BYDAY=1SU\nEND:STANDARD\n"
                             "END:VTIMEZONE\n";

QByteArray Calendar(const QByteArray& body)
{
    return "BEGIN:VCALENDAR\nVERSION:2.0\nPRODID:-//Example Corp.//Calendar 1.0//EN\n" + body +
           "END:VCALENDAR\n";
}

QByteArray Event(const QByteArray& lines)
{
    return "BEGIN:VEVENT\nDTSTAMP:20261201T000000Z\n" + lines + "END:VEVENT\n";
}

} // namespace

class TestIcsFormat : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        qputenv("TZ", "Asia/Shanghai");
        tzset();
    }

    void roundTrip_data();
    void roundTrip();
    void writtenForm();
    void thirdPartyReaders();
    void otherPrograms_data();
    void otherPrograms();
    void damaged_data();
    void damaged();
};

void TestIcsFormat::roundTrip_data()
{
    QTest::addColumn<QByteArray>("tz");
    QTest::addColumn<bool>("bZoneNamed");
    QTest::newRow("Shanghai") << QByteArray("Asia/Shanghai") << true;
    QTest::newRow("New York, summer time") << QByteArray("America/New_York") << true;
    QTest::newRow("fixed offset") << QByteArray("<+0330>-03:30") << false;
}

void TestIcsFormat::roundTrip()
{
    QFETCH(QByteArray, tz);
    QFETCH(bool, bZoneNamed);
    const auto zone = ZoneScope(tz);
    FakeClock clock(QDateTime(QDate(2026, 12, 7), QTime(10, 0)));
    const QList<ExchangeItem> items = AllKinds();
    const QByteArray file = Write(items);
    QVERIFY(!file.isEmpty());
    // Without a zone libical knows by name, the times are in UTC and still come back the same.
    QCOMPARE(file.contains("BEGIN:VTIMEZONE"), bZoneNamed);
    QCOMPARE(file.contains(QByteArray(";TZID=" + tz + ':')), bZoneNamed);
    const ReadResult back = Read(file);
    QCOMPARE(back.error, QString());
    QCOMPARE(back.leftOut, QStringList());
    QCOMPARE(back.items, Described(items));
}

// What other programs rely on: lunar holidays on the right days, strict zone rules, the lines.
void TestIcsFormat::writtenForm()
{
    FakeClock clock(QDateTime(QDate(2026, 12, 7), QTime(10, 0)));
    const QByteArray file = Write(AllKinds());
    const QList<QDate> autumn = DatesOf(file, "h3");
    QCOMPARE(autumn.first(), QDate(2027, 9, 15));
    QCOMPARE(autumn.at(1), QDate(2028, 10, 3));
    QList<QDate> everyDay; // the days the day view shows the holiday on, found one day at a time
    for (QDate date(2026, 12, 7); everyDay.size() < 30; date = date.addDays(1)) {
        if (SolarToLunar(date).strKey == u"0815"_s)
            everyDay << date;
    }
    QCOMPARE(autumn, everyDay);
    QCOMPARE(DatesOf(file, "h4").first(), QDate(2027, 2, 6));

    const QByteArrayList lines = file.split('\n');
    for (const QByteArray& line : lines) {
        QVERIFY2(line.isEmpty() || line.endsWith('\r'), line.constData());
        QVERIFY2(line.size() <= 76, line.constData());
        if (line.startsWith("RRULE:") && line.contains("UNTIL="))
            QVERIFY2(QString::fromLatin1(line).contains(QRegularExpression(u"UNTIL=\\d{8}T\\d{6}Z"_s)),
                     line.constData());
    }
    QVERIFY(file.contains("BEGIN:VTIMEZONE\r\nTZID:Asia/Shanghai\r\n"));
    QVERIFY(file.contains("DTSTART;TZID=Asia/Shanghai:20260309T070509\r\n"));
    QVERIFY(file.contains("RRULE:FREQ=WEEKLY;BYDAY=TH\r\n")); // 9 March + 80 days is a Thursday
    QVERIFY(file.contains("STATUS:COMPLETED\r\nCOMPLETED:"));

    // Every length of line, folded once or twice, reads back.
    QList<ExchangeItem> lengths;
    for (int n = 1; n < 240; ++n)
        lengths << TaskItem(QString::number(n), u"2026-12-07"_s, QString(n, u'x'), TaskStates::NotDone());
    const ReadResult back = Read(Write(lengths));
    QCOMPARE(back.error, QString());
    QCOMPARE(back.items, Described(lengths));

    // Zones as older libical builds them, with UNTIL in the wall time before the change.
    icaltimezone* older = icaltimezone_new();
    icaltimezone_set_component(
        older, icalparser_parse_string("BEGIN:VTIMEZONE\nTZID:/lib/America/New_York\n"
                                       "BEGIN:STANDARD\nTZOFFSETFROM:-0400\nTZOFFSETTO:-0500\n"
                                       "DTSTART:19671029T020000\n"
                                       "RRULE:FREQ=YEARLY;UNTIL=20061029T020000;BYDAY=-1SU;BYMONTH=10\n"
                                       "END:STANDARD\nEND:VTIMEZONE\n"));
    const IcalComponentPtr written = LocalZoneComponent(IcsLocalZone{"America/New_York", older});
    const QByteArray zoneText(icalcomponent_as_ical_string(written.get()));
    icaltimezone_free(older, 1);
    QVERIFY2(zoneText.contains("TZID:America/New_York\r\n"), zoneText.constData());
    QVERIFY2(zoneText.contains("UNTIL=20061029T060000Z;"), zoneText.constData());
}

void TestIcsFormat::thirdPartyReaders()
{
    FakeClock clock(QDateTime(QDate(2026, 12, 7), QTime(10, 0)));
    const auto zone = ZoneScope("America/New_York"); // a zone whose rules end and change over the years
    const QByteArray file = Write(AllKinds());
    QTemporaryDir dir;
    const QString path = dir.filePath(u"out.ics"_s);
    QVERIFY(WriteAll(path, file));

    // A strict reader: every component without parse errors, every property decoded.
    const char* script = R"(
import sys, icalendar
cal = icalendar.Calendar.from_ical(open(sys.argv[1], 'rb').read())
factory = icalendar.prop.TypesFactory()
count = 0
for comp in cal.walk():
    if comp.errors:
        sys.exit('%s: %s' % (comp.name, comp.errors))
    for name in comp:
        if isinstance(comp[name], list):
            for value in comp[name]:
                factory.from_ical(name, value.to_ical().decode())
        else:
            comp.decoded(name)
    count += 1
print(count)
)";
    QProcess python;
    python.start(u"/usr/bin/python3"_s, {u"-c"_s, QString::fromUtf8(script), path});
    QVERIFY(python.waitForFinished(60000));
    QVERIFY2(python.exitCode() == 0, python.readAllStandardError().constData());
    // The calendar, the zone with its 17 rules, and the items with the reminders' alarms.
    QCOMPARE(python.readAllStandardOutput().trimmed(), QByteArray("53"));

    icalcomponent* calendar = icalparser_parse_string(file.constData());
    QVERIFY(calendar);
    QCOMPARE(icalcomponent_count_errors(calendar), 0);
    QCOMPARE(icalcomponent_count_components(calendar, ICAL_VEVENT_COMPONENT) +
                 icalcomponent_count_components(calendar, ICAL_VTODO_COMPONENT),
             int(AllKinds().size()));
    icalcomponent_free(calendar);
}

void TestIcsFormat::otherPrograms_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QStringList>("items");
    QTest::addColumn<QStringList>("leftOut");

    QTest::newRow("Shanghai")
        << Calendar(kShanghai + Event("UID:a1\nDTSTART;TZID=Asia/Shanghai:20261207T090000\n"
                                      "DTEND;TZID=Asia/Shanghai:20261207T100000\nRRULE:FREQ=WEEKLY;BYDAY=MO\n"
                                      "SUMMARY:周会\nDESCRIPTION:会议室 3\\, 带电脑\n"
                                      "BEGIN:VALARM\nACTION:AUDIO\nTRIGGER:-PT10M\nEND:VALARM\n"))
        << QStringList{u"R 2026-12-07 09:00:00 w2 m2 r1 周会|会议室 3, 带电脑 [a1]"_s} << QStringList();

    // The zone comes after the event; Wednesday evening in New York is Thursday morning here.
    QTest::newRow("New York, zone last")
        << Calendar(
               Event("UID:b1\nSUMMARY:Standup\n"
                     "DTSTART;TZID=Eastern Standard Time:20260701T200000\n"
                     "RRULE:FREQ=WEEKLY;BYDAY=WE\n") +
               Event("UID:b2\nSUMMARY:Winter call\nDTSTART;TZID=Eastern Standard Time:20261216T200000\n") +
               kNewYork)
        << QStringList{u"R 2026-07-02 08:00:00 w5 m2 r0 Standup| [b1]"_s,
                       u"R 2026-12-17 09:00:00 w5 m0 r0 Winter call| [b2]"_s}
        << QStringList();

    QTest::newRow("all-day")
        << Calendar(
               Event("UID:c1\nSUMMARY:生日\nDTSTART;VALUE=DATE:19900514\nRRULE:FREQ=YEARLY\n") +
               Event("UID:c2\nSUMMARY:搬家\nDTSTART;VALUE=DATE:20261220\nDTEND;VALUE=DATE:20261221\n") +
               Event(
                   "UID:c3\nSUMMARY:端午\nDTSTART;VALUE=DATE:20260619\nRRULE:RSCALE=CHINESE;FREQ=YEARLY\n") +
               Event("UID:c4\nSUMMARY:Trip\nDTSTART;VALUE=DATE:20261220\nDTEND;VALUE=DATE:20261224\n") +
               Event("UID:c5\nSUMMARY:闰五月\nDTSTART;VALUE=DATE:20250625\n"
                     "RRULE:RSCALE=CHINESE;FREQ=YEARLY;BYMONTH=6L;BYMONTHDAY=1\n") +
               Event("UID:c6\nSUMMARY:Thanksgiving\nDTSTART;VALUE=DATE:20261126\n"
                     "RRULE:FREQ=YEARLY;BYMONTH=11;BYDAY=4TH\n"))
        << QStringList{u"H S 0514 生日 [c1]"_s, u"T 2026-12-20 未完成 搬家 [c2]"_s, u"H L 0505 端午 [c3]"_s}
        << QStringList{u"25 Trip [c4]: 跨越几天的全天事件"_s, u"32 闰五月 [c5]: 计划的农历节日不能只在闰月"_s,
                       u"39 Thanksgiving [c6]: 计划不支持这种重复方式（间隔、次数、截止日期或多个日子）"_s};

    QTest::newRow("to-dos")
        << Crlf(Calendar("BEGIN:VTODO\nUID:d1\nDTSTAMP:20261201T000000Z\nSUMMARY:没有日期\nEND:VTODO\n"
                         "BEGIN:VTODO\nUID:d2\nDTSTAMP:20261201T000000Z\nSUMMARY:Pay rent\n"
                         "DUE:20261231T170000Z\nSTATUS:COMPLETED\nEND:VTODO\n"
                         "BEGIN:VTODO\nUID:d3\nDTSTAMP:20261201T000000Z\nSUMMARY:Dropped\n"
                         "DUE;VALUE=DATE:20261210\nSTATUS:CANCELLED\nEND:VTODO\n"
                         "BEGIN:VTODO\nUID:d4\nDTSTAMP:20261201T000000Z\nDTSTART;VALUE=DATE:20261209\n"
                         "STATUS:IN-PROCESS\nSUMMARY:Started\nEND:VTODO\n"))
        << QStringList{u"T 2026-12-07 未完成 没有日期 [d1]"_s, u"T 2027-01-01 已完成 Pay rent [d2]"_s,
                       u"T 2026-12-09 进行中 Started [d4]"_s}
        << QStringList{u"16 Dropped [d3]: 待办已取消"_s};

    const QString unsupported = u"计划不支持这种重复方式（间隔、次数、截止日期或多个日子）"_s;
    QByteArray rules;
    QStringList rulesLeft;
    int line = 4;
    for (const char* rule :
         {"FREQ=WEEKLY;INTERVAL=2", "FREQ=DAILY;COUNT=5", "FREQ=MONTHLY;BYDAY=MO;BYSETPOS=1",
          "FREQ=DAILY;UNTIL=20270101T000000Z", "FREQ=WEEKLY;BYDAY=MO,WE", "FREQ=HOURLY"}) {
        rules += Event(QByteArray("SUMMARY:") + rule + "\nDTSTART:20261207T090000\nRRULE:" + rule + '\n');
        rulesLeft << u"%1 %2 []: %3"_s.arg(line).arg(QString::fromLatin1(rule), unsupported);
        line += 6;
    }
    QTest::newRow("recurrences the planner cannot hold") << Calendar(rules) << QStringList() << rulesLeft;

    // Folds anywhere, even inside a character of several bytes, and a BEGIN line folded too.
    QTest::newRow("folded lines")
        << Calendar(
               "BEGIN:VEV\n ENT\nUID:e1\\t\nDTSTART:20261207T080000Z\nSUMMARY:折\xe5\n \x8f\xa0的\n\t标题\n"
               "DESCRIPTION:a\\nb\\r\\nc\\b\tc\nEND:VEVENT\n")
        << QStringList{u"R 2026-12-07 16:00:00 w2 m0 r0 折叠的标题|a\nb\nc\tc [e1]"_s} << QStringList();

    QTest::newRow("markers in lower case")
        << Calendar("begin:vevent\nUID:e2\nDTSTART:20261207T080000Z\nSUMMARY:小写\nEnd:VEvent \n")
        << QStringList{u"R 2026-12-07 16:00:00 w2 m0 r0 小写| [e2]"_s} << QStringList();

    QTest::newRow("whole but unusable")
        << Calendar(
               Event("UID:f1\nDTSTART:20260230T090000\nSUMMARY:No such day\n") +
               Event("UID:f2\nDTSTART:20261207T090000\n") +
               Event("SUMMARY:Mars\nDTSTART;TZID=Olympus Mons:20261207T090000\n") +
               "BEGIN:VJOURNAL\nUID:f4\nSUMMARY:日记\nEND:VJOURNAL\n" +
               Event("UID:f5\nSUMMARY:Moved\nRECURRENCE-ID:20261207T090000Z\nDTSTART:20261208T090000Z\n") +
               Event("UID:f6\nSUMMARY:Broken rule\nDTSTART:20261208T090000Z\nRRULE:FREQ=WEEKLY;BYDAY=XX\n") +
               Event("UID:f7\nSUMMARY:Far\nDTSTART;VALUE=DATE:39801028\n"))
        << QStringList()
        << QStringList{u"4 No such day [f1]: 日期不存在"_s,
                       u"10 f2 [f2]: 没有标题（SUMMARY）"_s,
                       u"15 Mars []: 不认识的时区“Olympus Mons”"_s,
                       u"20 日记 [f4]: 计划不保存这种日历内容（VJOURNAL）"_s,
                       u"24 Moved [f5]: 重复事件中单独改动的一次"_s,
                       u"31 Broken rule [f6]: RRULE 的值无法读取"_s,
                       u"38 Far [f7]: 日期不存在"_s};
}

void TestIcsFormat::otherPrograms()
{
    QFETCH(QByteArray, file);
    QFETCH(QStringList, items);
    QFETCH(QStringList, leftOut);
    FakeClock clock(QDateTime(QDate(2026, 12, 7), QTime(10, 0)));
    const ReadResult result = Read(file);
    QCOMPARE(result.error, QString());
    QCOMPARE(result.items, items);
    QCOMPARE(result.leftOut, leftOut);
}

void TestIcsFormat::damaged_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QString>("error");

    const QByteArray good = Calendar(Event("UID:g1\nSUMMARY:One\nDTSTART:20261207T090000\n"));
    QTest::newRow("empty") << QByteArray() << u"第 1 行：文件是空的。"_s;
    QTest::newRow("blank lines only")
        << QByteArray("\n\n") << u"第 2 行：文件里没有日历（没有 BEGIN:VCALENDAR）。"_s;
    QTest::newRow("binary garbage")
        << QByteArray("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16)
        << u"第 1 行：这一行不是日历内容（文件已损坏，或不是 iCalendar 文件）。"_s;
    QTest::newRow("garbage inside")
        << Calendar(QByteArray("\xff\xfe\x00garbage\n", 12) + Event("SUMMARY:x\n"))
        << u"第 4 行：这一行不是日历内容（文件已损坏，或不是 iCalendar 文件）。"_s;
    QTest::newRow("cut mid-component")
        << good.left(good.indexOf("SUMMARY"))
        << u"第 6 行：文件在 VEVENT 的中间结束了（从第 4 行开始，UID g1），文件不完整。"_s;
    QTest::newRow("missing END:VCALENDAR") << good.left(good.indexOf("END:VCALENDAR"))
                                           << u"第 9 行：文件在 END:VCALENDAR 之前就结束了，文件不完整。"_s;
    QTest::newRow("component without END")
        << Calendar("BEGIN:VEVENT\nUID:g2\nSUMMARY:Open\n")
        << u"第 7 行：缺少 END:VEVENT（VEVENT 从第 4 行开始，UID g2），文件不完整。"_s;
    QTest::newRow("crossed ENDs") << Calendar("BEGIN:VEVENT\nBEGIN:VALARM\nEND:VEVENT\nEND:VALARM\n")
                                  << u"第 6 行：应为 END:VALARM，却是 END:VEVENT。"_s;
    QTest::newRow("not a calendar") << QByteArray("Subject: hello\n\nBEGIN:VCALENDAR\n")
                                    << u"第 1 行：不是 iCalendar 文件（应以 BEGIN:VCALENDAR 开始）。"_s;
    QTest::newRow("invalid UTF-8") << Calendar(Event("SUMMARY:caf\xe9\n"))
                                   << u"第 6 行：这一行不是日历内容（文件已损坏，或不是 iCalendar 文件）。"_s;
}

void TestIcsFormat::damaged()
{
    QFETCH(QByteArray, file);
    QFETCH(QString, error);
    QCOMPARE(Read(file).error, error);
}

QTEST_GUILESS_MAIN(TestIcsFormat)
#include "tst_icsformat.moc"
