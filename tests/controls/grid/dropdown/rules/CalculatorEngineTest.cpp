#include "PlainInput.h"
#include "controls/grid/dropdown/rules/CalculatorEngine.h"
#include "support/QtPrinters.h"

#include <QMap>
#include <gtest/gtest.h>

using namespace dropdown_test;
using namespace platform;

namespace {

// The calculator's edit without a window: the engine hooked in where the drop-down hooks it.
class PlainCalc : public PlainInput {
public:
    PlainCalc() : engine(*this)
    {
        engine.MaxLength = [this] { return maxLength; };
        engine.PopupVisible = [this] { return dropped; };
        engine.HidePopup = [this](bool cancel) { DoHideDropDown(cancel); };
        SetEditType(etFloat);
        SetPrecision(2);
    }
    void DoHideDropDown(bool cancel) override
    {
        const bool was = dropped;
        PlainInput::DoHideDropDown(cancel);
        if (was)
            engine.PopupClosed(cancel);
    }
    void Open()
    {
        engine.PopupOpening();
        DoShowDropDown();
    }
    // A key typed while the popup is open: the popup hands it to the edit, then the calculator.
    void PopupType(QChar ch)
    {
        TWMKey msg;
        msg.CharCode = ch.unicode();
        WMChar(msg);
        engine.PopupKeyPress(ch);
    }
    void Buttons(const QString& tokens)
    {
        static const QMap<QString, int> tags{{"+", 10},  {"-", 11},  {"*", 12},  {"/", 13},  {"+/-", 14},
                                             {".", 15},  {"C", 16},  {"=", 17},  {"%", 18},  {"ON", 30},
                                             {"Back", 31}, {"CE", 32}, {"MC", 33}, {"MR", 34}, {"MS", 35},
                                             {"M+", 36}, {"sqrt", 37}, {"1/x", 38}};
        for (const QString& t : tokens.split(u' ', Qt::SkipEmptyParts))
            engine.ButtonClick(tags.contains(t) ? tags.value(t) : t.toInt());
    }
    void WMChar(TWMKey& msg) override
    {
        if (engine.ClosedEditKey(QChar(msg.CharCode)))
            return;
        PlainInput::WMChar(msg);
    }
    void KeyPress(QChar& key) override
    {
        engine.EditKeyPress(key, [this](QChar& k) { PlainInput::KeyPress(k); });
    }

