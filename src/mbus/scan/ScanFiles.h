#pragma once
// What the scan writes of the meters it found.
//
// Scan result files, written at the end of a scan when the engine is given a file name:
// "SCAN_M-Bus_Wired" (one "Node" per wired meter) and "SCAN_M-Bus_Wireless" (one "Node" per
// wireless meter), each with one "Variable" per record as the scan saw it.
//
// The project's M-Bus network (M_Bus.xml, root "M-Bus_Network", "Nodo" elements with
// "Variabile" children, no version comment), written on the user's demand, in the network
// editor's format with the scan's own additions: the attributes "ID", "Secondary_address",
// "ModReg", "ModScale", "SWAP", and for device codes 4 and 7 one "Group" element holding the
// nodes. Records are numbered as Modbus registers from TSaveConfXML::Mod_Start (or per node
// from SMN_Array), each taking the registers of its data width.
//
// Every file is written whole through a temporary file; a file that cannot be loaded (to append
// to) or saved raises platform::UserError, and nothing is written then.
#include "mbus/scan/ScanTypes.h"

#include <QString>

#include <cstdint>
#include <vector>

namespace mbus::scan {

// "Dim" (data-width code) and registers of a record by its data field (DIF bits 0-3); a
// variable-length record takes (nbyte + 1) / 2 registers, a half rounded to the even neighbour.
int32_t recordDim(int dataField);
int32_t recordRegisters(int dataField, int32_t nbyte);

void Save_XML_File_DLL(const std::vector<TSlave_MBus>& meters, const QString& file);
void Save_Wireless_XML_File_DLL(const std::vector<TSlave_wMBus>& meters, const QString& file);

// False, writing nothing, when there is no meter; true once the file is saved. `checks` gives
// the window's tree check marks of wired meters and records (none: all checked).
bool Save_XML_Conf_Wired(const std::vector<TSlave_MBus>& meters, const TSaveConfXML& DataIn, bool Check_BCD,
                         const TreeChecks& checks = {});
bool Save_XML_Conf_Wireless(const std::vector<TSlave_wMBus>& meters, const TSaveConfXML& DataIn, bool Check_BCD);

} // namespace mbus::scan
