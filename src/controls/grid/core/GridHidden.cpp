// Hidden columns and rows. A hidden column keeps its cells in place (cells are stored by real
// column) and only leaves the column count and widths; a hidden row moves its texts,
// properties and height into an item and the rows below move up. Real and display indexes map
// in a pass over the hidden ones only, so a grid with nothing hidden maps for free.
#include "controls/grid/core/ExtStringGrid.h"

#include <algorithm>

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

const std::vector<int>& TExtStringGrid::hiddenIdx() const
{
    if (m_hiddenIdxDirty) {
        m_hiddenIdx.clear();
        m_hiddenIdx.reserve(m_gridItems.size());
        for (const auto& item : m_gridItems)
            m_hiddenIdx.push_back(item->Idx);
        std::sort(m_hiddenIdx.begin(), m_hiddenIdx.end());
        m_hiddenIdxDirty = false;
    }
    return m_hiddenIdx;
}

int TExtStringGrid::RealRowIndex(int displayRow) const
{
    if (m_gridItems.empty())
        return displayRow;
    int r = displayRow;
    int last = -1;
    for (int h : hiddenIdx()) {
        if (h == last)
            continue; // one hidden row, however many items name it
        last = h;
        if (h <= r)
            ++r;
        else
            break;
    }
    return r;
}

int TExtStringGrid::DisplRowIndex(int realRow) const
{
    if (m_gridItems.empty())
        return realRow;
    const std::vector<int>& idx = hiddenIdx();
    return realRow - int(std::lower_bound(idx.begin(), idx.end(), realRow) - idx.begin());
}

bool TExtStringGrid::IsHiddenRow(int r) const
{
    if (m_gridItems.empty())
        return false;
    const std::vector<int>& idx = hiddenIdx();
    return std::binary_search(idx.begin(), idx.end(), r);
}

