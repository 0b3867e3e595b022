#include "controls/button/FxButton.h"
#include "controls/button/FxButtonFace.h"
#include "support/DrawChecks.h"

#include <QFont>
#include <climits>
#include <gtest/gtest.h>

using namespace controls;
using namespace platform;
using testing_support::inkBox;
using testing_support::InkBox;
using testing_support::samePixels;
using testing_support::testFont;

namespace {

constexpr Color kFace = rgb(248, 247, 237);
constexpr Color kHot = rgb(255, 255, 0);
constexpr Color kDown = rgb(255, 128, 0);
constexpr Color kShadow = rgb(100, 100, 100);
constexpr Color kGrey = rgb(128, 128, 128);
constexpr Color kGround = rgb(1, 2, 3);

ButtonFace baseFace(int w = 60, int h = 23)
{
    ButtonFace f;
    f.width = w;
    f.height = h;
    f.style = TFxButtonStyle::bsNormal;
    f.layout = TFxButtonLayout::blGlyphLeft;
    f.faceColor = kFace;
    f.hotTrackColor = kHot;
    f.downColor = kDown;
    f.lightColor = clWhite;
    f.shadowColor = kShadow;
    f.font = Font{testFont(), clBlack};
    return f;
}

Bitmap paint(const ButtonFace& f, Color ground = kGround)
{
    Bitmap b(f.width, f.height, ground);
    Canvas c(b);
    DrawButtonFace(c, f);
    return b;
}

// A strip of `n` images, w by h each, image k filled with colors[k]; the bottom-left pixel
// of every image is fuchsia so that it is the transparent colour whichever image is cut out.
Bitmap strip(int n, int w, int h, const std::vector<Color>& colors)
{
    Bitmap b(n * w, h, clWhite);
    for (int k = 0; k < n; ++k)
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                b.setPixel(k * w + x, y, (x == 0 && y == h - 1) ? clFuchsia : colors[size_t(k)]);
    return b;
}

const Color kImg0 = rgb(255, 0, 0);
const Color kImg1 = rgb(0, 255, 0);
const Color kImg2 = rgb(0, 0, 255);
const Color kImg3 = rgb(0, 255, 255);

} // namespace

TEST(BlendHotTrackColor, MixesByEighthsRoundingHalvesToEven)
{
    struct Case {
        Color face, hot;
        int step;
        Color expected;
    };
    const Case cases[] = {
        {clBlack, clWhite, 4, rgb(128, 128, 128)},     // 127.5 goes to the even 128
        {clBlack, clWhite, 0, clBlack},
        {clBlack, clWhite, 8, clWhite},
        {clBlack, clWhite, 1, rgb(32, 32, 32)},        // 31.875
        {rgb(1, 2, 3), rgb(2, 3, 4), 4, rgb(2, 2, 4)}, // 1.5 -> 2, 2.5 -> 2, 3.5 -> 4
        {rgb(100, 0, 200), rgb(200, 0, 0), 2, rgb(125, 0, 150)},
        {clBtnFace, clBlack, 0, colorToRgb(clBtnFace)}, // system colours resolved first
        {kFace, clNone, 8, kFace},                      // no hot-track colour: the face
        {clBlack, clWhite, 12, clWhite},                // out-of-range steps are held to 0..8
        {clBlack, clWhite, -3, clBlack},
    };
    for (const Case& c : cases)
        EXPECT_EQ(BlendHotTrackColor(c.face, c.hot, c.step), c.expected)
            << std::hex << c.face << " " << c.hot << " step " << std::dec << c.step;
}

TEST(DrawButtonGradient, ThirtyTwoBandsFromTopColourDownwards)
{
    Bitmap b(6, 33, kGround);
    {
        Canvas c(b);
        c.brush() = Brush{clWhite, BrushStyle::Clear};
        DrawButtonGradient(c, clBlack, rgb(248, 0, 62), 1, 0, 5, 31);
        EXPECT_EQ(c.brush().style, BrushStyle::Clear); // brush given back
    }
    // With a height of 31 band i covers row i: channel = i * (to - from) / 31.
    EXPECT_EQ(b.pixel(1, 0), clBlack);
    EXPECT_EQ(b.pixel(2, 10), rgb(80, 0, 20));
    EXPECT_EQ(b.pixel(4, 30), rgb(240, 0, 60));
    EXPECT_EQ(b.pixel(0, 10), kGround); // left of the rect
    EXPECT_EQ(b.pixel(5, 10), kGround); // the right edge is not part of the rect
    EXPECT_EQ(b.pixel(2, 31), kGround); // nor the bottom edge
}

