#include "mbus/MBusNetwork.h"

#include "mbus/ProjectFiles.h"
#include "platform/fs/Files.h"
#include "platform/text/Text.h"
#include "platform/text/UserError.h"
#include "platform/xml/XmlDom.h"

#include <QFileInfo>

namespace mbus {

namespace {

QStringList listOf(std::initializer_list<const char*> items)
{
    QStringList l;
    l.reserve(static_cast<qsizetype>(items.size()));
    for (const char* s : items)
        l << QString::fromUtf8(s);
    return l;
}

const QString kRoot = QStringLiteral("M-Bus_Network");
const QString kNode = QStringLiteral("Nodo");
const QString kVariable = QStringLiteral("Variabile");

QString versionComment(int32_t converterType)
{
    return converterType == 21 ? QStringLiteral("SW_VERSION = 1.005") : QStringLiteral("SW_VERSION = 1.509");
}

// Where in the file a value stands, for messages: "node 2" or "node 2, variable 3".
QString place(int node, int variable = -1)
{
    QString s = QStringLiteral("node %1").arg(node + 1);
    if (variable >= 0)
        s += QStringLiteral(", variable %1").arg(variable + 1);
    return s;
}

// A number of the file: the whole-integer rule; any other text, or none, counts as missing.
std::optional<int32_t> number(const XmlAttributes& a, const QString& name)
{
    const std::optional<QString> v = a.value(name);
    return v ? platform::toInt(*v) : std::nullopt;
}

int32_t numberOr(const XmlAttributes& a, const QString& name, int32_t def) { return number(a, name).value_or(def); }

int32_t requiredNumber(const XmlAttributes& a, const QString& name, const QString& where)
{
    const std::optional<QString> v = a.value(name);
    if (!v)
        throw platform::UserError(QStringLiteral("M_Bus.xml, %1: the attribute %2 is missing.").arg(where, name));
    const std::optional<int32_t> n = platform::toInt(*v);
    if (!n)
        throw platform::UserError(
            QStringLiteral("M_Bus.xml, %1: the attribute %2 is not a whole number (\"%3\").").arg(where, name, *v));
    return *n;
}

QString requiredText(const XmlAttributes& a, const QString& name, const QString& where)
{
    const std::optional<QString> v = a.value(name);
    if (!v)
        throw platform::UserError(QStringLiteral("M_Bus.xml, %1: the attribute %2 is missing.").arg(where, name));
    return *v;
}

// The storage number covers the whole unsigned 32-bit range.
uint32_t unsigned32Or(const XmlAttributes& a, const QString& name, uint32_t def)
{
    const std::optional<QString> v = a.value(name);
    if (!v)
        return def;
    const std::optional<int64_t> n = platform::toInt64(*v);
    if (!n || *n < 0 || *n > 0xFFFFFFFFLL)
        return def;
    return static_cast<uint32_t>(*n);
}

XmlAttributes attributesOf(const platform::XmlNode& e)
{
    XmlAttributes a;
    const int n = e.attributeCount();
    for (int i = 0; i < n; ++i)
        a.add(e.attributeName(i), e.attributeValue(i));
    return a;
}

TVariabile variableFrom(const XmlAttributes& a, const QString& where)
{
    TVariabile v;
    v.Enable = a.value(QStringLiteral("Enable")) == QStringLiteral("1");
    v.Description = requiredText(a, QStringLiteral("Desc"), where);
    v.Type_Of_Data = requiredNumber(a, QStringLiteral("Type"), where);
    v.Function_Field = requiredNumber(a, QStringLiteral("Fun_Field"), where);
    v.Dimension = requiredNumber(a, QStringLiteral("Dim"), where);
    v.Unita = numberOr(a, QStringLiteral("Unit"), 0);
    v.Storage_Number = unsigned32Or(a, QStringLiteral("StoNumber"), 0);
    v.Tariff = numberOr(a, QStringLiteral("Tariff"), 0);
    v.VIFE = static_cast<uint8_t>(numberOr(a, QStringLiteral("VIFE"), 0));
    v.BCDtoINT = a.value(QStringLiteral("BCDtoINT")) == QStringLiteral("1");
    v.VIF_ASCII = a.value(QStringLiteral("VIF_ASCII")).value_or(QString());
    v.Length = numberOr(a, QStringLiteral("Length"), 0);
    v.Position = static_cast<uint8_t>(numberOr(a, QStringLiteral("Position"), 1));
    // Without a unit of its own a variable gets the one proposed for what it measures.
    v.BACnet_EngUnit = static_cast<uint16_t>(
        numberOr(a, QStringLiteral("BACnet_EngUnits"), Found_BACnet_EngUnits(v.Type_Of_Data, v.VIFE)));
    v.BACnet_DataType = static_cast<uint8_t>(numberOr(a, QStringLiteral("BACnet_DataType"), 0));
    v.Post_Operation = static_cast<uint8_t>(numberOr(a, QStringLiteral("Post_Operation"), 0));
    return v;
}

TNodo nodeFrom(const NetworkNodeTexts& t, int index, int32_t converterType)
{
    const XmlAttributes& a = t.attributes;
    const QString where = place(index);
    TNodo n;
    n.Enable = a.value(QStringLiteral("Enable_Node")) != QStringLiteral("0");
    n.Description = requiredText(a, QStringLiteral("Descrizione"), where);
    n.Node_ID_Type = static_cast<uint8_t>(numberOr(a, QStringLiteral("Node_ID_Type"), 0));
    // A node may name only the address that selects it, in `ID`.
    if (const std::optional<int32_t> id = number(a, QStringLiteral("ID"))) {
        n.Node_ID_Primary = n.Node_ID_Type == 0 ? *id : 1;
        n.Node_ID_Secondary = n.Node_ID_Type == 0 ? 1 : *id;
    } else {
        n.Node_ID_Primary = numberOr(a, QStringLiteral("ID_Primary"), 1);
        n.Node_ID_Secondary = numberOr(a, QStringLiteral("ID_Secondary"), 1);
    }
    n.Send_SNK = static_cast<uint8_t>(numberOr(a, QStringLiteral("Send_SND_NKE"), 0));
    n.Reset_App = static_cast<uint8_t>(numberOr(a, QStringLiteral("Reset_App"), 0));
    n.Node_State = static_cast<uint8_t>(numberOr(a, QStringLiteral("Node_State"), 0));
    n.Ident_Num = static_cast<uint8_t>(numberOr(a, QStringLiteral("Ident_Num"), 0));
    n.BCDtoINT_IN = static_cast<uint8_t>(numberOr(a, QStringLiteral("BCDtoINT_IN"), 0));
    n.Swap_Ident = numberOr(a, QStringLiteral("Swap_IN"), 0);
    n.Var_List_Type = static_cast<uint8_t>(numberOr(a, QStringLiteral("Var_List_Type"), 0));
    n.Cut_After = static_cast<uint8_t>(numberOr(a, QStringLiteral("Cut_After"), 0));
    n.NS_VarType = numberOr(a, QStringLiteral("NS_VarType"), 0);
    n.IN_VarType = 0;
    n.MBus_Type = 1;
    if (converterType == 21) {
        n.MBus_Type = static_cast<uint8_t>(numberOr(a, QStringLiteral("MBus_Type"), 1));
        n.wMBus_ManID = a.value(QStringLiteral("wMBus_ManID")).value_or(QString());
        n.wMBus_Add = a.value(QStringLiteral("wMBus_Add")).value_or(QString());
        n.wMBus_Ver = a.value(QStringLiteral("wMBus_Ver")).value_or(QString());
        n.wMBus_DevType = a.value(QStringLiteral("wMBus_DevType")).value_or(QString());
        n.wMBus_En_Key = static_cast<uint8_t>(numberOr(a, QStringLiteral("wMBus_En_Key"), 0));
        for (int k = 0; k < 16; ++k)
            n.wMBus_Key[static_cast<size_t>(k)] =
                a.value(QStringLiteral("wMBus_Key_%1").arg(k + 1)).value_or(QString());
    }
    for (size_t v = 0; v < t.variables.size(); ++v)
        n.Var_List.push_back(variableFrom(t.variables[v], place(index, static_cast<int>(v))));
    return n;
}

QString dec(int64_t v) { return QString::number(v); }
QString flag(bool on) { return on ? QStringLiteral("1") : QStringLiteral("0"); }

} // namespace

const QStringList& typeOfDataTexts()
{
    static const QStringList l = listOf({
        "Energy (Wh)", "Energy (J)", "Volume (m³)", "Mass (Kg)", "On Time", "Operating Time", "Power (W)",
        "Power (J/h)", "Volume Flow (m³/h)", "Volume Flow Ext. (m³/min)", "Volume Flow Ext. (m³/s)",
        "Mass Flow (Kg/h)", "Flow Temperature (°C)", "Return Temperature (°C)", "Temperature Difference (K)",
        "External Temperature (°C)", "Pressure (bar)", "Averaging Duration ", "Actuality Duration",
        "Type of  Data in VIFE", "Time Point", "VIF is in ASCII", "Unit for H.C.A.", "Fabrication No",
        "(Enhanced) Identification", "Bus Address",
    });
    return l;
}

const QStringList& functionFieldTexts()
{
    static const QStringList l =
        listOf({"Instantaneous Value", "Minimun Value", "Maximum Value", "Value During Error State"});
    return l;
}

const QStringList& dimensionTexts()
{
    static const QStringList l = listOf({"8", "16", "32", "64", "24", "48", "32 Real", "Variable Length"});
    return l;
}

const QStringList& bacnetDataTypeTexts()
{
    static const QStringList l = listOf({"Analog Input", "DateTime", "Positive Integer", "String"});
    return l;
}

const QStringList& postOperationTexts()
{
    static const QStringList l = listOf({"None", " : 10", " : 100", " : 1000", " : 10000", " : 100000",
                                         " : 1000000", " * 10", " * 100", " * 1000", " * 10000", " * 100000",
                                         " * 1000000"});
    return l;
}

const QStringList& vifeTexts()
{
    static const QStringList l = listOf({
        "Not Selected",
        "Credit of the nominal local legal currency units",
        "Debit of the nominal local legal currency units",
        "Access Number (transmission count)",
        "Medium (as in fixed header)",
        "Manufacturer (as in fixed header)",
        "Parameter set identification",
        "Model/Version",
        "Hardware Version #",
        "Firmware Version #",
        "Software Version #",
        "Customer Location",
        "Customer",
        "Access Code User",
        "Access Code Operator",
        "Access Code System Operator",
        "Access Code Developer",
        "Password",
        "Error flags (binary)",
        "Error mask",
        "Digital Output (binary)",
        "Digital Input (binary)",
        "Baudrate [Baud]",
        "response delay time [bittimes]",
        "Retry",
        "First storage # for cyclic storage",
        "Last storage # for cyclic storage",
        "Size of storage block",
        "Storage interval [sec(s)..day(s)]",
        "Storage interval month(s)",
        "Storage interval year(s)",
        "Duration since last readout[sec(s)..day(s)]",
        "Start (date/time) of tariff",
        "Duration of tariff (nn=01..11:min to day)",
        "Period of tariff [sec(s) to day(s)]",
        "Period of tariff months(s)",
        "Period of tariff year(s)",
        "dimensionless/ no VIF",
        "Volts ",
        "Ampere",
        "Reset counter",
        "Comulation counter",
        "Control signal",
        "Day of week",
        "Week number",
        "Time point of day change",
        "State of parameter activation",
        "Special supplier information",
        "Duration since last comulation [hour(s)..year(s)]",
        "Operation time battery [hour(s)..year(s)]",
        "Date and time of battery change",
        "Energy MWh",
        "Energy GJ",
        "Volume ",
        "Mass",
        "Volume 0,1 feet^3",
        "Volume 0,1 american gallon",
        "Volume 1 american gallon",
        "Volume flow 0,001 american gallon/min",
        "Volume flow 1 american gallon/min",
        "Volume flow 1 american gallon/h",
        "Power MW",
        "Power GJ/h",
        "Flow Temperature",
        "Return Temperature",
        "Temperature Difference",
        "External Temperature",
        "Cold/Warm Temperature Limit °F",
        "Cold/Worm Temperature Limit °C",
        "Cumul. count max power",
        "per second",
        "per minute",
        "per hour",
        "per day",
        "per week",
        "per month",
        "per year",
        "per revolution/measurement",
        "increment per input pulse on input channel",
        "increment per output pulse on output channel",
        "per liter",
        "per m^3",
        "per kg",
        "per K (Kelvin)",
        "per kWh",
        "per GJ",
        "per kW",
        "per (K*l)(Kelvin*liter) ",
        "per V (Volt)",
        "per A (Ampere)",
        "multiplied by sek",
        "multiplied by sek/V",
        "multiplied by sek/A",
        "start date(/time) of",
        "VIF contains uncorrected unit instead of corrected unit",
        "Accumulation only if positive contributions",
        "Accumulation of abs value only if negative contributions",
        "upper/lower limit value",
        "# of exceeds of lower/upper limit",
        "Date(/time) of begin/end of first/last lower/upper limit exceed",
        "Duration of limit exceed",
        "Duration of first/last",
        "Date(/time) of first/last begin/end",
        "Multiplicative currection factor",
        "Additive correction constant * unit of VIF (offset)",
        "Moltiplicative correction factor: 10^3",
        "future value",
        "next VIFE's and data of this block are manufacturer specific",
        "None",
        "Too many DIFE's",
        "Storage number not implemented",
        "Unit number not implemented",
        "Tariff number not implemented",
        "Function not implemented",
        "Data class not implemented",
        "Data size not implemented",
        "Too many VIFE's",
        "Illegal VIF-Group",
        "Illegal VIF-Exponent",
        "VIF/DIF mismatch",
        "Unimplemented action",
        "No data available (undefined value)",
        "Data overflow",
        "Data underflow",
        "Data error",
        "Premature end of record ",
    });
    return l;
}

const QStringList& swapIdentTexts()
{
    static const QStringList l = listOf({"None", "Type 1"});
    return l;
}

const QStringList& varListTypeTexts()
{
    static const QStringList l = listOf({"By Type", "By Position"});
    return l;
}

const QStringList& nsVarTypeTexts()
{
    static const QStringList l = listOf({"Positive Integer", "Analog Input"});
    return l;
}

const QStringList& mbusTypeTexts()
{
    static const QStringList l = listOf({"wM-Bus", "M-Bus on wires"});
    return l;
}

int32_t Found_BACnet_EngUnits(int32_t typeOfData, int32_t vife)
{
    static const int32_t kByType[26] = {18, 16, 80, 39, 95, 95, 47, 95, 135, 165, 85, 44, 62,
                                        62, 63, 62, 55, 95, 95, 95, 95, 95, 95, 95, 95, 95};
    if (typeOfData < 0 || typeOfData > 25)
        return 95;
    if (typeOfData != 19)
        return kByType[typeOfData];
    switch (vife) {
    case 38: return 5;    // volts
    case 39: return 3;    // amperes
    case 51: return 146;  // megawatt-hours
    case 57: return 83;   // us-gallons
    case 59: return 89;   // us-gallons-per-minute
    case 60: return 192;  // us-gallons-per-hour
    case 61: return 49;   // megawatts
    case 63: case 64: case 65: case 66: case 67:
        return 64;        // degrees-Fahrenheit
    case 68: return 62;   // degrees-Celsius
    case 69: return 47;   // watts
    case 70: return 101;  // per-second
    case 71: return 100;  // per-minute
    default: return 95;   // no-units
    }
}

void XmlAttributes::add(const QString& name, const QString& value)
{
    if (!values_.contains(name))
        values_.insert(name, value);
}

std::optional<QString> XmlAttributes::value(const QString& name) const
{
    const auto it = values_.constFind(name);
    if (it == values_.constEnd())
        return std::nullopt;
    return *it;
}

NetworkTexts parseNetworkTexts(const QByteArray& bytes, const QString& fileName)
{
    platform::XmlDocument doc;
    parseFileBytes(doc, bytes, fileName);
    NetworkTexts texts;
    const platform::XmlNode root = doc.rootElement();
    if (!root)
        return texts;
    const int nodes = root.elementCount();
    texts.reserve(static_cast<size_t>(nodes));
    for (int i = 0; i < nodes; ++i) {
        const platform::XmlNode e = root.elementAt(i);
        NetworkNodeTexts node;
        node.attributes = attributesOf(e);
        const int vars = e.elementCount();
        for (int v = 0; v < vars; ++v)
            node.variables.push_back(attributesOf(e.elementAt(v)));
        texts.push_back(std::move(node));
    }
    return texts;
}

std::optional<NetworkTexts> readNetworkTexts(const QString& path)
{
    if (!platform::fileExists(path))
        return std::nullopt;
    return parseNetworkTexts(readFileBytes(path), QFileInfo(path).fileName());
}

MBusNetwork networkFromTexts(const NetworkTexts& texts, int32_t converterType)
{
    MBusNetwork net;
    net.reserve(texts.size());
    for (size_t i = 0; i < texts.size(); ++i)
        net.push_back(nodeFrom(texts[i], static_cast<int>(i), converterType));
    return net;
}

MBusNetwork Read_MBus_Network(const QString& path, int32_t converterType)
{
    const std::optional<NetworkTexts> texts = readNetworkTexts(path);
    return texts ? networkFromTexts(*texts, converterType) : MBusNetwork{};
}

QByteArray networkXml(const MBusNetwork& network, int32_t converterType)
{
    platform::XmlDocument doc;
    platform::XmlNode root = doc.appendElement(kRoot);
    doc.appendComment(versionComment(converterType));
    const bool wireless = converterType == 21;
    for (const TNodo& n : network) {
        platform::XmlNode e = root.appendElement(kNode);
        e.setAttribute(QStringLiteral("Enable_Node"), flag(n.Enable));
        e.setAttribute(QStringLiteral("ID_Primary"), dec(n.Node_ID_Primary));
        e.setAttribute(QStringLiteral("ID_Secondary"), dec(n.Node_ID_Secondary));
        e.setAttribute(QStringLiteral("Descrizione"), n.Description);
        e.setAttribute(QStringLiteral("Send_SND_NKE"), dec(n.Send_SNK));
        e.setAttribute(QStringLiteral("Reset_App"), dec(n.Reset_App));
        e.setAttribute(QStringLiteral("Node_State"), dec(n.Node_State));
        e.setAttribute(QStringLiteral("Ident_Num"), dec(n.Ident_Num));
        e.setAttribute(QStringLiteral("BCDtoINT_IN"), dec(n.BCDtoINT_IN));
        e.setAttribute(QStringLiteral("Swap_IN"), dec(n.Swap_Ident));
        e.setAttribute(QStringLiteral("Node_ID_Type"), dec(n.Node_ID_Type));
        e.setAttribute(QStringLiteral("Var_List_Type"), dec(n.Var_List_Type));
        e.setAttribute(QStringLiteral("Cut_After"), dec(n.Cut_After));
        e.setAttribute(QStringLiteral("NS_VarType"), dec(n.NS_VarType));
        e.setAttribute(QStringLiteral("IN_VarType"), QStringLiteral("0"));
        if (wireless) {
            e.setAttribute(QStringLiteral("MBus_Type"), dec(n.MBus_Type));
            e.setAttribute(QStringLiteral("wMBus_ManID"), n.wMBus_ManID);
            e.setAttribute(QStringLiteral("wMBus_Add"), n.wMBus_Add);
            e.setAttribute(QStringLiteral("wMBus_Ver"), n.wMBus_Ver);
            e.setAttribute(QStringLiteral("wMBus_DevType"), n.wMBus_DevType);
            e.setAttribute(QStringLiteral("wMBus_En_Key"), dec(n.wMBus_En_Key));
            for (int k = 0; k < 16; ++k)
                e.setAttribute(QStringLiteral("wMBus_Key_%1").arg(k + 1), n.wMBus_Key[static_cast<size_t>(k)]);
        }
        for (const TVariabile& v : n.Var_List) {
            platform::XmlNode x = e.appendElement(kVariable);
            x.setAttribute(QStringLiteral("Enable"), flag(v.Enable));
            x.setAttribute(QStringLiteral("Desc"), v.Description);
            x.setAttribute(QStringLiteral("Type"), dec(v.Type_Of_Data));
            x.setAttribute(QStringLiteral("Fun_Field"), dec(v.Function_Field));
            x.setAttribute(QStringLiteral("Dim"), dec(v.Dimension));
            x.setAttribute(QStringLiteral("Unit"), dec(v.Unita));
            x.setAttribute(QStringLiteral("StoNumber"), dec(v.Storage_Number));
            x.setAttribute(QStringLiteral("Tariff"), dec(v.Tariff));
            x.setAttribute(QStringLiteral("VIFE"), dec(v.VIFE));
            x.setAttribute(QStringLiteral("BCDtoINT"), flag(v.BCDtoINT));
            x.setAttribute(QStringLiteral("VIF_ASCII"), v.VIF_ASCII);
            x.setAttribute(QStringLiteral("Length"), dec(v.Length));
            x.setAttribute(QStringLiteral("Position"), dec(v.Position));
            x.setAttribute(QStringLiteral("BACnet_EngUnits"), dec(v.BACnet_EngUnit));
            x.setAttribute(QStringLiteral("BACnet_DataType"), dec(v.BACnet_DataType));
            x.setAttribute(QStringLiteral("Post_Operation"), dec(v.Post_Operation));
        }
    }
    return savedBytes(doc);
}

void Write_MBus_Network(const QString& path, const MBusNetwork& network, int32_t converterType)
{
    writeFileBytes(path, networkXml(network, converterType));
}

} // namespace mbus
