// The node model without a window: structure operations in sequences with the invariants
// checked after every step, free and structure-change events, update brackets and
// notifications, initialisation on demand.
#include "TreeTestSupport.h"
#include "support/FakeProcess.h"

#include "platform/ui/Timer.h"

#include <QTest>
#include <functional>
#include <gtest/gtest.h>
#include <new>

using namespace controls;
using namespace treetest;

namespace {

using Step = std::function<void(NamedTree&)>;
struct Sequence {
    const char* name;
    std::vector<Step> steps;
    const char* namesAfter; // document order at the end
};

// A(A1, A2), B, with A expanded.
void buildAB(NamedTree& t)
{
    t.add(QStringLiteral("A"));
    t.add(QStringLiteral("A/A1"));
    t.add(QStringLiteral("A/A2"));
    t.add(QStringLiteral("B"));
    t->SetExpanded(t.find(QStringLiteral("A")), true);
}

PLazyNode N(NamedTree& t, const char* name) { return t.find(QString::fromLatin1(name)); }

} // namespace

TEST(NodeModel, NewTreeIsEmpty)
{
    NamedTree t;
    EXPECT_EQ(t->RootNode()->ChildCount, 0u);
    EXPECT_EQ(t->RootNode()->TotalCount, 1u);
    EXPECT_EQ(t->RootNode()->TotalHeight, 18u);
    EXPECT_EQ(t->TotalCount(), 0u);
    EXPECT_EQ(t->VisibleCount(), 0u);
    EXPECT_EQ(checkInvariants(*t), QString());

    auto* plain = TBaseLazyTree::create<TBaseLazyTree>();
    EXPECT_EQ(plain->NodeDataSize(), -1);
    int asked = 0;
    plain->OnGetNodeDataSize = [&](TBaseLazyTree*, int& size) {
        ++asked;
        EXPECT_EQ(size, kUserDataSlotSize);
    };
    int payload = 7;
    PLazyNode n = plain->AddChild(nullptr, &payload);
    EXPECT_EQ(asked, 1);
    EXPECT_EQ(plain->NodeDataSize(), kUserDataSlotSize);
    EXPECT_EQ(*static_cast<void**>(plain->GetNodeData(n)), &payload) << "the pointer is in the first slot";
    delete plain;
}

TEST(NodeModel, NodeDataOfSizeZeroFailsTheAssertion)
{
    auto* tree = TBaseLazyTree::create<TBaseLazyTree>();
    tree->SetNodeDataSize(0);
    PLazyNode n = tree->AddChild(nullptr);
    try {
        tree->GetNodeData(n);
        FAIL() << "no assertion";
    } catch (const ELazyTreeAssertion& e) {
        EXPECT_EQ(e.message(), QStringLiteral("NodeDataSize not initialized."));
        EXPECT_EQ(e.Source(), QStringLiteral("LazyTrees"));
    }
    try {
        int x = 0;
        tree->SetNodeData(n, &x);
        FAIL() << "no assertion";
    } catch (const ELazyTreeAssertion& e) {
        EXPECT_EQ(e.message(), QStringLiteral("TBaseLazyTree: Cannot set initial user data because there is not enough "
                                              "user data space allocated."));
    }
    delete tree;
}

TEST(NodeModel, UserDataIsAlignedForAnyType)
{
    EXPECT_EQ(kNodeDataOffset % alignof(std::max_align_t), 0u);
    NamedTree t;
    PLazyNode n = t.add(QStringLiteral("X"));
    EXPECT_EQ(reinterpret_cast<uintptr_t>(t->GetNodeData(n)) % alignof(std::max_align_t), 0u);
}

