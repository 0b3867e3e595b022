#include "controls/grid/base/BaseGrid.h"
#include "controls/grid/base/UndoRedo.h"

#include <gtest/gtest.h>
#include <memory>

using namespace controls::grid;

namespace {

struct Fixture : ::testing::Test {
    TBaseGrid grid;
    TExtGridUndoRedo undo;
    Fixture()
    {
        grid.setColCount(5);
        grid.setRowCount(5);
        grid.SetUndoRedo(&undo);
    }
    // A change as the grid's editing registers it.
    void change(int col, int row, const QString& value)
    {
        undo.RegisterChange(col, row, grid.Cells(col, row), value);
        grid.SetCells(col, row, value);
    }
};

} // namespace

TEST_F(Fixture, SingleStepsBackAndForth)
{
    EXPECT_EQ(undo.Grid(), &grid);
    change(1, 1, QStringLiteral("a"));
    change(2, 1, QStringLiteral("b"));
    change(3, 1, QStringLiteral("c"));
    undo.Undo();
    undo.Undo();
    EXPECT_EQ(undo.Level(), 1);
    EXPECT_TRUE(undo.CanRedo());
    EXPECT_EQ(grid.Cells(2, 1), QString());
    EXPECT_EQ(QPoint(grid.col(), grid.row()), QPoint(2, 1)); // the undone cell is current
    undo.Redo();
    EXPECT_EQ(grid.Cells(2, 1), QStringLiteral("b"));
    EXPECT_EQ(grid.Cells(3, 1), QString());
    EXPECT_EQ(undo.Level(), 2);
}

TEST_F(Fixture, SequenceUndoesAndRedoesAsOne)
{
    int undone = 0;
    undo.OnUndo = [&](TExtGridUndoRedo*, TBaseGrid* g, int, int, const QString& orig, const QString& now) {
        EXPECT_EQ(g, &grid);
        EXPECT_FALSE(orig.isEmpty());
        EXPECT_TRUE(now.isEmpty());
        ++undone;
    };
    undo.StartSequence();
    change(1, 2, QStringLiteral("x"));
    change(2, 2, QStringLiteral("y"));
    undo.StopSequence();
    EXPECT_EQ(undo.Count(), 4);
    undo.Undo();
    EXPECT_EQ(undone, 2);
    EXPECT_EQ(grid.Cells(1, 2), QString());
    EXPECT_EQ(grid.Cells(2, 2), QString());
    EXPECT_EQ(undo.Level(), 0);
    EXPECT_FALSE(undo.CanUndo());
    undo.Redo();
    EXPECT_EQ(grid.Cells(1, 2), QStringLiteral("x"));
    EXPECT_EQ(grid.Cells(2, 2), QStringLiteral("y"));
    EXPECT_EQ(undo.Level(), 4);
}

TEST_F(Fixture, MaxLevelKeepsTheNewestItems)
{
    undo.MaxLevel = 2;
    change(1, 1, QStringLiteral("1"));
    change(1, 1, QStringLiteral("2"));
    change(1, 1, QStringLiteral("3"));
    EXPECT_EQ(undo.Count(), 2);
    EXPECT_EQ(undo.Level(), 2);
    EXPECT_EQ(undo.Items(0).Value, QStringLiteral("2"));
}

TEST_F(Fixture, ANewChangeAfterAnUndoIsAppended)
{
    change(1, 1, QStringLiteral("a"));
    change(2, 1, QStringLiteral("b"));
    undo.Undo();
    change(3, 3, QStringLiteral("c"));
    EXPECT_EQ(undo.Count(), 3);
    EXPECT_EQ(undo.Level(), 3);
    undo.Undo();
    EXPECT_EQ(grid.Cells(3, 3), QString());
    grid.SetCells(2, 1, QStringLiteral("again"));
    undo.Undo(); // the undone change's text is written once more
    EXPECT_EQ(grid.Cells(2, 1), QString());
}

TEST_F(Fixture, ResetEmptiesTheListAndTheLevel)
{
    change(1, 1, QStringLiteral("a"));
    change(2, 1, QStringLiteral("b"));
    undo.Reset();
    EXPECT_EQ(undo.Count(), 0);
    EXPECT_EQ(undo.Level(), 0);
    EXPECT_FALSE(undo.CanUndo());
    EXPECT_FALSE(undo.CanRedo());
    undo.Undo();
    EXPECT_EQ(grid.Cells(2, 1), QStringLiteral("b"));
}

TEST_F(Fixture, MarkersNeverWriteACell)
{
    // An open sequence, and a sequence whose start fell off the limit.
    change(1, 1, QStringLiteral("a"));
    undo.StartSequence();
    change(2, 1, QStringLiteral("b"));
    undo.Undo(); // b
    undo.Undo(); // the start marker: stepped over
    EXPECT_EQ(undo.Level(), 1);
    EXPECT_EQ(grid.Cells(1, 1), QStringLiteral("a"));
    undo.Undo();
    EXPECT_EQ(grid.Cells(1, 1), QString());
    EXPECT_EQ(undo.Level(), 0);

    TExtGridUndoRedo limited;
    limited.SetGrid(&grid);
    limited.MaxLevel = 3;
    limited.StartSequence();
    limited.RegisterChange(1, 3, QString(), QStringLiteral("p"));
    limited.RegisterChange(2, 3, QString(), QStringLiteral("q"));
    limited.RegisterChange(3, 3, QString(), QStringLiteral("r")); // the start marker goes
    limited.StopSequence();
    grid.SetCells(1, 3, QStringLiteral("p"));
    grid.SetCells(2, 3, QStringLiteral("q"));
    grid.SetCells(3, 3, QStringLiteral("r"));
    ASSERT_FALSE(limited.Items(0).SequenceStart);
    limited.Undo();
    EXPECT_EQ(limited.Level(), 0);
    EXPECT_EQ(grid.Cells(1, 3), QString());
    EXPECT_EQ(grid.Cells(2, 3), QString());
    limited.Redo();
    EXPECT_EQ(grid.Cells(1, 3), QStringLiteral("p"));
    EXPECT_EQ(grid.Cells(2, 3), QString()); // redo of a change that lost its start runs singly
}

TEST(UndoRedoLinkTest, EitherSideGoingAwayClearsTheLink)
{
    auto grid = std::make_unique<TBaseGrid>();
    auto undo = std::make_unique<TExtGridUndoRedo>();
    grid->SetUndoRedo(undo.get());
    undo.reset();
    EXPECT_EQ(grid->UndoRedo(), nullptr);
    undo = std::make_unique<TExtGridUndoRedo>();
    grid->SetUndoRedo(undo.get());
    undo->RegisterChange(1, 1, QString(), QStringLiteral("x"));
    grid.reset();
    EXPECT_EQ(undo->Grid(), nullptr);
    undo->Undo(); // nothing to write to: ignored
    EXPECT_EQ(undo->Level(), 1);
}
