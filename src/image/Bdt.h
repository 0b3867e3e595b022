#pragma once
// The BBMD table: the broadcast distribution table of a BACnet/IP gateway that acts as a BBMD,
// ten 12-byte entries (120 bytes) at the end of the images that carry it.
#include "image/Bank.h"

#include <QString>
#include <array>
#include <cstdint>

namespace image {

constexpr int kBdtEntries = 10;
constexpr int32_t kBdtSize = 120;

struct BdtEntry {
    uint8_t Enable = 0;
    uint16_t Port = 0;
    uint32_t IP_Address = 0;  // first part in the most significant byte
    uint32_t SubNet_Mask = 0; // same encoding
};

using BdtTable = std::array<BdtEntry, kBdtEntries>;

void Clear_BDT(BdtTable& t);
// What a file with more rows than the table has entries gives: an error, or the first ten rows.
enum class BdtExtraRows { Refuse, Ignore };
// Fills the entries from BACnet_BDT.xml at `path`; nothing when the file does not exist.
// A bad address leaves that address 0.0.0.0, a port that is not a number gives 0. Throws
// platform::UserError when the file cannot be read or, with `Refuse`, holds more rows than the
// table has entries.
void Load_BDT(BdtTable& t, const QString& path, BdtExtraRows extra = BdtExtraRows::Refuse);
// Writes the ten entries at `offset` and returns offset + 120.
int32_t Write_BDT(BankBuffer& bank, const BdtTable& t, int32_t offset);

} // namespace image
