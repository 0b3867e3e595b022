#pragma once
// A small drawing surface over QPainter with the conventions the controls are written in:
// a pen, a brush and a font that stay set between calls, a current position for lines, and
// text drawing with DrawText-style flags. Antialiasing is always off, so every shape lands on
// whole pixels and tests can check single pixels.
//
// Rectangle convention (Geometry.h): a Rect covers left <= x < right, top <= y < bottom.
//   - fillRect fills exactly those pixels;
//   - rectangle / roundRect / ellipse draw their outline with the pen inside the rect (the
//     outermost pixels are x = left and x = right - 1, y = top and y = bottom - 1) and fill
//     the inside with the brush; with a clear pen the brush fills the whole shape;
//   - frameRect and drawFocusRect draw on the outermost pixels;
//   - drawText lays text out in the rect and clips to it (unless DT_NOCLIP).
// Lines follow the same rule: lineTo draws from the current position up to, but not
// including, the end point, which becomes the new current position; polyline leaves out its
// last point; polygon is closed and so covers all its points.
//
// Text background: text is drawn on a filled background when the brush is solid, and on what
// is there when the brush is clear or after setBkMode(Transparent). Like the platform, the
// transparent mode lasts until the brush is changed.
//
// Clipping: a canvas may carry a clip region (selectClipRegion, intersectClipRect,
// excludeClipRect, combineClipRegion); every drawing call, the pixel writes of floodFill and
// setPixel included, stays inside it. No region means the whole surface. saveState and
// restoreState keep and restore pen, brush, font, text background mode, polygon fill mode and
// clip region together.
//
// Pixels can be read (pixel, floodFill, copyRect as a source) only on image canvases: a
// Bitmap, a QImage, or a painter on one.
//
// Call log: while a CanvasCallLog exists, every canvas appends one line per drawing call to it
// ("fillRect 2,1,5,4 clRed"), so a test can check what a painter drew without comparing
// pixels. Routines built from several calls (DrawEdge, DrawFrameControl, themed parts) log
// themselves as one line.
#include "platform/draw/Color.h"
#include "platform/draw/Geometry.h"
#include "platform/draw/Region.h"

#include <QFont>
#include <QImage>
#include <QPoint>
#include <QRect>
#include <QString>
#include <QStringList>
#include <initializer_list>
#include <memory>
#include <optional>
#include <span>
#include <vector>

class QPainter;
class QPaintDevice;
class QFontMetrics;

namespace platform {

class TextFit;

enum class PenStyle { Solid, Dot, Clear };
struct Pen {
    Color color = clBlack;
    int width = 1;
    PenStyle style = PenStyle::Solid;
    bool operator==(const Pen&) const = default;
};

enum class BrushStyle { Solid, Clear };
struct Brush {
    Color color = clWhite;
    BrushStyle style = BrushStyle::Solid;
    bool operator==(const Brush&) const = default;
};

// A font together with the colour text is drawn in. `orientation` turns textOut and textRect
// by tenths of a degree, counter-clockwise (900: the text runs upwards).
struct Font {
    QFont font;
    Color color = clWindowText;
    int orientation = 0;
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
constexpr unsigned DT_EXPANDTABS = 0x40;      // a tab moves to the next tab stop (8 average characters)
constexpr unsigned DT_TABSTOP = 0x80;         // bits 8-15 hold the characters per tab stop instead
constexpr unsigned DT_NOCLIP = 0x100;
constexpr unsigned DT_EXTERNALLEADING = 0x200; // the font's leading added to every line
constexpr unsigned DT_CALCRECT = 0x400; // measure only: widen/heighten the rect, draw nothing
constexpr unsigned DT_NOPREFIX = 0x800; // "&" is an ordinary character
constexpr unsigned DT_EDITCONTROL = 0x2000;   // like a multi-line edit: words longer than the line are
                                              // broken, a last line that would show only in part is not drawn
constexpr unsigned DT_END_ELLIPSIS = 0x8000;  // a line that does not fit ends in "...", and so does the last
                                              // visible line of a word-broken text that goes on below the rect
constexpr unsigned DT_RTLREADING = 0x20000;   // right-to-left reading order
constexpr unsigned DT_HIDEPREFIX = 0x100000;  // "&" is taken out but nothing is underlined

enum class BkMode { Opaque, Transparent };
// Polygon interiors: ALTERNATE fills by the even-odd rule, WINDING fills every area the
// outline goes round (a self-crossing star is filled in its centre too). Canvases start with
// WINDING.
enum PolyFillMode : int { ALTERNATE = 1, WINDING = 2 };
enum TFillStyle { fsSurface, fsBorder };

// How a 32-bit bitmap's pixels are kept: 24-bit bitmaps are opaque; 32-bit bitmaps carry an
// alpha byte and draw merged with what is below (colour bytes premultiplied by alpha, as the
// platform's alpha blending expects).
enum class PixelFormat { pf24bit, pf32bit };

// An image in memory. A transparent bitmap is drawn without the pixels of its transparent
// colour (by default the colour of its bottom-left pixel).
class Bitmap {
public:
    Bitmap() = default;
    Bitmap(int width, int height, Color fill = clWhite, PixelFormat format = PixelFormat::pf24bit);
    explicit Bitmap(const QImage& image); // 24-bit: alpha is dropped; fully transparent pixels become fuchsia
    // The image as a bitmap of the given format; a 32-bit bitmap keeps the image's alpha.
    static Bitmap fromImage(const QImage& image, PixelFormat format);

