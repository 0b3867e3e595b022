// The tree as a window (offscreen): offsets and their limits, ranges, scroll bars, bringing
// nodes into view, hit testing, the animation driver on the program clock, toggling and the
// header without columns.
#include "TreeTestSupport.h"
#include "support/FakeProcess.h"

#include "platform/draw/Theme.h"

#include <QScrollBar>
#include <QSignalSpy>
#include <QStyle>
#include <QTest>
#include <gtest/gtest.h>

using namespace controls;
using namespace treetest;

namespace {

// Content of a fixed width, so that the text area can be hit.
class WideTree : public TBaseLazyTree {
public:
    int contentWidth = 40;
    using TBaseLazyTree::DetermineHitPositionLTR;

protected:
    int DoGetNodeWidth(PLazyNode, TColumnIndex, platform::Canvas*) override { return contentWidth; }
};

// A shown tree of `count` top-level nodes.
TBaseLazyTree* shownTree(int count, int width = 200, int height = 100)
{
    auto* tree = TBaseLazyTree::create<WideTree>();
    tree->resize(width, height);
    tree->SetRootNodeCount(uint32_t(count));
    tree->show();
    return tree;
}

} // namespace

TEST(Scrolling, OffsetsAreClampedAndAnUnchangedOffsetFiresNothing)
{
    std::unique_ptr<TBaseLazyTree> tree(shownTree(20));
    int scrolls = 0;
    tree->OnScroll = [&](TBaseLazyTree*, int, int) { ++scrolls; };
    tree->SetOffsetY(1000);
    EXPECT_EQ(tree->OffsetY(), 0);
    EXPECT_EQ(scrolls, 0);
    const int ch = tree->ClientHeight();
    EXPECT_EQ(tree->RangeY(), 20u * 18u);
    tree->SetOffsetY(-100000);
    EXPECT_EQ(tree->OffsetY(), ch - 360);
    EXPECT_EQ(scrolls, 1);
    EXPECT_TRUE(tree->verticalScrollBar()->isVisible());
    EXPECT_EQ(tree->verticalScrollBar()->maximum(), 360 - ch);
    EXPECT_EQ(tree->verticalScrollBar()->pageStep(), ch);
    EXPECT_EQ(tree->verticalScrollBar()->value(), 360 - ch);
    tree->HandleVScroll(SB_TOP);
    EXPECT_EQ(tree->OffsetY(), 0);
    tree->HandleVScroll(SB_LINEDOWN);
    EXPECT_EQ(tree->OffsetY(), -20);
    tree->HandleVScroll(SB_PAGEDOWN);
    EXPECT_EQ(tree->OffsetY(), -20 - ch);
    tree->HandleVScroll(SB_BOTTOM);
    EXPECT_EQ(tree->OffsetY(), ch - 360);
    tree->HandleVScroll(9); // codes above 8 are ignored
    EXPECT_EQ(tree->OffsetY(), ch - 360);
}

TEST(Scrolling, EveryChangeOfTheBarsOrOffsetsIsSignalled)
{
    std::unique_ptr<TBaseLazyTree> tree(shownTree(20));
    QSignalSpy spy(tree.get(), &TBaseLazyTree::scrollBarsChanged);
    tree->SetOffsetY(1000); // clamped to where it is: nothing
    EXPECT_EQ(spy.count(), 0);
    tree->SetOffsetY(-40);
    EXPECT_GE(spy.count(), 1) << "an offset change";
    spy.clear();
    tree->UpdateScrollBars(true);
    EXPECT_EQ(spy.count(), 1) << "a scroll-bar update";
    spy.clear();
    tree->SetRootNodeCount(40);
    EXPECT_GE(spy.count(), 1) << "the range grew";
}

TEST(Scrolling, SmallContentHasNoBars)
{
    std::unique_ptr<TBaseLazyTree> tree(shownTree(2));
    EXPECT_EQ(tree->OffsetY(), 0);
    EXPECT_FALSE(tree->verticalScrollBar()->isVisible());
    tree->ScrollBarOptions().SetAlwaysVisible(true);
    EXPECT_TRUE(tree->verticalScrollBar()->isVisible());
    EXPECT_FALSE(tree->verticalScrollBar()->isEnabled()) << "shown, but nothing to scroll";
}

