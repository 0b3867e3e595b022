#include "DropDownFixture.h"
#include "controls/grid/dropdown/MultiColumnDropDown.h"

using namespace dropdown_test;
using namespace platform;

namespace {

class MultiColumnTest : public DropDownWindowTest {
protected:
    void SetUp() override
    {
        DropDownWindowTest::SetUp();
        mc = new TExtMultiColumnDropDown(&window);
        Put(mc, 300, 200);
        for (const char* h : {"Name", "Code"}) {
            TDropDownColumn* c = mc->Columns().Add();
            c->Header = QString::fromLatin1(h);
        }
    }
    void AddItems(const QStringList& names)
    {
        mc->BeginUpdate();
        for (int i = 0; i < names.size(); ++i)
            mc->Items().Add()->Text = QStringList{names[i], QStringLiteral("C%1").arg(i)};
        mc->EndUpdate();
    }
    TExtMultiColumnDropDown* mc = nullptr;
};

TEST_F(MultiColumnTest, TypeAheadTakesTheItemsCaseOnRelease)
{
    AddItems({"Apple", "About"});
    mc->SetEditText(QString());
    Type(mc, QStringLiteral("a"));
    EXPECT_EQ(mc->GetText(), QStringLiteral("Apple"));
    Type(mc, QStringLiteral("b"));
    EXPECT_EQ(mc->GetText(), QStringLiteral("About"));
    EXPECT_EQ(mc->ItemIndex(), 1);
    EXPECT_EQ(mc->InputSelStart(), 2);
    EXPECT_EQ(mc->InputSelLength(), 3);
    // After Backspace the next change does not complete; the next ordinary key does.
    Key(mc, Qt::Key_Backspace, Qt::NoModifier, QString(QChar(8)));
    EXPECT_EQ(mc->GetText(), QStringLiteral("Ab"));
}

TEST_F(MultiColumnTest, WheelOverTheEditStepsTheItem)
{
    AddItems({"One", "Two", "Three"});
    mc->SetItemIndex(1);
    Wheel(mc, true);
    EXPECT_EQ(mc->ItemIndex(), 2);
    EXPECT_EQ(mc->GetText(), QStringLiteral("Three"));
    Wheel(mc, true); // stays at the last
    EXPECT_EQ(mc->ItemIndex(), 2);
    Wheel(mc, false);
    Wheel(mc, false);
    EXPECT_EQ(mc->ItemIndex(), 0);
}

TEST_F(MultiColumnTest, StepKeys)
{
    QStringList names;
    for (int i = 0; i < 12; ++i)
        names << QStringLiteral("Item%1").arg(i, 2, 10, QLatin1Char('0'));
    AddItems(names);
    Key(mc, Qt::Key_Down);
    EXPECT_EQ(mc->ItemIndex(), 0);
    mc->SetItemIndex(5);
    Key(mc, Qt::Key_PageDown);
    EXPECT_EQ(mc->ItemIndex(), 11);
    mc->SetItemIndex(3);
    Key(mc, Qt::Key_PageUp);
    EXPECT_EQ(mc->ItemIndex(), 0);
    Key(mc, Qt::Key_Up);
    EXPECT_EQ(mc->ItemIndex(), 0);
    EXPECT_EQ(mc->GetText(), QStringLiteral("Item00"));
    mc->SetEditorEnabled(false);
    Key(mc, Qt::Key_End);
    EXPECT_EQ(mc->ItemIndex(), 11);
}

TEST_F(MultiColumnTest, MissingLookupTextsReadAsEmpty)
{
    mc->Items().Add()->Text = QStringList{"only"};
    mc->Items().Add()->Text = QStringList{"x", "y"};
    mc->LookupColumn = 1;
    mc->EndUpdate();
    mc->SetItemIndex(0);
    EXPECT_EQ(mc->GetText(), QString());
    EXPECT_EQ(mc->GetItemIndex(QStringLiteral("y")), 1);
    EXPECT_EQ(mc->LookupItems(), (QStringList{"", "y"}));
    TExtMultiColumnDropDown copy(&window);
    copy.Assign(mc);
    ASSERT_EQ(copy.Items().Count(), 2);
    EXPECT_EQ(copy.Items()[1]->Text, (QStringList{"x", "y"})); // an item copies its texts too
}

TEST_F(MultiColumnTest, PopupRowsMouseAndKeys)
{
    AddItems({"Red", "Green", "Blue", "Black"});
    mc->SetItemIndex(1);
    Key(mc, Qt::Key_F4);
    ASSERT_TRUE(mc->DroppedDown());
    auto* grid = mc->Grid();
    EXPECT_EQ(mc->DropDownForm()->height(), 181); // whole rows: header 25 + 7 x 22 + 2
    EXPECT_EQ(grid->row(), 2);
    // A click on the row of "Blue" chooses it and closes.
    const Rect r = grid->cellRect(0, 3);
    Click(grid->viewport(), QPoint(r.left + 3, r.top + 3));
    EXPECT_FALSE(mc->DroppedDown());
    EXPECT_EQ(mc->ItemIndex(), 2);
    EXPECT_EQ(mc->GetText(), QStringLiteral("Blue"));
    // Down in the grid then Escape: back to Blue; Down then Return: Black.
    mc->ShowDropDown();
    Key(grid, Qt::Key_Down);
    EXPECT_EQ(mc->ItemIndex(), 3);
    Key(grid, Qt::Key_Escape);
    EXPECT_FALSE(mc->DroppedDown());
    EXPECT_EQ(mc->ItemIndex(), 2);
    mc->ShowDropDown();
    Key(grid, Qt::Key_Down);
    Key(grid, Qt::Key_Return);
    EXPECT_FALSE(mc->DroppedDown());
    EXPECT_EQ(mc->GetText(), QStringLiteral("Black"));
    // Typing in the grid looks the item up.
    mc->ShowDropDown();
    Key(grid, Qt::Key_G, Qt::NoModifier, QStringLiteral("g"));
    EXPECT_EQ(grid->row(), 2);
    EXPECT_EQ(mc->GetText(), QStringLiteral("Green"));
}

} // namespace
