// Walking the nodes: the walker table over A(A1, A2), B in both orders, visible walks over
// collapsed and filtered nodes, subtree iteration and enumerations.
#include "TreeTestSupport.h"

#include <gtest/gtest.h>

using namespace controls;
using namespace treetest;

namespace {

void buildAB(NamedTree& t)
{
    t.add(QStringLiteral("A"));
    t.add(QStringLiteral("A/A1"));
    t.add(QStringLiteral("A/A2"));
    t.add(QStringLiteral("B"));
}

QString walk(NamedTree& t, PLazyNode first, const std::function<PLazyNode(PLazyNode)>& next)
{
    QStringList out;
    for (PLazyNode n = first; n; n = next(n))
        out << t.nameOf(n);
    return out.join(QLatin1Char(','));
}

} // namespace

TEST(Navigation, WalkerTable)
{
    NamedTree t;
    buildAB(t);
    TBaseLazyTree* tree = t.tree;
    struct Row {
        const char* walker;
        bool childrenAbove;
        std::function<QString()> result;
        const char* expected;
    };
    const std::vector<Row> rows = {
        {"GetNext from GetFirst", false, [&] { return walk(t, tree->GetFirst(), [&](PLazyNode n) { return tree->GetNext(n); }); }, "A,A1,A2,B"},
        {"GetPrevious from GetLast", false, [&] { return walk(t, tree->GetLast(), [&](PLazyNode n) { return tree->GetPrevious(n); }); }, "B,A2,A1,A"},
        {"GetNextNoInit", false, [&] { return walk(t, tree->GetFirstNoInit(), [&](PLazyNode n) { return tree->GetNextNoInit(n); }); }, "A,A1,A2,B"},
        {"GetPrevious(B)", false, [&] { return t.nameOf(tree->GetPrevious(t.find(QStringLiteral("B")))); }, "A2"},
        {"GetPreviousLeaf(nil)", false, [&] { return t.nameOf(tree->GetPreviousLeaf(nullptr)); }, "B"},
        {"leaves", false, [&] { return walk(t, tree->GetFirstLeaf(), [&](PLazyNode n) { return tree->GetNextLeaf(n); }); }, "A1,A2,B"},
        {"level 1", false, [&] { return walk(t, tree->GetFirstLevel(1), [&](PLazyNode n) { return tree->GetNextLevel(n, 1); }); }, "A1,A2"},
        {"level 0", false, [&] { return walk(t, tree->GetFirstLevel(0), [&](PLazyNode n) { return tree->GetNextLevel(n, 0); }); }, "A,B"},
        {"previous level 1 from B", false, [&] { return t.nameOf(tree->GetPreviousLevel(t.find(QStringLiteral("B")), 1)); }, "A2"},
        {"children of A", false, [&] { return walk(t, tree->GetFirstChild(t.find(QStringLiteral("A"))), [&](PLazyNode n) { return tree->GetNextSibling(n); }); }, "A1,A2"},
        {"last child of root", false, [&] { return t.nameOf(tree->GetLastChild(nullptr)); }, "B"},
        {"children above: GetNext", true, [&] { return walk(t, tree->GetFirst(true), [&](PLazyNode n) { return tree->GetNext(n, true); }); }, "A1,A2,A,B"},
        {"children above: GetPrevious", true, [&] { return walk(t, tree->GetLast(nullptr, true), [&](PLazyNode n) { return tree->GetPrevious(n, true); }); }, "B,A,A2,A1"},
        {"children above: NoInit", true, [&] { return walk(t, tree->GetFirstNoInit(true), [&](PLazyNode n) { return tree->GetNextNoInit(n, true); }); }, "A1,A2,A,B"},
        {"children above ignored without the option argument", true, [&] { return walk(t, tree->GetFirst(false), [&](PLazyNode n) { return tree->GetNext(n, false); }); }, "A,A1,A2,B"},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.walker);
        auto paint = t->TreeOptions().PaintOptions();
        t->TreeOptions().SetPaintOptions(r.childrenAbove ? paint + toChildrenAbove : paint - toChildrenAbove);
        EXPECT_EQ(r.result(), QString::fromLatin1(r.expected));
    }
}

