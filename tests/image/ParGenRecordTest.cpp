#include "ImageFixture.h"
#include "image/ModbusImages.h"
#include "image/ParGenKeys.h"
#include "image/ParGenRecord.h"
#include "platform/text/UserError.h"

#include <gtest/gtest.h>

#include <functional>

using namespace image;
using image_test::Project;
using testing_support::toHex;

namespace {

QByteArray recordOf(const ParGenStd& p)
{
    BankBuffer b(4096);
    EXPECT_EQ(Write_Par_Gen(b, p, 100), 100 + 2048);
    return QByteArray(reinterpret_cast<const char*>(b.data()) + 100, 2048);
}

QString at(const QByteArray& rec, int offset, int n) { return toHex(rec.mid(offset, n)); }

uint32_t storedSum(const QByteArray& rec) { return readLE32(reinterpret_cast<const uint8_t*>(rec.constData()) + 2044); }

uint32_t sumOf(const QByteArray& rec)
{
    return byteSum(reinterpret_cast<const uint8_t*>(rec.constData()), 2044);
}

} // namespace

TEST(ParGenRecord, DefaultsSitAtTheirOffsetsAndEverythingElseIsZero)
{
    ParGenStd p;
    Init_Par_Gen(p, 3);
    const QByteArray rec = recordOf(p);
    struct Field {
        int offset;
        const char* hex;
    };
    const Field defaults[] = {
        {0, "90 D0 03 00"},  // CAN bit rate 250000
        {12, "80 25 00 00"}, // line 1: 9600
        {16, "08 00"},       // 8 data bits
        {24, "01 00 00 00"}, // own Modbus address
        {52, "10 27"},       // configuration port 10000
        {64, "08 00"},       // line 2: 8 data bits
        {333, "01 01"},      // MS/TP max master, max info frames
        {336, "01 00"},      // MS/TP network
        {616, "FF FF FF FF"} // no slaves-present array
    };
    QByteArray expected(2044, '\0');
    for (const Field& f : defaults) {
        const QByteArray b = testing_support::hexBytes(f.hex);
        expected.replace(f.offset, b.size(), b);
    }
    EXPECT_EQ(toHex(rec.left(2044)), toHex(expected));
    EXPECT_EQ(storedSum(rec), sumOf(rec));

    // The RTU master and the M-Bus models have no own Modbus address.
    for (int type : {0, 1, 20}) {
        Init_Par_Gen(p, type);
        EXPECT_EQ(at(recordOf(p), 24, 4), QStringLiteral("00 00 00 00")) << type;
    }
}

