#pragma once

#include <QString>

/// How long the WAV file at \a path plays, in milliseconds, from its format and data chunk
/// headers; 0 when the file cannot be read or is not a PCM WAV file.
int WaveLengthMs(const QString& path);
