#pragma once
// The image's readers of ParGen.xml: each key is read on its own, a missing key or a text that
// is not a number gives that key's default, and a flag is on only when its text is exactly "1".
#include "image/ParGenRecord.h"
#include "parameters/ParGenFile.h"

#include <QString>
#include <cstdint>
#include <optional>

namespace image {

using ParGenKeys = parameters::ParGenFile;

// Opens the project's ParGen.xml (`Path_ParGen` of the workspace) into `file`. False when the
// file does not exist; throws platform::UserError when it exists but cannot be read, so that no
// image is built from defaults the user never chose.
bool openParGen(ParGenKeys& file);

// Copies a text into a fixed field, one byte per character (the low 8 bits of its UTF-16 code
// unit), cut to the field's size and zero-filled after it.
void copyTextField(uint8_t* field, int size, const QString& text);

// The BACnet-side keys shared by the readers of the standard layout.
// "BACnet_Type" (default 0) and "BACnet_Desc_Chars_Limit" (sets the flag when exactly "1").
int32_t readBacnetTypeAndLimit(const ParGenKeys& keys, uint8_t& descCharsLimitFlag);
// "BACnet_IP1".."BACnet_GAT4" and "BACnet_EN_GAT".
void readBacnetAddress(const ParGenKeys& keys, ParGenStd& p);
// BACnet/IP: "BACnet_PORT", "BACnet_NAME_STA", "BACnet_DEV_IDE", and with `bbmdAndFdr`
// "BACnet_EN_BBMD" and "BACnet_EN_FDR".
void readBacnetIpKeys(const ParGenKeys& keys, ParGenStd& p, bool bbmdAndFdr);
// BACnet MS/TP: the "BACnet_Ser_" keys.
void readBacnetMstpKeys(const ParGenKeys& keys, ParGenStd& p);
// All of the above in the Modbus masters' order: type and limit, address, then the group of
// the BACnet type (type 0 IP, type 1 MS/TP, any other neither). Returns the BACnet type.
int32_t readBacnetSide(const ParGenKeys& keys, ParGenStd& p, uint8_t& descCharsLimitFlag, bool bbmdAndFdr);

} // namespace image
