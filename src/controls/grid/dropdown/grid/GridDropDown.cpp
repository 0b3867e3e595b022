#include "controls/grid/dropdown/grid/GridDropDown.h"

#include "controls/grid/dropdown/rules/DropDownDraw.h"
#include "controls/grid/dropdown/rules/DropDownStyles.h"
#include "controls/grid/dropdown/rules/LookupLogic.h"
#include "platform/grid/Keys.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QStyle>

#include <algorithm>
#include <numeric>
#include <utility>

namespace controls::grid::dropdown {

using namespace platform;

namespace {

void* ItemObject(int index) { return reinterpret_cast<void*>(static_cast<intptr_t>(index)); }
int ObjectItem(void* object) { return int(reinterpret_cast<intptr_t>(object)); }

// Numbers compare by value, other texts alphabetically without case.
int CompareCellTexts(const QString& a, const QString& b)
{
    bool na = false, nb = false;
    const double da = a.trimmed().toDouble(&na);
    const double db = b.trimmed().toDouble(&nb);
    if (na && nb)
        return da < db ? -1 : da > db ? 1 : 0;
    return QString::compare(a, b, Qt::CaseInsensitive);
}

bool NavigationKey(quint16 key)
{
    return (key >= VK_PRIOR && key <= VK_HOME) || key == VK_UP || key == VK_DOWN;
}

} // namespace

namespace griddrop {

TExtColGrid::TExtColGrid(QWidget* parent) : TExtStringGridAux(parent)
{
    SetFixedRowAlways(true);
    SetRowCount(2);
    SetFixedRows(1);
    SetFixedCols(0);
    TGridOptions o = options();
    o |= goHorzLine | goRowSelect;
    o &= ~TGridOptions(goRangeSelect);
    setOptions(o);
    setBorderStyle(platform::TBorderStyle::bsNone);
    SetGridLineWidth(1);
    OldRow = RealRow();
}

bool TExtColGrid::AllRowsVisible() const { return visibleRowCount() + fixedRows() >= rowCount(); }

void TExtColGrid::FillFromItems()
{
    TCustomExtGridDropDown* d = m_dropDown;
    if (!d)
        return;
    const int columns = std::max(1, d->Columns().Count());
    if (ColCount() != columns)
        SetColCount(columns);
    m_columnOrder.clear();
    for (int c = 0; c < d->Columns().Count(); ++c)
        SetCells(c, 0, d->Columns()[c]->Header);
    SetObjects(0, 0, ItemObject(-1));
    const TDropDownItems& items = d->Items();
    if (items.Count() == 0)
        return;
    SetRowCount(FixedRows() + items.Count());
    for (int i = 0; i < items.Count(); ++i) {
        for (int c = 0; c < d->Columns().Count(); ++c)
            SetCells(c, i + 1, items[i]->TextAt(c));
        SetObjects(0, i + 1, ItemObject(i));
    }
}

void TExtColGrid::LoadFromDropDown(TCustomExtGridDropDown* d)
{
    m_dropDown = d;
    m_columns.Assign(&d->Columns());
    if (ColCount() < m_columns.Count())
        SetColCount(m_columns.Count());
    if (d->UseItems)
        SetRowCount(d->Items().Count() + 1);
    for (int i = 0; i < m_columns.Count(); ++i)
        setColWidths(i, m_columns[i]->Width);
    LineColor = d->LineColor;
    FixedLineColor = d->FixedLineColor;
    HeaderColor = d->HeaderColor;
    HeaderColorTo = d->HeaderColorTo;
    HeaderHeight = d->HeaderHeight;
    HeaderFont = d->HeaderFont;
    HoverRow = d->HoverRow;
    HoverRowColor = d->HoverRowColor;
    HoverRowColorTo = d->HoverRowColorTo;
    Images = d->Images();
    SetDefaultRowHeight(d->DropDownRowHeight);
    setRowHeights(0, HeaderHeight);
    TGridOptions o = options();
    o.setFlag(goColSizing, d->ColumnSizing);
    o.setFlag(goColMoving, d->ColumnMoving);
    o.setFlag(goRowSizing, d->RowSizing);
    o.setFlag(goRowMoving, d->RowMoving);
    setOptions(o);
    if (d->AutoSizeColumns) {
        if (d->UseItems)
            AutoSizeColumns();
        else
            TExtStringGridAux::AutoSizeColumns(true, 4);
    }
    AutoRowHeights();
}

int TExtColGrid::GetTotalWidth() const { return GridTotalWidth(*this, AllRowsVisible()); }

int TExtColGrid::SourceColumn(int col) const
{
    return col >= 0 && col < int(m_columnOrder.size()) ? m_columnOrder[size_t(col)] : col;
}

int TExtColGrid::PlaceOf(int source) const
{
    const auto it = std::find(m_columnOrder.begin(), m_columnOrder.end(), source);
    return it == m_columnOrder.end() ? source : int(it - m_columnOrder.begin());
}

void TExtColGrid::columnMoved(int fromIndex, int toIndex)
{
    const size_t needed = size_t(std::max({ColCount(), fromIndex + 1, toIndex + 1}));
    while (m_columnOrder.size() < needed)
        m_columnOrder.push_back(int(m_columnOrder.size()));
    const int moved = m_columnOrder[size_t(fromIndex)];
    m_columnOrder.erase(m_columnOrder.begin() + fromIndex);
    m_columnOrder.insert(m_columnOrder.begin() + toIndex, moved);
    TExtStringGridAux::columnMoved(fromIndex, toIndex);
}

void TExtColGrid::AutoSizeColumn(int index)
{
    if (m_dropDown && index >= 0)
        AutoSizeItemColumns(m_columns, m_dropDown->Items(), Images, index, [this](int c, int w) { setColWidths(c, w); });
}

void TExtColGrid::AutoSizeColumns()
{
    if (m_dropDown)
        AutoSizeItemColumns(m_columns, m_dropDown->Items(), Images, -1, [this](int c, int w) { setColWidths(c, w); });
}

void TExtColGrid::AutoRowHeights()
{
    if (!m_dropDown || !HasWrappedColumn(m_columns))
        return;
    for (int r = FixedRows(); r < RowCount(); ++r)
        setRowHeights(r, WrappedRowHeight(
                             m_columns, [this](int col) { return colWidths(col); },
                             [this, r](int col) { return col < ColCount() ? Cells(col, r) : QString(); }));
}

void TExtColGrid::DoSelect()
{
    if (OnSelect)
        OnSelect();
}

void TExtColGrid::RemoveAllFilters()
{
    if (NumHiddenRows() > 0)
        UnHideRowsAll();
}

void TExtColGrid::NarrowDown(const QString& text, int col)
{
    RemoveAllFilters();
    if (text.isEmpty() || col < 0 || col >= ColCount())
        return;
    std::vector<int> rows;
    for (int r = FixedRows(); r < RowCount(); ++r)
        if (!Cells(col, r).contains(text, Qt::CaseInsensitive))
            rows.push_back(r);
    if (!rows.empty())
        HideRowList(rows);
}

void TExtColGrid::QSort()
{
    std::vector<std::pair<int, bool>> keys; // column, ascending
    if (SortIndexes.Count() > 0) {
        for (int i = 0; i < SortIndexes.Count(); ++i)
            keys.emplace_back(SortIndexes.GetSortColumns(i), SortIndexes.GetSortDirections(i));
    } else if (SortSettings.Column >= 0) {
        keys.emplace_back(SortSettings.Column, SortSettings.Direction == sdAscending);
    }
    const int first = FixedRows();
    const int n = RowCount() - first;
    if (keys.empty() || n < 2)
        return;
    std::vector<int> order(static_cast<size_t>(n));
    std::iota(order.begin(), order.end(), first);
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
        for (const auto& [col, ascending] : keys) {
            if (col < 0 || col >= ColCount())
                continue;
            const int c = CompareCellTexts(Cells(col, a), Cells(col, b));
            if (c != 0)
                return ascending ? c < 0 : c > 0;
        }
        return false;
    });
    // Move the rows into place from the top; `at` tracks which original row each place holds.
    const int current = row();
    std::vector<int> at(static_cast<size_t>(n));
    std::iota(at.begin(), at.end(), first);
    for (int i = 0; i < n; ++i) {
        const auto it = std::find(at.begin() + i, at.end(), order[size_t(i)]);
        const int j = int(it - at.begin());
        if (j != i) {
            MoveRow(first + j, first + i);
            at.erase(at.begin() + j);
            at.insert(at.begin() + i, order[size_t(i)]);
        }
    }
    // The current row follows its content.
    const auto it = std::find(at.begin(), at.end(), current);
    if (it != at.end())
        SetRow(first + int(it - at.begin()));
    invalidateGrid();
}

