#include "platform/draw/Canvas.h"
#include "platform/draw/Color.h"
#include "support/DrawChecks.h"

#include <QImage>
#include <gtest/gtest.h>

using namespace platform;
using testing_support::inkBox;
using testing_support::InkBox;
using testing_support::testFont;

namespace {

constexpr Color kGround = rgb(10, 20, 30);
constexpr Color kInk = rgb(200, 0, 0);

Bitmap ground(int w = 12, int h = 10) { return Bitmap(w, h, kGround); }

// The set of pixels that differ from the ground, as rows of '.' and '#', for readable checks.
std::string shape(const Bitmap& b)
{
    std::string s;
    for (int y = 0; y < b.height(); ++y) {
        for (int x = 0; x < b.width(); ++x)
            s += b.pixel(x, y) == kGround ? '.' : '#';
        s += '\n';
    }
    return s;
}

struct SystemColorGuard {
    ~SystemColorGuard() { setSystemColor(COLOR_BTNFACE, rgb(240, 240, 240)); }
};

} // namespace

TEST(Color, LayoutAndResolution)
{
    EXPECT_EQ(rgb(1, 2, 3), 0x030201u);
    EXPECT_EQ(redOf(rgb(1, 2, 3)), 1);
    EXPECT_EQ(greenOf(rgb(1, 2, 3)), 2);
    EXPECT_EQ(blueOf(rgb(1, 2, 3)), 3);
    EXPECT_EQ(clBtnFace, 0xFF00000Fu);
    EXPECT_EQ(colorToRgb(rgb(9, 8, 7)), rgb(9, 8, 7));
    EXPECT_EQ(colorToRgb(clNone), clNone);
    EXPECT_FALSE(toQColor(clNone).isValid());
    // A system colour is looked up, never taken as an RGB value.
    EXPECT_FALSE(isSystemColor(colorToRgb(clBtnFace)));
    EXPECT_EQ(colorToRgb(clWindow), clWhite);
    {
        SystemColorGuard restore;
        setSystemColor(COLOR_BTNFACE, rgb(1, 2, 3));
        EXPECT_EQ(colorToRgb(clBtnFace), rgb(1, 2, 3));
        EXPECT_EQ(toQColor(clBtnFace), QColor(1, 2, 3));
    }
    EXPECT_EQ(fromQColor(QColor(4, 5, 6)), rgb(4, 5, 6));
    setSystemColor(99, clRed); // out of range: ignored
    EXPECT_EQ(colorToRgb(systemColor(99)), clBlack);
}

TEST(Canvas, FillRectExcludesRightAndBottomEdge)
{
    Bitmap b = ground(8, 6);
    {
        Canvas c(b);
        c.brush() = Brush{kInk, BrushStyle::Solid};
        c.fillRect(Rect{2, 1, 5, 4});
        c.fillRect(Rect{6, 0, 6, 6}); // empty: nothing
        c.brush().style = BrushStyle::Clear;
        c.fillRect(Rect{0, 0, 8, 6}); // clear brush: nothing
    }
    EXPECT_EQ(shape(b), "........\n"
                        "..###...\n"
                        "..###...\n"
                        "..###...\n"
                        "........\n"
                        "........\n");
}

TEST(Canvas, LineToLeavesOutTheEndPointAndMovesThePen)
{
    Bitmap b = ground(8, 6);
    {
        Canvas c(b);
        c.pen() = Pen{kInk, 1, PenStyle::Solid};
        c.moveTo(0, 5);
        c.lineTo(0, 0); // up: (0,5)..(0,1)
        c.lineTo(7, 0); // right: (0,0)..(6,0)
        EXPECT_EQ(c.penPos(), QPoint(7, 0));
        c.moveTo(7, 2);
        c.lineTo(3, 2); // left: (7,2)..(4,2)
        c.moveTo(2, 2);
        c.lineTo(5, 5); // diagonal: (2,2),(3,3),(4,4)
        c.pen().style = PenStyle::Clear;
        c.moveTo(0, 5);
        c.lineTo(7, 5); // clear pen: moves only
        EXPECT_EQ(c.penPos(), QPoint(7, 5));
    }
    EXPECT_EQ(shape(b), "#######.\n"
                        "#.......\n"
                        "#.#.####\n"
                        "#..#....\n"
                        "#...#...\n"
                        "#.......\n");
}

