#pragma once
// The general parameter record of the SNMP agent (17) and SNMP manager (19) images: 2048 bytes
// right after the BACnet object area (bank1 offset 0x10800), little-endian, closed by the 32-bit
// sum of bytes 0..2043. It holds the BACnet/IP and MS/TP settings, the object counts in an order
// of its own, the SNMP tables' addresses and counts, the agent's SNMP settings and a second IP
// address.
//
// `ParGenSNMP` is the parameter block behind it: `Init_Par_Gen_SNMP` sets the defaults, the
// model's reader and table loader fill it, `Write_Par_Gen_SNMP` serializes it.
#include "image/Bank.h"
#include "image/ParGenKeys.h"
#include "image/ParGenRecord.h"

#include <array>
#include <cstdint>

namespace image {

struct ParGenSNMP {
    uint32_t CAN_Bit_Rate = 125000;
    uint32_t Port1_Baud_Rate = 9600;
    uint16_t Port1_Data_Bits = 8;
    uint16_t Port1_Parity = 0;
    std::array<uint8_t, 4> BACnet_IP{192, 168, 2, 205};
    std::array<uint8_t, 4> BACnet_SM{255, 255, 255, 0};
    std::array<uint8_t, 4> BACnet_GAT{255, 255, 255, 255};
    uint16_t Config_Port = 10000;
    uint16_t BACnet_Port = 10001;
    uint16_t Option_Word = 0;
    uint32_t Port2_Baud_Rate = 9600;
    uint16_t Port2_Data_Bits = 8;
    uint16_t Port2_Parity = 0;
    std::array<uint8_t, 16> BACnet_Device_Name{};
    uint8_t Protocol_Code = 0;
    uint32_t NB_In = 0;
    uint32_t NB_Out = 0;
    uint32_t Object_Base_Address = 0;
    uint8_t BACnet_Ser_MAC = 0;
    uint8_t BACnet_Ser_Max_Master = 0;
    uint8_t BACnet_Ser_Max_Info_Frames = 0;
    // Objects per data type code, placed by Write_Par_Gen_SNMP in the record's own order.
    std::array<uint32_t, kObjectTypeCodes> Object_Count{};
    std::array<uint8_t, 4> Eth2_IP{};
    std::array<uint8_t, 4> Eth2_SM{};
    std::array<uint8_t, 4> Eth2_GAT{};
    uint16_t BACnet_Ser_Network = 0;
    uint32_t BACnet_Device_Instance = 0;
    uint32_t Manager_Row_Count = 0;
    uint32_t Manager_Table_Address = 0;
    uint32_t BACnet_Ser_Device_Instance = 0;
    uint32_t Trap_Read_Count = 0;
    uint32_t Trap_Write_Count = 0;
    uint32_t Trap_Read_Address = 0;
    uint32_t Trap_Write_Address = 0;
    uint32_t SNMP_Options = 0;
    std::array<uint8_t, 16> SNMP_Name_of_Station{};
    std::array<uint8_t, 16> SNMP_Contact{};
    std::array<uint8_t, 16> SNMP_Location{};
    std::array<uint8_t, 20> SNMP_VER3_USER{};
    std::array<uint8_t, 16> SNMP_VER3_AUTHORITY{};
    std::array<uint8_t, 16> SNMP_VER3_PRIVACY{};
};

// Gateway address of bank1 in both SNMP images; the table after the record lies at 0x68800.
constexpr uint32_t kSnmpObjectBaseAddress = 0x57800;
constexpr int32_t kSnmpParGenOffset = 0x10800;
constexpr int32_t kSnmpTableOffset = 0x11000;

void Init_Par_Gen_SNMP(ParGenSNMP& p);

// Writes the 2048-byte record at `offset` and returns offset + 2048.
int32_t Write_Par_Gen_SNMP(BankBuffer& bank, const ParGenSNMP& p, int32_t offset);

// Copies the 19 counts that Load_BACnet_Objects made in the standard block.
void Copy_Object_Counts_SNMP(ParGenSNMP& p, const ParGenStd& std);

// The BACnet-side keys both SNMP readers share: Protocol_Code and Option_Word are set first by
// the caller; `manager` adds max master, max info frames and the network number for MS/TP.
// Returns the BACnet type.
int32_t readBacnetSideSNMP(const ParGenKeys& keys, ParGenSNMP& p, uint8_t& descCharsLimitFlag, bool manager);

} // namespace image