TEST(Navigation, VisibleWalksSkipCollapsedAndFilteredNodes)
{
    NamedTree t;
    buildAB(t);
    t.add(QStringLiteral("B/B1"));
    t.add(QStringLiteral("C"));
    TBaseLazyTree* tree = t.tree;
    auto visible = [&] {
        return walk(t, tree->GetFirstVisible(nullptr, true), [&](PLazyNode n) { return tree->GetNextVisible(n, true); });
    };
    auto backwards = [&] {
        return walk(t, tree->GetLastVisible(nullptr, true), [&](PLazyNode n) { return tree->GetPreviousVisible(n, true); });
    };
    EXPECT_EQ(visible(), QStringLiteral("A,B,C"));
    tree->SetExpanded(t.find(QStringLiteral("A")), true);
    EXPECT_EQ(visible(), QStringLiteral("A,A1,A2,B,C"));
    EXPECT_EQ(backwards(), QStringLiteral("C,B,A2,A1,A"));
    tree->SetFiltered(t.find(QStringLiteral("A1")), true);
    tree->SetVisible(t.find(QStringLiteral("B")), false);
    EXPECT_EQ(visible(), QStringLiteral("A,A2,C"));
    EXPECT_EQ(backwards(), QStringLiteral("C,A2,A"));
    // From a node that is not shown the walk continues after it.
    EXPECT_EQ(t.nameOf(tree->GetNextVisible(t.find(QStringLiteral("B1")), true)), QStringLiteral("C"));
    EXPECT_EQ(t.nameOf(tree->GetPreviousVisible(t.find(QStringLiteral("B")), true)), QStringLiteral("A2"));
    // A filtered first child is skipped, a filtered node's own children are not.
    EXPECT_EQ(t.nameOf(tree->GetFirstVisibleChild(t.find(QStringLiteral("A")), false)), QStringLiteral("A2"));
    tree->SetFiltered(t.find(QStringLiteral("A")), true);
    tree->SetFiltered(t.find(QStringLiteral("A1")), false);
    EXPECT_EQ(t.nameOf(tree->GetFirstVisibleChild(t.find(QStringLiteral("A")), false)), QStringLiteral("A1"));
    EXPECT_EQ(visible(), QStringLiteral("A1,A2,C"));
    // A trailing filtered node: included only on request.
    tree->SetFiltered(t.find(QStringLiteral("C")), true);
    EXPECT_EQ(t.nameOf(tree->GetLastVisible(nullptr, true, true)), QStringLiteral("C"));
    EXPECT_EQ(t.nameOf(tree->GetLastVisible(nullptr, true, false)), QStringLiteral("A2"));
    // With toShowFilteredNodes every visible node shows.
    tree->TreeOptions().SetPaintOptions(tree->TreeOptions().PaintOptions() + toShowFilteredNodes);
    EXPECT_EQ(visible(), QStringLiteral("A,A1,A2,C"));
    EXPECT_EQ(checkInvariants(*tree), QString());
}

TEST(Navigation, InitialisingWalksAskForChildren)
{
    auto* tree = TBaseLazyTree::create<TBaseLazyTree>();
    int childrenAsked = 0;
    tree->OnInitNode = [](TBaseLazyTree*, PLazyNode parent, PLazyNode, TLazyNodeInitStates& s) {
        if (!parent)
            s += ivsHasChildren;
    };
    tree->OnInitChildren = [&](TBaseLazyTree*, PLazyNode, uint32_t& count) {
        ++childrenAsked;
        count = 2;
    };
    tree->SetRootNodeCount(2);
    PLazyNode first = tree->GetFirst();
    EXPECT_EQ(tree->GetNextNoInit(first), first->NextSibling) << "no-init walks follow the links";
    EXPECT_EQ(childrenAsked, 0);
    PLazyNode next = tree->GetNext(first);
    EXPECT_EQ(childrenAsked, 1);
    EXPECT_EQ(next, first->FirstChild);
    EXPECT_TRUE(next->States.contains(vsInitialized));
    delete tree;
}

