// The wired scan against the stand-in gateway on 127.0.0.1.
#include "Hex.h"
#include "platform/xml/XmlDom.h"
#include "support/QtPrinters.h"
#include "support/ScanFixture.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

using namespace mbus::scan;
using namespace scantest;
using mbustest::bytes;
using mbustest::hexOf;

namespace {

std::vector<std::string> hexOfAll(const std::vector<std::vector<uint8_t>>& ds)
{
    std::vector<std::string> out;
    for (const std::vector<uint8_t>& d : ds) {
        const std::string text = asText(d);
        const bool printable = !d.empty() && std::all_of(d.begin(), d.end(), [](uint8_t c) { return c >= 0x20 && c < 0x7F; });
        out.push_back(printable ? text : hexOf(d));
    }
    return out;
}

std::vector<Note> primaryNotes(std::initializer_list<int> found)
{
    std::vector<Note> n{{1, 0, 0, 1}};
    for (int a = 0; a <= 250; ++a)
        n.push_back({2, a, std::find(found.begin(), found.end(), a) != found.end() ? 1 : 0, 1});
    n.push_back({3, 0, 0, 1});
    return n;
}

class PrimaryScan : public ::testing::TestWithParam<uint64_t> {};

// The second start puts the 32-bit tick counter's wrap a few addresses into the scan.
INSTANTIATE_TEST_SUITE_P(Clock, PrimaryScan, ::testing::Values(uint64_t{1'000'000}, (uint64_t{1} << 32) - 10'000));

TEST_P(PrimaryScan, ReportsEveryAddressAndFilesTheMetersThatAnswer)
{
    UdpScan s({}, GetParam());
    s.gw.setMeters({meterAt(5, 0x11111111), meterAt(7, 0x22222222)});
    ASSERT_TRUE(s.startPrimary());
    ASSERT_TRUE(s.runToEnd());

    EXPECT_EQ(s.notes, primaryNotes({5, 7}));
    EXPECT_EQ(s.engine->Result(), 1);
    EXPECT_FALSE(s.engine->InScan());
    s.lists.List_Slave_MBus.with([](const std::vector<TSlave_MBus>& list) {
        ASSERT_EQ(list.size(), 2u);
        EXPECT_EQ(list[0].Primary_Addresss, 5);
        EXPECT_EQ(list[0].Secondary_Addresss, QStringLiteral("11111111"));
        EXPECT_EQ(list[0].descManufacture, QStringLiteral("KAM"));
        EXPECT_EQ(TMBusScanDecode::Trova_Man(static_cast<int>(list[0].Manufacture)), QStringLiteral("KAM"));
        EXPECT_EQ(list[0].List_Var.size(), 4u);
        EXPECT_EQ(list[1].Primary_Addresss, 7);
    });
    const std::vector<std::string> texts = s.gw.receivedTexts();
    ASSERT_FALSE(texts.empty());
    EXPECT_EQ(texts.front(), "Ostrel_Enable_Analyzer_Mode");
    EXPECT_EQ(texts.back(), "Ostrel_Disable_Analyzer_Mode");
    // 251 requests, one per address, and the broadcast link reset before them.
    EXPECT_EQ(texts.size(), 1u + 1u + 251u + 1u);
}

TEST(WiredScan, BytesOnTheWireAndStopAfterTheCurrentMeter)
{
    struct Case {
        bool fixC;
        const char* appReset0;
        const char* appReset1;
        const char* req0;
        const char* req1;
    };
    const Case cases[] = {
        {false, "68 03 03 68 73 00 50 C3 16", "68 03 03 68 73 01 50 C4 16", "10 7B 00 7B 16", "10 7B 01 7C 16"},
        {true, "68 03 03 68 53 00 50 A3 16", "68 03 03 68 53 01 50 A4 16", "10 5B 00 5B 16", "10 5B 01 5C 16"},
    };
    for (const Case& c : cases) {
        UdpScan s;
        s.gw.setMeters({meterAt(1, 0x00000001)});
        s.onNote = [&](const Note& n) {
            if (n[0] == 2 && n[1] == 1)
                s.engine->Stop_Scan();
        };
        ASSERT_TRUE(s.startPrimary(1, true, true, c.fixC, 0));
        ASSERT_TRUE(s.runToEnd());
        const std::vector<std::string> expected{
            "Ostrel_Enable_Analyzer_Mode", "10 40 FF 3F 16",
            c.appReset0, "10 40 00 40 16", c.req0,
            c.appReset1, "10 40 01 41 16", c.req1,
            "Ostrel_Disable_Analyzer_Mode"};
        EXPECT_EQ(hexOfAll(s.gw.received()), expected) << "fixed C field " << c.fixC;
        EXPECT_EQ(s.notes, (std::vector<Note>{{1, 0, 0, 1}, {2, 0, 0, 1}, {2, 1, 1, 1}, {3, 0, 0, 1}}));
    }
}

TEST(WiredScan, ReadsFramesUpToCutAfterWithTheFcbToggled)
{
    const std::vector<uint8_t> more = mbustest::concat({bytes(mbustest::kMeterRecords), {0x1F}});
    const std::vector<uint8_t> last = bytes(mbustest::kMeterRecords);
    struct Case {
        int cutAfter;
        std::vector<std::vector<uint8_t>> frames;
        std::vector<std::string> requests;
    };
    const Case cases[] = {
        {3, {more, more, more, more}, {"10 7B 05 80 16", "10 5B 05 60 16", "10 7B 05 80 16"}},
        {5, {more, last}, {"10 7B 05 80 16", "10 5B 05 60 16"}},
        {1, {more, more}, {"10 7B 05 80 16"}},
        {0, {more, more}, {"10 7B 05 80 16"}},
    };
    for (const Case& c : cases) {
        UdpScan s;
        SimMeter m = meterAt(5, 0x55555555);
        m.frames = c.frames;
        s.gw.setMeters({m});
        s.onNote = [&](const Note& n) {
            if (n[0] == 2 && n[1] == 5)
                s.engine->Stop_Scan();
        };
        ASSERT_TRUE(s.startPrimary(c.cutAfter));
        ASSERT_TRUE(s.runToEnd());
        std::vector<std::string> toFive;
        for (const std::vector<uint8_t>& d : s.gw.received())
            if (d.size() == 5 && d[2] == 0x05 && d[1] != 0x40)
                toFive.push_back(hexOf(d));
        EXPECT_EQ(toFive, c.requests) << "Cut_After " << c.cutAfter;
        s.lists.List_Slave_MBus.with([&](const std::vector<TSlave_MBus>& list) {
            ASSERT_EQ(list.size(), 1u); // every frame went into one meter
            EXPECT_EQ(list[0].List_Var.size(), 4u * c.requests.size());
        });
        EXPECT_EQ(s.notes.back(), (Note{3, 0, 0, 1}));
        EXPECT_EQ(s.notes[s.notes.size() - 2], (Note{2, 5, 1, 1}));
    }
}

TEST(WiredScan, SecondarySearchSplitsACollisionByTheNextDigit)
{
    UdpScan s;
    s.gw.setMeters({meterAt(1, 0x12345678), meterAt(2, 0x12395678)});
    ASSERT_TRUE(s.startSecondary());
    ASSERT_TRUE(s.runToEnd());
    EXPECT_EQ(s.notes, (std::vector<Note>{{1, 0, 0, 2}, {2, 0x12345678, 1, 2}, {2, 0x12395678, 1, 2}, {3, 0, 0, 2}}));
    s.lists.List_Slave_MBus.with([](const std::vector<TSlave_MBus>& list) {
        ASSERT_EQ(list.size(), 2u);
        EXPECT_EQ(list[0].Secondary_Addresss, QStringLiteral("12345678"));
        EXPECT_EQ(list[1].Secondary_Addresss, QStringLiteral("12395678"));
    });
    const std::vector<std::string> wire = hexOfAll(s.gw.received());
    ASSERT_GE(wire.size(), 4u);
    EXPECT_EQ(wire[1], "10 40 FF 3F 16");
    EXPECT_EQ(wire[2], "68 0B 0B 68 73 FD 52 FF FF FF 0F FF FF FF FF CA 16");
    EXPECT_EQ(wire[3], "68 0B 0B 68 73 FD 52 FF FF FF 1F FF FF FF FF DA 16");
    // The digits 1, 2, 3 are shared: the search went down to the fourth and read both meters at FD.
    EXPECT_NE(std::find(wire.begin(), wire.end(), "68 0B 0B 68 73 FD 52 FF FF 34 12 FF FF FF FF 02 16"), wire.end());
    EXPECT_EQ(std::count(wire.begin(), wire.end(), "10 7B FD 78 16"), 2);
}

TEST(WiredScan, StopDuringTheSecondarySearchEndsWithoutTheEndNotification)
{
    UdpScan s;
    s.onNote = [&](const Note&) { s.engine->Stop_Scan(); };
    ASSERT_TRUE(s.startSecondary());
    ASSERT_TRUE(s.runToEnd());
    EXPECT_EQ(s.notes, (std::vector<Note>{{1, 0, 0, 2}}));
    EXPECT_EQ(s.gw.receivedTexts().back(), "Ostrel_Disable_Analyzer_Mode");
}

TEST(WiredScan, AbortInState9EndsWithoutTheEndNotification)
{
    UdpScan s;
    int pauses = 0;
    s.clock.setOnSleep([&](int ms) {
        // The pause before the request of the third address (state 9).
        if (ms == 500 && ++pauses == 3) {
            EXPECT_EQ(s.engine->Step_Scan(), 9u);
            s.engine->Abort_Scan();
        }
    });
    ASSERT_TRUE(s.startPrimary());
    ASSERT_TRUE(s.runToEnd());
    EXPECT_EQ(s.notes, (std::vector<Note>{{1, 0, 0, 1}, {2, 0, 0, 1}, {2, 1, 0, 1}}));
    const std::vector<std::string> wire = hexOfAll(s.gw.received());
    ASSERT_GE(wire.size(), 2u);
    EXPECT_EQ(wire[wire.size() - 2], "10 7B 02 7D 16");
    EXPECT_EQ(wire.back(), "Ostrel_Disable_Analyzer_Mode");
    EXPECT_EQ(s.engine->Result(), 1);
    EXPECT_FALSE(s.engine->AbortScan());
}

TEST(WiredScan, AnalyzerNotConfirmedEndsWithResult2AndThreeClosingAttempts)
{
    GatewayOptions o;
    o.unframedAnalyzerOn = true; // the right words without LF CR around them
    o.confirmAnalyzerOff = false;
    UdpScan s(o);
    ASSERT_TRUE(s.startPrimary());
    ASSERT_TRUE(s.runToEnd());
    EXPECT_EQ(s.engine->Result(), 2);
    EXPECT_TRUE(s.notes.empty());
    EXPECT_EQ(s.gw.receivedTexts(),
              (std::vector<std::string>{"Ostrel_Enable_Analyzer_Mode", "Ostrel_Disable_Analyzer_Mode",
                                        "Ostrel_Disable_Analyzer_Mode", "Ostrel_Disable_Analyzer_Mode"}));
}

TEST(WiredScan, RequestsThatCannotBeSentRunOutLikeUnansweredOnes)
{
    UdpScan s;
    // The broadcast address: the socket may not send there, every send fails.
    ASSERT_TRUE(s.engine->Start_Scan(TScanType::saPrimaryAddress, TSelectHard::shEthernet,
                                     QStringLiteral("255.255.255.255"), 2400, 1, false, false, 1, false, 0, false,
                                     s.recorder()));
    ASSERT_TRUE(s.runToEnd());
    EXPECT_EQ(s.engine->Result(), 2);
    EXPECT_EQ(s.engine->Step_Scan(), 203u);
    EXPECT_TRUE(s.notes.empty());
    EXPECT_EQ(s.engine->channel().sentCount(), 0u);
}

TEST(WiredScan, StartIsRefusedWhileAScanRunsAndForABadAddress)
{
    UdpScan s;
    s.engine->Event_Run().ResetEvent();
    testing_support::pumpFor(30); // the thread parks after the pass in progress
    EXPECT_THROW(s.engine->Start_Scan(TScanType::saPrimaryAddress, TSelectHard::shEthernet, QStringLiteral("192.168.2.256"),
                                      2400, 1, false, false, 1, false, 0, false, s.recorder()),
                 platform::UserError);
    EXPECT_FALSE(s.engine->InScan());
    ASSERT_TRUE(s.startPrimary());
    EXPECT_FALSE(s.startSecondary());
    EXPECT_FALSE(s.engine->Start_Scan_Wireless(TSelectHard::shEthernet, QStringLiteral("127.0.0.1"), 0, 1, 0, false,
                                               s.wirelessRecorder(), false));
    testing_support::pumpFor(50);
    EXPECT_TRUE(s.gw.received().empty());
    EXPECT_EQ(s.engine->Step_Scan(), 0u);

    s.engine->Event_Run().SetEvent();
    ASSERT_TRUE(testing_support::pumpUntil([&] { return s.notes.size() >= 2; }));
    EXPECT_EQ(s.notes.front(), (Note{1, 0, 0, 1})); // the primary scan, not the refused ones
    EXPECT_TRUE(s.engine->Close_Scan(10000));
}

TEST(WiredScan, ClosingWhileTheEngineWaitsForTheWindowRunsTheClosingStates)
{
    UdpScan s;
    ASSERT_TRUE(s.startPrimary());
    ASSERT_TRUE(testing_support::pumpUntil([&] { return s.notes.size() >= 3; }));
    // This thread handles no event now: the engine may well be waiting for it with a
    // notification. Closing must not wait for that notification.
    EXPECT_TRUE(s.engine->Close_Scan(10000));
    EXPECT_FALSE(s.engine->InScan());
    EXPECT_EQ(s.gw.receivedTexts().back(), "Ostrel_Disable_Analyzer_Mode");
    testing_support::pumpFor(20);
    for (const Note& n : s.notes)
        EXPECT_NE(n[0], 3);
}

TEST(WiredScan, DestroyingTheEngineDuringAScanSwitchesTheAnalyzerOff)
{
    UdpScan s;
    ASSERT_TRUE(s.startPrimary());
    ASSERT_TRUE(testing_support::pumpUntil([&] { return s.notes.size() >= 2; }));
    s.eng.store(nullptr);
    s.engine.reset();
    EXPECT_EQ(s.gw.receivedTexts().back(), "Ostrel_Disable_Analyzer_Mode");
}

TEST(WiredScan, ResultFileIsWrittenWhenTheScanEnds)
{
    testing_support::TempDir dir;
    UdpScan s;
    s.gw.setMeters({meterAt(0, 0x00000042)});
    s.engine->setSaveXMLFile(dir.file(QStringLiteral("scan.xml")));
    s.onNote = [&](const Note& n) {
        if (n[0] == 2)
            s.engine->Stop_Scan();
    };
    ASSERT_TRUE(s.startPrimary());
    s.engine->setSaveXMLFile(QString()); // ignored while the scan runs
    ASSERT_TRUE(s.runToEnd());
    platform::XmlDocument doc;
    ASSERT_TRUE(doc.load(dir.file(QStringLiteral("scan.xml"))));
    EXPECT_EQ(doc.rootElement().name(), QStringLiteral("SCAN_M-Bus_Wired"));
    ASSERT_EQ(doc.rootElement().elementCount(), 1);
    EXPECT_EQ(doc.rootElement().elementAt(0).attribute(QStringLiteral("Secondary_Address")), QStringLiteral("42"));
    EXPECT_EQ(doc.rootElement().elementAt(0).elementCount(), 4);
}

// Start_Scan's remote time-out (a gateway reached over a slow network) gives every reply 10 s
// more: an empty address then takes that much longer on the scan's clock.
TEST(WiredScan, TheRemoteTimeOutWaitsTenSecondsMoreForEachReply)
{
    std::vector<uint64_t> perAddress;
    for (bool remote : {false, true}) {
        UdpScan s; // no meter: every request runs out its window
        std::vector<uint64_t> at;
        s.onNote = [&](const Note& n) {
            if (n[0] != 2)
                return;
            at.push_back(s.clock.tickMs());
            if (n[1] == 2)
                s.engine->Stop_Scan();
        };
        ASSERT_TRUE(s.engine->Start_Scan(TScanType::saPrimaryAddress, TSelectHard::shEthernet,
                                         QStringLiteral("127.0.0.1"), 2400, 1, false, false, 1, false, 0, remote,
                                         s.recorder()));
        ASSERT_TRUE(s.runToEnd());
        ASSERT_EQ(at.size(), 3u) << remote;
        perAddress.push_back(at[2] - at[1]);
    }
    // Address 2 waits for its reply window once, 10 s longer (a step of the state machine is
    // 40 ms, so the end of a window is seen up to one step late).
    const int64_t more = int64_t(perAddress[1]) - int64_t(perAddress[0]);
    EXPECT_NEAR(double(more), 10000.0, 40.0) << perAddress[0] << " " << perAddress[1];
}

TEST(WiredScan, ReplyWindowByLineSpeed)
{
    struct Case {
        int baud;
        uint32_t reqUd2;
        uint32_t other;
    };
    for (const Case& c : {Case{2400, 1802, 587}, Case{300, 11266, 1550}, Case{9600, 788, 484}, Case{0, 1802, 587}}) {
        EXPECT_EQ(wiredReplyWindow(kReqUd2Factor, c.baud, 0), c.reqUd2) << c.baud;
        EXPECT_EQ(wiredReplyWindow(kShortFrameFactor, c.baud, 0), c.other) << c.baud;
    }
    EXPECT_EQ(wiredReplyWindow(kShortFrameFactor, 2400, 10000), 10587u);
    // A send just before the 32-bit tick wraps: 30 ms later is 30 ms, not four billion.
    EXPECT_FALSE(replyWindowPassed(0xFFFFFFF0u, 0x0000000Eu, 587));
    EXPECT_TRUE(replyWindowPassed(0xFFFFFFF0u, 0x0000024Cu, 587));
}

} // namespace
