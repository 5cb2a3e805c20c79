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

/// Reads the file's bytes. The count line is read like C's atoi (a non-number gives 0); the
/// name is what comes before the first ";", the path what follows it without trailing CR and
/// LF; a line without ";" is all path; a line missing at the end gives an empty entry. Lines
/// may end in CR CR LF, CR LF or LF.
QList<Entry> Parse(QByteArrayView data);

/// The file's bytes for \a entries, every line ended by CR CR LF.
QByteArray Format(const QList<Entry>& entries);

/// The count line's number, read like C's atoi and kept within int.
int ReadCount(QByteArrayView line);

} // namespace ProgramFile
