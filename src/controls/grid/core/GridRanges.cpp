// Operations on a rectangle, a row, a column or the whole grid that keep its structure:
// clearing, trimming, colouring, merging runs of equal cells, finding a cell, the used cells
// and the range exports save.
#include "controls/grid/core/ExtStringGrid.h"

#include "platform/text/Text.h"

#include <QWidget>
#include <algorithm>

namespace controls::grid {

void TExtStringGrid::ClearRect(int col1, int row1, int col2, int row2)
{
    const int total = TotalColCount();
    const bool hasProps = HasCellProps() && CellPropsAlive() > 0;
    for (int r = std::max(0, row1); r <= row2; ++r) {
        for (int c = std::max(0, col1); c <= col2; ++c) {
            const int a = SaveHiddenCells ? RealColIndex(c) : c;
            if (!ClearTextOnly && hasProps && a < total && r < rowCount() && GetGridObject(a, r)) {
                RemoveCellGraphic(a, r);
                FreeCellProps(a, r);
            }
            if (!Destroying() && !cells(a, r).isEmpty()) {
                setCells(a, r, QString());
                if (a != c)
                    RepaintCell(c, r);
            }
        }
    }
    if (col1 <= 0 && row1 <= 0 && col2 >= colCount() - 1 && row2 >= rowCount() - 1 && !ClearTextOnly)
        SetHasCellProps(CellPropsAlive() > 0);
    if (!Destroying())
        CellsChanged(QRect(QPoint(RealColIndex(col1), row1), QPoint(RealColIndex(col2), row2)));
}

void TExtStringGrid::ClearRows(int rowIndex, int count)
{
    if (rowCount() > 0 && colCount() > 0 && count > 0)
        ClearRect(0, rowIndex, TotalColCount() - 1, rowIndex + count - 1);
}

void TExtStringGrid::ClearCols(int colIndex, int count)
{
    if (rowCount() > 0 && colCount() > 0 && count > 0)
        ClearRect(colIndex, 0, colIndex + count - 1, rowCount() - 1);
}

void TExtStringGrid::ClearNormalRows(int rowIndex, int count)
{
    if (rowCount() > 0 && colCount() > 0 && count > 0)
        ClearRect(fixedCols(), rowIndex, TotalColCount() - m_fixedRightCols - 1, rowIndex + count - 1);
}

void TExtStringGrid::ClearNormalCols(int colIndex, int count)
{
    if (rowCount() > 0 && colCount() > 0 && count > 0)
        ClearRect(colIndex, fixedRows(), colIndex + count - 1, rowCount() - m_fixedFooters - 1);
}

void TExtStringGrid::ClearNormalCells()
{
    ClearRect(fixedCols(), fixedRows(), TotalColCount() - m_fixedRightCols - 1, rowCount() - m_fixedFooters - 1);
}

void TExtStringGrid::Clear()
{
    ClearRect(0, 0, TotalColCount() - 1, rowCount() - 1);
    if (NumHiddenColumns() > 0)
        invalidate();
}

void TExtStringGrid::ClearAll()
{
    Clear();
    for (int h = 0; h < NumHiddenRows(); ++h)
        if (const platform::GridRow* cells = HiddenRowItem(h).Cells)
            for (const auto& t : std::vector<platform::GridRow::TextCell>(cells->texts()))
                setHiddenText(h, t.col, QString());
}

void TExtStringGrid::ClearSelection()
{
    if (MouseActions.DisjunctRowSelect()) {
        for (int r = fixedRows(); r < rowCount(); ++r)
            if (RowSelect(MouseActions.RowSelectPersistent ? RealRowIndex(r) : r))
                ClearRows(r, 1);
        return;
    }
    if (MouseActions.DisjunctColSelect()) {
        for (int c = fixedCols(); c < colCount(); ++c)
            if (ColSelect(c))
                ClearCols(c, 1);
        return;
    }
    const TGridRect s = Selection();
    ClearRect(s.Left, s.Top, s.Right, s.Bottom);
}

void TExtStringGrid::TrimRect(int col1, int row1, int col2, int row2)
{
    for (int r = std::max(0, row1); r <= row2; ++r) {
        for (int c = std::max(0, col1); c <= col2; ++c) {
            const int a = SaveHiddenCells ? RealColIndex(c) : c;
            const QString t = Cells(a, r);
            const QString trimmed = platform::trim(t);
            if (trimmed != t)
                SetCells(a, r, trimmed);
        }
    }
}

void TExtStringGrid::ColorRect(int col1, int row1, int col2, int row2, Color color)
{
    for (int r = row1; r <= row2; ++r)
        for (int c = col1; c <= col2; ++c)
            SetColors(c, r, color);
}

void TExtStringGrid::MergeColumnCells(int colIndex, bool mainMerge)
{
    const int last = rowCount() - m_fixedFooters - 1;
    int start = fixedRows();
    int length = 1;
    for (int r = fixedRows() + 1; r <= last; ++r) {
        if (Cells(colIndex, r) == Cells(colIndex, r - 1) && (mainMerge || RowSpanIdentical(r, r - 1))) {
            ++length;
            continue;
        }
        if (length > 1)
            MergeCells(colIndex, start, 1, length);
        start = r;
        length = 1;
    }
    if (length > 1)
        MergeCells(colIndex, start, 1, length);
}

void TExtStringGrid::MergeRowCells(int rowIndex, bool mainMerge)
{
    const int last = colCount() - m_fixedRightCols - 1;
    int start = fixedCols();
    int length = 1;
    for (int c = fixedCols() + 1; c <= last; ++c) {
        if (Cells(c, rowIndex) == Cells(c - 1, rowIndex) && (mainMerge || ColSpanIdentical(c, c - 1))) {
            ++length;
            continue;
        }
        if (length > 1)
            MergeCells(start, rowIndex, length, 1);
        start = c;
        length = 1;
    }
    if (length > 1)
        MergeCells(start, rowIndex, length, 1);
}

void TExtStringGrid::SplitColumnCells(int colIndex)
{
    int r = 0;
    while (r < rowCount() - m_fixedFooters - 1) {
        if (IsYMergedCell(colIndex, r)) {
            const int span = CellSpan(colIndex, r).y();
            SplitCells(colIndex, r);
            r += span + 1;
        } else {
            ++r;
        }
    }
}

void TExtStringGrid::SplitRowCells(int rowIndex)
{
    int c = 0;
    while (c < colCount() - m_fixedRightCols - 1) {
        if (IsMergedCell(c, rowIndex)) {
            const int span = CellSpan(c, rowIndex).x();
            SplitCells(c, rowIndex);
            c += span + 1;
        } else {
            ++c;
        }
    }
}

void TExtStringGrid::SplitAllCells()
{
    if (!HasCellProps())
        return;
    for (int r = 0; r < rowCount(); ++r)
        for (int c = 0; c < colCount(); ++c)
            if (IsMergedCell(c, r) && IsBaseCell(c, r))
                SplitCells(c, r);
}

void TExtStringGrid::MergeCols(int col1, int col2, const QString& separator)
{
    for (int r = fixedRows(); r < rowCount(); ++r)
        SetCells(col1, r, platform::trim(Cells(col1, r) + separator + Cells(col2, r)));
    RemoveCols(col2, 1);
}

bool TExtStringGrid::IsCell(const QString& text, int& c, int& r)
{
    for (int i = 0; i < rowCount(); ++i) {
        for (int j = 0; j < colCount(); ++j) {
            if (cells(j, i) == text) {
                c = j;
                r = i;
                return true;
            }
        }
    }
    return false;
}

bool TExtStringGrid::IsWideCell(int c, int r) const { return Cells(c, r).startsWith(QStringLiteral("|\\")); }

TGridRect TExtStringGrid::UsedCells()
{
    int left = colCount() - 1, top = rowCount() - 1, right = 0, bottom = 0;
    for (int r = 0; r < rowCount(); ++r) {
        for (int c = 0; c < colCount(); ++c) {
            if (cells(c, r).isEmpty())
                continue;
            left = std::min(left, c);
            right = std::max(right, c);
            top = std::min(top, r);
            bottom = std::max(bottom, r);
        }
    }
    if (right < left || bottom < top)
        return TGridRect{0, 0, 0, 0};
    return TGridRect{left, top, right, bottom};
}

int TExtStringGrid::SaveStartCol() const { return SaveFixedCells || SaveFixedCols ? 0 : fixedCols(); }
int TExtStringGrid::SaveEndCol() const
{
    return SaveFixedCells || SaveFixedCols ? colCount() - 1 : colCount() - m_fixedRightCols - 1;
}
int TExtStringGrid::SaveColCount() const
{
    return SaveFixedCells || SaveFixedCols ? colCount() : colCount() - fixedCols() - m_fixedRightCols;
}
int TExtStringGrid::SaveStartRow() const { return SaveFixedCells || SaveFixedRows ? 0 : fixedRows(); }
int TExtStringGrid::SaveEndRow() const
{
    return SaveFixedCells || SaveFixedRows ? rowCount() - 1 : rowCount() - m_fixedFooters - 1;
}
int TExtStringGrid::SaveRowCount() const
{
    return SaveFixedCells || SaveFixedRows ? rowCount() : rowCount() - fixedRows() - m_fixedFooters;
}

} // namespace controls::grid
