// Grouping by a column and back, second-level groups, group results, the column and row
// calculations, the footer row and auto-numbering; random grids that group and ungroup back to
// every cell.
#include "controls/grid/core/ExtStringGrid.h"
#include "controls/grid/core/FloatingFooter.h"
#include "platform/core/Errors.h"

#include <gtest/gtest.h>
#include <algorithm>
#include <random>

using namespace controls::grid;

namespace {

// One fixed row; column 0 is the row-number column; the rows' texts by column.
std::unique_ptr<TExtStringGrid> gridOf(const std::vector<QStringList>& columns, int fixedRows = 1)
{
    auto g = std::make_unique<TExtStringGrid>();
    const int rows = fixedRows + int(columns.front().size());
    g->SetColCount(int(columns.size()) + 1);
    g->SetRowCount(rows);
    g->SetFixedRows(fixedRows);
    for (int c = 0; c < int(columns.size()); ++c) {
        if (fixedRows > 0)
            g->SetCells(c + 1, 0, QStringLiteral("H%1").arg(c + 1));
        for (int r = 0; r < columns[size_t(c)].size(); ++r)
            g->SetCells(c + 1, fixedRows + r, columns[size_t(c)][r]);
    }
    return g;
}

QStringList column(TExtStringGrid& g, int c)
{
    QStringList out;
    for (int r = 0; r < g.RowCount(); ++r)
        out << g.Cells(c, r);
    return out;
}

// Every real row as "text|text|...|hidden?".
std::vector<std::string> allCells(TExtStringGrid& g, bool withHidden = true)
{
    std::vector<std::string> rows;
    for (int r = 0; r < g.TotalRowCount(); ++r) {
        QStringList t;
        for (int c = 0; c < g.TotalColCount(); ++c)
            t << g.AllCells(c, r);
        t << (withHidden && g.IsHiddenRow(r) ? QStringLiteral("hidden") : QString());
        rows.push_back(t.join(QLatin1Char('|')).toStdString());
    }
    return rows;
}

} // namespace

TEST(Grouping, RunsOfEqualTextsBecomeGroups)
{
    struct Case {
        bool summary;
        int rows;
        QStringList col1;
        std::vector<int> headers;
        std::vector<int> spans;
    };
    const Case cases[] = {
        {false, 9, {"H2", "A", "x1", "x2", "B", "x3", "C", "x4", "x5"}, {1, 4, 6}, {3, 2, 3}},
        {true, 12, {"H2", "A", "x1", "x2", "", "B", "x3", "", "C", "x4", "x5", ""}, {1, 5, 8}, {3, 2, 3}},
    };
    for (const Case& k : cases) {
        auto g = gridOf({{"A", "A", "B", "C", "C"}, {"x1", "x2", "x3", "x4", "x5"}});
        g->SetAllColWidths(1, 77);
        g->Grouping.Summary = k.summary;
        g->Group(1);
        EXPECT_EQ(g->GroupColumn(), 1);
        EXPECT_EQ(g->RowCount(), k.rows);
        EXPECT_EQ(g->ColCount(), 2); // the grouped column is gone
        EXPECT_EQ(column(*g, 1), k.col1) << k.summary;
        for (size_t i = 0; i < k.headers.size(); ++i) {
            EXPECT_TRUE(g->IsNode(k.headers[i]));
            EXPECT_EQ(g->GetNodeSpan(k.headers[i]), k.spans[i]);
            if (k.summary) {
                EXPECT_TRUE(g->IsSummary(k.headers[i] + k.spans[i]));
            }
        }
        g->UnGroup();
        EXPECT_EQ(g->GroupColumn(), -1);
        EXPECT_EQ(g->RowCount(), 6);
        EXPECT_EQ(column(*g, 1), (QStringList{"H1", "A", "A", "B", "C", "C"}));
        EXPECT_EQ(column(*g, 2), (QStringList{"H2", "x1", "x2", "x3", "x4", "x5"}));
        EXPECT_EQ(g->AllColWidths(1), 77);
        EXPECT_EQ(g->NumNodes(), 0);
    }
}

TEST(Grouping, TheFirstDataRowStartsAGroupWhateverItsText)
{
    // No text stands in for "before the first row": not even one that looks like a marker.
    for (const QString& first : {QString(), QStringLiteral("\u00FF\u00FE")}) {
        auto g = gridOf({{first, first, QStringLiteral("b")}, {"1", "2", "3"}});
        g->SortSettings.AutoSortForGrouping = false;
        g->Group(1);
        EXPECT_TRUE(g->IsNode(1));
        EXPECT_EQ(g->GetNodeSpan(1), 3);
        EXPECT_EQ(g->Cells(1, 1), first);
        EXPECT_EQ(g->RowCount(), 6);
        g->UnGroup();
        EXPECT_EQ(column(*g, 1), (QStringList{"H1", first, first, "b"}));
    }
}

