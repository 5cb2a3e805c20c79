#pragma once

#include "app/AtomicFile.h"

#include <QString>

/// The four start-up settings of config.ini, 0 or 1 each.
struct ConfigFlags
{
    int m_bAutorun = 0;
    int m_bShowSplash = 0;
    int m_bStartMinimized = 0;
    int m_bTopmost = 0;

    bool operator==(const ConfigFlags&) const = default;
};

/// config.ini: four lines "autorun=", "showscreen=", "deskshort=", "topmost=", each ended by
/// CR LF. Lines are read by position, never by key, so a file whose keys are shuffled or
/// misspelt still gives its values in line order.
namespace ConfigFile {

/// The value of one line: the text after its last '=', read like C's atoi; 1 only for exactly 1.
int FlagOfLine(const QByteArray& line);

/// Reads \a path into \a flags. False when the file cannot be opened; missing lines give 0.
bool Read(const QString& path, ConfigFlags& flags);

/// The exact bytes of a file holding \a flags.
QByteArray Format(const ConfigFlags& flags);

/// Replaces \a path with a file holding \a flags (CAtomicFile): a crash or a full disk leaves
/// the old file as it was, and says so.
CAtomicFile::Result Write(const QString& path, const ConfigFlags& flags);

} // namespace ConfigFile
