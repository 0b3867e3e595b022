// Search and replace over the cells: the walk of Find (rows or columns, forwards or backwards,
// within a range), the cell test, Replace built on the walk, and the incremental look-up in the
// sort column that the keyboard uses.
//
// The walk visits the cells of a rectangle in walking order: row by row (fnDirectionLeftRight)
// orders them by row, then column; column by column by column, then row. The search starts at
// the cell after startCell in that order (before it, backwards), so a restriction to one column
// while walking row by row simply moves down that column, and FindNext and Replace always
// advance. A start whose row (row by row) or column (column by column) lies outside the range
// restarts at the first (last) cell.
#include "controls/grid/core/ExtStringGrid.h"

#include "controls/grid/html/HTMLUtil.h"
#include "controls/grid/util/FilterExpression.h"

namespace controls::grid {

namespace {

const QString kEmptyCellPattern = QStringLiteral("\"\"");

// The cell test of fnMatchRegular: the filter-expression matcher of the grid's utilities.
bool MatchExpression(const QString& pattern, const QString& text, bool matchCase)
{
    return MatchFilterExpression(pattern, text, matchCase);
}

} // namespace

void TExtStringGrid::ExportNotification(TGridExportState, int) {}

bool TExtStringGrid::CellMatches(int col, int row, bool wide) const
{
    const TFindParams p = m_findParams;
    const bool matchCase = p.Has(fnMatchCase);
    const int c = p.Has(fnIncludeHiddenColumns) ? col : RealColIndex(col);
    // Wide texts are the cells' texts here: one accessor serves both.
    QString text = p.Has(fnIncludeHiddenRows) ? AllCells(c, row) : GetCellEx(c, row);
    if (!matchCase)
        text = text.toUpper();
    if (p.Has(fnIgnoreHTMLTags))
        text = StripHTMLTags(text);
    const QString& s = wide ? SearchCacheWide : SearchCache;
    if (s == kEmptyCellPattern)
        return text.isEmpty();
    if (p.Has(fnMatchRegular))
        return MatchExpression(s, text, matchCase);
    const qsizetype at = s.isEmpty() ? -1 : text.indexOf(s);
    const bool found = p.Has(fnMatchStart) ? at == 0 : at >= 0;
    const bool equal = !p.Has(fnMatchFull) || text == s;
    return found && equal;
}

QPoint TExtStringGrid::FindCells(QPoint startCell, const QString& s, TFindParams params, bool wide)
{
    const QPoint none(-1, -1);
    m_findParams = params;
    SearchCache = params.Has(fnMatchCase) ? s : s.toUpper();
    SearchCacheWide = SearchCache;
    const int hiddenRows = NumHiddenRows();
    if (ColCount() == FixedCols() || ColCount() == 0 || RowCount() + hiddenRows == FixedRows() || RowCount() == 0)
        return none;

    // The range.
    int c0 = 0, c1 = ColCount() - 1, r0 = 0, r1 = RowCount() - 1;
    if (!params.Has(fnIncludeFixed)) {
        c0 = FixedCols();
        c1 = ColCount() - FixedRightCols() - 1;
        r0 = FixedRows();
        r1 = RowCount() - FixedFooters() - 1;
    }
    if (params.Has(fnSelectedCells)) {
        const TGridRect sel = Selection();
        c0 = sel.Left;
        c1 = sel.Right;
        r0 = sel.Top;
        r1 = sel.Bottom;
    }
    if (params.Has(fnIncludeHiddenColumns))
        c1 += NumHiddenColumns();
    if (params.Has(fnIncludeHiddenRows))
        r1 += hiddenRows;

    // Restrictions to one row or one column (the current one in the index space of the walk).
    const bool rowFixed = params.Has(fnFindInCurrentRow) || params.Has(fnFindInPresetRow);
    const bool colFixed = params.Has(fnFindInCurrentCol) || params.Has(fnFindInPresetCol);
    if (params.Has(fnFindInCurrentRow))
        r0 = r1 = params.Has(fnIncludeHiddenRows) ? RealRowIndex(Row()) : Row();
    if (params.Has(fnFindInPresetRow))
        r0 = r1 = FindRow;
    if (params.Has(fnFindInCurrentCol))
        c0 = c1 = params.Has(fnIncludeHiddenColumns) ? RealColIndex(Col()) : Col();
    if (params.Has(fnFindInPresetCol))
        c0 = c1 = FindCol;
    if (c0 > c1 || r0 > r1 || c0 < 0 || r0 < 0)
        return none;

    // Outer and inner axis of the walk.
    const bool rowWise = params.Has(fnDirectionLeftRight);
    const bool backward = params.Has(fnBackward);
    const int o0 = rowWise ? r0 : c0, o1 = rowWise ? r1 : c1;
    const int i0 = rowWise ? c0 : r0, i1 = rowWise ? c1 : r1;
    int outer = backward ? o1 : o0;
    int inner = backward ? i1 : i0;
    if (startCell != none) {
        const int x = colFixed ? c0 : startCell.x();
        const int y = rowFixed ? r0 : startCell.y();
        const int so = rowWise ? y : x;
        const int si = rowWise ? x : y;
        if (so >= o0 && so <= o1) {
            outer = so;
            if (!backward) {
                inner = si < i0 ? i0 : si + 1;
                if (inner > i1) {
                    ++outer;
                    inner = i0;
                }
            } else {
                inner = si > i1 ? i1 : si - 1;
                if (inner < i0) {
                    --outer;
                    inner = i1;
                }
            }
        }
    }

    const int d = backward ? -1 : 1;
    for (int o = outer; o >= o0 && o <= o1; o += d) {
        for (int i = inner; i >= i0 && i <= i1; i += d) {
            const int x = rowWise ? i : o;
            const int y = rowWise ? o : i;
            ExportNotification(esExportNewRow, y);
            const int real = params.Has(fnIncludeHiddenColumns) ? x : RealColIndex(x);
            if (!IsIgnoredColumn(real) && CellMatches(x, y, wide)) {
                SearchCell = QPoint(x, y);
                if (params.Has(fnAutoGoto))
                    AfterHit(x, y);
                return QPoint(x, y);
            }
        }
        inner = backward ? i1 : i0;
    }
    return none;
}

void TExtStringGrid::AfterHit(int x, int y)
{
    const TFindParams p = m_findParams;
    int r = y;
    if (p.Has(fnIncludeHiddenRows) && NumHiddenRows() > 0) {
        // A hit in a hidden row is reported; the current cell only goes where a row is shown.
        if (IsHiddenRow(y))
            return;
        r = DisplRowIndex(y);
    }
    int c = x;
    if (p.Has(fnIncludeHiddenColumns))
        c = IsHiddenColumn(x) ? -1 : DisplColIndex(x);
    if (r < 0 || r >= RowCount())
        return;
    if (MouseActions.DisjunctRowSelect()) {
        ClearRowSelect();
        SetRowSelect(r, true);
        SetRow(r);
        return;
    }
    SetRow(r);
    if (c >= 0 && c < ColCount())
        SetCol(c);
}

QPoint TExtStringGrid::Find(QPoint startCell, const QString& s, TFindParams params)
{
    ExportNotification(esExportStart, -1);
    const QPoint hit = FindCells(startCell, s, params, false);
    ExportNotification(hit.x() < 0 ? esExportDone : esExportFail, -1);
    if (params.Has(fnAutoGoto)) {
        // Keep the hit clear of a floating footer at the bottom.
        const int a = FloatingFooter.Visible ? 2 : 0;
        const int visible = visibleRowCount();
        if (Row() > TopRow() + visible - a - 2 && visible + FixedRows() + a < RowCount())
            SetTopRow(TopRow() + a + 1);
    }
    return hit;
}

QPoint TExtStringGrid::FindWide(QPoint startCell, const QString& s, TFindParams params)
{
    ExportNotification(esExportStart, -1);
    const QPoint hit = FindCells(startCell, s, params, true);
    ExportNotification(hit.x() < 0 ? esExportDone : esExportFail, -1);
    return hit;
}

QPoint TExtStringGrid::FindFirst(const QString& s, TFindParams params)
{
    SearchCell = Find(QPoint(-1, -1), s, params);
    return SearchCell;
}

QPoint TExtStringGrid::FindNext()
{
    SearchCell = Find(SearchCell, SearchCache, m_findParams);
    return SearchCell;
}

int TExtStringGrid::Replace(const QString& origStr, const QString& newStr, TFindParams params)
{
    if (origStr.isEmpty())
        return 0;
    // The hit's cell as the walk read it: a real column unless hidden columns were searched as
    // such, a real row when hidden rows were.
    const bool byRealRow = params.Has(fnIncludeHiddenRows);
    const Qt::CaseSensitivity cs = params.Has(fnMatchCase) ? Qt::CaseSensitive : Qt::CaseInsensitive;
    int count = 0;
    QPoint pos(-1, -1);
    for (;;) {
        pos = Find(pos, origStr, params);
        if (pos.x() < 0)
            break;
        const int c = params.Has(fnIncludeHiddenColumns) ? pos.x() : RealColIndex(pos.x());
        const int r = pos.y();
        const QString before = byRealRow ? AllCells(c, r) : GetCellEx(c, r);
        QString after = before;
        after.replace(origStr, newStr, cs);
        if (after == before)
            continue;
        if (byRealRow)
            SetAllCells(c, r, after);
        else
            SetCellEx(c, r, after);
        if (ShowModified.Enabled)
            SetRowModified(byRealRow ? r : RealRowIndex(r), true);
        ++count;
    }
    return count;
}

int TExtStringGrid::Search(const QString& s)
{
    if (RowCount() < 2)
        return -1;
    int col = FixedCols();
    if (SortSettings.Show) {
        if (SortSettings.IndexShow)
            col = SortIndexes.Count() > 0 ? SortIndexes.GetSortColumns(0) : FixedCols();
        else
            col = SortSettings.Column;
    }
    if (col < 0)
        return -1;
    for (int r = FixedRows(); r < RowCount(); ++r)
        if (StrippedCells(col, r).toUpper().left(s.size()) == s)
            return r;
    return -1;
}

} // namespace controls::grid
