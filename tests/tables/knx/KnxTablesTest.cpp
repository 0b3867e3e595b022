#include "image/KnxImage.h"
#include "support/TableFiles.h"
#include "support/TempDir.h"
#include "tables/knx/KnxTables.h"
#include "workspace/LangTexts.h"
#include "workspace/Workspace.h"

#include <gtest/gtest.h>

#include <memory>

using namespace tables;
using namespace tables::knx;
using testing_support::TempDir;
namespace tf = testing_support::tables;

namespace {

class KnxTablesTest : public ::testing::Test {
protected:
    void SetUp() override { workspace::Default_Texts(); }
    workspace::ScopedWorkspace scoped{16};
    TempDir dir;
    TableDescription desc = knxAccessTable();
};

QString result(const CheckResult& r)
{
    return r.ok ? QStringLiteral("ok") : r.message;
}

// A row that passes: individual source, group destination, one byte at position 0.
RowCells knxCells()
{
    return RowCells{"Y", "1.1.1", "1/2/3", "Write", "Normal", "None", "N", "N", "N", "Y", "N", "", "0", "No", "1", ""};
}

// The row with some cells changed: {column, text}, ...
RowCells row(std::initializer_list<std::pair<int, QString>> changes)
{
    RowCells c = knxCells();
    for (const auto& [col, text] : changes)
        c[col - 1] = text;
    return c;
}

} // namespace

TEST_F(KnxTablesTest, GoldenFileLoadsChecksAndSavesBackUnchanged)
{
    const QByteArray bytes = testing_support::dataFile(QStringLiteral("tables/KNX_SetAccess.xml"));
    ASSERT_FALSE(bytes.isEmpty());
    const LoadResult r = loadTableBytes(desc, bytes, QStringLiteral("KNX_SetAccess.xml"), 512);
    EXPECT_EQ(r.error, QString());
    EXPECT_EQ(QString::fromUtf8(tableXml(desc, r.model, 16)), QString::fromUtf8(bytes));
    EXPECT_EQ(QString::fromUtf8(tableXml(desc, r.model, 2016)), QString::fromUtf8(bytes));
    EXPECT_EQ(result(Controllo_dati(desc, r.model, checkKnxRow)), QStringLiteral("ok"));
}

TEST_F(KnxTablesTest, FileShape)
{
    ASSERT_EQ(desc.sections.size(), 1u);
    EXPECT_EQ(desc.sections[0].element, QStringLiteral("KNX_in_Write"));
    EXPECT_FALSE(desc.hasPages());
    EXPECT_EQ(desc.sections[0].columns.size(), 16u);
    EXPECT_EQ(desc.capacity, 512);
    EXPECT_EQ(desc.limits.in, 1439); // "Position" runs "0" .. "1438"
    EXPECT_TRUE(desc.offersCopy());
    EXPECT_EQ(desc.buttons.copyRowCaption, QStringLiteral("Copy Row"));

    // The read section is written empty whatever the file held, and never read.
    const QByteArray withRead = tf::tableXml(
        "BACnet_to_KNX", {{"KNX_in_Read", {tf::knxRow({.mnemonic = "by hand"})}}, {"KNX_in_Write", {tf::knxRow({})}}});
    const LoadResult r = loadTableBytes(desc, withRead, QStringLiteral("KNX_SetAccess.xml"), 512);
    EXPECT_EQ(r.error, QString());
    EXPECT_EQ(r.rowsRead, std::vector<int>{1});
    const QString saved = QString::fromUtf8(tableXml(desc, r.model, 16));
    EXPECT_TRUE(saved.startsWith(QStringLiteral("<BACnet_to_KNX>\n  <KNX_in_Read />\n  <KNX_in_Write>\n")));
    EXPECT_FALSE(saved.contains(QStringLiteral("by hand")));
    EXPECT_TRUE(saved.endsWith(QStringLiteral("<!--SW_VERSION = 1.009-->\n")));

    // Defaults of the optional attributes; a required one missing stops the load at its row.
    tf::Attrs bare = tf::without(tf::without(tf::without(tf::without(tf::without(tf::knxRow({}), "Enable"), "Priority"),
                                                        "Format"),
                                             "On_Command"),
                                 "On_Timer");
    const LoadResult d = loadTableBytes(desc, tf::knxXml({bare, tf::without(tf::knxRow({}), "Length")}),
                                        QStringLiteral("KNX_SetAccess.xml"), 512);
    EXPECT_EQ(d.model.sections[0][0][KnxEnable - 1], QStringLiteral("Y"));
    EXPECT_EQ(d.model.sections[0][0][KnxPriority - 1], QStringLiteral("Normal"));
    EXPECT_EQ(d.model.sections[0][0][KnxFormat - 1], QStringLiteral("None"));
    EXPECT_EQ(d.model.sections[0][0][KnxOnCommand - 1], QStringLiteral("N"));
    EXPECT_EQ(d.model.sections[0][0][KnxOnTimer - 1], QStringLiteral("N"));
    EXPECT_TRUE(d.damaged());
    EXPECT_TRUE(d.error.contains(QStringLiteral("row 2 of KNX_in_Write lacks the attribute Length"))) << d.error.toStdString();
    EXPECT_EQ(d.rowsRead, std::vector<int>{1});
}

