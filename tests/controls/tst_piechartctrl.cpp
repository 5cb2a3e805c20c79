#include "Pixels.h"
#include "WidgetDriver.h"
#include "controls/PieChartCtrl.h"

#include <cmath>

using Pieces = QList<QPair<QColor, int>>;

namespace {

const QColor kYellow(255, 255, 0), kRed(255, 0, 0), kBlue(0, 0, 255), kGreen(0, 160, 0);

// The pixel at an angle (0 up, clockwise) and a fraction of the radius.
QPoint Probe(const CPieChartCtrl& pie, double dAngle, double dFraction)
{
    const QRectF rc = pie.GetPieRect();
    const double r = rc.width() / 2 * dFraction, a = dAngle * M_PI / 180;
    return QPointF(rc.center().x() + r * std::sin(a), rc.center().y() - r * std::cos(a)).toPoint();
}

std::function<bool(const QColor&)> Is(const QColor& cr)
{
    return [cr](const QColor& c) { return c == cr; };
}

bool Show(CPieChartCtrl& pie, const QSize& size, const Pieces& pieces = {})
{
    pie.resize(size);
    for (const auto& [cr, degrees] : pieces)
        pie.AddPiece(cr, Qt::white, degrees, QString());
    return ShowExposed(pie);
}

} // namespace

class TestPieChartCtrl : public QObject
{
    Q_OBJECT

private slots:

    void slices_data()
    {
        QTest::addColumn<Pieces>("pieces");
        QTest::addColumn<double>("probeAngle");
        QTest::addColumn<QColor>("expected");

        const Pieces two{{kRed, 90}, {kBlue, 120}};
        QTest::newRow("first slice starts at the top") << two << 45.0 << kRed;
        QTest::newRow("and turns clockwise") << two << 315.0 << kYellow;
        QTest::newRow("second slice follows the first") << two << 150.0 << kBlue;
        QTest::newRow("a slice may cross the top") << Pieces{{kYellow, 300}, {kGreen, 100}} << 20.0 << kGreen;
        QTest::newRow("whole turn fills the disc") << Pieces{{kRed, 360}} << 200.0 << kRed;
        QTest::newRow("whole turn after nothing") << Pieces{{kBlue, 0}, {kRed, 360}} << 10.0 << kRed;
    }

    void slices()
    {
        QFETCH(Pieces, pieces);
        QFETCH(double, probeAngle);
        CPieChartCtrl pie;
        QVERIFY(Show(pie, QSize(300, 240), pieces));
        QCOMPARE(pie.GetPieRect(), QRect(30, 0, 240, 240)); // no title: the whole height, centred across
        // Away from the centre lines and the percentage labels at 0.6 of the radius.
        QTEST(pie.grab().toImage().pixelColor(Probe(pie, probeAngle, 0.85)), "expected");
    }

    void percentLabels_data()
    {
        QTest::addColumn<int>("degrees");
        QTest::addColumn<QString>("label"); // empty: none
        QTest::newRow("25 degrees") << 25 << QString();
        QTest::newRow("26 degrees") << 26 << QStringLiteral("7%");
        QTest::newRow("a third, cut to 119") << 119 << QStringLiteral("33%");
        QTest::newRow("rounds up") << 205 << QStringLiteral("57%");
        QTest::newRow("most of it") << 359 << QStringLiteral("100%");
    }

    void percentLabels()
    {
        QFETCH(int, degrees);
        QFETCH(QString, label);
        CPieChartCtrl pie;
        QVERIFY(Show(pie, QSize(260, 260), {{kRed, degrees}}));

        // White text is the only thing with blue in it on a red, yellow and black pie.
        const QPoint centre = Probe(pie, degrees / 2, 0.6);
        const QRect ink = InkBox(pie.grab().toImage(), QRect(centre - QPoint(40, 20), QSize(81, 41)),
                                 [](const QColor& c) { return c.blue() > 60; });
        if (label.isEmpty()) {
            QVERIFY(ink.isEmpty());
            return;
        }
        QCOMPARE(CPieChartCtrl::PercentText(degrees), label);
        // Centred on the middle of the slice, as wide as the label in the 14-pixel font.
        QFont font(QStringLiteral("Arial"));
        font.setPixelSize(14);
        const int nWidth = QFontMetrics(font).tightBoundingRect(label).width();
        QVERIFY2(qAbs(ink.width() - nWidth) <= 2,
                 qPrintable(QStringLiteral("%1 for %2").arg(ink.width()).arg(nWidth)));
        QVERIFY(qAbs(ink.center().x() - centre.x()) <= 3);
        QVERIFY(qAbs(ink.center().y() - centre.y()) <= 4);
    }

