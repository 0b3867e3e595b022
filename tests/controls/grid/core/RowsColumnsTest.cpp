#include "controls/grid/core/ExtStringGrid.h"

#include "GridFixture.h"

#include <gtest/gtest.h>

using namespace controls::grid;

namespace {
void label(TExtStringGrid& g)
{
    for (int r = 0; r < g.RowCount(); ++r)
        for (int c = 0; c < g.TotalColCount(); ++c)
            g.SetCells(c, r, QStringLiteral("%1/%2").arg(c).arg(r));
}
} // namespace

TEST(HiddenTest, HiddenColumnsAndRowsMapBothWays)
{
    TExtStringGrid g;
    g.SetColCount(6);
    g.SetRowCount(10);
    label(g);
    g.HideRows(3, 4);
    g.HideColumn(2);
    EXPECT_EQ(g.ColCount(), 5);
    EXPECT_EQ(g.NumHiddenColumns(), 1);
    EXPECT_TRUE(g.IsHiddenColumn(2));
    EXPECT_EQ(g.RealColIndex(2), 3);
    EXPECT_EQ(g.DisplColIndex(3), 2);
    EXPECT_EQ(g.DisplColIndex(2), 2);
    EXPECT_EQ(g.RealRowIndex(3), 5);
    EXPECT_EQ(g.DisplRowIndex(5), 3);
    EXPECT_EQ(g.DisplRowIndex(4), 3);
    EXPECT_EQ(g.NumHiddenRows(), 2);
    EXPECT_EQ(g.TotalRowCount(), g.RowCount() + 2);
    EXPECT_EQ(g.RowCount(), 8);
    // Cells by real column and display row; the hidden column keeps its texts.
    EXPECT_EQ(g.Cells(2, 3), QStringLiteral("2/5"));
    EXPECT_EQ(g.AllCells(2, 3), QStringLiteral("2/3"));
    EXPECT_EQ(g.AllCells(1, 5), QStringLiteral("1/5"));

    g.UnHideColumn(2);
    g.UnHideRows(3, 4);
    EXPECT_EQ(g.ColCount(), 6);
    EXPECT_EQ(g.RowCount(), 10);
    for (int r = 0; r < 10; ++r)
        for (int c = 0; c < 6; ++c)
            ASSERT_EQ(g.Cells(c, r), QStringLiteral("%1/%2").arg(c).arg(r));
}

TEST(HiddenTest, HiddenColumnsBeyondFiveHundredTwelve)
{
    TExtStringGrid g;
    g.SetColCount(700);
    g.SetCells(600, 1, QStringLiteral("far"));
    g.setColWidths(600, 77);
    g.HideColumn(2);
    EXPECT_EQ(g.DisplColIndex(600), 599);
    EXPECT_EQ(g.RealColIndex(599), 600);
    EXPECT_EQ(g.colWidths(599), 77);
    EXPECT_EQ(g.Cells(600, 1), QStringLiteral("far"));
    g.HideColumn(600);
    EXPECT_TRUE(g.IsHiddenColumn(600));
    EXPECT_EQ(g.AllColWidths(600), 77);
    EXPECT_EQ(g.RealColIndex(599), 601);
    g.UnHideColumnsAll();
    EXPECT_EQ(g.colWidths(600), 77);
    EXPECT_EQ(g.NumHiddenColumns(), 0);
}

TEST(HiddenTest, WritesToHiddenRowsExtendTheirItems)
{
    TExtStringGrid g;
    g.SetColCount(5);
    label(g);
    const int props = g.CellPropsAlive();
    int app = 1;
    g.SetObjects(2, 3, &app);
    g.HideRow(3);
    EXPECT_EQ(g.AllObjects(2, 3), &app);
    EXPECT_EQ(g.CellPropsAlive(), props + 1); // travelled into the item, not freed
    g.SetAllCells(7, 3, QStringLiteral("seven"));
    EXPECT_EQ(g.HiddenRowItem(0).Text(7), QStringLiteral("seven"));
    EXPECT_EQ(g.AllCells(7, 3), QStringLiteral("seven"));
    EXPECT_EQ(g.Cells(1, 3), QStringLiteral("1/4"));
    EXPECT_EQ(g.HiddenRowItem(0).Origin, THiddenOrigin::Range);
    g.UnHideRow(3);
    EXPECT_EQ(g.Cells(7, 3), QStringLiteral("seven"));
    EXPECT_EQ(g.Objects(2, 3), &app);
}

