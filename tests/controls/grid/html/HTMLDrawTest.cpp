// The mini-HTML renderer: layout and measure by the rules of its dialect (table tests), hit-tests
// of anchors, images and controls, and pixel probes of a few drawn texts.
#include "controls/grid/html/HTMLDraw.h"
#include "controls/grid/html/PictureContainer.h"

#include "platform/draw/Graphics.h"
#include "support/DrawChecks.h"

#include <QBuffer>
#include <QLocale>
#include <gtest/gtest.h>

using namespace controls::grid;
using platform::Bitmap;
using testing_support::inkBox;

namespace {

class HTMLDrawTest : public ::testing::Test {
protected:
    HTMLDrawTest()
        : bitmap(300, 120, platform::clWhite)
        , canvas(bitmap)
    {
        canvas.font().font = testing_support::testFont();
        canvas.font().color = platform::clBlack;
        gh = canvas.textHeight(QStringLiteral("gh"));
    }

    int width(const QString& s, bool bold = false)
    {
        platform::Font keep = canvas.font();
        canvas.font().font.setBold(bold);
        const int w = canvas.textWidth(s);
        canvas.font() = keep;
        return w;
    }

    THTMLDrawResult calc(const QString& text, const Rect& r = Rect{0, 0, 300, 120}, bool wrap = false)
    {
        THTMLDrawParams p;
        p.CalcOnly = true;
        p.WordWrap = wrap;
        THTMLDrawResult res;
        HTMLDrawText(canvas, text, r, p, res);
        return res;
    }

    bool hitTest(const QString& text, int x, int y, THTMLDrawResult& res, const Rect& r = Rect{0, 0, 300, 120})
    {
        THTMLDrawParams p;
        p.NoDraw = true;
        p.PointX = x;
        p.PointY = y;
        return HTMLDrawText(canvas, text, r, p, res);
    }

    THTMLDrawResult draw(const QString& text, THTMLDrawParams p = THTMLDrawParams{}, const Rect& r = Rect{0, 0, 300, 120})
    {
        THTMLDrawResult res;
        HTMLDrawText(canvas, text, r, p, res);
        return res;
    }

    Bitmap bitmap;
    platform::Canvas canvas;
    int gh = 0;
};

} // namespace

TEST_F(HTMLDrawTest, MeasuresTheTextsOfTheDialectsRules)
{
    struct Case {
        const char* text;
        int lines;
        QString strip;
    } cases[] = {
        {"Hello <b>World</b>", 1, QStringLiteral("Hello World")},
        {"a<br>b", 2, QStringLiteral("a\rb")},
        {"a<BR/>b<Br>c", 3, QStringLiteral("a\rb\rc")},
        {"one\r\ntwo", 2, QStringLiteral("one\rtwo")},
        {"a<b x", 1, QStringLiteral("a")},
        {"a<", 1, QStringLiteral("a")},
        {"x <div attr=\"1\">y</div>", 1, QStringLiteral("x y")},
        {"x <unknown>y", 2, QStringLiteral("x y")}, // "<U" other than "<U>" opens a list
        {"&lt;b&gt; &amp; &euro;&COPY;&quot;", 1, QStringLiteral("<b> && \u20AC\u00A9\"")},
        {"&amp;amp;", 1, QStringLiteral("&&&")},
        {"a&nbsp;b", 1, QStringLiteral("a b")},
        {"<#tag>", 1, QStringLiteral("#tag")},
        {"<ul><li>one<li>two</ul>", 3, QStringLiteral("onetwo")},
        {"p1</p>p2", 2, QStringLiteral("p1p2")},
        {"<hr>x", 2, QStringLiteral("x")},
    };
    for (const Case& c : cases) {
        const THTMLDrawResult r = calc(QString::fromUtf8(c.text));
        EXPECT_EQ(r.StripVal, c.strip) << c.text;
        EXPECT_EQ(r.TextHeight, c.lines * gh) << c.text;
    }
    EXPECT_EQ(calc(QStringLiteral("Hello <b>World</b>")).TextWidth, width(QStringLiteral("Hello ")) + width(QStringLiteral("World"), true));
    // Nothing laid out: the height of one line.
    EXPECT_EQ(calc(QString()).TextHeight, gh);
    EXPECT_EQ(calc(QString()).TextWidth, 0);
    // A list item stands 12 pixels in per level; IND moves the text to its offset.
    EXPECT_EQ(calc(QStringLiteral("<ul><li>one<li>two</ul>")).TextWidth,
              12 + std::max(width(QStringLiteral("one")), width(QStringLiteral("two"))));
    EXPECT_EQ(calc(QStringLiteral("<ul><ul><li>x</ul></ul>")).TextWidth, 24 + width(QStringLiteral("x")));
    EXPECT_EQ(calc(QStringLiteral("<ind x=\"40\">abc")).TextWidth, 40 + width(QStringLiteral("abc")));
    // Hidden text is in the plain text but takes no room.
    const THTMLDrawResult hidden = calc(QStringLiteral("a<z>hidden</z>b"));
    EXPECT_EQ(hidden.StripVal, QStringLiteral("ahiddenb"));
    EXPECT_EQ(hidden.TextWidth, width(QStringLiteral("ab")));
}

