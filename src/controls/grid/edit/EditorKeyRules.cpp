#include "controls/grid/edit/EditorKeyRules.h"

namespace controls::grid {

using namespace platform;

namespace {

bool isArrow(quint16 key) { return key == VK_LEFT || key == VK_UP || key == VK_RIGHT || key == VK_DOWN; }

} // namespace

bool EditorClaimsKey(TGridEditorControl control, quint16 key, bool gridTakesTab, bool goTabs)
{
    const bool enterEscape = key == VK_RETURN || key == VK_ESCAPE;
    switch (control) {
    case TGridEditorControl::CheckBox: return false;
    case TGridEditorControl::Spin:
    case TGridEditorControl::UnitEditBtn: return enterEscape || (key == VK_TAB && goTabs);
    case TGridEditorControl::DatePicker:
    case TGridEditorControl::EditBtn: return enterEscape || (key == VK_TAB && gridTakesTab);
    case TGridEditorControl::DateTimePicker: return key == VK_TAB && gridTakesTab;
    case TGridEditorControl::Button: return key == VK_ESCAPE || isArrow(key);
    }
    return false;
}

bool EditorKeyLeaves(TGridEditorControl control, quint16 key)
{
    switch (control) {
    case TGridEditorControl::CheckBox:
        return key == VK_RETURN || key == VK_ESCAPE || key == VK_PRIOR || key == VK_NEXT || key == VK_END
               || isArrow(key);
    case TGridEditorControl::Spin:
        return key == VK_TAB || key == VK_RETURN || key == VK_ESCAPE || key == VK_UP || key == VK_DOWN;
    case TGridEditorControl::DatePicker:
        return key == VK_TAB || key == VK_RETURN || key == VK_ESCAPE || key == VK_PRIOR || key == VK_NEXT
               || key == VK_END;
    case TGridEditorControl::DateTimePicker: return key == VK_TAB || key == VK_RETURN || key == VK_ESCAPE;
    case TGridEditorControl::EditBtn:
    case TGridEditorControl::UnitEditBtn:
        return key == VK_TAB || key == VK_RETURN || key == VK_ESCAPE || key == VK_PRIOR || key == VK_NEXT
               || key == VK_UP || key == VK_DOWN;
    case TGridEditorControl::Button: return key == VK_ESCAPE || isArrow(key);
    }
    return false;
}

TCharAction EditBtnCharAction(TEditorType kind, QChar ch, const TCharContext& ctx)
{
    const ushort c = ch.unicode();
    const bool control = c == 8 || c == 9 || c == 13 || c == 27;
    const bool digit = c >= u'0' && c <= u'9';
    const QString selected = ctx.text.mid(ctx.selStart, ctx.selLength);
    switch (kind) {
    case edNumericEditBtn:
    case edNumericUnitEditBtn:
        if (control || digit)
            return TCharAction::Pass;
        if (ch == u'-' && !ctx.text.contains(u'-') && ctx.selStart == 0)
            return TCharAction::Pass;
        return TCharAction::Refuse;
    case edFloatEditBtn:
    case edFloatUnitEditBtn:
        if (control || digit)
            return TCharAction::Pass;
        if (ch == ctx.thousandSeparator)
            return TCharAction::Drop;
        if (ch == ctx.decimalSeparator)
            return ctx.text.contains(ch) && !selected.contains(ch) ? TCharAction::Drop : TCharAction::Pass;
        if (ch == u'-') {
            const bool atStart = ctx.selStart == 0 && !ctx.text.contains(u'-');
            return atStart || selected.contains(u'-') ? TCharAction::Pass : TCharAction::Refuse;
        }
        if (ch == u',' || ch == u'.')
            return TCharAction::Pass;
        return ctx.ctrl ? TCharAction::Pass : TCharAction::Drop;
    default: return TCharAction::Pass;
    }
}

bool EditLinkKeyLeaves(quint16 key, TShiftState shift, const TEditLinkWants& wants)
{
    bool leaves = shift.testFlag(ssAlt) || key == VK_TAB || key == VK_RETURN || key == VK_ESCAPE || key == VK_PRIOR
                  || key == VK_NEXT || key == VK_END || isArrow(key);
    if (wants.upDown && (key == VK_UP || key == VK_DOWN))
        leaves = false;
    if (wants.leftRight && (key == VK_LEFT || key == VK_RIGHT))
        leaves = false;
    if (wants.homeEnd && (key == VK_HOME || key == VK_END))
        leaves = false;
    if (wants.priorNext && (key == VK_PRIOR || key == VK_NEXT))
        leaves = false;
    if (wants.returnKey && key == VK_RETURN)
        leaves = false;
    if (wants.escape && key == VK_ESCAPE)
        leaves = false;
    if (wants.tabs && key == VK_TAB)
        leaves = false;
    return leaves;
}

} // namespace controls::grid