TGridItem* TExtStringGrid::itemOf(int realRow) const
{
    for (const auto& item : m_gridItems)
        if (item->Idx == realRow)
            return item.get();
    return nullptr;
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

void TExtStringGrid::fillRowItem(TGridItem& item, int displayRow)
{
    const int total = TotalColCount();
    item.Texts.reserve(total);
    item.Objects.reserve(size_t(total));
    for (int c = 0; c < total; ++c) {
        item.Texts << cells(c, displayRow);
        item.Objects.push_back(GetGridObject(c, displayRow));
        setObjects(c, displayRow, nullptr); // the item holds them now
    }
    item.Height = rowHeights(displayRow);
}

void TExtStringGrid::restoreRowItem(TGridItem& item, int displayRow)
{
    for (int c = 0; c < int(item.Texts.size()); ++c)
        setCells(c, displayRow, item.Texts[c]);
    for (size_t c = 0; c < item.Objects.size(); ++c) {
        setObjects(int(c), displayRow, item.Objects[c]);
        item.Objects[c] = nullptr; // back with the cell
    }
    if (item.Height > 0 && rowHeights(displayRow) != item.Height)
        setRowHeights(displayRow, item.Height);
}

void TExtStringGrid::HideRows(int fromRow, int toRow)
{
    if (fromRow > toRow || fromRow < 0)
        return;
    int shown = 0;
    for (int r = fromRow; r <= toRow; ++r)
        if (!IsHiddenRow(r))
            ++shown;
    if (shown == 0)
        return;
    const int f = DisplRowIndex(fromRow);
    if (f >= rowCount())
        return;
    size_t p = 0;
    for (const auto& item : m_gridItems)
        if (item->Idx < fromRow)
            ++p;
    std::vector<std::unique_ptr<TGridItem>> taken;
    int k = 0;
    for (int r = fromRow; r <= toRow && f + k < rowCount(); ++r) {
        if (IsHiddenRow(r))
            continue;
        auto item = std::make_unique<TGridItem>();
        item->Idx = r;
        item->Origin = THiddenOrigin::Range;
        fillRowItem(*item, f + k);
        taken.push_back(std::move(item));
        ++k;
    }
    for (auto& item : taken)
        m_gridItems.insert(m_gridItems.begin() + std::ptrdiff_t(p++), std::move(item));
    hiddenRowsChanged();
    if (QWidget* w = CellControls(1, f))
        w->hide();
    deleteRowsCore(f, k);
}

void TExtStringGrid::HideRowsEx(int fromRow, int toRow)
{
    if (fromRow > toRow || fromRow < 0 || IsHiddenRow(fromRow))
        return;
    const int f = DisplRowIndex(fromRow);
    int k = 0;
    std::vector<std::unique_ptr<TGridItem>> taken;
    for (int r = fromRow; r <= toRow && f + k < rowCount(); ++r) {
        if (IsHiddenRow(r))
            continue;
        auto item = std::make_unique<TGridItem>();
        item->Idx = r;
        item->Origin = THiddenOrigin::Range;
        fillRowItem(*item, f + k);
        taken.push_back(std::move(item));
        ++k;
    }
    for (auto& item : taken)
        m_gridItems.push_back(std::move(item));
    hiddenRowsChanged();
    deleteRowsCore(f, k);
}

void TExtStringGrid::UnHideRows(int fromRow, int toRow)
{
    if (!IsHiddenRow(fromRow))
        return;
    const bool modified = ShowModified.Enabled;
    ShowModified.Enabled = false;
    // Each row goes back to the place its real index gives it, in ascending order, so a range
    // with shown rows in it loses and doubles nothing.
    for (;;) {
        auto best = m_gridItems.end();
        for (auto it = m_gridItems.begin(); it != m_gridItems.end(); ++it)
            if ((*it)->Idx >= fromRow && (*it)->Idx <= toRow && (best == m_gridItems.end() || (*it)->Idx < (*best)->Idx))
                best = it;
        if (best == m_gridItems.end())
            break;
        std::unique_ptr<TGridItem> item = std::move(*best);
        m_gridItems.erase(best);
        hiddenRowsChanged();
        const int d = std::min(DisplRowIndex(item->Idx), rowCount());
        insertRowsCore(d, 1);
        restoreRowItem(*item, d);
    }
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
    while (!m_gridItems.empty()) {
        const int lowest = hiddenIdx().front();
        const int highest = hiddenIdx().back();
        UnHideRows(lowest, highest);
        if (!m_gridItems.empty() && hiddenIdx().front() == lowest)
            break; // nothing could be shown (cannot happen; keeps the loop finite)
    }
}

void TExtStringGrid::HideRowList(const std::vector<int>& rows)
{
    std::vector<int> list;
    for (int r : rows)
        if (r >= 0 && r < rowCount() && (list.empty() || r > list.back()))
            list.push_back(r);
    for (int r : list) {
        auto item = std::make_unique<TGridItem>();
        item->Idx = r;
        item->Level = m_filterLevel;
        item->Origin = THiddenOrigin::Filter;
        fillRowItem(*item, r);
        m_gridItems.push_back(std::move(item));
    }
    ++m_filterLevel;
    hiddenRowsChanged();
    // Compact: the listed rows go, from the bottom so the indexes above stay valid.
    for (auto it = list.rbegin(); it != list.rend(); ++it)
        deleteRowsCore(*it, 1);
}

void TExtStringGrid::UnHideRowList()
{
    if (m_filterLevel <= 0)
        return;
    const int level = m_filterLevel - 1;
    if (row() >= rowCount())
        moveCurrent(fixedCols(), fixedRows(), true, true);
    std::vector<std::unique_ptr<TGridItem>> mine;
    for (auto it = m_gridItems.begin(); it != m_gridItems.end();) {
        if ((*it)->Origin == THiddenOrigin::Filter && (*it)->Level == level) {
            mine.push_back(std::move(*it));
            it = m_gridItems.erase(it);
        } else {
            ++it;
        }
    }
    hiddenRowsChanged();
    std::sort(mine.begin(), mine.end(), [](const auto& a, const auto& b) { return a->Idx < b->Idx; });
    // The display places they had when the level was applied, the levels after it being
    // shown already.
    for (auto& item : mine) {
        const int d = std::min(item->Idx, rowCount());
        insertRowsCore(d, 1);
        restoreRowItem(*item, d);
    }
}

void TExtStringGrid::setColCountRaw(int n) { setColCount(n); }

} // namespace controls::grid
