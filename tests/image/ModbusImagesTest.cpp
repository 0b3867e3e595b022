#include "ImageFixture.h"
#include "image/ImageBuilder.h"
#include "image/ModbusImages.h"

#include <QFile>
#include <gtest/gtest.h>

using namespace image;
using image_test::Attrs;
using image_test::objectRow;
using image_test::Project;
using image_test::Rows;
using testing_support::toHex;

namespace {

constexpr int kRec = 0x18800; // parameter record in bank1

QString at(const QByteArray& b, int offset, int n) { return toHex(b.mid(offset, n)); }
QString rec(const QByteArray& b, int offset, int n) { return at(b, kRec + offset, n); }

bool checksumValid(const QByteArray& b)
{
    const auto* p = reinterpret_cast<const uint8_t*>(b.constData()) + kRec;
    return byteSum(p, 2044) == readLE32(p + 2044);
}

QByteArray build(Project& prj)
{
    const BuildResult r = Build_Bin(prj.st());
    EXPECT_TRUE(r.ok) << r.error.toStdString();
    return prj.bank1();
}

Attrs accessRow(bool tcp, bool write, const QString& slave, const QString& type, const QString& npoint,
                const QString& position)
{
    Attrs a;
    if (tcp) {
        a.push_back({"IP_Address", "10.1.2.3"});
        a.push_back({"Port", "503"});
    }
    a.insert(a.end(), {{"Slave_ID", slave}, {"Type", type}, {"Address", "40"}, {"NPoint", npoint},
                       {"PollTime", "500"}, {"MaxError", "2"}, {"Position", position}, {"Bit", "0"},
                       {"Float_Conv", "N"}, {"Endian", "Little"}, {"Operation", "None"}, {"Signed", "N"},
                       {"Swap_W", "N"}, {"Mnemonic", "r"}});
    if (write) {
        a.push_back({"OnChange", "Y"});
        if (!tcp)
            a.push_back({"Force_F16", "N"});
    }
    return a;
}

Rows bdtRows(int n)
{
    Rows rows;
    for (int i = 0; i < n; ++i)
        rows.push_back({{"Enable", "Y"}, {"IP_Address", QStringLiteral("10.0.0.%1").arg(i + 1)},
                        {"SubNet_Mask", "255.255.255.0"}, {"Port", "47808"}, {"Mnemonic", ""}});
    return rows;
}

} // namespace

TEST(ModbusImages, TcpMasterWithAnEmptyProject)
{
    Project prj(3);
    const QByteArray b = build(prj);
    ASSERT_EQ(b.size(), 102400);
    EXPECT_EQ(b.left(kRec), QByteArray(kRec, '\0')); // object area and 1024 access records
    ParGenStd expected;
    Init_Par_Gen(expected, 3);
    expected.Protocol_Code = 0x25;
    BankBuffer want(2048);
    Write_Par_Gen(want, expected, 0);
    EXPECT_EQ(toHex(b.mid(kRec)), toHex(QByteArray(reinterpret_cast<const char*>(want.data()), 2048)));
    EXPECT_TRUE(checksumValid(b));
}