// By default grouping sorts by the column first, so equal texts apart in the grid form one group;
// ungrouping keeps the sorted order, every row still there once.
TEST(Grouping, EqualTextsApartAreSortedIntoOneGroupFirst)
{
    auto g = gridOf({{"B", "A", "B", "A", "C"}, {"x1", "x2", "x3", "x4", "x5"}});
    ASSERT_TRUE(g->SortSettings.AutoSortForGrouping);
    g->Group(1);
    EXPECT_EQ(g->SortSettings.Column, 1);
    EXPECT_EQ(column(*g, 1), (QStringList{"H2", "A", "x2", "x4", "B", "x1", "x3", "C", "x5"}));
    g->UnGroup();
    EXPECT_EQ(column(*g, 1), (QStringList{"H1", "A", "A", "B", "B", "C"}));
    EXPECT_EQ(column(*g, 2), (QStringList{"H2", "x2", "x4", "x1", "x3", "x5"}));

    std::mt19937 rng(1361);
    for (int round = 0; round < 100; ++round) {
        const int rows = 2 + int(rng() % 30);
        auto r = std::make_unique<TExtStringGrid>();
        r->SetColCount(3);
        r->SetRowCount(rows);
        r->SetFixedRows(1);
        for (int row = 1; row < rows; ++row) {
            r->SetCells(1, row, QString(QChar(u'a' + int(rng() % 4))));
            r->SetCells(2, row, QString::number(row));
        }
        if (rows > 6 && rng() % 2)
            r->HideRow(2);
        auto before = allCells(*r, false);
        r->Group(1);
        // Each value heads exactly one group.
        QStringList heads;
        for (int row = 1; row < r->RowCount(); ++row)
            if (r->IsNode(row))
                heads << r->Cells(1, row);
        QStringList unique = heads;
        unique.removeDuplicates();
        ASSERT_EQ(heads, unique) << "round " << round;
        r->UnGroup();
        auto after = allCells(*r, false);
        std::sort(before.begin(), before.end());
        std::sort(after.begin(), after.end());
        ASSERT_EQ(after, before) << "round " << round;
    }
}

TEST(Grouping, ByALaterColumnAndRefusedColumns)
{
    auto g = gridOf({{"p", "q", "r"}, {"A", "A", "B"}, {"1", "2", "3"}});
    g->Group(2);
    EXPECT_EQ(column(*g, 1), (QStringList{"H1", "A", "p", "q", "B", "r"}));
    EXPECT_EQ(column(*g, 2), (QStringList{"H3", "", "1", "2", "", "3"}));
    g->SetGroupColumn(-1);
    EXPECT_EQ(column(*g, 2), (QStringList{"H2", "A", "A", "B"}));
    // Column 0 (the node buttons), fixed columns and a write of 0 change nothing.
    g->Group(0);
    g->SetGroupColumn(0);
    g->SetFixedCols(2);
    g->Group(1);
    EXPECT_EQ(g->GroupColumn(), -1);
    EXPECT_EQ(g->RowCount(), 4);
}

TEST(Grouping, UngroupLeavesTheApplicationsOwnNodes)
{
    auto g = gridOf({{"A", "A", "B", "B"}, {"1", "2", "3", "4"}});
    g->AddNode(1, 2);
    g->Group(1);
    g->UnGroup();
    EXPECT_EQ(column(*g, 2), (QStringList{"H2", "1", "2", "3", "4"}));
    EXPECT_TRUE(g->IsNode(1));
    EXPECT_EQ(g->GetNodeSpan(1), 2);
    EXPECT_EQ(g->NumNodes(), 1);
}

TEST(Grouping, ASecondLevelAmongTheApplicationsOwnNodes)
{
    // The application's node (rows 2 .. 4) reaches across the boundary of groups A and B.
    auto g = gridOf({{"A", "A", "A", "B"}, {"x", "x", "y", "y"}, {"1", "2", "3", "4"}});
    g->AddNode(2, 3);
    const auto before = allCells(*g);
    g->Group(1);
    const auto grouped = allCells(*g);
    g->SubGroup(1);
    // Header A, sub-header x, row 1, the node's row (no sub-group runs across where a node
    // begins or ends), sub-header y, row 3, header B, sub-header y, row 4.
    EXPECT_EQ(column(*g, 1), (QStringList{"H2", "A", "", "", "x", "", "", "B", "", ""}));
    EXPECT_EQ(column(*g, 2), (QStringList{"H3", "", "x", "1", "2", "y", "3", "", "y", "4"}));
    const std::vector<int> spans{6, 2, -1, 4, 2, -1, 3, 2, -1};
    for (int r = 1; r < g->RowCount(); ++r)
        EXPECT_EQ(g->GetNodeSpan(r), spans[size_t(r - 1)]) << "row " << r;
    EXPECT_EQ(g->GetNodeLevel(4), 2);
    EXPECT_EQ(g->GetNodeLevel(5), 3); // inside group A and the application's node
    EXPECT_EQ(g->NumNodes(), 6);
    g->SubUnGroup(1);
    EXPECT_EQ(allCells(*g), grouped);
    g->SubGroup(1);
    // Contracted, the application's node holds sub-group y and header B: ungrouping still
    // takes them down, and the node is contracted again afterwards.
    g->ContractNode(g->RealRowIndex(4));
    g->UnGroup();
    EXPECT_EQ(g->NumNodes(), 1);
    EXPECT_TRUE(g->GetNodeState(2));
    EXPECT_EQ(g->RowCount(), 3);
    g->ExpandNode(2);
    EXPECT_EQ(allCells(*g), before);
}

