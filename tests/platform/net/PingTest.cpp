// Real echoes go to the loopback address only.
#include "platform/net/Ping.h"
#include "support/FakeProcess.h"
#include "support/QtPrinters.h"

#include <gtest/gtest.h>
#include <utility>

using namespace platform;
using testing_support::FakeClock;
using testing_support::FakeProcesses;

namespace {
const QString kLoopback = QStringLiteral("127.0.0.1");
}

TEST(Ping, SystemPingerFindsTheLoopbackAddress)
{
    const EchoResult r = pinger().echo(kLoopback, 400);
    EXPECT_EQ(r.status, EchoStatus::Answered) << r.error.toStdString();
}

TEST(Ping, DatagramSocketAnswersOrIsRefusedBySystemPolicy)
{
    bool refused = true;
    const EchoResult r = echoBySocket(kLoopback, 400, &refused);
    if (refused) {
        EXPECT_EQ(r.status, EchoStatus::Error);
        GTEST_SKIP() << "this system allows no unprivileged ICMP sockets (net.ipv4.ping_group_range)";
    }
    EXPECT_EQ(r.status, EchoStatus::Answered) << r.error.toStdString();
}

TEST(Ping, PingProgramFindsTheLoopbackAddress)
{
    const EchoResult r = echoByProgram(kLoopback, 400);
    EXPECT_EQ(r.status, EchoStatus::Answered) << r.error.toStdString();
}

TEST(Ping, PingProgramGetsOneEchoWithAWholeSecondWaitAndItsExitStatusDecides)
{
    struct Case {
        int timeoutMs;
        int exitCode;
        const char* wait;
        EchoStatus expected;
    };
    const Case cases[] = {
        {400, 0, "1", EchoStatus::Answered},
        {400, 1, "1", EchoStatus::NoAnswer},
        {400, 2, "1", EchoStatus::Error},
        {1000, 0, "1", EchoStatus::Answered},
        {1001, 1, "2", EchoStatus::NoAnswer},
    };
    for (const Case& c : cases) {
        FakeClock clock;
        FakeProcesses launcher;
        launcher.pollsUntilEnd = 3;
        launcher.exitCode = c.exitCode;
        const EchoResult r = echoByProgram(QStringLiteral("192.168.2.205"), c.timeoutMs);
        EXPECT_EQ(r.status, c.expected) << c.timeoutMs << " " << c.exitCode;
        ASSERT_EQ(launcher.started().size(), 1u);
        EXPECT_TRUE(launcher.started()[0].program.endsWith(QStringLiteral("/ping")));
        EXPECT_EQ(launcher.started()[0].arguments,
                  QStringList({QStringLiteral("-c"), QStringLiteral("1"), QStringLiteral("-W"),
                               QString::fromLatin1(c.wait), QStringLiteral("192.168.2.205")}));
    }
}

TEST(Ping, PingProgramThatDoesNotEndIsNoAnswerTwoSecondsAfterItsOwnWait)
{
    for (const auto& [timeoutMs, capMs] : {std::pair{400, 3000u}, std::pair{2500, 5000u}}) {
        FakeClock clock;
        FakeProcesses launcher;
        launcher.pollsUntilEnd = -1;
        const EchoResult r = echoByProgram(kLoopback, timeoutMs);
        EXPECT_EQ(r.status, EchoStatus::NoAnswer) << timeoutMs;
        EXPECT_EQ(clock.sleptMs(), capMs) << timeoutMs;
    }
}

TEST(Ping, PingProgramThatCannotStartIsAnError)
{
    FakeClock clock;
    FakeProcesses launcher;
    launcher.failWith = QStringLiteral("no such file");
    const EchoResult r = echoByProgram(kLoopback, 400);
    EXPECT_EQ(r.status, EchoStatus::Error);
    EXPECT_TRUE(r.error.contains(QStringLiteral("no such file")));
}

TEST(Ping, OnlyDottedDecimalAddressesAreEchoed)
{
    // Names are never looked up, and nothing reaches the ping program that it could take for
    // an option.
    const char* bad[] = {"", "-f", "localhost", "1.2.3", "256.1.1.1", "1.2.3.4 -f", "::1", "1.2.3.4\n"};
    for (const char* text : bad) {
        FakeProcesses launcher;
        EXPECT_EQ(echoByProgram(QString::fromLatin1(text), 400).status, EchoStatus::Error) << text;
        EXPECT_TRUE(launcher.started().empty()) << text;
        bool refused = true;
        EXPECT_EQ(echoBySocket(QString::fromLatin1(text), 400, &refused).status, EchoStatus::Error) << text;
        EXPECT_FALSE(refused) << text;
    }
}

TEST(Ping, InstalledPingerIsUsedUntilRemoved)
{
    struct Never final : Pinger {
        int calls = 0;
        EchoResult echo(const QString&, int) override
        {
            ++calls;
            return {EchoStatus::NoAnswer, {}};
        }
    } never;
    setPinger(&never);
    EXPECT_EQ(pinger().echo(kLoopback, 400).status, EchoStatus::NoAnswer);
    EXPECT_EQ(never.calls, 1);
    setPinger(nullptr);
    EXPECT_EQ(pinger().echo(kLoopback, 400).status, EchoStatus::Answered);
}
