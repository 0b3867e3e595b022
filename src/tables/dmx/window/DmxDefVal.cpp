#include "tables/dmx/window/DmxDefVal.h"

#include "parameters/ParGenFile.h"
#include "tables/dmx/DmxTables.h"
#include "workspace/Workspace.h"

namespace tables::dmx {

TFDMXDefVal::TFDMXDefVal(QWidget* parent) : TTableDialog(dmxDefaultsTable(), parent) {}

void TFDMXDefVal::showing()
{
    parameters::ParGenFile parGen;
    parGen.load(workspace::ws().Path_ParGen);
    capacity_ = dmxChannelCount(parGen);
}

std::optional<Failure> TFDMXDefVal::checkRow(const RowView& row)
{
    return checkDmxRow(row);
}

} // namespace tables::dmx
