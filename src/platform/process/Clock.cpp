#include "platform/process/Clock.h"

#include <QElapsedTimer>
#include <QThread>

namespace platform {

namespace {
class SystemClock final : public Clock {
public:
    SystemClock() { timer_.start(); }
    uint64_t tickMs() override { return static_cast<uint64_t>(timer_.elapsed()); }
    void sleepMs(int ms) override
    {
        if (ms > 0)
            QThread::msleep(static_cast<unsigned long>(ms));
    }
    QDateTime now() override { return QDateTime::currentDateTime(); }

private:
    QElapsedTimer timer_; // monotonic
};

SystemClock& systemClock()
{
    static SystemClock c;
    return c;
}

Clock* g_clock = nullptr;
} // namespace

Clock& clock() { return g_clock ? *g_clock : systemClock(); }
void setClock(Clock* c) { g_clock = c; }

} // namespace platform
