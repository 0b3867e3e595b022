#include "exports/ObjectsMap.h"

#include <array>

#include "exports/ExportFile.h"
#include "exports/MBusNetwork.h"
#include "parameters/ParGenFile.h"
#include "platform/text/Text.h"
#include "platform/text/UserError.h"
#include "workspace/EngUnits.h"
#include "workspace/Workspace.h"

namespace exports {

namespace {

using workspace::ws;

// The data types of the object table that have an instance sequence of their own.
constexpr std::array<const char*, 19> kCountedTypes = {
    "ANALOG INPUT",      "ANALOG OUT",        "BINARY INPUT",      "BINARY OUT",
    "LARGE ANALOG VALUE", "DATETIME VALUE",   "POSITIVE INTEGER VALUE", "CHARACTERSTRING VALUE",
    "INTEGER VALUE",     "MULTI STATE INPUT", "MULTI STATE OUTPUT", "MULTI STATE VALUE",
    "ANALOG VALUE",      "BINARY VALUE",      "LIFE SAFETY POINT", "LIFE SAFETY ZONE",
    "ACCESS DOOR",       "ACCUMULATOR",       "OCTET STRING",
};

int countedTypeIndex(const QString& dataType)
{
    const QString upper = platform::upperAscii(dataType);
    for (size_t i = 0; i < kCountedTypes.size(); ++i)
        if (upper == QLatin1String(kCountedTypes[i]))
            return static_cast<int>(i);
    return -1;
}

bool hasTableMapWithGeneralParameters(int32_t t)
{
    switch (t) {
    case 0: case 3: case 6: case 7: case 8: case 9: case 12: case 16: case 2016: case 17: case 18: case 19:
    // The DeviceNet master, J1939, NMEA 2000 and Ethernet models have object tables of the same
    // layout; their button would otherwise end in nothing.
    case 10: case 13: case 14: case 15:
        return true;
    default:
        return false;
    }
}

const QString kNoUnits = QStringLiteral("no-units");
const QString kRead = QStringLiteral("Read");
const QString kWrite = QStringLiteral("Write");

QString kindText(MBusObjectKind k)
{
    switch (k) {
    case MBusObjectKind::AnalogInput: return QStringLiteral("Analog Input Object");
    case MBusObjectKind::PositiveIntegerValue: return QStringLiteral("Positive Integer Value Object");
    case MBusObjectKind::DateTimeValue: return QStringLiteral("DateTime Value Object");
    case MBusObjectKind::CharacterStringValue: return QStringLiteral("CharacterString Value Object");
    case MBusObjectKind::None: break;
    }
    return {};
}

} // namespace

QString unitText(int unit)
{
    const QString name = workspace::Desc_Unit(unit);
    if (name == QLatin1String("unknown"))
        return QStringLiteral("unknown (%1)").arg(unit);
    return name;
}

std::optional<ObjectTableRule> objectTableRule(int32_t deviceType)
{
    const workspace::Workspace& w = ws();
    ObjectTableRule rule;
    if (deviceType == 2 || deviceType == 4) {
        rule.path = w.Path_BACnet_SetAccess_ModSlave;
        return rule;
    }
    if (!hasTableMapWithGeneralParameters(deviceType))
        return std::nullopt;
    rule.path = w.Path_BACnet_SetAccess;
    parameters::ParGenFile parGen;
    int32_t dmx = 1;
    if (loadParGen(parGen)) {
        if (parGen.keyFlag(QStringLiteral("BACnet_Desc_Chars_Limit")))
            rule.nameLength = 32;
        dmx = parGen.keyInt(QStringLiteral("DMX_DMX"), 1);
    }
    if (deviceType == 18) {
        // The DMX gateway either reads or writes its channels: only one section is in use.
        rule.readSection = dmx == 0;
        rule.writeSection = dmx != 0;
    }
    return rule;
}

std::vector<TBACnet_Obj_115> Read_BACnet_Object_Table(const ObjectTableRule& rule)
{
    std::vector<TBACnet_Obj_115> list;
    const std::unique_ptr<image::TableFile> table = openProjectTable(rule.path);
    if (!table)
        return list;
    std::array<int, kCountedTypes.size()> counters{};
    const auto take = [&](const char* section, const QString& readWrite) {
        for (const image::TableRow& row : sectionRows(*table, section)) {
            const image::RowValues r(row);
            TBACnet_Obj_115 o;
            o.Type_Var = r.textOr("Data_Type", {});
            if (const int i = countedTypeIndex(o.Type_Var); i >= 0)
                o.Instance = QString::number(counters[static_cast<size_t>(i)]++);
            o.Unit_Var = unitText(r.requiredInt("Eng_Unit"));
            o.Read_Write = readWrite;
            o.Name_Var_BACnet = r.textOr("Mnemonic", {}).left(rule.nameLength);
            list.push_back(std::move(o));
        }
    };
    if (rule.readSection)
        take("BACnet_in_Read", kRead);
    if (rule.writeSection)
        take("BACnet_in_Write", kWrite);
    return list;
}

std::vector<TBACnet_Obj_102> Build_MBus_Object_List(const std::vector<TMBus_Nod>& nodes)
{
    std::vector<TBACnet_Obj_102> list;
    int positiveInteger = 0, analogInput = 0, dateTime = 0, characterString = 0;
    const auto instanceOf = [&](MBusObjectKind k) {
        switch (k) {
        case MBusObjectKind::AnalogInput: return analogInput++;
        case MBusObjectKind::PositiveIntegerValue: return positiveInteger++;
        case MBusObjectKind::DateTimeValue: return dateTime++;
        case MBusObjectKind::CharacterStringValue: return characterString++;
        case MBusObjectKind::None: break;
        }
        return 0;
    };
    for (const TMBus_Nod& node : nodes) {
        const QString id = (node.ID_Type == 0 ? QStringLiteral("Primary ID Node - ")
                                              : QStringLiteral("Secondary ID Node - ")) +
                           QString::number(node.ID);
        const auto add = [&](MBusObjectKind k, const QString& name, const QString& unit) {
            list.push_back({id, name.left(16), QString::number(instanceOf(k)), kindText(k), unit, kRead});
        };
        const auto flagKind = [](uint8_t flag) {
            return flag == 1 ? MBusObjectKind::PositiveIntegerValue
                             : flag == 129 ? MBusObjectKind::AnalogInput : MBusObjectKind::None;
        };
        if (const MBusObjectKind k = flagKind(node.Node_State); k != MBusObjectKind::None)
            add(k, QStringLiteral("NS_") + node.Desc, kNoUnits);
        if (const MBusObjectKind k = flagKind(node.Ident_Num); k != MBusObjectKind::None)
            add(k, QStringLiteral("IN_") + node.Desc, kNoUnits);
        for (const TMBus_Var& v : node.Vars)
            if (const MBusObjectKind k = classifyForObjectsMap(node, v); k != MBusObjectKind::None)
                add(k, v.Desc, unitText(v.BACnet_EngUnit));
    }
    const char* commands[] = {"AppReset_SUBCODE", "Address", "Execute_Command", "Reset_Converter"};
    for (int i = 0; i < 4; ++i)
        list.push_back({QString(), QLatin1String(commands[i]), QString::number(i),
                        QStringLiteral("Multi State Value Object"), kNoUnits, kWrite});
    return list;
}

QStringList objectsMapTableLines(const std::vector<TBACnet_Obj_115>& objects)
{
    QStringList lines{QStringLiteral("Var Description; Istance; BACnet Data Type; BACnet Eng. Unit; Read/Write")};
    for (const TBACnet_Obj_115& o : objects)
        lines << platform::csvJoin({o.Name_Var_BACnet, o.Instance, o.Type_Var, o.Unit_Var}, QLatin1Char(';'),
                                   QStringLiteral(" ")) +
                     QLatin1Char(';') + platform::csvField(o.Read_Write) + QLatin1Char(';');
    return lines;
}

QStringList objectsMapMBusLines(const std::vector<TBACnet_Obj_102>& objects)
{
    QStringList lines{
        QStringLiteral("M-Bus ID Node; Var Description; Istance; BACnet Data Type; BACnet Eng. Unit; Read/Write;")};
    for (const TBACnet_Obj_102& o : objects)
        lines << platform::csvJoin({o.ID_Node, o.Name_Var_BACnet, o.Instance, o.Type_Var, o.Unit_Var, o.Read_Write},
                                   QLatin1Char(';'), QStringLiteral(" ")) +
                     QLatin1Char(';');
    return lines;
}

void Write_BACnet_Objects_Map(const QString& fileName)
{
    const int32_t type = ws().Converter_Type;
    QStringList lines;
    if (type == 1 || type == 20 || type == 21) {
        lines = objectsMapMBusLines(Build_MBus_Object_List(Read_MBus_Network()));
    } else if (const std::optional<ObjectTableRule> rule = objectTableRule(type)) {
        lines = objectsMapTableLines(Read_BACnet_Object_Table(*rule));
    } else {
        throw platform::UserError(QStringLiteral("This model has no BACnet objects map."));
    }
    writeExportFile(fileName, lines, platform::LinesEncoding::Cp1252);
}

} // namespace exports
