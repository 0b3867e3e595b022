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

// Equal texts must stand together to form one group each, so grouping sorts by the column first
// unless the application keeps its own order.
void TExtStringGrid::SortForGrouping(int col)
{
    if (!SortSettings.AutoSortForGrouping)
        return;
    SortSettings.Column = col;
    QSort();
}

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
    {
        const TUpdateBracket update(*this);
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
        try {
            SortForGrouping(colIndex);
        } catch (...) {
            // A sort that failed (a compare event raised) leaves the grid ungrouped.
            m_groupHiddenTexts.clear();
            m_groupColumn = -1;
            m_isGrouping = false;
            throw;
        }

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
                graphicAt(0, below)->CellValue = kGroupNodeMark;
                graphicAt(0, below)->CellVar = -1;
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
    }
    // The search bar lays itself out again when the viewport changes (rows coming and going
    // may bring or take away the scroll bar).
    invalidate();
    CalcFooter(-1);
}

std::vector<TCellGraphic*> TExtStringGrid::openApplicationNodes()
{
    std::vector<TCellGraphic*> opened;
    for (int r = FixedRows(); r < RowCount(); ++r)
        if (IsNode(r) && GetNodeState(r) && graphicAt(0, r)->CellValue != kGroupNodeMark) {
            opened.push_back(graphicAt(0, r));
            doExpandNode(RealRowIndex(r));
        }
    return opened;
}

void TExtStringGrid::closeApplicationNodes(const std::vector<TCellGraphic*>& nodes)
{
    if (nodes.empty())
        return;
    for (int r = FixedRows(); r < RowCount(); ++r)
        if (IsNode(r) && std::find(nodes.begin(), nodes.end(), graphicAt(0, r)) != nodes.end())
            ContractNode(RealRowIndex(r));
}

void TExtStringGrid::showHiddenGroupingRows()
{
    // Header and summary rows grouping made that HideRow or a filter hid come back, so that
    // taking grouping down finds them (a contracted group's rows come back with the group).
    std::vector<int> reals;
    for (size_t i = 0; i < m_hidden.Idx.size(); ++i) {
        if (m_hidden.Levels[i] == kNodeHiddenLevel || !m_hidden.Cells[i])
            continue;
        const auto* p = static_cast<const TCellProperties*>(m_hidden.Cells[i]->object(0));
        const auto* g = p ? dynamic_cast<const TCellGraphic*>(p->GraphicObject) : nullptr;
        if (g && g->CellValue == kGroupNodeMark && (g->CellType == ctNode || g->CellType == ctSummary))
            reals.push_back(m_hidden.Idx[i]);
    }
    for (int real : reals)
        UnHideRows(real, real);
}

const TCellGraphic* TExtStringGrid::graphicOfReal(int realRow)
{
    const int h = hiddenIndexOf(realRow);
    if (h < 0)
        return graphicAt(0, DisplRowIndex(realRow));
    const platform::GridRow* cells = HiddenRowItem(h).Cells;
    const auto* p = cells ? static_cast<const TCellProperties*>(cells->object(0)) : nullptr;
    return p ? dynamic_cast<const TCellGraphic*>(p->GraphicObject) : nullptr;
}

void TExtStringGrid::fillRealRows(int col, int fromReal, int toReal, const QString& text)
{
    // Header and summary rows keep their cells; data rows (the application's node rows among
    // them) take the text.
    for (int real = fromReal; real < toReal && real < TotalRowCount(); ++real) {
        const TCellGraphic* g = graphicOfReal(real);
        if (g && (g->CellType == ctSummary || (g->CellType == ctNode && g->CellValue == kGroupNodeMark)))
            continue;
        SetAllCells(col, real, text);
    }
}

