#pragma once
// The NMEA 2000 frame tables (device type 14) for the table frame: built like the J1939 tables
// (tables/j1939/J1939Tables.h), whose row checks they share, with no data page, a "Fast Packet"
// column (a parameter group of up to 223 bytes) and PGNs up to 0x1FFFF in both directions. Both
// files have the root "Receive_NMEA_2000" and are read by the plain readers of NmeaFiles.h.
#include "tables/frame/TableDescription.h"
#include "tables/frame/TableModel.h"
#include "tables/j1939/J1939Tables.h"

namespace tables::nmea {

using tables::j1939::Direction;
using tables::j1939::kNumBytes;
using tables::j1939::kRows;

const TableDescription& nmeaTable(Direction d); // TFReceiveNMEA, TFTransmitNMEA

const j1939::ReceiveRules& nmeaReceiveRules();
const j1939::TransmitRules& nmeaTransmitRules();
std::optional<Failure> checkNmeaRow(const RowView& row, Direction d, int& total, int numBytes = kNumBytes);

// The file through its plain reader, as the dialog shows it.
LoadResult loadNmea(Direction d, const QString& path, int capacity = kRows);

} // namespace tables::nmea
