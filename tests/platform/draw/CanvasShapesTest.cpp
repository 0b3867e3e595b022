#include "platform/draw/Canvas.h"

#include "support/QtPrinters.h"

#include <QPainter>
#include <gtest/gtest.h>

using namespace platform;

namespace {

constexpr Color kGround = rgb(10, 20, 30);
constexpr Color kInk = rgb(200, 0, 0);
constexpr Color kFill = rgb(0, 0, 200);

std::string shape(const Bitmap& b, Color ink = kInk, Color fill = kFill)
{
    std::string s;
    for (int y = 0; y < b.height(); ++y) {
        for (int x = 0; x < b.width(); ++x) {
            const Color p = b.pixel(x, y);
            s += p == kGround ? '.' : p == ink ? '#' : p == fill ? 'o' : '?';
        }
        s += '\n';
    }
    return s;
}

int count(const Bitmap& b, Color c)
{
    int n = 0;
    for (int y = 0; y < b.height(); ++y)
        for (int x = 0; x < b.width(); ++x)
            n += b.pixel(x, y) == c;
    return n;
}

} // namespace

TEST(CanvasShapes, SelfCrossingStarFilledByWinding)
{
    // A five-pointed star drawn in one stroke: the pentagon in its middle is inside by the
    // winding rule and outside by the even-odd rule.
    const std::vector<QPoint> star{{20, 2}, {32, 38}, {2, 15}, {38, 15}, {8, 38}};
    Bitmap winding(41, 41, kGround), alternate(41, 41, kGround);
    {
        Canvas c(winding);
        c.pen().style = PenStyle::Clear;
        c.brush() = Brush{kFill, BrushStyle::Solid};
        EXPECT_EQ(c.polyFillMode(), WINDING);
        c.polygon(star);
        Canvas d(alternate);
        d.pen().style = PenStyle::Clear;
        d.brush() = Brush{kFill, BrushStyle::Solid};
        d.setPolyFillMode(ALTERNATE);
        d.polygon(star);
    }
    EXPECT_EQ(winding.pixel(20, 20), kFill);   // the centre
    EXPECT_EQ(alternate.pixel(20, 20), kGround);
    EXPECT_EQ(winding.pixel(20, 8), kFill);    // a point of the star: inside by both rules
    EXPECT_EQ(alternate.pixel(20, 8), kFill);
    EXPECT_EQ(winding.pixel(2, 2), kGround);
    EXPECT_EQ(winding.pixel(20, 36), kGround); // between two lower points
    EXPECT_GT(count(winding, kFill), count(alternate, kFill));
}

TEST(CanvasShapes, PolygonOutlineCoversEveryPointPolylineLeavesTheLastOut)
{
    Bitmap b(8, 6, kGround);
    {
        Canvas c(b);
        c.pen() = Pen{kInk, 1, PenStyle::Solid};
        c.brush() = Brush{kFill, BrushStyle::Solid};
        c.polygon({{1, 1}, {5, 1}, {5, 4}, {1, 4}});
        c.moveTo(7, 0);
        c.polyline({{7, 0}, {7, 5}, {6, 5}});
        EXPECT_EQ(c.penPos(), QPoint(7, 0)); // a polyline leaves the pen where it was
    }
    EXPECT_EQ(shape(b), ".......#\n"
                        ".#####.#\n"
                        ".#ooo#.#\n"
                        ".#ooo#.#\n"
                        ".#####.#\n"
                        ".......#\n");
}

TEST(CanvasShapes, EllipseStaysInsideItsRect)
{
    Bitmap b(24, 16, kGround);
    {
        Canvas c(b);
        c.pen() = Pen{kInk, 1, PenStyle::Solid};
        c.brush() = Brush{kFill, BrushStyle::Solid};
        c.ellipse(Rect{2, 3, 22, 13});
    }
    int left = 99, top = 99, right = -1, bottom = -1;
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 24; ++x)
            if (b.pixel(x, y) != kGround) {
                left = std::min(left, x), right = std::max(right, x);
                top = std::min(top, y), bottom = std::max(bottom, y);
            }
    EXPECT_EQ(left, 2);
    EXPECT_EQ(top, 3);
    EXPECT_EQ(right, 21);
    EXPECT_EQ(bottom, 12);
    EXPECT_EQ(b.pixel(12, 8), kFill);
    EXPECT_EQ(b.pixel(2, 3), kGround); // corner of the rect, outside the ellipse
    EXPECT_EQ(b.pixel(12, 3), kInk);
}

