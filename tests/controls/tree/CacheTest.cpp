// The position cache and its worker thread: when a cache is built and what it holds, that the
// lookups through it agree with the running totals, the interrupt protocol, and the life of
// the shared worker.
#include "controls/tree/LazyTree.h"
#include "controls/tree/LazyTreeWorker.h"
#include "support/Pump.h"

#include <QCoreApplication>
#include <gtest/gtest.h>
#include <memory>
#include <random>

using namespace controls;
using testing_support::pumpFor;
using testing_support::pumpUntil;

namespace {

class CacheTree : public TBaseLazyTree {
public:
    using TBaseLazyTree::InvalidateCache;
    using TBaseLazyTree::ValidateCache;
};

std::unique_ptr<CacheTree> flatTree(uint32_t count)
{
    std::unique_ptr<CacheTree> tree(TBaseLazyTree::create<CacheTree>());
    tree->BeginUpdate();
    tree->SetRootNodeCount(count);
    tree->EndUpdate();
    return tree;
}

bool cacheReady(const TBaseLazyTree& tree) { return tree.TreeStates().contains(tsUseCache); }

// The top of every visible node, summed row by row.
std::vector<std::pair<PLazyNode, int>> bruteForceTops(TBaseLazyTree& tree)
{
    std::vector<std::pair<PLazyNode, int>> tops;
    int top = 0;
    for (PLazyNode n = tree.GetFirstVisibleNoInit(nullptr, true); n; n = tree.GetNextVisibleNoInit(n, true)) {
        tops.emplace_back(n, top);
        top += n->NodeHeight;
    }
    return tops;
}

} // namespace

TEST(PositionCache, MoreThanAStrideOfVisibleNodesGetsOneEntryPerStride)
{
    auto small = flatTree(2000);
    auto tree = flatTree(2001);
    ASSERT_TRUE(pumpUntil([&] { return cacheReady(*tree); }));
    ASSERT_EQ(tree->PositionCache().size(), 2u);
    EXPECT_EQ(tree->PositionCache()[0].Node, tree->RootNode()->FirstChild);
    EXPECT_EQ(tree->PositionCache()[0].AbsoluteTop, 0u);
    EXPECT_EQ(tree->PositionCache()[1].Node, tree->RootNode()->LastChild);
    EXPECT_EQ(tree->PositionCache()[1].AbsoluteTop, 2000u * 18u);
    EXPECT_EQ(tree->GetCacheLength(), 2u);

    // 2000 visible nodes are walked without a cache.
    pumpFor(20);
    EXPECT_FALSE(small->TreeStates().contains(tsUseCache));
    EXPECT_TRUE(small->PositionCache().empty());
    EXPECT_EQ(small->GetCacheLength(), 1u);
}

TEST(PositionCache, LookupsThroughTheCacheAgreeWithTheTotals)
{
    // 300 top-level nodes of 20 children, some expanded, hidden, filtered or taller.
    std::unique_ptr<CacheTree> tree(TBaseLazyTree::create<CacheTree>());
    std::mt19937 random(7);
    tree->BeginUpdate();
    tree->SetRootNodeCount(300);
    for (PLazyNode top = tree->RootNode()->FirstChild; top; top = top->NextSibling) {
        tree->SetChildCount(top, 20);
        if (random() % 4 != 0)
            tree->SetExpanded(top, true);
        for (PLazyNode c = top->FirstChild; c; c = c->NextSibling) {
            const unsigned r = random() % 20;
            if (r == 0)
                tree->SetVisible(c, false);
            else if (r == 1)
                tree->SetFiltered(c, true);
            else if (r == 2)
                tree->SetNodeHeight(c, 31);
        }
    }
    tree->EndUpdate();
    ASSERT_GT(tree->VisibleCount(), 2 * TBaseLazyTree::CacheStride);
    ASSERT_TRUE(pumpUntil([&] { return cacheReady(*tree); }));
    EXPECT_EQ(tree->PositionCache().size(), tree->GetCacheLength());

    const auto tops = bruteForceTops(*tree);
    ASSERT_EQ(tops.size(), tree->VisibleCount());
    for (size_t i = 0; i < tops.size(); i += 7) {
        const auto& [node, top] = tops[i];
        SCOPED_TRACE(i);
        EXPECT_EQ(tree->GetNodeTop(node), top);
        int nodeTop = -1;
        EXPECT_EQ(tree->GetNodeAt(0, top, false, nodeTop), node);
        EXPECT_EQ(nodeTop, top);
        EXPECT_EQ(tree->GetNodeAt(0, top + node->NodeHeight - 1, false, nodeTop), node);
    }
    // Every entry's node comes CacheStride rows after the one before.
    for (size_t e = 0; e < tree->PositionCache().size(); ++e) {
        EXPECT_EQ(tree->PositionCache()[e].Node, tops[e * TBaseLazyTree::CacheStride].first);
        EXPECT_EQ(int(tree->PositionCache()[e].AbsoluteTop), tops[e * TBaseLazyTree::CacheStride].second);
    }
    // Above the first row is the first row; below the last there is none.
    int nodeTop = 0;
    EXPECT_EQ(tree->GetNodeAt(0, -5), tree->GetNodeAt(0, 0));
    EXPECT_EQ(tree->GetNodeAt(0, tops.back().second + 1000, false, nodeTop), nullptr);
    uint32_t pos = 99;
    EXPECT_EQ(tree->FindCacheEntryAtPosition(0, pos), tops[0].first);
    EXPECT_EQ(pos, 0u);
    EXPECT_EQ(tree->FindCacheEntryForNode(tops[2500].first, pos), tops[2000].first);
    EXPECT_EQ(int(pos), tops[2000].second);
}

