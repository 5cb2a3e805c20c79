#pragma once

#include <QImage>
#include <QRegion>

/// The region of a shaped window: every pixel of \a shape except the pure black ones
/// (RGB 0, 0, 0), which become holes that the desktop shows through.
QRegion AlertShape(const QImage& shape);
