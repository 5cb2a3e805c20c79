// Calendar files end to end: the planner's tables written to a file and read into an empty
// database come back as they were, a file read twice changes nothing the second time, and a
// damaged or huge file changes nothing and holds no more than a little memory.
#include "FakeClock.h"
#include "StoreFixture.h"
#include "TestFiles.h"
#include "exchange/CalendarExchange.h"

#include <QFileInfo>
#include <QRandomGenerator>
#include <QSqlRecord>
#include <ctime>

namespace {

const QDate kDay(2026, 12, 6);

/// The rows of the four tables a file carries, each table's sorted (the seed's tables keep no order).
QStringList Tables(CDataStore& store)
{
    QStringList all;
    for (const QString& table : {QStringLiteral("shiqing"), QStringLiteral("tx"), QStringLiteral("yljrb"),
                                 QStringLiteral("lljrb")}) {
        QStringList rows;
        for (QSqlQuery q = TableTest::Exec(store, QStringLiteral("SELECT * FROM ") + table); q.next();) {
            QStringList values;
            for (int i = 0; i < q.record().count(); ++i)
                values << q.value(i).toString();
            rows << table + u' ' + values.join(u'|');
        }
        rows.sort();
        all << rows;
    }
    return all;
}

/// The peak of the process's resident memory so far, in KiB ("VmHWM"); -1 when not told.
qint64 PeakMemoryKiB()
{
    const QByteArrayList lines = ReadAll(QStringLiteral("/proc/self/status")).split('\n');
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
        QStringLiteral("引号 \"双\" '单'，逗号, 分号; 冒号: 反斜杠 \\ \\n \\\\"),
        QStringLiteral("第一行\n第二行\n\n第四行"),
        QStringLiteral("表情 😀👨‍👩‍👧 ✓ ǅ ﷽"),
        QStringLiteral("字,;\\\"😀").repeated(1429).left(10000),
    };
    return texts[n];
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

    void roundTrip_data();
    void roundTrip();
    void changedFileUpdates();
    void unwritableRowsLeftOut();
    void damaged_data();
    void damaged();
    void hugeFileBoundedMemory();
};

void TestExchangeFile::roundTrip_data()
{
    QTest::addColumn<StoreOp>("seed");
    QTest::newRow("every task state") << StoreOp([](CDataStore& st) {
        return int(st.AddTask(kDay, QStringLiteral("未"), TaskStates::NotDone()) &&
                   st.AddTask(kDay, QStringLiteral("进"), TaskStates::InProgress()) &&
                   st.AddTask(kDay, QStringLiteral("完"), TaskStates::Done()) &&
                   st.AddTask(kDay, QStringLiteral("推"), TaskStates::Postponed()) &&
                   st.AddTask(kDay.addDays(1), QStringLiteral("推"), TaskStates::NotDone()));
    });
    QTest::newRow("every reminder mode, ringing or not") << StoreOp([](CDataStore& st) {
        bool ok = true;
        for (int mode = ReminderOnce; mode <= ReminderYearly; ++mode) {
            for (int ring = 0; ring < 2; ++ring)
                ok = ok && st.AddReminder(QDateTime(kDay.addDays(mode * 40), QTime(7, mode, 9)), mode, ring,
                                          QStringLiteral("提醒 %1 %2").arg(mode).arg(ring),
                                          ring ? QStringLiteral("内容") : QString());
        }
        return int(ok);
    });
    QTest::newRow("identical reminders side by side") << StoreOp([](CDataStore& st) {
        const QDateTime when(kDay, QTime(8, 0));
        return int(st.AddReminder(when, ReminderDaily, 1, QStringLiteral("同"), QStringLiteral("样")) &&
                   st.AddReminder(when, ReminderDaily, 1, QStringLiteral("同"), QStringLiteral("样")) &&
                   st.AddReminder(when, ReminderDaily, 0, QStringLiteral("同"), QStringLiteral("样")) &&
                   st.AddReminder(when, ReminderDaily, 1, QStringLiteral("同"), QStringLiteral("样")));
    });
    QTest::newRow("solar and lunar holidays") << StoreOp([](CDataStore& st) {
        return int(st.AddHoliday(HolidayCalendar::Solar, QStringLiteral("0101"), QStringLiteral("元旦")) &&
                   st.AddHoliday(HolidayCalendar::Solar, QStringLiteral("0229"), QStringLiteral("闰日")) &&
                   st.AddHoliday(HolidayCalendar::Solar, QStringLiteral("0101"), QStringLiteral("新年")) &&
                   st.AddHoliday(HolidayCalendar::Lunar, QStringLiteral("0815"), QStringLiteral("中秋")) &&
                   st.AddHoliday(HolidayCalendar::Lunar, QStringLiteral("1230"), QStringLiteral("除夕")));
    });
    QTest::newRow("texts") << StoreOp([](CDataStore& st) {
        bool ok = true;
        for (int n = 0; n < 4; ++n) {
            ok = ok && st.AddTask(kDay, Awkward(n), TaskStates::InProgress()) &&
                 st.AddReminder(QDateTime(kDay, QTime(9, n)), ReminderWeekly, n % 2, Awkward(n),
                                Awkward(3 - n)) &&
                 st.AddHoliday(HolidayCalendar::Solar, QStringLiteral("05%1").arg(n + 10), Awkward(n));
        }
        return int(ok);
    });
}

