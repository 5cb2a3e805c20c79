#pragma once

class QPainter;
class QPixmap;
class QWidget;

/// Paints a dialog's background picture unscaled at the top-left corner, over an area the size
/// of \a window (a picture smaller than the window leaves the rest as it was).
void DrawBackgroundBitmap(QPainter& painter, const QPixmap& bitmap, const QWidget* window);
