// Outline nodes: adding, contracting and expanding (nested too), the parent row, child rows,
// the glyph hit test and the line types; and random grids whose nodes contract and expand
// back to every row and cell they had.
#include "controls/grid/core/ExtStringGrid.h"

#include <gtest/gtest.h>
#include <functional>
#include <random>

using namespace controls::grid;

namespace {

std::unique_ptr<TExtStringGrid> makeGrid(int cols, int rows, int fixedRows = 1)
{
    auto g = std::make_unique<TExtStringGrid>();
    g->SetColCount(cols);
    g->SetRowCount(rows);
    g->SetFixedRows(fixedRows);
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < cols; ++c)
            g->SetCells(c, r, QStringLiteral("r%1c%2").arg(r).arg(c));
    return g;
}

// Every real row's texts (hidden rows included) and which rows are shown.
struct Snapshot {
    std::vector<QStringList> rows;
    std::vector<bool> hidden;
    bool operator==(const Snapshot&) const = default;
};

Snapshot snapshot(TExtStringGrid& g)
{
    Snapshot s;
    for (int r = 0; r < g.TotalRowCount(); ++r) {
        QStringList texts;
        for (int c = 0; c < g.TotalColCount(); ++c)
            texts << g.AllCells(c, r);
        s.rows.push_back(texts);
        s.hidden.push_back(g.IsHiddenRow(r));
    }
    return s;
}

// The first texts of column 1 of the shown rows.
QStringList shown(TExtStringGrid& g)
{
    QStringList out;
    for (int r = 0; r < g.RowCount(); ++r)
        out << g.Cells(1, r);
    return out;
}

// The node rows the grid really holds, shown and hidden: what NumNodes must say.
int nodeRows(TExtStringGrid& g)
{
    auto isNode = [](const TCellProperties* p) {
        const auto* graphic = p ? dynamic_cast<const TCellGraphic*>(p->GraphicObject) : nullptr;
        return graphic && graphic->CellType == ctNode;
    };
    int n = 0;
    for (int r = 0; r < g.RowCount(); ++r)
        n += isNode(g.GetGridObject(0, r)) ? 1 : 0;
    for (int i = 0; i < g.NumHiddenRows(); ++i)
        if (const platform::GridRow* cells = g.HiddenRowItem(i).Cells)
            n += isNode(static_cast<const TCellProperties*>(cells->object(0))) ? 1 : 0;
    return n;
}

} // namespace

TEST(Nodes, ContractAndExpandOneNode)
{
    auto g = makeGrid(3, 10);
    g->AddNode(1, 4);
    EXPECT_TRUE(g->HasNodes());
    EXPECT_EQ(g->NumNodes(), 1);
    for (int r = 1; r <= 4; ++r)
        EXPECT_EQ(g->GetCellProperties(0, r)->NodeLevel, 1) << r;
    EXPECT_EQ(g->GetNodeLevel(1), 1);
    EXPECT_EQ(g->GetNodeLevel(2), -1);
    EXPECT_EQ(g->GetNodeSpan(1), 4);
    EXPECT_EQ(g->GetNodeSpan(5), -1);
    g->ContractNode(1);
    EXPECT_EQ(g->RowCount(), 7);
    EXPECT_TRUE(g->GetNodeState(1));
    EXPECT_EQ(g->Cells(1, 2), QStringLiteral("r5c1"));
    EXPECT_TRUE(g->IsHiddenRow(2) && g->IsHiddenRow(4) && !g->IsHiddenRow(5));
    // A contract request for a contracted node changes nothing.
    g->ContractNode(1);
    EXPECT_EQ(g->RowCount(), 7);
    g->ExpandNode(1);
    EXPECT_EQ(g->RowCount(), 10);
    EXPECT_FALSE(g->GetNodeState(1));
    EXPECT_EQ(g->Cells(1, 2), QStringLiteral("r2c1"));
    // The state setter contracts and expands too.
    g->SetNodeState(1, true);
    EXPECT_EQ(g->RowCount(), 7);
    g->SetNodeState(1, false);
    EXPECT_EQ(g->RowCount(), 10);
}

