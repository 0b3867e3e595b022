// What a moved column or row takes with it: widths and heights, hidden columns and their data,
// the stored cells of hidden rows, the sort column and sort index, a synchronised grid, and the
// floating footer's fixed last row.
#include "controls/grid/auxwin/GridAux.h"

#include <QWidget>
#include <gtest/gtest.h>

using namespace controls::grid;

namespace {

class MoveStateTest : public ::testing::Test {
protected:
    MoveStateTest()
    {
        window.resize(700, 400);
        grid = make();
    }

    TExtStringGridAux* make()
    {
        auto* g = new TExtStringGridAux(&window);
        g->setGeometry(0, 0, 680, 380);
        g->SetColCount(7);
        g->SetRowCount(6);
        for (int c = 0; c < 7; ++c)
            for (int r = 0; r < 6; ++r)
                g->SetCells(c, r, QStringLiteral("%1.%2").arg(c).arg(r));
        return g;
    }

    QStringList row(TExtStringGridAux* g, int r) const
    {
        QStringList out;
        for (int c = 0; c < g->ColCount(); ++c)
            out << g->Cells(g->RealColIndex(c), r);
        return out;
    }

    QWidget window;
    TExtStringGridAux* grid = nullptr;
};

} // namespace

TEST_F(MoveStateTest, TheSortColumnFollows)
{
    grid->SortSettings.Column = 5;
    grid->MoveColumn(2, 5);
    EXPECT_EQ(grid->SortSettings.Column, 4);
    grid->SortSettings.Column = 2;
    grid->MoveColumn(5, 2);
    EXPECT_EQ(grid->SortSettings.Column, 3);
    grid->SortSettings.Column = 5;
    grid->MoveColumn(5, 1);
    EXPECT_EQ(grid->SortSettings.Column, 1);

    // With the index shown, every entry's column follows and keeps its direction.
    grid->SortSettings.IndexShow = true;
    grid->SortIndexes.AddIndex(2, true);
    grid->SortIndexes.AddIndex(6, false);
    grid->MoveColumn(2, 6);
    EXPECT_EQ(grid->SortIndexes.GetSortColumns(0), 6);
    EXPECT_TRUE(grid->SortIndexes.GetSortDirections(0));
    EXPECT_EQ(grid->SortIndexes.GetSortColumns(1), 5);
    EXPECT_FALSE(grid->SortIndexes.GetSortDirections(1));
}

TEST_F(MoveStateTest, WidthsTravelOnlyWithEnhRowColMove)
{
    grid->setColWidths(2, 120);
    grid->MoveColumn(2, 4);
    EXPECT_EQ(grid->colWidths(4), 120);
    EXPECT_EQ(grid->colWidths(2), grid->defaultColWidth());
    EXPECT_TRUE(grid->ColMoveFlag());
    grid->ClearColMoveFlag();
    grid->EnhRowColMove = false;
    grid->MoveColumn(4, 1);
    EXPECT_EQ(grid->colWidths(4), 120);
    EXPECT_EQ(grid->Cells(1, 0), QStringLiteral("2.0"));
    EXPECT_FALSE(grid->ColMoveFlag());
}

TEST_F(MoveStateTest, HiddenColumnsKeepTheirPlaceAndData)
{
    grid->setColWidths(3, 77);
    grid->HideColumn(3);
    ASSERT_EQ(grid->ColCount(), 6);
    EXPECT_EQ(row(grid, 1), (QStringList{"0.1", "1.1", "2.1", "4.1", "5.1", "6.1"}));
    // Display column 1 to display column 4, across the hidden one.
    grid->MoveColumn(1, 4);
    EXPECT_EQ(row(grid, 1), (QStringList{"0.1", "2.1", "4.1", "5.1", "1.1", "6.1"}));
    EXPECT_TRUE(grid->IsHiddenColumn(2));
    grid->UnHideColumnsAll();
    EXPECT_EQ(row(grid, 1), (QStringList{"0.1", "2.1", "3.1", "4.1", "5.1", "1.1", "6.1"}));
    EXPECT_EQ(grid->colWidths(2), 77);
}

TEST_F(MoveStateTest, HiddenRowsMoveTheirStoredCells)
{
    grid->HideRow(2);
    grid->MoveColumn(1, 3);
    grid->UnHideRowsAll();
    EXPECT_EQ(row(grid, 2), (QStringList{"0.2", "2.2", "3.2", "1.2", "4.2", "5.2", "6.2"}));
    EXPECT_EQ(row(grid, 3), (QStringList{"0.3", "2.3", "3.3", "1.3", "4.3", "5.3", "6.3"}));
}

TEST_F(MoveStateTest, SynchronisedGridsMoveOnceEach)
{
    TExtStringGridAux* other = make();
    grid->SyncGrid.SetGrid(other);
    grid->SyncGrid.MoveColumn = true;
    grid->SyncGrid.MoveRow = true;
    other->SyncGrid.SetGrid(grid);
    other->SyncGrid.MoveColumn = true;
    other->SyncGrid.MoveRow = true;
    int moves = 0, otherMoves = 0;
    grid->onColumnMoved = [&](platform::TStringGrid*, int, int) { ++moves; };
    other->onColumnMoved = [&](platform::TStringGrid*, int, int) { ++otherMoves; };
    grid->MoveColumn(1, 4);
    EXPECT_EQ(moves, 1);
    EXPECT_EQ(otherMoves, 1);
    EXPECT_EQ(row(other, 0), row(grid, 0));
    other->MoveRow(1, 3);
    EXPECT_EQ(row(grid, 3), row(other, 3));
    EXPECT_EQ(grid->Cells(0, 3), QStringLiteral("0.1"));
}

TEST_F(MoveStateTest, RowsKeepTheFooterRowAndReportOnceAfterTheHeights)
{
    grid->setRowHeights(1, 40);
    int reports = 0;
    grid->onRowMoved = [&](platform::TStringGrid* g, int from, int to) {
        ++reports;
        EXPECT_EQ(from, 1);
        EXPECT_EQ(to, 3);
        EXPECT_EQ(g->rowHeights(3), 40); // the height has moved already
    };
    grid->MoveRow(1, 3);
    EXPECT_EQ(reports, 1);
    EXPECT_EQ(grid->Cells(0, 3), QStringLiteral("0.1"));

    grid->onRowMoved = nullptr;
    grid->FloatingFooter.Visible = true;
    grid->MoveRow(2, grid->RowCount() - 1);
    EXPECT_EQ(grid->Cells(0, grid->RowCount() - 1), QStringLiteral("0.5"));
    EXPECT_EQ(grid->Cells(0, 2), QStringLiteral("0.3"));
}
