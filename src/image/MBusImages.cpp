#include "image/MBusImages.h"

#include "image/MBusObjects.h"
#include "image/ParGenKeys.h"
#include "platform/text/UserError.h"
#include "workspace/Workspace.h"

namespace image {

namespace {

// The M-Bus bank.
constexpr int32_t kWirelessSection = 0x10800;   // 67,584
constexpr int32_t kWirelessSectionSize = 0x7C00; // 31,744
constexpr int32_t kMeterTable = 0x18400;        // 99,328
constexpr int32_t kBankRecord = 0x18800;        // 100,352
constexpr int32_t kWiredSection = 0x19000;      // 102,400
constexpr int32_t kWiredSectionSize = 0xF800;   // 63,488
// Addresses in the bank count from the wireless section; the wired one lies this far behind it.
constexpr uint32_t kWiredOrigin = 0x8800;
constexpr int32_t kWiredHeader = 13;

// The BACnet/IP bank1 and the type-20 bank3.
constexpr int32_t kNetworkBlock = 2048;
constexpr int32_t kNetworkNodeTable = 2057;
constexpr int32_t kJoinedBank2 = 0xF800; // 63,488

// The MS/TP bank1.
constexpr int32_t kMstpNodeTable = 12;
constexpr int32_t kMstpBlockSize = 66;

int32_t objectEntries(uint8_t flag) { return flag ? 1024 : 2048; }

void fitsBank(int64_t size, const BankBuffer& bank, const char* name)
{
    if (size > bank.capacity())
        throw platform::UserError(
            QStringLiteral("The M-Bus network needs %1 bytes in %2 of the image; it has room for %3.")
                .arg(size)
                .arg(QLatin1String(name))
                .arg(bank.capacity()));
}

// Device type 20 joins bank1 and bank2 in bank3, bank2 at a fixed offset.
void refuseOverlap(int64_t bank1Length)
{
    if (bank1Length > kJoinedBank2)
        throw platform::UserError(
            QStringLiteral("The M-Bus network needs %1 bytes in bank1; joined with the object area in bank3 it has "
                           "room for %2. Take nodes or variables out of the network.")
                .arg(bank1Length)
                .arg(kJoinedBank2));
}

template <size_t N>
void storeCounts(std::array<uint32_t, N>& wide, const MBusObjectCounts& c)
{
    wide[0] = c.analogInput;
    wide[5] = c.dateTime;
    wide[6] = c.positiveInteger;
    wide[7] = c.string;
    wide[11] = c.command;
}

} // namespace

int32_t Read_BACnet_Type()
{
    ParGenKeys keys;
    if (keys.load(workspace::ws().Path_ParGen) != ParGenKeys::Status::Loaded)
        return 0;
    return keys.keyInt(QStringLiteral("BACnet_Type"), 0);
}

void Build_Bin_MBus(ImageState& st)
{
    Build_MBus_Bank(st);
    Build_MBus_BACnet(st);
}

bool Load_ParGen_MBus(ImageState& st)
{
    ParGenStd& p = st.Par_Gen;
    p.Modbus_TCP_Port = 10001;
    p.Modbus_TCP_Port_2 = 10001;
    p.Option_Word = 0x20;
    p.Protocol_Code = 0x20;
    ParGenKeys keys;
    if (!openParGen(keys))
        return false;
    readBacnetAddress(keys, p);
    static const uint32_t kMeterBaud[8] = {300, 600, 1200, 2400, 4800, 9600, 19200, 38400};
    const int32_t baud = keys.keyInt(QStringLiteral("Meter_Baud"), 0);
    p.Port2_Baud_Rate = baud >= 0 && baud < 8 ? kMeterBaud[baud] : 2400;
    const int32_t parity = keys.keyInt(QStringLiteral("Meter_Par"), 2);
    p.Port2_Parity = static_cast<uint16_t>(parity == 0 ? 0 : parity == 1 ? 3 : 2);
    // The name field holds 16 bytes; the protocol code follows it.
    readBacnetIpKeys(keys, p, false);
    st.Desc_Chars_Limit_Flag = keys.keyFlag(QStringLiteral("BACnet_Desc_Chars_Limit")) ? 1 : 0;
    return true;
}

void Build_MBus_BACnet(ImageState& st)
{
    const int32_t type = workspace::ws().Converter_Type;
    st.mbusBacnetType = Read_BACnet_Type();
    if (st.mbusBacnetType != 0) {
        Clear_BACnet_Objects(st.objects);
        Build_Bin_MBus_MSTP(st);
        return;
    }
    Init_Par_Gen(st.Par_Gen, type);
    Clear_BACnet_Objects(st.objects);
    const bool hasParGen = Load_ParGen_MBus(st);

    // Load_MBus_Network: everything is read and measured before the first byte is written.
    Load_MBus_Model(NetworkReading::BacnetIp, true, st.mbus);
    std::optional<MeterParams> meter;
    if (hasParGen) {
        ParGenKeys keys;
        openParGen(keys);
        meter = readMeterParams(keys);
    }
    std::vector<TMBus_Nodo>& nodes = st.mbus.wired;
    const int64_t end = kNetworkNodeTable + nodeTablesSize(nodes);
    const int64_t bank1Length = end + (meter ? 6 : 0);
    fitsBank(bank1Length, st.bank1, "bank1");
    if (type == 20)
        refuseOverlap(bank1Length);
    MBusObjectRules rules;
    rules.descCharsLimitFlag = st.Desc_Chars_Limit_Flag;
    rules.poolBase = fullAreaPoolBase(st.Desc_Chars_Limit_Flag);
    const MBusObjectCounts counts =
        Make_MBus_Objects(st.objects, st.mbus, rules, objectEntries(st.Desc_Chars_Limit_Flag));
    storeCounts(st.Par_Gen.Object_Count, counts);

    assignRecordAddresses(nodes, kNetworkNodeTable);
    BankWriter w(st.bank1, kNetworkBlock);
    w.u8(0x20).u32(kNetworkNodeTable).u32(static_cast<uint32_t>(end));
    writeNodeTables(w, nodes, st.mbus.wiredAdd);
    if (meter)
        writeMeterParams(w, *meter, nodes.size());
    st.bank1.setLength(w.offset());
    Write_Par_Gen(st.bank1, st.Par_Gen, 0);
    st.bank2.setLength(Write_MBus_Objects(st.bank2, st.objects, st.Desc_Chars_Limit_Flag, 0));
    if (type == 20)
        Join_Bank3_Type20(st);
}

void Join_Bank3_Type20(ImageState& st)
{
    const int32_t l1 = st.bank1.length();
    refuseOverlap(l1);
    BankWriter w(st.bank3, 0);
    w.bytes(st.bank1.data(), l1).zeros(kJoinedBank2 - l1).bytes(st.bank2.data(), st.bank2.length());
    st.bank3.setLength(w.offset());
}

void Build_MBus_Bank(ImageState& st)
{
    const int32_t type = workspace::ws().Converter_Type;
    Init_Par_Gen_wMBus(st.wMBus);
    Clear_BACnet_Objects(st.objects);
    Load_ParGen_wMBus(st.wMBus, st.Par_Gen, st.Desc_Chars_Limit_Flag, type);

    // Load_MBus_Network_Bank: read and measure everything first.
    ParGenKeys keys;
    const bool hasParGen = openParGen(keys);
    const bool wiredAllowed = type != 21 || (hasParGen && keys.keyInt(QStringLiteral("Sel_Dev_MBus_Present"), 0) == 1);
    Load_MBus_Model(NetworkReading::Bank, wiredAllowed, st.mbus);
    MBusNetworkModel& m = st.mbus;
    if (m.meters.size() > static_cast<size_t>(kWMBusMeterEntries))
        throw platform::UserError(
            QStringLiteral("The M-Bus network has %1 wireless meters; the wireless meter table of the image has room "
                           "for %2.")
                .arg(m.meters.size())
                .arg(kWMBusMeterEntries));
    const std::optional<MeterParams> meter = hasParGen ? std::optional<MeterParams>(readMeterParams(keys)) : std::nullopt;
    const int64_t wirelessSize = nodeTablesSize(m.wireless);
    if (wirelessSize > kWirelessSectionSize)
        throw platform::UserError(QStringLiteral("Error!!! Too many varaibles selected for wM-Bus"));
    const int64_t wiredEnd = kWiredHeader + nodeTablesSize(m.wired);
    const int64_t wiredSize = wiredEnd + (meter ? 6 : 0);
    if (wiredSize > kWiredSectionSize)
        throw platform::UserError(QStringLiteral("Error!!! Too many varaibles selected for M-Bus"));

    // Make_MBus_Objects_Bank
    MBusObjectRules rules;
    rules.bank = true;
    rules.descCharsLimitFlag = st.Desc_Chars_Limit_Flag;
    rules.poolBase = bankAreaPoolBase(st.Desc_Chars_Limit_Flag);
    rules.deviceInstance = st.wMBus.Command_Device_Instance;
    const MBusObjectCounts counts =
        Make_MBus_Objects(st.objects, m, rules, objectEntries(st.Desc_Chars_Limit_Flag));
    storeCounts(st.wMBus.Object_Count, counts);
    st.wMBus.wMBus_Meter_Count = static_cast<uint8_t>(m.meters.size());

    assignRecordAddresses(m.wired, kWiredOrigin + kWiredHeader);
    assignRecordAddresses(m.wireless, 0);

    // The object area, filled up to the wireless section when it holds 1024 entries.
    BankBuffer& bank = st.bank3;
    BankWriter w(bank, Write_MBus_Objects(bank, st.objects, st.Desc_Chars_Limit_Flag, 0));
    w.zeros(kWirelessSection - w.offset());

    writeNodeTables(w, m.wireless, m.wirelessAdd);
    w.zeros(kMeterTable - w.offset());
    for (int i = 0; i < kWMBusMeterEntries; ++i) {
        const WMBusMeter e = i < static_cast<int>(m.meters.size()) ? m.meters[static_cast<size_t>(i)] : WMBusMeter{};
        w.u16(e.ManID).u32(e.Add).u8(e.Ver).u8(e.DevType).bytes(e.Key.data(), 16).u8(e.En_Key).zeros(7);
    }
    const int32_t wired = Write_Par_Gen_wMBus(bank, st.wMBus, kBankRecord);
    BankWriter s(bank, wired);
    s.u8(0x20).u32(kWiredOrigin + kWiredHeader).u32(kWiredOrigin + static_cast<uint32_t>(wiredEnd)).u32(0);
    writeNodeTables(s, m.wired, m.wiredAdd);
    if (meter)
        writeMeterParams(s, *meter, m.wired.size());
    bank.setLength(s.offset());
}

void Build_Bin_MBus_MSTP(ImageState& st)
{
    Load_MBus_Model(NetworkReading::Mstp, true, st.mbus);
    std::vector<TMBus_Nodo>& nodes = st.mbus.wired;
    ParGenKeys keys;
    const bool hasParGen = openParGen(keys);
    if (hasParGen)
        st.Desc_Chars_Limit_Flag = keys.keyFlag(QStringLiteral("BACnet_Desc_Chars_Limit")) ? 1 : 0;
    // Read only when the general parameters exist; the block below is written only then.
    const MeterParams meter = hasParGen ? readMeterParams(keys) : MeterParams{};

    const int64_t tablesEnd = kMstpNodeTable + nodeTablesSize(nodes);
    const int64_t a = (tablesEnd + 3) / 4 * 4;
    // The name addresses of the compact area count at most 1024 objects with the description
    // limit; more would give every name a wrong address.
    const uint32_t n = Count_MBus_Objects(st.mbus, false, 0);
    if (st.Desc_Chars_Limit_Flag && n > 1024)
        throw platform::UserError(
            QStringLiteral("The M-Bus network makes %1 BACnet objects; the BACnet object table of the image has room "
                           "for 1024.")
                .arg(n));
    const int64_t p = a + 16 * int64_t(n) + kMnemonicPoolSize;
    fitsBank(p + (hasParGen ? kMstpBlockSize : 0), st.bank1, "bank1");

    // The command objects are made as in every M-Bus image and their names fill the pool, but
    // the compact area holds the entries of the network's objects only.
    MBusObjectRules rules;
    rules.descCharsLimitFlag = st.Desc_Chars_Limit_Flag;
    rules.poolBase = compactAreaPoolBase(static_cast<int32_t>(a), n);
    const MBusObjectCounts counts = Make_MBus_Objects(st.objects, st.mbus, rules, kObjectEntryCapacity);

    assignRecordAddresses(nodes, kMstpNodeTable);
    BankBuffer& bank = st.bank1;
    BankWriter w(bank, 0);
    w.u32(kMstpNodeTable).u32(static_cast<uint32_t>(a)).u32(static_cast<uint32_t>(p));
    writeNodeTables(w, nodes, st.mbus.wiredAdd);
    w.zeros(static_cast<int32_t>(a) - w.offset());
    BankWriter b(bank, Write_MBus_Objects_Compact(bank, st.objects, static_cast<int>(counts.variables()),
                                                  static_cast<int32_t>(a)));
    if (hasParGen) {
        const int32_t bacnetType = keys.keyInt(QStringLiteral("BACnet_Type"), 0);
        b.u8(bacnetType == 2 ? 1 : 0);
        b.u8(static_cast<uint32_t>(keys.keyInt(QStringLiteral("BACnet_Ser_Baudrate"), 3)));
        b.u8(static_cast<uint32_t>(keys.keyInt(QStringLiteral("BACnet_Ser_Parity"), 0)));
        b.u8(static_cast<uint32_t>(keys.keyInt(QStringLiteral("BACnet_Ser_ID"), 0)));
        b.u8(meter.baud).u8(meter.parity).u16(meter.delay).u8(static_cast<uint32_t>(nodes.size()));
        b.u8(meter.nsErrorCode).u32(counts.analogInput).zeros(16);
        b.u32(counts.dateTime).u32(counts.positiveInteger).u32(counts.string);
        // A name longer than the field is left out rather than cut.
        const QString name = keys.keyTextOr(QStringLiteral("BACnet_Ser_NAME_STA"), QStringLiteral("devicename1"));
        std::array<uint8_t, 16> field{};
        if (name.size() <= 16)
            copyTextField(field.data(), 16, name);
        b.bytes(field.data(), 16);
        b.u32(static_cast<uint32_t>(keys.keyInt(QStringLiteral("BACnet_Ser_ID"), 1)));
        b.u32(counts.variables());
    }
    bank.setLength(b.offset());
}

} // namespace image
