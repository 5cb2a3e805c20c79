// Calendar files end to end: the planner's tables written to a file and read into an empty
// database come back as they were, a file read twice changes nothing the second time, and a
// damaged or huge file changes nothing and holds no more than a little memory.
#include "ExchangeItems.h"
#include "FakeClock.h"
#include "StoreFixture.h"
#include "TableRows.h"
#include "TestFiles.h"
#include "exchange/CalendarExchange.h"

#include <QFileInfo>
#include <ctime>

using namespace Qt::StringLiterals;

namespace {

const QDate kDay(2026, 12, 6);

/// The rows of the four tables a file carries.
QStringList Tables(CDataStore& store)
{
    return AllRows(store, {u"shiqing"_s, u"tx"_s, u"yljrb"_s, u"lljrb"_s});
}

/// The peak of the process's resident memory so far, in KiB ("VmHWM"); -1 when not told.
qint64 PeakMemoryKiB()
{
    const QByteArrayList lines = ReadAll(u"/proc/self/status"_s).split('\n');
    for (const QByteArray& line : lines) {
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').first().toLongLong();
    }
    return -1;
}

/// Texts that a file has to escape, fold or carry as they are.
QString Awkward(int n)
{
    const QString texts[] = {
        u"引号 \"双\" '单'，逗号, 分号; 冒号: 反斜杠 \\ \\n \\\\"_s,
        u"第一行\n第二行\n\n第四行"_s,
        u"表情 😀👨‍👩‍👧 ✓ ǅ ﷽"_s,
        u"字,;\\\"😀"_s.repeated(1429).left(10000),
    };
    return texts[n];
}

// Every task state, every reminder mode ringing or not, identical reminders side by side, holidays
// of both calendars, and the awkward texts in each table.
bool SeedAll(CDataStore& st)
{
    bool ok = st.AddTask(kDay, u"未"_s, TaskStates::NotDone()) &&
              st.AddTask(kDay, u"进"_s, TaskStates::InProgress()) &&
              st.AddTask(kDay, u"完"_s, TaskStates::Done()) &&
              st.AddTask(kDay, u"推"_s, TaskStates::Postponed()) &&
              st.AddTask(kDay.addDays(1), u"推"_s, TaskStates::NotDone());
    for (int mode = ReminderOnce; mode <= ReminderYearly; ++mode) {
        for (int ring = 0; ring < 2; ++ring)
            ok = ok && st.AddReminder(QDateTime(kDay.addDays(mode * 40), QTime(7, mode, 9)), mode, ring,
                                      u"提醒 %1 %2"_s.arg(mode).arg(ring), ring ? u"内容"_s : QString());
    }
    for (int i = 0; i < 4; ++i)
        ok = ok && st.AddReminder(QDateTime(kDay, QTime(8, 0)), ReminderDaily, i != 2, u"同"_s, u"样"_s);
    ok = ok && st.AddHoliday(HolidayCalendar::Solar, u"0101"_s, u"元旦"_s) &&
         st.AddHoliday(HolidayCalendar::Solar, u"0229"_s, u"闰日"_s) &&
         st.AddHoliday(HolidayCalendar::Solar, u"0101"_s, u"新年"_s) &&
         st.AddHoliday(HolidayCalendar::Lunar, u"0815"_s, u"中秋"_s) &&
         st.AddHoliday(HolidayCalendar::Lunar, u"1230"_s, u"除夕"_s);
    for (int n = 0; n < 4; ++n) {
        ok =
            ok && st.AddTask(kDay, Awkward(n), TaskStates::InProgress()) &&
            st.AddReminder(QDateTime(kDay, QTime(9, n)), ReminderWeekly, n % 2, Awkward(n), Awkward(3 - n)) &&
            st.AddHoliday(HolidayCalendar::Solar, u"05%1"_s.arg(n + 10), Awkward(n));
    }
    return ok;
}

} // namespace

class TestExchangeFile : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        qputenv("TZ", "Asia/Shanghai");
        tzset();
    }

    void roundTrip();
    void changedFileUpdates();
    void unwritableRowsLeftOut();
    void damagedChangesNothing();
    void hugeFileBoundedMemory();
};