// Every sequence starts from an empty tree whose nodes carry a QString; the invariants are
// checked after each step.
TEST(NodeModel, OperationSequencesKeepTheInvariants)
{
    const std::vector<Sequence> sequences = {
        {"attach modes",
         {[](NamedTree& t) { t.add(QStringLiteral("A")); },
          [](NamedTree& t) { t.add(QStringLiteral("B")); },
          [](NamedTree& t) { t.name(t->InsertNode(N(t, "B"), amInsertBefore), QStringLiteral("X")); },
          [](NamedTree& t) { t.name(t->InsertNode(N(t, "A"), amInsertAfter), QStringLiteral("Y")); },
          [](NamedTree& t) { t.name(t->InsertNode(N(t, "A"), amAddChildFirst), QStringLiteral("F")); },
          [](NamedTree& t) { t.name(t->InsertNode(N(t, "A"), amAddChildLast), QStringLiteral("L")); },
          [](NamedTree& t) { t.name(t->InsertNode(nullptr, amInsertBefore), QStringLiteral("first")); },
          [](NamedTree& t) { t.name(t->InsertNode(nullptr, amInsertAfter), QStringLiteral("last")); },
          [](NamedTree& t) { EXPECT_EQ(t->InsertNode(N(t, "A"), amNoWhere), nullptr); }},
         "first,A,F,L,Y,X,B,last"},
        {"deletes",
         {buildAB, [](NamedTree& t) { t.add(QStringLiteral("B/B1")); },
          [](NamedTree& t) { t->DeleteNode(N(t, "A1")); }, [](NamedTree& t) { t->DeleteNode(N(t, "A")); },
          [](NamedTree& t) { t->DeleteChildren(N(t, "B"), true); }, [](NamedTree& t) { t->DeleteNode(t->RootNode()); },
          [](NamedTree& t) { t->DeleteNode(nullptr); }},
         "B"},
        {"child counts",
         {buildAB, [](NamedTree& t) { t->SetChildCount(N(t, "A"), 5); }, [](NamedTree& t) { t->SetChildCount(N(t, "A"), 2); },
          [](NamedTree& t) { t->SetChildCount(N(t, "B"), 3); }, [](NamedTree& t) { t->SetExpanded(N(t, "B"), true); },
          [](NamedTree& t) { t->SetChildCount(N(t, "B"), 0); }, [](NamedTree& t) { t->SetRootNodeCount(4); }},
         "A,A1,A2,B,,"},
        {"visible",
         {buildAB, [](NamedTree& t) { t->SetVisible(N(t, "A1"), false); }, [](NamedTree& t) { t->SetVisible(N(t, "A"), false); },
          [](NamedTree& t) { t->SetExpanded(N(t, "A"), false); }, [](NamedTree& t) { t->SetVisible(N(t, "A"), true); },
          [](NamedTree& t) { t->SetExpanded(N(t, "A"), true); }, [](NamedTree& t) { t->SetVisible(N(t, "A1"), true); },
          [](NamedTree& t) { t.add(QStringLiteral("A/A3")); }, [](NamedTree& t) { t->SetVisible(N(t, "A3"), false); },
          [](NamedTree& t) { t->DeleteNode(N(t, "A3")); }},
         "A,A1,A2,B"},
        {"filtered",
         {buildAB, [](NamedTree& t) { t->SetFiltered(N(t, "A"), true); }, [](NamedTree& t) { t->SetFiltered(N(t, "A2"), true); },
          [](NamedTree& t) { t->TreeOptions().SetPaintOptions(t->TreeOptions().PaintOptions() + toShowFilteredNodes); },
          [](NamedTree& t) { t->SetExpanded(N(t, "A"), false); }, [](NamedTree& t) { t->SetExpanded(N(t, "A"), true); },
          [](NamedTree& t) { t->TreeOptions().SetPaintOptions(t->TreeOptions().PaintOptions() - toShowFilteredNodes); },
          [](NamedTree& t) { t->SetFiltered(N(t, "A"), false); }, [](NamedTree& t) { t->SetFiltered(N(t, "B"), true); },
          [](NamedTree& t) { t->DeleteChildren(N(t, "A")); }, [](NamedTree& t) { t->SetFiltered(N(t, "A"), true); },
          [](NamedTree& t) { t->DeleteNode(N(t, "B")); }},
         "A"},
        {"heights",
         {buildAB, [](NamedTree& t) { t->SetNodeHeight(N(t, "A1"), 30); }, [](NamedTree& t) { t->SetNodeHeight(N(t, "A"), 5); },
          [](NamedTree& t) { t->SetExpanded(N(t, "A"), false); }, [](NamedTree& t) { t->SetNodeHeight(N(t, "A2"), 40); },
          [](NamedTree& t) { t->SetExpanded(N(t, "A"), true); }, [](NamedTree& t) { t->SetDefaultNodeHeight(25); },
          [](NamedTree& t) { t.add(QStringLiteral("C")); }, [](NamedTree& t) { t->SetBottomSpace(50); }},
         "A,A1,A2,B,C"},
        {"toggles",
         {buildAB, [](NamedTree& t) { t.add(QStringLiteral("A1/x")); }, [](NamedTree& t) { t.add(QStringLiteral("x/y")); },
          [](NamedTree& t) { t->SetExpanded(N(t, "x"), true); }, [](NamedTree& t) { t->SetExpanded(N(t, "A1"), true); },
          [](NamedTree& t) { t->SetExpanded(N(t, "A"), false); }, [](NamedTree& t) { t.add(QStringLiteral("y/z")); },
          [](NamedTree& t) { t->FullExpand(); }, [](NamedTree& t) { t->FullCollapse(N(t, "A")); },
          [](NamedTree& t) { t->FullCollapse(); }, [](NamedTree& t) { t->ToggleNode(N(t, "B")); }},
         "A,A1,x,y,z,A2,B"},
        {"selection and deletes",
         {buildAB, [](NamedTree& t) { t->TreeOptions().SetSelectionOptions({toMultiSelect}); },
          [](NamedTree& t) { t->SetSelected(N(t, "A1"), true); }, [](NamedTree& t) { t->SetSelected(N(t, "A2"), true); },
          [](NamedTree& t) { t->SetSelected(N(t, "B"), true); }, [](NamedTree& t) { t->DeleteNode(N(t, "A")); },
          [](NamedTree& t) { t.add(QStringLiteral("C")); }, [](NamedTree& t) { t->SetSelected(N(t, "C"), true); },
          [](NamedTree& t) { t->DeleteSelectedNodes(); }},
         ""},
        {"clear and data size",
         {buildAB, [](NamedTree& t) { t->Clear(); }, [](NamedTree& t) { t.add(QStringLiteral("A")); },
          [](NamedTree& t) { t.add(QStringLiteral("B")); },
          [](NamedTree& t) { t->SetNodeDataSize(int(sizeof(QString)) + 8); }},
         ","},
        {"update bracket",
         {[](NamedTree& t) {
              t->BeginUpdate();
              buildAB(t);
              t->SetSelected(N(t, "A1"), true);
              t->DeleteNode(N(t, "A1"));
              t->SetVisible(N(t, "A2"), false);
              t->EndUpdate();
          }},
         "A,A2,B"},
    };
    for (const Sequence& s : sequences) {
        SCOPED_TRACE(s.name);
        NamedTree t;
        int step = 0;
        for (const Step& f : s.steps) {
            f(t);
            ++step;
            EXPECT_EQ(checkInvariants(*t), QString()) << "after step " << step;
        }
        EXPECT_EQ(t.names(), QString::fromLatin1(s.namesAfter));
    }
}

