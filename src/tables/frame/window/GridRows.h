#pragma once
// The row routines every table window shares, on its column grids: insert, delete, copy and
// paste a row, fit a column on a double click on its header, move to the next cell on Enter.
// They work on cell texts only and never change the number of rows. The data columns are
// 1 .. ColCount - 1 counted over every column, hidden ones included: a hidden column is moved,
// cleared, copied and pasted with its row.
//
// The copied-here flags: each window that offers Copy and Paste keeps one flag per grid. Copy
// Row in a grid sets that grid's flag and clears the window's other flags; showing the window
// clears them all; Paste Row passes the flag of the grid it pastes into (CopyFlags below). So a
// paste needs a copy from the same grid since the window was last shown, although
// `Row_Clipboard` itself (the workspace's list) survives across windows.
#include <QChar>
#include <vector>

namespace controls::grid {
class TExtColumnGrid;
}

namespace tables {

using controls::grid::TExtColumnGrid;

// Every column, shown or hidden.
int fullColCount(const TExtColumnGrid* grid);

// Rows `row` .. RowCount - 2 move one down (the last row's texts are lost); `row` is emptied.
void Grid_Insert_Row(int row, TExtColumnGrid* grid);
// Rows `row` + 1 .. RowCount - 1 move one up; the last row is emptied.
void Grid_Delete_Row(int row, TExtColumnGrid* grid);
// `Row_Clipboard` becomes the texts of columns 1 .. ColCount - 1 of the row.
void Grid_Copy_Row(TExtColumnGrid* grid, int row);
// Without a copy from this grid: text 1043. A clipboard of another width: text 1042. A row in
// use (a column other than a check box holds text, trimmed) asks text 1041 first; No keeps it.
void Grid_Paste_Row(TExtColumnGrid* grid, int row, bool copiedHere);
// With the auto-size option on, a double click on the header fits the column to its texts.
void Grid_Auto_Size_Col(TExtColumnGrid* grid, int row, int col);
// With the jump option on, Enter moves to the next column, or to column 1 of the next row
// (after the last row: row 1), and is swallowed (key becomes 0) wherever the focus is.
void Grid_Enter_Next_Cell(TExtColumnGrid* grid, QChar& key);

// One window's copied-here flags, one per grid.
class CopyFlags {
public:
    explicit CopyFlags(int grids = 1) : flags_(size_t(grids), false) {}
    void copied(int grid)
    {
        clear();
        flags_[size_t(grid)] = true;
    }
    void clear() { flags_.assign(flags_.size(), false); }
    bool copiedHere(int grid) const { return flags_[size_t(grid)]; }

private:
    std::vector<bool> flags_;
};

} // namespace tables
