#pragma once

#include <QString>

/// Where the data store sends the one fixed message of a failed operation. The application
/// shows it in a message box; tests record it. Core code never sees a widget.
class IErrorReporter
{
public:
    virtual ~IErrorReporter() = default;
    virtual void ReportError(const QString& text) = 0;
};
