#pragma once
// The PROFIBUS GSD file (revision 5) of the PROFIBUS slave gateway (device type 6): a modular
// DP slave whose input and output modules, 64 bytes each at most, carry the byte counts of the
// general parameters. Windows-1252 text with CR LF lines.
#include <QString>
#include <QStringList>
#include <cstdint>

namespace exports {

// Texts of the GSD request (indexes into the UI-text table).
namespace gsd_txt {
constexpr int FileExists = 534;    // "File already exists! Do you want to overwrite the file?"
constexpr int NoParameters = 535;  // "Error! Please set the Set Communication Parameter before ..."
} // namespace gsd_txt

// The lines of the file: `nbIn` bytes come from the DP master (output modules), `nbOut` go to
// it (input modules).
QStringList gsdLines(int32_t nbIn, int32_t nbOut);

// The name written for a chosen name: unchanged when its first ".gsd" (any letter case) ends
// it, else with ".gsd" appended.
QString gsdFileName(const QString& chosen);

// Writes the file. Throws platform::UserError naming the file when it cannot be written.
void Write_GSD_File(const QString& fileName, int32_t NB_IN, int32_t NB_OUT);

// The whole request: the general parameters (an error box without them, or naming the key
// when a byte count is negative), the save dialog, the overwrite question, the file.
void Create_GSD_File();

} // namespace exports
