#pragma once
// The SNMP table dialogs on the table frame (tables/frame/window/TableDialog.h):
//   TFSNMPManagerAccess   requests of the SNMP manager model (device type 19)
//   TFSNMP_Trap_Access    read and write traps of the SNMP agent model (device type 17)
// Descriptions and checks are in tables/snmp/SnmpTables.h.
//
// The trap dialog's column 0 numbers the enabled rows of its grid: rebuilt at each showing and
// at each click on an Enable check box (not by Delete, Insert or Paste Row). Its first page is
// made current when the dialog is created, not at each showing.
#include "tables/frame/window/TableDialog.h"

namespace tables::snmp {

class TFSNMPManagerAccess : public TTableDialog {
    Q_OBJECT
public:
    explicit TFSNMPManagerAccess(QWidget* parent = nullptr);

protected:
    std::optional<Failure> checkRow(const RowView& row) override;
};

class TFSNMP_Trap_Access : public TTableDialog {
    Q_OBJECT
public:
    explicit TFSNMP_Trap_Access(QWidget* parent = nullptr);

    // Column 0 of the grid: the index of each enabled row.
    void Index_Row_Build(TExtColumnGrid* grid);

protected:
    void buildControls() override;
    void afterLoad() override;
    std::optional<Failure> checkRow(const RowView& row) override;
    std::optional<Failure> checkTable(const std::vector<int>& checked) override;
};

} // namespace tables::snmp