TEST(ParGenRecord, EveryFieldLandsAtItsOffset)
{
    struct Case {
        int offset;
        std::function<void(ParGenStd&)> set;
        const char* hex;
    };
    const Case cases[] = {
        {0, [](ParGenStd& p) { p.CAN_Bit_Rate = 0x01020304; }, "04 03 02 01"},
        {12, [](ParGenStd& p) { p.Port1_Baud_Rate = 76800; }, "00 2C 01 00"},
        {16, [](ParGenStd& p) { p.Port1_Data_Bits = 7; }, "07 00"},
        {18, [](ParGenStd& p) { p.Port1_Parity = 2; }, "02 00"},
        {20, [](ParGenStd& p) { p.Port1_Stop_Bits = 2; }, "02 00 00 00"},
        {24, [](ParGenStd& p) { p.Modbus_Slave_ID = 10; }, "0A 00 00 00"},
        {32, [](ParGenStd& p) { p.Modbus_Timeout = 1000; }, "E8 03 00 00"},
        {36, [](ParGenStd& p) { p.Modbus_Cyclic = 100; }, "64 00 00 00"},
        {40, [](ParGenStd& p) { p.BACnet_IP = {192, 168, 0, 5}; }, "C0 A8 00 05"},
        {44, [](ParGenStd& p) { p.BACnet_SM = {255, 255, 255, 0}; }, "FF FF FF 00"},
        {48, [](ParGenStd& p) { p.BACnet_GAT = {10, 0, 0, 254}; }, "0A 00 00 FE"},
        {52, [](ParGenStd& p) { p.Config_Port = 0x1234; }, "34 12"},
        {54, [](ParGenStd& p) { p.Modbus_TCP_Port = 502; }, "F6 01"},
        {56, [](ParGenStd& p) { p.Modbus_TCP_Port_2 = 34963; }, "93 88"},
        {58, [](ParGenStd& p) { p.Option_Word = 32; }, "20 00"},
        {60, [](ParGenStd& p) { p.Port2_Baud_Rate = 115200; }, "00 C2 01 00"},
        {64, [](ParGenStd& p) { p.Port2_Data_Bits = 7; }, "07 00"},
        {66, [](ParGenStd& p) { p.Port2_Parity = 1; }, "01 00"},
        {68, [](ParGenStd& p) { p.Port2_Stop_Bits = 2; }, "02 00 00 00"},
        {72, [](ParGenStd& p) { p.Modbus_Access_Count = 1024; }, "00 04 00 00"},
        {80, [](ParGenStd& p) { copyTextField(p.BACnet_Device_Name.data(), 16, QStringLiteral("AB")); }, "41 42 00"},
        {96, [](ParGenStd& p) { p.Protocol_Code = 0x25; }, "25"},
        {97, [](ParGenStd& p) { p.Serial_Mode = 0x11; }, "11"},
        {99, [](ParGenStd& p) { p.CAN_Kind = 2; }, "02"},
        {104, [](ParGenStd& p) { p.BACnet_Port = 47808; }, "C0 BA"},
        {112, [](ParGenStd& p) { p.CAN_Frame_Count = 7; }, "07 00 00 00"},
        {116, [](ParGenStd& p) { p.NB_In = 244; }, "F4 00 00 00"},
        {120, [](ParGenStd& p) { p.NB_Out = 500; }, "F4 01 00 00"},
        {132, [](ParGenStd& p) { p.Object_Count[0] = 3; }, "03 00 00 00"},
        {164, [](ParGenStd& p) { p.Object_Count[8] = 4; }, "04 00 00 00"},
        {168, [](ParGenStd& p) { p.BACnet_Device_Instance = 4194302; }, "FE FF 3F 00"},
        {172, [](ParGenStd& p) { p.CANopen_SDO_Timeout = 9; }, "09 00 00 00"},
        {204, [](ParGenStd& p) { p.CANopen_Table_Count[0] = 1; }, "01 00 00 00"},
        {224, [](ParGenStd& p) { p.CANopen_Table_Count[5] = 6; }, "06 00 00 00"},
        {228, [](ParGenStd& p) { p.CANopen_Node_ID = 5; }, "05 00 00 00"},
        {232, [](ParGenStd& p) { p.CANopen_Flags = 3; }, "03 00 00 00"},
        {240, [](ParGenStd& p) { p.CAN_Table_Address = 0x60000; }, "00 00 06 00"},
        {264, [](ParGenStd& p) { p.CANopen_Table_Address[0] = 0x61000; }, "00 10 06 00"},
        {284, [](ParGenStd& p) { p.CANopen_Table_Address[5] = 0x62000; }, "00 20 06 00"},
        {288, [](ParGenStd& p) { p.Object_Count[9] = 5; }, "05 00 00 00"},
        {320, [](ParGenStd& p) { p.Object_Count[17] = 6; }, "06 00 00 00"},
        {324, [](ParGenStd& p) { p.CANopen_Delay = 8; }, "08 00 00 00"},
        {328, [](ParGenStd& p) { p.BACnet_Ser_Device_Instance = 77; }, "4D 00 00 00"},
        {332, [](ParGenStd& p) { p.BACnet_Ser_MAC = 12; }, "0C"},
        {333, [](ParGenStd& p) { p.BACnet_Ser_Max_Master = 127; }, "7F"},
        {334, [](ParGenStd& p) { p.BACnet_Ser_Max_Info_Frames = 3; }, "03"},
        {336, [](ParGenStd& p) { p.BACnet_Ser_Network = 2000; }, "D0 07"},
        {372, [](ParGenStd& p) { p.Eth2_IP = {192, 168, 0, 300}; }, "C0 A8 00 2C"},
        {376, [](ParGenStd& p) { p.Eth2_SM = {255, 255, 255, 0}; }, "FF FF FF 00"},
        {380, [](ParGenStd& p) { p.Eth2_GAT = {192, 168, 0, 1}; }, "C0 A8 00 01"},
        {588, [](ParGenStd& p) { copyTextField(p.Station_Name_2.data(), 16, QStringLiteral("pn")); }, "70 6E 00"},
        {604, [](ParGenStd& p) { p.BACnet_IP_Flags = 3; }, "03 00 00 00"},
        {608, [](ParGenStd& p) { p.BDT_Address = kBdtAddressAt0x19000; }, "00 88 06 00"},
        {612, [](ParGenStd& p) { p.Object_Count[18] = 2; }, "02 00 00 00"},
        {616, [](ParGenStd& p) { p.Slaves_Present_Position = 5; }, "05 00 00 00"},
        {620, [](ParGenStd& p) { p.PROFIBUS_Station = 126; }, "7E 00 00 00"},
    };
    ParGenStd base;
    Init_Par_Gen(base, 3);
    const QByteArray before = recordOf(base);
    for (const Case& c : cases) {
        ParGenStd p = base;
        c.set(p);
        const QByteArray rec = recordOf(p);
        const QByteArray want = testing_support::hexBytes(c.hex);
        EXPECT_EQ(at(rec, c.offset, static_cast<int>(want.size())), toHex(want)) << "offset " << c.offset;
        // Nothing else moved, and the checksum follows the bytes.
        QByteArray other = rec;
        other.replace(c.offset, want.size(), before.mid(c.offset, want.size()));
        EXPECT_EQ(toHex(other.left(2044)), toHex(before.left(2044))) << "offset " << c.offset;
        EXPECT_EQ(storedSum(rec), sumOf(rec)) << "offset " << c.offset;
    }
}

