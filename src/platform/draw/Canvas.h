#pragma once
// A small drawing surface over QPainter with the conventions the controls are written in:
// a pen, a brush and a font that stay set between calls, a current position for lines, and
// text drawing with DrawText-style flags. Antialiasing is always off, so every shape lands on
// whole pixels and tests can check single pixels.
//
// Rectangle convention: a Rect is given by its left, top, right and bottom coordinates and
// covers the pixels left <= x < right and top <= y < bottom - the right and bottom edges are
// NOT part of it. Rect{0, 0, 10, 5} is 10 pixels wide and 5 high; a rectangle with
// right <= left or bottom <= top is empty. Every operation that takes a Rect follows this:
//   - fillRect fills exactly those pixels;
//   - rectangle / roundRect draw their outline with the pen on the outermost pixels of the
//     rect (x = left and x = right - 1, y = top and y = bottom - 1) and fill the inside with
//     the brush; with a clear pen the brush fills the whole rect;
//   - frameRect and drawFocusRect draw on the outermost pixels;
//   - drawText lays text out in the rect and clips to it (unless DT_NOCLIP).
// Lines follow the same rule: lineTo draws from the current position up to, but not
// including, the end point, which becomes the new current position.
#include "platform/draw/Color.h"

#include <QFont>
#include <QImage>
#include <QPoint>
#include <QRect>
#include <QString>
#include <memory>

class QPainter;
class QPaintDevice;

namespace platform {

struct Rect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    int width() const { return right - left; }
    int height() const { return bottom - top; }
    bool isEmpty() const { return right <= left || bottom <= top; }
    bool contains(int x, int y) const { return x >= left && x < right && y >= top && y < bottom; }
    QRect toQRect() const { return QRect(left, top, width(), height()); }
    bool operator==(const Rect&) const = default;
};

enum class PenStyle { Solid, Dot, Clear };
struct Pen {
    Color color = clBlack;
    int width = 1;
    PenStyle style = PenStyle::Solid;
};

enum class BrushStyle { Solid, Clear };
struct Brush {
    Color color = clWhite;
    BrushStyle style = BrushStyle::Solid;
};

// A font together with the colour text is drawn in.
struct Font {
    QFont font;
    Color color = clWindowText;
    bool operator==(const Font&) const = default;
};

// Horizontal placement of a caption.
enum class Alignment { taLeftJustify, taRightJustify, taCenter };

// Text format flags for Canvas::drawText (same meaning and values as the platform's).
constexpr unsigned DT_TOP = 0x0;
constexpr unsigned DT_LEFT = 0x0;
constexpr unsigned DT_CENTER = 0x1;
constexpr unsigned DT_RIGHT = 0x2;
constexpr unsigned DT_VCENTER = 0x4;   // only with DT_SINGLELINE
constexpr unsigned DT_BOTTOM = 0x8;    // only with DT_SINGLELINE
constexpr unsigned DT_WORDBREAK = 0x10;
constexpr unsigned DT_SINGLELINE = 0x20;
constexpr unsigned DT_NOCLIP = 0x100;
constexpr unsigned DT_CALCRECT = 0x400; // measure only: widen/heighten the rect, draw nothing
constexpr unsigned DT_NOPREFIX = 0x800; // "&" is an ordinary character
constexpr unsigned DT_END_ELLIPSIS = 0x8000;

// An image in memory. Pixels are opaque RGB; a transparent bitmap is drawn without the pixels
// of its transparent colour (by default the colour of its bottom-left pixel).
class Bitmap {
public:
    Bitmap() = default;
    Bitmap(int width, int height, Color fill = clWhite);
    explicit Bitmap(const QImage& image); // alpha is dropped; fully transparent pixels become fuchsia

    int width() const { return m_image.width(); }
    int height() const { return m_image.height(); }
    bool isEmpty() const { return m_image.isNull() || width() == 0 || height() == 0; }

    // Changes the size; the top-left part that fits is kept, new pixels are white.
    void setSize(int width, int height);
    void fill(Color c);

    Color pixel(int x, int y) const; // clNone outside
    void setPixel(int x, int y, Color c);

    bool transparent() const { return m_transparent; }
    void setTransparent(bool on) { m_transparent = on; }
    // clNone (the default) means automatic: the colour of the bottom-left pixel.
    void setTransparentColor(Color c) { m_transparentColor = c; }
    Color transparentColor() const;

    const QImage& image() const { return m_image; }
    QImage& image() { return m_image; }
    // The pixels as drawn: with transparency, pixels of the transparent colour get alpha 0.
    QImage toDrawable() const;

private:
    QImage m_image; // Format_RGB32
    bool m_transparent = false;
    Color m_transparentColor = clNone;
};

class Canvas {
public:
    // Paints on a device (widget in its paint event, image, pixmap) for the canvas' lifetime.
    explicit Canvas(QPaintDevice* device);
    // Paints on a bitmap; do not resize the bitmap while the canvas lives.
    explicit Canvas(Bitmap& bitmap);
    // Paints through a painter that is already active; its state is restored afterwards.
    explicit Canvas(QPainter& painter);
    ~Canvas();
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;

    Pen& pen() { return m_pen; }
    Brush& brush() { return m_brush; }
    Font& font() { return m_font; }
    void setPen(const Pen& p) { m_pen = p; }
    void setBrush(const Brush& b) { m_brush = b; }
    void setFont(const Font& f) { m_font = f; }

    void moveTo(int x, int y);
    void lineTo(int x, int y);
    QPoint penPos() const { return m_penPos; }

    void fillRect(const Rect& r);                      // brush only
    void rectangle(const Rect& r);                     // pen outline, brush inside
    void roundRect(const Rect& r, int ellipseWidth, int ellipseHeight);
    void frameRect(const Rect& r);                     // one-pixel frame in the brush colour
    void drawFocusRect(const Rect& r);                 // dotted frame that inverts what is below

    // Size of a single line of text in the current font ("&" counts as a character).
    int textWidth(const QString& text) const;
    int textHeight(const QString& text) const;
    // Draws text in the current font colour with the DT_* flags; the background stays as it
    // is when the brush is clear, else it is filled with the brush colour. With DT_CALCRECT
    // nothing is drawn and r's right and bottom are set to the size the text needs (with
    // DT_WORDBREAK the lines are broken at r's width and right becomes the widest line).
    // Empty text measures 0 by 0. Returns the height of the text.
    int drawText(const QString& text, Rect& r, unsigned flags);

    void draw(int x, int y, const Bitmap& bitmap);

    QPainter& painter() { return *m_painter; }

private:
    void fillPixels(const QRect& r, Color c);

    std::unique_ptr<QPainter> m_owned;
    QPainter* m_painter = nullptr;
    Pen m_pen;
    Brush m_brush;
    Font m_font;
    QPoint m_penPos;
};

} // namespace platform