TEST(NodeModel, FreeNodeOrderIsDepthFirstFromTheLastChild)
{
    NamedTree t;
    t.add(QStringLiteral("X"));
    t.add(QStringLiteral("X/A"));
    t.add(QStringLiteral("A/A1"));
    t.add(QStringLiteral("A/A2"));
    t.add(QStringLiteral("X/B"));
    t.add(QStringLiteral("Y"));
    t->DeleteNode(t.find(QStringLiteral("X")));
    EXPECT_EQ(t.freed.join(QLatin1Char(',')), QStringLiteral("B,A2,A1,A,X"));
    EXPECT_EQ(checkInvariants(*t), QString());

    // Nodes that were never initialised and never had their data touched get no OnFreeNode.
    t->SetChildCount(t.find(QStringLiteral("Y")), 3);
    t.freed.clear();
    t->DeleteNode(t.find(QStringLiteral("Y")));
    EXPECT_EQ(t.freed.join(QLatin1Char(',')), QStringLiteral("Y"));
}

TEST(NodeModel, ResetNodeFiresResetBeforeTheChildrensFreeEvents)
{
    NamedTree t;
    buildAB(t);
    t->OnResetNode = [&](TBaseLazyTree*, PLazyNode n) { t.freed << QStringLiteral("reset ") + t.nameOf(n); };
    t->ResetNode(t.find(QStringLiteral("A")));
    EXPECT_EQ(t.freed.join(QLatin1Char(',')), QStringLiteral("reset A,A2,A1"));
    EXPECT_FALSE(t.find(QStringLiteral("A"))->States.contains(vsInitialized));
    EXPECT_EQ(checkInvariants(*t), QString());
}

