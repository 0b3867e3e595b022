#include "image/ParGenRecord.h"

#include "platform/text/UserError.h"

#include <QString>

namespace image {

void Init_Par_Gen(ParGenStd& p, int32_t converterType)
{
    p = ParGenStd{};
    if (converterType == 0 || converterType == 1 || converterType == 20)
        p.Modbus_Slave_ID = 0;
}

int32_t Write_Par_Gen(BankBuffer& bank, const ParGenStd& p, int32_t offset)
{
    BankWriter w(bank, offset);
    w.u32(p.CAN_Bit_Rate).u32(0).u32(0);
    w.u32(p.Port1_Baud_Rate).u16(p.Port1_Data_Bits).u16(p.Port1_Parity).u32(p.Port1_Stop_Bits);
    w.u32(p.Modbus_Slave_ID).u32(0).u32(p.Modbus_Timeout).u32(p.Modbus_Cyclic);
    w.bytes(p.BACnet_IP.data(), 4).bytes(p.BACnet_SM.data(), 4).bytes(p.BACnet_GAT.data(), 4);
    w.u16(p.Config_Port).u16(p.Modbus_TCP_Port).u16(p.Modbus_TCP_Port_2).u16(p.Option_Word);
    w.u32(p.Port2_Baud_Rate).u16(p.Port2_Data_Bits).u16(p.Port2_Parity).u32(p.Port2_Stop_Bits);
    w.u32(p.Modbus_Access_Count).u32(0);
    w.bytes(p.BACnet_Device_Name.data(), 16);                          // 80
    w.u8(p.Protocol_Code).u8(p.Serial_Mode).u8(0).u8(p.CAN_Kind);      // 96
    w.u32(0).u16(p.BACnet_Port).u16(0).u32(0);                         // 100
    w.u32(p.CAN_Frame_Count).u32(p.NB_In).u32(p.NB_Out).u32(0).u16(0).u16(0); // 112
    for (int c = 0; c <= 8; ++c)                                        // 132
        w.u32(p.Object_Count[static_cast<size_t>(c)]);
    w.u32(p.BACnet_Device_Instance).u32(p.CANopen_SDO_Timeout).u32(0).u32(0); // 168
    w.zeros(20);                                                        // 184
    for (uint32_t v : p.CANopen_Table_Count)                            // 204
        w.u32(v);
    w.u32(p.CANopen_Node_ID).u32(p.CANopen_Flags).u32(0).u32(p.CAN_Table_Address); // 228
    w.zeros(20);                                                        // 244
    for (uint32_t v : p.CANopen_Table_Address)                          // 264
        w.u32(v);
    for (int c = 9; c <= 17; ++c)                                       // 288
        w.u32(p.Object_Count[static_cast<size_t>(c)]);
    w.u32(p.CANopen_Delay).u32(p.BACnet_Ser_Device_Instance);           // 324
    w.u8(p.BACnet_Ser_MAC).u8(p.BACnet_Ser_Max_Master).u8(p.BACnet_Ser_Max_Info_Frames).u8(0);
    w.u16(p.BACnet_Ser_Network).u16(0);                                 // 336
    w.zeros(12).zeros(20);                                              // 340
    for (uint32_t v : p.Eth2_IP)                                        // 372
        w.u8(v);
    for (uint32_t v : p.Eth2_SM)
        w.u8(v);
    for (uint32_t v : p.Eth2_GAT)
        w.u8(v);
    w.zeros(4).zeros(28).zeros(24).zeros(128).zeros(4).zeros(2).zeros(2).zeros(12); // 384
    w.bytes(p.Station_Name_2.data(), 16);                               // 588
    w.u32(p.BACnet_IP_Flags).u32(p.BDT_Address).u32(p.Object_Count[18]); // 604
    w.u32(static_cast<uint32_t>(p.Slaves_Present_Position));           // 616
    w.u8(p.PROFIBUS_Station).zeros(3);                                  // 620
    if (w.offset() - offset != 624)
        throw platform::UserError(QStringLiteral("Internal error: the parameter record is misaligned."));
    w.zeros(kParGenRecordSize - 4 - 624); // the filler adds nothing to the sum
    w.u32(w.sum());
    return w.offset();
}

} // namespace image
