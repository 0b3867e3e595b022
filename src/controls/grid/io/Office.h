#pragma once
// Exchange with office files through libraries in place of driving the office programs:
//   - worksheets are read from .xlsx workbooks (XlsxReader) and from .xls workbooks with
//     libfreexl, once the file has passed a structural check (XlsCheck); the file's first
//     bytes tell which. The used range of a sheet is loaded as text;
//   - the grid is written as an .xlsx workbook with libxlsxwriter: SaveToXLS makes a new one,
//     SaveToXLSSheet writes into the named sheet of an existing workbook and writes its other
//     sheets again (values, formulas, number formats), or refuses when the workbook holds what
//     cannot be written again. Line breaks are stored as LF; a text longer than a worksheet
//     cell holds is an error that names the cell, before anything is written;
//   - the word-processor table is written as an RTF document (the grid's caption as a
//     paragraph, then a table of every row and column with right and centred cells aligned);
//     appending inserts the table at a bookmark of an existing RTF document, or at its end;
//   - the rows of an SQL query on an Access .mdb file are read with mdbtools' SQL engine, in a
//     child process (IsolatedRead), since a damaged database crashes it.
// Attaching to a running office program (writing into its open workbook at the active cell)
// has no counterpart here.
#include "controls/grid/paint/GridPaint.h"

#include <QRect>
#include <QString>
#include <QStringList>

namespace controls::grid::io {

// A1 notation: column n (1-based) as one letter up to 26 and two letters up to 702.
QString ColumnLetters(int col);
// The range of an address such as "$B$2:$D$5" (1-based columns and rows); false when a number
// cannot be read. A range of whole rows ("$3:$7") spans columns 1 to 256; a text without "$"
// is the one cell A1.
bool ParseA1Range(const QString& address, QRect& range);

QStringList GetXLSSheets(const QString& fileName);
// The active worksheet; EExtGridError "Incorrect XLS file" or "Incorrect XLSX file" (with the
// reason) when the file is no sound workbook.
void LoadFromXLS(TExtStringGridPaint& grid, const QString& fileName);
// EExtGridError "Excel worksheet <name> not found" for a name the workbook lacks.
void LoadFromXLSSheet(TExtStringGridPaint& grid, const QString& fileName, const QString& sheetName);
// The save range as a new .xlsx workbook with one sheet "Sheet1". Errors are EExtGridError
// "Cannot Create file <name>: <reason>"; the file is then as it was.
void SaveToXLS(TExtStringGridPaint& grid, const QString& fileName);
// The save range into the sheet of that name (letter case aside), added at the end when the
// workbook lacks it; a new workbook when the file does not exist.
void SaveToXLSSheet(TExtStringGridPaint& grid, const QString& fileName, const QString& sheetName);
// Where exports keep their work files: one folder per export, named after the process, removed
// when the export ends; a later export removes those of processes that have ended.
QString XlsxExportTempRoot();

// The RTF document of SaveToDOC (caption paragraph and table).
QString GridToRTFTable(TExtStringGridPaint& grid, const QString& caption);
void SaveToDOC(TExtStringGridPaint& grid, const QString& fileName, const QString& caption = QString());
// Adds the table to an existing RTF document at the bookmark, or at its end.
void AppendToDoc(TExtStringGridPaint& grid, const QString& fileName, const QString& bookmark,
                 const QString& caption = QString());

// The query's field names into the last fixed row (when there is one), then one row per record.
void LoadFromMDBSQL(TExtStringGridPaint& grid, const QString& fileName, const QString& sql);
// "SELECT * FROM [table]": the name is quoted, so it cannot end the statement.
void LoadFromMDBTable(TExtStringGridPaint& grid, const QString& fileName, const QString& table);
QString MDBTableQuery(const QString& table);

// The sizes of the grid's fixed and active-cell fonts times m / d (to the nearest integer).
void ChangeScale(TExtStringGrid& grid, int m, int d);

} // namespace controls::grid::io
