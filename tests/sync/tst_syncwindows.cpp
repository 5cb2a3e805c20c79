#include "MessageRecorder.h"
#include "PlannerFixture.h"
#include "RadicaleServer.h"
#include "StoreFixture.h"
#include "WidgetDriver.h"
#include "app/SettingsFile.h"
#include "sync/SyncSettings.h"
#include "syncui/SyncAccountDlg.h"
#include "syncui/SyncDlg.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTreeWidget>
#include <QtTest>

namespace {
/// The account dialog of \a fx's data folder, filled in for \a url as \a user with \a password;
/// the passwords it hands on on 保存 go to \a kept.
struct AccountDialog
{
    AccountDialog(PlannerFixture& fx, const QUrl& url, const QString& user, const QString& password)
        : dlg(fx.context.DataFile(CSettingsFile::FileName()), password,
              [this](const QString& p) { kept << p; })
    {
        Child<QLineEdit>(dlg, "serverEdit")->setText(url.toString());
        Child<QLineEdit>(dlg, "userEdit")->setText(user);
    }

    /// Clicks \a button and waits until the request it started is over; the window must not wait
    /// for the server meanwhile.
    bool Run(const char* button)
    {
        QSignalSpy finished(&dlg, &CSyncAccountDlg::workFinished);
        Click(dlg, button);
        return finished.count() == 0 && !Child<QWidget>(dlg, "testButton")->isEnabled() &&
               (finished.wait(30000) || finished.count() == 1);
    }
    QString Result() const { return Child<QLabel>(dlg, "resultLabel")->text(); }
    QStringList Names(const char* combo) const
    {
        QStringList names;
        for (auto* c = Child<QComboBox>(dlg, combo); names.size() < c->count();)
            names << c->itemText(int(names.size()));
        return names;
    }

    QStringList kept;
    CSyncAccountDlg dlg;
};
} // namespace

class TestSyncWindows : public QObject
{
    Q_OBJECT
private slots:
    // Each way a new account goes wrong has its own line: a port nobody listens on, a wrong
    // password, and a web server that is no calendar server.
    void accountErrors_data()
    {
        QTest::addColumn<QString>("where");
        QTest::addColumn<QString>("password");
        QTest::addColumn<QString>("expected");
        QTest::newRow("closed port") << "closed"
                                     << "s3cret"
                                     << "连接不上服务器 127.0.0.1，请检查服务器地址和网络";
        QTest::newRow("wrong password") << "radicale"
                                        << "wrong"
                                        << "用户名或密码不对";
        QTest::newRow("not CalDAV") << "web"
                                    << "s3cret"
                                    << "这个地址上没有 CalDAV 日历服务，请检查服务器地址";
    }
    void accountErrors()
    {
        QFETCH(QString, where);
        QFETCH(QString, password);
        QFETCH(QString, expected);
        PlannerFixture fx(false);
        QUrl url;
        CRadicaleServer radicale;
        QProcess web;
        QString error;
        if (where == u"radicale") {
            QVERIFY2(radicale.Ok(), qPrintable(radicale.Error()));
            url = radicale.Url();
        } else {
            const quint16 port = ServerProcess::FreePort();
            url = QUrl(QStringLiteral("http://127.0.0.1:%1/").arg(port));
            if (where == u"web")
                QVERIFY2(ServerProcess::StartPython(web,
                                                    {QStringLiteral("-m"), QStringLiteral("http.server"),
                                                     QStringLiteral("--bind"), QStringLiteral("127.0.0.1"),
                                                     QStringLiteral("--directory"), fx.dir.path(),
                                                     QString::number(port)},
                                                    port, error),
                         qPrintable(error));
        }
        MessageRecorder messages;
        AccountDialog account(fx, url, QStringLiteral("planner"), password);
        QVERIFY(account.Run("testButton"));
        QCOMPARE(account.Result(), expected);
        QCOMPARE(messages.count(), 0);
        ServerProcess::StopProcess(web);
    }

    // On an account with no calendars, "新建" makes ours, each listed only where its kind belongs
    // and made once however often it is asked for; 保存 keeps the choice, and the password goes
    // to the keeper, never to the file.
    void accountCalendars()
    {
        CRadicaleServer radicale;
        QVERIFY2(radicale.Ok(), qPrintable(radicale.Error()));
        PlannerFixture fx(false);
        MessageRecorder messages;
        AccountDialog account(fx, radicale.Url(), radicale.User(), radicale.Password());
        QVERIFY(account.Run("testButton"));
        QCOMPARE(account.Result(), QStringLiteral("连接成功，服务器上有 0 个日历"));
        QVERIFY(account.Run("newTasksButton"));
        QVERIFY(account.Run("newTasksButton"));
        QCOMPARE(account.Names("tasksCombo"), QStringList{QStringLiteral("Kestrum 事情")});
        QCOMPARE(account.Names("remindersCombo"), QStringList());
        QVERIFY(account.Run("newRemindersButton"));
        QCOMPARE(account.Names("tasksCombo"), QStringList{QStringLiteral("Kestrum 事情")});
        QCOMPARE(account.Names("remindersCombo"), QStringList{QStringLiteral("Kestrum 提醒")});

        Click(account.dlg, "saveButton");
        QCOMPARE(account.kept, QStringList{radicale.Password()});
        const QString path = fx.context.DataFile(CSettingsFile::FileName());
        const SyncSettings saved = SyncSettings::Load(path);
        QCOMPARE(saved.server, radicale.Url());
        QCOMPARE(saved.strTasksCalendar,
                 Child<QComboBox>(account.dlg, "tasksCombo")->currentData().toString());
        QCOMPARE(saved.strRemindersCalendar,
                 Child<QComboBox>(account.dlg, "remindersCombo")->currentData().toString());
        QVERIFY(saved.strTasksCalendar != saved.strRemindersCalendar);
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QVERIFY(!file.readAll().contains(radicale.Password().toUtf8()));
        QCOMPARE(messages.count(), 0);
    }

