#include "app/ExchangeCommand.h"

#include "app/Clock.h"
#include "app/DataFolder.h"
#include "app/ErrorReporter.h"
#include "app/Platform.h"
#include "app/SingleInstance.h"
#include "exchange/CalendarExchange.h"
#include "store/DataStore.h"

#include <QFileInfo>

namespace {
QString Lines(const QString& text)
{
    QString lines;
    for (const QString& line : text.split(u'\n', Qt::SkipEmptyParts))
        lines += ExchangeCommand::ErrorLine(line);
    return lines.isEmpty() ? ExchangeCommand::ErrorLine(text) : lines;
}

/// What the store has to say goes to standard error rather than into a message box.
class CLineReporter final : public IErrorReporter
{
public:
    explicit CLineReporter(QString& err) : m_err(err) {}
    void ReportError(const QString& text) override { m_err += ExchangeCommand::ErrorLine(text); }
    void ReportMessage(const QString& text, const QString&, Kind) override
    {
        m_err += ExchangeCommand::ErrorLine(text);
    }

private:
    QString& m_err;
};

ExchangeCommand::Outcome Failed(const QString& err)
{
    return {ExchangeCommand::kFailedStatus, QString(), err};
}
} // namespace

namespace ExchangeCommand {

QString ErrorLine(const QString& text)
{
    return QStringLiteral("Kestrum: ") + OneLine(text) + u'\n';
}

Outcome Run(const CommandLine::Options& options, const QStringList& arguments, const QString& appFolder)
{
    using Exchange = CommandLine::Options::Exchange;
    const QString folder = DataFolder::Resolve(arguments, appFolder);
    const QFileInfo info(folder);
    if (info.exists() && !info.isDir())
        return Failed(ExchangeCommand::ErrorLine(QStringLiteral("数据文件夹 %1 不是文件夹").arg(folder)));
    if (DataFolder::NeedsDefaults(folder)) {
        // Exporting from a folder that holds nothing is a mistyped folder, not an empty calendar.
        if (options.exchange == Exchange::Export)
            return Failed(ExchangeCommand::ErrorLine(QStringLiteral("数据文件夹 %1 中没有数据").arg(folder)));
        QString error;
        if (!DataFolder::CreateWithDefaults(folder, Clock::today(), &error))
            return Failed(
                ExchangeCommand::ErrorLine(QStringLiteral("创建数据文件夹 %1 失败: %2").arg(folder, error)));
    }

    Outcome outcome;
    CLineReporter reporter(outcome.strErr);
    CDataStore store(&reporter);
    // A planner running on the same data keeps its connection; the store's busy timeout lets
    // each side wait for the other's transaction.
    if (!store.Connect(folder + QStringLiteral("/kstrm.db"))) {
        outcome.nStatus = kFailedStatus;
        if (outcome.strErr.isEmpty())
            outcome.strErr =
                ExchangeCommand::ErrorLine(QStringLiteral("不能打开数据文件夹 %1 中的数据库").arg(folder));
        return outcome;
    }

    if (options.exchange == Exchange::Export) {
        const CalendarExchange::ExportResult result =
            CalendarExchange::ExportFile(store, options.strIcsFile, {options.dtFrom, options.dtTo});
        if (!result.bOk)
            return Failed(outcome.strErr + Lines(result.strError));
        // The file is written: what it lacks is reported, but the run succeeded.
        for (const QString& line : CalendarExchange::LeftOutLines(result.leftOut))
            outcome.strErr += ExchangeCommand::ErrorLine(QStringLiteral("未导出 ") + line);
        outcome.strOut = QStringLiteral("已导出到 %1: 事情 %2 件，提醒 %3 个，节日 %4 个\n")
                             .arg(options.strIcsFile)
                             .arg(result.written[0])
                             .arg(result.written[1])
                             .arg(result.written[2]);
        return outcome;
    }

    const CalendarExchange::ImportResult result = CalendarExchange::ImportFile(store, options.strIcsFile);
    if (!result.bOk)
        return Failed(outcome.strErr + Lines(result.strError));
    outcome.strOut = result.SummaryText();
    if (!outcome.strOut.endsWith(u'\n'))
        outcome.strOut += u'\n';
    store.Close();
    // A planner running on this data shows what was there before: it reads again when told.
    // One try: none listening means none running, and a run without a planner should not wait
    // for one. (A planner in the last moments of its start-up, past reading the shown day but
    // not yet listening, misses the word; its next date pick reads the data again.)
    CSingleInstance(Platform::InstanceGuardFolder(folder)).AskRunningInstanceToReload(0);
    return outcome;
}

} // namespace ExchangeCommand
