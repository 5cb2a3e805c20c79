#include "controls/BalloonTip.h"

#include <QApplication>
#include <QPushButton>
#include <QTest>

namespace {

QIcon Icon32()
{
    QPixmap pixmap(32, 32);
    pixmap.fill(Qt::blue);
    return QIcon(pixmap);
}

const QString kThreeLines = QStringLiteral("课程名称:高等数学\n课程学分:4.00\n上课地点:教一201");

} // namespace

class TestBalloonTip : public QObject
{
    Q_OBJECT

private slots:
    void boxGeometry_data();
    void boxGeometry();
    void iconMovesTextAndKeepsBoxTall();
    void staysWhilePointerRests();
    void relayedMovesFollowRegisteredControls();
};

void TestBalloonTip::boxGeometry_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("lines");
    QTest::addColumn<bool>("icon");
    QTest::addColumn<int>("textX");

    QTest::newRow("one line") << QStringLiteral("点击设置校历") << 1 << false << 12;
    QTest::newRow("three lines") << kThreeLines << 3 << false << 12;
    QTest::newRow("three lines with icon") << kThreeLines << 3 << true << 12 + 32 + 5;
    QTest::newRow("two lines with icon")
        << QStringLiteral("课程名请不要超过5个汉字\n超过请简化") << 2 << true << 12 + 32 + 5;
}

void TestBalloonTip::boxGeometry()
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
    QFETCH(int, textX);
    QCOMPARE(tip.GetTextOrigin(), QPoint(textX, 10));

    // Each line as high as the first one measured alone, plus 10 pixels above and below.
    const QSize box = tip.GetBoxSize();
    const int nLineHeight =
        QFontMetrics(tip.font())
            .boundingRect(QRect(0, 0, 10000, 1000), Qt::AlignLeft | Qt::AlignTop, text.section(u'\n', 0, 0))
            .height();
    QCOMPARE(box.height(), lines * nLineHeight + 20);

    QVERIFY(!tip.isVisible()); // not before its delay
    QTRY_VERIFY(tip.isVisible());
    // The tail adds 25 pixels below the box, and its tip lies 10 pixels left of and above the
    // pointer.
    QCOMPARE(tip.geometry(),
             QRect(pt.x() - box.width() + 2, pt.y() - box.height() - 25, box.width(), box.height() + 25));
    const QRegion shape = tip.mask();
    const int w = box.width();
    const int h = box.height();
    QVERIFY(shape.contains(QPoint(w / 2, h / 2)));
    QVERIFY(shape.contains(QPoint(w - 13, h + 12)));
    QCOMPARE(tip.mapToGlobal(QPoint(w - 12, h + 15)), pt - QPoint(10, 10));
    QVERIFY(!shape.contains(QPoint(w - 30, h + 10)));
    QVERIFY(!shape.contains(QPoint(2, h + 5)));
    QVERIFY(!shape.contains(QPoint(w - 5, h + 20)));
}

void TestBalloonTip::iconMovesTextAndKeepsBoxTall()
{
    CBalloonTip tip;
    QFont tiny = tip.font();
    tiny.setPixelSize(4);
    tip.setFont(tiny);
    tip.ShowAt(QStringLiteral("x"), QPoint(100, 100));
    const QSize plain = tip.GetBoxSize();
    QVERIFY(plain.height() < 32);

    tip.SetIcon(Icon32());
    QCOMPARE(tip.GetBoxSize().height(), 32);
    QCOMPARE(tip.GetBoxSize().width(), plain.width() + 32 + 5);

    tip.SetIcon(QIcon());
    QCOMPARE(tip.GetBoxSize(), plain);
    QCOMPARE(tip.GetTextOrigin().x(), 12);
}

void TestBalloonTip::staysWhilePointerRests()
{
    const QPoint pt(320, 240);
    QCursor::setPos(pt);
    if (QCursor::pos() != pt)
        QSKIP("this platform cannot place the pointer");
    CBalloonTip tip;
    tip.ShowAt(QStringLiteral("点击增加要做的事情"));
    QCOMPARE(tip.GetShowPoint(), pt);
    QTRY_VERIFY(tip.isVisible());
    QTest::qWait(CBalloonTip::kCheckPeriodMs + 300); // at least one check found the pointer still
    QVERIFY(tip.isVisible());

    QCursor::setPos(pt + QPoint(1, 0));
    QTRY_VERIFY_WITH_TIMEOUT(!tip.isVisible(), CBalloonTip::kCheckPeriodMs + 500);
}

void TestBalloonTip::relayedMovesFollowRegisteredControls()
{
    QWidget owner;
    owner.setGeometry(100, 100, 400, 200);
    auto* pFirst = new QPushButton(QStringLiteral("打开"), &owner);
    pFirst->setGeometry(20, 20, 80, 30);
    auto* pSecond = new QPushButton(QStringLiteral("删除"), &owner);
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
    QTRY_COMPARE(tip.geometry().bottomRight() + QPoint(1, 1),
                 pSecond->mapToGlobal(QPoint(30, 12)) + QPoint(2, 0));
    QVERIFY(tip.isVisible());
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

QTEST_MAIN(TestBalloonTip)
#include "tst_balloontip.moc"
