// Automatic sorting (toAutoSort with the header's sort column and direction): after AddChild,
// InsertNode, a growing SetChildCount and an expansion, and at the end of an update bracket;
// never inside a bracket, without the option, with a sort column below -1, or in a tree that
// has no way to compare its nodes.
#include "TreeTestSupport.h"

#include <QStringList>
#include <deque>
#include <functional>
#include <gtest/gtest.h>
#include <stdexcept>

using namespace controls;
using namespace treetest;

namespace {

// A tree whose nodes carry a number as their key in the user data slot. Nodes made without a
// key (SetChildCount, InsertNode without data, OnInitChildren) take the next one of `pending`
// when they are initialised, so a sort that compares them before initialising them sees 0.
struct KeyedTree {
    KeyedTree()
        : tree(TBaseLazyTree::create<TBaseLazyTree>())
    {
        tree->SetNodeDataSize(int(sizeof(void*)));
        tree->OnInitNode = [this](TBaseLazyTree*, PLazyNode, PLazyNode n, TLazyNodeInitStates& states) {
            if (key(n) == 0 && !pending.empty()) {
                slot(n) = pending.front();
                pending.pop_front();
            }
            if (key(n) == withChildren)
                states += ivsHasChildren;
        };
        tree->OnInitChildren = [this](TBaseLazyTree*, PLazyNode, uint32_t& count) { count = childrenOnExpand; };
        compareByKey();
    }
    ~KeyedTree() { delete tree; }
    KeyedTree(const KeyedTree&) = delete;
    KeyedTree& operator=(const KeyedTree&) = delete;

    static intptr_t& slot(PLazyNode n) { return *reinterpret_cast<intptr_t*>(NodeDataAddress(n)); }
    static intptr_t key(PLazyNode n) { return slot(n); }

    void compareByKey()
    {
        tree->OnCompareNodes = [this](TBaseLazyTree*, PLazyNode a, PLazyNode b, TColumnIndex column, int& result) {
            ++comparisons;
            columns << column;
            result = key(a) < key(b) ? -1 : key(a) > key(b) ? 1 : 0;
        };
    }
    PLazyNode add(PLazyNode parent, intptr_t k) { return tree->AddChild(parent, reinterpret_cast<void*>(k)); }
    PLazyNode find(intptr_t k)
    {
        for (PLazyNode n = tree->GetFirstNoInit(); n; n = tree->GetNextNoInit(n))
            if (key(n) == k)
                return n;
        return nullptr;
    }
    // "3,4,5": the keys of Parent's children (nullptr: the top level) in their order.
    QString keys(PLazyNode parent = nullptr)
    {
        QStringList out;
        for (PLazyNode n = (parent ? parent : tree->RootNode())->FirstChild; n; n = n->NextSibling)
            out << QString::number(key(n));
        return out.join(QLatin1Char(','));
    }
    void setAutoSort(bool on)
    {
        const TLTAutoOptions options = tree->TreeOptions().AutoOptions();
        tree->TreeOptions().SetAutoOptions(on ? options + toAutoSort : options - toAutoSort);
    }

