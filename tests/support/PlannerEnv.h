// A planner on a new data folder, the clock on a Monday of its term, boxes and dialogs answered.
#pragma once

#include "FakeClock.h"
#include "MessageRecorder.h"
#include "StoreFixture.h"
#include "WidgetDriver.h"
#include "app/PlannerApp.h"
#include "controls/NotifyWnd.h"

inline const QDate kToday(2026, 12, 7);

struct PlannerEnv
{
    FakeClock clock{QDateTime(kToday, QTime(10, 30))};
    QTemporaryDir dir;
    MessageRecorder messages;
    CPlannerApp app{
        {QStringLiteral("Kestrum"), QStringLiteral("--data-dir"), dir.filePath(QStringLiteral("data"))}};

    ~PlannerEnv() { app.ExitInstance(); }
    CDataStore& store() { return app.Context().Store(); }
    /// What the notice pop-up shows; empty before the first notice.
    QString notice() { return app.NoticeWindow() ? app.NoticeWindow()->GetText() : QString(); }
    /// Runs \a sql on the store's own connection, to break or repair a table behind its back.
    bool exec(const QString& sql) { return TableTest::Exec(store(), sql).isActive(); }
    /// The tasks of \a date as "content|state", in table order.
    QStringList tasksOn(const QDate& date)
    {
        QStringList contents, states, out;
        if (store().CountTasksOnDay(date) != 0 && !store().ListTasksOfDay(date, contents, states))
            return {QStringLiteral("<listing failed>")};
        for (qsizetype i = 0; i < contents.size(); ++i)
            out << contents.at(i) + u'|' + states.at(i);
        return out;
    }
};
