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
