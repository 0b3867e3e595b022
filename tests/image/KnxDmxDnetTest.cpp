// The KNX/DMX/DeviceNet record and the DeviceNet slave and DMX images.
#include "FieldImageFixture.h"
#include "image/DeviceNetImage.h"
#include "image/DmxImage.h"
#include "image/ParGenKnxDmxDnet.h"

#include <QFile>

using namespace field_test;

namespace {

constexpr int kDnetRec = 0x18800;
constexpr int kDmxRec = 0x10800;

QByteArray recordOf(const image::ParGenKDD& p)
{
    image::BankBuffer b(4096);
    image::Write_Par_Gen_KNX_DMX_DNet(b, p, 8);
    return QByteArray(reinterpret_cast<const char*>(b.data()) + 8, 2048);
}

} // namespace

TEST(KnxDmxDnetRecord, DefaultsSitAtTheirOffsetsAndEverythingElseIsZero)
{
    image::ParGenKDD p;
    image::Init_Par_Gen_KNX_DMX_DNet(p);
    const QByteArray rec = recordOf(p);
    const struct {
        int offset;
        const char* hex;
    } defaults[] = {{0, "48 E8 01 00"},  {12, "80 25 00 00"}, {16, "08 00"},          {40, "C0 A8 00 0A"},
                    {44, "FF FF FF 00"}, {48, "FF FF FF FF"}, {52, "10 27 11 27 11 27"}, {60, "80 25 00 00 08 00"},
                    {436, "08 08 08 08 08 08 08 08"}, {460, "57 0E"}};
    QByteArray expected(2044, '\0');
    for (const auto& f : defaults) {
        const QByteArray v = testing_support::hexBytes(f.hex);
        expected.replace(f.offset, v.size(), v);
    }
    EXPECT_EQ(toHex(rec.left(2044)), toHex(expected));
    EXPECT_TRUE(checksumValid(rec, 0));

    // Each field at its place; the object counts in the record's own order.
    for (int code = 0; code < 19; ++code)
        p.Object_Count[static_cast<size_t>(code)] = static_cast<uint32_t>(100 + code);
    p.KNX_Physical_Address = 0x1105;
    p.DMX_In_Channels = 24;
    p.DMX_Out_Channels = 25;
    p.BACnet_Ser_Parity = 2;
    p.BACnet_Ser_Network = 0x1234;
    const QByteArray set = recordOf(p);
    EXPECT_EQ(le32(set, 312), 100u);       // ANALOG INPUT
    EXPECT_EQ(le32(set, 320), 112u);       // ANALOG VALUE, code 12
    EXPECT_EQ(le32(set, 324), 102u);       // BINARY INPUT, code 2
    EXPECT_EQ(le32(set, 332), 113u);       // BINARY VALUE, code 13
    EXPECT_EQ(le32(set, 380), 117u);       // ACCUMULATOR
    EXPECT_EQ(le32(set, 1792), 118u);      // OCTET STRING
    EXPECT_EQ(at(set, 462, 2), QStringLiteral("05 11"));
    EXPECT_EQ(at(set, 476, 4), QStringLiteral("18 00 19 00"));
    EXPECT_EQ(at(set, 424, 1), QStringLiteral("02"));
    EXPECT_EQ(at(set, 270, 2), QStringLiteral("34 12"));
    EXPECT_TRUE(allZero(set.mid(484, 1308)));
    EXPECT_TRUE(allZero(set.mid(1796, 248)));
    EXPECT_TRUE(checksumValid(set, 0));
}

