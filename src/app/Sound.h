#pragma once

#include <QString>
#include <memory>

/// Plays the program's short sounds (reminder ring, notice chime).
class ISoundPlayer
{
public:
    virtual ~ISoundPlayer() = default;
    /// Starts the WAV file at \a path and returns at once. A machine without an audio output
    /// plays nothing and reports nothing: there is nothing the user could do about it.
    virtual void Play(const QString& path) = 0;
    /// Stops whatever is playing.
    virtual void Stop() = 0;
};

namespace Sound {
/// The player installed by setPlayer, else the program's own (setDefaultPlayer), else one that
/// plays nothing.
ISoundPlayer& player();
/// Installs another player (tests); nullptr goes back to the program's own.
void setPlayer(ISoundPlayer* player);
/// The program's own player, owned by the application object so that it goes before the
/// application and its audio device; nullptr when the application goes.
void setDefaultPlayer(ISoundPlayer* player);
/// A player that plays through the system's audio output.
std::unique_ptr<ISoundPlayer> CreateSystemPlayer();
inline void play(const QString& path) { player().Play(path); }
} // namespace Sound