    TBaseLazyTree* tree;
    std::deque<intptr_t> pending;
    intptr_t withChildren = -1;
    uint32_t childrenOnExpand = 0;
    int comparisons = 0;
    QList<TColumnIndex> columns;
};

// The starting tree of every case, built without automatic sorting: top level 50,30 and under
// 50 (expanded) the children 5,3; 30 is collapsed with the children 2,1 (added while it was
// collapsed, so nothing has put them in order).
void build(KeyedTree& t)
{
    t.setAutoSort(false);
    PLazyNode p50 = t.add(nullptr, 50);
    PLazyNode p30 = t.add(nullptr, 30);
    t.add(p50, 5);
    t.add(p50, 3);
    t.add(p30, 2);
    t.add(p30, 1);
    t.tree->SetExpanded(p50, true);
}

struct Operation {
    const char* name;
    // Runs the operation on the built tree; returns the node whose children must be in order
    // afterwards and says in `sorted` / `unsorted` how they read either way.
    std::function<PLazyNode(KeyedTree&)> run;
    const char* sorted;
    const char* unsorted;
    // The children the operation makes are initialised by a sort that happened.
    bool initialisesNewNodes = false;
};

const std::vector<Operation>& operations()
{
    static const std::vector<Operation> list = {
        {"AddChild at the top level",
         [](KeyedTree& t) {
             // The new node is the result, wherever the sort put it.
             EXPECT_EQ(KeyedTree::key(t.add(nullptr, 40)), 40);
             return PLazyNode(nullptr);
         },
         "30,40,50", "50,30,40"},
        {"AddChild under a node",
         [](KeyedTree& t) {
             t.add(t.find(50), 4);
             return t.find(50);
         },
         "3,4,5", "5,3,4"},
        {"InsertNode before a sibling",
         [](KeyedTree& t) {
             EXPECT_EQ(KeyedTree::key(t.tree->InsertNode(t.find(50), amInsertBefore, reinterpret_cast<void*>(intptr_t(60)))), 60);
             return PLazyNode(nullptr);
         },
         "30,50,60", "60,50,30"},
        {"InsertNode after a sibling",
         [](KeyedTree& t) {
             t.tree->InsertNode(t.find(5), amInsertAfter, reinterpret_cast<void*>(intptr_t(1)));
             return t.find(50);
         },
         "1,3,5", "5,1,3"},
        {"InsertNode as first child",
         [](KeyedTree& t) {
             t.tree->InsertNode(t.find(50), amAddChildFirst, reinterpret_cast<void*>(intptr_t(9)));
             return t.find(50);
         },
         "3,5,9", "9,5,3"},
        {"InsertNode as last child",
         [](KeyedTree& t) {
             t.tree->InsertNode(t.find(50), amAddChildLast, reinterpret_cast<void*>(intptr_t(4)));
             return t.find(50);
         },
         "3,4,5", "5,3,4"},
        {"SetChildCount growing (keys from OnInitNode)",
         [](KeyedTree& t) {
             t.pending = {4, 1};
             t.tree->SetChildCount(t.find(50), 4);
             return t.find(50);
         },
         "1,3,4,5", "5,3,0,0", true},
        {"expanding a node whose children were left unsorted",
         [](KeyedTree& t) {
             t.tree->SetExpanded(t.find(30), true);
             return t.find(30);
         },
         "1,2", "2,1"},
        {"expanding a node whose children are made on expansion",
         [](KeyedTree& t) {
             PLazyNode p = t.add(nullptr, 70);
             t.withChildren = 70;
             t.childrenOnExpand = 3;
             t.tree->ResetNode(p);
             t.pending = {8, 6, 7};
             t.comparisons = 0;
             t.tree->SetExpanded(p, true);
             return p;
         },
         "6,7,8", "0,0,0", true},
        {"the end of an update bracket",
         [](KeyedTree& t) {
             t.tree->BeginUpdate();
             t.add(nullptr, 10);
             t.add(t.find(50), 4);
             t.tree->EndUpdate();
             return PLazyNode(nullptr);
         },
         "10,30,50", "50,30,10"},
    };
    return list;
}

bool ascending(const QString& keys)
{
    const QStringList list = keys.split(QLatin1Char(','));
    for (qsizetype i = 1; i < list.size(); ++i)
        if (list[i - 1].toLongLong() > list[i].toLongLong())
            return false;
    return true;
}

} // namespace

TEST(AutoSort, EachStepLeavesTheChildrenInOrderOnlyWhenAutoSortingApplies)
{
    enum Condition { Ascending, Descending, ByColumn, InsideBracket, WithoutOption, ColumnBelowNoColumn };
    for (const Condition condition : {Ascending, Descending, ByColumn, InsideBracket, WithoutOption, ColumnBelowNoColumn}) {
        for (const Operation& op : operations()) {
            SCOPED_TRACE(QStringLiteral("%1, condition %2").arg(QLatin1String(op.name)).arg(int(condition)).toStdString());
            KeyedTree t;
            build(t);
            TLTHeader& header = t.tree->Header();
            if (condition == Descending)
                header.SetSortDirection(sdDescending);
            if (condition == ByColumn) {
                header.Columns().Add();
                header.Columns().Add();
                header.SetSortColumn(1);
            }
            if (condition == ColumnBelowNoColumn) {
                // Only a loaded setting can hold the invalid column; the setter clamps.
                t.tree->BeginLoading();
                header.SetSortColumn(InvalidColumn);
                t.tree->Loaded();
                ASSERT_EQ(header.SortColumn(), InvalidColumn);
            }
            t.setAutoSort(condition != WithoutOption);
            if (condition == InsideBracket)
                t.tree->BeginUpdate();
            t.comparisons = 0;
            PLazyNode parent = op.run(t);
            const bool sorts = condition == Ascending || condition == Descending || condition == ByColumn;
            if (!sorts) {
                EXPECT_EQ(t.comparisons, 0);
                // Nodes the operation made are compared only after the sort has initialised
                // them; without a sort they are still as they were made.
                EXPECT_EQ(t.keys(parent), QLatin1String(op.unsorted));
            } else if (condition == Descending) {
                QStringList ascending = QString::fromLatin1(op.sorted).split(QLatin1Char(','));
                std::reverse(ascending.begin(), ascending.end());
                EXPECT_EQ(t.keys(parent), ascending.join(QLatin1Char(',')));
            } else {
                EXPECT_EQ(t.keys(parent), QLatin1String(op.sorted));
            }
            if (sorts) {
                EXPECT_GT(t.comparisons, 0);
                if (op.initialisesNewNodes) {
                    for (PLazyNode n = (parent ? parent : t.tree->RootNode())->FirstChild; n; n = n->NextSibling)
                        EXPECT_TRUE(n->States.contains(vsInitialized));
                }
            }
            if (condition == ByColumn) {
                EXPECT_EQ(t.columns.count(1), t.columns.size()) << "every comparison is by the sort column";
            }
            if (condition == InsideBracket) {
                // The bracket's end sorts every expanded level, initialising each level before
                // comparing it, and leaves the children of collapsed nodes for their expansion.
                t.tree->EndUpdate();
                EXPECT_EQ(t.keys(parent), QLatin1String(op.sorted));
                EXPECT_TRUE(ascending(t.keys())) << t.keys().toStdString();
                if (!t.find(30)->States.contains(vsExpanded)) {
                    EXPECT_EQ(t.keys(t.find(30)), QStringLiteral("2,1"));
                }
            }
            EXPECT_EQ(checkInvariants(*t.tree), QString());
        }
    }
}

