#include "FieldImageFixture.h"
#include "image/CanImage.h"

#include <QFile>

using namespace field_test;

namespace {

constexpr int kTable = 0x10800;
constexpr int kRec = 0x18800;

QString frame(const QByteArray& b, int k) { return at(b, kTable + 32 * k, 32); }

void writeFrames(Project& prj, const tf::Rows& receive, const tf::Rows& send)
{
    prj.write(prj.ws().Path_CAN_Rec_Frames, tf::canReceiveFramesXml(receive));
    prj.write(prj.ws().Path_CAN_Send_Frames, tf::canSendFramesXml(send));
}

} // namespace

TEST(CanImage, EmptyProjectLayout)
{
    Project prj(7);
    const QByteArray b = build(prj);
    ASSERT_EQ(b.size(), 102520);
    EXPECT_TRUE(allZero(b.left(kTable)));
    // Every record empty: zero fields and eight positions 0xFFFF.
    for (int k : {0, 1023})
        EXPECT_EQ(frame(b, k), QStringLiteral("00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 "
                                              "FF FF FF FF FF FF FF FF FF FF FF FF FF FF FF FF"));
    EXPECT_EQ(le32(b, kRec + 240), 0x60000u);
    EXPECT_EQ(le32(b, kRec + 608), 0x68800u);
    EXPECT_EQ(at(b, kRec + 96, 4), QStringLiteral("24 00 00 01")); // protocol code, CAN kind 1
    EXPECT_EQ(le32(b, kRec + 112), 0u);
    EXPECT_EQ(le32(b, kRec + 0), 250000u); // no ParGen.xml: the record's default
    EXPECT_TRUE(allZero(b.right(120)));
    EXPECT_TRUE(checksumValid(b, kRec));
}

TEST(CanImage, FrameRecords)
{
    Project prj(7);
    writeFrames(prj,
                {tf::canReceiveFrame({.cobId = "291", .type = "2.0B (29 bits)", .dimension = "2", .timeOut = "1000"}),
                 tf::canReceiveFrame({.cobId = "291", .type = "2.0b (29 BITS)", .dimension = "1", .timeOut = "7"}),
                 tf::canReceiveFrame({.cobId = "5", .dimension = "0"})},
                {tf::canSendFrame({.cobId = "16", .dimension = "3", .sendType = "On Timer", .timerSend = "500"}),
                 tf::canSendFrame({.cobId = "17", .dimension = "8", .sendType = "on DATA change", .timerSend = "500"})});
    prj.write(prj.ws().Path_CAN_Rec_Info, tf::canReceiveInfoXml({tf::canInfoRow({10, 11, 12}), tf::canInfoRow({20, 21}),
                                                                 tf::canInfoRow({1, 2, 3, 4, 5, 6, 7, 8})}));
    prj.write(prj.ws().Path_CAN_Send_Info,
              tf::canSendInfoXml({tf::canInfoRow({30, 31, 32, 33}), tf::canInfoRow({40, 41, 42, 43, 44, 45, 46, 47}),
                                  tf::canInfoRow({99})}));
    const QByteArray b = build(prj);
    ASSERT_EQ(b.size(), 102520);
    // 29-bit identifier: bit 31 on; positions up to the data length, the rest 0xFFFF.
    EXPECT_EQ(frame(b, 0), QStringLiteral("23 01 00 80 00 00 00 00 E8 03 00 00 00 00 02 00 "
                                          "0A 00 0B 00 FF FF FF FF FF FF FF FF FF FF FF FF"));
    // The type text in another letter case is an 11-bit identifier.
    EXPECT_EQ(frame(b, 1), QStringLiteral("23 01 00 00 00 00 00 00 07 00 00 00 00 00 01 00 "
                                          "14 00 FF FF FF FF FF FF FF FF FF FF FF FF FF FF"));
    // Data length 0: no position is taken, whatever the byte map says.
    EXPECT_EQ(at(b, kTable + 64 + 14, 18), QStringLiteral("00 00 FF FF FF FF FF FF FF FF FF FF FF FF FF FF FF FF"));
    // Send frames follow the three receive frames, with their own byte-map rows.
    EXPECT_EQ(frame(b, 3), QStringLiteral("10 00 00 00 F4 01 00 00 00 00 00 00 00 01 03 00 "
                                          "1E 00 1F 00 20 00 FF FF FF FF FF FF FF FF FF FF"));
    EXPECT_EQ(frame(b, 4), QStringLiteral("11 00 00 00 00 00 00 00 00 00 00 00 00 01 08 00 "
                                          "28 00 29 00 2A 00 2B 00 2C 00 2D 00 2E 00 2F 00"));
    EXPECT_EQ(at(b, kTable + 5 * 32, 4), QStringLiteral("00 00 00 00")); // the extra map row maps nothing
    EXPECT_EQ(le32(b, kRec + 112), 5u);
    EXPECT_TRUE(checksumValid(b, kRec));
}

