#include "MBusFixture.h"
#include "image/ImageBuilder.h"
#include "image/MBusImages.h"
#include "workspace/LangTexts.h"

#include <gtest/gtest.h>

using namespace image;
using namespace image_test;
using testing_support::toHex;

namespace {

constexpr int kWireless = 67584;
constexpr int kMeters = 99328;
constexpr int kRecord = 100352;
constexpr int kWired = 102400;

QString at(const QByteArray& b, int offset, int n) { return toHex(b.mid(offset, n)); }

QByteArray bank(Project& prj)
{
    const BuildResult r = Build_Bin(prj.st());
    EXPECT_TRUE(r.ok) << r.error.toStdString();
    return prj.st().bank3.filled();
}

AttrMap radio(const QString& address, const AttrMap& more = {})
{
    AttrMap a{{"MBus_Type", "0"}, {"wMBus_ManID", "11571"}, {"wMBus_Add", address}, {"wMBus_Ver", "2"},
              {"wMBus_DevType", "7"}, {"wMBus_En_Key", "1"}};
    for (int k = 1; k <= 16; ++k)
        a[QStringLiteral("wMBus_Key_%1").arg(k)] = QString::number(k);
    for (const auto& [k, v] : more)
        a[k] = v;
    return a;
}

// A type-21 project with wired nodes allowed.
void wirelessProject(Project& prj, std::vector<std::pair<QString, QString>> more = {})
{
    more.push_back({"Sel_Dev_MBus_Present", "1"});
    more.push_back({"BACnet_DEV_IDE", "1234"});
    prj.parGen(meterKeys(more));
}

} // namespace

TEST(MBusBank, LayoutOfTheBank)
{
    Project prj(21);
    wirelessProject(prj);
    prj.write(prj.ws().Path_M_Bus,
              network({mnode({{"Node_State", "1"}, {"ID_Primary", "5"}, {"Cut_After", "3"}, {"Descrizione", "W"}}),
                       mnode(radio("305419896", {{"Node_State", "1"}, {"Cut_After", "3"}, {"Descrizione", "R"}}),
                             {mvar(), mvar({{"Type", "21"}, {"VIF_ASCII", "ab"}})})}));
    const QByteArray b = bank(prj);

    // Wireless section: its node record (ID = meter address, no SND_NKE, no cut), its
    // variables and texts, addressed from the section's start; zeros up to its end.
    EXPECT_EQ(at(b, kWireless, 23), "00 12 34 56 78 02 00 17 00 00 00 00 00 01 08 00 00 0C 00 00 00 00 00");
    EXPECT_EQ(le16(b, kWireless + 23 + 3), 12);
    EXPECT_EQ(le32(b, kWireless + 23 + 24 + 18), uint32_t(23 + 48 + 0));
    EXPECT_EQ(at(b, kWireless + 23 + 48, 2), "62 61");
    EXPECT_EQ(b.mid(kWireless + 23 + 48 + 2, kMeters - kWireless - 73), QByteArray(kMeters - kWireless - 73, '\0'));

    // The meter table: one entry in use.
    EXPECT_EQ(at(b, kMeters, 32), "33 2D 78 56 34 12 02 07 01 02 03 04 05 06 07 08 09 0A 0B 0C 0D 0E 0F 10 "
                                  "01 00 00 00 00 00 00 00");
    EXPECT_EQ(b.mid(kMeters + 32, 31 * 32), QByteArray(31 * 32, '\0'));

    // The record.
    EXPECT_TRUE(checksumValid(b, kRecord));
    EXPECT_EQ(byteAt(b, kRecord + 564), 1);
    EXPECT_EQ(le32(b, kRecord + 636), 1234u);
    EXPECT_EQ(le32(b, kRecord + 640), 2u);  // Analog Input: the two type-0 variables
    EXPECT_EQ(le32(b, kRecord + 664), 3u);  // Positive Integer: two node states, the type-21 variable
    EXPECT_EQ(le32(b, kRecord + 684), 4u);  // command objects

    // Wired section: header, node record addressed from the wireless section, meter block.
    const int wiredEnd = 13 + 23 + 24;
    EXPECT_EQ(at(b, kWired, 13), "20 0D 88 00 00 " + at(b, kWired + 5, 4) + " 00 00 00 00");
    EXPECT_EQ(le32(b, kWired + 5), uint32_t(0x8800 + wiredEnd));
    EXPECT_EQ(at(b, kWired + 13, 11), "00 00 00 00 05 01 00 " + at(b, kWired + 20, 4));
    EXPECT_EQ(le32(b, kWired + 20), uint32_t(0x8800 + 13 + 23));
    EXPECT_EQ(byteAt(b, kWired + 13 + 22), 4);
    EXPECT_EQ(at(b, kWired + wiredEnd, 6), "03 02 64 00 FF 01");
    EXPECT_EQ(b.size(), kWired + wiredEnd + 6);

    // One running data address: the wired node state at 0 and its variable at 4, the wireless
    // node state at 8.
    EXPECT_EQ(le16(b, kWired + 13 + 14), 0);
    EXPECT_EQ(le16(b, kWired + 13 + 23 + 3), 4);

    // Saved as bank1.bin, with bank_T.bin.
    const SaveResult saved = Save_Bin(prj.st());
    ASSERT_TRUE(saved.ok) << saved.error.toStdString();
    EXPECT_EQ(saved.files, (QStringList{prj.dir().file("bin/bank1.bin"), prj.dir().file("bin/bank_T.bin")}));
    EXPECT_EQ(prj.dir().read("bin/bank1.bin"), b);
    EXPECT_EQ(prj.dir().read("bin/bank_T.bin"), QByteArray("\x01\x00\x00\x00", 4));
}

