// Two data folders keeping in step through one real Radicale server: what one does arrives at
// the other, nothing is doubled or lost, other programs' data on the server survives our
// changes, and a sync broken off anywhere is finished by the next ones.
#include "RadicaleServer.h"
#include "StoreFixture.h"
#include "store/SyncState.h"
#include "sync/SyncEngine.h"

#include <QtTest>

namespace {

const QDate kDay(2026, 12, 7);

QString Text(const char* utf8)
{
    return QString::fromUtf8(utf8);
}

/// One data folder with its store, synced with the server's two calendars.
struct Folder
{
    StoreFixture f;
    bool Open() { return f.Open(); }
    CDataStore& Store() { return f.store; }
    QStringList Tasks()
    {
        QStringList rows = TableTest::Tasks(f.store);
        rows.sort();
        return rows;
    }
    QStringList Reminders()
    {
        QStringList rows = TableTest::Column(
            f.store,
            QStringLiteral("SELECT printf('%d-%d-%d %d:%d:%d m%d r%d ', year, month, day, hour, minute, "
                           "second, mode, ring) || title || '/' || content FROM tx"));
        rows.sort();
        return rows;
    }
    QStringList Everything() { return Tasks() + Reminders(); }
    std::vector<SyncConflict> Conflicts()
    {
        std::vector<SyncConflict> list;
        SyncConflicts::List(f.store, list);
        return list;
    }
};

} // namespace

class TestSyncEngine : public QObject
{
    Q_OBJECT

    std::unique_ptr<CRadicaleServer> m_server;
    SyncCalendars m_calendars;

    DavAccount Account(const QUrl& url) const { return {url, m_server->User(), m_server->Password(), {}}; }

    SyncReport Sync(Folder& folder, std::function<bool()> cancel = {}, const QUrl& url = {})
    {
        CCalDavClient client(Account(url.isEmpty() ? m_server->Url() : url), std::chrono::seconds(10));
        DavDiscovery found;
        if (!client.Discover(found).Ok())
            return {};
        CSyncEngine engine(folder.Store(), client, m_calendars);
        engine.SetCancelCheck(std::move(cancel));
        return engine.Run();
    }

    /// Every object on the server (both calendars), as a plain client sees them.
    QList<DavEntry> ServerItems()
    {
        CCalDavClient client(Account(m_server->Url()));
        DavDiscovery found;
        client.Discover(found);
        QList<DavEntry> all;
        for (const QString& calendar : {m_calendars.strTasks, m_calendars.strReminders}) {
            QList<DavEntry> listed;
            QStringList hrefs;
            client.ListEtags(calendar, listed);
            for (const DavEntry& e : listed)
                hrefs << e.strHref;
            QList<DavEntry> fetched;
            if (!hrefs.isEmpty())
                client.Multiget(calendar, hrefs, fetched);
            all += fetched;
        }
        return all;
    }

    /// Writes \a text over the server's object of \a uid (or as a new one named \a fileName), as
    /// another program would.
    bool PutBehindOurBack(const QString& uid, const QByteArray& text, QString fileName = {})
    {
        CCalDavClient client(Account(m_server->Url()));
        DavDiscovery found;
        client.Discover(found);
        QByteArray ifMatch, etag;
        QString href = m_calendars.strTasks + (fileName.isEmpty() ? uid : fileName) + QStringLiteral(".ics");
        for (const DavEntry& e : ServerItems()) {
            if (e.data.contains(QByteArray("UID:" + uid.toUtf8()))) {
                href = e.strHref;
                ifMatch = e.etag;
            }
        }
        return client.Put(href, text, ifMatch, etag).Ok();
    }

    QString UidOfTask(Folder& folder, const QString& content)
    {
        QString uid;
        folder.Store().ExportItems({}, {}, [&](const ExchangeItem& item) {
            if (item.kind == ExchangeKind::Task && item.task.strContent == content)
                uid = item.strUid;
            return true;
        });
        return uid;
    }

