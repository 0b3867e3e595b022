#pragma once
// The images of the SNMP models. Agent (device type 17): bank1 = BACnet object area, the
// general parameter record in the SNMP layout, the read-trap and the write-trap table (256
// entries of 48 bytes each); 94,208 bytes. Manager (19): object area, the record and the
// manager table (496 entries of 128 bytes); 133,120 bytes.
#include "image/Bank.h"
#include "image/ParGenSnmp.h"

#include <QString>
#include <array>
#include <cstdint>

namespace image {

struct ImageState;

constexpr int kSnmpTrapEntries = 256;
constexpr int32_t kSnmpTrapEntrySize = 48;
constexpr int kSnmpManagerEntries = 496;
constexpr int32_t kSnmpManagerEntrySize = 128;
constexpr int32_t kSnmpAgentBankLength = 94208;
constexpr int32_t kSnmpManagerBankLength = 133120;

struct SnmpTrapEntry {
    uint16_t Position = 0;
    uint16_t Bit = 0;
    uint16_t NumBits = 0; // bits for the integer type, bytes times 8 otherwise
    uint8_t Conversion = 0;
    uint8_t Flags = 0;    // 1 on change, 2 on command, 4 on timer, 8 integer type
    uint32_t Time = 0;
    std::array<uint8_t, 16> Community_Name{};
    std::array<uint8_t, 16> Description{};
    uint32_t IP_Address = 0; // first part in the most significant byte
};

struct SnmpTrapTables {
    std::array<SnmpTrapEntry, kSnmpTrapEntries> read{};
    std::array<SnmpTrapEntry, kSnmpTrapEntries> write{};
};

struct SnmpManagerEntry {
    uint32_t Time = 0;
    uint32_t IP_Address = 0; // first part in the most significant byte
    uint32_t Flags = 0;
    std::array<uint8_t, 16> Community{}; // the user name for SNMPv3
    std::array<uint8_t, 16> Auth_Pass{};
    std::array<uint8_t, 16> Priv_Pass{};
    uint16_t Position = 0;
    uint8_t Conversion = 0;
    uint8_t Mode = 0; // 0 GET, 1 SET, 2 any other
    uint8_t Number_Bytes = 0;
    std::array<uint8_t, 62> OID{};
};

using SnmpManagerTable = std::array<SnmpManagerEntry, kSnmpManagerEntries>;

// Conversion codes of the trimmed, upper-cased text: "FLOAT" 1, "FLOAT * 10" 2, "FLOAT * 100" 3,
// and for the traps also "FLOAT / 10" 4, "FLOAT / 100" 5; anything else 0.
uint8_t SNMP_Conversion_Code(const QString& text);
uint8_t SNMP_Manager_Conversion_Code(const QString& text);

void Load_ParGen_SNMP_Agent(ImageState& st);
void Load_ParGen_SNMP_Manager(ImageState& st);

void Clear_SNMP_Traps(SnmpTrapTables& t);
// Enabled rows of "SNMP_Trap_Read" and "SNMP_Trap_Write" into cleared tables (256 of each at
// most; further rows are ignored); a missing section gives no rows. Sets the record's trap
// counts and addresses. Throws platform::UserError when the file cannot be read.
void Load_SNMP_Traps(SnmpTrapTables& t, ParGenSNMP& p, const QString& path);
int32_t Write_SNMP_Traps(BankBuffer& bank, const SnmpTrapTables& t, int32_t offset);

void Clear_SNMP_Manager(SnmpManagerTable& t);
// Enabled rows of SNMP_Manager.xml into a cleared table (496 at most; further rows are ignored).
// Sets the record's row count and table address. Throws platform::UserError when the file
// cannot be read or a row's "Number_Bytes" does not fit its byte; the count is then not set.
void Load_SNMP_Manager(SnmpManagerTable& t, ParGenSNMP& p, const QString& path);
int32_t Write_SNMP_Manager(BankBuffer& bank, const SnmpManagerTable& t, int32_t offset);

void Build_Bin_SNMP_Agent(ImageState& st);
void Build_Bin_SNMP_Manager(ImageState& st);

} // namespace image
