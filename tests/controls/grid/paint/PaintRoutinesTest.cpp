#include "controls/grid/paint/PaintRoutines.h"

#include <gtest/gtest.h>

using namespace controls::grid;
using namespace platform;

namespace {

TEST(BlendColorsTest, MixesPercentOfTheFirstIntoTheSecond)
{
    const struct {
        Color a;
        Color b;
        int percent;
        Color expected;
    } cases[] = {
        {clBlack, clWhite, 50, 0x808080},  // 127.5 per channel, half to the even neighbour
        {clBlack, clWhite, 100, clBlack},  {clBlack, clWhite, 150, clBlack}, {clBlack, clWhite, 0, clWhite},
        {clBlack, clWhite, -5, clWhite},   {clNone, clWhite, 50, clWhite},   {clRed, clNone, 50, clRed},
        {rgb(200, 100, 0), rgb(100, 0, 50), 25, rgb(125, 25, 38)}, // 37.5 -> 38
        {clBtnFace, clWhite, 50, rgb(248, 248, 248)},              // clBtnFace is F0F0F0 here
    };
    for (const auto& c : cases)
        EXPECT_EQ(BlendColors(c.a, c.b, c.percent), c.expected) << std::hex << c.a << " " << c.b << " " << std::dec
                                                               << c.percent;
    EXPECT_EQ(BlendColorsIf(clBlack, clWhite, false, 50), clBlack);
    EXPECT_EQ(BlendColorsIf(clBlack, clWhite, true, 50), Color(0x808080));
}

TEST(ClampPercentTest, KeepsZeroToHundred)
{
    EXPECT_EQ(ClampPercent(-0.5), 0);
    EXPECT_EQ(ClampPercent(42.5), 42.5);
    EXPECT_EQ(ClampPercent(100.01), 100);
}

TEST(DrawGradientStepsTest, BandsRunFromTheFirstToTheSecondColour)
{
    Bitmap bmp(12, 6, clWhite);
    {
        Canvas canvas(bmp);
        DrawGradientSteps(canvas, clBlack, rgb(30, 60, 90), true, Rect{0, 0, 12, 3}, 3);
        DrawGradientSteps(canvas, clRed, clBlue, false, Rect{0, 3, 12, 6}, 128); // at most one band per pixel
    }
    EXPECT_EQ(bmp.pixel(0, 0), clBlack);
    EXPECT_EQ(bmp.pixel(3, 1), clBlack);
    EXPECT_EQ(bmp.pixel(4, 1), rgb(15, 30, 45));
    EXPECT_EQ(bmp.pixel(7, 2), rgb(15, 30, 45));
    EXPECT_EQ(bmp.pixel(8, 0), rgb(30, 60, 90));
    EXPECT_EQ(bmp.pixel(11, 2), rgb(30, 60, 90));
    EXPECT_EQ(bmp.pixel(5, 3), clRed);
    EXPECT_EQ(bmp.pixel(5, 4), rgb(128, 0, 128)); // 127.5 -> 128
    EXPECT_EQ(bmp.pixel(5, 5), clBlue);

    Bitmap one(4, 4, clWhite);
    {
        Canvas canvas(one);
        DrawGradientSteps(canvas, clNone, clGreen, true, Rect{0, 0, 4, 2}, 0); // one band, the colour that is set
        DrawGradientSteps(canvas, clNone, clNone, true, Rect{0, 2, 4, 4}, 4);   // nothing to draw
    }
    EXPECT_EQ(one.pixel(0, 0), clGreen);
    EXPECT_EQ(one.pixel(3, 1), clGreen);
    EXPECT_EQ(one.pixel(2, 3), clWhite);
}

TEST(CellTextFlagsTest, FlagsByLinesWrapAndAlignment)
{
    const struct {
        int lines;
        bool wordWrap, multiLine, enh;
        Alignment h;
        TVAlignment v;
        unsigned flags;
        bool firstLineOnly;
    } cases[] = {
        // One line, no word wrap: a single line, the first line of the text only.
        {1, false, false, false, Alignment::taLeftJustify, vtaTop,
         DT_SINGLELINE | DT_EXPANDTABS | DT_NOPREFIX | DT_LEFT | DT_TOP, true},
        {1, false, false, true, Alignment::taRightJustify, vtaCenter,
         DT_SINGLELINE | DT_END_ELLIPSIS | DT_EXPANDTABS | DT_NOPREFIX | DT_RIGHT | DT_VCENTER, true},
        // Word wrap without multi-line cells: the whole text broken into words, an ellipsis only
        // with the enhanced text size.
        {1, true, false, false, Alignment::taCenter, vtaBottom,
         DT_EDITCONTROL | DT_EXPANDTABS | DT_NOPREFIX | DT_CENTER | DT_BOTTOM | DT_WORDBREAK, false},
        {1, true, false, true, Alignment::taLeftJustify, vtaTop,
         DT_EDITCONTROL | DT_END_ELLIPSIS | DT_EXPANDTABS | DT_NOPREFIX | DT_WORDBREAK, false},
        // Several lines in a multi-line cell.
        {3, false, true, true, Alignment::taLeftJustify, vtaTop,
         DT_EDITCONTROL | DT_EXPANDTABS | DT_NOPREFIX | DT_WORDBREAK, false},
    };
    for (const auto& c : cases) {
        const TCellTextFlags f = CellTextFlags(c.lines, c.wordWrap, c.multiLine, c.enh, c.h, c.v);
        EXPECT_EQ(f.flags, c.flags) << c.lines << c.wordWrap << c.multiLine << c.enh;
        EXPECT_EQ(f.firstLineOnly, c.firstLineOnly);
    }
}

TEST(RotatedTextTest, OriginByQuadrantAndAlignment)
{
    const Rect r{10, 20, 110, 70}; // 100 x 50
    // 90 degrees: a = 0, b = text width 40, c = text height 12, d = 0.
    EXPECT_EQ(RotatedTextOrigin(r, Alignment::taLeftJustify, vtaTop, 0, 40, 12, 0, 90), QPoint(10, 60));
    EXPECT_EQ(RotatedTextOrigin(r, Alignment::taRightJustify, vtaBottom, 0, 40, 12, 0, 90), QPoint(98, 70));
    EXPECT_EQ(RotatedTextOrigin(r, Alignment::taCenter, vtaCenter, 0, 40, 12, 0, 90), QPoint(54, 65));
    // 180: a = 12, b = 0, c = 0, d = 40.
    EXPECT_EQ(RotatedTextOrigin(r, Alignment::taLeftJustify, vtaTop, 12, 0, 0, 40, 180), QPoint(50, 32));
    EXPECT_EQ(RotatedTextOrigin(r, Alignment::taCenter, vtaCenter, 12, 0, 0, 40, 180), QPoint(80, 51));
    // 270: a = 0, b = 40, c = 12, d = 0.
    EXPECT_EQ(RotatedTextOrigin(r, Alignment::taLeftJustify, vtaBottom, 0, 40, 12, 0, 270), QPoint(22, 30));
    EXPECT_EQ(RotatedTextOrigin(r, Alignment::taRightJustify, vtaTop, 0, 40, 12, 0, 270), QPoint(110, 20));
    // 300 lies in the fourth quadrant.
    EXPECT_EQ(RotatedTextOrigin(r, Alignment::taRightJustify, vtaBottom, 6, 34, 10, 20, 300), QPoint(90, 30));
}

TEST(RotatedTextTest, SizeOfTurnedText)
{
    EXPECT_EQ(RotatedTextSize(40, 12, 90), QSize(24, 52)); // as wide as the text is high, plus 12
    EXPECT_EQ(RotatedTextSize(40, 12, 0), QSize(52, 24));
    EXPECT_EQ(RotatedTextSize(40, 12, 180), QSize(52, 24));
}

TEST(BandColorTest, PrimaryAndSecondaryRuns)
{
    // Two primary rows, then one secondary, from the first data row on.
    const Color p = clYellow, s = clAqua, g = clWhite;
    const Color expected[] = {p, p, s, p, p, s};
    for (int row = 1; row <= 6; ++row)
        EXPECT_EQ(BandColor(row, 1, 3, 2, p, s, g), expected[row - 1]) << row;
    EXPECT_EQ(BandColor(4, 1, 0, 0, p, s, g), g);
}

} // namespace
