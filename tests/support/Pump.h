#pragma once
// Lets the user-interface thread of a test handle its events until a condition holds, the way
// the program's event loop would while a worker thread reports to it.
#include <QCoreApplication>

#include <chrono>
#include <thread>

namespace testing_support {

// True when `done` held within `maxMs` milliseconds of real time.
template <class Pred>
bool pumpUntil(Pred done, int maxMs = 10000)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(maxMs);
    for (;;) {
        QCoreApplication::processEvents();
        if (done())
            return true;
        if (std::chrono::steady_clock::now() >= deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::microseconds(200));
    }
}

// Handles events for `ms` milliseconds of real time.
inline void pumpFor(int ms)
{
    pumpUntil([] { return false; }, ms);
}

} // namespace testing_support
