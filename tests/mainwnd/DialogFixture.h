#pragma once

#include "app/PlannerApp.h"

#include <QApplication>
#include <QInputMethodEvent>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>

/// A started application on a fresh data folder: dialogs reach a store and the notice pop-up.
class DialogFixture
{
public:
    DialogFixture()
        : m_pApp(std::make_unique<CPlannerApp>(QStringList{QStringLiteral("Kestrum"),
                                                           QStringLiteral("--data-dir"),
                                                           m_root.filePath(QStringLiteral("data"))}))
    {}
    ~DialogFixture() { m_pApp->ExitInstance(); }

    bool started() const { return m_bStarted && m_pApp->m_dataStore.IsConnected(); }
    CDataStore& store() { return m_pApp->m_dataStore; }
    QString noticeText() const
    {
        return m_pApp->NoticeWindow() ? m_pApp->NoticeWindow()->GetText() : QString();
    }
    /// Runs \a sql on the store's own connection, to break or repair a table behind its back.
    bool exec(const QString& sql)
    {
        return QSqlQuery(QSqlDatabase::database(store().ConnectionName())).exec(sql);
    }
    /// Every task of \a date as "content|state", in table order.
    QStringList tasksOn(const QDate& date)
    {
        QStringList contents, states, out;
        if (store().CountTasksOnDay(date) != 0 && !store().ListTasksOfDay(date, contents, states))
            return {QStringLiteral("<listing failed>")};
        for (qsizetype i = 0; i < contents.size(); ++i)
            out << contents.at(i) + u'|' + states.at(i);
        return out;
    }

private:
    QTemporaryDir m_root;
    std::unique_ptr<CPlannerApp> m_pApp;
    bool m_bStarted = m_pApp->Startup();
};

/// Commits \a text through an input method, as Chinese is typed (key clicks carry Latin-1 only).
inline void TypeText(QWidget* widget, const QString& text)
{
    QInputMethodEvent event;
    event.setCommitString(text);
    QApplication::sendEvent(widget, &event);
}

template <typename T> T* Control(QWidget* dialog, const char* name)
{
    T* found = dialog->findChild<T*>(QLatin1String(name));
    if (!found)
        qWarning("no control %s", name);
    return found;
}
