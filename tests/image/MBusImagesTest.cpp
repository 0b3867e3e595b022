#include "MBusFixture.h"
#include "image/ImageBuilder.h"
#include "image/MBusImages.h"
#include "platform/text/UserError.h"

#include <QFile>
#include <gtest/gtest.h>

using namespace image;
using namespace image_test;
using testing_support::hexBytes;
using testing_support::toHex;

namespace {

constexpr int kBlock = 2048;
constexpr int kNodes = 2057;

QString at(const QByteArray& b, int offset, int n) { return toHex(b.mid(offset, n)); }

void build(Project& prj)
{
    const BuildResult r = Build_Bin(prj.st());
    ASSERT_TRUE(r.ok) << r.error.toStdString();
}

QString buildError(Project& prj)
{
    const BuildResult r = Build_Bin(prj.st());
    EXPECT_FALSE(r.ok);
    return r.error;
}

} // namespace

// Node records, the ID big-endian, the readout cut, the function codes and the VIF texts.
TEST(MBusBacnetIp, NodeAndVariableRecords)
{
    Project prj(1);
    prj.parGen(meterKeys());
    prj.write(prj.ws().Path_M_Bus,
              network({mnode({{"Node_ID_Type", "1"}, {"ID_Secondary", "1234"}, {"ID_Primary", "9"}, {"Cut_After", "249"},
                              {"Send_SND_NKE", "1"}, {"Reset_App", "1"}, {"Node_State", "1"}, {"Ident_Num", "1"},
                              {"BCDtoINT_IN", "1"}, {"Swap_IN", "1"}},
                             {mvar({{"Type", "21"}, {"VIF_ASCII", "kWh"}, {"Fun_Field", "1"}}),
                              mvar({{"VIF_ASCII", "kWh"}, {"Fun_Field", "2"}}), mvar({{"Fun_Field", "3"}})}),
                       mnode({{"ID_Primary", "7"}, {"Cut_After", "255"}}), mnode({{"Cut_After", "x"}})}));
    build(prj);
    const QByteArray b = prj.bank1();
    const int vars = kNodes + 3 * 23;
    const int texts = vars + 5 * 24;
    EXPECT_EQ(at(b, kBlock, 5), "20 09 08 00 00");
    EXPECT_EQ(le32(b, kBlock + 5), uint32_t(texts + 3)); // the meter block follows the VIF texts
    EXPECT_EQ(at(b, kNodes, 23), "01 00 00 04 D2 03 00 " + at(b, kNodes + 7, 4) + " 01 01 01 00 00 01 04 00 01 01 00 FA");
    EXPECT_EQ(le32(b, kNodes + 7), uint32_t(vars));
    EXPECT_EQ(at(b, kNodes + 23, 5), "00 00 00 00 07");
    EXPECT_EQ(byteAt(b, kNodes + 23 + 22), 0);  // 255 + 1
    EXPECT_EQ(byteAt(b, kNodes + 46 + 22), 250); // missing
    EXPECT_EQ(le32(b, kNodes + 23 + 7), uint32_t(vars + 3 * 24));

    // Type 21 keeps its text (3 bytes, reversed); the same text on type 0 gives nothing.
    EXPECT_EQ(at(b, vars, 5), "15 02 04 08 00");
    EXPECT_EQ(byteAt(b, vars + 17), 3);
    EXPECT_EQ(le32(b, vars + 18), uint32_t(texts));
    EXPECT_EQ(at(b, vars + 24, 3), "00 01 04");
    EXPECT_EQ(byteAt(b, vars + 24 + 17), 0);
    EXPECT_EQ(le32(b, vars + 24 + 18), uint32_t(texts + 3));
    EXPECT_EQ(byteAt(b, vars + 48 + 1), 3);
    EXPECT_EQ(byteAt(b, vars + 72 + 1), 0);
    EXPECT_EQ(at(b, texts, 3), "68 57 6B");
    EXPECT_EQ(at(b, texts + 3, 6), "03 02 64 00 FF 03"); // baud, parity, delay, error code, nodes
    EXPECT_EQ(b.size(), texts + 9);
}