TEST(Navigation, SelectedCheckedAndCutCopyWalks)
{
    NamedTree t;
    buildAB(t);
    t.add(QStringLiteral("B/B1"));
    TBaseLazyTree* tree = t.tree;
    tree->TreeOptions().SetSelectionOptions({toMultiSelect});
    EXPECT_EQ(tree->GetFirstSelected(), nullptr);
    tree->SetSelected(t.find(QStringLiteral("B1")), true);
    tree->SetSelected(t.find(QStringLiteral("A1")), true);
    EXPECT_EQ(t.nameOf(tree->GetPreviousSelected(nullptr)), QStringLiteral("B1"));
    EXPECT_EQ(walk(t, tree->GetFirstSelected(), [&](PLazyNode n) { return tree->GetNextSelected(n); }),
              QStringLiteral("A1,B1"));
    tree->SetSelected(t.find(QStringLiteral("B")), true);
    const TNodeArray resolved = tree->GetSortedSelection(true);
    EXPECT_EQ(resolved.size(), 2u) << "B1 lies under the selected B";
    EXPECT_EQ(tree->GetSortedSelection(false).size(), 3u);

    t.find(QStringLiteral("A2"))->CheckState = csCheckedNormal;
    t.find(QStringLiteral("B"))->CheckState = csCheckedPressed;
    EXPECT_EQ(t.nameOf(tree->GetFirstChecked()), QStringLiteral("A2"));
    EXPECT_EQ(tree->GetNextChecked(t.find(QStringLiteral("A2"))), nullptr);
    EXPECT_EQ(t.nameOf(tree->GetFirstChecked(csCheckedPressed)), QStringLiteral("B"));
    EXPECT_EQ(tree->CheckedCount(), 1u);

    // Nodes marked for cut or copy count only while a cut or copy is pending.
    t.find(QStringLiteral("A"))->States += vsCutOrCopy;
    EXPECT_EQ(tree->GetFirstCutCopy(), nullptr);
}

TEST(Navigation, IterateSubtree)
{
    NamedTree t;
    buildAB(t);
    t.add(QStringLiteral("A1/x"));
    TBaseLazyTree* tree = t.tree;
    QStringList seen;
    PLazyNode aborted = tree->IterateSubtree(
        t.find(QStringLiteral("A")),
        [&](TBaseLazyTree*, PLazyNode n, void*, bool& abort) {
            seen << t.nameOf(n);
            abort = false;
        },
        nullptr, {}, false, true);
    EXPECT_EQ(seen.join(QLatin1Char(',')), QStringLiteral("A1,x,A2")) << "children only, stops before B";
    EXPECT_EQ(aborted, nullptr);

    seen.clear();
    aborted = tree->IterateSubtree(
        nullptr,
        [&](TBaseLazyTree*, PLazyNode n, void*, bool& abort) {
            seen << t.nameOf(n);
            abort = t.nameOf(n) == QLatin1String("x");
        },
        nullptr, {}, false, false);
    EXPECT_EQ(t.nameOf(aborted), QStringLiteral("x"));
    EXPECT_EQ(seen.join(QLatin1Char(',')), QStringLiteral("A,A1,x"));

    // Deleting inside the walk breaks the contract.
    try {
        tree->IterateSubtree(
            t.find(QStringLiteral("A")), [&](TBaseLazyTree* s, PLazyNode n, void*, bool&) { s->DeleteNode(n); }, nullptr, {},
            false, true);
        FAIL() << "no assertion";
    } catch (const ELazyTreeAssertion& e) {
        EXPECT_EQ(e.message(), QStringLiteral("Deleting nodes during tree iteration leads to invalid pointers."));
    }
    EXPECT_FALSE(tree->TreeStates().contains(tsIterating));
    EXPECT_EQ(checkInvariants(*tree), QString());
}

