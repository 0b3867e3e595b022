#include "controls/grid/util/ExtDraw.h"

#include "platform/draw/Canvas.h"

#include <QImage>
#include <gtest/gtest.h>

using namespace controls::grid;
using platform::Bitmap;
using platform::CanvasCallLog;
using platform::rgb;

namespace {

QStringList callsStarting(const CanvasCallLog& log, const QString& prefix)
{
    QStringList out;
    for (const QString& c : log.calls())
        if (c.startsWith(prefix))
            out << c;
    return out;
}

// The rectangle of a "rectangle l,t,r,b ..." log line.
Rect rectOf(const QString& call)
{
    const QStringList n = call.section(u' ', 1, 1).split(u',');
    return Rect{n[0].toInt(), n[1].toInt(), n[2].toInt(), n[3].toInt()};
}

QString brushOf(const QString& call) { return call.section(QStringLiteral("brush="), 1); }

} // namespace

TEST(ExtDrawTest, GradientDrawsOneBandPerStepUpToTheSpan)
{
    Bitmap bmp(40, 40);
    platform::Canvas canvas(bmp);
    CanvasCallLog log;
    DrawGradient(canvas, rgb(0, 0, 0), rgb(0, 0, 90), 16, Rect{0, 0, 20, 10}, false);
    const QStringList bands = callsStarting(log, QStringLiteral("rectangle"));
    ASSERT_EQ(bands.size(), 10); // span 9: nine steps, ten bands
    EXPECT_EQ(rectOf(bands.first()), (Rect{0, 0, 20, 2}));
    EXPECT_EQ(rectOf(bands.last()), (Rect{0, 9, 20, 10}));
    EXPECT_EQ(brushOf(bands.first()), platform::ColorToString(rgb(0, 0, 0)));
    EXPECT_EQ(brushOf(bands.last()), platform::ColorToString(rgb(0, 0, 90)));
    EXPECT_EQ(bmp.pixel(5, 9), rgb(0, 0, 90));

    // Edges swapped draw the same.
    CanvasCallLog swapped;
    DrawGradient(canvas, rgb(0, 0, 0), rgb(0, 0, 90), 16, Rect{0, 10, 20, 0}, false);
    EXPECT_EQ(swapped.calls(), log.calls().mid(0, 0) + bands);

    // Four steps over a wide span: five bands stepping evenly.
    CanvasCallLog wide;
    DrawGradient(canvas, rgb(0, 0, 0), rgb(100, 0, 0), 4, Rect{0, 0, 33, 5}, true);
    const QStringList w = callsStarting(wide, QStringLiteral("rectangle"));
    ASSERT_EQ(w.size(), 5);
    EXPECT_EQ(rectOf(w[1]), (Rect{8, 0, 17, 5}));
    EXPECT_EQ(brushOf(w[2]), platform::ColorToString(rgb(50, 0, 0)));
}

TEST(ExtDrawTest, GradientWithoutOneColourIsSolid)
{
    Bitmap bmp(20, 20);
    platform::Canvas canvas(bmp);
    CanvasCallLog log;
    DrawGradient(canvas, platform::clRed, platform::clNone, 16, Rect{2, 2, 12, 12}, false);
    const QStringList r = callsStarting(log, QStringLiteral("rectangle"));
    ASSERT_EQ(r.size(), 1);
    EXPECT_EQ(rectOf(r[0]), (Rect{2, 2, 12, 12}));
    EXPECT_EQ(bmp.pixel(11, 11), platform::clRed);
    EXPECT_EQ(bmp.pixel(12, 12), platform::clWhite);
    log.clear();
    DrawGradient(canvas, platform::clRed, platform::clBlue, 16, Rect{0, 5, 10, 5}, false);
    EXPECT_TRUE(log.calls().isEmpty());
}

