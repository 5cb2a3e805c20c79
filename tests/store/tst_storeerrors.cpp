// Every table operation reports its one fixed message when the database fails it, answers
// false or 0, and leaves the store working for the next operation.
#include "TableTestHelpers.h"

using TableTest::Exec;

namespace {
const QDate kDay(2026, 12, 6);
const QDateTime kWhen(kDay, QTime(8, 0));
const QString kAll = QStringLiteral("select * from shiqing");
QStringList a, b, c, d, e;
QString text;
QDateTime start, end;
int n[4];
} // namespace

class TestStoreErrors : public QObject
{
    Q_OBJECT

private slots:
    void databaseErrorReportsFixedMessage_data()
    {
        QTest::addColumn<QString>("table");
        QTest::addColumn<StoreOp>("operation");
        QTest::addColumn<QString>("message");
        auto row = [](const QByteArray& name, const char* table, StoreOp op, const char* message) {
            QTest::newRow(name.constData()) << QString::fromLatin1(table) << op << QString::fromUtf8(message);
        };
        const char* task = "打开事情信息表错误";
        row(
            "IsTaskPresent", "shiqing",
            [](CDataStore& s) { return int(s.IsTaskPresent(kDay, QStringLiteral("x"))); }, task);
        row(
            "AddTask", "shiqing",
            [](CDataStore& s) { return int(s.AddTask(kDay, QStringLiteral("y"), QString())); }, task);
        row(
            "DeleteTask", "shiqing",
            [](CDataStore& s) { return int(s.DeleteTask(kDay, QStringLiteral("x"))); }, task);
        row(
            "DeleteTasksBySql", "shiqing", [](CDataStore& s) { return int(s.DeleteTasksBySql(kAll)); }, task);
        row(
            "PostponeTask", "shiqing",
            [](CDataStore& s) { return int(s.PostponeTask(kDay, QStringLiteral("x"))); }, task);
        row(
            "SetTaskState", "shiqing",
            [](CDataStore& s) { return int(s.SetTaskState(kDay, QStringLiteral("x"), QString())); }, task);
        row(
            "CountTasksOnDay", "shiqing", [](CDataStore& s) { return s.CountTasksOnDay(kDay); }, task);
        row(
            "ListTasksOfDay", "shiqing", [](CDataStore& s) { return int(s.ListTasksOfDay(kDay, a, b)); },
            task);
        row(
            "CountInProgressOnDay", "shiqing", [](CDataStore& s) { return s.CountInProgressOnDay(kDay); },
            task);
        row(
            "CountTasksBySql", "shiqing", [](CDataStore& s) { return s.CountTasksBySql(kAll); }, task);
        row(
            "ListTasksBySql", "shiqing", [](CDataStore& s) { return int(s.ListTasksBySql(kAll, a, b, c)); },
            task);
        row(
            "CountTasksBefore", "shiqing",
            [](CDataStore& s) { return int(s.CountTasksBefore(n[0], n[1], n[2], n[3])); }, task);
        row(
            "CountTasksAfter", "shiqing",
            [](CDataStore& s) { return int(s.CountTasksAfter(n[0], n[1], n[2], n[3])); }, task);
        row(
            "CountTasksToday", "shiqing",
            [](CDataStore& s) { return int(s.CountTasksToday(n[0], n[1], n[2], n[3])); }, task);
        row(
            "CountAllTasks", "shiqing",
            [](CDataStore& s) { return int(s.CountAllTasks(n[0], n[1], n[2], n[3])); }, task);
        // These two fail on their statement; the table stays where it is.
        row(
            "statement that cannot run", "",
            [](CDataStore& s) { return s.CountTasksBySql(QStringLiteral("select * from shiqing where")); },
            task);
        row(
            "delete through a read-only statement", "",
            [](CDataStore& s) {
                return int(s.DeleteTasksBySql(QStringLiteral("select count(*) from shiqing")));
            },
            task);

        row(
            "AddReminder", "tx",
            [](CDataStore& s) { return int(s.AddReminder(kWhen, 0, 0, QString(), QString())); },
            "打开提醒表错误");
        const char* list = "打开定时提醒信息表错误";
        row(
            "CountReminders", "tx", [](CDataStore& s) { return s.CountReminders(); }, list);
        row(
            "ListReminders", "tx", [](CDataStore& s) { return int(s.ListReminders(a, b, c, d, e)); }, list);
        row(
            "CountTodayReminders", "tx", [](CDataStore& s) { return s.CountTodayReminders(); }, list);
        row(
            "ListTodayReminders", "tx",
            [](CDataStore& s) { return int(s.ListTodayReminders(a, b, c, d, e)); }, list);
        const char* remove = "打开提醒信息表错误";
        row(
            "DeleteReminder", "tx",
            [](CDataStore& s) { return int(s.DeleteReminder(kWhen, 0, 0, QString(), QString())); }, remove);
        row(
            "PurgeExpiredReminders", "tx", [](CDataStore& s) { return int(s.PurgeExpiredReminders()); },
            remove);

        const HolidayKey key = QStringLiteral("0101");
        for (const bool solar : {true, false}) {
            const char* table = solar ? "yljrb" : "lljrb";
            const char* msg = solar ? "打开阳历节日表错误" : "打开农历节日表错误";
            auto name = [&](const char* op) {
                return QStringLiteral("%1 %2")
                    .arg(QLatin1StringView(table), QLatin1StringView(op))
                    .toLatin1();
            };
            row(
                name("count"), table,
                [=](CDataStore& s) { return solar ? s.CountSolarHolidays(kDay) : s.CountLunarHolidays(key); },
                msg);
            row(
                name("names"), table,
                [=](CDataStore& s) {
                    return int(solar ? s.GetSolarHolidayNames(kDay, a) : s.GetLunarHolidayNames(key, a));
                },
                msg);
            row(
                name("add"), table,
                [=](CDataStore& s) {
                    return int(solar ? s.AddSolarHoliday(key, text) : s.AddLunarHoliday(key, text));
                },
                msg);
            row(
                name("present"), table,
                [=](CDataStore& s) {
                    return int(solar ? s.IsSolarHolidayPresent(key, text)
                                     : s.IsLunarHolidayPresent(key, text));
                },
                msg);
            row(
                name("delete"), table,
                [=](CDataStore& s) {
                    return int(solar ? s.DeleteSolarHoliday(key, text) : s.DeleteLunarHoliday(key, text));
                },
                msg);
            row(
                name("rename"), table,
                [=](CDataStore& s) {
                    return int(solar ? s.RenameSolarHoliday(key, text, text)
                                     : s.RenameLunarHoliday(key, text, text));
                },
                msg);
            // The solar table holds a row, so the listing reaches the lunar table.
            row(
                name("all holidays"), table, [](CDataStore& s) { return int(s.GetAllHolidaysText(text)); },
                msg);
        }
        row(
            "LoadSchoolCalendar", "xiaoli",
            [](CDataStore& s) { return int(s.LoadSchoolCalendar(start, end)); }, "打开校历表错误");
        row(
            "SaveSchoolCalendar", "xiaoli",
            [](CDataStore& s) { return int(s.SaveSchoolCalendar(start, end)); }, "打开校历表错误");
    }
    void databaseErrorReportsFixedMessage()
    {
        QFETCH(QString, table);
        QFETCH(StoreOp, operation);
        QFETCH(QString, message);
        StoreFixture f;
        QVERIFY(f.Open());
        QVERIFY(f.store.AddTask(kDay, QStringLiteral("x"), TaskStates::NotDone()));
        QVERIFY(f.store.AddSolarHoliday(QStringLiteral("0101"), QStringLiteral("元旦")));
        if (!table.isEmpty())
            Exec(f.store, QStringLiteral("ALTER TABLE %1 RENAME TO away").arg(table));
        QCOMPARE(operation(f.store), 0);
        QCOMPARE(f.errors.texts(), QStringList{message});

        f.errors.clear();
        if (!table.isEmpty())
            Exec(f.store, QStringLiteral("ALTER TABLE away RENAME TO %1").arg(table));
        QVERIFY(f.store.IsTaskPresent(kDay, QStringLiteral("x")));
        QCOMPARE(f.store.CountSolarHolidays(kDay.addDays(26)), 1);
        QVERIFY(f.errors.texts().isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestStoreErrors)
#include "tst_storeerrors.moc"
