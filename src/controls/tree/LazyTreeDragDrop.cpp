// Drag and drop: the tree as drag source (the platform's drag loop with the tree's data object
// and drag image) and as drop target (drop target node and mode, suggested effect, auto-scroll
// and auto-expand, the drop), and the in-process framework drag that carries no data object.
#include "controls/tree/LazyTree.h"
#include "controls/tree/LazyTreeUtils.h"
#include "platform/exchange/NamedFormats.h"
#include "platform/ui/Dialogs.h"
#include "platform/ui/Timer.h"

#include <QApplication>
#include <QCursor>
#include <QDragEnterEvent>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QMouseEvent>

namespace controls {

using platform::DROPEFFECT_COPY;
using platform::DROPEFFECT_LINK;
using platform::DROPEFFECT_MOVE;
using platform::DROPEFFECT_NONE;
using platform::DROPEFFECT_SCROLL;
using platform::Rect;

namespace {

// The marker of a framework drag: the data names the source tree and nothing else.
const QString kFrameworkDrag = QStringLiteral("Lazy Tree Framework Drag");

TShiftState keyState(Qt::KeyboardModifiers modifiers, Qt::MouseButtons buttons)
{
    TShiftState s = ShiftStateOf(modifiers);
    if (buttons & Qt::LeftButton)
        s += ssLeft;
    if (buttons & Qt::RightButton)
        s += ssRight;
    if (buttons & Qt::MiddleButton)
        s += ssMiddle;
    return s;
}

Qt::DropAction dropAction(unsigned effect)
{
    if (effect & DROPEFFECT_MOVE)
        return Qt::MoveAction;
    if (effect & DROPEFFECT_COPY)
        return Qt::CopyAction;
    if (effect & DROPEFFECT_LINK)
        return Qt::LinkAction;
    return Qt::IgnoreAction;
}

bool isFrameworkDrag(const QMimeData* data) { return data && data->hasFormat(platform::mimeTypeOfFormat(kFrameworkDrag)); }

} // namespace

TLTDragManager& TBaseLazyTree::DragManager()
{
    if (!FDragManager) {
        if (OnCreateDragManager)
            OnCreateDragManager(this, FDragManager);
        if (!FDragManager)
            FDragManager = std::make_shared<TLTDragManager>(this);
    }
    return *FDragManager;
}

bool TBaseLazyTree::Dragging() const
{
    return FStates.contains(tsOLEDragging) || FStates.contains(tsOLEDragPending) || FStates.contains(tsVCLDragging);
}

void TBaseLazyTree::BeginDrag(bool Immediate, int Threshold)
{
    if (FDragType == dtVCL) {
        DoStateChange({tsVCLDragPending});
        FDragThreshold = Threshold < 0 ? kDragThreshold : Threshold;
        if (Immediate)
            DoVCLDragging();
        return;
    }
    if (FStates.contains(tsOLEDragging) || FStates.contains(tsOLEDragPending))
        return;
    FDragThreshold = Threshold < 0 ? kDragThreshold : Threshold;
    if (Immediate)
        DoDragging(FLastClickPos);
    else
        DoStateChange({tsOLEDragPending});
}

// --- source side --------------------------------------------------------------------------------

void TBaseLazyTree::PrepareDragImage(QPoint HotSpot)
{
    if (!CanShowDragImage())
        return;
    const QPoint p = HotSpot + QPoint(FEffectiveOffsetX, -FOffsetY);
    Rect image{p.x() - FDragWidth / 2, p.y() - FDragHeight / 2, p.x() + FDragWidth / 2, p.y() + FDragHeight / 2};
    // A part of the rectangle left of or above the tree is not painted; the picture keeps its size.
    QPoint target(0, 0);
    Rect window = image;
    if (window.left < 0) {
        target.setX(-window.left);
        window.left = 0;
    }
    if (window.top < 0) {
        target.setY(-window.top);
        window.top = 0;
    }
    const platform::Color background = FColors->BackGroundColor();
    platform::Bitmap bitmap(image.width(), image.height(), background, platform::PixelFormat::pf32bit);
    {
        platform::Canvas canvas(bitmap);
        TLTInternalPaintOptions options{poDrawSelection, poSelectedOnly};
        if (FDragImageKind == diMainColumnOnly)
            options += poMainOnly;
        PaintTree(canvas, window, target, options, platform::PixelFormat::pf32bit);
    }
    const QPoint imagePosition = ClientToScreen(QPoint(image.left - FEffectiveOffsetX, image.top + FOffsetY));
    FDragImage->ColorKey = platform::colorToRgb(background);
    FDragImage->PrepareDrag(bitmap.image(), imagePosition, ClientToScreen(HotSpot));
}

void TBaseLazyTree::DoDragging(QPoint P)
{
    DoCancelEdit();
    if (FCurrentHotNode) {
        InvalidateNode(FCurrentHotNode);
        FCurrentHotNode = nullptr;
    }
    if (FFocusedNode && !FFocusedNode->States.contains(vsSelected)) {
        AddToSelection(FFocusedNode);
        InvalidateNode(FFocusedNode);
    }
    FDragSelection = GetSortedSelection(true);
    DoStateChange({tsOLEDragging}, {tsClearPending, tsOLEDragPending});
    try {
        QObject* dragObject = nullptr;
        DoStartDrag(dragObject);
        delete dragObject;
        QMimeData* data = DragManager().ProvideDataObject();
        PrepareDragImage(P);
        FLastDropMode = dmOnNode;
        FLastDragEffect = DROPEFFECT_NONE;
        unsigned allowed = 0;
        if (FDragOperations.contains(doCopy))
            allowed |= DROPEFFECT_COPY;
        if (FDragOperations.contains(doMove))
            allowed |= DROPEFFECT_MOVE;
        if (FDragOperations.contains(doLink))
            allowed |= DROPEFFECT_LINK;
        if (allowed == 0)
            allowed = DROPEFFECT_COPY | DROPEFFECT_MOVE | DROPEFFECT_LINK;
        FLastDragEffect = platform::dragService().exec(viewport(), data, FDragImage->Image(), FDragImage->HotSpot(), allowed);
        DragManager().ForceDragLeave();
    } catch (...) {
        const QPoint pos = ScreenToClient(QCursor::pos());
        DoEndDragNotification(this, pos.x(), pos.y());
        FDragImage->EndDrag();
        DoStateChange({}, {tsOLEDragging});
        FDragSelection.clear();
        throw;
    }
    const QPoint pos = ScreenToClient(QCursor::pos());
    DoEndDragNotification(this, pos.x(), pos.y());
    FDragImage->EndDrag();
    if (FLastDragEffect == DROPEFFECT_MOVE && FOptions->AutoOptions().contains(toAutoDeleteMovedNodes))
        DeleteSelectedNodes();
    DoStateChange({}, {tsOLEDragging});
    FDragSelection.clear();
}

void TBaseLazyTree::DoEndDragNotification(QObject* Target, int X, int Y)
{
    DoEndDrag(Target, X, Y);
    DragFinished();
}

void TBaseLazyTree::DragFinished()
{
    if (!(FStates.contains(tsOLEDragging) || FStates.contains(tsVCLDragging) || FStates.contains(tsVCLDragPending) ||
          FStates.contains(tsVCLDragFinished)))
        return;
    DoStateChange({}, {tsUserDragObject, tsVCLDragging, tsVCLDragPending, tsVCLDragFinished});
    // The drag took the button's release: the mouse handling gets it now to end what is pending.
    Qt::MouseButton button = Qt::LeftButton;
    if (FStates.contains(tsRightButtonDown))
        button = Qt::RightButton;
    else if (FStates.contains(tsMiddleButtonDown))
        button = Qt::MiddleButton;
    const QPoint pos = ScreenToClient(QCursor::pos());
    QMouseEvent release(QEvent::MouseButtonRelease, QPointF(pos), QPointF(ClientToScreen(pos)), button, Qt::NoButton,
                        QGuiApplication::keyboardModifiers());
    mouseReleaseEvent(&release);
}

void TBaseLazyTree::DoVCLDragging()
{
    DoStateChange({tsVCLDragging}, {tsClearPending, tsEditPending, tsVCLDragPending});
    QObject* dragObject = nullptr;
    DoStartDrag(dragObject);
    if (dragObject)
        DoStateChange({tsUserDragObject});
    auto* data = new QMimeData;
    data->setData(platform::mimeTypeOfFormat(ClipboardFormatName(CF_LTREFERENCE())), MakeTreeReference(this));
    data->setData(platform::mimeTypeOfFormat(kFrameworkDrag), QByteArray(1, '1'));
    unsigned effect = DROPEFFECT_NONE;
    try {
        effect = platform::dragService().exec(viewport(), data, QImage(), QPoint(), DROPEFFECT_COPY | DROPEFFECT_MOVE);
    } catch (...) {
        const QPoint pos = ScreenToClient(QCursor::pos());
        DoEndDragNotification(nullptr, pos.x(), pos.y());
        throw;
    }
    const QPoint pos = ScreenToClient(QCursor::pos());
    DoEndDragNotification(effect != DROPEFFECT_NONE ? this : nullptr, pos.x(), pos.y());
}

// --- target side: decisions ---------------------------------------------------------------------

unsigned TBaseLazyTree::SuggestDropEffect(QObject* Source, TShiftState Shift, QPoint, unsigned AllowedEffects)
{
    unsigned result;
    if (Source == this)
        result = (AllowedEffects & DROPEFFECT_MOVE) ? DROPEFFECT_MOVE : AllowedEffects;
    else
        result = (AllowedEffects & DROPEFFECT_COPY) ? DROPEFFECT_COPY : AllowedEffects;
    const bool ctrl = Shift.contains(ssCtrl);
    const bool shift = Shift.contains(ssShift);
    const bool alt = Shift.contains(ssAlt);
    unsigned wanted = DROPEFFECT_NONE;
    if (ctrl && shift)
        wanted = DROPEFFECT_LINK;
    else if (ctrl)
        wanted = DROPEFFECT_COPY;
    else if (shift)
        wanted = DROPEFFECT_MOVE;
    else if (alt)
        wanted = DROPEFFECT_LINK;
    if (wanted != DROPEFFECT_NONE && (AllowedEffects & wanted))
        result = wanted;
    return result;
}

TDropMode TBaseLazyTree::DetermineDropMode(QPoint P, THitInfo& HitInfo, const Rect& NodeRect)
{
    const auto misc = FOptions->MiscOptions();
    const THitPositions hp = HitInfo.HitPositions;
    const bool fullRowHit =
        hp.contains(hiOnItem) && (misc.contains(toFullRowDrag) || FOptions->SelectionOptions().contains(toFullRowSelect));
    PLazyNode node = HitInfo.HitNode;
    if (misc.contains(toReportMode) && !fullRowHit &&
        !((hp.contains(hiOnItemLabel) || hp.contains(hiOnNormalIcon) || hp.contains(hiOnStateIcon)) &&
          HitInfo.HitColumn == FHeader->MainColumn()))
        node = nullptr;
    if (!node)
        return dmNowhere;
    if (fullRowHit)
        return dmOnNode;
    if (!hp.contains(hiOnItemLabel) && !hp.contains(hiOnNormalIcon) && !hp.contains(hiOnStateIcon) &&
        FOptions->PaintOptions().contains(toShowDropmark))
        return P.y() < (NodeRect.top + NodeRect.bottom) / 2 ? dmAbove : dmBelow;
    return dmOnNode;
}

bool TBaseLazyTree::DoDragOver(QObject* Source, TShiftState Shift, TDragState State, QPoint Pt, TDropMode Mode,
                               unsigned& Effect)
{
    bool accept = false;
    if (OnDragOver)
        OnDragOver(this, Source, Shift, State, Pt, Mode, Effect, accept);
    return accept;
}

bool TBaseLazyTree::ProcessDrop(const QMimeData* DataObject, PLazyNode TargetNode, unsigned& Effect,
                                TLTNodeAttachMode Mode)
{
    if (Mode == amNoWhere) {
        Effect = DROPEFFECT_NONE;
        return false;
    }
    TBaseLazyTree* source = GetTreeFromDataObject(DataObject);
    bool result = false;
    BeginUpdate();
    if (source)
        source->BeginUpdate();
    try {
        if ((Effect & DROPEFFECT_MOVE) && source) {
            result = ProcessOLEData(source, DataObject, TargetNode, Mode, !(Effect & DROPEFFECT_COPY));
            // The nodes have moved already: the source must not delete them again.
            Effect = DROPEFFECT_NONE;
        } else if (Effect & (DROPEFFECT_COPY | DROPEFFECT_MOVE)) {
            result = ProcessOLEData(source, DataObject, TargetNode, Mode, false);
        }
    } catch (...) {
        result = false;
    }
    // Data that was refused was not dropped: the source learns that nothing happened.
    if (!result)
        Effect = DROPEFFECT_NONE;
    if (source)
        source->EndUpdate();
    EndUpdate();
    return result;
}

// --- target side: the drag over the tree --------------------------------------------------------

TShiftState TBaseLazyTree::ButtonStates() const
{
    TShiftState buttons;
    if (FStates.contains(tsLeftButtonDown))
        buttons += ssLeft;
    if (FStates.contains(tsMiddleButtonDown))
        buttons += ssMiddle;
    if (FStates.contains(tsRightButtonDown))
        buttons += ssRight;
    return buttons;
}

HRESULT TBaseLazyTree::DragEnter(TShiftState KeyState, QPoint Pt, unsigned& Effect)
{
    try {
        FDragScrollStart = 0;
        const TShiftState shift = KeyState + ButtonStates();
        const QPoint p = ScreenToClient(Pt);
        TBaseLazyTree* source = FDragManager ? FDragManager->DragSourceTree() : nullptr;
        Effect = SuggestDropEffect(source, shift, p, Effect);
        if (DoDragOver(source, shift, dsDragEnter, p, FLastDropMode, Effect)) {
            THitInfo hit;
            GetHitTestInfoAt(p.x(), p.y(), true, hit);
            if (hit.HitNode) {
                FDropTargetNode = hit.HitNode;
                const bool rowHit = hit.HitPositions.contains(hiOnItem) &&
                                    (FOptions->MiscOptions().contains(toFullRowDrag) ||
                                     FOptions->SelectionOptions().contains(toFullRowSelect));
                if (hit.HitPositions.contains(hiOnItemLabel) || rowHit) {
                    FLastDropMode = dmOnNode;
                } else {
                    const Rect r = GetDisplayRect(hit.HitNode, FHeader->MainColumn(), false);
                    FLastDropMode = p.y() < (r.top + r.bottom) / 2 ? dmAbove : dmBelow;
                }
                InvalidateNode(FDropTargetNode);
            } else {
                FLastDropMode = dmNowhere;
            }
        } else {
            Effect = DROPEFFECT_NONE;
        }
        return S_OK;
    } catch (...) {
        return E_UNEXPECTED;
    }
}

HRESULT TBaseLazyTree::DragOver(QObject* Source, TShiftState KeyState, TDragState State, QPoint Pt, unsigned& Effect)
{
    try {
        const QPoint p = ScreenToClient(Pt);
        // Auto-scroll at the edges while something is dragged over the tree.
        bool windowScrolled = false;
        if (FOptions->AutoOptions().contains(toAutoScroll)) {
            const int edge = int(FDefaultNodeHeight);
            const int incY = std::min(FScrollBarOptions->VerticalIncrement(), ClientHeight());
            const int incX = FScrollBarOptions->HorizontalIncrement();
            int dx = 0;
            int dy = 0;
            if (p.y() < edge && FOffsetY != 0)
                dy = incY;
            else if (p.y() > ClientHeight() - edge && ClientHeight() - FOffsetY < int64_t(FRangeY))
                dy = -incY;
            if (p.x() < edge && FEffectiveOffsetX != 0)
                dx = incX;
            else if (p.x() > ClientWidth() - edge && ClientWidth() + FEffectiveOffsetX < int64_t(FRangeX))
                dx = -incX;
            if (dx != 0 || dy != 0) {
                const QPoint before(FOffsetX, FOffsetY);
                DoSetOffsetXY(QPoint(FOffsetX + dx, FOffsetY + dy), DefaultScrollUpdateFlags);
                windowScrolled = QPoint(FOffsetX, FOffsetY) != before;
            }
        }
        const TShiftState shift = KeyState + ButtonStates();
        THitInfo hit;
        GetHitTestInfoAt(p.x(), p.y(), true, hit);
        const Rect r = hit.HitNode ? GetDisplayRect(hit.HitNode, NoColumn, false) : Rect{};
        const TDropMode newMode = DetermineDropMode(p, hit, r);
        if (hit.HitNode != FDropTargetNode || newMode != FLastDropMode) {
            FLastDropMode = newMode;
            if (hit.HitNode == FDropTargetNode) {
                if (!r.isEmpty())
                    viewport()->update(r.toQRect());
            } else {
                StopTimer(1);
                PLazyNode old = FDropTargetNode;
                FDropTargetNode = hit.HitNode;
                if (FFocusedColumn < 0 && FHeader->UseColumns())
                    FFocusedColumn = FHeader->MainColumn();
                if (old)
                    InvalidateNode(old);
                if (FDropTargetNode)
                    InvalidateNode(FDropTargetNode);
                if (FOptions->AutoOptions().contains(toAutoDropExpand) && FDropTargetNode &&
                    FDropTargetNode->States.contains(vsHasChildren))
                    SetWindowTimer(1, FAutoExpandDelay);
            }
        }
        if (windowScrolled)
            Invalidate();
        Effect = SuggestDropEffect(Source, shift, p, Effect);
        if (!DoDragOver(Source, shift, State, p, FLastDropMode, Effect))
            Effect = DROPEFFECT_NONE;
        if (windowScrolled)
            Effect |= DROPEFFECT_SCROLL;
        return S_OK;
    } catch (...) {
        return E_UNEXPECTED;
    }
}

void TBaseLazyTree::DragLeave()
{
    StopTimer(1);
    if (FDropTargetNode) {
        InvalidateNode(FDropTargetNode);
        FDropTargetNode = nullptr;
    }
    unsigned effect = DROPEFFECT_NONE;
    DoDragOver(nullptr, {}, dsDragLeave, QPoint(0, 0), FLastDropMode, effect);
}

HRESULT TBaseLazyTree::DragDrop(const QMimeData* DataObject, TShiftState KeyState, QPoint Pt, unsigned& Effect)
{
    StopTimer(1);
    StopTimer(4);
    DoStateChange({}, {tsScrollPending, tsScrolling});
    HRESULT result = S_OK;
    TBaseLazyTree* source = FDragManager ? FDragManager->DragSourceTree() : nullptr;
    if (DragOver(source, KeyState, dsDragMove, Pt, Effect) != S_OK || (Effect & ~DROPEFFECT_SCROLL) == DROPEFFECT_NONE) {
        result = E_FAIL;
    } else {
        TShiftState shift = KeyState - TShiftState{ssLeft, ssRight, ssMiddle};
        if (FStates.contains(tsRightButtonDown))
            shift += ssRight;
        else if (FStates.contains(tsMiddleButtonDown))
            shift += ssMiddle;
        else
            shift += ssLeft;
        const QPoint p = ScreenToClient(Pt);
        std::vector<uint16_t> formats;
        for (const QString& name : platform::formatNamesOf(DataObject)) {
            if (name.compare(QLatin1String("Plain text"), Qt::CaseInsensitive) == 0)
                formats.push_back(CF_TEXT);
            else if (name.compare(QLatin1String("Unicode text"), Qt::CaseInsensitive) == 0)
                formats.push_back(CF_UNICODETEXT);
            else
                formats.push_back(RegisterClipboardFormat(name));
        }
        Effect &= ~DROPEFFECT_SCROLL;
        try {
            DoDragDrop(source, DataObject, formats, shift, p, Effect, FLastDropMode);
        } catch (const platform::UserError& e) {
            platform::showError(e.message());
            result = E_UNEXPECTED;
        } catch (...) {
            result = E_UNEXPECTED;
        }
    }
    if (FDropTargetNode) {
        InvalidateNode(FDropTargetNode);
        FDropTargetNode = nullptr;
    }
    return result;
}

void TBaseLazyTree::DoDragExpand()
{
    StopTimer(1);
    if (FDropTargetNode && FDropTargetNode->States.contains(vsHasChildren) && !FDropTargetNode->States.contains(vsExpanded)) {
        ToggleNode(FDropTargetNode);
        viewport()->update();
    }
}

// --- Qt's drag events on the viewport -----------------------------------------------------------

bool TBaseLazyTree::HandleDragEvent(QEvent* e)
{
    switch (e->type()) {
    case QEvent::DragEnter:
    case QEvent::DragMove: {
        auto* de = static_cast<QDragMoveEvent*>(e);
        const QPoint client = de->position().toPoint();
        const QPoint screen = ClientToScreen(client);
        const TShiftState keys = keyState(de->modifiers(), de->buttons());
        unsigned effect = unsigned(de->possibleActions()) & 7;
        if (isFrameworkDrag(de->mimeData())) {
            TBaseLazyTree* source = GetTreeFromDataObject(de->mimeData());
            if (e->type() == QEvent::DragEnter)
                DoStateChange({tsVCLDragging});
            else
                DoAutoScroll(client.x(), client.y());
            effect = DROPEFFECT_COPY | DROPEFFECT_MOVE;
            DragOver(source, keys, e->type() == QEvent::DragEnter ? dsDragEnter : dsDragMove, screen, effect);
            FLastVCLDropTarget = FDropTargetNode;
            FVCLDragEffect = effect & ~DROPEFFECT_SCROLL;
        } else if (e->type() == QEvent::DragEnter) {
            DragManager().DragEnter(de->mimeData(), keys, screen, effect);
        } else {
            DragManager().DragOver(keys, screen, effect);
        }
        effect &= ~DROPEFFECT_SCROLL;
        const Qt::DropAction action = dropAction(effect);
        if (action != Qt::IgnoreAction && (de->possibleActions() & action)) {
            de->setDropAction(action);
            de->accept();
        } else if (e->type() == QEvent::DragEnter) {
            // The enter is taken so that moves keep coming; no drop is offered here yet.
            de->setDropAction(Qt::IgnoreAction);
            de->accept();
        } else {
            de->ignore();
        }
        return true;
    }
    case QEvent::DragLeave:
        if (FStates.contains(tsVCLDragging)) {
            DoStateChange({tsVCLDragFinished}, {tsVCLDragging});
            DragLeave();
        } else {
            DragManager().DragLeave();
        }
        return true;
    case QEvent::Drop: {
        auto* de = static_cast<QDropEvent*>(e);
        const QPoint client = de->position().toPoint();
        const TShiftState keys = keyState(de->modifiers(), de->buttons());
        unsigned effect = unsigned(de->possibleActions()) & 7;
        if (isFrameworkDrag(de->mimeData())) {
            TBaseLazyTree* source = GetTreeFromDataObject(de->mimeData());
            FDropTargetNode = FLastVCLDropTarget;
            effect = FVCLDragEffect;
            try {
                DoDragDrop(source, nullptr, {}, ShiftStateOf(de->modifiers()) + ssLeft, client, effect, FLastDropMode);
            } catch (const platform::UserError& error) {
                platform::showError(error.message());
                effect = DROPEFFECT_NONE;
            }
            if (FDropTargetNode)
                InvalidateNode(FDropTargetNode);
            FDropTargetNode = nullptr;
            DoStateChange({}, {tsVCLDragging, tsVCLDragFinished});
        } else {
            DragManager().Drop(de->mimeData(), keys, ClientToScreen(client), effect);
        }
        const Qt::DropAction action = dropAction(effect);
        if (action != Qt::IgnoreAction && (de->possibleActions() & action)) {
            de->setDropAction(action);
            de->accept();
        } else {
            de->setDropAction(Qt::IgnoreAction);
            de->accept();
        }
        return true;
    }
    default:
        return false;
    }
}

} // namespace controls