// Rows hidden while the grid is grouped get their value back with the others.
TEST(Grouping, RowsHiddenWhileGroupedComeBackWithTheirValues)
{
    auto g = gridOf({{"A", "A", "B", "B"}, {"x", "y", "y", "y"}, {"1", "2", "3", "4"}});
    const auto before = allCells(*g, false);
    g->Group(1);
    g->SubGroup(1);
    // Header A, sub x, 1, sub y, 2, header B, sub y, 3, 4: rows 2 and 3 of the data go.
    const int second = g->RealRowIndex(5), third = g->RealRowIndex(8);
    ASSERT_EQ(g->Cells(2, 5), QStringLiteral("2"));
    ASSERT_EQ(g->Cells(2, 8), QStringLiteral("3"));
    g->HideRow(second);
    g->HideRow(third);
    g->UnGroup();
    EXPECT_EQ(allCells(*g, false), before);
    EXPECT_TRUE(g->IsHiddenRow(2));
    EXPECT_TRUE(g->IsHiddenRow(3));
    // Hidden header and summary rows are taken down all the same.
    g->UnHideRowsAll();
    g->Grouping.Summary = true;
    g->Group(1);
    g->SubGroup(1);
    // Header A, sub x, 1, sub y, 2, summary, header B, sub y, 3, 4, summary.
    ASSERT_TRUE(g->IsSummary(6));
    for (const int r : {11, 8, 7, 6, 4, 1})
        g->HideRow(g->RealRowIndex(r));
    g->UnGroup();
    EXPECT_EQ(allCells(*g), before);
    EXPECT_EQ(g->NumNodes(), 0);
}

TEST(Grouping, SubGroupsAndBack)
{
    auto g = gridOf({{"A", "A", "A", "B"}, {"x", "x", "y", "z"}, {"1", "2", "3", "4"}});
    g->Group(1);
    // Header A, x, x, y, 1..3 / header B, z, 4 : now sub-group by the old column 2 (now 1).
    g->SubGroup(1);
    EXPECT_EQ(g->GroupColumn(), 1);
    EXPECT_EQ(column(*g, 2), (QStringList{"H3", "", "x", "1", "2", "y", "3", "", "z", "4"}));
    EXPECT_EQ(g->GetNodeSpan(1), 6);
    EXPECT_EQ(g->GetNodeSpan(2), 3);
    EXPECT_EQ(g->GetNodeLevel(2), 2);
    // The group's count of data rows (span - sub-nodes - 1) stays 3.
    EXPECT_EQ(g->GetSubNodeCount(1), 2);
    EXPECT_EQ(g->GetSubNodeCount(2), 0);
    g->SubUnGroup(1);
    EXPECT_EQ(g->GetSubNodeCount(1), 0);
    EXPECT_EQ(column(*g, 1), (QStringList{"H2", "A", "x", "x", "y", "B", "z"}));
    EXPECT_EQ(g->GetNodeSpan(1), 4);
    g->SubGroup(1);
    g->UnGroup(); // takes the second level down first
    EXPECT_EQ(column(*g, 1), (QStringList{"H1", "A", "A", "A", "B"}));
    EXPECT_EQ(column(*g, 2), (QStringList{"H2", "x", "x", "y", "z"}));
    EXPECT_EQ(column(*g, 3), (QStringList{"H3", "1", "2", "3", "4"}));
    EXPECT_EQ(g->NumNodes(), 0);
}

TEST(Grouping, TheSecondLevelsSummaryRow)
{
    const std::vector<QStringList> data{{"A", "A", "B"}, {"x", "y", "y"}, {"1", "2", "3"}, {"p", "q", "r"}};
    // Groups that end in summary rows: the second level adds none.
    auto g = gridOf(data);
    g->Grouping.Summary = true;
    g->Group(1);
    g->SubGroup(1);
    EXPECT_EQ(column(*g, 2), (QStringList{"H3", "", "x", "1", "y", "2", "", "", "y", "3", ""}));
    EXPECT_TRUE(g->IsSummary(6));
    EXPECT_TRUE(g->IsSummary(10));
    g->UnGroup();
    EXPECT_EQ(column(*g, 2), (QStringList{"H2", "x", "y", "y"}));
    // Groups without them and summary rows wanted now: one summary row follows the last
    // sub-group, outside every group, and goes with the second level.
    auto h = gridOf(data);
    h->Group(1);
    const auto grouped = allCells(*h);
    h->Grouping.Summary = true;
    h->Grouping.SummaryColor = platform::clAqua;
    h->SubGroup(1);
    EXPECT_EQ(column(*h, 2), (QStringList{"H3", "", "x", "1", "y", "2", "", "y", "3", ""}));
    EXPECT_TRUE(h->IsSummary(9));
    EXPECT_EQ(h->Colors(1, 9), platform::clAqua);
    EXPECT_EQ(h->GetNodeSpan(1), 5);
    EXPECT_EQ(h->GetNodeSpan(6), 3);
    h->SubUnGroup(1);
    EXPECT_EQ(allCells(*h), grouped);
    h->Grouping.MergeSummary = true;
    h->SubGroup(1);
    EXPECT_EQ(h->CellSpan(2, 9), QPoint(1, 0)); // merged from the sub-group's text column on
    h->Grouping.Summary = false;
    h->UnGroup();
    EXPECT_EQ(column(*h, 1), (QStringList{"H1", "A", "A", "B"}));
    EXPECT_EQ(column(*h, 2), (QStringList{"H2", "x", "y", "y"}));
    EXPECT_EQ(h->RowCount(), 4);
    EXPECT_FALSE(h->IsMergedCell(2, 3));
}

