// The CalDAV client against a real Radicale server: discovery, conditional writes, changes by
// sync token and by ETag, fetching in batches, and each kind of failure told apart.
#include "RadicaleServer.h"
#include "sync/CalDavClient.h"

#include <QTcpServer>
#include <QTest>

namespace {

DavAccount Account(const QUrl& server, const QString& password = QStringLiteral("s3cret"),
                   const QByteArray& fingerprint = {})
{
    return DavAccount{server, QStringLiteral("planner"), password, fingerprint};
}

QByteArray Todo(const QString& uid, const QString& summary)
{
    return QStringLiteral(
               "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//test//test//EN\r\nBEGIN:VTODO\r\nUID:%1\r\n"
               "DTSTAMP:20261208T000000Z\r\nSUMMARY:%2\r\nEND:VTODO\r\nEND:VCALENDAR\r\n")
        .arg(uid, summary)
        .toUtf8();
}

QString Describe(const DavResult& result)
{
    return QStringLiteral("%1 %2 [%3]").arg(int(result.error)).arg(result.strMessage, result.strServerAnswer);
}

} // namespace

class TestCalDavClient : public QObject
{
    Q_OBJECT

    CRadicaleServer m_server;

    /// A fresh to-do calendar's href, empty when it could not be made.
    static QString MakeTodos(CCalDavClient& client)
    {
        QString href;
        client.MakeCalendar(QStringLiteral("/planner/"), QStringLiteral("事情"), true, href);
        return href;
    }

private slots:
    void initTestCase() { QVERIFY2(m_server.Ok(), qPrintable(m_server.Error())); }

    void discovery_data()
    {
        QTest::addColumn<bool>("bProxy");
        QTest::addColumn<QString>("path");
        QTest::addColumn<bool>("bSyncToken");
        // Radicale answers only at its root: an address with another path is found through
        // /.well-known/caldav or not at all.
        QTest::newRow("other path") << false << QStringLiteral("/somewhere/else/") << true;
        QTest::newRow("without sync tokens") << true << QStringLiteral("/") << false;
    }
    void discovery()
    {
        QFETCH(bool, bProxy);
        QFETCH(QString, path);
        QFETCH(bool, bSyncToken);
        std::unique_ptr<CNoSyncTokenProxy> proxy;
        if (bProxy) {
            proxy = std::make_unique<CNoSyncTokenProxy>(m_server.Url());
            QVERIFY2(proxy->Ok(), qPrintable(proxy->Error()));
        }
        const QUrl base = bProxy ? proxy->Url() : m_server.Url();
        CCalDavClient client(Account(base.resolved(QUrl(path))));
        DavDiscovery found;
        DavResult result = client.Discover(found);
        QVERIFY2(result.Ok(), qPrintable(Describe(result)));
        QCOMPARE(found.base, base.adjusted(QUrl::RemovePath));
        QCOMPARE(found.strPrincipal, QStringLiteral("/planner/"));
        QCOMPARE(found.strHome, QStringLiteral("/planner/"));

        QString todos, events;
        QVERIFY(client.MakeCalendar(found.strHome, QStringLiteral("事情 <&>"), true, todos).Ok());
        QVERIFY(client.MakeCalendar(found.strHome, QStringLiteral("提醒"), false, events).Ok());
        result = client.Discover(found);
        QVERIFY2(result.Ok(), qPrintable(Describe(result)));
        QStringList calendars;
        for (const DavCalendar& calendar : std::as_const(found.calendars))
            if (calendar.strHref == todos || calendar.strHref == events)
                calendars << QStringLiteral("%1 %2 %3 %4")
                                 .arg(calendar.strName)
                                 .arg(calendar.bTodos)
                                 .arg(calendar.bEvents)
                                 .arg(calendar.bSyncToken);
        calendars.sort();
        const int n = bSyncToken;
        QCOMPARE(calendars, QStringList({QStringLiteral("事情 <&> 1 0 %1").arg(n),
                                         QStringLiteral("提醒 0 1 %1").arg(n)}));
    }

