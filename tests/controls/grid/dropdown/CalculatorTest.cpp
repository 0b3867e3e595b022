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

// A keypad on its own builds its buttons when it shows, draws a black frame and reports a click
// only where the press was released on the same button.
TEST_F(CalculatorTest, PanelOfItsOwn)
{
    TCustomButtonPanel pad(&window);
    pad.setGeometry(400, 400, 230, 150);
    QList<int> clicks;
    pad.OnButtonClick = [&](QObject*, int index) { clicks << index; };
    pad.show();
    ASSERT_EQ(pad.Buttons().Count(), 28);
    EXPECT_EQ(fromQColor(pad.grab().toImage().pixelColor(0, 0)), clBlack);
    const Rect seven = pad.Buttons()[11]->ButtonRect;
    ASSERT_EQ(pad.Buttons()[11]->Caption, QStringLiteral("7"));
    Click(&pad, QPoint(seven.left + 5, seven.top + 5));
    EXPECT_EQ(clicks, QList<int>{11});
    // Pressed on 7, released on 8: no click.
    const Rect eight = pad.Buttons()[12]->ButtonRect;
    const QPointF on7(seven.left + 5, seven.top + 5);
    QMouseEvent press(QEvent::MouseButtonPress, on7, pad.mapToGlobal(on7), Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QApplication::sendEvent(&pad, &press);
    EXPECT_EQ(pad.ButtonDown(), 11);
    QMouseEvent release(QEvent::MouseButtonRelease, QPointF(eight.right - 3, eight.top + 5),
                        pad.mapToGlobal(QPointF(eight.right - 3, eight.top + 5)), Qt::LeftButton, Qt::NoButton,
                        Qt::NoModifier);
    QApplication::sendEvent(&pad, &release);
    EXPECT_EQ(clicks, QList<int>{11});
    EXPECT_EQ(pad.ButtonDown(), -1);
    // A calculator's keypad draws no frame of its own.
    calc->ShowDropDown();
    EXPECT_NE(fromQColor(calc->Keypad()->grab().toImage().pixelColor(0, 0)), clBlack);
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