void TExtColGrid::HeaderClickSort(int col, TShiftState shift)
{
    if (!m_dropDown || m_dropDown->Sorting == gsNone || col < 0 || col >= ColCount())
        return;
    bool doSort = true;
    if (OnCanSort)
        OnCanSort(this, col, doSort);
    if (!doSort)
        return;
    const bool addKey = m_dropDown->Sorting == gsMultiColumn &&
                        (SortSettings.IndexSortKey == ikCtrl ? (shift & ssCtrl) : (shift & ssShift));
    if (addKey) {
        if (SortIndexes.Count() == 0 && SortSettings.Column >= 0)
            SortIndexes.AddIndex(SortSettings.Column, SortSettings.Direction == sdAscending);
        if (SortIndexes.FindIndex(col) >= 0)
            SortIndexes.ToggleIndex(col);
        else
            SortIndexes.AddIndex(col, SortSettings.InitSortDirection == sdAscending);
    } else {
        if (SortSettings.Column == col)
            SortSettings.Direction = SortSettings.Direction == sdAscending ? sdDescending : sdAscending;
        else
            SortSettings.Direction = SortSettings.InitSortDirection;
        SortSettings.Column = col;
        SortIndexes.Clear();
        if (m_dropDown->Sorting == gsMultiColumn)
            SortIndexes.AddIndex(col, SortSettings.Direction == sdAscending);
    }
    QSort();
    ClickSort(col);
}

bool TExtColGrid::NearColumnBorder(int x) const
{
    if (!options().testFlag(goColSizing))
        return false;
    const TGridCoord left = mouseCoord(x - 4, 1);
    const TGridCoord right = mouseCoord(x + 4, 1);
    return left.X != right.X;
}

void TExtColGrid::keyDown(quint16& key, TShiftState shift)
{
    ConfirmSelection = true;
    TExtStringGridAux::keyDown(key, shift);
}

void TExtColGrid::mouseDown(TMouseButton button, TShiftState shift, int x, int y)
{
    ConfirmSelection = true;
    OldRow = RealRow();
    m_pressCell = mouseCoord(x, y);
    m_pressShift = shift;
    TExtStringGridAux::mouseDown(button, shift, x, y);
    const TGridState state = gridState();
    m_pressDrags = state == TGridState::gsRowSizing || state == TGridState::gsColSizing
                   || state == TGridState::gsRowMoving || state == TGridState::gsColMoving;
}

void TExtColGrid::wmLButtonDown(TWMMouse& msg)
{
    // A press the grid takes before its mouse-down (an anchor, a cell's control) drags nothing.
    m_pressDrags = false;
    TExtStringGridAux::wmLButtonDown(msg);
}

void TExtColGrid::mouseUp(TMouseButton button, TShiftState shift, int x, int y)
{
    TExtStringGridAux::mouseUp(button, shift, x, y);
    if (button != TMouseButton::mbLeft)
        return;
    const TGridCoord cell = mouseCoord(x, y);
    const TGridCoord press = m_pressCell;
    m_pressCell = TGridCoord{-1, -1};
    // The end of sizing or moving a row (or a refused move) lands on a data row: no choice.
    if (std::exchange(m_pressDrags, false))
        return;
    if (cell.Y >= 0 && cell.Y < FixedRows()) {
        if (press.X == cell.X && press.Y == cell.Y && !NearColumnBorder(x))
            HeaderClickSort(RealColIndex(cell.X), m_pressShift);
        return;
    }
    if (cell.Y >= FixedRows() && cell.X >= 0 && !HasCheckBox(RealColIndex(cell.X), cell.Y))
        DoSelect();
}

bool TExtColGrid::doMouseWheelDown(TShiftState shift, QPoint mousePos)
{
    return WheelWithoutChoice(MouseWheelSelection, ConfirmSelection,
                              [&] { return TExtStringGridAux::doMouseWheelDown(shift, mousePos); });
}

bool TExtColGrid::doMouseWheelUp(TShiftState shift, QPoint mousePos)
{
    return WheelWithoutChoice(MouseWheelSelection, ConfirmSelection,
                              [&] { return TExtStringGridAux::doMouseWheelUp(shift, mousePos); });
}

// Keys reach the grid here before its own handling (which keeps Return to itself on cells
// that cannot be edited): Return chooses the row, Alt+Up and Alt+Down go to the drop-down,
// Tab is swallowed.
void TExtColGrid::wmKeyDown(TWMKey& msg)
{
    const quint16 key = msg.CharCode;
    const TShiftState shift = keyState();
    if (key == VK_TAB)
        return;
    ConfirmSelection = true;
    if ((shift & ssAlt) && (key == VK_UP || key == VK_DOWN)) {
        if (m_dropDown)
            m_dropDown->SendKeyDown(key, shift);
        msg.CharCode = 0;
        return;
    }
    if (key == VK_RETURN && !EditMode()) {
        msg.CharCode = 0;
        msg.Result = 1;
        DoSelect();
        return;
    }
    TExtStringGridAux::wmKeyDown(msg);
}

void TExtColGrid::wmChar(TWMKey& msg)
{
    if (msg.CharCode == VK_RETURN) {
        msg.Result = 1;
        return;
    }
    TExtStringGridAux::wmChar(msg);
}