TEST(KnxDmxDnetRecord, BacnetKeysOfTheThreeModels)
{
    struct Case {
        int32_t type;
        int rec;
        std::vector<std::pair<QString, QString>> keys;
        std::vector<std::pair<int, const char*>> expected; // record offset, bytes
    };
    const Case cases[] = {
        // BACnet/IP with every key missing: the readers' defaults.
        {11, kDnetRec, {}, {{40, "C0 A8 00 05 FF FF FF 00 FF FF FF FF"}, {58, "C0 BA"},
                            {80, "64 65 76 69 63 65 6E 61 6D 65 31 00 00 00 00 00"}, {308, "01 00 00 00"}}},
        {16, 0x13000, {}, {{40, "C0 A8 00 05"}, {58, "C0 BA"}}},
        {18, kDmxRec, {}, {{40, "C0 A8 02 CD"}, {48, "FF FF FF FF"}}},
        {18, kDmxRec, {{"BACnet_EN_GAT", "1"}}, {{48, "C0 A8 02 01"}}},
        {11, kDnetRec, {{"BACnet_EN_GAT", "yes"}, {"BACnet_GAT1", "10"}}, {{48, "FF FF FF FF"}}},
        // A name of 16 characters fills its field; a longer one is cut there.
        {11, kDnetRec, {{"BACnet_NAME_STA", "abcdefghijklmnop"}}, {{80, "61 62 63 64 65 66 67 68 69 6A 6B 6C 6D 6E 6F 70 A4"}}},
        {16, 0x13000, {{"BACnet_NAME_STA", "abcdefghijklmnopqrs"}}, {{80, "61 62 63 64 65 66 67 68 69 6A 6B 6C 6D 6E 6F 70 00"}}},
        {18, kDmxRec, {{"BACnet_NAME_STA", ""}}, {{80, "00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00"}}},
        // MS/TP: DeviceNet keeps line 1 as it is; KNX and DMX put the line there too.
        {11, kDnetRec, {{"BACnet_Type", "1"}, {"BACnet_Ser_Baudrate", "7"}, {"BACnet_Ser_Parity", "1"}, {"BACnet_Ser_ID", "9"},
                        {"BACnet_Ser_Max_Master", "50"}},
         {{12, "80 25 00 00 08 00 00 00"}, {256, "09 32 01"}, {270, "01 00"}, {400, "80 25 00 00"}, {424, "02"},
          {58, "00 00"}, {308, "00 00 00 00"}}},
        {16, 0x13000, {{"BACnet_Type", "1"}, {"BACnet_Ser_Baudrate", "3"}, {"BACnet_Ser_Parity", "1"}, {"BACnet_Ser_Max_Master", "50"},
                       {"BACnet_Ser_DEV_IDE", "4000"}},
         {{12, "00 E1 00 00 08 00 02 00"}, {256, "00 00 00"}, {270, "00 00"}, {400, "00 E1 00 00"}, {424, "02"},
          {308, "A0 0F 00 00"}}},
        {18, kDmxRec, {{"BACnet_Type", "1"}, {"BACnet_Ser_Parity", "2"}, {"BACnet_Ser_Network", "7"}},
         {{12, "80 25 00 00 08 00 02 00"}, {256, "00 01 01"}, {270, "07 00"}, {424, "02"}}},
        // Any other type: no port, no name, no instance.
        {16, 0x13000, {{"BACnet_Type", "2"}}, {{58, "00 00"}, {80, "00 00 00 00"}, {308, "00 00 00 00"}, {400, "00 00 00 00"}}},
    };
    for (const Case& c : cases) {
        Project prj(c.type);
        writeParGen(prj, c.keys);
        const QByteArray b = build(prj);
        for (const auto& [offset, hex] : c.expected)
            EXPECT_EQ(at(b, c.rec + offset, static_cast<int>(testing_support::hexBytes(hex).size())), QString::fromLatin1(hex))
                << "type " << c.type << ", offset " << offset;
        EXPECT_TRUE(checksumValid(b, c.rec)) << c.type;
    }
}

TEST(DeviceNetImage, Layout)
{
    Project prj(11);
    writeObjects(prj, {tf::objectRow({.type = "Octet String", .length = "2"}), tf::objectRow({})},
                 {tf::objectRow({.type = "Analog Value"})});
    QByteArray b = build(prj);
    ASSERT_EQ(b.size(), 102400);
    EXPECT_TRUE(allZero(b.mid(0x10800, 0x8000)));
    EXPECT_EQ(le32(b, kDnetRec + 312), 1u);
    EXPECT_EQ(le32(b, kDnetRec + 320), 1u);
    EXPECT_EQ(le32(b, kDnetRec + 1792), 1u); // OCTET STRING counted
    // No ParGen.xml: the model constant and the record's defaults.
    EXPECT_EQ(at(b, kDnetRec + 96, 1), QStringLiteral("A4"));
    EXPECT_EQ(le32(b, kDnetRec + 0), 125000u);
    EXPECT_EQ(le32(b, kDnetRec + 28), 0u);
    EXPECT_EQ(at(b, kDnetRec + 40, 4), QStringLiteral("C0 A8 00 0A"));
    EXPECT_EQ(le32(b, kDnetRec + 248), 0x4F800u);
    EXPECT_TRUE(checksumValid(b, kDnetRec));

    writeParGen(prj, {});
    b = build(prj);
    EXPECT_EQ(le32(b, kDnetRec + 28), 10u);
    EXPECT_EQ(le32(b, kDnetRec + 0), 500000u);
    EXPECT_EQ(le32(b, kDnetRec + 116), 455u);
    EXPECT_EQ(le32(b, kDnetRec + 120), 455u);

    const struct {
        const char* code;
        uint32_t rate;
    } rates[] = {{"0", 125000}, {"1", 250000}, {"2", 500000}, {"7", 500000}, {"fast", 500000}};
    for (const auto& r : rates) {
        writeParGen(prj, {{"DNETS_BAUDRATE", r.code}, {"DNETS_ID_DEV", "63"}, {"DNETS_NB_IN", "8"}, {"DNETS_NB_OUT", "4"}});
        b = build(prj);
        EXPECT_EQ(le32(b, kDnetRec), r.rate) << r.code;
        EXPECT_EQ(le32(b, kDnetRec + 28), 63u);
        EXPECT_EQ(le32(b, kDnetRec + 116), 8u);
        EXPECT_EQ(le32(b, kDnetRec + 120), 4u);
    }
}