    void writes()
    {
        CCalDavClient client(Account(m_server.Url()));
        const QString calendar = MakeTodos(client);
        QVERIFY(!calendar.isEmpty());
        const auto put = [&](const QString& name, const QString& uid, const QByteArray& ifMatch,
                             QByteArray& etag) {
            return client.Put(calendar + name, Todo(uid, ifMatch + name), ifMatch, etag);
        };
        const QString a = QStringLiteral("a.ics"), uid = QStringLiteral("uid-a");
        QByteArray first, second, ignored;
        // Sorted ahead of a.ics, with a UID that holds a.ics's UID: only an equal UID is a conflict.
        QVERIFY(put(QStringLiteral("0.ics"), uid + QStringLiteral("-2"), {}, ignored).Ok());
        QVERIFY(put(a, uid, {}, first).Ok());
        QCOMPARE(put(a, uid, {}, ignored).error, DavError::Precondition);
        QCOMPARE(put(a, uid, "\"stale\"", ignored).error, DavError::Precondition);
        QVERIFY(put(a, uid, first, second).Ok());
        const DavResult result = put(QStringLiteral("b.ics"), uid, {}, ignored);
        QCOMPARE(result.error, DavError::UidConflict);
        QCOMPARE(result.strExistingHref, calendar + a);

        QCOMPARE(client.Delete(calendar + a, first).error, DavError::Precondition);
        QVERIFY(client.Delete(calendar + a, second).Ok());
        QVERIFY(client.Delete(calendar + a, second).Ok());
    }

    void changes()
    {
        CCalDavClient client(Account(m_server.Url()));
        const QString calendar = MakeTodos(client);
        QVERIFY(!calendar.isEmpty());
        QByteArray etags[3];
        for (int i = 0; i < 3; ++i)
            QVERIFY(client
                        .Put(calendar + QString::number(i) + QStringLiteral(".ics"),
                             Todo(QString::number(i), QString()), {}, etags[i])
                        .Ok());
        DavChanges all;
        QVERIFY(client.SyncCollection(calendar, {}, all).Ok());
        QCOMPARE(all.changed.size(), 3);
        QVERIFY(!all.strToken.isEmpty());

        QByteArray changed;
        QVERIFY(client
                    .Put(calendar + QStringLiteral("1.ics"), Todo(QStringLiteral("1"), QStringLiteral("改")),
                         etags[1], changed)
                    .Ok());
        QVERIFY(client.Delete(calendar + QStringLiteral("2.ics"), etags[2]).Ok());
        DavChanges since;
        QVERIFY(client.SyncCollection(calendar, all.strToken, since).Ok());
        QCOMPARE(since.changed.size(), 1);
        QCOMPARE(since.changed.first().strHref, calendar + QStringLiteral("1.ics"));
        QCOMPARE(since.changed.first().etag, changed);
        QCOMPARE(since.removed, QStringList(calendar + QStringLiteral("2.ics")));
        QVERIFY(since.strToken != all.strToken);
        QCOMPARE(client.SyncCollection(calendar, QStringLiteral("garbage"), since).error,
                 DavError::TokenInvalid);

        QList<DavEntry> listed;
        QVERIFY(client.ListEtags(calendar, listed).Ok());
        QStringList pairs;
        for (const DavEntry& entry : std::as_const(listed))
            pairs << entry.strHref + u' ' + QString::fromUtf8(entry.etag);
        pairs.sort();
        QCOMPARE(pairs, QStringList({calendar + QStringLiteral("0.ics ") + QString::fromUtf8(etags[0]),
                                     calendar + QStringLiteral("1.ics ") + QString::fromUtf8(changed)}));
    }

