#include "Pixels.h"
#include "SoundRecorder.h"
#include "controls/NotifyWnd.h"

#include <QLabel>
#include <QTest>

namespace {

// Drives timer nId until it stops by itself or has ticked nLimit times, and returns the ticks.
int RunOut(CNotifyWnd& wnd, CNotifyWnd::TimerId nId, int nLimit = 1000)
{
    int nTicks = 0;
    for (; wnd.IsTimerRunning(nId) && nTicks < nLimit; ++nTicks)
        wnd.OnTimer(nId);
    return nTicks;
}

// What the countdown shows after each tick till it ends, joined by '|'; the pop-up must not leave.
QString CountDown(CNotifyWnd& wnd)
{
    QStringList shown;
    while (wnd.IsTimerRunning(CNotifyWnd::CountdownTimer) && shown.size() < 100) {
        if (wnd.IsTimerRunning(CNotifyWnd::SlideDownTimer))
            return QStringLiteral("<leaving>");
        wnd.OnTimer(CNotifyWnd::CountdownTimer);
        shown << wnd.GetCountdownText();
    }
    return shown.join(u'|');
}

const QPoint kClose(333, 56);

} // namespace

class TestNotifyWnd : public QObject
{
    Q_OBJECT
    QRect m_rcStart;

private slots:
    void init()
    {
        const QRect screen = QGuiApplication::primaryScreen()->geometry();
        m_rcStart = QRect(screen.right() + 1 - 350, screen.bottom() + 1 - 30, 350, 150);
    }

    void countsDownThenSlidesAway_data()
    {
        QTest::addColumn<int>("seconds");
        QTest::addColumn<bool>("animate");
        QTest::addColumn<QString>("countdown");
        QTest::newRow("5 seconds") << 5 << true << QStringLiteral(" 4| 3| 2| 1|※|※");
        QTest::newRow("12 seconds, no picture")
            << 12 << false << QStringLiteral("11|10| 9| 8| 7| 6| 5| 4| 3| 2| 1|※|※");
    }

    void countsDownThenSlidesAway()
    {
        QFETCH(int, seconds);
        QFETCH(bool, animate);
        const QString kSound = QStringLiteral("/opt/kestrum/data/notify.wav");
        SoundRecorder sounds;
        CNotifyWnd wnd;
        wnd.SetSoundFile(kSound);
        QVERIFY(!wnd.isVisible());
        QCOMPARE(wnd.GetWindowRect(), m_rcStart);

        wnd.ShowNotice(QStringLiteral("删除成功!"), true, seconds, animate);
        QVERIFY(wnd.isVisible());
        QCOMPARE(wnd.GetText(), QStringLiteral("删除成功!"));
        QCOMPARE(sounds.played().size(), 1);
        QCOMPARE(sounds.played()[0].path, kSound);
        const QRegion shape = wnd.mask();           // it comes with the first notice
        QVERIFY(!shape.contains(QPoint(0, 0)));     // above the panel, left of the tab
        QVERIFY(!shape.contains(QPoint(349, 149))); // rounded corner
        QVERIFY(shape.contains(QPoint(120, 30)));   // tab
        QVERIFY(shape.contains(CNotifyWnd::kCloseMark.center()));
        QVERIFY(shape.contains(CNotifyWnd::kMessageArea));
        auto* pPicture = wnd.findChild<QLabel*>(QStringLiteral("notifyPicture"));
        QVERIFY(pPicture);
        QCOMPARE(pPicture->isVisibleTo(&wnd), animate);

        QCOMPARE(wnd.GetCountdownText(), QStringLiteral("※"));
        QCOMPARE(RunOut(wnd, CNotifyWnd::SlideUpTimer, 60), 60);
        // Another notice mid-slide: new text, the slide goes on, no sound (the next one's is the second).
        wnd.ShowNotice(QStringLiteral("第二条"), true, seconds, animate);
        QCOMPARE(wnd.GetText(), QStringLiteral("第二条"));
        QCOMPARE(wnd.pos(), m_rcStart.topLeft() - QPoint(0, 60));
        QCOMPARE(RunOut(wnd, CNotifyWnd::SlideUpTimer), 152 - 60); // 151 moves and the tick that ends them
        QCOMPARE(wnd.pos(), m_rcStart.topLeft() - QPoint(0, 151));
        QCOMPARE(wnd.GetCountdownText(), QStringLiteral("※"));
        QCOMPARE(wnd.IsTimerRunning(CNotifyWnd::AnimationTimer), animate);

        wnd.OnTimer(CNotifyWnd::CountdownTimer);
        wnd.ShowNotice(QStringLiteral("第三条"), true, seconds, animate);
        QCOMPARE(wnd.GetText(), QStringLiteral("第三条"));
        QVERIFY(!wnd.IsTimerRunning(CNotifyWnd::SlideUpTimer));
        const QString shown = wnd.GetCountdownText();
        QTEST(QString(shown + u'|' + CountDown(wnd)), "countdown");
        QCOMPARE(RunOut(wnd, CNotifyWnd::SlideDownTimer), 152);
        QVERIFY(!wnd.isVisible());
        QVERIFY(!wnd.IsTimerRunning(CNotifyWnd::AnimationTimer));
        QCOMPARE(wnd.GetWindowRect(), m_rcStart);

        wnd.ShowNotice(QStringLiteral("保存成功"), true, seconds, animate);
        QCOMPARE(sounds.played().size(), 2);
        QVERIFY(wnd.IsTimerRunning(CNotifyWnd::SlideUpTimer));
        QCOMPARE(wnd.pos(), m_rcStart.topLeft());
    }

