// The wireless scan against the stand-in gateway on 127.0.0.1 with a Telit or a RadioCrafts
// radio module.
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
using mbustest::Layout;
using mbustest::TelegramRecipe;

namespace {

// A UDP port nobody holds right now.
uint16_t freePort()
{
    const int fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    ::bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a);
    socklen_t len = sizeof a;
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&a), &len);
    ::close(fd);
    return ntohs(a.sin_port);
}

GatewayOptions withModule(RadioModule m)
{
    GatewayOptions o;
    o.module = m;
    return o;
}

struct Wireless : UdpScan {
    explicit Wireless(GatewayOptions o = withModule(RadioModule::Telit)) : UdpScan(o) {}

    bool start(int mode, int channel = 2, bool fromDll = false)
    {
        return engine->Start_Scan_Wireless(TSelectHard::shEthernet, QStringLiteral("127.0.0.1"), port, mode, channel,
                                           false, wirelessRecorder(), fromDll);
    }
    bool listening()
    {
        return testing_support::pumpUntil([&] {
            const uint32_t step = engine->Step_Scan();
            return step == 134 || step == 320;
        });
    }
    void telegram(const std::vector<uint8_t>& t) { gw.sendToScan(t, port); }
    bool notesReach(size_t n)
    {
        return testing_support::pumpUntil([&] { return wirelessNotes.size() >= n; });
    }
    bool stop()
    {
        engine->Stop_Scan();
        return runToEnd();
    }
    // The datagrams the gateway got from index `from` on.
    std::vector<std::vector<uint8_t>> since(size_t from)
    {
        const std::vector<std::vector<uint8_t>> all = gw.received();
        return {all.begin() + static_cast<std::ptrdiff_t>(std::min(from, all.size())), all.end()};
    }

    uint16_t port = freePort();
};

std::vector<std::string> telitSetUp(int mode, int channel, bool nMode)
{
    std::vector<std::string> s{"Ostrel_Enable_Configuration_Mode", "Ostrel_Type_Radio_Module", "+++", "ATR\r",
                               "ATS400=" + std::to_string(mode) + "\r", "ATS401=0\r", "ATS402=191\r",
                               "ATS420=" + std::to_string(channel) + "\r"};
    if (!nMode)
        s.push_back("ATS421=0\r");
    for (const char* c : {"ATS422=3\r", "ATS430=5\r", "ATS431=5\r", "ATS440=0\r", "ATS441=0\r"})
        s.push_back(c);
    if (!nMode)
        s.push_back("ATS442=0\r");
    s.push_back("ATS452=0\r");
    s.push_back("ATS453=0\r");
    if (!nMode)
        s.push_back("ATS454=0\r");
    s.push_back("ATO\r");
    return s;
}

TEST(WirelessScan, TelitSetUpSkipsThreeRegistersInTheNModes)
{
    struct Case {
        int mode;
        bool nMode;
    };
    for (const Case& c : {Case{1, false}, Case{5, false}, Case{15, true}, Case{17, true}}) {
        Wireless s;
        ASSERT_TRUE(s.start(c.mode, 3));
        ASSERT_TRUE(s.listening()) << c.mode;
        EXPECT_EQ(s.gw.receivedTexts(), telitSetUp(c.mode, 3, c.nMode)) << "mode " << c.mode;
        EXPECT_EQ(s.engine->RadioModule(), TRadioModule::rmTelit);
        ASSERT_TRUE(s.stop());
        EXPECT_EQ(s.gw.receivedTexts().back(), "Ostrel_Disable_Configuration_Mode");
        EXPECT_EQ(s.engine->Result(), 1);
    }
}

