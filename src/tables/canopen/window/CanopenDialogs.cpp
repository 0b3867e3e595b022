#include "tables/canopen/window/CanopenDialogs.h"

#include "tables/canopen/CanopenTables.h"

namespace tables::canopen {

TFSet_SDO_Server_Access::TFSet_SDO_Server_Access(QWidget* parent) : TTableDialog(sdoServerTable(), parent) {}

std::optional<Failure> TFSet_SDO_Server_Access::checkRow(const RowView& row) { return checkSdoServerRow(row, limits()); }

TFSet_SDO_Client_Access::TFSet_SDO_Client_Access(QWidget* parent) : TTableDialog(sdoClientTable(), parent) {}

std::optional<Failure> TFSet_SDO_Client_Access::checkRow(const RowView& row) { return checkSdoClientRow(row, limits()); }

TFSet_PDO_Access::TFSet_PDO_Access(QWidget* parent) : TTableDialog(pdoTable(), parent) {}

std::optional<Failure> TFSet_PDO_Access::checkRow(const RowView& row) { return checkPdoRow(row, limits()); }

} // namespace tables::canopen
