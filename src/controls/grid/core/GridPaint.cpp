// What the string grid gives the base grid's painter until the full cell painter comes: the
// colours and fonts of a cell (fixed, selected, cell properties, the colour hooks) and its plain
// text, laid out in the cell with the grid's text offset.
#include "controls/grid/core/ExtStringGrid.h"

#include "controls/grid/html/HTMLDraw.h"
#include "controls/grid/util/ExtUtil.h"

namespace controls::grid {

void TExtStringGrid::GetDisplText(int c, int r, QString& value) const { TBaseGrid::GetDisplText(c, r, value); }

void TExtStringGrid::GetVisualProperties(int c, int r, TGridDrawState& state, bool, bool select, bool,
                                         TCellFormat& format)
{
    const int real = RealColIndex(c);
    const bool fixed = state.testFlag(platform::gdFixed) || IsFixed(c, r);
    format.font = fixed ? platform::Font{m_fixedFont, FontColor(), 0} : GridFont();
    format.brush = platform::Brush{fixed ? fixedColor() : color(), platform::BrushStyle::Solid};
    format.alignment = m_defaultAlignment;
    format.vAlignment = m_vAlignment;
    format.wordWrap = m_wordWrapEx;
    if (const TCellProperties* p = HasCellProperties(real, r) ? GetGridObject(real, r) : nullptr) {
        if (p->BrushColor() != platform::clNone)
            format.brush.color = p->BrushColor();
        format.colorTo = p->BrushColorTo();
        format.gradient = p->GradientDirection;
        format.alignment = p->Alignment();
        format.vAlignment = p->VAlignment();
        format.wordWrap = p->WordWrap();
    }
    GetCellColor(real, r, state, format.brush, format.font);
    GetCellAlignment(real, r, format.alignment, format.vAlignment);
    if (select && !fixed && state.testFlag(platform::gdSelected) && m_showSelection) {
        format.brush.color = m_SelectionColor;
        format.colorTo = m_SelectionColorTo;
        format.mirrorColor = m_SelectionMirrorColor;
        format.mirrorColorTo = m_SelectionMirrorColorTo;
        format.font.color = m_SelectionTextColor;
    }
}

void TExtStringGrid::DrawCellContents(platform::Canvas& canvas, int c, int r, const Rect& rect, TGridDrawState)
{
    const QString text = Cells(RealColIndex(c), r);
    if (text.isEmpty())
        return;
    const int dx = XYOffset.x();
    const int dy = XYOffset.y();
    Rect area{rect.left + dx - 1, rect.top + dy, rect.right - (XYOffsetTopLeftOnly ? 0 : dx), rect.bottom};
    if (!(EnableHTML && GetTextKind(text, true) == 1)) {
        // Plain text goes straight to the canvas, in one line unless the cell is multi-line.
        const unsigned flags = platform::DT_NOPREFIX | platform::DT_LEFT | m_vAlignFlags |
                               (Multilinecells ? (m_wordWrapEx ? platform::DT_WORDBREAK : 0u) : platform::DT_SINGLELINE);
        const platform::BkMode mode = canvas.bkMode();
        canvas.setBkMode(platform::BkMode::Transparent);
        canvas.drawText(text, area, flags);
        canvas.setBkMode(mode);
        return;
    }
    THTMLDrawParams params;
    params.WordWrap = m_wordWrapEx && Multilinecells;
    params.Images = m_gridImages;
    THTMLDrawResult result;
    HTMLDrawText(canvas, text, area, params, result);
}

} // namespace controls::grid
