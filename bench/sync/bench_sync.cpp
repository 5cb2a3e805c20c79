// Measures the sync against a real Radicale server, each figure against what a plain client
// needs for the same work in the same run:
//   - a first sync of a data folder with 2,000 tasks and 200 reminders (every mode) into two
//     empty calendars, against the same iCalendar bodies PUT one after another with
//     If-None-Match: * into two other empty calendars by a plain QNetworkAccessManager, plus
//     one sync-collection REPORT (Radicale checks each new UID against every item the calendar
//     holds, so each PUT costs more as the calendar fills: both sides fill theirs alike);
//   - a sync with nothing changed, against one sync-collection REPORT with the current token.
// The sync right after the first one is timed apart: it hears back the first one's writes.
// Each run uses fresh calendars (and a fresh copy of the data folder); figures are medians.
// Also counts the TCP connections each side opened (closed sockets of the server's port) to
// show whether requests share a connection: Radicale's own server speaks HTTP/1.0 and closes
// every connection after one answer. With "--keep-alive" the same Radicale application is
// served over HTTP/1.1 keep-alive instead (radicale_keepalive.py beside this file).

#include "BenchTiming.h"
#include "RadicaleServer.h"
#include "exchange/IcsFormat.h"
#include "store/DataStore.h"
#include "store/Schema.h"
#include "store/TaskRecord.h"
#include "sync/SyncEngine.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QEventLoop>
#include <QFile>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>
#include <cstdio>
#include <sys/resource.h>
#include <vector>

using namespace BenchTiming;

namespace {

const char* const kBench = "bench_sync";

struct Body
{
    ExchangeKind kind;
    QString strUid;
    QByteArray text;
};

/// The bench's data folder: tasks over a few weeks in the four states, reminders of every mode.
bool BuildFolder(const QString& path, int nTasks, int nReminders)
{
    if (!Schema::CreateDatabaseFile(path, QDate(2026, 9, 1), QDate(2027, 1, 31), nullptr))
        return false;
    PrintingReporter reporter;
    CDataStore store(&reporter);
    if (!store.Connect(path))
        return false;
    const TaskState states[] = {TaskStates::NotDone(), TaskStates::Done(), TaskStates::InProgress(),
                                TaskStates::Postponed()};
    const QStringList phrases = {QStringLiteral("备课"), QStringLiteral("批改作业"), QStringLiteral("写周报"),
                                 QStringLiteral("交电费"), QStringLiteral("复习英语")};
    const QDate first(2026, 11, 20);
    bool ok = true;
    for (int i = 0; i < nTasks && ok; ++i)
        ok = store.AddTask(first.addDays(i % 30), phrases[i % phrases.size()] + u' ' + QString::number(i),
                           states[(i / 7) % 4]);
    for (int i = 0; i < nReminders && ok; ++i)
        ok = store.AddReminder(QDateTime(first.addDays(i % 40), QTime(7 + i % 12, (i * 7) % 60)),
                               ReminderOnce + i % (ReminderYearly + 1), i % 2,
                               QStringLiteral("提醒 %1").arg(i), QStringLiteral("内容 %1").arg(i));
    return ok && reporter.m_nErrors == 0;
}

/// Each item as the engine sends a new one: a calendar object of its own. The walk also binds
/// every UID in the folder, so that each copy of it syncs the same UIDs.
std::vector<Body> Bodies(const QString& path)
{
    PrintingReporter reporter;
    CDataStore store(&reporter);
    std::vector<Body> bodies;
    if (!store.Connect(path))
        return bodies;
    store.ExportItems({}, {}, [&](const ExchangeItem& item) {
        if (item.kind == ExchangeKind::Holiday)
            return true;
        QByteArray data;
        QBuffer buffer(&data);
        buffer.open(QIODevice::WriteOnly);
        CIcsWriter writer(&buffer);
        if (!writer.Begin() || writer.Write(item) != CIcsWriter::Written::Item || !writer.Finish())
            Fail(kBench, writer.ErrorString());
        bodies.push_back({item.kind, item.strUid, data});
        return true;
    });
    return bodies;
}

/// The plain client: one QNetworkAccessManager, one request at a time.
class CPlainClient
{
public:
    CPlainClient(const QUrl& base, const QString& user, const QString& password)
        : m_base(base), m_auth("Basic " + (user + u':' + password).toUtf8().toBase64())
    {}

