// Inserting, removing, moving and swapping rows and columns with everything that hangs on them:
// texts and properties (a property object stays with its cell and is freed only when its row is
// removed or its cell cleared), heights and widths, hidden rows and columns, the per-row lists,
// cell controls and the column order.
#include "controls/grid/core/ExtStringGrid.h"

#include "controls/grid/core/RowLists.h"

#include <QWidget>
#include <algorithm>
#include <set>

namespace controls::grid {


namespace {

// Where an entry lands when the one at `from` is taken out and put back in at `to`.
int movedIndex(int i, int from, int to)
{
    if (i == from)
        return to;
    if (from < to && i > from && i <= to)
        return i - 1;
    if (to < from && i >= to && i < from)
        return i + 1;
    return i;
}

template <typename List>
void moveEntry(List& list, int from, int to)
{
    if (from < 0 || to < 0 || from >= int(list.size()) || to >= int(list.size()) || from == to)
        return;
    auto entry = std::move(list[size_t(from)]);
    list.erase(list.begin() + from);
    list.insert(list.begin() + to, std::move(entry));
}

} // namespace

void TExtStringGrid::columnMoved(int fromIndex, int toIndex)
{
    const int realFrom = RealColIndex(fromIndex);
    const int realTo = RealColIndex(toIndex);
    if (realFrom < m_columnOrder.Count() && realTo < m_columnOrder.Count()) {
        const int entry = m_columnOrder[realFrom];
        m_columnOrder.Delete(realFrom);
        m_columnOrder.Insert(realTo, entry);
    }
    if (EnhRowColMove) {
        const int w = colWidths(fromIndex);
        const int step = fromIndex < toIndex ? 1 : -1;
        for (int i = fromIndex; i != toIndex; i += step)
            if (colWidths(i) != colWidths(i + step))
                setColWidths(i, colWidths(i + step));
        setColWidths(toIndex, w);
        m_colMoveFlg = true;
    }
    // Hidden columns keep their place among the real columns that move: their flags and kept
    // widths move the same way.
    if (!m_hiddenCols.empty()) {
        for (int& h : m_hiddenCols)
            h = movedIndex(h, realFrom, realTo);
        std::sort(m_hiddenCols.begin(), m_hiddenCols.end());
        if (!m_allColWidths.empty()) {
            if (int(m_allColWidths.size()) <= std::max(realFrom, realTo))
                m_allColWidths.resize(size_t(std::max(realFrom, realTo) + 1), 0);
            moveEntry(m_allColWidths, realFrom, realTo);
        }
    }
    TBaseGrid::columnMoved(realFrom, realTo);
    // The stored cells of hidden rows.
    for (platform::GridRowPtr& cells : m_hidden.Cells) {
        if (!cells || realFrom == realTo)
            continue;
        if (realFrom < realTo)
            cells->rotateColumns(realFrom, realFrom + 1, realTo + 1);
        else
            cells->rotateColumns(realTo, realFrom, realFrom + 1);
    }
    // The sort column and the columns of the sort index.
    if (SortSettings.Column >= 0)
        SortSettings.Column = movedIndex(SortSettings.Column, realFrom, realTo);
    if (SortSettings.IndexShow)
        for (int i = 0; i < SortIndexes.Count(); ++i)
            SortIndexes.SetSortColumns(i, movedIndex(SortIndexes.GetSortColumns(i), realFrom, realTo));
    if (FloatingFooter.Visible)
        invalidate();
    // A synchronised partner follows once, without coming back.
    if (!m_syncedMove && SyncGrid.MoveColumn) {
        if (auto* partner = dynamic_cast<TExtStringGrid*>(SyncGrid.Grid()); partner && !partner->m_syncedMove
                                                                              && fromIndex < partner->ColCount()
                                                                              && toIndex < partner->ColCount()) {
            partner->m_syncedMove = true;
            partner->MoveColumn(fromIndex, toIndex);
            partner->m_syncedMove = false;
        }
    }
}

void TExtStringGrid::rowMoved(int fromIndex, int toIndex)
{
    if (EnhRowColMove && fromIndex < rowCount() && toIndex < rowCount()) {
        // The height travels with its row: the heights in between shift by one, in one pass.
        if (fromIndex < toIndex)
            rotateRowHeights(fromIndex, fromIndex + 1, toIndex + 1);
        else if (fromIndex > toIndex)
            rotateRowHeights(toIndex, fromIndex, fromIndex + 1);
        m_colMoveFlg = true;
    }
    TBaseGrid::rowMoved(fromIndex, toIndex);
    if (!m_syncedMove && SyncGrid.MoveRow) {
        if (auto* partner = dynamic_cast<TExtStringGrid*>(SyncGrid.Grid()); partner && !partner->m_syncedMove
                                                                              && fromIndex < partner->RowCount()
                                                                              && toIndex < partner->RowCount()) {
            partner->m_syncedMove = true;
            partner->MoveRow(fromIndex, toIndex);
            partner->m_syncedMove = false;
        }
    }
}

void TExtStringGrid::MoveRowCells(int from, int to)
{
    if (from == to)
        return;
    const int total = TotalColCount();
    for (int c = 0; c < total; ++c) {
        setCells(c, to, cells(c, from));
        setObjects(c, to, objects(c, from));
        setObjects(c, from, nullptr);
        setCells(c, from, QString());
    }
}

void TExtStringGrid::ClearRowCells(int r, bool dropObjects)
{
    const int total = TotalColCount();
    for (int c = 0; c < total; ++c) {
        if (dropObjects)
            setObjects(c, r, nullptr);
        else
            FreeCellProps(c, r);
        if (!cells(c, r).isEmpty())
            setCells(c, r, QString());
    }
}

// --- the row cores ------------------------------------------------------------------------------

platform::TTakenRows TExtStringGrid::takeDisplayRows(const std::vector<int>& rows)
{
    if (rows.empty())
        return {};
    platform::TTakenRows taken = takeRowBlock(rows);
    if (MouseActions.DisjunctRowSelect() && !MouseActions.RowSelectPersistent)
        rowlists::erase(m_rowSelect, rows);
    TBaseGrid::SetNormalRowCount(rowCount());
    return taken;
}

void TExtStringGrid::putDisplayRows(const std::vector<int>& positions, platform::TTakenRows rows)
{
    if (positions.empty())
        return;
    putRowBlock(positions, std::move(rows));
    if (ShowModified.Enabled)
        rowlists::insert(m_modifiedRows.RawValues(), positions, 0);
    if (m_useEnabledRows)
        rowlists::insert(m_enabledRows.RawValues(), positions, 0);
    if (MouseActions.DisjunctRowSelect() && !MouseActions.RowSelectPersistent)
        rowlists::insert(m_rowSelect, positions, char(0));
    TBaseGrid::SetNormalRowCount(rowCount());
    m_maxRowCount = std::max(m_maxRowCount, rowCount());
}

void TExtStringGrid::shiftHiddenForRemoval(int displayRow, int count)
{
    // A hidden row moves up by the removed rows that stood before it: its display place (Idx - i)
    // minus the first removed row, at most count.
    std::vector<int>& idx = m_hidden.Idx;
    for (size_t i = 0; i < idx.size(); ++i)
        idx[i] -= std::clamp(idx[i] - int(i) - displayRow, 0, count);
}

void TExtStringGrid::shiftHiddenForInsertion(int displayRow, int count)
{
    // Rows inserted before display row d stand after the hidden rows in front of d.
    std::vector<int>& idx = m_hidden.Idx;
    for (size_t i = 0; i < idx.size(); ++i)
        if (idx[i] - int(i) > displayRow)
            idx[i] += count;
}

void TExtStringGrid::keepRowAndTop(int current, int top, bool toLastDataRow)
{
    // After rows left: the current row and the top row stay where they were when they still
    // can; a current row past the data rows goes to the last one when asked.
    if (current < rowCount() - m_fixedFooters && current >= fixedRows())
        setRow(current);
    else if (toLastDataRow && rowCount() - m_fixedFooters - 1 >= fixedRows())
        setRow(rowCount() - m_fixedFooters - 1);
    if (top < rowCount())
        setTopRow(top);
}

void TExtStringGrid::deleteRowsCore(int index, int count)
{
    const int old = rowCount();
    if (index < 0 || index >= old || count <= 0)
        return;
    count = std::min({count, old - index, old - 1}); // a grid keeps one row
    if (count <= 0)
        return;
    const int top = topRow();
    const int current = row();
    deleteRowBlock(index, count);
    if (MouseActions.DisjunctRowSelect() && !MouseActions.RowSelectPersistent)
        rowlists::eraseRange(m_rowSelect, index, count);
    TBaseGrid::SetNormalRowCount(rowCount());
    keepRowAndTop(current, top, false);
    CellsChanged(QRect(QPoint(0, index), QPoint(ColCount() - 1, index + count)));
}

void TExtStringGrid::insertRowsCore(int rowIndex, int count)
{
    if (count <= 0)
        return;
    rowIndex = std::clamp(rowIndex, 0, rowCount());
    // Empty rows in; what the store kept beyond the old count is not a row of this grid.
    insertRowBlock(rowIndex, count);
    TBaseGrid::SetNormalRowCount(rowCount());
    m_maxRowCount = std::max(m_maxRowCount, rowCount());
}

void TExtStringGrid::InsertRows(int rowIndex, int count, bool updateCellControls)
{
    if (count <= 0 || rowIndex < 0)
        return;
    if (m_selHidden || col() >= colCount() || row() >= rowCount())
        UnHideSelection();
    const int realIndex = RealRowIndex(rowIndex);
    const bool footer = FloatingFooter.Visible;
    if (footer && rowIndex >= rowCount())
        rowIndex = rowCount() - 1;
    rowIndex = std::min(rowIndex, rowCount());
    if (!m_hidden.Idx.empty())
        shiftHiddenForInsertion(rowIndex, count);
    insertRowsCore(rowIndex, count);
    if (ShowModified.Enabled)
        rowlists::insertRange(m_modifiedRows.RawValues(), rowIndex, count, 0);
    if (m_useEnabledRows)
        rowlists::insertRange(m_enabledRows.RawValues(), rowIndex, count, 0);
    if (MouseActions.DisjunctRowSelect())
        rowlists::insertRange(m_rowSelect, rowIndex, count, char(0));
    if (updateCellControls) {
        for (int i = 0; i < m_controlList.Count(); ++i) {
            TControlItem& item = m_controlList.GetControl(i);
            if (item.Y >= realIndex)
                item.Y += count;
        }
    }
    if (!Destroying())
        CellsChanged(QRect(QPoint(0, rowIndex), QPoint(ColCount() - 1, rowIndex + count)));
}

void TExtStringGrid::RemoveRows(int rowIndex, int count)
{
    // A start at or past the last row removes nothing; a count past the end is cut there.
    if (rowIndex < 0 || rowIndex >= rowCount() || count <= 0)
        return;
    count = std::min({count, rowCount() - rowIndex, rowCount() - 1});
    if (count <= 0)
        return;
    const int realEnd = RealRowIndex(rowIndex + count - 1);
    nodesGone(nodeRowsIn(rowIndex, rowIndex + count));
    for (int i = m_controlList.Count() - 1; i >= 0; --i) {
        TControlItem& item = m_controlList.GetControl(i);
        if (item.Y > realEnd)
            item.Y -= count;
    }
    // The removed rows' cell properties are freed; their texts go with the rows.
    if (CellPropsAlive() > 0)
        cellStore().forEachRow(rowIndex, rowIndex + count, [](int, const platform::GridRow& cells) {
            for (const auto& o : cells.objects())
                delete static_cast<TCellProperties*>(o.object);
            return true;
        });
    const int top = topRow();
    const int current = row();
    if (!m_hidden.Idx.empty())
        shiftHiddenForRemoval(rowIndex, count);
    if (ShowModified.Enabled)
        rowlists::eraseRange(m_modifiedRows.RawValues(), rowIndex, count);
    if (m_useEnabledRows)
        rowlists::eraseRange(m_enabledRows.RawValues(), rowIndex, count);
    if (MouseActions.DisjunctRowSelect())
        rowlists::eraseRange(m_rowSelect, rowIndex, count);
    const int old = rowCount();
    deleteRowBlock(rowIndex, count);
    // What the store kept just beyond the old count is no row of this grid either.
    cellStoreForWrite().clearRows(old - count, old + 1);
    TBaseGrid::SetNormalRowCount(rowCount());
    m_maxRowCount = std::max(rowCount(), m_maxRowCount - count);
    if (current < rowCount() - m_fixedFooters) {
        if (!MouseActions.DisjunctRowSelect() && current >= fixedRows())
            setRow(current);
        if (top < rowCount())
            setTopRow(top);
    } else if (rowCount() - m_fixedFooters - 1 >= fixedRows()) {
        setRow(rowCount() - m_fixedFooters - 1);
    } else {
        HideSelection();
    }
    m_selHidden = false;
    CellsChanged(QRect(QPoint(0, rowIndex), QPoint(ColCount() - 1, rowIndex + count)));
    const int visible = visibleRowCount();
    if (topRow() >= rowCount() + fixedRows() - visible - 2 && rowCount() - visible - 1 > 0)
        setTopRow(rowCount() + fixedRows() - visible - 2);
}

void TExtStringGrid::RemoveRowsEx(int rowIndex, int count)
{
    if (rowIndex < 0 || rowIndex >= rowCount() || count <= 0)
        return;
    count = std::min({count, rowCount() - rowIndex, rowCount() - 1});
    if (count <= 0)
        return;
    const int current = row();
    const int top = topRow();
    nodesGone(nodeRowsIn(rowIndex, rowIndex + count));
    if (!m_hidden.Idx.empty())
        shiftHiddenForRemoval(rowIndex, count);
    // No object is freed here: the rows' texts and references are dropped.
    deleteRowBlock(rowIndex, count);
    if (MouseActions.DisjunctRowSelect())
        rowlists::eraseRange(m_rowSelect, rowIndex, count);
    TBaseGrid::SetNormalRowCount(rowCount());
    m_maxRowCount = std::max(rowCount(), m_maxRowCount - count);
    if (current < rowCount()) {
        setRow(current);
        setTopRow(top);
    } else if (rowCount() > fixedRows()) {
        setRow(fixedRows());
        setTopRow(fixedRows());
    }
    CellsChanged(QRect(QPoint(0, rowIndex), QPoint(ColCount() - 1, rowIndex + count)));
}

void TExtStringGrid::FreeAndDeleteRows(int r, int count)
{
    if (r < 0 || r >= rowCount() || count <= 0)
        return;
    count = std::min(count, rowCount() - r);
    const int total = TotalColCount();
    nodesGone(nodeRowsIn(r, r + count));
    for (int i = r; i < r + count; ++i)
        for (int c = 0; c < total; ++c)
            FreeCellProps(c, i);
    const int realStart = RealRowIndex(r);
    for (int i = m_controlList.Count() - 1; i >= 0; --i) {
        TControlItem& item = m_controlList.GetControl(i);
        if (item.Y >= realStart && item.Y < realStart + count) {
            if (item.Object)
                item.Object->hide();
            m_controlList.RemoveControl(i);
        }
    }
    if (!m_hidden.Idx.empty())
        shiftHiddenForRemoval(r, std::min(count, rowCount() - 1));
    deleteRowsCore(r, count);
}

void TExtStringGrid::InsertCols(int colIndex, int count)
{
    if (count <= 0 || colIndex < 0)
        return;
    const int oldTotal = TotalColCount();
    colIndex = std::min(colIndex, oldTotal);
    setColCount(colCount() + count);
    const int total = TotalColCount();
    for (int r = 0; r < rowCount(); ++r)
        for (int c = oldTotal; c < total; ++c) {
            setObjects(c, r, nullptr);
            setCells(c, r, QString());
        }
    cellStoreForWrite().rotateColumns(colIndex, total - count, total);
    shiftHiddenColumns(colIndex, count, true);
    for (int& h : m_hiddenCols)
        if (h >= colIndex)
            h += count;
    const int d = DisplColIndex(colIndex);
    for (int i = colCount() - 1; i >= d + count; --i)
        if (colWidths(i) != colWidths(i - count))
            setColWidths(i, colWidths(i - count));
    for (int i = d; i < d + count && i < colCount(); ++i)
        setColWidths(i, defaultColWidth());
    CellsChanged(QRect(QPoint(colIndex, 0), QPoint(colIndex + count, RowCount() - 1)));
}

void TExtStringGrid::RemoveCols(int colIndex, int count)
{
    const int total = TotalColCount();
    if (colIndex < 0 || colIndex >= total || count <= 0)
        return;
    count = std::min(count, total - colIndex);
    ClearCols(colIndex, count);
    int shownRemoved = 0;
    for (int c = colIndex; c < colIndex + count; ++c)
        if (!IsHiddenColumn(c))
            ++shownRemoved;
    const int d = DisplColIndex(colIndex);
    shiftHiddenColumns(colIndex, count, false);
    cellStoreForWrite().rotateColumns(colIndex, colIndex + count, total);
    std::vector<int> hidden;
    for (int h : m_hiddenCols) {
        if (h < colIndex)
            hidden.push_back(h);
        else if (h >= colIndex + count)
            hidden.push_back(h - count);
    }
    m_hiddenCols = hidden;
    for (int i = d; i < colCount() - shownRemoved; ++i)
        if (colWidths(i) != colWidths(i + shownRemoved))
            setColWidths(i, colWidths(i + shownRemoved));
    if (shownRemoved > 0)
        setColCount(std::max(1, colCount() - shownRemoved));
    CellsChanged(QRect(QPoint(colIndex, 0), QPoint(colIndex + count, RowCount() - 1)));
}

void TExtStringGrid::AddRow()
{
    if (FloatingFooter.Visible) {
        InsertRows(rowCount() - 1, 1);
        if (FloatingFooter.FooterStyle == fsFixedLastRow)
            ClearRowCells(rowCount() - 2, false);
    } else {
        SetRowCount(rowCount() + 1);
        ClearRowCells(rowCount() - 1, false);
    }
}

void TExtStringGrid::MoveRow(int fromIndex, int toIndex)
{
    // The last row stays where it is while a floating footer shows it.
    if (FloatingFooter.Visible && FloatingFooter.FooterStyle == fsFixedLastRow && toIndex == rowCount() - 1)
        return;
    moveRow(fromIndex, toIndex);
    for (int i = 0; i < m_controlList.Count(); ++i) {
        TControlItem& item = m_controlList.GetControl(i);
        if (item.Y == fromIndex)
            item.Y = toIndex;
        else if (toIndex < fromIndex && item.Y >= toIndex && item.Y < fromIndex)
            ++item.Y;
        else if (toIndex > fromIndex && item.Y > fromIndex && item.Y <= toIndex)
            --item.Y;
    }
}

void TExtStringGrid::MoveRows(int fromIndex, int toIndex, int count)
{
    if (fromIndex == toIndex || count <= 0 || fromIndex < 0 || toIndex < 0 || fromIndex + count > rowCount())
        return;
    // The block goes to ToIndex as counted before it left (less the block when it moves down),
    // in one rotation of the rows between; heights, flags and properties travel with the rows.
    if (fromIndex + count < toIndex)
        toIndex -= count;
    toIndex = std::min(toIndex, rowCount() - count);
    if (toIndex == fromIndex)
        return;
    const int current = row();
    const int top = topRow();
    if (!m_hidden.Idx.empty()) {
        shiftHiddenForRemoval(fromIndex, count);
        shiftHiddenForInsertion(toIndex, count);
    }
    const int first = std::min(fromIndex, toIndex);
    const int middle = fromIndex < toIndex ? fromIndex + count : fromIndex;
    const int last = fromIndex < toIndex ? toIndex + count : fromIndex + count;
    rotateRowBlock(first, middle, last);
    rowlists::rotate(m_modifiedRows.RawValues(), first, middle, last, 0);
    rowlists::rotate(m_enabledRows.RawValues(), first, middle, last, 0);
    rowlists::rotate(m_rowSelect, first, middle, last, char(0));
    const int realFirst = RealRowIndex(first);
    const int realMiddle = RealRowIndex(middle);
    const int realLast = last < rowCount() ? RealRowIndex(last) : TotalRowCount();
    for (int i = 0; i < m_controlList.Count(); ++i) {
        TControlItem& item = m_controlList.GetControl(i);
        if (item.Y >= realFirst && item.Y < realMiddle)
            item.Y += realLast - realMiddle;
        else if (item.Y >= realMiddle && item.Y < realLast)
            item.Y -= realMiddle - realFirst;
    }
    if (current < rowCount())
        setRow(current);
    if (top < rowCount())
        setTopRow(top);
    CellsChanged(QRect(QPoint(0, first), QPoint(ColCount() - 1, last - 1)));
}

void TExtStringGrid::PermuteRows(int first, const std::vector<int>& order)
{
    if (order.empty())
        return;
    if (first < 0 || first + int(order.size()) > rowCount())
        throw platform::EInvalidGridOperation(QStringLiteral("Grid index out of range"));
    permuteRowBlock(first, order); // checks the order before it changes anything
    rowlists::permute(m_modifiedRows.RawValues(), first, order, 0);
    rowlists::permute(m_enabledRows.RawValues(), first, order, 0);
    if (!MouseActions.RowSelectPersistent)
        rowlists::permute(m_rowSelect, first, order, char(0));
    if (m_controlList.Count() > 0) {
        // Controls sit on real rows: map each moved row's old real row to its new one.
        std::vector<int> realOf(order.size());
        for (size_t i = 0; i < order.size(); ++i)
            realOf[i] = RealRowIndex(first + int(i));
        std::vector<int> newPlace(order.size());
        for (size_t i = 0; i < order.size(); ++i)
            newPlace[size_t(order[i])] = int(i);
        for (int i = 0; i < m_controlList.Count(); ++i) {
            TControlItem& item = m_controlList.GetControl(i);
            const int d = DisplRowIndex(item.Y);
            if (!IsHiddenRow(item.Y) && d >= first && d < first + int(order.size()))
                item.Y = realOf[size_t(newPlace[size_t(d - first)])];
        }
    }
    CellsChanged(QRect(QPoint(0, first), QPoint(ColCount() - 1, first + int(order.size()) - 1)));
}

void TExtStringGrid::MoveColumn(int fromIndex, int toIndex)
{
    if (m_columnOrder.Count() == 0)
        SetColumnOrder();
    moveColumn(fromIndex, toIndex);
    for (int i = 0; i < m_controlList.Count(); ++i) {
        TControlItem& item = m_controlList.GetControl(i);
        if (item.X == fromIndex)
            item.X = toIndex;
        else if (toIndex < fromIndex && item.X >= toIndex && item.X < fromIndex)
            ++item.X;
        else if (toIndex > fromIndex && item.X > fromIndex && item.X <= toIndex)
            --item.X;
    }
}

void TExtStringGrid::SwapRows(int row1, int row2)
{
    if (row1 == row2 || row1 < 0 || row2 < 0)
        return;
    // The two store rows change places whole: each property object stays exactly once.
    cellStoreForWrite().swapRows(row1, row2);
    invalidateRow(row1);
    invalidateRow(row2);
    if (row1 < rowCount() && row2 < rowCount()) {
        const int h1 = rowHeights(row1);
        const int h2 = rowHeights(row2);
        if (h1 != h2) {
            setRowHeights(row1, h2);
            setRowHeights(row2, h1);
        }
    }
    const int real1 = RealRowIndex(row1), real2 = RealRowIndex(row2);
    for (int i = 0; i < m_controlList.Count(); ++i) {
        TControlItem& item = m_controlList.GetControl(i);
        if (item.Y == real1)
            item.Y = real2;
        else if (item.Y == real2)
            item.Y = real1;
    }
}

void TExtStringGrid::SwapColumns(int col1, int col2)
{
    if (col1 == col2 || col1 < 0 || col2 < 0)
        return;
    for (int r = 0; r < rowCount(); ++r) {
        const QString t = cells(col1, r);
        void* o = objects(col1, r);
        setCells(col1, r, cells(col2, r));
        setObjects(col1, r, objects(col2, r));
        setCells(col2, r, t);
        setObjects(col2, r, o);
    }
    if (col1 < colCount() && col2 < colCount()) {
        const int w1 = colWidths(col1), w2 = colWidths(col2);
        if (w1 != w2) {
            setColWidths(col1, w2);
            setColWidths(col2, w1);
        }
    }
    if (SortSettings.Column == col1)
        SortSettings.Column = col2;
    else if (SortSettings.Column == col2)
        SortSettings.Column = col1;
    for (int i = 0; i < m_controlList.Count(); ++i) {
        TControlItem& item = m_controlList.GetControl(i);
        if (item.X == col1)
            item.X = col2;
        else if (item.X == col2)
            item.X = col1;
    }
}

int TExtStringGrid::ColumnByHeader(const QString& value)
{
    for (int c = 0; c < TotalColCount(); ++c)
        if (cells(c, 0) == value)
            return c;
    return -1;
}

int TExtStringGrid::ColumnPosition(int c) const
{
    if (m_columnOrder.Count() == 0)
        return c;
    int result = c;
    for (int i = 0; i < m_columnOrder.Count(); ++i) {
        if (m_columnOrder[i] == c) {
            result = i;
            break;
        }
    }
    if (m_groupColumn != -1 && m_groupColumn <= c)
        --result;
    return result;
}

int TExtStringGrid::ColumnAtPosition(int pos)
{
    if (m_columnOrder.Count() == 0)
        SetColumnOrder();
    if (m_columnOrder.Count() == 0 || pos < 0 || pos >= m_columnOrder.Count())
        return pos;
    int result = m_columnOrder[pos];
    if (m_groupColumn != -1 && m_groupColumn <= result)
        ++result;
    return result;
}

void TExtStringGrid::SetColumnOrder()
{
    m_columnOrder.Clear();
    for (int c = 0; c < colCount(); ++c)
        m_columnOrder.Insert(c, c);
}

void TExtStringGrid::ResetColumnOrder()
{
    UnHideColumnsAll();
    if (m_columnOrder.Count() == 0) {
        SetColumnOrder();
        return;
    }
    bool moved = true;
    for (int guard = 0; moved && guard < colCount() * colCount() + 1; ++guard) {
        moved = false;
        for (int i = 0; i < colCount() && i < m_columnOrder.Count(); ++i) {
            const int entry = m_columnOrder[i];
            if (entry < i && entry >= 0) {
                MoveColumn(i, entry);
                moved = true;
            }
        }
    }
}

// --- lists of rows -----------------------------------------------------------------------------

std::vector<int> TExtStringGrid::cleanRowList(const std::vector<int>& rows, int keep) const
{
    // Ascending, inside the grid, and never all rows: `keep` rows stay.
    std::vector<int> out;
    out.reserve(rows.size());
    for (int r : rows)
        if (r >= 0 && r < rowCount() && (out.empty() || r > out.back()))
            out.push_back(r);
    if (int(out.size()) > rowCount() - keep)
        out.resize(size_t(std::max(0, rowCount() - keep)));
    return out;
}

void TExtStringGrid::deleteDisplayRows(const std::vector<int>& listed, bool eraseFlags)
{
    const std::vector<int> rows = cleanRowList(listed, 1);
    if (rows.empty())
        return;
    nodesGone(nodeRowsIn(rows));
    if (CellPropsAlive() > 0)
        for (int r : rows)
            if (const platform::GridRow* cells = cellStore().row(r))
                for (const auto& o : cells->objects())
                    delete static_cast<TCellProperties*>(o.object);
    if (m_controlList.Count() > 0) {
        // Controls in the rows go; those below move up past the rows removed above them.
        const std::vector<int> reals = realIndexesOf(rows);
        for (int i = m_controlList.Count() - 1; i >= 0; --i) {
            TControlItem& item = m_controlList.GetControl(i);
            if (std::binary_search(reals.begin(), reals.end(), item.Y)) {
                if (item.Object)
                    item.Object->hide();
                m_controlList.RemoveControl(i);
            } else {
                item.Y -= int(std::lower_bound(reals.begin(), reals.end(), item.Y) - reals.begin());
            }
        }
    }
    // A hidden row moves up by the removed rows before its display place.
    std::vector<int>& idx = m_hidden.Idx;
    for (size_t i = 0; i < idx.size(); ++i)
        idx[i] -= int(std::lower_bound(rows.begin(), rows.end(), idx[i] - int(i)) - rows.begin());
    if (eraseFlags) {
        if (ShowModified.Enabled)
            rowlists::erase(m_modifiedRows.RawValues(), rows);
        if (m_useEnabledRows)
            rowlists::erase(m_enabledRows.RawValues(), rows);
    }
    const int top = topRow();
    const int current = row();
    takeDisplayRows(rows); // the rows' texts go with them; their properties were freed above
    keepRowAndTop(current, top, true);
    CellsChanged(QRect(QPoint(0, rows.front()), QPoint(ColCount() - 1, rows.back() + 1)));
}

void TExtStringGrid::hideDisplayRows(const std::vector<int>& listed, int keep, int level)
{
    const std::vector<int> rows = cleanRowList(listed, keep);
    if (rows.empty())
        return;
    std::vector<int> reals = realIndexesOf(rows);
    const int top = topRow();
    const int current = row();
    mergeItems(std::move(reals), takeDisplayRows(rows), level);
    keepRowAndTop(current, top, false);
    CellsChanged(QRect(QPoint(0, rows.front()), QPoint(ColCount() - 1, rows.back() + 1)));
}

void TExtStringGrid::RemoveDuplicates(int c, bool doCase)
{
    // One walk finds the later rows of each group of equal texts; they go in one pass.
    const int real = RealColIndex(c);
    std::set<QString> seen;
    std::vector<int> rows;
    for (int r = fixedRows(); r < rowCount() - m_fixedFooters; ++r) {
        QString t = Cells(real, r);
        if (!doCase)
            t = t.toUpper();
        if (!seen.insert(t).second)
            rows.push_back(r);
    }
    deleteDisplayRows(rows, false);
}

void TExtStringGrid::RemoveCheckedRows(int checkBoxCol, bool removeChecked)
{
    std::vector<int> rows;
    for (int r = fixedRows(); r < rowCount(); ++r) {
        bool state = false;
        if (GetCheckBoxState(checkBoxCol, r, state) && state == removeChecked)
            rows.push_back(r);
    }
    deleteDisplayRows(rows, true);
}

void TExtStringGrid::RemoveSelectedRows()
{
    std::vector<int> rows;
    if (MouseActions.DisjunctRowSelect()) {
        for (int r = fixedRows(); r < rowCount() - m_fixedFooters; ++r)
            if (RowSelect(MouseActions.RowSelectPersistent ? RealRowIndex(r) : r))
                rows.push_back(r);
        deleteDisplayRows(rows, false);
        ClearRowSelect();
        return;
    }
    const TGridRect s = Selection();
    rows = rowlists::range(std::min(s.Top, s.Bottom), std::abs(s.Bottom - s.Top) + 1);
    deleteDisplayRows(rows, false);
}

void TExtStringGrid::RemoveUnSelectedRows()
{
    std::vector<int> rows;
    for (int r = fixedRows(); r < rowCount() - m_fixedFooters; ++r)
        if (!RowSelect(r))
            rows.push_back(r);
    deleteDisplayRows(rows, false);
    if (MouseActions.RowSelectPersistent) {
        for (int r = fixedRows(); r < rowCount() - m_fixedFooters; ++r)
            SetRowSelect(r, true);
    } else {
        ClearRowSelect();
    }
}

void TExtStringGrid::RemoveSelectedCols()
{
    if (MouseActions.DisjunctColSelect()) {
        for (int c = colCount() - 1; c >= fixedCols(); --c) {
            if (!ColSelect(c))
                continue;
            RemoveCols(c, 1);
            if (c < int(m_colSelect.size()))
                m_colSelect.erase(m_colSelect.begin() + c);
        }
        return;
    }
    const TGridRect s = Selection();
    const int left = std::min(s.Left, s.Right);
    RemoveCols(left, std::abs(s.Right - s.Left) + 1);
}

void TExtStringGrid::RemoveUnSelectedCols()
{
    if (MouseActions.DisjunctColSelect()) {
        for (int c = colCount() - 1; c >= fixedCols(); --c) {
            if (ColSelect(c))
                continue;
            RemoveCols(c, 1);
            if (c < int(m_colSelect.size()))
                m_colSelect.erase(m_colSelect.begin() + c);
        }
    } else {
        const TGridRect s = Selection();
        const int left = std::min(s.Left, s.Right);
        const int right = std::max(s.Left, s.Right);
        if (right + 1 < colCount())
            RemoveCols(right + 1, colCount() - right - 1);
        if (left > fixedCols())
            RemoveCols(fixedCols(), left - fixedCols());
    }
    ClearColSelect();
}

void TExtStringGrid::HideSelectedRows()
{
    std::vector<int> rows;
    for (int r = fixedRows(); r < rowCount(); ++r)
        if (RowSelect(MouseActions.RowSelectPersistent ? RealRowIndex(r) : r))
            rows.push_back(r);
    hideDisplayRows(rows, 1);
}

void TExtStringGrid::HideUnSelectedRows()
{
    std::vector<int> rows;
    for (int r = fixedRows(); r < rowCount(); ++r)
        if (!RowSelect(r))
            rows.push_back(r);
    hideDisplayRows(rows, fixedRows() + 1);
}

} // namespace controls::grid
