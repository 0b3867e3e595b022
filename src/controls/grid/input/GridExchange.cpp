// The grid's exchange with the outside as far as the keyboard and the grid's own copying reach
// it; the formats themselves are in controls/grid/io.
#include "controls/grid/input/GridInput.h"
#include "controls/grid/io/CellStream.h"
#include "controls/grid/io/Clipboard.h"
#include "platform/grid/Keys.h"

namespace controls::grid {

void TExtStringGridInput::AssignCells(TExtStringGrid* source)
{
    auto* s = dynamic_cast<TExtStringGridPaint*>(source);
    if (!s) {
        TExtStringGridEdit::AssignCells(source);
        return;
    }
    io::AssignCellsByStream(*this, *s);
}

} // namespace controls::grid

namespace controls::grid {

bool TExtStringGridInput::ClipboardShortCut(quint16& key, platform::TShiftState shift)
{
    using platform::ssAlt;
    using platform::ssCtrl;
    using platform::ssShift;
    if (!Navigation.AllowClipboardShortCuts || shift.testFlag(ssAlt))
        return false;
    const bool ctrl = shift.testFlag(ssCtrl);
    const bool shiftOnly = shift.testFlag(ssShift) && !ctrl;
    enum { None, Cut, Copy, Paste } op = None;
    if (ctrl && key == 'X')
        op = Cut;
    else if (ctrl && key == 'V')
        op = Paste;
    else if (ctrl && (key == 'C' || key == platform::VK_INSERT))
        op = Copy;
    else if (shiftOnly && key == platform::VK_INSERT)
        op = Paste;
    else if (shiftOnly && key == platform::VK_DELETE)
        op = Cut;
    if (op == None)
        return false;
    bool allow = true;
    const AllowEvent& event = op == Cut ? OnClipboardCut : op == Copy ? OnClipboardCopy : OnClipboardPaste;
    if (event)
        event(this, allow);
    if (allow) {
        if (op == Cut)
            io::CutSelectionToClipboard(*this);
        else if (op == Copy)
            io::CopySelectionToClipboard(*this);
        else
            io::PasteSelectionFromClipboard(*this);
    }
    key = 0;
    return true;
}

} // namespace controls::grid
