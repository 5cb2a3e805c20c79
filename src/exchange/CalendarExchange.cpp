#include "exchange/CalendarExchange.h"

namespace CalendarExchange {

// Placeholder until the reader and writer land: every call fails and says so.
ExportResult ExportFile(CDataStore&, const QString&, const ExportOptions&)
{
    return {false, QStringLiteral("not built yet"), {}};
}

ImportResult ImportFile(CDataStore&, const QString&)
{
    ImportResult result;
    result.strError = QStringLiteral("not built yet");
    return result;
}

QString ImportResult::SummaryText() const
{
    return strError;
}

} // namespace CalendarExchange
