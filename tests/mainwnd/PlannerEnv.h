// What the main window's tests share: a planner on a new data folder, the clock on a Monday of
// the term that folder begins with, every message box answered, and a way to answer dialogs.
#pragma once

#include "FakeClock.h"
#include "MessageRecorder.h"
#include "app/PlannerApp.h"
#include "store/DataStore.h"

#include <QApplication>
#include <QPushButton>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>
#include <functional>

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
    /// Runs \a sql on the store's own connection, to break or repair a table behind its back.
    bool exec(const QString& sql)
    {
        return QSqlQuery(QSqlDatabase::database(store().ConnectionName())).exec(sql);
    }
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

/// The child of \a parent named \a name; warns when there is none.
template <typename T = QPushButton> T* Child(const QObject* parent, const char* name)
{
    T* found = parent->findChild<T*>(QLatin1String(name));
    if (!found)
        qWarning("no child %s", name);
    return found;
}
inline void Click(const QObject* parent, const char* name)
{
    QTest::mouseClick(Child(parent, name), Qt::LeftButton);
}

/// Runs \a act on the next modal dialog once it is open (for dialogs run with exec).
inline void WhenModal(std::function<void(QDialog*)> act)
{
    QTimer::singleShot(0, [act] {
        for (QDeadlineTimer deadline(5000); !deadline.hasExpired();) {
            if (auto* dlg = qobject_cast<QDialog*>(QApplication::activeModalWidget()))
                return act(dlg);
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        }
        qWarning("no modal dialog appeared");
    });
}