TEST(Nodes, SpanZeroReachesTheNextNode)
{
    auto g = makeGrid(3, 10);
    g->AddNode(1, 0);
    g->AddNode(6, 2);
    g->ContractNode(1);
    EXPECT_EQ(g->RowCount(), 6);
    EXPECT_EQ(shown(*g), (QStringList{"r0c1", "r1c1", "r6c1", "r7c1", "r8c1", "r9c1"}));
    g->ExpandNode(1);
    EXPECT_EQ(g->RowCount(), 10);
    g->ContractAll();
    EXPECT_EQ(shown(*g), (QStringList{"r0c1", "r1c1", "r6c1", "r8c1", "r9c1"}));
    EXPECT_TRUE(g->GetNodeState(1));
    EXPECT_TRUE(g->GetNodeState(2));
    g->ExpandAll();
    EXPECT_EQ(g->RowCount(), 10);
    EXPECT_EQ(g->NumHiddenRows(), 0);
}

// The footer row belongs to no node: nodes reaching down to it stop above it.
TEST(Nodes, NodesEndAboveTheFooterRow)
{
    for (const int span : {0, 5, 9}) {
        auto g = makeGrid(3, 6);
        g->AddNode(1, span);
        g->FloatingFooter.SetVisible(true);
        g->ContractNode(1);
        EXPECT_EQ(shown(*g), (QStringList{"r0c1", "r1c1", "r5c1"})) << "span " << span;
        g->ExpandNode(1);
        g->ContractAll();
        EXPECT_EQ(shown(*g), (QStringList{"r0c1", "r1c1", "r5c1"})) << "span " << span;
        g->ExpandAll();
        EXPECT_EQ(g->RowCount(), 6);
    }
}

TEST(Nodes, ANestedContractedNodeComesBackOpenWithAllItsRows)
{
    // A: rows 1 .. 6; B inside it: rows 3 .. 5.
    auto g = makeGrid(3, 10);
    g->AddNode(1, 6);
    g->AddNode(3, 3);
    EXPECT_EQ(g->GetCellProperties(0, 4)->NodeLevel, 2);
    EXPECT_EQ(g->GetNodeLevel(3), 2);
    const Snapshot before = snapshot(*g);
    g->ContractNode(3);
    EXPECT_EQ(g->RowCount(), 8);
    g->ContractNode(1);
    EXPECT_EQ(shown(*g), (QStringList{"r0c1", "r1c1", "r7c1", "r8c1", "r9c1"}));
    EXPECT_FALSE(g->GetNodeState(g->DisplRowIndex(3))); // stored open with its parent's rows
    g->ExpandNode(1);
    EXPECT_EQ(g->RowCount(), 10);
    EXPECT_FALSE(g->GetNodeState(3));
    EXPECT_EQ(snapshot(*g), before);
}

TEST(Nodes, ExpandingKeepsRowsHiddenAnotherWay)
{
    auto g = makeGrid(3, 10);
    g->AddNode(1, 5);
    g->HideRow(3);
    const Snapshot before = snapshot(*g);
    g->ContractNode(1);
    // The node covers real rows 1 .. 5 with row 3 hidden among them: it stops at row 5.
    EXPECT_EQ(g->RowCount(), 6);
    EXPECT_EQ(g->Cells(1, 2), QStringLiteral("r6c1"));
    g->ExpandNode(1);
    EXPECT_EQ(snapshot(*g), before);
    EXPECT_TRUE(g->IsHiddenRow(3));
    g->ContractAll();
    g->ExpandAll();
    EXPECT_EQ(snapshot(*g), before);
}

TEST(Nodes, ContractedRowsAreNoFilterLevel)
{
    // Taking away filter levels shows the rows of the filters, never the rows of contracted
    // nodes: the nodes stay contracted and their rows hidden.
    auto g = makeGrid(3, 12);
    g->AddNode(1, 3);
    g->AddNode(4, 3);
    g->ContractAll();
    EXPECT_EQ(g->FilterLevel(), 0);
    g->HideRowList({g->DisplRowIndex(9)});
    g->UnHideRowList();
    EXPECT_EQ(g->RowCount(), 8);
    EXPECT_TRUE(g->IsHiddenRow(2) && g->IsHiddenRow(6) && !g->IsHiddenRow(9));
    EXPECT_EQ(g->HiddenRowItem(0).Origin, THiddenOrigin::Range);
    g->ExpandAll();
    EXPECT_EQ(g->RowCount(), 12);
}

