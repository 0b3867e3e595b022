#include "image/CanopenImage.h"
#include "image/ParGenRecord.h"
#include "support/TableChecks.h"
#include "support/TempDir.h"
#include "tables/canopen/CanopenTables.h"
#include "workspace/LangTexts.h"
#include "workspace/Workspace.h"

#include <gtest/gtest.h>

using namespace tables;
using namespace tables::canopen;
using testing_support::dataFile;
using testing_support::TempDir;
namespace tf = testing_support::tables;

namespace {

class CanopenTablesTest : public ::testing::Test {
protected:
    void SetUp() override { workspace::Default_Texts(); }
    workspace::ScopedWorkspace scoped{8};
    TempDir dir;
};

struct Case {
    int page;
    tf::Cells set;
    const char* message; // nullptr: passes
};

void runCases(const TableDescription& desc, const tf::Cells& defaults, const RowCheck& check,
              std::initializer_list<Case> cases)
{
    for (const Case& c : cases) {
        const QString got = tf::checkMessage(desc, c.page, {tf::rowOf(desc, c.page, defaults, c.set)}, check);
        EXPECT_EQ(got, c.message ? QString::fromUtf8(c.message) : QString())
            << "page " << c.page << ", " << (c.set.empty() ? "" : c.set.front().first) << " "
            << (c.set.empty() ? "" : c.set.front().second);
    }
}

} // namespace

TEST_F(CanopenTablesTest, SdoServerBounds)
{
    const tf::Cells row{{"Index", "0x2000"}, {"SubIndex", "0"}, {"NByte", "1"}, {"Address_B1", "0"}};
    const RowCheck check = [](const RowView& r) { return checkSdoServerRow(r, kByteLimits); };
    runCases(sdoServerTable(), row, check,
             {
                 {ReadPage, {}, nullptr},
                 {ReadPage, {{"Index", "8192"}}, nullptr},
                 {ReadPage, {{"Index", "0x5FFF"}}, nullptr},
                 {ReadPage, {{"Index", "0x1FFF"}}, "Error row 1!! [SDO in Read] Index must be between 0x2000 and 0x5FFF"},
                 {WritePage, {{"Index", "0x6000"}}, "Error row 1!! [SDO in Write] Index must be between 0x2000 and 0x5FFF"},
                 {ReadPage, {{"SubIndex", "256"}}, "Error row 1!! [SDO in Read] SubIndex must be between 0x00 and 0xFF"},
                 {ReadPage, {{"SubIndex", "$FF"}}, nullptr},
                 // N Byte 3 is refused before any address is judged.
                 {ReadPage, {{"NByte", "3"}, {"Address_B1", "x"}}, "Error row 1!! [SDO in Read] N Byte must be 1 or 2 or 4"},
                 {WritePage, {{"NByte", ""}}, "Error row 1!! [SDO in Write] N Byte must be 1 or 2 or 4"},
                 {ReadPage, {{"Address_B1", "6000"}}, "Error row 1!! [SDO in Read] Address Byte1 must be between 0 and 5999"},
                 {ReadPage, {{"NByte", "2"}, {"Address_B2", "6000"}}, "Error row 1!! [SDO in Read] Address Byte2 must be between 0 and 5999"},
                 {ReadPage, {{"NByte", "2"}, {"Address_B2", "5999"}}, nullptr},
                 {WritePage, {{"NByte", "4"}, {"Address_B2", "1"}, {"Address_B3", ""}}, "Error row 1!! [SDO in Write] Address Byte3 must be between 0 and 5999"},
                 {WritePage, {{"NByte", "4"}, {"Address_B2", "1"}, {"Address_B3", "2"}, {"Address_B4", "-1"}}, "Error row 1!! [SDO in Write] Address Byte4 must be between 0 and 5999"},
                 // The addresses beyond the entry's size are not judged; two entries may share a position.
                 {ReadPage, {{"Address_B2", "junk"}, {"Address_B4", "99999"}}, nullptr},
             });
}

