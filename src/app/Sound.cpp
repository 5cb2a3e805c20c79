#include "app/Sound.h"

#include "app/Modules.h"

#include <memory>

namespace {

// The real player lives in the module kestrum_sound (SoundModule.cpp), loaded at the first
// sound rather than linked: its audio libraries would otherwise be loaded at every start,
// before the planner's window could show.
class ModuleSoundPlayer final : public ISoundPlayer
{
public:
    void Play(const QString& path) override
    {
        if (ISoundPlayer* real = Real())
            real->Play(path);
    }

    void Stop() override
    {
        // Nothing can be playing before the first Play, so there is nothing to load for.
        if (m_pReal)
            m_pReal->Stop();
    }

private:
    ISoundPlayer* Real()
    {
        // Without the module the program stays silent, as on a machine without speakers; the
        // loader remembers a missing module, so asking again costs nothing.
        using Factory = ISoundPlayer* (*)();
        if (!m_pReal) {
            if (auto create = Modules::Resolve<Factory>("kestrum_sound", "kestrum_create_sound_player"))
                m_pReal.reset(create());
        }
        return m_pReal.get();
    }

    std::unique_ptr<ISoundPlayer> m_pReal;
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

std::unique_ptr<ISoundPlayer> CreateSystemPlayer() { return std::make_unique<ModuleSoundPlayer>(); }

} // namespace Sound
