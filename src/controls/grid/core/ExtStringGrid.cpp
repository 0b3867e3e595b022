// The string grid as a whole: what it owns and its defaults, loading, copying from another
// grid, bounds and repaints, the counts and the current cell, looks and appearance setters,
// change notification and the unit's one-time set-up.
#include "controls/grid/core/ExtStringGrid.h"

#include "controls/grid/html/HTMLDraw.h"
#include "controls/grid/style/ExtStyle.h"
#include "platform/core/Messages.h"
#include "platform/draw/Theme.h"

#include <QApplication>
#include <QEvent>
#include <QResizeEvent>
#include <QScrollBar>
#include <QStyle>
#include <QWidget>
#include <algorithm>

namespace controls::grid {

using platform::Alignment;

QString TGridItem::Text(int col) const { return Cells && col >= 0 ? Cells->text(col) : QString(); }

TCellProperties* TGridItem::Object(int col) const
{
    return Cells && col >= 0 ? static_cast<TCellProperties*>(Cells->object(col)) : nullptr;
}

QStringList TGridItem::Texts(int count) const
{
    QStringList out;
    out.reserve(count);
    for (int c = 0; c < count; ++c)
        out << Text(c);
    return out;
}

// --- construction -------------------------------------------------------------------------------

TExtStringGrid::TExtStringGrid(QWidget* parent) : TBaseGrid(parent), ControlLook(this), SyncGrid(this)
{
    GridInit();
    m_fixedFont.setFamily(QStringLiteral("Tahoma"));
    m_fixedFont.setBold(true);
    m_activeCellFont.setBold(true);
    m_vekko[0] = 0xFFFFFF;
    m_vekko[1] = platform::colorToRgb(platform::clBtnFace);
    m_vekko[2] = platform::clNone;
    m_vekko[3] = platform::clNone;
    m_isWinXP = IsWinXPOrLater();
    m_borderColor = m_isWinXP ? 0xB99D7F : 0x808080;
    m_scrollWidth = qApp ? qApp->style()->pixelMetric(QStyle::PM_ScrollBarExtent) : 17;
    m_style = tsWindowsXP;
    m_rowGraphic.CellType = ctRowCheckBox;

    setRowCount(10);
    resize(400, 250);
    TBaseGrid::SetNormalRowCount(10);
    m_maxRowCount = 10;
    m_maxColCount = colCount();
    setDefaultRowHeight(22);
    m_fixedRowHeight = defaultRowHeight();
    // The fixed rows and columns a grid made in code starts with are the ones it asked for: a
    // header that had to go while the grid was too short comes back when it grows.
    m_fixedRowsMin = fixedRows();
    m_fixedColsMin = fixedCols();
    wireSettings();

    if (parent) {
        m_ownerForm = parent->window();
        if (m_ownerForm) {
            m_ownerSize = m_ownerForm->size();
            m_ownerForm->installEventFilter(this);
        }
    }
}

TExtStringGrid::~TExtStringGrid()
{
    SetDestroying();
    delete m_footerPanel;
    if (m_ownerForm)
        m_ownerForm->removeEventFilter(this);
    // Hidden rows give their properties back to nobody: they go with the grid.
    dropHiddenRows();
    GridFinalize();
}

void TExtStringGrid::wireSettings()
{
    SortSettings.SetGrid(this);
    Filter.SetGrid(this);
    auto repaint = [this](platform::TObject*) { invalidate(); };
    ProgressAppearance.OnChange = repaint;
    FilterDropDown.OnChange = repaint;
    Bands.OnChange = repaint;
    BackGround.OnChange = repaint;
    ControlLook.OnChange = repaint;
    CellNode.OnChange = repaint;
    ShowModified.OnChange = [this](platform::TObject*) {
        if (!Destroying())
            invalidateCol(0);
    };
    MouseActions.OnInvalidate = repaint;
    MouseActions.OnIsDesigning = [](TMouseActions*, bool& designing) { designing = false; };
    ColumnSize.OnStretchChange = [this](platform::TObject*) {
        if (ColumnSize.Stretch())
            StretchColumn(ColumnSize.StretchColumn);
    };
    m_mergedColumns.OnChange = [this](TIntList*, int, int) {
        SplitAllColumnCells();
        RemergeColumnCells();
    };
    m_columnHeaders.OnChange = [this](platform::TObject*) {
        ColumnHeadersChanged();
        ShowColumnHeaders();
    };
    m_rowHeaders.OnChange = [this](platform::TObject*) { ShowRowHeaders(); };
}

void TExtStringGrid::showEvent(QShowEvent* e)
{
    TBaseGrid::showEvent(e);
    if (!m_windowCreated) {
        m_windowCreated = true;
        CreateWnd();
    }
}

void TExtStringGrid::CreateWnd()
{
    if (Destroying() || !parentWidget())
        return;
    setWindowTimer(111, 500);
    m_isWinXP = IsWinXPOrLater() && platform::IsThemeActive();
    UpdateScrollBarsAlways(false);
}

void TExtStringGrid::Loaded()
{
    ShowColumnHeaders();
    ShowRowHeaders();
    if (m_look == glVekko) {
        m_look = glCustom;
        SetLook(glVekko);
    }
    SetLoading(false);
    if (m_autoSize)
        AutoSizeColumns(false, 4);
    m_fixedRowsMin = FixedRows();
    m_fixedColsMin = FixedCols();
    MinRowHeight = DefaultRowHeight();
    MinColWidth = 10;
    m_maxRowCount = RowCount();
    m_loaded = true;
    if (options().testFlag(platform::goAlwaysShowEditor)) {
        Navigation.AlwaysEdit = true;
        setOptions(options() & ~platform::TGridOptions(platform::goAlwaysShowEditor));
    }
    if (!m_isWinXP && ControlLook.ControlStyle() == csTheme)
        ControlLook.SetControlStyle(csClassic);
    SearchFooter.AutoThemeAdapt = m_autoThemeAdapt;
    UpdateScrollBarsAlways(false);
    m_origColSizes.Clear();
    for (int c = 0; c < ColCount(); ++c)
        m_origColSizes.Insert(c, colWidths(c));
    SetColumnOrder();
    ApplyVCLStyle();
}

void TExtStringGrid::Assign(platform::TPersistent*) {}

void TExtStringGrid::Assign(TExtStringGrid* s)
{
    if (!s || s == this)
        return;
    setFont(s->font());
    SetFontColor(s->FontColor());
    m_activeCellColor = s->m_activeCellColor;
    m_activeCellColorTo = s->m_activeCellColorTo;
    m_activeCellFont = s->m_activeCellFont;
    m_activeCellFontColor = s->m_activeCellFontColor;
    m_activeCellShow = s->m_activeCellShow;
    SetActiveRowShow(s->ActiveRowShow());
    FilterDropDown.Assign(&s->FilterDropDown);
    AnchorHint = s->AnchorHint;
    AutoNumAlign = s->AutoNumAlign;
    m_autoSize = s->m_autoSize;
    m_autoThemeAdapt = s->m_autoThemeAdapt;
    AutoFilterUpdate = s->AutoFilterUpdate;
    MouseActions.Assign(&s->MouseActions);
    Navigation.Assign(&s->Navigation);
    Grouping.Assign(&s->Grouping);
    SearchFooter.Assign(&s->SearchFooter);
    PrintSettings.Assign(&s->PrintSettings);
    Filter.Assign(&s->Filter);
    HTMLSettings.Assign(&s->HTMLSettings);
    Bands.Assign(&s->Bands);
    CellNode.Assign(&s->CellNode);
    SortSettings.Assign(&s->SortSettings);
    DragScrollOptions.Assign(&s->DragScrollOptions);
    DragDropSettings.Assign(&s->DragDropSettings);
    ProgressAppearance.Assign(&s->ProgressAppearance);
    ColumnSize.Assign(&s->ColumnSize);
    SyncGrid.Assign(&s->SyncGrid);
    FocusHelper.Assign(&s->FocusHelper);
    m_fixedRowAlways = s->m_fixedRowAlways;
    SetColCount(s->ColCount());
    SetRowCount(s->RowCount());
    SetFixedRows(s->fixedRows());
    SetFixedCols(s->fixedCols());
    setDefaultColWidth(s->defaultColWidth());
    SetDefaultRowHeight(s->DefaultRowHeight());
    m_fixedRowHeight = s->m_fixedRowHeight;
    InvalidEntryTitle = s->InvalidEntryTitle;
    InvalidEntryIcon = s->InvalidEntryIcon;
    InvalidEntryText = s->InvalidEntryText;
    setOptions(s->options());
    for (int c = 0; c < s->ColCount(); ++c)
        setColWidths(c, s->colWidths(c));
    m_columnHeaders.Assign(&s->m_columnHeaders);
    for (int r = 0; r < s->RowCount(); ++r)
        setRowHeights(r, s->rowHeights(r));
    m_scrollProportional = s->m_scrollProportional;
    ScrollSynch = s->ScrollSynch;
    ScrollHints = s->ScrollHints;
    m_scrollBarAlways = s->m_scrollBarAlways;
    SetScrollBars(s->ScrollBars());
    m_scrollColor = s->m_scrollColor;
    SetScrollType(s->ScrollType());
    SetScrollWidth(s->ScrollWidth());
    AssignCells(s);
}

void TExtStringGrid::AssignCells(TExtStringGrid* s)
{
    if (!s || s == this)
        return;
    const int cols = s->TotalColCount();
    const int rows = s->RowCount();
    ClearRect(0, 0, std::max(TotalColCount(), cols) - 1, std::max(RowCount(), rows) - 1);
    for (int r = 0; r < rows; ++r) {
        for (int c = 0; c < cols; ++c) {
            SetGridCell(c, r, s->GetGridCell(c, r));
            const TCellProperties* sp = s->GetGridObject(c, r);
            if (!sp)
                continue;
            auto* p = new TCellProperties(this, c, r);
            p->Assign(sp);
            p->SetBrushColorTo(sp->BrushColorTo());
            p->GradientDirection = sp->GradientDirection;
            if (const auto* g = dynamic_cast<const TCellGraphic*>(sp->GraphicObject)) {
                auto* copy = new TCellGraphic;
                copy->Assign(g);
                copy->CellCreated = false; // the objects stay with the source
                p->GraphicObject = copy;
                if (c == 0 && g->CellType == ctNode)
                    ++m_numNodes;
            }
            SetCellProperties(c, r, p);
        }
    }
    invalidate();
}

void TExtStringGrid::invalidate()
{
    if (m_editChange) {
        m_editChange = false;
        return;
    }
    TBaseGrid::invalidate();
}

void TExtStringGrid::SetBounds(int left, int top, int width, int height)
{
    if (m_integralHeight && defaultRowHeight() > 0) {
        const platform::TGridDrawInfo info = calcDrawInfo();
        const bool allColumnsFit = info.Horz.LastFullVisibleCell >= ColCount() - 1;
        const int h = allColumnsFit ? 0 : style()->pixelMetric(QStyle::PM_ScrollBarExtent);
        const int b = borderStyle() == platform::TBorderStyle::bsSingle ? 2 : 0;
        const int rest = (height - h - b) % defaultRowHeight();
        height = height + b - (rest < 0 ? rest + defaultRowHeight() : rest);
    }
    setGeometry(left, top, width, height);
}

void TExtStringGrid::resized()
{
    TBaseGrid::resized();
    if (OnResize)
        OnResize(this);
    if ((BackGround.Display() == bdGradientHorz || BackGround.Display() == bdGradientVert) &&
        BackGround.ColorTo() != platform::clNone)
        invalidate();
    UpdateScrollBarsAlways(false);
}

bool TExtStringGrid::eventFilter(QObject* watched, QEvent* e)
{
    if (watched == m_ownerForm.data() && e->type() == QEvent::Resize && !Destroying())
        ownerResized(static_cast<QResizeEvent*>(e)->oldSize().isValid());
    return TBaseGrid::eventFilter(watched, e);
}

void TExtStringGrid::ownerResized(bool formWasShown)
{
    QWidget* form = m_ownerForm.data();
    if (!form)
        return;
    // The grid follows only the changes made while SizeWithForm is on. A form built in code is
    // usually sized after its grid was made: the size a hidden form appears with (its resize
    // event carries no old size) is the one the grid was laid out for, not a change to follow.
    if (!SizeWithForm || !formWasShown) {
        m_ownerSize = form->size();
    } else {
        const int w = form->width() + width() - m_ownerSize.width();
        const int h = form->height() + height() - m_ownerSize.height();
        if (w > 0 && h > 0) {
            resize(w, h);
            m_ownerSize = form->size();
        }
    }
    if (ColumnSize.Stretch())
        StretchColumn(ColumnSize.StretchColumn);
}

// --- counts and the current cell ---------------------------------------------------------------------

void TExtStringGrid::SetRowCount(int n)
{
    const int old = rowCount();
    if (old == fixedRows() && m_fixedRowAlways && m_selHidden)
        UnHideSelection();
    // Node rows leave the count with the rows cut off and come back with rows the grid had kept
    // (the footer's row moves along: it is counted on both sides).
    const int changed = std::max(0, std::min(old, n) - 1);
    const int nodesBefore = nodeRowsIn(changed, old);
    setRowCount(n);
    if (m_fixedRowAlways && rowCount() > m_fixedRowsMin && fixedRows() != m_fixedRowsMin)
        setFixedRows(std::min(m_fixedRowsMin, rowCount() - 1));
    m_maxRowCount = std::max(m_maxRowCount, rowCount());
    TBaseGrid::SetNormalRowCount(rowCount());
    UpdateProportionalVScroll();
    UpdateProportionalHScroll();
    UpdateScrollBarsAlways(false);
    if (FloatingFooter.Visible && rowCount() != old && old > 0) {
        MoveRowCells(old - 1, rowCount() - 1);
        CalcFooter(-1);
    }
    m_numNodes = std::max(0, m_numNodes - nodesBefore + nodeRowsIn(changed, rowCount()));
}

void TExtStringGrid::SetColCount(int n)
{
    setColCount(n);
    if (m_fixedColAlways && colCount() > m_fixedColsMin && fixedCols() != m_fixedColsMin)
        setFixedCols(std::min(m_fixedColsMin, colCount() - 1));
    m_maxColCount = std::max(m_maxColCount, colCount());
    UpdateProportionalHScroll();
    UpdateProportionalVScroll();
    UpdateScrollBarsAlways(false);
}

void TExtStringGrid::SetRow(int r)
{
    if (col() < 0 || col() >= colCount())
        moveCurrent(fixedCols(), r, true, true);
    setRow(r);
    ReportRowChange(row());
    if (MouseActions.DisjunctRowSelect()) {
        const TGridRect s = selection();
        for (int i = s.Top; i <= s.Bottom; ++i)
            touchRowSelect(i);
    }
    if (auto* g = SyncGrid.Grid(); g && SyncGrid.SelectionRow && g->rowCount() > row())
        g->setRow(row());
}

void TExtStringGrid::ReportRowChange(int newRow)
{
    // One "last reported row" for every road to a new row (setting Row, the cell-selection
    // check of a key or click), so that one move is reported once.
    if (newRow == m_oldRowSel || !OnRowChanged)
        return;
    const int old = m_oldRowSel;
    m_oldRowSel = newRow;
    OnRowChanged(this, old, newRow);
}

void TExtStringGrid::SetCol(int c)
{
    setCol(c);
    if (auto* g = SyncGrid.Grid(); g && SyncGrid.SelectionColumn && g->colCount() > col())
        g->setCol(col());
}

void TExtStringGrid::SetTopRow(int r)
{
    if (r >= fixedRows() && r <= rowCount() - 1)
        setTopRow(r);
}

int TExtStringGrid::FixedRows() const
{
    if (fixedRows() == 0 && m_fixedRowAlways)
        return 1;
    return fixedRows();
}

void TExtStringGrid::SetFixedRows(int n)
{
    const int requested = n;
    if (m_fixedRowAlways && n >= rowCount())
        n = rowCount() - 1;
    setFixedRows(n);
    if (!IsLoading())
        m_fixedRowsMin = requested;
}

int TExtStringGrid::FixedCols() const
{
    if (fixedCols() == 0 && m_fixedColAlways)
        return 1;
    return fixedCols();
}

void TExtStringGrid::SetFixedCols(int n)
{
    const int requested = n;
    if (m_fixedColAlways && n >= colCount())
        n = colCount() - 1;
    setFixedCols(n);
    if (!IsLoading())
        m_fixedColsMin = requested;
}

void TExtStringGrid::SetFixedFooters(int n)
{
    m_fixedFooters = n;
    invalidate();
}

void TExtStringGrid::SetFixedRightCols(int n)
{
    m_fixedRightCols = n;
    invalidate();
}

void TExtStringGrid::SetFixedColWidth(int w)
{
    if (IsLoading() || w == defaultColWidth())
        return;
    for (int c = 0; c < fixedCols(); ++c)
        setColWidths(c, w);
}

void TExtStringGrid::SetFixedRowHeight(int h)
{
    m_fixedRowHeight = h;
    if (IsLoading())
        return;
    if (h == defaultRowHeight()) {
        setDefaultRowHeight(h);
        return;
    }
    for (int r = 0; r < fixedRows(); ++r)
        setRowHeights(r, h);
}

void TExtStringGrid::SetDefaultRowHeight(int h)
{
    setDefaultRowHeight(h);
    FloatingFooter.Height = h;
}

void TExtStringGrid::SetDefaultAlignment(Alignment a)
{
    if (a == m_defaultAlignment)
        return;
    m_defaultAlignment = a;
    invalidate();
}

void TExtStringGrid::SetWordWrap(bool on)
{
    m_wordWrapEx = on;
    TBaseGrid::SetWordWrap(on);
    invalidate();
}

int TExtStringGrid::TotalColCount() const { return colCount() + NumHiddenColumns(); }

int TExtStringGrid::TotalRowCount() const { return rowCount() + NumHiddenRows(); }

void TExtStringGrid::AppendRow() { SetRowCount(RowCount() + 1); }

void TExtStringGrid::UpdateEditMode() { selectCell(col(), row()); }

void TExtStringGrid::ScreenToCell(QPoint screen, int& c, int& r) const
{
    const QPoint p = viewport()->mapFromGlobal(screen);
    mouseToCell(p.x(), p.y(), c, r);
}

void TExtStringGrid::sizeChanged(int oldColCount, int oldRowCount)
{
    TBaseGrid::sizeChanged(oldColCount, oldRowCount);
    if (!parentWidget() || IsLoading() || Destroying())
        return;
    if (ColumnSize.Stretch())
        StretchColumn(ColumnSize.StretchColumn);
}

// --- looks -------------------------------------------------------------------------------------------------

QString TExtStringGrid::LookToString(TGridLook look, const QString& custom)
{
    static const char* names[] = {"glStandard", "glSoft",     "glClassic", "glVekko",     "glXP",
                                  "glListView", "glVista",    "glWin7",    "glOffice2007"};
    return look == glCustom ? custom : QString::fromLatin1(names[look]);
}

QString TExtStringGrid::LookToCaption(TGridLook look, const QString& custom)
{
    static const char* names[] = {"Standard", "Soft",          "Classic",   "Vekko",     "Windows XP",
                                  "ListView", "Windows Vista", "Windows 7", "Office2007"};
    return look == glCustom ? custom : QString::fromLatin1(names[look]);
}

void TExtStringGrid::SetStyle(TVekkoStyle style) { m_style = style; }

void TExtStringGrid::SetLook(TGridLook look)
{
    if (look == m_look)
        return;
    m_look = look;
    const platform::Color none = platform::clNone;
    if (look != glCustom) {
        ControlLook.SetFixedGradientMirrorFrom(none);
        ControlLook.SetFixedGradientMirrorTo(none);
        ControlLook.SetFixedGradientFrom(none);
        ControlLook.SetFixedGradientTo(none);
        for (Color& c : m_vekko)
            c = none;
        SortSettings.HeaderColor = none;
    }
    switch (look) {
    case glVista:
        SetStyle(tsWindowsVista);
        m_style = tsWindowsVista;
        SetSelectionStyle(ssVista);
        break;
    case glWin7:
        SetStyle(tsWindows7);
        m_style = tsWindows7;
        SetSelectionStyle(ssWin7);
        break;
    case glOffice2007:
        SetStyle(tsOffice2007Luna);
        m_style = tsOffice2007Luna;
        SetSelectionStyle(ssOffice2007);
        break;
    case glCustom:
        break;
    default: {
        SetSelectionStyle(ssDefault);
        if (IsLoading())
            break;
        if (look == glStandard || look == glSoft || look == glClassic) {
            setFixedColor(platform::clBtnFace);
            ControlLook.SetFixedGradientFrom(platform::clBtnFace);
            ControlLook.SetFixedGradientTo(none);
        } else {
            ControlLook.SetFixedGradientFrom(0xFFFFFF);
            ControlLook.SetFixedGradientTo(platform::clBtnFace);
        }
        SetGridFixedLineColor(0x808080);
        ControlLook.SetFixedGradientMirrorFrom(none);
        ControlLook.SetFixedGradientMirrorTo(none);
        m_vekko[2] = none;
        m_vekko[3] = none;
        SetGridLineColor(0xC0C0C0);
        if (look == glVekko || look == glXP) {
            m_activeCellColor = 0xEACAB6;
            m_activeCellColorTo = none;
            m_SelectionColor = 0xEACAB6;
            m_SelectionColorTo = none;
            m_SelectionTextColor = 0x000000;
            SearchFooter.SetColor(m_vekko[0]);
            SearchFooter.SetColorTo(m_vekko[1]);
            ControlLook.SetFixedGradientFrom(0xFFFFFF);
            ControlLook.SetFixedGradientTo(look == glXP ? platform::clBtnFace : 0xC0C0C0);
            ControlLook.FixedGradientHoverFrom = 0xCFD0D1;
            ControlLook.FixedGradientHoverTo = 0xBEC6C8;
            ControlLook.FixedGradientHoverMirrorFrom = 0xBEC6C8;
            ControlLook.FixedGradientHoverMirrorTo = 0xABBCBF;
            ControlLook.FixedGradientDownFrom = 0x868788;
            ControlLook.FixedGradientDownTo = 0x737C7E;
            ControlLook.FixedGradientDownMirrorFrom = 0x737C7E;
            ControlLook.FixedGradientDownMirrorTo = 0x627376;
        } else {
            m_activeCellColor = 0x808080;
            m_activeCellColorTo = none;
            m_SelectionColor = platform::clHighlight;
            m_SelectionTextColor = platform::clHighlightText;
            SearchFooter.SetColor(platform::clBtnFace);
            SearchFooter.SetColorTo(platform::clBtnFace);
        }
        break;
    }
    }
    SetScrollType(ssNormal);
    setBorderStyle(platform::TBorderStyle::bsSingle);
    m_borderColor = 0xB99D7F;
    invalidate();
    if (!IsLoading())
        CalcFooter(-1);
}

void TExtStringGrid::SetURLColor(Color c)
{
    const bool changed = c != m_urlColor;
    m_urlColor = c;
    if (m_urlShow && changed)
        invalidate();
}

void TExtStringGrid::SetURLShow(bool on)
{
    if (on == m_urlShow)
        return;
    m_urlShow = on;
    invalidate();
}

void TExtStringGrid::SetURLShowInText(bool on)
{
    if (on == m_urlShowInText)
        return;
    m_urlShowInText = on;
    invalidate();
}

void TExtStringGrid::SetURLFull(bool on)
{
    m_urlFull = on;
    if (m_urlShow)
        invalidate();
}

void TExtStringGrid::SetIntegralHeight(bool on)
{
    m_integralHeight = on;
    SetBounds(x(), y(), width(), height());
}

void TExtStringGrid::SetVekkoGradientFrom(Color c)
{
    m_vekko[0] = platform::colorToRgb(c);
    invalidate();
}

void TExtStringGrid::SetVekkoGradientTo(Color c)
{
    m_vekko[1] = platform::colorToRgb(c);
    invalidate();
}

void TExtStringGrid::SetVekkoGradientMirrorFrom(Color c)
{
    m_vekko[2] = platform::colorToRgb(c);
    invalidate();
}

void TExtStringGrid::SetVekkoGradientMirrorTo(Color c)
{
    m_vekko[3] = platform::colorToRgb(c);
    invalidate();
}

void TExtStringGrid::Zoom(int x)
{
    const int z = m_zoomFactor + x;
    if (z > 10 || z < -10)
        return;
    m_scrollLock = true;
    m_zoomFactor = z;
    for (int c = 0; c < colCount(); ++c) {
        const int w = colWidths(c);
        if (w > 0 && w + x > 0)
            setColWidths(c, w + x);
    }
    for (int r = 0; r < rowCount(); ++r) {
        const int h = rowHeights(r);
        if (h > 0 && h + x > 0)
            setRowHeights(r, h + x);
    }
    m_scrollLock = false;
    if (m_scrollProportional) {
        UpdateProportionalVScroll();
        UpdateProportionalHScroll();
    }
}

void TExtStringGrid::calcSizingState(int x, int y, platform::TGridState& state, int& index, int& sizingPos,
                                     int& sizingOfs, const platform::TGridDrawInfo& info)
{
    TBaseGrid::calcSizingState(x, y, state, index, sizingPos, sizingOfs, info);
    int c = -1, r = -1;
    mouseToCell(x - 6, y, c, r);
    if (r >= 0 && r < fixedRows() && c >= 0 && state == platform::TGridState::gsColSizing) {
        bool allow = true;
        if (OnColumnSize)
            OnColumnSize(this, c, allow);
        if (!allow)
            state = platform::TGridState::gsNormal;
    }
    mouseToCell(x, y - 6, c, r);
    if (c >= 0 && c < fixedCols() && r >= 0 && state == platform::TGridState::gsRowSizing) {
        bool allow = true;
        if (OnRowSize)
            OnRowSize(this, r, allow);
        if (!allow)
            state = platform::TGridState::gsNormal;
    }
}

void TExtStringGrid::CanAddRow(bool& canAdd)
{
    if (OnCanAddRow)
        OnCanAddRow(this, canAdd);
}

void TExtStringGrid::CanInsertRow(int r, bool& canInsert)
{
    if (OnCanInsertRow)
        OnCanInsertRow(this, r, canInsert);
}

void TExtStringGrid::ColorSelect(Color color, const QString& text)
{
    if (OnColorSelect)
        OnColorSelect(this, col(), row(), color, text);
}

void TExtStringGrid::ImageSelect(int index)
{
    if (OnImageSelect)
        OnImageSelect(this, col(), row(), index);
}

// --- appearance setters ---------------------------------------------------------------------------------------

void TExtStringGrid::SetSelectionColorMixerFactor(int v)
{
    v = std::clamp(v, 0, 100);
    if (v == m_selectionColorMixerFactor)
        return;
    m_selectionColorMixerFactor = v;
    invalidate();
}

void TExtStringGrid::SetShowSelection(bool on)
{
    if (on == m_showSelection)
        return;
    m_showSelection = on;
    SetShowSel(on);
    invalidate();
}

void TExtStringGrid::SetHighlightColor(Color c)
{
    if (c == m_highlightColor)
        return;
    m_highlightColor = c;
    SetHighlightColors(m_highlightColor, m_highlightTextColor);
    invalidate();
}

void TExtStringGrid::SetHighlightTextColor(Color c)
{
    if (c == m_highlightTextColor)
        return;
    m_highlightTextColor = c;
    SetHighlightColors(m_highlightColor, m_highlightTextColor);
    invalidate();
}

void TExtStringGrid::SetActiveCellShow(bool on)
{
    m_activeCellShow = on;
    invalidate();
}

void TExtStringGrid::SetActiveCellColor(Color c)
{
    m_activeCellColor = c;
    invalidate();
}

void TExtStringGrid::SetActiveCellColorTo(Color c)
{
    m_activeCellColorTo = c;
    invalidate();
}

void TExtStringGrid::SetActiveCellFont(const QFont& f)
{
    m_activeCellFont = f;
    invalidate();
}

void TExtStringGrid::SetFixedFont(const QFont& f)
{
    m_fixedFont = f;
    invalidate();
}

void TExtStringGrid::SetActiveCellFontColor(Color c)
{
    m_activeCellFontColor = c;
    invalidate();
}

void TExtStringGrid::SetVAlignment(TVAlignment v)
{
    m_vAlignment = v;
    m_vAlignFlags = v == vtaCenter ? platform::DT_VCENTER : v == vtaBottom ? platform::DT_BOTTOM : platform::DT_TOP;
    invalidate();
}

void TExtStringGrid::SetFlat(bool on)
{
    m_flat = on;
    if (!IsLoading())
        invalidate();
}

void TExtStringGrid::SetMaxEditLength(int n) { m_maxEditLength = n; }

void TExtStringGrid::SetSpreadSheet(bool on)
{
    // Switching spreadsheet mode off takes nothing away, and switches nothing on either.
    m_spreadSheet = on;
    if (!on)
        return;
    SetSelectionRectangle(true);
    SetSelectionResizer(true);
    Navigation.AllowSmartClipboard = true;
    setOptions(options() | platform::goRangeSelect | platform::goEditing);
    MouseActions.RangeSelectAndEdit = true;
}

void TExtStringGrid::SetAutoThemeAdapt(bool on)
{
    if (on == m_autoThemeAdapt)
        return;
    m_autoThemeAdapt = on;
    SearchFooter.AutoThemeAdapt = on;
    if (on && !IsLoading())
        AutoThemeAdaptSwitchedOn();
    if (IsLoading() || !m_windowCreated)
        return;
    TThemeNotifier* notifier = GetThemeNotifier(this);
    if (on) {
        invalidate();
        notifier->RegisterWindow(this);
    } else {
        notifier->UnRegisterWindow(this);
    }
}

void TExtStringGrid::SetBorderColor(Color c)
{
    if (c == m_borderColor)
        return;
    m_borderColor = c;
    update();
}

bool TExtStringGrid::InSizingZone(int x, int y) const
{
    int c = -1, r = -1;
    mouseToCell(x, y, c, r);
    if (c < 0 || r < 0)
        return false;
    const Rect rect = cellRect(c, r);
    bool result = false;
    if (r <= fixedRows() && options().testFlag(platform::goColSizing))
        result = std::abs(x - rect.left) < 4 || std::abs(x - rect.right) < 4;
    if (c <= fixedCols() && options().testFlag(platform::goRowSizing))
        result = std::abs(y - rect.top) < 4 || std::abs(y - rect.bottom) < 4;
    return result;
}

// --- notifications -----------------------------------------------------------------------------------------

void TExtStringGrid::CellsChanged(const QRect& r)
{
    if (OnCellsChanged)
        OnCellsChanged(this, r);
    for (const auto& n : m_notifiers)
        if (n)
            n->CellsChanged(r);
    CalcFooter(-1);
}

void TExtStringGrid::CellsLoaded() { CalcFooter(-1); }

void TExtStringGrid::ColumnValueChanged(int c) { CalcFooter(c); }

void TExtStringGrid::RememberCellValue(int c, int r)
{
    const int real = RealColIndex(c);
    m_rememberedCell = QPoint(real, r);
    m_rememberedValue = Cells(real, r);
    m_rememberedModified = RowModified(r);
}

void TExtStringGrid::RegisterNotifier(TGridChangeNotifier* n)
{
    for (const auto& p : m_notifiers)
        if (p.data() == n)
            return;
    m_notifiers.emplace_back(n);
}

void TExtStringGrid::UnRegisterNotifier(TGridChangeNotifier* n)
{
    m_notifiers.erase(std::remove_if(m_notifiers.begin(), m_notifiers.end(),
                                     [n](const QPointer<TGridChangeNotifier>& p) { return p.data() == n || !p; }),
                      m_notifiers.end());
}

void TExtStringGrid::ApplyVCLStyle()
{
    // The application has no styles of its own to adopt: the grid keeps its colours.
    m_useVCLStyles = false;
}

// --- the unit's one-time set-up ----------------------------------------------------------------------------

namespace {
TGridUnitState g_unit;
} // namespace

void GridInit()
{
    if (g_unit.InitCount++ > 0)
        return;
    g_unit.HookedGrid = nullptr;
    g_unit.RegisteredClasses = {
        QStringLiteral("TExtStringGrid"), QStringLiteral("TDropList"), QStringLiteral("TArrowWindow"),
        QStringLiteral("TGridCombo"), QStringLiteral("TGridSpin"), QStringLiteral("TGridTransEdit"),
        QStringLiteral("TGridTransCombo"), QStringLiteral("TGridCheckBox"), QStringLiteral("TGridEditBtn"),
        QStringLiteral("TGridDateTimePicker"), QStringLiteral("TGridUnitEditBtn"),
        QStringLiteral("TGridTrackbarDropDown"), QStringLiteral("TGridMemoDropDown"),
        QStringLiteral("TGridCalculatorDropDown"), QStringLiteral("TGridTimepickerDropDown"),
        QStringLiteral("TGridDetailPickerDropDown"), QStringLiteral("TGridGridDropDown"),
        QStringLiteral("TGridColorDropDown"), QStringLiteral("TGridImageDropDown"), QStringLiteral("TGridButton"),
        QStringLiteral("TGridDatePicker"), QStringLiteral("THeaderDragButton"), QStringLiteral("TControlEdit"),
        QStringLiteral("TControlCombo"), QStringLiteral("TScrollBar"), QStringLiteral("TExtRichEdit"),
        QStringLiteral("TFooterPanel"), QStringLiteral("TSearchPanel")};
    g_unit.ComCtl32Above469 = true;
    g_unit.GridClipboardFormat = QStringLiteral("application/x-varnetor-grid-cells");
    static const int editDone = QEvent::registerEventType();
    // The date pickers post the same registered message to themselves.
    static const int shiftFocus = platform::RegisterWindowMessage(QStringLiteral("DTPShiftFocus"));
    g_unit.GridEditDoneMsg = editDone;
    g_unit.GridDTPShiftFocusMsg = shiftFocus;
}

void GridFinalize()
{
    if (g_unit.InitCount == 0)
        return;
    if (--g_unit.InitCount == 0) {
        g_unit.HookedGrid = nullptr;
        g_unit.HintFontName.clear();
    }
}

const TGridUnitState& GridUnitState() { return g_unit; }

void SetGridHintFontName(const QString& name) { g_unit.HintFontName = name; }

} // namespace controls::grid
