#pragma once
// Plain-text exchange of the string grid: delimiter-separated values (CSV) with delimiter
// detection, column-aligned text for people (write only) and fixed-width fields.
//
// CSV as written here: fields separated by the grid's Delimiter ("," for character 0), a field
// enclosed in double quotes (inner quotes doubled) when AlwaysQuotes, when it holds a quote,
// the delimiter or a line break, or begins or ends with a blank; line breaks inside a cell stay
// inside its quotes, so spreadsheets and other CSV readers take the cell whole (JavaCSV writes
// each line break as "~" and an empty cell as "^" instead, and quotes the same way). Files are
// UTF-8 (with its mark when Unicode is asked); OemConvert writes and reads the OEM code page
// 850 and refuses (EExtGridError) a text with a character that page lacks.
//
// CSV as read: a byte-order mark decides the encoding, else UTF-8, else Windows-1252 (850 with
// OemConvert). A quoted field runs to its closing quote across line breaks; character 11 in a
// field is read as CR LF (files of the older writer); a record ending in the delimiter ends in
// an empty field. With Delimiter 0 the delimiter is found from the first two records as each
// candidate reads them, quoted fields left out (the candidates "," ";" "#" TAB "|" "@" "*" "-"
// "+" "&", preferring equal counts of field ends in both, then equal plain counts, then the
// most frequent). The grid grows in blocks of 1000 rows while reading and ends with exactly the
// rows read plus the fixed footers; cells of columns the file does not reach keep their texts.
//
// Column-aligned and fixed-width text hold one line per row: without Multilinecells (always for
// fixed width) a cell is cut at its first line break of any kind. Widths, cuts and positions
// count characters (one per character beyond the basic plane).
#include "controls/grid/paint/GridPaint.h"

#include <QByteArray>
#include <QList>
#include <QString>

namespace controls::grid::io {

// The CSV text of the save range (what SaveToCSV writes, without the mark).
QString SaveToCSVString(TExtStringGridPaint& grid);
// The bytes SaveToCSV writes.
QByteArray SaveToCSVBytes(TExtStringGridPaint& grid, bool unicode);
void SaveToCSV(TExtStringGridPaint& grid, const QString& fileName, bool unicode);
// The file must exist (platform::Exception otherwise).
void AppendToCSV(TExtStringGridPaint& grid, const QString& fileName, bool unicode);

// maxRows <= 0 reads every line. An empty file changes nothing; a missing file raises
// platform::Exception.
void LoadFromCSV(TExtStringGridPaint& grid, const QString& fileName, int maxRows = 0);
void InsertFromCSV(TExtStringGridPaint& grid, const QString& fileName, int maxRows = 0);
// Raises platform::Exception "File is empty" for no bytes.
void LoadFromCSVStream(TExtStringGridPaint& grid, const QByteArray& bytes, int maxRows = 0);
void ReadCSVData(TExtStringGridPaint& grid, const QByteArray& bytes, bool insert, int maxRows);

// The delimiter found in the first two lines (character 0 when none of the candidates occurs).
QChar DetectDelimiter(const QString& line1, const QString& line2);
// The records of a CSV text: lines, joined where a quoted field runs across a line break.
QStringList SplitCSVRecords(const QString& text, QChar delimiter);
// The fields of one record (the reader's rules for blanks and quotes, before conversion).
QStringList SplitCSVFields(const QString& record, QChar delimiter);

// Column-aligned text: each column as wide as its longest line, right or centred alignment
// kept, further lines of a cell on continuation lines with Multilinecells.
QStringList ColumnAlignedLines(TExtStringGridPaint& grid);
void SaveToASCII(TExtStringGridPaint& grid, const QString& fileName, bool unicode);
void AppendToASCII(TExtStringGridPaint& grid, const QString& fileName, bool unicode);

// Fixed-width text: widths per saved column (the list is extended by the longest line + 1 for
// columns it does not cover); positions are the 1-based starts of the fields.
void SaveToFixed(TExtStringGridPaint& grid, const QString& fileName, QList<int>& widths);
void LoadFromFixed(TExtStringGridPaint& grid, const QString& fileName, QList<int> positions, int maxRows,
                   bool doTrim);

} // namespace controls::grid::io