TEST(AutoSort, ATreeThatCannotCompareIsLeftLazy)
{
    // Without a comparison every node compares equal: an automatic sort could change no order
    // and would only initialise nodes nobody has asked for yet.
    auto* tree = TBaseLazyTree::create<TBaseLazyTree>();
    ASSERT_TRUE(tree->TreeOptions().AutoOptions().contains(toAutoSort));
    ASSERT_EQ(tree->Header().SortColumn(), NoColumn);
    QStringList log;
    tree->OnInitNode = [&](TBaseLazyTree*, PLazyNode parent, PLazyNode node, TLazyNodeInitStates& states) {
        log << QStringLiteral("init %1/%2").arg(parent ? int(parent->Index) : -1).arg(node->Index);
        if (!parent && node->Index == 0)
            states += ivsHasChildren;
    };
    tree->OnInitChildren = [](TBaseLazyTree*, PLazyNode, uint32_t& count) { count = 3; };
    QList<TLTOperationKind> operations;
    tree->OnStartOperation = [&](TBaseLazyTree*, TLTOperationKind kind) { operations << kind; };
    tree->SetRootNodeCount(3);
    PLazyNode first = tree->RootNode()->FirstChild;
    tree->AddChild(first->NextSibling);
    tree->SetChildCount(first->NextSibling, 4);
    tree->InsertNode(first->NextSibling, amInsertAfter);
    tree->SetExpanded(first, true);
    tree->BeginUpdate();
    tree->AddChild(nullptr);
    tree->EndUpdate();
    // Only the nodes something needed: the parent of AddChild and the expanded node.
    EXPECT_EQ(log, (QStringList{QStringLiteral("init -1/1"), QStringLiteral("init -1/0")}));
    EXPECT_TRUE(operations.isEmpty());
    EXPECT_FALSE(first->FirstChild->States.contains(vsInitialized));

    // With a comparison the same steps sort, and the sorted levels are initialised first.
    tree->OnCompareNodes = [](TBaseLazyTree*, PLazyNode, PLazyNode, TColumnIndex, int& result) { result = 0; };
    log.clear();
    tree->AddChild(nullptr);
    EXPECT_EQ(operations, QList<TLTOperationKind>{okSortNode});
    // The four top-level nodes not initialised before; the expanded node's children are not
    // on the sorted level.
    EXPECT_EQ(log.size(), 4) << log.join(QLatin1Char(' ')).toStdString();
    EXPECT_FALSE(first->FirstChild->States.contains(vsInitialized));
    EXPECT_EQ(checkInvariants(*tree), QString());
    delete tree;
}