    int width() const { return m_image.width(); }
    int height() const { return m_image.height(); }
    bool isEmpty() const { return m_image.isNull() || width() == 0 || height() == 0; }

    PixelFormat pixelFormat() const { return m_format; }
    // 24 to 32 bits makes every pixel opaque; 32 to 24 bits keeps the colour bytes.
    void setPixelFormat(PixelFormat format);

    // Changes the size; the top-left part that fits is kept, new pixels are white (opaque).
    void setSize(int width, int height);
    void fill(Color c);

    Color pixel(int x, int y) const; // clNone outside
    void setPixel(int x, int y, Color c); // opaque
    // Raw pixels of a row, 0xAARRGGBB (in memory blue, green, red, alpha); the alpha byte of a
    // 24-bit bitmap is always FF. nullptr outside.
    uint32_t* scanLine(int y);
    const uint32_t* scanLine(int y) const;

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
    QImage m_image; // Format_RGB32 (24-bit) or Format_ARGB32_Premultiplied (32-bit)
    PixelFormat m_format = PixelFormat::pf24bit;
    bool m_transparent = false;
    Color m_transparentColor = clNone;
};

// Records the drawing calls of every canvas for its lifetime (tests switch it on; nested logs
// take over and hand back).
class CanvasCallLog {
public:
    CanvasCallLog();
    ~CanvasCallLog();
    CanvasCallLog(const CanvasCallLog&) = delete;
    CanvasCallLog& operator=(const CanvasCallLog&) = delete;

    const QStringList& calls() const { return m_calls; }
    void clear() { m_calls.clear(); }
    void add(const QString& line) { m_calls.append(line); }

private:
    QStringList m_calls;
    CanvasCallLog* m_previous;
};

class Canvas {
public:
    // Paints on a device (widget in its paint event, image, pixmap) for the canvas' lifetime.
    explicit Canvas(QPaintDevice* device);
    // Paints on a bitmap; do not resize the bitmap while the canvas lives.
    explicit Canvas(Bitmap& bitmap);
    // Paints through a painter that is already active; its state is restored afterwards. The
    // painter's own clipping stays in force under the canvas' clip region.
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
    void setBkMode(BkMode mode);
    BkMode bkMode() const;
    void setPolyFillMode(PolyFillMode mode) { m_polyFillMode = mode; }
    PolyFillMode polyFillMode() const { return m_polyFillMode; }

    void moveTo(int x, int y);
    void lineTo(int x, int y);
    QPoint penPos() const { return m_penPos; }
    void polyline(std::span<const QPoint> points);
    void polyline(std::initializer_list<QPoint> points) { polyline(std::span<const QPoint>(points.begin(), points.size())); }
    void polygon(std::span<const QPoint> points);
    void polygon(std::initializer_list<QPoint> points) { polygon(std::span<const QPoint>(points.begin(), points.size())); }

    void fillRect(const Rect& r);                      // brush only
    void rectangle(const Rect& r);                     // pen outline, brush inside
    void roundRect(const Rect& r, int ellipseWidth, int ellipseHeight);
    void ellipse(const Rect& r);                       // pen outline, brush inside
    void frameRect(const Rect& r);                     // one-pixel frame in the brush colour
    void drawFocusRect(const Rect& r);                 // dotted frame that inverts what is below

    // Reading pixels needs an image canvas: clNone elsewhere and outside the surface.
    Color pixel(int x, int y) const;
    void setPixel(int x, int y, Color c);
    // Fills with the brush, from (x, y), the 4-connected pixels that have colour `c`
    // (fsSurface) or that do not (fsBorder, `c` being the border). Only on image canvases and
    // inside the clip region; false when nothing could be filled.
    bool floodFill(int x, int y, Color c, TFillStyle style);

    // Size of a single line of text in the current font ("&" counts as a character).
    int textWidth(const QString& text) const;
    // textWidth(text) when it is at most `limit`, else some value above `limit`: measures no
    // more of a long text than fits in about twice the limit.
    int textWidth(const QString& text, int limit) const;
    // Measuring and cutting text in the current font (no tab stops), in time that grows with
    // what fits rather than with the text (see TextFit.h). Valid while the font stays the same.
    const TextFit& textFit() const;
    int textHeight(const QString& text) const;
    QSize textExtent(const QString& text) const;
    // Draws text in the current font colour with the DT_* flags. With DT_CALCRECT nothing is
    // drawn and r's right and bottom are set to the size the text needs (with DT_WORDBREAK the
    // lines are broken at r's width and right becomes the widest line). Empty text measures 0
    // by 0. Returns the height of the text.
    int drawText(const QString& text, Rect& r, unsigned flags);
    // The lines drawText would show in r with these flags, after prefixes, line and word breaks
    // and ellipses.
    QStringList drawnLines(const QString& text, const Rect& r, unsigned flags) const;
    // The number of lines drawText lays the text out in at r's width with these flags, counted
    // up to `atMost` (laying out no more of the text than those lines).
    int textLineCount(const QString& text, int width, unsigned flags, int atMost) const;
    // The text with its top-left corner at (x, y), turned by the font's orientation; the pen
    // moves to the end of the text.
    void textOut(int x, int y, const QString& text);
    // The text at (x, y) clipped to r; r is filled with the brush first unless the text
    // background is transparent.
    void textRect(const Rect& r, int x, int y, const QString& text);

