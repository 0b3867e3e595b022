// Grouping rows by a column. Group takes the column out and puts a header node row above each
// run of equal texts (the first data row always starts a run, whatever its text), and with
// Grouping.Summary a summary row after it; UnGroup takes down exactly the rows grouping made
// and writes each header's text back into the rows below it. SubGroup does the same one level
// down inside each group, keeping the column in place.
#include "controls/grid/core/ExtStringGrid.h"

#include <algorithm>
#include <set>

namespace controls::grid {

namespace {

// Nodes made by grouping carry this mark (their CellValue); an application's own nodes do not,
// so ungrouping never takes them for group headers. The group's value is kept on the node
// (CellText), apart from the header's cells, which group results may overwrite.
constexpr double kGroupNodeMark = 1.0;

} // namespace

bool TExtStringGrid::isGroupNode(int r, int groupCol)
{
    if (!IsNode(r))
        return false;
    const TCellGraphic* g = graphicAt(0, r);
    return g->CellValue == kGroupNodeMark && g->CellVar.toInt() == groupCol;
}

void TExtStringGrid::SortForGrouping(int) {}

void TExtStringGrid::SetGroupColumn(int c)
{
    if (c == -1)
        UnGroup();
    else if (c > 0)
        Group(c);
}

// --- colours ---------------------------------------------------------------------------------------------------

void TExtStringGrid::colourRow(int r, Color from, Color to, Color font)
{
    if (from != platform::clNone)
        SetRowColor(r, from);
    if (to != platform::clNone)
        SetRowColorTo(r, to);
    if (font != platform::clNone)
        SetRowFontColor(r, font);
}

void TExtStringGrid::mergeGroupRow(int r, int fromCol, Color from, Color to, Color font)
{
    const int span = TotalColCount() - fromCol;
    if (span < 1)
        return;
    MergeCells(fromCol, r, span, 1);
    if (from != platform::clNone)
        SetColors(fromCol, r, from);
    if (to != platform::clNone)
        SetColorsTo(fromCol, r, to);
    if (font != platform::clNone)
        SetFontColors(fromCol, r, font);
}

// --- grouping ---------------------------------------------------------------------------------------------------

void TExtStringGrid::Group(int colIndex)
{
    // Column 0 holds the node buttons: it cannot be the grouped column.
    if (colIndex < std::max(FixedCols(), 1) || colIndex >= TotalColCount())
        return;
    if (m_groupColumn != -1)
        UnGroup();
    if (RowCount() - FixedRows() - FixedFooters() <= 0)
        return;
    m_isGrouping = true;
    m_groupColumn = colIndex;
    m_groupWidth = AllColWidths(colIndex);
    m_groupCaption = FixedRows() > 0 ? Cells(colIndex, 0) : QString();
    m_groupFooter = FixedFooters() > 0 ? Cells(colIndex, RowCount() - 1) : QString();
    // Hidden rows are not grouped; their texts of the column come back with UnGroup.
    m_groupHiddenTexts.clear();
    for (int i = 0; i < NumHiddenRows(); ++i) {
        const TGridItem item = HiddenRowItem(i);
        m_groupHiddenTexts.emplace_back(item.Idx, item.Text(colIndex));
    }
    SortForGrouping(colIndex);

    // One walk finds the runs of equal texts; their header (and summary) rows go in together.
    struct Run {
        int start, end;
        QString value;
    };
    std::vector<Run> runs;
    for (int r = FixedRows(); r < RowCount() - FixedFooters(); ++r) {
        QString v = Cells(colIndex, r);
        if (runs.empty() || v != runs.back().value)
            runs.push_back({r, r + 1, std::move(v)});
        else
            runs.back().end = r + 1;
    }
    const int per = Grouping.Summary ? 2 : 1;
    std::vector<int> positions;
    positions.reserve(runs.size() * size_t(per));
    for (size_t k = 0; k < runs.size(); ++k) {
        positions.push_back(runs[k].start + int(k) * per);
        if (Grouping.Summary)
            positions.push_back(runs[k].end + int(k) * per + 1);
    }
    insertEmptyDisplayRows(positions);
    m_groupNodes = int(runs.size());
    const int textCol = colIndex == 1 ? 2 : 1;
    for (size_t k = 0; k < runs.size(); ++k) {
        const int header = runs[k].start + int(k) * per;
        SetCells(textCol, header, runs[k].value);
        if (!Grouping.MergeHeader)
            colourRow(header, Grouping.HeaderColor, Grouping.HeaderColorTo, Grouping.HeaderTextColor);
        const int below = header + runs[k].end - runs[k].start + 1;
        AddNode(RealRowIndex(header), RealRowIndex(below) - RealRowIndex(header));
        graphicAt(0, header)->CellValue = kGroupNodeMark;
        graphicAt(0, header)->CellText = runs[k].value;
        if (Grouping.Summary) {
            SetSummaryRow(RealRowIndex(below));
            if (!Grouping.MergeSummary)
                colourRow(below, Grouping.SummaryColor, Grouping.SummaryColorTo, Grouping.SummaryTextColor);
        }
    }
    RemoveCols(colIndex, 1);
    if (Grouping.MergeHeader || (Grouping.MergeSummary && Grouping.Summary)) {
        for (int b = FixedRows(); b < RowCount() - FixedFooters(); ++b) {
            if (Grouping.MergeHeader && isGroupNode(b, -1))
                mergeGroupRow(b, 1, Grouping.HeaderColor, Grouping.HeaderColorTo, Grouping.HeaderTextColor);
            else if (Grouping.MergeSummary && Grouping.Summary && IsSummary(b))
                mergeGroupRow(b, 1, Grouping.SummaryColor, Grouping.SummaryColorTo, Grouping.SummaryTextColor);
        }
    }
    if (CellNode.ExpandOne)
        for (int b = FixedRows(); b < RowCount(); ++b)
            if (IsNode(b)) {
                ExpandNode(RealRowIndex(b));
                break;
            }
    if (col() >= ColCount() || row() >= RowCount())
        moveCurrent(std::min(FixedCols(), ColCount() - 1), std::min(FixedRows(), RowCount() - 1), true, true);
    if (FixedRows() < RowCount())
        setRow(FixedRows());
    m_isGrouping = false;
    invalidate();
    CalcFooter(-1);
}

void TExtStringGrid::UnGroup()
{
    if (m_groupColumn <= 0)
        return;
    const bool expandOne = CellNode.ExpandOne;
    CellNode.ExpandOne = false;
    // The groups open first (second-level groups inside contracted ones show again), then the
    // second level goes.
    for (int r = FixedRows(); r < RowCount(); ++r)
        if (isGroupNode(r, -1))
            doExpandNode(RealRowIndex(r));
    std::set<int> subColumns;
    for (int r = FixedRows(); r < RowCount(); ++r)
        if (IsNode(r) && graphicAt(0, r)->CellValue == kGroupNodeMark && graphicAt(0, r)->CellVar.toInt() != -1)
            subColumns.insert(graphicAt(0, r)->CellVar.toInt());
    for (int c : subColumns)
        SubUnGroup(c);

    const int col = m_groupColumn;
    InsertCols(col, 1);
    SetAllColWidths(col, m_groupWidth);
    if (FixedRows() > 0)
        SetCells(col, 0, m_groupCaption);
    if (FixedFooters() > 0)
        SetCells(col, RowCount() - 1, m_groupFooter);
    m_isGrouping = true;
    // One walk writes each header's text into its rows and collects the header and summary
    // rows; they leave the grid together.
    QString v;
    std::vector<int> gone;
    int summary = -1;
    for (int r = FixedRows(); r < RowCount() - FixedFooters(); ++r) {
        if (isGroupNode(r, -1)) {
            const int end = nodeEndDisplay(r);
            v = graphicAt(0, r)->CellText;
            changeNodeLevels(r, end - 1, -1);
            RemoveCellGraphicOfType(0, r, ctNode);
            if (m_numNodes > 0)
                --m_numNodes;
            gone.push_back(r);
            summary = Grouping.Summary && IsSummary(end) ? end : -1;
        } else if (r == summary) {
            gone.push_back(r);
        } else {
            SetCells(col, r, v);
        }
    }
    deleteDisplayRows(gone, true);
    // Rows that were hidden get their own texts back, also those a contracted group showed
    // again (a node contracted inside a contracting one comes back open).
    for (const auto& [idx, text] : m_groupHiddenTexts)
        if (idx < TotalRowCount())
            SetAllCells(col, idx, text);
    m_groupHiddenTexts.clear();
    m_groupNodes = 0;
    m_isGrouping = false;
    m_groupColumn = -1;
    CellNode.ExpandOne = expandOne;
    invalidate();
    CalcFooter(-1);
}

// --- a second level ------------------------------------------------------------------------------------------

void TExtStringGrid::SubGroup(int colIndex)
{
    // A second level among the application's own nodes is refused: their spans and the
    // groups' would cut across each other.
    if (colIndex < std::max(FixedCols(), 1) || colIndex >= TotalColCount() || m_groupColumn == -1
        || m_numNodes > m_groupNodes)
        return;
    const bool expandOne = CellNode.ExpandOne;
    CellNode.ExpandOne = false;
    m_isGrouping = true;
    const int textCol = colIndex + 1 < TotalColCount() ? colIndex + 1 : colIndex;
    int r = FixedRows();
    while (r < RowCount() - FixedFooters()) {
        if (!isGroupNode(r, -1)) {
            ++r;
            continue;
        }
        doExpandNode(RealRowIndex(r));
        const int h = r;
        int end = std::max(h + 1, nodeEndDisplay(h));
        int i = h + 1;
        while (i < end) {
            if (IsNode(i) || IsSummary(i)) {
                ++i;
                continue;
            }
            const QString v = Cells(colIndex, i);
            int j = i + 1;
            while (j < end && !IsNode(j) && !IsSummary(j) && Cells(colIndex, j) == v)
                ++j;
            // A child header for the run i .. j - 1: the group's span grows by one.
            InsertChildRow(RealRowIndex(i), 0);
            for (int k = i + 1; k <= j; ++k)
                SetCells(colIndex, k, QString());
            SetCells(textCol, i, v);
            AddNode(RealRowIndex(i), RealRowIndex(j + 1) - RealRowIndex(i));
            TCellGraphic* g = graphicAt(0, i);
            g->CellValue = kGroupNodeMark;
            g->CellVar = colIndex;
            g->CellText = v;
            ++m_groupNodes;
            if (Grouping.MergeHeader)
                mergeGroupRow(i, textCol, Grouping.HeaderColor, Grouping.HeaderColorTo, Grouping.HeaderTextColor);
            else
                colourRow(i, Grouping.HeaderColor, Grouping.HeaderColorTo, Grouping.HeaderTextColor);
            ++end;
            i = j + 1;
        }
        r = end;
    }
    if (FixedRows() < RowCount())
        setRow(FixedRows());
    m_isGrouping = false;
    CellNode.ExpandOne = expandOne;
    invalidate();
    CalcFooter(-1);
}

void TExtStringGrid::SubUnGroup(int colIndex)
{
    const bool expandOne = CellNode.ExpandOne;
    CellNode.ExpandOne = false;
    for (int r = FixedRows(); r < RowCount(); ++r)
        if (IsNode(r) && graphicAt(0, r)->CellValue == kGroupNodeMark)
            doExpandNode(RealRowIndex(r));
    m_isGrouping = true;
    const int textCol = colIndex + 1 < TotalColCount() ? colIndex + 1 : colIndex;
    QString v;
    bool inSub = false;
    int r = FixedRows();
    while (r < RowCount() - FixedFooters()) {
        if (isGroupNode(r, colIndex)) {
            v = graphicAt(0, r)->CellText;
            if (HasCellProperties(textCol, r) && IsMergedCell(textCol, r))
                SplitCells(textCol, r);
            SetCells(textCol, r, QString());
            RemoveNode(RealRowIndex(r));
            RemoveChildRow(RealRowIndex(r));
            m_groupNodes = std::max(0, m_groupNodes - 1);
            inSub = true;
            continue;
        }
        if (IsNode(r) || IsSummary(r)) {
            inSub = false;
        } else if (inSub) {
            SetCells(colIndex, r, v);
        }
        ++r;
    }
    m_isGrouping = false;
    CellNode.ExpandOne = expandOne;
    invalidate();
    CalcFooter(-1);
}

// --- hidden rows when columns come and go ------------------------------------------------------------------

void TExtStringGrid::shiftHiddenColumns(int colIndex, int count, bool insert)
{
    // The stored cells of hidden rows follow the columns of the shown ones: removed columns'
    // cells go (their properties freed), inserted columns start empty.
    const int total = TotalColCount();
    for (platform::GridRowPtr& cells : m_hidden.Cells) {
        if (!cells)
            continue;
        if (insert) {
            for (int c = total - count; c < total; ++c) {
                if (auto* p = static_cast<TCellProperties*>(cells->object(c)))
                    delete p;
                cells->setObject(c, nullptr);
                cells->setText(c, QString());
            }
            cells->rotateColumns(colIndex, total - count, total);
        } else {
            for (int c = colIndex; c < colIndex + count; ++c) {
                if (auto* p = static_cast<TCellProperties*>(cells->object(c)))
                    delete p;
                cells->setObject(c, nullptr);
                cells->setText(c, QString());
            }
            cells->rotateColumns(colIndex, colIndex + count, total);
        }
        if (cells->isEmpty())
            cells.reset();
    }
}

} // namespace controls::grid

