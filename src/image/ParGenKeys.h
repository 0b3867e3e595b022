#pragma once
// The image's readers of ParGen.xml: each key is read on its own, a missing key or a text that
// is not a number gives that key's default, and a flag is on only when its text is exactly "1".
#include "image/ParGenRecord.h"
#include "parameters/ParGenFile.h"

#include <QString>
#include <array>
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

// BACnet MS/TP bit rate of a "BACnet_Ser_Baudrate" code: 0 9600, 1 19200, 2 38400, 3 57600,
// 4 76800, 5 115200, any other code 9600.
uint32_t mstpBaudRate(int32_t code);

// Defaults of the twelve keys of an address block, first part first.
struct AddressDefaults {
    std::array<int32_t, 4> ip;
    std::array<int32_t, 4> sm{255, 255, 255, 0};
    std::array<int32_t, 4> gat{192, 168, 0, 1};
};

// The address block "<prefix>IP1".."<prefix>IP4", "<prefix>SM1".., "<prefix>GAT1".. (each
// part keeps its low bits), with the gateway switched off (all 255) unless "<prefix>EN_GAT"
// is "1".
template <typename Part>
void readAddressKeys(const ParGenKeys& keys, const QString& prefix, const AddressDefaults& d,
                     std::array<Part, 4>& ip, std::array<Part, 4>& sm, std::array<Part, 4>& gat)
{
    for (size_t i = 0; i < 4; ++i)
        ip[i] = static_cast<Part>(keys.keyInt(prefix + QStringLiteral("IP%1").arg(i + 1), d.ip[i]));
    for (size_t i = 0; i < 4; ++i)
        sm[i] = static_cast<Part>(keys.keyInt(prefix + QStringLiteral("SM%1").arg(i + 1), d.sm[i]));
    for (size_t i = 0; i < 4; ++i)
        gat[i] = static_cast<Part>(keys.keyInt(prefix + QStringLiteral("GAT%1").arg(i + 1), d.gat[i]));
    if (!keys.keyFlag(prefix + QStringLiteral("EN_GAT")))
        gat = {255, 255, 255, 255};
}

// A station name key into a 16-byte name field; "devicename1" when the key is missing.
void readStationName(const ParGenKeys& keys, const char* key, std::array<uint8_t, 16>& field);

// The BACnet/IP device of every record that has one: "BACnet_PORT" (47808), "BACnet_NAME_STA"
// and "BACnet_DEV_IDE" (1) into the block's fields of those names.
template <typename Block>
void readBacnetIpDevice(const ParGenKeys& keys, Block& p)
{
    p.BACnet_Port = static_cast<uint16_t>(keys.keyInt(QStringLiteral("BACnet_PORT"), 47808));
    readStationName(keys, "BACnet_NAME_STA", p.BACnet_Device_Name);
    p.BACnet_Device_Instance = static_cast<uint32_t>(keys.keyInt(QStringLiteral("BACnet_DEV_IDE"), 1));
}

// The serial line of BACnet MS/TP: "BACnet_Ser_Baudrate" by mstpBaudRate, and the parity code
// of "BACnet_Ser_Parity" (0), whose 1 the gateway knows as 2.
struct MstpLine {
    uint32_t baudRate;
    uint16_t parity;
};
MstpLine readMstpLine(const ParGenKeys& keys);

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