TEST(Nodes, HiddenRowsFollowInsertedAndRemovedColumns)
{
    auto g = makeGrid(4, 6);
    g->AddNode(1, 3);
    g->ContractNode(1);
    g->RemoveCols(1, 1);
    g->InsertCols(2, 1);
    g->ExpandNode(1);
    EXPECT_EQ(g->AllCells(1, 2), QStringLiteral("r2c2"));
    EXPECT_EQ(g->AllCells(2, 2), QString());
    EXPECT_EQ(g->AllCells(3, 2), QStringLiteral("r2c3"));
    EXPECT_EQ(g->AllCells(1, 5), QStringLiteral("r5c2"));
}

TEST(Nodes, ExpandOneContractsTheOthers)
{
    auto g = makeGrid(3, 12);
    g->AddNode(1, 3);
    g->AddNode(4, 3);
    g->ContractAll();
    g->CellNode.ExpandOne = true;
    g->ExpandNode(1);
    EXPECT_FALSE(g->GetNodeState(1));
    EXPECT_TRUE(g->GetNodeState(g->DisplRowIndex(4)));
    g->ExpandNode(4);
    EXPECT_TRUE(g->GetNodeState(1));
    EXPECT_FALSE(g->GetNodeState(g->DisplRowIndex(4)));
}

TEST(Nodes, ParentRows)
{
    auto g = makeGrid(3, 10);
    EXPECT_EQ(g->GetParentRow(3), -1); // no nodes at all
    g->AddNode(1, 4);
    g->ContractNode(1);
    g->ExpandNode(1);
    EXPECT_EQ(g->GetParentRow(3), 1);
    EXPECT_EQ(g->GetParentRow(1), 1); // a top-level node is its own parent
    EXPECT_EQ(g->GetParentRow(7), -1);
    g->AddNode(2, 2);
    EXPECT_EQ(g->GetParentRow(3), 2);
    EXPECT_EQ(g->GetParentRow(2), 1);
}

TEST(Nodes, ChildRowsGrowAndShrinkTheirNodes)
{
    auto g = makeGrid(3, 10);
    g->AddNode(1, 4);
    g->InsertChildRow(1, 0);
    EXPECT_EQ(g->RowCount(), 11);
    EXPECT_EQ(g->GetNodeSpan(1), 5);
    EXPECT_EQ(g->GetSubNodeCount(1), 1);
    // The node row's texts went into its new first child; the node graphic stayed.
    EXPECT_EQ(g->Cells(1, 1), QString());
    EXPECT_EQ(g->Cells(1, 2), QStringLiteral("r1c1"));
    EXPECT_TRUE(g->IsNode(1));
    EXPECT_EQ(g->GetCellProperties(0, 2)->NodeLevel, 1);
    // Inside a contracted node's neighbours, the hidden rows keep their places.
    g->AddNode(7, 3);
    g->ContractNode(7);
    g->InsertChildRow(3, 1);
    EXPECT_EQ(g->GetNodeSpan(1), 6);
    g->ExpandNode(8);
    EXPECT_EQ(g->Cells(1, 9), QStringLiteral("r7c1"));
    EXPECT_EQ(g->Cells(1, 10), QStringLiteral("r8c1"));
    g->RemoveChildRow(4);
    EXPECT_EQ(g->GetNodeSpan(1), 5);
    EXPECT_EQ(g->GetSubNodeCount(1), 1);
    g->RemoveNode(1);
    EXPECT_FALSE(g->IsNode(1));
    EXPECT_EQ(g->NumNodes(), 1);
    EXPECT_EQ(g->GetCellProperties(0, 2)->NodeLevel, 0);
    g->RemoveAllNodes();
    EXPECT_EQ(g->NumNodes(), 0);
    EXPECT_FALSE(g->HasNodes());
}

