// The tab strip painter, checked by pixel probes of the strip painted into a bitmap: fills,
// outlines and separators, the page frame, captions turned with the tabs, close buttons,
// the hover outline and the focus frame; and the drawing routines it is made of.
#include "controls/pages/ExtPageControl.h"
#include "platform/draw/Graphics.h"
#include "support/DrawChecks.h"

#include <QApplication>
#include <QTest>
#include <gtest/gtest.h>

using namespace controls;
using platform::Bitmap;
using platform::Color;
using platform::Rect;
using testing_support::inkBox;

namespace {

constexpr Color kCream = platform::rgb(248, 247, 237);
constexpr Color kBorder = platform::rgb(128, 128, 128);
constexpr Color kControl = platform::rgb(230, 230, 230);
constexpr Color kCanvas = platform::rgb(1, 2, 3); // what nobody paints

// A page control of `n` pages as the M-Bus window sets it up by default (tabs on the left,
// dotted style, cream tabs and strip, sky blue active tab, margins 10 and 20).
struct Strip {
    explicit Strip(int n, TTabPosition position = TTabPosition::tpLeft, TTabStyle style = TTabStyle::tsDotNet)
    {
        window.resize(320, 380);
        c = new TExtPageControl(&window);
        c->setGeometry(0, 0, 300, 360);
        QFont f = testing_support::testFont();
        c->setFont(f);
        platform::Font active{f, platform::clBlack, 0};
        c->setActiveFont(active);
        c->setColor(kControl);
        c->setTabPosition(position);
        c->setTabStyle(style);
        c->setMultiLine(true);
        c->setDefaultTabColor(kCream);
        c->setTabBackGroundColor(kCream);
        c->setActiveColor(platform::clSkyBlue);
        c->tabMargin().setTopMargin(10);
        c->tabMargin().setRightMargin(20);
        for (int i = 0; i < n; ++i) {
            auto* s = new TExtTabSheet(&window);
            s->setObjectName(QStringLiteral("Page%1").arg(i + 1));
            s->setPageControl(c);
            s->setColor(kControl);
            s->setCaption(i == 0 ? QStringLiteral("Nodes     ") : QStringLiteral("Variables     "));
            sheets.push_back(s);
        }
    }
    Bitmap paint() const
    {
        Bitmap b(c->width(), c->height(), kCanvas);
        platform::Canvas canvas(b);
        c->PaintTabs(canvas);
        return b;
    }
    Rect tab(int i) const { return c->tabRect(i); }
    // Shown and active, so that the pointer and the focus reach the control.
    void show()
    {
        window.show();
        window.activateWindow();
        QApplication::setActiveWindow(&window);
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    }

    QWidget window;
    TExtPageControl* c = nullptr;
    std::vector<TExtTabSheet*> sheets;
};

// The ink of one colour inside a rectangle.
testing_support::InkBox inkIn(const Bitmap& b, const Rect& r, Color ink)
{
    Bitmap part(r.width(), r.height());
    for (int y = r.top; y < r.bottom; ++y)
        for (int x = r.left; x < r.right; ++x)
            part.setPixel(x - r.left, y - r.top, b.pixel(x, y));
    return inkBox(part, ink);
}

} // namespace

