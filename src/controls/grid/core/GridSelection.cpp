// The selection in every mode (rectangle, disjunct rows, columns or cells), the parked
// selection, the selected text and cells, per-row and per-column flags, modified and enabled
// rows, and the repaint operations.
#include "controls/grid/core/ExtStringGrid.h"

#include "controls/grid/core/RichText.h"
#include "controls/grid/util/ExtUtil.h"
#include "platform/core/Errors.h"

#include <QWidget>
#include <algorithm>

namespace controls::grid {

namespace {
int cellKey(int c, int r) { return int((unsigned(r) << 16) | (unsigned(c) & 0xFFFF)); }
} // namespace

TGridRect TExtStringGrid::Selection() const { return selection(); }

void TExtStringGrid::SetSelection(const TGridRect& r)
{
    setSelection(r);
    if (m_activeCellShow) {
        invalidateRow(0);
        invalidateCol(0);
    }
    if (ActiveRowShow())
        RepaintRow(std::max(r.Top, r.Bottom));
}

void TExtStringGrid::SelectCells(int fromCol, int fromRow, int toCol, int toRow)
{
    SetSelection(TGridRect{fromCol, fromRow, toCol, toRow});
}

void TExtStringGrid::HideSelection()
{
    m_oldSelection = Selection();
    setSelection(TGridRect{colCount(), rowCount(), colCount(), rowCount()});
    m_selHidden = true;
}

void TExtStringGrid::UnHideSelection()
{
    m_selHidden = false;
    if (m_oldSelection.Top < rowCount() && m_oldSelection.Left < colCount() &&
        m_oldSelection.Bottom < rowCount() && m_oldSelection.Right < colCount()) {
        setSelection(m_oldSelection);
        return;
    }
    const int t = m_fixedRowAlways && fixedRows() == rowCount() ? 0 : std::min(fixedRows(), rowCount() - 1);
    const int l = m_fixedColAlways && fixedCols() == colCount() ? 0 : std::min(fixedCols(), colCount() - 1);
    setSelection(TGridRect{l, t, l, t});
}

bool TExtStringGrid::IsSelected(int c, int r) const
{
    if (c < fixedCols() || r < fixedRows())
        return false;
    if (MouseActions.DisjunctCellSelect())
        return m_selectedCells.HasValue(cellKey(c, r));
    if (MouseActions.DisjunctRowSelect())
        return RowSelect(MouseActions.RowSelectPersistent ? RealRowIndex(r) : r);
    if (MouseActions.DisjunctColSelect())
        return ColSelect(c);
    return Selection().contains(c, r);
}

QString TExtStringGrid::SelectedText()
{
    TGridRect s = Selection();
    if (options().testFlag(platform::goRowSelect) && DragDropSettings.OleEntireRows) {
        s.Left = 0;
        s.Right = colCount() - 1;
    }
    std::vector<int> rows;
    if (MouseActions.DisjunctRowSelect()) {
        for (int r = fixedRows(); r < rowCount(); ++r)
            if (RowSelect(MouseActions.RowSelectPersistent ? RealRowIndex(r) : r))
                rows.push_back(r);
    } else {
        for (int r = s.Top; r <= s.Bottom; ++r)
            rows.push_back(r);
    }
    QString out;
    for (size_t i = 0; i < rows.size(); ++i) {
        const int r = rows[i];
        for (int c = s.Left; c <= s.Right; ++c) {
            QString text = Cells(RealColIndex(c), r);
            if (text.contains(QStringLiteral("{\\")))
                text = RichTextToPlain(text);
            if (Multilinecells && ExcelClipboardFormat && text.contains(u'\r'))
                QuoteMultiLine(text);
            out += text;
            if (c < s.Right)
                out += u'\t';
        }
        // Every row but the last ends with a line break, also the rectangle's bottom row when
        // disjunct selected rows lie below it.
        if (i + 1 < rows.size())
            out += QStringLiteral("\r\n");
    }
    return out;
}

int TExtStringGrid::SelectedCellsCount()
{
    if (MouseActions.DisjunctCellSelect())
        return m_selectedCells.Count();
    m_selectedCells.Clear();
    const TGridRect s = Selection();
    if (s.Left == s.Right && s.Top == s.Bottom) {
        m_selectedCells.Insert(0, cellKey(col(), row()));
    } else {
        for (int c = s.Left; c <= s.Right; ++c)
            for (int r = s.Top; r <= s.Bottom; ++r)
                m_selectedCells.Insert(m_selectedCells.Count(), cellKey(c, r));
    }
    return m_selectedCells.Count();
}

TGridCoord TExtStringGrid::SelectedCell(int index) const
{
    const unsigned key = unsigned(m_selectedCells[index]);
    return TGridCoord{int(key & 0xFFFF), int(key >> 16)};
}

bool TExtStringGrid::SelectedCells(int c, int r) const
{
    if (MouseActions.DisjunctCellSelect())
        return m_selectedCells.HasValue(cellKey(c, r));
    const TGridRect s = Selection();
    return c >= std::min(s.Left, s.Right) && c <= std::max(s.Left, s.Right) && r >= std::min(s.Top, s.Bottom) &&
           r <= std::max(s.Top, s.Bottom);
}

void TExtStringGrid::SetSelectedCells(int c, int r, bool on)
{
    const int key = cellKey(c, r);
    if (on && !m_selectedCells.HasValue(key)) {
        m_selectedCells.Insert(m_selectedCells.Count(), key);
        RepaintCell(c, r);
    } else if (!on && m_selectedCells.HasValue(key)) {
        m_selectedCells.DeleteValue(key);
        RepaintCell(c, r);
    }
}

void TExtStringGrid::ClearSelectedCells()
{
    setSelection(TGridRect{fixedCols(), fixedRows(), fixedCols(), fixedRows()});
    m_selectedCells.Clear();
    invalidate();
}

int TExtStringGrid::SelectedRowCount() const
{
    if (MouseActions.DisjunctRowSelect())
        return m_selectedRows.Count();
    TGridRect s = Selection();
    s.Bottom = std::min(s.Bottom, rowCount() - m_fixedFooters - 1);
    const int plain = std::abs(s.Top - s.Bottom) + 1;
    if (IsMergedCell(s.Left, s.Top)) {
        const int span = CellSpan(s.Left, s.Top).y();
        return s.Top + span > s.Bottom ? span + 1 : plain;
    }
    if (IsMergedCell(s.Left, s.Bottom))
        return plain + CellSpan(s.Left, s.Bottom).y();
    return plain;
}

int TExtStringGrid::SelectedColCount() const
{
    if (MouseActions.DisjunctColSelect())
        return int(std::count(m_colSelect.begin(), m_colSelect.end(), 1));
    const TGridRect s = Selection();
    const int plain = std::abs(s.Left - s.Right) + 1;
    if (IsMergedCell(s.Left, s.Top)) {
        const int span = CellSpan(s.Left, s.Top).x();
        return s.Left + span > s.Right ? span + 1 : plain;
    }
    if (IsMergedCell(s.Right, s.Top))
        return plain + CellSpan(s.Right, s.Top).x();
    return plain;
}

int TExtStringGrid::SelectedRow(int index) const
{
    if (MouseActions.DisjunctRowSelect())
        return index >= 0 && index < m_selectedRows.Count() ? m_selectedRows[index] : -1;
    const TGridRect s = Selection();
    const int top = std::min(s.Top, s.Bottom);
    const int r = top + index;
    return index >= 0 && r <= std::max(s.Top, s.Bottom) ? r : -1;
}

// --- row and column flags ---------------------------------------------------------------------------------

void TExtStringGrid::touchRowSelect(int r)
{
    if (r < 0)
        return;
    SetRowSelect(r, true);
}

bool TExtStringGrid::RowSelect(int r) const
{
    if (!MouseActions.RowSelectPersistent && (r < 0 || r >= TotalRowCount()))
        throw platform::EExtGridError(QStringLiteral("Invalid row %1 accessed").arg(r));
    if (MouseActions.DisjunctRowSelect())
        return r >= 0 && r < int(m_rowSelect.size()) && m_rowSelect[size_t(r)] != 0;
    const TGridRect s = Selection();
    return r >= std::min(s.Top, s.Bottom) && r <= std::max(s.Top, s.Bottom);
}

void TExtStringGrid::SetRowSelect(int r, bool value)
{
    if (r < 0 || (r >= TotalRowCount() && rowCount() > fixedRows()))
        throw platform::EExtGridError(QStringLiteral("Invalid row accessed"));
    bool allow = true;
    const bool current = r < int(m_rowSelect.size()) && m_rowSelect[size_t(r)] != 0;
    if ((r >= int(m_rowSelect.size()) || current != value) && OnRowDisjunctSelect)
        OnRowDisjunctSelect(this, r, value, allow);
    if (!allow)
        return;
    if (int(m_rowSelect.size()) <= r)
        m_rowSelect.resize(size_t(r) + 1, 0);
    if (value) {
        if (!current)
            RepaintRow(r);
        m_rowSelect[size_t(r)] = 1;
        if (r >= fixedRows() && !m_selectedRows.HasValue(r))
            m_selectedRows.Insert(m_selectedRows.Count(), r);
    } else {
        if (current)
            RepaintRow(r);
        m_rowSelect[size_t(r)] = 0;
        m_selectedRows.DeleteValue(r);
    }
    if (OnRowDisjunctSelected)
        OnRowDisjunctSelected(this, r);
}

bool TExtStringGrid::ColSelect(int c) const
{
    if (c < 0 || c >= colCount())
        throw platform::EExtGridError(QStringLiteral("Invalid column accessed"));
    return c < int(m_colSelect.size()) && m_colSelect[size_t(c)] != 0;
}

void TExtStringGrid::SetColSelect(int c, bool value)
{
    if (c < 0 || c >= colCount())
        throw platform::EExtGridError(QStringLiteral("Invalid column accessed"));
    if (int(m_colSelect.size()) <= c)
        m_colSelect.resize(size_t(c) + 1, 0);
    if ((m_colSelect[size_t(c)] != 0) != value)
        RepaintCol(c);
    m_colSelect[size_t(c)] = value ? 1 : 0;
}

int TExtStringGrid::RowSelectCount() const
{
    if (MouseActions.DisjunctRowSelect()) {
        const size_t n = std::min(size_t(TotalRowCount()), m_rowSelect.size());
        return int(std::count(m_rowSelect.begin(), m_rowSelect.begin() + std::ptrdiff_t(n), 1));
    }
    const TGridRect s = Selection();
    return std::abs(s.Bottom - s.Top) + 1;
}

int TExtStringGrid::ColSelectCount() const
{
    if (MouseActions.DisjunctColSelect())
        return int(std::count(m_colSelect.begin(), m_colSelect.end(), 1));
    const TGridRect s = Selection();
    return s.Right - s.Left + 1;
}

void TExtStringGrid::SelectRows(int rowIndex, int count)
{
    if (rowIndex + count > rowCount())
        count = rowCount() - rowIndex;
    if (count <= 0 || rowIndex < 0)
        return;
    if (!MouseActions.DisjunctRowSelect()) {
        setSelection(TGridRect{fixedCols(), rowIndex, colCount() - 1, rowIndex + count - 1});
    } else {
        for (int r = rowIndex; r < rowIndex + count; ++r) {
            const int target = MouseActions.RowSelectPersistent ? RealRowIndex(r) : r;
            if (r < rowCount())
                SetRowSelect(target, true);
        }
    }
    if (!RowIndicator.isEmpty())
        RepaintCol(0);
}

void TExtStringGrid::UnSelectRows(int rowIndex, int count)
{
    if (!MouseActions.DisjunctRowSelect())
        return;
    for (int r = rowIndex; r < rowIndex + count; ++r)
        if (r >= 0 && r < rowCount())
            SetRowSelect(MouseActions.RowSelectPersistent ? RealRowIndex(r) : r, false);
}

void TExtStringGrid::SelectCols(int colIndex, int count)
{
    if (!MouseActions.DisjunctColSelect()) {
        setSelection(TGridRect{colIndex, fixedRows(), colIndex + count - 1, rowCount() - 1});
        return;
    }
    for (int c = colIndex; c < colIndex + count; ++c)
        if (c >= 0 && c < colCount())
            SetColSelect(c, true);
}

void TExtStringGrid::UnSelectCols(int colIndex, int count)
{
    if (!MouseActions.DisjunctColSelect())
        return;
    for (int c = colIndex; c < colIndex + count; ++c)
        if (c >= 0 && c < colCount())
            SetColSelect(c, false);
}

void TExtStringGrid::SelectRange(int fromCol, int toCol, int fromRow, int toRow)
{
    SetRow(DisplRowIndex(toRow));
    SetCol(toCol);
    setSelection(TGridRect{fromCol, fromRow, toCol, toRow});
}

void TExtStringGrid::ClearRowSelect()
{
    for (size_t r = 0; r < m_rowSelect.size(); ++r) {
        if (m_rowSelect[r]) {
            m_rowSelect[r] = 0;
            RepaintRow(int(r));
        }
    }
    m_selectedRows.Clear();
}

void TExtStringGrid::ClearColSelect()
{
    for (size_t c = 0; c < m_colSelect.size(); ++c) {
        if (m_colSelect[c]) {
            m_colSelect[c] = 0;
            RepaintCol(int(c));
        }
    }
}

void TExtStringGrid::SelectionToRowSelect(bool all)
{
    TGridRect s = Selection();
    s.Bottom = std::min(s.Bottom, rowCount() - m_fixedFooters - 1);
    for (int r = fixedRows(); r < rowCount(); ++r) {
        const bool inside = r >= s.Top && r <= s.Bottom;
        if (all || inside)
            SetRowSelect(MouseActions.RowSelectPersistent ? RealRowIndex(r) : r, inside);
    }
    if (NumHiddenRows() > 0)
        invalidate();
}

void TExtStringGrid::SelectionToColSelect(bool all)
{
    const TGridRect s = Selection();
    for (int c = fixedCols(); c < colCount(); ++c) {
        const bool inside = c >= s.Left && c <= s.Right;
        if (all || inside)
            SetColSelect(c, inside);
    }
}

bool TExtStringGrid::RowModified(int r) const { return r >= 0 && r < m_modifiedRows.Count() && m_modifiedRows[r] == 1; }

void TExtStringGrid::SetRowModified(int r, bool on)
{
    if (r < 0)
        return;
    while (m_modifiedRows.Count() <= r)
        m_modifiedRows.Insert(m_modifiedRows.Count(), 0);
    m_modifiedRows.SetInteger(r, on ? 1 : 0);
    RepaintCell(0, r);
}

int TExtStringGrid::ModifiedRowCount() const
{
    return int(std::count(m_modifiedRows.Values().begin(), m_modifiedRows.Values().end(), 1));
}

void TExtStringGrid::ClearModifiedRows()
{
    m_modifiedRows.Clear();
    invalidate();
}

bool TExtStringGrid::RowEnabled(int r) const { return !(r >= 0 && r < m_enabledRows.Count() && m_enabledRows[r] == 1); }

void TExtStringGrid::SetRowEnabled(int r, bool on)
{
    if (r < 0)
        return;
    if (r == row()) {
        for (int i = fixedRows(); i < rowCount(); ++i) {
            if (i != r && RowEnabled(i)) {
                SetRow(i);
                break;
            }
        }
    }
    m_useEnabledRows = true;
    while (m_enabledRows.Count() <= r)
        m_enabledRows.Insert(m_enabledRows.Count(), 0);
    m_enabledRows.SetInteger(r, on ? 0 : 1);
    RepaintRow(r);
}

void TExtStringGrid::RepaintRow(int r)
{
    if (r < 0 || r >= rowCount())
        return;
    const Rect a = CellRect(0, r);
    const Rect b = CellRect(std::min(colCount() - 1, leftCol() + visibleColCount()), r);
    if (a.isEmpty() && b.isEmpty())
        return;
    viewport()->update(QRect(QPoint(a.left, std::min(a.top, b.top)), QPoint(std::max(a.right, b.right), std::max(a.bottom, b.bottom))));
}

void TExtStringGrid::RepaintCol(int c)
{
    if (c < 0 || c >= colCount())
        return;
    const Rect a = CellRect(c, topRow());
    const Rect b = CellRect(c, std::min(rowCount() - 1, topRow() + visibleRowCount()));
    viewport()->update(QRect(QPoint(std::min(a.left, b.left), 0), QPoint(std::max(a.right, b.right), std::max(a.bottom, b.bottom))));
}

void TExtStringGrid::RepaintRect(const TGridRect& r)
{
    if (r.Left < 0 || r.Top < 0 || r.Right < 0 || r.Bottom < 0)
        return;
    const Rect a = CellRect(r.Left, r.Top);
    const Rect b = CellRect(std::min(visibleColCount() + fixedCols(), r.Right), r.Bottom);
    if (a.isEmpty() || b.isEmpty()) {
        invalidate();
        return;
    }
    viewport()->update(QRect(QPoint(a.left, a.top), QPoint(b.right, b.bottom)));
}

} // namespace controls::grid
