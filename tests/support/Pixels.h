#pragma once

#include <QColor>
#include <QImage>
#include <QRegion>
#include <functional>

/// The bounding box of the pixels of \a image within \a area that \a ink accepts; empty when none.
inline QRect InkBox(const QImage& image, const QRegion& area, const std::function<bool(const QColor&)>& ink)
{
    QRect box;
    for (const QRect& r : area)
        for (int y = r.top(); y <= r.bottom(); ++y)
            for (int x = r.left(); x <= r.right(); ++x)
                if (image.valid(x, y) && ink(image.pixelColor(x, y)))
                    box |= QRect(x, y, 1, 1);
    return box;
}
