// Reminders whose moment went by unseen: before a start, in a sleep of the machine, over a
// jump of the clock, or dropped by a busy queue. The alert window is stepped on a wall clock
// and a steady clock moved by hand.
#include "FakeClock.h"
#include "MessageRecorder.h"
#include "PlannerFixture.h"
#include "Recorders.h"
#include "SoundRecorder.h"
#include "TestFiles.h"
#include "WidgetDriver.h"
#include "app/AtomicFile.h"
#include "reminder/MissedRemindersDlg.h"
#include "reminder/ReminderAlertWnd.h"
#include "reminder/ReminderWatch.h"

#include <QLabel>
#include <QTreeWidget>
#include <QtTest>
#include <memory>

namespace {
const QDateTime kMonday(QDate(2026, 12, 7), QTime(9, 0, 0));

/// The planner's data folder and store, both clocks, the sounds and the message boxes.
struct Fixture : PlannerFixture
{
    FakeClock wall{kMonday};
    qint64 steadyMs = 0;
    SoundRecorder sound;
    MessageRecorder messages;
    std::unique_ptr<CReminderAlertWnd> wnd;

    Fixture()
    {
        Clock::setMonotonicSource([this] { return steadyMs; });
    }
    ~Fixture()
    {
        wnd.reset();
        Clock::setMonotonicSource({});
    }

    QString StateFile() const { return dir.filePath(ReminderWatch::FileName()); }
    bool WriteState(const QDateTime& watchedUpTo) const
    {
        return WriteAll(StateFile(), watchedUpTo.toUTC().toString(Qt::ISODate).toLatin1() + '\n');
    }
    bool Add(const QDateTime& when, int mode, bool ring, const QString& title)
    {
        return store.AddReminder(when, mode, ring ? 1 : 0, title, title + QStringLiteral("的内容"));
    }
    /// Starts the planner: the alert window loads its queue and takes its first look.
    void Start()
    {
        wnd = std::make_unique<CReminderAlertWnd>(context);
        wnd->OnReloadTimer();
        wnd->OnPollTimer();
    }
    /// Time goes by on both clocks, looked at every second.
    void Run(int seconds)
    {
        for (int i = 0; i < seconds; ++i) {
            wall.advance(1);
            steadyMs += 1000;
            wnd->OnPollTimer();
        }
    }
    /// The wall clock moves by \a seconds while the steady one moves by a second: a sleep of
    /// the machine, or the clock set forward or back.
    void Jump(int seconds)
    {
        wall.advance(seconds);
        steadyMs += 1000;
        wnd->OnPollTimer();
    }
    /// "time title" of each listed missed reminder; the window is closed after it is read, so
    /// what comes next is seen on its own.
    QStringList TakeMissed()
    {
        QStringList out;
        CMissedRemindersDlg* dlg = wnd->MissedWindow();
        if (!dlg || !dlg->isVisible())
            return out;
        auto* list = Child<QTreeWidget>(*dlg, "missedList");
        for (int i = 0; i < list->topLevelItemCount(); ++i)
            out << list->topLevelItem(i)->text(0) + u' ' + list->topLevelItem(i)->text(1);
        dlg->accept();
        return out;
    }
};
} // namespace

class TestMissedReminders : public QObject
{
    Q_OBJECT

private slots:
    // The planner was last watching on Friday evening and starts on Monday at nine: every moment
    // in between is listed once, repeating reminders once per moment, in time order, and the
    // window rings once. A reminder due at the very second of the start is among them, not shown
    // again by the alert window; one a second later goes off as usual.
    void startAfterAGap()
    {
        Fixture f;
        QVERIFY(f.ok);
        QVERIFY(f.WriteState(QDateTime(QDate(2026, 12, 4), QTime(20, 0)))); // Friday evening
        const struct
        {
            QDateTime when;
            int mode;
            bool ring;
            const char16_t* title;
        } reminders[] = {{QDateTime(QDate(2026, 12, 4), QTime(19, 0)), ReminderOnce, true, u"已提醒过"},
                         {QDateTime(QDate(2026, 12, 5), QTime(10, 0)), ReminderOnce, false, u"开会"},
                         {QDateTime(QDate(2026, 12, 1), QTime(8, 30)), ReminderDaily, true, u"早读"},
                         {QDateTime(QDate(2026, 11, 29), QTime(12, 0)), ReminderWeekly, false, u"周日"},
                         {QDateTime(QDate(2026, 11, 30), QTime(12, 0)), ReminderWeekly, false, u"周一"},
                         {QDateTime(QDate(2026, 11, 5), QTime(7, 0)), ReminderMonthly, false, u"月报"},
                         {QDateTime(QDate(2020, 12, 6), QTime(0, 0)), ReminderYearly, false, u"生日"},
                         {kMonday, ReminderOnce, false, u"九点整"},
                         {kMonday.addSecs(1), ReminderOnce, false, u"九点过一秒"}};
        for (const auto& r : reminders)
            QVERIFY(f.Add(r.when, r.mode, r.ring, QString::fromUtf16(r.title)));
        f.Start();
        QCOMPARE(f.TakeMissed(), QStringLiteral("2026-12-05 07:00:00 月报|2026-12-05 08:30:00 早读|"
                                                "2026-12-05 10:00:00 开会|2026-12-06 00:00:00 生日|"
                                                "2026-12-06 08:30:00 早读|2026-12-06 12:00:00 周日|"
                                                "2026-12-07 08:30:00 早读|2026-12-07 09:00:00 九点整")
                                     .split(u'|'));
        QCOMPARE(f.sound.played().size(), 1);
        QVERIFY(!f.wnd->isVisible());
        // What was told is on the disk at once: a crash now must not list it again.
        QCOMPARE(ReminderWatch::ReadState(f.StateFile()), kMonday);
        f.Run(1);
        QCOMPARE(f.wnd->Title(), QStringLiteral("九点过一秒"));
        QVERIFY(f.TakeMissed().isEmpty());

        // The next start, a minute after this run ended, lists nothing from before.
        f.Run(59);
        f.wnd.reset();
        f.wall.advance(60);
        f.Start();
        QVERIFY(f.TakeMissed().isEmpty());
    }