TEST(PositionCache, CompareNodeOrderFollowsTheRows)
{
    std::unique_ptr<CacheTree> tree(TBaseLazyTree::create<CacheTree>());
    PLazyNode a = tree->AddChild(nullptr);
    PLazyNode a1 = tree->AddChild(a);
    PLazyNode b = tree->AddChild(nullptr);
    EXPECT_EQ(tree->CompareNodeOrder(a, a, false), 0);
    EXPECT_LT(tree->CompareNodeOrder(a, a1, false), 0);
    EXPECT_GT(tree->CompareNodeOrder(a1, a, false), 0);
    EXPECT_LT(tree->CompareNodeOrder(a1, b, false), 0);
    TLTPaintOptions paint = tree->TreeOptions().PaintOptions();
    tree->TreeOptions().SetPaintOptions(paint + toChildrenAbove);
    EXPECT_GT(tree->CompareNodeOrder(a, a1, true), 0);
    EXPECT_LT(tree->CompareNodeOrder(a, a1, false), 0);
    EXPECT_THROW(tree->CompareNodeOrder(a, nullptr, false), ELazyTreeAssertion);
}

TEST(PositionCache, AStructuralChangeDuringABuildStopsItAndMarksTheCacheOutOfDate)
{
    // Nodes of variable height are measured on this thread at the worker's request, so the
    // build is certainly under way when the change comes.
    std::unique_ptr<CacheTree> tree(TBaseLazyTree::create<CacheTree>());
    tree->BeginUpdate();
    tree->SetRootNodeCount(5000);
    tree->EndUpdate();
    ASSERT_TRUE(pumpUntil([&] { return cacheReady(*tree); }));
    tree->TreeOptions().SetMiscOptions(tree->TreeOptions().MiscOptions() + toVariableNodeHeight);
    int measured = 0;
    tree->OnMeasureItem = [&](TBaseLazyTree*, platform::Canvas&, PLazyNode node, int& height) {
        ++measured;
        height = 20 + int(node->Index % 3);
    };
    tree->InvalidateCache();
    tree->ValidateCache();
    ASSERT_TRUE(pumpUntil([&] { return measured >= 100; }));
    ASSERT_TRUE(tree->TreeStates().contains(tsValidating));

    tree->BeginUpdate();
    tree->AddChild(nullptr);
    EXPECT_FALSE(tree->TreeStates().contains(tsValidating));
    EXPECT_FALSE(tree->TreeStates().contains(tsUseCache));
    EXPECT_TRUE(tree->TreeStates().contains(tsValidationNeeded));
    EXPECT_EQ(TWorkerThread::Instance()->CurrentTree(), nullptr);
    EXPECT_LT(measured, 5000);
    tree->EndUpdate();

    // The next build walks up to the last entry's node (4000), measuring what it passes (the
    // added node was measured when it was made), and agrees with the totals.
    ASSERT_TRUE(pumpUntil([&] { return cacheReady(*tree); }));
    EXPECT_EQ(measured, 4002);
    const auto tops = bruteForceTops(*tree);
    ASSERT_EQ(tops.size(), 5001u);
    for (size_t i = 0; i < tops.size(); i += 97)
        EXPECT_EQ(tree->GetNodeTop(tops[i].first), tops[i].second);
    EXPECT_EQ(tree->PositionCache()[2].AbsoluteTop, uint32_t(tops[4000].second));
    EXPECT_EQ(int(tree->RangeY()), tops.back().second + tops.back().first->NodeHeight);
}

