#include "FieldImageFixture.h"
#include "image/CanopenImage.h"

using namespace field_test;

namespace {

constexpr int kRec = 0x18800;
// Bank offsets of the six tables, in the order of image::CanopenTable.
constexpr int kTable[6] = {0x10800, 0x14800, 0x19000, 0x1B000, 0x1D000, 0x1E000};

QString entry(const QByteArray& b, int table, int k) { return at(b, kTable[table] + 32 * k, 32); }

const QString kUnused = QStringLiteral("00 00 00 00 00 00 00 00 00 00 00 00 FF FF FF FF FF FF FF FF "
                                       "FF FF FF FF FF FF FF FF 00 00 00 00");

} // namespace

TEST(CanopenImage, EmptyProjectLayout)
{
    Project prj(8);
    const QByteArray b = build(prj);
    ASSERT_EQ(b.size(), 127096);
    EXPECT_TRUE(allZero(b.left(0x10800)));
    for (int t = 0; t < 6; ++t) {
        EXPECT_EQ(entry(b, t, 0), kUnused) << t;
        EXPECT_EQ(entry(b, t, image::kCanopenCapacity[static_cast<size_t>(t)] - 1), kUnused) << t;
        EXPECT_EQ(le32(b, kRec + 204 + 4 * t), 0u) << t;
        EXPECT_EQ(le32(b, kRec + 264 + 4 * t), 0x4F800u + static_cast<uint32_t>(kTable[t])) << t;
    }
    EXPECT_EQ(at(b, kRec + 264, 24), QStringLiteral("00 00 06 00 00 40 06 00 00 88 06 00 00 A8 06 00 "
                                                    "00 C8 06 00 00 D8 06 00"));
    EXPECT_EQ(at(b, kRec + 96, 4), QStringLiteral("24 00 00 02"));
    EXPECT_EQ(le32(b, kRec + 608), 0x6E800u);
    EXPECT_TRUE(allZero(b.right(120)));
    EXPECT_TRUE(checksumValid(b, kRec));
}

TEST(CanopenImage, Entries)
{
    Project prj(8);
    prj.write(prj.ws().Path_SDO_Server_CANopen,
              tf::sdoXml({tf::sdoServerRow({.subIndex = "1", .nByte = "3", .addresses = {"7", "8", "9", "10"}})},
                         {tf::sdoServerRow({.index = "8192", .subIndex = "1", .nByte = "2", .addresses = {"5", "6", "", ""}}),
                          tf::sdoServerRow({.index = "0x2001", .nByte = "4", .addresses = {"1", "2", "3", "4"}})}));
    prj.write(prj.ws().Path_SDO_Client_CANopen,
              tf::sdoXml({tf::sdoClientRow({.deviceId = "5", .index = "4096", .pollTime = "3000000000"}, false)},
                         {tf::sdoClientRow({.onChange = "Y"}, true), tf::sdoClientRow({.onChange = "n"}, true),
                          tf::without(tf::sdoClientRow({}, true), "On_Change")}));
    prj.write(prj.ws().Path_PDO_CANopen,
              tf::pdoXml({tf::pdoReceiveRow({.cobId = "2147483648", .dimension = "8",
                                             .addresses = {"1", "2", "3", "4", "5", "6", "7", "8"}, .timeOut = "65535"})},
                         {tf::pdoTransmitRow({.dimension = "3", .addresses = {"11", "12", "13", "14", "", "", "", ""},
                                              .onChange = "Y"}),
                          tf::pdoTransmitRow({.onChange = "N"})}));
    const QByteArray b = build(prj);
    ASSERT_EQ(b.size(), 127096);
    // SDO server read, 3 bytes: positions 1 and 2 only.
    EXPECT_EQ(entry(b, 0, 0), QStringLiteral("00 00 00 00 00 20 01 00 00 00 00 00 00 00 00 00 00 00 00 00 "
                                             "07 00 08 00 00 00 00 00 03 00 00 00"));
    // SDO server write of two bytes at 5 and 6, mode 1.
    EXPECT_EQ(entry(b, 1, 0), QStringLiteral("00 00 00 00 00 20 01 00 00 00 00 00 00 00 00 00 00 00 00 00 "
                                             "05 00 06 00 00 00 00 00 02 01 00 00"));
    EXPECT_EQ(at(b, kTable[1] + 32 + 4, 2), QStringLiteral("01 20")); // hexadecimal index
    EXPECT_EQ(at(b, kTable[1] + 32 + 20, 8), QStringLiteral("01 00 02 00 03 00 04 00"));
    EXPECT_EQ(entry(b, 1, 2), kUnused);
    // SDO client: node ID at 7, poll time kept in 32 bits.
    EXPECT_EQ(entry(b, 2, 0), QStringLiteral("00 00 00 00 00 10 00 05 00 5E D0 B2 00 00 00 00 00 00 00 00 "
                                             "00 00 00 00 00 00 00 00 01 00 00 00"));
    EXPECT_EQ(at(b, kTable[3] + 29, 1), QStringLiteral("03"));
    EXPECT_EQ(at(b, kTable[3] + 32 + 29, 1), QStringLiteral("01"));
    EXPECT_EQ(at(b, kTable[3] + 64 + 29, 1), QStringLiteral("01"));
    // Receive PDO: a COB-ID with bit 31 stays as it is; eight positions.
    EXPECT_EQ(entry(b, 4, 0), QStringLiteral("00 00 00 80 00 00 00 00 FF FF 00 00 01 00 02 00 03 00 04 00 "
                                             "05 00 06 00 07 00 08 00 08 00 00 00"));
    // Transmit PDO of 3 bytes on change; the next one not on change.
    EXPECT_EQ(entry(b, 5, 0), QStringLiteral("81 01 00 00 00 00 00 00 64 00 00 00 0B 00 0C 00 0D 00 00 00 "
                                             "00 00 00 00 00 00 00 00 03 03 00 00"));
    EXPECT_EQ(at(b, kTable[5] + 32 + 28, 2), QStringLiteral("01 01"));
    EXPECT_EQ(at(b, kRec + 204, 24), QStringLiteral("01 00 00 00 02 00 00 00 01 00 00 00 03 00 00 00 "
                                                    "01 00 00 00 02 00 00 00"));
    EXPECT_TRUE(checksumValid(b, kRec));
}