    static QByteArray Todo(const QString& uid, const QString& summary, const QByteArray& extra = {})
    {
        return "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//Other//Other//EN\r\nBEGIN:VTODO\r\nUID:" +
               uid.toUtf8() + "\r\nDTSTAMP:20261201T000000Z\r\nSUMMARY:" + summary.toUtf8() +
               "\r\nDUE;VALUE=DATE:20261207\r\nSTATUS:NEEDS-ACTION\r\n" + extra +
               "END:VTODO\r\nEND:VCALENDAR\r\n";
    }

    static void Seed(CDataStore& store)
    {
        QVERIFY(store.AddTask(kDay, Text("备课"), TaskStates::NotDone()));
        QVERIFY(store.AddTask(kDay, Text("批改作业"), TaskStates::InProgress()));
        QVERIFY(
            store.AddReminder(QDateTime(kDay, QTime(7, 50)), ReminderDaily, 1, Text("早读"), Text("到教室")));
    }

private slots:
    void init()
    {
        m_server = std::make_unique<CRadicaleServer>();
        QVERIFY2(m_server->Ok(), qPrintable(m_server->Error()));
        CCalDavClient client(Account(m_server->Url()));
        DavDiscovery found;
        QVERIFY(client.Discover(found).Ok());
        QVERIFY(client.MakeCalendar(found.strHome, Text("事情"), true, m_calendars.strTasks).Ok());
        QVERIFY(client.MakeCalendar(found.strHome, Text("提醒"), false, m_calendars.strReminders).Ok());
    }
    void cleanup() { m_server.reset(); }

    // What one folder does arrives at the other, from either side, with and without sync tokens.
    void twoFolders_data()
    {
        QTest::addColumn<StoreOp>("change");
        QTest::addColumn<bool>("fromSecond");
        QTest::addColumn<bool>("noTokens");
        const auto row = [](const char* name, StoreOp op) {
            QTest::newRow(name) << op << false << false;
            QTest::newRow(QByteArray(QByteArray(name) + " (second folder)").constData())
                << op << true << false;
            QTest::newRow(QByteArray(QByteArray(name) + " (no sync tokens)").constData())
                << op << false << true;
        };
        row("add", [](CDataStore& s) {
            return int(s.AddTask(kDay.addDays(1), Text("家访"), TaskStates::NotDone()));
        });
        row("state",
            [](CDataStore& s) { return int(s.SetTaskState(kDay, Text("备课"), TaskStates::Done())); });
        row("postpone", [](CDataStore& s) { return int(s.PostponeTask(kDay, Text("备课"))); });
        row("delete", [](CDataStore& s) { return int(s.DeleteTask(kDay, Text("批改作业"))); });
        row("delete the year", [](CDataStore& s) {
            return int(s.DeleteTasksInPeriod(kDay, BatchScope::Year) == CDataStore::DeleteOutcome::Deleted);
        });
        row("reminders of every mode", [](CDataStore& s) {
            bool ok = true;
            for (int mode = ReminderOnce; mode <= ReminderYearly; ++mode)
                ok = ok && s.AddReminder(QDateTime(kDay.addDays(mode), QTime(8, mode)), mode, mode % 2,
                                         Text("提醒%1").arg(mode), QString());
            return int(ok);
        });
        row("reminder deleted", [](CDataStore& s) {
            return int(s.DeleteReminder(QDateTime(kDay, QTime(7, 50)), ReminderDaily, 1, Text("早读"),
                                        Text("到教室")));
        });
    }
    void twoFolders()
    {
        QFETCH(StoreOp, change);
        QFETCH(bool, fromSecond);
        QFETCH(bool, noTokens);
        std::unique_ptr<CNoSyncTokenProxy> proxy;
        QUrl url;
        if (noTokens) {
            proxy = std::make_unique<CNoSyncTokenProxy>(m_server->Url());
            QVERIFY2(proxy->Ok(), qPrintable(proxy->Error()));
            url = proxy->Url();
        }
        Folder a, b;
        QVERIFY(a.Open() && b.Open());
        Seed(a.Store());
        QVERIFY(Sync(a, {}, url).bOk);
        const SyncReport first = Sync(b, {}, url);
        QVERIFY(first.bOk);
        QCOMPARE(first.nReceived, 3);
        QCOMPARE(b.Everything(), a.Everything());

        Folder& actor = fromSecond ? b : a;
        Folder& other = fromSecond ? a : b;
        const QStringList before = actor.Everything();
        QCOMPARE(change(actor.Store()), 1);
        QVERIFY(actor.Everything() != before);
        QVERIFY(Sync(actor, {}, url).bOk);
        const SyncReport arrived = Sync(other, {}, url);
        QVERIFY(arrived.bOk);
        QVERIFY(arrived.bLocalChanged);
        QCOMPARE(other.Everything(), actor.Everything());
        QCOMPARE(ServerItems().size(), actor.Everything().size());
        // Nothing more travels, either way.
        for (Folder* folder : {&actor, &other}) {
            const SyncReport again = Sync(*folder, {}, url);
            QVERIFY(again.bOk);
            QCOMPARE(again.nSent + again.nReceived + again.nDeletedHere + again.nDeletedThere, 0);
        }
        QCOMPARE(a.Conflicts().size(), size_t(0));
    }