    void draw(int x, int y, const Bitmap& bitmap);
    // A 32-bit or any other bitmap drawn with a constant opacity 0..255 on top of its own.
    void draw(int x, int y, const Bitmap& bitmap, int opacity);
    // The bitmap scaled to r (nearest pixel, no smoothing).
    void stretchDraw(const Rect& r, const Bitmap& bitmap);
    // Copies the pixels of `source` (an image canvas) from sourceRect into destRect, scaled
    // when the sizes differ. `source` may be this canvas.
    void copyRect(const Rect& destRect, const Canvas& source, const Rect& sourceRect);

    // Clipping; see the header comment. combineClipRegion combines with the current clip (the
    // whole surface when there is none) by mode; RGN_COPY replaces it.
    void selectClipRegion(const Region* region);
    void combineClipRegion(const Region& region, RegionCombine mode);
    void intersectClipRect(const Rect& r);
    void excludeClipRect(const Rect& r);
    std::optional<Region> clipRegion() const { return m_clip; }
    // The bounding box of what may be drawn.
    Rect clipRect() const;
    // Keeps pen, brush, font, text background, fill mode and clip; returns the state's number
    // (1 for the first kept state). restoreState(-1) goes back to the last kept one, a
    // positive number to that state, dropping later ones.
    int saveState();
    void restoreState(int state = -1);

    QPainter& painter() { return *m_painter; }
    // The image under the canvas, when it draws on one.
    const QImage* image() const { return m_image; }
    Rect bounds() const { return m_bounds; }

    // Holds back the call log while composite routines draw their parts.
    class QuietScope {
    public:
        explicit QuietScope(Canvas& c) : m_canvas(c) { ++m_canvas.m_quiet; }
        ~QuietScope() { --m_canvas.m_quiet; }
        QuietScope(const QuietScope&) = delete;
        QuietScope& operator=(const QuietScope&) = delete;

    private:
        Canvas& m_canvas;
    };
    // Appends a line to the call log when one is active and no composite routine is drawing.
    // Callers test logging() first: building the line costs more than many a drawing call, and
    // a grid paints thousands of them with no log active.
    void log(const QString& line);
    bool logging() const;

private:
    struct State {
        Pen pen;
        Brush brush;
        Font font;
        bool bkTransparent;
        Brush bkBrush;
        PolyFillMode polyFillMode;
        std::optional<Region> clip;
    };
    struct TextLine;
    void init();
    void fillPixels(const QRect& r, Color c);
    void applyClip();
    Region wholeSurface() const;
    bool textBackgroundOpaque() const;
    // The lines of the text at `width`, at most maxLines of them; `more` tells whether the
    // text goes on after the last line laid out.
    std::vector<TextLine> layoutText(const QString& text, unsigned flags, int width, const TextFit& m,
                                     size_t maxLines = size_t(-1), bool* more = nullptr) const;
    // The lines of drawText as they show in r: which are visible, and their ellipses. With
    // `onlyInRect`, lines the clip hides entirely are left out.
    std::vector<TextLine> visibleLines(const QString& text, const Rect& r, unsigned flags, const TextFit& m,
                                       int& lineHeight, int& top, bool onlyInRect) const;
    // The canvas' TextFit with tab stops set as the flags ask.
    const TextFit& textFit(unsigned flags, int tabChars) const;
    void drawBitmap(const QRect& target, const Bitmap& bitmap, int opacity);

    // The drawing font and its metrics, made again only when the font changes.
    const QFont& drawFont() const;
    const QFontMetrics& metrics() const;
    mutable QFont m_cachedFor;
    mutable QFont m_cachedFont;
    mutable std::unique_ptr<QFontMetrics> m_cachedMetrics;
    mutable std::unique_ptr<TextFit> m_cachedFit;

    std::unique_ptr<QPainter> m_owned;
    QPainter* m_painter = nullptr;
    const QImage* m_image = nullptr;
    Rect m_bounds;
    Pen m_pen;
    Brush m_brush;
    Font m_font;
    QPoint m_penPos;
    bool m_bkTransparent = false;
    Brush m_bkBrush;
    PolyFillMode m_polyFillMode = WINDING;
    std::optional<Region> m_clip;
    std::optional<QRegion> m_baseClip;
    std::vector<State> m_states;
    int m_quiet = 0;
};

// Text of a rectangle, a colour and flags in call-log lines.
QString logRect(const Rect& r);
QString logColor(Color c);

} // namespace platform
