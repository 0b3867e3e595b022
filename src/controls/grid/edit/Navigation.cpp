// Moving on from a cell: the advance after an edit (Enter), the Tab walk, appending a row, and
// the simulated click that opens the next cell's editor. A walk that finds no cell it may stop
// on ends after one pass where it began.
#include "controls/grid/edit/GridEdit.h"

#include <QApplication>
#include <QKeyEvent>

namespace controls::grid {

using platform::goEditing;

int TExtStringGridEdit::FirstNavigableCol() const { return FixedCols() > 0 || !HasNodes() ? FixedCols() : 1; }

int TExtStringGridEdit::VisibleFixedRightCols() const
{
    if (NumHiddenColumns() == 0)
        return FixedRightCols();
    int n = 0;
    const int total = TotalColCount();
    for (int c = total - FixedRightCols(); c < total; ++c)
        if (c >= 0 && !IsHiddenColumn(c))
            ++n;
    return n;
}

bool TExtStringGridEdit::CanTabToCell(int col, int row)
{
    // An editing grid (also while it has taken goEditing out for a read-only current cell) stops
    // only on cells that may be edited.
    const bool editing = options().testFlag(goEditing) || m_editDisable;
    bool can = editing ? IsEditable(RealColIndex(col), row) : !IsFixed(col, row);
    if (onSelectCell)
        onSelectCell(this, col, row, can);
    return can;
}

int TExtStringGridEdit::FirstTabCol(int row)
{
    for (int c = 0; c < ColCount(); ++c)
        if (CanTabToCell(c, row))
            return c;
    return -1;
}

int TExtStringGridEdit::LastTabCol(int row)
{
    for (int c = ColCount() - 1; c >= 0; --c)
        if (CanTabToCell(c, row))
            return c;
    return -1;
}

bool TExtStringGridEdit::IsLastDataRow() const
{
    return row() + 1 == RowCount() - FixedFooters() || (FloatingFooter.Visible && row() + 2 == RowCount());
}

void TExtStringGridEdit::GotoFirstRow() { SetRow(FixedRows()); }

void TExtStringGridEdit::AppendRowByKey()
{
    bool allow = true;
    CanAddRow(allow);
    if (!allow)
        return;
    AppendRow();
    const int last = RowCount() - 1;
    ClearRows(last, 1);
    if (FixedFooters() > 0 || FloatingFooter.Visible)
        SetRow(row() + 1);
    if (OnAutoAddRow)
        OnAutoAddRow(this, RowCount() - FixedFooters() - 1);
}

void TExtStringGridEdit::ClickCell(int col, int row)
{
    const Rect r = cellRect(col, row);
    const auto keepDown = onMouseDown;
    const auto keepUp = onMouseUp;
    onMouseDown = nullptr;
    onMouseUp = nullptr;
    m_forceSel = true;
    try {
        TStringGrid::mouseDown(platform::TMouseButton::mbLeft, platform::TShiftState(), r.left + 2, r.top + 2);
        TStringGrid::mouseUp(platform::TMouseButton::mbLeft, platform::TShiftState(), r.left + 2, r.top + 2);
    } catch (...) {
        m_forceSel = false;
        onMouseDown = keepDown;
        onMouseUp = keepUp;
        throw;
    }
    m_forceSel = false;
    onMouseDown = keepDown;
    onMouseUp = keepUp;
}

// --- the advance after an edit -----------------------------------------------------------------

void TExtStringGridEdit::AdvanceEdit(int col, int row, bool showEditor, bool continuing, bool forward, bool autoEdit,
                                     bool force)
{
    if (!Navigation.AdvanceOnEnter && !force)
        return;
    if (MouseActions.RangeSelectAndEdit && !options().testFlag(goEditing)) {
        SetEditChangeFlag();
        setOptions(options() | goEditing);
    }
    if (!continuing) {
        m_aeCol = col;
        m_aeRow = row;
    }
    m_startEditChar = QChar();

    TAdvanceGrid g;
    g.ColCount = ColCount();
    g.RowCount = RowCount();
    g.FixedCols = FixedCols();
    g.FixedRows = FixedRows();
    g.FixedFooters = FixedFooters();
    g.FixedRightCols = FixedRightCols();
    g.VisibleFixedRightCols = VisibleFixedRightCols();
    g.FirstNavigableCol = FirstNavigableCol();

    // Walk on over cells that cannot be edited; a walk that comes back to where it started, or
    // cannot move, ends there.
    const int start[2] = {col, row};
    int c = col, r = row;
    const long long limit = (long long)(ColCount()) * RowCount() + 1;
    for (long long steps = 0;; ++steps) {
        const int span = CellSpan(RealColIndex(c), r).x();
        TAdvanceStep step = AdvanceStep(g, c, r, span, Navigation.AdvanceDirection(), forward, Navigation.AdvanceInsert(),
                                        Navigation.AdvanceOnEnterLoop);
        if (step.Action == TAdvanceAction::AddRow) {
            bool canAdd = true;
            CanAddRow(canAdd);
            if (canAdd) {
                AddRow();
                g.RowCount = RowCount();
                if (OnAutoAddRow)
                    OnAutoAddRow(this, RowCount() - FixedFooters() - 1);
                bool any = false;
                for (int cc = FixedCols(); cc < ColCount() && !any; ++cc)
                    any = IsEditable(RealColIndex(cc), step.Row);
                if (!any)
                    return;
            } else {
                step.Row = r;
            }
        } else if (step.Action == TAdvanceAction::AddColumn) {
            SetColCount(ColCount() + 1);
            g.ColCount = ColCount();
            if (OnAutoInsertCol)
                OnAutoInsertCol(this, ColCount() - FixedRightCols() - 1);
        }
        if (step.Repaint)
            invalidate();
        if (step.Action == TAdvanceAction::Stay || (step.Col == c && step.Row == r)) {
            c = start[0];
            r = start[1];
            break;
        }
        c = step.Col;
        r = step.Row;
        bool canEdit = true;
        CheckCanEdit(RealColIndex(c), r, canEdit);
        if (canEdit || !Navigation.AdvanceSkipReadOnlyCells)
            break;
        if ((c == m_aeCol && r == m_aeRow) || steps >= limit) {
            // No cell of the walk can be edited: the current cell stays.
            c = start[0];
            r = start[1];
            break;
        }
    }

    if (c != this->col() || r != this->row()) {
        bool canEdit = true;
        CheckCanEdit(RealColIndex(c), r, canEdit);
        bool allow = true;
        int nr = r, nc = c;
        if (canEdit && OnAutoAdvance)
            OnAutoAdvance(this, m_aeRow, m_aeCol, nr, nc, allow);
        if (allow && OnCellChanging)
            OnCellChanging(this, m_aeRow, m_aeCol, nr, nc, allow);
        m_disableChange = true;
        try {
            if (allow && nc >= 0 && nr >= 0 && nc < ColCount() && nr < RowCount())
                focusCell(nc, nr, true);
            else
                selectCell(start[0], start[1]);
        } catch (...) {
            m_disableChange = false;
            throw;
        }
        m_disableChange = false;
    }

    if (!showEditor)
        return;
    const int rc = RealColIndex(this->col());
    const bool control = HasControlGraphic(rc, this->row());
    if ((autoEdit && Navigation.AdvanceAutoEdit) || control) {
        if (!IsEditable(rc, this->row()))
            return;
        if (!control)
            this->showEditor();
    }
    if (MouseActions.DisjunctRowSelect()) {
        ClearRowSelect();
        SetRowSelect(this->row(), true);
    }
}

// --- the Tab walk --------------------------------------------------------------------------------

void TExtStringGridEdit::TabWalk(bool backward)
{
    const int lastDataRow = RowCount() - FixedFooters() - 1;
    const int fnc = FirstNavigableCol();
    const int vfrc = VisibleFixedRightCols();
    int col = this->col();
    int row = this->row();
    auto moveTo = [&](int c, int r) {
        if (c < 0 || r < 0 || c >= ColCount() || r >= RowCount())
            return;
        focusCell(c, r, true);
    };
    auto endOfGrid = [&]() -> bool {
        if (parentWidget() && Navigation.TabToNextAtEnd) {
            // The Tab goes on to the next control of the window.
            if (QWidget* w = window())
                QApplication::postEvent(w, new QKeyEvent(QEvent::KeyPress, Qt::Key_Tab, Qt::NoModifier));
            return false;
        }
        return true;
    };
    (void)endOfGrid;

    if (Navigation.TabAdvanceDirection != adLeftRight) {
        if (backward) {
            if (row > FixedRows())
                moveTo(col, row - 1);
            else
                moveTo(col > fnc ? col - 1 : ColCount() - vfrc - 1, lastDataRow);
        } else {
            const int sy = CellSpan(RealColIndex(col), row).y();
            if (row + sy + 1 < RowCount() - FixedFooters())
                moveTo(col, row + sy + 1);
            else if (col < ColCount() - vfrc - 1)
                moveTo(col + 1, FixedRows());
            else
                moveTo(fnc, FixedRows());
        }
        return;
    }
    if (backward) {
        if (col > fnc) {
            int target = -1;
            for (int c = col - 1; c >= fnc; --c)
                if (CanTabToCell(c, row) && IsBaseCell(RealColIndex(c), row)) {
                    target = c;
                    break;
                }
            if (target >= 0) {
                moveTo(target, row);
            } else if (row > FixedRows()) {
                moveTo(LastTabCol(row - 1), row - 1);
            } else {
                const int c = LastTabCol(lastDataRow);
                if (c >= 0) {
                    moveTo(c, lastDataRow);
                    ScrollInView(c, lastDataRow);
                }
            }
        } else {
            int c = ColCount() - vfrc - 1;
            while (c > FixedCols() && !CanTabToCell(c, row))
                --c;
            moveTo(c, row > FixedRows() ? row - 1 : lastDataRow);
        }
        if (IsMergedCell(RealColIndex(this->col()), this->row()))
            MoveToBaseCell();
        return;
    }
    const int sx = CellSpan(RealColIndex(col), row).x();
    if (col + sx + 1 < ColCount() - vfrc) {
        for (int c = col + sx + 1; c < ColCount() - vfrc; ++c)
            if (CanTabToCell(c, row)) {
                moveTo(c, row);
                return;
            }
        // Nothing to stop on in the rest of the row.
        if (row < lastDataRow) {
            const int v = FirstTabCol(row + 1);
            moveTo(v < 0 ? FixedCols() : v, row + 1);
        } else {
            const int v = FirstTabCol(FixedRows());
            if (v >= 0)
                moveTo(v, FixedRows());
            endOfGrid();
        }
        return;
    }
    if (row < lastDataRow) {
        for (int c = fnc; c < ColCount(); ++c)
            if (IsBaseCell(RealColIndex(c), row + 1) && CanTabToCell(c, row + 1)) {
                moveTo(c, row + 1);
                return;
            }
        for (int r = row + 2; r < RowCount(); ++r) {
            const int v = FirstTabCol(r);
            if (v >= 0) {
                moveTo(v, r);
                return;
            }
        }
        moveTo(ColCount() - 1, RowCount() - 1);
        return;
    }
    // The last data row.
    if (Navigation.TabToNextAtEnd || !Navigation.AdvanceInsert()) {
        GotoFirstRow();
    } else {
        bool allow = true;
        CanAddRow(allow);
        if (allow) {
            if (FloatingFooter.Visible) {
                InsertRows(RowCount() - 1, 1);
                SetRow(RowCount() - 2);
            } else {
                SetRowCount(RowCount() + 1);
                SetRow(RowCount() - 1);
            }
            if (OnAutoAddRow)
                OnAutoAddRow(this, RowCount() - FixedFooters() - 1);
        } else {
            GotoFirstRow();
        }
    }
    const int v = FirstTabCol(this->row());
    if (v >= 0)
        moveTo(v, this->row());
    endOfGrid();
}

bool TExtStringGridEdit::TabAdvance(bool backward)
{
    if (onKeyDown) {
        quint16 key = platform::VK_TAB;
        onKeyDown(this, key, backward ? platform::TShiftState(platform::ssShift) : platform::TShiftState());
        if (key != platform::VK_TAB)
            return true;
    }
    if (col() == m_lastTabCol && row() == m_lastTabRow)
        return true;
    m_lastTabCol = col();
    m_lastTabRow = row();
    const int startCol = col(), startRow = row();
    const bool toNextControl = Navigation.TabToNextAtEnd && !backward && row() == RowCount() - FixedFooters() - 1
                               && col() + CellSpan(RealColIndex(col()), row()).x() + 1 >= ColCount() - VisibleFixedRightCols();
    TabWalk(backward);
    // In an editing grid the walk goes on over cells that cannot be edited; when it comes back
    // to where it began (or cannot move), the current cell stays.
    const long long limit = (long long)(ColCount()) * RowCount() + 1;
    long long steps = 0;
    while ((options().testFlag(goEditing) || m_editDisable) && !IsEditable(RealColIndex(col()), row())) {
        const int c = col(), r = row();
        TabWalk(backward);
        ++steps;
        if ((col() == c && row() == r) || (col() == startCol && row() == startRow) || steps > limit) {
            focusCell(startCol, startRow, true);
            break;
        }
    }
    if (Navigation.AdvanceAutoEdit && !HasControlGraphic(RealColIndex(col()), row()) && (col() != startCol || row() != startRow))
        ClickCell(col(), row());
    m_lastTabCol = -1;
    m_lastTabRow = -1;
    if (Navigation.AlwaysEdit)
        setFocus(Qt::OtherFocusReason);
    return !toNextControl;
}

} // namespace controls::grid