TEST(WirelessScan, TelitKeyIsProgrammedAndTheNextTelegramDecoded)
{
    Wireless s;
    ASSERT_TRUE(s.start(5));
    ASSERT_TRUE(s.listening());

    TelegramRecipe t; // link address KAM 0x2C2D, 12345678, version 1, device type 7
    t.mode = 5;
    t.encrypt = true;
    t.key = mbustest::testKey();
    t.records = bytes(mbustest::kMeterRecords);
    s.telegram(mbustest::telegram(Layout::Ext8C_7A, t));
    ASSERT_TRUE(s.notesReach(1));
    EXPECT_TRUE(s.wirelessNotes[0].cripted); // no key yet
    EXPECT_EQ(s.wirelessNotes[0].records, 0u);

    Key128 other{};
    other.fill(0xEE);
    const size_t before = s.gw.received().size();
    ASSERT_TRUE(s.engine->Insert_Wireless_Key(0, t.key));
    // While the key goes to the module, another key neither starts nor replaces it.
    EXPECT_FALSE(s.engine->Insert_Wireless_Key(0, other));
    ASSERT_TRUE(s.listening());

    std::vector<std::string> expected{"+++",        "ATS461=45\r", "ATS462=44\r", "ATS463=120\r", "ATS464=86\r",
                                      "ATS465=52\r", "ATS466=18\r", "ATS467=1\r",  "ATS468=7\r"};
    for (int i = 0; i < 16; ++i)
        expected.push_back("ATS" + std::to_string(470 + i) + "=" + std::to_string(t.key[static_cast<size_t>(i)]) + "\r");
    expected.push_back("ATS460=5\r");
    expected.push_back("ATO\r");
    std::vector<std::string> sent;
    for (const std::vector<uint8_t>& d : s.since(before))
        sent.push_back(asText(d));
    EXPECT_EQ(sent, expected);
    s.lists.List_Slave_wMBus.with([&](const std::vector<TSlave_wMBus>& list) {
        ASSERT_EQ(list.size(), 1u);
        EXPECT_TRUE(list[0].Enable_Key);
        EXPECT_EQ(list[0].Key, t.key);
    });

    t.access = 0x2B;
    s.telegram(mbustest::telegram(Layout::Ext8C_7A, t));
    ASSERT_TRUE(s.notesReach(2));
    EXPECT_EQ(s.wirelessNotes[1].index, 0);
    EXPECT_FALSE(s.wirelessNotes[1].cripted);
    EXPECT_EQ(s.wirelessNotes[1].records, 4u);
    ASSERT_TRUE(s.stop());
}

TEST(WirelessScan, KeyIsRefusedOutsideListeningAndForAnUnknownMeter)
{
    Wireless s;
    Key128 k{};
    EXPECT_FALSE(s.engine->Insert_Wireless_Key(0, k)); // no meter at all
    // A meter left from an earlier scan, the module still being set up.
    s.lists.List_Slave_wMBus.with([](std::vector<TSlave_wMBus>& l) { l.emplace_back(); });
    s.engine->Event_Run().ResetEvent();
    testing_support::pumpFor(30);
    ASSERT_TRUE(s.start(1));
    EXPECT_FALSE(s.engine->Insert_Wireless_Key(0, k));
    EXPECT_FALSE(s.engine->Insert_Wireless_Key(1, k));
    EXPECT_FALSE(s.engine->Insert_Wireless_Key(-1, k));
    s.lists.List_Slave_wMBus.with([](const std::vector<TSlave_wMBus>& l) {
        EXPECT_FALSE(l[0].Enable_Key);
        EXPECT_EQ(l[0].RadioCrafts_Ind_Tab_Decript, -1);
    });
    s.engine->Event_Run().SetEvent();
    EXPECT_TRUE(s.engine->Close_Scan(10000));
}

std::vector<uint8_t> one(uint8_t b) { return {b}; }

