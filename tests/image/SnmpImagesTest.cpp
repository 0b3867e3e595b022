// The SNMP record and the SNMP agent and manager images.
#include "FieldImageFixture.h"
#include "image/ParGenSnmp.h"
#include "image/SnmpImages.h"

#include <QFile>

using namespace field_test;

namespace {

constexpr int kRec = 0x10800;
constexpr int kTable = 0x11000;

QString trap(const QByteArray& b, int k) { return at(b, kTable + 48 * k, 48); }
QString writeTrap(const QByteArray& b, int k) { return at(b, kTable + 12288 + 48 * k, 48); }

// Text of a fixed field as hex, zero-padded to `size`.
QString field(const QByteArray& text, int size) { return toHex(text.leftJustified(size, '\0', true)); }

} // namespace

TEST(SnmpRecord, DefaultsObjectCountsAndChecksum)
{
    image::ParGenSNMP p;
    image::Init_Par_Gen_SNMP(p);
    image::BankBuffer bank(4096);
    EXPECT_EQ(image::Write_Par_Gen_SNMP(bank, p, 16), 16 + 2048);
    QByteArray rec(reinterpret_cast<const char*>(bank.data()) + 16, 2048);
    QByteArray expected(2044, '\0');
    const struct {
        int offset;
        const char* hex;
    } defaults[] = {{0, "48 E8 01 00"}, {12, "80 25 00 00 08 00"}, {40, "C0 A8 02 CD FF FF FF 00 FF FF FF FF"},
                    {52, "10 27 11 27 11 27"}, {60, "80 25 00 00 08 00"}};
    for (const auto& f : defaults) {
        const QByteArray v = testing_support::hexBytes(f.hex);
        expected.replace(f.offset, v.size(), v);
    }
    EXPECT_EQ(toHex(rec.left(2044)), toHex(expected));
    EXPECT_TRUE(checksumValid(rec, 0));

    // The counts by data type code, in the record's own order.
    for (int code = 0; code < 19; ++code)
        p.Object_Count[static_cast<size_t>(code)] = static_cast<uint32_t>(code + 1);
    p.SNMP_Options = 0x174;
    image::Write_Par_Gen_SNMP(bank, p, 16);
    rec = QByteArray(reinterpret_cast<const char*>(bank.data()) + 16, 2048);
    const int order268[] = {0, 1, 2, 3, 7, 6, 4, 5};
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(le32(rec, 268 + 4 * i), static_cast<uint32_t>(order268[i] + 1)) << 268 + 4 * i;
    const int order372[] = {12, 13, 8, 9, 10, 11, 14, 15, 16, 17};
    for (int i = 0; i < 10; ++i)
        EXPECT_EQ(le32(rec, 372 + 4 * i), static_cast<uint32_t>(order372[i] + 1)) << 372 + 4 * i;
    EXPECT_EQ(le32(rec, 576), 19u);
    EXPECT_EQ(le32(rec, 432), 0x174u);
    EXPECT_TRUE(allZero(rec.mid(580, 2044 - 580)));
    EXPECT_TRUE(checksumValid(rec, 0));
}