TEST(NodeModel, StructureChangesAndTheirReasons)
{
    NamedTree t;
    QStringList changes;
    t->OnStructureChange = [&](TBaseLazyTree*, PLazyNode n, TChangeReason r) {
        changes << QStringLiteral("%1:%2").arg(n == t->RootNode() ? QStringLiteral("root") : t.nameOf(n)).arg(int(r));
    };
    // Ten additions in one bracket report once.
    t->BeginUpdate();
    for (int i = 0; i < 10; ++i)
        t.add(QString::number(i));
    t->EndUpdate();
    EXPECT_EQ(changes, QStringList{QStringLiteral("-:%1").arg(int(crChildAdded))});

    // Mixed reasons accumulate.
    changes.clear();
    t->BeginUpdate();
    t.add(QStringLiteral("new"));
    t->DeleteNode(t.find(QStringLiteral("0")));
    t->EndUpdate();
    EXPECT_EQ(changes, QStringList{QStringLiteral("-:%1").arg(int(crAccumulated))});

    // SetChildCount: shrinking from 5 to 2 reports three deletions and one addition; 0 only
    // the deletion of the children.
    t.add(QStringLiteral("P"));
    PLazyNode p = t.find(QStringLiteral("P"));
    t->SetChildCount(p, 5);
    changes.clear();
    t->SetChildCount(p, 2);
    EXPECT_EQ(changes.count(QStringLiteral("P:%1").arg(int(crChildDeleted))), 3);
    EXPECT_EQ(changes.count(QStringLiteral("P:%1").arg(int(crChildAdded))), 1);
    changes.clear();
    t->SetChildCount(p, 0);
    EXPECT_EQ(changes, QStringList{QStringLiteral("P:%1").arg(int(crChildDeleted))});

    // Clear reports the root once, after every OnFreeNode.
    changes.clear();
    t.freed.clear();
    t->OnStructureChange = [&](TBaseLazyTree*, PLazyNode n, TChangeReason r) {
        changes << QStringLiteral("%1:%2 after %3 frees").arg(n == t->RootNode() ? QStringLiteral("root") : t.nameOf(n)).arg(int(r)).arg(t.freed.size());
    };
    const int nodes = int(t->RootNode()->TotalCount - 1);
    t->Clear();
    EXPECT_EQ(changes, QStringList{QStringLiteral("root:%1 after %2 frees").arg(int(crChildDeleted)).arg(nodes)});
    EXPECT_EQ(t->OffsetX(), 0);
    EXPECT_EQ(t->OffsetY(), 0);
}

TEST(NodeModel, NestedBracketsReportTheirUpdatingStates)
{
    NamedTree t;
    QList<int> states;
    t->OnUpdating = [&](TBaseLazyTree*, TLTUpdateState s) { states << int(s); };
    t->BeginUpdate();
    t->BeginUpdate();
    t->EndUpdate();
    t->EndUpdate();
    EXPECT_EQ(states, (QList<int>{usBegin, usUpdate, usUpdate, usEnd}));
    EXPECT_FALSE(t->TreeStates().contains(tsUpdating));
    // EndUpdate without BeginUpdate does not go negative.
    t->EndUpdate();
    EXPECT_EQ(t->UpdateCount(), 0u);
}

TEST(NodeModel, StructureChangeIsDeliveredBeforeTheChange)
{
    NamedTree t;
    t->TreeOptions().SetSelectionOptions({toMultiSelect});
    QStringList order;
    t->OnStructureChange = [&](TBaseLazyTree*, PLazyNode, TChangeReason) { order << QStringLiteral("structure"); };
    t->OnChange = [&](TBaseLazyTree*, PLazyNode) { order << QStringLiteral("change"); };
    t->BeginUpdate();
    PLazyNode a = t.add(QStringLiteral("A"));
    t->SetSelected(a, true);
    t->EndUpdate();
    EXPECT_EQ(order, (QStringList{QStringLiteral("structure"), QStringLiteral("change")}));
}

TEST(NodeModel, StateChangeFiresOnlyForRealChanges)
{
    NamedTree t;
    int fired = 0;
    int updating = 0;
    t->OnStateChange = [&](TBaseLazyTree*, TLazyTreeStates enter, TLazyTreeStates leave) {
        ++fired;
        if (enter.contains(tsUpdating) || leave.contains(tsUpdating))
            ++updating;
    };
    t->BeginUpdate(); // enters tsUpdating
    EXPECT_EQ(fired, 1);
    t->BeginUpdate(); // already updating: no event
    EXPECT_EQ(fired, 1);
    t->EndUpdate();
    t->EndUpdate();
    EXPECT_EQ(updating, 2);
}

