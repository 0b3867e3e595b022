#include "DropDownFixture.h"
#include "controls/grid/dropdown/ColorPickerDropDown.h"
#include "platform/ui/Timer.h"

#include <QImage>

using namespace dropdown_test;
using namespace platform;

namespace {

class ColorPickerTest : public DropDownWindowTest {
protected:
    void SetUp() override
    {
        DropDownWindowTest::SetUp();
        picker = new TExtColorPickerDropDown(&window);
        picker->AddDefaultColors();
        Put(picker, 200, 200);
        picker->OnSelect = [this](QObject*) { ++selects; };
    }
    TExtColorPickerDropDown* picker = nullptr;
    int selects = 0;
};

// The wheel: over the open popup it moves the list's hot item (the choice stays); over the closed
// edit it steps the choice through the list, which the first opening filled.
TEST_F(ColorPickerTest, WheelMovesTheHotItemWhileOpenAndTheChoiceWhileClosed)
{
    picker->SetItemIndex(3);
    picker->ShowDropDown();
    ASSERT_TRUE(picker->DroppedDown());
    const int hot = picker->ListSelector()->ItemHot();
    Wheel(picker->DropDownForm(), true);
    EXPECT_EQ(picker->ListSelector()->ItemHot(), hot + 1);
    EXPECT_EQ(picker->ItemIndex(), 3);
    EXPECT_TRUE(picker->DroppedDown()) << "a wheel step does not close the popup";
    picker->HideDropDown(true);
    Wheel(picker, true);
    EXPECT_EQ(picker->ItemIndex(), 4);
    Wheel(picker, false);
    Wheel(picker, false);
    EXPECT_EQ(picker->ItemIndex(), 2);
    EXPECT_FALSE(picker->DroppedDown());
}

TEST_F(ColorPickerTest, SelectedColourFindsItsItemAndText)
{
    ASSERT_EQ(picker->Colors().Count(), 16);
    picker->SetSelectedColor(0x0000FF);
    EXPECT_EQ(picker->ItemIndex(), 9);
    EXPECT_EQ(picker->SelectedColorText(), QStringLiteral("Red"));
    EXPECT_EQ(selects, 1);
    picker->SetSelectedColor(0x807CFF);
    EXPECT_EQ(picker->ItemIndex(), -1);
    EXPECT_EQ(picker->SelectedColorText(), QString());
    picker->ColorValueText = cvtHTML;
    EXPECT_EQ(picker->SelectedColorText(), QStringLiteral("#FF7C80"));
    picker->ColorValueText = cvtRGB;
    EXPECT_EQ(picker->SelectedColorText(), QStringLiteral("Red:255,Green:124,Blue:128"));
    picker->SetItemIndex(99); // beyond the items: ignored
    EXPECT_EQ(picker->ItemIndex(), -1);
    picker->AddDefaultColors();
    picker->SetSelectedColor(0x000000);
    EXPECT_EQ(picker->ItemIndex(), 0); // the first copy
}

TEST_F(ColorPickerTest, EditShowsTheBoxAndTheName)
{
    picker->SetSelectedColor(0x0000FF);
    window.setFocus(); // not focused: plain colours
    const QImage img = picker->grab().toImage();
    const int boxY = picker->height() / 2;
    EXPECT_EQ(fromQColor(img.pixelColor(1 + 4 + 7, boxY)), 0x0000FFu);
    EXPECT_EQ(fromQColor(img.pixelColor(1 + 4, boxY)), clBlack); // its frame
}

TEST_F(ColorPickerTest, ListByKeyboardAndMouse)
{
    picker->SetSelectedColor(0x008000); // Green, item 2
    Key(picker, Qt::Key_F4);
    ASSERT_TRUE(picker->DroppedDown());
    TExtCustomItemSelector* list = picker->ListSelector();
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->ItemIndex(), 2);
    Key(picker->DropDownForm(), Qt::Key_Down);
    EXPECT_TRUE(picker->DroppedDown()); // moving in the list keeps the popup open
    EXPECT_EQ(picker->ItemIndex(), 3);
    EXPECT_EQ(picker->SelectedColor(), 0x008080u);
    int selects = 0;
    picker->OnSelect = [&](QObject*) { ++selects; };
    Key(picker->DropDownForm(), Qt::Key_Escape); // cancelled: back to Green
    EXPECT_FALSE(picker->DroppedDown());
    EXPECT_EQ(picker->ItemIndex(), 2);
    EXPECT_EQ(picker->SelectedColor(), 0x008000u);
    EXPECT_EQ(selects, 1) << "one notice for the restored colour";
    // A free colour comes back as it was, without an item.
    picker->SetSelectedColor(0x807CFF);
    picker->ShowDropDown();
    Key(picker->DropDownForm(), Qt::Key_Down);
    EXPECT_EQ(picker->ItemIndex(), 0);
    selects = 0;
    Key(picker->DropDownForm(), Qt::Key_Escape);
    EXPECT_EQ(picker->ItemIndex(), -1);
    EXPECT_EQ(picker->SelectedColor(), 0x807CFFu);
    EXPECT_EQ(selects, 1);
    picker->OnSelect = nullptr;
    // A click on an item picks it and closes.
    picker->ShowDropDown();
    const Rect r = list->Items()[5]->ItemRect;
    Click(list->Panel(), QPoint(r.left + 3, r.top + 3));
    EXPECT_FALSE(picker->DroppedDown());
    EXPECT_EQ(picker->ItemIndex(), 5);
    EXPECT_EQ(picker->SelectedColorText(), QStringLiteral("Purple"));
    // Return picks the hot item.
    picker->ShowDropDown();
    const Rect r7 = list->Items()[7]->ItemRect;
    MoveMouse(list->Panel(), QPoint(r7.left + 3, r7.top + 3));
    EXPECT_EQ(list->ItemHot(), 7);
    Key(picker->DropDownForm(), Qt::Key_Return);
    EXPECT_FALSE(picker->DroppedDown());
    EXPECT_EQ(picker->ItemIndex(), 7);
}