// Return belongs to the grid too (it chooses the row) rather than to the popup window.
int TExtColGrid::wmGetDlgCode() { return DLGC_WANTARROWS | DLGC_WANTTAB | DLGC_WANTALLKEYS; }

} // namespace griddrop

// =====================================================================================================

TCustomExtGridDropDown::TCustomExtGridDropDown(QWidget* parent) : TExtCustomDropDown(parent)
{
    HeaderFont = font();
    m_navigation.HomeEndKey = heFirstLastRow;
    m_items = CreateItems();
    CreateDropDownForm();
    DropDownColor = 0xFFFFFF;
    SetDropDownHeight(200);
    SetSelectionColorStyle(scOffice2007);
    SetComponentStyle(GetComponentStyle());
}

TCustomExtGridDropDown::~TCustomExtGridDropDown()
{
    // The grid's events point into this control.
    if (m_grid)
        m_grid->SetDropDown(nullptr);
}

std::unique_ptr<TDropDownItems> TCustomExtGridDropDown::CreateItems() { return std::make_unique<TDropDownItems>(); }

void TCustomExtGridDropDown::CreateDropDownForm()
{
    TExtCustomDropDown::CreateDropDownForm();
    if (m_grid || !DropDownForm())
        return;
    m_grid = new G(DropDownForm());
    m_grid->SetDropDown(this);
    m_grid->move(0, 0);
    m_grid->resize(m_grid->width(), 180);
    m_grid->setColor(DropDownColor);
    m_grid->Navigation.HomeEndKey = heFirstLastRow;
    FocusControl = m_grid;
    SetControl(m_grid);
}

void TCustomExtGridDropDown::PlaceDropDownControl()
{
    SetControl(m_grid);
    TExtCustomDropDown::PlaceDropDownControl();
}

void TCustomExtGridDropDown::SetStyle(TDropDownStyle style)
{
    m_style = style;
    SetEditorEnabled(style == dsDropDown);
}

void TCustomExtGridDropDown::SetGridImages(TImageList* images)
{
    m_gridImages = images;
    if (m_grid)
        m_grid->SetGridImages(images);
}

// --- rows and items ---------------------------------------------------------------------------------------

int TCustomExtGridDropDown::RowToItem(int row) const
{
    if (m_grid && row >= 0 && row < m_grid->RowCount())
        return ObjectItem(m_grid->Objects(m_grid->ItemColumn(), row));
    return row;
}

int TCustomExtGridDropDown::ItemToRow(int item) const
{
    if (item < 0 || !m_grid)
        return m_itemIndex;
    const int itemColumn = m_grid->ItemColumn();
    for (int r = m_grid->FixedRows(); r < m_grid->RowCount(); ++r)
        if (ObjectItem(m_grid->Objects(itemColumn, r)) == item)
            return r;
    return m_itemIndex;
}

void TCustomExtGridDropDown::SetItemIndex(int value)
{
    if (UseItems) {
        if (value >= m_items->Count())
            return;
        m_itemIndex = value;
        QString text;
        if (value >= 0 && LookupColumn >= 0)
            text = (*m_items)[value]->TextAt(LookupColumn);
        SetText(text);
        return;
    }
    if (!m_grid) {
        m_itemIndex = value;
        return;
    }
    if (value == m_itemIndex || value >= m_grid->RowCount() - m_grid->FixedRows())
        return;
    m_itemIndex = value;
    SetText(value < 0 ? QString() : m_grid->Cells(LookupPlace(), value + m_grid->FixedRows()));
}

bool TCustomExtGridDropDown::LookupItem(const QString& text, QString& fullText, int& index) const
{
    fullText.clear();
    index = -1;
    const QString key = CaseText(text, CaseSensitive);
    if (UseItems) {
        for (int i = 0; i < m_items->Count(); ++i) {
            const QString entry = (*m_items)[i]->TextAt(LookupColumn);
            if (CaseText(entry, CaseSensitive).startsWith(key)) {
                fullText = entry;
                index = i;
                return true;
            }
        }
        return false;
    }
    const int lookupCol = LookupPlace();
    if (!m_grid || lookupCol < 0 || lookupCol >= m_grid->ColCount())
        return false;
    for (int r = m_grid->FixedRows(); r < m_grid->RowCount(); ++r) {
        const QString cell = m_grid->Cells(lookupCol, r);
        if (CaseText(cell, CaseSensitive).startsWith(key)) {
            fullText = cell;
            index = r;
            return true;
        }
    }
    return false;
}

void TCustomExtGridDropDown::UpdateLookupItems()
{
    if (LookupColumn < 0 || m_items->Count() == 0)
        return;
    m_completion.LookupItems.clear();
    for (int i = 0; i < m_items->Count(); ++i)
        m_completion.LookupItems << (*m_items)[i]->TextAt(LookupColumn);
}

void TCustomExtGridDropDown::Loaded()
{
    UpdateLookupItems();
    if (m_grid)
        m_grid->FillFromItems();
}

int TCustomExtGridDropDown::EntryCount() const
{
    if (UseItems)
        return m_items->Count();
    return m_grid ? m_grid->RowCount() - m_grid->FixedRows() : 0;
}

void TCustomExtGridDropDown::SelectEntry(int index)
{
    if (index >= 0 && index < EntryCount())
        SetItemIndex(index);
}

// --- the popup -------------------------------------------------------------------------------------------

