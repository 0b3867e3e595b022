#pragma once
// The images of the four Modbus models: RTU master (device type 0), RTU slave (2), TCP master
// (3) and TCP slave (4). Each is one bank1 of object area, 1024 access records and the
// standard parameter record; types 0 and 2 end with the BBMD table. The routines read the
// project files through the workspace paths and throw platform::UserError on a bad file.
#include "image/ImageState.h"

namespace image {

void Build_Bin_Modbus_Master(ImageState& st);     // 0: 102,520 bytes
void Build_Bin_Modbus_Slave(ImageState& st);      // 2: 102,520 bytes
void Build_Bin_Modbus_TCP_Master(ImageState& st); // 3: 102,400 bytes
void Build_Bin_Modbus_TCP_Slave(ImageState& st);  // 4: 102,400 bytes

// ParGen.xml into the standard parameter block: the model constants first, then (when the file
// exists) the BACnet-side keys and the model's own keys.
void Read_Par_Gen_Modbus_Master(ImageState& st);
void Read_Par_Gen_Modbus_Slave(ImageState& st);
void Read_Par_Gen_Modbus_TCP_Master(ImageState& st);
void Read_Par_Gen_Modbus_TCP_Slave(ImageState& st);

} // namespace image
