#include "PlainInput.h"
#include "support/QtPrinters.h"

#include <gtest/gtest.h>

using namespace dropdown_test;
using namespace platform;

namespace {

struct InputSetup {
    TDropDownEditType type = etString;
    int precision = 0;
    bool isSigned = false;
    QString prefix, suffix;
    int lengthLimit = 0;
    QString validChars;
};

InputSetup S(TDropDownEditType type, int precision = 0, bool isSigned = false)
{
    InputSetup s;
    s.type = type;
    s.precision = precision;
    s.isSigned = isSigned;
    return s;
}

void Prepare(PlainInput& in, const InputSetup& s, const QString& editText)
{
    in.Prefix = s.prefix;
    in.Suffix = s.suffix;
    in.Signed = s.isSigned;
    in.LengthLimit = s.lengthLimit;
    in.ValidChars = s.validChars;
    in.SetEditType(s.type);
    in.SetPrecision(s.precision);
    in.SetEditText(editText);
}

TEST(DropDownNumberType, Classification)
{
    const struct {
        const char* text;
        int expected;
    } cases[] = {
        {"", 2},       {"12", 0},      {"-12", 0},      {"1.5", 1},  {"1,234.5", 1}, {"1,23", 1},
        {",123", 2},   {"ABC", 5},     {"1f", 5},       {"1g", 2},   {"--1", 2},     {"1.2.3", 2},
        {"1,,234", 2}, {"12-", 0},     {"abc def", 2},
    };
    for (const auto& c : cases)
        EXPECT_EQ(DetectEditNumberType(QString::fromUtf8(c.text)), c.expected) << c.text;
}

TEST(DropDownNumberType, HexAndCaseHelpers)
{
    EXPECT_EQ(HexToInt(QStringLiteral("FF")), 255);
    EXPECT_EQ(HexToInt(QStringLiteral("1g")), 16); // g counts as 0
    EXPECT_EQ(HexToInt(QStringLiteral("FFFFFFFF")), -1);
    EXPECT_EQ(HexToInt(QStringLiteral("100000000")), 0); // wraps at 32 bits
    EXPECT_EQ(IntToHex(-1, 0, false), QStringLiteral("FFFFFFFF"));
    EXPECT_EQ(IntToHex(-1, 0, true), QStringLiteral("FFFFFFFFFFFFFFFF"));
    EXPECT_EQ(IntToHex(10, 4, false), QStringLiteral("000A"));
    EXPECT_EQ(CaseText(QStringLiteral("äb"), false), QStringLiteral("ÄB"));
    EXPECT_EQ(CaseText(QStringLiteral("äb"), true), QStringLiteral("äb"));
    EXPECT_TRUE(IsRangeSeparator(u';'));
    EXPECT_FALSE(IsRangeSeparator(u'.'));
}

// One row per typed sequence: the edit text and caret before, the characters typed, the edit
// text and caret after.
struct CharCase {
    const char* name;
    InputSetup setup;
    const char* before;
    int selStart, selLength;
    const char* typed;
    const char* after;
    int caret; // -1: not checked
};

void RunCharCases(const CharCase* cases, size_t count)
{
    for (size_t i = 0; i < count; ++i) {
        const CharCase& c = cases[i];
        PlainInput in;
        Prepare(in, c.setup, QString::fromUtf8(c.before));
        in.SetSel(c.selStart, c.selLength);
        in.TypeText(QString::fromUtf8(c.typed));
        EXPECT_EQ(in.EditText(), QString::fromUtf8(c.after)) << c.name;
        if (c.caret >= 0) {
            EXPECT_EQ(in.SelStart(), c.caret) << c.name;
        }
    }
}

TEST(DropDownCharFilter, NumericSignsAndDigits)
{
    InputSetup unsignedNum = S(etNumeric);
    InputSetup signedNum = S(etNumeric);
    signedNum.isSigned = true;
    const CharCase cases[] = {
        {"unsigned minus dropped", unsignedNum, "12", 2, 0, "-", "12", 2},
        {"letter dropped", unsignedNum, "12", 2, 0, "a3", "123", 3},
        {"minus adds sign, caret right", signedNum, "12", 1, 0, "-", "-12", 2},
        {"minus removes sign, caret left", signedNum, "-12", 2, 0, "-", "12", 1},
        {"minus at start removes sign", signedNum, "-12", 0, 0, "-", "12", 0},
        {"whole value replaced by minus", signedNum, "12", 0, 2, "-", "-", 1},
        {"empty value becomes minus", signedNum, "", 0, 0, "-", "-", 1},
    };
    RunCharCases(cases, std::size(cases));
}

TEST(DropDownCharFilter, FloatSeparatorsAndDecimals)
{
    InputSetup f2 = S(etFloat, 2);
    InputSetup f0 = S(etFloat, 0);
    InputSetup f2s = S(etFloat, 2, true);
    const CharCase cases[] = {
        {"decimals full at end", f2, "1.23", 4, 0, "5", "1.23", 4},
        {"digit overwrites next decimal", f2, "1.23", 3, 0, "5", "1.25", 4},
        {"digit before separator accepted", f2, "1.23", 1, 0, "5", "15.23", 2},
        {"precision 0 never takes a separator", f0, "12", 2, 0, ".", "12", 2},
        {"second separator jumps the caret", f2, "1.5", 0, 0, ".", "1.5", 2},
        {"empty value and separator", f2, "", 0, 0, ".", "0.", 2},
        {"thousand separator three places away", f2, "1,234", 5, 0, ",", "1,234,", 6},
        {"thousand separator too close", f2, "12,345", 2, 0, ",", "12,345", 2},
        {"no separator yet: anywhere", f2, "1234", 1, 0, ",", "1,234", 2},
        {"letter dropped", f2, "12", 2, 0, "x", "12", 2},
        {"minus toggles sign when signed", f2s, "1.5", 1, 0, "-", "-1.5", 2},
        {"minus dropped when unsigned", f2, "1.5", 1, 0, "-", "1.5", 1},
        {"minus over a part toggles the sign", f2s, "12.5", 3, 1, "-", "-12.5", 4},
        {"minus over a part removes the sign", f2s, "-12.5", 2, 2, "-", "12.5", 1},
        {"minus over the whole value replaces it", f2s, "12.5", 0, 4, "-", "-", 1},
    };
    RunCharCases(cases, std::size(cases));
}

TEST(DropDownCharFilter, FloatWithCommaDecimalSeparator)
{
    {
        ScopedSeparators seps(u',', u'.');
        InputSetup f2 = S(etFloat, 2);
        const CharCase cases[] = {
            {"comma is the decimal separator", f2, "12", 2, 0, ",5", "12,5", 4},
            {"full stop is the thousand separator", f2, "1234", 1, 0, ".", "1.234", 2},
        };
        RunCharCases(cases, std::size(cases));
    }
    {
        ScopedSeparators seps(u',', u' ');
        InputSetup f2 = S(etFloat, 2);
        const CharCase cases[] = {{"full stop neither separator", f2, "12", 2, 0, ".", "12", 2}};
        RunCharCases(cases, std::size(cases));
    }
}

TEST(DropDownCharFilter, ExcelStyleKeypadDecimal)
{
    ScopedSeparators seps(u',', u' ');
    PlainInput in;
    in.ExcelStyleDecimalSeparator = true;
    in.SetEditType(etFloat);
    in.SetPrecision(2);
    in.SetEditText(QStringLiteral("12"));
    in.SetCaretAt(2);
    in.TypeChar(u'.'); // the main keyboard's full stop: neither separator here
    EXPECT_EQ(in.EditText(), QStringLiteral("12"));
    in.TypeChar(u'.', kKeyDataKeypad); // the keypad's decimal key types the decimal separator
    EXPECT_EQ(in.EditText(), QStringLiteral("12,"));
}

TEST(DropDownCharFilter, MoneyKeepsThousandSeparatorsWhileTyping)
{
    InputSetup m0 = S(etMoney, 0);
    InputSetup m2 = S(etMoney, 2);
    const CharCase cases[] = {
        {"digit at end regroups", m0, "1234", 4, 0, "5", "12,345", 6},
        {"digit in the middle keeps distance from end", m0, "1,234", 1, 0, "9", "19,234", 2},
        {"digit before decimals", m2, "1,234.00", 5, 0, "5", "12,345.00", 6},
        {"letter dropped", m0, "1,234", 5, 0, "x", "1,234", 5},
        {"a long number keeps every digit", m0, "199,999,999,999,999,999", 23, 0, "9", "1,999,999,999,999,999,999", 25},
        {"leading zeros go", m0, "0", 0, 0, "0", "0", 0},
    };
    RunCharCases(cases, std::size(cases));
}

TEST(DropDownCharFilter, LengthLimitCapsIntegerDigits)
{
    InputSetup lim = S(etFloat, 2);
    lim.lengthLimit = 3;
    lim.isSigned = true;
    const CharCase cases[] = {
        {"fourth digit dropped", lim, "123", 3, 0, "4", "123", 3},
        {"decimal separator still accepted", lim, "123", 3, 0, ".4", "123.4", 5},
        {"sign still accepted", lim, "123", 0, 0, "-", "-123", 1},
        {"digit after separator accepted", lim, "123.", 4, 0, "5", "123.5", 5},
    };
    RunCharCases(cases, std::size(cases));
}

TEST(DropDownCharFilter, RangeHexValidCharsAndCases)
{
    InputSetup range = S(etRange);
    InputSetup hex = S(etHex);
    InputSetup valid = S(etValidChars);
    valid.validChars = QStringLiteral("ABC");
    InputSetup upper = S(etUppercase), lower = S(etLowerCase), mixed = S(etMixedCase), alnum = S(etAlphaNumeric);
    InputSetup pre = S(etRange);
    pre.prefix = QStringLiteral("R");
    const CharCase cases[] = {
        {"range list accepted", range, "", 0, 0, "1,2;3-4", "1,2;3-4", 7},
        {"separator after separator", range, "1,", 2, 0, ",", "1,", 2},
        {"separator before separator", range, "1,2", 1, 0, ";", "1,2", 1},
        {"separator first", range, "12", 0, 0, ",", "12", 0},
        {"separator at prefix end", pre, "R12", 1, 0, ",", "R12", 1},
        {"hex letter g dropped", hex, "", 0, 0, "1g", "1", 1},
        {"hex keeps typed case", hex, "", 0, 0, "af", "af", 2},
        {"valid chars", valid, "", 0, 0, "ADBC", "ABC", 3},
        {"upper case", upper, "", 0, 0, "ab", "AB", 2},
        {"lower case", lower, "", 0, 0, "AB", "ab", 2},
        {"mixed case", mixed, "", 0, 0, "hello world", "Hello World", 11},
        {"alphanumeric drops signs", alnum, "", 0, 0, "a-1", "a1", 2},
    };
    RunCharCases(cases, std::size(cases));
}

TEST(DropDownCharFilter, BackspaceAndValidCharsAndWholeValueReplacement)
{
    PlainInput in;
    in.ValidChars = QStringLiteral("ABC");
    in.SetEditType(etValidChars);
    in.SetEditText(QStringLiteral("AB"));
    in.SetCaretAt(2);
    in.TypeKey(VK_BACK);
    EXPECT_EQ(in.EditText(), QStringLiteral("A"));

    // A keystroke that replaces the whole value swallows its own change notice.
    PlainInput s;
    s.SetEditText(QStringLiteral("abc"));
    const int before = s.changeCount;
    s.SetSel(0, 3);
    s.TypeChar(u'x');
    EXPECT_EQ(s.EditText(), QStringLiteral("x"));
    EXPECT_EQ(s.changeCount, before);
    s.TypeChar(u'y');
    EXPECT_EQ(s.changeCount, before + 1);
    // Backspace over the whole value reports the now empty text once.
    s.SetSel(0, 2);
    s.TypeKey(VK_BACK);
    EXPECT_EQ(s.EditText(), QString());
    EXPECT_EQ(s.changeCount, before + 2);
}

TEST(DropDownKeys, PrefixAndSuffixKeepTheCaretOnTheValue)
{
    PlainInput in;
    in.Prefix = QStringLiteral("$$");
    in.Suffix = QStringLiteral(" kg ");
    in.SetText(QStringLiteral("12"));
    ASSERT_EQ(in.EditText(), QStringLiteral("$$12 kg "));
    in.SetCaretAt(3);
    in.TypeKey(VK_HOME);
    EXPECT_EQ(in.SelStart(), 2);
    in.TypeKey(VK_LEFT);
    EXPECT_EQ(in.SelStart(), 2);
    in.TypeKey(VK_BACK);
    EXPECT_EQ(in.EditText(), QStringLiteral("$$12 kg "));
    in.TypeKey(VK_END);
    EXPECT_EQ(in.SelStart(), 4);
    in.TypeKey(VK_RIGHT);
    EXPECT_EQ(in.SelStart(), 4);
    in.TypeKey(VK_DELETE);
    EXPECT_EQ(in.EditText(), QStringLiteral("$$12 kg "));
    in.TypeKey(VK_HOME, ssShift);
    EXPECT_EQ(in.SelStart(), 2);
    EXPECT_EQ(in.SelLength(), 2);
    in.SetCaretAt(3);
    in.TypeKey(VK_END, ssShift);
    EXPECT_EQ(in.SelStart(), 3);
    EXPECT_EQ(in.SelLength(), 1);
    EXPECT_EQ(in.GetText(), QStringLiteral("12"));
}

// A character typed with the caret (or a selection) in the prefix or the suffix - where a write
// of the text leaves the caret - goes into the value, and in a number never in front of its sign;
// Delete and Backspace leave the fixed texts whole.
TEST(DropDownKeys, TypingWithTheCaretInAFixedTextGoesIntoTheValue)
{
    struct Case {
        TDropDownEditType type;
        int selStart, selLength;
        const char* typed;
        const char* edit;
    };
    const Case cases[] = {
        {etString, 0, 0, "x", "$ x12 kg"},   // caret before the prefix
        {etString, 1, 0, "x", "$ x12 kg"},   // inside the prefix
        {etString, 7, 0, "x", "$ 12x kg"},   // inside the suffix
        {etString, 8, 0, "x", "$ 12x kg"},   // at the very end
        {etString, 0, 3, "x", "$ x2 kg"},    // a selection from the prefix into the value
        {etNumeric, 0, 0, "5", "$ 512 kg"},
        {etHex, 0, 0, "a", "$ a12 kg"},
        {etRange, 8, 0, "3", "$ 123 kg"},
        {etNumeric, 2, 0, "4", "$ -412 kg"}, // in front of the sign: after it
        {etFloat, 0, 0, "4", "$ -412 kg"},
        {etMoney, 2, 1, "4", "$ 412 kg"},    // the sign selected: replaced
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.type << " " << c.selStart << "+" << c.selLength);
        PlainInput in;
        in.SetEditType(c.type);
        in.Prefix = QStringLiteral("$ ");
        in.Suffix = QStringLiteral(" kg");
        in.Signed = true;
        in.SetText(QString::fromLatin1(c.edit).contains(u'-') || c.type == etMoney ? QStringLiteral("-12")
                                                                                     : QStringLiteral("12"));
        in.SetSel(c.selStart, c.selLength);
        in.TypeText(QString::fromLatin1(c.typed));
        EXPECT_EQ(in.EditText(), QString::fromLatin1(c.edit));
        EXPECT_TRUE(in.EditText().startsWith(in.Prefix));
        EXPECT_TRUE(in.EditText().endsWith(in.Suffix));
    }
    // Delete and Backspace take only what lies in the value.
    struct Deletion {
        int selStart, selLength;
        quint16 key;
        const char* edit;
    };
    const Deletion deletions[] = {
        {0, 0, VK_DELETE, "$ 12 kg"}, // caret before the prefix
        {1, 0, VK_DELETE, "$ 12 kg"},
        {5, 0, VK_DELETE, "$ 12 kg"}, // caret in the suffix
        {6, 0, VK_BACK, "$ 12 kg"},
        {0, 2, VK_DELETE, "$ 12 kg"}, // the prefix selected
        {4, 3, VK_BACK, "$ 12 kg"},   // the suffix selected
        {0, 3, VK_DELETE, "$ 2 kg"},  // from the prefix into the value
        {3, 4, VK_BACK, "$ 1 kg"},    // from the value into the suffix
        {3, 4, VK_DELETE, "$ 1 kg"},
    };
    for (const Deletion& d : deletions) {
        SCOPED_TRACE(testing::Message() << d.key << " " << d.selStart << "+" << d.selLength);
        PlainInput in;
        in.Prefix = QStringLiteral("$ ");
        in.Suffix = QStringLiteral(" kg");
        in.SetText(QStringLiteral("12"));
        in.SetSel(d.selStart, d.selLength);
        in.TypeKey(d.key);
        EXPECT_EQ(in.EditText(), QString::fromLatin1(d.edit));
    }
}

