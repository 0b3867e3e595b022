// A click on the header sorts: the first click by the column in the initial direction, a second
// click on the same column reverses, with UndoSort it gives back the unsorted order; the header
// shows the sort glyph; border clicks, refused sorts and a grid without Show sort nothing.
#include "ColumnGridFixture.h"

#include <QImage>

namespace gridtest {
namespace {

class HeaderSortTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        window.resize(640, 400);
        grid = new TExtColumnGrid(&window);
        grid->setGeometry(0, 0, 620, 380);
        grid->SetColCount(4);
        grid->SetRowCount(6);
        grid->setOptions(grid->options() | platform::goColSizing);
        const QStringList names{"delta", "alpha", "echo", "bravo", "charlie"};
        for (int r = 1; r < 6; ++r) {
            grid->SetCells(0, r, QString::number(r));
            grid->SetCells(1, r, names[r - 1]);
            grid->SetCells(2, r, QString::number(r * 7 % 5));
        }
        grid->SetCells(1, 0, QStringLiteral("Name"));
        grid->SortSettings.SetShow(true);
        window.show();
        QApplication::setActiveWindow(&window);
        QCoreApplication::processEvents();
    }
    QWidget* vp() const { return grid->viewport(); }
    void clickHeader(int c, int dx = 0)
    {
        const platform::Rect rc = grid->CellRect(c, 0);
        const QPoint p((rc.left + rc.right) / 2 + dx, (rc.top + rc.bottom) / 2);
        QTest::mouseMove(vp(), p);
        QTest::mousePress(vp(), Qt::LeftButton, Qt::NoModifier, p);
        QTest::mouseRelease(vp(), Qt::LeftButton, Qt::NoModifier, p);
        QCoreApplication::processEvents();
    }
    QStringList names() const
    {
        QStringList out;
        for (int r = 1; r < grid->RowCount(); ++r)
            out << grid->Cells(1, r);
        return out;
    }
    QImage header(int c)
    {
        const platform::Rect rc = grid->CellRect(c, 0);
        return vp()->grab(QRect(rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top)).toImage();
    }
    QWidget window;
    TExtColumnGrid* grid = nullptr;
};

} // namespace

TEST_F(HeaderSortTest, AClickSortsAndASecondClickReverses)
{
    const QImage plain = header(1);
    int clicked = -2;
    grid->OnClickSort = [&](TExtStringGridEdit*, int col) { clicked = col; };
    clickHeader(1);
    EXPECT_EQ(names(), (QStringList{"alpha", "bravo", "charlie", "delta", "echo"}));
    EXPECT_EQ(grid->SortSettings.Column, 1);
    EXPECT_EQ(clicked, 1);
    EXPECT_TRUE(grid->IsSortGlyphRow(1, 0));
    const QImage up = header(1);
    EXPECT_NE(up, plain); // the glyph shows
    clickHeader(1);
    EXPECT_EQ(names(), (QStringList{"echo", "delta", "charlie", "bravo", "alpha"}));
    EXPECT_EQ(grid->SortSettings.Direction, sdDescending);
    EXPECT_NE(header(1), up); // the glyph turns
    // The row numbers of the fixed column stay with their rows.
    EXPECT_EQ(grid->Cells(0, 1), QStringLiteral("3"));

    // Another column starts in the initial direction again.
    clickHeader(2);
    EXPECT_EQ(grid->SortSettings.Column, 2);
    EXPECT_EQ(grid->SortSettings.Direction, sdAscending);
    QStringList numbers;
    for (int r = 1; r < grid->RowCount(); ++r)
        numbers << grid->Cells(2, r);
    EXPECT_EQ(numbers, (QStringList{"0", "1", "2", "3", "4"}));
}

TEST_F(HeaderSortTest, UndoSortGivesBackTheUnsortedOrder)
{
    grid->SortSettings.UndoSort = true;
    clickHeader(1);
    clickHeader(1);
    EXPECT_EQ(names(), (QStringList{"echo", "delta", "charlie", "bravo", "alpha"}));
    clickHeader(1); // back to the initial direction: the order before any sort
    EXPECT_EQ(names(), (QStringList{"delta", "alpha", "echo", "bravo", "charlie"}));
    EXPECT_EQ(grid->SortSettings.Column, -1);
}