TEST(SnmpRecord, BacnetKeysOfBothModels)
{
    struct Case {
        int32_t type;
        std::vector<std::pair<QString, QString>> keys;
        std::vector<std::pair<int, const char*>> expected;
    };
    const Case cases[] = {
        {17, {}, {{40, "C0 A8 00 05 FF FF FF 00 FF FF FF FF"}, {56, "C0 BA 00 00"}, {80, "64 65 76 69 63 65 6E 61 6D 65 31 00"},
                  {352, "01 00 00 00"}, {96, "26"}, {116, "00 04 00 00 00 04 00 00"}}},
        {17, {{"BACnet_IP1", "300"}, {"BACnet_EN_GAT", "0"}, {"BACnet_GAT1", "10"}}, {{40, "2C"}, {48, "FF FF FF FF"}}},
        {19, {{"BACnet_NAME_STA", "abcdefghijklmnopqrst"}}, {{80, "61 62 63 64 65 66 67 68 69 6A 6B 6C 6D 6E 6F 70 26"}}},
        // MS/TP on line 1: the manager also reads max master, max info frames and the network.
        {19, {{"BACnet_Type", "1"}, {"BACnet_Ser_Baudrate", "7"}, {"BACnet_Ser_Parity", "1"}, {"BACnet_Ser_ID", "4"},
              {"BACnet_Ser_DEV_IDE", "77"}},
         {{12, "80 25 00 00 08 00 02 00"}, {256, "04 01 01"}, {318, "01 00"}, {412, "4D 00 00 00"}, {56, "11 27"},
          {352, "00 00 00 00"}}},
        {17, {{"BACnet_Type", "1"}, {"BACnet_Ser_Parity", "2"}, {"BACnet_Ser_Max_Master", "9"}},
         {{18, "02 00"}, {256, "00 00 00"}, {318, "00 00"}}},
        // MS/TP on line 2.
        {17, {{"BACnet_Type", "2"}, {"BACnet_Ser_Baudrate", "4"}, {"BACnet_Ser_Parity", "1"}, {"BACnet_Ser_NAME_STA", "ser"}},
         {{60, "00 2C 01 00 08 00 02 00"}, {12, "80 25 00 00 08 00 00 00"}, {80, "73 65 72 00"}}},
        {19, {{"BACnet_Type", "3"}}, {{56, "11 27"}, {80, "00 00 00 00"}, {352, "00 00 00 00"}}},
    };
    for (const Case& c : cases) {
        Project prj(c.type);
        writeParGen(prj, c.keys);
        const QByteArray b = build(prj);
        for (const auto& [offset, hex] : c.expected)
            EXPECT_EQ(at(b, kRec + offset, static_cast<int>(testing_support::hexBytes(hex).size())), QString::fromLatin1(hex))
                << "type " << c.type << ", offset " << offset;
        EXPECT_TRUE(checksumValid(b, kRec)) << c.type;
    }
}

TEST(SnmpAgentImage, EmptyProjectLayout)
{
    Project prj(17);
    writeObjects(prj, {tf::objectRow({.type = "Octet String"})});
    const QByteArray b = build(prj);
    ASSERT_EQ(b.size(), 94208);
    EXPECT_TRUE(allZero(b.right(24576)));
    EXPECT_EQ(at(b, kRec + 416, 16), QStringLiteral("00 00 00 00 00 00 00 00 00 88 06 00 00 B8 06 00"));
    EXPECT_EQ(le32(b, kRec + 248), 0x57800u);
    EXPECT_EQ(at(b, kRec + 96, 1), QStringLiteral("26"));
    EXPECT_EQ(le32(b, kRec + 116), 0u); // no ParGen.xml: no byte counts
    EXPECT_EQ(le32(b, kRec + 576), 1u);
    EXPECT_TRUE(checksumValid(b, kRec));
}

