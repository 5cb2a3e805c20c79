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

std::future<PlannerArt>& Pending()
{
    static std::future<PlannerArt> pending;
    return pending;
}

} // namespace

void PlannerArt::Preload()
{
    if (!Pending().valid())
        Pending() = std::async(std::launch::async, Decode);
}

PlannerArt PlannerArt::Take()
{
    if (Pending().valid())
        return Pending().get();
    return Decode();
}
