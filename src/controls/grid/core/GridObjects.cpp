// Per-cell questions of the painter and editors (colours, borders, alignment, editor kind,
// fixed cells, check texts, filter values), and the cell objects: check boxes, radio
// controls, images, buttons, progress bars, comments, markers, shapes, ratings, scroll bars,
// balloons and interfaced objects.
#include "controls/grid/core/ExtStringGrid.h"

#include "controls/grid/base/UndoRedo.h"
#include "controls/grid/util/ExtUtil.h"
#include "platform/core/Errors.h"
#include "platform/draw/Graphics.h"
#include "platform/text/Text.h"

#include <QFontMetrics>
#include <algorithm>

namespace controls::grid {

namespace {
TCellVAlign placementOf(TVAlignment v)
{
    switch (v) {
    case vtaCenter:
        return vaCenter;
    case vtaBottom:
        return vaBottom;
    default:
        return vaTop;
    }
}
} // namespace

// --- graphics ----------------------------------------------------------------------------------------

TCellGraphic* TExtStringGrid::graphicAt(int c, int r) const
{
    if (c < 0 || r < 0)
        return nullptr;
    return dynamic_cast<TCellGraphic*>(GetGraphicObjectEx(c, r));
}

TCellGraphic* TExtStringGrid::baseGraphic(int c, int r)
{
    if (c < 0 || r < 0)
        return nullptr;
    const QPoint b = BaseCell(c, r);
    return GetCellGraphic(b.x(), b.y());
}

TCellGraphic* TExtStringGrid::GetCellGraphic(int c, int r)
{
    if (c < 0 || r < 0)
        return nullptr;
    platform::TObject* o = GetGraphicObjectEx(c, r);
    auto* g = dynamic_cast<TCellGraphic*>(o);
    if (o && !g)
        return nullptr;
    if (c == 0 && MouseActions.HotmailRowSelect()) {
        m_rowGraphic.CellType = ctRowCheckBox;
        m_rowGraphic.CellTransparent = ControlLook.ControlStyle() == csFlat;
        if (r == 0) {
            const int n = RowSelectCount();
            const int data = rowCount() - fixedRows();
            m_rowGraphic.CellAngle = n > 0 && n < data ? 1 : 0;
            m_rowGraphic.CellBoolean = data <= n;
        } else {
            m_rowGraphic.CellAngle = 0;
            m_rowGraphic.CellBoolean = RowSelect(RealRowIndex(r));
        }
        return &m_rowGraphic;
    }
    return g;
}

TCellType TExtStringGrid::GetCellType(int c, int r)
{
    if (c < 0 || r < 0)
        return ctEmpty;
    platform::TObject* o = GetGraphicObjectEx(c, r);
    if (o && !dynamic_cast<TCellGraphic*>(o))
        return ctEmpty;
    if (c == 0 && MouseActions.HotmailRowSelect())
        return ctRowCheckBox;
    return o ? static_cast<TCellGraphic*>(o)->CellType : ctEmpty;
}

TIntList* TExtStringGrid::CellImages(int c, int r)
{
    TCellGraphic* g = GetCellGraphic(c, r);
    return g && g->CellType == ctImages ? g->IntList() : nullptr;
}

TCellGraphic* TExtStringGrid::CreateCellGraphic(int c, int r)
{
    if (TCellGraphic* own = graphicAt(c, r)) {
        if (c == 0 && own->CellType == ctNode)
            nodesGone(1);
        GetGridObject(c, r)->GraphicObject = nullptr;
        delete own;
    }
    auto* g = new TCellGraphic;
    SetGraphicObjectEx(c, r, g);
    if (NumHiddenColumns() > 0 && DisplColIndex(c) != c)
        RepaintCell(DisplColIndex(c), r);
    return g;
}

bool TExtStringGrid::RemoveCellGraphic(int c, int r)
{
    TCellGraphic* g = GetCellGraphic(c, r);
    if (!g)
        return false;
    TCellGraphic* own = graphicAt(c, r);
    if (own && c == 0 && own->CellType == ctNode)
        nodesGone(1);
    if (own)
        GetGridObject(c, r)->GraphicObject = nullptr;
    // The shared graphics (row and virtual check boxes) are never a cell's to free.
    if (own && own != &m_rowGraphic && own->CellType != ctVirtCheckBox)
        delete own;
    if (!Destroying())
        RepaintCell(c, r);
    return true;
}

bool TExtStringGrid::RemoveCellGraphicOfType(int c, int r, TCellType type)
{
    if (GetCellType(c, r) != type)
        return false;
    return RemoveCellGraphic(c, r);
}

bool TExtStringGrid::HasGraphicOfType(int c, int r, std::initializer_list<TCellType> types)
{
    TCellGraphic* g = baseGraphic(c, r);
    return g && std::find(types.begin(), types.end(), g->CellType) != types.end();
}

int TExtStringGrid::GetCellGraphicKey(int c, int r)
{
    TCellGraphic* g = GetCellGraphic(c, r);
    if (!g)
        return -1;
    switch (g->CellType) {
    case ctBitmap:
        return int(reinterpret_cast<quintptr>(g->Bitmap) & 0x7FFFFFFF);
    case ctIcon:
        return int(reinterpret_cast<quintptr>(g->Icon) & 0x7FFFFFFF);
    case ctImageList:
        return g->CellIndex;
    default:
        return -1;
    }
}

// --- per-cell questions -------------------------------------------------------------------------------

void TExtStringGrid::AddCheckBox(int c, int r, TCheckBoxState state)
{
    if (c < 0 || r < 0 || c >= TotalColCount() || r >= TotalRowCount())
        throw platform::Exception(QStringLiteral("Invalid cell"));
    TCellGraphic* g = CreateCellGraphic(c, r);
    g->SetCheckBox(state, true, haBeforeText, placementOf(m_vAlignment));
}

void TExtStringGrid::AddTriStateCheckBoxColumn(int c, TCheckBoxState state)
{
    for (int r = MouseActions.CheckAllCheck ? 0 : fixedRows(); r < rowCount(); ++r)
        AddCheckBox(c, r, state);
}

bool TExtStringGrid::GetCheckBoxState(int c, int r, TCheckBoxState& state)
{
    auto byType = [&](TCellGraphic* g, const QString& text) {
        QString checkTrue;
        GetCheckTrue(c, r, checkTrue);
        switch (g->CellType) {
        case ctCheckBox:
            state = BoolToCheckBoxState(g->CellBoolean);
            return true;
        case ctDataCheckBox:
        case ctVirtCheckBox:
            state = BoolToCheckBoxState(text == checkTrue);
            return true;
        case ctTriStateCheckBox:
            state = g->CellCheckBoxState;
            return true;
        case ctRowCheckBox:
            if (c != 0)
                return false;
            state = BoolToCheckBoxState(RowSelect(r));
            return true;
        default:
            return false;
        }
    };
    if (NumHiddenRows() == 0) {
        TCellGraphic* g = GetCellGraphic(c, r);
        return g && byType(g, Cells(c, r));
    }
    if (TCellProperties* p = GetRealCellObject(c, r)) {
        auto* g = dynamic_cast<TCellGraphic*>(p->GraphicObject);
        return g && byType(g, AllCells(c, r));
    }
    TCellGraphic* g = GetCellGraphic(c, r);
    if (!g || g->CellType == ctCheckBox)
        return false;
    if (g->CellType == ctRowCheckBox && c == 0) {
        state = BoolToCheckBoxState(g->CellBoolean);
        return true;
    }
    return byType(g, Cells(c, r));
}

platform::Font TExtStringGrid::GetCellFont(int c, int r)
{
    const TCellProperties* p = HasCellProperties(c, r) ? GetGridObject(c, r) : nullptr;
    if (!p)
        return GridFont();
    m_cellFont.font = font();
    if (!p->FontName.isEmpty())
        m_cellFont.font.setFamily(p->FontName);
    if (p->FontSize > 0)
        m_cellFont.font.setPointSize(p->FontSize);
    ApplyFontStyles(m_cellFont.font, p->FontStyle);
    m_cellFont.color = p->FontColor == platform::clNone ? FontColor() : p->FontColor;
    return m_cellFont;
}

QString TExtStringGrid::GetEditMask(int c, int r)
{
    QString mask = EditMask;
    if (OnGetEditMask)
        OnGetEditMask(this, c, r, mask);
    return mask;
}

void TExtStringGrid::CanEditCell(int c, int r, bool& canEdit)
{
    if (OnCanEditCell)
        OnCanEditCell(this, r, c, canEdit);
}

void TExtStringGrid::ButtonClick(int c, int r)
{
    if (OnButtonClick)
        OnButtonClick(this, c, r);
}

void TExtStringGrid::GetCellHint(int c, int r, QString& hint)
{
    if (OnGridHint)
        OnGridHint(this, r, c, hint);
    if (OnGridWideHint) {
        QString wide;
        OnGridWideHint(this, r, c, wide);
        if (!wide.isEmpty())
            hint = EncodeWideCellText(wide);
    }
}

void TExtStringGrid::GetCellColor(int c, int r, TGridDrawState state, platform::Brush& brush, platform::Font& f)
{
    if (m_activeCellShow) {
        const int displ = DisplColIndex(c);
        if ((fixedCols() > 0 && displ == fixedCols() - 1 && r == row()) ||
            (fixedRows() > 0 && r == fixedRows() - 1 && displ == col())) {
            f.font = m_activeCellFont;
            f.color = m_activeCellFontColor;
            brush.color = m_activeCellColor;
        }
    }
    if (const TCellProperties* p = HasCellProperties(c, r) ? GetGridObject(c, r) : nullptr) {
        const TCellType t = GetCellType(c, r);
        if ((t == ctIcon || t == ctNone || t == ctImageList || t == ctEmpty || t == ctImages || t == ctComment) &&
            p->BrushColor() != platform::clNone)
            brush.color = p->BrushColor();
        if (p->FontColor != platform::clNone)
            f.color = p->FontColor;
        if (p->FontStyle != 0)
            ApplyFontStyles(f.font, p->FontStyle);
        if (p->FontSize != 0)
            f.font.setPointSize(p->FontSize);
        if (!p->FontName.isEmpty())
            f.font.setFamily(p->FontName);
    }
    if (OnGetCellColor)
        OnGetCellColor(this, r, c, state, brush, f);
}

void TExtStringGrid::GetCellPrintColor(int c, int r, TGridDrawState state, platform::Brush& brush, platform::Font& f)
{
    if (OnGetCellPrintColor)
        OnGetCellPrintColor(this, r, c, state, brush, f);
}

void TExtStringGrid::GetCellPrintBorder(int c, int r, platform::Pen& pen, TCellBorders& borders)
{
    if (OnGetCellPrintBorder)
        OnGetCellPrintBorder(this, r, c, pen, borders);
}

void TExtStringGrid::GetCellBorder(int c, int r, platform::Pen& pen, TCellBorders& borders)
{
    if (c > 0) {
        const TCellType t = GetCellType(0, r);
        if (Grouping.HeaderUnderline && t == ctNode) {
            borders = cbBottom;
            pen.color = Grouping.HeaderLineColor;
            pen.width = Grouping.HeaderLineWidth;
        } else if (Grouping.SummaryLine && t == ctSummary) {
            borders = cbTop;
            pen.color = Grouping.SummaryLineColor;
            pen.width = Grouping.SummaryLineWidth;
        }
    }
    if (OnGetCellBorder)
        OnGetCellBorder(this, r, c, pen, borders);
}

void TExtStringGrid::GetCellAlignment(int c, int r, platform::Alignment& hAlign, TVAlignment& vAlign)
{
    if (c == 0 && MouseActions.HotmailRowSelect())
        hAlign = platform::Alignment::taCenter;
    if (OnGetAlignment)
        OnGetAlignment(this, r, c, hAlign, vAlign);
}

void TExtStringGrid::GetColFormat(int c, int& style, QString& prefix, QString& suffix)
{
    if (OnGetFormat)
        OnGetFormat(this, c, style, prefix, suffix);
}

void TExtStringGrid::QueryCellEditor(int c, int r, TEditorType& editor)
{
    if (OnGetEditorType)
        OnGetEditorType(this, c, r, editor);
}

void TExtStringGrid::GetCellEditor(int c, int r, TEditorType& editor)
{
    if (OnGetEditorType)
        OnGetEditorType(this, c, r, editor);
}

bool TExtStringGrid::IsEditorNone(int c, int r)
{
    if (!OnGetEditorType)
        return false;
    TEditorType e = edNormal;
    OnGetEditorType(this, c, r, e);
    return e == edNone;
}

void TExtStringGrid::IsFixedCell(int c, int r, bool& isFixed) const
{
    if (isFixed)
        return;
    isFixed = c < fixedCols() || r < fixedRows() ||
              (m_fixedRowAlways && r <= m_fixedRowsMin && rowCount() == m_fixedRowsMin) ||
              (m_fixedColAlways && colCount() == m_fixedColsMin && c < m_fixedColsMin);
    if (!isFixed && OnIsFixedCell)
        OnIsFixedCell(const_cast<TExtStringGrid*>(this), r, c, isFixed);
}

bool TExtStringGrid::IsFixed(int c, int r) const
{
    bool f = (m_fixedRightCols > 0 && c >= colCount() - m_fixedRightCols) ||
             (m_fixedFooters > 0 && r >= rowCount() - m_fixedFooters);
    IsFixedCell(c, r, f);
    return f;
}

void TExtStringGrid::CheckCanEdit(int c, int r, bool& canEdit)
{
    const QPoint b = BaseCell(c, r);
    if (HasCellProperties(b.x(), b.y()) && canEdit)
        canEdit = !GetGridObject(b.x(), b.y())->ReadOnly;
    if (!options().testFlag(platform::goEditing) && !MouseActions.RangeSelectAndEdit)
        canEdit = false;
    if (b.x() < TotalColCount())
        CanEditCell(b.x(), b.y(), canEdit);
    else
        canEdit = true;
}

void TExtStringGrid::IsPasswordCell(int c, int r, bool& isPassword)
{
    if (OnIsPasswordCell)
        OnIsPasswordCell(this, r, c, isPassword);
}

void TExtStringGrid::GetCellWordWrap(int c, int r, bool& wordWrap)
{
    if (OnGetWordWrap)
        OnGetWordWrap(this, c, r, wordWrap);
}

bool TExtStringGrid::HasComboBox(int c, int r)
{
    if (OnHasComboBox) {
        bool has = false;
        OnHasComboBox(this, c, r, has);
        return has;
    }
    if (ControlLook.DropDownAlwaysVisible()) {
        TEditorType e = DefaultEditor;
        GetCellEditor(c, r, e);
        return e == edComboEdit || e == edComboList;
    }
    return false;
}

bool TExtStringGrid::HasSpinEdit(int c, int r)
{
    if (c < fixedCols() || r < fixedRows())
        return false;
    if (OnHasSpinEdit) {
        bool has = false;
        OnHasSpinEdit(this, c, r, has);
        return has;
    }
    if (ControlLook.SpinButtonsAlwaysVisible()) {
        TEditorType e = DefaultEditor;
        QueryCellEditor(c, r, e);
        return e == edSpinEdit || e == edFloatSpinEdit || e == edTimeSpinEdit || e == edDateSpinEdit;
    }
    return false;
}

void TExtStringGrid::GetCheckTrue(int c, int r, QString& value)
{
    value = CheckTrue;
    if (OnGetCheckTrue)
        OnGetCheckTrue(this, c, r, value);
}

void TExtStringGrid::GetCheckFalse(int c, int r, QString& value)
{
    value = CheckFalse;
    if (OnGetCheckFalse)
        OnGetCheckFalse(this, c, r, value);
}

bool TExtStringGrid::GetColumnFilter(int c)
{
    m_filterList.Clear();
    if (FilterDropDownAuto && (c >= fixedCols() || FilterDropDownColumns == fdAll)) {
        m_filterList.SetSorted(true);
        m_filterList.SetDuplicates(platform::dupIgnore);
        auto entry = [](const QString& t) {
            return t.contains(u' ') ? t + QStringLiteral("=\"") + t + QLatin1Char('"') : t;
        };
        for (int r = fixedRows(); r < rowCount() - m_fixedFooters; ++r)
            m_filterList.Add(entry(platform::trim(Cells(c, r))));
        if (!FilterIncremental)
            for (int h = 0; h < NumHiddenRows(); ++h)
                m_filterList.Add(entry(HiddenRowItem(h).Text(c)));
        m_filterList.SetSorted(false);
        if (!FilterDropDownClear.isEmpty())
            m_filterList.Insert(0, FilterDropDownClear);
    }
    if (OnGetColumnFilter)
        OnGetColumnFilter(this, c, m_filterList);
    return m_filterList.Count() > 0;
}

void TExtStringGrid::GetCellFormat(int c, int r, TCellFormat& format)
{
    TBaseGrid::GetCellFormat(c, r, format);
    TGridDrawState state;
    GetVisualProperties(c, r, state, false, false, false, format);
    if (IsFixed(c, r) || Bands.Active() || BackGround.Display() == bdGradientHorz ||
        BackGround.Display() == bdGradientVert || state.testFlag(platform::gdSelected)) {
        format.brush.color = platform::clNone;
        format.colorTo = platform::clNone;
    }
}

// --- check boxes ------------------------------------------------------------------------------------------

void TExtStringGrid::AddCheckBox(int c, int r, bool state, bool data)
{
    if (c < 0 || r < 0 || c >= TotalColCount() || r >= TotalRowCount())
        throw platform::Exception(QStringLiteral("Invalid cell"));
    TCellGraphic* g = CreateCellGraphic(c, r);
    g->SetCheckBox(state, data, true, haBeforeText, placementOf(m_vAlignment));
    if (data) {
        const QString t = Cells(c, r);
        if (t != CheckTrue && t != CheckFalse)
            SetCells(c, r, state ? CheckTrue : CheckFalse);
    }
}

void TExtStringGrid::AddCheckBoxColumn(int c, bool defaultState, bool dataCheckBox)
{
    for (int r = MouseActions.CheckAllCheck ? 0 : fixedRows(); r < rowCount(); ++r) {
        const TCellType t = GetCellType(0, r);
        if (t == ctSummary)
            continue;
        if (t == ctNode)
            AddCheckBox(c, r, cbUnchecked);
        else
            AddCheckBox(c, r, defaultState, dataCheckBox);
    }
}

void TExtStringGrid::RemoveCheckBox(int c, int r)
{
    TCellGraphic* g = GetCellGraphic(c, r);
    if (!g || (g->CellType != ctCheckBox && g->CellType != ctDataCheckBox && g->CellType != ctTriStateCheckBox))
        return;
    g->FreeBalloon();
    RemoveCellGraphic(c, r);
    RepaintCell(c, r);
}

void TExtStringGrid::RemoveCheckBoxColumn(int c)
{
    for (int r = MouseActions.CheckAllCheck ? 0 : fixedRows(); r < rowCount(); ++r)
        if (HasCheckBox(c, r))
            RemoveCheckBox(c, r);
}

bool TExtStringGrid::HasCheckBox(int c, int r)
{
    return HasGraphicOfType(c, r, {ctCheckBox, ctDataCheckBox, ctVirtCheckBox, ctRowCheckBox, ctTriStateCheckBox});
}

bool TExtStringGrid::HasDataCheckBox(int c, int r)
{
    return HasGraphicOfType(c, r, {ctDataCheckBox, ctVirtCheckBox, ctRowCheckBox});
}

bool TExtStringGrid::IsDataGraphicCell(int c, int r)
{
    if (c < 0 || r < 0)
        return false;
    const QPoint b = BaseCell(c, r);
    const TCellType t = GetCellType(b.x(), b.y());
    return t == ctDataCheckBox || t == ctDataImage || t == ctVirtCheckBox || t == ctRowCheckBox;
}

bool TExtStringGrid::HasControlGraphic(int c, int r)
{
    if (c < 0 || r < 0)
        return false;
    const QPoint b = BaseCell(c, r);
    const TCellType t = GetCellType(b.x(), b.y());
    return t == ctCheckBox || t == ctDataCheckBox || t == ctRadio || t == ctButton || t == ctVirtCheckBox ||
           t == ctRowCheckBox || t == ctRadioButton || t == ctTriStateCheckBox;
}

bool TExtStringGrid::IsInCheckBox(int c, int r, int x, int y)
{
    TCellGraphic* g = GetCellGraphic(c, r);
    const TCellType t = g ? g->CellType : GetCellType(c, r);
    if (t != ctCheckBox && t != ctDataCheckBox && t != ctVirtCheckBox && t != ctRowCheckBox && t != ctRadioButton &&
        t != ctTriStateCheckBox)
        return false;
    if (!MouseActions.PreciseCheckBoxCheck)
        return true;
    const Rect rect = CellRect(DisplColIndex(c), r);
    const int k = ControlLook.CheckSize();
    const TCellVAlign va = g ? g->CellVAlign : vaTop;
    const int top = va == vaBottom ? rect.bottom - k - 2 : va == vaCenter ? rect.top + (rect.height() - k) / 2 : rect.top + 2;
    platform::Alignment ha = platform::Alignment::taLeftJustify;
    if (const TCellProperties* p = HasCellProperties(c, r) ? GetGridObject(c, r) : nullptr)
        ha = p->Alignment();
    TVAlignment unusedV = vtaTop;
    GetCellAlignment(c, r, ha, unusedV);
    int left = rect.left + 2;
    if (ha == platform::Alignment::taRightJustify) {
        left = rect.right - k - 2;
        const QString text = Cells(c, r);
        if (!text.isEmpty())
            left -= QFontMetrics(font()).horizontalAdvance(text);
    } else if (ha == platform::Alignment::taCenter) {
        left = rect.left + (rect.width() - k) / 2;
    }
    return x >= left && x < left + k && y >= top && y < top + k;
}

TCellGraphic* TExtStringGrid::realRowGraphic(int c, int realRow)
{
    if (NumHiddenRows() > 0) {
        if (TCellProperties* p = GetRealCellObject(c, realRow))
            return dynamic_cast<TCellGraphic*>(p->GraphicObject);
    }
    return GetCellGraphic(c, DisplRowIndex(realRow));
}

bool TExtStringGrid::GetCheckBoxState(int c, int r, bool& state)
{
    if (NumHiddenRows() == 0) {
        TCellGraphic* g = GetCellGraphic(c, r);
        if (!g)
            return false;
        QString checkTrue;
        switch (g->CellType) {
        case ctCheckBox:
            state = g->CellBoolean;
            return true;
        case ctDataCheckBox:
        case ctVirtCheckBox:
            GetCheckTrue(c, r, checkTrue);
            state = Cells(c, r) == checkTrue;
            return true;
        case ctRowCheckBox:
            if (c != 0)
                return false;
            state = RowSelect(r);
            return true;
        default:
            return false;
        }
    }
    TCellGraphic* g = nullptr;
    QString text;
    bool withObject = false;
    if (TCellProperties* p = GetRealCellObject(c, r)) {
        g = dynamic_cast<TCellGraphic*>(p->GraphicObject);
        text = AllCells(c, r);
        withObject = true;
    } else {
        g = GetCellGraphic(c, r);
        text = Cells(c, r);
    }
    if (!g)
        return false;
    QString checkTrue;
    GetCheckTrue(c, r, checkTrue);
    switch (g->CellType) {
    case ctCheckBox:
        if (!withObject)
            return false;
        state = g->CellBoolean;
        return true;
    case ctDataCheckBox:
    case ctVirtCheckBox:
        state = text == checkTrue;
        return true;
    case ctTriStateCheckBox:
        if (!withObject)
            return false;
        state = text == checkTrue;
        return true;
    case ctRowCheckBox:
        if (c != 0)
            return false;
        state = RowSelect(r);
        return true;
    default:
        return false;
    }
}

bool TExtStringGrid::IsChecked(int c, int r)
{
    bool state = false;
    return GetCheckBoxState(c, r, state) && state;
}

bool TExtStringGrid::SetCheckBoxState(int c, int r, bool state)
{
    TCellGraphic* g = realRowGraphic(c, r);
    if (!g)
        return false;
    switch (g->CellType) {
    case ctCheckBox:
        g->CellBoolean = state;
        RepaintCell(c, DisplRowIndex(r));
        return true;
    case ctDataCheckBox:
    case ctVirtCheckBox: {
        QString v;
        if (state)
            GetCheckTrue(c, r, v);
        else
            GetCheckFalse(c, r, v);
        SetAllCells(c, r, v);
        return true;
    }
    case ctRowCheckBox:
        if (c != 0)
            return false;
        SetRowSelect(r, state);
        return true;
    default:
        return false;
    }
}

bool TExtStringGrid::SetCheckBoxState(int c, int r, TCheckBoxState state)
{
    TCellGraphic* g = realRowGraphic(c, r);
    if (!g || g->CellType != ctTriStateCheckBox)
        return false;
    g->CellCheckBoxState = state;
    RepaintCell(c, DisplRowIndex(r));
    return true;
}

bool TExtStringGrid::SetCellCheckState(int c, int r, bool value)
{
    TCellGraphic* g = realRowGraphic(c, RealRowIndex(r));
    if (!g)
        return false;
    switch (g->CellType) {
    case ctCheckBox:
        if (value != g->CellBoolean) {
            g->CellBoolean = value;
            CheckBoxChange(c, r, value);
            RepaintCell(c, r);
        }
        return true;
    case ctDataCheckBox:
    case ctVirtCheckBox: {
        QString t, f;
        GetCheckTrue(c, r, t);
        GetCheckFalse(c, r, f);
        const bool was = Cells(c, r) == t;
        SetCells(c, r, value ? t : f);
        if (value != was)
            CheckBoxChange(c, r, value);
        return true;
    }
    case ctRowCheckBox:
        if (c != 0)
            return false;
        if (value != RowSelect(r)) {
            SetRowSelect(r, value);
            CheckBoxChange(c, r, value);
        }
        return true;
    default:
        return false;
    }
}

bool TExtStringGrid::ToggleCellCheck(int c, int r, bool byUser)
{
    TCellGraphic* g = GetCellGraphic(c, r);
    if (!g)
        return false;
    const TCellType t = g->CellType;
    if (t != ctCheckBox && t != ctDataCheckBox && t != ctVirtCheckBox && t != ctRowCheckBox && t != ctTriStateCheckBox)
        return false;
    if (byUser && !ControlLook.CheckAlwaysActive) {
        bool allow = true;
        CheckCanEdit(c, r, allow);
        if (!allow)
            return false;
    }
    bool newState = false;
    QString oldText, newText;
    const bool dataKind = t == ctDataCheckBox || t == ctVirtCheckBox;
    switch (t) {
    case ctCheckBox:
        g->CellBoolean = !g->CellBoolean;
        newState = g->CellBoolean;
        break;
    case ctTriStateCheckBox:
        g->CellCheckBoxState = g->CellCheckBoxState == cbUnchecked ? cbGrayed
                               : g->CellCheckBoxState == cbGrayed ? cbChecked
                                                                  : cbUnchecked;
        newState = false;
        break;
    case ctRowCheckBox:
        if (c == 0) {
            newState = !RowSelect(RealRowIndex(r));
            SetRowSelect(RealRowIndex(r), newState);
        }
        break;
    default: {
        QString checkTrue, checkFalse;
        GetCheckTrue(c, r, checkTrue);
        GetCheckFalse(c, r, checkFalse);
        oldText = Cells(c, r);
        newState = oldText != checkTrue;
        newText = newState ? checkTrue : checkFalse;
        SetCells(c, r, newText);
        break;
    }
    }
    RepaintCell(DisplColIndex(c), r);
    CheckBoxChange(c, r, newState);
    // Only a data check box changes a cell's text, so only its change can be undone.
    if (dataKind && UndoRedo())
        UndoRedo()->RegisterChange(c, r, oldText, newText);
    return true;
}

void TExtStringGrid::CheckAll(int c)
{
    for (int r = fixedRows(); r < rowCount(); ++r)
        SetCellCheckState(c, r, true);
    if (NumHiddenColumns() > 0)
        RepaintCol(DisplColIndex(c));
}

void TExtStringGrid::UnCheckAll(int c)
{
    for (int r = fixedRows(); r < rowCount(); ++r)
        SetCellCheckState(c, r, false);
    if (NumHiddenColumns() > 0)
        RepaintCol(DisplColIndex(c));
}

void TExtStringGrid::CheckBoxChange(int c, int r, bool state)
{
    if (OnCheckBoxChange)
        OnCheckBoxChange(this, c, r, state);
}

// --- radio buttons and groups -------------------------------------------------------------------------------

void TExtStringGrid::AddRadioButton(int c, int r, bool state)
{
    if (c < 0 || r < 0 || c >= TotalColCount() || r >= TotalRowCount())
        throw platform::Exception(QStringLiteral("Invalid cell"));
    CreateCellGraphic(c, r)->SetRadioButton(state, true, haBeforeText, placementOf(m_vAlignment));
}

void TExtStringGrid::RemoveRadioButton(int c, int r)
{
    if (RemoveCellGraphicOfType(c, r, ctRadioButton))
        RepaintCell(c, r);
}

bool TExtStringGrid::HasRadioButton(int c, int r)
{
    if (c < 0 || r < 0)
        return false;
    const QPoint b = BaseCell(c, r);
    return GetCellType(b.x(), b.y()) == ctRadioButton;
}

bool TExtStringGrid::IsRadioButtonChecked(int c, int r)
{
    TCellGraphic* g = baseGraphic(c, r);
    return g && g->CellType == ctRadioButton && g->CellBoolean;
}

bool TExtStringGrid::SetRadioButtonState(int c, int r, bool state)
{
    TCellGraphic* g = baseGraphic(c, r);
    if (!g || g->CellType != ctRadioButton)
        return false;
    if (g->CellBoolean != state) {
        g->CellBoolean = state;
        RepaintCell(DisplColIndex(c), r);
    }
    return true;
}

void TExtStringGrid::AddRadioButtonColumn(int c)
{
    for (int r = fixedRows(); r < rowCount(); ++r)
        AddRadioButton(c, r, false);
}

void TExtStringGrid::RemoveRadioButtonColumn(int c)
{
    for (int r = fixedRows(); r < rowCount(); ++r)
        RemoveRadioButton(c, r);
}

void TExtStringGrid::SetRadioButtonColumnIndex(int c, int index)
{
    for (int r = fixedRows(); r < rowCount(); ++r)
        SetRadioButtonState(c, r, r == index);
}

int TExtStringGrid::GetRadioButtonColumnIndex(int c)
{
    for (int r = fixedRows(); r < rowCount(); ++r)
        if (IsRadioButtonChecked(c, r))
            return r;
    return -1;
}

bool TExtStringGrid::CheckRadioButton(int c, int r, bool byUser)
{
    TCellGraphic* g = GetCellGraphic(c, r);
    if (!g || g->CellType != ctRadioButton)
        return false;
    if (byUser && !ControlLook.CheckAlwaysActive) {
        bool allow = true;
        CheckCanEdit(c, r, allow);
        if (!allow)
            return false;
    }
    if (!g->CellBoolean) {
        g->CellBoolean = true;
        RepaintCell(c, r);
        for (int i = 0; i < rowCount(); ++i) {
            if (i == r)
                continue;
            TCellGraphic* other = GetCellGraphic(c, i);
            if (other && other->CellType == ctRadioButton && other->CellBoolean) {
                other->CellBoolean = false;
                RepaintCell(c, i);
            }
        }
    }
    return true;
}

void TExtStringGrid::AddRadio(int c, int r, int dirRadio, int idxRadio, platform::TStringList* items)
{
    TCellGraphic* g = CreateCellGraphic(c, r);
    g->CellType = ctRadio;
    g->Object = items;
    g->CellAngle = items ? items->Count() : 0;
    g->CellBoolean = dirRadio != 0;
    g->CellIndex = idxRadio;
}

platform::TStringList* TExtStringGrid::CreateRadio(int c, int r, int dirRadio, int idxRadio)
{
    auto* items = new platform::TStringList;
    AddRadio(c, r, dirRadio, idxRadio, items);
    TCellGraphic* g = GetCellGraphic(c, r);
    g->CellAngle = 0;
    g->CellCreated = true;
    return items;
}

bool TExtStringGrid::IsRadio(int c, int r) { return HasGraphicOfType(c, r, {ctRadio}); }

bool TExtStringGrid::GetRadioIdx(int c, int r, int& idxRadio)
{
    TCellGraphic* g = GetCellGraphic(c, r);
    if (g)
        idxRadio = g->CellIndex;
    return g && g->CellType == ctRadio;
}

bool TExtStringGrid::SetRadioIdx(int c, int r, int idxRadio)
{
    TCellGraphic* g = GetCellGraphic(c, r);
    if (g) {
        g->CellIndex = idxRadio;
        if (idxRadio == -1)
            SetCells(c, r, QString());
        RepaintCell(c, r);
    }
    return g && g->CellType == ctRadio;
}

platform::TStringList* TExtStringGrid::GetRadioStrings(int c, int r)
{
    TCellGraphic* g = baseGraphic(c, r);
    return g && g->CellType == ctRadio ? g->Strings() : nullptr;
}

void TExtStringGrid::SelectNextRadio(int c, int r, bool byUser)
{
    TCellGraphic* g = GetCellGraphic(c, r);
    if (!g || g->CellType != ctRadio)
        return;
    if (byUser && !ControlLook.RadioAlwaysActive) {
        bool allow = true;
        CheckCanEdit(c, r, allow);
        if (!allow)
            return;
    }
    platform::TStringList* items = g->Strings();
    const int count = items ? items->Count() : 0;
    int next = g->CellIndex >= 0 ? g->CellIndex + 1 : (items ? items->IndexOf(Cells(c, r)) : -1) + 1;
    if (next >= count)
        next = 0;
    if (g->CellIndex >= -1)
        g->CellIndex = next;
    g->CellVar = next;
    SetCells(c, r, items && next < count ? items->Strings(next) : QString());
}

// --- images ----------------------------------------------------------------------------------------------------

void TExtStringGrid::AddBitmap(int c, int r, platform::Bitmap* bmp, bool transparent, TCellHAlign hal, TCellVAlign val)
{
    CreateCellGraphic(c, r)->SetBitmap(bmp, transparent, hal, val);
}

platform::Bitmap* TExtStringGrid::CreateBitmap(int c, int r, bool transparent, TCellHAlign hal, TCellVAlign val)
{
    auto* bmp = new platform::Bitmap;
    TCellGraphic* g = CreateCellGraphic(c, r);
    g->SetBitmap(bmp, transparent, hal, val);
    g->CellCreated = true;
    return bmp;
}

platform::Bitmap* TExtStringGrid::GetBitmap(int c, int r)
{
    TCellGraphic* g = GetCellGraphic(c, r);
    return g && g->CellType == ctBitmap ? g->Bitmap : nullptr;
}

void TExtStringGrid::AddPicture(int c, int r, platform::Picture* picture, bool transparent, TStretchMode stretchMode,
                                int padding, TCellHAlign hal, TCellVAlign val)
{
    CreateCellGraphic(c, r)->SetPicture(picture, transparent, stretchMode, padding, hal, val);
}

platform::Picture* TExtStringGrid::CreatePicture(int c, int r, bool transparent, TStretchMode stretchMode, int padding,
                                                 TCellHAlign hal, TCellVAlign val)
{
    auto* picture = new platform::Picture;
    TCellGraphic* g = CreateCellGraphic(c, r);
    g->SetPicture(picture, transparent, stretchMode, padding, hal, val);
    g->CellCreated = true;
    return picture;
}

platform::Picture* TExtStringGrid::GetPicture(int c, int r)
{
    TCellGraphic* g = GetCellGraphic(c, r);
    return g && g->CellType == ctPicture ? g->Picture : nullptr;
}

void TExtStringGrid::AddFilePicture(int c, int r, TFilePicture* picture, bool transparent, TStretchMode stretchMode,
                                    int padding, TCellHAlign hal, TCellVAlign val)
{
    CreateCellGraphic(c, r)->SetFilePicture(picture, transparent, stretchMode, padding, hal, val);
}

TFilePicture* TExtStringGrid::CreateFilePicture(int c, int r, bool transparent, TStretchMode stretchMode, int padding,
                                                TCellHAlign hal, TCellVAlign val)
{
    auto* picture = new TFilePicture;
    TCellGraphic* g = CreateCellGraphic(c, r);
    g->SetFilePicture(picture, transparent, stretchMode, padding, hal, val);
    g->CellCreated = true;
    return picture;
}

TFilePicture* TExtStringGrid::GetFilePicture(int c, int r)
{
    TCellGraphic* g = GetCellGraphic(c, r);
    return g && g->CellType == ctFilePicture ? g->FilePicture : nullptr;
}

void TExtStringGrid::AddIcon(int c, int r, platform::Icon* icon, TCellHAlign hal, TCellVAlign val)
{
    CreateCellGraphic(c, r)->SetIcon(icon, hal, val);
}

platform::Icon* TExtStringGrid::CreateIcon(int c, int r, TCellHAlign hal, TCellVAlign val)
{
    auto* icon = new platform::Icon;
    TCellGraphic* g = CreateCellGraphic(c, r);
    g->SetIcon(icon, hal, val);
    g->CellCreated = true;
    return icon;
}

void TExtStringGrid::AddImageIdx(int c, int r, int idx, TCellHAlign hal, TCellVAlign val)
{
    if (!m_gridImages)
        return;
    CreateCellGraphic(c, r)->SetImageIdx(idx, hal, val);
}

bool TExtStringGrid::GetImageIdx(int c, int r, int& idx)
{
    if (!m_gridImages || GetCellType(c, r) != ctImageList)
        return false;
    idx = GetCellGraphic(c, r)->CellIndex;
    return true;
}

void TExtStringGrid::SetImageIdx(int c, int r, int idx)
{
    if (!m_gridImages || GetCellType(c, r) != ctImageList)
        return;
    GetCellGraphic(c, r)->CellIndex = idx;
}

void TExtStringGrid::AddDataImage(int c, int r, int idx, TCellHAlign hal, TCellVAlign val)
{
    if (!m_gridImages)
        return;
    CreateCellGraphic(c, r)->SetDataImage(idx, hal, val);
    if (Cells(c, r).isEmpty())
        SetInts(c, r, idx);
}

void TExtStringGrid::RemoveDataImage(int c, int r)
{
    // The text is the image's index: it goes only with a data image.
    if (RemoveCellGraphicOfType(c, r, ctDataImage))
        SetCells(c, r, QString());
}

bool TExtStringGrid::HasDataImage(int c, int r)
{
    if (c < 0 || r < 0)
        return false;
    const QPoint b = BaseCell(c, r);
    return GetCellType(b.x(), b.y()) == ctDataImage;
}

void TExtStringGrid::AddMultiImage(int c, int r, int dir, TCellHAlign hal, TCellVAlign val)
{
    if (!m_gridImages)
        return;
    CreateCellGraphic(c, r)->SetMultiImage(c, r, dir, hal, val, [this](TIntList*, int col, int row) {
        RepaintCell(col, row);
    });
}

void TExtStringGrid::AddRotated(int c, int r, int angle, const QString& text)
{
    CreateCellGraphic(c, r)->SetAngle(angle);
    SetCells(c, r, text);
}

void TExtStringGrid::SetRotated(int c, int r, int angle)
{
    TCellGraphic* g = graphicAt(c, r);
    if (!g)
        g = CreateCellGraphic(c, r);
    else if (g->CellType != ctRotated)
        g->ReleaseObjects(); // what the former kind owned goes with it
    g->SetAngle(angle);
    RepaintCell(c, r);
}

bool TExtStringGrid::IsRotated(int c, int r, int& angle)
{
    TCellGraphic* g = GetCellGraphic(c, r);
    if (!g || g->CellType != ctRotated)
        return false;
    angle = g->CellAngle;
    return true;
}

// --- buttons and expand buttons ---------------------------------------------------------------------------------

void TExtStringGrid::AddButton(int c, int r, int bw, int bh, const QString& caption, TCellHAlign hal, TCellVAlign val)
{
    CreateCellGraphic(c, r)->SetButton(bw, bh, caption, hal, val);
}

void TExtStringGrid::AddBitButton(int c, int r, int bw, int bh, const QString& caption, platform::Bitmap* glyph,
                                  TCellHAlign hal, TCellVAlign val)
{
    CreateCellGraphic(RealColIndex(c), r)->SetBitButton(bw, bh, caption, glyph, hal, val);
}

platform::Bitmap* TExtStringGrid::CreateBitButton(int c, int r, int bw, int bh, const QString& caption, TCellHAlign hal,
                                                  TCellVAlign val)
{
    auto* glyph = new platform::Bitmap;
    TCellGraphic* g = CreateCellGraphic(RealColIndex(c), r);
    g->SetBitButton(bw, bh, caption, glyph, hal, val);
    g->CellCreated = true;
    return glyph;
}

void TExtStringGrid::SetButtonText(int c, int r, const QString& caption)
{
    if (TCellGraphic* g = GetCellGraphic(RealColIndex(c), r)) {
        g->CellText = caption;
        RepaintCell(c, r);
    }
}

QString TExtStringGrid::GetButtonText(int c, int r)
{
    TCellGraphic* g = GetCellGraphic(RealColIndex(c), r);
    return g ? g->CellText : QString();
}

void TExtStringGrid::PushButton(int c, int r, bool push)
{
    TCellGraphic* g = GetCellGraphic(RealColIndex(c), r);
    if (g && g->CellType != ctNode) {
        g->CellBoolean = push;
        RepaintCell(c, r);
    }
}

bool TExtStringGrid::HasButton(int c, int r) { return HasGraphicOfType(RealColIndex(c), r, {ctButton, ctBitButton}); }

void TExtStringGrid::RemoveButton(int c, int r)
{
    const int real = RealColIndex(c);
    RemoveCellGraphicOfType(real, r, ctButton);
    RemoveCellGraphicOfType(real, r, ctBitButton);
}

void TExtStringGrid::RemoveAllButtons()
{
    for (int r = 0; r < rowCount(); ++r)
        for (int c = 0; c < colCount(); ++c)
            if (HasButton(c, r))
                RemoveButton(c, r);
}

Rect TExtStringGrid::GetCellButtonRect(int c, int r)
{
    TCellGraphic* g = GetCellGraphic(RealColIndex(c), r);
    if (!g)
        return Rect{};
    const Rect cell = CellRect(c, r);
    const unsigned v = unsigned(qRound64(g->CellValue));
    const unsigned size = unsigned(g->CellIndex);
    Rect b;
    b.left = cell.left + int(v & 0xFFFF);
    b.top = cell.top + int(v >> 16);
    b.right = b.left + int(size & 0xFFFF);
    b.bottom = b.top + int(size >> 16);
    if (g->CellVAlign == vaFull) {
        b.top = cell.top;
        b.bottom = cell.bottom;
    }
    if (g->CellHAlign == haFull) {
        b.left = cell.left;
        b.right = cell.right;
    }
    return b;
}

void TExtStringGrid::AddExpand(int c, int r, int expandedHeight)
{
    TCellGraphic* g = CreateCellGraphic(c, r);
    g->CellType = ctExpand;
    g->CellAngle = expandedHeight;
    g->CellIndex = r < rowCount() ? rowHeights(r) : defaultRowHeight();
    g->CellVar = false;
}

bool TExtStringGrid::ToggleExpand(int c, int r)
{
    TCellGraphic* g = baseGraphic(c, r);
    if (!g)
        return false;
    g->CellVar = !g->CellVar.toBool();
    return g->CellVar.toBool();
}

bool TExtStringGrid::GetExpandState(int c, int r)
{
    TCellGraphic* g = baseGraphic(c, r);
    return g && g->CellVar.toBool();
}

int TExtStringGrid::GetExpandHeight(int c, int r, bool expanded)
{
    TCellGraphic* g = baseGraphic(c, r);
    if (!g)
        return defaultRowHeight();
    return expanded ? g->CellAngle : g->CellIndex;
}

Rect TExtStringGrid::GetExpandRect(int c, int r)
{
    if (!HasExpand(c, r))
        return Rect{};
    const Rect cell = CellRect(c, r);
    return Rect{cell.right - 13, cell.top + 2, cell.right - 2, cell.top + 13};
}

// --- progress, comments, markers ----------------------------------------------------------------------------------

void TExtStringGrid::AddProgressFormatted(int c, int r, Color fgColor, Color fgTextColor, Color bkColor,
                                          Color bkTextColor, const QString& fmt, int min, int max)
{
    TCellGraphic* g = CreateCellGraphic(c, r);
    g->CellType = ctProgress;
    g->CellHAlign = haLeft;
    g->CellVAlign = vaTop;
    g->ColorBitmap = fgColor;
    g->ColorIcon = bkColor;
    g->CellIndex = int(fgTextColor);
    g->CellAngle = int(bkTextColor);
    g->CellBoolean = true;
    g->CellErrFrom = min;
    g->CellErrLen = max;
    g->CellText = fmt;
    if (AutoNumAlign)
        SetAlignments(c, r, platform::Alignment::taRightJustify);
}

void TExtStringGrid::AddProgress(int c, int r, Color fgColor, Color bkColor)
{
    AddProgressFormatted(c, r, fgColor, 0, bkColor, 0, QString(), 0, 100);
    GetCellGraphic(c, r)->CellBoolean = false;
}

void TExtStringGrid::AddProgressEx(int c, int r, Color fgColor, Color fgTextColor, Color bkColor, Color bkTextColor)
{
    AddProgressFormatted(c, r, fgColor, fgTextColor, bkColor, bkTextColor, QString(), 0, 100);
}

void TExtStringGrid::AddExtProgress(int c, int r, int min, int max)
{
    TCellGraphic* g = CreateCellGraphic(c, r);
    g->CellType = ctXPProgress;
    g->CellHAlign = haLeft;
    g->CellVAlign = vaTop;
    g->CellErrFrom = min;
    g->CellErrLen = max;
    g->CellBoolean = false;
    g->CellText.clear();
}

void TExtStringGrid::AddProgressPie(int c, int r, Color color, int value)
{
    TCellGraphic* g = CreateCellGraphic(c, r);
    g->CellType = ctProgressPie;
    g->CellHAlign = haBeforeText;
    g->CellVAlign = vaTop;
    g->ColorBitmap = color;
    g->CellAngle = value;
}

void TExtStringGrid::SetProgressPie(int c, int r, int value)
{
    TCellGraphic* g = GetCellGraphic(c, r);
    if (g && g->CellType == ctProgressPie) {
        g->CellAngle = value;
        RepaintCell(c, r);
    }
}

void TExtStringGrid::AddRangeIndicator(int c, int r, int range, Color negColor, Color posColor, bool showValue)
{
    TCellGraphic* g = CreateCellGraphic(c, r);
    g->CellType = ctRangeIndicator;
    g->CellHAlign = haLeft;
    g->CellVAlign = vaTop;
    g->ColorBitmap = negColor;
    g->ColorIcon = posColor;
    g->CellIndex = range;
    g->CellBoolean = showValue;
}

void TExtStringGrid::AddColorComment(int c, int r, const QString& comment, Color color)
{
    TCellGraphic* g = CreateCellGraphic(c, r);
    g->CellType = ctComment;
    g->CellHAlign = haLeft;
    g->CellVAlign = vaTop;
    g->CellText = comment;
    g->CellIndex = int(color);
}

void TExtStringGrid::AddComment(int c, int r, const QString& comment)
{
    AddColorComment(c, r, comment, ControlLook.CommentColor());
}

bool TExtStringGrid::IsComment(int c, int r, QString& comment)
{
    TCellGraphic* g = GetCellGraphic(c, r);
    if (!g || g->CellType != ctComment)
        return false;
    comment = g->CellText;
    return true;
}

QString TExtStringGrid::GetComment(int c, int r)
{
    QString comment;
    IsComment(c, r, comment);
    return comment;
}

void TExtStringGrid::SetComment(int c, int r, const QString& value)
{
    TCellGraphic* g = GetCellGraphic(c, r);
    if (!g)
        AddComment(c, r, value);
    else if (g->CellType == ctComment)
        g->CellText = value;
}

void TExtStringGrid::RemoveAllComments()
{
    for (int r = 0; r < rowCount(); ++r)
        for (int c = 0; c < colCount(); ++c)
            RemoveComment(c, r);
}

void TExtStringGrid::AddMarker(int c, int r, int errPos, int errLen)
{
    TCellGraphic* g = GetCellGraphic(c, r);
    if (!g) {
        g = CreateCellGraphic(c, r);
        g->CellType = ctEmpty;
    }
    g->MarkerFrom = errPos;
    g->MarkerLen = errLen;
    RepaintCell(c, r);
}

void TExtStringGrid::RemoveMarker(int c, int r)
{
    TCellGraphic* g = GetCellGraphic(c, r);
    if (!g)
        return;
    if (g->CellType == ctEmpty) {
        RemoveCellGraphic(c, r);
        return;
    }
    g->MarkerFrom = 0;
    g->MarkerLen = 0;
    RepaintCell(c, r);
}

void TExtStringGrid::RemoveAllMarkers()
{
    for (int r = 0; r < rowCount(); ++r)
        for (int c = 0; c < colCount(); ++c)
            RemoveMarker(c, r);
}

void TExtStringGrid::GetMarker(int c, int r, int& errPos, int& errLen)
{
    errPos = 0;
    errLen = 0;
    if (TCellGraphic* g = GetCellGraphic(c, r)) {
        errPos = g->MarkerFrom;
        errLen = g->MarkerLen;
    }
}

// --- shapes, ratings, scroll bars, balloons, interfaced objects ---------------------------------------------------

void TExtStringGrid::AddShape(int c, int r, int shape, Color fillColor, Color lineColor, TCellHAlign hal,
                              TCellVAlign val)
{
    TCellGraphic* g = CreateCellGraphic(c, r);
    g->CellType = ctShape;
    g->ColorBitmap = lineColor;
    g->CellIndex = int(fillColor);
    g->CellAngle = shape;
    g->CellHAlign = hal;
    g->CellVAlign = val;
}

void TExtStringGrid::SetShapeColor(int c, int r, Color fillColor)
{
    if (GetCellType(c, r) == ctShape)
        GetCellGraphic(c, r)->CellIndex = int(fillColor);
}

Color TExtStringGrid::GetShapeColor(int c, int r)
{
    if (GetCellType(c, r) != ctShape)
        return platform::clNone;
    return Color(GetCellGraphic(c, r)->CellIndex);
}

void TExtStringGrid::AddRating(int c, int r, int scale, Color fillColor, Color emptyColor)
{
    TCellGraphic* g = CreateCellGraphic(c, r);
    g->CellType = ctRating;
    g->ColorBitmap = emptyColor;
    g->CellIndex = int(fillColor);
    g->CellAngle = scale;
    g->CellHAlign = haFull;
}

bool TExtStringGrid::RatingChange(int c, int r, double& newRate)
{
    bool allow = true;
    if (OnRatingChange)
        OnRatingChange(this, c, r, newRate, allow);
    return allow;
}

void TExtStringGrid::AddScrollBar(int c, int r, bool autoRange)
{
    TCellGraphic* g = CreateCellGraphic(c, r);
    g->CellType = ctScrollbar;
    g->CellAngle = 0;
    g->CellErrFrom = 100;
    g->CellBoolean = autoRange;
    if (autoRange)
        CellTextChanged(c, r);
}

bool TExtStringGrid::HasAutoRangeScrollBar(int c, int r)
{
    TCellGraphic* g = baseGraphic(c, r);
    return g && g->CellType == ctScrollbar && g->CellBoolean;
}

void TExtStringGrid::SetScrollPosition(int c, int r, int pos)
{
    TCellGraphic* g = baseGraphic(c, r);
    if (g && g->CellType == ctScrollbar) {
        g->CellIndex = pos;
        RepaintCell(c, r);
    }
}

int TExtStringGrid::GetScrollPosition(int c, int r)
{
    TCellGraphic* g = baseGraphic(c, r);
    return g && g->CellType == ctScrollbar ? g->CellIndex : -1;
}

void TExtStringGrid::SetScrollProp(int c, int r, const TScrollProp& prop)
{
    TCellGraphic* g = baseGraphic(c, r);
    if (g && g->CellType == ctScrollbar) {
        g->CellAngle = prop.PageSize;
        g->CellErrFrom = prop.Range;
    }
}

TScrollProp TExtStringGrid::GetScrollProp(int c, int r)
{
    TCellGraphic* g = baseGraphic(c, r);
    if (!g || g->CellType != ctScrollbar)
        return TScrollProp{-1, -1};
    return TScrollProp{g->CellAngle, g->CellErrFrom};
}

void TExtStringGrid::AddBalloon(int c, int r, const QString& title, const QString& text, TBalloonIcon icon)
{
    TCellGraphic* g = GetCellGraphic(c, r);
    if (g) {
        if (g->CellType != ctCheckBox && g->CellType != ctDataCheckBox && g->CellType != ctRadioButton)
            return;
        if (g->CellAngle == 1)
            delete g->Object;
        g->CellAngle = 1;
    } else {
        g = CreateCellGraphic(c, r);
        g->CellType = ctBalloon;
        g->CellAngle = 0;
    }
    g->CellIndex = icon;
    auto* texts = new platform::TStringList;
    texts->Add(title);
    texts->Add(text);
    if (g->CellType == ctBalloon)
        delete g->Object;
    g->Object = texts;
}

void TExtStringGrid::RemoveBalloon(int c, int r)
{
    TCellGraphic* g = GetCellGraphic(c, r);
    if (g && (g->CellType == ctCheckBox || g->CellType == ctDataCheckBox || g->CellType == ctRadioButton)) {
        g->FreeBalloon();
        return;
    }
    RemoveCellGraphicOfType(c, r, ctBalloon);
}

bool TExtStringGrid::IsBalloon(int c, int r, QString& title, QString& text, TBalloonIcon& icon)
{
    TCellGraphic* g = GetCellGraphic(c, r);
    if (!g)
        return false;
    const bool attached =
        (g->CellType == ctCheckBox || g->CellType == ctDataCheckBox || g->CellType == ctRadioButton) && g->CellAngle == 1;
    if (g->CellType != ctBalloon && !attached)
        return false;
    platform::TStringList* texts = g->Strings();
    if (!texts || texts->Count() < 2)
        return false;
    title = texts->Strings(0);
    text = texts->Strings(1);
    icon = TBalloonIcon(g->CellIndex);
    return true;
}

void TExtStringGrid::AddInterfacedCell(int c, int r, platform::TObject* object)
{
    CreateCellGraphic(c, r)->SetInterfacedCell(object);
}

platform::TObject* TExtStringGrid::GetInterfacedCell(int c, int r)
{
    TCellGraphic* g = GetCellGraphic(c, r);
    return g && g->CellType == ctInterface ? g->Object : nullptr;
}

} // namespace controls::grid