// Into an empty database the tables come back as they were; the same file again changes nothing.
void TestExchangeFile::roundTrip()
{
    QFETCH(StoreOp, seed);
    FakeClock clock(QDateTime(QDate(2026, 12, 7), QTime(10, 0)));
    StoreFixture from, to;
    QVERIFY(from.Open() && to.Open());
    QVERIFY(seed(from.store));
    const QString path = from.dir.filePath(QStringLiteral("日历.ics"));
    const CalendarExchange::ExportResult exported = CalendarExchange::ExportFile(from.store, path);
    QVERIFY2(exported.bOk, qPrintable(exported.strError));
    QVERIFY(exported.leftOut.isEmpty());
    const QStringList tables = Tables(from.store);

    CalendarExchange::ImportResult imported = CalendarExchange::ImportFile(to.store, path);
    QVERIFY2(imported.bOk, qPrintable(imported.strError));
    QCOMPARE(imported.SummaryText().count(QStringLiteral("未导入")), 0);
    QCOMPARE(Tables(to.store), tables);
    imported = CalendarExchange::ImportFile(to.store, path);
    QVERIFY2(imported.bOk, qPrintable(imported.strError));
    QCOMPARE(Counts(imported), QStringLiteral("added 0 0 0, updated 0 0 0"));
    QCOMPARE(Tables(to.store), tables);
    QVERIFY(from.errors.texts().isEmpty() && to.errors.texts().isEmpty());
}

// A task's state changed in the file since it was read, by another program, comes in as an update.
void TestExchangeFile::changedFileUpdates()
{
    FakeClock clock(QDateTime(QDate(2026, 12, 7), QTime(10, 0)));
    StoreFixture from, to;
    QVERIFY(from.Open() && to.Open());
    QVERIFY(from.store.AddTask(kDay, QStringLiteral("甲"), TaskStates::InProgress()) &&
            from.store.AddTask(kDay, QStringLiteral("乙"), TaskStates::NotDone()));
    const QString path = from.dir.filePath(QStringLiteral("日历.ics"));
    QVERIFY(CalendarExchange::ExportFile(from.store, path).bOk);
    QVERIFY(CalendarExchange::ImportFile(to.store, path).bOk);
    QByteArray text = ReadAll(path);
    QCOMPARE(text.count("STATUS:IN-PROCESS\r\n"), 1);
    // As another program marks it done: our own state property stays as it found it.
    text.replace("STATUS:IN-PROCESS\r\n", "STATUS:COMPLETED\r\n");
    QVERIFY(WriteAll(path, text));
    const CalendarExchange::ImportResult imported = CalendarExchange::ImportFile(to.store, path);
    QVERIFY2(imported.bOk, qPrintable(imported.strError));
    QCOMPARE(Counts(imported), QStringLiteral("added 0 0 0, updated 1 0 0"));
    QStringList tasks = TableTest::Tasks(to.store);
    tasks.sort();
    QCOMPARE(tasks,
             (QStringList{QStringLiteral("2026-12-06 已完成 甲"), QStringLiteral("2026-12-06 未完成 乙")}));
}

