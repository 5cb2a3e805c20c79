// Reminders shown by the desktop's notification service, on a private session bus that ctest
// starts for this test alone from a configuration without service folders (so nothing is ever
// started by activation), with a notification service of the test's own on it. And the choice
// of the way, in the settings dialog and in kestrum.ini.
#include "FakeClock.h"
#include "FullDisk.h"
#include "MessageRecorder.h"
#include "PlannerFixture.h"
#include "SoundRecorder.h"
#include "TestFiles.h"
#include "WidgetDriver.h"
#include "app/SettingsDlg.h"
#include "app/SettingsFile.h"
#include "reminder/AlertWay.h"
#include "reminder/DesktopNotifier.h"
#include "reminder/ReminderAlertWnd.h"

#include <QComboBox>
#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusContext>
#include <QDBusMessage>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>
#include <optional>

namespace {
const QDateTime kNow(QDate(2026, 12, 7), QTime(8, 0, 0));
constexpr int kRingSoundMs = 20;
const QString kPath = QStringLiteral("/org/freedesktop/Notifications");
const QString kName = QStringLiteral("org.freedesktop.Notifications");

/// The desktop's notification service as the test plays it. It has a connection of its own: a
/// call to a service of the caller's own connection would never go through the bus.
class NotificationService : public QObject, protected QDBusContext
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")
public:
    enum class Mode
    {
        Answer,
        Refuse,
        Silent
    };
    explicit NotificationService(Mode m) : mode(m)
    {
        registered = m_bus.registerObject(kPath, this, QDBusConnection::ExportAllSlots) &&
                     m_bus.registerService(kName);
    }
    ~NotificationService() override
    {
        m_bus.unregisterService(kName);
        m_bus.unregisterObject(kPath);
    }
    /// Answers the calls held so far, late, with the numbers 101, 102 ...
    void AnswerHeld()
    {
        for (qsizetype i = 0; i < held.size(); ++i)
            m_bus.send(held.at(i).createReply(QVariant::fromValue(uint(101 + i))));
        held.clear();
    }

    Mode mode;
    bool registered = false;
    QList<QDBusMessage> calls;
    QList<QDBusMessage> held;
    QList<uint> closed;

public slots:
    uint Notify(const QString&, uint, const QString&, const QString&, const QString&, const QStringList&,
                const QVariantMap&, int)
    {
        calls << message();
        if (mode == Mode::Refuse)
            sendErrorReply(QStringLiteral("org.freedesktop.Notifications.Error.Refused"),
                           QStringLiteral("no"));
        if (mode == Mode::Silent) {
            setDelayedReply(true);
            held << message();
        }
        return uint(calls.size());
    }
    void CloseNotification(uint id) { closed << id; }

private:
    QDBusConnection m_bus =
        QDBusConnection::connectToBus(QDBusConnection::SessionBus, QStringLiteral("service"));
};

/// Where the desktop is: no bus, a bus without the service, or the service in one of its modes.
enum class Desk
{
    NoBus,
    NoService,
    Answers,
    Refuses
};

/// A data folder with a database, a short ring sound and the way to alert in kestrum.ini; the
/// clock at a reminder's moment, the sounds and message boxes recorded.
struct Fixture : PlannerFixture
{
    FakeClock clock{kNow};
    MessageRecorder messages;
    SoundRecorder sounds;
    explicit Fixture(AlertWay way)
    {
        ok = ok && WriteAll(dir.filePath(QStringLiteral("ringin.wav")), WaveBytes(kRingSoundMs)) &&
             AlertWaySetting::Write(settings(), way);
    }
    QString settings() const { return dir.filePath(CSettingsFile::FileName()); }
    /// Waits till the ring has played its five times, then a while longer for a sixth.
    int rings() const
    {
        if (QTest::qWaitFor([this] { return sounds.played().size() >= CReminderAlertWnd::kRings; }, 2000))
            QTest::qWait(4 * kRingSoundMs);
        return int(sounds.played().size());
    }
};
} // namespace

Q_DECLARE_METATYPE(AlertWay)
Q_DECLARE_METATYPE(Desk)