TEST(MBusBank, CommandObjectsAreNamedAfterTheDevice)
{
    for (const char* limit : {"0", "1"}) {
        Project prj(21);
        wirelessProject(prj, {{"BACnet_Desc_Chars_Limit", limit}});
        const QByteArray b = bank(prj);
        const bool flag = limit[0] == '1';
        const int pool = flag ? 1024 * 16 : 2048 * 16;
        const uint32_t base = flag ? 0x53800 : 0x57800;
        const char* names[2][4] = {{"Dev1234_ApReS", "Dev1234_Addr", "Dev1234_ExCom", "Dev1234_ResCo"},
                                   {"Device1234_AppReset_SUBCODE", "Device1234_Address", "Device1234_Execute_Command",
                                    "Device1234_Reset_Converter"}};
        for (int k = 0; k < 4; ++k) {
            const uint32_t address = le32(b, 16 * k + 8);
            EXPECT_EQ(poolName(b, pool + int(address - base)), names[flag][k]);
            EXPECT_EQ(at(b, 16 * k, 8), "00 00 00 00 5F 00 04 01");
        }
        // With 1024 entries the object area is still 67,584 bytes long.
        if (flag) {
            EXPECT_EQ(b.mid(51200, kWireless - 51200), QByteArray(kWireless - 51200, '\0'));
        }
    }
}

// The wireless section has 31,744 bytes: one node of 23 bytes, 1321 variables of 24 and a unit
// text of 17 fill it exactly; a text of 18 is one byte too many.
TEST(MBusBank, WirelessSectionLimit)
{
    for (int text : {17, 18}) {
        Project prj(21);
        wirelessProject(prj);
        std::vector<QString> vars(1320, mvar());
        vars.push_back(mvar({{"Type", "21"}, {"VIF_ASCII", QString(text, QLatin1Char('u'))}}));
        prj.write(prj.ws().Path_M_Bus, network({mnode(radio("1"), vars)}));
        prj.dir().write("bin/bank1.bin", "old");
        const BuildResult r = Build_Bin(prj.st());
        if (text == 17) {
            ASSERT_TRUE(r.ok) << r.error.toStdString();
            EXPECT_EQ(prj.st().bank3.filled().mid(kMeters - 17, 17), QByteArray(17, 'u'));
            continue;
        }
        EXPECT_EQ(r.error, QStringLiteral("Error!!! Too many varaibles selected for wM-Bus"));
        EXPECT_FALSE(Save_Bin(prj.st()).ok);
        EXPECT_EQ(prj.dir().read("bin/bank1.bin"), QByteArray("old"));
    }
}

