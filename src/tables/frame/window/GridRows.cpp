#include "tables/frame/window/GridRows.h"

#include "controls/grid/column/ColumnGrid.h"
#include "platform/text/Text.h"
#include "platform/ui/Dialogs.h"
#include "workspace/Workspace.h"

namespace tables {

using workspace::text;
using workspace::ws;

int fullColCount(const TExtColumnGrid* grid) { return grid->ColCount() + grid->NumHiddenColumns(); }

void Grid_Insert_Row(int row, TExtColumnGrid* grid)
{
    const int rows = grid->RowCount();
    const int cols = fullColCount(grid);
    for (int r = rows - 2; r >= row; --r)
        for (int c = 1; c < cols; ++c)
            grid->SetCells(c, r + 1, grid->Cells(c, r));
    for (int c = 1; c < cols; ++c)
        grid->SetCells(c, row, QString());
}

void Grid_Delete_Row(int row, TExtColumnGrid* grid)
{
    const int rows = grid->RowCount();
    const int cols = fullColCount(grid);
    for (int r = row; r <= rows - 2; ++r)
        for (int c = 1; c < cols; ++c)
            grid->SetCells(c, r, grid->Cells(c, r + 1));
    for (int c = 1; c < cols; ++c)
        grid->SetCells(c, rows - 1, QString());
}

void Grid_Copy_Row(TExtColumnGrid* grid, int row)
{
    QStringList& clip = ws().Row_Clipboard;
    clip.clear();
    const int cols = fullColCount(grid);
    for (int c = 1; c < cols; ++c)
        clip.push_back(grid->Cells(c, row));
}

void Grid_Paste_Row(TExtColumnGrid* grid, int row, bool copiedHere)
{
    if (!copiedHere) {
        platform::showError(text(1043));
        return;
    }
    const QStringList& clip = ws().Row_Clipboard;
    const int cols = fullColCount(grid);
    if (cols != clip.size() + 1) {
        platform::showError(text(1042));
        return;
    }
    bool inUse = false;
    for (int c = 1; c < cols && !inUse; ++c)
        inUse = grid->Columns().Items(c)->Editor() != controls::grid::edDataCheckBox &&
                !platform::trim(grid->Cells(c, row)).isEmpty();
    if (inUse && !platform::askYesNo(text(1041)))
        return;
    for (int c = 1; c < cols; ++c)
        grid->SetCells(c, row, clip[c - 1]);
}

void Grid_Auto_Size_Col(TExtColumnGrid* grid, int row, int col)
{
    if (ws().Opt_Double_Click_Auto_Size != 0 && row == 0)
        grid->AutoSizeCol(col, 0);
}

void Grid_Enter_Next_Cell(TExtColumnGrid* grid, QChar& key)
{
    if (ws().Opt_Jump_Field_Tables == 0 || key.unicode() != 13)
        return;
    const int col = grid->Col();
    const int row = grid->Row();
    if (col > 0 && row > 0) {
        // Moves stay among the shown columns: a hidden one cannot take the focus.
        if (col < grid->ColCount() - 1)
            grid->MoveToCell(col + 1, row);
        else
            grid->MoveToCell(1, row < grid->RowCount() - 1 ? row + 1 : 1);
    }
    key = QChar();
}

} // namespace tables
