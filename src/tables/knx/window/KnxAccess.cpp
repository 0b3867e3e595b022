#include "tables/knx/window/KnxAccess.h"

#include "controls/grid/column/ColumnGrid.h"
#include "tables/knx/KnxTables.h"
#include "workspace/Workspace.h"

namespace tables::knx {

namespace {
// Headers of the read grid: "N", "Enable", "Source Add", "Dest/Group", "Format", "TimeOut",
// "Position", "Bit Mode", "Length", "Mnemonic".
constexpr int kReadHeaders[] = {950, 1039, 951, 952, 955, 960, 961, 962, 963, 964};
constexpr int kReadColumns = int(std::size(kReadHeaders));
} // namespace

TFKNXAccess::TFKNXAccess(QWidget* parent) : TTableDialog(knxAccessTable(), parent) {}

void TFKNXAccess::buildControls()
{
    TTableDialog::buildControls();
    ACG_KNX_in_Read = new TExtColumnGrid(this);
    ACG_KNX_in_Read->setObjectName(QStringLiteral("ACG_KNX_in_Read"));
    ACG_KNX_in_Read->hide();
    ACG_KNX_in_Read->SetColCount(kReadColumns);
    ACG_KNX_in_Read->SetRowCount(capacity_ + 1);
    labelReadGrid();
    grid(0)->OnClickCell = [this](controls::grid::TExtStringGridInput*, int row, int col) {
        ACG_KNX_in_WriteClickCell(row, col);
    };
}

void TFKNXAccess::Set_Lang()
{
    TTableDialog::Set_Lang();
    labelReadGrid();
}

void TFKNXAccess::labelReadGrid()
{
    if (!ACG_KNX_in_Read)
        return;
    for (int c = 0; c < kReadColumns; ++c)
        ACG_KNX_in_Read->Columns().Items(c)->SetHeader(workspace::text(kReadHeaders[c]));
}

void TFKNXAccess::ACG_KNX_in_WriteClickCell(int row, int col)
{
    TExtColumnGrid* g = grid(0);
    if (col != 0 || row < 1 || row >= g->RowCount())
        return;
    g->SetRow(row);
    g->setSelection(platform::TGridRect{1, row, g->ColCount() - 1, row});
}

void TFKNXAccess::showing()
{
    // The read grid only takes part in the reset: numbered rows, nothing else.
    for (int r = 1; r < ACG_KNX_in_Read->RowCount(); ++r) {
        ACG_KNX_in_Read->SetCells(0, r, QString::number(r));
        for (int c = 1; c < kReadColumns; ++c)
            ACG_KNX_in_Read->SetCells(c, r, QString());
    }
}

void TFKNXAccess::afterLoad()
{
    const int read = lastLoad().rowsRead.empty() ? 0 : lastLoad().rowsRead[0];
    if (read == 0)
        return;
    TableModel m = model();
    normalisePriorities(m, read);
    setModel(m);
}

std::optional<Failure> TFKNXAccess::checkRow(const RowView& row)
{
    return checkKnxRow(row);
}

} // namespace tables::knx