TEST_F(HTMLDrawTest, WrapsAtSpacesOrEndsInAnEllipsis)
{
    const int twoWords = width(QStringLiteral("aaa bbb "));
    const Rect r{0, 0, 1 + twoWords + 3, 120};
    const THTMLDrawResult wrapped = calc(QStringLiteral("aaa bbb ccc"), r, true);
    EXPECT_EQ(wrapped.TextHeight, 2 * gh);
    EXPECT_EQ(wrapped.TextWidth, width(QStringLiteral("aaa bbb")));
    EXPECT_EQ(wrapped.StripVal, QStringLiteral("aaa bbb ccc"));

    const THTMLDrawResult single = calc(QStringLiteral("aaa bbb ccc"), r, false);
    EXPECT_EQ(single.TextHeight, gh);
    // Drawn, the one line ends in an ellipsis.
    platform::CanvasCallLog log;
    THTMLDrawParams p;
    draw(QStringLiteral("aaa bbb ccc"), p, r);
    ASSERT_FALSE(log.calls().isEmpty());
    EXPECT_TRUE(log.calls().join(u'\n').contains(QStringLiteral("$8268"))) << log.calls().join(u'\n').toStdString();
    EXPECT_EQ(canvas.drawnLines(QStringLiteral("aaa bbb ccc"), Rect{1, 0, r.right, gh}, 0x8268).value(0).right(3),
              QStringLiteral("..."));

    // A word split by a tag stays together, on the next line when it starts after a space.
    const THTMLDrawResult split =
        calc(QStringLiteral("aaa bb<b>bb</b>"), Rect{0, 0, 1 + width(QStringLiteral("aaa ")) + 2, 120}, true);
    EXPECT_EQ(split.TextHeight, 2 * gh);
    EXPECT_EQ(split.TextWidth, width(QStringLiteral("bb")) + width(QStringLiteral("bb"), true));
    // A word wider than the line stays whole.
    const THTMLDrawResult longWord = calc(QStringLiteral("abcdefghijklmnop"), Rect{0, 0, 30, 120}, true);
    EXPECT_EQ(longWord.TextHeight, gh);
}

