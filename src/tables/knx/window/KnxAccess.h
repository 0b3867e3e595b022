#pragma once
// TFKNXAccess: the KNX access table of the KNX models (device types 16 and 2016) on the table
// frame (tables/frame/window/TableDialog.h), with the description and checks of
// tables/knx/KnxTables.h. One grid, ACG_KNX_in_Write; a click on a row's number selects the
// whole row. The dialog also holds the grid ACG_KNX_in_Read of the file's read section, which is
// never shown, loaded, checked or saved: it is only reset at each showing and relabelled.
// Copy Row and Paste Row keep their English captions in every language.
#include "tables/frame/window/TableDialog.h"

namespace tables::knx {

class TFKNXAccess : public TTableDialog {
    Q_OBJECT
public:
    explicit TFKNXAccess(QWidget* parent = nullptr);

    void Set_Lang() override;

    // A click on a cell of column 0 selects the row.
    void ACG_KNX_in_WriteClickCell(int row, int col);

    TExtColumnGrid* ACG_KNX_in_Read = nullptr; // built with the other controls

protected:
    void buildControls() override;
    void showing() override;
    void afterLoad() override;
    std::optional<Failure> checkRow(const RowView& row) override;

private:
    void labelReadGrid();
};

} // namespace tables::knx
