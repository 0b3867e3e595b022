#pragma once
// The image of the KNX models (device types 16 and 2016): bank1 = BACnet object area, the KNX
// table (512 records of 20 bytes, one per enabled row of the section "KNX_in_Write") and the
// general parameter record in the KNX/DMX/DeviceNet layout; 79,872 bytes.
#include "image/Bank.h"
#include "image/ParGenKnxDmxDnet.h"

#include <QString>
#include <array>
#include <cstdint>

namespace image {

struct ImageState;

constexpr int kKnxRecords = 512;
constexpr int32_t kKnxRecordSize = 20;
constexpr int32_t kKnxBankLength = 79872;

struct KnxRecord {
    uint32_t Poll_Time = 0;
    uint8_t Priority = 0;
    uint8_t Length = 0;
    uint16_t Flags = 0; // trigger and frame bits, and the format code in bits 12..15
    uint16_t APCI = 0;
    uint16_t Source_Address = 0;
    uint16_t Destination_Address = 0;
    uint16_t Position = 0; // byte position, or bit position in bit mode
};

using KnxTable = std::array<KnxRecord, kKnxRecords>;

// 16-bit form of a KNX address text. Group form (`group`): "main/middle/sub" or "main/sub";
// individual form: "area.line.device" (a missing middle part is 0). A text without the
// separator is read as a number. Parts are trimmed; an empty or non-numeric part is 0.
uint32_t KNX_Address_Code(const QString& text, bool group);
// The gateway's own individual address ("KNX_ID_DEV"): "area.line.device" with the defaults
// 1, 1 and 20 for empty or non-numeric parts; a text without "." is a number (default 0x1114).
uint32_t KNX_Physical_Address_Code(const QString& text);

void Clear_KNX_Tables(KnxTable& t);
// Fills a cleared table from KNX_SetAccess.xml and sets the two KNX counts of the record.
// Throws platform::UserError when the file cannot be read, lacks the section "KNX_in_Write", a
// row lacks an attribute the record needs, or it has more enabled rows than the table's 512
// records (counted before any record is filled).
void Load_KNX_Table(KnxTable& t, ParGenKDD& p, const QString& path);
int32_t Write_KNX_Table(BankBuffer& bank, const KnxTable& t, int32_t offset);

void Read_Par_Gen_KNX(ImageState& st);
void Build_Bin_KNX(ImageState& st);

} // namespace image