    TCalculatorEngine engine;
};

TEST(CalculatorEngine, KeypadSequences)
{
    const struct {
        const char* buttons;
        const char* text;
    } cases[] = {
        {"1 2 + 3 =", "15.00"},
        {"7 / 0 =", "Error"},
        {"7 / 0 = 5", "5.00"},             // the next digit starts a new number
        {"5 0 + 1 0 %", "5.00"},           // 50 x 10 / 100, the addition still pending
        {"5 0 + 1 0 % =", "55.00"},
        {". 5 2", "0.52"},
        {"9 MS C MR", "9.00"},
        {"2 M+ M+ MR", "4.00"},
        {"9 MS MC MR", "0.00"},
        {"4 +/- sqrt", "Error"},
        {"4 sqrt", "2.00"},
        {"4 1/x", "0.25"},
        {"0 1/x", "Error"},
        {"1 2 3 Back", "12.00"},
        {"1 2 + 3 Back", "3.00"},           // Back does nothing while an operation is pending
        {"1 / 0 = + 2 =", "2.00"},          // "Error" reads as 0 and the calculator goes on
        {"6 * 7 = * 2 =", "84.00"},         // "=" keeps the result as the next left operand
        {"8 - 3 - 1 =", "4.00"},
        {"5 CE", "0.00"},
        {"9 ON 2 + 2 =", "4.00"},
        {". 1 2 3 4 5 6 7 8 9 1 2 3 4 5 6 7 8 9 1 2 3 4", "0.12"}, // decimals past any integer's range
        {"5 +/- 3", "-53.00"},              // digits extend a negative number away from zero
        {"5 +/- . 2", "-5.20"},
        {"5 +/- 3 + 3 =", "-50.00"},
    };
    for (const auto& c : cases) {
        PlainCalc calc;
        calc.SetText(QString());
        calc.Open();
        calc.Buttons(QString::fromUtf8(c.buttons));
        EXPECT_EQ(calc.GetText(), QString::fromUtf8(c.text)) << c.buttons;
    }
}

TEST(CalculatorEngine, MemoryKeysUseTheGuardedConversion)
{
    PlainCalc calc;
    calc.SetText(QStringLiteral("Error"));
    calc.Buttons(QStringLiteral("MS"));
    EXPECT_DOUBLE_EQ(calc.engine.MVal, 0);
    calc.SetEditType(etMoney); // thousand separators shown
    calc.SetText(QStringLiteral("1234.5"));
    ASSERT_EQ(calc.GetText(), QStringLiteral("1,234.50"));
    calc.Buttons(QStringLiteral("MS M+"));
    EXPECT_DOUBLE_EQ(calc.engine.MVal, 2469);
    calc.SetEditText(QStringLiteral("-"));
    calc.engine.Prevop = 0;
    calc.engine.ApplyOperation(); // a lone "-" reads as 0
    EXPECT_EQ(calc.GetText(), QStringLiteral("0.00"));
}

TEST(CalculatorEngine, MaxLengthStopsDigitsNotOperators)
{
    PlainCalc calc;
    calc.maxLength = 5;
    calc.SetText(QString());
    calc.Open();
    calc.Buttons(QStringLiteral("1 2"));
    ASSERT_EQ(calc.GetText(), QStringLiteral("12.00"));
    calc.Buttons(QStringLiteral("3 . +/-"));
    EXPECT_EQ(calc.GetText(), QStringLiteral("12.00"));
    calc.Buttons(QStringLiteral("+ ="));
    EXPECT_EQ(calc.GetText(), QStringLiteral("24.00"));
}

TEST(CalculatorEngine, TypedInTheClosedEdit)
{
    const struct {
        const char* typed;
        const char* text;
    } cases[] = {
        {"12+3=", "15.00"},
        {"12*3\r", "36.00"},
        {"5/0=", "Error"},
        {"5/0=7", "7.00"},
        {"9-4=c", "0.00"},
        {"50+10%", "5.00"},
    };
    for (const auto& c : cases) {
        PlainCalc calc;
        calc.SetEditText(QString()); // a grid cell loads its text as it is
        calc.TypeText(QString::fromUtf8(c.typed));
        EXPECT_EQ(calc.GetText(), QString::fromUtf8(c.text)) << c.typed;
    }
}

TEST(CalculatorEngine, TypedInTheOpenPopup)
{
    PlainCalc calc;
    calc.SetText(QStringLiteral("8"));
    calc.Open();
    for (QChar ch : QStringLiteral("12+3"))
        calc.PopupType(ch);
    EXPECT_EQ(calc.GetText(), QStringLiteral("3.00"));
    calc.PopupType(QChar(13));
    EXPECT_EQ(calc.GetText(), QStringLiteral("15.00"));
    EXPECT_FALSE(calc.dropped); // Return computes and closes, keeping the result

    calc.Open();
    calc.PopupType(u'7');
    calc.PopupType(u'+');
    calc.PopupType(QChar(27));
    EXPECT_FALSE(calc.dropped);
    EXPECT_EQ(calc.GetText(), QStringLiteral("15.00")); // Escape restores the value before the popup
    EXPECT_EQ(calc.engine.Prevop, -1);                  // and drops the operation typed in it

    calc.Open();
    calc.engine.PopupKeyDown(VK_BACK);
    EXPECT_EQ(calc.GetText(), QStringLiteral("15.00")); // the last decimal goes, the format puts it back
    calc.engine.PopupKeyDown(VK_TAB);
    EXPECT_FALSE(calc.dropped);
}

TEST(CalculatorEngine, ValueAndDeleteKey)
{
    PlainCalc calc;
    calc.SetEditText(QString());
    EXPECT_DOUBLE_EQ(calc.engine.Value(), 0);
    EXPECT_EQ(calc.GetText(), QStringLiteral("0.00"));
    calc.engine.SetValue(2.5);
    EXPECT_EQ(calc.GetText(), QStringLiteral("2.50"));
    calc.SetEditText(QStringLiteral("Error"));
    calc.engine.EditKeyDownAfter(VK_DELETE);
    EXPECT_EQ(calc.GetText(), QStringLiteral("0.00"));
    calc.SetEditText(QStringLiteral("abc"));
    EXPECT_DOUBLE_EQ(calc.engine.Value(), 0);
}

TEST(CalculatorEngine, KeypadLayout)
{
    const auto b = ArrangeCalculatorButtons(Rect{0, 0, 230, 150}, 8, 8);
    // Area 214 x 134: W = (214 - 8) / 6 = 34, H = (134 - 4) / 5 = 26.
    EXPECT_EQ(b[0], (Rect{8, 8, 42, 34}));    // the blank key, top left
    EXPECT_EQ(b[4], (Rect{8, 38, 42, 64}));   // MC below it, 4 pixels apart
    EXPECT_EQ(b[5].top, 38 + 25);            // rows overlap by one pixel
    EXPECT_EQ(b[11], (Rect{46, 38, 80, 64})); // 7
    EXPECT_EQ(b[12].left, 46 + 33);          // 8, columns overlap by one pixel
    EXPECT_EQ(b[20].left, b[19].left + 34 + 4); // the operators stand apart
    EXPECT_EQ(b[3].right, b[27].right);      // C reaches the right edge of sqrt
    EXPECT_EQ(b[1].left, 46);
    EXPECT_EQ(kCalculatorButtons[24].tag, 17);
    EXPECT_TRUE(kCalculatorButtons[24].special);
    EXPECT_STREQ(kCalculatorButtons[27].caption, "sqrt");
}

} // namespace