TEST(SnmpAgentImage, AgentKeys)
{
    const struct {
        std::vector<std::pair<QString, QString>> keys;
        uint32_t options;
        QString user, auth, priv;
    } cases[] = {
        {{{"SNMP_VERSION1", "1"}, {"SNMP_VERSION2", "0"}}, 0x1, "", "", ""},
        {{{"SNMP_VERSION3", "1"}, {"SNMP_VER3_SECURITY_LEVEL", "auth priv"}}, 0x174, "", "", ""},
        {{{"SNMP_VERSION3", "1"}, {"SNMP_VER3_SECURITY_LEVEL", " Auth NoPriv "}, {"SNMP_VER3_AUTHORITY_MODE", "sha"},
          {"SNMP_VER3_USER", "operator"}, {"SNMP_VER3_AUTHORITY", "secret01"}, {"SNMP_VER3_PRIVACY", "hidden"}},
         0x94, "operator", "secret01", ""},
        {{{"SNMP_VERSION3", "1"}, {"SNMP_VER3_SECURITY_LEVEL", "Auth Priv"}, {"SNMP_VER3_PRIVACY_MODE", "AES"},
          {"SNMP_VER3_USER", "abcdefghijklmnopqrstuvw"}, {"SNMP_VER3_PRIVACY", "0123456789abcdefXYZ"}},
         0x274, "abcdefghijklmnopqrst", "", "0123456789abcdef"},
        // Version 3 off: nothing of it is read.
        {{{"SNMP_VERSION3", "0"}, {"SNMP_VER3_SECURITY_LEVEL", "Auth Priv"}, {"SNMP_VER3_USER", "x"}}, 0, "", "", ""},
    };
    for (const auto& c : cases) {
        Project prj(17);
        writeParGen(prj, c.keys);
        const QByteArray b = build(prj);
        EXPECT_EQ(le32(b, kRec + 432), c.options) << c.keys.front().first.toStdString();
        EXPECT_EQ(at(b, kRec + 488, 20), field(c.user.toLatin1(), 20));
        EXPECT_EQ(at(b, kRec + 508, 16), field(c.auth.toLatin1(), 16));
        EXPECT_EQ(at(b, kRec + 524, 16), field(c.priv.toLatin1(), 16));
        EXPECT_EQ(at(b, kRec + 440, 16), field("SNMPdevice1", 16));
        EXPECT_EQ(at(b, kRec + 116, 8), QStringLiteral("00 04 00 00 00 04 00 00"));
    }

    Project prj(17);
    writeParGen(prj, {{"SNMP_Name_of_Station", ""}, {"SNMP_Contact", "a contact of twenty c"},
                      {"SNMP_Location", "hall"}});
    QByteArray b = build(prj);
    EXPECT_TRUE(allZero(b.mid(kRec + 440, 16)));
    EXPECT_EQ(at(b, kRec + 456, 16), field("a contact of twe", 16));
    EXPECT_EQ(at(b, kRec + 472, 16), field("hall", 16));
    writeParGen(prj, {{"SNMP_Name_of_Station", "station-name-of-20"}});
    b = build(prj);
    EXPECT_EQ(at(b, kRec + 440, 16), field("station-name-of", 16)); // 15 characters and a zero
}

TEST(SnmpAgentImage, TrapEntries)
{
    Project prj(17);
    prj.write(prj.ws().Path_SNMP_Trap,
              tf::snmpTrapXml({tf::trapReadRow({.community = "Kelpie", .type = "Int", .onChange = "Y", .onTimer = "y",
                                                .time = "5000", .position = "10", .bit = "3", .numBits = "12",
                                                .description = "temp", .ipAddress = "192.168.2.205",
                                                .conversion = " float / 10 "}),
                               tf::trapReadRow({.enable = "N"}),
                               tf::trapReadRow({.enable = "y", .community = "abcdefghijklmnopqrst", .type = "String",
                                                .onCommand = "Y", .time = "x", .numBits = "4",
                                                .description = "abcdefghijklmnopqrst", .ipAddress = "1.2.3.999",
                                                .conversion = "Float * 100"}),
                               tf::without(tf::trapReadRow({}), "Enable"),
                               tf::without(tf::without(tf::trapReadRow({.type = "String"}), "NumBits"), "IP_Address")},
                              {tf::trapWriteRow({.type = "String", .numBits = "x", .conversion = "FLOAT"}),
                               tf::with(tf::with(tf::trapWriteRow({}), "On_Change", "Y"), "Time", "5")}));
    const QByteArray b = build(prj);
    ASSERT_EQ(b.size(), 94208);
    EXPECT_EQ(trap(b, 0), QStringLiteral("0A 00 03 00 0C 00 04 0D 88 13 00 00 ") + field("Kelpie", 16) + " " +
                              field("temp", 16) + QStringLiteral(" CD 02 A8 C0"));
    EXPECT_EQ(trap(b, 1), QStringLiteral("00 00 00 00 20 00 03 02 00 00 00 00 ") + field("abcdefghijklmnop", 16) + " " +
                              field("abcdefghijklmnop", 16) + QStringLiteral(" 00 03 02 01"));
    // The row without "Enable" is passed over; the string without "NumBits" counts 0 bits.
    EXPECT_EQ(at(b, kTable + 96, 12), QStringLiteral("00 00 00 00 00 00 00 00 00 00 00 00"));
    EXPECT_EQ(at(b, kTable + 96 + 12, 6), QStringLiteral("4B 65 6C 70 69 65"));
    EXPECT_EQ(at(b, kRec + 416, 8), QStringLiteral("03 00 00 00 02 00 00 00"));
    // Write traps: string of "x" bytes = 1 byte = 8 bits; no triggers, timer or address.
    EXPECT_EQ(writeTrap(b, 0), QStringLiteral("00 00 00 00 08 00 01 00 00 00 00 00 ") + field("Kelpie", 16) + " " +
                                   field("value", 16) + QStringLiteral(" 00 00 00 00"));
    EXPECT_EQ(at(b, kTable + 12288 + 48 + 6, 6), QStringLiteral("00 08 00 00 00 00"));
    EXPECT_TRUE(checksumValid(b, kRec));
}