TEST(Scrolling, BottomSpaceLetsTheLastNodeRiseAboveTheBottom)
{
    std::unique_ptr<TBaseLazyTree> tree(shownTree(20));
    tree->SetBottomSpace(50);
    EXPECT_EQ(tree->RangeY(), 360u + 50u);
    tree->SetOffsetY(-100000);
    PLazyNode last = tree->RootNode()->LastChild;
    const platform::Rect r = tree->GetDisplayRect(last, NoColumn, false);
    EXPECT_EQ(r.bottom, tree->ClientHeight() - 50);
}

TEST(Scrolling, ScrollIntoView)
{
    std::unique_ptr<TBaseLazyTree> tree(shownTree(20));
    const int ch = tree->ClientHeight();
    PLazyNode third = tree->RootNode()->FirstChild->NextSibling->NextSibling;
    // Fully visible: moved only when centred, with its bottom on the middle line.
    EXPECT_FALSE(tree->ScrollIntoView(third, false));
    EXPECT_EQ(tree->OffsetY(), 0);
    PLazyNode tenth = third;
    for (int i = 0; i < 7; ++i)
        tenth = tenth->NextSibling;
    EXPECT_TRUE(tree->ScrollIntoView(tenth, false));
    EXPECT_EQ(tree->GetDisplayRect(tenth, NoColumn, false).bottom, ch) << "below: bottom to the bottom";
    EXPECT_TRUE(tree->ScrollIntoView(tenth, true));
    EXPECT_EQ(tree->GetDisplayRect(tenth, NoColumn, false).bottom, ch / 2) << "centred: bottom to the middle";
    EXPECT_TRUE(tree->ScrollIntoView(tree->RootNode()->FirstChild, true));
    EXPECT_EQ(tree->OffsetY(), 0) << "above: its top to the middle, clamped";
    EXPECT_FALSE(tree->ScrollIntoView(nullptr, true));
}

TEST(Scrolling, WideContentWithoutAHorizontalBarScrollsABarHeightFurther)
{
    auto* tree = TBaseLazyTree::create<WideTree>();
    std::unique_ptr<TBaseLazyTree> owner(tree);
    static_cast<WideTree*>(tree)->contentWidth = 600;
    tree->ScrollBarOptions().SetScrollBars(ssVertical);
    tree->resize(200, 100);
    tree->SetRootNodeCount(20);
    tree->show();
    ASSERT_GT(int64_t(tree->RangeX()), tree->ClientWidth());
    PLazyNode tenth = tree->RootNode()->FirstChild;
    for (int i = 0; i < 9; ++i)
        tenth = tenth->NextSibling;
    tree->ScrollIntoView(tenth, false);
    const int bar = tree->style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    EXPECT_EQ(tree->GetDisplayRect(tenth, NoColumn, false).bottom, tree->ClientHeight() - bar);
}

