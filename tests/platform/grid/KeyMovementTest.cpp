#include "GridFixture.h"

using namespace gridtest;

namespace {

struct KeyStroke {
    Qt::Key key;
    Qt::KeyboardModifiers mods = Qt::NoModifier;
};

struct MoveCase {
    const char* name;
    TGridOptions options;
    TGridCoord start;
    std::vector<KeyStroke> keys;
    TGridCoord end;
    TGridRect sel;                    // expected selection
    int topRow;                       // expected top row
};

const TGridOptions kDefault = goFixedVertLine | goFixedHorzLine | goVertLine | goHorzLine | goRangeSelect;
const TGridOptions kTabs = kDefault | goTabs;
const TGridOptions kRows = kDefault | goRowSelect;
const TGridOptions kNoRange = kDefault & ~TGridOptions(goRangeSelect);

// The grid's own movement (5 x 10, 8 rows fully visible from row 1, the top row at most 2).
const MoveCase kMoves[] = {
    {"Down", kDefault, {1, 1}, {{Qt::Key_Down}}, {1, 2}, {1, 2, 1, 2}, 1},
    {"Up stops at the first scrollable row", kDefault, {1, 1}, {{Qt::Key_Up}}, {1, 1}, {1, 1, 1, 1}, 1},
    {"Right", kDefault, {1, 1}, {{Qt::Key_Right}}, {2, 1}, {2, 1, 2, 1}, 1},
    {"Right stops at the last column", kDefault, {4, 3}, {{Qt::Key_Right}}, {4, 3}, {4, 3, 4, 3}, 1},
    {"Left stops at the first scrollable column", kDefault, {1, 3}, {{Qt::Key_Left}}, {1, 3}, {1, 3, 1, 3}, 1},
    {"Down to the last row scrolls it into view", kDefault, {1, 8}, {{Qt::Key_Down}}, {1, 9}, {1, 9, 1, 9}, 2},
    {"Shift+Down twice grows the selection from its anchor", kDefault, {1, 1},
     {{Qt::Key_Down, Qt::ShiftModifier}, {Qt::Key_Down, Qt::ShiftModifier}}, {1, 3}, {1, 1, 1, 3}, 1},
    {"Shift+Right then Shift+Down", kDefault, {2, 2},
     {{Qt::Key_Right, Qt::ShiftModifier}, {Qt::Key_Down, Qt::ShiftModifier}}, {3, 3}, {2, 2, 3, 3}, 1},
    {"Shift then a plain key collapses the selection", kDefault, {2, 2},
     {{Qt::Key_Down, Qt::ShiftModifier}, {Qt::Key_Right}}, {3, 3}, {3, 3, 3, 3}, 1},
    {"Ctrl+Down scrolls, the cell stays", kDefault, {2, 3}, {{Qt::Key_Down, Qt::ControlModifier}}, {2, 3}, {2, 3, 2, 3}, 2},
    {"PgDn moves by the fully visible rows", kDefault, {1, 1}, {{Qt::Key_PageDown}}, {1, 9}, {1, 9, 1, 9}, 2},
    {"PgUp", kDefault, {1, 9}, {{Qt::Key_PageUp}}, {1, 1}, {1, 1, 1, 1}, 1},
    {"Ctrl+PgDn goes to the last fully visible row", kDefault, {3, 1}, {{Qt::Key_PageDown, Qt::ControlModifier}}, {3, 8},
     {3, 8, 3, 8}, 1},
    {"Ctrl+PgUp goes to the top row", kDefault, {3, 6}, {{Qt::Key_PageUp, Qt::ControlModifier}}, {3, 1}, {3, 1, 3, 1}, 1},
    {"Home", kDefault, {3, 4}, {{Qt::Key_Home}}, {1, 4}, {1, 4, 1, 4}, 1},
    {"End", kDefault, {1, 4}, {{Qt::Key_End}}, {4, 4}, {4, 4, 4, 4}, 1},
    {"Ctrl+Home", kDefault, {3, 4}, {{Qt::Key_Home, Qt::ControlModifier}}, {1, 1}, {1, 1, 1, 1}, 1},
    {"Ctrl+End", kDefault, {1, 1}, {{Qt::Key_End, Qt::ControlModifier}}, {4, 9}, {4, 9, 4, 9}, 2},
    {"Ctrl+Right moves a page of columns", kDefault, {1, 2}, {{Qt::Key_Right, Qt::ControlModifier}}, {4, 2}, {4, 2, 4, 2}, 1},
    {"Ctrl+Left moves a page of columns back", kDefault, {4, 2}, {{Qt::Key_Left, Qt::ControlModifier}}, {1, 2}, {1, 2, 1, 2}, 1},
    {"Shift+End selects to the last column", kDefault, {2, 2}, {{Qt::Key_End, Qt::ShiftModifier}}, {4, 2}, {2, 2, 4, 2}, 1},
    {"Without goRangeSelect Shift does not select", kNoRange, {1, 1}, {{Qt::Key_Down, Qt::ShiftModifier}}, {1, 2},
     {1, 2, 1, 2}, 1},
    {"Tab", kTabs, {2, 3}, {{Qt::Key_Tab}}, {3, 3}, {3, 3, 3, 3}, 1},
    {"Tab wraps to the next row", kTabs, {4, 3}, {{Qt::Key_Tab}}, {1, 4}, {1, 4, 1, 4}, 1},
    {"Tab wraps around the grid", kTabs, {4, 9}, {{Qt::Key_Tab}}, {1, 1}, {1, 1, 1, 1}, 1},
    {"Shift+Tab wraps to the previous row", kTabs, {1, 4}, {{Qt::Key_Tab, Qt::ShiftModifier}}, {4, 3}, {4, 3, 4, 3}, 1},
    {"Shift+Tab wraps around the grid", kTabs, {1, 1}, {{Qt::Key_Tab, Qt::ShiftModifier}}, {4, 9}, {4, 9, 4, 9}, 2},
    {"Row select: Right is the next row", kRows, {1, 3}, {{Qt::Key_Right}}, {1, 4}, {1, 4, 4, 4}, 1},
    {"Row select: Left is the previous row", kRows, {1, 3}, {{Qt::Key_Left}}, {1, 2}, {1, 2, 4, 2}, 1},
    {"Row select: Home is the first row", kRows, {1, 6}, {{Qt::Key_Home}}, {1, 1}, {1, 1, 4, 1}, 1},
    {"Row select: End is the last row", kRows, {1, 2}, {{Qt::Key_End}}, {1, 9}, {1, 9, 4, 9}, 2},
    {"Row select: Shift+Down selects rows", kRows, {1, 2}, {{Qt::Key_Down, Qt::ShiftModifier}}, {1, 3},
     {1, 2, 4, 3}, 1},
    {"Row select: Ctrl+Right does not move", kRows, {1, 2}, {{Qt::Key_Right, Qt::ControlModifier}}, {1, 2},
     {1, 2, 4, 2}, 1},
};

} // namespace

