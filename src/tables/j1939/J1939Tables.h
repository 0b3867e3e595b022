#pragma once
// The J1939 frame tables (device type 13) for the table frame, and the row checks that the
// NMEA 2000 tables (tables/nmea/NmeaTables.h) share: a table of parameter groups, 62 rows
// directly in the root, the PGN column as an untrimmed key, every attribute optional (check
// boxes default to "N", the rest to empty), and a byte limit of 512 over the data bytes of all
// checked rows. The files are read by the plain readers of J1939Files.h, which also serve the
// image builder; these descriptions give the dialogs their columns and the save its format.
//
// Receive row: a data page (J1939 only), the PGN, the source address 0..239, and the bytes it
// carries: 8, or with "Transport Protocol" ticked (the cell exactly "Y") the "N° Byte" bytes from
// "Start Byte", both within 1785; with "Fast Packet" (NMEA 2000, when the transport protocol is
// not ticked) within 223. Transmit row: the priority 0..7, a data page (J1939), the PGN, the source
// address, the bytes (8, the transport protocol's "Num Byte" within the byte limit, the fast
// packet's within 223), the transmission type "On Data Change" or "On Timer" (trimmed, any case)
// and, on timer, the send timer 1..65535. The running total over the rows must stay within the
// byte limit; its message has no row prefix and ends in the limit.
//
// Start and count are added as 64-bit numbers: a count typed near the integers' end must fail
// its bound, not wrap into it.
#include "tables/frame/TableDescription.h"
#include "tables/frame/TableModel.h"

#include <QString>
#include <QStringList>
#include <functional>
#include <optional>
#include <vector>

namespace tables::j1939 {

enum class Direction { Receive, Transmit };

constexpr int kRows = 62;
constexpr int kNumBytes = 512; // NUM_BYTE_IN, NUM_BYTE_OUT

const TableDescription& j1939Table(Direction d); // TFReceiveJ1939, TFTransmitJ1939

// The shape every parameter-group table shares: the window `className`, its caption text and the
// texts after it (description, OK, Cancel, Delete Row, Insert Row), `rows` rows directly in the
// root, the version comment "SW_VERSION = 1.000", the byte limits of 512, the grid "sga" with the
// number header and the untrimmed key column given; the caller adds the columns.
TableDescription pgnTable(const char* className, int captionText, int clientWidth, int deleteText,
                          std::function<QString()> path, const char* root, int numberHeaderText, int keyColumn);

// Where a receive table's cells stand and which texts its checks give (0: the table has no such
// column or check).
struct ReceiveRules {
    int prefix;
    int dpCol, pgnCol, saCol, tpCol, fpCol, startCol, countCol;
    int pgnMax;
    int dpText, pgnText, saText, tpStartText, tpSumText, fpStartText, fpSumText, totalText;
};
struct TransmitRules {
    int prefix;
    int priorityCol, dpCol, pgnCol, saCol, tpCol, fpCol, countCol, typeCol, timerCol;
    int priorityText, dpText, pgnText, saText, tpCountText, fpCountText, totalText, typeText, timerText;
};

// One row; `total` carries the data bytes of the rows checked before it (start each check at 0).
std::optional<Failure> checkReceiveRow(const RowView& row, const ReceiveRules& rules, int& total, int numBytes);
std::optional<Failure> checkTransmitRow(const RowView& row, const TransmitRules& rules, int& total, int numBytes);

const ReceiveRules& j1939ReceiveRules();
const TransmitRules& j1939TransmitRules();
std::optional<Failure> checkJ1939Row(const RowView& row, Direction d, int& total, int numBytes = kNumBytes);

// A parameter-group table as its plain reader read it (each row's texts in column order, and the
// reader's message), in a model of `capacity` rows.
LoadResult readerLoad(const TableDescription& desc, const QString& path, int capacity,
                      const std::vector<QStringList>& texts, const QString& error);

// The file through its plain reader, as the dialog shows it.
LoadResult loadJ1939(Direction d, const QString& path, int capacity = kRows);

} // namespace tables::j1939
