#include "support/TableFiles.h"
#include "support/TempDir.h"
#include "tables/devicenet/DeviceNetFiles.h"

#include <gtest/gtest.h>

#include <tuple>

using namespace tables::devicenet;
namespace tf = testing_support::tables;

namespace {

struct Files {
    testing_support::TempDir dir;
    QString net = dir.file(QStringLiteral("DNETM_Net.xml"));
    QString offsets = dir.file(QStringLiteral("DNETM_DefOff.xml"));

    void writeNet(const tf::Rows& rows) { dir.write(QStringLiteral("DNETM_Net.xml"), tf::dnetNetXml(rows)); }
    void writeOffsets(const std::vector<tf::DnetOffsets>& nodes)
    {
        dir.write(QStringLiteral("DNETM_DefOff.xml"), tf::dnetDefOffXml(nodes));
    }
};

tf::Rows offsetRows(const QStringList& offsets)
{
    tf::Rows rows;
    for (const QString& o : offsets)
        rows.push_back(tf::dnetOffsetRow(o, QStringLiteral("m") + o));
    return rows;
}

} // namespace

TEST(DeviceNetFiles, NetworkTableRowsAsWritten)
{
    Files f;
    EXPECT_TRUE(readNetTable(f.net).rows.empty());
    EXPECT_TRUE(readNetTable(f.net).error.isEmpty());

    f.writeNet({tf::dnetSlaveRow("1", "4", "2", "pump"), tf::dnetSlaveRow(" ", "x", "", ""),
                tf::without(tf::dnetSlaveRow("3", "1", "1"), "NB_OUT"), tf::dnetSlaveRow("4", "1", "1")});
    const NetTable t = readNetTable(f.net);
    ASSERT_EQ(t.rows.size(), 2u); // the rows before the fault stay
    EXPECT_EQ(t.rows[0].Mnemonic, QStringLiteral("pump"));
    EXPECT_EQ(t.rows[1].ID, QStringLiteral(" "));
    EXPECT_EQ(t.error, QStringLiteral("DNETM_Net.xml, row 3: the attribute \"NB_OUT\" is missing."));

    f.dir.write(QStringLiteral("DNETM_Net.xml"), "<DNET_Net><row ID=\"1\"");
    EXPECT_TRUE(readNetTable(f.net).error.startsWith(QStringLiteral("The file DNETM_Net.xml cannot be read")));
}

TEST(DeviceNetFiles, SlaveNumbersOutsideTheirRangeStopTheList)
{
    const struct {
        tf::Attrs bad;
        const char* error;
    } cases[] = {
        {tf::dnetSlaveRow("64", "1", "1"), "DNETM_Net.xml, row 2: the attribute \"ID\" must lie between 0 and 63, not 64."},
        {tf::dnetSlaveRow("-1", "1", "1"), "DNETM_Net.xml, row 2: the attribute \"ID\" must lie between 0 and 63, not -1."},
        {tf::dnetSlaveRow("5", "65536", "1"),
         "DNETM_Net.xml, row 2: the attribute \"NB_IN\" must lie between 0 and 65535, not 65536."},
        {tf::dnetSlaveRow("5", "1", "none"), "DNETM_Net.xml, row 2: the attribute \"NB_OUT\" must be a whole number, not \"none\"."},
    };
    for (const auto& c : cases) {
        Files f;
        f.writeNet({tf::dnetSlaveRow("$3F", "2", "0x10"), c.bad, tf::dnetSlaveRow("7", "1", "1")});
        const SlaveList list = Load_Slave_DN(f.net);
        EXPECT_EQ(list.error, QString::fromLatin1(c.error));
        ASSERT_EQ(list.slaves.size(), 1u);
        EXPECT_EQ(list.slaves[0].ID, 63);
        EXPECT_EQ(list.slaves[0].List_ByteIN, QStringList({"None", "None"}));
        EXPECT_EQ(list.slaves[0].List_ByteOUT.size(), 16);
        EXPECT_EQ(list.slaves[0].List_ByteOUT_M, QStringList(16, QString()));
    }
}

// The network has 64 slaves at most: a longer hand-made file keeps its first 64 and says so.
TEST(DeviceNetFiles, MoreSlavesThanTheNetworkHoldsAreReported)
{
    for (int n : {64, 65, 300}) {
        Files f;
        tf::Rows rows;
        for (int i = 0; i < n; ++i)
            rows.push_back(tf::dnetSlaveRow(QString::number(i % 64), "65535", "65535"));
        f.writeNet(rows);
        const SlaveList list = Load_Slave_DN(f.net);
        ASSERT_EQ(list.slaves.size(), 64u) << n;
        EXPECT_EQ(list.slaves[63].List_ByteOUT.size(), 65535);
        EXPECT_EQ(list.error, n == 64 ? QString()
                                      : QStringLiteral("DNETM_Net.xml holds %1 slaves; the network has room for 64.").arg(n));
        EXPECT_EQ(readNetTable(f.net).rows.size(), 64u);
    }
}

