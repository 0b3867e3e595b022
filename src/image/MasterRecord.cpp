#include "image/MasterRecord.h"

#include "image/ParGenKeys.h"
#include "image/ParGenRecord.h"
#include "platform/text/UserError.h"

#include <QString>

namespace image {

namespace {

// The record's one address block, of the prefix, with the model's default address.
void readAddress(const ParGenKeys& keys, const QString& prefix, const std::array<int32_t, 4>& ip, ParQV& p)
{
    readAddressKeys(keys, prefix, {ip}, p.IP, p.SM, p.GAT);
}

// The M-Bus line and its timing, the same keys for every master model.
void readMBusLine(const ParGenKeys& keys, ParQV& p)
{
    static const uint32_t kBaud[8] = {300, 600, 1200, 2400, 4800, 9600, 19200, 38400};
    const int32_t baud = keys.keyInt(QStringLiteral("Meter_Baud"), 0);
    p.MBus_Baud_Rate = baud >= 0 && baud < 8 ? kBaud[baud] : 2400;
    const int32_t parity = keys.keyInt(QStringLiteral("Meter_Par"), 2);
    p.MBus_Parity = static_cast<uint16_t>(parity == 0 ? 0 : parity == 1 ? 3 : 2);
    p.Request_Delay = static_cast<uint32_t>(keys.keyInt(QStringLiteral("Meter_Req_Delay"), 60));
    p.Wait_Answer = keys.keyFlag(QStringLiteral("Enable_Wait_Answer"))
                        ? static_cast<uint32_t>(keys.keyInt(QStringLiteral("Wait_Answer"), 0))
                        : 0;
    p.Idle_Time = keys.keyFlag(QStringLiteral("Enable_Idle_Time"))
                      ? static_cast<uint32_t>(keys.keyInt(QStringLiteral("Idle_Time"), 0))
                      : 0;
}

} // namespace

void Default_Par_QV(ParQV& p) { p = ParQV{}; }

void Read_Par_Gen_QV_BACnet(ParQV& p)
{
    ParGenKeys keys;
    if (!openParGen(keys))
        return;
    readAddress(keys, QStringLiteral("BACnet_"), {192, 168, 0, 5}, p);
    readStationName(keys, "BACnet_NAME_STA", p.Station_Name);
    p.BACnet_Port = static_cast<uint16_t>(keys.keyInt(QStringLiteral("BACnet_PORT"), 47808));
    p.BACnet_Device_Instance = static_cast<uint32_t>(keys.keyInt(QStringLiteral("BACnet_DEV_IDE"), 1));
    p.BACnet_Flags = (keys.keyFlag(QStringLiteral("BACnet_EN_BBMD")) ? 1u : 0u) |
                     (keys.keyFlag(QStringLiteral("BACnet_EN_FDR")) ? 2u : 0u);
    readMBusLine(keys, p);
}

void Read_Par_Gen_QV_PROFINET(ParQV& p)
{
    ParGenKeys keys;
    if (!openParGen(keys))
        return;
    readAddress(keys, QStringLiteral("PROFINET_"), {192, 168, 0, 10}, p);
    readStationName(keys, "PROFINET_NAME_STA", p.Station_Name);
    p.PROFINET_NB_Out = static_cast<uint32_t>(keys.keyInt(QStringLiteral("PROFINET_NB_OUT"), 1439));
    p.PROFINET_NB_Out_2 = p.PROFINET_NB_Out;
    readMBusLine(keys, p);
}

void Read_Par_Gen_QV_Modbus_TCP(ParQV& p)
{
    ParGenKeys keys;
    if (!openParGen(keys))
        return;
    readAddress(keys, QStringLiteral("Modbus_TCP_Slave_"), {192, 168, 0, 10}, p);
    p.Modbus_TCP_Port = static_cast<uint16_t>(keys.keyInt(QStringLiteral("ModbusTCPS_PORT"), 502));
    p.Modbus_TCP_Port_2 = p.Modbus_TCP_Port;
    readMBusLine(keys, p);
}

int32_t Write_General_Record_QV(BankBuffer& bank, const ParQV& p, int32_t offset)
{
    BankWriter w(bank, offset);
    w.zeros(16).zeros(4).zeros(20);                                                     // 0
    w.bytes(p.IP.data(), 4).bytes(p.SM.data(), 4).bytes(p.GAT.data(), 4);               // 40
    w.u16(10000).u16(p.Modbus_TCP_Port).u16(p.Modbus_TCP_Port_2).u16(0x20);            // 52
    w.u32(p.MBus_Baud_Rate).u16(8).u16(p.MBus_Parity).zeros(12);                       // 60
    w.bytes(p.Station_Name.data(), 16).u8(0x20).zeros(7);                              // 80
    w.u16(p.BACnet_Port).u16(0).zeros(8).u32(p.PROFINET_NB_Out).u32(p.PROFINET_NB_Out_2).zeros(8); // 104
    for (uint32_t c : p.Object_Count)                                                   // 132
        w.u32(c);
    w.u32(p.BACnet_Device_Instance).u32(0).zeros(32).u32(0).u32(0).zeros(4).u32(0);    // 192
    w.u32(p.Node_Table_Address).u32(p.Object_Table_Address).u32(p.Request_Delay).u32(5); // 248
    w.u32(p.Node_Count).u32(p.Wait_Answer).u32(p.Idle_Time).u32(p.BACnet_Flags).u32(p.After_Object_Table); // 264
    if (w.offset() - offset != 284)
        throw platform::UserError(QStringLiteral("Internal error: the parameter record is misaligned."));
    w.zeros(kParGenRecordSize - 4 - 284);
    w.u32(w.sum());
    return w.offset();
}

} // namespace image
