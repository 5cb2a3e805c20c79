#pragma once

#include "Recorders.h"
#include "store/DataStore.h"
#include "store/Schema.h"

#include <QTemporaryDir>
#include <QtTest>

/// A data store connected to a fresh database in a temporary folder, with its table-operation
/// machinery open to the test.
class TestableStore : public CDataStore
{
public:
    using CDataStore::CDataStore;
    using CDataStore::RunOperation;
    CRecordset& Rs() { return *m_pRecordset; }
};

struct StoreFixture
{
    QTemporaryDir dir;
    ErrorRecorder errors;
    TestableStore store{&errors};
    QString path = dir.filePath(QStringLiteral("kstrm.db"));

    bool Open()
    {
        return Schema::CreateDatabaseFile(path, QDate(2026, 9, 1), QDate(2027, 1, 31), nullptr) && store.Connect(path);
    }
};
