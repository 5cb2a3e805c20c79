#pragma once

#include "Recorders.h"
#include "app/PlannerContext.h"
#include "store/DataStore.h"
#include "store/Schema.h"

#include <QTemporaryDir>

/// A fresh database (term 1 September 2026 to 31 January 2027), its store, the settings and the
/// context, notices recorded. `ok`: the database opened.
struct PlannerFixture
{
    /// Without \a bDatabase the store stays unconnected, for windows that never use it.
    explicit PlannerFixture(bool bDatabase = true) : ok(!bDatabase || OpenDatabase())
    {
        context.SetDataFolder(dir.path());
    }

    QTemporaryDir dir;
    ErrorRecorder errors;
    CDataStore store{&errors};
    ConfigFlags flags;
    QStringList notices;
    CPlannerContext context{store, flags, [this](const QString& text, int, int, bool) { notices << text; },
                            dir.path()};
    bool ok;

private:
    bool OpenDatabase()
    {
        const QString path = dir.filePath(QStringLiteral("kstrm.db"));
        return Schema::CreateDatabaseFile(path, QDate(2026, 9, 1), QDate(2027, 1, 31), nullptr) &&
               store.Connect(path);
    }
};
