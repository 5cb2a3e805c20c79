#include "mainwnd/PlannerArt.h"

namespace {

PlannerArt Decode()
{
    PlannerArt art;
    art.background.load(QStringLiteral(":/mainwnd/background.png"));
    for (int i = 0; i < 10; ++i)
        art.digits[i].load(QStringLiteral(":/mainwnd/digit%1.png").arg(i));
    art.logo.load(QStringLiteral(":/mainwnd/logo.png"));
    art.logoHover.load(QStringLiteral(":/mainwnd/logo-hover.png"));
    return art;
}

// The one preload main() keeps, for the window that takes it; not an owner.
PlannerArtPreload* g_pPreload = nullptr;

} // namespace

PlannerArtPreload::PlannerArtPreload() : m_pending(std::async(std::launch::async, Decode))
{
    g_pPreload = this;
}

PlannerArtPreload::~PlannerArtPreload()
{
    if (g_pPreload == this)
        g_pPreload = nullptr;
    if (m_pending.valid())
        m_pending.wait();
}

PlannerArt PlannerArt::Take()
{
    if (g_pPreload && g_pPreload->m_pending.valid())
        return g_pPreload->m_pending.get();
    return Decode();
}