TEST(Nodes, OperationsOnOtherRowsChangeNothing)
{
    auto g = makeGrid(3, 6);
    EXPECT_FALSE(g->GetNodeState(2));
    EXPECT_EQ(g->GetSubNodeCount(2), 0);
    g->ContractNode(2);
    g->ExpandNode(2);
    g->RemoveNode(2);
    g->SetNodeSpan(2, 3);
    EXPECT_EQ(g->RowCount(), 6);
    EXPECT_EQ(g->NumNodes(), 0);
}

TEST(Nodes, GlyphHitAndLineTypes)
{
    auto g = makeGrid(3, 8);
    g->AddNode(1, 3);
    g->CellNode.SetNodeType(cnXP);
    g->CellNode.SetNodeIndent(12);
    struct Case {
        int x;
        bool hit;
    };
    // The glyph stands at the cell's left in either reading order: a right-to-left grid finds it
    // where it is drawn.
    for (const Qt::LayoutDirection d : {Qt::LeftToRight, Qt::RightToLeft}) {
        g->setLayoutDirection(d);
        for (const Case& c : {Case{5, true}, Case{4, false}, Case{15, true}, Case{16, false}})
            EXPECT_EQ(g->IsInNodeGlyph(1, c.x), c.hit) << c.x << " direction " << int(d);
    }
    g->setLayoutDirection(Qt::LeftToRight);
    g->MouseActions.PreciseNodeClick = false;
    EXPECT_TRUE(g->IsInNodeGlyph(1, 200));
    EXPECT_EQ(g->GetNodeSpanType(1), 0);
    EXPECT_EQ(g->GetNodeSpanType(2), 2);
    EXPECT_EQ(g->GetNodeSpanType(3), 1);
    EXPECT_EQ(g->GetNodeSpanType(7), 1);
    EXPECT_EQ(g->GetNodeIndent(2), 12);
    EXPECT_EQ(g->GetNodeIndent(5), 0);
}

TEST(Nodes, SummaryRows)
{
    auto g = makeGrid(3, 6);
    EXPECT_FALSE(g->IsSummary(3));
    g->SetSummaryRow(3);
    EXPECT_TRUE(g->IsSummary(3));
    EXPECT_FALSE(g->IsNode(3));
}

// Random grids with rows hidden by range, nested nodes contracted in random orders: expanding
// every node gives back each row and cell as it was, and so does ContractAll / ExpandAll.
TEST(Nodes, RandomGridsContractAndExpandBackToEveryCell)
{
    std::mt19937 rng(35);
    int contractedRounds = 0;
    for (int round = 0; round < 60; ++round) {
        const int rows = 8 + int(rng() % 30);
        auto g = makeGrid(4, rows);
        // Properly nested nodes, some of them several levels deep.
        struct Node {
            int row, span;
        };
        std::vector<Node> nodes;
        std::function<void(int, int)> add = [&](int from, int to) {
            for (int r = from; r < to;) {
                const int span = 1 + int(rng() % std::min(8, to - r));
                g->AddNode(r, span);
                nodes.push_back({r, span});
                if (span > 2 && rng() % 2)
                    add(r + 1, r + span);
                r += span + int(rng() % 2);
            }
        };
        add(1, rows);
        for (int i = 0; i < 3; ++i) {
            const int r = 1 + int(rng() % (rows - 1));
            if (!g->IsNode(g->DisplRowIndex(r)) && !g->IsHiddenRow(r))
                g->HideRow(r);
        }
        const Snapshot before = snapshot(*g);
        // Contract a random selection, innermost or outermost first.
        std::vector<Node> order = nodes;
        std::shuffle(order.begin(), order.end(), rng);
        for (const Node& n : order)
            if (!g->IsHiddenRow(n.row) && rng() % 2)
                g->ContractNode(n.row);
        contractedRounds += g->RowCount() < rows - 3 ? 1 : 0;
        // Expand every node that is shown, until none is contracted.
        for (int pass = 0; pass < int(nodes.size()) + 1; ++pass)
            for (const Node& n : nodes)
                if (!g->IsHiddenRow(n.row))
                    g->ExpandNode(n.row);
        ASSERT_EQ(snapshot(*g), before) << "round " << round;
        g->ContractAll();
        g->ExpandAll();
        ASSERT_EQ(snapshot(*g), before) << "round " << round << " (all)";
    }
    EXPECT_GT(contractedRounds, 30);
}