TEST(ParGenRecord, ChecksumIsTheByteSumAndRisesByOneWithOneField)
{
    ParGenStd p;
    Init_Par_Gen(p, 3);
    const QByteArray rec = recordOf(p);
    // 0x90+0xD0+0x03 + 0x80+0x25 + 8 + 1 + 0x10+0x27 + 8 + 1+1 + 1 + 4*0xFF
    EXPECT_EQ(storedSum(rec), 0x90u + 0xD0u + 0x03u + 0x80u + 0x25u + 8u + 1u + 0x10u + 0x27u + 8u + 1u + 1u + 1u + 4u * 0xFFu);
    p.BACnet_Device_Instance = 1;
    EXPECT_EQ(storedSum(recordOf(p)), storedSum(rec) + 1);
}

// The BACnet-side keys as the Modbus TCP master's reader reads them.
class BacnetKeys : public ::testing::Test {
protected:
    Project prj{3};
    QByteArray read(const std::vector<std::pair<QString, QString>>& keys)
    {
        prj.parGen(keys);
        Init_Par_Gen(prj.st().Par_Gen, 3);
        Read_Par_Gen_Modbus_TCP_Master(prj.st());
        return recordOf(prj.st().Par_Gen);
    }
};

TEST_F(BacnetKeys, OnlyTheRootGivesTheKeyDefaults)
{
    const QByteArray rec = read({});
    EXPECT_EQ(at(rec, 40, 12), QStringLiteral("C0 A8 00 05 FF FF FF 00 FF FF FF FF"));
    EXPECT_EQ(at(rec, 104, 2), QStringLiteral("C0 BA"));
    EXPECT_EQ(at(rec, 80, 16), QStringLiteral("64 65 76 69 63 65 6E 61 6D 65 31 00 00 00 00 00"));
    EXPECT_EQ(at(rec, 168, 4), QStringLiteral("01 00 00 00"));
    EXPECT_EQ(prj.st().Desc_Chars_Limit_Flag, 0);
}

TEST_F(BacnetKeys, GatewayIsUsedOnlyWhenEnabled)
{
    const std::vector<std::pair<QString, QString>> gat = {
        {"BACnet_GAT1", "10"}, {"BACnet_GAT2", "0"}, {"BACnet_GAT3", "0"}, {"BACnet_GAT4", "254"}};
    auto with = gat;
    with.push_back({"BACnet_EN_GAT", "1"});
    EXPECT_EQ(at(read(with), 48, 4), QStringLiteral("0A 00 00 FE"));
    auto off = gat;
    off.push_back({"BACnet_EN_GAT", "0"});
    EXPECT_EQ(at(read(off), 48, 4), QStringLiteral("FF FF FF FF"));
}

TEST_F(BacnetKeys, NumbersKeepTheirLowBitsAndTextGivesTheDefault)
{
    const QByteArray rec = read({{"BACnet_IP1", "300"}, {"BACnet_IP2", "abc"}, {"BACnet_IP3", ""},
                                 {"BACnet_PORT", "70000"}, {"BACnet_DEV_IDE", "12 "}});
    EXPECT_EQ(at(rec, 40, 4), QStringLiteral("2C A8 00 05"));
    EXPECT_EQ(at(rec, 104, 2), QStringLiteral("70 11")); // 70000 & 0xFFFF = 4464
    EXPECT_EQ(at(rec, 168, 4), QStringLiteral("01 00 00 00"));
}