TEST(NodeModel, ChangeDelayDeliversOneChangeForTheLastNode)
{
    testing_support::FakeClock clock;
    platform::ManualTimers manual;
    NamedTree t;
    t->TreeOptions().SetSelectionOptions({toMultiSelect});
    for (int i = 0; i < 5; ++i)
        t.add(QString::number(i));
    t->HandleNeeded(); // delays need the window's timers
    t->SetChangeDelay(300);
    QStringList changes;
    t->OnChange = [&](TBaseLazyTree*, PLazyNode n) { changes << t.nameOf(n); };
    for (int i = 0; i < 5; ++i) {
        t->SetSelected(t.find(QString::number(i)), true);
        clock.advance(50);
        platform::fireDueTimers();
    }
    EXPECT_TRUE(changes.isEmpty());
    clock.advance(249);
    platform::fireDueTimers();
    EXPECT_TRUE(changes.isEmpty()) << "the delay counts from the last change";
    clock.advance(1);
    platform::fireDueTimers();
    EXPECT_EQ(changes, QStringList{QStringLiteral("4")});

    // Inside BeginSynch/EndSynch every change is delivered at once.
    changes.clear();
    t->ClearSelection();
    t->BeginSynch(); // delivers the pending change of the clearing at once
    changes.clear();
    for (int i = 0; i < 5; ++i)
        t->SetSelected(t.find(QString::number(i)), true);
    t->EndSynch();
    EXPECT_EQ(changes.size(), 5);
}

TEST(NodeModel, DeletingTheLastChildCollapsesTheParent)
{
    NamedTree t;
    buildAB(t);
    PLazyNode a = t.find(QStringLiteral("A"));
    EXPECT_EQ(t->VisibleCount(), 4u);
    t->DeleteNode(t.find(QStringLiteral("A1")));
    EXPECT_EQ(t->VisibleCount(), 3u);
    t->DeleteNode(t.find(QStringLiteral("A2")));
    EXPECT_EQ(t->VisibleCount(), 2u);
    EXPECT_FALSE(a->States.contains(vsExpanded));
    EXPECT_FALSE(a->States.contains(vsHasChildren));
    EXPECT_EQ(checkInvariants(*t), QString());
}

TEST(NodeModel, AddingUnderACollapsedBranchLeavesVisibleCount)
{
    NamedTree t;
    buildAB(t);
    t.add(QStringLiteral("A1/x"));
    t->SetExpanded(t.find(QStringLiteral("A1")), true);
    t->SetExpanded(t.find(QStringLiteral("A")), false);
    const uint32_t before = t->VisibleCount();
    t.add(QStringLiteral("A1/y"));
    EXPECT_EQ(t->VisibleCount(), before);
    EXPECT_EQ(checkInvariants(*t), QString());
}

TEST(NodeModel, HasChildrenWriter)
{
    NamedTree t;
    buildAB(t);
    t->SetHasChildren(t.find(QStringLiteral("A")), false);
    EXPECT_EQ(t.names(), QStringLiteral("A,B"));
    PLazyNode b = t.find(QStringLiteral("B"));
    t->SetHasChildren(b, true);
    EXPECT_TRUE(b->States.contains(vsHasChildren));
    EXPECT_EQ(b->ChildCount, 0u);
    EXPECT_FALSE(t->ChildrenInitialized(b));
    t->DeleteChildren(nullptr, true); // nothing
    EXPECT_EQ(t.names(), QStringLiteral("A,B"));
}

TEST(NodeModel, FilteringAnExpandedNodeRemovesOnlyItsOwnRow)
{
    NamedTree t;
    buildAB(t);
    PLazyNode a = t.find(QStringLiteral("A"));
    const uint32_t before = t->RootNode()->TotalHeight;
    t->SetFiltered(a, true);
    EXPECT_EQ(t->RootNode()->TotalHeight, before - 18);
    EXPECT_EQ(a->TotalHeight, 36u) << "the children keep their place";
    EXPECT_EQ(checkInvariants(*t), QString());
}