    void zeroSliceAndLegend()
    {
        CPieChartCtrl pie;
        pie.AddPiece(kBlue, Qt::white, 0, QStringLiteral("已推迟率"));
        pie.AddPiece(kGreen, Qt::white, 0, QString()); // no label: no legend entry
        pie.AddPiece(kRed, Qt::white, 0, QStringLiteral("未完成率"));
        QVERIFY(Show(pie, QSize(300, 240)));
        const QImage image = pie.grab().toImage();
        const QRect rc = pie.GetPieRect();

        // No sector anywhere, but a boundary line from the centre straight up.
        for (double angle : {5.0, 90.0, 200.0, 355.0})
            QCOMPARE(image.pixelColor(Probe(pie, angle, 0.85)), kYellow);
        const int x = pie.GetPointOnCircle(0).x();
        for (int y = rc.top() + 10; y < rc.center().y() - 5; y += 7)
            QCOMPARE(image.pixelColor(x, y), QColor(0, 0, 0));

        // Legend boxes down from the top right, the label in the slice's colour to their left.
        QFont font(QStringLiteral("Arial"));
        font.setPixelSize(14);
        const int h =
            QFontMetrics(font).boundingRect(QRect(), Qt::TextSingleLine, QStringLiteral("已推迟率")).height();
        const int w = pie.width();
        QCOMPARE(image.pixelColor(w - h / 2, h / 2), kBlue);
        QCOMPARE(image.pixelColor(w - h / 2, h + h / 2), kRed);
        QVERIFY(image.pixelColor(w - h / 2, 2 * h + h / 2) != kGreen);
        const QRect blueText = InkBox(image, QRect(0, 0, w - h, h), Is(kBlue));
        QVERIFY(!InkBox(image, QRect(0, h, w - h, h), Is(kRed)).isEmpty());
        QVERIFY(!blueText.isEmpty() && blueText.right() <= w - h - 3 && blueText.right() >= w - h - 6);
    }

    void drag_data()
    {
        QTest::addColumn<QList<int>>("steps");
        QTest::addColumn<int>("angle");
        QTest::newRow("400 pixels right") << QList<int>{50, 50, 100, 100, 100} << 400;
        QTest::newRow("there and back") << QList<int>{60, -25} << 35;
        QTest::newRow("left turns back") << QList<int>{-30} << -30;
    }

    void drag()
    {
        QFETCH(QList<int>, steps);
        QFETCH(int, angle);
        const Pieces pieces{{kRed, 100}, {kBlue, 60}};
        CPieChartCtrl pie, turned;
        QVERIFY(Show(pie, QSize(240, 240), pieces));
        QVERIFY(Show(turned, QSize(240, 240), pieces));
        QPoint pt(20, pie.height() / 2);
        QTest::mousePress(&pie, Qt::LeftButton, {}, pt);
        for (int dx : steps) {
            pt.rx() += dx;
            QMouseEvent move(QEvent::MouseMove, pt, pie.mapToGlobal(pt), Qt::NoButton, Qt::LeftButton, {});
            QApplication::sendEvent(&pie, &move);
        }
        QTest::mouseRelease(&pie, Qt::LeftButton, {}, pt);
        QCOMPARE(pie.GetStartAngle(), angle);

        QMouseEvent move(QEvent::MouseMove, QPointF(200, 100), pie.mapToGlobal(QPointF(200, 100)),
                         Qt::NoButton, Qt::NoButton, {});
        QApplication::sendEvent(&pie, &move);
        QCOMPARE(pie.GetStartAngle(), angle);

        // The picture shows the turn modulo 360 (probed inside the legend's reach).
        const int a = ((angle % 360) + 360) % 360;
        const QImage image = pie.grab().toImage();
        QCOMPARE(image.pixelColor(Probe(pie, a - 10, 0.5)), kYellow);
        QCOMPARE(image.pixelColor(Probe(pie, a + 10, 0.5)), kRed);
        QCOMPARE(image.pixelColor(Probe(pie, a + 130, 0.85)), kBlue);
        QVERIFY(image != turned.grab().toImage());
    }