    /// Sends one request and waits for its answer; \a answer gets its body. Returns the status.
    int Send(const QByteArray& verb, const QString& href, const QByteArray& body,
             const QList<std::pair<QByteArray, QByteArray>>& headers, QByteArray* answer = nullptr)
    {
        QNetworkRequest request(m_base.resolved(QUrl(href)));
        request.setRawHeader("Authorization", m_auth);
        for (const auto& [name, value] : headers)
            request.setRawHeader(name, value);
        QNetworkReply* reply = m_nam.sendCustomRequest(request, verb, body);
        if (!reply->isFinished()) {
            QEventLoop loop;
            QObject::connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
            loop.exec();
        }
        const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
        if (answer)
            *answer = reply->readAll();
        delete reply;
        return status;
    }

    bool PutNew(const QString& href, const QByteArray& text)
    {
        const int status = Send("PUT", href, text,
                                {{"Content-Type", "text/calendar; charset=utf-8"}, {"If-None-Match", "*"}});
        return status == 201 || status == 204;
    }

    /// A sync-collection REPORT from \a token; the new token comes back in \a token, the number
    /// of changed or gone items in \a nItems.
    bool SyncCollection(const QString& calendar, QString& token, int& nItems)
    {
        const QByteArray body = "<?xml version=\"1.0\" encoding=\"utf-8\"?>"
                                "<D:sync-collection xmlns:D=\"DAV:\"><D:sync-token>" +
                                token.toUtf8() +
                                "</D:sync-token><D:sync-level>1</D:sync-level>"
                                "<D:prop><D:getetag/></D:prop></D:sync-collection>";
        QByteArray answer;
        if (Send("REPORT", calendar, body,
                 {{"Content-Type", "application/xml; charset=utf-8"}, {"Depth", "0"}}, &answer) != 207)
            return false;
        static const QRegularExpression tokenElement(QStringLiteral("<[^>]*sync-token>([^<]*)<"));
        static const QRegularExpression response(QStringLiteral("<[^>/]*response>"));
        const QString text = QString::fromUtf8(answer);
        token = tokenElement.match(text).captured(1);
        nItems = int(text.count(response));
        return !token.isEmpty();
    }

private:
    QNetworkAccessManager m_nam;
    QUrl m_base;
    QByteArray m_auth;
};

/// Counts the TCP connections to one port opened while it watches: each sample adds every
/// connection open or closed in the last minute (Linux keeps a closed one in TIME_WAIT for 60 s),
/// so sampling more often than that misses none.
class CConnectionCount
{
public:
    explicit CConnectionCount(quint16 port) : m_nPort(port) { m_before = Now(); }
    void Sample() { m_seen.unite(Now()); }
    int New()
    {
        Sample();
        return int((m_seen - m_before).size());
    }

private:
    QSet<QByteArray> Now() const
    {
        QSet<QByteArray> now;
        for (const char* table : {"/proc/net/tcp", "/proc/net/tcp6"}) {
            QFile file(QString::fromLatin1(table));
            if (!file.open(QIODevice::ReadOnly))
                continue;
            file.readLine();
            while (!file.atEnd()) {
                const QList<QByteArray> f = file.readLine().simplified().split(' ');
                // Established (01) or closed (06); both ends of a local connection are listed.
                if (f.size() < 4 || (f[3] != "01" && f[3] != "06"))
                    continue;
                const quint16 local = quint16(f[1].split(':').value(1).toUInt(nullptr, 16));
                const quint16 remote = quint16(f[2].split(':').value(1).toUInt(nullptr, 16));
                if (local == m_nPort || remote == m_nPort)
                    now.insert(std::min(f[1], f[2]) + ' ' + std::max(f[1], f[2]));
            }
        }
        return now;
    }
    quint16 m_nPort;
    QSet<QByteArray> m_before, m_seen;
};

/// Radicale's application behind an HTTP/1.1 server that keeps connections open.
class CKeepAliveRadicale
{
public:
    explicit CKeepAliveRadicale(const CRadicaleServer& plain) : m_nPort(ServerProcess::FreePort())
    {
        ServerProcess::StartPython(m_process,
                                   {QStringLiteral(KESTRUM_BENCH_SYNC_DIR "/radicale_keepalive.py"),
                                    plain.Folder() + QStringLiteral("/config"), QString::number(m_nPort)},
                                   m_nPort, m_strError);
    }
    ~CKeepAliveRadicale() { ServerProcess::StopProcess(m_process); }
    bool Ok() const { return m_process.state() == QProcess::Running; }
    QString Error() const { return m_strError; }
    QUrl Url() const { return QUrl(QStringLiteral("http://127.0.0.1:%1/").arg(m_nPort)); }

private:
    QProcess m_process;
    quint16 m_nPort;
    QString m_strError;
};

double CpuMs()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1e3 +
           double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e3;
}

