#pragma once
// A window timer: while enabled it calls `onTimer` every `interval` milliseconds on the
// user-interface thread. Enabling it, or setting its interval while it is enabled, starts the
// count afresh; disabling it stops it. Whether the handler disables or re-arms it, the next
// firing is counted from the moment the handler made that change.
//
// The time of the next firing is kept on platform::clock(), so tests can run the timers by
// hand: with manual timers on (ManualTimers), no timer fires by itself, and
// `fireDueTimers()` fires those whose time has come on the clock.
#include <QObject>
#include <cstdint>
#include <functional>

class QTimer;

namespace platform {

class Timer : public QObject {
    Q_OBJECT
public:
    explicit Timer(QObject* parent = nullptr);
    ~Timer() override;

    bool enabled() const { return enabled_; }
    void setEnabled(bool on);
    int interval() const { return interval_; }
    void setInterval(int ms);
    // The clock's tick of the next firing, while enabled.
    uint64_t dueAt() const { return dueAt_; }

    std::function<void()> onTimer;

    // Runs the handler as a firing would.
    void fire();

private:
    friend class ManualTimers;
    void restart();

    bool enabled_ = false;
    int interval_ = 1000;
    uint64_t dueAt_ = 0;
    QTimer* timer_ = nullptr;
};

// Test mode: while an object of this class lives, timers do not fire by themselves.
class ManualTimers {
public:
    ManualTimers();
    ~ManualTimers();
    ManualTimers(const ManualTimers&) = delete;
    ManualTimers& operator=(const ManualTimers&) = delete;
};

// Fires, one at a time and earliest first, every enabled timer whose time has come on the
// clock; a timer that a handler re-arms is fired again only when its new time has come too.
// Returns the number of firings.
int fireDueTimers();

} // namespace platform