// The wired section has 63,488 bytes: header 13, one node 23, 2642 variables without an object
// and a text of 14, meter block 6. The bank is then 165,888 bytes; one byte more is refused.
TEST(MBusBank, WiredSectionLimit)
{
    for (int text : {14, 15}) {
        Project prj(1);
        prj.parGen(meterKeys());
        std::vector<QString> vars(2642, mvar({{"Type", "26"}}));
        vars.push_back(mvar({{"Type", "21"}, {"VIF_ASCII", QString(text, QLatin1Char('u'))}}));
        prj.write(prj.ws().Path_M_Bus, network({mnode({}, vars)}));
        const BuildResult r = Build_Bin(prj.st());
        if (text == 14) {
            ASSERT_TRUE(r.ok) << r.error.toStdString();
            EXPECT_EQ(prj.st().bank3.length(), 165888);
            continue;
        }
        EXPECT_EQ(r.error, QStringLiteral("Error!!! Too many varaibles selected for M-Bus"));
        EXPECT_FALSE(Save_Bin(prj.st()).ok);
    }
}

// The name pool has 34,816 bytes and pool byte 0 stays 0: 2044 names of 16 characters and the
// four command names of the largest device instance (seven digits: three of them 16 characters,
// "Dev4194303_Addr" 15) take 1 + 2044 x 17 + 3 x 17 + 16 = 34,816 bytes, all the room there is.
// One variable more makes 2049 objects, past the object table, which the builder finds first:
// with an instance inside its bounds the names always fit.
TEST(MBusBank, NamePoolLimit)
{
    for (int vars : {2044, 2045}) {
        SCOPED_TRACE(vars);
        Project prj(1);
        prj.parGen(meterKeys({{"BACnet_DEV_IDE", "4194303"}}));
        prj.write(prj.ws().Path_M_Bus, network({nodeWith(vars, {}, {{"Desc", QString(20, QLatin1Char('n'))}})}));
        prj.dir().write("bin/bank3.bin", "old");
        const BuildResult r = Build_Bin(prj.st());
        if (vars == 2044) {
            ASSERT_TRUE(r.ok) << r.error.toStdString();
            const QByteArray b = prj.st().bank3.filled();
            EXPECT_EQ(poolName(b, 2048 * 16 + 1 + 2044 * 17), "Dev4194303_ApReS");
            continue;
        }
        EXPECT_EQ(r.error, QStringLiteral("The M-Bus network makes 2049 BACnet objects; the BACnet object table of "
                                          "the image has room for 2048."));
        EXPECT_FALSE(Save_Bin(prj.st()).ok);
        EXPECT_EQ(prj.dir().read("bin/bank3.bin"), QByteArray("old"));
    }
}

// A device instance the general parameters refuse (a file edited by hand) stops the build with
// their message, before anything is built; the bank files stay.
TEST(MBusBank, ADeviceInstanceOutsideItsBoundsIsRefusedWithTheGeneralParametersMessage)
{
    struct Case {
        int type;
        const char* key;
        const char* value;
        const char* bacnetType;
        const char* message;
    } cases[] = {
        {1, "BACnet_DEV_IDE", "-5", "0", "Error BACnet!! Device Identifier must be between 0 and 4194303"},
        {1, "BACnet_DEV_IDE", "4194304", "0", "Error BACnet!! Device Identifier must be between 0 and 4194303"},
        {1, "BACnet_Ser_DEV_IDE", "-5", "1", "Error BACnet!! Device Instance must be between 0 and 4194303"},
        {1, "BACnet_DEV_IDE", "abc", "0", "Error BACnet!! Device Identifier must be between 0 and 4194303"},
        // The models without the BACnet type choice have their own bound and text.
        {1001, "BACnet_DEV_IDE", "-5", "0", "Error BACnet!! Device Identifier must be between 0 and 65536"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.value);
        Project prj(c.type);
        workspace::Default_Texts();
        prj.parGen(meterKeys({{c.key, c.value}, {"BACnet_Type", c.bacnetType}}));
        if (!prj.ws().Path_M_Bus.isEmpty())
            prj.write(prj.ws().Path_M_Bus, network({nodeWith(2, {}, {})}));
        prj.dir().write("bin/bank1.bin", "old");
        const BuildResult r = Build_Bin(prj.st());
        EXPECT_FALSE(r.ok);
        EXPECT_EQ(r.error, QLatin1String(c.message));
        EXPECT_FALSE(Save_Bin(prj.st()).ok);
        EXPECT_EQ(prj.dir().read("bin/bank1.bin"), QByteArray("old"));
    }
    // The bounds themselves are taken.
    Project prj(1);
    prj.parGen(meterKeys({{"BACnet_DEV_IDE", "0"}}));
    prj.write(prj.ws().Path_M_Bus, network({nodeWith(2, {}, {})}));
    EXPECT_TRUE(Build_Bin(prj.st()).ok);
}

