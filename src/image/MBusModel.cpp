#include "image/MBusModel.h"

#include "platform/text/Text.h"
#include "platform/text/UserError.h"
#include "workspace/Workspace.h"

namespace image {

namespace {

using mbus::XmlAttributes;

int64_t number64Or(const XmlAttributes& a, const QString& name, int64_t def)
{
    const std::optional<QString> v = a.value(name);
    if (!v)
        return def;
    return platform::toInt64(*v).value_or(def);
}

int32_t numberOr(const XmlAttributes& a, const QString& name, int32_t def)
{
    const std::optional<QString> v = a.value(name);
    if (!v)
        return def;
    return platform::toInt(*v).value_or(def);
}

uint8_t u8(const XmlAttributes& a, const char* name, int32_t def = 0)
{
    return static_cast<uint8_t>(numberOr(a, QLatin1String(name), def));
}

// The node attributes every M-Bus image reads alike.
void readNodeCommon(const XmlAttributes& a, NetworkReading reading, TMBus_Nodo& n)
{
    n.Node_State = u8(a, "Node_State");
    n.Ident_Num = u8(a, "Ident_Num");
    n.BCDtoINT_IN = u8(a, "BCDtoINT_IN");
    n.Swap_IN = u8(a, "Swap_IN");
    n.Var_Type = u8(a, "Var_List_Type");
    // A node state published as an Analog Input object is marked in the high bit.
    if (reading != NetworkReading::Mstp && n.Node_State == 1 && numberOr(a, QStringLiteral("NS_VarType"), 0) == 1)
        n.Node_State = 129;
    n.Desc = a.value(QStringLiteral("Descrizione")).value_or(QString());
}

TMBus_Nodo wiredNode(const XmlAttributes& a, NetworkReading reading)
{
    TMBus_Nodo n;
    n.ID_Type = u8(a, "Node_ID_Type");
    n.ID = static_cast<uint32_t>(number64Or(a, n.ID_Type != 0 ? QStringLiteral("ID_Secondary") : QStringLiteral("ID_Primary"), 0));
    n.SND_NKE = u8(a, "Send_SND_NKE");
    n.Reset_App = u8(a, "Reset_App");
    // The gateway counts the answer frames from 1; without a value it reads 250 of them.
    const std::optional<QString> cut = a.value(QStringLiteral("Cut_After"));
    const std::optional<int32_t> cutNumber = cut ? platform::toInt(*cut) : std::nullopt;
    n.Cut_After = cutNumber ? static_cast<uint8_t>(*cutNumber + 1) : 250;
    readNodeCommon(a, reading, n);
    return n;
}

TMBus_Nodo wirelessNode(const XmlAttributes& a, WMBusMeter& m)
{
    m.ManID = static_cast<uint16_t>(number64Or(a, QStringLiteral("wMBus_ManID"), 0));
    m.Add = static_cast<uint32_t>(number64Or(a, QStringLiteral("wMBus_Add"), 0));
    m.Ver = static_cast<uint8_t>(number64Or(a, QStringLiteral("wMBus_Ver"), 0));
    m.DevType = static_cast<uint8_t>(number64Or(a, QStringLiteral("wMBus_DevType"), 0));
    m.En_Key = static_cast<uint8_t>(number64Or(a, QStringLiteral("wMBus_En_Key"), 0));
    if (m.En_Key == 1)
        for (int k = 0; k < 16; ++k)
            m.Key[static_cast<size_t>(k)] =
                static_cast<uint8_t>(number64Or(a, QStringLiteral("wMBus_Key_%1").arg(k + 1), 0));
    TMBus_Nodo n;
    n.ID = m.Add;
    readNodeCommon(a, NetworkReading::Bank, n);
    return n;
}

TMBus_Variabile variable(const XmlAttributes& a)
{
    TMBus_Variabile v;
    v.Type_Of_Data = u8(a, "Type");
    // The editor lists minimum before maximum; the frames code maximum as 1, minimum as 2.
    v.Function_Field = u8(a, "Fun_Field");
    if (v.Function_Field == 1)
        v.Function_Field = 2;
    else if (v.Function_Field == 2)
        v.Function_Field = 1;
    v.Dimension = u8(a, "Dim");
    v.Unita = u8(a, "Unit");
    v.Storage_Num = static_cast<uint32_t>(number64Or(a, QStringLiteral("StoNumber"), 0));
    v.Tarif = static_cast<uint32_t>(number64Or(a, QStringLiteral("Tariff"), 0));
    v.VIFE = u8(a, "VIFE");
    v.BCDtoINT = u8(a, "BCDtoINT");
    v.VIF_ASCII = a.value(QStringLiteral("VIF_ASCII")).value_or(QString());
    if (v.Type_Of_Data == 21) {
        v.Len_VIF_ASCII = static_cast<uint8_t>(v.VIF_ASCII.size());
    } else {
        v.Len_VIF_ASCII = 0;
        v.VIF_ASCII.clear();
    }
    v.Length = u8(a, "Length");
    v.Position = u8(a, "Position", 1);
    if (v.Dimension != 7)
        v.Length = 0;
    v.BACnet_EngUnit = static_cast<uint16_t>(numberOr(a, QStringLiteral("BACnet_EngUnits"), 95));
    v.BACnet_DataType = static_cast<uint16_t>(numberOr(a, QStringLiteral("BACnet_DataType"), 0));
    v.Post_Ope = u8(a, "Post_Operation");
    v.Desc = a.value(QStringLiteral("Desc")).value_or(QString());
    return v;
}

// The data addresses of one list, continuing from `d`.
void dataAddresses(std::vector<TMBus_Nodo>& nodes, std::vector<TMBus_Add_Nodo>& adds, NetworkReading reading,
                   uint32_t& d)
{
    const int lastSizedVife = reading == NetworkReading::Bank ? 146 : 125;
    // The MS/TP image counts a node state or identification of exactly 1; the others any value
    // but 0 (one that gives no object still keeps its place).
    auto published = [reading](uint8_t v) { return reading == NetworkReading::Mstp ? v == 1 : v != 0; };
    adds.clear();
    for (TMBus_Nodo& n : nodes) {
        TMBus_Add_Nodo a;
        a.Add_NS = d;
        if (published(n.Node_State))
            d += 4;
        a.Add_IN = d;
        if (published(n.Ident_Num))
            d += 4;
        a.Add_Start_Var = d;
        for (TMBus_Variabile& v : n.Vars) {
            v.Data_Address = d;
            d += dataSize(n, v, lastSizedVife);
        }
        adds.push_back(a);
    }
}

} // namespace

void readMBusModel(const mbus::NetworkTexts& texts, NetworkReading reading, bool wiredAllowed, MBusNetworkModel& model)
{
    model = MBusNetworkModel{};
    for (const mbus::NetworkNodeTexts& e : texts) {
        if (numberOr(e.attributes, QStringLiteral("Enable_Node"), 1) != 1)
            continue;
        const bool wired =
            reading != NetworkReading::Bank || numberOr(e.attributes, QStringLiteral("MBus_Type"), 1) == 1;
        if (wired && !wiredAllowed)
            continue;
        // The node joins its list with its first taken variable.
        std::optional<TMBus_Nodo> node;
        WMBusMeter meter;
        for (const XmlAttributes& va : e.variables) {
            if (va.value(QStringLiteral("Enable")) != QStringLiteral("1"))
                continue;
            if (!node)
                node = wired ? wiredNode(e.attributes, reading) : wirelessNode(e.attributes, meter);
            node->Vars.push_back(variable(va));
        }
        if (!node)
            continue;
        if (wired) {
            model.wired.push_back(std::move(*node));
        } else {
            model.wireless.push_back(std::move(*node));
            model.meters.push_back(meter);
        }
    }
    uint32_t d = 0;
    dataAddresses(model.wired, model.wiredAdd, reading, d);
    dataAddresses(model.wireless, model.wirelessAdd, reading, d);
}

void Load_MBus_Model(NetworkReading reading, bool wiredAllowed, MBusNetworkModel& model)
{
    const std::optional<mbus::NetworkTexts> texts = mbus::readNetworkTexts(workspace::ws().Path_M_Bus);
    readMBusModel(texts ? *texts : mbus::NetworkTexts{}, reading, wiredAllowed, model);
}

uint32_t dataSize(const TMBus_Nodo& node, const TMBus_Variabile& v, int lastSizedVife)
{
    if (v.Dimension == 7)
        return v.Length;
    if (node.Var_Type != 0) {
        switch (v.BACnet_DataType) {
        case 0: return 4;
        case 1: return 8;
        case 2: return 4;
        default: return 0;
        }
    }
    const int t = v.Type_Of_Data;
    if (t <= 18)
        return 4;
    if (t == 19) {
        const int e = v.VIFE;
        if (e == 0)
            return 0;
        if (e == 50)
            return 8;
        return e <= lastSizedVife ? 4 : 0;
    }
    if (t == 20)
        return 8;
    if (t <= 25)
        return 4;
    return 0;
}

uint8_t dimensionCode(uint8_t dimension)
{
    static const uint8_t kCodes[8] = {1, 2, 4, 7, 3, 6, 5, 13};
    return dimension < 8 ? kCodes[dimension] : 2;
}

int64_t nodeTablesSize(const std::vector<TMBus_Nodo>& nodes)
{
    int64_t size = 0;
    for (const TMBus_Nodo& n : nodes) {
        size += kNodeRecordSize;
        for (const TMBus_Variabile& v : n.Vars)
            size += kVariableRecordSize + v.Len_VIF_ASCII;
    }
    return size;
}

void assignRecordAddresses(std::vector<TMBus_Nodo>& nodes, uint32_t nodeTable)
{
    size_t vars = 0;
    for (const TMBus_Nodo& n : nodes)
        vars += n.Vars.size();
    const uint32_t varTable = nodeTable + static_cast<uint32_t>(kNodeRecordSize * nodes.size());
    uint32_t nextVar = varTable;
    uint32_t nextText = varTable + static_cast<uint32_t>(kVariableRecordSize * vars);
    for (TMBus_Nodo& n : nodes) {
        n.Add = nextVar;
        nextVar += static_cast<uint32_t>(kVariableRecordSize * n.Vars.size());
        for (TMBus_Variabile& v : n.Vars) {
            v.Address_VIF_ASCII = nextText;
            nextText += v.Len_VIF_ASCII;
        }
    }
}

void writeNodeTables(BankWriter& w, const std::vector<TMBus_Nodo>& nodes, const std::vector<TMBus_Add_Nodo>& adds)
{
    for (size_t i = 0; i < nodes.size(); ++i) {
        const TMBus_Nodo& n = nodes[i];
        const TMBus_Add_Nodo& a = adds[i];
        w.u8(n.ID_Type);
        w.u8(n.ID >> 24).u8(n.ID >> 16).u8(n.ID >> 8).u8(n.ID); // the one big-endian field
        w.u16(static_cast<uint32_t>(n.Vars.size())).u32(n.Add).u8(n.SND_NKE).u8(n.Reset_App);
        w.u8(n.Node_State).u16(a.Add_NS).u8(n.Ident_Num).u16(a.Add_IN);
        w.u8(n.BCDtoINT_IN).u8(n.Swap_IN).u8(n.Var_Type).u8(n.Cut_After);
    }
    for (const TMBus_Nodo& n : nodes)
        for (const TMBus_Variabile& v : n.Vars) {
            w.u8(v.Type_Of_Data).u8(v.Function_Field).u8(dimensionCode(v.Dimension)).u16(v.Data_Address);
            w.u8(v.Unita).u32(v.Storage_Num).u32(v.Tarif).u8(v.VIFE).u8(v.BCDtoINT).u8(v.Length);
            w.u8(v.Len_VIF_ASCII).u32(v.Address_VIF_ASCII).u8(v.Position).u8(v.Post_Ope);
        }
    // The gateway reads each unit text from its end.
    for (const TMBus_Nodo& n : nodes)
        for (const TMBus_Variabile& v : n.Vars)
            for (int k = v.Len_VIF_ASCII - 1; k >= 0; --k)
                w.u8(k < v.VIF_ASCII.size() ? v.VIF_ASCII[k].unicode() & 0xFF : 0);
}

MeterParams readMeterParams(const ParGenKeys& keys)
{
    auto required = [&keys](const char* name) {
        const QString key = QLatin1String(name);
        const std::optional<QString> text = keys.keyText(key);
        const std::optional<int32_t> v = text ? platform::toInt(*text) : std::nullopt;
        if (!v)
            throw platform::UserError(
                text ? QStringLiteral("ParGen.xml: the M-Bus setting %1 is not a whole number (\"%2\").").arg(key, *text)
                     : QStringLiteral("ParGen.xml: the M-Bus setting %1 is missing.").arg(key));
        return *v;
    };
    MeterParams m;
    m.baud = static_cast<uint8_t>(required("Meter_Baud"));
    m.parity = static_cast<uint8_t>(required("Meter_Par"));
    m.delay = static_cast<uint16_t>(required("Meter_Req_Delay"));
    m.nsErrorCode = static_cast<uint8_t>(keys.keyInt(QStringLiteral("Meter_NS_Error_Code"), 255));
    return m;
}

void writeMeterParams(BankWriter& w, const MeterParams& m, size_t nodes)
{
    w.u8(m.baud).u8(m.parity).u16(m.delay).u8(m.nsErrorCode).u8(static_cast<uint32_t>(nodes));
}

} // namespace image