TEST(TabPainter, LeftDottedTabsOpenTheActiveOneTowardThePage)
{
    Strip s(3);
    const Bitmap b = s.paint();
    const Rect a = s.tab(0);
    const Rect second = s.tab(1);
    const Rect third = s.tab(2);
    const int mid = (a.top + a.bottom) / 2;
    // The active tab: sky blue inside, outlined on its three outer sides, open on the page side.
    EXPECT_EQ(b.pixel(a.right - 1, a.top + 2), platform::clSkyBlue);
    EXPECT_EQ(b.pixel(a.left - 1, mid), kBorder);
    EXPECT_EQ(b.pixel((a.left + a.right) / 2, a.top), kBorder);
    EXPECT_EQ(b.pixel(a.right, mid), kControl);
    // An inactive tab: cream, with its page-side edge.
    EXPECT_EQ(b.pixel(second.right - 1, second.top + 2), kCream);
    EXPECT_EQ(b.pixel(second.right, (second.top + second.bottom) / 2), kBorder);
    // The double separator 2 and 3 pixels above an inactive tab's bottom, but not on the tab
    // whose next tab (wrapping round) is the active one.
    const int sx = second.left + 4;
    EXPECT_EQ(b.pixel(sx, second.bottom - 2), platform::clSkyBlue);
    EXPECT_EQ(b.pixel(sx, second.bottom - 3), platform::clSkyBlue);
    EXPECT_EQ(b.pixel(sx, second.bottom - 4), kCream);
    EXPECT_EQ(b.pixel(third.left + 4, third.bottom - 2), kCream);
    // The strip background below the tabs, the page outline right of it.
    EXPECT_EQ(b.pixel(4, s.c->height() - 5), kCream);
    EXPECT_EQ(b.pixel(a.right, s.c->height() - 5), kBorder);
    EXPECT_EQ(b.pixel(s.c->width() - 2, 100), kBorder);
    EXPECT_EQ(b.pixel(s.c->width() - 1, 100), kControl);
    // The page area itself is the pages' to paint.
    EXPECT_EQ(b.pixel(150, 100), kCanvas);

    // Activating the third tab moves the separators: now the second tab's next is the active one.
    s.c->setActivePage(s.sheets[2]);
    const Bitmap b2 = s.paint();
    EXPECT_EQ(b2.pixel(sx, second.bottom - 2), kCream);
    EXPECT_EQ(b2.pixel(a.left + 4, a.bottom - 2), platform::clSkyBlue);
    EXPECT_EQ(b2.pixel(third.right - 1, third.top + 2), platform::clSkyBlue);
}

TEST(TabPainter, CaptionsTurnWithTheTabs)
{
    for (TTabPosition p : {TTabPosition::tpLeft, TTabPosition::tpRight, TTabPosition::tpTop, TTabPosition::tpBottom}) {
        Strip s(2, p);
        const Bitmap b = s.paint();
        for (int i = 0; i < 2; ++i) {
            const Rect r = s.tab(i);
            const testing_support::InkBox ink = inkIn(b, r, platform::clBlack);
            ASSERT_FALSE(ink.empty()) << int(p) << " tab " << i;
            const int w = ink.right - ink.left + 1;
            const int h = ink.bottom - ink.top + 1;
            if (p == TTabPosition::tpLeft || p == TTabPosition::tpRight)
                EXPECT_GT(h, 2 * w) << int(p) << " tab " << i;
            else
                EXPECT_GT(w, 2 * h) << int(p) << " tab " << i;
        }
    }
    // Tabs on the left read upward from 4 pixels above the bottom, less the top margin: the
    // caption's first letter is at the bottom.
    Strip s(1);
    const Rect r = s.tab(0);
    const testing_support::InkBox ink = inkIn(s.paint(), r, platform::clBlack);
    EXPECT_LE(r.top + ink.bottom, r.bottom - 4 - 10);
    EXPECT_GE(r.top + ink.bottom, r.bottom - 4 - 10 - 3);
    // A disabled tab's caption is grey.
    Strip d(2);
    d.sheets[1]->setTabEnable(false);
    EXPECT_TRUE(inkIn(d.paint(), d.tab(1), platform::clBlack).empty());
    EXPECT_FALSE(inkIn(d.paint(), d.tab(1), kBorder).empty());
}

TEST(TabPainter, AColouredPageFramesThePageArea)
{
    Strip s(2);
    const int W = s.c->width();
    const int H = s.c->height();
    s.sheets[0]->setColor(platform::clYellow);
    Bitmap b = s.paint();
    EXPECT_EQ(b.pixel(W - 3, H / 2), platform::clYellow);
    EXPECT_EQ(b.pixel(W - 4, H / 2), platform::clYellow);
    EXPECT_EQ(b.pixel(W - 5, H / 2), kCanvas);
    EXPECT_EQ(b.pixel(W / 2, 2), platform::clYellow);
    EXPECT_EQ(b.pixel(W / 2, H - 4), platform::clYellow);
    EXPECT_EQ(b.pixel(W - 2, H / 2), kBorder);
    // With ColorTo a gradient from top to bottom, with the top strip plain.
    s.sheets[0]->setColorTo(platform::clBlue);
    b = s.paint();
    EXPECT_EQ(b.pixel(W / 2, 2), platform::clYellow);
    const Color upper = b.pixel(W - 3, 20);
    const Color lower = b.pixel(W - 3, H - 20);
    EXPECT_NE(upper, lower);
    EXPECT_GT(platform::blueOf(lower), platform::blueOf(upper));
    // A page paints the same gradient itself, in 64 steps.
    TExtTabSheet alone;
    alone.setColor(platform::clYellow);
    alone.setColorTo(platform::clBlue);
    alone.resize(50, 64);
    Bitmap page(50, 64);
    alone.render(&page.image());
    EXPECT_EQ(page.pixel(10, 0), platform::clYellow);
    EXPECT_EQ(platform::blueOf(page.pixel(10, 63)), 251);
}