TEST(ModbusImages, TcpMasterProject)
{
    Project prj(3);
    prj.parGen({{"BACnet_IP1", "10"}, {"BACnet_IP2", "1"}, {"BACnet_IP3", "1"}, {"BACnet_IP4", "2"},
                {"BACnet_EN_BBMD", "1"}, {"BACnet_EN_FDR", "1"}, {"BACnet_NAME_STA", "gw3"},
                {"Modbus_TCP_Master_EN_GAT", "1"}, {"ModbusTCPM_TIMEOUT", "2000"}});
    prj.objects({objectRow("Analog Input", "10", "62", "4", "T1")}, {objectRow("Binary Out", "20", "95", "1", "", "3")});
    prj.modbus(prj.ws().Path_ModbusTCPM_SetAccess, {accessRow(true, false, "1", "Holding Register", "2", "10")},
               {accessRow(true, true, "2", "Coil Status", "1", "20")});
    const QByteArray b = build(prj);
    ASSERT_EQ(b.size(), 102400);
    EXPECT_EQ(at(b, 0, 32), QStringLiteral("0A 00 00 00 3E 00 04 00 F1 77 05 00 01 00 00 00 "
                                           "14 00 00 00 5F 00 01 01 F0 77 05 00 02 00 03 00"));
    EXPECT_EQ(at(b, 0x7FF0, 4), QStringLiteral("00 54 31 00"));
    EXPECT_EQ(at(b, 0x10800, 64), QStringLiteral("0A 00 00 00 F4 01 00 00 01 03 28 00 02 00 F7 01 "
                                                 "03 02 01 0A 00 00 00 00 02 00 00 00 00 00 04 00 "
                                                 "14 00 00 00 F4 01 00 00 02 05 28 00 01 00 F7 01 "
                                                 "03 02 01 0A 00 00 00 00 02 00 00 00 00 00 00 01"));
    EXPECT_EQ(b.mid(0x10800 + 64, 0x8000 - 64), QByteArray(0x8000 - 64, '\0'));
    EXPECT_EQ(rec(b, 32, 8), QStringLiteral("D0 07 00 00 64 00 00 00"));     // time-out, cycle
    EXPECT_EQ(rec(b, 40, 4), QStringLiteral("0A 01 01 02"));
    EXPECT_EQ(rec(b, 54, 4), QStringLiteral("F6 01 F6 01"));                 // port twice
    EXPECT_EQ(rec(b, 72, 4), QStringLiteral("02 00 00 00"));                 // access records
    EXPECT_EQ(rec(b, 80, 4), QStringLiteral("67 77 33 00"));
    EXPECT_EQ(rec(b, 96, 1), QStringLiteral("25"));
    EXPECT_EQ(rec(b, 132, 16), QStringLiteral("01 00 00 00 00 00 00 00 00 00 00 00 01 00 00 00"));
    EXPECT_EQ(rec(b, 372, 12), QStringLiteral("C0 A8 00 06 FF FF FF 00 C0 A8 00 01"));
    EXPECT_EQ(rec(b, 604, 8), QStringLiteral("00 00 00 00 00 00 00 00")); // no BBMD in this image
    EXPECT_TRUE(checksumValid(b));
}

TEST(ModbusImages, RtuMasterProjectEndsWithTheBbmdTable)
{
    Project prj(0);
    prj.parGen({{"BACnet_EN_BBMD", "1"}, {"BACnet_EN_FDR", "1"}, {"ModbusM_BAUDRATE", "3"}, {"ModbusM_PARITY", "2"},
                {"ModbusM_STOPBITS", "1"}, {"ModbusM_SERIAL", "0"}, {"ModbusM_Slaves_Present", "1"},
                {"ModbusM_Slaves_Present_Array_Position", "5"}});
    prj.objects({objectRow("Analog Value", "0")});
    prj.modbus(prj.ws().Path_ModbusM_SetAccess, {accessRow(false, false, "7", "Input Status", "17", "0")},
               {[] {
                   Attrs a = accessRow(false, true, "8", "Holding Register", "1", "30");
                   a.back().second = QStringLiteral("Y"); // Force_F16
                   return a;
               }()});
    prj.bdt(bdtRows(2));
    const QByteArray b = build(prj);
    ASSERT_EQ(b.size(), 102520);
    EXPECT_EQ(at(b, 0x10800, 32), QStringLiteral("00 00 00 00 F4 01 00 00 07 02 28 00 11 00 00 00 "
                                                  "00 00 00 00 00 00 00 00 02 00 00 00 00 00 03 00"));
    EXPECT_EQ(at(b, 0x10800 + 32 + 8, 2), QStringLiteral("08 10")); // forced function 16
    EXPECT_EQ(rec(b, 12, 12), QStringLiteral("80 25 00 00 08 00 02 00 02 00 00 00")); // line 1 = line 2
    EXPECT_EQ(rec(b, 24, 4), QStringLiteral("00 00 00 00"));
    EXPECT_EQ(rec(b, 60, 12), QStringLiteral("80 25 00 00 08 00 02 00 02 00 00 00"));
    EXPECT_EQ(rec(b, 96, 2), QStringLiteral("24 11"));
    EXPECT_EQ(rec(b, 132, 4), QStringLiteral("00 00 00 00"));                      // no object of code 0
    EXPECT_EQ(rec(b, 288 + 3 * 4, 4), QStringLiteral("01 00 00 00"));              // code 12
    EXPECT_EQ(rec(b, 604, 16), QStringLiteral("03 00 00 00 00 88 06 00 00 00 00 00 05 00 00 00"));
    EXPECT_EQ(at(b, 102400, 24), QStringLiteral("01 00 C0 BA 01 00 00 0A 00 FF FF FF "
                                                "01 00 C0 BA 02 00 00 0A 00 FF FF FF"));
    EXPECT_EQ(b.mid(102400 + 24), QByteArray(96, '\0'));
    EXPECT_TRUE(checksumValid(b));
}