TEST(DropDownKeys, DeleteKeepsTheLengthLimitAndMoneyGroups)
{
    PlainInput in;
    in.LengthLimit = 3;
    in.SetEditType(etFloat);
    in.SetPrecision(2);
    in.SetText(QStringLiteral("12.34"));
    in.SetCaretAt(2);
    in.TypeKey(VK_DELETE); // taking the separator out would make four integer digits
    EXPECT_EQ(in.EditText(), QStringLiteral("12.34"));

    PlainInput m;
    m.SetEditType(etMoney);
    m.SetText(QStringLiteral("12345"));
    m.FormatMoneyText();
    ASSERT_EQ(m.EditText(), QStringLiteral("12,345"));
    m.SetCaretAt(0);
    m.TypeKey(VK_DELETE);
    EXPECT_EQ(m.EditText(), QStringLiteral("2,345"));
}

TEST(DropDownKeys, PopupKeysAndReturnIsTab)
{
    PlainInput in;
    in.SetText(QStringLiteral("a"));
    in.TypeKey(VK_F4);
    EXPECT_TRUE(in.dropped);
    in.UserText(QStringLiteral("changed"));
    in.TypeKey(VK_ESCAPE);
    EXPECT_FALSE(in.dropped);
    EXPECT_EQ(in.EditText(), QStringLiteral("a")); // Escape restores the last written value
    in.TypeKey(VK_F4);
    in.UserText(QStringLiteral("kept"));
    in.TypeKey(VK_RETURN);
    EXPECT_EQ(in.EditText(), QStringLiteral("kept"));
    in.altDown = true;
    in.TypeKey(VK_DOWN, ssAlt);
    EXPECT_TRUE(in.dropped);
    in.TypeKey(VK_UP, ssAlt);
    EXPECT_FALSE(in.dropped);
    in.altDown = false;
    EXPECT_EQ(in.log, (QStringList{"show", "hide cancel", "show", "hide", "show", "hide"}));

    PlainInput tab;
    tab.ReturnIsTab = true;
    tab.TypeKey(VK_F4);
    tab.TypeKey(VK_RETURN); // becomes Tab: the popup stays open
    EXPECT_TRUE(tab.dropped);
    EXPECT_TRUE(tab.log.contains(QStringLiteral("post self 9")));
}

