#pragma once
// The image of the DMX model (device type 18): bank1 = BACnet object area (only the objects of
// the DMX direction), the general parameter record in the KNX/DMX/DeviceNet layout and the DMX
// default table of 512 bytes; 70,144 bytes.
#include "image/Bank.h"

#include <QString>
#include <array>
#include <cstdint>

namespace image {

struct ImageState;

constexpr int kDmxChannels = 512;
constexpr int32_t kDmxBankLength = 70144;

using DmxDefaults = std::array<uint8_t, kDmxChannels>;

void Clear_DMX_Defaults(DmxDefaults& t);
// Byte i := the low 8 bits of "Default_Value" of the root's element i (0 when it has none or
// it is not a number); elements beyond 512 are not read. Throws platform::UserError when the
// file cannot be read.
void Load_DMX_Defaults(DmxDefaults& t, const QString& path);
int32_t Write_DMX_Defaults(BankBuffer& bank, const DmxDefaults& t, int32_t offset);

void Read_Par_Gen_DMX(ImageState& st);
void Build_Bin_DMX(ImageState& st);

} // namespace image