TEST_F(HTMLDrawTest, FontsSizesAndScriptsChangeTheLineHeight)
{
    platform::Font keep = canvas.font();
    canvas.font().font.setPointSize(16);
    const int big = canvas.textHeight(QStringLiteral("gh"));
    canvas.font().font.setPointSize(8);
    const int eight = canvas.textHeight(QStringLiteral("gh"));
    canvas.font() = keep;

    EXPECT_EQ(calc(QStringLiteral("<font size=\"5\">X</font>")).TextHeight, big);
    EXPECT_EQ(calc(QStringLiteral("<font size=\"16\">X</font>")).TextHeight, big);
    EXPECT_EQ(calc(QStringLiteral("<font size=5>X</font>")).TextHeight, big); // an integer read from the tag
    EXPECT_EQ(calc(QStringLiteral("a<font size=\"1\">X</font>")).TextHeight, std::max(gh, eight));
    // A FONT inside a FONT ends with the default font.
    EXPECT_EQ(calc(QStringLiteral("<font size=\"5\"><font size=\"1\">x</font>y</font>")).TextWidth,
              calc(QStringLiteral("<font size=\"1\">x</font>y")).TextWidth);
    EXPECT_EQ(calc(QStringLiteral("x<sup>2</sup>")).TextHeight, gh + gh / 4);
    EXPECT_EQ(calc(QStringLiteral("x<sub>2</sub>")).TextHeight, gh + gh / 4);
    EXPECT_EQ(calc(QStringLiteral("x<sub>2</sub><sup>3</sup>")).TextHeight, gh + 2 * (gh / 4));
    // Bold and italic by their tags, not by look-alikes.
    EXPECT_EQ(calc(QStringLiteral("<b>W</b>")).TextWidth, width(QStringLiteral("W"), true));
    EXPECT_EQ(calc(QStringLiteral("<br2>W")).TextWidth, width(QStringLiteral("W")));
}

TEST_F(HTMLDrawTest, ATextLongerThanTheRectangleStopsAtTheLastLineThatFits)
{
    const QString text = QStringLiteral("1<br>2<br>3<br>4");
    const Rect r{0, 0, 100, 2 * gh + gh / 2};
    EXPECT_EQ(draw(text, THTMLDrawParams{}, r).TextHeight, 2 * gh);
    EXPECT_EQ(calc(text, r).TextHeight, 4 * gh);
    // The first line is laid out however low the rectangle is.
    EXPECT_EQ(draw(text, THTMLDrawParams{}, Rect{0, 0, 100, 2}).TextHeight, gh);
}

TEST_F(HTMLDrawTest, AnchorsAreHitByPosition)
{
    const QString text = QStringLiteral("<a href=\"u1\" title=\"first\">one</a> <a href=\"u2\">two</a>");
    const int oneSpace = width(QStringLiteral("one")) + width(QStringLiteral(" ")); // chunk by chunk
    THTMLDrawResult res;
    EXPECT_TRUE(hitTest(text, 1 + oneSpace + 2, gh - 2, res));
    EXPECT_EQ(res.AnchorVal, QStringLiteral("u2"));
    EXPECT_EQ(res.AnchorCount, 2);
    EXPECT_EQ(res.AnchorIndex, 2);
    EXPECT_EQ(res.AnchorRect, (Rect{1 + oneSpace, 0, 1 + oneSpace + width(QStringLiteral("two")), gh}));

    EXPECT_TRUE(hitTest(text, 3, gh / 2, res));
    EXPECT_EQ(res.AnchorVal, QStringLiteral("u1"));
    EXPECT_EQ(res.AnchorTitle, QStringLiteral("first"));
    EXPECT_EQ(res.AnchorIndex, 1);

    // The space between them, the right of the text and a point below the line hit nothing.
    EXPECT_FALSE(hitTest(text, 1 + width(QStringLiteral("one")) + 1, gh / 2, res));
    EXPECT_EQ(res.AnchorIndex, -1);
    EXPECT_FALSE(hitTest(text, 250, gh / 2, res));
    EXPECT_FALSE(hitTest(text, 3, gh + 4, res));

    // A no-draw call sees the aligned place of a right-aligned anchor.
    const QString right = QStringLiteral("<p align=\"right\"><a href=\"r\">go</a></p>");
    EXPECT_TRUE(hitTest(right, 298, gh / 2, res));
    EXPECT_EQ(res.AnchorVal, QStringLiteral("r"));
    EXPECT_FALSE(hitTest(right, 3, gh / 2, res));

    // An anchor over two lines: its rectangle runs from the second line's left.
    const QString wrapped = QStringLiteral("<a href=\"w\">aa<br>bb</a>");
    EXPECT_TRUE(hitTest(wrapped, 3, gh + gh / 2, res));
    EXPECT_EQ(res.AnchorRect, (Rect{1, gh, 1 + width(QStringLiteral("bb")), 2 * gh}));
}

