#pragma once

#include <QString>

/// Plays the program's short sounds (reminder ring, notice chime).
class ISoundPlayer
{
public:
    virtual ~ISoundPlayer() = default;
    /// Plays the WAV file at \a path. With \a wait the call returns when the sound has ended.
    /// A machine without an audio output plays nothing and reports nothing: there is nothing
    /// the user could do about it.
    virtual void Play(const QString& path, bool wait) = 0;
    /// Stops whatever is playing.
    virtual void Stop() = 0;
};

namespace Sound {
ISoundPlayer& player();
/// Installs another player (tests); nullptr restores the real one.
void setPlayer(ISoundPlayer* player);
inline void play(const QString& path, bool wait = false) { player().Play(path, wait); }
} // namespace Sound
