// Update brackets, the change and structure-change notifications, tree states and long
// operations.
#include "controls/tree/LazyTree.h"

#include <QThread>

namespace controls {

// --- states -------------------------------------------------------------------------------------

void TBaseLazyTree::DoStateChange(TLazyTreeStates Enter, TLazyTreeStates Leave)
{
    if (OnStateChange && (!(Enter - FStates).empty() || !(FStates * Leave).empty()))
        OnStateChange(this, Enter, Leave);
    FStates = FStates + Enter - Leave;
    // The worker reads this one state without the tree's help.
    FStopValidationRequested.store(FStates.contains(tsStopValidation), std::memory_order_relaxed);
}

// --- update brackets ----------------------------------------------------------------------------

void TBaseLazyTree::SetRedrawSuppressed(bool Updating)
{
    if (isVisible() && FHandleAllocated && FUpdateCount == 0)
        viewport()->setUpdatesEnabled(!Updating);
}

void TBaseLazyTree::BeginUpdate()
{
    LtAssert(QThread::currentThread() == thread(),
             QStringLiteral("UI controls like ") + ClassName() + QStringLiteral(" should only be manipulated through the main thread."));
    if (!FDestroying) {
        if (FUpdateCount > 0) {
            DoUpdating(usUpdate);
        } else {
            DoUpdating(usBegin);
            SetRedrawSuppressed(true);
        }
    }
    ++FUpdateCount;
    DoStateChange({tsUpdating});
}

void TBaseLazyTree::EndUpdate()
{
    if (FUpdateCount > 0)
        --FUpdateCount;
    if (FDestroying)
        return;
    if (FUpdateCount == 0 && FStates.contains(tsUpdating)) {
        if (FStates.contains(tsUpdateHiddenChildrenNeeded)) {
            DetermineHiddenChildrenFlagAllNodes();
            DoStateChange({}, {tsUpdateHiddenChildrenNeeded});
        }
        DoStateChange({}, {tsUpdating});
        PackArray();
        InvalidateCache();
        ValidateCache();
        if (FHandleAllocated)
            UpdateScrollBars(false);
        // The auto sort and the redraw run also when a notification handler raises, and the
        // redraw also when a comparison raises.
        auto finish = [this] {
            try {
                if (FOptions->AutoOptions().contains(toAutoSort) && CanCompareNodes())
                    SortTree(FHeader->SortColumn(), FHeader->SortDirection(), true);
            } catch (...) {
                SetRedrawSuppressed(false);
                if (FHandleAllocated)
                    Invalidate();
                throw;
            }
            SetRedrawSuppressed(false);
            if (FHandleAllocated)
                Invalidate();
        };
        try {
            if (FStates.contains(tsStructureChangePending))
                DoStructureChange(FLastStructureChangeNode, FLastStructureChangeReason);
            if (FStates.contains(tsChangePending))
                DoChange(FLastChangedNode);
        } catch (...) {
            finish();
            throw;
        }
        finish();
    }
    if (FUpdateCount > 0) {
        DoUpdating(usUpdate);
    } else {
        DoUpdating(usEnd);
        EnsureNodeSelected();
    }
}

void TBaseLazyTree::BeginSynch()
{
    if (!FDestroying) {
        if (FSynchUpdateCount > 0) {
            DoUpdating(usSynch);
        } else {
            DoUpdating(usBeginSynch);
            for (int id : {ChangeTimer, StructureChangeTimer, 1, 2, 3, 4, 7})
                StopTimer(id);
            FSearchBuffer.clear();
            FLastSearchNode = nullptr;
            DoStateChange({}, {tsEditPending, tsIncrementalSearching, tsScrolling, tsScrollPending});
            if (FStates.contains(tsStructureChangePending))
                DoStructureChange(FLastStructureChangeNode, FLastStructureChangeReason);
            if (FStates.contains(tsChangePending))
                DoChange(FLastChangedNode);
        }
    }
    ++FSynchUpdateCount;
    DoStateChange({tsSynchMode});
}

void TBaseLazyTree::EndSynch()
{
    if (FSynchUpdateCount > 0)
        --FSynchUpdateCount;
    if (FDestroying)
        return;
    if (FSynchUpdateCount > 0) {
        DoUpdating(usSynch);
    } else {
        DoStateChange({}, {tsSynchMode});
        DoUpdating(usEndSynch);
    }
}

// --- notifications ------------------------------------------------------------------------------

void TBaseLazyTree::AdviseChangeEvent(bool IsStructureChange, PLazyNode Node, TChangeReason Reason)
{
    if (IsStructureChange) {
        if (FStates.contains(tsStructureChangePending))
            StopTimer(StructureChangeTimer);
        else
            DoStateChange({tsStructureChangePending});
        FLastStructureChangeNode = Node;
        // Changes of one kind keep their reason; changes of different kinds accumulate.
        if (FLastStructureChangeReason == crIgnore)
            FLastStructureChangeReason = Reason;
        else if (Reason != crIgnore && Reason != FLastStructureChangeReason)
            FLastStructureChangeReason = crAccumulated;
    } else {
        if (FStates.contains(tsChangePending))
            StopTimer(ChangeTimer);
        else
            DoStateChange({tsChangePending});
        FLastChangedNode = Node;
    }
}

void TBaseLazyTree::Change(PLazyNode Node)
{
    AdviseChangeEvent(false, Node, crIgnore);
    if (FUpdateCount > 0)
        return;
    if (FChangeDelay > 0 && FHandleAllocated && !FStates.contains(tsSynchMode))
        SetWindowTimer(ChangeTimer, FChangeDelay);
    else
        DoChange(Node);
}

void TBaseLazyTree::StructureChange(PLazyNode Node, TChangeReason Reason)
{
    AdviseChangeEvent(true, Node, Reason);
    if (FUpdateCount > 0)
        return;
    if (FChangeDelay > 0 && FHandleAllocated && !FStates.contains(tsSynchMode))
        SetWindowTimer(StructureChangeTimer, FChangeDelay);
    else
        DoStructureChange(Node, Reason);
}

void TBaseLazyTree::DoChange(PLazyNode Node)
{
    StopTimer(ChangeTimer);
    if (OnChange)
        OnChange(this, Node);
    DoStateChange({}, {tsChangePending});
    FLastChangedNode = nullptr;
}

void TBaseLazyTree::DoStructureChange(PLazyNode Node, TChangeReason Reason)
{
    StopTimer(StructureChangeTimer);
    if (OnStructureChange)
        OnStructureChange(this, Node, Reason);
    DoStateChange({}, {tsStructureChangePending});
    FLastStructureChangeNode = nullptr;
    FLastStructureChangeReason = crIgnore;
}

// --- long operations ----------------------------------------------------------------------------

void TBaseLazyTree::StartOperation(TLTOperationKind OperationKind)
{
    ++FOperationCount;
    DoStartOperation(OperationKind);
    if (FOperationCount == 1)
        FOperationCanceled = false;
}

void TBaseLazyTree::EndOperation(TLTOperationKind OperationKind)
{
    LtAssert(FOperationCount > 0, "EndOperation must not be called when no operation in progress.");
    --FOperationCount;
    DoEndOperation(OperationKind);
}

void TBaseLazyTree::CancelOperation()
{
    if (FOperationCount > 0)
        FOperationCanceled = true;
}

} // namespace controls
