// The scan over a serial port: the engine opens the slave side of a pseudo-terminal, a level
// converter stand-in on the master side speaks raw M-Bus.
#include "Hex.h"
#include "ScanFixture.h"
#include "support/QtPrinters.h"

#include <gtest/gtest.h>

#include <array>

using namespace mbus::scan;
using namespace scantest;
using testing_support::pumpUntil;

namespace {

using SerialScan = SerialLine;

TEST(SerialScan, PrimaryScanOverThePortSendsNoGatewayCommand)
{
    SerialScan s;
    SimMeter twoFrames = meterAt(3, 0x33333333);
    twoFrames.frames = {mbustest::concat({mbustest::bytes(mbustest::kMeterRecords), {0x1F}}),
                        mbustest::bytes(mbustest::kMeterRecords)};
    s.device.setMeters({twoFrames});
    s.stopAt = 4;
    ASSERT_TRUE(s.start(TScanType::saPrimaryAddress, 2));
    ASSERT_TRUE(s.runToEnd());
    EXPECT_EQ(s.notes, (std::vector<Note>{{1, 0, 0, 1}, {2, 0, 0, 1}, {2, 1, 0, 1}, {2, 2, 0, 1}, {2, 3, 1, 1},
                                         {2, 4, 0, 1}, {3, 0, 0, 1}}));
    std::vector<std::string> wire;
    for (const std::vector<uint8_t>& f : s.device.received())
        wire.push_back(mbustest::hexOf(f));
    EXPECT_EQ(wire, (std::vector<std::string>{"10 40 FF 3F 16", "10 7B 00 7B 16", "10 7B 01 7C 16", "10 7B 02 7D 16",
                                              "10 7B 03 7E 16", "10 5B 03 5E 16", "10 7B 04 7F 16"}));
    s.lists.List_Slave_MBus.with([](const std::vector<TSlave_MBus>& l) {
        ASSERT_EQ(l.size(), 1u);
        EXPECT_EQ(l[0].Primary_Addresss, 3);
        EXPECT_EQ(l[0].List_Var.size(), 8u);
    });
    EXPECT_EQ(s.engine->Result(), 1);
    // The last state closed the port.
    auto* serial = dynamic_cast<SerialGatewayChannel*>(&s.engine->channel());
    ASSERT_NE(serial, nullptr);
    EXPECT_FALSE(serial->Comm().Enabled());
}

TEST(SerialScan, SecondarySearchTellsACollisionByItsGarbledReply)
{
    SerialScan s;
    s.device.setMeters({meterAt(1, 0x00000017), meterAt(2, 0x00000018)});
    ASSERT_TRUE(s.start(TScanType::saSecondaryAddress));
    ASSERT_TRUE(s.runToEnd());
    EXPECT_EQ(s.notes, (std::vector<Note>{{1, 0, 0, 2}, {2, 0x17, 1, 2}, {2, 0x18, 1, 2}, {3, 0, 0, 2}}));
    ASSERT_FALSE(s.device.received().empty());
    EXPECT_EQ(mbustest::hexOf(s.device.received().front()), "10 40 FF 3F 16");
}

TEST(SerialScan, WirelessScanOverThePortSendsNothingUntilStopped)
{
    SerialScan s;
    // No port named yet: the port cannot be opened and the scan does not start.
    EXPECT_THROW(s.engine->Start_Scan_Wireless(TSelectHard::shSerial, QString(), 0, 1, 0, false, {}, false),
                 platform::ECommError);
    EXPECT_FALSE(s.engine->InScan());

    s.stopAt = 0;
    ASSERT_TRUE(s.start(TScanType::saPrimaryAddress));
    ASSERT_TRUE(s.runToEnd());
    const size_t frames = s.device.received().size();

    ASSERT_TRUE(s.engine->Start_Scan_Wireless(TSelectHard::shSerial, QString(), 0, 1, 0, false, {}, false));
    testing_support::pumpFor(50);
    EXPECT_EQ(s.engine->Step_Scan(), 0u);
    s.engine->Stop_Scan();
    ASSERT_TRUE(s.runToEnd());
    EXPECT_EQ(s.device.received().size(), frames);
    auto* serial = dynamic_cast<SerialGatewayChannel*>(&s.engine->channel());
    ASSERT_NE(serial, nullptr);
    EXPECT_FALSE(serial->Comm().Enabled());
}

TEST(SerialScan, RepliesAreGatheredByTheFramesStartAndLength)
{
    SerialReplyGatherer g(100);
    const std::vector<uint8_t> frame = mbustest::longFrame(5, mbustest::Addr{}, mbustest::bytes(mbustest::kMeterRecords));
    // A long frame in pieces, after line noise that holds no frame start.
    std::vector<std::vector<uint8_t>> done = g.add(mbustest::bytes("FF 00 FF"), 0);
    EXPECT_TRUE(done.empty());
    done = g.add(std::span(frame).first(3), 0);
    EXPECT_TRUE(done.empty());
    done = g.add(std::span(frame).subspan(3), 10);
    ASSERT_EQ(done.size(), 1u);
    EXPECT_EQ(done[0], frame);
    EXPECT_FALSE(g.pending());
    // A short frame ends by its length.
    done = g.add(mbustest::bytes("10 40 05 45 16"), 20);
    ASSERT_EQ(done.size(), 1u);
    EXPECT_EQ(done[0], mbustest::bytes("10 40 05 45 16"));

    // An acknowledgement is one only when the line stays quiet after it; noise before it goes.
    struct Case {
        const char* bytes;
        const char* reply;
    };
    const Case cases[] = {
        {"E5", "E5"},
        {"FF 00 FF E5", "E5"},
        {"E5 10 A5", "E5 10 A5"},                 // several meters at once
        {"E5 10 40 05 45 16", "E5 10 40 05 45 16"}, // even when a frame follows
        {"A5 1F", "A5 1F"},                       // no frame start at all
        {"68 10 10 68 08", "68 10 10 68 08"},     // a frame cut short
    };
    for (const Case& c : cases) {
        EXPECT_TRUE(g.add(mbustest::bytes(c.bytes), 1000).empty()) << c.bytes;
        EXPECT_FALSE(g.poll(1100).has_value()) << c.bytes; // 100 ms is no pause yet
        const std::optional<std::vector<uint8_t>> r = g.poll(1101);
        ASSERT_TRUE(r.has_value()) << c.bytes;
        EXPECT_EQ(mbustest::hexOf(*r), c.reply) << c.bytes;
        EXPECT_FALSE(g.pending());
    }
    // The pause is counted across the tick's wrap.
    EXPECT_TRUE(g.add(mbustest::bytes("0A 0D 4F"), 0xFFFFFFF0u).empty());
    EXPECT_FALSE(g.poll(0x00000050u).has_value()); // 96 ms
    const std::optional<std::vector<uint8_t>> late = g.poll(0x00000060u);
    ASSERT_TRUE(late.has_value());
    EXPECT_EQ(*late, mbustest::bytes("0A 0D 4F"));
    // Bytes that never end fill the answer buffer and are handed on at its size.
    done = g.add(std::vector<uint8_t>(kAnswerSize + 10, 0x41), 0);
    ASSERT_EQ(done.size(), 1u);
    EXPECT_EQ(done[0].size(), kAnswerSize);
    EXPECT_TRUE(g.pending());
}

} // namespace
