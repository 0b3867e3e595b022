#pragma once
// Copy, cut and paste of the string grid through the system clipboard (platform/exchange).
//
// A copy puts up to three formats on the clipboard: the plain text of the range (cells joined
// by TAB, rows ended by CR LF when there are several; a cell holding a line break, a TAB or a
// quote at its start copied in double quotes with its quotes doubled and LF between its lines,
// as spreadsheets exchange such cells), with Navigation.AllowRTFClipboard the RTF text of the
// top-left cell when it is RTF, and with Navigation.AllowFmtClipboard the grid's binary cell
// stream of the range. CopyToClipBoardAsHTML puts the grid's HTML (UTF-8) beside its plain
// text. A cut copies, then empties the cells that may be edited.
//
// A paste prefers the grid cell format (with AllowFmtClipboard), then RTF (with
// AllowRTFClipboard), then text: TAB between fields, a line ending at CR (LF) or, outside a
// quoted field, at a lone LF; a quoted field (inner quotes doubled) keeps its TABs and LFs and
// is stored without its quotes. A line's last field is stored when the line ended with a line
// break, a TAB came before it or it is not empty. Pasting honours IsEditable (also for the grid
// cell format), grows the grid as Navigation allows, inserts rows with paInsert, fires the
// before and after events per cell (the wide ones for fields in the wide-text coding), calls
// the grid's BeforePaste, AfterPaste and PasteRangeModified and registers the change with a
// linked undo/redo component. A paste into a
// selection with AllowSmartClipboard fills it: one value into every cell, a date, number or
// integer series from its first two cells, or the pasted block repeated.
#include "controls/grid/edit/GridEdit.h"
#include "platform/exchange/Exchange.h"

#include <QPoint>
#include <QString>
#include <QStringList>

namespace controls::grid::io {

enum TClipOperation { coCut = 0, coCopy = 1 };

QString RectToText(TExtStringGridEdit& grid, const TGridRect& r, bool disjunct);
QString GetSelectionAsText(TExtStringGridEdit& grid);
// What a copy of the rectangle puts on the clipboard.
platform::ExchangeData RectToExchangeData(TExtStringGridEdit& grid, const TGridRect& r, bool disjunct);
void CopyRectToClipboard(TExtStringGridEdit& grid, const TGridRect& r, bool disjunct);
void CopySelectionToClipboard(TExtStringGridEdit& grid);
void CopyToClipBoard(TExtStringGridEdit& grid);
void CutToClipboard(TExtStringGridEdit& grid);
void CutSelectionToClipboard(TExtStringGridEdit& grid);
void CopyToClipBoardAsHTML(TExtStringGridEdit& grid);
// Widens the selection over merged cells at its corners (the grid's selection changes).
void ExtendSelectionToMerged(TExtStringGridEdit& grid);

// Stores one pasted value in a display cell (a check box cell takes its check state).
void PasteCell(TExtStringGridEdit& grid, int col, int row, const QString& value);
// The text parser: returns the number of fields; rows and cols as the paste reports them.
int PasteText(TExtStringGridEdit& grid, int col, int row, int& rows, int& cols, const QString& text,
              bool pasteAll = true);
// Pastes data (the clipboard's or a drop's) at a cell; returns the number of cells pasted.
int PasteData(TExtStringGridEdit& grid, int col, int row, int& rows, int& cols, const platform::ExchangeData& data,
              bool pasteAll = true);
int PasteAt(TExtStringGridEdit& grid, int col, int row, int& rows, int& cols, bool pasteAll = true);
void PasteFromClipboard(TExtStringGridEdit& grid);
void PasteSelectionFromClipboard(TExtStringGridEdit& grid);
// Stores TAB/line text from the selection's top-left cell, without events or checks.
void SetSelectionAsText(TExtStringGridEdit& grid, const QString& value);
// (Cols, Rows) of a TAB/line text: the widest line's fields and the count of line breaks.
QPoint TextExtent(const QString& text);
// The lines of a pasted text, each with its fields as they stand in the text (a quoted field
// still in its quotes) and whether it ended with a line break.
struct TPasteLine {
    QString Text;
    QStringList Fields;
    bool Ended = false;
};
std::vector<TPasteLine> SplitPasteLines(const QString& text);

} // namespace controls::grid::io
