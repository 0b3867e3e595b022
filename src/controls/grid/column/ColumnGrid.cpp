#include "controls/grid/column/ColumnGrid.h"

#include "controls/grid/edit/GridEditors.h"
#include "controls/grid/util/ExtUtil.h"
#include "platform/core/Errors.h"
#include "platform/core/Format.h"

#include <QMouseEvent>

namespace controls::grid {

using platform::Alignment;
using platform::clNone;

// --- column items -----------------------------------------------------------------------------

TGridColumnItem::TGridColumnItem(TGridColumnCollection* collection) : m_collection(collection)
{
    if (TExtColumnGrid* grid = Grid()) {
        m_font = grid->GridFont();
        m_headerFont = grid->GridFont();
        PrintFont = grid->GridFont();
        m_color = grid->color();
    }
}

TGridColumnItem::~TGridColumnItem() = default;

TExtColumnGrid* TGridColumnItem::Grid() const { return m_collection ? m_collection->GetOwner() : nullptr; }

int TGridColumnItem::Index() const
{
    if (!m_collection)
        return -1;
    for (int i = 0; i < m_collection->Count(); ++i)
        if (m_collection->m_items[size_t(i)].get() == this)
            return i;
    return -1;
}

QString TGridColumnItem::GetDisplayName() const
{
    if (Name.isEmpty())
        return QStringLiteral("Column %1").arg(Index());
    return QStringLiteral("Col %1: %2").arg(Index()).arg(Name);
}

void TGridColumnItem::changed()
{
    if (m_collection)
        m_collection->Update(this);
}

void TGridColumnItem::Assign(const platform::TPersistent* source)
{
    const auto* s = dynamic_cast<const TGridColumnItem*>(source);
    if (!s)
        return;
    AutoMinSize = s->AutoMinSize;
    AutoMaxSize = s->AutoMaxSize;
    MinSize = s->MinSize;
    MaxSize = s->MaxSize;
    m_alignment = s->m_alignment;
    m_borders = s->m_borders;
    m_borderPen = s->m_borderPen;
    CheckFalse = s->CheckFalse;
    CheckTrue = s->CheckTrue;
    m_color = s->m_color;
    ColumnPopup = s->ColumnPopup;
    m_comboItems.Assign(&s->m_comboItems);
    DropDownCount = s->DropDownCount;
    EditLength = s->EditLength;
    EditMask = s->EditMask;
    m_editor = s->m_editor;
    m_filter.Assign(&s->m_filter);
    FilterCaseSensitive = s->FilterCaseSensitive;
    m_fixed = s->m_fixed;
    m_floatFormat = s->m_floatFormat;
    m_font = s->m_font;
    m_header = s->m_header;
    m_headerAlignment = s->m_headerAlignment;
    m_headerFont = s->m_headerFont;
    Name = s->Name;
    m_password = s->m_password;
    PrintBorders = s->PrintBorders;
    PrintBorderPen = s->PrintBorderPen;
    PrintColor = s->PrintColor;
    PrintFont = s->PrintFont;
    ReadOnly = s->ReadOnly;
    m_showBands = s->m_showBands;
    SortStyle = s->SortStyle;
    SortPrefix = s->SortPrefix;
    SortSuffix = s->SortSuffix;
    SpinMax = s->SpinMax;
    SpinMin = s->SpinMin;
    SpinStep = s->SpinStep;
    EditLink = s->EditLink;
    Tag = s->Tag;
    DefIdx = s->DefIdx;
    m_width = s->Width();
}

void TGridColumnItem::AssignVisuals(const TGridColumnItem* source)
{
    if (!source)
        return;
    const QString header = m_header;
    const QString name = Name;
    const int tag = Tag;
    const platform::TStringList combo = m_comboItems;
    const int dropDownCount = DropDownCount;
    const platform::Font headerFont = m_headerFont;
    Assign(source);
    m_header = header;
    Name = name;
    Tag = tag;
    m_comboItems.Assign(&combo);
    DropDownCount = dropDownCount;
    m_headerFont = headerFont;
    if (TExtColumnGrid* grid = Grid()) {
        m_color = grid->color();
        m_font = grid->GridFont();
    }
}

QString TGridColumnItem::Rows(int row) const { return Grid() ? Grid()->Cells(Index(), row) : QString(); }
void TGridColumnItem::SetRows(int row, const QString& value)
{
    if (Grid())
        Grid()->SetCells(Index(), row, value);
}
int TGridColumnItem::Ints(int row) const { return Grid() ? Grid()->Ints(Index(), row) : 0; }
void TGridColumnItem::SetInts(int row, int value)
{
    if (Grid())
        Grid()->SetInts(Index(), row, value);
}
double TGridColumnItem::Floats(int row) const { return Grid() ? Grid()->Floats(Index(), row) : 0.0; }
void TGridColumnItem::SetFloats(int row, double value)
{
    if (Grid())
        Grid()->SetFloats(Index(), row, value);
}

void TGridColumnItem::SetAlignment(platform::Alignment a)
{
    m_alignment = a;
    if (Grid())
        Grid()->invalidate();
}

void TGridColumnItem::SetBorders(TCellBorders b)
{
    m_borders = b;
    changed();
}

void TGridColumnItem::SetBorderPen(const platform::Pen& p)
{
    m_borderPen = p;
    changed();
}

void TGridColumnItem::SetColor(Color c)
{
    m_color = c;
    changed();
}

void TGridColumnItem::SetEditor(TEditorType e)
{
    const bool repaint = (e == edDataCheckBox) != (m_editor == edDataCheckBox);
    m_editor = e;
    if (repaint && Grid())
        Grid()->invalidate();
}

void TGridColumnItem::SetFilter(const platform::TStringList& f)
{
    m_filter.Assign(&f);
    if (Grid())
        Grid()->invalidate();
}

void TGridColumnItem::SetFixed(bool on)
{
    m_fixed = on;
    changed();
}

void TGridColumnItem::SetFloatFormat(const QString& f)
{
    m_floatFormat = f;
    if (Grid())
        Grid()->invalidate();
}

void TGridColumnItem::SetFont(const platform::Font& f)
{
    m_font = f;
    changed();
}

void TGridColumnItem::SetHeader(const QString& text)
{
    m_header = text;
    TExtColumnGrid* grid = Grid();
    if (!grid)
        return;
    if (grid->FixedRows() > 0 && !grid->m_colMoving) {
        const int i = Index();
        if (i >= 0 && i < grid->TotalColCount())
            grid->SetCells(i, 0, text);
        m_collection->Update(this);
    }
    QStringList lines;
    for (int i = 0; i < m_collection->Count(); ++i)
        lines << m_collection->Items(i)->m_header;
    grid->SetColumnHeaders(lines);
}

void TGridColumnItem::SetHeaderAlignment(platform::Alignment a)
{
    m_headerAlignment = a;
    if (Grid())
        Grid()->invalidate();
}

void TGridColumnItem::SetHeaderFont(const platform::Font& f)
{
    m_headerFont = f;
    if (Grid())
        Grid()->invalidate();
}

void TGridColumnItem::SetPassword(bool on)
{
    m_password = on;
    changed();
}

void TGridColumnItem::SetShowBands(bool on)
{
    m_showBands = on;
    changed();
}

int TGridColumnItem::Width() const
{
    TExtColumnGrid* grid = Grid();
    if (!m_collection)
        return m_width;
    return grid ? grid->AllColWidths(Index()) : 0;
}

void TGridColumnItem::SetWidth(int w)
{
    m_width = w;
    if (TExtColumnGrid* grid = Grid())
        grid->SetAllColWidths(Index(), w);
}

// --- the collection ----------------------------------------------------------------------------

TGridColumnCollection::TGridColumnCollection(TExtColumnGrid* grid) : m_grid(grid) {}

TGridColumnCollection::~TGridColumnCollection() = default;

TGridColumnItem* TGridColumnCollection::Items(int index) const
{
    if (index < 0 || index >= Count())
        throw platform::EListError(QStringLiteral("List index out of bounds (%1)").arg(index));
    return m_items[size_t(index)].get();
}

TGridColumnItem* TGridColumnCollection::Add()
{
    m_items.push_back(std::make_unique<TGridColumnItem>(this));
    TGridColumnItem* item = m_items.back().get();
    if (Count() > 1)
        item->AssignVisuals(m_items[size_t(Count() - 2)].get());
    Update(item);
    return item;
}

TGridColumnItem* TGridColumnCollection::Insert(int index)
{
    index = std::clamp(index, 0, Count());
    m_items.insert(m_items.begin() + index, std::make_unique<TGridColumnItem>(this));
    TGridColumnItem* item = m_items[size_t(index)].get();
    Update(item);
    return item;
}

void TGridColumnCollection::Delete(int index)
{
    Items(index);
    m_items.erase(m_items.begin() + index);
    Update(nullptr);
}

void TGridColumnCollection::Clear()
{
    m_items.clear();
    Update(nullptr);
}

void TGridColumnCollection::EndUpdate()
{
    if (m_updateCount > 0 && --m_updateCount == 0)
        Update(nullptr);
}

std::unique_ptr<TGridColumnItem> TGridColumnCollection::TakeAt(int index)
{
    std::unique_ptr<TGridColumnItem> item = std::move(m_items[size_t(index)]);
    m_items.erase(m_items.begin() + index);
    return item;
}

void TGridColumnCollection::InsertAt(int index, std::unique_ptr<TGridColumnItem> item)
{
    m_items.insert(m_items.begin() + std::clamp(index, 0, Count()), std::move(item));
}

void TGridColumnCollection::Update(TGridColumnItem*)
{
    if (m_updateCount > 0 || NoRecursiveUpdate || !m_grid || m_grid->IsLoading())
        return;
    const int n = Count() - m_grid->NumHiddenColumns();
    if (n != m_grid->ColCount() && n > m_grid->FixedCols()) {
        NoRecursiveUpdate = true;
        m_grid->m_inColumnOp = true;
        try {
            m_grid->TExtStringGridAux::SetColCount(n);
        } catch (...) {
            m_grid->m_inColumnOp = false;
            NoRecursiveUpdate = false;
            throw;
        }
        m_grid->m_inColumnOp = false;
        NoRecursiveUpdate = false;
    }
    m_grid->UpdateColumnHeaders();
    m_grid->invalidate();
}

void TGridColumnCollection::SetOrganization()
{
    if (m_grid) {
        NoRecursiveUpdate = true;
        m_grid->SynchColumns();
        NoRecursiveUpdate = false;
    }
    for (int i = 0; i < Count(); ++i)
        m_items[size_t(i)]->DefIdx = i;
}

void TGridColumnCollection::ResetOrganization()
{
    bool moved = true;
    while (moved && m_grid) {
        moved = false;
        for (int i = 0; i < Count(); ++i) {
            const int target = m_items[size_t(i)]->DefIdx;
            if (target < i && target >= 0) {
                m_grid->MoveColumn(i, target);
                moved = true;
            }
        }
    }
}

// --- the grid ----------------------------------------------------------------------------------

TExtColumnGrid::TExtColumnGrid(QWidget* parent) : TExtStringGridAux(parent)
{
    m_columns = CreateColumns();
    m_saveCol = std::make_unique<TGridColumnItem>(nullptr);
    m_columns->NoRecursiveUpdate = true;
    SynchColumns();
    m_columns->NoRecursiveUpdate = false;
    m_cellGraphic.CellType = ctVirtCheckBox;
}

TExtColumnGrid::~TExtColumnGrid()
{
    SetDestroying();
    m_columns.reset();
}

std::unique_ptr<TGridColumnCollection> TExtColumnGrid::CreateColumns()
{
    return std::make_unique<TGridColumnCollection>(this);
}

QString TExtColumnGrid::GetVersionString() const
{
    const unsigned v = unsigned(GetVersionNr());
    return QStringLiteral("%1.%2.%3.%4 Aug, 2012").arg(v >> 24).arg((v >> 16) & 0xFF).arg((v >> 8) & 0xFF).arg(v & 0xFF);
}

TGridColumnItem* TExtColumnGrid::ColumnByName(const QString& name) const
{
    for (int i = 0; i < m_columns->Count(); ++i)
        if (m_columns->Items(i)->Name == name)
            return m_columns->Items(i);
    return nullptr;
}

TGridColumnItem* TExtColumnGrid::ItemAt(int col) const
{
    return col >= 0 && col < m_columns->Count() ? m_columns->Items(col) : nullptr;
}

bool TExtColumnGrid::IsNormalCell(int col, int row) const
{
    return col < m_columns->Count() && col >= FixedCols() && col < ColCount() + NumHiddenColumns() - FixedRightCols()
           && row >= FixedRows() && row < RowCount() - FixedFooters();
}

void TExtColumnGrid::SynchColumns()
{
    const bool keep = m_columns->NoRecursiveUpdate;
    m_columns->NoRecursiveUpdate = true;
    const int target = ColCount() + NumHiddenColumns();
    while (m_columns->Count() < target)
        m_columns->Add();
    while (m_columns->Count() > target)
        m_columns->m_items.pop_back();
    m_columns->NoRecursiveUpdate = keep;
}

void TExtColumnGrid::SetColCount(int n)
{
    m_inColumnOp = true;
    try {
        TExtStringGridAux::SetColCount(n);
    } catch (...) {
        m_inColumnOp = false;
        throw;
    }
    m_inColumnOp = false;
    SynchColumns();
}

void TExtColumnGrid::sizeChanged(int oldColCount, int oldRowCount)
{
    TExtStringGridAux::sizeChanged(oldColCount, oldRowCount);
    if (!m_inColumnOp && m_columns && !Destroying())
        SynchColumns();
}

void TExtColumnGrid::Loaded()
{
    TExtStringGridAux::Loaded();
    SynchColumns();
    m_columns->SetOrganization();
}

void TExtColumnGrid::CellsLoaded()
{
    TExtStringGridAux::CellsLoaded();
    SynchColumns();
}

void TExtColumnGrid::ChangeScale(int m, int d)
{
    if (m == d || d == 0)
        return;
    for (int i = 0; i < std::min(ColCount(), m_columns->Count()); ++i) {
        TGridColumnItem* item = m_columns->Items(i);
        auto scale = [m, d](platform::Font& f) {
            if (f.font.pointSize() > 0)
                f.font.setPointSize(std::max(1, f.font.pointSize() * m / d));
        };
        scale(item->m_font);
        scale(item->m_headerFont);
    }
}

void TExtColumnGrid::InsertCols(int colIndex, int count)
{
    m_inColumnOp = true;
    try {
        TExtStringGridAux::InsertCols(colIndex, count);
    } catch (...) {
        m_inColumnOp = false;
        throw;
    }
    m_inColumnOp = false;
    const bool keep = m_columns->NoRecursiveUpdate;
    m_columns->NoRecursiveUpdate = true;
    for (int i = 0; i < count; ++i)
        m_columns->Insert(std::min(colIndex, m_columns->Count()));
    m_columns->NoRecursiveUpdate = keep;
    SynchColumns();
}

void TExtColumnGrid::RemoveCols(int colIndex, int count)
{
    const int total = TotalColCount();
    m_inColumnOp = true;
    try {
        TExtStringGridAux::RemoveCols(colIndex, count);
    } catch (...) {
        m_inColumnOp = false;
        throw;
    }
    m_inColumnOp = false;
    if (colIndex < 0 || colIndex >= total || count <= 0)
        return;
    const bool keep = m_columns->NoRecursiveUpdate;
    m_columns->NoRecursiveUpdate = true;
    for (int i = 0; i < count && colIndex < m_columns->Count(); ++i)
        m_columns->m_items.erase(m_columns->m_items.begin() + colIndex);
    m_columns->NoRecursiveUpdate = keep;
    SynchColumns();
}

void TExtColumnGrid::columnMoved(int fromIndex, int toIndex)
{
    m_columns->NoRecursiveUpdate = true;
    const int top = TopRow();
    const int from = RealColIndex(fromIndex);
    const int to = RealColIndex(toIndex);
    TExtStringGridAux::columnMoved(fromIndex, toIndex);
    if (from < m_columns->Count() && to < m_columns->Count() && from != to) {
        m_colMoving = true;
        m_columns->BeginUpdate();
        // The item goes along with its column; a copy keeps what Assign copies.
        TGridColumnItem* moved = m_columns->Add();
        moved->Assign(m_columns->Items(from));
        m_columns->m_items.erase(m_columns->m_items.begin() + from);
        TGridColumnItem* placed = m_columns->Insert(to);
        placed->Assign(moved);
        m_columns->m_items.pop_back();
        m_columns->m_updateCount = std::max(0, m_columns->m_updateCount - 1);
        m_colMoving = false;
    }
    SetTopRow(top);
    m_columns->NoRecursiveUpdate = false;
    if (OnAfterColumnMoved)
        OnAfterColumnMoved(this, from, to);
}

void TExtColumnGrid::colWidthsChanged()
{
    TExtStringGridAux::colWidthsChanged();
    if (IsLoading() || Destroying() || !m_columns)
        return;
    for (int c = 0; c < ColCount(); ++c) {
        const int r = RealColIndex(c);
        if (r < m_columns->Count())
            m_columns->Items(r)->m_width = colWidths(c);
    }
}

void TExtColumnGrid::UpdateColumnHeaders()
{
    if (FixedRows() == 0)
        return;
    QStringList lines;
    for (int i = 0; i < m_columns->Count(); ++i) {
        TGridColumnItem* item = m_columns->Items(i);
        if (item->m_header.isEmpty() && i < TotalColCount() && !Cells(i, 0).isEmpty())
            item->m_header = Cells(i, 0);
        lines << item->m_header;
    }
    SetColumnHeaders(lines);
}

void TExtColumnGrid::ColumnHeadersChanged()
{
    TExtStringGridAux::ColumnHeadersChanged();
    const platform::TStringList& headers = ColumnHeaders();
    for (int i = 0; i < m_columns->Count() && i < headers.Count(); ++i)
        m_columns->Items(i)->m_header = headers.Strings(i);
}

// --- per-cell questions ---------------------------------------------------------------------------

void TExtColumnGrid::GetCellFormat(int col, int row, TCellFormat& f)
{
    TGridColumnItem* item = ItemAt(col);
    if (!item) {
        TExtStringGridAux::GetCellFormat(col, row, f);
        return;
    }
    f.font = item->Font();
    f.brush.color = item->GetColor();
    f.colorTo = clNone;
    f.alignment = row < FixedRows() ? item->HeaderAlignment() : item->Alignment();
    f.vAlignment = VAlignment();
    f.wordWrap = WordWrap();
    f.gradient = GradientVertical;
    if (col < FixedCols() || row < FixedRows() || (Bands.Active() && item->ShowBands()))
        f.brush.color = clNone;
}

void TExtColumnGrid::GetCellColor(int col, int row, TGridDrawState state, platform::Brush& brush, platform::Font& font)
{
    TGridColumnItem* item = ItemAt(col);
    if (item && col >= FixedCols() && col < ColCount() + NumHiddenColumns() - FixedRightCols()
        && row < RowCount() - FixedFooters()) {
        if (item->Fixed())
            brush.color = fixedColor();
        else if (row >= FixedRows() && !(item->ShowBands() && Bands.Active()))
            brush.color = item->GetColor();
        font = row < FixedRows() ? item->HeaderFont() : item->Font();
        if (HasCellProperties(col, row)) {
            const TCellProperties* p = GetGridObject(col, row);
            if (p->BrushColor() != clNone)
                brush.color = p->BrushColor();
            if (p->FontColor != clNone)
                font.color = p->FontColor;
        }
    }
    TExtStringGridAux::GetCellColor(col, row, state, brush, font);
}

void TExtColumnGrid::GetCellPrintColor(int col, int row, TGridDrawState state, platform::Brush& brush,
                                       platform::Font& font)
{
    if (TGridColumnItem* item = ItemAt(col)) {
        const bool fixed = col < FixedCols() || row < FixedRows() || col >= ColCount() + NumHiddenColumns() - FixedRightCols()
                           || row >= RowCount() - FixedFooters();
        const TCellProperties* p = HasCellProperties(col, row) ? GetGridObject(col, row) : nullptr;
        if (fixed) {
            font.font = PrintSettings.FixedFont;
        } else {
            if (item->Fixed())
                brush.color = fixedColor();
            else if (!(item->ShowBands() && Bands.Active() && Bands.Print))
                brush.color = item->PrintColor;
            if (p && p->BrushColor() != clNone)
                brush.color = p->BrushColor();
            if (item->PrintFontCustom) {
                font = item->PrintFont;
                if (p)
                    p->ApplyFont(font);
            } else {
                font.font = PrintSettings.Font;
            }
        }
    }
    TExtStringGridAux::GetCellPrintColor(col, row, state, brush, font);
}

void TExtColumnGrid::GetCellPrintBorder(int col, int row, platform::Pen& pen, TCellBorders& borders)
{
    if (TGridColumnItem* item = ItemAt(col); item && item->PrintBorderCustom && col >= FixedCols() && row >= FixedRows()) {
        borders = item->PrintBorders;
        pen = item->PrintBorderPen;
    }
    TExtStringGridAux::GetCellPrintBorder(col, row, pen, borders);
}

void TExtColumnGrid::GetCellBorder(int col, int row, platform::Pen& pen, TCellBorders& borders)
{
    if (TGridColumnItem* item = ItemAt(col); item && col >= FixedCols() && row >= FixedRows()) {
        borders = item->Borders();
        pen = item->BorderPen();
    }
    TExtStringGridAux::GetCellBorder(col, row, pen, borders);
}

void TExtColumnGrid::GetCellAlignment(int col, int row, Alignment& hAlign, TVAlignment& vAlign)
{
    if (TGridColumnItem* item = ItemAt(col)) {
        hAlign = row < FixedRows() ? item->HeaderAlignment() : item->Alignment();
        if (HasCellProperties(col, row))
            hAlign = GetGridObject(col, row)->Alignment();
    }
    TExtStringGridAux::GetCellAlignment(col, row, hAlign, vAlign);
}

void TExtColumnGrid::GetColFormat(int col, int& style, QString& prefix, QString& suffix)
{
    if (TGridColumnItem* item = ItemAt(col)) {
        style = item->SortStyle;
        prefix = item->SortPrefix;
        suffix = item->SortSuffix;
    }
    TExtStringGridAux::GetColFormat(col, style, prefix, suffix);
}

void TExtColumnGrid::GetCellEditor(int col, int row, TEditorType& editor)
{
    if (TGridColumnItem* item = ItemAt(col)) {
        if (col >= FixedCols() && row >= FixedRows()) {
            editor = item->Editor();
            EditCombo()->SetItems(item->ComboItems());
            EditCombo()->SetDropDownCount(item->DropDownCount);
            ControlLook.DropDownCount = item->DropDownCount;
            // The spin range of the column (the spin edit is made when a spin column needs it).
            if (IsSpinKind(editor) || m_editSpin) {
                SpinEdit()->MinValue = item->SpinMin;
                SpinEdit()->MaxValue = item->SpinMax;
                SpinEdit()->Increment = item->SpinStep;
            }
            SetEditLink(item->EditLink);
        }
        if (!item->FloatFormat().isEmpty())
            FloatFormat = item->FloatFormat();
    }
    TExtStringGridAux::GetCellEditor(col, row, editor);
}

bool TExtColumnGrid::HasComboBox(int col, int row)
{
    bool has = false;
    if (TGridColumnItem* item = ItemAt(col); item && col >= FixedCols() && row >= FixedRows())
        has = item->Editor() == edComboEdit || item->Editor() == edComboList;
    if (OnHasComboBox)
        OnHasComboBox(this, col, row, has);
    return has;
}

bool TExtColumnGrid::HasSpinEdit(int col, int row)
{
    // A spin column shows its always-visible spin buttons by its own editor kind, as a combo
    // column shows its button; OnHasSpinEdit and then OnGetEditorType keep the last word.
    if (col < FixedCols() || row < FixedRows() || OnHasSpinEdit || !ControlLook.SpinButtonsAlwaysVisible())
        return TExtStringGridAux::HasSpinEdit(col, row);
    TEditorType editor = DefaultEditor;
    if (TGridColumnItem* item = ItemAt(col))
        editor = item->Editor();
    QueryCellEditor(col, row, editor);
    return IsSpinKind(editor);
}

void TExtColumnGrid::IsFixedCell(int col, int row, bool& isFixed) const
{
    if (col >= FixedCols() && row >= FixedRows()) {
        const int real = RealColIndex(col);
        if (real >= 0 && real < m_columns->Count() && m_columns->Items(real)->Fixed())
            isFixed = true;
    }
    TExtStringGridAux::IsFixedCell(col, row, isFixed);
}

void TExtColumnGrid::CheckCanEdit(int col, int row, bool& canEdit)
{
    canEdit = false;
    if (!IsLoading() && col < m_columns->Count() && col >= FixedCols() && row >= FixedRows()) {
        const TGridColumnItem* item = m_columns->Items(col);
        canEdit = !item->ReadOnly && !item->Fixed();
        if (canEdit && HasCellProperties(col, row) && GetGridObject(col, row)->ReadOnly)
            canEdit = false;
    }
    const QPoint b = BaseCell(col, row);
    CanEditCell(b.x(), b.y(), canEdit);
}

void TExtColumnGrid::IsPasswordCell(int col, int row, bool& isPassword)
{
    if (TGridColumnItem* item = ItemAt(col))
        isPassword = item->Password();
    TExtStringGridAux::IsPasswordCell(col, row, isPassword);
}

void TExtColumnGrid::GetCheckTrue(int col, int row, QString& value)
{
    TExtStringGridAux::GetCheckTrue(col, row, value);
    if (IsNormalCell(col, row))
        value = m_columns->Items(col)->CheckTrue;
}

void TExtColumnGrid::GetCheckFalse(int col, int row, QString& value)
{
    TExtStringGridAux::GetCheckFalse(col, row, value);
    if (IsNormalCell(col, row))
        value = m_columns->Items(col)->CheckFalse;
}

void TExtColumnGrid::GetColFloatFormat(int col, QString& fmt)
{
    if (TGridColumnItem* item = ItemAt(col); item && !item->FloatFormat().isEmpty()) {
        fmt = item->FloatFormat();
        return;
    }
    fmt = FloatFormat;
}

QString TExtColumnGrid::GetFormattedCell(int col, int row)
{
    TGridColumnItem* item = ItemAt(col);
    if (!item)
        return TExtStringGridAux::GetFormattedCell(col, row);
    const QString text = Cells(col, row);
    QString fmt = item->FloatFormat();
    const int type = DetectNumberType(text.trimmed());
    bool isFloat = type == 0 || type == 1;
    if (OnGetFloatFormat)
        OnGetFloatFormat(this, col, row, isFloat, fmt);
    if (fmt.isEmpty() || !isFloat)
        return text;
    try {
        return platform::Format(fmt, {Floats(col, row)});
    } catch (const std::exception&) {
        return text;
    }
}

bool TExtColumnGrid::PlainColumnMeasure(int col, int realCol)
{
    // A data check box column shows a box in every cell; a float format reformats each number.
    if (TGridColumnItem* item = ItemAt(realCol); item && (item->Editor() == edDataCheckBox || !item->FloatFormat().isEmpty()))
        return false;
    return TExtStringGridInput::PlainColumnMeasure(col, realCol);
}

TCellType TExtColumnGrid::GetCellType(int col, int row)
{
    const TCellType type = TExtStringGridAux::GetCellType(col, row);
    if (Destroying() || type != ctEmpty || !IsNormalCell(col, row))
        return type;
    return m_columns->Items(col)->Editor() == edDataCheckBox ? ctDataCheckBox : type;
}

TCellGraphic* TExtColumnGrid::GetCellGraphic(int col, int row)
{
    if (TCellGraphic* own = TExtStringGridAux::GetCellGraphic(col, row))
        return own;
    if (Destroying() || !IsNormalCell(col, row) || m_columns->Items(col)->Editor() != edDataCheckBox)
        return nullptr;
    m_cellGraphic.CellType = ctVirtCheckBox;
    m_cellGraphic.CellTransparent = ControlLook.ControlStyle() == csFlat;
    m_cellGraphic.CellHAlign = haCenter;
    m_cellGraphic.CellVAlign = vaCenter;
    return &m_cellGraphic;
}

void TExtColumnGrid::UpdateColSize(int col, int& width)
{
    if (TGridColumnItem* item = ItemAt(col)) {
        if (item->MinSize > 0 && width < item->MinSize)
            width = item->MinSize;
        if (item->MaxSize > 0 && width > item->MaxSize)
            width = item->MaxSize;
    }
    TExtStringGridAux::UpdateColSize(col, width);
}

void TExtColumnGrid::UpdateAutoColSize(int col, int& width)
{
    if (TGridColumnItem* item = ItemAt(col)) {
        if (item->AutoMinSize > 0 && width < item->AutoMinSize)
            width = item->AutoMinSize;
        if (item->AutoMaxSize > 0 && width > item->AutoMaxSize)
            width = item->AutoMaxSize;
    }
    TExtStringGridAux::UpdateAutoColSize(col, width);
}

int TExtColumnGrid::getEditLimit()
{
    const int c = col();
    if (c < m_columns->Count() && c >= FixedCols())
        return m_columns->Items(RealColIndex(c))->EditLength;
    return TExtStringGridAux::getEditLimit();
}

QString TExtColumnGrid::getEditMask(int col, int row)
{
    QString mask;
    if (col < m_columns->Count() && col >= FixedCols())
        mask = m_columns->Items(RealColIndex(col))->EditMask;
    const QString inherited = TExtStringGridAux::getEditMask(col, row);
    return inherited.isEmpty() ? mask : inherited;
}

bool TExtColumnGrid::GetColumnFilter(int col)
{
    TExtStringGridAux::GetColumnFilter(col);
    TGridColumnItem* item = ItemAt(col);
    if (!item || item->Filter().Count() == 0)
        return false;
    platform::TStringList& list = FilterList();
    list.Clear();
    for (int i = 0; i < item->Filter().Count(); ++i) {
        const QString entry = item->Filter().Strings(i);
        const int eq = int(entry.indexOf(u'='));
        list.Add(eq >= 0 ? entry.left(eq) : entry);
    }
    return true;
}

void TExtColumnGrid::mouseDown(platform::TMouseButton button, platform::TShiftState shift, int x, int y)
{
    TExtStringGridAux::mouseDown(button, shift, x, y);
    int c = -1, r = -1;
    mouseToCell(x, y, c, r);
    if (c < 0 || r < 0)
        return;
    const int real = RealColIndex(c);
    if (real >= m_columns->Count())
        return;
    TGridColumnItem* item = m_columns->Items(real);
    if (!item->ColumnPopup)
        return;
    const bool fixedRow = r < FixedRows();
    const TColumnPopupType t = item->ColumnPopupType;
    const bool left = button == platform::TMouseButton::mbLeft;
    const bool right = button == platform::TMouseButton::mbRight;
    bool show = false;
    if (left)
        show = (fixedRow && (t == cpFixedCellsLClick || t == cpAllCellsLClick))
               || (!fixedRow && (t == cpNormalCellsLClick || t == cpAllCellsLClick));
    else if (right)
        show = (fixedRow && (t == cpFixedCellsRClick || t == cpAllCellsRClick))
               || (!fixedRow && (t == cpNormalCellsRClick || t == cpAllCellsRClick));
    if (!show)
        return;
    QMenu* menu = item->ColumnPopup;
    if (OnColumnPopup)
        OnColumnPopup(this, real, r, menu);
    if (menu) {
        const Rect cell = cellRect(c, r);
        menu->popup(viewport()->mapToGlobal(QPoint(cell.left, cell.bottom)));
    }
}

} // namespace controls::grid
