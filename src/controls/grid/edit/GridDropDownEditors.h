#pragma once
// The drop-down cell editors: each binds one drop-down control to the grid that owns it and
// follows the editors' key protocol (GridEditors.h):
//
//   - Tab, Enter, Escape, Page Up, Page Down, End, Up and Down leave the editor (Alt+Down never
//     does); every other key is the drop-down's own;
//   - Escape puts the cell's text back and ends the edit;
//   - Enter, Up and Down write the value into the cell and validate it: a refused value keeps
//     the editor open with the grid's text selected; Tab does the same when the grid takes Tab
//     and then walks on (goTabs) or hands Tab on;
//   - while the popup is open only Tab, Enter and Escape leave: the arrows and pages are the
//     popup's (its list, its clock); with the popup closed, End moves the caret;
//   - typed characters go through the grid's OnKeyPress first (the editor as sender); Enter,
//     Escape and Tab are not typed; a change of the text raises the grid's OnEditChange; losing
//     the focus ends the edit, writing the value back.
//
// The colour picker also leaves on Home while it is closed, and only Enter writes and validates. The calculator computes what is
// pending before Enter writes its result. The track bar, memo and calculator put the caret under
// the mouse when a click on the cell opened them.
#include "controls/grid/dropdown/CalculatorDropDown.h"
#include "controls/grid/dropdown/ColorPickerDropDown.h"
#include "controls/grid/dropdown/DetailDropDown.h"
#include "controls/grid/dropdown/ImagePickerDropDown.h"
#include "controls/grid/dropdown/MultiColumnDropDown.h"
#include "controls/grid/dropdown/TimePickerDropDown.h"
#include "controls/grid/dropdown/TrackBarMemoDropDown.h"
#include "controls/grid/edit/GridEdit.h"

#include <QFocusEvent>
#include <functional>

namespace controls::grid {

// The nine kinds edited with a drop-down (edTrackbarDropDown to edExtGridDropDown).
inline bool IsDropDownKind(TEditorType kind) { return kind >= edTrackbarDropDown && kind <= edExtGridDropDown; }

// How one wrapper's keys differ from the protocol above.
struct TDropDownEditorRules {
    bool colour = false;          // the colour picker's leaving and writing keys
    bool caretUnderMouse = false; // track bar, memo, calculator
    // Runs before Enter writes the value (the calculator computes).
    std::function<void()> beforeEnter;
    // The value written into the cell when it is not the edit's text (the memo's lines, the
    // colour's text); the edit then keeps what it shows.
    std::function<QString()> value;
};

// The protocol's steps for one drop-down control of one grid.
class TGridDropDownLink {
public:
    TGridDropDownLink(TExtStringGridEdit* grid, dropdown::TExtCustomDropDown* control, TDropDownEditorRules rules);

    TExtStringGridEdit* Grid() const { return m_grid; }
    bool Forced = false;
    bool WorkMode = true;

    // Whether the key leaves the editor in the control's present state.
    bool Leaves(quint16 key, platform::TShiftState shift) const;
    // The protocol's key step; true when it took the key (the control's own handling is not to
    // run), false when the key goes on to the control.
    bool KeyDown(quint16& key, platform::TShiftState shift);
    // The grid's OnKeyPress, then Enter, Escape and Tab dropped.
    void KeyPress(QChar& key);
    void Changed();
    void Exit();
    bool WantTab() const { return m_grid->HandlesTabKey(); }
    void FocusIn();

private:
    bool CommitAndValidate(quint16& key, bool selectAll);

    TExtStringGridEdit* m_grid;
    dropdown::TExtCustomDropDown* m_control;
    TDropDownEditorRules m_rules;
};

// A drop-down kind as a cell editor of the grid (a child of the grid's viewport).
template <typename Base>
class TGridDropDownEditor : public Base {
public:
    TGridDropDownEditor(TExtStringGridEdit* grid, TDropDownEditorRules rules)
        : Base(grid->viewport()), m_link(grid, this, std::move(rules))
    {
    }
    // The grid that owns the editor.
    TExtStringGridEdit* OwnerGrid() const { return m_link.Grid(); }
    TGridDropDownLink& Link() { return m_link; }

    void WMKeyDown(platform::TWMKey& msg, platform::TShiftState shift) override
    {
        if (m_link.KeyDown(msg.CharCode, shift))
            return;
        Base::WMKeyDown(msg, shift);
    }
    void KeyPress(QChar& key) override
    {
        m_link.KeyPress(key);
        if (!key.isNull())
            Base::KeyPress(key);
    }
    void Change() override
    {
        Base::Change();
        m_link.Changed();
    }

protected:
    void DoExit() override
    {
        m_link.Exit();
        Base::DoExit();
    }
    bool WantTab() const override { return m_link.WantTab(); }
    // Enter and Escape belong to the editor, never to the window's buttons.
    bool PassKeyToWindow(quint16) const override { return false; }
    void focusInEvent(QFocusEvent* e) override
    {
        Base::focusInEvent(e);
        m_link.FocusIn();
    }

private:
    TGridDropDownLink m_link;
};

// Makes a new editor of the grid ready (hidden, disabled, the grid's style and colour tones, on
// the grid's lists of styled and toned editors).
// A new editor takes the grid's style and tones and follows later changes of the tones; of the
// style only when followsStyle (the track bar and the grid drop-down keep the style they were
// made with).
void AdoptDropDownEditor(TExtStringGridEdit* grid, dropdown::TExtCustomDropDown* editor, bool followsStyle);

template <typename T>
T* MakeDropDownEditor(TExtStringGridEdit* grid, bool followsStyle = true)
{
    auto* d = new T(grid);
    AdoptDropDownEditor(grid, d, followsStyle);
    return d;
}

class TGridTrackbarDropDown : public TGridDropDownEditor<dropdown::TExtTrackBarDropDown> {
public:
    explicit TGridTrackbarDropDown(TExtStringGridEdit* grid);
    void DoChange() {}
};

class TGridMemoDropDown : public TGridDropDownEditor<dropdown::TExtMemoDropDown> {
public:
    explicit TGridMemoDropDown(TExtStringGridEdit* grid);
};

class TGridCalculatorDropDown : public TGridDropDownEditor<dropdown::TExtCalculatorDropdown> {
public:
    explicit TGridCalculatorDropDown(TExtStringGridEdit* grid);
};

class TGridTimepickerDropDown : public TGridDropDownEditor<dropdown::TExtTimePickerDropDown> {
public:
    explicit TGridTimepickerDropDown(TExtStringGridEdit* grid);
};

class TGridGridDropDown : public TGridDropDownEditor<dropdown::TExtMultiColumnDropDown> {
public:
    explicit TGridGridDropDown(TExtStringGridEdit* grid);
};

class TGridDetailPickerDropDown : public TGridDropDownEditor<dropdown::TExtDetailDropDown> {
public:
    explicit TGridDetailPickerDropDown(TExtStringGridEdit* grid);
};

class TGridColorDropDown : public TGridDropDownEditor<dropdown::TExtColorPickerDropDown> {
public:
    explicit TGridColorDropDown(TExtStringGridEdit* grid);
};

class TGridImageDropDown : public TGridDropDownEditor<dropdown::TExtImagePickerDropDown> {
public:
    explicit TGridImageDropDown(TExtStringGridEdit* grid);
};

} // namespace controls::grid
