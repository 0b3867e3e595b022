#pragma once
// Icons, pictures read from files and image lists.
//
// Pictures are read with Qt's image readers, the format told by the data itself: BMP, ICO,
// GIF (its first frame), JPEG and PNG. Other data raises EInvalidGraphic "Unknown picture
// format", data of a known format that does not decode raises EInvalidGraphic "Invalid image",
// a file that cannot be read raises Exception "Cannot open file ...". Images above 16384 pixels
// a side or Qt's allocation limit are refused as invalid. A failed load leaves the graphic as
// it was.
//
// TImageList keeps images of one size, each with its transparency (a mask colour, a mask
// bitmap or the alpha of a 32-bit bitmap). DrawEx follows the platform's image-list drawing:
//   - background `bk`: CLR_NONE draws the masked pixels transparent, CLR_DEFAULT fills them
//     with the list's BkColor (transparent when that is clNone), any other value (RGB) fills
//     them with that colour; ILD_TRANSPARENT always leaves them transparent;
//   - ILD_BLEND25 / ILD_BLEND50 mix the image with `fg` by a quarter or a half (CLR_DEFAULT:
//     the highlight colour; CLR_NONE: with what lies below);
//   - ILD_MASK draws the mask: black where the image is, white where it is transparent;
//   - overlay bits (INDEXTOOVERLAYMASK(n), n 1..15) draw the image set by Overlay(i, n - 1) on
//     top;
//   - ILS_SATURATE draws the image in grey (its luminance);
//   - dx, dy other than 0 draw only that much of the image, from its top-left corner.
// `bk` and `fg` are image-list colours (CLR_NONE, CLR_DEFAULT or RGB), not program colours:
// convert with ColorToImageListColor. Draw(..., enabled = false) draws the classic disabled
// look: the image's shape embossed in clBtnHighlight (one pixel down and right) and
// clBtnShadow. An index outside the list draws nothing and answers false.
#include "platform/draw/Canvas.h"

#include <QByteArray>
#include <QImage>
#include <QString>
#include <array>
#include <vector>

namespace platform {

class Icon {
public:
    bool isEmpty() const { return m_image.isNull(); }
    int width() const { return m_image.width(); }
    int height() const { return m_image.height(); }
    void LoadFromFile(const QString& path);
    void LoadFromData(const QByteArray& data);
    // The icon's pixels with their alpha, as a 32-bit bitmap for Canvas::draw.
    Bitmap bitmap() const { return Bitmap::fromImage(m_image, PixelFormat::pf32bit); }
    const QImage& image() const { return m_image; }
    void setImage(const QImage& image);

private:
    QImage m_image; // ARGB32 premultiplied
};

class Picture {
public:
    bool isEmpty() const { return m_bitmap.isEmpty(); }
    int width() const { return m_bitmap.width(); }
    int height() const { return m_bitmap.height(); }
    // "bmp", "ico", "gif", "jpeg" or "png"; empty when nothing is loaded.
    const QByteArray& format() const { return m_format; }
    void LoadFromFile(const QString& path);
    void LoadFromData(const QByteArray& data);
    void clear();
    // BMP and JPEG pictures are 24-bit and opaque, the others 32-bit with their transparency.
    const Bitmap& bitmap() const { return m_bitmap; }
    void draw(Canvas& canvas, int x, int y) const { canvas.draw(x, y, m_bitmap); }
    void stretchDraw(Canvas& canvas, const Rect& r) const { canvas.stretchDraw(r, m_bitmap); }

private:
    Bitmap m_bitmap;
    QByteArray m_format;
};

// Reads image data (see the header comment); raises on failure.
QImage ReadImageData(const QByteArray& data, QByteArray* format = nullptr);

constexpr Color CLR_NONE = 0xFFFFFFFFu;
constexpr Color CLR_DEFAULT = 0xFF000000u;
// clNone becomes CLR_NONE, clDefault CLR_DEFAULT, anything else its RGB value.
Color ColorToImageListColor(Color c);

constexpr unsigned ILD_NORMAL = 0x0000;
constexpr unsigned ILD_TRANSPARENT = 0x0001;
constexpr unsigned ILD_BLEND25 = 0x0002;
constexpr unsigned ILD_FOCUS = ILD_BLEND25;
constexpr unsigned ILD_BLEND50 = 0x0004;
constexpr unsigned ILD_SELECTED = ILD_BLEND50;
constexpr unsigned ILD_BLEND = ILD_BLEND50;
constexpr unsigned ILD_MASK = 0x0010;
constexpr unsigned ILD_OVERLAYMASK = 0x0F00;
constexpr unsigned INDEXTOOVERLAYMASK(unsigned i) { return i << 8; }
constexpr unsigned ILS_NORMAL = 0x0;
constexpr unsigned ILS_SATURATE = 0x4;

enum TDrawingStyle { dsFocus, dsSelected, dsNormal, dsTransparent };

class TImageList {
public:
    explicit TImageList(int width = 16, int height = 16);

    int Width() const { return m_width; }
    int Height() const { return m_height; }
    // A new size empties the list.
    void SetSize(int width, int height);
    int Count() const { return int(m_images.size()); }

    // Program colours; clNone is CLR_NONE (transparent background, blending with what lies
    // below), clDefault is CLR_DEFAULT.
    Color BkColor = clNone;
    Color BlendColor = clNone;
    TDrawingStyle DrawingStyle = dsNormal;

    // Adds the image, cut into pieces of the list's width when it is wider (a strip); `mask`
    // white marks transparent pixels. A 32-bit bitmap keeps its alpha. Returns the index of the
    // first image added, -1 for an empty bitmap.
    int Add(const Bitmap& image, const Bitmap* mask = nullptr);
    // The same with the pixels of `maskColor` transparent (clDefault: the bitmap's
    // transparent colour).
    int AddMasked(const Bitmap& image, Color maskColor);
    int AddIcon(const Icon& icon);
    bool Replace(int index, const Bitmap& image, const Bitmap* mask = nullptr);
    bool Delete(int index);
    void Clear() { m_images.clear(); }
    // Makes image `imageIndex` overlay number `overlay` (0..14).
    bool Overlay(int imageIndex, int overlay);
    // The image drawn on `bitmap` (made the list's size; its pixels stay under transparent
    // ones).
    bool GetBitmap(int index, Bitmap& bitmap) const;
    // The image's pixels with their alpha.
    QImage Image(int index) const;

    // Draws in the list's drawing style and colours, or in the disabled look.
    bool Draw(Canvas& canvas, int x, int y, int index, bool enabled = true) const;
    bool DrawEx(Canvas& canvas, int index, int x, int y, int dx, int dy, Color bk, Color fg, unsigned style,
                unsigned state = ILS_NORMAL) const;

private:
    QImage piece(const Bitmap& image, const Bitmap* mask, Color maskColor, int x) const;

    int m_width;
    int m_height;
    std::vector<QImage> m_images; // ARGB32 premultiplied, each Width x Height
    std::array<int, 15> m_overlays;
};

} // namespace platform