TEST(CanvasShapes, PixelsAndFloodFill)
{
    // A ring of ink around an inner area, and a second area outside.
    Bitmap b(10, 8, kGround);
    {
        Canvas c(b);
        c.pen() = Pen{kInk, 1, PenStyle::Solid};
        c.brush().style = BrushStyle::Clear;
        c.rectangle(Rect{1, 1, 7, 7});
        EXPECT_EQ(c.pixel(1, 1), kInk);
        EXPECT_EQ(c.pixel(3, 3), kGround);
        EXPECT_EQ(c.pixel(10, 0), clNone);
        c.setPixel(9, 0, kFill);
        EXPECT_EQ(c.pixel(9, 0), kFill);

        c.brush() = Brush{rgb(0, 150, 0), BrushStyle::Solid};
        EXPECT_TRUE(c.floodFill(3, 3, kInk, fsBorder)); // up to the ink
        EXPECT_FALSE(c.floodFill(1, 1, kInk, fsBorder)); // starting on the border: nothing
    }
    EXPECT_EQ(b.pixel(2, 2), rgb(0, 150, 0));
    EXPECT_EQ(b.pixel(5, 5), rgb(0, 150, 0));
    EXPECT_EQ(b.pixel(1, 1), kInk);
    EXPECT_EQ(b.pixel(8, 3), kGround); // outside the ring untouched
    {
        Canvas c(b);
        c.brush() = Brush{rgb(1, 2, 3), BrushStyle::Solid};
        c.intersectClipRect(Rect{0, 0, 10, 4});
        EXPECT_FALSE(c.floodFill(8, 7, kGround, fsSurface)); // a start outside the clip: nothing
        EXPECT_TRUE(c.floodFill(8, 2, kGround, fsSurface));  // the outside area, clipped
    }
    EXPECT_EQ(b.pixel(8, 0), rgb(1, 2, 3));
    EXPECT_EQ(b.pixel(0, 3), rgb(1, 2, 3));  // reached round the ring, inside the clip
    EXPECT_EQ(b.pixel(8, 7), kGround);       // below the clip: left alone
    EXPECT_EQ(b.pixel(9, 0), kFill);         // another colour stops a surface fill
    EXPECT_EQ(b.pixel(3, 3), rgb(0, 150, 0));

    // Widget canvases cannot be read.
    QPixmap pm(4, 4);
    Canvas onPixmap(&pm);
    EXPECT_EQ(onPixmap.pixel(0, 0), clNone);
    EXPECT_FALSE(onPixmap.floodFill(0, 0, clBlack, fsSurface));
}

TEST(CanvasShapes, UnionAndExcludeClipsKeptWithTheState)
{
    Bitmap b(10, 6, kGround);
    {
        Canvas c(b);
        c.brush() = Brush{kFill, BrushStyle::Solid};
        const Region left(Rect{0, 0, 3, 3});
        c.selectClipRegion(&left);
        c.combineClipRegion(Region(Rect{6, 3, 9, 6}), RGN_OR); // a union of two corners
        EXPECT_EQ(c.clipRect(), (Rect{0, 0, 9, 6}));
        const int kept = c.saveState();
        c.excludeClipRect(Rect{1, 1, 2, 2});
        c.brush().color = kInk;
        c.fillRect(Rect{0, 0, 10, 6});
        c.restoreState(kept);
        EXPECT_EQ(c.brush().color, kFill);
        c.fillRect(Rect{1, 1, 2, 2}); // the hole is back in the clip
        c.selectClipRegion(nullptr);
        EXPECT_FALSE(c.clipRegion().has_value());
        c.intersectClipRect(Rect{4, 0, 5, 6});
        c.fillRect(Rect{0, 0, 10, 6});
    }
    EXPECT_EQ(shape(b), "###.o.....\n"
                        "#o#.o.....\n"
                        "###.o.....\n"
                        "....o.###.\n"
                        "....o.###.\n"
                        "....o.###.\n");
}