TEST(DropDownKeys, DisabledEditorSwallowsAllButPopupKeys)
{
    PlainInput in;
    in.SetText(QStringLiteral("12"));
    in.SetEditorEnabled(false);
    in.SetCaretAt(2);
    in.TypeKey(VK_LEFT);
    EXPECT_EQ(in.SelStart(), 2);
    in.TypeChar(u'3');
    EXPECT_EQ(in.EditText(), QStringLiteral("12"));
    in.TypeKey(VK_F4);
    EXPECT_TRUE(in.dropped);
    in.TypeKey(VK_RETURN);
    EXPECT_FALSE(in.dropped);
}

TEST(DropDownPaste, TypeRulesAndCaret)
{
    {
        PlainInput in;
        in.SetEditType(etNumeric);
        in.SetText(QStringLiteral("5678"));
        in.SetCaretAt(1);
        in.clipboard = QStringLiteral("12a");
        in.WMPaste();
        EXPECT_EQ(in.EditText(), QStringLiteral("5678"));
        EXPECT_EQ(in.SelStart(), 4); // where the pasted text would have ended
        in.clipboard = QStringLiteral("12");
        in.SetCaretAt(1);
        in.WMPaste();
        EXPECT_EQ(in.EditText(), QStringLiteral("512678"));
        EXPECT_EQ(in.SelStart(), 3);
    }
    for (const char* clip : {"0-", "5-3", "1.5-"}) { // a sign inside is no number
        PlainInput in;
        in.Signed = true;
        in.SetEditType(etFloat);
        in.SetPrecision(1);
        in.Suffix = QStringLiteral(" kg");
        in.SetText(QStringLiteral("7"));
        in.SelectAll();
        in.clipboard = QString::fromLatin1(clip);
        in.WMPaste();
        EXPECT_EQ(in.EditText(), QStringLiteral("7.0 kg")) << clip;
        EXPECT_LE(in.SelStart() + in.SelLength(), 3) << "the caret stays out of the suffix";
    }
    for (TDropDownEditType t : {etRange, etHex}) {
        PlainInput in;
        in.SetEditType(t);
        in.SetEditText(QStringLiteral("1"));
        in.SetCaretAt(1);
        in.clipboard = QStringLiteral("2");
        in.WMPaste();
        EXPECT_EQ(in.EditText(), QStringLiteral("1")) << t;
    }
    {
        PlainInput in; // a pasted float is re-formatted; a pasted separator with Precision 0 is refused
        in.SetEditType(etFloat);
        in.SetPrecision(2);
        in.SetText(QString());
        in.SetSel(0, 4);
        in.clipboard = QStringLiteral("3.14159");
        in.WMPaste();
        EXPECT_EQ(in.EditText(), QStringLiteral("3.14"));
        in.SetPrecision(0);
        in.SetSel(0, 1);
        in.clipboard = QStringLiteral("2.5");
        in.WMPaste();
        EXPECT_EQ(in.EditText(), QStringLiteral("3"));
    }
    {
        PlainInput in; // the paste event may refuse, and MaxLength caps
        in.clipboard = QStringLiteral("abc");
        in.OnClipboardPaste = [](QObject*, const QString& value, bool& allow) { allow = value != "xabc"; };
        in.SetEditText(QStringLiteral("x"));
        in.SetCaretAt(1);
        in.WMPaste();
        EXPECT_EQ(in.EditText(), QStringLiteral("x"));
        in.OnClipboardPaste = nullptr;
        in.maxLength = 3;
        in.WMPaste();
        EXPECT_EQ(in.EditText(), QStringLiteral("x"));
        in.maxLength = 0;
        in.SetEditType(etUppercase);
        in.SetCaretAt(1);
        in.WMPaste();
        EXPECT_EQ(in.EditText(), QStringLiteral("XABC"));
    }
}

