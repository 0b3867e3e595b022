#include "controls/grid/edit/EditorKeyRules.h"

#include <gtest/gtest.h>

using namespace controls::grid;
using namespace platform;

namespace {

using C = TGridEditorControl;

const char* name(C c)
{
    switch (c) {
    case C::CheckBox: return "check box";
    case C::Spin: return "spin";
    case C::DatePicker: return "date picker";
    case C::DateTimePicker: return "date-time picker";
    case C::EditBtn: return "edit with button";
    case C::UnitEditBtn: return "unit edit";
    case C::Button: return "button";
    }
    return "?";
}

// The keys of the protocol in one order, for the tables below.
const quint16 kKeys[] = {VK_TAB, VK_RETURN, VK_ESCAPE, VK_PRIOR, VK_NEXT, VK_END, VK_HOME,
                         VK_LEFT, VK_UP, VK_RIGHT, VK_DOWN, VK_F2};

} // namespace

TEST(EditorKeyRules, WhichKeysEachControlClaimsAndWhichLeaveIt)
{
    struct Row {
        C control;
        const char* claimedWithTabs;    // one letter a key of kKeys: y claimed, - not (goTabs on)
        const char* claimedValidateOnly; // the grid takes Tab through a validation handler only
        const char* leaves;
    };
    //                                   Tab Ent Esc PgU PgD End Hom Lft Up  Rgt Dwn F2
    const Row rows[] = {
        {C::CheckBox,       "------------", "------------", "-yyyyy-yyyy-"},
        {C::Spin,           "yyy---------", "-yy---------", "yyy-----y-y-"},
        {C::DatePicker,     "yyy---------", "yyy---------", "yyyyyy------"},
        {C::DateTimePicker, "y-----------", "y-----------", "yyy---------"},
        {C::EditBtn,        "yyy---------", "yyy---------", "yyyyy---y-y-"},
        {C::UnitEditBtn,    "yyy---------", "-yy---------", "yyyyy---y-y-"},
        {C::Button,         "--y----yyyy-", "--y----yyyy-", "--y----yyyy-"},
    };
    for (const Row& r : rows) {
        for (size_t i = 0; i < std::size(kKeys); ++i) {
            SCOPED_TRACE(std::string(name(r.control)) + " key " + std::to_string(kKeys[i]));
            EXPECT_EQ(EditorClaimsKey(r.control, kKeys[i], true, true), r.claimedWithTabs[i] == 'y');
            EXPECT_EQ(EditorClaimsKey(r.control, kKeys[i], true, false), r.claimedValidateOnly[i] == 'y');
            EXPECT_EQ(EditorKeyLeaves(r.control, kKeys[i]), r.leaves[i] == 'y');
        }
        // A grid that does not take Tab leaves Tab to the window.
        EXPECT_FALSE(EditorClaimsKey(r.control, VK_TAB, false, false)) << name(r.control);
    }
}

TEST(EditorKeyRules, CharactersOfTheNumericAndDecimalEditsWithAButton)
{
    struct Case {
        TEditorType kind;
        const char* text;
        int selStart, selLength;
        char16_t ch;
        bool ctrl;
        TCharAction expected;
    };
    const auto P = TCharAction::Pass, R = TCharAction::Refuse, D = TCharAction::Drop;
    const Case cases[] = {
        {edEditBtn, "", 0, 0, u'x', false, P},
        {edMaskEditBtn, "", 0, 0, u'%', false, P},
        {edNumericEditBtn, "12", 2, 0, u'3', false, P},
        {edNumericEditBtn, "12", 2, 0, u'a', false, R},
        {edNumericEditBtn, "12", 0, 0, u'-', false, P},
        {edNumericEditBtn, "12", 1, 0, u'-', false, R},
        {edNumericEditBtn, "-12", 0, 0, u'-', false, R},
        {edNumericEditBtn, "12", 2, 0, u'.', false, R},
        {edNumericEditBtn, "12", 2, 0, 8, false, P},
        {edNumericUnitEditBtn, "12", 2, 0, u'a', false, R},
        {edFloatEditBtn, "1", 1, 0, u'.', false, P},
        {edFloatEditBtn, "1.5", 3, 0, u'.', false, D},  // a second separator: silently
        {edFloatEditBtn, "1.5", 1, 1, u'.', false, P},  // the selected one is replaced
        {edFloatEditBtn, "1.5", 3, 0, u',', false, D},  // the thousand separator: silently
        {edFloatEditBtn, "1.5", 0, 0, u'-', false, P},
        {edFloatEditBtn, "1.5", 2, 0, u'-', false, R},
        {edFloatEditBtn, "-1.5", 0, 1, u'-', false, P},
        {edFloatEditBtn, "1.5", 3, 0, u'x', false, D},
        {edFloatEditBtn, "1.5", 3, 0, u'x', true, P},   // with Ctrl any character
        {edFloatUnitEditBtn, "1.5", 3, 0, u'.', false, D},
    };
    for (const Case& c : cases) {
        TCharContext ctx;
        ctx.text = QString::fromLatin1(c.text);
        ctx.selStart = c.selStart;
        ctx.selLength = c.selLength;
        ctx.ctrl = c.ctrl;
        EXPECT_EQ(EditBtnCharAction(c.kind, QChar(c.ch), ctx), c.expected)
            << "kind " << c.kind << " text '" << c.text << "' char " << int(c.ch);
    }
    // With the comma as decimal separator, a second comma is dropped without a beep.
    TCharContext comma;
    comma.text = QStringLiteral("1,5");
    comma.selStart = 3;
    comma.decimalSeparator = u',';
    comma.thousandSeparator = u'.';
    EXPECT_EQ(EditBtnCharAction(edFloatEditBtn, u',', comma), TCharAction::Drop);
    comma.selStart = 1;
    comma.selLength = 1;
    EXPECT_EQ(EditBtnCharAction(edFloatEditBtn, u',', comma), TCharAction::Pass);
}

TEST(EditorKeyRules, TheKeysThatLeaveAnEditorLinksControl)
{
    const TEditLinkWants none;
    for (quint16 k : {VK_TAB, VK_RETURN, VK_ESCAPE, VK_PRIOR, VK_NEXT, VK_END, VK_LEFT, VK_UP, VK_RIGHT, VK_DOWN})
        EXPECT_TRUE(EditLinkKeyLeaves(k, {}, none)) << k;
    EXPECT_FALSE(EditLinkKeyLeaves(VK_HOME, {}, none)) << "Home is no leaving key";
    EXPECT_FALSE(EditLinkKeyLeaves('A', {}, none));
    EXPECT_TRUE(EditLinkKeyLeaves('A', ssAlt, none)) << "any key with Alt leaves";
    struct {
        TEditLinkWants wants;
        quint16 kept;
        quint16 stillLeaves;
    } cases[] = {
        {{false, true}, VK_UP, VK_LEFT},
        {{true}, VK_RIGHT, VK_DOWN},
        {{false, false, true}, VK_END, VK_PRIOR},
        {{false, false, false, true}, VK_NEXT, VK_END},
        {{false, false, false, false, true}, VK_RETURN, VK_ESCAPE},
        {{false, false, false, false, false, true}, VK_ESCAPE, VK_RETURN},
        {{false, false, false, false, false, false, true}, VK_TAB, VK_RETURN},
    };
    for (const auto& c : cases) {
        EXPECT_FALSE(EditLinkKeyLeaves(c.kept, {}, c.wants)) << c.kept;
        EXPECT_TRUE(EditLinkKeyLeaves(c.stillLeaves, {}, c.wants)) << c.stillLeaves;
    }
}
