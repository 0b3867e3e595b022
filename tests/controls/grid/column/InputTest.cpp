#include "ColumnGridFixture.h"

#include <QApplication>

namespace gridtest {
namespace {

TEST_F(ColumnGridTest, CheckBoxClickTogglesOnceWithoutClickCell)
{
    QStringList events;
    grid->OnCheckBoxClick = [&](TExtStringGridEdit*, int col, int row, bool state) {
        events << QStringLiteral("checkBox %1,%2 %3").arg(col).arg(row).arg(state);
    };
    grid->onClick = [&](platform::TStringGrid*) { events << "click"; };
    grid->OnClickCell = [&](TExtStringGridInput*, int row, int col) {
        events << QStringLiteral("clickCell %1,%2").arg(col).arg(row);
    };
    grid->SetCells(cCheck, 3, "N");
    click(cCheck, 3);
    EXPECT_EQ(grid->Cells(cCheck, 3), "Y");
    EXPECT_EQ(events, (QStringList{"checkBox 4,3 1", "click"}));
    events.clear();
    click(cCheck, 3);
    EXPECT_EQ(grid->Cells(cCheck, 3), "N");
    EXPECT_EQ(events, (QStringList{"checkBox 4,3 0", "click"}));
    // A read-only check box column is not toggled.
    grid->Columns().Items(cCheck)->ReadOnly = true;
    click(cCheck, 3);
    EXPECT_EQ(grid->Cells(cCheck, 3), "N");
}

TEST_F(ColumnGridTest, HeaderBorderPressFiresNoClickCellAndDoubleClickSizesTheColumn)
{
    QStringList clicks;
    grid->OnClickCell = [&](TExtStringGridInput*, int row, int col) { clicks << QStringLiteral("%1,%2").arg(col).arg(row); };
    const platform::Rect header = grid->CellRect(cList, 0);
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, Qt::NoModifier, QPoint(header.left + 2, 10));
    EXPECT_TRUE(clicks.isEmpty());
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, Qt::NoModifier, QPoint((header.left + header.right) / 2, 10));
    EXPECT_EQ(clicks, QStringList{"2,0"});

    int ended = -1;
    grid->OnEndColumnSize = [&](TExtStringGrid*, int col) { ended = col; };
    grid->SetCells(cText, 3, "a rather long text that needs room");
    const int before = grid->colWidths(cText);
    QTest::mouseDClick(grid->viewport(), Qt::LeftButton, Qt::NoModifier, QPoint(header.left + 2, 10));
    EXPECT_EQ(ended, cText);
    EXPECT_GT(grid->colWidths(cText), before);
}

TEST_F(ColumnGridTest, HomeEndTabAndSpaceKeys)
{
    goTo(cList, 3);
    key(Qt::Key_Home);
    EXPECT_EQ(grid->col(), cText); // first column that takes the focus
    key(Qt::Key_End);
    EXPECT_EQ(grid->col(), cReadOnly);
    grid->Navigation.HomeEndKey = heFirstLastCell;
    key(Qt::Key_Home);
    EXPECT_EQ(grid->col(), 1);
    EXPECT_EQ(grid->row(), 1);
    key(Qt::Key_End);
    EXPECT_EQ(grid->col(), 5);
    EXPECT_EQ(grid->row(), 9);

    // Tab walks the editable cells and wraps to the next row and round the grid.
    grid->setOptions(grid->options() | platform::goTabs);
    grid->Navigation.AdvanceAutoEdit = false;
    goTo(cCheck, 2);
    key(Qt::Key_Tab);
    EXPECT_EQ(grid->col(), cText); // the read-only column is passed over
    EXPECT_EQ(grid->row(), 3);
    goTo(cCheck, 9);
    key(Qt::Key_Tab);
    EXPECT_EQ(grid->row(), 1);
    EXPECT_EQ(grid->col(), cText);
    key(Qt::Key_Backtab, Qt::ShiftModifier);
    EXPECT_EQ(grid->row(), 9);
    EXPECT_EQ(grid->col(), cCheck);

    // Space toggles a check box only where the cell may be edited.
    grid->SetCells(cCheck, 4, "N");
    goTo(cCheck, 4);
    key(Qt::Key_Space);
    EXPECT_EQ(grid->Cells(cCheck, 4), "Y");
    grid->Columns().Items(cCheck)->ReadOnly = true;
    goTo(cCheck, 4);
    key(Qt::Key_Space);
    EXPECT_EQ(grid->Cells(cCheck, 4), "Y");
}

