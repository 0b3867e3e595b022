#pragma once
// Keeping the grid's column layout, its look and its print settings between runs.
//
// The column-state string: N "#" widths "#" order "#" visibility, each list of N decimal
// entries joined by "," (N = columns including the hidden ones; the order entry at position p
// is the designed index of the column standing there; visibility "1" shown, "0" hidden).
// StringToColumnStates checks the whole string before it changes anything: a count, widths and
// visibility of N numbers each, and an order that is a permutation of 0..N-1 (or empty).
//
// Column widths ("Col<n>") and the column order ("Pos<n>") are kept in a settings file: the
// INI file ColumnSize.Key when ColumnSize.Location is clIniFile, else the per-user file that
// stands for the registry key ColumnSize.Key (RegistryFileName); section ColumnSize.Section.
// A stored order that is not a permutation of the columns changes nothing.
//
// The visual-properties file holds name=value lines of the grid's colours, fonts and look; the
// print settings are one INI section.
#include "controls/grid/paint/GridPaint.h"

#include <QString>

namespace controls::grid::io {

QString ColumnStatesToString(TExtStringGridPaint& grid);
// Raises platform::EConvertError (with nothing changed) for a string that does not hold a
// complete, valid state.
void StringToColumnStates(TExtStringGridPaint& grid, const QString& value);

void SaveColSizes(TExtStringGridPaint& grid);
void LoadColSizes(TExtStringGridPaint& grid);
void SaveColPositions(TExtStringGridPaint& grid);
void LoadColPositions(TExtStringGridPaint& grid);
// The settings file the two pairs above use (empty when Key or Section is empty).
QString ColumnSizeFile(const TExtStringGridPaint& grid);

// Moves the columns so that the column designed at order[p] stands at position p (order is a
// permutation of 0..ColCount-1); hidden columns are shown first.
void ArrangeColumns(TExtStringGridPaint& grid, const std::vector<int>& order);

// platform::Exception "Cannot Create <name>" / "Cannot open file <name>".
void SaveVisualProps(TExtStringGridPaint& grid, const QString& fileName);
void LoadVisualProps(TExtStringGridPaint& grid, const QString& fileName);

void SavePrintSettings(TExtStringGridPaint& grid, const QString& fileName, const QString& section);
void LoadPrintSettings(TExtStringGridPaint& grid, const QString& fileName, const QString& section);

} // namespace controls::grid::io