void TExtStringGrid::UnGroup()
{
    if (m_groupColumn <= 0)
        return;
    {
        const TUpdateBracket update(*this);
        const bool expandOne = CellNode.ExpandOne;
        CellNode.ExpandOne = false;
        showHiddenGroupingRows();
        // Every node opens: the groups (second-level groups inside contracted ones show again),
        // and the application's own contracted nodes, which may hold rows grouping made; these
        // contract again at the end. Then the second level goes.
        for (int r = FixedRows(); r < RowCount(); ++r)
            if (isGroupNode(r, -1))
                doExpandNode(RealRowIndex(r));
        const std::vector<TCellGraphic*> closed = openApplicationNodes();
        std::set<int> subColumns;
        for (int r = FixedRows(); r < RowCount(); ++r)
            if (IsNode(r) && graphicAt(0, r)->CellValue == kGroupNodeMark && graphicAt(0, r)->CellVar.toInt() != -1)
                subColumns.insert(graphicAt(0, r)->CellVar.toInt());
        for (int r = FixedRows(); r < RowCount(); ++r)
            if (IsSummary(r) && graphicAt(0, r)->CellValue == kGroupNodeMark && graphicAt(0, r)->CellVar.toInt() != -1)
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
        // One walk writes each header's text into its rows (the hidden ones among them too) and
        // collects the header and summary rows; they leave the grid together.
        std::vector<int> gone;
        for (int r = FixedRows(); r < RowCount() - FixedFooters(); ++r) {
            if (!isGroupNode(r, -1))
                continue;
            const int end = nodeEndDisplay(r);
            const int realEnd = nodeEndReal(r);
            fillRealRows(col, RealRowIndex(r) + 1, realEnd, graphicAt(0, r)->CellText);
            changeNodeLevels(r, end - 1, -1);
            RemoveCellGraphicOfType(0, r, ctNode);
            gone.push_back(r);
            // The group's summary row goes whatever Grouping.Summary says now.
            if (IsSummary(end) && RealRowIndex(end) == realEnd && graphicAt(0, end)->CellValue == kGroupNodeMark)
                gone.push_back(end);
        }
        deleteDisplayRows(gone, true);
        // Rows that were hidden when grouping get their own texts back, also those a contracted
        // group showed again (a node contracted inside a contracting one comes back open).
        for (const auto& [idx, text] : m_groupHiddenTexts)
            if (idx < TotalRowCount())
                SetAllCells(col, idx, text);
        m_groupHiddenTexts.clear();
        closeApplicationNodes(closed);
        m_isGrouping = false;
        m_groupColumn = -1;
        CellNode.ExpandOne = expandOne;
    }
    invalidate();
    CalcFooter(-1);
}

// --- a second level ------------------------------------------------------------------------------------------

void TExtStringGrid::SubGroup(int colIndex)
{
    if (colIndex < std::max(FixedCols(), 1) || colIndex >= TotalColCount() || m_groupColumn == -1)
        return;
    {
        const TUpdateBracket update(*this);
        const bool expandOne = CellNode.ExpandOne;
        CellNode.ExpandOne = false;
        m_isGrouping = true;
        for (int r = FixedRows(); r < RowCount(); ++r)
            if (isGroupNode(r, -1))
                doExpandNode(RealRowIndex(r));
        const int textCol = colIndex + 1 < TotalColCount() ? colIndex + 1 : colIndex;
        // One walk finds the runs of equal texts inside the groups. A run never crosses where a
        // node (a group's or the application's) begins or ends, so every sub-group lies inside
        // the nodes around it; rows hidden between its rows belong to it only when they hold
        // the same text (they are given it back with the others).
        struct Run {
            int start, last; // display rows
            QString value;
        };
        std::vector<Run> runs;
        struct Open {
            int end; // real index past the node's rows
            bool group;
        };
        std::vector<Open> open;
        int limit = 0; // where the current run must stop (real)
        const int data = RowCount() - FixedFooters();
        for (int r = FixedRows(); r < data; ++r) {
            const int real = RealRowIndex(r);
            open.erase(std::remove_if(open.begin(), open.end(), [real](const Open& o) { return o.end <= real; }),
                       open.end());
            if (IsNode(r)) {
                open.push_back({nodeEndReal(r), isGroupNode(r, -1)});
                runs.push_back({-1, -1, {}}); // nothing continues across a node row
                continue;
            }
            if (IsSummary(r) || std::none_of(open.begin(), open.end(), [](const Open& o) { return o.group; })) {
                runs.push_back({-1, -1, {}});
                continue;
            }
            QString v = Cells(colIndex, r);
            bool joins = !runs.empty() && runs.back().start >= 0 && runs.back().value == v && real < limit;
            for (int between = RealRowIndex(r - 1) + 1; joins && between < real; ++between) {
                const TCellGraphic* g = graphicOfReal(between);
                joins = AllCells(colIndex, between) == v && !(g && (g->CellType == ctNode || g->CellType == ctSummary));
            }
            if (joins) {
                runs.back().last = r;
                continue;
            }
            limit = TotalRowCount();
            for (const Open& o : open)
                limit = std::min(limit, o.end);
            runs.push_back({r, r, std::move(v)});
        }
        runs.erase(std::remove_if(runs.begin(), runs.end(), [](const Run& k) { return k.start < 0; }), runs.end());
        // With summary rows wanted and the last group not closed by one, one summary row follows
        // the last sub-group.
        const bool summary = Grouping.Summary && !runs.empty() && !IsSummary(data - 1);
        std::vector<int> before; // real rows the new rows go in front of
        std::vector<int> positions;
        for (size_t k = 0; k < runs.size(); ++k) {
            before.push_back(RealRowIndex(runs[k].start));
            positions.push_back(runs[k].start + int(k));
        }
        if (summary) {
            before.push_back(data < RowCount() ? RealRowIndex(data) : TotalRowCount());
            positions.push_back(data + int(runs.size()));
        }
        // The nodes around the new rows grow by them, all in one pass.
        const std::vector<TNodeExtent> nodes = shownNodeExtents();
        insertEmptyDisplayRows(positions);
        growNodeSpans(nodes, before);
        for (size_t k = 0; k < runs.size(); ++k) {
            const int h = runs[k].start + int(k);
            const int last = runs[k].last + int(k) + 1;
            // The header stands inside the same nodes as its rows.
            GetCellProperties(0, h)->NodeLevel = HasCellProperties(0, h + 1) ? GetGridObject(0, h + 1)->NodeLevel : 0;
            fillRealRows(colIndex, RealRowIndex(h) + 1, RealRowIndex(last) + 1, QString());
            SetCells(textCol, h, runs[k].value);
            AddNode(RealRowIndex(h), RealRowIndex(last) + 1 - RealRowIndex(h));
            TCellGraphic* g = graphicAt(0, h);
            g->CellValue = kGroupNodeMark;
            g->CellVar = colIndex;
            g->CellText = runs[k].value;
            if (Grouping.MergeHeader)
                mergeGroupRow(h, textCol, Grouping.HeaderColor, Grouping.HeaderColorTo, Grouping.HeaderTextColor);
            else
                colourRow(h, Grouping.HeaderColor, Grouping.HeaderColorTo, Grouping.HeaderTextColor);
        }
        if (summary) {
            const int s = positions.back();
            SetSummaryRow(RealRowIndex(s));
            TCellGraphic* g = graphicAt(0, s);
            g->CellValue = kGroupNodeMark;
            g->CellVar = colIndex;
            if (Grouping.MergeSummary)
                mergeGroupRow(s, textCol, Grouping.SummaryColor, Grouping.SummaryColorTo, Grouping.SummaryTextColor);
            else
                colourRow(s, Grouping.SummaryColor, Grouping.SummaryColorTo, Grouping.SummaryTextColor);
        }
        if (FixedRows() < RowCount())
            setRow(FixedRows());
        m_isGrouping = false;
        CellNode.ExpandOne = expandOne;
    }
    invalidate();
    CalcFooter(-1);
}

