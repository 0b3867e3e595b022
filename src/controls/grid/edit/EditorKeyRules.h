#pragma once
// The key protocol of the grid's editor controls other than the combo, as plain rules: which
// keys each control claims from the window (so that Tab, Enter and Escape reach it instead of
// moving the focus or pressing a default button), which keys end its edit, what the numeric and
// decimal edits with a button do with a typed character, and which keys leave an editor link's
// control.
#include "controls/grid/edit/EditRules.h"
#include "platform/grid/Keys.h"

namespace controls::grid {

enum class TGridEditorControl { CheckBox, Spin, DatePicker, DateTimePicker, EditBtn, UnitEditBtn, Button };

// Claims: the spin edit and the unit edit Enter and Escape, and Tab only with goTabs; the date
// picker and the edit with a button Enter and Escape, and Tab whenever the grid takes Tab
// (goTabs or a validation handler); the date-and-time picker Tab whenever the grid takes Tab
// (so that its Tab hand-over is reached; other keys reach it anyway); the push button Escape and
// the arrows; the check box nothing.
bool EditorClaimsKey(TGridEditorControl control, quint16 key, bool gridTakesTab, bool goTabs);

// Keys that end the edit: check box Enter, Esc, Page Up, Page Down, End and the arrows; spin Tab,
// Enter, Esc, Up and Down (its own key handling steps with Up and Down first); date picker Tab,
// Enter, Esc, Page Up, Page Down, End; date-and-time picker Tab, Enter, Esc; the edits with a
// button Tab, Enter, Esc, Page Up, Page Down, Up and Down (End moves the caret); push button the
// arrows and Esc.
bool EditorKeyLeaves(TGridEditorControl control, quint16 key);

// A character typed into an edit with a button of the kind (edEditBtn and edMaskEditBtn take
// everything; edNumericEditBtn Backspace, Tab, Enter, Esc, digits and one leading "-", beeping
// at the rest; edFloatEditBtn Backspace, Tab, Enter, Esc, digits, "-", "." and ",", where a
// second decimal separator and any thousand separator are dropped silently, a "-" not at the
// start or a second one beeps, and any other character passes only with Ctrl). The unit kinds
// filter as their plain counterparts.
TCharAction EditBtnCharAction(TEditorType kind, QChar ch, const TCharContext& ctx);

// The keys an editor link's control keeps (its want flags).
struct TEditLinkWants {
    bool leftRight = false;
    bool upDown = false;
    bool homeEnd = false;
    bool priorNext = false;
    bool returnKey = false;
    bool escape = false;
    bool tabs = false;
};
// A leaving key is Tab, Enter, Escape, Page Up, Page Down, End or an arrow, or any key with Alt;
// Home is none. The want flags keep theirs in the control.
bool EditLinkKeyLeaves(quint16 key, platform::TShiftState shift, const TEditLinkWants& wants);

} // namespace controls::grid