TEST(HitTest, PositionsInsideANode)
{
    platform::SetThemeActive(false);
    auto* tree = TBaseLazyTree::create<WideTree>();
    std::unique_ptr<TBaseLazyTree> owner(tree);
    tree->resize(300, 100);
    tree->show();
    tree->TreeOptions().SetMiscOptions(tree->TreeOptions().MiscOptions() + toCheckSupport);
    PLazyNode parent = tree->AddChild(nullptr);
    tree->AddChild(parent);
    PLazyNode leaf = tree->AddChild(nullptr);
    PLazyNode checked = tree->AddChild(nullptr);
    tree->SetCheckType(checked, ctCheckBox);
    const int check = tree->CheckImages()->Width();
    struct Row {
        PLazyNode node;
        int x;
        THitPositions expected;
    };
    // Indent 18, glyph 9, Margin 4, toShowRoot: a top-level node's content starts at 22.
    const Row rows[] = {
        {parent, 12, {hiOnItem, hiOnItemButton, hiOnItemButtonExact}},
        {parent, 5, {hiOnItem, hiOnItemButton}},
        {leaf, 5, {hiOnItem, hiOnItemIndent}},
        {leaf, 30, {hiOnItem, hiOnItemLabel}},
        {leaf, 22 + 40 + 5, {hiOnItem, hiOnItemRight}},
        {checked, 22 + check / 2, {hiOnItem, hiOnItemCheckbox}},
        {checked, 22 + check + 2 + 10, {hiOnItem, hiOnItemLabel}},
    };
    for (const Row& r : rows) {
        THitInfo hit;
        const int y = tree->GetDisplayRect(r.node, NoColumn, false).top + 5;
        tree->GetHitTestInfoAt(r.x, y, true, hit);
        EXPECT_EQ(hit.HitNode, r.node) << r.x;
        EXPECT_EQ(hit.HitPositions.bits(), r.expected.bits()) << "x " << r.x;
        EXPECT_EQ(hit.HitColumn, NoColumn);
    }
    THitInfo hit;
    tree->GetHitTestInfoAt(10, 95, true, hit);
    EXPECT_EQ(hit.HitPositions, THitPositions{hiNowhere});
    tree->GetHitTestInfoAt(-1, -1, true, hit);
    EXPECT_EQ(hit.HitPositions, (THitPositions{hiToLeft, hiAbove}));
    EXPECT_EQ(hit.HitNode, nullptr);
    platform::SetThemeActive(true);
}

TEST(HitTest, LabelAndRightOfAStoredWidth)
{
    // A left-aligned text of width 40 starting at offset 30: 50 is on the label, 100 right of it.
    auto* tree = TBaseLazyTree::create<WideTree>();
    std::unique_ptr<WideTree> owner(tree);
    tree->SetMargin(12); // 18 + 12 = 30
    THitInfo hit;
    hit.HitNode = tree->AddChild(nullptr);
    hit.HitColumn = NoColumn;
    hit.HitPositions = hiOnItem;
    tree->DetermineHitPositionLTR(hit, 50, 200, platform::Alignment::taLeftJustify);
    EXPECT_TRUE(hit.HitPositions.contains(hiOnItemLabel));
    hit.HitPositions = hiOnItem;
    tree->DetermineHitPositionLTR(hit, 100, 200, platform::Alignment::taLeftJustify);
    EXPECT_TRUE(hit.HitPositions.contains(hiOnItemRight));
}

TEST(HitTest, DisplayRectangles)
{
    std::unique_ptr<TBaseLazyTree> tree(shownTree(3));
    PLazyNode first = tree->RootNode()->FirstChild;
    PLazyNode child = tree->AddChild(first);
    EXPECT_EQ(tree->GetDisplayRect(child, NoColumn, false), platform::Rect{}) << "inside a collapsed parent";
    tree->SetExpanded(first, true);
    const platform::Rect row = tree->GetDisplayRect(child, NoColumn, false);
    EXPECT_EQ(row.top, 18);
    EXPECT_EQ(row.height(), 18);
    const platform::Rect text = tree->GetDisplayRect(child, NoColumn, true);
    EXPECT_EQ(text.left, 4 + 18 + 18) << "margin, indent of the level, indent of the root";
    EXPECT_EQ(text.width(), 40);
}

TEST(Animate, StepsArePacedOnTheProgramClock)
{
    testing_support::FakeClock clock;
    auto* tree = TBaseLazyTree::create<TBaseLazyTree>();
    std::unique_ptr<TBaseLazyTree> owner(tree);
    struct Call {
        int step, size;
        uint64_t at;
    };
    std::vector<Call> calls;
    const uint64_t start = clock.tickMs();
    tree->Animate(10, 1000, [&](int step, int size) {
        calls.push_back({step, size, clock.tickMs() - start});
        return true;
    });
    ASSERT_EQ(calls.size(), 11u);
    for (int i = 0; i < 10; ++i) {
        EXPECT_EQ(calls[size_t(i)].step, i);
        EXPECT_EQ(calls[size_t(i)].size, 1);
        EXPECT_EQ(calls[size_t(i)].at, uint64_t(i) * 100);
    }
    EXPECT_EQ(calls.back().step, 0);
    EXPECT_EQ(calls.back().size, 0);

    // 100 steps in 50 ms start with two pixels a step; slow steps make the steps larger.
    calls.clear();
    tree->Animate(100, 50, [&](int step, int size) {
        calls.push_back({step, size, 0});
        clock.advance(3);
        return true;
    });
    ASSERT_GE(calls.size(), 3u);
    EXPECT_EQ(calls.front().size, 2);
    EXPECT_GT(calls[calls.size() - 2].size, 2);
    for (size_t i = 1; i + 1 < calls.size(); ++i)
        EXPECT_GT(calls[i].step, calls[i - 1].step);
    EXPECT_EQ(calls.back().size, 0);

    calls.clear();
    tree->Animate(10, 0, [&](int step, int size) {
        calls.push_back({step, size, 0});
        return true;
    });
    EXPECT_TRUE(calls.empty()) << "no duration, no animation";
}