TEST_F(HTMLDrawTest, ControlsTakeTheirWidthAndAreHitOrFoundByID)
{
    const QString check = QStringLiteral("<control type=\"CHECK\" id=\"c1\" value=\"TRUE\" width=\"20\">x");
    const THTMLDrawResult m = calc(check);
    EXPECT_EQ(m.TextWidth, 20 + width(QStringLiteral("x")));
    EXPECT_EQ(m.TextHeight, std::max(gh, 16));
    EXPECT_EQ(calc(QStringLiteral("<control type=\"CHECK\" id=\"c1\" value=\"TRUE\">x")).TextWidth, width(QStringLiteral("x")));

    THTMLDrawResult res;
    EXPECT_TRUE(hitTest(check, 5, 5, res));
    EXPECT_EQ(res.AnchorVal, QStringLiteral("ctrl"));
    EXPECT_EQ(res.ControlType, QStringLiteral("CHECK"));
    EXPECT_EQ(res.ControlID, QStringLiteral("c1"));
    EXPECT_EQ(res.ControlValue, QStringLiteral("TRUE"));
    EXPECT_EQ(res.ControlRect, (Rect{1, 0, 21, 16}));

    // By its ID in a no-draw call, wherever the point is.
    const QString two = QStringLiteral("<control type=\"EDIT\" id=\"e1\" value=\"a\" width=\"40\">"
                                       "<control type=\"COMBO\" id=\"e2\" value=\"b\" width=\"50\">");
    res = THTMLDrawResult{};
    res.ControlID = QStringLiteral("e2");
    EXPECT_TRUE(hitTest(two, -1, -1, res));
    EXPECT_EQ(res.ControlType, QStringLiteral("COMBO"));
    EXPECT_EQ(res.ControlRect, (Rect{41, 0, 91, 25}));
    EXPECT_EQ(calc(two).TextHeight, std::max(25, gh + 10));
    // A drawing call clears the ID it was given.
    res.ControlID = QStringLiteral("e2");
    HTMLDrawText(canvas, two, Rect{0, 0, 300, 120}, THTMLDrawParams{}, res);
    EXPECT_TRUE(res.ControlID.isEmpty());
}