TEST(TabPainter, WithoutVisibleTabsOnlyTheStripBackgroundAndTheOutline)
{
    Strip s(2);
    for (TExtTabSheet* p : s.sheets)
        p->setTabVisible(false);
    const Bitmap b = s.paint();
    const int H = s.c->height();
    EXPECT_EQ(b.pixel(0, H / 2), kCream);
    EXPECT_EQ(b.pixel(1, H / 2), kCream);
    EXPECT_EQ(b.pixel(2, H / 2), kBorder);
    EXPECT_EQ(b.pixel(3, H / 2), kCanvas);
    EXPECT_TRUE(inkIn(b, Rect{0, 0, 2, H}, platform::clBlack).empty());
}

TEST(TabPainter, ClassicTabsAreBoxedAndTopTabsAreOpenBelow)
{
    Strip s(2, TTabPosition::tpTop, TTabStyle::tsClassic);
    const Bitmap b = s.paint();
    const Rect a = s.tab(0);
    const Rect second = s.tab(1);
    const int midX = (second.left + second.right) / 2;
    // The inactive tab is a box: left and top edges in the outline colour.
    EXPECT_EQ(b.pixel(second.left, (second.top + second.bottom) / 2), kBorder);
    EXPECT_EQ(b.pixel(midX, second.top - 1), kBorder);
    // The active tab has no line toward the page.
    EXPECT_EQ(b.pixel((a.left + a.right) / 2, a.top - 1), kBorder);
    EXPECT_NE(b.pixel((a.left + a.right) / 2, a.bottom), kBorder);
    EXPECT_EQ(b.pixel(a.left + 2, a.bottom - 2), platform::clSkyBlue);
}

TEST(TabPainter, CloseButtonLooks)
{
    Strip s(2, TTabPosition::tpTop);
    s.c->tabMargin().setTopMargin(0);
    s.sheets[0]->setShowClose(true);
    s.sheets[1]->setShowClose(true);
    const Rect a = s.tab(0);
    const Rect second = s.tab(1);
    // Normal look: white box, grey outline, black cross; the active tab's box sits LowerActive
    // (2) pixels toward the page, the hit box does not move.
    Bitmap b = s.paint();
    const int x0 = a.left + 2;
    const int y0 = a.top + 2 + 2;
    EXPECT_EQ(b.pixel(x0, y0), kBorder);
    EXPECT_EQ(b.pixel(x0 + 1, y0 + 1), platform::clWhite);
    EXPECT_EQ(b.pixel(x0 + 3, y0 + 3), platform::clBlack);
    EXPECT_EQ(b.pixel(x0 + 11, y0 + 10), kBorder);
    EXPECT_EQ(b.pixel(second.left + 2, second.top + 2), kBorder);
    EXPECT_TRUE(s.c->PtInCloseButton(0, a.left + 2, a.top + 2));
    EXPECT_FALSE(s.c->PtInCloseButton(0, a.left + 2, a.top + 13));
    // Hot: black outline, grey cross (the pointer on the active tab's button; hover needs a
    // hover colour).
    s.show();
    s.c->setTabHoverColor(platform::clYellow);
    // (The test driver loses a window's very first pointer move: one elsewhere comes first.)
    QTest::mouseMove(s.c, QPoint(50, 10));
    QTest::mouseMove(s.c, QPoint(a.left + 6, a.top + 6));
    b = s.paint();
    EXPECT_EQ(b.pixel(x0, y0), platform::clBlack);
    EXPECT_EQ(b.pixel(x0 + 3, y0 + 3), kBorder);
    // Pressed: silver box.
    QTest::mousePress(s.c, Qt::LeftButton, Qt::NoModifier, QPoint(a.left + 6, a.top + 6));
    b = s.paint();
    EXPECT_EQ(b.pixel(x0 + 1, y0 + 1), platform::rgb(192, 192, 192));
    // Released elsewhere: nothing closes.
    QTest::mouseRelease(s.c, Qt::LeftButton, Qt::NoModifier, QPoint(150, 150));
    EXPECT_EQ(s.c->PageCount(), 2);
    b = s.paint();
    EXPECT_EQ(b.pixel(x0 + 1, y0 + 1), platform::clWhite);
}

