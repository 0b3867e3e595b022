// The drop-down cell editors in a column grid: each kind opens on its key, takes a choice into
// the cell and leaves with Tab; Escape keeps the cell; the key protocol's differences between the
// kinds; the values read back (memo lines, colours, images, the grid drop-down's row).
#include "controls/grid/auxwin/GridAux.h"
#include "GridKeyDriver.h"
#include "controls/grid/column/ColumnGrid.h"
#include "controls/grid/dropdown/DropDownBars.h"
#include "controls/grid/dropdown/grid/GridExtGridEditor.h"
#include "controls/grid/edit/GridDropDownEditors.h"

#include "support/QtPrinters.h"

#include <QApplication>
#include <QCoreApplication>
#include <QPlainTextEdit>
#include <QSlider>
#include <QTest>
#include <QWidget>
#include <gtest/gtest.h>

namespace gridtest {
namespace {

using namespace controls::grid;
using platform::Color;

enum Cols { cNo, cTrack, cMemo, cCalc, cTime, cDetail, cMulti, cColor, cImage, cExtGrid, cText, cCount };

class DropDownEditorsTest : public ::testing::Test, protected GridKeyDriver {
protected:
    void SetUp() override
    {
        window.resize(1400, 500);
        grid = new TExtColumnGrid(&window);
        grid->setGeometry(0, 0, 1380, 480);
        grid->SetColCount(cCount);
        grid->SetRowCount(8);
        grid->setOptions(grid->options() | platform::goTabs);
        const TEditorType kinds[cCount] = {edNormal,          edTrackbarDropDown, edMemoDropDown,        edCalculatorDropDown,
                                           edTimePickerDropDown, edDetailDropDown, edGridDropDown,     edColorPickerDropDown,
                                           edImagePickerDropDown, edExtGridDropDown, edNormal};
        for (int c = 0; c < cCount; ++c) {
            grid->Columns().Items(c)->SetEditor(kinds[c]);
            grid->Columns().Items(c)->SetWidth(110);
        }
        images.Add(platform::Bitmap(16, 16, platform::clRed));
        images.Add(platform::Bitmap(16, 16, platform::clBlue));
        grid->SetGridImages(&images);
        // The application fills the list editors as their cells open.
        grid->OnGetEditorProp = [this](TExtStringGridEdit*, int col, int) {
            if (col == cDetail && grid->DetailPickerDropDown()->Items().Count() == 0)
                for (const char* n : {"North", "South", "East"})
                    grid->DetailPickerDropDown()->Items().Add()->SetCaption(QString::fromLatin1(n));
            if (col == cMulti && grid->GridDropDown()->Items().Count() == 0) {
                grid->GridDropDown()->Columns().Add()->Header = QStringLiteral("Name");
                for (const char* n : {"Red", "Green", "Blue"})
                    grid->GridDropDown()->Items().Add()->Text = QStringList{QString::fromLatin1(n)};
            }
            if (col == cExtGrid && grid->ExtGridPicker()->Items().Count() == 0) {
                auto* g = grid->ExtGridPicker();
                g->Columns().Add()->Header = QStringLiteral("City");
                g->Columns().Add()->Header = QStringLiteral("Code");
                for (const char* n : {"Oslo", "Berlin", "Rome"})
                    g->Items().Add()->Text = QStringList{QString::fromLatin1(n), QStringLiteral("x")};
            }
        };
        window.show();
        QApplication::setActiveWindow(&window);
        grid->setFocus();
        settle();
    }
    // The clock's hands jump (no animation timer to wait for).
    void StillClock() { grid->TimePickerDropDown()->Animation = false; }


