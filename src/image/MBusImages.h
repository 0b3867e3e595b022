#pragma once
// The images of the M-Bus converters (device types 1 and 20) and of the wireless M-Bus gateway
// (device type 21).
//
// The M-Bus bank (`Build_MBus_Bank`, in the bank3 buffer): the BACnet object area of all meters
// (67,584 bytes), the wireless section (31,744 bytes at 67,584), the wireless meter table (32
// records at 99,328), the general parameter record in its wireless layout (at 100,352) and the
// wired section (at 102,400, at most 63,488 bytes). Device type 21 loads it as bank1.bin, types
// 1 and 20 carry it as bank3.bin.
//
// Device types 1 and 20 then build their BACnet side (`Build_MBus_BACnet`): with BACnet/IP,
// bank1 = the standard parameter record and the M-Bus network block, bank2 = the object area,
// and for type 20 bank3 = bank1 and bank2 joined; with BACnet MS/TP, bank1 = the MS/TP image
// with its compact object area (`Build_Bin_MBus_MSTP`) and no bank2.
#include "image/ImageState.h"

#include <cstdint>

namespace image {

// The BACnet type of the project's ParGen.xml; 0 when the file, the key or a number is missing.
int32_t Read_BACnet_Type();

// Build entry of device types 1 and 20: the M-Bus bank, then the BACnet side.
void Build_Bin_MBus(ImageState& st);
void Build_MBus_BACnet(ImageState& st);
// The fields of the standard parameter record that the BACnet/IP image of types 1 and 20 takes
// from ParGen.xml. False when there is no file (only the fixed values are set).
bool Load_ParGen_MBus(ImageState& st);
// bank3 := bank1, zeros up to 63,488, bank2. Refuses a bank1 longer than 63,488 bytes, which
// would overlap the object area.
void Join_Bank3_Type20(ImageState& st);

// Build entry of device type 21; the first step of types 1 and 20.
void Build_MBus_Bank(ImageState& st);

// The bank1 image of types 1 and 20 with BACnet MS/TP.
void Build_Bin_MBus_MSTP(ImageState& st);

} // namespace image
