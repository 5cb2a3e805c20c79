#include "controls/PieChartCtrl.h"

#include <QTest>
#include <cmath>

using Pieces = QList<QPair<QColor, int>>;

namespace {

const QColor kYellow(255, 255, 0);
const QColor kRed(255, 0, 0);
const QColor kBlue(0, 0, 255);
const QColor kGreen(0, 160, 0);

QImage Picture(CPieChartCtrl& pie)
{
    return pie.grab().toImage();
}

// The pixel at an angle (0 up, clockwise) and a fraction of the radius, measured here
// independently of the control's own arithmetic.
QPoint Probe(const CPieChartCtrl& pie, double dAngle, double dFraction)
{
    const QRectF rc = pie.GetPieRect();
    const double r = rc.width() / 2 * dFraction;
    const double a = dAngle * M_PI / 180;
    return QPointF(rc.center().x() + r * std::sin(a), rc.center().y() - r * std::cos(a)).toPoint();
}

// Bounding box of the pixels inside \a area that \a ink accepts.
template <typename Ink> QRect InkBox(const QImage& image, const QRect& area, Ink ink)
{
    QRect box;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (image.valid(x, y) && ink(image.pixelColor(x, y)))
                box |= QRect(x, y, 1, 1);
    return box;
}

QRect InkBox(const QImage& image, const QRect& area, const QColor& cr)
{
    return InkBox(image, area, [cr](const QColor& c) { return c == cr; });
}

void Drag(CPieChartCtrl& pie, const QList<int>& steps)
{
    QPoint pt(20, pie.height() / 2);
    QTest::mousePress(&pie, Qt::LeftButton, {}, pt);
    for (int dx : steps) {
        pt.rx() += dx;
        QMouseEvent move(QEvent::MouseMove, pt, pie.mapToGlobal(pt), Qt::NoButton, Qt::LeftButton, {});
        QApplication::sendEvent(&pie, &move);
    }
    QTest::mouseRelease(&pie, Qt::LeftButton, {}, pt);
}

} // namespace

class TestPieChartCtrl : public QObject
{
    Q_OBJECT

private slots:
    void layout_data();
    void layout();
    void pointOnCircle_data();
    void pointOnCircle();
    void slices_data();
    void slices();
    void percentLabels_data();
    void percentLabels();
    void zeroSliceAndLegend();
    void drag_data();
    void drag();
    void dragShowsTheTurnModulo360();
};

void TestPieChartCtrl::layout_data()
{
    QTest::addColumn<QSize>("size");
    QTest::addColumn<QString>("title");

    QTest::newRow("wide, no title") << QSize(300, 200) << QString();
    QTest::newRow("tall, no title") << QSize(200, 300) << QString();
    QTest::newRow("wide, with title") << QSize(300, 200) << QStringLiteral("事情状态统计");
    QTest::newRow("narrow, with title") << QSize(150, 300) << QStringLiteral("事情状态统计");
}

void TestPieChartCtrl::layout()
{
    QFETCH(QSize, size);
    QFETCH(QString, title);

    CPieChartCtrl pie;
    pie.resize(size);
    pie.SetTitle(title);
    pie.show();
    QVERIFY(QTest::qWaitForWindowExposed(&pie));

    const QRect rc = pie.GetPieRect();
    QCOMPARE(rc.width(), rc.height());
    QCOMPARE(rc.bottom(), size.height() - 1);
    QVERIFY(qAbs(rc.left() - (size.width() - rc.right() - 1)) <= 1);
    const QImage image = Picture(pie);
    const QRect titleStrip(0, 0, size.width(), qMax(1, pie.GetTitleHeight()) + 1);
    if (title.isEmpty()) {
        QCOMPARE(pie.GetTitleHeight(), 0);
        QCOMPARE(rc.width(), qMin(size.width(), size.height()));
        QVERIFY(InkBox(image, titleStrip, kBlue).isEmpty());
    } else {
        QVERIFY(pie.GetTitleHeight() > 10);
        QCOMPARE(rc.width(), qMin(size.width(), size.height() - 2 * pie.GetTitleHeight()));
        // The title is drawn in blue at the top left, clear of the disc.
        const QRect ink = InkBox(image, titleStrip, kBlue);
        QVERIFY(!ink.isEmpty());
        QVERIFY(ink.left() < 10);
        QVERIFY(ink.bottom() < rc.top());
    }
}

void TestPieChartCtrl::pointOnCircle_data()
{
    QTest::addColumn<int>("angle");
    QTest::addColumn<double>("factor");
    QTest::addColumn<double>("expectedAngle"); // where it must land, 0 up and clockwise

    QTest::newRow("0 is straight up") << 0 << 1.0 << 0.0;
    QTest::newRow("90 is right") << 90 << 1.0 << 90.0;
    QTest::newRow("180 is down") << 180 << 1.0 << 180.0;
    QTest::newRow("270 is left") << 270 << 1.0 << 270.0;
    QTest::newRow("30 is right of up") << 30 << 1.0 << 30.0;
    QTest::newRow("negative") << -90 << 1.0 << 270.0;
    QTest::newRow("far negative") << -800 << 1.0 << 280.0;
    QTest::newRow("past a full turn") << 450 << 1.0 << 90.0;
    QTest::newRow("several turns") << 1079 << 1.0 << 359.0;
    QTest::newRow("label radius") << 45 << 0.6 << 45.0;
}

