#include "controls/grid/dropdown/rules/ItemSelectorModel.h"
#include "controls/grid/dropdown/rules/LookupLogic.h"
#include "controls/grid/dropdown/rules/PopupPlacement.h"
#include "support/QtPrinters.h"

#include <gtest/gtest.h>

using namespace controls::grid::dropdown;
using platform::Rect;

namespace {

TEST(ItemSelectorLayout, GridOfItems)
{
    std::vector<Rect> rects;
    EXPECT_EQ(ArrangeGridItems(rects, 7, QSize(40, 20), 2, 2, 3), QSize(124, 64));
    EXPECT_EQ(rects[3], (Rect{2, 22, 42, 42}));
    EXPECT_EQ(rects[6], (Rect{2, 42, 42, 62}));
    EXPECT_EQ(ArrangeGridItems(rects, 0, QSize(40, 20), 2, 2, 3), QSize(100, 50));
    EXPECT_EQ(ArrangeGridItems(rects, 3, QSize(50, 22), 2, 2, 1), QSize(54, 70));
}

TEST(ItemSelectorState, SelectionHotAndLookup)
{
    std::vector<bool> enabled{true, true, false, true};
    std::vector<Rect> rects;
    ArrangeGridItems(rects, 4, QSize(40, 20), 2, 2, 1);
    TItemSelectorState s;
    int selects = 0;
    s.Count = [&] { return int(enabled.size()); };
    s.Enabled = [&](int i) { return bool(enabled[size_t(i)]); };
    s.ItemRect = [&](int i) { return rects[size_t(i)]; };
    s.OnItemSelect = [&] { ++selects; };
    s.SelectNext();
    EXPECT_EQ(s.ItemIndex, 0);
    s.SetItemIndex(0);
    EXPECT_EQ(selects, 2); // the same item again raises the event
    s.SetItemIndex(2);     // disabled
    EXPECT_EQ(s.ItemIndex, 0);
    s.SelectLast();
    s.SelectNext(); // no wrap
    EXPECT_EQ(s.ItemIndex, 3);
    s.SetItemHot(2);
    EXPECT_EQ(s.ItemHot, -1);
    s.HotNext();
    EXPECT_EQ(s.ItemHot, 0);
    EXPECT_EQ(s.ItemAtPos(10, 30), 1);
    EXPECT_EQ(s.ItemAtPos(42, 5), -1); // right edge is outside
    const QStringList captions{"<b>Alpha</b>", "  abacus", "Beta", "ABC"};
    EXPECT_TRUE(s.LookupItem(QStringLiteral("AB"), captions));
    EXPECT_EQ(s.ItemIndex, 1);
    EXPECT_FALSE(s.LookupItem(QStringLiteral("ab"), captions)); // the search text is taken as it is
    EXPECT_FALSE(s.LookupItem(QString(), captions));
    EXPECT_TRUE(s.LookupItem(QStringLiteral("AL"), captions));
    EXPECT_EQ(s.ItemIndex, 0);
}

TEST(TypeAhead, Completion)
{
    const QStringList entries{"Alpha", "Alpine", "Beta", "About"};
    const struct {
        const char* text;
        int caret;
        bool matchCase;
        bool matched;
        int index;
        const char* result;
    } cases[] = {
        {"A", 1, false, true, 0, "Alpha"},   {"Alpi", 4, false, true, 1, "Alpine"}, {"Alpix", 5, false, false, -1, "Alpix"},
        {"ab", 2, false, true, 3, "about"},  {"a", 1, true, false, -1, "a"},         {"", 0, false, false, -1, ""},
        {"Bx", 1, false, true, 2, "Beta"},   {"Zq", 1, false, false, -1, "Z"},
    };
    for (const auto& c : cases) {
        const TCompletion r = CompleteText(QString::fromUtf8(c.text), c.caret, entries, c.matchCase);
        EXPECT_EQ(r.matched, c.matched) << c.text;
        EXPECT_EQ(r.index, c.index) << c.text;
        if (r.matched || r.cutBack) {
            EXPECT_EQ(r.text, QString::fromUtf8(c.result)) << c.text;
        }
    }
    EXPECT_EQ(FindEntryStartingWith(entries, QStringLiteral("al"), false), 0);
    EXPECT_EQ(FindEntryStartingWith(entries, QStringLiteral("al"), true), -1);
    EXPECT_EQ(IndexOfIgnoringCase(entries, QStringLiteral("beta")), 2);
}

TEST(TypeAhead, StepsAndHeights)
{
    EXPECT_EQ(StepNext(-1, 12), 0);
    EXPECT_EQ(StepNext(11, 12), -1);
    EXPECT_EQ(StepPrevious(0, 12), -1);
    EXPECT_EQ(StepPageDown(5, 12), 11);
    EXPECT_EQ(StepPageUp(3, 12), 0);
    EXPECT_EQ(StepPageDown(-1, 12), 0);
    EXPECT_EQ(StepNext(-1, 0), -1);
    EXPECT_EQ(WholeRowsPopupHeight(200, 0, 25, 22, 2), 181);
    EXPECT_EQ(WholeRowsPopupHeight(200, 0, 25, 22, 6), 185);
    EXPECT_EQ(WholeRowsPopupHeight(200, 44, 25, 22, 2), 44 + 25 + 5 * 22 + 2);
    EXPECT_EQ(WholeRowsPopupHeight(10, 0, 25, 22, 2), 27);
    EXPECT_EQ(WholeRowsPopupHeight(200, 0, 25, 0, 2), 27);
    const std::vector<int> w = ScaleColumnWidths({80, 80, 40}, 402);
    ASSERT_EQ(w.size(), 3u);
    EXPECT_EQ(w[0] + w[1] + w[2], 400); // 402 of 201: each doubled
    EXPECT_TRUE(ScaleColumnWidths({}, 100).empty());
}

TEST(PopupPlacement, Rules)
{
    const QRect screen(0, 0, 1280, 1024);
    const QSize popup(200, 150);
    // Below, overlapping the edit's bottom row.
    EXPECT_EQ(PlacePopup(QPoint(100, 100), 21, popup, dpAuto, screen, screen), QPoint(100, 120));
    // Too low: above, its bottom on the edit's top edge.
    EXPECT_EQ(PlacePopup(QPoint(100, 900), 21, popup, dpAuto, screen, screen), QPoint(100, 750));
    EXPECT_EQ(PlacePopup(QPoint(100, 500), 21, popup, dpUp, screen, screen), QPoint(100, 350));
    // Past the right edge: moved left to end there.
    EXPECT_EQ(PlacePopup(QPoint(1200, 100), 21, popup, dpAuto, screen, screen), QPoint(1080, 120));
}

TEST(PopupPlacement, InsideTheScreenAtEveryCorner)
{
    const QRect screen(0, 0, 1280, 1024);
    const QSize edit(150, 21), popup(230, 185);
    const QPoint corners[] = {{0, 0}, {1280 - 150, 0}, {0, 1024 - 21}, {1280 - 150, 1024 - 21}};
    for (TDropPosition pos : {dpAuto, dpDown, dpUp}) {
        for (const QPoint& at : corners) {
            const QPoint p = PlacePopup(at, edit.height(), popup, pos, screen, screen);
            EXPECT_TRUE(screen.contains(QRect(p, popup))) << pos << " " << at.x() << "," << at.y();
            // It stands beside the edit, not over it.
            EXPECT_TRUE(p.y() + popup.height() <= at.y() || p.y() >= at.y() + edit.height() - 1) << at.y();
        }
    }
    // A work area on a second screen to the right.
    const QRect second(1280, 0, 1024, 768);
    const QPoint p = PlacePopup(QPoint(1280 + 1000, 760), 21, popup, dpDown, second, second);
    EXPECT_TRUE(second.contains(QRect(p, popup)));
}

} // namespace