void TExtStringGrid::SubUnGroup(int colIndex)
{
    {
        const TUpdateBracket update(*this);
        const bool expandOne = CellNode.ExpandOne;
        CellNode.ExpandOne = false;
        showHiddenGroupingRows();
        for (int r = FixedRows(); r < RowCount(); ++r)
            if (IsNode(r) && graphicAt(0, r)->CellValue == kGroupNodeMark)
                doExpandNode(RealRowIndex(r));
        const std::vector<TCellGraphic*> closed = openApplicationNodes();
        m_isGrouping = true;
        const int textCol = colIndex + 1 < TotalColCount() ? colIndex + 1 : colIndex;
        // One walk gives each sub-group's rows its text back and takes its header (and the
        // second level's summary row) down; the nodes around them shrink by them in one pass.
        std::vector<int> gone;
        for (int r = FixedRows(); r < RowCount() - FixedFooters(); ++r) {
            const bool header = isGroupNode(r, colIndex);
            const bool summary = IsSummary(r) && graphicAt(0, r)->CellValue == kGroupNodeMark
                                 && graphicAt(0, r)->CellVar.toInt() == colIndex;
            if (!header && !summary)
                continue;
            if (HasCellProperties(textCol, r) && IsMergedCell(textCol, r))
                SplitCells(textCol, r);
            if (header) {
                fillRealRows(colIndex, RealRowIndex(r) + 1, nodeEndReal(r), graphicAt(0, r)->CellText);
                changeNodeLevels(r, nodeEndDisplay(r) - 1, -1);
                RemoveCellGraphicOfType(0, r, ctNode);
            }
            gone.push_back(r);
        }
        const std::vector<int> removed = realIndexesOf(gone);
        const std::vector<TNodeExtent> nodes = shownNodeExtents();
        deleteDisplayRows(gone, true);
        shrinkNodeSpans(nodes, removed);
        closeApplicationNodes(closed);
        m_isGrouping = false;
        CellNode.ExpandOne = expandOne;
    }
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
