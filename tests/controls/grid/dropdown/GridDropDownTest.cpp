#include "DropDownFixture.h"
#include "controls/grid/dropdown/grid/GridDropDown.h"
#include <QHelpEvent>

#include <algorithm>
#include <vector>

using namespace dropdown_test;
using namespace platform;

namespace {

class GridDropDownTest : public DropDownWindowTest {
protected:
    void SetUp() override
    {
        DropDownWindowTest::SetUp();
        gd = new TCustomExtGridDropDown(&window);
        Put(gd, 300, 200);
        for (const char* h : {"City", "Country"})
            gd->Columns().Add()->Header = QString::fromLatin1(h);
    }
    void AddItems(const QList<QStringList>& rows)
    {
        gd->BeginUpdate();
        for (const QStringList& r : rows)
            gd->Items().Add()->Text = r;
        gd->EndUpdate();
    }
    void Cities()
    {
        AddItems({{"Oslo", "NO"}, {"Berlin", "DE"}, {"Cabo", "CV"}, {"Abuja", "NG"}, {"Bern", "CH"}});
    }
    // A click on a cell of the popup's grid.
    void ClickCell(int col, int row, Qt::KeyboardModifiers mods = Qt::NoModifier)
    {
        auto* g = gd->GetGrid();
        const Rect r = g->cellRect(col, row);
        const QPoint p(r.left + 6, r.top + 4);
        QMouseEvent press(QEvent::MouseButtonPress, QPointF(p), g->viewport()->mapToGlobal(QPointF(p)),
                          Qt::LeftButton, Qt::LeftButton, mods);
        QApplication::sendEvent(g->viewport(), &press);
        QMouseEvent release(QEvent::MouseButtonRelease, QPointF(p), g->viewport()->mapToGlobal(QPointF(p)),
                            Qt::LeftButton, Qt::NoButton, mods);
        QApplication::sendEvent(g->viewport(), &release);
    }
    // A press, moves with the button held and a release on the popup's grid (viewport points).
    void Drag(const std::vector<QPoint>& path)
    {
        QWidget* v = gd->GetGrid()->viewport();
        auto send = [v](QEvent::Type type, QPoint p, Qt::MouseButtons buttons) {
            const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
            QMouseEvent e(type, QPointF(p), v->mapToGlobal(QPointF(p)), button, buttons, Qt::NoModifier);
            QApplication::sendEvent(v, &e);
        };
        send(QEvent::MouseButtonPress, path.front(), Qt::LeftButton);
        for (size_t i = 1; i < path.size(); ++i)
            send(QEvent::MouseMove, path[i], Qt::LeftButton);
        send(QEvent::MouseButtonRelease, path.back(), Qt::NoButton);
    }
    QPoint Center(int col, int row) const
    {
        const Rect r = gd->GetGrid()->cellRect(col, row);
        return QPoint((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    }
    QStringList Column(int col) const
    {
        QStringList out;
        auto* g = gd->GetGrid();
        for (int r = g->FixedRows(); r < g->RowCount(); ++r)
            out << g->Cells(col, r);
        return out;
    }
    TCustomExtGridDropDown* gd = nullptr;
};

TEST_F(GridDropDownTest, DefaultsAndTheWholeRowHeight)
{
    EXPECT_EQ(gd->Version(), QStringLiteral("6.0.1.1"));
    EXPECT_EQ(gd->Columns().Count(), 2); // a control made at run time starts with no columns of its own
    EXPECT_TRUE(gd->UseItems);
    EXPECT_EQ(gd->ItemIndex(), -1);
    EXPECT_EQ(gd->Navigation().HomeEndKey, heFirstLastRow);
    ASSERT_NE(gd->GetGrid(), nullptr); // the popup's grid is there from construction on
    EXPECT_TRUE(gd->GetGrid()->FixedRowAlways());
    Cities();
    Key(gd, Qt::Key_F4);
    ASSERT_TRUE(gd->DroppedDown());
    EXPECT_EQ(gd->DropDownForm()->height(), 185); // header 25 + 7 rows of 22 + 6
    EXPECT_EQ(gd->GetGrid()->RowCount(), 6);
    EXPECT_EQ(gd->GetGrid()->Cells(0, 0), QStringLiteral("City"));
    EXPECT_EQ(gd->GetGrid()->Cells(1, 2), QStringLiteral("DE"));
}

TEST_F(GridDropDownTest, ChooseByMouseAndKeysEscapeRestores)
{
    Cities();
    gd->SetItemIndex(1);
    Key(gd, Qt::Key_F4);
    ASSERT_TRUE(gd->DroppedDown());
    auto* g = gd->GetGrid();
    EXPECT_EQ(g->row(), 2);
    ClickCell(0, 4); // Abuja
    EXPECT_FALSE(gd->DroppedDown());
    EXPECT_EQ(gd->ItemIndex(), 3);
    EXPECT_EQ(gd->GetText(), QStringLiteral("Abuja"));
    // Down then Escape: back to Abuja.
    gd->ShowDropDown();
    Key(g, Qt::Key_Down);
    EXPECT_EQ(gd->ItemIndex(), 4);
    Key(g, Qt::Key_Escape);
    EXPECT_FALSE(gd->DroppedDown());
    EXPECT_EQ(gd->ItemIndex(), 3);
    EXPECT_EQ(gd->GetText(), QStringLiteral("Abuja"));
    // Return right after the opening keeps the item the popup opened on.
    int selected = 0;
    gd->OnSelect = [&](QObject*) { ++selected; };
    gd->ShowDropDown();
    Key(g, Qt::Key_Return);
    EXPECT_FALSE(gd->DroppedDown());
    EXPECT_EQ(gd->ItemIndex(), 3);
    // Up, Up, Return: Berlin.
    gd->ShowDropDown();
    Key(g, Qt::Key_Up);
    Key(g, Qt::Key_Up);
    Key(g, Qt::Key_Return);
    EXPECT_EQ(gd->GetText(), QStringLiteral("Berlin"));
    EXPECT_GE(selected, 1);
}

TEST_F(GridDropDownTest, SortingKeepsTheChosenItem)
{
    Cities();
    gd->Sorting = gsSingleColumn;
    gd->SetItemIndex(1); // Berlin
    gd->ShowDropDown();
    auto* g = gd->GetGrid();
    EXPECT_TRUE(g->SortSettings.Show);
    ClickCell(0, 0); // sort by City
    EXPECT_TRUE(gd->DroppedDown()); // a header click does not choose
    EXPECT_EQ(Column(0), (QStringList{"Abuja", "Berlin", "Bern", "Cabo", "Oslo"}));
    EXPECT_EQ(g->row(), 2);
    EXPECT_EQ(gd->RowToItem(2), 1);
    EXPECT_EQ(gd->ItemToRow(0), 5); // Oslo
    ClickCell(0, 0); // and the other way round
    EXPECT_EQ(Column(0), (QStringList{"Oslo", "Cabo", "Bern", "Berlin", "Abuja"}));
    EXPECT_EQ(g->row(), 4);
    ClickCell(0, 2); // Cabo
    EXPECT_EQ(gd->ItemIndex(), 2);
    EXPECT_EQ(gd->GetText(), QStringLiteral("Cabo"));
    // Opening again sorts the new fill the same way.
    gd->ShowDropDown();
    EXPECT_EQ(Column(0).first(), QStringLiteral("Oslo"));
    EXPECT_EQ(g->row(), 2);
    gd->HideDropDown(true);
}

TEST_F(GridDropDownTest, MultiColumnSortWithTheIndexKey)
{
    AddItems({{"b", "2"}, {"a", "10"}, {"b", "1"}, {"a", "9"}});
    gd->Sorting = gsMultiColumn;
    gd->ShowDropDown();
    auto* g = gd->GetGrid();
    EXPECT_TRUE(g->SortSettings.IndexShow);
    ClickCell(0, 0);
    ClickCell(1, 0, Qt::ShiftModifier); // the index key (Shift): then by the numbers, by value
    EXPECT_EQ(Column(0), (QStringList{"a", "a", "b", "b"}));
    EXPECT_EQ(Column(1), (QStringList{"9", "10", "1", "2"}));
    EXPECT_EQ(g->SortIndexes.Count(), 2);
    gd->HideDropDown(true);
}

TEST_F(GridDropDownTest, NarrowDownWidensOnBackspaceAndEnteringClears)
{
    Cities();
    gd->LookupMethod = lmNarrowDown;
    gd->ShowDropDown();
    auto* g = gd->GetGrid();
    Type(g, QStringLiteral("Ab"));
    EXPECT_EQ(Column(0), (QStringList{"Cabo", "Abuja"})); // contains "ab" in any case
    EXPECT_EQ(g->row(), 1);
    Type(g, QStringLiteral("u"));
    EXPECT_EQ(Column(0), (QStringList{"Abuja"}));
    Key(g, Qt::Key_Backspace, Qt::NoModifier, QString(QChar(8)));
    EXPECT_EQ(Column(0), (QStringList{"Cabo", "Abuja"}));
    gd->HideDropDown(true);
    // Typed in the edit: the rows narrow too; a row that does not begin with the entry leaves
    // the typed text alone.
    gd->SetEditText(QString());
    Type(gd, QStringLiteral("er"));
    EXPECT_EQ(Column(0), (QStringList{"Berlin", "Bern"}));
    EXPECT_EQ(gd->GetText(), QStringLiteral("er"));
    // Entering the control brings every row back.
    QFocusEvent in(QEvent::FocusIn, Qt::TabFocusReason);
    QApplication::sendEvent(gd, &in);
    EXPECT_EQ(g->RowCount(), 6);
    EXPECT_EQ(gd->LookupEntry(), QString());
}

TEST_F(GridDropDownTest, DropDownListStartsANewLookupAndHomeEndSelect)
{
    Cities();
    gd->SetStyle(dsDropDownList);
    EXPECT_FALSE(gd->EditorEnabled());
    Type(gd, QStringLiteral("b"));
    EXPECT_EQ(gd->GetText(), QStringLiteral("Berlin"));
    EXPECT_EQ(gd->ItemIndex(), 1);
    Type(gd, QStringLiteral("o")); // "bo" continues nothing: a new look-up with "o"
    EXPECT_EQ(gd->GetText(), QStringLiteral("Oslo"));
    EXPECT_EQ(gd->ItemIndex(), 0);
    EXPECT_EQ(gd->LookupEntry(), QStringLiteral("o"));
    Key(gd, Qt::Key_End);
    EXPECT_EQ(gd->GetText(), QStringLiteral("Bern"));
    Key(gd, Qt::Key_Home);
    EXPECT_EQ(gd->GetText(), QStringLiteral("Oslo"));
    Key(gd, Qt::Key_Down);
    EXPECT_EQ(gd->ItemIndex(), 1);
}

TEST_F(GridDropDownTest, LookupInTheGridsOwnCells)
{
    gd->UseItems = false;
    auto* g = gd->GetGrid();
    g->SetColCount(2);
    g->SetRowCount(4);
    g->SetCells(0, 1, QStringLiteral("Lima"));
    g->SetCells(0, 2, QStringLiteral("Lagos"));
    g->SetCells(0, 3, QStringLiteral("Quito"));
    QString text;
    int index = 0;
    EXPECT_TRUE(gd->LookupItem(QStringLiteral("la"), text, index));
    EXPECT_EQ(text, QStringLiteral("Lagos"));
    EXPECT_EQ(index, 2); // the grid row
    EXPECT_FALSE(gd->LookupItem(QStringLiteral("x"), text, index));
    EXPECT_EQ(index, -1);
    EXPECT_EQ(text, QString());
    gd->SetItemIndex(2);
    EXPECT_EQ(gd->GetText(), QStringLiteral("Quito"));
    gd->SetItemIndex(7); // beyond the rows: nothing changes
    EXPECT_EQ(gd->ItemIndex(), 2);
    // Typed in the popup: the data row is the index.
    gd->ShowDropDown();
    EXPECT_EQ(g->row(), 3);
    Type(g, QStringLiteral("li"));
    EXPECT_EQ(g->row(), 1);
    EXPECT_EQ(gd->ItemIndex(), 0);
    Key(g, Qt::Key_Return);
    EXPECT_EQ(gd->GetText(), QStringLiteral("Lima"));
}

TEST_F(GridDropDownTest, ColumnLooksAndForwardedEvents)
{
    Cities();
    gd->Columns()[1]->Alignment = Alignment::taRightJustify;
    gd->Columns()[1]->Color = 0x00FFFF;
    int moves = 0, keysDown = 0, keysUp = 0, presses = 0;
    gd->OnGridMouseMove = [&](TStringGrid*, TShiftState, int, int) { ++moves; };
    gd->OnGridKeyDown = [&](TStringGrid*, quint16&, TShiftState) { ++keysDown; };
    gd->OnGridKeyUp = [&](TStringGrid*, quint16&, TShiftState) { ++keysUp; };
    gd->OnGridKeyPress = [&](TStringGrid*, QChar&) { ++presses; };
    gd->ShowDropDown();
    auto* g = gd->GetGrid();
    Alignment h = Alignment::taLeftJustify;
    TVAlignment v = vtaTop;
    ASSERT_TRUE(g->OnGetAlignment);
    g->OnGetAlignment(g, 1, 1, h, v);
    EXPECT_EQ(h, Alignment::taRightJustify);
    Brush b{0, BrushStyle::Solid};
    platform::Font f;
    g->OnGetCellColor(g, 1, 1, TGridDrawState{}, b, f);
    EXPECT_EQ(b.color, 0x00FFFFu);
    gd->OnGridEllipsClick = [](TExtStringGridEdit*, int col, int row, QString& value) {
        value = QStringLiteral("picked %1 %2").arg(col).arg(row);
    };
    QString value;
    ASSERT_TRUE(g->OnEllipsClick);
    g->OnEllipsClick(g, 2, 3, value);
    EXPECT_EQ(value, QStringLiteral("picked 2 3"));
    QString searched;
    gd->OnGridSearchEditChange = [&](TExtStringGridPaint*, const QString& text, bool& defaultSearch) {
        searched = text;
        defaultSearch = false;
    };
    bool defaultSearch = true;
    ASSERT_TRUE(g->OnSearchEditChange);
    g->OnSearchEditChange(g, QStringLiteral("ber"), defaultSearch);
    EXPECT_EQ(searched, QStringLiteral("ber"));
    EXPECT_FALSE(defaultSearch);
    MoveMouse(g->viewport(), QPoint(5, 40));
    EXPECT_GE(moves, 1);
    Key(g, Qt::Key_B, Qt::NoModifier, QStringLiteral("b"));
    EXPECT_EQ(keysDown, 1);
    EXPECT_EQ(keysUp, 1);
    EXPECT_EQ(presses, 1);
    gd->HideDropDown(true);
}

// The popup's grid reports the mouse over its anchors as the drop-down's events, with itself as
// sender; the hint an event gives an anchor is the one the grid shows.
TEST_F(GridDropDownTest, AnchorsUnderTheMouseAreTheDropDownsEvents)
{
    AddItems({{"<a href=\"oslo\">Oslo</a>", "NO"}, {"Berlin", "DE"}, {"Bern", "CH"}});
    std::vector<QString> events;
    QObject* sender = nullptr;
    gd->OnGridAnchorEnter = [&](TExtStringGridAux* s, int row, int col, const QString& a) {
        sender = s;
        events.push_back(QStringLiteral("enter %1 %2 %3").arg(a).arg(row).arg(col));
    };
    gd->OnGridAnchorExit = [&](TExtStringGridAux*, int, int, const QString& a) { events.push_back("exit " + a); };
    gd->OnGridAnchorHint = [&](TExtStringGridAux*, int, int, QString& hint) { hint = "Go to " + hint; };
    gd->ShowDropDown();
    auto* g = gd->GetGrid();
    g->AnchorHint = true;
    const Rect cell = g->cellRect(0, 1);
    const QPoint onAnchor(cell.left + 6, (cell.top + cell.bottom) / 2);
    MoveMouse(g->viewport(), onAnchor);
    EXPECT_EQ(g->HoveredAnchor(), QStringLiteral("oslo"));
    EXPECT_EQ(sender, g);
    QPoint at;
    bool html = false;
    EXPECT_EQ(g->BuildCellHint(onAnchor, at, html), QStringLiteral("Go to oslo"));
    MoveMouse(g->viewport(), Center(0, 2)); // Berlin: no anchor
    EXPECT_EQ(events, (std::vector<QString>{"enter oslo 1 0", "exit oslo"}));
    EXPECT_TRUE(gd->DroppedDown());
    gd->HideDropDown(true);
}

// Balloons: a cell's balloon passes through OnGridCellBalloon, and the first mouse move after
// each opening (only the first) switches the grid's balloons off and on again.
TEST_F(GridDropDownTest, BalloonsAreReArmedOnTheFirstMoveAndAskTheDropDown)
{
    Cities();
    auto* g = gd->GetGrid();
    g->Balloon.SetEnable(true);
    ASSERT_TRUE(g->BalloonActive());
    int asked = 0;
    gd->OnGridCellBalloon = [&](TExtStringGridAux* s, int col, int row, QString& title, QString& text, int& icon) {
        ++asked;
        EXPECT_EQ(s, g);
        title = QStringLiteral("Country");
        text = s->Cells(1, row) + QStringLiteral(" (%1)").arg(col);
        icon = 2;
    };
    for (int opening = 0; opening < 2; ++opening) {
        gd->ShowDropDown();
        g->BalloonDone(); // as if the balloon window went with the popup's last closing
        MoveMouse(g->viewport(), Center(0, 2));
        EXPECT_TRUE(g->BalloonActive()) << "opening " << opening;
        g->BalloonDone();
        MoveMouse(g->viewport(), Center(0, 3));
        EXPECT_FALSE(g->BalloonActive()) << "opening " << opening;
        gd->HideDropDown(true);
    }
    g->Balloon.SetEnable(false);
    g->Balloon.SetEnable(true);
    gd->ShowDropDown();
    QString title, text;
    int icon = 1;
    ASSERT_TRUE(g->BalloonText(0, 2, title, text, icon));
    EXPECT_EQ(title, QStringLiteral("Country"));
    EXPECT_EQ(text, QStringLiteral("DE (0)"));
    EXPECT_EQ(icon, 2);
    // The balloon the tool tip asks for on a cell takes the event's texts too.
    const QPoint p = Center(1, 4);
    QHelpEvent help(QEvent::ToolTip, g->viewport()->mapTo(g, p), g->viewport()->mapToGlobal(p));
    QApplication::sendEvent(g, &help);
    EXPECT_EQ(asked, 2);
    gd->HideDropDown(true);
}

// A header dragged along the header row moves its column; the drop-down's events may refuse the
// move or the place; the popup stays open and blocked from closing while the drag runs.
TEST_F(GridDropDownTest, ColumnsMovedByMouseReportToTheDropDown)
{
    gd->Columns().Add()->Header = QStringLiteral("Code");
    AddItems({{"Oslo", "NO", "1"}, {"Berlin", "DE", "2"}, {"Cabo", "CV", "3"}});
    gd->ColumnMoving = true;
    gd->AutoSizeColumns = false;
    for (int c = 0; c < 3; ++c)
        gd->Columns()[c]->Width = 80;
    // The move is asked at every step (OnGridColumnMove with the dragged column), the place under
    // the mouse at each (OnGridColumnMoving), the move reported once at the end.
    std::vector<QString> events;
    bool blockedWhileMoving = false;
    auto record = [&events](const QString& e) {
        if (events.empty() || events.back() != e)
            events.push_back(e);
    };
    gd->OnGridColumnMove = [&](TExtStringGridAux* s, int index, bool&) {
        EXPECT_EQ(s, gd->GetGrid());
        blockedWhileMoving = blockedWhileMoving || gd->DropDownForm()->BlockActivate;
        record(QStringLiteral("move %1").arg(index));
    };
    gd->OnGridColumnMoving = [&](TExtStringGridAux*, int index, bool&) {
        record(QStringLiteral("moving %1").arg(index));
    };
    gd->OnGridColumnMoved = [&](TStringGrid*, int from, int to) {
        record(QStringLiteral("moved %1 %2").arg(from).arg(to));
    };
    gd->ShowDropDown();
    auto* g = gd->GetGrid();
    Drag({Center(1, 0), Center(1, 0) + QPoint(10, 0), Center(2, 0)});
    EXPECT_EQ(events, (std::vector<QString>{"move 1", "moving 1", "move 1", "moving 2", "moved 1 2"}));
    EXPECT_TRUE(blockedWhileMoving);
    EXPECT_FALSE(gd->DropDownForm()->BlockActivate);
    EXPECT_TRUE(gd->DroppedDown());
    EXPECT_EQ(g->Cells(2, 0), QStringLiteral("Country"));
    EXPECT_EQ(g->Cells(2, 2), QStringLiteral("DE"));
    EXPECT_EQ(g->Cells(1, 2), QStringLiteral("2"));

    // Refused at the place under the mouse, or as a whole: nothing moves.
    int moved = 0;
    gd->OnGridColumnMoved = [&](TStringGrid*, int, int) { ++moved; };
    gd->OnGridColumnMoving = [](TExtStringGridAux*, int, bool& allow) { allow = false; };
    Drag({Center(1, 0), Center(1, 0) + QPoint(10, 0), Center(2, 0)});
    gd->OnGridColumnMoving = nullptr;
    gd->OnGridColumnMove = [](TExtStringGridAux*, int, bool& allow) { allow = false; };
    Drag({Center(1, 0), Center(1, 0) + QPoint(10, 0), Center(2, 0)});
    EXPECT_EQ(g->Cells(1, 0), QStringLiteral("Code"));
    EXPECT_EQ(g->Cells(2, 0), QStringLiteral("Country"));
    EXPECT_EQ(moved, 0);
    EXPECT_TRUE(gd->DroppedDown());

    // The first column, which keeps the rows' links to the items, moved too: its alignment goes
    // with it and a click still chooses the row's item.
    gd->OnGridColumnMove = nullptr;
    gd->Columns()[0]->Alignment = Alignment::taCenter;
    Drag({Center(0, 0), Center(0, 0) + QPoint(10, 0), Center(1, 0)});
    ASSERT_EQ(g->Cells(1, 0), QStringLiteral("City"));
    Alignment h = Alignment::taLeftJustify;
    TVAlignment v = vtaTop;
    g->OnGetAlignment(g, 2, 1, h, v);
    EXPECT_EQ(h, Alignment::taCenter);
    g->OnGetAlignment(g, 2, 0, h, v);
    EXPECT_EQ(h, Alignment::taLeftJustify);
    EXPECT_EQ(gd->RowToItem(3), 2);
    EXPECT_EQ(gd->ItemToRow(1), 2);
    // Typed text narrows the rows by the look-up column where it now stands.
    gd->LookupMethod = lmNarrowDown;
    Type(g, QStringLiteral("b"));
    EXPECT_EQ(Column(1), (QStringList{"Berlin", "Cabo"}));
    EXPECT_EQ(gd->GetText(), QStringLiteral("Berlin"));
    Key(g, Qt::Key_Backspace, Qt::NoModifier, QString(QChar(8)));
    EXPECT_EQ(Column(1), (QStringList{"Oslo", "Berlin", "Cabo"}));
    ClickCell(1, 3);
    EXPECT_FALSE(gd->DroppedDown());
    EXPECT_EQ(gd->ItemIndex(), 2);
    EXPECT_EQ(gd->GetText(), QStringLiteral("Cabo"));
}

// Rows are moved and sized by their header cells (a fixed column the application gives the
// popup's grid); the item link of each row moves with it.
TEST_F(GridDropDownTest, RowsMovedAndSizedByMouseReportToTheDropDown)
{
    Cities();
    gd->RowMoving = true;
    gd->RowSizing = true;
    auto* g = gd->GetGrid();
    g->SetFixedCols(1);
    std::vector<QString> events;
    auto record = [&events](const QString& e) {
        if (events.empty() || events.back() != e)
            events.push_back(e);
    };
    gd->OnGridRowMove = [&](TExtStringGridAux*, int index, bool&) { record(QStringLiteral("move %1").arg(index)); };
    gd->OnGridRowMoving = [&](TExtStringGridAux*, int index, bool&) { record(QStringLiteral("moving %1").arg(index)); };
    gd->OnGridRowMoved = [&](TStringGrid*, int from, int to) {
        record(QStringLiteral("moved %1 %2").arg(from).arg(to));
    };
    gd->ShowDropDown();
    Drag({Center(0, 1), Center(0, 1) + QPoint(0, 6), Center(0, 3)});
    EXPECT_EQ(events, (std::vector<QString>{"move 1", "moving 1", "move 1", "moving 3", "moved 1 3"}));
    EXPECT_EQ(Column(0), (QStringList{"Berlin", "Cabo", "Oslo", "Abuja", "Bern"}));
    EXPECT_EQ(gd->RowToItem(3), 0);
    EXPECT_EQ(gd->ItemToRow(0), 3);
    EXPECT_TRUE(gd->DroppedDown());

    // Sizing the row under the border of its header cell.
    std::vector<QString> sizing;
    gd->OnGridRowSize = [&](TExtStringGrid*, int row, bool&) { sizing.push_back(QStringLiteral("size %1").arg(row)); };
    gd->OnGridRowSizing = [&](TExtStringGridInput*, int row, int h) {
        sizing.push_back(QStringLiteral("sizing %1 %2").arg(row).arg(h));
    };
    gd->OnGridEndRowSize = [&](TExtStringGrid*, int row) { sizing.push_back(QStringLiteral("end %1").arg(row)); };
    const int height = g->rowHeights(2);
    const QPoint border(Center(0, 2).x(), g->cellRect(0, 2).bottom);
    Drag({border, border + QPoint(0, 5), border + QPoint(0, 12)});
    EXPECT_EQ(g->rowHeights(2), height + 12);
    ASSERT_FALSE(sizing.empty());
    EXPECT_EQ(sizing.front(), QStringLiteral("size 2"));
    EXPECT_EQ(sizing.back(), QStringLiteral("end 2"));
    EXPECT_NE(std::find(sizing.begin(), sizing.end(), QStringLiteral("sizing 2 %1").arg(height + 12)), sizing.end());
    // Refused: the border does not size.
    gd->OnGridRowSize = [](TExtStringGrid*, int, bool& allow) { allow = false; };
    const QPoint newBorder(border.x(), g->cellRect(0, 2).bottom);
    Drag({newBorder, newBorder + QPoint(0, 5), newBorder + QPoint(0, 12)});
    EXPECT_EQ(g->rowHeights(2), height + 12);
    EXPECT_EQ(Column(0), (QStringList{"Berlin", "Cabo", "Oslo", "Abuja", "Bern"}));
    EXPECT_TRUE(gd->DroppedDown());
    gd->HideDropDown(true);
}

TEST_F(GridDropDownTest, ItemsWithoutALookupTextReadEmpty)
{
    AddItems({{"only"}, {"x", "y"}});
    gd->LookupColumn = 1;
    gd->EndUpdate();
    QString text;
    int index = -1;
    EXPECT_TRUE(gd->LookupItem(QStringLiteral("y"), text, index)); // no list-index error on the short item
    EXPECT_EQ(index, 1);
    gd->SetItemIndex(0);
    EXPECT_EQ(gd->GetText(), QString());
    EXPECT_EQ(gd->LookupItems(), (QStringList{"", "y"}));
}

TEST_F(GridDropDownTest, StylesColourTheHeaderButNotForOffice2010)
{
    gd->SetComponentStyle(tsOffice2003Blue);
    EXPECT_EQ(gd->HeaderColor, 0xD68759u);
    EXPECT_EQ(gd->HeaderFontColor, 0xFFFFFFu);
    gd->SetComponentStyle(tsOffice2010Blue);
    EXPECT_EQ(gd->HeaderColor, 0xD68759u);
    gd->SetComponentStyle(tsWindows7);
    EXPECT_EQ(gd->FixedLineColor, 0xFBD6B8u);
    EXPECT_EQ(gd->SelectionColor, 0xFCEBDCu); // the preset of the base comes last
}

} // namespace