// Loaded priorities show as one of the four list texts; fresh rows keep theirs empty.
TEST_F(KnxTablesTest, LoadedPrioritiesShowAsListTexts)
{
    EXPECT_EQ(shownPriority("NORMAL"), QStringLiteral("Normal"));
    EXPECT_EQ(shownPriority(""), QStringLiteral("Normal"));
    EXPECT_EQ(shownPriority("urgent"), QStringLiteral("Urgent"));
    EXPECT_EQ(shownPriority(" Low "), QStringLiteral("Low"));
    EXPECT_EQ(shownPriority("High"), QStringLiteral("Normal"));
    EXPECT_EQ(shownPriority("System"), QStringLiteral("System"));

    const QString path = dir.write(QStringLiteral("KNX_SetAccess.xml"),
                                   tf::knxXml({tf::knxRow({.priority = "NORMAL"}), tf::knxRow({.priority = ""}),
                                               tf::knxRow({.priority = "URGENT"})}));
    const LoadResult r = loadKnxTable(desc, path);
    EXPECT_EQ(r.model.sections[0][0][KnxPriority - 1], QStringLiteral("Normal"));
    EXPECT_EQ(r.model.sections[0][1][KnxPriority - 1], QStringLiteral("Normal"));
    EXPECT_EQ(r.model.sections[0][2][KnxPriority - 1], QStringLiteral("Urgent"));
    EXPECT_EQ(r.model.sections[0][3][KnxPriority - 1], QString());
}

