#include "platform/draw/Canvas.h"

#include <QFontMetrics>
#include <QPainter>
#include <QPolygon>
#include <algorithm>
#include <climits>
#include <cstdlib>

namespace platform {

// --- Bitmap ---------------------------------------------------------------------------------

Bitmap::Bitmap(int width, int height, Color fill)
{
    if (width > 0 && height > 0) {
        m_image = QImage(width, height, QImage::Format_RGB32);
        this->fill(fill);
    }
}

Bitmap::Bitmap(const QImage& image)
{
    if (image.isNull())
        return;
    const QImage src = image.convertToFormat(QImage::Format_ARGB32);
    m_image = QImage(src.width(), src.height(), QImage::Format_RGB32);
    for (int y = 0; y < src.height(); ++y) {
        const auto* in = reinterpret_cast<const QRgb*>(src.constScanLine(y));
        auto* out = reinterpret_cast<QRgb*>(m_image.scanLine(y));
        for (int x = 0; x < src.width(); ++x)
            out[x] = qAlpha(in[x]) == 0 ? qRgb(255, 0, 255) : (in[x] | 0xFF000000u);
    }
}

void Bitmap::setSize(int width, int height)
{
    if (width == this->width() && height == this->height())
        return;
    if (width <= 0 || height <= 0) {
        m_image = QImage();
        return;
    }
    QImage next(width, height, QImage::Format_RGB32);
    next.fill(Qt::white);
    if (!m_image.isNull()) {
        QPainter p(&next);
        p.setCompositionMode(QPainter::CompositionMode_Source);
        p.drawImage(0, 0, m_image);
    }
    m_image = std::move(next);
}

void Bitmap::fill(Color c)
{
    if (!m_image.isNull())
        m_image.fill(toQColor(c == clNone ? clWhite : c));
}

Color Bitmap::pixel(int x, int y) const
{
    if (m_image.isNull() || x < 0 || y < 0 || x >= width() || y >= height())
        return clNone;
    const QRgb v = m_image.pixel(x, y);
    return rgb(qRed(v), qGreen(v), qBlue(v));
}

void Bitmap::setPixel(int x, int y, Color c)
{
    if (m_image.isNull() || x < 0 || y < 0 || x >= width() || y >= height() || c == clNone)
        return;
    const Color v = colorToRgb(c);
    m_image.setPixel(x, y, qRgb(redOf(v), greenOf(v), blueOf(v)));
}

Color Bitmap::transparentColor() const
{
    if (m_transparentColor != clNone)
        return colorToRgb(m_transparentColor);
    if (isEmpty())
        return clNone;
    return pixel(0, height() - 1);
}

QImage Bitmap::toDrawable() const
{
    if (!m_transparent || isEmpty())
        return m_image;
    const Color tc = transparentColor();
    const QRgb key = qRgb(redOf(tc), greenOf(tc), blueOf(tc));
    QImage out = m_image.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < out.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = 0; x < out.width(); ++x)
            if ((line[x] | 0xFF000000u) == key)
                line[x] = 0;
    }
    return out;
}

// --- Canvas ---------------------------------------------------------------------------------

namespace {

void setUpPainter(QPainter& p)
{
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setRenderHint(QPainter::TextAntialiasing, false);
    p.setRenderHint(QPainter::SmoothPixmapTransform, false);
    p.setCompositionMode(QPainter::CompositionMode_SourceOver);
}

QFont drawingFont(const Font& f)
{
    QFont q = f.font;
    q.setStyleStrategy(QFont::NoAntialias);
    return q;
}

int qtTextFlags(unsigned flags)
{
    int q = 0;
    if (flags & DT_CENTER)
        q |= Qt::AlignHCenter;
    else if (flags & DT_RIGHT)
        q |= Qt::AlignRight;
    else
        q |= Qt::AlignLeft;
    if (flags & DT_SINGLELINE) {
        q |= Qt::TextSingleLine;
        if (flags & DT_VCENTER)
            q |= Qt::AlignVCenter;
        else if (flags & DT_BOTTOM)
            q |= Qt::AlignBottom;
        else
            q |= Qt::AlignTop;
    } else {
        q |= Qt::AlignTop;
        if (flags & DT_WORDBREAK)
            q |= Qt::TextWordWrap;
    }
    if (!(flags & DT_NOPREFIX))
        q |= Qt::TextShowMnemonic;
    if (flags & DT_NOCLIP)
        q |= Qt::TextDontClip;
    return q;
}

} // namespace