TEST(MBusBacnetIp, DataAddressesRunThroughAllNodes)
{
    Project prj(1);
    const AttrMap both{{"Node_State", "1"}, {"Ident_Num", "1"}};
    prj.write(prj.ws().Path_M_Bus, network({mnode(both), mnode(both)}));
    build(prj);
    const QByteArray b = prj.bank1();
    const int vars = kNodes + 2 * 23;
    EXPECT_EQ(le16(b, kNodes + 14), 0);
    EXPECT_EQ(le16(b, kNodes + 17), 4);
    EXPECT_EQ(le16(b, vars + 3), 8);
    EXPECT_EQ(le16(b, kNodes + 23 + 14), 12);
    EXPECT_EQ(le16(b, kNodes + 23 + 17), 16);
    EXPECT_EQ(le16(b, vars + 24 + 3), 20);
    // Without ParGen.xml there is no meter block: the field holds the end of the image.
    EXPECT_EQ(le32(b, kBlock + 5), uint32_t(b.size()));
    EXPECT_EQ(b.size(), vars + 48);
}

TEST(MBusBacnetIp, WhichNodeElementsAreTaken)
{
    Project prj(1);
    prj.write(prj.ws().Path_M_Bus,
              network({mnode({{"Descrizione", "none"}}, {mvar({{"Enable", QString()}}), mvar({{"Enable", "01"}})}),
                       mnode({{"Enable_Node", "0"}}), mnode({{"Enable_Node", "2"}}),
                       mnode({{"Enable_Node", QString()}, {"ID_Primary", "11"}}),
                       mnode({{"Enable_Node", "x"}, {"ID_Primary", "12"}})}));
    build(prj);
    const QByteArray b = prj.bank1();
    EXPECT_EQ(byteAt(b, kNodes + 4), 11);
    EXPECT_EQ(byteAt(b, kNodes + 23 + 4), 12);
    EXPECT_EQ(b.size(), kNodes + 2 * 23 + 2 * 24);
    // Data addresses start with the first node taken.
    EXPECT_EQ(le16(b, kNodes + 2 * 23 + 3), 0);
}

// Bank2 holds the object area; device type 20 joins bank1 and bank2 in bank3.
TEST(MBusBacnetIp, ObjectAreaSizes)
{
    for (const char* limit : {"0", "1"}) {
        for (int32_t type : {1, 20}) {
            SCOPED_TRACE(std::string(limit) + " " + std::to_string(type));
            Project prj(type);
            prj.parGen(meterKeys({{"BACnet_Desc_Chars_Limit", limit}}));
            prj.write(prj.ws().Path_M_Bus, network({mnode()}));
            build(prj);
            const bool small = limit[0] == '1';
            EXPECT_EQ(prj.st().bank2.length(), small ? 51200 : 67584);
            if (type == 20) {
                const QByteArray b3 = prj.st().bank3.filled();
                ASSERT_EQ(b3.size(), small ? 114688 : 131072);
                EXPECT_EQ(b3.left(prj.bank1().size()), prj.bank1());
                EXPECT_EQ(b3.mid(prj.bank1().size(), 63488 - prj.bank1().size()),
                          QByteArray(63488 - prj.bank1().size(), '\0'));
                EXPECT_EQ(b3.mid(63488), prj.st().bank2.filled());
            }
        }
    }
}

