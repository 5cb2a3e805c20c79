// Without Qt D-Bus there is no desktop service to post to: every post fails at once, and the
// caller shows its own window.
#include "reminder/DesktopNotifier.h"

void CDesktopNotifier::Send(quint64 nPost, const QString&, const QString&)
{
    Finish(nPost, false);
}

std::future<void> CDesktopNotifier::ConnectSessionBusAhead()
{
    std::promise<void> nothingToDo;
    nothingToDo.set_value();
    return nothingToDo.get_future();
}
