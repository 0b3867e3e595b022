// Outline nodes: a node row heads a block of rows that contract into the hidden-row table and
// expand back out of it. Contracting and expanding are one range each in that table; nothing is
// copied. A node contracted inside a contracting node is stored expanded with its parent's rows,
// so that expanding the parent shows every row again and the inner node open.
#include "controls/grid/core/ExtStringGrid.h"

#include <QApplication>
#include <QScrollBar>
#include <QStyle>
#include <algorithm>

namespace controls::grid {

namespace {

constexpr int kNoParentLevel = 65535;

} // namespace

// --- node data ---------------------------------------------------------------------------------------

bool TExtStringGrid::IsNode(int r) { return r >= 0 && r < RowCount() && GetCellType(0, r) == ctNode; }

bool TExtStringGrid::IsSummary(int r) { return r >= 0 && r < RowCount() && GetCellType(0, r) == ctSummary; }

void TExtStringGrid::SetSummaryRow(int realRow)
{
    const int r = DisplRowIndex(realRow);
    if (r < 0 || r >= RowCount())
        return;
    CreateCellGraphic(0, r)->CellType = ctSummary;
}

bool TExtStringGrid::HasNodes() const { return m_numNodes > 0; }

int TExtStringGrid::GetNodeIndent(int r) const
{
    if (m_numNodes <= 0 || r < 0 || r >= rowCount() || !HasCellProperties(0, r))
        return 0;
    return GetGridObject(0, r)->NodeLevel * CellNode.NodeIndent();
}

bool TExtStringGrid::GetNodeState(int r) { return IsNode(r) && graphicAt(0, r)->CellBoolean; }

void TExtStringGrid::SetNodeState(int r, bool contracted)
{
    if (!IsNode(r) || GetNodeState(r) == contracted)
        return;
    if (contracted)
        ContractNode(RealRowIndex(r));
    else
        ExpandNode(RealRowIndex(r));
}

int TExtStringGrid::GetNodeLevel(int r)
{
    if (!IsNode(r))
        return -1;
    return GetGridObject(0, r)->NodeLevel;
}

int TExtStringGrid::GetNodeSpan(int r) { return IsNode(r) ? graphicAt(0, r)->CellIndex : -1; }

void TExtStringGrid::SetNodeSpan(int r, int span)
{
    if (IsNode(r))
        graphicAt(0, r)->CellIndex = span;
}

void TExtStringGrid::UpdateNodeSpan(int r, int delta)
{
    if (IsNode(r))
        graphicAt(0, r)->CellIndex += delta;
}

int TExtStringGrid::GetSubNodeCount(int r) { return IsNode(r) ? graphicAt(0, r)->CellErrFrom : 0; }

void TExtStringGrid::UpdateSubNodeCount(int r, int delta)
{
    if (IsNode(r))
        graphicAt(0, r)->CellErrFrom += delta;
}

void TExtStringGrid::changeNodeLevels(int fromRow, int toRow, int delta)
{
    toRow = std::min(toRow, RowCount() - 1);
    for (int r = std::max(0, fromRow); r <= toRow; ++r) {
        if (delta < 0 && !HasCellProperties(0, r))
            continue;
        TCellProperties* p = GetCellProperties(0, r);
        p->NodeLevel = std::max(0, p->NodeLevel + delta);
    }
}

int TExtStringGrid::nodeEnd(int r, int span) const
{
    // The display row after the node's rows: by its span, or with span 0 the next node row.
    if (span > 0)
        return std::min(r + span, rowCount());
    auto* self = const_cast<TExtStringGrid*>(this);
    for (int i = r + 1; i < rowCount(); ++i)
        if (self->IsNode(i))
            return i;
    return rowCount();
}

// A node's span counts its rows in real indexes, rows hidden among them included, so that rows
// hidden by range or by a contracted node inside never make a node reach past its own rows.
int TExtStringGrid::nodeEndReal(int r)
{
    // Footer rows belong to no node: a node reaching down to them (made before the footer, or
    // of span 0 in the last block) ends above them, so contracting it never hides the footer.
    const int footer = RowCount() - FixedFooters();
    const int limit = FixedFooters() > 0 && footer > r && footer < RowCount() ? RealRowIndex(footer) : TotalRowCount();
    const int span = GetNodeSpan(r);
    if (span > 0)
        return std::min(RealRowIndex(r) + span, limit);
    return std::min(RealRowIndex(nodeEnd(r, 0)), limit);
}

int TExtStringGrid::nodeEndDisplay(int r) { return std::min(DisplRowIndex(nodeEndReal(r)), RowCount()); }

// --- the node count ---------------------------------------------------------------------------------------

namespace {

bool isNodeCell(const TCellProperties* p)
{
    const auto* g = p ? dynamic_cast<const TCellGraphic*>(p->GraphicObject) : nullptr;
    return g && g->CellType == ctNode;
}

} // namespace

int TExtStringGrid::nodeRowsIn(int first, int last) const
{
    if (CellPropsAlive() == 0)
        return 0;
    // Only rows that hold something are visited.
    int n = 0;
    cellStore().forEachRow(std::max(0, first), std::min(last, rowCount()), [&n](int, const platform::GridRow& cells) {
        n += isNodeCell(static_cast<const TCellProperties*>(cells.object(0))) ? 1 : 0;
        return true;
    });
    return n;
}

int TExtStringGrid::nodeRowsIn(const std::vector<int>& rows) const
{
    if (CellPropsAlive() == 0)
        return 0;
    int n = 0;
    for (int r : rows)
        n += r >= 0 && r < rowCount() && isNodeCell(GetGridObject(0, r)) ? 1 : 0;
    return n;
}

void TExtStringGrid::RecountNodes()
{
    int n = nodeRowsIn(0, rowCount());
    for (const platform::GridRowPtr& cells : m_hidden.Cells)
        n += cells && isNodeCell(static_cast<const TCellProperties*>(cells->object(0))) ? 1 : 0;
    if (n > 0 && m_numNodes == 0)
        RepaintCol(0);
    m_numNodes = n;
}

// --- spans that follow rows put in or taken out -------------------------------------------------------------

std::vector<TExtStringGrid::TNodeExtent> TExtStringGrid::shownNodeExtents()
{
    std::vector<TNodeExtent> nodes;
    if (m_numNodes <= 0)
        return nodes;
    for (int r = 0; r < RowCount(); ++r)
        if (IsNode(r) && GetNodeSpan(r) > 0)
            nodes.push_back({graphicAt(0, r), RealRowIndex(r), GetNodeSpan(r)});
    return nodes;
}

void TExtStringGrid::growNodeSpans(const std::vector<TNodeExtent>& nodes, const std::vector<int>& insertedBefore)
{
    // A row put in before real row p lies inside a node at x of span s when x < p < x + s.
    for (const TNodeExtent& n : nodes) {
        const auto from = std::upper_bound(insertedBefore.begin(), insertedBefore.end(), n.row);
        const auto to = std::lower_bound(insertedBefore.begin(), insertedBefore.end(), n.row + n.span);
        if (to > from) {
            n.graphic->CellIndex += int(to - from);
            n.graphic->CellErrFrom += int(to - from);
        }
    }
}

void TExtStringGrid::shrinkNodeSpans(const std::vector<TNodeExtent>& nodes, const std::vector<int>& removed)
{
    for (const TNodeExtent& n : nodes) {
        const auto from = std::upper_bound(removed.begin(), removed.end(), n.row);
        const auto to = std::lower_bound(removed.begin(), removed.end(), n.row + n.span);
        if (to > from) {
            n.graphic->CellIndex = std::max(1, n.graphic->CellIndex - int(to - from));
            n.graphic->CellErrFrom = std::max(0, n.graphic->CellErrFrom - int(to - from));
        }
    }
}

// --- adding and removing -------------------------------------------------------------------------------

void TExtStringGrid::setNodeGraphic(int r, int span)
{
    TCellGraphic* g = CreateCellGraphic(0, r);
    g->CellType = ctNode;
    g->CellAngle = r;
    g->CellBoolean = false;
    g->CellIndex = span;
    g->CellHAlign = haBeforeText;
    g->CellVAlign = vaCenter;
    g->CellErrFrom = 0;
    g->CellVar = -1;
}

void TExtStringGrid::AddNode(int realRow, int span)
{
    const int r = DisplRowIndex(realRow);
    if (r < 0 || r >= RowCount())
        return;
    // A node made again on a node row replaces it (the old graphic leaves the count): one
    // node, with the new span's levels.
    if (IsNode(r))
        changeNodeLevels(r, nodeEndDisplay(r) - 1, -1);
    setNodeGraphic(r, span);
    changeNodeLevels(r, span > 0 ? nodeEndDisplay(r) - 1 : r - 1, 1);
    if (m_numNodes == 0)
        RepaintCol(0);
    ++m_numNodes;
    if (col() == 0 && colCount() > 1)
        setCol(1);
}

void TExtStringGrid::RemoveNode(int realRow)
{
    if (!IsNode(DisplRowIndex(realRow)))
        return;
    doExpandNode(realRow);
    const int r = DisplRowIndex(realRow);
    if (GetNodeSpan(r) > 0)
        changeNodeLevels(r, nodeEndDisplay(r) - 1, -1);
    RemoveCellGraphicOfType(0, r, ctNode); // counts the node out
}

void TExtStringGrid::RemoveAllNodes()
{
    for (int r = 0; r < RowCount(); ++r) {
        if (!IsNode(r))
            continue;
        doExpandNode(RealRowIndex(r));
        if (GetNodeSpan(r) > 0)
            changeNodeLevels(r, nodeEndDisplay(r) - 1, -1);
        RemoveCellGraphicOfType(0, r, ctNode);
    }
    invalidate();
}

// --- contracting and expanding ------------------------------------------------------------------------

void TExtStringGrid::ContractNode(int realRow)
{
    setEditorMode(false);
    m_nodeForceSel = true;
    const int r = DisplRowIndex(realRow);
    if (!IsNode(r) || GetNodeState(r)) {
        m_nodeForceSel = false;
        return;
    }
    graphicAt(0, r)->CellBoolean = true;
    const int realEnd = nodeEndReal(r);
    // A contracted node inside has its rows hidden already: they stay in the table with the
    // rest, and the inner node is stored open, so that expanding this one shows every row.
    for (int i = r + 1; i < RowCount() && RealRowIndex(i) < realEnd; ++i)
        if (IsNode(i) && GetNodeState(i)) {
            graphicAt(0, i)->CellBoolean = false;
            if (QWidget* w = CellControls(1, i + 1))
                w->hide();
        }
    hideRealRange(realRow + 1, realEnd - 1, kNodeHiddenLevel);
    m_nodeForceSel = false;
    CalcFooter(-1);
}

void TExtStringGrid::doExpandNode(int realRow)
{
    const int r = DisplRowIndex(realRow);
    if (!IsNode(r) || !GetNodeState(r))
        return;
    graphicAt(0, r)->CellBoolean = false;
    const int a = nodeEndReal(r);
    const int b = RealRowIndex(r);
    const int top = topRow();
    const int current = row();
    const bool disjunct = MouseActions.DisjunctRowSelect();
    MouseActions.SetDisjunctRowSelectDirect(false);
    const bool rowSelect = options().testFlag(platform::goRowSelect);
    if (rowSelect)
        setOptions(options() & ~platform::TGridOptions(platform::goRowSelect));
    // Cell controls are placed as their rows come back, so they need the grid painting.
    const bool bracket = m_numCellControls == 0;
    if (bracket)
        BeginUpdate();
    try {
        showNodeRows(b + 1, a - 1);
    } catch (...) {
        MouseActions.SetDisjunctRowSelectDirect(disjunct);
        if (rowSelect)
            setOptions(options() | platform::goRowSelect);
        if (bracket)
            EndUpdate();
        throw;
    }
    if (rowSelect) {
        setOptions(options() | platform::goRowSelect);
        if (current < RowCount())
            setRow(current);
        if (top < RowCount())
            setTopRow(top);
    }
    MouseActions.SetDisjunctRowSelectDirect(disjunct);
    if (bracket)
        EndUpdate();
    CalcFooter(-1);
}

void TExtStringGrid::showNodeRows(int realFrom, int realTo)
{
    if (realTo < realFrom)
        return;
    THiddenRows& h = m_hidden;
    const size_t first = firstItemFrom(realFrom);
    const size_t last = firstItemFrom(realTo + 1);
    if (first >= last)
        return;
    const bool modified = ShowModified.Enabled;
    ShowModified.Enabled = false;
    const bool allMine = std::all_of(h.Levels.begin() + std::ptrdiff_t(first), h.Levels.begin() + std::ptrdiff_t(last),
                                     [](int l) { return l == kNodeHiddenLevel; });
    if (allMine) {
        showItems(first, last);
    } else {
        // Rows hidden another way inside the node stay hidden and keep their places.
        showItemsOfLevel(first, last, kNodeHiddenLevel);
    }
    ShowModified.Enabled = modified;
    const int f = DisplRowIndex(realFrom);
    if (QWidget* w = CellControls(1, f)) {
        const Rect r = CellRect(1, f);
        w->setGeometry(r.left, r.top, r.width(), r.height());
        w->show();
    }
}

void TExtStringGrid::ExpandNode(int realRow)
{
    if (CellNode.ExpandOne) {
        const int n = RowCount();
        for (int r = FixedRows(); r < n && r < RowCount(); ++r)
            if (RealRowIndex(r) != realRow && IsNode(r) && !GetNodeState(r))
                ContractNode(RealRowIndex(r));
    }
    doExpandNode(realRow);
}

void TExtStringGrid::ExpandAll()
{
    {
        const TUpdateBracket update(*this);
        const int n = RowCount() + NumHiddenRows();
        for (int r = FixedRows(); r < n && r < RowCount(); ++r)
            if (IsNode(r))
                doExpandNode(RealRowIndex(r));
    }
    CalcFooter(-1);
}

void TExtStringGrid::ContractAll()
{
    {
        const TUpdateBracket update(*this);
        ExpandAll();
        // One pass collects the rows of every top node (nested nodes stay open among them), and
        // one range hide takes them all.
        std::vector<int> rows;
        int r = FixedRows();
        while (r < RowCount()) {
            if (!IsNode(r)) {
                ++r;
                continue;
            }
            graphicAt(0, r)->CellBoolean = true;
            const int end = nodeEndDisplay(r);
            for (int i = r + 1; i < end; ++i)
                rows.push_back(i);
            r = std::max(end, r + 1);
        }
        hideDisplayRows(rows, 1, kNodeHiddenLevel);
    }
    CellControlsUpdate(false);
    CalcFooter(-1);
}

void TExtStringGrid::CellControlsUpdate(bool rebuildList)
{
    if (rebuildList) {
        m_controlList.Clear();
        m_numCellControls = 0;
        if (CellPropsAlive() > 0)
            cellStore().forEachRow(0, rowCount(), [this](int r, const platform::GridRow& cells) {
                for (const auto& o : cells.objects())
                    if (const auto* p = static_cast<TCellProperties*>(o.object); p && p->Control) {
                        m_controlList.AddControl(o.col, RealRowIndex(r), p->Control.data());
                        ++m_numCellControls;
                    }
                return true;
            });
        // Hidden rows keep their controls too.
        for (size_t i = 0; i < m_hidden.Cells.size(); ++i)
            if (const platform::GridRowPtr& cells = m_hidden.Cells[i])
                for (const auto& o : cells->objects())
                    if (const auto* p = static_cast<TCellProperties*>(o.object); p && p->Control) {
                        m_controlList.AddControl(o.col, m_hidden.Idx[i], p->Control.data());
                        ++m_numCellControls;
                    }
    }
    // A control whose row is hidden or whose cell is out of view is hidden; the others stand on
    // their cells.
    for (int i = 0; i < m_controlList.Count(); ++i) {
        const TControlItem& item = m_controlList.GetControl(i);
        QWidget* w = item.Object.data();
        if (!w)
            continue;
        const Rect rect = IsHiddenRow(item.Y) ? Rect{} : CellRect(item.X, DisplRowIndex(item.Y));
        if (rect.width() <= 0 || rect.height() <= 0) {
            w->hide();
            continue;
        }
        w->setGeometry(rect.left - 1, rect.top - 1, rect.width() + 1, rect.height() + 1);
        w->show();
    }
}

// --- the parent row and rows inside nodes ----------------------------------------------------------------

int TExtStringGrid::GetParentRow(int aRow)
{
    if (m_numNodes <= 0)
        return -1;
    int own = kNoParentLevel;
    int result = -1;
    if (IsNode(aRow)) {
        own = GetNodeLevel(aRow);
        result = aRow;
    }
    // A contracted node ends right below its row in the display.
    for (int r = std::min(aRow, RowCount() - 1); r >= FixedRows(); --r)
        if (IsNode(r) && GetNodeLevel(r) < own && aRow < nodeEndDisplay(r))
            return r;
    return result;
}

void TExtStringGrid::InsertNormalRow(int realRow)
{
    // The row insertion keeps the hidden-row table in step itself.
    InsertRows(DisplRowIndex(realRow), 1);
}

void TExtStringGrid::RemoveNormalRow(int r)
{
    RemoveRows(r, 1);
    m_maxRowCount = std::max(RowCount(), m_maxRowCount - 1);
}

void TExtStringGrid::InsertChildRow(int realRow, int insertAt)
{
    const int r = DisplRowIndex(realRow);
    if (r < 0 || r >= RowCount())
        return;
    const int p = GetParentRow(r);
    int level = 1;
    if (p != -1) {
        UpdateNodeSpan(p, 1);
        UpdateSubNodeCount(p, 1);
        ExpandNode(RealRowIndex(p));
        level = GetNodeLevel(p);
    }
    int q = p;
    int l = level;
    while (l > 1 && q != -1 && q >= FixedRows()) {
        const int up = GetParentRow(q);
        if (up == -1 || up == q)
            break;
        q = up;
        if (GetNodeLevel(q) < l) {
            UpdateNodeSpan(q, 1);
            UpdateSubNodeCount(q, 1);
            ExpandNode(RealRowIndex(q));
            l = GetNodeLevel(q);
        }
    }
    const bool atNode = IsNode(r) && insertAt == 0;
    if (atNode)
        insertAt = 1;
    InsertRows(r + insertAt, 1);
    if (atNode) {
        // The node row keeps its graphic; its texts and objects go to its new first child.
        for (int c = 0; c < TotalColCount(); ++c) {
            SetCells(c, r + 1, Cells(c, r));
            SetCells(c, r, QString());
            if (c >= 1) {
                SetObjects(c, r + 1, Objects(c, r));
                SetObjects(c, r, nullptr);
            }
        }
    }
    if (p != -1)
        GetCellProperties(0, r + insertAt)->NodeLevel = level;
}

void TExtStringGrid::RemoveChildRow(int realRow)
{
    const int r = DisplRowIndex(realRow);
    if (r < 0 || r >= RowCount())
        return;
    int p = GetParentRow(r);
    if (p != -1 && p != r) {
        const int l = GetNodeLevel(p);
        if (GetNodeSpan(p) > 1) {
            UpdateNodeSpan(p, -1);
            UpdateSubNodeCount(p, -1);
        }
        for (;;) {
            ExpandNode(RealRowIndex(p));
            if (GetNodeLevel(p) <= 1)
                break;
            const int up = GetParentRow(p);
            if (up == -1 || up == p || GetNodeLevel(up) >= l)
                break;
            p = up;
            if (GetNodeSpan(p) > 1) {
                UpdateNodeSpan(p, -1);
                UpdateSubNodeCount(p, -1);
            }
        }
    }
    const int real = RealRowIndex(r);
    FreeAndDeleteRows(r, 1);
    // The cell controls below the removed row move up with their rows (the row's own went with
    // it).
    for (int i = 0; i < m_controlList.Count(); ++i) {
        TControlItem& item = m_controlList.GetControl(i);
        if (item.Y > real)
            --item.Y;
    }
    m_maxRowCount = std::max(RowCount(), m_maxRowCount - 1);
}

// --- painting and hit testing -----------------------------------------------------------------------------

int TExtStringGrid::GetNodeSpanType(int r)
{
    if (IsNode(r))
        return 0;
    if (r >= RowCount() - FixedFooters() - 1)
        return 1;
    const int own = HasCellProperties(0, r) ? GetGridObject(0, r)->NodeLevel : 0;
    if (HasCellProperties(0, r + 1) && GetGridObject(0, r + 1)->NodeLevel >= own)
        return 2;
    return 1;
}

bool TExtStringGrid::IsInNodeGlyph(int r, int x)
{
    if (!MouseActions.PreciseNodeClick)
        return true;
    const int l = GetNodeLevel(r);
    const int n = CellNode.NodeIndent();
    int w = 4, m = 4;
    switch (CellNode.NodeType()) {
    case cnFlat:
    case cnXP:
        w = 4;
        m = 4;
        break;
    case cn3D:
        w = 6;
        m = 0;
        break;
    case cnGlyph:
        w = CellNode.ExpandGlyph().isEmpty() ? 0 : CellNode.ExpandGlyph().width() / 2;
        m = CellNode.ExpandGlyph().isEmpty() ? 0 : 2;
        break;
    case cnLeaf:
        w = 8;
        m = 2;
        break;
    }
    // x is measured from the cell's left edge. The grid lays its columns out from the left and
    // draws the node glyph there in either reading order, so the glyph is found there too.
    return m + (l - 1) * n < x && x < w + l * n;
}

} // namespace controls::grid
