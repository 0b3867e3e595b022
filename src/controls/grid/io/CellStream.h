#pragma once
// The binary cell stream: the grid's full-fidelity format for a rectangle of cells - texts,
// cell properties (colours, font, alignment, spans, editor, read-only ...) and cell graphics
// (kind, alignment, check box state, value, and the bitmap, icon, picture, file picture, radio
// items or image indexes they carry). It is the clipboard's and a drag's grid cell format, the
// grid's bin files, and how AssignCells copies one grid into another.
//
// A stream is a sequence of component-stream objects (ComponentStream.h): one header
// "TGridPropIO" (ColCount, RowCount, ColWidths, RowHeights, FullGrid, ID), then per cell a
// "TGridCellIO" (Col, Row, Cell, HasProp), followed when HasProp by a "TGridCellPropIO"
// ("CellProperties.*" and HasGraphic), followed when HasGraphic by a "TGridGraphicIO"
// ("CellGraphic.*") and, for the kinds that carry one, a picture record: "TGridBMPIO"
// (Bitmap: 4-byte size + BMP file), "TGridIconIO" (Icon: PNG), "TGridPicIO" (Picture: short
// string class name + the image file), "TGridFilePicIO" (Picture.Filename) or "TGridSLIO"
// (Strings: the radio items, or the image indexes as comma text).
//
// Sound where the old format was not: coordinates are written at full width (row 70,000 stays
// 70,000); BrushColorTo, GradientDirection and the check box state are carried; the cell's
// application object (CellObject) is neither written nor restored; a full-grid load checks the
// header (and the first cell) before it clears the grid; every count, size and index read is
// bounded by the bytes that remain, and a damaged record raises EReadError.
#include "controls/grid/paint/GridPaint.h"

#include <QByteArray>
#include <QPoint>
#include <QString>
#include <functional>

namespace controls::grid::io {

struct TGridPropIO {
    int ColCount = 0;
    int RowCount = 0;
    QString ColWidths;
    QString RowHeights;
    bool FullGrid = false;
    qint64 ID = 0;
};

// The id a grid writes into its headers (the paste tells its own copies by it).
qint64 GridStreamID(const TExtStringGrid& grid);

// Appends the cells of columns r.Left..r.Right by rows r.Top..r.Bottom.
void SaveRectToBinStream(TExtStringGridPaint& grid, const TGridRect& r, QByteArray& out);
// The save range (SaveStartCol .. SaveEndRow).
QByteArray SaveToBinStream(TExtStringGridPaint& grid);
// Raises platform::Exception with the system's reason when the file cannot be written.
void SaveToBinFile(TExtStringGridPaint& grid, const QString& fileName);

// The header at pos (pos moves past it).
TGridPropIO ReadBinHeader(const QByteArray& data, qsizetype& pos);
// Places the stream's cells with its first cell at point (a full grid: at the stored places,
// after clearing and resizing the grid). Raises EReadError on a damaged stream; the cells read
// before it stay.
// accept (when set) decides per target cell whether it takes the cell (text, properties and
// graphic); a refused cell is read and dropped. Pastes and drops place even a whole grid's
// stream at their point (wholeGrid false): a copy of a small grid never clears the target.
void LoadAtPointFromBinStream(TExtStringGridPaint& grid, QPoint point, const QByteArray& data, qsizetype pos = 0,
                              const std::function<bool(int col, int row)>& accept = {}, bool wholeGrid = true);
void LoadFromBinStream(TExtStringGridPaint& grid, const QByteArray& data);
void LoadFromBinFile(TExtStringGridPaint& grid, const QString& fileName);

// Copies every cell of source (texts, properties, graphics) into target through the stream.
void AssignCellsByStream(TExtStringGridPaint& target, TExtStringGridPaint& source);

} // namespace controls::grid::io
