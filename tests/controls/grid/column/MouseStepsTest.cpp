// The press, move and release of the grid beyond a plain click: header selections, the select-all
// corner, disjunct rows and columns, fixed-cell sizing and buttons, the spin halves, the sizing
// events and hint, the selection handle, thumb hints, drag scrolling and middle-button panning.
#include "ColumnGridFixture.h"

#include "platform/grid/Keys.h"

#include <QCursor>

namespace gridtest {
namespace {

class ExposedGrid : public TExtColumnGrid {
public:
    using TExtColumnGrid::TExtColumnGrid;
    using TExtColumnGrid::wmHScroll;
    using TExtColumnGrid::wmVScroll;
    TGridRect cornerRect;
    std::vector<std::pair<TGridExportState, int>> exportSteps;
    void ExportNotification(TGridExportState state, int row) override { exportSteps.emplace_back(state, row); }
    void CornerSelectAll(TGridRect& r) override
    {
        r.Right = std::min(r.Right, 3); // a descendant may narrow what the corner selects
        cornerRect = r;
    }
};

class MouseStepsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        window.resize(640, 400);
        grid = new ExposedGrid(&window);
        grid->setGeometry(0, 0, 620, 380);
        grid->SetColCount(6);
        grid->SetRowCount(40);
        for (int r = 1; r < 40; ++r)
            grid->SetCells(0, r, QString::number(r));
        window.show();
        QApplication::setActiveWindow(&window);
        grid->setFocus();
        QCoreApplication::processEvents();
    }
    void TearDown() override
    {
        // The window closes after the test's locals are gone, and the focus leaving the grid runs
        // its exit step: a handler a test gave the grid must not outlive the test.
        grid->onExit = nullptr;
    }
    QWidget* vp() const { return grid->viewport(); }
    QPoint centre(int c, int r) const
    {
        const platform::Rect rc = grid->CellRect(c, r);
        return QPoint((rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2);
    }
    void move(QPoint p) { QTest::mouseMove(vp(), p); }
    void press(QPoint p, Qt::KeyboardModifiers m = Qt::NoModifier) { QTest::mousePress(vp(), Qt::LeftButton, m, p); }
    void release(QPoint p, Qt::KeyboardModifiers m = Qt::NoModifier) { QTest::mouseRelease(vp(), Qt::LeftButton, m, p); }
    void click(QPoint p, Qt::KeyboardModifiers m = Qt::NoModifier)
    {
        move(p);
        press(p, m);
        release(p, m);
    }
    QWidget window;
    ExposedGrid* grid = nullptr;
};

TEST_F(MouseStepsTest, RowAndColumnHeadersSelectWholeRowsAndColumns)
{
    grid->MouseActions.RowSelect = true;
    grid->MouseActions.ColSelect = true;
    move(centre(0, 3));
    EXPECT_EQ(grid->MouseSelectMode(), msRowSelect);
    EXPECT_NE(vp()->cursor().shape(), Qt::ArrowCursor);
    press(centre(0, 3));
    EXPECT_EQ(grid->Selection(), (TGridRect{1, 3, 5, 3}));
    EXPECT_EQ(grid->MoveCell(), 3);
    move(centre(0, 6)); // dragged down the row headers
    release(centre(0, 6));
    EXPECT_EQ(grid->Selection(), (TGridRect{1, 3, 5, 6}));
    move(centre(0, 8));
    press(centre(0, 8), Qt::ShiftModifier); // Shift: from the previous selection's top
    release(centre(0, 8), Qt::ShiftModifier);
    EXPECT_EQ(grid->Selection(), (TGridRect{1, 3, 5, 8}));

    move(centre(2, 0));
    EXPECT_EQ(grid->MouseSelectMode(), msColumnSelect);
    press(centre(2, 0));
    EXPECT_EQ(grid->MoveCell(), 2);
    move(centre(4, 0));
    release(centre(4, 0));
    EXPECT_EQ(grid->Selection(), (TGridRect{2, 1, 4, 39}));
    // Near a header border the column is sized, not selected.
    grid->setOptions(grid->options() | platform::goColSizing);
    move(QPoint(grid->CellRect(2, 0).right - 1, 5));
    EXPECT_EQ(grid->MouseSelectMode(), msNormalSelect);
    EXPECT_EQ(vp()->cursor().shape(), Qt::SplitHCursor);
    press(centre(3, 2));
    EXPECT_EQ(grid->MoveCell(), -1);
    release(centre(3, 2));
}

TEST_F(MouseStepsTest, TheCornerSelectsAllThroughItsHook)
{
    grid->MouseActions.AllSelect = true;
    move(centre(0, 0));
    EXPECT_EQ(grid->MouseSelectMode(), msAllSelect);
    click(centre(0, 0));
    EXPECT_EQ(grid->cornerRect, (TGridRect{1, 1, 3, 39}));
    EXPECT_EQ(grid->Selection(), (TGridRect{1, 1, 3, 39}));
    using Step = std::pair<TGridExportState, int>;
    EXPECT_EQ(grid->exportSteps,
              (std::vector<Step>{{esExportStart, -1}, {esExportNewRow, 39}, {esExportFail, -1}}));
}

TEST_F(MouseStepsTest, HeaderAndCornerSelectionsRunTheExitStep)
{
    grid->MouseActions.RowSelect = true;
    grid->MouseActions.ColSelect = true;
    grid->MouseActions.AllSelect = true;
    int exits = 0;
    grid->onExit = [&](QObject*) { ++exits; };
    click(centre(2, 2)); // a plain cell: the grid keeps the focus, no exit step
    EXPECT_EQ(exits, 0);
    move(centre(0, 0));
    click(centre(0, 0));
    EXPECT_EQ(exits, 1) << "the corner";
    move(centre(0, 4));
    click(centre(0, 4));
    EXPECT_EQ(exits, 2) << "a row header";
    move(centre(3, 0));
    click(centre(3, 0));
    EXPECT_EQ(exits, 3) << "a column header";

    // With DisjunctRowSelect the exit step turns the rows chosen by their headers into row flags.
    grid->MouseActions.SetDisjunctRowSelect(true);
    move(centre(0, 6));
    click(centre(0, 6));
    EXPECT_EQ(grid->Selection(), (TGridRect{1, 6, 5, 6}));
    for (int r = 5; r <= 7; ++r)
        EXPECT_EQ(grid->RowSelect(r), r == 6) << "row " << r;
    EXPECT_EQ(exits, 4);
}

TEST_F(MouseStepsTest, DisjunctRowsAndColumnsToggleByCtrlAndStartAfreshWithout)
{
    grid->MouseActions.SetDisjunctRowSelect(true);
    click(centre(2, 2));
    EXPECT_TRUE(grid->RowSelect(2));
    click(centre(2, 5), Qt::ControlModifier);
    EXPECT_TRUE(grid->RowSelect(2));
    EXPECT_TRUE(grid->RowSelect(5));
    move(centre(2, 2));
    press(centre(2, 2), Qt::ControlModifier);
    EXPECT_TRUE(grid->DeselectState()) << "a Ctrl press on a selected row";
    release(centre(2, 2), Qt::ControlModifier);
    EXPECT_FALSE(grid->DeselectState());
    EXPECT_FALSE(grid->RowSelect(2));
    EXPECT_TRUE(grid->RowSelect(5));
    click(centre(2, 7));
    EXPECT_FALSE(grid->RowSelect(5)) << "a plain press starts afresh";
    EXPECT_TRUE(grid->RowSelect(7));

    grid->MouseActions.SetDisjunctRowSelect(false);
    grid->MouseActions.SetDisjunctColSelect(true);
    click(centre(2, 3));
    click(centre(4, 3), Qt::ControlModifier);
    EXPECT_TRUE(grid->ColSelect(2));
    EXPECT_TRUE(grid->ColSelect(4));
    click(centre(2, 3), Qt::ControlModifier);
    EXPECT_FALSE(grid->ColSelect(2));
    EXPECT_TRUE(grid->ColSelect(4));
}

TEST_F(MouseStepsTest, AFixedColumnSizedByItsBorder)
{
    grid->MouseActions.SizeFixedCol = true;
    std::vector<int> sizes;
    int ended = -1;
    grid->OnColumnSizing = [&](TExtStringGridInput*, int col, int size) { sizes.push_back(col * 1000 + size); };
    grid->OnEndColumnSize = [&](TExtStringGrid*, int col) { ended = col; };
    grid->OnUpdateColumnSize = [](TExtStringGrid*, int, int& width) { width = std::max(width, 30); };
    grid->HintShowSizing = true;
    const int border = grid->colWidths(0) + 1;
    move(QPoint(border, 30));
    EXPECT_EQ(vp()->cursor().shape(), Qt::SplitHCursor);
    press(QPoint(border, 30));
    EXPECT_TRUE(grid->SizingFixed());
    move(QPoint(border + 21, 30));
    EXPECT_FALSE(sizes.empty());
    EXPECT_EQ(sizes.back(), border + 21);
    EXPECT_EQ(grid->GridHintText(), QStringLiteral("cw=<b>%1</b>").arg(border + 21));
    release(QPoint(border + 21, 30));
    EXPECT_FALSE(grid->SizingFixed());
    EXPECT_FALSE(grid->GridHintShown());
    EXPECT_EQ(grid->colWidths(0), border + 21);
    EXPECT_EQ(ended, 0);
    // The update event has the last word on the width.
    move(QPoint(grid->colWidths(0) + 1, 30));
    press(QPoint(grid->colWidths(0) + 1, 30));
    release(QPoint(10, 30));
    EXPECT_EQ(grid->colWidths(0), 30);
}

TEST_F(MouseStepsTest, AFixedCellAsAButtonClicksWhenReleasedOnItself)
{
    grid->FixedAsButtons = true;
    std::vector<QPoint> clicks;
    grid->OnButtonClick = [&](TExtStringGrid*, int col, int row) { clicks.emplace_back(col, row); };
    click(centre(2, 0));
    ASSERT_EQ(clicks.size(), 1u);
    EXPECT_EQ(clicks[0], QPoint(2, 0));
    move(centre(3, 0));
    press(centre(3, 0));
    move(centre(3, 4));
    release(centre(3, 4));
    EXPECT_EQ(clicks.size(), 1u) << "released elsewhere: no click";
}

TEST_F(MouseStepsTest, AnAlwaysShownSpinButtonTellsItsHalf)
{
    grid->ControlLook.SetSpinButtonsAlwaysVisible(true);
    grid->OnGetEditorType = [](TExtStringGrid*, int col, int, TEditorType& editor) {
        if (col == 2)
            editor = edSpinEdit;
    };
    const platform::Rect r = grid->CellRect(2, 3);
    click(QPoint(r.right - 5, r.bottom - 3));
    EXPECT_TRUE(grid->SpinDownClick());
    EXPECT_FALSE(grid->SpinUpClick());
    click(QPoint(r.right - 5, r.top + 3));
    EXPECT_TRUE(grid->SpinUpClick());
    click(QPoint(r.left + 5, r.top + 3));
    EXPECT_FALSE(grid->SpinUpClick());
    EXPECT_FALSE(grid->SpinDownClick());
}

TEST_F(MouseStepsTest, SizingAColumnReportsTheLiveWidthAndItsEnd)
{
    grid->setOptions(grid->options() | platform::goColSizing);
    grid->HintShowSizing = true;
    std::vector<int> sizes;
    int ended = -1;
    grid->OnColumnSizing = [&](TExtStringGridInput*, int, int size) { sizes.push_back(size); };
    grid->OnEndColumnSize = [&](TExtStringGrid*, int col) { ended = col; };
    const int before = grid->colWidths(2);
    const QPoint border(grid->CellRect(2, 0).right, 5);
    move(border);
    press(border);
    move(border + QPoint(16, 0));
    ASSERT_FALSE(sizes.empty());
    EXPECT_EQ(sizes.back(), before + 16);
    EXPECT_EQ(grid->GridHintText(), QStringLiteral("cw=<b>%1</b>").arg(before + 16));
    release(border + QPoint(16, 0));
    EXPECT_EQ(grid->colWidths(2), before + 16);
    EXPECT_EQ(ended, 2);
    EXPECT_FALSE(grid->GridHintShown());
}

TEST_F(MouseStepsTest, TheSelectionHandleEnlargesAndFillsTheSelection)
{
    grid->SetSelectionRectangle(true);
    grid->SetSelectionResizer(true);
    grid->Navigation.AllowSmartClipboard = true; // the pasted block is repeated over the selection
    grid->SetCells(2, 2, QStringLiteral("A"));
    grid->SetCells(3, 2, QStringLiteral("B"));
    grid->SetSelection(TGridRect{2, 2, 3, 2});
    QCoreApplication::processEvents();
    std::vector<std::pair<TGridRect, TGridRect>> events;
    grid->OnSelectionResize = [&](TExtStringGridInput*, const TGridRect& a, const TGridRect& b) {
        events.emplace_back(a, b);
    };
    grid->OnSelectionResized = [&](TExtStringGridInput*, const TGridRect& a, const TGridRect& b) {
        events.emplace_back(a, b);
    };
    const platform::Rect last = grid->CellRect(3, 2);
    const QPoint handle(last.right - 3, last.bottom - 3);
    move(handle);
    EXPECT_EQ(grid->MouseSelectMode(), msResizeSelect);
    EXPECT_EQ(vp()->cursor().shape(), Qt::SizeFDiagCursor);
    press(handle);
    EXPECT_EQ(grid->DropSelection(), (TGridRect{2, 2, 3, 2}));
    move(centre(3, 4));
    release(centre(3, 4));
    ASSERT_EQ(events.size(), 2u);
    EXPECT_EQ(events[0].first, (TGridRect{2, 2, 3, 2}));
    EXPECT_EQ(events[0].second, (TGridRect{2, 2, 3, 4}));
    for (int r = 2; r <= 4; ++r) {
        EXPECT_EQ(grid->Cells(2, r), QStringLiteral("A")) << r;
        EXPECT_EQ(grid->Cells(3, r), QStringLiteral("B")) << r;
    }
}

TEST_F(MouseStepsTest, ThumbDragsShowTheirRowAndScrollAlongWithScrollSynch)
{
    grid->SetRowCount(1000);
    grid->ScrollHints = shVertical;
    using platform::TScrollCode;
    grid->wmVScroll(TScrollCode::SB_THUMBTRACK, 0);
    EXPECT_EQ(grid->GridHintText(), QStringLiteral("Row : 1"));
    const int last = 1000 - grid->visibleRowCount() - 1 + 1;
    grid->wmVScroll(TScrollCode::SB_THUMBTRACK, 127);
    EXPECT_EQ(grid->GridHintText(), QStringLiteral("Row : %1").arg(last));
    EXPECT_EQ(grid->TopRow(), 1) << "without ScrollSynch or thumb tracking the view waits";
    grid->OnScrollHint = [](TExtStringGrid*, int index, QString& hint) { hint = QStringLiteral("at %1").arg(index); };
    grid->ScrollSynch = true;
    grid->wmVScroll(TScrollCode::SB_THUMBTRACK, 64);
    const int middle = (64 * (1000 - grid->visibleRowCount() - 1) + 63) / 127 + 1;
    EXPECT_EQ(grid->GridHintText(), QStringLiteral("at %1").arg(middle));
    EXPECT_EQ(grid->TopRow(), middle);
    grid->wmVScroll(TScrollCode::SB_ENDSCROLL, 64);
    EXPECT_FALSE(grid->GridHintShown());

    grid->SetColCount(60);
    grid->ScrollHints = shBoth;
    grid->wmHScroll(TScrollCode::SB_THUMBTRACK, 0);
    EXPECT_EQ(grid->GridHintText(), QStringLiteral("at 1"));
}

TEST_F(MouseStepsTest, ADragNearTheEdgesScrollsStepByStep)
{
    grid->SetTopRow(10);
    grid->DragScrollOver(QPoint(100, 5));
    EXPECT_FALSE(grid->DragScrollTimerActive()) << "off unless DragScrollOptions.Active";
    grid->DragScrollOptions.Active = true;
    grid->DragScrollOver(QPoint(100, 5));
    EXPECT_EQ(grid->DragScrollDirection(), unsigned(TExtStringGrid::dsdUp));
    EXPECT_TRUE(grid->DragScrollTimerActive());
    grid->DragScrollStep();
    EXPECT_EQ(grid->TopRow(), 9);
    bool allow = false;
    grid->OnDragScroll = [&](TExtStringGrid*, int, int, unsigned&, bool& canScroll) { canScroll = allow; };
    grid->DragScrollStep();
    EXPECT_EQ(grid->TopRow(), 9);
    allow = true;
    grid->DragScrollOver(QPoint(100, vp()->height() - 5));
    EXPECT_EQ(grid->DragScrollDirection(), unsigned(TExtStringGrid::dsdDown));
    grid->DragScrollStep();
    EXPECT_EQ(grid->TopRow(), 10);
    grid->DragScrollOver(QPoint(300, 150));
    EXPECT_FALSE(grid->DragScrollTimerActive());
}

TEST_F(MouseStepsTest, TheMiddleButtonPansUntilAnyPressOrKey)
{
    grid->MouseActions.WheelIncrement = 1;
    grid->FocusCell(2, 5);
    const QPoint at = centre(2, 5);
    QTest::mousePress(vp(), Qt::MiddleButton, Qt::NoModifier, at);
    QTest::mouseRelease(vp(), Qt::MiddleButton, Qt::NoModifier, at);
    ASSERT_TRUE(grid->Panning());
    QCursor::setPos(vp()->mapToGlobal(at + QPoint(0, 40)));
    // The pan steps on a 10 ms timer: wait for its first steps, with room for a busy machine.
    for (int waited = 0; waited < 5000 && grid->Row() <= 5; waited += 10)
        QTest::qWait(10);
    EXPECT_GT(grid->Row(), 5) << "the pointer below the press moves the current row down";
    EXPECT_EQ(grid->Col(), 2);
    QTest::keyClick(grid, Qt::Key_Shift);
    EXPECT_FALSE(grid->Panning());
    const int row = grid->Row();
    QTest::qWait(40);
    EXPECT_EQ(grid->Row(), row);
}

} // namespace
} // namespace gridtest