TEST_F(HTMLDrawTest, ImagesFromTheListAndThePictureContainer)
{
    platform::TImageList images(16, 16);
    const platform::Color colors[] = {platform::clRed, platform::clLime, platform::clBlue};
    for (int i = 0; i < 2; ++i)
        images.Add(Bitmap(16, 16, colors[i]));
    THTMLDrawParams p;
    p.Images = &images;
    p.CalcOnly = true;
    THTMLDrawResult res;
    HTMLDrawText(canvas, QStringLiteral("<img src=\"idx:2\">"), Rect{0, 0, 300, 120}, p, res);
    EXPECT_EQ(res.TextWidth, 0);

    images.Add(Bitmap(16, 16, colors[2]));
    HTMLDrawText(canvas, QStringLiteral("<img src=\"idx:2\">"), Rect{0, 0, 300, 120}, p, res);
    EXPECT_EQ(res.TextWidth, 16);
    EXPECT_EQ(res.TextHeight, std::max(gh, 16));
    p.CalcOnly = false;
    draw(QStringLiteral("<img src=\"idx:2\">"), p);
    EXPECT_EQ(bitmap.pixel(1, 0), platform::clBlue);
    EXPECT_EQ(bitmap.pixel(16, 15), platform::clBlue);
    EXPECT_EQ(bitmap.pixel(17, 0), platform::clWhite);

    // Named pictures in any letter case; sized by WIDTH, HEIGHT or both.
    TPictureContainer container;
    TPictureItem* item = container.Items().Add();
    item->Name = QStringLiteral("Dot");
    QImage red(6, 4, QImage::Format_RGB32);
    red.fill(Qt::red);
    QByteArray png;
    {
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        red.save(&buffer, "PNG");
    }
    item->Picture().LoadFromStream(png);
    p = THTMLDrawParams{};
    p.Container = &container;
    p.CalcOnly = true;
    struct Case {
        const char* tag;
        int w, h;
    } cases[] = {
        {"<img src=\"dot\">", 6, 4},
        {"<img src=\"DOT\" width=\"12\">", 12, 8},
        {"<img src=\"dot\" height=\"40\">", 60, 40},
        {"<img src=\"dot\" width=\"10\" height=\"30\">", 10, 30},
        {"<img src=\"none\">", 0, 0},
    };
    for (const Case& c : cases) {
        HTMLDrawText(canvas, QString::fromUtf8(c.tag), Rect{0, 0, 300, 120}, p, res);
        EXPECT_EQ(res.TextWidth, c.w) << c.tag;
        EXPECT_EQ(res.TextHeight, std::max(gh, c.h)) << c.tag;
    }
    // Text beside a tall image stands on the bottom, or at the top with ALIGN="TOP".
    p.CalcOnly = false;
    bitmap.fill(platform::clWhite);
    draw(QStringLiteral("<img src=\"dot\" height=\"40\">x"), p);
    const int bottomInk = inkBox(bitmap, platform::clBlack).top;
    bitmap.fill(platform::clWhite);
    draw(QStringLiteral("<img src=\"dot\" height=\"40\" align=\"top\">x"), p);
    EXPECT_LT(inkBox(bitmap, platform::clBlack).top, bottomInk - 20);
    EXPECT_EQ(bitmap.pixel(1, 39), platform::clRed);

    // An image inside an anchor is hit on its box.
    p = THTMLDrawParams{};
    p.Container = &container;
    p.NoDraw = true;
    p.PointX = 4;
    p.PointY = 2;
    EXPECT_TRUE(HTMLDrawText(canvas, QStringLiteral("<a href=\"pic\"><img src=\"dot\"></a>"), Rect{0, 0, 300, 120}, p, res));
    EXPECT_EQ(res.AnchorVal, QStringLiteral("pic"));
}

