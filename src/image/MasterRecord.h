#pragma once
// The general parameter record of the M-Bus master models (device types 1001 BACnet/IP, 1002
// PROFINET, 1003 Modbus TCP): the first 2048 bytes of bank3.bin. Bytes 0..283 carry the fields,
// the rest is zero up to the checksum at 2044.
#include "image/Bank.h"

#include <array>
#include <cstdint>

namespace image {

// BACnet object types counted in the record and grouped in the object table, in this order.
constexpr std::array<int, 15> kMasterObjectTypes = {0, 1, 3, 4, 46, 44, 48, 40, 45, 13, 14, 19, 2, 5, 23};

struct ParQV {
    std::array<uint8_t, 4> IP{192, 168, 2, 205};
    std::array<uint8_t, 4> SM{255, 255, 255, 0};
    std::array<uint8_t, 4> GAT{255, 255, 255, 255};
    uint16_t Modbus_TCP_Port = 10001;
    uint16_t Modbus_TCP_Port_2 = 10001;
    uint32_t MBus_Baud_Rate = 2400;
    uint16_t MBus_Parity = 2; // 0 none, 3 odd, 2 even
    std::array<uint8_t, 16> Station_Name{};
    uint16_t BACnet_Port = 47808;
    uint32_t PROFINET_NB_Out = 0;
    uint32_t PROFINET_NB_Out_2 = 0;
    std::array<uint32_t, 15> Object_Count{}; // in the order of kMasterObjectTypes
    uint32_t BACnet_Device_Instance = 0;
    uint32_t Node_Table_Address = 0;
    uint32_t Object_Table_Address = 0;
    uint32_t Request_Delay = 60;
    uint32_t Node_Count = 0;
    uint32_t Wait_Answer = 0;
    uint32_t Idle_Time = 0;
    uint32_t BACnet_Flags = 0; // bit 0 BBMD, bit 1 foreign-device registration
    uint32_t After_Object_Table = 0;
};

void Default_Par_QV(ParQV& p);
// Readers of the project's ParGen.xml, one per device type; nothing when there is no file.
// Throw platform::UserError when the file exists but cannot be read.
void Read_Par_Gen_QV_BACnet(ParQV& p);
void Read_Par_Gen_QV_PROFINET(ParQV& p);
void Read_Par_Gen_QV_Modbus_TCP(ParQV& p);
// Writes the record at `offset` and returns offset + 2048.
int32_t Write_General_Record_QV(BankBuffer& bank, const ParQV& p, int32_t offset);

} // namespace image
