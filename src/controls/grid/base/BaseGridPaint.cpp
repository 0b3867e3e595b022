// How the base grid paints one cell: background (hover row, active row, selection styles,
// gradients), its own grid lines, the hidden last row, and merged blocks painted once per paint
// pass through their base cell; then the content painter draws into the cell.
#include "controls/grid/base/BaseGrid.h"

#include "controls/grid/base/UndoRedo.h"
#include "controls/grid/util/ExtDraw.h"

#include <QWidget>
#include <algorithm>

namespace controls::grid {

using platform::BrushStyle;
using platform::Canvas;
using platform::clNone;
using platform::PenStyle;

namespace {

struct SelectionColors {
    Color fill, fillTo, mirror, mirrorTo, innerTop, innerBottom, frame, corner;
};

SelectionColors selectionColors(TGridSelectionStyle style, bool active)
{
    if (!active)
        return {0xF8F8F8, 0xE5E5E5, clNone, clNone, 0xFBFAFA, 0xF0F0F0, 0xD9D9D9, 0xEFEFEF};
    switch (style) {
    case ssWin7:
        return {0xFCEBDC, 0xFCDBC1, clNone, clNone, 0xFDF4EB, 0xFDEADB, 0xCEA27D, 0xE0C5AE};
    case ssOffice2007:
        return {0xD7FFFD, 0x58D4FC, 0x58D4FC, 0xB3F1FC, 0xF4FEFF, 0xCAF8FF, 0x8DD7D3, 0xC3D9DF};
    default:
        return {0xFDF8F1, 0xFCEFD5, clNone, clNone, 0xFDFBF6, 0xFDF5E7, 0xFDDE99, 0xFCEDCB};
    }
}

} // namespace

void TBaseGrid::PaintCell(Canvas& canvas, int col, int row, const Rect& rect, TGridDrawState state)
{
    doPaintCell(canvas, col, row, rect, state, true);
}

void TBaseGrid::PaintCellExt(Canvas& canvas, int col, int row, const Rect& rect, TGridDrawState state)
{
    doPaintCell(canvas, col, row, rect, state, false);
}

void TBaseGrid::drawCell(int col, int row, const Rect& rect, TGridDrawState state)
{
    Canvas& c = canvas();
    // A block reached through its base cell takes the paint pass too, so no other cell of the
    // block paints it again in this pass.
    if (HasCellProperties(col, row)) {
        TCellProperties* p = GetGridObject(col, row);
        if (p->IsBaseCell && (p->CellSpanX > 0 || p->CellSpanY > 0)) {
            if (p->PaintID == m_paintID)
                return;
            p->PaintID = m_paintID;
        }
    }
    doPaintCell(c, col, row, rect, state, true);
}

void TBaseGrid::paint()
{
    TObjStringGrid::paint();
    ++m_paintID;
}

void TBaseGrid::doPaintCell(Canvas& canvas, int col, int row, Rect rect, TGridDrawState state, bool full)
{
    if (row == rowCount() - 1 && m_hideLastRow) {
        canvas.pen() = platform::Pen{color(), 1, PenStyle::Solid};
        canvas.brush() = platform::Brush{color(), BrushStyle::Solid};
        canvas.fillRect(rect);
        return;
    }

    int bc = col, br = row;
    if (!FindBaseCell(col, row, bc, br)) {
        if (HasCellProperties(bc, br)) {
            TCellProperties* base = GetGridObject(bc, br);
            if (base->PaintID != m_paintID) {
                base->PaintID = m_paintID;
                PaintCell(canvas, bc, br, rect, state);
            }
        }
        return;
    }

    const bool fixedCell = IsFixed(col, row) || state.testFlag(platform::gdFixed);
    if (IsFixed(col, row) && full) {
        state &= ~TGridDrawState(platform::gdSelected);
        state |= platform::gdFixed;
    }
    // A merged block paints over its whole rectangle; any other cell has the one it was given.
    if (full && HasCellProperties(col, row) && GetGridObject(col, row)->IsMerged()) {
        const Rect whole = CellRect(col, row);
        if (!whole.isEmpty())
            rect = whole;
    }

    // A block that reaches under the fixed cells is clipped to the scrollable area.
    const int fw = col >= fixedCols() ? FixedColsWidth() : 0;
    const int fh = row >= fixedRows() ? FixedRowsHeight() : 0;
    bool clipped = false;
    if ((col >= fixedCols() && fixedCols() > 0 && rect.left < fw) ||
        (row >= fixedRows() && fixedRows() > 0 && rect.top < fh)) {
        canvas.saveState();
        canvas.intersectClipRect(Rect{fw, fh, width(), height()});
        clipped = true;
    }

    canvas.pen().width = 1;
    canvas.pen().style = PenStyle::Solid;
    TCellFormat f;
    f.font = GridFont();
    f.brush = platform::Brush{state.testFlag(platform::gdFixed) ? fixedColor() : color(), BrushStyle::Solid};
    f.wordWrap = m_wordWrap;
    GetVisualProperties(col, row, state, false, true, true, f);
    canvas.font() = f.font;

    const bool selected = state.testFlag(platform::gdSelected);
    if (row == HoverRowIdx && HoverRow && !(selected && !(HoverRowCells & hcSelected)) &&
        !(fixedCell && !(HoverRowCells & hcFixed))) {
        f.brush.color = HoverRowColor;
        f.colorTo = HoverRowColorTo;
        f.mirrorColor = clNone;
        f.mirrorColorTo = clNone;
        f.gradient = GradientVertical;
    }
    if ((m_activeRowShow && row == this->row() && (col != this->col() || !m_showSel) && col >= fixedCols()) ||
        (!full && selected)) {
        f.brush.color = m_activeRowColor;
        f.colorTo = m_activeRowColorTo;
        f.mirrorColor = m_activeRowMirrorColor;
        f.mirrorColorTo = m_activeRowMirrorColorTo;
    }
    canvas.brush() = f.brush;
    canvas.pen().color = f.brush.color;

    if (selected && m_selectionStyle != ssDefault && m_showSel) {
        const TGridRect sel = selection();
        const int left = std::min(sel.Left, sel.Right);
        const int right = std::max(sel.Left, sel.Right);
        int side = 0;
        if (col == left && left < right)
            side = 1;
        else if (col == right && right > left)
            side = 2;
        else if (left < col && col < right)
            side = 3;
        Rect block = rect;
        if (!options().testFlag(platform::goHorzLine))
            block.bottom += 1;
        if (!options().testFlag(platform::goVertLine))
            block.right += 1;
        if (layoutDirection() == Qt::RightToLeft) {
            block.right += 1;
            block.bottom += 1;
        }
        const bool active = hasFocus() || options().testFlag(platform::goDrawFocusSelected);
        const SelectionColors s = selectionColors(m_selectionStyle, active);
        DrawSelectionBlock(canvas, s.fill, s.fillTo, s.mirror, s.mirrorTo, s.innerTop, s.innerBottom, s.frame, s.corner,
                           color(), block, side);
    } else if (!(UseVCLStyles() && (fixedCell || selected))) {
        if (f.mirrorColorTo == clNone && (f.colorTo == clNone || f.brush.color == clNone)) {
            // One colour: the gradient would be a single solid band.
            canvas.brush() = platform::Brush{f.colorTo == clNone ? f.brush.color : f.colorTo, BrushStyle::Solid};
            canvas.fillRect(rect);
        } else if (f.mirrorColorTo == clNone)
            DrawGradient(canvas, f.brush.color, f.colorTo, 64, rect, f.gradient == GradientHorizontal);
        else
            DrawGradientBackground(canvas, rect, f.brush.color, f.colorTo, f.mirrorColor, f.mirrorColorTo, true, clNone,
                                   false, true);
    }

    // Grid lines.
    int h;
    if (fixedCell) {
        canvas.pen().color = m_gridFixedLineColor;
        canvas.pen().width = 1;
        h = 1;
    } else {
        if (m_gridLineWidth > 0)
            canvas.pen().color = m_gridLineColor;
        else
            canvas.pen().color = f.brush.color;
        canvas.pen().width = std::max(1, m_gridLineWidth);
        h = (m_gridLineWidth + 1) / 2;
    }
    canvas.pen().style = PenStyle::Solid;
    const bool horz = fixedCell ? options().testFlag(platform::goFixedHorzLine) : options().testFlag(platform::goHorzLine);
    const bool vert = fixedCell ? options().testFlag(platform::goFixedVertLine) : options().testFlag(platform::goVertLine);
    if (horz && !(bc == 0 && HasNodes())) {
        canvas.moveTo(rect.left - h + 1, rect.bottom - h);
        canvas.lineTo(rect.right - h + 1, rect.bottom - h);
    }
    if (vert) {
        const int x = rect.right - h + (layoutDirection() == Qt::RightToLeft ? 1 : 0);
        canvas.moveTo(x, rect.bottom - h);
        canvas.lineTo(x, rect.top - h);
    }

    if (full) {
        Rect content = rect;
        if (fixedCell) {
            content.right -= 1;
            content.bottom -= 2;
        } else {
            content = rect.inflated(-m_gridLineWidth, -m_gridLineWidth);
        }
        DrawCellContents(canvas, col, row, content, state);
    }

    if (clipped)
        canvas.restoreState();
    canvas.brush().style = BrushStyle::Solid;
    canvas.pen().style = PenStyle::Solid;
}

void TBaseGrid::DrawCellContents(Canvas& canvas, int col, int row, const Rect& rect, TGridDrawState)
{
    Rect r = rect;
    const platform::BkMode mode = canvas.bkMode();
    canvas.setBkMode(platform::BkMode::Transparent);
    canvas.drawText(GetCellEx(col, row), r,
                    platform::DT_CENTER | platform::DT_VCENTER | platform::DT_SINGLELINE | platform::DT_NOPREFIX);
    canvas.setBkMode(mode);
}

} // namespace controls::grid