TEST(Grouping, GroupResults)
{
    auto g = gridOf({{"A", "A", "B", "C", "C"}, {"1", "2", "x", "4", "5"}});
    g->Group(1);
    g->FloatFormat = QStringLiteral("%.1f");
    g->GroupSum(1);
    EXPECT_EQ(column(*g, 1), (QStringList{"H2", "3.0", "1", "2", "0.0", "x", "9.0", "4", "5"}));
    g->ContractNode(g->RealRowIndex(4));
    g->GroupCount(1);
    EXPECT_EQ(g->Cells(1, 1), QStringLiteral("2"));
    EXPECT_EQ(g->Cells(1, 4), QStringLiteral("0.0")); // collapsed: skipped
    EXPECT_EQ(g->Cells(1, 5), QStringLiteral("2"));
    double seen = -1;
    g->OnGroupCalc = [&seen](TExtStringGrid*, int, int from, int to, double& res) {
        seen = from * 100 + to;
        res = 42;
    };
    g->GroupCustomCalc(1);
    EXPECT_EQ(g->Cells(1, 5), QStringLiteral("42.0"));
    EXPECT_EQ(seen, 607);
    // The results stood where the group values are shown; ungrouping still gives the values back.
    g->UnGroup();
    EXPECT_EQ(column(*g, 1), (QStringList{"H1", "A", "A", "B", "C", "C"}));
    // With summary rows the results go below each group.
    auto s = gridOf({{"A", "A"}, {"1", "2"}});
    s->Grouping.Summary = true;
    s->Group(1);
    s->GroupMax(1);
    EXPECT_EQ(s->Cells(1, 4), QStringLiteral("2.00"));
}

TEST(Grouping, GroupResultsWithSummaryRowsWriteOnlyIntoSummaryRows)
{
    // An application's own node has no summary row: the row after it is data and stays as it is.
    auto g = gridOf({{"n", "a", "b", "after"}, {"0", "1", "2", "7"}});
    g->Grouping.Summary = true;
    g->AddNode(1, 3);
    g->GroupSum(2);
    EXPECT_EQ(column(*g, 2), (QStringList{"H2", "0", "1", "2", "7"}));
    EXPECT_EQ(column(*g, 1), (QStringList{"H1", "n", "a", "b", "after"}));
    // Grouped with summary rows, each group's result lands in its own summary row only.
    auto s = gridOf({{"A", "A", "B"}, {"1", "2", "5"}});
    s->Grouping.Summary = true;
    s->Group(1);
    s->GroupSum(1);
    for (int r = s->FixedRows(); r < s->RowCount(); ++r) {
        if (!s->IsSummary(r) && !s->IsNode(r)) {
            EXPECT_FALSE(s->Cells(1, r).contains(QLatin1Char('.'))) << "data row " << r;
        }
    }
    int sums = 0;
    for (int r = s->FixedRows(); r < s->RowCount(); ++r)
        if (s->IsSummary(r))
            ++sums;
    EXPECT_EQ(sums, 2);
}

TEST(Grouping, HeaderAndSummaryLooks)
{
    auto g = gridOf({{"A", "A", "B"}, {"1", "2", "3"}, {"x", "y", "z"}});
    g->Grouping.Summary = true;
    g->Grouping.HeaderColor = platform::clYellow;
    g->Grouping.SummaryColor = platform::clAqua;
    g->Group(1);
    EXPECT_EQ(g->Colors(1, 1), platform::clYellow);
    EXPECT_EQ(g->Colors(2, 1), platform::clYellow);
    EXPECT_EQ(g->Colors(1, 4), platform::clAqua);
    EXPECT_EQ(g->Colors(1, 2), platform::clNone);
    g->UnGroup();
    g->Grouping.MergeHeader = true;
    g->Grouping.MergeSummary = true;
    g->Group(1);
    // Header and summary rows: columns 1 .. last merged into one coloured cell.
    EXPECT_EQ(g->CellSpan(1, 1), QPoint(1, 0));
    EXPECT_EQ(g->Colors(1, 1), platform::clYellow);
    EXPECT_EQ(g->CellSpan(1, 4), QPoint(1, 0));
    EXPECT_EQ(g->Colors(1, 4), platform::clAqua);
    EXPECT_FALSE(g->IsMergedCell(1, 2));
    g->UnGroup();
    EXPECT_EQ(column(*g, 1), (QStringList{"H1", "A", "A", "B"}));
    EXPECT_FALSE(g->IsMergedCell(1, 1));
}

TEST(Grouping, GroupResultsSetTheFooterCalculation)
{
    auto g = gridOf({{"A", "A", "B", "total"}, {"1", "2", "3", ""}});
    g->FloatingFooter.SetVisible(true);
    g->Group(1);
    g->GroupSum(1);
    EXPECT_EQ(g->FloatingFooter.ColumnCalc(1), acSUM);
    // The footer adds the data rows, not the group headers holding the group results.
    EXPECT_EQ(g->Cells(1, g->RowCount() - 1), QStringLiteral("6.00"));
    g->GroupCount(1);
    EXPECT_EQ(g->FloatingFooter.ColumnCalc(1), acCOUNT);
}