TEST(AutoSort, AComparisonThatFailsAtTheEndOfABracketLeavesTheTreeUsable)
{
    KeyedTree t;
    build(t);
    t.setAutoSort(true);
    t.tree->resize(200, 200);
    t.tree->show();
    t.tree->BeginUpdate();
    EXPECT_FALSE(t.tree->viewport()->updatesEnabled());
    t.add(nullptr, 10);
    t.tree->OnCompareNodes = [](TBaseLazyTree*, PLazyNode, PLazyNode, TColumnIndex, int&) {
        throw std::runtime_error("compare");
    };
    EXPECT_THROW(t.tree->EndUpdate(), std::runtime_error);
    EXPECT_EQ(t.tree->UpdateCount(), 0u);
    EXPECT_TRUE(t.tree->viewport()->updatesEnabled()) << "the window draws again";
    EXPECT_FALSE(t.tree->OperationCount());
    // The sibling list the failed sort leaves holds every node, linked both ways.
    EXPECT_EQ(checkInvariants(*t.tree), QString());
    EXPECT_EQ(t.keys(), QStringLiteral("50,30,10"));
    // A comparison failing half-way through a longer list leaves all of it too.
    t.compareByKey();
    for (intptr_t k = 1; k <= 9; ++k)
        t.add(t.find(50), 100 - k);
    int calls = 0;
    t.tree->OnCompareNodes = [&calls](TBaseLazyTree*, PLazyNode a, PLazyNode b, TColumnIndex, int& result) {
        if (++calls == 6)
            throw std::runtime_error("compare");
        result = KeyedTree::key(a) < KeyedTree::key(b) ? -1 : 1;
    };
    EXPECT_THROW(t.tree->Sort(t.find(50), NoColumn, sdAscending, true), std::runtime_error);
    EXPECT_EQ(t.tree->ChildCount(t.find(50)), 11u);
    EXPECT_EQ(checkInvariants(*t.tree), QString());
    // The next bracket sorts as usual.
    t.compareByKey();
    t.tree->BeginUpdate();
    t.tree->EndUpdate();
    EXPECT_EQ(t.keys(), QStringLiteral("10,30,50"));
    EXPECT_TRUE(ascending(t.keys(t.find(50)))) << t.keys(t.find(50)).toStdString();
    EXPECT_EQ(checkInvariants(*t.tree), QString());
}

TEST(AutoSort, SettingTheSortColumnOrDirectionSortsTheTreeWhenAutoSortingOrClickSortingIsOn)
{
    struct Case {
        bool autoSort, clickSort, inBracket, sorts;
    };
    for (const Case& c : {Case{true, false, false, true}, Case{false, true, false, true}, Case{false, false, false, false},
                          Case{true, true, true, false}}) {
        SCOPED_TRACE(testing::Message() << c.autoSort << c.clickSort << c.inBracket);
        KeyedTree t;
        build(t);
        TLTHeader& header = t.tree->Header();
        header.Columns().Add();
        header.Columns().Add();
        t.setAutoSort(c.autoSort);
        if (c.clickSort)
            header.SetOptions(header.Options() + hoHeaderClickAutoSort);
        if (c.inBracket)
            t.tree->BeginUpdate();
        t.comparisons = 0;
        header.SetSortColumn(7); // clamped to the last column
        EXPECT_EQ(header.SortColumn(), 1);
        EXPECT_EQ(t.keys(), c.sorts ? QStringLiteral("30,50") : QStringLiteral("50,30"));
        header.SetSortDirection(sdDescending);
        EXPECT_EQ(t.keys(), QStringLiteral("50,30")); // descending now, or never sorted
        EXPECT_EQ(t.keys(t.find(50)), QStringLiteral("5,3"));
        header.SetSortDirection(sdAscending);
        EXPECT_EQ(t.keys(t.find(50)), c.sorts ? QStringLiteral("3,5") : QStringLiteral("5,3"));
        EXPECT_EQ(t.comparisons > 0, c.sorts);
        if (c.inBracket) {
            t.tree->EndUpdate();
            EXPECT_EQ(t.keys(t.find(50)), QStringLiteral("3,5")) << "the bracket's end sorts with toAutoSort";
        }
        EXPECT_EQ(t.columns.count(1), t.columns.size());
        header.SetSortColumn(-5);
        EXPECT_EQ(header.SortColumn(), NoColumn);
    }
}

TEST(AutoSort, AChildAddedWithAReferenceIsComparedByIt)
{
    // The keys are the addresses of the references: the sort must see the reference stored.
    KeyedTree t;
    t.setAutoSort(true);
    CountedReference references[3];
    for (int i : {2, 0, 1}) {
        PLazyNode n = t.tree->AddChild(nullptr, &references[i]);
        EXPECT_EQ(KeyedTree::key(n), reinterpret_cast<intptr_t>(&references[i]));
    }
    QStringList order;
    for (PLazyNode n = t.tree->RootNode()->FirstChild; n; n = n->NextSibling)
        order << QString::number(reinterpret_cast<CountedReference*>(KeyedTree::key(n)) - references);
    EXPECT_EQ(order.join(QLatin1Char(',')), QStringLiteral("0,1,2"));
    EXPECT_EQ(references[0].count, 2);
    t.tree->Clear();
    EXPECT_EQ(references[0].count, 1);
    EXPECT_EQ(checkInvariants(*t.tree), QString());
}
