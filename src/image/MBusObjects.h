#pragma once
// The BACnet objects of an M-Bus network: every published node state, identification number
// and variable becomes one object of the object area (entry format of the BACnet object area),
// made in four passes by kind - Analog Input, DateTime, Positive Integer, String - followed by
// four command objects. The object counts go to the general parameter record of the image.
//
// The objects are planned before anything is stored, so a network that does not fit the
// object table or the name pool is refused with a message naming the table and its limit.
#include "image/BacnetObjects.h"
#include "image/MBusModel.h"

#include <QString>
#include <cstdint>
#include <vector>

namespace image {

// Objects per kind, in the order of the passes.
struct MBusObjectCounts {
    uint32_t analogInput = 0;      // data type code 0
    uint32_t dateTime = 0;         // code 5
    uint32_t positiveInteger = 0;  // code 6
    uint32_t string = 0;           // code 7
    uint32_t command = 0;          // code 11
    uint32_t variables() const { return analogInput + dateTime + positiveInteger + string; }
};

// How the objects of one image are made.
struct MBusObjectRules {
    bool bank = false;        // the M-Bus bank: wired then wireless nodes, its wider VIFE ranges
    uint8_t descCharsLimitFlag = 0;
    uint32_t poolBase = 0;    // gateway address of pool byte 0
    uint32_t deviceInstance = 0; // names the bank's command objects
};

// Objects the passes make for the network's nodes and variables (the command objects not
// counted), capped at 1024 with the description-limit flag and at 2048 without.
uint32_t Count_MBus_Objects(const MBusNetworkModel& model, bool bank, uint8_t descCharsLimitFlag);

// Fills the object table and its name pool (cleared first), the four command objects last, and
// returns the counts. Throws platform::UserError when the objects, command objects included,
// exceed `maxEntries` or their names the name pool.
MBusObjectCounts Make_MBus_Objects(BacnetObjectTable& t, const MBusNetworkModel& model, const MBusObjectRules& rules,
                                   int maxEntries);

// Pool base of the full object area (bank2 of the BACnet/IP images), of the compact area at
// bank1 offset `a` (MS/TP image) and of the M-Bus bank's area.
uint32_t fullAreaPoolBase(uint8_t descCharsLimitFlag);
uint32_t compactAreaPoolBase(int32_t a, uint32_t objectCount);
uint32_t bankAreaPoolBase(uint8_t descCharsLimitFlag);

// The first 2048 entries (1024 with the flag) and the whole name pool at `offset`, no fill;
// returns the offset after the pool.
int32_t Write_MBus_Objects(BankBuffer& bank, const BacnetObjectTable& t, uint8_t descCharsLimitFlag, int32_t offset);
// Entries 0..n-1 and the whole pool from `a`; returns a + 16n + 34816.
int32_t Write_MBus_Objects_Compact(BankBuffer& bank, const BacnetObjectTable& t, int n, int32_t a);

} // namespace image
