#pragma once
// The Modbus master access-table dialogs: TFSetAccess (RTU master, device type 0) and
// TFSetAccessTCP (TCP master, device type 3), table dialogs of the frame with the
// descriptions and row checks of tables/modbus/ModbusTables.h.
//
// Use from the main window:
//     auto* setAccess = new tables::modbus::TFSetAccess(mainWindow);   // at start
//     setAccess->showModal();                                         // "Set Modbus Access"
#include "tables/frame/window/TableDialog.h"

namespace tables::modbus {

class TFSetAccess : public TTableDialog {
    Q_OBJECT
public:
    explicit TFSetAccess(QWidget* parent = nullptr);

protected:
    std::optional<Failure> checkRow(const RowView& row) override;
};

class TFSetAccessTCP : public TTableDialog {
    Q_OBJECT
public:
    explicit TFSetAccessTCP(QWidget* parent = nullptr);

protected:
    std::optional<Failure> checkRow(const RowView& row) override;
};

} // namespace tables::modbus
