#pragma once
// XML export and import of the string grid.
//
// Written: the declaration with the grid's XMLEncoding, the list element, one record element
// per row of the save range and one field element per written cell (named by FieldDescr, else
// FIELD<n>); a merged block writes its base cell only; an empty cell only with
// ExportEmptyCells (as two double quotes with QuoteEmptyCells). In texts "&" is written as
// "$amp;" (the grid's own coding, which its reader turns back) and "<", ">" and the double
// quote as entities; a CR as "&#13;" so that parsers give it back; a character XML 1.0 cannot
// hold (control characters but TAB, LF and CR; U+FFFE, U+FFFF) as U+FFFD. The bytes are in the
// declared encoding: UTF-8 or UTF-16 as declared; ISO-8859-1 (the default) with character
// references for characters outside it; any other name is written as UTF-8 and declared so.
// Names that are no XML names are not used (the field falls back to FIELD<n>).
//
// Read: any well-formed document (no DTD or external entity is loaded): the children of the
// document element are records; attributes and leaf elements become cells from the start row
// on, one column per attribute or leaf, nested elements step the row with LevelToRow. Only
// "$amp;" is turned back after the parser has decoded the entities.
#include "controls/grid/paint/GridPaint.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace controls::grid::io {

QByteArray SaveToXMLBytes(TExtStringGridPaint& grid, const QString& listDescr, const QString& recordDescr,
                          const QStringList* fieldDescr, bool exportEmptyCells);
// EExtGridError "Cannot Create file <name>" when the file cannot be written.
void SaveToXML(TExtStringGridPaint& grid, const QString& fileName, const QString& listDescr,
               const QString& recordDescr, const QStringList* fieldDescr = nullptr, bool exportEmptyCells = false);

// platform::Exception "XML file not found", or "XMLDOM Parsing error <reason> on line <n>".
void LoadFromXML(TExtStringGridPaint& grid, const QString& fileName, bool levelToRow = false,
                 bool loadFieldDescr = false);
void LoadFromXMLData(TExtStringGridPaint& grid, const QByteArray& bytes, bool levelToRow = false,
                     bool loadFieldDescr = false);

} // namespace controls::grid::io
