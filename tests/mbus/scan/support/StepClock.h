#pragma once
// The scan engine's clock in tests: time moves only when the engine sleeps, and before it
// moves, the clock waits (in real time, briefly) until the stand-in gateway has answered every
// request and the engine has taken every answer. A scan of hundreds of reply windows then runs
// in milliseconds, and a reply is never late by accident.
#include "platform/process/Clock.h"

#include <QDateTime>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <mutex>
#include <thread>

namespace scantest {

class StepClock final : public platform::Clock {
public:
    explicit StepClock(uint64_t startMs = 1'000'000) : ms_(startMs) {}

    // Set before the engine exists.
    void setQuiet(std::function<bool()> quiet) { quiet_ = std::move(quiet); }
    // Runs on the engine's thread at each sleep, before time moves (a test's hand in the scan).
    void setOnSleep(std::function<void(int ms)> f)
    {
        std::lock_guard lk(m_);
        onSleep_ = std::move(f);
    }

    uint64_t tickMs() override { return ms_.load(); }
    void sleepMs(int ms) override
    {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(2);
        while (quiet_ && !quiet_() && std::chrono::steady_clock::now() < deadline)
            std::this_thread::sleep_for(std::chrono::microseconds(20));
        std::function<void(int)> hook;
        {
            std::lock_guard lk(m_);
            hook = onSleep_;
        }
        if (hook)
            hook(ms);
        ms_.fetch_add(static_cast<uint64_t>(ms > 0 ? ms : 0));
        sleeps_.fetch_add(1);
        std::this_thread::sleep_for(std::chrono::microseconds(30));
    }
    QDateTime now() override
    {
        return QDateTime(QDate(2024, 5, 17), QTime(8, 30)).addMSecs(static_cast<qint64>(ms_.load() % 86'400'000));
    }
    int sleeps() const { return sleeps_.load(); }

private:
    std::atomic<uint64_t> ms_;
    std::atomic<int> sleeps_{0};
    std::function<bool()> quiet_;
    std::mutex m_;
    std::function<void(int)> onSleep_;
};

} // namespace scantest