TEST(Navigation, EnumerationsAndTheirEnd)
{
    NamedTree t;
    buildAB(t);
    QStringList all;
    for (PLazyNode n : t->Nodes())
        all << t.nameOf(n);
    EXPECT_EQ(all.join(QLatin1Char(',')), QStringLiteral("A,A1,A2,B"));
    QStringList children;
    for (PLazyNode n : t->ChildNodes(t.find(QStringLiteral("A"))))
        children << t.nameOf(n);
    EXPECT_EQ(children.join(QLatin1Char(',')), QStringLiteral("A1,A2"));

    TLTLazyNodeEnumeration level = t->LevelNodes(1);
    TLTLazyNodeEnumerator e = level.GetEnumerator();
    EXPECT_TRUE(e.MoveNext());
    EXPECT_TRUE(e.MoveNext());
    EXPECT_FALSE(e.MoveNext());
    EXPECT_FALSE(e.MoveNext()) << "an enumerator that ended stays ended";
    EXPECT_EQ(e.Current(), nullptr);
}

TEST(Navigation, AssertionsOfTheContracts)
{
    NamedTree t;
    buildAB(t);
    auto message = [](const std::function<void()>& f) {
        try {
            f();
        } catch (const ELazyTreeAssertion& e) {
            return e.message();
        }
        return QString();
    };
    EXPECT_EQ(message([&] { t->GetNext(t->RootNode()); }), QStringLiteral("Node must not be the hidden root node."));
    EXPECT_EQ(message([&] { t->GetVisibleParent(nullptr); }), QStringLiteral("Node must not be nil."));
    EXPECT_EQ(message([&] { t->GetNextVisibleSibling(nullptr); }), QStringLiteral("Invalid parameter."));
    EXPECT_EQ(message([&] { t->SetVisible(t->RootNode(), false); }), QStringLiteral("Invalid parameter."));
    EXPECT_EQ(message([&] { t->VisiblePath(t->RootNode()); }), QStringLiteral("Invalid parameters."));
    EXPECT_EQ(message([&] { t->ToggleNode(nullptr); }), QStringLiteral("Node must not be nil."));
    EXPECT_EQ(message([&] { t->EndOperation(okExpand); }),
              QStringLiteral("EndOperation must not be called when no operation in progress."));
}

TEST(Navigation, PositionsComeFromTheTotals)
{
    NamedTree t;
    buildAB(t);
    t->SetExpanded(t.find(QStringLiteral("A")), true);
    t->SetNodeHeight(t.find(QStringLiteral("A1")), 30);
    // Rows: A 0-18, A1 18-48, A2 48-66, B 66-84.
    struct Row {
        int y;
        const char* node;
        int top;
    };
    for (const Row& r : {Row{-5, "A", 0}, Row{0, "A", 0}, Row{17, "A", 0}, Row{18, "A1", 18}, Row{47, "A1", 18},
                         Row{48, "A2", 48}, Row{83, "B", 66}, Row{84, "-", -1}}) {
        int top = -1;
        PLazyNode n = t->GetNodeAt(0, r.y, false, top);
        EXPECT_EQ(t.nameOf(n), QString::fromLatin1(r.node)) << "y " << r.y;
        if (n) {
            EXPECT_EQ(top, r.top) << "y " << r.y;
        }
    }
    for (const char* name : {"A", "A1", "A2", "B"}) {
        PLazyNode n = t.find(QString::fromLatin1(name));
        int top = -1;
        EXPECT_EQ(t->GetNodeAt(0, t->GetNodeTop(n), false, top), n) << name;
    }
    // Children above: A1, A2, then A.
    t->TreeOptions().SetPaintOptions(t->TreeOptions().PaintOptions() + toChildrenAbove);
    EXPECT_EQ(t->GetNodeTop(t.find(QStringLiteral("A1"))), 0);
    EXPECT_EQ(t->GetNodeTop(t.find(QStringLiteral("A"))), 48);
    int top = -1;
    EXPECT_EQ(t.nameOf(t->GetNodeAt(0, 50, false, top)), QStringLiteral("A"));
}