// Random grids of texts, numbers and dates with rows hidden by range and contracted nodes:
// grouping by any column and ungrouping gives back every cell, shown and hidden.
TEST(Grouping, RandomGridsGroupAndUngroupBackToEveryCell)
{
    std::mt19937 rng(136);
    const QStringList values{"a", "b", "", "12", "12.5", "-3", "2024-01-31", "31/12/2023", "a"};
    for (int round = 0; round < 200; ++round) {
        const int cols = 3 + int(rng() % 3);
        const int rows = 3 + int(rng() % 25);
        auto g = std::make_unique<TExtStringGrid>();
        g->SetColCount(cols);
        g->SetRowCount(rows);
        g->SetFixedRows(1);
        g->SortSettings.AutoSortForGrouping = false; // the rows keep their order to come back as they were
        for (int r = 0; r < rows; ++r)
            for (int c = 0; c < cols; ++c)
                g->SetCells(c, r, r == 0 ? QStringLiteral("h%1").arg(c) : values[int(rng() % values.size())]);
        g->Grouping.Summary = rng() % 2;
        g->Grouping.MergeHeader = rng() % 2;
        g->Grouping.MergeSummary = rng() % 2;
        g->Grouping.HeaderColor = rng() % 2 ? platform::clNone : platform::clYellow;
        if (rng() % 3 == 0)
            g->FloatingFooter.SetVisible(true);
        if (rows > 6 && rng() % 2) {
            g->AddNode(2, 4);
            if (rng() % 2)
                g->AddNode(3, 2);
            if (rng() % 2)
                g->ContractNode(3);
            g->ContractNode(2);
        }
        for (int i = int(rng() % 4); i > 0 && rows > 5; --i) {
            const int r = 1 + int(rng() % (rows - 2));
            if (!g->IsHiddenRow(r))
                g->HideRow(r);
        }
        const auto before = allCells(*g);
        const int by = 1 + int(rng() % (cols - 1));
        g->Group(by);
        ASSERT_EQ(g->GroupColumn(), by);
        g->UnGroup();
        ASSERT_EQ(allCells(*g), before) << "round " << round << " by " << by;
    }
}

// Grouping, a second level, contracted groups and group results in random mixes: ungrouping
// gives back every cell.
TEST(Grouping, RandomMixesUngroupBackToEveryCell)
{
    std::mt19937 rng(137);
    const QStringList values{"a", "b", "c", "", "1", "2.5"};
    for (int round = 0; round < 400; ++round) {
        const int cols = 4 + int(rng() % 2);
        const int rows = 3 + int(rng() % 20);
        auto g = std::make_unique<TExtStringGrid>();
        g->SetColCount(cols);
        g->SetRowCount(rows);
        g->SetFixedRows(1);
        g->SortSettings.AutoSortForGrouping = false; // the rows keep their order to come back as they were
        for (int r = 0; r < rows; ++r)
            for (int c = 0; c < cols; ++c)
                g->SetCells(c, r, r == 0 ? QStringLiteral("h%1").arg(c) : values[int(rng() % values.size())]);
        g->Grouping.Summary = rng() % 2;
        g->Grouping.MergeHeader = rng() % 2;
        g->Grouping.MergeSummary = rng() % 2;
        g->CellNode.ExpandOne = rng() % 4 == 0;
        std::string log = "rows " + std::to_string(rows) + (g->Grouping.Summary ? " summary" : "")
                          + (g->Grouping.MergeHeader ? " merge-header" : "")
                          + (g->Grouping.MergeSummary ? " merge-summary" : "")
                          + (g->CellNode.ExpandOne ? " expand-one" : "");
        auto note = [&log](const std::string& what, int a, int b = -1) {
            log += "; " + what + " " + std::to_string(a) + (b >= 0 ? " " + std::to_string(b) : std::string());
        };
        if (rng() % 3 == 0) {
            g->FloatingFooter.SetVisible(true);
            log += "; footer";
        }
        // The application's own nodes: anywhere (reaching across groups), one inside another
        // sometimes, contracted sometimes.
        if (rows > 4 && rng() % 2) {
            const int at = 1 + int(rng() % (rows - 2));
            const int span = 2 + int(rng() % std::min(5, rows - at));
            g->AddNode(at, span);
            note("node", at, span);
            if (span > 3 && rng() % 2) {
                g->AddNode(at + 1, 2);
                note("node", at + 1, 2);
            }
            if (rng() % 2) {
                g->ContractNode(at);
                note("contract", at);
            }
        }
        if (rng() % 3 == 0) {
            const int r = 1 + int(rng() % (rows - 1));
            if (!g->IsHiddenRow(r)) {
                g->HideRow(r);
                note("hide", r);
            }
        }
        const auto before = allCells(*g);
        const auto beforeTexts = allCells(*g, false);
        const int nodesBefore = g->NumNodes();
        const int by = 1 + int(rng() % (cols - 2));
        g->Group(by);
        note("group", by);
        const bool toggled = rng() % 4 == 0;
        if (toggled) {
            g->Grouping.Summary = !g->Grouping.Summary;
            log += "; summary toggled";
        }
        if (rng() % 2) {
            const int sub = 1 + int(rng() % (cols - 2));
            g->SubGroup(sub);
            note("subgroup", sub);
        }
        bool contracted = g->CellNode.ExpandOne; // expanding one group contracts the others
        // A row hidden while grouped: a data row stays hidden (only the texts are compared then),
        // a header or summary row goes all the same.
        const int dataRows = g->RowCount() - g->FixedRows() - g->FixedFooters();
        if (rng() % 3 == 0 && dataRows > 1) {
            const int r = g->FixedRows() + int(rng() % dataRows);
            note("hide", g->RealRowIndex(r));
            g->HideRow(g->RealRowIndex(r));
            contracted = true;
        }
        for (int i = int(rng() % 3); i > 0; --i) {
            const int r = int(rng() % g->RowCount());
            if (g->IsNode(r) && !g->GetNodeState(r)) {
                note("contract", g->RealRowIndex(r));
                g->ContractNode(g->RealRowIndex(r));
                contracted = true;
            }
        }
        // Group results go into the application's own nodes' rows too (they are its data, and
        // then changed by it), and into the row after each group when summary rows are wanted
        // (whether the groups have them or not): only grids without such nodes, and whose
        // groups were made with the summary setting of now, take them here.
        if (nodesBefore == 0 && !toggled && rng() % 2) {
            const int c = 1 + int(rng() % (g->ColCount() - 1)), method = 1 + int(rng() % 8);
            g->GroupCalc(c, method);
            note("calc", c, method);
        }
        g->UnGroup();
        // A node contracted inside a group that was contracted comes back open: then only the
        // texts are compared.
        ASSERT_EQ(allCells(*g, !contracted), contracted ? beforeTexts : before) << "round " << round << ": " << log;
        ASSERT_EQ(g->NumNodes(), nodesBefore) << "round " << round << ": " << log;
    }
}

