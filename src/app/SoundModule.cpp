// The system's sound player, built as a module of its own: Qt Multimedia and the audio stack it
// brings (PulseAudio, the codecs) cost the planner several milliseconds of dynamic linking at
// every start, and most runs never play a sound. Sound.cpp loads this module at the first play.
#include "app/Sound.h"

#include <QAudioDevice>
#include <QLoggingCategory>
#include <QMediaDevices>
#include <QSoundEffect>
#include <QUrl>
#include <memory>

namespace {

// QT_LOGGING_RULES="kestrum.sound.info=true" lists every sound the program plays, for a look at
// what a reminder rang on a machine without speakers.
Q_LOGGING_CATEGORY(lcSound, "kestrum.sound", QtWarningMsg)

class QtSoundPlayer final : public ISoundPlayer
{
public:
    void Play(const QString& path) override
    {
        qCInfo(lcSound) << "play" << path;
        if (QMediaDevices::audioOutputs().isEmpty())
            return;
        if (!m_effect)
            m_effect = std::make_unique<QSoundEffect>();
        m_effect->stop();
        m_effect->setSource(QUrl::fromLocalFile(path));
        if (m_effect->status() == QSoundEffect::Error)
            return;
        m_effect->play();
    }

    void Stop() override
    {
        if (m_effect)
            m_effect->stop();
    }

private:
    std::unique_ptr<QSoundEffect> m_effect;
};

} // namespace

extern "C" Q_DECL_EXPORT ISoundPlayer* kestrum_create_sound_player()
{
    return new QtSoundPlayer;
}
