#include "image/ParGenSnmp.h"

#include "platform/text/UserError.h"

#include <QString>

namespace image {

namespace {

// The record's order of the object counts by data type code: at 268..296 and at 372..408.
constexpr int kCountsAt268[8] = {0, 1, 2, 3, 7, 6, 4, 5};
constexpr int kCountsAt372[10] = {12, 13, 8, 9, 10, 11, 14, 15, 16, 17};

} // namespace

void Init_Par_Gen_SNMP(ParGenSNMP& p) { p = ParGenSNMP{}; }

void Copy_Object_Counts_SNMP(ParGenSNMP& p, const ParGenStd& std) { p.Object_Count = std.Object_Count; }

int32_t Write_Par_Gen_SNMP(BankBuffer& bank, const ParGenSNMP& p, int32_t offset)
{
    BankWriter w(bank, offset);
    w.u32(p.CAN_Bit_Rate).u32(0).u32(0);                                         // 0
    w.u32(p.Port1_Baud_Rate).u16(p.Port1_Data_Bits).u16(p.Port1_Parity).zeros(20); // 12
    w.bytes(p.BACnet_IP.data(), 4).bytes(p.BACnet_SM.data(), 4).bytes(p.BACnet_GAT.data(), 4); // 40
    w.u16(p.Config_Port).u16(10001).u16(p.BACnet_Port).u16(p.Option_Word);       // 52
    w.u32(p.Port2_Baud_Rate).u16(p.Port2_Data_Bits).u16(p.Port2_Parity).zeros(12); // 60
    w.bytes(p.BACnet_Device_Name.data(), 16);                                    // 80
    w.u8(p.Protocol_Code).zeros(7).u16(0).u16(0).u32(0).u32(0);                  // 96
    w.u32(p.NB_In).u32(p.NB_Out).u32(0).zeros(4).zeros(116);                     // 116
    w.u32(p.Object_Base_Address).u32(0);                                         // 248
    w.u8(p.BACnet_Ser_MAC).u8(p.BACnet_Ser_Max_Master).u8(p.BACnet_Ser_Max_Info_Frames).u8(0); // 256
    w.u32(0).u32(0);                                                             // 260
    for (int code : kCountsAt268)                                                // 268
        w.u32(p.Object_Count[static_cast<size_t>(code)]);
    w.u32(0);                                                                    // 300
    w.bytes(p.Eth2_IP.data(), 4).bytes(p.Eth2_SM.data(), 4).bytes(p.Eth2_GAT.data(), 4); // 304
    w.u16(0).u16(p.BACnet_Ser_Network).u32(0).zeros(28);                         // 316
    w.u32(p.BACnet_Device_Instance).u32(0).u32(0);                               // 352
    w.u32(p.Manager_Row_Count).u32(p.Manager_Table_Address);                    // 364
    for (int code : kCountsAt372)                                                // 372
        w.u32(p.Object_Count[static_cast<size_t>(code)]);
    w.u32(p.BACnet_Ser_Device_Instance);                                         // 412
    w.u32(p.Trap_Read_Count).u32(p.Trap_Write_Count);                            // 416
    w.u32(p.Trap_Read_Address).u32(p.Trap_Write_Address);                        // 424
    w.u32(p.SNMP_Options).u32(0);                                                // 432
    w.bytes(p.SNMP_Name_of_Station.data(), 16);                                  // 440
    w.bytes(p.SNMP_Contact.data(), 16);                                          // 456
    w.bytes(p.SNMP_Location.data(), 16);                                         // 472
    w.bytes(p.SNMP_VER3_USER.data(), 20);                                        // 488
    w.bytes(p.SNMP_VER3_AUTHORITY.data(), 16);                                   // 508
    w.bytes(p.SNMP_VER3_PRIVACY.data(), 16);                                     // 524
    w.zeros(16).zeros(20);                                                       // 540
    w.u32(p.Object_Count[18]);                                                   // 576
    w.zeros(1332).zeros(128).u32(0);                                             // 580
    if (w.offset() - offset != kParGenRecordSize - 4)
        throw platform::UserError(QStringLiteral("Internal error: the parameter record is misaligned."));
    w.u32(w.sum());
    return w.offset();
}

int32_t readBacnetSideSNMP(const ParGenKeys& keys, ParGenSNMP& p, uint8_t& descCharsLimitFlag, bool manager)
{
    const int32_t type = readBacnetTypeAndLimit(keys, descCharsLimitFlag);
    readAddressKeys(keys, QStringLiteral("BACnet_"), {{192, 168, 0, 5}, {255, 255, 255, 0}, {192, 168, 0, 1}},
                    p.BACnet_IP, p.BACnet_SM, p.BACnet_GAT);
    if (type == 0) {
        readBacnetIpDevice(keys, p);
    } else if (type == 1 || type == 2) {
        // Type 1 runs MS/TP on serial line 1, type 2 on line 2.
        const MstpLine line = readMstpLine(keys);
        if (type == 1) {
            p.Port1_Baud_Rate = line.baudRate;
            p.Port1_Parity = line.parity;
        } else {
            p.Port2_Baud_Rate = line.baudRate;
            p.Port2_Parity = line.parity;
        }
        p.BACnet_Ser_MAC = static_cast<uint8_t>(keys.keyInt(QStringLiteral("BACnet_Ser_ID"), 0));
        const bool managerKeys = manager && type == 1;
        if (managerKeys) {
            p.BACnet_Ser_Max_Master = static_cast<uint8_t>(keys.keyInt(QStringLiteral("BACnet_Ser_Max_Master"), 1));
            p.BACnet_Ser_Max_Info_Frames =
                static_cast<uint8_t>(keys.keyInt(QStringLiteral("BACnet_Ser_Max_Info_Frames"), 1));
        }
        p.BACnet_Ser_Device_Instance = static_cast<uint32_t>(keys.keyInt(QStringLiteral("BACnet_Ser_DEV_IDE"), 0));
        if (managerKeys)
            p.BACnet_Ser_Network = static_cast<uint16_t>(keys.keyInt(QStringLiteral("BACnet_Ser_Network"), 1));
        readStationName(keys, "BACnet_Ser_NAME_STA", p.BACnet_Device_Name);
    }
    return type;
}

} // namespace image