TEST(DrawTransparentGlyph, CutsOneImageAndLeavesItsKeyColourOut)
{
    const Bitmap glyphs = strip(3, 4, 3, {kImg0, kImg1, kImg2});
    auto drawImage = [&](int sourceX) {
        Bitmap b(20, 10, kGround);
        Canvas c(b);
        DrawTransparentGlyph(c, glyphs, 10, 5, sourceX, 0, 4, 3);
        return b;
    };
    const Bitmap second = drawImage(4);
    EXPECT_EQ(second.pixel(11, 5), kImg1);
    EXPECT_EQ(second.pixel(13, 7), kImg1);
    EXPECT_EQ(second.pixel(10, 7), kGround); // the key colour is transparent
    EXPECT_EQ(second.pixel(14, 5), kGround); // one image wide only
    // A source beyond the strip leaves the first image.
    EXPECT_EQ(drawImage(12).pixel(11, 5), kImg0);
    // Nothing for an empty image size.
    Bitmap b(20, 10, kGround);
    {
        Canvas c(b);
        DrawTransparentGlyph(c, glyphs, 10, 5, 0, 0, 0, 3);
    }
    EXPECT_EQ(b.pixel(10, 5), kGround);
}

TEST(DrawButtonFace, NormalHotPressedAndDisabledColours)
{
    struct Case {
        const char* name;
        bool enabled, hot, pressed;
        int step;
        Color inside, topLeft, bottomRight;
    };
    const Color half = BlendHotTrackColor(kFace, kHot, 4);
    const Case cases[] = {
        {"normal", true, false, false, 0, kFace, clWhite, kShadow},
        {"hot", true, true, false, 8, kHot, clWhite, kShadow},
        {"fading", true, false, false, 4, half, clWhite, kShadow},
        {"pressed", true, true, true, 8, kDown, kShadow, clWhite},
        {"disabled", false, true, true, 8, kFace, clWhite, kShadow},
    };
    for (const Case& c : cases) {
        ButtonFace f = baseFace();
        f.caption = QStringLiteral("OK");
        f.enabled = c.enabled;
        f.hot = c.hot;
        f.pressed = c.pressed;
        f.step = c.step;
        const Bitmap b = paint(f);
        SCOPED_TRACE(c.name);
        EXPECT_EQ(b.pixel(3, 3), c.inside);
        EXPECT_EQ(b.pixel(56, 19), c.inside);
        EXPECT_EQ(b.pixel(0, 0), c.topLeft);
        EXPECT_EQ(b.pixel(30, 0), c.topLeft);
        EXPECT_EQ(b.pixel(0, 22), c.topLeft);     // the first line starts at the bottom-left corner
        EXPECT_EQ(b.pixel(59, 0), c.bottomRight); // the second one takes the top-right corner
        EXPECT_EQ(b.pixel(59, 22), c.bottomRight);
        EXPECT_EQ(b.pixel(30, 22), c.bottomRight);
        // Caption: black when enabled, grey when disabled.
        EXPECT_EQ(inkBox(b, clBlack).empty(), !c.enabled);
        EXPECT_EQ(inkBox(b, kGrey).count > 0, !c.enabled);
    }
}

TEST(DrawButtonFace, FlatFaceShowsItsEdgeOnlyWhenEnabledAndHotOrPressed)
{
    struct Case {
        bool enabled, hot, pressed, edge;
    };
    const Case cases[] = {
        {true, false, false, false},
        {true, true, false, true},
        {true, false, true, true},
        {false, true, true, false},
    };
    for (const auto style : {TFxButtonStyle::bsNormal, TFxButtonStyle::bsEncarta}) {
        for (const Case& c : cases) {
            ButtonFace f = baseFace();
            f.style = style;
            f.flat = true;
            f.hotTrackColor = clNone;
            f.downColor = clNone;
            f.enabled = c.enabled;
            f.hot = c.hot;
            f.pressed = c.pressed;
            const Bitmap b = paint(f);
            EXPECT_EQ(b.pixel(30, 22) != kFace, c.edge) << c.enabled << c.hot << c.pressed;
        }
    }
}

