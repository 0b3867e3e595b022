#include "platform/serial/CommObjs.h"

#include <QCoreApplication>
#include <QMetaObject>
#include <QThread>

#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <cstdint>
#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

namespace platform {

THandleObject::~THandleObject()
{
    if (FHandle >= 0)
        ::close(FHandle);
}

TEvent::TEvent(bool ManualReset, bool InitialState, const QString& Name) : manualReset_(ManualReset), name_(Name)
{
    FHandle = ::eventfd(InitialState ? 1 : 0, EFD_NONBLOCK | EFD_CLOEXEC);
    if (FHandle < 0)
        FError = errno;
}

void TEvent::SetEvent()
{
    if (FHandle < 0)
        return;
    const uint64_t one = 1;
    // A full counter (never reached in practice) still leaves the event signalled.
    [[maybe_unused]] const ssize_t n = ::write(FHandle, &one, sizeof one);
}

void TEvent::ResetEvent()
{
    if (FHandle < 0)
        return;
    uint64_t v = 0;
    [[maybe_unused]] const ssize_t n = ::read(FHandle, &v, sizeof v); // empties the counter
}

TEventWaitResult TEvent::WaitFor(int TimeoutMs)
{
    if (FHandle < 0) {
        FError = EBADF;
        return TEventWaitResult::wrError;
    }
    using Clock = std::chrono::steady_clock;
    const auto deadline = Clock::now() + std::chrono::milliseconds(TimeoutMs < 0 ? 0 : TimeoutMs);
    for (;;) {
        int wait = -1;
        if (TimeoutMs >= 0) {
            const auto left =
                std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
            wait = left > 0 ? static_cast<int>(left) : 0;
        }
        pollfd p{FHandle, POLLIN, 0};
        const int r = ::poll(&p, 1, wait);
        if (r < 0) {
            if (errno == EINTR)
                continue;
            FError = errno;
            return TEventWaitResult::wrError;
        }
        if (r == 0)
            return TEventWaitResult::wrTimeout;
        if (manualReset_)
            return TEventWaitResult::wrSignaled;
        uint64_t v = 0;
        if (::read(FHandle, &v, sizeof v) == static_cast<ssize_t>(sizeof v))
            return TEventWaitResult::wrSignaled;
        // Another waiter took the signal first: wait on for the time left.
        if (TimeoutMs >= 0 && Clock::now() >= deadline)
            return TEventWaitResult::wrTimeout;
    }
}

struct MainThreadCalls::State {
    std::mutex m;
    std::condition_variable cv;
    bool cancelled = false;
};

namespace {

struct PendingCall {
    std::shared_ptr<MainThreadCalls::State> state;
    std::function<void()> fn;
    bool done = false;
    bool dropped = false;
};

// The calls waiting for the user-interface thread, in the order they were made. The hand-over
// is ours (this lock), not the event queue's: the queue only wakes the user-interface thread,
// so every thread that looks at a call has taken the lock that made it visible.
struct CallQueue {
    std::mutex m;
    std::deque<std::shared_ptr<PendingCall>> calls;
};

CallQueue& callQueue()
{
    static CallQueue q;
    return q;
}

void runNextCall()
{
    std::shared_ptr<PendingCall> c;
    {
        CallQueue& q = callQueue();
        std::lock_guard lk(q.m);
        if (q.calls.empty())
            return;
        c = std::move(q.calls.front());
        q.calls.pop_front();
    }
    MainThreadCalls::State& st = *c->state;
    {
        std::lock_guard lk(st.m);
        if (c->dropped || st.cancelled) {
            c->dropped = true;
            return;
        }
    }
    try {
        c->fn();
    } catch (...) {
    }
    {
        std::lock_guard lk(st.m);
        c->done = true;
    }
    st.cv.notify_all();
}

} // namespace

// Lives on the user-interface thread; each queued invocation of `run` runs one waiting call.
class MainThreadDispatcher : public QObject {
Q_OBJECT
public:
    static MainThreadDispatcher* instance(QCoreApplication* app)
    {
        static std::mutex m;
        static MainThreadDispatcher* d = nullptr;
        static QCoreApplication* owner = nullptr;
        std::lock_guard lk(m);
        if (!d || owner != app) {
            // One per application object; an earlier one went with its application's thread.
            d = new MainThreadDispatcher;
            owner = app;
            if (d->thread() != app->thread())
                d->moveToThread(app->thread());
        }
        return d;
    }

public Q_SLOTS:
    void run() { runNextCall(); }
};

MainThreadCalls::MainThreadCalls() : s_(std::make_shared<State>())
{
    if (QCoreApplication* app = QCoreApplication::instance(); app && QThread::currentThread() == app->thread())
        MainThreadDispatcher::instance(app);
}

MainThreadCalls::~MainThreadCalls() { cancel(); }

bool MainThreadCalls::call(std::function<void()> fn)
{
    QCoreApplication* app = QCoreApplication::instance();
    if (!app || QThread::currentThread() == app->thread()) {
        {
            std::lock_guard lk(s_->m);
            if (s_->cancelled)
                return false;
        }
        try {
            fn();
        } catch (...) {
        }
        return true;
    }
    const std::shared_ptr<State> st = s_;
    auto c = std::make_shared<PendingCall>();
    c->state = st;
    c->fn = std::move(fn);
    {
        std::lock_guard lk(st->m);
        if (st->cancelled)
            return false;
    }
    {
        CallQueue& q = callQueue();
        std::lock_guard lk(q.m);
        q.calls.push_back(c);
    }
    QMetaObject::invokeMethod(MainThreadDispatcher::instance(app), "run", Qt::QueuedConnection);
    std::unique_lock lk(st->m);
    st->cv.wait(lk, [&] { return c->done || st->cancelled; });
    if (!c->done)
        c->dropped = true;
    return c->done;
}

void MainThreadCalls::cancel()
{
    {
        std::lock_guard lk(s_->m);
        s_->cancelled = true;
    }
    s_->cv.notify_all();
}

void MainThreadCalls::resume()
{
    std::lock_guard lk(s_->m);
    s_->cancelled = false;
}

bool MainThreadCalls::cancelled() const
{
    std::lock_guard lk(s_->m);
    return s_->cancelled;
}

} // namespace platform

#include "CommObjs.moc"