TEST(MBusBank, ThirtyTwoWirelessMetersAtMost)
{
    for (int meters : {32, 33}) {
        Project prj(21);
        wirelessProject(prj);
        std::vector<QString> nodes;
        for (int k = 0; k < meters; ++k)
            nodes.push_back(mnode(radio(QString::number(k + 1))));
        prj.write(prj.ws().Path_M_Bus, network(nodes));
        const BuildResult r = Build_Bin(prj.st());
        if (meters == 32) {
            ASSERT_TRUE(r.ok) << r.error.toStdString();
            const QByteArray b = prj.st().bank3.filled();
            EXPECT_EQ(byteAt(b, kRecord + 564), 32);
            EXPECT_EQ(le32(b, kMeters + 31 * 32 + 2), 32u);
            continue;
        }
        EXPECT_EQ(r.error, QStringLiteral("The M-Bus network has 33 wireless meters; the wireless meter table of the "
                                          "image has room for 32."));
    }
}

TEST(MBusBank, WiredAndWirelessNodes)
{
    const QString net = QString::fromUtf8(network(
        {mnode({{"ID_Primary", "3"}}), mnode(radio("10", {{"wMBus_En_Key", "0"}})), mnode(radio("11")),
         mnode(radio("12", {{"MBus_Type", "x"}})), mnode(radio("13", {{"MBus_Type", "7"}}))}));
    const struct {
        int32_t type;
        std::vector<std::pair<QString, QString>> keys;
        bool wired;
    } cases[] = {
        {21, {{"Sel_Dev_MBus_Present", "1"}}, true},
        {21, {{"Sel_Dev_MBus_Present", "0"}}, false},
        {21, {{"Sel_Dev_MBus_Present", "x"}}, false},
        {1, {}, true},
        {20, {{"BACnet_Type", "1"}}, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.type);
        Project prj(c.type);
        prj.parGen(meterKeys(c.keys));
        prj.write(prj.ws().Path_M_Bus, net.toUtf8());
        const QByteArray b = bank(prj);
        // The nodes without MBus_Type 1 are wireless, a missing or unreadable one is wired.
        const int wiredNodes = c.wired ? 2 : 0;
        EXPECT_EQ(b.size(), kWired + 13 + wiredNodes * (23 + 24) + 6);
        EXPECT_EQ(byteAt(b, kRecord + 564), 3);
        // Entries in document order; a key not enabled is not written.
        EXPECT_EQ(le32(b, kMeters + 2), 10u);
        EXPECT_EQ(at(b, kMeters + 8, 17), at(QByteArray(17, '\0'), 0, 17));
        EXPECT_EQ(le32(b, kMeters + 32 + 2), 11u);
        EXPECT_EQ(byteAt(b, kMeters + 32 + 8), 1);
        EXPECT_EQ(byteAt(b, kMeters + 32 + 24), 1);
        EXPECT_EQ(le32(b, kMeters + 64 + 2), 13u);
        EXPECT_EQ(b.mid(kMeters + 96, 29 * 32), QByteArray(29 * 32, '\0'));
        // The wireless data addresses follow the wired ones.
        EXPECT_EQ(le16(b, kWireless + 3 * 23 + 3), c.wired ? 8 : 0);
    }
    // Without ParGen.xml type 21 takes no wired node and writes no meter block.
    Project bare(21);
    bare.write(bare.ws().Path_M_Bus, net.toUtf8());
    const QByteArray b = bank(bare);
    EXPECT_EQ(b.size(), kWired + 13);
    EXPECT_EQ(le32(b, kWired + 5), uint32_t(0x8800 + 13));
}