// --- calculations ------------------------------------------------------------------------------------------

TEST(Calc, ColumnValues)
{
    auto g = gridOf({{"1", "2", "1.2.3", "4"}});
    EXPECT_DOUBLE_EQ(g->ColumnSum(1, -1, -1), 7);
    EXPECT_DOUBLE_EQ(g->ColumnAvg(1, 1, 4), 1.75);
    EXPECT_DOUBLE_EQ(g->ColumnMax(1, 1, 4), 4);
    EXPECT_DOUBLE_EQ(g->ColumnMin(1, 1, 4), 1);
    EXPECT_THROW(g->ColumnStdDev(1, 1, 4), platform::EExtGridError);
    EXPECT_DOUBLE_EQ(g->ColumnAvg(1, 5, 4), 0);
    EXPECT_DOUBLE_EQ(g->ColumnStdDev(1, 5, 4), 0);
    auto e = gridOf({{"5", "", "3"}});
    EXPECT_DOUBLE_EQ(e->ColumnMin(1, -1, -1), 0);
    auto d = gridOf({{"a.b.c", "A.B.C", "b", ""}});
    EXPECT_DOUBLE_EQ(d->ColumnDistinct(1, -1, -1), 3);
    EXPECT_THROW(d->ColumnMin(1, 1, 4), platform::EExtGridError);
    auto s = gridOf({{"2", "4", "4", "4", "5", "5", "7", "9"}});
    EXPECT_DOUBLE_EQ(s->ColumnStdDev(1, -1, -1), 2);
    s->OnColumnCalc = [](TExtStringGrid*, int c, int from, int to, double& res) { res = c + from + to; };
    EXPECT_DOUBLE_EQ(s->ColumnCustomCalc(1, -1, -1), 1 + 1 + 8);
    // Hidden rows count when the range reaches past the shown rows.
    s->HideRow(8);
    EXPECT_DOUBLE_EQ(s->ColumnSum(1, 1, 7), 31);
    EXPECT_DOUBLE_EQ(s->ColumnSum(1, 1, 9), 40);
}

// A grid that records the progress reports of its calculations.
class ReportingGrid : public TExtStringGrid {
public:
    QStringList reports;
    void ExportNotification(TGridExportState state, int row) override
    {
        reports << QStringLiteral("%1:%2").arg(int(state)).arg(row);
    }
};

TEST(Calc, ColumnWalksReportTheirProgress)
{
    ReportingGrid g;
    g.SetColCount(2);
    g.SetRowCount(5);
    const QStringList values{"1", "2", "1.2.3", "4"};
    for (int r = 1; r <= 4; ++r)
        g.SetCells(1, r, values[r - 1]);
    // Start with the first row (0), each row taken in (5), done (2); once per call.
    const QString fourRows = QStringLiteral("0:1 5:1 5:2 5:3 5:4 2:-1");
    struct Case {
        const char* name;
        std::function<void()> call;
        QString reports;
        bool raises;
    };
    const Case cases[] = {
        {"sum", [&] { g.ColumnSum(1, 1, 4); }, fourRows, false},
        {"average", [&] { g.ColumnAvg(1, -1, -1); }, fourRows, false},
        {"minimum", [&] { g.ColumnMin(1, 2, 3); }, "0:2 5:2 5:3 2:-1", false},
        {"maximum", [&] { g.ColumnMax(1, 1, 4); }, fourRows, false},
        {"distinct", [&] { g.ColumnDistinct(1, 1, 4); }, fourRows, false},
        // Stopping on a text that must be a number still ends the report.
        {"minimum from no number", [&] { g.ColumnMin(1, 3, 4); }, "0:3 2:-1", true},
        {"std dev", [&] { g.ColumnStdDev(1, 1, 4); }, "0:1 5:1 5:2 5:3 2:-1", true},
        {"std dev of numbers", [&] { g.ColumnStdDev(1, 1, 2); }, "0:1 5:1 5:2 2:-1", false},
        {"empty range", [&] { g.ColumnSum(1, 3, 2); }, "0:3 2:-1", false},
    };
    for (const Case& k : cases) {
        g.reports.clear();
        if (k.raises)
            EXPECT_THROW(k.call(), platform::EExtGridError) << k.name;
        else
            EXPECT_NO_THROW(k.call()) << k.name;
        EXPECT_EQ(g.reports.join(u' '), k.reports) << k.name;
    }
    // Past the shown rows the walk takes real rows, hidden ones included, and no row that is
    // not there.
    g.HideRow(2);
    g.reports.clear();
    EXPECT_DOUBLE_EQ(g.ColumnSum(1, 1, 6), 7);
    EXPECT_EQ(g.reports.join(u' '), fourRows);
}