TEST(MBusBacnetIp, ObjectsOfTheNetwork)
{
    Project prj(1);
    prj.parGen(meterKeys());
    prj.write(prj.ws().Path_M_Bus,
              network({mnode({{"Descrizione", "Heat"}, {"Node_State", "1"}, {"NS_VarType", "1"}, {"Ident_Num", "1"}},
                             {mvar({{"Desc", "Energy"}, {"BACnet_EngUnits", "18"}}),
                              mvar({{"Desc", "Date"}, {"Type", "19"}, {"VIFE", "50"}}),
                              mvar({{"Desc", "None"}, {"Type", "19"}, {"VIFE", "0"}}),
                              mvar({{"Desc", "Serial"}, {"Dim", "7"}, {"Length", "20"}}),
                              mvar({{"Desc", ""}, {"Type", "23"}}),
                              mvar({{"Desc", "A name of twenty chr"}, {"Type", "26"}}),
                              mvar({{"Desc", "After"}, {"Dim", "2"}, {"Length", "20"}})})}));
    build(prj);
    const QByteArray b2 = prj.st().bank2.filled();
    const QByteArray rec = prj.bank1().left(2048);
    auto entry = [&](int k) { return b2.mid(16 * k, 16); };
    auto name = [&](int k) { return poolName(b2, 0x8000 + int(le32(entry(k), 8) - 0x68000)); };
    // Analog Input: the node state (NS_VarType 1), then the energy at data address 8.
    EXPECT_EQ(name(0), "NS_Heat");
    EXPECT_EQ(at(entry(0), 0, 8), "00 00 00 00 5F 00 04 00");
    EXPECT_EQ(name(1), "Energy");
    EXPECT_EQ(at(entry(1), 0, 8), "08 00 00 00 12 00 04 00");
    EXPECT_EQ(name(2), "After");
    EXPECT_EQ(le32(entry(2), 0), 44u); // after 4 + 8 + 0 + 20 + 4 + 0 bytes from 8
    // DateTime: 8 bytes at 12. The VIFE-0 variable takes no bytes and gives no object.
    EXPECT_EQ(name(3), "Date");
    EXPECT_EQ(at(entry(3), 0, 8), "0C 00 00 00 5F 00 08 00");
    // Positive Integer: the identification number, then the empty name at the pool base.
    EXPECT_EQ(name(4), "IN_Heat");
    EXPECT_EQ(le32(entry(4), 0), 4u);
    EXPECT_EQ(le32(entry(5), 8), 0x68000u);
    EXPECT_EQ(le32(entry(5), 0), 40u);
    // String: the length is the size.
    EXPECT_EQ(name(6), "Serial");
    EXPECT_EQ(at(entry(6), 0, 8), "14 00 00 00 5F 00 14 00");
    // The command objects, writable.
    const char* commands[4] = {"AppReset_SUBCODE", "Address", "Execute_Command", "Reset_Converter"};
    for (int k = 0; k < 4; ++k) {
        EXPECT_EQ(name(7 + k), commands[k]);
        EXPECT_EQ(at(entry(7 + k), 0, 8), "00 00 00 00 5F 00 04 01");
    }
    EXPECT_EQ(entry(11), QByteArray(16, '\0'));
    // The counts in the standard record.
    EXPECT_EQ(le32(rec, 132), 3u);
    EXPECT_EQ(le32(rec, 152), 1u);
    EXPECT_EQ(le32(rec, 156), 2u);
    EXPECT_EQ(le32(rec, 160), 1u);
    EXPECT_EQ(le32(rec, 296), 4u);
    EXPECT_TRUE(checksumValid(prj.bank1(), 0));
}

TEST(MBusBacnetIp, NamesAreCutToTheLimit)
{
    for (const char* limit : {"0", "1"}) {
        Project prj(1);
        prj.parGen(meterKeys({{"BACnet_Desc_Chars_Limit", limit}}));
        const QString longName = QString(40, QLatin1Char('n'));
        prj.write(prj.ws().Path_M_Bus, network({mnode({}, {mvar({{"Desc", longName}})})}));
        build(prj);
        const QByteArray b2 = prj.st().bank2.filled();
        const bool flag = limit[0] == '1';
        const int pool = flag ? 1024 * 16 : 2048 * 16;
        EXPECT_EQ(le32(b2, 8), (flag ? 0x64000u : 0x68000u) + 1);
        EXPECT_EQ(poolName(b2, pool + 1), QByteArray(flag ? 32 : 16, 'n'));
    }
}

