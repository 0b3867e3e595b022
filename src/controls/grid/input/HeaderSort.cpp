// Sorting by a click on the header: the release of a left click on the sort row's cell of a
// column, where it was pressed, sorts by that column or, with IndexShow, by the list of columns
// the clicks built.
#include "controls/grid/input/GridInput.h"

#include <QElapsedTimer>

namespace controls::grid {

bool TExtStringGridInput::HeaderClickSort(int c, int r, int x, int y, platform::TShiftState shift)
{
    if (c < 0 || r < 0)
        return false;
    const Rect cell = cellRect(c, r);
    // A release on a column border sizes; one on the header's drop-down button or on the filter
    // button opens that.
    if (r == 0 && options().testFlag(platform::goColSizing) && (x - cell.left < 4 || cell.right - x < 4))
        return false;
    const int rc = RealColIndex(c);
    if (x > cell.right - 16) {
        if (ControlLook.FixedDropDownButton && CanShowFixedDropDown(rc))
            return false;
        if (r == FilterDropDownRow && GetColumnFilter(rc))
            return false;
    }
    if (c < FixedCols() && !SortSettings.FixedCols)
        return false;
    int pc = -1, pr = -1;
    mouseToCell(m_pressX, m_pressY, pc, pr);
    if (r != SortSettings.Row || pr != r || FixedRows() == 0 || IsInCheckBox(rc, r, x, y) || !SortSettings.Show
        || RowCount() <= 2)
        return false;
    bool doSort = !IsIgnoredColumn(rc);
    if (doSort && OnCanSort)
        OnCanSort(this, rc, doSort);
    if (!doSort) {
        RepaintCell(c, SortSettings.Row);
        return false;
    }
    HideInplaceEdit();
    if (RowCount() != SortRowXRef().Count())
        InitSortXRef();
    // Merged column cells are split for the sort and merged again after it.
    if (SortSettings.AutoColumnMerge)
        SplitAllColumnCells();
    QElapsedTimer timer;
    timer.start();
    // With KeepHorizScroll a row-selecting grid keeps its left column, also when the sort fails,
    // and paints once the left column is back (no jump to the sorted scroll position and back).
    struct KeepLeft {
        TExtStringGridInput& grid;
        int left;
        bool on;
        KeepLeft(TExtStringGridInput& g, int l, bool o) : grid(g), left(l), on(o)
        {
            if (on)
                grid.BeginUpdate();
        }
        KeepLeft(const KeepLeft&) = delete;
        KeepLeft& operator=(const KeepLeft&) = delete;
        void restore()
        {
            if (on && grid.leftCol() != left && left < grid.ColCount())
                grid.setLeftCol(left);
        }
        ~KeepLeft()
        {
            restore();
            if (on)
                grid.EndUpdate();
        }
    } keepLeft{*this, leftCol(), Navigation.KeepHorizScroll && options().testFlag(platform::goRowSelect)};
    if (SortSettings.IndexShow) {
        const bool key = SortSettings.IndexSortKey == ikShift ? shift.testFlag(platform::ssShift)
                                                              : shift.testFlag(platform::ssCtrl);
        const bool ascending = SortSettings.InitSortDirection == sdAscending;
        const int at = SortIndexes.FindIndex(rc);
        if (key) {
            if (at < 0)
                SortIndexes.AddIndex(rc, ascending);
            else
                SortIndexes.ToggleIndex(rc);
        } else if (SortIndexes.Count() == 1 && at == 0) {
            SortIndexes.ToggleIndex(rc);
        } else {
            SortIndexes.Clear();
            SortIndexes.AddIndex(rc, ascending);
        }
        if (HasNodes())
            QSortGroupIndexed();
        else
            QSortIndexed();
        SortSettings.Column = SortIndexes.Count() > 0 ? SortIndexes.GetSortColumns(0) : -1;
    } else {
        bool undo = false;
        if (rc == SortSettings.Column) {
            undo = SortSettings.Direction != SortSettings.InitSortDirection && SortSettings.UndoSort;
            SortSettings.ToggleDirection();
        } else {
            SortSettings.Direction = SortSettings.InitSortDirection;
            SortSettings.Column = rc;
        }
        if (HasNodes()) {
            QSortGroup();
        } else if (undo) {
            QUnSort();
            SortSettings.Column = -1;
        } else {
            QSort();
        }
    }
    keepLeft.restore();
    SortTime = unsigned(timer.elapsed());
    if (SortSettings.AutoColumnMerge)
        RemergeColumnCells();
    ClickSort(SortSettings.Column);
    invalidate();
    return true;
}

} // namespace controls::grid