    void multiget()
    {
        CCalDavClient client(Account(m_server.Url()));
        const QString calendar = MakeTodos(client);
        QVERIFY(!calendar.isEmpty());
        QStringList hrefs;
        QHash<QString, QByteArray> etags;
        for (int i = 0; i < 102; ++i) {
            hrefs << calendar + QStringLiteral("m%1.ics").arg(i);
            QVERIFY(client
                        .Put(hrefs.last(),
                             Todo(QStringLiteral("m%1").arg(i), QStringLiteral("第 %1 项").arg(i)), {},
                             etags[hrefs.last()])
                        .Ok());
        }
        QVERIFY(client.Delete(hrefs.at(100), etags.value(hrefs.at(100))).Ok());
        QList<DavEntry> got;
        QVERIFY(client.Multiget(calendar, hrefs, got).Ok());
        QCOMPARE(got.size(), 101);
        for (const DavEntry& entry : std::as_const(got)) {
            QCOMPARE(entry.etag, etags.value(entry.strHref));
            const QString n = entry.strHref.section(u'm', -1).section(u'.', 0, 0);
            QVERIFY2(QString::fromUtf8(entry.data).contains(QStringLiteral("第 %1 项").arg(n)),
                     entry.data.constData());
        }
    }

    void failures_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<int>("error");
        QTest::addColumn<QString>("message");
        QTest::newRow("wrong password")
            << QStringLiteral("password") << int(DavError::Auth) << QStringLiteral("用户名或密码不对");
        QTest::newRow("closed port") << QStringLiteral("closed") << int(DavError::Network)
                                     << QStringLiteral("拒绝连接");
        QTest::newRow("unknown host")
            << QStringLiteral("host") << int(DavError::Network) << QStringLiteral("找不到服务器");
        QTest::newRow("not DAV") << QStringLiteral("http") << int(DavError::NotCalDav)
                                 << QStringLiteral("这个地址不是 CalDAV 日历服务器");
        QTest::newRow("silent") << QStringLiteral("silent") << int(DavError::Timeout)
                                << QStringLiteral("没有及时回答");
    }
    void failures()
    {
        QFETCH(QString, kind);
        QFETCH(int, error);
        QFETCH(QString, message);
        QTemporaryDir empty;
        QProcess web;
        QTcpServer silent; // listens, and the kernel accepts for it, but never answers
        QUrl url = m_server.Url();
        QString password = QStringLiteral("s3cret");
        if (kind == QLatin1String("password")) {
            password = QStringLiteral("wrong");
        } else if (kind == QLatin1String("closed")) {
            url.setPort(ServerProcess::FreePort());
        } else if (kind == QLatin1String("host")) {
            url.setHost(QStringLiteral("no-such-host.invalid"));
        } else if (kind == QLatin1String("http")) {
            QString why;
            url.setPort(ServerProcess::FreePort());
            QVERIFY2(ServerProcess::StartPython(web,
                                                {QStringLiteral("-m"), QStringLiteral("http.server"),
                                                 QStringLiteral("--bind"), QStringLiteral("127.0.0.1"),
                                                 QString::number(url.port()), QStringLiteral("--directory"),
                                                 empty.path()},
                                                quint16(url.port()), why),
                     qPrintable(why));
        } else if (kind == QLatin1String("silent")) {
            QVERIFY(silent.listen(QHostAddress::LocalHost));
            url.setPort(silent.serverPort());
        }
        CCalDavClient client(Account(url, password), std::chrono::milliseconds(200));
        DavDiscovery found;
        const DavResult result = client.Discover(found);
        ServerProcess::StopProcess(web);
        QCOMPARE(int(result.error), error);
        QVERIFY2(result.strMessage.contains(message), qPrintable(result.strMessage));
    }

    void certificate()
    {
        CRadicaleServer tls(true);
        QVERIFY2(tls.Ok(), qPrintable(tls.Error()));
        DavDiscovery found;
        for (const QByteArray& trusted : {QByteArray(), QByteArray(64, 'a')}) {
            const DavResult result =
                CCalDavClient(Account(tls.Url(), QStringLiteral("s3cret"), trusted)).Discover(found);
            QCOMPARE(result.error, DavError::Certificate);
            QCOMPARE(result.certificateFingerprint, tls.Fingerprint());
        }
        const DavResult result =
            CCalDavClient(Account(tls.Url(), QStringLiteral("s3cret"), tls.Fingerprint())).Discover(found);
        QVERIFY2(result.Ok(), qPrintable(Describe(result)));
        QCOMPARE(found.strHome, QStringLiteral("/planner/"));
    }
};

QTEST_GUILESS_MAIN(TestCalDavClient)
#include "tst_caldavclient.moc"
