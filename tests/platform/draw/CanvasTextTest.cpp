#include "platform/draw/Canvas.h"

#include "support/DrawChecks.h"
#include "support/QtPrinters.h"

#include <QFontMetrics>
#include <gtest/gtest.h>

using namespace platform;
using testing_support::inkBox;
using testing_support::InkBox;
using testing_support::samePixels;
using testing_support::testFont;

namespace {

constexpr Color kGround = rgb(10, 20, 30);
constexpr Color kInk = rgb(200, 0, 0);

// A canvas with the test font in ink on a clear background.
struct TextCanvas {
    Bitmap bitmap;
    Canvas canvas;
    explicit TextCanvas(int w = 200, int h = 80)
        : bitmap(w, h, kGround)
        , canvas(bitmap)
    {
        canvas.font() = Font{testFont(), kInk};
        canvas.brush().style = BrushStyle::Clear;
    }
    int lineHeight() const { return QFontMetrics(testFont()).height(); }
};

} // namespace

TEST(CanvasText, CalcRectSizes)
{
    TextCanvas t;
    Canvas& c = t.canvas;
    const int lh = t.lineHeight();
    struct Case {
        QString text;
        unsigned flags;
        int width;      // of the rect given
        QString widest; // the line that sets the width
        int lines;
    };
    const Case cases[] = {
        {"one line", DT_SINGLELINE, 10, "one line", 1},
        {"a\r\nbb\nccc\rdd", 0, 10, "ccc", 4},          // every kind of line break
        {"a\r\nbb", DT_SINGLELINE, 10, "abb", 1},       // single line: breaks show as nothing
        {"trailing\r\n", 0, 10, "trailing", 1},        // a final break adds no line
        {"&File", 0, 100, "File", 1},                  // the prefix takes no room
        {"&File", DT_NOPREFIX, 100, "&File", 1},
        {"a&&b", 0, 100, "a&b", 1},
    };
    for (const Case& cs : cases) {
        SCOPED_TRACE(cs.text.toStdString());
        Rect r{5, 7, 5 + cs.width, 7};
        const int h = c.drawText(cs.text, r, cs.flags | DT_CALCRECT);
        EXPECT_EQ(h, cs.lines * lh);
        EXPECT_EQ(r.top, 7);
        EXPECT_EQ(r.bottom, 7 + cs.lines * lh);
        EXPECT_EQ(r.width(), c.textWidth(cs.widest));
    }
    // Word breaking: a word wider than the rect widens it, unless the text behaves like an
    // edit control, which breaks the word.
    const QString longWord = QStringLiteral("abcdefghijklmnop");
    const int narrow = c.textWidth(QStringLiteral("abcd"));
    Rect plain{0, 0, narrow, 0};
    EXPECT_EQ(c.drawText(longWord, plain, DT_WORDBREAK | DT_CALCRECT), lh);
    EXPECT_EQ(plain.width(), c.textWidth(longWord));
    Rect edit{0, 0, narrow, 0};
    const int editHeight = c.drawText(longWord, edit, DT_WORDBREAK | DT_EDITCONTROL | DT_CALCRECT);
    EXPECT_GE(editHeight, 4 * lh);
    EXPECT_LE(edit.width(), narrow);
    EXPECT_EQ(c.drawnLines(longWord, Rect{0, 0, narrow, 1000}, DT_WORDBREAK | DT_EDITCONTROL).join(QString()), longWord);

    // External leading adds the font's leading to every line.
    const int leading = std::max(0, QFontMetrics(testFont()).leading());
    Rect lead{0, 0, 100, 0};
    EXPECT_EQ(c.drawText(QStringLiteral("a\nb"), lead, DT_CALCRECT | DT_EXTERNALLEADING), 2 * (lh + leading));
}

