#include "controls/grid/dropdown/grid/GridExtGridEditor.h"

namespace controls::grid {

TGridExtGridDropDown::TGridExtGridDropDown(TExtStringGridEdit* grid) : TGridDropDownEditor(grid, TDropDownEditorRules{})
{
}

void TGridExtGridDropDown::FillFromCell(const QString& editText, int realCol, int row)
{
    GetGrid()->SetFixedRowAlways(true);
    OwnerGrid()->GetEditorProp(realCol, row);
    BeginUpdate();
    EndUpdate();
    if (UseItems) {
        QString full;
        int index = 0;
        if (!editText.isEmpty())
            LookupItem(editText, full, index);
        SetItemIndex(index);
    }
    SetText(editText);
}

} // namespace controls::grid
