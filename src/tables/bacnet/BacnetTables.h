#pragma once
// The BACnet side's tables as data: the object table of the Modbus master models (device types
// 0 and 3), the object table of the fieldbus-slave models (one file per device type, with the
// `Swap` column), and the broadcast distribution table of the BACnet/IP models. Descriptions,
// byte limits and row checks; the dialogs (tables/bacnet/window) show them.
//
// The object tables place each object in the gateway's byte areas: a start byte (`Position`),
// a start bit for binary objects and a length in bytes; an object must end inside its area.
// Both pages together hold at most one page's capacity of objects: 2000, or 1000 when the
// general parameters limit the object descriptions (`BACnet_Desc_Chars_Limit`).
//
// The write page's Length is typed by the user on the KNX, DMX and SNMP manager models (16, 18,
// 19), and there it has rules by type: 1..4 bytes, 1..8 for "Large Analog Value", 1 for "Access
// Door", 1..50 for "Octet String". (The KNX model gets them too: a typed length without a rule
// could make an object end before it starts, or run over into the next one.)
//
// Fixed English messages of our own (the UI-text table has none for them), after the row
// prefix:
//   "!! [BACnet in Read] Length with variable "<type>" must be 1 or more"
// for an "Integer Value", "Octet String" or "CharacterString Value" object on the read page whose
// Length is below 1 or not a number, since such an object would otherwise end before it starts
// and occupy no byte at all, and the same with "[BACnet in Write]" for a "CharacterString Value"
// of the KNX model's write page;
//   "!! [BACnet in Read] Length with variable "<type>" must be a number"
//   "!! [BACnet in Write] Length with variable "<type>" must be a number"
// for a binary object whose Length (otherwise not checked) is not a whole number, after its
// Start Bit check: the image builder stores every object's Length and would stop Update Device
// at such a row (the write page of the fieldbus-slave table; the Modbus master table's write
// page already wants exactly 1 there).
#include "tables/frame/TableModel.h"
#include "tables/frame/TableDescription.h"

#include <QString>
#include <optional>

namespace parameters {
class ParGenFile;
}

namespace tables::bacnet {

// --- object tables ---------------------------------------------------------------------------

enum Page { ReadPage = 0, WritePage = 1 };

// Data columns of the object tables.
enum ObjColumn { ColType = 1, ColEngUnit = 2, ColPosition = 3, ColBit = 4, ColLength = 5 };
// The fieldbus-slave table has `Swap` in column 6 and `Mnemonic` in column 7; the Modbus master
// table `Mnemonic` in column 6.
constexpr int kColSwap = 6;

// Device types 0 and 3: `TFBACnetSetAccess` (the version comment follows the device type).
TableDescription bacnetSetAccessTable();
// The fieldbus-slave models: `TFBACnetSetAccess_ModSlave`. Lists, widths and the shown columns
// depend on the device type.
TableDescription bacnetModSlaveTable(int converterType);

// The fixed length in bytes of a write object type (trimmed, any case): 4, 1 or 8; -1 for
// "Octet String" (1..50); 0 for any other text.
int CheckLengthData(const QString& type);

// The Length text written when the user picks a write object type; no value when the pick
// changes nothing. `modSlave` adds "CharacterString Value".
std::optional<QString> lengthForPickedType(const QString& picked, bool modSlave);

// True when the general parameters set `BACnet_Desc_Chars_Limit` to exactly "1" (`Desc_Lenght`);
// a missing or unreadable file gives false.
bool descLimitSet(const parameters::ParGenFile& parGen);
inline int objectCapacity(bool descLimit) { return descLimit ? 1000 : 2000; }

// Byte limits of the fieldbus-slave table: fixed by device type, four models read them from the
// general parameters (a missing key, one that is not a number, or a number outside 1..1440 -
// 1..512 for the DMX channels - keeps the fixed number).
ByteLimits modSlaveByteLimits(int converterType, const parameters::ParGenFile& parGen);
// DMX (device type 18): the direction key `DMX_DMX`, 1 when missing; not 0 shows only the write
// page, 0 only the read page.
int dmxDirection(const parameters::ParGenFile& parGen);
bool modSlaveShowsSwap(int converterType);
bool modSlaveWriteLengthEditable(int converterType);

// Row checks. `limits` are the byte limits of this showing.
std::optional<Failure> checkBacnetSetAccessRow(const RowView& row, const ByteLimits& limits);
std::optional<Failure> checkBacnetModSlaveRow(const RowView& row, int converterType, const ByteLimits& limits);
// Both pages together within one page's capacity (text 1154 and the maximum, no row prefix).
std::optional<Failure> checkObjectCount(const std::vector<int>& checked, int capacity);

// --- broadcast distribution table ------------------------------------------------------------

enum BdtColumn { BdtEnable = 1, BdtIp = 2, BdtMask = 3, BdtPort = 4, BdtMnemonic = 5 };

TableDescription bdtTable();
std::optional<Failure> checkBdtRow(const RowView& row);

} // namespace tables::bacnet
