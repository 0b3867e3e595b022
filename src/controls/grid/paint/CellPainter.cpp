// The inside of one cell: fixed-cell looks, markers, buttons, the text, borders, tree lines, the
// graphic, the drawing events and the focus rectangle, in that order.
#include "controls/grid/paint/GridPaint.h"
#include "controls/grid/paint/CellPaintState.h"

#include "controls/grid/core/RichText.h"
#include "controls/grid/html/HTMLDraw.h"
#include "controls/grid/html/HTMLUtil.h"
#include "controls/grid/util/ExtDraw.h"
#include "controls/grid/util/ExtUtil.h"
#include "platform/draw/Frames.h"
#include "platform/draw/Theme.h"

#include <QApplication>
#include <QCursor>

namespace controls::grid {

using platform::Alignment;
using platform::Brush;
using platform::BrushStyle;
using platform::clNone;
using platform::Pen;
using platform::PenStyle;


namespace {

void penAndBrush(Canvas& canvas, Color c)
{
    canvas.pen() = Pen{c, 1, PenStyle::Solid};
    canvas.brush() = Brush{c, BrushStyle::Solid};
}

void line(Canvas& canvas, int x1, int y1, int x2, int y2)
{
    canvas.moveTo(x1, y1);
    canvas.lineTo(x2, y2);
}

} // namespace

void TExtStringGridPaint::DrawCellContents(Canvas& canvas, int col, int row, const Rect& rect, TGridDrawState state)
{
    CellPaint p;
    p.ACol = col;
    p.ARow = row;
    p.State = state;
    p.CellRect = rect;
    p.RCol = RealColIndex(col);
    p.SelRow = MouseActions.DisjunctRowSelect() && MouseActions.RowSelectPersistent ? RealRowIndex(row) : row;
    p.FilterGlyph = row == FilterDropDownRow && FilterDropDownAuto && GetColumnFilter(p.RCol);

    // The colours and font the cell is drawn in.
    p.Format.font = canvas.font();
    p.Format.brush = canvas.brush();
    p.Format.wordWrap = WordWrap();
    GetVisualProperties(col, row, p.State, false, false, true, p.Format);
    canvas.font() = p.Format.font;
    canvas.brush() = p.Format.brush;

    p.Graphic = GetCellGraphicInfo(p.RCol, row);

    if (state.testFlag(platform::gdSelected) && !state.testFlag(platform::gdFocused) && SelectionColor() == clNone)
        canvas.brush().color = platform::clHighlight;

    if (ZoomFactor() != 0 && canvas.font().font.pointSize() > 0)
        canvas.font().font.setPointSize(std::max(1, canvas.font().font.pointSize() + ZoomFactor()));
    p.SavedBrushColor = canvas.brush().color;
    p.SavedFontColor = canvas.font().color;
    p.IsFixedCell = IsFixed(col, row) || col < FixedCols() || row < FixedRows();
    if (HoverRow && row == HoverRowIdx && (HoverRowCells & hcFixed))
        p.IsFixedCell = false;

    if (p.IsFixedCell)
        DrawFixedLook(canvas, p);

    // The row indicator of the current row.
    const bool rowIndicator = p.RCol == 0 && row == this->row() && FixedCols() > 0 && !RowIndicator.isEmpty()
                              && !(RowCount() == FixedRows() && FixedRowAlways());
    if (rowIndicator) {
        int y = p.CellRect.top;
        if (VAlignment() == vtaCenter)
            y += (p.CellRect.height() - RowIndicator.height()) / 2;
        else if (VAlignment() == vtaBottom)
            y = p.CellRect.bottom - RowIndicator.height();
        platform::Bitmap glyph = RowIndicator;
        glyph.setTransparent(true);
        canvas.draw(p.CellRect.left + 2, y, glyph);
        p.CellRect.left += RowIndicator.width() + 2;
    }

    if (p.IsFixedCell && Look() == glListView && !Flat()) {
        if (IsWinXPOrLater() && platform::IsThemeActive()) {
            Rect r = p.CellRect;
            r.bottom += 1;
            const QPoint mouse = viewport()->mapFromGlobal(QCursor::pos());
            const bool inside = r.contains(mouse.x(), mouse.y());
            const platform::HTHEME theme = platform::OpenThemeData(this, QStringLiteral("header"));
            const int part = inside ? platform::HP_HEADERITEM : platform::HP_HEADERITEMRIGHT;
            const int stateId = !inside ? platform::HIS_NORMAL : m_mouseDownMove ? platform::HIS_PRESSED : platform::HIS_HOT;
            platform::DrawThemeBackground(theme, canvas, part, stateId, r);
            platform::CloseThemeData(theme);
            canvas.pen() = Pen{platform::clWhite, 1, PenStyle::Solid};
            line(canvas, r.left, r.top, r.right, r.top);
        } else {
            canvas.brush() = Brush{platform::clBtnFace, BrushStyle::Solid};
            canvas.pen() = Pen{platform::clWhite, 1, PenStyle::Solid};
            canvas.rectangle(p.CellRect);
        }
    }

    if (col == 0 && ShowModified.Enabled && RowModified(RealRowIndex(row))) {
        penAndBrush(canvas, ShowModified.Color());
        canvas.rectangle(Rect{p.CellRect.right - 4, p.CellRect.top, p.CellRect.right, p.CellRect.bottom});
    }

    if (OnCustomCellBkgDraw)
        OnCustomCellBkgDraw(this, canvas, p.RCol, row, p.State, p.CellRect, false);

    // Drop-down and spin buttons shown in every cell.
    const int rightEdge = p.CellRect.right;
    if (!p.IsFixedCell && (ControlLook.DropDownAlwaysVisible() || ControlLook.SpinButtonsAlwaysVisible())) {
        int look = ControlLook.FlatButton() ? blFlat : (platform::IsThemeActive() ? blTheme : blClassic);
        if (Flat() && Tones.Background.BrushColor != clNone)
            look = blTones;
        bool canEdit = true;
        CheckCanEdit(p.RCol, row, canEdit);
        const int buttonState = canEdit ? btsNormal : btsDisabled;
        if (ControlLook.DropDownAlwaysVisible() && HasComboBox(p.RCol, row)) {
            DrawDropDownButton(canvas, this, Rect{p.CellRect.left - 2, p.CellRect.top - 1, p.CellRect.right + 1, p.CellRect.bottom},
                               look, buttonState, Tones);
            p.CellRect.right -= 16;
        }
        if (ControlLook.SpinButtonsAlwaysVisible() && HasSpinEdit(p.RCol, row)) {
            DrawSpinButtons(canvas, this, p.CellRect, look, buttonState, Tones);
            p.CellRect.right -= 16;
        }
    }

    auto* interfaced = p.Graphic.Graphic && p.Graphic.Graphic->CellType == ctInterface
                           ? dynamic_cast<ICellGraphic*>(p.Graphic.Graphic->Object)
                           : nullptr;
    if (interfaced && interfaced->IsBackground()) {
        Rect r = p.CellRect.inflated(1, 1);
        DrawCellGraphic(canvas, p, r);
    }

    const bool drawEvent = bool(onDrawCell) || bool(OnCustomCellDraw);
    if (!(drawEvent && NoDefaultDraw) && !(p.Graphic.Graphic && NoImageAndText))
        DrawCellText(canvas, p);

    p.CellRect.right = rightEdge;
    canvas.brush().color = p.SavedBrushColor;
    canvas.font().color = p.SavedFontColor;

    DrawCellBorders(canvas, p.RCol, row, p.CellRect.inflated(1, 1));

    if (rowIndicator)
        p.CellRect.left -= RowIndicator.width();

    if (p.IsFixedCell && !Flat())
        DrawFixedEdges(canvas, p);
    // A fixed cell held down as a button (FixedAsButtons) shows sunken.
    if (p.IsFixedCell && m_fixedCellPushed && p.ACol == m_pushedFixed.X && p.ARow == m_pushedFixed.Y) {
        Rect a = p.CellRect;
        platform::DrawEdge(canvas, a, platform::BDR_SUNKENINNER, platform::BF_RIGHT | platform::BF_BOTTOM);
        a = p.CellRect;
        platform::DrawEdge(canvas, a, platform::BDR_SUNKENINNER, platform::BF_LEFT | platform::BF_TOP);
    }

    // Lines of the fixed right columns of a flat grid.
    if (FixedRightCols() > 0 && p.RCol >= TotalColCount() - FixedRightCols() && Look() != glClassic && Flat()) {
        canvas.pen() = Pen{platform::clGray, 1, PenStyle::Solid};
        const Rect& r = p.CellRect;
        if (options().testFlag(platform::goFixedHorzLine)) {
            line(canvas, r.left - 1, r.top - 1, r.right + 1, r.top - 1);
            line(canvas, r.left - 1, r.bottom + 1, r.right + 1, r.bottom + 1);
        }
        if (options().testFlag(platform::goFixedVertLine)) {
            line(canvas, r.left - 1, r.top - 1, r.left - 1, r.bottom + 1);
            line(canvas, r.right + 1, r.top - 1, r.right + 1, r.bottom + 1);
        }
    }

    DrawNodeLines(canvas, p);

    if (p.Graphic.Graphic && !(interfaced && interfaced->IsBackground())) {
        Rect r = p.CellRect;
        if (p.IsFixedCell && !interfaced)
            r.top += 1;
        DrawCellGraphic(canvas, p, r);
        if (!interfaced)
            p.CellRect = r;
    }

    if (onDrawCell) {
        const Rect r{p.CellRect.left + 1, p.CellRect.top + 1, p.CellRect.right - GridLineWidth(),
                     p.CellRect.bottom - GridLineWidth()};
        onDrawCell(this, p.RCol, row, r, p.State);
    }
    if (OnCustomCellDraw)
        OnCustomCellDraw(this, canvas, p.RCol, row, p.State, p.CellRect, false);

    // The focus rectangle, also around a merged cell whose base cell is current.
    if (!HideFocusRect) {
        const QPoint base = BaseCell(col, row);
        const bool current = base.x() == this->col() && base.y() == this->row();
        if (current && hasFocus() && !options().testFlag(platform::goRowSelect) && !IsFixed(this->col(), this->row())) {
            Rect r = p.CellRect.inflated(GridLineWidth() - 1, GridLineWidth() - 1);
            r.right -= 1;
            r.bottom -= 1;
            canvas.drawFocusRect(r);
        }
    }
}

bool TExtStringGridPaint::IsHoverFixed(int col, int row) const
{
    switch (HoverFixedCells) {
    case hfAll: return col < FixedCols() || row < FixedRows();
    case hfFixedColumns: return col < FixedCols();
    case hfFixedRows: return row < FixedRows();
    default: return false;
    }
}

void TExtStringGridPaint::DrawFixedLook(Canvas& canvas, CellPaint& p)
{
    const TGridLook look = Look();
    if (look != glVekko && look != glXP && look != glVista && look != glWin7 && look != glOffice2007)
        return;
    Rect& r = p.CellRect;
    const bool underMouse = m_hoverFixed.X == p.ACol && m_hoverFixed.Y == p.ARow && !m_colMoving;
    const bool moved = m_colMoving && p.ACol == m_colMoveIndex;
    const bool hot = IsHoverFixed(p.ACol, p.ARow) && !m_designing && (underMouse || moved);
    const bool fixedDropDown = ControlLook.FixedDropDownButton && CanShowFixedDropDown(p.RCol);
    if (hot) {
        Rect g = r;
        g.bottom += 1;
        const bool pressed = m_mouseDownMove || m_colMoving;
        auto hover = [&](const Rect& a, bool frame) {
            DrawGradientBackground(canvas, a, VekkoGradHoverFrom, VekkoGradHoverTo, VekkoGradHoverMirrorFrom,
                                   VekkoGradHoverMirrorTo, true, frame ? VekkoGradHoverBorder : clNone, false, true);
        };
        auto down = [&](const Rect& a, bool frame) {
            DrawGradientBackground(canvas, a, VekkoGradDownFrom, VekkoGradDownTo, VekkoGradDownMirrorFrom,
                                   VekkoGradDownMirrorTo, true, frame ? VekkoGradDownBorder : clNone, false, true);
        };
        if (!pressed) {
            hover(g, true);
        } else if (fixedDropDown) {
            const Rect button{g.right - 16, g.top, g.right, g.bottom};
            const Rect rest{g.left, g.top, g.right - 16, g.bottom};
            if (m_dropDownDown) {
                down(button, false);
                hover(rest, false);
            } else {
                down(rest, false);
                hover(button, false);
            }
        } else {
            down(g, true);
        }
        if (fixedDropDown) {
            canvas.pen() = Pen{pressed ? VekkoGradDownBorder : VekkoGradHoverBorder, 1, PenStyle::Solid};
            line(canvas, r.right - 16, r.top, r.right - 16, r.bottom);
            DrawSmallDownTriangle(canvas, r.right - 8, r.top + 8, platform::clBlack);
            r.right -= 16;
        }
        return;
    }
    const bool activeHeader = ActiveCellShow()
                              && ((FixedCols() > 0 && FixedCols() == p.ACol + 1 && p.ARow == this->row())
                                  || (FixedRows() > 0 && FixedRows() == p.ARow + 1 && p.ACol == this->col()));
    if (activeHeader) {
        DrawGradientBackground(canvas, r, ActiveCellColor(), ActiveCellColorTo(), clNone, clNone, true, clNone, false, true);
        return;
    }
    if (SortSettings.Column != -1 && SortSettings.HeaderColor != clNone && SortSettings.Column == p.RCol
        && p.ARow == FixedRows() - 1 && (p.ACol >= FixedCols() || SortSettings.FixedCols)) {
        DrawGradientBackground(canvas, r, SortSettings.HeaderColor, SortSettings.HeaderColorTo,
                               SortSettings.HeaderMirrorColor, SortSettings.HeaderMirrorColorTo, true, clNone, false, true);
        return;
    }
    if (!Flat())
        DrawGradientBackground(canvas, r, canvas.brush().color, p.Format.colorTo, p.Format.mirrorColor,
                               p.Format.mirrorColorTo, true, look == glVista ? platform::clWhite : clNone, true, true);
}

void TExtStringGridPaint::DrawFixedEdges(Canvas& canvas, CellPaint& p)
{
    Rect r = p.CellRect;
    switch (Look()) {
    case glClassic: {
        r.top += 1;
        r.bottom += 1;
        r.left += 1;
        Rect a = r;
        platform::DrawEdge(canvas, a, platform::BDR_RAISEDINNER, platform::BF_LEFT | platform::BF_TOP);
        a = r;
        platform::DrawEdge(canvas, a, platform::BDR_RAISEDINNER | platform::BDR_RAISEDOUTER,
                           platform::BF_RIGHT | platform::BF_BOTTOM);
        canvas.pen() = Pen{platform::clBlack, 1, PenStyle::Solid};
        line(canvas, r.right - 1, r.top, r.right - 1, r.bottom - 1);
        canvas.lineTo(r.left - 1, r.bottom - 1);
        break;
    }
    case glVekko:
    case glXP:
        r.bottom += 1;
        if (options().testFlag(platform::goFixedHorzLine)) {
            canvas.pen() = Pen{HalveColor(platform::colorToRgb(fixedColor())), 1, PenStyle::Solid};
            line(canvas, r.left, r.bottom - 1, r.right - 1, r.bottom - 1);
            canvas.pen() = Pen{platform::clWhite, 1, PenStyle::Solid};
            line(canvas, r.right - 2, r.top + 1, r.left + 1, r.top + 1);
            canvas.lineTo(r.left + 1, r.bottom - 1);
        }
        break;
    case glSoft:
        r.right += 1;
        r.bottom += 1;
        if (options().testFlag(platform::goFixedHorzLine)) {
            canvas.pen() = Pen{HalveColor(platform::colorToRgb(fixedColor())), 1, PenStyle::Solid};
            line(canvas, r.left, r.bottom - 1, r.right - 1, r.bottom - 1);
            canvas.pen() = Pen{platform::clWhite, 1, PenStyle::Solid};
            line(canvas, r.right, r.top + 1, r.left + 1, r.top + 1);
            canvas.lineTo(r.left + 1, r.bottom - 1);
        }
        if (options().testFlag(platform::goFixedVertLine)) {
            canvas.pen() = Pen{HalveColor(platform::colorToRgb(fixedColor())), 1, PenStyle::Solid};
            line(canvas, r.right - 2, r.top, r.right - 2, r.bottom - 1);
            canvas.pen() = Pen{platform::clWhite, 1, PenStyle::Solid};
            line(canvas, r.right - 1, r.top, r.right - 1, r.bottom - 1);
        }
        break;
    default:
        break;
    }
}

void TExtStringGridPaint::DrawCellBorders(Canvas& canvas, int realCol, int row, Rect r)
{
    const Pen saved = canvas.pen();
    TCellBorders borders = 0;
    GetCellBorder(realCol, row, canvas.pen(), borders);
    Pen left = canvas.pen(), top = canvas.pen(), right = canvas.pen(), bottom = canvas.pen();
    if (OnGetCellBorderProp)
        OnGetCellBorderProp(this, row, realCol, left, top, right, bottom);
    const int half = (canvas.pen().width + 1) / 2;
    const int glw = GridLineWidth();
    int moved = 0;
    if (options().testFlag(platform::goVertLine)) {
        r.left += half;
        moved = half;
    }
    if (options().testFlag(platform::goHorzLine))
        r.bottom -= half;
    if (borders & cbLeft) {
        canvas.pen() = left;
        line(canvas, std::max(0, r.left), r.top, std::max(0, r.left), r.bottom);
    }
    r.right -= moved;
    if (borders & cbRight) {
        canvas.pen() = right;
        line(canvas, r.right - 1, r.top, r.right - 1, r.bottom);
    }
    if (borders & cbTop) {
        canvas.pen() = top;
        if (options().testFlag(platform::goHorzLine))
            r.top += half;
        const int y = glw != 0 ? std::max(0, r.top - glw) : r.top + 1;
        line(canvas, r.left, y, r.right, y);
    }
    if (borders & cbBottom) {
        canvas.pen() = bottom;
        line(canvas, r.left - glw - 1, r.bottom - 1, r.right, r.bottom - 1);
    }
    canvas.pen() = saved;
}

void TExtStringGridPaint::DrawNodeLines(Canvas& canvas, CellPaint& p)
{
    if (p.RCol != 0 || p.ARow < FixedRows() || !HasNodes() || !CellNode.ShowTree())
        return;
    const int indent = CellNode.NodeIndent();
    const int level = HasCellProperties(0, p.ARow) ? GetGridObject(0, p.ARow)->NodeLevel : 0;
    canvas.pen() = Pen{CellNode.TreeColor(), 1, PenStyle::Solid};
    Rect& r = p.CellRect;
    const int x = GetNodeIndent(p.ARow) + indent / 2 - indent + 2;
    r.left = GetNodeIndent(p.ARow);
    const int mid = r.top + r.height() / 2;
    if (level > 0)
        line(canvas, x, mid, CellNode.ShowTreeFull() ? r.right : r.left + 4, mid);
    const bool nextHasLevel = p.ARow + 1 < RowCount() && HasCellProperties(0, p.ARow + 1)
                              && GetGridObject(0, p.ARow + 1)->NodeLevel > 0;
    for (int i = 1; i <= level; ++i) {
        const int xi = x - indent * i;
        line(canvas, xi, r.top, xi, mid);
        if (nextHasLevel)
            line(canvas, xi, mid, xi, r.bottom + 4);
        else if (i < level)
            line(canvas, xi, mid, x + indent - indent * i, mid);
    }
    canvas.pen().style = PenStyle::Solid;
}

// --- the text part -----------------------------------------------------------------------------

void TExtStringGridPaint::DrawCellText(Canvas& canvas, CellPaint& p)
{
    Color anchorColor = URLColor();
    const int col = p.ACol;
    const int row = p.ARow;

    bool selected = p.State.testFlag(platform::gdSelected)
                    || (RowSelect(p.SelRow) && options().testFlag(platform::goRowSelect) && p.RCol >= FixedCols()
                        && p.RCol < ColCount() - FixedRightCols());
    if (selected && !IsFixed(DisplColIndex(p.RCol), p.SelRow)) {
        if (ShowSelection()) {
            if (SelectionColor() != clNone)
                canvas.brush().color = SelectionColor();
            if (SelectionTextColor() != clNone && isEnabled())
                canvas.font().color = SelectionTextColor();
            anchorColor = SelectionTextColor();
        } else if (!hasFocus() || HasCheckBox(p.RCol, row)) {
            canvas.brush().color = p.SavedBrushColor;
            canvas.font().color = p.SavedFontColor;
            anchorColor = URLColor();
        }
    }

    QString text = GetFormattedCell(p.RCol, row);
    int kind = GetTextKind(text, EnableHTML);
    if (kind == 3) {
        GetCellDisplayValue(p.RCol, row, text);
        kind = GetTextKind(text, EnableHTML);
    }
    int errPos = 0, errLen = 0;
    GetMarker(p.RCol, row, errPos, errLen);
    bool password = false;
    IsPasswordCell(p.RCol, row, password);
    if (password)
        text = QString(text.size(), PasswordChar);

    Rect tr = p.CellRect;
    if (IsFixed(p.RCol, row)) {
        tr.left += GridLineWidth();
        tr.top += GridLineWidth();
    }

    // Filter button of the filter row.
    if (p.FilterGlyph) {
        const platform::Bitmap& glyph = FilterDropDown.Glyph();
        if (glyph.isEmpty()) {
            DrawBitmapTransparent(canvas, GridGlyph(QStringLiteral("XGRFILT")), fixedColor(),
                                  Rect{tr.right - 16, tr.top, tr.right, tr.bottom});
        } else {
            platform::Bitmap g = glyph;
            g.setTransparent(true);
            canvas.draw(tr.right - 16, tr.top, g);
        }
        tr = p.CellRect;
    }

    // A disjunct selection that does not take this cell gives it back its own colours.
    const bool fixedCell = IsFixed(col, row);
    if (!fixedCell && !m_mouseDownMove
        && ((MouseActions.DisjunctRowSelect() && !RowSelect(p.SelRow)) || (MouseActions.DisjunctColSelect() && !ColSelect(col)))) {
        canvas.brush().color = color();
        canvas.font().color = GridFont().color;
        anchorColor = URLColor();
        GetCellColor(p.RCol, row, p.State, canvas.brush(), canvas.font());
        if (ZoomFactor() != 0 && canvas.font().font.pointSize() > 0)
            canvas.font().font.setPointSize(std::max(1, canvas.font().font.pointSize() + ZoomFactor()));
    }

    // Background picture or gradient.
    const TBackGroundCells bgCells = BackGround.Cells();
    const bool inBgCells = bgCells == bcAll || (bgCells == bcFixed && fixedCell) || (bgCells == bcNormal && !fixedCell);
    const bool drawnSelected = ShowSelection() && p.State.testFlag(platform::gdSelected);
    if (!BackGround.Bitmap().isEmpty() && Colors(p.RCol, row) == clNone && inBgCells && !drawnSelected) {
        const Rect r{p.CellRect.left - GridLineWidth() + 1, p.CellRect.top - GridLineWidth() + 1, p.CellRect.right,
                     p.CellRect.bottom};
        if (BackGround.Display() != bdTile)
            DrawCellBackgroundFixed(canvas, r);
        else
            DrawCellBackgroundTiled(canvas, r, p.RCol, row);
    }
    const TCellType type = GetCellType(p.RCol, row);
    const bool controlCell = type == ctCheckBox || type == ctDataCheckBox || type == ctRadio || type == ctButton
                             || type == ctRadioButton;
    const bool focusedState = p.State.testFlag(platform::gdFocused);
    if ((BackGround.Display() == bdGradientHorz || BackGround.Display() == bdGradientVert)
        && (Colors(p.RCol, row) == clNone || controlCell) && inBgCells
        && ((!p.State.testFlag(platform::gdSelected) && !focusedState)
            || (focusedState && !options().testFlag(platform::goDrawFocusSelected)) || !ShowSelection())) {
        DrawCellBackgroundGradient(canvas, Rect{p.CellRect.left - 1, p.CellRect.top - GridLineWidth(), p.CellRect.right,
                                                p.CellRect.bottom + GridLineWidth() - 1});
    }

    // The selection rectangle and its resize handle.
    if (SelectionRectangle() && !fixedCell) {
        TGridRect sel = Selection();
        if (IsMergedCell(p.RCol, row)) {
            const QPoint b = BaseCell(sel.Left, sel.Top);
            sel = TGridRect{b.x(), b.y(), b.x(), b.y()};
        }
        const int dc = DisplColIndex(p.RCol);
        if (sel.contains(dc, row)) {
            const int glw = GridLineWidth();
            const Rect& r = p.CellRect;
            canvas.pen() = Pen{SelectionRectangleColor, 2, PenStyle::Solid};
            if (dc == sel.Left)
                line(canvas, r.left - glw + 1, r.bottom, r.left - glw + 1, r.top - glw);
            if (dc == sel.Right)
                line(canvas, r.right - 1, r.bottom, r.right - 1, r.top - glw);
            const int right = dc == sel.Right ? r.right - 1 : r.right;
            if (row == sel.Top)
                line(canvas, r.left - glw, r.top - glw + 1, right, r.top - glw + 1);
            if (row == sel.Bottom)
                line(canvas, r.left - glw, r.bottom, right, r.bottom);
            if (SelectionResizer() && dc == sel.Right && row == sel.Bottom) {
                penAndBrush(canvas, SelectionRectangleColor);
                canvas.rectangle(Rect{r.right - 4, r.bottom - 4, r.right, r.bottom});
            }
            canvas.pen().width = 1;
        }
    }

    if (!p.Graphic.ShowText)
        return;

    // The text rectangle: offsets, room for the graphic, node indent.
    if (!XYOffsetTopLeftOnly)
        tr.right -= XYOffset.x();
    tr.left += XYOffset.x();
    tr.top += XYOffset.y();
    const int lineHeight = canvas.textHeight(QStringLiteral("hg"));
    int graphicIndent = 0;
    const TCellGraphicInfo& g = p.Graphic;
    if (g.Graphic) {
        if (g.HAlign == haBeforeText) {
            tr.left += g.Width;
            if (p.Format.alignment == Alignment::taLeftJustify)
                graphicIndent = g.Width;
        } else if (g.HAlign == haLeft) {
            graphicIndent = g.Width;
        } else if (g.HAlign == haAfterText) {
            tr.right -= g.Width;
        }
        if (g.VAlign == vaAboveText)
            tr.top += g.Height;
        else if (g.VAlign == vaUnderText)
            tr.bottom -= g.Height;
    }
    if (p.RCol == 0 && HasNodes() && !(HasCellProperties(0, row) && GetCellType(0, row) == ctNode))
        tr.left += GetNodeIndent(row);

    const bool sortCell = IsSortGlyphCell(p.RCol, row);
    const bool sortGlyph = sortCell && SortGlyphDrawn(p.RCol);
    auto sortY = [&](const Rect& r) {
        switch (p.Format.vAlignment) {
        case vtaCenter: return r.top + (r.bottom - r.top) / 2;
        case vtaBottom: return r.bottom - 8;
        default: return r.top + 8;
        }
    };

    if (kind == 1) {
        if (p.FilterGlyph)
            tr.right -= 18;
        tr.left -= 1;
        if (sortCell)
            tr.right -= 10;
        THTMLDrawParams params;
        params.Images = GetGridImageList();
        params.Container = PictureContainer;
        params.ImageCache = &m_imageCache;
        params.AnchorColor = anchorColor;
        params.HoverAnchor = m_hoverCell.X == col && m_hoverCell.Y == row ? m_hoverLink : -1;
        params.HoverUnderlineOnly = URLUnderlineOnHover;
        params.BlinkPhase = m_gridBlink;
        params.Window = this;
        params.WordWrap = p.Format.wordWrap;
        THTMLDrawResult result;
        const platform::BkMode mode = canvas.bkMode();
        canvas.setBkMode(platform::BkMode::Transparent);
        HTMLDrawText(canvas, text, tr, params, result);
        canvas.setBkMode(mode);
        p.TextWidth = result.TextWidth + 2;
        if (sortGlyph)
            DrawSortGlyph(canvas, p.RCol, sortY(tr), tr.right + 2);
    } else if (kind == 2) {
        canvas.pen().color = canvas.brush().color;
        if (!(p.State.testFlag(platform::gdSelected) && !focusedState && SelectionColor() == clNone)) {
            canvas.brush().style = BrushStyle::Solid;
            canvas.fillRect(tr);
        }
        canvas.brush().style = BrushStyle::Clear;
        DrawRichCell(p.RCol, row, tr, canvas);
        canvas.brush().style = BrushStyle::Solid;
        canvas.font().color = platform::clBlack;
    } else {
        if (p.Format.alignment == Alignment::taCenter && row == SortSettings.Row && SortSettings.Show
            && p.RCol == SortSettings.Column)
            tr.left += 10;
        const QString raw = GetGridCell(p.RCol, row);
        const bool url = URLShow() && IsURL(raw);
        if (url) {
            if (!URLFull())
                StripURLProtocol(text);
            canvas.font().font.setUnderline(true);
            canvas.font().color = anchorColor;
        }
        const TCellTextFlags tf = CellTextFlags(CountLines(text, Multilinecells), p.Format.wordWrap, Multilinecells,
                                                EnhTextSize, p.Format.alignment, p.Format.vAlignment);
        if (tf.firstLineOnly) {
            QString rest = text;
            text = ExtractFirstLine(rest, Multilinecells);
        }
        unsigned flags = tf.flags;
        if (layoutDirection() == Qt::RightToLeft)
            flags |= platform::DT_RTLREADING;
        const platform::BkMode mode = canvas.bkMode();
        canvas.setBkMode(platform::BkMode::Transparent);
        if (p.FilterGlyph)
            tr.right -= 16;
        // A cell one line high shows only the first line of wrapped text: a header a few
        // pixels too narrow would lose every word after the first. Such text stays on one
        // line, in a slightly smaller font when that makes it fit, else clipped at the edge.
        const QFont fullFont = canvas.font().font;
        if ((flags & platform::DT_WORDBREAK) && !text.contains(u'\n') && tr.height() < 2 * lineHeight) {
            if (canvas.textLineCount(text, tr.width(), flags, 2) >= 2) {
                flags = (flags & ~(platform::DT_WORDBREAK | platform::DT_EDITCONTROL)) | platform::DT_SINGLELINE;
                ShrinkFontToWidth(canvas.font().font, text, tr.width());
                if (canvas.textWidth(text, tr.width()) > tr.width())
                    flags = (flags & ~(platform::DT_CENTER | platform::DT_RIGHT)) | platform::DT_LEFT;
            }
        }
        if (g.Graphic && !text.isEmpty()) {
            Rect m = tr;
            canvas.drawText(text, m, flags | platform::DT_CALCRECT);
            p.TextWidth = m.right - m.left + 2;
        }
        Rect draw = tr;
        canvas.drawText(text, draw, flags);
        canvas.font().font = fullFont;
        canvas.setBkMode(mode);
        if (errLen > 0 && (type == ctEmpty || type == ctValue))
            DrawErrorUnderline(canvas, text, tr, lineHeight, errPos, errLen);
        if (sortGlyph) {
            Rect r = p.CellRect;
            if (p.FilterGlyph)
                r.right -= 16;
            const int w = canvas.textWidth(text, r.right - r.left - 16);
            const int q = std::max(0, std::min(r.right - r.left - 16, w));
            int x = r.left + 8;
            if (p.Format.alignment == Alignment::taLeftJustify)
                x = r.left + q + graphicIndent + 10;
            else if (p.Format.alignment == Alignment::taRightJustify)
                x = r.right - q - 10;
            DrawSortGlyph(canvas, p.RCol, sortY(r), x);
        }
        if (url)
            canvas.font().font.setUnderline(false);
    }
}

void TExtStringGridPaint::DrawRichCell(int realCol, int row, const Rect& rect, Canvas& canvas)
{
    // The cell's rich text is shown through its plain text, inside the text margin.
    const QString plain = RichTextToPlain(Cells(realCol, row));
    Rect r = rect.inflated(-XYOffset.x(), -XYOffset.x());
    const platform::BkMode mode = canvas.bkMode();
    canvas.setBkMode(platform::BkMode::Transparent);
    const bool selected = IsSelected(DisplColIndex(realCol), row)
                          && !(realCol == RealColIndex(this->col()) && row == this->row() && hasFocus()
                               && !options().testFlag(platform::goDrawFocusSelected));
    const Color keep = canvas.font().color;
    if (selected && SelectionTextColor() != clNone)
        canvas.font().color = SelectionTextColor();
    canvas.drawText(plain, r, platform::DT_WORDBREAK | platform::DT_NOPREFIX | platform::DT_EXPANDTABS | platform::DT_EDITCONTROL);
    canvas.font().color = keep;
    canvas.setBkMode(mode);
}

void TExtStringGridPaint::DrawCellBackgroundFixed(Canvas& canvas, const Rect& r)
{
    const platform::Bitmap& bmp = BackGround.Bitmap();
    const Rect pic{BackGround.Left(), BackGround.Top(), BackGround.Left() + bmp.width(), BackGround.Top() + bmp.height()};
    const Rect part = pic.intersected(r);
    if (part.isEmpty())
        return;
    platform::Bitmap copy = bmp;
    const Canvas source(copy);
    canvas.copyRect(part, source, part.offset(-pic.left, -pic.top));
}

void TExtStringGridPaint::DrawCellBackgroundTiled(Canvas& canvas, const Rect& r, int realCol, int row)
{
    const platform::Bitmap& bmp = BackGround.Bitmap();
    if (bmp.isEmpty())
        return;
    const bool fromData = BackGround.Cells() == bcNormal;
    const int firstCol = fromData ? FixedCols() : 0;
    const int firstRow = fromData ? FixedRows() : 0;
    int ox = 0, oy = 0;
    for (int c = firstCol; c < DisplColIndex(realCol); ++c)
        ox += colWidths(c);
    for (int rr = firstRow; rr < row; ++rr)
        oy += rowHeights(rr);
    ox %= bmp.width();
    oy %= bmp.height();
    platform::Bitmap copy = bmp;
    const Canvas source(copy);
    int y = r.top - 1;
    int sy = oy;
    while (y < r.bottom) {
        const int h = std::min(bmp.height() - sy, r.bottom - y);
        int x = r.left - 1;
        int sx = ox;
        while (x < r.right) {
            const int w = std::min(bmp.width() - sx, r.right - x);
            canvas.copyRect(Rect{x, y, x + w, y + h}, source, Rect{sx, sy, sx + w, sy + h});
            x += w;
            sx = 0;
        }
        y += h;
        sy = 0;
    }
}

void TExtStringGridPaint::DrawCellBackgroundGradient(Canvas& canvas, const Rect& r)
{
    const bool horizontal = BackGround.Display() == bdGradientHorz;
    const int span = horizontal ? width() : height();
    const int from = horizontal ? r.left : r.top;
    const int to = horizontal ? r.right : r.bottom;
    const Color a = InterpolateColor(BackGround.Color(), BackGround.ColorTo(), 0, span, from);
    const Color b = InterpolateColor(BackGround.Color(), BackGround.ColorTo(), 0, span, to);
    penAndBrush(canvas, b);
    DrawGradientSteps(canvas, a, b, horizontal, r, 128);
}

// --- sort glyph cells ---------------------------------------------------------------------------

int TExtStringGridPaint::SortIndexPosition(int realCol) const { return SortIndexes.FindIndex(realCol); }

bool TExtStringGridPaint::IsSortGlyphCell(int realCol, int row) const
{
    auto* self = const_cast<TExtStringGridPaint*>(this);
    return self->IsSortGlyphRow(realCol, row) && (realCol == SortSettings.Column || SortIndexPosition(realCol) >= 0)
           && FixedRows() > 0 && (realCol >= FixedCols() || SortSettings.FixedCols);
}

bool TExtStringGridPaint::SortGlyphDrawn(int realCol) const
{
    return !(SortIndexPosition(realCol) >= 1 && !SortSettings.IndexShow);
}

} // namespace controls::grid