TEST(CanImage, MissingByteMapsLeaveThePositionsFree)
{
    Project prj(7);
    writeFrames(prj, {tf::canReceiveFrame({.dimension = "2"}), tf::canReceiveFrame({.dimension = "2"})},
                {tf::canSendFrame({.dimension = "1"})});
    prj.write(prj.ws().Path_CAN_Rec_Info, tf::canReceiveInfoXml({tf::canInfoRow({1, 2})})); // one row for two frames
    const QByteArray b = build(prj);
    EXPECT_EQ(at(b, kTable + 16, 4), QStringLiteral("01 00 02 00"));
    EXPECT_EQ(at(b, kTable + 32 + 16, 4), QStringLiteral("FF FF FF FF"));
    EXPECT_EQ(at(b, kTable + 64 + 16, 2), QStringLiteral("FF FF"));

    // A byte map without its frames file is not read; the other direction is untouched.
    QFile::remove(prj.ws().Path_CAN_Rec_Frames);
    prj.write(prj.ws().Path_CAN_Send_Info, tf::canSendInfoXml({tf::canInfoRow({9})}));
    const QByteArray c = build(prj);
    EXPECT_EQ(at(c, kTable, 18), QStringLiteral("00 01 00 00 F4 01 00 00 00 00 00 00 00 01 01 00 09 00"));
    EXPECT_EQ(le32(c, kRec + 112), 1u);
}

TEST(CanImage, BitRateCodes)
{
    const struct {
        const char* code;
        uint32_t rate;
    } cases[] = {{"0", 10000}, {"3", 62500}, {"9", 1000000}, {"10", 90909}, {"11", 1000000},
                 {"-1", 1000000}, {"fast", 1000000}, {nullptr, 1000000}};
    Project prj(7);
    for (const auto& c : cases) {
        std::vector<std::pair<QString, QString>> keys;
        if (c.code)
            keys.push_back({"CAN_BAUDRATE", c.code});
        writeParGen(prj, keys);
        const QByteArray b = build(prj);
        EXPECT_EQ(le32(b, kRec), c.rate) << (c.code ? c.code : "missing");
        EXPECT_EQ(at(b, kRec + 96, 4), QStringLiteral("24 00 00 01"));
        EXPECT_EQ(le32(b, kRec + 240), 0x60000u);
    }
}

TEST(CanImage, BbmdTableAndBacnetKeys)
{
    Project prj(7);
    writeParGen(prj, {{"BACnet_EN_BBMD", "1"}, {"BACnet_EN_FDR", "1"}, {"BACnet_NAME_STA", "can7"}});
    prj.bdt({{{"Enable", "Y"}, {"IP_Address", "10.0.0.1"}, {"SubNet_Mask", "255.255.255.0"}, {"Port", "47808"},
              {"Mnemonic", ""}}});
    const QByteArray b = build(prj);
    EXPECT_EQ(at(b, kRec + 604, 8), QStringLiteral("03 00 00 00 00 88 06 00"));
    EXPECT_EQ(at(b, kRec + 80, 5), QStringLiteral("63 61 6E 37 00"));
    EXPECT_EQ(at(b, 102400, 12), QStringLiteral("01 00 C0 BA 01 00 00 0A 00 FF FF FF"));
}