TEST_F(CanopenTablesTest, SdoClientBounds)
{
    const tf::Cells row{{"Device_ID", "1"}, {"Index", "0x1000"}, {"SubIndex", "0"},  {"NByte", "1"},
                        {"Poll_Time", "1"}, {"On_Change", ""},   {"Address_B1", "0"}};
    const RowCheck check = [](const RowView& r) { return checkSdoClientRow(r, kByteLimits); };
    runCases(sdoClientTable(), row, check,
             {
                 {ReadPage, {}, nullptr},
                 {WritePage, {}, nullptr},
                 {ReadPage, {{"Device_ID", "127"}, {"Index", "0xFFFF"}, {"Poll_Time", "100000000"}}, nullptr},
                 {ReadPage, {{"Device_ID", "0"}}, "Error row 1!! [SDO Read] Device ID must be between 1 and 127"},
                 {WritePage, {{"Device_ID", "128"}}, "Error row 1!! [SDO Write] Device ID must be between 1 and 127"},
                 {ReadPage, {{"Index", "0x0FFF"}}, "Error row 1!! [SDO Read] Index must be between 0x1000 and 0xFFFF"},
                 {ReadPage, {{"SubIndex", "-1"}}, "Error row 1!! [SDO Read] SubIndex must be between 0x00 and 0xFF"},
                 {WritePage, {{"NByte", "8"}}, "Error row 1!! [SDO Write] N Byte must be 1 or 2 or 4"},
                 {ReadPage, {{"Poll_Time", "0"}}, "Error row 1!! [SDO Read] Poll Time must be between 1 and 100000000"},
                 {WritePage, {{"Poll_Time", "100000001"}}, "Error row 1!! [SDO Write] Poll Time must be between 1 and 100000000"},
                 {ReadPage, {{"NByte", "4"}, {"Address_B2", "1"}, {"Address_B3", "2"}, {"Address_B4", "6000"}}, "Error row 1!! [SDO Read] Address Byte4 must be between 0 and 5999"},
                 // On the write page the addresses stand after On Change.
                 {WritePage, {{"NByte", "2"}, {"Address_B2", "x"}}, "Error row 1!! [SDO Write] Address Byte2 must be between 0 and 5999"},
             });
}

TEST_F(CanopenTablesTest, PdoBounds)
{
    const tf::Cells row{{"COB-ID", "0"}, {"Dimension", "1"}, {"Address_B1", "0"}, {"TimeOut", "0"}, {"Send_Time", "1"}};
    const RowCheck check = [](const RowView& r) { return checkPdoRow(r, kByteLimits); };
    runCases(pdoTable(), row, check,
             {
                 {ReadPage, {}, nullptr},
                 {WritePage, {}, nullptr},
                 {ReadPage, {{"COB-ID", "0x7FF"}}, nullptr},
                 {ReadPage, {{"COB-ID", "2047"}, {"TimeOut", "65535"}}, nullptr},
                 {ReadPage, {{"COB-ID", "0x800"}}, "Error row 1!! [Receive PDO] COB-ID must be between 0x000 and 0x7FF"},
                 {WritePage, {{"COB-ID", "-1"}}, "Error row 1!! [Transmit PDO] COB-ID must be between 0x000 and 0x7FF"},
                 {ReadPage, {{"Dimension", "9"}}, "Error row 1!! [Receive PDO] Dimension must be between 1 and 8"},
                 {WritePage, {{"Dimension", "0"}}, "Error row 1!! [Transmit PDO] Dimension must be between 1 and 8"},
                 {ReadPage, {{"Dimension", "2"}, {"Address_B1", "10"}, {"Address_B2", "5999"}}, nullptr},
                 {ReadPage, {{"Dimension", "2"}, {"Address_B2", "6000"}}, "Error row 1!! [Receive PDO] Address Byte2 must be between 0 and 5999"},
                 {WritePage, {{"Dimension", "8"}, {"Address_B2", "1"}, {"Address_B3", "1"}, {"Address_B4", "1"},
                              {"Address_B5", "1"}, {"Address_B6", "1"}, {"Address_B7", "1"}, {"Address_B8", ""}},
                  "Error row 1!! [Transmit PDO] Address Byte8 must be between 0 and 5999"},
                 {ReadPage, {{"TimeOut", "65536"}}, "Error row 1!! [Receive PDO] TimeOut must be between 0 and 65535"},
                 {WritePage, {{"Send_Time", "0"}}, "Error row 1!! [Transmit PDO] Send Time must be between 1 and 100000000"},
                 {WritePage, {{"Send_Time", "100000000"}}, nullptr},
                 // On Change ticked does not stand in for a send time.
                 {WritePage, {{"Send_Time", ""}, {"On_Change", "Y"}}, "Error row 1!! [Transmit PDO] Send Time must be between 1 and 100000000"},
             });
    // A COB-ID of blanks ends the table like an empty one.
    TableModel m = TableModel::fresh(pdoTable(), 30);
    m.sections[0][0] = tf::rowOf(pdoTable(), 0, row, {{"COB-ID", "  "}, {"Dimension", "99"}});
    EXPECT_TRUE(Controllo_dati(pdoTable(), m, check).ok);
    EXPECT_EQ(tableXml(pdoTable(), m, 8).count("<row "), 0);
}

