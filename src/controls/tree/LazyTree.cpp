// Life of a tree: construction in two steps, destruction, the control properties, the window
// ("created" on first show), its timers and invalidation.
#include "controls/tree/LazyTree.h"
#include "controls/tree/CheckImages.h"
#include "controls/tree/LazyTreeHint.h"
#include "controls/tree/LazyTreeWorker.h"
#include "platform/draw/Graphics.h"
#include "platform/draw/Theme.h"
#include "platform/ui/Timer.h"

#include <QBuffer>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QScrollBar>
#include <QShowEvent>

namespace controls {

using platform::Rect;

namespace {
std::unique_ptr<TCustomLazyTreeOptions> makeBaseOptions(TBaseLazyTree* owner)
{
    return std::make_unique<TLazyTreeOptions>(owner);
}
} // namespace

TBaseLazyTree::TBaseLazyTree(QWidget* parent)
    : TBaseLazyTree(parent, &makeBaseOptions)
{
}

TBaseLazyTree::TBaseLazyTree(QWidget* parent, OptionsFactory makeOptions)
    : QAbstractScrollArea(parent)
{
    FOptions = makeOptions(this);
    TWorkerThread::AddThreadReference();
    FScrollBarOptions = std::make_unique<TScrollBarOptions>(this);
    FHeader = std::make_unique<TLTHeader>(this);
    FColors = std::make_unique<TLTColors>(this);
    FCheckImages = SharedCheckImages(ckSystemDefault);
    TClipboardFormatList::EnsureStandardFormats();
    RegisterLiveTree(this, true);
    FClipboardFormats = std::make_unique<TClipboardFormats>(this);
    FDragImage = std::make_unique<TLTDragImage>(this);
    FDragImage->Fade = true;
    FDragImage->Transparency = 200;
    FSingletonNodeArray.resize(1);
    resize(200, 100);
    setFocusPolicy(Qt::StrongFocus);
    setFrameShape(QFrame::StyledPanel);
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    viewport()->setAttribute(Qt::WA_NoSystemBackground);
    viewport()->setMouseTracking(true);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    connect(verticalScrollBar(), &QAbstractSlider::actionTriggered, this, [this](int action) { ScrollBarAction(SB_VERT, action); });
    connect(horizontalScrollBar(), &QAbstractSlider::actionTriggered, this, [this](int action) { ScrollBarAction(SB_HORZ, action); });
    connect(verticalScrollBar(), &QAbstractSlider::sliderReleased, this, [this]() { HandleVScroll(SB_ENDSCROLL); });
    connect(horizontalScrollBar(), &QAbstractSlider::sliderReleased, this, [this]() { HandleHScroll(SB_ENDSCROLL); });
}

TBaseLazyTree::~TBaseLazyTree()
{
    // What this tree put on the clipboard stays there as plain copies.
    FlushClipboard();
    FDestroying = true;
    RegisterLiveTree(this, false);
    if (TLazyTreeHintWindow* window = HintWindow())
        window->HideHint();
    TWorkerThread::ReleaseThreadReference(this);
    // A read-only tree still frees every node.
    FOptions->MiscOptionsField() -= toReadOnly;
    StopWheelPanning();
    CancelEditNode();
    if (FRoot) {
        Clear();
        std::free(FRoot);
        FRoot = nullptr;
    }
}

void TBaseLazyTree::AfterConstruction()
{
    if (!FRoot)
        CreateRootNode();
}

void TBaseLazyTree::Loaded()
{
    FLoading = false;
    if (FStates.contains(tsNeedRootCountUpdate) && FRoot->ChildCount > 0) {
        DoStateChange({}, {tsNeedRootCountUpdate});
        const bool readOnly = FOptions->MiscOptions().contains(toReadOnly);
        FOptions->MiscOptionsField() -= toReadOnly;
        const uint32_t count = FRoot->ChildCount;
        FRoot->ChildCount = 0;
        BeginUpdate();
        try {
            SetChildCount(FRoot, count);
        } catch (...) {
            EndUpdate();
            if (readOnly)
                FOptions->MiscOptionsField() += toReadOnly;
            throw;
        }
        EndUpdate();
        if (readOnly)
            FOptions->MiscOptionsField() += toReadOnly;
    } else {
        DoStateChange({}, {tsNeedRootCountUpdate});
    }
    FHeader->Columns().FixLoadedPositions();
    FHeader->SetMainColumn(FHeader->StoredMainColumn());
    if (FHeader->States().contains(hsNeedScaling))
        FHeader->ApplyFixedAreaConstraints();
    else
        FHeader->RecalculateHeader();
}

QString TBaseLazyTree::ClassName() const
{
    QString name = QString::fromLatin1(metaObject()->className());
    const qsizetype at = name.lastIndexOf(QLatin1String("::"));
    return at >= 0 ? name.mid(at + 2) : name;
}

bool TBaseLazyTree::Focused() const { return hasFocus(); }

// --- window -------------------------------------------------------------------------------------

void TBaseLazyTree::HandleNeeded()
{
    if (!FHandleAllocated)
        CreateWnd();
}

void TBaseLazyTree::CreateWnd()
{
    DoStateChange({tsWindowCreating});
    FHandleAllocated = true;
    DoStateChange({}, {tsWindowCreating});
    if (FOptions->PaintOptions().contains(toThemeAware) && platform::IsThemeActive()) {
        DoStateChange({tsUseThemes});
        if (FOptions->PaintOptions().contains(toUseExplorerTheme))
            DoStateChange({tsUseExplorerTheme});
        else
            DoStateChange({}, {tsUseExplorerTheme});
    } else {
        DoStateChange({}, {tsUseThemes, tsUseExplorerTheme});
    }
    AutoScale();
    if (FHeader->States().contains(hsNeedScaling))
        FHeader->ApplyFixedAreaConstraints();
    BuildButtonAndLineBitmaps(true, true);
    UpdateScrollBars(true);
    UpdateHeaderRect();
    viewport()->setAcceptDrops(FOptions->MiscOptions().contains(toAcceptOLEDrop));
}

void TBaseLazyTree::UpdateHeaderRect()
{
    FHeaderRect = Rect{0, 0, width(), height()};
    const int border = frameWidth();
    FHeaderRect = FHeaderRect.inflated(-border, -border);
    if (!FHeader->Options().contains(hoVisible)) {
        FHeaderRect.bottom = FHeaderRect.top;
    } else if (FHeaderRect.left > FHeaderRect.right) {
        FHeaderRect = Rect{};
    } else {
        FHeaderRect.bottom = FHeaderRect.top + FHeader->Height();
    }
    // The strip sits in the viewport's top margin, so the rows keep their coordinates.
    const int stripHeight = FHeaderRect.height();
    if (stripHeight > 0 && !FHeaderStrip)
        FHeaderStrip = new THeaderStrip(this);
    setViewportMargins(0, stripHeight, 0, 0);
    if (FHeaderStrip) {
        FHeaderStrip->setGeometry(FHeaderRect.left, FHeaderRect.top, viewport()->width(), stripHeight);
        FHeaderStrip->setVisible(stripHeight > 0);
        if (stripHeight > 0)
            FHeaderStrip->update();
    }
}

QWidget* TBaseLazyTree::HeaderStrip() const { return FHeaderStrip; }

std::unique_ptr<TLazyTreeColumn> TBaseLazyTree::GetColumnClass(TLazyTreeColumns* Owner)
{
    return std::make_unique<TLazyTreeColumn>(Owner);
}

void TBaseLazyTree::DoColumnResize(TColumnIndex Column)
{
    // Heights measured against the old widths are measured again on the next paint.
    if (FOptions->MiscOptions().contains(toVariableNodeHeight))
        for (PLazyNode n = GetFirstNoInit(); n; n = GetNextNoInit(n))
            n->States -= vsHeightMeasured;
    if (FHandleAllocated && !FLoading) {
        UpdateHorizontalScrollBar(false);
        FHeader->Invalidate(Column, true);
        Invalidate();
    }
    if (OnColumnResize)
        OnColumnResize(this, Column);
}

TShiftState ShiftStateOf(Qt::KeyboardModifiers Modifiers)
{
    TShiftState shift;
    if (Modifiers & Qt::ShiftModifier)
        shift += ssShift;
    if (Modifiers & Qt::ControlModifier)
        shift += ssCtrl;
    if (Modifiers & Qt::AltModifier)
        shift += ssAlt;
    return shift;
}

TShiftState TBaseLazyTree::CurrentShiftState() const { return ShiftStateOf(QGuiApplication::queryKeyboardModifiers()); }

QPoint TBaseLazyTree::ClientToScreen(QPoint P) const { return viewport()->mapToGlobal(P); }

QPoint TBaseLazyTree::ScreenToClient(QPoint P) const { return viewport()->mapFromGlobal(P); }

platform::Timer* TBaseLazyTree::WindowTimer(int id)
{
    if (id < 1 || id > 8)
        return nullptr;
    if (!FTimers[size_t(id)]) {
        auto* timer = new platform::Timer(this);
        timer->onTimer = [this, id]() { WMTimer(id); };
        FTimers[size_t(id)] = timer;
    }
    return FTimers[size_t(id)];
}

void TBaseLazyTree::SetWindowTimer(int id, uint32_t ms)
{
    platform::Timer* timer = WindowTimer(id);
    if (!timer)
        return;
    timer->setEnabled(false);
    // 0 ms means as soon as possible, not never.
    timer->setInterval(std::max(1, int(ms)));
    timer->setEnabled(true);
}

void TBaseLazyTree::StopTimer(int id)
{
    if (id >= 1 && id <= 8 && FTimers[size_t(id)])
        FTimers[size_t(id)]->setEnabled(false);
}

void TBaseLazyTree::WMTimer(int id)
{
    switch (id) {
    case 4:
        if (FStates.contains(tsScrollPending)) {
            DoStateChange({tsScrolling}, {tsScrollPending, tsHint});
            SetWindowTimer(4, FAutoScrollInterval);
        }
        DoTimerScroll();
        break;
    case ChangeTimer:
        if (FStates.contains(tsChangePending))
            DoChange(FLastChangedNode);
        else
            StopTimer(ChangeTimer);
        break;
    case StructureChangeTimer:
        DoStructureChange(FLastStructureChangeNode, FLastStructureChangeReason);
        break;
    case 7:
        DoStateChange({}, {tsIncrementalSearching});
        StopTimer(7);
        FSearchBuffer.clear();
        FLastSearchNode = nullptr;
        break;
    case 8:
        StopTimer(8);
        BuildButtonAndLineBitmaps(true, true);
        Invalidate();
        break;
    case 3: {
        TLTHeaderMessage timer;
        timer.Msg = THeaderMessage::Timer;
        FHeader->HandleMessage(timer);
        break;
    }
    case 1:
        DoDragExpand();
        break;
    case 2:
        DoEdit();
        break;
    default:
        StopTimer(id);
        break;
    }
}

void TBaseLazyTree::Invalidate()
{
    if (FHandleAllocated)
        viewport()->update();
}

Rect TBaseLazyTree::InvalidateNode(PLazyNode Node)
{
    if (FUpdateCount > 0 || !FHandleAllocated || !Node || Node == FRoot)
        return Rect{-1, -1, -1, -1};
    const Rect r = GetDisplayRect(Node, NoColumn, false);
    if (!r.isEmpty())
        viewport()->update(r.toQRect());
    return r;
}

void TBaseLazyTree::InvalidateChildren(PLazyNode Node, bool Recursive)
{
    if (FUpdateCount > 0 || !FHandleAllocated)
        return;
    if (Node) {
        if (!Node->States.contains(vsInitialized))
            InitNode(Node);
        InvalidateNode(Node);
        if (Node->States.contains(vsHasChildren) && Node->ChildCount == 0)
            InitChildren(Node);
    } else {
        Node = FRoot;
    }
    for (PLazyNode c = Node->FirstChild; c; c = c->NextSibling) {
        InvalidateNode(c);
        if (Recursive)
            InvalidateChildren(c, true);
    }
}

void TBaseLazyTree::InvalidateColumn(TColumnIndex Column)
{
    if (FUpdateCount > 0 || !FHandleAllocated || !FHeader->IsValidColumn(Column))
        return;
    int left = 0;
    int right = 0;
    FHeader->GetColumnBounds(Column, left, right);
    viewport()->update(QRect(left, 0, right - left, ClientHeight()));
}

void TBaseLazyTree::InvalidateToBottom(PLazyNode Node)
{
    if (FUpdateCount > 0 || !FHandleAllocated)
        return;
    if (!Node || Node == FRoot) {
        Invalidate();
        return;
    }
    if (!Node->States.contains(vsInitialized) || !IsEffectivelyVisible(Node))
        return;
    Rect r = GetDisplayRect(Node, NoColumn, false);
    if (r.top >= ClientHeight())
        return;
    if (FOptions->PaintOptions().contains(toChildrenAbove) && Node->States.contains(vsExpanded))
        r.top -= int(Node->NodeHeight + Node->TotalHeight);
    r.bottom = ClientHeight();
    r.left = 0;
    r.right = ClientWidth();
    viewport()->update(r.toQRect());
}

void TBaseLazyTree::RepaintNode(PLazyNode Node)
{
    if (!Node || Node == FRoot || !FHandleAllocated)
        return;
    const Rect r = GetDisplayRect(Node, NoColumn, false);
    if (!r.isEmpty())
        viewport()->repaint(r.toQRect());
}

void TBaseLazyTree::RedrawFrame()
{
    if (FHandleAllocated)
        update();
}

void TBaseLazyTree::ImageListChange()
{
    if (!FDestroying)
        Invalidate();
}

// --- properties ---------------------------------------------------------------------------------

void TBaseLazyTree::SetDefaultNodeHeight(uint32_t value)
{
    if (value == 0)
        value = DefaultNodeHeightValue;
    if (value == FDefaultNodeHeight)
        return;
    const int64_t delta = int64_t(value) - int64_t(FDefaultNodeHeight);
    FRoot->TotalHeight = uint32_t(int64_t(FRoot->TotalHeight) + delta);
    FRoot->NodeHeight = uint16_t(int64_t(FRoot->NodeHeight) + delta);
    FDefaultNodeHeight = value;
    InvalidateCache();
    if (FUpdateCount == 0 && FHandleAllocated && !FLoading) {
        ValidateCache();
        UpdateScrollBars(true);
        ScrollIntoView(FFocusedNode, FOptions->SelectionOptions().contains(toCenterScrollIntoView), true);
        Invalidate();
    }
}

void TBaseLazyTree::SetAlignment(platform::Alignment value)
{
    if (value == FAlignment)
        return;
    FAlignment = value;
    if (!FLoading)
        Invalidate();
}

void TBaseLazyTree::SetBorderStyle(TBorderStyle value)
{
    if (value == FBorderStyle)
        return;
    FBorderStyle = value;
    setFrameShape(value == bsSingle ? QFrame::StyledPanel : QFrame::NoFrame);
}

void TBaseLazyTree::SetBottomSpace(uint32_t value)
{
    if (value == FBottomSpace)
        return;
    FBottomSpace = value;
    UpdateVerticalScrollBar(true);
}

void TBaseLazyTree::SetButtonFillMode(TLTButtonFillMode value)
{
    if (value == FButtonFillMode)
        return;
    FButtonFillMode = value;
    if (!FLoading) {
        BuildButtonAndLineBitmaps(true, false);
        Invalidate();
    }
}

void TBaseLazyTree::SetButtonStyle(TLTButtonStyle value)
{
    if (value == FButtonStyle)
        return;
    FButtonStyle = value;
    if (!FLoading) {
        BuildButtonAndLineBitmaps(true, false);
        Invalidate();
    }
}

void TBaseLazyTree::SetCheckImageKind(TCheckImageKind value)
{
    if (value == FCheckImageKind)
        return;
    FCheckImageKind = value;
    FCheckImages = GetCheckImageListFor(value);
    if (!FCheckImages)
        FCheckImages = FCustomCheckImages;
    if (FHandleAllocated && FUpdateCount == 0 && !FLoading)
        Invalidate();
}

platform::TImageList* TBaseLazyTree::GetCheckImageListFor(TCheckImageKind Kind)
{
    return Kind == ckCustom ? nullptr : SharedCheckImages(Kind);
}

void TBaseLazyTree::SetCustomCheckImages(platform::TImageList* value)
{
    if (value == FCustomCheckImages)
        return;
    if (FCustomCheckImages && FCheckImages == FCustomCheckImages)
        FCheckImages = nullptr;
    FCustomCheckImages = value;
    if (FCheckImageKind == ckCustom)
        FCheckImages = value;
    if (!FLoading)
        Invalidate();
}

void TBaseLazyTree::SetColor(platform::Color value)
{
    if (value == FColor)
        return;
    FColor = value;
    if (!FLoading) {
        BuildButtonAndLineBitmaps(true, false);
        Invalidate();
    }
}

void TBaseLazyTree::SetEmptyListMessage(const QString& value)
{
    if (value == FEmptyListMessage)
        return;
    FEmptyListMessage = value;
    Invalidate();
}

void TBaseLazyTree::SetImages(platform::TImageList* value)
{
    if (value == FImages)
        return;
    FImages = value;
    if (!FLoading)
        Invalidate();
}

void TBaseLazyTree::SetStateImages(platform::TImageList* value)
{
    if (value == FStateImages)
        return;
    FStateImages = value;
    if (FHandleAllocated && !FLoading)
        Invalidate();
}

void TBaseLazyTree::SetIncrementalSearch(TLTIncrementalSearch value)
{
    if (value == FIncrementalSearch)
        return;
    FIncrementalSearch = value;
    if (value == isNone) {
        StopTimer(7);
        FSearchBuffer.clear();
        FLastSearchNode = nullptr;
    }
}

void TBaseLazyTree::SetIndent(uint32_t value)
{
    if (value == FIndent)
        return;
    FIndent = value;
    if (!FLoading && FUpdateCount == 0 && FHandleAllocated) {
        UpdateScrollBars(true);
        Invalidate();
    }
}

void TBaseLazyTree::SetLineMode(TLTLineMode value)
{
    if (value == FLineMode)
        return;
    FLineMode = value;
    if (FHandleAllocated && !FLoading)
        Invalidate();
}

void TBaseLazyTree::SetLineStyle(TLTLineStyle value)
{
    if (value == FLineStyle)
        return;
    FLineStyle = value;
    if (!FLoading) {
        BuildButtonAndLineBitmaps(false, true);
        Invalidate();
    }
}

void TBaseLazyTree::SetMargin(int value)
{
    if (value == FMargin)
        return;
    FMargin = value;
    if (FHandleAllocated && !FLoading)
        Invalidate();
}

void TBaseLazyTree::SetNodeAlignment(TLTNodeAlignment value)
{
    if (value == FNodeAlignment)
        return;
    FNodeAlignment = value;
    if (FHandleAllocated && !FLoading)
        Invalidate();
}

void TBaseLazyTree::SetSelectionCurveRadius(uint32_t value)
{
    if (value == FSelectionCurveRadius)
        return;
    FSelectionCurveRadius = value;
    if (FHandleAllocated && !FLoading)
        Invalidate();
}

void TBaseLazyTree::SetTextMargin(int value)
{
    if (value == FTextMargin)
        return;
    FTextMargin = value;
    if (!FLoading)
        Invalidate();
}

void TBaseLazyTree::AutoScale()
{
    if (!FOptions->AutoOptions().contains(toAutoChangeScale))
        return;
    const int h = QFontMetrics(font()).height();
    if (int64_t(FDefaultNodeHeight) < h)
        SetDefaultNodeHeight(uint32_t(h));
}

void TBaseLazyTree::Assign(const TBaseLazyTree* Source)
{
    if (!Source)
        return;
    if (FOptions->MiscOptions().contains(toReadOnly))
        return;
    SetAutoScrollDelay(Source->FAutoScrollDelay);
    SetAutoScrollInterval(Source->FAutoScrollInterval);
    SetBorderStyle(Source->FBorderStyle);
    SetChangeDelay(Source->FChangeDelay);
    SetCheckImageKind(Source->FCheckImageKind);
    SetColor(Source->FColor);
    FColors->Assign(Source->FColors.get());
    SetDefaultNodeHeight(Source->FDefaultNodeHeight);
    FDefaultPasteMode = Source->FDefaultPasteMode;
    FDragImageKind = Source->FDragImageKind;
    setEnabled(Source->isEnabled());
    setFont(Source->font());
    FHeader->Assign(Source->FHeader.get());
    SetHintAnimation(Source->FHintAnimation);
    SetHintMode(Source->FHintMode);
    SetHotCursor(Source->FHotCursor);
    SetImages(Source->FImages);
    SetIndent(Source->FIndent);
    SetMargin(Source->FMargin);
    SetNodeAlignment(Source->FNodeAlignment);
    SetNodeDataSize(Source->FNodeDataSize);
    FOptions->Assign(Source->FOptions.get());
    SetPopupMenu(Source->FPopupMenu);
    SetRootNodeCount(Source->RootNodeCount());
    FScrollBarOptions->Assign(Source->FScrollBarOptions.get());
    SetStateImages(Source->FStateImages);
    SetSelectionCurveRadius(Source->FSelectionCurveRadius);
    SetSelectionBlendFactor(Source->FSelectionBlendFactor);
    SetEmptyListMessage(Source->FEmptyListMessage);
}

// --- Qt events that map the window messages -----------------------------------------------------

void TBaseLazyTree::showEvent(QShowEvent* event)
{
    HandleNeeded();
    QAbstractScrollArea::showEvent(event);
    UpdateScrollBars(true);
}

void TBaseLazyTree::resizeEvent(QResizeEvent* event)
{
    QAbstractScrollArea::resizeEvent(event);
    if (!FHandleAllocated || FStates.contains(tsSizing) || FStates.contains(tsWindowCreating) || ClientHeight() <= 0)
        return;
    DoStateChange({tsSizing});
    try {
        UpdateHeaderRect();
        FHeader->HandleResize();
        UpdateScrollBars(true);
        if (FStates.contains(tsEditing) && !FHeader->UseColumns())
            UpdateEditBounds();
    } catch (...) {
        DoStateChange({}, {tsSizing});
        throw;
    }
    DoStateChange({}, {tsSizing});
    UpdateHeaderRect();
}

void TBaseLazyTree::scrollContentsBy(int, int)
{
    // The offsets are the tree's own; its scroll-bar handling moves the picture.
}

void TBaseLazyTree::ScrollBarAction(int Bar, int Action)
{
    QScrollBar* bar = Bar == SB_VERT ? verticalScrollBar() : horizontalScrollBar();
    int code = -1;
    switch (Action) {
    case QAbstractSlider::SliderSingleStepSub:
        code = SB_LINEUP;
        break;
    case QAbstractSlider::SliderSingleStepAdd:
        code = SB_LINEDOWN;
        break;
    case QAbstractSlider::SliderPageStepSub:
        code = SB_PAGEUP;
        break;
    case QAbstractSlider::SliderPageStepAdd:
        code = SB_PAGEDOWN;
        break;
    case QAbstractSlider::SliderMove:
        code = SB_THUMBTRACK;
        break;
    case QAbstractSlider::SliderToMinimum:
        code = SB_TOP;
        break;
    case QAbstractSlider::SliderToMaximum:
        code = SB_BOTTOM;
        break;
    default:
        return;
    }
    if (Bar == SB_VERT)
        HandleVScroll(code);
    else
        HandleHScroll(code);
    // The bar applies its action after this; it lands where the offsets are now.
    bar->setSliderPosition(Bar == SB_VERT ? -FOffsetY : FEffectiveOffsetX);
}

} // namespace controls