TEST_F(ColumnGridTest, TabWalkWithoutEditableCellsStaysWhereItBegan)
{
    grid->setOptions(grid->options() | platform::goTabs);
    goTo(cText, 4);
    ASSERT_TRUE(grid->options().testFlag(platform::goEditing));
    for (int c = 1; c < 6; ++c)
        grid->Columns().Items(c)->ReadOnly = true;
    grid->SetEditChangeFlag();
    grid->setOptions(grid->options() | platform::goEditing);
    EXPECT_TRUE(grid->TabAdvance(false));
    EXPECT_EQ(grid->col(), cText);
    EXPECT_EQ(grid->row(), 4);

    // The same for the advance after Enter.
    grid->Navigation.AdvanceOnEnter = true;
    grid->AdvanceEdit(cText, 4, false, false, true, false, false);
    EXPECT_EQ(grid->col(), cText);
    EXPECT_EQ(grid->row(), 4);
}

TEST_F(ColumnGridTest, EnterAdvancesToTheNextEditableCell)
{
    grid->Navigation.AdvanceOnEnter = true;
    goTo(cCheck, 2);
    key(Qt::Key_F2); // a check box cell has no editor
    grid->AdvanceEdit(cCheck, 2, false, false, true, false, false);
    EXPECT_EQ(grid->col(), cText); // the read-only column is skipped
    EXPECT_EQ(grid->row(), 3);
}

TEST_F(ColumnGridTest, UpdateLockNestsAndRepaintsOnceAlsoAcrossHiding)
{
    QCoreApplication::processEvents();
    grid->viewport()->repaint();
    const int p0 = grid->PaintCount();
    grid->BeginUpdate();
    grid->BeginUpdate();
    grid->SetCells(cText, 1, "one");
    grid->viewport()->update();
    QCoreApplication::processEvents();
    grid->EndUpdate();
    QCoreApplication::processEvents();
    EXPECT_EQ(grid->PaintCount(), p0);
    EXPECT_TRUE(grid->LockUpdate());
    grid->EndUpdate();
    QCoreApplication::processEvents();
    grid->viewport()->repaint();
    EXPECT_GT(grid->PaintCount(), p0);
    EXPECT_FALSE(grid->LockUpdate());

    // Hidden in between: the count still goes down, the repaint waits for the grid to show.
    grid->BeginUpdate();
    grid->hide();
    grid->EndUpdate();
    EXPECT_EQ(grid->UpdateCount(), 0);
    grid->show();
    QCoreApplication::processEvents();
    const int p1 = grid->PaintCount();
    grid->viewport()->repaint();
    EXPECT_GT(grid->PaintCount(), p1);
    // An EndUpdate without BeginUpdate leaves the count at 0.
    grid->EndUpdate();
    EXPECT_EQ(grid->UpdateCount(), 0);
}

