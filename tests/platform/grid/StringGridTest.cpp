#include "GridFixture.h"

#include <QScrollBar>
#include <set>

using namespace gridtest;

namespace {

void* obj(int n) { return reinterpret_cast<void*>(quintptr(0x1000 + 16 * n)); }

void fill(TStringGrid* g, int cols, int rows)
{
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < cols; ++c)
            g->setCells(c, r, QStringLiteral("%1,%2").arg(c).arg(r));
}

template <typename F>
QString errorOf(F&& f)
{
    try {
        f();
    } catch (const EInvalidGridOperation& e) {
        return e.message();
    }
    return QString();
}

} // namespace

TEST_F(GridTest, DefaultLayoutOfTheFiveByTenGrid)
{
    EXPECT_EQ(grid->colCount(), 5);
    EXPECT_EQ(grid->rowCount(), 10);
    EXPECT_EQ(grid->fixedCols(), 1);
    EXPECT_EQ(grid->fixedRows(), 1);
    EXPECT_EQ(current(), (TGridCoord{1, 1}));
    EXPECT_EQ(grid->clientHeight(), 246);
    // Rows 1..8 end at 25 x 8 + 24 = 224 <= 246; row 9 would end at 249.
    EXPECT_EQ(grid->visibleRowCount(), 8);
    EXPECT_EQ(grid->visibleColCount(), 4);
    EXPECT_EQ(grid->cellRect(2, 3), (Rect{130, 75, 194, 99}));
    EXPECT_TRUE(grid->scrollBarVisible(TScrollBarKind::sbVertical));
    EXPECT_FALSE(grid->scrollBarVisible(TScrollBarKind::sbHorizontal));
    EXPECT_TRUE(grid->verticalScrollBar()->isVisible());
    EXPECT_FALSE(grid->horizontalScrollBar()->isVisible());
}

TEST_F(GridTest, TextsBeyondTheCountsComeBackWhenTheGridGrows)
{
    grid->setCells(4, 9, QStringLiteral("last"));
    grid->setObjects(4, 9, obj(1));
    grid->setCells(7, 14, QStringLiteral("outside"));
    grid->setRow(8);
    grid->setRowCount(5);
    grid->setColCount(3);
    EXPECT_EQ(current(), (TGridCoord{1, 4})) << "the current cell stays inside";
    EXPECT_EQ(grid->cells(4, 9), QStringLiteral("last"));
    EXPECT_EQ(grid->objects(4, 9), obj(1));

    grid->setRowCount(15);
    grid->setColCount(8);
    EXPECT_EQ(grid->cells(4, 9), QStringLiteral("last"));
    EXPECT_EQ(grid->objects(4, 9), obj(1));
    EXPECT_EQ(grid->cells(7, 14), QStringLiteral("outside"));
    EXPECT_EQ(grid->cells(6, 14), QString());
}

TEST_F(GridTest, MovesAndDeletesCarryTextsAndObjects)
{
    fill(grid, 5, 10);
    for (int r = 0; r < 10; ++r)
        grid->setObjects(2, r, obj(r));
    std::vector<std::pair<int, int>> rowMoves, colMoves;
    grid->onRowMoved = [&](TStringGrid*, int f, int t) { rowMoves.push_back({f, t}); };
    grid->onColumnMoved = [&](TStringGrid*, int f, int t) { colMoves.push_back({f, t}); };

    grid->setRow(2);
    grid->moveRow(2, 6); // rows 3..6 move up one, row 2 lands at 6
    EXPECT_EQ(grid->cells(1, 6), QStringLiteral("1,2"));
    EXPECT_EQ(grid->objects(2, 6), obj(2));
    EXPECT_EQ(grid->cells(1, 2), QStringLiteral("1,3"));
    EXPECT_EQ(grid->objects(2, 5), obj(6));
    EXPECT_EQ(grid->cells(1, 7), QStringLiteral("1,7"));
    EXPECT_EQ(grid->row(), 6) << "the current cell stays on its row";

    grid->moveColumn(1, 3);
    EXPECT_EQ(grid->cells(3, 6), QStringLiteral("1,2"));
    EXPECT_EQ(grid->cells(1, 6), QStringLiteral("2,2"));
    EXPECT_EQ(grid->objects(1, 6), obj(2)) << "objects move with their column";
    EXPECT_EQ(grid->col(), 3);

    grid->deleteRow(3); // old rows 4..9 move up; the deleted row ends just beyond the count
    EXPECT_EQ(grid->rowCount(), 9);
    EXPECT_EQ(grid->cells(0, 3), QStringLiteral("0,5"));
    EXPECT_EQ(grid->cells(0, 8), QStringLiteral("0,9"));
    EXPECT_EQ(grid->cells(0, 9), QStringLiteral("0,4"));

    grid->deleteColumn(0);
    EXPECT_EQ(grid->colCount(), 4);
    EXPECT_EQ(grid->cells(0, 3), QStringLiteral("2,5"));
    EXPECT_EQ(grid->cells(4, 3), QStringLiteral("0,5"));

    EXPECT_EQ(rowMoves, (std::vector<std::pair<int, int>>{{2, 6}, {3, 9}}));
    EXPECT_EQ(colMoves, (std::vector<std::pair<int, int>>{{1, 3}, {0, 4}}));

    EXPECT_EQ(errorOf([&] { grid->moveRow(0, 9); }), QStringLiteral("Grid index out of range"));
    EXPECT_EQ(errorOf([&] { grid->deleteRow(-1); }), QStringLiteral("Grid index out of range"));
    EXPECT_EQ(errorOf([&] { grid->moveColumn(4, 0); }), QStringLiteral("Grid index out of range"));
    EXPECT_EQ(grid->cells(0, 3), QStringLiteral("2,5")) << "a refused move changes nothing";
}

