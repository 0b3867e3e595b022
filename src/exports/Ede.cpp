#include "exports/Ede.h"

#include <map>

#include "exports/ExportFile.h"
#include "exports/MBusNetwork.h"
#include "parameters/ParGenFile.h"
#include "platform/process/Clock.h"
#include "platform/text/Text.h"
#include "platform/text/UserError.h"
#include "workspace/Workspace.h"

namespace exports {

namespace {

using workspace::ws;

struct TypeName {
    const char* text;
    int type;
};
constexpr TypeName kEdeTypes[] = {
    {"ANALOG INPUT", 0},        {"ANALOG OUT", 1},          {"ANALOG VALUE", 2},       {"BINARY INPUT", 3},
    {"BINARY OUT", 4},          {"BINARY VALUE", 5},        {"MULTI STATE INPUT", 13}, {"MULTI STATE OUTPUT", 14},
    {"MULTI STATE VALUE", 19},  {"LIFE SAFETY POINT", 21},  {"LIFE SAFETY ZONE", 22},  {"ACCUMULATOR", 23},
    {"ACCESS DOOR", 30},        {"CHARACTERSTRING VALUE", 40}, {"DATETIME VALUE", 44},  {"INTEGER VALUE", 45},
    {"LARGE ANALOG VALUE", 46}, {"OCTET STRING", 47},       {"POSITIVE INTEGER VALUE", 48},
};

constexpr int kNoUnits = 95;
constexpr int kMultiStateValue = 14;

int typeNumber(MBusObjectKind k)
{
    switch (k) {
    case MBusObjectKind::AnalogInput: return 0;
    case MBusObjectKind::DateTimeValue: return 44;
    case MBusObjectKind::PositiveIntegerValue: return 48;
    case MBusObjectKind::CharacterStringValue: return 40;
    case MBusObjectKind::None: break;
    }
    return -1;
}

QString twoDigits(int v) { return QStringLiteral("%1").arg(v, 2, 10, QLatin1Char('0')); }

TBACnet_EDE_Obj object(const EdeDevice& d, const QString& keyMiddle, const QString& name, int type, int instance,
                       const QString& unit)
{
    const QString inst = QString::number(instance);
    return {d.instance + QLatin1Char('_') + keyMiddle + name + QLatin1Char('_') + inst,
            d.instance,
            name,
            QString::number(type),
            inst,
            name,
            unit};
}

} // namespace

QString edeModelCode(int32_t deviceType)
{
    switch (deviceType) {
    case 0: return QStringLiteral("GX30113");
    case 1: return QStringLiteral("GX30102");
    case 2: return QStringLiteral("GX30114");
    case 3: return QStringLiteral("GX30115");
    case 4: return QStringLiteral("GX30116");
    case 6: return QStringLiteral("GX30117");
    case 7: return QStringLiteral("GX30118");
    case 8: return QStringLiteral("GX30119");
    case 9: return QStringLiteral("GX30120");
    case 10: return QStringLiteral("GX30121");
    case 11: return QStringLiteral("GX30122");
    case 12: return QStringLiteral("GX30123");
    case 13: return QStringLiteral("GX30124");
    case 14: return QStringLiteral("GX30125");
    case 15: return QStringLiteral("GX30126");
    case 16: return QStringLiteral("GX30132");
    case 17: return QStringLiteral("GX30127");
    case 18: return QStringLiteral("GX30112");
    case 19: return QStringLiteral("GX30107");
    case 20: return QStringLiteral("GX30133");
    case 21: return QStringLiteral("GX30104");
    default: return {};
    }
}

QStringList edeHeaderLines(int32_t deviceType, const QString& projectName, const QDateTime& now)
{
    const QDate d = now.date();
    const QTime t = now.time();
    const QString stamp = twoDigits(t.hour()) + QLatin1Char(':') + twoDigits(t.minute()) + QLatin1Char(':') +
                          twoDigits(t.second()) + QLatin1Char(' ') + twoDigits(d.day()) + QLatin1Char('/') +
                          twoDigits(d.month()) + QLatin1Char('/') + QString::number(d.year());
    // The project name is the user's text: quoted like an object line's field when it holds the
    // separator or a quote, so that it stays one field.
    const QString title = QStringLiteral("OstrelCorp-") + edeModelCode(deviceType) + QLatin1Char('-') + projectName;
    return {
        platform::csvJoin({QStringLiteral("PROJECT_NAME"), title}, QLatin1Char(';'), QStringLiteral(" ")) +
            QStringLiteral(";;;;;;"),
        QStringLiteral("VERSION_OF_REFERENCEFILE;1.0;;;;;;"),
        QStringLiteral("TIMESTAMP_OF_LAST_CHANGE;") + stamp + QStringLiteral(";;;;;;"),
        QStringLiteral("AUTHOR_OF_LAST_CHANGE;OstrelCorp;;;;;;"),
        QStringLiteral("VERSION_OF_LAYOUT;2;;;;;;"),
        QStringLiteral("# mandatory;mandatory;mandatory;mandatory;mandatory;optional;optional;"),
        QStringLiteral("# keyname;device obj.-instance;object-name;object-type;object-instance;description;unit-code;"),
    };
}

EdeDevice edeDevice(std::initializer_list<int> serialTypes)
{
    EdeDevice d;
    parameters::ParGenFile parGen;
    if (!loadParGen(parGen))
        return d;
    checkDeviceInstance(parGen);
    const int32_t bacnetType = parGen.keyInt(QStringLiteral("BACnet_Type"), 0);
    bool serial = false;
    for (int t : serialTypes)
        serial = serial || t == bacnetType;
    d.instance = parGen.keyTextOr(serial ? QStringLiteral("BACnet_Ser_DEV_IDE") : QStringLiteral("BACnet_DEV_IDE"), {});
    d.numericInstance = platform::toIntDef(d.instance, 1);
    if (parGen.keyFlag(QStringLiteral("BACnet_Desc_Chars_Limit")))
        d.nameLength = 32;
    return d;
}

std::vector<TBACnet_EDE_Obj> edeMBusObjects(const EdeDevice& device, const std::vector<TMBus_Nod>& nodes)
{
    std::vector<TBACnet_EDE_Obj> list;
    std::map<int, int> counters; // by object type number
    const int len = device.nameLength;
    for (const uint8_t pass : {uint8_t(1), uint8_t(0)}) {
        for (const TMBus_Nod& node : nodes) {
            if (node.MBus_Type != pass)
                continue;
            const QString id = pass == 1 ? (node.ID_Type == 0 ? QStringLiteral("P-") : QStringLiteral("S-")) +
                                               QString::number(node.ID)
                                         : QStringLiteral("W-") + platform::intToHex(node.wMBus_Add, 8);
            const QString keyMiddle = id + QLatin1Char('_');
            const auto add = [&](int type, const QString& name, int unit) {
                list.push_back(object(device, keyMiddle, name, type, counters[type]++, QString::number(unit)));
            };
            if (node.Node_State != 0)
                add(node.Node_State >= 128 ? 0 : 48, (QStringLiteral("NS_") + node.Desc).left(len), kNoUnits);
            if (node.Ident_Num == 1)
                add(48, (QStringLiteral("IN_") + node.Desc).left(len), kNoUnits);
            for (const TMBus_Var& v : node.Vars)
                if (const int type = typeNumber(classifyForEde(node, v)); type >= 0)
                    add(type, v.Desc.left(len), v.BACnet_EngUnit);
        }
    }
    const QString n = QString::number(device.numericInstance);
    const QStringList names =
        len == 32 ? QStringList{QStringLiteral("Device%1_AppReset_SUBCODE").arg(n), QStringLiteral("Device%1_Address").arg(n),
                                QStringLiteral("Device%1_Execute_Command").arg(n),
                                QStringLiteral("Device%1_Reset_Converter").arg(n)}
                  : QStringList{QStringLiteral("Dev%1_ApReS").arg(n), QStringLiteral("Dev%1_Addr").arg(n),
                                QStringLiteral("Dev%1_ExCom").arg(n), QStringLiteral("Dev%1_ResCo").arg(n)};
    for (int i = 0; i < 4; ++i)
        list.push_back(object(device, {}, names[i], kMultiStateValue, i, QString::number(kNoUnits)));
    return list;
}

int edeObjectType(const QString& dataType)
{
    const QString key = platform::upperAscii(platform::trim(dataType));
    for (const TypeName& t : kEdeTypes)
        if (key == QLatin1String(t.text))
            return t.type;
    return 0;
}

std::vector<TBACnet_EDE_Obj> edeTableObjects(const EdeDevice& device, const QString& tablePath)
{
    std::vector<TBACnet_EDE_Obj> list;
    const std::unique_ptr<image::TableFile> table = openProjectTable(tablePath);
    if (!table)
        return list;
    std::map<int, int> counters;
    for (const char* section : {"BACnet_in_Read", "BACnet_in_Write"}) {
        for (const image::TableRow& row : sectionRows(*table, section)) {
            const image::RowValues r(row);
            const int type = edeObjectType(r.textOr("Data_Type", {}));
            const int instance = counters[type]++;
            const QString mnemonic = r.textOr("Mnemonic", {});
            const QString name = mnemonic.left(device.nameLength);
            const QString inst = QString::number(instance);
            list.push_back({device.instance + QLatin1Char('_') + mnemonic + QLatin1Char('_') + inst, device.instance,
                            name, QString::number(type), inst, name,
                            r.textOr("Eng_Unit", {})});
        }
    }
    return list;
}

QStringList edeObjectLines(const std::vector<TBACnet_EDE_Obj>& objects)
{
    QStringList lines;
    for (const TBACnet_EDE_Obj& o : objects)
        lines << platform::csvJoin({o.Keyname, o.DevObjInstance, o.ObjectName, o.ObjectType, o.ObjectInstance,
                                    o.Description, o.UnitCode}) +
                     QLatin1Char(';');
    return lines;
}

void Write_BACnet_EDE_File(const QString& fileName)
{
    const workspace::Workspace& w = ws();
    const int32_t type = w.Converter_Type;
    std::vector<TBACnet_EDE_Obj> objects;
    if (type == 1 || type == 21)
        objects = edeMBusObjects(edeDevice({1, 2}), Read_MBus_Network());
    else if (type == 1001)
        objects = edeDeviceListObjects();
    else
        objects = edeTableObjects(edeDevice({1}), w.Path_BACnet_SetAccess_ModSlave);
    QStringList lines = edeHeaderLines(type, w.Project_Name, platform::clock().now());
    lines += edeObjectLines(objects);
    writeExportFile(fileName, lines, platform::LinesEncoding::Cp1252);
}

} // namespace exports