// Into an empty database the tables come back as they were; the same file again changes nothing.
void TestExchangeFile::roundTrip()
{
    FakeClock clock(QDateTime(QDate(2026, 12, 7), QTime(10, 0)));
    StoreFixture from, to;
    QVERIFY(from.Open() && to.Open());
    QVERIFY(SeedAll(from.store));
    const QString path = from.dir.filePath(u"日历.ics"_s);
    const CalendarExchange::ExportResult exported = CalendarExchange::ExportFile(from.store, path);
    QVERIFY2(exported.bOk, qPrintable(exported.strError));
    QVERIFY(exported.leftOut.isEmpty());
    const QStringList tables = Tables(from.store);

    CalendarExchange::ImportResult imported = CalendarExchange::ImportFile(to.store, path);
    QVERIFY2(imported.bOk, qPrintable(imported.strError));
    QCOMPARE(imported.SummaryText().count(u"未导入"_s), 0);
    QCOMPARE(Tables(to.store), tables);
    imported = CalendarExchange::ImportFile(to.store, path);
    QVERIFY2(imported.bOk, qPrintable(imported.strError));
    QCOMPARE(Counts(imported), u"added 0 0 0, updated 0 0 0"_s);
    QCOMPARE(Tables(to.store), tables);
    QVERIFY(from.errors.texts().isEmpty() && to.errors.texts().isEmpty());
}

// A task's state changed in the file since it was read, by another program, comes in as an update.
void TestExchangeFile::changedFileUpdates()
{
    FakeClock clock(QDateTime(QDate(2026, 12, 7), QTime(10, 0)));
    StoreFixture from, to;
    QVERIFY(from.Open() && to.Open());
    QVERIFY(from.store.AddTask(kDay, u"甲"_s, TaskStates::InProgress()) &&
            from.store.AddTask(kDay, u"乙"_s, TaskStates::NotDone()));
    const QString path = from.dir.filePath(u"日历.ics"_s);
    QVERIFY(CalendarExchange::ExportFile(from.store, path).bOk);
    QVERIFY(CalendarExchange::ImportFile(to.store, path).bOk);
    QByteArray text = ReadAll(path);
    QCOMPARE(text.count("STATUS:IN-PROCESS\r\n"), 1);
    // As another program marks it done: our own state property stays as it found it.
    text.replace("STATUS:IN-PROCESS\r\n", "STATUS:COMPLETED\r\n");
    QVERIFY(WriteAll(path, text));
    const CalendarExchange::ImportResult imported = CalendarExchange::ImportFile(to.store, path);
    QVERIFY2(imported.bOk, qPrintable(imported.strError));
    QCOMPARE(Counts(imported), u"added 0 0 0, updated 1 0 0"_s);
    QStringList tasks = TableTest::Tasks(to.store);
    tasks.sort();
    QCOMPARE(tasks, (QStringList{u"2026-12-06 已完成 甲"_s, u"2026-12-06 未完成 乙"_s}));
}

// Rows another program wrote with dates a file cannot say are left out and listed; the rest of
// the export goes on and reads back.
void TestExchangeFile::unwritableRowsLeftOut()
{
    FakeClock clock(QDateTime(QDate(2026, 12, 7), QTime(10, 0)));
    StoreFixture from, to;
    QVERIFY(from.Open() && to.Open());
    QVERIFY(from.store.AddTask(kDay, u"好"_s, TaskStates::NotDone()));
    QVERIFY(from.store.AddReminder(QDateTime(kDay, QTime(8, 0)), ReminderOnce, 1, u"好提醒"_s, {}));
    for (const char* sql : {"INSERT INTO shiqing VALUES ('2026-13-45', '坏日期', '未完成')",
                            "INSERT INTO shiqing VALUES ('abc', '', '未完成')",
                            "INSERT INTO shiqing VALUES ('3001-01-01', '太远', '已完成')",
                            "INSERT INTO tx VALUES (2026, 2, 30, 8, 0, 0, 1, 0, 1, '坏提醒', '')",
                            "INSERT INTO yljrb VALUES ('1332', '坏节日')"})
        QVERIFY(TableTest::Exec(from.store, QString::fromUtf8(sql)).isActive());
    const QString path = from.dir.filePath(u"日历.ics"_s);
    const CalendarExchange::ExportResult exported = CalendarExchange::ExportFile(from.store, path);
    QVERIFY2(exported.bOk, qPrintable(exported.strError));
    QCOMPARE(exported.written, (std::array<int, 3>{1, 1, 0}));
    QStringList lines = CalendarExchange::LeftOutLines(exported.leftOut);
    const QString unnamed = exported.leftOut.value(2).strUid;
    QVERIFY(!unnamed.isEmpty());
    QCOMPARE(
        lines,
        (QStringList{u"坏日期：事情“坏日期”的日期“2026-13-45”无效（日历文件只能写到 3000 年）。"_s,
                     u"太远：事情“太远”的日期“3001-01-01”无效（日历文件只能写到 3000 年）。"_s,
                     unnamed + u"：事情“”的日期“abc”无效（日历文件只能写到 3000 年）。"_s,
                     QStringLiteral(
                         "坏提醒：提醒“坏提醒”的时间“2026-02-30 08:00:00”无效（日历文件只能写到 3000 年）。"),
                     u"坏节日：阳历节日“坏节日”的日子“1332”无效。"_s}));
    // A message box lists the first ones and counts the rest.
    lines = CalendarExchange::LeftOutLines(exported.leftOut, 2);
    QCOMPARE(lines.size(), 3);
    QCOMPARE(lines.last(), u"另有 3 项没有列出。"_s);

    const CalendarExchange::ImportResult imported = CalendarExchange::ImportFile(to.store, path);
    QVERIFY2(imported.bOk, qPrintable(imported.strError));
    QCOMPARE(Counts(imported), u"added 1 1 0, updated 0 0 0"_s);
    QCOMPARE(TableTest::Tasks(to.store), QStringList{u"2026-12-06 未完成 好"_s});
}