TEST(ModbusImages, RtuMasterKeysAndTheirDefaults)
{
    Project prj(0);
    prj.bdt(bdtRows(10));
    // BBMD off: the full table file is not read, yet the image ends with 120 zero bytes.
    prj.parGen({{"BACnet_EN_BBMD", "0"}, {"BACnet_Type", "1"}, {"BACnet_Ser_Baudrate", "1"}, {"BACnet_Ser_Parity", "1"},
                {"ModbusM_BAUDRATE", "3"}, {"ModbusM_PARITY", "2"}, {"ModbusM_STOPBITS", "1"}, {"ModbusM_SERIAL", "1"},
                {"ModbusM_Slaves_Present", "0"}, {"ModbusM_Slaves_Present_Array_Position", "5"}});
    QByteArray b = build(prj);
    ASSERT_EQ(b.size(), 102520);
    EXPECT_EQ(b.right(120), QByteArray(120, '\0'));
    EXPECT_EQ(rec(b, 608, 4), QStringLiteral("00 88 06 00"));
    EXPECT_EQ(rec(b, 12, 12), QStringLiteral("00 4B 00 00 08 00 02 00 00 00 00 00")); // MS/TP line stays
    EXPECT_EQ(rec(b, 60, 12), QStringLiteral("80 25 00 00 08 00 02 00 02 00 00 00"));
    EXPECT_EQ(rec(b, 97, 1), QStringLiteral("10"));
    EXPECT_EQ(rec(b, 616, 4), QStringLiteral("FF FF FF FF"));

    prj.parGen({});
    b = build(prj);
    EXPECT_EQ(rec(b, 32, 8), QStringLiteral("E8 03 00 00 64 00 00 00"));
    EXPECT_EQ(rec(b, 60, 4), QStringLiteral("00 C2 01 00")); // 115200
    EXPECT_EQ(rec(b, 12, 4), QStringLiteral("00 C2 01 00")); // copied with BACnet/IP
    EXPECT_EQ(rec(b, 97, 1), QStringLiteral("10"));
    EXPECT_TRUE(checksumValid(b));

    // No ParGen.xml at all: the model constants only, and the serial mode before any key.
    QFile::remove(prj.ws().Path_ParGen);
    b = build(prj);
    EXPECT_EQ(rec(b, 60, 4), QStringLiteral("00 00 00 00"));
    EXPECT_EQ(rec(b, 96, 2), QStringLiteral("24 10"));
    EXPECT_EQ(rec(b, 40, 12), toHex(QByteArray(12, '\0')));
}

