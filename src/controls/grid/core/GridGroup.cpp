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
// so ungrouping never takes them for group headers.
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

void TExtStringGrid::groupHeader(int r)
{
    InsertRows(r, 1);
    if (!Grouping.MergeHeader)
        colourRow(r, Grouping.HeaderColor, Grouping.HeaderColorTo, Grouping.HeaderTextColor);
}

void TExtStringGrid::groupSummary(int r)
{
    InsertRows(r, 1);
    SetSummaryRow(RealRowIndex(r));
    if (!(Grouping.MergeSummary && Grouping.Summary))
        colourRow(r, Grouping.SummaryColor, Grouping.SummaryColorTo, Grouping.SummaryTextColor);
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
        const QString t = item.Text(colIndex);
        if (!t.isEmpty())
            m_groupHiddenTexts.emplace_back(item.Idx, t);
    }
    SortForGrouping(colIndex);

    const int textCol = colIndex == 1 ? 2 : 1;
    auto close = [this](int header, int& r) {
        AddNode(RealRowIndex(header), r - header);
        TCellGraphic* g = graphicAt(0, header);
        g->CellValue = kGroupNodeMark;
        if (Grouping.Summary) {
            groupSummary(r);
            ++r;
        }
    };
    int header = -1;
    QString prev;
    int r = FixedRows();
    while (r < RowCount() - FixedFooters()) {
        const QString v = Cells(colIndex, r);
        if (header != -1 && v == prev) {
            ++r;
            continue;
        }
        if (header != -1)
            close(header, r);
        groupHeader(r);
        SetCells(textCol, r, v);
        header = r;
        prev = v;
        r += 2;
    }
    if (header != -1)
        close(header, r);
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
    // Second-level groups first, then the groups' own contracted nodes open.
    std::set<int> subColumns;
    for (int r = FixedRows(); r < RowCount(); ++r)
        if (IsNode(r) && graphicAt(0, r)->CellValue == kGroupNodeMark && graphicAt(0, r)->CellVar.toInt() != -1)
            subColumns.insert(graphicAt(0, r)->CellVar.toInt());
    for (int c : subColumns)
        SubUnGroup(c);
    for (int r = FixedRows(); r < RowCount(); ++r)
        if (isGroupNode(r, -1))
            doExpandNode(RealRowIndex(r));

    const int col = m_groupColumn;
    InsertCols(col, 1);
    SetAllColWidths(col, m_groupWidth);
    if (FixedRows() > 0)
        SetCells(col, 0, m_groupCaption);
    if (FixedFooters() > 0)
        SetCells(col, RowCount() - 1, m_groupFooter);
    m_isGrouping = true;
    const int textCol = col == 1 ? 2 : 1;
    QString v;
    int r = FixedRows();
    while (r < RowCount() - FixedFooters()) {
        if (!isGroupNode(r, -1)) {
            SetCells(col, r, v);
            ++r;
            continue;
        }
        const int span = std::max(1, GetNodeSpan(r));
        if (Grouping.Summary && r + span < RowCount() && IsSummary(r + span))
            FreeAndDeleteRows(r + span, 1);
        v = Cells(textCol, r);
        RemoveNode(RealRowIndex(r));
        FreeAndDeleteRows(r, 1);
    }
    for (const auto& [idx, text] : m_groupHiddenTexts) {
        const int i = hiddenIndexOf(idx);
        if (i >= 0)
            setHiddenText(i, col, text);
    }
    m_groupHiddenTexts.clear();
    m_isGrouping = false;
    m_groupColumn = -1;
    CellNode.ExpandOne = expandOne;
    invalidate();
    CalcFooter(-1);
}

// --- a second level ------------------------------------------------------------------------------------------

void TExtStringGrid::SubGroup(int colIndex)
{
    if (colIndex < std::max(FixedCols(), 1) || colIndex >= TotalColCount() || m_groupColumn == -1)
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
        int end = h + std::max(1, GetNodeSpan(h));
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
            AddNode(RealRowIndex(i), j - i + 1);
            TCellGraphic* g = graphicAt(0, i);
            g->CellValue = kGroupNodeMark;
            g->CellVar = colIndex;
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
            v = Cells(textCol, r);
            if (HasCellProperties(textCol, r) && IsMergedCell(textCol, r))
                SplitCells(textCol, r);
            SetCells(textCol, r, QString());
            RemoveNode(RealRowIndex(r));
            RemoveChildRow(RealRowIndex(r));
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