void TCustomExtGridDropDown::ConnectGridEvents()
{
    G* g = m_grid;
    g->OnAnchorClick = [this](TExtStringGridInput* s, int r, int c, const QString& a, bool& h) {
        DoGridAnchorClick(s, r, c, a, h);
    };
    g->OnAnchorEnter = [this](TExtStringGridAux* s, int r, int c, const QString& a) { DoGridAnchorEnter(s, r, c, a); };
    g->OnAnchorExit = [this](TExtStringGridAux* s, int r, int c, const QString& a) { DoGridAnchorExit(s, r, c, a); };
    g->OnAnchorHint = [this](TExtStringGridAux* s, int r, int c, QString& a) { DoGridAnchorHint(s, r, c, a); };
    g->OnButtonClick = [this](TExtStringGrid* s, int c, int r) { DoGridButtonClick(s, c, r); };
    g->OnColumnSize = [this](TExtStringGrid* s, int i, bool& a) { DoGridColumnSize(s, i, a); };
    g->OnColumnSizing = [this](TExtStringGridInput* s, int c, int w) { DoGridColumnSizing(s, c, w); };
    g->OnEndColumnSize = [this](TExtStringGrid* s, int c) { DoGridEndColumnSize(s, c); };
    g->OnRowSize = [this](TExtStringGrid* s, int i, bool& a) { DoGridRowSize(s, i, a); };
    g->OnRowSizing = [this](TExtStringGridInput* s, int r, int h) { DoGridRowSizing(s, r, h); };
    g->OnEndRowSize = [this](TExtStringGrid* s, int r) { DoGridEndRowSize(s, r); };
    g->OnRowMove = [this](TExtStringGridAux* s, int i, bool& a) { DoGridRowMove(s, i, a); };
    g->OnRowMoving = [this](TExtStringGridAux* s, int i, bool& a) { DoGridRowMoving(s, i, a); };
    g->onRowMoved = [this](TStringGrid* s, int f, int t) { DoGridRowMoved(s, f, t); };
    g->OnColumnMove = [this](TExtStringGridAux* s, int i, bool& a) { DoGridColumnMove(s, i, a); };
    g->OnColumnMoving = [this](TExtStringGridAux* s, int i, bool& a) { DoGridColumnMoving(s, i, a); };
    g->onColumnMoved = [this](TStringGrid* s, int f, int t) { DoGridColumnMoved(s, f, t); };
    if (OnGridCustomCellDraw)
        g->OnCustomCellDraw = [this](TExtStringGridPaint* s, Canvas& cv, int c, int r, TGridDrawState st,
                                     const Rect& rc, bool p) { DoGridCustomCellDraw(s, cv, c, r, st, rc, p); };
    if (OnGridCustomCellBkgDraw)
        g->OnCustomCellBkgDraw = [this](TExtStringGridPaint* s, Canvas& cv, int c, int r, TGridDrawState st,
                                        const Rect& rc, bool p) { DoGridCustomCellBkgDraw(s, cv, c, r, st, rc, p); };
    g->OnCellBalloon = [this](TExtStringGridAux* s, int c, int r, QString& title, QString& text, int& icon) {
        DoGridCellBalloon(s, c, r, title, text, icon);
    };
    g->OnGetAlignment = [this](TExtStringGrid* s, int r, int c, Alignment& h, TVAlignment& v) {
        DoGridGetAlignment(s, r, c, h, v);
    };
    g->OnGetCellColor = [this](TExtStringGrid* s, int r, int c, TGridDrawState st, Brush& b, platform::Font& f) {
        DoGridGetCellColor(s, r, c, st, b, f);
    };
    g->OnGetCellGradient = [this](TExtStringGridPaint* s, int r, int c, Color& a, Color& b, Color& m, Color& mt,
                                  TCellGradientDirection& d) { DoGridGetCellGradient(s, r, c, a, b, m, mt, d); };
    g->OnGetFloatFormat = [this](TExtStringGridPaint* s, int c, int r, bool& f, QString& fmt) {
        DoGridGetFloatFormat(s, c, r, f, fmt);
    };
    g->OnGetEditorType = [this](TExtStringGrid* s, int c, int r, TEditorType& e) { DoGridGetEditorType(s, c, r, e); };
    g->OnGetEditorProp = [this](TExtStringGridEdit* s, int c, int r) { DoGridGetEditorProp(s, c, r); };
    g->OnCanEditCell = [this](TExtStringGrid* s, int c, int r, bool& e) { DoGridCanEditCell(s, c, r, e); };
    g->OnGetDisplText = [this](TBaseGrid* s, int c, int r, QString& v) { DoGridGetDiplText(s, c, r, v); };
    g->OnGetFormat = [this](TExtStringGrid* s, int c, int& st, QString& p, QString& sf) {
        DoGridGetFormat(s, c, st, p, sf);
    };
    g->OnGridHint = [this](TExtStringGrid* s, int r, int c, QString& h) { DoGridHint(s, r, c, h); };
    g->onMouseMove = [this](TStringGrid* s, TShiftState sh, int x, int y) { DoGridMouseMove(s, sh, x, y); };
    g->onMouseDown = [this](TStringGrid* s, TMouseButton b, TShiftState sh, int x, int y) {
        DoGridMouseDown(s, b, sh, x, y);
    };
    g->onMouseUp = [this](TStringGrid* s, TMouseButton b, TShiftState sh, int x, int y) {
        DoGridMouseUp(s, b, sh, x, y);
    };
    g->OnRightClickCell = [this](TExtStringGridInput* s, int r, int c) { DoGridRightClickCell(s, r, c); };
    g->OnScrollHint = [this](TExtStringGrid* s, int i, QString& h) { DoGridScrollHint(s, i, h); };
    g->onTopLeftChanged = [this](TStringGrid* s) { DoGridTopLeftChanged(s); };
    g->OnAutoAddRow = [this](TExtStringGrid* s, int r) { DoGridAutoAddRow(s, r); };
    g->OnAutoInsertRow = [this](TExtStringGrid* s, int r) { DoGridInsertRow(s, r); };
    g->OnAutoInsertCol = [this](TExtStringGrid* s, int c) { DoGridInsertCol(s, c); };
    g->OnAutoDeleteRow = [this](TExtStringGrid* s, int r) { DoGridDeleteRow(s, r); };
    g->OnCanAddRow = [this](TExtStringGrid* s, bool& a) { DoGridCanAddRow(s, a); };
    g->OnCanInsertRow = [this](TExtStringGrid* s, int r, bool& a) { DoGridCanInsertRow(s, r, a); };
    g->OnCanDeleteRow = [this](TExtStringGridInput* s, int r, bool& a) { DoGridCanDeleteRow(s, r, a); };
    g->OnCheckBoxClick = [this](TExtStringGridEdit* s, int c, int r, bool st) {
        if (OnGridCheckBoxClick)
            OnGridCheckBoxClick(s, c, r, st);
    };
    g->OnEllipsClick = [this](TExtStringGridEdit* s, int c, int r, QString& v) { DoGridEllipsClick(s, c, r, v); };
    g->OnSearchEditChange = [this](TExtStringGridPaint* s, const QString& t, bool& d) { DoGridSearchEditChange(s, t, d); };
}

void TCustomExtGridDropDown::DoGridSearchEditChange(TExtStringGridPaint* s, const QString& text, bool& defaultSearch)
{
    if (OnGridSearchEditChange)
        OnGridSearchEditChange(s, text, defaultSearch);
}

void TCustomExtGridDropDown::DoGridEllipsClick(TExtStringGridEdit* s, int col, int row, QString& value)
{
    if (OnGridEllipsClick)
        OnGridEllipsClick(s, col, row, value);
}