TEST(NodeModel, DataSizeChangeFreesAndRemakesTheRootNodes)
{
    NamedTree t;
    t.add(QStringLiteral("A"));
    t.add(QStringLiteral("B"));
    t.add(QStringLiteral("A/A1"));
    t->SetNodeDataSize(64);
    EXPECT_EQ(t.freed.join(QLatin1Char(',')), QStringLiteral("B,A1,A"));
    EXPECT_EQ(t->RootNodeCount(), 2u);
    EXPECT_FALSE(t->RootNode()->FirstChild->States.contains(vsInitialized));
}

namespace {
// Fails the allocation of the n-th node block from now on.
class FailingTree : public TBaseLazyTree {
public:
    int failAt = -1;

protected:
    void* AllocateNodeBlock(size_t size) override
    {
        if (failAt == 0)
            throw std::bad_alloc();
        if (failAt > 0)
            --failAt;
        return TBaseLazyTree::AllocateNodeBlock(size);
    }
};
} // namespace

TEST(NodeModel, AFailedAllocationLeavesTheCountsTrueToTheNodesMade)
{
    auto* tree = TBaseLazyTree::create<FailingTree>();
    PLazyNode a = tree->AddChild(nullptr);
    tree->SetChildCount(a, 2);
    tree->SetExpanded(a, true);
    tree->failAt = 3;
    EXPECT_THROW(tree->SetChildCount(a, 10), std::bad_alloc);
    EXPECT_EQ(a->ChildCount, 5u);
    EXPECT_EQ(checkInvariants(*tree), QString());
    tree->failAt = -1;
    tree->SetChildCount(a, 7);
    EXPECT_EQ(checkInvariants(*tree), QString());

    // A node that had none keeps vsHasChildren only when some child was made.
    PLazyNode b = tree->AddChild(nullptr);
    tree->failAt = 0;
    EXPECT_THROW(tree->SetChildCount(b, 4), std::bad_alloc);
    EXPECT_EQ(b->ChildCount, 0u);
    EXPECT_FALSE(b->States.contains(vsHasChildren));
    EXPECT_EQ(checkInvariants(*tree), QString());
    delete tree;
}

TEST(NodeModel, ReadOnlyRefusesChangesButDestructionFreesEverything)
{
    NamedTree t;
    buildAB(t);
    t->TreeOptions().SetMiscOptions(t->TreeOptions().MiscOptions() + toReadOnly);
    EXPECT_EQ(t->AddChild(nullptr), nullptr);
    t->DeleteNode(t.find(QStringLiteral("A")));
    t->Clear();
    t->SetChildCount(t.find(QStringLiteral("B")), 3);
    EXPECT_EQ(t.names(), QStringLiteral("A,A1,A2,B"));
    delete t.tree;
    EXPECT_EQ(t.freed.join(QLatin1Char(',')), QStringLiteral("B,A2,A1,A"));
    t.tree = TBaseLazyTree::create<TBaseLazyTree>();
}

TEST(NodeModel, InitialisationOnDemand)
{
    auto* tree = TBaseLazyTree::create<TBaseLazyTree>();
    QStringList log;
    tree->OnInitNode = [&](TBaseLazyTree* s, PLazyNode parent, PLazyNode node, TLazyNodeInitStates& states) {
        log << QStringLiteral("init %1/%2").arg(parent ? int(parent->Index) : -1).arg(node->Index);
        if (!parent && node->Index == 0)
            states += ivsHasChildren;
        (void)s;
    };
    tree->OnInitChildren = [&](TBaseLazyTree*, PLazyNode node, uint32_t& count) {
        log << QStringLiteral("children %1").arg(node->Index);
        count = node->Index == 0 ? 3 : 0;
    };
    tree->OnExpanded = [&](TBaseLazyTree*, PLazyNode) { log << QStringLiteral("expanded"); };
    tree->SetRootNodeCount(2);
    EXPECT_TRUE(log.isEmpty()) << "nodes are made uninitialised";
    PLazyNode first = tree->RootNode()->FirstChild;
    // AddChild initialises the parent first.
    log.clear();
    PLazyNode child = tree->AddChild(first->NextSibling);
    EXPECT_EQ(log, QStringList{QStringLiteral("init -1/1")});
    EXPECT_FALSE(child->States.contains(vsInitialized));
    log.clear();
    tree->SetExpanded(first, true);
    EXPECT_EQ(log, (QStringList{QStringLiteral("init -1/0"), QStringLiteral("children 0"), QStringLiteral("expanded")}));
    EXPECT_EQ(first->ChildCount, 3u);

    // A handler answering 0 removes the button and fires no OnExpanded.
    tree->ResetNode(first);
    tree->OnInitNode = [](TBaseLazyTree*, PLazyNode, PLazyNode, TLazyNodeInitStates& states) { states += ivsHasChildren; };
    tree->OnInitChildren = [](TBaseLazyTree*, PLazyNode, uint32_t& count) { count = 0; };
    log.clear();
    tree->SetExpanded(first, true);
    EXPECT_FALSE(first->States.contains(vsHasChildren));
    EXPECT_FALSE(first->States.contains(vsExpanded));
    EXPECT_TRUE(tree->ChildrenInitialized(first));
    EXPECT_TRUE(log.isEmpty());

    // ReinitNode on a node that was never initialised does not initialise it.
    PLazyNode second = tree->AddChild(nullptr);
    int inits = 0;
    tree->OnInitNode = [&](TBaseLazyTree*, PLazyNode, PLazyNode, TLazyNodeInitStates& s) {
        ++inits;
        EXPECT_TRUE(s.contains(ivsReInit) == (inits > 1));
    };
    tree->ReinitNode(second, false);
    EXPECT_EQ(inits, 0);
    tree->IsVisible(second);
    tree->ReinitNode(second, false);
    EXPECT_EQ(inits, 2);
    EXPECT_EQ(checkInvariants(*tree), QString());
    delete tree;
}

