// Sorting sibling lists (stable, cancellable, level by level) and moving and copying nodes
// within a tree and between trees.
#include "TreeTestSupport.h"

#include <QIODevice>
#include <gtest/gtest.h>

using namespace controls;
using namespace treetest;

namespace {

// Compares by the first character of the names, so "b1" and "b2" are equal.
void compareByInitial(NamedTree& t, int* comparisons = nullptr)
{
    t->OnCompareNodes = [&t, comparisons](TBaseLazyTree*, PLazyNode a, PLazyNode b, TColumnIndex, int& result) {
        if (comparisons)
            ++*comparisons;
        result = t.nameOf(a).at(0).unicode() - t.nameOf(b).at(0).unicode();
    };
}

void addAll(NamedTree& t, const char* path, const QStringList& names)
{
    for (const QString& name : names)
        t.add(QString::fromLatin1(path) + name);
}

// Names travel between trees in the user chunk.
void carryNames(NamedTree& t)
{
    t->OnSaveNode = [&t](TBaseLazyTree*, PLazyNode node, QIODevice& s) { s.write(t.nameOf(node).toUtf8()); };
    t->OnLoadNode = [&t](TBaseLazyTree*, PLazyNode node, QIODevice& s) {
        t.name(node, QString::fromUtf8(s.readAll()));
    };
}

} // namespace

TEST(Sort, EqualNodesKeepTheirOrderBothWays)
{
    struct Case {
        TSortDirection direction;
        const char* after;
    };
    for (const Case& c : {Case{sdAscending, "a1,a2,b1,b2,b3,c1"}, Case{sdDescending, "c1,b1,b2,b3,a1,a2"}}) {
        NamedTree t;
        addAll(t, "", {QStringLiteral("b1"), QStringLiteral("c1"), QStringLiteral("a1"), QStringLiteral("b2"),
                       QStringLiteral("a2"), QStringLiteral("b3")});
        compareByInitial(t);
        t->Sort(nullptr, NoColumn, c.direction, true);
        EXPECT_EQ(t.names(), QString::fromLatin1(c.after));
        EXPECT_EQ(checkInvariants(*t), QString());
    }
}

TEST(Sort, OneChildOrNoChildrenNeedNoComparison)
{
    NamedTree t;
    PLazyNode a = t.add(QStringLiteral("A"));
    t.add(QStringLiteral("A/A1"));
    PLazyNode b = t.add(QStringLiteral("B"));
    int comparisons = 0;
    compareByInitial(t, &comparisons);
    t->Sort(a, NoColumn, sdAscending, true);
    t->Sort(b, NoColumn, sdAscending, true);
    EXPECT_EQ(comparisons, 0);
    EXPECT_FALSE(b->States.contains(vsHasChildren));
}

TEST(Sort, SortTreeSortsEveryLevelAndAutoSortLeavesCollapsedNodes)
{
    for (const bool autoSort : {false, true}) {
        SCOPED_TRACE(autoSort);
        NamedTree t;
        addAll(t, "", {QStringLiteral("z"), QStringLiteral("y")});
        addAll(t, "z/", {QStringLiteral("z2"), QStringLiteral("z1")});
        addAll(t, "y/", {QStringLiteral("y2"), QStringLiteral("y1")});
        t->SetExpanded(t.find(QStringLiteral("z")), true);
        compareByInitial(t);
        t->OnCompareNodes = [&t](TBaseLazyTree*, PLazyNode a, PLazyNode b, TColumnIndex, int& result) {
            result = QString::compare(t.nameOf(a), t.nameOf(b));
        };
        const TLTAutoOptions autoOptions = t->TreeOptions().AutoOptions();
        t->TreeOptions().SetAutoOptions(autoSort ? autoOptions + toAutoSort : autoOptions - toAutoSort);
        t->SortTree(NoColumn, sdAscending);
        EXPECT_EQ(t.names(), autoSort ? QStringLiteral("y,y2,y1,z,z1,z2") : QStringLiteral("y,y1,y2,z,z1,z2"));
        EXPECT_EQ(checkInvariants(*t), QString());
    }
}