TEST(MBusBacnetIp, ParametersOfTheStandardRecord)
{
    Project prj(1);
    prj.parGen({{"Meter_Baud", "9"}, {"Meter_Par", "1"}, {"Meter_Req_Delay", "300"}, {"Meter_NS_Error_Code", "7"},
                {"BACnet_IP1", "10"}, {"BACnet_GAT1", "10"}, {"BACnet_EN_GAT", "0"}, {"BACnet_PORT", "47809"},
                {"BACnet_NAME_STA", "A name longer than sixteen"}, {"BACnet_DEV_IDE", "77"}});
    build(prj);
    const QByteArray b = prj.bank1();
    EXPECT_EQ(at(b, 40, 12), "0A A8 00 05 FF FF FF 00 FF FF FF FF");
    EXPECT_EQ(at(b, 54, 6), "11 27 11 27 20 00");
    EXPECT_EQ(le32(b, 60), 2400u);
    EXPECT_EQ(le16(b, 66), 3);
    EXPECT_EQ(b.mid(80, 16), QByteArray("A name longer th"));
    EXPECT_EQ(byteAt(b, 96), 0x20); // the name never reaches the protocol code
    EXPECT_EQ(le16(b, 104), 47809);
    EXPECT_EQ(le32(b, 168), 77u);
    EXPECT_EQ(at(b, b.size() - 6, 6), "09 01 2C 01 07 00");
    EXPECT_TRUE(checksumValid(b, 0));

    // Without ParGen.xml only the fixed values.
    Project bare(1);
    build(bare);
    const QByteArray d = bare.bank1();
    EXPECT_EQ(at(d, 54, 6), "11 27 11 27 20 00");
    EXPECT_EQ(byteAt(d, 96), 0x20);
    EXPECT_EQ(le32(d, 60), 0u);
    EXPECT_EQ(le32(d, 168), 0u);
}

TEST(MBusBacnetIp, MeterKeysWithoutANumberStopTheBuild)
{
    const struct {
        std::vector<std::pair<QString, QString>> keys;
        const char* message;
    } cases[] = {
        {{{"Meter_Par", "2"}, {"Meter_Req_Delay", "1"}}, "ParGen.xml: the M-Bus setting Meter_Baud is missing."},
        {{{"Meter_Baud", "2"}, {"Meter_Par", "x"}, {"Meter_Req_Delay", "1"}},
         "ParGen.xml: the M-Bus setting Meter_Par is not a whole number (\"x\")."},
        {{{"Meter_Baud", "2"}, {"Meter_Par", "2"}}, "ParGen.xml: the M-Bus setting Meter_Req_Delay is missing."},
    };
    for (int32_t type : {1, 20, 21}) {
        for (const auto& c : cases) {
            Project prj(type);
            prj.parGen(c.keys);
            prj.dir().write("bin/bank1.bin", "old");
            EXPECT_EQ(buildError(prj), QLatin1String(c.message));
            EXPECT_FALSE(Save_Bin(prj.st()).ok);
            EXPECT_EQ(prj.dir().read("bin/bank1.bin"), QByteArray("old"));
        }
    }
}

TEST(MBusBacnetIp, BankFilesOfEachBacnetType)
{
    const struct {
        int32_t type;
        const char* bacnetType;
        QStringList files;
    } cases[] = {
        {1, "0", {"bank1.bin", "bank2.bin", "bank3.bin"}},
        {1, "1", {"bank1.bin", "bank3.bin"}},
        {1, "2", {"bank1.bin", "bank3.bin"}},
        {20, "0", {"bank1.bin", "bank2.bin", "bank3.bin"}},
        {20, "1", {"bank1.bin", "bank3.bin"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.type) + "/" + c.bacnetType);
        Project prj(c.type);
        prj.parGen(meterKeys({{"BACnet_Type", c.bacnetType}}));
        prj.write(prj.ws().Path_M_Bus, network({mnode()}));
        prj.dir().write("bin/bank2.bin", "older");
        build(prj);
        const SaveResult saved = Save_Bin(prj.st());
        ASSERT_TRUE(saved.ok) << saved.error.toStdString();
        QStringList expected;
        for (const QString& f : c.files)
            expected << prj.dir().file("bin/" + f);
        EXPECT_EQ(saved.files, expected);
        EXPECT_EQ(prj.dir().read("bin/bank1.bin"), prj.bank1());
        EXPECT_EQ(prj.dir().read("bin/bank3.bin"), prj.st().bank3.filled());
        if (c.files.size() == 2)
            EXPECT_EQ(prj.dir().read("bin/bank2.bin"), QByteArray("older"));
        else
            EXPECT_EQ(prj.dir().read("bin/bank2.bin"), prj.st().bank2.filled());
    }
}

