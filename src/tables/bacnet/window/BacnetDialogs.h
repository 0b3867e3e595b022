#pragma once
// The BACnet table dialogs on the table frame (tables/frame/window/TableDialog.h):
//   TFBACnetSetAccess            objects of the Modbus master models (device types 0 and 3)
//   TFBACnetSetAccess_ModSlave   objects of the fieldbus-slave models
//   TFBACnet_BDT                 the broadcast distribution table
// Descriptions and checks are in tables/bacnet/BacnetTables.h. A double click on an
// "Eng. Unit" cell opens the engineering-unit picker the program made at start.
#include "tables/bacnet/BacnetTables.h"
#include "tables/frame/window/TableDialog.h"

#include <QPointer>

namespace tables {

class TFBACnet_Eng_Unit;

class TFBACnetSetAccess : public TTableDialog {
    Q_OBJECT
public:
    TFBACnetSetAccess(TFBACnet_Eng_Unit* picker, QWidget* parent = nullptr);

    // True when the general parameters limit the object descriptions (1000 objects per page).
    bool Desc_Lenght = false;

protected:
    void showing() override;
    std::optional<Failure> checkRow(const RowView& row) override;
    std::optional<Failure> checkTable(const std::vector<int>& checked) override;
    void comboChanged(int section, int col, int row, int itemIndex, const QString& text) override;
    void cellDoubleClicked(int section, int row, int col) override;

private:
    QPointer<TFBACnet_Eng_Unit> picker_;
};

class TFBACnetSetAccess_ModSlave : public TTableDialog {
    Q_OBJECT
public:
    TFBACnetSetAccess_ModSlave(TFBACnet_Eng_Unit* picker, QWidget* parent = nullptr);

    bool Desc_Lenght = false;

protected:
    void showing() override;
    void afterLoad() override;
    std::optional<Failure> checkRow(const RowView& row) override;
    std::optional<Failure> checkTable(const std::vector<int>& checked) override;
    void comboChanged(int section, int col, int row, int itemIndex, const QString& text) override;
    void cellDoubleClicked(int section, int row, int col) override;

private:
    int type_;
    int dmxDirection_ = 1;
    QPointer<TFBACnet_Eng_Unit> picker_;
};

class TFBACnet_BDT : public TTableDialog {
    Q_OBJECT
public:
    explicit TFBACnet_BDT(QWidget* parent = nullptr);

protected:
    std::optional<Failure> checkRow(const RowView& row) override;
};

} // namespace tables