TEST(CanopenImage, ParGenKeys)
{
    Project prj(8);
    writeParGen(prj, {{"CANopen_IDDev", "12"}, {"CANopen_BAUDRATE", "4"}, {"CANopen_Set_Operational", "1"},
                      {"CANopen_Network_Start", "0"}, {"CANopen_Delay", "5"}, {"CANopen_SDO_TimeOut", "250"},
                      {"BACnet_EN_BBMD", "1"}});
    QByteArray b = build(prj);
    EXPECT_EQ(le32(b, kRec + 228), 12u);
    EXPECT_EQ(le32(b, kRec + 0), 125000u);
    EXPECT_EQ(le32(b, kRec + 232), 1u);
    EXPECT_EQ(le32(b, kRec + 324), 5000u);
    EXPECT_EQ(le32(b, kRec + 172), 250u);
    EXPECT_EQ(at(b, kRec + 604, 8), QStringLiteral("01 00 00 00 00 E8 06 00"));

    writeParGen(prj, {{"CANopen_Network_Start", "1"}, {"CANopen_BAUDRATE", "9"}});
    b = build(prj);
    EXPECT_EQ(le32(b, kRec + 228), 1u);
    EXPECT_EQ(le32(b, kRec + 0), 1000000u);
    EXPECT_EQ(le32(b, kRec + 232), 2u);
    EXPECT_EQ(le32(b, kRec + 324), 10000u);
    EXPECT_EQ(le32(b, kRec + 172), 10000u);
    EXPECT_EQ(at(b, kRec + 96, 4), QStringLiteral("24 00 00 02"));
}

TEST(CanopenImage, BadRowsAndMissingSectionsStopTheBuild)
{
    const struct {
        const char* what;
        QByteArray pdo;
        QStringList expected;
    } cases[] = {
        {"address within the length", tf::pdoXml({tf::pdoReceiveRow({.dimension = "2", .addresses = {"1", "", "", "", "", "", "", ""}})}, {}),
         {"PDO_CANopen.xml", "Receive_PDO", "row 1", "Address_B2"}},
        {"send time", tf::pdoXml({}, {tf::pdoTransmitRow({.sendTime = "soon"})}),
         {"PDO_CANopen.xml", "Transmit_PDO", "Send_Time", "soon"}},
        {"no transmit section", tf::tableXml("EtherNetIP_to_SDO_CANopen", {{"Receive_PDO", {}}}),
         {"PDO_CANopen.xml", "Transmit_PDO"}},
    };
    for (const auto& c : cases) {
        Project prj(8);
        prj.write(prj.ws().Path_PDO_CANopen, c.pdo);
        const QString error = buildError(prj);
        for (const QString& part : c.expected)
            EXPECT_TRUE(error.contains(part)) << c.what << ": " << error.toStdString();
    }
}

TEST(CanopenImage, EachTableRefusesOneRowMoreThanItHolds)
{
    const struct {
        int table;
        int capacity;
        const char* file;
        const char* section;
        const char* name;
    } cases[] = {{0, 512, "SDO_Server_CANopen.xml", "SDO_Read", "SDO server read"},
                 {1, 512, "SDO_Server_CANopen.xml", "SDO_Write", "SDO server write"},
                 {2, 256, "SDO_Client_CANopen.xml", "SDO_Read", "SDO client read"},
                 {3, 256, "SDO_Client_CANopen.xml", "SDO_Write", "SDO client write"},
                 {4, 128, "PDO_CANopen.xml", "Receive_PDO", "receive PDO"},
                 {5, 128, "PDO_CANopen.xml", "Transmit_PDO", "transmit PDO"}};
    for (const auto& c : cases) {
        Project prj(8);
        const bool write = c.table % 2 == 1;
        auto rows = [&](int n) {
            tf::Rows r;
            for (int i = 0; i < n; ++i) {
                if (c.table < 2)
                    r.push_back(tf::sdoServerRow({}));
                else if (c.table < 4)
                    r.push_back(tf::sdoClientRow({}, write));
                else
                    r.push_back(write ? tf::pdoTransmitRow({}) : tf::pdoReceiveRow({}));
            }
            return r;
        };
        auto place = [&](int n) {
            const tf::Rows full = rows(n);
            const QByteArray xml = c.table < 4 ? tf::sdoXml(write ? tf::Rows{} : full, write ? full : tf::Rows{})
                                               : tf::pdoXml(write ? tf::Rows{} : full, write ? full : tf::Rows{});
            prj.write(prj.dir().file(QString::fromLatin1(c.file)), xml);
        };
        place(c.capacity);
        const QByteArray full = build(prj);
        EXPECT_EQ(le32(full, kRec + 204 + 4 * c.table), static_cast<uint32_t>(c.capacity)) << c.name;
        EXPECT_NE(entry(full, c.table, c.capacity - 1), kUnused) << c.name;

        place(c.capacity + 1);
        EXPECT_EQ(buildError(prj), QStringLiteral("The file %1 holds %2 rows in its section \"%3\"; the %4 table of the "
                                                  "image has room for %5.")
                                       .arg(c.file)
                                       .arg(c.capacity + 1)
                                       .arg(c.section, c.name)
                                       .arg(c.capacity));
    }
}
