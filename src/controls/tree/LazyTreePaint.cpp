// Painting: the paint cycle over the visible rows, cell preparation, row background, tree
// lines, expand buttons, check images and node images, and the button glyphs and line pattern
// built ahead of painting.
#include "controls/tree/LazyTree.h"
#include "controls/tree/LazyTreeUtils.h"
#include "platform/draw/Frames.h"
#include "platform/draw/Theme.h"
#include "platform/draw/TreeTheme.h"

#include <QApplication>
#include <QPaintEvent>
#include <QPainter>
#include <cmath>

namespace controls {

using namespace platform;

namespace {

int roundHalfEven(double v) { return int(std::nearbyint(v)); }

// The platform's rounding multiply-divide for non-negative values.
int mulDiv(int a, int b, int c)
{
    if (c == 0)
        return -1;
    const int64_t p = int64_t(a) * b;
    return int((p + (p >= 0 ? c / 2 : -c / 2)) / c);
}

constexpr TLTInternalPaintOptions kWindowPaintOptions{poBackground,   poColumnColor,  poDrawFocusRect,
                                                      poDrawSelection, poDrawDropMark, poGridLines};

} // namespace

// --- background picture -------------------------------------------------------------------------

void TBaseLazyTree::SetBackground(const Picture& picture)
{
    FBackground = picture;
    Invalidate();
}

void TBaseLazyTree::SetBackgroundOffset(int index, int value)
{
    int& field = index == 0 ? FBackgroundOffsetX : FBackgroundOffsetY;
    if (field == value)
        return;
    field = value;
    Invalidate();
}

void TBaseLazyTree::PaintTiledBackground(Canvas& Canvas, QPoint Offset, const Rect& R)
{
    const Bitmap& bitmap = FBackground.bitmap();
    const int w = bitmap.width();
    const int h = bitmap.height();
    if (w <= 0 || h <= 0)
        return;
    const int ox = Offset.x() + FBackgroundOffsetX;
    const int oy = Offset.y() + FBackgroundOffsetY;
    const int startY = ((R.top + oy) % h + h) % h;
    const int startX = ((R.left + ox) % w + w) % w;
    QPainter& p = Canvas.painter();
    for (int y = R.top - startY; y < R.bottom; y += h)
        for (int x = R.left - startX; x < R.right; x += w) {
            const QRect target = QRect(x, y, w, h).intersected(R.toQRect());
            p.drawImage(target, bitmap.image(), target.translated(-x, -y));
        }
}

void TBaseLazyTree::PaintStaticBackground(Canvas& Canvas, QPoint Offset, const Rect& R)
{
    Canvas.brush() = Brush{FColor, BrushStyle::Solid};
    Canvas.fillRect(R);
    const Bitmap& bitmap = FBackground.bitmap();
    const QRect picture(FBackgroundOffsetX - Offset.x(), FBackgroundOffsetY - Offset.y(), bitmap.width(), bitmap.height());
    const QRect target = picture.intersected(R.toQRect());
    if (!target.isEmpty())
        Canvas.painter().drawImage(target, bitmap.toDrawable(), target.translated(-picture.topLeft()));
}

// --- the paint cycle ----------------------------------------------------------------------------

void TBaseLazyTree::paintEvent(QPaintEvent* event)
{
    FUpdateRect = Rect::fromQRect(event->rect());
    Canvas canvas(viewport());
    if (FToggleAnimation) {
        PaintToggleAnimation(canvas, FUpdateRect);
        return;
    }
    canvas.font().font = font();
    FTargetCanvas = &canvas;
    try {
        Paint();
    } catch (...) {
        FTargetCanvas = nullptr;
        throw;
    }
    FTargetCanvas = nullptr;
}

void TBaseLazyTree::Paint()
{
    if (FUpdateRect.isEmpty() || !FTargetCanvas)
        return;
    const int rtl = UseRightToLeftReading() && FHeader->UseColumns() ? ComputeRTLOffset() : 0;
    const int fixedWidth = FHeader->GetVisibleFixedWidth();
    if (fixedWidth == 0) {
        const Rect window = FUpdateRect.offset(FEffectiveOffsetX - rtl, -FOffsetY);
        PaintTree(*FTargetCanvas, window, QPoint(FUpdateRect.left, FUpdateRect.top), kWindowPaintOptions);
        return;
    }
    // Fixed columns do not scroll: they are painted apart from the rest.
    const Rect client = ClientRect();
    Rect fixed = client;
    fixed.right = std::min(fixedWidth, client.right);
    PaintTree(*FTargetCanvas, fixed.offset(-rtl, -FOffsetY), QPoint(0, 0), kWindowPaintOptions);
    if (fixedWidth < client.right) {
        Rect rest = client;
        rest.left = fixedWidth;
        PaintTree(*FTargetCanvas, rest.offset(FEffectiveOffsetX - rtl, -FOffsetY), QPoint(fixedWidth, 0), kWindowPaintOptions);
    }
}

void TBaseLazyTree::PaintToggleAnimation(Canvas& canvas, const Rect& updateRect)
{
    const TToggleAnimation& a = *FToggleAnimation;
    QPainter& p = canvas.painter();
    if (!a.Snapshot.isNull())
        p.drawImage(updateRect.toQRect(), a.Snapshot, updateRect.toQRect());
    else
        p.fillRect(updateRect.toQRect(), toQColor(a.Background));
    auto slide = [&](const Rect& region, TToggleAnimation::Mode mode, int shift) {
        if (mode == TToggleAnimation::None || region.isEmpty())
            return;
        p.save();
        p.setClipRect(region.toQRect());
        p.fillRect(region.toQRect(), toQColor(a.Background));
        if (!a.Snapshot.isNull())
            p.drawImage(QPoint(region.left, region.top + shift), a.Snapshot, region.toQRect());
        p.restore();
    };
    slide(a.R1, a.Mode1, a.Shift1);
    slide(a.R2, a.Mode2, a.Shift2);
}

void TBaseLazyTree::PaintTree(Canvas& TargetCanvas, const Rect& Window, QPoint Target, TLTInternalPaintOptions PaintOptions,
                              PixelFormat PixelFormat)
{
    if (FStates.contains(tsPainting))
        return;
    DoStateChange({tsPainting});
    DoBeforePaint(TargetCanvas);
    const bool unbuffered = PaintOptions.contains(poUnbuffered);
    int savedState = 0;
    std::unique_ptr<Bitmap> rowBitmap;
    std::unique_ptr<Canvas> rowCanvas;
    try {
        if (unbuffered)
            savedState = TargetCanvas.saveState();
        TLTPaintInfo info;
        const int paintWidth = Window.width();
        const auto paint = FOptions->PaintOptions();
        const bool mmx = ProcessorHasMMX();
        const bool useThemes = FStates.contains(tsUseThemes);
        platform::PixelFormat format = PixelFormat;
        if (mmx && (FDrawSelectionMode == smBlendedRectangle || useThemes || paint.contains(toUseBlendedSelection)))
            format = PixelFormat::pf32bit;

        const Rect selectionRectNormal = NormalizeRect(FNewSelRect);
        const bool drawSelectionRect = (FStates.contains(tsDrawSelecting)) && !selectionRectNormal.isEmpty() &&
                                       (QApplication::mouseButtons() & Qt::LeftButton);
        Rect selectionRect = selectionRectNormal;
        Rect R{0, 0, int(std::max<int64_t>(FRangeX, ClientWidth())), 0};
        const bool useBackground = paint.contains(toShowBackground) && !FBackground.isEmpty() &&
                                   PaintOptions.contains(poBackground);
        const bool showImages = FImages != nullptr;
        const bool showStateImages = FStateImages != nullptr;
        const bool showCheckImages = FCheckImages && FOptions->MiscOptions().contains(toCheckSupport);
        const bool useColumns = FHeader->UseColumns();
        if (paint.contains(toAlwaysHideSelection) || (!Focused() && paint.contains(toHideSelection)))
            PaintOptions -= poDrawSelection;
        if (paint.contains(toHideFocusRect))
            PaintOptions -= poDrawFocusRect;

        int baseOffset = 0;
        PLazyNode node = GetNodeAt(0, Window.top, false, baseOffset);
        if (!node)
            baseOffset = Window.top;
        if (drawSelectionRect)
            selectionRect = selectionRect.offset(0, -baseOffset);

        const int maximumRight = Target.x() + paintWidth;
        const int maximumBottom = Target.y() + Window.height();
        Rect targetRect{Target.x(), Target.y() - (Window.top - baseOffset), maximumRight, Target.y() - (Window.top - baseOffset)};
        TargetCanvas.font().font = font();
        TColumnIndex firstColumn = InvalidColumn;
        const int glyphWidth = GlyphWidth();
        int buttonX = roundHalfEven((int(FIndent) - glyphWidth) / 2.0) + 1;
        TLineImage lineImage;

        while (node) {
            int selectLevel = DetermineLineImageAndSelectLevel(node, lineImage);
            const int indentSize = int(lineImage.size());
            if (!paint.contains(toFixedIndent))
                buttonX = (indentSize - 1) * int(FIndent) + roundHalfEven((int(FIndent) - glyphWidth) / 2.0) + 1;
            if (!node->States.contains(vsInitialized))
                InitNode(node);
            if (node->States.contains(vsSelected) && !paint.contains(toChildrenAbove))
                ++selectLevel;
            MeasureItemHeight(rowCanvas ? rowCanvas.get() : &TargetCanvas, node);
            const int nodeHeight = node->NodeHeight;
            info.BrushOrigin = QPoint(Window.left & 1, baseOffset & 1);
            baseOffset += nodeHeight;
            targetRect.bottom = targetRect.top + nodeHeight;

            if (nodeHeight > 0 && (selectLevel > 0 || !PaintOptions.contains(poSelectedOnly))) {
                if (!unbuffered) {
                    if (!rowBitmap || rowBitmap->height() != nodeHeight || rowBitmap->width() != paintWidth) {
                        rowCanvas.reset();
                        rowBitmap = std::make_unique<Bitmap>(std::max(paintWidth, 1), nodeHeight, clWhite, format);
                        rowCanvas = std::make_unique<Canvas>(*rowBitmap);
                        rowCanvas->font().font = font();
                    }
                    rowCanvas->selectClipRegion(nullptr);
                    SetCanvasOrigin(*rowCanvas, Window.left, 0);
                    info.Canvas = rowCanvas.get();
                    info.RowBitmap = rowBitmap.get();
                } else {
                    info.Canvas = &TargetCanvas;
                    info.RowBitmap = nullptr;
                    TargetCanvas.selectClipRegion(nullptr);
                    SetCanvasOrigin(TargetCanvas, 0, 0);
                    const Rect clip{targetRect.left, targetRect.top, targetRect.right,
                                    std::min(targetRect.bottom, maximumBottom)};
                    ClipCanvasToRect(TargetCanvas, clip);
                    SetCanvasOrigin(TargetCanvas, Window.left - targetRect.left, -targetRect.top);
                    info.BrushOrigin = QPoint(targetRect.left + (Window.left & 1), targetRect.top + (info.BrushOrigin.y()));
                }
                Canvas& canvas = *info.Canvas;
                R.bottom = nodeHeight;
                int vAlign = 0;
                int buttonY = 0;
                ComputeVerticalAlignments(showImages, showStateImages, node, vAlign, buttonY);
                info.Node = node;
                bool customDraw = false;
                if (OnBeforeItemPaint)
                    OnBeforeItemPaint(this, canvas, node, R, customDraw);
                if (!customDraw) {
                    info.PaintOptions = PaintOptions;
                    EraseNodeRow(info, useBackground, true, Rect{Window.left, targetRect.top, Window.right, targetRect.bottom});
                    info.CellRect = R;
                    info.Column = NoColumn;
                    info.Position = 0;
                    TColumnIndex column = NoColumn;
                    if (useColumns) {
                        column = FHeader->GetFirstVisibleColumn();
                        if (column >= 0) {
                            const TLazyTreeColumn* first = FHeader->Columns().Items(column);
                            info.CellRect.left = first->UnscrolledLeft();
                            info.CellRect.right = first->UnscrolledLeft() + first->Width();
                            info.Position = first->Position();
                        }
                    }
                    while ((column >= NoColumn || !useColumns) && info.CellRect.left < Window.right) {
                        const TLazyTreeColumn* columnItem = nullptr;
                        if (useColumns) {
                            column = FHeader->ColumnFromPosition(info.Position);
                            if (!FHeader->IsValidColumn(column))
                                break;
                            columnItem = FHeader->Columns().Items(column);
                            if (firstColumn == InvalidColumn)
                                firstColumn = column;
                            info.BidiMode = columnItem->BiDiMode();
                            info.Alignment = columnItem->Alignment();
                        } else {
                            column = NoColumn;
                            info.BidiMode = FBiDiMode;
                            info.Alignment = FAlignment;
                        }
                        info.Column = column;
                        TLTInternalPaintOptions cellOptions = PaintOptions;
                        if (FStates.contains(tsEditing) && node == FFocusedNode && (info.Column == FEditColumn || !useColumns))
                            cellOptions -= poDrawSelection;
                        if (!useColumns ||
                            (node->States.contains(vsSelected) && FOptions->SelectionOptions().contains(toFullRowSelect) &&
                             cellOptions.contains(poDrawSelection)) ||
                            (columnItem && columnItem->Options().contains(coParentColor)))
                            cellOptions -= poColumnColor;
                        info.PaintOptions = cellOptions;
                        const bool isMainColumn = info.Column == FHeader->MainColumn();
                        if (info.BidiMode != bdLeftToRight) {
                            if (info.Alignment == Alignment::taLeftJustify)
                                info.Alignment = Alignment::taRightJustify;
                            else if (info.Alignment == Alignment::taRightJustify)
                                info.Alignment = Alignment::taLeftJustify;
                        }
                        TColumnIndex nextColumn = InvalidColumn;
                        if ((columnItem && !columnItem->Options().contains(coVisible)) ||
                            (PaintOptions.contains(poMainOnly) && !isMainColumn)) {
                            nextColumn = FHeader->GetNextVisibleColumn(column);
                        } else {
                            AdjustPaintCellRect(info, nextColumn);
                            if (info.CellRect.right > Window.left) {
                                if (useColumns) {
                                    Rect clip = info.CellRect;
                                    if (unbuffered) {
                                        clip.left = std::max(clip.left, Window.left);
                                        clip.right = std::min(clip.right, Window.right);
                                        clip.bottom -= std::max(targetRect.bottom - maximumBottom, 0);
                                    }
                                    ClipCanvasToRect(canvas, clip);
                                }
                                PaintCell(info, Window, paint, vAlign, buttonY, buttonX, indentSize, lineImage,
                                          showImages, showStateImages, showCheckImages, isMainColumn, useThemes, useColumns,
                                          paintWidth);
                            }
                            if (!useColumns) {
                                canvas.selectClipRegion(nullptr);
                                break;
                            }
                        }
                        canvas.selectClipRegion(nullptr);
                        if (info.CellRect.left >= Window.right || !FHeader->IsValidColumn(nextColumn))
                            break;
                        const TLazyTreeColumn* next = FHeader->Columns().Items(nextColumn);
                        info.Position = next->Position();
                        if (next->Options().contains(coVisible)) {
                            info.CellRect.left = next->UnscrolledLeft();
                            info.CellRect.right = next->UnscrolledLeft() + next->Width();
                            info.CellRect.bottom = nodeHeight;
                            info.ContentRect.bottom = nodeHeight;
                        }
                    }
                    DoAfterItemPaint(canvas, node, R);
                    if (node == FDropTargetNode && paint.contains(toShowDropmark) && PaintOptions.contains(poDrawDropMark))
                        DoPaintDropMark(canvas, node, R);
                }
                if (drawSelectionRect)
                    PaintSelectionRectangle(canvas, Window.left, selectionRect, Rect{0, 0, paintWidth, nodeHeight},
                                            info.RowBitmap);
                if (!unbuffered) {
                    SetCanvasOrigin(*rowCanvas, 0, 0);
                    TargetCanvas.draw(targetRect.left, targetRect.top, *rowBitmap);
                }
            }
            targetRect.top += nodeHeight;
            if (targetRect.top >= maximumBottom)
                break;
            if (drawSelectionRect)
                selectionRect = selectionRect.offset(0, -nodeHeight);
            node = GetNextVisible(node, true);
        }

        if (unbuffered) {
            TargetCanvas.selectClipRegion(nullptr);
            SetCanvasOrigin(TargetCanvas, 0, 0);
        }
        // Below the last node.
        if (targetRect.top < maximumBottom) {
            const int oldTargetX = Target.x();
            Target = QPoint(targetRect.left, targetRect.top);
            Rect area{0, 0, maximumRight - Target.x(), maximumBottom - Target.y()};
            Canvas* canvas = &TargetCanvas;
            Bitmap* bits = nullptr;
            if (!unbuffered) {
                rowCanvas.reset();
                rowBitmap = std::make_unique<Bitmap>(std::max(area.width(), 1), std::max(area.height(), 1), clWhite,
                                                     PixelFormat::pf32bit);
                rowCanvas = std::make_unique<Canvas>(*rowBitmap);
                canvas = rowCanvas.get();
                bits = rowBitmap.get();
            } else {
                SetCanvasOrigin(TargetCanvas, -Target.x(), -Target.y());
            }
            bool handled = false;
            if (OnPaintBackground)
                OnPaintBackground(this, *canvas, area, handled);
            if (!handled) {
                if (useBackground) {
                    if (paint.contains(toStaticBackground))
                        PaintStaticBackground(*canvas, QPoint(-Window.left, -(Window.top + targetRect.top - Target.y())), area);
                    else
                        PaintTiledBackground(*canvas, QPoint(Window.left, baseOffset), area);
                } else if (useColumns) {
                    // Each column's colour down to the bottom, with full-height grid lines.
                    const auto& paintOptions = FOptions->PaintOptions();
                    const bool fullLines = PaintOptions.contains(poGridLines) && paintOptions.contains(toFullVertGridLines) &&
                                           paintOptions.contains(toShowVertGridLines);
                    const TLazyTreeColumns& columns = FHeader->Columns();
                    int maxRight = Window.left;
                    const int areaRight = Window.left + area.width();
                    for (TLazyTreeColumn* c : columns.GetVisibleColumns()) {
                        const int left = c->UnscrolledLeft();
                        const int right = left + c->Width();
                        if (right <= maxRight)
                            continue;
                        if (left >= areaRight)
                            break;
                        Rect r{std::max(left, maxRight) - Window.left, 0, right - Window.left, area.bottom};
                        if (fullLines && (!FHeader->Options().contains(hoAutoResize) || c->Index() < columns.Count() - 1)) {
                            FillPatternRect(*canvas, Rect{r.right - 1, 0, r.right, r.bottom}, kDottedPattern, QPoint(0, 0),
                                            FColors->GridLineColor(), FColors->BackGroundColor());
                            --r.right;
                        }
                        canvas->brush() = Brush{c->Options().contains(coParentColor) ? FColors->BackGroundColor() : c->Color(),
                                                BrushStyle::Solid};
                        canvas->fillRect(r);
                        maxRight = right;
                    }
                    if (maxRight < areaRight) {
                        canvas->brush() = Brush{FColors->BackGroundColor(), BrushStyle::Solid};
                        canvas->fillRect(Rect{maxRight - Window.left, 0, area.right, area.bottom});
                    }
                } else {
                    canvas->brush() = Brush{FColors->BackGroundColor(), BrushStyle::Solid};
                    canvas->fillRect(area);
                }
            }
            if (drawSelectionRect) {
                const Rect r = selectionRectNormal.offset(oldTargetX - Target.x() - Window.left,
                                                          FOffsetY - Target.y());
                PaintSelectionRectangle(*canvas, 0, r, area, bits);
            }
            if (!unbuffered) {
                rowCanvas.reset();
                TargetCanvas.draw(Target.x(), Target.y(), *rowBitmap);
            } else {
                SetCanvasOrigin(TargetCanvas, 0, 0);
            }
        }
        rowCanvas.reset();
        rowBitmap.reset();
        if (unbuffered)
            TargetCanvas.restoreState(savedState);

        if (FRoot->ChildCount == 0 && !FEmptyListMessage.isEmpty()) {
            TargetCanvas.font().font = font();
            TargetCanvas.font().color = clGrayText;
            TargetCanvas.setBkMode(BkMode::Transparent);
            Rect r{FOffsetX + 2, 2, FOffsetX + width(), height() - 2};
            TargetCanvas.drawText(FEmptyListMessage, r, DT_LEFT | DT_NOCLIP | DT_WORDBREAK);
        }
        DoAfterPaint(TargetCanvas);
    } catch (...) {
        rowCanvas.reset();
        if (unbuffered && savedState > 0)
            TargetCanvas.restoreState(savedState);
        DoStateChange({}, {tsPainting});
        throw;
    }
    DoStateChange({}, {tsPainting});
}

void TBaseLazyTree::PaintCell(TLTPaintInfo& info, const Rect& Window, TLTPaintOptions paint, int vAlign, int buttonY,
                              int buttonX, int indentSize, const TLineImage& lineImage, bool showImages,
                              bool showStateImages, bool showCheckImages, bool isMainColumn, bool useThemes,
                              bool useColumns, int paintWidth)
{
    Canvas& canvas = *info.Canvas;
    PLazyNode node = info.Node;
    const TLTInternalPaintOptions cellOptions = info.PaintOptions;
    info.NodeWidth = DoGetNodeWidth(node, info.Column, &canvas);
    info.ContentRect = info.CellRect;
    if (info.BidiMode == bdLeftToRight)
        info.ContentRect.left += FMargin;
    else
        info.ContentRect.right -= FMargin;
    auto& check = info.ImageInfo[ciCheck];
    check.Index = -1;
    if (showCheckImages && isMainColumn) {
        check.Index = GetCheckImage(node);
        if (check.Index >= 0) {
            check.Images = FCheckImages;
            AdjustImageBorder(FCheckImages, info.BidiMode, vAlign, info.ContentRect, check);
            check.Ghosted = false;
        }
    }
    auto& state = info.ImageInfo[ciState];
    state.Index = -1;
    if (showStateImages) {
        GetImageIndex(info, ikState, ciState, FStateImages);
        if (state.Index >= 0)
            AdjustImageBorder(FStateImages, info.BidiMode, vAlign, info.ContentRect, state);
    }
    auto& normal = info.ImageInfo[ciNormal];
    normal.Index = -1;
    if (showImages) {
        GetImageIndex(info, node->States.contains(vsSelected) ? ikSelected : ikNormal, ciNormal, FImages);
        if (normal.Index >= 0)
            AdjustImageBorder(normal.Images ? normal.Images : FImages, info.BidiMode, vAlign, info.ContentRect, normal);
    }
    const int levels = paint.contains(toFixedIndent) ? 1 : indentSize;
    if (isMainColumn) {
        const int shift = levels * int(FIndent);
        if (info.BidiMode == bdLeftToRight) {
            info.ContentRect.left += shift;
            for (auto* slot : {&check, &state, &normal})
                slot->XPos += shift;
        } else {
            info.ContentRect.right -= shift;
            for (auto* slot : {&check, &state, &normal})
                slot->XPos -= shift;
        }
    }
    if (cellOptions.contains(poGridLines) && paint.contains(toShowHorzGridLines)) {
        int left = info.CellRect.left;
        int right = info.CellRect.right;
        if (isMainColumn && FLineMode == lmBands) {
            if (info.BidiMode == bdLeftToRight)
                left = info.CellRect.left + int(FIndent) * levels;
            else
                right = info.CellRect.right - int(FIndent) * levels;
            --right;
        }
        FillPatternRect(canvas, Rect{left, info.CellRect.bottom - 1, right, info.CellRect.bottom}, kDottedPattern,
                        info.BrushOrigin, FColors->GridLineColor(), FColors->BackGroundColor());
        --info.CellRect.bottom;
        --info.ContentRect.bottom;
    }
    if (useColumns && cellOptions.contains(poGridLines) && paint.contains(toShowVertGridLines)) {
        const TLazyTreeColumns& columns = FHeader->Columns();
        const bool lastPosition = info.Position + 1 >= TColumnPosition(columns.Count());
        if (!(FHeader->Options().contains(hoAutoResize) && lastPosition)) {
            const bool fixed = columns.Items(info.Column)->Options().contains(coFixed);
            if (info.CellRect.right - FEffectiveOffsetX != ClientWidth() || fixed) {
                if (info.BidiMode == bdLeftToRight || !ColumnIsEmpty(node, info.Column)) {
                    const bool selectedGaps = cellOptions.contains(poDrawSelection) &&
                                              FOptions->SelectionOptions().contains(toFullRowSelect) &&
                                              node->States.contains(vsSelected) &&
                                              !paint.contains(toUseBlendedSelection) && !FStates.contains(tsUseExplorerTheme);
                    const platform::Color gaps =
                        selectedGaps ? (Focused() ? FColors->FocusedSelectionColor() : FColors->UnfocusedSelectionColor())
                                     : FColors->BackGroundColor();
                    FillPatternRect(canvas, Rect{info.CellRect.right - 1, info.CellRect.top, info.CellRect.right,
                                                 info.CellRect.bottom},
                                    kDottedPattern, info.BrushOrigin, FColors->GridLineColor(), gaps);
                }
                --info.CellRect.right;
                --info.ContentRect.right;
            }
        }
    }
    PrepareCell(info, Window.left, paintWidth);
    if (isMainColumn) {
        if (paint.contains(toShowTreeLines) && (!paint.contains(toHideTreeLinesIfThemed) || !useThemes))
            PaintTreeLines(info, vAlign, levels, lineImage);
        if (paint.contains(toShowButtons) && node->States.contains(vsHasChildren) &&
            !(node->States.contains(vsAllChildrenHidden) && FOptions->AutoOptions().contains(toAutoHideButtons)))
            PaintNodeButton(canvas, node, info.Column, info.CellRect, buttonX, buttonY, info.BidiMode);
        if (check.Index >= 0)
            PaintCheckImage(canvas, check, node->States.contains(vsSelected));
    }
    if (state.Index >= 0)
        PaintImage(info, ciState, false);
    if (normal.Index >= 0)
        PaintImage(info, ciNormal, true);
    if (!(FStates.contains(tsEditing) && node == FFocusedNode && (info.Column == FEditColumn || !useColumns)))
        DoPaintNode(info);
    DoAfterCellPaint(canvas, node, info.Column, info.CellRect);
}

void TBaseLazyTree::AdjustPaintCellRect(TLTPaintInfo& PaintInfo, TColumnIndex& NextNonEmpty)
{
    NextNonEmpty = FHeader->GetNextVisibleColumn(PaintInfo.Column);
}

void TBaseLazyTree::DoPaintNode(TLTPaintInfo&) {}

// --- cells and rows -----------------------------------------------------------------------------

void TBaseLazyTree::PrepareCell(TLTPaintInfo& PaintInfo, int WindowOrgX, int MaxWidth)
{
    Canvas& canvas = *PaintInfo.Canvas;
    PLazyNode node = PaintInfo.Node;
    const auto paint = FOptions->PaintOptions();
    const auto selection = FOptions->SelectionOptions();
    const bool gridExtensions = FOptions->MiscOptions().contains(toGridExtensions);
    const bool fullRow = selection.contains(toFullRowSelect);
    const bool explorer = FStates.contains(tsUseExplorerTheme);
    const bool focusedTree = Focused() || paint.contains(toPopupMode);
    Rect rowRect{0, PaintInfo.CellRect.top, int(FRangeX), PaintInfo.CellRect.bottom};
    if (explorer) {
        if (!FHeader->UseColumns() && fullRow)
            rowRect.right = std::max(ClientWidth(), rowRect.right);
        if (paint.contains(toShowVertGridLines))
            --rowRect.right;
    }
    if (PaintInfo.PaintOptions.contains(poColumnColor) && FHeader->IsValidColumn(PaintInfo.Column)) {
        canvas.brush() = Brush{FHeader->Columns().Items(PaintInfo.Column)->Color(), BrushStyle::Solid};
        canvas.fillRect(PaintInfo.CellRect);
    }
    DoBeforeCellPaint(canvas, node, PaintInfo.Column, cpmPaint, PaintInfo.CellRect, PaintInfo.ContentRect);
    Rect inner = PaintInfo.ContentRect;
    if (!gridExtensions) {
        const int w = PaintInfo.NodeWidth;
        switch (PaintInfo.Alignment) {
        case Alignment::taLeftJustify:
            if (inner.left + w < inner.right)
                inner.right = inner.left + w;
            break;
        case Alignment::taRightJustify:
            if (w < inner.width())
                inner.left = inner.right - w;
            break;
        case Alignment::taCenter:
            if (w < inner.width()) {
                inner.left = (inner.left + inner.right - w) / 2;
                inner.right = inner.left + w;
            }
            break;
        }
    }
    const bool columnFocused = PaintInfo.Column == FFocusedColumn;
    auto blendedOrRounded = [&](platform::Color fill, platform::Color border, const Rect& r) {
        if (ProcessorHasMMX() && paint.contains(toUseBlendedSelection) && PaintInfo.RowBitmap) {
            Rect b = r.offset(-WindowOrgX, 0);
            b.left = std::clamp(b.left, 0, MaxWidth);
            b.right = std::clamp(b.right, 0, MaxWidth);
            AlphaBlendRect(nullptr, *PaintInfo.RowBitmap, b, QPoint(b.left, b.top), abmConstantAlphaAndColor,
                           FSelectionBlendFactor, int(colorToRgb(fill)));
        } else {
            canvas.brush() = Brush{fill, BrushStyle::Solid};
            canvas.pen() = Pen{border, 1, PenStyle::Solid};
            canvas.roundRect(r, int(FSelectionCurveRadius), int(FSelectionCurveRadius));
        }
    };
    auto themedRow = [&](int state, const Rect& r) {
        const Rect area = fullRow && !gridExtensions ? rowRect : r;
        DrawTreeViewPart(this, canvas, TVP_TREEITEM, state, area);
    };
    if ((columnFocused || fullRow) && PaintInfo.PaintOptions.contains(poDrawSelection)) {
        if (node == FDropTargetNode) {
            if (FLastDropMode == dmOnNode || node->States.contains(vsSelected)) {
                if (gridExtensions || fullRow)
                    inner = PaintInfo.CellRect;
                if (!inner.isEmpty()) {
                    if (explorer)
                        themedRow(TREIS_SELECTED, inner);
                    else
                        blendedOrRounded(FColors->DropTargetColor(), FColors->DropTargetBorderColor(), inner);
                }
            } else {
                canvas.brush().style = BrushStyle::Clear;
            }
        } else if (node->States.contains(vsSelected)) {
            const platform::Color fill = focusedTree ? FColors->FocusedSelectionColor() : FColors->UnfocusedSelectionColor();
            const platform::Color border = focusedTree ? FColors->FocusedSelectionBorderColor() : FColors->UnfocusedSelectionBorderColor();
            if (gridExtensions || fullRow)
                inner = PaintInfo.CellRect;
            if (!inner.isEmpty()) {
                if (explorer) {
                    const bool hotCovers = paint.contains(toHotTrack) && node == FCurrentHotNode &&
                                           (PaintInfo.Column == FCurrentHotColumn || fullRow);
                    if (!hotCovers)
                        themedRow(Focused() ? TREIS_SELECTED : TREIS_SELECTEDNOTFOCUS, inner);
                } else {
                    blendedOrRounded(fill, border, inner);
                }
            }
        }
    }
    if (explorer && paint.contains(toHotTrack) && node == FCurrentHotNode &&
        (PaintInfo.Column == FCurrentHotColumn || fullRow))
        themedRow(node->States.contains(vsSelected) && !paint.contains(toAlwaysHideSelection) ? TREIS_HOTSELECTED : TREIS_HOT,
                  inner);
    if ((columnFocused || fullRow) && PaintInfo.PaintOptions.contains(poDrawFocusRect) && focusedTree &&
        node == FFocusedNode && (columnFocused || (!selection.contains(toExtendedFocus) && fullRow && explorer))) {
        Rect focus = (!selection.contains(toExtendedFocus) && fullRow && explorer) ? rowRect
                     : gridExtensions                                               ? PaintInfo.CellRect
                                                                                    : inner;
        if (explorer)
            focus = focus.inflated(-1, -1);
        if (explorer && node->States.contains(vsSelected))
            DrawTreeViewPart(this, canvas, TVP_TREEITEM, TREIS_HOTSELECTED, focus);
        else
            canvas.drawFocusRect(focus);
    }
}

void TBaseLazyTree::EraseNodeRow(TLTPaintInfo& PaintInfo, bool UseBackground, bool Floating, Rect R)
{
    Canvas& canvas = *PaintInfo.Canvas;
    platform::Color backColor = FColors->BackGroundColor();
    TItemEraseAction action = eaDefault;
    QPoint offset(0, 0);
    if (Floating) {
        offset = QPoint(-FEffectiveOffsetX, R.top);
        R = R.offset(0, -R.top);
    }
    DoBeforeItemErase(canvas, PaintInfo.Node, R, backColor, action);
    switch (action) {
    case eaColor:
        canvas.brush() = Brush{backColor, BrushStyle::Solid};
        canvas.fillRect(R);
        break;
    case eaNone:
        break;
    case eaDefault: {
        const auto paint = FOptions->PaintOptions();
        if (UseBackground) {
            if (paint.contains(toStaticBackground))
                PaintStaticBackground(canvas, offset, R);
            else
                PaintTiledBackground(canvas, offset, R);
        } else if (PaintInfo.PaintOptions.contains(poDrawSelection) &&
                   FOptions->SelectionOptions().contains(toFullRowSelect) &&
                   PaintInfo.Node->States.contains(vsSelected) && !paint.contains(toUseBlendedSelection) &&
                   !FStates.contains(tsUseExplorerTheme)) {
            if (paint.contains(toShowHorzGridLines)) {
                canvas.brush() = Brush{backColor, BrushStyle::Solid};
                canvas.fillRect(Rect{R.left, R.bottom - 1, R.right, R.bottom});
                --R.bottom;
            }
            const bool focusedTree = Focused() || paint.contains(toPopupMode);
            canvas.brush() = Brush{focusedTree ? FColors->FocusedSelectionColor() : FColors->UnfocusedSelectionColor(),
                                   BrushStyle::Solid};
            canvas.pen() = Pen{focusedTree ? FColors->FocusedSelectionBorderColor() : FColors->UnfocusedSelectionBorderColor(),
                               1, PenStyle::Solid};
            canvas.roundRect(R, int(FSelectionCurveRadius), int(FSelectionCurveRadius));
        } else {
            canvas.brush() = Brush{backColor, BrushStyle::Solid};
            canvas.fillRect(R);
        }
        break;
    }
    }
    DoAfterItemErase(canvas, PaintInfo.Node, R);
}

void TBaseLazyTree::PaintSelectionRectangle(Canvas& Target, int WindowOrgX, const Rect& SelectionRect, Rect TargetRect,
                                            Bitmap* Bits)
{
    if ((FDrawSelectionMode == smDottedRectangle && !FStates.contains(tsUseThemes)) || !ProcessorHasMMX() || !Bits) {
        Target.drawFocusRect(SelectionRect);
        return;
    }
    TargetRect = TargetRect.offset(WindowOrgX, 0);
    const Rect sel = NormalizeRect(SelectionRect);
    const Rect common{std::max(sel.left, TargetRect.left), std::max(sel.top, TargetRect.top),
                      std::min(sel.right, TargetRect.right), std::min(sel.bottom, TargetRect.bottom)};
    if (common.isEmpty())
        return;
    const Rect device = common.offset(-WindowOrgX, 0);
    AlphaBlendRect(nullptr, *Bits, device, QPoint(device.left, device.top), abmConstantAlphaAndColor, FSelectionBlendFactor,
                   int(colorToRgb(FColors->SelectionRectangleBlendColor())));
    Target.brush() = Brush{FColors->SelectionRectangleBorderColor(), BrushStyle::Solid};
    Target.frameRect(SelectionRect);
}

void TBaseLazyTree::DoPaintDropMark(Canvas& Canvas, PLazyNode, const Rect& R)
{
    if (FLastDropMode != dmAbove && FLastDropMode != dmBelow)
        return;
    const Pen oldPen = Canvas.pen();
    const Brush oldBrush = Canvas.brush();
    Canvas.pen().style = PenStyle::Clear;
    Canvas.brush() = Brush{FColors->DropMarkColor(), BrushStyle::Solid};
    const int l = R.left;
    const int t = R.top;
    const int rt = R.right;
    const int b = R.bottom;
    if (FLastDropMode == dmAbove)
        Canvas.polygon({QPoint(l + 2, t), QPoint(rt - 2, t), QPoint(rt - 2, t + 6), QPoint(rt - 6, t + 2), QPoint(l + 6, t + 2),
                        QPoint(l + 2, t + 6)});
    else
        Canvas.polygon({QPoint(l + 2, b - 1), QPoint(rt - 2, b - 1), QPoint(rt - 2, b - 8), QPoint(rt - 7, b - 3),
                        QPoint(l + 7, b - 3), QPoint(l + 2, b - 8)});
    Canvas.pen() = oldPen;
    Canvas.brush() = oldBrush;
}

// --- decorations --------------------------------------------------------------------------------

int TBaseLazyTree::DetermineLineImageAndSelectLevel(PLazyNode Node, TLineImage& LineImage)
{
    const auto paint = FOptions->PaintOptions();
    int levels = paint.contains(toShowRoot) ? 1 : 0;
    int result = 0;
    for (PLazyNode p = Node->Parent; p != FRoot; p = p->Parent) {
        ++levels;
        if (p->States.contains(vsSelected))
            ++result;
    }
    LineImage.assign(size_t(levels), ltNone);
    const int indent = levels - 1;
    if (!paint.contains(toShowTreeLines) || (paint.contains(toHideTreeLinesIfThemed) && FStates.contains(tsUseThemes)))
        return result;
    if (indent < 0)
        return result;
    if (paint.contains(toChildrenAbove)) {
        PLazyNode parent = Node->Parent;
        const bool prev = HasVisiblePreviousSibling(Node);
        const bool next = HasVisibleNextSibling(Node);
        if (!prev)
            LineImage[size_t(indent)] = (parent != FRoot || next) ? ltBottomRight : ltRight;
        else
            LineImage[size_t(indent)] = (parent == FRoot && !next) ? ltTopRight : ltTopDownRight;
        int i = indent - 1;
        for (PLazyNode run = parent; run != FRoot && i >= 0; run = run->Parent, --i)
            LineImage[size_t(i)] = HasVisiblePreviousSibling(run) ? ltTopDown : ltNone;
    } else {
        if (Node->Parent != FRoot) {
            LineImage[size_t(indent)] = HasVisibleNextSibling(Node) ? ltTopDownRight : ltTopRight;
            int i = indent - 1;
            for (PLazyNode run = Node->Parent; run->Parent != FRoot && i >= 0; run = run->Parent, --i)
                LineImage[size_t(i)] = HasVisibleNextSibling(run) ? ltTopDown : ltNone;
        }
        if (paint.contains(toShowRoot)) {
            PLazyNode top = Node;
            while (top->Parent != FRoot)
                top = top->Parent;
            if (top == Node) {
                const bool first = IsFirstVisibleChild(FRoot, Node);
                const bool last = IsLastVisibleChild(FRoot, Node);
                LineImage[0] = first && last ? ltRight : first ? ltBottomRight : last ? ltTopRight : ltTopDownRight;
            } else {
                LineImage[0] = HasVisibleNextSibling(top) ? ltTopDown : ltNone;
            }
        }
    }
    if (FStates.contains(tsUseExplorerTheme) && Node->States.contains(vsHasChildren) && indent >= 0)
        LineImage[size_t(indent)] = ltNone;
    return result;
}

void TBaseLazyTree::ComputeVerticalAlignments(bool ShowImages, bool ShowStateImages, PLazyNode Node, int& VAlign,
                                              int& ButtonY)
{
    const int height = Node->NodeHeight;
    switch (FNodeAlignment) {
    case naFromTop:
        VAlign = Node->Align;
        break;
    case naFromBottom:
        VAlign = height - Node->Align;
        break;
    case naProportional:
        if (ShowImages || ShowStateImages) {
            const int h = ShowImages ? FImages->Height() : FStateImages->Height();
            VAlign = mulDiv(height - h, Node->Align, 100) + h / 2;
        } else if (FOptions->PaintOptions().contains(toShowButtons)) {
            const int h = GlyphHeight();
            VAlign = mulDiv(height - h, Node->Align, 100) + h / 2;
        } else {
            VAlign = mulDiv(height, Node->Align, 100);
        }
        break;
    }
    ButtonY = VAlign - GlyphHeight() / 2 - (GlyphHeight() & 1);
}

void TBaseLazyTree::PaintTreeLines(TLTPaintInfo& PaintInfo, int VAlign, int IndentSize, const TLineImage& LineImage)
{
    const bool rtl = PaintInfo.BidiMode != bdLeftToRight;
    int xPos = rtl ? PaintInfo.CellRect.right - int(FIndent) : PaintInfo.CellRect.left;
    const int step = rtl ? -int(FIndent) : int(FIndent);
    const bool showRoot = FOptions->PaintOptions().contains(toShowRoot);
    const int h = PaintInfo.Node->NodeHeight;
    if (FLineMode == lmNormal) {
        FLineColor = FColors->TreeLineColor();
        for (int i = 0; i < IndentSize && i < int(LineImage.size()); ++i) {
            int posX = xPos;
            DoBeforeDrawTreeLine(PaintInfo.Node, showRoot ? i : i + 1, posX);
            DrawTreeLineSegment(PaintInfo, posX, PaintInfo.CellRect.top, h, VAlign - 1, LineImage[size_t(i)], rtl);
            xPos += step;
        }
        return;
    }
    if (!PaintInfo.PaintOptions.contains(poGridLines))
        return;
    // Bands: computed from right to left.
    const int count = std::min<int>(IndentSize, int(LineImage.size()));
    TLineImage bands(size_t(count), ltNone);
    PLazyNode node = PaintInfo.Node;
    const bool open = node->States.contains(vsExpanded) && !node->States.contains(vsAllChildrenHidden);
    for (int i = count - 1; i >= 0; --i) {
        if (open) {
            bands[size_t(i)] = ltLeft;
            continue;
        }
        switch (LineImage[size_t(i)]) {
        case ltRight:
        case ltBottomRight:
        case ltTopDownRight:
        case ltTopRight:
            bands[size_t(i)] = ltLeftBottom;
            break;
        case ltNone:
        case ltTopDown:
            if (i + 1 < count && (LineImage[size_t(i + 1)] == ltNone || LineImage[size_t(i + 1)] == ltTopRight))
                bands[size_t(i)] = bands[size_t(i + 1)];
            else
                bands[size_t(i)] = ltLeft;
            break;
        default:
            bands[size_t(i)] = ltNone;
            break;
        }
    }
    FLineColor = FColors->GridLineColor();
    for (int i = 0; i < count; ++i) {
        int posX = xPos;
        DoBeforeDrawTreeLine(PaintInfo.Node, showRoot ? i : i + 1, posX);
        DrawTreeLineSegment(PaintInfo, posX, PaintInfo.CellRect.top, h - 1, VAlign - 1, bands[size_t(i)], rtl);
        xPos += step;
    }
}

void TBaseLazyTree::DrawTreeLineSegment(TLTPaintInfo& PaintInfo, int X, int Y, int H, int VAlign, TLTLineType Style,
                                        bool Reverse)
{
    const int indent = int(FIndent);
    const int half = roundHalfEven(indent / 2.0);
    const int targetX = Reverse ? X : X + indent;
    auto horizontal = [&]() { DrawDottedHLine(PaintInfo, X + half, targetX, Y + VAlign); };
    switch (Style) {
    case ltBottomRight:
        DrawDottedVLine(PaintInfo, Y + VAlign, Y + H, X + half);
        horizontal();
        break;
    case ltTopDown:
        DrawDottedVLine(PaintInfo, Y, Y + H, X + half);
        break;
    case ltTopDownRight:
        DrawDottedVLine(PaintInfo, Y, Y + H, X + half);
        horizontal();
        break;
    case ltRight:
        horizontal();
        break;
    case ltTopRight:
        DrawDottedVLine(PaintInfo, Y, Y + VAlign, X + half);
        horizontal();
        break;
    case ltLeft:
        DrawDottedVLine(PaintInfo, Y, Y + H, Reverse ? X + indent : X);
        break;
    case ltLeftBottom:
        DrawDottedVLine(PaintInfo, Y, Y + H, Reverse ? X + indent : X);
        DrawDottedHLine(PaintInfo, X, X + indent, Y + H);
        break;
    case ltNone:
        break;
    }
}

void TBaseLazyTree::DrawDottedHLine(TLTPaintInfo& PaintInfo, int Left, int Right, int Top)
{
    FillPatternRect(*PaintInfo.Canvas, Rect{std::min(Left, Right), Top, std::max(Left, Right) + 1, Top + 1}, FLinePattern,
                    PaintInfo.BrushOrigin, FLineColor, FColors->BackGroundColor());
}

void TBaseLazyTree::DrawDottedVLine(TLTPaintInfo& PaintInfo, int Top, int Bottom, int Left, bool UseSelectedBkColor)
{
    platform::Color back = FColors->BackGroundColor();
    if (UseSelectedBkColor)
        back = (Focused() || FOptions->PaintOptions().contains(toPopupMode)) ? FColors->FocusedSelectionColor()
                                                                              : FColors->UnfocusedSelectionColor();
    FillPatternRect(*PaintInfo.Canvas, Rect{Left, std::min(Top, Bottom), Left + 1, std::max(Top, Bottom) + 1}, FLinePattern,
                    PaintInfo.BrushOrigin, FLineColor, back);
}

void TBaseLazyTree::PaintNodeButton(Canvas& Canvas, PLazyNode Node, TColumnIndex, const Rect& CellRect, int ButtonX,
                                    int ButtonY, TBiDiMode BidiMode)
{
    const bool isHot = Node == FCurrentHotNode && FHotNodeButtonHit;
    const int xPos = BidiMode == bdLeftToRight ? CellRect.left + ButtonX : CellRect.right - ButtonX - GlyphWidth();
    const bool expanded = Node->States.contains(vsExpanded);
    if (FStates.contains(tsUseExplorerTheme)) {
        DrawTreeViewPart(this, Canvas, isHot ? TVP_HOTGLYPH : TVP_GLYPH, expanded ? GLPS_OPENED : GLPS_CLOSED,
                         Rect{xPos, CellRect.top + ButtonY, xPos + GlyphWidth(), CellRect.top + ButtonY + GlyphHeight()});
        return;
    }
    const bool selected = Node->States.contains(vsSelected);
    const Bitmap& glyph = expanded ? (isHot ? (selected ? FSelectedHotMinusBM : FHotMinusBM) : FMinusBM)
                                   : (isHot ? (selected ? FSelectedHotPlusBM : FHotPlusBM) : FPlusBM);
    Canvas.draw(xPos, CellRect.top + ButtonY, glyph);
}

int TBaseLazyTree::GetCheckImage(PLazyNode Node, TCheckType ImgCheckType, TCheckState ImgCheckState, bool ImgEnabled)
{
    bool hot = false;
    if (Node) {
        ImgCheckType = Node->CheckType;
        ImgCheckState = Node->CheckState;
        ImgEnabled = !Node->States.contains(vsDisabled) && isEnabled();
        hot = Node == FCurrentHotNode;
    }
    if (IsDisabledState(ImgCheckState)) {
        ImgCheckState = EnabledState(ImgCheckState);
        ImgEnabled = false;
    }
    if (ImgCheckType == ctTriStateCheckBox)
        ImgCheckType = ctCheckBox;
    if (ImgCheckType == ctNone)
        return -1;
    const bool mixed = ImgCheckState == csMixedNormal || ImgCheckState == csMixedPressed;
    const bool checked = ImgCheckState == csCheckedNormal || ImgCheckState == csCheckedPressed;
    const bool pressed = ImgCheckState == csUncheckedPressed || ImgCheckState == csCheckedPressed ||
                         ImgCheckState == csMixedPressed;
    int base;
    if (mixed)
        base = 17;
    else if (ImgCheckType == ctCheckBox)
        base = checked ? 13 : 9;
    else if (ImgCheckType == ctRadioButton)
        base = checked ? 5 : 1;
    else
        base = 21;
    if (!ImgEnabled)
        return base + 3;
    if (pressed)
        return base + 2;
    return hot ? base + 1 : base;
}

void TBaseLazyTree::PaintCheckImage(Canvas& Canvas, const CellImageInfo& ImageInfo, bool Selected)
{
    const int index = ImageInfo.Index;
    if (FStates.contains(tsUseThemes) && FCheckImageKind == ckSystemDefault) {
        int part;
        int state;
        if (index >= 1 && index <= 8) {
            part = BP_RADIOBUTTON;
            state = index;
        } else if (index >= 9 && index <= 20) {
            part = BP_CHECKBOX;
            state = index - 8;
        } else if (index >= 21 && index <= 24) {
            part = BP_PUSHBUTTON;
            state = index - 20;
        } else {
            return;
        }
        const int size = FCheckImages ? FCheckImages->Width() : 13;
        if (HTHEME theme = OpenThemeData(this, QStringLiteral("button"))) {
            DrawThemeBackground(theme, Canvas, part, state,
                                Rect{ImageInfo.XPos, ImageInfo.YPos, ImageInfo.XPos + size, ImageInfo.YPos + size});
            CloseThemeData(theme);
            return;
        }
    }
    TImageList* list = ImageInfo.Images ? ImageInfo.Images : FCheckImages;
    if (!list)
        return;
    platform::Color fg = list->BlendColor;
    if (Selected && !ImageInfo.Ghosted)
        fg = (Focused() || FOptions->PaintOptions().contains(toPopupMode)) ? FColors->FocusedSelectionColor()
                                                                           : FColors->UnfocusedSelectionColor();
    list->DrawEx(Canvas, index, ImageInfo.XPos, ImageInfo.YPos, 0, 0, ColorToImageListColor(list->BkColor),
                 ColorToImageListColor(fg == clNone || fg == clDefault ? fg : colorToRgb(fg)), ILD_TRANSPARENT);
}

void TBaseLazyTree::GetImageIndex(TLTPaintInfo& PaintInfo, TLTImageKind Kind, CellImageSlot Slot, TImageList* DefaultImages)
{
    CellImageInfo& info = PaintInfo.ImageInfo[Slot];
    info.Index = -1;
    info.Ghosted = false;
    TImageList* list = DoGetImageIndex(PaintInfo.Node, Kind, PaintInfo.Column, info.Ghosted, info.Index);
    info.Images = list ? list : DefaultImages;
}

void TBaseLazyTree::AdjustImageBorder(TImageList* Images, TBiDiMode BidiMode, int VAlign, Rect& R, CellImageInfo& ImageInfo)
{
    const int w = Images ? Images->Width() : 0;
    const int h = Images ? Images->Height() : 0;
    if (BidiMode == bdLeftToRight) {
        ImageInfo.XPos = R.left - 1;
        R.left += w + 2;
    } else {
        ImageInfo.XPos = R.right - w;
        R.right -= w + 2;
    }
    ImageInfo.YPos = R.top + VAlign - h / 2;
}

void TBaseLazyTree::PaintImage(TLTPaintInfo& PaintInfo, CellImageSlot Slot, bool DoOverlay)
{
    CellImageInfo& info = PaintInfo.ImageInfo[Slot];
    TImageList* list = info.Images;
    if (!list)
        return;
    PLazyNode node = PaintInfo.Node;
    const auto paint = FOptions->PaintOptions();
    const bool cutNode = node->States.contains(vsCutOrCopy) && FStates.contains(tsCutPending);
    const bool paintFocused = Focused() || paint.contains(toGhostedIfUnfocused);
    CellImageInfo& overlay = PaintInfo.ImageInfo[ciOverlay];
    overlay.Index = -1;
    if (DoOverlay) {
        GetImageIndex(PaintInfo, ikOverlay, ciOverlay, FImages);
        if (overlay.Index == info.Index && overlay.Images == info.Images)
            overlay.Index = -1;
    }
    const bool drawEnabled = !node->States.contains(vsDisabled) && isEnabled();
    const bool selected = node->States.contains(vsSelected);
    const platform::Color savedBlend = list->BlendColor;
    if (selected && !info.Ghosted && !cutNode)
        list->BlendColor = (paintFocused || paint.contains(toPopupMode)) ? FColors->FocusedSelectionColor()
                                                                         : FColors->UnfocusedSelectionColor();
    else
        list->BlendColor = FColor;
    unsigned style = ILD_TRANSPARENT;
    if (overlay.Index >= 0 && overlay.Index <= 14)
        style |= INDEXTOOVERLAYMASK(unsigned(overlay.Index + 1)) & ILD_OVERLAYMASK;
    const bool gridOrFullRow = FOptions->SelectionOptions().contains(toFullRowSelect) ||
                               FOptions->MiscOptions().contains(toGridExtensions);
    if (paint.contains(toUseBlendedImages) && paintFocused && (info.Ghosted || (selected && !gridOrFullRow) || cutNode))
        style |= ILD_BLEND50;
    if (selected && !info.Ghosted)
        list->BlendColor = clDefault;
    DrawImageEnabledOrSaturated(*list, info.Index, *PaintInfo.Canvas, info.XPos, info.YPos, style, drawEnabled);
    if (overlay.Index >= 15 && overlay.Images)
        DrawImageEnabledOrSaturated(*overlay.Images, overlay.Index, *PaintInfo.Canvas, info.XPos, info.YPos,
                                    style & ~ILD_BLEND50, drawEnabled);
    list->BlendColor = savedBlend;
}

// --- glyphs and the line pattern ----------------------------------------------------------------

void TBaseLazyTree::BuildButtonAndLineBitmaps(bool NeedButtons, bool NeedLines)
{
    const bool themes = FStates.contains(tsUseThemes);
    const bool explorer = FStates.contains(tsUseExplorerTheme);
    QSize size(9, 9);
    if (themes) {
        const QSize themed = TreeViewPartSize(this, TVP_GLYPH, GLPS_OPENED);
        if (themed.isValid() && !themed.isEmpty())
            size = themed;
    }
    auto prepare = [&](Bitmap& bm) {
        bm = Bitmap(size.width(), size.height(), clFuchsia);
        bm.setTransparent(true);
        bm.setTransparentColor(clFuchsia);
    };
    if (NeedButtons) {
        for (Bitmap* bm : {&FPlusBM, &FHotPlusBM, &FSelectedHotPlusBM, &FMinusBM, &FHotMinusBM, &FSelectedHotMinusBM})
            prepare(*bm);
        if (OnPrepareButtonBitmaps) {
            OnPrepareButtonBitmaps(this, FPlusBM, FHotPlusBM, FSelectedHotPlusBM, FMinusBM, FHotMinusBM, FSelectedHotMinusBM,
                                   size);
        } else if (!themes && !explorer) {
            const int w = size.width();
            const int h = size.height();
            for (bool minus : {true, false}) {
                Bitmap& bm = minus ? FMinusBM : FPlusBM;
                Canvas c(bm);
                if (FButtonStyle == bsTriangle) {
                    c.pen() = Pen{clBlack, 1, PenStyle::Solid};
                    c.brush() = Brush{clBlack, BrushStyle::Solid};
                    if (minus)
                        c.polygon({QPoint(0, 2), QPoint(8, 2), QPoint(4, 6)});
                    else
                        c.polygon({QPoint(2, 0), QPoint(6, 4), QPoint(2, 8)});
                    continue;
                }
                switch (FButtonFillMode) {
                case fmTreeColor:
                    c.brush() = Brush{FColors->BackGroundColor(), BrushStyle::Solid};
                    break;
                case fmWindowColor:
                    c.brush() = Brush{clWindow, BrushStyle::Solid};
                    break;
                case fmShaded:
                case fmTransparent:
                    c.brush().style = BrushStyle::Clear;
                    break;
                }
                if (FButtonFillMode == fmShaded) {
                    // A button face that darkens from white at the top to the button colour.
                    const platform::Color face = colorToRgb(clBtnFace);
                    for (int y = 1; y < h - 1; ++y) {
                        const int t = h > 3 ? (y - 1) * 255 / (h - 3) : 0;
                        const platform::Color row = rgb(255 - (255 - redOf(face)) * t / 255, 255 - (255 - greenOf(face)) * t / 255,
                                              255 - (255 - blueOf(face)) * t / 255);
                        c.brush() = Brush{row, BrushStyle::Solid};
                        c.fillRect(Rect{1, y, w - 1, y + 1});
                    }
                    c.brush().style = BrushStyle::Clear;
                }
                c.pen() = Pen{FColors->TreeLineColor(), 1, PenStyle::Solid};
                c.rectangle(Rect{0, 0, w, h});
                c.pen() = Pen{FColors->NodeFontColor(), 1, PenStyle::Solid};
                c.moveTo(2, w / 2);
                c.lineTo(w - 2, w / 2);
                if (!minus) {
                    c.moveTo(w / 2, 2);
                    c.lineTo(w / 2, w - 2);
                }
            }
            FHotMinusBM = FMinusBM;
            FSelectedHotMinusBM = FMinusBM;
            FHotPlusBM = FPlusBM;
            FSelectedHotPlusBM = FPlusBM;
        } else {
            const Rect r{0, 0, size.width(), size.height()};
            {
                Canvas c(FPlusBM);
                DrawTreeViewPart(this, c, TVP_GLYPH, GLPS_CLOSED, r);
            }
            {
                Canvas c(FMinusBM);
                DrawTreeViewPart(this, c, TVP_GLYPH, GLPS_OPENED, r);
            }
            if (!explorer) {
                FHotMinusBM = FMinusBM;
                FSelectedHotMinusBM = FMinusBM;
                FHotPlusBM = FPlusBM;
                FSelectedHotPlusBM = FPlusBM;
            } else {
                for (auto [bm, state] : {std::pair{&FHotPlusBM, int(GLPS_CLOSED)}, std::pair{&FSelectedHotPlusBM, int(GLPS_CLOSED)},
                                         std::pair{&FHotMinusBM, int(GLPS_OPENED)},
                                         std::pair{&FSelectedHotMinusBM, int(GLPS_OPENED)}}) {
                    Canvas c(*bm);
                    DrawTreeViewPart(this, c, TVP_HOTGLYPH, state, r);
                }
            }
        }
        FButtonSize = size;
    }
    if (NeedLines) {
        switch (FLineStyle) {
        case lsDotted:
            FLinePattern = kDottedPattern;
            break;
        case lsSolid:
            FLinePattern = kSolidPattern;
            break;
        case lsCustomStyle: {
            const uint16_t* bits = kDottedPattern.data();
            DoGetLineStyle(bits);
            if (bits)
                std::copy(bits, bits + 8, FLinePattern.begin());
            break;
        }
        }
    }
}

} // namespace controls