TEST(Canvas, RectangleOutlineWithPenInsideWithBrush)
{
    const Color fill = rgb(0, 0, 200);
    Bitmap b = ground(7, 6);
    {
        Canvas c(b);
        c.pen() = Pen{kInk, 1, PenStyle::Solid};
        c.brush() = Brush{fill, BrushStyle::Solid};
        c.rectangle(Rect{1, 1, 6, 5});
    }
    EXPECT_EQ(b.pixel(1, 1), kInk);
    EXPECT_EQ(b.pixel(5, 4), kInk);  // last pixel inside the rect carries the outline
    EXPECT_EQ(b.pixel(3, 2), fill);
    EXPECT_EQ(b.pixel(6, 3), kGround);
    EXPECT_EQ(b.pixel(3, 5), kGround);

    Bitmap clearPen = ground(7, 6);
    Bitmap clearBrush = ground(7, 6);
    {
        Canvas c(clearPen);
        c.pen().style = PenStyle::Clear;
        c.brush() = Brush{fill, BrushStyle::Solid};
        c.rectangle(Rect{1, 1, 6, 5});
        Canvas d(clearBrush);
        d.pen() = Pen{kInk, 1, PenStyle::Solid};
        d.brush().style = BrushStyle::Clear;
        d.rectangle(Rect{1, 1, 6, 5});
    }
    EXPECT_EQ(clearPen.pixel(1, 1), fill);
    EXPECT_EQ(clearPen.pixel(5, 4), fill);
    EXPECT_EQ(clearBrush.pixel(3, 2), kGround);
    EXPECT_EQ(shape(clearBrush), ".......\n"
                                 ".#####.\n"
                                 ".#...#.\n"
                                 ".#...#.\n"
                                 ".#####.\n"
                                 ".......\n");
}

TEST(Canvas, FrameAndRoundRectKeepToTheRect)
{
    Bitmap frame = ground(6, 5);
    Bitmap round = ground(20, 12);
    {
        Canvas c(frame);
        c.brush() = Brush{kInk, BrushStyle::Solid};
        c.frameRect(Rect{1, 1, 5, 4});
        Canvas r(round);
        r.pen() = Pen{kInk, 1, PenStyle::Solid};
        r.brush().style = BrushStyle::Clear;
        r.roundRect(Rect{0, 0, 20, 12}, 6, 6);
    }
    EXPECT_EQ(shape(frame), "......\n"
                            ".####.\n"
                            ".#..#.\n"
                            ".####.\n"
                            "......\n");
    // Straight parts of the outline lie on the outermost pixels; the corners are cut.
    EXPECT_EQ(round.pixel(10, 0), kInk);
    EXPECT_EQ(round.pixel(10, 11), kInk);
    EXPECT_EQ(round.pixel(0, 6), kInk);
    EXPECT_EQ(round.pixel(19, 6), kInk);
    EXPECT_EQ(round.pixel(0, 0), kGround);
    EXPECT_EQ(round.pixel(19, 11), kGround);
    EXPECT_EQ(round.pixel(10, 6), kGround);
}

TEST(Canvas, FocusRectInvertsEveryOtherPixelAndUndoesItself)
{
    Bitmap b(10, 8, clWhite);
    {
        Canvas c(b);
        c.drawFocusRect(Rect{1, 1, 9, 7});
    }
    EXPECT_EQ(b.pixel(3, 1), clBlack);   // (x + y) even: inverted
    EXPECT_EQ(b.pixel(2, 1), clWhite);
    EXPECT_EQ(b.pixel(8, 6), clBlack);
    EXPECT_EQ(b.pixel(4, 4), clWhite);   // inside untouched
    EXPECT_EQ(b.pixel(0, 0), clWhite);
    {
        Canvas c(b);
        c.drawFocusRect(Rect{1, 1, 9, 7});
    }
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 10; ++x)
            ASSERT_EQ(b.pixel(x, y), clWhite) << x << "," << y;
}