TEST(Toggling, EventsAndOutcomes)
{
    NamedTree t;
    QStringList events;
    t->OnExpanding = [&](TBaseLazyTree*, PLazyNode n, bool& allowed) {
        events << QStringLiteral("expanding ") + t.nameOf(n);
        allowed = !t.nameOf(n).startsWith(QLatin1String("no"));
    };
    t->OnExpanded = [&](TBaseLazyTree*, PLazyNode n) { events << QStringLiteral("expanded ") + t.nameOf(n); };
    t->OnCollapsing = [&](TBaseLazyTree*, PLazyNode n, bool& allowed) {
        events << QStringLiteral("collapsing ") + t.nameOf(n);
        allowed = t.nameOf(n) != QLatin1String("keep");
    };
    t->OnCollapsed = [&](TBaseLazyTree*, PLazyNode n) { events << QStringLiteral("collapsed ") + t.nameOf(n); };
    t->OnInitChildren = [](TBaseLazyTree*, PLazyNode, uint32_t& count) { count = 0; };
    PLazyNode empty = t.add(QStringLiteral("empty"));
    t->SetHasChildren(empty, true);
    t->ToggleNode(empty);
    EXPECT_EQ(events, QStringList{QStringLiteral("expanding empty")});
    EXPECT_FALSE(empty->States.contains(vsHasChildren));
    EXPECT_FALSE(empty->States.contains(vsExpanded));

    events.clear();
    t.add(QStringLiteral("keep"));
    t.add(QStringLiteral("keep/k1"));
    t->ToggleNode(t.find(QStringLiteral("keep")));
    t->ToggleNode(t.find(QStringLiteral("keep")));
    EXPECT_TRUE(t.find(QStringLiteral("keep"))->States.contains(vsExpanded));
    EXPECT_EQ(events, (QStringList{QStringLiteral("expanding keep"), QStringLiteral("expanded keep"),
                                   QStringLiteral("collapsing keep")}));
    EXPECT_EQ(checkInvariants(*t), QString());
}

TEST(Toggling, FullCollapseRunsBottomUpAndFullExpandCanBeCancelled)
{
    NamedTree t;
    for (const char* path : {"A", "A/A1", "A1/x", "A/A2", "B", "B/B1"})
        t.add(QString::fromLatin1(path));
    t->FullExpand();
    EXPECT_EQ(t->VisibleCount(), 6u);
    QStringList order;
    t->OnCollapsing = [&](TBaseLazyTree*, PLazyNode n, bool&) { order << t.nameOf(n); };
    t->FullCollapse();
    EXPECT_EQ(order.join(QLatin1Char(',')), QStringLiteral("B,A1,A"));
    EXPECT_EQ(t->VisibleCount(), 2u);
    EXPECT_EQ(checkInvariants(*t), QString());

    int expanded = 0;
    t->OnExpanded = [&](TBaseLazyTree* s, PLazyNode) {
        if (++expanded == 1)
            s->CancelOperation();
    };
    t->FullExpand();
    EXPECT_EQ(expanded, 1);
    EXPECT_EQ(checkInvariants(*t), QString());
}

