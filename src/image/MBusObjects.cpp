#include "image/MBusObjects.h"

#include "platform/text/UserError.h"

#include <algorithm>

namespace image {

namespace {

enum class Kind { None, AnalogInput, DateTime, PositiveInteger, String };

bool in(int v, int lo, int hi) { return v >= lo && v <= hi; }

// The kind of object a variable gives. A node read by position says it with its BACnet data
// type; a node read by type with the type of data and, for type 19, the VIFE code.
Kind kindOf(const TMBus_Nodo& n, const TMBus_Variabile& v, bool bank)
{
    if (v.Dimension == 7)
        return Kind::String;
    if (n.Var_Type != 0) {
        switch (v.BACnet_DataType) {
        case 0: return Kind::AnalogInput;
        case 1: return Kind::DateTime;
        case 2: return Kind::PositiveInteger;
        default: return Kind::None;
        }
    }
    const int t = v.Type_Of_Data;
    if (t <= 18)
        return Kind::AnalogInput;
    if (t == 19) {
        const int e = v.VIFE;
        if (e == 38 || e == 39 || in(e, 51, 69) || (bank && (e == 131 || in(e, 137, 146))))
            return Kind::AnalogInput;
        if (e == 50)
            return Kind::DateTime;
        if (in(e, 1, 37) || in(e, 40, 49) || in(e, 70, 125) || (bank && (in(e, 126, 130) || in(e, 132, 136))))
            return Kind::PositiveInteger;
        return Kind::None;
    }
    if (t == 20)
        return Kind::DateTime;
    if (t <= 25)
        return Kind::PositiveInteger;
    return Kind::None;
}

struct Planned {
    uint32_t position;
    uint16_t unit;
    uint8_t size;
    uint8_t flags;
    QString name;
};

struct NodeList {
    const std::vector<TMBus_Nodo>* nodes;
    const std::vector<TMBus_Add_Nodo>* adds;
};

std::vector<NodeList> listsOf(const MBusNetworkModel& m, bool bank)
{
    std::vector<NodeList> lists{{&m.wired, &m.wiredAdd}};
    if (bank)
        lists.push_back({&m.wireless, &m.wirelessAdd});
    return lists;
}

// Every object of the four passes, in table order, and the counts per kind.
std::vector<Planned> plan(const MBusNetworkModel& m, bool bank, MBusObjectCounts& counts)
{
    std::vector<Planned> out;
    const std::vector<NodeList> lists = listsOf(m, bank);
    auto pass = [&](Kind kind, uint32_t& count, uint8_t nodeValue) {
        for (const NodeList& l : lists)
            for (size_t i = 0; i < l.nodes->size(); ++i) {
                const TMBus_Nodo& n = (*l.nodes)[i];
                const TMBus_Add_Nodo& a = (*l.adds)[i];
                if (nodeValue != 0 && n.Node_State == nodeValue) {
                    out.push_back({a.Add_NS, 95, 4, 0, QStringLiteral("NS_") + n.Desc});
                    ++count;
                }
                if (nodeValue != 0 && n.Ident_Num == nodeValue) {
                    out.push_back({a.Add_IN, 95, 4, 0, QStringLiteral("IN_") + n.Desc});
                    ++count;
                }
                for (const TMBus_Variabile& v : n.Vars) {
                    if (kindOf(n, v, bank) != kind)
                        continue;
                    const uint8_t size = kind == Kind::String ? v.Length : kind == Kind::DateTime ? 8 : 4;
                    out.push_back({v.Data_Address, v.BACnet_EngUnit, size, 0, v.Desc});
                    ++count;
                }
            }
    };
    pass(Kind::AnalogInput, counts.analogInput, 129);
    pass(Kind::DateTime, counts.dateTime, 0);
    pass(Kind::PositiveInteger, counts.positiveInteger, 1);
    pass(Kind::String, counts.string, 0);
    return out;
}

} // namespace

uint32_t Count_MBus_Objects(const MBusNetworkModel& model, bool bank, uint8_t descCharsLimitFlag)
{
    MBusObjectCounts counts;
    plan(model, bank, counts);
    return std::min<uint32_t>(counts.variables(), descCharsLimitFlag ? 1024 : 2048);
}

MBusObjectCounts Make_MBus_Objects(BacnetObjectTable& t, const MBusNetworkModel& model, const MBusObjectRules& rules,
                                   int maxEntries)
{
    MBusObjectCounts counts;
    std::vector<Planned> objects = plan(model, rules.bank, counts);
    static const char* const kPlain[4] = {"AppReset_SUBCODE", "Address", "Execute_Command", "Reset_Converter"};
    static const char* const kShort[4] = {"_ApReS", "_Addr", "_ExCom", "_ResCo"};
    static const char* const kLong[4] = {"_AppReset_SUBCODE", "_Address", "_Execute_Command", "_Reset_Converter"};
    const QString n = QString::number(rules.deviceInstance);
    for (int k = 0; k < 4; ++k) {
        QString name = QLatin1String(kPlain[k]);
        if (rules.bank)
            name = rules.descCharsLimitFlag ? QStringLiteral("Device") + n + QLatin1String(kLong[k])
                                            : QStringLiteral("Dev") + n + QLatin1String(kShort[k]);
        objects.push_back({0, 95, 4, 1, name});
    }
    counts.command = 4;

    const int limit = objectNameLimit(rules.descCharsLimitFlag);
    int64_t poolBytes = 1;
    for (Planned& o : objects) {
        o.name.truncate(limit);
        if (!o.name.isEmpty())
            poolBytes += o.name.size() + 1;
    }
    if (static_cast<int64_t>(objects.size()) > maxEntries)
        throw platform::UserError(
            QStringLiteral("The M-Bus network makes %1 BACnet objects; the BACnet object table of the image has room "
                           "for %2.")
                .arg(objects.size())
                .arg(maxEntries));
    if (poolBytes > kMnemonicPoolSize)
        throw platform::UserError(
            QStringLiteral("The object names of the M-Bus network take %1 bytes; the name pool of the image has room "
                           "for %2.")
                .arg(poolBytes)
                .arg(kMnemonicPoolSize));

    Clear_BACnet_Objects(t);
    for (const Planned& o : objects) {
        BacnetObjectEntry& e = t.entries[static_cast<size_t>(t.count++)];
        e.Position = o.position;
        e.Eng_Unit = o.unit;
        e.Length = o.size;
        e.Flags = o.flags;
        if (o.name.isEmpty()) {
            e.Mnemonic_Address = rules.poolBase;
            continue;
        }
        e.Mnemonic_Address = rules.poolBase + static_cast<uint32_t>(t.poolNext);
        for (QChar c : o.name)
            t.pool[static_cast<size_t>(t.poolNext++)] = static_cast<uint8_t>(c.unicode() & 0xFF);
        t.pool[static_cast<size_t>(t.poolNext++)] = 0;
    }
    return counts;
}

uint32_t fullAreaPoolBase(uint8_t flag) { return flag ? 0x64000 : 0x68000; }

uint32_t compactAreaPoolBase(int32_t a, uint32_t objectCount)
{
    return static_cast<uint32_t>(a) + 0x124000 + 16 * objectCount;
}

uint32_t bankAreaPoolBase(uint8_t flag) { return 325632 + (flag ? 0x4000 : 0x8000); }

namespace {

void writeEntries(BankWriter& w, const BacnetObjectTable& t, int n)
{
    for (int i = 0; i < n; ++i) {
        const BacnetObjectEntry& e = t.entries[static_cast<size_t>(i)];
        w.u32(e.Position).u16(e.Eng_Unit).u8(e.Length).u8(e.Flags);
        w.u32(e.Mnemonic_Address).u16(e.Row_Number).u8(e.Bit).u8(0);
    }
}

} // namespace

int32_t Write_MBus_Objects(BankBuffer& bank, const BacnetObjectTable& t, uint8_t flag, int32_t offset)
{
    BankWriter w(bank, offset);
    writeEntries(w, t, flag ? 1024 : 2048);
    w.bytes(t.pool.data(), kMnemonicPoolSize);
    return w.offset();
}

int32_t Write_MBus_Objects_Compact(BankBuffer& bank, const BacnetObjectTable& t, int n, int32_t a)
{
    BankWriter w(bank, a);
    writeEntries(w, t, n);
    w.bytes(t.pool.data(), kMnemonicPoolSize);
    return w.offset();
}

} // namespace image