TEST(Sort, AMillionSiblingsSortStablyAndACancelledSortLeavesAValidTree)
{
    // The node data holds the original position; the key is that position modulo 1000,
    // counted backwards, so equal keys must keep their order.
    constexpr uint32_t count = 1000000;
    for (const bool cancel : {false, true}) {
        SCOPED_TRACE(cancel);
        auto* tree = TBaseLazyTree::create<TBaseLazyTree>();
        tree->SetNodeDataSize(4);
        tree->BeginUpdate();
        tree->SetRootNodeCount(count);
        uint32_t i = 0;
        for (PLazyNode n = tree->RootNode()->FirstChild; n; n = n->NextSibling)
            *static_cast<uint32_t*>(tree->GetNodeData(n)) = i++;
        tree->EndUpdate();
        auto pos = [](PLazyNode n) { return *reinterpret_cast<uint32_t*>(NodeDataAddress(n)); };
        uint64_t comparisons = 0;
        tree->OnCompareNodes = [&](TBaseLazyTree* sender, PLazyNode a, PLazyNode b, TColumnIndex, int& result) {
            if (cancel && ++comparisons == 5000000)
                sender->CancelOperation();
            result = int(999 - pos(a) % 1000) - int(999 - pos(b) % 1000);
        };
        tree->Sort(nullptr, NoColumn, sdAscending, false);
        EXPECT_EQ(checkInvariants(*tree), QString());
        EXPECT_EQ(tree->RootNodeCount(), count);
        // Every node is there once.
        std::vector<bool> seen(count);
        for (PLazyNode n = tree->RootNode()->FirstChild; n; n = n->NextSibling)
            seen[pos(n)] = true;
        EXPECT_EQ(std::count(seen.begin(), seen.end(), true), int64_t(count));
        if (!cancel) {
            PLazyNode prev = nullptr;
            bool ordered = true;
            for (PLazyNode n = tree->RootNode()->FirstChild; n && ordered; n = n->NextSibling) {
                if (prev) {
                    const uint32_t ka = 999 - pos(prev) % 1000;
                    const uint32_t kb = 999 - pos(n) % 1000;
                    ordered = ka < kb || (ka == kb && pos(prev) < pos(n));
                }
                prev = n;
            }
            EXPECT_TRUE(ordered);
            EXPECT_EQ(pos(tree->RootNode()->FirstChild), 999u);
        } else {
            EXPECT_FALSE(tree->OperationCanceled()); // the operation is over
        }
        delete tree;
    }
}

TEST(Move, InsideOneTreeTheNodeKeepsItselfAndItsSubtree)
{
    NamedTree t;
    PLazyNode a = t.add(QStringLiteral("A"));
    t.add(QStringLiteral("A/A1"));
    PLazyNode b = t.add(QStringLiteral("B"));
    QStringList events;
    t->OnNodeMoving = [&](TBaseLazyTree*, PLazyNode node, PLazyNode target, bool&) {
        events << QStringLiteral("moving %1 to %2").arg(t.nameOf(node), t.nameOf(target));
    };
    t->OnNodeMoved = [&](TBaseLazyTree*, PLazyNode node) { events << QStringLiteral("moved ") + t.nameOf(node); };
    t->OnStructureChange = [&](TBaseLazyTree*, PLazyNode, TChangeReason reason) {
        if (reason == crNodeMoved)
            events << QStringLiteral("structure");
    };
    t->MoveTo(a, b, amAddChildLast, false);
    EXPECT_EQ(events, QStringList({QStringLiteral("moving A to B"), QStringLiteral("moved A"), QStringLiteral("structure")}));
    EXPECT_EQ(t.find(QStringLiteral("A")), a);
    EXPECT_EQ(a->Parent, b);
    EXPECT_EQ(t.names(), QStringLiteral("B,A,A1"));
    EXPECT_EQ(checkInvariants(*t), QString());

    // A refused move changes nothing but is still reported.
    events.clear();
    t->OnNodeMoving = [&](TBaseLazyTree*, PLazyNode, PLazyNode, bool& allowed) { allowed = false; };
    t->MoveTo(a, PLazyNode(nullptr), amAddChildLast, false);
    EXPECT_EQ(events, QStringList{QStringLiteral("structure")});
    EXPECT_EQ(t.names(), QStringLiteral("B,A,A1"));
}

TEST(Move, IntoItsOwnSubtreeIsRefusedWith2001AndNothingChanges)
{
    NamedTree t;
    t.add(QStringLiteral("A"));
    t.add(QStringLiteral("A/A1"));
    t.add(t.find(QStringLiteral("A1")), QStringLiteral("A11"));
    t.add(QStringLiteral("B"));
    for (const char* target : {"A1", "A11"}) {
        try {
            t->MoveTo(t.find(QStringLiteral("A")), t.find(QString::fromLatin1(target)), amAddChildLast, false);
            FAIL() << "moved under itself";
        } catch (const ELazyTreeError& e) {
            EXPECT_EQ(e.HelpContext(), 2001);
            EXPECT_EQ(e.message(), QStringLiteral("Target node cannot be a child node of the node to be moved."));
        }
        EXPECT_EQ(t.names(), QStringLiteral("A,A1,A11,B"));
        EXPECT_EQ(checkInvariants(*t), QString());
    }
}