class TestNotifications : public QObject
{
    Q_OBJECT
    QTemporaryDir m_xdg; // the desktop's data folders, where icon themes are looked up

private slots:
    void initTestCase()
    {
        // Never the user's bus: one that could start a real daemon would pass where it should fail.
        QDBusConnection bus = QDBusConnection::sessionBus();
        QVERIFY2(bus.isConnected(), "no session bus: run the test through ctest, which starts a private one");
        QCOMPARE(bus.interface()->activatableServiceNames().value(),
                 QStringList{QStringLiteral("org.freedesktop.DBus")});
        qputenv("XDG_DATA_HOME", QFile::encodeName(m_xdg.filePath(QStringLiteral("home"))));
        qputenv("XDG_DATA_DIRS", QFile::encodeName(m_xdg.filePath(QStringLiteral("dirs"))));
    }

    // A due reminder (or the countdown's end) goes the chosen way: the window, the desktop, or
    // both; where the desktop cannot show it, in the window all the same. It rings once either way.
    void alertGoesTheChosenWay_data()
    {
        QTest::addColumn<AlertWay>("way");
        QTest::addColumn<Desk>("desk");
        QTest::addColumn<bool>("countdown");
        QTest::addColumn<bool>("window");
        QTest::addColumn<int>("posts");
        QTest::newRow("window") << AlertWay::Window << Desk::Answers << false << true << 0;
        QTest::newRow("desktop") << AlertWay::Desktop << Desk::Answers << false << false << 1;
        QTest::newRow("both") << AlertWay::Both << Desk::Answers << false << true << 1;
        QTest::newRow("countdown, desktop") << AlertWay::Desktop << Desk::Answers << true << false << 1;
        QTest::newRow("desktop, no service") << AlertWay::Desktop << Desk::NoService << false << true << 0;
        QTest::newRow("desktop, refused") << AlertWay::Desktop << Desk::Refuses << false << true << 1;
        QTest::newRow("desktop, no bus") << AlertWay::Desktop << Desk::NoBus << false << true << 0;
        QTest::newRow("both, no service") << AlertWay::Both << Desk::NoService << false << true << 0;
    }
    void alertGoesTheChosenWay()
    {
        QFETCH(AlertWay, way);
        QFETCH(Desk, desk);
        QFETCH(bool, countdown);
        QFETCH(bool, window);
        QFETCH(int, posts);
        Fixture f(way);
        QVERIFY(f.ok);
        std::unique_ptr<NotificationService> service;
        if (desk == Desk::Answers || desk == Desk::Refuses) {
            service = std::make_unique<NotificationService>(desk == Desk::Answers
                                                                ? NotificationService::Mode::Answer
                                                                : NotificationService::Mode::Refuse);
            QVERIFY(service->registered);
        }
        QVERIFY(f.store.AddReminder(kNow, 1, 1, QStringLiteral("上课"), QStringLiteral("三班语文\n带课本")));
        CReminderAlertWnd wnd(f.context);
        if (desk == Desk::NoBus)
            wnd.Notifier().UseBus(QStringLiteral("unix:path=") + f.dir.filePath(QStringLiteral("no-bus")));
        wnd.Notifier().SetGiveUpMs(24 * 3600 * 1000); // an answer, not the time limit, decides here

        if (countdown) {
            wnd.ShowCountdownAlert();
        } else {
            wnd.OnReloadTimer();
            wnd.OnPollTimer();
        }

        QTRY_COMPARE(wnd.Notifier().WaitingCount(), 0);
        QCOMPARE(wnd.isVisible(), window);
        QCOMPARE(service ? int(service->calls.size()) : 0, posts);
        QCOMPARE(f.rings(), CReminderAlertWnd::kRings);
        QCOMPARE(f.messages.count(), 0);
        if (!posts)
            return;
        const QDBusMessage& call = service->calls.first();
        QCOMPARE(call.signature(), QStringLiteral("susssasa{sv}i"));
        const QVariantList args = call.arguments();
        QCOMPARE(args.at(0).toString(), QStringLiteral("Kestrum"));
        QCOMPARE(args.at(1).toUInt(), 0u);
        QCOMPARE(args.at(2).toString(), CDesktopNotifier::IconName());
        QCOMPARE(args.at(3).toString(), countdown ? QStringLiteral("倒计时提醒") : QStringLiteral("上课"));
        QCOMPARE(args.at(4).toString(),
                 countdown ? QStringLiteral("倒计时时间到") : QStringLiteral("三班语文\n带课本"));
        QCOMPARE(args.at(5).toStringList(), (QStringList{QStringLiteral("close"), QStringLiteral("关闭")}));
        const QVariantMap hints = qdbus_cast<QVariantMap>(args.at(6));
        QCOMPARE(hints.keys(), QStringList{QStringLiteral("urgency")});
        QCOMPARE(hints.value(QStringLiteral("urgency")).metaType(), QMetaType::fromType<uchar>());
        QCOMPARE(hints.value(QStringLiteral("urgency")).toInt(), 1);
        QCOMPARE(args.at(7).toInt(), -1);
    }