    QWidget window;
    platform::TImageList images{16, 16};
};

// Per kind: the cell before, the keys after F2 (in the closed editor, or in the popup after
// F4), and the cell after Tab - the next column is current then.
TEST_F(DropDownEditorsTest, EachKindOpensTakesAChoiceAndLeavesWithTab)
{
    struct Case {
        int col;
        const char* before;
        std::function<void()> choose;
        const char* after;
    };
    auto popup = [this](std::vector<Qt::Key> keys) {
        return [this, keys] {
            key(Qt::Key_F4);
            for (Qt::Key k : keys)
                key(k);
        };
    };
    const Case cases[] = {
        {cTrack, "3", [this] { grid->TrackbarDropDown()->SetPosition(7); }, "7"},
        {cMemo, "one\r\n", [this] {
             key(Qt::Key_F4);
             grid->MemoDropDown()->Memo()->setPlainText(QStringLiteral("one\ntwo"));
             key(Qt::Key_F4);
         }, "one\r\ntwo\r\n"},
        {cCalc, "7", [this] { type(QStringLiteral("12*3=")); }, "36.00"},
        {cTime, "09:30:00", popup({Qt::Key_PageUp, Qt::Key_Return}), "10:30:00"},
        {cDetail, "North", popup({Qt::Key_Down, Qt::Key_Return}), "South"},
        {cMulti, "Red", popup({Qt::Key_Down, Qt::Key_Down, Qt::Key_Return}), "Blue"},
        {cExtGrid, "Oslo", popup({Qt::Key_Down, Qt::Key_Return}), "Berlin"},
    };
    StillClock();
    int row = 1;
    for (const Case& c : cases) {
        SCOPED_TRACE(QStringLiteral("column %1").arg(c.col).toStdString());
        grid->SetCells(c.col, row, QString::fromLatin1(c.before));
        goTo(c.col, row);
        key(Qt::Key_F2);
        ASSERT_TRUE(grid->EditMode());
        auto* editor = grid->DropDownEditor(grid->EditControl());
        ASSERT_NE(editor, nullptr);
        EXPECT_EQ(focused(), editor);
        EXPECT_EQ(editor->geometry().topLeft(),
                  QPoint(grid->CellRect(c.col, row).left, grid->CellRect(c.col, row).top));
        c.choose();
        EXPECT_FALSE(editor->DroppedDown());
        key(Qt::Key_Tab);
        EXPECT_FALSE(editor->isVisible());
        EXPECT_EQ(cell(c.col, row), QString::fromLatin1(c.after));
        EXPECT_EQ(grid->col(), c.col + 1) << "Tab walked on";
        EXPECT_TRUE(grid->EditMode()) << "and opened the next cell's editor";
        grid->HideInplaceEdit();
        row = row % 7 + 1;
    }
}

TEST_F(DropDownEditorsTest, EscapeKeepsTheCellAndATypedKeyOpensWithIt)
{
    grid->SetCells(cMemo, 1, QStringLiteral("keep\r\n"));
    goTo(cMemo, 1);
    key(Qt::Key_F2);
    key(Qt::Key_F4);
    QTest::keyClicks(grid->MemoDropDown()->Memo(), QStringLiteral("xy"));
    settle();
    EXPECT_EQ(cell(cMemo, 1), QStringLiteral("xykeep\r\n")) << "the memo writes into the cell as it is typed";
    key(Qt::Key_Escape); // closes the memo
    EXPECT_TRUE(grid->EditMode());
    key(Qt::Key_Escape); // ends the edit
    EXPECT_FALSE(grid->EditMode());
    EXPECT_EQ(cell(cMemo, 1), QStringLiteral("keep\r\n"));
    // A typed digit opens the calculator with that digit.
    grid->SetCells(cCalc, 2, QStringLiteral("5"));
    goTo(cCalc, 2);
    type(QStringLiteral("8"));
    ASSERT_TRUE(grid->EditMode());
    EXPECT_EQ(grid->CalculatorDropDown()->GetText(), QStringLiteral("8"));
    key(Qt::Key_Escape);
    EXPECT_EQ(cell(cCalc, 2), QStringLiteral("5"));
    EXPECT_EQ(grid->col(), cCalc);
}

TEST_F(DropDownEditorsTest, EnterInTheCalculatorWritesTheResultAndMovesOn)
{
    grid->SetCells(cCalc, 3, QStringLiteral("1"));
    goTo(cCalc, 3);
    key(Qt::Key_F2);
    type(QStringLiteral("12*3"));
    key(Qt::Key_Return);
    EXPECT_FALSE(grid->EditMode());
    EXPECT_EQ(cell(cCalc, 3), QStringLiteral("36.00")) << "the computed result, not the expression";
}

TEST_F(DropDownEditorsTest, ArrowsLeaveTheClosedEditorButStayInAnOpenColourList)
{
    // Up in a closed memo writes and moves up; Home in it moves the caret.
    grid->SetCells(cMemo, 4, QStringLiteral("abc\r\n"));
    goTo(cMemo, 4);
    key(Qt::Key_F2);
    key(Qt::Key_Home);
    EXPECT_TRUE(grid->EditMode());
    EXPECT_EQ(grid->MemoDropDown()->cursorPosition(), 0);
    key(Qt::Key_Up);
    EXPECT_FALSE(grid->EditMode());
    EXPECT_EQ(grid->row(), 3);
    // In an open list the arrows move in the list; Enter there writes the item and moves on.
    grid->SetCells(cDetail, 4, QStringLiteral("North"));
    goTo(cDetail, 4);
    key(Qt::Key_F2);
    key(Qt::Key_F4);
    ASSERT_TRUE(grid->DetailPickerDropDown()->DroppedDown());
    key(Qt::Key_Down);
    key(Qt::Key_Down);
    EXPECT_TRUE(grid->EditMode());
    EXPECT_EQ(grid->DetailPickerDropDown()->GetText(), QStringLiteral("East"));
    key(Qt::Key_Return);
    EXPECT_FALSE(grid->DetailPickerDropDown()->isVisible());
    EXPECT_EQ(cell(cDetail, 4), QStringLiteral("East"));
    // The open colour list takes Up; Return writes the colour and its name.
    grid->SetColors(cColor, 4, platform::clBlue);
    goTo(cColor, 4);
    key(Qt::Key_F2);
    TGridColorDropDown* colour = grid->ColorPickerDropDown();
    EXPECT_EQ(colour->SelectedColor(), platform::clBlue);
    key(Qt::Key_F4);
    ASSERT_TRUE(colour->DroppedDown());
    key(Qt::Key_Up);
    EXPECT_TRUE(grid->EditMode());
    const Color chosen = colour->SelectedColor();
    EXPECT_NE(chosen, platform::clBlue);
    int selected = 0;
    grid->OnColorSelected = [&](TExtStringGridEdit*, int col, int row, Color& c, QString& text) {
        ++selected;
        EXPECT_EQ(col, cColor);
        EXPECT_EQ(row, 4);
        EXPECT_EQ(c, chosen);
        text = QStringLiteral("picked");
    };
    key(Qt::Key_Return); // in the open list: writes the colour and ends the edit
    EXPECT_FALSE(grid->EditMode());
    EXPECT_FALSE(colour->isVisible());
    EXPECT_EQ(selected, 1);
    EXPECT_EQ(grid->Colors(cColor, 4), chosen);
    EXPECT_EQ(cell(cColor, 4), QStringLiteral("picked"));
    grid->OnColorSelected = nullptr;
    // Home leaves the closed colour editor.
    goTo(cColor, 5);
    key(Qt::Key_F2);
    ASSERT_TRUE(grid->EditMode());
    key(Qt::Key_Home);
    EXPECT_FALSE(grid->EditMode());
}

TEST_F(DropDownEditorsTest, TabInThePopupWindowWritesAndWalksOn)
{
    // The popup window itself has the focus (a click on it), its list is beside it: Tab is
    // still the editor's key, not a move of the focus to the list.
    grid->SetColors(cColor, 6, platform::clRed);
    goTo(cColor, 6);
    key(Qt::Key_F2);
    key(Qt::Key_F4);
    TGridColorDropDown* colour = grid->ColorPickerDropDown();
    ASSERT_TRUE(colour->DroppedDown());
    colour->DropDownForm()->setFocus();
    QTest::keyClick(colour->DropDownForm(), Qt::Key_Tab);
    settle();
    EXPECT_FALSE(colour->isVisible());
    EXPECT_EQ(grid->col(), cColor + 1);
    EXPECT_EQ(grid->Colors(cColor, 6), platform::clRed);
}

TEST_F(DropDownEditorsTest, ImageCellsTakeTheChosenIndex)
{
    grid->AddImageIdx(cImage, 2, 0, haLeft, vaTop);
    goTo(cImage, 2);
    key(Qt::Key_F2);
    TGridImageDropDown* picker = grid->ImagePickerDropDown();
    ASSERT_TRUE(grid->EditMode());
    EXPECT_EQ(picker->Items().Count(), 2) << "filled from the grid's images";
    EXPECT_EQ(picker->ImageIndex(), 0);
    grid->OnImageSelected = [](TExtStringGridEdit*, int, int, int& index) { EXPECT_EQ(index, 1); };
    key(Qt::Key_F4);
    key(Qt::Key_Down);
    key(Qt::Key_Return);
    EXPECT_FALSE(grid->EditMode());
    int index = -1;
    ASSERT_TRUE(grid->GetImageIdx(cImage, 2, index));
    EXPECT_EQ(index, 1);
}

// The colour and image columns as the others: F2 opens the editor, F4 its list, Down chooses,
// Tab writes the choice (the cell's colour, the cell's image) and walks on to the next cell.
TEST_F(DropDownEditorsTest, ColourAndImageTakeAChoiceAndLeaveWithTab)
{
    grid->SetColors(cColor, 3, platform::clRed);
    goTo(cColor, 3);
    key(Qt::Key_F2);
    key(Qt::Key_F4);
    ASSERT_TRUE(grid->ColorPickerDropDown()->DroppedDown());
    const Color before = grid->ColorPickerDropDown()->SelectedColor();
    key(Qt::Key_Down);
    const Color chosen = grid->ColorPickerDropDown()->SelectedColor();
    EXPECT_NE(chosen, before);
    key(Qt::Key_Tab);
    EXPECT_EQ(grid->Colors(cColor, 3), chosen);
    EXPECT_EQ(grid->col(), cColor + 1);
    grid->HideInplaceEdit();

    grid->AddImageIdx(cImage, 3, 0, haLeft, vaTop);
    goTo(cImage, 3);
    key(Qt::Key_F2);
    key(Qt::Key_F4);
    ASSERT_TRUE(grid->ImagePickerDropDown()->DroppedDown());
    key(Qt::Key_Down);
    key(Qt::Key_Tab);
    int index = -1;
    ASSERT_TRUE(grid->GetImageIdx(cImage, 3, index));
    EXPECT_EQ(index, 1);
    EXPECT_EQ(grid->col(), cImage + 1);
}

TEST_F(DropDownEditorsTest, KeyPressSeesTheEditorAndARefusedValueKeepsItOpen)
{
    QObject* sender = nullptr;
    grid->OnKeyPress = [&](QObject* s, QChar& ch) {
        sender = s;
        if (ch == u'9')
            ch = QChar();
    };
    grid->OnCellValidate = [](TExtStringGridEdit*, int, int, QString& value, bool& valid) {
        if (value == QStringLiteral("4"))
            valid = false;
    };
    grid->SetCells(cTrack, 1, QStringLiteral("2"));
    goTo(cTrack, 1);
    key(Qt::Key_F2);
    TGridTrackbarDropDown* track = grid->TrackbarDropDown();
    type(QStringLiteral("9"));
    EXPECT_EQ(sender, track);
    EXPECT_EQ(track->GetText(), QStringLiteral("2")) << "the handler dropped the character";
    track->SetPosition(4);
    key(Qt::Key_Return);
    EXPECT_TRUE(grid->EditMode()) << "refused: the editor stays";
    EXPECT_EQ(track->selectedText(), track->text());
    track->SetPosition(5);
    key(Qt::Key_Return);
    EXPECT_FALSE(grid->EditMode());
    EXPECT_EQ(cell(cTrack, 1), QStringLiteral("5"));
}

TEST_F(DropDownEditorsTest, EditorsAreMadeOnceAndTakeTheGridsStyle)
{
    EXPECT_TRUE(grid->findChildren<TGridMemoDropDown*>().isEmpty());
    grid->SetComponentStyle(tsOffice2003Blue);
    goTo(cMulti, 1);
    key(Qt::Key_F2);
    key(Qt::Key_Escape);
    goTo(cMulti, 2);
    key(Qt::Key_F2);
    key(Qt::Key_Escape);
    EXPECT_EQ(grid->findChildren<TGridGridDropDown*>().size(), 1);
    EXPECT_EQ(grid->GridDropDown()->GetComponentStyle(), tsOffice2003Blue);
    grid->SetComponentStyle(tsWindows7);
    EXPECT_EQ(grid->GridDropDown()->GetComponentStyle(), tsWindows7);
    EXPECT_TRUE(grid->ExtGridPicker()->Grid()->FixedRowAlways());
}

// The grid's drop-down header and footer are copied into the editor as it opens: the header's
// caption and button show, a click on the button reaches the grid with the cell; a hidden footer
// stays hidden.
TEST_F(DropDownEditorsTest, TheGridsHeaderAndFooterReachTheEditorsPopup)
{
    grid->ControlLook.DropDownHeader.SetVisible(true);
    grid->ControlLook.DropDownHeader.Caption = QStringLiteral("Choose");
    grid->ControlLook.DropDownHeader.Buttons().Add()->SetCaption(QStringLiteral("Clear"));
    grid->ControlLook.DropDownFooter.SetVisible(false);
    QList<QPoint> clicks;
    grid->OnDropDownHeaderButtonClick = [&](TExtStringGridEdit*, int col, int row, int index) {
        clicks << QPoint(col, row) << QPoint(index, 0);
    };
    grid->SetCells(cDetail, 2, QStringLiteral("North"));
    goTo(cDetail, 2);
    key(Qt::Key_F2);
    key(Qt::Key_F4);
    auto* d = grid->DetailPickerDropDown();
    ASSERT_TRUE(d->DroppedDown());
    EXPECT_EQ(d->DropDownHeader().Caption, QStringLiteral("Choose"));
    dropdown::TExtHeader* header = d->DropDownForm()->Header();
    ASSERT_TRUE(header && header->isVisible());
    EXPECT_TRUE(!d->DropDownForm()->Footer() || !d->DropDownForm()->Footer()->isVisible());
    ASSERT_EQ(header->ButtonControls().size(), 1u);
    QTest::mouseClick(header->ButtonControls()[0], Qt::LeftButton, {}, QPoint(3, 3));
    EXPECT_EQ(clicks, (QList<QPoint>{QPoint(cDetail, 2), QPoint(0, 0)}));
}

TEST_F(DropDownEditorsTest, TheGridsStyleReachesSevenEditorsAndItsTonesReachAll)
{
    grid->SetComponentStyle(tsOffice2003Blue);
    // Every editor, made now, starts with the grid's style.
    std::vector<dropdown::TExtCustomDropDown*> all = {
        grid->TrackbarDropDown(),   grid->MemoDropDown(),        grid->CalculatorDropDown(),
        grid->TimePickerDropDown(), grid->DetailPickerDropDown(), grid->GridDropDown(),
        grid->ColorPickerDropDown(), grid->ImagePickerDropDown(), grid->ExtGridPicker()};
    for (auto* d : all)
        EXPECT_EQ(d->GetComponentStyle(), tsOffice2003Blue) << d->metaObject()->className();
    // A later style reaches all but the track bar and the grid drop-down.
    grid->SetComponentStyle(tsWindows7);
    for (auto* d : all) {
        const bool keeps = d == grid->TrackbarDropDown() || d == grid->ExtGridPicker();
        EXPECT_EQ(d->GetComponentStyle(), keeps ? tsOffice2003Blue : tsWindows7) << d->metaObject()->className();
    }
    // Colour tones reach every one: the button's colours and the edit's border.
    TColorTones tones;
    tones.Background = {0x102030, 0x405060, 0x000000};
    tones.Foreground = {0xF0F0F0, 0xE0E0E0, 0x000000};
    tones.Selected = {0x0000FF, 0x0000AA, 0xFFFFFF};
    tones.Hover = {0x00FF00, 0x00AA00, 0x000000};
    tones.Disabled = {0xC0C0C0, 0xA0A0A0, 0x808080};
    grid->SetColorTones(tones);
    for (auto* d : all) {
        SCOPED_TRACE(d->metaObject()->className());
        EXPECT_EQ(d->BorderColor(), Color(0x405060));
        EXPECT_EQ(d->Button()->ButtonColor, Color(0x102030));
        EXPECT_EQ(d->Button()->ButtonColorHot, Color(0x00FF00));
        EXPECT_EQ(d->Button()->ButtonColorDown, Color(0x0000FF));
    }
}

// The grid with its auxiliary windows edits a grid drop-down cell with the grid drop-down; the
// plain input grid below it, which has no such editor, edits it as text.
TEST(DropDownEditorsGrids, TheGridDropDownKindInTheGridWithItsWindowsAndBelowIt)
{
    QWidget window;
    window.resize(600, 300);
    auto* aux = new TExtStringGridAux(&window);
    aux->setGeometry(0, 0, 280, 280);
    auto* input = new TExtStringGridInput(&window);
    input->setGeometry(300, 0, 280, 280);
    for (TExtStringGridInput* g : {static_cast<TExtStringGridInput*>(aux), input}) {
        g->SetColCount(3);
        g->SetRowCount(4);
        g->setOptions(g->options() | platform::goEditing);
        g->OnGetEditorType = [](TExtStringGrid*, int col, int, TEditorType& kind) {
            if (col == 1)
                kind = edExtGridDropDown;
        };
        g->SetCells(1, 1, QStringLiteral("Oslo"));
    }
    aux->OnGetEditorProp = [aux](TExtStringGridEdit*, int, int) {
        auto* g = aux->ExtGridPicker();
        if (g->Items().Count() == 0) {
            g->Columns().Add()->Header = QStringLiteral("City");
            for (const char* n : {"Oslo", "Berlin", "Rome"})
                g->Items().Add()->Text = QStringList{QString::fromLatin1(n)};
        }
    };
    window.show();
    QApplication::setActiveWindow(&window);
    auto press = [](Qt::Key k) {
        QTest::keyClick(QApplication::focusWidget(), k);
        for (int i = 0; i < 3; ++i)
            QCoreApplication::processEvents();
    };

    aux->MoveToCell(1, 1);
    aux->setFocus();
    press(Qt::Key_F2);
    ASSERT_TRUE(aux->EditMode());
    EXPECT_EQ(aux->EditControl(), edExtGridDropDown);
    EXPECT_EQ(QApplication::focusWidget(), aux->ExtGridPicker());
    press(Qt::Key_F4);
    ASSERT_TRUE(aux->ExtGridPicker()->DroppedDown());
    press(Qt::Key_Down);
    press(Qt::Key_Return);
    press(Qt::Key_Return);
    EXPECT_FALSE(aux->EditMode());
    EXPECT_EQ(aux->Cells(1, 1), QStringLiteral("Berlin"));

    input->MoveToCell(1, 1);
    input->setFocus();
    press(Qt::Key_F2);
    ASSERT_TRUE(input->EditMode());
    EXPECT_EQ(input->EditControl(), edNormal);
    EXPECT_TRUE(input->findChildren<TGridExtGridDropDown*>().isEmpty());
}

} // namespace
} // namespace gridtest