// Random sequences of node and row operations, valid or not, on random grids: nothing breaks,
// no row is lost or made up, the node count always says how many node rows the grid holds
// (whatever operation took rows out, cleared them or brought them back), and opening
// everything shows every row again.
TEST(Nodes, RandomOperationsKeepEveryRow)
{
    std::mt19937 rng(113);
    for (int round = 0; round < 60; ++round) {
        const int rows = 5 + int(rng() % 20);
        auto g = makeGrid(3, rows);
        int total = rows;
        for (int step = 0; step < 50; ++step) {
            const int r = int(rng() % (g->RowCount() + 2)) - 1;
            const int real = r < 0 ? r : g->RealRowIndex(std::min(r, g->RowCount() - 1));
            const int k = 1 + int(rng() % 4);
            // What the row removals take: never the last row of the grid.
            const int removable = r >= 0 && r < g->RowCount() ? std::min({k, g->RowCount() - r, g->RowCount() - 1}) : 0;
            const int op = int(rng() % 19);
            switch (op) {
            case 0:
            case 1:
                g->AddNode(real, int(rng() % 6));
                break;
            case 2:
                g->ContractNode(real);
                break;
            case 3:
                g->ExpandNode(real);
                break;
            case 4:
                if (r >= 0 && r < g->RowCount()) {
                    g->InsertChildRow(real, int(rng() % 2));
                    ++total;
                }
                break;
            case 5:
                if (r >= 0 && r < g->RowCount() && g->RowCount() > 2) {
                    g->RemoveChildRow(real);
                    --total;
                }
                break;
            case 6:
                g->ContractAll();
                break;
            case 7:
                g->ExpandAll();
                break;
            case 8:
                if (r > 0 && r < g->RowCount() - 1)
                    g->HideRow(real);
                break;
            case 9:
                g->RemoveNode(real);
                break;
            case 10:
                g->RemoveRows(r, k);
                total -= removable;
                break;
            case 11:
                g->RemoveRowsEx(r, k);
                total -= removable;
                break;
            case 12:
                g->FreeAndDeleteRows(r, k);
                total -= removable;
                break;
            case 13:
                if (r >= 0 && r < g->RowCount()) {
                    const int bottom = std::min(r + k - 1, g->RowCount() - 1);
                    g->SetSelection(TGridRect{1, r, 2, bottom});
                    const TGridRect s = g->Selection(); // the grid may keep it off fixed rows
                    const int taken = std::min(std::abs(s.Bottom - s.Top) + 1, g->RowCount() - 1);
                    g->RemoveSelectedRows();
                    total -= taken;
                }
                break;
            case 14:
                if (r >= 0)
                    g->ClearRows(r, k);
                break;
            case 15: {
                // Fewer rows (node rows cut off) or more (rows the grid kept come back).
                const int n = std::max(2, g->RowCount() + int(rng() % 7) - 3);
                total += n - g->RowCount();
                g->SetRowCount(n);
                break;
            }
            case 16:
                if (r >= 0 && r <= g->RowCount()) {
                    g->InsertRows(r, k);
                    total += k;
                }
                break;
            case 17:
                if (r >= 1 && r < g->RowCount())
                    g->MoveRow(r, 1 + int(rng() % (g->RowCount() - 1)));
                break;
            default:
                if (r >= 0 && r < g->RowCount() && g->RowCount() > 1) {
                    g->RemoveNormalRow(r);
                    --total;
                }
                break;
            }
            ASSERT_EQ(g->TotalRowCount(), total) << "round " << round << " step " << step << " op " << op;
            ASSERT_EQ(g->RowCount() + g->NumHiddenRows(), total);
            ASSERT_EQ(g->NumNodes(), nodeRows(*g)) << "round " << round << " step " << step << " op " << op;
            ASSERT_EQ(g->HasNodes(), g->NumNodes() > 0);
        }
        g->ExpandAll();
        g->UnHideRowsAll();
        EXPECT_EQ(g->RowCount(), total);
        g->RemoveAllNodes();
        EXPECT_EQ(g->NumNodes(), 0);
    }
}