Canvas::Canvas(QPaintDevice* device)
    : m_owned(std::make_unique<QPainter>(device))
    , m_painter(m_owned.get())
{
    setUpPainter(*m_painter);
}

Canvas::Canvas(Bitmap& bitmap)
    : m_owned(std::make_unique<QPainter>())
    , m_painter(m_owned.get())
{
    if (!bitmap.isEmpty())
        m_painter->begin(&bitmap.image());
    if (m_painter->isActive())
        setUpPainter(*m_painter);
}

Canvas::Canvas(QPainter& painter)
    : m_painter(&painter)
{
    m_painter->save();
    setUpPainter(*m_painter);
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

void Canvas::fillRect(const Rect& r)
{
    if (m_brush.style == BrushStyle::Clear)
        return;
    fillPixels(r.toQRect(), m_brush.color);
}

void Canvas::rectangle(const Rect& r)
{
    if (r.isEmpty())
        return;
    const bool penOn = m_pen.style != PenStyle::Clear && m_pen.color != clNone;
    const int w = penOn ? std::clamp(m_pen.width, 1, std::min(r.width(), r.height())) : 0;
    if (m_brush.style == BrushStyle::Solid)
        fillPixels(QRect(r.left + w, r.top + w, r.width() - 2 * w, r.height() - 2 * w), m_brush.color);
    if (!penOn)
        return;
    if (m_pen.style == PenStyle::Dot) {
        const Pen keep = m_pen;
        m_pen.width = 1;
        moveTo(r.left, r.top);
        lineTo(r.right - 1, r.top);
        lineTo(r.right - 1, r.bottom - 1);
        lineTo(r.left, r.bottom - 1);
        lineTo(r.left, r.top);
        m_pen = keep;
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

void Canvas::frameRect(const Rect& r)
{
    if (r.isEmpty() || m_brush.style == BrushStyle::Clear)
        return;
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

int Canvas::textWidth(const QString& text) const
{
    const QFontMetrics fm(drawingFont(m_font), m_painter->device());
    return fm.horizontalAdvance(text);
}

int Canvas::textHeight(const QString&) const
{
    const QFontMetrics fm(drawingFont(m_font), m_painter->device());
    return fm.height();
}

int Canvas::drawText(const QString& text, Rect& r, unsigned flags)
{
    const QFont f = drawingFont(m_font);
    const QFontMetrics fm(f, m_painter->device());
    int qflags = qtTextFlags(flags);
    QString shown = text;
    if ((flags & DT_END_ELLIPSIS) && !(flags & DT_CALCRECT) && (flags & DT_SINGLELINE || !(flags & DT_WORDBREAK)))
        shown = fm.elidedText(text, Qt::ElideRight, std::max(0, r.width()),
                              (flags & DT_NOPREFIX) ? 0 : int(Qt::TextShowMnemonic));
    if (flags & DT_CALCRECT) {
        const bool wrap = (flags & DT_WORDBREAK) && !(flags & DT_SINGLELINE);
        const QRect limit(r.left, r.top, wrap ? std::max(1, r.width()) : INT_MAX / 4, INT_MAX / 4);
        const QRect b = fm.boundingRect(limit, qflags & ~(Qt::AlignHCenter | Qt::AlignRight | Qt::AlignVCenter | Qt::AlignBottom), shown);
        r.right = r.left + (shown.isEmpty() ? 0 : b.width());
        r.bottom = r.top + (shown.isEmpty() ? 0 : b.height());
        return r.height();
    }
    if (!m_painter->isActive())
        return 0;
    m_painter->setFont(f);
    const QRect target = r.toQRect();
    const QRect needed = m_painter->boundingRect(target, qflags, shown);
    if (m_brush.style == BrushStyle::Solid && !shown.isEmpty())
        fillPixels((flags & DT_NOCLIP) ? needed : needed.intersected(target), m_brush.color);
    m_painter->setPen(toQColor(m_font.color == clNone ? clBlack : m_font.color));
    m_painter->drawText(target, qflags, shown);
    return shown.isEmpty() ? 0 : needed.height();
}

void Canvas::draw(int x, int y, const Bitmap& bitmap)
{
    if (bitmap.isEmpty() || !m_painter->isActive())
        return;
    m_painter->drawImage(x, y, bitmap.toDrawable());
}

} // namespace platform
