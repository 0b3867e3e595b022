#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <gtest/gtest.h>

#include "platform/process/Clock.h"
#include "platform/process/Process.h"
#include "support/FakeProcess.h"
#include "support/TempDir.h"

using namespace platform;
using testing_support::TempDir;

namespace {

QString shell() { return QStandardPaths::findExecutable(QStringLiteral("sh")); }

// Polls until the program ends, at most ~10 s of wall time.
bool waitEnd(RunningProcess& p)
{
    for (int i = 0; i < 1000; ++i) {
        if (p.finished())
            return true;
        platform::clock().sleepMs(10);
    }
    return false;
}

} // namespace

TEST(SystemClock, TicksAreMonotonicAndSleepWaits)
{
    const uint64_t a = platform::clock().tickMs();
    platform::clock().sleepMs(30);
    const uint64_t b = platform::clock().tickMs();
    EXPECT_GE(b - a, 25u);
    EXPECT_TRUE(platform::clock().now().isValid());
}

TEST(FakeClockTest, InstallsItselfAndRestoresTheSystemClock)
{
    Clock* system = &platform::clock();
    {
        testing_support::FakeClock fake;
        EXPECT_EQ(&platform::clock(), &fake);
        const uint64_t t = platform::clock().tickMs();
        platform::clock().sleepMs(150000);
        EXPECT_EQ(platform::clock().tickMs() - t, 150000u);
    }
    EXPECT_EQ(&platform::clock(), system);
}

TEST(ProcessLauncherTest, RunsAProgramAndReadsItsExitCode)
{
    ASSERT_FALSE(shell().isEmpty());
    QString error;
    auto p = processes().start(shell(), {QStringLiteral("-c"), QStringLiteral("exit 3")}, {}, &error);
    ASSERT_NE(p, nullptr) << error.toStdString();
    ASSERT_TRUE(waitEnd(*p));
    EXPECT_EQ(p->exitCode(), 3);
}

TEST(ProcessLauncherTest, ArgumentsArePassedLiterallyNeverThroughAShell)
{
    // `printf` gets the text as one argument; a shell would run the command after ";".
    TempDir dir;
    const QString marker = dir.file(QStringLiteral("made"));
    const QString printfProgram = QStandardPaths::findExecutable(QStringLiteral("printf"));
    ASSERT_FALSE(printfProgram.isEmpty());
    QString error;
    auto p = processes().start(printfProgram, {QStringLiteral("x; touch ") + marker + QStringLiteral(" $(id)")},
                               dir.path(), &error);
    ASSERT_NE(p, nullptr) << error.toStdString();
    ASSERT_TRUE(waitEnd(*p));
    EXPECT_FALSE(QFile::exists(marker));
}

TEST(ProcessLauncherTest, RunsInTheGivenWorkingFolder)
{
    TempDir dir;
    QString error;
    auto p = processes().start(shell(), {QStringLiteral("-c"), QStringLiteral("echo here > where.txt")},
                               dir.path(), &error);
    ASSERT_NE(p, nullptr) << error.toStdString();
    ASSERT_TRUE(waitEnd(*p));
    EXPECT_TRUE(dir.exists(QStringLiteral("where.txt")));
}

TEST(ProcessLauncherTest, MissingOrUnstartableProgramGivesNoProcessAndAReason)
{
    TempDir dir;
    const QString notExecutable = dir.write(QStringLiteral("updater.exe"), "not a program");
    struct Case {
        const char* what;
        QString program;
    } cases[] = {
        {"missing file", dir.file(QStringLiteral("missing.exe"))},
        {"folder", dir.path()},
        {"empty name", QString()},
        {"not executable", notExecutable},
    };
    for (const Case& c : cases) {
        QString error;
        auto p = processes().start(c.program, {}, {}, &error);
        EXPECT_EQ(p, nullptr) << c.what;
        EXPECT_FALSE(error.isEmpty()) << c.what;
    }
}

