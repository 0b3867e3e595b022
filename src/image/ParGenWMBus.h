#pragma once
// The general parameter record of the M-Bus bank (device type 21's bank1, the bank3 of device
// types 1 and 20): 2048 bytes, the gateway's IP settings, the BACnet/IP or MS/TP settings, the
// serial ports (MS/TP, wireless radio module, wired M-Bus), the wireless mode and channel, the
// C-field option, the number of wireless meters and the object counts of the bank. Bytes 0..751
// carry the fields, the rest is zero up to the checksum at 2044.
#include "image/Bank.h"
#include "image/ParGenRecord.h"

#include <array>
#include <cstdint>

namespace image {

struct ParGenWMBus {
    uint32_t MSTP_Baud_Rate = 9600;
    uint32_t MSTP_Parity = 0;
    std::array<uint8_t, 4> Gateway_IP{192, 168, 2, 205};
    std::array<uint8_t, 4> Gateway_SM{255, 255, 255, 0};
    std::array<uint8_t, 4> Gateway_GAT{255, 255, 255, 255};
    uint16_t Port_54 = 10001;
    uint16_t Port_56 = 10001;
    uint8_t Byte_59 = 0; // 0x20 for device types 1 and 21
    uint16_t BACnet_Port = 0;
    std::array<uint8_t, 16> BACnet_Device_Name{};
    std::array<uint32_t, 6> Port_Baud_Rate{0, 0, 0, 2400, 0, 0}; // [0] MS/TP, [2] radio, [3] wired M-Bus
    std::array<uint8_t, 6> Port_Parity{};
    std::array<uint8_t, 6> Port_Stop_Bits{0, 0, 0, 1, 0, 0};
    std::array<uint8_t, 8> Port_Data_Bits{8, 8, 8, 8, 8, 8, 8, 8};
    uint8_t wMBus_Meter_Count = 0;
    uint8_t wMBus_Mode_Code = 0;
    uint8_t wMBus_Radio_Channel = 0;
    std::array<uint8_t, 3> Radio_584{}; // 3, 5, 5 for device type 21
    uint32_t BACnet_Device_Instance = 0;
    std::array<uint32_t, 18> Object_Count{}; // by data type code
    uint32_t BACnet_Ser_Device_Instance = 0;
    uint8_t BACnet_Ser_MAC = 0;
    uint8_t BACnet_Ser_Max_Master = 0;
    uint8_t BACnet_Ser_Max_Info_Frames = 0;
    uint16_t BACnet_Ser_Network = 0;
    uint32_t C_Field_Word = 0;

    // Not in the record: the device instance the bank's command objects are named after.
    uint32_t Command_Device_Instance = 1;
};

void Init_Par_Gen_wMBus(ParGenWMBus& p);

// Reads ParGen.xml of the workspace into the block. Also sets the fixed values of the standard
// record `std` that the M-Bus models share, and the description-limit flag when the file
// exists. Throws platform::UserError when the file exists but cannot be read.
void Load_ParGen_wMBus(ParGenWMBus& p, ParGenStd& std, uint8_t& descCharsLimitFlag, int32_t converterType);

// Writes the 2048-byte record at `offset` and returns offset + 2048.
int32_t Write_Par_Gen_wMBus(BankBuffer& bank, const ParGenWMBus& p, int32_t offset);

} // namespace image