// Type 20 places bank2 at 63,488 in bank3: a longer bank1 would overwrite it.
TEST(MBusBacnetIp, TypeTwentyRefusesABank1ThatOverlapsTheObjectArea)
{
    const QString text(250, QLatin1Char('t'));
    for (const auto& [vars, fits] : {std::pair{225, false}, std::pair{220, true}}) {
        Project prj(20);
        prj.parGen(meterKeys());
        prj.write(prj.ws().Path_M_Bus, network({nodeWith(vars, {}, {{"Type", "21"}, {"VIF_ASCII", text}})}));
        prj.dir().write("bin/bank3.bin", "old");
        const BuildResult r = Build_Bin(prj.st());
        if (fits) {
            EXPECT_TRUE(r.ok) << r.error.toStdString();
            EXPECT_LE(prj.bank1().size(), 63488);
            continue;
        }
        EXPECT_EQ(r.error, QStringLiteral("The M-Bus network needs %1 bytes in bank1; joined with the object area in "
                                          "bank3 it has room for 63488. Take nodes or variables out of the network.")
                               .arg(kNodes + 23 + vars * (24 + 250) + 6));
        EXPECT_FALSE(Save_Bin(prj.st()).ok);
        EXPECT_EQ(prj.dir().read("bin/bank3.bin"), QByteArray("old"));
    }
}

// --- MS/TP ------------------------------------------------------------------------------------

TEST(MBusMstp, LayoutAndParameterBlock)
{
    Project prj(1);
    prj.parGen(meterKeys({{"BACnet_Type", "1"}, {"BACnet_Ser_Baudrate", "5"}, {"BACnet_Ser_Parity", "2"},
                          {"BACnet_Ser_ID", "9"}, {"BACnet_Ser_NAME_STA", "Sixteen chars ok"}}));
    // One node with node state (NS_VarType is not read here) and two variables: 12 + 23 + 48
    // = 83, so the object area starts at 84.
    prj.write(prj.ws().Path_M_Bus,
              network({mnode({{"Node_State", "1"}, {"NS_VarType", "1"}, {"Cut_After", "249"}, {"Descrizione", "N"}},
                             {mvar({{"Desc", "A"}}), mvar({{"Desc", "S"}, {"Dim", "7"}, {"Length", "6"}})})}));
    build(prj);
    const QByteArray b = prj.bank1();
    EXPECT_EQ(le32(b, 0), 12u);
    EXPECT_EQ(le32(b, 4), 84u);
    EXPECT_EQ(at(b, 12 + 13, 1), "01"); // the node state as stored
    EXPECT_EQ(byteAt(b, 12 + 22), 250);
    EXPECT_EQ(at(b, 83, 1), "00");
    // Objects: A (Analog Input), NS_N (Positive Integer), S (String); the command objects are
    // made too, their names follow in the pool, but their entries are not written.
    const int n = 3;
    EXPECT_EQ(le32(b, 8), uint32_t(84 + 16 * n + 34816));
    const uint32_t poolBase = 84 + 0x124000 + 16 * n;
    EXPECT_EQ(le32(b, 84 + 8), poolBase + 1);
    EXPECT_EQ(poolName(b, 84 + 16 * n + 1), "A");
    EXPECT_EQ(le32(b, 84 + 16 + 8), poolBase + 3);
    EXPECT_EQ(poolName(b, 84 + 16 * n + 3), "NS_N");
    EXPECT_EQ(poolName(b, 84 + 16 * n + 8), "S");
    EXPECT_EQ(poolName(b, 84 + 16 * n + 10), "AppReset_SUBCODE");
    EXPECT_EQ(poolName(b, 84 + 16 * n + 27), "Address");
    EXPECT_EQ(poolName(b, 84 + 16 * n + 35), "Execute_Command");
    EXPECT_EQ(poolName(b, 84 + 16 * n + 51), "Reset_Converter");
    const int p = 84 + 16 * n + 34816;
    EXPECT_EQ(b.size(), p + 66);
    EXPECT_EQ(at(b, p, 10), "00 05 02 09 03 02 64 00 01 FF");
    EXPECT_EQ(le32(b, p + 10), 1u);
    EXPECT_EQ(b.mid(p + 14, 16), QByteArray(16, '\0'));
    EXPECT_EQ(le32(b, p + 30), 0u);
    EXPECT_EQ(le32(b, p + 34), 1u);
    EXPECT_EQ(le32(b, p + 38), 1u);
    EXPECT_EQ(b.mid(p + 42, 16), QByteArray("Sixteen chars ok"));
    EXPECT_EQ(le32(b, p + 58), 9u);
    EXPECT_EQ(le32(b, p + 62), 3u);
}

