#include "FakeClock.h"
#include "MessageRecorder.h"
#include "Recorders.h"
#include "SoundRecorder.h"
#include "TestFiles.h"
#include "app/Clock.h"
#include "app/CommandLine.h"
#include "app/ConfigFile.h"
#include "app/DataFolder.h"
#include "app/PlannerApp.h"
#include "app/Platform.h"
#include "app/SingleInstance.h"
#include "app/Sound.h"
#include "RadicaleServer.h"
#include "sync/SyncSettings.h"
#include "mainwnd/PlannerDlg.h"
#include "mainwnd/TaskList.h"
#include "reminder/ReminderAlertWnd.h"
#include "store/DataStore.h"

#include <QDirIterator>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTimer>
#include <QWindow>
#include <QtTest>
#include <algorithm>
#include <filesystem>
#include <unistd.h>

namespace {
const QString kConnectPrefix = QStringLiteral("连接数据库失败!\r\n错误信息:");
const QString kNoConfig = QStringLiteral("打开系统配置文件错误，请重新启动程序");
const QString kSecondCopy = QStringLiteral("本软件已经打开，请激活!");

QStringList DataDirArgs(const QString& dir)
{
    return {QStringLiteral("Kestrum"), QStringLiteral("--data-dir"), dir};
}

struct Run
{
    int status = -1;
    QString out;
    QString err;
};

/// The real program as a script starts it: no display, no platform named.
Run RunKestrum(const QStringList& arguments, const QString& runtimeFolder, bool reportFirstPaint = false,
               const QByteArray& input = {},
               const QString& binFolder = QCoreApplication::applicationDirPath())
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        env.remove(QLatin1String(name));
    if (reportFirstPaint)
        env.insert(QStringLiteral("KESTRUM_REPORT_FIRST_PAINT"), QStringLiteral("1"));
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtimeFolder); // private, as Qt wants it
    QProcess program;
    program.setProcessEnvironment(env);
    program.start(binFolder + QStringLiteral("/Kestrum"), arguments);
    program.write(input);
    program.closeWriteChannel();
    if (!program.waitForFinished(60000) || program.exitStatus() != QProcess::NormalExit)
        return {};
    return {program.exitCode(), QString::fromLocal8Bit(program.readAllStandardOutput()),
            QString::fromLocal8Bit(program.readAllStandardError())};
}

/// True when \a err is \a nLines lines, each one of ours.
bool ErrorLines(const QString& err, qsizetype nLines)
{
    const QStringList lines = err.split(u'\n');
    return lines.size() == nLines + 1 && lines.last().isEmpty() &&
           std::all_of(lines.begin(), lines.end() - 1,
                       [](const QString& line) { return line.startsWith(QStringLiteral("Kestrum: ")); });
}

bool GuardIsFree()
{
    CSingleInstance probe(Platform::InstanceGuardFolder());
    return probe.Acquire();
}
} // namespace

class TestStartup : public QObject
{
    Q_OBJECT

private slots:
    // The program's folder is the text before the last separator of its path.
    void appAndDataFolders()
    {
        for (const auto& [path, folder] :
             {std::pair{QStringLiteral("C:\\A\\B\\Kestrum.exe"), QStringLiteral("C:\\A\\B")},
              std::pair{QStringLiteral("/opt/kestrum/bin/Kestrum"), QStringLiteral("/opt/kestrum/bin")},
              std::pair{QStringLiteral("/Kestrum"), QString()},
              std::pair{QStringLiteral("Kestrum.exe"), QString()}})
            QCOMPARE(Platform::FolderOfModulePath(path), folder);

        QTemporaryDir app;
        const auto resolve = [&](const QStringList& args) {
            return DataFolder::Resolve(QStringList{QStringLiteral("x")} + args, app.path());
        };
        // A portable install's "data" beside the program, unless another is named.
        QVERIFY(QDir(app.path()).mkdir(QStringLiteral("data")));
        QCOMPARE(resolve({}), app.filePath(QStringLiteral("data")));
        qputenv("KESTRUM_DATA_DIR", "/tmp/from-env");
        QCOMPARE(resolve({}), QStringLiteral("/tmp/from-env"));
        QCOMPARE(resolve({QStringLiteral("--data-dir=/tmp/arg")}), QStringLiteral("/tmp/arg"));
        // Named but missing: never the default folder.
        QCOMPARE(resolve({QStringLiteral("--data-dir")}), QString());
        QCOMPARE(resolve({QStringLiteral("--data-dir=")}), QString());
        qunsetenv("KESTRUM_DATA_DIR");
    }

