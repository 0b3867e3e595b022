// The header's mouse: hover, clicks and click sorting, column check boxes, border and height
// tracking, column dragging, the automatic column menu, cursors, Escape and focus loss.
#include "controls/tree/LazyTree.h"
#include "controls/tree/LazyTreeHeader.h"
#include "controls/tree/LazyTreeHeaderPopup.h"

#include <QApplication>
#include <QCursor>
#include <QMenu>
#include <QToolTip>
#include <cmath>

namespace controls {

namespace {
constexpr int kHeaderTimer = 3;
const THeaderStates kTrackingStates{hsColumnWidthTracking, hsColumnWidthTrackPending, hsHeightTracking,
                                    hsHeightTrackPending};
} // namespace

// --- collection side ----------------------------------------------------------------------------

void TLazyTreeColumns::DoCanSplitterResize(QPoint P, TColumnIndex Column, bool& Allowed)
{
    TBaseLazyTree* tree = Tree();
    if (tree->OnCanSplitterResizeColumn)
        tree->OnCanSplitterResizeColumn(tree, P, Column, Allowed);
}

bool TLazyTreeColumns::BorderResizeAllowed(QPoint P, TColumnIndex Column)
{
    bool allowed = IsValidColumn(Column) && FItems[size_t(Column)]->Options().contains(coResizable) &&
                   FItems[size_t(Column)]->Options().contains(coVisible);
    DoCanSplitterResize(P, Column, allowed);
    return allowed;
}

TColumnIndex TLazyTreeColumns::UpdateDownColumn(QPoint P)
{
    const TColumnIndex column = ColumnFromPosition(P, true);
    if (IsValidColumn(column) && column != FDownIndex) {
        const TLTColumnOptions o = FItems[size_t(column)]->Options();
        if (o.contains(coAllowClick) && o.contains(coEnabled)) {
            if (FDownIndex >= 0)
                InvalidateColumn(FDownIndex);
            FDownIndex = column;
            const TLazyTreeColumn* c = FItems[size_t(column)].get();
            FCheckBoxHit = c->FHasImage && c->FImageRect.contains(P.x(), P.y()) && c->FCheckBox;
            InvalidateColumn(FDownIndex);
        }
    }
    return column;
}

bool TLazyTreeColumns::UpdateHoverColumn(QPoint P)
{
    const TColumnIndex column = ColumnFromPosition(P, true);
    if (column == FHoverIndex)
        return false;
    if (IsValidColumn(FHoverIndex))
        InvalidateColumn(FHoverIndex);
    if (IsValidColumn(column))
        InvalidateColumn(column);
    FHoverIndex = column;
    return true;
}

void TLazyTreeColumns::HandleClick(QPoint P, TMouseButton Button, bool DblClick, bool Force)
{
    TBaseLazyTree* tree = Tree();
    const QPoint hp(P.x(), P.y() + FHeader->Height());
    const TColumnIndex column = ColumnFromPosition(hp, true);
    TLTHeaderHitInfo info;
    info.X = hp.x();
    info.Y = hp.y();
    info.Button = Button;
    info.Shift = tree->CurrentShiftState();
    if (DblClick)
        info.Shift += ssDouble;
    if (column >= 0 && FItems[size_t(column)]->Options().contains(coAllowClick) && (Force || column == FDownIndex)) {
        FClickIndex = column;
        info.Column = column;
        info.HitPosition = hhiOnColumn;
        TLazyTreeColumn* c = FItems[size_t(column)].get();
        if (c->FHasImage && c->FImageRect.contains(hp.x(), hp.y())) {
            info.HitPosition += hhiOnIcon;
            if (c->FCheckBox) {
                info.HitPosition += hhiOnCheckbox;
                if (Button == mbLeft)
                    c->SetCheckState(tree->DetermineNextCheckState(c->FCheckType, c->FCheckState));
            }
        }
    } else {
        FClickIndex = NoColumn;
        info.Column = NoColumn;
        info.HitPosition = hhiNoWhere;
    }
    if (DblClick) {
        tree->DoHeaderDblClick(info);
    } else {
        if (FHeader->Options().contains(hoHeaderClickAutoSort) && Button == mbLeft &&
            !info.HitPosition.contains(hhiOnCheckbox) && info.Column >= 0) {
            if (info.Column == FHeader->SortColumn()) {
                FHeader->SetSortDirection(FHeader->SortDirection() == sdAscending ? sdDescending : sdAscending);
            } else {
                FHeader->SetSortColumn(info.Column);
                FHeader->SetSortDirection(FItems[size_t(info.Column)]->DefaultSortDirection());
            }
        }
        if (Button == mbRight && FHeader->Options().contains(hoAutoColumnPopupMenu)) {
            FColumnPopupMenu = std::make_unique<TLTHeaderPopupMenu>(tree);
            FColumnPopupMenu->SetPopupComponent(tree);
            FColumnPopupMenu->OnColumnChange = [](TBaseLazyTree* sender, TColumnIndex index, bool visible) {
                sender->DoColumnVisibilityChanged(index, visible);
            };
            TLTHeaderPopupOptions options;
            if (FHeader->Options().contains(hoDblClickResize) && tree->RootNodeCount() > 0)
                options += poResizeToFitItem;
            FColumnPopupMenu->SetOptions(options);
            const QPoint screen = tree->ClientToScreen(hp);
            FColumnPopupMenu->Popup(screen.x(), screen.y());
        }
        tree->DoHeaderClick(info);
    }
    if (!(info.HitPosition == TLTHeaderHitPositions{hhiNoWhere}) && IsValidColumn(FClickIndex))
        InvalidateColumn(FClickIndex);
}

// --- header side --------------------------------------------------------------------------------

bool TLTHeader::DetermineSplitterIndex(QPoint P)
{
    FColumns->FTrackIndex = NoColumn;
    if (ColumnCount() == 0)
        return false;
    const int fixedWidth = GetVisibleFixedWidth();
    const int nearZone = int(std::nearbyint(0.6 * fSplitterHitTolerance));
    const int farZone = fSplitterHitTolerance - nearZone;
    const int offset = FOwner->EffectiveOffsetX();
    const std::vector<TLazyTreeColumn*> visible = FColumns->GetVisibleColumns();
    if (!FOwner->UseRightToLeftReading()) {
        int edge = int(FOwner->RangeX()) - offset;
        for (auto it = visible.rbegin(); it != visible.rend(); ++it) {
            TLazyTreeColumn* column = *it;
            const bool fixed = column->Options().contains(coFixed);
            const bool hit = fixed ? edge + offset - farZone < P.x() && P.x() < edge + offset + nearZone
                                   : P.x() > fixedWidth && edge - farZone < P.x() && P.x() < edge + nearZone;
            if (hit && FColumns->BorderResizeAllowed(P, column->Index())) {
                FColumns->FTrackIndex = column->Index();
                FTrackPoint = QPoint((fixed ? offset : 0) + edge - column->Width(), P.y());
                return true;
            }
            edge -= column->Width();
        }
        return false;
    }
    int edge = -offset;
    if (int(FOwner->RangeX()) < FOwner->ClientWidth())
        edge += FOwner->ClientWidth() - int(FOwner->RangeX());
    for (TLazyTreeColumn* column : visible) {
        const bool fixed = column->Options().contains(coFixed);
        const bool hit = fixed ? edge + offset - nearZone < P.x() && P.x() < edge + offset + farZone
                               : P.x() > fixedWidth && edge - nearZone < P.x() && P.x() < edge + farZone;
        if (hit && FColumns->BorderResizeAllowed(P, column->Index())) {
            FColumns->FTrackIndex = column->Index();
            FTrackPoint = QPoint((fixed ? offset : 0) + edge + column->Width(), P.y());
            return true;
        }
        edge += column->Width();
    }
    return false;
}

bool TLTHeader::ColumnBorderHit(QPoint P)
{
    if (!FOptions.contains(hoColumnResize) || !DetermineSplitterIndex(P))
        return false;
    if (InHeader(P))
        return true;
    // The border between the fixed and the scrolling columns can be grabbed over the rows too.
    const TColumnIndex track = FColumns->FTrackIndex;
    if (!IsValidColumn(track) || !FColumns->Items(track)->Options().contains(coFixed))
        return false;
    const TColumnIndex next = GetNextVisibleColumn(track);
    return IsValidColumn(next) && !FColumns->Items(next)->Options().contains(coFixed) && P.y() < int(FOwner->RangeY());
}

bool TLTHeader::BottomEdgeHit(QPoint P)
{
    if (!InHeaderSplitterArea(P))
        return false;
    bool allowed = FOptions.contains(hoHeightResize);
    DoCanSplitterResize(P, allowed);
    return allowed;
}

void TLTHeader::StopTracking()
{
    FStates -= THeaderStates{hsDragging, hsDragPending, hsColumnWidthTracking, hsColumnWidthTrackPending,
                             hsHeightTracking, hsHeightTrackPending};
}

void TLTHeader::StartColumnDrag(QPoint P)
{
    FColumns->FDropTarget = NoColumn;
    const QPoint start = FOwner->ScreenToClient(FDragStart);
    const TColumnIndex dragged = FColumns->ColumnFromPosition(QPoint(start.x(), start.y() + FHeight), true);
    FColumns->FDragIndex = dragged;
    if (!IsValidColumn(dragged))
        return;
    TLazyTreeColumn* column = FColumns->Items(dragged);
    const int rtl = FOwner->UseRightToLeftReading() ? FOwner->ComputeRTLOffset(false) : 0;
    platform::Bitmap picture(std::max(column->Width(), 1), std::max(FHeight, 1), platform::clBtnFace, platform::PixelFormat::pf32bit);
    {
        platform::Canvas canvas(picture);
        FColumns->PaintHeader(canvas, platform::Rect{column->FLeft, 0, column->FLeft + column->Width(), FHeight},
                              QPoint(-rtl, 0), rtl);
    }
    const int left = (FOwner->UseRightToLeftReading() ? FOwner->ComputeRTLOffset(true) : 0) + column->Left();
    const QPoint imagePosition = FOwner->ClientToScreen(QPoint(left, -FHeight));
    FDragImage.Prepare(picture.image(), imagePosition, P, FOptions.contains(hoRestrictDrag));
    FDragImage.Show();
}

void TLTHeader::MoveColumnDrag(QPoint P)
{
    const QPoint client = FOwner->ScreenToClient(P);
    const QPoint hp(client.x(), client.y() + FHeight);
    const TColumnIndex target = FColumns->ColumnFromPosition(hp, true);
    bool repaint = target != InvalidColumn && target != FColumns->FDropTarget;
    if (target >= 0) {
        int left = 0;
        int right = 0;
        FColumns->GetColumnBounds(target, left, right);
        const bool before = hp.x() < (left + right) / 2;
        if (before != FColumns->FDropBefore) {
            FColumns->FDropBefore = before;
            repaint = true;
        }
    }
    if (repaint) {
        if (IsValidColumn(FColumns->FDropTarget))
            Invalidate(FColumns->FDropTarget);
        FColumns->FDropTarget = NoColumn;
        if (IsValidColumn(target)) {
            FColumns->FDropTarget = target;
            Invalidate(target);
        }
    }
    FDragImage.MoveTo(P);
}

bool TLTHeader::HandleMessage(TLTHeaderMessage& Message)
{
    TBaseLazyTree* tree = FOwner;
    const QPoint P = Message.Pos;
    auto fire = [&](auto&& dispatch) { dispatch(P.x(), P.y() + FHeight); };
    switch (Message.Msg) {
    case THeaderMessage::NCMouseMove:
        fire([&](int x, int y) { tree->DoHeaderMouseMove(Message.Shift, x, y); });
        if (InHeader(P)) {
            if (FColumns->UpdateHoverColumn(QPoint(P.x(), P.y() + FHeight)) ||
                (FColumns->FDownIndex >= 0 && FColumns->FDownIndex != FColumns->FHoverIndex)) {
                tree->StopTimer(kHeaderTimer);
                tree->SetWindowTimer(kHeaderTimer, 50);
            }
            if (FOptions.contains(hoShowHint) && IsValidColumn(FColumns->FHoverIndex)) {
                const QString hint = FColumns->Items(FColumns->FHoverIndex)->Hint();
                if (!hint.isEmpty())
                    QToolTip::showText(tree->ClientToScreen(P), hint, tree);
            }
        }
        return false;
    case THeaderMessage::Timer: {
        const QPoint cursor = tree->ScreenToClient(QCursor::pos());
        if (!InHeader(cursor) || (FColumns->FDownIndex >= 0 && FColumns->FDownIndex != FColumns->FHoverIndex)) {
            tree->StopTimer(kHeaderTimer);
            FColumns->FHoverIndex = NoColumn;
            FColumns->FClickIndex = NoColumn;
            FColumns->FDownIndex = NoColumn;
            FColumns->FCheckBoxHit = false;
            Invalidate();
        }
        Message.Result = 0;
        return true;
    }
    case THeaderMessage::NCLButtonDown:
    case THeaderMessage::LButtonDown: {
        QToolTip::hideText();
        tree->StopTimer(4);
        tree->StopTimer(2);
        tree->DoStateChange({}, {tsScrolling, tsScrollPending, tsEditPending});
        if (Message.Msg == THeaderMessage::NCLButtonDown)
            FDragStart = tree->ClientToScreen(P);
        const bool inStrip = InHeader(P);
        const bool bottomEdge = BottomEdgeHit(P);
        const bool border = ColumnBorderHit(P);
        if (bottomEdge || border) {
            FTrackStart = P;
            FColumns->FHoverIndex = NoColumn;
            if (bottomEdge) {
                DoBeforeHeightTracking(Message.Shift);
                FStates += hsHeightTrackPending;
            } else {
                DoBeforeColumnWidthTracking(FColumns->FTrackIndex, Message.Shift);
                FStates += hsColumnWidthTrackPending;
            }
            Message.Result = 0;
            return true;
        }
        if (inStrip) {
            const TColumnIndex hit = FColumns->UpdateDownColumn(QPoint(P.x(), P.y() + FHeight));
            if (FOptions.contains(hoDrag) && hit >= 0 && FColumns->Items(hit)->Options().contains(coDraggable)) {
                FStates += hsDragPending;
                Message.Result = 0;
                fire([&](int x, int y) { tree->DoHeaderMouseDown(mbLeft, Message.Shift, x, y); });
                return true;
            }
            fire([&](int x, int y) { tree->DoHeaderMouseDown(mbLeft, Message.Shift, x, y); });
        }
        return false;
    }
    case THeaderMessage::MouseMove:
        if (FStates.contains(hsColumnWidthTrackPending)) {
            tree->StopTimer(kHeaderTimer);
            FStates -= hsColumnWidthTrackPending;
            FStates += hsColumnWidthTracking;
        } else if (FStates.contains(hsHeightTrackPending)) {
            tree->StopTimer(kHeaderTimer);
            FStates -= hsHeightTrackPending;
            FStates += hsHeightTracking;
        } else if (FStates.contains(hsColumnWidthTracking)) {
            const TColumnIndex track = FColumns->FTrackIndex;
            if (IsValidColumn(track) && DoColumnWidthTracking(track, Message.Shift, FTrackPoint, P)) {
                TLazyTreeColumn* column = FColumns->Items(track);
                const bool ltr = !tree->UseRightToLeftReading();
                const int newWidth = ltr ? P.x() - FTrackPoint.x() : FTrackPoint.x() - P.x();
                const TColumnIndex neighbour = ltr ? GetNextVisibleColumn(track) : GetPreviousVisibleColumn(track);
                const TColumnIndex autoSize = IsValidColumn(FAutoSizeIndex) ? FAutoSizeIndex : ColumnCount() - 1;
                if (FOptions.contains(hoAutoResize) && track == autoSize && IsValidColumn(neighbour) &&
                    FColumns->Items(neighbour)->Options().contains(coResizable) && column->MinWidth() < newWidth &&
                    newWidth < column->MaxWidth()) {
                    TLazyTreeColumn* next = FColumns->Items(neighbour);
                    next->SetWidth(next->Width() + column->Width() - newWidth);
                } else {
                    column->SetWidth(newWidth);
                }
            }
        } else if (FStates.contains(hsHeightTracking)) {
            QPoint p = P;
            if (DoHeightTracking(p, Message.Shift))
                SetHeight(FHeight + p.y());
        } else if (FStates.contains(hsDragPending)) {
            const QPoint screen = tree->ClientToScreen(P);
            const int threshold = TBaseLazyTree::kDragThreshold;
            if (!FOptions.contains(hoDrag) || !tree->DoHeaderDragging(FColumns->FDownIndex) ||
                !(std::abs(screen.x() - FDragStart.x()) > threshold || std::abs(screen.y() - FDragStart.y()) > threshold))
                return false;
            tree->StopTimer(kHeaderTimer);
            const TColumnIndex down = FColumns->FDownIndex;
            FColumns->FDownIndex = NoColumn;
            FColumns->FHoverIndex = NoColumn;
            if (IsValidColumn(down))
                Invalidate(down);
            StartColumnDrag(screen);
            FStates -= hsDragPending;
            FStates += hsDragging;
        } else if (FStates.contains(hsDragging)) {
            MoveColumnDrag(tree->ClientToScreen(P));
        } else {
            return false;
        }
        Message.Result = 0;
        return true;
    case THeaderMessage::NCLButtonUp:
    case THeaderMessage::LButtonUp: {
        QToolTip::hideText();
        if (!FStates.empty() && FStates.contains(hsDragging)) {
            FDragImage.End();
            const QPoint screen = tree->ClientToScreen(P);
            const TColumnIndex dragged = FColumns->FDragIndex;
            const TColumnIndex target = FColumns->FDropTarget;
            const QRect window(tree->mapToGlobal(QPoint(0, 0)), tree->size());
            if (IsValidColumn(target) && IsValidColumn(dragged) && target != dragged && window.contains(screen)) {
                TLazyTreeColumn* d = FColumns->Items(dragged);
                const TColumnPosition oldPosition = d->Position();
                const TColumnPosition t = FColumns->Items(target)->Position();
                TColumnPosition newPosition;
                if (FColumns->FDropBefore)
                    newPosition = oldPosition < t ? t - 1 : t;
                else
                    newPosition = oldPosition < t ? t : t + 1;
                d->SetPosition(newPosition);
                tree->DoHeaderDragged(dragged, oldPosition);
            } else if (IsValidColumn(dragged)) {
                tree->DoHeaderDraggedOut(dragged, screen);
            }
            FColumns->FDropTarget = NoColumn;
            Invalidate();
        }
        const bool hadStates = !FStates.empty();
        if (Message.Msg == THeaderMessage::NCLButtonUp) {
            FColumns->HandleClick(P, mbLeft, false, false);
            fire([&](int x, int y) { tree->DoHeaderMouseUp(mbLeft, Message.Shift, x, y); });
        } else {
            if (FColumns->FDownIndex >= 0)
                FColumns->HandleClick(P, mbLeft, false, false);
            if (hadStates)
                tree->DoHeaderMouseUp(mbLeft, Message.Shift, P.x(), P.y());
        }
        if (FColumns->FTrackIndex >= 0) {
            if (FStates.contains(hsColumnWidthTracking))
                DoAfterColumnWidthTracking(FColumns->FTrackIndex);
            Invalidate(FColumns->FTrackIndex);
            FColumns->FTrackIndex = NoColumn;
        }
        if (FColumns->FDownIndex >= 0) {
            Invalidate(FColumns->FDownIndex);
            FColumns->FDownIndex = NoColumn;
        }
        if (FStates.contains(hsHeightTracking))
            DoAfterHeightTracking();
        StopTracking();
        Message.Result = 0;
        return hadStates;
    }
    case THeaderMessage::NCLButtonDblClk:
    case THeaderMessage::NCRButtonDblClk:
    case THeaderMessage::NCMButtonDblClk:
    case THeaderMessage::LButtonDblClk: {
        if (FOptions.contains(hoHeightDblClickResize) && InHeaderSplitterArea(P) && FDefaultHeight > 0) {
            QPoint p = P;
            if (DoHeightDblClickResize(p, Message.Shift) && FDefaultHeight > 0)
                SetHeight(FMinHeight);
            return true;
        }
        const bool leftDouble = Message.Msg == THeaderMessage::NCLButtonDblClk || Message.Msg == THeaderMessage::LButtonDblClk;
        if (ColumnBorderHit(P) && leftDouble && FOptions.contains(hoDblClickResize) && FColumns->FTrackIndex >= 0) {
            const TColumnIndex track = FColumns->FTrackIndex;
            if (DoColumnWidthDblClickResize(track, P, Message.Shift)) {
                const int position = int(FColumns->Items(track)->Position());
                AutoFitColumns(true, smaUseColumnOption, position, position);
            }
            Message.Result = 0;
            return true;
        }
        if (InHeader(P) && Message.Msg != THeaderMessage::LButtonDblClk) {
            TMouseButton button = mbLeft;
            if (Message.Msg == THeaderMessage::NCRButtonDblClk)
                button = mbRight;
            else if (Message.Msg == THeaderMessage::NCMButtonDblClk)
                button = mbMiddle;
            if (button == mbLeft)
                FColumns->UpdateDownColumn(QPoint(P.x(), P.y() + FHeight));
            FColumns->HandleClick(P, button, true, true);
        }
        return false;
    }
    case THeaderMessage::NCRButtonDown:
    case THeaderMessage::NCMButtonDown:
        if (InHeader(P))
            fire([&](int x, int y) {
                tree->DoHeaderMouseDown(Message.Msg == THeaderMessage::NCRButtonDown ? mbRight : mbMiddle, Message.Shift, x, y);
            });
        return false;
    case THeaderMessage::NCRButtonUp: {
        QToolTip::hideText();
        if (!InHeader(P))
            return false;
        FColumns->HandleClick(P, mbRight, false, true);
        fire([&](int x, int y) { tree->DoHeaderMouseUp(mbRight, Message.Shift, x, y); });
        FColumns->FDownIndex = NoColumn;
        FColumns->FTrackIndex = NoColumn;
        FColumns->FCheckBoxHit = false;
        QMenu* menu = FPopupMenu;
        if (!menu)
            menu = DoGetPopupMenu(ColumnFromPosition(QPoint(P.x(), P.y() + FHeight)), P);
        if (menu) {
            tree->StopTimer(4);
            tree->StopTimer(kHeaderTimer);
            FColumns->FHoverIndex = NoColumn;
            tree->DoStateChange({}, {tsScrolling, tsScrollPending});
            const QPoint screen = tree->ClientToScreen(P);
            if (auto* columnMenu = dynamic_cast<TLTHeaderPopupMenu*>(menu)) {
                columnMenu->SetPopupComponent(tree);
                columnMenu->Popup(screen.x(), screen.y());
            } else {
                menu->popup(screen);
            }
            return true;
        }
        return false;
    }
    case THeaderMessage::NCMButtonUp:
        if (InHeader(P)) {
            FColumns->HandleClick(P, mbMiddle, false, true);
            fire([&](int x, int y) { tree->DoHeaderMouseUp(mbMiddle, Message.Shift, x, y); });
            FColumns->FDownIndex = NoColumn;
            FColumns->FCheckBoxHit = false;
        }
        return false;
    case THeaderMessage::SetCursor: {
        if (!FStates.empty()) {
            Message.Result = 1;
            return true;
        }
        const bool border = ColumnBorderHit(P);
        const bool bottom = BottomEdgeHit(P);
        FCursor = tree->Cursor();
        if (border || bottom) {
            QCursor cursor = tree->Cursor();
            if (bottom && FOptions.contains(hoHeightResize))
                cursor = QCursor(Qt::SizeVerCursor);
            else if (border)
                cursor = QCursor(Qt::SplitHCursor);
            tree->DoGetHeaderCursor(cursor);
            FCursor = cursor;
            Message.Result = 1;
            return true;
        }
        return false;
    }
    case THeaderMessage::Size:
        if (!tree->TreeStates().contains(tsWindowCreating)) {
            if (FOptions.contains(hoAutoResize) && !FStates.contains(hsAutoSizing))
                FColumns->FitAutoSizeColumn();
            else if (!FStates.contains(hsScaling))
                ApplyFixedAreaConstraints();
            Invalidate();
        }
        return false;
    case THeaderMessage::KillFocus:
    case THeaderMessage::KeyDownEscape:
        if (FStates.contains(hsDragging)) {
            FDragImage.End();
            FStates -= hsDragging;
            FColumns->FDropTarget = NoColumn;
            Invalidate();
            Message.Result = 0;
            return true;
        }
        {
            bool consumed = false;
            if (FStates.contains(hsColumnWidthTracking)) {
                DoAfterColumnWidthTracking(FColumns->FTrackIndex);
                consumed = true;
            } else if (FStates.contains(hsHeightTracking)) {
                DoAfterHeightTracking();
                consumed = true;
            }
            FStates -= kTrackingStates;
            FStates -= hsDragPending;
            Message.Result = 0;
            return consumed;
        }
    case THeaderMessage::ParentFontChanged:
        if (FParentFont) {
            FFont = tree->font();
            FontChanged();
        }
        return false;
    case THeaderMessage::BiDiModeChanged:
        for (int i = 0; i < ColumnCount(); ++i)
            FColumns->Items(i)->ParentBiDiModeChanged();
        return false;
    }
    return false;
}

} // namespace controls
