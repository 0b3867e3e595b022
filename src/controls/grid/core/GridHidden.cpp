// Hidden columns and rows. A hidden column keeps its cells in place (cells are stored by real
// column) and only leaves the column count and widths; a hidden row moves its texts,
// properties and height into an item and the rows below move up. Real and display indexes map
// in a pass over the hidden ones only, so a grid with nothing hidden maps for free.
#include "controls/grid/core/ExtStringGrid.h"

#include <QWidget>
#include <algorithm>
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
    return size_t(std::lower_bound(m_gridItems.begin(), m_gridItems.end(), realRow,
                                   [](const std::unique_ptr<TGridItem>& item, int r) { return item->Idx < r; })
                  - m_gridItems.begin());
}

int TExtStringGrid::RealRowIndex(int displayRow) const
{
    if (m_gridItems.empty())
        return displayRow;
    // Item i (ascending) stands before display row Idx - i. The real row of display row d is d
    // plus the hidden rows standing before it: those with Idx - i <= d (non-decreasing in i).
    size_t lo = 0, hi = m_gridItems.size();
    while (lo < hi) {
        const size_t mid = (lo + hi) / 2;
        if (m_gridItems[mid]->Idx - int(mid) <= displayRow)
            lo = mid + 1;
        else
            hi = mid;
    }
    return displayRow + int(lo);
}

int TExtStringGrid::DisplRowIndex(int realRow) const
{
    if (m_gridItems.empty())
        return realRow;
    return realRow - int(firstItemFrom(realRow));
}

bool TExtStringGrid::IsHiddenRow(int r) const
{
    return itemOf(r) != nullptr;
}

TGridItem* TExtStringGrid::itemOf(int realRow) const
{
    const size_t i = firstItemFrom(realRow);
    return i < m_gridItems.size() && m_gridItems[i]->Idx == realRow ? m_gridItems[i].get() : nullptr;
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

void TExtStringGrid::hideRealRange(int fromRow, int toRow)
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
        if (i < m_gridItems.size() && m_gridItems[i]->Idx == r) {
            ++i;
            continue;
        }
        reals.push_back(r);
    }
    if (reals.empty())
        return;
    std::vector<int> rows(reals.size());
    for (size_t k = 0; k < reals.size(); ++k)
        rows[k] = f + int(k);
    if (QWidget* w = CellControls(1, f))
        w->hide();
    const int top = topRow();
    const int current = row();
    std::vector<platform::TTakenRow> taken = takeDisplayRows(rows);
    // Merge the new items into the ascending list in one pass.
    std::vector<std::unique_ptr<TGridItem>> merged;
    merged.reserve(m_gridItems.size() + taken.size());
    size_t old = 0, k = 0;
    while (old < m_gridItems.size() || k < taken.size()) {
        if (k < taken.size() && (old == m_gridItems.size() || reals[k] < m_gridItems[old]->Idx)) {
            auto item = std::make_unique<TGridItem>();
            item->Idx = reals[k];
            item->Origin = THiddenOrigin::Range;
            item->Height = taken[k].height;
            item->Cells = std::move(taken[k].cells);
            merged.push_back(std::move(item));
            ++k;
        } else {
            merged.push_back(std::move(m_gridItems[old++]));
        }
    }
    m_gridItems.swap(merged);
    if (current < rowCount() - m_fixedFooters && current >= fixedRows())
        setRow(current);
    if (top < rowCount())
        setTopRow(top);
    CellsChanged(QRect(QPoint(0, f), QPoint(ColCount() - 1, f + int(rows.size()))));
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
    // Item j of the run comes back at the display place its real index gives once the run is
    // shown: Idx minus the hidden rows left before it (the items before the run). A hidden row
    // whose index lies beyond the grid (the row count was lowered under it) comes back at the
    // end.
    if (first >= last)
        return;
    const int old = rowCount();
    std::vector<int> positions;
    std::vector<platform::TTakenRow> rows;
    positions.reserve(last - first);
    rows.reserve(last - first);
    for (size_t j = first; j < last; ++j) {
        TGridItem& item = *m_gridItems[j];
        positions.push_back(std::min(item.Idx - int(first), old + int(j - first)));
        rows.push_back(platform::TTakenRow{std::move(item.Cells), item.Height});
    }
    m_gridItems.erase(m_gridItems.begin() + std::ptrdiff_t(first), m_gridItems.begin() + std::ptrdiff_t(last));
    putDisplayRows(positions, std::move(rows));
}

void TExtStringGrid::UnHideRows(int fromRow, int toRow)
{
    if (!IsHiddenRow(fromRow) || toRow < fromRow)
        return;
    const bool modified = ShowModified.Enabled;
    ShowModified.Enabled = false;
    // The hidden rows of the range are one run of items: they come back at the places their
    // real indexes give them, so shown rows inside the range stay where they are.
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
    showItems(0, m_gridItems.size());
    ShowModified.Enabled = modified;
}

void TExtStringGrid::HideRowList(const std::vector<int>& rows)
{
    std::vector<int> list;
    for (int r : rows)
        if (r >= 0 && r < rowCount() && (list.empty() || r > list.back()))
            list.push_back(r);
    if (int(list.size()) >= rowCount())
        list.resize(size_t(rowCount() - 1)); // a grid keeps one row
    // The real index of each listed row, in one walk along the hidden rows.
    std::vector<int> reals(list.size());
    size_t i = 0;
    for (size_t k = 0; k < list.size(); ++k) {
        while (i < m_gridItems.size() && m_gridItems[i]->Idx - int(i) <= list[k])
            ++i;
        reals[k] = list[k] + int(i);
    }
    std::vector<platform::TTakenRow> taken = takeDisplayRows(list);
    std::vector<std::unique_ptr<TGridItem>> merged;
    merged.reserve(m_gridItems.size() + taken.size());
    size_t old = 0, k = 0;
    while (old < m_gridItems.size() || k < taken.size()) {
        if (k < taken.size() && (old == m_gridItems.size() || reals[k] < m_gridItems[old]->Idx)) {
            auto item = std::make_unique<TGridItem>();
            item->Idx = reals[k];
            item->Level = m_filterLevel;
            item->Origin = THiddenOrigin::Filter;
            item->Height = taken[k].height;
            item->Cells = std::move(taken[k].cells);
            merged.push_back(std::move(item));
            ++k;
        } else {
            merged.push_back(std::move(m_gridItems[old++]));
        }
    }
    m_gridItems.swap(merged);
    ++m_filterLevel;
}

void TExtStringGrid::UnHideRowList()
{
    if (m_filterLevel <= 0)
        return;
    const int level = m_filterLevel - 1;
    if (row() >= rowCount())
        moveCurrent(fixedCols(), fixedRows(), true, true);
    // One walk: the level's rows leave the list and go to their display places, the others
    // stay hidden and count for the places of the rows after them.
    const int old = rowCount();
    std::vector<int> positions;
    std::vector<platform::TTakenRow> rows;
    std::vector<std::unique_ptr<TGridItem>> kept;
    kept.reserve(m_gridItems.size());
    for (auto& item : m_gridItems) {
        if (item->Origin == THiddenOrigin::Filter && item->Level == level) {
            positions.push_back(std::min(item->Idx - int(kept.size()), old + int(positions.size())));
            rows.push_back(platform::TTakenRow{std::move(item->Cells), item->Height});
        } else {
            kept.push_back(std::move(item));
        }
    }
    m_gridItems.swap(kept);
    putDisplayRows(positions, std::move(rows));
}

void TExtStringGrid::setColCountRaw(int n) { setColCount(n); }

} // namespace controls::grid
