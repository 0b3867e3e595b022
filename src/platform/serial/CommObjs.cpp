#include "platform/serial/CommObjs.h"

#include <QCoreApplication>
#include <QMetaObject>
#include <QThread>

#include <cerrno>
#include <chrono>
#include <condition_variable>
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
    std::function<void()> fn;
    bool done = false;
    bool dropped = false;
};
} // namespace

MainThreadCalls::MainThreadCalls() : s_(std::make_shared<State>()) {}

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
    c->fn = std::move(fn);
    {
        std::lock_guard lk(st->m);
        if (st->cancelled)
            return false;
    }
    QMetaObject::invokeMethod(
        app,
        [st, c] {
            {
                std::lock_guard lk(st->m);
                if (c->dropped || st->cancelled) {
                    c->dropped = true;
                    return;
                }
            }
            try {
                c->fn();
            } catch (...) {
            }
            {
                std::lock_guard lk(st->m);
                c->done = true;
            }
            st->cv.notify_all();
        },
        Qt::QueuedConnection);
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
