#include "platform/draw/Canvas.h"

#include <QPainter>

namespace platform {

namespace {
QImage::Format qtFormat(PixelFormat f)
{
    return f == PixelFormat::pf32bit ? QImage::Format_ARGB32_Premultiplied : QImage::Format_RGB32;
}
} // namespace

Bitmap::Bitmap(int width, int height, Color fill, PixelFormat format)
    : m_format(format)
{
    if (width > 0 && height > 0) {
        m_image = QImage(width, height, qtFormat(format));
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

Bitmap Bitmap::fromImage(const QImage& image, PixelFormat format)
{
    if (format == PixelFormat::pf24bit)
        return Bitmap(image);
    Bitmap b;
    b.m_format = PixelFormat::pf32bit;
    if (!image.isNull())
        b.m_image = image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    return b;
}

void Bitmap::setPixelFormat(PixelFormat format)
{
    if (format == m_format)
        return;
    m_format = format;
    if (m_image.isNull())
        return;
    if (format == PixelFormat::pf32bit) {
        m_image = m_image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
        return;
    }
    // The colour bytes as they are, the alpha byte set.
    QImage next(m_image.size(), QImage::Format_RGB32);
    for (int y = 0; y < m_image.height(); ++y) {
        const auto* in = reinterpret_cast<const QRgb*>(m_image.constScanLine(y));
        auto* out = reinterpret_cast<QRgb*>(next.scanLine(y));
        for (int x = 0; x < m_image.width(); ++x)
            out[x] = in[x] | 0xFF000000u;
    }
    m_image = std::move(next);
}

void Bitmap::setSize(int width, int height)
{
    if (width == this->width() && height == this->height())
        return;
    if (width <= 0 || height <= 0) {
        m_image = QImage();
        return;
    }
    QImage next(width, height, qtFormat(m_format));
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
    const QRgb v = reinterpret_cast<const QRgb*>(m_image.constScanLine(y))[x];
    return rgb(qRed(v), qGreen(v), qBlue(v));
}

void Bitmap::setPixel(int x, int y, Color c)
{
    if (m_image.isNull() || x < 0 || y < 0 || x >= width() || y >= height() || c == clNone)
        return;
    const Color v = colorToRgb(c);
    reinterpret_cast<QRgb*>(m_image.scanLine(y))[x] = qRgb(redOf(v), greenOf(v), blueOf(v));
}

uint32_t* Bitmap::scanLine(int y)
{
    if (m_image.isNull() || y < 0 || y >= height())
        return nullptr;
    return reinterpret_cast<uint32_t*>(m_image.scanLine(y));
}

const uint32_t* Bitmap::scanLine(int y) const
{
    if (m_image.isNull() || y < 0 || y >= height())
        return nullptr;
    return reinterpret_cast<const uint32_t*>(m_image.constScanLine(y));
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
    QImage out = m_image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    for (int y = 0; y < out.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = 0; x < out.width(); ++x)
            if ((line[x] | 0xFF000000u) == key)
                line[x] = 0;
    }
    return out;
}

} // namespace platform
