#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>

/// The text of "program.dat": a count line, then one "name;path" line per entry, in the
/// Chinese code page, every line ended by CR CR LF (what the old text-mode writer left).
namespace ProgramFile {

struct Entry
{
    QString strName;
    QString strPath;
    friend bool operator==(const Entry&, const Entry&) = default;
};

/// How many entries a count line may promise beyond the lines the file holds. A file cut short
/// still gives its promised empty entries, but a wild count line cannot make millions of them.
constexpr int kMissingEntryBound = 16;

// What a damaged or planted file can cost when the list opens. A list of programs one starts
// often is short, its names are short (the edit dialog allows ten Chinese characters) and the
// system opens no path longer than 4096 bytes. Whatever lies beyond is left out, and the list
// says so.
/// Most entries read.
constexpr int kMaxEntries = 10000;
/// Longest display name and path, in characters; an entry with a longer one is left out.
constexpr qsizetype kMaxNameLength = 256;
constexpr qsizetype kMaxPathLength = 4096;
/// Most bytes of the file read; the entries beyond are left out.
constexpr qsizetype kMaxFileBytes = 4 * 1024 * 1024;

/// What Parse found: the entries, and how many entries the file holds (or, when its end was not
/// read, promises) that were left out by the bounds above.
struct Contents
{
    QList<Entry> entries;
    qsizetype nLeftOut = 0;
};

/// Reads the file's bytes. The count line is read like C's atoi (a non-number gives 0); the
/// name is what comes before the first ";", the path what follows it without trailing CR and
/// LF; a line without ";" is all path; a line missing at the end gives an empty entry. Lines
/// may end in CR CR LF, CR LF or LF. \a bCut says \a data stops before the file's end: its last
/// unended line is not an entry, and the entries promised past it are left out, not empty.
Contents Parse(QByteArrayView data, bool bCut = false);

/// The file's bytes for \a entries, every line ended by CR CR LF.
QByteArray Format(const QList<Entry>& entries);

/// The count line's number, read like C's atoi and kept within int.
int ReadCount(QByteArrayView line);

} // namespace ProgramFile
