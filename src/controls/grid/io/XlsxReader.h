#pragma once
// Reading .xlsx workbooks (the zip container through libzip, its parts through pugixml): the
// worksheets in their order with each cell's kind, value, formula and number format, so that
// the grid can load a sheet's values as text and a save into an existing workbook can write its
// other sheets back. Parts a rewrite cannot carry over (pictures, charts, comments, macros,
// tables, links to other files, chart sheets, defined names) are listed rather than read.
//
// A file that is no workbook, or whose parts are damaged, ends in EExtGridError
// "Incorrect XLSX file: <reason>"; no input makes the reader crash, loop or allocate past the
// caps below.
#include <QByteArray>
#include <QString>
#include <QStringList>
#include <vector>

namespace controls::grid::io {

struct XlsxCell {
    enum Kind { Text, Number, Boolean, Error };
    int row = 0; // 0-based
    int col = 0; // 0-based
    Kind kind = Text;
    QString value;        // text as stored; a number in its stored decimal form; "1"/"0" for booleans
    QString formula;      // without the leading "="; empty when the cell holds a constant
    QString arrayRef;     // an array formula's range ("A1:B3") on its first cell
    int numFmtId = 0;     // the number format of the cell's style
    QString numFmtCode;   // its code when the workbook defines it (ids of 164 and up)
};

struct XlsxSheet {
    QString name;
    bool hidden = false;
    std::vector<XlsxCell> cells; // in the order of the file (row by row)
};

struct XlsxBook {
    std::vector<XlsxSheet> sheets; // worksheets only, in the workbook's order
    int activeSheet = 0;
    bool date1904 = false;
    // What a rewrite would lose, one entry each ("chart xl/charts/chart1.xml", "defined names").
    QStringList unkept;
};

// Largest part (unpacked) and number of cells the reader takes; beyond them the file is refused.
constexpr qint64 kXlsxMaxPartBytes = 256 * 1024 * 1024;
constexpr qint64 kXlsxMaxCells = 20'000'000;
// The format's own limits.
constexpr int kXlsxMaxRows = 1'048'576;
constexpr int kXlsxMaxCols = 16'384;
constexpr int kXlsxMaxTextLength = 32'767;

bool LooksLikeZip(const QByteArray& bytes);
XlsxBook ReadXlsx(const QByteArray& bytes);

// The cell as the spreadsheet shows it in a plain column: numbers in up to 15 significant
// digits, dates and times (by the number format) as "YYYY-MM-DD", "HH:MM:SS" or both,
// booleans as "TRUE"/"FALSE", errors as their code.
QString XlsxDisplayText(const XlsxCell& cell, bool date1904);

// Column name of a 0-based column in A1 notation, up to "XFD".
QString XlsxColumnName(int col);
// A1 name of a 0-based cell.
QString XlsxCellName(int col, int row);
// A shared formula moved by (rows, cols): its relative references follow, absolute ones stay.
// False when the formula holds a reference form this does not move (whole rows or columns).
bool ShiftXlsxFormula(const QString& formula, int rows, int cols, QString& out);
// Texts in cells escape "_xHHHH_" (a character by its code) and so a literal "_x" sequence.
QString XlsxUnescape(const QString& s);
QString XlsxEscapeLiteral(const QString& s);

} // namespace controls::grid::io