// Rows another program wrote with dates a file cannot say are left out and listed; the rest of
// the export goes on and reads back.
void TestExchangeFile::unwritableRowsLeftOut()
{
    FakeClock clock(QDateTime(QDate(2026, 12, 7), QTime(10, 0)));
    StoreFixture from, to;
    QVERIFY(from.Open() && to.Open());
    QVERIFY(from.store.AddTask(kDay, QStringLiteral("好"), TaskStates::NotDone()));
    QVERIFY(
        from.store.AddReminder(QDateTime(kDay, QTime(8, 0)), ReminderOnce, 1, QStringLiteral("好提醒"), {}));
    for (const char* sql : {"INSERT INTO shiqing VALUES ('2026-13-45', '坏日期', '未完成')",
                            "INSERT INTO shiqing VALUES ('abc', '', '未完成')",
                            "INSERT INTO shiqing VALUES ('3001-01-01', '太远', '已完成')",
                            "INSERT INTO tx VALUES (2026, 2, 30, 8, 0, 0, 1, 0, 1, '坏提醒', '')",
                            "INSERT INTO yljrb VALUES ('1332', '坏节日')"})
        QVERIFY(TableTest::Exec(from.store, QString::fromUtf8(sql)).isActive());
    const QString path = from.dir.filePath(QStringLiteral("日历.ics"));
    const CalendarExchange::ExportResult exported = CalendarExchange::ExportFile(from.store, path);
    QVERIFY2(exported.bOk, qPrintable(exported.strError));
    QCOMPARE(exported.written, (std::array<int, 3>{1, 1, 0}));
    QStringList lines = CalendarExchange::LeftOutLines(exported.leftOut);
    const QString unnamed = exported.leftOut.value(2).strUid;
    QVERIFY(!unnamed.isEmpty());
    QCOMPARE(lines,
             (QStringList{
                 QStringLiteral("坏日期：事情“坏日期”的日期“2026-13-45”无效（日历文件只能写到 3000 年）。"),
                 QStringLiteral("太远：事情“太远”的日期“3001-01-01”无效（日历文件只能写到 3000 年）。"),
                 unnamed + QStringLiteral("：事情“”的日期“abc”无效（日历文件只能写到 3000 年）。"),
                 QStringLiteral(
                     "坏提醒：提醒“坏提醒”的时间“2026-02-30 08:00:00”无效（日历文件只能写到 3000 年）。"),
                 QStringLiteral("坏节日：阳历节日“坏节日”的日子“1332”无效。")}));
    // A message box lists the first ones and counts the rest.
    lines = CalendarExchange::LeftOutLines(exported.leftOut, 2);
    QCOMPARE(lines.size(), 3);
    QCOMPARE(lines.last(), QStringLiteral("另有 3 项没有列出。"));

    const CalendarExchange::ImportResult imported = CalendarExchange::ImportFile(to.store, path);
    QVERIFY2(imported.bOk, qPrintable(imported.strError));
    QCOMPARE(Counts(imported), QStringLiteral("added 1 1 0, updated 0 0 0"));
    QCOMPARE(TableTest::Tasks(to.store), QStringList{QStringLiteral("2026-12-06 未完成 好")});
}