TEST_F(CanopenTablesTest, AnErrorOnTheWritePageNamesItsRowAfterTheReadPagePassed)
{
    const tf::Cells row{{"Index", "0x2000"}, {"SubIndex", "0"}, {"NByte", "1"}, {"Address_B1", "0"}};
    TableModel m = TableModel::fresh(sdoServerTable(), 500);
    m.sections[ReadPage][0] = tf::rowOf(sdoServerTable(), ReadPage, row);
    m.sections[WritePage][0] = tf::rowOf(sdoServerTable(), WritePage, row);
    m.sections[WritePage][1] = tf::rowOf(sdoServerTable(), WritePage, row, {{"SubIndex", "300"}});
    const CheckResult r = Controllo_dati(sdoServerTable(), m, [](const RowView& v) { return checkSdoServerRow(v, kByteLimits); });
    EXPECT_EQ(r.message, QStringLiteral("Error row 2!! [SDO in Write] SubIndex must be between 0x00 and 0xFF"));
    EXPECT_EQ(r.section, WritePage);
}

TEST_F(CanopenTablesTest, TheGoldenFilesLoadCheckAndSaveBackEqualWithoutAComment)
{
    struct Golden {
        const TableDescription& desc;
        const char* file;
        RowCheck check;
    };
    const Golden goldens[] = {
        {sdoServerTable(), "tables/SDO_Server_CANopen.xml", [](const RowView& r) { return checkSdoServerRow(r, kByteLimits); }},
        {sdoClientTable(), "tables/SDO_Client_CANopen.xml", [](const RowView& r) { return checkSdoClientRow(r, kByteLimits); }},
        {pdoTable(), "tables/PDO_CANopen.xml", [](const RowView& r) { return checkPdoRow(r, kByteLimits); }},
    };
    for (const Golden& g : goldens) {
        const QByteArray golden = dataFile(QLatin1String(g.file));
        const LoadResult r = loadTableBytes(g.desc, golden, QLatin1String(g.file), g.desc.capacity);
        ASSERT_FALSE(r.damaged()) << g.file << ": " << r.error.toStdString();
        const CheckResult c = Controllo_dati(g.desc, r.model, g.check);
        EXPECT_TRUE(c.ok) << g.file << ": " << c.message.toStdString();
        const QByteArray saved = tableXml(g.desc, r.model, 8);
        EXPECT_EQ(saved, golden) << g.file;
        EXPECT_FALSE(saved.contains("<!--"));
    }
}

TEST_F(CanopenTablesTest, TheImageBuilderReadsWhatTheEditorsWrote)
{
    image::CanopenPaths paths;
    for (auto [path, desc, file] : {std::tuple{&paths.sdoServer, &sdoServerTable(), "SDO_Server_CANopen.xml"},
                                    std::tuple{&paths.sdoClient, &sdoClientTable(), "SDO_Client_CANopen.xml"},
                                    std::tuple{&paths.pdo, &pdoTable(), "PDO_CANopen.xml"}}) {
        const LoadResult r =
            loadTableBytes(*desc, dataFile(QStringLiteral("tables/") + QLatin1String(file)), QLatin1String(file), desc->capacity);
        *path = dir.file(QLatin1String(file));
        QString error;
        ASSERT_TRUE(saveTable(*desc, r.model, *path, 8, &error)) << error.toStdString();
    }
    auto t = std::make_unique<image::CanopenTables>();
    image::Clear_CANopen_Tables(*t);
    image::ParGenStd p;
    image::Load_CANopen_Tables(*t, p, paths);
    using image::CanopenTable;
    EXPECT_EQ(t->count, (std::array<uint32_t, image::kCanopenTables>{2, 1, 1, 2, 1, 2}));
    const image::CanopenEntry& counter = t->table(CanopenTable::SdoServerRead)[1];
    EXPECT_EQ(counter.Index, 0x5FFF);
    EXPECT_EQ(counter.Size, 4);
    EXPECT_EQ(counter.Word[7], 5999);
    EXPECT_EQ(t->table(CanopenTable::SdoServerWrite)[0].Index, 0x2001);
    EXPECT_EQ(t->table(CanopenTable::SdoClientWrite)[0].Mode, 3); // on change
    EXPECT_EQ(t->table(CanopenTable::SdoClientWrite)[1].Mode, 1);
    const image::CanopenEntry& inputs = t->table(CanopenTable::PdoReceive)[0];
    EXPECT_EQ(inputs.Cob_Id, 385u);
    EXPECT_EQ(inputs.Word[1], 5999);
    EXPECT_EQ(inputs.Time, 65535u);
    EXPECT_EQ(t->table(CanopenTable::PdoTransmit)[0].Word[7], 7);
    EXPECT_EQ(t->table(CanopenTable::PdoTransmit)[1].Mode, 3);
}