TEST(DropDownClipboard, CopyAndCutEventsSeeTheSelectedValue)
{
    PlainInput in;
    in.Prefix = QStringLiteral("#");
    in.SetText(QStringLiteral("abcd"));
    QStringList seen;
    in.OnClipboardCopy = [&](QObject*, const QString& v, bool&) { seen << "copy " + v; };
    in.OnClipboardCut = [&](QObject*, const QString& v, bool& allow) {
        seen << "cut " + v;
        allow = false;
    };
    in.SetSel(2, 2);
    in.WMCopy();
    EXPECT_EQ(in.clipboard, QStringLiteral("bc"));
    in.WMCut();
    EXPECT_EQ(in.EditText(), QStringLiteral("#abcd")); // refused
    EXPECT_EQ(seen, (QStringList{"copy bc", "cut bc"}));
}

TEST(DropDownValues, SetTextAndFormats)
{
    const struct {
        TDropDownEditType type;
        int precision;
        const char* in;
        const char* out;
    } cases[] = {
        {etMoney, 0, "", "0"},         {etFloat, 2, "12.5", "12.50"}, {etNumeric, 0, "1a", "1a"},
        {etMoney, 2, "1234.5", "1,234.50"}, {etHex, 0, "ab", "AB"},  {etFloat, 2, "Error", "Error"},
        {etHex, 0, "", "0"},           {etString, 0, "", ""},
    };
    for (const auto& c : cases) {
        PlainInput in;
        in.SetEditType(c.type);
        in.SetPrecision(c.precision);
        in.SetText(QString::fromUtf8(c.in));
        EXPECT_EQ(in.EditText(), QString::fromUtf8(c.out)) << c.type << " " << c.in;
        EXPECT_EQ(in.OldText(), QString::fromUtf8(c.out));
    }
}