struct RunFigures
{
    double firstMs = 0, floorMs = 0;        // first sync; PUTs + one REPORT
    double echoMs = 0, unchangedMs = 0;     // the sync after the first; one with nothing changed
    double reportMs = 0, reportsBothMs = 0; // one REPORT (tasks); both calendars' REPORTs
    double firstCpuMs = 0, floorCpuMs = 0, unchangedCpuMs = 0; // this process's processor time
    int firstConnections = 0, floorConnections = 0, unchangedConnections = 0;
};

struct Setup
{
    QUrl url;
    QString user, password;
    QString dataMaster;
    std::vector<Body> bodies;
    int nItems = 0;
};

RunFigures OneRun(const Setup& s, const QString& workDir, int run)
{
    RunFigures f;
    const QString path = workDir + QStringLiteral("/run%1.db").arg(run);
    if (!FreshCopy(s.dataMaster, path))
        Fail(kBench, QStringLiteral("cannot copy the data folder"));
    PrintingReporter reporter;
    CDataStore store(&reporter);
    if (!store.Connect(path))
        Fail(kBench, QStringLiteral("cannot open %1").arg(path));

    CCalDavClient client({s.url, s.user, s.password, {}});
    DavDiscovery found;
    SyncCalendars ours, floor;
    if (!client.Discover(found).Ok() ||
        !client.MakeCalendar(found.strHome, QStringLiteral("事情"), true, ours.strTasks).Ok() ||
        !client.MakeCalendar(found.strHome, QStringLiteral("提醒"), false, ours.strReminders).Ok() ||
        !client.MakeCalendar(found.strHome, QStringLiteral("事情"), true, floor.strTasks).Ok() ||
        !client.MakeCalendar(found.strHome, QStringLiteral("提醒"), false, floor.strReminders).Ok())
        Fail(kBench, QStringLiteral("cannot make the calendars"));
    CSyncEngine engine(store, client, ours);
    CPlainClient plain(s.url, s.user, s.password);
    const quint16 port = quint16(s.url.port());

    const auto engineFirst = [&] {
        CConnectionCount connections(port);
        int nAsked = 0;
        engine.SetCancelCheck([&] {
            if (++nAsked % 50 == 0)
                connections.Sample();
            return false;
        });
        QElapsedTimer t;
        t.start();
        const double cpu = CpuMs();
        const SyncReport r = engine.Run();
        f.firstMs = Ms(t);
        f.firstCpuMs = CpuMs() - cpu;
        f.firstConnections = connections.New();
        engine.SetCancelCheck({});
        if (!r.bOk || r.nSent != s.nItems || !r.refused.isEmpty())
            Fail(kBench, QStringLiteral("first sync: sent %1 of %2, %3")
                             .arg(r.nSent)
                             .arg(s.nItems)
                             .arg(r.problems.join(u' ')));
    };
    const auto floorFirst = [&] {
        CConnectionCount connections(port);
        QElapsedTimer t;
        t.start();
        const double cpu = CpuMs();
        QString token;
        int nListed = 0;
        bool ok = plain.SyncCollection(floor.strTasks, token, nListed);
        int nSent = 0;
        for (const Body& b : s.bodies) {
            if (++nSent % 50 == 0)
                connections.Sample();
            ok = ok && plain.PutNew((b.kind == ExchangeKind::Task ? floor.strTasks : floor.strReminders) +
                                        b.strUid + QStringLiteral(".ics"),
                                    b.text);
        }
        f.floorMs = Ms(t);
        f.floorCpuMs = CpuMs() - cpu;
        f.floorConnections = connections.New();
        if (!ok)
            Fail(kBench, QStringLiteral("the plain client's PUTs failed"));
    };
    // Alternate who goes first, so that neither always meets a warmer server.
    if (run % 2) {
        floorFirst();
        engineFirst();
    } else {
        engineFirst();
        floorFirst();
    }

    QElapsedTimer t;
    t.start();
    SyncReport r = engine.Run();
    f.echoMs = Ms(t);
    if (!r.bOk || r.nSent || r.nReceived)
        Fail(kBench,
             QStringLiteral("second sync moved items: sent %1, received %2").arg(r.nSent).arg(r.nReceived));
    CConnectionCount connections(port);
    t.start();
    const double cpu = CpuMs();
    r = engine.Run();
    f.unchangedMs = Ms(t);
    f.unchangedCpuMs = CpuMs() - cpu;
    f.unchangedConnections = connections.New();
    if (!r.bOk || r.nSent || r.nReceived)
        Fail(kBench, QStringLiteral("unchanged sync moved items"));

    // The plain client's current tokens (untimed), then one REPORT each that finds nothing.
    QString tasksToken, remindersToken;
    int n = 0;
    if (!plain.SyncCollection(floor.strTasks, tasksToken, n) ||
        !plain.SyncCollection(floor.strReminders, remindersToken, n))
        Fail(kBench, QStringLiteral("REPORT failed"));
    t.start();
    const bool tasksOk = plain.SyncCollection(floor.strTasks, tasksToken, n) && n == 0;
    f.reportMs = Ms(t);
    const bool remindersOk = plain.SyncCollection(floor.strReminders, remindersToken, n) && n == 0;
    f.reportsBothMs = Ms(t);
    if (!tasksOk || !remindersOk)
        Fail(kBench, QStringLiteral("a REPORT with the current token listed items"));
    store.Close();
    return f;
}

