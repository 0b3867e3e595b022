#include "FieldImageFixture.h"
#include "image/KnxImage.h"

#include <QFile>

using namespace field_test;

namespace {

constexpr int kTable = 0x10800;
constexpr int kRec = 0x13000;

QString record(const QByteArray& b, int k) { return at(b, kTable + 20 * k, 20); }

} // namespace

TEST(KnxImage, AddressCodes)
{
    const struct {
        const char* text;
        bool group;
        uint32_t code;
    } cases[] = {
        {"1/2/3", true, 0x0A03},    {"31/7/255", true, 0xFFFF}, {"1/5", true, 0x0805},   {"1/2047", true, 0x0FFF},
        {"32/0/0", true, 0x0000},   {"2500", true, 2500},       {" 1 / 2 / 3 ", true, 0x0A03}, {"a/b/c", true, 0},
        {"", true, 0},              {"1.1.20", false, 0x1114},  {"15.15.255", false, 0xFFFF}, {"1.5", false, 0x1005},
        {"16.0.0", false, 0x0000},  {"4660", false, 4660},      {"x.y", false, 0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(image::KNX_Address_Code(QString::fromLatin1(c.text), c.group), c.code)
            << c.text << (c.group ? " group" : " individual");

    const struct {
        const char* text;
        uint32_t code; // the record keeps the low 16 bits
    } own[] = {{"1.1.200", 0x11C8}, {"1.5", 0x1105}, {"4660", 0x1234}, {"abc", 0x1114}, {"..", 0x1114},
               {"16.0.0", 0x10000}, {" 2 . 3 . 4", 0x2304}};
    for (const auto& c : own)
        EXPECT_EQ(image::KNX_Physical_Address_Code(QString::fromLatin1(c.text)), c.code) << c.text;
}

TEST(KnxImage, Records)
{
    Project prj(16);
    const struct {
        const char* what;
        tf::KnxRow row;
        const char* record; // 20 bytes
    } cases[] = {
        {"every flag", {.source = "1.1.1", .destination = "1/2/3", .apci = "Write", .priority = "Normal",
                        .format = "Float16 to Int * 10", .extended = "Y", .reTest = "Y", .onCommand = "Y", .onChange = "Y",
                        .onTimer = "Y", .pollTime = "250", .position = "2", .bitMode = "3", .length = "10"},
         "FA 00 00 00 00 00 00 00 01 0A 7B 80 80 00 01 11 03 0A 13 00"},
        {"individual destination, byte mode", {.destination = "1.2.3", .apci = "read", .priority = "low",
                                               .onChange = "N", .position = "2", .bitMode = "no"},
         "00 00 00 00 00 00 00 00 03 01 00 00 00 00 01 11 03 12 02 00"},
        {"timer without a time", {.apci = "1023", .priority = "bogus", .format = "Swap9", .onTimer = "y", .pollTime = "",
                                  .bitMode = "NO", .length = "x"},
         "E8 03 00 00 00 00 00 00 02 01 21 00 FF 03 01 11 03 0A 00 00"},
    };
    tf::Rows rows;
    for (const auto& c : cases)
        rows.push_back(tf::knxRow(c.row));
    // Not enabled, then without "Enable" (used), then without a poll time (0), then without
    // "On_Command" (not set): the records stay contiguous.
    rows.insert(rows.begin() + 1, tf::knxRow({.enable = " n ", .source = "9.9.9"}));
    rows.push_back(tf::without(tf::knxRow({.destination = "2500"}), "Enable"));
    rows.push_back(tf::without(tf::knxRow({.onTimer = "Y"}), "Poll_Time"));
    rows.push_back(tf::without(tf::knxRow({.onCommand = "Y"}), "On_Command"));
    prj.write(prj.ws().Path_KNX_SetAccess, tf::knxXml(rows));
    const QByteArray b = build(prj);
    ASSERT_EQ(b.size(), 79872);
    for (int k = 0; k < 3; ++k)
        EXPECT_EQ(record(b, k), QString::fromLatin1(cases[k].record)) << cases[k].what;
    EXPECT_EQ(record(b, 3), QStringLiteral("00 00 00 00 00 00 00 00 01 01 21 00 80 00 01 11 C4 09 00 00"));
    EXPECT_EQ(at(b, kTable + 4 * 20, 4), QStringLiteral("00 00 00 00"));
    EXPECT_EQ(at(b, kTable + 5 * 20 + 10, 2), QStringLiteral("21 00"));
    EXPECT_TRUE(allZero(b.mid(kTable + 6 * 20, 0x2800 - 6 * 20)));
    EXPECT_EQ(le32(b, kRec + 456), 6u);
    EXPECT_EQ(le32(b, kRec + 452), 0u);
    EXPECT_EQ(le32(b, kRec + 444), 0x65800u);
    EXPECT_EQ(le32(b, kRec + 448), 0x65800u);
    EXPECT_TRUE(checksumValid(b, kRec));
}

TEST(KnxImage, RecordAndObjectsOfBothKnxModels)
{
    for (int32_t type : {16, 2016}) {
        Project prj(type);
        writeObjects(prj, {tf::objectRow({.type = "Octet String", .swap = "Y", .mnemonic = "o"})});
        QByteArray b = build(prj);
        ASSERT_EQ(b.size(), 79872) << type;
        EXPECT_EQ(le32(b, kRec + 1792), 1u) << type;
        EXPECT_EQ(le32(b, 8), 0x55000u + 0x7FF0u + 1) << type;
        EXPECT_EQ(at(b, 7, 1), QString::fromLatin1(type == 16 ? "02" : "00")) << "swap only on 16";
        // No ParGen.xml: the three addresses and the record's defaults.
        EXPECT_EQ(le32(b, kRec + 248), 0x55000u);
        EXPECT_EQ(at(b, kRec + 462, 2), QStringLiteral("00 00"));
        EXPECT_EQ(at(b, kRec + 96, 1), QStringLiteral("00"));

        const struct {
            const char* id; // nullptr: key missing
            const char* code;
        } ids[] = {{nullptr, "C8 11"}, {"1.5", "05 11"}, {"4660", "34 12"}, {"1.1.200", "C8 11"}, {"abc", "14 11"}};
        for (const auto& c : ids) {
            std::vector<std::pair<QString, QString>> keys;
            if (c.id)
                keys.push_back({"KNX_ID_DEV", c.id});
            writeParGen(prj, keys);
            b = build(prj);
            EXPECT_EQ(at(b, kRec + 462, 2), QString::fromLatin1(c.code)) << (c.id ? c.id : "missing");
            EXPECT_TRUE(checksumValid(b, kRec));
        }
    }
}

TEST(KnxImage, BadRowsStopTheBuild)
{
    const char* required[] = {"APCI", "Priority", "Extended", "Destination_Address", "ReTest", "Source_Address",
                              "On_Change", "Bit_Mode", "Position", "Length"};
    for (const char* attr : required) {
        Project prj(16);
        prj.write(prj.ws().Path_KNX_SetAccess, tf::knxXml({tf::knxRow({}), tf::without(tf::knxRow({}), attr)}));
        const QString error = buildError(prj);
        for (const QString& part : {QStringLiteral("KNX_SetAccess.xml"), QStringLiteral("KNX_in_Write"),
                                    QStringLiteral("row 2"), QString::fromLatin1(attr), QStringLiteral("missing")})
            EXPECT_TRUE(error.contains(part)) << attr << ": " << error.toStdString();
    }
    // The rows of a disabled row are never looked at; the read section never reaches the image.
    Project prj(16);
    prj.write(prj.ws().Path_KNX_SetAccess,
              tf::tableXml("BACnet_to_KNX", {{"KNX_in_Read", {{{"Enable", "Y"}}}},
                                             {"KNX_in_Write", {tf::without(tf::knxRow({.enable = "N"}), "APCI")}}}));
    EXPECT_EQ(le32(build(prj), kRec + 456), 0u);

    prj.write(prj.ws().Path_KNX_SetAccess, tf::tableXml("BACnet_to_KNX", {{"KNX_in_Read", {tf::knxRow({})}}}));
    EXPECT_TRUE(buildError(prj).contains(QStringLiteral("KNX_in_Write")));
}

TEST(KnxImage, MoreEnabledRowsThanTheTableIsRefused)
{
    Project prj(16);
    tf::Rows rows(512, tf::knxRow({}));
    rows.insert(rows.begin() + 100, 20, tf::knxRow({.enable = "N"}));
    prj.write(prj.ws().Path_KNX_SetAccess, tf::knxXml(rows));
    const QByteArray full = build(prj);
    EXPECT_EQ(le32(full, kRec + 456), 512u);
    EXPECT_NE(record(full, 511), toHex(QByteArray(20, '\0')));
    ASSERT_TRUE(image::Save_Bin(prj.st()).ok);

    rows.push_back(tf::knxRow({}));
    prj.write(prj.ws().Path_KNX_SetAccess, tf::knxXml(rows));
    EXPECT_EQ(buildError(prj), QStringLiteral("The file KNX_SetAccess.xml holds 513 enabled rows in its section "
                                              "\"KNX_in_Write\"; the KNX table of the image has room for 512."));
    EXPECT_FALSE(image::Save_Bin(prj.st()).ok);
    EXPECT_EQ(prj.dir().read(QStringLiteral("bin/bank1.bin")), full);
}
