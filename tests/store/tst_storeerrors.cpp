// Table operations failed by the database report their message, answer false or 0, and go on.
#include "StoreFixture.h"
#include "TestFiles.h"

using namespace Qt::StringLiterals;

namespace {
const QDate kDay(2026, 12, 6);
const QDateTime kWhen(kDay, QTime(8, 0));
const HolidayKey kKey = u"0101"_s;
QStringList a, b, c, d, e;
QString text;
QDateTime start, end;
int n[4];
} // namespace

// One row: the table renamed away, the operation, the message.
#define ROW(table, message, expr)                                                                            \
    QTest::newRow(#expr) << QStringLiteral(table) << StoreOp([](CDataStore& s) { return int(s.expr); })      \
                         << QStringLiteral(message)

class TestStoreErrors : public QObject
{
    Q_OBJECT

private slots:
    void databaseErrorReportsFixedMessage_data()
    {
        QTest::addColumn<QString>("table");
        QTest::addColumn<StoreOp>("operation");
        QTest::addColumn<QString>("message");
        ROW("shiqing", "打开事情信息表错误", IsTaskPresent(kDay, u"x"_s));
        ROW("shiqing", "打开事情信息表错误", AddTask(kDay, u"y"_s, QString()));
        ROW("shiqing", "打开事情信息表错误", DeleteTask(kDay, u"x"_s));
        ROW("shiqing", "打开事情信息表错误",
            DeleteTasksInPeriod(kDay, BatchScope::Year) != CDataStore::DeleteOutcome::Failed);
        ROW("shiqing", "打开事情信息表错误", PostponeTask(kDay, u"x"_s));
        ROW("shiqing", "打开事情信息表错误", SetTaskState(kDay, u"x"_s, QString()));
        ROW("shiqing", "打开事情信息表错误", CountTasksOnDay(kDay));
        ROW("shiqing", "打开事情信息表错误", ListTasksOfDay(kDay, a, b));
        ROW("shiqing", "打开事情信息表错误", CountInProgressOnDay(kDay));
        ROW("shiqing", "打开事情信息表错误", CountTasks({}));
        ROW("shiqing", "打开事情信息表错误", ListTasks({}, a, b, c));
        ROW("shiqing", "打开事情信息表错误", CountTasksBefore(n[0], n[1], n[2], n[3]));
        ROW("shiqing", "打开事情信息表错误", CountAllTasks(n[0], n[1], n[2], n[3]));
        ROW("tx", "打开提醒表错误", AddReminder(kWhen, 0, 0, QString(), QString()));
        ROW("tx", "打开定时提醒信息表错误", CountReminders());
        ROW("tx", "打开定时提醒信息表错误", ListReminders(a, b, c, d, e));
        ROW("tx", "打开定时提醒信息表错误", CountTodayReminders());
        ROW("tx", "打开定时提醒信息表错误", ListTodayReminders(a, b, c, d, e));
        ROW("tx", "打开提醒信息表错误", DeleteReminder(kWhen, 0, 0, QString(), QString()));
        ROW("tx", "打开提醒信息表错误", PurgeExpiredReminders());
        ROW("yljrb", "打开阳历节日表错误", CountHolidays(HolidayCalendar::Solar, kKey));
        ROW("yljrb", "打开阳历节日表错误", GetHolidayNames(HolidayCalendar::Solar, kKey, a));
        ROW("yljrb", "打开阳历节日表错误", AddHoliday(HolidayCalendar::Solar, kKey, text));
        ROW("yljrb", "打开阳历节日表错误", IsHolidayPresent(HolidayCalendar::Solar, kKey, text));
        ROW("yljrb", "打开阳历节日表错误", GetAllHolidaysText(text));
        ROW("lljrb", "打开农历节日表错误", CountHolidays(HolidayCalendar::Lunar, kKey));
        ROW("lljrb", "打开农历节日表错误", DeleteHoliday(HolidayCalendar::Lunar, kKey, text));
        ROW("lljrb", "打开农历节日表错误", RenameHoliday(HolidayCalendar::Lunar, kKey, text, text));
        // The solar table holds a row, so the listing reaches the lunar table.
        QTest::newRow("GetAllHolidaysText, lunar")
            << u"lljrb"_s << StoreOp([](CDataStore& s) { return int(s.GetAllHolidaysText(text)); })
            << u"打开农历节日表错误"_s;
        ROW("xiaoli", "打开校历表错误", LoadSchoolCalendar(start, end));
        ROW("xiaoli", "打开校历表错误", SaveSchoolCalendar(start, end));
    }
    void databaseErrorReportsFixedMessage()
    {
        QFETCH(QString, table);
        QFETCH(StoreOp, operation);
        QFETCH(QString, message);
        StoreFixture f;
        QVERIFY(f.Open());
        QVERIFY(f.store.AddTask(kDay, u"x"_s, TaskStates::NotDone()));
        QVERIFY(f.store.AddHoliday(HolidayCalendar::Solar, kKey, u"元旦"_s));
        TableTest::Exec(f.store, u"ALTER TABLE %1 RENAME TO away"_s.arg(table));
        QCOMPARE(operation(f.store), 0);
        QCOMPARE(f.errors.texts(), QStringList{message});

        f.errors.clear();
        TableTest::Exec(f.store, u"ALTER TABLE away RENAME TO %1"_s.arg(table));
        QVERIFY(f.store.IsTaskPresent(kDay, u"x"_s));
        QCOMPARE(f.store.CountHolidays(HolidayCalendar::Solar, kKey), 1);
        QVERIFY(f.errors.texts().isEmpty());
    }

    // SQLite's page limit stands in for a full disk: the cause named, nothing lost, then room again.
    void fullDiskSaysSo()
    {
        const auto add = [](CDataStore& s, int i) {
            return s.AddTask(kDay, QString::number(i) + QString(2000, u'满'), TaskStates::NotDone());
        };
        StoreFixture f;
        QVERIFY(f.Open());
        const int pages = TableTest::Column(f.store, u"PRAGMA page_count"_s).value(0).toInt();
        QVERIFY(pages > 0);
        TableTest::Exec(f.store, u"PRAGMA max_page_count = %1"_s.arg(pages + 12));
        int added = 0;
        while (added < 100 && add(f.store, added))
            ++added;
        QVERIFY2(added > 0 && added < 100, qPrintable(QString::number(added)));
        QCOMPARE(f.errors.texts(), QStringList{u"打开事情信息表错误\r\n磁盘空间已满"_s});

        f.errors.clear();
        TableTest::Exec(f.store, u"PRAGMA max_page_count = 1073741823"_s);
        QVERIFY(add(f.store, added));
        QCOMPARE(TableTest::Column(f.store, u"SELECT count(*) FROM shiqing"_s),
                 QStringList{QString::number(added + 1)});
        QVERIFY(f.errors.texts().isEmpty());
    }

    // An index page overwritten with garbage: what needs it reports the table's message, the rest
    // works, and nothing is written to the file.
    void damagedIndexFailsOnlyItsUsers()
    {
        StoreFixture f;
        QVERIFY(f.Open());
        TableTest::Exec(f.store,
                        QStringLiteral("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n "
                                       "WHERE i < 4000) INSERT INTO shiqing SELECT printf('2026-%02d-%02d', "
                                       "i % 12 + 1, i % 28 + 1), 'task ' || i, '未完成' FROM n"));
        QVERIFY(f.store.AddReminder(kWhen, 1, 0, u"t"_s, u"c"_s));
        QVERIFY(f.store.AddHoliday(HolidayCalendar::Solar, kKey, u"元旦"_s));
        const int root = TableTest::Column(f.store, QStringLiteral("SELECT rootpage FROM sqlite_master WHERE "
                                                                   "name = 'shiqing_date_content'"))
                             .value(0)
                             .toInt();
        const int pageSize = TableTest::Column(f.store, u"PRAGMA page_size"_s).value(0).toInt();
        QVERIFY(root > 1 && pageSize > 0);
        f.store.Close();
        {
            QFile file(f.path);
            QVERIFY(file.open(QIODevice::ReadWrite));
            QVERIFY(file.seek(qint64(root - 1) * pageSize));
            QCOMPARE(file.write(QByteArray(pageSize, '\xa5')), qint64(pageSize));
            QVERIFY(file.setFileTime(QDateTime(QDate(2020, 5, 1), QTime(10, 0)),
                                     QFileDevice::FileModificationTime));
        }
        const QByteArray before = ReadAll(f.path);
        const QDateTime modified = QFileInfo(f.path).lastModified();

        QVERIFY(f.store.Connect(f.path));
        QVERIFY(f.errors.texts().isEmpty());
        QVERIFY(!f.store.IsTaskPresent(QDate(2026, 2, 2), u"task 1"_s));
        QVERIFY(!f.store.AddTask(kDay, u"new"_s, TaskStates::NotDone()));
        QCOMPARE(f.errors.texts(), QStringList(2, u"打开事情信息表错误"_s));
        f.errors.clear();
        TaskQueryCriteria notDone; // counted through the other index
        notDone.bUseState = notDone.bNotDone = true;
        QCOMPARE(f.store.CountTasks(notDone), 4000);
        QCOMPARE(f.store.CountReminders(), 1);
        QVERIFY(f.store.LoadSchoolCalendar(start, end));
        QCOMPARE(start.date(), QDate(2026, 9, 1));
        QVERIFY(f.errors.texts().isEmpty());
        f.store.Close();
        QCOMPARE(ReadAll(f.path), before);
        QCOMPARE(QFileInfo(f.path).lastModified(), modified);
        QCOMPARE(QDir(f.dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{u"kstrm.db"_s});
    }
};

QTEST_GUILESS_MAIN(TestStoreErrors)
#include "tst_storeerrors.moc"