void TestExchangeFile::damaged_data()
{
    QTest::addColumn<QString>("damage");
    QTest::addColumn<QString>("message");
    // "%1": the file's last line, "%2": the line the cut component begins on.
    QTest::newRow("cut in a component")
        << QStringLiteral("cut")
        << QStringLiteral("第 %1 行：文件在 VTODO 的中间结束了（从第 %2 行开始，UID ");
    QTest::newRow("binary garbage")
        << QStringLiteral("garbage")
        << QStringLiteral("：第 1 行：这一行不是日历内容（文件已损坏，或不是 iCalendar 文件）。");
    QTest::newRow("empty") << QStringLiteral("empty") << QStringLiteral("：第 1 行：文件是空的。");
    QTest::newRow("missing") << QStringLiteral("missing") << QStringLiteral("不能打开文件 ");
}

// A file that cannot be read whole is refused with what and where, and changes nothing.
void TestExchangeFile::damaged()
{
    QFETCH(QString, damage);
    QFETCH(QString, message);
    FakeClock clock(QDateTime(QDate(2026, 12, 7), QTime(10, 0)));
    StoreFixture from, to;
    QVERIFY(from.Open() && to.Open());
    for (int n = 0; n < 3; ++n)
        QVERIFY(from.store.AddTask(kDay, QStringLiteral("新 %1").arg(n), TaskStates::NotDone()));
    QVERIFY(to.store.AddTask(kDay, QStringLiteral("旧"), TaskStates::Done()));
    const QString path = from.dir.filePath(QStringLiteral("日历.ics"));
    QVERIFY(CalendarExchange::ExportFile(from.store, path).bOk);
    const QByteArray whole = ReadAll(path);
    if (damage == u"cut") {
        const QByteArray cut = whole.left(whole.lastIndexOf("SUMMARY"));
        QVERIFY(WriteAll(path, cut));
        message = message.arg(cut.count('\n')).arg(cut.left(cut.lastIndexOf("BEGIN:VTODO")).count('\n') + 1);
    } else if (damage == u"garbage") {
        QRandomGenerator random(7);
        QByteArray bytes(4096, '\0');
        for (char& c : bytes)
            c = char(random.bounded(256));
        QVERIFY(WriteAll(path, bytes));
    } else if (damage == u"empty") {
        QVERIFY(WriteAll(path, {}));
    } else {
        QVERIFY(QFile::remove(path));
    }
    const QStringList before = Tables(to.store);
    const CalendarExchange::ImportResult imported = CalendarExchange::ImportFile(to.store, path);
    QVERIFY(!imported.bOk);
    QVERIFY2(imported.strError.contains(message), qPrintable(imported.strError + u" / " + message));
    QCOMPARE(Tables(to.store), before);
    QVERIFY(to.errors.texts().isEmpty());
}

// 50 MB of one event repeated: read one component at a time, never the file whole.
void TestExchangeFile::hugeFileBoundedMemory()
{
    StoreFixture to;
    QVERIFY(to.Open());
    const QString path = to.dir.filePath(QStringLiteral("huge.ics"));
    {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        const QByteArray event = "BEGIN:VEVENT\r\nUID:huge-1@example.com\r\nDTSTAMP:20261207T000000Z\r\n"
                                 "DTSTART:20261208T090000\r\nSUMMARY:" +
                                 QStringLiteral("同一个事件").toUtf8() +
                                 "\r\nDESCRIPTION:" + QByteArray(60, 'x') + "\r\nEND:VEVENT\r\n";
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
    WriteAll(QStringLiteral("/proc/self/clear_refs"), "5");
    const qint64 before = PeakMemoryKiB();
    QVERIFY(before > 0);
    const CalendarExchange::ImportResult imported = CalendarExchange::ImportFile(to.store, path);
    const qint64 growth = PeakMemoryKiB() - before;
    QVERIFY2(growth < 150 * 1024, qPrintable(QStringLiteral("%1 KiB more").arg(growth)));
    QVERIFY2(imported.bOk, qPrintable(imported.strError));
    QCOMPARE(Counts(imported), QStringLiteral("added 0 1 0, updated 0 0 0"));
    QCOMPARE(to.store.CountReminders(), 1);
}

QTEST_GUILESS_MAIN(TestExchangeFile)
#include "tst_exchangefile.moc"