TEST_F(HTMLDrawTest, PixelProbesOfColoursAndBackgrounds)
{
    draw(QStringLiteral("<font color=\"clred\">x</font>y"));
    EXPECT_FALSE(inkBox(bitmap, platform::clRed).empty());
    EXPECT_LT(inkBox(bitmap, platform::clRed).right, inkBox(bitmap, platform::clBlack).left);

    bitmap.fill(platform::clWhite);
    draw(QStringLiteral("<font color=clred>x</font>"));
    EXPECT_TRUE(inkBox(bitmap, platform::clRed).empty());
    EXPECT_FALSE(inkBox(bitmap, platform::clBlack).empty());

    bitmap.fill(platform::clWhite);
    THTMLDrawParams keep;
    keep.KeepColors = true;
    draw(QStringLiteral("<font color=\"#FF0000\">x</font>"), keep);
    EXPECT_TRUE(inkBox(bitmap, platform::clRed).empty());

    bitmap.fill(platform::clWhite);
    draw(QStringLiteral("<font color=\"#FF0000\">x</font>"));
    EXPECT_FALSE(inkBox(bitmap, platform::clRed).empty());

    // A paragraph background fills the area's width over its line.
    bitmap.fill(platform::clWhite);
    draw(QStringLiteral("<p bgcolor=\"#00FF00\">x</p>y"));
    const auto green = inkBox(bitmap, platform::clLime);
    EXPECT_EQ(green.left, 0);
    EXPECT_EQ(green.right, 299);
    EXPECT_EQ(green.top, 0);
    EXPECT_EQ(green.bottom, gh - 1);

    // HI takes the highlight colours.
    SetHighlightColors(platform::clYellow, platform::clRed);
    bitmap.fill(platform::clWhite);
    draw(QStringLiteral("a<hi>word</hi>b"));
    EXPECT_FALSE(inkBox(bitmap, platform::clYellow).empty());
    EXPECT_FALSE(inkBox(bitmap, platform::clRed).empty());
    EXPECT_EQ(inkBox(bitmap, platform::clYellow).left, 1 + width(QStringLiteral("a")));
    SetHighlightColors(platform::clHighlight, platform::clHighlightText);

    // Anchors in the anchor colour, underlined.
    bitmap.fill(platform::clWhite);
    THTMLDrawParams anchor;
    anchor.AnchorColor = platform::clBlue;
    draw(QStringLiteral("<a href=\"x\">link</a>"), anchor);
    EXPECT_FALSE(inkBox(bitmap, platform::clBlue).empty());
    EXPECT_TRUE(inkBox(bitmap, platform::clBlack).empty());

    // An error underline is a red zigzag under its word.
    bitmap.fill(platform::clWhite);
    draw(QStringLiteral("<e>word</e>"));
    const auto zigzag = inkBox(bitmap, platform::clRed);
    EXPECT_FALSE(zigzag.empty());
    EXPECT_GE(zigzag.top, gh - 2);

    // The canvas gets its pen, brush and font back.
    canvas.pen().color = platform::clGreen;
    canvas.brush().color = platform::clAqua;
    const platform::Font font = canvas.font();
    draw(QStringLiteral("<b><font color=\"clred\" bgcolor=\"clblue\">x<hi>y"));
    EXPECT_EQ(canvas.pen().color, platform::clGreen);
    EXPECT_EQ(canvas.brush().color, platform::clAqua);
    EXPECT_EQ(canvas.brush().style, platform::BrushStyle::Solid);
    EXPECT_EQ(canvas.font(), font);
}

TEST_F(HTMLDrawTest, ParagraphAlignmentStaysForLaterLines)
{
    draw(QStringLiteral("<p align=\"center\">x</p>y"));
    const auto ink = inkBox(bitmap, platform::clBlack);
    // Both lines stand around the middle of the 300 pixels.
    EXPECT_GT(ink.left, 130);
    EXPECT_LT(ink.right, 170);
    EXPECT_GT(ink.bottom, gh); // the second line was drawn too

    bitmap.fill(platform::clWhite);
    draw(QStringLiteral("<p align=\"right\">x"));
    EXPECT_GT(inkBox(bitmap, platform::clBlack).left, 280);
}

TEST_F(HTMLDrawTest, ListBulletsStandAtTheLineStart)
{
    draw(QStringLiteral("<ul><li>one<li>two</ul>"));
    const auto ink = inkBox(bitmap, platform::clBlack);
    EXPECT_GE(ink.top, gh); // the first line is empty
    EXPECT_LT(ink.left, 12); // the bullet
    // No ink on the first line.
    for (int y = 0; y < gh; ++y)
        for (int x = 0; x < 300; ++x)
            ASSERT_EQ(bitmap.pixel(x, y), platform::clWhite) << x << "," << y;
}

TEST_F(HTMLDrawTest, CheckBoxesDrawTheirState)
{
    draw(QStringLiteral("<control type=\"CHECK\" id=\"c\" value=\"TRUE\" width=\"20\">"));
    Bitmap ticked = bitmap;
    bitmap.fill(platform::clWhite);
    draw(QStringLiteral("<control type=\"CHECK\" id=\"c\" value=\"FALSE\" width=\"20\">"));
    EXPECT_FALSE(testing_support::samePixels(ticked, bitmap));
    Bitmap blank(300, 120, platform::clWhite);
    EXPECT_FALSE(testing_support::samePixels(blank, bitmap));
    bitmap.fill(platform::clWhite);
    draw(QStringLiteral("<control type=\"CHECK\" id=\"c\" value=\"TRUE\">"));
    EXPECT_TRUE(testing_support::samePixels(blank, bitmap));
}

