#pragma once
// Small synchronisation objects of the serial port and the scan: events that threads wait on,
// with manual or automatic reset; a critical section; and the hand-over of a call to the
// user-interface thread with a wait, the way a worker thread reports to a window.
//
// An event is an eventfd, so a thread can wait for it and for a device in one poll. A name is
// kept for the owner's reference only: an event is never shared with another process.
#include <QString>

#include <functional>
#include <memory>
#include <mutex>

namespace platform {

enum class TEventWaitResult {
    wrSignaled,
    wrTimeout,
    wrAbandoned, // kept for callers that test for it; an eventfd is never abandoned
    wrError,     // the wait failed; Error() holds the system's error code
};

class THandleObject {
public:
    THandleObject() = default;
    virtual ~THandleObject(); // closes the handle
    THandleObject(const THandleObject&) = delete;
    THandleObject& operator=(const THandleObject&) = delete;

    int Handle() const { return FHandle; }
    int Error() const { return FError; }

protected:
    int FHandle = -1;
    int FError = 0;
};

class TEvent : public THandleObject {
public:
    TEvent(bool ManualReset, bool InitialState, const QString& Name = {});

    // Waits at most TimeoutMs milliseconds (negative: without limit). An automatic-reset event
    // is reset by the wait that sees it signalled.
    TEventWaitResult WaitFor(int TimeoutMs);
    void SetEvent();
    void ResetEvent();
    bool ManualReset() const { return manualReset_; }
    const QString& Name() const { return name_; }

private:
    bool manualReset_;
    QString name_;
};

// An unnamed manual-reset event, not signalled at first.
class TSimpleEvent : public TEvent {
public:
    TSimpleEvent() : TEvent(true, false) {}
};

// Re-entrant by the thread that holds it, as the system's critical sections are. Usable with
// std::lock_guard.
class TCriticalSection {
public:
    void Acquire() { m_.lock(); }
    void Release() { m_.unlock(); }
    void Enter() { Acquire(); }
    void Leave() { Release(); }
    void lock() { Acquire(); }
    void unlock() { Release(); }

private:
    std::recursive_mutex m_;
};

// Runs calls on the user-interface thread (the thread of the QCoreApplication) and waits until
// each has run there; calls from several threads run in the order they were made. A call made
// on that thread, or while no application object exists, runs at once on the caller's thread.
// The user-interface thread must keep handling events while a worker waits on it.
//
// `cancel` releases every waiting caller at once and makes later calls return at once without
// running, until `resume`. An owner cancels before it waits for its worker threads, so that no
// worker waits for a thread that is waiting for it. A released call may still be running on the
// user-interface thread when its caller returns, and one not yet begun never runs: calls take
// what they need by value.
class MainThreadCalls {
public:
    MainThreadCalls();
    ~MainThreadCalls(); // cancels
    MainThreadCalls(const MainThreadCalls&) = delete;
    MainThreadCalls& operator=(const MainThreadCalls&) = delete;

    // True when fn ran to its end. An exception from fn is swallowed: it has no caller to reach
    // on the user-interface thread.
    bool call(std::function<void()> fn);
    void cancel();
    void resume();
    bool cancelled() const;

    struct State;

private:
    std::shared_ptr<State> s_;
};

} // namespace platform