TEST(DrawButtonFace, PressMovesNormalCaptionButMakesEncartaBold)
{
    auto caption = [](TFxButtonStyle style, bool pressed) {
        ButtonFace f = baseFace(80, 23);
        f.style = style;
        f.downColor = clNone;
        f.caption = QStringLiteral("Apply");
        f.pressed = pressed;
        return inkBox(paint(f), clBlack);
    };
    const InkBox normal = caption(TFxButtonStyle::bsNormal, false);
    const InkBox normalDown = caption(TFxButtonStyle::bsNormal, true);
    ASSERT_FALSE(normal.empty());
    EXPECT_EQ(normalDown.left, normal.left + 1);
    EXPECT_EQ(normalDown.top, normal.top + 1);
    EXPECT_EQ(normalDown.count, normal.count);

    const InkBox encarta = caption(TFxButtonStyle::bsEncarta, false);
    const InkBox encartaDown = caption(TFxButtonStyle::bsEncarta, true);
    EXPECT_EQ(encarta.top, normal.top);
    EXPECT_GT(encartaDown.count, encarta.count); // bold
    EXPECT_EQ(encartaDown.top, encarta.top);     // not moved down
}

// A caption far wider than the button shows the start that fits, as that start alone would:
// found from what fits, not by taking one character off the end at a time and measuring all
// the rest again (a caption of 64 KiB took hours).
TEST(DrawButtonFace, AVeryLongCaptionShowsTheStartThatFits)
{
    ButtonFace f = baseFace(80, 23);
    QString caption;
    for (int i = 0; caption.size() < 64 * 1024; ++i)
        caption += QLatin1Char(char('a' + i % 26));
    Bitmap b(1, 1);
    Canvas c(b);
    c.font() = f.font;
    QString fitting = caption.left(200);
    while (c.textWidth(fitting) > f.width - 8)
        fitting.chop(1);
    ASSERT_FALSE(fitting.isEmpty());
    f.caption = caption;
    const Bitmap whole = paint(f);
    f.caption = fitting;
    EXPECT_TRUE(samePixels(whole, paint(f)));
    EXPECT_FALSE(inkBox(whole, clBlack).empty());
}

TEST(DrawButtonFace, GlyphImageFollowsTheState)
{
    const Bitmap four = strip(4, 10, 10, {kImg0, kImg1, kImg2, kImg3});
    const Bitmap two = strip(2, 10, 10, {kImg0, kImg1});
    const Bitmap one = strip(1, 10, 10, {kImg0});
    struct Case {
        const Bitmap* glyph;
        int count;
        bool enabled, hot, pressed;
        Color expected;
    };
    const Case cases[] = {
        {&four, 4, true, false, false, kImg0},
        {&four, 4, false, false, false, kImg1},
        {&four, 4, true, true, false, kImg3},
        {&four, 4, true, true, true, kImg2}, // pressed wins over hot
        {&two, 2, true, true, true, kImg0},  // no pressed or hot image in the strip
        {&two, 2, false, true, true, kImg1},
        {&one, 1, false, false, false, kImg0}, // disabled image missing: the first one
    };
    for (const Case& c : cases) {
        ButtonFace f = baseFace(80, 30);
        f.glyph = c.glyph;
        f.imageCount = c.count;
        f.enabled = c.enabled;
        f.hot = c.hot;
        f.pressed = c.pressed;
        const Bitmap b = paint(f);
        // No caption, centred: glyph at ((80 - 10) / 2, (30 - 10) / 2) plus the press offset.
        const int off = (c.pressed && c.enabled) ? 1 : 0;
        EXPECT_EQ(b.pixel(40 + off, 15 + off), c.expected) << c.count << c.enabled << c.hot << c.pressed;
        EXPECT_EQ(b.pixel(35 + off, 10 + off), c.expected);
        EXPECT_NE(b.pixel(35 + off, 19 + off), c.expected); // the key pixel shows the face
        EXPECT_NE(b.pixel(45 + off, 12 + off), c.expected);
    }
}

