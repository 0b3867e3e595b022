// The grid's editor controls in a column grid: each kind opens on a typed key and on F2, writes
// its value back in the grid's text form, keeps the cell as it was when the value is refused or
// the edit is left with Escape, and follows the editors' key protocol.
#include "GridKeyDriver.h"
#include "controls/grid/column/ColumnGrid.h"
#include "controls/grid/edit/EditLink.h"
#include "controls/grid/edit/GridEditors.h"

#include "support/QtPrinters.h"

#include <QApplication>
#include <QClipboard>
#include <QCoreApplication>
#include <QLineEdit>
#include <QMenu>
#include <QTest>
#include <QTimer>
#include <QWidget>
#include <gtest/gtest.h>

namespace gridtest {
namespace {

using namespace controls::grid;

enum Cols {
    cNo, cSpin, cFloat, cDateSpin, cTimeSpin, cEditBtn, cNumBtn, cFloatBtn, cUnit, cDate, cTime, cDateTime,
    cCheck, cButton, cText, cCount
};

class EditorsTest : public ::testing::Test, protected GridKeyDriver {
protected:
    void SetUp() override
    {
        previousBeep = SetMessageBeepHandler([this] { ++beeps; });
        window.resize(1400, 400);
        grid = new TExtColumnGrid(&window);
        grid->setGeometry(0, 0, 1380, 380);
        grid->SetColCount(cCount);
        grid->SetRowCount(8);
        grid->setOptions(grid->options() | platform::goTabs);
        const TEditorType kinds[cCount] = {edNormal,      edSpinEdit,     edFloatSpinEdit, edDateSpinEdit, edTimeSpinEdit,
                                           edEditBtn,     edNumericEditBtn, edFloatEditBtn, edUnitEditBtn, edDateEdit,
                                           edTimeEdit,    edDateTimeEdit, edCheckBox,      edButton,       edNormal};
        for (int c = 0; c < cCount; ++c) {
            grid->Columns().Items(c)->SetEditor(kinds[c]);
            grid->Columns().Items(c)->SetWidth(c == cDateTime ? 150 : 88);
        }
        grid->Columns().Items(cSpin)->SpinMin = 0;
        grid->Columns().Items(cSpin)->SpinMax = 100;
        grid->Columns().Items(cSpin)->SpinStep = 5;
        grid->OnGetEditorProp = [this](TExtStringGridEdit*, int col, int) {
            if (col == cUnit)
                grid->UnitEditBtn()->SetUnits({"kWh", "Wh", "W"});
        };
        window.show();
        QApplication::setActiveWindow(&window);
        grid->setFocus();
        QCoreApplication::processEvents();
    }
    void TearDown() override
    {
        SetMessageBeepHandler(previousBeep);
        platform::ResetFormatSettings();
    }