TEST(Toggling, AutoFreeOnCollapseFreesTheChildrenAndKeepsTheButton)
{
    NamedTree t;
    t->TreeOptions().SetAutoOptions(t->TreeOptions().AutoOptions() + toAutoFreeOnCollapse);
    t.add(QStringLiteral("A"));
    t.add(QStringLiteral("A/A1"));
    t.add(QStringLiteral("A/A2"));
    t->SetExpanded(t.find(QStringLiteral("A")), true);
    t->SetExpanded(t.find(QStringLiteral("A")), false);
    EXPECT_EQ(t.freed.join(QLatin1Char(',')), QStringLiteral("A2,A1"));
    EXPECT_TRUE(t.find(QStringLiteral("A"))->States.contains(vsHasChildren));
    EXPECT_EQ(checkInvariants(*t), QString());
}

TEST(Toggling, AnAnimatedToggleEndsAsAnUnanimatedOne)
{
    testing_support::FakeClock clock;
    auto build = [](bool animated) {
        auto* tree = TBaseLazyTree::create<TBaseLazyTree>();
        tree->resize(200, 150);
        tree->SetAnimationDuration(animated ? 200 : 0);
        tree->SetRootNodeCount(4);
        tree->SetChildCount(tree->RootNode()->FirstChild, 3);
        tree->show();
        return tree;
    };
    std::unique_ptr<TBaseLazyTree> animated(build(true));
    std::unique_ptr<TBaseLazyTree> plain(build(false));
    animated->ToggleNode(animated->RootNode()->FirstChild);
    plain->ToggleNode(plain->RootNode()->FirstChild);
    EXPECT_GT(animated->LastToggleAnimation().Steps, 0) << "the animation ran";
    EXPECT_EQ(animated->LastToggleAnimation().Mode1, TToggleAnimation::ScrollDown);
    EXPECT_EQ(plain->LastToggleAnimation().Steps, 0);
    EXPECT_EQ(animated->VisibleCount(), plain->VisibleCount());
    EXPECT_EQ(animated->OffsetY(), plain->OffsetY());
    EXPECT_EQ(animated->RangeY(), plain->RangeY());
    EXPECT_EQ(animated->viewport()->grab().toImage(), plain->viewport()->grab().toImage());

    // Inside an update bracket nothing animates.
    animated->ToggleNode(animated->RootNode()->FirstChild);
    const int steps = animated->LastToggleAnimation().Steps;
    animated->BeginUpdate();
    animated->ToggleNode(animated->RootNode()->FirstChild);
    animated->EndUpdate();
    EXPECT_EQ(animated->LastToggleAnimation().Steps, steps);
}

TEST(Header, NoColumnMode)
{
    auto* tree = TBaseLazyTree::create<TBaseLazyTree>();
    std::unique_ptr<TBaseLazyTree> owner(tree);
    TLTHeader& h = tree->Header();
    h.SetHeight(5);
    EXPECT_EQ(h.Height(), 5) << "stored as is before the window exists";
    h.SetMainColumn(3);
    EXPECT_EQ(h.MainColumn(), NoColumn);
    h.SetSortColumn(2);
    EXPECT_EQ(h.SortColumn(), -1);
    EXPECT_FALSE(h.UseColumns());
    EXPECT_FALSE(h.Options().contains(hoVisible));
    EXPECT_EQ(h.GetFirstVisibleColumn(), InvalidColumn);
    EXPECT_EQ(h.ColumnFromPosition(QPoint(5, 5)), InvalidColumn);
    EXPECT_EQ(h.ColumnFromPosition(TColumnPosition(0)), NoColumn);
    EXPECT_EQ(h.GetScrollWidth(), 18);
    EXPECT_EQ(h.TotalWidth(), 0);
    tree->resize(200, 100);
    tree->show();
    EXPECT_EQ(h.Height(), 10) << "clamped to MinHeight when the window is made";
    EXPECT_FALSE(h.InHeader(QPoint(5, 0)));
    EXPECT_FALSE(h.InHeaderSplitterArea(QPoint(5, 0)));
    EXPECT_EQ(tree->HeaderRect().height(), 0);
    int left = -1;
    int right = -1;
    h.GetColumnBounds(NoColumn, left, right);
    EXPECT_EQ(left, 0);
    EXPECT_EQ(right, tree->ClientWidth());
    h.SetDefaultHeight(25);
    EXPECT_EQ(h.Height(), 10) << "the height was not the old default";
}