    void longMessagesWrap_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("wraps");
        QTest::newRow("23 bytes mixed") << QStringLiteral("a保存提醒信息到数据库成") << false;
        QTest::newRow("24 bytes mixed") << QStringLiteral("ab保存提醒信息到数据库成") << true;
    }

    void longMessagesWrap()
    {
        QFETCH(QString, text);
        QFETCH(bool, wraps);
        CNotifyWnd wnd;
        wnd.ShowNotice(text, true, 5, false);
        // A wrapped message starts at the top of the area, one line sits in its middle.
        const QImage image = wnd.grab().toImage();
        const QRect area = CNotifyWnd::kMessageArea;
        const int nTop = InkBox(image, area, [](const QColor& c) {
                             return c.red() > 200 && c.green() > 200 && c.blue() > 200;
                         }).top();
        QVERIFY2(nTop >= area.top(), "no text drawn");
        QVERIFY2(wraps ? nTop < area.top() + 8 : nTop > area.top() + 15, qPrintable(QString::number(nTop)));
    }

    void tabPinsUntilClose_data()
    {
        QTest::addColumn<int>("clickAfterSteps");
        QTest::newRow("after the slide") << 152;
        QTest::newRow("during the slide") << 40;
    }

    void tabPinsUntilClose()
    {
        QFETCH(int, clickAfterSteps);
        CNotifyWnd wnd;
        wnd.ShowNotice(QStringLiteral("节日信息已成功修改"), true, 3, true);
        RunOut(wnd, CNotifyWnd::SlideUpTimer, clickAfterSteps);
        if (clickAfterSteps > 151)
            wnd.OnTimer(CNotifyWnd::CountdownTimer);

        QTest::mouseClick(&wnd, Qt::LeftButton, {}, QPoint(150, 30));
        QCOMPARE(wnd.GetCountdownText(), QStringLiteral("※"));
        RunOut(wnd, CNotifyWnd::SlideUpTimer);
        QVERIFY(!wnd.IsTimerRunning(CNotifyWnd::CountdownTimer));
        QVERIFY(wnd.isVisible());
        // Clicks elsewhere, even in the message, leave it pinned; only the close mark ends it.
        QTest::mouseClick(&wnd, Qt::LeftButton, {}, QPoint(200, 90));
        QTest::mouseClick(&wnd, Qt::LeftButton, {}, QPoint(300, 140));
        QVERIFY(!wnd.IsTimerRunning(CNotifyWnd::SlideDownTimer));
        QTest::mouseClick(&wnd, Qt::LeftButton, {}, kClose);
        QCOMPARE(RunOut(wnd, CNotifyWnd::SlideDownTimer), 152);
        QVERIFY(!wnd.isVisible());
        QCOMPARE(wnd.GetWindowRect(), m_rcStart);

        // The pin belonged to that notice: the next one counts down and leaves by itself.
        wnd.ShowNotice(QStringLiteral("数据保存成功！"), true, 3, true);
        QCOMPARE(RunOut(wnd, CNotifyWnd::SlideUpTimer), 152);
        QCOMPARE(CountDown(wnd), QStringLiteral(" 2| 1|※|※"));
        QCOMPARE(RunOut(wnd, CNotifyWnd::SlideDownTimer), 152);
        QVERIFY(!wnd.isVisible());
    }
};

QTEST_MAIN(TestNotifyWnd)
#include "tst_notifywnd.moc"
