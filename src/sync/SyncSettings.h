#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QUrl>

/// The sync account and its state, in kestrum.ini's [sync] group beside the other later
/// settings (never in config.ini). The password is never among them.
struct SyncSettings
{
    QUrl server;
    QString strUser;
    QString strTasksCalendar;     ///< href; empty until chosen or created
    QString strRemindersCalendar; ///< href
    int nIntervalMinutes = 15;    ///< sync every N minutes; 0 = only at start, after changes and by hand
    QByteArray trustedFingerprint;
    QDateTime lastSync;           ///< when the last sync ended
    QString strLastResult;        ///< one line: what it did or why it failed

    bool IsSet() const { return server.isValid() && !server.isEmpty() && !strUser.isEmpty(); }

    /// Reads the [sync] group of the settings file at \a path; defaults where keys are missing or
    /// unreadable.
    static SyncSettings Load(const QString& path);
    /// Writes the [sync] group, leaving every other line of the file as it was; false (with
    /// \a error) when the file could not be replaced.
    bool Save(const QString& path, QString& error) const;
};
