#include "controls/grid/column/ColumnGrid.h"
#include "support/FakeDialogs.h"
#include "tables/frame/window/GridRows.h"
#include "workspace/LangTexts.h"
#include "workspace/Workspace.h"

#include <QApplication>
#include <QWidget>
#include <gtest/gtest.h>

using namespace tables;
using controls::grid::edDataCheckBox;
using testing_support::FakeMessageBoxes;

namespace {

class GridRowsTest : public ::testing::Test {
protected:
    void SetUp() override { workspace::Default_Texts(); }

    // A grid of `rows` rows (row 0 the header) and `cols` columns, data cell (c, r) = "c:r".
    TExtColumnGrid* makeGrid(int cols, int rows)
    {
        auto* g = new TExtColumnGrid(&window);
        g->resize(600, 300);
        g->SetColCount(cols);
        g->SetRowCount(rows);
        for (int r = 1; r < rows; ++r) {
            g->SetCells(0, r, QString::number(r));
            for (int c = 1; c < cols; ++c)
                g->SetCells(c, r, QStringLiteral("%1:%2").arg(c).arg(r));
        }
        return g;
    }
    static QStringList rowOf(TExtColumnGrid* g, int r)
    {
        QStringList l;
        for (int c = 0; c < fullColCount(g); ++c)
            l << g->Cells(c, r);
        return l;
    }

    workspace::ScopedWorkspace scoped{0};
    QWidget window;
    FakeMessageBoxes boxes;
};

} // namespace

TEST_F(GridRowsTest, InsertAndDeleteShiftTextsInsideTheFixedRows)
{
    TExtColumnGrid* g = makeGrid(3, 5);
    Grid_Insert_Row(2, g);
    EXPECT_EQ(rowOf(g, 1), (QStringList{"1", "1:1", "2:1"}));
    EXPECT_EQ(rowOf(g, 2), (QStringList{"2", "", ""}));
    EXPECT_EQ(rowOf(g, 3), (QStringList{"3", "1:2", "2:2"}));
    EXPECT_EQ(rowOf(g, 4), (QStringList{"4", "1:3", "2:3"})); // old row 4 is gone
    EXPECT_EQ(g->RowCount(), 5);

    Grid_Insert_Row(4, g); // the last row: only it is emptied
    EXPECT_EQ(rowOf(g, 4), (QStringList{"4", "", ""}));
    EXPECT_EQ(rowOf(g, 3), (QStringList{"3", "1:2", "2:2"}));

    Grid_Delete_Row(1, g);
    EXPECT_EQ(rowOf(g, 1), (QStringList{"1", "", ""}));
    EXPECT_EQ(rowOf(g, 2), (QStringList{"2", "1:2", "2:2"}));
    EXPECT_EQ(rowOf(g, 4), (QStringList{"4", "", ""}));
    EXPECT_EQ(g->RowCount(), 5);
}

TEST_F(GridRowsTest, AHiddenColumnMovesAndIsCopiedWithItsRow)
{
    TExtColumnGrid* g = makeGrid(5, 5);
    g->HideColumn(3);
    ASSERT_EQ(g->ColCount(), 4);
    ASSERT_EQ(fullColCount(g), 5);
    Grid_Insert_Row(2, g);
    EXPECT_EQ(rowOf(g, 3), (QStringList{"3", "1:2", "2:2", "3:2", "4:2"}));
    EXPECT_EQ(rowOf(g, 2), (QStringList{"2", "", "", "", ""}));
    Grid_Delete_Row(2, g);
    EXPECT_EQ(rowOf(g, 2), (QStringList{"2", "1:2", "2:2", "3:2", "4:2"}));
    Grid_Copy_Row(g, 2);
    EXPECT_EQ(workspace::ws().Row_Clipboard, (QStringList{"1:2", "2:2", "3:2", "4:2"}));
    g->UnHideColumn(3);
    EXPECT_EQ(g->Cells(3, 3), QStringLiteral("3:3"));
    EXPECT_EQ(g->Cells(3, 4), QString());
}

