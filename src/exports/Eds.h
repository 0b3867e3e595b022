#pragma once
// The CANopen EDS file (CiA 306, EDS version 4.0) of the CANopen gateway (device type 8): the
// fixed communication objects, one receive or transmit PDO per row of the project's PDO table
// with the application objects they map byte by byte, and one manufacturer object per index of
// the SDO server table. Windows-1252 text with CR LF lines.
#include <QDateTime>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <vector>

namespace exports {

// A PDO of the table: its COB-ID and its length in bytes (1..8).
struct PdoSlot {
    int32_t cobId = 0;
    int32_t dimension = 8;
};
struct PdoTable {
    std::vector<PdoSlot> receive;  // at most kMaxPdos each
    std::vector<PdoSlot> transmit;
};
constexpr int kMaxPdos = 30;

struct SDO_Sub_Type {
    uint8_t Sub = 0;
    uint8_t Quantity = 0; // bytes: 1, 2 or 4
    bool Readonly = false;
};
struct SDO_Index {
    uint16_t Index = 0;
    std::vector<SDO_Sub_Type> Sub_Indexs;
};
using SdoList = std::vector<SDO_Index>;

// The PDO table (`Path_PDO_CANopen`): the first kMaxPdos `row` elements of each section. Throws
// platform::UserError naming the row when a Dimension is outside 1..8, or when the file cannot
// be read.
PdoTable Read_PDO_Table();
// The SDO server table (`Path_SDO_Server_CANopen`), read rows before write rows, one entry per
// index in the order of first appearance. Throws platform::UserError naming the row when a value
// is missing, not a whole number or out of range, or when one index and sub-index come twice.
SdoList Read_SDO_Server_Table();
// Appends a sub-index to the entry of `index`, or a new entry.
void Add_SDO_Entry(SdoList& list, uint16_t index, uint8_t sub, uint8_t quantity, bool readonly);
// Sorts the sub-indexes of every entry by Sub; equal ones keep their order.
void Sort_SDO_Sub_Indexes(SdoList& list);

// "hh:mmAM" on a 12-hour clock (00:15 is 12:15AM, 12:30 is 12:30PM).
QString edsTime(const QTime& t);
// "MM-dd-yyyy".
QString edsDate(const QDate& d);

QStringList edsLines(const PdoTable& pdos, const SdoList& sdos, const QDateTime& now);

// Reads both tables, then writes the file, its dates from the program's clock. Throws
// platform::UserError, with nothing written, on a bad table or a file that cannot be written.
void Write_EDS_File(const QString& fileName);

} // namespace exports
