#include "controls/BackgroundBitmap.h"

#include <QPainter>
#include <QPixmap>
#include <QWidget>

void DrawBackgroundBitmap(QPainter& painter, const QPixmap& bitmap, const QWidget* window)
{
    const QRect area(QPoint(0, 0), window->size());
    painter.drawPixmap(area.topLeft(), bitmap, area.intersected(bitmap.rect()));
}