void TCustomExtGridDropDown::BeforeDropDown()
{
    DropDownForm()->CancelOnDeActivate = false;
    if (m_grid) {
        G* g = m_grid;
        // Rows hidden by a look-up come back before the grid is filled again.
        Narrow(QString());
        g->LoadFromDropDown(this);
        g->setColor(DropDownColor);
        g->SortSettings.Show = Sorting != gsNone;
        g->SortSettings.IndexShow = Sorting == gsMultiColumn;
        m_balloonInit = false;
        g->Images = Images();
        g->OnStartBlockFocus = [this](TExtStringGrid*) { DropDownForm()->BlockActivate = true; };
        g->OnEndBlockFocus = [this](TExtStringGrid*) { DropDownForm()->BlockActivate = false; };
        g->onSelectCell = nullptr;
        g->OnSelect = [this] { GridSelect(); };
        g->onKeyDown = [this](TStringGrid*, quint16& key, TShiftState) { GridKeyDown(key); };
        ConnectGridEvents();
        g->SearchFooter.Assign(&m_searchFooter);
        g->MouseActions.Assign(&m_mouseActions);
        g->Navigation.Assign(&m_navigation);
        g->Bands.Assign(&m_bands);
        TGridOptions o = g->options() | goThumbTracking;
        o.setFlag(goRowSelect, RowSelect);
        o.setFlag(goEditing, GridEditable);
        g->setOptions(o);
        g->SetGridImages(m_gridImages);
        g->OnCanSort = [this](TExtStringGridInput*, int, bool&) { RememberItem(); };
        g->OnClickSort = [this](TExtStringGridEdit*, int) { ReselectItem(); };
        g->onSelectCell = [this](TStringGrid*, int, int row, bool&) { GridSelectCell(row); };
        if (auto* styled = dynamic_cast<IVekkoStyle*>(g))
            styled->SetComponentStyle(GetComponentStyle());
        if (UseItems) {
            // The items may still change in OnBeforeDropDown.
            TExtCustomDropDown::BeforeDropDown();
            m_filling = true;
            g->SetRowCount(m_items->Count() + 1);
            g->SetFixedRows(1);
            g->FillFromItems();
            g->AutoRowHeights();
            m_filling = false;
            const int r = ItemToRow(m_itemIndex);
            if (r >= g->FixedRows() && r < g->RowCount())
                g->SetRow(r);
        } else {
            QString text;
            int r = -1;
            if (!LookupItem(GetText(), text, r) || GetText().isEmpty())
                r = m_itemIndex >= 0 ? m_itemIndex + g->FixedRows() : g->FixedRows();
            if (r >= g->FixedRows() && r < g->RowCount())
                g->SetRow(r);
        }
        if (g->SortSettings.Column >= 0 && g->SortSettings.Show) {
            g->QSort();
            const int r = UseItems ? ItemToRow(m_itemIndex) : -1;
            if (r >= g->FixedRows() && r < g->RowCount())
                g->SetRow(r);
        }
        if (LookupMethod == lmNarrowDown && !m_lookupEntry.trimmed().isEmpty())
            Narrow(m_lookupEntry.trimmed());
    }
    m_oldItemIndex = m_itemIndex;
    if (!UseItems || !m_grid)
        TExtCustomDropDown::BeforeDropDown();
}

void TCustomExtGridDropDown::AdjustDropDownHeight(int& height)
{
    height = WholeRowsPopupHeight(height, BarsHeight(), HeaderHeight, DropDownRowHeight, 6);
}

void TCustomExtGridDropDown::SizeDropDownForm()
{
    TExtCustomDropDown::SizeDropDownForm();
    if (DropDownAutoWidth && DropDownForm() && m_grid)
        DropDownForm()->resize(m_grid->GetTotalWidth() + 2 * DropDownBorderWidth, DropDownForm()->height());
}

void TCustomExtGridDropDown::SizeColumnsToWidth()
{
    if (!ColumnSizeWithDropDown || m_columns.Count() == 0 || !DropDownForm() || !m_grid)
        return;
    SizeGridColumnsTo(*m_grid, m_columns.Count(), DropDownForm()->width() - 2 * DropDownBorderWidth,
                      m_grid->AllRowsVisible());
}

void TCustomExtGridDropDown::DoShowDropDown()
{
    TExtCustomDropDown::DoShowDropDown();
    if (!m_grid)
        return;
    if (!UseItems)
        while (m_columns.Count() < m_grid->ColCount())
            m_columns.Add();
    if (DroppedDown()) {
        SizeColumnsToWidth();
        if (!m_grid->AllRowsVisible()) {
            const int r = m_grid->row();
            if (r > m_grid->topRow() + m_grid->visibleRowCount() || r < m_grid->topRow())
                m_grid->SetTopRow(r);
        }
        // The row the popup opened on: closing without a move keeps it.
        m_selRow = m_grid->row();
        m_grid->setFocusPolicy(Qt::StrongFocus);
        m_grid->setFocus();
    }
}

void TCustomExtGridDropDown::DoHideDropDown(bool cancel)
{
    if (DroppedDown() && m_grid) {
        if (cancel) {
            SetItemIndex(m_oldItemIndex);
        } else if (m_grid->ConfirmSelection) {
            if (UseItems)
                SetItemIndex(RowToItem(m_selRow));
            else
                SetItemIndex(m_selRow - m_grid->FixedRows());
        }
        m_oldItemIndex = m_itemIndex;
        m_grid->ConfirmSelection = false;
    }
    TExtCustomDropDown::DoHideDropDown(cancel);
}

void TCustomExtGridDropDown::DropDownSizing()
{
    TExtCustomDropDown::DropDownSizing();
    SizeColumnsToWidth();
}

// --- choosing in the popup ----------------------------------------------------------------------------------

void TCustomExtGridDropDown::GridSelectCell(int row)
{
    m_selRow = row;
    if (m_filling || m_grid->MouseWheelSelection)
        return;
    if (UseItems) {
        SetItemIndex(RowToItem(row));
    } else {
        SetText(m_grid->Cells(LookupPlace(), row));
        SetItemIndex(row - m_grid->FixedRows());
    }
}

void TCustomExtGridDropDown::GridSelect()
{
    if (m_grid->ConfirmSelection) {
        if (UseItems)
            SetItemIndex(RowToItem(m_grid->row()));
        else
            SetItemIndex(m_grid->row() - m_grid->FixedRows());
    }
    m_selRow = m_grid->row();
    if (!GridEditable)
        DoHideDropDown(false);
    if (OnSelect)
        OnSelect(this);
}

void TCustomExtGridDropDown::GridKeyDown(quint16& key)
{
    if (key == VK_RETURN)
        DoHideDropDown(false);
    else if (key == VK_ESCAPE)
        DoHideDropDown(true);
}

void TCustomExtGridDropDown::RememberItem() { m_tempItemIndex = m_itemIndex; }

void TCustomExtGridDropDown::ReselectItem()
{
    const int r = ItemToRow(m_tempItemIndex);
    if (m_grid && r >= m_grid->FixedRows() && r < m_grid->RowCount())
        m_grid->SetRow(r);
}

// --- look-up -----------------------------------------------------------------------------------------------

void TCustomExtGridDropDown::ShowLookupRow(int row)
{
    if (!m_grid || row < m_grid->FixedRows() || row >= m_grid->RowCount())
        return;
    if (!m_grid->AllRowsVisible())
        m_grid->SetTopRow(row);
    m_grid->SetRow(row);
    m_grid->SetCol(0);
    m_grid->RepaintRow(row);
}

int TCustomExtGridDropDown::LookupPlace() const { return m_grid ? m_grid->PlaceOf(LookupColumn) : LookupColumn; }

void TCustomExtGridDropDown::Narrow(const QString& text)
{
    if (!m_grid)
        return;
    // Rows going and coming move the grid's current row; that is no choice of the user.
    const bool filling = m_filling;
    m_filling = true;
    m_grid->NarrowDown(text, LookupPlace());
    m_filling = filling;
}