TEST_F(BacnetKeys, MstpKeysReplaceTheIpGroup)
{
    struct Case {
        const char* baud;
        const char* parity;
        const char* line1;
    };
    const Case cases[] = {
        {"4", "1", "00 2C 01 00 08 00 02 00"}, // 76800, parity 1 stored as 2
        {"0", "2", "80 25 00 00 08 00 02 00"}, // 9600, parity 2 stays 2
        {"5", "0", "00 C2 01 00 08 00 00 00"}, // 115200
        {"6", "x", "80 25 00 00 08 00 00 00"}, // unknown code: 9600; text: 0
    };
    for (const Case& c : cases) {
        const QByteArray rec = read({{"BACnet_Type", "1"}, {"BACnet_Ser_Baudrate", c.baud},
                                     {"BACnet_Ser_Parity", c.parity}, {"BACnet_Ser_ID", "12"},
                                     {"BACnet_Ser_Max_Master", "127"}, {"BACnet_Ser_Max_Info_Frames", "5"},
                                     {"BACnet_Ser_DEV_IDE", "77"}, {"BACnet_Ser_Network", "2000"},
                                     {"BACnet_Ser_NAME_STA", "mstp"}, {"BACnet_PORT", "47809"}});
        EXPECT_EQ(at(rec, 12, 8), QString::fromLatin1(c.line1)) << c.baud;
        EXPECT_EQ(at(rec, 328, 10), QStringLiteral("4D 00 00 00 0C 7F 05 00 D0 07"));
        EXPECT_EQ(at(rec, 80, 5), QStringLiteral("6D 73 74 70 00"));
        EXPECT_EQ(at(rec, 104, 2), QStringLiteral("00 00")); // the IP group is not read
        EXPECT_EQ(at(rec, 168, 4), QStringLiteral("00 00 00 00"));
    }
}

TEST_F(BacnetKeys, AnyOtherBacnetTypeReadsNeitherGroup)
{
    const QByteArray rec = read({{"BACnet_Type", "2"}, {"BACnet_PORT", "47809"}, {"BACnet_NAME_STA", "x"},
                                 {"BACnet_Ser_Max_Master", "9"}, {"BACnet_Ser_Network", "9"}});
    EXPECT_EQ(at(rec, 104, 2), QStringLiteral("00 00"));
    EXPECT_EQ(at(rec, 80, 16), toHex(QByteArray(16, '\0')));
    EXPECT_EQ(at(rec, 168, 4), QStringLiteral("00 00 00 00"));
    EXPECT_EQ(at(rec, 332, 6), QStringLiteral("00 01 01 00 01 00"));
    EXPECT_EQ(at(rec, 40, 4), QStringLiteral("C0 A8 00 05")); // the address is read for every type
}

TEST_F(BacnetKeys, DeviceNameIsCutToItsFieldAndEmptyLeavesZeros)
{
    EXPECT_EQ(at(read({{"BACnet_NAME_STA", "ABCDEFGHIJKLMNOPQRSTU"}}), 80, 17),
              QStringLiteral("41 42 43 44 45 46 47 48 49 4A 4B 4C 4D 4E 4F 50 25")); // then Protocol_Code
    EXPECT_EQ(at(read({{"BACnet_NAME_STA", ""}}), 80, 16), toHex(QByteArray(16, '\0')));
    // One byte per character: the low 8 bits of its code unit.
    EXPECT_EQ(at(read({{"BACnet_NAME_STA", QStringLiteral("T\u00B0\u0141")}}), 80, 4), QStringLiteral("54 B0 41 00"));
}

TEST_F(BacnetKeys, DescriptionLimitOnlyWithExactlyOne)
{
    read({{"BACnet_Desc_Chars_Limit", "1"}});
    EXPECT_EQ(prj.st().Desc_Chars_Limit_Flag, 1);
    read({{"BACnet_Desc_Chars_Limit", " 1"}});
    EXPECT_EQ(prj.st().Desc_Chars_Limit_Flag, 0);
}

TEST_F(BacnetKeys, WithoutTheFileOnlyTheModelConstantsAreSet)
{
    Init_Par_Gen(prj.st().Par_Gen, 3);
    Read_Par_Gen_Modbus_TCP_Master(prj.st());
    ParGenStd expected;
    Init_Par_Gen(expected, 3);
    expected.Protocol_Code = 0x25;
    EXPECT_EQ(toHex(recordOf(prj.st().Par_Gen)), toHex(recordOf(expected)));
}

TEST_F(BacnetKeys, DamagedFileStopsTheReaderWithItsName)
{
    prj.write(prj.ws().Path_ParGen, "<Par_Gen><BACnet_IP1>1</BACnet_IP1>");
    try {
        Read_Par_Gen_Modbus_TCP_Master(prj.st());
        FAIL() << "no error";
    } catch (const platform::UserError& e) {
        EXPECT_TRUE(e.message().contains(QStringLiteral("ParGen.xml"))) << e.message().toStdString();
    }
}