TEST(NodeModel, TotalCountInitialisesEveryAnnouncedNode)
{
    auto* tree = TBaseLazyTree::create<TBaseLazyTree>();
    tree->OnInitNode = [](TBaseLazyTree* s, PLazyNode, PLazyNode node, TLazyNodeInitStates& states) {
        if (s->GetNodeLevel(node) < 2)
            states += ivsHasChildren;
    };
    tree->OnInitChildren = [](TBaseLazyTree*, PLazyNode, uint32_t& count) { count = 3; };
    tree->SetRootNodeCount(2);
    EXPECT_EQ(tree->TotalCount(), 2u + 6u + 18u);
    EXPECT_EQ(checkInvariants(*tree), QString());
    delete tree;
}

TEST(NodeModel, AbsoluteIndexAndLevels)
{
    NamedTree t;
    buildAB(t);
    EXPECT_EQ(t->AbsoluteIndex(t.find(QStringLiteral("A"))), 0u);
    EXPECT_EQ(t->AbsoluteIndex(t.find(QStringLiteral("A2"))), 2u);
    EXPECT_EQ(t->AbsoluteIndex(t.find(QStringLiteral("B"))), 3u);
    EXPECT_EQ(t->GetNodeLevel(t.find(QStringLiteral("A2"))), 1u);
    EXPECT_EQ(t->GetNodeLevel(nullptr), 0u);
    EXPECT_TRUE(t->HasAsParent(t.find(QStringLiteral("A2")), t.find(QStringLiteral("A"))));
    EXPECT_TRUE(t->HasAsParent(t.find(QStringLiteral("A2")), t->RootNode()));
    EXPECT_FALSE(t->HasAsParent(t.find(QStringLiteral("B")), t.find(QStringLiteral("A"))));
}

TEST(NodeModel, ReferencesInUserDataAreCountedUpAndReleased)
{
    auto* tree = TBaseLazyTree::create<TBaseLazyTree>();
    CountedReference reference;
    PLazyNode n = tree->AddChild(nullptr, &reference);
    EXPECT_EQ(reference.count, 2);
    EXPECT_TRUE(n->States.contains(vsReleaseCallOnUserDataRequired));
    EXPECT_EQ(*static_cast<ILazyTreeReference**>(tree->GetNodeData(n)), &reference);
    tree->DeleteNode(n);
    EXPECT_EQ(reference.count, 1);
    delete tree;
}

TEST(NodeModel, EmptyingAFilteredNodeLeavesItWithoutARow)
{
    NamedTree t;
    t.add(QStringLiteral("A"));
    t.add(QStringLiteral("A/A1"));
    t.add(QStringLiteral("B"));
    PLazyNode a = t.find(QStringLiteral("A"));
    t->SetExpanded(a, true);
    t->SetFiltered(a, true);
    t->DeleteChildren(a);
    EXPECT_EQ(a->TotalHeight, 0u) << "a filtered node has no row of its own";
    EXPECT_EQ(t->RangeY(), 18u);
    EXPECT_EQ(checkInvariants(*t), QString());
}
