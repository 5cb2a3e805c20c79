// The settings dialog, driven as a person would: the check boxes, "保存" with the file, the
// desktop's autostart entry and the main window's layer, "退出", and the compaction button.
#include "DialogRecorder.h"
#include "FullDisk.h"
#include "MessageRecorder.h"
#include "SoundRecorder.h"
#include "TestFiles.h"
#include "WidgetDriver.h"
#include "app/ConfigFile.h"
#include "app/DataFolder.h"
#include "app/ExchangeDlg.h"
#include "app/PlannerApp.h"
#include "app/Platform.h"
#include "app/SettingsDlg.h"
#include "app/SettingsFile.h"
#include "reminder/AlertWay.h"
#include "reminder/ReminderAlertWnd.h"
#include "sync/SyncSettings.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>
#include <optional>

namespace {
const QString kSaved = QStringLiteral("保存系统配置数据成功!");
const QString kCompacted = QStringLiteral("数据库压缩提示:\n数据库压缩清洁完成!");
const char* const kChecks[] = {"autorunCheck", "splashCheck", "minimizedCheck", "topmostCheck"};
constexpr int ConfigFlags::*kFlags[] = {&ConfigFlags::m_bAutorun, &ConfigFlags::m_bShowSplash,
                                        &ConfigFlags::m_bStartMinimized, &ConfigFlags::m_bTopmost};

/// A started application on a fresh data folder (given by \a arguments, else by --data-dir in
/// a folder of its own), and the settings dialog over it.
struct Fixture
{
    explicit Fixture(const QStringList& arguments = {})
        : app(arguments.isEmpty() ? QStringList{QStringLiteral("Kestrum"), QStringLiteral("--data-dir"),
                                                root.filePath(QStringLiteral("data"))}
                                  : arguments)
    {}
    QTemporaryDir root;
    CPlannerApp app;
    bool started = app.Startup();
    QList<bool> topmostCalls;
    std::unique_ptr<CSettingsDlg> dlg;

    ~Fixture()
    {
        dlg.reset();
        app.ExitInstance();
    }
    QString config() const { return DataFolder::File(QStringLiteral("config.ini")); }
    void Open(const ConfigFlags& flags)
    {
        app.Context().Settings() = flags;
        dlg = std::make_unique<CSettingsDlg>(app.Context(), [this](bool on) { topmostCalls << on; });
        dlg->show();
    }
    QCheckBox* check(int i) const { return Child<QCheckBox>(*dlg, kChecks[i]); }
    ConfigFlags Shown() const
    {
        ConfigFlags shown;
        for (int i = 0; i < 4; ++i)
            shown.*kFlags[i] = check(i)->isChecked();
        return shown;
    }
    /// Ticks or clears the boxes by clicking those that differ from \a flags.
    void Tick(const ConfigFlags& flags)
    {
        for (int i = 0; i < 4; ++i) {
            if (check(i)->isChecked() != (flags.*kFlags[i] == 1))
                QTest::mouseClick(check(i), Qt::LeftButton, {}, QPoint(8, check(i)->height() / 2));
        }
    }
    void Click(const char* name) { ::Click(*dlg, name); }
    QString notice() const { return app.NoticeWindow() ? app.NoticeWindow()->GetText() : QString(); }
};

QString AutostartFile()
{
    return qEnvironmentVariable("XDG_CONFIG_HOME") + QStringLiteral("/autostart/kestrum.desktop");
}

/// The command a desktop runs for the autostart entry's Exec line, read as the desktop entry
/// rules say: first the file's string escapes, then the quoting of the arguments, then the
/// field code "%%".
QStringList ExecCommand(const QString& entry)
{
    const QString raw = QRegularExpression(QStringLiteral("\nExec=([^\n]*)\n")).match(entry).captured(1);
    const QString escaped = QStringLiteral("sntr"), meant = QStringLiteral(" \n\t\r");
    QString value;
    for (qsizetype i = 0; i < raw.size(); ++i) {
        const QChar c = raw[i] == u'\\' && i + 1 < raw.size() ? raw[++i] : QChar();
        value += c.isNull() ? raw[i] : escaped.contains(c) ? meant[escaped.indexOf(c)] : c;
    }
    QStringList command;
    QString argument;
    bool quoted = false, started = false;
    for (qsizetype i = 0; i <= value.size(); ++i) {
        const QChar c = i < value.size() ? value[i] : QChar(u' '); // a blank ends the last one
        if (quoted && c == u'\\' && i + 1 < value.size() && QStringLiteral("\"`$\\").contains(value[i + 1])) {
            argument += value[++i];
        } else if (c != u' ' || quoted) {
            if (c == u'"')
                quoted = !quoted;
            else
                argument += c;
            started = true;
        } else {
            if (started)
                command << argument.replace(QStringLiteral("%%"), QStringLiteral("%"));
            argument.clear();
            started = false;
        }
    }
    return command;
}

} // namespace

