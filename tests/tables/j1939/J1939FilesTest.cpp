#include "support/TableFiles.h"
#include "support/TempDir.h"
#include "tables/j1939/J1939Files.h"

#include <gtest/gtest.h>

using namespace tables::j1939;
namespace tf = testing_support::tables;

TEST(J1939Files, RowsWithTheDefaultsOfMissingAttributes)
{
    testing_support::TempDir dir;
    const QString rec = dir.file(QStringLiteral("J1939_Rec_Frames.xml"));
    const QString send = dir.file(QStringLiteral("J1939_Send_Frames.xml"));
    EXPECT_TRUE(readReceiveFrames(rec).rows.empty());
    EXPECT_TRUE(readReceiveFrames(rec).error.isEmpty());

    dir.write(QStringLiteral("J1939_Rec_Frames.xml"),
              tf::j1939Xml({tf::j1939ReceiveRow({.dataPage = "1", .pgn = "0xFEF1", .tp = "Y", .tpStart = "10",
                                                 .tpNByte = "20", .cancelData = "Y", .mnemonic = "speed"}),
                            tf::without(tf::without(tf::without(tf::j1939ReceiveRow({}), "TP"), "Delete"), "PGN")}));
    const FrameTable<ReceiveRow> r = readReceiveFrames(rec);
    ASSERT_TRUE(r.error.isEmpty());
    ASSERT_EQ(r.rows.size(), 2u);
    EXPECT_EQ(r.rows[0].PGN, QStringLiteral("0xFEF1"));
    EXPECT_EQ(r.rows[0].TP, QStringLiteral("Y"));
    EXPECT_EQ(r.rows[0].TP_Start, QStringLiteral("10"));
    EXPECT_EQ(r.rows[0].Delete, QStringLiteral("Y"));
    EXPECT_EQ(r.rows[0].Mnemonic, QStringLiteral("speed"));
    EXPECT_EQ(r.rows[1].TP, QStringLiteral("N"));
    EXPECT_EQ(r.rows[1].Delete, QStringLiteral("N"));
    EXPECT_EQ(r.rows[1].PGN, QString());

    dir.write(QStringLiteral("J1939_Send_Frames.xml"),
              tf::j1939Xml({tf::j1939TransmitRow({.priority = "3", .tp = "Y", .tpNByte = "100", .transmitType = "On Timer",
                                                  .sendTimer = "250"}),
                            tf::without(tf::j1939TransmitRow({}), "TP")}));
    const FrameTable<TransmitRow> s = readTransmitFrames(send);
    ASSERT_EQ(s.rows.size(), 2u);
    EXPECT_EQ(s.rows[0].Priority, QStringLiteral("3"));
    EXPECT_EQ(s.rows[0].T_Type, QStringLiteral("On Timer"));
    EXPECT_EQ(s.rows[0].SendTimer, QStringLiteral("250"));
    EXPECT_EQ(s.rows[1].TP, QStringLiteral("N"));
    EXPECT_EQ(s.rows[1].DP, QStringLiteral("0"));

    dir.write(QStringLiteral("J1939_Send_Frames.xml"), "<Receive_J1939><row PGN=\"1\"></Receive>");
    const FrameTable<TransmitRow> bad = readTransmitFrames(send);
    EXPECT_TRUE(bad.rows.empty());
    EXPECT_TRUE(bad.error.startsWith(QStringLiteral("The file J1939_Send_Frames.xml cannot be read"))) << bad.error.toStdString();
}