TEST(CanImage, BadFilesStopTheBuildWithTheirPlace)
{
    const struct {
        const char* what;
        QByteArray receive;
        QByteArray receiveInfo;
        QStringList expected;
    } cases[] = {
        {"Cob_Id not a number", tf::canReceiveFramesXml({tf::canReceiveFrame({}), tf::with(tf::canReceiveFrame({}), "Cob_Id", "0x1G")}),
         {}, {"CAN_Rec_Frames.xml", "Receive_Frames", "row 2", "Cob_Id", "0x1G"}},
        {"TimeOut missing", tf::canReceiveFramesXml({tf::without(tf::canReceiveFrame({}), "TimeOut")}), {},
         {"CAN_Rec_Frames.xml", "row 1", "TimeOut", "missing"}},
        {"no section", tf::tableXml("PROFINET_to_Receive_CAN", {{"Frames", {tf::canReceiveFrame({})}}}), {},
         {"CAN_Rec_Frames.xml", "Receive_Frames"}},
        {"position within the length", tf::canReceiveFramesXml({tf::canReceiveFrame({.dimension = "3"})}),
         tf::canReceiveInfoXml({tf::with(tf::canInfoRow({1, 2, 3}), "B3", "none")}), {"CAN_Rec_Info.xml", "row 1", "B3"}},
        {"not well-formed", "<PROFINET_to_Receive_CAN><Receive_Frames>", {}, {"CAN_Rec_Frames.xml"}},
    };
    for (const auto& c : cases) {
        Project prj(7);
        ASSERT_TRUE(image::Build_Bin(prj.st()).ok);
        prj.write(prj.ws().Path_CAN_Rec_Frames, c.receive);
        if (!c.receiveInfo.isEmpty())
            prj.write(prj.ws().Path_CAN_Rec_Info, c.receiveInfo);
        const QString error = buildError(prj);
        for (const QString& part : c.expected)
            EXPECT_TRUE(error.contains(part)) << c.what << ": " << error.toStdString();
        EXPECT_FALSE(image::Save_Bin(prj.st()).ok) << c.what;
    }

    // A position beyond the data length is not read, so it may hold anything.
    Project prj(7);
    prj.write(prj.ws().Path_CAN_Rec_Frames, tf::canReceiveFramesXml({tf::canReceiveFrame({.dimension = "1"})}));
    prj.write(prj.ws().Path_CAN_Rec_Info, tf::canReceiveInfoXml({tf::without(tf::canInfoRow({4}), "B2")}));
    EXPECT_EQ(at(build(prj), kTable + 16, 4), QStringLiteral("04 00 FF FF"));
}

TEST(CanImage, MoreFramesThanTheTableIsRefusedBeforeAnythingIsWritten)
{
    Project prj(7);
    tf::Rows receive(600, tf::canReceiveFrame({}));
    tf::Rows send(424, tf::canSendFrame({}));
    writeFrames(prj, receive, send);
    const QByteArray full = build(prj);
    EXPECT_EQ(le32(full, kRec + 112), 1024u);
    EXPECT_EQ(le32(full, kTable + 1023 * 32), 256u);
    ASSERT_TRUE(image::Save_Bin(prj.st()).ok);

    send.push_back(tf::canSendFrame({}));
    writeFrames(prj, receive, send);
    const QString error = buildError(prj);
    EXPECT_EQ(error, QStringLiteral("The files CAN_Rec_Frames.xml and CAN_Send_Frames.xml hold 1025 CAN frames; "
                                    "the CAN frame table of the image has room for 1024."));
    EXPECT_FALSE(image::Save_Bin(prj.st()).ok);
    EXPECT_EQ(prj.dir().read(QStringLiteral("bin/bank1.bin")), full);

    QFile::remove(prj.ws().Path_CAN_Send_Frames);
    writeFrames(prj, tf::Rows(1025, tf::canReceiveFrame({})), {});
    EXPECT_TRUE(buildError(prj).startsWith(QStringLiteral("The file CAN_Rec_Frames.xml holds 1025 CAN frames")));
}
