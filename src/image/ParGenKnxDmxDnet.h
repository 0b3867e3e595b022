#pragma once
// The general parameter record of the DeviceNet slave (11), KNX (16, 2016) and DMX (18)
// images: 2048 bytes, little-endian, closed by the 32-bit sum of bytes 0..2043. Its first 124
// bytes have the widths of the standard layout; from there on it has a layout of its own (MS/TP
// settings at 256 and 400, device instance at 308, object counts at 312 and 1792, the KNX and
// DMX table fields at 444..483). Each model places it where the gateway finds it at 0x68000.
//
// `ParGenKDD` is the parameter block behind the record: `Init_Par_Gen_KNX_DMX_DNet` sets the
// defaults, the model's reader and build fill it, `Write_Par_Gen_KNX_DMX_DNet` serializes it.
#include "image/Bank.h"
#include "image/ParGenKeys.h"
#include "image/ParGenRecord.h"

#include <array>
#include <cstdint>

namespace image {

struct ParGenKDD {
    uint32_t CAN_Bit_Rate = 125000; // DeviceNet bit rate
    uint32_t Port1_Baud_Rate = 9600;
    uint16_t Port1_Data_Bits = 8;
    uint16_t Port1_Parity = 0;
    uint32_t DeviceNet_MAC_ID = 0;
    std::array<uint8_t, 4> BACnet_IP{192, 168, 0, 10};
    std::array<uint8_t, 4> BACnet_SM{255, 255, 255, 0};
    std::array<uint8_t, 4> BACnet_GAT{255, 255, 255, 255};
    uint16_t Config_Port = 10000;
    uint16_t BACnet_Port = 0;
    uint32_t Port2_Baud_Rate = 9600;
    uint16_t Port2_Data_Bits = 8;
    std::array<uint8_t, 16> BACnet_Device_Name{};
    uint8_t Protocol_Code = 0;
    uint32_t NB_In = 0;
    uint32_t NB_Out = 0;
    uint32_t Object_Base_Address = 0;
    uint8_t BACnet_Ser_MAC = 0;
    uint8_t BACnet_Ser_Max_Master = 0;
    uint8_t BACnet_Ser_Max_Info_Frames = 0;
    uint16_t BACnet_Ser_Network = 0;
    uint32_t BACnet_Device_Instance = 0;
    // Objects per data type code; codes 0..17 at 312.. in the record's own order, 18 at 1792.
    std::array<uint32_t, kObjectTypeCodes> Object_Count{};
    uint32_t BACnet_Ser_Baud_Rate = 0;
    uint8_t BACnet_Ser_Parity = 0;
    uint32_t KNX_Read_Table_Address = 0;
    uint32_t KNX_Write_Table_Address = 0;
    uint32_t KNX_Read_Count = 0;
    uint32_t KNX_Write_Count = 0;
    uint16_t KNX_Physical_Address = 0;
    uint16_t DMX_In_Channels = 0;
    uint16_t DMX_Out_Channels = 0;
    uint32_t DMX_Table_Address = 0;
};

void Init_Par_Gen_KNX_DMX_DNet(ParGenKDD& p);

// Writes the 2048-byte record at `offset`; the bank's length is left to the caller.
void Write_Par_Gen_KNX_DMX_DNet(BankBuffer& bank, const ParGenKDD& p, int32_t offset);

// Copies the object counts that Load_BACnet_Objects made: codes 0..17, and code 18 (OCTET
// STRING) when `withOctetString` (DeviceNet and KNX; the DMX image keeps 0 there).
void Copy_Object_Counts_KDD(ParGenKDD& p, const std::array<uint32_t, kObjectTypeCodes>& counts,
                            bool withOctetString);

enum class KddModel { DeviceNet, Knx, Dmx };

// The BACnet-side keys of ParGen.xml the three readers share, with the model's defaults and
// differences (KNX and DMX also put the MS/TP bit rate and parity on line 1; DeviceNet and DMX
// read max master, max info frames and the network number). Returns the BACnet type.
int32_t readBacnetSideKDD(const ParGenKeys& keys, ParGenKDD& p, uint8_t& descCharsLimitFlag, KddModel model);

} // namespace image