// A file cut short in a component is refused with what and where, and changes nothing, also
// of what the file held before the cut.
void TestExchangeFile::damagedChangesNothing()
{
    FakeClock clock(QDateTime(QDate(2026, 12, 7), QTime(10, 0)));
    StoreFixture from, to;
    QVERIFY(from.Open() && to.Open());
    for (int n = 0; n < 3; ++n)
        QVERIFY(from.store.AddTask(kDay, u"新 %1"_s.arg(n), TaskStates::NotDone()));
    QVERIFY(to.store.AddTask(kDay, u"旧"_s, TaskStates::Done()));
    const QString path = from.dir.filePath(u"日历.ics"_s);
    QVERIFY(CalendarExchange::ExportFile(from.store, path).bOk);
    const QByteArray whole = ReadAll(path);
    const QByteArray cut = whole.left(whole.lastIndexOf("SUMMARY"));
    QVERIFY(WriteAll(path, cut));
    const QStringList before = Tables(to.store);
    const CalendarExchange::ImportResult imported = CalendarExchange::ImportFile(to.store, path);
    QVERIFY(!imported.bOk);
    const QString message =
        QStringLiteral("不能导入文件 %1，数据没有改动：第 %2 行：文件在 VTODO 的中间结束了"
                       "（从第 %3 行开始，UID ")
            .arg(path)
            .arg(cut.count('\n'))
            .arg(cut.left(cut.lastIndexOf("BEGIN:VTODO")).count('\n') + 1);
    QVERIFY2(imported.strError.startsWith(message), qPrintable(imported.strError + u" / " + message));
    QCOMPARE(Tables(to.store), before);
    QVERIFY(to.errors.texts().isEmpty());
}

// 50 MB of one event repeated: read one component at a time, never the file whole.
void TestExchangeFile::hugeFileBoundedMemory()
{
    StoreFixture to;
    QVERIFY(to.Open());
    const QString path = to.dir.filePath(u"huge.ics"_s);
    {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        const QByteArray event = "BEGIN:VEVENT\r\nUID:huge-1@example.com\r\nDTSTAMP:20261207T000000Z\r\n"
                                 "DTSTART:20261208T090000\r\nSUMMARY:" +
                                 u"同一个事件"_s.toUtf8() + "\r\nDESCRIPTION:" + QByteArray(60, 'x') +
                                 "\r\nEND:VEVENT\r\n";
        QByteArray block;
        while (block.size() < 1024 * 1024)
            block += event;
        QVERIFY(file.write("BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//Test//Test//EN\r\n") > 0);
        for (int n = 0; n < 50; ++n)
            QVERIFY(file.write(block) == block.size());
        QVERIFY(file.write("END:VCALENDAR\r\n") > 0);
    }
    QVERIFY(QFileInfo(path).size() > 50 * 1024 * 1024);
    // The peak so far is the test's own; from here on only the import's counts.
    WriteAll(u"/proc/self/clear_refs"_s, "5");
    const qint64 before = PeakMemoryKiB();
    QVERIFY(before > 0);
    const CalendarExchange::ImportResult imported = CalendarExchange::ImportFile(to.store, path);
    const qint64 growth = PeakMemoryKiB() - before;
    QVERIFY2(growth < 150 * 1024, qPrintable(u"%1 KiB more"_s.arg(growth)));
    QVERIFY2(imported.bOk, qPrintable(imported.strError));
    QCOMPARE(Counts(imported), u"added 0 1 0, updated 0 0 0"_s);
    QCOMPARE(to.store.CountReminders(), 1);
}

QTEST_GUILESS_MAIN(TestExchangeFile)
#include "tst_exchangefile.moc"
