// The column grid as a person at a desktop meets it in the table windows: a header row that
// stays, a current cell that never sits on it, header borders that size and fit columns, and
// the keys that leave a cell while typing.
#include "ColumnGridFixture.h"

#include <QWheelEvent>

namespace gridtest {
namespace {

// A table window's grid: a header row kept even while the table is empty, many data rows.
class TableGridTest : public ColumnGridTest {
protected:
    void SetUp() override
    {
        ColumnGridTest::SetUp();
        grid->SetFixedRowAlways(true);
        // Loading an empty file shrinks the grid to its header, then the rows come back.
        grid->SetRowCount(1);
        grid->SetRowCount(1001);
        grid->setFocus();
        QCoreApplication::processEvents();
    }

    void wheel(int notches)
    {
        const QPoint p = cellPoint(cText, grid->TopRow());
        QWheelEvent e(p, grid->viewport()->mapToGlobal(p), QPoint(), QPoint(0, -120 * notches), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
        QCoreApplication::sendEvent(grid->viewport(), &e);
        QCoreApplication::processEvents();
    }

    void expectHeaderOnScreen(const char* after)
    {
        EXPECT_EQ(grid->fixedRows(), 1) << after;
        EXPECT_GE(grid->TopRow(), 1) << after;
        EXPECT_EQ(grid->CellRect(cText, 0).top, 0) << after << ": the header row is painted at the top";
        EXPECT_GE(grid->Row(), 1) << after << ": the current cell is no header cell";
    }
};

TEST_F(TableGridTest, TheHeaderRowNeverScrollsAway)
{
    expectHeaderOnScreen("opening");
    EXPECT_EQ(grid->Row(), 1);
    EXPECT_EQ(grid->Col(), 1);
    for (int i = 0; i < 50; ++i)
        key(Qt::Key_PageDown);
    expectHeaderOnScreen("PgDn");
    EXPECT_GT(grid->TopRow(), 400);
    key(Qt::Key_End, Qt::ControlModifier);
    expectHeaderOnScreen("Ctrl+End");
    EXPECT_EQ(grid->Row(), 1000);
    wheel(-5);
    expectHeaderOnScreen("wheel");
    key(Qt::Key_Home, Qt::ControlModifier);
    for (int i = 0; i < 3; ++i)
        key(Qt::Key_Up);
    expectHeaderOnScreen("Up from the first row");
    EXPECT_EQ(grid->Row(), 1);
}

TEST_F(TableGridTest, ADragThroughTheHeaderSelectsNoHeaderCell)
{
    const QPoint from = cellPoint(cText, 0);
    const QPoint to = cellPoint(cEdit, 0);
    QTest::mousePress(grid->viewport(), Qt::LeftButton, Qt::NoModifier, from);
    QTest::mouseMove(grid->viewport(), to);
    QTest::mouseRelease(grid->viewport(), Qt::LeftButton, Qt::NoModifier, to);
    EXPECT_GE(grid->Selection().Top, 1);
    EXPECT_GE(grid->Row(), 1);
}

TEST_F(TableGridTest, HeaderBordersSizeAndFitColumnsWithTheSizingCursor)
{
    grid->SetCells(cText, 5, QStringLiteral("a text much wider than the column"));
    const int before = grid->colWidths(cText);
    const platform::Rect header = grid->CellRect(cText, 0);
    const QPoint border(header.right, 5);
    QTest::mouseMove(grid->viewport(), border);
    EXPECT_EQ(grid->viewport()->cursor().shape(), Qt::SplitHCursor);
    QTest::mouseMove(grid->viewport(), cellPoint(cText, 0));
    EXPECT_NE(grid->viewport()->cursor().shape(), Qt::SplitHCursor);

    QTest::mousePress(grid->viewport(), Qt::LeftButton, Qt::NoModifier, border);
    QTest::mouseMove(grid->viewport(), border + QPoint(40, 0));
    QTest::mouseRelease(grid->viewport(), Qt::LeftButton, Qt::NoModifier, border + QPoint(40, 0));
    EXPECT_EQ(grid->colWidths(cText), before + 40);

    const QPoint moved(grid->CellRect(cText, 0).right, 5);
    QTest::mouseDClick(grid->viewport(), Qt::LeftButton, Qt::NoModifier, moved);
    QCoreApplication::processEvents();
    EXPECT_GT(grid->colWidths(cText), before + 40) << "fitted to the wide text";

    // The last column's right border lies beside the cells: it sizes and fits too.
    const int last = grid->ColCount() - 1;
    grid->SetCells(last, 3, QStringLiteral("another rather wide text"));
    const QPoint edge(grid->CellRect(last, 0).right + 1, 5);
    const int lastBefore = grid->colWidths(last);
    QTest::mousePress(grid->viewport(), Qt::LeftButton, Qt::NoModifier, edge);
    QTest::mouseMove(grid->viewport(), edge + QPoint(-20, 0));
    QTest::mouseRelease(grid->viewport(), Qt::LeftButton, Qt::NoModifier, edge + QPoint(-20, 0));
    EXPECT_LT(grid->colWidths(last), lastBefore);
    QTest::mouseDClick(grid->viewport(), Qt::LeftButton, Qt::NoModifier, QPoint(grid->CellRect(last, 0).right + 1, 5));
    EXPECT_GT(grid->colWidths(last), lastBefore);
}

TEST_F(ColumnGridTest, RightAndLeftAtTheEdgesOfTypedTextLeaveTheCell)
{
    goTo(cText, 2);
    type("1");
    key(Qt::Key_Right);
    type("2");
    key(Qt::Key_Return);
    EXPECT_EQ(grid->Cells(cText, 2), QStringLiteral("1"));
    EXPECT_EQ(grid->Cells(cList, 2), QString()) << "a pick list takes no typed digits";

    grid->Columns().Items(cEdit)->SetEditor(edNormal);
    goTo(cEdit, 3);
    type("ab");
    key(Qt::Key_Left); // inside the text: the caret moves
    key(Qt::Key_Left);
    type("x");
    key(Qt::Key_Left);
    EXPECT_EQ(grid->Col(), cEdit);
    key(Qt::Key_Left); // at the start: the cell is left
    EXPECT_EQ(grid->Cells(cEdit, 3), QStringLiteral("xab"));
    EXPECT_EQ(grid->Col(), cList);

    goTo(cText, 4);
    type("7");
    key(Qt::Key_Right);
    EXPECT_EQ(grid->Col(), cList);
    EXPECT_EQ(grid->Cells(cText, 4), QStringLiteral("7"));
}

TEST_F(ColumnGridTest, AValueThatFailsItsCheckKeepsTheCellAtAnEdge)
{
    grid->OnCellValidate = [](TExtStringGridEdit*, int, int, QString& value, bool& valid) {
        valid = value != QLatin1String("bad");
    };
    goTo(cText, 2);
    type("bad");
    key(Qt::Key_Right);
    EXPECT_EQ(grid->Col(), cText);
    EXPECT_TRUE(grid->NormalEdit() && grid->NormalEdit()->isVisible());
}

TEST_F(ColumnGridTest, OneMoveReportsOneRowChange)
{
    std::vector<std::pair<int, int>> changes;
    grid->OnRowChanged = [&](TExtStringGrid*, int oldRow, int newRow) { changes.emplace_back(oldRow, newRow); };
    grid->SetRow(4);
    grid->SetRow(4);
    key(Qt::Key_Down);
    ASSERT_EQ(changes.size(), 2u);
    EXPECT_EQ(changes[0].second, 4);
    EXPECT_EQ(changes[1], std::make_pair(4, 5));
}

TEST_F(ColumnGridTest, DownOnTheLastRowAppendsOnlyWhenAllowed)
{
    grid->Navigation.AppendOnArrowDown = true;
    bool allow = false;
    grid->OnCanAddRow = [&](TExtStringGrid*, bool& canAdd) { canAdd = allow; };
    goTo(cText, grid->RowCount() - 1);
    const int rows = grid->RowCount();
    key(Qt::Key_Down);
    EXPECT_EQ(grid->RowCount(), rows);
    EXPECT_EQ(grid->Row(), rows - 1);
    allow = true;
    key(Qt::Key_Down);
    EXPECT_EQ(grid->RowCount(), rows + 1);
}

TEST_F(ColumnGridTest, AColumnMoveKeepsTheTopRow)
{
    grid->SetRowCount(200);
    grid->SetTopRow(120);
    grid->MoveColumn(cText, cEdit);
    EXPECT_EQ(grid->TopRow(), 120);
    EXPECT_EQ(grid->Columns().Items(cEdit)->Editor(), edNormal);
}

TEST_F(ColumnGridTest, ARatingPressRatesHalfAStarPerNinePixels)
{
    grid->setOptions(grid->options() | platform::goEditing); // a rating is set only where editing is on
    grid->AddRating(cText, 2, 5, platform::clYellow, platform::clSilver);
    std::vector<double> rates;
    grid->OnRatingChange = [&](TExtStringGrid*, int, int, double& rate, bool&) { rates.push_back(rate); };
    const platform::Rect r = grid->CellRect(cText, 2);
    for (int dx : {8, 17, 18, 45}) {
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, Qt::NoModifier, QPoint(r.left + dx, (r.top + r.bottom) / 2));
        QCoreApplication::processEvents();
    }
    EXPECT_EQ(rates, (std::vector<double>{0, 0.5, 1, 2.5}));
    EXPECT_DOUBLE_EQ(grid->Floats(cText, 2), 2.5);
}

} // namespace
} // namespace gridtest
