// The grid's exchange with the outside as far as the keyboard and the grid's own copying reach
// it; the formats themselves are in controls/grid/io.
#include "controls/grid/input/GridInput.h"
#include "controls/grid/io/CellStream.h"

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
