// The tree's side of the position cache: invalidation, the request to the worker, the rebuild
// that runs on the worker thread, and the two binary searches over the entries.
#include "controls/tree/LazyTree.h"
#include "controls/tree/LazyTreeWorker.h"

#include <algorithm>

namespace controls {

uint32_t TBaseLazyTree::GetCacheLength() const
{
    if (FVisibleCount < 2)
        return 0;
    return (FVisibleCount + CacheStride - 1) / CacheStride;
}

void TBaseLazyTree::InvalidateCache() { DoStateChange({tsValidationNeeded}, {tsUseCache}); }

void TBaseLazyTree::ValidateCache()
{
    InterruptValidation();
    TWorkerThread* worker = TWorkerThread::Instance();
    if (!FStates.contains(tsValidationNeeded) || FVisibleCount <= CacheStride || !worker)
        return;
    FCacheVisibleCount = FVisibleCount;
    FCacheVariableHeight = FOptions->MiscOptions().contains(toVariableNodeHeight);
    worker->AddTree(this);
}

void TBaseLazyTree::InterruptValidation()
{
    // Measuring a node for the worker changes its height before the worker reads it: the build
    // goes on.
    if (FMeasuringForWorker)
        return;
    DoStateChange({tsStopValidation}, {tsUseCache});
    TWorkerThread* worker = TWorkerThread::Instance();
    if (!worker)
        return;
    if (FServingWorker) {
        // A change made while a message of the worker is handled (an OnStateChange handler):
        // the worker waits for this very message, so it cannot be waited for; it stops at its
        // next step, and the cache is built again later.
        InvalidateCache();
        return;
    }
    // A worker that already holds the tree but has not yet said so builds a cache that the
    // change about to come makes wrong: it counts as validating too, so the cache is marked out
    // of date again rather than forgotten.
    const bool wasValidating = FStates.contains(tsValidating) || worker->CurrentTree() == this;
    worker->RemoveTree(this);
    if (wasValidating)
        InvalidateCache();
}

void TBaseLazyTree::ChangeTreeStatesAsync(uint8_t EnterStates, uint8_t LeaveStates)
{
    if (TWorkerThread* worker = TWorkerThread::Instance())
        worker->ChangeTreeStates(this, EnterStates, LeaveStates);
}

uint32_t TBaseLazyTree::CacheNodeHeight(PLazyNode Node)
{
    if (FCacheVariableHeight &&
        (!Node->States.contains(vsInitialized) || !Node->States.contains(vsHeightMeasured)) &&
        !Node->States.contains(vsDeleting)) {
        // Initialising and measuring talk to the owner: they run on the user-interface thread
        // while the worker waits.
        if (TWorkerThread* worker = TWorkerThread::Instance())
            worker->RunOnMainThread(
                this,
                [this, Node] {
                    FMeasuringForWorker = true;
                    try {
                        (void)NodeHeight(Node);
                    } catch (...) {
                        FMeasuringForWorker = false;
                        throw;
                    }
                    FMeasuringForWorker = false;
                },
                true);
    }
    return Node->NodeHeight;
}

bool TBaseLazyTree::DoValidateCache()
{
    if (FStopValidationRequested.load(std::memory_order_relaxed))
        return false;
    const uint32_t length = FCacheVisibleCount < 2 ? 0 : (FCacheVisibleCount + CacheStride - 1) / CacheStride;
    FPositionCache.assign(length, TCacheEntry{});
    uint32_t filled = 0;
    uint32_t walked = 0;
    uint64_t top = 0;
    PLazyNode last = nullptr;
    uint32_t lastTop = 0;
    bool stopped = false;
    for (PLazyNode node = GetFirstVisibleNoInit(nullptr, true); node; node = GetNextVisibleNoInit(node, true)) {
        if (FStopValidationRequested.load(std::memory_order_relaxed)) {
            stopped = true;
            break;
        }
        if (filled == length)
            break;
        if (walked % CacheStride == 0)
            FPositionCache[filled++] = TCacheEntry{node, uint32_t(top)};
        last = node;
        lastTop = uint32_t(top);
        top += CacheNodeHeight(node);
        ++walked;
        // A measurement ran on the user-interface thread: what it changed stops the walk before
        // the node's links are read again.
        if (FStopValidationRequested.load(std::memory_order_relaxed)) {
            stopped = true;
            break;
        }
    }
    if (!stopped && filled < length) {
        // Fewer nodes than counted: the used entries and one closing entry for the last node.
        FPositionCache.resize(filled);
        if (last)
            FPositionCache.push_back(TCacheEntry{last, lastTop});
    }
    return walked >= 2 && !stopped;
}

PLazyNode TBaseLazyTree::FindCacheEntryForNode(PLazyNode Node, uint32_t& CurrentPos) const
{
    CurrentPos = 0;
    if (!Node)
        return nullptr;
    // The last entry whose node does not come after Node, in the order the rows are shown (so
    // that children shown above their parent are found too).
    const auto it = std::upper_bound(FPositionCache.begin(), FPositionCache.end(), Node,
                                     [this](PLazyNode node, const TCacheEntry& entry) {
                                         return CompareNodeOrder(entry.Node, node, true) > 0;
                                     });
    return lastEntryBefore(it, CurrentPos);
}

PLazyNode TBaseLazyTree::FindCacheEntryAtPosition(uint32_t Position, uint32_t& CurrentPos) const
{
    CurrentPos = 0;
    const auto it = std::upper_bound(FPositionCache.begin(), FPositionCache.end(), Position,
                                     [](uint32_t position, const TCacheEntry& entry) { return position < entry.AbsoluteTop; });
    return lastEntryBefore(it, CurrentPos);
}

PLazyNode TBaseLazyTree::lastEntryBefore(TCache::const_iterator It, uint32_t& CurrentPos) const
{
    if (It == FPositionCache.begin())
        return nullptr;
    CurrentPos = std::prev(It)->AbsoluteTop;
    return std::prev(It)->Node;
}

} // namespace controls