TEST(WirelessScan, RadioCraftsSetUpEmptiesTheKeyTableAndProgramsAKey)
{
    Wireless s(withModule(RadioModule::RadioCrafts));
    ASSERT_TRUE(s.start(15)); // N1
    ASSERT_TRUE(s.listening());
    EXPECT_EQ(s.engine->RadioModule(), TRadioModule::rmRadioCrafts);

    std::vector<std::vector<uint8_t>> expected{framed("x"), framed("x"), one(0x00), one(0x30), one(0x4D),
                                               bytes("03 11 04 00 05 01 12 01 16 17 3A 01 3D 02 37 01"), one(0xFF)};
    for (int pos = 1; pos <= 63; ++pos) {
        expected.push_back(one(0x42));
        expected.push_back(one(static_cast<uint8_t>(pos)));
        expected.push_back(std::vector<uint8_t>(8, 0x00));
    }
    expected.push_back(one(0x58));
    std::vector<std::vector<uint8_t>> got = s.gw.received();
    ASSERT_EQ(got.size(), expected.size());
    EXPECT_EQ(asText(got[0]), "Ostrel_Enable_Configuration_Mode");
    EXPECT_EQ(asText(got[1]), "Ostrel_Type_Radio_Module");
    for (size_t i = 2; i < got.size(); ++i)
        EXPECT_EQ(mbustest::hexOf(got[i]), mbustest::hexOf(expected[i])) << i;

    TelegramRecipe t;
    t.module = TRadioModule::rmRadioCrafts;
    t.records = bytes(mbustest::kMeterRecords);
    s.telegram(mbustest::telegram(Layout::Short7A, t));
    ASSERT_TRUE(s.notesReach(1));
    EXPECT_EQ(s.wirelessNotes[0].records, 4u);

    const size_t before = got.size();
    ASSERT_TRUE(s.engine->Insert_Wireless_Key(0, t.key));
    ASSERT_TRUE(s.listening()) << s.engine->Step_Scan() << " " << s.engine->Result();
    std::vector<std::string> programmed;
    for (const std::vector<uint8_t>& d : s.since(before))
        programmed.push_back(mbustest::hexOf(d));
    const std::string key = mbustest::hexOf(t.key);
    EXPECT_EQ(programmed, (std::vector<std::string>{"00", "42", "01", "78 56 34 12 2D 2C 01 07", "4B", "01", key, "41",
                                                    "01", "00 40", "58"}));
    s.lists.List_Slave_wMBus.with(
        [](const std::vector<TSlave_wMBus>& l) { EXPECT_EQ(l[0].RadioCrafts_Ind_Tab_Decript, 1); });
    ASSERT_TRUE(s.stop());
}

TEST(WirelessScan, RadioCraftsMemoryReadOfTheWrongLengthFailsTheSetUp)
{
    GatewayOptions o = withModule(RadioModule::RadioCrafts);
    o.radioCraftsReadLength = 256;
    Wireless s(o);
    ASSERT_TRUE(s.start(1));
    ASSERT_TRUE(s.runToEnd());
    EXPECT_EQ(s.engine->Result(), 2);
    std::vector<std::string> got;
    for (const std::vector<uint8_t>& d : s.gw.received())
        got.push_back(d.size() == 1 ? mbustest::hexOf(d) : asText(d));
    EXPECT_EQ(got, (std::vector<std::string>{"Ostrel_Enable_Configuration_Mode", "Ostrel_Type_Radio_Module", "00", "30",
                                             "Ostrel_Disable_Configuration_Mode"}));
}

TEST(WirelessScan, RadioCraftsKeyTableHoldsSixtyFourMeters)
{
    Wireless s(withModule(RadioModule::RadioCrafts));
    ASSERT_TRUE(s.start(1));
    ASSERT_TRUE(s.listening());
    for (uint32_t i = 0; i < 65; ++i) {
        TelegramRecipe t;
        t.module = TRadioModule::rmRadioCrafts;
        t.link.id = 0x10000000 + i;
        t.records = bytes(mbustest::kMeterRecords);
        s.telegram(mbustest::telegram(Layout::Short7A, t));
    }
    ASSERT_TRUE(s.notesReach(65));
    Key128 k{};
    EXPECT_TRUE(s.engine->Insert_Wireless_Key(0, k));
    for (int i = 1; i < 64; ++i)
        s.engine->Insert_Wireless_Key(i, k); // each gets a position, busy module or not
    EXPECT_FALSE(s.engine->Insert_Wireless_Key(64, k));
    s.lists.List_Slave_wMBus.with([](const std::vector<TSlave_wMBus>& l) {
        ASSERT_EQ(l.size(), 65u);
        for (int i = 0; i < 64; ++i)
            EXPECT_EQ(l[static_cast<size_t>(i)].RadioCrafts_Ind_Tab_Decript, i + 1);
        EXPECT_EQ(l[64].RadioCrafts_Ind_Tab_Decript, -1);
        EXPECT_FALSE(l[64].Enable_Key);
    });
    ASSERT_TRUE(s.stop());
}