TEST(CanvasText, TabStops)
{
    TextCanvas t;
    Canvas& c = t.canvas;
    const int ave = QFontMetrics(testFont()).averageCharWidth();
    const int b = c.textWidth(QStringLiteral("b"));
    auto width = [&](const QString& s, unsigned flags) {
        Rect r{0, 0, 1000, 0};
        c.drawText(s, r, flags | DT_CALCRECT | DT_SINGLELINE);
        return r.width();
    };
    EXPECT_EQ(width(QStringLiteral("a\tb"), DT_EXPANDTABS), 8 * ave + b);
    EXPECT_EQ(width(QStringLiteral("\t\tb"), DT_EXPANDTABS), 16 * ave + b);
    // Text that already passed a stop goes on to the next one.
    const QString wide = QString(9, QLatin1Char('W'));
    ASSERT_GT(c.textWidth(wide), 8 * ave);
    EXPECT_EQ(width(wide + QStringLiteral("\tb"), DT_EXPANDTABS), (c.textWidth(wide) / (8 * ave) + 1) * 8 * ave + b);

    // Drawn, the text after the tab starts at the stop; with DT_TABSTOP the high byte of the
    // flags' low word gives the characters per stop (and is no longer read as flags, so such
    // text cannot be measured, as on the platform).
    auto inkStart = [&](const QString& s, unsigned flags) {
        TextCanvas u;
        Rect r{10, 0, 190, 20};
        u.canvas.drawText(s, r, flags | DT_SINGLELINE);
        return inkBox(u.bitmap, kInk).left;
    };
    const int glyphOffset = inkStart(QStringLiteral("I"), 0) - 10;
    EXPECT_EQ(inkStart(QStringLiteral("\tI"), DT_EXPANDTABS), 10 + 8 * ave + glyphOffset);
    EXPECT_EQ(inkStart(QStringLiteral("\tI"), DT_EXPANDTABS | DT_TABSTOP | (4u << 8)), 10 + 4 * ave + glyphOffset);
    EXPECT_EQ(inkStart(QStringLiteral("\t\tI"), DT_EXPANDTABS | DT_TABSTOP | (3u << 8)), 10 + 6 * ave + glyphOffset);
}

TEST(CanvasText, EndEllipsisOnTheLastVisibleLine)
{
    TextCanvas t;
    Canvas& c = t.canvas;
    const int lh = t.lineHeight();
    const QString text = QStringLiteral("aaa aaa aaa aaa aaa aaa");
    const int w = c.textWidth(QStringLiteral("aaa aaa")) + 1;
    const unsigned flags = DT_WORDBREAK | DT_END_ELLIPSIS;

    // Room for everything: no ellipsis.
    EXPECT_EQ(c.drawnLines(text, Rect{0, 0, w, 3 * lh}, flags), QStringList({"aaa aaa", "aaa aaa", "aaa aaa"}));
    // Room for two lines and a half: the second ends in "..." and nothing shows below it.
    const Rect r{0, 0, w, 2 * lh + lh / 2};
    const QStringList lines = c.drawnLines(text, r, flags);
    ASSERT_EQ(lines.size(), 2);
    EXPECT_EQ(lines[0], QStringLiteral("aaa aaa"));
    EXPECT_TRUE(lines[1].startsWith(QStringLiteral("aaa"))) << lines[1].toStdString();
    EXPECT_TRUE(lines[1].endsWith(QStringLiteral("..."))) << lines[1].toStdString();
    EXPECT_LE(c.textWidth(lines[1]), w);
    Rect drawn = r;
    c.drawText(text, drawn, flags);
    const InkBox box = inkBox(t.bitmap, kInk);
    EXPECT_LT(box.bottom, 2 * lh);

    // Without the ellipsis the third line shows in part; like an edit control it does not.
    auto bottomInk = [&](unsigned f) {
        TextCanvas u;
        Rect rr = r;
        u.canvas.drawText(text, rr, f);
        return inkBox(u.bitmap, kInk).bottom;
    };
    EXPECT_GE(bottomInk(DT_WORDBREAK), 2 * lh);
    EXPECT_LT(bottomInk(DT_WORDBREAK | DT_EDITCONTROL), 2 * lh);

    // A single line that is too long ends in "..."; one that fits stays whole.
    EXPECT_EQ(c.drawnLines(QStringLiteral("aaa"), Rect{0, 0, w, lh}, DT_SINGLELINE | DT_END_ELLIPSIS), QStringList({"aaa"}));
    const QStringList cut = c.drawnLines(text, Rect{0, 0, w, lh}, DT_SINGLELINE | DT_END_ELLIPSIS);
    ASSERT_EQ(cut.size(), 1);
    EXPECT_TRUE(cut[0].endsWith(QStringLiteral("...")));
    EXPECT_LE(c.textWidth(cut[0]), w);
}

