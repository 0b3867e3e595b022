#include "GridFixture.h"

using namespace gridtest;

// Column 1 spans x 65..128 and its line is x 129; row 0 spans y 0..23.

TEST_F(GridTest, AHeaderBorderDragSizesAColumn)
{
    grid->setOptions(grid->options() | goColSizing);
    hover(QPoint(129, 10));
    EXPECT_EQ(grid->viewport()->cursor().shape(), Qt::SplitHCursor);
    hover(QPoint(100, 10));
    EXPECT_NE(grid->viewport()->cursor().shape(), Qt::SplitHCursor);

    press(QPoint(127, 10)); // within the zone, 2 pixels left of the border
    EXPECT_EQ(grid->gridState(), TGridState::gsColSizing);
    dragTo(QPoint(147, 10));
    release(QPoint(147, 10));
    EXPECT_EQ(grid->gridState(), TGridState::gsNormal);
    EXPECT_EQ(grid->colWidths(1), 64 + 20);
    EXPECT_EQ(grid->colWidths(2), 64);
    EXPECT_EQ(current(), (TGridCoord{1, 1})) << "sizing selects nothing";

    // A drag that would leave a column of one pixel or less is ignored.
    press(QPoint(65 + 84, 10));
    release(QPoint(60, 10));
    EXPECT_EQ(grid->colWidths(1), 84);
}

TEST_F(GridTest, SizingZonesNeedTheOptionAndTheHeader)
{
    struct Case {
        const char* name;
        TGridOptions extra;
        QPoint at;
        TGridState state;
    };
    const Case cases[] = {
        {"no goColSizing", TGridOptions(), {129, 10}, TGridState::gsNormal},
        {"border in a data row", goColSizing, {129, 40}, TGridState::gsSelecting},
        {"3 pixels left of the border", goColSizing, {126, 10}, TGridState::gsColSizing},
        {"4 pixels left of the border", goColSizing, {125, 10}, TGridState::gsNormal},
        {"4 pixels right of the border", goColSizing, {133, 10}, TGridState::gsColSizing},
        {"5 pixels right of the border", goColSizing, {134, 10}, TGridState::gsNormal},
        {"fixed column border", goColSizing, {64, 10}, TGridState::gsNormal},
        {"row border in the row header", goRowSizing, {10, 49}, TGridState::gsRowSizing},
        {"row border in a data column", goRowSizing, {100, 49}, TGridState::gsSelecting},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        grid->setOptions(goFixedVertLine | goFixedHorzLine | goVertLine | goHorzLine | goRangeSelect | c.extra);
        press(c.at);
        EXPECT_EQ(grid->gridState(), c.state);
        release(c.at);
        grid->setDefaultColWidth(64);
        grid->setDefaultRowHeight(24);
    }
}

TEST_F(GridTest, ARowHeaderBorderDragSizesARow)
{
    grid->setOptions(grid->options() | goRowSizing);
    press(QPoint(10, 49));
    dragTo(QPoint(10, 60));
    release(QPoint(10, 60));
    EXPECT_EQ(grid->rowHeights(1), 24 + 11);
    EXPECT_EQ(grid->rowHeights(2), 24);
}

TEST_F(GridTest, PressAndDragSelectARange)
{
    int clicks = 0;
    std::vector<std::string> events;
    grid->onClick = [&](TStringGrid*) { ++clicks; };
    grid->onMouseDown = [&](TStringGrid*, TMouseButton, TShiftState s, int, int) {
        events.push_back(s.testFlag(ssLeft) ? "down left" : "down");
    };
    grid->onMouseMove = [&](TStringGrid*, TShiftState, int, int) { events.push_back("move"); };
    grid->onMouseUp = [&](TStringGrid*, TMouseButton, TShiftState, int, int) { events.push_back("up"); };
    press(centre(1, 1));
    EXPECT_EQ(grid->gridState(), TGridState::gsSelecting);
    EXPECT_TRUE(grid->windowTimerActive(TStringGrid::kScrollTimerId));
    EXPECT_EQ(grid->windowTimerInterval(TStringGrid::kScrollTimerId), 60);
    dragTo(centre(3, 4));
    EXPECT_EQ(grid->anchor(), (TGridCoord{3, 4}));
    EXPECT_EQ(current(), (TGridCoord{1, 1})) << "the drag moves the anchor";
    release(centre(3, 4));
    EXPECT_EQ(grid->selection(), (TGridRect{1, 1, 3, 4}));
    EXPECT_EQ(grid->gridState(), TGridState::gsNormal);
    EXPECT_FALSE(grid->windowTimerActive(TStringGrid::kScrollTimerId));
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(events, (std::vector<std::string>{"down left", "move", "move", "up"}))
        << "the release runs the move step once more";
    grid->onMouseDown = nullptr;
    grid->onMouseMove = nullptr;
    grid->onMouseUp = nullptr;

    press(centre(2, 6), Qt::ShiftModifier);
    release(centre(2, 6));
    EXPECT_EQ(grid->selection(), (TGridRect{1, 1, 2, 6})) << "Shift+press moves the anchor there";

    click(centre(4, 2));
    EXPECT_EQ(grid->selection(), (TGridRect{4, 2, 4, 2}));

    grid->setOptions(grid->options() & ~TGridOptions(goRangeSelect));
    press(centre(1, 1));
    dragTo(centre(2, 3));
    release(centre(2, 3));
    EXPECT_EQ(grid->selection(), (TGridRect{2, 3, 2, 3})) << "without goRangeSelect the cell follows the mouse";
}