TEST_F(ColorPickerTest, ClosedPickerStepsAndTypedNamesLookUp)
{
    picker->SetItemIndex(4);
    Key(picker, Qt::Key_Down);
    EXPECT_EQ(picker->ItemIndex(), 5);
    Key(picker, Qt::Key_Up);
    Key(picker, Qt::Key_Up);
    EXPECT_EQ(picker->ItemIndex(), 3);
    Key(picker, Qt::Key_End);
    EXPECT_EQ(picker->ItemIndex(), 15);
    ManualTimers manual;
    picker->ShowDropDown(); // the list is filled at the first drop-down
    Key(picker->DropDownForm(), Qt::Key_S, Qt::NoModifier, QStringLiteral("s"));
    Key(picker->DropDownForm(), Qt::Key_I, Qt::NoModifier, QStringLiteral("i"));
    EXPECT_EQ(picker->SearchText(), QStringLiteral("SI"));
    EXPECT_TRUE(picker->DroppedDown());
    EXPECT_EQ(picker->SelectedColorText(), QStringLiteral("Silver"));
    clock.advance(500);
    fireDueTimers();
    EXPECT_EQ(picker->SearchText(), QString());
    // Shift before a capital letter, a function key: not part of the search.
    Key(picker->DropDownForm(), Qt::Key_Shift, Qt::ShiftModifier);
    Key(picker->DropDownForm(), Qt::Key_R, Qt::ShiftModifier, QStringLiteral("R"));
    Key(picker->DropDownForm(), Qt::Key_F2);
    Key(picker->DropDownForm(), Qt::Key_E, Qt::NoModifier, QStringLiteral("e"));
    EXPECT_EQ(picker->SearchText(), QStringLiteral("RE"));
    EXPECT_EQ(picker->SelectedColorText(), QStringLiteral("Red"));
}

TEST_F(ColorPickerTest, CubeAndSpectrum)
{
    picker->SetColorSelectionStyle(csColorCube);
    picker->ShowDropDown();
    ASSERT_TRUE(picker->DroppedDown());
    TDropDownForm* form = picker->DropDownForm();
    EXPECT_EQ(form->size(), QSize(182 + 2, 160 + 2));
    EXPECT_FALSE(form->Sizeable);
    Click(picker->CubePanel(), QPoint(91, 80)); // the white centre cell
    EXPECT_FALSE(picker->DroppedDown());
    EXPECT_EQ(picker->SelectedColor(), 0xFFFFFFu);
    EXPECT_EQ(picker->ItemIndex(), -1);

    picker->SetColorSelectionStyle(csSpectrum);
    picker->ShowDropDown();
    TSpectrumImage* image = picker->SpectrumPanel()->Picture();
    const Color under = image->Bitmap().pixel(30, 60);
    MoveMouse(image, QPoint(30, 60));
    EXPECT_EQ(picker->SpectrumPanel()->HotColor(), under);
    Click(image, QPoint(30, 60));
    EXPECT_FALSE(picker->DroppedDown());
    EXPECT_EQ(picker->SelectedColor(), under);
}

TEST_F(ColorPickerTest, DiscretePaletteCancelRestoresColourAndItem)
{
    picker->SetSelectedColor(0xFF0000); // Blue, item 12
    picker->SetColorSelectionStyle(csDiscrete);
    picker->ShowDropDown();
    ASSERT_TRUE(picker->DroppedDown());
    Key(picker->DropDownForm(), Qt::Key_Home);
    EXPECT_TRUE(picker->DroppedDown());
    EXPECT_EQ(picker->SelectedColor(), 0xFFFFFFu); // keys move the picker's colour
    Key(picker->DropDownForm(), Qt::Key_Escape);
    EXPECT_EQ(picker->SelectedColor(), 0xFF0000u);
    EXPECT_EQ(picker->ItemIndex(), 12);
    // A click on a box picks it.
    picker->ShowDropDown();
    const Rect box = picker->BoxSelector()->Model().Items[11].rect;
    Click(picker->BoxSelector(), QPoint(box.left + 2, box.top + 2));
    EXPECT_FALSE(picker->DroppedDown());
    EXPECT_EQ(picker->SelectedColor(), 0x7F7F7Fu);
    // The palette's layout values lay the boxes out again.
    TCustomColorSelector* boxes = picker->BoxSelector();
    EXPECT_EQ(boxes->size(), QSize(165, 84));
    boxes->SetColumns(5);
    EXPECT_EQ(boxes->Model().Items[5].rect.left, 4);
    boxes->SetColorBoxWidth(20);
    EXPECT_EQ(boxes->Model().Items[1].rect.left, 4 + 20 + 4);
    boxes->SetColumnGap(2);
    boxes->SetColorBoxHeight(10);
    EXPECT_EQ(boxes->Model().Items[1].rect, (Rect{26, 4, 46, 14}));
}

} // namespace
