// Hidden columns and rows. A hidden column keeps its cells in place (cells are stored by real
// column) and only leaves the column count and widths; a hidden row moves its texts,
// properties and height into an item and the rows below move up. Real and display indexes map
// in a pass over the hidden ones only, so a grid with nothing hidden maps for free.
#include "controls/grid/core/ExtStringGrid.h"

#include "controls/grid/core/RowLists.h"

#include <QWidget>
#include <algorithm>
#include <functional>
#include <climits>

namespace controls::grid {

// --- index mapping -------------------------------------------------------------------------------

int TExtStringGrid::RealColIndex(int displayCol) const
{
    int r = displayCol;
    for (int h : m_hiddenCols) {
        if (h <= r)
            ++r;
        else
            break;
    }
    return r;
}

int TExtStringGrid::DisplColIndex(int realCol) const
{
    const auto below = std::lower_bound(m_hiddenCols.begin(), m_hiddenCols.end(), realCol);
    return realCol - int(below - m_hiddenCols.begin());
}

bool TExtStringGrid::IsHiddenColumn(int c) const
{
    return std::binary_search(m_hiddenCols.begin(), m_hiddenCols.end(), c);
}

size_t TExtStringGrid::firstItemFrom(int realRow) const
{
    return size_t(std::lower_bound(m_hidden.Idx.begin(), m_hidden.Idx.end(), realRow) - m_hidden.Idx.begin());
}

int TExtStringGrid::RealRowIndex(int displayRow) const
{
    const std::vector<int>& idx = m_hidden.Idx;
    if (idx.empty())
        return displayRow;
    // Hidden row i (ascending) stands before display row Idx - i. The real row of display row d
    // is d plus the hidden rows standing before it: those with Idx - i <= d (non-decreasing).
    size_t lo = 0, hi = idx.size();
    while (lo < hi) {
        const size_t mid = (lo + hi) / 2;
        if (idx[mid] - int(mid) <= displayRow)
            lo = mid + 1;
        else
            hi = mid;
    }
    return displayRow + int(lo);
}

int TExtStringGrid::DisplRowIndex(int realRow) const
{
    if (m_hidden.Idx.empty())
        return realRow;
    return realRow - int(firstItemFrom(realRow));
}

bool TExtStringGrid::IsHiddenRow(int r) const { return hiddenIndexOf(r) >= 0; }

std::vector<int> TExtStringGrid::realIndexesOf(const std::vector<int>& displayRows) const
{
    // One walk along the hidden rows for the whole ascending list.
    std::vector<int> reals(displayRows.size());
    const std::vector<int>& idx = m_hidden.Idx;
    size_t i = 0;
    for (size_t k = 0; k < displayRows.size(); ++k) {
        while (i < idx.size() && idx[i] - int(i) <= displayRows[k])
            ++i;
        reals[k] = displayRows[k] + int(i);
    }
    return reals;
}

int TExtStringGrid::hiddenIndexOf(int realRow) const
{
    const size_t i = firstItemFrom(realRow);
    return i < m_hidden.Idx.size() && m_hidden.Idx[i] == realRow ? int(i) : -1;
}

TGridItem TExtStringGrid::HiddenRowItem(int index) const
{
    const size_t i = size_t(index);
    if (index < 0 || i >= m_hidden.Idx.size())
        throw platform::EInvalidGridOperation(QStringLiteral("Grid index out of range"));
    TGridItem item;
    item.Idx = m_hidden.Idx[i];
    item.Height = m_hidden.height(i);
    item.Level = std::max(0, m_hidden.Levels[i]);
    item.Origin = m_hidden.Levels[i] < 0 ? THiddenOrigin::Range : THiddenOrigin::Filter;
    item.Cells = m_hidden.Cells[i].get();
    return item;
}

platform::GridRowPtr& TExtStringGrid::hiddenCellsForWrite(int index) { return m_hidden.Cells[size_t(index)]; }

void TExtStringGrid::dropHiddenRows()
{
    for (const platform::GridRowPtr& cells : m_hidden.Cells)
        if (cells)
            for (const auto& o : cells->objects())
                delete static_cast<TCellProperties*>(o.object);
    m_hidden = THiddenRows();
}

// --- columns -------------------------------------------------------------------------------------------

void TExtStringGrid::HideColumns(int fromCol, int toCol)
{
    setEditorMode(false);
    for (int c = std::max(0, fromCol); c <= toCol; ++c) {
        if (IsHiddenColumn(c) || c >= TotalColCount() || colCount() < 2)
            continue;
        const int d = DisplColIndex(c);
        if (int(m_allColWidths.size()) <= c)
            m_allColWidths.resize(size_t(c) + 1, defaultColWidth());
        m_allColWidths[size_t(c)] = colWidths(d);
        for (int i = d; i < colCount() - 1; ++i)
            if (colWidths(i) != colWidths(i + 1))
                setColWidths(i, colWidths(i + 1));
        m_hiddenCols.insert(std::lower_bound(m_hiddenCols.begin(), m_hiddenCols.end(), c), c);
        if (col() == colCount() - 1 && col() > fixedCols())
            setCol(col() - 1);
        setColCount(colCount() - 1);
    }
    invalidate();
}

void TExtStringGrid::UnHideColumns(int fromCol, int toCol)
{
    setEditorMode(false);
    for (int c = fromCol; c <= toCol; ++c) {
        const auto it = std::lower_bound(m_hiddenCols.begin(), m_hiddenCols.end(), c);
        if (it == m_hiddenCols.end() || *it != c)
            continue;
        m_hiddenCols.erase(it);
        setColCount(colCount() + 1);
        const int d = DisplColIndex(c);
        for (int i = colCount() - 1; i > d; --i)
            if (colWidths(i) != colWidths(i - 1))
                setColWidths(i, colWidths(i - 1));
        const int w = c < int(m_allColWidths.size()) ? m_allColWidths[size_t(c)] : defaultColWidth();
        setColWidths(d, w);
    }
    invalidate();
}

void TExtStringGrid::UnHideColumnsAll()
{
    if (!m_hiddenCols.empty())
        UnHideColumns(0, m_hiddenCols.back());
}

// --- rows ------------------------------------------------------------------------------------------------

void TExtStringGrid::hideRealRange(int fromRow, int toRow, int level)
{
    fromRow = std::max(0, fromRow);
    toRow = std::min(toRow, TotalRowCount() - 1);
    if (fromRow > toRow)
        return;
    // The shown rows of the range stand one after the other in the display, from the display
    // place of the range's first row; a grid keeps one row.
    const int f = DisplRowIndex(fromRow);
    std::vector<int> reals;
    size_t i = firstItemFrom(fromRow);
    for (int r = fromRow; r <= toRow && int(reals.size()) < rowCount() - 1 && f + int(reals.size()) < rowCount(); ++r) {
        if (i < m_hidden.Idx.size() && m_hidden.Idx[i] == r) {
            ++i;
            continue;
        }
        reals.push_back(r);
    }
    if (reals.empty())
        return;
    const std::vector<int> rows = rowlists::range(f, int(reals.size()));
    if (QWidget* w = CellControls(1, f))
        w->hide();
    const int top = topRow();
    const int current = row();
    mergeItems(std::move(reals), takeDisplayRows(rows), level);
    keepRowAndTop(current, top, false);
    CellsChanged(QRect(QPoint(0, f), QPoint(ColCount() - 1, f + int(rows.size()))));
}

void TExtStringGrid::mergeItems(std::vector<int> reals, platform::TTakenRows taken, int level)
{
    THiddenRows& h = m_hidden;
    const size_t k = reals.size();
    if (k == 0)
        return;
    const bool heights = !h.Heights.empty() || !taken.heights.empty();
    if (h.Idx.empty()) {
        // Nothing hidden yet (a first filter level): the lists are taken over whole.
        h.Idx = std::move(reals);
        h.Cells = std::move(taken.cells);
        h.Heights = std::move(taken.heights);
        h.Levels.assign(k, level);
        return;
    }
    if (heights) {
        h.Heights.resize(h.Idx.size(), 0);
        taken.heights.resize(k, 0);
    }
    if (h.Idx.back() < reals.front()) {
        // All new rows after the hidden ones: appended.
        h.Idx.insert(h.Idx.end(), reals.begin(), reals.end());
        h.Cells.insert(h.Cells.end(), std::make_move_iterator(taken.cells.begin()),
                       std::make_move_iterator(taken.cells.end()));
        if (heights)
            h.Heights.insert(h.Heights.end(), taken.heights.begin(), taken.heights.end());
        h.Levels.insert(h.Levels.end(), k, level);
        return;
    }
    // Merge from the back, in place.
    const size_t old = h.Idx.size();
    h.Idx.resize(old + k);
    h.Cells.resize(old + k);
    h.Levels.resize(old + k);
    if (heights)
        h.Heights.resize(old + k);
    size_t write = old + k;
    size_t i = old;
    size_t j = k;
    while (j > 0) {
        --write;
        if (i > 0 && h.Idx[i - 1] > reals[j - 1]) {
            --i;
            h.Idx[write] = h.Idx[i];
            h.Cells[write] = std::move(h.Cells[i]);
            h.Levels[write] = h.Levels[i];
            if (heights)
                h.Heights[write] = h.Heights[i];
            continue;
        }
        --j;
        h.Idx[write] = reals[j];
        h.Cells[write] = std::move(taken.cells[j]);
        h.Levels[write] = level;
        if (heights)
            h.Heights[write] = taken.heights[j];
    }
}

void TExtStringGrid::HideRows(int fromRow, int toRow)
{
    hideRealRange(fromRow, toRow);
}

void TExtStringGrid::HideRowsEx(int fromRow, int toRow)
{
    if (fromRow > toRow || fromRow < 0 || IsHiddenRow(fromRow))
        return;
    hideRealRange(fromRow, toRow);
}

void TExtStringGrid::showItems(size_t first, size_t last)
{
    // Hidden row j of the run comes back at the display place its real index gives once the run
    // is shown: Idx minus the hidden rows left before it (those before the run). A hidden row
    // whose index lies beyond the grid (the row count was lowered under it) comes back at the
    // end.
    THiddenRows& h = m_hidden;
    if (first >= last)
        return;
    const int old = rowCount();
    std::vector<int> positions(h.Idx.begin() + std::ptrdiff_t(first), h.Idx.begin() + std::ptrdiff_t(last));
    for (size_t j = 0; j < positions.size(); ++j)
        positions[j] = std::min(positions[j] - int(first), old + int(j));
    platform::TTakenRows rows;
    rows.cells.assign(std::make_move_iterator(h.Cells.begin() + std::ptrdiff_t(first)),
                      std::make_move_iterator(h.Cells.begin() + std::ptrdiff_t(last)));
    if (!h.Heights.empty())
        rows.heights.assign(h.Heights.begin() + std::ptrdiff_t(first), h.Heights.begin() + std::ptrdiff_t(last));
    auto cut = [first, last](auto& v) {
        if (!v.empty())
            v.erase(v.begin() + std::ptrdiff_t(first), v.begin() + std::ptrdiff_t(last));
    };
    cut(h.Idx);
    cut(h.Cells);
    cut(h.Heights);
    cut(h.Levels);
    putDisplayRows(positions, std::move(rows));
}

void TExtStringGrid::UnHideRows(int fromRow, int toRow)
{
    if (!IsHiddenRow(fromRow) || toRow < fromRow)
        return;
    const bool modified = ShowModified.Enabled;
    ShowModified.Enabled = false;
    // The hidden rows of the range are one run: they come back at the places their real
    // indexes give them, so shown rows inside the range stay where they are.
    showItems(firstItemFrom(fromRow), firstItemFrom(toRow == INT_MAX ? toRow : toRow + 1));
    ShowModified.Enabled = modified;
    const int f = DisplRowIndex(fromRow);
    if (QWidget* w = CellControls(1, f)) {
        const Rect r = CellRect(1, f);
        w->setGeometry(r.left, r.top, r.width(), r.height());
        w->show();
    }
}

void TExtStringGrid::UnHideRow(int r)
{
    UnHideRows(r, r);
    for (int i = 0; i < m_controlList.Count(); ++i) {
        const TControlItem& item = m_controlList.GetControl(i);
        if (item.Y == r && item.Object)
            item.Object->show();
    }
}

void TExtStringGrid::UnHideRowsAll()
{
    const bool modified = ShowModified.Enabled;
    ShowModified.Enabled = false;
    showItems(0, m_hidden.Idx.size());
    ShowModified.Enabled = modified;
}

void TExtStringGrid::HideRowList(const std::vector<int>& rows)
{
    // Rows outside the grid and rows out of order are left out; a grid keeps one row. A clean
    // list (the filter's) is used as it is.
    std::vector<int> cleaned;
    const bool clean = std::adjacent_find(rows.begin(), rows.end(), std::greater_equal<int>()) == rows.end()
                       && (rows.empty() || (rows.front() >= 0 && rows.back() < rowCount()))
                       && int(rows.size()) < rowCount();
    if (!clean) {
        for (int r : rows)
            if (r >= 0 && r < rowCount() && (cleaned.empty() || r > cleaned.back()))
                cleaned.push_back(r);
        if (int(cleaned.size()) >= rowCount())
            cleaned.resize(size_t(rowCount() - 1));
    }
    const std::vector<int>& list = clean ? rows : cleaned;
    if (list.empty()) {
        ++m_filterLevel;
        return;
    }
    mergeItems(realIndexesOf(list), takeDisplayRows(list), m_filterLevel);
    ++m_filterLevel;
}

void TExtStringGrid::UnHideRowList()
{
    if (m_filterLevel <= 0)
        return;
    const int level = m_filterLevel - 1;
    if (row() >= rowCount())
        moveCurrent(fixedCols(), fixedRows(), true, true);
    THiddenRows& h = m_hidden;
    const int old = rowCount();
    const size_t n = h.Idx.size();
    size_t mine = 0;
    for (int l : h.Levels)
        mine += l == level ? 1 : 0;
    if (mine == 0)
        return;
    if (mine == n && (n == 0 || h.Idx.back() < old + int(n))) {
        // Every hidden row is of this level (the common case): each comes back at its real
        // index, and the lists are handed over whole.
        std::vector<int> positions = std::move(h.Idx);
        platform::TTakenRows rows;
        rows.cells = std::move(h.Cells);
        rows.heights = std::move(h.Heights);
        h = THiddenRows();
        putDisplayRows(positions, std::move(rows));
    } else {
        showItemsOfLevel(0, n, level);
    }
}

void TExtStringGrid::showItemsOfLevel(size_t first, size_t last, int level)
{
    THiddenRows& h = m_hidden;
    const int old = rowCount();
    std::vector<int> positions;
    platform::TTakenRows rows;
    size_t kept = first;
    const size_t n = h.Idx.size();
    for (size_t i = first; i < n; ++i) {
        if (i < last && h.Levels[i] == level) {
            positions.push_back(std::min(h.Idx[i] - int(kept), old + int(positions.size())));
            rows.add(std::move(h.Cells[i]), h.height(i), 0);
            continue;
        }
        if (kept != i) {
            h.Idx[kept] = h.Idx[i];
            h.Cells[kept] = std::move(h.Cells[i]);
            h.Levels[kept] = h.Levels[i];
            if (!h.Heights.empty())
                h.Heights[kept] = h.Heights[i];
        }
        ++kept;
    }
    h.Idx.resize(kept);
    h.Cells.resize(kept);
    h.Levels.resize(kept);
    if (!h.Heights.empty())
        h.Heights.resize(kept);
    putDisplayRows(positions, std::move(rows));
}

void TExtStringGrid::setColCountRaw(int n) { setColCount(n); }

} // namespace controls::grid