TEST(ExtDrawTest, ProgressBarTextAndDonePart)
{
    Bitmap bmp(120, 30, platform::clWhite);
    platform::Canvas canvas(bmp);
    struct Case {
        double position;
        int min, max;
        QString format;
        QString text;
        int doneRight; // the done part's right edge, rect 0..100 with no margins
    } cases[] = {
        {150, 0, 100, QString(), QStringLiteral("150%"), 100},
        {40, 0, 100, QString(), QStringLiteral("40%"), 40},
        {50, 0, 200, QStringLiteral("%d items"), QStringLiteral("50 items"), 25},
        {12.5, 0, 100, QStringLiteral("%.1f"), QStringLiteral("12.5"), 12},
        {3, 5, 5, QStringLiteral("%d"), QStringLiteral("3"), 0},             // no range: an empty bar
        {7, 0, 10, QStringLiteral("%s bad"), QStringLiteral("%s bad"), 70}, // shown as it is
    };
    for (const auto& c : cases) {
        CanvasCallLog log;
        canvas.brush().color = platform::clWhite;
        DrawProgressBar(canvas, Rect{0, 0, 100, 20}, platform::clRed, platform::clWhite, platform::clSilver,
                        platform::clBlack, c.position, 0, 0, c.min, c.max, c.format, platform::clBlack, false);
        // Each part is drawn when it is not empty, both with the same text.
        QStringList expected;
        if (c.doneRight > 0)
            expected << QStringLiteral("textRect 0,0,%1,20").arg(c.doneRight);
        if (c.doneRight < 100)
            expected << QStringLiteral("textRect %1,0,100,20").arg(c.doneRight);
        const QStringList texts = callsStarting(log, QStringLiteral("textRect"));
        ASSERT_EQ(texts.size(), expected.size()) << c.text.toStdString();
        for (int i = 0; i < texts.size(); ++i) {
            EXPECT_TRUE(texts[i].startsWith(expected[i])) << texts[i].toStdString();
            EXPECT_TRUE(texts[i].endsWith(QLatin1Char('"') + c.text + QLatin1Char('"'))) << texts[i].toStdString();
        }
    }
}

namespace {

TProgressLook stackedLook()
{
    TProgressLook look;
    look.Level0Color = rgb(1, 0, 0);
    look.Level0ColorTo = rgb(1, 0, 0);
    look.Level1Color = rgb(2, 0, 0);
    look.Level1ColorTo = rgb(2, 0, 0);
    look.Level2Color = rgb(3, 0, 0);
    look.Level2ColorTo = rgb(3, 0, 0);
    look.Level3Color = rgb(4, 0, 0);
    look.Level3ColorTo = rgb(4, 0, 0);
    look.ShowGradient = false;
    look.ShowPercentage = false;
    look.UnCompleteColor = platform::clWhite;
    return look;
}

} // namespace

TEST(ExtDrawTest, StackedProgressBarDrawsItsThreeLevels)
{
    Bitmap bmp(120, 20, platform::clWhite);
    platform::Canvas canvas(bmp);
    TProgressLook look = stackedLook();
    look.Stacked = true;
    look.Level1Perc = 30;
    look.Level2Perc = 70;
    CanvasCallLog log;
    DrawStyledProgressBar(canvas, Rect{0, 0, 102, 12}, 80, look); // usable length 100
    const QStringList r = callsStarting(log, QStringLiteral("rectangle"));
    ASSERT_EQ(r.size(), 5); // area, three segments, border
    EXPECT_EQ(rectOf(r[1]), (Rect{1, 1, 31, 11}));
    EXPECT_EQ(brushOf(r[1]), platform::ColorToString(rgb(1, 0, 0)));
    EXPECT_EQ(rectOf(r[2]), (Rect{31, 1, 71, 11}));
    EXPECT_EQ(brushOf(r[2]), platform::ColorToString(rgb(2, 0, 0)));
    EXPECT_EQ(rectOf(r[3]), (Rect{71, 1, 81, 11}));
    EXPECT_EQ(brushOf(r[3]), platform::ColorToString(rgb(4, 0, 0))); // the Level3 colours
    EXPECT_EQ(bmp.pixel(75, 5), rgb(4, 0, 0));
    EXPECT_EQ(bmp.pixel(85, 5), platform::clWhite);

    // Vertical: the segments grow from the bottom.
    log.clear();
    look.Vertical = true;
    DrawStyledProgressBar(canvas, Rect{0, 0, 12, 102}, 30, look);
    const QStringList v = callsStarting(log, QStringLiteral("rectangle"));
    ASSERT_EQ(v.size(), 3); // exactly at Level1Perc the second segment is empty
    EXPECT_EQ(rectOf(v[1]), (Rect{1, 71, 11, 101}));
}

