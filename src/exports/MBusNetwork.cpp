#include "exports/MBusNetwork.h"

#include <climits>
#include <cstdint>

#include "exports/Ede.h"
#include "exports/ExportFile.h"
#include "mbus/DeviceList.h"
#include "mbus/Template.h"
#include "parameters/ParGenFile.h"
#include "platform/text/Text.h"
#include "workspace/Validators.h"
#include "workspace/Workspace.h"

namespace exports {

namespace {

using workspace::ws;

int64_t number(const mbus::XmlAttributes& a, const char* name, int64_t def)
{
    const std::optional<QString> t = a.value(QLatin1String(name));
    if (!t)
        return def;
    return platform::toInt64Def(*t, def);
}
int32_t number32(const mbus::XmlAttributes& a, const char* name, int32_t def)
{
    const std::optional<QString> t = a.value(QLatin1String(name));
    return t ? platform::toIntDef(*t, def) : def;
}
QString text(const mbus::XmlAttributes& a, const char* name) { return a.value(QLatin1String(name)).value_or(QString()); }

// MSB and SST take a leading zero when they have one character, the third field zeros up to
// three characters when it has one or two; longer or empty texts stay as they are.
QString padded(const QString& t, int width)
{
    if (t.isEmpty() || t.size() >= width)
        return t;
    return QString(width - t.size(), QLatin1Char('0')) + t;
}

} // namespace

std::vector<TMBus_Nod> mbusNodesFromTexts(const mbus::NetworkTexts& texts)
{
    std::vector<TMBus_Nod> nodes;
    for (const mbus::NetworkNodeTexts& n : texts) {
        const mbus::XmlAttributes& a = n.attributes;
        const std::optional<QString> enable = a.value(QStringLiteral("Enable_Node"));
        if (enable && platform::toInt(*enable).value_or(1) != 1)
            continue;
        TMBus_Nod node;
        node.ID_Type = static_cast<uint8_t>(number32(a, "Node_ID_Type", 0));
        node.ID = static_cast<uint32_t>(number(a, node.ID_Type != 0 ? "ID_Secondary" : "ID_Primary", 0));
        int32_t state = number32(a, "Node_State", 0);
        if (state == 1 && number32(a, "NS_VarType", 0) == 1)
            state += 128;
        node.Node_State = static_cast<uint8_t>(state);
        node.Ident_Num = static_cast<uint8_t>(number32(a, "Ident_Num", 0));
        node.Var_Type = static_cast<uint8_t>(number32(a, "Var_List_Type", 0));
        node.MBus_Type = static_cast<uint8_t>(number32(a, "MBus_Type", 1));
        // The scan stores a wireless address as a signed 32-bit number, the network editor as
        // typed (0..4294967295); either way its 32 bits are the address.
        const int64_t address = number(a, "wMBus_Add", 0);
        node.wMBus_Add = address >= INT32_MIN && address <= UINT32_MAX ? static_cast<uint32_t>(address) : 0;
        node.Desc = text(a, "Descrizione");
        for (const mbus::XmlAttributes& v : n.variables) {
            if (v.value(QStringLiteral("Enable")) != QStringLiteral("1"))
                continue;
            TMBus_Var var;
            var.Type_Of_Data = static_cast<uint8_t>(number32(v, "Type", 0));
            var.Dimension = static_cast<uint8_t>(number32(v, "Dim", 0));
            var.VIFE = static_cast<uint8_t>(number32(v, "VIFE", 0));
            var.BACnet_EngUnit = static_cast<uint16_t>(number32(v, "BACnet_EngUnits", 95));
            var.BACnet_DataType = static_cast<uint16_t>(number32(v, "BACnet_DataType", 0));
            var.Desc = text(v, "Desc");
            node.Vars.push_back(std::move(var));
        }
        if (!node.Vars.empty())
            nodes.push_back(std::move(node));
    }
    return nodes;
}

std::vector<TMBus_Nod> Read_MBus_Network()
{
    const QString& path = ws().Path_M_Bus;
    if (path.isEmpty())
        return {};
    const std::optional<mbus::NetworkTexts> texts = mbus::readNetworkTexts(path);
    return texts ? mbusNodesFromTexts(*texts) : std::vector<TMBus_Nod>{};
}

std::vector<TBACnet_EDE_Obj> edeDeviceListObjects()
{
    const workspace::Workspace& w = ws();
    QString instance;
    parameters::ParGenFile parGen;
    if (loadParGen(parGen)) {
        checkDeviceInstance(parGen);
        instance = parGen.keyTextOr(QStringLiteral("BACnet_DEV_IDE"), {});
    }

    std::vector<TBACnet_EDE_Obj> list;
    workspace::Reset_Obj_Counters();
    const auto next = [](int type) {
        const int32_t i = workspace::Get_Obj_Counter(type);
        workspace::Inc_Obj_Counter(type);
        return QString::number(i);
    };
    const QString reset = next(5);
    const QString resetName = QStringLiteral("Device_%1_OSL_Reset_Converter").arg(platform::toIntDef(instance, 1));
    list.push_back({instance + QStringLiteral("_OSL_Reset_Converter_") + reset, instance, resetName, QStringLiteral("5"),
                    reset, QStringLiteral("OSL_Reset_Converter"), QStringLiteral("95")});

    const std::optional<mbus::DeviceListTexts> devices =
        w.Path_M_Bus_Custom_QV.isEmpty() ? std::nullopt : mbus::readDeviceListTexts(w.Path_M_Bus_Custom_QV);
    if (!devices)
        return list;
    for (const mbus::DeviceTexts& d : devices->devices) {
        const auto value = [&](const char* name) { return d.values.value(QLatin1String(name)).value_or(QString()); };
        const QString templateFile = mbus::findTemplateFile(w.Template_Dir, value("Template"));
        if (templateFile.isEmpty())
            continue;
        const mbus::TemplateTexts t = mbus::readTemplateTexts(templateFile);
        const QString id = (value("ID_Type") == QLatin1String("1") ? QStringLiteral("S-") : QStringLiteral("P-")) +
                           value("ID_MBus");
        const bool nodeState = platform::toIntDef(value("Node_State"), 0) == 1;
        const bool identNumber = platform::toIntDef(value("Identification_Number"), 0) == 1;
        const QString msb = padded(value("MSB"), 2);
        const QString sst = padded(value("SST"), 2);
        const QString third = padded(value("Third_Field"), 3);
        bool firstLeading = true;
        for (const mbus::TemplateItemTexts& v : t.variables) {
            if (mbus::isLeadingRow(v)) {
                // The first leading row describes the node state, the later ones the
                // identification number.
                const bool wanted = firstLeading ? nodeState : identNumber;
                firstLeading = false;
                if (!wanted)
                    continue;
            }
            const auto item = [&](const char* name) { return v.value(QLatin1String(name)).value_or(QString()); };
            const int type = platform::toIntDef(item("ObjectType"), 0);
            const QString inst = next(type);
            const QString name = item("ON_Split1") + msb + item("ON_Split2") + sst + item("ON_Split3") + third +
                                 item("ON_Split4");
            list.push_back({instance + QLatin1Char('_') + id + QLatin1Char('_') + name + QLatin1Char('_') + inst, instance,
                            name, QString::number(type), inst, item("Description"), item("Units")});
        }
    }
    return list;
}

} // namespace exports
