#pragma once

#include "app/ErrorReporter.h"

/// Shows what the data store (or the reminder queue) reports in a message box through the
/// message seam: errors with the warning icon and the program's caption, messages with the
/// caption and icon they name.
class CMessageReporter final : public IErrorReporter
{
public:
    void ReportError(const QString& text) override;
    void ReportMessage(const QString& text, const QString& caption, Kind kind) override;
};
