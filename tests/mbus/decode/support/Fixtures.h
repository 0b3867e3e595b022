#pragma once
// Small generators of the bytes a scan meets: long reply frames, record areas and wireless
// telegrams of every CI layout, encrypted with a known key where asked.
#include "AesForward.h"
#include "mbus/decode/Meters.h"

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace mbustest {

struct Addr {
    uint16_t manufacturer = 0x2C2D; // KAM
    uint32_t id = 0x12345678;
    uint8_t version = 1;
    uint8_t deviceType = 7;         // medium of a wired meter
};

// A few records of a water meter: an 8-digit BCD volume, a 6-digit BCD flow, a 16-bit flow
// temperature and a type F date.
inline constexpr const char* kMeterRecords = "0C 13 78 56 34 12 0B 3B 45 02 00 02 5A 2C 01 04 6D 1E 0C BF 2A";

// RSP_UD: 68 L L 68 08 A 72, identification, manufacturer, version, medium, access number,
// status, signature, the records, CS 16.
std::vector<uint8_t> longFrame(uint8_t address, const Addr& a, std::span<const uint8_t> records);

enum class Layout { Short7A, Long72, Ext8C_78, Ext8C_7A, Ext8C_72, Ext8D_78, Ext8D_7A, Ext8D_72, Ext8F_7A };

struct TelegramRecipe {
    Addr link;
    Addr app{0x1596, 0x87654321, 3, 4}; // the application-layer address of the long header
    uint8_t c = 0x44;
    uint8_t access = 0x2A;
    uint8_t mode = 0;                   // security mode of the configuration field
    bool encrypt = false;               // mode 5: encrypt the records (after 2F 2F) with key
    Key key{};
    std::vector<uint8_t> records;
    uint8_t rssi = 0x50;
    mbus::decode::TRadioModule module = mbus::decode::TRadioModule::rmTelit;
};

// The telegram as the radio module delivers it: L field, link layer, the layout's headers,
// the records, and the module's two trailing bytes, the last the RSSI. In mode 5 the records
// follow 2F 2F and are padded with 2F to whole blocks, whose count the configuration field
// gives; with encrypt the blocks are AES-128-CBC with IV = M, identification, version, device
// type and eight times the access number.
std::vector<uint8_t> telegram(Layout layout, const TelegramRecipe& s);

Key testKey();

// Every fixture by name, for the mutation test and the fuzz seeds: the first byte selects the
// decoder as the fuzz harness reads it.
struct Seed {
    std::string name;
    std::vector<uint8_t> bytes;
};
std::vector<Seed> seeds();

} // namespace mbustest
