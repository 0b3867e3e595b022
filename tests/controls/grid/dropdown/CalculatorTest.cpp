#include "DropDownFixture.h"
#include "controls/grid/dropdown/CalculatorDropDown.h"

using namespace dropdown_test;
using namespace platform;

namespace {

class CalculatorTest : public DropDownWindowTest {
protected:
    void SetUp() override
    {
        DropDownWindowTest::SetUp();
        calc = new TExtCalculatorDropdown(&window);
        Put(calc, 300, 300);
    }
    // Clicks the keypad button with this caption.
    void Press(const QString& caption)
    {
        TCustomButtonPanel* pad = calc->Keypad();
        for (int i = 0; i < pad->Buttons().Count(); ++i) {
            if (pad->Buttons()[i]->Caption == caption) {
                const Rect r = pad->Buttons()[i]->ButtonRect;
                Click(pad, QPoint(r.left + r.width() / 2, r.top + r.height() / 2));
                return;
            }
        }
        FAIL() << caption.toStdString();
    }
    TExtCalculatorDropdown* calc = nullptr;
};

TEST_F(CalculatorTest, TypedIntoTheEdit)
{
    calc->SetEditText(QString());
    Type(calc, QStringLiteral("12*3\r"));
    EXPECT_EQ(calc->GetText(), QStringLiteral("36.00"));
    EXPECT_FALSE(calc->DroppedDown());
    EXPECT_DOUBLE_EQ(calc->Value(), 36);
}

TEST_F(CalculatorTest, KeypadByMouse)
{
    Key(calc, Qt::Key_F4);
    ASSERT_TRUE(calc->DroppedDown());
    EXPECT_EQ(calc->DropDownForm()->size(), QSize(230, 152));
    for (const char* b : {"1", "2", "+", "3", "="})
        Press(QString::fromLatin1(b));
    EXPECT_EQ(calc->GetText(), QStringLiteral("15.00"));
    Press(QStringLiteral("/"));
    Press(QStringLiteral("0"));
    Press(QStringLiteral("="));
    EXPECT_EQ(calc->GetText(), QStringLiteral("Error"));
    Press(QStringLiteral("C"));
    EXPECT_EQ(calc->GetText(), QStringLiteral("0.00"));
    EXPECT_TRUE(calc->DroppedDown());
}

TEST_F(CalculatorTest, TypedInThePopupAndEscape)
{
    calc->SetText(QStringLiteral("7"));
    Key(calc, Qt::Key_F4);
    TDropDownForm* form = calc->DropDownForm();
    Type(form, QStringLiteral("12+3"));
    EXPECT_EQ(calc->GetText(), QStringLiteral("3.00"));
    Key(form, Qt::Key_Escape);
    EXPECT_FALSE(calc->DroppedDown());
    EXPECT_EQ(calc->GetText(), QStringLiteral("7.00"));
    Key(calc, Qt::Key_F4);
    Type(form, QStringLiteral("12+3\r"));
    EXPECT_FALSE(calc->DroppedDown());
    EXPECT_EQ(calc->GetText(), QStringLiteral("15.00"));
    // Tab typed in the popup closes it keeping the value.
    Key(calc, Qt::Key_F4);
    Type(form, QStringLiteral("2"));
    Key(form, Qt::Key_Tab);
    EXPECT_FALSE(calc->DroppedDown());
    EXPECT_EQ(calc->GetText(), QStringLiteral("2.00"));
}

TEST_F(CalculatorTest, ThousandSeparatorsAndStyle)
{
    calc->SetText(QStringLiteral("1234.5"));
    calc->SetShowThousandSeparator(true);
    EXPECT_EQ(calc->EditType(), etMoney);
    EXPECT_EQ(calc->GetText(), QStringLiteral("1,234.50"));
    EXPECT_DOUBLE_EQ(calc->Value(), 1234.5);
    calc->SetComponentStyle(tsOffice2010Blue);
    EXPECT_EQ(calc->CalcButtonAppearance().GlowColorHot, calc->ButtonAppearance().ColorHot());
    calc->SetComponentStyle(tsOffice2007Luna);
    EXPECT_EQ(calc->CalcButtonAppearance().GlowColorDown, 0xD5C244u);
    EXPECT_EQ(calc->CalcButtonAppearance().Color(), calc->ButtonAppearance().Color());
}

} // namespace