TEST(MBusMstp, ParameterBlockEdges)
{
    const struct {
        std::vector<std::pair<QString, QString>> keys;
        uint8_t typeCode;
        QByteArray name;
        uint32_t address;
    } cases[] = {
        {{{"BACnet_Type", "2"}, {"BACnet_Ser_NAME_STA", "Seventeen chars !"}}, 1, QByteArray(16, '\0'), 1},
        {{{"BACnet_Type", "1"}}, 0, QByteArray("devicename1\0\0\0\0\0", 16), 1},
        {{{"BACnet_Type", "3"}, {"BACnet_Ser_NAME_STA", ""}, {"BACnet_Ser_ID", "x"}}, 0, QByteArray(16, '\0'), 1},
    };
    for (const auto& c : cases) {
        Project prj(20);
        prj.parGen(meterKeys(c.keys));
        build(prj);
        const QByteArray b = prj.bank1();
        // No node: 12 bytes, the object area at 12.
        EXPECT_EQ(le32(b, 4), 12u);
        const int p = int(le32(b, 8));
        EXPECT_EQ(p, 12 + 34816);
        EXPECT_EQ(byteAt(b, p), c.typeCode);
        EXPECT_EQ(byteAt(b, p + 1), 3); // baud-rate index default
        EXPECT_EQ(b.mid(p + 42, 16), c.name);
        EXPECT_EQ(le32(b, p + 58), c.address);
    }
}

// The object table holds 2048 entries (1024 with the description limit) and the name pool
// 34,816 bytes; a network that needs more is refused before anything is written.
TEST(MBusObjects, TableAndNamePoolLimits)
{
    const QString name16(16, QLatin1Char('n'));
    const struct {
        const char* bacnetType;
        const char* limit;
        int vars;
        QString name;
        const char* error;
    } cases[] = {
        {"0", "0", 2044, "v", nullptr},
        {"0", "0", 2045, "v", "The M-Bus network makes 2049 BACnet objects; the BACnet object table of the image has "
                              "room for 2048."},
        {"0", "1", 1021, "v", "The M-Bus network makes 1025 BACnet objects; the BACnet object table of the image has "
                              "room for 1024."},
        // MS/TP: the four command objects are made too (their names fill the pool, 34,806 bytes
        // here) though the compact area holds the network's entries only.
        {"1", "0", 2044, name16, nullptr},
        {"1", "0", 2045, "v", "The M-Bus network makes 2049 BACnet objects; the BACnet object table of the image has "
                              "room for 2048."},
        {"1", "1", 1024, "v", nullptr},
        {"1", "1", 1025, "v", "The M-Bus network makes 1025 BACnet objects; the BACnet object table of the image has "
                              "room for 1024."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.vars));
        Project prj(1);
        prj.parGen(meterKeys({{"BACnet_Type", c.bacnetType}, {"BACnet_Desc_Chars_Limit", c.limit}}));
        prj.write(prj.ws().Path_M_Bus, network({nodeWith(c.vars, {}, {{"Desc", c.name}})}));
        // The BACnet side alone: the bank, built first by Build_Bin, has limits of its own.
        try {
            Build_MBus_BACnet(prj.st());
            EXPECT_FALSE(c.error);
        } catch (const platform::UserError& e) {
            EXPECT_EQ(e.message(), QLatin1String(c.error ? c.error : ""));
        }
    }
}
