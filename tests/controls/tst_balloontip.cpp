#include "Pixels.h"
#include "WidgetDriver.h"
#include "controls/BalloonTip.h"

#include <QPainter>
#include <QScreen>

namespace {
QIcon Icon32(const QColor& cr = Qt::blue)
{
    QPixmap pixmap(32, 32);
    pixmap.fill(cr);
    return QIcon(pixmap);
}

bool IsText(const QColor& c)
{
    return c.red() < 160 && qAbs(c.red() - c.blue()) < 40;
}
bool IsIcon(const QColor& c)
{
    return c.blue() > 200 && c.red() < 60;
}

// The tip's shape less its four-pixel edge: where a text or icon is wholly seen.
QRegion Inside(const CBalloonTip& tip)
{
    QRegion inner = tip.mask();
    for (int d = 1; d <= 4; ++d)
        for (const QPoint& by : {QPoint(d, 0), QPoint(-d, 0), QPoint(0, d), QPoint(0, -d)})
            inner &= tip.mask().translated(by);
    return inner;
}

// The tail's end (its lowest pixel) is just above and left of \a pt, the whole tip above it.
bool PointsAt(const CBalloonTip& tip, const QPoint& pt)
{
    const QRegion tail = tip.mask() & QRect(0, tip.mask().boundingRect().bottom(), tip.width(), 1);
    const QPoint d = pt - tip.mapToGlobal(tail.boundingRect().topLeft());
    return d.x() >= 0 && d.x() <= 16 && d.y() > 0 && d.y() <= 16 && tip.geometry().bottom() < pt.y();
}

// Whether the tip comes up within its delay and a little more (polled more often than QTRY does).
bool ShownSoon(const CBalloonTip& tip)
{
    return QTest::qWaitFor([&tip] { return tip.isVisible(); }, 5000);
}

// What the tip shows at the middle of its icon's place, left of the text.
QColor IconColour(CBalloonTip& tip)
{
    const QImage image = tip.grab().toImage();
    const QRect text = InkBox(image, Inside(tip), IsText);
    return image.pixelColor(text.left() / 2, text.top() + 10);
}
} // namespace

