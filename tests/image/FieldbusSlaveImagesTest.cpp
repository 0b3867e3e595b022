#include "FieldImageFixture.h"
#include "image/FieldbusSlaveImages.h"

using namespace field_test;

namespace {

constexpr int kRec = 0x18800;

} // namespace

TEST(FieldbusSlaveImages, LayoutOfTheThreeModels)
{
    const struct {
        int32_t type;
        int size;
        const char* protocol; // record bytes 96..99
        uint32_t bdtAddress;
        const char* ports;    // record bytes 54..57
    } cases[] = {{9, 102520, "26 00 00 00", 0x68800, "00 00 93 88"},
                 {6, 102400, "00 00 00 00", 0, "00 00 00 00"},
                 {12, 102400, "A4 00 00 00", 0, "00 00 00 00"}};
    for (const auto& c : cases) {
        Project prj(c.type);
        writeObjects(prj, {tf::objectRow({.position = "3", .swap = "Y", .mnemonic = "ai"})});
        const QByteArray b = build(prj);
        ASSERT_EQ(b.size(), c.size) << c.type;
        EXPECT_TRUE(allZero(b.mid(0x10800, 0x8000))) << c.type;
        EXPECT_EQ(at(b, 7, 1), QStringLiteral("%1").arg(c.type == 12 ? "00" : "02")) << "swap bit, type " << c.type;
        EXPECT_EQ(le32(b, kRec + 132), 1u) << c.type;
        EXPECT_EQ(at(b, kRec + 96, 4), QString::fromLatin1(c.protocol)) << c.type;
        EXPECT_EQ(le32(b, kRec + 608), c.bdtAddress) << c.type;
        EXPECT_EQ(at(b, kRec + 54, 4), QString::fromLatin1(c.ports)) << "no ParGen.xml, type " << c.type;
        EXPECT_TRUE(checksumValid(b, kRec)) << c.type;
    }
}

TEST(FieldbusSlaveImages, ProfinetKeys)
{
    Project prj(9);
    writeParGen(prj, {{"PROFINET_NB_IN", "100"}, {"PROFINET_NB_OUT", "200"}, {"PROFINET_IP1", "10"},
                      {"PROFINET_IP2", "1"}, {"PROFINET_IP3", "2"}, {"PROFINET_IP4", "300"}, {"PROFINET_EN_GAT", "0"},
                      {"BACnet_EN_GAT", "1"}, {"BACnet_GAT4", "254"}, {"BACnet_EN_BBMD", "1"}});
    QByteArray b = build(prj);
    EXPECT_EQ(le32(b, kRec + 116), 100u);
    EXPECT_EQ(le32(b, kRec + 120), 200u);
    EXPECT_EQ(at(b, kRec + 372, 12), QStringLiteral("0A 01 02 2C FF FF FF 00 FF FF FF FF"));
    EXPECT_EQ(at(b, kRec + 48, 4), QStringLiteral("C0 A8 00 FE")); // the BACnet gateway as its own key says
    EXPECT_EQ(at(b, kRec + 54, 4), QStringLiteral("00 00 93 88"));
    EXPECT_EQ(at(b, kRec + 588, 16), QStringLiteral("64 65 76 69 63 65 6E 61 6D 65 32 00 00 00 00 00")); // devicename2
    EXPECT_EQ(at(b, kRec + 604, 4), QStringLiteral("01 00 00 00"));
    EXPECT_EQ(b.size(), 102520);

    // The station name field holds 16 characters at most; the next field stays its own.
    const struct {
        const char* name;
        const char* field; // record bytes 588..607
    } names[] = {{"", "00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00"},
                 {"abcdefghijklmnopq", "61 62 63 64 65 66 67 68 69 6A 6B 6C 6D 6E 6F 70 00 00 00 00"},
                 {"station9", "73 74 61 74 69 6F 6E 39 00 00 00 00 00 00 00 00 00 00 00 00"}};
    for (const auto& n : names) {
        writeParGen(prj, {{"PROFINET_NAME_STA", n.name}});
        b = build(prj);
        EXPECT_EQ(at(b, kRec + 588, 20), QString::fromLatin1(n.field)) << n.name;
        EXPECT_EQ(le32(b, kRec + 116), 1439u);
        EXPECT_EQ(at(b, kRec + 372, 12), QStringLiteral("C0 A8 00 0A FF FF FF 00 FF FF FF FF"));
        EXPECT_TRUE(checksumValid(b, kRec));
    }
}

