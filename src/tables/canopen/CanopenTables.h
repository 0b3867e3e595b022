#pragma once
// The tables of the CANopen model (device type 8) as data: the SDO server table
// (SDO_Server_CANopen.xml, 2 x 500 rows), the SDO client table (SDO_Client_CANopen.xml,
// 2 x 256 rows) and the PDO table (PDO_CANopen.xml, 2 x 30 rows), all under the root
// "EtherNetIP_to_SDO_CANopen" and without a version comment. Section 0 is the read (receive)
// page, section 1 the write (transmit) page; the key is column 1, trimmed. The byte limits are
// 6000 on both pages: the address columns take the BACnet byte positions 0 .. 5999.
//
// Row checks, in order, numbers by the program's integer rule with -1 for text that is not one:
//   server  Index 0x2000..0x5FFF, SubIndex 0..255, N Byte 1, 2 or 4, Add Byte1 and, as far as
//           N Byte reaches, Add Byte2 .. 4 within the page's limit
//   client  ID Device 1..127, Index 0x1000..0xFFFF, SubIndex, N Byte, Poll Time 1..100000000,
//           then the addresses as the server's
//   PDO     COB-ID 0..0x7FF, Dimension 1..8, Add B1 .. Add B<Dimension>, then TimeOut 0..65535
//           (receive) or Send Time 1..100000000 (transmit)
// An address message ends in the limit less one ("... must be between 0 and 5999").
#include "tables/frame/TableDescription.h"
#include "tables/frame/TableModel.h"

#include <optional>

namespace tables::canopen {

enum Page { ReadPage = 0, WritePage = 1 };

constexpr ByteLimits kByteLimits{6000, 6000};

const TableDescription& sdoServerTable(); // TFSet_SDO_Server_Access
const TableDescription& sdoClientTable(); // TFSet_SDO_Client_Access
const TableDescription& pdoTable();       // TFSet_PDO_Access

std::optional<Failure> checkSdoServerRow(const RowView& row, const ByteLimits& limits);
std::optional<Failure> checkSdoClientRow(const RowView& row, const ByteLimits& limits);
std::optional<Failure> checkPdoRow(const RowView& row, const ByteLimits& limits);

} // namespace tables::canopen
