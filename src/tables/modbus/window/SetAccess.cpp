#include "tables/modbus/window/SetAccess.h"

#include "tables/modbus/ModbusTables.h"

namespace tables::modbus {

TFSetAccess::TFSetAccess(QWidget* parent) : TTableDialog(setAccessTable(), parent) {}

std::optional<Failure> TFSetAccess::checkRow(const RowView& row) { return checkSetAccessRow(row, limits()); }

TFSetAccessTCP::TFSetAccessTCP(QWidget* parent) : TTableDialog(setAccessTcpTable(), parent) {}

std::optional<Failure> TFSetAccessTCP::checkRow(const RowView& row) { return checkSetAccessTcpRow(row, limits()); }

} // namespace tables::modbus
