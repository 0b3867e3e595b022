#pragma once
// The Modbus master access tables of device types 0 (RTU master, ModbusM_SetAccess.xml) and
// 3 (TCP master, ModbusTCPM_SetAccess.xml): their descriptions for the table frame and their
// row checks. Section 0 is "Modbus Read", section 1 "Modbus Write"; the key is the slave
// address (RTU) or the slave's IP address (TCP), both 2000 rows, byte limits 1439 fixed.
//
// The checks run in the order the user reads the row, the first failure giving the message;
// numbers follow the program's integer rule with -1 for text that is not one, "Type" and
// "Start Bit" are tested untrimmed (blanks count as a choice). In the read grid "COIL STATUS"
// and "INPUT STATUS" (trimmed, upper case) are bit types, in the write grid "COIL STATUS";
// every other text is a register type. The last byte a request fills is Position + 2 x NPoint
// - 1 for registers, Position + (NPoint + Start Bit - 1) div 8 for bits; it must lie below the
// byte limit.
#include "tables/frame/TableModel.h"
#include "tables/frame/TableDescription.h"

#include <QString>
#include <optional>

namespace tables::modbus {

enum Section { Read = 0, Write = 1 };

const TableDescription& setAccessTable();    // TFSetAccess, RTU master
const TableDescription& setAccessTcpTable(); // TFSetAccessTCP, TCP master

std::optional<Failure> checkSetAccessRow(const RowView& row, const ByteLimits& limits);
std::optional<Failure> checkSetAccessTcpRow(const RowView& row, const ByteLimits& limits);

// True when the text is not a dotted IPv4 address: four parts, each an integer 0..255, parts
// not trimmed ("192.168.001.010" passes, "1..2.3" and a trailing blank do not).
bool Check_IP_Address(const QString& text);

} // namespace tables::modbus
