#pragma once
// TGridExtGridDropDown: the grid drop-down as the cell editor of edExtGridDropDown cells, with
// the key protocol of the drop-down editors (controls/grid/edit/GridDropDownEditors.h).
#include "controls/grid/dropdown/grid/GridDropDown.h"
#include "controls/grid/edit/GridDropDownEditors.h"

namespace controls::grid {

class TGridExtGridDropDown : public TGridDropDownEditor<dropdown::TCustomExtGridDropDown> {
public:
    explicit TGridExtGridDropDown(TExtStringGridEdit* grid);
    // The drop-down's own grid.
    TExtStringGrid* Grid() const { return GetGrid(); }
    // Fills the editor from a cell: the inner grid keeps its header row, the application sets
    // the items (OnGetEditorProp), the row of the cell's text is chosen (the first for an empty
    // text), then the text is the cell's.
    void FillFromCell(const QString& editText, int realCol, int row);
};

} // namespace controls::grid