TEST(DmxImage, DirectionChoosesTheObjectsAndTheChannelCount)
{
    Project prj(18);
    writeObjects(prj, {tf::objectRow({.mnemonic = "in"}), tf::objectRow({.type = "Octet String"})},
                 {tf::objectRow({.type = "Analog Out", .mnemonic = "out"}), tf::objectRow({.type = "Binary Out"})});
    const struct {
        const char* direction; // nullptr: key missing
        uint16_t in, out;
        uint32_t analogIn, analogOut;
    } cases[] = {{"0", 100, 0, 1, 0}, {"1", 0, 100, 0, 1}, {"2", 0, 100, 0, 1}, {nullptr, 0, 100, 0, 1}};
    for (const auto& c : cases) {
        std::vector<std::pair<QString, QString>> keys{{"DMX_Num_Channels", "100"}};
        if (c.direction)
            keys.push_back({"DMX_DMX", c.direction});
        writeParGen(prj, keys);
        const QByteArray b = build(prj);
        ASSERT_EQ(b.size(), 70144);
        EXPECT_EQ(le16(b, kDmxRec + 476), c.in) << (c.direction ? c.direction : "missing");
        EXPECT_EQ(le16(b, kDmxRec + 478), c.out);
        EXPECT_EQ(le32(b, kDmxRec + 312), c.analogIn);
        EXPECT_EQ(le32(b, kDmxRec + 316), c.analogOut);
        EXPECT_EQ(le32(b, kDmxRec + 1792), 0u) << "no OCTET STRING count in the DMX record";
        EXPECT_EQ(le32(b, kDmxRec + 248), 0x57800u);
        EXPECT_EQ(le32(b, kDmxRec + 480), 0x68800u);
        // The one object in the image is the first entry, named from the chosen section.
        EXPECT_EQ(le32(b, 8), 0x57800u + 2047 * 16 + 1);
        EXPECT_TRUE(checksumValid(b, kDmxRec));
    }

    writeParGen(prj, {{"DMX_DMX", "0"}});
    EXPECT_EQ(le16(build(prj), kDmxRec + 476), 512);
    QFile::remove(prj.ws().Path_ParGen);
    const QByteArray b = build(prj);
    EXPECT_EQ(at(b, kDmxRec + 476, 8), QStringLiteral("00 00 00 00 00 88 06 00"));
    EXPECT_EQ(le32(b, kDmxRec + 316), 1u); // OUT without ParGen.xml
}

TEST(DmxImage, DefaultValues)
{
    const struct {
        tf::Rows rows;
        std::vector<std::pair<int, int>> expected; // channel, byte
    } cases[] = {
        {{tf::dmxRow("300"), tf::dmxRow("-1"), tf::dmxRow("7")}, {{0, 44}, {1, 255}, {2, 7}, {3, 0}, {511, 0}}},
        {{tf::dmxRow("x"), tf::without(tf::dmxRow("5"), "Default_Value"), tf::dmxRow("0x10")}, {{0, 0}, {1, 0}, {2, 16}}},
        {tf::Rows(600, tf::dmxRow("9")), {{0, 9}, {511, 9}}},
    };
    for (const auto& c : cases) {
        Project prj(18);
        prj.write(prj.ws().Path_DMX_Default_Values, tf::dmxXml(c.rows));
        const QByteArray b = build(prj);
        ASSERT_EQ(b.size(), 70144);
        for (const auto& [channel, value] : c.expected)
            EXPECT_EQ(static_cast<uint8_t>(b[0x11000 + channel]), value) << channel;
    }
    Project none(18);
    EXPECT_TRUE(allZero(build(none).mid(0x11000)));
}