TEST(HTMLDrawFlagsTest, BiDiFlagsChangeOnlyUnderARightToLeftLocale)
{
    EXPECT_EQ(BiDiDrawTextFlags(platform::DT_LEFT, 1), platform::DT_LEFT);
    const QLocale keep;
    QLocale::setDefault(QLocale(QLocale::Arabic, QLocale::Egypt));
    EXPECT_EQ(BiDiDrawTextFlags(platform::DT_LEFT, 1), platform::DT_RIGHT | platform::DT_RTLREADING);
    EXPECT_EQ(BiDiDrawTextFlags(platform::DT_RIGHT, 1), platform::DT_RTLREADING);
    EXPECT_EQ(BiDiDrawTextFlags(platform::DT_CENTER, 1), platform::DT_CENTER | platform::DT_RTLREADING);
    EXPECT_EQ(BiDiDrawTextFlags(platform::DT_LEFT, 2), platform::DT_LEFT | platform::DT_RTLREADING);
    EXPECT_EQ(BiDiDrawTextFlags(platform::DT_LEFT, 0), platform::DT_LEFT);
    QLocale::setDefault(keep);
}

TEST(HTMLDrawFlagsTest, RotatedFontIsPutBack)
{
    Bitmap b(10, 10);
    platform::Canvas c(b);
    const platform::Font old = SelectRotatedFont(c, 90);
    EXPECT_EQ(c.font().orientation, 900);
    RestoreFont(c, old);
    EXPECT_EQ(c.font().orientation, 0);
    QSize size;
    DrawShellIcon(c, 0, 0, size, 1.0, false, false, true, QStringLiteral("/no/such/file.txt"));
    EXPECT_EQ(size, QSize(32, 32));
    DrawShellIcon(c, 0, 0, size, 1.0, false, true, false, QStringLiteral("3"));
    EXPECT_EQ(size, QSize(16, 16));
}

TEST_F(HTMLDrawTest, BlinkShadowBodyAndTheFocusedAnchor)
{
    // The off phase of BLINK draws in the canvas' starting background colour.
    canvas.brush().color = platform::clYellow;
    THTMLDrawParams off;
    off.BlinkPhase = false;
    draw(QStringLiteral("<blink>on</blink>x"), off);
    EXPECT_FALSE(inkBox(bitmap, platform::clYellow).empty());
    const auto yellow = inkBox(bitmap, platform::clYellow);
    EXPECT_LT(yellow.right, 1 + width(QStringLiteral("on")) + 1);

    // A shadow in its colour beside the text.
    bitmap.fill(platform::clWhite);
    canvas.brush().color = platform::clWhite;
    THTMLDrawParams shadow;
    shadow.ShadowOffset = 2;
    shadow.ShadowColor = platform::clRed;
    draw(QStringLiteral("<shad>W</shad>"), shadow);
    EXPECT_FALSE(inkBox(bitmap, platform::clRed).empty());
    EXPECT_GT(inkBox(bitmap, platform::clRed).right, inkBox(bitmap, platform::clBlack).right);

    // BODY BGCOLOR fills the whole area.
    bitmap.fill(platform::clWhite);
    draw(QStringLiteral("<body bgcolor=\"#0000FF\">x</body>"), THTMLDrawParams{}, Rect{10, 10, 110, 60});
    const auto blue = inkBox(bitmap, platform::clBlue);
    EXPECT_EQ(blue.left, 10);
    EXPECT_EQ(blue.top, 10);
    EXPECT_EQ(blue.right, 109);
    EXPECT_EQ(blue.bottom, 59);

    // The keyboard-focused anchor gives its reference.
    THTMLDrawParams focus;
    focus.FocusAnchor = 1; // the second anchor
    const THTMLDrawResult res = draw(QStringLiteral("<a href=\"a\">one</a> <a href=\"b\">two</a>"), focus);
    EXPECT_EQ(res.FocusAnchor, QStringLiteral("b"));
}