void TestPieChartCtrl::pointOnCircle()
{
    QFETCH(int, angle);
    QFETCH(double, factor);
    QFETCH(double, expectedAngle);

    CPieChartCtrl pie;
    pie.resize(241, 201);
    pie.show();
    QVERIFY(QTest::qWaitForWindowExposed(&pie));
    const QPoint pt = pie.GetPointOnCircle(angle, factor);
    const QPoint expected = Probe(pie, expectedAngle, factor);
    QVERIFY2((pt - expected).manhattanLength() <= 2, qPrintable(QStringLiteral("(%1, %2) instead of (%3, %4)")
                                                                    .arg(pt.x())
                                                                    .arg(pt.y())
                                                                    .arg(expected.x())
                                                                    .arg(expected.y())));
}

void TestPieChartCtrl::slices_data()
{
    QTest::addColumn<Pieces>("pieces");
    QTest::addColumn<double>("probeAngle");
    QTest::addColumn<QColor>("expected");

    const Pieces quarter{{kRed, 90}};
    QTest::newRow("first slice starts at the top") << quarter << 45.0 << kRed;
    QTest::newRow("and turns clockwise") << quarter << 315.0 << kYellow;
    QTest::newRow("rest of the disc stays yellow") << quarter << 180.0 << kYellow;
    const Pieces two{{kRed, 90}, {kBlue, 120}};
    QTest::newRow("second slice follows the first") << two << 150.0 << kBlue;
    QTest::newRow("first slice unchanged") << two << 80.0 << kRed;
    QTest::newRow("past both slices") << two << 250.0 << kYellow;
    const Pieces wrapped{{kYellow, 300}, {kGreen, 100}};
    QTest::newRow("a slice may cross the top") << wrapped << 20.0 << kGreen;
    QTest::newRow("no slice") << Pieces{} << 10.0 << kYellow;
    // Start and end meet for a whole turn: the slice is the whole disc, not nothing.
    QTest::newRow("whole turn fills the disc") << Pieces{{kRed, 360}} << 200.0 << kRed;
    QTest::newRow("whole turn after nothing") << Pieces{{kBlue, 0}, {kRed, 360}} << 10.0 << kRed;
}

void TestPieChartCtrl::slices()
{
    QFETCH(Pieces, pieces);
    QFETCH(double, probeAngle);
    QFETCH(QColor, expected);

    CPieChartCtrl pie;
    pie.resize(240, 240);
    for (const auto& [cr, degrees] : pieces)
        pie.AddPiece(cr, Qt::white, degrees, QString());
    pie.show();
    QVERIFY(QTest::qWaitForWindowExposed(&pie));
    // Away from the centre lines and the percentage labels at 0.6 of the radius.
    QCOMPARE(Picture(pie).pixelColor(Probe(pie, probeAngle, 0.85)), expected);
}

void TestPieChartCtrl::percentLabels_data()
{
    QTest::addColumn<int>("degrees");
    QTest::addColumn<QString>("label"); // empty: none

    QTest::newRow("one degree") << 1 << QString();
    QTest::newRow("25 degrees") << 25 << QString();
    QTest::newRow("26 degrees") << 26 << QStringLiteral("7%");
    QTest::newRow("a quarter") << 90 << QStringLiteral("25%");
    QTest::newRow("a third, cut to 119") << 119 << QStringLiteral("33%");
    QTest::newRow("rounds up") << 205 << QStringLiteral("57%");
    QTest::newRow("most of it") << 359 << QStringLiteral("100%");
}

void TestPieChartCtrl::percentLabels()
{
    QFETCH(int, degrees);
    QFETCH(QString, label);

    CPieChartCtrl pie;
    pie.resize(260, 260);
    pie.AddPiece(kRed, Qt::white, degrees, QString());
    pie.show();
    QVERIFY(QTest::qWaitForWindowExposed(&pie));

    const QPoint centre = Probe(pie, degrees / 2, 0.6);
    const QImage image = Picture(pie);
    // White text is the only thing with blue in it on a red, yellow and black pie, even
    // where its edges are blended into the background.
    const QRect ink = InkBox(image, QRect(centre - QPoint(40, 20), QSize(81, 41)),
                             [](const QColor& c) { return c.blue() > 60; });
    if (label.isEmpty()) {
        QVERIFY(ink.isEmpty());
        return;
    }
    QCOMPARE(CPieChartCtrl::PercentText(degrees), label);
    // The white text sits centred on the point at the middle of the slice, as wide as the
    // label in the 14-pixel label font.
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(14);
    const int nWidth = QFontMetrics(font).tightBoundingRect(label).width();
    QVERIFY(!ink.isEmpty());
    QVERIFY2(qAbs(ink.width() - nWidth) <= 2,
             qPrintable(QStringLiteral("%1 for %2").arg(ink.width()).arg(nWidth)));
    QVERIFY(qAbs(ink.center().x() - centre.x()) <= 3);
    QVERIFY(qAbs(ink.center().y() - centre.y()) <= 4);
}

