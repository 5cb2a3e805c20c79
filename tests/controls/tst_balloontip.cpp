#include "controls/BalloonTip.h"

#include <QApplication>
#include <QPushButton>
#include <QScreen>
#include <QTest>

static QIcon Icon32(const QColor& cr = Qt::blue)
{
    QPixmap pixmap(32, 32);
    pixmap.fill(cr);
    return QIcon(pixmap);
}

// The colour in the middle of where the tip draws its icon, as the tip paints itself now.
static QColor IconColour(CBalloonTip& tip)
{
    return tip.grab().toImage().pixelColor(12 + 16, 10 + 16);
}

class TestBalloonTip : public QObject
{
    Q_OBJECT

private slots:
    void boxGeometry_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("lines");
        QTest::addColumn<bool>("icon");
        const QString threeLines = QStringLiteral("课程名称:高等数学\n课程学分:4.00\n上课地点:教一201");
        QTest::newRow("one line") << QStringLiteral("点击设置校历") << 1 << false;
        QTest::newRow("three lines") << threeLines << 3 << false;
        QTest::newRow("three lines with icon") << threeLines << 3 << true;
    }
    void boxGeometry()
    {
        QFETCH(QString, text);
        QFETCH(int, lines);
        QFETCH(bool, icon);
        CBalloonTip tip;
        if (icon)
            tip.SetIcon(Icon32());
        const QPoint pt(500, 400);
        tip.ShowAt(text, pt);
        QCOMPARE(tip.GetText(), text);
        QCOMPARE(tip.GetTextOrigin(), QPoint(icon ? 12 + 32 + 5 : 12, 10));
        // Each line as high as the first one measured alone, plus 10 pixels above and below.
        const QSize box = tip.GetBoxSize();
        const QRect first = QFontMetrics(tip.font())
                                .boundingRect(QRect(0, 0, 10000, 1000), Qt::AlignLeft | Qt::AlignTop,
                                              text.section(u'\n', 0, 0));
        QCOMPARE(box.height(), lines * first.height() + 20);

        QVERIFY(!tip.isVisible()); // not before its delay
        QTRY_VERIFY(tip.isVisible());
        // The tail adds 25 pixels below the box; its tip lies 10 pixels left of and above the pointer.
        const int w = box.width(), h = box.height();
        QCOMPARE(tip.geometry(), QRect(pt.x() - w + 2, pt.y() - h - 25, w, h + 25));
        const QRegion shape = tip.mask();
        QVERIFY(shape.contains(QPoint(w / 2, h / 2)));
        QVERIFY(shape.contains(QPoint(w - 13, h + 12)));
        QCOMPARE(tip.mapToGlobal(QPoint(w - 12, h + 15)), pt - QPoint(10, 10));
        QVERIFY(!shape.contains(QPoint(w - 30, h + 10)));
        QVERIFY(!shape.contains(QPoint(2, h + 5)));
    }

    void tipStaysOnTheScreen_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("atCorner"); // the pointer near the screen's top left, else in its middle
        QString lines;
        for (int i = 0; i < 100000; ++i)
            lines += QStringLiteral("\\第%1层").arg(i) + u'\n';
        QTest::newRow("a line of a million characters")
            << (QStringLiteral("D:\\开头") + QString(1 << 20, u'p') + QStringLiteral("\\结尾.exe")) << false;
        QTest::newRow("a hundred thousand lines") << (lines + QStringLiteral("末行")) << false;
        QTest::newRow("a short tip at the corner") << QStringLiteral("点击设置校历") << true;
    }
    // A tip shows the beginning and the end of what it was given, all of it on the screen.
    void tipStaysOnTheScreen()
    {
        QFETCH(QString, text);
        QFETCH(bool, atCorner);
        const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
        CBalloonTip tip;
        tip.SetIcon(Icon32());
        tip.ShowAt(text, atCorner ? screen.topLeft() + QPoint(5, 5) : screen.center());
        QTRY_VERIFY(tip.isVisible());
        QVERIFY2(screen.contains(tip.geometry()),
                 qPrintable(QStringLiteral("%1 x %2").arg(tip.width()).arg(tip.height())));
        QVERIFY(tip.GetText().startsWith(text.left(4)));
        QVERIFY(tip.GetText().endsWith(text.right(4)));
        QCOMPARE(tip.GetText() == text, atCorner);
    }

    void iconKeepsBoxTall()
    {
        CBalloonTip tip;
        QFont tiny = tip.font();
        tiny.setPixelSize(4);
        tip.setFont(tiny);
        tip.ShowAt(QStringLiteral("x"), QPoint(100, 100));
        const QSize plain = tip.GetBoxSize();
        tip.SetIcon(Icon32());
        QCOMPARE(tip.GetBoxSize(), QSize(plain.width() + 32 + 5, 32));
        tip.SetIcon(QIcon());
        QCOMPARE(tip.GetBoxSize(), plain);
    }

    void everyTipShowsItsIcon_data()
    {
        QTest::addColumn<QColor>("toolIcon"); // invalid: registered without an icon
        QTest::addColumn<QColor>("onTool");
        QTest::newRow("button registered without an icon") << QColor() << QColor(Qt::blue);
        QTest::newRow("button with an icon of its own") << QColor(Qt::red) << QColor(Qt::red);
    }
    // The owner sets one icon for all its tips; a button's tip must show it, and a tip asked
    // for afterwards (a hot area, a long row) must still show it.
    void everyTipShowsItsIcon()
    {
        QFETCH(QColor, toolIcon);
        // Qt drops a move to where the pointer already is, so each run places its window anew.
        static int s_nRun = 0;
        ++s_nRun;
        QWidget owner;
        owner.setGeometry(100 + 7 * s_nRun, 130, 400, 200);
        auto* pButton = new QPushButton(QStringLiteral("退出"), &owner);
        pButton->setGeometry(20, 20, 80, 30);
        CBalloonTip tip(&owner);
        tip.SetIcon(Icon32(Qt::blue));
        tip.AddTool(pButton, QStringLiteral("退出系统"), toolIcon.isValid() ? Icon32(toolIcon) : QIcon());
        owner.setMouseTracking(true);
        owner.installEventFilter(&tip);
        owner.show();
        QVERIFY(QTest::qWaitForWindowExposed(&owner));
        if (QApplication::widgetAt(pButton->mapToGlobal(QPoint(5, 5))) != pButton)
            QSKIP("this platform cannot tell which window is under the pointer");

        for (int nRound = 0; nRound < 2; ++nRound) {
            QTest::mouseMove(pButton, QPoint(10, 10 + nRound));
            QTRY_VERIFY(tip.isVisible());
            QCOMPARE(tip.GetText(), QStringLiteral("退出系统"));
            QCOMPARE(tip.GetTextOrigin().x(), 12 + 32 + 5);
            QTEST(IconColour(tip), "onTool");

            QTest::mouseMove(&owner, QPoint(300, 150));
            QVERIFY(!tip.isVisible());
            tip.ShowAt(QStringLiteral("点击设置校历"), owner.mapToGlobal(QPoint(300, 150)));
            QTRY_VERIFY(tip.isVisible());
            QCOMPARE(tip.GetTextOrigin().x(), 12 + 32 + 5);
            QCOMPARE(IconColour(tip), QColor(Qt::blue));
            QVERIFY(tip.GetBoxSize().height() >= 32);
            QTest::mouseMove(&owner, QPoint(310, 160));
            QVERIFY(!tip.isVisible());
        }
    }

    void relayedMovesFollowRegisteredControls()
    {
        QWidget owner;
        owner.setGeometry(100, 100, 400, 200);
        auto* pFirst = new QPushButton(QStringLiteral("打开"), &owner);
        auto* pSecond = new QPushButton(QStringLiteral("删除"), &owner);
        pFirst->setGeometry(20, 20, 80, 30);
        pSecond->setGeometry(200, 20, 80, 30);
        CBalloonTip tip(&owner);
        tip.AddTool(pFirst, QStringLiteral("第一个"));
        tip.AddTool(pFirst, QStringLiteral("直接打开选择的程序或文件"), Icon32()); // replaces the first
        tip.AddTool(pSecond, QStringLiteral("删除选中的事情"));
        owner.setMouseTracking(true);
        owner.installEventFilter(&tip);
        owner.show();
        QVERIFY(QTest::qWaitForWindowExposed(&owner));
        if (QApplication::widgetAt(pFirst->mapToGlobal(QPoint(5, 5))) != pFirst)
            QSKIP("this platform cannot tell which window is under the pointer");

        QTest::mouseMove(pFirst, QPoint(10, 10));
        QTRY_VERIFY(tip.isVisible());
        QCOMPARE(tip.GetText(), QStringLiteral("直接打开选择的程序或文件"));
        QCOMPARE(tip.GetShowPoint(), pFirst->mapToGlobal(QPoint(10, 10)));
        QCOMPARE(tip.GetTextOrigin().x(), 12 + 32 + 5);
        QTest::mouseMove(pSecond, QPoint(30, 12));
        QCOMPARE(tip.GetText(), QStringLiteral("删除选中的事情"));
        QTRY_COMPARE(tip.geometry().bottomRight() + QPoint(1, 1), pSecond->mapToGlobal(QPoint(32, 12)));
        QCOMPARE(tip.GetTextOrigin().x(), 12); // the second control has no icon

        QTest::mousePress(pSecond, Qt::LeftButton, {}, QPoint(30, 12));
        QVERIFY(!tip.isVisible());
        QTest::mouseRelease(pSecond, Qt::LeftButton, {}, QPoint(30, 12));
        QTest::mouseMove(pFirst, QPoint(12, 12));
        QTRY_VERIFY(tip.isVisible());
        QTest::mouseMove(&owner, QPoint(350, 150)); // off the controls
        QVERIFY(!tip.isVisible());
        QTest::qWait(2 * CBalloonTip::kShowDelayMs);
        QVERIFY(!tip.isVisible());
    }
};

QTEST_MAIN(TestBalloonTip)
#include "tst_balloontip.moc"
