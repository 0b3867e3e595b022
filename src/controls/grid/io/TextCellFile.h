#pragma once
// The grid's own text format for cell texts and column widths:
//
//   C "," R                 number of columns and rows
//   "cw " I "," W           column I is W pixels wide (one line per column)
//   X "," Y "," T           the cell at column X, row Y holds the coded text T
//
// The file variant (SaveToFile / LoadFromFile) writes absolute coordinates as a text file
// (UTF-16 with a byte-order mark when asked for Unicode, else UTF-8; reading detects the mark,
// else UTF-8, else Windows-1252). The stream variant (SaveToStream / LoadFromStream) writes
// UTF-16 little-endian lines ended by the units 13 10, coordinates relative to the save range,
// and leaves the reader at the first line that is neither a width nor a cell line.
//
// Cell texts are coded so that no line break reaches a line and every text reads back as it
// was: CR becomes character 9, LF 8, NUL 1, and a literal TAB, 8, 1 or 2 is escaped with
// character 2 ("\x02t", "\x02b", "\x02a", "\x02e"); a text whose coding holds neither 8 nor 2
// ends in the mark "\x02." so the reader knows it is coded. Texts coded the older way (CR LF
// texts: 9 and 8) read the same. Reading keeps only the first line unless Multilinecells.
// A load never processes window events part-way.
#include "controls/grid/paint/GridPaint.h"

#include <QByteArray>
#include <QString>

namespace controls::grid::io {

QString EncodeCellText(const QString& text);
QString DecodeCellText(const QString& coded, bool multiLine);

// Reads an integer as the platform's Val routine does (blanks, a sign, digits or "$"/"0x"
// hexadecimal) up to the first invalid character; 0 when nothing is read. Never raises.
int LenientStrToInt(const QString& text);

void SaveToFile(TExtStringGridPaint& grid, const QString& fileName, bool unicode);
// Raises EExtGridError "File contains no data or corrupt file <name>" for a file without
// counts (or with counts beyond the grid's limits), platform::Exception when it cannot be read.
void LoadFromFile(TExtStringGridPaint& grid, const QString& fileName);
// The same on the file's bytes (fileName only names it in the message).
void LoadFromFileData(TExtStringGridPaint& grid, const QByteArray& bytes, const QString& fileName);

// Appends the stream variant to out.
void SaveToStream(TExtStringGridPaint& grid, QByteArray& out);
// Reads from pos (moved to the first line that is not the format's). A number that is not an
// integer raises EConvertError; the cells read before stay.
void LoadFromStream(TExtStringGridPaint& grid, const QByteArray& data, qsizetype& pos);

// The number value of a cell (0 for an empty one); EExtGridError "Error at position: E in
// Cell [c, r]." for a text that is no number.
double CellToReal(TExtStringGridPaint& grid, int col, int row);

// Largest counts a text file may ask the grid for.
inline constexpr int kMaxFileCols = 65536;
inline constexpr int kMaxFileRows = 16 * 1024 * 1024;
// Widths and heights beyond this are not applied (a damaged file must not overflow the layout).
inline constexpr int kMaxCellExtent = 32767;

} // namespace controls::grid::io
