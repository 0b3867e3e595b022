#include "platform/draw/PatternBrush.h"

#include <QImage>
#include <QPainter>
#include <QTransform>

namespace platform {

bool PatternPixelIsForeground(const PatternRows& rows, QPoint origin, int x, int y)
{
    const int px = ((x - origin.x()) % 8 + 8) % 8;
    const int py = ((y - origin.y()) % 8 + 8) % 8;
    return ((rows[size_t(py)] >> (7 - px)) & 1) == 0;
}

void FillPatternRect(Canvas& canvas, const Rect& r, const PatternRows& rows, QPoint origin, Color foreground,
                     Color background)
{
    if (r.isEmpty())
        return;
    canvas.log(QStringLiteral("fillPatternRect %1 %2 %3").arg(logRect(r), logColor(foreground), logColor(background)));
    QPainter& p = canvas.painter();
    if (!p.isActive())
        return;
    // Where the rectangle lands on the device decides the pattern's phase.
    const QPoint device = p.worldTransform().map(QPoint(r.left, r.top));
    const QRgb fore = toQColor(foreground).rgb();
    const QRgb back = toQColor(background).rgb();
    QImage image(r.width(), r.height(), QImage::Format_RGB32);
    for (int y = 0; y < r.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < r.width(); ++x)
            line[x] = PatternPixelIsForeground(rows, origin, device.x() + x, device.y() + y) ? fore : back;
    }
    p.drawImage(QPoint(r.left, r.top), image);
}

} // namespace platform