TEST(HiddenTest, RowsComeBackWithTheirHeightsAndMixedRangesLoseNothing)
{
    TExtStringGrid g;
    g.SetColCount(3);
    g.SetRowCount(10);
    label(g);
    g.setRowHeights(3, 40);
    g.setRowHeights(4, 50);
    g.HideRow(3);
    g.HideRows(3, 4); // 3 is hidden already: only 4 goes
    EXPECT_EQ(g.NumHiddenRows(), 2);
    g.HideRowsEx(6, 6);
    EXPECT_EQ(g.NumHiddenRows(), 3);
    g.UnHideRows(2, 7); // a range that starts at a shown row shows nothing
    EXPECT_EQ(g.NumHiddenRows(), 3);
    g.UnHideRows(3, 7); // shown rows inside the range stay where they are
    EXPECT_EQ(g.NumHiddenRows(), 0);
    EXPECT_EQ(g.RowCount(), 10);
    for (int r = 0; r < 10; ++r)
        EXPECT_EQ(g.Cells(1, r), QStringLiteral("1/%1").arg(r));
    EXPECT_EQ(g.rowHeights(3), 40);
    EXPECT_EQ(g.rowHeights(4), 50);
}

TEST(HiddenTest, FilterLevelsComeBackLastFirstAndKeepRangeHiddenRows)
{
    TExtStringGrid g;
    g.SetColCount(2);
    g.SetRowCount(10);
    label(g);
    g.HideRow(9);                 // hidden by range
    g.HideRowList({2, 4});        // level 0
    g.HideRowList({1, 3});        // level 1 (display rows of the grid after level 0)
    EXPECT_EQ(g.FilterLevel(), 2);
    EXPECT_EQ(g.RowCount(), 5);
    g.UnHideRowList();
    EXPECT_EQ(g.NumHiddenRows(), 3);
    EXPECT_EQ(g.RowCount(), 7);
    EXPECT_EQ(g.Cells(1, 1), QStringLiteral("1/1"));
    EXPECT_EQ(g.Cells(1, 2), QStringLiteral("1/3"));
    g.UnHideRowList(); // the caller counts the levels down; this one shows level 0
    EXPECT_EQ(g.NumHiddenRows(), 3);
}

TEST(RowsTest, RemoveRowsFreesTheRightObjectsAndMovesTheRest)
{
    TExtStringGrid g;
    g.SetColCount(3);
    g.SetRowCount(10);
    label(g);
    int tags[10] = {};
    for (int r = 1; r < 10; ++r)
        g.SetObjects(1, r, &tags[r]);
    g.setRowHeights(5, 33);
    const int alive = g.CellPropsAlive();
    g.RemoveRows(2, 3);
    EXPECT_EQ(g.RowCount(), 7);
    EXPECT_EQ(g.CellPropsAlive(), alive - 3);
    EXPECT_EQ(g.Objects(1, 2), &tags[5]);
    EXPECT_EQ(g.Objects(1, 6), &tags[9]);
    EXPECT_EQ(g.Cells(0, 2), QStringLiteral("0/5"));
    EXPECT_EQ(g.rowHeights(2), 33);
    EXPECT_EQ(g.cells(0, 7), QString()); // nothing beyond the new last row
    EXPECT_EQ(g.cells(0, 9), QString());

    // A start at or past the last row removes nothing; a count past the end is cut.
    g.RemoveRows(7, 1);
    g.RemoveRows(50, 2);
    EXPECT_EQ(g.RowCount(), 7);
    g.RemoveRows(5, 100);
    EXPECT_EQ(g.RowCount(), 5);
    EXPECT_EQ(g.CellPropsAlive(), alive - 5);
}

TEST(RowsTest, SwapRowsAndColumnsKeepEachObjectOnce)
{
    auto g = std::make_unique<TExtStringGrid>();
    g->SetColCount(4);
    g->SetRowCount(6);
    label(*g);
    g->SetColors(1, 1, platform::clRed);
    g->SetColors(1, 2, platform::clBlue);
    const int alive = g->CellPropsAlive();
    g->SwapRows(1, 2);
    EXPECT_EQ(g->Colors(1, 1), platform::clBlue);
    EXPECT_EQ(g->Colors(1, 2), platform::clRed);
    EXPECT_EQ(g->Cells(0, 1), QStringLiteral("0/2"));
    g->SwapColumns(1, 3);
    EXPECT_EQ(g->Colors(3, 1), platform::clBlue);
    EXPECT_EQ(g->CellPropsAlive(), alive);
    g.reset(); // each object freed once (AddressSanitizer watches)
}