TEST_F(KnxTablesTest, RowMessages)
{
    const char* const position = "Error row 1!! [KNX in Write] Position plus Length must be minor or equal to 1439";
    struct Case {
        RowCells row;
        const char* message;
    } cases[] = {
        {knxCells(), "ok"},
        // Source: individual address, 0.0.0 allowed.
        {row({{KnxSource, "0.0.0"}}), "ok"},
        {row({{KnxSource, " 15.15.255 "}}), "ok"},
        {row({{KnxSource, "16.0.1"}}), "Error row 1!! [KNX in Write] Source Address must be a valid KNX Individual Address (Ex. 15.15.255)"},
        {row({{KnxSource, "1/2/3"}}), "Error row 1!! [KNX in Write] Source Address must be a valid KNX Individual Address (Ex. 15.15.255)"},
        {row({{KnxSource, "1.2"}}), "Error row 1!! [KNX in Write] Source Address must be a valid KNX Individual Address (Ex. 15.15.255)"},
        // Destination: with dots individual, else group; both at their bounds.
        {row({{KnxDestination, "15.15.255"}}), "ok"},
        {row({{KnxDestination, "15.16.0"}}), "Error row 1!! [KNX in Write] Destination Address must be a valid KNX Individual Address (Ex. 15.15.255)"},
        {row({{KnxDestination, "31/7/255"}}), "ok"},
        {row({{KnxDestination, "31/2047"}}), "ok"},
        {row({{KnxDestination, "65535"}}), "ok"},
        {row({{KnxDestination, "32/0"}}), "Error row 1!! [KNX in Write] Destination Address must be a valid KNX Group Address (Ex. 31/2047 or 31/7/255)"},
        {row({{KnxDestination, "1/8/0"}}), "Error row 1!! [KNX in Write] Destination Address must be a valid KNX Group Address (Ex. 31/2047 or 31/7/255)"},
        {row({{KnxDestination, "0/0/0"}}), "Error row 1!! [KNX in Write] Destination Address must be a valid KNX Group Address (Ex. 31/2047 or 31/7/255)"},
        {row({{KnxDestination, "65536"}}), "Error row 1!! [KNX in Write] Destination Address must be a valid KNX Group Address (Ex. 31/2047 or 31/7/255)"},
        // APCI.
        {row({{KnxApci, "write"}}), "ok"},
        {row({{KnxApci, "1023"}}), "ok"},
        {row({{KnxApci, "1024"}}), "Error row 1!! [KNX in Write] APCI must be between 0 and 1023 or use the value Read or Write"},
        {row({{KnxApci, " Write"}}), "Error row 1!! [KNX in Write] APCI must be between 0 and 1023 or use the value Read or Write"},
        {row({{KnxPriority, "High"}}), "Error row 1!! [KNX in Write] Priority must be System or Urgent or Normal or Low"},
        {row({{KnxFormat, " "}}), "Error row 1!! [KNX in Write] Format is not correct"},
        // Poll time only on a timer.
        {row({{KnxOnTimer, "N"}, {KnxPollTime, ""}}), "ok"},
        {row({{KnxOnTimer, "Y"}, {KnxPollTime, ""}}), "Error row 1!! [KNX in Write] Poll Time must be between 1 and 100000000"},
        {row({{KnxOnTimer, "Y"}, {KnxPollTime, "100000000"}}), "ok"},
        {row({{KnxPosition, "1439"}}), "Error row 1!! [KNX in Write] Position must be between 0 and 1438"},
        {row({{KnxPosition, ""}}), "Error row 1!! [KNX in Write] Position must be between 0 and 1438"},
        {row({{KnxBitMode, "8"}}), "Error row 1!! [KNX in Write] Bit Mode must be \"No\" or between 0 and 7"},
        {row({{KnxBitMode, "no"}}), "ok"},
        // Lengths: 14 bytes, 255 extended; 112 bits, 2040 extended.
        {row({{KnxLength, "14"}}), "ok"},
        {row({{KnxLength, "15"}}), "Error row 1!! [KNX in Write] Length must be between 1 and 14"},
        {row({{KnxLength, "0"}}), "Error row 1!! [KNX in Write] Length must be between 1 and 14"},
        {row({{KnxLength, "255"}, {KnxExtended, "Y"}}), "ok"},
        {row({{KnxLength, "256"}, {KnxExtended, "Y"}}), "Error row 1!! [KNX in Write] Length must be between 1 and 255"},
        {row({{KnxLength, "112"}, {KnxBitMode, "0"}}), "ok"},
        {row({{KnxLength, "113"}, {KnxBitMode, "0"}}), "Error row 1!! [KNX in Write] Length must be between 1 and 112"},
        {row({{KnxLength, "2040"}, {KnxBitMode, "0"}, {KnxExtended, "Y"}}), "ok"},
        {row({{KnxLength, "2041"}, {KnxBitMode, "0"}, {KnxExtended, "y"}}), "Error row 1!! [KNX in Write] Length must be between 1 and 2040"},
        // Bit 7 and 10 bits use 3 bytes: from 1436 they end at the last byte, from 1437 past it.
        {row({{KnxBitMode, "7"}, {KnxLength, "10"}, {KnxPosition, "1436"}}), "ok"},
        {row({{KnxBitMode, "7"}, {KnxLength, "10"}, {KnxPosition, "1437"}}), position},
        {row({{KnxLength, "14"}, {KnxPosition, "1425"}}), "ok"},
        {row({{KnxLength, "14"}, {KnxPosition, "1426"}}), position},
        // A disabled row is not checked.
        {row({{KnxEnable, "N"}, {KnxSource, "99.99.99"}}), "ok"},
        {row({{KnxEnable, " y "}, {KnxSource, "99.99.99"}}), "Error row 1!! [KNX in Write] Source Address must be a valid KNX Individual Address (Ex. 15.15.255)"},
    };
    for (const Case& c : cases) {
        TableModel m = TableModel::fresh(desc, 512);
        m.sections[0][0] = c.row;
        EXPECT_EQ(result(Controllo_dati(desc, m, checkKnxRow)), QString::fromUtf8(c.message)) << c.row.join('|').toStdString();
    }
}

