#include <QDialog>
#include <QTimer>
#include <QWidget>
#include <gtest/gtest.h>

#include "platform/ui/StartProgram.h"
#include "support/FakeDialogs.h"
#include "support/FakeProcess.h"

using namespace platform;
using namespace testing_support;

TEST(StartProgramTest, AProgramThatEndsAtOnceReturnsAfterAbout10Ms)
{
    FakeClock clock;
    FakeProcesses processes;
    FakeMessageBoxes boxes;
    EXPECT_TRUE(Start_Program(QStringLiteral("/opt/varnetor/TCP_30115_Update.exe"),
                              {QStringLiteral("192.168.2.205"), QStringLiteral("2007")}, true));
    EXPECT_EQ(clock.sleptMs(), 10u);
    ASSERT_EQ(processes.started().size(), 1u);
    EXPECT_EQ(processes.started()[0].workingFolder, QStringLiteral("/opt/varnetor"));
    EXPECT_TRUE(boxes.shown().empty());
}

TEST(StartProgramTest, AProgramThatNeverEndsIsWaitedFor150SecondsWhileTimersStillRun)
{
    FakeClock clock;
    FakeProcesses processes;
    processes.pollsUntilEnd = -1;
    int timerRuns = 0;
    QTimer timer;
    timer.setInterval(0);
    QObject::connect(&timer, &QTimer::timeout, [&] { ++timerRuns; });
    timer.start();
    EXPECT_TRUE(Start_Program(QStringLiteral("/opt/u/Ethernet_Update.exe"), {}, false));
    EXPECT_EQ(clock.sleptMs(), 150000u);
    EXPECT_GT(timerRuns, 0) << "the event loop is served while waiting";
}

TEST(StartProgramTest, AMissingProgramIsReportedByItsFileName)
{
    FakeClock clock;
    FakeMessageBoxes boxes;
    EXPECT_FALSE(Start_Program(QStringLiteral("/nonexistent/folder/Ser_30102_Update.exe"), {}, true));
    ASSERT_EQ(boxes.shown().size(), 1u);
    EXPECT_EQ(boxes.shown()[0].kind, MsgKind::Error);
    EXPECT_TRUE(boxes.shown()[0].text.contains(QStringLiteral("/nonexistent/folder/Ser_30102_Update.exe")));
    EXPECT_EQ(clock.sleeps(), 0);
}

namespace {

// Shows each box as a real dialog and presses its OK (a dialog ends with a close event, as the
// message box does), recording whether the box closed and whether another window could.
class ClosingBoxes final : public MessageBoxes {
public:
    ClosingBoxes() : previous_(&messageBoxes()) { setMessageBoxes(this); }
    ~ClosingBoxes() override { setMessageBoxes(previous_ == this ? nullptr : previous_); }
    MsgAnswer show(MsgKind, const QString&, const QString&) override
    {
        ++shown;
        QDialog box;
        QTimer::singleShot(0, &box, [&box] { box.accept(); });
        // A bound, so that a box that cannot close fails the test instead of hanging it.
        bool stuck = false;
        QTimer::singleShot(2000, &box, [&box, &stuck] {
            stuck = true;
            box.setVisible(false);
        });
        box.exec();
        boxClosedByOk = !stuck && box.result() == QDialog::Accepted;
        QWidget other;
        other.show();
        otherWindowCloses = other.close();
        return MsgAnswer::Ok;
    }
    int shown = 0;
    bool boxClosedByOk = false;
    bool otherWindowCloses = false;

private:
    MessageBoxes* previous_;
};

} // namespace

TEST(StartProgramTest, TheBoxOfAMissingProgramClosesWithItsOkAndLeavesTheWindowsUsable)
{
    FakeClock clock;
    ClosingBoxes boxes;
    QWidget wizard;
    wizard.show();
    EXPECT_FALSE(Start_Program(QStringLiteral("/nonexistent/folder/Ethernet_Update.exe"), {}, false));
    ASSERT_EQ(boxes.shown, 1);
    EXPECT_TRUE(boxes.boxClosedByOk) << "the box closes with OK";
    EXPECT_TRUE(boxes.otherWindowCloses);
    EXPECT_TRUE(wizard.close()) << "the wizard takes input again";
}

TEST(StartProgramTest, TheWindowThatStartedTheProgramCannotBeClosedWhileItRuns)
{
    FakeClock clock;
    FakeProcesses processes;
    processes.pollsUntilEnd = 5;
    QWidget wizard;
    wizard.show();
    int closeRequests = 0;
    QTimer timer;
    timer.setInterval(0);
    QObject::connect(&timer, &QTimer::timeout, [&] {
        ++closeRequests;
        wizard.close();
    });
    timer.start();
    EXPECT_TRUE(Start_Program(QStringLiteral("/opt/u/Ethernet_Update.exe"), {}, false));
    timer.stop();
    EXPECT_GT(closeRequests, 0);
    EXPECT_TRUE(wizard.isVisible());
    // Once the program has ended, the window closes as usual.
    EXPECT_TRUE(wizard.close());
    EXPECT_FALSE(wizard.isVisible());
}