TEST(DrawButtonFace, LayoutPlacesGlyphAroundTheCaption)
{
    const Bitmap red = strip(1, 8, 8, {kImg0});
    auto boxes = [&](TFxButtonLayout layout, Alignment alignment) {
        ButtonFace f = baseFace(120, 50);
        f.glyph = &red;
        f.imageCount = 1;
        f.caption = QStringLiteral("Text");
        f.layout = layout;
        f.alignment = alignment;
        const Bitmap b = paint(f);
        return std::pair{inkBox(b, kImg0), inkBox(b, clBlack)};
    };
    {
        const auto [glyph, text] = boxes(TFxButtonLayout::blGlyphLeft, Alignment::taCenter);
        EXPECT_LT(glyph.right, text.left);
        EXPECT_NEAR((glyph.left + text.right) / 2.0, 60, 4); // the pair is centred
    }
    {
        const auto [glyph, text] = boxes(TFxButtonLayout::blGlyphRight, Alignment::taCenter);
        EXPECT_GT(glyph.left, text.right);
    }
    {
        const auto [glyph, text] = boxes(TFxButtonLayout::blGlyphLeft, Alignment::taLeftJustify);
        EXPECT_EQ(glyph.left, 4);
        EXPECT_EQ(glyph.top, (50 - 8) / 2);
    }
    {
        const auto [glyph, text] = boxes(TFxButtonLayout::blGlyphRight, Alignment::taRightJustify);
        EXPECT_EQ(glyph.right, 120 - 4 - 1);
    }
    {
        const auto [glyph, text] = boxes(TFxButtonLayout::blGlyphTop, Alignment::taCenter);
        EXPECT_LT(glyph.bottom, text.top);
        EXPECT_EQ(glyph.left, (120 - 8) / 2);
    }
    {
        const auto [glyph, text] = boxes(TFxButtonLayout::blGlyphBottom, Alignment::taRightJustify);
        EXPECT_GT(glyph.top, text.bottom);
        EXPECT_EQ(glyph.left, 120 - 8 - 4);
    }
}

TEST(DrawButtonFace, StripWithoutImageWidthStillMovesTheCaptionAboveOrBelow)
{
    // A strip narrower than high makes no whole image (count 0, image width 0), yet its
    // height still counts in the block of glyph and caption: the caption sits where it
    // sits beside a drawn image of the same height.
    const Bitmap narrow = strip(1, 6, 10, {kImg0});
    const Bitmap square = strip(1, 10, 10, {kImg0});
    auto captionTop = [](TFxButtonLayout layout, const Bitmap* glyph, int count) {
        ButtonFace f = baseFace(120, 50);
        f.glyph = glyph;
        f.imageCount = count;
        f.caption = QStringLiteral("Text");
        f.layout = layout;
        return inkBox(paint(f), clBlack).top;
    };
    for (const auto layout : {TFxButtonLayout::blGlyphTop, TFxButtonLayout::blGlyphBottom}) {
        const int none = captionTop(layout, nullptr, 0);
        const int drawn = captionTop(layout, &square, 1);
        const int undrawn = captionTop(layout, &narrow, 0);
        ASSERT_NE(drawn, none);
        EXPECT_EQ(undrawn, drawn) << int(layout);
    }
    // Nothing of the narrow strip is drawn.
    ButtonFace f = baseFace(120, 50);
    f.glyph = &narrow;
    f.imageCount = 0;
    f.layout = TFxButtonLayout::blGlyphTop;
    EXPECT_TRUE(inkBox(paint(f), kImg0).empty());
}

TEST(DrawButtonFace, LongCaptionIsShortenedOrBrokenIntoLines)
{
    ButtonFace f = baseFace(60, 60);
    f.caption = QStringLiteral("alpha beta gamma delta");
    f.alignment = Alignment::taLeftJustify;
    const InkBox cut = inkBox(paint(f), clBlack);
    ASSERT_FALSE(cut.empty());
    EXPECT_GE(cut.left, 4);
    EXPECT_LE(cut.right, 60 - 4);           // within the available width
    EXPECT_LT(cut.bottom - cut.top, 14);    // one line

    f.wordWrap = true;
    const InkBox wrapped = inkBox(paint(f), clBlack);
    EXPECT_GT(wrapped.bottom - wrapped.top, 25); // several lines
    EXPECT_GT(wrapped.count, cut.count);         // every character kept
    EXPECT_LE(wrapped.right, 60 - 4);
}

