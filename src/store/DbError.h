#pragma once

#include <QSqlError>
#include <QString>

/// A failed database step. Every step of the result-set layer throws one; each store
/// operation catches it and shows its table's fixed message.
struct CDbError
{
    int m_nCode = 0;          ///< SQLite's result code, or -1 for errors of our own layer
    QString m_strDescription; ///< SQLite's own text (or ours)

    /// SQLite found no room to write: the disk, or the size the database may grow to, is full.
    bool IsDiskFull() const
    {
        constexpr int kSqliteFull = 13; // SQLITE_FULL; the low byte also of its extended codes
        return (m_nCode & 0xff) == kSqliteFull;
    }

    static CDbError FromSql(const QSqlError& error)
    {
        bool ok = false;
        const int code = error.nativeErrorCode().toInt(&ok);
        QString text = error.databaseText();
        if (text.isEmpty())
            text = error.driverText();
        return CDbError{ok ? code : -1, text};
    }
};
