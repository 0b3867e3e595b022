#pragma once
// The BACnet object area at the start of bank1: 16-byte object entries grouped by data type
// code, then the pool of zero-terminated object names, 67,584 bytes in all. The table holds
// 2047 objects with names of up to 16 characters, or 1023 objects with names of up to 32 when
// the description-limit flag is set.
#include "image/Bank.h"
#include "image/ParGenRecord.h"

#include <QString>
#include <array>
#include <cstdint>
#include <string_view>

namespace image {

constexpr int kObjectEntryCapacity = 2048;
constexpr int32_t kObjectEntrySize = 16;
constexpr int32_t kMnemonicPoolSize = 0x8800;
constexpr int32_t kObjectAreaSize = 0x10800;

struct BacnetObjectEntry {
    uint32_t Position = 0;
    uint16_t Eng_Unit = 0;
    uint8_t Length = 0;
    uint8_t Flags = 0; // bit 0: written from BACnet; bit 1: swap
    uint32_t Mnemonic_Address = 0;
    uint16_t Row_Number = 0;
    uint8_t Bit = 0;
};

struct BacnetObjectTable {
    std::array<BacnetObjectEntry, kObjectEntryCapacity> entries{};
    std::array<uint8_t, kMnemonicPoolSize> pool{}; // byte 0 stays 0: the empty name
    uint32_t Object_Base_Address = 0x4F800;
    int count = 0;    // entries filled
    int poolNext = 1; // next free pool byte
};

// Entries in the image: 2047, or 1023 with the description-limit flag.
int objectTableSize(uint8_t descCharsLimitFlag);
// Longest object name: 16 characters, or 32 with the flag.
int objectNameLimit(uint8_t descCharsLimitFlag);
// Gateway address at which bank1 is loaded.
uint32_t objectBaseAddress(int32_t converterType);
// Data type code (0..18) of an object type text, compared in upper case; -1 for any other text.
int objectTypeCode(const QString& dataType);
int objectTypeCode(std::string_view dataType);

void Clear_BACnet_Objects(BacnetObjectTable& t);

enum class ObjectSections { Both, ReadOnly, WriteOnly };

// Fills the table from the BACnet object table file at `path` and adds one to `counts` of each
// object's code. Nothing is read when the file does not exist. Throws platform::UserError when
// the file cannot be read, a section to be read is missing, an object's "Eng_Unit", "Position"
// or "Length" is not a whole number, or the file holds more objects than the image has room
// for (the table is then left empty and nothing is counted).
void Load_BACnet_Objects(BacnetObjectTable& t, std::array<uint32_t, kObjectTypeCodes>& counts,
                         uint8_t descCharsLimitFlag, int32_t converterType, const QString& path,
                         ObjectSections sections = ObjectSections::Both);

// Writes the whole area at `offset` and returns offset + 67,584.
int32_t Write_BACnet_Objects(BankBuffer& bank, const BacnetObjectTable& t, uint8_t descCharsLimitFlag,
                             int32_t offset);

} // namespace image
