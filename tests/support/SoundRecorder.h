#pragma once

#include "app/Sound.h"

#include <QList>
#include <QString>

/// Records the sounds the program plays instead of playing them.
class SoundRecorder final : public ISoundPlayer
{
public:
    SoundRecorder() { Sound::setPlayer(this); }
    ~SoundRecorder() override { Sound::setPlayer(nullptr); }
    SoundRecorder(const SoundRecorder&) = delete;
    SoundRecorder& operator=(const SoundRecorder&) = delete;

    struct Played
    {
        QString path;
    };
    void Play(const QString& path) override { m_played.append({path}); }
    void Stop() override { ++m_nStops; }

    const QList<Played>& played() const { return m_played; }
    int stops() const { return m_nStops; }

private:
    QList<Played> m_played;
    int m_nStops = 0;
};
