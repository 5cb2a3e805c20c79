#include "controls/MessageReporter.h"

#include "controls/Messages.h"

void CMessageReporter::ReportError(const QString& text)
{
    Messages::show(nullptr, text, Messages::appCaption(), Messages::Icon::Warning);
}

void CMessageReporter::ReportMessage(const QString& text, const QString& caption, Kind kind)
{
    Messages::show(nullptr, text, caption,
                   kind == Kind::Error ? Messages::Icon::Critical : Messages::Icon::Information);
}
