#pragma once

#include "app/PlannerApp.h"

#include <QApplication>
#include <QInputMethodEvent>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>

/// A started application on a fresh data folder, so that dialogs reach a connected store and
/// the notice pop-up exactly as they do in the program. Shut down when it goes.
class DialogFixture
{
public:
    DialogFixture()
    {
        m_pApp =
            std::make_unique<CPlannerApp>(QStringList{QStringLiteral("Kestrum"), QStringLiteral("--data-dir"),
                                                      m_root.filePath(QStringLiteral("data"))});
        m_bStarted = m_pApp->Startup();
    }
    ~DialogFixture() { m_pApp->ExitInstance(); }
    DialogFixture(const DialogFixture&) = delete;
    DialogFixture& operator=(const DialogFixture&) = delete;

    bool started() const { return m_bStarted && m_pApp->m_dataStore.IsConnected(); }
    CPlannerApp& app() { return *m_pApp; }
    CDataStore& store() { return m_pApp->m_dataStore; }
    QString noticeText() const
    {
        return m_pApp->NoticeWindow() ? m_pApp->NoticeWindow()->GetText() : QString();
    }

    /// Runs \a sql on the store's own connection, to break or prepare a table behind its back.
    bool exec(const QString& sql)
    {
        QSqlQuery query(QSqlDatabase::database(m_pApp->m_dataStore.ConnectionName()));
        return query.exec(sql);
    }

    /// Every task of \a date as "content|state", in table order.
    QStringList tasksOn(const QDate& date)
    {
        QStringList contents, states, out;
        if (store().CountTasksOnDay(date) == 0)
            return out;
        if (!store().ListTasksOfDay(date, contents, states))
            return {QStringLiteral("<listing failed>")};
        for (int i = 0; i < contents.size(); ++i)
            out << contents.at(i) + u'|' + states.at(i);
        return out;
    }

private:
    QTemporaryDir m_root;
    std::unique_ptr<CPlannerApp> m_pApp;
    bool m_bStarted = false;
};

/// Types \a text into \a widget the way Chinese is typed: committed by an input method
/// (QTest's key clicks carry Latin-1 only).
inline void TypeText(QWidget* widget, const QString& text)
{
    QInputMethodEvent event;
    event.setCommitString(text);
    QApplication::sendEvent(widget, &event);
}

/// Finds a control of \a dialog by its object name, failing the test when it is missing.
template <typename T> T* Control(QWidget* dialog, const char* name)
{
    T* found = dialog->findChild<T*>(QLatin1String(name));
    if (!found)
        qWarning("no control %s", name);
    return found;
}