void TestPieChartCtrl::zeroSliceAndLegend()
{
    CPieChartCtrl pie;
    pie.resize(300, 240);
    pie.AddPiece(kBlue, Qt::white, 0, QStringLiteral("已推迟率"));
    pie.AddPiece(kGreen, Qt::white, 0, QString()); // no label: no legend entry
    pie.AddPiece(kRed, Qt::white, 0, QStringLiteral("未完成率"));
    pie.show();
    QVERIFY(QTest::qWaitForWindowExposed(&pie));
    const QImage image = Picture(pie);
    const QRect rc = pie.GetPieRect();

    // No sector anywhere, but a boundary line from the centre straight up.
    for (double angle : {5.0, 90.0, 200.0, 355.0})
        QCOMPARE(image.pixelColor(Probe(pie, angle, 0.85)), kYellow);
    const int x = pie.GetPointOnCircle(0).x();
    for (int y = rc.top() + 10; y < rc.center().y() - 5; y += 7)
        QCOMPARE(image.pixelColor(x, y), QColor(0, 0, 0));

    // Legend boxes stack down from the top right corner, one per labelled slice, with the
    // label in the slice's colour to their left.
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(14);
    const int h =
        QFontMetrics(font).boundingRect(QRect(), Qt::TextSingleLine, QStringLiteral("已推迟率")).height();
    QCOMPARE(image.pixelColor(pie.width() - h / 2, h / 2), kBlue);
    QCOMPARE(image.pixelColor(pie.width() - h / 2, h + h / 2), kRed);
    QVERIFY(image.pixelColor(pie.width() - h / 2, 2 * h + h / 2) != kGreen);
    const QRect blueText = InkBox(image, QRect(0, 0, pie.width() - h, h), kBlue);
    const QRect redText = InkBox(image, QRect(0, h, pie.width() - h, h), kRed);
    QVERIFY(!blueText.isEmpty());
    QVERIFY(!redText.isEmpty());
    QVERIFY(blueText.right() <= pie.width() - h - 3);
    QVERIFY(blueText.right() >= pie.width() - h - 6);
}

void TestPieChartCtrl::drag_data()
{
    QTest::addColumn<QList<int>>("steps");
    QTest::addColumn<int>("angle");

    QTest::newRow("400 pixels right") << QList<int>{50, 50, 100, 100, 100} << 400;
    QTest::newRow("left turns back") << QList<int>{-30} << -30;
    QTest::newRow("there and back") << QList<int>{60, -25} << 35;
    QTest::newRow("a click alone") << QList<int>{} << 0;
}

void TestPieChartCtrl::drag()
{
    QFETCH(QList<int>, steps);
    CPieChartCtrl pie;
    pie.resize(240, 240);
    pie.show();
    QVERIFY(QTest::qWaitForWindowExposed(&pie));
    Drag(pie, steps);
    QTEST(pie.GetStartAngle(), "angle");

    // Once the button is up, moving the mouse turns nothing.
    QMouseEvent move(QEvent::MouseMove, QPointF(200, 100), pie.mapToGlobal(QPointF(200, 100)), Qt::NoButton,
                     Qt::NoButton, {});
    QApplication::sendEvent(&pie, &move);
    QTEST(pie.GetStartAngle(), "angle");
}

void TestPieChartCtrl::dragShowsTheTurnModulo360()
{
    auto make = [](CPieChartCtrl& pie) {
        pie.resize(240, 240);
        pie.AddPiece(kRed, Qt::white, 100, QStringLiteral("未完成率"));
        pie.AddPiece(kBlue, Qt::white, 60, QStringLiteral("已完成率"));
        pie.show();
        return QTest::qWaitForWindowExposed(&pie);
    };
    CPieChartCtrl turned400, turned40, still;
    QVERIFY(make(turned400));
    QVERIFY(make(turned40));
    QVERIFY(make(still));
    Drag(turned400, {100, 100, 100, 100});
    Drag(turned40, {40});
    QCOMPARE(turned400.GetStartAngle(), 400);
    QCOMPARE(Picture(turned400), Picture(turned40));
    QVERIFY(Picture(turned400) != Picture(still));
    // The red slice now starts 40 degrees right of the top (probed below the legend).
    QCOMPARE(Picture(turned400).pixelColor(Probe(turned400, 30, 0.5)), kYellow);
    QCOMPARE(Picture(turned400).pixelColor(Probe(turned400, 50, 0.5)), kRed);
    QCOMPARE(Picture(turned400).pixelColor(Probe(turned400, 170, 0.85)), kBlue);
}

QTEST_MAIN(TestPieChartCtrl)
#include "tst_piechartctrl.moc"
