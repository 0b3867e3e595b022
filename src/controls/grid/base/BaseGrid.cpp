#include "controls/grid/base/BaseGrid.h"

#include "controls/grid/base/UndoRedo.h"
#include "controls/grid/util/ExtUtil.h"

#include <algorithm>

namespace controls::grid {

using platform::Alignment;
using platform::Canvas;

// --- TCellProperties -----------------------------------------------------------------------

TCellProperties::TCellProperties(TBaseGrid* owner, int col, int row) : OwnerCol(col), OwnerRow(row), m_owner(owner)
{
    if (m_owner) {
        m_wordWrap = m_owner->WordWrap();
        m_owner->link(this);
    }
}

TCellProperties::~TCellProperties()
{
    // The cell's own graphic goes with it; other graphics belong to the application.
    if (GraphicObject && GraphicObject->ClassName() == QLatin1String("TCellGraphic"))
        delete GraphicObject;
    if (m_owner)
        m_owner->unlink(this);
}

void TCellProperties::repaint()
{
    if (m_owner && !m_owner->Destroying())
        m_owner->RepaintCell(OwnerCol, OwnerRow);
}

void TCellProperties::SetBrushColor(Color c)
{
    m_brushColor = c;
    repaint();
}

void TCellProperties::SetBrushColorTo(Color c)
{
    m_brushColorTo = c;
    repaint();
}

void TCellProperties::SetVAlignment(TVAlignment a)
{
    m_vAlignment = a;
    repaint();
}

void TCellProperties::SetWordWrap(bool on)
{
    m_wordWrap = on;
    repaint();
}

QPoint TCellProperties::GetBaseCell(int col, int row) const
{
    if (!IsBaseCell && CellSpanX != -1 && CellSpanY != -1)
        return QPoint(col - CellSpanX, row - CellSpanY);
    return QPoint(col, row);
}

void TCellProperties::Assign(const platform::TPersistent* source)
{
    const auto* s = dynamic_cast<const TCellProperties*>(source);
    if (!s) {
        TPersistent::Assign(source);
        return;
    }
    IsBaseCell = s->IsBaseCell;
    CellSpanX = s->CellSpanX;
    CellSpanY = s->CellSpanY;
    OwnerRow = s->OwnerRow;
    OwnerCol = s->OwnerCol;
    CellObject = s->CellObject;
    m_alignment = s->m_alignment;
    BorderColor = s->BorderColor;
    BorderWidth = s->BorderWidth;
    m_brushColor = s->m_brushColor;
    BrushStyle = s->BrushStyle;
    FontColor = s->FontColor;
    FontStyle = s->FontStyle;
    FontName = s->FontName;
    FontSize = s->FontSize;
    ReadOnly = s->ReadOnly;
    Editor = s->Editor;
    m_vAlignment = s->m_vAlignment;
    m_wordWrap = s->m_wordWrap;
    NodeLevel = s->NodeLevel;
    Control = s->Control;
}

// --- TBaseGrid: life -------------------------------------------------------------------------

TBaseGrid::TBaseGrid(QWidget* parent) : TObjStringGrid(parent)
{
    setGridLineWidth(0);
    setDefaultDrawing(false);
}

TBaseGrid::~TBaseGrid()
{
    m_destroying = true;
    // Every property object still alive, referenced by a cell or not, is freed here once.
    while (m_props)
        delete m_props;
}

void TBaseGrid::link(TCellProperties* p)
{
    p->m_next = m_props;
    if (m_props)
        m_props->m_prev = p;
    m_props = p;
    ++m_propsAlive;
    m_hasCellProps = true;
}

void TBaseGrid::unlink(TCellProperties* p)
{
    if (p->m_prev)
        p->m_prev->m_next = p->m_next;
    else if (m_props == p)
        m_props = p->m_next;
    if (p->m_next)
        p->m_next->m_prev = p->m_prev;
    p->m_prev = p->m_next = nullptr;
    --m_propsAlive;
}

// --- cell access ---------------------------------------------------------------------------

bool TBaseGrid::HasCellProperties(int col, int row) const
{
    if (col < 0 || row < 0 || col >= TotalColCount() || row >= rowCount())
        return false;
    return objects(col, row) != nullptr;
}

TCellProperties* TBaseGrid::GetGridObject(int col, int row) const
{
    return static_cast<TCellProperties*>(objects(col, row));
}

void TBaseGrid::SetGridObject(int col, int row, TCellProperties* value) { setObjects(col, row, value); }

bool TBaseGrid::FindBaseCell(int col, int row, int& baseCol, int& baseRow) const
{
    baseCol = col;
    baseRow = row;
    if (!HasCellProperties(col, row))
        return true;
    const QPoint b = GetGridObject(col, row)->GetBaseCell(col, row);
    baseCol = b.x();
    baseRow = b.y();
    return baseCol == col && baseRow == row;
}

QString TBaseGrid::GetCellEx(int col, int row) const
{
    int bc = col, br = row;
    FindBaseCell(col, row, bc, br);
    QString result = cells(bc, br);
    if (br < m_normalRowCount) {
        GetDisplText(bc, br, result);
        if (OnGetDisplWideText) {
            QString wide = DecodeWideCellText(result);
            GetDisplWideText(bc, br, wide);
            result = EncodeWideCellText(wide);
        }
    }
    return result;
}

void TBaseGrid::SetCellEx(int col, int row, const QString& value)
{
    if (HasCellProperties(col, row)) {
        int bc = col, br = row;
        FindBaseCell(col, row, bc, br);
        setCells(bc, br, value);
        CellTextChanged(bc, br);
        if (parentWidget())
            RepaintCell(col, row);
    } else {
        setCells(col, row, value);
    }
    if (m_hideLastRow && row == rowCount() - 1)
        LastRowChanged();
}

TCellProperties* TBaseGrid::GetCellProperties(int col, int row)
{
    if (!objects(col, row)) {
        auto* p = new TCellProperties(this, col, row);
        setObjects(col, row, p);
        TCellFormat f;
        f.font = GridFont();
        f.brush = platform::Brush{color(), platform::BrushStyle::Solid};
        f.wordWrap = m_wordWrap;
        GetCellFormat(col, row, f);
        p->CalcType = acNONE;
        p->SetAlignment(f.alignment);
        p->SetVAlignment(f.vAlignment);
        p->SetWordWrap(f.wordWrap);
        p->FontName = f.font.font.family();
        p->FontSize = FontPointSize(f.font.font);
        p->FontStyle = FontStylesOf(f.font.font);
        p->FontColor = f.font.color;
        p->SetBrushColor(f.brush.color);
        p->SetBrushColorTo(f.colorTo);
        p->GradientDirection = f.gradient;
    }
    return GetGridObject(col, row);
}

void TBaseGrid::SetCellProperties(int col, int row, TCellProperties* value)
{
    TCellProperties* old = GetGridObject(col, row);
    if (old == value)
        return;
    setObjects(col, row, value);
    delete old;
}

void* TBaseGrid::GetObjectEx(int col, int row) const
{
    const TCellProperties* p = GetGridObject(col, row);
    return p ? p->CellObject : nullptr;
}

void TBaseGrid::SetObjectEx(int col, int row, void* value)
{
    const bool wasEmpty = GetCellEx(col, row).isEmpty();
    if (wasEmpty)
        SetCellEx(col, row, QStringLiteral(" "));
    GetCellProperties(col, row)->CellObject = value;
    if (wasEmpty)
        SetCellEx(col, row, QString());
}

platform::TObject* TBaseGrid::GetGraphicObjectEx(int col, int row) const
{
    const TCellProperties* p = GetGridObject(col, row);
    return p ? p->GraphicObject : nullptr;
}

void TBaseGrid::SetGraphicObjectEx(int col, int row, platform::TObject* value)
{
    if (m_destroying)
        return;
    const bool wasEmpty = GetCellEx(col, row).isEmpty();
    if (wasEmpty)
        SetCellEx(col, row, QStringLiteral(" "));
    GetCellProperties(col, row)->GraphicObject = value;
    if (wasEmpty)
        SetCellEx(col, row, QString());
}

platform::TObject* TBaseGrid::GetPropGraphic(const TCellProperties* props) { return props ? props->GraphicObject : nullptr; }

void TBaseGrid::ResetColumn(int col)
{
    for (int r = 0; r < rowCount(); ++r) {
        setObjects(col, r, nullptr);
        SetCellEx(col, r, QString());
    }
}

void TBaseGrid::ResetRow(int row)
{
    for (int c = 0; c < TotalColCount(); ++c) {
        setObjects(c, row, nullptr);
        SetCellEx(c, row, QString());
    }
}

void TBaseGrid::ResetCell(int col, int row)
{
    SetCellEx(col, row, QString());
    setObjects(col, row, nullptr);
}

void TBaseGrid::FreeCellPropsRect(int col1, int row1, int col2, int row2)
{
    if (!m_hasCellProps || m_propsAlive == 0)
        return;
    for (int r = row1; r <= row2; ++r)
        for (int c = col1; c <= col2; ++c)
            FreeCellProps(c, r);
}

void TBaseGrid::FreeCellProps(int col, int row)
{
    TCellProperties* p = GetGridObject(col, row);
    if (!p)
        return;
    setObjects(col, row, nullptr);
    delete p;
}

// --- merged cells ----------------------------------------------------------------------------

void TBaseGrid::MergeCells(int col, int row, int spanX, int spanY)
{
    ++m_mergeCount;
    for (int i = col; i < col + spanX; ++i) {
        for (int j = row; j < row + spanY; ++j) {
            TCellProperties* p = GetCellProperties(i, j);
            if (i == col && j == row) {
                p->IsBaseCell = true;
                p->CellSpanX = spanX - 1;
                p->CellSpanY = spanY - 1;
            } else {
                p->IsBaseCell = false;
                p->CellSpanX = i - col;
                p->CellSpanY = j - row;
            }
        }
    }
    for (int i = col; i < col + spanX; ++i)
        for (int j = row; j < row + spanY; ++j)
            RepaintCell(i, j);
}

void TBaseGrid::SplitCells(int col, int row)
{
    TCellProperties* p = GetCellProperties(col, row);
    const QPoint b = p->GetBaseCell(col, row);
    TCellProperties* base = GetCellProperties(b.x(), b.y());
    const int sx = base->CellSpanX;
    const int sy = base->CellSpanY;
    for (int i = b.x(); i <= b.x() + sx; ++i) {
        for (int j = b.y(); j <= b.y() + sy; ++j) {
            TCellProperties* q = GetCellProperties(i, j);
            q->IsBaseCell = true;
            q->CellSpanX = -1;
            q->CellSpanY = -1;
        }
    }
    for (int i = b.x(); i <= b.x() + sx; ++i)
        for (int j = b.y(); j <= b.y() + sy; ++j)
            RepaintCell(i, j);
    --m_mergeCount;
}

QPoint TBaseGrid::BaseCell(int col, int row) const
{
    int bc = col, br = row;
    FindBaseCell(col, row, bc, br);
    return QPoint(bc, br);
}

bool TBaseGrid::IsBaseCell(int col, int row) const
{
    if (!HasCellProperties(col, row))
        return true;
    return GetGridObject(col, row)->IsBaseCell;
}

bool TBaseGrid::IsMergedCell(int col, int row) const
{
    if (!HasCellProperties(col, row))
        return false;
    const TCellProperties* p = GetGridObject(col, row);
    return p->CellSpanX > 0 || p->CellSpanY > 0;
}

bool TBaseGrid::IsMergedNonBaseCell(int col, int row) const { return IsMergedCell(col, row) && !IsBaseCell(col, row); }

bool TBaseGrid::IsXMergedCell(int col, int row) const
{
    if (!HasCellProperties(col, row))
        return false;
    const QPoint b = BaseCell(col, row);
    const TCellProperties* base = HasCellProperties(b.x(), b.y()) ? GetGridObject(b.x(), b.y()) : nullptr;
    return base && base->CellSpanX > 0;
}

bool TBaseGrid::IsYMergedCell(int col, int row) const
{
    if (!HasCellProperties(col, row))
        return false;
    const QPoint b = BaseCell(col, row);
    const TCellProperties* base = HasCellProperties(b.x(), b.y()) ? GetGridObject(b.x(), b.y()) : nullptr;
    return base && base->CellSpanY > 0;
}

QPoint TBaseGrid::CellSpan(int col, int row) const
{
    if (!HasCellProperties(col, row))
        return QPoint(0, 0);
    const TCellProperties* p = GetGridObject(col, row);
    if (p->CellSpanX == -1 || p->CellSpanY == -1)
        return QPoint(0, 0);
    const QPoint b = p->GetBaseCell(col, row);
    const TCellProperties* base = HasCellProperties(b.x(), b.y()) ? GetGridObject(b.x(), b.y()) : nullptr;
    if (!base)
        return QPoint(0, 0);
    return QPoint(std::max(0, base->CellSpanX), std::max(0, base->CellSpanY));
}

QPoint TBaseGrid::CellExt(int col, int row) const
{
    if (!HasCellProperties(col, row))
        return QPoint(0, 0);
    const TCellProperties* p = GetGridObject(col, row);
    if (p->CellSpanX == -1 || p->CellSpanY == -1)
        return QPoint(0, 0);
    const QPoint b = p->GetBaseCell(col, row);
    const QPoint span = CellSpan(col, row);
    return QPoint(b.x() + span.x() - col, b.y() + span.y() - row);
}

TGridRect TBaseGrid::FullCell(int col, int row) const
{
    const QPoint b = BaseCell(col, row);
    const QPoint span = CellSpan(col, row);
    return TGridRect{b.x(), b.y(), b.x() + span.x(), b.y() + span.y()};
}

int TBaseGrid::MinRowSpan(int row) const
{
    int result = rowCount();
    for (int c = 0; c < colCount(); ++c) {
        const int y = CellSpan(c, row).y();
        if (y > 0 && y < result)
            result = y;
    }
    return result;
}

int TBaseGrid::MaxRowSpan(int row) const
{
    int result = 0;
    for (int c = 0; c < colCount(); ++c)
        result = std::max(result, CellSpan(c, row).y());
    return result;
}

bool TBaseGrid::RowSpanIdentical(int row1, int row2) const
{
    bool found = false;
    for (int c = 0; c < colCount(); ++c) {
        if (CellSpan(c, row1).y() > 0 && CellSpan(c, row2).y() > 0) {
            found = true;
            if (BaseCell(c, row1).y() != BaseCell(c, row2).y())
                return false;
        }
    }
    return found;
}

bool TBaseGrid::ColSpanIdentical(int col1, int col2) const
{
    bool found = false;
    for (int r = 0; r < rowCount(); ++r) {
        const int s1 = CellSpan(col1, r).x();
        const int s2 = CellSpan(col2, r).x();
        if (s1 > 0 && s2 > 0) {
            found = true;
            if (BaseCell(col1, r).x() != BaseCell(col2, r).x())
                return false;
        } else if (s1 != s2) {
            return false;
        }
    }
    return found;
}

// --- geometry ---------------------------------------------------------------------------------

int TBaseGrid::FixedColsWidth() const
{
    int w = 0;
    for (int c = 0; c < fixedCols(); ++c)
        w += colWidths(c);
    return w;
}

int TBaseGrid::FixedRowsHeight() const
{
    int h = 0;
    for (int r = 0; r < fixedRows(); ++r)
        h += rowHeights(r);
    return h;
}

Rect TBaseGrid::CalcCellRect(int col, int row) const
{
    // Measured from the first scrollable cell in view, so the cost is the distance from the
    // view, not the index.
    auto axis = [](int index, int fixed, int first, int fixedExtent, auto extentOf) {
        int pos = 0;
        if (index < fixed) {
            for (int i = 0; i < index; ++i)
                pos += extentOf(i);
            return pos;
        }
        pos = fixedExtent;
        if (index >= first) {
            for (int i = first; i < index; ++i)
                pos += extentOf(i);
        } else {
            for (int i = index; i < first; ++i)
                pos -= extentOf(i);
        }
        return pos;
    };
    const int x = axis(col, fixedCols(), leftCol(), FixedColsWidth(), [this](int i) { return colWidths(i); });
    const int y = axis(row, fixedRows(), topRow(), FixedRowsHeight(), [this](int i) { return rowHeights(i); });
    return Rect{x, y, x + colWidths(col), y + rowHeights(row)};
}

Rect TBaseGrid::CellRect(int col, int row) const
{
    if (HasCellProperties(col, row)) {
        const TCellProperties* p = GetGridObject(col, row);
        if (p->CellSpanX != -1 || p->CellSpanY != -1) {
            const QPoint b = p->GetBaseCell(col, row);
            const QPoint span = CellSpan(col, row);
            Rect r1 = CalcCellRect(b.x(), b.y());
            if (r1.width() == 0)
                r1.right += 1;
            Rect r2 = CalcCellRect(b.x() + span.x(), b.y() + span.y());
            if (r2.width() == 0)
                r2 = r2.offset(-1, 0);
            return Rect{std::min(r1.left, r2.left), std::min(r1.top, r2.top), std::max(r1.right, r2.right),
                        std::max(r1.bottom, r2.bottom)};
        }
        if (p->Control)
            return CalcCellRect(col, row);
    }
    Rect r = cellRect(col, row);
    if (r == Rect{})
        return r;
    r.right = r.left + colWidths(col);
    r.bottom = r.top + rowHeights(row);
    return r;
}

QPoint TBaseGrid::CellSize(int col, int row) const
{
    Rect r;
    if (HasCellProperties(col, row) && GetGridObject(col, row)->IsMerged())
        r = CellRect(col, row);
    else
        r = CalcCellRect(col, row);
    return QPoint(r.width(), r.height());
}

void TBaseGrid::RepaintCell(int col, int row)
{
    if (m_destroying || !viewport()->isVisible())
        return;
    const Rect r = CellRect(col, row);
    if (!r.isEmpty())
        viewport()->update(r.toQRect());
}

// --- settings -----------------------------------------------------------------------------------

void TBaseGrid::SetActiveRowShow(bool on)
{
    if (on == m_activeRowShow)
        return;
    m_activeRowShow = on;
    invalidate();
}

void TBaseGrid::SetActiveRowColor(Color c)
{
    if (c == m_activeRowColor)
        return;
    m_activeRowColor = c;
    invalidate();
}

void TBaseGrid::SetActiveRowColorTo(Color c)
{
    if (c == m_activeRowColorTo)
        return;
    m_activeRowColorTo = c;
    invalidate();
}

void TBaseGrid::SetActiveRowMirrorColor(Color c)
{
    if (c == m_activeRowMirrorColor)
        return;
    m_activeRowMirrorColor = c;
    invalidate();
}

void TBaseGrid::SetActiveRowMirrorColorTo(Color c)
{
    if (c == m_activeRowMirrorColorTo)
        return;
    m_activeRowMirrorColorTo = c;
    invalidate();
}

void TBaseGrid::SetDefaultDrawing(bool on)
{
    m_defaultDrawing = on;
    setDefaultDrawing(false);
}

void TBaseGrid::SetGridLineWidth(int w)
{
    m_gridLineWidth = w;
    setGridLineWidth(0);
    invalidate();
}

void TBaseGrid::SetGridLineColor(Color c)
{
    m_gridLineColor = c;
    invalidate();
}

void TBaseGrid::SetGridFixedLineColor(Color c)
{
    m_gridFixedLineColor = c;
    invalidate();
}

void TBaseGrid::SetSelectionStyle(TGridSelectionStyle s)
{
    if (s == m_selectionStyle)
        return;
    m_selectionStyle = s;
    invalidate();
}

void TBaseGrid::SetFontColor(Color c)
{
    m_fontColor = c;
    invalidate();
}

void TBaseGrid::SetUndoRedo(TExtGridUndoRedo* u)
{
    m_undoRedo = u;
    if (u)
        u->SetGrid(this);
}

// --- hooks ------------------------------------------------------------------------------------

bool TBaseGrid::IsFixed(int, int) const { return false; }
int TBaseGrid::GetNodeIndent(int) const { return 0; }
bool TBaseGrid::HasNodes() const { return false; }
void TBaseGrid::LastRowChanged() {}

void TBaseGrid::GetDisplText(int col, int row, QString& value) const
{
    if (OnGetDisplText)
        OnGetDisplText(const_cast<TBaseGrid*>(this), col, row, value);
}

void TBaseGrid::GetDisplWideText(int col, int row, QString& value) const
{
    if (OnGetDisplWideText)
        OnGetDisplWideText(const_cast<TBaseGrid*>(this), col, row, value);
}

void TBaseGrid::GetCellFormat(int, int, TCellFormat& format)
{
    format.font = GridFont();
    format.brush = platform::Brush{color(), platform::BrushStyle::Solid};
    format.colorTo = platform::clNone;
    format.mirrorColor = platform::clNone;
    format.mirrorColorTo = platform::clNone;
    format.alignment = Alignment::taLeftJustify;
    format.vAlignment = vtaTop;
    format.wordWrap = m_wordWrap;
    format.gradient = GradientVertical;
}

void TBaseGrid::CellTextChanged(int, int) {}
bool TBaseGrid::HasCellBorderEvent() const { return false; }
bool TBaseGrid::UseVCLStyles() const { return false; }
void TBaseGrid::GetVisualProperties(int, int, TGridDrawState&, bool, bool, bool, TCellFormat&) {}
int TBaseGrid::DisplColIndex(int col) const { return col; }
int TBaseGrid::TotalColCount() const { return colCount(); }

// --- navigation over merged blocks ----------------------------------------------------------------

void TBaseGrid::MoveToBaseCell()
{
    if (!HasCellProperties(col(), row()))
        return;
    const QPoint b = GetGridObject(col(), row())->GetBaseCell(col(), row());
    if (b.x() != col())
        setCol(b.x());
    if (b.y() != row())
        setRow(b.y());
}

bool TBaseGrid::selectCell(int c, int r)
{
    RepaintCell(col(), row());
    const bool result = TObjStringGrid::selectCell(c, r);
    RepaintCell(c, r);
    return result;
}

void TBaseGrid::keyDown(quint16& key, platform::TShiftState shift)
{
    const bool hasProps = HasCellProperties(col(), row());
    const TCellProperties* s = nullptr;
    int bx = col(), by = row();
    if (hasProps) {
        const QPoint b = GetGridObject(col(), row())->GetBaseCell(col(), row());
        bx = b.x();
        by = b.y();
        s = HasCellProperties(bx, by) ? GetGridObject(bx, by) : nullptr;
    }
    switch (key) {
    case platform::VK_NEXT:
        // At the bottom the hidden last row is not a place to go: the key ends above it.
        if (visibleRowCount() + topRow() - fixedRows() == rowCount() - 1 && m_hideLastRow && rowCount() > 1) {
            setRow(rowCount() - 2);
            key = 0;
        }
        break;
    case platform::VK_RIGHT:
        if (s && s->CellSpanX >= 0) {
            const int last = bx + s->CellSpanX;
            if (last >= col() && col() < colCount() - 1 && bx < colCount() - 1 && last < colCount())
                setCol(last);
        }
        break;
    case platform::VK_DOWN:
        if (s && s->CellSpanY >= 0) {
            const int last = by + s->CellSpanY;
            if (last >= row() && row() < rowCount() - 1 && by < rowCount() - 1)
                setRow(last);
        }
        break;
    case platform::VK_LEFT:
        // Step to the column just left of the block: the platform's step then lands on it.
        if (s && bx < col() && col() > fixedCols() && bx > 0)
            setCol(bx);
        break;
    case platform::VK_UP:
        if (s && by < row() && row() > fixedRows() && by > 0)
            setRow(by);
        break;
    default:
        break;
    }
    TObjStringGrid::keyDown(key, shift);
    MoveToBaseCell();
}

bool TBaseGrid::doMouseWheelDown(platform::TShiftState shift, QPoint mousePos)
{
    const bool result = TObjStringGrid::doMouseWheelDown(shift, mousePos);
    if (row() > topRow() + visibleRowCount() && row() != rowCount() - 1 && m_hideLastRow)
        setTopRow(topRow() + 1);
    MoveToBaseCell();
    return result;
}

bool TBaseGrid::doMouseWheelUp(platform::TShiftState shift, QPoint mousePos)
{
    const bool result = TObjStringGrid::doMouseWheelUp(shift, mousePos);
    MoveToBaseCell();
    return result;
}

void TBaseGrid::topLeftChanged()
{
    TObjStringGrid::topLeftChanged();
    RepaintFixedColMerges();
    RepaintFixedRowMerges();
}

void TBaseGrid::RepaintFixedColMerges()
{
    if (fixedCols() == 0 || !m_hasCellProps)
        return;
    const int last = std::min(rowCount() - 1, topRow() + visibleRowCount());
    for (int r = topRow(); r <= last; ++r)
        for (int c = 0; c < fixedCols(); ++c)
            if (IsMergedCell(c, r))
                RepaintCell(c, r);
}

void TBaseGrid::RepaintFixedRowMerges()
{
    if (fixedRows() == 0 || !m_hasCellProps)
        return;
    const int last = std::min(colCount() - 1, leftCol() + visibleColCount());
    for (int c = leftCol(); c <= last; ++c)
        for (int r = 0; r < fixedRows(); ++r)
            if (IsMergedCell(c, r))
                RepaintCell(c, r);
}

} // namespace controls::grid
