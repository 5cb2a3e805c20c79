#pragma once

#include "StoreFixture.h"
#include "app/PlannerContext.h"

/// A fresh database (term 1 September 2026 to 31 January 2027), its store, the settings and the
/// context, notices recorded. `ok`: the database opened.
struct PlannerFixture : StoreFixture
{
    /// Without \a bDatabase the store stays unconnected, for windows that never use it.
    explicit PlannerFixture(bool bDatabase = true) : ok(!bDatabase || Open())
    {
        context.SetDataFolder(dir.path());
    }

    ConfigFlags flags;
    QStringList notices;
    CPlannerContext context{store, flags, [this](const QString& text, int, int, bool) { notices << text; },
                            dir.path()};
    bool ok;
};
