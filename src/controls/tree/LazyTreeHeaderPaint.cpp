// Painting the header strip: background, one button per visible column in the header's edge
// style (or themed, or by the owner), image or check box, caption, sort glyph and drop mark.
#include "controls/tree/LazyTree.h"
#include "controls/tree/LazyTreeHeader.h"
#include "controls/tree/LazyTreeUtils.h"
#include "platform/draw/Frames.h"
#include "platform/draw/Graphics.h"
#include "platform/draw/Theme.h"

namespace controls {

using namespace platform;

namespace {

// Edge and border flags per header style: normal, pressed and (plates) raised.
struct EdgeStyle {
    unsigned normalEdge, normalFlags, pressedEdge, pressedFlags, raisedEdge, raisedFlags;
};
EdgeStyle edgeStyle(TLTHeaderStyle style)
{
    switch (style) {
    case hsFlatButtons:
        return {BDR_RAISEDINNER, 0x280B, BDR_SUNKENOUTER, 0x280F, 0, 0};
    case hsPlates:
        return {BDR_RAISEDINNER, 0x380F, BDR_SUNKENOUTER, 0x280F, BDR_RAISEDINNER, 0x280B};
    case hsThickButtons:
    default:
        return {BDR_RAISEDINNER | BDR_RAISEDOUTER, 0x380B, BDR_RAISEDINNER | BDR_RAISEDOUTER, 0x780F, 0, 0};
    }
}

} // namespace

// The shared images of the header: 0 left drop mark, 1 right drop mark, 2 sort descending,
// 3 sort ascending, 4 and 5 the same two sort glyphs in the themed look; 16 x 16 each.
TImageList& HeaderUtilityImages()
{
    static TImageList* list = [] {
        auto* l = new TImageList(16, 16);
        auto triangle = [](bool up, Color ink, Color face) {
            Bitmap b(16, 16, clFuchsia);
            Canvas c(b);
            c.pen() = Pen{ink, 1, PenStyle::Solid};
            c.brush() = Brush{face, BrushStyle::Solid};
            if (up)
                c.polygon({QPoint(4, 10), QPoint(11, 10), QPoint(8, 5), QPoint(7, 5)});
            else
                c.polygon({QPoint(4, 6), QPoint(11, 6), QPoint(8, 11), QPoint(7, 11)});
            return b;
        };
        auto mark = [](bool left) {
            Bitmap b(16, 16, clFuchsia);
            Canvas c(b);
            c.pen() = Pen{clBlack, 1, PenStyle::Solid};
            c.brush() = Brush{clBlack, BrushStyle::Solid};
            if (left)
                c.polygon({QPoint(0, 4), QPoint(5, 8), QPoint(0, 12)});
            else
                c.polygon({QPoint(15, 4), QPoint(10, 8), QPoint(15, 12)});
            return b;
        };
        l->AddMasked(mark(true), clFuchsia);
        l->AddMasked(mark(false), clFuchsia);
        l->AddMasked(triangle(false, clBtnShadow, clBtnShadow), clFuchsia);
        l->AddMasked(triangle(true, clBtnShadow, clBtnShadow), clFuchsia);
        l->AddMasked(triangle(false, clGrayText, clBtnFace), clFuchsia);
        l->AddMasked(triangle(true, clGrayText, clBtnFace), clFuchsia);
        return l;
    }();
    return *list;
}

void TLazyTreeColumns::PaintHeader(Canvas& Target, const Rect& R, int HOffset)
{
    TBaseLazyTree* tree = Tree();
    const Rect header = tree->HeaderRect();
    const int width = std::max(R.right - R.left, header.width());
    const int height = std::max(header.height(), 1);
    if (FHeaderBitmap.width() != width || FHeaderBitmap.height() != height)
        FHeaderBitmap = Bitmap(std::max(width, 1), height, clBtnFace, PixelFormat::pf32bit);
    const int fixedWidth = GetVisibleFixedWidth();
    const int rtl = tree->UseRightToLeftReading() ? tree->ComputeRTLOffset(false) : 0;
    {
        Canvas canvas(FHeaderBitmap);
        canvas.font().font = FHeader->Font();
        auto fixed = [&] {
            if (fixedWidth > 0)
                PaintHeader(canvas, Rect{0, 0, std::min(R.right, fixedWidth), R.bottom - R.top}, QPoint(R.left, R.top), rtl);
        };
        if (rtl == 0)
            fixed();
        PaintHeader(canvas, Rect{fixedWidth - HOffset, 0, R.right + fixedWidth - HOffset, R.bottom - R.top},
                    QPoint(R.left + fixedWidth, R.top), rtl);
        if (rtl != 0)
            fixed();
    }
    Canvas source(FHeaderBitmap);
    Target.copyRect(R, source, R);
}

void TLazyTreeColumns::PaintHeader(Canvas& TargetCanvas, Rect R, QPoint Target, int RTLOffset)
{
    if (R.isEmpty())
        return;
    TBaseLazyTree* tree = Tree();
    const TLTHeaderOptions options = FHeader->Options();
    const bool advanced = options.contains(hoOwnerDraw) && tree->OnAdvancedHeaderDraw && tree->OnHeaderDrawQueryElements;
    const bool simple = options.contains(hoOwnerDraw) && tree->OnHeaderDraw && !advanced;
    THeaderPaintInfo info;
    info.TargetCanvas = &TargetCanvas;
    TargetCanvas.font().font = FHeader->Font();
    const EdgeStyle edges = edgeStyle(FHeader->Style());
    const bool useThemes = tree->TreeStates().contains(tsUseThemes);
    const int headerHeight = FHeader->Height();

    THeaderPaintElements requested;
    if (advanced) {
        info.PaintRectangle = R;
        info.Column = nullptr;
        tree->DoHeaderDrawQueryElements(info, requested);
    }
    const Rect background{Target.x(), Target.y(), Target.x() + R.right - R.left, Target.y() + headerHeight};
    if (requested.contains(hpeBackground)) {
        info.PaintRectangle = background;
        tree->DoAdvancedHeaderDraw(info, THeaderPaintElements{hpeBackground});
    } else if (useThemes) {
        HTHEME theme = OpenThemeData(tree, QStringLiteral("header"));
        DrawThemeBackground(theme, TargetCanvas, HP_HEADERITEM, HIS_NORMAL, background);
        CloseThemeData(theme);
    } else {
        TargetCanvas.brush() = Brush{FHeader->Background(), BrushStyle::Solid};
        TargetCanvas.fillRect(background);
    }

    R.left = std::max(R.left, 0);
    R.top = std::max(R.top, 0);
    R.right = std::min(R.right, TotalWidth());
    R.bottom = std::min(R.bottom, headerHeight);
    const int maxX = Target.x() + R.right - R.left;
    TColumnIndex column = ColumnFromPosition(QPoint(R.left + RTLOffset, 0), false);
    if (column < 0)
        return;
    Rect button;
    button.top = Target.y();
    button.bottom = Target.y() + R.bottom - R.top;
    button.left = FItems[size_t(column)]->FLeft + Target.x() + RTLOffset - R.left;
    const bool showRightBorder = FHeader->Style() == hsThickButtons || !options.contains(hoAutoResize);

    while (column >= 0 && button.left < maxX) {
        TLazyTreeColumn* c = FItems[size_t(column)].get();
        button.right = button.left + c->FWidth;
        TargetCanvas.selectClipRegion(nullptr);
        TargetCanvas.intersectClipRect(Rect{std::max(Target.x(), button.left), Target.y() + R.top, std::min(maxX, button.right), button.bottom});

        info.Column = c;
        info.IsHoverIndex = column == FHoverIndex && options.contains(hoHotTrack) && c->FOptions.contains(coEnabled);
        info.IsDownIndex = column == FDownIndex && !FCheckBoxHit;
        info.DropMark = dmmNone;
        if (c->FOptions.contains(coShowDropMark) && column == FDropTarget && column != FDragIndex)
            info.DropMark = FDropBefore ? dmmLeft : dmmRight;
        info.IsEnabled = c->FOptions.contains(coEnabled) && tree->isEnabled();
        info.ShowHeaderGlyph = options.contains(hoShowImages) &&
                               ((FHeader->Images() && c->FImageIndex > -1) || c->FCheckBox);
        info.ShowSortGlyph = column == FHeader->SortColumn() && options.contains(hoShowSortGlyphs);
        info.PaintRectangle = button;
        info.ShowRightBorder = showRightBorder;

        if (simple && c->FStyle == vsOwnerDraw) {
            tree->DoHeaderDraw(TargetCanvas, c, button, info.IsHoverIndex, info.IsDownIndex, info.DropMark);
        } else {
            THeaderPaintElements columnRequested;
            if (advanced)
                tree->DoHeaderDrawQueryElements(info, columnRequested);
            const unsigned rightBorder = (showRightBorder || column < Count() - 1) ? BF_RIGHT : 0;
            if (columnRequested.contains(hpeBackground)) {
                tree->DoAdvancedHeaderDraw(info, THeaderPaintElements{hpeBackground});
            } else if (useThemes) {
                HTHEME theme = OpenThemeData(tree, QStringLiteral("header"));
                const int state = info.IsDownIndex ? HIS_PRESSED : info.IsHoverIndex ? HIS_HOT : HIS_NORMAL;
                DrawThemeBackground(theme, TargetCanvas, HP_HEADERITEM, state, button);
                CloseThemeData(theme);
            } else {
                Rect r = button;
                if (info.IsDownIndex)
                    DrawEdge(TargetCanvas, r, edges.pressedEdge, edges.pressedFlags);
                else if (FHeader->Style() == hsPlates && info.IsHoverIndex && c->FOptions.contains(coAllowClick) &&
                         c->FOptions.contains(coEnabled))
                    DrawEdge(TargetCanvas, r, edges.raisedEdge, edges.raisedFlags | rightBorder);
                else
                    DrawEdge(TargetCanvas, r, edges.normalEdge, edges.normalFlags | rightBorder);
            }
            Rect pr = button.inflated(-2, -2);
            unsigned drawFormat = DT_NOPREFIX;
            switch (c->CaptionAlignment()) {
            case Alignment::taRightJustify:
                drawFormat |= DT_RIGHT;
                break;
            case Alignment::taCenter:
                drawFormat |= DT_CENTER;
                break;
            default:
                break;
            }
            if (c->UseRightToLeftReading())
                drawFormat |= DT_RTLREADING;
            LayoutHeaderContent(TargetCanvas, c, pr, info, drawFormat);
            if (info.IsDownIndex) {
                info.TextRectangle = info.TextRectangle.offset(1, 1);
                info.GlyphPos += QPoint(1, 1);
                info.SortGlyphPos += QPoint(1, 1);
            }
            const THeaderPaintElements drawn =
                columnRequested * THeaderPaintElements{hpeDropMark, hpeHeaderGlyph, hpeSortGlyph, hpeText};
            c->FHasImage = false;
            TImageList& utility = HeaderUtilityImages();
            if (!columnRequested.contains(hpeHeaderGlyph) && info.ShowHeaderGlyph) {
                const int imagesWidth = FHeader->Images() ? FHeader->Images()->Width() : 0;
                if (!info.ShowSortGlyph || c->UseRightToLeftReading() || info.GlyphPos.x() + imagesWidth <= info.SortGlyphPos.x()) {
                    TImageList* list = nullptr;
                    if (c->FCheckBox) {
                        list = tree->CheckImages();
                        if (list) {
                            CellImageInfo image;
                            image.Images = list;
                            image.Index = tree->GetCheckImage(nullptr, c->FCheckType, c->FCheckState, info.IsEnabled);
                            image.XPos = info.GlyphPos.x();
                            image.YPos = info.GlyphPos.y();
                            tree->PaintCheckImage(TargetCanvas, image, false);
                        }
                    } else {
                        list = FHeader->Images();
                        list->Draw(TargetCanvas, info.GlyphPos.x(), info.GlyphPos.y(), c->FImageIndex, info.IsEnabled);
                    }
                    if (list) {
                        c->FHasImage = true;
                        c->FImageRect = Rect{info.GlyphPos.x(), info.GlyphPos.y(), info.GlyphPos.x() + list->Width(),
                                             info.GlyphPos.y() + list->Height()};
                    }
                }
            }
            const QString caption = c->FOptions.contains(coWrapCaption) ? c->FCaptionText : c->GetText();
            const bool hot = info.IsHoverIndex && options.contains(hoHotTrack) && !useThemes;
            if (!columnRequested.contains(hpeText) && !c->GetText().isEmpty())
                DrawCaption(TargetCanvas, caption, info.TextRectangle, info.IsEnabled, hot, drawFormat,
                            c->FOptions.contains(coWrapCaption));
            if (!columnRequested.contains(hpeSortGlyph) && info.ShowSortGlyph) {
                const int index = FHeader->SortDirection() == sdAscending ? (useThemes ? 5 : 3) : (useThemes ? 4 : 2);
                utility.Draw(TargetCanvas, info.SortGlyphPos.x(), info.SortGlyphPos.y(), index);
            }
            if (!columnRequested.contains(hpeDropMark) && info.DropMark != dmmNone) {
                const int y = (pr.top + pr.bottom - utility.Height()) / 2;
                if (info.DropMark == dmmLeft)
                    utility.Draw(TargetCanvas, pr.left, y, 0);
                else
                    utility.Draw(TargetCanvas, pr.right - 16, y, 1);
            }
            if (!drawn.empty()) {
                const int saved = TargetCanvas.saveState();
                tree->DoAdvancedHeaderDraw(info, drawn);
                TargetCanvas.restoreState(saved);
            }
        }
        TargetCanvas.selectClipRegion(nullptr);
        button.left = button.right;
        column = GetNextVisibleColumn(column);
    }
}

void TLazyTreeColumns::DrawCaption(Canvas& Canvas, QString Caption, Rect Bounds, bool Enabled, bool Hot,
                                   unsigned DrawFormat, bool WrapCaption)
{
    if (!WrapCaption && Canvas.textWidth(Caption, Bounds.width()) > Bounds.width())
        Caption = ShortenTextWithEllipsis(Canvas, Caption, Bounds.width(), 0);
    Canvas.setBkMode(BkMode::Transparent);
    TBaseLazyTree* tree = Tree();
    if (Enabled) {
        Canvas.font().color = Hot ? tree->Colors().HeaderHotColor() : tree->Colors().HeaderFontColor();
        Canvas.drawText(Caption, Bounds, DrawFormat);
    } else {
        Rect moved = Bounds.offset(1, 1);
        Canvas.font().color = clBtnHighlight;
        Canvas.drawText(Caption, moved, DrawFormat);
        Canvas.font().color = clBtnShadow;
        Canvas.drawText(Caption, Bounds, DrawFormat);
    }
}

void TLazyTreeColumns::LayoutHeaderContent(Canvas& Canvas, TLazyTreeColumn* Column, const Rect& Client,
                                           THeaderPaintInfo& Info, unsigned DrawFormat)
{
    TBaseLazyTree* tree = Tree();
    const int w = Client.width();
    const int h = Client.height();
    const bool hasText = !Column->GetText().isEmpty();
    Info.TextRectangle = Rect{};
    Info.GlyphPos = QPoint();
    Info.SortGlyphPos = QPoint();
    if (!hasText && !Info.ShowHeaderGlyph && !Info.ShowSortGlyph)
        return;
    Alignment alignment = Column->CaptionAlignment();
    if (Column->UseRightToLeftReading()) {
        if (alignment == Alignment::taLeftJustify)
            alignment = Alignment::taRightJustify;
        else if (alignment == Alignment::taRightJustify)
            alignment = Alignment::taLeftJustify;
    }
    int gw = 0;
    int gh = 0;
    if (Info.ShowHeaderGlyph) {
        if (Column->FCheckBox) {
            if (TImageList* list = tree->CheckImages()) {
                gw = list->Width();
                gh = list->Height();
            }
        } else if (FHeader->Images()) {
            gw = FHeader->Images()->Width();
            gh = FHeader->Images()->Height();
        }
    }
    const bool glyph = Info.ShowHeaderGlyph;
    int sw = 0;
    int sh = 0;
    if (Info.ShowSortGlyph) {
        sw = HeaderUtilityImages().Width();
        sh = HeaderUtilityImages().Height();
        Info.SortGlyphPos.setY((h - sh) / 2);
    }
    int tw = 0;
    int th = 0;
    int textGap = 0;
    if (hasText) {
        if (!Column->FOptions.contains(coWrapCaption)) {
            Column->FCaptionText = Column->GetText();
            const QSize extent = Canvas.textExtent(Column->GetText());
            tw = extent.width() + 2;
            th = extent.height();
        } else {
            if (Column->FCaptionText.isEmpty())
                Column->FCaptionText = WrapCaptionText(Canvas, Column->GetText(), Client, DrawFormat, false);
            Rect measure{0, 0, w, 0};
            Canvas.drawText(Column->FCaptionText, measure, DrawFormat | DT_CALCRECT | DT_WORDBREAK);
            tw = w;
            th = measure.height();
        }
        Info.TextRectangle = Rect{0, 0, tw, th};
        textGap = Column->FSpacing;
    }
    const int spacing = Column->FSpacing;
    const int margin = Column->FMargin;
    const bool rtl = Column->UseRightToLeftReading();
    const TLTHeaderColumnLayout layout = Column->FLayout;
    const bool topBottom = layout == blGlyphTop || layout == blGlyphBottom;
    int textLeft = 0;
    int textY = 0;

    if (Info.ShowSortGlyph && !hasText && !glyph) {
        Info.SortGlyphPos = QPoint((w - sw) / 2, (h - sh) / 2);
    } else {
        // Vertical.
        if (!glyph || !topBottom) {
            Info.GlyphPos.setY((h - gh) / 2);
            textY = std::max((h - th) / 2, -5);
        } else if (layout == blGlyphTop) {
            Info.GlyphPos.setY((h - gh - th - textGap) / 2);
            textY = Info.GlyphPos.y() + gh + textGap;
        } else {
            textY = (h - gh - th - textGap) / 2;
            Info.GlyphPos.setY(textY + th + textGap);
        }
        // Horizontal.
        if (alignment == Alignment::taLeftJustify) {
            int x = margin;
            if (Info.ShowSortGlyph && rtl) {
                Info.SortGlyphPos.setX(x);
                x += sw + spacing;
            }
            if (topBottom) {
                textLeft = x;
                if (glyph) {
                    Info.GlyphPos.setX(std::max((w - gw) / 2, x));
                    x = std::max(Info.GlyphPos.x() + gw + spacing, textLeft + tw + textGap);
                } else {
                    x = textLeft + tw + textGap;
                }
            } else {
                if (glyph && layout == blGlyphLeft) {
                    Info.GlyphPos.setX(x);
                    x += gw + spacing;
                }
                textLeft = x;
                x += tw + textGap;
                if (glyph && layout == blGlyphRight) {
                    Info.GlyphPos.setX(x);
                    x += gw + spacing;
                }
            }
            if (Info.ShowSortGlyph && !rtl)
                Info.SortGlyphPos.setX(x);
        } else if (alignment == Alignment::taCenter) {
            if (topBottom) {
                Info.GlyphPos.setX((w - gw) / 2);
                textLeft = (w - tw) / 2;
                if (Info.ShowSortGlyph)
                    textLeft -= sw / 2;
            } else {
                int x = (w - gw - textGap - tw) / 2;
                if (glyph && layout == blGlyphLeft) {
                    Info.GlyphPos.setX(x);
                    x += gw + textGap;
                }
                textLeft = x;
                x += textGap + tw;
                if (glyph && layout == blGlyphRight)
                    Info.GlyphPos.setX(x);
            }
            int minLeft = textLeft;
            int maxRight = textLeft + tw;
            if (glyph) {
                minLeft = std::min(textLeft, Info.GlyphPos.x());
                maxRight = std::max(Info.GlyphPos.x() + gw, textLeft + tw);
            }
            if (Info.ShowSortGlyph)
                Info.SortGlyphPos.setX(rtl ? minLeft - spacing - sw : maxRight + spacing);
        } else {
            int x = w - margin;
            if (Info.ShowSortGlyph && !rtl) {
                x -= sw;
                Info.SortGlyphPos.setX(x);
                x -= spacing;
            }
            if (topBottom) {
                textLeft = x - tw;
                if (glyph) {
                    Info.GlyphPos.setX((w - gw) / 2);
                    if (Info.GlyphPos.x() + gw + spacing > x)
                        Info.GlyphPos.setX(x - gw - spacing);
                    x = std::min(Info.GlyphPos.x() - spacing, textLeft - textGap);
                } else {
                    x = textLeft - textGap;
                }
            } else {
                if (glyph && layout == blGlyphRight) {
                    Info.GlyphPos.setX(x - gw);
                    x = Info.GlyphPos.x() - spacing;
                }
                textLeft = x - tw;
                x = textLeft - textGap;
                if (glyph && layout == blGlyphLeft) {
                    Info.GlyphPos.setX(x - gw);
                    x = Info.GlyphPos.x() - spacing;
                }
            }
            if (Info.ShowSortGlyph && rtl)
                Info.SortGlyphPos.setX(x - sw);
        }
    }
    // Limits.
    int minLeft = margin;
    int maxRight = w - margin;
    if (Info.ShowSortGlyph) {
        if (!rtl) {
            if (Info.SortGlyphPos.x() + sw > maxRight)
                Info.SortGlyphPos.setX(maxRight - sw);
            maxRight = Info.SortGlyphPos.x() - spacing;
        }
        Info.SortGlyphPos.setX(std::max(Info.SortGlyphPos.x(), minLeft));
        if (rtl)
            minLeft = Info.SortGlyphPos.x() + sw + spacing;
        Info.SortGlyphPos += QPoint(Client.left, Client.top);
    }
    if (glyph) {
        if (Info.GlyphPos.x() + gw > maxRight)
            Info.GlyphPos.setX(maxRight - gw);
        if (layout == blGlyphRight)
            maxRight = Info.GlyphPos.x() - spacing;
        Info.GlyphPos.setX(std::max(Info.GlyphPos.x(), minLeft));
        if (layout == blGlyphLeft)
            minLeft = Info.GlyphPos.x() + gw + spacing;
        if (Column->FCheckBox || Column->FIndex != FHeader->MainColumn())
            Info.GlyphPos.rx() -= 2;
        Info.GlyphPos += QPoint(Client.left, Client.top);
    }
    if (hasText) {
        textLeft = std::max(textLeft, minLeft);
        Info.TextRectangle = Info.TextRectangle.offset(textLeft, textY);
        Info.TextRectangle.right = std::min(Info.TextRectangle.right, maxRight);
        Info.TextRectangle = Info.TextRectangle.offset(Client.left, Client.top);
        if (Column->FOptions.contains(coWrapCaption)) {
            Column->FCaptionText = WrapCaptionText(Canvas, Column->GetText(), Info.TextRectangle, DrawFormat, false);
            Rect measure = Info.TextRectangle;
            Canvas.drawText(Column->FCaptionText, measure, DrawFormat | DT_CALCRECT | DT_WORDBREAK);
        }
    }
}

} // namespace controls
