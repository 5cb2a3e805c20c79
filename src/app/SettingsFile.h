#pragma once

#include "app/AtomicFile.h"

#include <QByteArray>
#include <QList>
#include <QString>

/// kestrum.ini in the data folder: the settings that came after config.ini, whose four lines
/// read by position cannot take any more. An ini file in UTF-8 of "[group]" headers and
/// "name=value" lines. Each feature reads and writes its own keys and leaves every other line
/// as it found it, byte for byte, so that a save by one feature (or by an older program) never
/// loses another's settings.
class CSettingsFile
{
public:
    static QString FileName() { return QStringLiteral("kestrum.ini"); }

    /// Reads \a strPath. A missing or unreadable file reads as an empty one: every key then has
    /// its default.
    explicit CSettingsFile(QString strPath);

    /// The value of \a key ("group/name", or "name" before any group), blanks around it removed;
    /// empty where the file has no such key.
    QString Value(const QString& key) const;
    /// Sets \a key in memory: its line is rewritten where it stands, or added at the end of its
    /// group, the group at the end of the file where there is none yet.
    void SetValue(const QString& key, const QString& value);
    /// The file's bytes as Save writes them.
    QByteArray Bytes() const;
    /// Replaces the file with Bytes() (CAtomicFile): when that fails the old file stays as it was.
    /// A file that is there but could not be read is never replaced: its settings would be lost.
    CAtomicFile::Result Save() const;

private:
    /// The line of \a name in \a group, or -1; \a pInsertAt gets where a new line of the group
    /// goes (after its last line that is not blank), -1 where there is no such group.
    qsizetype Find(const QString& group, const QString& name, qsizetype* pInsertAt) const;

    QString m_strPath;
    QString m_strReadError;    ///< why a file that is there could not be read
    QList<QByteArray> m_lines; ///< without their '\n' (a '\r' before it stays with the line)
};
