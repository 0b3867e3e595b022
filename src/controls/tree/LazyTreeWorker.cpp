// The position-cache worker thread and the mailbox through which it reaches the user-interface
// thread.
#include "controls/tree/LazyTreeWorker.h"
#include "controls/tree/LazyTree.h"

#include <QCoreApplication>
#include <QMetaObject>

#include <algorithm>
#include <chrono>
#include <pthread.h>

namespace controls {

namespace {

// The one worker. Trees are made and destroyed on the user-interface thread, which alone
// creates, counts and ends it.
TWorkerThread* gWorker = nullptr;

// Messages from the worker, in the order they were posted.
struct Mailbox {
    std::mutex lock;
    std::condition_variable changed; // a message was posted or handled, or the worker let go of a tree
    std::deque<std::shared_ptr<void>> order;
    bool wakePosted = false;
};
// Never destroyed: a tree destroyed by another static object's destructor at exit still
// finds it.
Mailbox& mailbox()
{
    static Mailbox* box = new Mailbox;
    return *box;
}

} // namespace

TLazyTreeStates ChangeStateBitsToStates(uint8_t bits)
{
    TLazyTreeStates states;
    if (bits & csbStopValidation)
        states += tsStopValidation;
    if (bits & csbUseCache)
        states += tsUseCache;
    if (bits & csbValidating)
        states += tsValidating;
    if (bits & csbValidationNeeded)
        states += tsValidationNeeded;
    return states;
}

// --- life ---------------------------------------------------------------------------------------

TWorkerThread::TWorkerThread()
{
    FThread = std::thread([this] { Execute(); });
}

TWorkerThread::~TWorkerThread()
{
    FTerminated.store(true);
    Signal();
    if (FThread.joinable())
        FThread.join();
}

TWorkerThread* TWorkerThread::Instance() { return gWorker; }

void TWorkerThread::AddThreadReference()
{
    if (!gWorker)
        gWorker = new TWorkerThread();
    ++gWorker->FRefCount;
}

void TWorkerThread::ReleaseThreadReference(TBaseLazyTree* Tree)
{
    if (!gWorker)
        return;
    if (gWorker->FRefCount > 0)
        --gWorker->FRefCount;
    Tree->InterruptValidation();
    // Messages left for the tree (a queued edit-bounds update) would reach a dead tree.
    DropMessages(Tree);
    if (gWorker->FRefCount == 0) {
        TWorkerThread* worker = gWorker;
        gWorker = nullptr;
        delete worker;
    }
}

void TWorkerThread::Signal()
{
    {
        std::lock_guard lk(FEventLock);
        FSignalled = true;
    }
    FEvent.notify_one();
}

// --- the waiting list ---------------------------------------------------------------------------

void TWorkerThread::AddTree(TBaseLazyTree* Tree)
{
    LtAssert(Tree != nullptr, "Tree must not be nil.", "LazyTrees.WorkerThread");
    Tree->DoStateChange({}, {tsStopValidation});
    {
        std::lock_guard lk(FListLock);
        if (std::find(FWaiterList.begin(), FWaiterList.end(), Tree) == FWaiterList.end())
            FWaiterList.push_back(Tree);
    }
    Signal();
}

void TWorkerThread::RemoveTree(TBaseLazyTree* Tree)
{
    LtAssert(Tree != nullptr, "Tree must not be nil.", "LazyTrees.WorkerThread");
    {
        std::lock_guard lk(FListLock);
        FWaiterList.erase(std::remove(FWaiterList.begin(), FWaiterList.end(), Tree), FWaiterList.end());
    }
    WaitForTree(Tree);
}

void TWorkerThread::WaitForTree(TBaseLazyTree* Tree)
{
    Mailbox& box = mailbox();
    while (CurrentTree() == Tree) {
        if (DispatchMessages(Tree) > 0)
            continue;
        std::unique_lock lk(box.lock);
        // The worker notifies on every post and when it lets go; the time-out only guards
        // against a wake-up that slipped between the two checks.
        box.changed.wait_for(lk, std::chrono::milliseconds(5));
    }
}

// --- the thread ---------------------------------------------------------------------------------

void TWorkerThread::Execute()
{
    pthread_setname_np(pthread_self(), "LazyTrees.TWork");
    for (;;) {
        {
            std::unique_lock lk(FEventLock);
            FEvent.wait(lk, [this] { return FSignalled; });
            FSignalled = false;
        }
        if (FTerminated.load())
            return;
        TBaseLazyTree* tree = nullptr;
        bool more = false;
        {
            std::lock_guard lk(FListLock);
            if (!FWaiterList.empty()) {
                tree = FWaiterList.front();
                FWaiterList.pop_front();
                more = !FWaiterList.empty();
            }
            FCurrentTree.store(tree, std::memory_order_release);
        }
        if (more)
            Signal();
        if (!tree)
            continue;
        uint8_t enter = 0;
        bool measured = false;
        // A tree whose validation was stopped before it was taken is let go at once.
        if (!tree->FStopValidationRequested.load(std::memory_order_relaxed)) {
            try {
                ChangeTreeStates(tree, csbValidating, csbUseCache | csbValidationNeeded);
                if (!tree->FStopValidationRequested.load(std::memory_order_relaxed) && tree->DoValidateCache()) {
                    enter = csbUseCache;
                    measured = tree->FCacheVariableHeight;
                }
            } catch (...) {
                // Threads never let an exception escape; the cache simply is not used.
                enter = 0;
            }
            try {
                ChangeTreeStates(tree, enter, csbStopValidation | csbValidating);
                RunOnMainThread(tree, [tree] { tree->UpdateEditBounds(); }, false);
                if (measured)
                    RunOnMainThread(tree, [tree] { tree->UpdateScrollBars(true); }, false);
            } catch (...) {
            }
        }
        {
            std::lock_guard lk(mailbox().lock);
            FCurrentTree.store(nullptr, std::memory_order_release);
        }
        mailbox().changed.notify_all();
    }
}

// --- the mailbox --------------------------------------------------------------------------------

void TWorkerThread::Post(const std::shared_ptr<Message>& message, bool wait)
{
    Mailbox& box = mailbox();
    bool wake = false;
    {
        std::lock_guard lk(box.lock);
        box.order.push_back(message);
        if (!box.wakePosted) {
            box.wakePosted = true;
            wake = true;
        }
    }
    box.changed.notify_all();
    if (wake) {
        if (QCoreApplication* app = QCoreApplication::instance())
            QMetaObject::invokeMethod(app, [] { DispatchMessages(nullptr); }, Qt::QueuedConnection);
    }
    if (!wait)
        return;
    std::unique_lock lk(box.lock);
    box.changed.wait(lk, [&] { return message->Done || FTerminated.load(); });
}

void TWorkerThread::ChangeTreeStates(TBaseLazyTree* Tree, uint8_t EnterStates, uint8_t LeaveStates)
{
    auto message = std::make_shared<Message>();
    message->Tree = Tree;
    message->Enter = EnterStates;
    message->Leave = LeaveStates;
    Post(message, true);
}

void TWorkerThread::RunOnMainThread(TBaseLazyTree* Tree, std::function<void()> Call, bool Wait)
{
    auto message = std::make_shared<Message>();
    message->Tree = Tree;
    message->Call = std::move(Call);
    Post(message, Wait);
}

int TWorkerThread::DispatchMessages(TBaseLazyTree* Tree)
{
    Mailbox& box = mailbox();
    std::vector<std::shared_ptr<Message>> taken;
    {
        std::lock_guard lk(box.lock);
        if (!Tree)
            box.wakePosted = false;
        for (auto it = box.order.begin(); it != box.order.end();) {
            auto message = std::static_pointer_cast<Message>(*it);
            if (!Tree || message->Tree == Tree) {
                taken.push_back(message);
                it = box.order.erase(it);
            } else {
                ++it;
            }
        }
    }
    for (const auto& message : taken) {
        TBaseLazyTree* tree = message->Tree;
        const bool serving = tree->FServingWorker;
        tree->FServingWorker = true;
        try {
            if (message->Call)
                message->Call();
            else
                tree->DoStateChange(ChangeStateBitsToStates(message->Enter), ChangeStateBitsToStates(message->Leave));
        } catch (...) {
            // A handler's failure must not leave the worker waiting.
        }
        tree->FServingWorker = serving;
        {
            std::lock_guard lk(box.lock);
            message->Done = true;
        }
        box.changed.notify_all();
    }
    return int(taken.size());
}

void TWorkerThread::DropMessages(TBaseLazyTree* Tree)
{
    Mailbox& box = mailbox();
    std::vector<std::shared_ptr<Message>> dropped;
    {
        std::lock_guard lk(box.lock);
        for (auto it = box.order.begin(); it != box.order.end();) {
            auto message = std::static_pointer_cast<Message>(*it);
            if (message->Tree == Tree) {
                message->Done = true;
                dropped.push_back(message);
                it = box.order.erase(it);
            } else {
                ++it;
            }
        }
    }
    if (!dropped.empty())
        box.changed.notify_all();
}

} // namespace controls
