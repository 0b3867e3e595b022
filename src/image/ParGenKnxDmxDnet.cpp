#include "image/ParGenKnxDmxDnet.h"

#include "platform/text/UserError.h"

#include <QString>

namespace image {

namespace {

// The record's order of the object counts at 312..380 by data type code.
constexpr int kCountOrder[18] = {0, 1, 12, 2, 3, 13, 4, 5, 6, 7, 8, 9, 10, 11, 14, 15, 16, 17};

// Bytes the serializer writes as 0 whatever the block holds there.
constexpr int32_t kFixedZeroArea = 1308; // 484..1791
constexpr int32_t kTailZeroArea = 248;   // 1796..2043

} // namespace

void Init_Par_Gen_KNX_DMX_DNet(ParGenKDD& p) { p = ParGenKDD{}; }

void Copy_Object_Counts_KDD(ParGenKDD& p, const std::array<uint32_t, kObjectTypeCodes>& counts,
                            bool withOctetString)
{
    for (int code = 0; code < 18; ++code)
        p.Object_Count[static_cast<size_t>(code)] = counts[static_cast<size_t>(code)];
    p.Object_Count[18] = withOctetString ? counts[18] : 0;
}

void Write_Par_Gen_KNX_DMX_DNet(BankBuffer& bank, const ParGenKDD& p, int32_t offset)
{
    BankWriter w(bank, offset);
    w.u32(p.CAN_Bit_Rate).u32(0).u32(0);                                        // 0
    w.u32(p.Port1_Baud_Rate).u16(p.Port1_Data_Bits).u16(p.Port1_Parity);         // 12
    w.u32(0).u32(0).u32(p.DeviceNet_MAC_ID).u32(0).u32(0);                      // 20
    w.bytes(p.BACnet_IP.data(), 4).bytes(p.BACnet_SM.data(), 4).bytes(p.BACnet_GAT.data(), 4); // 40
    w.u16(p.Config_Port).u16(10001).u16(10001).u16(p.BACnet_Port);              // 52
    w.u32(p.Port2_Baud_Rate).u16(p.Port2_Data_Bits).u16(0).zeros(12);           // 60
    w.bytes(p.BACnet_Device_Name.data(), 16);                                   // 80
    w.u8(p.Protocol_Code).zeros(7).u16(0).u16(0).u32(0).u32(0);                 // 96
    w.u32(p.NB_In).u32(p.NB_Out).u32(0).zeros(4).zeros(116);                    // 116
    w.u32(p.Object_Base_Address).u32(0);                                        // 248
    w.u8(p.BACnet_Ser_MAC).u8(p.BACnet_Ser_Max_Master).u8(p.BACnet_Ser_Max_Info_Frames).u8(0); // 256
    w.u32(0).u32(0).u16(0).u16(p.BACnet_Ser_Network).zeros(36);                 // 260
    w.u32(p.BACnet_Device_Instance);                                            // 308
    for (int code : kCountOrder)                                                // 312
        w.u32(p.Object_Count[static_cast<size_t>(code)]);
    w.u32(0).zeros(12);                                                         // 384
    w.u32(p.BACnet_Ser_Baud_Rate).zeros(20);                                    // 400
    w.u8(p.BACnet_Ser_Parity).zeros(11);                                        // 424
    for (int i = 0; i < 8; ++i)                                                 // 436
        w.u8(8);
    w.u32(p.KNX_Read_Table_Address).u32(p.KNX_Write_Table_Address);            // 444
    w.u32(p.KNX_Read_Count).u32(p.KNX_Write_Count);                             // 452
    w.u16(3671).u16(p.KNX_Physical_Address).zeros(12);                          // 460
    w.u16(p.DMX_In_Channels).u16(p.DMX_Out_Channels).u32(p.DMX_Table_Address);  // 476
    w.zeros(kFixedZeroArea);                                                    // 484
    w.u32(p.Object_Count[18]).zeros(kTailZeroArea);                             // 1792
    if (w.offset() - offset != kParGenRecordSize - 4)
        throw platform::UserError(QStringLiteral("Internal error: the parameter record is misaligned."));
    w.u32(w.sum());
}

int32_t readBacnetSideKDD(const ParGenKeys& keys, ParGenKDD& p, uint8_t& descCharsLimitFlag, KddModel model)
{
    const int32_t type = readBacnetTypeAndLimit(keys, descCharsLimitFlag);
    const AddressDefaults defaults = model == KddModel::Dmx ? AddressDefaults{{192, 168, 2, 205}, {255, 255, 255, 0}, {192, 168, 2, 1}}
                                                            : AddressDefaults{{192, 168, 0, 5}, {255, 255, 255, 0}, {192, 168, 0, 1}};
    readAddressKeys(keys, QStringLiteral("BACnet_"), defaults, p.BACnet_IP, p.BACnet_SM, p.BACnet_GAT);
    if (type == 0) {
        readBacnetIpDevice(keys, p);
    } else if (type == 1) {
        const MstpLine line = readMstpLine(keys);
        if (model == KddModel::DeviceNet) {
            p.BACnet_Ser_Baud_Rate = line.baudRate;
            p.BACnet_Ser_Parity = static_cast<uint8_t>(line.parity);
        } else {
            // KNX and DMX keep the MS/TP line on line 1 too and copy it.
            p.Port1_Baud_Rate = line.baudRate;
            p.Port1_Parity = line.parity;
            p.BACnet_Ser_Baud_Rate = p.Port1_Baud_Rate;
            p.BACnet_Ser_Parity = static_cast<uint8_t>(p.Port1_Parity);
        }
        p.BACnet_Ser_MAC = static_cast<uint8_t>(keys.keyInt(QStringLiteral("BACnet_Ser_ID"), 0));
        if (model != KddModel::Knx) {
            p.BACnet_Ser_Max_Master = static_cast<uint8_t>(keys.keyInt(QStringLiteral("BACnet_Ser_Max_Master"), 1));
            p.BACnet_Ser_Max_Info_Frames =
                static_cast<uint8_t>(keys.keyInt(QStringLiteral("BACnet_Ser_Max_Info_Frames"), 1));
            p.BACnet_Ser_Network = static_cast<uint16_t>(keys.keyInt(QStringLiteral("BACnet_Ser_Network"), 1));
        }
        p.BACnet_Device_Instance = static_cast<uint32_t>(keys.keyInt(QStringLiteral("BACnet_Ser_DEV_IDE"), 0));
        readStationName(keys, "BACnet_Ser_NAME_STA", p.BACnet_Device_Name);
    }
    return type;
}

} // namespace image
