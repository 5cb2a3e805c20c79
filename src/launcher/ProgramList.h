#pragma once

#include "app/AtomicFile.h"
#include "launcher/ProgramFile.h"

#include <QIcon>
#include <QList>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

/// The quick-launch list: the programs and files the user starts often, as display names with
/// their full paths, kept in "program.dat". Every change writes the whole file at once.
class CProgramList
{
public:
    /// Gives an entry's picture for its path; a null icon leaves the entry without one. It is
    /// asked only when the picture is first wanted (for the rows a view shows), once per entry.
    using IconFunction = std::function<QIcon(const QString& strPath)>;

    static QString FileName() { return QStringLiteral("program.dat"); }

    /// Reads \a strFile at once (a missing file gives an empty list).
    explicit CProgramList(const QString& strFile, IconFunction iconOf = {});
    virtual ~CProgramList();
    CProgramList(const CProgramList&) = delete;
    CProgramList& operator=(const CProgramList&) = delete;

    /// Reads the file; false, with an empty list, when it cannot be opened. No more is read than
    /// ProgramFile's bounds allow; GetLeftOut tells how many entries they left out.
    bool Load();
    /// Writes the file through a new file renamed over the old one (CAtomicFile), so that a
    /// failed write leaves the old file whole. False when it could not be written.
    CAtomicFile::Result Save();

    // Each changes the list and then saves it: false means the change is in memory only.
    CAtomicFile::Result Add(const QString& strName, const QString& strPath);
    CAtomicFile::Result Remove(int nIndex);
    CAtomicFile::Result Update(int nIndex, const QString& strName, const QString& strPath);
    /// Swaps the entry with the one before it; nothing happens to the first one.
    CAtomicFile::Result MoveUp(int nIndex);
    /// Swaps the entry with the one after it; nothing happens to the last one.
    CAtomicFile::Result MoveDown(int nIndex);

    int GetCount() const { return m_nCount; }
    QString GetName(int nIndex) const { return m_names.at(nIndex); }
    QString GetPath(int nIndex) const { return m_paths.at(nIndex); }
    QIcon GetIcon(int nIndex) const;
    QString GetFile() const { return m_strFile; }
    /// How many entries of the file the last Load left out (too many, or too long to be real).
    qsizetype GetLeftOut() const { return m_nLeftOut; }

    /// \a strPath as the list's tip shows it: a line break before every third "/" or "\".
    static QString PathTip(const QString& strPath);
    /// Starts a program (not waited for) or opens a document or folder with the desktop's
    /// application for it, through the launcher. False when there is nothing at \a strPath or
    /// the start failed.
    static bool Start(const QString& strPath);

private:
    void Append(const QString& strName, const QString& strPath);
    CAtomicFile::Result Swap(int nFirst);

    int m_nCount = 0;
    QStringList m_names;
    QStringList m_paths;
    mutable QList<std::optional<QIcon>> m_icons; ///< none until first wanted
    QString m_strFile;
    qsizetype m_nLeftOut = 0;
    IconFunction m_iconOf;
};