TEST(DropDownValues, FloatValueFormatsByType)
{
    const struct {
        TDropDownEditType type;
        int precision;
        double value;
        const char* out;
    } cases[] = {
        {etFloat, 2, 3, "3.00"},          {etFloat, -1, 3, "3"},          {etFloat, -1, 0.5, "0.5"},
        {etNumeric, 2, 1234.5, "1,235"} /* numeric keeps Precision 0 */, {etMoney, 2, 1234.5, "1,234.50"}, {etMoney, 0, -1234, "-1,234"},
        {etHex, 0, 255.7, "FF"},          {etString, 1, 2.25, "2.3"},
    };
    for (const auto& c : cases) {
        PlainInput in;
        in.SetEditType(c.type);
        in.SetPrecision(c.precision);
        in.SetFloatValue(c.value);
        EXPECT_EQ(in.EditText(), QString::fromUtf8(c.out)) << c.type << " " << c.value;
    }
    PlainInput in;
    in.SetEditType(etMoney);
    in.SetEditText(QStringLiteral("1,234."));
    EXPECT_DOUBLE_EQ(in.GetFloatValue(), 1234);
    in.SetEditText(QStringLiteral("-"));
    EXPECT_DOUBLE_EQ(in.GetFloatValue(), 0);
    in.SetEditType(etFloat);
    in.SetEditText(QStringLiteral("Error"));
    EXPECT_DOUBLE_EQ(in.GetFloatValue(), 0);
    EXPECT_DOUBLE_EQ(TDropDownInput::TextToFloat(QStringLiteral("x1")), 0);
    in.SetEditType(etHex);
    in.SetEditText(QStringLiteral("1F"));
    EXPECT_DOUBLE_EQ(in.GetFloatValue(), 31);
    in.SetIntValue(-1);
    EXPECT_EQ(in.EditText(), QStringLiteral("FFFFFFFF"));
}

