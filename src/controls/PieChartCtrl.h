#pragma once

#include <QBrush>
#include <QColor>
#include <QFont>
#include <QList>
#include <QPoint>
#include <QRect>
#include <QString>
#include <QWidget>

/// One slice of a CPieChartCtrl.
struct PieChartPiece
{
    QColor m_crFill;
    QColor m_crText; ///< colour of the percentage drawn on the slice
    QBrush m_brush;
    int m_nDegrees = 0;
    QString m_strLabel; ///< legend text; no legend entry when empty
};

/// A titled pie chart with a legend and percentage labels. Angle 0 points straight up and
/// angles grow clockwise; dragging with the left button turns the pie one degree per pixel.
class CPieChartCtrl : public QWidget
{
    Q_OBJECT

public:
    explicit CPieChartCtrl(QWidget* parent = nullptr);
    ~CPieChartCtrl() override;

    void SetTitle(const QString& strTitle);
    QString GetTitle() const { return m_strTitle; }
    /// Appends a slice of \a nDegrees whole degrees; slices follow each other clockwise.
    bool AddPiece(const QColor& crFill, const QColor& crText, int nDegrees, const QString& strLabel);
    void RemoveAllPieces();
    const QList<PieChartPiece>& GetPieces() const { return m_pieces; }

    int GetStartAngle() const { return m_nStartAngle; }
    /// The square that bounds the disc.
    QRect GetPieRect() const { return m_rcPie; }
    int GetTitleHeight() const { return m_nTitleHeight; }
    /// The point at \a nAngle degrees on the circle, or on a smaller circle of
    /// \a dRadiusFactor times the radius.
    QPoint GetPointOnCircle(int nAngle, double dRadiusFactor = 1.0) const;
    /// The share of a full turn that \a nDegrees is, as the slices show it ("7%" for 26).
    static QString PercentText(int nDegrees);

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void RecalcLayout();
    void DrawChart(QPainter& painter);
    void DrawLegend(QPainter& painter, const PieChartPiece& piece, int nTop);

    int m_nStartAngle = 0;
    QColor m_crBase{255, 255, 0};
    QColor m_crLine{0, 0, 0};
    QList<PieChartPiece> m_pieces;
    int m_nTitleHeight = 0;
    QFont m_fontTitle;
    QFont m_fontLabel;
    QString m_strTitle;
    QPoint m_ptLast;
    bool m_bDragging = false;
    QRect m_rcPie;
    QRect m_rcLegend; ///< the legend's boxes and labels together, kept clear of the disc
};
