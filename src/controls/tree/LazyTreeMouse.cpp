// Mouse input: clicks that focus and select, check-box presses, toggling by button or double
// click, the rubber band, hot tracking, the cursor, auto-scroll, the wheel, wheel panning and
// node popup menus; and the selection rules of clicks and the rubber band.
#include "controls/tree/LazyTree.h"
#include "controls/tree/LazyTreeUtils.h"
#include "platform/ui/Timer.h"

#include <QApplication>
#include <QBitmap>
#include <QEnterEvent>
#include <QHelpEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QWheelEvent>
#include <QWidget>
#include <cmath>

namespace controls {

using platform::Rect;

namespace {

bool isSplitter(const THitInfo& hit)
{
    return hit.HitPositions.contains(hiUpperSplitter) || hit.HitPositions.contains(hiLowerSplitter);
}

} // namespace

bool TBaseLazyTree::DoDragAllowed(PLazyNode Node, TColumnIndex Column)
{
    bool allowed = false;
    if (OnDragAllowed)
        OnDragAllowed(this, Node, Column, allowed);
    return allowed;
}

bool TBaseLazyTree::CanResizeNodeHeight(QPoint P, PLazyNode Node, TColumnIndex Column)
{
    // Node heights are resized only in fixed columns, which a tree without columns has none of.
    bool allowed = FOptions->MiscOptions().contains(toNodeHeightResize) && Node && Node != FRoot && Column >= 0 &&
                   FHeader->IsValidColumn(Column);
    if (OnCanSplitterResizeNode)
        OnCanSplitterResizeNode(this, P, Node, Column, allowed);
    return allowed;
}

// --- Qt events ----------------------------------------------------------------------------------

bool TBaseLazyTree::HeaderFirst(THeaderMessage Msg, QPoint P, TShiftState Shift)
{
    TLTHeaderMessage m;
    m.Msg = Msg;
    m.Pos = P;
    m.Shift = Shift;
    return FHeader->HandleMessage(m);
}

void TBaseLazyTree::mousePressEvent(QMouseEvent* e)
{
    const QPoint p = e->position().toPoint();
    const TShiftState shift = ShiftStateOf(e->modifiers());
    // The header takes a press on the border between fixed and scrolling columns over the rows.
    if (e->button() == Qt::LeftButton && HeaderFirst(THeaderMessage::LButtonDown, p, shift))
        return;
    THitInfo hit;
    switch (e->button()) {
    case Qt::LeftButton:
        DoStateChange({tsLeftButtonDown});
        GetHitTestInfoAt(p.x(), p.y(), true, hit);
        HandleMouseDown(mbLeft, shift, p.x(), p.y(), hit);
        break;
    case Qt::MiddleButton:
        DoStateChange({tsMiddleButtonDown});
        if (FOptions->MiscOptions().contains(toWheelPanning) && !FStates.contains(tsWheelPanning) &&
            !FStates.contains(tsWheelScrolling) &&
            (int64_t(FRangeX) > ClientWidth() || int64_t(FRangeY) > ClientHeight())) {
            FLastClickPos = p;
            StartWheelPanning(p);
        } else {
            StopWheelPanning();
            if (FOptions->SelectionOptions().contains(toMiddleClickSelect)) {
                GetHitTestInfoAt(p.x(), p.y(), true, hit);
                HandleMouseDown(mbMiddle, shift, p.x(), p.y(), hit);
            }
        }
        break;
    case Qt::RightButton:
        DoStateChange({tsRightButtonDown});
        if (FOptions->SelectionOptions().contains(toRightClickSelect)) {
            GetHitTestInfoAt(p.x(), p.y(), true, hit);
            HandleMouseDown(mbRight, shift, p.x(), p.y(), hit);
        }
        break;
    default:
        QAbstractScrollArea::mousePressEvent(e);
        break;
    }
}

void TBaseLazyTree::mouseReleaseEvent(QMouseEvent* e)
{
    const QPoint p = e->position().toPoint();
    const TShiftState shift = ShiftStateOf(e->modifiers());
    if (e->button() == Qt::LeftButton && !FHeader->States().empty() && HeaderFirst(THeaderMessage::LButtonUp, p, shift))
        return;
    THitInfo hit;
    switch (e->button()) {
    case Qt::LeftButton:
        DoStateChange({}, {tsNodeHeightTracking, tsNodeHeightTrackPending, tsLeftButtonDown});
        GetHitTestInfoAt(p.x(), p.y(), true, hit);
        HandleMouseUp(mbLeft, shift, p.x(), p.y(), hit);
        break;
    case Qt::MiddleButton:
        DoStateChange({}, {tsMiddleButtonDown});
        if (FStates.contains(tsWheelPanning) || FStates.contains(tsWheelScrolling)) {
            if (FStates.contains(tsWheelScrolling))
                DoStateChange({}, {tsWheelPanning});
            else
                StopWheelPanning();
        } else if (FOptions->SelectionOptions().contains(toMiddleClickSelect)) {
            GetHitTestInfoAt(p.x(), p.y(), true, hit);
            HandleMouseUp(mbMiddle, shift, p.x(), p.y(), hit);
        }
        break;
    case Qt::RightButton:
        DoStateChange({}, {tsRightButtonDown, tsPopupMenuShown, tsHint});
        if ((FStates.contains(tsDrawSelecting) || FStates.contains(tsDrawSelPending)) && FPopupMenu) {
            DoStateChange({}, {tsDrawSelecting, tsDrawSelPending});
            Invalidate();
        }
        GetHitTestInfoAt(p.x(), p.y(), true, hit);
        if (FOptions->SelectionOptions().contains(toRightClickSelect))
            HandleMouseUp(mbRight, shift, p.x(), p.y(), hit);
        if (!FPopupMenu)
            DoPopupMenu(hit.HitNode, hit.HitColumn, p);
        break;
    default:
        QAbstractScrollArea::mouseReleaseEvent(e);
        break;
    }
}

void TBaseLazyTree::mouseDoubleClickEvent(QMouseEvent* e)
{
    const QPoint p = e->position().toPoint();
    const TShiftState shift = ShiftStateOf(e->modifiers());
    if (e->button() == Qt::LeftButton && HeaderFirst(THeaderMessage::LButtonDblClk, p, shift))
        return;
    THitInfo hit;
    switch (e->button()) {
    case Qt::LeftButton:
        DoStateChange({tsLeftDblClick, tsLeftButtonDown});
        GetHitTestInfoAt(p.x(), p.y(), true, hit);
        HandleMouseDblClick(mbLeft, shift, p.x(), p.y(), hit);
        DoStateChange({}, {tsLeftDblClick});
        break;
    case Qt::MiddleButton:
        DoStateChange({tsMiddleDblClick});
        if (FOptions->SelectionOptions().contains(toMiddleClickSelect)) {
            GetHitTestInfoAt(p.x(), p.y(), true, hit);
            HandleMouseDblClick(mbMiddle, shift, p.x(), p.y(), hit);
        }
        DoStateChange({}, {tsMiddleDblClick});
        break;
    case Qt::RightButton:
        DoStateChange({tsRightDblClick});
        if (FOptions->SelectionOptions().contains(toRightClickSelect)) {
            GetHitTestInfoAt(p.x(), p.y(), true, hit);
            HandleMouseDblClick(mbRight, shift, p.x(), p.y(), hit);
        }
        DoStateChange({}, {tsRightDblClick});
        break;
    default:
        break;
    }
}

void TBaseLazyTree::mouseMoveEvent(QMouseEvent* e)
{
    const QPoint p = e->position().toPoint();
    if (!FHeader->States().empty() && HeaderFirst(THeaderMessage::MouseMove, p, ShiftStateOf(e->modifiers())))
        return;
    MouseMove(ShiftStateOf(e->modifiers()), p.x(), p.y());
}

bool TBaseLazyTree::viewportEvent(QEvent* e)
{
    switch (e->type()) {
    case QEvent::DragEnter:
    case QEvent::DragMove:
    case QEvent::DragLeave:
    case QEvent::Drop:
        return HandleDragEvent(e);
    case QEvent::ToolTip:
        ShowHintAt(static_cast<QHelpEvent*>(e)->pos(), false);
        return true;
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
    case QEvent::Wheel:
        HideHint();
        break;
    default:
        break;
    }
    if (e->type() == QEvent::Enter) {
        DoMouseEnter();
    } else if (e->type() == QEvent::Leave) {
        HideHint();
        if (!FStates.contains(tsWheelPanning) && !FStates.contains(tsWheelScrolling)) {
            StopTimer(4);
            DoStateChange({}, {tsScrollPending, tsScrolling});
        }
        if (FCurrentHotNode) {
            PLazyNode old = FCurrentHotNode;
            DoHotChange(old, nullptr);
            FCurrentHotNode = nullptr;
            FHotNodeButtonHit = false;
            if (FOptions->PaintOptions().contains(toHotTrack) || FOptions->MiscOptions().contains(toCheckSupport))
                InvalidateNode(old);
        }
        DoMouseLeave();
    }
    return QAbstractScrollArea::viewportEvent(e);
}

void TBaseLazyTree::contextMenuEvent(QContextMenuEvent* e)
{
    DoStateChange({}, {tsClearPending, tsEditPending, tsOLEDragPending, tsVCLDragPending});
    if (FStates.contains(tsPopupMenuShown))
        return;
    if (FPopupMenu)
        FPopupMenu->popup(e->globalPos());
}

void TBaseLazyTree::CancelMode()
{
    for (int id : {1, 2, 3, 4, 7, 8})
        StopTimer(id);
    FSearchBuffer.clear();
    FLastSearchNode = nullptr;
    DoStateChange({}, {tsClearPending, tsDrawSelPending, tsDrawSelecting, tsEditPending, tsIncrementalSearching,
                       tsOLEDragPending, tsVCLDragPending});
}

// --- mouse down ---------------------------------------------------------------------------------

void TBaseLazyTree::HandleMouseDown(TMouseButton Button, TShiftState Keys, int X, int Y, THitInfo& HitInfo)
{
    if (FStates.contains(tsWheelPanning) || FStates.contains(tsWheelScrolling)) {
        StopWheelPanning();
        return;
    }
    StopTimer(2);
    DoStateChange({}, {tsEditPending});
    if (!Focused() && isEnabled() && isVisible() && focusPolicy() != Qt::NoFocus) {
        setFocus(Qt::MouseFocusReason);
        GetHitTestInfoAt(X, Y, true, HitInfo);
    }
    const auto sel = FOptions->SelectionOptions();
    const auto misc = FOptions->MiscOptions();
    const THitPositions hp = HitInfo.HitPositions;
    bool newColumn = false;
    TColumnIndex column;
    if (hp.contains(hiOnItemLabel) || sel.contains(toFullRowSelect) || misc.contains(toGridExtensions)) {
        newColumn = HitInfo.HitColumn != FFocusedColumn;
        column = sel.contains(toExtendedFocus) ? HitInfo.HitColumn : FHeader->MainColumn();
    } else {
        column = FFocusedColumn;
    }
    if (newColumn && !FHeader->AllowFocus(column)) {
        newColumn = false;
        column = FFocusedColumn;
    }
    const bool altPressed = Keys.contains(ssAlt);
    const TShiftState shift = Keys - ssAlt;
    const bool isLabelHit = !altPressed && !sel.contains(toSimpleDrawSelection) &&
                            (hp.contains(hiOnItemLabel) || hp.contains(hiOnNormalIcon));
    const bool isCellHit = !altPressed && !isLabelHit && HitInfo.HitNode &&
                           !(hp.contains(hiOnItemButton) || hp.contains(hiOnItemCheckbox) || hp.contains(hiNowhere)) &&
                           (sel.contains(toFullRowSelect) || (misc.contains(toGridExtensions) && HitInfo.HitColumn >= 0));
    const bool isAnyHit = isLabelHit || isCellHit;
    const bool multiSelect = sel.contains(toMultiSelect);
    const bool shiftEmpty = shift.empty();
    const bool nodeSelected = isAnyHit && HitInfo.HitNode->States.contains(vsSelected);
    bool fullRowDrag;
    if (multiSelect && !sel.contains(toDisableDrawSelection))
        fullRowDrag = misc.contains(toFullRowDrag) && isCellHit && !hp.contains(hiNowhere) &&
                      (nodeSelected || hp.contains(hiOnItemLabel) || hp.contains(hiOnNormalIcon));
    else
        fullRowDrag = misc.contains(toFullRowDrag);
    const bool isHeightTracking = Button == mbLeft && hp.contains(hiOnItem) && isSplitter(HitInfo);
    bool autoDrag = false;
    if (HitInfo.HitNode)
        autoDrag = DoDragAllowed(HitInfo.HitNode, column) && (fullRowDrag || isLabelHit);

    if (isHeightTracking) {
        PLazyNode target = hp.contains(hiUpperSplitter) ? GetPreviousVisible(HitInfo.HitNode, true) : HitInfo.HitNode;
        if (CanResizeNodeHeight(QPoint(X, Y), target, HitInfo.HitColumn)) {
            FHeightTrackNode = target;
            FHeightTrackColumn = HitInfo.HitColumn;
            const Rect r = GetDisplayRect(target, FHeightTrackColumn, false);
            FHeightTrackPoint = QPoint(r.left, r.top);
            DoStateChange({tsNodeHeightTrackPending});
            return;
        }
    }
    if (hp.contains(hiOnItemButton) && HitInfo.HitNode && HitInfo.HitNode->States.contains(vsHasChildren)) {
        ToggleNode(HitInfo.HitNode);
        return;
    }
    if (hp.contains(hiOnItemCheckbox)) {
        PLazyNode node = HitInfo.HitNode;
        if (!FStates.contains(tsMouseCheckPending) && !FStates.contains(tsKeyCheckPending) &&
            !node->States.contains(vsDisabled)) {
            TCheckState newState = DetermineNextCheckState(node->CheckType, node->CheckState);
            if (Button == mbLeft && DoChecking(node, newState)) {
                DoStateChange({tsMouseCheckPending});
                FCheckNode = node;
                FPendingCheckState = newState;
                node->CheckState = PressedState(node->CheckState);
                InvalidateNode(node);
            }
        }
        return;
    }
    if ((FRoot->ChildCount > 0 && shiftEmpty) || FSelectionCount == 0) {
        PLazyNode levelNode = HitInfo.HitNode ? HitInfo.HitNode : GetLastVisible(nullptr, true);
        FLastSelectionLevel = levelNode ? int(GetNodeLevel(levelNode)) : -1;
    }
    if (multiSelect && shiftEmpty && !hp.contains(hiOnItemCheckbox) && isAnyHit && autoDrag && nodeSelected &&
        !FSelectionLocked)
        DoStateChange({tsClearPending});
    bool clearAllowed = !autoDrag;
    if (autoDrag && Button == mbRight)
        clearAllowed = !HasPopupMenu(HitInfo.HitNode, HitInfo.HitColumn, QPoint(X, Y));
    const bool rubberBand = !sel.contains(toDisableDrawSelection) && !(isLabelHit || fullRowDrag);
    if (rubberBand && multiSelect) {
        DoStateChange({tsDrawSelPending});
        FDrawSelShiftState = shift;
        FNewSelRect = Rect{X + FEffectiveOffsetX, Y - FOffsetY, X + FEffectiveOffsetX, Y - FOffsetY};
        FLastSelRect = Rect{};
    }
    if (!FSelectionLocked && ((multiSelect && shiftEmpty && !(isAnyHit || fullRowDrag)) ||
                              (isAnyHit && (!nodeSelected || clearAllowed) && (shiftEmpty || !multiSelect)))) {
        LtAssert(!FStates.contains(tsClearPending), "Pending and direct clearance are mutual exclusive!");
        if (nodeSelected || (altPressed && HitInfo.HitNode && HitInfo.HitColumn == FHeader->MainColumn() &&
                             !hp.contains(hiNowhere))) {
            if (FSelectionCount > 1 || !HitInfo.HitNode->States.contains(vsSelected)) {
                const bool several = FSelectionCount > 1;
                InternalClearSelection();
                FSingletonNodeArray.assign(1, HitInfo.HitNode);
                InsertIntoSelection(FSingletonNodeArray, 1, false);
                if (several) {
                    Invalidate();
                    Change(nullptr);
                }
            }
        } else if (!(hp.contains(hiNowhere) && sel.contains(toAlwaysSelectNode))) {
            ClearSelection();
        }
    }
    if (Focused() && (hp.contains(hiOnItemLabel) || (misc.contains(toGridExtensions) && hp.contains(hiOnItem))) &&
        nodeSelected && !newColumn && shiftEmpty)
        DoStateChange({tsEditPending});
    if (rubberBand && (multiSelect || hp.contains(hiNowhere)) && !isCellHit) {
        FLastClickPos = QPoint(X, Y);
        return;
    }
    FLastClickPos = QPoint(X, Y);
    if (isAnyHit && DoFocusChanging(FFocusedNode, HitInfo.HitNode, column, FFocusedColumn)) {
        const TColumnIndex oldColumn = FFocusedColumn;
        if (newColumn) {
            InvalidateColumn(FFocusedColumn);
            InvalidateColumn(column);
            FFocusedColumn = column;
        }
        PLazyNode lastFocused = FFocusedNode;
        DoFocusNode(HitInfo.HitNode, false);
        if (multiSelect && !shiftEmpty) {
            ApplyClickSelection(lastFocused, HitInfo.HitNode, shift, autoDrag);
        } else {
            if (shiftEmpty)
                FRangeAnchor = HitInfo.HitNode;
            if (!HitInfo.HitNode->States.contains(vsSelected))
                AddToSelection(HitInfo.HitNode);
        }
        if (lastFocused != FFocusedNode || oldColumn != FFocusedColumn) {
            ScrollIntoView(FFocusedNode, sel.contains(toCenterScrollIntoView),
                           !FOptions->AutoOptions().contains(toDisableAutoscrollOnFocus) && !sel.contains(toFullRowSelect));
            DoFocusChange(FFocusedNode, FFocusedColumn);
        }
    }
    if (FSelectionCount == 0)
        Change(nullptr);
    if (autoDrag && isAnyHit &&
        (FStates.contains(tsLeftButtonDown) || FStates.contains(tsRightButtonDown) || FStates.contains(tsMiddleButtonDown))) {
        FDragThreshold = kDragThreshold;
        DoStateChange({FDragType == dtOLE ? tsOLEDragPending : tsVCLDragPending});
    }
}

// --- mouse up and double click ------------------------------------------------------------------

void TBaseLazyTree::HandleMouseUp(TMouseButton, TShiftState Keys, int, int, THitInfo& HitInfo)
{
    if (FStates.contains(tsVCLDragPending)) {
        // The framework drag never started: it is cancelled, which hands the release back.
        DragFinished();
        return;
    }
    if (FStates.contains(tsDrawSelecting) || FStates.contains(tsDrawSelPending)) {
        DoStateChange({}, {tsDrawSelecting, tsDrawSelPending, tsToggleFocusedSelection});
        Invalidate();
    }
    if (FStates.contains(tsClearPending)) {
        const bool wasSelected = FFocusedNode && FFocusedNode->States.contains(vsSelected);
        ClearSelection();
        if (wasSelected && FFocusedNode)
            AddToSelection(FFocusedNode);
    }
    if (FStates.contains(tsToggleFocusedSelection) && HitInfo.HitNode == FFocusedNode && FFocusedNode) {
        if (!FFocusedNode->States.contains(vsSelected))
            AddToSelection(FFocusedNode);
        else if (!(FOptions->SelectionOptions().contains(toAlwaysSelectNode) && FSelectionCount == 1))
            RemoveFromSelection(FFocusedNode);
        InvalidateNode(FFocusedNode);
    }
    DoStateChange({}, {tsOLEDragPending, tsOLEDragging, tsClearPending, tsDrawSelPending, tsToggleFocusedSelection,
                       tsScrollPending, tsScrolling});
    StopTimer(4);
    if (FStates.contains(tsMouseCheckPending)) {
        DoStateChange({}, {tsMouseCheckPending});
        PLazyNode node = FCheckNode;
        FCheckNode = nullptr;
        if (node) {
            if (HitInfo.HitNode == node && HitInfo.HitPositions.contains(hiOnItem))
                DoCheckClick(node, FPendingCheckState);
            else
                node->CheckState = UnpressedState(node->CheckState);
            InvalidateNode(node);
        }
    }
    if (HitInfo.HitColumn >= 0 && HitInfo.HitColumn == FHeaderClickColumn)
        DoColumnClick(HitInfo.HitColumn, Keys);
    if (HitInfo.HitNode)
        DoNodeClick(HitInfo);
    if (FStates.contains(tsEditPending)) {
        if (HitInfo.HitNode == FFocusedNode && HitInfo.HitPositions.contains(hiOnItem) &&
            FOptions->MiscOptions().contains(toEditOnClick) && HitInfo.HitColumn == FFocusedColumn &&
            CanEdit(FFocusedNode, HitInfo.HitColumn)) {
            FEditColumn = FFocusedColumn;
            // The release of a double click keeps the edit it started at once.
            platform::Timer* editTimer = WindowTimer(2);
            if (!(editTimer->enabled() && editTimer->interval() <= 1))
                SetWindowTimer(2, FEditDelay);
        } else {
            DoStateChange({}, {tsEditPending});
        }
    }
}

void TBaseLazyTree::HandleMouseDblClick(TMouseButton Button, TShiftState Keys, int X, int Y, THitInfo& HitInfo)
{
    bool editOnDblClick = !FStates.contains(tsEditing) && FOptions->MiscOptions().contains(toEditOnDblClick);
    StopTimer(2);
    DoStateChange({}, {tsEditPending});
    if (HitInfo.HitColumn >= 0 && HitInfo.HitColumn == FHeaderClickColumn)
        DoColumnDblClick(HitInfo.HitColumn, Keys);
    if (HitInfo.HitNode)
        DoNodeDblClick(HitInfo);
    const THitPositions hp = HitInfo.HitPositions;
    PLazyNode candidate = nullptr;
    if (hp.contains(hiOnItem) && HitInfo.HitColumn >= 0 && FHeader->IsValidColumn(HitInfo.HitColumn))
        candidate = hp.contains(hiUpperSplitter) ? GetPreviousVisible(HitInfo.HitNode, true) : HitInfo.HitNode;
    if (candidate && candidate != FRoot && FOptions->MiscOptions().contains(toNodeHeightDblClickResize) &&
        isSplitter(HitInfo)) {
        if (DoNodeHeightDblClickResize(candidate, HitInfo.HitColumn, Keys, QPoint(X, Y))) {
            SetNodeHeight(candidate, FDefaultNodeHeight);
            viewport()->repaint();
            editOnDblClick = false;
        }
    } else if (hp.contains(hiOnItemCheckbox)) {
        PLazyNode node = HitInfo.HitNode;
        if (!FStates.contains(tsMouseCheckPending) && !FStates.contains(tsKeyCheckPending) &&
            !node->States.contains(vsDisabled)) {
            TCheckState newState = DetermineNextCheckState(node->CheckType, node->CheckState);
            if (Button == mbLeft && DoChecking(node, newState)) {
                DoStateChange({tsMouseCheckPending});
                FCheckNode = node;
                FPendingCheckState = newState;
                node->CheckState = PressedState(node->CheckState);
                InvalidateNode(node);
            }
        }
        editOnDblClick = false;
    } else if (HitInfo.HitNode &&
               (hp.contains(hiOnItemButton) ||
                (FOptions->MiscOptions().contains(toToggleOnDblClick) &&
                 (hp.contains(hiOnItemButton) || hp.contains(hiOnItemLabel) || hp.contains(hiOnNormalIcon) ||
                  hp.contains(hiOnStateIcon) || FOptions->SelectionOptions().contains(toFullRowSelect))))) {
        ToggleNode(HitInfo.HitNode);
        editOnDblClick = false;
    }
    if (editOnDblClick && HitInfo.HitNode == FFocusedNode && HitInfo.HitColumn == FFocusedColumn &&
        CanEdit(FFocusedNode, HitInfo.HitColumn)) {
        DoStateChange({tsEditPending});
        FEditColumn = FFocusedColumn;
        SetWindowTimer(2, 0);
    }
}

// --- moving -------------------------------------------------------------------------------------

void TBaseLazyTree::MouseMove(TShiftState Shift, int X, int Y)
{
    if (FStates.contains(tsNodeHeightTrackPending)) {
        StopWheelPanning();
        for (int id : {1, 2, 3, 4, 7})
            StopTimer(id);
        FSearchBuffer.clear();
        FLastSearchNode = nullptr;
        DoStateChange({tsNodeHeightTracking}, {tsScrollPending, tsScrolling, tsEditPending, tsOLEDragPending,
                                               tsVCLDragPending, tsIncrementalSearching, tsNodeHeightTrackPending});
    }
    if (FStates.contains(tsDrawSelPending)) {
        if (CalculateSelectionRect(X, Y))
            viewport()->update();
        const Rect r = NormalizeRect(FNewSelRect);
        if (r.width() > kDragThreshold || r.height() > kDragThreshold) {
            if (FStates.contains(tsClearPending)) {
                DoStateChange({}, {tsClearPending});
                ClearSelection();
            }
            DoStateChange({tsDrawSelecting}, {tsDrawSelPending});
            FFocusedColumn = FHeader->MainColumn();
            if (ApplyRubberBandSelection(X, Y))
                Invalidate();
        }
        return;
    }
    if (FStates.contains(tsNodeHeightTracking)) {
        QPoint trackPoint = FHeightTrackPoint;
        if (DoNodeHeightTracking(FHeightTrackNode, FHeightTrackColumn, Shift, trackPoint, QPoint(X, Y))) {
            if (Y <= trackPoint.y())
                Y = trackPoint.y() + 1;
            SetNodeHeight(FHeightTrackNode, uint32_t(std::max(1, Y - trackPoint.y())));
            viewport()->repaint();
        }
        return;
    }
    if (FStates.contains(tsWheelPanning) && FStates.contains(tsWheelScrolling) &&
        (std::abs(X - FLastClickPos.x()) >= kDragThreshold || std::abs(Y - FLastClickPos.y()) >= kDragThreshold))
        DoStateChange({}, {tsWheelScrolling});
    if (FStates.contains(tsOLEDragPending) &&
        (std::abs(X - FLastClickPos.x()) >= FDragThreshold || std::abs(Y - FLastClickPos.y()) >= FDragThreshold)) {
        DoStateChange({}, {tsOLEDragPending, tsClearPending});
        DoDragging(FLastClickPos);
        return;
    }
    if (FStates.contains(tsVCLDragPending) &&
        (std::abs(X - FLastClickPos.x()) >= FDragThreshold || std::abs(Y - FLastClickPos.y()) >= FDragThreshold)) {
        DoVCLDragging();
        return;
    }
    // Tooltips show at once, and a hint goes when the pointer leaves its rectangle.
    if (!FLastHintRect.isEmpty() && !FLastHintRect.contains(X, Y))
        HideHint();
    if (FHintMode == hmTooltip && FShowHint)
        ShowHintAt(QPoint(X, Y), true);
    const bool panning = FStates.contains(tsWheelPanning) || FStates.contains(tsWheelScrolling);
    if (CanAutoScroll())
        DoAutoScroll(X, Y);
    if (panning)
        AdjustPanningCursor(X, Y);
    if (!FStates.contains(tsDrawSelecting)) {
        HandleHotTrack(X, Y);
        UpdateCursor(X, Y);
    } else if (!FStates.contains(tsScrolling)) {
        const Rect old = FLastSelRect;
        if (CalculateSelectionRect(X, Y)) {
            if (ApplyRubberBandSelection(X, Y)) {
                Invalidate();
            } else {
                const Rect a = NormalizeRect(old).offset(-FEffectiveOffsetX, FOffsetY);
                const Rect b = NormalizeRect(FNewSelRect).offset(-FEffectiveOffsetX, FOffsetY);
                viewport()->update(a.toQRect().united(b.toQRect()).adjusted(-1, -1, 1, 1));
            }
        }
    }
}

bool TBaseLazyTree::CalculateSelectionRect(int X, int Y)
{
    if (FStates.contains(tsDrawSelecting))
        FLastSelRect = FNewSelRect;
    const int maxX = int(std::max<int64_t>(ClientWidth(), FRangeX));
    const int maxY = int(std::max<int64_t>(ClientHeight(), FRangeY));
    FNewSelRect.right = std::clamp(X + FEffectiveOffsetX, 0, maxX);
    FNewSelRect.bottom = std::clamp(Y - FOffsetY, 0, maxY);
    return !(FNewSelRect == FLastSelRect);
}

// --- hot tracking and the cursor ----------------------------------------------------------------

void TBaseLazyTree::HandleHotTrack(int X, int Y)
{
    THitInfo hit;
    GetHitTestInfoAt(X, Y, true, hit);
    const THitPositions hp = hit.HitPositions;
    const bool explorer = FStates.contains(tsUseExplorerTheme);
    bool isHot = hp.contains(hiOnItemLabel) || hp.contains(hiOnItemCheckbox) ||
                 (explorer && hp.contains(hiOnItemButtonExact));
    if (FOptions->SelectionOptions().contains(toFullRowSelect) && !hp.contains(hiNowhere))
        isHot = true;
    PLazyNode newHot = isHot ? hit.HitNode : nullptr;
    const TColumnIndex newColumn = isHot ? hit.HitColumn : NoColumn;
    const bool repaintHot = FOptions->PaintOptions().contains(toHotTrack) || FOptions->MiscOptions().contains(toCheckSupport);
    PLazyNode oldHot = FCurrentHotNode;
    const bool changed = newHot != FCurrentHotNode || newColumn != FCurrentHotColumn;
    if (changed) {
        DoHotChange(FCurrentHotNode, newHot);
        if (FCurrentHotNode && repaintHot)
            InvalidateNode(FCurrentHotNode);
        FCurrentHotNode = newHot;
        FCurrentHotColumn = newColumn;
    }
    if (FCurrentHotNode) {
        const bool buttonHit = hp.contains(hiOnItemButtonExact);
        if (buttonHit != FHotNodeButtonHit || (changed && repaintHot)) {
            FHotNodeButtonHit = buttonHit;
            InvalidateNode(FCurrentHotNode);
        }
    } else {
        FHotNodeButtonHit = false;
    }
    if (changed && oldHot && repaintHot)
        InvalidateNode(oldHot);
}

void TBaseLazyTree::UpdateCursor(int X, int Y)
{
    if (FStates.contains(tsWheelPanning) || FStates.contains(tsWheelScrolling))
        return;
    QCursor cursor = FCursor;
    if (FOptions->MiscOptions().contains(toNodeHeightResize)) {
        THitInfo hit;
        GetHitTestInfoAt(X, Y, true, hit);
        if (hit.HitNode && isSplitter(hit) && CanResizeNodeHeight(QPoint(X, Y), hit.HitNode, hit.HitColumn))
            cursor = QCursor(Qt::SplitVCursor);
    } else if (FOptions->PaintOptions().contains(toHotTrack) && FCurrentHotNode && FHotCursor.shape() != Qt::ArrowCursor) {
        cursor = FHotCursor;
    }
    DoGetCursor(cursor);
    viewport()->setCursor(cursor);
}

// --- auto-scroll --------------------------------------------------------------------------------

bool TBaseLazyTree::CanAutoScroll() const
{
    const bool panning = FStates.contains(tsWheelPanning) || FStates.contains(tsWheelScrolling);
    return (FOptions->AutoOptions().contains(toAutoScroll) || panning) &&
           (FStates.contains(tsDrawSelPending) || FStates.contains(tsDrawSelecting) || FStates.contains(tsVCLDragging) ||
            panning);
}

TScrollDirections TBaseLazyTree::DetermineScrollDirections(int X, int Y)
{
    TScrollDirections result;
    if (!CanAutoScroll())
        return result;
    if (FStates.contains(tsWheelPanning) || FStates.contains(tsWheelScrolling)) {
        const int dx = X - FLastClickPos.x();
        const int dy = Y - FLastClickPos.y();
        if (dx < -8)
            result += sdLeft;
        if (dx > 8)
            result += sdRight;
        if (dy < -8)
            result += sdUp;
        if (dy > 8)
            result += sdDown;
        return result;
    }
    const int edge = int(FDefaultNodeHeight);
    if (X < edge && FEffectiveOffsetX != 0)
        result += sdLeft;
    if (ClientWidth() + FEffectiveOffsetX < int64_t(FRangeX) && X > ClientWidth() - edge)
        result += sdRight;
    if (Y < edge && FOffsetY != 0)
        result += sdUp;
    if (ClientHeight() - FOffsetY < int64_t(FRangeY) && Y > ClientHeight() - edge)
        result += sdDown;
    return result;
}

void TBaseLazyTree::DoAutoScroll(int X, int Y)
{
    FScrollDirections = DetermineScrollDirections(X, Y);
    if (FStates.contains(tsWheelPanning) || FStates.contains(tsWheelScrolling))
        return;
    if (!FScrollDirections.empty()) {
        if (!FStates.contains(tsScrollPending) && !FStates.contains(tsScrolling)) {
            DoStateChange({tsScrollPending});
            SetWindowTimer(4, FAutoScrollDelay);
        }
    } else if (FStates.contains(tsScrollPending) || FStates.contains(tsScrolling)) {
        StopTimer(4);
        DoStateChange({}, {tsScrollPending, tsScrolling});
    }
}

void TBaseLazyTree::DoTimerScroll()
{
    const QPoint pos = QCursor::pos();
    const QPoint p = viewport()->mapFromGlobal(pos);
    const bool inRect = viewport()->rect().contains(p);
    const bool panning = FStates.contains(tsWheelPanning) || FStates.contains(tsWheelScrolling);
    const bool selecting = FStates.contains(tsDrawSelecting);
    if (panning)
        FScrollDirections = DetermineScrollDirections(p.x(), p.y());
    if (selecting || inRect || panning) {
        int deltaX = 0;
        int deltaY = 0;
        const int incY = FScrollBarOptions->VerticalIncrement();
        const int incX = FScrollBarOptions->HorizontalIncrement();
        if (FScrollDirections.contains(sdUp)) {
            if (panning)
                deltaY = FLastClickPos.y() - p.y() - 8;
            else if (inRect)
                deltaY = std::min(incY, ClientHeight());
            else
                deltaY = std::min(incY, ClientHeight()) * std::abs(p.y());
            if (FOffsetY == 0)
                FScrollDirections -= sdUp;
        }
        if (FScrollDirections.contains(sdDown)) {
            if (panning)
                deltaY = FLastClickPos.y() - p.y() + 8;
            else if (inRect)
                deltaY = -std::min(incY, ClientHeight());
            else
                deltaY = -std::min(incY, ClientHeight()) * std::abs(p.y() - ClientHeight());
            if (ClientHeight() - FOffsetY >= int64_t(FRangeY))
                FScrollDirections -= sdDown;
        }
        if (FScrollDirections.contains(sdLeft)) {
            if (panning)
                deltaX = FLastClickPos.x() - p.x() - 8;
            else if (inRect)
                deltaX = incX;
            else
                deltaX = incX * std::abs(p.x());
            if (FEffectiveOffsetX == 0)
                FScrollDirections -= sdLeft;
        }
        if (FScrollDirections.contains(sdRight)) {
            if (panning)
                deltaX = FLastClickPos.x() - p.x() + 8;
            else if (inRect)
                deltaX = -incX;
            else
                deltaX = -incX * std::abs(p.x() - ClientWidth());
            if (ClientWidth() + FEffectiveOffsetX >= int64_t(FRangeX))
                FScrollDirections -= sdRight;
        }
        if (UseRightToLeftReading())
            deltaX = -deltaX;
        if (selecting) {
            DoSetOffsetXY(QPoint(FOffsetX + deltaX, FOffsetY + deltaY), DefaultScrollUpdateFlags);
            CalculateSelectionRect(p.x(), p.y());
            ApplyRubberBandSelection(p.x(), p.y());
            Invalidate();
        } else if (deltaX != 0 || deltaY != 0) {
            DoSetOffsetXY(QPoint(FOffsetX + deltaX, FOffsetY + deltaY), DefaultScrollUpdateFlags);
        }
    }
    if (FScrollDirections.empty() && !panning) {
        StopTimer(4);
        DoStateChange({}, {tsScrollPending, tsScrolling});
    }
}

// --- the wheel ----------------------------------------------------------------------------------

void TBaseLazyTree::wheelEvent(QWheelEvent* e)
{
    StopWheelPanning();
    const QPoint angle = e->angleDelta();
    const int delta = angle.y() != 0 ? angle.y() : angle.x();
    HandleMouseWheel(delta, ShiftStateOf(e->modifiers()));
    e->accept();
}

void TBaseLazyTree::HandleMouseWheel(int WheelDelta, TShiftState Shift)
{
    const double factor = WheelDelta / 120.0;
    const int lines = QApplication::wheelScrollLines();
    if (int64_t(FRangeY) > ClientHeight() && !Shift.contains(ssShift)) {
        int amount;
        if (Shift.contains(ssCtrl))
            amount = int(std::trunc(factor * ClientHeight()));
        else
            amount = int(std::trunc(factor * lines * double(FDefaultNodeHeight)));
        SetOffsetY(FOffsetY + amount);
    } else {
        int amount;
        if (Shift.contains(ssCtrl))
            amount = int(std::trunc(factor * (ClientWidth() - FHeader->GetVisibleFixedWidth())));
        else
            amount = int(std::trunc(factor * lines * FHeader->GetScrollWidth()));
        SetOffsetX(FOffsetX + (UseRightToLeftReading() ? -amount : amount));
    }
}

// --- wheel panning ------------------------------------------------------------------------------

namespace {

// The origin marker: a circle with arrows for the directions the tree can scroll. Fuchsia is
// the transparent colour.
QImage panningImage(const QString& name)
{
    QImage image(32, 32, QImage::Format_RGB32);
    image.fill(QColor(255, 0, 255));
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setPen(QColor(0, 0, 0));
    p.setBrush(QColor(255, 255, 255));
    p.drawEllipse(QRect(1, 1, 29, 29));
    p.setBrush(QColor(0, 0, 0));
    p.drawEllipse(QRect(14, 14, 3, 3));
    auto arrow = [&](QPoint a, QPoint b, QPoint c) { p.drawPolygon(QPolygon({a, b, c})); };
    const bool vertical = name == QLatin1String("LT_MOVEALL") || name == QLatin1String("LT_MOVENS");
    const bool horizontal = name == QLatin1String("LT_MOVEALL") || name == QLatin1String("LT_MOVEEW");
    if (vertical) {
        arrow(QPoint(15, 4), QPoint(11, 9), QPoint(19, 9));
        arrow(QPoint(15, 27), QPoint(11, 22), QPoint(19, 22));
    }
    if (horizontal) {
        arrow(QPoint(4, 15), QPoint(9, 11), QPoint(9, 19));
        arrow(QPoint(27, 15), QPoint(22, 11), QPoint(22, 19));
    }
    return image;
}

class PanningMarker : public QWidget {
public:
    explicit PanningMarker(QWidget* owner, const QImage& image)
        : QWidget(owner, Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowDoesNotAcceptFocus)
        , m_image(image)
    {
        setAttribute(Qt::WA_ShowWithoutActivating);
        setAttribute(Qt::WA_TransparentForMouseEvents);
        resize(image.size());
        // The window's shape: every run of pixels that are not fuchsia, row by row.
        QRegion region;
        for (int y = 0; y < image.height(); ++y) {
            int x = 0;
            while (x < image.width()) {
                while (x < image.width() && image.pixel(x, y) == qRgb(255, 0, 255))
                    ++x;
                const int start = x;
                while (x < image.width() && image.pixel(x, y) != qRgb(255, 0, 255))
                    ++x;
                if (x > start)
                    region += QRect(start, y, x - start, 1);
            }
        }
        setMask(region);
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter p(this);
        p.drawImage(0, 0, m_image);
    }

private:
    QImage m_image;
};

} // namespace

void TBaseLazyTree::StartWheelPanning(QPoint Position)
{
    StopTimer(4);
    DoStateChange({tsWheelPanning, tsWheelScrolling});
    const bool both = int64_t(FRangeX) > ClientWidth() && int64_t(FRangeY) > ClientHeight();
    const bool horizontalOnly = int64_t(FRangeX) > ClientWidth() && !both;
    FPanningImageName = both ? QStringLiteral("LT_MOVEALL") : horizontalOnly ? QStringLiteral("LT_MOVEEW")
                                                                             : QStringLiteral("LT_MOVENS");
    const QImage image = panningImage(FPanningImageName);
    LtAssert(!image.isNull(), "Invalid wheel panning image.");
    auto* window = new PanningMarker(this, image);
    window->move(viewport()->mapToGlobal(Position) - QPoint(16, 16));
    window->show();
    FPanningWindow = window;
    setFocus(Qt::OtherFocusReason);
    viewport()->grabMouse();
    SetWindowTimer(4, 20);
    AdjustPanningCursor(Position.x(), Position.y());
}

void TBaseLazyTree::StopWheelPanning()
{
    if (!FStates.contains(tsWheelPanning) && !FStates.contains(tsWheelScrolling))
        return;
    StopTimer(4);
    viewport()->releaseMouse();
    DoStateChange({}, {tsWheelPanning, tsWheelScrolling});
    delete FPanningWindow;
    FPanningWindow = nullptr;
    FPanningCursorName.clear();
    viewport()->unsetCursor();
}

void TBaseLazyTree::AdjustPanningCursor(int X, int Y)
{
    const int dx = X - FLastClickPos.x();
    const int dy = Y - FLastClickPos.y();
    const bool moved = std::abs(dx) > 7 || std::abs(dy) > 7;
    const bool canX = int64_t(FRangeX) > ClientWidth();
    const bool canY = int64_t(FRangeY) > ClientHeight();
    QString name;
    if (!moved) {
        name = !canX ? QStringLiteral("LT_MOVENS") : canY ? QStringLiteral("LT_MOVEALL") : QStringLiteral("LT_MOVEEW");
    } else if (canX && canY) {
        if (dx < -8)
            name = dy < -8 ? QStringLiteral("LT_MOVENW") : dy <= 8 ? QStringLiteral("LT_MOVEW") : QStringLiteral("LT_MOVESW");
        else if (dx <= 8)
            name = Y < FLastClickPos.y() ? QStringLiteral("LT_MOVEN") : QStringLiteral("LT_MOVES");
        else
            name = dy < -8 ? QStringLiteral("LT_MOVENE") : dy <= 8 ? QStringLiteral("LT_MOVEE") : QStringLiteral("LT_MOVESE");
    } else if (canX) {
        name = X < FLastClickPos.x() ? QStringLiteral("LT_MOVEW") : QStringLiteral("LT_MOVEE");
    } else {
        name = Y < FLastClickPos.y() ? QStringLiteral("LT_MOVEN") : QStringLiteral("LT_MOVES");
    }
    if (name == FPanningCursorName)
        return;
    FPanningCursorName = name;
    Qt::CursorShape shape = Qt::SizeAllCursor;
    if (name == QLatin1String("LT_MOVEEW") || name == QLatin1String("LT_MOVEW") || name == QLatin1String("LT_MOVEE"))
        shape = Qt::SizeHorCursor;
    else if (name == QLatin1String("LT_MOVENS") || name == QLatin1String("LT_MOVEN") || name == QLatin1String("LT_MOVES"))
        shape = Qt::SizeVerCursor;
    else if (name == QLatin1String("LT_MOVENE") || name == QLatin1String("LT_MOVESW"))
        shape = Qt::SizeBDiagCursor;
    else if (name == QLatin1String("LT_MOVENW") || name == QLatin1String("LT_MOVESE"))
        shape = Qt::SizeFDiagCursor;
    viewport()->setCursor(QCursor(shape));
}

// --- popup menus --------------------------------------------------------------------------------

QMenu* TBaseLazyTree::DoGetPopupMenu(PLazyNode Node, TColumnIndex Column, QPoint Position)
{
    if (!OnGetPopupMenu)
        return nullptr;
    QMenu* menu = nullptr;
    if (Node) {
        bool askParent = true;
        for (PLazyNode n = Node; n && n != FRoot && !menu && askParent; n = n->Parent)
            OnGetPopupMenu(this, n, Column, Position, askParent, menu);
    } else {
        bool askParent = false;
        OnGetPopupMenu(this, nullptr, NoColumn, Position, askParent, menu);
    }
    return menu;
}

void TBaseLazyTree::DoPopupMenu(PLazyNode Node, TColumnIndex Column, QPoint Position)
{
    QMenu* menu = DoGetPopupMenu(Node, Column, Position);
    if (!menu)
        return;
    DoStateChange({tsPopupMenuShown});
    StopTimer(2);
    menu->popup(viewport()->mapToGlobal(Position));
}

bool TBaseLazyTree::HasPopupMenu(PLazyNode Node, TColumnIndex Column, QPoint Pos)
{
    return FPopupMenu || DoGetPopupMenu(Node, Column, Pos);
}

// --- click and rubber-band selection ------------------------------------------------------------

void TBaseLazyTree::ApplyClickSelection(PLazyNode LastFocused, PLazyNode NewNode, TShiftState Shift, bool DragPending)
{
    (void)LastFocused;
    const bool ctrl = Shift.contains(ssCtrl);
    const bool shift = Shift.contains(ssShift);
    if (ctrl && shift) {
        SelectNodes(FRangeAnchor, NewNode, true);
        Invalidate();
    } else if (ctrl) {
        if (!FOptions->SelectionOptions().contains(toSiblingSelectConstraint))
            FRangeAnchor = NewNode;
        if (DragPending) {
            DoStateChange({tsToggleFocusedSelection});
        } else if (NewNode->States.contains(vsSelected)) {
            RemoveFromSelection(NewNode);
        } else {
            AddToSelection(NewNode);
        }
        Invalidate();
    } else if (shift) {
        if (!FRangeAnchor)
            FRangeAnchor = FRoot->FirstChild;
        SelectNodes(FRangeAnchor, NewNode, false);
        Invalidate();
    } else {
        if (!NewNode->States.contains(vsSelected)) {
            AddToSelection(NewNode);
            InvalidateNode(NewNode);
        }
        FRangeAnchor = NewNode;
    }
}

bool TBaseLazyTree::ApplyRubberBandSelection(int, int)
{
    if (FRoot->TotalCount <= 2 || !FStates.contains(tsDrawSelecting))
        return false;
    const Rect oldRect = NormalizeRect(FLastSelRect);
    const Rect newRect = NormalizeRect(FNewSelRect);
    ClearTempCache();
    // Without columns a row runs from 0 across the client width.
    const int nodeLeft = 0;
    const int nodeRight = nodeLeft + ClientWidth();
    const auto paint = FOptions->PaintOptions();
    const bool simple = FOptions->SelectionOptions().contains(toSimpleDrawSelection) ||
                        FOptions->SelectionOptions().contains(toFullRowSelect);
    const bool toggle = FDrawSelShiftState.contains(ssCtrl);
    const int top = std::min(oldRect.isEmpty() ? newRect.top : oldRect.top, newRect.top);
    const int bottom = std::max(oldRect.bottom, newRect.bottom);
    int nodeTop = 0;
    PLazyNode node = GetNodeAt(0, top, false, nodeTop);
    bool changed = false;
    auto inside = [](const Rect& rect, int left, int right, int rowTop, int rowBottom) {
        if (rect.isEmpty() && rect.width() == 0 && rect.height() == 0)
            return false;
        return rowTop <= rect.bottom && rowBottom > rect.top && left <= rect.right && right >= rect.left;
    };
    while (node && nodeTop < bottom) {
        const int h = node->NodeHeight;
        int textLeft = nodeLeft + FMargin + int(GetNodeLevel(node) + (paint.contains(toShowRoot) ? 1 : 0)) * int(FIndent);
        if (FOptions->MiscOptions().contains(toCheckSupport) && FCheckImages && node->CheckType != ctNone)
            textLeft += CheckImageWidth() + 2;
        if (FImages && HasImage(node, ikNormal, FHeader->MainColumn()))
            textLeft += FImages->Width() + 2;
        if (FStateImages && HasImage(node, ikState, FHeader->MainColumn()))
            textLeft += FStateImages->Width() + 2;
        int spanLeft;
        int spanRight;
        if (simple) {
            spanLeft = textLeft - FMargin;
            spanRight = nodeRight;
        } else {
            const int width = DoGetNodeWidth(node, FHeader->MainColumn());
            if (textLeft + width >= nodeRight) {
                spanLeft = textLeft;
                spanRight = nodeRight;
            } else {
                switch (FAlignment) {
                case platform::Alignment::taLeftJustify:
                    spanLeft = textLeft;
                    spanRight = textLeft + width;
                    break;
                case platform::Alignment::taCenter:
                    spanLeft = (textLeft + nodeRight - width) / 2;
                    spanRight = spanLeft + width;
                    break;
                case platform::Alignment::taRightJustify:
                default:
                    spanLeft = nodeRight - width;
                    spanRight = nodeRight;
                    break;
                }
            }
        }
        const bool inNew = inside(newRect, spanLeft, spanRight, nodeTop, nodeTop + h);
        const bool inOld = inside(oldRect, spanLeft, spanRight, nodeTop, nodeTop + h);
        if (inNew != inOld) {
            if (toggle) {
                if (node->States.contains(vsSelected))
                    InternalRemoveFromSelection(node);
                else
                    InternalCacheNode(node);
            } else if (inNew) {
                if (!node->States.contains(vsSelected))
                    InternalCacheNode(node);
            } else if (node->States.contains(vsSelected)) {
                InternalRemoveFromSelection(node);
            }
            changed = true;
        }
        nodeTop += h;
        node = GetNextVisibleNoInit(node, true);
    }
    if (changed) {
        PackArray();
        if (FTempNodeCount > 0)
            InsertIntoSelection(FTempNodeCache, int(FTempNodeCount), false);
        ClearTempCache();
        Change(nullptr);
    }
    return changed;
}

} // namespace controls
