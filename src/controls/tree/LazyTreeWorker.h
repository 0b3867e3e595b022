#pragma once
// The worker thread that builds the position caches of large trees, one per process, shared
// by every tree and counted by them: the first tree made starts it, the last one destroyed ends
// it (AddThreadReference / ReleaseThreadReference).
//
// Protocol between the user-interface thread and the worker:
//   - a tree asks for a rebuild with AddTree (it joins the waiting list, the worker is woken);
//   - the worker takes the first waiting tree, tells the tree it is validating, builds the
//     cache (TBaseLazyTree::DoValidateCache), tells it whether the cache may now be used, and
//     lets go of it;
//   - every structural change on the user-interface thread first interrupts the tree's
//     validation (TBaseLazyTree::InterruptValidation): the tree leaves the waiting list and
//     waits until the worker no longer holds it (WaitForTree). Node links and heights are
//     therefore never written while the worker reads them;
//   - tree states change only on the user-interface thread. The worker posts each state change
//     (the window message WM_CHANGESTATE of the original control) into a mailbox and waits
//     until it has been handled; the user-interface thread drains the mailbox from its event
//     loop and, while it waits in WaitForTree, drains the messages of that tree itself, so the
//     two threads never wait for each other. Calls the worker needs on the user-interface
//     thread (measuring a node of variable height) go the same way. No lock is held while a
//     message is handled.
#include "controls/tree/TreeTypes.h"

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

namespace controls {

class TBaseLazyTree;

// The bits of a state-change message: states to enter and to leave.
enum TChangeStateBit : uint8_t {
    csbStopValidation = 1,
    csbUseCache = 2,
    csbValidating = 4,
    csbValidationNeeded = 8,
};
// The tree states named by a set of message bits.
TLazyTreeStates ChangeStateBitsToStates(uint8_t bits);

class TWorkerThread {
public:
    // Counts a tree; starts the worker when none runs.
    static void AddThreadReference();
    // Uncounts a tree, interrupting its validation and dropping its pending messages; the
    // worker ends with the last tree.
    static void ReleaseThreadReference(TBaseLazyTree* Tree);
    // The worker, or nullptr when no tree exists.
    static TWorkerThread* Instance();

    // Queues the tree (once) and wakes the worker.
    void AddTree(TBaseLazyTree* Tree);
    // Takes the tree off the waiting list and waits until the worker has let go of it.
    void RemoveTree(TBaseLazyTree* Tree);
    // The tree the worker is validating now (nullptr when none).
    TBaseLazyTree* CurrentTree() const { return FCurrentTree.load(std::memory_order_acquire); }
    uint32_t RefCount() const { return FRefCount; }

    // Worker side: posts a state change of the tree and waits until it was handled.
    void ChangeTreeStates(TBaseLazyTree* Tree, uint8_t EnterStates, uint8_t LeaveStates);
    // Worker side: runs Call on the user-interface thread, waiting for it (Wait) or not.
    void RunOnMainThread(TBaseLazyTree* Tree, std::function<void()> Call, bool Wait);

    // User-interface side: handles the pending messages of the tree (of every tree for
    // nullptr); returns how many it handled.
    static int DispatchMessages(TBaseLazyTree* Tree);

private:
    struct Message {
        TBaseLazyTree* Tree = nullptr;
        uint8_t Enter = 0;
        uint8_t Leave = 0;
        std::function<void()> Call;
        bool Done = false;
    };

    TWorkerThread();
    ~TWorkerThread();
    void Execute();
    void Signal();
    void WaitForTree(TBaseLazyTree* Tree);
    void Post(const std::shared_ptr<Message>& message, bool wait);
    static void DropMessages(TBaseLazyTree* Tree);

    std::atomic<TBaseLazyTree*> FCurrentTree{nullptr};
    std::mutex FListLock;
    std::deque<TBaseLazyTree*> FWaiterList;
    uint32_t FRefCount = 0;

    // The auto-reset event that wakes the worker.
    std::mutex FEventLock;
    std::condition_variable FEvent;
    bool FSignalled = false;
    std::atomic<bool> FTerminated{false};

    std::thread FThread;
};

} // namespace controls
