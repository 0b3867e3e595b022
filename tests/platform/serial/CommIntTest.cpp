#include "platform/serial/CommInt.h"
#include "support/PseudoTerminal.h"
#include "support/Pump.h"
#include "support/TempDir.h"

#include <QCoreApplication>
#include <QThread>
#include <gtest/gtest.h>

#include <termios.h>

#include <atomic>
#include <thread>
#include <vector>

using namespace platform;
using testing_support::PseudoTerminal;
using testing_support::pumpFor;
using testing_support::pumpUntil;
using testing_support::TempDir;

namespace {

// The message and code of the ECommError that `f` raises; an empty message when it raises none.
template <class F>
std::pair<QString, int> commError(F f)
{
    try {
        f();
    } catch (const ECommError& e) {
        return {e.message(), e.ErrorCode()};
    }
    return {QString(), 0};
}

TEST(CommInt, FreshComponentHasTheDefaults)
{
    TComm c;
    EXPECT_EQ(c.DeviceName(), QStringLiteral("Com2"));
    EXPECT_EQ(c.BaudRate(), TBaudrate::br9600);
    EXPECT_EQ(c.Databits(), TDatabits::da8);
    EXPECT_EQ(c.Parity(), TParity::paNone);
    EXPECT_EQ(c.Stopbits(), TStopbits::sb10);
    EXPECT_EQ(c.FlowControl(), TFlowControl::fcDefault);
    EXPECT_EQ(c.ReadTimeout(), 1000);
    EXPECT_EQ(c.WriteTimeout(), 1000);
    EXPECT_EQ(c.ReadBufSize(), 4096);
    EXPECT_EQ(c.WriteBufSize(), 2048);
    EXPECT_EQ(c.MonitorEvents(), kAllCommEvents);
    EXPECT_EQ(c.Options(), 0u);
    EXPECT_EQ(c.EventChars().XonChar(), 17);
    EXPECT_EQ(c.EventChars().XoffChar(), 19);
    EXPECT_FALSE(c.Enabled());
}

TEST(CommInt, ClosedPortAnswersWithoutTouchingADevice)
{
    TComm c;
    EXPECT_EQ(c.InQueCount(), -1);
    EXPECT_EQ(c.OutQueCount(), -1);
    EXPECT_FALSE(c.CTS());
    EXPECT_FALSE(c.DSR());
    EXPECT_FALSE(c.RING());
    EXPECT_FALSE(c.RLSD());
    EXPECT_FALSE(c.CtsHold());
    EXPECT_FALSE(c.XoffHold());
    c.PurgeIn();
    c.PurgeOut();
    c.Close(); // nothing to close
    const std::pair<QString, int> notOpen{QStringLiteral("Port not open, unable to complete operation (Error: -1) "), -1};
    EXPECT_EQ(commError([&] { c.SetDTRState(true); }), notOpen);
    EXPECT_EQ(commError([&] { c.SetRTSState(false); }), notOpen);
    EXPECT_EQ(commError([&] { c.SetBREAKState(true); }), notOpen);
    EXPECT_EQ(commError([&] { c.SetXONState(true); }), notOpen);
}

TEST(CommInt, OpenRefusesWhatIsNoTerminalAndStaysClosed)
{
    TempDir dir;
    const QString file = dir.write(QStringLiteral("disk.bin"), "data");
    PseudoTerminal pty;
    TComm c;

    c.setDeviceName(file);
    EXPECT_EQ(commError([&] { c.Open(); }),
              std::make_pair(QStringLiteral("Invalid device handle, access denied (Error: -1) "), -1));
    EXPECT_FALSE(c.Enabled());

    c.setDeviceName(dir.file(QStringLiteral("missing")));
    EXPECT_EQ(commError([&] { c.Open(); }),
              std::make_pair(QStringLiteral("Error accessing specified device (Error: %1) ").arg(ENOENT), ENOENT));
    EXPECT_FALSE(c.Enabled());

    // A character device that is no terminal gets as far as the line settings: the handle and
    // the event thread must go again, or the next Open would be refused as already open.
    c.setDeviceName(QStringLiteral("/dev/null"));
    EXPECT_EQ(commError([&] { c.Open(); }),
              std::make_pair(QStringLiteral("Error updating CommTimeouts (Error: %1) ").arg(ENOTTY), ENOTTY));
    EXPECT_FALSE(c.Enabled());

    c.setDeviceName(pty.slavePath());
    c.Open();
    EXPECT_TRUE(c.Enabled());
    EXPECT_EQ(commError([&] { c.Open(); }), std::make_pair(QStringLiteral("Port already assigned (open) (Error: -1) "), -1));
    EXPECT_TRUE(c.Enabled());
    c.Close();
    EXPECT_FALSE(c.Enabled());
    c.Open(); // a closed port opens again
    EXPECT_TRUE(c.Enabled());
}

TEST(CommInt, SettersWhileOpenAndClosed)
{
    PseudoTerminal pty;
    TComm c;
    c.setDeviceName(pty.slavePath());
    c.setBaudRate(TBaudrate::br2400); // closed: only stored
    EXPECT_EQ(c.BaudRate(), TBaudrate::br2400);
    EXPECT_EQ(c.DCB().BaudRate, 0u);

    c.Open();
    EXPECT_EQ(c.DCB().BaudRate, 2400u);
    termios t{};
    ASSERT_EQ(::tcgetattr(c.Handle(), &t), 0);
    EXPECT_EQ(::cfgetospeed(&t), static_cast<speed_t>(B2400));

    c.setBaudRate(TBaudrate::br115200); // open: the port changes at once
    ASSERT_EQ(::tcgetattr(c.Handle(), &t), 0);
    EXPECT_EQ(::cfgetospeed(&t), static_cast<speed_t>(B115200));
    EXPECT_EQ(c.DCB().BaudRate, 115200u);

    // A rate without a code of its own still reaches the line.
    c.setBaudRate(TBaudrate::br14400);
    LineSettings line;
    int err = 0;
    ASSERT_TRUE(readLine(c.Handle(), line, err));
    EXPECT_EQ(line.ospeed, 14400u);

    // Raw line: no echo, no line editing, reads return at once.
    EXPECT_EQ(t.c_lflag & (ECHO | ICANON | ISIG), 0u);
    EXPECT_EQ(t.c_cc[VMIN], 0);

    c.setDeviceName(pty.slavePath()); // the same name: nothing to refuse
    EXPECT_EQ(commError([&] { c.setDeviceName(QStringLiteral("/dev/ttyS0")); }),
              std::make_pair(QStringLiteral("Port already assigned (open) (Error: -1) "), -1));
    EXPECT_EQ(commError([&] { c.setReadBufSize(100); }).second, -1);
    EXPECT_EQ(commError([&] { c.setMonitorEvents(evRxChar); }).second, -1);
    EXPECT_EQ(c.DeviceName(), pty.slavePath());

    c.setReadTimeout(5); // stored whatever the state
    EXPECT_EQ(c.ReadTimeout(), 5);
}

TEST(CommInt, FramingReachesTheLineSettings)
{
    // Pseudo-terminals drop parity and seven data bits, so the settings written are checked.
    PseudoTerminal pty;
    TComm c;
    c.setDeviceName(pty.slavePath());
    c.Open();
    c.setDatabits(TDatabits::da7);
    c.setParity(TParity::paEven);
    c.setStopbits(TStopbits::sb20);
    LineSettings w = c.WrittenLine();
    EXPECT_EQ(w.cflag & CSIZE, static_cast<uint32_t>(CS7));
    EXPECT_EQ(w.cflag & (PARENB | PARODD), static_cast<uint32_t>(PARENB));
    EXPECT_NE(w.cflag & CSTOPB, 0u);
    EXPECT_EQ(c.DCB().ByteSize, 7);
    EXPECT_EQ(c.DCB().Parity, 2);

    // fcNone resets the flag word first; the options are applied after it and still count.
    c.setOptions(coParityCheck | coNullStrip);
    c.setFlowControl(TFlowControl::fcNone);
    EXPECT_EQ(c.DCB().Flags, dcb::fBinary | dcb::fParity | dcb::fNull);
    EXPECT_NE(c.WrittenLine().iflag & INPCK, 0u);
    c.setFlowControl(TFlowControl::fcCTS);
    EXPECT_NE(c.WrittenLine().cflag & CRTSCTS, 0u);
    EXPECT_EQ(c.DCB().Flags & 0x2004u, 0x2004u);
    c.setFlowControl(TFlowControl::fcSoftware);
    EXPECT_EQ(c.WrittenLine().iflag & (IXON | IXOFF), static_cast<uint32_t>(IXON | IXOFF));

    c.EventChars().setXonChar(0x11 + 1); // an event character is applied at once
    EXPECT_EQ(c.WrittenLine().cc[VSTART], 0x12);

    // Four data bits exist on no line: the block is refused and the port keeps its settings.
    EXPECT_EQ(commError([&] { c.setDatabits(TDatabits::da4); }),
              std::make_pair(QStringLiteral("Error updating DataControlBlock (Error: %1) ").arg(EINVAL), EINVAL));
    EXPECT_EQ(c.WrittenLine().cflag & CSIZE, static_cast<uint32_t>(CS7));
}

TEST(CommInt, BlockTranslation)
{
    struct Case {
        uint8_t parity;
        uint32_t expected; // PARENB | PARODD | CMSPAR bits
    };
    for (const Case& k : {Case{0, 0u}, Case{1, PARENB | PARODD}, Case{2, PARENB}, Case{3, PARENB | PARODD | CMSPAR},
                          Case{4, PARENB | CMSPAR}}) {
        LineSettings s;
        TDCB d;
        d.BaudRate = 9600;
        d.Parity = k.parity;
        ASSERT_TRUE(dcbToLine(d, s));
        EXPECT_EQ(s.cflag & (PARENB | PARODD | CMSPAR), k.expected) << int(k.parity);
        EXPECT_EQ(lineToDcb(s, d).Parity, k.parity);
    }
    LineSettings s;
    TDCB d;
    d.BaudRate = 0;
    EXPECT_FALSE(dcbToLine(d, s));
    d.BaudRate = 300;
    d.ByteSize = 9;
    EXPECT_FALSE(dcbToLine(d, s));
    // Bits the line cannot carry stay with the block.
    d.ByteSize = 5;
    d.StopBits = 1;
    d.Flags = dcb::fBinary | dcb::fDsrSensitivity | dcb::fNull;
    ASSERT_TRUE(dcbToLine(d, s));
    const TDCB back = lineToDcb(s, d);
    EXPECT_EQ(back.Flags, d.Flags);
    EXPECT_EQ(back.StopBits, 1);
    EXPECT_EQ(back.ByteSize, 5);
    EXPECT_EQ(back.BaudRate, 300u);
}

TEST(CommInt, ReadAndWrite)
{
    PseudoTerminal pty;
    TComm c;
    c.setDeviceName(pty.slavePath());
    c.Open();
    EXPECT_EQ(c.Write("\x10\x40\xFF\x3F\x16", 5), 5);
    EXPECT_EQ(pty.read(5, 2000), QByteArray("\x10\x40\xFF\x3F\x16", 5));

    char buf[16] = {};
    EXPECT_EQ(c.Read(buf, sizeof buf), 0); // nothing queued: at once, no bytes
    pty.write(QByteArray("\xE5\x68", 2));
    ASSERT_TRUE(pumpUntil([&] { return c.InQueCount() == 2; }, 2000));
    EXPECT_EQ(c.Read(buf, 1), 1);
    EXPECT_EQ(buf[0], '\xE5');
    EXPECT_EQ(c.Read(buf, sizeof buf), 1);
    EXPECT_EQ(buf[0], '\x68');
    EXPECT_EQ(c.InQueCount(), 0);
    EXPECT_EQ(c.OutQueCount(), 0);
}

TEST(CommInt, WriteThatDoesNotFinishInTimeGivesMinusOne)
{
    PseudoTerminal pty; // nobody reads the master: the queue fills
    TComm c;
    c.setDeviceName(pty.slavePath());
    c.setWriteTimeout(50);
    c.Open();
    const std::vector<char> big(1 << 20, 'x');
    EXPECT_EQ(c.Write(big.data(), static_cast<int>(big.size())), -1);
    c.PurgeOut();
}

TEST(CommInt, ModemControlOnADeviceWithoutLines)
{
    PseudoTerminal pty;
    TComm c;
    c.setDeviceName(pty.slavePath());
    c.Open();
    EXPECT_FALSE(c.CTS()); // a pseudo-terminal reports no lines
    EXPECT_EQ(commError([&] { c.SetDTRState(true); }),
              std::make_pair(QStringLiteral("EscapeCommFunction failure (Error: %1) ").arg(ENOTTY), ENOTTY));
    c.SetXONState(true);
}

TEST(CommInt, RxCharRunsOnTheMainThreadWithTheQueuedCount)
{
    PseudoTerminal pty;
    TComm c;
    c.setDeviceName(pty.slavePath());
    std::vector<int> counts;
    bool onMain = true;
    QByteArray got;
    c.OnRxChar = [&](TCustomComm* sender, int count) {
        EXPECT_EQ(sender, &c);
        onMain = onMain && QThread::currentThread() == QCoreApplication::instance()->thread();
        counts.push_back(count);
        char buf[64];
        const int n = sender->Read(buf, sizeof buf);
        got.append(buf, n);
    };
    c.Open();
    pty.write("abc");
    ASSERT_TRUE(pumpUntil([&] { return got.size() == 3; }, 3000)) << got.toStdString() << " calls " << counts.size();
    EXPECT_TRUE(onMain);
    ASSERT_FALSE(counts.empty());
    EXPECT_GT(counts.front(), 0);
    pty.write("de");
    ASSERT_TRUE(pumpUntil([&] { return got.size() == 5; }, 3000));
    EXPECT_EQ(got, QByteArray("abcde"));
}

TEST(CommInt, RxCharIsNotCalledWhenTheQueueIsEmptyByThen)
{
    PseudoTerminal pty;
    TComm c;
    c.setDeviceName(pty.slavePath());
    int calls = 0;
    c.OnRxChar = [&](TCustomComm*, int) { ++calls; };
    c.Open();
    pty.write("xyz");
    // The event thread has seen the bytes and waits for this thread, which takes them first.
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    char buf[8];
    EXPECT_EQ(c.Read(buf, sizeof buf), 3);
    pumpFor(100);
    EXPECT_EQ(calls, 0);
    pty.write("1");
    EXPECT_TRUE(pumpUntil([&] { return calls == 1; }, 3000));
}

TEST(CommInt, CloseFromTheHandlerEndsTheEventThread)
{
    PseudoTerminal pty;
    TComm c;
    c.setDeviceName(pty.slavePath());
    bool closed = false;
    c.OnRxChar = [&](TCustomComm* sender, int) {
        sender->Close();
        closed = true;
    };
    c.Open();
    pty.write("!");
    ASSERT_TRUE(pumpUntil([&] { return closed; }, 3000));
    EXPECT_FALSE(c.Enabled());
    c.Open(); // and the port opens again
    EXPECT_TRUE(c.Enabled());
}

TEST(CommObjs, EventsResetByHandOrByTheWait)
{
    TEvent manual(true, false, QStringLiteral("EVENT_SCAN_DECODE_MBUS"));
    EXPECT_EQ(manual.Name(), QStringLiteral("EVENT_SCAN_DECODE_MBUS"));
    EXPECT_EQ(manual.WaitFor(0), TEventWaitResult::wrTimeout);
    manual.SetEvent();
    EXPECT_EQ(manual.WaitFor(0), TEventWaitResult::wrSignaled);
    EXPECT_EQ(manual.WaitFor(0), TEventWaitResult::wrSignaled); // stays signalled
    manual.ResetEvent();
    EXPECT_EQ(manual.WaitFor(10), TEventWaitResult::wrTimeout);

    TEvent automatic(false, true);
    EXPECT_EQ(automatic.WaitFor(0), TEventWaitResult::wrSignaled);
    EXPECT_EQ(automatic.WaitFor(0), TEventWaitResult::wrTimeout); // the wait took it

    TSimpleEvent e;
    std::thread t([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        e.SetEvent();
    });
    EXPECT_EQ(e.WaitFor(-1), TEventWaitResult::wrSignaled);
    t.join();
}

TEST(CommObjs, CallsRunOnTheMainThreadInOrderAndCancelReleasesTheWaiters)
{
    MainThreadCalls calls;
    std::vector<int> order;
    std::atomic<int> returned{0};
    std::thread a([&] {
        for (int i = 0; i < 50; ++i)
            if (calls.call([&order, i] { order.push_back(i); }))
                ++returned;
    });
    ASSERT_TRUE(pumpUntil([&] { return returned == 50; }, 5000));
    a.join();
    ASSERT_EQ(order.size(), 50u);
    for (int i = 0; i < 50; ++i)
        EXPECT_EQ(order[static_cast<size_t>(i)], i);

    // Nobody handles events: cancel releases the waiting caller, and its call never runs.
    bool ran = false;
    std::atomic<int> result{-1};
    std::thread b([&] { result = calls.call([&ran] { ran = true; }) ? 1 : 0; });
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    calls.cancel();
    b.join();
    EXPECT_EQ(result, 0);
    pumpFor(20);
    EXPECT_FALSE(ran);
    EXPECT_FALSE(calls.call([&ran] { ran = true; })); // cancelled, even on this thread
    calls.resume();
    EXPECT_TRUE(calls.call([&ran] { ran = true; }));
    EXPECT_TRUE(ran);
}

} // namespace