TEST(Bitmap, SizeTransparencyAndConversion)
{
    Bitmap b(4, 3, clRed);
    b.setPixel(0, 2, clFuchsia);
    EXPECT_EQ(b.transparentColor(), clFuchsia); // bottom-left pixel
    b.setTransparentColor(clRed);
    EXPECT_EQ(b.transparentColor(), clRed);

    b.setSize(2, 3); // keeps the left part
    EXPECT_EQ(b.width(), 2);
    EXPECT_EQ(b.pixel(0, 2), clFuchsia);
    b.setSize(3, 4); // grows white
    EXPECT_EQ(b.pixel(2, 3), clWhite);
    EXPECT_EQ(b.pixel(0, 2), clFuchsia);
    EXPECT_EQ(b.pixel(3, 0), clNone); // outside
    b.setSize(3, 0);
    EXPECT_TRUE(b.isEmpty());

    QImage argb(2, 1, QImage::Format_ARGB32);
    argb.setPixel(0, 0, qRgba(1, 2, 3, 0));
    argb.setPixel(1, 0, qRgba(1, 2, 3, 255));
    const Bitmap fromImage(argb);
    EXPECT_EQ(fromImage.pixel(0, 0), clFuchsia);
    EXPECT_EQ(fromImage.pixel(1, 0), rgb(1, 2, 3));
}

TEST(Canvas, DrawsTransparentBitmapsWithoutTheirKeyColour)
{
    Bitmap sprite(3, 2, clFuchsia);
    sprite.setPixel(1, 0, kInk);
    Bitmap target = ground(5, 4);
    {
        Canvas c(target);
        c.draw(1, 1, sprite); // opaque: fuchsia drawn too
        sprite.setTransparent(true);
        c.draw(2, 2, sprite); // overlaps; only the ink pixel lands
        c.draw(-1, 0, sprite); // partly outside: clipped, no harm
    }
    EXPECT_EQ(target.pixel(1, 1), clFuchsia);
    EXPECT_EQ(target.pixel(2, 1), kInk);
    EXPECT_EQ(target.pixel(3, 2), kInk);
    EXPECT_EQ(target.pixel(2, 2), clFuchsia); // left from the first draw, not overwritten
    EXPECT_EQ(target.pixel(4, 3), kGround);
    EXPECT_EQ(target.pixel(0, 0), kInk);
}

namespace {

} // namespace

TEST(Canvas, TextMeasuringAndWordBreak)
{
    Bitmap b = ground(200, 60);
    Canvas c(b);
    c.font() = Font{testFont(), kInk};
    const int one = c.textHeight(QStringLiteral("x"));
    ASSERT_GT(one, 0);
    EXPECT_GT(c.textWidth(QStringLiteral("wide words")), c.textWidth(QStringLiteral("wide")));

    Rect single{0, 0, 1000, 0};
    EXPECT_EQ(c.drawText(QStringLiteral("wide words here"), single, DT_SINGLELINE | DT_CALCRECT), one);
    EXPECT_NEAR(single.width(), c.textWidth(QStringLiteral("wide words here")), 1);

    Rect narrow{5, 7, 5 + c.textWidth(QStringLiteral("words")) + 2, 7};
    const int h = c.drawText(QStringLiteral("wide words here"), narrow, DT_WORDBREAK | DT_CALCRECT);
    EXPECT_EQ(h, 3 * one);
    EXPECT_EQ(narrow.top, 7);
    EXPECT_EQ(narrow.bottom, 7 + 3 * one);
    EXPECT_LE(narrow.width(), c.textWidth(QStringLiteral("words")) + 2);

    Rect empty{0, 0, 50, 0};
    EXPECT_EQ(c.drawText(QString(), empty, DT_CALCRECT), 0);
    EXPECT_EQ(empty.width(), 0);
}

