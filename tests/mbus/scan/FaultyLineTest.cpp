// The scan on a faulty line: a stand-in gateway that answers late, twice, from another port, or
// passes a radio telegram on right after a command's answer; a level converter whose line puts
// noise before every reply and garbles collisions. Every meter is found at its own address
// with its values, and none twice; a reply that comes too late is lost, as the scan makes no
// retries, but is never taken for another meter's.
#include "Hex.h"
#include "support/QtPrinters.h"
#include "support/ScanFixture.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

using namespace mbus::scan;
using namespace scantest;
using mbustest::bytes;

namespace {

// The primary addresses of the meters filed, in order, and the value of each one's first record.
struct Filed {
    std::vector<int> primaries;
    std::vector<QString> ids;
    std::vector<QString> firstValues;
};

Filed filed(ScanLists& lists)
{
    Filed f;
    lists.List_Slave_MBus.with([&](const std::vector<TSlave_MBus>& list) {
        for (const TSlave_MBus& m : list) {
            f.primaries.push_back(m.Primary_Addresss);
            f.ids.push_back(m.Secondary_Addresss);
            f.firstValues.push_back(m.List_Var.empty() ? QString() : m.List_Var.front().ValueStr);
        }
    });
    return f;
}

// The addresses reported found, in order.
std::vector<int> foundAt(const std::vector<Note>& notes)
{
    std::vector<int> out;
    for (const Note& n : notes)
        if (n[0] == 2 && n[2] == 1)
            out.push_back(n[1]);
    return out;
}

SimMeter lateMeter(uint8_t primary, uint32_t id, uint32_t lateMs)
{
    SimMeter m = meterAt(primary, id);
    m.lateMs = lateMs;
    return m;
}

// Stops the primary scan once it has passed `last`.
void stopAfter(UdpScan& s, int last)
{
    s.onNote = [&s, last](const Note& n) {
        if (n[0] == 2 && n[1] >= last)
            s.engine->Stop_Scan();
    };
}

TEST(FaultyLine, LateRepliesAreTakenInTheirWindowAndNeverForTheNextAddress)
{
    // The reply to REQ_UD2 has 1802 ms at 2400 baud. 350 ms late is in time; the meter at 2
    // answers 2000 ms late, after its window and inside the next address's.
    GatewayOptions o;
    UdpScan s(o);
    s.gw.setMeters({lateMeter(2, 0x22, 2000), lateMeter(5, 0x55, 350), lateMeter(7, 0x77, 350),
                    lateMeter(8, 0x88, 350)});
    stopAfter(s, 9);
    ASSERT_TRUE(s.startPrimary());
    ASSERT_TRUE(s.runToEnd());
    EXPECT_EQ(foundAt(s.notes), (std::vector<int>{5, 7, 8}));
    const Filed f = filed(s.lists);
    EXPECT_EQ(f.primaries, (std::vector<int>{5, 7, 8}));
    EXPECT_EQ(f.ids, (std::vector<QString>{QStringLiteral("55"), QStringLiteral("77"), QStringLiteral("88")}));
    for (const QString& v : f.firstValues)
        EXPECT_EQ(v, QStringLiteral("12345.678"));
}

TEST(FaultyLine, RepeatedRepliesFileEveryMeterOnce)
{
    // Each reply comes again 600 ms later: in the window of the request after it.
    GatewayOptions o;
    o.duplicateAfterMs = 600;
    {
        UdpScan s(o);
        s.gw.setMeters({meterAt(2, 0x22), meterAt(5, 0x55), meterAt(7, 0x77), meterAt(8, 0x88)});
        stopAfter(s, 9);
        ASSERT_TRUE(s.startPrimary());
        ASSERT_TRUE(s.runToEnd());
        EXPECT_EQ(foundAt(s.notes), (std::vector<int>{2, 5, 7, 8}));
        EXPECT_EQ(filed(s.lists).primaries, (std::vector<int>{2, 5, 7, 8}));
    }
    {
        // The secondary search: the copy of one meter's frame comes while the next selected
        // meter is read.
        UdpScan s(o);
        s.gw.setMeters({meterAt(1, 0x12345678), meterAt(2, 0x12395678), meterAt(3, 0x30000001)});
        ASSERT_TRUE(s.startSecondary());
        ASSERT_TRUE(s.runToEnd());
        EXPECT_EQ(filed(s.lists).ids, (std::vector<QString>{QStringLiteral("12345678"), QStringLiteral("12395678"),
                                                             QStringLiteral("30000001")}));
        EXPECT_EQ(s.notes.back(), (Note{3, 0, 0, 2}));
    }
}

TEST(FaultyLine, RepliesFromAnotherPortOfTheGatewayAreHeard)
{
    GatewayOptions o;
    o.answerFromOtherPort = true;
    UdpScan s(o);
    ASSERT_NE(s.gw.replyPort(), s.gw.port());
    s.gw.setMeters({meterAt(1, 0x11), meterAt(3, 0x33)});
    stopAfter(s, 4);
    ASSERT_TRUE(s.startPrimary());
    ASSERT_TRUE(s.runToEnd());
    EXPECT_EQ(s.engine->Result(), 1);
    EXPECT_EQ(foundAt(s.notes), (std::vector<int>{1, 3}));
    EXPECT_EQ(s.gw.receivedTexts().back(), "Ostrel_Disable_Analyzer_Mode");
}

TEST(FaultyLine, DatagramFromAnotherAddressIsNoReply)
{
    GatewayOptions o;
    o.confirmAnalyzerOn = false;
    UdpScan s(o);
    // Someone on another address of this machine confirms in the gateway's place.
    const int other = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    sockaddr_in self{};
    self.sin_family = AF_INET;
    self.sin_addr.s_addr = htonl(0x7F000002); // 127.0.0.2
    ASSERT_EQ(::bind(other, reinterpret_cast<sockaddr*>(&self), sizeof self), 0);
    s.gw.setOnDatagram([&](const std::vector<uint8_t>& d) {
        if (asText(d) != "Ostrel_Enable_Analyzer_Mode")
            return;
        sockaddr_in to{};
        to.sin_family = AF_INET;
        to.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        to.sin_port = htons(s.gw.scanPort());
        const std::vector<uint8_t> fake = framed("Analyzer_Mode Enabled!");
        s.foreign.fetch_add(1);
        ::sendto(other, fake.data(), fake.size(), 0, reinterpret_cast<sockaddr*>(&to), sizeof to);
    });
    ASSERT_TRUE(s.startPrimary());
    ASSERT_TRUE(s.runToEnd());
    ::close(other);
    EXPECT_EQ(s.engine->Result(), 2);
    EXPECT_TRUE(s.notes.empty());
}

TEST(FaultyLine, TelegramRightAfterTheModulesOkDoesNotFailTheSetUp)
{
    mbustest::TelegramRecipe t;
    t.records = bytes(mbustest::kMeterRecords);
    const std::vector<uint8_t> telegram = mbustest::telegram(mbustest::Layout::Short7A, t);
    for (int run = 0; run < 5; ++run) {
        GatewayOptions o;
        o.telegramAfterAto = telegram;
        UdpScan s(o);
        const uint16_t port = s.gw.port() + 1 + static_cast<uint16_t>(run); // the scan's own port
        ASSERT_TRUE(s.engine->Start_Scan_Wireless(TSelectHard::shEthernet, QStringLiteral("127.0.0.1"), port, 1, 0,
                                                  false, s.wirelessRecorder(), false));
        ASSERT_TRUE(testing_support::pumpUntil([&] { return s.engine->Step_Scan() == 134 || !s.engine->InScan(); }));
        EXPECT_EQ(s.engine->Step_Scan(), 134u) << "run " << run;
        EXPECT_EQ(s.engine->Result(), 1);
        // The telegram went to the decoder.
        ASSERT_TRUE(testing_support::pumpUntil([&] { return !s.wirelessNotes.empty(); }));
        EXPECT_EQ(s.wirelessNotes[0].records, 4u);

        // Again after a key: the module answers the "ATO" that ends the key's programming.
        ASSERT_TRUE(s.engine->Insert_Wireless_Key(0, mbustest::testKey()));
        ASSERT_TRUE(testing_support::pumpUntil([&] { return s.engine->Step_Scan() == 134 || !s.engine->InScan(); }));
        EXPECT_EQ(s.engine->Step_Scan(), 134u);
        ASSERT_TRUE(testing_support::pumpUntil([&] { return s.wirelessNotes.size() >= 2; }));
        s.engine->Stop_Scan();
        ASSERT_TRUE(s.runToEnd());
        EXPECT_EQ(s.engine->Result(), 1);
        s.lists.List_Slave_wMBus.with([](const std::vector<TSlave_wMBus>& l) { EXPECT_EQ(l.size(), 1u); });
    }
}

TEST(FaultyLine, SerialSearchFindsEveryMeterThroughNoiseAndGarbledCollisions)
{
    struct Case {
        const char* what;
        const char* noise;
        const char* collision;
    };
    const Case cases[] = {
        {"noise before every reply", "FF 00 FF", "A5 1F"},
        {"collisions that begin with an acknowledgement", "", "E5 10 A5"},
        {"both", "00 3C 00", "E5 E5 1F"},
    };
    for (const Case& c : cases) {
        SerialLine s(bytes(c.noise), bytes(c.collision));
        // Two pairs of meters that share their first digits: the search must split them.
        s.device.setMeters({meterAt(1, 0x12345678), meterAt(2, 0x12395678), meterAt(3, 0x40000001),
                            meterAt(4, 0x40000002)});
        ASSERT_TRUE(s.start(TScanType::saSecondaryAddress));
        ASSERT_TRUE(s.runToEnd()) << c.what;
        EXPECT_EQ(filed(s.lists).ids, (std::vector<QString>{QStringLiteral("12345678"), QStringLiteral("12395678"),
                                                             QStringLiteral("40000001"), QStringLiteral("40000002")}))
            << c.what;
        for (const QString& v : filed(s.lists).firstValues)
            EXPECT_EQ(v, QStringLiteral("12345.678")) << c.what;
    }
}

} // namespace