TEST(ExtDrawTest, StyledProgressBarLevelsAndBlocks)
{
    Bitmap bmp(120, 20, platform::clWhite);
    platform::Canvas canvas(bmp);
    TProgressLook look = stackedLook();
    {
        CanvasCallLog log;
        DrawStyledProgressBar(canvas, Rect{0, 0, 102, 12}, 100, look);
        const QStringList r = callsStarting(log, QStringLiteral("rectangle"));
        ASSERT_EQ(r.size(), 3);
        EXPECT_EQ(brushOf(r[1]), platform::ColorToString(rgb(4, 0, 0)));
        EXPECT_EQ(rectOf(r[1]), (Rect{1, 1, 101, 11}));
    }
    {
        look.CompletionSmooth = false;
        CanvasCallLog log;
        DrawStyledProgressBar(canvas, Rect{0, 0, 102, 12}, 50, look);
        const QStringList r = callsStarting(log, QStringLiteral("rectangle"));
        ASSERT_EQ(r.size(), 8); // area, five blocks of 7, a last block of 4, border
        EXPECT_EQ(rectOf(r[1]), (Rect{2, 2, 9, 10}));
        EXPECT_EQ(rectOf(r[5]), (Rect{38, 2, 45, 10}));
        EXPECT_EQ(rectOf(r[6]), (Rect{47, 2, 51, 10}));
        EXPECT_EQ(brushOf(r[1]), platform::ColorToString(rgb(1, 0, 0)));
    }
    {
        CanvasCallLog log;
        DrawStyledProgressBar(canvas, Rect{0, 0, 102, 12}, 0, look);
        EXPECT_EQ(callsStarting(log, QStringLiteral("rectangle")).size(), 2);
    }
}

TEST(ExtDrawTest, ShapesTakeTheirOutlines)
{
    Bitmap bmp(64, 64, platform::clWhite);
    platform::Canvas canvas(bmp);
    CanvasCallLog log;
    DrawShape(canvas, 10, 10, 20, 10, csSquare, platform::clRed, platform::clBlack);
    DrawShape(canvas, 0, 0, 16, 16, csStar, platform::clYellow, platform::clBlack);
    DrawShape(canvas, 0, 0, 16, 16, csHalfStar, platform::clYellow, platform::clBlack);
    DrawShape(canvas, 0, 0, 10, 6, csDiamond, platform::clYellow, platform::clBlack);
    DrawShape(canvas, 0, 0, 10, 6, 40, platform::clGreen, platform::clBlue);
    const QStringList calls = log.calls();
    ASSERT_EQ(calls.size(), 4);
    EXPECT_TRUE(calls[0].startsWith(QStringLiteral("rectangle 11,11,19,19"))) << calls[0].toStdString();
    EXPECT_TRUE(calls[1].startsWith(QStringLiteral("polygon 8,0 10,6 16,6 11,9 13,14 8,11 3,14 5,9 0,6 6,6 ")))
        << calls[1].toStdString();
    EXPECT_TRUE(calls[2].startsWith(QStringLiteral("polygon 8,0 8,11 3,14 5,9 0,6 6,6 "))) << calls[2].toStdString();
    EXPECT_TRUE(calls[3].startsWith(QStringLiteral("polygon 0,3 5,0 10,3 5,6 "))) << calls[3].toStdString();
    EXPECT_EQ(canvas.brush().color, platform::clGreen); // an unknown shape only sets the colours
}