int IntOption(const QStringList& args, const char* name, int fallback)
{
    const qsizetype at = args.indexOf(QLatin1String(name));
    return at >= 0 && at + 1 < args.size() ? args[at + 1].toInt() : fallback;
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    const int nTasks = IntOption(args, "--tasks", 2000);
    const int nReminders = IntOption(args, "--reminders", 200);
    const int nRuns = std::max(1, IntOption(args, "--runs", 3));
    const bool keepAlive = args.contains(QStringLiteral("--keep-alive"));

    QTemporaryDir work;
    Setup s;
    s.dataMaster = work.filePath(QStringLiteral("master.db"));
    if (!BuildFolder(s.dataMaster, nTasks, nReminders))
        Fail(kBench, QStringLiteral("cannot build the data folder"));
    s.bodies = Bodies(s.dataMaster);
    s.nItems = nTasks + nReminders;
    if (int(s.bodies.size()) != s.nItems)
        Fail(kBench, QStringLiteral("the walk gave %1 items").arg(s.bodies.size()));

    CRadicaleServer server;
    if (!server.Ok())
        Fail(kBench, server.Error());
    std::unique_ptr<CKeepAliveRadicale> front;
    s.url = server.Url();
    if (keepAlive) {
        front = std::make_unique<CKeepAliveRadicale>(server);
        if (!front->Ok())
            Fail(kBench, front->Error());
        s.url = front->Url();
    }
    s.user = server.User();
    s.password = server.Password();
    std::printf("%d tasks, %d reminders, %d runs, Radicale %s\n", nTasks, nReminders, nRuns,
                keepAlive ? "behind an HTTP/1.1 keep-alive server" : "(its own HTTP/1.0 server)");

    std::vector<RunFigures> runs;
    for (int i = 0; i < nRuns; ++i) {
        runs.push_back(OneRun(s, work.path(), i));
        const RunFigures& f = runs.back();
        std::printf(
            "run %d: first %.0f ms (cpu %.0f), floor %.0f ms (cpu %.0f); after first %.0f ms; unchanged %.1f "
            "ms (cpu %.1f), one REPORT %.1f ms, both %.1f ms; new connections: first %d, floor %d, "
            "unchanged %d\n",
            i + 1, f.firstMs, f.firstCpuMs, f.floorMs, f.floorCpuMs, f.echoMs, f.unchangedMs,
            f.unchangedCpuMs, f.reportMs, f.reportsBothMs, f.firstConnections, f.floorConnections,
            f.unchangedConnections);
        std::fflush(stdout);
    }
    const auto median = [&](double RunFigures::*field) {
        std::vector<double> v;
        for (const RunFigures& f : runs)
            v.push_back(f.*field);
        return Median(v);
    };
    const double first = median(&RunFigures::firstMs), floor = median(&RunFigures::floorMs);
    const double unchanged = median(&RunFigures::unchangedMs), report = median(&RunFigures::reportMs);
    const double reports = median(&RunFigures::reportsBothMs), echo = median(&RunFigures::echoMs);
    std::printf("medians of %d runs:\n", nRuns);
    std::printf(
        "  first sync          %9.0f ms   floor (PUTs + REPORT) %9.0f ms   ratio %.2f (goal <= 1.3)\n", first,
        floor, first / floor);
    std::printf(
        "  unchanged sync      %9.1f ms   one REPORT            %9.1f ms   ratio %.2f (goal <= 1.5)\n",
        unchanged, report, unchanged / report);
    std::printf("                                     both calendars' REPORTs %7.1f ms   ratio %.2f\n",
                reports, unchanged / reports);
    std::printf("  processor time here: first sync %.0f ms, floor %.0f ms, unchanged sync %.1f ms\n",
                median(&RunFigures::firstCpuMs), median(&RunFigures::floorCpuMs),
                median(&RunFigures::unchangedCpuMs));
    std::printf("  sync after the first %8.0f ms   (hears back its own %d writes)\n", echo, s.nItems);
    std::printf("  peak memory %.1f MiB\n", PeakMiB());
    return 0;
}
