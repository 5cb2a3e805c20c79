#include "Shots.h"

#include <QApplication>
#include <QPainter>
#include <QWidget>
#include <cstdio>

void CShots::Save(QWidget& widget, const QString& name)
{
    widget.show();
    QApplication::processEvents();
    SaveAsIs(widget, name);
    widget.hide();
}

void CShots::SaveAsIs(QWidget& widget, const QString& name)
{
    Save(widget.grab().toImage(), name);
}

void CShots::Save(const QImage& image, const QString& name)
{
    const QString path = m_out.filePath(name + QStringLiteral(".png"));
    const bool bOk = !image.isNull() && image.save(path);
    std::printf("%s %s\n", bOk ? "wrote" : "FAILED", qUtf8Printable(path));
    m_bOk = m_bOk && bOk;
}

void CShots::SaveWithPopup(QWidget& window, QWidget& popup, const QString& name)
{
    const QRect windowRect = window.geometry();
    const QRect popupRect = popup.geometry();
    QImage image(windowRect.united(popupRect).size(), QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    const QPoint origin = windowRect.united(popupRect).topLeft();
    painter.drawPixmap(windowRect.topLeft() - origin, window.grab());
    // The pop-up's shape (a balloon with its tail) is cut by its mask.
    if (!popup.mask().isEmpty())
        painter.setClipRegion(popup.mask().translated(popupRect.topLeft() - origin));
    painter.drawPixmap(popupRect.topLeft() - origin, popup.grab());
    painter.end();
    Save(image, name);
}