TEST(PositionCache, TwoQueuedTreesAreValidatedOneAfterTheOther)
{
    std::vector<const TBaseLazyTree*> order;
    auto first = flatTree(3000);
    auto second = flatTree(4000);
    auto log = [&](TBaseLazyTree* sender, TLazyTreeStates enter, TLazyTreeStates) {
        if (enter.contains(tsValidating))
            order.push_back(sender);
    };
    ASSERT_TRUE(pumpUntil([&] { return cacheReady(*first) && cacheReady(*second); }));
    first->OnStateChange = log;
    second->OnStateChange = log;
    first->InvalidateCache();
    second->InvalidateCache();
    first->ValidateCache();
    second->ValidateCache();
    ASSERT_TRUE(pumpUntil([&] { return cacheReady(*first) && cacheReady(*second); }));
    ASSERT_EQ(order.size(), 2u);
    EXPECT_EQ(order[0], first.get());
    EXPECT_EQ(order[1], second.get());
    EXPECT_EQ(first->PositionCache().size(), 2u);
    EXPECT_EQ(second->PositionCache().size(), 2u);
}

TEST(PositionCache, TheWorkerLivesWhileAnyTreeExists)
{
    // Other tests' trees are gone: the worker lives only with trees.
    ASSERT_EQ(TWorkerThread::Instance(), nullptr);
    {
        auto one = flatTree(10);
        ASSERT_NE(TWorkerThread::Instance(), nullptr);
        EXPECT_EQ(TWorkerThread::Instance()->RefCount(), 1u);
        auto two = flatTree(10);
        EXPECT_EQ(TWorkerThread::Instance()->RefCount(), 2u);
    }
    EXPECT_EQ(TWorkerThread::Instance(), nullptr);
    // A new tree starts a new worker, which builds caches as before.
    auto again = flatTree(2500);
    ASSERT_NE(TWorkerThread::Instance(), nullptr);
    ASSERT_TRUE(pumpUntil([&] { return cacheReady(*again); }));
    EXPECT_EQ(again->PositionCache().size(), 2u);
}

TEST(PositionCache, DestroyingATreeWhileItIsValidatedWaitsForTheWorker)
{
    for (int round = 0; round < 20; ++round) {
        auto keep = flatTree(10);
        auto tree = flatTree(50000);
        // The worker has the tree (or is about to take it) and waits for this thread.
        pumpFor(round % 3);
        tree.reset();
        EXPECT_EQ(TWorkerThread::Instance()->CurrentTree(), nullptr);
        // Nothing is left in the mailbox for the dead tree.
        pumpFor(1);
    }
}

TEST(PositionCache, AMillionNodesExpandWhileTheWorkerValidatesAndTheViewScrolls)
{
    // 1000 meters of 999 records: 1,000,000 nodes, expanded one meter at a time while the view
    // scrolls and paints, each expansion stopping the build under way.
    std::unique_ptr<CacheTree> tree(TBaseLazyTree::create<CacheTree>());
    tree->SetAnimationDuration(0);
    tree->resize(300, 400);
    tree->BeginUpdate();
    tree->SetRootNodeCount(1000);
    for (PLazyNode top = tree->RootNode()->FirstChild; top; top = top->NextSibling)
        tree->SetChildCount(top, 999);
    tree->EndUpdate();
    ASSERT_EQ(tree->RootNode()->TotalCount, 1000001u);
    tree->show();
    std::mt19937 random(11);
    int expanded = 0;
    for (PLazyNode top = tree->RootNode()->FirstChild; top; top = top->NextSibling) {
        tree->SetExpanded(top, true);
        if (++expanded % 50 == 0) {
            tree->SetOffsetY(-int(random() % std::max<uint32_t>(tree->RangeY(), 1)));
            tree->viewport()->repaint();
            QCoreApplication::processEvents();
        }
    }
    ASSERT_EQ(tree->VisibleCount(), 1000000u);
    ASSERT_TRUE(pumpUntil([&] { return cacheReady(*tree); }, 60000));
    EXPECT_EQ(tree->PositionCache().size(), 500u);
    const auto tops = bruteForceTops(*tree);
    ASSERT_EQ(tops.size(), 1000000u);
    for (size_t i = 0; i < tops.size(); i += 9973) {
        EXPECT_EQ(tree->GetNodeTop(tops[i].first), tops[i].second);
        int nodeTop = 0;
        EXPECT_EQ(tree->GetNodeAt(0, tops[i].second + 3, false, nodeTop), tops[i].first);
    }
    // Scrolling to the end paints the last rows found through the cache.
    tree->SetOffsetY(-int(tree->RangeY()));
    tree->viewport()->repaint();
    EXPECT_EQ(tree->BottomNode(), tops.back().first);
}