TEST_F(GridTest, PressesOutsideTheCellsAndOnFixedCellsSelectNothing)
{
    click(QPoint(350, 30)); // right of the last column
    EXPECT_EQ(current(), (TGridCoord{1, 1}));
    click(QPoint(10, 80)); // row header
    EXPECT_EQ(current(), (TGridCoord{1, 1}));
    EXPECT_EQ(grid->gridState(), TGridState::gsNormal);
}

TEST_F(GridTest, EditingGridsShowTheEditorOnTheSecondPress)
{
    grid->setOptions(grid->options() | goEditing);
    int clicks = 0;
    grid->onClick = [&](TStringGrid*) { ++clicks; };
    click(centre(2, 2));
    EXPECT_EQ(current(), (TGridCoord{2, 2}));
    EXPECT_EQ(grid->gridState(), TGridState::gsNormal) << "no range selection in an editing grid";
    EXPECT_FALSE(grid->inplaceEditor() && grid->inplaceEditor()->isVisible());
    click(centre(2, 2));
    ASSERT_NE(grid->inplaceEditor(), nullptr);
    EXPECT_TRUE(grid->inplaceEditor()->isVisible());
    EXPECT_EQ(clicks, 2);
}

TEST_F(GridTest, TheScrollTimerExtendsASelectionBeyondTheView)
{
    grid->setRowCount(30);
    press(centre(1, 2));
    const int below = grid->clientHeight() + 20;
    dragTo(QPoint(centre(1, 2).x(), below));
    const TGridCoord before = grid->anchor();
    for (int i = 0; i < 10; ++i)
        grid->tick();
    EXPECT_EQ(grid->anchor().Y, before.Y + 10);
    EXPECT_GT(grid->topRow(), 1) << "the anchor is kept in view";
    EXPECT_LE(grid->cellRect(1, grid->anchor().Y).bottom, grid->clientHeight());
    dragTo(QPoint(centre(1, 2).x(), -10));
    const int top = grid->anchor().Y;
    grid->tick();
    EXPECT_EQ(grid->anchor().Y, top - 1) << "above the scrollable rows it runs back";
    release(QPoint(centre(1, 2).x(), -10));
    EXPECT_FALSE(grid->windowTimerActive(TStringGrid::kScrollTimerId));
    const int settled = grid->anchor().Y;
    grid->tick();
    EXPECT_EQ(grid->anchor().Y, settled) << "no ticks after the release";
}

TEST_F(GridTest, AColumnHeaderDragMovesTheColumn)
{
    grid->setOptions(grid->options() | goColMoving | goRowMoving);
    for (int c = 0; c < 5; ++c)
        grid->setCells(c, 0, QStringLiteral("H%1").arg(c));
    std::vector<std::pair<int, int>> moved;
    grid->onColumnMoved = [&](TStringGrid*, int f, int t) { moved.push_back({f, t}); };
    press(centre(1, 0));
    EXPECT_EQ(grid->gridState(), TGridState::gsColMoving);
    dragTo(centre(3, 0));
    release(centre(3, 0));
    EXPECT_EQ(moved, (std::vector<std::pair<int, int>>{{1, 3}}));
    EXPECT_EQ(grid->cells(3, 0), QStringLiteral("H1"));
    EXPECT_EQ(grid->cells(1, 0), QStringLiteral("H2"));
    EXPECT_EQ(grid->gridState(), TGridState::gsNormal);

    // Held beyond the right edge, the timer scrolls and carries the drop place along.
    grid->setDefaultColWidth(150);
    press(centre(1, 0));
    ASSERT_EQ(grid->gridState(), TGridState::gsColMoving);
    dragTo(QPoint(grid->clientWidth() + 5, 10));
    for (int i = 0; i < 5; ++i)
        grid->tick();
    EXPECT_GT(grid->leftCol(), 1);
    EXPECT_EQ(grid->dropPlace(), 4);
    release(QPoint(grid->clientWidth() + 5, 10));
    EXPECT_EQ(grid->cells(4, 0), QStringLiteral("H2"));
    grid->setDefaultColWidth(64);
    grid->setLeftCol(1);

    // Row headers move rows; a release on the start place moves nothing.
    grid->setCells(0, 2, QStringLiteral("R2"));
    press(centre(0, 2));
    EXPECT_EQ(grid->gridState(), TGridState::gsRowMoving);
    dragTo(centre(0, 5));
    release(centre(0, 5));
    EXPECT_EQ(grid->cells(0, 5), QStringLiteral("R2"));
    press(centre(0, 5));
    release(centre(0, 5));
    EXPECT_EQ(grid->cells(0, 5), QStringLiteral("R2"));
}

