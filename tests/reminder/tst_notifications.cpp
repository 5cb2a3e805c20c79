// Reminders through the desktop's notification service, on a private session bus ctest starts
// from a configuration without service folders (nothing is started by activation).
#include "FakeClock.h"
#include "MessageRecorder.h"
#include "PlannerFixture.h"
#include "SoundRecorder.h"
#include "TestFiles.h"
#include "app/SettingsFile.h"
#include "reminder/AlertWay.h"
#include "reminder/DesktopNotifier.h"
#include "reminder/ReminderAlertWnd.h"

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusContext>
#include <QDBusMessage>
#include <memory>

namespace {
const QDateTime kNow(QDate(2026, 12, 7), QTime(8, 0, 0));
constexpr int kRingSoundMs = 20;
const QString kPath = QStringLiteral("/org/freedesktop/Notifications");
const QString kName = QStringLiteral("org.freedesktop.Notifications");

/// The notification service, on a connection of its own: a call to a service of the caller's own
/// connection would never go through the bus.
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

/// A data folder with a database, a short ring and the way to alert; clock, sounds and boxes faked.
struct Fixture : PlannerFixture
{
    FakeClock clock{kNow};
    MessageRecorder messages;
    SoundRecorder sounds;
    explicit Fixture(AlertWay way)
    {
        ok = ok && WriteAll(dir.filePath(QStringLiteral("ringin.wav")), WaveBytes(kRingSoundMs)) &&
             AlertWaySetting::Write(dir.filePath(CSettingsFile::FileName()), way);
    }
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

    // The window, the desktop, or both; where the desktop cannot, the window. One ring either way.
    void alertGoesTheChosenWay_data()
    {
        QTest::addColumn<AlertWay>("way");
        QTest::addColumn<QString>("desk"); // no bus, a bus without the service, or how it answers
        QTest::addColumn<bool>("countdown");
        QTest::addColumn<bool>("window");
        QTest::addColumn<int>("posts");
        QTest::newRow("window") << AlertWay::Window << QStringLiteral("answers") << false << true << 0;
        QTest::newRow("desktop") << AlertWay::Desktop << QStringLiteral("answers") << false << false << 1;
        QTest::newRow("both") << AlertWay::Both << QStringLiteral("answers") << false << true << 1;
        QTest::newRow("countdown, desktop")
            << AlertWay::Desktop << QStringLiteral("answers") << true << false << 1;
        QTest::newRow("desktop, no service")
            << AlertWay::Desktop << QStringLiteral("no service") << false << true << 0;
        QTest::newRow("desktop, refused")
            << AlertWay::Desktop << QStringLiteral("refuses") << false << true << 1;
        QTest::newRow("desktop, no bus")
            << AlertWay::Desktop << QStringLiteral("no bus") << false << true << 0;
        QTest::newRow("both, no service")
            << AlertWay::Both << QStringLiteral("no service") << false << true << 0;
    }
    void alertGoesTheChosenWay()
    {
        QFETCH(AlertWay, way);
        QFETCH(QString, desk);
        QFETCH(bool, countdown);
        QFETCH(bool, window);
        QFETCH(int, posts);
        Fixture f(way);
        QVERIFY(f.ok);
        std::unique_ptr<NotificationService> service;
        if (desk == u"answers" || desk == u"refuses") {
            service = std::make_unique<NotificationService>(
                desk == u"answers" ? NotificationService::Mode::Answer : NotificationService::Mode::Refuse);
            QVERIFY(service->registered);
        }
        QVERIFY(f.store.AddReminder(kNow, 1, 1, QStringLiteral("上课"), QStringLiteral("三班语文\n带课本")));
        CReminderAlertWnd wnd(f.context);
        if (desk == u"no bus")
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

    // A service that never answers: the window shows when the post is given up, by the time limit
    // too; the late answer only closes the notification it brought.
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

    // The icon theme's name where a theme has it, else the file beside the program.
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

    // "[reminders]" "alert=", every other line kept; a missing, damaged or strange file: the window.
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
};

QTEST_MAIN(TestNotifications)
#include "tst_notifications.moc"
