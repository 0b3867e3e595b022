#include "update/PingCheck.h"

#include "FakePinger.h"
#include "support/FakeProcess.h"
#include "support/QtPrinters.h"

#include <gtest/gtest.h>

using namespace update;
using platform::EchoStatus;
using testing_support::FakeClock;

namespace {
const QString kAddress = QStringLiteral("192.168.2.205");
}

TEST(PingCheck, AnsweringGatewayIsFoundAfterTheSecondAnswer)
{
    FakeClock clock;
    FakePinger pinger(clock);
    pinger.script = [](int) { return EchoStatus::Answered; };
    int serviced = 0;
    const uint64_t start = clock.tickMs();
    const PingCheckResult r = runPingCheck(pinger, clock, kAddress, [&] { ++serviced; });
    EXPECT_EQ(r.outcome, PingOutcome::Found);
    EXPECT_EQ(r.echoes, 2);
    EXPECT_EQ(serviced, 2); // the window is served between echoes
    EXPECT_LT(clock.tickMs() - start, 1000u);
    EXPECT_EQ(pinger.addresses, QStringList({kAddress, kAddress}));
    EXPECT_EQ(pinger.timeouts, std::vector<int>({400, 400}));
}

TEST(PingCheck, SilentGatewayIsNotFoundAfterTenSeconds)
{
    FakeClock clock;
    FakePinger pinger(clock);
    const uint64_t start = clock.tickMs();
    const PingCheckResult r = runPingCheck(pinger, clock, kAddress);
    EXPECT_EQ(r.outcome, PingOutcome::NotFound);
    EXPECT_EQ(r.answered, 0);
    // Each silent echo costs its 400 ms time-out and a 10 ms pause: the check stops at the
    // first echo that ends more than 10 s after the start.
    EXPECT_EQ(r.echoes, 25);
    EXPECT_GT(clock.tickMs() - start, 10000u);
    EXPECT_LE(clock.tickMs() - start, 10000u + 410u);
}

TEST(PingCheck, OnlyTheLastEchoDecides)
{
    struct Case {
        const char* name;
        std::function<EchoStatus(int)> script;
        PingOutcome expected;
        int echoes;
        int replyMs = 2;
    };
    const Case cases[] = {
        // One answer early, then silence: two answers are never reached and the last is silent.
        {"answer then silence", [](int n) { return n == 0 ? EchoStatus::Answered : EchoStatus::NoAnswer; },
         PingOutcome::NotFound, 26},
        // Silence until the last echo before the 10 s run out, answered slowly: one answer is
        // enough then.
        {"answer only at the end", [](int n) { return n == 24 ? EchoStatus::Answered : EchoStatus::NoAnswer; },
         PingOutcome::Found, 25, 390},
        // Answers need not follow each other.
        {"answers apart", [](int n) { return (n == 1 || n == 4) ? EchoStatus::Answered : EchoStatus::NoAnswer; },
         PingOutcome::Found, 5},
    };
    for (const Case& c : cases) {
        FakeClock clock;
        FakePinger pinger(clock);
        pinger.script = c.script;
        pinger.replyMs = c.replyMs;
        const PingCheckResult r = runPingCheck(pinger, clock, kAddress);
        EXPECT_EQ(r.outcome, c.expected) << c.name;
        EXPECT_EQ(r.echoes, c.echoes) << c.name;
    }
}

TEST(PingCheck, ErrorEndsTheCheckAtOnce)
{
    FakeClock clock;
    FakePinger pinger(clock);
    pinger.script = [](int n) { return n == 1 ? EchoStatus::Error : EchoStatus::Answered; };
    const PingCheckResult r = runPingCheck(pinger, clock, kAddress);
    EXPECT_EQ(r.outcome, PingOutcome::Error);
    EXPECT_EQ(r.echoes, 2);
    EXPECT_EQ(r.error, QStringLiteral("no route"));
}