TEST(ExtDrawTest, SelectionBlockEdgesBySide)
{
    Bitmap bmp(40, 30, platform::clWhite);
    platform::Canvas canvas(bmp);
    const Color border = rgb(9, 9, 9), corner = rgb(8, 8, 8), back = rgb(7, 7, 7), fill = rgb(200, 0, 0);
    DrawSelectionBlock(canvas, fill, platform::clNone, platform::clNone, platform::clNone, rgb(1, 1, 1), rgb(2, 2, 2),
                       border, corner, back, Rect{0, 0, 20, 20}, 0);
    // Working rect L0 T0 R19 B18: border lines, corner pixels, the fill between.
    EXPECT_EQ(bmp.pixel(0, 0), back);
    EXPECT_EQ(bmp.pixel(1, 0), corner);
    EXPECT_EQ(bmp.pixel(5, 0), border);
    EXPECT_EQ(bmp.pixel(0, 5), border);
    EXPECT_EQ(bmp.pixel(18, 5), border);
    EXPECT_EQ(bmp.pixel(5, 5), fill);
    // Side 3 (a middle cell) draws no vertical edge and fills to both sides.
    platform::Bitmap mid(40, 30, platform::clWhite);
    platform::Canvas mc(mid);
    DrawSelectionBlock(mc, fill, platform::clNone, platform::clNone, platform::clNone, rgb(1, 1, 1), rgb(2, 2, 2),
                       border, corner, back, Rect{0, 0, 20, 20}, 3);
    EXPECT_EQ(mid.pixel(0, 0), border);
    EXPECT_EQ(mid.pixel(0, 5), fill);
    EXPECT_EQ(mid.pixel(18, 5), fill);
}

TEST(ExtDrawTest, RangeIndicatorAndSafeEmptyRange)
{
    Bitmap bmp(40, 20, platform::clWhite);
    platform::Canvas canvas(bmp);
    CanvasCallLog log;
    DrawRangeIndicator(canvas, Rect{0, 0, 24, 10}, -50, 100, false, platform::clRed, platform::clGreen);
    DrawRangeIndicator(canvas, Rect{0, 0, 24, 10}, 500, 100, false, platform::clRed, platform::clGreen);
    DrawRangeIndicator(canvas, Rect{0, 0, 24, 10}, 5, 0, false, platform::clRed, platform::clGreen);
    const QStringList r = callsStarting(log, QStringLiteral("rectangle"));
    ASSERT_EQ(r.size(), 2);
    EXPECT_EQ(rectOf(r[0]), (Rect{7, 2, 12, 8})); // half 10, length 5 left of the centre 12
    EXPECT_EQ(rectOf(r[1]), (Rect{12, 2, 22, 8})); // clamped to the range
}

TEST(ExtDrawTest, ButtonsInOwnColours)
{
    Bitmap bmp(60, 30, platform::clWhite);
    platform::Canvas canvas(bmp);
    TColorTones tones;
    tones.Background = {rgb(1, 0, 0), rgb(2, 0, 0), rgb(3, 0, 0)};
    tones.Hover = {rgb(4, 0, 0), rgb(5, 0, 0), rgb(6, 0, 0)};
    tones.Selected = {rgb(7, 0, 0), rgb(8, 0, 0), rgb(9, 0, 0)};
    tones.Disabled = {rgb(10, 0, 0), rgb(11, 0, 0), rgb(12, 0, 0)};
    CanvasCallLog log;
    DrawPushButton(canvas, nullptr, Rect{0, 0, 30, 20}, blTones, btsPressed, tones);
    DrawDropDownButton(canvas, nullptr, Rect{0, 0, 40, 20}, blTones, btsHot, tones);
    const QStringList calls = log.calls();
    ASSERT_GE(calls.size(), 2);
    EXPECT_EQ(calls[0], QStringLiteral("rectangle 0,0,30,20 pen=%1 brush=%2")
                            .arg(platform::ColorToString(rgb(8, 0, 0)), platform::ColorToString(rgb(7, 0, 0))));
    EXPECT_TRUE(calls[1].startsWith(QStringLiteral("rectangle 24,1,38,19"))) << calls[1].toStdString();
    // Classic looks go through the frame controls and draw something.
    log.clear();
    DrawSpinButtons(canvas, nullptr, Rect{0, 0, 40, 20}, blClassic, btsNormal, tones);
    EXPECT_EQ(log.calls().size(), 2);
}

TEST(ExtDrawTest, TransparentBitmapShowsTheBackColour)
{
    Bitmap glyph(4, 4, platform::clFuchsia);
    glyph.setPixel(1, 1, platform::clBlue);
    Bitmap bmp(10, 10, platform::clWhite);
    platform::Canvas canvas(bmp);
    DrawBitmapTransparent(canvas, glyph, platform::clRed, Rect{2, 2, 9, 9});
    EXPECT_EQ(bmp.pixel(2, 2), platform::clRed);
    EXPECT_EQ(bmp.pixel(3, 3), platform::clBlue);
    EXPECT_EQ(bmp.pixel(6, 6), platform::clWhite);
}