TEST_F(GridTest, CountsAndFixedCellsFollowThePlatformRules)
{
    EXPECT_EQ(errorOf([&] { grid->setFixedRows(10); }), QStringLiteral("Fixed row count must be less than row count"));
    EXPECT_EQ(errorOf([&] { grid->setFixedCols(5); }), QStringLiteral("Fixed column count must be less than column count"));
    EXPECT_EQ(errorOf([&] { grid->setFixedRows(-1); }), QStringLiteral("Grid index out of range"));
    EXPECT_EQ(errorOf([&] { grid->setRow(10); }), QStringLiteral("Grid index out of range"));
    EXPECT_EQ(grid->fixedRows(), 1);

    grid->setRow(6);
    grid->setFixedRows(3);
    EXPECT_EQ(current(), (TGridCoord{1, 3})) << "a new fixed count puts the cell on the first scrollable one";
    EXPECT_EQ(grid->topRow(), 3);

    grid->setRowCount(3);
    EXPECT_EQ(grid->fixedRows(), 2) << "one scrollable row stays";
    grid->setRowCount(0);
    EXPECT_EQ(grid->rowCount(), 1);
    EXPECT_EQ(grid->fixedRows(), 0);

    grid->setColWidths(2, 90);
    grid->setDefaultColWidth(50);
    EXPECT_EQ(grid->colWidths(2), 50) << "a new default width applies to every column";
    EXPECT_EQ(errorOf([&] { grid->setColWidths(5, 10); }), QStringLiteral("Grid index out of range"));
    EXPECT_EQ(grid->colWidths(99), 50);
}

TEST_F(GridTest, ShrinkingKeepsTheCurrentCellInsideEvenWhenSelectCellRefuses)
{
    grid->setRow(8);
    grid->onSelectCell = [](TStringGrid*, int, int, bool& can) { can = false; };
    grid->setRowCount(4);
    EXPECT_EQ(current(), (TGridCoord{1, 3}));
    EXPECT_EQ(grid->selection(), (TGridRect{1, 3, 1, 3}));
}

TEST_F(GridTest, TopRowAndLeftColAreClamped)
{
    grid->setTopRow(100);
    EXPECT_EQ(grid->topRow(), 2) << "the last row is fully visible, no further";
    EXPECT_LE(grid->cellRect(0, 9).bottom, grid->clientHeight());
    grid->setTopRow(0);
    EXPECT_EQ(grid->topRow(), 1);
    grid->setLeftCol(3);
    EXPECT_EQ(grid->leftCol(), 1) << "every column fits";

    grid->setDefaultColWidth(150);
    grid->setLeftCol(100);
    const int maxLeft = grid->leftCol();
    EXPECT_GT(maxLeft, 1);
    EXPECT_LE(grid->cellRect(4, 0).right, grid->clientWidth());
    grid->setLeftCol(maxLeft - 1);
    EXPECT_EQ(grid->leftCol(), maxLeft - 1);
    EXPECT_GT(grid->cellRect(4, 0).right, 0) << "still partly visible one column before";
}

