#include "app/Sound.h"

#include <QAudioDevice>
#include <QEventLoop>
#include <QLoggingCategory>
#include <QMediaDevices>
#include <QSoundEffect>
#include <QTimer>
#include <QUrl>
#include <memory>

namespace {

// QT_LOGGING_RULES="kestrum.sound.info=true" lists every sound the program plays, for a look at
// what a reminder rang on a machine without speakers.
Q_LOGGING_CATEGORY(lcSound, "kestrum.sound", QtWarningMsg)

class QtSoundPlayer final : public ISoundPlayer
{
public:
    void Play(const QString& path, bool wait) override
    {
        qCInfo(lcSound) << "play" << path << (wait ? "waiting" : "");
        if (QMediaDevices::audioOutputs().isEmpty())
            return;
        if (!m_effect)
            m_effect = std::make_unique<QSoundEffect>();
        m_effect->stop();
        m_effect->setSource(QUrl::fromLocalFile(path));
        if (m_effect->status() == QSoundEffect::Error)
            return;
        m_effect->play();
        if (!wait)
            return;
        // Our sounds last a second or two; the limit only guards against a device that never
        // reports the end of playback.
        QEventLoop loop;
        QTimer guard;
        guard.setSingleShot(true);
        QObject::connect(&guard, &QTimer::timeout, &loop, &QEventLoop::quit);
        QObject::connect(m_effect.get(), &QSoundEffect::playingChanged, &loop, [&loop, this] {
            if (!m_effect->isPlaying())
                loop.quit();
        });
        QObject::connect(m_effect.get(), &QSoundEffect::statusChanged, &loop, [&loop, this] {
            if (m_effect->status() == QSoundEffect::Error)
                loop.quit();
        });
        guard.start(10000);
        loop.exec(QEventLoop::ExcludeUserInputEvents);
    }

    void Stop() override
    {
        if (m_effect)
            m_effect->stop();
    }

private:
    std::unique_ptr<QSoundEffect> m_effect;
};

ISoundPlayer* g_pInstalled = nullptr;

} // namespace

namespace Sound {

ISoundPlayer& player()
{
    if (g_pInstalled)
        return *g_pInstalled;
    static QtSoundPlayer realPlayer;
    return realPlayer;
}

void setPlayer(ISoundPlayer* p) { g_pInstalled = p; }

} // namespace Sound
