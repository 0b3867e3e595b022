// Inserting, removing, moving and swapping rows and columns with everything that hangs on them:
// texts and properties (a property object stays with its cell and is freed only when its row is
// removed or its cell cleared), heights and widths, hidden rows and columns, the per-row lists,
// cell controls and the column order.
#include "controls/grid/core/ExtStringGrid.h"

#include <QWidget>
#include <algorithm>
#include <set>

namespace controls::grid {

namespace {

// Moves a store row (texts and object references of every column) without the application's
// move event, which belongs to moves the user makes.
struct QuietMoves {
    platform::TStringGrid::MovedEvent& event;
    platform::TStringGrid::MovedEvent saved;
    explicit QuietMoves(platform::TStringGrid::MovedEvent& e) : event(e), saved(std::move(e)) { e = nullptr; }
    ~QuietMoves() { event = std::move(saved); }
};

template <typename List>
void eraseEntries(List& list, int index, int count)
{
    for (int i = 0; i < count && index < list.Count(); ++i)
        list.Delete(index);
}

} // namespace

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
    for (const auto& item : m_gridItems) {
        moveEntry(item->Texts, realFrom, realTo);
        moveEntry(item->Objects, realFrom, realTo);
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
        const int h = rowHeights(fromIndex);
        const int step = fromIndex < toIndex ? 1 : -1;
        for (int i = fromIndex; i != toIndex; i += step)
            if (rowHeights(i) != rowHeights(i + step))
                setRowHeights(i, rowHeights(i + step));
        setRowHeights(toIndex, h);
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

void TExtStringGrid::deleteRowsCore(int index, int count)
{
    const int old = rowCount();
    if (index < 0 || index >= old || count <= 0)
        return;
    count = std::min(count, old - index);
    if (count >= old)
        count = old - 1; // a grid keeps one row
    if (count <= 0)
        return;
    const int top = topRow();
    const int current = row();
    {
        QuietMoves quiet(onRowMoved);
        for (int k = 0; k < count; ++k)
            TBaseGrid::rowMoved(index, old - 1);
    }
    for (int i = index; i < old - count; ++i)
        if (rowHeights(i) != rowHeights(i + count))
            setRowHeights(i, rowHeights(i + count));
    for (int r = old - count; r < old; ++r)
        ClearRowCells(r, true);
    if (MouseActions.DisjunctRowSelect() && !MouseActions.RowSelectPersistent && index < int(m_rowSelect.size()))
        m_rowSelect.erase(m_rowSelect.begin() + index,
                          m_rowSelect.begin() + std::min(int(m_rowSelect.size()), index + count));
    setRowCount(old - count);
    TBaseGrid::SetNormalRowCount(rowCount());
    if (current < rowCount() - m_fixedFooters && current >= fixedRows())
        setRow(current);
    if (top < rowCount())
        setTopRow(top);
    CellsChanged(QRect(QPoint(0, index), QPoint(ColCount() - 1, index + count)));
}

void TExtStringGrid::insertRowsCore(int rowIndex, int count)
{
    if (count <= 0)
        return;
    const int old = rowCount();
    rowIndex = std::clamp(rowIndex, 0, old);
    setRowCount(old + count);
    TBaseGrid::SetNormalRowCount(rowCount());
    m_maxRowCount = std::max(m_maxRowCount, rowCount());
    // What the store kept beyond the old count is not a row of this grid.
    for (int r = old; r < old + count; ++r)
        ClearRowCells(r, true);
    {
        QuietMoves quiet(onRowMoved);
        for (int k = 0; k < count; ++k)
            TBaseGrid::rowMoved(old + count - 1, rowIndex);
    }
    for (int i = old + count - 1; i >= rowIndex + count; --i)
        if (rowHeights(i) != rowHeights(i - count))
            setRowHeights(i, rowHeights(i - count));
    for (int r = rowIndex; r < rowIndex + count; ++r)
        if (rowHeights(r) != defaultRowHeight())
            setRowHeights(r, defaultRowHeight());
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
    insertRowsCore(std::min(rowIndex, rowCount()), count);
    if (ShowModified.Enabled && rowIndex < m_modifiedRows.Count())
        for (int i = 0; i < count; ++i)
            m_modifiedRows.Insert(rowIndex, 0);
    if (m_useEnabledRows && rowIndex < m_enabledRows.Count())
        for (int i = 0; i < count; ++i)
            m_enabledRows.Insert(rowIndex, 0);
    if (MouseActions.DisjunctRowSelect() && rowIndex < int(m_rowSelect.size()))
        m_rowSelect.insert(m_rowSelect.begin() + rowIndex, size_t(count), 0);
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
    count = std::min(count, rowCount() - rowIndex);
    if (count >= rowCount())
        count = rowCount() - 1;
    if (count <= 0)
        return;
    const int realEnd = RealRowIndex(rowIndex + count - 1);
    for (int i = m_controlList.Count() - 1; i >= 0; --i) {
        TControlItem& item = m_controlList.GetControl(i);
        if (item.Y > realEnd)
            item.Y -= count;
    }
    const int total = TotalColCount();
    for (int r = rowIndex; r < rowIndex + count; ++r)
        for (int c = 0; c < total; ++c)
            FreeCellProps(c, r);
    const int top = topRow();
    const int current = row();
    if (!m_gridItems.empty()) {
        const int realStart = RealRowIndex(rowIndex);
        for (auto& item : m_gridItems)
            if (item->Idx > realStart)
                item->Idx -= count;
        hiddenRowsChanged();
    }
    if (ShowModified.Enabled)
        eraseEntries(m_modifiedRows, rowIndex, count);
    if (m_useEnabledRows)
        eraseEntries(m_enabledRows, rowIndex, count);
    if (MouseActions.DisjunctRowSelect() && rowIndex < int(m_rowSelect.size()))
        m_rowSelect.erase(m_rowSelect.begin() + rowIndex,
                          m_rowSelect.begin() + std::min(int(m_rowSelect.size()), rowIndex + count));
    const int old = rowCount();
    {
        QuietMoves quiet(onRowMoved);
        for (int k = 0; k < count; ++k)
            TBaseGrid::rowMoved(rowIndex, old - 1);
    }
    for (int i = rowIndex; i < old - count; ++i)
        if (rowHeights(i) != rowHeights(i + count))
            setRowHeights(i, rowHeights(i + count));
    for (int r = old - count; r < old; ++r)
        ClearRowCells(r, true);
    setRowCount(old - count);
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
    count = std::min(count, rowCount() - rowIndex);
    if (count >= rowCount())
        count = rowCount() - 1;
    if (count <= 0)
        return;
    const int current = row();
    const int top = topRow();
    const int old = rowCount();
    {
        QuietMoves quiet(onRowMoved);
        for (int k = 0; k < count; ++k)
            TBaseGrid::rowMoved(rowIndex, old - 1);
    }
    for (int r = old - count; r < old; ++r)
        ClearRowCells(r, true);
    if (MouseActions.DisjunctRowSelect() && rowIndex < int(m_rowSelect.size()))
        m_rowSelect.erase(m_rowSelect.begin() + rowIndex,
                          m_rowSelect.begin() + std::min(int(m_rowSelect.size()), rowIndex + count));
    setRowCount(old - count);
    TBaseGrid::SetNormalRowCount(rowCount());
    m_maxRowCount = std::max(rowCount(), m_maxRowCount - count);
    if (current < rowCount()) {
        setRow(current);
        setTopRow(top);
    } else if (rowCount() > fixedRows()) {
        setRow(fixedRows());
        setTopRow(fixedRows());
    }
    for (auto& item : m_gridItems)
        if (item->Idx > rowIndex + count - 1)
            item->Idx -= count;
    hiddenRowsChanged();
    CellsChanged(QRect(QPoint(0, rowIndex), QPoint(ColCount() - 1, rowIndex + count)));
}

void TExtStringGrid::FreeAndDeleteRows(int r, int count)
{
    if (r < 0 || r >= rowCount() || count <= 0)
        return;
    count = std::min(count, rowCount() - r);
    const int total = TotalColCount();
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
    for (auto& item : m_gridItems)
        if (item->Idx > realStart)
            item->Idx -= count;
    hiddenRowsChanged();
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
    {
        QuietMoves quiet(onColumnMoved);
        for (int k = 0; k < count; ++k)
            TBaseGrid::columnMoved(total - 1, colIndex);
    }
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
    {
        QuietMoves quiet(onColumnMoved);
        for (int k = 0; k < count; ++k)
            TBaseGrid::columnMoved(colIndex, total - 1);
    }
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
    if (fromIndex == toIndex || count <= 0 || fromIndex < 0 || fromIndex + count > rowCount())
        return;
    const int total = TotalColCount();
    std::vector<QStringList> texts{size_t(count)};
    std::vector<std::vector<TCellProperties*>> rowObjects{size_t(count)};
    for (int k = 0; k < count; ++k) {
        for (int c = 0; c < total; ++c) {
            texts[size_t(k)] << cells(c, fromIndex + k);
            rowObjects[size_t(k)].push_back(GetGridObject(c, fromIndex + k));
            setObjects(c, fromIndex + k, nullptr);
        }
    }
    if (fromIndex + count < toIndex)
        toIndex -= count;
    RemoveRowsEx(fromIndex, count);
    InsertRows(toIndex, count, true);
    for (int k = 0; k < count; ++k) {
        for (int c = 0; c < total; ++c) {
            setCells(c, toIndex + k, texts[size_t(k)][c]);
            setObjects(c, toIndex + k, rowObjects[size_t(k)][size_t(c)]);
        }
    }
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
    const int total = TotalColCount();
    for (int c = 0; c < total; ++c) {
        const QString t = cells(c, row1);
        void* o = objects(c, row1);
        setCells(c, row1, cells(c, row2));
        setObjects(c, row1, objects(c, row2));
        setCells(c, row2, t);
        setObjects(c, row2, o);
    }
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

void TExtStringGrid::RemoveDuplicates(int c, bool doCase)
{
    const int real = RealColIndex(c);
    std::set<QString> seen;
    int r = fixedRows();
    while (r < rowCount() - m_fixedFooters) {
        QString t = Cells(real, r);
        if (!doCase)
            t = t.toUpper();
        if (seen.count(t)) {
            FreeAndDeleteRows(r, 1);
            continue;
        }
        seen.insert(t);
        ++r;
    }
}

void TExtStringGrid::RemoveSelectedRows()
{
    if (MouseActions.DisjunctRowSelect()) {
        std::vector<int> rows;
        for (int r = rowCount() - m_fixedFooters - 1; r >= fixedRows(); --r)
            if (RowSelect(MouseActions.RowSelectPersistent ? RealRowIndex(r) : r))
                rows.push_back(r);
        for (int r : rows)
            FreeAndDeleteRows(r, 1);
        ClearRowSelect();
        return;
    }
    const TGridRect s = Selection();
    for (int r = std::max(s.Top, s.Bottom); r >= std::min(s.Top, s.Bottom); --r)
        FreeAndDeleteRows(r, 1);
}

void TExtStringGrid::RemoveUnSelectedRows()
{
    for (int r = rowCount() - m_fixedFooters - 1; r >= fixedRows(); --r)
        if (!RowSelect(r))
            FreeAndDeleteRows(r, 1);
    if (MouseActions.RowSelectPersistent) {
        for (int r = fixedRows(); r < rowCount() - m_fixedFooters; ++r)
            SetRowSelect(r, true);
    } else {
        ClearRowSelect();
    }
}

void TExtStringGrid::HideSelectedRows()
{
    for (int r = rowCount() - 1; r >= fixedRows(); --r)
        if (RowSelect(MouseActions.RowSelectPersistent ? RealRowIndex(r) : r))
            HideRow(RealRowIndex(r));
}

void TExtStringGrid::HideUnSelectedRows()
{
    int r = fixedRows();
    while (r < rowCount() && rowCount() > fixedRows() + 1) {
        if (!RowSelect(r)) {
            const int before = rowCount();
            HideRow(RealRowIndex(r));
            if (rowCount() == before)
                ++r;
        } else {
            ++r;
        }
    }
}

} // namespace controls::grid