TEST(Calc, RowValuesSkipMergedCells)
{
    auto g = gridOf({{"1"}, {"2"}, {"1.2.3"}, {"4"}});
    EXPECT_DOUBLE_EQ(g->RowSum(1, 1, 4), 7);
    EXPECT_DOUBLE_EQ(g->RowAvg(1, 1, 4), 1.75);
    EXPECT_DOUBLE_EQ(g->RowMax(1, 1, 4), 4);
    EXPECT_DOUBLE_EQ(g->RowMin(1, 2, 4), 2);
    EXPECT_THROW(g->RowMin(1, 3, 4), platform::EExtGridError);
    EXPECT_DOUBLE_EQ(g->RowAvg(1, 4, 3), 0);
    g->MergeCells(3, 1, 2, 1);
    EXPECT_DOUBLE_EQ(g->RowSum(1, 1, 4), 3);
}

TEST(Calc, FooterCells)
{
    auto g = gridOf({{"1", "2", "3", "4", "5", "6", "7", "8", "total"}});
    g->FloatingFooter.SetVisible(true);
    EXPECT_EQ(g->FixedFooters(), 1);
    EXPECT_TRUE(g->HideLastRow());
    ASSERT_NE(g->FooterPanel(), nullptr);
    struct Case {
        TColumnCalcType type;
        QString text;
    };
    const Case cases[] = {{acSUM, "36.00"}, {acAVG, "4.50"}, {acCOUNT, "8"}, {acMIN, "1.00"}, {acMAX, "8.00"},
                          {acDISTINCT, "8.00"}, {acSTDDEV, "2.29"}};
    for (const Case& k : cases) {
        g->FloatingFooter.SetColumnCalc(1, k.type);
        EXPECT_EQ(g->FloatingFooter.ColumnCalc(1), k.type);
        EXPECT_EQ(g->Cells(1, 9), k.text) << int(k.type);
    }
    // Hidden rows count with CalculateHiddenRows, and not without.
    g->FloatingFooter.SetColumnCalc(1, acCOUNT);
    g->HideRows(2, 3);
    EXPECT_EQ(g->Cells(1, g->RowCount() - 1), QStringLiteral("8"));
    g->FloatingFooter.CalculateHiddenRows = false;
    g->CalcFooter(-1);
    EXPECT_EQ(g->Cells(1, g->RowCount() - 1), QStringLiteral("6"));
    g->FloatingFooter.SetColumnCalc(1, acSUM);
    EXPECT_EQ(g->Cells(1, g->RowCount() - 1), QStringLiteral("31.00"));
    // The custom value comes from the grid's event first, else from the footer's.
    g->FloatingFooter.OnCalcFooter = [](TFloatingFooter*, int, int, QString& v) { v = "footer"; };
    g->FloatingFooter.SetColumnCalc(1, acCUSTOM);
    EXPECT_EQ(g->Cells(1, g->RowCount() - 1), QStringLiteral("footer"));
    g->OnFooterCalc = [](TExtStringGrid*, int c, int r, QString& v) { v = QStringLiteral("%1/%2").arg(c).arg(r); };
    g->CalcFooter(1);
    EXPECT_EQ(g->Cells(1, g->RowCount() - 1), QStringLiteral("1/7"));
    g->FloatingFooter.SetVisible(false);
    EXPECT_EQ(g->FixedFooters(), 0);
    EXPECT_FALSE(g->HideLastRow());
}

TEST(Calc, AFooterThatCannotBeComputedKeepsItsValueAndLetsTheGridWork)
{
    auto g = gridOf({{"1", "text", "3", "total"}});
    g->FloatingFooter.SetVisible(true);
    g->SetCells(1, 1, QStringLiteral("1.2.3"));
    g->FloatingFooter.SetColumnCalc(1, acMIN);
    EXPECT_EQ(g->Cells(1, 4), QStringLiteral("total"));
    g->InsertRows(2, 2);
    EXPECT_EQ(g->RowCount(), 7);
}

TEST(Calc, AutoNumbering)
{
    struct Case {
        int start;
        TSortDirection dir;
        QStringList col;
    };
    const Case cases[] = {{0, sdAscending, {"h", "1", "2", "3", "4"}},
                          {0, sdDescending, {"h", "4", "3", "2", "1"}},
                          {2, sdAscending, {"h", "", "", "3", "4"}}};
    for (const Case& k : cases) {
        auto g = gridOf({{"", "", "", ""}});
        g->SetCells(1, 0, QStringLiteral("h"));
        g->AutoNumberStart = k.start;
        g->AutoNumberDirection = k.dir;
        g->AutoNumberCol(1);
        EXPECT_EQ(column(*g, 1), k.col) << k.start << int(k.dir);
    }
    auto g = gridOf({{""}, {""}, {""}});
    g->SetFixedCols(1);
    g->AutoNumberOffset = 10;
    g->AutoNumberRow(1);
    EXPECT_EQ(g->Cells(1, 1), QStringLiteral("11"));
    EXPECT_EQ(g->Cells(3, 1), QStringLiteral("13"));
}

// --- the footer strip -------------------------------------------------------------------------------------------