TEST_F(GridTest, CellRectAndMouseToCellRoundTripWhenScrolled)
{
    grid->setDefaultColWidth(100);
    grid->setRowCount(40);
    grid->setLeftCol(2);
    grid->setTopRow(5);
    ASSERT_EQ(grid->leftCol(), 2);
    ASSERT_EQ(grid->topRow(), 5);
    int visible = 0;
    for (int r = 0; r < 40; ++r) {
        for (int c = 0; c < 5; ++c) {
            const Rect rect = grid->cellRect(c, r);
            const bool scrolledAway = (c == 1) || (r >= 1 && r < 5);
            if (scrolledAway) {
                EXPECT_TRUE(rect.isEmpty()) << c << "," << r;
                continue;
            }
            if (rect.isEmpty())
                continue; // below or right of the client area
            ++visible;
            SCOPED_TRACE(testing::Message() << "cell " << c << "," << r);
            int col = -2, row = -2;
            grid->mouseToCell((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2, col, row);
            EXPECT_EQ((TGridCoord{col, row}), (TGridCoord{c, r}));
            grid->mouseToCell(rect.left, rect.top, col, row);
            EXPECT_EQ((TGridCoord{col, row}), (TGridCoord{c, r}));
            grid->mouseToCell(rect.right - 1, rect.bottom - 1, col, row);
            EXPECT_EQ((TGridCoord{col, row}), (TGridCoord{c, r}));
        }
    }
    EXPECT_GE(visible, 3 * 10);
    // Column 2 follows the fixed column: 101 .. 201; row 5 follows the fixed row: 25 .. 49.
    EXPECT_EQ(grid->cellRect(2, 5), (Rect{101, 25, 201, 49}));
    // The cell reaching beyond the client area is clipped to it.
    EXPECT_EQ(grid->cellRect(4, 5).right, grid->clientWidth());
    EXPECT_EQ(grid->mouseCoord(-1, 30), (TGridCoord{-1, -1}));
    EXPECT_EQ(grid->mouseCoord(30, -1), (TGridCoord{-1, -1}));
}

TEST_F(GridTest, PointsBesideTheCellsHitNothing)
{
    // Five columns of 65 pixels end at 325; the client area goes on to the right.
    EXPECT_EQ(grid->mouseCoord(330, 30), (TGridCoord{-1, -1}));
    EXPECT_EQ(grid->mouseCoord(5, 5), (TGridCoord{0, 0}));
    EXPECT_EQ(grid->mouseCoord(64, 24), (TGridCoord{0, 0})) << "the line after a cell belongs to it";
    EXPECT_EQ(grid->mouseCoord(65, 25), (TGridCoord{1, 1}));
}

TEST_F(GridTest, DrawCellRunsOncePerVisibleCell)
{
    grid->setTopRow(2);
    grid->drawn.clear();
    (void)grid->viewport()->grab();
    std::map<std::pair<int, int>, int> expected;
    for (int c = 0; c < 5; ++c) {
        expected[{c, 0}] = 1;
        for (int r = 2; r < 10; ++r)
            expected[{c, r}] = 1;
    }
    EXPECT_EQ(grid->drawn, expected);

    // A million rows: still the fixed row and the rows in view, each once.
    grid->setRowCount(1'000'000);
    grid->setTopRow(500'000);
    grid->drawn.clear();
    (void)grid->viewport()->grab();
    std::set<int> rows;
    for (const auto& [cell, n] : grid->drawn) {
        EXPECT_EQ(n, 1);
        rows.insert(cell.second);
    }
    std::set<int> expectedRows{0};
    for (int r = 500'000; r <= 500'009; ++r) // 8 full rows and a partly visible one
        if (grid->cellRect(0, r).isEmpty() == false)
            expectedRows.insert(r);
    EXPECT_EQ(rows, expectedRows);
    EXPECT_EQ(expectedRows.size(), 10u);
}

TEST_F(GridTest, ScrollBarsFollowTheTopLeftCell)
{
    const TScrollInfo v = grid->getScrollInfo(TScrollBarKind::sbVertical);
    EXPECT_EQ(v.nMax, 127);
    EXPECT_EQ(v.nPos, 0);
    EXPECT_EQ(grid->getScrollInfo(TScrollBarKind::sbHorizontal).nMax, 0);

    grid->wmVScroll(TScrollCode::SB_LINEDOWN, 0);
    EXPECT_EQ(grid->topRow(), 2);
    EXPECT_EQ(grid->getScrollPos(TScrollBarKind::sbVertical), 127);
    EXPECT_EQ(grid->verticalScrollBar()->value(), 127);
    grid->wmVScroll(TScrollCode::SB_LINEUP, 0);
    EXPECT_EQ(grid->topRow(), 1);

    grid->setRowCount(1001); // 1000 scrollable rows
    const int maxTop = 1001 - 8;
    grid->wmVScroll(TScrollCode::SB_BOTTOM, 0);
    EXPECT_EQ(grid->topRow(), maxTop);
    grid->wmVScroll(TScrollCode::SB_THUMBPOSITION, 64);
    EXPECT_EQ(grid->topRow(), 1 + (64 * (maxTop - 1)) / 127);
    grid->wmVScroll(TScrollCode::SB_THUMBTRACK, 0);
    EXPECT_EQ(grid->topRow(), 1 + (64 * (maxTop - 1)) / 127) << "no tracking without goThumbTracking";
    grid->setOptions(grid->options() | goThumbTracking);
    grid->wmVScroll(TScrollCode::SB_THUMBTRACK, 0);
    EXPECT_EQ(grid->topRow(), 1);
    grid->wmVScroll(TScrollCode::SB_PAGEDOWN, 0);
    EXPECT_EQ(grid->topRow(), 8) << "a page is the rows that were fully visible";

    // The Qt bar's actions arrive as the same scroll codes.
    grid->verticalScrollBar()->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    EXPECT_EQ(grid->topRow(), 9);
    EXPECT_EQ(grid->verticalScrollBar()->value(), (8 * 127) / (maxTop - 1));

    grid->setRowCount(3);
    EXPECT_FALSE(grid->scrollBarVisible(TScrollBarKind::sbVertical));
    EXPECT_EQ(grid->topRow(), 1);
}

TEST_F(GridTest, DraggingTheThumbScrollsOnReleaseUnlessTracking)
{
    grid->setRowCount(1001);
    const int maxTop = 1001 - 8;
    QScrollBar* bar = grid->verticalScrollBar();
    bar->setSliderDown(true);
    bar->setSliderPosition(64);
    EXPECT_EQ(grid->topRow(), 1) << "no tracking without goThumbTracking";
    EXPECT_EQ(bar->sliderPosition(), 64) << "the thumb follows the mouse meanwhile";
    bar->setSliderDown(false);
    EXPECT_EQ(grid->topRow(), 1 + (64 * (maxTop - 1)) / 127);
    EXPECT_EQ(bar->value(), grid->getScrollPos(TScrollBarKind::sbVertical));

    grid->setOptions(grid->options() | goThumbTracking);
    bar->setSliderDown(true);
    bar->setSliderPosition(127);
    EXPECT_EQ(grid->topRow(), maxTop);
    bar->setSliderDown(false);
    EXPECT_EQ(grid->topRow(), maxTop);
}

TEST_F(GridTest, ScrollBarFunctionsActAsThePlatformsDo)
{
    const TScrollBarKind h = TScrollBarKind::sbHorizontal;
    grid->setScrollInfo(h, TScrollInfo{0, 255, 129, 300, 0});
    EXPECT_TRUE(grid->scrollBarVisible(h));
    EXPECT_EQ(grid->getScrollPos(h), 127) << "the position stops where the thumb reaches the end";
    EXPECT_EQ(grid->horizontalScrollBar()->maximum(), 127);
    EXPECT_EQ(grid->horizontalScrollBar()->pageStep(), 129);
    grid->setScrollInfo(h, TScrollInfo{0, 100, 101, 0, 0});
    EXPECT_FALSE(grid->scrollBarVisible(h)) << "nothing to scroll";
    grid->showScrollBar(h, true);
    grid->enableScrollBar(h, false);
    EXPECT_TRUE(grid->scrollBarVisible(h));
    EXPECT_FALSE(grid->horizontalScrollBar()->isEnabled());
    grid->setScrollBars(TScrollStyle::ssVertical);
    EXPECT_FALSE(grid->scrollBarVisible(h)) << "ScrollBars decides first";
}
