#pragma once
// The DeviceNet master's network table (DNETM_Net.xml, device type 10) for the table frame, and
// what the offsets dialog shows beside the files of DeviceNetFiles.h.
//
// Network table: 64 rows directly in the root "DNET_Net", the `ID` column as an untrimmed key
// (a cell of blanks is a used row), all four attributes required; read through readNetTable.
// Checks in order, numbers by the program's integer rule with -1 for text that is not one: ID
// 0..63, NB_IN 0..65535, NB_OUT 0..65535. Two rows may name the same ID.
//
// The offsets file ties its "Nodo_DNET" elements to the network's rows by position alone. When
// Insert Row or Delete Row has moved rows and OK saves the network, the network dialog moves the
// offsets file's nodes with them (moveOffsetNodes), so no slave takes another's offsets; the
// offsets dialog warns before it shows a file whose node count differs from the slave count.
#include "tables/devicenet/DeviceNetFiles.h"
#include "tables/frame/TableDescription.h"
#include "tables/frame/TableModel.h"

#include <optional>

namespace tables::devicenet {

const TableDescription& dnetTable(); // TFDNet
std::optional<Failure> checkDNetRow(const RowView& row);

// The network file through readNetTable, as the dialog shows it; `net` gets what was read.
LoadResult loadDNet(const QString& path, NetTable* net = nullptr);

// The error box of an output clash: texts 810, a line feed and a carriage return, "( ", 811, the
// first ID, 812, its byte, 813, the second ID, 814, its byte, ")". A position outside the byte
// array (never loaded, never offered) gets a message of our own:
//   "Error in ByteOUT! The position <p> of ID <id> Byte <b> lies outside the BACnet array (0 to 5999)."
QString clashMessage(const OffsetClash& clash);

// The warning shown before the offsets when their node count differs from the slave count;
// empty when they agree.
QString nodeCountWarning(int nodes, int slaves);

// After the network table was saved with one row per entry of `origins` (each the 0-based row of
// `before`, the network as it was read, RowOrigins::kNew for a row inserted since): the offsets
// file's nodes move the same way, an inserted slave getting an empty node. Nothing happens when
// the offsets file is missing or either file could not be read whole. False with the message
// when the offsets file cannot be written.
bool moveOffsetNodes(const NetTable& before, const QString& netFile, const QString& defOffPath,
                     const std::vector<int>& origins, QString* error);

} // namespace tables::devicenet
