#pragma once
// Time goes through this service so that waits (the updater's 150 s, a ping's time-out) take
// milliseconds in tests. The default is the system's monotonic clock.
#include <QDateTime>
#include <cstdint>

namespace platform {

class Clock {
public:
    virtual ~Clock() = default;
    virtual uint64_t tickMs() = 0;      // monotonic milliseconds
    virtual void sleepMs(int ms) = 0;   // blocks the calling thread
    virtual QDateTime now() = 0;        // local date and time
};

Clock& clock();
void setClock(Clock* c); // nullptr restores the system clock

} // namespace platform