Q_DECLARE_METATYPE(ConfigFlags)

class TestSettings : public QObject
{
    Q_OBJECT
    QTemporaryDir m_config; // the desktop's config folder of this test alone
    SoundRecorder m_sounds;

private slots:
    void initTestCase()
    {
        QVERIFY(m_config.isValid());
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_config.path()));
    }
    void cleanup() { QFile::remove(AutostartFile()); }

    // The boxes show the flags and the list the way reminders show; a save writes the four flags
    // to config.ini, the way to kestrum.ini, the autostart entry (when asked; none to remove is
    // fine), puts the main window in its layer at once, says so and closes. "退出" changes
    // nothing. A config.ini that cannot be written gets both messages, in order; a kestrum.ini
    // one its own. Either way the dialog stays open with the new flags in memory; the file that
    // failed, the autostart entry and the main window are left alone, and the next save saves.
    void saveWritesEverything_data()
    {
        QTest::addColumn<ConfigFlags>("before");
        QTest::addColumn<ConfigFlags>("after");
        QTest::addColumn<QString>("how"); // "save", "退出", or why the save fails
        const QString save = QStringLiteral("save"), exit = QStringLiteral("退出");
        QTest::newRow("all on") << ConfigFlags{0, 0, 0, 0} << ConfigFlags{1, 1, 1, 1} << save;
        QTest::newRow("all off") << ConfigFlags{1, 1, 1, 1} << ConfigFlags{0, 0, 0, 0} << save;
        QTest::newRow("mixed") << ConfigFlags{0, 1, 0, 1} << ConfigFlags{1, 0, 1, 0} << save;
        QTest::newRow("unchanged, topmost off") << ConfigFlags{0, 1, 1, 0} << ConfigFlags{0, 1, 1, 0} << save;
        QTest::newRow("退出") << ConfigFlags{1, 0, 1, 0} << ConfigFlags{0, 1, 0, 1} << exit;
        QTest::newRow("退出, autorun off") << ConfigFlags{0, 0, 1, 0} << ConfigFlags{1, 1, 0, 1} << exit;
        QTest::newRow("folder in the way")
            << ConfigFlags{1, 0, 0, 1} << ConfigFlags{0, 1, 0, 0} << QStringLiteral("folder in the way");
        QTest::newRow("disk full") << ConfigFlags{1, 0, 0, 1} << ConfigFlags{0, 1, 0, 0}
                                   << QStringLiteral("disk full");
        QTest::newRow("kestrum.ini: folder in the way") << ConfigFlags{1, 0, 0, 1} << ConfigFlags{0, 1, 0, 0}
                                                        << QStringLiteral("kestrum.ini: folder in the way");
        QTest::newRow("kestrum.ini: disk full")
            << ConfigFlags{0, 0, 1, 0} << ConfigFlags{0, 1, 1, 0} << QStringLiteral("kestrum.ini: disk full");
    }
    void saveWritesEverything()
    {
        QFETCH(ConfigFlags, before);
        QFETCH(ConfigFlags, after);
        QFETCH(QString, how);
        const bool save = how == QStringLiteral("save"), exit = how == QStringLiteral("退出");
        const bool ini = how.startsWith(QStringLiteral("kestrum.ini")),
                   full = how.endsWith(QStringLiteral("disk full"));
        MessageRecorder messages;
        Fixture f;
        QVERIFY(f.started);
        QVERIFY(ConfigFile::Write(f.config(), before));
        if (before.m_bAutorun == 1) // else none: clearing the box then has none to remove
            QVERIFY(Platform::SetAutorun(true, QStringLiteral("/old/Kestrum")));
        const QByteArray entryBefore = ReadAll(AutostartFile());
        const QString ways = DataFolder::File(CSettingsFile::FileName());
        QVERIFY(AlertWaySetting::Write(ways, AlertWay::Both));
        f.Open(before);
        QCOMPARE(f.Shown(), before);
        auto* combo = Child<QComboBox>(*f.dlg, "alertWayCombo");
        QCOMPARE(combo->currentText(), QStringLiteral("两者"));
        combo->setCurrentIndex(combo->findText(QStringLiteral("桌面通知")));
        const QString failing = ini ? ways : f.config();
        // Room for config.ini alone where kestrum.ini is to find the disk full.
        std::optional<InjectedFullDisk> disk;
        if (full)
            disk.emplace(ini ? ConfigFile::Format(after).size() : 0);
        else if (!save && !exit)
            QVERIFY(QFile::remove(failing) && QDir().mkdir(failing));

        f.Tick(after);
        f.Click(exit ? "exitButton" : "saveButton");

        const ConfigFlags kept = save ? after : before;
        if (save || exit) {
            QCOMPARE(messages.texts(), QStringList());
            QCOMPARE(f.dlg->result(), int(save ? QDialog::Accepted : QDialog::Rejected));
            QCOMPARE(ReadAll(f.config()), ConfigFile::Format(kept));
            QCOMPARE(AlertWaySetting::Read(ways), save ? AlertWay::Desktop : AlertWay::Both);
        } else if (ini) {
            QCOMPARE(messages.count(), 1);
            QVERIFY2(
                messages.last().text.startsWith(
                    QStringLiteral("无法保存提醒方式到 kestrum.ini，提醒仍按原来的方式显示，请重新保存\r\n") +
                    (full ? QStringLiteral("磁盘空间已满") : QString())),
                qPrintable(messages.last().text));
            QCOMPARE(messages.last().caption, QStringLiteral("错误"));
            QCOMPARE(messages.last().icon, Messages::Icon::Critical);
            QCOMPARE(ReadAll(f.config()), ConfigFile::Format(after));
            QCOMPARE(AlertWaySetting::Read(ways), full ? AlertWay::Both : AlertWay::Window);
        } else {
            const QString failure = QStringLiteral("打开配置文件失败，不能更新设置，请重试") +
                                    (full ? QStringLiteral("\r\n磁盘空间已满") : QString());
            QCOMPARE(messages.texts(),
                     (QStringList{failure, QStringLiteral("保持配置数据失败，请重新保存")}));
            if (full)
                QCOMPARE(ReadAll(f.config()), ConfigFile::Format(before));
            QCOMPARE(messages.requests().first().caption, QStringLiteral("Kestrum"));
            QCOMPARE(messages.last().caption, QStringLiteral("警告"));
            QCOMPARE(messages.last().icon, Messages::Icon::Warning);
            QCOMPARE(messages.last().parent, static_cast<QWidget*>(f.dlg.get()));
        }
        QCOMPARE(f.dlg->isVisible(), !save && !exit);
        QCOMPARE(f.app.Context().Settings(), exit ? before : after);
        QCOMPARE(f.topmostCalls, save ? QList<bool>{after.m_bTopmost == 1} : QList<bool>{});
        QCOMPARE(f.notice(), save ? kSaved : QString());
        if (!save) {
            QCOMPARE(ReadAll(AutostartFile()), entryBefore);
        } else {
            const QString entry = QString::fromUtf8(ReadAll(AutostartFile()));
            QCOMPARE(QFileInfo::exists(AutostartFile()), after.m_bAutorun == 1);
            QVERIFY2(!after.m_bAutorun || entry.startsWith(QStringLiteral("[Desktop Entry]\n")),
                     qPrintable(entry));
            QVERIFY(!after.m_bAutorun || entry.contains(QStringLiteral("\nType=Application\n")));
        }
        if (save || exit)
            return;
        disk.reset();
        QVERIFY(full || QDir().rmdir(failing));
        f.Click("saveButton");
        QVERIFY(!f.dlg->isVisible());
        QCOMPARE(ReadAll(f.config()), ConfigFile::Format(after));
        QCOMPARE(AlertWaySetting::Read(ways), AlertWay::Desktop);
    }

    // At login the planner starts on the data folder the entry was saved from, however it was
    // chosen (by the environment too, which login may not have); the default one needs no
    // option. The folder's name holds what the entry's two kinds of escaping must carry.
    void autostartOpensTheDataFolderInUse_data()
    {
        QTest::addColumn<QString>("chosenBy");
        QTest::addColumn<QString>("name");
        const QString odd = QStringLiteral("我的 计划 \"引号\" $HOME `id` a\\b 100%");
        QTest::newRow("option") << QStringLiteral("option") << odd;
        QTest::newRow("environment") << QStringLiteral("environment") << odd;
        QTest::newRow("default folder") << QStringLiteral("default") << QStringLiteral("Kestrum");
    }
    void autostartOpensTheDataFolderInUse()
    {
        QFETCH(QString, chosenBy);
        QFETCH(QString, name);
        MessageRecorder messages;
        QTemporaryDir place;
        const QString folder = place.filePath(name);
        const auto restore = qScopeGuard([dataHome = qgetenv("XDG_DATA_HOME")] {
            qunsetenv("KESTRUM_DATA_DIR");
            qputenv("XDG_DATA_HOME", dataHome);
        });
        QStringList arguments{QStringLiteral("Kestrum")};
        if (chosenBy == QStringLiteral("option"))
            arguments << QStringLiteral("--data-dir") << folder;
        else if (chosenBy == QStringLiteral("environment"))
            qputenv("KESTRUM_DATA_DIR", QFile::encodeName(folder));
        else
            qputenv("XDG_DATA_HOME", QFile::encodeName(place.path()));
        Fixture f(arguments);
        QVERIFY(f.started);
        QCOMPARE(DataFolder::Path(), folder);
        f.Open(ConfigFlags{0, 0, 0, 0});

        f.Tick(ConfigFlags{1, 0, 0, 0});
        f.Click("saveButton");

        QStringList expected{Platform::MainProgram(f.app.GetAppFolder())};
        if (chosenBy != QStringLiteral("default"))
            expected << QStringLiteral("--data-dir") << folder;
        QCOMPARE(ExecCommand(QString::fromUtf8(ReadAll(AutostartFile()))), expected);
        QCOMPARE(messages.count(), 0);
    }

    // The button compacts the store's database and says so; a failure shows the engine's words
    // under no caption, and no notice.
    void compactButton_data()
    {
        QTest::addColumn<bool>("blocked");
        QTest::newRow("compacts") << false;
        QTest::newRow("temp.db is a folder") << true;
    }
    void compactButton()
    {
        QFETCH(bool, blocked);
        MessageRecorder messages;
        Fixture f;
        QVERIFY(f.started);
        if (blocked)
            QVERIFY(QDir().mkdir(DataFolder::File(QStringLiteral("temp.db"))));
        f.Open(ConfigFlags{0, 0, 0, 0});

        f.Click("compactButton");

        QVERIFY(f.app.Context().Store().IsConnected());
        QVERIFY(f.dlg->isVisible());
        if (blocked) {
            QCOMPARE(messages.count(), 1);
            QVERIFY(!messages.last().text.isEmpty());
            QCOMPARE(messages.last().caption, QString());
            QCOMPARE(f.notice(), QString());
        } else {
            QCOMPARE(messages.texts(), QStringList());
            QCOMPARE(f.notice(), kCompacted);
            QVERIFY(!QFileInfo::exists(DataFolder::File(QStringLiteral("temp.db"))));
        }
    }

    // The sync account in kestrum.ini: every field comes back as saved, a result of several lines
    // stays on its one line, and the lines of other features (and keys of [sync] we do not know)
    // stay as they were; an unreadable interval reads as the default.
    void syncSettingsKeepOtherLines()
    {
        QTemporaryDir dir;
        const QString ini = dir.filePath(CSettingsFile::FileName());
        const QByteArray others = "; 手写的注释\r\n[reminders]\nalert=both\n\n[sync]\nfuture=kept\nintervalMinutes=x\n";
        QVERIFY(WriteAll(ini, others));
        QCOMPARE(SyncSettings::Load(ini).nIntervalMinutes, 15);
        SyncSettings saved;
        saved.server = QUrl(QStringLiteral("https://cal.example.org:8443/dav/"));
        saved.strUser = QStringLiteral("林 小");
        saved.strTasksCalendar = QStringLiteral("/dav/lin/事情/");
        saved.strRemindersCalendar = QStringLiteral("/dav/lin/tx/");
        saved.nIntervalMinutes = 0;
        saved.trustedFingerprint = "ab01";
        saved.lastSync = QDateTime(QDate(2026, 12, 8), QTime(14, 5, 9));
        saved.strLastResult = QStringLiteral("同步失败：第一行\r\n第二行");
        QString error;
        QVERIFY2(saved.Save(ini, error), qPrintable(error));
        const SyncSettings loaded = SyncSettings::Load(ini);
        QCOMPARE(loaded.server, saved.server);
        QCOMPARE(loaded.strUser, saved.strUser);
        QCOMPARE(loaded.strTasksCalendar, saved.strTasksCalendar);
        QCOMPARE(loaded.strRemindersCalendar, saved.strRemindersCalendar);
        QCOMPARE(loaded.nIntervalMinutes, 0);
        QCOMPARE(loaded.trustedFingerprint, saved.trustedFingerprint);
        QCOMPARE(loaded.lastSync, saved.lastSync);
        QCOMPARE(loaded.strLastResult, QStringLiteral("同步失败：第一行 第二行"));
        const QByteArray bytes = ReadAll(ini);
        QVERIFY2(bytes.startsWith("; 手写的注释\r\n[reminders]\nalert=both\n\n[sync]\nfuture=kept\nintervalMinutes=0\n"),
                 bytes.constData());
        QCOMPARE(bytes.count('\n'), others.count('\n') + 7);
    }

    // "日历导入导出…" opens the exchange dialog. There the days go to the export only with their
    // box ticked, a reversed range is refused before any file is asked for (and the next try,
    // mended, goes through), a cancelled file dialog does nothing, a failing exchange shows its
    // own words, and a finished import shows its summary with the planner's data read again.
    void exchangeDialog()
    {
        Fixture fx;
        QVERIFY(fx.started);
        MessageRecorder messages;
        DialogRecorder files;
        fx.Open(ConfigFlags{});
        QString opened;
        WhenModal([&opened](QDialog* dlg) {
            opened = dlg->objectName();
            ::Click(*dlg, "closeButton");
        });
        fx.Click("exchangeButton");
        QCOMPARE(opened, QStringLiteral("ExchangeDlg"));

        QStringList calls;
        CalendarExchange::ExportResult exported{true, QString(), {3, 2, 1}, {}};
        CalendarExchange::ImportResult imported;
        ExchangeFunctions functions;
        functions.exportFile = [&](CDataStore&, const QString& path,
                                   const CalendarExchange::ExportOptions& options) {
            const auto day = [](const QDate& d) {
                return d.isValid() ? d.toString(Qt::ISODate) : QStringLiteral("-");
            };
            calls << QStringLiteral("export %1 %2 %3").arg(path, day(options.dtFrom), day(options.dtTo));
            return exported;
        };
        functions.importFile = [&](CDataStore&, const QString& path) {
            calls << QStringLiteral("import ") + path;
            return imported;
        };
        CExchangeDlg dlg(fx.app.Context(), nullptr, functions);
        dlg.show();
        CReminderAlertWnd* alert = fx.app.AlertWindow();
        alert->OnReloadTimer(); // the reload of its creation, done; an import schedules one
        const QString path = fx.root.filePath(QStringLiteral("日历.ics"));
        // What each click did, with the file dialog answering \a fileNames in turn (empty:
        // cancelled): the calls made, then each box as "caption: text".
        const auto clickAndSee = [&](const char* button, const QStringList& fileNames) {
            calls.clear();
            messages.clear();
            for (const QString& name : fileNames)
                files.queueFileName(name);
            ::Click(dlg, button);
            QStringList seen = calls;
            for (const Messages::Request& box : messages.requests())
                seen << box.caption + QStringLiteral(": ") + box.text;
            return seen;
        };
        const QString written =
            QStringLiteral("导出完成: 已导出到 %1\n事情 3 件，提醒 2 个，节日 1 个").arg(path);

        QCOMPARE(clickAndSee("exportButton", {QString()}), QStringList());
        QCOMPARE(clickAndSee("exportButton", {path}),
                 (QStringList{QStringLiteral("export %1 - -").arg(path), written}));
        QTest::mouseClick(Child<QCheckBox>(dlg, "rangeCheck"), Qt::LeftButton, {}, QPoint(8, 8));
        Child<QDateEdit>(dlg, "fromEdit")->setDate(QDate(2026, 3, 2));
        Child<QDateEdit>(dlg, "toEdit")->setDate(QDate(2026, 3, 1));
        QCOMPARE(clickAndSee("exportButton", {path}),
                 QStringList{QStringLiteral("日历导入导出: 开始日期不能晚于结束日期")});
        Child<QDateEdit>(dlg, "fromEdit")->setDate(QDate(2026, 3, 1));
        // The name queued for the refused try is still unread: the refusal asked for none.
        QCOMPARE(clickAndSee("exportButton", {}),
                 (QStringList{QStringLiteral("export %1 2026-03-01 2026-03-01").arg(path), written}));
        // Rows the file cannot hold are listed after the counts, the first 10 of them, long texts
        // shortened.
        for (int n = 0; n < 11; ++n)
            exported.leftOut << ExchangeLeftOut{QString::number(n), {}, QStringLiteral("日期无效"), 0};
        exported.leftOut[1].strReason = QStringLiteral("长").repeated(10000);
        QStringList seen = clickAndSee("exportButton", {path});
        QCOMPARE(seen.size(), 2);
        QVERIFY2(seen[1].startsWith(written + QStringLiteral("\n未导出 11 项：\n0：日期无效\n1：") +
                                    QStringLiteral("长").repeated(59) + QStringLiteral("…\n2：日期无效\n")),
                 qPrintable(seen[1]));
        QVERIFY2(seen[1].endsWith(QStringLiteral("\n9：日期无效\n另有 1 项没有列出。")), qPrintable(seen[1]));
        exported = {false, QStringLiteral("不能写入文件 %1").arg(path), {}, {}};
        QCOMPARE(clickAndSee("exportButton", {path}),
                 (QStringList{QStringLiteral("export %1 2026-03-01 2026-03-01").arg(path),
                              QStringLiteral("导出失败: 不能写入文件 %1").arg(path)}));
        QCOMPARE(messages.last().icon, Messages::Icon::Warning);

        QCOMPARE(clickAndSee("importButton", {QString()}), QStringList());
        imported.strError = QStringLiteral("第 7 行: 文件不完整");
        QCOMPARE(
            clickAndSee("importButton", {path}),
            (QStringList{QStringLiteral("import ") + path, QStringLiteral("导入失败: 第 7 行: 文件不完整")}));
        QVERIFY(!alert->IsReloadPending());
        imported = {};
        imported.bOk = true;
        imported.added = {2, 1, 0};
        for (int n = 0; n < 15; ++n)
            imported.leftOut << ExchangeLeftOut{
                QString::number(n), {}, QStringLiteral("重复规则不能保存"), n + 3};
        QCOMPARE(clickAndSee("importButton", {path}),
                 (QStringList{QStringLiteral("import ") + path,
                              QStringLiteral("导入完成: ") + imported.SummaryText(10)}));
        QVERIFY(messages.last().text.endsWith(
            QStringLiteral("9（第 12 行）：重复规则不能保存\r\n另有 5 项没有列出。")));
        QCOMPARE(messages.last().icon, Messages::Icon::Information);
        QVERIFY(alert->IsReloadPending());
    }
};

QTEST_MAIN(TestSettings)
#include "tst_settings.moc"