namespace controls::grid {

void TExtStringGrid::insertEmptyDisplayRows(const std::vector<int>& positions)
{
    // positions: where the new rows stand afterwards, ascending. Row j goes in before the old
    // display row positions[j] - j; hidden rows and cell controls after it move down with the
    // rows, all in one pass.
    if (positions.empty())
        return;
    if (SelectionHidden() || col() >= colCount() || row() >= rowCount())
        UnHideSelection();
    const size_t k = positions.size();
    std::vector<int> at(k);
    for (size_t j = 0; j < k; ++j)
        at[j] = positions[j] - int(j);
    if (m_controlList.Count() > 0) {
        const std::vector<int> reals = realIndexesOf(at);
        for (int i = 0; i < m_controlList.Count(); ++i) {
            TControlItem& item = m_controlList.GetControl(i);
            item.Y += int(std::upper_bound(reals.begin(), reals.end(), item.Y) - reals.begin());
        }
    }
    std::vector<int>& idx = m_hidden.Idx;
    size_t j = 0;
    for (size_t i = 0; i < idx.size(); ++i) {
        while (j < k && at[j] < idx[i] - int(i))
            ++j;
        idx[i] += int(j);
    }
    platform::TTakenRows rows;
    rows.cells.resize(k);
    putDisplayRows(positions, std::move(rows));
    CellsChanged(QRect(QPoint(0, positions.front()), QPoint(ColCount() - 1, positions.back())));
}

} // namespace controls::grid
