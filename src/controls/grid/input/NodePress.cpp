// Presses in the node column: the node glyph contracts and expands its node (the header
// glyph of a fixed row every node), and any other press there only reports the click.
#include "controls/grid/input/GridInput.h"

namespace controls::grid {

using platform::TMouseButton;

bool TExtStringGridInput::NodePress(int dc, int r, int x, int y, const Rect& cell, platform::TShiftState shift)
{
    if (dc != 0 || !HasNodes())
        return false;
    const bool onGlyph = IsNode(r) && IsInNodeGlyph(r, x - cell.left);
    if (r < FixedRows()) {
        // The header glyph toggles every node; its flag says which way next.
        if (onGlyph && MouseActions.NodeAllExpandContract) {
            TCellGraphic* g = GetCellGraphic(0, r);
            if (g->CellBoolean)
                ExpandAll();
            else
                ContractAll();
            g->CellBoolean = !g->CellBoolean;
            invalidate();
        }
        return false;
    }
    if (onGlyph) {
        if (onMouseDown)
            onMouseDown(this, TMouseButton::mbLeft, shift, x, y);
        if (OnClickCell)
            OnClickCell(this, r, dc);
        const int real = RealRowIndex(r);
        bool allow = true;
        if (GetNodeState(r)) {
            if (OnBeforeExpandNode)
                OnBeforeExpandNode(this, r, real, allow);
            if (allow) {
                ExpandNode(real);
                if (OnExpandNode)
                    OnExpandNode(this, r, real);
            }
        } else {
            if (OnBeforeContractNode)
                OnBeforeContractNode(this, r, real, allow);
            if (allow) {
                ContractNode(real);
                if (OnContractNode)
                    OnContractNode(this, r, real);
            }
        }
        if (MouseActions.MoveRowOnNodeClick && r < RowCount())
            moveCurrent(col(), r, true, true);
        invalidate();
        return true;
    }
    if (!MouseActions.RowSelect && !options().testFlag(platform::goRowSizing)) {
        if (onMouseDown)
            onMouseDown(this, TMouseButton::mbLeft, shift, x, y);
        if (OnClickCell)
            OnClickCell(this, r, dc);
        return true;
    }
    return false;
}

void TExtStringGridInput::FooterPanelClick(int col)
{
    TExtStringGridEdit::FooterPanelClick(col);
    if (OnClickCell)
        OnClickCell(this, RowCount() - 1, col);
}

} // namespace controls::grid
