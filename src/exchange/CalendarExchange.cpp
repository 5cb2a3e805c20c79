#include "exchange/CalendarExchange.h"

#include "app/AtomicFile.h"
#include "app/ErrorReporter.h"
#include "exchange/IcsFormat.h"
#include "store/DataStore.h"

#include <QFile>
#include <QIODevice>

namespace CalendarExchange {

namespace {

size_t KindIndex(ExchangeKind kind)
{
    return kind == ExchangeKind::Task ? 0 : kind == ExchangeKind::Reminder ? 1 : 2;
}

QString NameOf(const ExchangeItem& item)
{
    const QString name = item.kind == ExchangeKind::Task       ? item.task.strContent
                         : item.kind == ExchangeKind::Reminder ? item.reminder.strTitle
                                                               : item.holiday.strName;
    return name.isEmpty() ? item.strUid : name;
}

// The writer's stream into the replacement file: collected into blocks, since the writer hands
// over one line or component at a time and each Write of the file is a system call.
class CAtomicFileDevice : public QIODevice
{
public:
    explicit CAtomicFileDevice(CAtomicFile& file) : m_file(file) {}

    bool Flush()
    {
        if (m_bFailed)
            return false;
        if (!m_block.isEmpty() && !m_file.Write(m_block)) {
            m_bFailed = true;
            setErrorString(m_file.LastResult().strError);
            return false;
        }
        m_block.clear();
        return true;
    }
    bool DiskFull() const { return m_file.LastResult().bDiskFull; }

protected:
    qint64 readData(char*, qint64) override { return -1; }
    qint64 writeData(const char* data, qint64 size) override
    {
        m_block.append(data, size);
        if (m_block.size() >= kBlock && !Flush())
            return -1;
        return size;
    }

private:
    static constexpr qsizetype kBlock = 256 * 1024;
    CAtomicFile& m_file;
    QByteArray m_block;
    bool m_bFailed = false;
};

// Takes the store's failure messages for the time of one export or import, so that they reach
// the caller once, in its result, instead of as a message box of their own.
class CCapturedErrors : public IErrorReporter
{
public:
    explicit CCapturedErrors(CDataStore& store) : m_store(store), m_pPrevious(store.ErrorReporter())
    {
        m_store.SetErrorReporter(this);
    }
    ~CCapturedErrors() override { m_store.SetErrorReporter(m_pPrevious); }
    CCapturedErrors(const CCapturedErrors&) = delete;
    CCapturedErrors& operator=(const CCapturedErrors&) = delete;

