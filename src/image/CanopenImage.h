#pragma once
// The image of the CANopen model (device type 8): bank1 = BACnet object area, the SDO server
// read and write tables, the standard parameter record (still at 0x18800), the SDO client read
// and write tables, the receive and transmit PDO tables and the BBMD table; 127,096 bytes.
// Every table is written whole, 32 bytes an entry.
#include "image/Bank.h"
#include "image/ParGenRecord.h"

#include <QString>
#include <array>
#include <cstdint>

namespace image {

struct ImageState;

constexpr int32_t kCanopenBankLength = 127096;
constexpr int32_t kCanopenEntrySize = 32;

enum class CanopenTable { SdoServerRead, SdoServerWrite, SdoClientRead, SdoClientWrite, PdoReceive, PdoTransmit };
constexpr int kCanopenTables = 6;

// Entries of each table, in the order of CanopenTable.
constexpr std::array<int, kCanopenTables> kCanopenCapacity{512, 512, 256, 256, 128, 128};
constexpr int kCanopenEntries = 512 + 512 + 256 + 256 + 128 + 128;

struct CanopenEntry {
    uint32_t Cob_Id = 0;    // PDO
    uint16_t Index = 0;     // SDO
    uint8_t SubIndex = 0;   // SDO
    uint8_t Device_ID = 0;  // SDO client
    uint32_t Time = 0;      // client poll time, PDO time-out or send time
    // Words at entry offset 12 and 20: a PDO's data-byte positions 1..8; an SDO entry keeps
    // 0 in the first four and its positions 1..4 in the last four. 0xFFFF in unused entries.
    std::array<uint16_t, 8> Word{0xFFFF, 0xFFFF, 0xFFFF, 0xFFFF, 0xFFFF, 0xFFFF, 0xFFFF, 0xFFFF};
    uint8_t Size = 0; // SDO "NByte", PDO "Dimension"
    uint8_t Mode = 0; // read or receive 0, write or transmit 1, on change 3
};

struct CanopenTables {
    std::array<CanopenEntry, kCanopenEntries> entries{};
    std::array<uint32_t, kCanopenTables> count{};

    CanopenEntry* table(CanopenTable which);
    const CanopenEntry* table(CanopenTable which) const;
};

struct CanopenPaths {
    QString sdoServer, sdoClient, pdo;
};

void Clear_CANopen_Tables(CanopenTables& t);
// Fills the six cleared tables from the three files and their counts into the record. Throws
// platform::UserError when a file cannot be read, lacks one of its two sections, a needed number
// is missing or not a whole number, or a section holds more rows than its table (counted before
// any of the file's rows is taken); the record's counts are then not set.
void Load_CANopen_Tables(CanopenTables& t, ParGenStd& p, const CanopenPaths& paths);
// Writes every entry of one table (its whole capacity) at `offset`; returns the offset after it.
int32_t Write_CANopen_Table(BankBuffer& bank, const CanopenTables& t, CanopenTable which, int32_t offset);

// CANopen bit rate of a "CANopen_BAUDRATE" code (unknown codes 1000000).
uint32_t canopenBitRate(int32_t code);

void Read_Par_Gen_CANopen(ImageState& st);
void Build_Bin_CANopen(ImageState& st);

} // namespace image