TEST_F(GridRowsTest, PasteNeedsACopyHereOfTheSameWidthAndAsksOnlyOverARowInUse)
{
    TExtColumnGrid* six = makeGrid(7, 4);  // columns 1-6
    TExtColumnGrid* eight = makeGrid(9, 4); // columns 1-8
    eight->Columns().Items(8)->SetEditor(edDataCheckBox);
    Grid_Copy_Row(six, 1);

    Grid_Paste_Row(six, 2, false);
    Grid_Paste_Row(eight, 2, true);
    EXPECT_EQ(boxes.texts(), (QStringList{"Error!!! Copy a valid row before Paste it",
                                          "Error in the Copy values!!! Copy a valid row before Paste it"}));
    EXPECT_EQ(six->Cells(1, 2), QStringLiteral("1:2"));
    EXPECT_EQ(eight->Cells(1, 2), QStringLiteral("1:2"));

    // A row whose only text is a check box's is overwritten without a question.
    Grid_Copy_Row(eight, 1);
    for (int c = 1; c < 8; ++c)
        eight->SetCells(c, 3, QStringLiteral("  "));
    eight->SetCells(8, 3, QStringLiteral("Y"));
    boxes.clear();
    Grid_Paste_Row(eight, 3, true);
    EXPECT_TRUE(boxes.texts().isEmpty());
    EXPECT_EQ(rowOf(eight, 3), (QStringList{"3", "1:1", "2:1", "3:1", "4:1", "5:1", "6:1", "7:1", "8:1"}));

    // A row in use asks; No keeps it, Yes overwrites it.
    Grid_Paste_Row(eight, 2, true);
    EXPECT_EQ(boxes.texts(), QStringList{"Row Already used. Do you want to overwrite the values?"});
    EXPECT_EQ(eight->Cells(1, 2), QStringLiteral("1:2"));
    boxes.answer(platform::MsgAnswer::Yes);
    Grid_Paste_Row(eight, 2, true);
    EXPECT_EQ(eight->Cells(1, 2), QStringLiteral("1:1"));
}

TEST_F(GridRowsTest, EnterMovesOnAndWrapsOnlyWithTheOption)
{
    TExtColumnGrid* g = makeGrid(4, 4);
    g->MoveToCell(3, 3);
    QChar key(13);
    Grid_Enter_Next_Cell(g, key);
    EXPECT_EQ(key, QChar(13)); // option off: the key passes unchanged
    EXPECT_EQ(g->Col(), 3);

    workspace::ws().Opt_Jump_Field_Tables = 1;
    Grid_Enter_Next_Cell(g, key);
    EXPECT_TRUE(key.isNull());
    EXPECT_EQ(g->Col(), 1);
    EXPECT_EQ(g->Row(), 1); // after the last row: row 1, column 1
    key = QChar(13);
    Grid_Enter_Next_Cell(g, key);
    EXPECT_EQ(g->Col(), 2);
    EXPECT_EQ(g->Row(), 1);
    key = QChar(u'a');
    Grid_Enter_Next_Cell(g, key);
    EXPECT_EQ(key, QChar(u'a'));
}

TEST_F(GridRowsTest, ADoubleClickOnAHeaderFitsTheColumnOnlyWithTheOption)
{
    TExtColumnGrid* g = makeGrid(3, 4);
    g->SetCells(1, 2, QStringLiteral("a rather long text that needs a wide column"));
    const int before = g->colWidths(1);
    Grid_Auto_Size_Col(g, 0, 1);
    EXPECT_EQ(g->colWidths(1), before);
    workspace::ws().Opt_Double_Click_Auto_Size = 1;
    Grid_Auto_Size_Col(g, 2, 1); // not the header
    EXPECT_EQ(g->colWidths(1), before);
    Grid_Auto_Size_Col(g, 0, 1);
    EXPECT_GT(g->colWidths(1), before);
}

TEST(CopyFlags, ACopySetsOnlyItsGridAndAShowingClearsAll)
{
    CopyFlags f(3);
    f.copied(1);
    EXPECT_TRUE(f.copiedHere(1));
    f.copied(2);
    EXPECT_FALSE(f.copiedHere(1));
    EXPECT_TRUE(f.copiedHere(2));
    f.clear();
    EXPECT_FALSE(f.copiedHere(2));
}