// The grid row to show after the character (-1: none). Typed in the edit the edit has already
// taken the character; a Backspace there only shortens the entry.
int TCustomExtGridDropDown::DoLookup(QChar ch)
{
    if (LookupMethod == lmNone)
        return -1;
    const bool inEdit = hasFocus();
    if (ch == QChar(8)) {
        m_lookupEntry.chop(1);
        if (!inEdit) {
            if (InputSelLength() == 0) {
                SetText(m_lookupEntry);
            } else {
                QString t = GetText();
                t.remove(InputSelStart(), InputSelLength());
                SetText(t);
            }
            InputSetCaret(GetText().length());
        }
        // A shorter entry widens the narrowed rows again.
        if (LookupMethod == lmNarrowDown && m_grid)
            Narrow(m_lookupEntry.trimmed());
        return -1;
    }
    if (ch != QChar(9))
        m_lookupEntry += ch;
    const QString s = m_lookupEntry.trimmed();
    if (LookupMethod == lmNarrowDown) {
        if (!m_grid)
            return -1;
        if (s.isEmpty()) {
            Narrow(QString());
            return m_grid->FixedRows();
        }
        Narrow(s);
        if (m_style == dsDropDown && m_grid->RowCount() > m_grid->FixedRows()) {
            const QString first = m_grid->Cells(LookupPlace(), m_grid->FixedRows());
            // Only a row that begins with the entry completes it; the typed text stays otherwise.
            if (first.startsWith(m_lookupEntry, Qt::CaseInsensitive)) {
                SetText(first);
                InputSetSel(GetText().length(), m_lookupEntry.length());
            }
        }
        return m_grid->FixedRows();
    }
    QString text;
    int index = -1;
    if (LookupItem(s, text, index)) {
        m_itemIndex = UseItems ? index : index - (m_grid ? m_grid->FixedRows() : 0);
        SetText(text);
        if (m_style == dsDropDown)
            InputSetSel(GetText().length(), m_lookupEntry.length());
        return UseItems ? ItemToRow(index) : index;
    }
    if (m_style == dsDropDownList && LookupItem(QString(ch), text, index)) {
        m_itemIndex = UseItems ? index : index - (m_grid ? m_grid->FixedRows() : 0);
        SetText(text);
        m_lookupEntry = QString(ch);
        return UseItems ? ItemToRow(index) : index;
    }
    m_lookupEntry.clear();
    return -1;
}

void TCustomExtGridDropDown::ControlKeyPress(QChar& key)
{
    const ushort code = key.unicode();
    const bool navigation = code == 13 || code == 27 || (code >= 33 && code <= 36) || code == 38 || code == 40;
    QChar typed = key;
    if ((navigation && !(m_keyShift & ssAlt)) || GridEditable) {
        m_lookupEntry.clear();
    } else {
        const int r = DoLookup(key);
        if (r >= 0)
            ShowLookupRow(r);
        else
            m_lookupEntry.clear();
        key = QChar(); // looked up, not typed into the grid
    }
    if (m_grid)
        DoGridKeyPress(m_grid, typed);
}

void TCustomExtGridDropDown::ControlKeyDown(quint16& key, TShiftState shift)
{
    const quint16 pressed = key;
    // Return stays with the grid, which chooses its row (OnSelect).
    if ((!NavigationKey(key) && key != VK_RETURN) || (shift & ssAlt))
        TExtCustomDropDown::ControlKeyDown(key, shift);
    quint16 k = pressed;
    if (m_grid)
        DoGridKeyDown(m_grid, k, shift);
}

void TCustomExtGridDropDown::ControlKeyUp(quint16& key, TShiftState shift)
{
    const quint16 pressed = key;
    if (NavigationKey(key) && !(shift & ssAlt))
        m_lookupEntry.clear();
    else if (key != VK_RETURN || (shift & ssAlt))
        TExtCustomDropDown::ControlKeyUp(key, shift);
    quint16 k = pressed;
    if (m_grid)
        DoGridKeyUp(m_grid, k, shift);
}

// --- keys and completion in the edit ----------------------------------------------------------------------

void TCustomExtGridDropDown::Change()
{
    TExtCustomDropDown::Change();
    m_completion.Changed(*this, MatchCase, m_itemIndex);
}

void TCustomExtGridDropDown::KeyDown(quint16& key, TShiftState shift)
{
    if (m_grid && GridEditable && m_grid->EditMode() && key == VK_RETURN && !(shift & ssShift)) {
        m_grid->HideInplaceEdit();
        SetText(m_grid->Cells(LookupPlace(), m_grid->row()));
        SetItemIndex(m_grid->row() - m_grid->FixedRows());
        key = 0;
        return;
    }
    if (key == VK_ESCAPE || (key >= VK_PRIOR && key <= VK_DOWN))
        m_lookupEntry.clear();
    if (LookupColumn < 0 || m_items->Count() == 0) {
        TExtCustomDropDown::KeyDown(key, shift);
        return;
    }
    const quint16 pressed = key;
    m_completion.KeyPressed(key);
    if (key == VK_RETURN) {
        const int i = IndexOfIgnoringCase(m_completion.LookupItems, GetText());
        if (i >= 0) {
            SetText(m_completion.LookupItems.at(i));
            SetItemIndex(i);
            Change();
        }
        if (ReturnIsTab) {
            QCoreApplication::postEvent(this, new QKeyEvent(QEvent::KeyPress, Qt::Key_Tab, Qt::NoModifier));
            key = 0;
        }
    }
    TExtCustomDropDown::KeyDown(key, shift);
    if (pressed == VK_ESCAPE && UseItems)
        SetItemIndex(IndexOfIgnoringCase(m_completion.LookupItems, GetText()));
}

void TCustomExtGridDropDown::KeyPress(QChar& key)
{
    if (key == QChar(13) && ReturnIsTab) {
        key = QChar();
        return;
    }
    TExtCustomDropDown::KeyPress(key);
}

void TCustomExtGridDropDown::KeyUp(quint16& key, TShiftState shift)
{
    if (!(key == VK_RETURN && ReturnIsTab))
        TExtCustomDropDown::KeyUp(key, shift);
    if (m_grid && GridEditable && m_grid->EditMode() && key == VK_RETURN && !(shift & ssShift)) {
        if (m_grid->RealCol() == LookupPlace())
            DoHideDropDown(false);
        else
            m_grid->HideInplaceEdit();
    }
    int index = -1, selStart = 0;
    if (!m_completion.TakeRelease(index, selStart))
        return;
    SetItemIndex(index);
    InputSetSel(selStart, GetText().length());
}

void TCustomExtGridDropDown::WMChar(TWMKey& msg)
{
    const QChar ch(msg.CharCode);
    TExtCustomDropDown::WMChar(msg);
    if (ch.unicode() == 8 || ch.unicode() >= 32) {
        const int r = DoLookup(ch);
        if (DroppedDown() && r >= 0)
            ShowLookupRow(r);
    }
    if (AutoShowDropDown && ch.unicode() >= 32 && !DroppedDown())
        DoShowDropDown();
}