    // Two folders that hold the same items before their first sync: matched, not doubled.
    void sameItemsBeforeFirstSync()
    {
        Folder a, b;
        QVERIFY(a.Open() && b.Open());
        Seed(a.Store());
        Seed(b.Store());
        QVERIFY(b.Store().SetTaskState(kDay, Text("备课"), TaskStates::Done()));
        // Identical reminders are two items, on each side.
        for (Folder* folder : {&a, &b})
            QVERIFY(folder->Store().AddReminder(QDateTime(kDay, QTime(7, 50)), ReminderDaily, 1, Text("早读"),
                                                Text("到教室")));
        QVERIFY(Sync(a).bOk);
        const SyncReport second = Sync(b);
        QVERIFY(second.bOk);
        QVERIFY(Sync(a).bOk);
        QCOMPARE(ServerItems().size(), 4);
        QCOMPARE(b.Everything(), a.Everything());
        // The state that differed: the server's (the first folder's) won, the other is listed.
        QVERIFY(a.Tasks().contains(Text("2026-12-07 未完成 备课")));
        QCOMPARE(b.Conflicts().size(), size_t(1));
        QCOMPARE(b.Conflicts().front().local.task.strState, TaskStates::Done());
    }

    // Another program's alarm and property stay through a change from here, and its change to
    // the item arrives.
    void otherProgramsData()
    {
        Folder a;
        QVERIFY(a.Open());
        const QByteArray extra =
            "X-OTHER-APP-COLOR:teal\r\nBEGIN:VALARM\r\nACTION:DISPLAY\r\nDESCRIPTION:x\r\n"
            "TRIGGER:-PT15M\r\nEND:VALARM\r\n";
        QVERIFY(PutBehindOurBack(QStringLiteral("other-1"),
                                 Todo(QStringLiteral("other-1"), Text("开会"), extra)));
        QVERIFY(Sync(a).bOk);
        QCOMPARE(a.Tasks(), QStringList{Text("2026-12-07 未完成 开会")});
        QVERIFY(a.Store().SetTaskState(kDay, Text("开会"), TaskStates::Done()));
        QVERIFY(Sync(a).bOk);
        const QList<DavEntry> items = ServerItems();
        QCOMPARE(items.size(), 1);
        const QByteArray text = QByteArray(items.first().data).replace("\r\n ", "");
        for (const char* kept :
             {"X-OTHER-APP-COLOR:teal", "TRIGGER:-PT15M", "STATUS:COMPLETED", "UID:other-1"})
            QVERIFY2(text.contains(kept), kept);
        QCOMPARE(text.count("SUMMARY:"), 1);

        QVERIFY(PutBehindOurBack(QStringLiteral("other-1"),
                                 Todo(QStringLiteral("other-1"), Text("开大会"), extra)));
        const SyncReport arrived = Sync(a);
        QVERIFY(arrived.bOk);
        QCOMPARE(arrived.nReceived, 1);
        QCOMPARE(a.Tasks(), QStringList{Text("2026-12-07 未完成 开大会")});
    }