    // Our options count wherever they stand; the first unknown one is kept for the refusal, once Qt
    // has taken its own. Each fault of our own is a line.
    void commandLineOptions_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("flags");      // h: help, v: version
        QTest::addColumn<QString>("dataDir");    // null when none is given
        QTest::addColumn<QString>("exchange");   // "export FILE FROM TO" / "import FILE", dates or "-"
        QTest::addColumn<QStringList>("errors"); // a part of each line, in order
        QTest::addColumn<QString>("unknown");
        // Arguments and error parts apart by '|'; no folder given is nullptr.
        const auto row = [](const char* name, const char16_t* arguments, const char16_t* flags,
                            const char16_t* dataDir, const char16_t* exchange, const char16_t* errors,
                            const char16_t* unknown) {
            QTest::newRow(name) << QString::fromUtf16(arguments).split(u'|', Qt::SkipEmptyParts)
                                << QString::fromUtf16(flags)
                                << (dataDir ? QString::fromUtf16(dataDir) : QString())
                                << QString::fromUtf16(exchange)
                                << QString::fromUtf16(errors).split(u'|', Qt::SkipEmptyParts)
                                << QString::fromUtf16(unknown);
        };
        row("-h -v", u"-h|-v", u"hv", nullptr, u"", u"", u"");
        row("version after the folder", u"--data-dir|/tmp/我的 计划|--version", u"v", u"/tmp/我的 计划", u"",
            u"", u"");
        row("folder named like an option", u"--data-dir|--help", u"", u"--help", u"", u"", u"");
        row("first folder counts", u"--data-dir=/a|--data-dir=/b", u"", u"/a", u"", u"", u"");
        row("no folder", u"--data-dir", u"", u"", u"", u"--data-dir", u"");
        row("unknown option", u"--bogus|-x|--help", u"h", nullptr, u"", u"", u"\"--bogus\"");
        row("stray argument", u"notes.txt", u"", nullptr, u"", u"", u"\"notes.txt\"");
        row("export of a range", u"--export-ics|日历 1.ics|--from|2026-02-28|--to=2026-03-01", u"", nullptr,
            u"export 日历 1.ics 2026-02-28 2026-03-01", u"", u"");
        row("export from a day on", u"--from=2026-12-31|--export-ics=-x.ics", u"", nullptr,
            u"export -x.ics 2026-12-31 -", u"", u"");
        row("export without a file or a date", u"--data-dir=/d|--to|2026-01-01|--export-ics=|--from", u"",
            u"/d", u"export  - 2026-01-01", u"--export-ics 后面缺少文件名|--from 后面缺少日期", u"");
        row("both", u"--import-ics|b.ics|--export-ics|a.ics", u"", nullptr, u"import b.ics",
            u"--export-ics 和 --import-ics 不能同时使用", u"");
        row("dates that are none, on an import",
            u"--import-ics|b.ics|--from|2026-02-29|--to|2026-1-5|--to=2026-01-05T00", u"", nullptr,
            u"import b.ics",
            u"--from 的日期 \"2026-02-29\"|--to 的日期 \"2026-1-5\"|--to 的日期 \"2026-01-05T00\"|"
            u"--from 和 --to 只能与 --export-ics 一起使用",
            u"");
        row("range reversed", u"--export-ics|a.ics|--from|2026-03-02|--to|2026-03-01", u"", nullptr,
            u"export a.ics 2026-03-02 2026-03-01", u"--from 的日期晚于 --to 的日期", u"");
        row("sync setting the account", u"--password-stdin|--user=林|--sync|--server|https://h:8443/dav", u"",
            nullptr, u"sync https://h:8443/dav 林 stdin", u"", u"");
        row("sync options alone", u"--server|http://h|--password-stdin", u"", nullptr, u"sync http://h  stdin",
            u"--server 和 --password-stdin 只能与 --sync 一起使用|--server 和 --user 要一起给出", u"");
        row("sync with a file and no address", u"--sync|--import-ics|a.ics|--user|u|--server=ftp://h", u"",
            nullptr, u"import a.icssync ftp://h u", u"不能与 --export-ics 或 --import-ics|\"ftp://h\" 不对", u"");
    }
    void commandLineOptions()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, flags);
        QFETCH(QString, dataDir);
        QFETCH(QString, exchange);
        QFETCH(QStringList, errors);
        QFETCH(QString, unknown);
        const CommandLine::Options options =
            CommandLine::Parse(QStringList{QStringLiteral("Kestrum")} + arguments);
        QCOMPARE(options.bHelp, flags.contains(u'h'));
        QCOMPARE(options.bVersion, flags.contains(u'v'));
        QCOMPARE(options.bDataDirGiven, !dataDir.isNull());
        QCOMPARE(options.strDataDir, dataDir.isNull() ? QString() : dataDir);
        using Exchange = CommandLine::Options::Exchange;
        const auto day = [](const QDate& date) {
            return date.isValid() ? date.toString(Qt::ISODate) : QStringLiteral("-");
        };
        QString got = options.exchange == Exchange::None ? QString()
                            : options.exchange == Exchange::Import
                                ? QStringLiteral("import ") + options.strIcsFile
                                : QStringLiteral("export %1 %2 %3")
                                      .arg(options.strIcsFile, day(options.dtFrom), day(options.dtTo));
        if (options.bSync || options.bPasswordStdin || !options.strServer.isEmpty())
            got += QStringLiteral("sync %1 %2%3")
                       .arg(options.strServer, options.strUser,
                            options.bPasswordStdin ? QStringLiteral(" stdin") : QString());
        QCOMPARE(got, exchange);
        const QStringList lines = options.strError.split(u'\n', Qt::SkipEmptyParts);
        QCOMPARE(lines.size(), errors.size());
        for (qsizetype i = 0; i < lines.size(); ++i)
            QVERIFY2(lines[i].startsWith(QStringLiteral("Kestrum: ")) && lines[i].contains(errors[i]),
                     qPrintable(lines[i]));
        QCOMPARE(options.strUnknown.isEmpty(), unknown.isEmpty());
        QVERIFY2(options.strUnknown.contains(unknown) && !options.strUnknown.contains(u'\n'),
                 qPrintable(options.strUnknown));
    }

    // The real program with no display: --help and --version answer, an unknown option is refused
    // in one line before anything is made, and Qt's own options still reach Qt.
    void realProgramCommandLine_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("out");
        QTest::addColumn<QString>("err");
        // Arguments apart by ' ', parts of the error lines by '|'.
        const auto row = [](const char* name, const char* arguments, int status, const QString& out,
                            const char* err) {
            QTest::newRow(name) << QString::fromLatin1(arguments).split(u' ') << status << out
                                << QString::fromUtf8(err);
        };
        row("--help", "--help", 0, QStringLiteral("--data-dir <文件夹>|--import-ics <文件>|--password-stdin"), "");
        row("--version, a platform named", "-platform xcb --version", 0,
            QStringLiteral("Kestrum ") + CommandLine::Version() + u'\n', "");
        row("unknown option", "-platform offscreen --bogus", 2, QString(), "--bogus");
        row("Qt's options", "-platform offscreen -style Fusion", 0, QStringLiteral("first-paint "), "");
        // The exchange refuses what it cannot use before it makes anything, one line each.
        row("exchange: two faults", "--export-ics= --from 2026-1-1", 2, QString(), "--export-ics|--from");
        row("exchange: Qt's options mean nothing", "--import-ics a.ics -platform offscreen", 2, QString(),
            "\"-platform\"");
        row("exchange: export from no data", "--export-ics out.ics", 1, QString(), "中没有数据");
    }
    void realProgramCommandLine()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, status);
        QFETCH(QString, out);
        QFETCH(QString, err);
        QTemporaryDir root;
        const QString folder = root.filePath(QStringLiteral("data"));
        const Run run =
            RunKestrum(arguments + QStringList{QStringLiteral("--data-dir"), folder}, root.path(), true);
        QVERIFY2(run.status == status, qPrintable(run.err));
        QVERIFY2(out.isEmpty() == run.out.isEmpty(), qPrintable(run.out));
        for (const QString& part : out.split(u'|', Qt::SkipEmptyParts))
            QVERIFY2(run.out.contains(part), qPrintable(run.out));
        if (!err.isEmpty()) {
            const QStringList parts = err.split(u'|');
            QVERIFY2(ErrorLines(run.err, parts.size()), qPrintable(run.err));
            for (const QString& part : parts)
                QVERIFY2(run.err.contains(part), qPrintable(run.err));
        }
        QCOMPARE(QFileInfo::exists(folder), out.startsWith(QStringLiteral("first-paint")));
    }

    // The command-line exchange beside a running planner, which is told through its socket to read
    // its data again; the same file twice, and a damaged file that changes nothing.
    void exchangeOnTheCommandLine()
    {
        MessageRecorder messages;
        QTemporaryDir root;
        const QByteArray runtimeBefore = qgetenv("XDG_RUNTIME_DIR");
        const auto restore = qScopeGuard([&runtimeBefore] {
            runtimeBefore.isNull() ? qunsetenv("XDG_RUNTIME_DIR") : qputenv("XDG_RUNTIME_DIR", runtimeBefore);
        });
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(root.path())); // the planner's and the scripts' guard
        const QDate today = Clock::today();
        const QString from = root.filePath(QStringLiteral("from"));
        QString error;
        QVERIFY2(DataFolder::CreateWithDefaults(from, today, &error), qPrintable(error));
        {
            CDataStore store;
            QVERIFY(store.Connect(from + QStringLiteral("/kstrm.db")));
            QVERIFY(store.AddTask(today, QStringLiteral("范围内, \"引号\"; 分号"), TaskStates::NotDone()));
            QVERIFY(store.AddTask(today.addDays(10), QStringLiteral("范围外"), TaskStates::NotDone()));
            // A reminder another program wrote on a day that does not exist stays out of the file.
            QSqlQuery query(QSqlDatabase::database(store.ConnectionName()));
            QVERIFY(query.exec(
                QStringLiteral("INSERT INTO tx VALUES (2027, 2, 29, 8, 0, 0, 1, 0, 1, '坏', '')")));
        }
        const auto count = [today](const QString& folder) {
            CDataStore store;
            return store.Connect(folder + QStringLiteral("/kstrm.db")) ? store.CountTasksOnDay(today) : -1;
        };
        const auto kestrum = [&root](const QString& folder, const QStringList& arguments) {
            return RunKestrum(QStringList{QStringLiteral("--data-dir"), folder} + arguments, root.path());
        };
        const QString ics = root.filePath(QStringLiteral("今天.ics"));
        const QString day = today.toString(Qt::ISODate);
        Run run = kestrum(from, {QStringLiteral("--export-ics"), ics, QStringLiteral("--from"), day,
                                 QStringLiteral("--to=") + today.addDays(1).toString(Qt::ISODate)});
        QCOMPARE(run.status, 0);
        QCOMPARE(run.err, QStringLiteral(
                              "Kestrum: 未导出 坏：提醒“坏”的时间“2027-02-29 08:00:00”无效（日历文件只能写到 "
                              "3000 年）。\n"));
        const QByteArray written = ReadAll(ics);
        QVERIFY2(written.startsWith("BEGIN:VCALENDAR") && !written.contains("范围外"), written.constData());

        // Into a folder not there yet: made as a first start makes it.
        const QString fresh = root.filePath(QStringLiteral("fresh"));
        run = kestrum(fresh, {QStringLiteral("--import-ics"), ics});
        QVERIFY2(run.status == 0 && run.err.isEmpty() && !run.out.isEmpty(), qPrintable(run.err));
        QCOMPARE(count(fresh), 1);

        // Into the data of a running planner, which shows it at once; twice changes nothing.
        CPlannerApp planner(DataDirArgs(root.filePath(QStringLiteral("data"))));
        QVERIFY(planner.InitInstance());
        // Listening once its event loop runs: a word sent now is heard.
        QTRY_VERIFY(CSingleInstance(Platform::InstanceGuardFolder()).AskRunningInstanceToReload(0));
        CTaskList* list = planner.MainWindow()->findChild<CTaskList*>();
        for (int i = 0; i < 2; ++i) {
            planner.AlertWindow()->OnReloadTimer(); // the reload before, done
            run = kestrum(DataFolder::Path(), {QStringLiteral("--import-ics=") + ics});
            QVERIFY2(run.status == 0 && run.err.isEmpty() && !run.out.isEmpty(), qPrintable(run.err));
            QTRY_COMPARE(list->Tasks().size(), 1);
            QCOMPARE(list->Tasks().first().strContent, QStringLiteral("范围内, \"引号\"; 分号"));
            QCOMPARE(count(DataFolder::Path()), 1);
            QTRY_VERIFY(planner.AlertWindow()->IsReloadPending());
        }
        const QString damaged = root.filePath(QStringLiteral("damaged.ics"));
        QVERIFY(WriteAll(damaged, written.left(written.indexOf("SUMMARY")) + QByteArray(64, '\xff')));
        run = kestrum(DataFolder::Path(), {QStringLiteral("--import-ics"), damaged});
        QVERIFY2(run.status != 0 && run.out.isEmpty() && !run.err.isEmpty() &&
                     ErrorLines(run.err, run.err.count(u'\n')),
                 qPrintable(run.err));
        QCOMPARE(count(DataFolder::Path()), 1);
        QVERIFY(messages.texts().isEmpty());
        QCOMPARE(planner.ExitInstance(), 0);
    }

    // The sync on the command line against a real server, as an administrator's script runs it:
    // the account set with the password on standard input (saved without it) makes the two
    // calendars and sends a task; a second, new folder set up the same way finds those
    // calendars and gets the task; a wrong password fails in one line.
    void syncOnTheCommandLine()
    {
        CRadicaleServer server;
        QVERIFY2(server.Ok(), qPrintable(server.Error()));
        // No session bus: a developer's own keyring stays out of it, and the password comes
        // from standard input only.
        const QByteArray bus = qgetenv("DBUS_SESSION_BUS_ADDRESS");
        const auto restoreBus = qScopeGuard([&bus] {
            bus.isNull() ? qunsetenv("DBUS_SESSION_BUS_ADDRESS") : qputenv("DBUS_SESSION_BUS_ADDRESS", bus);
        });
        qunsetenv("DBUS_SESSION_BUS_ADDRESS");
        QTemporaryDir root;
        const QString first = root.filePath(QStringLiteral("first")), second = root.filePath(QStringLiteral("second"));
        const QDate today = Clock::today();
        QString error;
        QVERIFY2(DataFolder::CreateWithDefaults(first, today, &error), qPrintable(error));
        {
            CDataStore store;
            QVERIFY(store.Connect(first + QStringLiteral("/kstrm.db")));
            QVERIFY(store.AddTask(today, QStringLiteral("带到别的机器"), TaskStates::NotDone()));
        }
        const auto sync = [&](const QString& folder, const QString& password) {
            return RunKestrum({QStringLiteral("--data-dir"), folder, QStringLiteral("--sync"), QStringLiteral("--server"),
                               server.Url().toString(), QStringLiteral("--user"), server.User(),
                               QStringLiteral("--password-stdin")},
                              root.path(), false, password.toUtf8() + '\n');
        };
        Run run = sync(first, server.Password());
        QVERIFY2(run.status == 0 && run.err.isEmpty(), qPrintable(run.err));
        const SyncSettings account = SyncSettings::Load(first + QStringLiteral("/kestrum.ini"));
        QCOMPARE(account.strUser, server.User());
        QVERIFY(!account.strTasksCalendar.isEmpty() && account.strTasksCalendar != account.strRemindersCalendar);
        QStringList names; // as the server keeps them
        for (QDirIterator it(server.Folder(), {QStringLiteral(".Radicale.props")}, QDir::Hidden | QDir::Files,
                             QDirIterator::Subdirectories);
             it.hasNext();)
        {
            const QJsonObject props = QJsonDocument::fromJson(ReadAll(it.next())).object();
            names << props.value(QStringLiteral("D:displayname")).toString() + u' ' +
                         props.value(QStringLiteral("C:supported-calendar-component-set")).toString();
        }
        names.sort();
        QCOMPARE(names, (QStringList{QStringLiteral("Kestrum 事情 VTODO"), QStringLiteral("Kestrum 提醒 VEVENT")}));
        // The password is on no disk of ours.
        for (const QString& folder : {first, QString::fromLocal8Bit(qgetenv("XDG_CONFIG_HOME"))})
            for (QDirIterator it(folder, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories); it.hasNext();)
                QVERIFY2(!ReadAll(it.next()).contains(server.Password().toUtf8()), qPrintable(it.filePath()));

        run = sync(second, server.Password());
        QVERIFY2(run.status == 0 && run.err.isEmpty(), qPrintable(run.err));
        const SyncSettings found = SyncSettings::Load(second + QStringLiteral("/kestrum.ini"));
        QCOMPARE(found.strTasksCalendar, account.strTasksCalendar);
        QCOMPARE(found.strRemindersCalendar, account.strRemindersCalendar);
        {
            CDataStore store;
            QVERIFY(store.Connect(second + QStringLiteral("/kstrm.db")));
            QStringList contents, states;
            QVERIFY(store.ListTasksOfDay(today, contents, states));
            QCOMPARE(contents, QStringList{QStringLiteral("带到别的机器")});
        }

        run = sync(second, QStringLiteral("wrong"));
        QVERIFY2(run.status == 1 && ErrorLines(run.err, 1) && run.out.isEmpty(), qPrintable(run.err));
        QVERIFY(SyncSettings::Load(second + QStringLiteral("/kestrum.ini")).strLastResult.startsWith(QStringLiteral("同步失败：")));
    }

    // The system's player is a module loaded at the first sound, never linked: found beside
    // the program, it plays (here it reports the play, there being no speakers to hear).
    void systemSoundComesFromItsModule()
    {
        static QStringList heard;
        heard.clear();
        QLoggingCategory::setFilterRules(QStringLiteral("kestrum.sound.info=true"));
        const QtMessageHandler previous = qInstallMessageHandler(
            [](QtMsgType, const QMessageLogContext& where, const QString& text) {
                if (qstrcmp(where.category, "kestrum.sound") == 0)
                    heard << text;
            });
        const auto restore = qScopeGuard([previous] {
            qInstallMessageHandler(previous);
            QLoggingCategory::setFilterRules(QString());
        });
        const std::unique_ptr<ISoundPlayer> player = Sound::CreateSystemPlayer();
        player->Play(QStringLiteral("/nowhere/ring.wav"));
        player->Stop();
        QCOMPARE(heard, QStringList{QStringLiteral("play \"/nowhere/ring.wav\"")});
    }

    // The programs away from their modules (a copy missing them): the guard still keeps a second
    // copy out, only raising the first one is lost and logged; a sync fails as a network failure
    // that says why.
    void programsRunWithoutTheirModules()
    {
        QTemporaryDir root;
        const QString bin = root.filePath(QStringLiteral("bin"));
        QVERIFY(QDir().mkdir(bin));
        for (const QString& name : {QStringLiteral("Kestrum"), QStringLiteral("guard_child")}) {
            const QString from = QCoreApplication::applicationDirPath() + u'/' + name, to = bin + u'/' + name;
            std::error_code error; // a link where it can be: the program is big
            std::filesystem::create_hard_link(from.toStdString(), to.toStdString(), error);
            QVERIFY(!error || QFile::copy(from, to));
        }
        QProcess child;
        child.start(bin + QStringLiteral("/guard_child"), {root.path()});
        QVERIFY(child.waitForStarted());
        QVERIFY(child.waitForReadyRead(10000));
        QCOMPARE(child.readAllStandardOutput().trimmed(), QByteArray("held"));
        QVERIFY(!CSingleInstance(root.path()).Acquire());
        QByteArray log;
        QTRY_VERIFY((log += child.readAllStandardError()).contains("no module kestrum_network in"));
        child.kill();
        QVERIFY(child.waitForFinished(10000));

        const Run run = RunKestrum({QStringLiteral("--data-dir"), root.filePath(QStringLiteral("data")),
                                    QStringLiteral("--sync"), QStringLiteral("--server"),
                                    QStringLiteral("http://127.0.0.1:1/"), QStringLiteral("--user"),
                                    QStringLiteral("u"), QStringLiteral("--password-stdin")},
                                   root.path(), false, "secret\n", bin);
        QVERIFY2(run.status == 1 && run.err.contains(QStringLiteral(
                                        "缺少本软件的网络模块 kestrum_network，无法连接服务器 127.0.0.1:1")),
                 qPrintable(run.err));
    }

    void defaultTermContainsToday()
    {
        for (const QDate& today :
             {QDate(2026, 12, 6), QDate(2027, 1, 31), QDate(2027, 2, 1), QDate(2028, 2, 29),
              QDate(2027, 8, 31), QDate(2027, 9, 1), QDate(2026, 12, 31)}) {
            const auto [start, end] = DataFolder::DefaultTerm(today);
            QVERIFY2(start <= today && today <= end && start.daysTo(end) > 120,
                     qPrintable(today.toString(Qt::ISODate)));
        }
    }

    // A folder that is not there, or there and empty, is a first run.
    void firstRunCreatesDefaults_data()
    {
        QTest::addColumn<bool>("existsEmpty");
        QTest::newRow("no folder") << false;
        QTest::newRow("empty folder") << true;
    }
    void firstRunCreatesDefaults()
    {
        QFETCH(bool, existsEmpty);
        FakeClock clock(QDateTime(QDate(2027, 3, 15), QTime(9, 0)));
        MessageRecorder messages;
        QTemporaryDir root;
        const QString folder = root.filePath(QStringLiteral("nested/data"));
        if (existsEmpty)
            QVERIFY(QDir().mkpath(folder));
        {
            SoundRecorder sounds;
            CPlannerApp app(DataDirArgs(folder));
            QVERIFY(app.Startup());
            QVERIFY(app.Context().Store().IsConnected());
            // A notice goes to the pop-up, made hidden, with the folder's sound.
            QVERIFY(app.NoticeWindow() && !app.NoticeWindow()->isVisible());
            app.ShowNotice(QStringLiteral("已成功添加事情\n读书"), 1, 5, true);
            QCOMPARE(sounds.played().size(), 1);
            QCOMPARE(sounds.played().first().path, folder + QStringLiteral("/notify.wav"));
            app.ExitInstance();
        }
        QCOMPARE(messages.count(), 0);
        QVERIFY(ReadAll(folder + QStringLiteral("/notify.wav")).startsWith("RIFF"));
        ConfigFlags flags{1, 1, 1, 1};
        QVERIFY(ConfigFile::Read(folder + QStringLiteral("/config.ini"), flags));
        QCOMPARE(flags, ConfigFlags{});

        CDataStore store;
        QVERIFY(store.Connect(folder + QStringLiteral("/kstrm.db")));
        QDateTime start, end;
        QVERIFY(store.LoadSchoolCalendar(start, end));
        QCOMPARE(start, QDateTime(QDate(2027, 2, 1), QTime(0, 0)));
        QCOMPARE(end, QDateTime(QDate(2027, 8, 31), QTime(0, 0)));
        QCOMPARE(store.CountTasksOnDay(QDate(2027, 3, 15)), 0); // the task table is there, empty
    }

    // The database, then the configuration, then the guard.
    void failuresEndStartupInOrder_data()
    {
        QTest::addColumn<QString>("damage");
        QTest::addColumn<QString>("expectedStart");
        QTest::addColumn<QString>("engineText");
        QTest::newRow("database missing") << QStringLiteral("remove-db") << kConnectPrefix
                                          << QStringLiteral("unable to open database file");
        QTest::newRow("config missing") << QStringLiteral("remove-config") << kNoConfig << QString();
        // Opened all the same, read-only: found at start-up, not at the first save.
        QTest::newRow("database read-only")
            << QStringLiteral("read-only-db") << kConnectPrefix << QStringLiteral("readonly");
    }
    void failuresEndStartupInOrder()
    {
        QFETCH(QString, damage);
        QFETCH(QString, expectedStart);
        QFETCH(QString, engineText);
        MessageRecorder messages;
        QTemporaryDir root;
        const QString folder = root.filePath(QStringLiteral("data"));
        QVERIFY(DataFolder::CreateWithDefaults(folder, QDate(2026, 12, 6), nullptr));
        const QString db = folder + QStringLiteral("/kstrm.db");
        if (damage == QStringLiteral("read-only-db")) {
            if (::geteuid() == 0)
                QSKIP("root writes to read-only files");
            { // used once, as every day, before it turns read-only
                CDataStore store;
                QVERIFY(store.Connect(db));
            }
            QVERIFY(QFile::setPermissions(db, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther));
        } else {
            // Without a config too: a broken database must stop start-up before it is read.
            QVERIFY(QFile::remove(folder + QStringLiteral("/config.ini")));
            if (damage != QStringLiteral("remove-config"))
                QVERIFY(QFile::remove(db));
        }

        CPlannerApp app(DataDirArgs(folder));
        QVERIFY(!app.InitInstance());
        QVERIFY(!app.MainWindow());
        QCOMPARE(messages.count(), 1);
        QVERIFY2(messages.last().text.startsWith(expectedStart), qPrintable(messages.last().text));
        QVERIFY2(messages.last().text.contains(engineText), qPrintable(messages.last().text));
        QCOMPARE(messages.last().caption, QStringLiteral("Kestrum"));
        QVERIFY(!app.HoldsInstanceGuard());
        QVERIFY(GuardIsFree());
        QCOMPARE(app.ExitInstance(), 1); // scripts and autostart can tell a refusal
        QVERIFY(!QFileInfo(db).isFile() || damage != QStringLiteral("remove-db")); // never created silently
    }

    // Only a start that holds the guard clears leftovers: the first copy may be writing them.
    void secondCopyShowsMessageOnceAndRaisesFirst()
    {
        FakeClock clock(QDateTime::currentDateTime().addDays(1)); // leftovers made now count as old
        QTemporaryDir root;
        const QString folder = root.filePath(QStringLiteral("data"));
        MessageRecorder messages;
        CPlannerApp first(DataDirArgs(folder));
        QVERIFY(first.Startup());
        QVERIFY(first.HoldsInstanceGuard());
        QSignalSpy raised(&first, &CPlannerApp::ActivationRequested);
        QCoreApplication::processEvents(); // the first copy answers others once its event loop runs
        const QStringList inProgress{folder + QStringLiteral("/temp.db"),
                                     folder + QStringLiteral("/kcb.dat.kestrum-a1B2c3"),
                                     root.filePath(QStringLiteral("data.new-0badf00d/kstrm.db"))};
        QVERIFY(QDir().mkpath(root.filePath(QStringLiteral("data.new-0badf00d"))));
        for (const QString& file : inProgress)
            QVERIFY(QFile(file).open(QIODevice::WriteOnly));
        {
            CPlannerApp second(DataDirArgs(folder));
            QVERIFY(!second.InitInstance());
            QCOMPARE(messages.texts(), QStringList{kSecondCopy});
            QCOMPARE(messages.last().caption, QStringLiteral("Kestrum"));
            QCOMPARE(second.ExitInstance(), 1);
        }
        for (const QString& file : inProgress)
            QVERIFY2(QFileInfo::exists(file), qPrintable(file));
        QVERIFY(raised.wait(3000));
        QVERIFY(first.HoldsInstanceGuard());
        QVERIFY(first.Context().Store().IsConnected());
        QVERIFY(!GuardIsFree());
        first.ExitInstance();
        QVERIFY(GuardIsFree());
        QCOMPARE(messages.count(), 1);

        // Left by a copy that is gone: the next start clears them.
        CPlannerApp next(DataDirArgs(folder));
        QVERIFY(next.Startup());
        for (const QString& file : inProgress)
            QVERIFY2(!QFileInfo::exists(file), qPrintable(file));
        QVERIFY(!QFileInfo::exists(root.filePath(QStringLiteral("data.new-0badf00d"))));
        next.ExitInstance();
    }

    void guardOfCrashedCopyDoesNotBlock()
    {
        QTemporaryDir dir;
        QProcess child;
        child.start(QCoreApplication::applicationDirPath() + QStringLiteral("/guard_child"), {dir.path()});
        QVERIFY(child.waitForStarted());
        QVERIFY(child.waitForReadyRead(10000));
        QCOMPARE(child.readAll().trimmed(), QByteArray("held"));
        {
            CSingleInstance whileAlive(dir.path());
            QVERIFY(!whileAlive.Acquire());
        }
        child.kill();
        QVERIFY(child.waitForFinished(10000));
        CSingleInstance afterCrash(dir.path());
        QVERIFY(afterCrash.Acquire());
        // And the socket is ours now: a later copy reaches us, not the dead one.
        QSignalSpy spy(&afterCrash, &CSingleInstance::ActivationRequested);
        QTRY_VERIFY(afterCrash.IsListening());
        CSingleInstance later(dir.path());
        QVERIFY(later.SignalRunningInstance());
        QVERIFY(spy.wait(3000));
    }

    void unusableGuardRunsWithAWarning()
    {
        MessageRecorder messages;
        QTemporaryDir root, runtime;
        QVERIFY(QDir(runtime.path()).mkdir(QStringLiteral("Kestrum.lock")));
        // Another copy may be running unseen: what it may be writing stays.
        const QString copy = root.filePath(QStringLiteral("data/temp.db"));
        QVERIFY(DataFolder::CreateWithDefaults(root.filePath(QStringLiteral("data")), QDate(2026, 12, 6),
                                               nullptr));
        QVERIFY(QFile(copy).open(QIODevice::WriteOnly));
        const QByteArray saved = qgetenv("XDG_RUNTIME_DIR");
        qputenv("XDG_RUNTIME_DIR", runtime.path().toLocal8Bit());
        CPlannerApp app(DataDirArgs(root.filePath(QStringLiteral("data"))));
        const bool started = app.Startup();
        qputenv("XDG_RUNTIME_DIR", saved);
        QVERIFY(started);
        QCOMPARE(messages.count(), 1);
        QVERIFY2(messages.last().text.contains(runtime.path()), qPrintable(messages.last().text));
        QCOMPARE(messages.last().icon, Messages::Icon::Warning);
        QVERIFY(!app.HoldsInstanceGuard());
        QVERIFY(QFileInfo::exists(copy));
        QCOMPARE(app.ExitInstance(), 0);
    }

    // Hidden, the program outlives its other windows closing; only exit ends it, with status 0.
    void hiddenMainWindowKeepsTheProgramRunning()
    {
        MessageRecorder messages;
        QTemporaryDir root;
        CPlannerApp app(DataDirArgs(root.filePath(QStringLiteral("data"))));
        QVERIFY(app.InitInstance());
        CPlannerDlg* main = app.MainWindow();
        QVERIFY(main && main->isVisible());
        bool ranHidden = false;
        QTimer::singleShot(0, main, [main] {
            main->hide();
            QWidget other; // say a dialog of the tray, shown and closed while the window is away
            other.show();
            other.close();
        });
        QTimer::singleShot(100, main, [&] {
            ranHidden = !main->isVisible();
            main->Activate();
            QTest::mouseClick(main->findChild<QPushButton*>(QStringLiteral("exitButton")), Qt::LeftButton);
        });
        QTimer::singleShot(10000, [] { QCoreApplication::exit(2); }); // should the exit not end it
        QCOMPARE(QApplication::exec(), 0);
        QVERIFY(ranHidden);
        QCOMPARE(messages.texts(), QStringList{QStringLiteral("你确信要退出系统吗?")});
        QCOMPARE(app.ExitInstance(), 0);
        QVERIFY(GuardIsFree());
    }

    // Enter held down on the start-up box of a damaged holiday table repeats into whatever has the
    // focus next: repeats neither ask the exit question nor answer a box; a fresh Enter asks.
    void heldEnterOnAStartupBoxEndsNothing()
    {
        FakeClock clock(QDateTime(QDate(2026, 12, 7), QTime(9, 0)));
        QTemporaryDir root;
        const QString folder = root.filePath(QStringLiteral("data"));
        QVERIFY(DataFolder::CreateWithDefaults(folder, QDate(2026, 12, 7), nullptr));
        {
            CDataStore store;
            QVERIFY(store.Connect(folder + QStringLiteral("/kstrm.db")));
            QSqlQuery sql(QSqlDatabase::database(store.ConnectionName()));
            for (const char* statement :
                 {"DROP TABLE yljrb", "CREATE TABLE yljrb (date TEXT)", "INSERT INTO yljrb VALUES ('1207')"})
                QVERIFY2(sql.exec(QLatin1String(statement)), statement);
        }
        CPlannerApp app(DataDirArgs(folder));
        // Each press comes from the event loop, as the window system's do, so that it reaches a box
        // an earlier one opened.
        QStringList boxes;
        bool held = false;
        int repeatsIntoBox = 0;
        const auto press = [&] {
            QWidget* focus = QApplication::activeModalWidget();
            if (auto* box = qobject_cast<QMessageBox*>(focus)) {
                if (!boxes.contains(box->text())) {
                    boxes << box->text();
                } else if (++repeatsIntoBox == 10) {
                    box->reject(); // the user lets go, and cancels
                    return;
                }
            }
            if (!focus)
                focus = app.MainWindow();
            if (!focus || !focus->windowHandle())
                return;
            const bool repeat = std::exchange(held, true);
            qt_handleKeyEvent(focus->windowHandle(), QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier,
                              QString(), repeat);
        };
        QTimer key;
        key.setInterval(20);
        connect(&key, &QTimer::timeout,
                [&] { QMetaObject::invokeMethod(&key, press, Qt::QueuedConnection); });
        key.start();
        QVERIFY(app.InitInstance());
        QSignalSpy finished(app.MainWindow(), &QDialog::finished);
        QTest::qWait(200);
        QCOMPARE(boxes, QStringList{QStringLiteral("打开阳历节日表错误")});
        QCOMPARE(finished.count(), 0);
        QVERIFY(app.MainWindow()->isVisible());

        key.stop();
        QCoreApplication::processEvents(); // the repeats on their way
        qt_handleKeyEvent(app.MainWindow()->windowHandle(), QEvent::KeyRelease, Qt::Key_Return,
                          Qt::NoModifier);
        held = false;
        repeatsIntoBox = 0;
        key.start();
        QTRY_VERIFY(repeatsIntoBox >= 10 || !finished.isEmpty());
        key.stop();
        QCOMPARE(boxes.value(1), QStringLiteral("你确信要退出系统吗?"));
        QCOMPARE(finished.count(), 0);
        QVERIFY(app.MainWindow()->isVisible());
        QCOMPARE(app.ExitInstance(), 0);
    }

    void splashRunsOnlyWhenConfiguredAndPresent_data()
    {
        QTest::addColumn<int>("showSplash");
        QTest::addColumn<bool>("present");
        QTest::addColumn<bool>("waited");
        QTest::newRow("off") << 0 << true << false;
        QTest::newRow("on, missing") << 1 << false << false;
        QTest::newRow("on, present") << 1 << true << true;
    }
    void splashRunsOnlyWhenConfiguredAndPresent()
    {
        QFETCH(int, showSplash);
        QFETCH(bool, present);
        QFETCH(bool, waited);
        MessageRecorder messages;
        LaunchRecorder launches;
        QTemporaryDir root;
        const QString folder = root.filePath(QStringLiteral("data"));
        QVERIFY(DataFolder::CreateWithDefaults(folder, QDate(2026, 12, 6), nullptr));
        QVERIFY(ConfigFile::Write(folder + QStringLiteral("/config.ini"), ConfigFlags{0, showSplash, 0, 0}));
        const QString splash = root.filePath(QStringLiteral("QZSplash"));
        if (present)
            QVERIFY(WriteAll(splash, "#!/bin/sh\n") &&
                    QFile::setPermissions(splash, QFile::ReadOwner | QFile::ExeOwner));
        CPlannerApp app(DataDirArgs(folder));
        app.SetSplashProgram(splash);
        QVERIFY(app.Startup());
        QCOMPARE(launches.waited(), waited ? QStringList{splash} : QStringList{}); // and no arguments
        app.ExitInstance();
        QCOMPARE(messages.count(), 0);
    }
};

QTEST_MAIN(TestStartup)
#include "tst_startup.moc"