TEST(ModbusImages, RtuSlaveProject)
{
    Project prj(2);
    // Access tables in the folder are not the slave's: its access area stays empty.
    ASSERT_TRUE(prj.ws().Path_ModbusM_SetAccess.isEmpty());
    prj.modbus(prj.dir().file(QStringLiteral("ModbusM_SetAccess.xml")),
               {accessRow(false, false, "1", "Coil Status", "1", "0")});
    prj.objects({objectRow("Binary Value", "1", "95", "1", "bv")});
    prj.bdt(bdtRows(1));
    prj.parGen({{"BACnet_EN_BBMD", "1"}, {"MODBUS_SLAVE_SERIAL", "0"}, {"MODBUS_SLAVE_BAUDRATE", "4"},
                {"MODBUS_SLAVE_PARITY", "1"}});
    QByteArray b = build(prj);
    ASSERT_EQ(b.size(), 102520);
    EXPECT_EQ(b.mid(0x10800, 0x8000), QByteArray(0x8000, '\0'));
    EXPECT_EQ(rec(b, 72, 4), QStringLiteral("00 00 00 00"));
    EXPECT_EQ(rec(b, 12, 8), QStringLiteral("00 4B 00 00 08 00 01 00")); // 19200, parity index unchanged
    EXPECT_EQ(rec(b, 60, 8), QStringLiteral("00 4B 00 00 08 00 01 00"));
    EXPECT_EQ(rec(b, 24, 4), QStringLiteral("0A 00 00 00"));
    EXPECT_EQ(rec(b, 96, 2), QStringLiteral("24 41"));
    EXPECT_EQ(rec(b, 604, 8), QStringLiteral("01 00 00 00 00 88 06 00"));
    EXPECT_EQ(rec(b, 288 + 4 * 4, 4), QStringLiteral("01 00 00 00")); // one object of code 13
    EXPECT_EQ(at(b, 102400, 12), QStringLiteral("01 00 C0 BA 01 00 00 0A 00 FF FF FF"));
    EXPECT_TRUE(checksumValid(b));

    const struct {
        const char* serial;
        const char* baud;
        const char* mode;
        const char* rate;
    } cases[] = {{"1", "8", "40", "80 25 00 00"}, {"x", "-1", "40", "80 25 00 00"},
                 {"0", "fast", "41", "00 C2 01 00"}, {" 0", "0", "40", "B0 04 00 00"}};
    for (const auto& c : cases) {
        prj.parGen({{"MODBUS_SLAVE_SERIAL", c.serial}, {"MODBUS_SLAVE_BAUDRATE", c.baud}, {"BACnet_Type", "1"},
                    {"MODBUS_SLAVE_IDDEVICE", "33"}});
        b = build(prj);
        EXPECT_EQ(rec(b, 97, 1), QString::fromLatin1(c.mode)) << c.serial;
        EXPECT_EQ(rec(b, 60, 4), QString::fromLatin1(c.rate)) << c.baud;
        EXPECT_EQ(rec(b, 12, 4), QStringLiteral("80 25 00 00")) << "MS/TP keeps line 1";
        EXPECT_EQ(rec(b, 24, 4), QStringLiteral("21 00 00 00"));
        EXPECT_EQ(b.right(120), QByteArray(120, '\0')) << "BBMD needs BACnet/IP";
    }
    prj.parGen({});
    EXPECT_EQ(rec(build(prj), 60, 4), QStringLiteral("00 C2 01 00"));
}

