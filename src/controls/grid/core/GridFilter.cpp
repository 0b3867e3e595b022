// Filtering the rows of the string grid: the conditions (TFilter of TFilterData items), the test
// of one row, and the filter levels of the hidden-row table that ApplyFilter adds and
// RemoveLastFilter takes off again. A level records which rows it hid; rows hidden by range
// (HideRow, contracted nodes) are of no level and never come back with one.
#include "controls/grid/core/ExtStringGrid.h"

#include "controls/grid/util/ExtUtil.h"
#include "controls/grid/util/FilterExpression.h"
#include "platform/core/Errors.h"
#include "platform/text/Text.h"

#include <algorithm>


namespace controls::grid {

// --- TFilterData and TFilter -------------------------------------------------------------------------

void TFilterData::Assign(const platform::TPersistent* source)
{
    if (!source)
        return;
    const auto* s = dynamic_cast<const TFilterData*>(source);
    if (!s)
        throw platform::EInvalidCast(QStringLiteral("Invalid class typecast"));
    Column = s->Column;
    Condition = s->Condition;
    CaseSensitive = s->CaseSensitive;
    Data = s->Data;
    Prefix = s->Prefix;
    Suffix = s->Suffix;
    Operation = s->Operation;
}

TFilter::TFilter(TExtStringGrid* grid) : m_grid(grid) {}

TFilter::~TFilter() = default;

TFilterData* TFilter::Add()
{
    m_items.push_back(std::make_unique<TFilterData>());
    m_items.back()->Operation = m_items.size() == 1 ? foNONE : foAND;
    return m_items.back().get();
}

TFilterData* TFilter::Insert(int)
{
    m_items.push_back(std::make_unique<TFilterData>());
    return m_items.back().get();
}

TFilterData* TFilter::Items(int index) const
{
    if (index < 0 || index >= Count())
        throw platform::EListError(QStringLiteral("List index out of bounds (%1)").arg(index));
    return m_items[size_t(index)].get();
}

void TFilter::SetItems(int index, const TFilterData& value) { Items(index)->Assign(&value); }

void TFilter::Delete(int index)
{
    Items(index);
    m_items.erase(m_items.begin() + index);
}

void TFilter::Clear() { m_items.clear(); }

TFilterData* TFilter::ColumnFilter(int col)
{
    for (const auto& item : m_items)
        if (item->Column == col)
            return item.get();
    TFilterData* item = Add();
    item->Column = short(col);
    return item;
}

void TFilter::RemoveColumnFilter(int col)
{
    for (int i = Count() - 1; i >= 0; --i)
        if (m_items[size_t(i)]->Column == col)
            m_items.erase(m_items.begin() + i);
    if (m_grid)
        m_grid->RepaintCell(col, 0);
}

bool TFilter::HasFilter(int col) const
{
    for (const auto& item : m_items)
        if (item->Column == col)
            return true;
    return false;
}

void TFilter::Assign(const platform::TPersistent* source)
{
    const auto* s = dynamic_cast<const TFilter*>(source);
    if (!s || s == this)
        return;
    m_items.clear();
    for (const auto& item : s->m_items) {
        m_items.push_back(std::make_unique<TFilterData>());
        m_items.back()->Assign(item.get());
        m_items.back()->Method = item->Method;
    }
}

// --- testing rows --------------------------------------------------------------------------------------------

// While a filter is applied: each item's expression read once, and the tested column's texts
// of all data rows read in one pass over the cell store.
struct TExtStringGrid::TFilterRun {
    struct Item {
        QString condition;
        bool caseSensitive = true;
        std::unique_ptr<TFilterMatcher> matcher;
        int column = -1;
        TFilterCells data = fcVirtual;
        std::vector<QString> texts; // rows first .. first + size - 1, when read ahead
    };
    int first = 0;
    std::vector<Item> items;
};

QString TExtStringGrid::FilterDisplayValue(int col, int row) { return GetCellEx(col, row); }

QString TExtStringGrid::filterText(const TFilterData& item, int row)
{
    const int c = item.Column;
    switch (item.Data) {
    case fcNormal:
        return GridCells(c, row);
    case fcStripHTML:
        return StrippedCells(c, row);
    case fcCalculated:
        return FilterDisplayValue(c, row);
    case fcRow: {
        QString all;
        for (int col = 0; col < TotalColCount(); ++col)
            all += GetCellEx(col, row) + QStringLiteral("\r\n");
        return all;
    }
    case fcVirtual:
    default:
        return GetCellEx(c, row);
    }
}

bool TExtStringGrid::RowMatchesFilter(int row)
{
    bool result = true;
    for (int i = 0; i < Filter.Count(); ++i) {
        const TFilterData& item = *Filter.Items(i);
        TFilterRun::Item* prepared = m_filterRun && i < int(m_filterRun->items.size()) ? &m_filterRun->items[size_t(i)]
                                                                                         : nullptr;
        if (prepared && (prepared->condition != item.Condition || prepared->caseSensitive != item.CaseSensitive
                         || prepared->column != item.Column || prepared->data != item.Data))
            prepared = nullptr; // the item changed since the run began
        const int ahead = row - (m_filterRun ? m_filterRun->first : 0);
        QString text = prepared && ahead >= 0 && ahead < int(prepared->texts.size()) ? prepared->texts[size_t(ahead)]
                                                                                      : filterText(item, row);
        text = platform::trim(text);
        if (text.contains(QStringLiteral("|\\")))
            text = DecodeWideCellText(text);
        bool match = false;
        if (item.Data == fcRow) {
            match = platform::upperAscii(text).contains(platform::upperAscii(item.Condition));
        } else {
            if (!item.Prefix.isEmpty() && text.startsWith(item.Prefix))
                text.remove(0, item.Prefix.size());
            if (!item.Suffix.isEmpty()) {
                const qsizetype p = text.indexOf(item.Suffix);
                if (p >= 0 && p + item.Suffix.size() == text.size())
                    text.chop(item.Suffix.size());
            }
            try {
                if (item.Condition.isEmpty())
                    match = true;
                else if (item.Method == fmLiteral)
                    match = text == item.Condition;
                else if (prepared)
                    match = prepared->matcher->Match(text);
                else
                    match = MatchFilterExpression(item.Condition, text, item.CaseSensitive);
            } catch (const std::exception&) {
                match = false;
            }
        }
        bool stop = false;
        switch (item.Operation) {
        case foSHORT:
            result = match;
            stop = !match;
            break;
        case foNONE:
            result = match;
            break;
        case foAND:
            result = result && match;
            break;
        case foXOR:
            result = result != match;
            break;
        case foOR:
            result = result || match;
            break;
        }
        if (stop)
            break;
    }
    if (OnCustomFilter)
        OnCustomFilter(this, row, result);
    return result;
}

void TExtStringGrid::prepareFilterRun(TFilterRun& run, int first, int last)
{
    run.first = first;
    // The display texts of a column in one pass, when they are the stored texts through the
    // display hooks (no merged cells, no wide-text hook): what GetCellEx gives row by row.
    const bool direct = MergeCount() == 0 && !OnGetDisplWideText && last >= first;
    for (int i = 0; i < Filter.Count(); ++i) {
        const TFilterData& f = *Filter.Items(i);
        TFilterRun::Item item;
        item.condition = f.Condition;
        item.caseSensitive = f.CaseSensitive;
        item.column = f.Column;
        item.data = f.Data;
        item.matcher = std::make_unique<TFilterMatcher>(f.Condition, f.CaseSensitive);
        if ((f.Data == fcNormal || (f.Data == fcVirtual && direct)) && f.Column >= 0) {
            item.texts.resize(size_t(last - first + 1));
            cellStore().forEachRow(first, last + 1, [&](int r, const platform::GridRow& row) {
                if (const QString* t = row.findText(f.Column))
                    item.texts[size_t(r - first)] = *t;
                return true;
            });
            if (f.Data == fcVirtual)
                for (int r = first; r <= last && r < NormalRowCount(); ++r)
                    DisplayTextOf(f.Column, r, item.texts[size_t(r - first)]);
        }
        run.items.push_back(std::move(item));
    }
}

void TExtStringGrid::ApplyFilter()
{
    m_filterFixedRows = FixedRows();
    const int first = FixedRows();
    const int last = RowCount() - FixedFooters() - 1;
    const int total = RowCount() - FixedFooters() - FixedRows();
    TFilterRun run;
    prepareFilterRun(run, first, last);
    m_filterRun = &run;
    std::vector<int> hide;
    int progress = 0;
    try {
        for (int r = first; r <= last; ++r) {
            if (FilterNormalCellsOnly) {
                const TCellType t = GetCellType(0, r);
                if (t == ctNode || t == ctSummary)
                    continue;
            }
            if (RowMatchesFilter(r))
                continue;
            hide.push_back(r);
            if (OnFilterProgress && total > 0) {
                progress = int(platform::roundHalfEven(double(hide.size()) / total * 100.0));
                OnFilterProgress(this, progress);
            }
        }
    } catch (...) {
        m_filterRun = nullptr;
        throw;
    }
    m_filterRun = nullptr;
    HideRowList(hide);
    if (OnFilterProgress)
        OnFilterProgress(this, progress);
    invalidate();
}

void TExtStringGrid::FilterRow(int row)
{
    if (row >= 0 && row < RowCount() && !RowMatchesFilter(row))
        HideRow(RealRowIndex(row));
}

void TExtStringGrid::keepContractedNodeRowsHidden()
{
    if (m_numNodes <= 0 || m_filterLevel <= 0)
        return;
    // The real rows of the contracted nodes among the shown rows, in order; a node contracted
    // while the level was applied hid only the rows then shown, so the level's rows in its
    // range would show inside a contracted node.
    std::vector<std::pair<int, int>> ranges;
    for (int r = FixedRows(); r < RowCount(); ++r)
        if (IsNode(r) && GetNodeState(r))
            ranges.emplace_back(RealRowIndex(r) + 1, nodeEndReal(r));
    if (ranges.empty())
        return;
    const int level = m_filterLevel - 1;
    for (size_t i = 0; i < m_hidden.Idx.size(); ++i) {
        if (m_hidden.Levels[i] != level)
            continue;
        const int real = m_hidden.Idx[i];
        auto it = std::upper_bound(ranges.begin(), ranges.end(), real,
                                   [](int v, const std::pair<int, int>& range) { return v < range.first; });
        if (it != ranges.begin() && real < std::prev(it)->second)
            m_hidden.Levels[i] = kNodeHiddenLevel;
    }
}

void TExtStringGrid::showLastFilterLevel()
{
    keepContractedNodeRowsHidden();
    UnHideRowList();
    if (FixedRows() != m_filterFixedRows && m_filterFixedRows < RowCount())
        SetFixedRows(m_filterFixedRows);
    UnHideSelection();
}

bool TExtStringGrid::RemoveLastFilter()
{
    if (m_filterLevel <= 0)
        return false;
    showLastFilterLevel();
    CalcFooter(-1);
    --m_filterLevel;
    invalidate();
    return true;
}

void TExtStringGrid::RemoveAllFilters()
{
    if (m_filterLevel > 0) {
        while (RemoveLastFilter()) {
        }
    } else {
        Filter.Clear();
    }
}

void TExtStringGrid::SetFilterActive(bool on)
{
    if (on != m_filterActive) {
        m_filterActive = on;
        if (on) {
            if (Row() >= RowCount() || Col() >= ColCount())
                moveCurrent(FixedCols(), FixedRows(), true, true);
            {
                // Many rows hide at once: paint once when they all are.
                TUpdateBracket bracket(*this);
                ApplyFilter();
            }
            m_selHidden = false;
        } else {
            showLastFilterLevel();
        }
        if (FixedRows() < RowCount())
            SetTopRow(FixedRows());
    }
    CalcFooter(-1);
}

void TExtStringGrid::NarrowDown(const QString& condition, int column)
{
    SetFixedRowAlways(true);
    auto applyOne = [&] {
        Filter.Clear();
        TFilterData* item = Filter.Add();
        if (column == -1) {
            item->Data = fcRow;
            item->Condition = condition;
        } else {
            item->Data = fcNormal;
            QString c = QStringLiteral("*") + condition + QStringLiteral("*");
            if (c.contains(u' '))
                c = QLatin1Char('"') + c + QLatin1Char('"');
            item->Condition = c;
        }
        item->CaseSensitive = false;
        item->Column = short(column);
        ApplyFilter();
    };
    if (!m_lastFilter.isEmpty() && condition.size() == m_lastFilter.size() + 1 && condition.startsWith(m_lastFilter)) {
        applyOne();
    } else if (!condition.isEmpty() && !m_lastFilter.isEmpty() && condition == m_lastFilter.chopped(1)) {
        RemoveLastFilter();
    } else {
        RemoveAllFilters();
        if (!condition.isEmpty())
            applyOne();
    }
    m_lastFilter = condition;
    // An empty text ends the incremental filter: every filter level is gone. Rows hidden by
    // range or by contracted nodes are no filter's and stay hidden with their cells.
    if (condition.isEmpty())
        m_filterLevel = 0;
}

void TExtStringGrid::FilterSelect(int itemIndex)
{
    setFocus();
    if (m_filterCol < 0 || m_filterCol >= TotalColCount() || itemIndex < 0 || itemIndex >= FilterList().Count()) {
        m_filterCol = -1;
        return;
    }
    const int col = m_filterCol;
    GetColumnFilter(col);
    if (itemIndex >= FilterList().Count()) {
        m_filterCol = -1;
        return;
    }
    const QString entry = FilterList().Strings(itemIndex);
    const qsizetype eq = entry.indexOf(u'=');
    const QString display = eq < 0 ? entry : entry.left(eq);
    QString condition = eq < 0 ? entry : entry.mid(eq + 1);
    if (AutoFilterUpdate)
        SetFilterActive(false);
    if (condition == FilterDropDownClear)
        condition.clear();
    if (OnFilterSelect)
        OnFilterSelect(this, col, itemIndex, display, condition);
    if (!condition.isEmpty())
        Filter.ColumnFilter(col)->Condition = condition;
    else
        Filter.RemoveColumnFilter(col);
    if (AutoFilterUpdate) {
        SetFixedRowAlways(true);
        SetFilterActive(true);
        if (RowCount() != FixedRows() && RowCount() != 1)
            SetRow(FixedRows());
        FilterDone();
    }
    m_filterCol = -1;
}

void TExtStringGrid::FilterCheck()
{
    if (m_filterCol < 0 || m_filterCol >= TotalColCount())
        return;
    const int col = m_filterCol;
    GetColumnFilter(col);
    if (AutoFilterUpdate)
        SetFilterActive(false);
    Filter.Clear();
    const int n = std::min(FilterList().Count(), int(m_filterChecks.size()));
    for (int i = 0; i < n; ++i) {
        if (!m_filterChecks[size_t(i)])
            continue;
        const QString entry = FilterList().Strings(i);
        const qsizetype eq = entry.indexOf(u'=');
        const QString display = eq < 0 ? entry : entry.left(eq);
        QString condition = eq < 0 ? entry : entry.mid(eq + 1);
        if (condition == FilterDropDownClear)
            condition.clear();
        if (OnFilterCheck)
            OnFilterCheck(this, col, i, display, condition, FilterDropCheckList());
        TFilterData* item = Filter.Add();
        item->Condition = condition;
        item->Column = short(col);
        item->Operation = Filter.Count() == 1 ? foNONE : foOR;
    }
    SetFilterActive(true);
}

void TExtStringGrid::SetFilterDropDownRow(int row)
{
    if (row < 0 || row >= FixedRows())
        return;
    FilterDropDownRow = row;
    invalidate();
}

void TExtStringGrid::SetFilterDropDownAuto(bool on)
{
    FilterDropDownAuto = on;
    invalidate();
}

void TExtStringGrid::FilterDone()
{
    if (OnFilterDone)
        OnFilterDone(this);
}

} // namespace controls::grid