TEST(TabPainter, HoverOutlineOnlyOnAnInactiveTab)
{
    Strip s(3, TTabPosition::tpTop);
    s.show();
    s.c->setTabHoverColor(platform::clYellow);
    s.c->setTabHoverBorder(platform::clRed);
    const Rect second = s.tab(1);
    QTest::mouseMove(s.c, QPoint((second.left + second.right) / 2, second.top + 5));
    ASSERT_EQ(s.c->hoverTab(), 1);
    Bitmap b = s.paint();
    EXPECT_EQ(b.pixel(second.left, second.top + 4), platform::clRed);
    EXPECT_EQ(b.pixel(second.left + 3, second.top + 3), platform::clYellow); // the hover fill
    EXPECT_FALSE(inkIn(b, second.inflated(1, 1), platform::clRed).empty());
    // On the active tab: no outline.
    const Rect a = s.tab(0);
    QTest::mouseMove(s.c, QPoint((a.left + a.right) / 2, a.top + 5));
    EXPECT_TRUE(inkIn(s.paint(), Rect{0, 0, s.c->width(), s.c->height()}, platform::clRed).empty());
    // Leaving removes it.
    QTest::mouseMove(s.c, QPoint((second.left + second.right) / 2, second.top + 5));
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(s.c, &leave);
    EXPECT_TRUE(inkIn(s.paint(), Rect{0, 0, s.c->width(), s.c->height()}, platform::clRed).empty());
}

TEST(TabPainter, FocusFrameInTheActiveTabWhileTheControlHasTheFocus)
{
    Strip s(2, TTabPosition::tpTop);
    s.c->tabMargin().setTopMargin(0);
    s.show();
    s.c->setFocus();
    ASSERT_TRUE(s.c->hasFocus());
    const Bitmap without = s.paint();
    s.c->setShowFocus(true);
    const Bitmap with = s.paint();
    // Every pixel that changed lies on the frame 5 and 3 pixels inside the (filled) tab.
    const Rect a = s.tab(0);
    const Rect frame{a.left + 5, a.top - 1 + 3, a.right - 5, a.bottom - 3};
    int changed = 0;
    for (int y = 0; y < with.height(); ++y)
        for (int x = 0; x < with.width(); ++x)
            if (with.pixel(x, y) != without.pixel(x, y)) {
                ++changed;
                const bool onEdge = ((x == frame.left || x == frame.right - 1) && y >= frame.top && y < frame.bottom) ||
                                    ((y == frame.top || y == frame.bottom - 1) && x >= frame.left && x < frame.right);
                EXPECT_TRUE(onEdge) << x << "," << y;
            }
    EXPECT_GT(changed, 10);
    s.window.hide();
}