// A disabled row with a bad address is saved as it is; the image builder takes only the
// enabled rows, at the record offsets of the image.
TEST_F(KnxTablesTest, TheImageBuilderReadsWhatTheEditorWrote)
{
    TableModel m = TableModel::fresh(desc, 512);
    m.sections[0][0] = row({{KnxDestination, "1/2/3"}, {KnxLength, "2"}, {KnxFormat, "Float16 to Int * 10"}});
    m.sections[0][1] = row({{KnxEnable, "N"}, {KnxSource, "99.1.1"}});
    m.sections[0][2] = row({{KnxSource, "15.15.255"}, {KnxDestination, "1.5.7"}, {KnxApci, "Read"}, {KnxPriority, "System"},
                            {KnxExtended, "Y"}, {KnxReTest, "Y"}, {KnxOnCommand, "Y"}, {KnxOnChange, "N"},
                            {KnxOnTimer, "Y"}, {KnxPollTime, "60000"}, {KnxPosition, "1436"}, {KnxBitMode, "7"},
                            {KnxLength, "10"}});
    ASSERT_EQ(result(Controllo_dati(desc, m, checkKnxRow)), QStringLiteral("ok"));
    const QString path = dir.file(QStringLiteral("KNX_SetAccess.xml"));
    ASSERT_TRUE(saveTable(desc, m, path, 16, nullptr));
    EXPECT_TRUE(dir.read(QStringLiteral("KNX_SetAccess.xml")).contains("Source_Address=\"99.1.1\""));

    auto t = std::make_unique<image::KnxTable>();
    image::ParGenKDD p;
    image::Load_KNX_Table(*t, p, path);
    EXPECT_EQ(p.KNX_Write_Count, 2u);
    EXPECT_EQ(p.KNX_Read_Count, 0u);
    const image::KnxRecord& a = (*t)[0];
    EXPECT_EQ(a.APCI, 128);
    EXPECT_EQ(a.Priority, 1);
    EXPECT_EQ(a.Source_Address, 0x1101);
    EXPECT_EQ(a.Destination_Address, 0x0A03);
    EXPECT_EQ(a.Flags, 0x8000 | 0x0020 | 0x0001);
    EXPECT_EQ(a.Length, 2);
    EXPECT_EQ(a.Position, 0);
    const image::KnxRecord& b = (*t)[1];
    EXPECT_EQ(b.APCI, 0);
    EXPECT_EQ(b.Priority, 0);
    EXPECT_EQ(b.Source_Address, 0xFFFF);
    EXPECT_EQ(b.Destination_Address, 0x1507);
    EXPECT_EQ(b.Flags, 0x0010 | 0x0002 | 0x0008 | 0x0040);
    EXPECT_EQ(b.Poll_Time, 60000u);
    EXPECT_EQ(b.Position, 1436 * 8 + 7);
    EXPECT_EQ(b.Length, 10);

    // The golden file as it stands: its three enabled rows.
    const QString golden = dir.write(QStringLiteral("golden.xml"), testing_support::dataFile(QStringLiteral("tables/KNX_SetAccess.xml")));
    image::Load_KNX_Table(*t, p, golden);
    EXPECT_EQ(p.KNX_Write_Count, 3u);
}