void TCustomExtGridDropDown::DoEnter()
{
    TExtCustomDropDown::DoEnter();
    Narrow(QString());
    m_lookupEntry.clear();
}

void TCustomExtGridDropDown::SelectFirst()
{
    if (EntryCount() > 0)
        SelectEntry(0);
}

void TCustomExtGridDropDown::SelectLast()
{
    if (EntryCount() > 0)
        SelectEntry(EntryCount() - 1);
}

void TCustomExtGridDropDown::StepBy(int (*step)(int, int))
{
    const int i = step(m_itemIndex, EntryCount());
    if (i >= 0)
        SelectEntry(i);
}

void TCustomExtGridDropDown::WMKeyDown(TWMKey& msg, TShiftState shift)
{
    const quint16 key = msg.CharCode;
    if (key == VK_RETURN && m_grid)
        m_grid->ConfirmSelection = true;
    TExtCustomDropDown::WMKeyDown(msg, shift);
    if (!isEnabled() || AltDown() || (shift & ssAlt))
        return;
    if (NavigationKey(key))
        m_lookupEntry.clear();
    switch (key) {
    case VK_DOWN:
        StepBy(StepNext);
        break;
    case VK_UP:
        StepBy(StepPrevious);
        break;
    case VK_NEXT:
        StepBy(StepPageDown);
        break;
    case VK_PRIOR:
        StepBy(StepPageUp);
        break;
    case VK_HOME:
        if (m_style == dsDropDownList && !(shift & ssShift))
            SelectFirst();
        break;
    case VK_END:
        if (m_style == dsDropDownList && !(shift & ssShift))
            SelectLast();
        break;
    default:
        break;
    }
}

void TCustomExtGridDropDown::SelectNextValue()
{
    TExtCustomDropDown::SelectNextValue();
    StepBy(StepNext);
}

void TCustomExtGridDropDown::SelectPreviousValue()
{
    TExtCustomDropDown::SelectPreviousValue();
    StepBy(StepPrevious);
}

// --- colours ---------------------------------------------------------------------------------------------

void TCustomExtGridDropDown::SetSelectionColorStyle(TSelectionColorStyle style)
{
    ApplyListSelectionStyle(*this, style);
    TExtCustomDropDown::SetSelectionColorStyle(style);
}

// The three Office 2010 styles colour only what the base colours.
void TCustomExtGridDropDown::SetComponentStyle(TVekkoStyle style)
{
    TExtCustomDropDown::SetComponentStyle(style);
    if (const std::optional<TListGridStyleColors> r = ListGridStyleColors(style, false))
        ApplyListGridStyle(*this, *r);
}

// --- forwarders ------------------------------------------------------------------------------------------

namespace {
template <typename Event, typename... Args>
void Fire(const Event& event, Args&&... args)
{
    if (event)
        event(std::forward<Args>(args)...);
}
} // namespace