namespace controls {

void TBaseLazyTree::focusInEvent(QFocusEvent* event)
{
    QAbstractScrollArea::focusInEvent(event);
    if (!(FSelectionCount == 0 && FOptions->PaintOptions().contains(toGhostedIfUnfocused)))
        Invalidate();
    EnsureNodeSelected();
}

void TBaseLazyTree::focusOutEvent(QFocusEvent* event)
{
    QAbstractScrollArea::focusOutEvent(event);
    TLTHeaderMessage killFocus;
    killFocus.Msg = THeaderMessage::KillFocus;
    FHeader->HandleMessage(killFocus);
    StopWheelPanning();
    HideHint();
    for (int id : {1, 2, 3, 4, 7})
        StopTimer(id);
    FSearchBuffer.clear();
    DoStateChange({}, {tsHint, tsScrollPending, tsScrolling, tsEditPending, tsLeftButtonDown, tsRightButtonDown,
                       tsMiddleButtonDown, tsOLEDragPending, tsVCLDragPending, tsIncrementalSearching,
                       tsNodeHeightTrackPending, tsNodeHeightTracking});
    if (FSelectionCount == 0 && FOptions->PaintOptions().contains(toGhostedIfUnfocused))
        InvalidateNode(FFocusedNode);
    else
        Invalidate();
}

} // namespace controls

namespace controls {

void TBaseLazyTree::MainColumnChanged() { CancelEditNode(); }

} // namespace controls
