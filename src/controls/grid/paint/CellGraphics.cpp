// The graphic of a cell (check boxes, radio buttons, images, progress bars, buttons, ratings,
// nodes ...) and the check box, radio group and sort glyph painters.
#include "controls/grid/paint/GridPaint.h"
#include "controls/grid/paint/CellPaintState.h"

#include "controls/grid/util/ExtDraw.h"
#include "controls/grid/util/ExtUtil.h"
#include "platform/draw/Frames.h"
#include "platform/draw/Graphics.h"
#include "platform/draw/Theme.h"

#include <cmath>

namespace controls::grid {

using platform::Alignment;
using platform::Brush;
using platform::BrushStyle;
using platform::clNone;
using platform::Pen;
using platform::PenStyle;

namespace {

void line(Canvas& canvas, int x1, int y1, int x2, int y2)
{
    canvas.moveTo(x1, y1);
    canvas.lineTo(x2, y2);
}

void drawGlyph(Canvas& canvas, const QString& name, int x, int y)
{
    const platform::Bitmap& g = GridGlyph(name);
    if (!g.isEmpty())
        canvas.draw(x, y, g);
}

Color invertRgb(Color c) { return ~platform::colorToRgb(c) & 0xFFFFFF; }

bool isCheckKind(TCellType t)
{
    return t == ctCheckBox || t == ctDataCheckBox || t == ctVirtCheckBox || t == ctRowCheckBox || t == ctRadioButton
           || t == ctTriStateCheckBox;
}

} // namespace


void TExtStringGridPaint::DrawCellGraphic(Canvas& canvas, CellPaint& p, Rect& r)
{
    TCellGraphic* g = p.Graphic.Graphic;
    if (!g)
        return;
    const TCellType type = GetCellType(p.RCol, p.ARow);
    const int gw = p.RCol == 0 && type == ctNode ? 0 : p.Graphic.Width;
    const int gh = p.Graphic.Height;
    const int textW = p.TextWidth > 0 ? p.TextWidth + 2 : 0;
    const Alignment ha = p.Format.alignment;

    if (type != ctNode && type != ctProgress && type != ctRangeIndicator && type != ctXPProgress)
        r = r.inflated(-(XYOffset.x() - 1), -(XYOffset.y() - 1));

    Rect gr = r;
    switch (g->CellHAlign) {
    case haLeft:
        gr.left = r.left + 1;
        gr.right = gr.left + gw;
        break;
    case haRight:
        gr.left = r.right - gw - 1;
        gr.right = r.right - 1;
        break;
    case haCenter:
        gr.left = gw < r.width() ? r.left + (r.width() - gw) / 2 : r.left + 1;
        gr.right = gr.left + gw;
        break;
    case haBeforeText:
        if (ha == Alignment::taLeftJustify)
            gr.left = r.left + 1;
        else if (ha == Alignment::taRightJustify)
            gr.left = r.right - textW - gw;
        else
            gr.left = r.left + (r.width() - textW - gw) / 2;
        gr.right = gr.left + gw;
        if (gr.left < r.left)
            gr.left = r.left + 1;
        break;
    case haAfterText:
        if (ha == Alignment::taLeftJustify) {
            gr.left = r.left + textW;
            gr.right = gr.left + gw;
        } else if (ha == Alignment::taRightJustify) {
            gr.left = r.right - gw - 1;
            gr.right = r.right - 1;
        } else {
            gr.left = r.left + textW + (r.width() - textW - gw) / 2;
            if (gr.left < r.left)
                gr.left = r.left + 1;
            gr.right = gr.left + gw;
        }
        break;
    case haFull:
        break;
    }

    TCellVAlign va = g->CellVAlign;
    if (isCheckKind(type) && p.Format.vAlignment != VAlignment())
        va = p.Format.vAlignment == vtaTop ? vaTop : p.Format.vAlignment == vtaCenter ? vaCenter : vaBottom;
    switch (va) {
    case vaBottom:
        gr.bottom = r.bottom - 1;
        gr.top = r.bottom - gh - 1;
        break;
    case vaCenter:
        gr.top = gh < r.height() ? r.top + (r.height() - gh) / 2 : r.top + 1;
        gr.bottom = gr.top + gh;
        break;
    case vaUnderText:
        gr.top = r.bottom - gh;
        gr.bottom = r.bottom;
        break;
    case vaFull:
        gr.top = r.top;
        gr.bottom = r.bottom;
        break;
    default:
        gr.top = r.top + 1;
        gr.bottom = gr.top + gh;
        break;
    }

    switch (type) {
    case ctBitmap:
        if (g->Bitmap) {
            platform::Bitmap b = *g->Bitmap;
            b.setTransparent(g->CellTransparent);
            canvas.draw(gr.left, gr.top, b);
        }
        break;
    case ctIcon:
        if (g->Icon)
            canvas.draw(gr.left, gr.top, g->Icon->bitmap());
        break;
    case ctImageList:
        if (platform::TImageList* list = GetGridImageList())
            list->Draw(canvas, gr.left, gr.top, g->CellIndex, true);
        break;
    case ctDataImage:
        if (platform::TImageList* list = GetGridImageList()) {
            const int index = Ints(p.RCol, p.ARow) + g->CellIndex;
            if (index >= 0 && index < list->Count())
                list->Draw(canvas, gr.left, gr.top, index, true);
        }
        break;
    case ctImages:
        if (platform::TImageList* list = GetGridImageList()) {
            if (const TIntList* indexes = g->IntList()) {
                int x = gr.left, y = gr.top;
                for (int i = 0; i < indexes->Count(); ++i) {
                    list->Draw(canvas, x, y, indexes->GetInteger(i), true);
                    if (g->CellBoolean)
                        x += list->Width();
                    else
                        y += list->Height();
                }
            }
        }
        break;
    case ctCheckBox:
    case ctDataCheckBox:
    case ctVirtCheckBox:
    case ctRowCheckBox:
    case ctRadioButton:
    case ctTriStateCheckBox:
        DrawCellCheckBox(canvas, p, Rect{r.left, gr.top, r.right, gr.bottom});
        break;
    case ctRadio: {
        bool enabled = true;
        CheckCanEdit(p.RCol, p.ARow, enabled);
        const platform::TStringList* items = g->Strings();
        const int count = GetRadioStrings(p.RCol, p.ARow) ? GetRadioStrings(p.RCol, p.ARow)->Count() : 0;
        DrawRadioGroup(canvas, r, false, 1.0, ControlLook.ControlStyle(), p.ARow, p.RCol,
                       p.State.testFlag(platform::gdSelected), items, !enabled, g->CellBoolean, g->CellIndex, count);
        break;
    }
    case ctRotated: {
        Rect origin = r;
        const QString text = GetGridCell(p.RCol, p.ARow);
        DrawRotatedText(canvas, origin, g->CellAngle, p.Format.vAlignment, ha, text);
        platform::Font keep = canvas.font();
        canvas.font().orientation = g->CellAngle * 10;
        const Rect clip = r.inflated(-2, -2);
        const platform::BkMode mode = canvas.bkMode();
        canvas.setBkMode(platform::BkMode::Transparent);
        canvas.saveState();
        canvas.intersectClipRect(clip);
        canvas.textOut(origin.left, origin.top, text);
        canvas.restoreState();
        canvas.setBkMode(mode);
        canvas.font() = keep;
        if (IsSortGlyphCell(p.RCol, p.ARow) && SortGlyphDrawn(p.RCol))
            DrawSortGlyph(canvas, p.RCol, gr.top + 8, gr.right - 10);
        break;
    }
    case ctNode:
        DrawNodeButton(canvas, p, r);
        break;
    case ctPicture:
        if (g->Picture) {
            if (g->CellAngle != 0)
                g->Picture->stretchDraw(canvas, gr);
            else
                g->Picture->draw(canvas, gr.left, gr.top);
        }
        break;
    case ctFilePicture:
        if (g->FilePicture)
            g->FilePicture->DrawPicture(canvas, gr);
        break;
    case ctProgress:
    case ctXPProgress:
        DrawCellProgress(canvas, p, r);
        break;
    case ctComment: {
        if (ControlLook.CommentColor() == clNone)
            break;
        const Color c = g->CellAngle != int(clNone) && g->CellIndex != 0 ? Color(g->CellIndex) : ControlLook.CommentColor();
        canvas.pen() = Pen{c, 1, PenStyle::Solid};
        canvas.brush() = Brush{c, BrushStyle::Solid};
        const int x = r.right + XYOffset.x();
        const int y = r.top - XYOffset.y();
        canvas.polygon({QPoint(x - 8, y + 1), QPoint(x - 3, y + 1), QPoint(x - 3, y + 6)});
        canvas.brush().color = color();
        break;
    }
    case ctButton:
    case ctBitButton:
    case ctExpand:
        DrawCellButton(canvas, p, r, gr);
        break;
    case ctProgressPie:
        DrawProgressPie(canvas, Rect{gr.left, gr.top, gr.left + 20, gr.top + 20}, g->ColorBitmap, g->CellAngle, false);
        break;
    case ctRangeIndicator: {
        const Rect rr = r.inflated(-ControlLook.ProgressMarginX(), -ControlLook.ProgressMarginY());
        DrawRangeIndicator(canvas, rr, Ints(p.RCol, p.ARow), g->CellIndex, g->CellBoolean, g->ColorBitmap, g->ColorIcon);
        break;
    }
    case ctInterface:
        if (auto* ig = dynamic_cast<ICellGraphic*>(g->Object))
            ig->Draw(canvas, Rect{r.left - 1, r.top - 1, r.right, r.bottom}, p.RCol, p.ARow,
                     p.State.testFlag(platform::gdSelected), this);
        break;
    case ctShape:
        DrawShape(canvas, gr.left, gr.top, gr.width() - 1, gr.height() - 1, g->CellAngle, g->CellIndex, g->ColorBitmap);
        break;
    case ctRating: {
        const int v = int(Floats(p.RCol, p.ARow) * 2);
        const double value = v / 2.0;
        int x = gr.left;
        for (int i = 1; i <= g->CellAngle; ++i, x += 18) {
            DrawShape(canvas, x, gr.top, 16, 16, csStar, i <= value ? g->CellIndex : g->ColorBitmap,
                      i <= value ? g->CellIndex : g->ColorBitmap);
            if (i > value && i - 1 < value)
                DrawShape(canvas, x, gr.top, 16, 16, csHalfStar, g->CellIndex, g->CellIndex);
        }
        break;
    }
    default:
        break;
    }
}

void TExtStringGridPaint::DrawCellCheckBox(Canvas& canvas, CellPaint& p, const Rect& r)
{
    const TCellType type = GetCellType(p.RCol, p.ARow);
    TCellGraphic* g = p.Graphic.Graphic;
    const int gw = p.Graphic.Width;
    const int textW = p.TextWidth > 0 ? p.TextWidth + 2 : 0;
    const bool dataKind = type == ctDataCheckBox || type == ctVirtCheckBox || type == ctRowCheckBox;
    Rect gr = r;
    switch (p.Format.alignment) {
    case Alignment::taLeftJustify:
        gr.left = r.left + 1;
        break;
    case Alignment::taRightJustify: {
        int x = r.right;
        if (!dataKind)
            x -= textW;
        gr.left = x - gw - 1;
        if (gr.left < r.left)
            gr.left = r.left + 1;
        break;
    }
    case Alignment::taCenter:
        if (dataKind || textW < 1)
            gr.left = r.left + std::max(0, r.right - gw - r.left) / 2;
        else
            gr.left = r.left + std::max(0, r.right - textW - r.left) / 2 - gw;
        if (gr.left < r.left)
            gr.left = r.left + 1;
        break;
    }
    gr.right = gr.left + gw;

    bool enabled = true;
    CheckCanEdit(p.RCol, p.ARow, enabled);
    const TControlStyle style = ControlLook.ControlStyle();
    switch (type) {
    case ctCheckBox:
    case ctRowCheckBox:
        DrawCheck(canvas, gr, g->CellBoolean, cbUnchecked, false, style, g->CellAngle > 0, enabled);
        break;
    case ctDataCheckBox:
    case ctVirtCheckBox: {
        QString checkTrue;
        GetCheckTrue(p.RCol, p.ARow, checkTrue);
        DrawCheck(canvas, gr, GetGridCell(p.RCol, p.ARow) == checkTrue, cbUnchecked, false, style, false, enabled);
        break;
    }
    case ctTriStateCheckBox:
        DrawCheck(canvas, gr, false, g->CellCheckBoxState, true, style, g->CellAngle > 0, enabled);
        break;
    case ctRadioButton: {
        Rect rr = gr;
        rr.left += XYOffset.x();
        rr.right = rr.left + ControlLook.RadioSize();
        rr.bottom = rr.top + ControlLook.RadioSize();
        DrawRadioGroup(canvas, rr, false, 1.0, style, p.ARow, p.RCol, false, nullptr, !enabled, false,
                       g->CellBoolean ? 0 : -1, 1);
        break;
    }
    default:
        break;
    }
}

void TExtStringGridPaint::DrawCheck(Canvas& canvas, const Rect& r, bool checked, TCheckBoxState triState,
                                    bool isTriState, TControlStyle style, bool mixed, bool enabled)
{
    if (ControlLook.NoDisabledCheckRadioLook() || ControlLook.CheckAlwaysActive)
        enabled = true;
    const bool themes = IsComCtl32Version6() && IsWinXPOrLater();
    if (style == csTheme && !themes)
        style = csClassic;
    if (isTriState) {
        checked = triState == cbChecked;
        if (triState == cbGrayed)
            mixed = true;
    }
    const int size = ControlLook.CheckSize();
    switch (style) {
    case csWinXP:
        drawGlyph(canvas, checked ? (enabled ? QStringLiteral("XGRCHK05") : QStringLiteral("XGRCHK07"))
                                  : (enabled ? QStringLiteral("XGRCHK06") : QStringLiteral("XGRCHK08")),
                  r.left, r.top);
        break;
    case csVekko:
        drawGlyph(canvas, checked ? (enabled ? QStringLiteral("XGRCHK01") : QStringLiteral("XGRCHK03"))
                                  : (enabled ? QStringLiteral("XGRCHK02") : QStringLiteral("XGRCHK04")),
                  r.left, r.top);
        break;
    case csGlyph: {
        platform::Bitmap b = checked ? ControlLook.CheckedGlyph : ControlLook.UnCheckedGlyph;
        if (!b.isEmpty()) {
            b.setTransparent(true);
            canvas.draw(r.left, r.top, b);
        }
        break;
    }
    case csTessik: {
        canvas.brush() = Brush{enabled ? platform::clBtnFace : platform::clBtnShadow, BrushStyle::Solid};
        canvas.pen() = Pen{platform::clBtnFace, 1, PenStyle::Solid};
        canvas.rectangle(r);
        canvas.pen().color = platform::clBtnHighlight;
        line(canvas, r.left, r.bottom - 1, r.left, r.top);
        canvas.lineTo(r.right - 1, r.top);
        canvas.pen().color = platform::clBtnShadow;
        canvas.lineTo(r.right - 1, r.bottom - 1);
        canvas.lineTo(r.left, r.bottom - 1);
        if (checked) {
            canvas.pen() = Pen{enabled ? ControlLook.Color() : platform::clGray, 1, PenStyle::Solid};
            const int top = r.top - 1, bottom = r.bottom - 1;
            line(canvas, r.left + 2, r.top + size / 2, r.left + 2, bottom - 1);
            line(canvas, r.left + 3, top + size / 2, r.left + 3, bottom - 2);
            line(canvas, r.left + 2, bottom - 1, r.right - 2, top + 3);
            line(canvas, r.left + 3, bottom - 1, r.right - 1, top + 3);
        }
        break;
    }
    case csTheme: {
        const platform::HTHEME theme = platform::OpenThemeData(this, QStringLiteral("button"));
        int state = checked ? (enabled ? platform::CBS_CHECKEDNORMAL : platform::CBS_CHECKEDDISABLED)
                            : (enabled ? platform::CBS_UNCHECKEDNORMAL : platform::CBS_UNCHECKEDDISABLED);
        if (mixed)
            state = enabled ? platform::CBS_MIXEDNORMAL : platform::CBS_MIXEDDISABLED;
        platform::DrawThemeBackground(theme, canvas, platform::BP_CHECKBOX, state,
                                      Rect{r.left, r.top, r.left + size, r.top + size});
        platform::CloseThemeData(theme);
        break;
    }
    default: { // csClassic, csFlat
        unsigned flags = platform::DFCS_BUTTONCHECK;
        if (checked)
            flags |= platform::DFCS_CHECKED;
        if (mixed)
            flags |= platform::DFCS_CHECKED | platform::DFCS_BUTTON3STATE;
        if (style == csFlat)
            flags |= platform::DFCS_FLAT;
        if (!enabled)
            flags |= platform::DFCS_INACTIVE;
        const int ox = (r.width() - size) / 2;
        const int oy = (r.height() - size) / 2;
        Rect box{r.left + ox, r.top + oy, r.left + ox + size, r.top + oy + size};
        platform::DrawFrameControl(canvas, box, platform::DFC_BUTTON, flags);
        break;
    }
    }
}

void TExtStringGridPaint::DrawRadioGroup(Canvas& canvas, const Rect& r, bool upward, double scale, TControlStyle style,
                                         int row, int col, bool selected, const platform::TStringList* items,
                                         bool disabled, bool horizontal, int selIndex, int count)
{
    if (ControlLook.NoDisabledCheckRadioLook() || ControlLook.RadioAlwaysActive)
        disabled = false;
    const int dir = upward ? -1 : 1;
    int x = 0;
    const platform::BkMode mode = canvas.bkMode();
    canvas.setBkMode(platform::BkMode::Transparent);
    if (count <= 0) {
        canvas.setBkMode(mode);
        return;
    }
    if (style == csTheme && !IsWinXPOrLater())
        style = csClassic;
    const int h = canvas.textHeight(QStringLiteral("gh"));
    const int s = ControlLook.RadioSize();
    const QString cellText = GetGridCell(col, row);
    for (int i = 1; i <= count; ++i) {
        QString caption;
        if (items && items->Count() >= i)
            caption = items->Strings(i - 1);
        if (selected && ShowSelection() && !caption.isEmpty())
            canvas.font().color = SelectionTextColor();
        const bool on = (selIndex == -1 && cellText == caption) || i == selIndex + 1;
        int left = 0, top = 0, captionX = 0, captionY = 0;
        if (style == csClassic || style == csFlat) {
            const bool flat = ControlLook.ControlStyle() == csFlat;
            const int box = int(std::lround(scale * (flat ? s + 2 : s)));
            if (horizontal) {
                left = (i - 1) * s + x + r.left + 2;
                top = r.top + (r.height() - s) / 2;
                captionX = left + int(scale * s);
                captionY = top - 2;
            } else if (!caption.isEmpty()) {
                left = r.left + 2;
                top = r.top + h * (i - 1) * dir + 2;
                captionX = left + int(scale * (s + 4));
                captionY = top - 2;
            } else {
                left = r.left + (r.width() - int(scale * s)) / 2;
                top = r.top + h * (i - 1) * dir + 2;
            }
            unsigned flags = platform::DFCS_BUTTONRADIO;
            if (disabled)
                flags |= platform::DFCS_INACTIVE;
            if (on)
                flags |= platform::DFCS_CHECKED;
            if (flat)
                flags |= platform::DFCS_FLAT;
            Rect b{left, top, left + box, top + box};
            platform::DrawFrameControl(canvas, b, platform::DFC_BUTTON, flags);
        } else {
            const int l = std::max(16, h);
            if (horizontal) {
                left = x + r.left + 16 * i - 14;
                top = r.top + (r.height() - 16) / 2;
                captionX = left + 16;
            } else if (!caption.isEmpty()) {
                left = r.left + 2;
                top = r.top + l * (i - 1) * dir + 2;
                captionX = style == csTessik || style == csTheme ? r.left + 20 : r.left + 18;
            } else {
                left = r.left + (r.width() - 16) / 2;
                top = r.top + l * (i - 1) * dir + 2;
            }
            captionY = style == csTessik || style == csTheme ? top - 2 : top + 1;
            switch (style) {
            case csTessik: {
                canvas.brush() = Brush{platform::clBtnFace, BrushStyle::Solid};
                canvas.pen() = Pen{platform::clBtnFace, 1, PenStyle::Solid};
                canvas.polygon({QPoint(left + 2, top + 8), QPoint(left + 8, top + 2), QPoint(left + 14, top + 8),
                                QPoint(left + 8, top + 14)});
                canvas.pen().color = on ? platform::clGray : platform::clWhite;
                line(canvas, left + 2, top + 8, left + 8, top + 2);
                canvas.lineTo(left + 14, top + 8);
                canvas.pen().color = on ? platform::clWhite : platform::clGray;
                canvas.lineTo(left + 8, top + 14);
                canvas.lineTo(left + 2, top + 8);
                if (on) {
                    canvas.pen().color = ControlLook.Color();
                    canvas.brush().color = ControlLook.Color();
                    canvas.polygon({QPoint(left + 6, top + 8), QPoint(left + 8, top + 6), QPoint(left + 10, top + 8),
                                    QPoint(left + 8, top + 10)});
                }
                break;
            }
            case csTheme: {
                const platform::HTHEME theme = platform::OpenThemeData(this, QStringLiteral("button"));
                const int state = on ? (disabled ? platform::RBS_CHECKEDDISABLED : platform::RBS_CHECKEDNORMAL)
                                     : (disabled ? platform::RBS_UNCHECKEDDISABLED : platform::RBS_UNCHECKEDNORMAL);
                platform::DrawThemeBackground(theme, canvas, platform::BP_RADIOBUTTON, state,
                                              Rect{left, top, left + 16, top + 16});
                platform::CloseThemeData(theme);
                break;
            }
            case csWinXP:
                drawGlyph(canvas, on ? (disabled ? QStringLiteral("XGRRAD07") : QStringLiteral("XGRRAD05"))
                                     : (disabled ? QStringLiteral("XGRRAD08") : QStringLiteral("XGRRAD06")),
                          left, top);
                break;
            case csVekko:
                drawGlyph(canvas, on ? (disabled ? QStringLiteral("XGRRAD03") : QStringLiteral("XGRRAD01"))
                                     : (disabled ? QStringLiteral("XGRRAD04") : QStringLiteral("XGRRAD02")),
                          left, top);
                break;
            case csGlyph: {
                platform::Bitmap b = on ? ControlLook.RadioOnGlyph : ControlLook.RadioOffGlyph;
                if (!b.isEmpty()) {
                    b.setTransparent(true);
                    canvas.draw(left, top, b);
                }
                break;
            }
            default:
                break;
            }
        }
        if (!caption.isEmpty()) {
            canvas.textOut(captionX, captionY, caption);
            if (horizontal)
                x += canvas.textWidth(caption);
        }
    }
    canvas.setBkMode(mode);
}

void TExtStringGridPaint::DrawSortGlyph(Canvas& canvas, int col, int y, int x)
{
    const bool indexGlyphs = SortSettings.IndexShow;
    if (layoutDirection() == Qt::RightToLeft)
        x = viewport()->width() - x - 4 - 7;
    const int position = SortIndexPosition(col);
    if (SortSettings.IndexShow && position >= 0) {
        canvas.brush() = Brush{SortSettings.IndexColor, BrushStyle::Solid};
        canvas.pen() = Pen{platform::clBlack, 1, PenStyle::Solid};
        const platform::BkMode mode = canvas.bkMode();
        const platform::Font keep = canvas.font();
        canvas.font().color = platform::clBlack;
        canvas.font().font.setPointSize(6);
        const bool descending = !SortIndexes.GetSortDirections(position);
        if (descending) {
            canvas.polygon({QPoint(x - 7, y - 5), QPoint(x + 7, y - 5), QPoint(x, y + 8)});
            canvas.setBkMode(platform::BkMode::Transparent);
            canvas.textOut(x - 2, y - 4, QString::number(position + 1));
        } else {
            canvas.polygon({QPoint(x - 6, y + 8), QPoint(x + 6, y + 8), QPoint(x, y - 4)});
            canvas.setBkMode(platform::BkMode::Transparent);
            canvas.textOut(x - 2, y - 2, QString::number(position + 1));
        }
        canvas.setBkMode(mode);
        canvas.font() = keep;
    } else if (SortSettings.Direction == sdDescending) {
        canvas.pen() = Pen{platform::clWhite, 1, PenStyle::Solid};
        line(canvas, x + 4, y - 4, x, y + 4);
        canvas.pen().color = platform::clGray;
        canvas.lineTo(x - 4, y - 4);
        canvas.lineTo(x + 4, y - 4);
    } else {
        canvas.pen() = Pen{platform::clWhite, 1, PenStyle::Solid};
        line(canvas, x - 4, y + 4, x + 4, y + 4);
        canvas.lineTo(x, y - 4);
        canvas.pen().color = platform::clGray;
        canvas.lineTo(x - 4, y + 4);
    }
    (void)indexGlyphs;
    canvas.pen().color = platform::clBlack;
}

void TExtStringGridPaint::DrawCellButton(Canvas& canvas, CellPaint& p, Rect r, Rect gr)
{
    TCellGraphic* g = p.Graphic.Graphic;
    const TCellType type = GetCellType(p.RCol, p.ARow);
    g->CellValue = double(((gr.top - p.CellRect.top) & 0xFFFF) * 65536 + ((gr.left - p.CellRect.left) & 0xFFFF));
    const QString caption = g->CellText;
    bool enabled = true;
    if (!ControlLook.NoDisabledButtonLook())
        CheckCanEdit(p.RCol, p.ARow, enabled);
    int look = ControlLook.FlatButton() ? blFlat : (platform::IsThemeActive() ? blTheme : blClassic);
    if (Flat() && Tones.Background.BrushColor != clNone)
        look = blTones;
    int state = g->CellBoolean ? btsPressed : (m_hoverButton.X == p.ACol && m_hoverButton.Y == p.ARow ? btsHot : btsNormal);
    if (!enabled && type != ctExpand)
        state = btsDisabled;
    if (type == ctExpand)
        gr = Rect{r.right - 13, r.top, r.right, r.top + 13};
    DrawPushButton(canvas, this, gr, look, state, Tones);
    if (state == btsPressed)
        gr = gr.offset(1, 1);
    if (type == ctBitButton && g->Bitmap && !g->Bitmap->isEmpty()) {
        const platform::Bitmap& b = *g->Bitmap;
        int dy = (gr.height() - b.height()) / 2;
        if (dy < 1)
            dy = 3;
        platform::Bitmap glyph = b;
        glyph.setTransparent(true);
        if (gr.width() - b.width() < 1 || !caption.isEmpty()) {
            canvas.draw(gr.left + 3, gr.top + dy, glyph);
            gr.left += b.width() + 4;
        } else {
            canvas.draw(gr.left + (gr.width() - b.width()) / 2, gr.top + dy, glyph);
        }
    }
    if (type == ctExpand) {
        canvas.pen() = Pen{platform::clBlack, 1, PenStyle::Solid};
        if (!g->CellVar.toBool()) {
            line(canvas, r.right - 10, r.top + 5, r.right - 7, r.top + 8);
            canvas.lineTo(r.right - 3, r.top + 4);
        } else {
            line(canvas, r.right - 10, r.top + 8, r.right - 7, r.top + 5);
            canvas.lineTo(r.right - 3, r.top + 9);
        }
        return;
    }
    gr.left += 1;
    const platform::Font keep = canvas.font();
    if (look == blTones) {
        const TColorTone* tones[] = {&Tones.Background, &Tones.Hover, &Tones.Selected, &Tones.Disabled};
        canvas.font().color = tones[state]->TextColor;
    }
    unsigned flags = platform::DT_CENTER | platform::DT_VCENTER | platform::DT_END_ELLIPSIS;
    flags |= caption.contains(u'\r') ? platform::DT_WORDBREAK : platform::DT_SINGLELINE;
    const platform::BkMode mode = canvas.bkMode();
    canvas.setBkMode(platform::BkMode::Transparent);
    canvas.drawText(caption, gr, flags);
    canvas.setBkMode(mode);
    canvas.font() = keep;
}

void TExtStringGridPaint::DrawCellProgress(Canvas& canvas, CellPaint& p, Rect r)
{
    TCellGraphic* g = p.Graphic.Graphic;
    const TCellType type = GetCellType(p.RCol, p.ARow);
    if (type == ctProgress) {
        const TControlStyle style = ControlLook.ControlStyle();
        if ((style == csWinXP || style == csTheme) && IsWinXPOrLater() && ControlLook.ProgressXP()) {
            r = r.inflated(-ControlLook.ProgressMarginX(), -ControlLook.ProgressMarginY());
            const platform::HTHEME theme = platform::OpenThemeData(this, QStringLiteral("progress"));
            platform::DrawThemeBackground(theme, canvas, platform::PP_BAR, 1, r);
            r = r.inflated(-2, -2);
            const int fill = int(std::lround(ClampPercent(Floats(p.RCol, p.ARow)) * r.width() / 100.0));
            platform::DrawThemeBackground(theme, canvas, platform::PP_CHUNK, 1, Rect{r.left, r.top, r.left + fill, r.bottom});
            platform::CloseThemeData(theme);
            return;
        }
        r = r.inflated(-2, -2);
        const Color bar = g->ColorBitmap;
        const Color back = g->ColorIcon;
        const Color barText = g->CellBoolean ? Color(g->CellIndex) : invertRgb(bar);
        const Color backText = g->CellBoolean ? Color(g->CellAngle) : invertRgb(back);
        DrawProgressBar(canvas, r, bar, barText, back, backText, Floats(p.RCol, p.ARow), ControlLook.ProgressMarginX(),
                        ControlLook.ProgressMarginY(), g->CellErrFrom, g->CellErrLen, g->CellText,
                        ControlLook.ProgressBorderColor, false);
        return;
    }
    // Styled progress bar.
    TProgressLook look;
    look.Level0Color = ProgressAppearance.Level0Color();
    look.Level0ColorTo = ProgressAppearance.Level0ColorTo();
    look.Level1Color = ProgressAppearance.Level1Color();
    look.Level1ColorTo = ProgressAppearance.Level1ColorTo();
    look.Level2Color = ProgressAppearance.Level2Color();
    look.Level2ColorTo = ProgressAppearance.Level2ColorTo();
    look.Level3Color = ProgressAppearance.Level3Color();
    look.Level3ColorTo = ProgressAppearance.Level3ColorTo();
    look.Level1Perc = ProgressAppearance.Level1Perc();
    look.Level2Perc = ProgressAppearance.Level2Perc();
    look.ShowBorder = ProgressAppearance.ShowBorder();
    look.BorderColor = ProgressAppearance.BorderColor();
    look.Stacked = ProgressAppearance.Stacked();
    look.ShowPercentage = ProgressAppearance.ShowPercentage();
    look.CompletionSmooth = ProgressAppearance.CompletionSmooth();
    look.ShowGradient = ProgressAppearance.ShowGradient();
    look.Font = font();
    look.CompleteFontColor = ProgressAppearance.CompleteFontColor();
    look.Steps = ProgressAppearance.Steps();
    look.UnCompleteColor = ProgressAppearance.UnCompleteColor() != clNone ? ProgressAppearance.UnCompleteColor()
                                                                        : canvas.brush().color;
    r = r.inflated(-ControlLook.ProgressMarginX(), -ControlLook.ProgressMarginY());
    r.right -= 1;
    r.bottom -= 1;
    // An empty range shows no progress.
    const int range = g->CellErrLen - g->CellErrFrom;
    const int percent = range == 0 ? 0 : int(std::lround(std::abs(Ints(p.RCol, p.ARow) - g->CellErrFrom) * 100.0 / range));
    DrawStyledProgressBar(canvas, r, percent, look);
}

void TExtStringGridPaint::DrawNodeButton(Canvas& canvas, CellPaint& p, Rect r)
{
    TCellGraphic* g = p.Graphic.Graphic;
    const int indent = CellNode.NodeIndent();
    r.left = GetNodeIndent(p.ARow) - indent;
    if (CellNode.ShowTree() && p.ARow >= FixedRows()) {
        canvas.pen() = Pen{CellNode.TreeColor(), 1, PenStyle::Solid};
        const int xt = r.left + indent / 2 + 2;
        const int mid = r.top + r.height() / 2;
        if (p.ARow + 1 < RowCount() && GetNodeIndent(p.ARow + 1) > 0
            && !(g->CellBoolean && GetNodeIndent(p.ARow + 1) < GetNodeIndent(p.ARow)))
            line(canvas, xt, mid, xt, r.bottom);
        if (p.ARow > 0 && GetNodeIndent(p.ARow - 1) >= GetNodeIndent(p.ARow))
            line(canvas, xt, r.top, xt, r.top + 6);
    }
    if (p.ACol < FixedCols() && !Flat() && (Look() == glSoft || Look() == glVekko || Look() == glXP || Look() == glListView))
        r.left += 1;
    r.left = GetNodeIndent(p.ARow) - indent / 2 - 4;
    Color bg = canvas.brush().color;
    if (bg == clNone)
        bg = FixedCols() == 0 ? color() : fixedColor();
    if (ShowSelection() && p.State.testFlag(platform::gdSelected) && !MouseActions.DisjunctRowSelect())
        bg = SelectionColor();
    const bool contracted = g->CellBoolean;
    switch (CellNode.NodeType()) {
    case cnLeaf:
        r.top += (r.height() - 12) / 2;
        DrawBitmapTransparent(canvas, GridGlyph(contracted ? QStringLiteral("XGRLEAFCLOSE") : QStringLiteral("XGRLEAFOPEN")),
                              bg, r);
        break;
    case cnXP:
        r = r.offset(4, (r.height() - 10) / 2);
        DrawBitmapTransparent(canvas, GridGlyph(contracted ? QStringLiteral("XPNODEC") : QStringLiteral("XPNODEO")), bg, r);
        break;
    case cnGlyph:
        if (!CellNode.ContractGlyph().isEmpty() && !CellNode.ExpandGlyph().isEmpty()) {
            const platform::Bitmap& b = contracted ? CellNode.ContractGlyph() : CellNode.ExpandGlyph();
            Rect at = r;
            at.top += (r.height() - CellNode.ContractGlyph().height()) / 2;
            DrawBitmapTransparent(canvas, b, bg, at);
            break;
        }
        [[fallthrough]];
    default: {
        canvas.brush() = Brush{CellNode.Color, BrushStyle::Solid};
        const int left = r.left + 4, right = r.left + 12;
        const int top = r.top + std::max(0, r.height() - 8) / 2, bottom = top + 8;
        if (CellNode.NodeType() == cnFlat || CellNode.NodeType() == cn3D) {
            canvas.pen() = Pen{CellNode.NodeColor, 1, PenStyle::Solid};
            canvas.rectangle(Rect{left, top, right + 1, bottom + 1});
            line(canvas, left + 2, top + 4, left + 7, top + 4);
            if (contracted)
                line(canvas, left + 4, top + 2, left + 4, top + 7);
        } else {
            Rect e{left, top, right, bottom};
            platform::DrawEdge(canvas, e, contracted ? platform::EDGE_RAISED : platform::EDGE_SUNKEN,
                               platform::BF_RECT | platform::BF_SOFT);
        }
        break;
    }
    }
}

} // namespace controls::grid