    // A service that never answers: the window shows (and rings) when the post is given up. The
    // late answer changes nothing but closing the notification it brought. The time limit gives
    // up by itself too.
    void unansweredPostIsGivenUp()
    {
        Fixture f(AlertWay::Desktop);
        QVERIFY(f.ok);
        NotificationService service(NotificationService::Mode::Silent);
        QVERIFY(service.registered);
        CReminderAlertWnd wnd(f.context);
        CDesktopNotifier& notifier = wnd.Notifier();
        notifier.SetGiveUpMs(24 * 3600 * 1000);
        wnd.ShowCountdownAlert();
        QTRY_COMPARE(service.calls.size(), 1);
        QVERIFY(!wnd.isVisible());
        QVERIFY(f.sounds.played().isEmpty());

        notifier.GiveUpWaiting();
        QVERIFY(wnd.isVisible());
        QCOMPARE(wnd.Title(), QStringLiteral("倒计时提醒"));
        QCOMPARE(f.rings(), CReminderAlertWnd::kRings);

        QList<bool> ends;
        notifier.Post(QStringLiteral("a"), QString(), [&ends](bool bPosted) { ends << bPosted; });
        QTRY_COMPARE(service.calls.size(), 2);
        notifier.GiveUpWaiting();
        service.AnswerHeld();
        // An answered post sent after them comes back after the late answers.
        service.mode = NotificationService::Mode::Answer;
        bool probed = false;
        notifier.Post(QStringLiteral("b"), QString(), [&probed](bool bPosted) { probed = bPosted; });
        QTRY_VERIFY(probed);
        QCOMPARE(ends, QList<bool>{false});
        QTRY_COMPARE(service.closed, (QList<uint>{101, 102}));
        QCOMPARE(int(f.sounds.played().size()), CReminderAlertWnd::kRings);

        service.mode = NotificationService::Mode::Silent;
        notifier.SetGiveUpMs(10);
        notifier.Post(QStringLiteral("c"), QString(), [&ends](bool bPosted) { ends << bPosted; });
        QTRY_COMPARE(ends, (QList<bool>{false, false}));
    }

    // The icon is the installed one's name where an icon theme has it, else the file beside the
    // program.
    void appIcon_data()
    {
        QTest::addColumn<QString>("installedIn"); // under the test's folder
        QTest::addColumn<bool>("byName");
        QTest::newRow("theme of the user") << QStringLiteral("home") << true;
        QTest::newRow("beside the program") << QStringLiteral("prefix/share") << false;
        QTest::newRow("nowhere") << QString() << true;
    }
    void appIcon()
    {
        QFETCH(QString, installedIn);
        QFETCH(bool, byName);
        const QString file = QStringLiteral("/icons/hicolor/48x48/apps/org.kestrum.Kestrum.png");
        const QString icon = installedIn.isEmpty() ? QString() : m_xdg.filePath(installedIn + file);
        QVERIFY(icon.isEmpty() || (QDir().mkpath(QFileInfo(icon).path()) && WriteAll(icon, "png")));

        const QString got = CDesktopNotifier::AppIcon(m_xdg.filePath(QStringLiteral("prefix/bin")));

        QVERIFY(icon.isEmpty() || QFile::remove(icon));
        QCOMPARE(got, byName ? QStringLiteral("org.kestrum.Kestrum") : QUrl::fromLocalFile(icon).toString());
    }