TEST_F(ColumnGridTest, WheelNotchMovesByTheWheelLinesClamped)
{
    const int lines = QApplication::wheelScrollLines();
    goTo(cText, 2);
    QWheelEvent down(QPointF(50, 50), grid->viewport()->mapToGlobal(QPointF(50, 50)), QPoint(), QPoint(0, -120),
                     Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(grid->viewport(), &down);
    EXPECT_EQ(grid->row(), std::min(9, 2 + lines));
    for (int i = 0; i < 5; ++i)
        QApplication::sendEvent(grid->viewport(), &down);
    EXPECT_EQ(grid->row(), 9);
    grid->MouseActions.WheelIncrement = 1;
    QWheelEvent up(QPointF(50, 50), grid->viewport()->mapToGlobal(QPointF(50, 50)), QPoint(), QPoint(0, 120),
                   Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(grid->viewport(), &up);
    EXPECT_EQ(grid->row(), 8);
    for (int i = 0; i < 20; ++i)
        QApplication::sendEvent(grid->viewport(), &up);
    EXPECT_EQ(grid->row(), 1);
}

TEST_F(ColumnGridTest, AnchorsOpenOnlyWebAndMailLinksAndCellLinksMoveInside)
{
    QList<QUrl> opened;
    grid->UrlOpener = [&](const QUrl& url) {
        opened << url;
        return true;
    };
    grid->SetURLShow(true);
    grid->Columns().Items(cReadOnly)->ReadOnly = false;
    const struct {
        const char* text;
        bool opens;
    } cases[] = {{"http://example.com/x", true},   {"https://example.com", true}, {"mailto:a@b.c", true},
                 {"file:///etc/passwd", false},    {"ftp://host/file", false},    {"smb://server/share", false}};
    int row = 1;
    for (const auto& c : cases) {
        opened.clear();
        grid->SetCells(cText, row, QString::fromUtf8(c.text));
        click(cText, row);
        EXPECT_EQ(opened.size(), c.opens ? 1 : 0) << c.text;
        ++row;
    }
    grid->SetCells(cText, row, "cell://R8C3");
    click(cText, row);
    EXPECT_EQ(grid->row(), 8);
    EXPECT_EQ(grid->col(), 3);
}

TEST_F(ColumnGridTest, SelectionChangedOnReleaseOnlyWhenItChanged)
{
    int changes = 0;
    grid->OnSelectionChanged = [&](TExtStringGridPaint*, int, int, int, int) { ++changes; };
    click(cReadOnly, 4);
    const int afterFirst = changes;
    EXPECT_GE(afterFirst, 1);
    click(cReadOnly, 4);
    EXPECT_EQ(changes, afterFirst);
}

TEST_F(ColumnGridTest, ReleaseOnAHeaderFiresClickAndSorts)
{
    grid->SetCells(cText, 1, "b");
    grid->SetCells(cText, 2, "a");
    grid->SortSettings.Show = true;
    int clicks = 0;
    grid->onClick = [&](platform::TStringGrid*) { ++clicks; };
    const platform::Rect header = grid->CellRect(cText, 0);
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, Qt::NoModifier, QPoint((header.left + header.right) / 2, 10));
    EXPECT_GE(clicks, 1);
    // Empty cells sort first, then "a" and "b".
    EXPECT_EQ(grid->Cells(cText, grid->RowCount() - 2), "a");
    EXPECT_EQ(grid->Cells(cText, grid->RowCount() - 1), "b");
}

} // namespace
} // namespace gridtest

namespace gridtest {
namespace {

TEST_F(ColumnGridTest, WindowResizeStretchesOnlyAValidStretchColumnAndSizesTheGridWithTheWindow)
{
    auto widths = [&] {
        QList<int> w;
        for (int c = 0; c < grid->ColCount(); ++c)
            w << grid->colWidths(c);
        return w;
    };
    // Stretch off: the window's size leaves the columns alone, whatever the stretch column says;
    // the grid follows the window's size.
    grid->SizeWithForm = true;
    grid->ColumnSize.StretchColumn = 20;
    QList<int> before = widths();
    window.resize(700, 420);
    QCoreApplication::processEvents();
    EXPECT_EQ(widths(), before);
    EXPECT_EQ(grid->size(), QSize(680, 400));

    // Stretch on with a column the grid does not have: nothing stretches, nothing is thrown.
    grid->ColumnSize.StretchColumn = -1;
    grid->ColumnSize.SetStretch(true);
    grid->ColumnSize.StretchColumn = 20;
    before = widths();
    const QSize gridBefore = grid->size();
    window.resize(760, 440);
    QCoreApplication::processEvents();
    EXPECT_EQ(widths(), before);
    EXPECT_EQ(grid->size(), gridBefore + QSize(60, 20));

    // A valid stretch column takes the room the window gained.
    grid->ColumnSize.StretchColumn = cText;
    const int textBefore = grid->colWidths(cText);
    window.resize(820, 440);
    QCoreApplication::processEvents();
    EXPECT_GT(grid->colWidths(cText), textBefore);
    EXPECT_EQ(grid->colWidths(cList), before[cList]);
}

TEST_F(ColumnGridTest, CellHintShowsTheCellTextWithoutTags)
{
    grid->HintShowCells = true;
    grid->SetCells(cText, 2, "<b>hot</b> water");
    EXPECT_EQ(grid->BuildCellHint(cellPoint(cText, 2)), "hot water");
    grid->HTMLHint = true;
    EXPECT_EQ(grid->BuildCellHint(cellPoint(cText, 2)), "<b>hot</b> water");
    // With a column hidden the hint is that of the cell under the mouse, not of its neighbour.
    grid->SetCells(cList, 2, "Beta");
    grid->HideColumn(cText);
    EXPECT_EQ(grid->BuildCellHint(cellPoint(cText, 2)), "Beta");
    grid->OnGridHint = [](TExtStringGrid*, int row, int col, QString& hint) { hint = QStringLiteral("%1/%2").arg(col).arg(row); };
    EXPECT_EQ(grid->BuildCellHint(cellPoint(cText, 2)), QStringLiteral("%1/2").arg(cList));
}

} // namespace
} // namespace gridtest