TEST(CanvasText, PrefixesReadingOrderAndBackground)
{
    auto draw = [](const QString& s, unsigned flags) {
        auto t = std::make_unique<TextCanvas>(80, 20);
        Rect r{2, 2, 78, 18};
        t->canvas.drawText(s, r, flags | DT_SINGLELINE);
        return t;
    };
    // A hidden prefix draws exactly the plain text; a shown one adds the underline.
    EXPECT_TRUE(samePixels(draw(QStringLiteral("&Ab"), DT_HIDEPREFIX)->bitmap, draw(QStringLiteral("Ab"), DT_NOPREFIX)->bitmap));
    EXPECT_FALSE(samePixels(draw(QStringLiteral("&Ab"), 0)->bitmap, draw(QStringLiteral("Ab"), DT_NOPREFIX)->bitmap));
    EXPECT_GT(inkBox(draw(QStringLiteral("&Ab"), 0)->bitmap, kInk).bottom, inkBox(draw(QStringLiteral("Ab"), 0)->bitmap, kInk).bottom);

    // Right-to-left reading moves the closing neutral to the left.
    EXPECT_TRUE(samePixels(draw(QStringLiteral("abc!"), DT_RTLREADING)->bitmap, draw(QStringLiteral("!abc"), 0)->bitmap));
    EXPECT_FALSE(samePixels(draw(QStringLiteral("abc!"), DT_RTLREADING)->bitmap, draw(QStringLiteral("abc!"), 0)->bitmap));

    // The transparent background mode lasts until the brush changes.
    TextCanvas t(60, 20);
    Canvas& c = t.canvas;
    c.brush() = Brush{clWhite, BrushStyle::Solid};
    c.setBkMode(BkMode::Transparent);
    EXPECT_EQ(c.bkMode(), BkMode::Transparent);
    Rect r{0, 0, 60, 20};
    c.drawText(QStringLiteral("x"), r, DT_SINGLELINE);
    EXPECT_EQ(t.bitmap.pixel(0, 0), kGround);
    c.brush().color = rgb(0, 255, 0);
    EXPECT_EQ(c.bkMode(), BkMode::Opaque);
    c.drawText(QStringLiteral("x"), r, DT_SINGLELINE);
    EXPECT_EQ(t.bitmap.pixel(0, 0), rgb(0, 255, 0));
}

TEST(CanvasText, TextOutTextRectAndRotation)
{
    TextCanvas t(120, 120);
    Canvas& c = t.canvas;
    const int w = c.textWidth(QStringLiteral("Hello"));
    c.textOut(10, 20, QStringLiteral("Hello"));
    EXPECT_EQ(c.penPos(), QPoint(10 + w, 20));
    InkBox box = inkBox(t.bitmap, kInk);
    EXPECT_GE(box.left, 10);
    EXPECT_LE(box.right, 10 + w);
    EXPECT_GE(box.top, 20);
    EXPECT_LT(box.bottom, 20 + t.lineHeight());

    // Turned by 90 degrees the text runs upwards from its start point.
    TextCanvas up(120, 120);
    up.canvas.font().orientation = 900;
    up.canvas.textOut(50, 100, QStringLiteral("Hello"));
    box = inkBox(up.bitmap, kInk);
    ASSERT_FALSE(box.empty());
    EXPECT_GE(box.left, 50);
    EXPECT_LE(box.right, 50 + t.lineHeight());
    EXPECT_LE(box.bottom, 100);
    EXPECT_GE(box.top, 100 - w - 1);
    EXPECT_GT(box.bottom - box.top, box.right - box.left); // taller than wide

    // textRect fills its rect and keeps the text inside it.
    TextCanvas r(120, 40);
    r.canvas.brush() = Brush{clWhite, BrushStyle::Solid};
    r.canvas.textRect(Rect{10, 5, 30, 25}, 12, 8, QStringLiteral("Hello world"));
    EXPECT_EQ(r.bitmap.pixel(10, 5), clWhite);
    EXPECT_EQ(r.bitmap.pixel(29, 24), clWhite);
    EXPECT_EQ(r.bitmap.pixel(30, 10), kGround);
    box = inkBox(r.bitmap, kInk);
    EXPECT_GE(box.left, 12);
    EXPECT_LE(box.right, 29);
}
