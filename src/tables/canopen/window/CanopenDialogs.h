#pragma once
// The table dialogs of the CANopen model (device type 8) on the table frame, with the
// descriptions and row checks of tables/canopen/CanopenTables.h:
//   TFSet_SDO_Server_Access   "Set SDO Server"   SDO_Server_CANopen.xml
//   TFSet_SDO_Client_Access   "Set SDO Client"   SDO_Client_CANopen.xml
//   TFSet_PDO_Access          "Set PDO Access"   PDO_CANopen.xml
#include "tables/frame/window/TableDialog.h"

namespace tables::canopen {

class TFSet_SDO_Server_Access : public TTableDialog {
    Q_OBJECT
public:
    explicit TFSet_SDO_Server_Access(QWidget* parent = nullptr);

protected:
    std::optional<Failure> checkRow(const RowView& row) override;
};

class TFSet_SDO_Client_Access : public TTableDialog {
    Q_OBJECT
public:
    explicit TFSet_SDO_Client_Access(QWidget* parent = nullptr);

protected:
    std::optional<Failure> checkRow(const RowView& row) override;
};

class TFSet_PDO_Access : public TTableDialog {
    Q_OBJECT
public:
    explicit TFSet_PDO_Access(QWidget* parent = nullptr);

protected:
    std::optional<Failure> checkRow(const RowView& row) override;
};

} // namespace tables::canopen