    // Asleep from ten to twelve: the sleep's moments are listed when the machine wakes, and the
    // queue does not go on to show them one by one. A gap under a minute between the clocks is
    // no sleep, but what the queue then drops as stale is listed too. Setting the clock back
    // shows nothing, and setting it forward again lists only what lies beyond what was watched.
    void sleepJumpsAndBusyMoments()
    {
        Fixture f;
        QVERIFY(f.ok);
        f.wall.set(QDateTime(kMonday.date(), QTime(10, 0)));
        for (int h : {11, 12, 13})
            QVERIFY(f.Add(QDateTime(kMonday.date(), QTime(h, 0, 30)), ReminderOnce, h != 12,
                          QStringLiteral("%1点半分钟").arg(h)));
        f.Start();
        QVERIFY(f.TakeMissed().isEmpty()); // no state file yet: nothing to make up for
        f.Jump(2 * 3600);                  // 12:00
        QCOMPARE(f.TakeMissed(), QStringList{QStringLiteral("2026-12-07 11:00:30 11点半分钟")});
        QCOMPARE(f.sound.played().size(), 1);
        f.Run(20);
        f.Jump(59); // the queue finds 12:00:30 fifteen seconds late
        QCOMPARE(f.TakeMissed(), QStringList{QStringLiteral("2026-12-07 12:00:30 12点半分钟")});
        QCOMPARE(f.sound.played().size(), 1); // silent reminder
        QVERIFY(!f.wnd->isVisible());

        f.Jump(-3600); // back to 11:01
        QVERIFY(f.TakeMissed().isEmpty());
        f.Jump(2 * 3600); // 13:01: 11:00:30 and 12:00:30 were told already
        QCOMPARE(f.TakeMissed(), QStringList{QStringLiteral("2026-12-07 13:00:30 13点半分钟")});
        QCOMPARE(f.sound.played().size(), 2);
    }

    // Ten days away with three daily reminders: only the last seven days count, and of their
    // 21 moments the newest 20 are listed with the count of the one left out. More arriving
    // while the window shows joins the list.
    void longAbsenceListsTheNewestTwenty()
    {
        Fixture f;
        QVERIFY(f.ok);
        QVERIFY(f.WriteState(kMonday.addDays(-10)));
        for (int h : {6, 7, 8})
            QVERIFY(f.Add(QDateTime(kMonday.date(), QTime(h, 0)), ReminderDaily, false,
                          QStringLiteral("每天%1点").arg(h)));
        QVERIFY(f.Add(kMonday.addSecs(90), ReminderOnce, false, QStringLiteral("稍后")));
        f.Start();
        CMissedRemindersDlg* dlg = f.wnd->MissedWindow();
        QVERIFY(dlg && dlg->isVisible());
        auto* list = Child<QTreeWidget>(*dlg, "missedList");
        QCOMPARE(list->topLevelItemCount(), CMissedRemindersDlg::kMaxListed);
        QCOMPARE(dlg->Total(), 21);
        QCOMPARE(list->topLevelItem(0)->text(0), QStringLiteral("2026-12-01 07:00:00"));
        QCOMPARE(list->topLevelItem(19)->text(0), QStringLiteral("2026-12-07 08:00:00"));
        QCOMPARE(Child<QLabel>(*dlg, "notListed")->text(), QStringLiteral("另有 1 个更早的提醒没有列出。"));
        f.Jump(120);
        QCOMPARE(dlg->Total(), 22);
        QCOMPARE(list->topLevelItem(19)->text(1), QStringLiteral("稍后"));
        dlg->reject();
        QCOMPARE(dlg->Total(), 0);
    }

    // The state file: damaged or from a clock set far ahead, it gives no gap and is put right at
    // the next save; a save the disk refuses is said once and tried again later.
    void stateFileTroubles()
    {
        Fixture f;
        QVERIFY(f.ok);
        QVERIFY(f.Add(kMonday.addSecs(-3600), ReminderOnce, false, QStringLiteral("八点")));
        for (const QByteArray& bad : {QByteArray("not a time\n"), QByteArray("2036-01-01T00:00:00Z\n")}) {
            f.wnd.reset();
            QVERIFY(WriteAll(f.StateFile(), bad));
            f.Start();
            QVERIFY2(f.TakeMissed().isEmpty(), bad.constData());
            f.Run(int(ReminderWatch::kSaveEverySeconds));
            QCOMPARE(ReminderWatch::ReadState(f.StateFile()), Clock::now());
        }

        CAtomicFile::SetRoomForTests(0);
        f.Run(int(ReminderWatch::kSaveEverySeconds) * 3);
        CAtomicFile::SetRoomForTests(-1);
        QCOMPARE(f.messages.count(), 1);
        QVERIFY(f.messages.last().text.contains(f.StateFile()));
        QVERIFY(f.messages.last().text.contains(QStringLiteral("磁盘空间已满")));
        const QDateTime kept = ReminderWatch::ReadState(f.StateFile());
        QVERIFY(kept.isValid() && kept < Clock::now());
        f.Run(int(ReminderWatch::kSaveEverySeconds));
        QCOMPARE(ReminderWatch::ReadState(f.StateFile()), Clock::now());
    }
};

QTEST_MAIN(TestMissedReminders)
#include "tst_missedreminders.moc"
