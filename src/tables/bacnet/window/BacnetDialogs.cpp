#include "tables/bacnet/window/BacnetDialogs.h"

#include "controls/grid/column/ColumnGrid.h"
#include "parameters/ParGenFile.h"
#include "tables/bacnet/window/EngUnitPicker.h"
#include "workspace/Workspace.h"

#include <QTabWidget>

namespace tables {

using namespace tables::bacnet;

namespace {

// The picker on an "Eng. Unit" data cell; any other cell or the header does nothing.
void pickUnit(TFBACnet_Eng_Unit* picker, TExtColumnGrid* grid, int row, int col)
{
    if (!picker || row < 1 || col != ColEngUnit)
        return;
    const QString current = grid->Cells(col, row);
    const QString picked = pickEngUnit(*picker, current);
    if (picked != current)
        grid->SetCells(col, row, picked);
}

void fillLength(TExtColumnGrid* grid, int section, int col, int row, const QString& text, bool modSlave)
{
    if (section != WritePage || col != ColType || row < 1)
        return;
    if (const std::optional<QString> len = lengthForPickedType(text, modSlave))
        grid->SetCells(ColLength, row, *len);
}

} // namespace

// --- Modbus master models ------------------------------------------------------------------

TFBACnetSetAccess::TFBACnetSetAccess(TFBACnet_Eng_Unit* picker, QWidget* parent)
    : TTableDialog(bacnetSetAccessTable(), parent), picker_(picker)
{
}

void TFBACnetSetAccess::showing()
{
    parameters::ParGenFile parGen;
    parGen.load(workspace::ws().Path_ParGen);
    Desc_Lenght = descLimitSet(parGen);
    capacity_ = objectCapacity(Desc_Lenght);
    limits_ = {1439, 1439};
}

std::optional<Failure> TFBACnetSetAccess::checkRow(const RowView& row)
{
    return checkBacnetSetAccessRow(row, limits_);
}

std::optional<Failure> TFBACnetSetAccess::checkTable(const std::vector<int>& checked)
{
    return checkObjectCount(checked, capacity_);
}

void TFBACnetSetAccess::comboChanged(int section, int col, int row, int, const QString& text)
{
    fillLength(grid(section), section, col, row, text, false);
}

void TFBACnetSetAccess::cellDoubleClicked(int section, int row, int col)
{
    pickUnit(picker_, grid(section), row, col);
}

// --- fieldbus-slave models -----------------------------------------------------------------

TFBACnetSetAccess_ModSlave::TFBACnetSetAccess_ModSlave(TFBACnet_Eng_Unit* picker, QWidget* parent)
    : TTableDialog(bacnetModSlaveTable(workspace::ws().Converter_Type), parent),
      type_(workspace::ws().Converter_Type), picker_(picker)
{
}

void TFBACnetSetAccess_ModSlave::showing()
{
    parameters::ParGenFile parGen;
    parGen.load(workspace::ws().Path_ParGen);
    limits_ = modSlaveByteLimits(type_, parGen);
    dmxDirection_ = dmxDirection(parGen);
    Desc_Lenght = descLimitSet(parGen);
    capacity_ = objectCapacity(Desc_Lenght);
}

void TFBACnetSetAccess_ModSlave::afterLoad()
{
    if (!PageControl1)
        return;
    // The DMX model shows only the page of its direction; the hidden page keeps, checks and
    // saves its rows like the shown one.
    const bool dmx = type_ == 18;
    const bool readShown = !dmx || dmxDirection_ == 0;
    const bool writeShown = !dmx || dmxDirection_ != 0;
    PageControl1->setTabVisible(ReadPage, readShown);
    PageControl1->setTabVisible(WritePage, writeShown);
    setCurrentSection(readShown ? ReadPage : WritePage);
}

std::optional<Failure> TFBACnetSetAccess_ModSlave::checkRow(const RowView& row)
{
    return checkBacnetModSlaveRow(row, type_, limits_);
}

std::optional<Failure> TFBACnetSetAccess_ModSlave::checkTable(const std::vector<int>& checked)
{
    return checkObjectCount(checked, capacity_);
}

void TFBACnetSetAccess_ModSlave::comboChanged(int section, int col, int row, int, const QString& text)
{
    fillLength(grid(section), section, col, row, text, true);
}

void TFBACnetSetAccess_ModSlave::cellDoubleClicked(int section, int row, int col)
{
    pickUnit(picker_, grid(section), row, col);
}

// --- broadcast distribution table ------------------------------------------------------------

TFBACnet_BDT::TFBACnet_BDT(QWidget* parent) : TTableDialog(bdtTable(), parent) {}

std::optional<Failure> TFBACnet_BDT::checkRow(const RowView& row)
{
    return checkBdtRow(row);
}

} // namespace tables
