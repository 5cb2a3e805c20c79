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

class SilentPlayer final : public ISoundPlayer
{
public:
    void Play(const QString&) override {}
    void Stop() override {}
};

ISoundPlayer* g_pInstalled = nullptr;
ISoundPlayer* g_pDefault = nullptr;

} // namespace

namespace Sound {

ISoundPlayer& player()
{
    static SilentPlayer silent;
    if (g_pInstalled)
        return *g_pInstalled;
    return g_pDefault ? *g_pDefault : silent;
}

void setPlayer(ISoundPlayer* p) { g_pInstalled = p; }

void setDefaultPlayer(ISoundPlayer* p) { g_pDefault = p; }

std::unique_ptr<ISoundPlayer> CreateSystemPlayer() { return std::make_unique<QtSoundPlayer>(); }

} // namespace Sound