TEST(ProcessLauncherTest, AProgramStillRunningIsNotKilledWhenLetGo)
{
    // An updater that outlives the wait must go on: dropping the handle leaves it running.
    TempDir dir;
    const QString done = dir.file(QStringLiteral("done"));
    QString error;
    {
        auto p = processes().start(shell(), {QStringLiteral("-c"), QStringLiteral("sleep 0.3; touch \"$0\""), done},
                                   {}, &error);
        ASSERT_NE(p, nullptr) << error.toStdString();
        EXPECT_FALSE(p->finished());
    }
    for (int i = 0; i < 300 && !QFile::exists(done); ++i)
        platform::clock().sleepMs(10);
    EXPECT_TRUE(QFile::exists(done));
}

TEST(ProcessLauncherTest, RefusesAddressesThatAreNotUrls)
{
    EXPECT_FALSE(processes().openUrl(QString()));
    EXPECT_FALSE(processes().openUrl(QStringLiteral("no scheme here")));
}

TEST(StartAndWaitTest, ProgramThatEndsAtOnceReturnsAfterOnePause)
{
    testing_support::FakeClock fakeClock;
    testing_support::FakeProcesses fake;
    fake.pollsUntilEnd = 0;
    fake.exitCode = 4;
    int pumps = 0;
    const WaitOutcome out = startAndWait(QStringLiteral("/opt/u/TCP_30115_Update.exe"),
                                         {QStringLiteral("192.168.2.205"), QStringLiteral("2007")},
                                         QStringLiteral("/opt/u"), 150000, [&] { ++pumps; });
    EXPECT_EQ(out.kind, WaitOutcome::Ended);
    EXPECT_EQ(out.exitCode, 4);
    EXPECT_EQ(fakeClock.sleptMs(), 10u);
    EXPECT_EQ(pumps, 1);
    ASSERT_EQ(fake.started().size(), 1u);
    EXPECT_EQ(fake.started()[0].arguments, (QStringList{"192.168.2.205", "2007"}));
    EXPECT_EQ(fake.started()[0].workingFolder, QStringLiteral("/opt/u"));
}

TEST(StartAndWaitTest, ProgramThatNeverEndsIsLeftAfterTheCap)
{
    testing_support::FakeClock fakeClock;
    testing_support::FakeProcesses fake;
    fake.pollsUntilEnd = -1;
    int pumps = 0;
    const WaitOutcome out = startAndWait(QStringLiteral("u"), {}, {}, 150000, [&] { ++pumps; });
    EXPECT_EQ(out.kind, WaitOutcome::TimedOut);
    EXPECT_EQ(fakeClock.sleptMs(), 150000u);
    EXPECT_EQ(fake.polls(), 15001);
    EXPECT_EQ(pumps, 15000) << "the windows are served after every pause";
}

TEST(StartAndWaitTest, ProgramThatEndsAfterSomePollsIsWaitedFor)
{
    testing_support::FakeClock fakeClock;
    testing_support::FakeProcesses fake;
    fake.pollsUntilEnd = 30;
    const WaitOutcome out = startAndWait(QStringLiteral("u"), {}, {}, 150000);
    EXPECT_EQ(out.kind, WaitOutcome::Ended);
    EXPECT_EQ(fakeClock.sleptMs(), 310u);
}

TEST(StartAndWaitTest, StartFailureReturnsAtOnceWithTheReason)
{
    testing_support::FakeClock fakeClock;
    testing_support::FakeProcesses fake;
    fake.failWith = QStringLiteral("No such file");
    const WaitOutcome out = startAndWait(QStringLiteral("u"), {}, {}, 150000);
    EXPECT_EQ(out.kind, WaitOutcome::NotStarted);
    EXPECT_EQ(out.error, QStringLiteral("No such file"));
    EXPECT_EQ(fakeClock.sleeps(), 0);
}

TEST(StartAndWaitTest, RealProgramEndsTheWait)
{
    const WaitOutcome out = startAndWait(shell(), {QStringLiteral("-c"), QStringLiteral("exit 0")}, {}, 150000);
    EXPECT_EQ(out.kind, WaitOutcome::Ended);
    EXPECT_EQ(out.exitCode, 0);
}