    // A certificate the system does not trust is shown by its fingerprint and refused until the
    // user accepts it; then the connection goes through and that fingerprint is what is saved.
    void certificate()
    {
        CRadicaleServer radicale(true);
        QVERIFY2(radicale.Ok(), qPrintable(radicale.Error()));
        PlannerFixture fx(false);
        MessageRecorder messages;
        messages.setNextAnswer(QMessageBox::No);
        AccountDialog account(fx, radicale.Url(), radicale.User(), radicale.Password());
        QVERIFY(account.Run("testButton"));
        QCOMPARE(account.Result(), QStringLiteral("服务器的证书不受系统信任"));
        QCOMPARE(messages.count(), 1);
        QVERIFY(messages.last().text.remove(u':').remove(u'\n').contains(
            QString::fromLatin1(radicale.Fingerprint()).toUpper()));

        messages.setNextAnswer(QMessageBox::Yes);
        QVERIFY(account.Run("testButton"));
        QCOMPARE(account.Result(), QStringLiteral("连接成功，服务器上有 0 个日历"));
        QCOMPARE(messages.count(), 2);
        Click(account.dlg, "saveButton");
        QCOMPARE(SyncSettings::Load(fx.context.DataFile(CSettingsFile::FileName())).trustedFingerprint,
                 radicale.Fingerprint());
    }

    // A local change that lost to the server's shows in the sync window; "恢复" puts it back
    // here, the planner reads its data again, and the entry leaves the list.
#ifndef SCRATCH
    void restoreConflict()
    {
        CRadicaleServer radicale;
        QVERIFY2(radicale.Ok(), qPrintable(radicale.Error()));
        const DavAccount account{radicale.Url(), radicale.User(), radicale.Password(), {}};
        CCalDavClient client(account);
        DavDiscovery found;
        SyncCalendars calendars;
        QVERIFY(client.Discover(found).Ok());
        QVERIFY(client.MakeCalendar(found.strHome, QStringLiteral("t"), true, calendars.strTasks).Ok());
        QVERIFY(client.MakeCalendar(found.strHome, QStringLiteral("r"), false, calendars.strReminders).Ok());
        PlannerFixture fx;
        QVERIFY(fx.ok);
        const auto sync = [&] { return CSyncEngine(fx.store, client, calendars).Run().bOk; };
        const QDate day(2026, 12, 7);
        QVERIFY(fx.store.AddTask(day, QStringLiteral("备课"), TaskStates::NotDone()));
        QVERIFY(sync());
        // Both sides change the task before the next sync: the server's summary, the state here.
        QList<DavEntry> listed, fetched;
        QVERIFY(client.ListEtags(calendars.strTasks, listed).Ok() && listed.size() == 1);
        QVERIFY(client.Multiget(calendars.strTasks, {listed[0].strHref}, fetched).Ok() &&
                fetched.size() == 1);
        DavEntry& theirs = fetched[0];
        QByteArray etag;
        QVERIFY(client.Put(theirs.strHref, theirs.data.replace("SUMMARY:", "SUMMARY:新"), theirs.etag, etag)
                    .Ok());
        QVERIFY(fx.store.SetTaskState(day, QStringLiteral("备课"), TaskStates::Done()));
        QVERIFY(sync());
        QCOMPARE(TableTest::Tasks(fx.store), QStringList{QStringLiteral("2026-12-07 未完成 新备课")});

        int reloads = 0;
        fx.context.SetDataReloader([&reloads] { ++reloads; });
        CSyncDlg dlg(fx.context);
        auto* list = Child<QTreeWidget>(dlg, "conflictList");
        QCOMPARE(list->topLevelItemCount(), 1);
        QCOMPARE(list->topLevelItem(0)->text(1), QStringLiteral("2026-12-07 备课（已完成）"));
        QCOMPARE(list->topLevelItem(0)->text(2), QStringLiteral("新备课"));
        list->setCurrentItem(list->topLevelItem(0));
        Click(dlg, "restoreButton");
        QCOMPARE(TableTest::Tasks(fx.store), QStringList{QStringLiteral("2026-12-07 已完成 备课")});
        QCOMPARE(reloads, 1);
        QCOMPARE(list->topLevelItemCount(), 0);
    }
#endif
};

QTEST_MAIN(TestSyncWindows)
#include "tst_syncwindows.moc"