TEST(TabPainter, PageGradientBandsAndTransparentBlits)
{
    // Two steps from black to white over 10 rows: rows 0..5 black, 5..9 the middle grey
    // (127.5 taken to the even 128).
    Bitmap b(4, 10, platform::clRed);
    {
        platform::Canvas c(b);
        DrawPageGradient(c, platform::clBlack, platform::clWhite, 2, Rect{0, 0, 4, 10}, false);
    }
    EXPECT_EQ(b.pixel(1, 0), platform::clBlack);
    EXPECT_EQ(b.pixel(1, 4), platform::clBlack);
    EXPECT_EQ(b.pixel(1, 5), platform::rgb(128, 128, 128));
    EXPECT_EQ(b.pixel(1, 9), platform::rgb(128, 128, 128));
    // Horizontal, zero steps count as one.
    Bitmap h(6, 2, platform::clRed);
    {
        platform::Canvas c(h);
        DrawPageGradient(c, platform::clBlue, platform::clWhite, 0, Rect{0, 0, 6, 2}, true);
    }
    EXPECT_EQ(h.pixel(5, 1), platform::clBlue);

    // A blit leaves the target where the source has the transparent colour, and the source
    // as it was.
    Bitmap src(4, 4, platform::clFuchsia);
    src.setPixel(1, 1, platform::clGreen);
    const Bitmap before = src;
    Bitmap target(4, 4, platform::clWhite);
    {
        platform::Canvas c(target);
        BlitTransparent(c, src, 0, 0, 4, 4, 0, 0, platform::clFuchsia);
    }
    EXPECT_EQ(target.pixel(1, 1), platform::clGreen);
    EXPECT_EQ(target.pixel(0, 0), platform::clWhite);
    EXPECT_TRUE(testing_support::samePixels(src, before));

    // A tab picture of 6 rows stretched to 20: the top half, 14 rows of the middle, the lower
    // half; the bottom-left colour is transparent.
    Bitmap pic(3, 6, platform::clFuchsia);
    for (int x = 0; x < 3; ++x) {
        pic.setPixel(x, 0, platform::clRed);
        pic.setPixel(x, 2, platform::clGreen);
        pic.setPixel(x, 3, platform::clBlue);
        pic.setPixel(x, 4, platform::clYellow);
    }
    Bitmap tall(3, 20, platform::clWhite);
    {
        platform::Canvas c(tall);
        DrawTabBitmapVertical(pic, c, 0, 0, 20);
    }
    EXPECT_EQ(tall.pixel(1, 0), platform::clRed);
    EXPECT_EQ(tall.pixel(1, 1), platform::clWhite); // transparent
    EXPECT_EQ(tall.pixel(1, 3), platform::clGreen);  // the middle rows 2 and 3 stretched
    EXPECT_EQ(tall.pixel(1, 16), platform::clBlue);
    EXPECT_EQ(tall.pixel(1, 17), platform::clBlue); // row 3 again, at 3 + 14
    EXPECT_EQ(tall.pixel(1, 18), platform::clYellow);
    EXPECT_EQ(tall.pixel(1, 19), platform::clWhite);
}

TEST(TabPainter, ImagesAndTabPictures)
{
    // An image of the list in the tab, its room reserved in every tab.
    Strip s(2, TTabPosition::tpTop);
    s.c->tabMargin().setTopMargin(0);
    const int width = s.tab(1).width();
    platform::TImageList images(8, 8);
    images.Add(Bitmap(8, 8, platform::clRed));
    s.c->setImages(&images);
    EXPECT_EQ(s.tab(1).width(), width + 8);
    s.sheets[0]->setImageIndex(0);
    EXPECT_EQ(s.c->GetImageIndex(0), 0);
    EXPECT_EQ(s.c->GetImageIndex(1), 0); // the room only: no image of its own
    EXPECT_EQ(s.sheets[1]->imageIndex(), -1);
    Bitmap b = s.paint();
    const Rect a = s.tab(0);
    // At the text position less 2 (the active tab's text sits LowerActive + 1 lower).
    EXPECT_EQ(b.pixel(a.left + 4 - 2 + 4, a.top + 2 + 1 + 4), platform::clRed);
    EXPECT_TRUE(inkIn(b, s.tab(1), platform::clRed).empty());

    // A picture in place of every tab's fill and outline, stretched along the tab; its
    // bottom-left colour is transparent.
    Bitmap picture(10, 12, platform::clGreen);
    picture.setPixel(0, 11, platform::clFuchsia);
    for (int x = 0; x < 10; ++x)
        picture.setPixel(x, 11, platform::clFuchsia);
    s.c->setImages(nullptr);
    s.c->setTabBackGround(picture);
    b = s.paint();
    const Rect second = s.tab(1);
    EXPECT_EQ(b.pixel((second.left + second.right) / 2, second.top + 2), platform::clGreen);
    EXPECT_EQ(b.pixel(second.right - 2, second.top + 2), platform::clGreen);
    // No fill under it (the picture is 11 visible rows high, from 2 above the tab).
    EXPECT_TRUE(inkIn(b, Rect{second.left, second.top, second.right, second.top + 8}, kCream).empty());
    // The active tab with a picture of its own is drawn last, over its neighbours' pictures.
    Bitmap active(10, 12, platform::clBlue);
    for (int x = 0; x < 10; ++x)
        active.setPixel(x, 11, platform::clFuchsia);
    s.c->setTabBackGroundActive(active);
    b = s.paint();
    const Rect first = s.tab(0);
    EXPECT_EQ(b.pixel((first.left + first.right) / 2, first.top + 2), platform::clBlue);
    EXPECT_EQ(b.pixel((second.left + second.right) / 2, second.top + 2), platform::clGreen);
}