    void titledLayout_data()
    {
        QTest::addColumn<QSize>("size");
        QTest::addColumn<int>("legends"); // how many of the statistics window's slices are labelled
        QTest::newRow("wide") << QSize(300, 240) << 3;
        QTest::newRow("its own size") << CPieChartCtrl().sizeHint() << 3;
        QTest::newRow("square") << QSize(240, 240) << 3;
        QTest::newRow("tall") << QSize(200, 260) << 3;
        QTest::newRow("narrow") << QSize(170, 220) << 3;
        QTest::newRow("low and wide") << QSize(420, 150) << 3;
        QTest::newRow("title only") << QSize(240, 240) << 0;
    }

    // Slices of no degrees leave the disc plain yellow with one black radius, so the title's and
    // the legend's colours only turn up inside it when they overlap it.
    void titledLayout()
    {
        QFETCH(QSize, size);
        QFETCH(int, legends);
        const QColor purple(160, 0, 200);
        const QList<QColor> colours = {kRed, kGreen, purple};
        const QStringList labels = {QStringLiteral("未完成率"), QStringLiteral("已完成率"),
                                    QStringLiteral("已推迟率")};
        CPieChartCtrl pie;
        pie.SetTitle(QStringLiteral("事情状态统计"));
        for (int i = 0; i < legends; ++i)
            pie.AddPiece(colours[i], Qt::white, 0, labels[i]);
        QVERIFY(Show(pie, size));
        const QImage image = pie.grab().toImage();
        const QRect all = image.rect();

        const QRect rc = pie.GetPieRect();
        QVERIFY(all.contains(rc));
        QVERIFY(rc.width() == rc.height() && rc.width() >= qMin(size.width(), size.height()) / 2);
        // Pixels of a colour within the disc's edge (or a pixel beyond it, on its outline).
        const QPointF centre = QRectF(rc).center();
        const double dRadius = rc.width() / 2.0 + 1;
        const auto inDisc = [&](const QColor& cr) {
            for (int y = rc.top() - 1; y <= rc.bottom() + 1; ++y)
                for (int x = rc.left() - 1; x <= rc.right() + 1; ++x)
                    if (image.valid(x, y) && image.pixelColor(x, y) == cr &&
                        QLineF(centre, QPointF(x + 0.5, y + 0.5)).length() < dRadius)
                        return true;
            return false;
        };
        QCOMPARE(image.pixelColor(Probe(pie, 180, 0.5)), kYellow); // drawn where it is said to be

        const QRect title = InkBox(image, all, Is(kBlue));
        QVERIFY2(!title.isEmpty(), "no title drawn");
        QVERIFY(title.left() > 0 && title.top() > 0 && title.right() < all.right());
        QVERIFY2(!inDisc(kBlue), "the title runs into the disc");

        // Each legend entry clear of the disc, the title and the others, and whole in the control.
        QList<QRect> entries;
        for (int i = 0; i < legends; ++i) {
            const QRect entry = InkBox(image, all, Is(colours[i]));
            const QString name = labels[i];
            QVERIFY2(!entry.isEmpty(), qPrintable(name));
            QVERIFY2(entry.left() > 0 && entry.bottom() < all.bottom(), qPrintable(name));
            QVERIFY2(!inDisc(colours[i]), qPrintable(name + QStringLiteral(" runs into the disc")));
            QVERIFY2(!entry.intersects(title), qPrintable(name + QStringLiteral(" runs into the title")));
            for (const QRect& other : entries)
                QVERIFY2(!entry.intersects(other), qPrintable(name));
            entries << entry;
        }
    }
};

QTEST_MAIN(TestPieChartCtrl)
#include "tst_piechartctrl.moc"