TEST(RowsTest, InsertAndRemoveColumnsAndRows)
{
    TExtStringGrid g;
    g.SetColCount(4);
    g.SetRowCount(5);
    label(g);
    g.InsertRows(2, 2);
    EXPECT_EQ(g.RowCount(), 7);
    EXPECT_EQ(g.Cells(1, 2), QString());
    EXPECT_EQ(g.Cells(1, 4), QStringLiteral("1/2"));
    g.InsertCols(1, 1);
    EXPECT_EQ(g.ColCount(), 5);
    EXPECT_EQ(g.Cells(2, 4), QStringLiteral("1/2"));
    EXPECT_EQ(g.Cells(1, 4), QString());
    g.RemoveCols(1, 1);
    EXPECT_EQ(g.ColCount(), 4);
    EXPECT_EQ(g.Cells(1, 4), QStringLiteral("1/2"));
}

TEST(RowsTest, ColumnOrderFollowsMovesAndResets)
{
    TExtStringGrid g;
    g.SetColCount(5);
    label(g);
    g.MoveColumn(1, 3);
    EXPECT_EQ(g.ColumnPosition(1), 3);
    EXPECT_EQ(g.Cells(3, 0), QStringLiteral("1/0"));
    g.ResetColumnOrder();
    EXPECT_EQ(g.Cells(1, 0), QStringLiteral("1/0"));
    EXPECT_EQ(g.ColumnPosition(1), 1);
}

TEST(RowsTest, RemoveDuplicatesKeepsTheFirstOfEachGroup)
{
    for (bool doCase : {false, true}) {
        TExtStringGrid g;
        g.SetColCount(2);
        g.SetRowCount(5);
        const char* texts[] = {"a", "A", "b", "a"};
        for (int i = 0; i < 4; ++i)
            g.SetCells(1, i + 1, QString::fromLatin1(texts[i]));
        g.RemoveDuplicates(1, doCase);
        QStringList left;
        for (int r = 1; r < g.RowCount(); ++r)
            left << g.Cells(1, r);
        EXPECT_EQ(left, doCase ? QStringList({"a", "A", "b"}) : QStringList({"a", "b"}));
    }
}

TEST(RangesTest, ClearRectWithAndWithoutClearTextOnly)
{
    TExtStringGrid g;
    g.SetColCount(4);
    g.SetRowCount(4);
    g.SetCells(1, 1, QStringLiteral("x"));
    g.SetColors(1, 1, platform::clRed);
    g.AddCheckBox(2, 1, true, false);
    g.ClearTextOnly = true;
    g.ClearRect(1, 1, 2, 1);
    EXPECT_EQ(g.Cells(1, 1), QString());
    EXPECT_EQ(g.Colors(1, 1), platform::clRed);
    EXPECT_EQ(g.GetCellType(2, 1), ctCheckBox);
    g.ClearTextOnly = false;
    g.ClearRect(1, 1, 2, 1);
    EXPECT_EQ(g.Colors(1, 1), platform::clNone);
    EXPECT_EQ(g.GetCellType(2, 1), ctEmpty);
    EXPECT_EQ(g.CellPropsAlive(), 0);
}

TEST(RangesTest, MergeColumnCellsMergesRunsOfEqualTexts)
{
    TExtStringGrid g;
    g.SetColCount(3);
    g.SetRowCount(7);
    const char* texts[] = {"x", "x", "y", "y", "y", "z"};
    for (int i = 0; i < 6; ++i)
        g.SetCells(1, i + 1, QString::fromLatin1(texts[i]));
    g.MergeColumnCells(1, true);
    EXPECT_EQ(g.CellSpan(1, 1), QPoint(0, 1));
    EXPECT_EQ(g.CellSpan(1, 3), QPoint(0, 2));
    EXPECT_EQ(g.BaseCell(1, 5), QPoint(1, 3));
    EXPECT_FALSE(g.IsMergedCell(1, 6));
    EXPECT_EQ(g.MergeCount(), 2);
    g.SplitColumnCells(1);
    EXPECT_FALSE(g.IsMergedCell(1, 4));
    g.SetCells(1, 1, QStringLiteral("a"));
    g.SetCells(2, 1, QStringLiteral("b"));
    const int merges = g.MergeCount();
    g.MergeRowCells(1, true);
    EXPECT_EQ(g.MergeCount(), merges); // all different: nothing merged
}

TEST(RangesTest, FindingUsedCellsAndTheSaveRange)
{
    TExtStringGrid g;
    g.SetColCount(5);
    g.SetRowCount(6);
    EXPECT_EQ(g.UsedCells(), (TGridRect{0, 0, 0, 0}));
    g.SetCells(2, 3, QStringLiteral("v"));
    EXPECT_EQ(g.UsedCells(), (TGridRect{2, 3, 2, 3}));
    g.SetCells(3, 0, QStringLiteral("v"));
    int c = -1, r = -1;
    EXPECT_TRUE(g.IsCell(QStringLiteral("v"), c, r));
    EXPECT_EQ(QPoint(c, r), QPoint(3, 0));
    EXPECT_FALSE(g.IsCell(QStringLiteral("w"), c, r));
    g.SetFixedFooters(2);
    g.SaveFixedCells = false;
    g.SaveFixedRows = false;
    EXPECT_EQ(g.SaveEndRow(), g.RowCount() - 3);
    EXPECT_EQ(g.SaveRowCount(), g.RowCount() - 1 - 2);
}