TEST_F(GridTest, BaseMovementTable)
{
    for (const MoveCase& c : kMoves) {
        SCOPED_TRACE(c.name);
        grid->setOptions(kDefault);
        grid->setTopRow(1);
        grid->setSelection(TGridRect{c.start.X, c.start.Y, c.start.X, c.start.Y});
        grid->setOptions(c.options); // row select spreads the selection over the row
        ASSERT_EQ(current(), c.start);
        for (const KeyStroke& k : c.keys)
            key(k.key, k.mods);
        EXPECT_EQ(current(), c.end);
        EXPECT_EQ(grid->selection(), c.sel);
        EXPECT_EQ(grid->topRow(), c.topRow);
    }
}

TEST_F(GridTest, PagesAreTheFullyVisibleRows)
{
    grid->setRowCount(40);
    key(Qt::Key_PageDown);
    EXPECT_EQ(current(), (TGridCoord{1, 9}));
    EXPECT_EQ(grid->topRow(), 9);
    key(Qt::Key_PageDown);
    EXPECT_EQ(current(), (TGridCoord{1, 17}));
    EXPECT_EQ(grid->topRow(), 17);
    key(Qt::Key_Down);
    key(Qt::Key_PageUp);
    EXPECT_EQ(current(), (TGridCoord{1, 10}));
    EXPECT_EQ(grid->topRow(), 9);
}

