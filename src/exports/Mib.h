#pragma once
// The SNMP MIB module (SMIv2 text) of the SNMP agent gateway (device type 17): a fixed part
// (module identity, the maker's subtree, counters, eight input and eight output data blocks)
// and, from the project's SNMP trap table, one object per enabled read row, one per enabled
// write row and one notification per enabled read row. Windows-1252 text with CR LF lines.
#include <QString>
#include <QStringList>
#include <vector>

namespace exports {

namespace mib_txt {
constexpr int FileExists = 1916; // "File already exists. Do you want to overwrite?"
} // namespace mib_txt

constexpr int kMaxMibEntries = 256; // rows of a section of the trap table

struct MibEntry {
    QString description;
    bool integer = false; // "INT" rows; the others are octet strings
};
struct MibTable {
    std::vector<MibEntry> read;
    std::vector<MibEntry> write;
    // What was changed to keep the module readable (quotes, rows past the capacity).
    QStringList warnings;
};

// The enabled rows of `Path_SNMP_Trap` (empty without the file); also fills MIB_Read_List and
// MIB_Write_List. A '"' in a description becomes "'" and at most kMaxMibEntries rows of each
// section are taken, both with a warning; descriptions that are no valid object names get one
// warning naming them all. Throws platform::UserError when the file cannot be
// read.
MibTable Read_Trap_Table();

// The object names of the entries. A description that is a valid SMI descriptor (a lower-case
// letter, then letters, digits and single hyphens, at most 64 characters) is its own name;
// another one is written as one (accents dropped, other characters a hyphen, the first letter
// lower-cased), an empty one as the parent's name and its number; a name already taken in the
// module, in any letter case, or one of the words the MIB language reserves ("read-only",
// "current"), gets "-2", "-3" ... The object numbers do not change.
struct MibNames {
    std::vector<QString> read;
    std::vector<QString> write;
    QStringList renamed; // "\"<description>\" as <name>" for every description not kept as it is
};
MibNames mibObjectNames(const MibTable& table);

QStringList mibLines(const MibTable& table);

// Writes the module. Throws platform::UserError naming the file when it cannot be written.
void Write_MIB_File(const QString& fileName, const MibTable& table);

// The request: save dialog, overwrite question, the file, then the warnings if any.
void Create_MIB_File();

} // namespace exports