TEST(FloatingFooter, HintsAndCopies)
{
    auto g = gridOf({{"1", "2"}, {"3", "4"}});
    g->FloatingFooter.SetVisible(true);
    auto* panel = static_cast<TFooterPanel*>(g->FooterPanel());
    ASSERT_NE(panel, nullptr);
    QStringList asked;
    g->OnGridHint = [&asked](TExtStringGrid*, int r, int c, QString& hint) {
        asked << QStringLiteral("%1,%2").arg(r).arg(c);
        hint = QStringLiteral("hint");
    };
    const int x = g->AllColWidths(0) + 3;
    // Without ShowHint nothing is shown, but the grid is still asked.
    EXPECT_EQ(panel->HintAt(x), QString());
    EXPECT_EQ(asked, QStringList{"2,1"});
    EXPECT_EQ(panel->LastHintX(), -1);
    g->FloatingFooter.SetShowHint(true);
    EXPECT_EQ(panel->HintAt(x), QStringLiteral("hint"));
    EXPECT_EQ(panel->LastHintX(), 1);
    EXPECT_EQ(panel->HintAt(100000), QString());
    EXPECT_EQ(panel->LastHintX(), -1);
    // Copying: the values and the visibility through its setter.
    auto other = gridOf({{"1"}});
    g->FloatingFooter.SetColumn(2);
    g->FloatingFooter.SetCustomTemplate(QStringLiteral("<#1>"));
    g->FloatingFooter.CalculateHiddenRows = false;
    other->FloatingFooter.Assign(&g->FloatingFooter);
    EXPECT_TRUE(other->FloatingFooter.Visible);
    EXPECT_EQ(other->FixedFooters(), 1);
    EXPECT_EQ(other->FloatingFooter.Column, 2);
    EXPECT_EQ(other->FloatingFooter.CustomTemplate, QStringLiteral("<#1>"));
    EXPECT_FALSE(other->FloatingFooter.CalculateHiddenRows);
    EXPECT_TRUE(other->FloatingFooter.ShowHint);
}

TEST(FloatingFooter, EachFooterCellStandsUnderItsColumnInEitherReadingOrder)
{
    for (const Qt::LayoutDirection direction : {Qt::LeftToRight, Qt::RightToLeft}) {
        SCOPED_TRACE(int(direction));
        auto g = gridOf({{"a1", "sumA"}, {"b1", "sumB"}, {"c1", "sumC"}, {"d1", "sumD"}, {"e1", "sumE"}});
        g->SetFixedCols(1);
        g->SetCells(0, 2, QStringLiteral("fixed"));
        for (int c = 0; c < g->ColCount(); ++c)
            g->setColWidths(c, 80 + 10 * c);
        g->resize(360, 200);
        g->setLayoutDirection(direction);
        g->FloatingFooter.SetVisible(true);
        g->setLeftCol(2); // column 1 scrolled out of view
        auto* panel = static_cast<TFooterPanel*>(g->FooterPanel());
        ASSERT_EQ(panel->layoutDirection(), direction);
        ASSERT_EQ(panel->x(), g->viewport()->x());
        platform::CanvasCallLog log;
        platform::Bitmap b(panel->width(), std::max(1, panel->height()), platform::clWhite);
        platform::Canvas canvas(b);
        panel->PaintTo(canvas);
        // Where the strip draws each text: the left and right of its rectangle.
        auto drawnAt = [&log](const QString& text) {
            for (const QString& call : log.calls())
                if (call.startsWith(QStringLiteral("drawText \"%1\" ").arg(text))) {
                    const QStringList r = call.section(u' ', 2, 2).split(u',');
                    return std::make_pair(r[0].toInt(), r[2].toInt());
                }
            return std::make_pair(-1, -1);
        };
        const char* texts[] = {"fixed", "sumA", "sumB", "sumC", "sumD", "sumE"};
        for (int c = 0; c < g->ColCount(); ++c) {
            const QString text = QString::fromLatin1(texts[c]);
            if (c == 1) {
                EXPECT_EQ(drawnAt(text).first, -1) << "scrolled out";
                continue;
            }
            const Rect cell = g->CellRect(c, 1);
            if (cell.right <= cell.left)
                continue; // beyond the grid's visible columns
            const auto [left, right] = drawnAt(text);
            EXPECT_GE(left, cell.left) << text.toStdString();
            EXPECT_LE(right, cell.right) << text.toStdString();
            // A click or a hint over the column finds it.
            EXPECT_EQ(panel->ColumnAt((cell.left + cell.right) / 2), c);
        }
        // The footer's colour lies under the columns, the grid's colour beside them.
        EXPECT_TRUE(log.calls().contains(QStringLiteral("fillRect 0,0,%1,%2 clBtnFace")
                                             .arg(std::min(panel->FooterWidth(), panel->width()))
                                             .arg(panel->height())))
            << log.calls().join(u'\n').toStdString();
    }
}

TEST(FloatingFooter, TemplateExpansion)
{
    auto cell = [](int n) { return QStringLiteral("<%1>").arg(n); };
    struct Case {
        QString tmpl, out;
    };
    const Case cases[] = {{"Total: <#3>", "Total: <3>"},
                          {"<#1> / <#x>", "<1> / "},
                          {"no tags", "no tags"},
                          {"a<#2", "a<2>"},
                          {"<#1><#2>!", "<1><2>!"}};
    for (const Case& k : cases)
        EXPECT_EQ(ExpandFooterTemplate(k.tmpl, cell), k.out) << k.tmpl.toStdString();
}
