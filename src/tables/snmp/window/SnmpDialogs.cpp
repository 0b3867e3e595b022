#include "tables/snmp/window/SnmpDialogs.h"

#include "controls/grid/column/ColumnGrid.h"
#include "tables/snmp/SnmpTables.h"

namespace tables::snmp {

// --- manager ---------------------------------------------------------------------------------

TFSNMPManagerAccess::TFSNMPManagerAccess(QWidget* parent) : TTableDialog(managerTable(), parent) {}

std::optional<Failure> TFSNMPManagerAccess::checkRow(const RowView& row)
{
    return checkManagerRow(row);
}

// --- traps -----------------------------------------------------------------------------------

TFSNMP_Trap_Access::TFSNMP_Trap_Access(QWidget* parent) : TTableDialog(trapTable(), parent) {}

void TFSNMP_Trap_Access::buildControls()
{
    TTableDialog::buildControls();
    for (int s : {TrapRead, TrapWrite}) {
        TExtColumnGrid* g = grid(s);
        g->OnCheckBoxClick = [this, g](controls::grid::TExtStringGridEdit*, int col, int, bool) {
            if (col == TrEnable)
                Index_Row_Build(g);
        };
    }
}

void TFSNMP_Trap_Access::Index_Row_Build(TExtColumnGrid* g)
{
    QStringList enable;
    const int rows = g->RowCount() - 1;
    enable.reserve(rows);
    for (int r = 1; r <= rows; ++r)
        enable << g->Cells(TrEnable, r);
    const QStringList index = snmp::Index_Row_Build(enable);
    for (int r = 1; r <= rows; ++r)
        g->SetCells(0, r, index[r - 1]);
}

void TFSNMP_Trap_Access::afterLoad()
{
    Index_Row_Build(grid(TrapRead));
    Index_Row_Build(grid(TrapWrite));
}

std::optional<Failure> TFSNMP_Trap_Access::checkRow(const RowView& row)
{
    return checkTrapRow(row);
}

std::optional<Failure> TFSNMP_Trap_Access::checkTable(const std::vector<int>&)
{
    return checkTrapDescriptions(description(), model());
}

} // namespace tables::snmp