TEST_F(GridTest, TheWheelMovesTheCurrentRowOnePerNotch)
{
    QWheelEvent down(QPointF(100, 100), QPointF(100, 100), QPoint(), QPoint(0, -120), Qt::NoButton, Qt::NoModifier,
                     Qt::NoScrollPhase, false);
    QApplication::sendEvent(grid->viewport(), &down);
    EXPECT_EQ(current(), (TGridCoord{1, 2}));
    QWheelEvent half(QPointF(100, 100), QPointF(100, 100), QPoint(), QPoint(0, -60), Qt::NoButton, Qt::NoModifier,
                     Qt::NoScrollPhase, false);
    QApplication::sendEvent(grid->viewport(), &half);
    EXPECT_EQ(current(), (TGridCoord{1, 2})) << "half a notch waits for the other half";
    QApplication::sendEvent(grid->viewport(), &half);
    EXPECT_EQ(current(), (TGridCoord{1, 3}));
    QWheelEvent up(QPointF(100, 100), QPointF(100, 100), QPoint(), QPoint(0, 360), Qt::NoButton, Qt::NoModifier,
                   Qt::NoScrollPhase, false);
    QApplication::sendEvent(grid->viewport(), &up);
    EXPECT_EQ(current(), (TGridCoord{1, 1})) << "not into the fixed row";

    grid->onMouseWheelDown = [](TStringGrid*, TShiftState, QPoint, bool& handled) { handled = true; };
    QApplication::sendEvent(grid->viewport(), &down);
    EXPECT_EQ(current(), (TGridCoord{1, 1})) << "the event may take the wheel";
}

TEST_F(GridTest, ADoubleClickRunsDblClick)
{
    int dbl = 0;
    grid->onDblClick = [&](TStringGrid*) { ++dbl; };
    const QPoint p = centre(2, 2);
    press(p);
    release(p);
    mouse(QEvent::MouseButtonDblClick, p, Qt::LeftButton, Qt::LeftButton);
    release(p);
    EXPECT_EQ(dbl, 1);
    EXPECT_EQ(current(), (TGridCoord{2, 2}));
}

namespace {

// Pixels of one screen column (or row) that differ between two pictures.
int changedAlong(const QImage& a, const QImage& b, bool vertical, int at)
{
    int n = 0;
    const int len = vertical ? a.height() : a.width();
    for (int i = 0; i < len; ++i) {
        const QPoint p = vertical ? QPoint(at, i) : QPoint(i, at);
        n += a.pixel(p) != b.pixel(p) ? 1 : 0;
    }
    return n;
}

} // namespace

TEST_F(GridTest, SizingLinesAndDropMarksShowWhereTheyAre)
{
    grid->setOptions(grid->options() | goColSizing | goColMoving);
    const QImage before = grid->viewport()->grab().toImage();
    press(QPoint(129, 10));
    dragTo(QPoint(160, 10));
    const QImage sizing = grid->viewport()->grab().toImage();
    EXPECT_GT(changedAlong(before, sizing, true, 160), 40) << "a dotted line at the new border";
    EXPECT_EQ(changedAlong(before, sizing, true, 300), 0);
    release(QPoint(160, 10));

    const QImage sized = grid->viewport()->grab().toImage();
    press(centre(1, 0));
    dragTo(centre(3, 0));
    const QImage moving = grid->viewport()->grab().toImage();
    const int mark = grid->cellRect(3, 0).right; // dropped right of column 3
    EXPECT_GT(changedAlong(sized, moving, true, mark), 40);
    EXPECT_EQ(changedAlong(sized, moving, true, mark - 20), 0);
    release(centre(3, 0));
}