TEST(DrawButtonFace, StylesWithTheirOwnShapes)
{
    {
        ButtonFace f = baseFace();
        f.style = TFxButtonStyle::bsShape;
        f.caption = QStringLiteral("S");
        const Bitmap b = paint(f);
        EXPECT_EQ(b.pixel(0, 0), clFuchsia);
        EXPECT_EQ(b.pixel(3, 3), clFuchsia);
        EXPECT_EQ(b.pixel(59, 22), clFuchsia);
        EXPECT_FALSE(inkBox(b, clBlack).empty());
        f.enabled = false; // the caption keeps the font colour
        EXPECT_FALSE(inkBox(paint(f), clBlack).empty());
    }
    {
        ButtonFace f = baseFace();
        f.style = TFxButtonStyle::bsModern;
        f.hotTrackColor = clNone;
        f.lightColor = rgb(255, 255, 0);
        const Bitmap b = paint(f, clFuchsia);
        EXPECT_EQ(b.pixel(0, 0), clFuchsia);  // rounded corner
        EXPECT_EQ(b.pixel(30, 0), kShadow);   // outer rounded outline
        EXPECT_EQ(b.pixel(1, 10), kFace);     // inner outline in the face colour
        // Light to face from y = 2 to 5, then face to light: on so few rows several bands
        // share a row and the last one drawn stays (band 10 on row 2, band 1 on row 5).
        EXPECT_EQ(b.pixel(30, 2), rgb(253, 252, 76));
        EXPECT_EQ(b.pixel(30, 5), rgb(248, 247, 229));
        EXPECT_EQ(b.pixel(30, 20), rgb(255, 254, 15)); // band 29 of the second gradient
        f.pressed = true;
        EXPECT_EQ(paint(f, clFuchsia).pixel(1, 10), kShadow);
    }
    {
        ButtonFace f = baseFace();
        f.style = TFxButtonStyle::bsQuicken;
        f.hotTrackColor = clNone;
        const Bitmap b = paint(f, clFuchsia);
        EXPECT_EQ(b.pixel(30, 0), kShadow);
        EXPECT_EQ(b.pixel(30, 22), kShadow);
        EXPECT_EQ(b.pixel(30, 10), kFace);
        EXPECT_EQ(b.pixel(2, 0), clFuchsia);
    }
    {
        ButtonFace f = baseFace();
        f.style = TFxButtonStyle::bsOld;
        const Bitmap b = paint(f);
        const Color dark = colorToRgb(cl3DDkShadow);
        EXPECT_EQ(b.pixel(0, 10), clWhite);
        EXPECT_EQ(b.pixel(58, 10), kShadow);
        EXPECT_EQ(b.pixel(59, 10), dark);
        EXPECT_EQ(b.pixel(30, 22), dark);
        f.pressed = true;
        f.downColor = clNone;
        const Bitmap p = paint(f);
        EXPECT_EQ(p.pixel(0, 10), dark);
        EXPECT_EQ(p.pixel(1, 10), kShadow);
        EXPECT_EQ(p.pixel(59, 10), clWhite);
    }
}

TEST(DrawButtonFace, DropDownArrowAndNoBackground)
{
    ButtonFace f = baseFace(60, 23);
    f.dropDown = true;
    const Bitmap b = paint(f);
    // 5 by 3 arrow at (width - 11, height div 2 - 1).
    EXPECT_EQ(b.pixel(49, 10), clBlack);
    EXPECT_EQ(b.pixel(53, 10), clBlack);
    EXPECT_EQ(b.pixel(51, 12), clBlack);
    EXPECT_EQ(b.pixel(49, 12), kFace); // transparent part of the arrow

    f.dropDown = false;
    f.noBackground = true;
    EXPECT_EQ(paint(f).pixel(10, 10), kGround);
}