TEST(CanvasShapes, StretchAndCopy)
{
    Bitmap src(2, 2, kGround);
    src.setPixel(0, 0, kInk);
    src.setPixel(1, 1, kFill);
    Bitmap b(8, 6, clWhite);
    {
        Canvas c(b);
        c.stretchDraw(Rect{0, 0, 4, 4}, src); // each pixel becomes 2 x 2, no smoothing
        c.copyRect(Rect{4, 0, 8, 2}, c, Rect{0, 0, 4, 2});  // from itself
        Canvas s(src);
        c.copyRect(Rect{6, 4, 8, 6}, s, Rect{0, 0, 2, 2});
    }
    EXPECT_EQ(shape(b), "##..##..\n"
                        "##..##..\n"
                        "..oo????\n"
                        "..oo????\n"
                        "??????#.\n"
                        "??????.o\n");
}

TEST(CanvasShapes, AlphaBitmapsMergeWithTheGround)
{
    Bitmap half(2, 1, clWhite, PixelFormat::pf32bit);
    EXPECT_EQ(half.pixelFormat(), PixelFormat::pf32bit);
    half.scanLine(0)[0] = 0x80800000u; // red at alpha 128, premultiplied
    half.scanLine(0)[1] = 0x00000000u; // fully transparent
    Bitmap b(3, 1, rgb(0, 0, 255));
    {
        Canvas c(b);
        c.draw(0, 0, half);
        Bitmap opaque(1, 1, clWhite);
        c.draw(2, 0, opaque, 128); // constant opacity
    }
    EXPECT_NEAR(redOf(b.pixel(0, 0)), 128, 2);
    EXPECT_NEAR(blueOf(b.pixel(0, 0)), 127, 2);
    EXPECT_EQ(b.pixel(1, 0), rgb(0, 0, 255));
    EXPECT_NEAR(redOf(b.pixel(2, 0)), 128, 2);
    EXPECT_EQ(blueOf(b.pixel(2, 0)), 255);

    Bitmap conv(1, 1, rgb(1, 2, 3));
    EXPECT_EQ(conv.scanLine(0)[0], 0xFF010203u);
    conv.setPixelFormat(PixelFormat::pf32bit);
    EXPECT_EQ(conv.scanLine(0)[0] >> 24, 0xFFu);
    conv.scanLine(0)[0] = 0x40102030u;
    conv.setPixelFormat(PixelFormat::pf24bit);
    EXPECT_EQ(conv.pixel(0, 0), rgb(0x10, 0x20, 0x30)); // the colour bytes kept
    EXPECT_EQ(conv.scanLine(1), nullptr);
}

TEST(CanvasShapes, CallLogRecordsDrawingCalls)
{
    CanvasCallLog log;
    Bitmap b(10, 10, kGround);
    {
        Canvas c(b);
        c.brush() = Brush{clRed, BrushStyle::Solid};
        c.fillRect(Rect{1, 2, 3, 4});
        c.pen() = Pen{clBlue, 1, PenStyle::Solid};
        c.rectangle(Rect{0, 0, 5, 5}); // one line, not its parts
        c.polygon({{0, 0}, {4, 0}, {0, 4}});
        c.intersectClipRect(Rect{0, 0, 8, 8});
    }
    EXPECT_EQ(log.calls(), QStringList({"fillRect 1,2,3,4 clRed", "rectangle 0,0,5,5 pen=clBlue brush=clRed",
                                        "polygon 0,0 4,0 0,4 pen=clBlue brush=clRed", "intersectClipRect 0,0,8,8"}));
    {
        CanvasCallLog inner;
        Canvas c(b);
        c.fillRect(Rect{0, 0, 1, 1});
        EXPECT_EQ(inner.calls().size(), 1);
    }
    EXPECT_EQ(log.calls().size(), 4); // the inner log took the call
}

TEST(Geometry, IntersectAndUnite)
{
    const Rect a{0, 0, 10, 5}, b{5, 2, 20, 8}, far{30, 30, 40, 40};
    EXPECT_EQ(a.intersected(b), (Rect{5, 2, 10, 5}));
    EXPECT_EQ(a.intersected(far), Rect{});
    EXPECT_TRUE(a.intersected(Rect{10, 0, 12, 5}).isEmpty()); // touching edges share no pixel
    EXPECT_EQ(a.united(b), (Rect{0, 0, 20, 8}));
    EXPECT_EQ(Rect{}.united(b), b);
    EXPECT_EQ(a.inflated(1, 2), (Rect{-1, -2, 11, 7}));
    EXPECT_EQ(Rect::fromQRect(QRect(1, 2, 3, 4)), (Rect{1, 2, 4, 6}));
}
