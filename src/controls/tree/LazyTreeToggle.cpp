// Expanding and collapsing: ToggleNode with its events, totals and optional animation, the
// bulk FullExpand/FullCollapse, the setters that open a node's ancestors, and the animation
// driver.
#include "controls/tree/LazyTree.h"
#include "controls/tree/LazyTreeAnimation.h"
#include "platform/process/Clock.h"

#include <QCoreApplication>
#include <cmath>

namespace controls {

namespace {

// Round to the nearest integer, halves to the even neighbour.
int roundHalfEven(double v) { return int(std::nearbyint(v)); }

} // namespace

void TBaseLazyTree::SetAnimationDuration(uint32_t value)
{
    FAnimationDuration = value;
    if (value != 0)
        FOptions->AnimationOptionsField() += toAnimatedToggle;
    else
        FOptions->AnimationOptionsField() -= toAnimatedToggle;
}

void TBaseLazyTree::Animate(uint32_t Steps, uint32_t Duration, const std::function<bool(int Step, int StepSize)>& Callback)
{
    if (FStates.contains(tsInAnimation) || Duration == 0)
        return;
    DoStateChange({tsInAnimation});
    try {
        platform::Clock& clock = platform::clock();
        int stepSize = std::max(1, roundHalfEven(double(Steps) / double(Duration)));
        int64_t remainingSteps = int64_t(Steps) / stepSize;
        int64_t remainingTime = Duration;
        int nextStep = 0;
        while (remainingSteps > 0 && remainingTime > 0 && !QCoreApplication::closingDown()) {
            const uint64_t start = clock.tickMs();
            const uint64_t target = start + uint64_t(remainingTime / remainingSteps);
            if (!Callback(nextStep, stepSize))
                break;
            for (uint64_t now = clock.tickMs(); now < target; now = clock.tickMs())
                clock.sleepMs(int(target - now));
            const int64_t elapsed = int64_t(clock.tickMs() - start);
            if (elapsed > remainingTime) {
                remainingTime = 0;
                remainingSteps = 0;
            } else {
                remainingTime -= elapsed;
                --remainingSteps;
            }
            while (remainingSteps > 0 && remainingTime / remainingSteps == 0) {
                ++stepSize;
                remainingSteps = remainingTime / stepSize;
            }
            nextStep = int(int64_t(Steps) - remainingSteps);
        }
        if (!QCoreApplication::closingDown())
            Callback(0, 0);
    } catch (...) {
        DoStateChange({}, {tsInAnimation, tsCancelHintAnimation});
        throw;
    }
    DoStateChange({}, {tsInAnimation, tsCancelHintAnimation});
}

bool TBaseLazyTree::ToggleAnimationStep(int /*Step*/, int StepSize)
{
    TToggleAnimation* a = FToggleAnimation.get();
    if (!a || StepSize <= 0)
        return true;
    if (a->Mode1 != TToggleAnimation::None)
        a->Shift1 += a->Mode1 == TToggleAnimation::ScrollDown ? StepSize : -StepSize;
    int step2 = 0;
    if (a->Mode1 == TToggleAnimation::None) {
        step2 = StepSize;
    } else if (a->Mode2 != TToggleAnimation::None && a->ScaleFactor > 0) {
        step2 = roundHalfEven((StepSize + a->MissedSteps) * a->ScaleFactor);
        a->MissedSteps = StepSize * a->ScaleFactor + a->MissedSteps - step2;
    }
    if (a->Mode2 != TToggleAnimation::None)
        a->Shift2 += a->Mode2 == TToggleAnimation::ScrollDown ? step2 : -step2;
    ++a->Steps;
    if (FHandleAllocated)
        viewport()->repaint();
    return true;
}

void TBaseLazyTree::RunToggleAnimation(TToggleAnimation& animation, int distance1, int distance2)
{
    using A = TToggleAnimation;
    if (animation.Mode1 != A::None && animation.Mode2 != A::None && distance2 > distance1) {
        std::swap(animation.R1, animation.R2);
        std::swap(animation.Mode1, animation.Mode2);
        std::swap(distance1, distance2);
    }
    if (animation.Mode1 != A::None && animation.Mode2 != A::None && distance1 > 0)
        animation.ScaleFactor = double(distance2) / double(distance1);
    animation.MissedSteps = 0;
    const int steps = animation.Mode1 == A::None ? distance2 : distance1;
    if (steps <= 0)
        return;
    // The picture before the change: the animation slides parts of it.
    if (FHandleAllocated && isVisible())
        animation.Snapshot = viewport()->grab().toImage();
    animation.Background = FColors->BackGroundColor();
    FToggleAnimation = std::make_unique<TToggleAnimation>(animation);
    try {
        Animate(uint32_t(steps), FAnimationDuration, [this](int step, int size) { return ToggleAnimationStep(step, size); });
    } catch (...) {
        FLastToggleAnimation = *FToggleAnimation;
        FToggleAnimation.reset();
        throw;
    }
    FLastToggleAnimation = *FToggleAnimation;
    FToggleAnimation.reset();
}

void TBaseLazyTree::ToggleNode(PLazyNode Node)
{
    LtAssert(Node != nullptr, "Node must not be nil.");
    if (Node->States.contains(vsDeleting) || Node->States.contains(vsToggling))
        return;
    using A = TToggleAnimation;
    const bool wasToggling = FStates.contains(tsToggling);
    DoStateChange({tsToggling});
    Node->States += vsToggling;
    auto restore = [&]() {
        Node->States -= vsToggling;
        if (!wasToggling)
            DoStateChange({}, {tsToggling});
    };
    try {
        const TLTPaintOptions paint = FOptions->PaintOptions();
        const TLTAnimationOptions animationOptions = FOptions->AnimationOptions();
        const TLTAutoOptions autoOptions = FOptions->AutoOptions();
        const bool above = paint.contains(toChildrenAbove);
        const bool advanced = animationOptions.contains(toAdvancedAnimatedToggle);
        const bool autoScroll = autoOptions.contains(toAutoScrollOnExpand);
        bool toggled = false;
        bool expandedNow = false;
        int64_t heightDelta = 0;
        bool fit = false, fitRange = false, fitAbove = false, rowInside = false;
        const int CH = ClientHeight();
        const int RY = int(FRangeY);
        const int OY = FOffsetY;

        if (Node->States.contains(vsExpanded)) {
            if (DoCollapsing(Node)) {
                toggled = true;
                const int own = IsEffectivelyFiltered(Node) ? 0 : Node->NodeHeight;
                heightDelta = int64_t(own) - int64_t(Node->TotalHeight);
                if (FUpdateCount == 0 && animationOptions.contains(toAnimatedToggle) && !FStates.contains(tsCollapsing) &&
                    FHandleAllocated) {
                    if (FStates.contains(tsHint))
                        DoStateChange({}, {tsHint});
                    const platform::Rect row = GetDisplayRect(Node, NoColumn, false);
                    const int T = row.top;
                    const int B = row.bottom;
                    const int HD = int(heightDelta);
                    A a;
                    a.R1 = platform::Rect{0, T, ClientWidth(), B};
                    int D1 = 0;
                    bool run = true;
                    if (!above) {
                        if (advanced && OY != 0 && CH < RY && CH > RY + OY + HD) {
                            a.Mode1 = A::ScrollDown;
                            a.R1 = platform::Rect{0, 0, ClientWidth(), std::min(B, CH)};
                            D1 = std::min(CH - RY - OY - HD, -OY);
                        } else {
                            a.Mode1 = A::ScrollUp;
                            a.R1 = platform::Rect{0, B, ClientWidth(), CH};
                            D1 = std::min(-HD, CH - B + 1);
                        }
                    } else if (T < CH) {
                        if (!advanced || -HD + OY <= 0) {
                            a.Mode1 = A::ScrollDown;
                            a.R1 = platform::Rect{0, 0, ClientWidth(), T};
                            D1 = std::min(-HD, T + 1);
                        } else {
                            a.Mode1 = A::ScrollUp;
                            a.R1 = platform::Rect{0, std::max(0, T + HD), ClientWidth(), CH};
                            D1 = OY - HD;
                        }
                    } else {
                        run = false;
                    }
                    if (run && a.R1.top < CH)
                        RunToggleAnimation(a, D1, 0);
                }
                InterruptValidation();
                PropagateTotalHeight(Node, own, false);
                if (FullyVisible(Node))
                    FVisibleCount -= CountVisibleChildren(Node);
                Node->States -= vsExpanded;
                DoCollapsed(Node);
                if (autoOptions.contains(toAutoFreeOnCollapse) && Node->ChildCount > 0) {
                    DeleteChildren(Node, false);
                    Node->States += vsHasChildren;
                }
            }
        } else if (DoExpanding(Node)) {
            toggled = true;
            if (!Node->States.contains(vsInitialized))
                InitNode(Node);
            if (Node->States.contains(vsHasChildren) && Node->ChildCount == 0)
                InitChildren(Node);
            // A node that may have toggled itself in its own initialisation stays as it is.
            if (Node->ChildCount > 0 && !Node->States.contains(vsExpanded)) {
                for (PLazyNode c = Node->FirstChild; c; c = c->NextSibling)
                    if (c->States.contains(vsVisible)) {
                        MeasureItemHeight(nullptr, c);
                        heightDelta += c->TotalHeight;
                    }
                platform::Rect row;
                const int HD = int(heightDelta);
                const int NH = Node->NodeHeight;
                if (FUpdateCount == 0 || above) {
                    row = FHandleAllocated ? GetDisplayRect(Node, NoColumn, false) : platform::Rect{};
                    fit = NH + HD <= CH;
                    if (!above) {
                        fitRange = fit;
                    } else {
                        fitRange = fit && RY >= CH;
                        fitAbove = row.top - HD >= 0;
                        rowInside = row.bottom <= CH;
                    }
                }
                const int T = row.top;
                const int B = row.bottom;
                if (FUpdateCount == 0 && FHandleAllocated && T < CH && !FStates.contains(tsExpanding) &&
                    !FStates.contains(tsPainting) && animationOptions.contains(toAnimatedToggle)) {
                    if (FStates.contains(tsHint))
                        DoStateChange({}, {tsHint});
                    const bool fitBelow = B + HD <= CH;
                    const int W = ClientWidth();
                    A a;
                    int D1 = 0;
                    int D2 = 0;
                    if (!above) {
                        if (!(fitRange && fitBelow) && autoScroll && advanced && T > 0) {
                            a.R1 = platform::Rect{0, 0, W, B + 1};
                            a.Mode1 = A::ScrollUp;
                            a.R2 = platform::Rect{0, B + 1, W, CH};
                            a.Mode2 = A::ScrollDown;
                            D1 = std::min(HD - (CH - B - 1), T + 1);
                            D2 = CH - B - 1;
                        } else {
                            a.Mode1 = A::ScrollDown;
                            a.R1 = platform::Rect{0, B, W, CH};
                            D1 = std::min(CH - B, HD);
                        }
                    } else if (advanced && (!fitRange || (autoScroll && !(rowInside && fitAbove)))) {
                        a.Mode1 = A::ScrollDown;
                        a.R1 = platform::Rect{0, T, W, CH};
                        a.Mode2 = A::ScrollUp;
                        a.R2 = platform::Rect{0, 0, W, T};
                        if (autoScroll) {
                            if (fit && rowInside && CH < RY + HD) {
                                D1 = T <= HD ? std::abs(T - HD) : CH - RY;
                            } else if (CH >= RY + HD) {
                                a.Mode2 = A::None;
                                D1 = HD;
                            } else {
                                D1 = CH - T - NH;
                            }
                            if (a.Mode2 != A::None) {
                                if (D1 > 0) {
                                    D2 = std::min(HD - D1, T);
                                } else {
                                    a.Mode1 = A::None;
                                    D2 = std::min(CH, HD);
                                }
                            }
                        } else {
                            const int E = std::max(0, RY + HD - CH);
                            D1 = HD - OY - E;
                            if (RY + HD - CH <= 0)
                                a.Mode2 = A::None;
                            else
                                D2 = std::min(RY + HD - CH, T);
                        }
                    } else {
                        a.Mode1 = A::ScrollUp;
                        a.R1 = platform::Rect{0, 0, W, T};
                        D1 = std::min(T, HD);
                    }
                    if (a.R1.top <= CH)
                        RunToggleAnimation(a, D1, D2);
                }
                // Children left unsorted while the node was collapsed are put in order now.
                AutoSort(Node, false);
                InterruptValidation();
                Node->States += vsExpanded;
                PropagateTotalHeight(Node, heightDelta, true);
                if (FullyVisible(Node))
                    FVisibleCount += CountVisibleChildren(Node);
                expandedNow = true;
                DoExpanded(Node);
            }
        }

        if (toggled) {
            InvalidateCache();
            if (FUpdateCount > 0) {
                // The width of the rows on screen is measured when the bracket closes
                // (EndUpdate updates the scroll bars); a bulk expansion would otherwise
                // measure it once per node.
                UpdateVerticalRange();
            } else if (!FHandleAllocated) {
                ValidateCache();
                UpdateVerticalRange();
            } else {
                ValidateCache();
                if (Node->ChildCount == 0) {
                    InvalidateNode(Node);
                } else {
                    UpdateRanges();
                    UpdateScrollBars(true);
                    if (FStates.contains(tsExpanding) || FStates.contains(tsPainting)) {
                        InvalidateToBottom(Node);
                    } else if (expandedNow && above) {
                        if ((fitRange && fitAbove && rowInside) || !autoScroll) {
                            SetOffsetY(FOffsetY - int(heightDelta));
                        } else if (fit && rowInside) {
                            if (PLazyNode first = GetFirstVisible(Node, true, false))
                                SetOffsetY(FOffsetY - GetDisplayRect(first, NoColumn, false).top);
                        } else {
                            SetBottomNode(Node);
                        }
                        Invalidate();
                    } else if (expandedNow && autoScroll) {
                        if (fitRange) {
                            if (ScrollIntoView(GetLastVisible(Node, true, false), false, false))
                                Invalidate();
                            else
                                InvalidateToBottom(Node);
                        } else {
                            SetTopNode(Node);
                            Invalidate();
                        }
                    } else {
                        if (above)
                            SetOffsetY(FOffsetY - int(heightDelta));
                        Invalidate();
                    }
                }
            }
        }
    } catch (...) {
        restore();
        throw;
    }
    restore();
}

void TBaseLazyTree::DoCollapsed(PLazyNode Node)
{
    if (OnCollapsed)
        OnCollapsed(this, Node);
    if (!FOptions->SelectionOptions().contains(toAlwaysSelectNode))
        return;
    PLazyNode first = GetFirstSelected();
    if (first && !FullyVisible(first)) {
        PLazyNode parent = GetVisibleParent(first, false);
        SetSelected(first, false);
        if (parent && parent != FRoot)
            SetSelected(parent, true);
        if (FSelectionCount == 0)
            EnsureNodeSelected();
    }
}

void TBaseLazyTree::FullExpand(PLazyNode Node)
{
    if (FRoot->TotalCount < 2)
        return;
    DoStateChange({tsExpanding});
    StartOperation(okExpand);
    BeginUpdate();
    try {
        PLazyNode stop = nullptr;
        if (Node) {
            for (PLazyNode n = Node; n && n != FRoot && !stop; n = n->Parent)
                stop = n->NextSibling;
        } else {
            Node = FRoot->FirstChild;
        }
        if (Node && !Node->States.contains(vsInitialized))
            InitNode(Node);
        while (Node && Node != stop && !OperationCanceled()) {
            if (!Node->States.contains(vsExpanded))
                ToggleNode(Node);
            Node = GetNext(Node);
        }
    } catch (...) {
        EndOperation(okExpand);
        EndUpdate();
        DoStateChange({}, {tsExpanding});
        throw;
    }
    EndOperation(okExpand);
    EndUpdate();
    DoStateChange({}, {tsExpanding});
}

namespace {

// Collapses the expanded nodes below `node` from the last to the first in document order (each
// node after everything that follows it), or, with children above their parents, each node
// before its children. Groups of leaves are passed over whole: a node whose TotalCount is its
// ChildCount + 1 has only leaves below it.
template <typename Toggle>
void collapseBelow(PLazyNode node, bool childrenAbove, const Toggle& toggle)
{
    if (node->TotalCount == node->ChildCount + 1)
        return;
    for (PLazyNode c = node->LastChild; c;) {
        PLazyNode previous = c->PrevSibling;
        const bool collapsible = c->States.contains(vsExpanded) && c->States.contains(vsHasChildren);
        if (childrenAbove) {
            if (collapsible)
                toggle(c);
            if (c->FirstChild)
                collapseBelow(c, true, toggle);
        } else {
            if (c->FirstChild)
                collapseBelow(c, false, toggle);
            if (collapsible)
                toggle(c);
        }
        c = previous;
    }
}

} // namespace

void TBaseLazyTree::FullCollapse(PLazyNode Node)
{
    if (FRoot->TotalCount < 2)
        return;
    if (Node == FRoot)
        Node = nullptr;
    DoStateChange({tsCollapsing});
    BeginUpdate();
    try {
        // Bottom up, so that every collapse happens under an open parent.
        collapseBelow(Node ? Node : FRoot, ChildrenAboveOrder(true), [this](PLazyNode n) { ToggleNode(n); });
        if (Node && Node->States.contains(vsExpanded) && Node->States.contains(vsHasChildren))
            ToggleNode(Node);
    } catch (...) {
        EndUpdate();
        DoStateChange({}, {tsCollapsing});
        throw;
    }
    EndUpdate();
    DoStateChange({}, {tsCollapsing});
}

void TBaseLazyTree::SetFullyVisible(PLazyNode Node, bool Value)
{
    LtAssert(Node && Node != FRoot, "Invalid parameter");
    SetVisible(Node, Value);
    if (!Value)
        return;
    for (PLazyNode p = Node->Parent; p != FRoot; p = p->Parent) {
        if (!p->States.contains(vsExpanded))
            ToggleNode(p);
        if (!p->States.contains(vsVisible))
            SetVisible(p, true);
    }
}

void TBaseLazyTree::SetVisiblePath(PLazyNode Node, bool Value)
{
    LtAssert(Node && Node != FRoot, "Invalid parameters.");
    if (!Value)
        return;
    for (PLazyNode p = Node->Parent; p != FRoot; p = p->Parent)
        if (!p->States.contains(vsExpanded))
            ToggleNode(p);
}

PLazyNode TBaseLazyTree::TopNode() { return GetNodeAt(0, 0); }

void TBaseLazyTree::SetTopNode(PLazyNode Node)
{
    if (!Node || Node == FRoot)
        return;
    for (PLazyNode p = Node->Parent; p != FRoot; p = p->Parent)
        if (!p->States.contains(vsExpanded))
            ToggleNode(p);
    const platform::Rect r = GetDisplayRect(Node, NoColumn, false, true);
    SetOffsetY(FOffsetY - r.top);
}

PLazyNode TBaseLazyTree::BottomNode() { return GetNodeAt(0, ClientHeight() - 1); }

void TBaseLazyTree::SetBottomNode(PLazyNode Node)
{
    if (!Node || Node == FRoot)
        return;
    for (PLazyNode p = Node->Parent; p != FRoot; p = p->Parent)
        if (!p->States.contains(vsExpanded))
            ToggleNode(p);
    const platform::Rect r = GetDisplayRect(Node, NoColumn, false, true);
    SetOffsetY(FOffsetY - r.bottom + ClientHeight());
}

} // namespace controls
