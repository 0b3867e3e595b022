#include "platform/draw/Graphics.h"

#include "platform/core/Errors.h"
#include "platform/fs/Files.h"

#include <QBuffer>
#include <QImageReader>
#include <QtEndian>
#include <algorithm>
#include <cstdlib>

namespace platform {

namespace {

constexpr int kMaxSide = 16384;
constexpr qint64 kMaxFileBytes = 256 * 1024 * 1024;
// As much as the image reader itself allows a picture (as 32-bit pixels).
constexpr qint64 kMaxPixelBytes = 128 * 1024 * 1024;

QByteArray readFile(const QString& path)
{
    QString reason;
    const auto bytes = readWholeFile(path, &reason, kMaxFileBytes);
    if (!bytes)
        throw Exception(QStringLiteral("Cannot open file \"%1\". %2").arg(path, reason));
    return *bytes;
}

// A bitmap's header gives its size, the height negative for rows stored top to bottom (which
// the reader's size check does not see as a size at all), and the reader makes and fills the
// whole picture even when the file holds a few bytes of it: a 70-byte file cost half a second
// and 141 MB. The header is read here, and a picture larger than any picture here may be, or
// whose uncompressed rows the file does not hold, is refused before decoding. The last row may
// lack its padding.
void checkBitmapHeader(const QByteArray& data)
{
    const auto* d = reinterpret_cast<const uchar*>(data.constData());
    if (data.size() < 18)
        return; // the reader refuses it
    const qint64 offset = qFromLittleEndian<quint32>(d + 10);
    const quint32 headerSize = qFromLittleEndian<quint32>(d + 14);
    qint64 width = 0, height = 0;
    int bits = 0;
    quint32 compression = 0;
    if (headerSize == 12 && data.size() >= 26) { // the old core header: unsigned 16-bit sides
        width = qFromLittleEndian<quint16>(d + 18);
        height = qFromLittleEndian<quint16>(d + 20);
        bits = qFromLittleEndian<quint16>(d + 24);
    } else if (headerSize >= 40 && data.size() >= 54) {
        width = qFromLittleEndian<qint32>(d + 18);
        height = std::abs(qint64(qFromLittleEndian<qint32>(d + 22)));
        bits = qFromLittleEndian<quint16>(d + 28);
        compression = qFromLittleEndian<quint32>(d + 30);
    } else {
        return;
    }
    if (width <= 0 || height <= 0 || width > kMaxSide || height > kMaxSide || width * height * 4 > kMaxPixelBytes)
        throw EInvalidGraphic(QStringLiteral("Invalid image"));
    const bool uncompressed = compression == 0 || compression == 3 || compression == 6; // RGB, (alpha) bit fields
    if (uncompressed && bits > 0) {
        const qint64 row = (width * bits + 31) / 32 * 4;
        const qint64 lastRow = (width * bits + 7) / 8;
        if (offset + row * (height - 1) + lastRow > data.size())
            throw EInvalidGraphic(QStringLiteral("Invalid image"));
    }
}

QRgb toQRgb(Color c)
{
    const Color v = colorToRgb(c);
    return qRgb(redOf(v), greenOf(v), blueOf(v));
}

} // namespace

QImage ReadImageData(const QByteArray& data, QByteArray* format)
{
    QBuffer buffer;
    buffer.setData(data);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    reader.setDecideFormatFromContent(true);
    reader.setAutoTransform(false);
    QByteArray f = reader.format().toLower();
    if (f == "jpg")
        f = "jpeg";
    static const QByteArray allowed[] = {"bmp", "ico", "gif", "jpeg", "png"};
    if (std::find(std::begin(allowed), std::end(allowed), f) == std::end(allowed))
        throw EInvalidGraphic(QStringLiteral("Unknown picture format"));
    if (f == "bmp")
        checkBitmapHeader(data);
    const QSize size = reader.size();
    if (size.isValid() && (size.width() > kMaxSide || size.height() > kMaxSide))
        throw EInvalidGraphic(QStringLiteral("Invalid image"));
    QImage image;
    if (!reader.read(&image) || image.isNull() || image.width() > kMaxSide || image.height() > kMaxSide)
        throw EInvalidGraphic(QStringLiteral("Invalid image"));
    if (format)
        *format = f;
    return image;
}

// --- Icon -------------------------------------------------------------------------------------

void Icon::setImage(const QImage& image) { m_image = image.convertToFormat(QImage::Format_ARGB32_Premultiplied); }

void Icon::LoadFromData(const QByteArray& data) { setImage(ReadImageData(data)); }

void Icon::LoadFromFile(const QString& path) { LoadFromData(readFile(path)); }

// --- Picture ----------------------------------------------------------------------------------

void Picture::LoadFromData(const QByteArray& data)
{
    QByteArray f;
    const QImage image = ReadImageData(data, &f);
    m_bitmap = (f == "bmp" || f == "jpeg") ? Bitmap(image) : Bitmap::fromImage(image, PixelFormat::pf32bit);
    m_format = f;
}

void Picture::LoadFromFile(const QString& path) { LoadFromData(readFile(path)); }

void Picture::clear()
{
    m_bitmap = Bitmap();
    m_format.clear();
}

// --- TImageList -------------------------------------------------------------------------------

Color ColorToImageListColor(Color c)
{
    if (c == clNone)
        return CLR_NONE;
    if (c == clDefault)
        return CLR_DEFAULT;
    return colorToRgb(c);
}

TImageList::TImageList(int width, int height)
    : m_width(std::max(1, width))
    , m_height(std::max(1, height))
{
    m_overlays.fill(-1);
}

void TImageList::SetSize(int width, int height)
{
    m_width = std::max(1, width);
    m_height = std::max(1, height);
    m_images.clear();
    m_overlays.fill(-1);
}

QImage TImageList::piece(const Bitmap& image, const Bitmap* mask, Color maskColor, int x) const
{
    QImage out(m_width, m_height, QImage::Format_ARGB32_Premultiplied);
    out.fill(0);
    const bool alpha = image.pixelFormat() == PixelFormat::pf32bit;
    const QRgb key = maskColor == clNone ? 0 : (toQRgb(maskColor) & 0xFFFFFFu);
    for (int py = 0; py < m_height && py < image.height(); ++py) {
        const uint32_t* in = image.scanLine(py);
        auto* line = reinterpret_cast<QRgb*>(out.scanLine(py));
        for (int px = 0; px < m_width && x + px < image.width(); ++px) {
            const uint32_t raw = in[x + px];
            bool transparent = maskColor != clNone && (raw & 0xFFFFFFu) == key;
            if (mask && mask->pixel(x + px, py) == clWhite)
                transparent = true;
            line[px] = transparent ? 0 : (alpha ? raw : (raw | 0xFF000000u));
        }
    }
    return out;
}

int TImageList::Add(const Bitmap& image, const Bitmap* mask)
{
    if (image.isEmpty())
        return -1;
    const int first = Count();
    const int n = std::max(1, image.width() / m_width);
    for (int i = 0; i < n; ++i)
        m_images.push_back(piece(image, mask, clNone, i * m_width));
    return first;
}

int TImageList::AddMasked(const Bitmap& image, Color maskColor)
{
    if (image.isEmpty())
        return -1;
    const Color key = maskColor == clDefault ? image.transparentColor() : maskColor;
    const int first = Count();
    const int n = std::max(1, image.width() / m_width);
    for (int i = 0; i < n; ++i)
        m_images.push_back(piece(image, nullptr, key, i * m_width));
    return first;
}

int TImageList::AddIcon(const Icon& icon)
{
    if (icon.isEmpty())
        return -1;
    QImage scaled = icon.image().scaled(m_width, m_height, Qt::IgnoreAspectRatio, Qt::FastTransformation);
    m_images.push_back(scaled.convertToFormat(QImage::Format_ARGB32_Premultiplied));
    return Count() - 1;
}

bool TImageList::Replace(int index, const Bitmap& image, const Bitmap* mask)
{
    if (index < 0 || index >= Count() || image.isEmpty())
        return false;
    m_images[size_t(index)] = piece(image, mask, clNone, 0);
    return true;
}

bool TImageList::Delete(int index)
{
    if (index < 0 || index >= Count())
        return false;
    m_images.erase(m_images.begin() + index);
    for (int& o : m_overlays)
        if (o == index)
            o = -1;
        else if (o > index)
            --o;
    return true;
}

bool TImageList::Overlay(int imageIndex, int overlay)
{
    if (imageIndex < 0 || imageIndex >= Count() || overlay < 0 || overlay >= int(m_overlays.size()))
        return false;
    m_overlays[size_t(overlay)] = imageIndex;
    return true;
}

QImage TImageList::Image(int index) const
{
    if (index < 0 || index >= Count())
        return QImage();
    return m_images[size_t(index)];
}

bool TImageList::GetBitmap(int index, Bitmap& bitmap) const
{
    if (index < 0 || index >= Count())
        return false;
    bitmap.setSize(m_width, m_height);
    Canvas c(bitmap);
    return DrawEx(c, index, 0, 0, 0, 0, CLR_DEFAULT, CLR_NONE, ILD_NORMAL);
}

bool TImageList::DrawEx(Canvas& canvas, int index, int x, int y, int dx, int dy, Color bk, Color fg, unsigned style,
                        unsigned state) const
{
    if (index < 0 || index >= Count())
        return false;
    canvas.log(QStringLiteral("ImageList.DrawEx %1 %2,%3 $%4 $%5").arg(index).arg(x).arg(y).arg(style, 0, 16).arg(state, 0, 16));
    Canvas::QuietScope quiet(canvas);
    const int w = dx > 0 ? std::min(dx, m_width) : m_width;
    const int h = dy > 0 ? std::min(dy, m_height) : m_height;
    QImage img = m_images[size_t(index)].copy(0, 0, w, h);

    if (style & ILD_MASK) {
        for (int py = 0; py < h; ++py) {
            auto* line = reinterpret_cast<QRgb*>(img.scanLine(py));
            for (int px = 0; px < w; ++px)
                line[px] = qAlpha(line[px]) > 0 ? qRgb(0, 0, 0) : ((style & ILD_TRANSPARENT) ? 0 : qRgb(255, 255, 255));
        }
        canvas.draw(x, y, Bitmap::fromImage(img, PixelFormat::pf32bit));
    } else {
        if (state & ILS_SATURATE) {
            for (int py = 0; py < h; ++py) {
                auto* line = reinterpret_cast<QRgb*>(img.scanLine(py));
                for (int px = 0; px < w; ++px) {
                    const QRgb v = line[px];
                    const int grey = (qRed(v) * 299 + qGreen(v) * 587 + qBlue(v) * 114 + 500) / 1000;
                    line[px] = qRgba(grey, grey, grey, qAlpha(v));
                }
            }
        }
        int opacity = 255;
        if (style & (ILD_BLEND25 | ILD_BLEND50)) {
            const int share = (style & ILD_BLEND50) ? 128 : 64; // of 256
            if (fg == CLR_NONE) {
                opacity = 255 - share + 1; // blended with what lies below
            } else {
                const Color f = fg == CLR_DEFAULT ? colorToRgb(clHighlight) : (fg & 0xFFFFFFu);
                for (int py = 0; py < h; ++py) {
                    auto* line = reinterpret_cast<QRgb*>(img.scanLine(py));
                    for (int px = 0; px < w; ++px) {
                        const QRgb v = line[px];
                        const int a = qAlpha(v);
                        auto mix = [&](int c, int target) { return (c * (256 - share) + target * a / 255 * share) / 256; };
                        line[px] = qRgba(mix(qRed(v), redOf(f)), mix(qGreen(v), greenOf(f)), mix(qBlue(v), blueOf(f)), a);
                    }
                }
            }
        }
        Color background = clNone;
        if (!(style & ILD_TRANSPARENT) && bk != CLR_NONE)
            background = bk == CLR_DEFAULT ? BkColor : (bk & 0xFFFFFFu);
        if (background != clNone) {
            const Brush keep = canvas.brush();
            canvas.brush() = Brush{background, BrushStyle::Solid};
            canvas.fillRect(Rect{x, y, x + w, y + h});
            canvas.brush() = keep;
        }
        canvas.draw(x, y, Bitmap::fromImage(img, PixelFormat::pf32bit), opacity);
    }

    const unsigned overlay = (style & ILD_OVERLAYMASK) >> 8;
    if (overlay >= 1 && overlay <= m_overlays.size() && m_overlays[overlay - 1] >= 0)
        DrawEx(canvas, m_overlays[overlay - 1], x, y, dx, dy, bk, fg, (style & ~ILD_OVERLAYMASK) | ILD_TRANSPARENT, state);
    return true;
}

bool TImageList::Draw(Canvas& canvas, int x, int y, int index, bool enabled) const
{
    if (index < 0 || index >= Count())
        return false;
    if (enabled) {
        static const unsigned styles[] = {ILD_FOCUS, ILD_SELECTED, ILD_NORMAL, ILD_TRANSPARENT};
        return DrawEx(canvas, index, x, y, 0, 0, ColorToImageListColor(BkColor), ColorToImageListColor(BlendColor),
                      styles[DrawingStyle]);
    }
    canvas.log(QStringLiteral("ImageList.Draw %1 %2,%3 disabled").arg(index).arg(x).arg(y));
    Canvas::QuietScope quiet(canvas);
    // The classic disabled look: the image's shape, embossed.
    const QImage& src = m_images[size_t(index)];
    auto shape = [&](Color c) {
        QImage out(m_width, m_height, QImage::Format_ARGB32_Premultiplied);
        const QRgb ink = toQRgb(c);
        for (int py = 0; py < m_height; ++py) {
            const auto* in = reinterpret_cast<const QRgb*>(src.constScanLine(py));
            auto* line = reinterpret_cast<QRgb*>(out.scanLine(py));
            for (int px = 0; px < m_width; ++px)
                line[px] = qAlpha(in[px]) >= 128 ? ink : 0;
        }
        return Bitmap::fromImage(out, PixelFormat::pf32bit);
    };
    canvas.draw(x + 1, y + 1, shape(clBtnHighlight));
    canvas.draw(x, y, shape(clBtnShadow));
    return true;
}

} // namespace platform