TEST(DropDownValues, LeavingTheControlNormalises)
{
    PlainInput num;
    num.SetEditType(etNumeric);
    num.SetEditText(QString());
    num.KillFocusRules();
    EXPECT_EQ(num.EditText(), QStringLiteral("0"));

    PlainInput fl;
    fl.SetEditType(etFloat);
    fl.SetPrecision(2);
    fl.SetEditText(QString());
    fl.KillFocusRules();
    EXPECT_EQ(fl.EditText(), QStringLiteral("0.00"));
    fl.SetEditText(QStringLiteral("7.5"));
    fl.SetIsModified(true);
    fl.KillFocusRules();
    EXPECT_EQ(fl.EditText(), QStringLiteral("7.50"));
    EXPECT_TRUE(fl.GetIsModified()); // the modified flag survives the re-formatting

    PlainInput allowNull;
    allowNull.AllowNumericNullValue = true;
    allowNull.SetEditType(etNumeric);
    allowNull.SetEditText(QString());
    allowNull.KillFocusRules();
    EXPECT_EQ(allowNull.EditText(), QString());

    // A lone sign left behind is no number: it goes as an empty value would; so do separators
    // without a digit.
    PlainInput seps;
    seps.SetEditType(etMoney);
    seps.SetEditText(QStringLiteral("-,."));
    seps.KillFocusRules();
    EXPECT_EQ(seps.EditText(), QStringLiteral("0"));
    const struct {
        TDropDownEditType type;
        int precision;
        bool allowNull;
        const char* edit;
    } signs[] = {
        {etNumeric, 0, false, "$0"}, {etNumeric, 0, true, "$"},  {etMoney, 0, false, "$0"},
        {etFloat, 2, false, "$0.00"}, {etFloat, 0, true, "$"},   {etString, 0, false, "$-"},
    };
    for (const auto& c : signs) {
        SCOPED_TRACE(testing::Message() << c.type << " " << c.precision << " " << c.allowNull);
        PlainInput in;
        in.Signed = true;
        in.Prefix = QStringLiteral("$");
        in.AllowNumericNullValue = c.allowNull;
        in.SetEditType(c.type);
        in.SetPrecision(c.precision);
        in.SetText(QString());
        in.SelectAll();
        in.TypeText(QStringLiteral("-"));
        ASSERT_EQ(in.EditText(), QStringLiteral("$-"));
        in.KillFocusRules();
        EXPECT_EQ(in.EditText(), QString::fromLatin1(c.edit));
    }
}