TEST(DeviceNetFiles, OffsetsGoWithThePositionOfTheSlave)
{
    Files f;
    f.writeNet({tf::dnetSlaveRow("10", "2", "3"), tf::dnetSlaveRow("11", "0", "1"), tf::dnetSlaveRow("12", "1", "0")});
    // Fewer bytes than the slave has, more than it has, and no third node.
    f.writeOffsets({{offsetRows({"5"}), offsetRows({"0", "5999", "None", "7"})}, {offsetRows({"1", "2"}), {}}});
    SlaveList list = Load_Slave_DN(f.net);
    ASSERT_TRUE(list.error.isEmpty());
    EXPECT_EQ(Load_Offset_Slave_DN(list, f.offsets), QString());
    EXPECT_EQ(list.slaves[0].List_ByteIN, QStringList({"5", "None"}));
    EXPECT_EQ(list.slaves[0].List_ByteIN_M, QStringList({"m5", ""}));
    EXPECT_EQ(list.slaves[0].List_ByteOUT, QStringList({"0", "5999", "None"}));
    EXPECT_TRUE(list.slaves[1].List_ByteIN.isEmpty());
    EXPECT_EQ(list.slaves[1].List_ByteOUT, QStringList({"None"}));
    EXPECT_EQ(list.slaves[2].List_ByteIN, QStringList({"None"}));
}

TEST(DeviceNetFiles, AnOffsetOutsideTheByteArrayIsReportedWithItsSlaveAndByte)
{
    for (const char* offset : {"6000", "-2", "70000"}) {
        Files f;
        f.writeNet({tf::dnetSlaveRow("10", "0", "1"), tf::dnetSlaveRow("20", "1", "3")});
        f.writeOffsets({{{}, offsetRows({"1"})}, {offsetRows({"4"}), offsetRows({"2", offset, "3"})}});
        SlaveList list = Load_Slave_DN(f.net);
        EXPECT_EQ(Load_Offset_Slave_DN(list, f.offsets),
                  QStringLiteral("DNETM_DefOff.xml, slave 2 (ID 20), ByteOUT byte 1: the attribute \"Offset\" must be "
                                 "\"None\" or a position between 0 and 5999, not %1.")
                      .arg(QString::fromLatin1(offset).toInt()));
        EXPECT_EQ(list.slaves[1].List_ByteOUT, QStringList({"2", "None", "None"}));
        EXPECT_EQ(list.slaves[1].List_ByteIN, QStringList({"4"}));
    }
    Files f;
    f.writeNet({tf::dnetSlaveRow("10", "1", "0")});
    f.writeOffsets({{{tf::without(tf::dnetOffsetRow("1"), "Mnemonic")}, {}}});
    SlaveList list = Load_Slave_DN(f.net);
    EXPECT_EQ(Load_Offset_Slave_DN(list, f.offsets),
              QStringLiteral("DNETM_DefOff.xml, slave 1 (ID 10), ByteIN byte 0: the attribute \"Mnemonic\" is missing."));
}

TEST(DeviceNetFiles, CheckOfTheOutputBytes)
{
    auto slave = [](uint8_t id, QStringList in, QStringList out) {
        Slave s;
        s.ID = id;
        s.List_ByteIN = in;
        s.List_ByteOUT = out;
        return s;
    };
    EXPECT_FALSE(Check_Data({slave(1, {"5", "5"}, {"None", "x", "0"}), slave(2, {"5"}, {"5999", "None"})}));

    std::optional<OffsetClash> c = Check_Data({slave(1, {}, {"3", "7"}), slave(2, {}, {"None", "7"})});
    ASSERT_TRUE(c);
    EXPECT_EQ(std::tie(c->firstId, c->firstByte, c->secondId, c->secondByte, c->position), std::make_tuple(1, 1, 2, 1, 7));
    EXPECT_FALSE(c->outOfRange);

    c = Check_Data({slave(4, {}, {"9", "9"})});
    ASSERT_TRUE(c);
    EXPECT_EQ(std::tie(c->firstId, c->firstByte, c->secondId, c->secondByte), std::make_tuple(4, 0, 4, 1));

    // A position the array does not have is reported, never looked up.
    c = Check_Data({slave(4, {}, {"6000"})});
    ASSERT_TRUE(c);
    EXPECT_TRUE(c->outOfRange);
    EXPECT_EQ(c->position, 6000);
    EXPECT_EQ(c->secondByte, 0);
}