    QWidget window;
    int beeps = 0;
    std::function<void()> previousBeep;
};

// A table of kinds: the cell's text, what is typed into the editor that a key opened (or what
// F2 and the keys after it do), and the cell's text after Enter.
TEST_F(EditorsTest, EachKindOpensOnATypedKeyAndOnF2AndWritesBackInTheGridsForm)
{
    struct Case {
        int col;
        const char* before;
        bool byF2;
        std::vector<Qt::Key> keys; // after F2
        const char* typed;         // after the key that opened the editor (its first character)
        const char* after;
    };
    const Case cases[] = {
        {cSpin, "5", false, {}, "73", "73"},
        {cSpin, "5", true, {Qt::Key_Up, Qt::Key_Up}, "", "15"},     // the column's step 5
        {cSpin, "98", true, {Qt::Key_Up}, "", "100"},              // the column's maximum
        {cFloat, "1.5", true, {Qt::Key_Up}, "", "1.60"},           // the grid's float format %.2f
        {cFloat, "1.5", false, {}, "2.25", "2.25"},
        {cDateSpin, "15/03/2024", true, {Qt::Key_Up}, "", "16/03/2024"},
        {cDateSpin, "31/01/2024", true, {Qt::Key_Home, Qt::Key_Right, Qt::Key_Right, Qt::Key_Right, Qt::Key_Up}, "", "29/02/2024"},
        {cTimeSpin, "10:00:00", true, {Qt::Key_Down}, "", "09:00:00"},
        {cEditBtn, "abc", false, {}, "xyz", "xyz"},
        {cNumBtn, "1", false, {}, "-4a2", "-42"},    // the letter is refused
        {cFloatBtn, "1", false, {}, "2.5.1", "2.51"}, // a second separator is dropped
        {cUnit, "12.5kWh", true, {Qt::Key_End, Qt::Key_Backspace}, "", "12.kWh"},
        {cUnit, "7W", false, {}, "40", "40W"},
        {cDate, "15/03/2024", true, {Qt::Key_Up}, "", "16/03/2024"},
        {cDate, "15/03/2024", false, {}, "2", "02/03/2024"},
        {cTime, "10:30:00", true, {Qt::Key_Up}, "", "11:30:00"},
        {cDateTime, "15/03/2024 10:30", true, {Qt::Key_Up}, "", "16/03/2024 10:30"},
    };
    int row = 1;
    for (const Case& c : cases) {
        SCOPED_TRACE(QStringLiteral("column %1 '%2'").arg(c.col).arg(QString::fromLatin1(c.before)).toStdString());
        grid->SetCells(c.col, row, QString::fromLatin1(c.before));
        goTo(c.col, row);
        if (c.byF2) {
            key(Qt::Key_F2);
            for (Qt::Key k : c.keys)
                key(k);
        } else {
            type(QString::fromLatin1(c.typed));
        }
        ASSERT_TRUE(grid->EditMode()) << "an editor is open";
        ASSERT_NE(focused(), grid) << "the editor has the focus";
        key(Qt::Key_Return);
        EXPECT_FALSE(grid->EditMode());
        EXPECT_EQ(cell(c.col, row), QString::fromLatin1(c.after));
        row = row % 7 + 1;
    }
    EXPECT_EQ(beeps, 1) << "the letter in the numeric cell";
}

TEST_F(EditorsTest, TheControlsThatOpenWithTheGridAndThoseMadeOnFirstUse)
{
    EXPECT_NE(grid->EditCheck(), nullptr);
    EXPECT_NE(grid->EditBtn(), nullptr);
    EXPECT_NE(grid->UnitEditBtn(), nullptr);
    EXPECT_NE(grid->GridButton(), nullptr);
    EXPECT_EQ(grid->EditBtn()->ButtonCaption(), "...");
    EXPECT_TRUE(grid->findChildren<TGridDatePicker*>().isEmpty());
    EXPECT_TRUE(grid->findChildren<TGridDateTimePicker*>().isEmpty());
    goTo(cDate, 1);
    key(Qt::Key_F2);
    ASSERT_EQ(grid->findChildren<TGridDatePicker*>().size(), 1);
    TGridDatePicker* picker = grid->GetDateEditor();
    EXPECT_TRUE(picker->isVisible());
    EXPECT_EQ(picker->geometry().topLeft(), QPoint(grid->CellRect(cDate, 1).left, grid->CellRect(cDate, 1).top));
    key(Qt::Key_Escape);
    EXPECT_FALSE(picker->isVisible());
    EXPECT_FALSE(picker->isEnabled());
    goTo(cTime, 2);
    key(Qt::Key_F2);
    EXPECT_EQ(grid->findChildren<TGridDatePicker*>().size(), 1) << "one picker serves dates and times";
    EXPECT_EQ(picker->Kind(), platform::dtkTime);
    key(Qt::Key_Escape);
    // The spin range comes from the column as its cell opens.
    goTo(cSpin, 2);
    key(Qt::Key_F2);
    EXPECT_EQ(grid->SpinEdit()->Increment, 5);
    EXPECT_EQ(grid->SpinEdit()->MaxValue, 100);
    key(Qt::Key_Escape);
}

TEST_F(EditorsTest, ARefusedValueLeavesTheCellAsItWasAndTheEditorOpen)
{
    QStringList validated;
    grid->OnCellValidate = [&](TExtStringGridEdit*, int col, int, QString& value, bool& valid) {
        validated << QStringLiteral("%1 %2").arg(col).arg(value);
        if (value == "50" || value == "16/03/2024" || value == "bad" || value == "9W")
            valid = false;
    };
    struct Case {
        int col;
        const char* before;
        std::vector<Qt::Key> keys;
        const char* typed;
    };
    const Case cases[] = {
        {cSpin, "45", {Qt::Key_Up}, ""},
        {cDate, "15/03/2024", {Qt::Key_Up}, ""},
        {cEditBtn, "good", {}, "bad"},
        {cUnit, "3W", {}, "9"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.col);
        grid->SetCells(c.col, 3, QString::fromLatin1(c.before));
        goTo(c.col, 3);
        key(Qt::Key_F2);
        for (Qt::Key k : c.keys)
            key(k);
        if (*c.typed) {
            static_cast<QLineEdit*>(focused())->selectAll();
            type(QString::fromLatin1(c.typed));
        }
        key(Qt::Key_Return);
        EXPECT_EQ(cell(c.col, 3), QString::fromLatin1(c.before)) << "the cell keeps its text";
        EXPECT_TRUE(grid->EditMode()) << "the editor stays open";
        EXPECT_NE(focused(), grid);
        key(Qt::Key_Escape);
        EXPECT_FALSE(grid->EditMode());
        EXPECT_EQ(cell(c.col, 3), QString::fromLatin1(c.before));
    }
    EXPECT_EQ(validated.size(), 4);
}

TEST_F(EditorsTest, EscapeKeepsTheCellEvenWhenItsTextIsNoValueOfTheKind)
{
    const struct {
        int col;
        const char* text;
    } cases[] = {{cSpin, "n/a"},  {cFloat, "about 3"},  {cDateSpin, "someday"}, {cTimeSpin, "noon"},
                 {cDate, "soon"}, {cTime, "later"},      {cDateTime, "never"},  {cUnit, "12"},
                 {cEditBtn, "x"}, {cCheck, "caption"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.col);
        grid->SetCells(c.col, 2, QString::fromLatin1(c.text));
        goTo(c.col, 2);
        key(Qt::Key_F2);
        ASSERT_TRUE(grid->EditMode());
        key(Qt::Key_Up);
        key(Qt::Key_Escape);
        EXPECT_FALSE(grid->EditMode());
        EXPECT_EQ(cell(c.col, 2), QString::fromLatin1(c.text));
        EXPECT_EQ(focused(), grid);
    }
}

TEST_F(EditorsTest, TabWritesBackAndWalksOnToTheNextCell)
{
    grid->SetCells(cSpin, 4, "10");
    grid->SetCells(cDateTime, 4, "15/03/2024 10:30");
    goTo(cSpin, 4);
    key(Qt::Key_F2);
    key(Qt::Key_Up);
    key(Qt::Key_Tab);
    EXPECT_EQ(cell(cSpin, 4), "15");
    EXPECT_EQ(grid->col(), cFloat);
    // The date-and-time cell keeps its time when Tab leaves it.
    goTo(cDateTime, 4);
    key(Qt::Key_F2);
    key(Qt::Key_Up);
    key(Qt::Key_Tab);
    EXPECT_EQ(cell(cDateTime, 4), "16/03/2024 10:30");
    EXPECT_EQ(grid->col(), cCheck);
    // Shift+Tab walks back from the unit editor.
    grid->SetCells(cUnit, 4, "5W");
    goTo(cUnit, 4);
    key(Qt::Key_F2);
    key(Qt::Key_Backtab, Qt::ShiftModifier);
    EXPECT_EQ(grid->col(), cFloatBtn);
    EXPECT_EQ(cell(cUnit, 4), "5W");
}

TEST_F(EditorsTest, SpinStepsReportTheirValueAndHomeAndEndSetTheLimits)
{
    QStringList clicks;
    grid->OnSpinClick = [&](TExtStringGridEdit*, int col, int row, int value, bool up) {
        clicks << QStringLiteral("%1,%2 %3 %4").arg(col).arg(row).arg(value).arg(up ? "up" : "down");
    };
    grid->SetCells(cSpin, 5, "40");
    goTo(cSpin, 5);
    key(Qt::Key_F2);
    TGridSpin* spin = grid->SpinEdit();
    spin->Button()->UpButton()->Click();
    spin->Button()->DownButton()->Click();
    spin->Button()->DownButton()->Click();
    EXPECT_EQ(spin->Value(), 35);
    key(Qt::Key_Home);
    EXPECT_EQ(spin->Value(), 100);
    key(Qt::Key_End);
    EXPECT_EQ(spin->Value(), 0);
    EXPECT_EQ(clicks, (QStringList{"1,5 45 up", "1,5 40 down", "1,5 35 down", "1,5 100 up", "1,5 0 down"}));
    key(Qt::Key_Return);
    EXPECT_EQ(cell(cSpin, 5), "0");

    // A pasted text that is no number is refused where it is typed.
    QApplication::clipboard()->setText("12abc");
    goTo(cSpin, 5);
    key(Qt::Key_F2);
    key(Qt::Key_V, Qt::ControlModifier);
    key(Qt::Key_Insert, Qt::ShiftModifier);
    EXPECT_EQ(spin->text(), "0");
    key(Qt::Key_Return);
    EXPECT_EQ(cell(cSpin, 5), "0");
}

TEST_F(EditorsTest, TheEllipsisButtonAndPasteOfTheEditWithAButton)
{
    grid->OnEllipsClick = [](TExtStringGridEdit*, int col, int row, QString& value) {
        value = QStringLiteral("%1 from %2,%3").arg(value).arg(col).arg(row);
    };
    grid->SetCells(cEditBtn, 6, "file");
    goTo(cEditBtn, 6);
    key(Qt::Key_F2);
    key(Qt::Key_F4);
    EXPECT_EQ(grid->EditBtn()->text(), "file from 5,6");
    EXPECT_EQ(grid->EditBtn()->selectedText(), "file from 5,6");
    // A copied cell's line break is not pasted.
    QApplication::clipboard()->setText("pasted\r\n");
    key(Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(grid->EditBtn()->text(), "pasted");
    key(Qt::Key_Return);
    EXPECT_EQ(cell(cEditBtn, 6), "pasted");
    // The push button passes its caption through the same event.
    grid->SetCells(cButton, 6, "Run");
    goTo(cButton, 6);
    key(Qt::Key_F2);
    ASSERT_TRUE(grid->GridButton()->isVisible());
    key(Qt::Key_Space);
    EXPECT_EQ(cell(cButton, 6), "Run from 13,6");
    key(Qt::Key_Right);
    EXPECT_EQ(grid->col(), cText) << "an arrow leaves the button and moves the grid";
    EXPECT_FALSE(grid->GridButton()->isVisible());
}

TEST_F(EditorsTest, UnitsAreSplitAndAChangedUnitIsReported)
{
    QStringList units;
    grid->OnUnitChanged = [&](TExtStringGrid*, int, int, const QString& unit) { units << unit; };
    grid->SetCells(cUnit, 7, "12.5kWh");
    goTo(cUnit, 7);
    key(Qt::Key_F2);
    TGridUnitEditBtn* ub = grid->UnitEditBtn();
    EXPECT_EQ(ub->text(), "12.5");
    EXPECT_EQ(ub->UnitID(), "kWh");
    ub->UnitCommand(3);
    EXPECT_EQ(units, QStringList{"W"});
    key(Qt::Key_Return);
    EXPECT_EQ(cell(cUnit, 7), "12.5W");
    // The button's menu: the editor stays open while its menu is, and takes the unit chosen.
    key(Qt::Key_F2);
    QTimer::singleShot(0, [&]() {
        QMenu* menu = ub->UnitMenu();
        ASSERT_NE(menu, nullptr);
        QTest::keyClick(menu, Qt::Key_Down);
        QTest::keyClick(menu, Qt::Key_Down);
        QTest::keyClick(menu, Qt::Key_Return);
    });
    key(Qt::Key_F4);
    EXPECT_TRUE(grid->EditMode());
    EXPECT_TRUE(ub->isVisible());
    EXPECT_EQ(ub->UnitID(), "Wh");
    QTest::keyClick(ub, Qt::Key_Return);
    settle();
    EXPECT_EQ(cell(cUnit, 7), "12.5Wh");
    EXPECT_EQ(units, (QStringList{"W", "Wh"}));
    // A value without one of the units is kept whole.
    grid->SetCells(cUnit, 7, "230 V");
    goTo(cUnit, 7);
    key(Qt::Key_F2);
    EXPECT_EQ(ub->text(), "230 V");
    EXPECT_EQ(ub->UnitID(), "");
    key(Qt::Key_Return);
    EXPECT_EQ(cell(cUnit, 7), "230 V");
}

TEST_F(EditorsTest, TheCheckBoxToggleAndTheDatePickerFieldAdvance)
{
    grid->SetCells(cCheck, 1, "Y");
    goTo(cCheck, 1);
    key(Qt::Key_F2);
    TGridCheckBox* cb = grid->EditCheck();
    ASSERT_TRUE(cb->isVisible());
    EXPECT_EQ(cb->text(), "Y");
    EXPECT_FALSE(cb->isChecked());
    key(Qt::Key_Space);
    EXPECT_TRUE(cb->isChecked());
    key(Qt::Key_Down);
    EXPECT_FALSE(cb->isVisible());
    EXPECT_EQ(grid->row(), 2);
    EXPECT_EQ(cell(cCheck, 1), "Y") << "the check box writes nothing";

    grid->SetCells(cDate, 2, "15/03/2024");
    goTo(cDate, 2);
    key(Qt::Key_F2);
    TGridDatePicker* dp = grid->GetDateEditor();
    const int day = dp->SelectedField();
    type("4"); // day 4: on to the month
    EXPECT_EQ(dp->SelectedField(), day + 2);
    type("12"); // December: on to the year
    EXPECT_EQ(dp->SelectedField(), day + 4);
    type("2030"); // the last field: the input stays
    EXPECT_EQ(dp->SelectedField(), day + 4);
    key(Qt::Key_Return);
    EXPECT_EQ(cell(cDate, 2), "04/12/2030");
}

// An editor link with a line edit of its own.
class LineEditLink : public TEditLink {
public:
    using TEditLink::TEditLink;
    QLineEdit* edit = nullptr;
    int created = 0;

    QWidget* GetEditControl() override { return edit; }
    void CreateEditor(QWidget* parent) override
    {
        ++created;
        if (!edit) {
            edit = new KeyedEdit(parent, this);
        } else if (edit->parentWidget() != parent) {
            edit->setParent(parent);
        }
    }
    void DestroyEditor() override {}
    QString GetEditorValue() override { return edit ? edit->text() : QString(); }
    void SetEditorValue(const QString& value) override { edit->setText(value); }

private:
    class KeyedEdit : public QLineEdit {
    public:
        KeyedEdit(QWidget* parent, TEditLink* link) : QLineEdit(parent), m_link(link) {}

    protected:
        void keyPressEvent(QKeyEvent* e) override
        {
            quint16 k = platform::virtualKeyOf(*e);
            if (k) {
                m_link->EditKeyDown(this, k, platform::shiftStateOf(e->modifiers()));
                if (k == 0)
                    return;
            }
            QLineEdit::keyPressEvent(e);
        }

    private:
        TEditLink* m_link;
    };
};

TEST_F(EditorsTest, AnEditorLinkEditsInPlaceAndHandsItsKeysOn)
{
    LineEditLink link;
    grid->Columns().Items(cText)->SetEditor(edCustom);
    grid->Columns().Items(cText)->EditLink = &link;
    grid->Navigation.AdvanceOnEnter = true;
    grid->Navigation.SetAdvanceDirection(adTopBottom);
    grid->SetCells(cText, 1, "one");
    grid->SetCells(cText, 2, "two");
    goTo(cText, 1);
    type("x");
    ASSERT_NE(link.edit, nullptr);
    EXPECT_TRUE(link.edit->isVisible());
    EXPECT_EQ(link.edit->parentWidget(), grid->viewport());
    EXPECT_EQ(link.edit->text(), "onex") << "the typed key reaches the control";
    EXPECT_EQ(link.EditCell(), QPoint(cText, 1));
    // Enter writes the value, moves on and opens the link on the next cell.
    key(Qt::Key_Return);
    EXPECT_EQ(cell(cText, 1), "onex");
    EXPECT_EQ(grid->row(), 2);
    ASSERT_TRUE(link.edit->isVisible());
    EXPECT_EQ(link.edit->text(), "two");
    // Escape writes back the value the cell had.
    link.edit->setText("changed");
    key(Qt::Key_Escape);
    EXPECT_EQ(cell(cText, 2), "two");
    EXPECT_FALSE(link.edit->isVisible());
    // With WantKeyUpDown the arrows up and down stay in the control; Left leaves it.
    link.WantKeyUpDown = true;
    key(Qt::Key_F2);
    key(Qt::Key_Up);
    EXPECT_TRUE(link.edit->isVisible());
    EXPECT_EQ(grid->row(), 2);
    link.edit->setText("left");
    key(Qt::Key_Left);
    EXPECT_EQ(cell(cText, 2), "left");
    EXPECT_EQ(grid->col(), cButton);
}

TEST_F(EditorsTest, AnEditorLinkReopensOnARefusedValueAndTabsWithTheGrid)
{
    LineEditLink link;
    grid->Columns().Items(cText)->SetEditor(edCustom);
    grid->Columns().Items(cText)->EditLink = &link;
    grid->OnCellValidate = [](TExtStringGridEdit*, int, int, QString& value, bool& valid) { valid = value != "no"; };
    grid->SetCells(cText, 3, "yes");
    goTo(cText, 3);
    key(Qt::Key_F2);
    link.edit->setText("no");
    key(Qt::Key_Return);
    EXPECT_EQ(cell(cText, 3), "yes");
    ASSERT_TRUE(link.edit->isVisible()) << "the link's control opens again on the cell";
    EXPECT_EQ(link.edit->text(), "yes");
    EXPECT_EQ(grid->row(), 3);
    // With goTabs and TabToNextAtEnd, Tab reaches the link, writes and walks on.
    grid->Navigation.TabToNextAtEnd = true;
    link.edit->setText("ok");
    key(Qt::Key_Tab);
    EXPECT_EQ(cell(cText, 3), "ok");
    EXPECT_EQ(grid->col(), cNo + 1) << "from the last column to the first editable one of the next row";
    EXPECT_EQ(grid->row(), 4);
}

TEST_F(EditorsTest, APopUpLinkOpensAtTheCellOnItsOwnWindow)
{
    LineEditLink link;
    link.EditStyle = esPopup;
    link.AutoPopupWidth = true;
    link.PopupHeight = 60;
    grid->Columns().Items(cText)->SetEditor(edCustom);
    grid->Columns().Items(cText)->EditLink = &link;
    grid->SetCells(cText, 2, "pop");
    goTo(cText, 2);
    key(Qt::Key_F2);
    QWidget* form = link.PopupForm();
    ASSERT_NE(form, nullptr);
    EXPECT_TRUE(form->isVisible());
    const platform::Rect r = grid->CellRect(cText, 2);
    EXPECT_EQ(form->pos(), grid->viewport()->mapToGlobal(QPoint(r.left, r.top)));
    EXPECT_EQ(form->size(), QSize(r.width(), 60));
    EXPECT_EQ(link.edit->parentWidget(), form);
    link.edit->setText("popped");
    QTest::keyClick(link.edit, Qt::Key_Return);
    settle();
    EXPECT_EQ(cell(cText, 2), "popped") << "leaving by a key keeps the editor's value";
    EXPECT_FALSE(form->isVisible());
}

TEST_F(EditorsTest, APopUpLinkEndsWhenItsWindowLosesTheActivation)
{
    LineEditLink link;
    link.EditStyle = esPopup;
    grid->Navigation.AlwaysEdit = true; // the grid would reopen the link when it gets the focus back
    grid->Columns().Items(cText)->SetEditor(edCustom);
    grid->Columns().Items(cText)->EditLink = &link;
    grid->SetCells(cText, 2, "pop");
    goTo(cText, 2);
    key(Qt::Key_F2);
    QWidget* form = link.PopupForm();
    ASSERT_NE(form, nullptr);
    ASSERT_TRUE(form->isVisible());
    const int opened = link.created;
    link.edit->setText("gone");
    // The user activates the pop-up, then the grid's window: the pop-up loses the activation.
    QApplication::setActiveWindow(form);
    settle();
    QApplication::setActiveWindow(&window);
    settle();
    EXPECT_EQ(cell(cText, 2), "gone") << "the editor's value is written";
    EXPECT_FALSE(form->isVisible());
    EXPECT_FALSE(grid->EditMode());
    EXPECT_EQ(link.created, opened) << "the focus coming back does not reopen the pop-up";
    EXPECT_FALSE(grid->InvokedFocusChange()) << "the flag serves that one focus change";

    // A focus that comes back later is the grid's own again: AlwaysEdit opens the link.
    QLineEdit other(&window);
    other.show();
    other.setFocus();
    settle();
    grid->setFocus();
    settle();
    EXPECT_EQ(link.created, opened + 1);
    EXPECT_TRUE(form->isVisible());
}

} // namespace
} // namespace gridtest

namespace gridtest {
namespace {

TEST_F(EditorsTest, TheEditWithAButtonCompletesFromTheLookupAndWalksOutAtItsEnds)
{
    grid->Lookup = true;
    grid->LookupItems().AddStrings(QStringList{"Alpha", "Beta"});
    goTo(cEditBtn, 1);
    key(Qt::Key_F2);
    TGridEditBtn* eb = grid->EditBtn();
    eb->selectAll();
    type("b");
    EXPECT_EQ(eb->text(), "beta") << "the typed letter stays as typed";
    EXPECT_EQ(eb->selectedText(), "eta");
    key(Qt::Key_Backspace); // no completion after Backspace
    EXPECT_EQ(eb->text(), "b");
    key(Qt::Key_Return);
    EXPECT_EQ(cell(cEditBtn, 1), "b");

    // With CursorWalkEditor, Right at the end of the text writes it and moves on.
    grid->Navigation.CursorWalkEditor = true;
    grid->SetCells(cEditBtn, 2, "ab");
    goTo(cEditBtn, 2);
    key(Qt::Key_F2);
    eb->setCursorPosition(2);
    eb->setText("abc");
    key(Qt::Key_Right);
    EXPECT_EQ(cell(cEditBtn, 2), "abc");
    EXPECT_EQ(grid->col(), cNumBtn);
}

TEST_F(EditorsTest, TheDatePickerReportsItsCalendarAndDropsItWhenAsked)
{
    QStringList events;
    grid->OnDatePickerDropDown = [&](TExtStringGridEdit*, int col, int row) { events << QStringLiteral("drop %1,%2").arg(col).arg(row); };
    grid->OnDatePickerCloseUp = [&](TExtStringGridEdit*, int col, int row) { events << QStringLiteral("close %1,%2").arg(col).arg(row); };
    grid->OnEditChange = [&](TExtStringGridEdit*, int, int, const QString& value) { events << "change " + value; };
    grid->MouseActions.DirectDateDrop = true;
    grid->SetCells(cDate, 3, "15/03/2024");
    goTo(cDate, 3);
    key(Qt::Key_F2);
    TGridDatePicker* dp = grid->GetDateEditor();
    ASSERT_TRUE(dp->DroppedDown()) << "DirectDateDrop drops the calendar at once";
    EXPECT_TRUE(dp->OldDropped());
    dp->SetDroppedDown(false);
    settle();
    EXPECT_TRUE(grid->EditMode()) << "closing the calendar leaves the editor open";
    key(Qt::Key_Up);
    key(Qt::Key_Return);
    EXPECT_EQ(cell(cDate, 3), "16/03/2024");
    EXPECT_EQ(events, (QStringList{"drop 9,3", "close 9,3", "change 16/03/2024"}));
}

TEST_F(EditorsTest, WithShowEditProcessTheCellFollowsTheTyping)
{
    grid->ShowEditProcess = true;
    grid->SetCells(cSpin, 4, "n/a");
    grid->SetCells(cEditBtn, 4, "ab");
    goTo(cSpin, 4);
    key(Qt::Key_F2);
    EXPECT_EQ(cell(cSpin, 4), "n/a") << "opening the editor writes nothing";
    type("42");
    EXPECT_EQ(cell(cSpin, 4), "42");
    key(Qt::Key_Escape);
    EXPECT_EQ(cell(cSpin, 4), "n/a");
    goTo(cEditBtn, 4);
    type("x");
    EXPECT_EQ(cell(cEditBtn, 4), "x");
    key(Qt::Key_Return);
    EXPECT_EQ(cell(cEditBtn, 4), "x");
}

TEST_F(EditorsTest, AClickOnTheSpinButtonsOfACellStepsTheOpeningEditorOnce)
{
    grid->ControlLook.SetSpinButtonsAlwaysVisible(true);
    grid->OnHasSpinEdit = [](TExtStringGrid*, int col, int, bool& has) { has = col == cSpin; };
    grid->SetCells(cSpin, 2, "20");
    goTo(cSpin, 2);
    const platform::Rect r = grid->CellRect(cSpin, 2);
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, Qt::NoModifier, QPoint(r.right - 4, r.top + 3));
    settle();
    key(Qt::Key_F2);
    ASSERT_TRUE(grid->EditMode());
    EXPECT_EQ(grid->SpinEdit()->text(), "25") << "stepped up by the column's step";
    key(Qt::Key_Escape);
    EXPECT_EQ(cell(cSpin, 2), "20");
}

TEST_F(EditorsTest, ColourTonesDressEveryEditorWithAButtonMadeBeforeOrAfterThem)
{
    // The spin editor is made before the tones, the date picker after them.
    goTo(cSpin, 2);
    key(Qt::Key_F2);
    ASSERT_NE(grid->SpinEdit(), nullptr);
    key(Qt::Key_Escape);
    TColorTones t;
    t.Background = TColorTone{0xFAFAFA, 0x999999, 0x111111};
    t.Foreground = TColorTone{0xEEEEEE, 0x888888, 0x222222};
    t.Hover = TColorTone{0xEEDDCC, 0, 0};
    t.Selected = TColorTone{0xCC8844, 0, 0};
    grid->SetColorTones(t);
    struct Buttons {
        const char* name;
        Color face, hot, down, border;
    };
    auto expectTones = [](const Buttons& b) {
        EXPECT_EQ(b.face, 0xFAFAFAu) << b.name;
        EXPECT_EQ(b.hot, 0xEEDDCCu) << b.name;
        EXPECT_EQ(b.down, 0xCC8844u) << b.name;
        EXPECT_EQ(b.border, 0x999999u) << b.name;
    };
    const TXgrSpinButton* spin = grid->SpinEdit()->Button();
    expectTones({"spin", spin->ButtonColor, spin->ButtonColorHot, spin->ButtonColorDown, spin->ButtonBorderColor});
    for (TXgrEditBtn* e : {static_cast<TXgrEditBtn*>(grid->EditBtn()), static_cast<TXgrEditBtn*>(grid->UnitEditBtn())}) {
        const TXgrEditButton* b = e->Button();
        expectTones({"edit with a button", b->ButtonColor, b->ButtonColorHot, b->ButtonColorDown, b->ButtonBorderColor});
    }
    const TGridCombo* combo = grid->EditCombo();
    expectTones({"combo", combo->ButtonColor, combo->ButtonColorHot, combo->ButtonColorDown, combo->ButtonBorderColor});

    goTo(cDate, 2);
    key(Qt::Key_F2);
    TGridDatePicker* dp = grid->GetDateEditor();
    ASSERT_TRUE(dp->isVisible());
    expectTones({"date picker", dp->ButtonColor, dp->ButtonColorHot, dp->ButtonColorDown, dp->ButtonBorderColor});
    EXPECT_TRUE(dp->MetroStyle());
    EXPECT_EQ(dp->BorderColor(), 0xFAFAFAu) << "the background brush frames the picker";
    key(Qt::Key_Escape);
    // The date-and-time picker, the check box and the push button take no tones.
    EXPECT_FALSE(grid->DateAndTimePicker()->MetroStyle());
}

TEST_F(EditorsTest, TheDatePickerTakesATypedDateWithParseInput)
{
    grid->GetDateEditor()->ParseInput = true;
    grid->SetCells(cDate, 3, "15/03/2024");
    goTo(cDate, 3);
    key(Qt::Key_F2); // the grid opens the picker
    TGridDatePicker* dp = grid->GetDateEditor();
    ASSERT_TRUE(dp->hasFocus());
    key(Qt::Key_F2); // the picker opens its text field
    ASSERT_NE(dp->InputEdit(), nullptr);
    dp->InputEdit()->setText("20/04/2024");
    key(Qt::Key_Return); // the text field takes the date; the editor stays open
    EXPECT_EQ(dp->InputEdit(), nullptr);
    EXPECT_TRUE(grid->EditMode());
    EXPECT_EQ(dp->Text(), "20/04/2024");
    key(Qt::Key_Return);
    EXPECT_EQ(cell(cDate, 3), "20/04/2024");
}

TEST_F(EditorsTest, ASpinColumnShowsItsSpinButtonsByItsOwnEditorKind)
{
    grid->ControlLook.SetSpinButtonsAlwaysVisible(true);
    for (int c = 0; c < cCount; ++c) {
        const bool spin = c == cSpin || c == cFloat || c == cDateSpin || c == cTimeSpin;
        EXPECT_EQ(grid->HasSpinEdit(c, 2), spin) << "column " << c;
    }
    EXPECT_FALSE(grid->HasSpinEdit(cSpin, 0)) << "the header";
    // The application's editor event still has the last word.
    grid->OnGetEditorType = [](TExtStringGrid*, int col, int row, TEditorType& e) {
        if (col == cSpin && row == 3)
            e = edNormal;
        if (col == cText)
            e = edSpinEdit;
    };
    EXPECT_FALSE(grid->HasSpinEdit(cSpin, 3));
    EXPECT_TRUE(grid->HasSpinEdit(cSpin, 2));
    EXPECT_TRUE(grid->HasSpinEdit(cText, 2));
    EXPECT_FALSE(grid->HasSpinEdit(cNo, 2)) << "a fixed column";
    grid->OnGetEditorType = nullptr;
    grid->ControlLook.SetSpinButtonsAlwaysVisible(false);
    EXPECT_FALSE(grid->HasSpinEdit(cSpin, 2));
    grid->ControlLook.SetSpinButtonsAlwaysVisible(true);

    // A click on the lower half of the drawn buttons steps the opening editor down by the
    // column's step, with no event set.
    grid->SetCells(cSpin, 2, "20");
    goTo(cSpin, 2);
    const platform::Rect r = grid->CellRect(cSpin, 2);
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, Qt::NoModifier, QPoint(r.right - 4, r.bottom - 3));
    settle();
    key(Qt::Key_F2);
    ASSERT_TRUE(grid->EditMode());
    EXPECT_EQ(grid->SpinEdit()->text(), "15");
    key(Qt::Key_Escape);
    EXPECT_EQ(cell(cSpin, 2), "20");
}

} // namespace
} // namespace gridtest