TEST(Canvas, TextIsPlacedAlignedAndClippedToTheRect)
{
    const QString text = QStringLiteral("Mm");
    auto drawIn = [&](unsigned flags, Rect r) {
        Bitmap b = ground(120, 30);
        {
            Canvas c(b);
            c.font() = Font{testFont(), kInk};
            c.brush().style = BrushStyle::Clear;
            c.drawText(text, r, flags);
        }
        return inkBox(b, kInk);
    };
    const InkBox left = drawIn(DT_LEFT, Rect{10, 5, 110, 25});
    const InkBox right = drawIn(DT_RIGHT, Rect{10, 5, 110, 25});
    const InkBox centre = drawIn(DT_CENTER, Rect{10, 5, 110, 25});
    ASSERT_FALSE(left.empty());
    EXPECT_GE(left.left, 10);
    EXPECT_LT(left.left, 14);
    EXPECT_LE(right.right, 109);
    EXPECT_GT(right.right, 104);
    EXPECT_NEAR((centre.left + centre.right) / 2.0, 60, 3);
    EXPECT_GE(left.top, 5);

    // Clipped to a rect narrower than the text; DT_NOCLIP lets it out.
    const InkBox clipped = drawIn(DT_LEFT, Rect{10, 5, 14, 25});
    const InkBox unclipped = drawIn(DT_LEFT | DT_NOCLIP, Rect{10, 5, 14, 25});
    EXPECT_LE(clipped.right, 13);
    EXPECT_GT(unclipped.right, 14);
}

TEST(Canvas, OpaqueTextFillsItsBackgroundAndEllipsisShortens)
{
    Bitmap b = ground(120, 20);
    {
        Canvas c(b);
        c.font() = Font{testFont(), kInk};
        c.brush() = Brush{clWhite, BrushStyle::Solid};
        Rect r{0, 0, 120, 20};
        c.drawText(QStringLiteral("ab"), r, DT_LEFT | DT_SINGLELINE);
    }
    EXPECT_EQ(b.pixel(0, 0), clWhite);
    EXPECT_EQ(b.pixel(110, 0), kGround);

    const QString longText = QStringLiteral("a rather long caption");
    Bitmap full = ground(300, 20);
    Bitmap elided = ground(300, 20);
    int limit = 0;
    {
        Canvas c(full);
        c.font() = Font{testFont(), kInk};
        c.brush().style = BrushStyle::Clear;
        limit = c.textWidth(longText) / 2;
        Rect r{0, 0, limit, 20};
        c.drawText(longText, r, DT_SINGLELINE | DT_NOCLIP);
        Canvas e(elided);
        e.font() = Font{testFont(), kInk};
        e.brush().style = BrushStyle::Clear;
        Rect r2{0, 0, limit, 20};
        e.drawText(longText, r2, DT_SINGLELINE | DT_NOCLIP | DT_END_ELLIPSIS);
    }
    EXPECT_GT(inkBox(full, kInk).right, limit);
    EXPECT_LE(inkBox(elided, kInk).right, limit);
}

TEST(Canvas, PrefixUnderlinesUnlessNoPrefix)
{
    auto draw = [](unsigned flags) {
        Bitmap b = ground(80, 20);
        {
            Canvas c(b);
            c.font() = Font{testFont(), kInk};
            c.brush().style = BrushStyle::Clear;
            Rect r{0, 0, 80, 20};
            c.drawText(QStringLiteral("&Ab"), r, flags);
        }
        return inkBox(b, kInk);
    };
    const InkBox prefixed = draw(DT_LEFT);
    const InkBox literal = draw(DT_LEFT | DT_NOPREFIX);
    // With the prefix the "&" is not drawn, so the text is narrower.
    EXPECT_LT(prefixed.right, literal.right);
}

TEST(Canvas, EmptyBitmapIsANoOpSurface)
{
    Bitmap empty;
    Canvas c(empty);
    c.font() = Font{testFont(), kInk};
    c.brush() = Brush{kInk, BrushStyle::Solid};
    c.fillRect(Rect{0, 0, 10, 10});
    c.rectangle(Rect{0, 0, 10, 10});
    c.roundRect(Rect{0, 0, 10, 10}, 4, 4);
    c.drawFocusRect(Rect{0, 0, 10, 10});
    c.moveTo(0, 0);
    c.lineTo(5, 7);
    Rect r{0, 0, 100, 0};
    EXPECT_EQ(c.drawText(QStringLiteral("x"), r, DT_LEFT), 0);
    EXPECT_GT(c.textWidth(QStringLiteral("abc")), 0); // measuring still works
    EXPECT_TRUE(empty.isEmpty());
}