TEST(HiddenTest, RangeAndFilterHiddenRowsCountOnceEachInOneIndexSpace)
{
    TExtStringGrid g;
    g.SetColCount(2);
    g.SetRowCount(10);
    label(g);
    g.HideRow(3);          // by range: the row of real index 3
    g.HideRowList({3});    // by filter: display row 3, which is the row of real index 4
    EXPECT_EQ(g.NumHiddenRows(), 2);
    EXPECT_TRUE(g.IsHiddenRow(4));
    EXPECT_EQ(g.RealRowIndex(3), 5);
    EXPECT_EQ(g.Cells(1, 3), QStringLiteral("1/5"));
    EXPECT_EQ(g.DisplRowIndex(5), 3);
    EXPECT_EQ(g.AllCells(1, 4), QStringLiteral("1/4"));
    g.UnHideRowList();
    EXPECT_EQ(g.Cells(1, 3), QStringLiteral("1/4"));
    EXPECT_EQ(g.RealRowIndex(3), 4);
    g.UnHideRowsAll();
    for (int r = 0; r < 10; ++r)
        EXPECT_EQ(g.Cells(1, r), QStringLiteral("1/%1").arg(r));
}

TEST(RowsTest, InsertingAboveAHiddenRowKeepsItInItsPlace)
{
    TExtStringGrid g;
    g.SetColCount(2);
    g.SetRowCount(8);
    label(g);
    g.HideRow(5);
    g.InsertRows(2, 2);
    EXPECT_TRUE(g.IsHiddenRow(7)) << "the hidden row moved down with the rows around it";
    EXPECT_EQ(g.RealRowIndex(7), 8);
    g.RemoveRows(1, 1);
    g.UnHideRow(6);
    const QStringList expected = {"1/0", "", "", "1/2", "1/3", "1/4", "1/5", "1/6", "1/7"};
    QStringList got;
    for (int r = 0; r < g.RowCount(); ++r)
        got << g.Cells(1, r);
    EXPECT_EQ(got, expected);
}

TEST(RowsTest, CheckedRowsAndSelectedColumnsGoInOnePass)
{
    TExtStringGrid g;
    g.SetColCount(5);
    g.SetRowCount(8);
    label(g);
    for (int r = 1; r < 8; ++r)
        g.AddCheckBox(1, r, r % 3 == 0, false);
    const int alive = g.CellPropsAlive();
    g.RemoveCheckedRows(1, true); // rows 3 and 6
    EXPECT_EQ(g.RowCount(), 6);
    EXPECT_EQ(g.CellPropsAlive(), alive - 2);
    QStringList left;
    for (int r = 0; r < g.RowCount(); ++r)
        left << g.Cells(0, r);
    EXPECT_EQ(left, QStringList({"0/0", "0/1", "0/2", "0/4", "0/5", "0/7"}));
    g.RemoveCheckedRows(1, false); // every unchecked data row
    EXPECT_EQ(g.RowCount(), 1);

    TExtStringGrid h;
    h.SetColCount(6);
    h.SetRowCount(3);
    label(h);
    h.SetSelection(TGridRect{2, 1, 3, 1});
    h.RemoveSelectedCols();
    EXPECT_EQ(h.ColCount(), 4);
    EXPECT_EQ(h.Cells(2, 0), QStringLiteral("4/0"));
    h.SetSelection(TGridRect{2, 1, 2, 1});
    h.RemoveUnSelectedCols(); // right of the selection, then between the fixed column and it
    EXPECT_EQ(h.ColCount(), 2);
    EXPECT_EQ(h.Cells(0, 0), QStringLiteral("0/0"));
    EXPECT_EQ(h.Cells(1, 0), QStringLiteral("4/0"));

    TExtStringGrid d;
    d.MouseActions.SetDisjunctColSelect(true);
    d.SetColCount(6);
    label(d);
    d.SetColSelect(1, true);
    d.SetColSelect(4, true);
    d.RemoveUnSelectedCols();
    EXPECT_EQ(d.ColCount(), 3);
    EXPECT_EQ(d.Cells(1, 0), QStringLiteral("1/0"));
    EXPECT_EQ(d.Cells(2, 0), QStringLiteral("4/0"));
}