    void ReportError(const QString& text) override { m_texts << text; }
    void ReportMessage(const QString& text, const QString&, Kind) override { m_texts << text; }
    QString Text() const { return m_texts.join(QStringLiteral("\r\n")); }

private:
    CDataStore& m_store;
    IErrorReporter* m_pPrevious;
    QStringList m_texts;
};

} // namespace

ExportResult ExportFile(CDataStore& store, const QString& path, const ExportOptions& options)
{
    ExportResult result;
    const auto fail = [&](const QString& detail, bool diskFull = false) {
        result.bOk = false;
        result.written = {};
        result.leftOut.clear();
        result.strError = QStringLiteral("不能导出到文件 %1：%2").arg(path, detail);
        if (diskFull)
            result.strError += QStringLiteral("\r\n磁盘空间已满");
        return result;
    };

    CAtomicFile file(path);
    if (!file.Open())
        return fail(file.LastResult().strError, file.LastResult().bDiskFull);
    CAtomicFileDevice device(file);
    device.open(QIODevice::WriteOnly);
    CIcsWriter writer(&device);
    if (!writer.Begin())
        return fail(writer.ErrorString(), device.DiskFull());

    CCapturedErrors errors(store);
    const CDataStore::ExchangeOutcome outcome =
        store.ExportItems(options.dtFrom, options.dtTo, [&](const ExchangeItem& item) {
            switch (writer.Write(item)) {
            case CIcsWriter::Written::Item:
                ++result.written[KindIndex(item.kind)];
                return true;
            case CIcsWriter::Written::Refused:
                // A row another program wrote with a date that is none costs only itself.
                result.leftOut << ExchangeLeftOut{NameOf(item), item.strUid, writer.ErrorString(), 0};
                return true;
            case CIcsWriter::Written::Failed:
                break;
            }
            return false;
        });
    switch (outcome) {
    case CDataStore::ExchangeOutcome::Done:
        break;
    case CDataStore::ExchangeOutcome::Stopped:
        return fail(writer.ErrorString(), device.DiskFull());
    case CDataStore::ExchangeOutcome::Failed:
        return fail(errors.Text());
    }
    if (!writer.Finish() || !device.Flush())
        return fail(device.errorString().isEmpty() ? writer.ErrorString() : device.errorString(),
                    device.DiskFull());
    device.close();
    if (!file.Commit())
        return fail(file.LastResult().strError, file.LastResult().bDiskFull);
    result.bOk = true;
    return result;
}

ImportResult ImportFile(CDataStore& store, const QString& path)
{
    ImportResult result;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        result.strError = QStringLiteral("不能打开文件 %1：%2").arg(path, file.errorString());
        return result;
    }
    CIcsReader reader(&file);
    CCapturedErrors errors(store);
    QString readError;
    CDataStore::ImportCounts counts;
    const CDataStore::ExchangeOutcome outcome = store.ImportItems(
        [&](ExchangeItem& item) {
            for (;;) {
                ExchangeLeftOut leftOut;
                switch (reader.Next(item, leftOut)) {
                case CIcsReader::Step::Item:
                    return CDataStore::ImportFeed::Item;
                case CIcsReader::Step::LeftOut:
                    result.leftOut << leftOut;
                    continue;
                case CIcsReader::Step::End:
                    return CDataStore::ImportFeed::End;
                case CIcsReader::Step::Failed:
                    readError = reader.ErrorString();
                    return CDataStore::ImportFeed::Stop;
                }
            }
        },
        counts);
    switch (outcome) {
    case CDataStore::ExchangeOutcome::Done:
        result.bOk = true;
        result.added = counts.added;
        result.updated = counts.updated;
        return result;
    case CDataStore::ExchangeOutcome::Stopped:
        result.strError = QStringLiteral("不能导入文件 %1，数据没有改动：%2").arg(path, readError);
        break;
    case CDataStore::ExchangeOutcome::Failed:
        result.strError = QStringLiteral("不能导入文件 %1，数据没有改动：%2").arg(path, errors.Text());
        break;
    }
    result.leftOut.clear();
    return result;
}

QStringList LeftOutLines(const QList<ExchangeLeftOut>& leftOut, qsizetype maxListed)
{
    const qsizetype listed = maxListed < 0 ? leftOut.size() : qMin(maxListed, leftOut.size());
    QStringList lines;
    lines.reserve(listed + 1);
    for (qsizetype i = 0; i < listed; ++i) {
        const ExchangeLeftOut& item = leftOut[i];
        lines << (item.nLine > 0 ? QStringLiteral("%1（第 %2 行）：%3")
                                       .arg(item.strName)
                                       .arg(item.nLine)
                                       .arg(item.strReason)
                                 : QStringLiteral("%1：%2").arg(item.strName, item.strReason));
    }
    if (listed < leftOut.size())
        lines << QStringLiteral("另有 %1 项没有列出。").arg(leftOut.size() - listed);
    return lines;
}

QString ImportResult::SummaryText(qsizetype maxListed) const
{
    if (!bOk)
        return strError;
    const QString kinds[] = {QStringLiteral("事情"), QStringLiteral("提醒"), QStringLiteral("节日")};
    QStringList lines{QStringLiteral("导入完成。")};
    for (size_t i = 0; i < 3; ++i)
        lines << QStringLiteral("%1：新增 %2 项，更新 %3 项").arg(kinds[i]).arg(added[i]).arg(updated[i]);
    if (!leftOut.isEmpty()) {
        lines << QStringLiteral("未导入 %1 项：").arg(leftOut.size());
        lines << LeftOutLines(leftOut, maxListed);
    }
    return lines.join(QStringLiteral("\r\n"));
}

} // namespace CalendarExchange
