#pragma once
// The images of the three fieldbus slave models, PROFIBUS (device type 6), PROFINET (9) and
// EtherNet/IP (12): bank1 = BACnet object area, 32,768 zero bytes where other models keep their
// protocol table, and the standard parameter record; PROFINET adds the BBMD table. Their byte
// mapping is the BACnet object table itself.
#include <cstdint>

namespace image {

struct ImageState;

constexpr int32_t kProfinetBankLength = 102520;
constexpr int32_t kFieldbusSlaveBankLength = 102400; // PROFIBUS, EtherNet/IP

void Read_Par_Gen_PROFINET(ImageState& st);
void Read_Par_Gen_PROFIBUS(ImageState& st);
void Read_Par_Gen_EtherNetIP(ImageState& st);

void Build_Bin_PROFINET(ImageState& st);
void Build_Bin_PROFIBUS(ImageState& st);
void Build_Bin_EtherNetIP(ImageState& st);

} // namespace image
