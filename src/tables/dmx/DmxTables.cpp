#include "tables/dmx/DmxTables.h"

#include "parameters/ParGenFile.h"
#include "workspace/Workspace.h"

namespace tables::dmx {

TableDescription dmxDefaultsTable()
{
    TableDescription s;
    s.window = {.className = QStringLiteral("FDMXDefVal"), .captionText = 1062, .descText = 1063, .clientWidth = 475};
    s.buttons = {.ok = 1064, .cancel = 1065};
    s.path = [] { return workspace::ws().Path_DMX_Default_Values; };
    s.root = QStringLiteral("DMX_Default_Values");
    s.otherComment = QStringLiteral("SW_VERSION = 1.003");
    s.rowElement = QStringLiteral("Row");
    SectionDescription g;
    g.gridName = QStringLiteral("ACG_DMX_Def_Val");
    g.numberHeaderText = 1066;
    g.keyColumn = 0;
    g.columns = {
        {.headerText = 1067, .attribute = QStringLiteral("Default_Value"), .fresh = QStringLiteral("0"),
         .absent = QStringLiteral("0"), .width = 100, .colour = 0xE0FAFE},
        {.headerText = 1068, .attribute = QStringLiteral("Mnemonic"), .absent = QString(), .width = 250,
         .colour = kWindowColour},
    };
    g.numberWidth = 100;
    s.sections = {g};
    s.capacity = kDmxChannels;
    s.limits = {0, 0};
    return s;
}

int dmxChannelCount(const parameters::ParGenFile& parGen)
{
    const int n = parGen.keyInt(QStringLiteral("DMX_Num_Channels"), kDmxChannels);
    return n >= 1 && n <= kDmxChannels ? n : kDmxChannels;
}

std::optional<Failure> checkDmxRow(const RowView& r)
{
    const int v = r.number(DmxValue);
    if (v < 0 || v > 255)
        return Failure{1069, 1070, {}};
    return std::nullopt;
}

} // namespace tables::dmx
