#include "controls/grid/edit/EditRules.h"

#include "platform/grid/Keys.h"

#include <gtest/gtest.h>

using namespace controls::grid;

namespace {

struct FilterCase {
    TEditorType kind;
    QString text;
    int selStart;
    int selLength;
    char16_t ch;
    bool ctrl;
    TCharAction expected;
    char16_t becomes; // the character handed on (0: unchanged)
};

void runFilterCases(const std::vector<FilterCase>& cases, QChar decimal, QChar thousand)
{
    for (const FilterCase& c : cases) {
        TCharContext ctx;
        ctx.text = c.text;
        ctx.selStart = c.selStart;
        ctx.selLength = c.selLength;
        ctx.ctrl = c.ctrl;
        ctx.decimalSeparator = decimal;
        ctx.thousandSeparator = thousand;
        ctx.validChars = QStringLiteral("ABC");
        QChar ch(c.ch);
        EXPECT_EQ(FilterEditorChar(c.kind, ch, ctx), c.expected)
            << "kind " << c.kind << " text '" << c.text.toStdString() << "' char " << int(c.ch);
        EXPECT_EQ(ch, QChar(c.becomes ? c.becomes : c.ch)) << "kind " << c.kind << " char " << int(c.ch);
    }
}

TEST(FilterEditorCharTest, CharactersPerKind)
{
    using A = TCharAction;
    runFilterCases(
        {
            {edNormal, "x", 1, 0, u'%', false, A::Pass, 0},
            {edPassword, "", 0, 0, u'\t', false, A::Pass, 0},
            // edNumeric: a sign only at position 0 of a text without one.
            {edNumeric, "12", 0, 0, u'-', false, A::Pass, 0},
            {edNumeric, "-12", 0, 0, u'-', false, A::Refuse, 0},
            {edNumeric, "12", 1, 0, u'-', false, A::Refuse, 0},
            {edNumeric, "12", 2, 0, u'a', false, A::Refuse, 0},
            {edNumeric, "12", 2, 0, u'7', false, A::Pass, 0},
            {edNumeric, "12", 2, 0, u'\b', false, A::Pass, 0},
            {edPositiveNumeric, "", 0, 0, u'-', false, A::Refuse, 0},
            {edPositiveNumeric, "", 0, 0, u'\r', false, A::Pass, 0},
            // edFloat with "." as decimal separator and "," as thousand separator.
            {edFloat, "1", 1, 0, u'.', false, A::Pass, 0},
            {edFloat, "1.5", 3, 0, u'.', false, A::Drop, 0},
            {edFloat, "1.5", 1, 1, u'.', false, A::Pass, 0}, // the selection holds the separator
            {edFloat, "1.5", 3, 0, u',', false, A::Drop, 0},
            {edFloat, "1.5", 3, 0, u'x', false, A::Drop, 0},
            {edFloat, "1.5", 3, 0, u'\x16', true, A::Pass, 0}, // Ctrl+V
            {edFloat, "15", 0, 0, u'-', false, A::Pass, 0},
            {edFloat, "15", 1, 0, u'-', false, A::Refuse, 0},
            {edFloat, "-15", 0, 1, u'-', false, A::Pass, 0}, // replaces the selected sign
            {edPositiveFloat, "15", 0, 0, u'-', false, A::Drop, 0},
            {edCapital, "", 0, 0, u'a', false, A::Pass, u'A'},
            {edUpperCase, "", 0, 0, u'\u00e9', false, A::Pass, u'\u00c9'},
            {edLowerCase, "", 0, 0, u'A', false, A::Pass, u'a'},
            {edMixedCase, "ab", 2, 0, u'C', false, A::Pass, 0},
            {edValidChars, "", 0, 0, u'A', false, A::Pass, 0},
            {edValidChars, "", 0, 0, u'D', false, A::Refuse, 0},
            {edValidChars, "", 0, 0, u'\b', false, A::Pass, 0},
            {edValidChars, "", 0, 0, u'\r', false, A::Pass, 0},
            {edValidChars, "", 0, 0, u'\t', false, A::Refuse, 0},
            {edComboList, "", 0, 0, u'a', false, A::Drop, 0},
        },
        u'.', u',');
}

TEST(FilterEditorCharTest, FloatUnderACommaLocale)
{
    using A = TCharAction;
    runFilterCases(
        {
            {edFloat, "1", 1, 0, u',', false, A::Pass, 0},
            {edFloat, "1,5", 3, 0, u',', false, A::Drop, 0},
            {edFloat, "1,5", 3, 0, u'.', false, A::Drop, 0}, // the thousand separator
            {edPositiveFloat, "1", 1, 0, u',', false, A::Pass, 0},
        },
        u',', u'.');
}

TEST(FilterEditorCharTest, ValidCharsFromTheGridSetWhenEmpty)
{
    TCharContext ctx;
    ctx.validCharSet = QStringLiteral("0123456789abc");
    QChar a(u'a'), z(u'z'), euro(u'\u20ac');
    EXPECT_EQ(FilterEditorChar(edValidChars, a, ctx), TCharAction::Pass);
    EXPECT_EQ(FilterEditorChar(edValidChars, z, ctx), TCharAction::Refuse);
    ctx.validCharSet += euro;
    EXPECT_EQ(FilterEditorChar(edValidChars, euro, ctx), TCharAction::Refuse); // above 255
}

TEST(PastedEditorTextTest, KindsAndLimits)
{
    const struct {
        TEditorType kind;
        QString text;
        int selStart, selLength;
        QString paste;
        int limit;
        std::optional<QString> expected;
    } cases[] = {
        {edNumeric, "", 0, 0, "12\r\n", 0, QString("12")},         // the copied cell's line break goes
        {edNumeric, "", 0, 0, "1\r\n2", 0, std::nullopt},           // two lines are no integer
        {edNumeric, "", 0, 0, "12\r\n\r\n", 0, std::nullopt},       // only a break at the very end goes
        {edNumeric, "5", 1, 0, "-3", 0, std::nullopt},              // "5-3"
        {edNumeric, "", 0, 0, "-3", 0, QString("-3")},
        {edPositiveNumeric, "", 0, 0, "-3", 0, std::nullopt},
        {edFloat, "1", 1, 0, ".25", 0, QString("1.25")},
        {edFloat, "1", 1, 0, "e5", 0, std::nullopt},                // scientific notation is refused
        {edPositiveFloat, "", 0, 0, "-1.5", 0, std::nullopt},
        {edMixedCase, "", 0, 0, "two WORDS", 0, QString("Two Words")},
        {edLowerCase, "Ab", 2, 0, "CD", 0, QString("abcd")},
        {edUpperCase, "ab", 0, 2, "cd", 0, QString("CD")},
        {edValidChars, "A", 1, 0, "BC", 0, QString("ABC")},
        {edValidChars, "A", 1, 0, "BD", 0, std::nullopt},
        {edNormal, "hello", 1, 3, "EL", 0, QString("hELo")},
        {edNormal, "ab", 2, 0, "cd", 3, std::nullopt},              // the result would pass the limit
        {edNormal, "ab", 0, 2, "cde", 3, QString("cde")},
        {edNormal, "", 0, 0, "abcd", 3, std::nullopt},
    };
    for (const auto& c : cases)
        EXPECT_EQ(PastedEditorText(c.kind, c.text, c.selStart, c.selLength, c.paste, c.limit, "ABC"), c.expected)
            << "kind " << c.kind << " paste '" << c.paste.toStdString() << "'";
}

TEST(AdvanceStepTest, Table)
{
    // 6 columns (1 fixed), 5 rows (1 fixed): data cells 1..5 x 1..4.
    TAdvanceGrid g;
    g.ColCount = 6;
    g.RowCount = 5;
    g.FixedCols = 1;
    g.FixedRows = 1;
    g.FirstNavigableCol = 1;
    using A = TAdvanceAction;
    const struct {
        int col, row, spanX;
        TAdvanceDirection dir;
        bool forward, insert, loop;
        TAdvanceStep expected;
    } cases[] = {
        // Along the row.
        {2, 2, 0, adLeftRight, true, false, true, {3, 2, A::Move, false}},
        {2, 2, 1, adLeftRight, true, false, true, {4, 2, A::Move, false}}, // a merged cell is passed whole
        {5, 2, 0, adLeftRight, true, false, true, {1, 3, A::Move, false}}, // last column of a middle row
        {5, 4, 0, adLeftRight, true, false, true, {1, 1, A::Move, false}}, // last cell: back to the first
        {5, 4, 0, adLeftRight, true, false, false, {5, 4, A::Stay, false}},
        {5, 4, 0, adLeftRight, true, true, true, {1, 5, A::AddRow, false}},
        {5, 3, 0, adLeftRightInRow, true, false, true, {1, 3, A::Move, false}},
        {5, 3, 0, adLeftRightInRow, true, false, false, {5, 3, A::Stay, false}},
        // Down the column.
        {2, 2, 0, adTopBottom, true, false, true, {2, 3, A::Move, false}},
        {2, 4, 0, adTopBottom, true, false, true, {3, 1, A::Move, true}},
        {5, 4, 0, adTopBottom, true, false, true, {1, 1, A::Move, true}},
        {5, 4, 0, adTopBottom, true, true, true, {6, 1, A::AddColumn, true}},
        {3, 4, 0, adTopBottomInCol, true, false, true, {3, 1, A::Move, false}},
        // Backward.
        {3, 2, 0, adLeftRight, false, false, true, {2, 2, A::Move, false}},
        {1, 2, 0, adLeftRight, false, false, true, {5, 1, A::Move, false}},
        {1, 1, 0, adLeftRight, false, false, true, {5, 4, A::Move, false}}, // first data cell: the last cell
        {3, 2, 0, adTopBottom, false, false, true, {3, 1, A::Move, false}},
        {3, 1, 0, adTopBottom, false, false, true, {2, 4, A::Move, false}},
        {1, 1, 0, adTopBottom, false, false, true, {5, 4, A::Move, false}},
        {3, 2, 0, adLeftRightInRow, false, false, true, {3, 2, A::Stay, false}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(AdvanceStep(g, c.col, c.row, c.spanX, c.dir, c.forward, c.insert, c.loop), c.expected)
            << c.col << "," << c.row << " dir " << c.dir << (c.forward ? " fwd" : " back");

    // Fixed right columns and footers bound the walk.
    g.FixedRightCols = 1;
    g.VisibleFixedRightCols = 1;
    g.FixedFooters = 1;
    EXPECT_EQ(AdvanceStep(g, 4, 2, 0, adLeftRight, true, false, true), (TAdvanceStep{1, 3, A::Move, false}));
    EXPECT_EQ(AdvanceStep(g, 4, 3, 0, adLeftRight, true, false, true), (TAdvanceStep{1, 1, A::Move, false}));
    EXPECT_EQ(AdvanceStep(g, 2, 3, 0, adTopBottom, true, false, true), (TAdvanceStep{3, 1, A::Move, true}));
}

TEST(ComboKeyLeavesTest, ByStyle)
{
    using namespace platform;
    for (quint16 k : {VK_TAB, VK_RETURN, VK_ESCAPE, VK_LEFT, VK_RIGHT})
        EXPECT_TRUE(ComboKeyLeaves(k, true)) << k;
    for (quint16 k : {VK_UP, VK_DOWN, VK_PRIOR, VK_NEXT, VK_END, VK_HOME})
        EXPECT_FALSE(ComboKeyLeaves(k, true)) << k;
    for (quint16 k : {VK_TAB, VK_RETURN, VK_ESCAPE, VK_PRIOR, VK_NEXT, VK_END, VK_UP, VK_DOWN})
        EXPECT_TRUE(ComboKeyLeaves(k, false)) << k;
    for (quint16 k : {VK_LEFT, VK_RIGHT, VK_HOME, VK_BACK, VK_DELETE, quint16('A')})
        EXPECT_FALSE(ComboKeyLeaves(k, false)) << k;
}

} // namespace
