#pragma once
// The KNX access table of the KNX models (device types 16 and 2016, KNX_SetAccess.xml) as data:
// its description for the table frame, the load step of its own and its row check.
//
// The file's root holds the section "KNX_in_Read", always written empty and never read, and the
// section "KNX_in_Write" with the rows of the one grid: 512 rows, key Source Add, enable column 1.
// A checked row needs an individual source address, a destination in the form its text names
// (with "." an individual address, else a group address), an APCI ("Read", "Write" or 0..1023),
// a priority, a format, a poll time when it is sent on a timer, and data that lie inside the
// gateway's 1439 bytes: a start byte, "No" (bytes) or a start bit 0..7 (bits), and a length
// that the frame can carry (14 bytes or 112 bits, extended 255 bytes or 2040 bits).
//
// The check boxes, APCI and the bit mode are read in any letter case and untrimmed, as the image
// builder reads them; the enable column trimmed and in any case, as the builder does.
#include "tables/frame/TableDescription.h"
#include "tables/frame/TableModel.h"

#include <QString>
#include <optional>

namespace tables::knx {

enum KnxColumn {
    KnxEnable = 1, KnxSource, KnxDestination, KnxApci, KnxPriority, KnxFormat, KnxExtended, KnxReTest,
    KnxOnCommand, KnxOnChange, KnxOnTimer, KnxPollTime, KnxPosition, KnxBitMode, KnxLength, KnxMnemonic
};

constexpr int kKnxBytes = 1439; // the gateway's byte area

TableDescription knxAccessTable(); // TFKNXAccess

// A loaded priority shows as one of "System", "Urgent", "Normal", "Low": the list's own text
// when it names one of them in any letter case (blanks around it ignored), else "Normal".
QString shownPriority(const QString& loaded);
// The load's last step: the priority of every row read from the file (rows 1 .. rowsRead) as
// shownPriority gives it; fresh rows keep their empty priority.
void normalisePriorities(TableModel& model, int rowsRead);
// The table file loaded as the dialog shows it.
LoadResult loadKnxTable(const TableDescription& desc, const QString& path);

std::optional<Failure> checkKnxRow(const RowView& row);

} // namespace tables::knx