TEST(Move, ChildrenKeepTheirOrderForEveryMode)
{
    struct Case {
        TLTNodeAttachMode mode;
        const char* after;
    };
    const Case cases[] = {
        {amAddChildFirst, "S,T,c1,c2,c3,t1"},
        {amAddChildLast, "S,T,t1,c1,c2,c3"},
        {amInsertBefore, "S,c1,c2,c3,T,t1"},
        {amInsertAfter, "S,T,t1,c1,c2,c3"},
    };
    for (const bool copy : {false, true})
        for (const Case& c : cases) {
            SCOPED_TRACE(QStringLiteral("%1 mode %2").arg(copy).arg(int(c.mode)).toStdString());
            NamedTree t;
            carryNames(t);
            t.add(QStringLiteral("S"));
            addAll(t, "S/", {QStringLiteral("c1"), QStringLiteral("c2"), QStringLiteral("c3")});
            t.add(QStringLiteral("T"));
            t.add(QStringLiteral("T/t1"));
            if (copy) {
                t->CopyTo(t.find(QStringLiteral("S")), t.find(QStringLiteral("T")), c.mode, true);
                // The copies come after the originals' tree: drop the originals to compare.
                t->DeleteChildren(t.find(QStringLiteral("S")));
            } else {
                t->MoveTo(t.find(QStringLiteral("S")), t.find(QStringLiteral("T")), c.mode, true);
            }
            EXPECT_EQ(t.names(), QString::fromLatin1(c.after));
            EXPECT_EQ(checkInvariants(*t), QString());
        }
}

TEST(Copy, ANilTargetCopiesToTheTopAndAReadOnlyTreeTakesNothing)
{
    NamedTree t;
    carryNames(t);
    t.add(QStringLiteral("A"));
    t.add(QStringLiteral("A/A1"));
    t.add(QStringLiteral("B"));
    QStringList copied;
    t->OnNodeCopied = [&](TBaseLazyTree*, PLazyNode node) { copied << t.nameOf(node); };
    PLazyNode copy = t->CopyTo(t.find(QStringLiteral("A")), PLazyNode(nullptr), amAddChildLast, false);
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(copy, t->RootNode()->FirstChild);
    EXPECT_EQ(t.names(), QStringLiteral("A,A1,A,A1,B"));
    EXPECT_EQ(copied, QStringList{QStringLiteral("A")});
    EXPECT_EQ(checkInvariants(*t), QString());

    // A copy the tree refuses is taken away again.
    t->OnNodeCopying = [](TBaseLazyTree*, PLazyNode, PLazyNode, bool& allowed) { allowed = false; };
    EXPECT_EQ(t->CopyTo(t.find(QStringLiteral("B")), PLazyNode(nullptr), amAddChildLast, false), nullptr);
    EXPECT_EQ(t.names(), QStringLiteral("A,A1,A,A1,B"));
    EXPECT_EQ(checkInvariants(*t), QString());

    NamedTree readOnly;
    readOnly->TreeOptions().SetMiscOptions(readOnly->TreeOptions().MiscOptions() + toReadOnly);
    EXPECT_EQ(t->CopyTo(t.find(QStringLiteral("B")), readOnly.tree, amAddChildLast, false), nullptr);
    EXPECT_EQ(readOnly->RootNodeCount(), 0u);
}

TEST(Move, BetweenTreesTheNodesTravelAsRecords)
{
    NamedTree source;
    NamedTree target;
    carryNames(source);
    carryNames(target);
    source.add(QStringLiteral("A"));
    source.add(QStringLiteral("A/A1"));
    source.add(QStringLiteral("B"));
    target.add(QStringLiteral("X"));
    source->SetSelected(source.find(QStringLiteral("A1")), true);
    QStringList moved;
    source->OnNodeMoved = [&](TBaseLazyTree*, PLazyNode node) { moved << target.nameOf(node); };
    source->MoveTo(source.find(QStringLiteral("A")), target.find(QStringLiteral("X")), amInsertAfter, false);
    EXPECT_EQ(source.names(), QStringLiteral("B"));
    EXPECT_EQ(target.names(), QStringLiteral("X,A,A1"));
    EXPECT_EQ(moved, QStringList{QStringLiteral("A")});
    // The old nodes were freed with their events.
    EXPECT_TRUE(source.freed.contains(QStringLiteral("A")));
    EXPECT_TRUE(source.freed.contains(QStringLiteral("A1")));
    EXPECT_EQ(source->SelectedCount(), 0u);
    EXPECT_EQ(checkInvariants(*source), QString());
    EXPECT_EQ(checkInvariants(*target), QString());

    // The whole tree to another one's top level.
    source->MoveTo(source.find(QStringLiteral("B")), target.tree, amAddChildFirst, false);
    EXPECT_EQ(target.names(), QStringLiteral("B,X,A,A1"));
    EXPECT_EQ(source->RootNodeCount(), 0u);
}

TEST(Sort, NodeArraysSortByAddress)
{
    NamedTree t;
    TNodeArray nodes;
    for (int i = 0; i < 50; ++i)
        nodes.push_back(t.add(QString::number(i)));
    std::reverse(nodes.begin(), nodes.end());
    std::rotate(nodes.begin(), nodes.begin() + 17, nodes.end());
    SortNodeArrayByAddress(nodes, 0, int(nodes.size()) - 1);
    EXPECT_TRUE(std::is_sorted(nodes.begin(), nodes.end(), [](PLazyNode a, PLazyNode b) {
        return reinterpret_cast<uintptr_t>(a) < reinterpret_cast<uintptr_t>(b);
    }));
}
