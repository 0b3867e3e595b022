#include "image/ParGenWMBus.h"

#include "image/ParGenKeys.h"
#include "platform/text/UserError.h"

#include <QString>

namespace image {

namespace {

// Serial line codes of the MS/TP line: device type 1 offers the slower rates first.
uint32_t mstpBaudRate(int32_t code, int32_t converterType)
{
    static const uint32_t kType1[9] = {1200, 2400, 4800, 9600, 19200, 38400, 57600, 115200, 76800};
    static const uint32_t kOthers[6] = {9600, 19200, 38400, 57600, 76800, 115200};
    if (converterType == 1)
        return code >= 0 && code < 9 ? kType1[code] : 9600;
    return code >= 0 && code < 6 ? kOthers[code] : 9600;
}

uint32_t meterBaudRate(int32_t code)
{
    static const uint32_t kRates[8] = {300, 600, 1200, 2400, 4800, 9600, 19200, 38400};
    return code >= 0 && code < 8 ? kRates[code] : 2400;
}

uint8_t wMBusModeCode(int32_t code)
{
    static const uint8_t kModes[5] = {1, 5, 15, 17, 11};
    return code >= 0 && code < 5 ? kModes[code] : 1;
}

// The gateway's address block of the prefix.
void readAddress(const ParGenKeys& keys, const QString& prefix, ParGenWMBus& p)
{
    readAddressKeys(keys, prefix, {{192, 168, 0, 5}}, p.Gateway_IP, p.Gateway_SM, p.Gateway_GAT);
}

} // namespace

void Init_Par_Gen_wMBus(ParGenWMBus& p) { p = ParGenWMBus{}; }

void Load_ParGen_wMBus(ParGenWMBus& p, ParGenStd& std, uint8_t& descCharsLimitFlag, int32_t converterType)
{
    std.Protocol_Code = 0x20;
    std.Option_Word = 0x20;
    std.Modbus_TCP_Port = 10001;
    std.Modbus_TCP_Port_2 = 10001;
    p.Command_Device_Instance = 1;
    if (converterType == 1) {
        p.Byte_59 = 0x20;
        p.Port_54 = 10001;
        p.Port_56 = 10001;
    }
    ParGenKeys keys;
    if (!openParGen(keys))
        return;

    const int32_t bacnetType = keys.keyInt(QStringLiteral("BACnet_Type"), 0);
    descCharsLimitFlag = keys.keyFlag(QStringLiteral("BACnet_Desc_Chars_Limit")) ? 1 : 0;
    readAddress(keys, QStringLiteral("BACnet_"), p);
    if (bacnetType == 0) {
        readBacnetIpDevice(keys, p);
        p.Command_Device_Instance = p.BACnet_Device_Instance;
    } else if (bacnetType == 1 || bacnetType == 2) {
        p.MSTP_Baud_Rate = mstpBaudRate(keys.keyInt(QStringLiteral("BACnet_Ser_Baudrate"), 0), converterType);
        p.Port_Baud_Rate[0] = p.MSTP_Baud_Rate;
        p.MSTP_Parity = static_cast<uint32_t>(keys.keyInt(QStringLiteral("BACnet_Ser_Parity"), 0));
        p.Port_Parity[0] = static_cast<uint8_t>(p.MSTP_Parity);
        p.Port_Stop_Bits[0] = 0;
        p.Port_Data_Bits[0] = 8;
        p.BACnet_Ser_MAC = static_cast<uint8_t>(keys.keyInt(QStringLiteral("BACnet_Ser_ID"), 0));
        p.BACnet_Ser_Max_Master = static_cast<uint8_t>(keys.keyInt(QStringLiteral("BACnet_Ser_Max_Master"), 1));
        p.BACnet_Ser_Max_Info_Frames =
            static_cast<uint8_t>(keys.keyInt(QStringLiteral("BACnet_Ser_Max_Info_Frames"), 1));
        p.BACnet_Ser_Device_Instance = static_cast<uint32_t>(keys.keyInt(QStringLiteral("BACnet_Ser_DEV_IDE"), 0));
        p.Command_Device_Instance = p.BACnet_Ser_Device_Instance;
        p.BACnet_Ser_Network = static_cast<uint16_t>(keys.keyInt(QStringLiteral("BACnet_Ser_Network"), 1));
        readStationName(keys, "BACnet_Ser_NAME_STA", p.BACnet_Device_Name);
        // With MS/TP on the BACnet side, the M-Bus converters reach the network through their
        // second Ethernet port.
        if (converterType == 1 || converterType == 20)
            readAddress(keys, QStringLiteral("Eth2_"), p);
    }

    p.Port_Baud_Rate[3] = meterBaudRate(keys.keyInt(QStringLiteral("Meter_Baud"), 0));
    p.Port_Parity[3] = static_cast<uint8_t>(keys.keyInt(QStringLiteral("Meter_Par"), 2));
    p.Port_Stop_Bits[3] = 0;
    p.Port_Data_Bits[3] = 8;

    p.C_Field_Word = keys.keyFlag(QStringLiteral("Enable_Use_Fix_C_Field")) ? 0x80 : 0;
    const std::optional<QString> cField = keys.keyText(QStringLiteral("Use_Fix_C_Field_Value"));
    p.C_Field_Word += !cField || *cField == QLatin1String("0") ? 0x5B : 0x7B;

    if (converterType == 21) {
        p.wMBus_Mode_Code = wMBusModeCode(keys.keyInt(QStringLiteral("wMBus_Mode"), 0));
        p.wMBus_Radio_Channel = static_cast<uint8_t>(keys.keyInt(QStringLiteral("wMBus_Radio_Channel"), 0));
        p.Byte_59 = 0x20;
        p.Port_Baud_Rate[2] = 19200;
        p.Port_Parity[2] = 0;
        p.Port_Stop_Bits[2] = 1;
        p.Port_Data_Bits[2] = 8;
        p.Radio_584 = {3, 5, 5};
    }
}

int32_t Write_Par_Gen_wMBus(BankBuffer& bank, const ParGenWMBus& p, int32_t offset)
{
    BankWriter w(bank, offset);
    w.u32(125000).u32(125000).u32(p.MSTP_Baud_Rate).u32(p.MSTP_Parity).zeros(24);     // 0
    w.bytes(p.Gateway_IP.data(), 4).bytes(p.Gateway_SM.data(), 4).bytes(p.Gateway_GAT.data(), 4); // 40
    w.u16(10000).u16(p.Port_54).u16(p.Port_56).u8(10).u8(p.Byte_59);                  // 52
    w.u32(9600).u32(0).u32(0).zeros(4);                                                 // 60
    w.u16(p.BACnet_Port).zeros(2).u32(0).zeros(256).u32(0);                             // 76
    w.bytes(p.BACnet_Device_Name.data(), 16).zeros(136);                                // 344
    for (uint32_t v : p.Port_Baud_Rate)                                                 // 496
        w.u32(v);
    w.bytes(p.Port_Parity.data(), 6).bytes(p.Port_Stop_Bits.data(), 6).bytes(p.Port_Data_Bits.data(), 8); // 520
    w.u32(0).u32(0).zeros(11).u8(1).u8(1).u8(1).u8(1).u8(0);                            // 540
    w.u8(p.wMBus_Meter_Count).zeros(3).u8(p.wMBus_Mode_Code).u8(0).u8(0xBF).zeros(11); // 564
    w.u8(p.wMBus_Radio_Channel).u8(0).bytes(p.Radio_584.data(), 3).zeros(3).u8(1).zeros(5); // 582
    w.u32(0x67C00).zeros(20).zeros(16).u32(p.BACnet_Device_Instance);                  // 596
    for (uint32_t v : p.Object_Count)                                                   // 640
        w.u32(v);
    w.u32(p.BACnet_Ser_Device_Instance).u8(p.BACnet_Ser_MAC).u8(p.BACnet_Ser_Max_Master); // 712
    w.u8(p.BACnet_Ser_Max_Info_Frames).u8(0).u16(p.BACnet_Ser_Network).u16(0).u32(0); // 718
    w.u32(p.C_Field_Word).zeros(8).zeros(4).u32(0).u32(0);                             // 728
    if (w.offset() - offset != 752)
        throw platform::UserError(QStringLiteral("Internal error: the parameter record is misaligned."));
    w.zeros(kParGenRecordSize - 4 - 752);
    w.u32(w.sum());
    return w.offset();
}

} // namespace image