void TCustomExtGridDropDown::DoGridAnchorClick(TExtStringGridInput* s, int row, int col, const QString& anchor,
                                               bool& autoHandle)
{
    Fire(OnGridAnchorClick, s, row, col, anchor, autoHandle);
}
void TCustomExtGridDropDown::DoGridAnchorEnter(TExtStringGridAux* s, int row, int col, const QString& anchor)
{
    Fire(OnGridAnchorEnter, s, row, col, anchor);
}
void TCustomExtGridDropDown::DoGridAnchorExit(TExtStringGridAux* s, int row, int col, const QString& anchor)
{
    Fire(OnGridAnchorExit, s, row, col, anchor);
}
void TCustomExtGridDropDown::DoGridAnchorHint(TExtStringGridAux* s, int row, int col, QString& anchor)
{
    Fire(OnGridAnchorHint, s, row, col, anchor);
}
void TCustomExtGridDropDown::DoGridButtonClick(TExtStringGrid* s, int col, int row) { Fire(OnGridButtonClick, s, col, row); }
void TCustomExtGridDropDown::DoGridCanSort(TExtStringGridInput* s, int col, bool& doSort)
{
    Fire(OnGridCanSort, s, col, doSort);
}
void TCustomExtGridDropDown::DoGridClickSort(TExtStringGridEdit* s, int col) { Fire(OnGridClickSort, s, col); }
void TCustomExtGridDropDown::DoGridCustomCompare(TExtStringGrid* s, const QString& str1, const QString& str2, int& res)
{
    Fire(OnGridCustomCompare, s, str1, str2, res);
}
void TCustomExtGridDropDown::DoGridRawCompare(TExtStringGrid* s, int col, int row1, int row2, int& res)
{
    Fire(OnGridRawCompare, s, col, row1, row2, res);
}
void TCustomExtGridDropDown::DoGridColumnSize(TExtStringGrid* s, int index, bool& allow)
{
    Fire(OnGridColumnSize, s, index, allow);
}
void TCustomExtGridDropDown::DoGridColumnSizing(TExtStringGridInput* s, int col, int size)
{
    Fire(OnGridColumnSizing, s, col, size);
}
void TCustomExtGridDropDown::DoGridEndColumnSize(TExtStringGrid* s, int col) { Fire(OnGridEndColumnSize, s, col); }
void TCustomExtGridDropDown::DoGridRowSize(TExtStringGrid* s, int index, bool& allow) { Fire(OnGridRowSize, s, index, allow); }
void TCustomExtGridDropDown::DoGridRowSizing(TExtStringGridInput* s, int row, int size)
{
    Fire(OnGridRowSizing, s, row, size);
}
void TCustomExtGridDropDown::DoGridEndRowSize(TExtStringGrid* s, int row) { Fire(OnGridEndRowSize, s, row); }
void TCustomExtGridDropDown::DoGridRowMove(TExtStringGridAux* s, int index, bool& allow)
{
    Fire(OnGridRowMove, s, index, allow);
}
void TCustomExtGridDropDown::DoGridRowMoving(TExtStringGridAux* s, int index, bool& allow)
{
    Fire(OnGridRowMoving, s, index, allow);
}
void TCustomExtGridDropDown::DoGridRowMoved(TStringGrid* s, int fromIndex, int toIndex)
{
    Fire(OnGridRowMoved, s, fromIndex, toIndex);
}
void TCustomExtGridDropDown::DoGridColumnMove(TExtStringGridAux* s, int index, bool& allow)
{
    Fire(OnGridColumnMove, s, index, allow);
}
void TCustomExtGridDropDown::DoGridColumnMoving(TExtStringGridAux* s, int index, bool& allow)
{
    Fire(OnGridColumnMoving, s, index, allow);
}
void TCustomExtGridDropDown::DoGridColumnMoved(TStringGrid* s, int fromIndex, int toIndex)
{
    Fire(OnGridColumnMoved, s, fromIndex, toIndex);
}
void TCustomExtGridDropDown::DoGridCustomCellDraw(TExtStringGridPaint* s, Canvas& canvas, int col, int row,
                                                  TGridDrawState state, const Rect& rect, bool printing)
{
    Fire(OnGridCustomCellDraw, s, canvas, col, row, state, rect, printing);
}
void TCustomExtGridDropDown::DoGridCustomCellBkgDraw(TExtStringGridPaint* s, Canvas& canvas, int col, int row,
                                                     TGridDrawState state, const Rect& rect, bool printing)
{
    Fire(OnGridCustomCellBkgDraw, s, canvas, col, row, state, rect, printing);
}
void TCustomExtGridDropDown::DoGridCellBalloon(TExtStringGridAux* s, int col, int row, QString& title, QString& text,
                                               int& icon)
{
    Fire(OnGridCellBalloon, s, col, row, title, text, icon);
}
void TCustomExtGridDropDown::DoGridGetAlignment(TExtStringGrid* s, int row, int col, Alignment& hAlign,
                                                TVAlignment& vAlign)
{
    const int c = m_grid ? m_grid->SourceColumn(col) : col;
    if (c >= 0 && c < m_columns.Count())
        hAlign = m_columns[c]->Alignment;
    Fire(OnGridGetAlignment, s, row, col, hAlign, vAlign);
}
void TCustomExtGridDropDown::DoGridGetCellColor(TExtStringGrid* s, int row, int col, TGridDrawState state, Brush& brush,
                                                platform::Font& font)
{
    // The column's colour fills its data cells; the header keeps the grid's look.
    const int c = m_grid ? m_grid->SourceColumn(col) : col;
    if (c >= 0 && c < m_columns.Count() && m_grid && row >= m_grid->FixedRows())
        brush.color = m_columns[c]->Color;
    Fire(OnGridGetCellColor, s, row, col, state, brush, font);
}
void TCustomExtGridDropDown::DoGridGetCellGradient(TExtStringGridPaint* s, int row, int col, Color& color,
                                                   Color& colorTo, Color& mirrorColor, Color& mirrorColorTo,
                                                   TCellGradientDirection& direction)
{
    Fire(OnGridGetCellGradient, s, row, col, color, colorTo, mirrorColor, mirrorColorTo, direction);
}
void TCustomExtGridDropDown::DoGridGetFloatFormat(TExtStringGridPaint* s, int col, int row, bool& isFloat,
                                                  QString& format)
{
    Fire(OnGridGetFloatFormat, s, col, row, isFloat, format);
}
void TCustomExtGridDropDown::DoGridGetEditorType(TExtStringGrid* s, int col, int row, TEditorType& editor)
{
    Fire(OnGridGetEditorType, s, col, row, editor);
}
void TCustomExtGridDropDown::DoGridGetEditorProp(TExtStringGridEdit* s, int col, int row)
{
    Fire(OnGridGetEditorProp, s, col, row);
}
void TCustomExtGridDropDown::DoGridCanEditCell(TExtStringGrid* s, int col, int row, bool& canEdit)
{
    Fire(OnGridCanEditCell, s, col, row, canEdit);
}
void TCustomExtGridDropDown::DoGridGetDiplText(TBaseGrid* s, int col, int row, QString& value)
{
    Fire(OnGridGetDiplText, s, col, row, value);
}
void TCustomExtGridDropDown::DoGridGetFormat(TExtStringGrid* s, int col, int& style, QString& prefix, QString& suffix)
{
    Fire(OnGridGetFormat, s, col, style, prefix, suffix);
}
void TCustomExtGridDropDown::DoGridHint(TExtStringGrid* s, int row, int col, QString& hint) { Fire(OnGridHint, s, row, col, hint); }
void TCustomExtGridDropDown::DoGridMouseMove(TStringGrid* s, TShiftState shift, int x, int y)
{
    if (!m_balloonInit && m_grid) {
        // The balloons of a grid shown in a popup start only after they are switched on again.
        m_balloonInit = true;
        if (m_grid->Balloon.Enable()) {
            m_grid->Balloon.SetEnable(false);
            m_grid->Balloon.SetEnable(true);
        }
    }
    Fire(OnGridMouseMove, s, shift, x, y);
}
void TCustomExtGridDropDown::DoGridMouseDown(TStringGrid* s, TMouseButton b, TShiftState shift, int x, int y)
{
    Fire(OnGridMouseDown, s, b, shift, x, y);
}
void TCustomExtGridDropDown::DoGridMouseUp(TStringGrid* s, TMouseButton b, TShiftState shift, int x, int y)
{
    Fire(OnGridMouseUp, s, b, shift, x, y);
}
void TCustomExtGridDropDown::DoGridKeyDown(TStringGrid* s, quint16& key, TShiftState shift)
{
    Fire(OnGridKeyDown, s, key, shift);
}
void TCustomExtGridDropDown::DoGridKeyUp(TStringGrid* s, quint16& key, TShiftState shift) { Fire(OnGridKeyUp, s, key, shift); }
void TCustomExtGridDropDown::DoGridKeyPress(TStringGrid* s, QChar& key) { Fire(OnGridKeyPress, s, key); }
void TCustomExtGridDropDown::DoGridRightClickCell(TExtStringGridInput* s, int row, int col)
{
    Fire(OnGridRightClickCell, s, row, col);
}
void TCustomExtGridDropDown::DoGridScrollHint(TExtStringGrid* s, int index, QString& hint)
{
    Fire(OnGridScrollHint, s, index, hint);
}
void TCustomExtGridDropDown::DoGridTopLeftChanged(TStringGrid* s) { Fire(OnGridTopLeftChanged, s); }
void TCustomExtGridDropDown::DoGridSpinClick(TExtStringGridEdit* s, int col, int row, int value, bool up)
{
    Fire(OnGridSpinClick, s, col, row, value, up);
}
void TCustomExtGridDropDown::DoGridAutoAddRow(TExtStringGrid* s, int row) { Fire(OnGridAutoAddRow, s, row); }
void TCustomExtGridDropDown::DoGridInsertRow(TExtStringGrid* s, int row) { Fire(OnGridInsertRow, s, row); }
void TCustomExtGridDropDown::DoGridInsertCol(TExtStringGrid* s, int col) { Fire(OnGridInsertCol, s, col); }
void TCustomExtGridDropDown::DoGridDeleteRow(TExtStringGrid* s, int row) { Fire(OnGridDeleteRow, s, row); }
void TCustomExtGridDropDown::DoGridCanAddRow(TExtStringGrid* s, bool& canAdd) { Fire(OnGridCanAddRow, s, canAdd); }
void TCustomExtGridDropDown::DoGridCanInsertRow(TExtStringGrid* s, int row, bool& canInsert)
{
    Fire(OnGridCanInsertRow, s, row, canInsert);
}
void TCustomExtGridDropDown::DoGridCanDeleteRow(TExtStringGridInput* s, int row, bool& canDelete)
{
    Fire(OnGridCanDeleteRow, s, row, canDelete);
}

} // namespace controls::grid::dropdown
