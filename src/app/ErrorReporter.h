#pragma once

#include <QString>

/// Where the data store sends what it has to tell the user: the one fixed message of a failed
/// operation, and the few refusals that carry a caption of their own. The application shows
/// them in message boxes; tests record them. Core code never sees a widget.
class IErrorReporter
{
public:
    enum class Kind { Error, Information };

    virtual ~IErrorReporter() = default;
    /// A failed operation (shown under the program's title).
    virtual void ReportError(const QString& text) = 0;
    /// A refusal with its own caption, shown with the error or the information icon.
    virtual void ReportMessage(const QString& text, const QString& caption, Kind kind) = 0;
};

/// \a text, written for a message box (lines apart by "\r\n"), as one line: for standard error,
/// a report or a settings file.
inline QString OneLine(const QString& text)
{
    QString line = text.trimmed();
    line.replace(QStringLiteral("\r\n"), QStringLiteral(" "));
    line.replace(u'\n', u' ');
    line.replace(u'\r', u' ');
    return line;
}
