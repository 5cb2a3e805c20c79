#pragma once

#include "app/Sound.h"

#include <QElapsedTimer>
#include <QList>
#include <QString>
#include <QThread>

/// Records the sounds asked for, with their moments, instead of playing them.
class SoundRecorder final : public ISoundPlayer
{
public:
    SoundRecorder()
    {
        Sound::setPlayer(this);
        m_clock.start();
    }
    ~SoundRecorder() override { Sound::setPlayer(nullptr); }
    SoundRecorder(const SoundRecorder&) = delete;
    SoundRecorder& operator=(const SoundRecorder&) = delete;

    struct Played
    {
        QString path;
        qint64 nAtMs; // since the recorder was made
    };
    void Play(const QString& path) override
    {
        m_played.append({path, m_clock.elapsed()});
        if (m_played.size() == 2 && busyOnSecondMs > 0)
            QThread::msleep(busyOnSecondMs); // the program is busy for a moment while it rings
    }
    void Stop() override {}

    const QList<Played>& played() const { return m_played; }
    unsigned long busyOnSecondMs = 0;

private:
    QList<Played> m_played;
    QElapsedTimer m_clock;
};
