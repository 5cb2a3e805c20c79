#include "reminder/AlertShape.h"

#include <QList>

QRegion AlertShape(const QImage& shape)
{
    const QImage img = shape.convertToFormat(QImage::Format_RGB32);
    // One rectangle per run of non-black pixels, row by row, left to right: that is already the
    // banded order a region is made of, so setRects takes them without sorting or merging.
    QList<QRect> runs;
    for (int y = 0; y < img.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(img.constScanLine(y));
        int x = 0;
        while (x < img.width()) {
            while (x < img.width() && (line[x] & 0xFFFFFF) == 0)
                ++x;
            const int start = x;
            while (x < img.width() && (line[x] & 0xFFFFFF) != 0)
                ++x;
            if (x > start)
                runs.append(QRect(start, y, x - start, 1));
        }
    }
    QRegion region;
    region.setRects(runs.constData(), int(runs.size()));
    return region;
}