class TestBalloonTip : public QObject
{
    Q_OBJECT

private slots:
    void wholeTextAndIconInTheBox_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("icon");
        QTest::addColumn<int>("pixelSize");  // 0: the default font
        QTest::addColumn<QPoint>("pointer"); // null: near the screen's top left corner
        const QPoint pt(500, 400), middle = QGuiApplication::primaryScreen()->availableGeometry().center();
        const QString threeLines = QStringLiteral("课程名称:高等数学\n课程学分:4.00\n上课地点:教一201");
        QTest::newRow("one line") << QStringLiteral("点击设置校历") << false << 0 << pt;
        QTest::newRow("three lines with icon") << threeLines << true << 0 << pt;
        // A text lower than the icon: the box is as high as the icon, which loses its last rows to
        // the box's edge but stays mostly seen.
        QTest::newRow("tiny font with icon") << QStringLiteral("x") << true << 4 << pt;
        QTest::newRow("large font with icon") << threeLines << true << 30 << pt;
        // Too much for the screen: the beginning and the end of it are shown.
        QString lines;
        for (int i = 0; i < 100000; ++i)
            lines += QStringLiteral("\\第%1层").arg(i) + u'\n';
        QTest::newRow("a line of a million characters")
            << (QStringLiteral("D:\\开头") + QString(1 << 20, u'p') + QStringLiteral("\\结尾.exe")) << true
            << 0 << middle;
        QTest::newRow("a hundred thousand lines") << (lines + QStringLiteral("末行")) << true << 0 << middle;
        QTest::newRow("a short tip at the corner") << QStringLiteral("点击设置校历") << true << 0 << QPoint();
    }
    void wholeTextAndIconInTheBox()
    {
        QFETCH(QString, text);
        QFETCH(bool, icon);
        QFETCH(int, pixelSize);
        QFETCH(QPoint, pointer);
        const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
        CBalloonTip tip;
        if (pixelSize > 0) {
            QFont font = tip.font();
            font.setPixelSize(pixelSize);
            tip.setFont(font);
        }
        if (icon)
            tip.SetIcon(Icon32());
        const QPoint pt = pointer.isNull() ? screen.topLeft() + QPoint(5, 5) : pointer;
        tip.ShowAt(text, pt);
        QVERIFY(!tip.isVisible()); // not before its delay
        QVERIFY(ShownSoon(tip));
        QVERIFY2(screen.contains(tip.geometry()),
                 qPrintable(QStringLiteral("%1 x %2").arg(tip.width()).arg(tip.height())));
        if (tip.GetText() != text) {
            QVERIFY(text.size() > 100000);
            QVERIFY(tip.GetText().startsWith(text.left(4)) && tip.GetText().endsWith(text.right(4)));
            return;
        }
        QVERIFY(pointer.isNull() || PointsAt(tip, pt));

        const QImage image = tip.grab().toImage();
        const QRegion inside = Inside(tip);
        const QRect ink = InkBox(image, inside, IsText);
        QImage alone(1200, 600, QImage::Format_RGB32); // the text drawn on its own: what it shows uncut
        alone.fill(Qt::white);
        QPainter painter(&alone);
        painter.setFont(tip.font());
        painter.drawText(QRect(20, 20, 1100, 500), Qt::AlignLeft | Qt::AlignTop | Qt::TextExpandTabs, text);
        painter.end();
        const QSize whole = InkBox(alone, QRegion(alone.rect()), IsText).size();
        QVERIFY2(qAbs(ink.width() - whole.width()) <= 1 && qAbs(ink.height() - whole.height()) <= 1,
                 qPrintable(QStringLiteral("%1 x %2 of %3 x %4 shown")
                                .arg(ink.width())
                                .arg(ink.height())
                                .arg(whole.width())
                                .arg(whole.height())));
        // with room around it, off the edge
        QVERIFY2((QRegion(ink.adjusted(-4, -4, 4, 4)) - inside).isEmpty(), qPrintable(text));
        const QRect iconBox = InkBox(image, inside, IsIcon);
        QCOMPARE(iconBox.isEmpty(), !icon);
        if (icon) {
            QCOMPARE(iconBox.width(), 32);
            QVERIFY2(iconBox.height() == 32 || (pixelSize < 10 && iconBox.height() >= 20),
                     qPrintable(QString::number(iconBox.height())));
            QVERIFY(iconBox.right() < ink.left());
        }
    }

    // Tips follow the pointer from control to control; the owner's icon shows unless a control
    // brought its own, and again for a tip asked for later. A press or a move off ends it for good.
    void registeredControls()
    {
        QWidget owner;
        owner.setGeometry(100, 100, 400, 200);
        auto* pFirst = new QPushButton(QStringLiteral("打开"), &owner);
        auto* pSecond = new QPushButton(QStringLiteral("删除"), &owner);
        pFirst->setGeometry(20, 20, 80, 30);
        pSecond->setGeometry(200, 20, 80, 30);
        CBalloonTip tip(&owner);
        tip.SetIcon(Icon32(Qt::blue));
        tip.AddTool(pFirst, QStringLiteral("第一个"));
        tip.AddTool(pFirst, QStringLiteral("直接打开选择的程序或文件"),
                    Icon32(Qt::red)); // replaces the first
        tip.AddTool(pSecond, QStringLiteral("删除选中的事情"));
        owner.setMouseTracking(true);
        owner.installEventFilter(&tip);
        QVERIFY(ShowExposed(owner));
        if (QApplication::widgetAt(pFirst->mapToGlobal(QPoint(5, 5))) != pFirst)
            QSKIP("this platform cannot tell which window is under the pointer");

        for (int nRound = 0; nRound < 2; ++nRound) {
            QTest::mouseMove(pFirst, QPoint(10, 10 + nRound));
            QVERIFY(ShownSoon(tip));
            QCOMPARE(tip.GetText(), QStringLiteral("直接打开选择的程序或文件"));
            QCOMPARE(tip.GetShowPoint(), pFirst->mapToGlobal(QPoint(10, 10 + nRound)));
            QCOMPARE(IconColour(tip), QColor(Qt::red));
            QTest::mouseMove(pSecond, QPoint(30, 12 + nRound));
            QTRY_COMPARE(tip.GetText(), QStringLiteral("删除选中的事情")); // the move may come queued
            QTRY_VERIFY(PointsAt(tip, pSecond->mapToGlobal(QPoint(30, 12 + nRound))));
            QCOMPARE(IconColour(tip), QColor(Qt::blue));

            QTest::mouseMove(&owner, QPoint(300, 150));
            QVERIFY(!tip.isVisible());
            tip.ShowAt(QStringLiteral("点击设置校历"), owner.mapToGlobal(QPoint(300, 150)));
            QVERIFY(ShownSoon(tip));
            QCOMPARE(IconColour(tip), QColor(Qt::blue));
            QTest::mouseMove(&owner, QPoint(310, 160));
            QVERIFY(!tip.isVisible());
        }

        QTest::mousePress(pSecond, Qt::LeftButton, {}, QPoint(30, 12));
        QVERIFY(!tip.isVisible());
        QTest::mouseRelease(pSecond, Qt::LeftButton, {}, QPoint(30, 12));
        QTest::mouseMove(pFirst, QPoint(12, 12));
        QVERIFY(ShownSoon(tip));
        QTest::mouseMove(&owner, QPoint(350, 150)); // off the controls
        QVERIFY(!tip.isVisible());
        QTest::qWait(2 * CBalloonTip::kShowDelayMs);
        QVERIFY(!tip.isVisible());
    }
};

QTEST_MAIN(TestBalloonTip)
#include "tst_balloontip.moc"