TEST_F(HeaderSortTest, ClicksThatDoNotSort)
{
    const QStringList before = names();
    // A release on the column's border sizes it and does not sort.
    const platform::Rect rc = grid->CellRect(1, 0);
    const QPoint border(rc.right - 1, (rc.top + rc.bottom) / 2);
    QTest::mouseMove(vp(), border);
    QTest::mousePress(vp(), Qt::LeftButton, Qt::NoModifier, border);
    QTest::mouseRelease(vp(), Qt::LeftButton, Qt::NoModifier, border);
    EXPECT_EQ(names(), before);

    grid->OnCanSort = [](TExtStringGridInput*, int, bool& doSort) { doSort = false; };
    clickHeader(1);
    EXPECT_EQ(names(), before);
    grid->OnCanSort = nullptr;
    grid->SortSettings.SetShow(false);
    clickHeader(1);
    EXPECT_EQ(names(), before);
    grid->SortSettings.SetShow(true);
    // A click in a data cell sorts nothing either.
    const platform::Rect cell = grid->CellRect(1, 2);
    QTest::mouseClick(vp(), Qt::LeftButton, Qt::NoModifier, QPoint(cell.left + 10, cell.top + 5));
    EXPECT_EQ(names(), before);
}

} // namespace gridtest

namespace gridtest {

TEST_F(HeaderSortTest, ShiftClicksBuildTheIndexList)
{
    grid->SortSettings.IndexShow = true;
    for (int r = 1; r < 6; ++r) // column 3: delta, echo, charlie in group 0, alpha, bravo in 1
        grid->SetCells(3, r, QString::number((r + 1) % 2));
    auto click = [&](int c, Qt::KeyboardModifiers keys) {
        const platform::Rect rc = grid->CellRect(c, 0);
        const QPoint p((rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2);
        QTest::mouseMove(vp(), p);
        QTest::mousePress(vp(), Qt::LeftButton, keys, p);
        QTest::mouseRelease(vp(), Qt::LeftButton, keys, p);
        QCoreApplication::processEvents();
    };
    click(3, Qt::NoModifier);
    EXPECT_EQ(grid->SortSettings.SaveToString(), QStringLiteral("i;u3"));
    click(1, Qt::ShiftModifier); // added after column 3
    EXPECT_EQ(grid->SortSettings.SaveToString(), QStringLiteral("i;u3;u1"));
    EXPECT_EQ(names(), (QStringList{"charlie", "delta", "echo", "alpha", "bravo"}));
    EXPECT_EQ(grid->SortSettings.Column, 3);
    click(1, Qt::ShiftModifier); // a listed column turns
    EXPECT_EQ(grid->SortSettings.SaveToString(), QStringLiteral("i;u3;d1"));
    EXPECT_EQ(names(), (QStringList{"echo", "delta", "charlie", "bravo", "alpha"}));
    click(3, Qt::ControlModifier); // not the index key: the list starts over with this column
    EXPECT_EQ(grid->SortSettings.SaveToString(), QStringLiteral("i;u3"));
    click(3, Qt::NoModifier); // the only column of the list turns
    EXPECT_EQ(grid->SortSettings.SaveToString(), QStringLiteral("i;d3"));
    grid->SortSettings.IndexSortKey = ikCtrl;
    click(2, Qt::ControlModifier);
    EXPECT_EQ(grid->SortSettings.SaveToString(), QStringLiteral("i;d3;u2"));
}

TEST_F(HeaderSortTest, TheReleaseDecidesTheColumnAndThePressTheRow)
{
    // Pressed on one header cell and released on another: the column under the release sorts.
    auto drag = [&](int c1, int r1, int c2) {
        const platform::Rect a = grid->CellRect(c1, r1), b = grid->CellRect(c2, 0);
        const QPoint from((a.left + a.right) / 2, (a.top + a.bottom) / 2);
        const QPoint to((b.left + b.right) / 2, (b.top + b.bottom) / 2);
        QTest::mouseMove(vp(), from);
        QTest::mousePress(vp(), Qt::LeftButton, Qt::NoModifier, from);
        QTest::mouseMove(vp(), to);
        QTest::mouseRelease(vp(), Qt::LeftButton, Qt::NoModifier, to);
        QCoreApplication::processEvents();
    };
    const QStringList before = names();
    drag(1, 3, 1); // pressed in a data row
    EXPECT_EQ(names(), before);
    EXPECT_EQ(grid->SortSettings.Column, -1);
    drag(2, 0, 1);
    EXPECT_EQ(grid->SortSettings.Column, 1);
    EXPECT_EQ(names(), (QStringList{"alpha", "bravo", "charlie", "delta", "echo"}));
}

TEST_F(HeaderSortTest, ButtonsInTheHeaderAndATooSmallGridSortNothing)
{
    const QStringList before = names();
    // The right 16 pixels of a header with a drop-down button belong to the button.
    grid->ControlLook.FixedDropDownButton = true;
    clickHeader(1, grid->colWidths(1) / 2 - 8);
    EXPECT_EQ(names(), before);
    grid->OnCanShowFixedDropDown = [](TExtStringGridPaint*, int col, bool& canShow) { canShow = col != 1; };
    clickHeader(1, grid->colWidths(1) / 2 - 8);
    EXPECT_EQ(grid->SortSettings.Column, 1);
    grid->ControlLook.FixedDropDownButton = false;
    grid->OnCanShowFixedDropDown = nullptr;
    // So do those of a column with a filter list.
    grid->Columns().Items(2)->Filter().Add(QStringLiteral("1"));
    clickHeader(2, grid->colWidths(2) / 2 - 8);
    EXPECT_EQ(grid->SortSettings.Column, 1);
    grid->Columns().Items(2)->Filter().Clear();

    // One data row: nothing to sort.
    grid->SortSettings.Column = -1;
    grid->SetRowCount(2);
    clickHeader(1);
    EXPECT_EQ(grid->SortSettings.Column, -1);
}

} // namespace gridtest

namespace gridtest {

TEST_F(HeaderSortTest, AGridWithNodesSortsWithinTheNodes)
{
    // Rows 1 .. 5: a node over rows 1 .. 3 and one over rows 4 .. 5; a click sorts each node's
    // children and leaves the node rows in place.
    grid->SetRowCount(8);
    const QStringList texts{"N1", "c", "a", "N2", "z", "y", "x"};
    for (int i = 0; i < texts.size(); ++i)
        grid->SetCells(1, i + 1, texts[i]);
    grid->AddNode(1, 3);
    grid->AddNode(4, 4);
    clickHeader(1);
    QStringList after;
    for (int r = 1; r < grid->RowCount(); ++r)
        after << grid->Cells(1, r);
    EXPECT_EQ(after, (QStringList{"N1", "a", "c", "N2", "x", "y", "z"}));
    clickHeader(1);
    after.clear();
    for (int r = 1; r < grid->RowCount(); ++r)
        after << grid->Cells(1, r);
    EXPECT_EQ(after, (QStringList{"N1", "c", "a", "N2", "z", "y", "x"}));
}

} // namespace gridtest

namespace gridtest {

TEST_F(HeaderSortTest, MergedColumnsAreMergedAgainAfterTheSort)
{
    // Column 3 merged by equal neighbours: the sort splits it, moves whole rows and merges the
    // new neighbours.
    const QStringList groups{"g1", "g1", "g2", "g2", "g1"}; // delta, alpha, echo, bravo, charlie
    for (int r = 1; r < 6; ++r)
        grid->SetCells(3, r, groups[r - 1]);
    grid->SortSettings.AutoColumnMerge = true;
    grid->MergedColumns().Add(3);
    ASSERT_EQ(grid->CellSpan(3, 1).y(), 1); // rows 1 and 2
    clickHeader(1);
    EXPECT_EQ(names(), (QStringList{"alpha", "bravo", "charlie", "delta", "echo"}));
    QStringList column3;
    for (int r = 1; r < 6; ++r)
        column3 << grid->GridCells(3, r);
    EXPECT_EQ(column3, (QStringList{"g1", "g2", "g1", "g1", "g2"}));
    EXPECT_FALSE(grid->IsMergedCell(3, 1));
    EXPECT_EQ(grid->CellSpan(3, 3).y(), 1); // charlie and delta
    EXPECT_FALSE(grid->IsMergedCell(3, 5));
}

} // namespace gridtest

namespace gridtest {

TEST_F(HeaderSortTest, KeepHorizScrollKeepsTheLeftColumnOfARowSelectingGrid)
{
    grid->SetColCount(12);
    for (int c = 1; c < 12; ++c)
        grid->setColWidths(c, 150);
    for (int r = 1; r < 6; ++r)
        grid->SetCells(7, r, QString::number(5 - r));
    grid->setOptions(grid->options() | platform::goRowSelect);
    grid->Navigation.MoveRowOnSort = true; // the current row moves with its data
    // Kept: the sort runs inside one update, so nothing paints before the left column is back.
    int lockedCompares = 0;
    grid->OnCustomCompare = [this, &lockedCompares](TExtStringGrid*, const QString& a, const QString& b, int& res) {
        lockedCompares += grid->UpdateCount() > 0 ? 1 : 0;
        res = a.toInt() - b.toInt();
    };
    grid->OnGetFormat = [](TExtStringGrid*, int, int& style, QString&, QString&) { style = ssCustom; };
    grid->SortSettings.Column = -1;
    for (bool keep : {false, true}) {
        grid->Navigation.KeepHorizScroll = keep;
        lockedCompares = 0;
        grid->SetCol(1);
        grid->SetRow(1);
        grid->setLeftCol(6);
        QCoreApplication::processEvents();
        clickHeader(7);
        EXPECT_EQ(grid->SortSettings.Column, 7);
        EXPECT_EQ(grid->UpdateCount(), 0);
        if (keep)
            EXPECT_GT(lockedCompares, 0);
        else
            EXPECT_EQ(lockedCompares, 0);
        EXPECT_NE(grid->Row(), 1);
        if (keep)
            EXPECT_EQ(grid->leftCol(), 6);
        else
            EXPECT_LT(grid->leftCol(), 6) << "the sort shows the current cell";
        grid->SortSettings.Column = -1;
        grid->QUnSort();
    }
}

} // namespace gridtest
