#include "platform/draw/Canvas.h"

#include "platform/draw/TextFit.h"

#include <QFontMetrics>
#include <QPainter>
#include <QPainterPath>
#include <QPolygon>
#include <algorithm>
#include <cstdlib>

namespace platform {

// --- call log ---------------------------------------------------------------------------------

namespace {
CanvasCallLog* g_log = nullptr;
} // namespace

CanvasCallLog::CanvasCallLog()
    : m_previous(g_log)
{
    g_log = this;
}

CanvasCallLog::~CanvasCallLog() { g_log = m_previous; }

QString logRect(const Rect& r) { return QStringLiteral("%1,%2,%3,%4").arg(r.left).arg(r.top).arg(r.right).arg(r.bottom); }

QString logColor(Color c) { return ColorToString(c); }

namespace {
QString logPoints(std::span<const QPoint> points)
{
    QStringList parts;
    for (const QPoint& p : points)
        parts << QStringLiteral("%1,%2").arg(p.x()).arg(p.y());
    return parts.join(QLatin1Char(' '));
}

QString logPenBrush(const Pen& pen, const Brush& brush)
{
    return QStringLiteral("pen=%1 brush=%2")
        .arg(pen.style == PenStyle::Clear ? QStringLiteral("clear") : logColor(pen.color),
             brush.style == BrushStyle::Clear ? QStringLiteral("clear") : logColor(brush.color));
}
} // namespace

bool Canvas::logging() const { return g_log != nullptr && m_quiet == 0; }

void Canvas::log(const QString& line)
{
    if (logging())
        g_log->add(line);
}

// --- set-up -----------------------------------------------------------------------------------

namespace {

void setUpPainter(QPainter& p)
{
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setRenderHint(QPainter::TextAntialiasing, false);
    p.setRenderHint(QPainter::SmoothPixmapTransform, false);
    p.setCompositionMode(QPainter::CompositionMode_SourceOver);
}

const QImage* imageOf(QPaintDevice* device)
{
    if (device && device->devType() == QInternal::Image)
        return static_cast<const QImage*>(device);
    return nullptr;
}

} // namespace

Canvas::Canvas(QPaintDevice* device)
    : m_owned(std::make_unique<QPainter>(device))
    , m_painter(m_owned.get())
{
    init();
}

Canvas::Canvas(Bitmap& bitmap)
    : m_owned(std::make_unique<QPainter>())
    , m_painter(m_owned.get())
{
    if (!bitmap.isEmpty())
        m_painter->begin(&bitmap.image());
    init();
}

Canvas::Canvas(QPainter& painter)
    : m_painter(&painter)
{
    m_painter->save();
    if (m_painter->hasClipping())
        m_baseClip = m_painter->clipRegion();
    init();
}

void Canvas::init()
{
    if (!m_painter->isActive())
        return;
    setUpPainter(*m_painter);
    QPaintDevice* device = m_painter->device();
    m_image = imageOf(device);
    if (device)
        m_bounds = Rect{0, 0, device->width(), device->height()};
}

Canvas::~Canvas()
{
    if (m_owned) {
        if (m_owned->isActive())
            m_owned->end();
    } else {
        m_painter->restore();
    }
}

void Canvas::setBkMode(BkMode mode)
{
    m_bkTransparent = mode == BkMode::Transparent;
    m_bkBrush = m_brush;
}

BkMode Canvas::bkMode() const
{
    return (m_bkTransparent && m_bkBrush == m_brush) ? BkMode::Transparent : BkMode::Opaque;
}

bool Canvas::textBackgroundOpaque() const
{
    return m_brush.style == BrushStyle::Solid && m_brush.color != clNone && bkMode() == BkMode::Opaque;
}

// --- clipping and state -----------------------------------------------------------------------

Region Canvas::wholeSurface() const { return Region(m_bounds); }

void Canvas::applyClip()
{
    if (!m_painter->isActive())
        return;
    if (!m_clip && !m_baseClip) {
        m_painter->setClipping(false);
        return;
    }
    QRegion r = m_clip ? m_clip->qregion() : wholeSurface().qregion();
    if (m_baseClip)
        r = r.intersected(*m_baseClip);
    m_painter->setClipRegion(r);
}

void Canvas::selectClipRegion(const Region* region)
{
    if (logging())
        log(region ? QStringLiteral("selectClipRegion %1").arg(logRect(region->boundingRect())) : QStringLiteral("selectClipRegion none"));
    if (region)
        m_clip = *region;
    else
        m_clip.reset();
    applyClip();
}

void Canvas::combineClipRegion(const Region& region, RegionCombine mode)
{
    if (logging())
        log(QStringLiteral("combineClipRegion %1 %2").arg(logRect(region.boundingRect())).arg(int(mode)));
    m_clip = mode == RGN_COPY ? region : CombineRgn(m_clip ? *m_clip : wholeSurface(), region, mode);
    applyClip();
}

void Canvas::intersectClipRect(const Rect& r)
{
    if (logging())
        log(QStringLiteral("intersectClipRect %1").arg(logRect(r)));
    QuietScope quiet(*this);
    combineClipRegion(Region(r), RGN_AND);
}

void Canvas::excludeClipRect(const Rect& r)
{
    if (logging())
        log(QStringLiteral("excludeClipRect %1").arg(logRect(r)));
    QuietScope quiet(*this);
    combineClipRegion(Region(r), RGN_DIFF);
}

Rect Canvas::clipRect() const
{
    QRegion r = m_clip ? m_clip->qregion() : wholeSurface().qregion();
    if (m_baseClip)
        r = r.intersected(*m_baseClip);
    return Region(r).boundingRect();
}

int Canvas::saveState()
{
    m_states.push_back(State{m_pen, m_brush, m_font, m_bkTransparent, m_bkBrush, m_polyFillMode, m_clip});
    return int(m_states.size());
}

void Canvas::restoreState(int state)
{
    const int index = state < 0 ? int(m_states.size()) + state : state - 1;
    if (index < 0 || index >= int(m_states.size()))
        return;
    const State s = m_states[size_t(index)];
    m_states.resize(size_t(index));
    m_pen = s.pen;
    m_brush = s.brush;
    m_font = s.font;
    m_bkTransparent = s.bkTransparent;
    m_bkBrush = s.bkBrush;
    m_polyFillMode = s.polyFillMode;
    m_clip = s.clip;
    applyClip();
}

// --- primitives -------------------------------------------------------------------------------

void Canvas::fillPixels(const QRect& r, Color c)
{
    if (!m_painter->isActive() || r.isEmpty() || c == clNone)
        return;
    m_painter->fillRect(r, toQColor(c));
}

void Canvas::moveTo(int x, int y)
{
    m_penPos = QPoint(x, y);
}

void Canvas::lineTo(int x, int y)
{
    const QPoint from = m_penPos;
    m_penPos = QPoint(x, y);
    if (m_pen.style == PenStyle::Clear || m_pen.color == clNone || !m_painter->isActive())
        return;
    if (logging())
        log(QStringLiteral("lineTo %1,%2 %3,%4 %5").arg(from.x()).arg(from.y()).arg(x).arg(y).arg(logColor(m_pen.color)));
    const int w = std::max(1, m_pen.width);
    const int half = (w - 1) / 2;
    if (m_pen.style == PenStyle::Solid && from.y() == y && from.x() != x) {
        const int x0 = from.x() < x ? from.x() : x + 1;
        const int x1 = from.x() < x ? x : from.x() + 1; // exclusive
        fillPixels(QRect(x0, y - half, x1 - x0, w), m_pen.color);
        return;
    }
    if (m_pen.style == PenStyle::Solid && from.x() == x && from.y() != y) {
        const int y0 = from.y() < y ? from.y() : y + 1;
        const int y1 = from.y() < y ? y : from.y() + 1;
        fillPixels(QRect(x - half, y0, w, y1 - y0), m_pen.color);
        return;
    }
    if (w > 1) {
        QPen qp(toQColor(m_pen.color), w, m_pen.style == PenStyle::Dot ? Qt::DotLine : Qt::SolidLine, Qt::FlatCap);
        m_painter->setPen(qp);
        m_painter->drawLine(from, QPoint(x, y));
        return;
    }
    // One pixel wide: step along the line, leaving out the end point; a dotted pen sets
    // every other pixel.
    QPolygon pts;
    int x0 = from.x(), y0 = from.y();
    const int dx = std::abs(x - x0), sx = x0 < x ? 1 : -1;
    const int dy = -std::abs(y - y0), sy = y0 < y ? 1 : -1;
    int err = dx + dy;
    int n = 0;
    while (x0 != x || y0 != y) {
        if (m_pen.style == PenStyle::Solid || (n % 2) == 0)
            pts << QPoint(x0, y0);
        ++n;
        const int e2 = 2 * err;
        if (e2 >= dy) {
            err += dy;
            x0 += sx;
        }
        if (e2 <= dx) {
            err += dx;
            y0 += sy;
        }
    }
    if (pts.isEmpty())
        return;
    m_painter->setPen(QPen(toQColor(m_pen.color), 1));
    m_painter->drawPoints(pts);
}

void Canvas::polyline(std::span<const QPoint> points)
{
    if (points.size() < 2)
        return;
    if (logging())
        log(QStringLiteral("polyline %1 %2").arg(logPoints(points), logColor(m_pen.color)));
    QuietScope quiet(*this);
    const QPoint keep = m_penPos;
    moveTo(points[0].x(), points[0].y());
    for (size_t i = 1; i < points.size(); ++i)
        lineTo(points[i].x(), points[i].y());
    m_penPos = keep;
}

void Canvas::polygon(std::span<const QPoint> points)
{
    if (points.size() < 2 || !m_painter->isActive())
        return;
    if (logging())
        log(QStringLiteral("polygon %1 %2").arg(logPoints(points), logPenBrush(m_pen, m_brush)));
    QuietScope quiet(*this);
    if (m_brush.style == BrushStyle::Solid && m_brush.color != clNone && points.size() >= 3) {
        // Pixel centres decide what is inside, so an outline on whole coordinates fills the
        // pixels to its right and below, as the platform does.
        QPainterPath path;
        path.setFillRule(m_polyFillMode == WINDING ? Qt::WindingFill : Qt::OddEvenFill);
        path.moveTo(points[0]);
        for (size_t i = 1; i < points.size(); ++i)
            path.lineTo(points[i]);
        path.closeSubpath();
        m_painter->fillPath(path, toQColor(m_brush.color));
    }
    if (m_pen.style != PenStyle::Clear && m_pen.color != clNone) {
        const QPoint keep = m_penPos;
        moveTo(points[0].x(), points[0].y());
        for (size_t i = 1; i < points.size(); ++i)
            lineTo(points[i].x(), points[i].y());
        lineTo(points[0].x(), points[0].y());
        m_penPos = keep;
    }
}

void Canvas::fillRect(const Rect& r)
{
    if (m_brush.style == BrushStyle::Clear)
        return;
    if (logging())
        log(QStringLiteral("fillRect %1 %2").arg(logRect(r), logColor(m_brush.color)));
    fillPixels(r.toQRect(), m_brush.color);
}

void Canvas::rectangle(const Rect& r)
{
    if (r.isEmpty())
        return;
    if (logging())
        log(QStringLiteral("rectangle %1 %2").arg(logRect(r), logPenBrush(m_pen, m_brush)));
    QuietScope quiet(*this);
    const bool penOn = m_pen.style != PenStyle::Clear && m_pen.color != clNone;
    const int w = penOn ? std::clamp(m_pen.width, 1, std::min(r.width(), r.height())) : 0;
    if (m_brush.style == BrushStyle::Solid)
        fillPixels(QRect(r.left + w, r.top + w, r.width() - 2 * w, r.height() - 2 * w), m_brush.color);
    if (!penOn)
        return;
    if (m_pen.style == PenStyle::Dot) {
        const Pen keep = m_pen;
        const QPoint keepPos = m_penPos;
        m_pen.width = 1;
        moveTo(r.left, r.top);
        lineTo(r.right - 1, r.top);
        lineTo(r.right - 1, r.bottom - 1);
        lineTo(r.left, r.bottom - 1);
        lineTo(r.left, r.top);
        m_pen = keep;
        m_penPos = keepPos;
        return;
    }
    fillPixels(QRect(r.left, r.top, r.width(), w), m_pen.color);
    fillPixels(QRect(r.left, r.bottom - w, r.width(), w), m_pen.color);
    fillPixels(QRect(r.left, r.top, w, r.height()), m_pen.color);
    fillPixels(QRect(r.right - w, r.top, w, r.height()), m_pen.color);
}

void Canvas::roundRect(const Rect& r, int ellipseWidth, int ellipseHeight)
{
    if (r.isEmpty() || !m_painter->isActive())
        return;
    if (logging())
        log(QStringLiteral("roundRect %1 %2,%3 %4").arg(logRect(r)).arg(ellipseWidth).arg(ellipseHeight).arg(logPenBrush(m_pen, m_brush)));
    const qreal rx = std::max(0, ellipseWidth) / 2.0;
    const qreal ry = std::max(0, ellipseHeight) / 2.0;
    const bool penOn = m_pen.style != PenStyle::Clear && m_pen.color != clNone;
    if (m_brush.style == BrushStyle::Solid && m_brush.color != clNone) {
        m_painter->setPen(Qt::NoPen);
        m_painter->setBrush(toQColor(m_brush.color));
        m_painter->drawRoundedRect(QRectF(r.left, r.top, r.width(), r.height()), rx, ry);
    }
    if (penOn) {
        m_painter->setPen(QPen(toQColor(m_pen.color), 0, m_pen.style == PenStyle::Dot ? Qt::DotLine : Qt::SolidLine));
        m_painter->setBrush(Qt::NoBrush);
        m_painter->drawRoundedRect(QRectF(r.left, r.top, r.width() - 1, r.height() - 1), rx, ry);
    }
}

void Canvas::ellipse(const Rect& r)
{
    if (r.isEmpty() || !m_painter->isActive())
        return;
    if (logging())
        log(QStringLiteral("ellipse %1 %2").arg(logRect(r), logPenBrush(m_pen, m_brush)));
    // A pixel belongs to the ellipse when its centre lies inside the ellipse that touches the
    // rect's edges; the outline is the ring of such pixels next to one outside (pen width 1) or
    // within the pen width of the edge. Drawn row by row, so every size lands on the same
    // pixels on every machine.
    const bool penOn = m_pen.style != PenStyle::Clear && m_pen.color != clNone;
    const bool brushOn = m_brush.style == BrushStyle::Solid && m_brush.color != clNone;
    const double cx = (r.left + r.right - 1) / 2.0, cy = (r.top + r.bottom - 1) / 2.0;
    const double ax = r.width() / 2.0, ay = r.height() / 2.0;
    const int pw = std::max(1, m_pen.width);
    auto inside = [&](int x, int y, double shrink) {
        const double a = ax - shrink, b = ay - shrink;
        if (a <= 0 || b <= 0)
            return false;
        const double dx = (x - cx) / a, dy = (y - cy) / b;
        return dx * dx + dy * dy <= 1.0 + 1e-9;
    };
    auto onRing = [&](int x, int y) {
        if (pw == 1)
            return !inside(x - 1, y, 0) || !inside(x + 1, y, 0) || !inside(x, y - 1, 0) || !inside(x, y + 1, 0);
        return !inside(x, y, pw);
    };
    const QColor ink = toQColor(m_pen.color), fill = toQColor(m_brush.color);
    for (int y = r.top; y < r.bottom; ++y) {
        int runStart = -1;
        bool runRing = false;
        auto flush = [&](int end) {
            if (runStart >= 0 && ((runRing && penOn) || (!runRing && brushOn)))
                m_painter->fillRect(QRect(runStart, y, end - runStart, 1), runRing ? ink : fill);
            runStart = -1;
        };
        for (int x = r.left; x < r.right; ++x) {
            if (!inside(x, y, 0)) {
                flush(x);
                continue;
            }
            const bool asRing = penOn && onRing(x, y);
            if (runStart >= 0 && asRing != runRing)
                flush(x);
            if (runStart < 0) {
                runStart = x;
                runRing = asRing;
            }
        }
        flush(r.right);
    }
}

void Canvas::frameRect(const Rect& r)
{
    if (r.isEmpty() || m_brush.style == BrushStyle::Clear)
        return;
    if (logging())
        log(QStringLiteral("frameRect %1 %2").arg(logRect(r), logColor(m_brush.color)));
    const Color c = m_brush.color;
    fillPixels(QRect(r.left, r.top, r.width(), 1), c);
    fillPixels(QRect(r.left, r.bottom - 1, r.width(), 1), c);
    fillPixels(QRect(r.left, r.top, 1, r.height()), c);
    fillPixels(QRect(r.right - 1, r.top, 1, r.height()), c);
}

void Canvas::drawFocusRect(const Rect& r)
{
    if (r.isEmpty() || !m_painter->isActive())
        return;
    if (logging())
        log(QStringLiteral("drawFocusRect %1").arg(logRect(r)));
    QPolygon pts;
    auto dot = [&](int x, int y) {
        if (((x + y) & 1) == 0)
            pts << QPoint(x, y);
    };
    for (int x = r.left; x < r.right; ++x) {
        dot(x, r.top);
        if (r.bottom - 1 != r.top)
            dot(x, r.bottom - 1);
    }
    for (int y = r.top + 1; y < r.bottom - 1; ++y) {
        dot(r.left, y);
        if (r.right - 1 != r.left)
            dot(r.right - 1, y);
    }
    m_painter->save();
    m_painter->setCompositionMode(QPainter::RasterOp_SourceXorDestination);
    m_painter->setPen(QPen(Qt::white, 1));
    m_painter->drawPoints(pts);
    m_painter->restore();
}

// --- pixels -----------------------------------------------------------------------------------

Color Canvas::pixel(int x, int y) const
{
    if (!m_image || x < 0 || y < 0 || x >= m_image->width() || y >= m_image->height())
        return clNone;
    const QRgb v = reinterpret_cast<const QRgb*>(m_image->constScanLine(y))[x];
    return rgb(qRed(v), qGreen(v), qBlue(v));
}

void Canvas::setPixel(int x, int y, Color c)
{
    if (c == clNone || !m_painter->isActive())
        return;
    if (logging())
        log(QStringLiteral("setPixel %1,%2 %3").arg(x).arg(y).arg(logColor(c)));
    // Through the painter, so the clip region holds and a shared image is never written behind
    // the painter's back.
    m_painter->save();
    m_painter->setCompositionMode(QPainter::CompositionMode_Source);
    m_painter->fillRect(QRect(x, y, 1, 1), toQColor(c));
    m_painter->restore();
}

bool Canvas::floodFill(int x, int y, Color c, TFillStyle style)
{
    if (!m_image || !m_painter->isActive() || m_brush.style == BrushStyle::Clear || m_brush.color == clNone)
        return false;
    if (logging())
        log(QStringLiteral("floodFill %1,%2 %3 %4").arg(x).arg(y).arg(logColor(c), style == fsSurface ? QStringLiteral("surface") : QStringLiteral("border")));
    const int w = m_image->width(), h = m_image->height();
    QRegion allowed = m_clip ? m_clip->qregion() : QRegion(0, 0, w, h);
    if (m_baseClip)
        allowed = allowed.intersected(*m_baseClip);
    const QRgb key = [&] {
        const Color v = colorToRgb(c);
        return qRgb(redOf(v), greenOf(v), blueOf(v)) & 0xFFFFFFu;
    }();
    auto fillable = [&](int px, int py) {
        const QRgb v = reinterpret_cast<const QRgb*>(m_image->constScanLine(py))[px] & 0xFFFFFFu;
        return style == fsSurface ? v == key : v != key;
    };
    // The allowed area as a mask, so the fill neither leaves the clip region nor the surface.
    std::vector<uint8_t> state(size_t(w) * size_t(h), 0); // 1 allowed, 2 filled
    for (const QRect& r : allowed)
        for (int py = std::max(0, r.top()); py <= std::min(h - 1, r.bottom()); ++py)
            for (int px = std::max(0, r.left()); px <= std::min(w - 1, r.right()); ++px)
                state[size_t(py) * size_t(w) + size_t(px)] = 1;
    auto open = [&](int px, int py) {
        return px >= 0 && py >= 0 && px < w && py < h && state[size_t(py) * size_t(w) + size_t(px)] == 1 && fillable(px, py);
    };
    if (!open(x, y))
        return false;
    // Scanline fill: each run is filled whole and the rows above and below are searched for
    // new runs.
    std::vector<QRect> runs;
    std::vector<QPoint> stack{QPoint(x, y)};
    while (!stack.empty()) {
        const QPoint p = stack.back();
        stack.pop_back();
        if (!open(p.x(), p.y()))
            continue;
        int l = p.x(), r = p.x();
        while (open(l - 1, p.y()))
            --l;
        while (open(r + 1, p.y()))
            ++r;
        for (int px = l; px <= r; ++px)
            state[size_t(p.y()) * size_t(w) + size_t(px)] = 2;
        runs.emplace_back(l, p.y(), r - l + 1, 1);
        for (int ny : {p.y() - 1, p.y() + 1}) {
            bool inRun = false;
            for (int px = l; px <= r; ++px) {
                const bool o = open(px, ny);
                if (o && !inRun)
                    stack.emplace_back(px, ny);
                inRun = o;
            }
        }
    }
    const QColor fill = toQColor(m_brush.color);
    for (const QRect& r : runs)
        m_painter->fillRect(r, fill);
    return true;
}

// --- bitmaps ----------------------------------------------------------------------------------

void Canvas::drawBitmap(const QRect& target, const Bitmap& bitmap, int opacity)
{
    if (bitmap.isEmpty() || !m_painter->isActive() || target.isEmpty())
        return;
    m_painter->save();
    m_painter->setOpacity(std::clamp(opacity, 0, 255) / 255.0);
    m_painter->drawImage(target, bitmap.toDrawable());
    m_painter->restore();
}

void Canvas::draw(int x, int y, const Bitmap& bitmap)
{
    if (bitmap.isEmpty())
        return;
    if (logging())
        log(QStringLiteral("draw %1,%2 %3x%4").arg(x).arg(y).arg(bitmap.width()).arg(bitmap.height()));
    drawBitmap(QRect(x, y, bitmap.width(), bitmap.height()), bitmap, 255);
}

void Canvas::draw(int x, int y, const Bitmap& bitmap, int opacity)
{
    if (bitmap.isEmpty())
        return;
    if (logging())
        log(QStringLiteral("draw %1,%2 %3x%4 opacity=%5").arg(x).arg(y).arg(bitmap.width()).arg(bitmap.height()).arg(opacity));
    drawBitmap(QRect(x, y, bitmap.width(), bitmap.height()), bitmap, opacity);
}

void Canvas::stretchDraw(const Rect& r, const Bitmap& bitmap)
{
    if (bitmap.isEmpty() || r.isEmpty())
        return;
    if (logging())
        log(QStringLiteral("stretchDraw %1 %2x%3").arg(logRect(r)).arg(bitmap.width()).arg(bitmap.height()));
    drawBitmap(r.toQRect(), bitmap, 255);
}

void Canvas::copyRect(const Rect& destRect, const Canvas& source, const Rect& sourceRect)
{
    if (!source.m_image || !m_painter->isActive() || destRect.isEmpty() || sourceRect.isEmpty())
        return;
    if (logging())
        log(QStringLiteral("copyRect %1 %2").arg(logRect(destRect), logRect(sourceRect)));
    // A copy first: the source may be this very surface.
    const QImage part = source.m_image->copy(sourceRect.toQRect());
    m_painter->save();
    m_painter->setCompositionMode(QPainter::CompositionMode_Source);
    m_painter->drawImage(destRect.toQRect(), part);
    m_painter->restore();
}

} // namespace platform