TEST(MBusBank, ObjectKindsOfTheWiderVifeRange)
{
    Project prj(21);
    wirelessProject(prj);
    prj.write(prj.ws().Path_M_Bus,
              network({mnode(radio("1"), {mvar({{"Type", "19"}, {"VIFE", "131"}}), mvar({{"Type", "19"}, {"VIFE", "140"}}),
                                          mvar({{"Type", "19"}, {"VIFE", "126"}}), mvar({{"Type", "19"}, {"VIFE", "147"}})})}));
    const QByteArray b = bank(prj);
    EXPECT_EQ(le32(b, kRecord + 640), 2u);
    EXPECT_EQ(le32(b, kRecord + 664), 1u);
    // The object of VIFE 126 lies after the two analog inputs: 0, 4, then 8; VIFE 147 takes nothing.
    EXPECT_EQ(le32(b, 32), 8u);
    EXPECT_EQ(le16(b, kWireless + 23 + 3 * 24 + 3), 12);
}

// The wireless M-Bus record of the bank, from ParGen.xml.
TEST(MBusBank, ParameterRecord)
{
    const struct {
        const char* what;
        int32_t type;
        std::vector<std::pair<QString, QString>> keys;
        int offset;
        QString bytes;
    } cases[] = {
        {"Meter_Baud missing gives 300", 21, {}, 496 + 12, "2C 01 00 00"},
        {"Meter_Baud 3", 21, {{"Meter_Baud", "3"}}, 496 + 12, "60 09 00 00"},
        {"Meter_Baud 8", 21, {{"Meter_Baud", "8"}}, 496 + 12, "60 09 00 00"},
        {"Meter_Par default 2", 21, {}, 523, "02"},
        {"MS/TP 0 on type 1", 1, {{"BACnet_Type", "1"}, {"BACnet_Ser_Baudrate", "0"}}, 8, "B0 04 00 00"},
        {"MS/TP 0 on type 20", 20, {{"BACnet_Type", "1"}, {"BACnet_Ser_Baudrate", "0"}}, 8, "80 25 00 00"},
        {"MS/TP 0 on type 21", 21, {{"BACnet_Type", "2"}, {"BACnet_Ser_Baudrate", "0"}}, 496, "80 25 00 00"},
        {"MS/TP 8 on type 1", 1, {{"BACnet_Type", "1"}, {"BACnet_Ser_Baudrate", "8"}}, 8, "00 2C 01 00"},
        {"parity as stored", 21, {{"BACnet_Type", "1"}, {"BACnet_Ser_Parity", "1"}}, 12, "01 00 00 00"},
        {"parity of port 0", 21, {{"BACnet_Type", "1"}, {"BACnet_Ser_Parity", "1"}}, 520, "01"},
        {"fixed C field FB", 21, {{"Enable_Use_Fix_C_Field", "1"}, {"Use_Fix_C_Field_Value", "1"}}, 728, "FB 00 00 00"},
        {"C field keys missing", 21, {}, 728, "5B 00 00 00"},
        {"C field 0 on", 21, {{"Enable_Use_Fix_C_Field", "1"}, {"Use_Fix_C_Field_Value", "0"}}, 728, "DB 00 00 00"},
        {"type 20 MS/TP takes Eth2", 20,
         {{"BACnet_Type", "1"}, {"Eth2_IP1", "10"}, {"BACnet_IP1", "172"}, {"Eth2_EN_GAT", "1"}}, 40,
         "0A A8 00 05 FF FF FF 00 C0 A8 00 01"},
        {"type 21 MS/TP keeps BACnet_IP", 21, {{"BACnet_Type", "1"}, {"Eth2_IP1", "10"}, {"BACnet_IP1", "172"}}, 40,
         "AC A8 00 05 FF FF FF 00 FF FF FF FF"},
        {"BACnet type 3 reads neither", 21, {{"BACnet_Type", "3"}, {"BACnet_PORT", "1"}, {"BACnet_Ser_ID", "3"}}, 76,
         "00 00"},
        {"wMBus_Mode 9", 21, {{"wMBus_Mode", "9"}}, 568, "01"},
        {"wMBus_Mode 3", 21, {{"wMBus_Mode", "3"}}, 568, "11"},
        {"wMBus_Mode on type 20", 20, {{"wMBus_Mode", "3"}}, 568, "00"},
        {"radio channel", 21, {{"wMBus_Radio_Channel", "4"}}, 582, "04 00 03 05 05"},
        {"radio port", 21, {}, 504, "00 4B 00 00"},
        {"byte 59 type 20", 20, {}, 58, "0A 00"},
        {"byte 59 type 1", 1, {}, 58, "0A 20"},
        {"byte 59 type 21", 21, {}, 58, "0A 20"},
        {"BACnet/IP port", 21, {{"BACnet_PORT", "47809"}}, 76, "C1 BA"},
        {"BACnet/IP name", 21, {{"BACnet_NAME_STA", "Gate"}}, 344, "47 61 74 65 00"},
        {"BACnet/IP name cut", 21, {{"BACnet_NAME_STA", "Seventeen chars !"}}, 359, "20 00"},
        {"MS/TP fields", 21,
         {{"BACnet_Type", "1"}, {"BACnet_Ser_DEV_IDE", "9"}, {"BACnet_Ser_ID", "3"}, {"BACnet_Ser_Network", "260"}},
         712, "09 00 00 00 03 01 01 00 04 01"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Project prj(c.type);
        prj.parGen(c.keys);
        ParGenWMBus p;
        ParGenStd standard;
        uint8_t flag = 0;
        Init_Par_Gen_wMBus(p);
        Load_ParGen_wMBus(p, standard, flag, c.type);
        BankBuffer out(2048);
        out.setLength(Write_Par_Gen_wMBus(out, p, 0));
        const QByteArray b = out.filled();
        EXPECT_EQ(at(b, c.offset, static_cast<int>(c.bytes.size() + 1) / 3), c.bytes);
        EXPECT_TRUE(checksumValid(b, 0));
    }
}

TEST(MBusBank, RecordWithoutParGen)
{
    Project prj(21);
    const QByteArray b = bank(prj);
    const QByteArray rec = b.mid(kRecord, 752);
    EXPECT_EQ(at(rec, 0, 16), "48 E8 01 00 48 E8 01 00 80 25 00 00 00 00 00 00");
    EXPECT_EQ(at(rec, 40, 20), "C0 A8 02 CD FF FF FF 00 FF FF FF FF 10 27 11 27 11 27 0A 00");
    EXPECT_EQ(at(rec, 496, 44), "00 00 00 00 00 00 00 00 00 00 00 00 60 09 00 00 00 00 00 00 00 00 00 00 "
                                "00 00 00 00 00 00 00 00 00 01 00 00 08 08 08 08 08 08 08 08");
    EXPECT_EQ(at(rec, 559, 4), "01 01 01 01");
    EXPECT_EQ(at(rec, 570, 1), "BF");
    EXPECT_EQ(at(rec, 584, 7), "00 00 00 00 00 00 01");
    EXPECT_EQ(le32(rec, 596), 0x67C00u);
    EXPECT_EQ(le32(rec, 684), 4u);
    EXPECT_EQ(le32(rec, 728), 0u);
    EXPECT_TRUE(checksumValid(b, kRecord));
    // The command objects carry the default device instance 1.
    EXPECT_EQ(poolName(b, 2048 * 16 + 1), "Dev1_ApReS");
}
