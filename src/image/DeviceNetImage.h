#pragma once
// The image of the DeviceNet slave model (device type 11): bank1 = BACnet object area, 32,768
// zero bytes and the general parameter record in the KNX/DMX/DeviceNet layout; 102,400 bytes.
#include <cstdint>

namespace image {

struct ImageState;

constexpr int32_t kDeviceNetBankLength = 102400;

// DeviceNet bit rate of a "DNETS_BAUDRATE" code: 0 125000, 1 250000, anything else 500000.
uint32_t deviceNetBitRate(int32_t code);

void Read_Par_Gen_DeviceNet(ImageState& st);
void Build_Bin_DeviceNet(ImageState& st);

} // namespace image
