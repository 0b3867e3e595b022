#pragma once
// The general parameter record of the standard layout: 2048 bytes, little-endian, zero after
// its last field and closed by the 32-bit sum of bytes 0..2043 stored at 2044..2047.
// `ParGenStd` is the parameter block behind it: `Init_Par_Gen` sets the defaults, the model's
// parameter reader and table loaders fill it, `Write_Par_Gen` serializes it.
#include "image/Bank.h"

#include <array>
#include <cstdint>

namespace image {

constexpr int32_t kParGenRecordSize = 2048;
constexpr int kObjectTypeCodes = 19; // BACnet data type codes 0..18

struct ParGenStd {
    uint32_t CAN_Bit_Rate = 250000;
    uint32_t Port1_Baud_Rate = 9600;
    uint16_t Port1_Data_Bits = 8;
    uint16_t Port1_Parity = 0;
    uint32_t Port1_Stop_Bits = 0;
    uint32_t Modbus_Slave_ID = 1;
    uint32_t Modbus_Timeout = 0;
    uint32_t Modbus_Cyclic = 0;
    std::array<uint8_t, 4> BACnet_IP{};  // first part first
    std::array<uint8_t, 4> BACnet_SM{};
    std::array<uint8_t, 4> BACnet_GAT{};
    uint16_t Config_Port = 10000;
    uint16_t Modbus_TCP_Port = 0;
    uint16_t Modbus_TCP_Port_2 = 0;
    uint16_t Option_Word = 0;
    uint32_t Port2_Baud_Rate = 0;
    uint16_t Port2_Data_Bits = 8;
    uint16_t Port2_Parity = 0;
    uint32_t Port2_Stop_Bits = 0;
    uint32_t Modbus_Access_Count = 0;
    std::array<uint8_t, 16> BACnet_Device_Name{};
    uint8_t Protocol_Code = 0;
    uint8_t Serial_Mode = 0;
    uint8_t CAN_Kind = 0;
    uint16_t BACnet_Port = 0;
    uint32_t CAN_Frame_Count = 0;
    uint32_t NB_In = 0;
    uint32_t NB_Out = 0;
    // Objects per data type code: 0-8 at offset 132, 9-17 at 288, 18 at 612.
    std::array<uint32_t, kObjectTypeCodes> Object_Count{};
    uint32_t BACnet_Device_Instance = 0;
    uint32_t CANopen_SDO_Timeout = 0;
    std::array<uint32_t, 6> CANopen_Table_Count{};
    uint32_t CANopen_Node_ID = 0;
    uint32_t CANopen_Flags = 0;
    uint32_t CAN_Table_Address = 0;
    std::array<uint32_t, 6> CANopen_Table_Address{};
    uint32_t CANopen_Delay = 0;
    uint32_t BACnet_Ser_Device_Instance = 0;
    uint8_t BACnet_Ser_MAC = 0;
    uint8_t BACnet_Ser_Max_Master = 1;
    uint8_t BACnet_Ser_Max_Info_Frames = 1;
    uint16_t BACnet_Ser_Network = 1;
    // The second network side's address, one 32-bit value per part; each is written as its
    // low byte.
    std::array<uint32_t, 4> Eth2_IP{};
    std::array<uint32_t, 4> Eth2_SM{};
    std::array<uint32_t, 4> Eth2_GAT{};
    std::array<uint8_t, 16> Station_Name_2{};
    uint32_t BACnet_IP_Flags = 0; // bit 0 BBMD, bit 1 foreign-device registration
    uint32_t BDT_Address = 0;
    int32_t Slaves_Present_Position = -1;
    uint8_t PROFIBUS_Station = 0;
};

// Gateway address of the BBMD table when it lies at bank1 offset 0x19000.
constexpr uint32_t kBdtAddressAt0x19000 = 0x68800;

// Resets the block to the record's defaults; `Modbus_Slave_ID` is 0 for device types 0, 1, 20.
void Init_Par_Gen(ParGenStd& p, int32_t converterType);

// Serializes the block at `offset` (2048 bytes with the checksum) and returns the offset after
// it. The bank's length is left to the caller.
int32_t Write_Par_Gen(BankBuffer& bank, const ParGenStd& p, int32_t offset);

} // namespace image