TEST(FieldbusSlaveImages, ProfibusKeys)
{
    Project prj(6);
    writeParGen(prj, {{"PROFIBUS_SLAVE_NB_IN", "32"}, {"PROFIBUS_SLAVE_NB_OUT", "16"}, {"PROFIBUS_SLAVE_ID_DEV", "77"},
                      {"BACnet_EN_GAT", "1"}, {"BACnet_GAT1", "10"}, {"BACnet_GAT2", "x"}, {"BACnet_GAT4", "9"},
                      {"BACnet_EN_BBMD", "1"}, {"BACnet_EN_FDR", "1"}});
    QByteArray b = build(prj);
    EXPECT_EQ(le32(b, kRec + 116), 16u);
    EXPECT_EQ(le32(b, kRec + 120), 32u);
    EXPECT_EQ(at(b, kRec + 620, 1), QStringLiteral("4D"));
    // GAT2 not a number: its default; GAT3 missing: 255.
    EXPECT_EQ(at(b, kRec + 48, 4), QStringLiteral("0A A8 FF 09"));
    EXPECT_EQ(at(b, kRec + 96, 4), QStringLiteral("00 00 00 00"));
    EXPECT_EQ(at(b, kRec + 604, 8), QStringLiteral("00 00 00 00 00 00 00 00")); // no BBMD, no FDR
    EXPECT_EQ(at(b, kRec + 80, 12), QStringLiteral("64 65 76 69 63 65 6E 61 6D 65 31 00"));

    writeParGen(prj, {{"BACnet_Type", "1"}, {"BACnet_Ser_ID", "3"}});
    b = build(prj);
    EXPECT_EQ(le32(b, kRec + 116), 244u);
    EXPECT_EQ(le32(b, kRec + 120), 244u);
    EXPECT_EQ(at(b, kRec + 620, 1), QStringLiteral("0A"));
    EXPECT_EQ(at(b, kRec + 48, 4), QStringLiteral("FF FF FF FF"));
    EXPECT_EQ(at(b, kRec + 332, 1), QStringLiteral("03"));
}

TEST(FieldbusSlaveImages, EtherNetIpAddressGoesWhereTheBacnetTypeSays)
{
    Project prj(12);
    const std::vector<std::pair<QString, QString>> keys = {
        {"EtherNetIP_IP1", "10"}, {"EtherNetIP_IP2", "0"}, {"EtherNetIP_IP3", "0"}, {"EtherNetIP_IP4", "9"},
        {"EtherNetIP_NB_IN", "32"}, {"EtherNetIP_NB_OUT", "16"}, {"BACnet_IP4", "77"}};
    auto mstp = keys;
    mstp.push_back({"BACnet_Type", "1"});
    writeParGen(prj, mstp);
    QByteArray b = build(prj);
    EXPECT_EQ(at(b, kRec + 40, 12), QStringLiteral("0A 00 00 09 FF FF FF 00 FF FF FF FF"));
    EXPECT_TRUE(allZero(b.mid(kRec + 372, 12)));
    EXPECT_EQ(at(b, kRec + 54, 4), QStringLiteral("12 AF 12 AF"));
    EXPECT_EQ(le32(b, kRec + 116), 32u);
    EXPECT_EQ(le32(b, kRec + 120), 16u);

    auto ip = keys;
    ip.push_back({"EtherNetIP_EN_GAT", "1"});
    writeParGen(prj, ip);
    b = build(prj);
    EXPECT_EQ(at(b, kRec + 40, 4), QStringLiteral("C0 A8 00 4D"));
    EXPECT_EQ(at(b, kRec + 372, 12), QStringLiteral("0A 00 00 09 FF FF FF 00 C0 A8 00 01"));
    EXPECT_EQ(at(b, kRec + 54, 4), QStringLiteral("12 AF 12 AF"));

    // MS/TP on serial line 2.
    writeParGen(prj, {{"BACnet_Type", "2"}, {"BACnet_Ser_Baudrate", "5"}, {"BACnet_Ser_Parity", "1"},
                      {"BACnet_Ser_ID", "12"}});
    b = build(prj);
    EXPECT_EQ(le32(b, kRec + 60), 115200u);
    EXPECT_EQ(le16(b, kRec + 66), 2u);
    EXPECT_EQ(le32(b, kRec + 168), 12u);
    EXPECT_EQ(at(b, kRec + 80, 12), QStringLiteral("64 65 76 69 63 65 6E 61 6D 65 31 00"));
    EXPECT_EQ(at(b, kRec + 40, 12), QStringLiteral("C0 A8 00 0B FF FF FF 00 FF FF FF FF"));
    EXPECT_EQ(le32(b, kRec + 116), 496u);
    EXPECT_EQ(le32(b, kRec + 120), 500u);
    EXPECT_TRUE(checksumValid(b, kRec));
}