TEST(WirelessScan, StopWhileListeningSwitchesConfigurationModeOff)
{
    struct Case {
        bool confirms;
        int attempts;
    };
    for (const Case& c : {Case{true, 1}, Case{false, 3}}) {
        GatewayOptions o = withModule(RadioModule::Telit);
        o.confirmConfigurationOff = c.confirms;
        Wireless s(o);
        ASSERT_TRUE(s.start(1));
        ASSERT_TRUE(s.listening());
        const size_t before = s.gw.received().size();
        ASSERT_TRUE(s.stop());
        std::vector<std::string> after;
        for (const std::vector<uint8_t>& d : s.since(before))
            after.push_back(asText(d));
        EXPECT_EQ(after, std::vector<std::string>(static_cast<size_t>(c.attempts), "Ostrel_Disable_Configuration_Mode"))
            << "confirms " << c.confirms;
        EXPECT_FALSE(s.engine->InScan());
        EXPECT_EQ(s.engine->Result(), 1);
    }
}

TEST(WirelessScan, SecondScanOnTheSamePortKeepsTheBindingAnotherPortReplacesIt)
{
    Wireless s;
    auto* udp = dynamic_cast<UdpGatewayChannel*>(&s.engine->channel());
    ASSERT_NE(udp, nullptr);
    for (int round = 0; round < 2; ++round) {
        ASSERT_TRUE(s.start(1));
        ASSERT_TRUE(s.listening());
        EXPECT_EQ(udp->server().localPort(), s.port);
        ASSERT_TRUE(s.stop());
        EXPECT_FALSE(udp->server().active()); // the last state closed the channel
        EXPECT_EQ(udp->server().bindingPort(), s.port);
    }
    // A wired scan sends from whatever port the server is bound to.
    s.onNote = [&](const Note&) { s.engine->Abort_Scan(); };
    ASSERT_TRUE(s.startPrimary());
    ASSERT_TRUE(s.runToEnd());
    EXPECT_EQ(s.gw.scanPort(), s.port);

    const uint16_t old = s.port;
    s.port = freePort();
    ASSERT_TRUE(s.start(1));
    ASSERT_TRUE(s.listening());
    EXPECT_EQ(udp->server().localPort(), s.port);
    EXPECT_NE(s.port, old);
    ASSERT_TRUE(s.stop());
}

TEST(WirelessScan, FromDllNotificationCarriesTheIndexOnly)
{
    Wireless s;
    ASSERT_TRUE(s.start(1, 0, true));
    ASSERT_TRUE(s.listening());
    TelegramRecipe t;
    t.records = bytes(mbustest::kMeterRecords);
    s.telegram(mbustest::telegram(Layout::Short7A, t));
    t.link.id = 0x7;
    s.telegram(mbustest::telegram(Layout::Short7A, t));
    ASSERT_TRUE(s.notesReach(2));
    EXPECT_EQ(s.wirelessNotes[0].index, 0);
    EXPECT_EQ(s.wirelessNotes[1].index, 1);
    EXPECT_FALSE(s.wirelessNotes[0].withMeter);
    // A datagram whose length does not fit the module's framing is no telegram.
    std::vector<uint8_t> bad = mbustest::telegram(Layout::Short7A, t);
    bad.push_back(0);
    s.telegram(bad);
    testing_support::pumpFor(50);
    EXPECT_EQ(s.wirelessNotes.size(), 2u);
    ASSERT_TRUE(s.stop());
}

} // namespace