TEST(DropDownValues, EditTypeChangeConvertsTheValue)
{
    PlainInput in;
    in.SetEditText(QStringLiteral("abc"));
    in.SetEditType(etNumeric);
    EXPECT_EQ(in.EditText(), QStringLiteral("0"));
    in.SetEditText(QStringLiteral("FF"));
    in.SetEditType(etHex);
    EXPECT_EQ(in.EditText(), QStringLiteral("FF"));
    in.SetEditType(etFloat);
    EXPECT_EQ(in.EditText(), QStringLiteral("0"));
    in.SetPrecision(2);
    EXPECT_EQ(in.EditText(), QStringLiteral("0.00"));
    in.SetEditType(etPassword);
    EXPECT_FALSE(in.CanUndo);
    in.SetEditType(etRange);
    in.SetPrecision(3); // not taken for this type
    EXPECT_EQ(in.Precision(), 2);
}

TEST(DropDownMouse, PressInsideSelectionKeepsItAndCaretStaysOnTheValue)
{
    PlainInput in;
    in.Prefix = QStringLiteral("<");
    in.Suffix = QStringLiteral(">");
    in.SetText(QStringLiteral("abc"));
    in.SetSel(1, 2);
    EXPECT_FALSE(in.LButtonDown(2)); // inside the selection: the selection stays
    in.LButtonUpBefore(2);
    in.LButtonUpAfter();
    EXPECT_EQ(in.SelStart(), 2);
    EXPECT_EQ(in.SelLength(), 0);
    in.SetCaretAt(0); // a click in the prefix selects the value
    in.LButtonUpAfter();
    EXPECT_EQ(in.SelStart(), 1);
    EXPECT_EQ(in.SelLength(), 3);
    in.SetCaretAt(5); // a click in the suffix puts the caret at the value's end
    in.LButtonUpAfter();
    EXPECT_EQ(in.SelStart(), 4);
    in.SetSel(2, 3);
    in.LButtonUpAfter();
    EXPECT_EQ(in.SelStart(), 2);
    EXPECT_EQ(in.SelLength(), 2);
}

} // namespace