TEST(SnmpAgentImage, TrapSectionsBeyondTheirCapacityOrMissing)
{
    Project prj(17);
    tf::Rows read;
    for (int i = 0; i < 260; ++i)
        read.push_back(tf::trapReadRow({.position = QString::number(i)}));
    prj.write(prj.ws().Path_SNMP_Trap, tf::snmpTrapXml(read, {}));
    QByteArray b = build(prj);
    EXPECT_EQ(le32(b, kRec + 416), 256u);
    EXPECT_EQ(le16(b, kTable + 255 * 48), 255);
    EXPECT_TRUE(allZero(b.right(12288)));

    prj.write(prj.ws().Path_SNMP_Trap, tf::tableXml("SNMP_Trap", {{"SNMP_Trap_Write", {tf::trapWriteRow({})}}}));
    b = build(prj);
    EXPECT_EQ(at(b, kRec + 416, 16), QStringLiteral("00 00 00 00 01 00 00 00 00 88 06 00 00 B8 06 00"));
}

TEST(SnmpManagerImage, EmptyProjectLayoutAndAgentAddress)
{
    Project prj(19);
    QByteArray b = build(prj);
    ASSERT_EQ(b.size(), 133120);
    EXPECT_TRUE(allZero(b.right(63488)));
    EXPECT_EQ(at(b, kRec + 364, 8), QStringLiteral("00 00 00 00 00 88 06 00"));
    EXPECT_EQ(le32(b, kRec + 248), 0x57800u);
    EXPECT_TRUE(checksumValid(b, kRec));

    writeParGen(prj, {{"SNMP_Agent_IP4", "300"}, {"SNMP_Agent_EN_GAT", "1"}});
    b = build(prj);
    EXPECT_EQ(at(b, kRec + 304, 12), QStringLiteral("C0 A8 00 2C FF FF FF 00 C0 A8 00 01"));
    EXPECT_EQ(at(b, kRec + 40, 4), QStringLiteral("C0 A8 00 05"));
    EXPECT_EQ(at(b, kRec + 116, 8), QStringLiteral("A0 05 00 00 A0 05 00 00"));
    writeParGen(prj, {{"BACnet_Type", "1"}, {"SNMP_Agent_IP1", "10"}});
    b = build(prj);
    EXPECT_EQ(at(b, kRec + 40, 12), QStringLiteral("0A A8 00 0A FF FF FF 00 FF FF FF FF"));
    EXPECT_TRUE(allZero(b.mid(kRec + 304, 12)));
}

