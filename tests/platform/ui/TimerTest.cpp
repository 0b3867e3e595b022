#include "platform/ui/Timer.h"
#include "support/FakeProcess.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>
#include <gtest/gtest.h>
#include <vector>

using platform::Timer;
using testing_support::FakeClock;

TEST(Timer, ManualTimersFireWhenTheirTimeHasComeOnTheClock)
{
    FakeClock clock;
    platform::ManualTimers manual;
    Timer t;
    std::vector<uint64_t> firedAt;
    t.onTimer = [&] { firedAt.push_back(clock.tickMs()); };
    t.setInterval(100);
    EXPECT_EQ(platform::fireDueTimers(), 0) << "a disabled timer never fires";
    const uint64_t start = clock.tickMs();
    t.setEnabled(true);
    clock.advance(99);
    EXPECT_EQ(platform::fireDueTimers(), 0);
    clock.advance(1);
    EXPECT_EQ(platform::fireDueTimers(), 1);
    clock.advance(100);
    EXPECT_EQ(platform::fireDueTimers(), 1);
    EXPECT_EQ(firedAt, (std::vector<uint64_t>{start + 100, start + 200}));

    // A new interval while enabled counts from the change.
    clock.advance(50);
    t.setInterval(30);
    clock.advance(29);
    EXPECT_EQ(platform::fireDueTimers(), 0);
    clock.advance(1);
    EXPECT_EQ(platform::fireDueTimers(), 1);
    t.setEnabled(false);
    clock.advance(1000);
    EXPECT_EQ(platform::fireDueTimers(), 0);
}

TEST(Timer, AHandlerThatReArmsCountsFromTheEndOfItsWork)
{
    FakeClock clock;
    platform::ManualTimers manual;
    Timer t;
    std::vector<uint64_t> firedAt;
    t.onTimer = [&] {
        firedAt.push_back(clock.tickMs());
        t.setEnabled(false);
        clock.advance(7); // the handler's work takes time
        t.setInterval(500);
        t.setEnabled(true);
    };
    t.setInterval(100);
    t.setEnabled(true);
    const uint64_t start = clock.tickMs();
    clock.advance(100);
    EXPECT_EQ(platform::fireDueTimers(), 1);
    clock.advance(499);
    EXPECT_EQ(platform::fireDueTimers(), 0);
    clock.advance(1);
    EXPECT_EQ(platform::fireDueTimers(), 1);
    EXPECT_EQ(firedAt, (std::vector<uint64_t>{start + 100, start + 607}));
}

TEST(Timer, SystemTimersFireByThemselves)
{
    Timer t;
    QEventLoop loop;
    int fired = 0;
    t.onTimer = [&] {
        if (++fired == 2)
            loop.quit();
    };
    t.setInterval(10);
    t.setEnabled(true);
    QTimer::singleShot(5000, &loop, &QEventLoop::quit);
    loop.exec();
    EXPECT_EQ(fired, 2);
}
