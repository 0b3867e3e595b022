#include "support/TableFiles.h"
#include "support/TempDir.h"
#include "tables/nmea/NmeaFiles.h"

#include <gtest/gtest.h>

using namespace tables::nmea;
namespace tf = testing_support::tables;

TEST(NmeaFiles, RowsWithTheDefaultsOfMissingAttributes)
{
    testing_support::TempDir dir;
    const QString rec = dir.file(QStringLiteral("NMEA_Rec_Frames.xml"));
    const QString send = dir.file(QStringLiteral("NMEA_Send_Frames.xml"));
    dir.write(QStringLiteral("NMEA_Rec_Frames.xml"),
              tf::nmeaXml({tf::nmeaReceiveRow({.pgn = "129025", .fp = "Y", .tpStart = "200", .tpNByte = "23"}),
                           tf::without(tf::without(tf::nmeaReceiveRow({}), "FP"), "Mnemonic")}));
    const FrameTable<ReceiveRow> r = readReceiveFrames(rec);
    ASSERT_TRUE(r.error.isEmpty());
    ASSERT_EQ(r.rows.size(), 2u);
    EXPECT_EQ(r.rows[0].PGN, QStringLiteral("129025"));
    EXPECT_EQ(r.rows[0].FP, QStringLiteral("Y"));
    EXPECT_EQ(r.rows[0].TP_NByte, QStringLiteral("23"));
    EXPECT_EQ(r.rows[1].FP, QStringLiteral("N"));
    EXPECT_EQ(r.rows[1].Mnemonic, QString());

    dir.write(QStringLiteral("NMEA_Send_Frames.xml"),
              tf::nmeaXml({tf::without(tf::nmeaTransmitRow({.fp = "Y", .tpNByte = "223"}), "TP")}));
    const FrameTable<TransmitRow> s = readTransmitFrames(send);
    ASSERT_EQ(s.rows.size(), 1u);
    EXPECT_EQ(s.rows[0].FP, QStringLiteral("Y"));
    EXPECT_EQ(s.rows[0].TP, QStringLiteral("N"));
    EXPECT_EQ(s.rows[0].TP_NByte, QStringLiteral("223"));
    EXPECT_EQ(s.rows[0].T_Type, QStringLiteral("On Data Change"));
    EXPECT_TRUE(readTransmitFrames(dir.file(QStringLiteral("none.xml"))).rows.empty());
}