    // kestrum.ini keeps the way under "[reminders]" "alert=", with every other line as it was;
    // a missing, damaged or strange file reads as the window.
    void settingsFile_data()
    {
        QTest::addColumn<QByteArray>("before"); // null: no file
        QTest::addColumn<AlertWay>("read");
        QTest::addColumn<AlertWay>("written");
        QTest::addColumn<QByteArray>("after");
        QTest::newRow("no file") << QByteArray() << AlertWay::Window << AlertWay::Desktop
                                 << QByteArray("[reminders]\nalert=desktop\n");
        QTest::newRow("others kept")
            << QByteArray(
                   "; mine\n[mainwnd]\nzoom=2\n\n[reminders]\n alert = both \r\nsound=loud\n\n[later]\nx=1\n")
            << AlertWay::Both << AlertWay::Window
            << QByteArray(
                   "; mine\n[mainwnd]\nzoom=2\n\n[reminders]\nalert=window\nsound=loud\n\n[later]\nx=1\n");
        QTest::newRow("no group, no last line end")
            << QByteArray("[mainwnd]\nzoom=2") << AlertWay::Window << AlertWay::Both
            << QByteArray("[mainwnd]\nzoom=2\n\n[reminders]\nalert=both\n");
        QTest::newRow("group without the key")
            << QByteArray("[reminders]\nsound=loud\n\n[x]\nalert=both\n") << AlertWay::Window
            << AlertWay::Desktop << QByteArray("[reminders]\nsound=loud\nalert=desktop\n\n[x]\nalert=both\n");
        const QByteArray damaged = QByteArray("\xff\xfe\0", 3) + "[remi\nalert=desktop\n";
        QTest::newRow("damaged") << damaged << AlertWay::Window << AlertWay::Both
                                 << damaged + "\n[reminders]\nalert=both\n";
        QTest::newRow("unknown value")
            << QByteArray("[reminders]\n#alert=both\nalert=popup\n") << AlertWay::Window << AlertWay::Desktop
            << QByteArray("[reminders]\n#alert=both\nalert=desktop\n");
    }
    void settingsFile()
    {
        QFETCH(QByteArray, before);
        QFETCH(AlertWay, read);
        QFETCH(AlertWay, written);
        QFETCH(QByteArray, after);
        QTemporaryDir dir;
        const QString path = dir.filePath(CSettingsFile::FileName());
        QVERIFY(before.isNull() || WriteAll(path, before));

        QCOMPARE(AlertWaySetting::Read(path), read);
        QVERIFY(AlertWaySetting::Write(path, written));

        QCOMPARE(ReadAll(path), after);
        QCOMPARE(AlertWaySetting::Read(path), written);
    }

    // The dialog shows the way in use. When kestrum.ini cannot be written "保存" says so, the file
    // stays as it was and the dialog open; the next "保存" saves the way chosen.
    void dialogSavesTheWay_data()
    {
        QTest::addColumn<bool>("diskFull"); // else a folder is in the file's way
        QTest::addColumn<QString>("failure");
        const QString text =
            QStringLiteral("无法保存提醒方式到 kestrum.ini，提醒仍按原来的方式显示，请重新保存\r\n");
        QTest::newRow("disk full") << true << text + QStringLiteral("磁盘空间已满");
        QTest::newRow("folder in the way") << false << text;
    }
    void dialogSavesTheWay()
    {
        QFETCH(bool, diskFull);
        QFETCH(QString, failure);
        Fixture f(AlertWay::Both);
        QVERIFY(f.ok);
        const QByteArray before = ReadAll(f.settings());
        CPlannerContext context(
            f.store, f.flags, [&f](const QString& text, int, int, bool) { f.notices << text; }, f.dir.path(),
            [] { return true; });
        context.SetDataFolder(f.dir.path());
        std::optional<InjectedFullDisk> full;
        if (diskFull)
            full.emplace();
        else
            QVERIFY(QFile::remove(f.settings()) && QDir().mkdir(f.settings()));
        CSettingsDlg dlg(context, {});
        dlg.show();
        auto* combo = Child<QComboBox>(dlg, "alertWayCombo");
        QCOMPARE(combo->currentText(), diskFull ? QStringLiteral("两者") : QStringLiteral("提醒窗口"));
        combo->setCurrentIndex(combo->findText(QStringLiteral("桌面通知")));

        Click(dlg, "saveButton");

        QCOMPARE(f.messages.count(), 1);
        QVERIFY2(f.messages.last().text.startsWith(failure), qPrintable(f.messages.last().text));
        QCOMPARE(f.messages.last().caption, QStringLiteral("错误"));
        QCOMPARE(f.messages.last().icon, Messages::Icon::Critical);
        QVERIFY(dlg.isVisible());
        QVERIFY(f.notices.isEmpty());
        QCOMPARE(ReadAll(f.settings()), diskFull ? before : QByteArray("<unreadable>"));

        full.reset();
        QVERIFY(diskFull || QDir().rmdir(f.settings()));
        Click(dlg, "saveButton");

        QCOMPARE(f.messages.count(), 1);
        QVERIFY(!dlg.isVisible());
        QCOMPARE(f.notices, QStringList{QStringLiteral("保存系统配置数据成功!")});
        QCOMPARE(AlertWaySetting::Read(f.settings()), AlertWay::Desktop);
    }
};

QTEST_MAIN(TestNotifications)
#include "tst_notifications.moc"