TEST(ModbusImages, TcpSlaveAddressGoesWhereTheBacnetTypeSays)
{
    Project prj(4);
    const std::vector<std::pair<QString, QString>> slave = {
        {"Modbus_TCP_Slave_IP1", "10"}, {"Modbus_TCP_Slave_IP2", "0"}, {"Modbus_TCP_Slave_IP3", "0"},
        {"Modbus_TCP_Slave_IP4", "7"}, {"BACnet_EN_BBMD", "1"}, {"BACnet_EN_FDR", "1"}, {"ModbusTCPS_PORT", "1502"}};
    auto mstp = slave;
    mstp.push_back({"BACnet_Type", "1"});
    prj.parGen(mstp);
    QByteArray b = build(prj);
    ASSERT_EQ(b.size(), 102400);
    EXPECT_EQ(rec(b, 40, 12), QStringLiteral("0A 00 00 07 FF FF FF 00 FF FF FF FF"));
    EXPECT_EQ(rec(b, 372, 12), toHex(QByteArray(12, '\0')));
    EXPECT_EQ(rec(b, 54, 4), QStringLiteral("DE 05 DE 05"));
    EXPECT_EQ(rec(b, 96, 2), QStringLiteral("64 00"));
    EXPECT_EQ(rec(b, 604, 8), toHex(QByteArray(8, '\0')));

    auto ip = slave;
    ip.push_back({"Modbus_TCP_Slave_EN_GAT", "1"});
    ip.push_back({"BACnet_NAME_STA", "tcps"});
    prj.parGen(ip);
    b = build(prj);
    EXPECT_EQ(rec(b, 40, 12), QStringLiteral("C0 A8 00 05 FF FF FF 00 FF FF FF FF"));
    EXPECT_EQ(rec(b, 372, 12), QStringLiteral("0A 00 00 07 FF FF FF 00 C0 A8 00 01"));
    EXPECT_EQ(rec(b, 80, 5), QStringLiteral("74 63 70 73 00"));
    EXPECT_EQ(rec(b, 604, 8), toHex(QByteArray(8, '\0')));
    EXPECT_TRUE(checksumValid(b));

    // A BACnet type that is neither reads no BACnet group and puts the slave in the second block.
    prj.parGen({{"BACnet_Type", "2"}});
    b = build(prj);
    EXPECT_EQ(rec(b, 40, 12), toHex(QByteArray(12, '\0')));
    EXPECT_EQ(rec(b, 372, 12), QStringLiteral("C0 A8 00 05 FF FF FF 00 FF FF FF FF"));
    EXPECT_EQ(rec(b, 54, 4), QStringLiteral("F6 01 F6 01"));
}

TEST(ModbusImages, DescriptionLimitShapesTheObjectArea)
{
    Project prj(3);
    prj.parGen({{"BACnet_Desc_Chars_Limit", "1"}});
    prj.objects({objectRow("Analog Input", "0", "95", "4", "n")});
    QByteArray b = build(prj);
    EXPECT_EQ(at(b, 8, 4), QStringLiteral("F1 37 05 00"));
    EXPECT_EQ(at(b, 0x3FF0, 3), QStringLiteral("00 6E 00"));
    EXPECT_EQ(prj.st().Desc_Chars_Limit_Flag, 1);
    // The flag does not outlive its build: neither a file without the key nor no file at all
    // (the reader that never opens a file must not inherit the last build's flag).
    prj.parGen({});
    b = build(prj);
    EXPECT_EQ(prj.st().Desc_Chars_Limit_Flag, 0);
    EXPECT_EQ(at(b, 8, 4), QStringLiteral("F1 77 05 00"));
    EXPECT_EQ(b.mid(0x3FF0, 3), QByteArray(3, '\0'));

    prj.parGen({{"BACnet_Desc_Chars_Limit", "1"}});
    ASSERT_EQ(at(build(prj), 8, 4), QStringLiteral("F1 37 05 00"));
    ASSERT_TRUE(QFile::remove(prj.ws().Path_ParGen));
    b = build(prj);
    EXPECT_EQ(prj.st().Desc_Chars_Limit_Flag, 0);
    EXPECT_EQ(at(b, 8, 4), QStringLiteral("F1 77 05 00"));
    EXPECT_EQ(b.mid(0x3FF0, 3), QByteArray(3, '\0'));
}

TEST(ModbusImages, EveryBuildStartsFromScratch)
{
    Project prj(0);
    prj.parGen({{"BACnet_EN_BBMD", "1"}});
    prj.bdt(bdtRows(10));
    Rows many;
    for (int i = 0; i < 300; ++i)
        many.push_back(objectRow("Analog Input", QString::number(i), "95", "4", QStringLiteral("obj%1").arg(i)));
    prj.objects(many);
    prj.modbus(prj.ws().Path_ModbusM_SetAccess, Rows(300, accessRow(false, false, "1", "Coil Status", "8", "0")));
    const QByteArray full = build(prj);
    EXPECT_EQ(build(prj), full);

    QFile::remove(prj.ws().Path_BACnet_SetAccess);
    QFile::remove(prj.ws().Path_ModbusM_SetAccess);
    QFile::remove(prj.ws().Path_BACnet_BDT);
    QFile::remove(prj.ws().Path_ParGen);
    const QByteArray empty = build(prj);
    Project fresh(0);
    EXPECT_EQ(empty, build(fresh));
}
