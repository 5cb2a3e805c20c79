#include "sync/SyncRun.h"

#include "app/Clock.h"
#include "app/ErrorReporter.h"
#include "store/DataStore.h"

namespace {
/// What the worker's store has to say goes into the report: no message box from a background
/// thread.
class CCollectingReporter final : public IErrorReporter
{
public:
    void ReportError(const QString& text) override { lines << OneLine(text); }
    void ReportMessage(const QString& text, const QString&, Kind) override { lines << OneLine(text); }
    QStringList lines;
};

SyncReport Failed(const DavResult& result)
{
    SyncReport report;
    report.firstError = result.error;
    report.certificateFingerprint = result.certificateFingerprint;
    report.problems << (result.strMessage.isEmpty() ? result.strServerAnswer : result.strMessage);
    report.finished = Clock::now();
    return report;
}
} // namespace

namespace SyncRun {

QString TasksCalendarName()
{
    return QStringLiteral("Kestrum 事情");
}
QString RemindersCalendarName()
{
    return QStringLiteral("Kestrum 提醒");
}

DavResult FindOrCreateCalendars(CCalDavClient& client, SyncSettings& settings)
{
    if (!settings.strTasksCalendar.isEmpty() && !settings.strRemindersCalendar.isEmpty())
        return {};
    DavDiscovery discovery;
    DavResult result = client.Discover(discovery);
    if (!result.Ok())
        return result;
    const auto fill = [&](QString& href, const QString& name, bool todos) {
        if (!href.isEmpty())
            return DavResult{};
        for (const DavCalendar& calendar : discovery.calendars) {
            if (calendar.strName == name && (todos ? calendar.bTodos : calendar.bEvents)) {
                href = calendar.strHref;
                return DavResult{};
            }
        }
        return client.MakeCalendar(discovery.strHome, name, todos, href);
    };
    result = fill(settings.strTasksCalendar, TasksCalendarName(), true);
    if (result.Ok())
        result = fill(settings.strRemindersCalendar, RemindersCalendarName(), false);
    return result;
}

SyncReport Once(const QString& databasePath, SyncSettings& settings, const QString& password,
                const std::function<bool()>& cancelled)
{
    CCollectingReporter reporter;
    CDataStore store(&reporter);
    if (!store.Connect(databasePath)) {
        SyncReport report;
        report.problems = reporter.lines;
        if (report.problems.isEmpty())
            report.problems << QStringLiteral("不能打开数据库 %1").arg(databasePath);
        report.finished = Clock::now();
        return report;
    }
    CCalDavClient client(
        DavAccount{settings.server, settings.strUser, password, settings.trustedFingerprint});
    if (const DavResult found = FindOrCreateCalendars(client, settings); !found.Ok())
        return Failed(found);
    CSyncEngine engine(store, client,
                       SyncCalendars{settings.strTasksCalendar, settings.strRemindersCalendar});
    if (cancelled)
        engine.SetCancelCheck(cancelled);
    SyncReport report = engine.Run();
    // A database error stops the engine after the table's message, which the report must carry.
    for (const QString& line : std::as_const(reporter.lines))
        if (!report.problems.contains(line))
            report.problems << line;
    if (!report.finished.isValid())
        report.finished = Clock::now();
    return report;
}

QString ResultLine(const SyncReport& report)
{
    if (!report.bOk)
        return QStringLiteral("同步失败：") +
               (report.problems.isEmpty() ? QStringLiteral("未知的错误") : report.problems.first());
    QString line = QStringLiteral("同步完成：上传 %1 项，下载 %2 项").arg(report.nSent).arg(report.nReceived);
    if (report.nDeletedHere + report.nDeletedThere > 0)
        line += QStringLiteral("，删除 %1 项").arg(report.nDeletedHere + report.nDeletedThere);
    if (report.nNewConflicts > 0)
        line += QStringLiteral("，冲突 %1 项").arg(report.nNewConflicts);
    if (!report.refused.isEmpty())
        line += QStringLiteral("，服务器拒收 %1 项").arg(report.refused.size());
    return line;
}

} // namespace SyncRun