    // The server holds an item of ours already, which this folder never heard of (a write whose
    // answer was lost): it is adopted, at our file name or another, and not doubled.
    void itemAlreadyThere_data()
    {
        QTest::addColumn<QString>("fileName");
        QTest::newRow("same name") << QString();
        QTest::newRow("another name") << QStringLiteral("elsewhere");
    }
    void itemAlreadyThere()
    {
        QFETCH(QString, fileName);
        Folder a;
        QVERIFY(a.Open());
        QVERIFY(a.Store().AddTask(kDay, Text("家访"), TaskStates::NotDone()));
        const QString uid = UidOfTask(a, Text("家访"));
        int requests = 0;
        // Both calendars were looked at; the write comes next.
        const SyncReport report = Sync(
            a, [&] { return ++requests == 3 && !PutBehindOurBack(uid, Todo(uid, Text("家访")), fileName); });
        QVERIFY(report.bOk);
        QVERIFY(report.refused.isEmpty());
        const SyncReport again = Sync(a);
        QVERIFY(again.bOk);
        QCOMPARE(again.nSent, 0);
        QCOMPARE(ServerItems().size(), 1);
        QCOMPARE(a.Tasks(), QStringList{Text("2026-12-07 未完成 家访")});
        QVERIFY(a.Conflicts().empty());
    }

    // Both sides changed, or one deleted what the other changed: the rule decides, nothing is
    // lost, and a lost local version can be restored. "412" changes the item on the server
    // between the sync's fetch and its write.
    void conflicts_data()
    {
        QTest::addColumn<StoreOp>("there");
        QTest::addColumn<StoreOp>("here");
        QTest::addColumn<bool>("raceTheWrite");
        QTest::addColumn<QStringList>("tasksHere");
        QTest::addColumn<int>("conflicts");
        const StoreOp done = [](CDataStore& s) {
            return int(s.SetTaskState(kDay, Text("备课"), TaskStates::Done()));
        };
        const StoreOp busy = [](CDataStore& s) {
            return int(s.SetTaskState(kDay, Text("备课"), TaskStates::InProgress()));
        };
        const StoreOp gone = [](CDataStore& s) { return int(s.DeleteTask(kDay, Text("备课"))); };
        const QString other = Text("2026-12-07 进行中 批改作业");
        QTest::newRow("change/change")
            << done << busy << false << QStringList{Text("2026-12-07 已完成 备课"), other} << 1;
        QTest::newRow("412 on a write")
            << done << busy << true << QStringList{Text("2026-12-07 已完成 备课"), other} << 1;
        QTest::newRow("change here, delete there")
            << gone << busy << false << QStringList{Text("2026-12-07 进行中 备课"), other} << 0;
        QTest::newRow("delete here, change there")
            << done << gone << false << QStringList{Text("2026-12-07 已完成 备课"), other} << 0;
    }
    void conflicts()
    {
        QFETCH(StoreOp, there);
        QFETCH(StoreOp, here);
        QFETCH(bool, raceTheWrite);
        QFETCH(QStringList, tasksHere);
        QFETCH(int, conflicts);
        Folder a, b;
        QVERIFY(a.Open() && b.Open());
        Seed(a.Store());
        QVERIFY(Sync(a).bOk);
        QVERIFY(Sync(b).bOk);
        QCOMPARE(there(a.Store()), 1);
        QCOMPARE(here(b.Store()), 1);
        int requests = 0;
        std::function<bool()> cancel;
        if (raceTheWrite) {
            // The first folder's change reaches the server after the second folder looked.
            cancel = [&] {
                if (++requests == 3)
                    Sync(a);
                return false;
            };
        } else {
            QVERIFY(Sync(a).bOk);
        }
        QVERIFY(Sync(b, cancel).bOk);
        QCOMPARE(b.Tasks(), tasksHere);
        QVERIFY(Sync(a).bOk);
        QCOMPARE(a.Tasks(), tasksHere);
        std::vector<SyncConflict> listed = b.Conflicts();
        QCOMPARE(int(listed.size()), conflicts);
        if (listed.empty())
            return;
        QCOMPARE(listed.front().local.task.strState, TaskStates::InProgress());
        QCOMPARE(listed.front().strServerSummary, Text("备课"));
        QVERIFY(SyncConflicts::Restore(b.Store(), listed.front().nId));
        QVERIFY(b.Conflicts().empty());
        QVERIFY(Sync(b).bOk);
        QVERIFY(Sync(a).bOk);
        QVERIFY(a.Tasks().contains(Text("2026-12-07 进行中 备课")));
        QCOMPARE(a.Everything(), b.Everything());
    }

