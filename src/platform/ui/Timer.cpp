#include "platform/ui/Timer.h"

#include "platform/process/Clock.h"

#include <QTimer>
#include <algorithm>
#include <vector>

namespace platform {

namespace {
// Timers live and fire on the user-interface thread only.
std::vector<Timer*>& liveTimers()
{
    static std::vector<Timer*> timers;
    return timers;
}
int g_manual = 0;
} // namespace

Timer::Timer(QObject* parent) : QObject(parent), timer_(new QTimer(this))
{
    liveTimers().push_back(this);
    QObject::connect(timer_, &QTimer::timeout, this, [this] {
        if (g_manual == 0)
            fire();
    });
}

Timer::~Timer()
{
    auto& all = liveTimers();
    all.erase(std::remove(all.begin(), all.end(), this), all.end());
}

void Timer::setEnabled(bool on)
{
    if (on == enabled_)
        return;
    enabled_ = on;
    restart();
}

void Timer::setInterval(int ms)
{
    if (ms == interval_)
        return;
    interval_ = ms;
    if (enabled_)
        restart();
}

void Timer::restart()
{
    timer_->stop();
    if (!enabled_ || interval_ <= 0)
        return;
    dueAt_ = clock().tickMs() + static_cast<uint64_t>(interval_);
    if (g_manual == 0)
        timer_->start(interval_);
}

void Timer::fire()
{
    // A repeating timer counts its next period from this firing, unless the handler says
    // otherwise.
    if (enabled_ && interval_ > 0)
        dueAt_ = clock().tickMs() + static_cast<uint64_t>(interval_);
    if (onTimer)
        onTimer(); // may delete this timer: nothing after it
}

ManualTimers::ManualTimers()
{
    if (g_manual++ == 0)
        for (Timer* t : liveTimers())
            t->timer_->stop();
}

ManualTimers::~ManualTimers() { --g_manual; }

int fireDueTimers()
{
    int fired = 0;
    // A handler that keeps re-arming itself with no interval could otherwise never let go.
    for (int guard = 0; guard < 100000; ++guard) {
        const uint64_t now = clock().tickMs();
        Timer* next = nullptr;
        for (Timer* t : liveTimers())
            if (t->enabled() && t->interval() > 0 && t->dueAt() <= now && (!next || t->dueAt() < next->dueAt()))
                next = t;
        if (!next)
            break;
        next->fire();
        ++fired;
    }
    return fired;
}

} // namespace platform