TEST(SnmpManagerImage, Entries)
{
    Project prj(19);
    const QString oid70 = QStringLiteral("1.3.6.1.4.1.").append(QString(58, QLatin1Char('9')));
    prj.write(prj.ws().Path_SNMP_Manager,
              tf::snmpManagerXml(
                  {tf::without(tf::without(tf::managerRow({.version = "2", .mode = "set", .convertFrom = " float * 10 "}),
                                           "Community_String"),
                               "Time"),
                   tf::managerRow({.enable = "n"}),
                   tf::managerRow({.version = "3", .community = "ignored", .mode = "READ", .onChange = "Y",
                                   .onCommand = "Y", .onTimer = "N", .numberBytes = "255", .convertFrom = "Float / 10",
                                   .user = "op", .authPass = "authpass", .privPass = "privpass",
                                   .securityLevel = "AUTH PRIV", .authMode = "SHA", .privMode = "DES"}),
                   tf::managerRow({.ipAddress = "", .version = "x", .community = "abcdefghijklmnopqrst", .oid = oid70,
                                   .type = "String", .mode = "Get", .numberBytes = "abc"}),
                   tf::without(tf::managerRow({.version = "3", .securityLevel = "", .authMode = "SHA"}), "User")}));
    const QByteArray b = build(prj);
    ASSERT_EQ(b.size(), 133120);
    const int e = kTable;
    // Version 2, "kelpie" and the polling time 1000 when they are missing.
    EXPECT_EQ(at(b, e, 12), QStringLiteral("E8 03 00 00 14 02 A8 C0 2C 00 00 00"));
    EXPECT_EQ(at(b, e + 12, 16), field("kelpie", 16));
    EXPECT_EQ(at(b, e + 60, 6), QStringLiteral("00 00 02 01 04 00"));
    EXPECT_EQ(at(b, e + 66, 62), field("1.3.6.1.2.1.1.3.0", 62));
    // Version 3 with authentication SHA and privacy DES: the user name, not the community.
    const int v3 = e + 128;
    EXPECT_EQ(le32(b, v3 + 8), 0x40u | 0x1000u | 0x2000u | 0x8000u | 0x10000u | 0x8u | 0x1u | 0x2u);
    EXPECT_EQ(at(b, v3 + 12, 16), field("op", 16));
    EXPECT_EQ(at(b, v3 + 28, 32), field("authpass", 16) + " " + field("privpass", 16));
    EXPECT_EQ(at(b, v3 + 62, 3), QStringLiteral("00 02 FF"));
    // Cut texts; a version that is not a number is 1; an empty address is 0.0.0.0.
    const int cut = e + 256;
    EXPECT_EQ(at(b, cut + 4, 8), QStringLiteral("00 00 00 00 14 00 00 00"));
    EXPECT_EQ(at(b, cut + 12, 16), field("abcdefghijklmno", 16));
    EXPECT_EQ(at(b, cut + 66, 62), toHex(oid70.left(62).toLatin1()));
    EXPECT_EQ(at(b, cut + 63, 2), QStringLiteral("00 01"));
    // An empty security level: neither authentication nor privacy; the missing user is "admin".
    const int empty = e + 384;
    EXPECT_EQ(le32(b, empty + 8), 0x40u | 0x8u | 0x4u);
    EXPECT_EQ(at(b, empty + 12, 16), field("admin", 16));
    EXPECT_EQ(at(b, kRec + 364, 4), QStringLiteral("04 00 00 00"));
    EXPECT_TRUE(allZero(b.mid(e + 512)));
    EXPECT_TRUE(checksumValid(b, kRec));
}

TEST(SnmpManagerImage, RowsBeyondTheTableAreIgnoredAndAByteCountAbove255IsRefused)
{
    Project prj(19);
    tf::Rows rows;
    for (int i = 0; i < 500; ++i)
        rows.push_back(tf::managerRow({.position = QString::number(i)}));
    rows.insert(rows.begin(), tf::managerRow({.enable = "N", .numberBytes = "1024"}));
    rows.push_back(tf::managerRow({.numberBytes = "1024"})); // beyond the 496: never read
    prj.write(prj.ws().Path_SNMP_Manager, tf::snmpManagerXml(rows));
    const QByteArray full = build(prj);
    EXPECT_EQ(le32(full, kRec + 364), 496u);
    EXPECT_EQ(le16(full, kTable + 495 * 128 + 60), 495);
    ASSERT_TRUE(image::Save_Bin(prj.st()).ok);

    for (const char* bytes : {"256", "1024", "-1"}) {
        rows[3] = tf::managerRow({.numberBytes = bytes});
        prj.write(prj.ws().Path_SNMP_Manager, tf::snmpManagerXml(rows));
        const QString error = buildError(prj);
        for (const QString& part : {QStringLiteral("SNMP_Manager.xml"), QStringLiteral("row 4"),
                                    QStringLiteral("Number_Bytes"), QString::fromLatin1(bytes)})
            EXPECT_TRUE(error.contains(part)) << error.toStdString();
        EXPECT_FALSE(image::Save_Bin(prj.st()).ok);
        EXPECT_EQ(prj.dir().read(QStringLiteral("bin/bank1.bin")), full);
    }
}