TEST_F(GridTest, TabSkipsColumnsWithoutTabStop)
{
    grid->setOptions(grid->options() | goTabs);
    grid->setTabStops(3, false);
    grid->setSelection(TGridRect{2, 3, 2, 3});
    key(Qt::Key_Tab);
    EXPECT_EQ(current(), (TGridCoord{4, 3}));
    for (int c = 0; c < 5; ++c)
        grid->setTabStops(c, false);
    key(Qt::Key_Tab);
    EXPECT_EQ(current().X, 4) << "a grid without tab stops ends its walk where it began";
}

TEST_F(GridTest, TabIsTheGridsOnlyWithGoTabsOutsideRowSelect)
{
    struct Case {
        TGridOptions extra;
        bool gridTakesTab;
    };
    const Case cases[] = {{TGridOptions(), false}, {goTabs, true}, {goTabs | goRowSelect, false}};
    for (const Case& c : cases) {
        grid->setOptions(kDefault | c.extra);
        grid->setRow(2);
        grid->setFocus();
        QApplication::processEvents();
        ASSERT_TRUE(grid->hasFocus());
        const TGridCoord before = current();
        key(Qt::Key_Tab);
        if (c.gridTakesTab) {
            EXPECT_NE(current(), before);
            EXPECT_TRUE(grid->hasFocus());
        } else {
            EXPECT_EQ(current(), before);
            EXPECT_TRUE(other->hasFocus()) << "the focus moves on";
        }
    }
}

TEST_F(GridTest, KeyEventsReachTheHandlersInOrder)
{
    std::vector<std::string> seen;
    grid->onKeyDown = [&](TStringGrid*, quint16& k, TShiftState s) {
        seen.push_back("down " + std::to_string(k) + (s.testFlag(ssShift) ? " shift" : ""));
    };
    grid->onKeyPress = [&](TStringGrid*, QChar& ch) { seen.push_back("press " + QString(ch).toStdString()); };
    grid->onKeyUp = [&](TStringGrid*, quint16& k, TShiftState) { seen.push_back("up " + std::to_string(k)); };
    key(Qt::Key_A, Qt::ShiftModifier, QStringLiteral("A"));
    EXPECT_EQ(seen, (std::vector<std::string>{"down 65 shift", "press A", "up 65"}));
    // A handler that takes the key stops the movement.
    grid->onKeyDown = [](TStringGrid*, quint16& k, TShiftState) { k = 0; };
    key(Qt::Key_Down);
    EXPECT_EQ(current(), (TGridCoord{1, 1}));
}

TEST_F(GridTest, CharactersOpenTheEditorOnlyWithGoEditing)
{
    QString pressed;
    grid->onKeyPress = [&](TStringGrid*, QChar& ch) { pressed += ch; };
    grid->setCells(1, 1, QStringLiteral("old"));
    type(grid, QStringLiteral("x"));
    QApplication::processEvents();
    EXPECT_EQ(pressed, QStringLiteral("x"));
    EXPECT_EQ(grid->inplaceEditor(), nullptr);
    EXPECT_EQ(grid->cells(1, 1), QStringLiteral("old"));

    grid->setOptions(grid->options() | goEditing);
    type(grid, QStringLiteral("y"));
    // The character reaches the new editor at once, before any key still waiting in the queue.
    EXPECT_EQ(pressed, QStringLiteral("xy")) << "the editor shows its characters to the grid's KeyPress";
    ASSERT_NE(grid->inplaceEditor(), nullptr);
    EXPECT_EQ(grid->inplaceEditor()->text(), QStringLiteral("y")) << "the character replaces the selected text";
    EXPECT_EQ(grid->cells(1, 1), QStringLiteral("y"));
}
