#pragma once
// The SNMP tables as data: the manager table of the SNMP manager model (device type 19,
// SNMP_Manager.xml) and the trap table of the SNMP agent model (device type 17, SNMP_Trap.xml).
// Descriptions for the table frame and their checks; the dialogs (tables/snmp/window) show them.
//
// Manager table: one grid, the rows directly in the root, 496 rows, key IP Address, enable
// column 1. A checked row needs a valid IPv4 address and object identifier, a Time when it is
// sent on a timer, a byte count 0..1024 and a conversion; a version-3 row also a user name, two
// pass phrases of 8 to 15 letters and digits and a security level with the modes it names.
//
// Trap table: two grids ("SNMP Read", "SNMP Write") of 256 rows, key Community Name, enable
// column 1, column 0 numbering the enabled rows. Community names and descriptions are letters
// and digits (a description starts with a lower-case letter); the descriptions of all checked
// rows of both grids must differ, since the MIB names its objects after them.
//
// The enable column and the timer flag are read trimmed and in any letter case, as the image
// builder reads them, so that every row the builder takes has been checked.
#include "tables/frame/TableDescription.h"
#include "tables/frame/TableModel.h"

#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

namespace tables::snmp {

// --- manager table -------------------------------------------------------------------------------

enum ManagerColumn {
    MgrEnable = 1, MgrIp, MgrVersion, MgrCommunity, MgrOid, MgrType, MgrMode, MgrOnChange, MgrOnCommand,
    MgrOnTimer, MgrTime, MgrPosition, MgrNumBytes, MgrConvert, MgrUser, MgrAuthPass, MgrPrivPass,
    MgrSecurityLevel, MgrAuthMode, MgrPrivMode, MgrMnemonic
};

TableDescription managerTable(); // TFSNMPManagerAccess
std::optional<Failure> checkManagerRow(const RowView& row);

// --- trap table ----------------------------------------------------------------------------------

enum TrapSection { TrapRead = 0, TrapWrite = 1 };
// Columns of the read grid; the write grid lacks the trigger columns and the IP address.
enum TrapReadColumn {
    TrEnable = 1, TrCommunity, TrType, TrOnChange, TrOnCommand, TrOnTimer, TrTime, TrPosition, TrBit, TrNumBits,
    TrDescription, TrIp, TrConversion, TrMnemonic
};
enum TrapWriteColumn {
    TwEnable = 1, TwCommunity, TwType, TwPosition, TwBit, TwNumBits, TwDescription, TwConversion, TwMnemonic
};

TableDescription trapTable(); // TFSNMP_Trap_Access

// True when the text breaks the naming rule: `checkType` 0 (community names) allows the ASCII
// letters and digits only; 1 (descriptions) also wants a lower-case first letter. The empty
// text passes both.
bool Check_Error_CommName_Desc(const QString& text, int checkType);

std::optional<Failure> checkTrapRow(const RowView& row);
// After the rows: the descriptions of the checked rows of both grids must all differ (text
// 2080, no row prefix).
std::optional<Failure> checkTrapDescriptions(const TableDescription& desc, const TableModel& model);
// The whole check of the trap table: rows, then descriptions.
CheckResult checkTrapTable(const TableDescription& desc, const TableModel& model);

// Column 0 of a trap grid (`Index_Row_Build`): the n-th row whose Enable, in upper case, is "Y"
// shows n; the others show nothing. `enable` holds the Enable cell of rows 1, 2, ...
QStringList Index_Row_Build(const QStringList& enable);

} // namespace tables::snmp