    // A database of an earlier Kestrum gets the sync tables when it opens; one that cannot take
    // them opens all the same, and only a sync fails, saying why.
    void olderDatabase_data()
    {
        QTest::addColumn<QString>("obstacle");
        QTest::newRow("gets the tables") << QString();
        QTest::newRow("cannot take them") << QStringLiteral("CREATE VIEW sync_item AS SELECT 1 AS uid");
    }
    void olderDatabase()
    {
        QFETCH(QString, obstacle);
        Folder a;
        QVERIFY(a.Open());
        Seed(a.Store());
        for (const char* table : {"sync_item", "sync_calendar", "sync_conflict"})
            TableTest::Exec(a.Store(), QStringLiteral("DROP TABLE ") + QLatin1String(table));
        if (!obstacle.isEmpty())
            TableTest::Exec(a.Store(), obstacle);
        a.Store().Close();
        QVERIFY(a.Store().Connect(a.f.path));
        QVERIFY(a.Store().AddTask(kDay, Text("家访"), TaskStates::NotDone()));
        const SyncReport report = Sync(a);
        QCOMPARE(report.bOk, obstacle.isEmpty());
        QCOMPARE(report.problems,
                 obstacle.isEmpty() ? QStringList() : QStringList{Text("数据库无法保存同步信息，不能同步")});
        QCOMPARE(ServerItems().size(), obstacle.isEmpty() ? 4 : 0);
    }

    // The server goes away after some requests of a sync and comes back: three more syncs leave
    // both folders and the server alike, nothing lost, nothing doubled.
    void serverStopsMidSync_data()
    {
        QTest::addColumn<int>("after");
        for (int after : {1, 2, 3, 9, 16})
            QTest::addRow("after %d requests", after) << after;
    }
    void serverStopsMidSync()
    {
        QFETCH(int, after);
        Folder a, b;
        QVERIFY(a.Open() && b.Open());
        Seed(a.Store());
        QVERIFY(Sync(a).bOk);
        QVERIFY(Sync(b).bOk);
        for (int i = 0; i < 12; ++i)
            QVERIFY(a.Store().AddTask(kDay.addDays(i + 1), Text("作业%1").arg(i), TaskStates::NotDone()));
        QVERIFY(a.Store().DeleteTask(kDay, Text("备课")));
        QVERIFY(b.Store().AddTask(kDay, Text("听课"), TaskStates::NotDone()));
        QVERIFY(Sync(b).bOk);
        int requests = 0;
        const SyncReport broken = Sync(a, [&] {
            if (++requests == after)
                m_server->Stop();
            return false;
        });
        QVERIFY(!broken.bOk);
        QCOMPARE(broken.firstError, DavError::Network);
        QVERIFY(m_server->Start());
        for (int i = 0; i < 3; ++i)
            QVERIFY(Sync(a).bOk);
        QVERIFY(Sync(b).bOk);
        QCOMPARE(b.Everything(), a.Everything());
        QCOMPARE(a.Tasks().size(), 14);
        QCOMPARE(ServerItems().size(), 15);
    }
};

QTEST_GUILESS_MAIN(TestSyncEngine)
#include "tst_syncengine.moc"
